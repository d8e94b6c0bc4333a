/*
 * BNode: an open node and the descriptor it owns; node_ref.
 */
#include <Node.h>

#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <string>

#include <Entry.h>
#include <TypeConstants.h>
#include <fs_attr.h>
#include <Path.h>

#include "PathSupport.h"

using namespace BPrivate;


// The magic link through which a path-only descriptor reaches its node
// for the calls that refuse such a descriptor.
static void
descriptor_path(int fd, char* buffer, size_t size)
{
	snprintf(buffer, size, "/proc/self/fd/%d", fd);
}


static const size_t kDescriptorPathLength = 32;


// The status for an errno left by an attribute call: a missing attribute
// is a missing entry, and a file system without attributes does not
// support them.
static status_t
attribute_status(int error)
{
	if (error == ENODATA)
		return B_ENTRY_NOT_FOUND;
	if (error == ENOTSUP)
		return B_UNSUPPORTED;
	if (error == ERANGE)
		return B_BUFFER_OVERFLOW;
	return storage_status(error);
}


node_ref::node_ref()
	:
	device(-1),
	node(-1)
{
}


node_ref::node_ref(dev_t device, ino_t node)
	:
	device(device),
	node(node)
{
}


bool
node_ref::operator==(const node_ref& other) const
{
	return device == other.device && node == other.node;
}


bool
node_ref::operator!=(const node_ref& other) const
{
	return !(*this == other);
}


bool
node_ref::operator<(const node_ref& other) const
{
	if (device != other.device)
		return device < other.device;
	return node < other.node;
}


//	#pragma mark - BNode


BNode::BNode()
	:
	fFD(-1),
	fCStatus(B_NO_INIT),
	fAttrNames(NULL),
	fAttrNamesLength(0),
	fAttrNamesOffset(0)
{
}


BNode::BNode(const entry_ref* ref)
	:
	fFD(-1),
	fCStatus(B_NO_INIT),
	fAttrNames(NULL),
	fAttrNamesLength(0),
	fAttrNamesOffset(0)
{
	SetTo(ref);
}


BNode::BNode(const BEntry* entry)
	:
	fFD(-1),
	fCStatus(B_NO_INIT),
	fAttrNames(NULL),
	fAttrNamesLength(0),
	fAttrNamesOffset(0)
{
	SetTo(entry);
}


BNode::BNode(const char* path)
	:
	fFD(-1),
	fCStatus(B_NO_INIT),
	fAttrNames(NULL),
	fAttrNamesLength(0),
	fAttrNamesOffset(0)
{
	SetTo(path);
}


BNode::BNode(const BDirectory* directory, const char* path)
	:
	fFD(-1),
	fCStatus(B_NO_INIT),
	fAttrNames(NULL),
	fAttrNamesLength(0),
	fAttrNamesOffset(0)
{
	SetTo(directory, path);
}


BNode::BNode(const BNode& other)
	:
	BStatable(),
	fFD(-1),
	fCStatus(B_NO_INIT),
	fAttrNames(NULL),
	fAttrNamesLength(0),
	fAttrNamesOffset(0)
{
	*this = other;
}


BNode::~BNode()
{
	BNode::Unset();
}


status_t
BNode::InitCheck() const
{
	return fCStatus;
}


status_t
BNode::GetStat(struct stat* st) const
{
	if (fCStatus != B_OK)
		return fCStatus;
	if (st == NULL)
		return B_BAD_VALUE;
	if (fstat(fFD, st) != 0)
		return storage_status(errno);
	return B_OK;
}


status_t
BNode::SetTo(const entry_ref* ref)
{
	std::string path;
	status_t status = entry_ref_to_existing_path(ref, path);
	if (status != B_OK) {
		Unset();
		return _SetDescriptor(-1, status);
	}
	return _Open(path.c_str(), O_PATH);
}


status_t
BNode::SetTo(const BEntry* entry)
{
	BPath path;
	status_t status = entry != NULL ? entry->GetPath(&path) : B_BAD_VALUE;
	if (status != B_OK) {
		Unset();
		return _SetDescriptor(-1, status);
	}
	return _Open(path.Path(), O_PATH);
}


status_t
BNode::SetTo(const char* path)
{
	return _Open(path, O_PATH);
}


status_t
BNode::SetTo(const BDirectory* directory, const char* path)
{
	std::string composed;
	status_t status = compose_path(directory, path, composed);
	if (status != B_OK) {
		Unset();
		return _SetDescriptor(-1, status);
	}
	return _Open(composed.c_str(), O_PATH);
}


void
BNode::Unset()
{
	RewindAttrs();
	if (fFD >= 0)
		close(fFD);
	fFD = -1;
	fCStatus = B_NO_INIT;
}


status_t
BNode::Sync()
{
	if (fCStatus != B_OK)
		return fCStatus;

	int fd = fFD;
	if (_IsPathOnly()) {
		char path[kDescriptorPathLength];
		descriptor_path(fFD, path, sizeof(path));
		fd = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
		if (fd < 0)
			return storage_status(errno);
	}
	status_t status = fsync(fd) == 0 ? B_OK : storage_status(errno);
	if (fd != fFD)
		close(fd);
	return status;
}


status_t
BNode::Lock()
{
	if (fCStatus != B_OK)
		return fCStatus;
	if (_IsPathOnly())
		return B_NOT_ALLOWED;
	while (flock(fFD, LOCK_EX | LOCK_NB) != 0) {
		if (errno == EINTR)
			continue;
		return errno == EWOULDBLOCK ? (status_t)B_BUSY : storage_status(errno);
	}
	return B_OK;
}


status_t
BNode::Unlock()
{
	if (fCStatus != B_OK)
		return fCStatus;
	if (_IsPathOnly())
		return B_NOT_ALLOWED;
	return flock(fFD, LOCK_UN) == 0 ? B_OK : storage_status(errno);
}


// Attributes go through the descriptor's magic link, which serves a
// path-only descriptor as well as one open for reading or writing.
ssize_t
BNode::ReadAttr(const char* name, type_code, off_t offset, void* buffer,
	size_t length) const
{
	char path[kDescriptorPathLength];
	status_t status = _AttrPath(name, path, offset,
		buffer != NULL || length == 0);
	if (status != B_OK)
		return status;
	ssize_t result = getxattr(path, name, buffer, length);
	if (result < 0)
		return attribute_status(errno);
	return result;
}


ssize_t
BNode::WriteAttr(const char* name, type_code, off_t offset,
	const void* buffer, size_t length)
{
	char path[kDescriptorPathLength];
	status_t status = _AttrPath(name, path, offset,
		buffer != NULL || length == 0);
	if (status != B_OK)
		return status;
	if (setxattr(path, name, buffer, length, 0) != 0)
		return attribute_status(errno);
	return length;
}


status_t
BNode::RemoveAttr(const char* name)
{
	char path[kDescriptorPathLength];
	status_t status = _AttrPath(name, path);
	if (status != B_OK)
		return status;
	return removexattr(path, name) == 0 ? B_OK : attribute_status(errno);
}


status_t
BNode::GetAttrInfo(const char* name, attr_info* info) const
{
	char path[kDescriptorPathLength];
	status_t status = _AttrPath(name, path);
	if (status != B_OK)
		return status;
	if (info == NULL)
		return B_BAD_VALUE;
	ssize_t size = getxattr(path, name, NULL, 0);
	if (size < 0)
		return attribute_status(errno);
	info->type = B_RAW_TYPE;
	info->size = size;
	return B_OK;
}


status_t
BNode::GetNextAttrName(char* buffer)
{
	if (fCStatus != B_OK)
		return fCStatus;
	if (buffer == NULL)
		return B_BAD_VALUE;
	if (fAttrNames == NULL) {
		status_t status = _ListAttrs();
		if (status != B_OK)
			return status;
	}
	// A name the caller's buffer cannot hold is passed over; the file
	// system allows one byte more than the platform's names.
	while (fAttrNamesOffset < fAttrNamesLength) {
		const char* name = fAttrNames + fAttrNamesOffset;
		size_t length = strnlen(name, fAttrNamesLength - fAttrNamesOffset);
		fAttrNamesOffset += length + 1;
		if (length > 0 && length < B_ATTR_NAME_LENGTH) {
			memcpy(buffer, name, length + 1);
			return B_OK;
		}
	}
	return B_ENTRY_NOT_FOUND;
}


status_t
BNode::RewindAttrs()
{
	free(fAttrNames);
	fAttrNames = NULL;
	fAttrNamesLength = 0;
	fAttrNamesOffset = 0;
	return fCStatus;
}


// What every call on one attribute checks first; the path reaches the
// node through its descriptor.
status_t
BNode::_AttrPath(const char* name, char* path, off_t offset,
	bool hasBuffer) const
{
	if (fCStatus != B_OK)
		return fCStatus;
	if (name == NULL || name[0] == '\0' || offset != 0 || !hasBuffer)
		return B_BAD_VALUE;
	descriptor_path(fFD, path, kDescriptorPathLength);
	return B_OK;
}


// Reads the node's attribute names once; the list may grow between the
// call that measures it and the one that fills it, so that repeats.
status_t
BNode::_ListAttrs()
{
	char path[kDescriptorPathLength];
	descriptor_path(fFD, path, sizeof(path));
	while (true) {
		ssize_t size = listxattr(path, NULL, 0);
		if (size < 0)
			return attribute_status(errno);
		// One byte more keeps the last name terminated in every case.
		char* names = (char*)calloc(size + 1, 1);
		if (names == NULL)
			return B_NO_MEMORY;
		ssize_t listed = listxattr(path, names, size);
		if (listed < 0) {
			free(names);
			if (errno == ERANGE)
				continue;
			return attribute_status(errno);
		}
		fAttrNames = names;
		fAttrNamesLength = listed;
		fAttrNamesOffset = 0;
		return B_OK;
	}
}


bool
BNode::operator==(const BNode& other) const
{
	if (fCStatus != B_OK || other.fCStatus != B_OK)
		return fCStatus != B_OK && other.fCStatus != B_OK;
	node_ref ref;
	node_ref otherRef;
	return GetNodeRef(&ref) == B_OK && other.GetNodeRef(&otherRef) == B_OK
		&& ref == otherRef;
}


bool
BNode::operator!=(const BNode& other) const
{
	return !(*this == other);
}


BNode&
BNode::operator=(const BNode& other)
{
	if (this == &other)
		return *this;
	Unset();
	if (other.fCStatus != B_OK) {
		_SetDescriptor(-1, other.fCStatus);
		return *this;
	}
	int fd = fcntl(other.fFD, F_DUPFD_CLOEXEC, 0);
	_SetDescriptor(fd, fd >= 0 ? B_OK : storage_status(errno));
	return *this;
}


status_t
BNode::_SetStat(const struct stat& st, uint32 which)
{
	if (fCStatus != B_OK)
		return fCStatus;

	bool pathOnly = _IsPathOnly();
	char path[kDescriptorPathLength];
	descriptor_path(fFD, path, sizeof(path));

	if ((which & (kStatOwner | kStatGroup)) != 0) {
		uid_t owner = (which & kStatOwner) != 0 ? st.st_uid : (uid_t)-1;
		gid_t group = (which & kStatGroup) != 0 ? st.st_gid : (gid_t)-1;
		if (fchownat(fFD, "", owner, group, AT_EMPTY_PATH) != 0)
			return storage_status(errno);
	}
	if ((which & kStatPermissions) != 0) {
		int result = pathOnly ? chmod(path, st.st_mode)
			: fchmod(fFD, st.st_mode);
		if (result != 0)
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
		int result = pathOnly ? utimensat(AT_FDCWD, path, times, 0)
			: futimens(fFD, times);
		if (result != 0)
			return storage_status(errno);
	}
	return B_OK;
}


status_t
BNode::_Open(const char* path, int flags, mode_t mode)
{
	Unset();
	if (path == NULL || path[0] == '\0')
		return _SetDescriptor(-1, B_BAD_VALUE);

	int fd;
	do {
		fd = open(path, flags | O_CLOEXEC, mode);
	} while (fd < 0 && errno == EINTR);
	if (fd < 0)
		return _SetDescriptor(-1, storage_status(errno));
	return _SetDescriptor(fd, B_OK);
}


status_t
BNode::_SetDescriptor(int fd, status_t status)
{
	fFD = fd;
	fCStatus = status;
	return status;
}


int
BNode::_Descriptor() const
{
	return fFD;
}


bool
BNode::_IsPathOnly() const
{
	if (fFD < 0)
		return false;
	int flags = fcntl(fFD, F_GETFL);
	return flags >= 0 && (flags & O_PATH) != 0;
}
