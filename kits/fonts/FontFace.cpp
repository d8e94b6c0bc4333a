/*
 * FontFace: one FreeType face and the metrics read from it.
 */
#include "FontFace.h"

#include <algorithm>

#include FT_ADVANCES_H
#include FT_TRUETYPE_TABLES_H

namespace BPrivate {


FontFace::FontFace(FT_Library library, const char* path, int32 index)
	:
	fLibrary(library),
	fFace(NULL),
	fStatus(B_NO_INIT),
	fPath(path != NULL ? path : ""),
	fIndex(index),
	fUnitsPerEm(0),
	fAscent(0),
	fDescent(0),
	fLeading(0),
	fColour(false)
{
	if (library == NULL || path == NULL || index < 0) {
		fStatus = B_BAD_VALUE;
		return;
	}

	if (FT_New_Face(library, path, index, &fFace) != 0) {
		fFace = NULL;
		fStatus = B_BAD_DATA;
		return;
	}

	// Measurement works in font units. A face of colour bitmaps (emoji)
	// has no outlines, and FreeType then reports no units per em, but its
	// tables still give the advances in font units, which cairo's bitmap
	// scaling matches; any other bitmap-only face has nothing to measure.
	const TT_Header* header = NULL;
	const TT_HoriHeader* horizontal = NULL;
	if (!FT_IS_SCALABLE(fFace) && FT_HAS_COLOR(fFace)
		&& FT_HAS_FIXED_SIZES(fFace)) {
		header = (const TT_Header*)FT_Get_Sfnt_Table(fFace, FT_SFNT_HEAD);
		horizontal = (const TT_HoriHeader*)FT_Get_Sfnt_Table(fFace,
			FT_SFNT_HHEA);
	}
	if (header != NULL && horizontal != NULL && header->Units_Per_EM > 0) {
		fUnitsPerEm = header->Units_Per_EM;
		_SetVerticalMetrics(horizontal->Ascender, horizontal->Descender,
			horizontal->Ascender - horizontal->Descender
				+ horizontal->Line_Gap);
	} else if (FT_IS_SCALABLE(fFace) && fFace->units_per_EM > 0) {
		fUnitsPerEm = fFace->units_per_EM;
		_SetVerticalMetrics(fFace->ascender, fFace->descender,
			fFace->height);
	} else {
		FT_Done_Face(fFace);
		fFace = NULL;
		fStatus = B_NOT_SUPPORTED;
		return;
	}

	// Characters are looked up by Unicode code point; a face without a
	// Unicode map still opens, and then has no character at all, so that
	// everything comes from the fallback fonts.
	FT_Select_Charmap(fFace, FT_ENCODING_UNICODE);
	fColour = FT_HAS_COLOR(fFace);
	fStatus = B_OK;
}


void
FontFace::_SetVerticalMetrics(float ascender, float descender, float height)
{
	// A broken font may give an ascender below the baseline or a
	// descender above it; a line is never allowed to be shorter than
	// nothing, nor the leading to eat into the glyphs.
	fAscent = std::max(0.0f, ascender / fUnitsPerEm);
	fDescent = std::max(0.0f, -descender / fUnitsPerEm);
	fLeading = std::max(0.0f, height / fUnitsPerEm - fAscent - fDescent);
}


FontFace::~FontFace()
{
	if (fFace != NULL)
		FT_Done_Face(fFace);
}


uint32
FontFace::GlyphFor(uint32 codePoint) const
{
	if (fFace == NULL || fFace->charmap == NULL
		|| fFace->charmap->encoding != FT_ENCODING_UNICODE)
		return 0;
	return FT_Get_Char_Index(fFace, codePoint);
}


float
FontFace::AdvanceInEms(uint32 glyph) const
{
	if (fStatus != B_OK || glyph >= (uint32)fFace->num_glyphs)
		return 0;

	FT_Fixed advance;
	if (FT_Get_Advance(fFace, glyph, FT_LOAD_NO_SCALE | kFontLoadFlags,
			&advance) != 0) {
		return 0;
	}
	return advance / fUnitsPerEm;
}


}	// namespace BPrivate
