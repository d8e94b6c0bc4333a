/*
 * Writing documents to disk without ever losing what was there.
 *
 * Cases:
 * - a new file gets exactly the bytes, every byte value included;
 * - a shorter text leaves a file of exactly its length, an empty text an
 *   empty file;
 * - replacing keeps the old file's permissions and leaves no stray file
 *   in the directory;
 * - through a symbolic link the file it points to gets the bytes and the
 *   link stays a link;
 * - a file with several hard links is written in place, so every name
 *   sees the new bytes;
 * - a directory that may not be written: the file is written in place;
 * - a file that may not be written is not replaced, even where its
 *   directory would allow it;
 * - a full disk (a file size limit) leaves the old file exactly as it
 *   was, whether the file is replaced or written in place, and leaves no
 *   stray file;
 * - a directory, or a missing folder, is refused.
 */
#include <gtest/gtest.h>

#include <Entry.h>

#include "DocumentWriter.h"
#include "EditorTestSupport.h"
#include "FileStamp.h"

namespace {

entry_ref
ref_for(const std::string& path)
{
	entry_ref ref;
	EXPECT_EQ(B_OK, get_ref_for_path(path.c_str(), &ref)) << path;
	return ref;
}


status_t
write_document(const std::string& path, const std::string& bytes,
	DocumentWriter::method* _method = NULL)
{
	entry_ref ref = ref_for(path);
	DocumentWriter writer;
	status_t status = writer.Write(&ref, bytes.data(), bytes.size());
	if (_method != NULL)
		*_method = writer.LastMethod();
	return status;
}

}	// namespace


TEST(DocumentWriterTest, WritesExactlyTheBytes)
{
	TempDirectory directory;
	std::string path = directory.Child("new.txt");
	std::string bytes = all_byte_values() + "\r\n\r";

	DocumentWriter::method method;
	EXPECT_EQ(B_OK, write_document(path, bytes, &method));
	EXPECT_EQ(bytes, read_raw(path));
	EXPECT_EQ(DocumentWriter::kReplaced, method);

	// Shorter over longer, then nothing at all.
	EXPECT_EQ(B_OK, write_document(path, "short"));
	EXPECT_EQ("short", read_raw(path));
	EXPECT_EQ(B_OK, write_document(path, ""));
	EXPECT_EQ("", read_raw(path));
	EXPECT_EQ("new.txt", list_directory(directory.Path()));
}


TEST(DocumentWriterTest, ReplacingKeepsPermissions)
{
	TempDirectory directory;
	std::string path = directory.Child("kept.txt");
	write_raw(path, "old content that is longer");
	ASSERT_EQ(0, chmod(path.c_str(), 0640));
	ino_t before = inode_of(path);

	DocumentWriter::method method;
	EXPECT_EQ(B_OK, write_document(path, "new", &method));
	EXPECT_EQ(DocumentWriter::kReplaced, method);
	EXPECT_EQ("new", read_raw(path));
	EXPECT_EQ(0640u, mode_of(path) & 07777);
	// A new file took the old one's place.
	EXPECT_NE(before, inode_of(path));
	EXPECT_EQ("kept.txt", list_directory(directory.Path()));
}


TEST(DocumentWriterTest, LinksStayLinks)
{
	TempDirectory directory;
	std::string target = directory.Child("target.txt");
	std::string linkPath = directory.Child("link.txt");
	write_raw(target, "old");
	ASSERT_EQ(0, symlink("target.txt", linkPath.c_str()));

	EXPECT_EQ(B_OK, write_document(linkPath, "through the link"));
	EXPECT_TRUE(S_ISLNK(mode_of(linkPath)));
	EXPECT_EQ("through the link", read_raw(target));
	EXPECT_EQ("link.txt target.txt", list_directory(directory.Path()));

	// A hard link: every name must see the new bytes, so the file is
	// written where it is.
	std::string second = directory.Child("second.txt");
	ASSERT_EQ(0, link(target.c_str(), second.c_str()));
	ino_t before = inode_of(target);
	DocumentWriter::method method;
	EXPECT_EQ(B_OK, write_document(target, "both", &method));
	EXPECT_EQ(DocumentWriter::kInPlace, method);
	EXPECT_EQ(before, inode_of(target));
	EXPECT_EQ("both", read_raw(second));

	// Longer, then shorter again, in place.
	EXPECT_EQ(B_OK, write_document(second, "a good deal longer than before"));
	EXPECT_EQ("a good deal longer than before", read_raw(target));
	EXPECT_EQ(B_OK, write_document(second, "x"));
	EXPECT_EQ("x", read_raw(target));
}


TEST(DocumentWriterTest, UnwritableDirectoryWritesInPlace)
{
	TempDirectory directory;
	std::string folder = directory.Child("locked");
	std::string path = folder + "/file.txt";
	ASSERT_EQ(0, chmod(directory.Path().c_str(), 0755));
	ASSERT_EQ(0, mkdir(folder.c_str(), 0755));
	write_raw(path, "old bytes");
	give_to_ordinary_user(path);

	ScopedOrdinaryUser user;
	DocumentWriter::method method;
	EXPECT_EQ(B_OK, write_document(path, "new", &method));
	EXPECT_EQ(DocumentWriter::kInPlace, method);
	EXPECT_EQ("new", read_raw(path));

	// A new file cannot be made there at all.
	EXPECT_NE(B_OK, write_document(folder + "/other.txt", "x"));
	EXPECT_EQ("file.txt", list_directory(folder));
}


TEST(DocumentWriterTest, ReadOnlyFileIsNotReplaced)
{
	TempDirectory directory;
	ASSERT_EQ(0, chmod(directory.Path().c_str(), 0777));
	std::string path = directory.Child("read-only.txt");
	write_raw(path, "keep me");
	ASSERT_EQ(0, chmod(path.c_str(), 0444));
	give_to_ordinary_user(path);

	ScopedOrdinaryUser user;
	EXPECT_NE(B_OK, write_document(path, "lost?"));
	EXPECT_EQ("keep me", read_raw(path));
	EXPECT_EQ("read-only.txt", list_directory(directory.Path()));
}


TEST(DocumentWriterTest, FullDiskLeavesTheOldFile)
{
	TempDirectory directory;
	std::string path = directory.Child("full.txt");
	std::string old = "the old content, which must survive";
	write_raw(path, old);
	std::string large(64 * 1024, 'n');

	{
		ScopedFileSizeLimit limit(4096);
		EXPECT_NE(B_OK, write_document(path, large));
	}
	EXPECT_EQ(old, read_raw(path));
	EXPECT_EQ("full.txt", list_directory(directory.Path()));

	// In place (a second hard link), the new bytes do not fit either.
	std::string second = directory.Child("second.txt");
	ASSERT_EQ(0, link(path.c_str(), second.c_str()));
	{
		ScopedFileSizeLimit limit(4096);
		EXPECT_NE(B_OK, write_document(path, large));
	}
	EXPECT_EQ(old, read_raw(path));
	EXPECT_EQ(old, read_raw(second));
}


TEST(DocumentWriterTest, RefusesWhatIsNoFile)
{
	TempDirectory directory;
	std::string folder = directory.Child("folder");
	ASSERT_EQ(0, mkdir(folder.c_str(), 0755));
	EXPECT_EQ(B_IS_A_DIRECTORY, write_document(folder, "x"));

	DocumentWriter writer;
	EXPECT_EQ(B_BAD_VALUE, writer.Write(NULL, "x", 1));
	entry_ref ref = ref_for(directory.Child("gone.txt"));
	EXPECT_EQ(B_BAD_VALUE, writer.Write(&ref, NULL, 1));
}


TEST(FileStampTest, TellsChangedFiles)
{
	TempDirectory directory;
	std::string path = directory.Child("stamped.txt");
	entry_ref ref = ref_for(path);

	FileStamp missing;
	EXPECT_EQ(B_ENTRY_NOT_FOUND, missing.SetTo(&ref));
	EXPECT_FALSE(missing.IsKnown());
	EXPECT_FALSE(missing == FileStamp());

	write_raw(path, "one");
	FileStamp first, again;
	ASSERT_EQ(B_OK, first.SetTo(&ref));
	ASSERT_EQ(B_OK, again.SetTo(&ref));
	EXPECT_TRUE(first == again);

	// Same size, new content: the time tells.
	struct timespec times[2] = { { 0, UTIME_OMIT }, { 1000, 5 } };
	ASSERT_EQ(0, utimensat(AT_FDCWD, path.c_str(), times, 0));
	FileStamp touched;
	ASSERT_EQ(B_OK, touched.SetTo(&ref));
	EXPECT_TRUE(first != touched);
}
