/*
 * BTextView: lines with right-to-left text. Their pieces are drawn in
 * display order (the font's layout reorders each piece), so the caret,
 * clicks and the selection take their x from the same layout instead of
 * adding up widths in the order of the text.
 */
#include <TextView.h>

#include "BidiOrder.h"
#include "FontPrivate.h"
#include "TextViewData.h"
#include "VisualLine.h"

#include <limits>
#include <vector>

using BPrivate::GlyphPlacement;
using BPrivate::VisualCluster;
using BPrivate::VisualLine;

namespace {

// Whether the bytes from .. to - 1 of text could hold right-to-left
// text: ASCII never does, and is skipped a piece at a time.
bool
may_need_order(const BPrivate::TextBuffer& text, int32 from, int32 to)
{
	for (int32 at = from; at < to;) {
		const char* piece;
		int32 length = text.PieceAt(at, to - at, piece);
		if (length <= 0)
			return false;
		for (int32 i = 0; i < length; i++) {
			if ((uint8)piece[i] >= 0x80)
				return true;
		}
		at += length;
	}
	return false;
}

}	// namespace


const VisualLine*
BTextView::_VisualLineOf(int32 line) const
{
	BPrivate::WrapLayout& layout = *fData->layout;
	int32 start = layout.LayoutLineStart(line);
	int32 end = layout.LayoutLineEnd(line);
	if (fData->visualStart == start && fData->visualEnd == end)
		return fData->visual.get();

	fData->visualStart = start;
	fData->visualEnd = end;
	fData->visual.reset();
	if (!may_need_order(fData->text, start, end))
		return NULL;
	std::string bytes = fData->text.GetText(start, end - start);
	if (!BPrivate::NeedsBidiOrder(bytes.data(), (int32)bytes.size()))
		return NULL;

	std::unique_ptr<VisualLine> visual(new VisualLine(start, end));
	std::vector<GlyphPlacement> glyphs;
	_ForEachPiece(line, -std::numeric_limits<float>::infinity(),
		std::numeric_limits<float>::infinity(),
		[&](int32 from, int32 to, float x) {
			BFont::Private(fData->font).LayoutText(
				bytes.data() + from - start, to - from, glyphs);
			for (const GlyphPlacement& glyph : glyphs) {
				visual->Add(VisualCluster{from + glyph.offset, glyph.length,
					x + glyph.x, glyph.width, glyph.rightToLeft});
			}
		},
		[&](int32 offset, int32 length, float x, float width) {
			visual->Add(VisualCluster{offset, length, x, width, false});
		});
	fData->visual = std::move(visual);
	return fData->visual.get();
}
