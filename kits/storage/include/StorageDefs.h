/*
 * The Storage Kit's limits, open modes and node kinds.
 */
#ifndef _STORAGE_DEFS_H
#define _STORAGE_DEFS_H

#include <SupportDefs.h>

// Limits. B_FILE_NAME_LENGTH and B_PATH_NAME_LENGTH count the terminating
// NUL: a leaf name has at most 255 bytes, a path at most 4095.
#define B_DEV_NAME_LENGTH		128
#define B_ATTR_NAME_LENGTH		(B_FILE_NAME_LENGTH - 1)
#define B_MIME_TYPE_LENGTH		(B_ATTR_NAME_LENGTH - 15)

// How many symbolic links a traversal follows before it gives up with
// B_LINK_LIMIT.
#define B_MAX_SYMLINKS			16

// Open modes for BFile. Exactly one access mode, or'ed with any flags.
#define B_READ_ONLY				0x0000
#define B_WRITE_ONLY			0x0001
#define B_READ_WRITE			0x0002
#define B_OPEN_MODE_MASK		0x0003

#define B_FAIL_IF_EXISTS		0x0100	// create; B_FILE_EXISTS if it exists
#define B_CREATE_FILE			0x0200	// create the file if it is missing
#define B_ERASE_FILE			0x0400	// truncate to zero bytes on open
#define B_OPEN_AT_END			0x0800	// every write appends

// Kinds of node, as flags: BDirectory::Contains() takes any combination.
enum node_flavor {
	B_FILE_NODE			= 0x01,
	B_SYMLINK_NODE		= 0x02,
	B_DIRECTORY_NODE	= 0x04,
	B_ANY_NODE			= 0x07
};

#endif	// _STORAGE_DEFS_H
