/*
 * FolderListing: the entries of one folder as a file panel lists them:
 * folders first, then everything else, each group sorted by name
 * (case-insensitively, ties broken byte by byte), hidden entries (names
 * starting with ".") left out and the panel's filter applied.
 *
 * It also says what the panel may do with an entry: enter it (a folder,
 * or a link to one) or choose it (its kind among the node flavours the
 * panel accepts).
 *
 * Threads: used by one thread at a time, the panel's.
 * Owns: its entries, copies made when the folder was read.
 */
#ifndef _KITS_FOLDER_LISTING_H
#define _KITS_FOLDER_LISTING_H

#include <Entry.h>
#include <SupportDefs.h>

#include <string>
#include <time.h>
#include <vector>

class BRefFilter;

namespace BPrivate {

enum entry_kind {
	kFileEntry,
	kFolderEntry,
	kLinkToFile,
	kLinkToFolder,
	// A link whose target is missing or cannot be reached.
	kBrokenLink
};

struct folder_entry {
	std::string			name;
	entry_ref			ref;
	entry_kind			kind;
	// The bytes of a file (what a link to one points to counts as the
	// link's own); -1 for folders and what could not be looked at.
	off_t				size = -1;
	// The last change; 0 when unknown.
	time_t				modified = 0;

	// Folders and links to folders: what double-clicking enters.
	bool				IsFolder() const;
	bool				IsLink() const;
	// Whether an open panel accepting these node flavours may choose it:
	// a link counts as a link with B_SYMLINK_NODE, and otherwise as what
	// it points to.
	bool				IsChoosable(uint32 nodeFlavors) const;
};

// The size column's text: "12 bytes", "1.5 kB", "3.4 MB" (powers of
// 1000, as the desktop's file managers write them); empty for -1.
std::string entry_size_text(off_t size);
// The date column's text in local time, "2026-12-08 13:05"; empty for 0.
std::string entry_date_text(time_t modified);

// Makes a folder "New Folder" in the parent, or "New Folder 2", 3, ...
// when that name is taken; _name gets the name used. The status of the
// creation otherwise (B_PERMISSION_DENIED on a read-only folder, ...).
status_t create_new_folder(const entry_ref& parent, std::string& _name);

class FolderListing {
public:
								FolderListing();

	// Reads the folder. On failure the listing is empty and the status
	// (also kept in Status()) says why; the folder is still the one
	// asked for, so the panel can show where it is.
			status_t			Load(const entry_ref& folder,
									BRefFilter* filter = NULL);
			status_t			Status() const { return fStatus; }

			int32				CountEntries() const
									{ return (int32)fEntries.size(); }
	// NULL outside 0 .. CountEntries() - 1.
			const folder_entry*	EntryAt(int32 index) const;
	// The index of the entry with exactly that name, or -1.
			int32				IndexOf(const char* name) const;
			const std::vector<folder_entry>& Entries() const
									{ return fEntries; }

	// The listing's order: folders before the rest, then by name.
	static	bool				Precedes(const folder_entry& a,
									const folder_entry& b);
	// Case-insensitive for ASCII letters; equal names in that sense are
	// ordered byte by byte, so the order is total.
	static	int					CompareNames(const char* a, const char* b);

private:
			std::vector<folder_entry> fEntries;
			status_t			fStatus;
};

}	// namespace BPrivate

#endif	// _KITS_FOLDER_LISTING_H
