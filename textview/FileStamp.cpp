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
	fSeconds(0),
	fNanoseconds(0)
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

	fKnown = true;
	fDevice = st.st_dev;
	fNode = st.st_ino;
	fSize = st.st_size;
	fSeconds = st.st_mtim.tv_sec;
	fNanoseconds = st.st_mtim.tv_nsec;
	return B_OK;
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
		&& fSize == other.fSize && fSeconds == other.fSeconds
		&& fNanoseconds == other.fNanoseconds;
}
