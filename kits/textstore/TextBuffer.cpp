/*
 * TextBuffer: a gap buffer of raw bytes.
 */
#include "TextBuffer.h"

#include "GapMoves.h"

#include <DataIO.h>

#include <stdlib.h>
#include <string.h>

#include <algorithm>

namespace BPrivate {


// The gap a fresh or grown block starts with, so that a run of typing
// does not reallocate on every keystroke.
static const int32 kMinimumGap = 1024;
// Large blocks grow by at most this much at a time.
static const int32 kMaximumGrowth = 4 * 1024 * 1024;


TextBuffer::TextBuffer()
	:
	fBuffer(NULL),
	fCapacity(0),
	fLength(0),
	fGapStart(0),
	fGapLength(0)
{
}


TextBuffer::~TextBuffer()
{
	free(fBuffer);
}


status_t
TextBuffer::SetTo(const char* text, int32 length)
{
	if (length < 0 || (text == NULL && length > 0) || length > INT32_MAX - 1)
		return B_BAD_VALUE;

	int32 gap = std::min<int64>(kMinimumGap, (int64)INT32_MAX - length);
	char* block = (char*)malloc((size_t)length + gap);
	if (block == NULL)
		return B_NO_MEMORY;
	if (length > 0)
		memcpy(block, text, length);

	free(fBuffer);
	fBuffer = block;
	fCapacity = length + gap;
	fLength = length;
	fGapStart = length;
	fGapLength = gap;
	return B_OK;
}


status_t
TextBuffer::ReadFrom(BPositionIO* source, off_t position, int32 length,
	const std::function<void(const char*, int32)>& chunkRead)
{
	if (source == NULL || position < 0 || length < 0
		|| length > INT32_MAX - 1) {
		return B_BAD_VALUE;
	}
	int32 gap = std::min<int64>(kMinimumGap, (int64)INT32_MAX - length);
	char* block = (char*)malloc((size_t)length + gap);
	if (block == NULL)
		return B_NO_MEMORY;

	// One read for all of it: the system fills a large block much faster
	// in one call than in cache-sized pieces.
	int32 read = 0;
	while (read < length) {
		ssize_t got = source->ReadAt(position + read, block + read,
			length - read);
		if (got < 0) {
			free(block);
			return (status_t)got;
		}
		if (got == 0)
			break;
		if (chunkRead)
			chunkRead(block + read, (int32)got);
		read += (int32)got;
	}

	free(fBuffer);
	fBuffer = block;
	fCapacity = read + gap + (length - read);
	fLength = read;
	fGapStart = read;
	fGapLength = fCapacity - read;
	return B_OK;
}


status_t
TextBuffer::Insert(int32 offset, const char* bytes, int32 length)
{
	if (offset < 0 || offset > fLength || length < 0
		|| (bytes == NULL && length > 0)
		|| (int64)fLength + length > INT32_MAX - 1) {
		return B_BAD_VALUE;
	}
	if (length == 0)
		return B_OK;

	// The bytes may point into this buffer (a text view duplicating a
	// selection); moving the gap or growing would change or free them,
	// so they are copied first.
	if (fBuffer != NULL && bytes >= fBuffer && bytes < fBuffer + fCapacity) {
		std::string copy(bytes, length);
		return Insert(offset, copy.data(), length);
	}

	status_t status = _MakeRoom(length);
	if (status != B_OK)
		return status;

	_MoveGapTo(offset);
	memmove(fBuffer + fGapStart, bytes, length);
	fGapStart += length;
	fGapLength -= length;
	fLength += length;
	return B_OK;
}


status_t
TextBuffer::Remove(int32 from, int32 to)
{
	if (from < 0 || from > to || to > fLength)
		return B_BAD_VALUE;
	if (from == to)
		return B_OK;

	// Remove by widening the gap over the removed bytes.
	_MoveGapTo(from);
	fGapLength += to - from;
	fLength -= to - from;
	return B_OK;
}


const char*
TextBuffer::Text()
{
	if (fBuffer == NULL || fGapLength == 0) {
		// Every block keeps at least one byte of gap (see _MakeRoom), so
		// only a buffer that was never filled gets here.
		if (SetTo(NULL, 0) != B_OK)
			return "";
	}
	_MoveGapTo(fLength);
	fBuffer[fLength] = '\0';
	return fBuffer;
}


int32
TextBuffer::GetText(int32 offset, int32 length, char* buffer) const
{
	if (offset < 0 || length <= 0 || offset >= fLength || buffer == NULL)
		return 0;
	length = std::min(length, fLength - offset);

	int32 copied = 0;
	if (offset < fGapStart) {
		int32 before = std::min(length, fGapStart - offset);
		memcpy(buffer, fBuffer + offset, before);
		copied = before;
	}
	if (copied < length) {
		memcpy(buffer + copied, fBuffer + offset + copied + fGapLength,
			length - copied);
	}
	return length;
}


std::string
TextBuffer::GetText(int32 offset, int32 length) const
{
	if (offset < 0 || length <= 0 || offset >= fLength)
		return std::string();
	std::string text(std::min(length, fLength - offset), '\0');
	GetText(offset, (int32)text.size(), text.data());
	return text;
}


int32
TextBuffer::PieceAt(int32 offset, int32 length, const char*& _piece) const
{
	if (offset < 0 || offset >= fLength || length <= 0)
		return 0;
	length = std::min(length, fLength - offset);
	if (offset < fGapStart) {
		_piece = fBuffer + offset;
		return std::min(length, fGapStart - offset);
	}
	_piece = fBuffer + offset + fGapLength;
	return length;
}


int32
TextBuffer::Find(const char* needle, int32 length, int32 from) const
{
	if (needle == NULL || length <= 0)
		return -1;
	from = std::max(from, (int32)0);
	if (from > fLength - length)
		return -1;

	// Matches wholly before the gap.
	if (from + length <= fGapStart) {
		const void* found = memmem(fBuffer + from, fGapStart - from, needle,
			length);
		if (found != NULL)
			return (int32)((const char*)found - fBuffer);
	}

	// Matches that straddle the gap start between gapStart - length + 1
	// and gapStart - 1; the bytes around the seam are copied together.
	if (length > 1 && fGapStart > 0 && fGapStart < fLength) {
		int32 seamStart = std::max(from, fGapStart - length + 1);
		int32 seamEnd = std::min(fLength, fGapStart + length - 1);
		if (seamStart < fGapStart && seamEnd - seamStart >= length) {
			std::string seam = GetText(seamStart, seamEnd - seamStart);
			const void* found = memmem(seam.data(), seam.size(), needle,
				length);
			if (found != NULL)
				return seamStart + (int32)((const char*)found - seam.data());
		}
	}

	// Matches wholly after the gap.
	int32 start = std::max(from, fGapStart);
	if (start + length <= fLength) {
		const char* after = fBuffer + fGapLength;
		const void* found = memmem(after + start, fLength - start, needle,
			length);
		if (found != NULL)
			return (int32)((const char*)found - after);
	}
	return -1;
}


// Makes sure the gap holds length bytes and, after them, at least one
// more, which Text() needs for its terminating NUL.
status_t
TextBuffer::_MakeRoom(int32 length)
{
	if (fBuffer != NULL && fGapLength > length)
		return B_OK;

	// Grow by half the text again, so that loading by many inserts stays
	// linear, but by no more than kMaximumGrowth: a key typed into a
	// 100 MB file should not cost 50 MB more. Never past what an int32
	// offset can address.
	int64 wanted = (int64)fLength + length + 1
		+ std::clamp<int64>(fLength / 2, kMinimumGap, kMaximumGrowth);
	int64 capacity = std::min<int64>(wanted, INT32_MAX);
	if (capacity < (int64)fLength + length + 1)
		return B_NO_MEMORY;

	char* block = (char*)realloc(fBuffer, capacity);
	if (block == NULL)
		return B_NO_MEMORY;

	// Move the text after the gap to the end of the bigger block.
	int32 newGapLength = (int32)(capacity - fLength);
	widen_gap(block, fGapStart, fGapLength, newGapLength,
		fLength - fGapStart);

	fBuffer = block;
	fCapacity = (int32)capacity;
	fGapLength = newGapLength;
	return B_OK;
}


void
TextBuffer::_MoveGapTo(int32 offset)
{
	move_gap(fBuffer, fGapStart, fGapLength, offset);
	fGapStart = offset;
}

}	// namespace BPrivate
