/*
 * SaveBackup: a complete copy of a file's old bytes, kept on disk while
 * the file is overwritten where it is, so that a crash half-way through
 * never leaves the only copy of a person's text half old and half new.
 *
 * The copy goes beside the file (".<name>.orvane-backup-<unique>"), or,
 * where that directory cannot be written, into the user's cache folder
 * ("Orvane/backups/<hash of the file's path>-<unique>"). It is private
 * to its owner (0600), and it and its directory entry reach the disk
 * before Create() returns. Only Remove() deletes it: a copy that is still
 * there later is what an unfinished save left, and FindLeftOver() finds it.
 *
 * Used by one thread at a time.
 */
#ifndef SAVE_BACKUP_H
#define SAVE_BACKUP_H

#include <Entry.h>
#include <SupportDefs.h>

#include <string>

class BDirectory;
class BFile;
class BPath;


class SaveBackup {
public:
								SaveBackup();

	// Writes and syncs the copy of the file the entry names.
			status_t			Create(const BEntry& target,
									const char* bytes, size_t length);
	// Deletes the copy; nothing to do when there is none.
			status_t			Remove();
			bool				Exists() const { return fCreated; }
	// Where the copy is; empty when there is none.
			const std::string&	Path() const { return fPath; }

	// A copy that an unfinished save of the file left behind, beside it
	// or in the cache folder: B_OK and its path, or B_ENTRY_NOT_FOUND.
	static	status_t			FindLeftOver(const entry_ref* ref,
									std::string* _path);

	// Makes a new file in the directory named by the prefix and what
	// makes it unique, with the permissions. The entry is set before the
	// file exists, so that whatever fails afterwards can remove it.
	static	status_t			CreateUnique(BDirectory& directory,
									const std::string& prefix,
									mode_t permissions, BFile* file,
									BEntry* entry);

private:
			status_t			_CreateIn(BDirectory& directory,
									const std::string& prefix,
									const char* bytes, size_t length);
	static	std::string			_BesidePrefix(const char* leaf);
	static	std::string			_CachePrefix(const BEntry& target);
	static	status_t			_CacheFolder(BDirectory* folder,
									bool create);
	static	status_t			_FindIn(BDirectory& directory,
									const std::string& prefix,
									std::string* _path);

			BEntry				fEntry;
			std::string			fPath;
			bool				fCreated;
};

#endif	// SAVE_BACKUP_H
