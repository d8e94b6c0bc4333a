/*
 * What the SDL backend makes of SDL's events, without a screen:
 * - a printing key becomes one key-down when its text arrives, with the
 *   press's key code, raw character and modifiers; Shift gives the
 *   capital with the small letter as raw character;
 * - Ctrl is Command and Alt is Option: a letter pressed with either is a
 *   key-down from the press, and the text SDL may send after it is not
 *   typed; AltGr's text is typed;
 * - keys that type nothing give the platform's characters and key codes;
 *   bare modifier keys give no key event; repeats are counted;
 * - an input method's text without a press is a key-down a character;
 * - mouse buttons are held and let go in "buttons", clicks are counted:
 *   a double click is two presses of one button in one window, near each
 *   other on the screen, that SDL counts as one after the other;
 *   the wheel turns the platform's way round; while a menu is open the
 *   pointer's events go to the window under it, otherwise they stay with
 *   the window SDL names;
 * - close, focus (never for a menu window), leave, moves and resizes,
 *   with the program's own moves and resizes not reported back, and an
 *   exposure after every size change;
 * - a drop's files are one event, at the pointer, for the window under
 *   it; an empty drop is nothing;
 * - events for windows we do not know are dropped.
 */
#include "SdlInput.h"

#include <InterfaceDefs.h>

#include <gtest/gtest.h>

#include <map>
#include <type_traits>
#include <variant>

using namespace BPrivate;

namespace {

// What the tests read of an event. Each checks the type it asks for:
// an event of another type fails the test and reads as zeroes.
const KeyEvent&
key_of(const ServerEvent& event)
{
	static const KeyEvent kNone("", 0, 0, 0, 0);
	if (const KeyDownEvent* down = event.As<KeyDownEvent>())
		return *down;
	if (const KeyUpEvent* up = event.As<KeyUpEvent>())
		return *up;
	ADD_FAILURE() << "not a key event";
	return kNone;
}


const PointerEvent&
pointer_of(const ServerEvent& event)
{
	static const PointerEvent kNone(BPoint(), 0, 0);
	const PointerEvent* pointer = NULL;
	std::visit([&pointer](const auto& what) {
			using Type = std::decay_t<decltype(what)>;
			if constexpr (std::is_base_of_v<PointerEvent, Type>)
				pointer = &what;
		}, event.what);
	if (pointer == NULL) {
		ADD_FAILURE() << "not a pointer event";
		return kNone;
	}
	return *pointer;
}


// The point of a pointer event, a move or a drop.
BPoint
where_of(const ServerEvent& event)
{
	if (const MovedEvent* moved = event.As<MovedEvent>())
		return moved->where;
	if (const FilesDroppedEvent* drop = event.As<FilesDroppedEvent>())
		return drop->where;
	return pointer_of(event).where;
}


// An event of the type with every field zero.
template<typename Type> Type none_of();
template<> MouseDownEvent
none_of() { return MouseDownEvent(BPoint(), 0, 0, 0); }
template<> MouseWheelEvent
none_of() { return MouseWheelEvent(0, 0, 0); }
template<> ActivatedEvent
none_of() { return ActivatedEvent(false); }
template<> ResizedEvent
none_of() { return ResizedEvent(0, 0); }
template<> FilesDroppedEvent
none_of() { return FilesDroppedEvent(BPoint(), {}); }


template<typename Type>
Type
as(const ServerEvent& event)
{
	if (const Type* typed = event.As<Type>())
		return *typed;
	ADD_FAILURE() << "the event is of another type";
	return none_of<Type>();
}


// Two ordinary windows and a menu window, with SDL ids that do not
// follow ours.
class FakeScreen : public SdlInput::Screen {
public:
	struct Place {
		int32	id;
		BRect	frame;
		bool	menu;
		bool	shown;
	};

	FakeScreen()
	{
		fPlaces[40] = Place{ 2, BRect(100, 100, 499, 399), false, true };
		fPlaces[41] = Place{ 1, BRect(600, 100, 899, 299), false, true };
		fPlaces[42] = Place{ 7, BRect(150, 130, 249, 229), true, false };
	}

	int32 WindowForSdlID(uint32 sdlID) override
	{
		auto found = fPlaces.find(sdlID);
		return found != fPlaces.end() ? found->second.id : 0;
	}

	bool WindowLeftTop(int32 window, BPoint& _leftTop) override
	{
		for (auto& entry : fPlaces) {
			if (entry.second.id == window) {
				_leftTop = entry.second.frame.LeftTop();
				return true;
			}
		}
		return false;
	}

	int32 WindowAt(BPoint point) override
	{
		int32 best = 0;
		for (auto& entry : fPlaces) {
			const Place& place = entry.second;
			if (place.shown && place.frame.Contains(point)
				&& (best == 0 || place.menu)) {
				best = place.id;
			}
		}
		return best;
	}

	bool IsMenuWindow(int32 window) override { return window == 7; }
	bool IsMenuOpen() override { return fPlaces[42].shown; }
	BPoint PointerOnScreen() override { return fPointer; }

	std::map<uint32, Place>	fPlaces;
	BPoint					fPointer;
};


SDL_Event
key_event(uint32 type, SDL_Keycode keycode, SDL_Scancode scancode,
	uint16 modifiers = KMOD_NONE, uint8 repeat = 0, uint32 sdlWindow = 40)
{
	SDL_Event event;
	SDL_zero(event);
	event.type = type;
	event.key.windowID = sdlWindow;
	event.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
	event.key.repeat = repeat;
	event.key.keysym.sym = keycode;
	event.key.keysym.scancode = scancode;
	event.key.keysym.mod = modifiers;
	return event;
}


SDL_Event
text_event(const char* text, uint32 sdlWindow = 40)
{
	SDL_Event event;
	SDL_zero(event);
	event.type = SDL_TEXTINPUT;
	event.text.windowID = sdlWindow;
	strncpy(event.text.text, text, sizeof(event.text.text) - 1);
	return event;
}


SDL_Event
button_event(uint32 type, uint8 button, int x, int y, uint8 clicks = 1,
	uint32 sdlWindow = 40)
{
	SDL_Event event;
	SDL_zero(event);
	event.type = type;
	event.button.windowID = sdlWindow;
	event.button.button = button;
	event.button.clicks = clicks;
	event.button.x = x;
	event.button.y = y;
	return event;
}


SDL_Event
motion_event(int x, int y, uint32 state = 0, uint32 sdlWindow = 40)
{
	SDL_Event event;
	SDL_zero(event);
	event.type = SDL_MOUSEMOTION;
	event.motion.windowID = sdlWindow;
	event.motion.x = x;
	event.motion.y = y;
	event.motion.state = state;
	return event;
}


SDL_Event
window_event(uint8 what, int32 data1 = 0, int32 data2 = 0,
	uint32 sdlWindow = 40)
{
	SDL_Event event;
	SDL_zero(event);
	event.type = SDL_WINDOWEVENT;
	event.window.windowID = sdlWindow;
	event.window.event = what;
	event.window.data1 = data1;
	event.window.data2 = data2;
	return event;
}


SDL_Event
drop_event(uint32 type, char* file = NULL, uint32 sdlWindow = 40)
{
	SDL_Event event;
	SDL_zero(event);
	event.type = type;
	event.drop.windowID = sdlWindow;
	event.drop.file = file;
	return event;
}


class SdlInputTest : public ::testing::Test {
protected:
	SdlInputTest() : fInput(fScreen) {}

	std::deque<ServerEvent> Feed(std::initializer_list<SDL_Event> events)
	{
		std::deque<ServerEvent> out;
		for (const SDL_Event& event : events)
			fInput.Translate(event, out);
		return out;
	}

	FakeScreen	fScreen;
	SdlInput	fInput;
};

}	// namespace


TEST_F(SdlInputTest, TypedTextCarriesItsPress)
{
	std::deque<ServerEvent> out = Feed({
		key_event(SDL_KEYDOWN, SDLK_a, SDL_SCANCODE_A),
		text_event("a") });
	ASSERT_EQ(out.size(), 1u);
	EXPECT_TRUE(out[0].Is<KeyDownEvent>());
	EXPECT_EQ(out[0].window, 2);
	EXPECT_EQ(key_of(out[0]).bytes, "a");
	EXPECT_EQ(key_of(out[0]).key, 0x3c);
	EXPECT_EQ(key_of(out[0]).rawChar, 'a');
	EXPECT_EQ(key_of(out[0]).modifiers, 0u);

	out = Feed({
		key_event(SDL_KEYDOWN, SDLK_a, SDL_SCANCODE_A, KMOD_LSHIFT),
		text_event("A") });
	ASSERT_EQ(out.size(), 1u);
	EXPECT_EQ(key_of(out[0]).bytes, "A");
	EXPECT_EQ(key_of(out[0]).rawChar, 'a');
	EXPECT_EQ(key_of(out[0]).modifiers, (uint32)(B_SHIFT_KEY | B_LEFT_SHIFT_KEY));

	// A layout's own letter: the text is what the layout typed.
	out = Feed({
		key_event(SDL_KEYDOWN, 0xe9, SDL_SCANCODE_2),
		text_event("\xc3\xa9") });
	ASSERT_EQ(out.size(), 1u);
	EXPECT_EQ(key_of(out[0]).bytes, "\xc3\xa9");
	EXPECT_EQ(key_of(out[0]).key, 0x13);
	EXPECT_EQ(key_of(out[0]).rawChar, 0);

	// The key going up reports its character as well.
	out = Feed({ key_event(SDL_KEYUP, SDLK_a, SDL_SCANCODE_A) });
	ASSERT_EQ(out.size(), 1u);
	EXPECT_TRUE(out[0].Is<KeyUpEvent>());
	EXPECT_EQ(key_of(out[0]).bytes, "a");
}


TEST_F(SdlInputTest, CtrlAndAltMakeShortcutsNotText)
{
	std::deque<ServerEvent> out = Feed({
		key_event(SDL_KEYDOWN, SDLK_LCTRL, SDL_SCANCODE_LCTRL, KMOD_LCTRL),
		key_event(SDL_KEYDOWN, SDLK_a, SDL_SCANCODE_A, KMOD_LCTRL),
		// Some input methods send the letter as text all the same.
		text_event("a") });
	ASSERT_EQ(out.size(), 1u);
	EXPECT_EQ(key_of(out[0]).bytes, "a");
	EXPECT_EQ(key_of(out[0]).rawChar, 'a');
	EXPECT_EQ(key_of(out[0]).key, 0x3c);
	EXPECT_EQ(key_of(out[0]).modifiers,
		(uint32)(B_COMMAND_KEY | B_LEFT_COMMAND_KEY));

	out = Feed({ key_event(SDL_KEYDOWN, SDLK_c, SDL_SCANCODE_C,
		KMOD_RCTRL | KMOD_LSHIFT) });
	ASSERT_EQ(out.size(), 1u);
	EXPECT_EQ(key_of(out[0]).bytes, "C");
	EXPECT_EQ(key_of(out[0]).rawChar, 'c');
	EXPECT_EQ(key_of(out[0]).modifiers, (uint32)(B_COMMAND_KEY
		| B_RIGHT_COMMAND_KEY | B_SHIFT_KEY | B_LEFT_SHIFT_KEY));

	out = Feed({
		key_event(SDL_KEYDOWN, SDLK_x, SDL_SCANCODE_X, KMOD_LALT),
		text_event("x") });
	ASSERT_EQ(out.size(), 1u);
	EXPECT_EQ(key_of(out[0]).bytes, "x");
	EXPECT_EQ(key_of(out[0]).modifiers, (uint32)(B_OPTION_KEY | B_LEFT_OPTION_KEY));

	// Once Ctrl is up again, text is typing.
	out = Feed({
		key_event(SDL_KEYUP, SDLK_LCTRL, SDL_SCANCODE_LCTRL),
		key_event(SDL_KEYDOWN, SDLK_b, SDL_SCANCODE_B),
		text_event("b") });
	ASSERT_EQ(out.size(), 1u);
	EXPECT_EQ(key_of(out[0]).bytes, "b");
	EXPECT_EQ(key_of(out[0]).modifiers, 0u);

	// AltGr is how many layouts type "@": that is text.
	out = Feed({
		key_event(SDL_KEYDOWN, SDLK_q, SDL_SCANCODE_Q, KMOD_MODE),
		text_event("@") });
	ASSERT_EQ(out.size(), 1u);
	EXPECT_EQ(key_of(out[0]).bytes, "@");
}


TEST_F(SdlInputTest, KeysThatTypeNothing)
{
	struct expected_key {
		SDL_Keycode		keycode;
		SDL_Scancode	scancode;
		uint8			character;
		int32			key;
	};
	const expected_key kKeys[] = {
		{ SDLK_LEFT, SDL_SCANCODE_LEFT, B_LEFT_ARROW, 0x61 },
		{ SDLK_RIGHT, SDL_SCANCODE_RIGHT, B_RIGHT_ARROW, 0x63 },
		{ SDLK_UP, SDL_SCANCODE_UP, B_UP_ARROW, 0x57 },
		{ SDLK_DOWN, SDL_SCANCODE_DOWN, B_DOWN_ARROW, 0x62 },
		{ SDLK_BACKSPACE, SDL_SCANCODE_BACKSPACE, B_BACKSPACE, 0x1e },
		{ SDLK_RETURN, SDL_SCANCODE_RETURN, B_ENTER, 0x47 },
		{ SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER, B_ENTER, 0x5b },
		{ SDLK_TAB, SDL_SCANCODE_TAB, B_TAB, 0x26 },
		{ SDLK_ESCAPE, SDL_SCANCODE_ESCAPE, B_ESCAPE, 0x01 },
		{ SDLK_DELETE, SDL_SCANCODE_DELETE, B_DELETE, 0x34 },
		{ SDLK_HOME, SDL_SCANCODE_HOME, B_HOME, 0x20 },
		{ SDLK_END, SDL_SCANCODE_END, B_END, 0x35 },
		{ SDLK_PAGEUP, SDL_SCANCODE_PAGEUP, B_PAGE_UP, 0x21 },
		{ SDLK_PAGEDOWN, SDL_SCANCODE_PAGEDOWN, B_PAGE_DOWN, 0x36 },
		{ SDLK_F5, SDL_SCANCODE_F5, B_FUNCTION_KEY, B_F5_KEY },
		{ SDLK_F12, SDL_SCANCODE_F12, B_FUNCTION_KEY, B_F12_KEY }
	};
	for (const expected_key& expected : kKeys) {
		SCOPED_TRACE(expected.keycode);
		std::deque<ServerEvent> out = Feed({ key_event(SDL_KEYDOWN,
			expected.keycode, expected.scancode, KMOD_LSHIFT) });
		ASSERT_EQ(out.size(), 1u);
		EXPECT_EQ(key_of(out[0]).bytes, std::string(1, (char)expected.character));
		EXPECT_EQ(key_of(out[0]).rawChar, expected.character);
		EXPECT_EQ(key_of(out[0]).key, expected.key);
		EXPECT_EQ(key_of(out[0]).modifiers, (uint32)(B_SHIFT_KEY | B_LEFT_SHIFT_KEY));
	}

	// Arrows with Ctrl stay arrows.
	std::deque<ServerEvent> out = Feed({ key_event(SDL_KEYDOWN, SDLK_LEFT,
		SDL_SCANCODE_LEFT, KMOD_LCTRL) });
	ASSERT_EQ(out.size(), 1u);
	EXPECT_EQ(key_of(out[0]).bytes, std::string(1, (char)B_LEFT_ARROW));

	// Modifier keys alone type nothing and are no key event.
	out = Feed({
		key_event(SDL_KEYDOWN, SDLK_LSHIFT, SDL_SCANCODE_LSHIFT, KMOD_LSHIFT),
		key_event(SDL_KEYDOWN, SDLK_RALT, SDL_SCANCODE_RALT, KMOD_RALT),
		key_event(SDL_KEYUP, SDLK_RALT, SDL_SCANCODE_RALT) });
	EXPECT_TRUE(out.empty());
}


TEST_F(SdlInputTest, RepeatsAreCounted)
{
	std::deque<ServerEvent> out = Feed({
		key_event(SDL_KEYDOWN, SDLK_BACKSPACE, SDL_SCANCODE_BACKSPACE),
		key_event(SDL_KEYDOWN, SDLK_BACKSPACE, SDL_SCANCODE_BACKSPACE,
			KMOD_NONE, 1),
		key_event(SDL_KEYDOWN, SDLK_BACKSPACE, SDL_SCANCODE_BACKSPACE,
			KMOD_NONE, 1),
		key_event(SDL_KEYUP, SDLK_BACKSPACE, SDL_SCANCODE_BACKSPACE),
		key_event(SDL_KEYDOWN, SDLK_x, SDL_SCANCODE_X),
		text_event("x"),
		key_event(SDL_KEYDOWN, SDLK_x, SDL_SCANCODE_X, KMOD_NONE, 1),
		text_event("x") });
	ASSERT_EQ(out.size(), 6u);
	EXPECT_EQ(key_of(out[0]).repeat, 0);
	EXPECT_EQ(key_of(out[1]).repeat, 1);
	EXPECT_EQ(key_of(out[2]).repeat, 2);
	EXPECT_TRUE(out[3].Is<KeyUpEvent>());
	EXPECT_EQ(key_of(out[4]).repeat, 0);
	EXPECT_EQ(key_of(out[5]).repeat, 1);
	EXPECT_EQ(key_of(out[5]).bytes, "x");
}


TEST_F(SdlInputTest, InputMethodTextIsOneKeyACharacter)
{
	// "日本" committed at once, then a character outside the BMP.
	std::deque<ServerEvent> out = Feed({
		text_event("\xe6\x97\xa5\xe6\x9c\xac"),
		text_event("\xf0\x9f\x99\x82") });
	ASSERT_EQ(out.size(), 3u);
	EXPECT_EQ(key_of(out[0]).bytes, "\xe6\x97\xa5");
	EXPECT_EQ(key_of(out[1]).bytes, "\xe6\x9c\xac");
	EXPECT_EQ(key_of(out[2]).bytes, "\xf0\x9f\x99\x82");
	for (const ServerEvent& event : out) {
		EXPECT_TRUE(event.Is<KeyDownEvent>());
		EXPECT_EQ(key_of(event).key, 0);
		EXPECT_EQ(key_of(event).rawChar, 0);
	}

	// Text for a window we do not know goes nowhere.
	out = Feed({ text_event("z", 99),
		key_event(SDL_KEYDOWN, SDLK_LEFT, SDL_SCANCODE_LEFT, 0, 0, 99) });
	EXPECT_TRUE(out.empty());
}


TEST_F(SdlInputTest, ButtonsClicksAndTheWheel)
{
	std::deque<ServerEvent> out = Feed({
		motion_event(10, 20),
		button_event(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 10, 20, 2),
		button_event(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 11, 20),
		button_event(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 12, 21),
		button_event(SDL_MOUSEBUTTONUP, SDL_BUTTON_RIGHT, 12, 21),
		motion_event(30, 40, SDL_BUTTON_MMASK) });
	ASSERT_EQ(out.size(), 6u);
	EXPECT_TRUE(out[0].Is<MouseMovedEvent>());
	EXPECT_EQ(where_of(out[0]), BPoint(10, 20));
	EXPECT_TRUE(out[1].Is<MouseDownEvent>());
	EXPECT_EQ(pointer_of(out[1]).buttons, (uint32)B_PRIMARY_MOUSE_BUTTON);
	// SDL's count alone makes no double click: no press came before.
	EXPECT_EQ(as<MouseDownEvent>(out[1]).clicks, 1);
	EXPECT_EQ(pointer_of(out[2]).buttons,
		(uint32)(B_PRIMARY_MOUSE_BUTTON | B_SECONDARY_MOUSE_BUTTON));
	EXPECT_TRUE(out[3].Is<MouseUpEvent>());
	EXPECT_EQ(pointer_of(out[3]).buttons, (uint32)B_SECONDARY_MOUSE_BUTTON);
	EXPECT_EQ(pointer_of(out[4]).buttons, 0u);
	EXPECT_EQ(pointer_of(out[5]).buttons, (uint32)B_TERTIARY_MOUSE_BUTTON);

	SDL_Event wheel;
	SDL_zero(wheel);
	wheel.type = SDL_MOUSEWHEEL;
	wheel.wheel.windowID = 41;
	wheel.wheel.y = 1;
	wheel.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
	out = Feed({ wheel });
	ASSERT_EQ(out.size(), 1u);
	EXPECT_TRUE(out[0].Is<MouseWheelEvent>());
	EXPECT_EQ(out[0].window, 1);
	EXPECT_EQ(as<MouseWheelEvent>(out[0]).deltaY, -1);
	EXPECT_EQ(as<MouseWheelEvent>(out[0]).deltaX, 0);

	wheel.wheel.y = 0;
	wheel.wheel.x = -2;
	wheel.wheel.direction = SDL_MOUSEWHEEL_FLIPPED;
	out = Feed({ wheel });
	ASSERT_EQ(out.size(), 1u);
	EXPECT_EQ(as<MouseWheelEvent>(out[0]).deltaX, 2);
	EXPECT_EQ(as<MouseWheelEvent>(out[0]).deltaY, 0);
}


TEST_F(SdlInputTest, ThePointerGoesToAnOpenMenu)
{
	// No menu: a drag over another window stays with the window it
	// started in, in that window's coordinates.
	std::deque<ServerEvent> out = Feed({
		motion_event(550, 50, SDL_BUTTON_LMASK) });
	ASSERT_EQ(out.size(), 1u);
	EXPECT_EQ(out[0].window, 2);
	EXPECT_EQ(where_of(out[0]), BPoint(550, 50));

	// With the menu shown over window 2, what is over the menu goes to
	// it, in its own coordinates.
	fScreen.fPlaces[42].shown = true;
	out = Feed({
		motion_event(60, 40, SDL_BUTTON_LMASK),
		button_event(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 60, 40) });
	ASSERT_EQ(out.size(), 2u);
	EXPECT_EQ(out[0].window, 7);
	EXPECT_EQ(where_of(out[0]), BPoint(10, 10));
	EXPECT_TRUE(out[1].Is<MouseUpEvent>());
	EXPECT_EQ(out[1].window, 7);

	// While it is open, another window under the pointer gets it too.
	out = Feed({ motion_event(550, 50) });
	ASSERT_EQ(out.size(), 1u);
	EXPECT_EQ(out[0].window, 1);
	EXPECT_EQ(where_of(out[0]), BPoint(50, 50));

	// Outside every window: the window SDL named.
	out = Feed({ motion_event(-50, -50) });
	ASSERT_EQ(out.size(), 1u);
	EXPECT_EQ(out[0].window, 2);
}


TEST_F(SdlInputTest, WindowEvents)
{
	std::deque<ServerEvent> out = Feed({
		window_event(SDL_WINDOWEVENT_CLOSE),
		window_event(SDL_WINDOWEVENT_FOCUS_GAINED),
		window_event(SDL_WINDOWEVENT_FOCUS_LOST, 0, 0, 41),
		window_event(SDL_WINDOWEVENT_FOCUS_GAINED, 0, 0, 42),
		window_event(SDL_WINDOWEVENT_EXPOSED),
		window_event(SDL_WINDOWEVENT_CLOSE, 0, 0, 77) });
	ASSERT_EQ(out.size(), 4u);
	EXPECT_TRUE(out[0].Is<CloseRequestedEvent>());
	EXPECT_EQ(out[0].window, 2);
	EXPECT_TRUE(out[1].Is<ActivatedEvent>());
	EXPECT_TRUE(as<ActivatedEvent>(out[1]).active);
	EXPECT_TRUE(out[2].Is<ActivatedEvent>());
	EXPECT_EQ(out[2].window, 1);
	EXPECT_FALSE(as<ActivatedEvent>(out[2]).active);
	EXPECT_TRUE(out[3].Is<ExposedEvent>());

	// The pointer leaves from where it was last seen.
	out = Feed({ motion_event(33, 44), window_event(SDL_WINDOWEVENT_LEAVE) });
	ASSERT_EQ(out.size(), 2u);
	EXPECT_TRUE(out[1].Is<MouseExitedEvent>());
	EXPECT_EQ(where_of(out[1]), BPoint(33, 44));

	// A person's resize and move: the content size is right minus left.
	out = Feed({
		window_event(SDL_WINDOWEVENT_SIZE_CHANGED, 640, 480),
		window_event(SDL_WINDOWEVENT_MOVED, 20, 30) });
	ASSERT_EQ(out.size(), 3u);
	EXPECT_TRUE(out[0].Is<ResizedEvent>());
	EXPECT_EQ(as<ResizedEvent>(out[0]).width, 639);
	EXPECT_EQ(as<ResizedEvent>(out[0]).height, 479);
	EXPECT_TRUE(out[1].Is<ExposedEvent>());
	EXPECT_TRUE(out[2].Is<MovedEvent>());
	EXPECT_EQ(where_of(out[2]), BPoint(20, 30));

	// The program's own: only the exposure. A later change that differs
	// is news again.
	fInput.ExpectSize(2, 300, 200);
	fInput.ExpectPosition(2, 5, 6);
	out = Feed({
		window_event(SDL_WINDOWEVENT_SIZE_CHANGED, 300, 200),
		window_event(SDL_WINDOWEVENT_MOVED, 5, 6),
		window_event(SDL_WINDOWEVENT_SIZE_CHANGED, 300, 200),
		window_event(SDL_WINDOWEVENT_MOVED, 5, 6) });
	ASSERT_EQ(out.size(), 4u);
	EXPECT_TRUE(out[0].Is<ExposedEvent>());
	EXPECT_TRUE(out[1].Is<ResizedEvent>());
	EXPECT_TRUE(out[2].Is<ExposedEvent>());
	EXPECT_TRUE(out[3].Is<MovedEvent>());

	// A size the window manager chose instead of the program's is news.
	fInput.ExpectSize(2, 300, 200);
	out = Feed({ window_event(SDL_WINDOWEVENT_SIZE_CHANGED, 280, 200) });
	ASSERT_EQ(out.size(), 2u);
	EXPECT_TRUE(out[0].Is<ResizedEvent>());
	EXPECT_EQ(as<ResizedEvent>(out[0]).width, 279);
}


TEST_F(SdlInputTest, DropsAreOneEventAtThePointer)
{
	char first[] = "/tmp/a.txt";
	char second[] = "/tmp/b c.txt";
	// SDL names window 2; the pointer is over window 1.
	fScreen.fPointer = BPoint(610, 120);
	std::deque<ServerEvent> out = Feed({
		drop_event(SDL_DROPBEGIN),
		drop_event(SDL_DROPFILE, first),
		drop_event(SDL_DROPFILE, second),
		drop_event(SDL_DROPCOMPLETE) });
	ASSERT_EQ(out.size(), 1u);
	EXPECT_TRUE(out[0].Is<FilesDroppedEvent>());
	EXPECT_EQ(out[0].window, 1);
	EXPECT_EQ(where_of(out[0]), BPoint(10, 20));
	ASSERT_EQ(as<FilesDroppedEvent>(out[0]).paths.size(), 2u);
	EXPECT_EQ(as<FilesDroppedEvent>(out[0]).paths[0], "/tmp/a.txt");
	EXPECT_EQ(as<FilesDroppedEvent>(out[0]).paths[1], "/tmp/b c.txt");

	// The pointer over none of ours: the window SDL named.
	fScreen.fPointer = BPoint(2000, 2000);
	out = Feed({
		drop_event(SDL_DROPBEGIN),
		drop_event(SDL_DROPFILE, first),
		drop_event(SDL_DROPCOMPLETE) });
	ASSERT_EQ(out.size(), 1u);
	EXPECT_EQ(out[0].window, 2);

	// A file without a begin is a drop of its own; a drop of nothing,
	// nothing.
	fScreen.fPointer = BPoint(110, 110);
	out = Feed({
		drop_event(SDL_DROPFILE, second),
		drop_event(SDL_DROPBEGIN),
		drop_event(SDL_DROPCOMPLETE) });
	ASSERT_EQ(out.size(), 1u);
	EXPECT_EQ(out[0].window, 2);
	EXPECT_EQ(where_of(out[0]), BPoint(10, 10));
	ASSERT_EQ(as<FilesDroppedEvent>(out[0]).paths.size(), 1u);
}


TEST(SdlInputKeys, ModifiersAndKeyCodes)
{
	EXPECT_EQ(SdlInput::ModifiersFor(KMOD_CAPS | KMOD_NUM),
		(uint32)(B_CAPS_LOCK | B_NUM_LOCK));
	EXPECT_EQ(SdlInput::ModifiersFor(KMOD_LGUI), 0u);
	EXPECT_EQ(SdlInput::ModifiersFor(KMOD_RALT),
		(uint32)(B_OPTION_KEY | B_RIGHT_OPTION_KEY));

	EXPECT_EQ(SdlInput::KeyFor(SDL_SCANCODE_GRAVE), 0x11);
	EXPECT_EQ(SdlInput::KeyFor(SDL_SCANCODE_1), 0x12);
	EXPECT_EQ(SdlInput::KeyFor(SDL_SCANCODE_0), 0x1b);
	EXPECT_EQ(SdlInput::KeyFor(SDL_SCANCODE_Q), 0x27);
	EXPECT_EQ(SdlInput::KeyFor(SDL_SCANCODE_Z), 0x4c);
	EXPECT_EQ(SdlInput::KeyFor(SDL_SCANCODE_SLASH), 0x55);
	EXPECT_EQ(SdlInput::KeyFor(SDL_SCANCODE_SPACE), 0x5e);
	EXPECT_EQ(SdlInput::KeyFor(SDL_SCANCODE_F1), B_F1_KEY);
	EXPECT_EQ(SdlInput::KeyFor(SDL_SCANCODE_LCTRL), 0x5c);
	EXPECT_EQ(SdlInput::KeyFor(SDL_SCANCODE_AUDIOMUTE), 0);

	EXPECT_EQ(SdlInput::SpecialCharFor(SDLK_a), 0u);
	EXPECT_EQ(SdlInput::SpecialCharFor(SDLK_F24), (uint32)B_FUNCTION_KEY);
}


// A click in one window and then one in another at the same place inside
// each counted as a double click: the second selected a word.
TEST_F(SdlInputTest, DoubleClickIsTwoPressesInOneWindowNearby)
{
	auto clicks = [this](std::initializer_list<SDL_Event> presses) {
		std::vector<int32> counted;
		for (const ServerEvent& event : Feed(presses)) {
			if (const MouseDownEvent* down = event.As<MouseDownEvent>())
				counted.push_back(down->clicks);
		}
		return counted;
	};
	const uint8 kLeft = SDL_BUTTON_LEFT;
	const uint32 kDown = SDL_MOUSEBUTTONDOWN;

	// One window, close by: single, double, triple.
	EXPECT_EQ(std::vector<int32>({ 1, 2, 3 }), clicks({
		button_event(kDown, kLeft, 10, 20, 1),
		button_event(kDown, kLeft, 11, 21, 2),
		button_event(kDown, kLeft, 12, 19, 3) }));
	// SDL says the time ran out: counting starts again.
	EXPECT_EQ(std::vector<int32>({ 1 }),
		clicks({ button_event(kDown, kLeft, 12, 19, 1) }));
	// The same place in another window is elsewhere on the screen.
	EXPECT_EQ(std::vector<int32>({ 1, 1, 2 }), clicks({
		button_event(kDown, kLeft, 10, 20, 1, 40),
		button_event(kDown, kLeft, 10, 20, 2, 41),
		button_event(kDown, kLeft, 10, 20, 3, 41) }));
	// Too far apart within one window, or another button.
	EXPECT_EQ(std::vector<int32>({ 1, 1, 1 }), clicks({
		button_event(kDown, kLeft, 10, 20, 1),
		button_event(kDown, kLeft, 30, 20, 2),
		button_event(kDown, SDL_BUTTON_RIGHT, 30, 20, 3) }));
}
