/*
 * BFont and the font listing functions, under the pinned DejaVu fonts.
 *
 * Cases:
 * - the families are listed sorted and once each, DejaVu Sans and DejaVu
 *   Sans Mono among them, B_IS_FIXED only on the monospaced one; bad
 *   indexes and names give errors;
 * - a family's styles carry their face flags and fixed flag;
 * - be_plain_font, be_bold_font and be_fixed_font are DejaVu Sans Book,
 *   DejaVu Sans Bold and DejaVu Sans Mono Book at 12 points, and a default
 *   BFont equals be_plain_font;
 * - SetFamilyAndStyle: a NULL style gives the regular style, an unknown
 *   family or style leaves the font unchanged, the family-and-style code
 *   round-trips; SetFace and SetFamilyAndFace pick styles by face;
 * - StringWidth("M") is the advance FreeType gives, scales with the size,
 *   measures only the bytes asked for, and rounds under bitmap spacing;
 * - GetHeight matches the face's metrics and is at least ascent plus
 *   descent;
 * - escapements are per character, in ems, and add up to the width;
 * - invalid UTF-8 measures as U+FFFD per byte, and NUL bytes measure
 *   without ending the string;
 * - a character DejaVu Sans Mono lacks is measured from DejaVu Sans, and
 *   GetHasGlyphs counts it as there, unlike one no font has;
 * - the settings clamp bad values, and == sees every setting;
 * - several threads measuring at once (for ThreadSanitizer), from the
 *   first use of any font;
 * - update_font_families reports no change when nothing changed;
 * - on a machine without any font, nothing fails: names are empty and
 *   everything measures zero;
 * - a font installed while the program runs is listed after
 *   update_font_families, and the fonts already in use keep their IDs.
 */
#include <Font.h>

#include <gtest/gtest.h>

#include <math.h>
#include <stdlib.h>
#include <string.h>

#include <fstream>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <time.h>
#include <unistd.h>

#include "PinnedFonts.h"

namespace {

const float kTolerance = 1.0f / 1024;


std::string
family_of(const BFont& font)
{
	font_family family;
	font.GetFamilyAndStyle(&family, NULL);
	return family;
}


std::string
style_of(const BFont& font)
{
	font_style style;
	font.GetFamilyAndStyle(NULL, &style);
	return style;
}


BFont
font_of(const char* family, const char* style, float size = 12)
{
	BFont font;
	EXPECT_EQ(B_OK, font.SetFamilyAndStyle(family, style));
	font.SetSize(size);
	return font;
}


// A character DejaVu Sans has and neither DejaVu Sans Mono nor DejaVu
// Serif has, so that the fallback from the monospaced font can only be
// DejaVu Sans; and one whose width differs from the monospaced font's
// missing-glyph box, so that a width tells which font measured it.
uint32
char_only_in_sans()
{
	FreeTypeFont sans(kSansPath);
	FreeTypeFont mono(kMonoPath);
	FreeTypeFont serif(kSerifPath);
	for (uint32 codePoint = sans.NextChar(0x100); codePoint != 0;
			codePoint = sans.NextChar(codePoint)) {
		if (!mono.HasChar(codePoint) && !serif.HasChar(codePoint)
			&& fabsf(sans.Advance(codePoint, 12)
				- mono.MissingAdvance(12)) > 0.5f) {
			return codePoint;
		}
	}
	return 0;
}


}	// namespace


TEST(FontListingTest, FamiliesAreSortedAndFlagged)
{
	int32 count = count_font_families();
	ASSERT_GE(count, 2);

	std::vector<std::string> names;
	bool sansFound = false;
	bool monoFound = false;
	for (int32 i = 0; i < count; i++) {
		font_family name;
		uint32 flags = 0xFFFFFFFF;
		ASSERT_EQ(B_OK, get_font_family(i, &name, &flags));
		names.push_back(name);
		if (strcmp(name, "DejaVu Sans") == 0) {
			sansFound = true;
			EXPECT_EQ(0u, flags & B_IS_FIXED);
		} else if (strcmp(name, "DejaVu Sans Mono") == 0) {
			monoFound = true;
			EXPECT_EQ((uint32)B_IS_FIXED, flags & B_IS_FIXED);
		} else
			EXPECT_EQ(0u, flags & B_IS_FIXED) << name;
	}
	EXPECT_TRUE(sansFound);
	EXPECT_TRUE(monoFound);

	// Strictly increasing: sorted, and no family twice.
	for (size_t i = 1; i < names.size(); i++)
		EXPECT_LT(strcasecmp(names[i - 1].c_str(), names[i].c_str()), 0);

	font_family name;
	EXPECT_EQ(B_BAD_VALUE, get_font_family(-1, &name));
	EXPECT_EQ(B_BAD_VALUE, get_font_family(count, &name));
	EXPECT_EQ(B_BAD_VALUE, get_font_family(0, NULL));
}


TEST(FontListingTest, StylesCarryFaceAndFixedFlags)
{
	ASSERT_EQ(2, count_font_styles("DejaVu Sans"));

	std::set<std::string> styles;
	for (int32 i = 0; i < 2; i++) {
		font_style style;
		uint16 face = 0;
		uint32 flags = 0xFFFFFFFF;
		ASSERT_EQ(B_OK, get_font_style("DejaVu Sans", i, &style, &face,
			&flags));
		styles.insert(style);
		EXPECT_EQ(0u, flags);
		uint16 expected = strcmp(style, "Bold") == 0
			? B_BOLD_FACE : B_REGULAR_FACE;
		EXPECT_EQ(expected, face) << style;
	}
	EXPECT_EQ((std::set<std::string>{"Book", "Bold"}), styles);

	// The platform's form without a face takes the flags.
	font_style style;
	uint32 flags = 0;
	ASSERT_EQ(B_OK, get_font_style("DejaVu Sans Mono", 0, &style, &flags));
	EXPECT_EQ((uint32)B_IS_FIXED, flags);

	EXPECT_EQ(0, count_font_styles("No Such Family"));
	EXPECT_EQ(0, count_font_styles(NULL));
	EXPECT_EQ(B_NAME_NOT_FOUND, get_font_style("No Such Family", 0, &style));
	EXPECT_EQ(B_BAD_VALUE, get_font_style("DejaVu Sans", 2, &style));
	EXPECT_EQ(B_BAD_VALUE, get_font_style("DejaVu Sans", -1, &style));
	EXPECT_EQ(B_BAD_VALUE, get_font_style("DejaVu Sans", 0, NULL));
}


TEST(FontListingTest, UpdateWithoutChangeReportsNone)
{
	int32 count = count_font_families();
	EXPECT_FALSE(update_font_families(true));
	EXPECT_FALSE(update_font_families(false));
	EXPECT_EQ(count, count_font_families());
}


TEST(SystemFontTest, PinnedSystemFonts)
{
	EXPECT_EQ("DejaVu Sans", family_of(*be_plain_font));
	EXPECT_EQ("Book", style_of(*be_plain_font));
	EXPECT_EQ(12.0f, be_plain_font->Size());
	EXPECT_FALSE(be_plain_font->IsFixed());

	EXPECT_EQ("DejaVu Sans", family_of(*be_bold_font));
	EXPECT_EQ("Bold", style_of(*be_bold_font));
	EXPECT_EQ(12.0f, be_bold_font->Size());
	EXPECT_TRUE(be_bold_font->Face() & B_BOLD_FACE);

	EXPECT_EQ("DejaVu Sans Mono", family_of(*be_fixed_font));
	EXPECT_EQ("Book", style_of(*be_fixed_font));
	EXPECT_EQ(12.0f, be_fixed_font->Size());
	EXPECT_TRUE(be_fixed_font->IsFixed());

	// A default font, a copy and a font set by name are all the same.
	BFont font;
	EXPECT_TRUE(font == *be_plain_font);
	EXPECT_TRUE(BFont((const BFont*)NULL) == *be_plain_font);
	EXPECT_TRUE(BFont(be_fixed_font) == *be_fixed_font);
	EXPECT_TRUE(font_of("DejaVu Sans", "Book") == *be_plain_font);
	EXPECT_EQ(font_of("DejaVu Sans", "Book").FamilyAndStyle(),
		be_plain_font->FamilyAndStyle());
	EXPECT_TRUE(*be_plain_font != *be_bold_font);
}


TEST(FontFamilyAndStyleTest, NullStyleGivesTheRegularStyle)
{
	BFont font(be_bold_font);
	ASSERT_EQ(B_OK, font.SetFamilyAndStyle("DejaVu Sans", NULL));
	EXPECT_EQ("DejaVu Sans", family_of(font));
	EXPECT_EQ("Book", style_of(font));
	EXPECT_EQ((uint16)B_REGULAR_FACE, font.Face());

	ASSERT_EQ(B_OK, font.SetFamilyAndStyle("DejaVu Sans Mono", "Bold"));
	EXPECT_EQ("Bold", style_of(font));
	EXPECT_EQ((uint16)B_BOLD_FACE, font.Face());

	// A NULL family keeps the family and changes the style.
	ASSERT_EQ(B_OK, font.SetFamilyAndStyle(NULL, "Book"));
	EXPECT_EQ("DejaVu Sans Mono", family_of(font));
	EXPECT_EQ("Book", style_of(font));

	// Names are found regardless of ASCII case.
	ASSERT_EQ(B_OK, font.SetFamilyAndStyle("dejavu sans", "BOLD"));
	EXPECT_EQ("DejaVu Sans", family_of(font));
	EXPECT_EQ("Bold", style_of(font));
}


TEST(FontFamilyAndStyleTest, UnknownNamesLeaveTheFontUnchanged)
{
	BFont font = font_of("DejaVu Sans Mono", "Bold", 17);
	BFont before(font);

	EXPECT_EQ(B_NAME_NOT_FOUND, font.SetFamilyAndStyle("No Such Family",
		NULL));
	EXPECT_TRUE(font == before);
	EXPECT_EQ(B_NAME_NOT_FOUND, font.SetFamilyAndStyle("DejaVu Sans",
		"No Such Style"));
	EXPECT_TRUE(font == before);
	EXPECT_EQ(B_NAME_NOT_FOUND, font.SetFamilyAndStyle("", NULL));
	EXPECT_TRUE(font == before);

	// A name longer than a font_family is still refused cleanly.
	std::string longName(300, 'x');
	EXPECT_EQ(B_NAME_NOT_FOUND, font.SetFamilyAndStyle(longName.c_str(),
		longName.c_str()));
	EXPECT_TRUE(font == before);

	font.SetFamilyAndStyle(0xFFF00000u);
	EXPECT_TRUE(font == before);
}


TEST(FontFamilyAndStyleTest, CodeRoundTrips)
{
	BFont bold = font_of("DejaVu Sans", "Bold");
	BFont font(be_fixed_font);
	font.SetFamilyAndStyle(bold.FamilyAndStyle());
	EXPECT_EQ("DejaVu Sans", family_of(font));
	EXPECT_EQ("Bold", style_of(font));
	EXPECT_EQ((uint16)B_BOLD_FACE, font.Face());
}


TEST(FontFamilyAndStyleTest, FacePicksTheStyle)
{
	BFont font = font_of("DejaVu Sans", "Book");
	font.SetFace(B_BOLD_FACE);
	EXPECT_EQ("Bold", style_of(font));
	EXPECT_EQ((uint16)B_BOLD_FACE, font.Face());

	// No pinned style is italic: the style stays, the face is kept for
	// the drawing code.
	font.SetFace(B_BOLD_FACE | B_ITALIC_FACE);
	EXPECT_EQ("Bold", style_of(font));
	EXPECT_EQ((uint16)(B_BOLD_FACE | B_ITALIC_FACE), font.Face());

	font.SetFace(B_REGULAR_FACE);
	EXPECT_EQ("Book", style_of(font));

	ASSERT_EQ(B_OK, font.SetFamilyAndFace("DejaVu Sans Mono", B_BOLD_FACE));
	EXPECT_EQ("DejaVu Sans Mono", family_of(font));
	EXPECT_EQ("Bold", style_of(font));
	ASSERT_EQ(B_OK, font.SetFamilyAndFace(NULL, B_ITALIC_FACE));
	EXPECT_EQ("Book", style_of(font));
	EXPECT_EQ(B_NAME_NOT_FOUND, font.SetFamilyAndFace("No Such Family",
		B_BOLD_FACE));
	EXPECT_EQ("DejaVu Sans Mono", family_of(font));
}


TEST(FontMeasurementTest, WidthIsTheFreeTypeAdvance)
{
	FreeTypeFont sans(kSansPath);
	ASSERT_TRUE(sans.IsValid());
	float advance = sans.Advance('M', 12);
	ASSERT_GT(advance, 0);

	BFont font = font_of("DejaVu Sans", "Book", 12);
	EXPECT_NEAR(advance, font.StringWidth("M"), kTolerance);
	EXPECT_NEAR(advance, be_plain_font->StringWidth("M"), kTolerance);
	EXPECT_NEAR(2 * advance, font.StringWidth("MM"), 2 * kTolerance);

	font.SetSize(24);
	EXPECT_NEAR(sans.Advance('M', 24), font.StringWidth("M"), kTolerance);
	EXPECT_NEAR(2 * advance, font.StringWidth("M"), 2 * kTolerance);

	font.SetSize(0);
	EXPECT_EQ(0, font.StringWidth("M"));
}


TEST(FontMeasurementTest, LengthLimitsTheBytesMeasured)
{
	BFont font(be_plain_font);
	float m = font.StringWidth("M");
	float i = font.StringWidth("i");
	ASSERT_NE(m, i);

	EXPECT_FLOAT_EQ(m, font.StringWidth("Mi", 1));
	EXPECT_FLOAT_EQ(m + i, font.StringWidth("Mi", 2));
	EXPECT_EQ(0, font.StringWidth("Mi", 0));
	EXPECT_EQ(0, font.StringWidth("Mi", -1));
	EXPECT_EQ(0, font.StringWidth(NULL));
	EXPECT_EQ(0, font.StringWidth(NULL, 5));
	EXPECT_EQ(0, font.StringWidth(""));

	const char* strings[] = {"M", "Mi", "i"};
	const int32 lengths[] = {1, 2, 1};
	float widths[3] = {-1, -1, -1};
	font.GetStringWidths(strings, lengths, 3, widths);
	EXPECT_FLOAT_EQ(m, widths[0]);
	EXPECT_FLOAT_EQ(m + i, widths[1]);
	EXPECT_FLOAT_EQ(i, widths[2]);
}


TEST(FontMeasurementTest, BitmapSpacingRoundsEachCharacter)
{
	BFont font(be_plain_font);
	font.SetSize(13);
	float m = font.StringWidth("M");
	float i = font.StringWidth("i");
	ASSERT_NE(roundf(m), m);

	font.SetSpacing(B_BITMAP_SPACING);
	EXPECT_EQ(roundf(m), font.StringWidth("M"));
	EXPECT_EQ(roundf(m) + roundf(i), font.StringWidth("Mi"));

	float escapements[2];
	font.GetEscapements("Mi", 2, escapements);
	EXPECT_FLOAT_EQ(roundf(m) / 13, escapements[0]);
}


TEST(FontMeasurementTest, HeightMatchesTheFaceMetrics)
{
	FreeTypeFont sans(kSansPath);
	ASSERT_TRUE(sans.IsValid());

	font_height height;
	be_plain_font->GetHeight(&height);
	EXPECT_NEAR(sans.Ascent(12), height.ascent, kTolerance);
	EXPECT_NEAR(sans.Descent(12), height.descent, kTolerance);
	EXPECT_GE(height.leading, 0);
	EXPECT_GE(height.ascent + height.descent + height.leading,
		height.ascent + height.descent);
	EXPECT_NEAR(sans.LineHeight(12),
		height.ascent + height.descent + height.leading, kTolerance);
	EXPECT_GT(height.ascent, 0);
	EXPECT_GT(height.descent, 0);

	BFont big(be_plain_font);
	big.SetSize(36);
	font_height bigHeight;
	big.GetHeight(&bigHeight);
	EXPECT_NEAR(3 * height.ascent, bigHeight.ascent, 3 * kTolerance);
	EXPECT_NEAR(3 * height.descent, bigHeight.descent, 3 * kTolerance);

	be_plain_font->GetHeight(NULL);
}


TEST(FontMeasurementTest, EscapementsAreCharactersInEms)
{
	FreeTypeFont sans(kSansPath);
	ASSERT_TRUE(sans.IsValid());

	// Five characters in seven bytes.
	const char* text = "Gr\xC3\xBC\xC3\x9F" "e";
	BFont font(be_plain_font);
	font.SetSize(17);

	float escapements[6] = {-1, -1, -1, -1, -1, -1};
	font.GetEscapements(text, 5, escapements);
	EXPECT_NEAR(sans.Advance('G', 17) / 17, escapements[0], kTolerance);
	EXPECT_NEAR(sans.Advance(0xFC, 17) / 17, escapements[2], kTolerance);
	EXPECT_NEAR(sans.Advance(0xDF, 17) / 17, escapements[3], kTolerance);
	EXPECT_EQ(-1, escapements[5]);

	float sum = 0;
	for (int32 i = 0; i < 5; i++) {
		EXPECT_GT(escapements[i], 0);
		sum += escapements[i];
	}
	EXPECT_NEAR(font.StringWidth(text), sum * 17, 5 * kTolerance);

	// Ems do not depend on the size.
	float small[5];
	font.SetSize(9);
	font.GetEscapements(text, 5, small);
	for (int32 i = 0; i < 5; i++)
		EXPECT_NEAR(escapements[i], small[i], kTolerance);

	font.GetEscapements(NULL, 5, small);
	EXPECT_EQ(0, small[0]);
	font.GetEscapements(text, 5, NULL);
}


TEST(FontMeasurementTest, InvalidUTF8AndNulBytesMeasure)
{
	BFont font(be_plain_font);
	float a = font.StringWidth("a");
	float b = font.StringWidth("b");
	float replacement = font.StringWidth("\xEF\xBF\xBD");
	float nul = font.StringWidth("\0", 1);
	ASSERT_GT(replacement, 0);
	ASSERT_GT(nul, 0);

	// Each byte that does not begin a well-formed sequence is one U+FFFD.
	EXPECT_FLOAT_EQ(replacement, font.StringWidth("\xFF"));
	EXPECT_FLOAT_EQ(2 * replacement, font.StringWidth("\xC0\x80"));
	EXPECT_FLOAT_EQ(2 * replacement + a, font.StringWidth("\xE2\x82" "a"));
	EXPECT_FLOAT_EQ(3 * replacement, font.StringWidth("\xED\xA0\x80"));

	// A NUL is a character inside a string whose length is given. The
	// array ends in a NUL, as GetEscapements() needs after a truncated
	// sequence.
	const char text[] = {'a', '\0', 'b', '\xFF', '\xC3', '\0'};
	EXPECT_FLOAT_EQ(a + nul + b + 2 * replacement, font.StringWidth(text, 5));

	float escapements[5];
	font.GetEscapements(text, 5, escapements);
	EXPECT_FLOAT_EQ(nul / 12, escapements[1]);
	EXPECT_FLOAT_EQ(replacement / 12, escapements[4]);

	// Every single byte value, alone and at the end of a string.
	for (int value = 0; value < 256; value++) {
		char bytes[2] = {'x', (char)value};
		EXPECT_GT(font.StringWidth(bytes + 1, 1), 0) << value;
		EXPECT_GT(font.StringWidth(bytes, 2), 0) << value;
	}
}


TEST(FontMeasurementTest, MissingCharacterComesFromAFallback)
{
	uint32 codePoint = char_only_in_sans();
	ASSERT_NE(0u, codePoint) << "no character only DejaVu Sans has";

	FreeTypeFont sans(kSansPath);
	FreeTypeFont mono(kMonoPath);
	ASSERT_FALSE(mono.HasChar(codePoint));
	std::string text = utf8_of(codePoint);

	float width = be_fixed_font->StringWidth(text.c_str());
	EXPECT_GT(width, 0);
	EXPECT_NEAR(sans.Advance(codePoint, 12), width, kTolerance);
	EXPECT_GT(fabsf(width - mono.MissingAdvance(12)), 0.5f);

	// Cached, the same again; and the same in the middle of a string.
	EXPECT_FLOAT_EQ(width, be_fixed_font->StringWidth(text.c_str()));
	std::string mixed = "a" + text + "b";
	float escapements[3];
	be_fixed_font->GetEscapements(mixed.c_str(), 3, escapements);
	EXPECT_NEAR(width / 12, escapements[1], kTolerance);
	EXPECT_NEAR(mono.Advance('a', 12) / 12, escapements[0], kTolerance);

	// GetHasGlyphs counts the fallback's glyph as the font's; the pinned
	// fonts have no picture for NUL (U+2400) at all.
	mixed += "\xE2\x90\x80";
	bool has[4] = { false, false, false, true };
	be_fixed_font->GetHasGlyphs(mixed.c_str(), 4, has);
	EXPECT_TRUE(has[0]);
	EXPECT_TRUE(has[1]);
	EXPECT_TRUE(has[2]);
	EXPECT_FALSE(has[3]);
}


TEST(FontSettingsTest, SettingsClampAndCompare)
{
	BFont font(be_plain_font);

	font.SetSize(-5);
	EXPECT_EQ(0, font.Size());
	font.SetSize(1e9f);
	EXPECT_EQ(10000, font.Size());
	font.SetSize(NAN);
	EXPECT_EQ(10000, font.Size());
	font.SetSize(11.5f);
	EXPECT_EQ(11.5f, font.Size());

	font.SetShear(10);
	EXPECT_EQ(45, font.Shear());
	font.SetShear(200);
	EXPECT_EQ(135, font.Shear());

	font.SetRotation(-90);
	EXPECT_EQ(270, font.Rotation());
	font.SetRotation(INFINITY);
	EXPECT_EQ(270, font.Rotation());

	font.SetSpacing(B_FIXED_SPACING);
	font.SetSpacing(200);
	EXPECT_EQ(B_FIXED_SPACING, font.Spacing());
	font.SetEncoding(B_ISO_8859_1);
	font.SetEncoding(250);
	EXPECT_EQ(B_ISO_8859_1, font.Encoding());

	// Each setting on its own makes two fonts differ.
	BFont base(be_plain_font);
	BFont other(base);
	other.SetSize(13);
	EXPECT_TRUE(other != base);
	other = base;
	other.SetShear(100);
	EXPECT_TRUE(other != base);
	other = base;
	other.SetRotation(10);
	EXPECT_TRUE(other != base);
	other = base;
	other.SetSpacing(B_BITMAP_SPACING);
	EXPECT_TRUE(other != base);
	other = base;
	other.SetEncoding(B_ISO_8859_2);
	EXPECT_TRUE(other != base);
	other = base;
	other.SetFlags(B_DISABLE_ANTIALIASING);
	EXPECT_EQ((uint32)B_DISABLE_ANTIALIASING, other.Flags());
	EXPECT_TRUE(other != base);
	other = base;
	EXPECT_TRUE(other == base);
	EXPECT_EQ(B_FONT_LEFT_TO_RIGHT, other.Direction());
}


TEST(FontSettingsTest, PrintToStreamNamesTheFont)
{
	testing::internal::CaptureStdout();
	be_fixed_font->PrintToStream();
	std::string output = testing::internal::GetCapturedStdout();
	EXPECT_NE(std::string::npos, output.find("DejaVu Sans Mono"));
	EXPECT_NE(std::string::npos, output.find("12.0"));
}


// Each test runs in a process of its own, so the threads here are also the
// first to touch the fonts: they race the start-up as well.
TEST(FontThreadTest, ThreadsMeasureAtOnce)
{
	uint32 missing = char_only_in_sans();
	std::string text = "Hello, w\xC3\xB6rld \xFF " + utf8_of(missing);

	const int kThreads = 4;
	std::vector<float> plain(kThreads);
	std::vector<float> fixed(kThreads);
	std::vector<float> heights(kThreads);
	std::vector<std::thread> threads;
	for (int i = 0; i < kThreads; i++) {
		threads.emplace_back([&, i]() {
			for (int round = 0; round < 50; round++) {
				BFont font(i % 2 == 0 ? be_plain_font : be_fixed_font);
				font.SetSize(10 + round % 5);
				font.StringWidth(text.c_str());
				font_height height;
				font.GetHeight(&height);
				font_family family;
				get_font_family(0, &family);
			}
			plain[i] = be_plain_font->StringWidth(text.c_str());
			fixed[i] = be_fixed_font->StringWidth(text.c_str());
			font_height height;
			be_bold_font->GetHeight(&height);
			heights[i] = height.ascent;
		});
	}
	for (std::thread& thread : threads)
		thread.join();

	EXPECT_GT(plain[0], 0);
	EXPECT_GT(fixed[0], 0);
	for (int i = 0; i < kThreads; i++) {
		EXPECT_FLOAT_EQ(be_plain_font->StringWidth(text.c_str()), plain[i]);
		EXPECT_FLOAT_EQ(be_fixed_font->StringWidth(text.c_str()), fixed[i]);
		EXPECT_FLOAT_EQ(heights[0], heights[i]);
	}
}


// Runs in a process of its own: exits 0 when, without any font, every
// call answers cleanly with empty names and zero measurements.
static void
measure_without_fonts()
{
	setenv("FONTCONFIG_FILE", ORVANE_FONTS_DIR "empty.conf", 1);
	font_family family = "unchanged";
	font_style style = "unchanged";
	be_plain_font->GetFamilyAndStyle(&family, &style);
	font_height height = {1, 1, 1};
	be_fixed_font->GetHeight(&height);
	float escapements[2] = {1, 1};
	be_bold_font->GetEscapements("ab", 2, escapements);

	BFont font;
	bool good = count_font_families() == 0
		&& get_font_family(0, &family) == B_BAD_VALUE
		&& family[0] == '\0' && style[0] == '\0'
		&& font.StringWidth("abc") == 0
		&& height.ascent == 0 && height.descent == 0 && height.leading == 0
		&& escapements[0] == 0 && escapements[1] == 0
		&& font.SetFamilyAndStyle("DejaVu Sans", NULL) == B_NAME_NOT_FOUND
		&& !font.IsFixed()
		&& font == *be_plain_font;
	exit(good ? 0 : 1);
}


// The fonts are read once per process, so this runs as a death test,
// which the threadsafe style runs in a fresh process of the program.
TEST(FontNoFontsTest, EverythingMeasuresZero)
{
	GTEST_FLAG_SET(death_test_style, "threadsafe");
	EXPECT_EXIT(measure_without_fonts(), testing::ExitedWithCode(0),
		"no scalable font");
}


static bool
copy_file(const char* source, const std::string& target)
{
	std::ifstream input(source, std::ios::binary);
	std::ofstream output(target, std::ios::binary);
	output << input.rdbuf();
	return input.good() && output.good();
}


// Runs in a process of its own: exits 0 when a font copied into the only
// font folder after start-up appears after update_font_families().
static void
update_after_installing()
{
	char folder[] = "/tmp/orvane-font-update-XXXXXX";
	if (mkdtemp(folder) == NULL)
		exit(2);
	std::string conf = std::string(folder) + "/fonts.conf";
	std::ofstream(conf) << "<fontconfig><dir>" << folder << "</dir>"
		"<cachedir>" << folder << "/cache</cachedir></fontconfig>";
	copy_file(kSansPath, std::string(folder) + "/DejaVuSans.ttf");
	setenv("FONTCONFIG_FILE", conf.c_str(), 1);

	bool good = count_font_families() == 1;
	uint32 sansCode = be_plain_font->FamilyAndStyle();

	// fontconfig compares modification times in whole seconds with the
	// time it read the folder, so the new font must come a second later.
	time_t loaded = time(NULL);
	while (time(NULL) <= loaded)
		usleep(50 * 1000);
	copy_file(kMonoPath, std::string(folder) + "/DejaVuSansMono.ttf");

	good = good && update_font_families(true)
		&& count_font_families() == 1
		&& update_font_families(false)
		&& count_font_families() == 2
		&& !update_font_families(false)
		&& be_plain_font->FamilyAndStyle() == sansCode;
	font_family family;
	good = good && get_font_family(1, &family) == B_OK
		&& strcmp(family, "DejaVu Sans Mono") == 0;

	BFont mono;
	good = good && mono.SetFamilyAndStyle("DejaVu Sans Mono", NULL) == B_OK
		&& mono.StringWidth("M") > 0;

	std::string command = std::string("rm -rf ") + folder;
	good = system(command.c_str()) == 0 && good;
	exit(good ? 0 : 1);
}


TEST(FontListingTest, UpdateFindsNewFonts)
{
	GTEST_FLAG_SET(death_test_style, "threadsafe");
	EXPECT_EXIT(update_after_installing(), testing::ExitedWithCode(0), "");
}
