/*
 * BPopUpMenu: a menu that pops up where it is asked to, on its own (Go())
 * or as the menu of a menu field. By default it is in radio mode and its
 * field's label follows the marked item.
 *
 * Threads: Go() may be called from any thread; the synchronous form
 * blocks the caller until the menu closes, while the menu is tracked on
 * a thread of its own.
 */
#ifndef _POP_UP_MENU_H
#define _POP_UP_MENU_H

#include <Menu.h>

class BPopUpMenu : public BMenu {
public:
								BPopUpMenu(const char* name,
									bool radioMode = true,
									bool labelFromMarked = true,
									menu_layout layout = B_ITEMS_IN_COLUMN);
	virtual						~BPopUpMenu();

	// Opens the menu with its left top at where (screen coordinates) and
	// tracks it. Synchronous: returns the chosen item, NULL when the menu
	// was closed without a choice; with deliversMessage the item is also
	// invoked. With async, returns NULL at once and the item, if any, is
	// invoked (with deliversMessage) when chosen. openAnyway is accepted
	// for compatibility: the menu always opens. A menu that is open
	// already returns NULL.
			BMenuItem*			Go(BPoint where,
									bool deliversMessage = false,
									bool openAnyway = false,
									bool async = false);
			BMenuItem*			Go(BPoint where, bool deliversMessage,
									bool openAnyway, BRect clickToOpen,
									bool async = false);

	// An asynchronous Go() deletes the menu once it closes.
			void				SetAsyncAutoDestruct(bool on);
			bool				AsyncAutoDestruct() const;

protected:
	virtual	BPoint				ScreenLocation();

private:
			bool				fAutoDestruct;
};

#endif	// _POP_UP_MENU_H
