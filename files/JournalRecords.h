/*
 * The records of a recovery journal, as they lie on disk, and reading
 * them back.
 *
 * A journal is a sequence of records. Each one is
 *
 *   magic "OvJr" (4 bytes), type (1), three zero bytes, payload length
 *   (4, little-endian), the payload, and a CRC-32 (4) of everything
 *   before it in the record.
 *
 * The first record is the header, which names the text the edits apply
 * to (the base): a file with its stamp and length, or nothing for an
 * untitled document. A copy of a small base may follow it, so that the
 * edits can be put back even when the file is changed before the next
 * start. The others are edits in the order they were made: an insertion
 * (offset, then the bytes), a deletion (from, to) or a snapshot (the
 * whole text, after which the base no longer matters).
 * Offsets count bytes of the text as it stood just before the edit.
 *
 * A reader trusts a record only when its magic, length and checksum are
 * right and it makes sense where it stands (an offset inside the text);
 * the first record that fails ends what is read, so a torn or damaged
 * tail costs the edits in it and nothing before it.
 *
 * Used by one thread at a time.
 */
#ifndef JOURNAL_RECORDS_H
#define JOURNAL_RECORDS_H

#include <SupportDefs.h>

#include <string>

#include "FileStamp.h"

class BFile;


namespace journal {

enum record_type {
	kHeaderRecord	= 1,
	kInsertRecord	= 2,
	kDeleteRecord	= 3,
	kSnapshotRecord	= 4,
	kBaseCopyRecord	= 5
};

// Around each payload: the magic, type and length before it, the
// checksum after it.
static const size_t kRecordHead = 12;
static const size_t kRecordTail = 4;
// No record is larger; edits larger than this are written as several.
static const size_t kMaxPayload = 16 * 1024 * 1024;

uint32 crc32(uint32 crc, const void* bytes, size_t length);


// What a journal's edits apply to.
struct Base {
								Base();

			bool				IsUntitled() const { return path.empty(); }

	// The file's absolute path, empty for an untitled document.
			std::string			path;
	// The file as it was when the text matched it; unknown for none.
			FileStamp			stamp;
	// How long the base text is: the file's length, 0 for none.
			uint64				length;
	// The window's number, which names an untitled document.
			int32				number;
};


// Appends whole records to a buffer.
class RecordWriter {
public:
	static	void				Header(std::string& out, const Base& base);
	static	void				Insert(std::string& out, uint64 offset,
									const char* bytes, size_t length);
	static	void				Delete(std::string& out, uint64 from,
									uint64 to);
	// A snapshot's first bytes; the rest follows as insertions at its end.
	static	void				Snapshot(std::string& out, const char* bytes,
									size_t length);
	// The base's bytes, whole.
	static	void				BaseCopy(std::string& out, const char* bytes,
									size_t length);
	// Where the bytes of an insertion or snapshot begin in its record.
	static	size_t				BytesOffset(record_type type);
};


// Reads the records of a journal file one after the other.
class RecordReader {
public:
	struct Record {
			record_type			type;
		// Where the record begins in the file, and where it ends.
			off_t				start;
			off_t				end;
		// Insertions: the offset, and where the inserted bytes lie in
		// the file and how many there are. Deletions: from and to.
		// Snapshots and base copies: the bytes, as for insertions.
			uint64				offset;
			uint64				to;
			off_t				bytesAt;
			uint64				length;
	};

								RecordReader(BFile& file);

	// The header, which must come first: B_BAD_DATA when it is not whole.
			status_t			ReadHeader(Base& _base);
	// The next whole record, checked; B_ENTRY_NOT_FOUND at the end, and
	// B_BAD_DATA where what follows is no whole record. Its offsets are
	// not checked against the text: the caller knows the text.
			status_t			Next(Record& _record);
	// Where the last whole record ends: what a writer may append after.
			off_t				End() const { return fEnd; }

private:
			status_t			_Read(Record& _record, std::string* _payload);

			BFile&				fFile;
			off_t				fSize;
			off_t				fEnd;
};

}	// namespace journal

#endif	// JOURNAL_RECORDS_H
