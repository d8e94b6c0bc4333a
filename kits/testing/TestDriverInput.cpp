/*
 * TestDriver: input, injected into the display server as a screen would
 * deliver it, so the application gets exactly the messages a person's
 * keyboard and mouse would give it.
 */
#include <TestDriver.h>

#include "DisplayServer.h"
#include "KeyMap.h"
#include "WindowPrivate.h"

#include <gtest/gtest.h>

#include <ctype.h>
#include <math.h>

using BPrivate::DisplayServer;
using BPrivate::ServerEvent;

namespace {

// The length of the UTF-8 character that starts with the byte; 1 for a
// byte that starts none, so that bad text is typed byte by byte.
int32
utf8_length(uint8 byte)
{
	if (byte >= 0xf0 && byte <= 0xf4)
		return 4;
	if (byte >= 0xe0 && byte <= 0xef)
		return 3;
	if (byte >= 0xc2 && byte <= 0xdf)
		return 2;
	return 1;
}

}	// namespace


status_t
TestDriver::_Inject(ServerEvent& event, BWindow* window)
{
	int32 id = _ServerID(window);
	if (id == 0) {
		ADD_FAILURE() << "TestDriver: the window is gone or stays locked";
		return B_BAD_VALUE;
	}
	return _InjectTo(id, event, false);
}


status_t
TestDriver::_InjectAndWait(ServerEvent& event, BWindow* window)
{
	status_t status = _Inject(event, window);
	return status == B_OK ? WaitForIdle() : status;
}


status_t
TestDriver::_InjectTo(int32 serverID, ServerEvent& event, bool mayBeGone)
{
	event.window = serverID;
	status_t status = DisplayServer::Default().Call(
		BPrivate::InjectEventRequest(event));
	// The second half of a click or a key stroke may come after the first
	// half closed the window; then it goes nowhere, as on a screen.
	if (status == B_BAD_VALUE && mayBeGone)
		return B_OK;
	if (status == B_NOT_SUPPORTED) {
		ADD_FAILURE() << "TestDriver: the display server refused an event; "
			"is KITS_DISPLAY something other than offscreen?";
	} else if (status != B_OK)
		ADD_FAILURE() << "TestDriver: the window is gone";
	return status;
}


// #pragma mark - The mouse


status_t
TestDriver::Click(BWindow* window, BPoint where, int32 clicks,
	uint32 buttons, uint32 modifiers)
{
	status_t status = MoveMouse(window, where, 0, modifiers);
	if (status == B_OK)
		status = MouseDown(window, where, buttons, clicks, modifiers);
	if (status != B_OK)
		return status;

	// Resolved before the button came down: the click may close the
	// window.
	ServerEvent event(0, BPrivate::MouseUpEvent(where, 0, modifiers));
	status = _InjectTo(fLastServerID, event, true);
	return status == B_OK ? WaitForIdle() : status;
}


status_t
TestDriver::Click(BView* view, BPoint where, int32 clicks, uint32 buttons,
	uint32 modifiers)
{
	BWindow* window = NULL;
	BPoint inWindow;
	if (view == NULL || !view->LockLooper()) {
		ADD_FAILURE() << "TestDriver::Click(): the view is in no window";
		return B_BAD_VALUE;
	}
	window = view->Window();
	inWindow = view->ConvertToWindow(where);
	view->UnlockLooper();
	return Click(window, inWindow, clicks, buttons, modifiers);
}


status_t
TestDriver::Click(BView* view, int32 clicks)
{
	BPoint middle;
	if (view == NULL || !view->LockLooper()) {
		ADD_FAILURE() << "TestDriver::Click(): the view is in no window";
		return B_BAD_VALUE;
	}
	BRect bounds = view->Bounds();
	middle = BPoint(floorf((bounds.left + bounds.right) / 2),
		floorf((bounds.top + bounds.bottom) / 2));
	view->UnlockLooper();
	return Click(view, middle, clicks);
}


status_t
TestDriver::MouseDown(BWindow* window, BPoint where, uint32 buttons,
	int32 clicks, uint32 modifiers)
{
	ServerEvent event(0, BPrivate::MouseDownEvent(where, buttons, modifiers,
		clicks));
	fLastServerID = _ServerID(window);
	if (fLastServerID == 0)
		return _Inject(event, window);
	status_t status = _InjectTo(fLastServerID, event, false);
	return status == B_OK ? WaitForIdle() : status;
}


status_t
TestDriver::MouseUp(BWindow* window, BPoint where, uint32 modifiers)
{
	ServerEvent event(0, BPrivate::MouseUpEvent(where, 0, modifiers));
	return _InjectAndWait(event, window);
}


status_t
TestDriver::MoveMouse(BWindow* window, BPoint where, uint32 buttons,
	uint32 modifiers)
{
	ServerEvent event(0, BPrivate::MouseMovedEvent(where, buttons, modifiers));
	return _InjectAndWait(event, window);
}


status_t
TestDriver::ScrollWheel(BWindow* window, float dx, float dy)
{
	ServerEvent event(0, BPrivate::MouseWheelEvent(dx, dy, 0));
	return _InjectAndWait(event, window);
}


// #pragma mark - The keyboard


status_t
TestDriver::_Key(BWindow* window, const std::string& bytes, int32 key,
	int32 rawChar, uint32 modifiers)
{
	int32 id = _ServerID(window);
	if (id == 0) {
		ADD_FAILURE() << "TestDriver: the window is gone or stays locked";
		return B_BAD_VALUE;
	}
	ServerEvent down(0, BPrivate::KeyDownEvent(bytes, key, modifiers, rawChar,
		0));
	status_t status = _InjectTo(id, down, false);
	if (status != B_OK)
		return status;
	// The key down may have closed the window.
	ServerEvent up(0, BPrivate::KeyUpEvent(bytes, key, modifiers, rawChar, 0));
	status = _InjectTo(id, up, true);
	return status == B_OK ? WaitForIdle() : status;
}


status_t
TestDriver::TypeText(BWindow* window, const char* text)
{
	if (text == NULL)
		return B_BAD_VALUE;
	for (const char* next = text; *next != '\0';) {
		int32 length = utf8_length((uint8)*next);
		std::string character(next, 1);
		for (int32 i = 1; i < length && next[i] != '\0'; i++)
			character += next[i];
		next += character.size();

		BPrivate::key_stroke stroke
			= BPrivate::key_for_char((uint8)character[0]);
		if (character.size() > 1)
			stroke = BPrivate::key_stroke{ 0, 0, false };
		status_t status = _Key(window, character, stroke.key,
			stroke.rawChar, stroke.shift ? B_SHIFT_KEY : 0);
		if (status != B_OK)
			return status;
	}
	return B_OK;
}


status_t
TestDriver::PressKey(BWindow* window, uint32 character, uint32 modifiers)
{
	BPrivate::key_stroke stroke = BPrivate::key_for_char(character);
	if (stroke.shift)
		modifiers |= B_SHIFT_KEY;

	// A letter typed with Shift is a capital, with or without Command.
	uint32 typed = character;
	if ((modifiers & B_SHIFT_KEY) != 0 && character < 0x80)
		typed = toupper((int)character);
	std::string bytes(1, (char)typed);
	return _Key(window, bytes, stroke.key, stroke.rawChar, modifiers);
}


status_t
TestDriver::PressFunctionKey(BWindow* window, int32 number,
	uint32 modifiers)
{
	int32 key = BPrivate::key_for_function_key(number);
	if (key == 0)
		return B_BAD_VALUE;
	return _Key(window, std::string(1, (char)B_FUNCTION_KEY), key,
		B_FUNCTION_KEY, modifiers);
}


// #pragma mark - Input methods


status_t
TestDriver::ComposeText(BWindow* window, const char* text,
	int32 selectionStart, int32 selectionEnd,
	const std::vector<std::pair<int32, int32> >& clauses)
{
	std::string composed(text != NULL ? text : "");
	int32 length = (int32)composed.size();
	int32 start = selectionStart < 0 ? length : selectionStart;
	int32 end = selectionEnd < 0 ? start : selectionEnd;
	ServerEvent event(0, BPrivate::InputMethodComposeEvent(composed, start,
		end, clauses));
	return _InjectAndWait(event, window);
}


status_t
TestDriver::CommitText(BWindow* window, const char* text)
{
	ServerEvent event(0, BPrivate::InputMethodCommitEvent(
		text != NULL ? text : ""));
	return _InjectAndWait(event, window);
}


status_t
TestDriver::CancelComposition(BWindow* window)
{
	return ComposeText(window, "");
}


BRect
TestDriver::TextInputRect(BWindow* window)
{
	int32 id;
	BPrivate::GetTextInputRequest::Reply reply;
	if (_IdleServerID(window, id) != B_OK
		|| DisplayServer::Default().Call(BPrivate::GetTextInputRequest(id),
			reply) != B_OK) {
		return BRect();
	}
	return reply.rect;
}


int32
TestDriver::CompositionsStopped(BWindow* window)
{
	int32 id;
	BPrivate::GetTextInputRequest::Reply reply;
	if (_IdleServerID(window, id) != B_OK
		|| DisplayServer::Default().Call(BPrivate::GetTextInputRequest(id),
			reply) != B_OK) {
		return -1;
	}
	return reply.stopped;
}


// #pragma mark - The window manager's part


status_t
TestDriver::CloseWindow(BWindow* window)
{
	ServerEvent event(0, BPrivate::CloseRequestedEvent());
	return _InjectAndWait(event, window);
}


status_t
TestDriver::ResizeWindow(BWindow* window, float width, float height)
{
	ServerEvent event(0, BPrivate::ResizedEvent(width, height));
	return _InjectAndWait(event, window);
}


status_t
TestDriver::MoveWindow(BWindow* window, BPoint leftTop)
{
	ServerEvent event(0, BPrivate::MovedEvent(leftTop));
	return _InjectAndWait(event, window);
}


status_t
TestDriver::ActivateWindow(BWindow* window, bool active)
{
	ServerEvent event(0, BPrivate::ActivatedEvent(active));
	return _InjectAndWait(event, window);
}


status_t
TestDriver::DropFiles(BWindow* window, BPoint where,
	const std::vector<std::string>& paths)
{
	ServerEvent event(0, BPrivate::FilesDroppedEvent(where, paths));
	return _InjectAndWait(event, window);
}
