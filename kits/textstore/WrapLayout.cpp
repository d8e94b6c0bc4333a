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
	MeasureFunction measure, RunMeasureFunction measureRun)
	:
	fText(text),
	fLines(lines),
	fBreaker(text, std::move(measure), std::move(measureRun)),
	fWrap(false),
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
	fBreaker.SetWrapWidth(width);
	_Discard();
}


void
WrapLayout::SetTabWidth(float width)
{
	fBreaker.SetTabWidth(width);
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
	fBreaker.Forget();
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
		_Edited(fBlocks[block], index, hardLine, inLine, inLine,
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
		_Edited(fBlocks[block], index, hardLine, inLine, inLine + length,
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
WrapLayout::EstimatedLayoutLines() const
{
	if (!fWrap || fBlocks.empty())
		return fLines.CountLines();
	// The blocks before fPrefixKnown - 1 are summed up already.
	int32 first = fPrefixKnown - 1;
	int64 count = fPrefix[first];
	for (size_t block = first; block < fBlocks.size(); block++) {
		const Block& own = fBlocks[block];
		count += own.total + own.unknown + own.guessed;
	}
	return (int32)std::min<int64>(count, INT32_MAX);
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
	if (!own.done[index] && _Find(own, index) == NULL)
		_ExtendOnce(own, index, hardLine);
	// Laid out only as far as the offset.
	Wrapped* wrapped;
	while (!own.done[index] && (wrapped = _Find(own, index)) != NULL
		&& wrapped->starts.back() <= relative) {
		_ExtendOnce(own, index, hardLine);
	}
	int32 inLine = 0;
	if ((wrapped = _Find(own, index)) != NULL) {
		const std::vector<int32>& starts = wrapped->starts;
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
	// Whole blocks are skipped by their totals, from the last block
	// located when the line lies past its start; the block that holds the
	// line is laid out only as far as it.
	int32 before = 0;
	int32 hardLine = 0;
	int32 firstBlock = 0;
	if (fCursorBlock < fPrefixKnown && fPrefix[fCursorBlock] <= line) {
		firstBlock = fCursorBlock;
		hardLine = fCursorLine;
	}
	int32 blockCount = (int32)fBlocks.size();
	for (int32 block = firstBlock; block < blockCount; block++) {
		Block& own = fBlocks[block];
		int32 size = own.size;
		if (block < fPrefixKnown)
			before = fPrefix[block];
		if (block + 1 < fPrefixKnown && line >= fPrefix[block + 1]) {
			hardLine += size;
			continue;
		}
		if (own.unknown == 0) {
			// Laid out already: found from the lines that wrap, without
			// a step per hard line.
			int32 wanted = line - before;
			if (wanted < own.total) {
				int32 index;
				int32 start;
				_FindInBlock(own, wanted, index, start);
				fCursorBlock = block;
				fCursorLine = hardLine;
				return fLines.OffsetAt(hardLine + index) + start;
			}
			before += own.total;
			hardLine += size;
		} else {
			for (int32 index = 0; index < size; index++, hardLine++) {
				int32 wanted = line - before;
				const std::vector<int32>& starts = _Starts(own, index,
					hardLine, wanted);
				if ((int32)starts.size() > wanted) {
					fCursorBlock = block;
					fCursorLine = hardLine - index;
					return fLines.OffsetAt(hardLine) + starts[wanted];
				}
				before += (int32)starts.size();
			}
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
		x += fBreaker.CharWidth(at, length, x);
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
		float width = fBreaker.CharWidth(at, length, position);
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
		fBlocks[block].size = size;
		fBlocks[block].done.assign(size, false);
		fBlocks[block].unknown = size;
	}
	fPrefix.assign(blockCount + 1, 0);
	fPrefixKnown = 1;
	fCursorBlock = 0;
	fCursorLine = 0;
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
		first -= fBlocks[block].size;
	}
	while (block + 1 < blockCount
		&& hardLine >= first + fBlocks[block].size) {
		first += fBlocks[block].size;
		block++;
	}
	fCursorBlock = block;
	fCursorLine = first;
	_block = block;
	_index = std::min(hardLine - first, fBlocks[block].size - 1);
}


std::vector<WrapLayout::Entry>::iterator
WrapLayout::_EntryAt(Block& block, int32 index)
{
	return std::lower_bound(block.entries.begin(), block.entries.end(),
		index, [](const Entry& entry, int32 wanted) {
			return entry.index < wanted;
		});
}


WrapLayout::Wrapped*
WrapLayout::_Find(Block& block, int32 index)
{
	auto found = _EntryAt(block, index);
	if (found == block.entries.end() || found->index != index)
		return NULL;
	return found->wrapped.get();
}


WrapLayout::Wrapped&
WrapLayout::_Make(Block& block, int32 index)
{
	auto found = _EntryAt(block, index);
	if (found != block.entries.end() && found->index == index)
		return *found->wrapped;
	Entry entry;
	entry.index = index;
	entry.wrapped.reset(new Wrapped);
	return *block.entries.insert(found, std::move(entry))->wrapped;
}


void
WrapLayout::_Drop(Block& block, int32 index)
{
	auto found = _EntryAt(block, index);
	if (found != block.entries.end() && found->index == index)
		block.entries.erase(found);
}


// The layout lines of a done hard line; 0 for one not done.
int32
WrapLayout::_Count(Block& block, int32 index)
{
	if (!block.done[index])
		return 0;
	Wrapped* wrapped = _Find(block, index);
	return wrapped != NULL ? (int32)wrapped->starts.size() : 1;
}


// What a hard line laid out in part adds to the estimate beyond the one
// line it counts as.
int32
WrapLayout::_Guess(Block& block, int32 index)
{
	if (block.done[index])
		return 0;
	Wrapped* wrapped = _Find(block, index);
	if (wrapped == NULL)
		return 0;
	return (int32)(wrapped->starts.size() - 1 + wrapped->kept.size());
}


// Marks the hard line done or not, with the count and estimate its entry
// (or the lack of one) gives it now.
void
WrapLayout::_SetDone(Block& block, int32 index, bool done)
{
	if (block.done[index] == done)
		return;
	if (done) {
		block.guessed -= _Guess(block, index);
		block.done[index] = true;
		block.unknown--;
		block.total += _Count(block, index);
	} else {
		block.total -= _Count(block, index);
		block.done[index] = false;
		block.unknown++;
		block.guessed += _Guess(block, index);
	}
}


// Sums the block's counts anew after lines were added or removed.
void
WrapLayout::_Recount(Block& block)
{
	block.total = 0;
	block.unknown = 0;
	block.guessed = 0;
	for (int32 index = 0; index < block.size; index++) {
		if (!block.done[index])
			block.unknown++;
	}
	block.total = block.size - block.unknown;
	for (const Entry& entry : block.entries) {
		int32 extra = (int32)entry.wrapped->starts.size() - 1;
		if (block.done[entry.index])
			block.total += extra;
		else
			block.guessed += extra + (int32)entry.wrapped->kept.size();
	}
}


// Finds one more layout line of the hard line; false when it was
// complete already.
bool
WrapLayout::_ExtendOnce(Block& block, int32 index, int32 hardLine)
{
	if (block.done[index])
		return false;
	int32 lineStart = fLines.OffsetAt(hardLine);
	int32 hardEnd = fLines.LineEnd(hardLine);
	Wrapped* wrapped = _Find(block, index);
	if (wrapped == NULL && fBreaker.CannotWrap(lineStart, hardEnd)) {
		_SetDone(block, index, true);
		return true;
	}
	int32 guess = _Guess(block, index);
	int32 from = wrapped != NULL ? wrapped->starts.back() : 0;
	int32 next = fBreaker.NextBreak(lineStart + from, hardEnd);
	if (next >= hardEnd) {
		// A line that fits needs no list of starts.
		if (wrapped != NULL) {
			wrapped->kept.clear();
			wrapped->keptShift = 0;
			if (wrapped->starts.size() == 1)
				_Drop(block, index);
		}
		block.guessed -= guess;
		block.guessed += _Guess(block, index);
		_SetDone(block, index, true);
		return true;
	}
	if (wrapped == NULL) {
		wrapped = &_Make(block, index);
		wrapped->starts.push_back(0);
	}
	wrapped->starts.push_back(next - lineStart);
	_Rejoin(*wrapped);
	block.guessed += _Guess(block, index) - guess;
	return true;
}


// A new start was found; where it falls on a kept one, the old layout
// holds from there for as long as its starts follow one another.
void
WrapLayout::_Rejoin(Wrapped& wrapped)
{
	std::vector<Kept>& kept = wrapped.kept;
	int32 shift = wrapped.keptShift;
	int32 last = wrapped.starts.back();
	while (!kept.empty() && kept.back().at + shift < last)
		kept.pop_back();
	if (kept.empty() || kept.back().at + shift != last)
		return;
	kept.pop_back();
	while (!kept.empty() && !kept.back().runStarts) {
		wrapped.starts.push_back(kept.back().at + shift);
		kept.pop_back();
	}
}


// Lays the hard line out completely; returns its layout lines.
int32
WrapLayout::_Complete(Block& block, int32 index, int32 hardLine)
{
	while (_ExtendOnce(block, index, hardLine)) {
	}
	return _Count(block, index);
}


void
WrapLayout::_CompleteBlock(int32 block)
{
	Block& own = fBlocks[block];
	if (own.unknown == 0)
		return;
	int32 first = 0;
	for (int32 i = 0; i < block; i++)
		first += fBlocks[i].size;
	_SettleShortLines(own, first);
	for (int32 index = 0; index < own.size && own.unknown > 0; index++) {
		if (!own.done[index])
			_Complete(own, index, first + index);
	}
}


// In a block laid out completely, the hard line (by index) that holds the
// block's layout line wanted, and where that layout line starts in it:
// each line without an entry is one layout line.
void
WrapLayout::_FindInBlock(const Block& block, int32 wanted, int32& _index,
	int32& _start)
{
	// The layout lines beyond one each of the entries passed.
	int32 extra = 0;
	for (const Entry& entry : block.entries) {
		int32 top = entry.index + extra;
		if (wanted < top)
			break;
		const std::vector<int32>& starts = entry.wrapped->starts;
		if (wanted < top + (int32)starts.size()) {
			_index = entry.index;
			_start = starts[wanted - top];
			return;
		}
		extra += (int32)starts.size() - 1;
	}
	_index = wanted - extra;
	_start = 0;
}


// Marks the lines of the block that are too short to wrap as one layout
// line each, all checked together without the per-line work of
// _ExtendOnce(): most lines of most files are such lines.
void
WrapLayout::_SettleShortLines(Block& block, int32 first)
{
	int32 size = block.size;
	fBlockStarts.resize(size + 1);
	fLines.GetStarts(first, size + 1, fBlockStarts.data());
	bool last = first + size >= fLines.CountLines();

	// The lines neither laid out nor laid out in part: as the block was
	// made, all of them.
	fOpenStarts.resize(size);
	fOpenEnds.resize(size);
	fOpenShort.resize(size);
	if (block.unknown == size && block.entries.empty()) {
		for (int32 index = 0; index < size; index++) {
			fOpenStarts[index] = fBlockStarts[index];
			fOpenEnds[index] = fBlockStarts[index + 1] - 1;
		}
		if (last)
			fOpenEnds[size - 1] = fText.Length();
		fBreaker.CannotWrapLines(fOpenStarts.data(), fOpenEnds.data(), size,
			fOpenShort.data());
		// What _SetDone() does for lines without an entry.
		int32 settled = 0;
		for (int32 index = 0; index < size; index++) {
			if (fOpenShort[index] != 0) {
				block.done[index] = true;
				settled++;
			}
		}
		block.unknown -= settled;
		block.total += settled;
		return;
	}

	fOpenIndex.resize(size);
	int32 open = 0;
	auto entry = block.entries.begin();
	for (int32 index = 0; index < size; index++) {
		while (entry != block.entries.end() && entry->index < index)
			entry++;
		if (block.done[index]
			|| (entry != block.entries.end() && entry->index == index)) {
			continue;
		}
		fOpenIndex[open] = index;
		fOpenStarts[open] = fBlockStarts[index];
		fOpenEnds[open] = last && index == size - 1
			? fText.Length() : fBlockStarts[index + 1] - 1;
		open++;
	}
	fBreaker.CannotWrapLines(fOpenStarts.data(), fOpenEnds.data(), open,
		fOpenShort.data());
	int32 settled = 0;
	for (int32 i = 0; i < open; i++) {
		if (fOpenShort[i] != 0) {
			block.done[fOpenIndex[i]] = true;
			settled++;
		}
	}
	block.unknown -= settled;
	block.total += settled;
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
	if (own.unknown == 0) {
		// Laid out already: one layout line per hard line, and what the
		// lines that wrap add.
		prefix += index;
		for (const Entry& entry : own.entries) {
			if (entry.index >= index)
				break;
			prefix += (int32)entry.wrapped->starts.size() - 1;
		}
		return prefix;
	}
	for (int32 i = 0; i < index; i++) {
		prefix += own.done[i] ? _Count(own, i)
			: _Complete(own, i, first + i);
	}
	return prefix;
}


// The starts of the hard line's layout lines, laid out until there are
// more than wanted or the line is complete.
const std::vector<int32>&
WrapLayout::_Starts(Block& block, int32 index, int32 hardLine, int32 wanted)
{
	Wrapped* wrapped;
	while (!block.done[index] && ((wrapped = _Find(block, index)) == NULL
			|| (int32)wrapped->starts.size() <= wanted)) {
		_ExtendOnce(block, index, hardLine);
	}
	if ((wrapped = _Find(block, index)) != NULL)
		return wrapped->starts;
	return fSingleStart;
}


// Keeps of the hard line's layout only what an edit at offsetInLine that
// adds or removes hard lines cannot change, and leaves the rest to be
// laid out when asked for.
//
// A layout line's break depends on its characters up to the first one
// that did not fit, which lies no further than the start of the line
// after next; so the starts up to two lines before the one that holds
// the edit stay.
void
WrapLayout::_Truncate(Block& block, int32 index, int32 offsetInLine)
{
	_SetDone(block, index, false);
	Wrapped* wrapped = _Find(block, index);
	if (wrapped == NULL)
		return;
	int32 guess = _Guess(block, index);
	std::vector<int32>& starts = wrapped->starts;
	int32 holding = (int32)(std::upper_bound(starts.begin(), starts.end(),
		offsetInLine) - starts.begin()) - 1;
	int32 keep = std::max(holding - 2, (int32)0);
	starts.resize(keep + 1);
	wrapped->kept.clear();
	wrapped->keptShift = 0;
	block.guessed -= guess;
	if (keep == 0)
		_Drop(block, index);
	else
		block.guessed += _Guess(block, index);
}


// An edit inside the hard line replaced the bytes editStart..oldEditEnd
// (relative to the line, in the old text) by those up to newEditEnd.
// The starts up to two layout lines before the edit stay (see
// _Truncate()); those after the edit are kept aside, shifted, for the
// layout to join again where a new break falls on one of them: from there
// on the text, and so the layout, is the old one. Then a few lines past
// the edit are laid out, which completes a short line at once; the rest
// of a long one waits until it is asked for.
void
WrapLayout::_Edited(Block& block, int32 index, int32 hardLine,
	int32 editStart, int32 oldEditEnd, int32 newEditEnd)
{
	Wrapped* wrapped = _Find(block, index);
	// A line not laid out at all stays so.
	if (!block.done[index] && wrapped == NULL)
		return;
	// Past the known starts of a line laid out in part, the edit is left
	// for a question to reach.
	bool settle = block.done[index] || wrapped->starts.back() > editStart;
	_SetDone(block, index, false);
	if (wrapped != NULL) {
		int32 guess = _Guess(block, index);
		std::vector<int32>& starts = wrapped->starts;
		int32 holding = (int32)(std::upper_bound(starts.begin(),
			starts.end(), editStart) - starts.begin()) - 1;
		int32 keep = std::max(holding - 2, (int32)0);

		// The kept starts before the end of the edit no longer hold; the
		// others move with the text after it.
		int32 delta = newEditEnd - oldEditEnd;
		std::vector<Kept>& kept = wrapped->kept;
		while (!kept.empty()
			&& kept.back().at + wrapped->keptShift < oldEditEnd) {
			kept.pop_back();
		}
		wrapped->keptShift += delta;
		if (!kept.empty())
			kept.back().runStarts = true;

		// The known starts past the edit are kept too, before the others.
		// One more break where they end tells which of the others follow
		// them: the text after the edit is the old one, so it is the
		// break the old layout had there.
		size_t first = keep + 1;
		while (first < starts.size() && starts[first] < oldEditEnd)
			first++;
		if (first < starts.size()) {
			int32 lineStart = fLines.OffsetAt(hardLine);
			int32 next = fBreaker.NextBreak(lineStart + starts.back() + delta,
				fLines.LineEnd(hardLine)) - lineStart;
			int32 shift = wrapped->keptShift;
			while (!kept.empty() && kept.back().at + shift < next)
				kept.pop_back();
			if (!kept.empty())
				kept.back().runStarts = kept.back().at + shift != next;
			// Sized to fit, as after a complete layout of a long line this
			// holds its every start.
			size_t needed = kept.size() + starts.size() - first;
			if (needed > kept.capacity())
				kept.reserve(std::max(needed, kept.capacity() * 9 / 8));
			for (size_t i = starts.size(); i-- > first;)
				kept.push_back({ starts[i] + delta - shift, i == first });
		}
		starts.resize(keep + 1);
		if (starts.capacity() > 4096 && starts.capacity() > 4 * starts.size())
			starts.shrink_to_fit();

		block.guessed -= guess;
		if (starts.size() == 1 && wrapped->kept.empty())
			_Drop(block, index);
		else
			block.guessed += _Guess(block, index);
	}

	// A few lines past the edit, as a view asks for them anyway.
	int32 extra = settle ? 4 : 0;
	while (!block.done[index] && extra > 0) {
		_ExtendOnce(block, index, hardLine);
		wrapped = _Find(block, index);
		if (wrapped == NULL || wrapped->starts.back() > newEditEnd)
			extra--;
	}
}


// Adds count hard lines, not laid out, before index of the block.
void
WrapLayout::_InsertLines(int32 block, int32 index, int32 count)
{
	Block& own = fBlocks[block];
	own.done.insert(own.done.begin() + index, count, false);
	own.size += count;
	own.unknown += count;
	for (Entry& entry : own.entries) {
		if (entry.index >= index)
			entry.index += count;
	}

	// A block that grew large is cut into blocks of the usual size.
	if (own.size <= 2 * kBlockLines)
		return;
	std::vector<Block> pieces;
	size_t next = 0;
	for (int32 first = 0; first < own.size; first += kBlockLines) {
		int32 last = std::min(first + kBlockLines, own.size);
		Block piece;
		piece.size = last - first;
		piece.done.assign(own.done.begin() + first, own.done.begin() + last);
		for (; next < own.entries.size() && own.entries[next].index < last;
				next++) {
			own.entries[next].index -= first;
			piece.entries.push_back(std::move(own.entries[next]));
		}
		_Recount(piece);
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
		int32 removed = std::min(count, own.size - index);
		int32 end = index + removed;
		own.done.erase(own.done.begin() + index, own.done.begin() + end);
		own.size -= removed;
		std::vector<Entry> entries;
		for (Entry& entry : own.entries) {
			if (entry.index >= end)
				entry.index -= removed;
			else if (entry.index >= index)
				continue;
			entries.push_back(std::move(entry));
		}
		own.entries.swap(entries);
		_Recount(own);
		count -= removed;
		if (own.size == 0)
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
	// A block up to the changed one still starts where it did.
	if (fCursorBlock > block || fCursorBlock >= (int32)fBlocks.size()) {
		fCursorBlock = 0;
		fCursorLine = 0;
	}
}

}	// namespace BPrivate
