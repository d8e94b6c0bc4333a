/*
 * The settings record and its file.
 *
 * Cases:
 * - the defaults: 255, the fixed font's family and its size cut to whole
 *   points, with the 'FMpr' code;
 * - first run: no file, the defaults are loaded; saving makes the file,
 *   and loading it gives back exactly what was saved;
 * - a file whose record lacks a field: the field stays missing, the
 *   defaults are not merged back;
 * - a corrupt or a cut file: the defaults stay, "Unflatten not OK";
 * - an unreadable file: the defaults stay, "file.InitCheck not OK";
 * - no settings directory: loading keeps the defaults, saving makes it
 *   (mode 0700, parents included) and writes the file; where it cannot be
 *   made, "find_directory not OK";
 * - a shorter record saved after a longer one leaves no old bytes behind;
 * - a save that fails for want of room leaves the old file whole.
 */
#include <gtest/gtest.h>

#include <File.h>
#include <Font.h>
#include <Message.h>

#include <OutputCapture.h>

#include "EditorTestSupport.h"
#include "MessageCodes.h"
#include "Settings.h"

namespace {

class SettingsTest : public testing::Test {
protected:
	SettingsTest()
		:
		fConfigHome("XDG_CONFIG_HOME", fDirectory.Path().c_str()),
		fPath(fDirectory.Child("Orvane"))
	{
		fOutput.Start();
	}

	~SettingsTest()
	{
		fOutput.Stop();
	}

	bool Printed(const char* line)
	{
		// Without an application object standard output is not line
		// buffered.
		fflush(stdout);
		if (!fOutput.WaitForLine(line, 2000000))
			return false;
		for (const std::string& printed : fOutput.Lines()) {
			if (printed == line)
				return true;
		}
		return false;
	}

	void WriteRecord(const BMessage& record)
	{
		BFile file(fPath.c_str(), B_WRITE_ONLY | B_CREATE_FILE
			| B_ERASE_FILE);
		ASSERT_EQ(B_OK, record.Flatten(&file));
	}

	void ExpectDefaults(const BMessage& record)
	{
		BMessage defaults;
		DefaultSettings(&defaults);
		EXPECT_EQ(kMsgSettingsRecord, record.what);
		EXPECT_EQ(255, record.GetInt32(LineLength, -1));
		EXPECT_STREQ(defaults.GetString(FontFamily, "?"),
			record.GetString(FontFamily, ""));
		EXPECT_EQ(defaults.GetInt32(FontSize, -1),
			record.GetInt32(FontSize, -2));
		EXPECT_EQ(3, record.CountNames(B_ANY_TYPE));
	}

	TempDirectory fDirectory;
	ScopedEnvironment fConfigHome;
	std::string fPath;
	BPrivate::OutputCapture fOutput;
};

}	// namespace


TEST_F(SettingsTest, DefaultsComeFromTheFixedFont)
{
	BMessage record;
	DefaultSettings(&record);
	EXPECT_EQ(kMsgSettingsRecord, record.what);
	EXPECT_EQ(255, record.GetInt32(LineLength, -1));

	font_family family;
	be_fixed_font->GetFamilyAndStyle(&family, NULL);
	EXPECT_STREQ(family, record.GetString(FontFamily, ""));
	EXPECT_EQ((int32)be_fixed_font->Size(), record.GetInt32(FontSize, -1));

	type_code type;
	ASSERT_EQ(B_OK, record.GetInfo(FontSize, &type));
	EXPECT_EQ(B_INT32_TYPE, type);
	ASSERT_EQ(B_OK, record.GetInfo(FontFamily, &type));
	EXPECT_EQ(B_STRING_TYPE, type);
}


TEST_F(SettingsTest, FirstRunThenSavedAndLoadedBack)
{
	BMessage record;
	LoadSettings(&record);
	EXPECT_TRUE(Printed("LoadSettings"));
	EXPECT_TRUE(Printed("file.InitCheck not OK"));
	ExpectDefaults(record);
	EXPECT_EQ("<missing>", read_raw(fPath));

	record.ReplaceInt32(LineLength, 80);
	record.ReplaceString(FontFamily, "Some Family");
	record.ReplaceInt32(FontSize, 17);
	SaveSettings(&record);
	EXPECT_TRUE(Printed("ZELApp SavePref"));

	BMessage loaded;
	LoadSettings(&loaded);
	EXPECT_EQ(kMsgSettingsRecord, loaded.what);
	EXPECT_EQ(80, loaded.GetInt32(LineLength, -1));
	EXPECT_STREQ("Some Family", loaded.GetString(FontFamily, ""));
	EXPECT_EQ(17, loaded.GetInt32(FontSize, -1));
}


TEST_F(SettingsTest, MissingFieldIsNotMergedBack)
{
	BMessage partial(kMsgSettingsRecord);
	partial.AddString(FontFamily, "Other");
	partial.AddInt32(FontSize, 9);
	WriteRecord(partial);

	BMessage record;
	LoadSettings(&record);
	EXPECT_FALSE(record.HasInt32(LineLength));
	EXPECT_STREQ("Other", record.GetString(FontFamily, ""));
	EXPECT_EQ(9, record.GetInt32(FontSize, -1));
}


TEST_F(SettingsTest, CorruptOrCutFileKeepsTheDefaults)
{
	write_raw(fPath, "this is no settings record at all");
	BMessage record;
	LoadSettings(&record);
	EXPECT_TRUE(Printed("Unflatten not OK"));
	ExpectDefaults(record);

	// The first half of a good record.
	BMessage good(kMsgSettingsRecord);
	good.AddInt32(LineLength, 40);
	good.AddString(FontFamily, "Cut Family");
	good.AddInt32(FontSize, 30);
	WriteRecord(good);
	std::string bytes = read_raw(fPath);
	write_raw(fPath, bytes.substr(0, bytes.size() / 2));

	BMessage cut;
	LoadSettings(&cut);
	ExpectDefaults(cut);

	write_raw(fPath, "");
	BMessage empty;
	LoadSettings(&empty);
	ExpectDefaults(empty);
}


TEST_F(SettingsTest, UnreadableFileKeepsTheDefaults)
{
	BMessage good(kMsgSettingsRecord);
	good.AddInt32(LineLength, 40);
	WriteRecord(good);
	ASSERT_EQ(0, chmod(fPath.c_str(), 0));
	ASSERT_EQ(0, chmod(fDirectory.Path().c_str(), 0777));

	BMessage record;
	{
		ScopedOrdinaryUser user;
		LoadSettings(&record);
	}
	EXPECT_TRUE(Printed("file.InitCheck not OK"));
	ExpectDefaults(record);
}


// On a fresh account without the settings directory every setting used
// to be lost at exit: saving now makes the directory, private to the
// user, and the next start reads the record back.
TEST_F(SettingsTest, MissingDirectoryIsMadeWhenSaving)
{
	std::string home = fDirectory.Child("not/there");
	ScopedEnvironment missing("XDG_CONFIG_HOME", home.c_str());
	BMessage record;
	LoadSettings(&record);
	ExpectDefaults(record);
	EXPECT_EQ("", list_directory(fDirectory.Path()));

	record.ReplaceInt32(LineLength, 72);
	SaveSettings(&record);
	EXPECT_EQ(S_IFDIR | 0700, mode_of(fDirectory.Child("not")));
	EXPECT_EQ(S_IFDIR | 0700, mode_of(home));
	EXPECT_EQ("Orvane", list_directory(home));

	BMessage loaded;
	LoadSettings(&loaded);
	EXPECT_EQ(72, loaded.GetInt32(LineLength, -1));
}

// Where the directory cannot be made, saving says so and goes on.
TEST_F(SettingsTest, DirectoryThatCannotBeMadeIsReported)
{
	write_raw(fDirectory.Child("plain"), "not a directory");
	ScopedEnvironment blocked("XDG_CONFIG_HOME",
		fDirectory.Child("plain/config").c_str());
	BMessage record;
	DefaultSettings(&record);
	SaveSettings(&record);
	EXPECT_TRUE(Printed("find_directory not OK"));
	EXPECT_EQ("plain", list_directory(fDirectory.Path()));
}


TEST_F(SettingsTest, ShorterRecordLeavesNoOldBytes)
{
	BMessage longer(kMsgSettingsRecord);
	longer.AddInt32(LineLength, 1);
	longer.AddString(FontFamily, std::string(200, 'f').c_str());
	longer.AddInt32(FontSize, 2);
	SaveSettings(&longer);

	BMessage shorter(kMsgSettingsRecord);
	shorter.AddInt32(LineLength, 3);
	SaveSettings(&shorter);
	EXPECT_EQ((size_t)shorter.FlattenedSize(), read_raw(fPath).size());

	BMessage loaded;
	LoadSettings(&loaded);
	EXPECT_EQ(3, loaded.GetInt32(LineLength, -1));
	EXPECT_FALSE(loaded.HasString(FontFamily));
}


TEST_F(SettingsTest, FailedSaveKeepsTheOldFile)
{
	BMessage old(kMsgSettingsRecord);
	old.AddInt32(LineLength, 80);
	old.AddString(FontFamily, "Old Family");
	old.AddInt32(FontSize, 14);
	SaveSettings(&old);
	std::string before = read_raw(fPath);
	ASSERT_FALSE(before.empty());

	BMessage next(kMsgSettingsRecord);
	next.AddInt32(LineLength, 100);
	next.AddString(FontFamily, std::string(300, 'n').c_str());
	{
		// Room for a few bytes only, as on a full disk.
		ScopedFileSizeLimit limit(16);
		SaveSettings(&next);
	}
	EXPECT_TRUE(Printed("Flatten not OK"));
	EXPECT_TRUE(before == read_raw(fPath));
	EXPECT_EQ("Orvane", list_directory(fDirectory.Path()));

	BMessage loaded;
	LoadSettings(&loaded);
	EXPECT_EQ(80, loaded.GetInt32(LineLength, -1));
	EXPECT_STREQ("Old Family", loaded.GetString(FontFamily, ""));
}
