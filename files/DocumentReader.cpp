/*
 * Reading a document's file.
 */
#include "DocumentReader.h"

#include <Directory.h>
#include <Entry.h>
#include <File.h>

#include "SaveBackup.h"


namespace {

// The text view counts in int32, so a file must be shorter than 2 GiB.
const off_t kMaxFileSize = 0x7fffffff;

// How much of a file one read asks for.
const size_t kReadChunkSize = 64 * 1024;

}	// namespace


DocumentReader::Sink::~Sink()
{
}


DocumentReader::Result::Result()
	:
	what(kRead),
	status(B_OK)
{
}


DocumentReader::Result
DocumentReader::Read(const entry_ref* ref, Sink& sink)
{
	Result result;
	BDirectory directory;
	if (directory.SetTo(ref) == B_OK) {
		result.what = kIsDirectory;
		return result;
	}

	BFile file;
	result.status = file.SetTo(ref, B_READ_ONLY);
	if (result.status != B_OK) {
		result.what = kCannotOpen;
		return result;
	}

	off_t size;
	status_t status = file.GetSize(&size);
	if (status == B_OK && size > kMaxFileSize) {
		result.what = kTooLarge;
		return result;
	}
	if (status == B_OK && size > 0)
		sink.ReadFrom(file, (int32)size);

	if (status != B_OK || size == 0 || (off_t)sink.Length() != size) {
		std::vector<char> bytes;
		status = _ReadAll(file, bytes);
		if (status != B_OK)
			sink.Take("", 0);
		if (status == B_FILE_TOO_LARGE) {
			result.what = kTooLarge;
			return result;
		}
		if (status != B_OK) {
			result.what = kCannotRead;
			result.status = status;
			return result;
		}
		sink.Take(bytes.data(), (int32)bytes.size());
	}

	// What the sink holds came from this very file, so the stamp is taken
	// from the open file rather than looked up again by name. A file whose
	// size does not match what was read (as in /proc) has no stamp that
	// could tell a later change.
	if (file.GetSize(&size) == B_OK && size == (off_t)sink.Length())
		result.stamp.SetTo(file);

	std::string copy;
	if (SaveBackup::FindLeftOver(ref, &copy) == B_OK)
		result.leftOverCopy = copy;
	return result;
}


// Reads to the end of the file, whatever its size says.
status_t
DocumentReader::_ReadAll(BFile& file, std::vector<char>& bytes)
{
	char chunk[kReadChunkSize];
	while (true) {
		ssize_t read = file.ReadAt(bytes.size(), chunk, sizeof(chunk));
		if (read < 0)
			return (status_t)read;
		if (read == 0)
			return B_OK;
		if ((off_t)bytes.size() + read > kMaxFileSize)
			return B_FILE_TOO_LARGE;
		bytes.insert(bytes.end(), chunk, chunk + read);
	}
}
