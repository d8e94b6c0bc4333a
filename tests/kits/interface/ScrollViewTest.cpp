/*
 * Scroll bars and scroll views:
 * - a scroll view is built around its target: border and 14-pixel bars
 *   outside the target's frame, the target where it was; without bars
 *   or border it is the target's frame;
 * - a bar can be moved and resized like any view, and the bars follow
 *   the window's size;
 * - the value stays in the range; setting it scrolls the target,
 *   scrolling the target moves the bar (even past the range, which the
 *   bar does not undo);
 * - arrows, the track, dragging the thumb and the wheel over the target
 *   move the bar and the target; a bar with an empty range ignores
 *   them;
 * - an arrow held down repeats until the button comes up, and pauses
 *   while the pointer is off it; the track held down pages until the
 *   thumb reaches the pointer.
 */
#include "ControlsTestSupport.h"

#include <ScrollView.h>

#include <math.h>
#include <unistd.h>

using namespace interface_test;

namespace {

struct ScrolledWindow {
	ScrolledWindow(TestDriver& driver)
	{
		// The document window's layout: a 440 x 340 window, a bar
		// across the top, 14 pixels for each bar.
		window = new BWindow(BRect(100, 100, 539, 439), "Scrolled",
			B_DOCUMENT_WINDOW, 0);
		target = new BView(BRect(0, 20, 425, 325), "target",
			B_FOLLOW_ALL_SIDES, B_WILL_DRAW);
		scrollView = new BScrollView("ScrollView", target,
			B_FOLLOW_ALL_SIDES, 0, true, true, B_FANCY_BORDER);
		window->AddChild(scrollView);
		window->Show();
		EXPECT_EQ(driver.WaitForIdle(), B_OK);
	}

	// The vertical bar over 0 to 1000, a quarter shown, steps of 10 and
	// 100.
	BScrollBar* PrepareVerticalBar()
	{
		WindowLocker locker(window);
		BScrollBar* vertical = scrollView->ScrollBar(B_VERTICAL);
		vertical->SetRange(0, 1000);
		vertical->SetProportion(0.25f);
		vertical->SetSteps(10, 100);
		return vertical;
	}

	float Value(BScrollBar* bar)
	{
		WindowLocker locker(window);
		return bar->Value();
	}

	BWindow* window;
	BView* target;
	BScrollView* scrollView;
};


BRect
window_frame(BView* view)
{
	return view->Parent() != NULL
		? view->Parent()->ConvertToWindow(view->Frame()) : view->Frame();
}

}	// namespace


TEST(ScrollViewTest, IsBuiltAroundItsTarget)
{
	TestDriver driver;
	ASSERT_EQ(driver.Launch<TestApplication>(), B_OK);
	ScrolledWindow scrolled(driver);
	WindowLocker locker(scrolled.window);

	BScrollBar* horizontal = scrolled.scrollView->ScrollBar(B_HORIZONTAL);
	BScrollBar* vertical = scrolled.scrollView->ScrollBar(B_VERTICAL);
	ASSERT_NE(horizontal, (BScrollBar*)NULL);
	ASSERT_NE(vertical, (BScrollBar*)NULL);
	EXPECT_EQ(scrolled.target->ScrollBar(B_HORIZONTAL), horizontal);
	EXPECT_EQ(scrolled.target->ScrollBar(B_VERTICAL), vertical);
	EXPECT_EQ(horizontal->Target(), scrolled.target);
	EXPECT_EQ(horizontal->Orientation(), B_HORIZONTAL);
	EXPECT_EQ(scrolled.scrollView->Target(), scrolled.target);

	EXPECT_EQ(window_frame(scrolled.target), BRect(0, 20, 425, 325));
	EXPECT_EQ(scrolled.scrollView->Frame(), BRect(-2, 18, 441, 341));
	EXPECT_EQ(window_frame(vertical), BRect(426, 20, 439, 325));
	EXPECT_EQ(window_frame(horizontal), BRect(0, 326, 425, 339));

	// Room for a status area at the lower left.
	horizontal->ResizeBy(-100, 0);
	horizontal->MoveBy(100, 0);
	EXPECT_EQ(window_frame(horizontal), BRect(100, 326, 425, 339));

	// Everything follows the window.
	scrolled.window->ResizeBy(60, 40);
	EXPECT_EQ(window_frame(scrolled.target), BRect(0, 20, 485, 365));
	EXPECT_EQ(window_frame(vertical), BRect(486, 20, 499, 365));
	EXPECT_EQ(window_frame(horizontal), BRect(100, 366, 485, 379));

	// Without bars and border the scroll view is the target's frame.
	BView* bare = new BView(BRect(5, 6, 55, 66), "bare", B_FOLLOW_NONE, 0);
	BScrollView* plain = new BScrollView("plain", bare, B_FOLLOW_NONE, 0,
		false, false, B_NO_BORDER);
	EXPECT_EQ(plain->Frame(), BRect(5, 6, 55, 66));
	EXPECT_EQ(plain->ScrollBar(B_VERTICAL), (BScrollBar*)NULL);
	EXPECT_EQ(bare->ScrollBar(B_VERTICAL), (BScrollBar*)NULL);
	plain->SetBorder(B_PLAIN_BORDER);
	EXPECT_EQ(plain->Frame(), BRect(4, 5, 56, 67));
	EXPECT_EQ(bare->Frame(), BRect(1, 1, 51, 61));
	EXPECT_EQ(plain->SetBorderHighlighted(true), B_ERROR);
	delete plain;
}


TEST(ScrollViewTest, BarAndTargetMoveTogether)
{
	TestDriver driver;
	ASSERT_EQ(driver.Launch<TestApplication>(), B_OK);
	ScrolledWindow scrolled(driver);
	WindowLocker locker(scrolled.window);
	BScrollBar* vertical = scrolled.scrollView->ScrollBar(B_VERTICAL);
	BScrollBar* horizontal = scrolled.scrollView->ScrollBar(B_HORIZONTAL);

	vertical->SetRange(0, 500);
	vertical->SetValue(120);
	EXPECT_EQ(vertical->Value(), 120.0f);
	EXPECT_EQ(scrolled.target->Bounds().top, 120.0f);

	// Kept in the range, and the range pulls the value in.
	vertical->SetValue(1000);
	EXPECT_EQ(vertical->Value(), 500.0f);
	vertical->SetValue(-5);
	EXPECT_EQ(vertical->Value(), 0.0f);
	vertical->SetValue(400);
	vertical->SetRange(0, 300);
	EXPECT_EQ(vertical->Value(), 300.0f);
	EXPECT_EQ(scrolled.target->Bounds().top, 300.0f);
	vertical->SetRange(10, 5);
	float min;
	float max;
	vertical->GetRange(&min, &max);
	EXPECT_EQ(min, 10.0f);
	EXPECT_EQ(max, 10.0f);
	vertical->SetRange(0, 300);

	// The target scrolls, the bars follow.
	scrolled.target->ScrollTo(BPoint(0, 42));
	EXPECT_EQ(vertical->Value(), 42.0f);
	EXPECT_EQ(horizontal->Value(), 0.0f);
	horizontal->SetRange(0, 100);
	scrolled.target->ScrollBy(30, 0);
	EXPECT_EQ(horizontal->Value(), 30.0f);
	EXPECT_EQ(scrolled.target->Bounds().left, 30.0f);
	// Past the range the bar stops at its end; the target stays.
	scrolled.target->ScrollTo(BPoint(0, 900));
	EXPECT_EQ(vertical->Value(), 300.0f);
	EXPECT_EQ(scrolled.target->Bounds().top, 900.0f);

	vertical->SetProportion(2);
	EXPECT_EQ(vertical->Proportion(), 1.0f);
	vertical->SetProportion(-1);
	EXPECT_EQ(vertical->Proportion(), 0.0f);
	vertical->SetSteps(0, 25);
	float smallStep;
	float largeStep;
	vertical->GetSteps(&smallStep, &largeStep);
	EXPECT_EQ(smallStep, 1.0f);
	EXPECT_EQ(largeStep, 25.0f);
}


TEST(ScrollViewTest, MouseAndWheelScroll)
{
	TestDriver driver;
	ASSERT_EQ(driver.Launch<TestApplication>(), B_OK);
	ScrolledWindow scrolled(driver);
	BWindow* window = scrolled.window;
	BScrollBar* vertical = scrolled.PrepareVerticalBar();
	auto value = [&]() { return scrolled.Value(vertical); };
	auto top = [&]() {
		WindowLocker locker(window);
		return scrolled.target->Bounds().top;
	};

	// The bar runs from 20 to 325 in the window, at x 426 to 439; its
	// arrows are 14 pixels long.
	ASSERT_EQ(driver.Click(window, BPoint(432, 318)), B_OK);
	EXPECT_EQ(value(), 10.0f);
	EXPECT_EQ(top(), 10.0f);
	ASSERT_EQ(driver.Click(window, BPoint(432, 318)), B_OK);
	ASSERT_EQ(driver.Click(window, BPoint(432, 25)), B_OK);
	EXPECT_EQ(value(), 10.0f);

	// The track below the thumb pages down, above it pages up.
	ASSERT_EQ(driver.Click(window, BPoint(432, 300)), B_OK);
	EXPECT_EQ(value(), 110.0f);
	ASSERT_EQ(driver.Click(window, BPoint(432, 36)), B_OK);
	EXPECT_EQ(value(), 10.0f);

	// Dragging the thumb all the way down reaches the end of the range.
	{
		WindowLocker locker(window);
		vertical->SetValue(0);
	}
	ASSERT_EQ(driver.MouseDown(window, BPoint(432, 40)), B_OK);
	ASSERT_EQ(driver.MoveMouse(window, BPoint(432, 120),
		B_PRIMARY_MOUSE_BUTTON), B_OK);
	float halfway = value();
	EXPECT_GT(halfway, 0.0f);
	EXPECT_LT(halfway, 1000.0f);
	EXPECT_EQ(top(), halfway);
	ASSERT_EQ(driver.MoveMouse(window, BPoint(432, 600),
		B_PRIMARY_MOUSE_BUTTON), B_OK);
	ASSERT_EQ(driver.MouseUp(window, BPoint(432, 600)), B_OK);
	EXPECT_EQ(value(), 1000.0f);
	EXPECT_EQ(top(), 1000.0f);

	// The wheel over the target: three small steps a notch.
	ASSERT_EQ(driver.MoveMouse(window, BPoint(200, 200)), B_OK);
	ASSERT_EQ(driver.ScrollWheel(window, 0, -2), B_OK);
	EXPECT_EQ(value(), 940.0f);
	EXPECT_EQ(top(), 940.0f);

	// An empty range leaves the bar and the target alone.
	{
		WindowLocker locker(window);
		vertical->SetRange(0, 0);
		EXPECT_EQ(top(), 0.0f);
	}
	ASSERT_EQ(driver.Click(window, BPoint(432, 318)), B_OK);
	EXPECT_EQ(value(), 0.0f);
	EXPECT_EQ(top(), 0.0f);
}


TEST(ScrollViewTest, HeldArrowAndTrackRepeat)
{
	TestDriver driver;
	ASSERT_EQ(driver.Launch<TestApplication>(), B_OK);
	ScrolledWindow scrolled(driver);
	BWindow* window = scrolled.window;
	BScrollBar* vertical = scrolled.PrepareVerticalBar();
	auto value = [&]() { return scrolled.Value(vertical); };

	// The increment arrow, at the bottom of the bar, held.
	ASSERT_EQ(driver.MouseDown(window, BPoint(432, 318)), B_OK);
	ASSERT_EQ(driver.WaitFor([&] { return value() >= 50; },
		"the held arrow to repeat"), B_OK);
	// Off the arrow the repeating pauses, back on it it goes on.
	ASSERT_EQ(driver.MoveMouse(window, BPoint(200, 318),
		B_PRIMARY_MOUSE_BUTTON), B_OK);
	float paused = value();
	usleep(200000);
	EXPECT_EQ(value(), paused);
	ASSERT_EQ(driver.MoveMouse(window, BPoint(432, 318),
		B_PRIMARY_MOUSE_BUTTON), B_OK);
	ASSERT_EQ(driver.WaitFor([&] { return value() > paused; },
		"the arrow to repeat again"), B_OK);
	ASSERT_EQ(driver.MouseUp(window, BPoint(432, 318)), B_OK);
	float released = value();
	usleep(200000);
	ASSERT_EQ(driver.WaitForIdle(), B_OK);
	EXPECT_EQ(value(), released);

	// The track below the thumb, held at y 200, pages until the thumb
	// covers that point and then stays: at 400 the thumb (69 pixels of
	// the 278 of the track, from y 34) ends at 187, at 500 it spans 138
	// to 207.
	{
		WindowLocker locker(window);
		vertical->SetValue(0);
	}
	ASSERT_EQ(driver.MouseDown(window, BPoint(432, 200)), B_OK);
	ASSERT_EQ(driver.WaitFor([&] { return value() >= 500; },
		"the held track to page"), B_OK);
	usleep(300000);
	EXPECT_EQ(value(), 500.0f);
	ASSERT_EQ(driver.MouseUp(window, BPoint(432, 200)), B_OK);
}
