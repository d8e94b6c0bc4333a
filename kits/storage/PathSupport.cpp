/*
 * Path handling shared by the Storage Kit's classes.
 */
#include "PathSupport.h"

#include <errno.h>
#include <limits.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <Directory.h>
#include <Entry.h>
#include <Path.h>
#include <StorageDefs.h>

#include "EntryRefPrivate.h"
#include "StatusErrno.h"


namespace BPrivate {

status_t
storage_status(int error)
{
	if (error == ENXIO)
		return B_UNSUPPORTED;
	return status_from_errno(error);
}


// The current working directory, however long.
static status_t
current_directory(std::string& _directory)
{
	char* directory = getcwd(NULL, 0);
	if (directory == NULL)
		return storage_status(errno);
	_directory = directory;
	free(directory);
	return B_OK;
}


status_t
make_absolute_path(const char* path, std::string& _absolute)
{
	if (path == NULL || path[0] == '\0')
		return B_BAD_VALUE;

	std::string input;
	if (path[0] != '/') {
		status_t status = current_directory(input);
		if (status != B_OK)
			return status;
		input += '/';
	}
	input += path;

	std::string result;
	size_t start = 0;
	while (start < input.size()) {
		size_t end = input.find('/', start);
		if (end == std::string::npos)
			end = input.size();
		size_t length = end - start;
		bool isDot = length == 1 && input[start] == '.';
		if (length > 0 && !isDot) {
			result += '/';
			result.append(input, start, length);
		}
		start = end + 1;
	}
	if (result.empty())
		result = "/";
	_absolute.swap(result);
	return B_OK;
}


// The real path of an existing directory, or why there is none.
static status_t
real_directory(const std::string& path, std::string& _real)
{
	char* real = realpath(path.c_str(), NULL);
	if (real == NULL)
		return storage_status(errno);
	_real = real;
	free(real);

	struct stat st;
	if (stat(_real.c_str(), &st) != 0)
		return storage_status(errno);
	if (!S_ISDIR(st.st_mode))
		return B_NOT_A_DIRECTORY;
	return B_OK;
}


// Splits an absolute, tidy path at its last slash.
static void
split_path(const std::string& path, std::string& _directory,
	std::string& _leaf)
{
	if (path == "/") {
		_directory = "/";
		_leaf = ".";
		return;
	}
	size_t slash = path.rfind('/');
	_directory = slash == 0 ? std::string("/") : path.substr(0, slash);
	_leaf = path.substr(slash + 1);
}


status_t
resolve_entry_path(const char* path, std::string& _directory,
	std::string& _leaf)
{
	if (path == NULL || path[0] == '\0')
		return B_BAD_VALUE;
	size_t length = strlen(path);
	if (length >= B_PATH_NAME_LENGTH)
		return B_NAME_TOO_LONG;

	// The raw leaf decides whether the whole path names a directory.
	const char* lastSlash = strrchr(path, '/');
	const char* rawLeaf = lastSlash != NULL ? lastSlash + 1 : path;
	bool wholePath = rawLeaf[0] == '\0' || strcmp(rawLeaf, ".") == 0
		|| strcmp(rawLeaf, "..") == 0;

	std::string directory;
	std::string leaf;
	if (wholePath) {
		std::string real;
		status_t status = real_directory(path, real);
		if (status != B_OK)
			return status;
		split_path(real, directory, leaf);
	} else {
		std::string absolute;
		status_t status = make_absolute_path(path, absolute);
		if (status != B_OK)
			return status;
		std::string parent;
		split_path(absolute, parent, leaf);
		if (leaf.size() >= B_FILE_NAME_LENGTH)
			return B_NAME_TOO_LONG;
		status = real_directory(parent, directory);
		if (status != B_OK)
			return status;
	}

	if (leaf.size() >= B_FILE_NAME_LENGTH
		|| directory.size() + 1 + leaf.size() >= B_PATH_NAME_LENGTH)
		return B_NAME_TOO_LONG;

	_directory.swap(directory);
	_leaf.swap(leaf);
	return B_OK;
}


std::string
join_entry_path(const std::string& directory, const std::string& leaf)
{
	if (directory == "/")
		return leaf == "." ? std::string("/") : "/" + leaf;
	return directory + "/" + leaf;
}


status_t
check_path_length(const std::string& path)
{
	if (path.size() >= B_PATH_NAME_LENGTH)
		return B_NAME_TOO_LONG;
	size_t start = 0;
	while (start < path.size()) {
		size_t end = path.find('/', start);
		if (end == std::string::npos)
			end = path.size();
		if (end - start >= B_FILE_NAME_LENGTH)
			return B_NAME_TOO_LONG;
		start = end + 1;
	}
	return B_OK;
}


status_t
entry_ref_to_existing_path(const entry_ref* ref, std::string& _path)
{
	if (ref == NULL)
		return B_BAD_VALUE;
	const char* directory = BPrivate_EntryRefAccess::DirectoryPath(*ref);
	if (directory == NULL || ref->name == NULL || ref->name[0] == '\0')
		return B_BAD_VALUE;

	struct stat st;
	if (stat(directory, &st) != 0)
		return storage_status(errno);
	if (st.st_dev != ref->device || st.st_ino != ref->directory)
		return B_ENTRY_NOT_FOUND;

	_path = join_entry_path(directory, ref->name);
	return B_OK;
}


status_t
compose_path(const BDirectory* directory, const char* path,
	std::string& _path)
{
	if (path == NULL || path[0] == '\0' || directory == NULL)
		return B_BAD_VALUE;
	if (path[0] == '/') {
		_path = path;
		return B_OK;
	}
	if (directory->InitCheck() != B_OK)
		return B_BAD_VALUE;

	BEntry entry;
	status_t status = directory->GetEntry(&entry);
	if (status != B_OK)
		return status;
	BPath directoryPath;
	status = entry.GetPath(&directoryPath);
	if (status != B_OK)
		return status;

	_path = directoryPath.Path();
	if (_path != "/")
		_path += '/';
	_path += path;
	return B_OK;
}


char*
copy_string(const std::string& string)
{
	char* copy = static_cast<char*>(malloc(string.size() + 1));
	if (copy != NULL)
		memcpy(copy, string.c_str(), string.size() + 1);
	return copy;
}

}	// namespace BPrivate
