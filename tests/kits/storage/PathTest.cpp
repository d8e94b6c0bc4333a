/*
 * BPath. Cases:
 * - textual tidying without normalize: repeated and trailing slashes,
 *   "." dropped, ".." and links kept, nothing needs to exist, relative
 *   paths made absolute from the working directory;
 * - leaves: joined with one slash, absolute leaves refused;
 * - normalize: links and ".." in the directory resolved, a link as the
 *   leaf kept, a missing directory refused;
 * - Append joins without normalising and leaves the path alone on error;
 * - Leaf and GetParent, "/" included;
 * - names and paths over the limits;
 * - from refs, entries and directories; comparison, copies, Unset.
 */
#include <Path.h>

#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include <Directory.h>
#include <Entry.h>

#include "StorageTestSupport.h"


class PathTest : public ::testing::Test {
protected:
	TempDirectory fTemp;
};


TEST_F(PathTest, TidiesTextuallyWithoutNormalize)
{
	BPath path("/no//such/./place/");
	ASSERT_EQ(B_OK, path.InitCheck());
	EXPECT_STREQ("/no/such/place", path.Path());
	EXPECT_STREQ("place", path.Leaf());

	EXPECT_EQ(B_OK, path.SetTo("/a/b/../c"));
	EXPECT_STREQ("/a/b/../c", path.Path());
	EXPECT_EQ(B_OK, path.SetTo("///"));
	EXPECT_STREQ("/", path.Path());
	EXPECT_STREQ("", path.Leaf());

	EXPECT_EQ(B_OK, path.SetTo("/base", "leaf"));
	EXPECT_STREQ("/base/leaf", path.Path());
	EXPECT_EQ(B_OK, path.SetTo("/base/", "sub/leaf/"));
	EXPECT_STREQ("/base/sub/leaf", path.Path());
	EXPECT_EQ(B_BAD_VALUE, path.SetTo("/base", "/absolute"));
	EXPECT_EQ(B_BAD_VALUE, path.InitCheck());
	EXPECT_EQ(NULL, path.Path());
	EXPECT_EQ(NULL, path.Leaf());
	EXPECT_EQ(B_BAD_VALUE, path.SetTo((const char*)NULL));
	EXPECT_EQ(B_BAD_VALUE, path.SetTo(""));

	ScopedWorkingDirectory cwd(fTemp.Path());
	EXPECT_EQ(B_OK, path.SetTo("rel/./x"));
	EXPECT_STREQ(fTemp.Child("rel/x").c_str(), path.Path());
	EXPECT_EQ(B_OK, path.SetTo("."));
	EXPECT_STREQ(fTemp.Path().c_str(), path.Path());
}


TEST_F(PathTest, NormalizeResolvesTheDirectoryPart)
{
	ASSERT_EQ(0, mkdir(fTemp.Child("real").c_str(), 0755));
	ASSERT_EQ(0, mkdir(fTemp.Child("real/sub").c_str(), 0755));
	ASSERT_EQ(0, symlink("real", fTemp.Child("link").c_str()));

	BPath path(fTemp.Child("link/sub/../file").c_str(), NULL, true);
	ASSERT_EQ(B_OK, path.InitCheck());
	EXPECT_STREQ(fTemp.Child("real/file").c_str(), path.Path());

	// The leaf stays as given, so a link keeps its own name.
	EXPECT_EQ(B_OK, path.SetTo(fTemp.Path().c_str(), "link", true));
	EXPECT_STREQ(fTemp.Child("link").c_str(), path.Path());
	EXPECT_EQ(B_OK, path.SetTo(fTemp.Child("link/sub/..").c_str(), NULL,
		true));
	EXPECT_STREQ(fTemp.Child("real").c_str(), path.Path());

	EXPECT_EQ(B_ENTRY_NOT_FOUND,
		path.SetTo(fTemp.Child("missing/file").c_str(), NULL, true));
	// Without normalize the same path is fine.
	EXPECT_EQ(B_OK, path.SetTo(fTemp.Child("missing/file").c_str()));
}


TEST_F(PathTest, AppendJoinsWithoutNormalising)
{
	ASSERT_EQ(0, mkdir(fTemp.Child("real").c_str(), 0755));
	ASSERT_EQ(0, symlink("real", fTemp.Child("link").c_str()));

	BPath path(fTemp.Path().c_str());
	EXPECT_EQ(B_OK, path.Append("link"));
	EXPECT_EQ(B_OK, path.Append("../not/there//yet/"));
	EXPECT_STREQ(fTemp.Child("link/../not/there/yet").c_str(), path.Path());

	std::string before = path.Path();
	EXPECT_EQ(B_BAD_VALUE, path.Append("/absolute"));
	EXPECT_EQ(B_BAD_VALUE, path.Append(NULL));
	EXPECT_STREQ(before.c_str(), path.Path());
	EXPECT_EQ(B_ENTRY_NOT_FOUND, path.Append("x", true));
	EXPECT_STREQ(before.c_str(), path.Path());
	EXPECT_EQ(B_OK, path.InitCheck());

	EXPECT_EQ(B_OK, path.SetTo(fTemp.Path().c_str()));
	EXPECT_EQ(B_OK, path.Append("link/file", true));
	EXPECT_STREQ(fTemp.Child("real/file").c_str(), path.Path());

	EXPECT_EQ(B_OK, path.SetTo("/"));
	EXPECT_EQ(B_OK, path.Append("top"));
	EXPECT_STREQ("/top", path.Path());

	BPath unset;
	EXPECT_EQ(B_NO_INIT, unset.Append("x"));
	EXPECT_EQ(NULL, unset.Path());
}


TEST_F(PathTest, ParentsAndLeaves)
{
	BPath path("/a/b");
	BPath parent;
	ASSERT_EQ(B_OK, path.GetParent(&parent));
	EXPECT_STREQ("/a", parent.Path());
	ASSERT_EQ(B_OK, parent.GetParent(&parent));
	EXPECT_STREQ("/", parent.Path());
	EXPECT_EQ(B_ENTRY_NOT_FOUND, parent.GetParent(&parent));
	EXPECT_STREQ("/", parent.Path());
	EXPECT_EQ(B_BAD_VALUE, path.GetParent(NULL));

	// Cutting off ".." would go down, not up.
	EXPECT_EQ(B_OK, path.SetTo("/a/.."));
	ASSERT_EQ(B_OK, path.GetParent(&parent));
	EXPECT_STREQ("/a/../..", parent.Path());

	BPath unset;
	EXPECT_EQ(B_NO_INIT, unset.GetParent(&parent));
}


TEST_F(PathTest, LimitsOnNamesAndPaths)
{
	std::string longest(255, 'n');
	BPath path("/dir", longest.c_str());
	EXPECT_EQ(B_OK, path.InitCheck());
	EXPECT_EQ(B_NAME_TOO_LONG, path.SetTo("/dir", (longest + "n").c_str()));
	EXPECT_EQ(B_NAME_TOO_LONG, path.InitCheck());

	std::string deep;
	while (deep.size() < B_PATH_NAME_LENGTH)
		deep += "/" + std::string(100, 'd');
	EXPECT_EQ(B_NAME_TOO_LONG, path.SetTo(deep.c_str()));
	EXPECT_EQ(B_OK, path.SetTo("/dir"));
	EXPECT_EQ(B_NAME_TOO_LONG, path.Append(deep.c_str() + 1));
	EXPECT_STREQ("/dir", path.Path());
}


TEST_F(PathTest, FromRefsEntriesAndDirectories)
{
	std::string file = fTemp.Child("file");
	write_raw(file, "x");
	entry_ref ref;
	ASSERT_EQ(B_OK, get_ref_for_path(file.c_str(), &ref));
	BPath fromRef(&ref);
	EXPECT_STREQ(file.c_str(), fromRef.Path());

	BEntry entry(file.c_str());
	BPath fromEntry(&entry);
	EXPECT_TRUE(fromEntry == fromRef);
	entry_ref empty;
	EXPECT_EQ(B_BAD_VALUE, fromRef.SetTo(&empty));
	BEntry unsetEntry;
	EXPECT_EQ(B_BAD_VALUE, fromEntry.SetTo(&unsetEntry));

	BDirectory directory(fTemp.Path().c_str());
	BPath fromDirectory(&directory, "file");
	EXPECT_STREQ(file.c_str(), fromDirectory.Path());
	EXPECT_EQ(B_OK, fromDirectory.SetTo(&directory));
	EXPECT_STREQ(fTemp.Path().c_str(), fromDirectory.Path());
	EXPECT_EQ(B_BAD_VALUE, fromDirectory.SetTo(&directory, "/abs"));
	BDirectory unsetDirectory;
	EXPECT_EQ(B_BAD_VALUE, fromDirectory.SetTo(&unsetDirectory, "file"));
}


TEST_F(PathTest, ComparisonCopiesAndUnset)
{
	BPath a("/x/y");
	BPath b("/x//y/");
	BPath unset;
	EXPECT_TRUE(a == b);
	EXPECT_TRUE(a == "/x/y");
	EXPECT_TRUE(a != "/x");
	EXPECT_TRUE(a != unset);
	EXPECT_TRUE(unset == (const char*)NULL);
	EXPECT_TRUE(a != (const char*)NULL);

	BPath copy(a);
	EXPECT_TRUE(copy == a);
	EXPECT_NE(a.Path(), copy.Path());
	copy = unset;
	EXPECT_EQ(B_NO_INIT, copy.InitCheck());
	copy = "/z";
	EXPECT_STREQ("/z", copy.Path());
	copy = copy;
	EXPECT_STREQ("/z", copy.Path());

	// Setting a path from its own string must not read freed memory.
	EXPECT_EQ(B_OK, copy.SetTo(copy.Path(), "w"));
	EXPECT_STREQ("/z/w", copy.Path());
	copy.Unset();
	EXPECT_EQ(B_NO_INIT, copy.InitCheck());
	EXPECT_EQ(NULL, copy.Path());
}
