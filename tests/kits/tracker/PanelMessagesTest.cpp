/*
 * What a file panel sends and how it reads a typed name:
 * - an open panel's choice is B_REFS_RECEIVED with the refs in order, or
 *   a copy of the caller's message (its what and fields kept) with them
 *   added; a save panel's is B_SAVE_REQUESTED with "directory" and
 *   "name", or the caller's message with them;
 * - hiding sends B_CANCEL with "old_what" (the what of a choice) and
 *   "source", keeping the caller's fields;
 * - a typed name: a plain name, a path into another folder, an absolute
 *   path, an existing folder (entered), ".."; empty, a missing or
 *   non-folder parent and a leaf over 255 bytes are refused with their
 *   reason; the longest leaf is accepted; bytes are kept.
 */
#include <AppDefs.h>
#include <Entry.h>
#include <Message.h>

#include "PanelMessages.h"
#include "TrackerTestSupport.h"

#include <gtest/gtest.h>

using namespace BPrivate;
using namespace tracker_test;

namespace {

const uint32 kOwnWhat = 'OWNm';

entry_ref
ref_for(const std::string& path)
{
	entry_ref ref;
	EXPECT_EQ(get_ref_for_path(path.c_str(), &ref), B_OK) << path;
	return ref;
}

}	// namespace


TEST(PanelMessagesTest, OpenPanelChoice)
{
	TempFolder folder;
	std::vector<entry_ref> refs = {ref_for(folder.AddFile("b")),
		ref_for(folder.AddFile("a"))};

	BMessage reply = open_panel_reply(NULL, refs);
	EXPECT_EQ(reply.what, (uint32)B_REFS_RECEIVED);
	EXPECT_EQ(ref_names(reply), (std::vector<std::string>{"b", "a"}));
	EXPECT_FALSE(reply.HasRef("directory"));

	BMessage own(kOwnWhat);
	own.AddString("cookie", "kept");
	reply = open_panel_reply(&own, refs);
	EXPECT_EQ(reply.what, kOwnWhat);
	EXPECT_STREQ(reply.GetString("cookie", ""), "kept");
	EXPECT_EQ(ref_names(reply).size(), 2u);
	// The caller's message is copied, not changed.
	EXPECT_FALSE(own.HasRef("refs"));
}


TEST(PanelMessagesTest, SavePanelChoice)
{
	TempFolder folder;
	entry_ref directory = ref_for(folder.Path());

	BMessage reply = save_panel_reply(NULL, directory, "new name.txt");
	EXPECT_EQ(reply.what, (uint32)B_SAVE_REQUESTED);
	entry_ref found;
	ASSERT_EQ(reply.FindRef("directory", &found), B_OK);
	EXPECT_EQ(found, directory);
	EXPECT_STREQ(reply.GetString("name", NULL), "new name.txt");

	BMessage own(kOwnWhat);
	own.AddInt32("window", 7);
	reply = save_panel_reply(&own, directory, "x");
	EXPECT_EQ(reply.what, kOwnWhat);
	EXPECT_EQ(reply.GetInt32("window", 0), 7);
	EXPECT_STREQ(reply.GetString("name", NULL), "x");
}


TEST(PanelMessagesTest, CancelNoticeNamesTheOldWhatAndTheSource)
{
	BFilePanel* source = reinterpret_cast<BFilePanel*>(0x1234);
	BMessage notice = panel_cancel_notice(B_OPEN_PANEL, NULL, source);
	EXPECT_EQ(notice.what, (uint32)B_CANCEL);
	EXPECT_EQ((uint32)notice.GetInt32("old_what", 0),
		(uint32)B_REFS_RECEIVED);
	void* pointer = NULL;
	ASSERT_EQ(notice.FindPointer("source", &pointer), B_OK);
	EXPECT_EQ(pointer, (void*)source);

	notice = panel_cancel_notice(B_SAVE_PANEL, NULL, NULL);
	EXPECT_EQ((uint32)notice.GetInt32("old_what", 0),
		(uint32)B_SAVE_REQUESTED);

	BMessage own(kOwnWhat);
	own.AddString("cookie", "kept");
	notice = panel_cancel_notice(B_SAVE_PANEL, &own, source);
	EXPECT_EQ(notice.what, (uint32)B_CANCEL);
	EXPECT_EQ((uint32)notice.GetInt32("old_what", 0), kOwnWhat);
	EXPECT_STREQ(notice.GetString("cookie", ""), "kept");
}


TEST(PanelMessagesTest, TypedNamesAndPaths)
{
	TempFolder folder;
	folder.AddFolder("sub");
	folder.AddFile("file");
	entry_ref base = ref_for(folder.Path());

	save_name_meaning meaning;
	entry_ref where;
	std::string name;

	// A plain name, bytes and spaces as typed.
	const char* typed = " caf\xc3\xa9 \xff.txt";
	ASSERT_EQ(resolve_save_name(base, typed, &meaning, &where, &name), B_OK);
	EXPECT_EQ(meaning, kSaveInFolder);
	EXPECT_EQ(where, base);
	EXPECT_EQ(name, typed);

	// Into another folder, relative and absolute.
	ASSERT_EQ(resolve_save_name(base, "sub/new.txt", &meaning, &where,
		&name), B_OK);
	EXPECT_EQ(meaning, kSaveInFolder);
	EXPECT_EQ(where, ref_for(folder.Child("sub")));
	EXPECT_EQ(name, "new.txt");
	ASSERT_EQ(resolve_save_name(ref_for("/"), folder.Child("x").c_str(),
		&meaning, &where, &name), B_OK);
	EXPECT_EQ(where, base);
	EXPECT_EQ(name, "x");

	// A folder is entered, ".." too.
	ASSERT_EQ(resolve_save_name(base, "sub", &meaning, &where, &name), B_OK);
	EXPECT_EQ(meaning, kEnterFolder);
	EXPECT_EQ(where, ref_for(folder.Child("sub")));
	ASSERT_EQ(resolve_save_name(ref_for(folder.Child("sub")), "..", &meaning,
		&where, &name), B_OK);
	EXPECT_EQ(meaning, kEnterFolder);
	EXPECT_EQ(where, base);

	// What cannot be used, and why.
	EXPECT_EQ(resolve_save_name(base, "", &meaning, &where, &name),
		B_BAD_VALUE);
	EXPECT_EQ(resolve_save_name(base, NULL, &meaning, &where, &name),
		B_BAD_VALUE);
	EXPECT_EQ(resolve_save_name(base, "file/", &meaning, &where, &name),
		B_BAD_VALUE);
	EXPECT_EQ(resolve_save_name(base, "missing/x", &meaning, &where, &name),
		B_ENTRY_NOT_FOUND);
	EXPECT_EQ(resolve_save_name(base, "file/x", &meaning, &where, &name),
		B_NOT_A_DIRECTORY);

	std::string longest(B_FILE_NAME_LENGTH - 1, 'n');
	EXPECT_EQ(resolve_save_name(base, longest.c_str(), &meaning, &where,
		&name), B_OK);
	EXPECT_EQ(name, longest);
	std::string tooLong(B_FILE_NAME_LENGTH, 'n');
	EXPECT_EQ(resolve_save_name(base, tooLong.c_str(), &meaning, &where,
		&name), B_NAME_TOO_LONG);
	EXPECT_STRNE(panel_error_text(B_NAME_TOO_LONG), "");
}
