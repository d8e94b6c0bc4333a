/*
 * Recovery journals found at the start: reading them and giving their
 * text back.
 */
#include "JournalRecovery.h"

#include <Directory.h>
#include <Path.h>

#include <string.h>

#include <algorithm>

#include "PrintLine.h"

using journal::RecordReader;


const char* JournalRecovery::kPrefix = "journal-";

namespace {

// How much of a journal's bytes is put back at a time.
const size_t kChunk = 1024 * 1024;


bool
is_journal_name(const char* name)
{
	return strncmp(name, JournalRecovery::kPrefix,
			strlen(JournalRecovery::kPrefix)) == 0
		&& strchr(name, '.') == NULL;
}


// Opens and locks the journal the entry names. B_BUSY when a running
// instance has it. Between listing the folder and locking, a writer may
// have put a compacted journal in its place; the lock then holds a file
// nobody will write again, and the name is opened afresh.
status_t
take_journal(const BEntry& entry, BFile& _file)
{
	for (int attempt = 0; attempt < 3; attempt++) {
		status_t status = _file.SetTo(&entry, B_READ_WRITE);
		if (status == B_OK)
			status = _file.Lock();
		if (status != B_OK)
			return status;
		BNode now(&entry);
		if (now.InitCheck() != B_OK)
			return B_ENTRY_NOT_FOUND;
		if (now == _file)
			return B_OK;
		_file.Unset();
	}
	return B_BUSY;
}

}	// namespace


RecoveryTarget::~RecoveryTarget()
{
}


void
JournalRecovery::Scan(const char* folder, journal_list& _found)
{
	BDirectory directory(folder);
	if (directory.InitCheck() != B_OK)
		return;

	BEntry entry;
	while (directory.GetNextEntry(&entry) == B_OK) {
		char name[B_FILE_NAME_LENGTH];
		if (entry.GetName(name) != B_OK || !is_journal_name(name))
			continue;

		auto journal = std::make_unique<RecoveredJournal>();
		if (take_journal(entry, journal->file) != B_OK)
			continue;
		journal->entry = entry;
		BPath path;
		if (entry.GetPath(&path) == B_OK)
			journal->path = path.Path();

		if (Read(*journal) != B_OK) {
			std::string kept = SetAside(*journal, ".damaged");
			PrintLine("A recovery journal could not be read and was left "
				"alone: %s", kept.c_str());
			continue;
		}
		if (journal->pieces.IsBase()) {
			// Its edits came back to where they began: nothing to give back.
			journal->entry.Remove();
			continue;
		}
		_found.push_back(std::move(journal));
	}
}


status_t
JournalRecovery::Read(RecoveredJournal& journal)
{
	RecordReader reader(journal.file);
	journal.records = 0;
	journal.end = 0;
	journal.baseCopyAt = 0;
	if (reader.ReadHeader(journal.base) != B_OK)
		return B_BAD_DATA;
	journal.pieces.Reset(journal.base.length);

	RecordReader::Record record;
	while (reader.Next(record) == B_OK) {
		status_t status = B_OK;
		switch (record.type) {
			case journal::kInsertRecord:
				status = journal.pieces.Insert(record.offset, record.bytesAt,
					record.length);
				break;
			case journal::kDeleteRecord:
				status = journal.pieces.Delete(record.offset, record.to);
				break;
			case journal::kSnapshotRecord:
				journal.pieces.Replace(record.bytesAt, record.length);
				break;
			case journal::kBaseCopyRecord:
				if (record.length == journal.base.length)
					journal.baseCopyAt = record.bytesAt;
				else
					status = B_BAD_DATA;
				break;
			default:
				status = B_BAD_DATA;
				break;
		}
		// An edit that does not fit the text ends what can be trusted,
		// as a damaged record does.
		if (status != B_OK)
			break;
		journal.records++;
		journal.end = record.end;
	}
	if (journal.records == 0)
		journal.end = reader.End();
	return B_OK;
}


bool
JournalRecovery::CanApply(const RecoveredJournal& journal,
	const RecoveryTarget& target, const FileStamp& targetStamp)
{
	return !journal.pieces.UsesBase() || journal.baseCopyAt != 0
		|| (targetStamp == journal.base.stamp
			&& target.Length() == journal.base.length);
}


status_t
JournalRecovery::Apply(RecoveredJournal& journal, RecoveryTarget& target)
{
	const PieceTable& pieces = journal.pieces;
	bool usesBase = pieces.UsesBase();
	bool ownBase = usesBase && journal.baseCopyAt != 0;
	if (usesBase && !ownBase && target.Length() != pieces.BaseLength())
		return B_MISMATCHED_VALUES;
	if ((!usesBase || ownBase) && target.Length() > 0) {
		status_t status = target.Delete(0, target.Length());
		if (status != B_OK)
			return status;
	}
	if (ownBase) {
		status_t status = _Copy(journal, journal.baseCopyAt,
			pieces.BaseLength(), 0, target);
		if (status != B_OK)
			return status;
	}

	// The target holds the base: going along the pieces, what lies
	// between two runs of the base goes, and the journal's bytes come in.
	uint64 position = 0;
	uint64 baseDone = 0;
	for (const PieceTable::Piece& piece : pieces.Pieces()) {
		status_t status = B_OK;
		if (piece.fromBase) {
			if (piece.offset > baseDone)
				status = target.Delete(position,
					position + piece.offset - baseDone);
			position += piece.length;
			baseDone = piece.offset + piece.length;
		} else {
			status = _Copy(journal, piece.offset, piece.length, position,
				target);
			position += piece.length;
		}
		if (status != B_OK)
			return status;
	}
	if (usesBase && baseDone < pieces.BaseLength())
		return target.Delete(position, target.Length());
	return B_OK;
}


// Inserts bytes of the journal file into the target, a chunk at a time.
status_t
JournalRecovery::_Copy(RecoveredJournal& journal, off_t from, uint64 length,
	uint64 to, RecoveryTarget& target)
{
	std::string bytes;
	for (uint64 done = 0; done < length;) {
		size_t chunk = std::min<uint64>(kChunk, length - done);
		bytes.resize(chunk);
		if (journal.file.ReadAt(from + done, &bytes[0], chunk)
				!= (ssize_t)chunk)
			return B_IO_ERROR;
		status_t status = target.Insert(to + done, bytes.data(), chunk);
		if (status != B_OK)
			return status;
		done += chunk;
	}
	return B_OK;
}


std::string
JournalRecovery::SetAside(RecoveredJournal& journal, const char* suffix)
{
	char name[B_FILE_NAME_LENGTH];
	if (journal.entry.GetName(name) != B_OK)
		return journal.path;
	std::string kept = std::string(name) + suffix;
	if (journal.entry.Rename(kept.c_str(), true) != B_OK)
		return journal.path;
	BPath path;
	if (journal.entry.GetPath(&path) == B_OK)
		journal.path = path.Path();
	journal.file.Unset();
	return journal.path;
}
