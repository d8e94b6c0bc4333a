/*
 * Drawing, read back from what the offscreen display shows:
 * - FillRect covers exactly the pixels from its left top to its right
 *   bottom; a 1-pixel line from (0, 0) to (9, 0) exactly pixels 0..9 of
 *   row 0; StrokeRect exactly the outline; the view colour erases the
 *   view, the window's top level shows the panel colour;
 * - DrawString draws something dark within the box its width and the
 *   font's height give, nothing outside, and moves the pen;
 * - StringWidth("M") of the pinned font equals the glyph's advance as
 *   FreeType reads it, at two sizes, and the font height matches;
 * - the drawing state: clipping to a region and to a rectangle, the
 *   origin, PushState/PopState, scrolling;
 * - B_TRANSPARENT_COLOR leaves what was there; a parent's drawing does
 *   not cover its children, DrawAfterChildren does; hidden views are
 *   not drawn; a screenshot is a PNG file.
 */
#include "InterfaceTestSupport.h"
#include "PinnedFonts.h"

#include <Region.h>

#include <functional>
#include <fstream>
#include <unistd.h>

using namespace interface_test;

namespace {

const rgb_color kWhite = { 255, 255, 255, 255 };
const rgb_color kRed = { 255, 0, 0, 255 };
const rgb_color kBlue = { 0, 0, 255, 255 };
const rgb_color kGreen = { 0, 255, 0, 255 };


// A view that draws whatever the test gives it.
class PaintView : public BView {
public:
	PaintView(BRect frame, const char* name,
		std::function<void(BView*)> paint,
		std::function<void(BView*)> paintAfter = NULL)
		: BView(frame, name, B_FOLLOW_NONE, B_WILL_DRAW),
		  fPaint(paint), fPaintAfter(paintAfter) {}

	void Draw(BRect) override
	{
		if (fPaint)
			fPaint(this);
	}
	void DrawAfterChildren(BRect) override
	{
		if (fPaintAfter)
			fPaintAfter(this);
	}

private:
	std::function<void(BView*)> fPaint;
	std::function<void(BView*)> fPaintAfter;
};


class DrawingTest : public ::testing::Test {
protected:
	void SetUp() override
	{
		ASSERT_EQ(fDriver.Launch<TestApplication>(), B_OK);
		fWindow = new BWindow(BRect(100, 100, 299, 249), "Drawing",
			B_TITLED_WINDOW, 0);
	}

	// Adds the view at (10, 10) in the window, shows it and waits.
	void Show(BView* view)
	{
		fWindow->AddChild(view);
		fWindow->Show();
		ASSERT_EQ(fDriver.WaitForIdle(), B_OK);
	}

	// The colour at a point of the view at (10, 10).
	rgb_color At(float x, float y)
	{
		rgb_color color = {};
		EXPECT_EQ(fDriver.GetPixel(fWindow, BPoint(x + 10, y + 10), &color),
			B_OK);
		return color;
	}

	TestDriver fDriver;
	BWindow* fWindow;
};

}	// namespace


TEST_F(DrawingTest, RectanglesAndLinesCoverExactPixels)
{
	Show(new PaintView(BRect(10, 10, 109, 109), "paint", [](BView* view) {
		view->SetHighColor(kRed);
		view->FillRect(BRect(10, 10, 19, 19));
		view->SetHighColor(kBlue);
		view->StrokeLine(BPoint(0, 0), BPoint(9, 0));
		view->SetHighColor(kGreen);
		view->StrokeRect(BRect(30, 30, 39, 39));
	}));

	EXPECT_EQ(At(10, 10), kRed);
	EXPECT_EQ(At(19, 19), kRed);
	EXPECT_EQ(At(19, 10), kRed);
	EXPECT_EQ(At(9, 10), kWhite);
	EXPECT_EQ(At(20, 19), kWhite);
	EXPECT_EQ(At(10, 9), kWhite);
	EXPECT_EQ(At(19, 20), kWhite);

	for (int x = 0; x <= 9; x++)
		EXPECT_EQ(At(x, 0), kBlue) << "pixel " << x << " of the line";
	EXPECT_EQ(At(10, 0), kWhite);
	EXPECT_EQ(At(0, 1), kWhite);

	EXPECT_EQ(At(30, 30), kGreen);
	EXPECT_EQ(At(39, 39), kGreen);
	EXPECT_EQ(At(35, 30), kGreen);
	EXPECT_EQ(At(39, 35), kGreen);
	EXPECT_EQ(At(35, 35), kWhite);
	EXPECT_EQ(At(31, 31), kWhite);
	EXPECT_EQ(At(40, 35), kWhite);
	EXPECT_EQ(At(35, 29), kWhite);

	// Outside the view: the window's panel colour.
	rgb_color panel = {};
	ASSERT_EQ(fDriver.GetPixel(fWindow, BPoint(5, 5), &panel), B_OK);
	EXPECT_EQ(panel, ui_color(B_PANEL_BACKGROUND_COLOR));
	ASSERT_EQ(fDriver.GetPixel(fWindow, BPoint(120, 10), &panel), B_OK);
	EXPECT_EQ(panel, ui_color(B_PANEL_BACKGROUND_COLOR));
	EXPECT_EQ(At(99, 99), kWhite);
}


TEST_F(DrawingTest, StringsDrawWhereTheyAreMeasured)
{
	BPoint pen;
	float width = 0;
	font_height height = {};
	Show(new PaintView(BRect(10, 10, 109, 109), "text", [&](BView* view) {
		view->SetHighColor(0, 0, 0);
		view->DrawString("Hello", BPoint(20, 60));
		pen = view->PenLocation();
		width = view->StringWidth("Hello");
		view->GetFontHeight(&height);
	}));

	ASSERT_GT(width, 10);
	EXPECT_FLOAT_EQ(pen.x, 20 + width);
	EXPECT_FLOAT_EQ(pen.y, 60);

	// Something dark inside the box, nothing dark around it.
	std::vector<rgb_color> pixels;
	ASSERT_EQ(fDriver.GetPixels(fWindow, BRect(10, 10, 109, 109), &pixels),
		B_OK);
	ASSERT_EQ(pixels.size(), 100u * 100u);
	int dark = 0;
	int darkOutside = 0;
	for (int y = 0; y < 100; y++) {
		for (int x = 0; x < 100; x++) {
			rgb_color color = pixels[y * 100 + x];
			if (color.red >= 128)
				continue;
			bool inside = x >= 19 && x <= 21 + width
				&& y >= 60 - height.ascent - 1 && y <= 60 + height.descent + 1;
			(inside ? dark : darkOutside)++;
		}
	}
	EXPECT_GT(dark, 20);
	EXPECT_EQ(darkOutside, 0);
}


TEST_F(DrawingTest, StringWidthIsTheGlyphAdvance)
{
	float width12 = 0;
	float width20 = 0;
	font_height height = {};
	Show(new PaintView(BRect(10, 10, 109, 109), "measure", NULL));
	{
		WindowLocker locker(fWindow);
		BView* view = fWindow->FindView("measure");
		width12 = view->StringWidth("M");
		view->GetFontHeight(&height);
		view->SetFontSize(20);
		width20 = view->StringWidth("M");
		EXPECT_FLOAT_EQ(view->StringWidth("MM", 1), width20);
		EXPECT_FLOAT_EQ(view->StringWidth("MM"), 2 * width20);
	}

	FreeTypeFont sans(kSansPath);
	ASSERT_TRUE(sans.IsValid());
	EXPECT_FLOAT_EQ(width12, sans.Advance('M', 12));
	EXPECT_FLOAT_EQ(width20, sans.Advance('M', 20));
	EXPECT_NEAR(height.ascent, sans.Ascent(12), 0.01);
	EXPECT_NEAR(height.descent, sans.Descent(12), 0.01);
}


TEST_F(DrawingTest, ClippingOriginAndStates)
{
	rgb_color highAfterPop = {};
	BPoint originAfterPop(-1, -1);
	Show(new PaintView(BRect(10, 10, 109, 109), "state", [&](BView* view) {
		view->PushState();
		BRegion region(BRect(0, 0, 9, 9));
		region.Include(BRect(50, 0, 59, 9));
		view->ConstrainClippingRegion(&region);
		view->SetHighColor(kRed);
		view->FillRect(view->Bounds());
		view->PopState();

		view->PushState();
		view->SetOrigin(20, 40);
		view->SetHighColor(kBlue);
		view->FillRect(BRect(0, 0, 4, 4));
		view->PushState();
		// Origins add up; clipping narrows.
		view->SetOrigin(10, 0);
		view->ClipToRect(BRect(0, 0, 1, 1));
		view->SetHighColor(kGreen);
		view->FillRect(BRect(0, 0, 4, 4));
		view->PopState();
		view->PopState();
		highAfterPop = view->HighColor();
		originAfterPop = view->Origin();
		// One PopState() too many does nothing.
		view->PopState();
	}));

	EXPECT_EQ(At(0, 0), kRed);
	EXPECT_EQ(At(9, 9), kRed);
	EXPECT_EQ(At(55, 5), kRed);
	EXPECT_EQ(At(10, 5), kWhite);
	EXPECT_EQ(At(5, 10), kWhite);
	EXPECT_EQ(At(49, 5), kWhite);

	EXPECT_EQ(At(20, 40), kBlue);
	EXPECT_EQ(At(24, 44), kBlue);
	EXPECT_EQ(At(25, 44), kWhite);
	EXPECT_EQ(At(19, 40), kWhite);

	EXPECT_EQ(At(30, 40), kGreen);
	EXPECT_EQ(At(31, 41), kGreen);
	EXPECT_EQ(At(32, 40), kWhite);

	EXPECT_EQ(highAfterPop, make_color(0, 0, 0));
	EXPECT_EQ(originAfterPop, BPoint(0, 0));
}


TEST_F(DrawingTest, ScrollingMovesTheDrawing)
{
	Show(new PaintView(BRect(10, 10, 109, 109), "scrolled", [](BView* view) {
		view->SetHighColor(kRed);
		view->FillRect(BRect(0, 30, 9, 39));
	}));
	EXPECT_EQ(At(0, 30), kRed);

	{
		WindowLocker locker(fWindow);
		fWindow->FindView("scrolled")->ScrollBy(0, 30);
	}
	ASSERT_EQ(fDriver.WaitForIdle(), B_OK);
	EXPECT_EQ(At(0, 0), kRed);
	EXPECT_EQ(At(9, 9), kRed);
	EXPECT_EQ(At(0, 10), kWhite);
	EXPECT_EQ(At(0, 30), kWhite);
}


TEST_F(DrawingTest, TransparentViewsAreNotErased)
{
	PaintView* view = new PaintView(BRect(10, 10, 109, 109), "transparent",
		[](BView* view) {
			view->SetHighColor(kRed);
			view->FillRect(BRect(0, 0, 4, 4));
		});
	view->SetViewColor(B_TRANSPARENT_COLOR);
	EXPECT_EQ(view->ViewColor(), B_TRANSPARENT_COLOR);
	Show(view);

	// Blue drawn outside Draw() stays where the next Draw() paints
	// nothing, because nothing erases it.
	{
		WindowLocker locker(fWindow);
		view->SetHighColor(kBlue);
		view->FillRect(view->Bounds());
		view->Invalidate();
	}
	ASSERT_EQ(fDriver.WaitForIdle(), B_OK);
	EXPECT_EQ(At(2, 2), kRed);
	EXPECT_EQ(At(50, 50), kBlue);
}


TEST_F(DrawingTest, ChildrenParentsAndHiddenViews)
{
	PaintView* parent = new PaintView(BRect(10, 10, 109, 109), "parent",
		[](BView* view) {
			view->SetHighColor(kRed);
			view->FillRect(view->Bounds());
		},
		[](BView* view) {
			view->SetHighColor(kBlue);
			view->FillRect(BRect(40, 40, 41, 41));
		});
	PaintView* child = new PaintView(BRect(30, 30, 59, 59), "child",
		[](BView* view) {
			view->SetHighColor(kGreen);
			view->FillRect(BRect(0, 0, 4, 4));
		});
	BView* hidden = new PaintView(BRect(70, 70, 79, 79), "hidden",
		[](BView* view) {
			view->SetHighColor(kBlue);
			view->FillRect(view->Bounds());
		});
	parent->AddChild(child);
	parent->AddChild(hidden);
	hidden->Hide();
	Show(parent);

	EXPECT_EQ(At(0, 0), kRed);
	EXPECT_EQ(At(30, 30), kGreen);
	// The child erased its own area with its view colour, and the parent
	// cannot draw on it, not even after its children.
	EXPECT_EQ(At(50, 50), kWhite);
	EXPECT_EQ(At(40, 40), kWhite);
	EXPECT_EQ(At(75, 75), kRed);

	// Drawing by the parent outside Draw() stays off its child too.
	{
		WindowLocker locker(fWindow);
		parent->SetHighColor(kBlue);
		parent->FillRect(parent->Bounds());
		parent->Flush();
	}
	ASSERT_EQ(fDriver.WaitForIdle(), B_OK);
	EXPECT_EQ(At(0, 0), kBlue);
	EXPECT_EQ(At(50, 50), kWhite);

	// With B_DRAW_ON_CHILDREN, what it draws after them is on top.
	{
		WindowLocker locker(fWindow);
		parent->SetFlags(parent->Flags() | B_DRAW_ON_CHILDREN);
		parent->Invalidate();
		hidden->Show();
	}
	ASSERT_EQ(fDriver.WaitForIdle(), B_OK);
	EXPECT_EQ(At(40, 40), kBlue);
	EXPECT_EQ(At(30, 30), kGreen);
	EXPECT_EQ(At(75, 75), kBlue);
}


TEST_F(DrawingTest, ScreenshotIsAPngFile)
{
	Show(new PaintView(BRect(10, 10, 109, 109), "shot", NULL));
	char path[] = "/tmp/screenshot-XXXXXX.png";
	int fd = mkstemps(path, 4);
	ASSERT_GE(fd, 0);
	close(fd);
	ASSERT_EQ(fDriver.SaveScreenshot(fWindow, path), B_OK);

	std::ifstream file(path, std::ios::binary);
	char signature[8] = {};
	file.read(signature, 8);
	EXPECT_EQ(std::string(signature, 8), "\x89PNG\r\n\x1a\n");
	unlink(path);

	EXPECT_EQ(fDriver.SaveScreenshot(fWindow, "/nonexistent/dir/x.png"),
		B_IO_ERROR);
}
