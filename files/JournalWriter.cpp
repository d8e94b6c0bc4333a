/*
 * JournalWriter: the recovery journals of the documents with unsaved
 * changes, written by a thread of their own.
 */
#include "JournalWriter.h"

#include <Directory.h>
#include <Entry.h>
#include <File.h>
#include <Message.h>
#include <Path.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <chrono>

#include "JournalRecovery.h"
#include "MessageCodes.h"
#include "PrintLine.h"
#include "SaveBackup.h"
#include "WriteAll.h"

using journal::Base;
using journal::RecordWriter;


namespace {

// How long edits are gathered before they are written and synced, and
// how long a write that failed waits before it is tried again.
const bigtime_t kGatherTime = 100000;
const bigtime_t kRetryTime = 1000000;
// The size of the pieces a large edit is written in.
const size_t kChunk = 1024 * 1024;
// When a journal is compacted: after this many records, or once it is
// this many times larger than the edits it needs (and past a megabyte).
const int32 kCompactRecords = 4096;
const off_t kCompactFactor = 4;
const off_t kCompactMinimum = 1024 * 1024;
// The most journal bytes compared with the base to tell whether edits
// came back to it.
const uint64 kCompareLimit = 64 * 1024;
// Bases up to this size are copied into their journal, so that the edits
// can be put back even when the file is changed before the next start.
const uint64 kBaseCopyLimit = 1024 * 1024;

std::mutex sDefaultLock;
JournalWriter* sDefault = NULL;
bool sAtExitSet = false;

}	// namespace


struct JournalWriter::Operation {
	enum kind {
		kOpen, kAdopt, kInsert, kDelete, kSnapshot, kRebase, kDiscard,
		kClose
	};

								Operation(kind what, journal_id id = 0)
									: what(what), id(id), from(0), to(0),
									  generation(0) {}

			kind				what;
			journal_id			id;
			uint64				from;
			uint64				to;
			int32				generation;
			std::string			bytes;
			Base				base;
			BMessenger			owner;
			std::unique_ptr<RecoveredJournal> recovered;
};


// An edit not yet encoded: typing is joined here.
struct JournalWriter::Pending {
			journal::record_type type;
			uint64				from;
			uint64				to;
			std::string			bytes;
};


struct JournalWriter::Journal {
			Base				base;
			BMessenger			owner;
	// Raised at every rebase, so that a snapshot asked for before it is
	// known for what it is.
			int32				generation = 0;
			BFile				file;
			BEntry				entry;
			bool				exists = false;
	// Where the file's records end, and the records encoded after that
	// which are still to reach it.
			off_t				size = 0;
			std::string			unwritten;
	// Where the copy of the base lies in the file; 0 for none.
			off_t				baseCopyAt = 0;
			PieceTable			pieces;
			std::vector<Pending> pending;
			int32				records = 0;
			bool				snapshotAsked = false;
			bool				failureSaid = false;
};


JournalWriter::JournalWriter(const char* folder)
	:
	fInitStatus(B_OK),
	fFolderPath(folder != NULL ? folder : ""),
	fFirstQueued(0),
	fSyncRequests(0),
	fSyncsDone(0),
	fStopping(false),
	fNextID(1),
	fBytesWritten(0)
{
	fInitStatus = create_directory(fFolderPath.c_str(), 0700);
	// Unsaved text is nobody else's business: a folder that others may
	// read is made private, and one that cannot be made so (it belongs to
	// someone else) is not used.
	BDirectory directory(fFolderPath.c_str());
	mode_t permissions = 0;
	if (fInitStatus == B_OK)
		fInitStatus = directory.InitCheck();
	if (fInitStatus == B_OK)
		fInitStatus = directory.GetPermissions(&permissions);
	if (fInitStatus == B_OK && (permissions & 077) != 0
		&& directory.SetPermissions(permissions & 0700) != B_OK)
		fInitStatus = B_NOT_ALLOWED;
	fThread = std::thread(&JournalWriter::_Run, this);
}


JournalWriter::~JournalWriter()
{
	{
		std::lock_guard<std::mutex> guard(sDefaultLock);
		if (sDefault == this)
			sDefault = NULL;
	}
	{
		std::lock_guard<std::mutex> guard(fLock);
		fStopping = true;
	}
	fWake.notify_all();
	fThread.join();
}


JournalWriter*
JournalWriter::Default()
{
	std::lock_guard<std::mutex> guard(sDefaultLock);
	return sDefault;
}


void
JournalWriter::SetDefault(JournalWriter* writer)
{
	std::lock_guard<std::mutex> guard(sDefaultLock);
	sDefault = writer;
	if (!sAtExitSet) {
		// A program that ends through exit() (the display went away, say)
		// still puts every edit on disk first.
		sAtExitSet = true;
		atexit(&JournalWriter::_SyncAtExit);
	}
}


void
JournalWriter::_SyncAtExit()
{
	std::lock_guard<std::mutex> guard(sDefaultLock);
	if (sDefault != NULL)
		sDefault->Sync();
}


JournalWriter::journal_id
JournalWriter::Open(const Base& base, const BMessenger& owner)
{
	Operation operation(Operation::kOpen);
	operation.base = base;
	operation.owner = owner;
	{
		std::lock_guard<std::mutex> guard(fLock);
		operation.id = fNextID++;
	}
	journal_id id = operation.id;
	_Queue(std::move(operation));
	return id;
}


JournalWriter::journal_id
JournalWriter::Adopt(std::unique_ptr<RecoveredJournal> recovered,
	const BMessenger& owner)
{
	Operation operation(Operation::kAdopt);
	operation.owner = owner;
	{
		std::lock_guard<std::mutex> guard(fLock);
		operation.id = fNextID++;
		fPaths[operation.id] = recovered->path;
	}
	operation.recovered = std::move(recovered);
	journal_id id = operation.id;
	_Queue(std::move(operation));
	return id;
}


void
JournalWriter::Inserted(journal_id id, uint64 offset, const char* bytes,
	size_t length)
{
	if (length == 0)
		return;
	Operation operation(Operation::kInsert, id);
	operation.from = offset;
	operation.bytes.assign(bytes, length);
	_Queue(std::move(operation));
}


void
JournalWriter::Deleted(journal_id id, uint64 from, uint64 to)
{
	if (to <= from)
		return;
	Operation operation(Operation::kDelete, id);
	operation.from = from;
	operation.to = to;
	_Queue(std::move(operation));
}


void
JournalWriter::Snapshot(journal_id id, int32 generation, const char* text,
	size_t length)
{
	Operation operation(Operation::kSnapshot, id);
	operation.generation = generation;
	operation.bytes.assign(text, length);
	_Queue(std::move(operation));
}


void
JournalWriter::Rebase(journal_id id, const Base& base)
{
	Operation operation(Operation::kRebase, id);
	operation.base = base;
	_Queue(std::move(operation));
}


void
JournalWriter::Discard(journal_id id)
{
	_Queue(Operation(Operation::kDiscard, id));
}


void
JournalWriter::Close(journal_id id)
{
	_Queue(Operation(Operation::kClose, id));
}


status_t
JournalWriter::Sync(bigtime_t timeout)
{
	std::unique_lock<std::mutex> lock(fLock);
	uint64 request = ++fSyncRequests;
	fWake.notify_all();
	bool done = fSynced.wait_for(lock, std::chrono::microseconds(timeout),
		[&] { return fSyncsDone >= request; });
	return done ? B_OK : B_TIMED_OUT;
}


std::string
JournalWriter::PathOf(journal_id id)
{
	std::lock_guard<std::mutex> guard(fLock);
	auto found = fPaths.find(id);
	return found != fPaths.end() ? found->second : std::string();
}


uint64
JournalWriter::BytesWritten()
{
	std::lock_guard<std::mutex> guard(fLock);
	return fBytesWritten;
}


void
JournalWriter::_Queue(Operation&& operation)
{
	std::lock_guard<std::mutex> guard(fLock);
	bool first = fQueue.empty();
	if (first)
		fFirstQueued = system_time();
	fQueue.push_back(std::move(operation));
	// The thread sleeps until the first edit and then gathers for a
	// while by itself; waking it for each edit would cost every keystroke
	// a switch of threads.
	if (first)
		fWake.notify_one();
}


// #pragma mark - The writer's thread


void
JournalWriter::_Run()
{
	bool retry = false;
	for (;;) {
		std::vector<Operation> operations;
		uint64 syncRequest;
		bool stopping;
		{
			std::unique_lock<std::mutex> lock(fLock);
			auto urgent = [&] {
				return fStopping || fSyncRequests > fSyncsDone;
			};
			if (retry) {
				fWake.wait_for(lock, std::chrono::microseconds(kRetryTime),
					[&] { return urgent() || !fQueue.empty(); });
			} else {
				fWake.wait(lock, [&] { return urgent() || !fQueue.empty(); });
			}
			if (!urgent() && !fQueue.empty()) {
				bigtime_t wait = fFirstQueued + kGatherTime - system_time();
				if (wait > 0) {
					fWake.wait_for(lock, std::chrono::microseconds(wait),
						urgent);
				}
			}
			operations.swap(fQueue);
			syncRequest = fSyncRequests;
			stopping = fStopping;
		}

		for (Operation& operation : operations)
			_Apply(operation);
		retry = false;
		for (auto& entry : fJournals) {
			_Flush(*entry.second);
			retry = retry || !entry.second->unwritten.empty();
		}

		{
			std::lock_guard<std::mutex> guard(fLock);
			fSyncsDone = std::max(fSyncsDone, syncRequest);
			if (stopping && fQueue.empty()) {
				fSyncsDone = fSyncRequests;
				fSynced.notify_all();
				break;
			}
		}
		fSynced.notify_all();
	}

	// What is left open stays on disk for the next start.
	for (auto& entry : fJournals)
		entry.second->file.Unset();
	fJournals.clear();
}


void
JournalWriter::_Apply(Operation& operation)
{
	if (operation.what == Operation::kOpen) {
		auto journal = std::make_unique<Journal>();
		journal->base = operation.base;
		journal->owner = operation.owner;
		journal->pieces.Reset(operation.base.length);
		fJournals[operation.id] = std::move(journal);
		return;
	}
	if (operation.what == Operation::kAdopt) {
		RecoveredJournal& recovered = *operation.recovered;
		auto journal = std::make_unique<Journal>();
		journal->base = recovered.base;
		journal->owner = operation.owner;
		journal->file = recovered.file;
		journal->entry = recovered.entry;
		journal->exists = true;
		journal->pieces = recovered.pieces;
		journal->records = recovered.records;
		journal->baseCopyAt = recovered.baseCopyAt;
		// A torn tail goes before anything is appended, or the records
		// after it could never be read.
		journal->size = recovered.end;
		off_t size;
		if (journal->file.GetSize(&size) == B_OK && size > recovered.end)
			journal->file.SetSize(recovered.end);
		fJournals[operation.id] = std::move(journal);
		return;
	}

	auto found = fJournals.find(operation.id);
	if (found == fJournals.end())
		return;
	Journal& journal = *found->second;

	switch (operation.what) {
		case Operation::kInsert:
			_Pend(journal, Pending{ journal::kInsertRecord, operation.from,
				0, std::move(operation.bytes) });
			break;
		case Operation::kDelete:
			_Pend(journal, Pending{ journal::kDeleteRecord, operation.from,
				operation.to, std::string() });
			break;
		case Operation::kSnapshot:
			if (operation.generation != journal.generation)
				break;
			journal.pending.clear();
			journal.pending.push_back(Pending{ journal::kSnapshotRecord, 0, 0,
				std::move(operation.bytes) });
			journal.snapshotAsked = false;
			break;
		case Operation::kRebase:
			_Remove(journal);
			journal.base = operation.base;
			journal.pieces.Reset(operation.base.length);
			journal.generation++;
			journal.snapshotAsked = false;
			break;
		case Operation::kDiscard:
			_Remove(journal);
			fJournals.erase(found);
			break;
		case Operation::kClose:
			_Flush(journal);
			journal.file.Unset();
			fJournals.erase(found);
			break;
		default:
			break;
	}
	if (operation.what == Operation::kDiscard
		|| operation.what == Operation::kClose) {
		std::lock_guard<std::mutex> guard(fLock);
		fPaths.erase(operation.id);
	}
}


// Typing that goes on where it stopped joins the insertion before it, and
// so does a backspace that takes back its end.
void
JournalWriter::_Pend(Journal& journal, Pending&& edit)
{
	if (!journal.pending.empty()) {
		Pending& last = journal.pending.back();
		if (last.type == journal::kInsertRecord) {
			uint64 end = last.from + last.bytes.size();
			if (edit.type == journal::kInsertRecord && edit.from == end
				&& last.bytes.size() + edit.bytes.size() <= kChunk) {
				last.bytes += edit.bytes;
				return;
			}
			if (edit.type == journal::kDeleteRecord && edit.to == end
				&& edit.from >= last.from) {
				last.bytes.resize(edit.from - last.from);
				if (last.bytes.empty())
					journal.pending.pop_back();
				return;
			}
		}
	}
	journal.pending.push_back(std::move(edit));
}


void
JournalWriter::_Flush(Journal& journal)
{
	bool changed = !journal.pending.empty();
	if (changed)
		_Encode(journal);
	// Edits that came back to the base leave nothing unsaved.
	if (journal.pieces.IsBase()) {
		_Remove(journal);
		return;
	}

	if (!journal.unwritten.empty()) {
		status_t status = _Write(journal);
		if (status != B_OK) {
			if (!journal.failureSaid) {
				journal.failureSaid = true;
				PrintLine("Can't keep unsaved changes of %s: %s",
					journal.base.IsUntitled() ? "an untitled document"
						: journal.base.path.c_str(), status_text(status));
			}
			return;
		}
		journal.failureSaid = false;
	}
	if (changed && _IsBaseAgain(journal)) {
		_Remove(journal);
		return;
	}
	if (!journal.exists)
		return;
	_CheckBase(journal);
	if (journal.records > kCompactRecords
		|| (journal.size > kCompactMinimum && journal.size > kCompactFactor
			* (off_t)(journal.pieces.JournalBytes() + kCompactMinimum)))
		_Compact(journal);
}


// Turns the pending edits into records after those still unwritten, and
// follows them in the pieces.
void
JournalWriter::_Encode(Journal& journal)
{
	for (Pending& edit : journal.pending) {
		if (!journal.exists && journal.unwritten.empty()) {
			RecordWriter::Header(journal.unwritten, journal.base);
			_CopyBase(journal);
		}
		size_t mark = journal.unwritten.size();
		if (_EncodeOne(journal, edit) != B_OK) {
			// The edit does not fit the text the journal knows, which can
			// only mean the two went apart: it is left out, and the whole
			// text is asked for.
			journal.unwritten.resize(mark);
			journal.snapshotAsked = false;
			_AskForSnapshot(journal);
			break;
		}
	}
	journal.pending.clear();
}


status_t
JournalWriter::_EncodeOne(Journal& journal, const Pending& edit)
{
	if (edit.type == journal::kDeleteRecord) {
		RecordWriter::Delete(journal.unwritten, edit.from, edit.to);
		journal.records++;
		return journal.pieces.Delete(edit.from, edit.to);
	}

	// A large insertion, or a snapshot, goes in records of a chunk each;
	// a snapshot's first record replaces the text, the others go on at
	// its end.
	bool snapshot = edit.type == journal::kSnapshotRecord;
	uint64 at = edit.from;
	size_t done = 0;
	do {
		size_t length = std::min(kChunk, edit.bytes.size() - done);
		journal::record_type type = snapshot && done == 0
			? journal::kSnapshotRecord : journal::kInsertRecord;
		off_t bytesAt = journal.size + journal.unwritten.size()
			+ RecordWriter::BytesOffset(type);
		status_t status = B_OK;
		if (type == journal::kSnapshotRecord) {
			RecordWriter::Snapshot(journal.unwritten, edit.bytes.data(),
				length);
			journal.pieces.Replace(bytesAt, length);
		} else {
			RecordWriter::Insert(journal.unwritten, at,
				edit.bytes.data() + done, length);
			status = journal.pieces.Insert(at, bytesAt, length);
		}
		journal.records++;
		if (status != B_OK)
			return status;
		at += length;
		done += length;
	} while (done < edit.bytes.size());
	return B_OK;
}


status_t
JournalWriter::_Write(Journal& journal)
{
	status_t status = B_OK;
	if (!journal.exists)
		status = _Create(journal);
	if (status == B_OK) {
		status = write_all(journal.file, journal.size,
			journal.unwritten.data(), journal.unwritten.size());
	}
	if (status == B_OK)
		status = journal.file.Sync();
	if (status != B_OK) {
		// What did reach the file is cut off again, so that the next try
		// writes the same records at the same place.
		if (journal.exists)
			journal.file.SetSize(journal.size);
		return status;
	}

	journal.size += journal.unwritten.size();
	{
		std::lock_guard<std::mutex> guard(fLock);
		fBytesWritten += journal.unwritten.size();
	}
	journal.unwritten.clear();
	return B_OK;
}


status_t
JournalWriter::_Create(Journal& journal)
{
	if (fInitStatus != B_OK)
		return fInitStatus;
	BDirectory folder(fFolderPath.c_str());
	status_t status = folder.InitCheck();
	if (status == B_OK) {
		status = SaveBackup::CreateUnique(folder, JournalRecovery::kPrefix,
			0600, &journal.file, &journal.entry);
	}
	if (status == B_OK)
		status = journal.file.Lock();
	// The journal counts only once its name is on disk too.
	if (status == B_OK)
		status = folder.Sync();
	if (status != B_OK) {
		if (journal.file.InitCheck() == B_OK)
			journal.entry.Remove();
		journal.file.Unset();
		return status;
	}
	journal.exists = true;
	journal.size = 0;
	journal.records = 0;
	_SetPath(journal);
	return B_OK;
}


void
JournalWriter::_Remove(Journal& journal)
{
	journal.pending.clear();
	journal.unwritten.clear();
	journal.pieces.Reset(journal.base.length);
	if (!journal.exists)
		return;
	journal.entry.Remove();
	journal.file.Unset();
	journal.exists = false;
	journal.size = 0;
	journal.records = 0;
	journal.baseCopyAt = 0;
	journal.pieces.Reset(journal.base.length);
	BDirectory folder(fFolderPath.c_str());
	folder.Sync();
	_SetPath(journal);
}


// Puts a copy of a small base after the header, when the file still is
// what the base says.
void
JournalWriter::_CopyBase(Journal& journal)
{
	journal.baseCopyAt = 0;
	const Base& base = journal.base;
	if (base.IsUntitled() || base.length == 0 || base.length > kBaseCopyLimit
		|| !base.stamp.IsKnown())
		return;
	BFile file(base.path.c_str(), B_READ_ONLY);
	FileStamp stamp;
	std::string bytes(base.length, '\0');
	if (file.InitCheck() != B_OK || stamp.SetTo(file) != B_OK
		|| stamp != base.stamp
		|| file.ReadAt(0, &bytes[0], bytes.size()) != (ssize_t)bytes.size())
		return;
	journal.baseCopyAt = journal.size + journal.unwritten.size()
		+ RecordWriter::BytesOffset(journal::kBaseCopyRecord);
	RecordWriter::BaseCopy(journal.unwritten, bytes.data(), bytes.size());
	journal.records++;
}


// A file changed on disk no longer holds the base the edits apply to:
// the journal then needs the whole text.
void
JournalWriter::_CheckBase(Journal& journal)
{
	if (journal.base.IsUntitled() || journal.snapshotAsked
		|| !journal.pieces.UsesBase() || journal.baseCopyAt != 0)
		return;
	entry_ref ref;
	FileStamp now;
	if (get_ref_for_path(journal.base.path.c_str(), &ref) == B_OK)
		now.SetTo(&ref);
	if (journal.base.stamp.IsKnown() && now == journal.base.stamp)
		return;

	_AskForSnapshot(journal);
}


void
JournalWriter::_AskForSnapshot(Journal& journal)
{
	if (journal.snapshotAsked)
		return;
	journal.snapshotAsked = true;
	BMessage request(kMsgJournalSnapshot);
	request.AddInt32("generation", journal.generation);
	journal.owner.SendMessage(&request, (BHandler*)NULL, 0);
}


// Whether the text is the base again although its pieces do not say so:
// a deletion undone puts the same bytes back as new ones. Small enough
// edits of a file that did not change are compared byte for byte.
bool
JournalWriter::_IsBaseAgain(Journal& journal)
{
	const PieceTable& pieces = journal.pieces;
	if (!journal.exists || !journal.unwritten.empty()
		|| pieces.Length() != pieces.BaseLength() || pieces.IsBase()
		|| pieces.JournalBytes() > kCompareLimit || journal.base.IsUntitled())
		return false;

	BFile base(journal.base.path.c_str(), B_READ_ONLY);
	FileStamp stamp;
	if (base.InitCheck() != B_OK || stamp.SetTo(base) != B_OK
		|| stamp != journal.base.stamp)
		return false;

	uint64 position = 0;
	std::string mine;
	std::string theirs;
	for (const PieceTable::Piece& piece : pieces.Pieces()) {
		if (piece.fromBase) {
			if (piece.offset != position)
				return false;
		} else {
			mine.resize(piece.length);
			theirs.resize(piece.length);
			if (journal.file.ReadAt(piece.offset, &mine[0], piece.length)
					!= (ssize_t)piece.length
				|| base.ReadAt(position, &theirs[0], piece.length)
					!= (ssize_t)piece.length
				|| mine != theirs)
				return false;
		}
		position += piece.length;
	}
	return true;
}


// Writes what the journal still needs into a new file that then takes
// its place: the base's runs stay where they are, the journal's own
// bytes are copied.
status_t
JournalWriter::_Compact(Journal& journal)
{
	BDirectory folder(fFolderPath.c_str());
	BFile file;
	BEntry entry;
	status_t status = folder.InitCheck();
	if (status == B_OK) {
		status = SaveBackup::CreateUnique(folder, JournalRecovery::kPrefix,
			0600, &file, &entry);
	}
	if (status == B_OK)
		status = file.Lock();

	std::string out;
	RecordWriter::Header(out, journal.base);
	off_t baseCopyAt = 0;
	if (status == B_OK && journal.baseCopyAt != 0) {
		std::string copy(journal.base.length, '\0');
		if (journal.file.ReadAt(journal.baseCopyAt, &copy[0], copy.size())
				!= (ssize_t)copy.size())
			status = B_IO_ERROR;
		baseCopyAt = out.size()
			+ RecordWriter::BytesOffset(journal::kBaseCopyRecord);
		RecordWriter::BaseCopy(out, copy.data(), copy.size());
	}
	PieceTable pieces;
	pieces.Reset(journal.base.length);
	int32 records = 0;
	off_t size = 0;
	bool usesBase = journal.pieces.UsesBase();
	uint64 position = 0;
	uint64 baseDone = 0;
	std::string bytes;
	auto flushOut = [&]() {
		if (status == B_OK && !out.empty()) {
			status = write_all(file, size, out.data(), out.size());
			size += out.size();
			out.clear();
		}
	};

	for (const PieceTable::Piece& piece : journal.pieces.Pieces()) {
		if (status != B_OK)
			break;
		if (piece.fromBase) {
			if (piece.offset > baseDone) {
				uint64 gap = piece.offset - baseDone;
				RecordWriter::Delete(out, position, position + gap);
				pieces.Delete(position, position + gap);
				records++;
			}
			position += piece.length;
			baseDone = piece.offset + piece.length;
			continue;
		}
		for (uint64 done = 0; done < piece.length && status == B_OK;) {
			size_t length = std::min<uint64>(kChunk, piece.length - done);
			bytes.resize(length);
			if (journal.file.ReadAt(piece.offset + done, &bytes[0], length)
					!= (ssize_t)length) {
				status = B_IO_ERROR;
				break;
			}
			// Without the base, the text begins with a snapshot, so that
			// it is whole whatever became of the file.
			journal::record_type type = !usesBase && position == 0
				? journal::kSnapshotRecord : journal::kInsertRecord;
			off_t bytesAt = size + out.size()
				+ RecordWriter::BytesOffset(type);
			if (type == journal::kSnapshotRecord) {
				RecordWriter::Snapshot(out, bytes.data(), length);
				pieces.Replace(bytesAt, length);
			} else {
				RecordWriter::Insert(out, position, bytes.data(), length);
				pieces.Insert(position, bytesAt, length);
			}
			records++;
			position += length;
			done += length;
			flushOut();
		}
	}
	if (status == B_OK && usesBase && baseDone < journal.base.length) {
		RecordWriter::Delete(out, position,
			position + journal.base.length - baseDone);
		pieces.Delete(position, position + journal.base.length - baseDone);
		records++;
	}
	if (status == B_OK && !usesBase && journal.pieces.Length() == 0) {
		RecordWriter::Snapshot(out, "", 0);
		pieces.Replace(size + out.size(), 0);
		records++;
	}
	flushOut();
	if (status == B_OK)
		status = file.Sync();

	char leaf[B_FILE_NAME_LENGTH];
	if (status == B_OK)
		status = journal.entry.GetName(leaf);
	if (status == B_OK)
		status = entry.Rename(leaf, true);
	if (status == B_OK)
		status = folder.Sync();
	if (status != B_OK) {
		if (file.InitCheck() == B_OK)
			entry.Remove();
		return status;
	}

	journal.file = file;
	journal.entry = entry;
	journal.baseCopyAt = baseCopyAt;
	journal.size = size;
	journal.records = records;
	journal.pieces = pieces;
	_SetPath(journal);
	return B_OK;
}


void
JournalWriter::_SetPath(Journal& journal)
{
	std::string path;
	BPath where;
	if (journal.exists && journal.entry.GetPath(&where) == B_OK)
		path = where.Path();
	std::lock_guard<std::mutex> guard(fLock);
	for (auto& entry : fJournals) {
		if (entry.second.get() == &journal) {
			fPaths[entry.first] = path;
			break;
		}
	}
}
