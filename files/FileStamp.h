/*
 * FileStamp: which file was on disk, and in what state, when a document
 * last read it or wrote it: its device and node, its size, and its
 * modification and change times to the nanosecond. Comparing a fresh
 * stamp with the remembered one tells whether someone else changed or
 * replaced the file in the meantime. The change time counts because
 * copying tools (cp -p, rsync -t, tar, touch -r) set the modification
 * time back to what it was, and no one can set the change time.
 *
 * A stamp that was never set, or was set to nothing, is unknown; an
 * unknown stamp equals no known one.
 */
#ifndef FILE_STAMP_H
#define FILE_STAMP_H

#include <Statable.h>
#include <SupportDefs.h>

#include <string>

struct entry_ref;


class FileStamp {
public:
								FileStamp();

	// Stamps the node an open object has; unknown on failure.
			status_t			SetTo(const BStatable& node);
	// Stamps the file a reference names, following symbolic links; unknown
	// when nothing exists there (B_ENTRY_NOT_FOUND).
			status_t			SetTo(const entry_ref* ref);
	// Stamps what a stat() of the file returned.
			void				SetTo(const struct stat& st);
			void				Unset();

			bool				IsKnown() const { return fKnown; }

	// The stamp as bytes, to be kept in a file and read back; Unflatten()
	// is B_BAD_DATA for bytes that no stamp flattened to.
			void				Flatten(std::string& _bytes) const;
			status_t			Unflatten(const char* bytes, size_t length);
	static	const size_t		kFlattenedSize = 1 + 7 * 8;

			bool				operator==(const FileStamp& other) const;
			bool				operator!=(const FileStamp& other) const
									{ return !(*this == other); }

private:
			bool				fKnown;
			dev_t				fDevice;
			ino_t				fNode;
			off_t				fSize;
			struct timespec		fModified;
			struct timespec		fChanged;
};

#endif	// FILE_STAMP_H
