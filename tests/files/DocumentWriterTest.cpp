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
 * - a directory, or a missing folder, is refused;
 * - a file whose stat fails is not taken for a missing one: the save
 *   fails and the file keeps its bytes, mode, owner and other names;
 * - the new file is private from its creation and has its final mode
 *   before its first byte;
 * - no new file stays behind when a call after its creation fails;
 * - the stamp after a save is that of the file on disk, also after a
 *   failed write in place that put the old bytes back;
 * - writing in place keeps a synced copy of the old bytes until the new
 *   ones are on disk: a crash half-way leaves the copy, which a later
 *   look finds; where the directory cannot be written, the copy goes to
 *   the cache folder;
 * - a full disk leaves the old file and offers to overwrite in place,
 *   which then works;
 * - user attributes and the access control list survive a replace, and
 *   attributes that cannot be copied make the save go in place.
 */
#include <gtest/gtest.h>

#include <errno.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>

#include <Entry.h>

#include "DocumentWriter.h"
#include "EditorTestSupport.h"
#include "FaultShim.h"
#include "FileStamp.h"
#include "SaveBackup.h"

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
	std::string cache = directory.Child("cache");
	ASSERT_EQ(0, chmod(directory.Path().c_str(), 0755));
	ASSERT_EQ(0, mkdir(folder.c_str(), 0755));
	ASSERT_EQ(0, mkdir(cache.c_str(), 0700));
	give_to_ordinary_user(cache);
	ScopedEnvironment cacheHome("XDG_CACHE_HOME", cache.c_str());
	write_raw(path, "old bytes");
	give_to_ordinary_user(path);

	ScopedOrdinaryUser user;
	DocumentWriter::method method;
	EXPECT_EQ(B_OK, write_document(path, "new", &method));
	EXPECT_EQ(DocumentWriter::kInPlace, method);
	EXPECT_EQ("new", read_raw(path));
	// The copy of the old bytes went to the cache folder, and went away.
	EXPECT_EQ("", list_directory(cache + "/Orvane/backups"));

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

	// Same size, new content, and the modification time set back as
	// cp -p and rsync -t do: the change time still tells. (The stamps
	// once compared size and modification time only.)
	struct stat before, after;
	ASSERT_EQ(0, stat(path.c_str(), &before));
	do {
		write_raw(path, "two");
		ASSERT_EQ(0, utimensat(AT_FDCWD, path.c_str(), times, 0));
		ASSERT_EQ(0, stat(path.c_str(), &after));
	} while (after.st_ctim.tv_sec == before.st_ctim.tv_sec
		&& after.st_ctim.tv_nsec == before.st_ctim.tv_nsec);
	ASSERT_EQ(B_OK, again.SetTo(&ref));
	EXPECT_EQ(before.st_mtim.tv_sec, after.st_mtim.tv_sec);
	EXPECT_TRUE(touched != again);
}


namespace {

// Runs the function in a child process and returns how the child ended;
// the shim's kill rules end it half-way.
template<typename Function>
int
run_in_child(Function function)
{
	fflush(NULL);
	pid_t child = fork();
	if (child == 0) {
		function();
		_exit(0);
	}
	int status = 0;
	EXPECT_EQ(child, waitpid(child, &status, 0));
	return status;
}


bool
killed(int status)
{
	return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}


std::string
attribute_of(const std::string& path, const char* name)
{
	char value[256];
	ssize_t size = getxattr(path.c_str(), name, value, sizeof(value));
	return size < 0 ? "<none>" : std::string(value, size);
}

}	// namespace


// A failed stat was taken for a missing file: the file was replaced
// without its mode, owner and hard links, and the save said it worked.
TEST(DocumentWriterTest, FailedStatIsNoMissingFile)
{
	TempDirectory directory;
	std::string path = directory.Child("private.txt");
	std::string twin = directory.Child("twin.txt");
	write_raw(path, "private words");
	ASSERT_EQ(0, chmod(path.c_str(), 0600));
	give_to_ordinary_user(path);
	ino_t before = inode_of(path);

	for (int error : { EIO, EACCES, ENOMEM }) {
		SCOPED_TRACE(error);
		ScopedFault fault("lstat", "/private.txt", error);
		EXPECT_NE(B_OK, write_document(path, "replaced?"));
		EXPECT_LT(0, fault.Hits());
	}
	EXPECT_EQ("private words", read_raw(path));
	EXPECT_EQ(before, inode_of(path));
	EXPECT_EQ(0600u, mode_of(path) & 07777);
	EXPECT_EQ("private.txt", list_directory(directory.Path()));

	// With a second name, the file is written in place: a stat that fails
	// there fails the save too, and the twin keeps its bytes.
	ASSERT_EQ(0, link(path.c_str(), twin.c_str()));
	{
		ScopedFault fault("lstat", "/private.txt", EACCES);
		EXPECT_NE(B_OK, write_document(path, "replaced?"));
	}
	EXPECT_EQ("private words", read_raw(twin));
	EXPECT_EQ(before, inode_of(twin));
}


// The new file was made 0644 and got the old mode only after its bytes:
// others could read a private file's new text while it was written.
TEST(DocumentWriterTest, NewFileIsPrivateBeforeItsFirstByte)
{
	TempDirectory directory;
	std::string path = directory.Child("secret.txt");
	write_raw(path, "old secret");
	ASSERT_EQ(0, chmod(path.c_str(), 0640));
	mode_t oldMask = umask(022);

	// Stopped before the mode is set: the new file is 0600.
	int status = run_in_child([&]() {
		fault_shim_set("fchmod", ".orvane-save-", 0, 0, -1, FAULT_KILL);
		write_document(path, "new secret");
	});
	EXPECT_TRUE(killed(status));
	std::string names = list_directory(directory.Path());
	ASSERT_NE(std::string::npos, names.find(".orvane-save-")) << names;
	std::string leftOver = directory.Child(names.substr(0, names.find(' ')));
	EXPECT_EQ(0600u, mode_of(leftOver) & 07777);
	EXPECT_EQ("", read_raw(leftOver));
	ASSERT_EQ(0, unlink(leftOver.c_str()));

	// Stopped at its first byte: it has the old file's mode already.
	status = run_in_child([&]() {
		fault_shim_set("pwrite", ".orvane-save-", 0, 0, -1, FAULT_KILL);
		write_document(path, "new secret");
	});
	EXPECT_TRUE(killed(status));
	names = list_directory(directory.Path());
	ASSERT_NE(std::string::npos, names.find(".orvane-save-")) << names;
	leftOver = directory.Child(names.substr(0, names.find(' ')));
	EXPECT_EQ(0640u, mode_of(leftOver) & 07777);
	EXPECT_EQ("old secret", read_raw(path));
	umask(oldMask);
}


// A call failing after the new file's creation left it behind.
TEST(DocumentWriterTest, NoNewFileLeftAfterAFailure)
{
	TempDirectory directory;
	std::string path = directory.Child("kept.txt");
	write_raw(path, "old");

	// A mode that cannot be set makes the save go in place instead.
	struct { const char* call; int error; const char* result; } faults[] = {
		{ "fstat", EIO, "old" },
		{ "pwrite", ENOSPC, "old" },
		{ "fsync", EIO, "old" },
		{ "rename", EIO, "old" },
		{ "fchmod", EPERM, "new" }
	};
	for (const auto& fault : faults) {
		SCOPED_TRACE(fault.call);
		{
			ScopedFault scoped(fault.call, ".orvane-save-", fault.error);
			EXPECT_EQ(fault.result == std::string("new"),
				write_document(path, "new") == B_OK);
			EXPECT_LT(0, scoped.Hits());
		}
		EXPECT_EQ(fault.result, read_raw(path));
		EXPECT_EQ("kept.txt", list_directory(directory.Path()));
	}

	// A new document's file too.
	{
		ScopedFault scoped("fstat", ".orvane-save-", EIO);
		EXPECT_NE(B_OK, write_document(directory.Child("new.txt"), "x"));
	}
	EXPECT_EQ("kept.txt", list_directory(directory.Path()));
}


// After a failed save, the stamp was left as before, though writing in
// place and putting the old bytes back had changed the file's times.
TEST(DocumentWriterTest, StampIsTheFileOnDisk)
{
	TempDirectory directory;
	std::string path = directory.Child("stamped.txt");
	write_raw(path, "old bytes");
	entry_ref ref = ref_for(path);

	DocumentWriter writer;
	ASSERT_EQ(B_OK, writer.Write(&ref, "new", 3));
	FileStamp onDisk;
	ASSERT_EQ(B_OK, onDisk.SetTo(&ref));
	EXPECT_TRUE(writer.Stamp() == onDisk);

	// In place (a second name), the longer text fails half-way through.
	ASSERT_EQ(0, link(path.c_str(), directory.Child("twin.txt").c_str()));
	struct timespec past[2] = { { 1000, 0 }, { 1000, 0 } };
	ASSERT_EQ(0, utimensat(AT_FDCWD, path.c_str(), past, 0));
	{
		ScopedFault fault("pwrite", "/stamped.txt", ENOSPC, 1, 1);
		EXPECT_EQ(B_DEVICE_FULL,
			writer.Write(&ref, "a longer text", 13));
	}
	EXPECT_EQ("new", read_raw(path));
	ASSERT_EQ(B_OK, onDisk.SetTo(&ref));
	EXPECT_TRUE(writer.Stamp().IsKnown());
	EXPECT_TRUE(writer.Stamp() == onDisk);
}


// A crash while a file was written in place left it half new, half old,
// with no whole copy anywhere.
TEST(DocumentWriterTest, CrashInPlaceLeavesACopy)
{
	TempDirectory directory;
	std::string path = directory.Child("doc.txt");
	std::string old(256 * 1024, 'o');
	std::string fresh(256 * 1024, 'n');
	write_raw(path, old);
	ASSERT_EQ(0, link(path.c_str(), directory.Child("twin.txt").c_str()));
	entry_ref ref = ref_for(path);

	std::string copy;
	EXPECT_EQ(B_ENTRY_NOT_FOUND, SaveBackup::FindLeftOver(&ref, &copy));
	int status = run_in_child([&]() {
		fault_shim_set("pwrite", "/doc.txt", 0, 0, -1, FAULT_KILL_HALF_WAY);
		write_document(path, fresh);
	});
	EXPECT_TRUE(killed(status));
	EXPECT_NE(old, read_raw(path));
	ASSERT_EQ(B_OK, SaveBackup::FindLeftOver(&ref, &copy));
	EXPECT_EQ(old, read_raw(copy));
	EXPECT_EQ(0600u, mode_of(copy) & 07777);
	EXPECT_EQ(0u, copy.find(directory.Path() + "/.doc.txt.orvane-backup-"))
		<< copy;
	ASSERT_EQ(0, unlink(copy.c_str()));

	// A save that ends removes its copy.
	EXPECT_EQ(B_OK, write_document(path, fresh));
	EXPECT_EQ(fresh, read_raw(path));
	EXPECT_EQ(B_ENTRY_NOT_FOUND, SaveBackup::FindLeftOver(&ref, &copy));
	EXPECT_EQ("doc.txt twin.txt", list_directory(directory.Path()));

	// Where the directory cannot take the copy, the cache folder does.
	std::string cache = directory.Child("cache");
	ScopedEnvironment cacheHome("XDG_CACHE_HOME", cache.c_str());
	status = run_in_child([&]() {
		fault_shim_set("open", ".doc.txt.orvane-backup-", EACCES, 0, -1,
			FAULT_FAIL);
		fault_shim_add("pwrite", "/doc.txt", 0, 0, -1, FAULT_KILL_HALF_WAY);
		write_document(path, old);
	});
	EXPECT_TRUE(killed(status));
	ASSERT_EQ(B_OK, SaveBackup::FindLeftOver(&ref, &copy));
	EXPECT_EQ(fresh, read_raw(copy));
	EXPECT_EQ(0u, copy.find(cache + "/Orvane/backups/")) << copy;
	// Made for the copies, those folders are the person's alone.
	for (const char* folder : { "/Orvane", "/Orvane/backups" }) {
		struct stat info;
		ASSERT_EQ(0, stat((cache + folder).c_str(), &info)) << folder;
		EXPECT_EQ(0700u, info.st_mode & 07777) << folder;
	}
}


// A file larger than the free space could never be saved, even where the
// new text fit in place.
TEST(DocumentWriterTest, FullDiskOffersToOverwriteInPlace)
{
	TempDirectory directory;
	std::string path = directory.Child("big.txt");
	write_raw(path, "the old text");
	entry_ref ref = ref_for(path);
	ino_t before = inode_of(path);

	DocumentWriter writer;
	{
		ScopedFault fault("pwrite", ".orvane-save-", ENOSPC);
		EXPECT_EQ(B_DEVICE_FULL, writer.Write(&ref, "the new text", 12));
		EXPECT_TRUE(writer.CanOverwriteInPlace());
		EXPECT_EQ("the old text", read_raw(path));

		EXPECT_EQ(B_OK, writer.Write(&ref, "the new text", 12,
			DocumentWriter::kOverwriteInPlace));
		EXPECT_EQ(DocumentWriter::kInPlace, writer.LastMethod());
	}
	EXPECT_EQ("the new text", read_raw(path));
	EXPECT_EQ(before, inode_of(path));
	EXPECT_EQ("big.txt", list_directory(directory.Path()));

	// No room for the copy of the old bytes either: in place is offered,
	// and goes on without the copy once asked for.
	ASSERT_EQ(0, link(path.c_str(), directory.Child("twin.txt").c_str()));
	std::string cache = directory.Child("cache");
	ScopedEnvironment cacheHome("XDG_CACHE_HOME", cache.c_str());
	{
		// Beside the file and in the cache folder.
		ScopedFault fault("pwrite", "backup", ENOSPC);
		EXPECT_EQ(B_DEVICE_FULL, writer.Write(&ref, "third", 5));
		EXPECT_TRUE(writer.CanOverwriteInPlace());
		EXPECT_EQ("the new text", read_raw(path));
		EXPECT_EQ(B_OK, writer.Write(&ref, "third", 5,
			DocumentWriter::kOverwriteInPlace));
	}
	EXPECT_EQ("third", read_raw(path));
	EXPECT_EQ("big.txt cache twin.txt", list_directory(directory.Path()));
	EXPECT_EQ("", list_directory(cache + "/Orvane/backups"));

	// Other errors are no reason to offer it.
	ASSERT_EQ(0, unlink(directory.Child("twin.txt").c_str()));
	{
		ScopedFault fault("pwrite", ".orvane-save-", EIO);
		EXPECT_EQ(B_IO_ERROR, writer.Write(&ref, "fourth", 6));
		EXPECT_FALSE(writer.CanOverwriteInPlace());
	}
}


// Extended attributes, the access control list and the security label
// were lost when a new file replaced the old one.
TEST(DocumentWriterTest, ReplacingKeepsAttributes)
{
	TempDirectory directory;
	std::string path = directory.Child("tagged.txt");
	write_raw(path, "old");
	if (setxattr(path.c_str(), "user.author", "me", 2, 0) != 0)
		GTEST_SKIP() << "no user attributes on this file system";
	ASSERT_EQ(0, setxattr(path.c_str(), "user.empty", "", 0, 0));

	// user::rw- user:65534:r-- group::r-- mask::r-- other::---
	struct AclEntry { uint16_t tag, permissions; uint32_t id; };
	struct { uint32_t version; AclEntry entries[5]; } __attribute__((packed))
		acl = { 2, { { 0x01, 6, 0xffffffff }, { 0x02, 4, kOrdinaryUser },
			{ 0x04, 4, 0xffffffff }, { 0x10, 4, 0xffffffff },
			{ 0x20, 0, 0xffffffff } } };
	bool hasAcl = setxattr(path.c_str(), "system.posix_acl_access", &acl,
		sizeof(acl), 0) == 0;
	std::string oldAcl = attribute_of(path, "system.posix_acl_access");
	mode_t oldMode = mode_of(path) & 07777;
	ino_t before = inode_of(path);

	DocumentWriter::method method;
	EXPECT_EQ(B_OK, write_document(path, "new", &method));
	EXPECT_EQ(DocumentWriter::kReplaced, method);
	EXPECT_NE(before, inode_of(path));
	EXPECT_EQ("me", attribute_of(path, "user.author"));
	EXPECT_EQ("", attribute_of(path, "user.empty"));
	if (hasAcl) {
		EXPECT_EQ(oldAcl, attribute_of(path, "system.posix_acl_access"));
	}
	EXPECT_EQ(oldMode, mode_of(path) & 07777);

	// A default list on the directory gives the new file an access list
	// that the old one did not have: the new file must not keep it.
	std::string plain = directory.Child("plain.txt");
	write_raw(plain, "old");
	if (hasAcl && setxattr(directory.Path().c_str(),
			"system.posix_acl_default", &acl, sizeof(acl), 0) == 0) {
		EXPECT_EQ("<none>", attribute_of(plain, "system.posix_acl_access"));
		EXPECT_EQ(B_OK, write_document(plain, "new"));
		EXPECT_EQ("<none>", attribute_of(plain, "system.posix_acl_access"));
		ASSERT_EQ(0, removexattr(directory.Path().c_str(),
			"system.posix_acl_default"));
	}
	ASSERT_EQ(0, unlink(plain.c_str()));

	// An attribute that cannot be copied: the file is written in place,
	// where it keeps them all.
	before = inode_of(path);
	{
		ScopedFault fault("setxattr", ".orvane-save-", EPERM);
		EXPECT_EQ(B_OK, write_document(path, "third", &method));
	}
	EXPECT_EQ(DocumentWriter::kInPlace, method);
	EXPECT_EQ(before, inode_of(path));
	EXPECT_EQ("me", attribute_of(path, "user.author"));
	EXPECT_EQ("tagged.txt", list_directory(directory.Path()));
}
