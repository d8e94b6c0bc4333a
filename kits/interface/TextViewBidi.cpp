/*
 * BTextView: shaped lines. A layout line that is not plain ASCII is laid
 * out once as a whole: its stretches between tabs and control characters
 * shaped with the font (so Arabic letters join, marks sit on their
 * letters and conjuncts form), the whole line put in display order by the
 * bidirectional algorithm in the direction of its paragraph, and every
 * glyph given its x. Drawing draws those glyphs, and the caret, clicks,
 * the selection and the line's width take their x from the same place,
 * so what is measured is what is drawn. Plain ASCII keeps its fast path:
 * its x is the sum of its characters' widths, which its glyphs have too.
 */
#include <TextView.h>

#include "BidiOrder.h"
#include "FontPrivate.h"
#include "TextMotion.h"
#include "TextViewData.h"
#include "VisualLine.h"

#include <math.h>

#include <algorithm>
#include <vector>

using BPrivate::GlyphPlacement;
using BPrivate::VisualCluster;
using BPrivate::VisualLine;
using BPrivate::shaped_line;
namespace TextMotion = BPrivate::TextMotion;

namespace {

// The most bytes shaped in one call: a stretch of text between tabs is
// cut at a cluster boundary into pieces of this size.
const int32 kShapedPieceBytes = 512;

// Lines longer than this (only without wrapping) are not shaped whole:
// they keep the sum of their characters' widths.
const int32 kMaxShapedLineBytes = 16384;

// How far back the first strong character of a paragraph is looked for.
const int32 kDirectionScanBytes = 65536;

// How many shaped lines are kept: more than any screen shows.
const size_t kShapedLinesKept = 512;


// Whether the bytes from .. to - 1 of text hold anything but ASCII,
// looked at a piece at a time.
bool
has_non_ascii(const BPrivate::TextBuffer& text, int32 from, int32 to)
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


// One thing a line shows, in the order of the text: a glyph, a tab or a
// stand-in for a control character.
struct line_item {
	int32			offset;
	int32			length;
	float			width;
	// The glyph's index in shaped_line::glyphs, or -1.
	int32			glyph;
	bool			tab;
};

}	// namespace


const shaped_line*
BTextView::_ShapedLineOf(int32 line) const
{
	BPrivate::WrapLayout& layout = *fData->layout;
	BPrivate::TextBuffer& text = fData->text;
	int32 start = layout.LayoutLineStart(line);
	int32 end = layout.LayoutLineEnd(line);
	// Only lines found to need shaping are kept, and an edit drops the
	// lines it touches: a kept line is answered without a look at its
	// bytes.
	auto& cache = fData->shapedLines;
	auto found = cache.find(start);
	if (found != cache.end() && found->second->end == end)
		return found->second.get();
	if (end - start > kMaxShapedLineBytes || !has_non_ascii(text, start, end))
		return NULL;

	fData->linesShaped++;
	std::string bytes = text.GetText(start, end - start);
	std::unique_ptr<shaped_line> shaped(new shaped_line(start, end));

	// The paragraph's direction is that of its first strong character,
	// which may lie on an earlier layout line of the same hard line.
	int32 paragraph = TextMotion::LineStart(fData->lines, start);
	int32 direction = BPrivate::kNoStrongDirection;
	if (paragraph < start) {
		int32 from = std::max(paragraph, start - kDirectionScanBytes);
		std::string before = text.GetText(from, start - from);
		direction = BPrivate::FirstStrongDirection(before.data(),
			(int32)before.size());
	}
	if (direction == BPrivate::kNoStrongDirection) {
		direction = BPrivate::FirstStrongDirection(bytes.data(),
			(int32)bytes.size());
	}
	bool rightToLeft = direction == BPrivate::kRightToLeft;

	// Everything the line shows, in the order of the text.
	std::vector<line_item> items;
	std::vector<GlyphPlacement>& glyphs = shaped->glyphs;
	std::vector<GlyphPlacement> placed;
	auto shape = [&](int32 from, int32 to) {
		for (int32 at = from; at < to;) {
			int32 count = std::min(to - at, kShapedPieceBytes);
			// A mark shaped apart from its letter would not sit on it.
			if (at + count < to) {
				int32 cut = TextMotion::ClusterStart(text, at + count);
				if (cut > at)
					count = cut - at;
			}
			BFont::Private(fData->font).LayoutLogical(
				bytes.data() + at - start, count, placed);
			for (GlyphPlacement& glyph : placed) {
				glyph.offset += at;
				items.push_back(line_item{glyph.offset, glyph.length,
					glyph.width, (int32)glyphs.size(), false});
				glyphs.push_back(glyph);
			}
			at += count;
		}
	};
	int32 runStart = start;
	for (int32 at = start; at < end;) {
		int32 length = std::min(TextMotion::CharLength(text, at), end - at);
		if (length <= 0)
			break;
		const char* character = bytes.data() + at - start;
		BPrivate::display_char shown = BPrivate::classify_char_bytes(
			character, length, fData->controlPictures);
		bool tab = character[0] == '\t' && fData->tabWidth > 0;
		if (tab || shown.placeholder != NULL || shown.markedByte >= 0) {
			shape(runStart, at);
			items.push_back(line_item{at, length,
				tab ? 0 : layout.CharWidth(at, length, 0), -1, tab});
			runStart = at + length;
		}
		at += length;
	}
	shape(runStart, end);

	// Display order, by the levels of the whole line: tabs are segment
	// separators at the paragraph's level, so the stretches between them
	// follow the paragraph's direction.
	std::vector<bool> odd(items.size(), false);
	if (rightToLeft || BPrivate::NeedsBidiOrder(bytes.data(),
			(int32)bytes.size())) {
		std::vector<uint8> levels = BPrivate::ByteLevels(bytes.data(),
			(int32)bytes.size(), direction);
		if (!levels.empty()) {
			std::vector<int32> offsets;
			offsets.reserve(items.size());
			for (const line_item& item : items)
				offsets.push_back(item.offset - start);
			std::vector<int32> order;
			BPrivate::DisplayOrder(offsets, levels, order);
			std::vector<line_item> ordered;
			ordered.reserve(items.size());
			for (size_t i = 0; i < order.size(); i++) {
				ordered.push_back(items[order[i]]);
				odd[i] = levels[offsets[order[i]]] % 2 == 1;
			}
			items.swap(ordered);
		}
	}

	// x from the left, or, in a right-to-left paragraph, from the right:
	// tab stops count from the side the paragraph starts on.
	float travelled = 0;
	std::vector<float> along(items.size());
	for (size_t n = 0; n < items.size(); n++) {
		size_t i = rightToLeft ? items.size() - 1 - n : n;
		line_item& item = items[i];
		if (item.tab)
			item.width = layout.CharWidth(item.offset, item.length,
				travelled);
		along[i] = travelled;
		travelled += item.width;
	}
	shaped->width = travelled;
	for (size_t i = 0; i < items.size(); i++) {
		const line_item& item = items[i];
		float x = rightToLeft ? travelled - along[i] - item.width : along[i];
		VisualCluster cluster{item.offset, item.length, x, item.width,
			odd[i]};
		shaped->visual.Add(cluster);
		if (item.glyph >= 0) {
			glyphs[item.glyph].x = x;
			glyphs[item.glyph].rightToLeft = odd[i];
		} else if (!item.tab)
			shaped->standIns.push_back(cluster);
	}

	// Kept while near what is being looked at.
	shaped_line* result = shaped.get();
	cache[start] = std::move(shaped);
	while (cache.size() > kShapedLinesKept) {
		if (start - cache.begin()->first > cache.rbegin()->first - start)
			cache.erase(cache.begin());
		else
			cache.erase(std::prev(cache.end()));
	}
	return result;
}


const VisualLine*
BTextView::_VisualLineOf(int32 line) const
{
	const shaped_line* shaped = _ShapedLineOf(line);
	return shaped != NULL ? &shaped->visual : NULL;
}


int32
BTextView::_SnapToShaped(int32 offset, bool forward) const
{
	const VisualLine* visual = _VisualLineOf(
		fData->layout->LayoutLineAt(offset));
	int32 start;
	int32 end;
	if (visual == NULL || !visual->ClusterAround(offset, start, end)
		|| offset == start) {
		return offset;
	}
	return forward ? end : start;
}


void
BTextView::_TextShifted(int32 from, int32 oldTo, int32 newTo)
{
	auto& cache = fData->shapedLines;
	if (cache.empty())
		return;
	// The lines after the edit in its own hard line may change direction
	// with it.
	int32 paragraphEnd = TextMotion::LineEnd(fData->lines, newTo);
	int32 delta = newTo - oldTo;
	std::map<int32, std::unique_ptr<shaped_line> > kept;
	for (auto& entry : cache) {
		int32 start = entry.first;
		shaped_line& shaped = *entry.second;
		if (shaped.end < from) {
			kept.emplace(start, std::move(entry.second));
			continue;
		}
		if (start <= oldTo || start + delta <= paragraphEnd)
			continue;
		shaped.end += delta;
		shaped.visual.Shift(delta);
		for (GlyphPlacement& glyph : shaped.glyphs)
			glyph.offset += delta;
		for (VisualCluster& standIn : shaped.standIns)
			standIn.offset += delta;
		kept.emplace(start + delta, std::move(entry.second));
	}
	cache.swap(kept);
}
