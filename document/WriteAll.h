/*
 * Writing a whole buffer to a file at a position, for the writers of
 * documents and their backup copies.
 */
#ifndef WRITE_ALL_H
#define WRITE_ALL_H

#include <File.h>
#include <SupportDefs.h>


// B_OK when every byte was written. A short write with no error of its
// own means the disk is full.
static inline status_t
write_all(BFile& file, off_t position, const char* bytes, size_t length)
{
	if (length == 0)
		return B_OK;
	ssize_t written = file.WriteAt(position, bytes, length);
	if (written < 0)
		return (status_t)written;
	return (size_t)written == length ? (status_t)B_OK : (status_t)B_DEVICE_FULL;
}

#endif	// WRITE_ALL_H
