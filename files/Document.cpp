/*
 * Document: a document's file, stamp, clean flag and journal.
 */
#include "Document.h"

#include <Message.h>
#include <Path.h>

#include "JournalRecovery.h"


Document::Document(const entry_ref* ref)
	:
	fRef(ref != NULL ? new entry_ref(*ref) : NULL),
	fNumber(0),
	fCleanFlag(true),
	fBaseLength(0),
	fJournalWriter(NULL),
	fJournal(0),
	fReplaying(false)
{
}


Document::~Document()
{
	// The changes were neither saved nor thrown away (the program is
	// ending, or the window was closed without a question): they stay in
	// the journal for the next start.
	if (_HasJournal())
		fJournalWriter->Close(fJournal);
}


void
Document::Loaded(const DocumentReader::Result& result, int32 textLength)
{
	fDiskStamp = result.stamp;
	fLeftOverCopy = result.leftOverCopy;
	fBaseLength = textLength;
}


void
Document::Saved(const entry_ref& ref, const FileStamp& stamp, int32 length)
{
	fRef.reset(new entry_ref(ref));
	fDiskStamp = stamp;
	fBaseLength = length;
	if (_HasJournal())
		fJournalWriter->Rebase(fJournal, _Base(length));
}


void
Document::WrittenNotSafe(const entry_ref& ref, const FileStamp& stamp)
{
	fRef.reset(new entry_ref(ref));
	fDiskStamp = stamp;
	fCleanFlag = false;
}


void
Document::Discarded()
{
	if (!_HasJournal())
		return;
	fJournalWriter->Discard(fJournal);
	fJournal = 0;
}


void
Document::TextInserted(int32 offset, const char* text, int32 length)
{
	if (!fReplaying && length > 0 && _JournalOpen())
		fJournalWriter->Inserted(fJournal, offset, text, length);
}


void
Document::TextDeleted(int32 from, int32 to)
{
	if (!fReplaying && to > from && _JournalOpen())
		fJournalWriter->Deleted(fJournal, from, to);
}


void
Document::SnapshotRequested(const BMessage* request, const char* text,
	int32 length)
{
	int32 generation;
	if (request->FindInt32("generation", &generation) == B_OK
		&& _HasJournal()) {
		fJournalWriter->Snapshot(fJournal, generation, text, length);
	}
}


void
Document::SyncJournal()
{
	if (_HasJournal())
		fJournalWriter->Sync();
}


Document::recovery
Document::Recover(std::unique_ptr<RecoveredJournal> journal,
	RecoveryTarget& target)
{
	// Edits of a base are worth something only on that very base, the
	// file as it was or the journal's own copy of it.
	if (!JournalRecovery::CanApply(*journal, target, fDiskStamp)) {
		fRecoveryPath = JournalRecovery::SetAside(*journal, ".kept");
		return kNotRecovered;
	}

	fReplaying = true;
	status_t status = JournalRecovery::Apply(*journal, target);
	fReplaying = false;
	if (status != B_OK) {
		fRecoveryPath = JournalRecovery::SetAside(*journal, ".kept");
		return kNotRecovered;
	}

	bool fileChanged = !journal->base.IsUntitled()
		&& fDiskStamp != journal->base.stamp;
	// The text stands on the journal's base: a save asks first when the
	// file holds anything else by now.
	fDiskStamp = journal->base.stamp;
	fBaseLength = (int32)journal->base.length;
	fCleanFlag = false;
	fRecoveryPath = journal->path;

	fJournalWriter = JournalWriter::Default();
	if (fJournalWriter != NULL)
		fJournal = fJournalWriter->Adopt(std::move(journal), fOwner);
	return fileChanged ? kRecoveredFileChanged : kRecovered;
}


journal::Base
Document::_Base(int32 length) const
{
	journal::Base base;
	BPath path;
	if (fRef != NULL && path.SetTo(fRef.get()) == B_OK)
		base.path = path.Path();
	base.stamp = fDiskStamp;
	base.length = base.path.empty() ? 0 : length;
	base.number = fNumber;
	return base;
}


bool
Document::_HasJournal() const
{
	return fJournal != 0 && fJournalWriter == JournalWriter::Default();
}


// Whether the document has a journal; the first edit opens it. A journal
// of a writer that is no longer the program's is no longer there.
bool
Document::_JournalOpen()
{
	JournalWriter* writer = JournalWriter::Default();
	if (fJournal != 0 && writer == fJournalWriter)
		return true;
	fJournal = 0;
	fJournalWriter = writer;
	if (writer == NULL || fReplaying)
		return false;
	fJournal = writer->Open(_Base(fBaseLength), fOwner);
	return true;
}
