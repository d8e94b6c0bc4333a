/*
 * RangeSplice: the one-pass construction of a text with many ranges
 * replaced.
 */
#include "RangeSplice.h"

#include <new>

namespace BPrivate {


RangeSplice::RangeSplice(const int32* offsets, int32 count, int32 shift,
	int32 oldLength, const char* text, int32 newLength)
	:
	fOffsets(offsets),
	fCount(count),
	fShift(shift),
	fOldLength(oldLength),
	fText(text),
	fNewLength(newLength),
	fPieces(false)
{
}


RangeSplice
RangeSplice::WithPieces(const int32* offsets, int32 count, int32 shift,
	int32 oldLength, const char* pieces, int32 newLength)
{
	RangeSplice splice(offsets, count, shift, oldLength, pieces, newLength);
	splice.fPieces = true;
	return splice;
}


RangeSplice
RangeSplice::Part(int32 first, int32 count) const
{
	RangeSplice part(*this);
	part.fOffsets = fOffsets + first;
	part.fCount = count;
	part.fText = NewBytes(first);
	// The ranges before it have changed their length already.
	part.fBase = fBase + first * fShift + first * (fNewLength - fOldLength);
	return part;
}


int64
RangeSplice::NewSpanLength() const
{
	return (int64)SpanEnd() - SpanStart()
		+ (int64)fCount * ((int64)fNewLength - fOldLength);
}


status_t
RangeSplice::Check(int32 textLength) const
{
	if (fOffsets == NULL || fCount <= 0 || fOldLength < 0 || fNewLength < 0
		|| (fText == NULL && fNewLength > 0)) {
		return B_BAD_VALUE;
	}
	int64 previousEnd = 0;
	for (int32 i = 0; i < fCount; i++) {
		int64 start = (int64)fBase + fOffsets[i] + (int64)i * fShift;
		if (start < previousEnd)
			return B_BAD_VALUE;
		previousEnd = start + fOldLength;
		if (previousEnd > textLength)
			return B_BAD_VALUE;
		// Empty ranges at one offset would each insert there, in an
		// order nobody asked for.
		if (fOldLength == 0 && i > 0 && start == Start(i - 1))
			return B_BAD_VALUE;
	}
	return B_OK;
}


status_t
RangeSplice::Build(const char* bytes, int32 textOffset,
	std::string& _span) const
{
	int64 length = NewSpanLength();
	if (length < 0 || length > INT32_MAX)
		return B_BAD_VALUE;
	try {
		_span.clear();
		_span.reserve((size_t)length);
		int32 from = SpanStart();
		for (int32 i = 0; i < fCount; i++) {
			int32 start = Start(i);
			_span.append(bytes + (from - textOffset), start - from);
			_span.append(NewBytes(i), fNewLength);
			from = start + fOldLength;
		}
	} catch (const std::bad_alloc&) {
		_span.clear();
		_span.shrink_to_fit();
		return B_NO_MEMORY;
	}
	return B_OK;
}


status_t
RangeSplice::CopyOldBytes(const char* text, std::string& _pieces) const
{
	try {
		_pieces.clear();
		_pieces.reserve((size_t)fCount * fOldLength);
		for (int32 i = 0; i < fCount; i++)
			_pieces.append(text + Start(i), fOldLength);
	} catch (const std::bad_alloc&) {
		_pieces.clear();
		return B_NO_MEMORY;
	}
	return B_OK;
}

}	// namespace BPrivate
