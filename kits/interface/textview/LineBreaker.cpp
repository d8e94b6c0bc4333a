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
			if (length == 3 && (uint8)fText.ByteAt(at - 3) == 0xE2
				&& (uint8)fText.ByteAt(at - 2) == 0x80
				&& (uint8)fText.ByteAt(at - 1) >= 0x90
				&& (uint8)fText.ByteAt(at - 1) <= 0x94) {
				// U+2010 hyphen to U+2014 em dash.
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
			if (byte == '-' || (byte == 0xE2 && p + 2 < wordLength
					&& (uint8)word[p + 1] == 0x80
					&& (uint8)word[p + 2] >= 0x90
					&& (uint8)word[p + 2] <= 0x94)) {
				// A hyphen, or U+2010 hyphen to U+2014 em dash; the
				// dash's own width is at its first byte.
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
	double shortest = (double)count * std::min(fWidestPrintable, fWidestTab);
	if (shortest > fWrapWidth)
		return false;
	int32 tabs = _CountTabsIfPlain(from, to);
	if (tabs < 0)
		return false;
	// The widths add up in float, which may round up by a unit in the
	// last place per character; the bound allows for that.
	double widest = ((double)(count - tabs) * fWidestPrintable
		+ (double)tabs * fWidestTab) * (1.0 + count * 2.4e-7);
	return widest <= fWrapWidth;
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
