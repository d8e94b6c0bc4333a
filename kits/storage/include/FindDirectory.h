/*
 * find_directory(): where the standard directories are. On Linux the
 * user's directories follow the XDG base directory conventions:
 *
 *   B_USER_DIRECTORY           the home directory
 *   B_USER_CONFIG_DIRECTORY,
 *   B_USER_SETTINGS_DIRECTORY  $XDG_CONFIG_HOME, else ~/.config
 *   B_USER_DATA_DIRECTORY      $XDG_DATA_HOME, else ~/.local/share
 *   B_USER_CACHE_DIRECTORY     $XDG_CACHE_HOME, else ~/.cache
 *   B_USER_STATE_DIRECTORY     $XDG_STATE_HOME, else ~/.local/state:
 *                              what a program keeps between runs that
 *                              is neither settings nor a cache
 *   B_DESKTOP_DIRECTORY        ~/Desktop
 *   B_SYSTEM_TEMP_DIRECTORY    $TMPDIR, else /tmp
 *
 * An environment variable counts only when it holds an absolute path;
 * an empty or relative one is ignored. The home directory is $HOME under
 * the same rule, else the user's entry in the password database.
 *
 * With createIt, missing directories are created with mode 0700. Without
 * it the path is returned whether or not it exists. The volume is
 * accepted for compatibility and ignored. An unknown directory_which is
 * B_BAD_VALUE; no home directory at all is B_ENTRY_NOT_FOUND.
 *
 * Callable from any thread; it reads the environment, which nothing
 * should change meanwhile.
 */
#ifndef _FIND_DIRECTORY_H
#define _FIND_DIRECTORY_H

#include <SupportDefs.h>

class BPath;
class BVolume;

enum directory_which {
	B_DESKTOP_DIRECTORY				= 0,

	B_SYSTEM_TEMP_DIRECTORY			= 2014,

	B_USER_DIRECTORY				= 3000,
	B_USER_CONFIG_DIRECTORY			= 3001,
	B_USER_SETTINGS_DIRECTORY		= 3006,
	B_USER_DATA_DIRECTORY			= 3012,
	B_USER_CACHE_DIRECTORY			= 3013,
	B_USER_STATE_DIRECTORY			= 3100
};

// The C form: copies the path into returnedPath, B_BUFFER_OVERFLOW when
// it does not fit in pathLength bytes.
extern "C" status_t find_directory(directory_which which, dev_t volume,
	bool createIt, char* returnedPath, int32 pathLength);

status_t find_directory(directory_which which, BPath* path,
	bool createIt = false, BVolume* volume = NULL);

#endif	// _FIND_DIRECTORY_H
