/*
 * Finding the recovery journals that an earlier run left, reading them,
 * and putting what they hold back into a text.
 *
 * Scan() takes every journal of the folder that no running instance
 * holds (each is locked while someone has it) and reads it: its base,
 * and its edits up to the first record that is not whole. A journal
 * whose edits come back to its base holds nothing to recover and is
 * removed; one whose header cannot be read is renamed with ".damaged"
 * so that it is kept but never read again. Nothing in a journal can stop
 * the start.
 *
 * Used by the application's thread, then by the window the journal is
 * handed to.
 */
#ifndef JOURNAL_RECOVERY_H
#define JOURNAL_RECOVERY_H

#include <Entry.h>
#include <File.h>

#include <memory>
#include <string>
#include <vector>

#include "FileStamp.h"
#include "JournalRecords.h"
#include "PieceTable.h"


// One journal found at the start, locked for this instance.
struct RecoveredJournal {
			BFile				file;
			BEntry				entry;
			std::string			path;
			journal::Base		base;
	// The text the edits made, as runs of the base and of the file.
			PieceTable			pieces;
	// Where a copy of the base lies in the file; 0 for none.
			off_t				baseCopyAt;
	// Where the whole records end; anything after it is a torn tail.
			off_t				end;
			int32				records;
};


// Where a recovered text goes: in the editor, a text view.
class RecoveryTarget {
public:
	virtual						~RecoveryTarget();
	virtual	uint64				Length() const = 0;
	virtual	status_t			Insert(uint64 offset, const char* bytes,
									size_t length) = 0;
	virtual	status_t			Delete(uint64 from, uint64 to) = 0;
};


class JournalRecovery {
public:
	typedef std::vector<std::unique_ptr<RecoveredJournal>> journal_list;

	// Adds the journals found in the folder to the list.
	static	void				Scan(const char* folder,
									journal_list& _found);
	// Reads a journal from an open file.
	static	status_t			Read(RecoveredJournal& journal);
	// Makes the target hold the journal's text. The target must hold the
	// base when the journal's pieces use it (UsesBase()) and the journal
	// has no copy of it; otherwise what it holds is replaced.
	static	status_t			Apply(RecoveredJournal& journal,
									RecoveryTarget& target);
	// Whether Apply() can make the text of what the target holds.
	static	bool				CanApply(const RecoveredJournal& journal,
									const RecoveryTarget& target,
									const FileStamp& targetStamp);
	// Keeps a journal that could not be used where the next start will
	// not read it; returns its new path.
	static	std::string			SetAside(RecoveredJournal& journal,
									const char* suffix);

	// The file name every journal begins with.
	static	const char*			kPrefix;

private:
	static	status_t			_Copy(RecoveredJournal& journal, off_t from,
									uint64 length, uint64 to,
									RecoveryTarget& target);
};

#endif	// JOURNAL_RECOVERY_H
