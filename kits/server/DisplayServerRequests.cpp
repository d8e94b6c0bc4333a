/*
 * DisplayServer: the requests, each handled by a function of its own on
 * the server's thread. A request that names a window the server does not
 * know does nothing and answers B_BAD_VALUE.
 */
#include "DisplayServer.h"

#include "Backend.h"

#include <algorithm>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace BPrivate {


void
DisplayServer::_HandleRequest(QueuedRequest& queued)
{
	PendingAnswer* answer = queued.answer.get();
	status_t status = std::visit(
		[this, answer](const auto& request) {
			return _Dispatch(request, answer);
		},
		queued.request);
	_Answer(queued, status);
}


template<typename Request>
status_t
DisplayServer::_Dispatch(const Request& request, PendingAnswer* answer)
{
	if constexpr (AnswersWithReply<Request>::value) {
		typename Request::Reply reply{};
		status_t status = _Handle(request, reply);
		// The caller reads it once _Answer() has said it is done.
		if (status == B_OK && answer != NULL && answer->reply != NULL) {
			*static_cast<typename Request::Reply*>(answer->reply)
				= std::move(reply);
		}
		return status;
	} else
		return _Handle(request);
}


void
DisplayServer::_Answer(QueuedRequest& queued, status_t status)
{
	if (queued.answer == NULL)
		return;
	std::lock_guard<std::mutex> guard(queued.answer->lock);
	queued.answer->status = status;
	queued.answer->done = true;
	queued.answer->condition.notify_all();
}


DisplayServer::Window*
DisplayServer::_FindWindow(int32 id)
{
	auto found = fWindows.find(id);
	return found != fWindows.end() ? &found->second : NULL;
}


// #pragma mark - Windows


status_t
DisplayServer::_Handle(const CreateWindowRequest& request)
{
	if (fWindows.count(request.window) != 0)
		return B_OK;
	status_t status = fBackend->CreateWindow(request.window, request.frame,
		request.look, request.feel, request.flags, request.title.c_str());
	if (status != B_OK) {
		fprintf(stderr, "display server: window \"%s\" could not be "
			"created\n", request.title.c_str());
		return B_OK;
	}
	Window& window = fWindows[request.window];
	window.target = request.target;
	window.title = request.title;
	window.frame = request.frame;
	window.flags = request.flags;
	window.feel = request.feel;
	window.scale = Scale();
	_ResizeCopy(window, request.frame.Width(), request.frame.Height());
	return B_OK;
}


status_t
DisplayServer::_Handle(const DestroyWindowRequest& request)
{
	auto found = fWindows.find(request.window);
	if (found == fWindows.end())
		return B_BAD_VALUE;
	bool wasActive = fActiveWindow == request.window;
	if (wasActive)
		fActiveWindow = 0;
	if (fLastActiveWindow == request.window)
		fLastActiveWindow = 0;
	if (fPointerWindow == request.window)
		fPointerWindow = 0;
	if (fComposingWindow == request.window)
		fComposingWindow = 0;
	_ForgetModal(request.window);
	_MenuWindowShown(request.window, false);
	fBackend->DestroyWindow(request.window);
	Window gone = std::move(found->second);
	fWindows.erase(found);
	if (gone.visible)
		_ReturnFocus(gone, wasActive);
	return B_OK;
}


status_t
DisplayServer::_Handle(const ShowWindowRequest& request)
{
	Window* window = _FindWindow(request.window);
	if (window == NULL)
		return B_BAD_VALUE;
	if (window->visible)
		return B_OK;
	window->visible = true;
	_MenuWindowShown(request.window, true);
	_ServedWindowFor(request.window, *window);
	fBackend->ShowWindow(request.window);
	_ShowAll(request.window, *window);
	_NoteModal(request.window, *window);
	return B_OK;
}


status_t
DisplayServer::_Handle(const HideWindowRequest& request)
{
	Window* window = _FindWindow(request.window);
	if (window == NULL)
		return B_BAD_VALUE;
	if (!window->visible)
		return B_OK;
	window->visible = false;
	_ForgetModal(request.window);
	_MenuWindowShown(request.window, false);
	fBackend->HideWindow(request.window);
	bool wasActive = fActiveWindow == request.window;
	if (wasActive)
		_SetActive(request.window, false);
	_ReturnFocus(*window, wasActive);
	return B_OK;
}


status_t
DisplayServer::_Handle(const MoveWindowRequest& request)
{
	Window* window = _FindWindow(request.window);
	if (window == NULL)
		return B_BAD_VALUE;
	window->frame.OffsetTo(request.where);
	fBackend->MoveWindow(request.window, request.where);
	return B_OK;
}


status_t
DisplayServer::_Handle(const ResizeWindowRequest& request)
{
	Window* window = _FindWindow(request.window);
	if (window == NULL)
		return B_BAD_VALUE;
	_ResizeCopy(*window, request.width, request.height);
	fBackend->ResizeWindow(request.window, request.width, request.height);
	return B_OK;
}


status_t
DisplayServer::_Handle(const SetTitleRequest& request)
{
	Window* window = _FindWindow(request.window);
	if (window == NULL)
		return B_BAD_VALUE;
	window->title = request.title;
	fBackend->SetTitle(request.window, request.title.c_str());
	return B_OK;
}


status_t
DisplayServer::_Handle(const SetFlagsRequest& request)
{
	Window* window = _FindWindow(request.window);
	if (window == NULL)
		return B_BAD_VALUE;
	window->flags = request.flags;
	window->feel = request.feel;
	fBackend->SetFlags(request.window, request.look, request.feel,
		request.flags);
	_FeelChanged(request.window, *window);
	return B_OK;
}


status_t
DisplayServer::_Handle(const PresentRequest& request)
{
	Window* window = _FindWindow(request.window);
	if (window == NULL)
		return B_BAD_VALUE;
	// Drawn before the window learnt of its new scale; it draws again.
	if (DisplayScale(request.scale) != window->scale)
		return B_OK;
	BRect area = request.area;
	int32 left = (int32)area.left;
	int32 top = (int32)area.top;
	int32 width = area.IntegerWidth() + 1;
	int32 height = area.IntegerHeight() + 1;
	if (left < 0 || top < 0 || width <= 0 || height <= 0
		|| request.pixels.size() != (size_t)width * height) {
		return B_OK;
	}

	// The window drew at its size when it presented; a resize since may
	// have made the copy smaller.
	int32 copyWidth = std::min(width, window->width - left);
	for (int32 y = 0; y < height && top + y < window->height; y++) {
		if (copyWidth <= 0)
			break;
		memcpy(&window->pixels[(size_t)(top + y) * window->width + left],
			&request.pixels[(size_t)y * width], copyWidth * 4);
	}
	fBackend->PutPixels(request.window, (const uint8*)window->pixels.data(),
		window->width * 4, window->width, window->height, area);

	// The first frame shown may load what draws it (on Wayland a GL
	// driver and its shader compiler, behind SDL's renderer), and such a
	// library registers its teardown with the process's exit as it
	// loads. Exit runs the latest first: the stop is registered again
	// after them, so that this thread has ended before they go.
	if (!fFrameShown) {
		fFrameShown = true;
		atexit(&DisplayServer::_StopAtExit);
	}
	return B_OK;
}


status_t
DisplayServer::_Handle(const ActivateWindowRequest& request)
{
	Window* window = _FindWindow(request.window);
	if (window == NULL)
		return B_BAD_VALUE;
	// Menu windows never take the keyboard from their owner.
	if (window->feel == kMenuWindowFeel
		|| (!window->visible && request.active)) {
		return B_OK;
	}
	// A window behind a modal one cannot come forward.
	int32 modal = request.active ? _BlockingModal(request.window) : 0;
	_SetActive(modal != 0 ? modal : request.window, request.active);
	return B_OK;
}


status_t
DisplayServer::_Handle(const SetServedWindowRequest& request)
{
	Window* window = _FindWindow(request.window);
	if (window == NULL)
		return B_BAD_VALUE;
	window->dialog = true;
	window->namedParent = request.served != request.window
		? request.served : 0;
	return B_OK;
}


status_t
DisplayServer::_Handle(const SetSubsetRequest& request)
{
	Window* window = _FindWindow(request.window);
	if (window == NULL)
		return B_BAD_VALUE;
	_SetSubset(*window, request.member, request.join);
	return B_OK;
}


status_t
DisplayServer::_Handle(const GetWindowInfoRequest& request,
	GetWindowInfoRequest::Reply& reply)
{
	Window* window = _FindWindow(request.window);
	if (window == NULL)
		return B_BAD_VALUE;
	reply.servedWindow = window->servedWindow;
	reply.title = window->title;
	reply.active = fActiveWindow == request.window;
	return B_OK;
}


void
DisplayServer::_ResizeCopy(Window& window, float width, float height)
{
	window.frame.right = window.frame.left + width;
	window.frame.bottom = window.frame.top + height;

	int32 newWidth = window.scale.Pixels(width + 1);
	int32 newHeight = window.scale.Pixels(height + 1);
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


// #pragma mark - The screen


status_t
DisplayServer::_Handle(const SetCursorRequest& request)
{
	fBackend->SetCursor(request.cursor);
	return B_OK;
}


status_t
DisplayServer::_Handle(const SetClipboardRequest& request)
{
	if (request.primary)
		fBackend->SetPrimaryText(request.text);
	else
		fBackend->SetClipboardText(request.text);
	return B_OK;
}


status_t
DisplayServer::_Handle(const GetClipboardRequest& request,
	GetClipboardRequest::Reply& reply)
{
	return request.primary
		? fBackend->GetPrimaryText(reply)
		: fBackend->GetClipboardText(reply);
}


status_t
DisplayServer::_Handle(const BeepRequest&)
{
	fBackend->Beep();
	return B_OK;
}


status_t
DisplayServer::_Handle(const GetScreenFrameRequest&,
	GetScreenFrameRequest::Reply& reply)
{
	reply = fBackend->ScreenFrame();
	return B_OK;
}


// #pragma mark - Tests


status_t
DisplayServer::_Handle(const InjectEventRequest& request)
{
	return fBackend->InjectEvent(request.event);
}


status_t
DisplayServer::_Handle(const WritePNGRequest& request)
{
	return fBackend->WritePNG(request.window, request.path.c_str());
}


status_t
DisplayServer::_Handle(const ReadPixelRequest& request,
	ReadPixelRequest::Reply& reply)
{
	return fBackend->ReadPixel(request.window, request.where, reply);
}


status_t
DisplayServer::_Handle(const SyncRequest&)
{
	return B_OK;
}


}	// namespace BPrivate
