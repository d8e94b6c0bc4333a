/*
 * entry_ref, get_ref_for_path and BEntry. Cases:
 * - entry_ref construction, copies, set_name and comparison by device,
 *   directory and name;
 * - refs from paths and back: an existing file, a leaf not yet there, a
 *   missing directory, a file used as a directory, "/", trailing slashes,
 *   "." and "..", links in the directory part resolved while a link as
 *   the leaf stays a link, NULL and empty paths, a buffer too small;
 * - relative paths taken from the working directory;
 * - a ref whose directory was replaced is refused;
 * - BEntry access: existence, ref, path, name, parent up to the root,
 *   node kinds, size;
 * - traversal: chains of links, relative targets, dangling links, loops;
 * - Rename with and without clobber, MoveTo, Remove;
 * - an uninitialised entry, and setters of BStatable on entries and nodes;
 * - each setter, on an entry and on a node, changes its own part of the
 *   stat and nothing else, and fails as the others do on an object that
 *   is not initialised or does not exist (permissions alone refused on
 *   a symbolic link).
 */
#include <Entry.h>

#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <string>

#include <Directory.h>
#include <File.h>
#include <Node.h>
#include <Path.h>

#include "EntryRefPrivate.h"
#include "StorageTestSupport.h"

using BPrivate::entry_ref_from_path;
using BPrivate::entry_ref_to_path;


class EntryTest : public ::testing::Test {
protected:
	std::string RefPath(const entry_ref& ref)
	{
		char path[B_PATH_NAME_LENGTH];
		status_t status = entry_ref_to_path(ref, path, sizeof(path));
		return status == B_OK ? path : "<error>";
	}

	TempDirectory fTemp;
};


TEST_F(EntryTest, EntryRefValuesCopiesAndComparison)
{
	entry_ref empty;
	EXPECT_EQ(-1, empty.device);
	EXPECT_EQ((ino_t)-1, empty.directory);
	EXPECT_EQ(NULL, empty.name);

	entry_ref ref(3, 42, "name");
	EXPECT_STREQ("name", ref.name);
	entry_ref same(3, 42, "name");
	EXPECT_TRUE(ref == same);
	EXPECT_TRUE(ref != entry_ref(4, 42, "name"));
	EXPECT_TRUE(ref != entry_ref(3, 43, "name"));
	EXPECT_TRUE(ref != entry_ref(3, 42, "other"));
	EXPECT_TRUE(ref != entry_ref(3, 42, NULL));
	EXPECT_TRUE(entry_ref(3, 42, NULL) == entry_ref(3, 42, NULL));

	EXPECT_EQ(B_OK, same.set_name("renamed"));
	EXPECT_STREQ("renamed", same.name);
	EXPECT_EQ(B_OK, same.set_name(NULL));
	EXPECT_EQ(NULL, same.name);

	// Copies keep the remembered directory, so they still make paths.
	std::string path = fTemp.Child("file");
	entry_ref made;
	ASSERT_EQ(B_OK, get_ref_for_path(path.c_str(), &made));
	entry_ref copy(made);
	EXPECT_EQ(path, RefPath(copy));
	entry_ref assigned;
	assigned = made;
	assigned = assigned;
	EXPECT_EQ(path, RefPath(assigned));
	EXPECT_TRUE(assigned == made);

	// A ref made from numbers alone has no path.
	char buffer[B_PATH_NAME_LENGTH];
	EXPECT_EQ(B_BAD_VALUE, entry_ref_to_path(ref, buffer, sizeof(buffer)));
	EXPECT_EQ(B_BAD_VALUE, entry_ref_to_path(empty, buffer, sizeof(buffer)));
	EXPECT_EQ(B_BUFFER_OVERFLOW, entry_ref_to_path(made, buffer, 4));
}


TEST_F(EntryTest, RefsFromPaths)
{
	std::string file = fTemp.Child("file");
	write_raw(file, "x");
	ASSERT_EQ(0, mkdir(fTemp.Child("dir").c_str(), 0755));
	ASSERT_EQ(0, symlink(fTemp.Child("dir").c_str(),
		fTemp.Child("dirlink").c_str()));
	ASSERT_EQ(0, symlink("file", fTemp.Child("filelink").c_str()));

	struct stat directory;
	ASSERT_EQ(0, stat(fTemp.Path().c_str(), &directory));
	entry_ref ref;
	ASSERT_EQ(B_OK, get_ref_for_path(file.c_str(), &ref));
	EXPECT_EQ(directory.st_dev, ref.device);
	EXPECT_EQ(directory.st_ino, ref.directory);
	EXPECT_STREQ("file", ref.name);
	EXPECT_EQ(file, RefPath(ref));

	EXPECT_EQ(B_OK, get_ref_for_path(fTemp.Child("not yet").c_str(), &ref));
	EXPECT_STREQ("not yet", ref.name);
	EXPECT_EQ(B_ENTRY_NOT_FOUND,
		get_ref_for_path(fTemp.Child("missing/leaf").c_str(), &ref));
	EXPECT_EQ(B_NOT_A_DIRECTORY,
		get_ref_for_path(fTemp.Child("file/leaf").c_str(), &ref));
	EXPECT_EQ(B_BAD_VALUE, get_ref_for_path(NULL, &ref));
	EXPECT_EQ(B_BAD_VALUE, get_ref_for_path("", &ref));
	EXPECT_EQ(B_BAD_VALUE, get_ref_for_path(file.c_str(), NULL));

	// Links in the directory part resolve; a link as the leaf stays.
	ASSERT_EQ(B_OK,
		get_ref_for_path(fTemp.Child("dirlink/inside").c_str(), &ref));
	EXPECT_EQ(fTemp.Child("dir/inside"), RefPath(ref));
	ASSERT_EQ(B_OK, get_ref_for_path(fTemp.Child("filelink").c_str(), &ref));
	EXPECT_STREQ("filelink", ref.name);

	// A trailing slash, "." or ".." name the directory in its parent.
	ASSERT_EQ(B_OK, get_ref_for_path((fTemp.Child("dir") + "/").c_str(),
		&ref));
	EXPECT_EQ(fTemp.Child("dir"), RefPath(ref));
	ASSERT_EQ(B_OK, get_ref_for_path(fTemp.Child("dirlink/.").c_str(), &ref));
	EXPECT_EQ(fTemp.Child("dir"), RefPath(ref));
	ASSERT_EQ(B_OK, get_ref_for_path(fTemp.Child("dir/..").c_str(), &ref));
	EXPECT_EQ(fTemp.Path(), RefPath(ref));
	EXPECT_EQ(B_NOT_A_DIRECTORY,
		get_ref_for_path((file + "/").c_str(), &ref));
	EXPECT_EQ(B_ENTRY_NOT_FOUND,
		get_ref_for_path(fTemp.Child("gone/..").c_str(), &ref));

	// The root is "." in itself.
	ASSERT_EQ(B_OK, get_ref_for_path("/", &ref));
	EXPECT_STREQ(".", ref.name);
	EXPECT_EQ("/", RefPath(ref));
	ASSERT_EQ(B_OK, get_ref_for_path("//..//", &ref));
	EXPECT_EQ("/", RefPath(ref));
}


TEST_F(EntryTest, RelativePathsStartAtTheWorkingDirectory)
{
	write_raw(fTemp.Child("here"), "x");
	ASSERT_EQ(0, mkdir(fTemp.Child("sub").c_str(), 0755));
	ScopedWorkingDirectory cwd(fTemp.Path());

	entry_ref ref;
	ASSERT_EQ(B_OK, get_ref_for_path("here", &ref));
	EXPECT_EQ(fTemp.Child("here"), RefPath(ref));
	ASSERT_EQ(B_OK, get_ref_for_path("./sub/../here", &ref));
	EXPECT_EQ(fTemp.Child("here"), RefPath(ref));
	ASSERT_EQ(B_OK, get_ref_for_path("sub/new", &ref));
	EXPECT_EQ(fTemp.Child("sub/new"), RefPath(ref));
	ASSERT_EQ(B_OK, get_ref_for_path(".", &ref));
	EXPECT_EQ(fTemp.Path(), RefPath(ref));
	EXPECT_EQ(B_ENTRY_NOT_FOUND, get_ref_for_path("nowhere/x", &ref));

	BEntry entry("sub");
	EXPECT_TRUE(entry.IsDirectory());
	BPath path("sub/x");
	EXPECT_STREQ(fTemp.Child("sub/x").c_str(), path.Path());
}


TEST_F(EntryTest, RefToReplacedDirectoryIsRefused)
{
	std::string directory = fTemp.Child("dir");
	ASSERT_EQ(0, mkdir(directory.c_str(), 0755));
	write_raw(directory + "/file", "old");
	entry_ref ref;
	ASSERT_EQ(B_OK, get_ref_for_path((directory + "/file").c_str(), &ref));

	ASSERT_EQ(0, rename(directory.c_str(), fTemp.Child("moved").c_str()));
	ASSERT_EQ(0, mkdir(directory.c_str(), 0755));
	write_raw(directory + "/file", "impostor");

	BEntry entry(&ref);
	EXPECT_EQ(B_ENTRY_NOT_FOUND, entry.InitCheck());
	BFile file(&ref, B_WRITE_ONLY | B_ERASE_FILE);
	EXPECT_EQ(B_ENTRY_NOT_FOUND, file.InitCheck());
	EXPECT_EQ("impostor", read_raw(directory + "/file"));
}


TEST_F(EntryTest, EntryAccess)
{
	std::string file = fTemp.Child("file");
	write_raw(file, "12345");
	BEntry entry(file.c_str());
	ASSERT_EQ(B_OK, entry.InitCheck());
	EXPECT_TRUE(entry.Exists());
	EXPECT_TRUE(entry.IsFile());
	EXPECT_FALSE(entry.IsDirectory());
	off_t size = 0;
	EXPECT_EQ(B_OK, entry.GetSize(&size));
	EXPECT_EQ(5, size);
	EXPECT_STREQ("file", entry.Name());
	char name[B_FILE_NAME_LENGTH];
	EXPECT_EQ(B_OK, entry.GetName(name));
	EXPECT_STREQ("file", name);

	entry_ref ref;
	ASSERT_EQ(B_OK, entry.GetRef(&ref));
	entry_ref expected;
	ASSERT_EQ(B_OK, get_ref_for_path(file.c_str(), &expected));
	EXPECT_TRUE(ref == expected);
	BPath path;
	ASSERT_EQ(B_OK, entry.GetPath(&path));
	EXPECT_STREQ(file.c_str(), path.Path());

	// Up the tree to the root, whose parent does not exist.
	BEntry parent;
	ASSERT_EQ(B_OK, entry.GetParent(&parent));
	EXPECT_TRUE(parent.IsDirectory());
	ASSERT_EQ(B_OK, parent.GetPath(&path));
	EXPECT_STREQ(fTemp.Path().c_str(), path.Path());
	int steps = 0;
	while (parent.GetParent(&parent) == B_OK && steps < 100)
		steps++;
	ASSERT_EQ(B_OK, parent.GetPath(&path));
	EXPECT_STREQ("/", path.Path());
	EXPECT_STREQ(".", parent.Name());
	EXPECT_EQ(B_ENTRY_NOT_FOUND, parent.GetParent(&parent));
	BDirectory directory;
	EXPECT_EQ(B_OK, entry.GetParent(&directory));
	EXPECT_EQ(B_ENTRY_NOT_FOUND, parent.GetParent(&directory));

	BEntry abstract(fTemp.Child("later").c_str());
	EXPECT_EQ(B_OK, abstract.InitCheck());
	EXPECT_FALSE(abstract.Exists());
	EXPECT_EQ(B_ENTRY_NOT_FOUND, abstract.GetSize(&size));

	EXPECT_TRUE(entry == BEntry(file.c_str()));
	EXPECT_TRUE(entry != abstract);
	BEntry copy(entry);
	EXPECT_TRUE(copy == entry);
}


TEST_F(EntryTest, TraversalFollowsLinks)
{
	write_raw(fTemp.Child("target"), "t");
	ASSERT_EQ(0, mkdir(fTemp.Child("dir").c_str(), 0755));
	ASSERT_EQ(0, symlink("../target", fTemp.Child("dir/up").c_str()));
	ASSERT_EQ(0, symlink("dir/up", fTemp.Child("chain").c_str()));
	ASSERT_EQ(0, symlink("nothing here", fTemp.Child("dangling").c_str()));
	ASSERT_EQ(0, symlink("no/dir", fTemp.Child("nowhere").c_str()));
	ASSERT_EQ(0, symlink("loop-b", fTemp.Child("loop-a").c_str()));
	ASSERT_EQ(0, symlink("loop-a", fTemp.Child("loop-b").c_str()));

	BEntry link(fTemp.Child("chain").c_str());
	EXPECT_TRUE(link.IsSymLink());
	EXPECT_STREQ("chain", link.Name());

	BEntry followed(fTemp.Child("chain").c_str(), true);
	ASSERT_EQ(B_OK, followed.InitCheck());
	EXPECT_TRUE(followed.IsFile());
	BPath path;
	ASSERT_EQ(B_OK, followed.GetPath(&path));
	EXPECT_STREQ(fTemp.Child("target").c_str(), path.Path());

	BEntry dangling(fTemp.Child("dangling").c_str(), true);
	ASSERT_EQ(B_OK, dangling.InitCheck());
	EXPECT_FALSE(dangling.Exists());
	EXPECT_STREQ("nothing here", dangling.Name());

	BEntry nowhere(fTemp.Child("nowhere").c_str(), true);
	EXPECT_EQ(B_ENTRY_NOT_FOUND, nowhere.InitCheck());
	BEntry loop(fTemp.Child("loop-a").c_str(), true);
	EXPECT_EQ(B_LINK_LIMIT, loop.InitCheck());
	EXPECT_EQ(NULL, loop.Name());
}


TEST_F(EntryTest, RenameMoveAndRemove)
{
	write_raw(fTemp.Child("a"), "A");
	write_raw(fTemp.Child("b"), "B");
	ASSERT_EQ(0, mkdir(fTemp.Child("dir").c_str(), 0755));

	BEntry entry(fTemp.Child("a").c_str());
	EXPECT_EQ(B_FILE_EXISTS, entry.Rename("b"));
	EXPECT_EQ("A", read_raw(fTemp.Child("a")));
	EXPECT_EQ("B", read_raw(fTemp.Child("b")));
	EXPECT_EQ(B_BAD_VALUE, entry.Rename(""));
	EXPECT_EQ(B_ENTRY_NOT_FOUND, entry.Rename("missing/c"));

	EXPECT_EQ(B_OK, entry.Rename("b", true));
	EXPECT_EQ("A", read_raw(fTemp.Child("b")));
	EXPECT_FALSE(exists_raw(fTemp.Child("a")));
	EXPECT_STREQ("b", entry.Name());

	EXPECT_EQ(B_OK, entry.Rename("c"));
	EXPECT_EQ("A", read_raw(fTemp.Child("c")));

	BDirectory directory(fTemp.Child("dir").c_str());
	EXPECT_EQ(B_OK, entry.MoveTo(&directory));
	EXPECT_EQ("A", read_raw(fTemp.Child("dir/c")));
	EXPECT_EQ(B_OK, entry.MoveTo(&directory, "d"));
	EXPECT_EQ("A", read_raw(fTemp.Child("dir/d")));

	BEntry dirEntry(fTemp.Child("dir").c_str());
	EXPECT_EQ(B_DIRECTORY_NOT_EMPTY, dirEntry.Remove());
	EXPECT_EQ(B_OK, entry.Remove());
	EXPECT_EQ(B_OK, entry.InitCheck());
	EXPECT_FALSE(entry.Exists());
	EXPECT_EQ(B_ENTRY_NOT_FOUND, entry.Remove());
	EXPECT_EQ(B_ENTRY_NOT_FOUND, entry.Rename("e"));
	EXPECT_EQ(B_OK, dirEntry.Remove());
	EXPECT_FALSE(exists_raw(fTemp.Child("dir")));
}


TEST_F(EntryTest, UninitialisedEntry)
{
	BEntry entry;
	entry_ref ref;
	BPath path("/tmp");
	char name[B_FILE_NAME_LENGTH];
	struct stat st;
	EXPECT_EQ(B_NO_INIT, entry.InitCheck());
	EXPECT_FALSE(entry.Exists());
	EXPECT_EQ(NULL, entry.Name());
	EXPECT_EQ(B_NO_INIT, entry.GetRef(&ref));
	EXPECT_EQ(B_NO_INIT, entry.GetPath(&path));
	EXPECT_EQ(B_NO_INIT, path.InitCheck());
	EXPECT_EQ(B_NO_INIT, entry.GetName(name));
	EXPECT_EQ(B_NO_INIT, entry.GetStat(&st));
	EXPECT_EQ(B_NO_INIT, entry.Remove());
	EXPECT_EQ(B_NO_INIT, entry.Rename("x"));
	EXPECT_EQ(B_NO_INIT, entry.SetPermissions(0644));
	EXPECT_FALSE(entry.IsFile());
	EXPECT_TRUE(entry == BEntry());

	EXPECT_EQ(B_BAD_VALUE, entry.SetTo((const char*)NULL));
	EXPECT_EQ(B_BAD_VALUE, entry.SetTo((const entry_ref*)NULL));
	EXPECT_EQ(B_BAD_VALUE, entry.SetTo(&ref));
	ASSERT_EQ(B_OK, entry.SetTo(fTemp.Path().c_str()));
	EXPECT_EQ(B_ENTRY_NOT_FOUND, entry.SetTo(fTemp.Child("x/y").c_str()));
	EXPECT_EQ(NULL, entry.Name());
}


TEST_F(EntryTest, StatableSettersOnEntriesAndNodes)
{
	std::string path = fTemp.Child("file");
	write_raw(path, "x");
	BEntry entry(path.c_str());

	EXPECT_EQ(B_OK, entry.SetPermissions(0640));
	mode_t permissions = 0;
	EXPECT_EQ(B_OK, entry.GetPermissions(&permissions));
	EXPECT_EQ(0640u, permissions);
	EXPECT_EQ(B_OK, entry.SetModificationTime(1000000));
	time_t mtime = 0;
	EXPECT_EQ(B_OK, entry.GetModificationTime(&mtime));
	EXPECT_EQ(1000000, mtime);

	// A plain BNode has a look-only descriptor; the setters still work.
	BNode node(path.c_str());
	ASSERT_EQ(B_OK, node.InitCheck());
	EXPECT_EQ(B_OK, node.SetPermissions(0604));
	EXPECT_EQ(B_OK, node.SetModificationTime(2000000));
	EXPECT_EQ(B_OK, node.SetAccessTime(3000000));
	struct stat st;
	ASSERT_EQ(0, stat(path.c_str(), &st));
	EXPECT_EQ(0604u, st.st_mode & 07777);
	EXPECT_EQ(2000000, st.st_mtime);
	EXPECT_EQ(3000000, st.st_atime);
	EXPECT_EQ(B_OK, node.Sync());
	uid_t owner;
	EXPECT_EQ(B_OK, node.GetOwner(&owner));
	EXPECT_EQ(B_OK, node.SetOwner(owner));

	node_ref fromNode;
	node_ref fromEntry;
	EXPECT_EQ(B_OK, node.GetNodeRef(&fromNode));
	EXPECT_EQ(B_OK, entry.GetNodeRef(&fromEntry));
	EXPECT_TRUE(fromNode == fromEntry);
	EXPECT_EQ(B_BAD_VALUE, node.GetNodeRef(NULL));

	ASSERT_EQ(0, symlink("file", fTemp.Child("link").c_str()));
	BEntry link(fTemp.Child("link").c_str());
	EXPECT_EQ(B_NOT_SUPPORTED, link.SetPermissions(0600));
	EXPECT_EQ(B_OK, link.SetModificationTime(5000000));
	ASSERT_EQ(0, stat(path.c_str(), &st));
	EXPECT_EQ(0604u, st.st_mode & 07777);
	EXPECT_EQ(2000000, st.st_mtime);

	BNode missing(fTemp.Child("missing").c_str());
	EXPECT_EQ(B_ENTRY_NOT_FOUND, missing.InitCheck());
	EXPECT_EQ(B_ENTRY_NOT_FOUND, missing.SetPermissions(0600));
}


TEST_F(EntryTest, EachSetterChangesItsOwnPartOnly)
{
	std::string path = fTemp.Child("file");
	write_raw(path, "x");
	ASSERT_EQ(0, symlink("file", fTemp.Child("link").c_str()));
	uid_t owner = geteuid();
	gid_t group = getegid();

	// What each setter sets, and the part of a stat it is to change.
	struct {
		const char*	name;
		std::function<status_t(BStatable&)> set;
		std::function<void(struct stat&)> expect;
		status_t	onLink;
	} setters[] = {
		{ "owner", [&](BStatable& s) { return s.SetOwner(owner); },
			[&](struct stat& st) { st.st_uid = owner; }, B_OK },
		{ "group", [&](BStatable& s) { return s.SetGroup(group); },
			[&](struct stat& st) { st.st_gid = group; }, B_OK },
		{ "permissions", [](BStatable& s) { return s.SetPermissions(015612); },
			[](struct stat& st) { st.st_mode = (st.st_mode & ~07777) | 05612; },
			B_NOT_SUPPORTED },
		{ "modification time",
			[](BStatable& s) { return s.SetModificationTime(1234567); },
			[](struct stat& st) { st.st_mtime = 1234567; }, B_OK },
		{ "access time",
			[](BStatable& s) { return s.SetAccessTime(7654321); },
			[](struct stat& st) { st.st_atime = 7654321; }, B_OK },
	};
	for (const auto& setter : setters) {
		for (bool onNode : {false, true}) {
			SCOPED_TRACE(std::string(setter.name) + (onNode ? ", node"
				: ", entry"));
			ASSERT_EQ(0, chmod(path.c_str(), 0644));
			struct timespec times[2] = { {111, 0}, {222, 0} };
			ASSERT_EQ(0, utimensat(AT_FDCWD, path.c_str(), times, 0));
			struct stat expected;
			ASSERT_EQ(0, stat(path.c_str(), &expected));
			setter.expect(expected);

			BEntry entry(path.c_str());
			BNode node(path.c_str());
			BStatable& statable = onNode ? (BStatable&)node : entry;
			EXPECT_EQ(B_OK, setter.set(statable));
			struct stat st;
			ASSERT_EQ(0, stat(path.c_str(), &st));
			EXPECT_EQ(expected.st_mode, st.st_mode);
			EXPECT_EQ(expected.st_uid, st.st_uid);
			EXPECT_EQ(expected.st_gid, st.st_gid);
			EXPECT_EQ(expected.st_mtime, st.st_mtime);
			EXPECT_EQ(expected.st_atime, st.st_atime);
		}

		SCOPED_TRACE(setter.name);
		BEntry uninitialised;
		EXPECT_EQ(B_NO_INIT, setter.set(uninitialised));
		BNode missing(fTemp.Child("missing").c_str());
		EXPECT_EQ(B_ENTRY_NOT_FOUND, setter.set(missing));
		BEntry link(fTemp.Child("link").c_str());
		EXPECT_EQ(setter.onLink, setter.set(link));
	}
}
