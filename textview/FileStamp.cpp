/*
 * Stamps of files on disk.
 */
#include "FileStamp.h"

#include <Entry.h>


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
