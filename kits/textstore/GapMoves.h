/*
 * GapMoves: the two moves of a gap array, shared by the text's gap
 * buffer (TextBuffer, of bytes) and the line index (LineIndex, of line
 * starts). A block holds `before` elements, then a gap, then the rest;
 * the elements are plain values and move with memmove.
 *
 * Threads: none; they work on the block they are given.
 */
#ifndef _KITS_GAP_MOVES_H
#define _KITS_GAP_MOVES_H

#include <SupportDefs.h>

#include <string.h>

#include <type_traits>

namespace BPrivate {

// Moves the gap of gapLength elements at gapStart so that it starts at
// `to`: the elements between the two places cross it. `to` must lie
// within the elements, 0..count of them.
template<typename T>
inline void
move_gap(T* block, int32 gapStart, int32 gapLength, int32 to)
{
	static_assert(std::is_trivially_copyable<T>::value,
		"a gap array moves its elements with memmove");
	if (to < gapStart) {
		// The elements to..gapStart-1 go to the end of the gap.
		memmove(block + to + gapLength, block + to,
			(size_t)(gapStart - to) * sizeof(T));
	} else if (to > gapStart) {
		// The elements after the gap, up to `to`, go to its start.
		memmove(block + gapStart, block + gapStart + gapLength,
			(size_t)(to - gapStart) * sizeof(T));
	}
}


// Widens the gap at gapStart from gapLength to newGapLength elements in a
// block that has just grown, by moving the `after` elements that followed
// the gap to the block's new end.
template<typename T>
inline void
widen_gap(T* block, int32 gapStart, int32 gapLength, int32 newGapLength,
	int32 after)
{
	static_assert(std::is_trivially_copyable<T>::value,
		"a gap array moves its elements with memmove");
	memmove(block + gapStart + newGapLength, block + gapStart + gapLength,
		(size_t)after * sizeof(T));
}

}	// namespace BPrivate

#endif	// _KITS_GAP_MOVES_H
