/*
 * Private to the kits: their back door into a BMenu. The menu kit's own
 * classes and the test driver open, lay out and read menus through it.
 * It is used on the thread that holds the menu's window, like the menu.
 */
#ifndef _KITS_MENU_PRIVATE_H
#define _KITS_MENU_PRIVATE_H

#include <Menu.h>

class BWindow;

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
