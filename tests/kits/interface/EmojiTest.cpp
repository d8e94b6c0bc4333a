/*
 * Colour emoji: the kits' fonts and drawing with Debian's Noto Color Emoji
 * beside the pinned DejaVu fonts (tests/fonts/emoji.conf).
 *
 * Cases:
 * - the emoji font, which has colour bitmaps and no outlines, opens, and
 *   measures in the same units HarfBuzz does;
 * - a flag, a family joined with ZWJ and a hand with a skin tone each lay
 *   out as one glyph of the emoji font, as wide as HarfBuzz shapes it, and
 *   the width goes to the sequence's first character;
 * - the presentation follows Unicode's defaults and the variation
 *   selectors: a smiley in colour though DejaVu has one in black, U+263A
 *   in DejaVu unless U+FE0F asks for emoji, U+FE0E keeping text;
 * - an emoji is drawn in colour, scaled to the font's size, where plain
 *   text in the same call stays black.
 */
#include "FontFace.h"
#include "FontPrivate.h"
#include "TextDrawing.h"

#include <gtest/gtest.h>

#include <cairo.h>

#include <stdlib.h>

#include <algorithm>
#include <string>
#include <vector>

#include "PinnedFonts.h"

using BPrivate::FontFace;
using BPrivate::GlyphPlacement;

namespace {

// Before anything reads fontconfig's configuration, and before the pinned
// fonts' own default; a configuration given from outside is kept.
const int sEmojiFonts = setenv("FONTCONFIG_FILE",
	ORVANE_FONTS_DIR "emoji.conf", 0);

const char* const kEmojiPath
	= "/usr/share/fonts/truetype/noto/NotoColorEmoji.ttf";

// U+1F1EB U+1F1F7: the flag of France.
const char* const kFlag = "\xf0\x9f\x87\xab\xf0\x9f\x87\xb7";
// MAN, ZWJ, WOMAN, ZWJ, GIRL: one family.
const char* const kFamily = "\xf0\x9f\x91\xa8\xe2\x80\x8d\xf0\x9f\x91\xa9"
	"\xe2\x80\x8d\xf0\x9f\x91\xa7";
// THUMBS UP with a medium skin tone.
const char* const kThumb = "\xf0\x9f\x91\x8d\xf0\x9f\x8f\xbd";


struct Colours {
	int coloured = 0;
	int dark = 0;
	int top = INT32_MAX;
	int bottom = -1;
	int left = INT32_MAX;
	int right = -1;
};


// Draws text in black on white and counts its pixels: those clearly
// coloured (channels far apart) and those dark grey or black.
Colours
colours_of(const BFont& font, const std::string& text, BPoint where)
{
	const int kSize = 160;
	cairo_surface_t* surface = cairo_image_surface_create(
		CAIRO_FORMAT_RGB24, kSize, kSize);
	cairo_t* context = cairo_create(surface);
	cairo_set_source_rgb(context, 1, 1, 1);
	cairo_paint(context);
	cairo_set_source_rgb(context, 0, 0, 0);
	BPrivate::draw_string(context, font, text.data(), (int32)text.size(),
		where);
	cairo_destroy(context);
	cairo_surface_flush(surface);

	Colours colours;
	const uint8* data = cairo_image_surface_get_data(surface);
	int stride = cairo_image_surface_get_stride(surface);
	for (int y = 0; y < kSize; y++) {
		const uint32* row = (const uint32*)(data + y * stride);
		for (int x = 0; x < kSize; x++) {
			int red = (row[x] >> 16) & 0xFF;
			int green = (row[x] >> 8) & 0xFF;
			int blue = row[x] & 0xFF;
			int spread = std::max({red, green, blue})
				- std::min({red, green, blue});
			if (spread > 80)
				colours.coloured++;
			else if (red < 128)
				colours.dark++;
			else
				continue;
			colours.top = std::min(colours.top, y);
			colours.bottom = std::max(colours.bottom, y);
			colours.left = std::min(colours.left, x);
			colours.right = std::max(colours.right, x);
		}
	}
	cairo_surface_destroy(surface);
	return colours;
}

}	// namespace


TEST(EmojiTest, ColourBitmapFaceOpensAndMeasures)
{
	FT_Library library;
	ASSERT_EQ(0, FT_Init_FreeType(&library));
	{
		FontFace face(library, kEmojiPath, 0);
		ASSERT_EQ(B_OK, face.InitCheck());
		EXPECT_GT(face.AscentInEms(), 0.5);
		EXPECT_GT(face.DescentInEms(), 0);

		FontFace::Locker locker(&face);
		uint32 glyph = face.GlyphFor(0x1F600);
		ASSERT_NE(0u, glyph);
		std::vector<float> advances = harfbuzz_advances(kEmojiPath,
			utf8_of(0x1F600), 1);
		ASSERT_EQ(1u, advances.size());
		EXPECT_NEAR(advances[0], face.AdvanceInEms(glyph), 0.001);
	}
	FT_Done_FreeType(library);
}


TEST(EmojiTest, SequencesAreOneGlyphAsWideAsHarfBuzzShapesThem)
{
	BFont font(be_plain_font);
	font.SetSize(20);
	for (std::string text : {kFlag, kFamily, kThumb}) {
		SCOPED_TRACE(text);
		std::vector<GlyphPlacement> glyphs;
		BFont::Private(font).LayoutText(text.data(), (int32)text.size(),
			glyphs);
		ASSERT_EQ(1u, glyphs.size());
		ASSERT_NE(nullptr, glyphs[0].face);
		EXPECT_EQ(kEmojiPath, glyphs[0].face->Path());
		EXPECT_EQ(0, glyphs[0].offset);
		EXPECT_EQ((int32)text.size(), glyphs[0].length);

		std::vector<float> advances = harfbuzz_advances(kEmojiPath, text,
			20);
		ASSERT_EQ(1u, advances.size());
		EXPECT_NEAR(advances[0], font.StringWidth(text.c_str()), 0.01);
		EXPECT_NEAR(advances[0], glyphs[0].width, 0.01);

		int32 chars = (int32)std::count_if(text.begin(), text.end(),
			[](char byte) { return ((uint8)byte & 0xC0) != 0x80; });
		std::vector<float> escapements(chars, -1);
		font.GetEscapements(text.c_str(), chars, escapements.data());
		EXPECT_NEAR(advances[0], escapements[0] * 20, 0.01);
		for (int32 i = 1; i < chars; i++)
			EXPECT_EQ(0, escapements[i]) << i;
	}

	// Two flags side by side stay two glyphs: regional indicators pair up.
	std::string flags = std::string(kFlag) + kFlag;
	std::vector<GlyphPlacement> glyphs;
	BFont::Private(font).LayoutText(flags.data(), (int32)flags.size(),
		glyphs);
	ASSERT_EQ(2u, glyphs.size());
	EXPECT_EQ(glyphs[0].glyph, glyphs[1].glyph);
	EXPECT_EQ(8, glyphs[1].offset);
}


TEST(EmojiTest, EmojiIsDrawnInColourScaledToTheLine)
{
	BFont font(be_plain_font);
	font.SetSize(24);
	font_height height;
	font.GetHeight(&height);
	const BPoint where(20, 80);

	// Plain text in black has no colour: the count below can fail.
	Colours plain = colours_of(font, "OK", where);
	EXPECT_GT(plain.dark, 20);
	EXPECT_EQ(0, plain.coloured);

	std::string text = std::string("O") + utf8_of(0x1F600) + "K";
	Colours drawn = colours_of(font, text, where);
	EXPECT_GT(drawn.coloured, 100);
	// The letters around it are still drawn in the source colour.
	EXPECT_GT(drawn.dark, plain.dark / 2);

	// The emoji fits the line it is drawn in, and is as wide as measured.
	EXPECT_GE(drawn.top, where.y - height.ascent - 2);
	EXPECT_LE(drawn.bottom, where.y + height.descent + 2);
	Colours alone = colours_of(font, utf8_of(0x1F600), where);
	float width = font.StringWidth(utf8_of(0x1F600).c_str());
	EXPECT_GT(alone.right - alone.left + 1, width * 0.7);
	EXPECT_LE(alone.right - alone.left + 1, width + 1);
	EXPECT_GT(alone.bottom - alone.top + 1, font.Size() * 0.7);
}


TEST(EmojiTest, PresentationFollowsDefaultsAndVariationSelectors)
{
	BFont font(be_plain_font);
	struct {
		std::string text;
		bool colour;
	} cases[] = {
		{utf8_of(0x1F600), true},
		{utf8_of(0x1F600) + "\xef\xb8\x8e", false},
		{"\xe2\x98\xba", false},
		{"\xe2\x98\xba\xef\xb8\x8f", true},
		{"#\xef\xb8\x8f\xe2\x83\xa3", true},
	};
	for (const auto& entry : cases) {
		SCOPED_TRACE(entry.text);
		std::vector<GlyphPlacement> glyphs;
		BFont::Private(font).LayoutText(entry.text.data(),
			(int32)entry.text.size(), glyphs);
		ASSERT_FALSE(glyphs.empty());
		ASSERT_NE(nullptr, glyphs[0].face);
		EXPECT_EQ(entry.colour, glyphs[0].face->Path() == kEmojiPath);
		EXPECT_NE(0u, glyphs[0].glyph);
	}

	// A space after an emoji is the font's own, not the emoji font's.
	std::string text = utf8_of(0x1F600) + " a";
	std::vector<GlyphPlacement> glyphs;
	BFont::Private(font).LayoutText(text.data(), (int32)text.size(), glyphs);
	ASSERT_EQ(3u, glyphs.size());
	EXPECT_EQ(kSansPath, glyphs[1].face->Path());
	EXPECT_NEAR(font.StringWidth(" "), glyphs[1].width, 0.001);
}
