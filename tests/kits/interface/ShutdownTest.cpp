/*
 * How a program ends with windows open:
 * - deleting the application ends every window it still has, shown or
 *   not, without asking them, and their threads are done by then; a
 *   window that refuses to quit when asked is ended all the same;
 * - a process that exits with many windows drawing ends cleanly: the
 *   display server stops after the windows, and a request made after
 *   that fails instead of waiting forever; windows of an application
 *   that was never deleted are ended at the exit all the same;
 * - the server has stopped before the exit tears down a library that
 *   came after it (as the GL driver its first frame loads on Wayland).
 */
#include "InterfaceTestSupport.h"

#include "DisplayServer.h"

#include <atomic>
#include <stdlib.h>
#include <unistd.h>

using namespace interface_test;

namespace {

std::atomic<int> sWindowsDeleted{ 0 };
std::atomic<int> sFramesDrawn{ 0 };


// A window that draws all the time and never agrees to close.
class BusyWindow : public BWindow {
public:
	BusyWindow(int32 index)
		:
		BWindow(BRect(20 * index, 20 * index, 20 * index + 199,
			20 * index + 99), "busy", B_TITLED_WINDOW, 0)
	{
		SetPulseRate(1000);
		AddChild(new BusyView(Bounds()));
	}

	~BusyWindow() override
	{
		sWindowsDeleted++;
	}

	bool QuitRequested() override
	{
		return false;
	}

private:
	class BusyView : public BView {
	public:
		BusyView(BRect frame)
			: BView(frame, "busy", B_FOLLOW_ALL_SIDES,
				B_WILL_DRAW | B_PULSE_NEEDED) {}
		void Pulse() override { Invalidate(); }
		void Draw(BRect) override
		{
			sFramesDrawn++;
			SetHighColor(fShade++, 0, 0);
			FillRect(Bounds());
			DrawString("drawing", BPoint(10, 20));
		}
	private:
		uint8 fShade = 0;
	};
};


int sWindowsExpected = 0;


void
expect_server_stopped()
{
	// Runs after the server's own exit handler, which was registered
	// later.
	if (sWindowsDeleted.load() != sWindowsExpected)
		_exit(4);
	status_t status = BPrivate::DisplayServer::Default().Call(
		BPrivate::SyncRequest());
	_exit(status == B_ERROR ? 0 : 3);
}


// The teardown of a library loaded after the server started and before
// its first frame.
void
expect_server_stopped_before_teardown()
{
	status_t status = BPrivate::DisplayServer::Default().Call(
		BPrivate::SyncRequest());
	_exit(status == B_ERROR ? 0 : 3);
}

}	// namespace


TEST(ShutdownTest, DeletingTheApplicationEndsItsWindows)
{
	setenv("KITS_DISPLAY", "offscreen", 1);
	sWindowsDeleted = 0;
	BApplication* application = new TestApplication;
	const int kWindows = 12;
	for (int32 i = 0; i < kWindows; i++) {
		BWindow* window = new BusyWindow(i);
		// One in three is never shown and has no thread.
		if (i % 3 != 0)
			window->Show();
	}
	EXPECT_EQ(application->CountWindows(), kWindows);
	delete application;
	EXPECT_EQ(sWindowsDeleted.load(), kWindows);
}


TEST(ShutdownDeathTest, ExitWithManyWindowsIsClean)
{
	GTEST_FLAG_SET(death_test_style, "threadsafe");
	EXPECT_EXIT({
		setenv("KITS_DISPLAY", "offscreen", 1);
		atexit(expect_server_stopped);
		sWindowsDeleted = 0;
		sWindowsExpected = 40;
		BApplication* application = new TestApplication;
		for (int32 i = 0; i < 40; i++)
			(new BusyWindow(i))->Show();
		delete application;
		exit(0);
	}, ::testing::ExitedWithCode(0), "");

	// The application is never deleted; its windows still go first.
	EXPECT_EXIT({
		setenv("KITS_DISPLAY", "offscreen", 1);
		atexit(expect_server_stopped);
		sWindowsDeleted = 0;
		sWindowsExpected = 25;
		new TestApplication;
		for (int32 i = 0; i < 25; i++)
			(new BusyWindow(i))->Show();
		exit(0);
	}, ::testing::ExitedWithCode(0), "");
}


TEST(ShutdownDeathTest, ServerStopsBeforeWhatCameAfterIt)
{
	GTEST_FLAG_SET(death_test_style, "threadsafe");
	EXPECT_EXIT({
		setenv("KITS_DISPLAY", "offscreen", 1);
		new TestApplication;
		BWindow* window = new BusyWindow(0);
		BPrivate::DisplayServer::Default();
		atexit(expect_server_stopped_before_teardown);
		window->Show();
		while (sFramesDrawn.load() == 0)
			snooze(1000);
		// The frame drawn has reached the server.
		if (window->Lock()) {
			window->Sync();
			window->Unlock();
		}
		exit(0);
	}, ::testing::ExitedWithCode(0), "");
}
