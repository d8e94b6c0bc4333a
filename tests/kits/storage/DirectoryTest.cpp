/*
 * BDirectory and create_directory. Cases:
 * - SetTo on a file, on something missing, on a link to a directory,
 *   from a ref and from another directory;
 * - listing: every entry once, never "." or "..", the end reported as
 *   B_ENTRY_NOT_FOUND, Rewind, refs, and CountEntries leaving a listing
 *   under way where it was;
 * - FindEntry, Contains with relative and absolute paths and node kinds,
 *   GetStatFor;
 * - CreateFile emptying or refusing an existing file, CreateDirectory;
 * - create_directory of nested, existing and blocked paths;
 * - IsRootDirectory, GetEntry, copies, an uninitialised directory.
 */
#include <Directory.h>

#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <set>
#include <string>

#include <Entry.h>
#include <File.h>
#include <Path.h>

#include "EntryRefPrivate.h"
#include "StorageTestSupport.h"


class DirectoryTest : public ::testing::Test {
protected:
	void SetUp() override
	{
		write_raw(fTemp.Child("a"), "A");
		write_raw(fTemp.Child("b"), "B");
		ASSERT_EQ(0, mkdir(fTemp.Child("sub").c_str(), 0755));
		write_raw(fTemp.Child("sub/inner"), "I");
		ASSERT_EQ(0, symlink("sub", fTemp.Child("link").c_str()));
	}

	TempDirectory fTemp;
};


TEST_F(DirectoryTest, SetToAcceptsOnlyDirectories)
{
	BDirectory directory(fTemp.Child("a").c_str());
	EXPECT_EQ(B_NOT_A_DIRECTORY, directory.InitCheck());
	EXPECT_EQ(B_ENTRY_NOT_FOUND, directory.SetTo(fTemp.Child("x").c_str()));
	EXPECT_EQ(B_BAD_VALUE, directory.SetTo((const char*)NULL));
	BEntry fileEntry(fTemp.Child("b").c_str());
	EXPECT_EQ(B_NOT_A_DIRECTORY, directory.SetTo(&fileEntry));

	ASSERT_EQ(B_OK, directory.SetTo(fTemp.Child("link").c_str()));
	BEntry entry;
	ASSERT_EQ(B_OK, directory.GetEntry(&entry));
	BPath path(&entry);
	EXPECT_STREQ(fTemp.Child("sub").c_str(), path.Path());

	entry_ref ref;
	ASSERT_EQ(B_OK, get_ref_for_path(fTemp.Path().c_str(), &ref));
	ASSERT_EQ(B_OK, directory.SetTo(&ref));
	BDirectory child(&directory, "sub");
	EXPECT_EQ(B_OK, child.InitCheck());
	EXPECT_TRUE(child.Contains("inner"));
	EXPECT_EQ(B_NOT_A_DIRECTORY, child.SetTo(&directory, "a"));
}


TEST_F(DirectoryTest, ListingSkipsDotsAndEndsCleanly)
{
	BDirectory directory(fTemp.Path().c_str());
	ASSERT_EQ(B_OK, directory.InitCheck());
	EXPECT_EQ(4, directory.CountEntries());

	std::set<std::string> names;
	BEntry entry;
	ASSERT_EQ(B_OK, directory.GetNextEntry(&entry));
	names.insert(entry.Name());
	// Counting in the middle does not move the listing.
	EXPECT_EQ(4, directory.CountEntries());
	while (directory.GetNextEntry(&entry) == B_OK)
		names.insert(entry.Name());
	EXPECT_EQ((std::set<std::string>{ "a", "b", "sub", "link" }), names);
	EXPECT_EQ(B_ENTRY_NOT_FOUND, directory.GetNextEntry(&entry));
	EXPECT_EQ(B_NO_INIT, entry.InitCheck());

	ASSERT_EQ(B_OK, directory.Rewind());
	std::set<std::string> paths;
	entry_ref ref;
	while (directory.GetNextRef(&ref) == B_OK) {
		char path[B_PATH_NAME_LENGTH];
		ASSERT_EQ(B_OK, BPrivate::entry_ref_to_path(ref, path, sizeof(path)));
		paths.insert(path);
	}
	EXPECT_EQ(4u, paths.size());
	EXPECT_EQ(1u, paths.count(fTemp.Child("sub")));

	// With traverse the link lists as its target.
	ASSERT_EQ(B_OK, directory.Rewind());
	int directories = 0;
	while (directory.GetNextEntry(&entry, true) == B_OK)
		directories += entry.IsDirectory() ? 1 : 0;
	EXPECT_EQ(2, directories);

	ASSERT_EQ(0, mkdir(fTemp.Child("empty").c_str(), 0755));
	BDirectory empty(fTemp.Child("empty").c_str());
	EXPECT_EQ(0, empty.CountEntries());
	EXPECT_EQ(B_ENTRY_NOT_FOUND, empty.GetNextRef(&ref));
	EXPECT_EQ(B_BAD_VALUE, empty.GetNextRef(NULL));
}


TEST_F(DirectoryTest, FindingAndContaining)
{
	BDirectory directory(fTemp.Path().c_str());
	BEntry entry;
	ASSERT_EQ(B_OK, directory.FindEntry("sub/inner", &entry));
	EXPECT_TRUE(entry.IsFile());
	EXPECT_EQ(B_ENTRY_NOT_FOUND, directory.FindEntry("nothing", &entry));
	EXPECT_EQ(B_NO_INIT, entry.InitCheck());
	ASSERT_EQ(B_OK, directory.FindEntry("link", &entry, true));
	EXPECT_TRUE(entry.IsDirectory());

	EXPECT_TRUE(directory.Contains("a"));
	EXPECT_TRUE(directory.Contains("a", B_FILE_NODE));
	EXPECT_FALSE(directory.Contains("a", B_DIRECTORY_NODE));
	EXPECT_TRUE(directory.Contains("link", B_SYMLINK_NODE));
	EXPECT_FALSE(directory.Contains("link", B_DIRECTORY_NODE));
	EXPECT_TRUE(directory.Contains("sub/inner"));
	EXPECT_FALSE(directory.Contains("missing"));
	EXPECT_FALSE(directory.Contains(""));
	EXPECT_FALSE(directory.Contains((const char*)NULL));
	EXPECT_TRUE(directory.Contains(fTemp.Child("sub/inner").c_str()));
	EXPECT_FALSE(directory.Contains(fTemp.Path().c_str()));
	EXPECT_FALSE(directory.Contains("/"));

	BDirectory sub(fTemp.Child("sub").c_str());
	EXPECT_FALSE(sub.Contains("../a"));
	BEntry outside(fTemp.Child("a").c_str());
	EXPECT_FALSE(sub.Contains(&outside));
	EXPECT_TRUE(directory.Contains(&outside));
	EXPECT_TRUE(BDirectory("/").Contains(&outside));

	struct stat st;
	ASSERT_EQ(B_OK, directory.GetStatFor("link", &st));
	EXPECT_TRUE(S_ISLNK(st.st_mode));
	EXPECT_EQ(B_ENTRY_NOT_FOUND, directory.GetStatFor("missing", &st));
	EXPECT_EQ(B_BAD_VALUE, directory.GetStatFor("a", NULL));
}


TEST_F(DirectoryTest, CreatingFilesAndDirectories)
{
	BDirectory directory(fTemp.Path().c_str());
	BFile file;
	EXPECT_EQ(B_FILE_EXISTS, directory.CreateFile("a", &file, true));
	EXPECT_EQ("A", read_raw(fTemp.Child("a")));
	ASSERT_EQ(B_OK, directory.CreateFile("a", &file));
	EXPECT_EQ("", read_raw(fTemp.Child("a")));
	EXPECT_TRUE(file.IsReadable() && file.IsWritable());
	EXPECT_EQ(B_OK, directory.CreateFile("fresh", NULL, true));
	EXPECT_TRUE(exists_raw(fTemp.Child("fresh")));
	EXPECT_EQ(B_BAD_VALUE, directory.CreateFile("", &file));

	BDirectory created;
	ASSERT_EQ(B_OK, directory.CreateDirectory("made", &created));
	EXPECT_EQ(B_OK, created.InitCheck());
	EXPECT_EQ(0, created.CountEntries());
	EXPECT_EQ(B_FILE_EXISTS, directory.CreateDirectory("made", NULL));
	EXPECT_EQ(B_FILE_EXISTS, directory.CreateDirectory("a", NULL));
	EXPECT_EQ(B_ENTRY_NOT_FOUND, directory.CreateDirectory("x/y", NULL));
	ASSERT_EQ(B_OK, created.CreateFile("deep", &file));
	EXPECT_TRUE(exists_raw(fTemp.Child("made/deep")));
}


TEST_F(DirectoryTest, CreateDirectoryMakesEveryMissingLevel)
{
	std::string deep = fTemp.Child("one/two/three");
	EXPECT_EQ(B_OK, create_directory(deep.c_str(), 0750));
	struct stat st;
	ASSERT_EQ(0, stat(deep.c_str(), &st));
	EXPECT_TRUE(S_ISDIR(st.st_mode));
	EXPECT_EQ(B_OK, create_directory(deep.c_str(), 0750));
	EXPECT_EQ(B_OK, create_directory((deep + "/../four/").c_str(), 0750));
	EXPECT_TRUE(exists_raw(fTemp.Child("one/two/four")));

	EXPECT_EQ(B_NOT_A_DIRECTORY,
		create_directory(fTemp.Child("a/below").c_str(), 0755));
	EXPECT_EQ(B_NOT_A_DIRECTORY, create_directory(fTemp.Child("a").c_str(),
		0755));
	EXPECT_EQ(B_BAD_VALUE, create_directory(NULL, 0755));
	EXPECT_EQ(B_BAD_VALUE, create_directory("", 0755));

	ScopedWorkingDirectory cwd(fTemp.Path());
	EXPECT_EQ(B_OK, create_directory("relative/level", 0755));
	EXPECT_TRUE(exists_raw(fTemp.Child("relative/level")));
}


TEST_F(DirectoryTest, RootsCopiesAndUninitialised)
{
	EXPECT_TRUE(BDirectory("/").IsRootDirectory());
	BDirectory sub(fTemp.Child("sub").c_str());
	EXPECT_FALSE(sub.IsRootDirectory());

	BDirectory copy(sub);
	ASSERT_EQ(B_OK, copy.InitCheck());
	EXPECT_TRUE(copy == sub);
	BEntry entry;
	EXPECT_EQ(B_OK, sub.GetNextEntry(&entry));
	EXPECT_EQ(B_OK, copy.GetNextEntry(&entry));
	EXPECT_EQ(B_ENTRY_NOT_FOUND, copy.GetNextEntry(&entry));

	BDirectory unset;
	EXPECT_EQ(B_NO_INIT, unset.InitCheck());
	EXPECT_EQ(B_NO_INIT, unset.GetNextEntry(&entry));
	EXPECT_EQ(B_NO_INIT, unset.CountEntries());
	EXPECT_EQ(B_NO_INIT, unset.Rewind());
	EXPECT_EQ(B_NO_INIT, unset.GetEntry(&entry));
	EXPECT_EQ(B_NO_INIT, unset.CreateFile("x", NULL));
	EXPECT_FALSE(unset.IsRootDirectory());
	EXPECT_FALSE(unset.Contains("a"));
	copy = unset;
	EXPECT_EQ(B_NO_INIT, copy.InitCheck());
	EXPECT_TRUE(copy != sub);
}
