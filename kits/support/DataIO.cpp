/*
 * The in-memory streams and the loops shared by every stream.
 */
#include <DataIO.h>

#include <errno.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>


BDataIO::BDataIO()
{
}


BDataIO::~BDataIO()
{
}


ssize_t
BDataIO::Read(void*, size_t)
{
	return B_NOT_SUPPORTED;
}


ssize_t
BDataIO::Write(const void*, size_t)
{
	return B_NOT_SUPPORTED;
}


status_t
BDataIO::Flush()
{
	return B_OK;
}


status_t
BDataIO::ReadExactly(void* buffer, size_t size, size_t* _bytesRead)
{
	char* out = static_cast<char*>(buffer);
	size_t done = 0;
	status_t status = B_OK;
	while (done < size) {
		ssize_t result = Read(out + done, size - done);
		if (result < 0) {
			status = (status_t)result;
			break;
		}
		if (result == 0) {
			status = B_IO_ERROR;
			break;
		}
		done += result;
	}
	if (_bytesRead != NULL)
		*_bytesRead = done;
	return status;
}


status_t
BDataIO::WriteExactly(const void* buffer, size_t size, size_t* _bytesWritten)
{
	const char* in = static_cast<const char*>(buffer);
	size_t done = 0;
	status_t status = B_OK;
	while (done < size) {
		ssize_t result = Write(in + done, size - done);
		if (result < 0) {
			status = (status_t)result;
			break;
		}
		if (result == 0) {
			status = B_IO_ERROR;
			break;
		}
		done += result;
	}
	if (_bytesWritten != NULL)
		*_bytesWritten = done;
	return status;
}


//	#pragma mark - BPositionIO


BPositionIO::BPositionIO()
{
}


BPositionIO::~BPositionIO()
{
}


ssize_t
BPositionIO::Read(void* buffer, size_t size)
{
	off_t position = Position();
	if (position < 0)
		return (ssize_t)position;
	ssize_t result = ReadAt(position, buffer, size);
	if (result > 0)
		Seek(position + result, SEEK_SET);
	return result;
}


ssize_t
BPositionIO::Write(const void* buffer, size_t size)
{
	off_t position = Position();
	if (position < 0)
		return (ssize_t)position;
	ssize_t result = WriteAt(position, buffer, size);
	if (result > 0)
		Seek(position + result, SEEK_SET);
	return result;
}


status_t
BPositionIO::SetSize(off_t)
{
	return B_ERROR;
}


status_t
BPositionIO::GetSize(off_t* size) const
{
	if (size == NULL)
		return B_BAD_VALUE;
	// Seeking needs a mutable stream; the position is put back afterwards.
	BPositionIO* self = const_cast<BPositionIO*>(this);
	off_t current = Position();
	if (current < 0)
		return (status_t)current;
	off_t end = self->Seek(0, SEEK_END);
	self->Seek(current, SEEK_SET);
	if (end < 0)
		return (status_t)end;
	*size = end;
	return B_OK;
}


//	#pragma mark - BMallocIO


static const size_t kDefaultBlockSize = 256;


// The position a seek of the in-memory streams lands on, or B_BAD_VALUE
// for an unknown mode or a position before the start.
static off_t
seek_target(off_t position, uint32 seekMode, off_t current, off_t length)
{
	off_t base;
	switch (seekMode) {
		case SEEK_SET:
			base = 0;
			break;
		case SEEK_CUR:
			base = current;
			break;
		case SEEK_END:
			base = length;
			break;
		default:
			return B_BAD_VALUE;
	}
	if (position < -base)
		return B_BAD_VALUE;
	return base + position;
}


BMallocIO::BMallocIO()
	:
	fBlockSize(kDefaultBlockSize),
	fMallocSize(0),
	fLength(0),
	fData(NULL),
	fPosition(0)
{
}


BMallocIO::~BMallocIO()
{
	free(fData);
}


ssize_t
BMallocIO::ReadAt(off_t position, void* buffer, size_t size)
{
	if (buffer == NULL || position < 0)
		return B_BAD_VALUE;
	if ((size_t)position >= fLength)
		return 0;
	size_t count = fLength - position;
	if (count > size)
		count = size;
	memcpy(buffer, fData + position, count);
	return count;
}


ssize_t
BMallocIO::WriteAt(off_t position, const void* buffer, size_t size)
{
	if (buffer == NULL || position < 0)
		return B_BAD_VALUE;
	if (size == 0)
		return 0;
	size_t end = position + size;
	if (end < (size_t)position)
		return B_BAD_VALUE;
	if (end > fLength) {
		status_t status = SetSize(end);
		if (status != B_OK)
			return status;
	}
	memcpy(fData + position, buffer, size);
	return size;
}


off_t
BMallocIO::Seek(off_t position, uint32 seekMode)
{
	off_t result = seek_target(position, seekMode, fPosition, fLength);
	if (result >= 0)
		fPosition = result;
	return result;
}


off_t
BMallocIO::Position() const
{
	return fPosition;
}


status_t
BMallocIO::SetSize(off_t size)
{
	if (size < 0)
		return B_BAD_VALUE;
	if (size == 0) {
		free(fData);
		fData = NULL;
		fMallocSize = 0;
		fLength = 0;
		return B_OK;
	}
	size_t newSize = ((size_t)size + fBlockSize - 1) / fBlockSize * fBlockSize;
	if (newSize != fMallocSize) {
		char* data = static_cast<char*>(realloc(fData, newSize));
		if (data == NULL)
			return B_NO_MEMORY;
		fData = data;
		fMallocSize = newSize;
	}
	if ((size_t)size > fLength)
		memset(fData + fLength, 0, size - fLength);
	fLength = size;
	return B_OK;
}


void
BMallocIO::SetBlockSize(size_t blockSize)
{
	fBlockSize = blockSize > 0 ? blockSize : 1;
}


const void*
BMallocIO::Buffer() const
{
	return fData;
}


size_t
BMallocIO::BufferLength() const
{
	return fLength;
}


//	#pragma mark - BMemoryIO


BMemoryIO::BMemoryIO(void* data, size_t length)
	:
	fReadOnly(false),
	fBuffer(static_cast<char*>(data)),
	fLength(length),
	fBufferSize(length),
	fPosition(0)
{
}


BMemoryIO::BMemoryIO(const void* data, size_t length)
	:
	fReadOnly(true),
	fBuffer(static_cast<char*>(const_cast<void*>(data))),
	fLength(length),
	fBufferSize(length),
	fPosition(0)
{
}


BMemoryIO::~BMemoryIO()
{
}


ssize_t
BMemoryIO::ReadAt(off_t position, void* buffer, size_t size)
{
	if (buffer == NULL || position < 0)
		return B_BAD_VALUE;
	if ((size_t)position >= fLength)
		return 0;
	size_t count = fLength - position;
	if (count > size)
		count = size;
	memcpy(buffer, fBuffer + position, count);
	return count;
}


ssize_t
BMemoryIO::WriteAt(off_t position, const void* buffer, size_t size)
{
	if (fReadOnly)
		return B_NOT_ALLOWED;
	if (buffer == NULL || position < 0)
		return B_BAD_VALUE;
	if ((size_t)position >= fBufferSize)
		return 0;
	size_t count = fBufferSize - position;
	if (count > size)
		count = size;
	memcpy(fBuffer + position, buffer, count);
	if (position + count > fLength)
		fLength = position + count;
	return count;
}


off_t
BMemoryIO::Seek(off_t position, uint32 seekMode)
{
	off_t result = seek_target(position, seekMode, fPosition, fLength);
	if (result >= 0)
		fPosition = result;
	return result;
}


off_t
BMemoryIO::Position() const
{
	return fPosition;
}


status_t
BMemoryIO::SetSize(off_t size)
{
	if (fReadOnly)
		return B_NOT_ALLOWED;
	if (size < 0 || (size_t)size > fBufferSize)
		return B_BAD_VALUE;
	fLength = size;
	return B_OK;
}


//	#pragma mark - time


bigtime_t
system_time(void)
{
	struct timespec now;
	clock_gettime(CLOCK_MONOTONIC, &now);
	return (bigtime_t)now.tv_sec * 1000000 + now.tv_nsec / 1000;
}


status_t
snooze(bigtime_t amount)
{
	if (amount <= 0)
		return B_OK;
	struct timespec delay;
	delay.tv_sec = amount / 1000000;
	delay.tv_nsec = (amount % 1000000) * 1000;
	while (nanosleep(&delay, &delay) != 0) {
		if (errno != EINTR)
			return B_ERROR;
	}
	return B_OK;
}
