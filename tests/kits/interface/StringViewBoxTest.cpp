/*
 * String views and boxes, as they look:
 * - a string view's text, alignment and preferred size; SetText()
 *   redraws (the new text appears, an empty text leaves only the view
 *   colour); NULL counts as empty;
 * - a fancy box one pixel high is a dark line over a light one; a plain
 *   box is a dark outline with its inside untouched; a box without a
 *   border draws nothing; a label sits in the top edge.
 */
#include "ControlsTestSupport.h"

#include <Box.h>
#include <StringView.h>

#include <math.h>

using namespace interface_test;

namespace {

int32
count_dark(const std::vector<rgb_color>& pixels)
{
	int32 count = 0;
	for (const rgb_color& pixel : pixels)
		count += pixel.red < 100 ? 1 : 0;
	return count;
}

}	// namespace


TEST(StringViewTest, TextAlignmentAndRedraw)
{
	TestDriver driver;
	ASSERT_EQ(driver.Launch<TestApplication>(), B_OK);
	BWindow* window = new BWindow(BRect(100, 100, 399, 199), "Strings",
		B_TITLED_WINDOW, 0);
	BStringView* view = new BStringView(BRect(10, 10, 209, 29), "status",
		"", B_FOLLOW_LEFT | B_FOLLOW_BOTTOM, B_WILL_DRAW);
	view->SetViewColor(make_color(216, 216, 216));
	window->AddChild(view);
	window->Show();
	ASSERT_EQ(driver.WaitForIdle(), B_OK);

	std::vector<rgb_color> pixels;
	ASSERT_EQ(driver.GetPixels(window, BRect(10, 10, 209, 29), &pixels),
		B_OK);
	EXPECT_EQ(count_dark(pixels), 0);
	for (const rgb_color& pixel : pixels)
		ASSERT_EQ(pixel, make_color(216, 216, 216));

	{
		WindowLocker locker(window);
		EXPECT_STREQ(view->Text(), "");
		view->SetText("Line 12");
		EXPECT_STREQ(view->Text(), "Line 12");
		EXPECT_EQ(view->Alignment(), B_ALIGN_LEFT);
	}
	ASSERT_EQ(driver.WaitForIdle(), B_OK);
	ASSERT_EQ(driver.GetPixels(window, BRect(10, 10, 109, 29), &pixels),
		B_OK);
	EXPECT_GT(count_dark(pixels), 10);
	ASSERT_EQ(driver.GetPixels(window, BRect(110, 10, 209, 29), &pixels),
		B_OK);
	EXPECT_EQ(count_dark(pixels), 0);

	// Right aligned, the text moves to the other end.
	{
		WindowLocker locker(window);
		view->SetAlignment(B_ALIGN_RIGHT);
	}
	ASSERT_EQ(driver.WaitForIdle(), B_OK);
	ASSERT_EQ(driver.GetPixels(window, BRect(10, 10, 109, 29), &pixels),
		B_OK);
	EXPECT_EQ(count_dark(pixels), 0);
	ASSERT_EQ(driver.GetPixels(window, BRect(110, 10, 209, 29), &pixels),
		B_OK);
	EXPECT_GT(count_dark(pixels), 10);

	{
		WindowLocker locker(window);
		float width;
		float height;
		view->GetPreferredSize(&width, &height);
		EXPECT_EQ(width, ceilf(view->StringWidth("Line 12")));
		EXPECT_EQ(height, 14.0f);
		view->SetText(NULL);
		EXPECT_STREQ(view->Text(), "");
	}
	ASSERT_EQ(driver.WaitForIdle(), B_OK);
	ASSERT_EQ(driver.GetPixels(window, BRect(10, 10, 209, 29), &pixels),
		B_OK);
	EXPECT_EQ(count_dark(pixels), 0);
}


TEST(BoxTest, BordersAndSeparatorLines)
{
	TestDriver driver;
	ASSERT_EQ(driver.Launch<TestApplication>(), B_OK);
	BWindow* window = new BWindow(BRect(100, 100, 399, 299), "Boxes",
		B_TITLED_WINDOW, 0);
	BView* background = new BView(window->Bounds(), "", B_FOLLOW_ALL_SIDES,
		B_WILL_DRAW);
	background->SetViewColor(make_color(216, 216, 216));
	window->AddChild(background);
	BBox* line = new BBox(BRect(10, 35, 260, 36), NULL,
		B_FOLLOW_LEFT | B_FOLLOW_TOP,
		B_WILL_DRAW | B_FRAME_EVENTS | B_NAVIGABLE_JUMP, B_FANCY_BORDER);
	BBox* plain = new BBox(BRect(10, 50, 100, 100), "plain",
		B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW, B_PLAIN_BORDER);
	BBox* none = new BBox(BRect(110, 50, 200, 100), "none",
		B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW, B_NO_BORDER);
	BBox* labelled = new BBox(BRect(10, 120, 200, 190), "labelled");
	labelled->SetLabel("Group");
	background->AddChild(line);
	background->AddChild(plain);
	background->AddChild(none);
	background->AddChild(labelled);
	window->Show();
	ASSERT_EQ(driver.WaitForIdle(), B_OK);

	// The separator: a dark row over a light one, nothing below.
	rgb_color upper;
	rgb_color lower;
	rgb_color below;
	ASSERT_EQ(driver.GetPixel(window, BPoint(100, 35), &upper), B_OK);
	ASSERT_EQ(driver.GetPixel(window, BPoint(100, 36), &lower), B_OK);
	ASSERT_EQ(driver.GetPixel(window, BPoint(100, 37), &below), B_OK);
	EXPECT_LT(upper.red, 216);
	EXPECT_GT(lower.red, 216);
	EXPECT_EQ(below, make_color(216, 216, 216));

	rgb_color edge;
	rgb_color inside;
	ASSERT_EQ(driver.GetPixel(window, BPoint(10, 75), &edge), B_OK);
	ASSERT_EQ(driver.GetPixel(window, BPoint(55, 75), &inside), B_OK);
	EXPECT_LT(edge.red, 216);
	EXPECT_EQ(inside, make_color(216, 216, 216));
	EXPECT_EQ(plain->Border(), B_PLAIN_BORDER);

	std::vector<rgb_color> pixels;
	ASSERT_EQ(driver.GetPixels(window, BRect(110, 50, 200, 100), &pixels),
		B_OK);
	for (const rgb_color& pixel : pixels)
		ASSERT_EQ(pixel, make_color(216, 216, 216));

	// The label's text breaks the top edge.
	ASSERT_EQ(driver.GetPixels(window, BRect(20, 120, 60, 135), &pixels),
		B_OK);
	EXPECT_GT(count_dark(pixels), 10);
	{
		WindowLocker locker(window);
		EXPECT_STREQ(labelled->Label(), "Group");
		labelled->SetLabel((const char*)NULL);
		EXPECT_EQ(labelled->Label(), (const char*)NULL);
	}
}
