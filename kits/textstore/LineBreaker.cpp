/*
 * LineBreaker: soft line breaks and character widths.
 */
#include "LineBreaker.h"

#include "TextBuffer.h"
#include "TextMotion.h"

#include <math.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <utility>

namespace BPrivate {


// The longest word measured as a whole; a longer one is measured in
// pieces of about this size.
static const int32 kMaxWordBytes = 256;

// Lines checked together by CannotWrapLines() are scanned as one range
// while they lie at most kRunGap bytes apart, up to about kRunBytes; the
// range is scanned in chunks of kChunkBytes.
static const int32 kRunGap = 256;
static const int32 kRunBytes = 64 * 1024;
static const int32 kChunkBytes = 64;


// Whether the three bytes are one of U+2010 hyphen to U+2014 em dash, after
// which a line may break as after '-'.
static bool
is_dash(uint8 first, uint8 second, uint8 third)
{
	return first == 0xE2 && second == 0x80 && third >= 0x90 && third <= 0x94;
}


LineBreaker::LineBreaker(const TextBuffer& text, MeasureFunction measure,
	RunMeasureFunction measureRun)
	:
	fText(text),
	fMeasure(std::move(measure)),
	fMeasureRun(std::move(measureRun)),
	fWrapWidth(0),
	fTabWidth(0),
	fASCIIMeasured(false),
	fWidestPrintable(0),
	fWidestTab(0)
{
}


void
LineBreaker::SetWrapWidth(float width)
{
	fWrapWidth = isnan(width) ? 0 : width;
}


void
LineBreaker::SetTabWidth(float width)
{
	fTabWidth = isnan(width) || width < 0 ? 0 : width;
	fASCIIMeasured = false;
}


void
LineBreaker::Forget()
{
	fASCIIMeasured = false;
}


float
LineBreaker::CharWidth(int32 offset, int32 length, float x)
{
	uint8 byte = (uint8)fText.ByteAt(offset);
	if (byte == '\t' && fTabWidth > 0)
		return _TabWidth(x);
	if (length == 1 && byte < 0x80) {
		_MeasureASCII();
		return fASCIIWidths[byte];
	}
	return _OtherWidth(offset, length);
}


int32
LineBreaker::NextBreak(int32 lineStart, int32 hardEnd)
{
	_MeasureASCII();
	float x = 0;
	int32 lastBreak = -1;
	// x at lastBreak.
	float breakX = 0;
	int32 at = lineStart;
	while (at < hardEnd) {
		// ASCII straight from memory, as long as it lasts.
		const char* piece = NULL;
		int32 count = fText.PieceAt(at, hardEnd - at, piece);
		int32 i = 0;
		for (; i < count; i++) {
			uint8 byte = (uint8)piece[i];
			if (byte >= 0x80)
				break;
			if (byte == ' ' || byte == '\t') {
				x += byte == '\t' && fTabWidth > 0 ? _TabWidth(x)
					: fASCIIWidths[byte];
				lastBreak = at + i + 1;
				breakX = x;
				continue;
			}
			float width = fASCIIWidths[byte];
			if (x + width > fWrapWidth && at + i > lineStart)
				return lastBreak > lineStart ? lastBreak : at + i;
			x += width;
			if (byte == '-') {
				lastBreak = at + i + 1;
				breakX = x;
			}
		}
		at += i;
		if (i == count)
			continue;

		if (!fMeasureRun) {
			// One character that is not ASCII.
			int32 length = std::min(TextMotion::CharLength(fText, at),
				hardEnd - at);
			float width = _OtherWidth(at, length);
			if (x + width > fWrapWidth && at > lineStart)
				return lastBreak > lineStart ? lastBreak : at;
			x += width;
			at += length;
			if (length == 3 && is_dash((uint8)fText.ByteAt(at - 3),
					(uint8)fText.ByteAt(at - 2),
					(uint8)fText.ByteAt(at - 1))) {
				lastBreak = at;
				breakX = x;
			}
			continue;
		}

		// The word that holds it, shaped as a whole from the last place
		// the line could break: its ASCII letters may join its other
		// characters' clusters.
		int32 wordStart = lastBreak > lineStart ? lastBreak : lineStart;
		int32 wordEnd = _WordEnd(wordStart, at, hardEnd);
		int32 wordLength = wordEnd - wordStart;
		std::string word = fText.GetText(wordStart, wordLength);
		fAdvances.assign(wordLength, 0);
		fMeasureRun(word.data(), wordLength, fAdvances.data());
		x = lastBreak > lineStart ? breakX : 0;
		for (int32 p = 0; p < wordLength; p++) {
			float width = fAdvances[p];
			if (isnan(width) || width < 0)
				width = 0;
			if (width > 0 && x + width > fWrapWidth
				&& wordStart + p > lineStart) {
				return lastBreak > lineStart ? lastBreak : wordStart + p;
			}
			x += width;
			uint8 byte = (uint8)word[p];
			if (byte == '-' || (p + 2 < wordLength && is_dash(byte,
					(uint8)word[p + 1], (uint8)word[p + 2]))) {
				// The dash's own width is at its first byte.
				lastBreak = wordStart + p + (byte == '-' ? 1 : 3);
				breakX = x;
			}
		}
		at = wordEnd;
	}
	return hardEnd;
}


int32
LineBreaker::_WordEnd(int32 wordStart, int32 offset, int32 hardEnd) const
{
	int32 limit = std::min(hardEnd, std::max(wordStart, offset)
		+ kMaxWordBytes);
	int32 end = offset;
	while (end < limit) {
		uint8 byte = (uint8)fText.ByteAt(end);
		if (byte <= ' ' || byte == 0x7F)
			return end;
		end++;
	}
	if (end >= hardEnd)
		return hardEnd;
	// Cut where a cluster ends, or after the one that holds the limit.
	int32 cut = TextMotion::ClusterStart(fText, end);
	if (cut > offset)
		return cut;
	return std::min(TextMotion::NextCluster(fText, offset), hardEnd);
}


bool
LineBreaker::CannotWrap(int32 from, int32 to)
{
	int32 count = to - from;
	if (count <= 1)
		return true;
	_MeasureASCII();
	// A quick answer for lines that are long whatever they hold.
	if (!_MayFit(count))
		return false;
	int32 tabs = _CountTabsIfPlain(from, to);
	if (tabs < 0)
		return false;
	return _Fits(count, tabs);
}


void
LineBreaker::CannotWrapLines(const int32* starts, const int32* ends,
	int32 count, uint8* _cannot)
{
	if (count <= 0)
		return;
	_MeasureASCII();
	// Lines longer than this are too long to fit whatever they hold, and
	// plain lines without a tab up to the other length fit.
	int32 longestMayFit = _LongestFit(false);
	int32 longestPlain = _LongestFit(true);
	int32 line = 0;
	while (line < count) {
		int32 length = ends[line] - starts[line];
		if (length <= 1 || length > longestMayFit) {
			_cannot[line] = length <= 1;
			line++;
			continue;
		}

		// The lines that may fit from here on, as long as they lie close
		// together, are scanned as one range; the lines too long to fit
		// in any case are not scanned at all.
		int32 last = line + 1;
		while (last < count) {
			int32 next = ends[last] - starts[last];
			if (next > longestMayFit
				|| starts[last] - ends[last - 1] > kRunGap
				|| ends[last] - starts[line] > kRunBytes) {
				break;
			}
			last++;
		}
		_FindSpecial(starts[line], ends[last - 1]);

		if (fTabs.empty() && fOthers.empty()) {
			// All plain, as most text is (a line of 0 or 1 bytes is
			// within the length too).
			for (; line < last; line++)
				_cannot[line] = ends[line] - starts[line] <= longestPlain;
			continue;
		}
		size_t tab = 0;
		size_t other = 0;
		for (; line < last; line++) {
			int32 from = starts[line];
			int32 to = ends[line];
			while (other < fOthers.size() && fOthers[other] < from)
				other++;
			while (tab < fTabs.size() && fTabs[tab] < from)
				tab++;
			size_t firstTab = tab;
			while (tab < fTabs.size() && fTabs[tab] < to)
				tab++;
			int32 tabs = (int32)(tab - firstTab);
			if (to - from <= 1)
				_cannot[line] = true;
			else if (other < fOthers.size() && fOthers[other] < to)
				_cannot[line] = false;
			else if (tabs == 0)
				_cannot[line] = to - from <= longestPlain;
			else
				_cannot[line] = _Fits(to - from, tabs);
		}
	}
}


bool
LineBreaker::_MayFit(int32 count) const
{
	double shortest = (double)count * std::min(fWidestPrintable, fWidestTab);
	return !(shortest > fWrapWidth);
}


bool
LineBreaker::_Fits(int32 count, int32 tabs) const
{
	// The widths add up in float, which may round up by a unit in the
	// last place per character; the bound allows for that.
	double widest = ((double)(count - tabs) * fWidestPrintable
		+ (double)tabs * fWidestTab) * (1.0 + count * 2.4e-7);
	return widest <= fWrapWidth;
}


// The most characters that pass _MayFit(), or with plain also _Fits()
// without a tab; at least 1. Both bounds grow with the count, so the
// lines that pass them are those up to some length.
int32
LineBreaker::_LongestFit(bool plain) const
{
	int32 low = 1;
	int32 high = INT32_MAX;
	while (low < high) {
		int32 middle = low + (int32)(((int64)high - low + 1) / 2);
		if (_MayFit(middle) && (!plain || _Fits(middle, 0)))
			low = middle;
		else
			high = middle - 1;
	}
	return low;
}


void
LineBreaker::_MeasureASCII()
{
	if (fASCIIMeasured)
		return;
	for (int32 byte = 0; byte < 128; byte++) {
		char character = (char)byte;
		float width = fMeasure(&character, 1);
		fASCIIWidths[byte] = isnan(width) || width < 0 ? 0 : width;
	}
	fWidestPrintable = *std::max_element(fASCIIWidths + 0x20,
		fASCIIWidths + 0x7F);
	// A tab reaches at most one tab width to the next stop.
	fWidestTab = fTabWidth > 0 ? fTabWidth : fASCIIWidths[(uint8)'\t'];
	fASCIIMeasured = true;
}


float
LineBreaker::_TabWidth(float x) const
{
	return (floorf(x / fTabWidth) + 1) * fTabWidth - x;
}


float
LineBreaker::_OtherWidth(int32 offset, int32 length)
{
	char bytes[4] = {};
	for (int32 i = 0; i < length && i < 4; i++)
		bytes[i] = fText.ByteAt(offset + i);
	float width = fMeasure(bytes, length);
	return isnan(width) || width < 0 ? 0 : width;
}


// Whether any of the kChunkBytes bytes is a tab or anything else that is
// neither printable ASCII nor '\n'; without a branch per byte, so that it
// runs in vector steps.
static inline bool
any_special(const char* bytes)
{
	uint8 special = 0;
	for (int32 i = 0; i < kChunkBytes; i++) {
		uint8 byte = (uint8)bytes[i];
		special |= (uint8)((uint8)(byte - 0x20) >= 0x5F)
			& (uint8)(byte != '\n');
	}
	return special != 0;
}


// Notes the tabs among the bytes from..to-1 in fTabs and the other bytes
// that are neither printable ASCII nor '\n' in fOthers, in order. Most
// chunks of a file hold neither and are passed over at once.
void
LineBreaker::_FindSpecial(int32 from, int32 to)
{
	fTabs.clear();
	fOthers.clear();
	while (from < to) {
		const char* piece = NULL;
		int32 count = fText.PieceAt(from, to - from, piece);
		if (count <= 0) {
			// Outside the text: nothing there is plain.
			fOthers.push_back(from);
			return;
		}
		for (int32 i = 0; i < count; i += kChunkBytes) {
			int32 end = std::min(i + kChunkBytes, count);
			if (end - i == kChunkBytes && !any_special(piece + i))
				continue;
			for (int32 at = i; at < end; at++) {
				uint8 byte = (uint8)piece[at];
				if (byte == '\t')
					fTabs.push_back(from + at);
				else if ((uint8)(byte - 0x20) >= 0x5F && byte != '\n')
					fOthers.push_back(from + at);
			}
		}
		from += count;
	}
}


// The tabs among the bytes, or -1 when any is not printable ASCII or a
// tab.
int32
LineBreaker::_CountTabsIfPlain(int32 from, int32 to) const
{
	int32 tabs = 0;
	while (from < to) {
		const char* piece = NULL;
		int32 count = fText.PieceAt(from, to - from, piece);
		if (count <= 0)
			return -1;
		// Without a branch per byte, so that it runs in vector steps.
		uint8 other = 0;
		for (int32 i = 0; i < count; i++) {
			uint8 byte = (uint8)piece[i];
			uint8 tab = byte == '\t';
			other |= (uint8)((uint8)(byte - 0x20) >= 0x5F) & (tab ^ 1);
			tabs += tab;
		}
		if (other != 0)
			return -1;
		from += count;
	}
	return tabs;
}

}	// namespace BPrivate
