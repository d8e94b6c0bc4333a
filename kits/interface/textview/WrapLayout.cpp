/*
 * WrapLayout: lazy soft wrapping of hard lines into layout lines.
 */
#include "WrapLayout.h"

#include "LineIndex.h"
#include "TextBuffer.h"
#include "TextMotion.h"

#include <math.h>

#include <algorithm>
#include <utility>

namespace BPrivate {

// Hard lines per block: edits shift at most this many entries, and a
// count of layout lines sums a few thousand blocks for 100 MB of text.
static const int32 kBlockLines = 1024;


WrapLayout::WrapLayout(const TextBuffer& text, const LineIndex& lines,
	MeasureFunction measure)
	:
	fText(text),
	fLines(lines),
	fMeasure(std::move(measure)),
	fWrap(false),
	fWrapWidth(0),
	fTabWidth(0),
	fLineHeight(0),
	fPrefixKnown(0),
	fCursorBlock(0),
	fCursorLine(0),
	fSingleStart(1, 0)
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
	if (!fWrap || fBlocks.empty())
		return;
	int32 hardLine = fLines.LineAt(offset);
	int32 block;
	int32 index;
	_Locate(hardLine, block, index);
	int32 inLine = offset - fLines.OffsetAt(hardLine);
	if (addedLines <= 0) {
		_Relayout(fBlocks[block], index, hardLine, inLine, inLine,
			inLine + length);
	} else {
		_Truncate(fBlocks[block], index, inLine);
		_InsertLines(block, index + 1, addedLines);
	}
	_BlocksChanged(block);
}


void
WrapLayout::TextRemoved(int32 from, int32 length, int32 removedLines)
{
	if (!fWrap || fBlocks.empty())
		return;
	int32 hardLine = fLines.LineAt(from);
	int32 block;
	int32 index;
	_Locate(hardLine, block, index);
	int32 inLine = from - fLines.OffsetAt(hardLine);
	if (removedLines <= 0) {
		_Relayout(fBlocks[block], index, hardLine, inLine, inLine + length,
			inLine);
	} else {
		_Truncate(fBlocks[block], index, inLine);
		_RemoveLines(block, index + 1, removedLines);
	}
	_BlocksChanged(block);
}


int32
WrapLayout::CountLayoutLines()
{
	if (!fWrap)
		return fLines.CountLines();
	_EnsureBlocks();
	int32 last = (int32)fBlocks.size() - 1;
	_CompleteBlock(last);
	return _BlockPrefix(last) + fBlocks[last].total;
}


int32
WrapLayout::LayoutLineAt(int32 offset)
{
	offset = std::clamp(offset, (int32)0, fText.Length());
	int32 hardLine = fLines.LineAt(offset);
	if (!fWrap)
		return hardLine;

	_EnsureBlocks();
	int32 relative = offset - fLines.OffsetAt(hardLine);
	int32 block;
	int32 index;
	_Locate(hardLine, block, index);
	Block& own = fBlocks[block];
	if (own.counts[index] == 0 && own.wrapped[index] == NULL)
		_ExtendOnce(own, index, hardLine);
	// Laid out only as far as the offset.
	while (own.wrapped[index] != NULL && !own.wrapped[index]->complete
		&& own.wrapped[index]->starts.back() <= relative) {
		_ExtendOnce(own, index, hardLine);
	}
	int32 inLine = 0;
	if (own.wrapped[index] != NULL) {
		const std::vector<int32>& starts = own.wrapped[index]->starts;
		inLine = (int32)(std::upper_bound(starts.begin(), starts.end(),
			relative) - starts.begin()) - 1;
	}
	return _PrefixBefore(hardLine) + inLine;
}


int32
WrapLayout::LayoutLineStart(int32 line)
{
	if (line <= 0)
		return 0;
	if (!fWrap)
		return fLines.OffsetAt(line);

	_EnsureBlocks();
	// Whole blocks are skipped by their totals; the block that holds the
	// line is laid out only as far as it.
	int32 before = 0;
	int32 hardLine = 0;
	int32 blockCount = (int32)fBlocks.size();
	for (int32 block = 0; block < blockCount; block++) {
		Block& own = fBlocks[block];
		int32 size = (int32)own.counts.size();
		if (block < fPrefixKnown)
			before = fPrefix[block];
		if (block + 1 < fPrefixKnown && line >= fPrefix[block + 1]) {
			hardLine += size;
			continue;
		}
		for (int32 index = 0; index < size; index++, hardLine++) {
			int32 wanted = line - before;
			const std::vector<int32>& starts = _Starts(own, index, hardLine,
				wanted);
			if ((int32)starts.size() > wanted)
				return fLines.OffsetAt(hardLine) + starts[wanted];
			before += (int32)starts.size();
		}
		// The block is complete now; its total moves the prefix on.
		if (block + 1 == fPrefixKnown) {
			fPrefix[block + 1] = before;
			fPrefixKnown++;
		}
	}
	return fText.Length();
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
	fBlocks.clear();
	fPrefix.clear();
	fPrefixKnown = 0;
	fCursorBlock = 0;
	fCursorLine = 0;
}


// Makes a block entry, not laid out, for every hard line.
void
WrapLayout::_EnsureBlocks()
{
	if (!fBlocks.empty())
		return;
	int32 count = fLines.CountLines();
	int32 blockCount = (count + kBlockLines - 1) / kBlockLines;
	fBlocks.resize(blockCount);
	for (int32 block = 0; block < blockCount; block++) {
		int32 size = std::min(kBlockLines, count - block * kBlockLines);
		fBlocks[block].counts.assign(size, 0);
		fBlocks[block].wrapped.resize(size);
		fBlocks[block].unknown = size;
	}
	fPrefix.assign(blockCount + 1, 0);
	fPrefixKnown = 1;
	fCursorBlock = 0;
	fCursorLine = 0;
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


// The block that holds the hard line, and its index there.
void
WrapLayout::_Locate(int32 hardLine, int32& _block, int32& _index)
{
	int32 blockCount = (int32)fBlocks.size();
	int32 block = std::min(fCursorBlock, blockCount - 1);
	int32 first = fCursorLine;
	if (block != fCursorBlock || hardLine < first / 2) {
		block = 0;
		first = 0;
	}
	while (hardLine < first && block > 0) {
		block--;
		first -= (int32)fBlocks[block].counts.size();
	}
	while (block + 1 < blockCount
		&& hardLine >= first + (int32)fBlocks[block].counts.size()) {
		first += (int32)fBlocks[block].counts.size();
		block++;
	}
	fCursorBlock = block;
	fCursorLine = first;
	_block = block;
	_index = std::min(hardLine - first,
		(int32)fBlocks[block].counts.size() - 1);
}


void
WrapLayout::_SetCount(Block& block, int32 index, int32 count)
{
	int32& own = block.counts[index];
	if (own == 0)
		block.unknown--;
	else
		block.total -= own;
	own = count;
	if (own == 0)
		block.unknown++;
	else
		block.total += own;
}


// Finds one more layout line of the hard line; false when it was
// complete already.
bool
WrapLayout::_ExtendOnce(Block& block, int32 index, int32 hardLine)
{
	if (block.counts[index] != 0)
		return false;
	std::unique_ptr<Wrapped>& wrapped = block.wrapped[index];
	int32 lineStart = fLines.OffsetAt(hardLine);
	int32 hardEnd = fLines.LineEnd(hardLine);
	int32 from = wrapped != NULL ? wrapped->starts.back() : 0;
	int32 next = _NextBreak(lineStart + from, hardEnd);
	if (next >= hardEnd) {
		// A line that fits needs no list of starts.
		int32 count = wrapped != NULL ? (int32)wrapped->starts.size() : 1;
		if (count == 1)
			wrapped.reset();
		else
			wrapped->complete = true;
		_SetCount(block, index, count);
		return true;
	}
	if (wrapped == NULL) {
		wrapped.reset(new Wrapped);
		wrapped->starts.push_back(0);
	}
	wrapped->starts.push_back(next - lineStart);
	return true;
}


// Lays the hard line out completely; returns its layout lines.
int32
WrapLayout::_Complete(Block& block, int32 index, int32 hardLine)
{
	while (_ExtendOnce(block, index, hardLine)) {
	}
	return block.counts[index];
}


void
WrapLayout::_CompleteBlock(int32 block)
{
	Block& own = fBlocks[block];
	if (own.unknown == 0)
		return;
	int32 first = 0;
	for (int32 i = 0; i < block; i++)
		first += (int32)fBlocks[i].counts.size();
	int32 size = (int32)own.counts.size();
	for (int32 index = 0; index < size && own.unknown > 0; index++) {
		if (own.counts[index] == 0)
			_Complete(own, index, first + index);
	}
}


// The layout lines before the block, laying out every block before it.
int32
WrapLayout::_BlockPrefix(int32 block)
{
	while (fPrefixKnown <= block) {
		int32 previous = fPrefixKnown - 1;
		_CompleteBlock(previous);
		fPrefix[fPrefixKnown] = fPrefix[previous] + fBlocks[previous].total;
		fPrefixKnown++;
	}
	return fPrefix[block];
}


// The number of layout lines before hardLine, laying out every hard line
// before it completely.
int32
WrapLayout::_PrefixBefore(int32 hardLine)
{
	int32 block;
	int32 index;
	_Locate(hardLine, block, index);
	int32 first = fCursorLine;
	int32 prefix = _BlockPrefix(block);
	Block& own = fBlocks[block];
	for (int32 i = 0; i < index; i++) {
		int32 count = own.counts[i];
		prefix += count != 0 ? count : _Complete(own, i, first + i);
	}
	return prefix;
}


// The starts of the hard line's layout lines, laid out until there are
// more than wanted or the line is complete.
const std::vector<int32>&
WrapLayout::_Starts(Block& block, int32 index, int32 hardLine, int32 wanted)
{
	while (block.counts[index] == 0 && (block.wrapped[index] == NULL
			|| (int32)block.wrapped[index]->starts.size() <= wanted)) {
		_ExtendOnce(block, index, hardLine);
	}
	if (block.wrapped[index] != NULL)
		return block.wrapped[index]->starts;
	return fSingleStart;
}


// Keeps of the hard line's layout only what an edit at offsetInLine
// cannot change, and leaves the rest to be laid out when asked for.
//
// A layout line's break depends on its characters up to the first one
// that did not fit, which lies no further than the start of the line
// after next; so the starts up to two lines before the one that holds
// the edit stay.
void
WrapLayout::_Truncate(Block& block, int32 index, int32 offsetInLine)
{
	std::unique_ptr<Wrapped>& wrapped = block.wrapped[index];
	int32 keep = 0;
	if (wrapped != NULL) {
		std::vector<int32>& starts = wrapped->starts;
		int32 holding = (int32)(std::upper_bound(starts.begin(),
			starts.end(), offsetInLine) - starts.begin()) - 1;
		keep = std::max(holding - 2, (int32)0);
		starts.resize(keep + 1);
		wrapped->complete = false;
	}
	if (keep == 0)
		wrapped.reset();
	_SetCount(block, index, 0);
}


// An edit inside the hard line replaced the bytes editStart..oldEditEnd
// (relative to the line, in the old text) by those up to newEditEnd.
// Lays the line out again from two layout lines before the edit until a
// break falls where an old one fell after the edit: from there on the
// text, and so the layout, is the old one.
void
WrapLayout::_Relayout(Block& block, int32 index, int32 hardLine,
	int32 editStart, int32 oldEditEnd, int32 newEditEnd)
{
	if (block.counts[index] == 0) {
		// Not laid out completely: keep what is still right.
		if (block.wrapped[index] != NULL)
			_Truncate(block, index, editStart);
		return;
	}

	std::vector<int32> old;
	if (block.wrapped[index] != NULL)
		old.swap(block.wrapped[index]->starts);
	else
		old.push_back(0);
	int32 holding = (int32)(std::upper_bound(old.begin(), old.end(),
		editStart) - old.begin()) - 1;
	int32 keep = std::max(holding - 2, (int32)0);
	std::vector<int32> starts(old.begin(), old.begin() + keep + 1);

	int32 delta = newEditEnd - oldEditEnd;
	size_t candidate = holding + 1;
	while (candidate < old.size() && old[candidate] < oldEditEnd)
		candidate++;

	int32 lineStart = fLines.OffsetAt(hardLine);
	int32 hardEnd = fLines.LineEnd(hardLine);
	while (true) {
		int32 next = _NextBreak(lineStart + starts.back(), hardEnd)
			- lineStart;
		if (lineStart + next >= hardEnd)
			break;
		while (candidate < old.size() && old[candidate] + delta < next)
			candidate++;
		if (candidate < old.size() && old[candidate] + delta == next
			&& next >= newEditEnd) {
			for (; candidate < old.size(); candidate++)
				starts.push_back(old[candidate] + delta);
			break;
		}
		starts.push_back(next);
	}

	if (starts.size() == 1)
		block.wrapped[index].reset();
	else {
		if (block.wrapped[index] == NULL)
			block.wrapped[index].reset(new Wrapped);
		block.wrapped[index]->starts.swap(starts);
		block.wrapped[index]->complete = true;
	}
	_SetCount(block, index,
		block.wrapped[index] != NULL
			? (int32)block.wrapped[index]->starts.size() : 1);
}


// Adds count hard lines, not laid out, before index of the block.
void
WrapLayout::_InsertLines(int32 block, int32 index, int32 count)
{
	Block& own = fBlocks[block];
	own.counts.insert(own.counts.begin() + index, count, 0);
	std::vector<std::unique_ptr<Wrapped>> added(count);
	own.wrapped.insert(own.wrapped.begin() + index,
		std::make_move_iterator(added.begin()),
		std::make_move_iterator(added.end()));
	own.unknown += count;

	// A block that grew large is cut into blocks of the usual size.
	int32 size = (int32)own.counts.size();
	if (size <= 2 * kBlockLines)
		return;
	std::vector<Block> pieces;
	for (int32 first = 0; first < size; first += kBlockLines) {
		int32 last = std::min(first + kBlockLines, size);
		Block piece;
		piece.counts.assign(own.counts.begin() + first,
			own.counts.begin() + last);
		piece.wrapped.resize(last - first);
		for (int32 i = first; i < last; i++) {
			piece.wrapped[i - first] = std::move(own.wrapped[i]);
			if (own.counts[i] == 0)
				piece.unknown++;
			else
				piece.total += own.counts[i];
		}
		pieces.push_back(std::move(piece));
	}
	fBlocks.erase(fBlocks.begin() + block);
	fBlocks.insert(fBlocks.begin() + block,
		std::make_move_iterator(pieces.begin()),
		std::make_move_iterator(pieces.end()));
}


// Removes count hard lines from index of the block on, across blocks.
void
WrapLayout::_RemoveLines(int32 block, int32 index, int32 count)
{
	while (count > 0 && block < (int32)fBlocks.size()) {
		Block& own = fBlocks[block];
		int32 size = (int32)own.counts.size();
		int32 removed = std::min(count, size - index);
		for (int32 i = index; i < index + removed; i++)
			_SetCount(own, i, 0);
		own.unknown -= removed;
		own.counts.erase(own.counts.begin() + index,
			own.counts.begin() + index + removed);
		own.wrapped.erase(own.wrapped.begin() + index,
			own.wrapped.begin() + index + removed);
		count -= removed;
		if (own.counts.empty())
			fBlocks.erase(fBlocks.begin() + block);
		else {
			block++;
			index = 0;
		}
	}
}


// The blocks from block on changed in content or number.
void
WrapLayout::_BlocksChanged(int32 block)
{
	fPrefix.resize(fBlocks.size() + 1);
	fPrefixKnown = std::min(fPrefixKnown, block + 1);
	fPrefixKnown = std::min(fPrefixKnown, (int32)fBlocks.size());
	if (fPrefixKnown < 1)
		fPrefixKnown = 1;
	fCursorBlock = 0;
	fCursorLine = 0;
}

}	// namespace BPrivate
