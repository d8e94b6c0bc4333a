/*
 * find_directory(): the standard directories, from the environment the
 * XDG conventions describe.
 */
#include <FindDirectory.h>

#include <errno.h>
#include <pwd.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <string>
#include <vector>

#include <Directory.h>
#include <Path.h>

#include "PathSupport.h"

using namespace BPrivate;


// The value of an environment variable that holds an absolute path;
// anything else does not count.
static bool
absolute_variable(const char* name, std::string& _value)
{
	const char* value = getenv(name);
	if (value == NULL || value[0] != '/')
		return false;
	_value = value;
	return true;
}


static status_t
home_directory(std::string& _home)
{
	if (absolute_variable("HOME", _home))
		return B_OK;

	long suggested = sysconf(_SC_GETPW_R_SIZE_MAX);
	std::vector<char> buffer(suggested > 0 ? suggested : 1024);
	while (true) {
		struct passwd entry;
		struct passwd* result = NULL;
		int error = getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(),
			&result);
		if (error == ERANGE && buffer.size() < 1024 * 1024) {
			buffer.resize(buffer.size() * 2);
			continue;
		}
		if (error != 0)
			return storage_status(error);
		if (result == NULL || entry.pw_dir == NULL || entry.pw_dir[0] != '/')
			return B_ENTRY_NOT_FOUND;
		_home = entry.pw_dir;
		return B_OK;
	}
}


// The variable's directory, or the home directory's subdirectory.
static status_t
variable_or_home(const char* variable, const char* underHome,
	std::string& _path)
{
	if (variable != NULL && absolute_variable(variable, _path))
		return B_OK;
	status_t status = home_directory(_path);
	if (status != B_OK)
		return status;
	_path += '/';
	_path += underHome;
	return B_OK;
}


static status_t
directory_path(directory_which which, std::string& _path)
{
	switch (which) {
		case B_DESKTOP_DIRECTORY:
			return variable_or_home(NULL, "Desktop", _path);
		case B_SYSTEM_TEMP_DIRECTORY:
			if (!absolute_variable("TMPDIR", _path))
				_path = "/tmp";
			return B_OK;
		case B_USER_DIRECTORY:
			return home_directory(_path);
		case B_USER_CONFIG_DIRECTORY:
		case B_USER_SETTINGS_DIRECTORY:
			return variable_or_home("XDG_CONFIG_HOME", ".config", _path);
		case B_USER_DATA_DIRECTORY:
			return variable_or_home("XDG_DATA_HOME", ".local/share", _path);
		case B_USER_CACHE_DIRECTORY:
			return variable_or_home("XDG_CACHE_HOME", ".cache", _path);
		case B_USER_STATE_DIRECTORY:
			return variable_or_home("XDG_STATE_HOME", ".local/state", _path);
	}
	return B_BAD_VALUE;
}


status_t
find_directory(directory_which which, BPath* path, bool createIt,
	BVolume* volume)
{
	B_UNUSED(volume);
	if (path == NULL)
		return B_BAD_VALUE;

	std::string directory;
	status_t status = directory_path(which, directory);
	if (status == B_OK)
		status = path->SetTo(directory.c_str());
	if (status == B_OK && createIt)
		status = create_directory(path->Path(), 0700);
	if (status != B_OK)
		path->Unset();
	return status;
}


extern "C" status_t
find_directory(directory_which which, dev_t volume, bool createIt,
	char* returnedPath, int32 pathLength)
{
	B_UNUSED(volume);
	if (returnedPath == NULL || pathLength <= 0)
		return B_BAD_VALUE;

	BPath path;
	status_t status = find_directory(which, &path, createIt);
	if (status != B_OK)
		return status;
	size_t length = strlen(path.Path());
	if (length + 1 > (size_t)pathLength)
		return B_BUFFER_OVERFLOW;
	memcpy(returnedPath, path.Path(), length + 1);
	return B_OK;
}
