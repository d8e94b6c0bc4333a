/*
 * Drawing at the offscreen display's scale (KITS_SCALE; this test runs
 * at 1, 1.5 and 2), read back from what the display shows, in device
 * pixels:
 * - a window's image is its size in units times the scale, and the
 *   screen's frame stays in units;
 * - fills, lines and outlines on whole units cover whole device pixels,
 *   exactly the ones the edge rule gives, with no half-covered pixel;
 * - a line of text's ink is the scale times as tall as at 1 and as
 *   sharp (the contrast of its edges measured; a bitmap of the scale-1
 *   text enlarged is measurably blurrier, so the measure can fail);
 * - a window put on a screen of another scale draws again at it, and
 *   back at the first scale draws exactly what it drew before;
 * - menus and an alert are laid out in the same units as at scale 1 (a
 *   child run at KITS_SCALE=1 reports its layout), and a click at a menu
 *   item's place in units chooses it.
 */
#include "InterfaceTestSupport.h"

#include <Alert.h>
#include <Button.h>
#include <Menu.h>
#include <MenuBar.h>
#include <MenuItem.h>
#include <Screen.h>

#include "DisplayScale.h"
#include "DisplayServer.h"
#include "WindowPrivate.h"

#include <cairo.h>

#include <functional>
#include <math.h>
#include <sstream>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <unistd.h>
#include <vector>

using namespace interface_test;
using BPrivate::DisplayScale;
using BPrivate::DisplayServer;

namespace {

const rgb_color kBlack = { 0, 0, 0, 255 };
const rgb_color kWhite = { 255, 255, 255, 255 };
const rgb_color kBlue = { 0, 0, 255, 255 };


class PaintView : public BView {
public:
	PaintView(BRect frame, std::function<void(BView*)> paint)
		: BView(frame, "paint", B_FOLLOW_NONE, B_WILL_DRAW), fPaint(paint)
	{
		SetViewColor(kWhite);
	}

	void Draw(BRect) override { fPaint(this); }

private:
	std::function<void(BView*)> fPaint;
};


// What the display shows of a window, as grey levels (0 black, 255
// white) of its device pixels.
struct Grey {
	int32 width = 0;
	int32 height = 0;
	std::vector<uint8> levels;

	uint8 At(int32 x, int32 y) const { return levels[(size_t)y * width + x]; }
};


// The ink of a grey image: its rows and the contrast of its edges, the
// share of each dark-to-light transition along the rows that its
// steepest step makes (1 for an edge from ink to paper in one pixel,
// about a half for one blurred over two).
struct Ink {
	int32 top = -1;
	int32 bottom = -1;
	double contrast = 0;

	int32 Height() const { return top < 0 ? 0 : bottom - top + 1; }
};


Ink
measure_ink(const Grey& grey)
{
	Ink ink;
	double steepest = 0;
	double total = 0;
	for (int32 y = 0; y < grey.height; y++) {
		for (int32 x = 0; x < grey.width; x++) {
			if (grey.At(x, y) < 128) {
				if (ink.top < 0)
					ink.top = y;
				ink.bottom = y;
			}
		}
		// Runs of change in one direction.
		int32 x = 0;
		while (x + 1 < grey.width) {
			int step = grey.At(x + 1, y) - grey.At(x, y);
			if (step == 0) {
				x++;
				continue;
			}
			int direction = step > 0 ? 1 : -1;
			int run = 0;
			int largest = 0;
			while (x + 1 < grey.width) {
				int next = grey.At(x + 1, y) - grey.At(x, y);
				if (next * direction <= 0)
					break;
				run += abs(next);
				largest = std::max(largest, abs(next));
				x++;
			}
			// Only edges between ink and paper count, not the faint ones.
			if (run >= 160) {
				steepest += largest;
				total += run;
			}
		}
	}
	ink.contrast = total > 0 ? steepest / total : 0;
	return ink;
}


class ScaledDrawingTest : public ::testing::Test {
protected:
	void SetUp() override
	{
		ASSERT_EQ(fDriver.Launch<TestApplication>(), B_OK);
		fScale = DisplayServer::Default().Scale();
	}

	BWindow* ShowPainted(BRect frame, std::function<void(BView*)> paint)
	{
		BWindow* window = new BWindow(frame, "Scaled", B_TITLED_WINDOW, 0);
		window->AddChild(new PaintView(window->Bounds(), paint));
		window->Show();
		EXPECT_EQ(fDriver.WaitForIdle(), B_OK);
		return window;
	}

	Grey Shown(BWindow* window)
	{
		Grey grey;
		std::string path = "/tmp/scaled-drawing-"
			+ std::to_string(getpid()) + ".png";
		EXPECT_EQ(fDriver.SaveScreenshot(window, path.c_str()), B_OK);
		cairo_surface_t* image = cairo_image_surface_create_from_png(
			path.c_str());
		unlink(path.c_str());
		if (cairo_surface_status(image) != CAIRO_STATUS_SUCCESS) {
			ADD_FAILURE() << "the screenshot could not be read";
			cairo_surface_destroy(image);
			return grey;
		}
		grey.width = cairo_image_surface_get_width(image);
		grey.height = cairo_image_surface_get_height(image);
		const uint8* data = cairo_image_surface_get_data(image);
		int stride = cairo_image_surface_get_stride(image);
		for (int32 y = 0; y < grey.height; y++) {
			const uint32* row = (const uint32*)(data + (size_t)y * stride);
			for (int32 x = 0; x < grey.width; x++) {
				uint32 pixel = row[x];
				grey.levels.push_back((uint8)((((pixel >> 16) & 0xff)
					+ ((pixel >> 8) & 0xff) + (pixel & 0xff)) / 3));
			}
		}
		cairo_surface_destroy(image);
		return grey;
	}

	rgb_color Pixel(BWindow* window, int32 x, int32 y)
	{
		rgb_color color = {};
		EXPECT_EQ(fDriver.GetPixel(window, BPoint(x, y), &color), B_OK);
		return color;
	}

	// Puts the window on a screen of that scale, as a move there would.
	void MoveToScale(BWindow* window, float scale)
	{
		int32 id = BWindow::Private(window).ServerID();
		ASSERT_EQ(DisplayServer::Default().Call(BPrivate::InjectEventRequest(
			BPrivate::ServerEvent(id, BPrivate::ScaleChangedEvent(scale)))),
			B_OK);
		ASSERT_EQ(fDriver.WaitForIdle(), B_OK);
	}

	TestDriver fDriver;
	DisplayScale fScale;
};


// The frames of a window's views, depth first, in units.
void
describe_views(BView* view, std::ostringstream& out);


void
describe_window(BWindow* window, std::ostringstream& out)
{
	BRect frame = window->Frame();
	out << "window(" << frame.Width() << "," << frame.Height() << ") ";
	for (int32 i = 0; i < window->CountChildren(); i++)
		describe_views(window->ChildAt(i), out);
}


void
describe_views(BView* view, std::ostringstream& out)
{
	BRect frame = view->Frame();
	out << view->Name() << "(" << frame.left << "," << frame.top << ","
		<< frame.right << "," << frame.bottom << ") ";
	for (int32 i = 0; i < view->CountChildren(); i++)
		describe_views(view->ChildAt(i), out);
}

}	// namespace


TEST_F(ScaledDrawingTest, ImagesAreUnitsTimesTheScale)
{
	const char* forced = getenv("KITS_SCALE");
	EXPECT_EQ(fScale.Factor(), forced != NULL ? atof(forced) : 1.0);

	BWindow* window = ShowPainted(BRect(100, 100, 300, 250), [](BView*) {});
	Grey grey = Shown(window);
	EXPECT_EQ(grey.width, fScale.Pixels(201));
	EXPECT_EQ(grey.height, fScale.Pixels(151));
	EXPECT_EQ(BScreen().Frame(), BRect(0, 0, 1279, 799));
	{
		WindowLocker locker(window);
		EXPECT_EQ(window->Bounds(), BRect(0, 0, 200, 150));
	}
}


TEST_F(ScaledDrawingTest, WholeUnitsCoverWholeDevicePixels)
{
	// Lines and fills at every offset from 0 to 5 units, where 1.5 puts
	// them on 2 and 1 device pixels in turn.
	BWindow* window = ShowPainted(BRect(100, 100, 219, 179),
		[](BView* view) {
			view->SetHighColor(kBlue);
			for (int32 i = 0; i < 6; i++) {
				float x = 10 + 7 * i + i % 2;
				view->StrokeLine(BPoint(x, 5), BPoint(x, 20));
				view->StrokeLine(BPoint(60, 5 + 3 * i + i % 2),
					BPoint(100, 5 + 3 * i + i % 2));
				view->FillRect(BRect(x, 30, x + i % 3, 35));
				view->StrokeRect(BRect(x, 45, x + 4, 45 + 2 + i % 2));
			}
		});

	// Each device pixel is blue exactly when its centre lies in a unit
	// pixel the drawing covers; no pixel is anything in between.
	auto covered = [](float x, float y) {
		for (int32 i = 0; i < 6; i++) {
			float left = 10 + 7 * i + i % 2;
			float row = 5 + 3 * i + i % 2;
			if (x == left && y >= 5 && y <= 20)
				return true;
			if (y == row && x >= 60 && x <= 100)
				return true;
			if (x >= left && x <= left + i % 3 && y >= 30 && y <= 35)
				return true;
			float bottom = 45 + 2 + i % 2;
			bool inside = x >= left && x <= left + 4 && y >= 45
				&& y <= bottom;
			bool onEdge = x == left || x == left + 4 || y == 45
				|| y == bottom;
			if (inside && onEdge)
				return true;
		}
		return false;
	};
	Grey grey = Shown(window);
	int32 wrong = 0;
	for (int32 y = 0; y < fScale.Pixels(60); y++) {
		for (int32 x = 0; x < fScale.Pixels(110); x++) {
			// The unit pixel whose edges hold the device pixel.
			float unitX = 0;
			while (fScale.Edge(unitX + 1) <= x)
				unitX++;
			float unitY = 0;
			while (fScale.Edge(unitY + 1) <= y)
				unitY++;
			// Blue is a grey of 85.
			int level = grey.At(x, y);
			int expected = covered(unitX, unitY) ? 85 : 255;
			if (level != expected && wrong++ < 5) {
				ADD_FAILURE() << "device pixel " << x << "," << y
					<< " (unit " << unitX << "," << unitY << ") is "
					<< level;
			}
		}
	}
	EXPECT_EQ(wrong, 0);
}


TEST_F(ScaledDrawingTest, TextIsScaledAndAsSharp)
{
	BFont font(be_plain_font);
	font.SetSize(18);
	BWindow* window = ShowPainted(BRect(100, 100, 339, 139),
		[font](BView* view) {
			view->SetFont(&font);
			view->SetHighColor(kBlack);
			view->DrawString("Hamburgefonts_gjpq", BPoint(6, 26));
		});
	Grey atScale = Shown(window);
	Ink inkAtScale = measure_ink(atScale);

	MoveToScale(window, 1);
	Grey atOne = Shown(window);
	Ink inkAtOne = measure_ink(atOne);
	ASSERT_GT(inkAtOne.Height(), 12);
	ASSERT_GT(inkAtOne.contrast, 0.5);

	// As tall as the scale says, give or take the rounding of an edge.
	EXPECT_NEAR(inkAtScale.Height(), inkAtOne.Height() * fScale.Factor(),
		1.5 + fScale.Factor());
	// Rendered at the device's size, the edges are as steep as at 1.
	EXPECT_GE(inkAtScale.contrast, inkAtOne.contrast * 0.9);

	// The scale-1 pixels enlarged, as a compositor would: blurrier.
	Grey enlarged;
	enlarged.width = atOne.width * 2;
	enlarged.height = atOne.height * 2;
	for (int32 y = 0; y < enlarged.height; y++) {
		for (int32 x = 0; x < enlarged.width; x++) {
			// Bilinear, as a scaling compositor filters.
			double sourceX = std::max(0.0, (x + 0.5) / 2 - 0.5);
			double sourceY = std::max(0.0, (y + 0.5) / 2 - 0.5);
			int32 x0 = (int32)sourceX;
			int32 y0 = (int32)sourceY;
			int32 x1 = std::min(x0 + 1, atOne.width - 1);
			int32 y1 = std::min(y0 + 1, atOne.height - 1);
			double fx = sourceX - x0;
			double fy = sourceY - y0;
			double top = atOne.At(x0, y0) * (1 - fx) + atOne.At(x1, y0) * fx;
			double bottom = atOne.At(x0, y1) * (1 - fx)
				+ atOne.At(x1, y1) * fx;
			enlarged.levels.push_back(
				(uint8)lround(top * (1 - fy) + bottom * fy));
		}
	}
	EXPECT_LT(measure_ink(enlarged).contrast, inkAtOne.contrast * 0.8);
}


TEST_F(ScaledDrawingTest, WindowOnAnotherScaleDrawsAgainAtIt)
{
	BWindow* window = ShowPainted(BRect(100, 100, 199, 159),
		[](BView* view) {
			view->SetHighColor(kBlack);
			view->StrokeRect(BRect(3, 3, 40, 20));
			view->DrawString("Moved", BPoint(8, 45));
		});
	Grey first = Shown(window);

	for (float other : { 2.0f, 1.5f, 1.0f }) {
		SCOPED_TRACE(other);
		MoveToScale(window, other);
		DisplayScale scale(other);
		Grey moved = Shown(window);
		EXPECT_EQ(moved.width, scale.Pixels(100));
		EXPECT_EQ(moved.height, scale.Pixels(60));
		// The outline's corner lands on the new scale's pixels.
		EXPECT_EQ(Pixel(window, scale.Edge(3), scale.Edge(3)), kBlack);
		EXPECT_EQ(Pixel(window, scale.Edge(4), scale.Edge(4)), kWhite);
		EXPECT_LT(measure_ink(moved).Height(), scale.Pixels(60));
	}

	MoveToScale(window, fScale.Factor());
	Grey back = Shown(window);
	EXPECT_EQ(back.width, first.width);
	EXPECT_EQ(back.height, first.height);
	EXPECT_TRUE(back.levels == first.levels)
		<< "the window draws other pixels back at its first scale";
}


// Prints the layout that the next test compares with; run on its own
// by that test, at KITS_SCALE=1.
TEST_F(ScaledDrawingTest, Layout)
{
	BWindow* window = new BWindow(BRect(100, 100, 399, 299), "Menus",
		B_TITLED_WINDOW, 0);
	BMenuBar* bar = new BMenuBar(BRect(0, 0, 299, 0), "bar");
	BMenu* menu = new BMenu("File");
	menu->AddItem(new BMenuItem("New", new BMessage('new '), 'N'));
	menu->AddItem(new BMenuItem("Open...", new BMessage('open')));
	menu->AddSeparatorItem();
	BMenuItem* marked = new BMenuItem("Marked", new BMessage('mark'));
	marked->SetMarked(true);
	menu->AddItem(marked);
	bar->AddItem(menu);
	window->AddChild(bar);
	BButton* button = new BButton(BRect(20, 60, 120, 80), "button",
		"Press me", new BMessage('push'));
	window->AddChild(button);
	window->Show();
	ASSERT_EQ(fDriver.WaitForIdle(), B_OK);

	std::ostringstream out;
	{
		WindowLocker locker(window);
		describe_window(window, out);
	}
	BRect titleFrame;
	{
		WindowLocker locker(window);
		titleFrame = bar->ItemAt(0)->Frame();
	}
	ASSERT_EQ(fDriver.Click(window, BPoint(
		(titleFrame.left + titleFrame.right) / 2,
		(titleFrame.top + titleFrame.bottom) / 2)), B_OK);
	BWindow* menuWindow = fDriver.MenuWindow(menu);
	ASSERT_NE(menuWindow, nullptr);
	BRect newFrame;
	{
		WindowLocker locker(menuWindow);
		BRect frame = menuWindow->Frame();
		out << "menu(" << frame.left << "," << frame.top << ","
			<< frame.right << "," << frame.bottom << ") ";
		for (int32 i = 0; i < menu->CountItems(); i++) {
			BRect item = menu->ItemAt(i)->Frame();
			out << "item(" << item.left << "," << item.top << ","
				<< item.right << "," << item.bottom << ") ";
		}
		newFrame = menu->ItemAt(0)->Frame();
	}
	// The menu window's image is its frame at the scale.
	Grey shown = Shown(menuWindow);
	{
		WindowLocker locker(menuWindow);
		EXPECT_EQ(shown.width, fScale.Pixels(menuWindow->Bounds().Width()
			+ 1));
	}
	// The click lands on the item drawn there.
	ASSERT_EQ(fDriver.Click(menuWindow, BPoint(newFrame.left + 10,
		(newFrame.top + newFrame.bottom) / 2)), B_OK);
	ASSERT_EQ(fDriver.WaitForIdle(), B_OK);
	EXPECT_EQ(fDriver.MenuWindow(menu), nullptr);

	BAlert* alert = new BAlert("Question", "Keep the changes made so far?",
		"Cancel", "Don't save", "Save");
	alert->Go(NULL);
	BAlert* shownAlert = fDriver.WaitForAlert();
	ASSERT_NE(shownAlert, nullptr);
	{
		WindowLocker locker(shownAlert);
		describe_window(shownAlert, out);
	}
	EXPECT_EQ(fDriver.PressAlertButton(shownAlert, 0), B_OK);
	printf("layout: %s\n", out.str().c_str());
	fflush(stdout);
}


TEST_F(ScaledDrawingTest, LayoutIsTheSameInUnitsAsAtScaleOne)
{
	char executable[4096];
	ssize_t length = readlink("/proc/self/exe", executable,
		sizeof(executable) - 1);
	ASSERT_GT(length, 0);
	executable[length] = '\0';
	auto layoutAt = [&executable](const char* scale) {
		std::string command = std::string("KITS_SCALE=") + scale + " '"
			+ executable + "' --gtest_filter=ScaledDrawingTest.Layout";
		FILE* child = popen(command.c_str(), "r");
		std::string layout;
		char line[8192];
		while (child != NULL && fgets(line, sizeof(line), child) != NULL) {
			if (strncmp(line, "layout: ", 8) == 0)
				layout = line + 8;
		}
		EXPECT_EQ(child != NULL ? pclose(child) : -1, 0);
		return layout;
	};
	std::string here = layoutAt(getenv("KITS_SCALE") != NULL
		? getenv("KITS_SCALE") : "1");
	std::string atOne = layoutAt("1");
	EXPECT_FALSE(atOne.empty());
	EXPECT_NE(atOne.find("menu("), std::string::npos);
	EXPECT_EQ(here, atOne);
}
