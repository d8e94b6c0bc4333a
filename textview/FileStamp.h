/*
 * FileStamp: which file was on disk, and in what state, when a document
 * last read it or wrote it: its device and node, its size and its
 * modification time to the nanosecond. Comparing a fresh stamp with the
 * remembered one tells whether someone else changed or replaced the file
 * in the meantime.
 *
 * A stamp that was never set, or was set to nothing, is unknown; an
 * unknown stamp equals no known one.
 */
#ifndef FILE_STAMP_H
#define FILE_STAMP_H

#include <Statable.h>
#include <SupportDefs.h>

struct entry_ref;


class FileStamp {
public:
								FileStamp();

	// Stamps the node an open object has; unknown on failure.
			status_t			SetTo(const BStatable& node);
	// Stamps the file a reference names, following symbolic links; unknown
	// when nothing exists there (B_ENTRY_NOT_FOUND).
			status_t			SetTo(const entry_ref* ref);
			void				Unset();

			bool				IsKnown() const { return fKnown; }

			bool				operator==(const FileStamp& other) const;
			bool				operator!=(const FileStamp& other) const
									{ return !(*this == other); }

private:
			bool				fKnown;
			dev_t				fDevice;
			ino_t				fNode;
			off_t				fSize;
			time_t				fSeconds;
			long				fNanoseconds;
};

#endif	// FILE_STAMP_H
