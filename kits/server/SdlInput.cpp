/*
 * SdlInput. See SdlInput.h.
 */
#include "SdlInput.h"

#include "KeyMap.h"
#include "UTF8Decoding.h"

#include <InterfaceDefs.h>

#include <ctype.h>
#include <math.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>

namespace BPrivate {

namespace {

// How long after a window ended a composition itself the input method's
// commit of that text is taken for its letting go of it. It comes as an
// answer to the reset, within a few milliseconds.
const uint32 kEchoMilliseconds = 1000;

// Key codes of the keys KeyMap does not give a character for, as the
// platform numbers them.
struct scancode_key {
	SDL_Scancode		scancode;
	int32				key;
};

const scancode_key kOtherKeys[] = {
	{ SDL_SCANCODE_PRINTSCREEN, B_PRINT_KEY },
	{ SDL_SCANCODE_SCROLLLOCK, B_SCROLL_KEY },
	{ SDL_SCANCODE_PAUSE, B_PAUSE_KEY },
	{ SDL_SCANCODE_NUMLOCKCLEAR, 0x22 },
	{ SDL_SCANCODE_KP_DIVIDE, 0x23 },
	{ SDL_SCANCODE_KP_MULTIPLY, 0x24 },
	{ SDL_SCANCODE_KP_MINUS, 0x25 },
	{ SDL_SCANCODE_KP_7, 0x37 },
	{ SDL_SCANCODE_KP_8, 0x38 },
	{ SDL_SCANCODE_KP_9, 0x39 },
	{ SDL_SCANCODE_KP_PLUS, 0x3a },
	{ SDL_SCANCODE_CAPSLOCK, 0x3b },
	{ SDL_SCANCODE_KP_4, 0x48 },
	{ SDL_SCANCODE_KP_5, 0x49 },
	{ SDL_SCANCODE_KP_6, 0x4a },
	{ SDL_SCANCODE_LSHIFT, 0x4b },
	{ SDL_SCANCODE_RSHIFT, 0x56 },
	{ SDL_SCANCODE_KP_1, 0x58 },
	{ SDL_SCANCODE_KP_2, 0x59 },
	{ SDL_SCANCODE_KP_3, 0x5a },
	{ SDL_SCANCODE_KP_ENTER, 0x5b },
	{ SDL_SCANCODE_LCTRL, 0x5c },
	{ SDL_SCANCODE_LALT, 0x5d },
	{ SDL_SCANCODE_RALT, 0x5f },
	{ SDL_SCANCODE_RCTRL, 0x60 },
	{ SDL_SCANCODE_KP_0, 0x64 },
	{ SDL_SCANCODE_KP_PERIOD, 0x65 },
	{ SDL_SCANCODE_LGUI, 0x66 },
	{ SDL_SCANCODE_RGUI, 0x67 },
	{ SDL_SCANCODE_APPLICATION, 0x68 }
};

// The keys that type nothing, with the character the platform gives them.
struct keycode_char {
	SDL_Keycode			keycode;
	uint32				character;
};

const keycode_char kSpecialChars[] = {
	{ SDLK_RETURN, B_ENTER },
	{ SDLK_KP_ENTER, B_ENTER },
	{ SDLK_RETURN2, B_ENTER },
	{ SDLK_BACKSPACE, B_BACKSPACE },
	{ SDLK_TAB, B_TAB },
	{ SDLK_ESCAPE, B_ESCAPE },
	{ SDLK_LEFT, B_LEFT_ARROW },
	{ SDLK_RIGHT, B_RIGHT_ARROW },
	{ SDLK_UP, B_UP_ARROW },
	{ SDLK_DOWN, B_DOWN_ARROW },
	{ SDLK_INSERT, B_INSERT },
	{ SDLK_DELETE, B_DELETE },
	{ SDLK_HOME, B_HOME },
	{ SDLK_END, B_END },
	{ SDLK_PAGEUP, B_PAGE_UP },
	{ SDLK_PAGEDOWN, B_PAGE_DOWN },
	{ SDLK_PRINTSCREEN, B_FUNCTION_KEY },
	{ SDLK_SCROLLLOCK, B_FUNCTION_KEY },
	{ SDLK_PAUSE, B_FUNCTION_KEY }
};


// The character the key at this place types on a US keyboard without
// Shift, for the printing keys; 0 for the others.
char
us_char_for(SDL_Scancode scancode)
{
	if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z)
		return (char)('a' + (scancode - SDL_SCANCODE_A));
	if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9)
		return (char)('1' + (scancode - SDL_SCANCODE_1));
	switch (scancode) {
		case SDL_SCANCODE_0: return '0';
		case SDL_SCANCODE_MINUS: return '-';
		case SDL_SCANCODE_EQUALS: return '=';
		case SDL_SCANCODE_LEFTBRACKET: return '[';
		case SDL_SCANCODE_RIGHTBRACKET: return ']';
		case SDL_SCANCODE_BACKSLASH: return '\\';
		case SDL_SCANCODE_SEMICOLON: return ';';
		case SDL_SCANCODE_APOSTROPHE: return '\'';
		case SDL_SCANCODE_GRAVE: return '`';
		case SDL_SCANCODE_COMMA: return ',';
		case SDL_SCANCODE_PERIOD: return '.';
		case SDL_SCANCODE_SLASH: return '/';
		default: return 0;
	}
}


bool
is_modifier_key(SDL_Keycode keycode)
{
	switch (keycode) {
		case SDLK_LSHIFT: case SDLK_RSHIFT:
		case SDLK_LCTRL: case SDLK_RCTRL:
		case SDLK_LALT: case SDLK_RALT:
		case SDLK_LGUI: case SDLK_RGUI:
		case SDLK_CAPSLOCK: case SDLK_NUMLOCKCLEAR:
		case SDLK_MODE:
			return true;
		default:
			return false;
	}
}


std::string
utf8_of(uint32 codePoint)
{
	std::string text;
	if (codePoint < 0x80) {
		text += (char)codePoint;
	} else if (codePoint < 0x800) {
		text += (char)(0xc0 | (codePoint >> 6));
		text += (char)(0x80 | (codePoint & 0x3f));
	} else if (codePoint < 0x10000) {
		text += (char)(0xe0 | (codePoint >> 12));
		text += (char)(0x80 | ((codePoint >> 6) & 0x3f));
		text += (char)(0x80 | (codePoint & 0x3f));
	} else if (codePoint <= 0x10ffff) {
		text += (char)(0xf0 | (codePoint >> 18));
		text += (char)(0x80 | ((codePoint >> 12) & 0x3f));
		text += (char)(0x80 | ((codePoint >> 6) & 0x3f));
		text += (char)(0x80 | (codePoint & 0x3f));
	}
	return text;
}


uint32
button_for(uint8 sdlButton)
{
	switch (sdlButton) {
		case SDL_BUTTON_LEFT: return B_PRIMARY_MOUSE_BUTTON;
		case SDL_BUTTON_RIGHT: return B_SECONDARY_MOUSE_BUTTON;
		case SDL_BUTTON_MIDDLE: return B_TERTIARY_MOUSE_BUTTON;
		case SDL_BUTTON_X1: return 0x08;
		case SDL_BUTTON_X2: return 0x10;
		default: return 0;
	}
}


uint32
buttons_for(uint32 sdlState)
{
	uint32 buttons = 0;
	for (uint8 button = SDL_BUTTON_LEFT; button <= SDL_BUTTON_X2; button++) {
		if ((sdlState & SDL_BUTTON(button)) != 0)
			buttons |= button_for(button);
	}
	return buttons;
}


// The byte offset of the character a composition's offset counts to;
// the text's end for a negative offset or one past it.
int32
utf8_offset_of(const char* text, int32 length, int32 characters)
{
	if (characters < 0)
		return length;
	int32 at = 0;
	while (characters > 0 && at < length) {
		uint32 codePoint;
		at += DecodeUTF8(text + at, length - at, codePoint);
		characters--;
	}
	return std::min(at, length);
}


// How far apart on the screen two presses may be and still make a double
// click: SDL's setting where the user gave one, otherwise the distance
// the desktops' own toolkits use.
float
double_click_distance()
{
	const float kDefaultDistance = 5;
	const char* hint = SDL_GetHint(SDL_HINT_MOUSE_DOUBLE_CLICK_RADIUS);
	if (hint == NULL || hint[0] == '\0')
		return kDefaultDistance;
	char* end;
	long distance = strtol(hint, &end, 10);
	return *end == '\0' && distance >= 0 && distance < 1000
		? (float)distance : kDefaultDistance;
}

}	// namespace


SdlInput::Screen::~Screen()
{
}


SdlInput::SdlInput(Screen& screen)
	:
	fScreen(screen),
	fModifiers(0),
	fRepeat(0),
	fButtons(0),
	fClickWindow(0),
	fClickButton(0),
	fClicks(0),
	fComposing(false),
	fComposingWindow(0),
	fEchoExpected(false),
	fEchoDeadline(0),
	fDropping(false),
	fDropWindow(0)
{
}


uint32
SdlInput::ModifiersFor(uint16 sdlModifiers)
{
	struct bit { uint16 sdl; uint32 ours; };
	static const bit kBits[] = {
		{ KMOD_SHIFT, B_SHIFT_KEY },
		{ KMOD_LSHIFT, B_LEFT_SHIFT_KEY },
		{ KMOD_RSHIFT, B_RIGHT_SHIFT_KEY },
		{ KMOD_CTRL, B_COMMAND_KEY },
		{ KMOD_LCTRL, B_LEFT_COMMAND_KEY },
		{ KMOD_RCTRL, B_RIGHT_COMMAND_KEY },
		{ KMOD_ALT, B_OPTION_KEY },
		{ KMOD_LALT, B_LEFT_OPTION_KEY },
		{ KMOD_RALT, B_RIGHT_OPTION_KEY },
		{ KMOD_CAPS, B_CAPS_LOCK },
		{ KMOD_NUM, B_NUM_LOCK },
		{ KMOD_SCROLL, B_SCROLL_LOCK }
	};
	uint32 modifiers = 0;
	for (const bit& entry : kBits) {
		if ((sdlModifiers & entry.sdl) != 0)
			modifiers |= entry.ours;
	}
	return modifiers;
}


int32
SdlInput::KeyFor(SDL_Scancode scancode)
{
	char character = us_char_for(scancode);
	if (character != 0)
		return key_for_char((uint8)character).key;
	if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12)
		return key_for_function_key(scancode - SDL_SCANCODE_F1 + 1);
	for (const scancode_key& entry : kOtherKeys) {
		if (entry.scancode == scancode)
			return entry.key;
	}
	// The keys that have a character of their own in KeyMap.
	switch (scancode) {
		case SDL_SCANCODE_RETURN: return key_for_char(B_ENTER).key;
		case SDL_SCANCODE_ESCAPE: return key_for_char(B_ESCAPE).key;
		case SDL_SCANCODE_BACKSPACE: return key_for_char(B_BACKSPACE).key;
		case SDL_SCANCODE_TAB: return key_for_char(B_TAB).key;
		case SDL_SCANCODE_SPACE: return key_for_char(B_SPACE).key;
		case SDL_SCANCODE_INSERT: return key_for_char(B_INSERT).key;
		case SDL_SCANCODE_HOME: return key_for_char(B_HOME).key;
		case SDL_SCANCODE_PAGEUP: return key_for_char(B_PAGE_UP).key;
		case SDL_SCANCODE_DELETE: return key_for_char(B_DELETE).key;
		case SDL_SCANCODE_END: return key_for_char(B_END).key;
		case SDL_SCANCODE_PAGEDOWN: return key_for_char(B_PAGE_DOWN).key;
		case SDL_SCANCODE_LEFT: return key_for_char(B_LEFT_ARROW).key;
		case SDL_SCANCODE_RIGHT: return key_for_char(B_RIGHT_ARROW).key;
		case SDL_SCANCODE_UP: return key_for_char(B_UP_ARROW).key;
		case SDL_SCANCODE_DOWN: return key_for_char(B_DOWN_ARROW).key;
		default: return 0;
	}
}


uint32
SdlInput::SpecialCharFor(SDL_Keycode keycode)
{
	if ((keycode >= SDLK_F1 && keycode <= SDLK_F12)
		|| (keycode >= SDLK_F13 && keycode <= SDLK_F24)) {
		return B_FUNCTION_KEY;
	}
	for (const keycode_char& entry : kSpecialChars) {
		if (entry.keycode == keycode)
			return entry.character;
	}
	return 0;
}


void
SdlInput::Translate(const SDL_Event& event, std::deque<ServerEvent>& _events)
{
	switch (event.type) {
		case SDL_KEYDOWN:
			_KeyDown(event.key, _events);
			break;
		case SDL_KEYUP:
			_KeyUp(event.key, _events);
			break;
		case SDL_TEXTINPUT:
			_Text(event.text, _events);
			break;
		case SDL_TEXTEDITING:
			_Editing(event.edit.windowID, event.edit.text,
				(int32)strnlen(event.edit.text, sizeof(event.edit.text)),
				event.edit.start, event.edit.length, _events);
			break;
		case SDL_TEXTEDITING_EXT:
			_Editing(event.editExt.windowID, event.editExt.text,
				event.editExt.text != NULL
					? (int32)strlen(event.editExt.text) : 0,
				event.editExt.start, event.editExt.length, _events);
			break;
		case SDL_MOUSEMOTION:
		case SDL_MOUSEBUTTONDOWN:
		case SDL_MOUSEBUTTONUP:
			_Mouse(event, _events);
			break;
		case SDL_MOUSEWHEEL:
			_Wheel(event.wheel, _events);
			break;
		case SDL_WINDOWEVENT:
			_WindowEvent(event.window, _events);
			break;
		case SDL_DROPBEGIN:
		case SDL_DROPFILE:
		case SDL_DROPCOMPLETE:
			_Drop(event.drop, _events);
			break;
	}
}


void
SdlInput::ExpectSize(int32 window, int32 width, int32 height)
{
	Expectation& expected = fExpected[window];
	expected.size = true;
	expected.width = width;
	expected.height = height;
}


void
SdlInput::ExpectPosition(int32 window, int32 x, int32 y)
{
	Expectation& expected = fExpected[window];
	expected.position = true;
	expected.x = x;
	expected.y = y;
}


void
SdlInput::ForgetWindow(int32 window)
{
	fExpected.erase(window);
	fPointer.erase(window);
	if (fComposingWindow == window) {
		fComposing = false;
		fComposingWindow = 0;
	}
}


void
SdlInput::CompositionStopped(int32 window, uint32 ticks)
{
	if (!fComposing || window != fComposingWindow)
		return;
	fComposing = false;
	fEchoExpected = true;
	fEchoText = fComposedText;
	fEchoDeadline = ticks + kEchoMilliseconds;
}


// #pragma mark - Keys


// Bare modifier keys and keys for windows that are gone make no event.
int32
SdlInput::_KeyWindow(const SDL_KeyboardEvent& key)
{
	if (is_modifier_key(key.keysym.sym))
		return 0;
	return fScreen.WindowForSdlID(key.windowID);
}


void
SdlInput::_KeyDown(const SDL_KeyboardEvent& key,
	std::deque<ServerEvent>& _events)
{
	fModifiers = ModifiersFor(key.keysym.mod);
	fRepeat = key.repeat != 0 ? fRepeat + 1 : 0;
	fPending.valid = false;
	// A key the input method let through: the person has moved on.
	fEchoExpected = false;

	int32 window = _KeyWindow(key);
	if (window == 0)
		return;
	int32 code = KeyFor(key.keysym.scancode);
	SDL_Keycode keycode = key.keysym.sym;

	uint32 special = SpecialCharFor(keycode);
	if (special != 0) {
		_events.emplace_back(window, KeyDownEvent(
			std::string(1, (char)special), code, fModifiers, (int32)special,
			fRepeat));
		return;
	}

	if ((fModifiers & (B_COMMAND_KEY | B_OPTION_KEY)) != 0) {
		std::string bytes = _ShortcutBytes(keycode, fModifiers);
		if (bytes.empty())
			return;
		_events.emplace_back(window, KeyDownEvent(bytes, code, fModifiers,
			(int32)keycode, fRepeat));
		return;
	}

	// The text this press types comes as its own event.
	fPending.valid = true;
	fPending.key = code;
	fPending.rawChar = keycode > 0 && keycode < 0x80 ? (int32)keycode : 0;
	fPending.modifiers = fModifiers;
	fPending.repeat = fRepeat;
	fPending.ticks = key.timestamp;
}


void
SdlInput::_KeyUp(const SDL_KeyboardEvent& key,
	std::deque<ServerEvent>& _events)
{
	fModifiers = ModifiersFor(key.keysym.mod);
	fRepeat = 0;

	int32 window = _KeyWindow(key);
	if (window == 0)
		return;
	int32 code = KeyFor(key.keysym.scancode);
	SDL_Keycode keycode = key.keysym.sym;
	uint32 special = SpecialCharFor(keycode);
	if (special != 0) {
		_events.emplace_back(window, KeyUpEvent(std::string(1, (char)special),
			code, fModifiers, (int32)special, 0));
	} else {
		_events.emplace_back(window, KeyUpEvent(
			_ShortcutBytes(keycode, fModifiers), code, fModifiers,
			(int32)keycode, 0));
	}
}


void
SdlInput::_Text(const SDL_TextInputEvent& text,
	std::deque<ServerEvent>& _events)
{
	// A press whose text never came (a dead key) is no press of this.
	const uint32 kPressTextMilliseconds = 100;
	if (fComposing && fPending.valid
		&& text.timestamp - fPending.ticks <= kPressTextMilliseconds) {
		// The text of a press during a composition: SDL hands a key on
		// when the input method is slow to answer for it, and the method
		// has it too.
		fPending.valid = false;
		return;
	}
	if (fComposing) {
		// The input method typed what it composed, whatever the
		// modifiers and wherever the keyboard went meanwhile.
		fComposing = false;
		int32 window = fComposingWindow;
		std::string committed(text.text, strnlen(text.text,
			sizeof(text.text)));
		if (window != 0 && !committed.empty())
			_events.emplace_back(window, InputMethodCommitEvent(committed));
		return;
	}
	if (_IsEcho(text.text, text.timestamp))
		return;

	// Ctrl or Alt made the press a shortcut; the text is not typed.
	if ((fModifiers & (B_COMMAND_KEY | B_OPTION_KEY)) != 0) {
		fPending.valid = false;
		return;
	}
	int32 window = fScreen.WindowForSdlID(text.windowID);
	if (window == 0)
		return;

	// An input method may commit several characters at once: each is a
	// key of its own, and only the first was a press of this key.
	const char* next = text.text;
	int32 left = (int32)strnlen(text.text, sizeof(text.text));
	while (left > 0) {
		uint32 codePoint;
		int32 length = DecodeUTF8(next, left, codePoint);
		std::string bytes(next, length);
		if (fPending.valid) {
			_events.emplace_back(window, KeyDownEvent(bytes, fPending.key,
				fPending.modifiers, fPending.rawChar, fPending.repeat));
			fPending.valid = false;
		} else {
			_events.emplace_back(window, KeyDownEvent(bytes, 0, fModifiers,
				codePoint < 0x80 ? (int32)codePoint : 0, 0));
		}
		next += length;
		left -= length;
	}
}


void
SdlInput::_Editing(uint32 sdlID, const char* text, int32 textLength,
	int32 start, int32 length, std::deque<ServerEvent>& _events)
{
	int32 window = fScreen.WindowForSdlID(sdlID);
	if (window == 0)
		window = fComposingWindow;
	if (text == NULL || textLength <= 0) {
		// The composition ended without anything typed.
		if (fComposing && window != 0)
			_events.emplace_back(window, InputMethodComposeEvent("", 0, 0));
		fComposing = false;
		return;
	}
	if (window == 0)
		return;
	fEchoExpected = false;
	fComposing = true;
	fComposingWindow = window;
	fComposedText.assign(text, textLength);

	int32 selectionStart = utf8_offset_of(text, textLength, start);
	int32 selectionEnd = length > 0
		? utf8_offset_of(text, textLength, std::max(start, 0) + length)
		: selectionStart;
	_events.emplace_back(window, InputMethodComposeEvent(fComposedText,
		selectionStart, selectionEnd));
}


bool
SdlInput::_IsEcho(const char* text, uint32 ticks)
{
	if (!fEchoExpected)
		return false;
	// SDL cuts a long text into several events.
	size_t length = strnlen(text, SDL_TEXTINPUTEVENT_TEXT_SIZE);
	// SDL's ticks wrap after 49 days; their difference does not.
	if ((int32)(fEchoDeadline - ticks) < 0 || length == 0
		|| fEchoText.compare(0, length, text, length) != 0) {
		fEchoExpected = false;
		return false;
	}
	fEchoText.erase(0, length);
	fEchoExpected = !fEchoText.empty();
	return true;
}


std::string
SdlInput::_ShortcutBytes(SDL_Keycode keycode, uint32 modifiers)
{
	if (keycode <= 0 || (keycode & SDLK_SCANCODE_MASK) != 0)
		return std::string();
	if (keycode < 0x80) {
		if (!isprint((int)keycode))
			return std::string();
		char character = (char)keycode;
		if ((modifiers & B_SHIFT_KEY) != 0)
			character = (char)toupper((int)character);
		return std::string(1, character);
	}
	return utf8_of((uint32)keycode);
}


// #pragma mark - The mouse


int32
SdlInput::_MouseTarget(uint32 sdlID, BPoint& _where)
{
	int32 window = fScreen.WindowForSdlID(sdlID);
	BPoint leftTop;
	if (window == 0 || !fScreen.WindowLeftTop(window, leftTop))
		return window;

	BPoint onScreen = _where + leftTop;
	int32 under = fScreen.WindowAt(onScreen);
	if (under == 0 || under == window)
		return window;
	if (!fScreen.IsMenuWindow(under) && !fScreen.IsMenuOpen())
		return window;
	BPoint underLeftTop;
	if (!fScreen.WindowLeftTop(under, underLeftTop))
		return window;
	_where = onScreen - underLeftTop;
	return under;
}


void
SdlInput::_Mouse(const SDL_Event& sdlEvent, std::deque<ServerEvent>& _events)
{
	uint32 sdlID;
	BPoint where;
	if (sdlEvent.type == SDL_MOUSEMOTION) {
		const SDL_MouseMotionEvent& motion = sdlEvent.motion;
		if (motion.which == SDL_TOUCH_MOUSEID)
			return;
		sdlID = motion.windowID;
		where = BPoint(motion.x, motion.y);
		fButtons = buttons_for(motion.state);
	} else {
		const SDL_MouseButtonEvent& button = sdlEvent.button;
		if (button.which == SDL_TOUCH_MOUSEID)
			return;
		sdlID = button.windowID;
		where = BPoint(button.x, button.y);
		if (sdlEvent.type == SDL_MOUSEBUTTONDOWN)
			fButtons |= button_for(button.button);
		else
			fButtons &= ~button_for(button.button);
	}

	int32 window = _MouseTarget(sdlID, where);
	if (window == 0)
		return;
	fPointer[window] = where;
	if (sdlEvent.type == SDL_MOUSEMOTION)
		_events.emplace_back(window, MouseMovedEvent(where, fButtons,
			fModifiers));
	else if (sdlEvent.type == SDL_MOUSEBUTTONDOWN) {
		int32 clicks = _CountClicks(window,
			button_for(sdlEvent.button.button), where,
			sdlEvent.button.clicks);
		_events.emplace_back(window, MouseDownEvent(where, fButtons,
			fModifiers, clicks));
	} else {
		_events.emplace_back(window, MouseUpEvent(where, fButtons,
			fModifiers));
	}
}


int32
SdlInput::_CountClicks(int32 window, uint32 button, BPoint where,
	int32 sdlClicks)
{
	BPoint leftTop;
	BPoint onScreen = fScreen.WindowLeftTop(window, leftTop)
		? where + leftTop : where;
	float distance = double_click_distance();
	bool again = sdlClicks > 1 && fClicks > 0 && window == fClickWindow
		&& button == fClickButton
		&& fabsf(onScreen.x - fClickPoint.x) <= distance
		&& fabsf(onScreen.y - fClickPoint.y) <= distance;
	fClicks = again ? std::min(fClicks + 1, sdlClicks) : 1;
	fClickWindow = window;
	fClickButton = button;
	fClickPoint = onScreen;
	return fClicks;
}


void
SdlInput::_Wheel(const SDL_MouseWheelEvent& wheel,
	std::deque<ServerEvent>& _events)
{
	if (wheel.which == SDL_TOUCH_MOUSEID)
		return;
	BPoint where(wheel.mouseX, wheel.mouseY);
	int32 window = _MouseTarget(wheel.windowID, where);
	if (window == 0 || (wheel.x == 0 && wheel.y == 0))
		return;
	// SDL counts up as positive, the platform down; a "natural"
	// direction reports both turned round.
	float direction = wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -1 : 1;
	_events.emplace_back(window, MouseWheelEvent(direction * wheel.x,
		-direction * wheel.y, fModifiers));
}


// #pragma mark - Windows and drops


// Whether the keyboard leaves a window for one of our menus, as on
// Wayland, where a menu is a toplevel that the compositor gives the
// keyboard when it maps: the focus SDL has already queued after the
// loss goes to a menu window.
bool
SdlInput::_FocusGoesToMenu()
{
	if (!fScreen.IsMenuOpen())
		return false;
	SDL_Event queued[16];
	int count = SDL_PeepEvents(queued, 16, SDL_PEEKEVENT, SDL_WINDOWEVENT,
		SDL_WINDOWEVENT);
	for (int i = 0; i < count; i++) {
		const SDL_WindowEvent& next = queued[i].window;
		if (next.event == SDL_WINDOWEVENT_FOCUS_GAINED)
			return fScreen.IsMenuWindow(fScreen.WindowForSdlID(next.windowID));
	}
	return false;
}


void
SdlInput::_WindowEvent(const SDL_WindowEvent& windowEvent,
	std::deque<ServerEvent>& _events)
{
	int32 window = fScreen.WindowForSdlID(windowEvent.windowID);
	if (window == 0)
		return;

	switch (windowEvent.event) {
		case SDL_WINDOWEVENT_CLOSE:
			_events.emplace_back(window, CloseRequestedEvent());
			break;

		case SDL_WINDOWEVENT_FOCUS_GAINED:
		case SDL_WINDOWEVENT_FOCUS_LOST:
			// A menu window never has the keyboard; should a window
			// manager give it, the window that opened the menu keeps it.
			if (fScreen.IsMenuWindow(window))
				break;
			if (windowEvent.event == SDL_WINDOWEVENT_FOCUS_LOST
				&& _FocusGoesToMenu()) {
				break;
			}
			_events.emplace_back(window, ActivatedEvent(
				windowEvent.event == SDL_WINDOWEVENT_FOCUS_GAINED));
			break;

		case SDL_WINDOWEVENT_LEAVE:
		{
			auto found = fPointer.find(window);
			BPoint where = found != fPointer.end() ? found->second : BPoint();
			_events.emplace_back(window, MouseExitedEvent(where, fButtons,
				fModifiers));
			break;
		}

		case SDL_WINDOWEVENT_MOVED:
		{
			Expectation& expected = fExpected[window];
			bool ours = expected.position && expected.x == windowEvent.data1
				&& expected.y == windowEvent.data2;
			expected.position = false;
			if (ours)
				break;
			_events.emplace_back(window, MovedEvent(
				BPoint(windowEvent.data1, windowEvent.data2)));
			break;
		}

		case SDL_WINDOWEVENT_SIZE_CHANGED:
		{
			Expectation& expected = fExpected[window];
			bool ours = expected.size && expected.width == windowEvent.data1
				&& expected.height == windowEvent.data2;
			expected.size = false;
			if (!ours && windowEvent.data1 > 0 && windowEvent.data2 > 0) {
				_events.emplace_back(window, ResizedEvent(
					windowEvent.data1 - 1, windowEvent.data2 - 1));
			}
			// The screen's copy of the window is gone with its old size;
			// the last frame fills the new one until the window draws.
			_events.emplace_back(window, ExposedEvent());
			break;
		}

		case SDL_WINDOWEVENT_EXPOSED:
			_events.emplace_back(window, ExposedEvent());
			break;
	}
}


void
SdlInput::_Drop(const SDL_DropEvent& drop, std::deque<ServerEvent>& _events)
{
	if (drop.type == SDL_DROPBEGIN) {
		fDropping = true;
		fDropWindow = drop.windowID;
		fDroppedPaths.clear();
		return;
	}
	if (drop.type == SDL_DROPFILE) {
		// A file that comes without a begin is a drop of its own.
		bool alone = !fDropping;
		if (alone) {
			fDropWindow = drop.windowID;
			fDroppedPaths.clear();
		}
		if (drop.file != NULL && drop.file[0] != '\0')
			fDroppedPaths.push_back(drop.file);
		if (!alone)
			return;
	}

	fDropping = false;
	std::vector<std::string> paths;
	paths.swap(fDroppedPaths);
	if (paths.empty())
		return;

	// SDL says nothing of where the files were let go: the pointer is
	// there now.
	BPoint pointer = fScreen.PointerOnScreen();
	int32 window = fScreen.WindowAt(pointer);
	if (window == 0)
		window = fScreen.WindowForSdlID(fDropWindow);
	BPoint leftTop;
	if (window == 0 || !fScreen.WindowLeftTop(window, leftTop))
		return;

	_events.emplace_back(window, FilesDroppedEvent(pointer - leftTop,
		std::move(paths)));
}


}	// namespace BPrivate
