/*
 * What the font tests share: the pinned fonts' files, and a font read
 * directly with FreeType to check the kits' measurements against.
 */
#ifndef _PINNED_FONTS_H
#define _PINNED_FONTS_H

#include <SupportDefs.h>

#include <string>
#include <utility>
#include <vector>

#include <ft2build.h>
#include FT_FREETYPE_H

#define DEJAVU_DIR "/usr/share/fonts/truetype/dejavu/"

static const char* const kSansPath = DEJAVU_DIR "DejaVuSans.ttf";
static const char* const kSansBoldPath = DEJAVU_DIR "DejaVuSans-Bold.ttf";
static const char* const kMonoPath = DEJAVU_DIR "DejaVuSansMono.ttf";
static const char* const kSerifPath = DEJAVU_DIR "DejaVuSerif.ttf";

// HarfBuzz's own shaping of text in a font file at size, without
// kerning or optional ligatures (as the kits measure): each glyph's
// cluster (the offset of its first byte) and advance, in glyph order.
std::vector<std::pair<int32, float> > harfbuzz_glyphs(const char* path,
	const std::string& text, float size);

// HarfBuzz's advances for text in a font file at size, without kerning
// or optional ligatures (as the kits measure).
std::vector<float> harfbuzz_advances(const char* path,
	const std::string& text, float size);

// The UTF-8 form of a code point.
std::string utf8_of(uint32 codePoint);

// A font file opened with its own FreeType library, independent of the
// code under test. Fails the current test when the file cannot be opened.
class FreeTypeFont {
public:
								FreeTypeFont(const char* path);
								~FreeTypeFont();

			bool				IsValid() const { return fFace != NULL; }
			bool				HasChar(uint32 codePoint) const;
	// The first code point after the given one that the font maps; 0
	// when there is none.
			uint32				NextChar(uint32 codePoint) const;
	// The unhinted advance at a size in pixels, as FreeType scales it.
			float				Advance(uint32 codePoint, float size) const;
	// The advance of the missing-glyph box.
			float				MissingAdvance(float size) const;
			float				Ascent(float size) const;
			float				Descent(float size) const;
			float				LineHeight(float size) const;

private:
			float				_GlyphAdvance(uint32 glyph, float size) const;

			FT_Library			fLibrary;
			FT_Face				fFace;
};

#endif	// _PINNED_FONTS_H
