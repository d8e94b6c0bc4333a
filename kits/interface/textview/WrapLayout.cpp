/*
 * WrapLayout: lazy soft wrapping of hard lines into layout lines.
 */
#include "WrapLayout.h"

#include "LineIndex.h"
#include "TextBuffer.h"
#include "TextMotion.h"

#include <math.h>

#include <algorithm>

namespace BPrivate {


WrapLayout::WrapLayout(const TextBuffer& text, const LineIndex& lines,
	MeasureFunction measure)
	:
	fText(text),
	fLines(lines),
	fMeasure(std::move(measure)),
	fWrap(false),
	fWrapWidth(0),
	fTabWidth(0),
	fLineHeight(0)
{
	InvalidateAll();
}


void
WrapLayout::SetWrapping(bool wrap)
{
	fWrap = wrap;
	_Discard();
}


void
WrapLayout::SetWrapWidth(float width)
{
	fWrapWidth = isnan(width) ? 0 : width;
	_Discard();
}


void
WrapLayout::SetTabWidth(float width)
{
	fTabWidth = isnan(width) || width < 0 ? 0 : width;
	_Discard();
}


void
WrapLayout::SetLineHeight(float height)
{
	fLineHeight = isnan(height) || height < 0 ? 0 : height;
}


void
WrapLayout::InvalidateAll()
{
	std::fill(fASCIIWidths, fASCIIWidths + 128, -1.0f);
	_Discard();
}


void
WrapLayout::TextInserted(int32 offset, int32 length, int32 addedLines)
{
	(void)length;
	if (!fWrap || fCache.empty())
		return;
	int32 hardLine = fLines.LineAt(offset);
	if (hardLine >= (int32)fCache.size())
		return _Discard();
	fCache[hardLine] = HardLineLayout();
	fCache.insert(fCache.begin() + hardLine + 1, std::max(addedLines, 0),
		HardLineLayout());
	if ((int32)fPrefix.size() > hardLine + 1)
		fPrefix.resize(hardLine + 1);
}


void
WrapLayout::TextRemoved(int32 from, int32 length, int32 removedLines)
{
	(void)length;
	if (!fWrap || fCache.empty())
		return;
	int32 hardLine = fLines.LineAt(from);
	if (hardLine + std::max(removedLines, 0) >= (int32)fCache.size())
		return _Discard();
	fCache[hardLine] = HardLineLayout();
	fCache.erase(fCache.begin() + hardLine + 1,
		fCache.begin() + hardLine + 1 + std::max(removedLines, 0));
	if ((int32)fPrefix.size() > hardLine + 1)
		fPrefix.resize(hardLine + 1);
}


int32
WrapLayout::CountLayoutLines()
{
	if (!fWrap)
		return fLines.CountLines();
	return _PrefixBefore(fLines.CountLines());
}


int32
WrapLayout::LayoutLineAt(int32 offset)
{
	offset = std::clamp(offset, (int32)0, fText.Length());
	int32 hardLine = fLines.LineAt(offset);
	if (!fWrap)
		return hardLine;

	int32 relative = offset - fLines.OffsetAt(hardLine);
	HardLineLayout& layout = _Layout(hardLine);
	while (!layout.complete && layout.starts.back() <= relative)
		_ExtendOnce(hardLine);
	int32 index = (int32)(std::upper_bound(layout.starts.begin(),
		layout.starts.end(), relative) - layout.starts.begin()) - 1;
	return _PrefixBefore(hardLine) + index;
}


int32
WrapLayout::LayoutLineStart(int32 line)
{
	if (line <= 0)
		return 0;
	if (!fWrap)
		return fLines.OffsetAt(line);

	// Find the hard line, laying out whole hard lines only while the
	// layout line lies past them.
	int32 count = fLines.CountLines();
	int32 known = (int32)fPrefix.size() - 1;
	int32 hardLine;
	if (known >= 1 && fPrefix[known] > line) {
		hardLine = (int32)(std::upper_bound(fPrefix.begin(),
			fPrefix.end(), line) - fPrefix.begin()) - 1;
	} else {
		hardLine = std::max(known, (int32)0);
		while (hardLine < count) {
			int32 before = _PrefixBefore(hardLine);
			HardLineLayout& layout = _Layout(hardLine);
			while (!layout.complete
				&& (int32)layout.starts.size() <= line - before) {
				_ExtendOnce(hardLine);
			}
			if ((int32)layout.starts.size() > line - before)
				break;
			hardLine++;
		}
		if (hardLine >= count)
			return fText.Length();
	}
	int32 index = line - _PrefixBefore(hardLine);
	return fLines.OffsetAt(hardLine) + _Layout(hardLine).starts[index];
}


int32
WrapLayout::LayoutLineEnd(int32 line)
{
	line = std::max(line, (int32)0);
	int32 start = LayoutLineStart(line);
	int32 hardLine = fLines.LineAt(start);
	if (!fWrap)
		return fLines.LineEnd(hardLine);
	int32 next = LayoutLineStart(line + 1);
	int32 hardEnd = fLines.LineEnd(hardLine);
	return std::min(next, hardEnd);
}


int32
WrapLayout::LineAtY(float y)
{
	if (isnan(y) || y < 0 || fLineHeight <= 0)
		return 0;
	double line = floor(y / fLineHeight);
	if (line >= INT32_MAX)
		return CountLayoutLines() - 1;
	int32 lineIndex = (int32)line;
	if (!fWrap)
		return std::min(lineIndex, fLines.CountLines() - 1);
	// Only the lines up to lineIndex are laid out unless y lies past the
	// end.
	if (LayoutLineStart(lineIndex) >= fText.Length()
		&& lineIndex > 0)
		return std::min(lineIndex, CountLayoutLines() - 1);
	return lineIndex;
}


void
WrapLayout::PointAt(int32 offset, float& _x, float& _y)
{
	offset = TextMotion::CharStart(fText, offset);
	int32 line = LayoutLineAt(offset);
	float x = 0;
	for (int32 at = LayoutLineStart(line); at < offset;) {
		int32 length = TextMotion::CharLength(fText, at);
		x += _CharWidth(at, length, x);
		at += length;
	}
	_x = x;
	_y = LineTop(line);
}


int32
WrapLayout::OffsetAt(float x, float y)
{
	int32 line = LineAtY(y);
	int32 start = LayoutLineStart(line);
	int32 end = LayoutLineEnd(line);
	// After a soft break the boundary at end belongs to the next line, so
	// a click past the end lands before the line's last character.
	bool softEnd = end > start && fText.ByteAt(end) != '\n'
		&& end < fText.Length() && fLines.LineAt(end) == fLines.LineAt(start);
	float position = 0;
	int32 at = start;
	while (at < end) {
		int32 length = TextMotion::CharLength(fText, at);
		float width = _CharWidth(at, length, position);
		if (x < position + width / 2)
			return at;
		if (softEnd && at + length >= end)
			return at;
		position += width;
		at += length;
	}
	return at;
}


void
WrapLayout::_Discard()
{
	fCache.clear();
	fPrefix.clear();
}


float
WrapLayout::_CharWidth(int32 offset, int32 length, float x)
{
	char bytes[4] = {};
	for (int32 i = 0; i < length && i < 4; i++)
		bytes[i] = fText.ByteAt(offset + i);
	if (bytes[0] == '\t' && fTabWidth > 0)
		return (floorf(x / fTabWidth) + 1) * fTabWidth - x;
	if (length == 1 && (uint8)bytes[0] < 0x80) {
		float& cached = fASCIIWidths[(uint8)bytes[0]];
		if (cached < 0)
			cached = std::max(fMeasure(bytes, 1), 0.0f);
		return cached;
	}
	float width = fMeasure(bytes, length);
	return isnan(width) || width < 0 ? 0 : width;
}


// Where the layout line that starts at lineStart ends, and the next one
// starts; hardEnd when the rest of the hard line fits.
int32
WrapLayout::_NextBreak(int32 lineStart, int32 hardEnd)
{
	float x = 0;
	int32 lastBreak = -1;
	int32 at = lineStart;
	while (at < hardEnd) {
		int32 length = std::min(TextMotion::CharLength(fText, at),
			hardEnd - at);
		char byte = fText.ByteAt(at);
		float width = _CharWidth(at, length, x);
		if (byte == ' ' || byte == '\t') {
			x += width;
			at += length;
			lastBreak = at;
			continue;
		}
		if (x + width > fWrapWidth && at > lineStart)
			return lastBreak > lineStart ? lastBreak : at;
		x += width;
		at += length;
		if (byte == '-')
			lastBreak = at;
		else if (length == 3 && (uint8)byte == 0xE2
			&& (uint8)fText.ByteAt(at - 2) == 0x80
			&& (uint8)fText.ByteAt(at - 1) >= 0x90
			&& (uint8)fText.ByteAt(at - 1) <= 0x94) {
			// U+2010 hyphen to U+2014 em dash.
			lastBreak = at;
		}
	}
	return hardEnd;
}


WrapLayout::HardLineLayout&
WrapLayout::_Layout(int32 hardLine)
{
	if (fCache.size() != (size_t)fLines.CountLines()) {
		fCache.assign(fLines.CountLines(), HardLineLayout());
		fPrefix.clear();
	}
	HardLineLayout& layout = fCache[hardLine];
	if (layout.starts.empty())
		layout.starts.push_back(0);
	return layout;
}


// Finds one more layout line of the hard line; false when it was
// complete already.
bool
WrapLayout::_ExtendOnce(int32 hardLine)
{
	HardLineLayout& layout = _Layout(hardLine);
	if (layout.complete)
		return false;
	int32 lineStart = fLines.OffsetAt(hardLine);
	int32 hardEnd = fLines.LineEnd(hardLine);
	int32 next = _NextBreak(lineStart + layout.starts.back(), hardEnd);
	if (next >= hardEnd)
		layout.complete = true;
	else
		layout.starts.push_back(next - lineStart);
	return true;
}


// The number of layout lines before hardLine, laying out every hard line
// before it completely.
int32
WrapLayout::_PrefixBefore(int32 hardLine)
{
	_Layout(0);
	if (fPrefix.empty())
		fPrefix.push_back(0);
	while ((int32)fPrefix.size() <= hardLine) {
		int32 line = (int32)fPrefix.size() - 1;
		HardLineLayout& layout = _Layout(line);
		while (_ExtendOnce(line)) {
		}
		fPrefix.push_back(fPrefix.back() + (int32)layout.starts.size());
	}
	return fPrefix[hardLine];
}

}	// namespace BPrivate
