/*
 * Private to the kits: the protocol between the windows and the display
 * server, and between the server and its backend.
 *
 * Requests go from any thread to the server's thread (a window asking
 * for its screen window to be created, shown, moved, given pixels, ...).
 * Events go from the backend to the server's thread (what a person did
 * on the screen, or what a test injected), which turns each into the
 * platform's message and posts it to the window.
 *
 * Both are plain structures with a code and the fields the code uses;
 * the fields a code does not name are left at their defaults. Window ids
 * are the server's own, never 0.
 */
#ifndef _KITS_SERVER_PROTOCOL_H
#define _KITS_SERVER_PROTOCOL_H

#include <Messenger.h>
#include <Point.h>
#include <Rect.h>
#include <SupportDefs.h>

#include <memory>
#include <string>
#include <vector>

namespace BPrivate {

struct ServerReply;

// What a window or a test asks of the server.
enum server_request_code {
	// window, frame (content area, screen coordinates), look, feel,
	// flags, title, target (the messenger that receives its events).
	kRequestCreateWindow = 1,
	// window. The server forgets the window and its pixels.
	kRequestDestroyWindow,
	// window.
	kRequestShowWindow,
	// window.
	kRequestHideWindow,
	// window, frame (only its left top is used).
	kRequestMoveWindow,
	// window, frame (only its width and height are used).
	kRequestResizeWindow,
	// window, title.
	kRequestSetTitle,
	// window, flags, look, feel.
	kRequestSetFlags,
	// window, frame (the changed area in window coordinates), pixels
	// (that area's pixels, B_RGBA32, row after row without padding).
	kRequestPresent,
	// window, active (activating makes the window the one that gets the
	// keyboard; deactivating gives that up).
	kRequestActivateWindow,
	// cursor (a cursor_kind).
	kRequestSetCursor,
	// text, primary (the primary selection instead of the clipboard).
	kRequestSetClipboard,
	// primary. reply: text. Synchronous.
	kRequestGetClipboard,
	// no field.
	kRequestBeep,
	// event (handed to the backend to be delivered as if a person had
	// caused it). Fails with B_NOT_SUPPORTED on a backend with a screen.
	kRequestInjectEvent,
	// window, text (a file path). reply: status. Synchronous.
	kRequestWritePNG,
	// window, frame (its left top is the pixel, window coordinates).
	// reply: status, pixel. Synchronous.
	kRequestReadPixel,
	// no field. Synchronous: answered once every request posted before
	// it has been handled.
	kRequestSync,
	// no field. reply: frame (the main screen's). Synchronous.
	kRequestGetScreenFrame,
	// window, parent (the window it serves; 0 for the one that is
	// active when it is shown). Makes the window a dialog of that one:
	// in front of it, centred on it by the screen, and the keyboard goes
	// back to it when the dialog goes. Modal windows are dialogs without
	// asking.
	kRequestSetServedWindow,
	// window. reply: parent (the window it serves now; 0 for none), text
	// (the title the screen shows), active (it has the keyboard).
	// Synchronous.
	kRequestGetWindowInfo,
	// window (a subset window), parent (the window that joins or leaves
	// its subset), active (true to join, false to leave). A modal subset
	// window keeps from input only the windows of its subset.
	kRequestSetSubset
};

// What happened on the screen, for one window.
enum server_event_code {
	// window, bytes (the UTF-8 character, empty for a bare modifier),
	// key (the key code), modifiers, raw_char (the character without
	// modifiers applied), repeat (0 for the first press).
	kEventKeyDown = 1,
	// As kEventKeyDown.
	kEventKeyUp,
	// window, where (window coordinates), buttons (all held, including
	// the new one), modifiers, clicks (1 for a single click).
	kEventMouseDown,
	// window, where, buttons (those still held), modifiers.
	kEventMouseUp,
	// window, where, buttons, modifiers.
	kEventMouseMoved,
	// window, where (the pointer left the window there).
	kEventMouseExited,
	// window, wheel_x, wheel_y (in notches; positive is right and down).
	kEventMouseWheel,
	// window (the close box was clicked).
	kEventCloseRequested,
	// window, active.
	kEventActivated,
	// window, width, height (the new content size: right minus left).
	kEventResized,
	// window, where (the content area's new left top on the screen).
	kEventMoved,
	// window, where (window coordinates), paths (files dropped).
	kEventFilesDropped,
	// window (the screen lost the window's pixels: show them again).
	kEventExposed
};

// The feel of the borderless windows that menus open in. While one is
// shown, the server, not the screen's window manager, decides where keys
// go: to the menu window shown last. Such a window never takes the
// keyboard focus from the window that opened it.
const uint32 kMenuWindowFeel = 0x4d454e55;	// 'MENU'

// Posted to the menu window shown last when a mouse button goes down in
// another window while menus are open, instead of the click: "where"
// and "screen_where" (BPoint), "buttons" (int32). The button's release
// that follows is not delivered either.
const uint32 kMsgMenuClickOutside = '_MCO';

// The pointer shapes a window can ask for.
enum cursor_kind {
	kCursorDefault = 0,
	kCursorIBeam,
	kCursorHand,
	kCursorResizeHorizontal,
	kCursorResizeVertical,
	kCursorWait
};

struct ServerEvent {
	int32				code = 0;
	int32				window = 0;
	std::string			bytes;
	int32				key = 0;
	uint32				modifiers = 0;
	int32				raw_char = 0;
	int32				repeat = 0;
	BPoint				where;
	uint32				buttons = 0;
	int32				clicks = 0;
	float				wheel_x = 0;
	float				wheel_y = 0;
	bool				active = false;
	float				width = 0;
	float				height = 0;
	std::vector<std::string> paths;
};

struct ServerRequest {
	int32				code = 0;
	int32				window = 0;
	BRect				frame;
	uint32				look = 0;
	uint32				feel = 0;
	uint32				flags = 0;
	std::string			title;
	std::string			text;
	BMessenger			target;
	std::vector<uint32>	pixels;
	bool				active = false;
	bool				primary = false;
	int32				cursor = kCursorDefault;
	int32				parent = 0;
	ServerEvent			event;
	// Set for a synchronous request; the server answers through it.
	std::shared_ptr<ServerReply> reply;
};

}	// namespace BPrivate

#endif	// _KITS_SERVER_PROTOCOL_H
