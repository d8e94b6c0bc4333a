/*
 * BEntry: a directory's real path and a leaf name in it.
 */
#include <Entry.h>

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include <Directory.h>
#include <Path.h>

#include "EntryRefPrivate.h"
#include "PathSupport.h"

using namespace BPrivate;


// Renames without replacing an existing target where the file system can
// do that atomically; elsewhere it checks first, which leaves a small
// window in which a new target could appear.
static int
rename_no_replace(const char* from, const char* to)
{
	if (renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0)
		return 0;
	if (errno != EINVAL && errno != ENOSYS)
		return -1;

	struct stat st;
	if (lstat(to, &st) == 0) {
		errno = EEXIST;
		return -1;
	}
	return rename(from, to);
}


BEntry::BEntry()
	:
	fDirectoryPath(NULL),
	fName(NULL),
	fCStatus(B_NO_INIT)
{
}


BEntry::BEntry(const BDirectory* directory, const char* path, bool traverse)
	:
	fDirectoryPath(NULL),
	fName(NULL),
	fCStatus(B_NO_INIT)
{
	SetTo(directory, path, traverse);
}


BEntry::BEntry(const entry_ref* ref, bool traverse)
	:
	fDirectoryPath(NULL),
	fName(NULL),
	fCStatus(B_NO_INIT)
{
	SetTo(ref, traverse);
}


BEntry::BEntry(const char* path, bool traverse)
	:
	fDirectoryPath(NULL),
	fName(NULL),
	fCStatus(B_NO_INIT)
{
	SetTo(path, traverse);
}


BEntry::BEntry(const BEntry& other)
	:
	BStatable(),
	fDirectoryPath(NULL),
	fName(NULL),
	fCStatus(B_NO_INIT)
{
	*this = other;
}


BEntry::~BEntry()
{
	Unset();
}


status_t
BEntry::InitCheck() const
{
	return fCStatus;
}


bool
BEntry::Exists() const
{
	struct stat st;
	return GetStat(&st) == B_OK;
}


status_t
BEntry::GetStat(struct stat* st) const
{
	if (fCStatus != B_OK)
		return fCStatus;
	if (st == NULL)
		return B_BAD_VALUE;
	char path[B_PATH_NAME_LENGTH];
	status_t status = _FullPath(path, sizeof(path));
	if (status != B_OK)
		return status;
	if (lstat(path, st) != 0)
		return storage_status(errno);
	return B_OK;
}


status_t
BEntry::SetTo(const BDirectory* directory, const char* path, bool traverse)
{
	std::string composed;
	status_t status = compose_path(directory, path, composed);
	if (status != B_OK) {
		Unset();
		return fCStatus = status;
	}
	return SetTo(composed.c_str(), traverse);
}


status_t
BEntry::SetTo(const entry_ref* ref, bool traverse)
{
	std::string path;
	status_t status = entry_ref_to_existing_path(ref, path);
	if (status != B_OK) {
		Unset();
		return fCStatus = status;
	}
	return SetTo(path.c_str(), traverse);
}


status_t
BEntry::SetTo(const char* path, bool traverse)
{
	std::string directory;
	std::string leaf;
	status_t status = resolve_entry_path(path, directory, leaf);

	// Each link's target replaces the entry, taken from the link's own
	// directory when it is relative. A dangling link leads to the abstract
	// entry it names, as long as that entry's directory exists.
	for (int links = 0; status == B_OK && traverse; links++) {
		std::string current = join_entry_path(directory, leaf);
		struct stat st;
		if (lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
			break;
		if (links == B_MAX_SYMLINKS) {
			status = B_LINK_LIMIT;
			break;
		}

		char target[B_PATH_NAME_LENGTH];
		ssize_t length = readlink(current.c_str(), target, sizeof(target));
		if (length < 0) {
			status = storage_status(errno);
			break;
		}
		if ((size_t)length >= sizeof(target)) {
			status = B_NAME_TOO_LONG;
			break;
		}
		target[length] = '\0';

		std::string next = target;
		if (target[0] != '/')
			next = directory + "/" + target;
		status = resolve_entry_path(next.c_str(), directory, leaf);
	}

	if (status != B_OK) {
		Unset();
		return fCStatus = status;
	}
	return _SetToResolved(directory.c_str(), leaf.c_str());
}


void
BEntry::Unset()
{
	free(fDirectoryPath);
	free(fName);
	fDirectoryPath = NULL;
	fName = NULL;
	fCStatus = B_NO_INIT;
}


status_t
BEntry::GetRef(entry_ref* ref) const
{
	if (fCStatus != B_OK)
		return fCStatus;
	if (ref == NULL)
		return B_BAD_VALUE;

	struct stat st;
	if (stat(fDirectoryPath, &st) != 0)
		return storage_status(errno);

	entry_ref result(st.st_dev, st.st_ino, fName);
	if (result.name == NULL
		|| BPrivate_EntryRefAccess::SetDirectoryPath(result, fDirectoryPath)
			!= B_OK)
		return B_NO_MEMORY;
	*ref = result;
	return ref->name != NULL ? B_OK : B_NO_MEMORY;
}


status_t
BEntry::GetPath(BPath* path) const
{
	if (path == NULL)
		return B_BAD_VALUE;
	if (fCStatus != B_OK) {
		path->Unset();
		return fCStatus;
	}
	char buffer[B_PATH_NAME_LENGTH];
	status_t status = _FullPath(buffer, sizeof(buffer));
	if (status != B_OK) {
		path->Unset();
		return status;
	}
	return path->SetTo(buffer);
}


status_t
BEntry::GetParent(BEntry* entry) const
{
	if (entry == NULL)
		return B_BAD_VALUE;
	if (fCStatus != B_OK)
		return fCStatus;
	if (_IsRoot())
		return B_ENTRY_NOT_FOUND;

	// The entry may be this one: copy the path before it changes.
	std::string parent = fDirectoryPath;
	return entry->SetTo(parent.c_str());
}


status_t
BEntry::GetParent(BDirectory* directory) const
{
	if (directory == NULL)
		return B_BAD_VALUE;
	if (fCStatus != B_OK)
		return fCStatus;
	if (_IsRoot())
		return B_ENTRY_NOT_FOUND;
	return directory->SetTo(fDirectoryPath);
}


status_t
BEntry::GetName(char* buffer) const
{
	if (buffer == NULL)
		return B_BAD_VALUE;
	if (fCStatus != B_OK) {
		buffer[0] = '\0';
		return fCStatus;
	}
	// A leaf never exceeds B_FILE_NAME_LENGTH - 1 bytes.
	memcpy(buffer, fName, strlen(fName) + 1);
	return B_OK;
}


const char*
BEntry::Name() const
{
	return fCStatus == B_OK ? fName : NULL;
}


status_t
BEntry::Rename(const char* path, bool clobber)
{
	if (fCStatus != B_OK)
		return fCStatus;
	if (path == NULL || path[0] == '\0')
		return B_BAD_VALUE;

	std::string target = path;
	if (path[0] != '/')
		target = std::string(fDirectoryPath) + "/" + path;

	std::string directory;
	std::string leaf;
	status_t status = resolve_entry_path(target.c_str(), directory, leaf);
	if (status != B_OK)
		return status;

	char source[B_PATH_NAME_LENGTH];
	status = _FullPath(source, sizeof(source));
	if (status != B_OK)
		return status;
	std::string destination = join_entry_path(directory, leaf);
	if (destination == source)
		return B_OK;

	int result = clobber ? rename(source, destination.c_str())
		: rename_no_replace(source, destination.c_str());
	if (result != 0)
		return storage_status(errno);
	return _SetToResolved(directory.c_str(), leaf.c_str());
}


status_t
BEntry::MoveTo(BDirectory* directory, const char* path, bool clobber)
{
	if (fCStatus != B_OK)
		return fCStatus;
	if (directory == NULL)
		return B_BAD_VALUE;

	// The leaf may be this entry's own name, which the move replaces.
	std::string name = path != NULL ? path : fName;
	std::string target;
	status_t status = compose_path(directory, name.c_str(), target);
	if (status != B_OK)
		return status;
	return Rename(target.c_str(), clobber);
}


status_t
BEntry::Remove()
{
	if (fCStatus != B_OK)
		return fCStatus;
	char path[B_PATH_NAME_LENGTH];
	status_t status = _FullPath(path, sizeof(path));
	if (status != B_OK)
		return status;

	struct stat st;
	if (lstat(path, &st) != 0)
		return storage_status(errno);
	int result = S_ISDIR(st.st_mode) ? rmdir(path) : unlink(path);
	if (result != 0)
		return storage_status(errno);
	return B_OK;
}


bool
BEntry::operator==(const BEntry& other) const
{
	if (fCStatus != B_OK || other.fCStatus != B_OK)
		return fCStatus != B_OK && other.fCStatus != B_OK;
	return strcmp(fDirectoryPath, other.fDirectoryPath) == 0
		&& strcmp(fName, other.fName) == 0;
}


bool
BEntry::operator!=(const BEntry& other) const
{
	return !(*this == other);
}


BEntry&
BEntry::operator=(const BEntry& other)
{
	if (this == &other)
		return *this;
	if (other.fCStatus != B_OK) {
		Unset();
		fCStatus = other.fCStatus;
		return *this;
	}
	_SetToResolved(other.fDirectoryPath, other.fName);
	return *this;
}


status_t
BEntry::_SetStat(const struct stat& st, uint32 which)
{
	if (fCStatus != B_OK)
		return fCStatus;
	char path[B_PATH_NAME_LENGTH];
	status_t status = _FullPath(path, sizeof(path));
	if (status != B_OK)
		return status;

	if ((which & (kStatOwner | kStatGroup)) != 0) {
		uid_t owner = (which & kStatOwner) != 0 ? st.st_uid : (uid_t)-1;
		gid_t group = (which & kStatGroup) != 0 ? st.st_gid : (gid_t)-1;
		if (lchown(path, owner, group) != 0)
			return storage_status(errno);
	}
	if ((which & kStatPermissions) != 0) {
		// Linux has no permissions of its own for a symbolic link, and
		// changing its target's would surprise.
		struct stat current;
		if (lstat(path, &current) != 0)
			return storage_status(errno);
		if (S_ISLNK(current.st_mode))
			return B_NOT_SUPPORTED;
		if (chmod(path, st.st_mode) != 0)
			return storage_status(errno);
	}
	if ((which & (kStatModificationTime | kStatAccessTime)) != 0) {
		struct timespec times[2];
		times[0] = st.st_atim;
		times[1] = st.st_mtim;
		if ((which & kStatAccessTime) == 0)
			times[0].tv_nsec = UTIME_OMIT;
		if ((which & kStatModificationTime) == 0)
			times[1].tv_nsec = UTIME_OMIT;
		if (utimensat(AT_FDCWD, path, times, AT_SYMLINK_NOFOLLOW) != 0)
			return storage_status(errno);
	}
	return B_OK;
}


// Adopts an already resolved directory and leaf.
status_t
BEntry::_SetToResolved(const char* directory, const char* leaf)
{
	char* newDirectory = strdup(directory);
	char* newName = strdup(leaf);
	if (newDirectory == NULL || newName == NULL) {
		free(newDirectory);
		free(newName);
		Unset();
		return fCStatus = B_NO_MEMORY;
	}
	Unset();
	fDirectoryPath = newDirectory;
	fName = newName;
	return fCStatus = B_OK;
}


bool
BEntry::_IsRoot() const
{
	return strcmp(fDirectoryPath, "/") == 0 && strcmp(fName, ".") == 0;
}


status_t
BEntry::_FullPath(char* buffer, size_t size) const
{
	std::string path = join_entry_path(fDirectoryPath, fName);
	if (path.size() + 1 > size)
		return B_NAME_TOO_LONG;
	memcpy(buffer, path.c_str(), path.size() + 1);
	return B_OK;
}
