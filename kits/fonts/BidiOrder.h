/*
 * BidiOrder: puts the glyphs of one laid-out line in display order by
 * the Unicode bidirectional algorithm (fribidi), so that right-to-left
 * runs (Hebrew, Arabic) read right to left and numbers and Latin words
 * inside them keep their own order.
 *
 * The line's direction is that of its first strong character, left to
 * right when it has none. The text itself is never reordered; only the
 * glyphs are, and each learns whether it belongs to a right-to-left run,
 * so that a caret can be placed on its correct side.
 *
 * Threads: any; plain functions.
 */
#ifndef _KITS_BIDI_ORDER_H
#define _KITS_BIDI_ORDER_H

#include <SupportDefs.h>

#include <vector>

#include "GlyphLayout.h"

namespace BPrivate {

// Whether text holds anything that can change the order of a line: a
// character of a right-to-left script or a right-to-left control. Plain
// ASCII is answered without decoding.
bool	NeedsBidiOrder(const char* text, int32 length);

// The direction of a paragraph of text: that of its first strong
// character. Without one, kNoStrongDirection.
enum {
	kLeftToRight = 0,
	kRightToLeft = 1,
	kNoStrongDirection = 2
};
int32	FirstStrongDirection(const char* text, int32 length);

// The embedding level of every byte of text, one line of a paragraph of
// the given direction (kNoStrongDirection: that of the line's own first
// strong character, left to right without one). Tabs are segment
// separators: they, and the spaces before them and at the end of the
// line, take the paragraph's level. Empty when fribidi fails.
std::vector<uint8>	ByteLevels(const char* text, int32 length,
						int32 direction);

// The display order of items that each stand for the bytes from
// offsets[i] on, in the levels' text: indices into offsets, left to
// right. Items of one offset (the glyphs of one cluster) stay together
// in the order they were given; items in a right-to-left run may come
// reversed, as a shaper hands them over.
void	DisplayOrder(const std::vector<int32>& offsets,
			const std::vector<uint8>& levels, std::vector<int32>& _order);

// Reorders glyphs, laid out from text[0 .. length - 1] run by run as
// GlyphLayout gives them, into display order; sets _rightToLeft[i] for
// the glyph now at i. Glyphs of one cluster stay together in the order
// the shaper gave them.
void	ReorderForDisplay(const char* text, int32 length,
			std::vector<LaidGlyph>& glyphs, std::vector<bool>& _rightToLeft);

}	// namespace BPrivate

#endif	// _KITS_BIDI_ORDER_H
