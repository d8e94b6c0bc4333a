/*
 * TestDriver: launching, idling, finding, output, the screen and
 * quitting. Input is in TestDriverInput.cpp.
 *
 * Idle means: the display server has no request queued and is not
 * working on one, and every running looper (the application and each
 * window) has an empty queue and is not locked, which is how a looper
 * that is dispatching looks from outside; a window that is quitting is
 * busy until it has left the window list. A message taken from the queue
 * just before the looper locks itself looks idle for that instant, which
 * is why idle must be seen twice, a little apart.
 */
#include <TestDriver.h>

#include "ApplicationPrivate.h"
#include "DisplayServer.h"
#include "LooperPrivate.h"
#include "OutputCapture.h"
#include "ProcessArguments.h"
#include "TokenSpace.h"
#include "WindowPrivate.h"

#include <gtest/gtest.h>

#include <Alert.h>
#include <AppDefs.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

using BPrivate::DisplayServer;
using BPrivate::LooperCore;
using BPrivate::ScreenWindowInfo;

namespace {

// How long the driver sleeps between two looks at the loopers.
const bigtime_t kIdlePollInterval = 2000;
// How long a lookup waits for a window's lock.
const bigtime_t kLockTimeout = 1000000;
const char* const kProgramName = "test-application";


// Whether the thread is a looper's that waits for a synchronous alert.
bool
waits_for_alert(thread_id thread)
{
	BLooper* looper = thread >= 0 ? BPrivate::looper_of_thread(thread) : NULL;
	LooperCore* core = looper != NULL
		? BPrivate::TokenSpace::Default().AcquireCore(looper) : NULL;
	if (core == NULL)
		return false;
	bool waits = core->modalWaits.load() > 0;
	core->ReleaseReference();
	return waits;
}


// Whether the looper is held still by a synchronous alert: its own
// thread waits for one, or another thread that waits for one holds its
// lock (the application asking a window whether it may close).
bool
is_held_by_alert(LooperCore* core)
{
	return core->modalWaits.load() > 0
		|| waits_for_alert(core->lock.Owner());
}


// Whether a looper has work: messages queued or a dispatch going on.
bool
is_looper_busy(const BLooper* looper)
{
	LooperCore* core = BPrivate::TokenSpace::Default().AcquireCore(looper);
	if (core == NULL)
		return false;
	bool busy = (core->IsRunning() && !is_held_by_alert(core)
			&& (core->queue.CountMessages() > 0
				|| core->lock.Owner() >= 0));
	core->ReleaseReference();
	return busy;
}


// Whether a window has been told to quit but is not deleted yet: its
// loop is ending or its views are still being detached.
bool
is_window_ending(const BLooper* looper)
{
	LooperCore* core = BPrivate::TokenSpace::Default().AcquireCore(looper);
	if (core == NULL)
		return false;
	bool ending = core->thread.load() >= 0
		&& (!core->IsRunning() || core->queue.IsQuitRequested());
	core->ReleaseReference();
	return ending;
}


// Runs the function with the looper locked; false when it could not be
// locked (deleted, or held elsewhere for too long).
bool
with_lock(BLooper* looper, const std::function<void()>& function)
{
	if (looper == NULL || looper->LockWithTimeout(kLockTimeout) != B_OK)
		return false;
	function();
	looper->Unlock();
	return true;
}

}	// namespace


bool
TestDriver::_WithLock(BLooper* looper, const std::function<void()>& function)
{
	return with_lock(looper, function);
}


TestDriver::TestDriver()
	:
	fOutput(new BPrivate::OutputCapture),
	fApplication(NULL),
	fRunning(false),
	fLastServerID(0)
{
	setenv("KITS_DISPLAY", "offscreen", 1);
	if (fOutput->Start() != B_OK)
		ADD_FAILURE() << "TestDriver: standard output cannot be captured";
}


TestDriver::~TestDriver()
{
	if (fApplication != NULL)
		Quit();
	fOutput->Stop();
	delete fOutput;
}


// #pragma mark - Launching and quitting


status_t
TestDriver::Launch(std::function<BApplication*()> factory,
	const std::vector<std::string>& arguments)
{
	if (fApplication != NULL) {
		ADD_FAILURE() << "TestDriver::Launch(): an application runs already";
		return B_BUSY;
	}

	fArguments.clear();
	fArguments.push_back(kProgramName);
	fArguments.insert(fArguments.end(), arguments.begin(), arguments.end());
	fArgv.clear();
	for (const std::string& argument : fArguments)
		fArgv.push_back(argument.c_str());
	fArgv.push_back(NULL);
	BPrivate::set_process_arguments((int32)fArguments.size(), fArgv.data());

	fApplication = factory();
	if (fApplication == NULL) {
		ADD_FAILURE() << "TestDriver::Launch(): the factory made no "
			"application";
		return B_BAD_VALUE;
	}

	{
		std::lock_guard<std::mutex> guard(fLock);
		fRunning = true;
	}
	BApplication* application = fApplication;
	fThread = std::thread([this, application] {
		application->Run();
		std::lock_guard<std::mutex> guard(fLock);
		fRunning = false;
		fCondition.notify_all();
	});

	status_t status = WaitFor([application] {
		return !application->IsLaunching();
	}, "the application to finish ReadyToRun()");
	if (status != B_OK)
		return status;
	return WaitForIdle();
}


status_t
TestDriver::Quit(bigtime_t timeout)
{
	if (fApplication == NULL)
		return B_OK;

	be_app_messenger.SendMessage(B_QUIT_REQUESTED);
	status_t status = B_OK;
	{
		std::unique_lock<std::mutex> lock(fLock);
		if (!BPrivate::wait_with_timeout(fCondition, lock, timeout,
				[this] { return !fRunning; })) {
			status = B_TIMED_OUT;
		}
	}
	if (status != B_OK) {
		ADD_FAILURE() << "TestDriver::Quit(): the application did not quit "
			"within " << timeout / 1000 << " ms; it is made to";
		// A question still waiting for its answer keeps the application
		// locked for good; waiting on would hang the test instead of
		// failing it.
		if (fApplication->LockWithTimeout(kLockTimeout) != B_OK) {
			BAlert* alert = FindAlert();
			fprintf(stderr, "TestDriver::Quit(): the application cannot be "
				"locked%s%s%s; giving up\n",
				alert != NULL ? " while an alert asks \"" : "",
				alert != NULL ? AlertText(alert).c_str() : "",
				alert != NULL ? "\"" : "");
			fflush(stdout);
			abort();
		}
		fApplication->Quit();
		fApplication->Unlock();
	}
	_EndApplication();
	return status;
}


bool
TestDriver::IsRunning()
{
	std::lock_guard<std::mutex> guard(fLock);
	return fRunning;
}


void
TestDriver::_EndApplication()
{
	fThread.join();

	// Windows the application left behind go before it does.
	for (const BPrivate::window_entry& entry : BPrivate::window_list()) {
		if (entry.looper->LockWithTimeout(kLockTimeout) == B_OK)
			entry.looper->Quit();
	}
	delete fApplication;
	fApplication = NULL;
	BPrivate::set_process_arguments(0, NULL);
}


// #pragma mark - Waiting


bool
TestDriver::_IsIdleOnce(std::string& _busy)
{
	if (!DisplayServer::Default().IsIdle()) {
		_busy = "the display server";
		return false;
	}
	if (fApplication != NULL && is_looper_busy(fApplication)) {
		_busy = "the application";
		return false;
	}
	for (const BPrivate::window_entry& entry : BPrivate::window_list()) {
		if (is_looper_busy(entry.looper) || is_window_ending(entry.looper)) {
			_busy = "a window";
			return false;
		}
	}
	return true;
}


status_t
TestDriver::WaitForIdle(bigtime_t timeout)
{
	bigtime_t deadline = system_time() + timeout;
	int32 idleChecks = 0;
	std::string busy;
	for (;;) {
		if (_IsIdleOnce(busy)) {
			if (++idleChecks >= 2)
				return B_OK;
		} else
			idleChecks = 0;
		if (system_time() >= deadline)
			break;
		snooze(kIdlePollInterval);
	}
	ADD_FAILURE() << "TestDriver: the application did not become idle "
		"within " << timeout / 1000 << " ms (" << busy << " was still "
		"busy); is a looper locked by the test, or in an endless loop?";
	return B_TIMED_OUT;
}


status_t
TestDriver::WaitFor(std::function<bool()> condition, const char* what,
	bigtime_t timeout)
{
	bigtime_t deadline = system_time() + timeout;
	for (;;) {
		if (condition())
			return B_OK;
		if (system_time() >= deadline)
			break;
		snooze(kIdlePollInterval);
	}
	ADD_FAILURE() << "TestDriver: gave up waiting for " << what << " after "
		<< timeout / 1000 << " ms";
	return B_TIMED_OUT;
}


// #pragma mark - Finding


BWindow*
TestDriver::FindWindow(const char* title)
{
	if (title == NULL)
		return NULL;
	for (const BPrivate::window_entry& entry : BPrivate::window_list()) {
		bool matches = false;
		with_lock(entry.looper, [&] {
			matches = strcmp(entry.window->Title(), title) == 0;
		});
		if (matches)
			return entry.window;
	}
	return NULL;
}


BWindow*
TestDriver::WaitForWindow(const char* title, bigtime_t timeout)
{
	BWindow* window = NULL;
	std::string what = std::string("a window titled \"")
		+ (title != NULL ? title : "") + "\"";
	WaitFor([&] {
		window = FindWindow(title);
		return window != NULL;
	}, what.c_str(), timeout);
	return window;
}


int32
TestDriver::CountWindows()
{
	return (int32)BPrivate::window_list().size();
}


BView*
TestDriver::FindView(BWindow* window, const char* name)
{
	return _FindView(window, [name](BView* view) {
		return name != NULL && view->Name() != NULL
			&& strcmp(view->Name(), name) == 0;
	});
}


BView*
TestDriver::_FindView(BWindow* window, std::function<bool(BView*)> matches)
{
	BView* found = NULL;
	std::function<void(BView*)> search = [&](BView* parent) {
		for (int32 i = 0; found == NULL && i < parent->CountChildren(); i++) {
			BView* child = parent->ChildAt(i);
			if (matches(child))
				found = child;
			else
				search(child);
		}
	};
	with_lock(window, [&] {
		search(BWindow::Private(window).TopView());
	});
	return found;
}


status_t
TestDriver::_IdleServerID(BWindow* window, int32& _id)
{
	status_t status = WaitForIdle();
	if (status != B_OK)
		return status;
	_id = _ServerID(window);
	return _id != 0 ? B_OK : B_BAD_VALUE;
}


int32
TestDriver::_ServerID(BWindow* window)
{
	int32 id = 0;
	// A window waiting for a synchronous alert keeps its lock all along;
	// it cannot go away meanwhile, and its id never changes.
	LooperCore* core = window != NULL
		? BPrivate::TokenSpace::Default().AcquireCore(window) : NULL;
	if (core != NULL) {
		if (is_held_by_alert(core))
			id = BWindow::Private(window).ServerID();
		core->ReleaseReference();
		if (id != 0)
			return id;
	}
	with_lock(window, [&] { id = BWindow::Private(window).ServerID(); });
	return id;
}


// #pragma mark - Output


std::vector<std::string>
TestDriver::OutputLines()
{
	fflush(stdout);
	return fOutput->Lines();
}


bool
TestDriver::WaitForOutput(const char* text, bigtime_t timeout)
{
	return fOutput->WaitForLine(text, timeout);
}


// #pragma mark - The screen


status_t
TestDriver::SaveScreenshot(BWindow* window, const char* path)
{
	if (path == NULL)
		return B_BAD_VALUE;
	int32 id;
	status_t status = _IdleServerID(window, id);
	if (status != B_OK)
		return status;

	return DisplayServer::Default().Call(BPrivate::WritePNGRequest(id, path));
}


BWindow*
TestDriver::ServedWindow(BWindow* dialog)
{
	ScreenWindowInfo info;
	if (_WindowInfo(dialog, info) != B_OK || info.servedWindow == 0)
		return NULL;
	for (const BPrivate::window_entry& entry : BPrivate::window_list()) {
		if (_ServerID(entry.window) == info.servedWindow)
			return entry.window;
	}
	return NULL;
}


std::string
TestDriver::ScreenTitle(BWindow* window)
{
	ScreenWindowInfo info;
	if (_WindowInfo(window, info) != B_OK)
		return "";
	return info.title;
}


BWindow*
TestDriver::ActiveWindow()
{
	if (WaitForIdle() != B_OK)
		return NULL;
	for (const BPrivate::window_entry& entry : BPrivate::window_list()) {
		ScreenWindowInfo info;
		if (_WindowInfo(entry.window, info) == B_OK && info.active)
			return entry.window;
	}
	return NULL;
}


status_t
TestDriver::_WindowInfo(BWindow* window, ScreenWindowInfo& _info)
{
	int32 id;
	status_t status = _IdleServerID(window, id);
	if (status != B_OK)
		return status;
	return DisplayServer::Default().Call(BPrivate::GetWindowInfoRequest(id),
		_info);
}


status_t
TestDriver::GetPixel(BWindow* window, BPoint where, rgb_color* _color)
{
	if (_color == NULL)
		return B_BAD_VALUE;
	int32 id;
	status_t status = _IdleServerID(window, id);
	if (status != B_OK)
		return status;
	return _ReadPixel(id, where, *_color);
}


status_t
TestDriver::GetPixels(BWindow* window, BRect area,
	std::vector<rgb_color>* _pixels)
{
	if (_pixels == NULL || !area.IsValid())
		return B_BAD_VALUE;
	int32 id;
	status_t status = _IdleServerID(window, id);
	if (status != B_OK)
		return status;

	_pixels->clear();
	for (float y = area.top; y <= area.bottom; y++) {
		for (float x = area.left; x <= area.right; x++) {
			rgb_color color;
			status = _ReadPixel(id, BPoint(x, y), color);
			if (status != B_OK)
				return status;
			_pixels->push_back(color);
		}
	}
	return B_OK;
}


status_t
TestDriver::_ReadPixel(int32 serverID, BPoint where, rgb_color& _color)
{
	uint32 pixel = 0;
	status_t status = DisplayServer::Default().Call(
		BPrivate::ReadPixelRequest(serverID, where), pixel);
	if (status != B_OK)
		return status;

	// The image holds premultiplied alpha.
	uint8 alpha = pixel >> 24;
	auto component = [alpha](uint32 value) -> uint8 {
		if (alpha == 0)
			return 0;
		return (uint8)((value * 255 + alpha / 2) / alpha);
	};
	_color.red = component((pixel >> 16) & 0xff);
	_color.green = component((pixel >> 8) & 0xff);
	_color.blue = component(pixel & 0xff);
	_color.alpha = alpha;
	return B_OK;
}
