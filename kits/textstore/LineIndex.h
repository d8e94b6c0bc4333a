/*
 * LineIndex: where each hard line of a text view's text starts.
 *
 * Lines are split after '\n' only; CR is an ordinary byte. A text ending
 * in '\n' has an empty last line, and an empty text has one line.
 *
 * The starts are kept in a gap array: the gap sits after the line of the
 * last edit, and the starts after the gap are stored without the length
 * change of the edits since they were moved there (one pending delta
 * applies to all of them). An edit therefore costs the lines it adds or
 * removes plus the lines between it and the previous edit, which is
 * small while the user types in one place; LineAt() is a binary search.
 *
 * Threads: none of its own; the text view's window thread uses it.
 * Owns: the array of starts.
 */
#ifndef _KITS_LINE_INDEX_H
#define _KITS_LINE_INDEX_H

#include <SupportDefs.h>

#include <vector>

namespace BPrivate {

class LineIndex {
public:
								LineIndex();

	// Indexes a whole text anew.
			status_t			SetTo(const char* text, int32 length);
	// Exchanges the indexes of two texts.
			void				Swap(LineIndex& other);

	// Follows an insertion of length bytes at offset into the text the
	// index describes. B_BAD_VALUE for an offset outside 0..TextLength(),
	// a negative length or NULL bytes; the index is unchanged on error.
			status_t			Insert(int32 offset, const char* bytes,
									int32 length);
	// Follows the removal of the bytes from..to-1. B_BAD_VALUE unless
	// 0 <= from <= to <= TextLength().
			status_t			Remove(int32 from, int32 to);

			int32				TextLength() const
									{ return fTextLength; }
	// At least 1.
			int32				CountLines() const
									{ return fCount; }
	// The line that holds offset: 0 for negative offsets, the last line
	// for offsets at or past the end.
			int32				LineAt(int32 offset) const;
	// Where line starts: 0 for negative lines, TextLength() for lines at
	// or past CountLines().
			int32				OffsetAt(int32 line) const;
	// Where line ends: the offset of its '\n', or TextLength() for the
	// last line. Clamped like OffsetAt().
			int32				LineEnd(int32 line) const;
	// The starts of count lines from line on, clamped like OffsetAt(), in
	// _starts, which must hold count entries: one call for many lines.
			void				GetStarts(int32 line, int32 count,
									int32* _starts) const;

private:
			int32				_StartAt(int32 line) const
									{
										return line < fGapStart
											? fStarts[line]
											: (int32)((uint32)fStarts[line
												+ _GapLength()]
												+ (uint32)fDelta);
									}
			int32				_GapLength() const
									{ return (int32)fStarts.size() - fCount; }
			void				_MoveGapTo(int32 line);
	static	void				_AddTo(int32* starts, int32 count,
									uint32 delta);
			status_t			_Append(const char* bytes, int32 length);
			status_t			_MakeRoom(int32 count);

			// The starts before the gap are absolute; those after it are
			// stored minus fDelta, modulo 2^32 so that a delta that drifted
			// far from zero still gives back the right start.
			std::vector<int32>	fStarts;
			int32				fCount;
			// The gap is fStarts[fGapStart .. fGapStart + _GapLength() - 1].
			int32				fGapStart;
			int32				fDelta;
			int32				fTextLength;
};

}	// namespace BPrivate

#endif	// _KITS_LINE_INDEX_H
