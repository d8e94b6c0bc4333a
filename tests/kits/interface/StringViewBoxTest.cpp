/*
 * String views and boxes, as they look:
 * - a string view's text, alignment and preferred size; SetText()
 *   redraws (the new text appears, an empty text leaves only the view
 *   colour); NULL counts as empty;
 * - at every size from 9 to 24 points, a string view centres its line
 *   (the height it prefers) vertically, whether it is taller or shorter
 *   than the line, half a row higher when the difference is odd; where
 *   the line fits, no ink touches the view's top or bottom row (issue
 *   23: the status area, shorter than the plain font's line, had its
 *   text on its lower edge);
 * - a fancy box one pixel high is a dark line over a light one; a plain
 *   box is a dark outline with its inside untouched; a box without a
 *   border draws nothing; a label sits in the top edge.
 */
#include "ControlsTestSupport.h"

#include <Box.h>
#include <Font.h>
#include <StringView.h>

#include <math.h>

#include <algorithm>
#include <string>
#include <vector>

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


// Draws its text at a baseline of its own, in the colours a string view
// uses, as the reference the string views' rows are compared with.
class BaselineView : public BView {
public:
	BaselineView(BRect frame, const char* text, float baseline)
		:
		BView(frame, "reference", B_FOLLOW_NONE, B_WILL_DRAW),
		fText(text),
		fBaseline(baseline)
	{
	}

	void Draw(BRect) override
	{
		SetLowColor(ViewColor());
		SetHighColor(ui_color(B_PANEL_TEXT_COLOR));
		DrawString(fText, BPoint(0, fBaseline));
	}

private:
	const char* fText;
	float fBaseline;
};


typedef std::vector<std::vector<rgb_color>> pixel_rows;


pixel_rows
rows_of(TestDriver& driver, BWindow* window, BRect area)
{
	std::vector<rgb_color> pixels;
	pixel_rows rows;
	EXPECT_EQ(driver.GetPixels(window, area, &pixels), B_OK);
	int32 width = area.IntegerWidth() + 1;
	for (size_t start = 0; start + width <= pixels.size(); start += width) {
		rows.push_back(std::vector<rgb_color>(pixels.begin() + start,
			pixels.begin() + start + width));
	}
	return rows;
}


bool
has_ink(const std::vector<rgb_color>& row, rgb_color background)
{
	for (const rgb_color& pixel : row) {
		if (pixel != background)
			return true;
	}
	return false;
}


// Where the view's rows are found among the reference's: the reference
// row that the view's first row shows, or -1 when no placement matches
// every row.
int32
offset_in(const pixel_rows& view, const pixel_rows& reference)
{
	for (size_t offset = 0; offset + view.size() <= reference.size();
			offset++) {
		if (std::equal(view.begin(), view.end(), reference.begin() + offset))
			return (int32)offset;
	}
	return -1;
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


TEST(StringViewTest, LineIsCentredAtEverySize)
{
	const char* const kText = "Line 12";
	const rgb_color kBackground = make_color(216, 216, 216);
	const float kWidth = 120;
	const float kReferenceBaseline = 60;
	const float kReferenceHeight = 120;
	// Heights against the line's own: taller, as tall, shorter; and the
	// editor's status area.
	const int32 kHeightChanges[] = { 5, 2, 1, 0, -1, -2, -3, -5 };
	const int32 kStatusHeight = 13;

	TestDriver driver;
	ASSERT_EQ(driver.Launch<TestApplication>(), B_OK);

	for (int32 size = 9; size <= 24; size++) {
		SCOPED_TRACE("size " + std::to_string(size));
		font_height height;
		BFont font(be_plain_font);
		font.SetSize(size);
		font.GetHeight(&height);
		int32 ascent = (int32)ceilf(height.ascent);
		int32 line = (int32)ceilf(height.ascent + height.descent);

		std::vector<int32> heights;
		for (int32 change : kHeightChanges)
			heights.push_back(line + change);
		if (kStatusHeight < line)
			heights.push_back(kStatusHeight);

		BWindow* window = new BWindow(BRect(100, 100, 100 + 2 * kWidth + 9,
			500), "Centred", B_TITLED_WINDOW, 0);
		BaselineView* reference = new BaselineView(BRect(0, 0, kWidth - 1,
			kReferenceHeight - 1), kText, kReferenceBaseline);
		reference->SetViewColor(kBackground);
		reference->SetFont(&font);
		window->AddChild(reference);
		std::vector<BRect> frames;
		float top = 0;
		for (int32 viewHeight : heights) {
			BRect frame(kWidth + 10, top, 2 * kWidth + 9,
				top + viewHeight - 1);
			BStringView* view = new BStringView(frame, "line", kText);
			view->SetViewColor(kBackground);
			view->SetFont(&font);
			window->AddChild(view);
			frames.push_back(frame);
			top += viewHeight + 2;
		}
		window->Show();
		ASSERT_EQ(driver.WaitForIdle(), B_OK);

		pixel_rows referenceRows = rows_of(driver, window,
			BRect(0, 0, kWidth - 1, kReferenceHeight - 1));
		for (const BRect& frame : frames) {
			int32 viewHeight = frame.IntegerHeight() + 1;
			SCOPED_TRACE("height " + std::to_string(viewHeight));
			pixel_rows rows = rows_of(driver, window, frame);
			ASSERT_EQ((int32)rows.size(), viewHeight);

			// The line's top in the view, from where its rows show the
			// reference's: half of what the view has more or less than
			// the line lies above it, half a row less when that is odd.
			int32 offset = offset_in(rows, referenceRows);
			ASSERT_GE(offset, 0) << "the text is not the reference's";
			int32 lineTop = (int32)kReferenceBaseline - ascent - offset;
			EXPECT_EQ(lineTop, (int32)floorf((viewHeight - line) / 2.0f));

			if (viewHeight >= line) {
				EXPECT_FALSE(has_ink(rows.front(), kBackground));
				EXPECT_FALSE(has_ink(rows.back(), kBackground));
			}
		}
		ASSERT_TRUE(window->Lock());
		window->Quit();
	}
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
