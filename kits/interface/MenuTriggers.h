/*
 * Private to the kits: which items of a menu the keyboard can pick, and
 * by which letter, for an open menu as for a bar's title with Alt.
 */
#ifndef _KITS_MENU_TRIGGERS_H
#define _KITS_MENU_TRIGGERS_H

#include <SupportDefs.h>

class BMenuItem;

namespace BPrivate {

// The key that picks an item while its menu is open, and a bar's title
// with Alt: the first letter or digit of its label, in lower case; 0 for
// a label without one.
uint32 menu_trigger(const BMenuItem* item);
// Where that letter is in the label, in bytes; -1 for none.
int32 menu_trigger_offset(const BMenuItem* item);

// Whether the item can be chosen: enabled, and no separator.
bool menu_item_choosable(const BMenuItem* item);

}	// namespace BPrivate

#endif	// _KITS_MENU_TRIGGERS_H
