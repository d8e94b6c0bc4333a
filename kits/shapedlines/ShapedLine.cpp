/*
 * Shaped lines of the text store. ShapedLine.h describes the steps.
 */
#include "ShapedLine.h"

#include "BidiOrder.h"
#include "FontPrivate.h"
#include "LineIndex.h"
#include "TextBuffer.h"
#include "TextMotion.h"
#include "WrapLayout.h"

#include <algorithm>

namespace TextMotion = BPrivate::TextMotion;


namespace BPrivate {

namespace {

// Whether the bytes from .. to - 1 of text hold anything but ASCII,
// looked at a piece at a time.
bool
has_non_ascii(const TextBuffer& text, int32 from, int32 to)
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


void
shaped_line::Shift(int32 delta)
{
	end += delta;
	visual.Shift(delta);
	for (GlyphPlacement& glyph : glyphs)
		glyph.offset += delta;
	for (VisualCluster& standIn : standIns)
		standIn.offset += delta;
}


bool
NeedsShaping(const TextBuffer& text, int32 start, int32 end)
{
	return end - start <= kMaxShapedLineBytes
		&& has_non_ascii(text, start, end);
}


int32
ParagraphDirection(const TextBuffer& text, const LineIndex& lines,
	int32 start, const std::string& bytes)
{
	int32 paragraph = TextMotion::LineStart(lines, start);
	int32 direction = kNoStrongDirection;
	if (paragraph < start) {
		int32 from = std::max(paragraph, start - kDirectionScanBytes);
		std::string before = text.GetText(from, start - from);
		direction = FirstStrongDirection(before.data(),
			(int32)before.size());
	}
	if (direction == kNoStrongDirection)
		direction = FirstStrongDirection(bytes.data(), (int32)bytes.size());
	return direction;
}


void
ItemizeLine(const line_source& source, int32 start, const std::string& bytes,
	std::vector<line_item>& _items, std::vector<GlyphPlacement>& _glyphs)
{
	const TextBuffer& text = source.text;
	int32 end = start + (int32)bytes.size();
	_items.clear();
	_glyphs.clear();
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
			BFont::Private(source.font).LayoutLogical(
				bytes.data() + at - start, count, placed);
			for (GlyphPlacement& glyph : placed) {
				glyph.offset += at;
				_items.push_back(line_item{glyph.offset, glyph.length,
					glyph.width, (int32)_glyphs.size(), false});
				_glyphs.push_back(glyph);
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
		bool tab = character[0] == '\t' && source.tabStops;
		if (tab || source.standsApart(character, length)) {
			shape(runStart, at);
			_items.push_back(line_item{at, length,
				tab ? 0 : source.layout.CharWidth(at, length, 0), -1, tab});
			runStart = at + length;
		}
		at += length;
	}
	shape(runStart, end);
}


void
OrderForDisplay(const std::string& bytes, int32 start, int32 direction,
	std::vector<line_item>& items, std::vector<bool>& _rightToLeft)
{
	_rightToLeft.assign(items.size(), false);
	if (direction != kRightToLeft
		&& !NeedsBidiOrder(bytes.data(), (int32)bytes.size())) {
		return;
	}
	std::vector<uint8> levels = ByteLevels(bytes.data(), (int32)bytes.size(),
		direction);
	if (levels.empty())
		return;
	std::vector<int32> offsets;
	offsets.reserve(items.size());
	for (const line_item& item : items)
		offsets.push_back(item.offset - start);
	std::vector<int32> order;
	DisplayOrder(offsets, levels, order);
	std::vector<line_item> ordered;
	ordered.reserve(items.size());
	for (size_t i = 0; i < order.size(); i++) {
		ordered.push_back(items[order[i]]);
		_rightToLeft[i] = levels[offsets[order[i]]] % 2 == 1;
	}
	items.swap(ordered);
}


void
PlaceItems(WrapLayout& layout, bool rightToLeft, std::vector<line_item>& items,
	const std::vector<bool>& rightToLeftItems, shaped_line& shaped)
{
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
	shaped.width = travelled;
	for (size_t i = 0; i < items.size(); i++) {
		const line_item& item = items[i];
		float x = rightToLeft ? travelled - along[i] - item.width : along[i];
		VisualCluster cluster{item.offset, item.length, x, item.width,
			rightToLeftItems[i]};
		shaped.visual.Add(cluster);
		if (item.glyph >= 0) {
			shaped.glyphs[item.glyph].x = x;
			shaped.glyphs[item.glyph].rightToLeft = rightToLeftItems[i];
		} else if (!item.tab)
			shaped.standIns.push_back(cluster);
	}
}


std::unique_ptr<shaped_line>
ShapeLine(const line_source& source, int32 start, int32 end)
{
	std::string bytes = source.text.GetText(start, end - start);
	std::unique_ptr<shaped_line> shaped(new shaped_line(start, end));
	int32 direction = ParagraphDirection(source.text, source.lines, start,
		bytes);
	std::vector<line_item> items;
	ItemizeLine(source, start, bytes, items, shaped->glyphs);
	std::vector<bool> rightToLeftItems;
	OrderForDisplay(bytes, start, direction, items, rightToLeftItems);
	PlaceItems(source.layout, direction == kRightToLeft, items,
		rightToLeftItems, *shaped);
	return shaped;
}

}	// namespace BPrivate
