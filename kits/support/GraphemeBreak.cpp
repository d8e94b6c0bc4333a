/*
 * GraphemeBreak: Unicode's extended grapheme cluster rules over UTF-8.
 *
 * The character properties come from ICU's tables; the rules themselves
 * are applied here, so that bytes which are not UTF-8 can take part as
 * characters of their own.
 */
#include "GraphemeBreak.h"

#include "UTF8Decoding.h"

#include <unicode/uchar.h>

#include <algorithm>

namespace BPrivate {

namespace {

// What the rules need to know of a character: its grapheme cluster break
// property, with Extended_Pictographic folded in as a kind of its own.
enum grapheme_kind {
	KIND_OTHER,
	KIND_CR,
	KIND_LF,
	KIND_CONTROL,
	KIND_EXTEND,
	KIND_ZWJ,
	KIND_REGIONAL_INDICATOR,
	KIND_PREPEND,
	KIND_SPACING_MARK,
	KIND_L,
	KIND_V,
	KIND_T,
	KIND_LV,
	KIND_LVT,
	KIND_PICTOGRAPHIC
};

enum pair_decision {
	PAIR_BREAK,
	PAIR_KEEP,
	// Decided by what comes before the pair: a joiner after an emoji, or
	// the parity of a run of regional indicators.
	PAIR_CONTEXT
};

struct grapheme_char {
	grapheme_kind	kind;
	int32			length;
	uint32			codePoint;
};


grapheme_kind
kind_of(uint32 c)
{
	if (c < 0x80) {
		if (c == '\r')
			return KIND_CR;
		if (c == '\n')
			return KIND_LF;
		return c < 0x20 || c == 0x7F ? KIND_CONTROL : KIND_OTHER;
	}
	switch (u_getIntPropertyValue(c, UCHAR_GRAPHEME_CLUSTER_BREAK)) {
		case U_GCB_CR:
			return KIND_CR;
		case U_GCB_LF:
			return KIND_LF;
		case U_GCB_CONTROL:
			return KIND_CONTROL;
		case U_GCB_EXTEND:
			return KIND_EXTEND;
		case U_GCB_ZWJ:
			return KIND_ZWJ;
		case U_GCB_REGIONAL_INDICATOR:
			return KIND_REGIONAL_INDICATOR;
		case U_GCB_PREPEND:
			return KIND_PREPEND;
		case U_GCB_SPACING_MARK:
			return KIND_SPACING_MARK;
		case U_GCB_L:
			return KIND_L;
		case U_GCB_V:
			return KIND_V;
		case U_GCB_T:
			return KIND_T;
		case U_GCB_LV:
			return KIND_LV;
		case U_GCB_LVT:
			return KIND_LVT;
		default:
			return u_hasBinaryProperty(c, UCHAR_EXTENDED_PICTOGRAPHIC)
				? KIND_PICTOGRAPHIC : KIND_OTHER;
	}
}


grapheme_char
char_at(const char* text, int32 length, int32 offset)
{
	grapheme_char result;
	result.length = DecodeUTF8(text + offset,
		std::min((int32)4, length - offset), result.codePoint);
	// A byte that is not UTF-8 stands alone, as a control character does.
	if (result.length == 1 && (uint8)text[offset] >= 0x80)
		result.kind = KIND_CONTROL;
	else
		result.kind = kind_of(result.codePoint);
	return result;
}


inline bool
is_continuation(char byte)
{
	return ((uint8)byte & 0xC0) == 0x80;
}


// The start of the character that holds the byte at offset (< length).
int32
char_start(const char* text, int32 length, int32 offset)
{
	if (!is_continuation(text[offset]))
		return offset;
	for (int32 start = offset - 1; start >= 0 && start >= offset - 3;
			start--) {
		if (is_continuation(text[start]))
			continue;
		uint32 codePoint;
		int32 span = DecodeUTF8(text + start,
			std::min((int32)4, length - start), codePoint);
		return start + span > offset ? start : offset;
	}
	return offset;
}


// The rules that look only at the two characters either side.
pair_decision
decide_pair(grapheme_kind before, grapheme_kind after)
{
	if (before == KIND_CR && after == KIND_LF)
		return PAIR_KEEP;
	if (before == KIND_CR || before == KIND_LF || before == KIND_CONTROL
		|| after == KIND_CR || after == KIND_LF || after == KIND_CONTROL)
		return PAIR_BREAK;
	if (before == KIND_L && (after == KIND_L || after == KIND_V
			|| after == KIND_LV || after == KIND_LVT))
		return PAIR_KEEP;
	if ((before == KIND_LV || before == KIND_V)
		&& (after == KIND_V || after == KIND_T))
		return PAIR_KEEP;
	if ((before == KIND_LVT || before == KIND_T) && after == KIND_T)
		return PAIR_KEEP;
	if (after == KIND_EXTEND || after == KIND_ZWJ
		|| after == KIND_SPACING_MARK || before == KIND_PREPEND)
		return PAIR_KEEP;
	if (before == KIND_ZWJ && after == KIND_PICTOGRAPHIC)
		return PAIR_CONTEXT;
	if (before == KIND_REGIONAL_INDICATOR
		&& after == KIND_REGIONAL_INDICATOR)
		return PAIR_CONTEXT;
	return PAIR_BREAK;
}


// What the context rules remember while the text is read forward.
class ForwardScan {
public:
	explicit ForwardScan(grapheme_kind first)
		:
		fPrevious(first),
		fRegionalRun(first == KIND_REGIONAL_INDICATOR ? 1 : 0),
		fInEmoji(first == KIND_PICTOGRAPHIC),
		fJoinedEmoji(false)
	{
	}

	// Whether a boundary lies before the next character; moves past it.
	bool BreaksBefore(grapheme_kind next)
	{
		pair_decision decision = decide_pair(fPrevious, next);
		bool breaks = decision == PAIR_BREAK;
		if (decision == PAIR_CONTEXT) {
			breaks = next == KIND_PICTOGRAPHIC ? !fJoinedEmoji
				: fRegionalRun % 2 == 0;
		}

		fRegionalRun = next == KIND_REGIONAL_INDICATOR
			? fRegionalRun + 1 : 0;
		fJoinedEmoji = next == KIND_ZWJ && fInEmoji;
		if (next == KIND_PICTOGRAPHIC)
			fInEmoji = true;
		else if (next != KIND_EXTEND)
			fInEmoji = false;
		fPrevious = next;
		return breaks;
	}

private:
	grapheme_kind	fPrevious;
	// Regional indicators in a row, up to and including fPrevious.
	int32			fRegionalRun;
	// Whether fPrevious ends an emoji followed by zero or more extenders.
	bool			fInEmoji;
	// Whether fPrevious is a joiner right after such an emoji.
	bool			fJoinedEmoji;
};


// A character boundary at or before offset that is surely a cluster
// boundary: one where the two characters around it break whatever comes
// before them, or the start of the text, or the look-behind limit.
int32
safe_start(const char* text, int32 length, int32 offset)
{
	int32 at = char_start(text, length, offset);
	while (at > 0 && offset - at < kGraphemeLookBehind) {
		int32 before = char_start(text, length, at - 1);
		grapheme_kind previous = char_at(text, length, before).kind;
		grapheme_kind next = char_at(text, length, at).kind;
		if (decide_pair(previous, next) == PAIR_BREAK)
			return at;
		at = before;
	}
	return at;
}


// The last boundary at or before offset and the first one after it, for
// 0 <= offset < length.
void
bracket(const char* text, int32 length, int32 offset, int32& _before,
	int32& _after)
{
	int32 at = safe_start(text, length, offset);
	grapheme_char current = char_at(text, length, at);
	ForwardScan scan(current.kind);
	int32 before = at;
	at += current.length;
	while (at < length && at - offset < kGraphemeLookBehind) {
		current = char_at(text, length, at);
		if (scan.BreaksBefore(current.kind)) {
			if (at > offset)
				break;
			before = at;
		}
		at += current.length;
	}
	_before = before;
	_after = at;
}


inline int32
clamp_offset(int32 length, int32 offset)
{
	return std::clamp(offset, (int32)0, std::max(length, (int32)0));
}

}	// namespace


bool
IsGraphemeBoundary(const char* text, int32 length, int32 offset)
{
	return GraphemeStart(text, length, offset) == clamp_offset(length,
		offset);
}


int32
GraphemeStart(const char* text, int32 length, int32 offset)
{
	offset = clamp_offset(length, offset);
	if (offset == 0 || offset == length)
		return offset;
	// Plain text decides most boundaries at once: two ASCII characters
	// other than CR LF always break.
	uint8 before = (uint8)text[offset - 1];
	uint8 after = (uint8)text[offset];
	if (before < 0x80 && after < 0x80 && !(before == '\r' && after == '\n'))
		return offset;
	int32 start;
	int32 end;
	bracket(text, length, offset, start, end);
	return start;
}


int32
NextGraphemeBoundary(const char* text, int32 length, int32 offset)
{
	offset = clamp_offset(length, offset);
	if (offset == length)
		return length;
	int32 start;
	int32 end;
	bracket(text, length, offset, start, end);
	return end;
}


int32
PreviousGraphemeBoundary(const char* text, int32 length, int32 offset)
{
	offset = clamp_offset(length, offset);
	return offset == 0 ? 0 : GraphemeStart(text, length, offset - 1);
}


int32
GraphemeBackspaceStart(const char* text, int32 length, int32 offset)
{
	int32 end = GraphemeStart(text, length, offset);
	int32 start = PreviousGraphemeBoundary(text, length, end);
	grapheme_char first = char_at(text, length, start);
	if (first.kind != KIND_OTHER || start + first.length == end)
		return start;

	// Only a letter followed by nothing but marks gives up its last mark;
	// a variation selector makes an emoji of the letter (a keycap), which
	// goes as a whole.
	int32 lastMark = start;
	for (int32 at = start + first.length; at < end;) {
		grapheme_char mark = char_at(text, length, at);
		if ((mark.kind != KIND_EXTEND && mark.kind != KIND_SPACING_MARK)
			|| mark.codePoint == 0xFE0F)
			return start;
		lastMark = at;
		at += mark.length;
	}
	return lastMark;
}


bool
IsEmojiCluster(const char* text, int32 from, int32 to)
{
	bool emoji = false;
	for (int32 at = from; at < to;) {
		uint32 c;
		bool first = at == from;
		at += DecodeUTF8(text + at, std::min((int32)4, to - at), c);
		if (c == 0xFE0E)
			return false;
		if (c == 0xFE0F || u_hasBinaryProperty(c, UCHAR_EMOJI_MODIFIER)
			|| (first && u_hasBinaryProperty(c, UCHAR_EMOJI_PRESENTATION)))
			emoji = true;
	}
	return emoji;
}

}	// namespace BPrivate
