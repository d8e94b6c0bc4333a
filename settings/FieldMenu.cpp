/*
 * The font fields' menus.
 */
#include "FieldMenu.h"

#include <MenuItem.h>
#include <PopUpMenu.h>


BPopUpMenu*
new_field_menu()
{
	return new BPopUpMenu("", true, true, B_ITEMS_IN_COLUMN);
}


void
mark_item_labelled(BMenu* menu, const char* label)
{
	if (BMenuItem* marked = menu->FindMarked())
		marked->SetMarked(false);
	if (BMenuItem* item = menu->FindItem(label))
		item->SetMarked(true);
	menu->SetLabelFromMarked(true);
}


const char*
field_label(BMenu* menu)
{
	BMenuItem* superitem = menu->Superitem();
	return superitem != NULL ? superitem->Label() : "";
}
