/*
 * Shaped text: BFont's measurement and drawing of scripts that need more
 * than one glyph per character, on the pinned DejaVu fonts.
 *
 * Cases:
 * - StringWidth and GetEscapements agree with HarfBuzz's own advances for
 *   a letter with a combining mark, an Arabic word and a Hebrew word in
 *   Latin text; a mark takes no width of its own;
 * - Arabic letters take their joining forms, laid out right to left, and
 *   a phrase of two words keeps them in order inside Latin text;
 * - the fast path for plain ASCII gives the glyphs and advances that
 *   shaping the same text gives, so both draw the same pixels;
 * - "e" and "E" with U+0301 ink where the precomposed letters do.
 */
#include "FontPrivate.h"
#include "TextDrawing.h"
#include "TextShaper.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "PinnedFonts.h"

using BPrivate::GlyphPlacement;

namespace {

const char* const kArabicWord = "\xd8\xb3\xd9\x84\xd8\xa7\xd9\x85";
const char* const kHebrewInLatin = "say \xd7\xa9\xd7\x9c\xd7\x95\xd7\x9d now";
const char* const kMarked = "e\xcc\x81";


int32
count_chars(const std::string& text)
{
	return (int32)std::count_if(text.begin(), text.end(),
		[](char byte) { return ((uint8)byte & 0xC0) != 0x80; });
}


// The ink of a string drawn in black on white: its bounding box and how
// many pixels it darkens.
struct Ink {
	int left = INT32_MAX;
	int top = INT32_MAX;
	int right = -1;
	int bottom = -1;
	int pixels = 0;
};


Ink
ink_of(const BFont& font, const std::string& text)
{
	cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_A8,
		120, 120);
	cairo_t* context = cairo_create(surface);
	cairo_set_source_rgba(context, 0, 0, 0, 1);
	BPrivate::draw_string(context, font, text.data(), (int32)text.size(),
		BPoint(20, 80));
	cairo_destroy(context);
	cairo_surface_flush(surface);
	Ink ink;
	const uint8* data = cairo_image_surface_get_data(surface);
	int stride = cairo_image_surface_get_stride(surface);
	for (int y = 0; y < 120; y++) {
		for (int x = 0; x < 120; x++) {
			if (data[y * stride + x] < 64)
				continue;
			ink.left = std::min(ink.left, x);
			ink.right = std::max(ink.right, x);
			ink.top = std::min(ink.top, y);
			ink.bottom = std::max(ink.bottom, y);
			ink.pixels++;
		}
	}
	cairo_surface_destroy(surface);
	return ink;
}

}	// namespace


TEST(ShapingTest, WidthsAgreeWithHarfBuzz)
{
	BFont font(be_plain_font);
	font.SetSize(20);
	for (std::string text : {kMarked, kArabicWord, kHebrewInLatin}) {
		SCOPED_TRACE(text);
		std::vector<float> advances = harfbuzz_advances(kSansPath, text, 20);
		float expected = 0;
		for (float advance : advances)
			expected += advance;
		ASSERT_GT(expected, 0);
		EXPECT_NEAR(expected, font.StringWidth(text.c_str()), 0.01);

		int32 chars = count_chars(text);
		std::vector<float> escapements(chars, -1);
		font.GetEscapements(text.c_str(), chars, escapements.data());
		float sum = 0;
		for (float escapement : escapements) {
			EXPECT_GE(escapement, 0);
			sum += escapement * 20;
		}
		EXPECT_NEAR(expected, sum, 0.01);
	}

	// The mark's width is its letter's: the acute takes nothing.
	float escapements[2];
	font.GetEscapements(kMarked, 2, escapements);
	EXPECT_NEAR(font.StringWidth("e"), escapements[0] * 20, 0.01);
	EXPECT_EQ(0, escapements[1]);
}


TEST(ShapingTest, ArabicLettersJoinRightToLeft)
{
	BFont font(be_plain_font);
	font.SetSize(20);
	// BEH YEH TEH: initial, medial and final forms.
	const char* word = "\xd8\xa8\xd9\x8a\xd8\xaa";
	std::vector<GlyphPlacement> glyphs;
	BFont::Private(font).LayoutText(word, 6, glyphs);
	ASSERT_EQ(3u, glyphs.size());
	// Right to left: the last letter comes first.
	EXPECT_EQ(4, glyphs[0].offset);
	EXPECT_EQ(2, glyphs[1].offset);
	EXPECT_EQ(0, glyphs[2].offset);
	for (const GlyphPlacement& glyph : glyphs) {
		std::vector<GlyphPlacement> alone;
		BFont::Private(font).LayoutText(word + glyph.offset, glyph.length,
			alone);
		ASSERT_EQ(1u, alone.size());
		EXPECT_NE(alone[0].glyph, glyph.glyph) << glyph.offset;
	}

	// LAM ALEF is one required ligature that stands for both letters.
	BFont::Private(font).LayoutText(kArabicWord, 8, glyphs);
	ASSERT_EQ(3u, glyphs.size());
	EXPECT_EQ(6, glyphs[0].offset);
	EXPECT_EQ(2, glyphs[1].offset);
	EXPECT_EQ(4, glyphs[1].length);
	EXPECT_EQ(0, glyphs[2].offset);
}


TEST(ShapingTest, AnArabicPhraseInLatinTextKeepsItsWordOrder)
{
	// "to: " SEEN-LAM-ALEF-MEEM, space, BEH-YEH-TEH, " ok": the two Arabic
	// words read right to left as one phrase, and the spaces around the
	// phrase stay where the Latin text has them.
	std::string text = std::string("to: ") + kArabicWord + " "
		+ "\xd8\xa8\xd9\x8a\xd8\xaa" + " ok";
	BFont font(be_fixed_font);
	std::vector<GlyphPlacement> glyphs;
	BFont::Private(font).LayoutText(text.data(), (int32)text.size(), glyphs);
	std::vector<int32> offsets;
	for (const GlyphPlacement& glyph : glyphs)
		offsets.push_back(glyph.offset);
	EXPECT_EQ((std::vector<int32>{0, 1, 2, 3, 17, 15, 13, 12, 10, 6, 4, 19,
		20, 21}), offsets);
	for (size_t i = 1; i < glyphs.size(); i++)
		EXPECT_GT(glyphs[i].x, glyphs[i - 1].x) << i;
}


TEST(ShapingTest, PlainTextTakesTheFastPathToTheSameGlyphs)
{
	std::string ascii;
	for (char c = 0x20; c < 0x7F; c++)
		ascii += c;
	// Pairs that a kerning font would move closer.
	ascii += "AVATeToWAYa";
	for (const BFont* base : {be_plain_font, be_fixed_font}) {
		BFont font(base);
		font.SetSize(17);
		std::vector<GlyphPlacement> fast;
		BFont::Private(font).LayoutText(ascii.data(), (int32)ascii.size(),
			fast);
		std::vector<BPrivate::ShapedGlyph> shaped;
		ASSERT_EQ(B_OK, BPrivate::TextShaper::Default().Shape(
			BFont::Private(font).Face(), ascii.data(), (int32)ascii.size(),
			0, (int32)ascii.size(), shaped));
		ASSERT_EQ(shaped.size(), fast.size());
		float x = 0;
		for (size_t i = 0; i < fast.size(); i++) {
			EXPECT_EQ(shaped[i].glyph, fast[i].glyph) << i;
			EXPECT_FLOAT_EQ(x, fast[i].x) << i;
			EXPECT_EQ(0, shaped[i].xOffset);
			EXPECT_EQ(0, shaped[i].yOffset);
			x += shaped[i].advance * 17;
		}
	}
}


TEST(ShapingTest, CombiningMarkInksLikeThePrecomposedLetter)
{
	BFont font(be_plain_font);
	font.SetSize(40);
	// A capital needs its accent raised above it by the font's mark
	// positioning; a small letter shows that the mark sits over it.
	struct Case {
		const char* composed;
		const char* marked;
		const char* plain;
	} cases[] = {
		{"\xc3\xa9", kMarked, "e"},
		{"\xc3\x89", "E\xcc\x81", "E"},
	};
	for (const Case& test : cases) {
		SCOPED_TRACE(test.plain);
		Ink composed = ink_of(font, test.composed);
		Ink marked = ink_of(font, test.marked);
		Ink plain = ink_of(font, test.plain);
		ASSERT_GT(composed.pixels, 0);
		// The accent rises above the plain letter, over it and not beside
		// it.
		EXPECT_LT(marked.top, plain.top - 3);
		EXPECT_NEAR(composed.left, marked.left, 1);
		EXPECT_NEAR(composed.right, marked.right, 1);
		EXPECT_NEAR(composed.top, marked.top, 2);
		EXPECT_NEAR(composed.bottom, marked.bottom, 1);
		EXPECT_NEAR(composed.pixels, marked.pixels, composed.pixels / 10);
	}
}


TEST(ShapingTest, LinesAreOrderedByTheBidirectionalAlgorithm)
{
	BFont font(be_plain_font);
	font.SetSize(20);
	auto layout = [&](const std::string& text,
			std::vector<GlyphPlacement>& _glyphs) {
		BFont::Private(font).LayoutText(text.data(), (int32)text.size(),
			_glyphs);
		std::vector<int32> offsets;
		for (size_t i = 0; i < _glyphs.size(); i++) {
			offsets.push_back(_glyphs[i].offset);
			if (i > 0) {
				EXPECT_GT(_glyphs[i].x, _glyphs[i - 1].x) << i;
			}
		}
		return offsets;
	};
	std::vector<GlyphPlacement> glyphs;

	// "a ALEF BET 12 GIMEL b": the Hebrew with the number between its
	// words reads right to left, and the number keeps its own order.
	std::string text = "a \xd7\x90\xd7\x91 12 \xd7\x92 b";
	EXPECT_EQ((std::vector<int32>{0, 1, 10, 9, 7, 8, 6, 4, 2, 12, 13}),
		layout(text, glyphs));
	for (const GlyphPlacement& glyph : glyphs) {
		bool hebrew = glyph.offset >= 2 && glyph.offset < 12;
		bool number = glyph.offset == 7 || glyph.offset == 8;
		EXPECT_EQ(hebrew && !number, glyph.rightToLeft) << glyph.offset;
	}

	// A line that starts in Hebrew is a right-to-left line: the Latin
	// word after it stands to its left.
	text = "\xd7\xa9\xd7\x9c\xd7\x95\xd7\x9d ok.";
	EXPECT_EQ((std::vector<int32>{11, 9, 10, 8, 6, 4, 2, 0}),
		layout(text, glyphs));

	// Latin text is left alone, whatever else is in it.
	text = "caf\xc3\xa9 e\xcc\x81 x";
	std::vector<int32> offsets = layout(text, glyphs);
	EXPECT_TRUE(std::is_sorted(offsets.begin(), offsets.end()));
	for (const GlyphPlacement& glyph : glyphs)
		EXPECT_FALSE(glyph.rightToLeft) << glyph.offset;
}
