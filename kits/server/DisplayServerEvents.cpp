/*
 * DisplayServer: the backend's events turned into the platform's
 * messages, posted to the windows' loopers.
 */
#include "DisplayServer.h"

#include "Backend.h"

#include <AppDefs.h>
#include <Entry.h>
#include <InterfaceDefs.h>
#include <Message.h>

#include "MessagePrivate.h"

#include <algorithm>

namespace BPrivate {

namespace {

// The window flag that keeps a click from activating the window; the
// value is the BWindow's.
const uint32 kAvoidFocusFlag = 0x00002000;

}	// namespace


void
DisplayServer::_HandleEvent(const ServerEvent& event)
{
	if (!_AdmitEvent(event))
		return;
	auto found = fWindows.find(event.window);
	if (found == fWindows.end())
		return;
	if (_RouteToMenu(event))
		return;
	Window& window = found->second;

	switch (event.code) {
		case kEventKeyDown:
		case kEventKeyUp:
			_NoteInput(window, event);
			_PostKey(window, event);
			break;
		case kEventMouseDown:
			if ((window.flags & kAvoidFocusFlag) == 0
				&& window.feel != kMenuWindowFeel)
				_SetActive(event.window, true);
			_PostMouse(event.window, window, event);
			break;
		case kEventMouseUp:
		case kEventMouseMoved:
		case kEventMouseExited:
		case kEventMouseWheel:
			_PostMouse(event.window, window, event);
			break;
		case kEventCloseRequested:
			window.target.SendMessage(B_QUIT_REQUESTED);
			break;
		case kEventActivated:
			_SetActive(event.window, event.active, false);
			break;
		case kEventResized:
		{
			_ResizeCopy(window, event.width, event.height);
			BMessage message(B_WINDOW_RESIZED);
			message.AddInt64("when", system_time());
			message.AddFloat("width", event.width);
			message.AddFloat("height", event.height);
			window.target.SendMessage(&message);
			break;
		}
		case kEventMoved:
		{
			window.frame.OffsetTo(event.where);
			BMessage message(B_WINDOW_MOVED);
			message.AddInt64("when", system_time());
			message.AddPoint("where", event.where);
			window.target.SendMessage(&message);
			break;
		}
		case kEventFilesDropped:
			_PostDrop(window, event);
			break;
		case kEventExposed:
			_ShowAll(event.window, window);
			break;
	}
}


void
DisplayServer::_MenuWindowShown(int32 id, bool shown)
{
	fMenuWindows.erase(std::remove(fMenuWindows.begin(), fMenuWindows.end(),
		id), fMenuWindows.end());
	auto found = fWindows.find(id);
	if (shown && found != fWindows.end()
		&& found->second.feel == kMenuWindowFeel) {
		fMenuWindows.push_back(id);
	}
}


bool
DisplayServer::_RouteToMenu(const ServerEvent& event)
{
	if (event.code == kEventMouseUp && fSwallowUpWindow == event.window) {
		fSwallowUpWindow = 0;
		return true;
	}
	if (fMenuWindows.empty())
		return false;
	Window& menu = fWindows[fMenuWindows.back()];

	switch (event.code) {
		case kEventKeyDown:
		case kEventKeyUp:
			// Keys go to the open menu, whichever window the screen gave
			// them to.
			if (event.window == fMenuWindows.back())
				return false;
			_NoteInput(menu, event);
			_PostKey(menu, event);
			return true;
		case kEventMouseDown:
		{
			auto found = fWindows.find(event.window);
			if (std::find(fMenuWindows.begin(), fMenuWindows.end(),
					event.window) != fMenuWindows.end()
				|| found == fWindows.end()) {
				return false;
			}
			_NoteInput(found->second, event);
			BMessage message(kMsgMenuClickOutside);
			message.AddInt64("when", system_time());
			message.AddPoint("where", event.where);
			message.AddPoint("screen_where",
				event.where + found->second.frame.LeftTop());
			message.AddInt32("buttons", (int32)event.buttons);
			menu.target.SendMessage(&message);
			fSwallowUpWindow = event.window;
			return true;
		}
		default:
			return false;
	}
}


void
DisplayServer::_PostKey(Window& window, const ServerEvent& event)
{
	BMessage message(event.code == kEventKeyDown ? B_KEY_DOWN : B_KEY_UP);
	message.AddInt64("when", system_time());
	message.AddInt32("modifiers", (int32)event.modifiers);
	message.AddInt32("key", event.key);
	message.AddInt32("raw_char", event.raw_char);
	if (event.repeat > 0)
		message.AddInt32("be:key_repeat", event.repeat);
	for (char byte : event.bytes)
		message.AddInt8("byte", (int8)byte);
	message.AddString("bytes", event.bytes.c_str());
	window.target.SendMessage(&message);
}


void
DisplayServer::_PostMouse(int32 id, Window& window, const ServerEvent& event)
{
	_NoteInput(window, event);

	BMessage message;
	switch (event.code) {
		case kEventMouseDown:
			message.what = B_MOUSE_DOWN;
			break;
		case kEventMouseUp:
			message.what = B_MOUSE_UP;
			break;
		case kEventMouseWheel:
			message.what = B_MOUSE_WHEEL_CHANGED;
			break;
		default:
			message.what = B_MOUSE_MOVED;
			break;
	}
	message.AddInt64("when", system_time());

	if (message.what == B_MOUSE_WHEEL_CHANGED) {
		message.AddFloat("be:wheel_delta_x", event.wheel_x);
		message.AddFloat("be:wheel_delta_y", event.wheel_y);
		window.target.SendMessage(&message);
		return;
	}

	message.AddPoint("where", event.where);
	message.AddPoint("screen_where", event.where + window.frame.LeftTop());
	message.AddInt32("buttons", (int32)event.buttons);
	message.AddInt32("modifiers", (int32)event.modifiers);
	if (message.what == B_MOUSE_DOWN)
		message.AddInt32("clicks", event.clicks > 0 ? event.clicks : 1);

	if (message.what == B_MOUSE_MOVED) {
		// The transit is the window's: whether the pointer came into it,
		// moves inside it or left it. The window works out its views'.
		int32 transit = B_INSIDE_VIEW;
		if (event.code == kEventMouseExited) {
			transit = B_EXITED_VIEW;
			if (fPointerWindow == id)
				fPointerWindow = 0;
		} else if (fPointerWindow != id) {
			transit = B_ENTERED_VIEW;
			fPointerWindow = id;
		}
		message.AddInt32("be:transit", transit);
	} else
		fPointerWindow = id;

	window.target.SendMessage(&message);
}


void
DisplayServer::_PostDrop(Window& window, const ServerEvent& event)
{
	BMessage message(B_SIMPLE_DATA);
	for (const std::string& path : event.paths) {
		entry_ref ref;
		if (get_ref_for_path(path.c_str(), &ref) == B_OK)
			message.AddRef("refs", &ref);
	}
	if (!message.HasRef("refs"))
		return;
	BMessage::Private(message).SetDropped(
		event.where + window.frame.LeftTop(), BPoint(0, 0));
	window.target.SendMessage(&message);
}


void
DisplayServer::_NoteInput(Window& window, const ServerEvent& event)
{
	fModifiers.store(event.modifiers);
	if (event.code == kEventKeyDown || event.code == kEventKeyUp
		|| event.code == kEventMouseWheel) {
		return;
	}
	std::lock_guard<std::mutex> guard(fPointerLock);
	fPointer = event.where + window.frame.LeftTop();
	fButtons = event.buttons;
}


}	// namespace BPrivate
