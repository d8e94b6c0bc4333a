/*
 * DisplayServer: the request queue and the server's loop. Events are
 * turned into messages in DisplayServerEvents.cpp.
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

#include <algorithm>
#include <math.h>
#include <vector>
#include <mutex>
#include <pthread.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

namespace BPrivate {

namespace {

// How long the loop sleeps when nothing happens; a wake ends it early.
const bigtime_t kIdleWait = 1000000;
// How long the exit waits for each window that is still open.
const bigtime_t kExitLockTimeout = 1000000;

DisplayServer* sServer = NULL;
std::once_flag sServerOnce;


// be_clipboard's way to the screen's clipboard, and the "primary"
// clipboard's to its primary selection.
status_t
set_clipboard_text(system_selection which, const std::string& text)
{
	ServerRequest request;
	request.code = kRequestSetClipboard;
	request.primary = which == kPrimarySelection;
	request.text = text;
	sServer->Post(std::move(request));
	return B_OK;
}


status_t
get_clipboard_text(system_selection which, std::string& _text)
{
	ServerRequest request;
	request.code = kRequestGetClipboard;
	request.primary = which == kPrimarySelection;
	ServerReply reply;
	status_t status = sServer->Call(std::move(request), reply);
	if (status == B_OK)
		_text = reply.text;
	return status;
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
	fActiveWindow(0),
	fLastActiveWindow(0),
	fPointerWindow(0),
	fSwallowUpWindow(0),
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
	// A forked child has no server thread to stop.
	if (sServer == NULL || sServer->fProcess != getpid())
		return;
	// Deleting the application ends its windows; a program that exits
	// without doing so still must not leave them drawing while the
	// process goes. A window that stays locked elsewhere is left alone
	// rather than waited for.
	for (const window_entry& entry : window_list()) {
		if (entry.looper->LockWithTimeout(kExitLockTimeout) == B_OK)
			entry.looper->Quit();
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
		fBackend->Wake();
	}
	if (fThread.joinable() && fThread.get_id() != std::this_thread::get_id())
		fThread.join();
}


int32
DisplayServer::NewWindowID()
{
	return fNextWindowID.fetch_add(1);
}


void
DisplayServer::Post(ServerRequest&& request)
{
	std::unique_lock<std::mutex> lock(fLock);
	if (fStopped) {
		lock.unlock();
		_Answer(request, B_ERROR);
		return;
	}
	fRequests.push_back(std::move(request));
	// Under the lock, so that the backend is never woken once it is gone.
	fBackend->Wake();
}


status_t
DisplayServer::Call(ServerRequest&& request, ServerReply& _reply)
{
	std::shared_ptr<ServerReply> reply = std::make_shared<ServerReply>();
	request.reply = reply;
	Post(std::move(request));

	std::unique_lock<std::mutex> lock(reply->lock);
	reply->condition.wait(lock, [&reply] { return reply->done; });
	_reply.status = reply->status;
	_reply.text = reply->text;
	_reply.pixel = reply->pixel;
	_reply.frame = reply->frame;
	_reply.parent = reply->parent;
	_reply.active = reply->active;
	_reply.done = true;
	return reply->status;
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


// #pragma mark - The loop


void
DisplayServer::_Run()
{
	status_t status = fBackend->Open();
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
	std::deque<ServerRequest> left;
	{
		std::lock_guard<std::mutex> guard(fLock);
		left.swap(fRequests);
		fStopped = true;
		fBusy = false;
	}
	for (ServerRequest& request : left)
		_Answer(request, B_ERROR);
	// The windows and the screen go with the backend, on this thread.
	delete fBackend;
	fBackend = NULL;
}


void
DisplayServer::_Loop()
{
	for (;;) {
		std::deque<ServerRequest> requests;
		{
			std::lock_guard<std::mutex> guard(fLock);
			if (fStopping)
				return;
			requests.swap(fRequests);
			fBusy = true;
		}
		for (ServerRequest& request : requests)
			_HandleRequest(request);

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
DisplayServer::_HandleRequest(ServerRequest& request)
{
	auto found = fWindows.find(request.window);
	Window* window = found != fWindows.end() ? &found->second : NULL;

	switch (request.code) {
		case kRequestCreateWindow:
			_CreateWindow(request);
			break;
		case kRequestDestroyWindow:
		{
			if (window == NULL)
				break;
			bool wasActive = fActiveWindow == request.window;
			if (wasActive)
				fActiveWindow = 0;
			if (fLastActiveWindow == request.window)
				fLastActiveWindow = 0;
			if (fPointerWindow == request.window)
				fPointerWindow = 0;
			_ForgetModal(request.window);
			_MenuWindowShown(request.window, false);
			fBackend->DestroyWindow(request.window);
			Window gone = std::move(*window);
			fWindows.erase(found);
			if (gone.visible)
				_ReturnFocus(gone, wasActive);
			break;
		}
		case kRequestShowWindow:
			if (window == NULL || window->visible)
				break;
			window->visible = true;
			_MenuWindowShown(request.window, true);
			_ServedWindowFor(request.window, *window);
			fBackend->ShowWindow(request.window);
			_ShowAll(request.window, *window);
			_NoteModal(request.window, *window);
			break;
		case kRequestHideWindow:
			if (window == NULL || !window->visible)
				break;
			window->visible = false;
			_ForgetModal(request.window);
			_MenuWindowShown(request.window, false);
			fBackend->HideWindow(request.window);
		{
			bool wasActive = fActiveWindow == request.window;
			if (wasActive)
				_SetActive(request.window, false);
			_ReturnFocus(*window, wasActive);
			break;
		}
		case kRequestMoveWindow:
			if (window == NULL)
				break;
			window->frame.OffsetTo(request.frame.LeftTop());
			fBackend->MoveWindow(request.window, request.frame.LeftTop());
			break;
		case kRequestResizeWindow:
			if (window == NULL)
				break;
			_ResizeCopy(*window, request.frame.Width(),
				request.frame.Height());
			fBackend->ResizeWindow(request.window, request.frame.Width(),
				request.frame.Height());
			break;
		case kRequestSetTitle:
			if (window == NULL)
				break;
			window->title = request.title;
			fBackend->SetTitle(request.window, request.title.c_str());
			break;
		case kRequestSetFlags:
			if (window == NULL)
				break;
			window->flags = request.flags;
			window->feel = request.feel;
			fBackend->SetFlags(request.window, request.look, request.feel,
				request.flags);
			_FeelChanged(request.window, *window);
			break;
		case kRequestPresent:
			if (window != NULL)
				_Present(request);
			break;
		case kRequestActivateWindow:
		{
			// Menu windows never take the keyboard from their owner.
			if (window == NULL || window->feel == kMenuWindowFeel
				|| (!window->visible && request.active)) {
				break;
			}
			// A window behind a modal one cannot come forward.
			int32 modal = request.active ? _BlockingModal(request.window) : 0;
			_SetActive(modal != 0 ? modal : request.window, request.active);
			break;
		}
		case kRequestSetCursor:
			fBackend->SetCursor((cursor_kind)request.cursor);
			break;
		case kRequestSetClipboard:
			if (request.primary)
				fBackend->SetPrimaryText(request.text);
			else
				fBackend->SetClipboardText(request.text);
			break;
		case kRequestGetClipboard:
		{
			std::string text;
			status_t status = request.primary
				? fBackend->GetPrimaryText(text)
				: fBackend->GetClipboardText(text);
			if (request.reply != NULL)
				request.reply->text = text;
			_Answer(request, status);
			return;
		}
		case kRequestBeep:
			fBackend->Beep();
			break;
		case kRequestInjectEvent:
			_Answer(request, fBackend->InjectEvent(request.event));
			return;
		case kRequestWritePNG:
			_Answer(request, fBackend->WritePNG(request.window,
				request.text.c_str()));
			return;
		case kRequestSync:
			_Answer(request, B_OK);
			return;
		case kRequestGetScreenFrame:
			if (request.reply != NULL)
				request.reply->frame = fBackend->ScreenFrame();
			_Answer(request, B_OK);
			return;
		case kRequestSetServedWindow:
			if (window == NULL)
				break;
			window->dialog = true;
			window->namedParent = request.parent != request.window
				? request.parent : 0;
			break;
		case kRequestSetSubset:
			if (window != NULL)
				_SetSubset(*window, request.parent, request.active);
			break;
		case kRequestGetWindowInfo:
			if (request.reply != NULL && window != NULL) {
				request.reply->parent = window->servedWindow;
				request.reply->text = window->title;
				request.reply->active = fActiveWindow == request.window;
			}
			_Answer(request, window != NULL ? B_OK : B_BAD_VALUE);
			return;
		case kRequestReadPixel:
		{
			uint32 pixel = 0;
			status_t status = fBackend->ReadPixel(request.window,
				request.frame.LeftTop(), pixel);
			if (request.reply != NULL)
				request.reply->pixel = pixel;
			_Answer(request, status);
			return;
		}
	}
	// Only the requests that name a window can fail here.
	bool needsWindow = request.code != kRequestCreateWindow
		&& request.code != kRequestSetCursor
		&& request.code != kRequestSetClipboard
		&& request.code != kRequestBeep;
	_Answer(request, window != NULL || !needsWindow ? B_OK : B_BAD_VALUE);
}


void
DisplayServer::_Answer(ServerRequest& request, status_t status)
{
	if (request.reply == NULL)
		return;
	std::lock_guard<std::mutex> guard(request.reply->lock);
	request.reply->status = status;
	request.reply->done = true;
	request.reply->condition.notify_all();
}


void
DisplayServer::_CreateWindow(ServerRequest& request)
{
	if (fWindows.count(request.window) != 0)
		return;
	status_t status = fBackend->CreateWindow(request.window, request.frame,
		request.look, request.feel, request.flags, request.title.c_str());
	if (status != B_OK) {
		fprintf(stderr, "display server: window \"%s\" could not be "
			"created\n", request.title.c_str());
		return;
	}
	Window& window = fWindows[request.window];
	window.target = request.target;
	window.title = request.title;
	window.frame = request.frame;
	window.flags = request.flags;
	window.feel = request.feel;
	_ResizeCopy(window, request.frame.Width(), request.frame.Height());
}


void
DisplayServer::_ResizeCopy(Window& window, float width, float height)
{
	window.frame.right = window.frame.left + width;
	window.frame.bottom = window.frame.top + height;

	// As the backend clamps its images: 1 to 32767 pixels a side.
	int32 newWidth = width >= 0 ? (int32)std::min(width + 1, 32767.0f) : 1;
	int32 newHeight = height >= 0
		? (int32)std::min(height + 1, 32767.0f) : 1;
	std::vector<uint32> pixels((size_t)newWidth * newHeight, 0xffd8d8d8);
	int32 keepWidth = std::min(newWidth, window.width);
	for (int32 y = 0; y < std::min(newHeight, window.height); y++) {
		if (window.pixels.empty())
			break;
		memcpy(&pixels[(size_t)y * newWidth],
			&window.pixels[(size_t)y * window.width], keepWidth * 4);
	}
	window.pixels.swap(pixels);
	window.width = newWidth;
	window.height = newHeight;
}


void
DisplayServer::_Present(ServerRequest& request)
{
	Window& window = fWindows[request.window];
	BRect area = request.frame;
	int32 left = (int32)area.left;
	int32 top = (int32)area.top;
	int32 width = area.IntegerWidth() + 1;
	int32 height = area.IntegerHeight() + 1;
	if (left < 0 || top < 0 || width <= 0 || height <= 0
		|| request.pixels.size() != (size_t)width * height) {
		return;
	}

	// The window drew at its size when it presented; a resize since may
	// have made the copy smaller.
	int32 copyWidth = std::min(width, window.width - left);
	for (int32 y = 0; y < height && top + y < window.height; y++) {
		if (copyWidth <= 0)
			break;
		memcpy(&window.pixels[(size_t)(top + y) * window.width + left],
			&request.pixels[(size_t)y * width], copyWidth * 4);
	}
	fBackend->PutPixels(request.window, (const uint8*)window.pixels.data(),
		window.width * 4, window.width, window.height, area);
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
