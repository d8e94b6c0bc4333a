/*
 * The words for status codes.
 */
#include <Errors.h>
#include <SupportDefs.h>


namespace {

struct StatusText {
	status_t	status;
	const char*	text;
};

const StatusText kTexts[] = {
	{ B_OK, "No error" },
	{ B_ERROR, "General system error" },
	{ B_NO_MEMORY, "Out of memory" },
	{ B_IO_ERROR, "Input/output error" },
	{ B_PERMISSION_DENIED, "Permission denied" },
	{ B_BAD_INDEX, "Index not in range for the data set" },
	{ B_BAD_TYPE, "Bad argument type passed to function" },
	{ B_BAD_VALUE, "Invalid argument" },
	{ B_MISMATCHED_VALUES, "Mismatched values passed to function" },
	{ B_NAME_NOT_FOUND, "Name not found" },
	{ B_NAME_IN_USE, "Name in use" },
	{ B_TIMED_OUT, "Operation timed out" },
	{ B_INTERRUPTED, "Interrupted system call" },
	{ B_WOULD_BLOCK, "Operation would block" },
	{ B_CANCELED, "Operation canceled" },
	{ B_NO_INIT, "Initialization failed" },
	{ B_BUSY, "Device or resource busy" },
	{ B_NOT_ALLOWED, "Operation not allowed" },
	{ B_BAD_DATA, "Bad data" },
	{ B_FILE_ERROR, "Bad file descriptor" },
	{ B_FILE_NOT_FOUND, "No such file or directory" },
	{ B_FILE_EXISTS, "File or directory already exists" },
	{ B_ENTRY_NOT_FOUND, "No such file or directory" },
	{ B_NAME_TOO_LONG, "File or directory name too long" },
	{ B_NOT_A_DIRECTORY, "Not a directory" },
	{ B_DIRECTORY_NOT_EMPTY, "Directory not empty" },
	{ B_DEVICE_FULL, "No space left on the device" },
	{ B_READ_ONLY_DEVICE, "Read-only file system" },
	{ B_IS_A_DIRECTORY, "Is a directory" },
	{ B_NO_MORE_FDS, "Too many open files" },
	{ B_CROSS_DEVICE_LINK, "Cross-device link" },
	{ B_LINK_LIMIT, "Too many symbolic links" },
	{ B_BUSTED_PIPE, "Broken pipe" },
	{ B_UNSUPPORTED, "Operation not supported" },
	{ B_FILE_TOO_LARGE, "File too large" },
	{ B_BUFFER_OVERFLOW, "Value too large for defined data type" },
	{ B_BAD_ADDRESS, "Bad address" },
	{ B_NOT_SUPPORTED, "Function not implemented" },
};

}	// namespace


const char*
status_text(status_t status)
{
	for (const StatusText& entry : kTexts) {
		if (entry.status == status)
			return entry.text;
	}
	return "General system error";
}
