/*
 * Writing a whole buffer to a file at a position, for the writers of
 * documents and their backup copies.
 */
#ifndef WRITE_ALL_H
#define WRITE_ALL_H

#include <File.h>
#include <SupportDefs.h>


// B_OK when every byte was written. A write that stops short is asked to
// go on, which tells why it stopped; one that stops without a reason
// means the disk is full.
static inline status_t
write_all(BFile& file, off_t position, const char* bytes, size_t length)
{
	while (length > 0) {
		ssize_t written = file.WriteAt(position, bytes, length);
		if (written < 0)
			return (status_t)written;
		if (written == 0)
			return B_DEVICE_FULL;
		position += written;
		bytes += written;
		length -= written;
	}
	return B_OK;
}

#endif	// WRITE_ALL_H
