/*
 * Private to the kits: the borderless windows open menus are shown in,
 * what they forward to the tracking session (see MenuTracker.h), and
 * which window shows which menu.
 *
 * A menu window runs on its own thread. It forwards its pointer and key
 * events to the session as messages in screen coordinates and never
 * locks the menu's owner, so the two cannot wait on each other.
 */
#ifndef _KITS_MENU_WINDOW_H
#define _KITS_MENU_WINDOW_H

#include <AppDefs.h>
#include <Messenger.h>
#include <View.h>
#include <Window.h>

class BMenu;

namespace BPrivate {

// What a menu window forwards to its tracking session: "event" (int32,
// B_MOUSE_DOWN, B_MOUSE_UP or B_MOUSE_MOVED), "screen_where" (BPoint),
// "buttons" (int32).
const uint32 kMsgMenuPointer = '_MPT';
// A key typed while a menu is open: the B_KEY_DOWN message's fields.
const uint32 kMsgMenuKey = '_MKY';
// What kMsgMenuPointer's "event" is for a turn of the wheel over a menu
// ("delta", float, positive downwards) and for the repeat that scrolls
// while the pointer rests on an arrow.
const int32 kMenuWheelEvent = B_MOUSE_WHEEL_CHANGED;
const int32 kMenuAutoScrollEvent = '_MAS';

// Which window an open menu is shown in, readable from any thread (the
// test driver asks while the menus' own threads open and close them).
void set_shown_menu_window(const BMenu* menu, BWindow* window);
BWindow* shown_menu_window(const BMenu* menu);

// Holds the lock of the window a menu is shown in (its own while open,
// the owner's for a bar) for a scope, when it has one.
class MenuLocker {
public:
								MenuLocker(const BMenu* menu);
								~MenuLocker();
private:
			BWindow*			fWindow;
};


// The borderless window an open menu is shown in.
class MenuWindow : public BWindow {
public:
								MenuWindow(BRect frame, BMessenger tracker);

	virtual	void				DispatchMessage(BMessage* message,
									BHandler* handler);

private:
			BMessenger			fTracker;
};


// The arrow above or below the items of a menu that scrolls; dimmed
// when the menu cannot scroll further that way.
class MenuScrollArrow : public BView {
public:
								MenuScrollArrow(BRect frame, bool up);

	virtual	void				Draw(BRect updateRect);
			void				SetActive(bool active);

private:
			bool				fUp;
			bool				fActive;
};

}	// namespace BPrivate

#endif	// _KITS_MENU_WINDOW_H
