/*
 * FontManager, the machinery under BFont that the drawing code uses.
 *
 * Cases:
 * - LayoutText places each character after the one before, with its
 *   bytes, face and glyph, and the widths add up to StringWidth();
 * - a character the font lacks is laid out with the face of the font
 *   that has it (DejaVu Sans for DejaVu Sans Mono);
 * - the face of a style is the file fontconfig lists, opened unhinted at
 *   font units;
 * - a file that is missing or not a font gives an error, not a face.
 */
#include "FontPrivate.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PinnedFonts.h"

using BPrivate::FontFace;
using BPrivate::FontManager;
using BPrivate::GlyphPlacement;


TEST(FontManagerTest, LayoutPlacesEachCharacter)
{
	BFont font(be_plain_font);
	const char* text = "A\xC3\xA9\xFF" "b";
	std::vector<GlyphPlacement> glyphs;
	BFont::Private(font).LayoutText(text, 5, glyphs);

	ASSERT_EQ(4u, glyphs.size());
	const int32 offsets[] = {0, 1, 3, 4};
	const int32 lengths[] = {1, 2, 1, 1};
	float x = 0;
	for (size_t i = 0; i < glyphs.size(); i++) {
		EXPECT_EQ(offsets[i], glyphs[i].offset) << i;
		EXPECT_EQ(lengths[i], glyphs[i].length) << i;
		EXPECT_FLOAT_EQ(x, glyphs[i].x) << i;
		EXPECT_GT(glyphs[i].width, 0) << i;
		EXPECT_NE(0u, glyphs[i].glyph) << i;
		EXPECT_EQ(BFont::Private(font).Face(), glyphs[i].face) << i;
		x += glyphs[i].width;
	}
	EXPECT_FLOAT_EQ(font.StringWidth(text), x);

	// The glyph of the invalid byte is the replacement character's.
	FontFace* face = glyphs[2].face;
	FontFace::Locker locker(face);
	EXPECT_EQ(face->GlyphFor(0xFFFD), glyphs[2].glyph);
}


TEST(FontManagerTest, MissingCharacterUsesTheFallbackFace)
{
	FreeTypeFont sans(kSansPath);
	FreeTypeFont mono(kMonoPath);
	uint32 codePoint = 0;
	for (uint32 candidate = sans.NextChar(0x100); candidate != 0;
			candidate = sans.NextChar(candidate)) {
		if (!mono.HasChar(candidate)) {
			codePoint = candidate;
			break;
		}
	}
	ASSERT_NE(0u, codePoint);

	FontFace* monoFace = BFont::Private(*be_fixed_font).Face();
	ASSERT_NE(nullptr, monoFace);
	EXPECT_EQ(kMonoPath, monoFace->Path());

	FontFace* fallback = FontManager::Default().FallbackFor(monoFace,
		codePoint);
	ASSERT_NE(nullptr, fallback);
	EXPECT_NE(monoFace, fallback);
	{
		FontFace::Locker locker(fallback);
		EXPECT_NE(0u, fallback->GlyphFor(codePoint));
	}

	// 'x', the character, 'x': the middle one from the fallback face.
	std::string string = "x" + utf8_of(codePoint) + "x";

	std::vector<GlyphPlacement> glyphs;
	BFont::Private(*be_fixed_font).LayoutText(string.c_str(),
		string.size(), glyphs);
	ASSERT_EQ(3u, glyphs.size());
	EXPECT_EQ(monoFace, glyphs[0].face);
	EXPECT_EQ(fallback, glyphs[1].face);
	EXPECT_EQ(monoFace, glyphs[2].face);
}


TEST(FontManagerTest, FaceIsTheListedFile)
{
	BFont bold(be_bold_font);
	FontFace* face = BFont::Private(bold).Face();
	ASSERT_NE(nullptr, face);
	EXPECT_EQ(kSansBoldPath, face->Path());
	EXPECT_EQ(0, face->Index());

	FreeTypeFont sans(kSansBoldPath);
	FontFace::Locker locker(face);
	EXPECT_STREQ("DejaVu Sans", face->Face()->family_name);
	uint32 glyph = face->GlyphFor('W');
	ASSERT_NE(0u, glyph);
	EXPECT_NEAR(sans.Advance('W', 1), face->AdvanceInEms(glyph), 1e-4);
	EXPECT_EQ(0u, face->GlyphFor(0x10FFFF));
	EXPECT_EQ(0, face->AdvanceInEms(0xFFFFFF));
}


TEST(FontManagerTest, UnusableFilesAreRefused)
{
	FT_Library library;
	ASSERT_EQ(0, FT_Init_FreeType(&library));
	{
		FontFace missing(library, "/nonexistent/font.ttf", 0);
		EXPECT_EQ(B_BAD_DATA, missing.InitCheck());
		EXPECT_EQ(0u, missing.GlyphFor('a'));
		EXPECT_EQ(0, missing.AdvanceInEms(0));

		std::string notAFont = std::string(ORVANE_FONTS_DIR) + "fonts.conf";
		FontFace text(library, notAFont.c_str(), 0);
		EXPECT_EQ(B_BAD_DATA, text.InitCheck());

		FontFace badIndex(library, kSansPath, 5);
		EXPECT_EQ(B_BAD_DATA, badIndex.InitCheck());
		FontFace negative(library, kSansPath, -1);
		EXPECT_EQ(B_BAD_VALUE, negative.InitCheck());

		FontFace good(library, kSansPath, 0);
		EXPECT_EQ(B_OK, good.InitCheck());
	}
	FT_Done_FreeType(library);
}
