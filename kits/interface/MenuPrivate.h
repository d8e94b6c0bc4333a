/*
 * Private to the kits: how menus are measured, the borderless windows
 * they open in, the tracking of an open menu, and the kits' back door
 * into a BMenu (the test driver opens and reads menus through it).
 *
 * A tracking session belongs to the menu it started from: a menu bar (a
 * menu field's included) or a pop-up menu opened by Go(). It runs on one
 * thread, the owning window's for a bar, a looper of its own for Go().
 * The menu windows forward their pointer and key events to it as
 * messages in screen coordinates; it locks a menu window only to change
 * what it shows, and a menu window never locks the owner, so the two
 * cannot wait on each other.
 */
#ifndef _KITS_MENU_PRIVATE_H
#define _KITS_MENU_PRIVATE_H

#include <Menu.h>
#include <MenuBar.h>
#include <MenuItem.h>
#include <Messenger.h>
#include <Window.h>

#include <string>
#include <vector>

class BMessageRunner;

namespace BPrivate {

// What a menu window forwards to its tracking session: "event" (int32,
// B_MOUSE_DOWN, B_MOUSE_UP or B_MOUSE_MOVED), "screen_where" (BPoint),
// "buttons" (int32).
const uint32 kMsgMenuPointer = '_MPT';
// A key typed while a menu is open: the B_KEY_DOWN message's fields.
const uint32 kMsgMenuKey = '_MKY';

// Measurements, in pixels. An item is its font's height plus the
// padding above and below; a bar is one row of items with a line above
// and below them.
const float kMenuItemVPadding = 2;
const float kBarItemHPadding = 8;
const float kColumnLeftSpace = 20;
const float kColumnRightPadding = 10;
const float kShortcutGap = 18;
const float kSubmenuArrowSpace = 14;
const float kSeparatorHeight = 9;
const float kMenuBorder = 1;

// The screen that menus are kept on.
BRect menu_screen_frame();

// A menu taller than the screen (or one that must stay where it opened)
// shows part of its items between two scroll arrows.
const float kScrollArrowHeight = 12;
// What kMsgMenuPointer's "event" is for a turn of the wheel over a menu
// ("delta", float, positive downwards) and for the repeat that scrolls
// while the pointer rests on an arrow.
const int32 kMenuWheelEvent = B_MOUSE_WHEEL_CHANGED;
const int32 kMenuAutoScrollEvent = '_MAS';

// Where an open menu's window goes and which part of the menu it shows.
struct MenuPlacement {
	// The window's frame on the screen.
	BRect				frame;
	// Whether the items scroll between arrows; scroll is then the menu
	// view's top in its own coordinates, and maxScroll the most it takes.
	bool				scrolls;
	float				scroll;
	float				maxScroll;
};

// Places a menu of the size with its left top at leftTop, on the screen.
// A menu that fits is moved onto the screen whole; one taller than the
// screen, or one that keepPlace holds where it is (a field's menu keeps
// its marked item over the field), scrolls instead.
MenuPlacement place_menu(BPoint leftTop, float width, float height,
	bool keepPlace, BRect screen);

// The key that picks an item while its menu is open, and a bar's title
// with Alt: the first letter or digit of its label, in lower case; 0 for
// a label without one.
uint32 menu_trigger(const BMenuItem* item);
// Where that letter is in the label, in bytes; -1 for none.
int32 menu_trigger_offset(const BMenuItem* item);

// Whether the item can be chosen: enabled, and no separator.
bool menu_item_choosable(const BMenuItem* item);

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


// The one-item bar of a menu field: its menu pops up over the field, and
// it never becomes its window's key menu bar.
class FieldMenuBar : public BMenuBar {
public:
								FieldMenuBar(BRect frame);

	virtual	void				AttachedToWindow();
	virtual	void				Draw(BRect updateRect);
	virtual	void				GetPreferredSize(float* _width,
									float* _height);
};


// One tracking session: the menus it opened, from the root's down, and
// what the pointer and the keys do to them.
class MenuTracker {
public:
	// events: where the menu windows send what they get.
								MenuTracker(BMenu* root, BMessenger events);
	// Closes whatever is still open.
								~MenuTracker();

	// A bar's title, by the pointer (the button is down) or the keys.
			void				OpenTitle(int32 index, bool byKeyboard);
	// A pop-up menu (the root) with its left top at the point.
			void				OpenPopUp(BPoint screenLeftTop);

	// Returns false once the session is over.
			bool				HandleMessage(BMessage* message);
			void				PointerMoved(BPoint screen, uint32 buttons);
			void				PointerDown(BPoint screen);
			void				PointerUp(BPoint screen);
			void				KeyDown(const char* bytes);
	// Ends the session without a choice.
			void				Cancel();

			bool				IsDone() const { return fDone; }
	// The item chosen, once done; NULL without a choice.
			BMenuItem*			Chosen() const { return fChosen; }

private:
	struct Level {
		BMenu*				menu;
		MenuWindow*			window;
	// The window's frame on the screen.
		BRect				frame;
	// For a menu that scrolls: its arrows, and how far it scrolls.
		MenuScrollArrow*	upArrow;
		MenuScrollArrow*	downArrow;
		float				maxScroll;
	};

			bool				_IsBar() const;
	// minWidth widens a column menu that is narrower; keepPlace makes
	// it scroll rather than move to fit on the screen.
			void				_Open(BMenu* menu, BPoint leftTop,
									float minWidth = 0,
									bool keepPlace = false);
			void				_CloseFrom(size_t level);
			void				_Select(size_t level, int32 index,
									bool openSubmenu);
			void				_SelectTitle(int32 index, bool byKeyboard);
			void				_OpenSubmenu(size_t level);
	// The level and item under the point; false when it is over none.
			bool				_HitMenu(BPoint screen, size_t& _level,
									int32& _index);
			int32				_HitTitle(BPoint screen);
			void				_Choose(BMenuItem* item);
			void				_Finish();
			void				_MoveSelection(int32 direction);
	// A letter or digit typed in the open menu picks its item.
			void				_PickByTrigger(uint32 key);
			void				_SwitchTitle(int32 direction);
			void				_SelectFirst(size_t level);
	// Underlines the menu's trigger letters, or stops.
			void				_ShowTriggers(BMenu* menu, bool show);
			BPoint				_SubmenuLocation(size_t level,
									BMenu* submenu);
			BPoint				_TitleMenuLocation(BMenu* menu,
									int32 title);

	// Scrolling (MenuScrolling.cpp).
			bool				_Scrolls(size_t level) const;
	// -1 over the up arrow, 1 over the down arrow, 0 elsewhere.
			int32				_ArrowAt(BPoint screen, size_t& _level);
			void				_ScrollTo(size_t level, float top);
			void				_ScrollBy(size_t level, float delta);
	// Scrolls so that the selected item shows whole.
			void				_ShowSelected(size_t level);
			void				_Wheel(BPoint screen, float delta);
			void				_AutoScroll(size_t level, int32 direction);
			void				_StopAutoScroll();
			void				_AutoScrollStep();
	// Page Up/Down, Home and End.
			void				_JumpSelection(size_t level, int32 pages,
									bool toEnd);
	// Letters typed in a menu that scrolls select the first item whose
	// label begins with them.
			void				_TypeAhead(const char* bytes);
			float				_VisibleHeight(size_t level) const;

			BMenu*				fRoot;
			BMessenger			fEvents;
			std::vector<Level>	fLevels;
	// The button went down to open the menus and has not come up yet.
			bool				fOpeningPress;
			bool				fButtonDown;
	// The pointer moved to another item while the button was down.
			bool				fDragged;
	// The session began from the keyboard: every menu it opens, and
	// the bar, underline their trigger letters until it ends.
			bool				fByKeyboard;
			bool				fDone;
			BMenuItem*			fChosen;
	// While the pointer rests on a scroll arrow: the repeat, the level
	// and which way it scrolls.
			BMessageRunner*		fAutoScroller;
			size_t				fAutoScrollLevel;
			int32				fAutoScrollDirection;
			int32				fAutoScrollSteps;
	// What was typed into a menu that scrolls, to find an item by.
			std::string			fTyped;
};

}	// namespace BPrivate


class BMenu::Private {
public:
								Private(BMenu* menu) : fMenu(menu) {}

	// Lays the items out if needed.
			void				Layout() { fMenu->_ComputeLayout(); }
	// The window the menu is shown in while open; NULL when closed.
			BWindow*			MenuWindow() const;
			bool				IsOpen() const { return MenuWindow() != NULL; }
	// The root menu's session; NULL when no menu of it is open.
			BPrivate::MenuTracker* Tracker() const
									{ return fMenu->fTracker; }
			void				SetTracker(BPrivate::MenuTracker* tracker)
									{ fMenu->fTracker = tracker; }
	// The menu at the top of the chain of supermenus.
			BMenu*				Root() const;
	// The window that holds the root (a bar's or field's window); NULL
	// for a pop-up menu.
			BWindow*			OwnerWindow() const;
			int32				Selected() const { return fMenu->fSelected; }
	// Whether the letters that pick the items are underlined.
			bool				TriggersShown() const
									{ return fMenu->fTriggersShown; }

private:
			BMenu*				fMenu;
};

#endif	// _KITS_MENU_PRIVATE_H
