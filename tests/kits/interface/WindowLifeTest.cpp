/*
 * A window's life, from construction to quitting:
 * - constructed hidden, without a thread, registered with the
 *   application; the first Show() starts the thread; Show()/Hide() nest;
 *   title, type, look, feel and flags read back; moving reaches
 *   FrameMoved();
 * - the close box asks QuitRequested(): a refusal keeps the window, a
 *   yes quits it; B_QUIT_ON_WINDOW_CLOSE then quits the application;
 * - the application's QuitRequested() asks every window and stops at
 *   the first that refuses;
 * - Command+Q asks the application, Command+W closes a closable window
 *   only;
 * - a window that quits with messages still queued drops them cleanly,
 *   from its own thread and from another;
 * - two windows drawing at the same time each show their own drawing;
 * - zooming fills the screen the display server reports, within the
 *   window's size limits; a screen other than the main one is invalid.
 */
#include "InterfaceTestSupport.h"

#include <Screen.h>

#include <atomic>

using namespace interface_test;

namespace {

// How often any GuardedWindow was asked to quit; readable after the
// window is gone.
std::atomic<int> sWindowsAsked{ 0 };


class GuardedWindow : public BWindow {
public:
	GuardedWindow(const char* title, uint32 flags = 0)
		: BWindow(BRect(100, 100, 299, 199), title, B_TITLED_WINDOW, flags) {}

	bool QuitRequested() override
	{
		fAsked++;
		sWindowsAsked++;
		return fAllow.load();
	}
	void FrameMoved(BPoint where) override
	{
		fMovedTo = where;
	}

	std::atomic<int> fAsked{ 0 };
	std::atomic<bool> fAllow{ false };
	BPoint fMovedTo;
};


class GuardedApplication : public BApplication {
public:
	GuardedApplication()
		: BApplication("application/x-vnd.Orvane-GuardedTest") {}

	bool QuitRequested() override
	{
		fAsked++;
		return fAllow.load() && BApplication::QuitRequested();
	}

	std::atomic<int> fAsked{ 0 };
	std::atomic<bool> fAllow{ true };
};


// Counts the messages it is given; the first one quits its window.
std::atomic<int> sDispatched{ 0 };

class QuittingView : public BView {
public:
	QuittingView() : BView(BRect(0, 0, 9, 9), "quitter", B_FOLLOW_NONE, 0) {}

	void MessageReceived(BMessage* message) override
	{
		if (message->what != 'QUIT') {
			BView::MessageReceived(message);
			return;
		}
		if (sDispatched++ == 0)
			Window()->Quit();
	}
};


// Fills itself with its colour and draws many small shapes and strings,
// so that two windows keep their threads busy at the same time.
class BusyView : public BView {
public:
	BusyView(rgb_color color)
		: BView(BRect(0, 0, 199, 99), "busy", B_FOLLOW_ALL_SIDES, B_WILL_DRAW),
		  fColor(color) {}

	void Draw(BRect) override
	{
		SetHighColor(fColor);
		FillRect(Bounds());
		SetHighColor(0, 0, 0);
		for (int i = 0; i < 40; i++) {
			StrokeLine(BPoint(100, i), BPoint(199, i + 40));
			FillEllipse(BRect(110 + i, 50, 120 + i, 60));
			DrawString("busy drawing", BPoint(100, 90));
		}
		fDraws++;
	}

	rgb_color fColor;
	std::atomic<int> fDraws{ 0 };
};

}	// namespace


TEST(WindowLifeTest, ConstructionShowHideAndAppearance)
{
	TestDriver driver;
	ASSERT_EQ(driver.Launch<TestApplication>(), B_OK);
	GuardedWindow* window = new GuardedWindow("Life", B_NOT_ZOOMABLE);
	window->fAllow = true;

	EXPECT_TRUE(window->IsHidden());
	EXPECT_EQ(window->Thread(), -1);
	EXPECT_EQ(be_app->CountWindows(), 1);
	EXPECT_EQ(be_app->WindowAt(0), window);
	EXPECT_STREQ(window->Title(), "Life");
	EXPECT_EQ(window->Type(), B_TITLED_WINDOW);
	EXPECT_EQ(window->Look(), B_TITLED_WINDOW_LOOK);
	EXPECT_EQ(window->Feel(), B_NORMAL_WINDOW_FEEL);
	EXPECT_EQ(window->Flags(), (uint32)B_NOT_ZOOMABLE);
	EXPECT_EQ(window->Workspaces(), (uint32)B_CURRENT_WORKSPACE);

	window->Show();
	EXPECT_NE(window->Thread(), -1);
	ASSERT_EQ(driver.WaitForIdle(), B_OK);
	EXPECT_EQ(driver.FindWindow("Life"), window);
	EXPECT_EQ(driver.FindWindow("Other"), (BWindow*)NULL);

	{
		WindowLocker locker(window);
		EXPECT_FALSE(window->IsHidden());
		window->Show();
		window->Hide();
		EXPECT_FALSE(window->IsHidden());
		window->Hide();
		EXPECT_TRUE(window->IsHidden());
		window->Show();
		EXPECT_FALSE(window->IsHidden());

		window->SetTitle("Renamed");
		EXPECT_STREQ(window->Title(), "Renamed");
		window->SetTitle(NULL);
		EXPECT_STREQ(window->Title(), "");
		window->SetTitle("Renamed");
		window->MoveTo(30, 40);
		EXPECT_EQ(window->Frame(), BRect(30, 40, 229, 139));
	}
	ASSERT_EQ(driver.WaitForIdle(), B_OK);
	EXPECT_EQ(window->fMovedTo, BPoint(30, 40));
	EXPECT_EQ(driver.FindWindow("Renamed"), window);

	// The user moves it.
	ASSERT_EQ(driver.MoveWindow(window, BPoint(5, 6)), B_OK);
	WindowLocker locker(window);
	EXPECT_EQ(window->Frame().LeftTop(), BPoint(5, 6));
	EXPECT_EQ(window->fMovedTo, BPoint(5, 6));
}


TEST(WindowLifeTest, CloseBoxAsksQuitRequested)
{
	TestDriver driver;
	ASSERT_EQ(driver.Launch<TestApplication>(), B_OK);
	GuardedWindow* window = new GuardedWindow("Guarded");
	window->Show();
	ASSERT_EQ(driver.WaitForIdle(), B_OK);

	ASSERT_EQ(driver.CloseWindow(window), B_OK);
	EXPECT_EQ(window->fAsked.load(), 1);
	EXPECT_EQ(driver.FindWindow("Guarded"), window);

	window->fAllow = true;
	ASSERT_EQ(driver.CloseWindow(window), B_OK);
	EXPECT_EQ(driver.FindWindow("Guarded"), (BWindow*)NULL);
	EXPECT_EQ(driver.CountWindows(), 0);
	// The application goes on without it.
	EXPECT_TRUE(driver.IsRunning());
}


TEST(WindowLifeTest, QuitOnWindowCloseQuitsTheApplication)
{
	TestDriver driver;
	ASSERT_EQ(driver.Launch<TestApplication>(), B_OK);
	BWindow* window = new BWindow(BRect(0, 0, 99, 99), "Last",
		B_TITLED_WINDOW, B_QUIT_ON_WINDOW_CLOSE);
	window->Show();
	ASSERT_EQ(driver.WaitForIdle(), B_OK);
	ASSERT_EQ(driver.CloseWindow(window), B_OK);
	EXPECT_EQ(driver.WaitFor([&] { return !driver.IsRunning(); },
		"the application to quit"), B_OK);
}


TEST(WindowLifeTest, ApplicationAsksEveryWindow)
{
	TestDriver driver;
	ASSERT_EQ(driver.Launch<GuardedApplication>(), B_OK);
	GuardedWindow* first = new GuardedWindow("First");
	GuardedWindow* second = new GuardedWindow("Second");
	first->fAllow = true;
	first->Show();
	second->Show();
	ASSERT_EQ(driver.WaitForIdle(), B_OK);

	be_app_messenger.SendMessage(B_QUIT_REQUESTED);
	ASSERT_EQ(driver.WaitForIdle(), B_OK);
	EXPECT_TRUE(driver.IsRunning());
	EXPECT_EQ(driver.FindWindow("First"), (BWindow*)NULL);
	EXPECT_EQ(driver.FindWindow("Second"), second);
	EXPECT_EQ(second->fAsked.load(), 1);

	second->fAllow = true;
	EXPECT_EQ(driver.Quit(), B_OK);
	EXPECT_FALSE(driver.IsRunning());
	EXPECT_EQ(driver.CountWindows(), 0);
}


TEST(WindowLifeTest, CommandQAndCommandW)
{
	TestDriver driver;
	ASSERT_EQ(driver.Launch<GuardedApplication>(), B_OK);
	GuardedApplication* application
		= static_cast<GuardedApplication*>(driver.Application());
	application->fAllow = false;
	GuardedWindow* closable = new GuardedWindow("Closable");
	GuardedWindow* fixed = new GuardedWindow("Fixed", B_NOT_CLOSABLE);
	closable->fAllow = true;
	fixed->fAllow = true;
	closable->Show();
	fixed->Show();
	ASSERT_EQ(driver.WaitForIdle(), B_OK);

	{
		WindowLocker locker(fixed);
		EXPECT_TRUE(fixed->HasShortcut('q', B_COMMAND_KEY));
		EXPECT_FALSE(fixed->HasShortcut('w', B_COMMAND_KEY));
	}
	ASSERT_EQ(driver.PressKey(fixed, 'w', B_COMMAND_KEY), B_OK);
	EXPECT_EQ(fixed->fAsked.load(), 0);
	EXPECT_EQ(driver.FindWindow("Fixed"), fixed);

	ASSERT_EQ(driver.PressKey(fixed, 'q', B_COMMAND_KEY), B_OK);
	EXPECT_EQ(application->fAsked.load(), 1);

	sWindowsAsked = 0;
	ASSERT_EQ(driver.PressKey(closable, 'w', B_COMMAND_KEY), B_OK);
	EXPECT_EQ(sWindowsAsked.load(), 1);
	EXPECT_EQ(driver.FindWindow("Closable"), (BWindow*)NULL);

	application->fAllow = true;
}


TEST(WindowLifeTest, QuittingWithMessagesQueued)
{
	TestDriver driver;
	ASSERT_EQ(driver.Launch<TestApplication>(), B_OK);

	// From its own thread, in the middle of a queue.
	sDispatched = 0;
	BWindow* window = new BWindow(BRect(0, 0, 99, 99), "Quitter",
		B_TITLED_WINDOW, 0);
	QuittingView* view = new QuittingView;
	window->AddChild(view);
	BMessenger messenger(view);
	for (int i = 0; i < 50; i++)
		ASSERT_EQ(window->PostMessage('QUIT', view), B_OK);
	window->Show();
	ASSERT_EQ(driver.WaitFor([&] { return !messenger.IsValid(); },
		"the window to quit"), B_OK);
	ASSERT_EQ(driver.WaitForIdle(), B_OK);
	EXPECT_EQ(sDispatched.load(), 1);
	EXPECT_EQ(driver.CountWindows(), 0);
	EXPECT_EQ(messenger.SendMessage('QUIT'), B_BAD_PORT_ID);

	// From another thread, which holds the lock while it posts.
	BWindow* other = new BWindow(BRect(0, 0, 99, 99), "Other",
		B_TITLED_WINDOW, 0);
	other->AddChild(new BusyView(make_color(10, 20, 30)));
	other->Show();
	ASSERT_EQ(driver.WaitForIdle(), B_OK);
	ASSERT_TRUE(other->Lock());
	BMessenger otherMessenger(other);
	for (int i = 0; i < 50; i++) {
		BView* busy = other->FindView("busy");
		busy->Invalidate();
		other->PostMessage(B_PULSE);
	}
	other->Quit();
	EXPECT_FALSE(otherMessenger.IsValid());
	EXPECT_EQ(driver.CountWindows(), 0);
	ASSERT_EQ(driver.WaitForIdle(), B_OK);
}


TEST(WindowLifeTest, TwoWindowsDrawAtOnce)
{
	TestDriver driver;
	ASSERT_EQ(driver.Launch<TestApplication>(), B_OK);
	const rgb_color kColors[2] = { make_color(200, 40, 40),
		make_color(40, 40, 200) };
	BWindow* windows[2];
	BusyView* views[2];
	for (int i = 0; i < 2; i++) {
		windows[i] = new BWindow(BRect(0, 0, 199, 99),
			i == 0 ? "Left" : "Right", B_TITLED_WINDOW, 0);
		views[i] = new BusyView(kColors[i]);
		windows[i]->AddChild(views[i]);
		windows[i]->Show();
	}
	ASSERT_EQ(driver.WaitForIdle(), B_OK);

	for (int round = 0; round < 20; round++) {
		for (int i = 0; i < 2; i++) {
			WindowLocker locker(windows[i]);
			views[i]->Invalidate();
			if (round % 5 == 0)
				windows[i]->ResizeBy(round % 2 == 0 ? 3 : -3, 0);
		}
	}
	ASSERT_EQ(driver.WaitForIdle(), B_OK);

	for (int i = 0; i < 2; i++) {
		EXPECT_GE(views[i]->fDraws.load(), 2);
		rgb_color color = {};
		ASSERT_EQ(driver.GetPixel(windows[i], BPoint(10, 10), &color), B_OK);
		EXPECT_EQ(color, kColors[i]) << "window " << i;
	}
}


TEST(WindowLifeTest, ZoomFillsTheScreen)
{
	TestDriver driver;
	ASSERT_EQ(driver.Launch<TestApplication>(), B_OK);
	BScreen screen;
	ASSERT_TRUE(screen.IsValid());
	BRect frame = screen.Frame();
	ASSERT_TRUE(frame.IsValid());
	EXPECT_EQ(BScreen((BWindow*)NULL).Frame(), frame);

	screen_id other = { 1 };
	BScreen none(other);
	EXPECT_FALSE(none.IsValid());
	EXPECT_FALSE(none.Frame().IsValid());
	EXPECT_EQ(none.ColorSpace(), B_NO_COLOR_SPACE);
	EXPECT_EQ(screen.SetToNext(), B_ERROR);

	GuardedWindow* window = new GuardedWindow("Zoomed");
	window->fAllow = true;
	window->Show();
	{
		WindowLocker locker(window);
		window->Zoom();
		EXPECT_EQ(window->Frame(), frame);

		// Limits hold against the screen.
		window->SetSizeLimits(50, 400, 50, 300);
		window->Zoom();
		EXPECT_EQ(window->Frame(), BRect(frame.left, frame.top,
			frame.left + 400, frame.top + 300));
	}
	ASSERT_EQ(driver.Quit(), B_OK);
}
