/*
 * Private to the kits: how menus are measured and where an open menu's
 * window goes on the screen. In pixels: an item is its font's height plus
 * the padding above and below; a bar is one row of items with a line
 * above and below them.
 */
#ifndef _KITS_MENU_MEASURES_H
#define _KITS_MENU_MEASURES_H

#include <Point.h>
#include <Rect.h>

namespace BPrivate {

const float kMenuItemVPadding = 2;
const float kBarItemHPadding = 8;
const float kColumnLeftSpace = 20;
const float kColumnRightPadding = 10;
const float kShortcutGap = 18;
const float kSubmenuArrowSpace = 14;
const float kSeparatorHeight = 9;
const float kMenuBorder = 1;

// A menu taller than the screen (or one that must stay where it opened)
// shows part of its items between two scroll arrows this high.
const float kScrollArrowHeight = 12;

// The screen that menus are kept on.
BRect menu_screen_frame();

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

}	// namespace BPrivate

#endif	// _KITS_MENU_MEASURES_H
