/*
 * BDirectory: an open directory, its listing and the entries it finds
 * and creates; create_directory().
 */
#include <Directory.h>

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include <Entry.h>
#include <File.h>
#include <Path.h>

#include "EntryRefPrivate.h"
#include "PathSupport.h"

using namespace BPrivate;


static bool
is_dot_or_dot_dot(const char* name)
{
	return strcmp(name, ".") == 0 || strcmp(name, "..") == 0;
}


// Whether a node's kind is among the node_flavor flags. Whatever is not a
// directory or a link (a FIFO, a device) counts as a file.
static bool
matches_flavor(mode_t mode, int32 nodeFlags)
{
	if (S_ISDIR(mode))
		return (nodeFlags & B_DIRECTORY_NODE) != 0;
	if (S_ISLNK(mode))
		return (nodeFlags & B_SYMLINK_NODE) != 0;
	return (nodeFlags & B_FILE_NODE) != 0;
}


// A second, independent listing of an open directory: reading it moves
// no other listing's position.
static DIR*
open_listing(int directoryFD, status_t* _status)
{
	int fd = openat(directoryFD, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
	if (fd < 0) {
		*_status = storage_status(errno);
		return NULL;
	}
	DIR* listing = fdopendir(fd);
	if (listing == NULL) {
		*_status = storage_status(errno);
		close(fd);
		return NULL;
	}
	*_status = B_OK;
	return listing;
}


BDirectory::BDirectory()
	:
	fPath(NULL),
	fStream(NULL)
{
}


BDirectory::BDirectory(const entry_ref* ref)
	:
	fPath(NULL),
	fStream(NULL)
{
	SetTo(ref);
}


BDirectory::BDirectory(const BEntry* entry)
	:
	fPath(NULL),
	fStream(NULL)
{
	SetTo(entry);
}


BDirectory::BDirectory(const char* path)
	:
	fPath(NULL),
	fStream(NULL)
{
	SetTo(path);
}


BDirectory::BDirectory(const BDirectory* directory, const char* path)
	:
	fPath(NULL),
	fStream(NULL)
{
	SetTo(directory, path);
}


BDirectory::BDirectory(const BDirectory& other)
	:
	BNode(),
	fPath(NULL),
	fStream(NULL)
{
	*this = other;
}


BDirectory::~BDirectory()
{
	BDirectory::Unset();
}


status_t
BDirectory::SetTo(const entry_ref* ref)
{
	std::string path;
	status_t status = entry_ref_to_existing_path(ref, path);
	if (status != B_OK) {
		Unset();
		return _SetDescriptor(-1, status);
	}
	return _OpenDirectory(path.c_str());
}


status_t
BDirectory::SetTo(const BEntry* entry)
{
	BPath path;
	status_t status = entry != NULL ? entry->GetPath(&path) : B_BAD_VALUE;
	if (status != B_OK) {
		Unset();
		return _SetDescriptor(-1, status);
	}
	return _OpenDirectory(path.Path());
}


status_t
BDirectory::SetTo(const char* path)
{
	return _OpenDirectory(path);
}


status_t
BDirectory::SetTo(const BDirectory* directory, const char* path)
{
	std::string composed;
	status_t status = compose_path(directory, path, composed);
	if (status != B_OK) {
		Unset();
		return _SetDescriptor(-1, status);
	}
	return _OpenDirectory(composed.c_str());
}


void
BDirectory::Unset()
{
	if (fStream != NULL)
		closedir(fStream);
	fStream = NULL;
	free(fPath);
	fPath = NULL;
	BNode::Unset();
}


status_t
BDirectory::GetEntry(BEntry* entry) const
{
	if (entry == NULL)
		return B_BAD_VALUE;
	if (InitCheck() != B_OK) {
		entry->Unset();
		return InitCheck();
	}
	return entry->SetTo(fPath);
}


bool
BDirectory::IsRootDirectory() const
{
	if (InitCheck() != B_OK)
		return false;
	struct stat self;
	struct stat parent;
	if (fstat(_Descriptor(), &self) != 0
		|| fstatat(_Descriptor(), "..", &parent, 0) != 0)
		return false;
	return self.st_dev != parent.st_dev || self.st_ino == parent.st_ino;
}


status_t
BDirectory::FindEntry(const char* path, BEntry* entry, bool traverse) const
{
	if (entry == NULL)
		return B_BAD_VALUE;
	if (InitCheck() != B_OK) {
		entry->Unset();
		return InitCheck();
	}
	status_t status = entry->SetTo(this, path, traverse);
	if (status != B_OK)
		return status;
	if (!entry->Exists()) {
		entry->Unset();
		return B_ENTRY_NOT_FOUND;
	}
	return B_OK;
}


bool
BDirectory::Contains(const char* path, int32 nodeFlags) const
{
	if (InitCheck() != B_OK || path == NULL || path[0] == '\0')
		return false;
	BEntry entry(this, path);
	return Contains(&entry, nodeFlags);
}


bool
BDirectory::Contains(const BEntry* entry, int32 nodeFlags) const
{
	if (InitCheck() != B_OK || entry == NULL || entry->InitCheck() != B_OK)
		return false;

	struct stat st;
	if (entry->GetStat(&st) != B_OK || !matches_flavor(st.st_mode, nodeFlags))
		return false;

	BPath path;
	if (entry->GetPath(&path) != B_OK)
		return false;
	size_t length = strlen(fPath);
	if (strcmp(fPath, "/") == 0)
		return strcmp(path.Path(), "/") != 0;
	return strncmp(path.Path(), fPath, length) == 0
		&& path.Path()[length] == '/';
}


status_t
BDirectory::GetStatFor(const char* path, struct stat* st) const
{
	if (InitCheck() != B_OK)
		return InitCheck();
	if (path == NULL || path[0] == '\0' || st == NULL)
		return B_BAD_VALUE;
	if (fstatat(_Descriptor(), path, st, AT_SYMLINK_NOFOLLOW) != 0)
		return storage_status(errno);
	return B_OK;
}


status_t
BDirectory::GetNextEntry(BEntry* entry, bool traverse)
{
	if (entry == NULL)
		return B_BAD_VALUE;
	const char* name;
	status_t status = _NextName(&name);
	if (status != B_OK) {
		entry->Unset();
		return status;
	}

	std::string path = join_entry_path(fPath, name);
	status = entry->SetTo(path.c_str(), traverse);
	// A link that cannot be followed is still an entry of the listing;
	// failing here would read as the end of it.
	if (status != B_OK && traverse)
		status = entry->SetTo(path.c_str(), false);
	return status;
}


status_t
BDirectory::GetNextRef(entry_ref* ref)
{
	if (ref == NULL)
		return B_BAD_VALUE;
	const char* name;
	status_t status = _NextName(&name);
	if (status != B_OK)
		return status;

	struct stat st;
	if (fstat(_Descriptor(), &st) != 0)
		return storage_status(errno);
	entry_ref result(st.st_dev, st.st_ino, name);
	if (result.name == NULL
		|| BPrivate_EntryRefAccess::SetDirectoryPath(result, fPath) != B_OK)
		return B_NO_MEMORY;
	*ref = result;
	return ref->name != NULL ? B_OK : B_NO_MEMORY;
}


status_t
BDirectory::Rewind()
{
	if (InitCheck() != B_OK)
		return InitCheck();
	if (fStream != NULL)
		rewinddir(fStream);
	return B_OK;
}


int32
BDirectory::CountEntries() const
{
	if (InitCheck() != B_OK)
		return InitCheck();
	status_t status;
	DIR* listing = open_listing(_Descriptor(), &status);
	if (listing == NULL)
		return status;

	int32 count = 0;
	while (true) {
		errno = 0;
		struct dirent* entry = readdir(listing);
		if (entry == NULL) {
			if (errno != 0)
				count = storage_status(errno);
			break;
		}
		if (!is_dot_or_dot_dot(entry->d_name))
			count++;
	}
	closedir(listing);
	return count;
}


status_t
BDirectory::CreateFile(const char* path, BFile* file, bool failIfExists)
{
	return CreateFile(path, file, failIfExists, 0666);
}


status_t
BDirectory::CreateFile(const char* path, BFile* file, bool failIfExists,
	mode_t permissions)
{
	if (InitCheck() != B_OK)
		return InitCheck();
	if (path == NULL || path[0] == '\0')
		return B_BAD_VALUE;

	BFile localFile;
	if (file == NULL)
		file = &localFile;
	uint32 openMode = B_READ_WRITE | B_CREATE_FILE
		| (failIfExists ? B_FAIL_IF_EXISTS : B_ERASE_FILE);
	std::string composed;
	status_t status = compose_path(this, path, composed);
	if (status != B_OK) {
		file->Unset();
		return status;
	}
	return file->_OpenFile(composed.c_str(), openMode,
		permissions & 07777);
}


status_t
BDirectory::CreateDirectory(const char* path, BDirectory* directory)
{
	if (InitCheck() != B_OK)
		return InitCheck();
	if (path == NULL || path[0] == '\0')
		return B_BAD_VALUE;

	if (mkdirat(_Descriptor(), path, 0777) != 0)
		return storage_status(errno);
	if (directory != NULL)
		return directory->SetTo(this, path);
	return B_OK;
}


BDirectory&
BDirectory::operator=(const BDirectory& other)
{
	if (this == &other)
		return *this;
	BNode::operator=(other);
	if (InitCheck() == B_OK) {
		fPath = strdup(other.fPath);
		if (fPath == NULL) {
			Unset();
			_SetDescriptor(-1, B_NO_MEMORY);
		}
	}
	return *this;
}


status_t
BDirectory::_OpenDirectory(const char* path)
{
	Unset();
	status_t status = _Open(path, O_RDONLY | O_DIRECTORY);
	// A directory that may be searched but not listed still serves to
	// find and create entries in.
	if (status == B_PERMISSION_DENIED)
		status = _Open(path, O_PATH | O_DIRECTORY);
	if (status != B_OK)
		return status;

	// The descriptor's own link names the directory that was opened, even
	// if the path has changed since; realpath() of the path is the
	// fallback without /proc.
	char descriptorPath[32];
	snprintf(descriptorPath, sizeof(descriptorPath), "/proc/self/fd/%d",
		_Descriptor());
	char* real = realpath(descriptorPath, NULL);
	if (real == NULL)
		real = realpath(path, NULL);
	if (real == NULL) {
		status = storage_status(errno);
		Unset();
		return _SetDescriptor(-1, status);
	}
	fPath = real;
	return B_OK;
}


status_t
BDirectory::_NextName(const char** _name)
{
	if (InitCheck() != B_OK)
		return InitCheck();
	if (fStream == NULL) {
		status_t status;
		fStream = open_listing(_Descriptor(), &status);
		if (fStream == NULL)
			return status;
	}
	while (true) {
		errno = 0;
		struct dirent* entry = readdir(fStream);
		if (entry == NULL)
			return errno != 0 ? storage_status(errno) : B_ENTRY_NOT_FOUND;
		if (!is_dot_or_dot_dot(entry->d_name)) {
			*_name = entry->d_name;
			return B_OK;
		}
	}
}


//	#pragma mark - create_directory


status_t
create_directory(const char* path, mode_t mode)
{
	std::string absolute;
	status_t status = make_absolute_path(path, absolute);
	if (status != B_OK)
		return status;
	status = check_path_length(absolute);
	if (status != B_OK)
		return status;

	struct stat st;
	if (stat(absolute.c_str(), &st) == 0) {
		if (!S_ISDIR(st.st_mode))
			return B_NOT_A_DIRECTORY;
		return B_OK;
	}

	// Each directory from the top down, so that every missing one is made.
	size_t end = 0;
	while (end != std::string::npos) {
		end = absolute.find('/', end + 1);
		std::string prefix = absolute.substr(0, end);
		if (mkdir(prefix.c_str(), mode) == 0)
			continue;
		if (errno != EEXIST)
			return storage_status(errno);
		if (stat(prefix.c_str(), &st) != 0)
			return storage_status(errno);
		if (!S_ISDIR(st.st_mode))
			return B_NOT_A_DIRECTORY;
	}
	return B_OK;
}
