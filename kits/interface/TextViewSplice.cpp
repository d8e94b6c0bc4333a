/*
 * BTextView: many ranges replaced as one change, and the undo and redo
 * of such a change.
 */
#include <TextView.h>

#include "RangeSplice.h"
#include "TextMotion.h"
#include "TextViewData.h"

#include <string>
#include <vector>

using BPrivate::RangeSplice;
namespace TextMotion = BPrivate::TextMotion;


status_t
BTextView::ReplaceRanges(const int32* offsets, int32 count,
	int32 rangeLength, const char* text, int32 length)
{
	RangeSplice forward(offsets, count, 0, rangeLength, text, length);
	if (forward.Check(TextLength()) != B_OK
		|| !_SpliceRangesValid(offsets, count, rangeLength)) {
		return B_BAD_VALUE;
	}
	int64 newLength = TextLength() + forward.NewSpanLength()
		- (forward.SpanEnd() - forward.SpanStart());
	if (newLength > fData->maxBytes || newLength > INT32_MAX - 1)
		return B_BAD_VALUE;

	std::string removed;
	std::vector<int32> ranges;
	std::string inserted;
	try {
		ranges.assign(offsets, offsets + count);
		inserted.assign(text != NULL ? text : "", length);
	} catch (const std::bad_alloc&) {
		return B_NO_MEMORY;
	}
	if (forward.CopyOldBytes(fData->text.Text(), removed) != B_OK)
		return B_NO_MEMORY;
	RangeSplice backward = RangeSplice::WithPieces(ranges.data(), count,
		length - rangeLength, length, removed.data(), rangeLength);

	int32 selectionStart = fData->selectionStart;
	int32 selectionEnd = fData->selectionEnd;
	status_t status = _Splice(forward, backward);
	if (status != B_OK)
		return status;

	int32 lastStart = backward.Start(count - 1);
	int32 lastEnd = lastStart + length;
	Select(lastStart, lastEnd);
	if (fData->doesUndo) {
		fData->undo.RecordRanges(std::move(ranges), rangeLength,
			std::move(removed), std::move(inserted), selectionStart,
			selectionEnd, lastStart, lastEnd);
	}
	return B_OK;
}


// Whether every range begins and ends on a character boundary.
bool
BTextView::_SpliceRangesValid(const int32* offsets, int32 count,
	int32 rangeLength) const
{
	for (int32 i = 0; i < count; i++) {
		int32 start = offsets[i];
		int32 end = start + rangeLength;
		if (TextMotion::CharStart(fData->text, start) != start
			|| TextMotion::CharStart(fData->text, end) != end) {
			return false;
		}
	}
	return true;
}


// Replaces the splice's span by its new bytes through the hooks: one
// deletion, one insertion. When the insertion fails after the deletion
// went through, the inverse splice puts the old bytes back, so that a
// failure never loses text.
status_t
BTextView::_Splice(const RangeSplice& splice, const RangeSplice& inverse)
{
	std::string span;
	status_t status = splice.Build(fData->text.Text(), 0, span);
	if (status != B_OK)
		return status;

	int32 from = splice.SpanStart();
	int32 to = splice.SpanEnd();
	int32 before = TextLength();
	fData->replacing = true;
	if (to > from)
		DeleteText(from, to);
	if (TextLength() != before - (to - from)) {
		fData->replacing = false;
		_UpdateScrollBars();
		return B_ERROR;
	}
	int32 middle = TextLength();
	if (!span.empty())
		InsertText(span.data(), (int32)span.size(), from, NULL);
	if (TextLength() != middle + (int32)span.size()) {
		std::string old;
		if (TextLength() == middle
			&& inverse.Build(span.data(), from, old) == B_OK) {
			span = std::string();
			InsertText(old.data(), (int32)old.size(), from, NULL);
		}
		status = B_ERROR;
	}
	fData->replacing = false;
	_UpdateScrollBars();
	fData->undo.BreakCoalescing();
	return status;
}
