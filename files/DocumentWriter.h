/*
 * DocumentWriter puts a document's bytes into its file so that a failed
 * save, or a crash during one, never destroys what was on disk.
 *
 * The bytes go to a new file in the same directory, are flushed to the
 * disk, and the new file is renamed over the old one. The new file is
 * private (0600) from its creation and takes the old file's owner, group,
 * permissions, extended attributes ("user.*"), access control list and
 * security label before its first byte is written. A symbolic link keeps
 * being a link: the file it points to is replaced.
 *
 * Where a new file cannot take the old one's place (the file has several
 * hard links, its directory is not writable, or its owner or attributes
 * could not be kept), the file is overwritten in place: a complete copy
 * of the old bytes is put on disk first (see SaveBackup) and removed once
 * the new bytes are there, nothing is cut before every byte is written,
 * and a failed write puts the old bytes back.
 *
 * A file that exists but cannot be opened for writing is not replaced:
 * saving it fails, as the user expects of a read-only file. Only a
 * missing file counts as missing; a file that cannot be looked at fails
 * the save.
 *
 * Used by one thread at a time; holds nothing between calls but what the
 * last Write() did.
 */
#ifndef DOCUMENT_WRITER_H
#define DOCUMENT_WRITER_H

#include <Entry.h>
#include <SupportDefs.h>

#include <string>

#include "FileStamp.h"

class BDirectory;
class BFile;
class BNode;


class DocumentWriter {
public:
	// Which way the last Write() took; for tests and diagnostics.
	enum method {
		kNotWritten = 0,
		kReplaced,		// a new file renamed over the old one
		kInPlace		// the old file overwritten
	};

	// How Write() may go about it.
	enum write_flags {
		kSafeOnly				= 0,
		// Overwrite the file where it is even when no copy of the old
		// bytes fits on the disk: the only way left to save a file on a
		// full disk, at the risk that a crash leaves it damaged.
		kOverwriteInPlace		= 0x01
	};

								DocumentWriter();

	// Writes exactly length bytes to the file the reference names (or,
	// for a link, to the file it points to), creating it when missing.
	// B_OK only when every byte reached the disk; otherwise the old file
	// is as it was, unless FolderNotSynced() says the new one stands. B_DEVICE_FULL when the disk has no room for a safe
	// save; kOverwriteInPlace may then still succeed.
			status_t			Write(const entry_ref* ref, const char* bytes,
									size_t length,
									uint32 flags = kSafeOnly);

			method				LastMethod() const { return fMethod; }
	// Whether the last Write() failed only for want of a safe way (no
	// room for a new file or for a copy of the old bytes, or nowhere to
	// put the copy), so that kOverwriteInPlace could still save.
			bool				CanOverwriteInPlace() const
									{ return fCanOverwriteInPlace; }
	// The file as it is on disk after the last Write(), taken from the
	// file itself: the new bytes after a success, the old ones after a
	// failure that kept or restored them. Unknown when that is not known.
			const FileStamp&	Stamp() const { return fStamp; }
	// Where a copy of the old bytes was left because the file could not
	// be restored after a failed write in place; empty otherwise.
			const std::string&	BackupPath() const { return fBackupPath; }
	// Whether the last Write() put the new file in place but could not
	// sync its folder: the file holds the new bytes, yet after a crash
	// its name may lead to the old file again. Write() then failed with
	// the sync's error, and a new Write() is the way to try again.
			bool				FolderNotSynced() const
									{ return fFolderNotSynced; }

private:
			status_t			_WriteReplacing(BEntry& target,
									const struct stat* old,
									const char* bytes, size_t length);
			status_t			_WriteInPlace(BEntry& target,
									const char* bytes, size_t length,
									uint32 flags);
			status_t			_OverwriteWith(BFile& file, off_t oldSize,
									const char* bytes, size_t length);
	static	status_t			_TakeOwnership(BEntry& target, BFile& file,
									const struct stat& old);
	static	status_t			_CopyAttributes(BNode& source,
									BNode& destination);

			method				fMethod;
			bool				fCanOverwriteInPlace;
			bool				fFolderNotSynced;
			FileStamp			fStamp;
			std::string			fBackupPath;
};

#endif	// DOCUMENT_WRITER_H
