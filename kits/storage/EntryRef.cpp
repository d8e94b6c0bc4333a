/*
 * entry_ref, and the conversions between refs and paths.
 */
#include <Entry.h>

#include <errno.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>

#include <string>

#include "EntryRefPrivate.h"
#include "PathSupport.h"


static char*
duplicate(const char* string)
{
	return string != NULL ? strdup(string) : NULL;
}


entry_ref::entry_ref()
	:
	device(-1),
	directory(-1),
	name(NULL),
	fDirectoryPath(NULL)
{
}


entry_ref::entry_ref(dev_t device, ino_t directory, const char* name)
	:
	device(device),
	directory(directory),
	name(duplicate(name)),
	fDirectoryPath(NULL)
{
}


entry_ref::entry_ref(const entry_ref& other)
	:
	device(other.device),
	directory(other.directory),
	name(duplicate(other.name)),
	fDirectoryPath(duplicate(other.fDirectoryPath))
{
}


entry_ref::~entry_ref()
{
	free(name);
	free(fDirectoryPath);
}


status_t
entry_ref::set_name(const char* newName)
{
	char* copy = NULL;
	if (newName != NULL) {
		copy = strdup(newName);
		if (copy == NULL)
			return B_NO_MEMORY;
	}
	free(name);
	name = copy;
	return B_OK;
}


bool
entry_ref::operator==(const entry_ref& other) const
{
	if (device != other.device || directory != other.directory)
		return false;
	if (name == NULL || other.name == NULL)
		return name == other.name;
	return strcmp(name, other.name) == 0;
}


bool
entry_ref::operator!=(const entry_ref& other) const
{
	return !(*this == other);
}


entry_ref&
entry_ref::operator=(const entry_ref& other)
{
	if (this == &other)
		return *this;
	char* newName = duplicate(other.name);
	char* newPath = duplicate(other.fDirectoryPath);
	free(name);
	free(fDirectoryPath);
	device = other.device;
	directory = other.directory;
	name = newName;
	fDirectoryPath = newPath;
	return *this;
}


//	#pragma mark - private access


const char*
BPrivate_EntryRefAccess::DirectoryPath(const entry_ref& ref)
{
	return ref.fDirectoryPath;
}


status_t
BPrivate_EntryRefAccess::SetDirectoryPath(entry_ref& ref, const char* path)
{
	char* copy = NULL;
	if (path != NULL) {
		copy = strdup(path);
		if (copy == NULL)
			return B_NO_MEMORY;
	}
	free(ref.fDirectoryPath);
	ref.fDirectoryPath = copy;
	return B_OK;
}


//	#pragma mark - refs and paths


namespace BPrivate {

status_t
entry_ref_to_path(const entry_ref& ref, char* path, size_t size)
{
	const char* directory = BPrivate_EntryRefAccess::DirectoryPath(ref);
	if (path == NULL || directory == NULL || ref.name == NULL
		|| ref.name[0] == '\0')
		return B_BAD_VALUE;

	std::string result = join_entry_path(directory, ref.name);
	if (result.size() + 1 > size)
		return B_BUFFER_OVERFLOW;
	memcpy(path, result.c_str(), result.size() + 1);
	return B_OK;
}


status_t
entry_ref_from_path(const char* path, entry_ref* ref)
{
	if (ref == NULL)
		return B_BAD_VALUE;

	std::string directory;
	std::string leaf;
	status_t status = resolve_entry_path(path, directory, leaf);
	if (status != B_OK)
		return status;

	struct stat st;
	if (stat(directory.c_str(), &st) != 0)
		return storage_status(errno);

	entry_ref result(st.st_dev, st.st_ino, leaf.c_str());
	if (result.name == NULL)
		return B_NO_MEMORY;
	status = BPrivate_EntryRefAccess::SetDirectoryPath(result,
		directory.c_str());
	if (status != B_OK)
		return status;
	*ref = result;
	if (ref->name == NULL)
		return B_NO_MEMORY;
	return B_OK;
}

}	// namespace BPrivate


status_t
get_ref_for_path(const char* path, entry_ref* ref)
{
	return BPrivate::entry_ref_from_path(path, ref);
}
