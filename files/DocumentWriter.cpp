/*
 * Safe writing of documents.
 */
#include "DocumentWriter.h"

#include <Directory.h>
#include <File.h>
#include <Node.h>
#include <fs_attr.h>

#include <stdlib.h>
#include <string.h>

#include <vector>

#include "SaveBackup.h"
#include "WriteAll.h"


// Whether an attribute of the old file belongs to the document and so
// moves to the new file: the user's own attributes, who may read it and
// its security label. Anything else (file capabilities among them) is no
// property of a text that someone edited.
static bool
is_kept_attribute(const char* name)
{
	return strncmp(name, "user.", 5) == 0
		|| strcmp(name, "system.posix_acl_access") == 0
		|| strcmp(name, "security.selinux") == 0;
}


DocumentWriter::DocumentWriter()
	:
	fMethod(kNotWritten),
	fCanOverwriteInPlace(false),
	fFolderNotSynced(false)
{
}


status_t
DocumentWriter::Write(const entry_ref* ref, const char* bytes, size_t length,
	uint32 flags)
{
	fMethod = kNotWritten;
	fCanOverwriteInPlace = false;
	fFolderNotSynced = false;
	fStamp.Unset();
	fBackupPath.clear();
	if (ref == NULL || (bytes == NULL && length > 0))
		return B_BAD_VALUE;

	// A link stays a link: what gets replaced is the file it points to.
	BEntry target(ref, true);
	status_t status = target.InitCheck();
	if (status != B_OK)
		return status;

	// Only a missing file is missing: a file that could not be looked at
	// is there, and replacing it blindly would lose its owner, its mode
	// and its other names.
	struct stat old;
	status = target.GetStat(&old);
	if (status == B_ENTRY_NOT_FOUND)
		return _WriteReplacing(target, NULL, bytes, length);
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
	fStamp.SetTo(old);

	// Every other name of a hard-linked file would keep the old bytes if
	// a new file took this name's place.
	if ((flags & kOverwriteInPlace) != 0 || old.st_nlink > 1)
		return _WriteInPlace(target, bytes, length, flags);

	status = _WriteReplacing(target, &old, bytes, length);
	// The new file standing, only the same save again can finish it.
	if (fFolderNotSynced)
		return status;
	if (status == B_PERMISSION_DENIED || status == B_NOT_ALLOWED
		|| status == B_READ_ONLY_DEVICE) {
		return _WriteInPlace(target, bytes, length, flags);
	}
	fCanOverwriteInPlace = status == B_DEVICE_FULL;
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

	// A file that replaces another is private until it has the old one's
	// owner and permissions, which it gets before its first byte; a new
	// file is an ordinary one from the start.
	BFile file;
	BEntry temporary;
	status = SaveBackup::CreateUnique(directory, ".orvane-save-",
		old != NULL ? 0600 : 0666, &file, &temporary);
	if (status != B_OK)
		return status;

	if (old != NULL)
		status = _TakeOwnership(target, file, *old);
	if (status == B_OK)
		status = write_all(file, 0, bytes, length);
	if (status == B_OK)
		status = file.Sync();
	if (status == B_OK)
		status = temporary.Rename(target.Name(), true);
	if (status != B_OK) {
		file.Unset();
		temporary.Remove();
		return status;
	}

	// The rename changed the new file's change time, so it is stamped
	// now, through the descriptor, which needs no lookup that could fail.
	if (fStamp.SetTo(file) != B_OK)
		fStamp.SetTo(target);
	file.Unset();

	// The rename itself is safe only once the directory has reached the
	// disk. The new file stands either way, but until then a crash may
	// bring the old one back under its name: that is no finished save.
	fMethod = kReplaced;
	status = directory.Sync();
	fFolderNotSynced = status != B_OK;
	return status;
}


status_t
DocumentWriter::_TakeOwnership(BEntry& target, BFile& file,
	const struct stat& old)
{
	// The new file takes the old one's place, so it takes its owner,
	// group, permissions and attributes too. When they cannot be kept the
	// file must be written where it is instead, which B_NOT_ALLOWED asks
	// for. The owner goes first: changing it clears set-id bits.
	uid_t owner;
	gid_t group;
	if (file.GetOwner(&owner) != B_OK || file.GetGroup(&group) != B_OK)
		return B_NOT_ALLOWED;
	if (owner != old.st_uid && file.SetOwner(old.st_uid) != B_OK)
		return B_NOT_ALLOWED;
	if (group != old.st_gid && file.SetGroup(old.st_gid) != B_OK)
		return B_NOT_ALLOWED;
	status_t status = file.SetPermissions(old.st_mode & 07777);
	if (status != B_OK)
		return status;

	BNode source(&target);
	if (source.InitCheck() != B_OK)
		return B_NOT_ALLOWED;
	return _CopyAttributes(source, file);
}


status_t
DocumentWriter::_CopyAttributes(BNode& source, BNode& destination)
{
	source.RewindAttrs();
	char name[B_ATTR_NAME_LENGTH];
	status_t status;
	while ((status = source.GetNextAttrName(name)) == B_OK) {
		if (!is_kept_attribute(name))
			continue;
		attr_info info;
		if (source.GetAttrInfo(name, &info) != B_OK)
			return B_NOT_ALLOWED;
		std::vector<char> value(info.size);
		ssize_t size = source.ReadAttr(name, info.type, 0, value.data(),
			value.size());
		if (size < 0
			|| destination.WriteAttr(name, info.type, 0, value.data(), size)
				!= size) {
			return B_NOT_ALLOWED;
		}
	}
	source.RewindAttrs();
	// A file system without attributes has none to keep.
	if (status != B_ENTRY_NOT_FOUND && status != B_UNSUPPORTED)
		return B_NOT_ALLOWED;

	// What the new file got from its directory (a default access control
	// list) and the old file did not have would open or close it to
	// others: it goes. Every file has a security label where there are
	// any, so the label is only ever replaced.
	destination.RewindAttrs();
	while (destination.GetNextAttrName(name) == B_OK) {
		attr_info info;
		if (!is_kept_attribute(name) || strcmp(name, "security.selinux") == 0
			|| source.GetAttrInfo(name, &info) != B_ENTRY_NOT_FOUND)
			continue;
		if (destination.RemoveAttr(name) != B_OK)
			return B_NOT_ALLOWED;
	}
	destination.RewindAttrs();
	return B_OK;
}


status_t
DocumentWriter::_WriteInPlace(BEntry& target, const char* bytes,
	size_t length, uint32 flags)
{
	// The old bytes are read first: they make the copy that keeps the
	// file safe through a crash, and they go back if the write fails.
	BFile file(&target, B_READ_WRITE);
	status_t status = file.InitCheck();
	if (status != B_OK)
		return status;

	off_t oldSize;
	status = file.GetSize(&oldSize);
	if (status != B_OK)
		return status;

	std::vector<char> oldBytes;
	if (oldSize > 0) {
		oldBytes.resize(oldSize);
		ssize_t read = file.ReadAt(0, oldBytes.data(), oldSize);
		if (read < 0)
			return (status_t)read;
		if (read != oldSize)
			return B_IO_ERROR;
	}

	// With nothing in the file there is nothing a crash could mix up.
	SaveBackup backup;
	if (oldSize > 0) {
		status = backup.Create(target, oldBytes.data(), oldSize);
		if (status != B_OK && (flags & kOverwriteInPlace) == 0) {
			fCanOverwriteInPlace = true;
			return status;
		}
	}

	status = _OverwriteWith(file, oldSize, bytes, length);
	if (status != B_OK) {
		status_t restored = write_all(file, 0, oldBytes.data(), oldSize);
		if (restored == B_OK)
			restored = file.SetSize(oldSize);
		if (restored == B_OK)
			restored = file.Sync();
		if (restored != B_OK) {
			// The copy is now the only whole version of the old bytes.
			fStamp.Unset();
			fBackupPath = backup.Path();
			return status;
		}
	}

	fStamp.SetTo(file);
	backup.Remove();
	if (status == B_OK)
		fMethod = kInPlace;
	return status;
}


status_t
DocumentWriter::_OverwriteWith(BFile& file, off_t oldSize,
	const char* bytes, size_t length)
{
	// What lies past the old end goes first: it needs new room on the
	// disk, and when there is none the old bytes are still untouched.
	size_t head = length < (size_t)oldSize ? length : (size_t)oldSize;
	if (length > head) {
		status_t status = write_all(file, oldSize, bytes + head,
			length - head);
		if (status != B_OK)
			return status;
	}

	status_t status = write_all(file, 0, bytes, head);
	if (status == B_OK && length < (size_t)oldSize)
		status = file.SetSize(length);
	if (status == B_OK)
		status = file.Sync();
	return status;
}
