/*
 * BidiOrder: fribidi's embedding levels applied to laid-out glyphs.
 */
#include "BidiOrder.h"

#include "UTF8Decoding.h"

#include <fribidi.h>

#include <algorithm>

namespace BPrivate {

namespace {

// The glyphs of one cluster, and the embedding level of its first byte.
struct ClusterGroup {
	int32			first;
	int32			count;
	int32			offset;
	FriBidiLevel	level;
};


// The embedding level of every byte of text; empty when fribidi fails.
std::vector<FriBidiLevel>
byte_levels(const char* text, int32 length)
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
	FriBidiParType direction = FRIBIDI_PAR_ON;
	if (fribidi_get_par_embedding_levels_ex(types.data(), brackets.data(),
			count, &direction, levels.data()) == 0) {
		return std::vector<FriBidiLevel>();
	}

	std::vector<FriBidiLevel> byteLevels(length);
	for (FriBidiStrIndex i = 0; i < count; i++) {
		int32 end = i + 1 < count ? starts[i + 1] : length;
		std::fill(byteLevels.begin() + starts[i], byteLevels.begin() + end,
			levels[i]);
	}
	return byteLevels;
}

}	// namespace


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
ReorderForDisplay(const char* text, int32 length,
	std::vector<LaidGlyph>& glyphs, std::vector<bool>& _rightToLeft)
{
	_rightToLeft.assign(glyphs.size(), false);
	std::vector<FriBidiLevel> levels = byte_levels(text, length);
	if (levels.empty() || glyphs.empty())
		return;

	// A shaper hands a right-to-left run over already reversed: first
	// every cluster goes back to the order of the text.
	std::vector<ClusterGroup> groups;
	for (int32 i = 0; i < (int32)glyphs.size(); i++) {
		int32 offset = glyphs[i].offset;
		if (!groups.empty() && groups.back().offset == offset)
			groups.back().count++;
		else {
			FriBidiLevel level = offset >= 0 && offset < length
				? levels[offset] : 0;
			groups.push_back(ClusterGroup{i, 1, offset, level});
		}
	}
	std::stable_sort(groups.begin(), groups.end(),
		[](const ClusterGroup& a, const ClusterGroup& b) {
			return a.offset < b.offset;
		});

	// Then each stretch at a level or above is reversed, from the
	// highest level down to the lowest odd one.
	FriBidiLevel highest = 0;
	FriBidiLevel lowestOdd = 0xFF;
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

	std::vector<LaidGlyph> ordered;
	ordered.reserve(glyphs.size());
	for (const ClusterGroup& group : groups) {
		for (int32 i = 0; i < group.count; i++) {
			_rightToLeft[ordered.size()] = group.level % 2 == 1;
			ordered.push_back(glyphs[group.first + i]);
		}
	}
	glyphs.swap(ordered);
}

}	// namespace BPrivate
