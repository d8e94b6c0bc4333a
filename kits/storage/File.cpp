/*
 * BFile: the bytes of a regular file, read and written through the
 * descriptor its BNode owns.
 */
#include <File.h>

#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include <Entry.h>
#include <Path.h>

#include "PathSupport.h"

using namespace BPrivate;


// How often a plain create tries to tell an existing file from a new one.
static const int32 kCreateAttempts = 4;

static const uint32 kKnownModeBits = B_OPEN_MODE_MASK | B_FAIL_IF_EXISTS
	| B_CREATE_FILE | B_ERASE_FILE | B_OPEN_AT_END;


// The open(2) flags for an open mode, or -1 when the mode is invalid.
static int
open_flags_for(uint32 openMode)
{
	if ((openMode & ~kKnownModeBits) != 0)
		return -1;

	int flags;
	switch (openMode & B_OPEN_MODE_MASK) {
		case B_READ_ONLY:	flags = O_RDONLY; break;
		case B_WRITE_ONLY:	flags = O_WRONLY; break;
		case B_READ_WRITE:	flags = O_RDWR; break;
		default:			return -1;
	}
	// Emptying a file nobody may write to is surely a mistake, and one
	// that loses data.
	if ((openMode & B_ERASE_FILE) != 0 && flags == O_RDONLY)
		return -1;

	if ((openMode & B_CREATE_FILE) != 0)
		flags |= O_CREAT;
	if ((openMode & B_FAIL_IF_EXISTS) != 0)
		flags |= O_CREAT | O_EXCL;
	if ((openMode & B_ERASE_FILE) != 0)
		flags |= O_TRUNC;
	if ((openMode & B_OPEN_AT_END) != 0)
		flags |= O_APPEND;

	// Opening a FIFO or a terminal must not block or adopt it.
	return flags | O_NONBLOCK | O_NOCTTY;
}


// Transfers at most SSIZE_MAX bytes per call, so the count fits the
// result.
static size_t
clamp_size(size_t size)
{
	return size > (size_t)SSIZE_MAX ? (size_t)SSIZE_MAX : size;
}


// Repeats a transfer until every byte has moved or the file ends, riding
// out interrupted calls. An error after some bytes moved reports those
// bytes; the error comes back on the next call.
template<typename Transfer>
static ssize_t
transfer_all(size_t size, Transfer transfer)
{
	size = clamp_size(size);
	size_t done = 0;
	while (done < size) {
		ssize_t result = transfer(done, size - done);
		if (result < 0) {
			if (errno == EINTR)
				continue;
			return done > 0 ? (ssize_t)done : storage_status(errno);
		}
		if (result == 0)
			break;
		done += result;
	}
	return done;
}


BFile::BFile()
	:
	fMode(0)
{
}


BFile::BFile(const entry_ref* ref, uint32 openMode)
	:
	fMode(0)
{
	SetTo(ref, openMode);
}


BFile::BFile(const BEntry* entry, uint32 openMode)
	:
	fMode(0)
{
	SetTo(entry, openMode);
}


BFile::BFile(const char* path, uint32 openMode)
	:
	fMode(0)
{
	SetTo(path, openMode);
}


BFile::BFile(const BDirectory* directory, const char* path, uint32 openMode)
	:
	fMode(0)
{
	SetTo(directory, path, openMode);
}


BFile::BFile(const BFile& other)
	:
	BNode(other),
	BPositionIO(),
	fMode(other.fMode)
{
}


BFile::~BFile()
{
}


status_t
BFile::SetTo(const entry_ref* ref, uint32 openMode)
{
	std::string path;
	status_t status = entry_ref_to_existing_path(ref, path);
	if (status != B_OK) {
		Unset();
		return _SetDescriptor(-1, status);
	}
	return _OpenFile(path.c_str(), openMode);
}


status_t
BFile::SetTo(const BEntry* entry, uint32 openMode)
{
	BPath path;
	status_t status = entry != NULL ? entry->GetPath(&path) : B_BAD_VALUE;
	if (status != B_OK) {
		Unset();
		return _SetDescriptor(-1, status);
	}
	return _OpenFile(path.Path(), openMode);
}


status_t
BFile::SetTo(const char* path, uint32 openMode)
{
	return _OpenFile(path, openMode);
}


status_t
BFile::SetTo(const BDirectory* directory, const char* path, uint32 openMode)
{
	std::string composed;
	status_t status = compose_path(directory, path, composed);
	if (status != B_OK) {
		Unset();
		return _SetDescriptor(-1, status);
	}
	return _OpenFile(composed.c_str(), openMode);
}


void
BFile::Unset()
{
	BNode::Unset();
	fMode = 0;
}


bool
BFile::IsReadable() const
{
	uint32 access = fMode & B_OPEN_MODE_MASK;
	return InitCheck() == B_OK
		&& (access == B_READ_ONLY || access == B_READ_WRITE);
}


bool
BFile::IsWritable() const
{
	uint32 access = fMode & B_OPEN_MODE_MASK;
	return InitCheck() == B_OK
		&& (access == B_WRITE_ONLY || access == B_READ_WRITE);
}


ssize_t
BFile::Read(void* buffer, size_t size)
{
	if (InitCheck() != B_OK)
		return InitCheck();
	if (!IsReadable())
		return B_NOT_ALLOWED;
	if (buffer == NULL && size > 0)
		return B_BAD_VALUE;

	char* out = static_cast<char*>(buffer);
	return transfer_all(size, [&](size_t done, size_t count) {
		return read(_Descriptor(), out + done, count);
	});
}


ssize_t
BFile::ReadAt(off_t position, void* buffer, size_t size)
{
	if (InitCheck() != B_OK)
		return InitCheck();
	if (!IsReadable())
		return B_NOT_ALLOWED;
	if (position < 0 || (buffer == NULL && size > 0))
		return B_BAD_VALUE;

	char* out = static_cast<char*>(buffer);
	return transfer_all(size, [&](size_t done, size_t count) {
		return pread(_Descriptor(), out + done, count, position + done);
	});
}


ssize_t
BFile::Write(const void* buffer, size_t size)
{
	if (InitCheck() != B_OK)
		return InitCheck();
	if (!IsWritable())
		return B_NOT_ALLOWED;
	if (buffer == NULL && size > 0)
		return B_BAD_VALUE;

	const char* in = static_cast<const char*>(buffer);
	return transfer_all(size, [&](size_t done, size_t count) {
		return write(_Descriptor(), in + done, count);
	});
}


ssize_t
BFile::WriteAt(off_t position, const void* buffer, size_t size)
{
	if (InitCheck() != B_OK)
		return InitCheck();
	if (!IsWritable())
		return B_NOT_ALLOWED;
	if (position < 0 || (buffer == NULL && size > 0))
		return B_BAD_VALUE;

	const char* in = static_cast<const char*>(buffer);
	return transfer_all(size, [&](size_t done, size_t count) {
		return pwrite(_Descriptor(), in + done, count, position + done);
	});
}


off_t
BFile::Seek(off_t position, uint32 seekMode)
{
	if (InitCheck() != B_OK)
		return InitCheck();
	if (seekMode != SEEK_SET && seekMode != SEEK_CUR && seekMode != SEEK_END)
		return B_BAD_VALUE;
	off_t result = lseek(_Descriptor(), position, seekMode);
	if (result < 0)
		return storage_status(errno);
	return result;
}


off_t
BFile::Position() const
{
	if (InitCheck() != B_OK)
		return InitCheck();
	off_t result = lseek(_Descriptor(), 0, SEEK_CUR);
	if (result < 0)
		return storage_status(errno);
	return result;
}


status_t
BFile::SetSize(off_t size)
{
	if (InitCheck() != B_OK)
		return InitCheck();
	if (!IsWritable())
		return B_NOT_ALLOWED;
	if (size < 0)
		return B_BAD_VALUE;
	int result;
	do {
		result = ftruncate(_Descriptor(), size);
	} while (result != 0 && errno == EINTR);
	return result == 0 ? B_OK : storage_status(errno);
}


status_t
BFile::GetSize(off_t* size) const
{
	return BStatable::GetSize(size);
}


BFile&
BFile::operator=(const BFile& other)
{
	if (this == &other)
		return *this;
	BNode::operator=(other);
	fMode = InitCheck() == B_OK ? other.fMode : 0;
	return *this;
}


status_t
BFile::_OpenFile(const char* path, uint32 openMode, mode_t permissions)
{
	Unset();
	int flags = open_flags_for(openMode);
	if (flags < 0)
		return _SetDescriptor(-1, B_BAD_VALUE);

	// Whether this call made the file decides whether a failure removes
	// it again.
	bool created = false;
	status_t status;
	if ((flags & O_CREAT) != 0 && (flags & O_EXCL) == 0)
		status = _OpenOrCreate(path, flags, permissions, &created);
	else {
		status = _Open(path, flags, permissions);
		created = status == B_OK && (flags & O_EXCL) != 0;
		if (status == B_OK)
			status = _CheckOpened();
	}

	if (status != B_OK) {
		Unset();
		if (created)
			unlink(path);
		return _SetDescriptor(-1, status);
	}

	// Only the open had to be non-blocking; a regular file never blocks
	// anyway, but the flag should not surprise anyone who asks.
	int statusFlags = fcntl(_Descriptor(), F_GETFL);
	if (statusFlags >= 0)
		fcntl(_Descriptor(), F_SETFL, statusFlags & ~O_NONBLOCK);

	fMode = openMode;
	return B_OK;
}


// A plain create opens what is there and creates (exclusively) only when
// nothing is, so it knows whether it made the file. An existing file is
// emptied only once it is known to be a regular file.
status_t
BFile::_OpenOrCreate(const char* path, int flags, mode_t permissions,
	bool* _created)
{
	*_created = false;
	// A dangling symbolic link is missing to the first open and there to
	// the exclusive one; after a few rounds the file is created through
	// it the ordinary way.
	for (int32 attempt = 0; attempt < kCreateAttempts; attempt++) {
		status_t status = _Open(path, flags & ~(O_CREAT | O_TRUNC));
		if (status == B_OK) {
			status = _CheckOpened();
			if (status == B_OK && (flags & O_TRUNC) != 0
				&& ftruncate(_Descriptor(), 0) != 0) {
				status = storage_status(errno);
			}
			return status;
		}
		if (status != B_ENTRY_NOT_FOUND)
			return status;

		status = _Open(path, flags | O_EXCL, permissions);
		if (status == B_FILE_EXISTS)
			continue;
		if (status != B_OK)
			return status;
		*_created = true;
		return _CheckOpened();
	}
	status_t status = _Open(path, flags, permissions);
	return status == B_OK ? _CheckOpened() : status;
}


// Only regular files are files: what the descriptor has open is checked.
status_t
BFile::_CheckOpened()
{
	struct stat st;
	if (fstat(_Descriptor(), &st) != 0)
		return storage_status(errno);
	if (S_ISDIR(st.st_mode))
		return B_IS_A_DIRECTORY;
	if (!S_ISREG(st.st_mode))
		return B_UNSUPPORTED;
	return B_OK;
}
