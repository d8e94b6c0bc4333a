/*
 * JournalWriter: keeps, for every document with unsaved changes, a
 * journal of its edits on disk, so that what a person typed survives a
 * crash, a kill or a power cut and is there at the next start.
 *
 * Windows hand it each edit as it is made (Inserted(), Deleted()); that
 * costs a copy of the edit's bytes and a wake-up, never a wait for the
 * disk. The writer's own thread gathers the edits of a tenth of a second,
 * joins typing that goes on where it stopped into one record, appends
 * the records to the document's journal and syncs it: an edit is on disk
 * well within a second. A journal file exists only while its document
 * differs from its base: it is made at the first edit, removed when the
 * document is saved (Rebase()) or closed without saving (Discard()), and
 * removed when the edits come back to the base text. It is compacted once
 * it holds much more than the edits it still needs, so a long session in
 * a large file keeps it small.
 *
 * Journals lie in one folder, private to the user (0700, files 0600),
 * never beside the document. Each journal file is locked (BNode::Lock())
 * as long as this writer has it, so another instance never takes it.
 *
 * The base of a file's journal is the file as it was last read or saved.
 * When the file changes on disk meanwhile, its bytes can no longer stand
 * for the base; the writer then asks the document's window, with
 * kMsgJournalSnapshot, for the whole text (Snapshot()), after which the
 * journal holds everything itself.
 *
 * Threads: every public call may come from any thread; the calls for one
 * journal come from its window's thread, in order. A write that fails
 * (a full disk) is kept in memory and tried again, and said once on
 * standard output.
 *
 * Owns: its thread and the open journal files.
 */
#ifndef JOURNAL_WRITER_H
#define JOURNAL_WRITER_H

#include <Messenger.h>
#include <SupportDefs.h>

#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "JournalRecords.h"

struct RecoveredJournal;


class JournalWriter {
public:
	typedef int32 journal_id;

	// Writes journals into the folder, which is made (0700) if missing.
								JournalWriter(const char* folder);
	// Writes what is still waiting and closes every journal; their files
	// stay for the next start.
								~JournalWriter();

			status_t			InitCheck() const { return fInitStatus; }
			const std::string&	Folder() const { return fFolderPath; }

	// The writer the program's documents use; NULL when there is none.
	// Setting one also syncs it when the program exits.
	static	JournalWriter*		Default();
	static	void				SetDefault(JournalWriter* writer);

	// A document's journal, with the base its edits apply to; the owner
	// gets the snapshot requests. No file is made before the first edit.
			journal_id			Open(const journal::Base& base,
									const BMessenger& owner);
	// Goes on with a journal found at the start: its file, its base and
	// what it holds are the document's from now on.
			journal_id			Adopt(std::unique_ptr<RecoveredJournal>
										recovered,
									const BMessenger& owner);

	// Edits, with offsets in the text as it was just before each.
			void				Inserted(journal_id id, uint64 offset,
									const char* bytes, size_t length);
			void				Deleted(journal_id id, uint64 from,
									uint64 to);
	// The whole text, as asked for by kMsgJournalSnapshot with the
	// generation it carried; an answer to an older request is dropped.
			void				Snapshot(journal_id id, int32 generation,
									const char* text, size_t length);
	// The document was saved: its journal goes, and edits from now on
	// apply to the new base.
			void				Rebase(journal_id id,
									const journal::Base& base);
	// The document was closed without saving: its journal goes.
			void				Discard(journal_id id);
	// The document's window goes without a word on its changes (the
	// program ends): the journal is written and kept.
			void				Close(journal_id id);

	// Returns once every edit handed over so far is on disk, or after
	// the timeout.
			status_t			Sync(bigtime_t timeout = 2000000);

	// For tests and the benchmark: the journal's file (empty while it
	// has none), and how many bytes were written into journals.
			std::string			PathOf(journal_id id);
			uint64				BytesWritten();

private:
			struct Operation;
			struct Journal;
			struct Pending;

			void				_Queue(Operation&& operation);
			void				_Run();
			void				_Apply(Operation& operation);
			void				_Pend(Journal& journal, Pending&& edit);
			void				_Flush(Journal& journal);
			void				_Encode(Journal& journal);
			status_t			_EncodeOne(Journal& journal,
									const Pending& edit);
			void				_AskForSnapshot(Journal& journal);
			status_t			_Write(Journal& journal);
			status_t			_Create(Journal& journal);
			void				_Remove(Journal& journal);
			void				_CopyBase(Journal& journal);
			void				_CheckBase(Journal& journal);
			bool				_IsBaseAgain(Journal& journal);
			status_t			_Compact(Journal& journal);
			void				_SetPath(Journal& journal);
	static	void				_SyncAtExit();

			status_t			fInitStatus;
			std::string			fFolderPath;

	// Shared with the calling threads, under fLock.
			std::mutex			fLock;
			std::condition_variable fWake;
			std::condition_variable fSynced;
			std::vector<Operation> fQueue;
			bigtime_t			fFirstQueued;
			uint64				fSyncRequests;
			uint64				fSyncsDone;
			bool				fStopping;
			journal_id			fNextID;
			std::map<journal_id, std::string> fPaths;
			uint64				fBytesWritten;

	// The writer's thread alone.
			std::map<journal_id, std::unique_ptr<Journal>> fJournals;
			std::thread			fThread;
};

#endif	// JOURNAL_WRITER_H
