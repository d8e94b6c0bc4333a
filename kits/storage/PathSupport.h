/*
 * Private to the Storage Kit: turning the paths callers give into the
 * absolute paths and (directory, leaf) pairs that the kit's objects keep.
 * Plain functions, safe on any thread; the only shared state they read is
 * the current working directory.
 */
#ifndef _KITS_PATH_SUPPORT_H
#define _KITS_PATH_SUPPORT_H

#include <string>

#include <SupportDefs.h>

class BDirectory;
struct entry_ref;

namespace BPrivate {

// The status code for an errno left by a file system call. Unlike the
// general mapping, ENXIO (a FIFO without a reader, a device without its
// hardware) reads as B_UNSUPPORTED.
status_t storage_status(int error);

// Makes a path absolute from the current working directory and tidies it
// without looking at the file system: repeated slashes become one, "."
// components and trailing slashes go, ".." stays. B_BAD_VALUE for NULL or
// empty input; a failing getcwd() gives its error.
status_t make_absolute_path(const char* path, std::string& _absolute);

// Splits a path into the real path of its directory (links, "." and ".."
// resolved) and its leaf as given. The leaf need not exist. A trailing
// slash, or a leaf of "." or "..", resolves the whole path, which must
// then exist; "/" itself becomes ("/", "."). B_BAD_VALUE for NULL or
// empty input, B_ENTRY_NOT_FOUND for a missing directory,
// B_NOT_A_DIRECTORY when the directory part is not one, B_NAME_TOO_LONG.
status_t resolve_entry_path(const char* path, std::string& _directory,
	std::string& _leaf);

// The path of a leaf in a directory; the root's "." gives "/".
std::string join_entry_path(const std::string& directory,
	const std::string& leaf);

// B_NAME_TOO_LONG when a component exceeds B_FILE_NAME_LENGTH - 1 bytes
// or the path B_PATH_NAME_LENGTH - 1, else B_OK.
status_t check_path_length(const std::string& path);

// The path of the entry a ref names, provided the ref's remembered
// directory still has the ref's device and inode (B_ENTRY_NOT_FOUND if
// not, B_BAD_VALUE for a ref that has no name or path).
status_t entry_ref_to_existing_path(const entry_ref* ref, std::string& _path);

// A path taken relative to a directory, or as is when it is absolute.
// B_BAD_VALUE for a NULL or empty path or a NULL or unset directory.
status_t compose_path(const BDirectory* directory, const char* path,
	std::string& _path);

// A malloc'ed copy, NULL when memory runs out.
char* copy_string(const std::string& string);

}	// namespace BPrivate

#endif	// _KITS_PATH_SUPPORT_H
