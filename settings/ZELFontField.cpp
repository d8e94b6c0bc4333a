/*
 * The font family field.
 */
#include "ZELFontField.h"

#include <MenuItem.h>
#include <Message.h>
#include <PopUpMenu.h>

#include <string.h>

#include "FieldMenu.h"
#include "MessageCodes.h"


ZELFontField::ZELFontField(BRect frame)
	:
	BMenuField(frame, "ZELFontField", "Font", new_field_menu(),
		B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW | B_NAVIGABLE),
	fMenu(static_cast<BPopUpMenu*>(Menu()))
{
	int32 count = count_font_families();
	for (int32 index = 0; index < count; index++) {
		font_family family;
		// A family the system cannot name now is left out; the others
		// keep their order.
		if (get_font_family(index, &family, NULL) != B_OK)
			continue;
		fMenu->AddItem(new BMenuItem(family,
			new BMessage(kMsgFontFamilyChosen), 0, 0));
	}
}


ZELFontField::~ZELFontField()
{
}


void
ZELFontField::GetFontFamily(char (*family)[B_FONT_FAMILY_LENGTH + 1])
{
	(*family)[0] = '\0';
	strncat(*family, field_label(fMenu), B_FONT_FAMILY_LENGTH);
}


void
ZELFontField::SetFontFamily(const char* family)
{
	mark_item_labelled(fMenu, family != NULL ? family : "");
}
