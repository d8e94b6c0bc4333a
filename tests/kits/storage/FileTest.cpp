/*
 * BFile. Cases:
 * - every byte value written and read back exactly, through Write/Read,
 *   WriteAt/ReadAt, and checked against the bytes on disk;
 * - each open mode: creating, B_FAIL_IF_EXISTS on an existing file (left
 *   untouched), B_ERASE_FILE truncating, write-only|create|erase (0x601)
 *   on a longer file leaving no trailing bytes, B_OPEN_AT_END appending,
 *   overwriting without erasing, invalid modes refused without harm;
 * - missing files, a read-only file, a directory opened as a file;
 * - a FIFO and /dev/null refused without blocking;
 * - a 255-byte name, a 256-byte one, names with spaces and bytes that
 *   are not UTF-8;
 * - seeking, positions, SetSize, reading past the end, a file over 4 GiB;
 * - SetTo from a ref to a file not yet there, an entry, a directory;
 * - an uninitialised file, copies;
 * - creating through a dangling symbolic link, and a plain create that
 *   meets a directory or a FIFO leaves it as it was;
 * - BDirectory::CreateFile with permissions makes the file with them
 *   from the start;
 * - attributes: written, read, listed, measured and removed; missing
 *   ones and offsets refused;
 * - Lock(): one holder at a time, and none once the file is closed.
 */
#include <File.h>

#include <fcntl.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <set>
#include <string>

#include <Directory.h>
#include <Entry.h>
#include <Path.h>
#include <TypeConstants.h>
#include <fs_attr.h>

#include "StorageTestSupport.h"


static mode_t
mode_of(const std::string& path)
{
	struct stat st;
	return lstat(path.c_str(), &st) == 0 ? st.st_mode : 0;
}


class FileTest : public ::testing::Test {
protected:
	TempDirectory fTemp;
};


TEST_F(FileTest, AllByteValuesRoundTripExactly)
{
	std::string path = fTemp.Child("bytes");
	std::string bytes = all_byte_values();
	// Several copies, so the file is bigger than any small buffer.
	std::string content;
	for (int i = 0; i < 300; i++)
		content += bytes;

	{
		BFile file(path.c_str(), B_WRITE_ONLY | B_CREATE_FILE);
		ASSERT_EQ(B_OK, file.InitCheck());
		EXPECT_EQ((ssize_t)content.size(),
			file.Write(content.data(), content.size()));
		EXPECT_EQ((off_t)content.size(), file.Position());
	}
	EXPECT_EQ(content, read_raw(path));

	BFile file(path.c_str(), B_READ_ONLY);
	ASSERT_EQ(B_OK, file.InitCheck());
	std::string back(content.size() + 10, 'x');
	EXPECT_EQ((ssize_t)content.size(), file.Read(back.data(), back.size()));
	back.resize(content.size());
	EXPECT_EQ(content, back);
	EXPECT_EQ(0, file.Read(back.data(), 1));

	char slice[256];
	EXPECT_EQ(256, file.ReadAt(256 * 7, slice, sizeof(slice)));
	EXPECT_EQ(0, memcmp(bytes.data(), slice, sizeof(slice)));

	BFile writer(path.c_str(), B_READ_WRITE);
	ASSERT_EQ(B_OK, writer.InitCheck());
	EXPECT_EQ(256, writer.WriteAt(1, bytes.data(), bytes.size()));
	std::string expected = content;
	expected.replace(1, 256, bytes);
	EXPECT_EQ(expected, read_raw(path));
}


TEST_F(FileTest, OpenModesCreateEraseAppendAndFail)
{
	EXPECT_EQ(0x601, B_WRITE_ONLY | B_CREATE_FILE | B_ERASE_FILE);
	std::string path = fTemp.Child("modes");

	// Missing without B_CREATE_FILE.
	BFile file(path.c_str(), B_READ_WRITE);
	EXPECT_EQ(B_ENTRY_NOT_FOUND, file.InitCheck());
	EXPECT_FALSE(exists_raw(path));

	// B_FAIL_IF_EXISTS creates a missing file on its own.
	EXPECT_EQ(B_OK, file.SetTo(path.c_str(), B_WRITE_ONLY | B_FAIL_IF_EXISTS));
	EXPECT_EQ(4, file.Write("long", 4));
	EXPECT_EQ(B_FILE_EXISTS, file.SetTo(path.c_str(),
		B_READ_WRITE | B_CREATE_FILE | B_FAIL_IF_EXISTS));
	EXPECT_EQ(B_FILE_EXISTS, file.InitCheck());
	EXPECT_EQ("long", read_raw(path));

	// Without B_ERASE_FILE the tail survives an overwrite.
	write_raw(path, "a longer original text");
	ASSERT_EQ(B_OK, file.SetTo(path.c_str(), B_WRITE_ONLY));
	EXPECT_EQ(5, file.Write("SHORT", 5));
	EXPECT_EQ("SHORTger original text", read_raw(path));

	// 0x601 leaves exactly what was written.
	ASSERT_EQ(B_OK, file.SetTo(path.c_str(), 0x601));
	EXPECT_EQ(0, file.Position());
	EXPECT_EQ(3, file.Write("new", 3));
	file.Unset();
	EXPECT_EQ("new", read_raw(path));

	// B_ERASE_FILE on its own empties the file at open.
	ASSERT_EQ(B_OK, file.SetTo(path.c_str(), B_READ_WRITE | B_ERASE_FILE));
	off_t size = -1;
	EXPECT_EQ(B_OK, file.GetSize(&size));
	EXPECT_EQ(0, size);

	// B_OPEN_AT_END appends, wherever the position was put.
	write_raw(path, "head");
	ASSERT_EQ(B_OK, file.SetTo(path.c_str(), B_READ_WRITE | B_OPEN_AT_END));
	EXPECT_EQ(0, file.Seek(0, SEEK_SET));
	EXPECT_EQ(4, file.Write("tail", 4));
	EXPECT_EQ(2, file.WriteAt(0, "!!", 2));
	EXPECT_EQ("headtail!!", read_raw(path));
	char buffer[4];
	EXPECT_EQ(4, file.ReadAt(0, buffer, 4));
	EXPECT_EQ(0, memcmp("head", buffer, 4));
}


TEST_F(FileTest, InvalidModesAndAccessAreRefusedWithoutHarm)
{
	std::string path = fTemp.Child("guarded");
	write_raw(path, "keep me");

	BFile file;
	EXPECT_EQ(B_BAD_VALUE, file.SetTo(path.c_str(), B_OPEN_MODE_MASK));
	EXPECT_EQ(B_BAD_VALUE, file.SetTo(path.c_str(), B_READ_WRITE | 0x1000));
	EXPECT_EQ(B_BAD_VALUE, file.SetTo(path.c_str(),
		B_READ_ONLY | B_ERASE_FILE));
	EXPECT_EQ(B_BAD_VALUE, file.SetTo((const char*)NULL, B_READ_ONLY));
	EXPECT_EQ(B_BAD_VALUE, file.SetTo("", B_READ_ONLY));
	EXPECT_EQ("keep me", read_raw(path));

	ASSERT_EQ(B_OK, file.SetTo(path.c_str(), B_READ_ONLY));
	EXPECT_TRUE(file.IsReadable());
	EXPECT_FALSE(file.IsWritable());
	EXPECT_EQ(B_NOT_ALLOWED, file.Write("x", 1));
	EXPECT_EQ(B_NOT_ALLOWED, file.WriteAt(0, "x", 1));
	EXPECT_EQ(B_NOT_ALLOWED, file.SetSize(0));

	ASSERT_EQ(B_OK, file.SetTo(path.c_str(), B_WRITE_ONLY));
	EXPECT_FALSE(file.IsReadable());
	EXPECT_TRUE(file.IsWritable());
	char buffer[4];
	EXPECT_EQ(B_NOT_ALLOWED, file.Read(buffer, sizeof(buffer)));
	EXPECT_EQ(B_NOT_ALLOWED, file.ReadAt(0, buffer, sizeof(buffer)));
	EXPECT_EQ("keep me", read_raw(path));
}


TEST_F(FileTest, ReadOnlyFileRefusesWriting)
{
	if (geteuid() == 0)
		GTEST_SKIP() << "permission bits do not bind root";
	std::string path = fTemp.Child("read-only");
	write_raw(path, "locked");
	ASSERT_EQ(0, chmod(path.c_str(), 0444));

	BFile file(path.c_str(), B_WRITE_ONLY);
	EXPECT_EQ(B_PERMISSION_DENIED, file.InitCheck());
	EXPECT_EQ(B_PERMISSION_DENIED, file.SetTo(path.c_str(), 0x601));
	EXPECT_EQ("locked", read_raw(path));
	EXPECT_EQ(B_OK, file.SetTo(path.c_str(), B_READ_ONLY));
}


TEST_F(FileTest, DirectoriesAndSpecialFilesAreRefused)
{
	BFile file(fTemp.Path().c_str(), B_READ_ONLY);
	EXPECT_EQ(B_IS_A_DIRECTORY, file.InitCheck());
	EXPECT_EQ(B_IS_A_DIRECTORY, file.SetTo(fTemp.Path().c_str(),
		B_READ_WRITE));
	EXPECT_EQ(B_IS_A_DIRECTORY, file.SetTo((fTemp.Path() + "/").c_str(),
		B_WRITE_ONLY | B_CREATE_FILE | B_ERASE_FILE));

	// Neither end of a FIFO without a partner may block the open.
	std::string fifo = fTemp.Child("fifo");
	ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600));
	EXPECT_EQ(B_UNSUPPORTED, file.SetTo(fifo.c_str(), B_READ_ONLY));
	EXPECT_EQ(B_UNSUPPORTED, file.SetTo(fifo.c_str(), B_WRITE_ONLY));
	EXPECT_EQ(B_UNSUPPORTED, file.SetTo(fifo.c_str(),
		B_READ_WRITE | B_CREATE_FILE));
	struct stat st;
	ASSERT_EQ(0, stat(fifo.c_str(), &st));
	EXPECT_TRUE(S_ISFIFO(st.st_mode));

	EXPECT_EQ(B_UNSUPPORTED, file.SetTo("/dev/null", B_READ_ONLY));
	EXPECT_EQ(B_UNSUPPORTED, file.SetTo("/dev/zero", B_READ_ONLY));
	EXPECT_EQ(B_UNSUPPORTED, file.InitCheck());

	// Looking at a FIFO is fine: BNode and BEntry only stat it.
	BNode node(fifo.c_str());
	EXPECT_EQ(B_OK, node.InitCheck());
	EXPECT_FALSE(node.IsFile());
	EXPECT_FALSE(node.IsDirectory());
	BEntry entry("/dev/null");
	EXPECT_TRUE(entry.Exists());
}


TEST_F(FileTest, NameLengthsAndUnusualBytes)
{
	std::string longest(255, 'n');
	std::string path = fTemp.Child(longest);
	BFile file(path.c_str(), B_WRITE_ONLY | B_CREATE_FILE);
	ASSERT_EQ(B_OK, file.InitCheck());
	EXPECT_EQ(2, file.Write("ok", 2));
	EXPECT_EQ("ok", read_raw(path));

	std::string tooLong = fTemp.Child(longest + "n");
	EXPECT_EQ(B_NAME_TOO_LONG, file.SetTo(tooLong.c_str(),
		B_WRITE_ONLY | B_CREATE_FILE));
	entry_ref ref;
	EXPECT_EQ(B_NAME_TOO_LONG, get_ref_for_path(tooLong.c_str(), &ref));
	BEntry entry(tooLong.c_str());
	EXPECT_EQ(B_NAME_TOO_LONG, entry.InitCheck());

	// Spaces and bytes that are not valid UTF-8 pass through untouched.
	const char* names[] = { "with  two spaces ", "latin1 \xe9t\xe9",
		"\xff\xfe\x80 lone continuation", " leading" };
	for (const char* name : names) {
		std::string odd = fTemp.Child(name);
		ASSERT_EQ(B_OK, file.SetTo(odd.c_str(),
			B_WRITE_ONLY | B_CREATE_FILE)) << name;
		EXPECT_EQ(4, file.Write(name, 4));
		EXPECT_EQ(std::string(name, 4), read_raw(odd));

		ASSERT_EQ(B_OK, get_ref_for_path(odd.c_str(), &ref));
		EXPECT_STREQ(name, ref.name);
		BPath fromRef(&ref);
		EXPECT_STREQ(odd.c_str(), fromRef.Path());
	}
}


TEST_F(FileTest, SeekPositionAndSize)
{
	std::string path = fTemp.Child("sized");
	BFile file(path.c_str(), B_READ_WRITE | B_CREATE_FILE);
	ASSERT_EQ(B_OK, file.InitCheck());
	EXPECT_EQ(10, file.Write("0123456789", 10));

	EXPECT_EQ(7, file.Seek(-3, SEEK_END));
	EXPECT_EQ(9, file.Seek(2, SEEK_CUR));
	EXPECT_EQ(9, file.Position());
	EXPECT_EQ(B_BAD_VALUE, file.Seek(-100, SEEK_CUR));
	EXPECT_EQ(B_BAD_VALUE, file.Seek(0, 42));
	EXPECT_EQ(9, file.Position());

	char buffer[8];
	EXPECT_EQ(1, file.Read(buffer, sizeof(buffer)));
	EXPECT_EQ('9', buffer[0]);
	EXPECT_EQ(0, file.ReadAt(10, buffer, sizeof(buffer)));
	EXPECT_EQ(0, file.ReadAt(1000, buffer, sizeof(buffer)));
	EXPECT_EQ(B_BAD_VALUE, file.ReadAt(-1, buffer, sizeof(buffer)));
	EXPECT_EQ(B_BAD_VALUE, file.WriteAt(-1, buffer, 1));
	EXPECT_EQ(B_BAD_VALUE, file.Read(NULL, 1));

	// A write past the end leaves zero bytes in between.
	EXPECT_EQ(12, file.Seek(12, SEEK_SET));
	EXPECT_EQ(1, file.Write("z", 1));
	EXPECT_EQ(std::string("0123456789\0\0z", 13), read_raw(path));

	EXPECT_EQ(B_OK, file.SetSize(4));
	EXPECT_EQ("0123", read_raw(path));
	EXPECT_EQ(B_OK, file.SetSize(6));
	EXPECT_EQ(std::string("0123\0\0", 6), read_raw(path));
	EXPECT_EQ(B_BAD_VALUE, file.SetSize(-1));
	off_t size = 0;
	EXPECT_EQ(B_OK, file.GetSize(&size));
	EXPECT_EQ(6, size);
	EXPECT_EQ(B_BAD_VALUE, file.GetSize(NULL));
}


TEST_F(FileTest, FilesPastFourGigabytes)
{
	std::string path = fTemp.Child("large");
	BFile file(path.c_str(), B_READ_WRITE | B_CREATE_FILE);
	ASSERT_EQ(B_OK, file.InitCheck());

	const off_t kFourGiB = 4LL * 1024 * 1024 * 1024;
	status_t status = file.SetSize(kFourGiB + 100);
	if (status == B_DEVICE_FULL || status == B_FILE_TOO_LARGE)
		GTEST_SKIP() << "the temporary file system has no room for holes";
	ASSERT_EQ(B_OK, status);

	EXPECT_EQ(4, file.WriteAt(kFourGiB + 10, "deep", 4));
	char buffer[4];
	EXPECT_EQ(4, file.ReadAt(kFourGiB + 10, buffer, 4));
	EXPECT_EQ(0, memcmp("deep", buffer, 4));
	EXPECT_EQ(kFourGiB + 96, file.Seek(-4, SEEK_END));
	EXPECT_EQ(4, file.Write("last", 4));
	EXPECT_EQ(kFourGiB + 100, file.Position());

	off_t size = 0;
	EXPECT_EQ(B_OK, file.GetSize(&size));
	EXPECT_EQ(kFourGiB + 100, size);
	struct stat st;
	ASSERT_EQ(0, stat(path.c_str(), &st));
	EXPECT_EQ(kFourGiB + 100, st.st_size);
}


TEST_F(FileTest, SetToFromRefEntryAndDirectory)
{
	// A ref to a file that does not exist yet is how a save goes.
	std::string path = fTemp.Child("to be saved");
	entry_ref ref;
	ASSERT_EQ(B_OK, get_ref_for_path(path.c_str(), &ref));
	BFile file(&ref, B_READ_ONLY);
	EXPECT_EQ(B_ENTRY_NOT_FOUND, file.InitCheck());
	ASSERT_EQ(B_OK, file.SetTo(&ref, B_WRITE_ONLY | B_CREATE_FILE));
	EXPECT_EQ(5, file.Write("saved", 5));
	EXPECT_EQ("saved", read_raw(path));

	BEntry entry(path.c_str());
	ASSERT_EQ(B_OK, file.SetTo(&entry, B_READ_ONLY));
	char buffer[5];
	EXPECT_EQ(5, file.Read(buffer, 5));

	BDirectory directory(fTemp.Path().c_str());
	ASSERT_EQ(B_OK, file.SetTo(&directory, "relative", B_WRITE_ONLY
		| B_CREATE_FILE));
	EXPECT_TRUE(exists_raw(fTemp.Child("relative")));
	// An absolute path ignores the directory.
	std::string elsewhere = fTemp.Child("absolute");
	BDirectory root("/");
	ASSERT_EQ(B_OK, file.SetTo(&root, elsewhere.c_str(), B_WRITE_ONLY
		| B_CREATE_FILE));
	EXPECT_TRUE(exists_raw(elsewhere));

	BDirectory unset;
	EXPECT_EQ(B_BAD_VALUE, file.SetTo(&unset, "x", B_READ_ONLY));
	EXPECT_EQ(B_BAD_VALUE, file.SetTo((const BEntry*)NULL, B_READ_ONLY));
	BEntry unsetEntry;
	EXPECT_EQ(B_NO_INIT, file.SetTo(&unsetEntry, B_READ_ONLY));
}


TEST_F(FileTest, UninitialisedFilesAndCopies)
{
	BFile file;
	char buffer[4];
	off_t size;
	EXPECT_EQ(B_NO_INIT, file.InitCheck());
	EXPECT_EQ(B_NO_INIT, file.Read(buffer, 4));
	EXPECT_EQ(B_NO_INIT, file.WriteAt(0, buffer, 4));
	EXPECT_EQ(B_NO_INIT, file.Seek(0, SEEK_SET));
	EXPECT_EQ(B_NO_INIT, file.Position());
	EXPECT_EQ(B_NO_INIT, file.GetSize(&size));
	EXPECT_EQ(B_NO_INIT, file.SetSize(0));
	EXPECT_EQ(B_NO_INIT, file.Sync());
	EXPECT_FALSE(file.IsReadable());
	EXPECT_FALSE(file.IsWritable());

	std::string path = fTemp.Child("shared");
	write_raw(path, "abcdef");
	ASSERT_EQ(B_OK, file.SetTo(path.c_str(), B_READ_WRITE));
	EXPECT_EQ(B_OK, file.Sync());

	// A copy shares the descriptor's position, like dup().
	BFile copy(file);
	ASSERT_EQ(B_OK, copy.InitCheck());
	EXPECT_TRUE(copy.IsWritable());
	EXPECT_EQ(2, copy.Read(buffer, 2));
	EXPECT_EQ(2, file.Position());
	EXPECT_TRUE(copy == file);

	file.Unset();
	EXPECT_EQ(B_NO_INIT, file.InitCheck());
	EXPECT_EQ(2, copy.Read(buffer, 2));
	EXPECT_EQ(0, memcmp("cd", buffer, 2));

	BFile assigned;
	assigned = copy;
	EXPECT_EQ(B_OK, assigned.InitCheck());
	assigned = file;
	EXPECT_EQ(B_NO_INIT, assigned.InitCheck());
	EXPECT_FALSE(assigned.IsReadable());
}


TEST_F(FileTest, PlainCreateKnowsWhatItMade)
{
	// Through a link to nothing, the file comes into being at its target.
	std::string target = fTemp.Child("target.txt");
	std::string link = fTemp.Child("link.txt");
	ASSERT_EQ(0, symlink("target.txt", link.c_str()));
	BFile file(link.c_str(), B_WRITE_ONLY | B_CREATE_FILE);
	ASSERT_EQ(B_OK, file.InitCheck());
	EXPECT_EQ(3, file.Write("new", 3));
	file.Unset();
	EXPECT_EQ("new", read_raw(target));

	// A directory or a FIFO under the name is refused and left alone.
	std::string folder = fTemp.Child("folder");
	std::string fifo = fTemp.Child("fifo");
	ASSERT_EQ(0, mkdir(folder.c_str(), 0755));
	ASSERT_EQ(0, mkfifo(fifo.c_str(), 0644));
	EXPECT_EQ(B_IS_A_DIRECTORY, file.SetTo(folder.c_str(),
		B_READ_WRITE | B_CREATE_FILE | B_ERASE_FILE));
	EXPECT_EQ(B_UNSUPPORTED, file.SetTo(fifo.c_str(),
		B_WRITE_ONLY | B_CREATE_FILE | B_ERASE_FILE));
	EXPECT_TRUE(S_ISDIR(mode_of(folder)) && S_ISFIFO(mode_of(fifo)));

	// An existing file is still emptied, and keeps its mode.
	std::string existing = fTemp.Child("existing.txt");
	write_raw(existing, "old bytes");
	ASSERT_EQ(0, chmod(existing.c_str(), 0604));
	ASSERT_EQ(B_OK, file.SetTo(existing.c_str(),
		B_WRITE_ONLY | B_CREATE_FILE | B_ERASE_FILE));
	EXPECT_EQ("", read_raw(existing));
	EXPECT_EQ(0604u, mode_of(existing) & 07777);
}


TEST_F(FileTest, CreateFileWithPermissions)
{
	BDirectory directory(fTemp.Path().c_str());
	mode_t oldMask = umask(022);
	BFile file;
	EXPECT_EQ(B_OK, directory.CreateFile("private", &file, true, 0600));
	EXPECT_EQ(0600u, mode_of(fTemp.Child("private")) & 07777);
	EXPECT_EQ(B_OK, directory.CreateFile("plain", &file, true));
	EXPECT_EQ(0644u, mode_of(fTemp.Child("plain")) & 07777);
	// The umask still counts, and an existing file keeps its mode.
	EXPECT_EQ(B_OK, directory.CreateFile("masked", &file, true, 0666));
	EXPECT_EQ(0644u, mode_of(fTemp.Child("masked")) & 07777);
	EXPECT_EQ(B_FILE_EXISTS,
		directory.CreateFile("private", &file, true, 0666));
	EXPECT_EQ(B_OK, directory.CreateFile("plain", &file, false, 0600));
	EXPECT_EQ(0644u, mode_of(fTemp.Child("plain")) & 07777);
	umask(oldMask);
}


TEST_F(FileTest, LockIsExclusiveAndEndsWithTheFile)
{
	write_raw(fTemp.Child("locked"), "x");
	BFile first(fTemp.Child("locked").c_str(), B_READ_WRITE);
	BFile second(fTemp.Child("locked").c_str(), B_READ_ONLY);
	ASSERT_EQ(B_OK, first.Lock());
	// Held elsewhere, the lock is refused at once rather than waited for.
	EXPECT_EQ(B_BUSY, second.Lock());
	EXPECT_EQ(B_OK, first.Unlock());
	EXPECT_EQ(B_OK, second.Lock());
	second.Unset();
	EXPECT_EQ(B_OK, first.Lock());
	EXPECT_EQ(B_NO_INIT, BFile().Lock());
}


TEST_F(FileTest, AttributesRoundTrip)
{
	std::string path = fTemp.Child("tagged.txt");
	write_raw(path, "text");
	if (setxattr(path.c_str(), "user.probe", "", 0, 0) != 0)
		GTEST_SKIP() << "no user attributes on this file system";
	ASSERT_EQ(0, removexattr(path.c_str(), "user.probe"));

	BFile file(path.c_str(), B_READ_WRITE);
	std::string value = all_byte_values();
	EXPECT_EQ((ssize_t)value.size(), file.WriteAttr("user.bytes",
		B_RAW_TYPE, 0, value.data(), value.size()));
	EXPECT_EQ(0, file.WriteAttr("user.empty", B_STRING_TYPE, 0, "", 0));
	EXPECT_EQ(B_BAD_VALUE, file.WriteAttr("user.x", B_RAW_TYPE, 4, "x", 1));

	// A path-only node reads them as well as the open file.
	BNode node(path.c_str());
	attr_info info;
	ASSERT_EQ(B_OK, node.GetAttrInfo("user.bytes", &info));
	EXPECT_EQ((off_t)value.size(), info.size);
	EXPECT_EQ((uint32)B_RAW_TYPE, info.type);
	std::string read(value.size(), '\0');
	EXPECT_EQ((ssize_t)value.size(), node.ReadAttr("user.bytes", B_RAW_TYPE,
		0, &read[0], read.size()));
	EXPECT_EQ(value, read);
	char small[4];
	EXPECT_EQ(B_BUFFER_OVERFLOW, node.ReadAttr("user.bytes", B_RAW_TYPE, 0,
		small, sizeof(small)));
	EXPECT_EQ(B_ENTRY_NOT_FOUND, node.GetAttrInfo("user.none", &info));

	std::set<std::string> names;
	char name[B_ATTR_NAME_LENGTH];
	while (node.GetNextAttrName(name) == B_OK)
		names.insert(name);
	EXPECT_EQ(1u, names.count("user.bytes"));
	EXPECT_EQ(1u, names.count("user.empty"));
	EXPECT_EQ(B_ENTRY_NOT_FOUND, node.GetNextAttrName(name));

	EXPECT_EQ(B_OK, file.RemoveAttr("user.bytes"));
	EXPECT_EQ(B_ENTRY_NOT_FOUND, file.RemoveAttr("user.bytes"));
	// The listing starts over, and sees the change.
	EXPECT_EQ(B_OK, node.RewindAttrs());
	names.clear();
	while (node.GetNextAttrName(name) == B_OK)
		names.insert(name);
	EXPECT_EQ(0u, names.count("user.bytes"));
	EXPECT_EQ(1u, names.count("user.empty"));

	BNode unset;
	EXPECT_EQ(B_NO_INIT, unset.GetNextAttrName(name));
}
