/*
 * BTextView: many ranges replaced as one change, and the undo and redo
 * of such a change.
 */
#include <TextView.h>

#include "RangeSplice.h"
#include "TextMotion.h"
#include "TextViewData.h"

#include <new>
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


// Replaces the splice's ranges by their new bytes through the hooks, a
// piece of about a megabyte at a time: one deletion and one insertion
// for each piece, and never a second copy of the whole text. When an
// insertion fails after its deletion went through, the piece's old bytes
// go back and the pieces done before are undone, so that a failure
// never loses text.
status_t
BTextView::_Splice(const RangeSplice& splice, const RangeSplice& inverse)
{
	int32 count = splice.CountRanges();
	fData->replacing = true;
	int32 done = _SplicePieces(splice);
	if (done < count && done > 0)
		_SplicePieces(inverse.Part(0, done));
	fData->replacing = false;
	_UpdateScrollBars();
	fData->undo.BreakCoalescing();
	return done == count ? B_OK : B_ERROR;
}


// Splices piece after piece; returns how many ranges were spliced. A
// piece that fails is put back as it was.
int32
BTextView::_SplicePieces(const RangeSplice& splice)
{
	// Big enough that a million ranges take a hundred hook calls, small
	// enough that the copies it takes cost nothing next to the text.
	const int32 kPieceBytes = 1024 * 1024;

	int32 count = splice.CountRanges();
	int32 done = 0;
	std::string old;
	std::string span;
	while (done < count) {
		int32 end = done + 1;
		while (end < count && splice.Start(end) + splice.OldLength()
				- splice.Start(done) <= kPieceBytes) {
			end++;
		}
		RangeSplice piece = splice.Part(done, end - done);
		int32 from = piece.SpanStart();
		int32 to = piece.SpanEnd();
		try {
			old = fData->text.GetText(from, to - from);
		} catch (const std::bad_alloc&) {
			return done;
		}
		if (piece.Build(old.data(), from, span) != B_OK)
			return done;

		int32 before = TextLength();
		if (to > from)
			DeleteText(from, to);
		if (TextLength() != before - (to - from))
			return done;
		int32 middle = TextLength();
		if (!span.empty())
			InsertText(span.data(), (int32)span.size(), from, NULL);
		if (TextLength() != middle + (int32)span.size()) {
			if (TextLength() == middle && !old.empty())
				InsertText(old.data(), (int32)old.size(), from, NULL);
			return done;
		}
		done = end;
	}
	return done;
}
