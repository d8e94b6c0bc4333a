/*
 * DisplayServer: the request queue and the server's loop. Each request
 * has its handler in DisplayServerRequests.cpp; events are turned into
 * messages in DisplayServerEvents.cpp.
 *
 * The loop handles every queued request, then every event the backend
 * has ready, and only then marks itself idle and sleeps in the backend
 * until an event comes or a new request wakes it. An injected event is
 * queued in the backend while a request is handled, so it is posted to
 * its window before the server looks idle again.
 */
#include "DisplayServer.h"

#include "ApplicationPrivate.h"
#include "Backend.h"
#include "ClipboardPrivate.h"

#include <AppDefs.h>
#include <Looper.h>
#include <Message.h>

#include <vector>
#include <mutex>
#include <pthread.h>
#include <stdio.h>
#include <unistd.h>

namespace BPrivate {

namespace {

// How long the loop sleeps when nothing happens; a wake ends it early.
const bigtime_t kIdleWait = 1000000;
// How long the exit waits for each window that is still open.
const bigtime_t kExitLockTimeout = 1000000;

DisplayServer* sServer = NULL;
std::once_flag sServerOnce;
// Set while this thread wakes the backend, holding the server's lock. A
// display gone under the wake may end the process from inside it.
thread_local bool tWaking = false;


// be_clipboard's way to the screen's clipboard, and the "primary"
// clipboard's to its primary selection.
status_t
set_clipboard_text(system_selection which, const std::string& text)
{
	sServer->Post(SetClipboardRequest(which == kPrimarySelection, text));
	return B_OK;
}


status_t
get_clipboard_text(system_selection which, std::string& _text)
{
	return sServer->Call(GetClipboardRequest(which == kPrimarySelection),
		_text);
}

}	// namespace


#if defined(__SANITIZE_THREAD__)
// cairo and pixman are not built for ThreadSanitizer: the lock-free pools
// in which cairo recycles its objects between threads look like races to
// it. Each window draws only into its own image, so what is left to check
// is our own code; the memory calls those libraries make are not
// watched.
extern "C" const char*
__tsan_default_suppressions()
{
	return "called_from_lib:libcairo.so.2\n"
		"called_from_lib:libpixman-1.so.0\n";
}
#endif


DisplayServer&
DisplayServer::Default()
{
	std::call_once(sServerOnce, [] {
		Backend* backend = Backend::Create();
		DisplayServer* server = backend != NULL
			? new DisplayServer(backend) : NULL;
		if (server == NULL || server->_WaitUntilOpen() != B_OK) {
			// The backend said why. The program cannot show a window, and
			// static destructors must not run under threads that still
			// use the kits, so leave at once, the server's thread (which
			// has given up) joined first.
			if (server != NULL)
				server->fThread.join();
			fflush(stdout);
			fflush(stderr);
			_exit(1);
		}
		sServer = server;
		set_system_clipboard(kClipboardSelection, &set_clipboard_text,
			&get_clipboard_text);
		set_system_clipboard(kPrimarySelection, &set_clipboard_text,
			&get_clipboard_text);
		atexit(&DisplayServer::_StopAtExit);
	});
	return *sServer;
}


DisplayServer::DisplayServer(Backend* backend)
	:
	fBackend(backend),
	fBusy(false),
	fOpened(false),
	fOpenStatus(B_OK),
	fStopping(false),
	fStopped(false),
	fProcess(getpid()),
	fNextWindowID(1),
	fScale(1),
	fActiveWindow(0),
	fLastActiveWindow(0),
	fPointerWindow(0),
	fSwallowUpWindow(0),
	fComposingWindow(0),
	fButtons(0),
	fModifiers(0)
{
	fThread = std::thread(&DisplayServer::_Run, this);
	pthread_setname_np(fThread.native_handle(), "display server");
}


status_t
DisplayServer::_WaitUntilOpen()
{
	std::unique_lock<std::mutex> lock(fLock);
	fOpenCondition.wait(lock, [this] { return fOpened; });
	return fOpenStatus;
}


void
DisplayServer::_StopAtExit()
{
	// A forked child has no server thread to stop; a thread that holds
	// the server's lock can neither post nor stop.
	if (sServer == NULL || sServer->fProcess != getpid() || tWaking)
		return;
	// Deleting the application ends its windows; a program that exits
	// without doing so still must not leave them drawing while the
	// process goes. A window that stays locked elsewhere is left alone
	// rather than waited for. An exit on the server's thread (its display
	// lost) leaves the windows be: ending the last of them would end the
	// application's Run() and have main() exit alongside this exit.
	if (!sServer->_OnServerThread()) {
		for (const window_entry& entry : window_list()) {
			if (entry.looper->LockWithTimeout(kExitLockTimeout) == B_OK)
				entry.looper->Quit();
		}
	}
	sServer->_Stop();
}


void
DisplayServer::_Stop()
{
	{
		std::lock_guard<std::mutex> guard(fLock);
		if (fStopping)
			return;
		fStopping = true;
		// On its own thread (an exit there as the display went) the
		// server waits for nothing, and its display may be gone.
		if (!_OnServerThread())
			fBackend->Wake();
	}
	if (fThread.joinable() && !_OnServerThread())
		fThread.join();
}


bool
DisplayServer::_OnServerThread() const
{
	return fThread.get_id() == std::this_thread::get_id();
}


int32
DisplayServer::NewWindowID()
{
	return fNextWindowID.fetch_add(1);
}


void
DisplayServer::Post(ServerRequest&& request)
{
	_Queue(QueuedRequest{ std::move(request), NULL });
}


status_t
DisplayServer::_Call(ServerRequest&& request, void* reply)
{
	std::shared_ptr<PendingAnswer> answer = std::make_shared<PendingAnswer>();
	answer->reply = reply;
	_Queue(QueuedRequest{ std::move(request), answer });

	std::unique_lock<std::mutex> lock(answer->lock);
	answer->condition.wait(lock, [&answer] { return answer->done; });
	return answer->status;
}


void
DisplayServer::_Queue(QueuedRequest&& queued)
{
	std::unique_lock<std::mutex> lock(fLock);
	if (fStopped) {
		lock.unlock();
		_Answer(queued, B_ERROR);
		return;
	}
	fRequests.push_back(std::move(queued));
	// Under the lock, so that the backend is never woken once it is gone.
	tWaking = true;
	fBackend->Wake();
	tWaking = false;
}


bool
DisplayServer::IsIdle()
{
	std::lock_guard<std::mutex> guard(fLock);
	return fRequests.empty() && !fBusy;
}


void
DisplayServer::GetPointer(BPoint& _where, uint32& _buttons)
{
	std::lock_guard<std::mutex> guard(fPointerLock);
	_where = fPointer;
	_buttons = fButtons;
}


uint32
DisplayServer::Modifiers()
{
	return fModifiers.load();
}


DisplayScale
DisplayServer::Scale() const
{
	return DisplayScale(fScale.load());
}


// #pragma mark - The loop


void
DisplayServer::_Run()
{
	status_t status = fBackend->Open();
	if (status == B_OK)
		fScale.store(fBackend->Scale().Factor());
	{
		std::lock_guard<std::mutex> guard(fLock);
		fOpened = true;
		fOpenStatus = status;
		fOpenCondition.notify_all();
	}
	if (status != B_OK)
		return;

	_Loop();

	// What was asked after the stop fails; from now on nothing is queued.
	std::deque<QueuedRequest> left;
	{
		std::lock_guard<std::mutex> guard(fLock);
		left.swap(fRequests);
		fStopped = true;
		fBusy = false;
	}
	for (QueuedRequest& queued : left)
		_Answer(queued, B_ERROR);
	// The windows and the screen go with the backend, on this thread.
	delete fBackend;
	fBackend = NULL;
}


void
DisplayServer::_Loop()
{
	for (;;) {
		std::deque<QueuedRequest> requests;
		{
			std::lock_guard<std::mutex> guard(fLock);
			if (fStopping)
				return;
			requests.swap(fRequests);
			fBusy = true;
		}
		for (QueuedRequest& queued : requests)
			_HandleRequest(queued);

		ServerEvent event;
		while (fBackend->WaitForEvent(0, event))
			_HandleEvent(event);

		{
			std::lock_guard<std::mutex> guard(fLock);
			if (!fRequests.empty() || fStopping)
				continue;
			fBusy = false;
		}
		// A request posted from here on wakes the wait.
		if (fBackend->WaitForEvent(kIdleWait, event)) {
			{
				std::lock_guard<std::mutex> guard(fLock);
				fBusy = true;
			}
			_HandleEvent(event);
		}
	}
}


void
DisplayServer::_ShowAll(int32 id, Window& window)
{
	fBackend->PutPixels(id, (const uint8*)window.pixels.data(),
		window.width * 4, window.width, window.height,
		BRect(0, 0, window.width - 1, window.height - 1));
}


void
DisplayServer::_SetActive(int32 id, bool active, bool tellScreen)
{
	// A menu window never takes the keyboard from the window that
	// opened it.
	auto menu = fWindows.find(id);
	if (active && menu != fWindows.end()
		&& menu->second.feel == kMenuWindowFeel) {
		return;
	}
	if (active) {
		if (fActiveWindow == id) {
			// Already ours; the screen may still show another in front.
			if (tellScreen)
				fBackend->ActivateWindow(id);
			return;
		}
		if (fActiveWindow != 0)
			_SetActive(fActiveWindow, false);
		fActiveWindow = id;
		if (menu != fWindows.end() && !_IsDialog(menu->second))
			fLastActiveWindow = id;
		if (tellScreen)
			fBackend->ActivateWindow(id);
	} else {
		if (fActiveWindow != id)
			return;
		fActiveWindow = 0;
	}

	auto found = fWindows.find(id);
	if (found == fWindows.end())
		return;
	BMessage message(B_WINDOW_ACTIVATED);
	message.AddInt64("when", system_time());
	message.AddBool("active", active);
	found->second.target.SendMessage(&message);
}


}	// namespace BPrivate
