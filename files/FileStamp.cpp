/*
 * Stamps of files on disk.
 */
#include "FileStamp.h"

#include <Entry.h>

#include <string.h>


namespace {

void
put_int64(std::string& bytes, int64 value)
{
	bytes.append((const char*)&value, sizeof(value));
}


int64
get_int64(const char* bytes)
{
	int64 value;
	memcpy(&value, bytes, sizeof(value));
	return value;
}

}	// namespace


FileStamp::FileStamp()
	:
	fKnown(false),
	fDevice(0),
	fNode(0),
	fSize(0),
	fModified(),
	fChanged()
{
}


status_t
FileStamp::SetTo(const BStatable& node)
{
	Unset();
	struct stat st;
	status_t status = node.GetStat(&st);
	if (status != B_OK)
		return status;

	SetTo(st);
	return B_OK;
}


void
FileStamp::SetTo(const struct stat& st)
{
	fKnown = true;
	fDevice = st.st_dev;
	fNode = st.st_ino;
	fSize = st.st_size;
	fModified = st.st_mtim;
	fChanged = st.st_ctim;
}


status_t
FileStamp::SetTo(const entry_ref* ref)
{
	Unset();
	if (ref == NULL)
		return B_BAD_VALUE;
	BEntry entry(ref, true);
	status_t status = entry.InitCheck();
	if (status != B_OK)
		return status;
	if (!entry.Exists())
		return B_ENTRY_NOT_FOUND;
	return SetTo(entry);
}


void
FileStamp::Unset()
{
	*this = FileStamp();
}


bool
FileStamp::operator==(const FileStamp& other) const
{
	if (!fKnown || !other.fKnown)
		return false;
	return fDevice == other.fDevice && fNode == other.fNode
		&& fSize == other.fSize
		&& fModified.tv_sec == other.fModified.tv_sec
		&& fModified.tv_nsec == other.fModified.tv_nsec
		&& fChanged.tv_sec == other.fChanged.tv_sec
		&& fChanged.tv_nsec == other.fChanged.tv_nsec;
}


void
FileStamp::Flatten(std::string& _bytes) const
{
	_bytes += fKnown ? '\1' : '\0';
	put_int64(_bytes, (int64)fDevice);
	put_int64(_bytes, (int64)fNode);
	put_int64(_bytes, (int64)fSize);
	put_int64(_bytes, (int64)fModified.tv_sec);
	put_int64(_bytes, (int64)fModified.tv_nsec);
	put_int64(_bytes, (int64)fChanged.tv_sec);
	put_int64(_bytes, (int64)fChanged.tv_nsec);
}


status_t
FileStamp::Unflatten(const char* bytes, size_t length)
{
	Unset();
	if (bytes == NULL || length != kFlattenedSize || (bytes[0] != 0
			&& bytes[0] != 1)) {
		return B_BAD_DATA;
	}
	if (bytes[0] == 0)
		return B_OK;
	const char* field = bytes + 1;
	fKnown = true;
	fDevice = (dev_t)get_int64(field);
	fNode = (ino_t)get_int64(field + 8);
	fSize = (off_t)get_int64(field + 16);
	fModified.tv_sec = (time_t)get_int64(field + 24);
	fModified.tv_nsec = (long)get_int64(field + 32);
	fChanged.tv_sec = (time_t)get_int64(field + 40);
	fChanged.tv_nsec = (long)get_int64(field + 48);
	return B_OK;
}
