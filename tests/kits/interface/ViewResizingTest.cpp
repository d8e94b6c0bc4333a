/*
 * Resizing modes in a window of 440 x 340 laid out as the editor lays
 * out its document window: a menu bar across the top (left-right, top),
 * a scroll view in the middle (all sides) with a text view inside it and
 * a scroll bar at its right, and a status view at the lower left
 * (left, bottom):
 * - growing the window by the program to 640 x 480 and by the user (a
 *   resize on the screen) moves and stretches each view by its mode,
 *   the status view staying at the lower left;
 * - shrinking back restores every frame exactly;
 * - centred views stay centred, also after odd steps;
 * - FrameResized()/FrameMoved() reach only views with B_FRAME_EVENTS,
 *   and the window's FrameResized() sees the new size;
 * - size limits bound both the program's and the user's resizes.
 */
#include "InterfaceTestSupport.h"

using namespace interface_test;

namespace {

class SizeWindow : public BWindow {
public:
	SizeWindow(BRect frame, Journal& journal)
		: BWindow(frame, "Document", B_DOCUMENT_WINDOW, 0),
		  fJournal(journal) {}

	void FrameResized(float width, float height) override
	{
		fJournal.Add("window:FrameResized " + std::to_string((int)width)
			+ "x" + std::to_string((int)height));
	}

private:
	Journal& fJournal;
};


struct EditorLayout {
	BWindow* window;
	BView* menuBar;
	BView* scrollView;
	BView* textView;
	BView* scrollBar;
	BView* status;
	BView* centred;
	BView* fixed;
};


EditorLayout
make_editor_window(Journal& journal)
{
	EditorLayout layout;
	layout.window = new SizeWindow(BRect(50, 50, 489, 389), journal);
	layout.menuBar = new BView(BRect(0, 0, 439, 19), "menu bar",
		B_FOLLOW_LEFT_RIGHT | B_FOLLOW_TOP, B_WILL_DRAW);
	layout.scrollView = new RecordingView(BRect(0, 20, 439, 326),
		"scroll view", B_FOLLOW_ALL_SIDES, B_WILL_DRAW | B_FRAME_EVENTS,
		journal);
	layout.textView = new RecordingView(BRect(1, 1, 423, 305), "text view",
		B_FOLLOW_ALL_SIDES, B_WILL_DRAW | B_FRAME_EVENTS, journal);
	layout.scrollBar = new RecordingView(BRect(424, 1, 438, 305),
		"scroll bar", B_FOLLOW_RIGHT | B_FOLLOW_TOP_BOTTOM, B_WILL_DRAW,
		journal);
	layout.status = new RecordingView(BRect(0, 327, 99, 339), "status",
		B_FOLLOW_LEFT | B_FOLLOW_BOTTOM, B_WILL_DRAW | B_FRAME_EVENTS,
		journal);
	layout.centred = new BView(BRect(170, 120, 269, 219), "centred",
		B_FOLLOW_H_CENTER | B_FOLLOW_V_CENTER, 0);
	layout.fixed = new BView(BRect(300, 100, 309, 109), "fixed",
		B_FOLLOW_NONE, 0);

	layout.window->AddChild(layout.menuBar);
	layout.window->AddChild(layout.scrollView);
	layout.scrollView->AddChild(layout.textView);
	layout.scrollView->AddChild(layout.scrollBar);
	layout.window->AddChild(layout.status);
	layout.window->AddChild(layout.centred);
	layout.window->AddChild(layout.fixed);
	return layout;
}


void
expect_original_frames(const EditorLayout& layout)
{
	EXPECT_EQ(layout.window->Bounds(), BRect(0, 0, 439, 339));
	EXPECT_EQ(layout.menuBar->Frame(), BRect(0, 0, 439, 19));
	EXPECT_EQ(layout.scrollView->Frame(), BRect(0, 20, 439, 326));
	EXPECT_EQ(layout.textView->Frame(), BRect(1, 1, 423, 305));
	EXPECT_EQ(layout.scrollBar->Frame(), BRect(424, 1, 438, 305));
	EXPECT_EQ(layout.status->Frame(), BRect(0, 327, 99, 339));
	EXPECT_EQ(layout.centred->Frame(), BRect(170, 120, 269, 219));
	EXPECT_EQ(layout.fixed->Frame(), BRect(300, 100, 309, 109));
}


void
expect_grown_frames(const EditorLayout& layout)
{
	EXPECT_EQ(layout.window->Bounds(), BRect(0, 0, 639, 479));
	EXPECT_EQ(layout.menuBar->Frame(), BRect(0, 0, 639, 19));
	EXPECT_EQ(layout.scrollView->Frame(), BRect(0, 20, 639, 466));
	EXPECT_EQ(layout.textView->Frame(), BRect(1, 1, 623, 445));
	EXPECT_EQ(layout.scrollBar->Frame(), BRect(624, 1, 638, 445));
	EXPECT_EQ(layout.status->Frame(), BRect(0, 467, 99, 479));
	EXPECT_EQ(layout.centred->Frame(), BRect(270, 190, 369, 289));
	EXPECT_EQ(layout.fixed->Frame(), BRect(300, 100, 309, 109));
}

}	// namespace


TEST(ViewResizingTest, ProgramResizeFollowsTheModes)
{
	// The journal outlives the driver, which quits the windows.
	Journal journal;
	TestDriver driver;
	ASSERT_EQ(driver.Launch<TestApplication>(), B_OK);
	EditorLayout layout = make_editor_window(journal);
	layout.window->Show();
	ASSERT_EQ(driver.WaitForIdle(), B_OK);
	journal.Clear();

	{
		WindowLocker locker(layout.window);
		expect_original_frames(layout);
		layout.window->ResizeTo(639, 479);
		expect_grown_frames(layout);
	}
	ASSERT_EQ(driver.WaitForIdle(), B_OK);

	// Frame events: only the views that asked, and the window itself.
	EXPECT_EQ(journal.Count("scroll view:FrameResized"), 1);
	EXPECT_EQ(journal.Count("text view:FrameResized"), 1);
	EXPECT_EQ(journal.Count("status:FrameMoved"), 1);
	EXPECT_EQ(journal.Count("status:FrameResized"), 0);
	EXPECT_EQ(journal.Count("scroll bar:FrameResized"), 0);
	EXPECT_EQ(journal.Count("scroll bar:FrameMoved"), 0);
	EXPECT_EQ(journal.Count("window:FrameResized 639x479"), 1);

	WindowLocker locker(layout.window);
	layout.window->ResizeBy(-200, -140);
	expect_original_frames(layout);
}


TEST(ViewResizingTest, UserResizeFollowsTheModes)
{
	// The journal outlives the driver, which quits the windows.
	Journal journal;
	TestDriver driver;
	ASSERT_EQ(driver.Launch<TestApplication>(), B_OK);
	EditorLayout layout = make_editor_window(journal);
	layout.window->Show();
	ASSERT_EQ(driver.WaitForIdle(), B_OK);

	ASSERT_EQ(driver.ResizeWindow(layout.window, 639, 479), B_OK);
	{
		WindowLocker locker(layout.window);
		expect_grown_frames(layout);
	}

	// Odd steps keep the centred view centred when they add up.
	ASSERT_EQ(driver.ResizeWindow(layout.window, 440, 340), B_OK);
	ASSERT_EQ(driver.ResizeWindow(layout.window, 441, 341), B_OK);
	ASSERT_EQ(driver.ResizeWindow(layout.window, 439, 339), B_OK);
	WindowLocker locker(layout.window);
	expect_original_frames(layout);

	// The status view's pixels follow it: it is drawn at the lower left.
	EXPECT_EQ(layout.status->ConvertToWindow(layout.status->Bounds()),
		BRect(0, 327, 99, 339));
}


TEST(ViewResizingTest, SizeLimitsBoundEveryResize)
{
	// The journal outlives the driver, which quits the windows.
	Journal journal;
	TestDriver driver;
	ASSERT_EQ(driver.Launch<TestApplication>(), B_OK);
	EditorLayout layout = make_editor_window(journal);
	layout.window->SetSizeLimits(200, 700, 100, 500);
	layout.window->Show();
	ASSERT_EQ(driver.WaitForIdle(), B_OK);

	{
		WindowLocker locker(layout.window);
		layout.window->ResizeTo(10, 10);
		EXPECT_EQ(layout.window->Bounds(), BRect(0, 0, 200, 100));
		layout.window->ResizeTo(5000, 5000);
		EXPECT_EQ(layout.window->Bounds(), BRect(0, 0, 700, 500));
		float minWidth, maxWidth, minHeight, maxHeight;
		layout.window->GetSizeLimits(&minWidth, &maxWidth, &minHeight,
			&maxHeight);
		EXPECT_EQ(minWidth, 200);
		EXPECT_EQ(maxHeight, 500);
	}

	ASSERT_EQ(driver.ResizeWindow(layout.window, 50, 2000), B_OK);
	WindowLocker locker(layout.window);
	EXPECT_EQ(layout.window->Bounds(), BRect(0, 0, 200, 500));
	// The status view stays at the lower left whatever the size.
	EXPECT_EQ(layout.status->Frame(), BRect(0, 488, 99, 500));
}
