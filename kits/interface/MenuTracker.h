/*
 * Private to the kits: the tracking of open menus.
 *
 * A tracking session belongs to the menu it started from: a menu bar (a
 * menu field's included) or a pop-up menu opened by Go(). It runs on one
 * thread, the owning window's for a bar, a looper of its own for Go().
 * The menu windows (MenuWindow.h) forward their pointer and key events to
 * it as messages in screen coordinates; it locks a menu window only to
 * change what it shows, and a menu window never locks the owner, so the
 * two cannot wait on each other.
 */
#ifndef _KITS_MENU_TRACKER_H
#define _KITS_MENU_TRACKER_H

#include <Messenger.h>
#include <Point.h>
#include <Rect.h>

#include <string>
#include <vector>

class BMenu;
class BMenuItem;
class BMessage;
class BMessageRunner;

namespace BPrivate {

class MenuScrollArrow;
class MenuWindow;

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

#endif	// _KITS_MENU_TRACKER_H
