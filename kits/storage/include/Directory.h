/*
 * BDirectory is an open directory: it lists its entries and finds,
 * creates and tests entries relative to itself. It owns its descriptor
 * (through BNode) and, while listing, a directory stream; it remembers
 * its real path. A BDirectory is used by one thread at a time.
 *
 * Listing never returns "." or "..". Entries created or removed while a
 * listing is under way may or may not show up in it.
 */
#ifndef _DIRECTORY_H
#define _DIRECTORY_H

#include <dirent.h>

#include <Node.h>
#include <StorageDefs.h>

class BEntry;
class BFile;
struct entry_ref;

class BDirectory : public BNode {
public:
								BDirectory();
								BDirectory(const entry_ref* ref);
								BDirectory(const BEntry* entry);
								BDirectory(const char* path);
								BDirectory(const BDirectory* directory,
									const char* path);
								BDirectory(const BDirectory& other);
	virtual						~BDirectory();

	// Setting: as BNode, and B_NOT_A_DIRECTORY for anything that is not a
	// directory (a symbolic link to one is followed).
			status_t			SetTo(const entry_ref* ref);
			status_t			SetTo(const BEntry* entry);
			status_t			SetTo(const char* path);
			status_t			SetTo(const BDirectory* directory,
									const char* path);
	virtual	void				Unset();

	// The directory's own entry.
			status_t			GetEntry(BEntry* entry) const;
	// True for "/" and for any mount point.
			bool				IsRootDirectory() const;

	// Looking up. A relative path is taken from this directory; an
	// absolute one must lie inside it for Contains(). FindEntry() fails
	// with B_ENTRY_NOT_FOUND when nothing exists at the path. nodeFlags is
	// a combination of node_flavor values; a symbolic link counts as
	// B_SYMLINK_NODE, not as what it points to.
			status_t			FindEntry(const char* path, BEntry* entry,
									bool traverse = false) const;
			bool				Contains(const char* path,
									int32 nodeFlags = B_ANY_NODE) const;
			bool				Contains(const BEntry* entry,
									int32 nodeFlags = B_ANY_NODE) const;
			status_t			GetStatFor(const char* path,
									struct stat* st) const;

	// Listing. GetNextEntry() and GetNextRef() return B_ENTRY_NOT_FOUND
	// after the last entry. CountEntries() counts with a stream of its own
	// and so leaves a listing under way where it is; it returns the count
	// or a negative status code.
			status_t			GetNextEntry(BEntry* entry,
									bool traverse = false);
			status_t			GetNextRef(entry_ref* ref);
			status_t			Rewind();
			int32				CountEntries() const;

	// Creating. CreateFile() opens the file for reading and writing and,
	// unless failIfExists, empties an existing file; file may be NULL.
	// A new file gets the permissions given (less the umask), 0666 when
	// none are: a file that will hold private bytes is made private from
	// its first moment, not once someone may already have opened it.
	// CreateDirectory() fails with B_FILE_EXISTS when something is there;
	// directory may be NULL.
			status_t			CreateFile(const char* path, BFile* file,
									bool failIfExists = false);
			status_t			CreateFile(const char* path, BFile* file,
									bool failIfExists, mode_t permissions);
			status_t			CreateDirectory(const char* path,
									BDirectory* directory);

			BDirectory&			operator=(const BDirectory& other);

private:
			status_t			_OpenDirectory(const char* path);
			status_t			_AbsolutePath(const char* path,
									char** _absolute) const;
			status_t			_NextName(const char** _name);

			char*				fPath;		// real path, malloc'ed
			DIR*				fStream;	// the listing, opened lazily
};


// Creates the directory and every missing directory above it with the
// given mode (less the umask). B_OK when it already exists as a
// directory; B_NOT_A_DIRECTORY when something else is in the way.
status_t create_directory(const char* path, mode_t mode);

#endif	// _DIRECTORY_H
