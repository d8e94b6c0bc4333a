/*
 * Private to the kits: between an entry_ref and a path. The Application
 * Kit flattens refs as paths, so a ref survives a trip to another process.
 */
#ifndef _KITS_ENTRY_REF_PRIVATE_H
#define _KITS_ENTRY_REF_PRIVATE_H

#include <Entry.h>

namespace BPrivate {

// The absolute path of the entry the ref names (its directory's path plus
// its leaf name). Fails with B_BAD_VALUE for a ref without a name or
// directory path, B_BUFFER_OVERFLOW if it does not fit.
status_t entry_ref_to_path(const entry_ref& ref, char* path, size_t size);

// Makes a ref for a path whose directory exists; the leaf need not.
// Relative paths are taken from the current working directory. The same
// rules as get_ref_for_path().
status_t entry_ref_from_path(const char* path, entry_ref* ref);

}	// namespace BPrivate


// The Storage Kit's way to the directory path an entry_ref keeps.
class BPrivate_EntryRefAccess {
public:
	// The remembered absolute path of the ref's directory, or NULL.
	static	const char*			DirectoryPath(const entry_ref& ref);
	// Copies the path (NULL clears it); B_NO_MEMORY leaves the ref as it
	// was.
	static	status_t			SetDirectoryPath(entry_ref& ref,
									const char* path);
};

#endif	// _KITS_ENTRY_REF_PRIVATE_H
