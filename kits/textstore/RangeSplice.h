/*
 * RangeSplice: many ranges of a text, each replaced by new bytes, taken
 * as one change. Range i starts at Start(i) and holds OldLength() bytes;
 * its new bytes are NewBytes(i), NewLength() of them, either the same
 * bytes for every range or the i-th piece of one block of pieces.
 *
 * The ranges are given by their offsets in some text plus a shift per
 * range, so that the same offsets describe the ranges before a splice
 * (shift 0) and after it (shift = new length - old length): undoing a
 * splice is the splice of the new pieces back to the old ones.
 *
 * Build() writes the bytes that replace the span from the first range's
 * start to the last range's end in one pass, so a change of a million
 * ranges costs one copy of the text instead of a million edits.
 *
 * Threads: none; a value the text view uses on its window's thread.
 * Owns: nothing; the offsets and pieces belong to the caller.
 */
#ifndef _KITS_RANGE_SPLICE_H
#define _KITS_RANGE_SPLICE_H

#include <SupportDefs.h>

#include <string>

namespace BPrivate {

class RangeSplice {
public:
	// The ranges start at offsets[i] + i * shift; every range gets the
	// same newLength bytes of text.
								RangeSplice(const int32* offsets,
									int32 count, int32 shift,
									int32 oldLength, const char* text,
									int32 newLength);

	// Each range gets its own piece: the pieces lie one after the other,
	// newLength bytes each.
	static	RangeSplice			WithPieces(const int32* offsets,
									int32 count, int32 shift,
									int32 oldLength, const char* pieces,
									int32 newLength);

			int32				CountRanges() const { return fCount; }
			int32				Start(int32 index) const
									{
										return fBase + fOffsets[index]
											+ index * fShift;
									}
			int32				OldLength() const { return fOldLength; }
			int32				NewLength() const { return fNewLength; }
			const char*			NewBytes(int32 index) const
									{
										return fPieces ? fText
											+ (int64)index * fNewLength
											: fText;
									}

	// The ranges first to first + count - 1 as a splice of their own, in
	// the text after the ranges before them were spliced.
			RangeSplice			Part(int32 first, int32 count) const;

	// The span that the splice replaces.
			int32				SpanStart() const { return Start(0); }
			int32				SpanEnd() const
									{
										return Start(fCount - 1)
											+ fOldLength;
									}
	// How many bytes the span has after the splice, which may pass
	// INT32_MAX.
			int64				NewSpanLength() const;

	// B_OK when there is at least one range, the lengths are not
	// negative, the ranges ascend without overlapping and all lie in a
	// text of textLength bytes; B_BAD_VALUE otherwise.
			status_t			Check(int32 textLength) const;

	// The new bytes of the span, built from the text the ranges lie in:
	// the bytes between the ranges as they are, the ranges' new bytes
	// in their place. bytes holds that text from textOffset on, at least
	// up to SpanEnd(). B_NO_MEMORY when the span cannot be held; the
	// splice must have passed Check().
			status_t			Build(const char* bytes, int32 textOffset,
									std::string& _span) const;
	// The old bytes of every range, one after the other, read from the
	// text the ranges lie in.
			status_t			CopyOldBytes(const char* text,
									std::string& _pieces) const;

private:
			// Added to every start.
			int32				fBase = 0;
			const int32*		fOffsets;
			int32				fCount;
			int32				fShift;
			int32				fOldLength;
			const char*			fText;
			int32				fNewLength;
			// Whether fText holds one piece per range.
			bool				fPieces;
};

}	// namespace BPrivate

#endif	// _KITS_RANGE_SPLICE_H
