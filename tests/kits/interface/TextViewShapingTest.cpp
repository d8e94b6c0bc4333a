/*
 * A BTextView measures text that is not plain ASCII as it draws it:
 * - a Devanagari conjunct (KA VIRAMA SSA) and the word "hindi" are as wide
 *   as HarfBuzz shapes them in the Devanagari font, and the caret at
 *   every offset stands on an edge of one of HarfBuzz's clusters;
 * - an Arabic word, whose letters join, is as wide as HarfBuzz shapes it,
 *   and the caret at each cluster stands where HarfBuzz's advances put
 *   that cluster's right edge, counted from the right;
 * - wrapping uses the joined widths: as many Arabic words fit on a line
 *   as their shaped widths allow;
 * - each laid-out line is shaped once: drawing again shapes nothing, and
 *   a keystroke reshapes its own line only;
 * - a right-to-left line with tabs is laid out from the right, the tabs
 *   between its stretches, while a left-to-right one starts at the left;
 *   in a text rectangle far wider than the view, as the editor has, each
 *   stretch ends on its stop counted from the line's right end, is drawn
 *   there, and a click beside it lands on a caret at its edge.
 */
#include "InterfaceTestSupport.h"
#include "PinnedFonts.h"
#include "TextViewData.h"

#include <TextView.h>

#include <hb.h>

#include <math.h>

#include <map>
#include <set>
#include <string>
#include <vector>

using namespace interface_test;

namespace {

const char* const kDevanagariPath
	= "/usr/share/fonts/truetype/noto/NotoSansDevanagari-Regular.ttf";
const float kSize = 20;

// KA VIRAMA SSA, and "hindi": HA I, NA VIRAMA DA II.
const char* const kConjunct = "\xe0\xa4\x95\xe0\xa5\x8d\xe0\xa4\xb7";
const char* const kHindi = "\xe0\xa4\xb9\xe0\xa4\xbf\xe0\xa4\xa8\xe0\xa5\x8d"
	"\xe0\xa4\xa6\xe0\xa5\x80";
// "marhaban": MEEM REH HAH BEH ALEF, five letters that join.
const char* const kArabic = "\xd9\x85\xd8\xb1\xd8\xad\xd8\xa8\xd8\xa7";
// "shalom" and "olam".
const char* const kShalom = "\xd7\xa9\xd7\x9c\xd7\x95\xd7\x9d";
const char* const kOlam = "\xd7\xa2\xd7\x95\xd7\x9c\xd7\x9d";


// HarfBuzz's own shaping of text in a font file: each cluster's first
// byte with the sum of its glyphs' advances, in the order of the text.
std::map<int32, float>
harfbuzz_clusters(const char* path, const std::string& text, float size)
{
	std::map<int32, float> clusters;
	for (const auto& glyph : harfbuzz_glyphs(path, text, size))
		clusters[glyph.first] += glyph.second;
	return clusters;
}


// The x of each cluster's leading edge from the line's start, in the order
// of the text, and the x of the end.
std::map<int32, float>
cluster_edges(const std::map<int32, float>& clusters, int32 length)
{
	std::map<int32, float> edges;
	float x = 0;
	for (const auto& cluster : clusters) {
		edges[cluster.first] = x;
		x += cluster.second;
	}
	edges[length] = x;
	return edges;
}


class TextViewShapingTest : public ::testing::Test {
protected:
	void SetUp() override
	{
		ASSERT_EQ(fDriver.Launch<TestApplication>(), B_OK);
		fWindow = new BWindow(BRect(100, 100, 699, 499), "Text",
			B_TITLED_WINDOW, 0);
		fView = new BTextView(fWindow->Bounds(), "text",
			BRect(4, 4, 595, 10), B_FOLLOW_ALL_SIDES, B_WILL_DRAW);
		show_with_focus(fDriver, fWindow, fView);
		WindowLocker locker(fWindow);
		BFont font(be_plain_font);
		font.SetSize(kSize);
		fView->SetFontAndColor(&font);
	}

	void SetText(const std::string& text)
	{
		WindowLocker locker(fWindow);
		fView->SetText(text.c_str());
	}

	// The caret's x from the left edge of the text rectangle.
	float X(int32 offset)
	{
		WindowLocker locker(fWindow);
		return fView->PointAt(offset).x - 4;
	}

	float Width(int32 line = 0)
	{
		WindowLocker locker(fWindow);
		return fView->LineWidth(line);
	}

	int64 Shaped()
	{
		EXPECT_EQ(B_OK, fDriver.WaitForIdle());
		WindowLocker locker(fWindow);
		return BTextView::Private(fView).LinesShaped();
	}

	TestDriver fDriver;
	BWindow* fWindow = NULL;
	BTextView* fView = NULL;
};

}	// namespace


TEST_F(TextViewShapingTest, DevanagariMeasuresAsHarfBuzzShapesIt)
{
	FreeTypeFont devanagari(kDevanagariPath);
	ASSERT_TRUE(devanagari.IsValid());
	for (std::string text : {std::string(kConjunct), std::string(kHindi)}) {
		SCOPED_TRACE(text);
		SetText(text);
		int32 length = (int32)text.size();
		std::map<int32, float> edges = cluster_edges(
			harfbuzz_clusters(kDevanagariPath, text, kSize), length);
		EXPECT_NEAR(edges[length], Width(), 0.01);

		// Every offset the caret can be put at, and every stop of the
		// right arrow, is a cluster's edge where HarfBuzz puts it.
		std::set<int32> stops;
		for (int32 offset = 0; offset <= length; offset++) {
			WindowLocker locker(fWindow);
			fView->Select(offset, offset);
			int32 start;
			fView->GetSelection(&start, NULL);
			stops.insert(start);
		}
		{
			WindowLocker locker(fWindow);
			fView->Select(0, 0);
		}
		std::vector<int32> arrowStops;
		for (int32 press = 0; press < length; press++) {
			EXPECT_EQ(B_OK, fDriver.PressKey(fWindow, B_RIGHT_ARROW));
			WindowLocker locker(fWindow);
			int32 caret;
			fView->GetSelection(&caret, NULL);
			if (!arrowStops.empty() && caret == arrowStops.back())
				break;
			arrowStops.push_back(caret);
		}
		EXPECT_EQ(length, arrowStops.back());
		stops.insert(arrowStops.begin(), arrowStops.end());
		for (int32 stop : stops) {
			SCOPED_TRACE(stop);
			ASSERT_TRUE(edges.count(stop) > 0);
			EXPECT_NEAR(edges[stop], X(stop), 0.01);
		}
		// Each press moves the caret on the screen.
		for (size_t i = 1; i < arrowStops.size(); i++)
			EXPECT_GT(X(arrowStops[i]), X(arrowStops[i - 1]) + 1);
		// The conjunct is one cluster; the caret cannot stand inside it.
		if (text == kConjunct) {
			EXPECT_EQ((std::set<int32>{0, length}), stops);
		}
	}
}


TEST_F(TextViewShapingTest, ArabicWordMeasuresAsHarfBuzzJoinsIt)
{
	std::string text = kArabic;
	int32 length = (int32)text.size();
	SetText(text);
	std::map<int32, float> clusters = harfbuzz_clusters(kSansPath, text,
		kSize);
	ASSERT_EQ(5u, clusters.size());
	std::map<int32, float> edges = cluster_edges(clusters, length);
	float width = edges[length];
	EXPECT_NEAR(width, Width(), 0.01);
	// Joined letters are narrower than the letters alone.
	float alone = 0;
	for (int32 at = 0; at < length; at += 2) {
		for (float advance : harfbuzz_advances(kSansPath, text.substr(at, 2),
				kSize)) {
			alone += advance;
		}
	}
	EXPECT_GT(alone, width + 1);

	// The line reads from the right: the caret before a letter stands at
	// its right edge.
	for (const auto& edge : edges) {
		SCOPED_TRACE(edge.first);
		EXPECT_NEAR(width - edge.second, X(edge.first), 0.01);
	}
	// A click just left of a letter's right edge lands before it.
	for (int32 offset = 0; offset < length; offset += 2) {
		WindowLocker locker(fWindow);
		BPoint point = fView->PointAt(offset);
		point.x -= 1;
		point.y += 5;
		EXPECT_EQ(offset, fView->OffsetAt(point));
	}
}


TEST_F(TextViewShapingTest, WrappingUsesTheJoinedWidths)
{
	std::string word = kArabic;
	std::map<int32, float> clusters = harfbuzz_clusters(kSansPath, word,
		kSize);
	float wordWidth = cluster_edges(clusters, (int32)word.size())[
		(int32)word.size()];
	float space = harfbuzz_advances(kSansPath, " ", kSize)[0];
	std::string text = word + " " + word + " " + word + " " + word;
	SetText(text);
	{
		// Room for three joined words and their spaces, not for a fourth.
		WindowLocker locker(fWindow);
		float right = 4 + 3 * wordWidth + 2 * space + 1;
		fView->SetTextRect(BRect(4, 4, right, 10));
		EXPECT_EQ(2, fView->CountLines());
		EXPECT_EQ(3 * ((int32)word.size() + 1), fView->OffsetAt(1));
	}
	EXPECT_NEAR(3 * wordWidth + 3 * space, Width(0), 0.05);
	EXPECT_NEAR(wordWidth, Width(1), 0.01);
}


TEST_F(TextViewShapingTest, EachLineIsShapedOnceAndAKeystrokeReshapesItsOwn)
{
	std::string text;
	for (int line = 0; line < 12; line++) {
		text += std::string(kShalom) + " " + kOlam + " "
			+ std::to_string(line) + "\n";
	}
	text += "plain ASCII\n";
	SetText(text);
	{
		WindowLocker locker(fWindow);
		fView->Invalidate();
	}
	int64 drawn = Shaped();
	EXPECT_GE(drawn, 12);

	// Drawing again, and moving the caret about, shapes nothing.
	{
		WindowLocker locker(fWindow);
		fView->Invalidate();
		fView->Select(3, 3);
		fView->PointAt(40);
	}
	EXPECT_EQ(drawn, Shaped());

	// A letter typed on the fifth line reshapes that line alone, though
	// the lines after it move along in the text.
	int32 fifth;
	{
		WindowLocker locker(fWindow);
		fifth = fView->OffsetAt(4);
		fView->Select(fifth + 2, fifth + 2);
	}
	ASSERT_EQ(B_OK, fDriver.TypeText(fWindow, "\xd7\x90"));
	EXPECT_EQ(drawn + 1, Shaped());
	EXPECT_EQ(text.size() + 2, (size_t)fView->TextLength());

	// A new line splits the line it is typed in: its two halves are
	// shaped, nothing else.
	ASSERT_EQ(B_OK, fDriver.TypeText(fWindow, "\n"));
	EXPECT_EQ(drawn + 3, Shaped());
}


TEST_F(TextViewShapingTest, RightToLeftLineWithTabsStartsFromTheRight)
{
	// SHALOM, a tab, OLAM: a right-to-left paragraph.
	std::string text = std::string(kShalom) + "\t" + kOlam + "\n"
		+ "ab\t" + kShalom;
	SetText(text);
	int32 tab = 8;
	int32 olam = 9;
	float width = Width(0);
	// SHALOM's right edge is the line's right end; the tab lies left of
	// it and OLAM left of the tab.
	EXPECT_NEAR(width, X(0), 0.01);
	EXPECT_LT(X(tab), X(0));
	EXPECT_LT(X(olam), X(tab) + 0.01);
	EXPECT_GT(X(olam), 0);
	// A tab stop counts from the right: OLAM ends on one.
	float tabWidth;
	{
		WindowLocker locker(fWindow);
		tabWidth = fView->TabWidth();
	}
	EXPECT_NEAR(0, fmodf(width - X(olam), tabWidth), 0.01);

	// The left-to-right line starts at the left, and the Hebrew after its
	// tab starts on the tab stop.
	int32 second = olam + 9;
	EXPECT_NEAR(0, X(second), 0.01);
	float stop;
	{
		WindowLocker locker(fWindow);
		stop = fView->TabWidth();
	}
	EXPECT_NEAR(stop, X(second + 3 + 8), 0.01);
}



TEST_F(TextViewShapingTest, RightToLeftLineWithTabsInATextRectWiderThanTheView)
{
	// As the editor has it: its fixed font, whose Hebrew comes from a
	// fallback face, and a text rectangle far wider than the window.
	BFont font(be_fixed_font);
	{
		WindowLocker locker(fWindow);
		fView->SetFontAndColor(&font);
		fView->SetTextRect(BRect(4, 4, 1804, 10));
	}
	// SHALOM, a tab, OLAM, a tab, "abc": three segments laid out from the
	// right, each up to the next stop counted from the line's right end.
	std::string text = std::string(kShalom) + "\t" + kOlam + "\tabc";
	SetText(text);
	const int32 firstTab = 8;
	const int32 olam = 9;
	const int32 secondTab = 17;
	const int32 abc = 18;
	float shalomWidth = font.StringWidth(kShalom);
	float olamWidth = font.StringWidth(kOlam);
	float abcWidth = font.StringWidth("abc");

	for (float tabWidth : {28.0f, 84.0f}) {
		SCOPED_TRACE(tabWidth);
		{
			WindowLocker locker(fWindow);
			fView->SetTabWidth(tabWidth);
		}
		auto nextStop = [&](float x) {
			return (floorf(x / tabWidth) + 1) * tabWidth;
		};
		float olamEnd = nextStop(shalomWidth);
		float abcEnd = nextStop(olamEnd + olamWidth);
		float width = abcEnd + abcWidth;
		EXPECT_NEAR(width, Width(0), 0.05);

		// Each segment's caret at its leading edge: SHALOM's right edge
		// is the line's right end, OLAM's right edge the first stop, and
		// "abc" starts at the left with its right edge on the second.
		EXPECT_NEAR(width, X(0), 0.05);
		EXPECT_NEAR(width - shalomWidth, X(firstTab), 0.05);
		EXPECT_NEAR(width - olamEnd, X(olam), 0.05);
		EXPECT_NEAR(width - olamEnd - olamWidth, X(secondTab), 0.05);
		EXPECT_NEAR(0, X(abc), 0.05);
		EXPECT_NEAR(abcWidth, X(abc + 3), 0.05);

		// A click inside a tab's gap lands on the nearer end of the tab;
		// one inside a segment stays in it.
		float top;
		{
			WindowLocker locker(fWindow);
			top = fView->PointAt(0).y + 2;
		}
		auto offsetAt = [&](float x) {
			WindowLocker locker(fWindow);
			return fView->OffsetAt(BPoint(x + 4, top));
		};
		// Right of "abc", where the paragraph's text ends, not at the
		// start of "abc".
		float olamRight = width - olamEnd;
		float olamLeft = olamRight - olamWidth;
		EXPECT_EQ(firstTab, offsetAt(width - shalomWidth - 0.4f));
		EXPECT_EQ(olam, offsetAt(olamRight + 0.4f));
		EXPECT_EQ(secondTab, offsetAt(olamLeft - 0.4f));
		EXPECT_EQ(abc + 3, offsetAt(abcWidth + 0.4f));
		EXPECT_EQ(abc, offsetAt(0.4f));
		int32 inOlam = offsetAt(olamLeft + olamWidth / 2);
		EXPECT_GT(inOlam, olam);
		EXPECT_LT(inOlam, secondTab);

		// What is drawn is where the carets say: ink in the middle of
		// each segment, none in the middle of a tab's gap when it is
		// wide enough to look at.
		{
			WindowLocker locker(fWindow);
			fView->Invalidate();
		}
		ASSERT_EQ(B_OK, fDriver.WaitForIdle());
		auto inkAt = [&](float x) {
			float height;
			BPoint point;
			{
				WindowLocker locker(fWindow);
				point = fView->PointAt(0, &height);
				point = fView->ConvertToWindow(BPoint(x + 4, point.y));
			}
			std::vector<rgb_color> pixels;
			EXPECT_EQ(B_OK, fDriver.GetPixels(fWindow, BRect(floorf(point.x),
				point.y, floorf(point.x), point.y + height - 1), &pixels));
			int dark = 0;
			for (const rgb_color& pixel : pixels)
				dark += pixel.green < 160 ? 1 : 0;
			return dark;
		};
		EXPECT_GT(inkAt(width - shalomWidth / 2), 0);
		EXPECT_GT(inkAt(olamLeft + olamWidth / 2), 0);
		EXPECT_GT(inkAt(abcWidth / 2), 0);
		if (tabWidth > 28) {
			EXPECT_EQ(0, inkAt((width - shalomWidth + olamRight) / 2));
			EXPECT_EQ(0, inkAt((abcWidth + olamLeft) / 2));
		}
	}
}
