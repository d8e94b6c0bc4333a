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
	std::visit([this, &event, &window](const auto& what) {
			_Handle(event.window, window, what);
		}, event.what);
}


void
DisplayServer::_Handle(int32, Window&, const std::monostate&)
{
}


void
DisplayServer::_Handle(int32, Window& window, const KeyDownEvent& event)
{
	fModifiers.store(event.modifiers);
	_PostKey(window, B_KEY_DOWN, event);
}


void
DisplayServer::_Handle(int32, Window& window, const KeyUpEvent& event)
{
	fModifiers.store(event.modifiers);
	_PostKey(window, B_KEY_UP, event);
}


void
DisplayServer::_Handle(int32 id, Window& window, const MouseDownEvent& event)
{
	if ((window.flags & kAvoidFocusFlag) == 0
		&& window.feel != kMenuWindowFeel)
		_SetActive(id, true);
	_PostPointer(id, window, B_MOUSE_DOWN, event,
		event.clicks > 0 ? event.clicks : 1, false);
}


void
DisplayServer::_Handle(int32 id, Window& window, const MouseUpEvent& event)
{
	_PostPointer(id, window, B_MOUSE_UP, event, 0, false);
}


void
DisplayServer::_Handle(int32 id, Window& window, const MouseMovedEvent& event)
{
	_PostPointer(id, window, B_MOUSE_MOVED, event, 0, false);
}


void
DisplayServer::_Handle(int32 id, Window& window,
	const MouseExitedEvent& event)
{
	_PostPointer(id, window, B_MOUSE_MOVED, event, 0, true);
}


void
DisplayServer::_Handle(int32, Window& window, const MouseWheelEvent& event)
{
	fModifiers.store(event.modifiers);
	BMessage message(B_MOUSE_WHEEL_CHANGED);
	message.AddInt64("when", system_time());
	message.AddFloat("be:wheel_delta_x", event.deltaX);
	message.AddFloat("be:wheel_delta_y", event.deltaY);
	window.target.SendMessage(&message);
}


void
DisplayServer::_Handle(int32, Window& window, const CloseRequestedEvent&)
{
	window.target.SendMessage(B_QUIT_REQUESTED);
}


void
DisplayServer::_Handle(int32 id, Window&, const ActivatedEvent& event)
{
	_SetActive(id, event.active, false);
}


void
DisplayServer::_Handle(int32, Window& window, const ResizedEvent& event)
{
	_ResizeCopy(window, event.width, event.height);
	BMessage message(B_WINDOW_RESIZED);
	message.AddInt64("when", system_time());
	message.AddFloat("width", event.width);
	message.AddFloat("height", event.height);
	window.target.SendMessage(&message);
}


void
DisplayServer::_Handle(int32, Window& window, const MovedEvent& event)
{
	window.frame.OffsetTo(event.where);
	BMessage message(B_WINDOW_MOVED);
	message.AddInt64("when", system_time());
	message.AddPoint("where", event.where);
	window.target.SendMessage(&message);
}


void
DisplayServer::_Handle(int32, Window& window, const FilesDroppedEvent& event)
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
DisplayServer::_Handle(int32 id, Window& window, const ExposedEvent&)
{
	_ShowAll(id, window);
}


void
DisplayServer::_Handle(int32, Window& window, const ScaleChangedEvent& event)
{
	DisplayScale scale(event.scale);
	if (scale == window.scale)
		return;
	// The copy starts again in the new size; the window's next frame
	// fills it.
	window.scale = scale;
	window.pixels.clear();
	window.width = 0;
	window.height = 0;
	_ResizeCopy(window, window.frame.Width(), window.frame.Height());
	BMessage message(kMsgScaleChanged);
	message.AddFloat("scale", scale.Factor());
	window.target.SendMessage(&message);
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
	if (event.Is<MouseUpEvent>() && fSwallowUpWindow == event.window) {
		fSwallowUpWindow = 0;
		return true;
	}
	if (fMenuWindows.empty())
		return false;
	Window& menu = fWindows[fMenuWindows.back()];

	const KeyDownEvent* keyDown = event.As<KeyDownEvent>();
	const KeyUpEvent* keyUp = event.As<KeyUpEvent>();
	if (keyDown != NULL || keyUp != NULL) {
		// Keys go to the open menu, whichever window the screen gave
		// them to.
		if (event.window == fMenuWindows.back())
			return false;
		const KeyEvent& key = keyDown != NULL
			? (const KeyEvent&)*keyDown : (const KeyEvent&)*keyUp;
		fModifiers.store(key.modifiers);
		_PostKey(menu, keyDown != NULL ? B_KEY_DOWN : B_KEY_UP, key);
		return true;
	}

	const MouseDownEvent* down = event.As<MouseDownEvent>();
	if (down == NULL)
		return false;
	auto found = fWindows.find(event.window);
	if (std::find(fMenuWindows.begin(), fMenuWindows.end(), event.window)
			!= fMenuWindows.end()
		|| found == fWindows.end()) {
		return false;
	}
	_NotePointer(found->second, *down);
	BMessage message(kMsgMenuClickOutside);
	message.AddInt64("when", system_time());
	message.AddPoint("where", down->where);
	message.AddPoint("screen_where",
		down->where + found->second.frame.LeftTop());
	message.AddInt32("buttons", (int32)down->buttons);
	menu.target.SendMessage(&message);
	fSwallowUpWindow = event.window;
	return true;
}


void
DisplayServer::_PostKey(Window& window, uint32 what, const KeyEvent& event)
{
	BMessage message(what);
	message.AddInt64("when", system_time());
	message.AddInt32("modifiers", (int32)event.modifiers);
	message.AddInt32("key", event.key);
	message.AddInt32("raw_char", event.rawChar);
	if (event.repeat > 0)
		message.AddInt32("be:key_repeat", event.repeat);
	for (char byte : event.bytes)
		message.AddInt8("byte", (int8)byte);
	message.AddString("bytes", event.bytes.c_str());
	window.target.SendMessage(&message);
}


void
DisplayServer::_PostPointer(int32 id, Window& window, uint32 what,
	const PointerEvent& event, int32 clicks, bool exited)
{
	_NotePointer(window, event);

	BMessage message(what);
	message.AddInt64("when", system_time());
	message.AddPoint("where", event.where);
	message.AddPoint("screen_where", event.where + window.frame.LeftTop());
	message.AddInt32("buttons", (int32)event.buttons);
	message.AddInt32("modifiers", (int32)event.modifiers);
	if (what == B_MOUSE_DOWN)
		message.AddInt32("clicks", clicks);

	if (what == B_MOUSE_MOVED) {
		// The transit is the window's: whether the pointer came into it,
		// moves inside it or left it. The window works out its views'.
		int32 transit = B_INSIDE_VIEW;
		if (exited) {
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
DisplayServer::_NotePointer(Window& window, const PointerEvent& event)
{
	fModifiers.store(event.modifiers);
	std::lock_guard<std::mutex> guard(fPointerLock);
	fPointer = event.where + window.frame.LeftTop();
	fButtons = event.buttons;
}


}	// namespace BPrivate
