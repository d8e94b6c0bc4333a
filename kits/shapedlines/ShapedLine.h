/*
 * ShapedLine: a layout line of the text store that is not plain ASCII,
 * laid out once as a whole. Its stretches between tabs and control
 * characters are shaped with the font (so Arabic letters join, marks sit
 * on their letters and conjuncts form), the whole line is put in display
 * order by the bidirectional algorithm in the direction of its paragraph,
 * and every glyph gets its x. A text view draws those glyphs, and takes
 * the caret, clicks, the selection and the line's width from the same
 * place, so what is measured is what is drawn. Plain ASCII needs none of
 * this: its x is the sum of its characters' widths, which its glyphs have
 * too.
 *
 * ShapeLine() runs the steps in turn; each is a function of its own, with
 * only what it reads: the paragraph's direction, the line's items in the
 * order of the text, their display order, and their places.
 *
 * Threads: none of its own; the text view's window thread uses it.
 * Owns: nothing; it reads the text, its line index and its layout, which
 * the view owns.
 */
#ifndef _KITS_SHAPED_LINE_H
#define _KITS_SHAPED_LINE_H

#include <SupportDefs.h>

#include "FontManager.h"
#include "VisualLine.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class BFont;

namespace BPrivate {

class LineIndex;
class TextBuffer;
class WrapLayout;

// A layout line shaped and put in display order. x grows from the line's
// left edge.
struct shaped_line {
								shaped_line(int32 start, int32 end)
									: end(end), visual(start, end) {}

	// The text before the line grew or shrank by delta bytes.
			void				Shift(int32 delta);

	int32				end;
	VisualLine			visual;
	// The glyphs to draw, x their pen positions.
	std::vector<GlyphPlacement> glyphs;
	// The control characters and bytes that are not UTF-8 between them,
	// drawn as stand-ins (tabs are in visual, not here).
	std::vector<VisualCluster> standIns;
	float				width = 0;
};

// Whether the character of length bytes is drawn as a stand-in of its own
// rather than shaped with its neighbours.
typedef std::function<bool(const char* bytes, int32 length)> StandInFunction;

// What a line is shaped from.
struct line_source {
	const TextBuffer&	text;
	const LineIndex&	lines;
	// Measures tabs and stand-ins as wrapping measured them.
	WrapLayout&			layout;
	const BFont&		font;
	// Whether tabs reach to the layout's tab stops; otherwise they count
	// among the stand-ins, as standsApart says.
	bool				tabStops;
	StandInFunction		standsApart;
};

// One thing a line shows: a glyph, a tab or a stand-in for a control
// character.
struct line_item {
	int32			offset;
	int32			length;
	float			width;
	// The glyph's index in shaped_line::glyphs, or -1.
	int32			glyph;
	bool			tab;
};

// The most bytes shaped in one call: a stretch of text between tabs is
// cut at a cluster boundary into pieces of this size.
const int32 kShapedPieceBytes = 512;
// Lines longer than this (only without wrapping) are not shaped whole:
// they keep the sum of their characters' widths.
const int32 kMaxShapedLineBytes = 16384;
// How far back the first strong character of a paragraph is looked for.
const int32 kDirectionScanBytes = 65536;

// Whether the bytes from start to end - 1 are shaped: they hold
// something other than ASCII, and no more than kMaxShapedLineBytes.
bool	NeedsShaping(const TextBuffer& text, int32 start, int32 end);

// The direction of the paragraph that the layout line from start on,
// holding bytes, belongs to (see BidiOrder.h): that of its first strong
// character, which may lie on an earlier layout line of the same hard
// line, up to kDirectionScanBytes back; else that of bytes.
// kNoStrongDirection when neither has one.
int32	ParagraphDirection(const TextBuffer& text, const LineIndex& lines,
			int32 start, const std::string& bytes);

// Everything the layout line from start on, holding bytes, shows, in the
// order of the text: its stretches shaped piece by piece into _glyphs,
// their x not set yet, each glyph an item; tabs and stand-ins items of
// their own, tabs 0 wide until placed. Both lists are replaced.
void	ItemizeLine(const line_source& source, int32 start,
			const std::string& bytes, std::vector<line_item>& _items,
			std::vector<GlyphPlacement>& _glyphs);

// Puts items in display order by the levels of the whole line, from start
// on and holding bytes, in a paragraph of direction: tabs are segment
// separators at the paragraph's level, so the stretches between them
// follow the paragraph's direction. _rightToLeft[i] tells whether the
// item now at i lies in a right-to-left run. A line that nothing can
// reorder, in a paragraph that is not right to left, is left as it is.
void	OrderForDisplay(const std::string& bytes, int32 start,
			int32 direction, std::vector<line_item>& items,
			std::vector<bool>& _rightToLeft);

// Gives every item, in display order, its x: from the left, or in a
// right-to-left paragraph from the right, since tab stops count from the
// side the paragraph starts on (layout measures the tabs). Fills shaped's
// clusters, its glyphs' x and direction, its stand-ins and its width.
void	PlaceItems(WrapLayout& layout, bool rightToLeft,
			std::vector<line_item>& items,
			const std::vector<bool>& rightToLeftItems, shaped_line& shaped);

// All of the above for the layout line from start to end, which must
// need shaping.
std::unique_ptr<shaped_line> ShapeLine(const line_source& source,
	int32 start, int32 end);

}	// namespace BPrivate

#endif	// _KITS_SHAPED_LINE_H
