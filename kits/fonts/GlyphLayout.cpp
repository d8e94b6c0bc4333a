/*
 * GlyphLayout: clusters, faces and runs for shaping.
 */
#include "GlyphLayout.h"

#include "FontFace.h"
#include "GraphemeBreak.h"
#include "UTF8Decoding.h"

#include <algorithm>

#include <ctype.h>

namespace BPrivate {

namespace {

// Control characters have no glyph in any font worth asking fontconfig
// about; they are measured, and drawn, from the font's own face.
inline bool
is_control(uint32 codePoint)
{
	return codePoint < 0x20 || (codePoint >= 0x7F && codePoint < 0xA0);
}


// Characters that show nothing by themselves (joiners, variation
// selectors, tags): a face that lacks them can still draw their cluster.
inline bool
is_invisible(uint32 codePoint)
{
	return (codePoint >= 0x200B && codePoint <= 0x200F)
		|| (codePoint >= 0x2060 && codePoint <= 0x206F)
		|| (codePoint >= 0xFE00 && codePoint <= 0xFE0F)
		|| (codePoint >= 0xE0000 && codePoint <= 0xE01EF);
}


inline int32
decode(const char* text, int32 length, int32 offset, uint32& _codePoint)
{
	return DecodeUTF8(text + offset, std::min((int32)4, length - offset),
		_codePoint);
}

}	// namespace


GlyphLayout::GlyphLayout(FontFace* primary, const FallbackFinder& fallback)
	:
	fPrimary(primary),
	fFallback(fallback)
{
}


void
GlyphLayout::Lay(const char* text, int32 length, const Visitor& visit)
{
	// The run of clusters in one face that is waiting to be shaped.
	FontFace* runFace = NULL;
	int32 runStart = 0;
	int32 runEnd = 0;
	auto flush = [&]() {
		if (runEnd > runStart)
			_LayShaped(runFace, text, length, runStart, runEnd, visit);
		runStart = runEnd;
	};

	int32 offset = 0;
	while (offset < length) {
		int32 plainEnd = _PlainEnd(text, length, offset);
		bool pending = runEnd > runStart && runEnd == offset;
		if (plainEnd > offset
			&& !(pending && _IsGap(text, length, offset, plainEnd))) {
			flush();
			_LayPlain(text, offset, plainEnd, visit);
			offset = runStart = runEnd = plainEnd;
			continue;
		}

		uint32 codePoint;
		int32 bytes = decode(text, length, offset, codePoint);
		if ((bytes == 1 && (uint8)text[offset] >= 0x80)
			|| is_control(codePoint)) {
			flush();
			offset += _LaySingle(text, length, offset, visit);
			runStart = runEnd = offset;
			continue;
		}

		int32 end = NextGraphemeBoundary(text, length, offset);
		FontFace* face = _FaceForCluster(text, offset, end, runFace);
		if (face != runFace) {
			flush();
			runFace = face;
		}
		offset = runEnd = end;
	}
	flush();
}


int32
GlyphLayout::_PlainEnd(const char* text, int32 length, int32 offset)
{
	int32 end = offset;
	while (end < length && (uint8)text[end] < 0x80)
		end++;
	// A mark or joiner after the last ASCII character makes that
	// character part of a cluster to be shaped.
	if (end < length && end > offset
		&& !IsGraphemeBoundary(text, length, end))
		end--;
	return end;
}


bool
GlyphLayout::_IsGap(const char* text, int32 length, int32 from, int32 to)
{
	// Short, so that a long stretch of punctuation is not scanned once
	// per character.
	const int32 kMaxGap = 8;
	if (to >= length || to - from > kMaxGap)
		return false;
	for (int32 at = from; at < to; at++) {
		uint8 byte = (uint8)text[at];
		if (isalnum(byte) || byte < 0x20 || byte == 0x7F)
			return false;
	}
	return true;
}


void
GlyphLayout::_LayPlain(const char* text, int32 from, int32 to,
	const Visitor& visit)
{
	LaidGlyph laid = {fPrimary, 0, 0, 0, 0, 0, 1};
	if (fPrimary == NULL) {
		for (laid.offset = from; laid.offset < to; laid.offset++)
			visit(laid);
		return;
	}

	FontFace::Locker locker(fPrimary);
	for (laid.offset = from; laid.offset < to; laid.offset++) {
		laid.glyph = fPrimary->GlyphFor((uint8)text[laid.offset]);
		laid.advance = fPrimary->AdvanceInEms(laid.glyph);
		visit(laid);
	}
}


int32
GlyphLayout::_LaySingle(const char* text, int32 length, int32 offset,
	const Visitor& visit)
{
	uint32 codePoint;
	int32 bytes = decode(text, length, offset, codePoint);
	LaidGlyph laid = {fPrimary, 0, 0, 0, 0, offset, bytes};
	if (fPrimary != NULL) {
		{
			FontFace::Locker locker(fPrimary);
			laid.glyph = fPrimary->GlyphFor(codePoint);
		}
		if (laid.glyph == 0 && !is_control(codePoint)) {
			FontFace* fallback = fFallback(fPrimary, codePoint, false);
			if (fallback != NULL) {
				FontFace::Locker locker(fallback);
				laid.face = fallback;
				laid.glyph = fallback->GlyphFor(codePoint);
			}
		}
		FontFace::Locker locker(laid.face);
		laid.advance = laid.face->AdvanceInEms(laid.glyph);
	}
	visit(laid);
	return bytes;
}


FontFace*
GlyphLayout::_FaceForCluster(const char* text, int32 from, int32 to,
	FontFace* runFace)
{
	if (fPrimary == NULL)
		return NULL;

	uint32 first;
	decode(text, to, from, first);
	// ASCII spaces and punctuation between the words of a fallback run
	// stay in it, so that a phrase of another script is shaped, and put
	// in its order, as one run. Emoji fonts draw spaces too, but at their
	// own width, so nothing is kept in a colour face's run.
	if (runFace != NULL && runFace != fPrimary && !runFace->HasColour()
		&& first < 0x80 && !isalnum((int)first)) {
		FontFace::Locker locker(runFace);
		if (runFace->GlyphFor(first) != 0)
			return runFace;
	}
	// Emoji in colour, even where the font has a black and white glyph.
	if (IsEmojiCluster(text, from, to) && !fPrimary->HasColour()) {
		FontFace* colour = fFallback(fPrimary, first, true);
		if (colour != NULL)
			return colour;
	}
	{
		FontFace::Locker locker(fPrimary);
		bool hasAll = true;
		for (int32 at = from; at < to && hasAll;) {
			uint32 codePoint;
			at += decode(text, to, at, codePoint);
			hasAll = is_invisible(codePoint)
				|| fPrimary->GlyphFor(codePoint) != 0;
		}
		if (hasAll)
			return fPrimary;
	}
	FontFace* fallback = fFallback(fPrimary, first, false);
	return fallback != NULL ? fallback : fPrimary;
}


void
GlyphLayout::_LayShaped(FontFace* face, const char* text, int32 length,
	int32 from, int32 to, const Visitor& visit)
{
	if (face == NULL
		|| TextShaper::Default().Shape(face, text, length, from, to - from,
			fShaped) != B_OK) {
		// Without shaping, each character on its own as the face maps it.
		for (int32 at = from; at < to;)
			at += _LaySingle(text, length, at, visit);
		return;
	}

	// A glyph stands for the bytes from its cluster's start to the next
	// cluster's.
	std::vector<int32> starts;
	starts.reserve(fShaped.size());
	for (const ShapedGlyph& shaped : fShaped)
		starts.push_back(shaped.cluster);
	std::sort(starts.begin(), starts.end());
	for (const ShapedGlyph& shaped : fShaped) {
		auto next = std::upper_bound(starts.begin(), starts.end(),
			shaped.cluster);
		int32 end = next != starts.end() ? *next : to;
		visit(LaidGlyph{face, shaped.glyph, shaped.advance, shaped.xOffset,
			shaped.yOffset, shaped.cluster, end - shaped.cluster});
	}
}

}	// namespace BPrivate
