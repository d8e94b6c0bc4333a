/*
 * entry_ref names an entry by its device, its directory and its leaf
 * name. The entry itself need not exist, but its directory must: that is
 * how a save panel names a file that is about to be created.
 *
 * BEntry is a location in the file system: a directory and a name in it.
 * The entry may be abstract (nothing exists there yet), but its directory
 * exists when the BEntry is set. It remembers the directory's real path
 * (symbolic links resolved) and the leaf name as given, so an entry for a
 * symbolic link names the link unless it was set with traverse, which
 * follows links until it reaches something that is not a link.
 * A BEntry is used by one thread at a time and owns no file descriptor.
 *
 * The root directory is named "." in itself: its ref and entry have the
 * directory "/" and the name ".", and its path is "/".
 */
#ifndef _ENTRY_H
#define _ENTRY_H

#include <Statable.h>
#include <StorageDefs.h>
#include <SupportDefs.h>

class BDirectory;
class BPath;

struct entry_ref {
								entry_ref();
								entry_ref(dev_t device, ino_t directory,
									const char* name);
								entry_ref(const entry_ref& other);
								~entry_ref();

	// Copies the name; NULL clears it.
			status_t			set_name(const char* name);

			bool				operator==(const entry_ref& other) const;
			bool				operator!=(const entry_ref& other) const;
			entry_ref&			operator=(const entry_ref& other);

			dev_t				device;
			ino_t				directory;
			char*				name;

private:
	friend class BPrivate_EntryRefAccess;

	// Where the directory was found when the ref was made. Linux cannot
	// turn a device and inode back into a path, so the ref remembers it;
	// the device and inode stay authoritative for comparison.
			char*				fDirectoryPath;
};


class BEntry : public BStatable {
public:
								BEntry();
								BEntry(const BDirectory* directory,
									const char* path, bool traverse = false);
								BEntry(const entry_ref* ref,
									bool traverse = false);
								BEntry(const char* path,
									bool traverse = false);
								BEntry(const BEntry& other);
	virtual						~BEntry();

	// B_OK, or why the last SetTo() failed (B_NO_INIT before any).
			status_t			InitCheck() const;
	// Whether something exists at the entry now.
			bool				Exists() const;

	// Stat of the entry itself: a symbolic link is not followed.
	virtual	status_t			GetStat(struct stat* st) const;

	// Setting. A relative path is taken from the directory or, without
	// one, from the current working directory; an absolute path ignores
	// the directory. Fails with B_BAD_VALUE for NULL or empty input,
	// B_ENTRY_NOT_FOUND when the entry's directory is missing,
	// B_NOT_A_DIRECTORY when it is not a directory, B_NAME_TOO_LONG, and
	// B_LINK_LIMIT when traverse meets more than B_MAX_SYMLINKS links.
	// A ref is refused with B_ENTRY_NOT_FOUND when the directory it
	// remembers is no longer the one it names. On failure the entry is
	// unset and InitCheck() returns the error.
			status_t			SetTo(const BDirectory* directory,
									const char* path, bool traverse = false);
			status_t			SetTo(const entry_ref* ref,
									bool traverse = false);
			status_t			SetTo(const char* path,
									bool traverse = false);
			void				Unset();

	// Access
			status_t			GetRef(entry_ref* ref) const;
			status_t			GetPath(BPath* path) const;
	// The parent of "/" is B_ENTRY_NOT_FOUND.
			status_t			GetParent(BEntry* entry) const;
			status_t			GetParent(BDirectory* directory) const;
	// Copies the leaf name into a buffer of B_FILE_NAME_LENGTH bytes.
			status_t			GetName(char* buffer) const;
	// The leaf name, NULL when not initialised. Valid until the next
	// SetTo(), Rename() or Unset().
			const char*			Name() const;

	// Changes. Rename() takes a path relative to the entry's directory
	// or an absolute one; without clobber an existing target fails with
	// B_FILE_EXISTS. On success the entry names the new location.
	// Remove() deletes a file, a link or an empty directory; the entry
	// stays set and becomes abstract.
			status_t			Rename(const char* path, bool clobber = false);
			status_t			MoveTo(BDirectory* directory,
									const char* path = NULL,
									bool clobber = false);
			status_t			Remove();

	// Two entries are equal when they name the same directory and leaf;
	// two uninitialised entries are equal.
			bool				operator==(const BEntry& other) const;
			bool				operator!=(const BEntry& other) const;
			BEntry&				operator=(const BEntry& other);

private:
	virtual	status_t			_SetStat(const struct stat& st, uint32 which);
			status_t			_SetToResolved(const char* directory,
									const char* leaf);
			bool				_IsRoot() const;
			status_t			_FullPath(char* buffer, size_t size) const;

			char*				fDirectoryPath;	// real path, no links
			char*				fName;			// leaf as given
			status_t			fCStatus;
};


// Makes a ref for an existing entry, or for a missing leaf in an existing
// directory. B_BAD_VALUE for NULL or an empty path, B_ENTRY_NOT_FOUND
// when the directory is missing, B_NOT_A_DIRECTORY when a part of the
// directory is not one.
status_t get_ref_for_path(const char* path, entry_ref* ref);

#endif	// _ENTRY_H
