/*
 * What the two font fields share: their pop-up menu, and marking the
 * item that carries a label.
 */
#ifndef FIELD_MENU_H
#define FIELD_MENU_H

class BMenu;
class BPopUpMenu;

// A radio menu, in one column, whose field shows the marked item; empty
// name, so the field shows nothing until an item is marked.
BPopUpMenu* new_field_menu();

// Unmarks the marked item and marks the one whose label is the text, if
// there is one. The field keeps showing the marked item's label.
void mark_item_labelled(BMenu* menu, const char* label);

// The label the menu's field shows; "" when the menu is in no field.
const char* field_label(BMenu* menu);

#endif	// FIELD_MENU_H
