/*
 * A BTextView with right-to-left text in a left-to-right line, "ab " then
 * the Hebrew word ALEF BET GIMEL, then " cd":
 * - the caret's x follows the display: through the Hebrew word it moves
 *   right to left, while the arrow keys still move through the text in
 *   its own order;
 * - a click lands on the offset whose caret is nearest;
 * - a selection from "b" into the Hebrew word highlights "b" and the
 *   selected letters, which lie apart on screen, and not the others.
 */
#include "InterfaceTestSupport.h"

#include <TextView.h>

#include <math.h>

#include <string>
#include <vector>

using namespace interface_test;

namespace {

// "ab " ALEF BET GIMEL " cd": the letters at 3, 5 and 7.
const char* const kMixed = "ab \xd7\x90\xd7\x91\xd7\x92 cd";

class TextViewBidiTest : public ::testing::Test {
protected:
	void SetUp() override
	{
		ASSERT_EQ(fDriver.Launch<TestApplication>(), B_OK);
		fWindow = new BWindow(BRect(100, 100, 499, 199), "Text",
			B_TITLED_WINDOW, 0);
		fView = new BTextView(fWindow->Bounds(), "text",
			BRect(4, 4, 395, 10), B_FOLLOW_ALL_SIDES, B_WILL_DRAW);
		show_with_focus(fDriver, fWindow, fView);
		WindowLocker locker(fWindow);
		BFont font(be_plain_font);
		font.SetSize(20);
		fView->SetFontAndColor(&font);
		fView->SetText(kMixed);
	}

	float X(int32 offset)
	{
		WindowLocker locker(fWindow);
		return fView->PointAt(offset).x;
	}

	int32 Caret()
	{
		WindowLocker locker(fWindow);
		int32 start;
		int32 end;
		fView->GetSelection(&start, &end);
		return end;
	}

	// How many pixels of a column of the line are darker than white.
	int DarkIn(float x)
	{
		float height;
		BPoint point;
		{
			WindowLocker locker(fWindow);
			point = fView->PointAt(0, &height);
			point = fView->ConvertToWindow(BPoint(x, point.y));
		}
		std::vector<rgb_color> pixels;
		EXPECT_EQ(B_OK, fDriver.GetPixels(fWindow, BRect(floorf(point.x),
			point.y, floorf(point.x), point.y + height - 1), &pixels));
		int dark = 0;
		for (const rgb_color& pixel : pixels)
			dark += pixel.green < 235 ? 1 : 0;
		return dark;
	}

	TestDriver fDriver;
	BWindow* fWindow = NULL;
	BTextView* fView = NULL;
};

}	// namespace


TEST_F(TextViewBidiTest, CaretFollowsTheDisplayAndMovesInTextOrder)
{
	// Right to left from ALEF's right edge to GIMEL's left edge, which is
	// where the space after the word begins.
	EXPECT_LT(X(1), X(2));
	EXPECT_LT(X(2), X(9));
	EXPECT_GT(X(3), X(5));
	EXPECT_GT(X(5), X(7));
	EXPECT_GT(X(7), X(2));
	// ALEF's right edge is where the space after the word begins.
	EXPECT_NEAR(X(3), X(9), 0.5);
	EXPECT_LT(X(9), X(10));

	{
		WindowLocker locker(fWindow);
		fView->Select(2, 2);
	}
	std::vector<int32> visited;
	for (int i = 0; i < 4; i++) {
		ASSERT_EQ(B_OK, fDriver.PressKey(fWindow, B_RIGHT_ARROW));
		visited.push_back(Caret());
	}
	EXPECT_EQ((std::vector<int32>{3, 5, 7, 9}), visited);
}


TEST_F(TextViewBidiTest, ClicksLandOnTheNearestCaret)
{
	for (int32 offset : {0, 3, 5, 7, 10}) {
		SCOPED_TRACE(offset);
		WindowLocker locker(fWindow);
		BPoint point = fView->PointAt(offset);
		point.y += 5;
		// Just inside the character that starts at offset: to its right
		// in Latin, to its left in Hebrew.
		bool hebrew = offset >= 3 && offset < 9;
		point.x += hebrew ? -2 : 2;
		EXPECT_EQ(offset, fView->OffsetAt(point));
	}
}


TEST_F(TextViewBidiTest, SelectionAcrossTheDirectionChangeHighlightsItsLetters)
{
	// The gap between ALEF and GIMEL, where BET stands, tells the
	// selected ALEF apart from the unselected letters.
	float alefMiddle = (X(3) + X(5)) / 2;
	float betMiddle = (X(5) + X(7)) / 2;
	// GIMEL stands left of BET, from the end of the space to X(7).
	float gimelMiddle = X(7) - 3;
	float space = X(2) + 2;
	int alefInk = DarkIn(alefMiddle);
	int betInk = DarkIn(betMiddle);
	int gimelInk = DarkIn(gimelMiddle);

	{
		WindowLocker locker(fWindow);
		fView->Select(1, 5);
	}
	// Selected columns are dark over the whole line height.
	float height;
	{
		WindowLocker locker(fWindow);
		fView->PointAt(0, &height);
	}
	int line = (int)height;
	EXPECT_EQ(line, DarkIn(alefMiddle)) << alefInk;
	EXPECT_EQ(line, DarkIn((X(1) + X(2)) / 2));
	EXPECT_EQ(betInk, DarkIn(betMiddle));
	EXPECT_EQ(gimelInk, DarkIn(gimelMiddle));
	// The space between "b" and the word: offset 2, selected, but it
	// stands left of GIMEL, away from ALEF.
	EXPECT_EQ(line, DarkIn(space));
}
