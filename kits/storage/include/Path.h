/*
 * BPath holds an absolute path name as a string. It is used by one thread
 * at a time and owns only its string.
 *
 * A relative path is made absolute from the current working directory.
 * Without normalize the path is otherwise kept as given, apart from
 * purely textual tidying: repeated slashes become one, a trailing slash
 * and "." components are dropped. ".." components and symbolic links are
 * kept, and nothing needs to exist.
 *
 * With normalize, ".." and symbolic links in the directory part are
 * resolved through the file system, so that directory must exist
 * (B_ENTRY_NOT_FOUND otherwise); the leaf is kept as given, so the path of
 * a symbolic link still names the link. A leaf of "." or ".." resolves
 * the whole path.
 *
 * Path() of an uninitialised BPath is NULL. Leaf() of "/" is "".
 */
#ifndef _PATH_H
#define _PATH_H

#include <StorageDefs.h>
#include <SupportDefs.h>

class BDirectory;
class BEntry;
struct entry_ref;

class BPath {
public:
								BPath();
								BPath(const BPath& other);
								BPath(const entry_ref* ref);
								BPath(const BEntry* entry);
								BPath(const char* path,
									const char* leaf = NULL,
									bool normalize = false);
								BPath(const BDirectory* directory,
									const char* leaf = NULL,
									bool normalize = false);
								~BPath();

			status_t			InitCheck() const;

	// Setting. A leaf, when given, is appended and must be relative
	// (B_BAD_VALUE otherwise). Fails with B_BAD_VALUE for NULL or empty
	// input and B_NAME_TOO_LONG for a component over 255 bytes or a path
	// over B_PATH_NAME_LENGTH - 1 bytes. On failure the path is unset and
	// InitCheck() returns the error.
			status_t			SetTo(const entry_ref* ref);
			status_t			SetTo(const BEntry* entry);
			status_t			SetTo(const char* path,
									const char* leaf = NULL,
									bool normalize = false);
			status_t			SetTo(const BDirectory* directory,
									const char* leaf = NULL,
									bool normalize = false);
			void				Unset();

	// Joins a relative path with a single "/", textually unless normalize
	// is given. An absolute path is B_BAD_VALUE; an uninitialised BPath
	// returns B_NO_INIT. On failure the path is left unchanged.
			status_t			Append(const char* path,
									bool normalize = false);

	// Access. Valid until the path changes.
			const char*			Path() const;
			const char*			Leaf() const;
	// The path without its leaf, textually; the parent of "/" is
	// B_ENTRY_NOT_FOUND. A path ending in ".." gets one more "..".
			status_t			GetParent(BPath* parent) const;

	// Comparison of the strings; NULL equals an uninitialised BPath.
			bool				operator==(const BPath& other) const;
			bool				operator==(const char* path) const;
			bool				operator!=(const BPath& other) const;
			bool				operator!=(const char* path) const;
			BPath&				operator=(const BPath& other);
			BPath&				operator=(const char* path);

private:
			status_t			_Adopt(char* path, status_t status);

			char*				fName;		// the absolute path, malloc'ed
			status_t			fCStatus;
};

#endif	// _PATH_H
