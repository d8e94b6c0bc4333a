/*
 * DisplayServer: the screen's input method. What it composes reaches the
 * window as the platform's input method messages (see Input.h); what it
 * types ends the composition as confirmed text. The window says where
 * its text input goes, for the candidate window, and when it ended a
 * composition itself.
 */
#include "DisplayServer.h"

#include "Backend.h"
#include "UTF8Decoding.h"

#include <AppDefs.h>
#include <Input.h>
#include <InterfaceDefs.h>
#include <Message.h>

#include <algorithm>

namespace BPrivate {


void
DisplayServer::_Handle(int32 id, Window& window,
	const InputMethodComposeEvent& event)
{
	if (event.text.empty()) {
		if (fComposingWindow == id)
			_EndComposition();
		return;
	}
	if (fComposingWindow != id) {
		// The input method went on in another window: the composition
		// there is over.
		_EndComposition();
		fComposingWindow = id;
		_PostInputMethod(window, B_INPUT_METHOD_STARTED);
	}

	int32 length = (int32)event.text.size();
	int32 selectionStart = std::clamp(event.selectionStart, (int32)0, length);
	int32 selectionEnd = std::clamp(event.selectionEnd, selectionStart,
		length);
	BMessage message(B_INPUT_METHOD_EVENT);
	message.AddInt64("when", system_time());
	message.AddInt32("be:opcode", B_INPUT_METHOD_CHANGED);
	message.AddString("be:string", event.text.c_str());
	message.AddInt32("be:selection", selectionStart);
	message.AddInt32("be:selection", selectionEnd);
	if (event.clauses.empty()) {
		message.AddInt32("be:clause_start", 0);
		message.AddInt32("be:clause_end", length);
	}
	for (const std::pair<int32, int32>& clause : event.clauses) {
		int32 start = std::clamp(clause.first, (int32)0, length);
		message.AddInt32("be:clause_start", start);
		message.AddInt32("be:clause_end",
			std::clamp(clause.second, start, length));
	}
	message.AddBool("be:confirmed", false);
	window.target.SendMessage(&message);
	// The candidate window follows the text.
	_PostInputMethod(window, B_INPUT_METHOD_LOCATION_REQUEST);
}


void
DisplayServer::_Handle(int32 id, Window& window,
	const InputMethodCommitEvent& event)
{
	if (event.text.empty())
		return;
	if (fComposingWindow == id) {
		BMessage message(B_INPUT_METHOD_EVENT);
		message.AddInt64("when", system_time());
		message.AddInt32("be:opcode", B_INPUT_METHOD_CHANGED);
		message.AddString("be:string", event.text.c_str());
		message.AddInt32("be:selection", (int32)event.text.size());
		message.AddInt32("be:selection", (int32)event.text.size());
		message.AddInt32("be:clause_start", 0);
		message.AddInt32("be:clause_end", (int32)event.text.size());
		message.AddBool("be:confirmed", true);
		window.target.SendMessage(&message);
		_EndComposition();
		return;
	}

	// Text typed without a composition shown (the window ended it
	// meanwhile, or the method types straight away) is typed as keys,
	// one character each, never taken for shortcuts.
	const char* next = event.text.data();
	int32 left = (int32)event.text.size();
	while (left > 0) {
		uint32 codePoint;
		int32 length = DecodeUTF8(next, left, codePoint);
		KeyEvent key(std::string(next, length), 0, 0,
			codePoint < 0x80 ? (int32)codePoint : 0, 0);
		_PostKey(window, B_KEY_DOWN, key);
		next += length;
		left -= length;
	}
}


void
DisplayServer::_PostInputMethod(Window& window, int32 opcode)
{
	BMessage message(B_INPUT_METHOD_EVENT);
	message.AddInt64("when", system_time());
	message.AddInt32("be:opcode", opcode);
	window.target.SendMessage(&message);
}


void
DisplayServer::_EndComposition()
{
	int32 composing = fComposingWindow;
	fComposingWindow = 0;
	if (Window* window = _FindWindow(composing))
		_PostInputMethod(*window, B_INPUT_METHOD_STOPPED);
}


// #pragma mark - Requests


status_t
DisplayServer::_Handle(const SetTextInputRectRequest& request)
{
	Window* window = _FindWindow(request.window);
	if (window == NULL || !request.rect.IsValid())
		return B_BAD_VALUE;
	window->textInputRect = request.rect;
	fBackend->SetTextInputRect(request.window, request.rect);
	return B_OK;
}


status_t
DisplayServer::_Handle(const StopInputMethodRequest& request)
{
	Window* window = _FindWindow(request.window);
	if (window == NULL)
		return B_BAD_VALUE;
	window->compositionsStopped++;
	if (fComposingWindow == request.window)
		fComposingWindow = 0;
	fBackend->StopComposition(request.window);
	return B_OK;
}


status_t
DisplayServer::_Handle(const GetTextInputRequest& request,
	GetTextInputRequest::Reply& reply)
{
	Window* window = _FindWindow(request.window);
	if (window == NULL)
		return B_BAD_VALUE;
	reply.rect = window->textInputRect;
	reply.stopped = window->compositionsStopped;
	return B_OK;
}


}	// namespace BPrivate
