/*
 * LineIndex: a gap array of line starts with a pending delta.
 */
#include "LineIndex.h"

#include "GapMoves.h"

#include <string.h>

#include <algorithm>
#include <new>

namespace BPrivate {


LineIndex::LineIndex()
	:
	fStarts(1, 0),
	fCount(1),
	fGapStart(1),
	fDelta(0),
	fTextLength(0)
{
}


status_t
LineIndex::SetTo(const char* text, int32 length)
{
	if (length < 0 || (text == NULL && length > 0))
		return B_BAD_VALUE;

	std::vector<int32> starts;
	try {
		// A first guess of one line per 64 bytes saves most regrowth.
		starts.reserve(length / 64 + 16);
		starts.push_back(0);
		const char* end = text + length;
		for (const char* newline = text; length > 0
				&& (newline = (const char*)memchr(newline, '\n',
					end - newline)) != NULL; newline++) {
			starts.push_back((int32)(newline - text) + 1);
		}
	} catch (const std::bad_alloc&) {
		return B_NO_MEMORY;
	}

	fStarts.swap(starts);
	fCount = (int32)fStarts.size();
	fGapStart = fCount;
	fDelta = 0;
	fTextLength = length;
	return B_OK;
}


void
LineIndex::Swap(LineIndex& other)
{
	fStarts.swap(other.fStarts);
	std::swap(fCount, other.fCount);
	std::swap(fGapStart, other.fGapStart);
	std::swap(fDelta, other.fDelta);
	std::swap(fTextLength, other.fTextLength);
}


status_t
LineIndex::Insert(int32 offset, const char* bytes, int32 length)
{
	if (offset < 0 || offset > fTextLength || length < 0
		|| (bytes == NULL && length > 0)
		|| (int64)fTextLength + length > INT32_MAX) {
		return B_BAD_VALUE;
	}
	if (length == 0)
		return B_OK;

	// Appending, as while a file is read in, needs one pass only.
	if (offset == fTextLength && fGapStart == fCount)
		return _Append(bytes, length);

	int32 added = 0;
	for (const char* newline = bytes; (newline = (const char*)memchr(
			newline, '\n', bytes + length - newline)) != NULL; newline++) {
		added++;
	}
	status_t status = _MakeRoom(added);
	if (status != B_OK)
		return status;

	// Every line after the one that holds offset moves by length; the new
	// starts go in the gap right after that line.
	int32 line = LineAt(offset);
	_MoveGapTo(line + 1);
	fDelta = (int32)((uint32)fDelta + (uint32)length);
	for (const char* newline = bytes; (newline = (const char*)memchr(
			newline, '\n', bytes + length - newline)) != NULL; newline++) {
		fStarts[fGapStart++] = offset + (int32)(newline - bytes) + 1;
		fCount++;
	}
	fTextLength += length;
	return B_OK;
}


status_t
LineIndex::Remove(int32 from, int32 to)
{
	if (from < 0 || from > to || to > fTextLength)
		return B_BAD_VALUE;
	if (from == to)
		return B_OK;

	// The lines that start in from+1..to began after a removed '\n'; they
	// follow the line that holds from, so they sit right after the gap
	// once it is moved there.
	int32 first = LineAt(from);
	int32 last = LineAt(to);
	_MoveGapTo(first + 1);
	fCount -= last - first;
	fDelta = (int32)((uint32)fDelta - (uint32)(to - from));
	fTextLength -= to - from;
	return B_OK;
}


int32
LineIndex::LineAt(int32 offset) const
{
	if (offset <= 0)
		return 0;
	// The last line whose start is at or before offset.
	int32 low = 0;
	int32 high = fCount - 1;
	while (low < high) {
		int32 middle = low + (high - low + 1) / 2;
		if (_StartAt(middle) <= offset)
			low = middle;
		else
			high = middle - 1;
	}
	return low;
}


int32
LineIndex::OffsetAt(int32 line) const
{
	if (line <= 0)
		return 0;
	if (line >= fCount)
		return fTextLength;
	return _StartAt(line);
}


int32
LineIndex::LineEnd(int32 line) const
{
	if (line < 0)
		line = 0;
	if (line >= fCount - 1)
		return fTextLength;
	return _StartAt(line + 1) - 1;
}


void
LineIndex::GetStarts(int32 line, int32 count, int32* _starts) const
{
	for (int32 i = 0; i < count; i++) {
		int32 at = line + i;
		_starts[i] = at <= 0 ? 0 : at >= fCount ? fTextLength : _StartAt(at);
	}
}


status_t
LineIndex::_Append(const char* bytes, int32 length)
{
	size_t oldSize = fStarts.size();
	try {
		fStarts.resize(fCount);
		// Counted first so that the array is allocated once at its size:
		// growing it by halves while a large file comes in would hold the
		// old and the new array at once, and leave up to half unused.
		int32 added = 0;
		for (int32 i = 0; i < length; i++)
			added += bytes[i] == '\n';
		size_t needed = (size_t)fCount + added;
		if (needed > fStarts.capacity()) {
			// Appends typed one after another still grow geometrically.
			fStarts.reserve(std::max(needed,
				fStarts.capacity() + fStarts.capacity() / 2));
		}
		const char* end = bytes + length;
		for (const char* newline = bytes; (newline = (const char*)memchr(
				newline, '\n', end - newline)) != NULL; newline++) {
			fStarts.push_back(fTextLength + (int32)(newline - bytes) + 1);
		}
	} catch (const std::bad_alloc&) {
		fStarts.resize(std::max(oldSize, (size_t)fCount));
		return B_NO_MEMORY;
	}
	fCount = (int32)fStarts.size();
	fGapStart = fCount;
	fDelta = 0;
	fTextLength += length;
	return B_OK;
}


void
LineIndex::_MoveGapTo(int32 line)
{
	int32 gap = _GapLength();
	int32* starts = fStarts.data();
	move_gap(starts, fGapStart, gap, line);
	// The starts that crossed the gap take the pending delta off (now
	// behind it) or on (now before it).
	if (fDelta != 0) {
		if (line < fGapStart)
			_AddTo(starts + line + gap, fGapStart - line,
				0u - (uint32)fDelta);
		else
			_AddTo(starts + fGapStart, line - fGapStart, (uint32)fDelta);
	}
	fGapStart = line;
	// With no start left behind the gap, the delta applies to nothing.
	if (fGapStart == fCount)
		fDelta = 0;
}


// Adds delta to count starts, modulo 2^32 like the pending delta.
void
LineIndex::_AddTo(int32* starts, int32 count, uint32 delta)
{
	for (int32 i = 0; i < count; i++)
		starts[i] = (int32)((uint32)starts[i] + delta);
}


// Makes the gap hold count more starts.
status_t
LineIndex::_MakeRoom(int32 count)
{
	int32 gap = _GapLength();
	if (gap >= count)
		return B_OK;

	size_t oldSize = fStarts.size();
	size_t newSize = std::max(oldSize + count - gap,
		oldSize + oldSize / 2 + 64);
	try {
		fStarts.resize(newSize);
	} catch (const std::bad_alloc&) {
		return B_NO_MEMORY;
	}
	// The starts after the gap go to the end of the bigger array.
	int32 after = fCount - fGapStart;
	widen_gap(fStarts.data(), fGapStart, gap,
		(int32)newSize - fGapStart - after, after);
	return B_OK;
}

}	// namespace BPrivate
