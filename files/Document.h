/*
 * Document: one document's life on disk, apart from the window and the
 * view that present it. It holds the document's file reference (none for
 * an untitled document), the stamp of the file as the text last matched
 * it, the clean flag (true while the text is what was last loaded or
 * saved), and the document's recovery journal: every edit the view makes
 * is handed on to the journal, so that unsaved changes survive a crash.
 *
 * The view tells it what was loaded and each edit; the window tells it
 * what was saved, and whether the person threw the changes away. Loading
 * and saving themselves are DocumentReader's and DocumentWriter's.
 *
 * Threads: its window's looper thread.
 *
 * Owns: its copy of the file reference and its journal (closed, with its
 * file kept, when the document goes without being saved or discarded).
 */
#ifndef DOCUMENT_H
#define DOCUMENT_H

#include <Entry.h>
#include <Messenger.h>
#include <SupportDefs.h>

#include <memory>
#include <string>

#include "DocumentReader.h"
#include "FileStamp.h"
#include "JournalWriter.h"

class BMessage;
class RecoveryTarget;
struct RecoveredJournal;


class Document {
public:
	// ref may be NULL for an untitled document.
								Document(const entry_ref* ref);
								~Document();

			const entry_ref*	Ref() const { return fRef.get(); }
	// The window's number, which names an untitled document.
			int32				Number() const { return fNumber; }
			void				SetNumber(int32 number) { fNumber = number; }
	// Where the journal's snapshot requests go: the document's window.
			void				SetOwner(const BMessenger& owner)
									{ fOwner = owner; }

	// The clean flag.
			bool				IsClean() const { return fCleanFlag; }
			void				SetClean(bool clean) { fCleanFlag = clean; }

	// The file on disk as the text last matched it; unknown when the
	// file's content never reached the text.
			const FileStamp&	DiskStamp() const { return fDiskStamp; }
			void				SetDiskStamp(const FileStamp& stamp)
									{ fDiskStamp = stamp; }

	// What loading the file gave: its stamp, the length of the text that
	// now stands for the file, and a copy an unfinished save left.
			void				Loaded(const DocumentReader::Result& result,
									int32 textLength);
			const std::string&	LeftOverCopy() const { return fLeftOverCopy; }

	// The text was saved whole to the file (which becomes the document's
	// file) and the file now has that stamp: the journal starts afresh.
			void				Saved(const entry_ref& ref,
									const FileStamp& stamp, int32 length);
	// The text was written whole to the file, but it is not known to be
	// safe there (its folder could not be synced): the file becomes the
	// document's, with that stamp, and the document stays changed, its
	// journal kept.
			void				WrittenNotSafe(const entry_ref& ref,
									const FileStamp& stamp);
	// The person chose to lose the changes: the journal goes.
			void				Discarded();

	// Edits, with offsets in the text as it was just before each.
			void				TextInserted(int32 offset, const char* text,
									int32 length);
			void				TextDeleted(int32 from, int32 to);
	// The journal asked for the whole text (kMsgJournalSnapshot).
			void				SnapshotRequested(const BMessage* request,
									const char* text, int32 length);
	// Waits until every edit so far is on disk.
			void				SyncJournal();

	// What putting a recovered journal back gave.
	enum recovery {
		kRecovered,
		// The file changed on disk since the journal's base; the text
		// is the recovered one, and saving asks before it writes over.
		kRecoveredFileChanged,
		// The journal needs a base the file no longer holds; it was put
		// aside, at RecoveryPath().
		kNotRecovered
	};
	// Makes the target, which holds the loaded file, hold the journal's
	// text, and takes the journal over. The document is then changed.
			recovery			Recover(std::unique_ptr<RecoveredJournal>
										journal,
									RecoveryTarget& target);
			const std::string&	RecoveryPath() const { return fRecoveryPath; }

private:
			journal::Base		_Base(int32 length) const;
			bool				_HasJournal() const;
			bool				_JournalOpen();

			std::unique_ptr<entry_ref> fRef;
			int32				fNumber;
			bool				fCleanFlag;
			FileStamp			fDiskStamp;
			std::string			fLeftOverCopy;
	// How long the text was when it last matched the file.
			int32				fBaseLength;
			BMessenger			fOwner;
			JournalWriter*		fJournalWriter;
			JournalWriter::journal_id fJournal;
	// While a recovered text is put back, its edits are no new ones.
			bool				fReplaying;
			std::string			fRecoveryPath;
};

#endif	// DOCUMENT_H
