/*
 * The font size field.
 */
#include "ZELFontSize.h"

#include <MenuItem.h>
#include <Message.h>
#include <PopUpMenu.h>

#include <stdio.h>

#include "FieldMenu.h"
#include "MessageCodes.h"
#include "PrintLine.h"


ZELFontSize::ZELFontSize(BRect frame, int16 smallest, int16 largest)
	:
	BMenuField(frame, "ZELFontSize", "Size", new_field_menu(),
		B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW | B_NAVIGABLE),
	fMenu(static_cast<BPopUpMenu*>(Menu()))
{
	if (smallest > largest) {
		int16 swap = smallest;
		smallest = largest;
		largest = swap;
	}
	// A wider counter than the sizes, so that a range up to the largest
	// 16-bit number ends.
	for (int32 size = smallest; size <= largest; size++) {
		char label[16];
		snprintf(label, sizeof(label), "%i", (int)size);
		fMenu->AddItem(new BMenuItem(label, new BMessage(kMsgFontSizeChosen),
			0, 0));
	}
}


ZELFontSize::~ZELFontSize()
{
}


void
ZELFontSize::GetFontSize(int32* size)
{
	*size = 0;
	if (fMenu->Superitem() == NULL)
		return;
	long value;
	if (sscanf(field_label(fMenu), "%li", &value) != 1) {
		PrintLine("ZELFontSIze GetFontSize not OK");
		return;
	}
	*size = (int32)value;
}


void
ZELFontSize::SetFontSize(int32 size)
{
	char label[16];
	snprintf(label, sizeof(label), "%li", (long)size);
	mark_item_labelled(fMenu, label);
}
