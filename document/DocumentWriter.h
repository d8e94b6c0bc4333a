/*
 * DocumentWriter puts a document's bytes into its file so that a failed
 * save never destroys what was on disk.
 *
 * The bytes go to a new file in the same directory, are flushed to the
 * disk, and the new file is renamed over the old one, which keeps the old
 * file's permissions, owner and group. A symbolic link keeps being a
 * link: the file it points to is replaced. Where a new file cannot take
 * the old one's place (the file has several hard links, its directory is
 * not writable, or its owner could not be kept), the file is overwritten
 * in place: nothing is cut before every byte is written, and a failed
 * write puts the old bytes back.
 *
 * A file that exists but cannot be opened for writing is not replaced:
 * saving it fails, as the user expects of a read-only file.
 *
 * Used by one thread at a time; holds nothing between calls.
 */
#ifndef DOCUMENT_WRITER_H
#define DOCUMENT_WRITER_H

#include <Entry.h>
#include <SupportDefs.h>

class BDirectory;
class BFile;


class DocumentWriter {
public:
	// Which way the last Write() took; for tests and diagnostics.
	enum method {
		kNotWritten = 0,
		kReplaced,		// a new file renamed over the old one
		kInPlace		// the old file overwritten
	};

								DocumentWriter();

	// Writes exactly length bytes to the file the reference names (or,
	// for a link, to the file it points to), creating it when missing.
	// B_OK only when every byte reached the disk; otherwise the old file
	// is as it was.
			status_t			Write(const entry_ref* ref, const char* bytes,
									size_t length);

			method				LastMethod() const { return fMethod; }

private:
			status_t			_WriteReplacing(BEntry& target,
									const struct stat* old,
									const char* bytes, size_t length);
			status_t			_WriteInPlace(BEntry& target,
									const char* bytes, size_t length);
	static	status_t			_TakeOwnership(BFile& file,
									const struct stat& old);
	// Makes a file of a fresh name in the directory.
			status_t			_CreateTemporary(BDirectory& directory,
									BFile* file, BEntry* entry);
	static	status_t			_WriteAll(BFile& file, off_t position,
									const char* bytes, size_t length);

			method				fMethod;
};

#endif	// DOCUMENT_WRITER_H
