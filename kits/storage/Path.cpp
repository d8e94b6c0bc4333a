/*
 * BPath: an absolute path name, tidied textually or normalised through
 * the file system on request.
 */
#include <Path.h>

#include <stdlib.h>
#include <string.h>

#include <string>

#include <Directory.h>
#include <Entry.h>

#include "PathSupport.h"

using namespace BPrivate;


// Builds the path that SetTo() and Append() adopt: the leaf joined to
// the path, made absolute, and tidied or normalised.
static status_t
build_path(const char* path, const char* leaf, bool normalize,
	std::string& _result)
{
	if (path == NULL || path[0] == '\0')
		return B_BAD_VALUE;

	std::string joined = path;
	if (leaf != NULL && leaf[0] != '\0') {
		if (leaf[0] == '/')
			return B_BAD_VALUE;
		joined += '/';
		joined += leaf;
	}

	status_t status;
	if (normalize) {
		std::string directory;
		std::string name;
		status = resolve_entry_path(joined.c_str(), directory, name);
		if (status != B_OK)
			return status;
		_result = join_entry_path(directory, name);
	} else {
		status = make_absolute_path(joined.c_str(), _result);
		if (status != B_OK)
			return status;
	}
	return check_path_length(_result);
}


BPath::BPath()
	:
	fName(NULL),
	fCStatus(B_NO_INIT)
{
}


BPath::BPath(const BPath& other)
	:
	fName(NULL),
	fCStatus(B_NO_INIT)
{
	*this = other;
}


BPath::BPath(const entry_ref* ref)
	:
	fName(NULL),
	fCStatus(B_NO_INIT)
{
	SetTo(ref);
}


BPath::BPath(const BEntry* entry)
	:
	fName(NULL),
	fCStatus(B_NO_INIT)
{
	SetTo(entry);
}


BPath::BPath(const char* path, const char* leaf, bool normalize)
	:
	fName(NULL),
	fCStatus(B_NO_INIT)
{
	SetTo(path, leaf, normalize);
}


BPath::BPath(const BDirectory* directory, const char* leaf, bool normalize)
	:
	fName(NULL),
	fCStatus(B_NO_INIT)
{
	SetTo(directory, leaf, normalize);
}


BPath::~BPath()
{
	free(fName);
}


status_t
BPath::InitCheck() const
{
	return fCStatus;
}


status_t
BPath::SetTo(const entry_ref* ref)
{
	std::string path;
	status_t status = entry_ref_to_existing_path(ref, path);
	if (status != B_OK)
		return _Adopt(NULL, status);
	return SetTo(path.c_str());
}


status_t
BPath::SetTo(const BEntry* entry)
{
	if (entry == NULL || entry->InitCheck() != B_OK)
		return _Adopt(NULL, B_BAD_VALUE);
	return entry->GetPath(this);
}


status_t
BPath::SetTo(const char* path, const char* leaf, bool normalize)
{
	std::string result;
	status_t status = build_path(path, leaf, normalize, result);
	if (status != B_OK)
		return _Adopt(NULL, status);
	char* copy = copy_string(result);
	return _Adopt(copy, copy != NULL ? B_OK : B_NO_MEMORY);
}


status_t
BPath::SetTo(const BDirectory* directory, const char* leaf, bool normalize)
{
	if (directory == NULL || directory->InitCheck() != B_OK)
		return _Adopt(NULL, B_BAD_VALUE);
	if (leaf != NULL && leaf[0] == '/')
		return _Adopt(NULL, B_BAD_VALUE);

	BEntry entry;
	status_t status = directory->GetEntry(&entry);
	if (status == B_OK)
		status = entry.GetPath(this);
	if (status != B_OK)
		return _Adopt(NULL, status);
	if (leaf == NULL || leaf[0] == '\0')
		return B_OK;

	// The directory's path is already real, but the leaf may need
	// normalising too.
	std::string base = fName;
	return SetTo(base.c_str(), leaf, normalize);
}


void
BPath::Unset()
{
	_Adopt(NULL, B_NO_INIT);
}


status_t
BPath::Append(const char* path, bool normalize)
{
	if (fCStatus != B_OK)
		return fCStatus;
	if (path == NULL || path[0] == '/')
		return B_BAD_VALUE;

	std::string result;
	status_t status = build_path(fName, path, normalize, result);
	if (status != B_OK)
		return status;
	char* copy = copy_string(result);
	if (copy == NULL)
		return B_NO_MEMORY;
	return _Adopt(copy, B_OK);
}


const char*
BPath::Path() const
{
	return fName;
}


const char*
BPath::Leaf() const
{
	if (fName == NULL)
		return NULL;
	return strrchr(fName, '/') + 1;
}


status_t
BPath::GetParent(BPath* parent) const
{
	if (parent == NULL)
		return B_BAD_VALUE;
	if (fCStatus != B_OK)
		return fCStatus;
	if (strcmp(fName, "/") == 0)
		return B_ENTRY_NOT_FOUND;

	std::string path = fName;
	const char* leaf = Leaf();
	if (strcmp(leaf, "..") == 0) {
		// Cutting the ".." off would name a child, not the parent.
		path += "/..";
		status_t status = check_path_length(path);
		if (status != B_OK)
			return status;
	} else {
		size_t slash = path.rfind('/');
		path.erase(slash == 0 ? 1 : slash);
	}

	char* copy = copy_string(path);
	if (copy == NULL)
		return B_NO_MEMORY;
	return parent->_Adopt(copy, B_OK);
}


bool
BPath::operator==(const BPath& other) const
{
	return *this == other.fName;
}


bool
BPath::operator==(const char* path) const
{
	if (fName == NULL || path == NULL)
		return fName == path;
	return strcmp(fName, path) == 0;
}


bool
BPath::operator!=(const BPath& other) const
{
	return !(*this == other);
}


bool
BPath::operator!=(const char* path) const
{
	return !(*this == path);
}


BPath&
BPath::operator=(const BPath& other)
{
	if (this == &other)
		return *this;
	if (other.fName == NULL) {
		_Adopt(NULL, other.fCStatus);
		return *this;
	}
	char* copy = strdup(other.fName);
	_Adopt(copy, copy != NULL ? B_OK : B_NO_MEMORY);
	return *this;
}


BPath&
BPath::operator=(const char* path)
{
	if (path == NULL)
		Unset();
	else
		SetTo(path);
	return *this;
}


// Replaces the path with a malloc'ed one (or none) and records the status.
status_t
BPath::_Adopt(char* path, status_t status)
{
	free(fName);
	fName = path;
	fCStatus = status;
	return status;
}
