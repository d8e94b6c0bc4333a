/*
 * Safe writing of documents.
 */
#include "DocumentWriter.h"

#include <Directory.h>
#include <File.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <atomic>


// How many fresh names are tried before giving up on a new file.
static const int32 kTemporaryAttempts = 64;

static std::atomic<uint32> sTemporaryCounter(0);


DocumentWriter::DocumentWriter()
	:
	fMethod(kNotWritten)
{
}


status_t
DocumentWriter::Write(const entry_ref* ref, const char* bytes, size_t length)
{
	fMethod = kNotWritten;
	if (ref == NULL || (bytes == NULL && length > 0))
		return B_BAD_VALUE;

	// A link stays a link: what gets replaced is the file it points to.
	BEntry target(ref, true);
	status_t status = target.InitCheck();
	if (status != B_OK)
		return status;

	if (!target.Exists())
		return _WriteReplacing(target, NULL, bytes, length);

	struct stat old;
	status = target.GetStat(&old);
	if (status != B_OK)
		return status;
	if (S_ISDIR(old.st_mode))
		return B_IS_A_DIRECTORY;
	if (!S_ISREG(old.st_mode))
		return B_NOT_ALLOWED;

	// A file that may not be written is not replaced behind its back,
	// even where the directory would allow it.
	{
		BFile probe(&target, B_WRITE_ONLY);
		status = probe.InitCheck();
		if (status != B_OK)
			return status;
	}

	// Every other name of a hard-linked file would keep the old bytes if
	// a new file took this name's place.
	if (old.st_nlink > 1)
		return _WriteInPlace(target, bytes, length);

	status = _WriteReplacing(target, &old, bytes, length);
	if (status == B_PERMISSION_DENIED || status == B_NOT_ALLOWED
		|| status == B_READ_ONLY_DEVICE) {
		return _WriteInPlace(target, bytes, length);
	}
	return status;
}


status_t
DocumentWriter::_WriteReplacing(BEntry& target, const struct stat* old,
	const char* bytes, size_t length)
{
	BDirectory directory;
	status_t status = target.GetParent(&directory);
	if (status != B_OK)
		return status;

	BFile file;
	BEntry temporary;
	status = _CreateTemporary(directory, &file, &temporary);
	if (status != B_OK)
		return status;

	status = _WriteAll(file, 0, bytes, length);
	if (status == B_OK && old != NULL)
		status = _TakeOwnership(file, *old);
	if (status == B_OK)
		status = file.Sync();
	file.Unset();

	if (status == B_OK)
		status = temporary.Rename(target.Name(), true);
	if (status != B_OK) {
		temporary.Remove();
		return status;
	}

	// The rename itself is safe once the directory has reached the disk;
	// a failure there leaves the new file in place anyway.
	directory.Sync();
	fMethod = kReplaced;
	return B_OK;
}


status_t
DocumentWriter::_TakeOwnership(BFile& file, const struct stat& old)
{
	// The new file takes the old one's place, so it takes its owner,
	// group and permissions too. When they cannot be kept the file must
	// be written where it is instead, which B_NOT_ALLOWED asks for.
	uid_t owner;
	gid_t group;
	if (file.GetOwner(&owner) != B_OK || file.GetGroup(&group) != B_OK)
		return B_NOT_ALLOWED;
	if (owner != old.st_uid && file.SetOwner(old.st_uid) != B_OK)
		return B_NOT_ALLOWED;
	if (group != old.st_gid && file.SetGroup(old.st_gid) != B_OK)
		return B_NOT_ALLOWED;
	return file.SetPermissions(old.st_mode & 07777);
}


status_t
DocumentWriter::_WriteInPlace(BEntry& target, const char* bytes,
	size_t length)
{
	// Reading the old bytes first lets a failed write put them back.
	BFile file(&target, B_READ_WRITE);
	bool canRestore = file.InitCheck() == B_OK;
	if (!canRestore)
		file.SetTo(&target, B_WRITE_ONLY);
	status_t status = file.InitCheck();
	if (status != B_OK)
		return status;

	off_t oldSize;
	status = file.GetSize(&oldSize);
	if (status != B_OK)
		return status;

	char* oldBytes = NULL;
	if (canRestore && oldSize > 0) {
		oldBytes = (char*)malloc(oldSize);
		if (oldBytes == NULL
			|| file.ReadAt(0, oldBytes, oldSize) != (ssize_t)oldSize) {
			free(oldBytes);
			return B_NO_MEMORY;
		}
	}

	// What lies past the old end goes first: it needs new room on the
	// disk, and when there is none the old bytes are still untouched.
	size_t head = length < (size_t)oldSize ? length : (size_t)oldSize;
	if (length > head) {
		status = _WriteAll(file, oldSize, bytes + head, length - head);
		if (status != B_OK) {
			file.SetSize(oldSize);
			free(oldBytes);
			return status;
		}
	}

	status = _WriteAll(file, 0, bytes, head);
	if (status == B_OK && length < (size_t)oldSize)
		status = file.SetSize(length);
	if (status == B_OK)
		status = file.Sync();

	if (status != B_OK && oldBytes != NULL) {
		_WriteAll(file, 0, oldBytes, oldSize);
		file.SetSize(oldSize);
		file.Sync();
	}
	free(oldBytes);
	if (status == B_OK)
		fMethod = kInPlace;
	return status;
}


status_t
DocumentWriter::_CreateTemporary(BDirectory& directory, BFile* file,
	BEntry* entry)
{
	status_t status = B_ERROR;
	for (int32 attempt = 0; attempt < kTemporaryAttempts; attempt++) {
		char name[64];
		snprintf(name, sizeof(name), ".orvane-save-%llx-%x",
			(unsigned long long)system_time(),
			(unsigned)sTemporaryCounter.fetch_add(1));
		status = directory.CreateFile(name, file, true);
		if (status == B_FILE_EXISTS)
			continue;
		if (status != B_OK)
			return status;
		return entry->SetTo(&directory, name);
	}
	return status;
}


status_t
DocumentWriter::_WriteAll(BFile& file, off_t position, const char* bytes,
	size_t length)
{
	if (length == 0)
		return B_OK;
	ssize_t written = file.WriteAt(position, bytes, length);
	if (written < 0)
		return (status_t)written;
	// A short write with no error of its own means the disk is full.
	return (size_t)written == length ? (status_t)B_OK : (status_t)B_DEVICE_FULL;
}
