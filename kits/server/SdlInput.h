/*
 * SdlInput: turns SDL's events into the display server's events. It is
 * the part of the SDL backend that decides what a key, a click or a drop
 * means on this platform, kept apart from the SDL calls so that it can be
 * checked without a screen.
 *
 * Keys: SDL reports a key press (SDL_KEYDOWN) and, separately, the text
 * the press typed (SDL_TEXTINPUT, which input methods also send). Keys
 * that type nothing (arrows, Backspace, Enter, Tab, Escape, function
 * keys, ...) and keys pressed with Ctrl or Alt become key-downs from the
 * press; everything else waits for its text, which then carries the
 * press's key code and modifiers. Text that arrives while Ctrl or Alt is
 * held is a shortcut already sent as a press, never typing. Ctrl is the
 * platform's Command key, Alt its Option key.
 *
 * Input methods: SDL reports what an input method composes
 * (SDL_TEXTEDITING, SDL_TEXTEDITING_EXT for a long text) with the part it
 * works on in characters, which become byte offsets; an empty text ends
 * the composition. Text that comes while a composition is shown is its
 * commit, unless a press came just before it: then it is that press's
 * text, which SDL sends as well when the input method is slow to answer
 * for the key, and the input method has the key; it is dropped. A
 * composition stays with the window it began in, also when SDL
 * names no window for its end (the keyboard went elsewhere meanwhile).
 * When a window ends a composition itself, having kept its text, the
 * input method may still type that text as it lets go of it: that one
 * commit, should it come before anything else was typed, is dropped.
 *
 * The mouse: clicks, moves and the wheel go to the window under the
 * pointer when it is a menu window, or to another window while a menu
 * is open; otherwise to the window SDL names, which keeps a drag that
 * leaves a window with that window. A press counts as the next click of
 * a double or triple click only when SDL counts it so (SDL keeps the
 * time) and it is in the same window, with the same button, within the
 * double-click distance on the screen of the press before; SDL alone
 * would count a click in one window and then one in another as a double
 * click.
 *
 * Threads: the display server's, like the rest of the backend. Owns
 * nothing of SDL's; the strings in drop events stay the caller's.
 */
#ifndef _KITS_SDL_INPUT_H
#define _KITS_SDL_INPUT_H

#include "ServerProtocol.h"

#include <SDL.h>

#include <deque>
#include <map>
#include <string>
#include <vector>

namespace BPrivate {

class SdlInput {
public:
	// What the translation needs to know of the windows, answered by the
	// backend (or by a test).
	class Screen {
	public:
		virtual					~Screen();
		// Our id of the SDL window, 0 for one we do not know.
		virtual	int32			WindowForSdlID(uint32 sdlID) = 0;
		// The content area's left top on the screen; false for an unknown
		// window.
		virtual	bool			WindowLeftTop(int32 window,
									BPoint& _leftTop) = 0;
		// The topmost shown window whose content holds the screen point,
		// menu windows first; 0 for none.
		virtual	int32			WindowAt(BPoint screenPoint) = 0;
		virtual	bool			IsMenuWindow(int32 window) = 0;
		// Whether a menu window is shown.
		virtual	bool			IsMenuOpen() = 0;
		// Where the pointer is on the screen now.
		virtual	BPoint			PointerOnScreen() = 0;
	};

								SdlInput(Screen& screen);

	// Appends what the SDL event means, if anything, to _events.
			void				Translate(const SDL_Event& event,
									std::deque<ServerEvent>& _events);

	// The window is being resized or moved by the program itself: the
	// change SDL reports back for it is not news to the window.
			void				ExpectSize(int32 window, int32 width,
									int32 height);
			void				ExpectPosition(int32 window, int32 x,
									int32 y);
	// Forgets what was kept for the window.
			void				ForgetWindow(int32 window);
	// The window ended the composition itself at SDL's time ticks (in
	// milliseconds, as SDL stamps its events).
			void				CompositionStopped(int32 window,
									uint32 ticks);

	// The platform's modifiers for SDL's modifier state.
	static	uint32				ModifiersFor(uint16 sdlModifiers);
	// The platform's key code for an SDL scancode; 0 for a key the
	// platform does not number.
	static	int32				KeyFor(SDL_Scancode scancode);
	// The character of a key that types none (B_LEFT_ARROW, B_ENTER,
	// B_FUNCTION_KEY, ...); 0 for other keys.
	static	uint32				SpecialCharFor(SDL_Keycode keycode);

private:
	// The press whose text has not come yet.
	struct PendingPress {
		bool				valid = false;
		int32				key = 0;
		int32				rawChar = 0;
		uint32				modifiers = 0;
		int32				repeat = 0;
	// SDL's time of the press; its text comes at once.
		uint32				ticks = 0;
	};

	struct Expectation {
		bool				size = false;
		int32				width = 0;
		int32				height = 0;
		bool				position = false;
		int32				x = 0;
		int32				y = 0;
	};

	// The window a press or release goes to; 0 for none.
			int32				_KeyWindow(const SDL_KeyboardEvent& key);
			void				_KeyDown(const SDL_KeyboardEvent& key,
									std::deque<ServerEvent>& _events);
			void				_KeyUp(const SDL_KeyboardEvent& key,
									std::deque<ServerEvent>& _events);
			void				_Text(const SDL_TextInputEvent& text,
									std::deque<ServerEvent>& _events);
	// What is composed: text (not NUL-terminated, length bytes), with
	// the part worked on from start for length characters (-1 for none).
			void				_Editing(uint32 sdlID, const char* text,
									int32 textLength, int32 start,
									int32 length,
									std::deque<ServerEvent>& _events);
	// Whether the commit is the text of a composition the window already
	// kept; such a commit is dropped, once.
			bool				_IsEcho(const char* text, uint32 ticks);
			void				_Mouse(const SDL_Event& event,
									std::deque<ServerEvent>& _events);
			void				_Wheel(const SDL_MouseWheelEvent& wheel,
									std::deque<ServerEvent>& _events);
			bool				_FocusGoesToMenu();
			void				_WindowEvent(const SDL_WindowEvent& event,
									std::deque<ServerEvent>& _events);
			void				_Drop(const SDL_DropEvent& drop,
									std::deque<ServerEvent>& _events);

	// The window a mouse event at the SDL window's point goes to, and
	// the point in that window.
			int32				_MouseTarget(uint32 sdlID, BPoint& _where);
	// The clicks a press of the button in the window at the point counts
	// as, SDL having counted sdlClicks.
			int32				_CountClicks(int32 window, uint32 button,
									BPoint where, int32 sdlClicks);
	// The UTF-8 of what a key with Ctrl or Alt held types.
	static	std::string			_ShortcutBytes(SDL_Keycode keycode,
									uint32 modifiers);

			Screen&				fScreen;
			PendingPress		fPending;
	// The modifiers SDL's last key event reported: the state any event
	// after it happened in.
			uint32				fModifiers;
			int32				fRepeat;
			uint32				fButtons;
	// The last press: its window, button, place on the screen and the
	// clicks it counted as.
			int32				fClickWindow;
			uint32				fClickButton;
			BPoint				fClickPoint;
			int32				fClicks;
	// The pointer's last place in each window, for the exit.
			std::map<int32, BPoint>	fPointer;
			std::map<int32, Expectation> fExpected;
	// The composition shown, its window and text; the text of the last
	// one a window ended itself, and until when its commit is taken for
	// that one's.
			bool				fComposing;
			int32				fComposingWindow;
			std::string			fComposedText;
			bool				fEchoExpected;
			std::string			fEchoText;
			uint32				fEchoDeadline;
	// The files of a drop that has begun and not completed.
			bool				fDropping;
			uint32				fDropWindow;
			std::vector<std::string> fDroppedPaths;
};

}	// namespace BPrivate

#endif	// _KITS_SDL_INPUT_H
