/*
 * How a file panel reads a folder, without a window:
 * - folders come first, then the rest; each group by name regardless of
 *   case, equal names in that sense byte by byte; bytes above ASCII after
 *   the letters; hidden entries are left out;
 * - links are listed as what they lead to, a broken link as such; which
 *   entries each combination of node flavours lets the user choose;
 * - the filter sees every entry with its own stat and a type, and what
 *   it refuses is not listed;
 * - a missing folder, a file taken for a folder and (for ordinary users)
 *   a folder without read permission give an empty listing and the
 *   reason, never a crash;
 * - names with spaces, non-ASCII and invalid UTF-8 keep their bytes;
 * - files carry their size and date for the columns, folders no size;
 *   sizes read as the desktop writes them, dates in local time.
 */
#include <Directory.h>
#include <Entry.h>
#include <FilePanel.h>
#include <Node.h>

#include "FolderListing.h"
#include "TrackerTestSupport.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <time.h>

using namespace BPrivate;
using namespace tracker_test;

namespace {

entry_ref
ref_for(const std::string& path)
{
	entry_ref ref;
	EXPECT_EQ(get_ref_for_path(path.c_str(), &ref), B_OK) << path;
	return ref;
}


std::vector<std::string>
names_of(const FolderListing& listing)
{
	std::vector<std::string> names;
	for (const folder_entry& entry : listing.Entries())
		names.push_back(entry.name);
	return names;
}


class RecordingFilter : public BRefFilter {
public:
	bool Filter(const entry_ref* ref, BNode* node, struct stat* st,
		const char* filetype) override
	{
		seen.push_back(std::string(ref->name) + "=" + filetype);
		nodesOpen += node->InitCheck() == B_OK ? 1 : 0;
		if (S_ISLNK(st->st_mode))
			linkStats++;
		return std::string(ref->name).find("skip") == std::string::npos;
	}

	std::vector<std::string> seen;
	int nodesOpen = 0;
	int linkStats = 0;
};

}	// namespace


TEST(FolderListingTest, OrdersFoldersFirstThenByNameAndHidesDotEntries)
{
	TempFolder folder;
	for (const char* name : {"b.txt", "a.txt", "A.txt", "Zeta", ".hidden",
			"\xc3\xa4.txt", "10", "9"})
		folder.AddFile(name);
	for (const char* name : {"docs", "Build", ".git"})
		folder.AddFolder(name);

	FolderListing listing;
	ASSERT_EQ(listing.Load(ref_for(folder.Path())), B_OK);
	EXPECT_EQ(names_of(listing), (std::vector<std::string>{"Build", "docs",
		"10", "9", "A.txt", "a.txt", "b.txt", "Zeta", "\xc3\xa4.txt"}));
	EXPECT_TRUE(listing.EntryAt(0)->IsFolder());
	EXPECT_FALSE(listing.EntryAt(2)->IsFolder());
	EXPECT_EQ(listing.EntryAt(-1), nullptr);
	EXPECT_EQ(listing.EntryAt(listing.CountEntries()), nullptr);

	// The refs name the entries themselves.
	const folder_entry* entry = listing.EntryAt(listing.IndexOf("b.txt"));
	ASSERT_NE(entry, nullptr);
	EXPECT_EQ(entry->ref, ref_for(folder.Child("b.txt")));
	EXPECT_EQ(listing.IndexOf(".hidden"), -1);
	EXPECT_EQ(listing.IndexOf("B.TXT"), -1);

	// An empty folder lists nothing and is no error.
	folder.AddFolder("empty");
	ASSERT_EQ(listing.Load(ref_for(folder.Child("empty"))), B_OK);
	EXPECT_EQ(listing.CountEntries(), 0);
}


TEST(FolderListingTest, ComparesNamesWithoutCaseThenByBytes)
{
	EXPECT_LT(FolderListing::CompareNames("apple", "Banana"), 0);
	EXPECT_GT(FolderListing::CompareNames("banana", "Apple"), 0);
	EXPECT_LT(FolderListing::CompareNames("Apple", "apple"), 0);
	EXPECT_EQ(FolderListing::CompareNames("same", "same"), 0);
	EXPECT_LT(FolderListing::CompareNames("abc", "abcd"), 0);
	EXPECT_GT(FolderListing::CompareNames("abcd", "ABC"), 0);
	// Bytes above ASCII are not folded and sort after the letters.
	EXPECT_LT(FolderListing::CompareNames("z", "\xc3\x84"), 0);
	EXPECT_LT(FolderListing::CompareNames("", "a"), 0);
}


TEST(FolderListingTest, LinksAndNodeFlavours)
{
	TempFolder folder;
	folder.AddFile("plain");
	folder.AddFolder("sub");
	folder.AddLink("to-sub", folder.Child("sub"));
	folder.AddLink("to-plain", "plain");
	folder.AddLink("broken", folder.Child("missing"));

	FolderListing listing;
	ASSERT_EQ(listing.Load(ref_for(folder.Path())), B_OK);
	EXPECT_EQ(names_of(listing), (std::vector<std::string>{"sub", "to-sub",
		"broken", "plain", "to-plain"}));

	auto entry = [&](const char* name) {
		return *listing.EntryAt(listing.IndexOf(name));
	};
	EXPECT_EQ(entry("sub").kind, kFolderEntry);
	EXPECT_EQ(entry("to-sub").kind, kLinkToFolder);
	EXPECT_EQ(entry("to-plain").kind, kLinkToFile);
	EXPECT_EQ(entry("broken").kind, kBrokenLink);
	EXPECT_TRUE(entry("to-sub").IsFolder());
	EXPECT_FALSE(entry("broken").IsFolder());

	// 0 means files; a link counts as what it leads to...
	EXPECT_TRUE(entry("plain").IsChoosable(0));
	EXPECT_TRUE(entry("to-plain").IsChoosable(B_FILE_NODE));
	EXPECT_FALSE(entry("sub").IsChoosable(0));
	EXPECT_FALSE(entry("broken").IsChoosable(B_FILE_NODE));
	EXPECT_TRUE(entry("sub").IsChoosable(B_DIRECTORY_NODE));
	EXPECT_TRUE(entry("to-sub").IsChoosable(B_DIRECTORY_NODE));
	EXPECT_FALSE(entry("plain").IsChoosable(B_DIRECTORY_NODE));
	// ... unless links themselves may be chosen.
	EXPECT_TRUE(entry("broken").IsChoosable(B_SYMLINK_NODE));
	EXPECT_TRUE(entry("to-sub").IsChoosable(B_SYMLINK_NODE));
	EXPECT_FALSE(entry("plain").IsChoosable(B_SYMLINK_NODE));
	EXPECT_TRUE(entry("plain").IsChoosable(B_ANY_NODE));
}


TEST(FolderListingTest, FilterSeesEveryEntryAndDropsWhatItRefuses)
{
	TempFolder folder;
	folder.AddFile("keep.txt");
	folder.AddFile("skip.txt");
	folder.AddFolder("keep folder");
	folder.AddFolder("skip folder");
	folder.AddLink("keep link", "keep.txt");
	folder.AddFile(".hidden skip");

	RecordingFilter filter;
	FolderListing listing;
	ASSERT_EQ(listing.Load(ref_for(folder.Path()), &filter), B_OK);
	EXPECT_EQ(names_of(listing), (std::vector<std::string>{"keep folder",
		"keep link", "keep.txt"}));

	std::sort(filter.seen.begin(), filter.seen.end());
	EXPECT_EQ(filter.seen, (std::vector<std::string>{
		"keep folder=application/x-vnd.Be-directory",
		"keep link=application/x-vnd.Be-symlink",
		"keep.txt=application/octet-stream",
		"skip folder=application/x-vnd.Be-directory",
		"skip.txt=application/octet-stream"}));
	EXPECT_EQ(filter.nodesOpen, 5);
	// The stat is the link's own.
	EXPECT_EQ(filter.linkStats, 1);
}


TEST(FolderListingTest, FolderThatCannotBeReadGivesReasonAndNoEntries)
{
	TempFolder folder;
	folder.AddFile("a");
	folder.AddFolder("gone");
	entry_ref gone = ref_for(folder.Child("gone"));
	ASSERT_EQ(rmdir(folder.Child("gone").c_str()), 0);

	FolderListing listing;
	ASSERT_EQ(listing.Load(ref_for(folder.Path())), B_OK);
	EXPECT_EQ(listing.CountEntries(), 1);

	// A folder that went away empties the listing rather than keeping
	// what an earlier Load() found.
	EXPECT_EQ(listing.Load(gone), B_ENTRY_NOT_FOUND);
	EXPECT_EQ(listing.Status(), B_ENTRY_NOT_FOUND);
	EXPECT_EQ(listing.CountEntries(), 0);

	EXPECT_EQ(listing.Load(ref_for(folder.Child("a"))), B_NOT_A_DIRECTORY);
	EXPECT_EQ(listing.CountEntries(), 0);

	if (permissions_apply()) {
		std::string locked = folder.AddFolder("locked");
		folder.AddFile("locked/secret");
		ASSERT_EQ(chmod(locked.c_str(), 0), 0);
		EXPECT_EQ(listing.Load(ref_for(locked)), B_PERMISSION_DENIED);
		EXPECT_EQ(listing.CountEntries(), 0);
	}
}


TEST(FolderListingTest, NamesKeepTheirBytes)
{
	TempFolder folder;
	const std::string spaced = "  two  spaces .txt";
	const std::string accented = "r\xc3\xa9sum\xc3\xa9 \xe2\x82\xac.txt";
	const std::string invalid = "bad \xff\xfe utf8";
	for (const std::string& name : {spaced, accented, invalid})
		folder.AddFile(name);

	FolderListing listing;
	ASSERT_EQ(listing.Load(ref_for(folder.Path())), B_OK);
	ASSERT_EQ(listing.CountEntries(), 3);
	for (const std::string& name : {spaced, accented, invalid}) {
		int32 index = listing.IndexOf(name.c_str());
		ASSERT_GE(index, 0) << name;
		EXPECT_STREQ(listing.EntryAt(index)->ref.name, name.c_str());
		BEntry entry(&listing.EntryAt(index)->ref);
		EXPECT_TRUE(entry.Exists()) << name;
	}
}


TEST(FolderListingTest, SizesAndDatesForTheColumns)
{
	TempFolder folder;
	folder.AddFile("three", "abc");
	folder.AddFolder("sub");
	std::string path = folder.Child("three");
	struct timespec times[2] = {};
	times[0].tv_sec = times[1].tv_sec = 1700000000;
	ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);

	FolderListing listing;
	ASSERT_EQ(listing.Load(ref_for(folder.Path())), B_OK);
	const folder_entry* file = listing.EntryAt(listing.IndexOf("three"));
	const folder_entry* sub = listing.EntryAt(listing.IndexOf("sub"));
	ASSERT_NE(file, nullptr);
	ASSERT_NE(sub, nullptr);
	EXPECT_EQ(file->size, 3);
	EXPECT_EQ(file->modified, 1700000000);
	// A folder has no size of its own to show.
	EXPECT_EQ(sub->size, -1);
	EXPECT_EQ(entry_size_text(sub->size), "");

	EXPECT_EQ(entry_size_text(0), "0 bytes");
	EXPECT_EQ(entry_size_text(1), "1 byte");
	EXPECT_EQ(entry_size_text(999), "999 bytes");
	EXPECT_EQ(entry_size_text(1000), "1.0 kB");
	EXPECT_EQ(entry_size_text(150000), "150.0 kB");
	// Never "1000.0 kB": the next unit takes over.
	EXPECT_EQ(entry_size_text(999960), "1.0 MB");
	EXPECT_EQ(entry_size_text(2500000000LL), "2.5 GB");

	setenv("TZ", "UTC", 1);
	tzset();
	EXPECT_EQ(entry_date_text(1700000000), "2023-11-14 22:13");
	EXPECT_EQ(entry_date_text(0), "");
}
