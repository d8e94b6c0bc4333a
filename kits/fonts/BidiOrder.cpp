/*
 * BidiOrder: fribidi's embedding levels applied to laid-out glyphs.
 */
#include "BidiOrder.h"

#include "UTF8Decoding.h"

#include <fribidi.h>

#include <algorithm>

namespace BPrivate {

namespace {

// The items of one cluster, and the embedding level of its first byte.
struct ClusterGroup {
	int32			first;
	int32			count;
	int32			offset;
	uint8			level;
};

}	// namespace


int32
FirstStrongDirection(const char* text, int32 length)
{
	for (int32 at = 0; at < length;) {
		uint32 codePoint;
		at += DecodeUTF8(text + at, std::min((int32)4, length - at),
			codePoint);
		FriBidiCharType type = fribidi_get_bidi_type(codePoint);
		if (FRIBIDI_IS_LETTER(type))
			return FRIBIDI_IS_RTL(type) ? kRightToLeft : kLeftToRight;
	}
	return kNoStrongDirection;
}


std::vector<uint8>
ByteLevels(const char* text, int32 length, int32 direction)
{
	std::vector<FriBidiChar> chars;
	std::vector<int32> starts;
	for (int32 at = 0; at < length;) {
		uint32 codePoint;
		int32 bytes = DecodeUTF8(text + at, std::min((int32)4, length - at),
			codePoint);
		chars.push_back(codePoint);
		starts.push_back(at);
		at += bytes;
	}

	FriBidiStrIndex count = (FriBidiStrIndex)chars.size();
	std::vector<FriBidiCharType> types(count);
	std::vector<FriBidiBracketType> brackets(count);
	std::vector<FriBidiLevel> levels(count);
	fribidi_get_bidi_types(chars.data(), count, types.data());
	fribidi_get_bracket_types(chars.data(), count, types.data(),
		brackets.data());
	FriBidiParType base = direction == kRightToLeft ? FRIBIDI_PAR_RTL
		: direction == kLeftToRight ? FRIBIDI_PAR_LTR : FRIBIDI_PAR_ON;
	// fribidi applies rule L1 itself: segment separators (tabs) and the
	// whitespace before them and at the end go to the paragraph level.
	if (count > 0 && fribidi_get_par_embedding_levels_ex(types.data(),
			brackets.data(), count, &base, levels.data()) == 0) {
		return std::vector<uint8>();
	}

	std::vector<uint8> byteLevels(length);
	for (FriBidiStrIndex i = 0; i < count; i++) {
		int32 end = i + 1 < count ? starts[i + 1] : length;
		std::fill(byteLevels.begin() + starts[i], byteLevels.begin() + end,
			(uint8)levels[i]);
	}
	return byteLevels;
}


bool
NeedsBidiOrder(const char* text, int32 length)
{
	for (int32 at = 0; at < length;) {
		if ((uint8)text[at] < 0x80) {
			at++;
			continue;
		}
		uint32 codePoint;
		at += DecodeUTF8(text + at, std::min((int32)4, length - at),
			codePoint);
		if (FRIBIDI_IS_RTL(fribidi_get_bidi_type(codePoint)))
			return true;
	}
	return false;
}


void
DisplayOrder(const std::vector<int32>& offsets,
	const std::vector<uint8>& levels, std::vector<int32>& _order)
{
	_order.clear();
	int32 length = (int32)levels.size();

	// A shaper hands a right-to-left run over already reversed: first
	// every cluster goes back to the order of the text.
	std::vector<ClusterGroup> groups;
	for (int32 i = 0; i < (int32)offsets.size(); i++) {
		int32 offset = offsets[i];
		if (!groups.empty() && groups.back().offset == offset)
			groups.back().count++;
		else {
			uint8 level = offset >= 0 && offset < length ? levels[offset]
				: 0;
			groups.push_back(ClusterGroup{i, 1, offset, level});
		}
	}
	std::stable_sort(groups.begin(), groups.end(),
		[](const ClusterGroup& a, const ClusterGroup& b) {
			return a.offset < b.offset;
		});

	// Then each stretch at a level or above is reversed, from the
	// highest level down to the lowest odd one.
	uint8 highest = 0;
	uint8 lowestOdd = 0xFF;
	for (const ClusterGroup& group : groups) {
		highest = std::max(highest, group.level);
		if (group.level % 2 == 1)
			lowestOdd = std::min(lowestOdd, group.level);
	}
	for (int level = highest; level >= lowestOdd && level > 0; level--) {
		for (size_t i = 0; i < groups.size();) {
			if (groups[i].level < level) {
				i++;
				continue;
			}
			size_t end = i;
			while (end < groups.size() && groups[end].level >= level)
				end++;
			std::reverse(groups.begin() + i, groups.begin() + end);
			i = end;
		}
	}

	_order.reserve(offsets.size());
	for (const ClusterGroup& group : groups) {
		for (int32 i = 0; i < group.count; i++)
			_order.push_back(group.first + i);
	}
}


void
ReorderForDisplay(const char* text, int32 length,
	std::vector<LaidGlyph>& glyphs, std::vector<bool>& _rightToLeft)
{
	_rightToLeft.assign(glyphs.size(), false);
	std::vector<uint8> levels = ByteLevels(text, length, kNoStrongDirection);
	if (levels.empty() || glyphs.empty())
		return;

	std::vector<int32> offsets;
	offsets.reserve(glyphs.size());
	for (const LaidGlyph& glyph : glyphs)
		offsets.push_back(glyph.offset);
	std::vector<int32> order;
	DisplayOrder(offsets, levels, order);

	std::vector<LaidGlyph> ordered;
	ordered.reserve(glyphs.size());
	for (int32 index : order) {
		int32 offset = glyphs[index].offset;
		_rightToLeft[ordered.size()] = offset >= 0 && offset < length
			&& levels[offset] % 2 == 1;
		ordered.push_back(glyphs[index]);
	}
	glyphs.swap(ordered);
}

}	// namespace BPrivate
