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
 * Each request is a type of its own, built from every field it needs
 * (a request missing one does not compile), and ServerRequest is the one
 * of them that travels. The server handles each type in a function of
 * its own; a new request is a type here, one more alternative of
 * ServerRequest and its handler. A request that answers with more than
 * a status names its answer's type as Reply, which its handler fills in
 * and DisplayServer::Call() hands back. Events are typed the same way:
 * a ServerEvent is the window it is for and one of the event types.
 * Window ids are the server's own, never 0.
 */
#ifndef _KITS_SERVER_PROTOCOL_H
#define _KITS_SERVER_PROTOCOL_H

#include <Messenger.h>
#include <Point.h>
#include <Rect.h>
#include <SupportDefs.h>

#include <string>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

namespace BPrivate {

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

// Posted to a window when the screen it is on draws at another scale
// (it moved to another screen, or the desktop's scale changed): "scale"
// (float), the device pixels a unit takes from now on. The window draws
// everything again at that scale.
const uint32 kMsgScaleChanged = '_SCL';

// The pointer shapes a window can ask for.
enum cursor_kind {
	kCursorDefault = 0,
	kCursorIBeam,
	kCursorHand,
	kCursorResizeHorizontal,
	kCursorResizeVertical,
	kCursorWait
};

// #pragma mark - Events


// A key went down or up. bytes is the UTF-8 character (empty for a bare
// modifier), key the key code, rawChar the character without modifiers
// applied, repeat 0 for the first press.
struct KeyEvent {
	KeyEvent(std::string bytes, int32 key, uint32 modifiers, int32 rawChar,
		int32 repeat)
		: bytes(std::move(bytes)), key(key), modifiers(modifiers),
		rawChar(rawChar), repeat(repeat) {}

	std::string			bytes;
	int32				key;
	uint32				modifiers;
	int32				rawChar;
	int32				repeat;
};

struct KeyDownEvent : KeyEvent {
	using KeyEvent::KeyEvent;
};

struct KeyUpEvent : KeyEvent {
	using KeyEvent::KeyEvent;
};

// Coordinates in events are the API's units, as windows and views count
// them, whatever the scale of the screen.

// Where the pointer is (window coordinates), the buttons held and the
// modifiers.
struct PointerEvent {
	PointerEvent(BPoint where, uint32 buttons, uint32 modifiers)
		: where(where), buttons(buttons), modifiers(modifiers) {}

	BPoint				where;
	uint32				buttons;
	uint32				modifiers;
};

// buttons: all held, the new one included; clicks: 1 for a single click.
struct MouseDownEvent : PointerEvent {
	MouseDownEvent(BPoint where, uint32 buttons, uint32 modifiers,
		int32 clicks)
		: PointerEvent(where, buttons, modifiers), clicks(clicks) {}

	int32				clicks;
};

// buttons: those still held.
struct MouseUpEvent : PointerEvent {
	using PointerEvent::PointerEvent;
};

struct MouseMovedEvent : PointerEvent {
	using PointerEvent::PointerEvent;
};

// The pointer left the window at where.
struct MouseExitedEvent : PointerEvent {
	using PointerEvent::PointerEvent;
};

// In notches; positive is right and down.
struct MouseWheelEvent {
	MouseWheelEvent(float deltaX, float deltaY, uint32 modifiers)
		: deltaX(deltaX), deltaY(deltaY), modifiers(modifiers) {}

	float				deltaX;
	float				deltaY;
	uint32				modifiers;
};

// The close box was clicked.
struct CloseRequestedEvent {
};

struct ActivatedEvent {
	explicit ActivatedEvent(bool active) : active(active) {}

	bool				active;
};

// The new content size: right minus left, bottom minus top.
struct ResizedEvent {
	ResizedEvent(float width, float height) : width(width), height(height) {}

	float				width;
	float				height;
};

// where: the content area's new left top on the screen.
struct MovedEvent {
	explicit MovedEvent(BPoint where) : where(where) {}

	BPoint				where;
};

// Files dropped at where, in window coordinates.
struct FilesDroppedEvent {
	FilesDroppedEvent(BPoint where, std::vector<std::string> paths)
		: where(where), paths(std::move(paths)) {}

	BPoint				where;
	std::vector<std::string> paths;
};

// The screen lost the window's pixels: show them again.
struct ExposedEvent {
};

// What the screen's input method is composing for the window (the
// preedit): text, UTF-8, with the part the input method works on now
// from selectionStart to selectionEnd (byte offsets into text, equal
// for a caret) and its clauses as pairs of byte offsets (none for one
// clause of the whole text). Nothing of it is typed yet. An empty text
// ends the composition with nothing typed.
struct InputMethodComposeEvent {
	InputMethodComposeEvent(std::string text, int32 selectionStart,
		int32 selectionEnd,
		std::vector<std::pair<int32, int32> > clauses = {})
		: text(std::move(text)), selectionStart(selectionStart),
		selectionEnd(selectionEnd), clauses(std::move(clauses)) {}

	std::string			text;
	int32				selectionStart;
	int32				selectionEnd;
	std::vector<std::pair<int32, int32> > clauses;
};

// The input method types text, UTF-8, ending what it was composing.
struct InputMethodCommitEvent {
	explicit InputMethodCommitEvent(std::string text)
		: text(std::move(text)) {}

	std::string			text;
};

// The window is on a screen of another scale now (device pixels a unit).
struct ScaleChangedEvent {
	explicit ScaleChangedEvent(float scale) : scale(scale) {}

	float				scale;
};

// What happened on the screen, for one window. An event made empty (no
// window, std::monostate) is what a wait that found none leaves; the
// server drops it.
struct ServerEvent {
	using What = std::variant<
		std::monostate,
		KeyDownEvent,
		KeyUpEvent,
		MouseDownEvent,
		MouseUpEvent,
		MouseMovedEvent,
		MouseExitedEvent,
		MouseWheelEvent,
		CloseRequestedEvent,
		ActivatedEvent,
		ResizedEvent,
		MovedEvent,
		FilesDroppedEvent,
		ExposedEvent,
		InputMethodComposeEvent,
		InputMethodCommitEvent,
		ScaleChangedEvent>;

	ServerEvent() = default;
	ServerEvent(int32 window, What what)
		: window(window), what(std::move(what)) {}

	// The event's type, or NULL when it is another.
	template<typename Type>
	const Type*			As() const { return std::get_if<Type>(&what); }
	template<typename Type>
	bool				Is() const
							{ return std::holds_alternative<Type>(what); }

	int32				window = 0;
	What				what;
};


// #pragma mark - Requests


// Creates the screen window with that id. frame is the content area in
// screen coordinates; target receives the window's events.
struct CreateWindowRequest {
	CreateWindowRequest(int32 window, BRect frame, uint32 look, uint32 feel,
		uint32 flags, std::string title, BMessenger target)
		: window(window), frame(frame), look(look), feel(feel), flags(flags),
		title(std::move(title)), target(target) {}

	int32				window;
	BRect				frame;
	uint32				look;
	uint32				feel;
	uint32				flags;
	std::string			title;
	BMessenger			target;
};

// The server forgets the window and its pixels.
struct DestroyWindowRequest {
	explicit DestroyWindowRequest(int32 window) : window(window) {}

	int32				window;
};

struct ShowWindowRequest {
	explicit ShowWindowRequest(int32 window) : window(window) {}

	int32				window;
};

struct HideWindowRequest {
	explicit HideWindowRequest(int32 window) : window(window) {}

	int32				window;
};

// Moves the content area's left top to where, in screen coordinates.
struct MoveWindowRequest {
	MoveWindowRequest(int32 window, BPoint where)
		: window(window), where(where) {}

	int32				window;
	BPoint				where;
};

// The new content size, right minus left and bottom minus top.
struct ResizeWindowRequest {
	ResizeWindowRequest(int32 window, float width, float height)
		: window(window), width(width), height(height) {}

	int32				window;
	float				width;
	float				height;
};

struct SetTitleRequest {
	SetTitleRequest(int32 window, std::string title)
		: window(window), title(std::move(title)) {}

	int32				window;
	std::string			title;
};

struct SetFlagsRequest {
	SetFlagsRequest(int32 window, uint32 look, uint32 feel, uint32 flags)
		: window(window), look(look), feel(feel), flags(flags) {}

	int32				window;
	uint32				look;
	uint32				feel;
	uint32				flags;
};

// Puts the changed area on screen. area is in the device pixels of the
// window's image, drawn at scale; pixels holds that area's pixels,
// B_RGBA32, row after row without padding. A request whose pixels do not
// fill its area, or drawn at a scale the window has left, is ignored.
struct PresentRequest {
	PresentRequest(int32 window, BRect area, float scale,
		std::vector<uint32> pixels)
		: window(window), area(area), scale(scale),
		pixels(std::move(pixels)) {}

	int32				window;
	BRect				area;
	float				scale;
	std::vector<uint32>	pixels;
};

// Activating makes the window the one that gets the keyboard;
// deactivating gives that up.
struct ActivateWindowRequest {
	ActivateWindowRequest(int32 window, bool active)
		: window(window), active(active) {}

	int32				window;
	bool				active;
};

struct SetCursorRequest {
	explicit SetCursorRequest(cursor_kind cursor) : cursor(cursor) {}

	cursor_kind			cursor;
};

// primary: the primary selection instead of the clipboard.
struct SetClipboardRequest {
	SetClipboardRequest(bool primary, std::string text)
		: primary(primary), text(std::move(text)) {}

	bool				primary;
	std::string			text;
};

// Synchronous. reply: text.
// Synchronous: the text of the clipboard or the primary selection.
struct GetClipboardRequest {
	typedef std::string	Reply;

	explicit GetClipboardRequest(bool primary) : primary(primary) {}

	bool				primary;
};

struct BeepRequest {
};

// Hands the event to the backend, to be delivered as if a person had
// caused it. Synchronous; fails with B_NOT_SUPPORTED on a backend with a
// screen.
struct InjectEventRequest {
	explicit InjectEventRequest(ServerEvent event)
		: event(std::move(event)) {}

	ServerEvent			event;
};

// Writes the window's pixels to the file as a PNG. Synchronous.
struct WritePNGRequest {
	WritePNGRequest(int32 window, std::string path)
		: window(window), path(std::move(path)) {}

	int32				window;
	std::string			path;
};

// Synchronous: the pixel at where, in the device pixels of what the
// screen shows of the window, B_RGBA32.
struct ReadPixelRequest {
	typedef uint32		Reply;

	ReadPixelRequest(int32 window, BPoint where)
		: window(window), where(where) {}

	int32				window;
	BPoint				where;
};

// Synchronous: answered once every request posted before it has been
// handled.
struct SyncRequest {
};

// Synchronous: the main screen's frame.
struct GetScreenFrameRequest {
	typedef BRect		Reply;
};

// Makes the window a dialog of served (0 for the window that is active
// when it is shown): in front of it, centred on it by the screen, and
// the keyboard goes back to it when the dialog goes. Modal windows are
// dialogs without asking.
struct SetServedWindowRequest {
	SetServedWindowRequest(int32 window, int32 served)
		: window(window), served(served) {}

	int32				window;
	int32				served;
};

// What the screen shows of a window.
struct ScreenWindowInfo {
	// The title the screen shows.
	std::string			title;
	// The window it serves now, 0 for none.
	int32				servedWindow = 0;
	// Whether it has the keyboard.
	bool				active = false;
};

// Synchronous: the window's ScreenWindowInfo.
struct GetWindowInfoRequest {
	typedef ScreenWindowInfo Reply;

	explicit GetWindowInfoRequest(int32 window) : window(window) {}

	int32				window;
};

// member joins (or leaves) the subset of window, a subset window. A
// modal subset window keeps from input only the windows of its subset.
struct SetSubsetRequest {
	SetSubsetRequest(int32 window, int32 member, bool join)
		: window(window), member(member), join(join) {}

	int32				window;
	int32				member;
	bool				join;
};

// Whether a request answers with more than a status.
template<typename Request, typename = void>
struct AnswersWithReply : std::false_type {};
template<typename Request>
struct AnswersWithReply<Request, std::void_t<typename Request::Reply> >
	: std::true_type {};
// Where the text being typed goes in the window (window coordinates):
// the caret, or the part of a composition the input method works on.
// The screen's input method puts its candidate window beside it.
struct SetTextInputRectRequest {
	SetTextInputRectRequest(int32 window, BRect rect)
		: window(window), rect(rect) {}

	int32				window;
	BRect				rect;
};

// The window ended the composition itself, keeping or dropping its text
// (a click elsewhere, the focus going): the screen's input method
// forgets what it was composing and types none of it.
struct StopInputMethodRequest {
	explicit StopInputMethodRequest(int32 window) : window(window) {}

	int32				window;
};

// Synchronous: what the window told the screen's input method.
struct GetTextInputRequest {
	struct Reply {
		// The last rect set for the window's text input; invalid when
		// none was.
		BRect			rect;
		// How many compositions the window stopped itself.
		int32			stopped = 0;
	};

	explicit GetTextInputRequest(int32 window) : window(window) {}

	int32				window;
};

using ServerRequest = std::variant<
	CreateWindowRequest,
	DestroyWindowRequest,
	ShowWindowRequest,
	HideWindowRequest,
	MoveWindowRequest,
	ResizeWindowRequest,
	SetTitleRequest,
	SetFlagsRequest,
	PresentRequest,
	ActivateWindowRequest,
	SetCursorRequest,
	SetClipboardRequest,
	GetClipboardRequest,
	BeepRequest,
	InjectEventRequest,
	WritePNGRequest,
	ReadPixelRequest,
	SyncRequest,
	GetScreenFrameRequest,
	SetServedWindowRequest,
	GetWindowInfoRequest,
	SetSubsetRequest,
	SetTextInputRectRequest,
	StopInputMethodRequest,
	GetTextInputRequest>;

}	// namespace BPrivate

#endif	// _KITS_SERVER_PROTOCOL_H
