/*
 * TextMotion: character, word and line motion over a TextBuffer.
 */
#include "TextMotion.h"

#include "GraphemeBreak.h"
#include "LineIndex.h"
#include "TextBuffer.h"
#include "UTF8Decoding.h"

#include <algorithm>

namespace BPrivate {

namespace TextMotion {


static inline int32
clamp_offset(const TextBuffer& text, int32 offset)
{
	return std::clamp(offset, (int32)0, text.Length());
}


static inline bool
is_continuation(char byte)
{
	return ((uint8)byte & 0xC0) == 0x80;
}


// Decodes the character starting at offset; the bytes come out of the
// buffer one by one, as the gap may split them.
static int32
decode_at(const TextBuffer& text, int32 offset, uint32& _codePoint)
{
	char bytes[4];
	int32 available = std::min((int32)4, text.Length() - offset);
	for (int32 i = 0; i < available; i++)
		bytes[i] = text.ByteAt(offset + i);
	return DecodeUTF8(bytes, available, _codePoint);
}


int32
CharStart(const TextBuffer& text, int32 offset)
{
	offset = clamp_offset(text, offset);
	if (offset == text.Length() || !is_continuation(text.ByteAt(offset)))
		return offset;

	// Only a byte that is not a continuation byte can start a sequence,
	// and every such byte is a character boundary; a continuation byte
	// belongs to the sequence of the nearest one before it if that
	// sequence is well-formed and reaches this far, or else stands alone.
	for (int32 start = offset - 1; start >= 0 && start >= offset - 3;
			start--) {
		if (is_continuation(text.ByteAt(start)))
			continue;
		uint32 codePoint;
		int32 length = decode_at(text, start, codePoint);
		return start + length > offset ? start : offset;
	}
	return offset;
}


int32
CharLength(const TextBuffer& text, int32 offset)
{
	offset = clamp_offset(text, offset);
	if (offset == text.Length())
		return 0;
	uint32 codePoint;
	return decode_at(text, offset, codePoint);
}


int32
NextChar(const TextBuffer& text, int32 offset)
{
	int32 start = CharStart(text, offset);
	return start + CharLength(text, start);
}


int32
PreviousChar(const TextBuffer& text, int32 offset)
{
	offset = clamp_offset(text, offset);
	if (offset == 0)
		return 0;
	return CharStart(text, offset - 1);
}


// The bytes around an offset that the cluster rules may look at, copied
// out of the gap buffer into one block.
class ClusterWindow {
public:
	ClusterWindow(const TextBuffer& text, int32 offset)
	{
		// Backspace looks behind a whole cluster before the one it takes
		// apart, so the window reaches two look-behinds either way.
		const int32 kReach = 2 * kGraphemeLookBehind + 4;
		offset = clamp_offset(text, offset);
		fStart = std::max((int32)0, offset - kReach);
		int32 end = std::min(text.Length(), offset + kReach);
		fLength = text.GetText(fStart, end - fStart, fBytes);
	}

	int32 Start() const { return fStart; }
	const char* Bytes() const { return fBytes; }
	int32 Length() const { return fLength; }

private:
	int32	fStart;
	int32	fLength;
	char	fBytes[2 * (2 * kGraphemeLookBehind + 4)];
};


// Applies one of GraphemeBreak's functions to the bytes around offset.
static int32
in_window(const TextBuffer& text, int32 offset,
	int32 (*function)(const char*, int32, int32))
{
	ClusterWindow window(text, offset);
	return window.Start() + function(window.Bytes(), window.Length(),
		offset - window.Start());
}


static inline bool
is_ascii(char byte)
{
	return (uint8)byte < 0x80;
}


// Whether the two bytes around offset are plain ASCII that the cluster
// rules always break between (everything but CR LF).
static inline bool
ascii_boundary(const TextBuffer& text, int32 offset)
{
	if (offset <= 0 || offset >= text.Length())
		return true;
	char before = text.ByteAt(offset - 1);
	char after = text.ByteAt(offset);
	return is_ascii(before) && is_ascii(after)
		&& !(before == '\r' && after == '\n');
}


int32
ClusterStart(const TextBuffer& text, int32 offset)
{
	offset = clamp_offset(text, offset);
	if (ascii_boundary(text, offset))
		return offset;
	return in_window(text, offset, GraphemeStart);
}


int32
ClusterEnd(const TextBuffer& text, int32 offset)
{
	int32 start = ClusterStart(text, offset);
	return start == clamp_offset(text, offset) ? start
		: NextCluster(text, start);
}


int32
NextCluster(const TextBuffer& text, int32 offset)
{
	offset = clamp_offset(text, offset);
	if (offset == text.Length())
		return offset;
	if (is_ascii(text.ByteAt(offset)) && ascii_boundary(text, offset)
		&& ascii_boundary(text, offset + 1))
		return offset + 1;
	return in_window(text, offset, NextGraphemeBoundary);
}


int32
PreviousCluster(const TextBuffer& text, int32 offset)
{
	offset = clamp_offset(text, offset);
	if (offset == 0)
		return 0;
	if (is_ascii(text.ByteAt(offset - 1)) && ascii_boundary(text, offset)
		&& ascii_boundary(text, offset - 1))
		return offset - 1;
	return in_window(text, offset, PreviousGraphemeBoundary);
}


int32
BackspaceStart(const TextBuffer& text, int32 offset)
{
	offset = clamp_offset(text, offset);
	if (offset == 0)
		return 0;
	return in_window(text, offset, GraphemeBackspaceStart);
}


bool
IsWordCharacter(const TextBuffer& text, int32 offset)
{
	int32 start = CharStart(text, offset);
	if (start >= text.Length())
		return false;
	uint32 codePoint;
	int32 length = decode_at(text, start, codePoint);
	if (length > 1)
		return true;
	if (codePoint >= 0x80)
		return false;
	char byte = (char)codePoint;
	return (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z')
		|| (byte >= '0' && byte <= '9') || byte == '_';
}


int32
NextWord(const TextBuffer& text, int32 offset)
{
	offset = CharStart(text, offset);
	int32 length = text.Length();
	while (offset < length && !IsWordCharacter(text, offset))
		offset = NextChar(text, offset);
	while (offset < length && IsWordCharacter(text, offset))
		offset = NextChar(text, offset);
	return offset;
}


int32
PreviousWord(const TextBuffer& text, int32 offset)
{
	offset = CharStart(text, offset);
	while (offset > 0
		&& !IsWordCharacter(text, PreviousChar(text, offset))) {
		offset = PreviousChar(text, offset);
	}
	while (offset > 0 && IsWordCharacter(text, PreviousChar(text, offset)))
		offset = PreviousChar(text, offset);
	return offset;
}


static bool
is_blank(const TextBuffer& text, int32 offset)
{
	char byte = text.ByteAt(offset);
	return offset < text.Length() && (byte == ' ' || byte == '\t');
}


void
WordAt(const TextBuffer& text, int32 offset, int32& _start, int32& _end)
{
	offset = CharStart(text, offset);
	int32 length = text.Length();
	if (offset == length && offset > 0
		&& IsWordCharacter(text, PreviousChar(text, offset))) {
		offset = PreviousChar(text, offset);
	}
	if (offset == length) {
		_start = _end = offset;
		return;
	}

	int32 start = offset;
	int32 end = NextCluster(text, offset);
	if (IsWordCharacter(text, offset)) {
		while (start > 0 && IsWordCharacter(text, PreviousChar(text, start)))
			start = PreviousChar(text, start);
		while (end < length && IsWordCharacter(text, end))
			end = NextChar(text, end);
	} else if (is_blank(text, offset)) {
		while (start > 0 && is_blank(text, start - 1))
			start--;
		while (end < length && is_blank(text, end))
			end++;
	}
	_start = ClusterStart(text, start);
	_end = ClusterEnd(text, end);
}


int32
LineStart(const LineIndex& lines, int32 offset)
{
	return lines.OffsetAt(lines.LineAt(offset));
}


int32
LineEnd(const LineIndex& lines, int32 offset)
{
	return lines.LineEnd(lines.LineAt(offset));
}

}	// namespace TextMotion

}	// namespace BPrivate
