/*
 * BTextView: what a text view does on a Linux desktop beyond the
 * platform's own editing: the text selected is offered as the screen's
 * primary selection, a middle click pastes that selection where it
 * clicks, and a right click opens the editing commands in a context
 * menu. Each menu item sends the message the keyboard's command sends,
 * so a subclass sees the same message either way.
 */
#include <TextView.h>

#include <AppDefs.h>
#include <Clipboard.h>
#include <Message.h>
#include <MenuItem.h>
#include <PopUpMenu.h>
#include <Window.h>

#include "TextViewData.h"

namespace {

// The clipboard the kits keep as the screen's primary selection.
const char* const kPrimaryClipboard = "primary";

}	// namespace


void
BTextView::_OfferSelection()
{
	if (fData->selectionStart == fData->selectionEnd || !fData->selectable)
		return;
	BClipboard primary(kPrimaryClipboard);
	Copy(&primary);
}


void
BTextView::_PastePrimary(BPoint where)
{
	if (!fData->editable)
		return;
	// The text goes where the click was; what was selected stays.
	int32 offset = OffsetAt(where);
	Select(offset, offset);
	BClipboard primary(kPrimaryClipboard);
	Paste(&primary);
}


void
BTextView::_ShowContextMenu(BPoint where)
{
	bool editable = fData->editable;
	bool selection = fData->selectionStart != fData->selectionEnd
		&& fData->selectable;

	BPopUpMenu* menu = new BPopUpMenu("text view context menu", false,
		false);
	struct {
		const char* label;
		uint32 what;
		bool enabled;
	} const kCommands[] = {
		{ "Undo", B_UNDO, editable && fData->doesUndo
			&& fData->undo.CanUndo() },
		{ "Redo", B_REDO, editable && fData->doesUndo
			&& fData->undo.CanRedo() },
		{ NULL, 0, false },
		{ "Cut", B_CUT, editable && selection },
		{ "Copy", B_COPY, selection },
		{ "Paste", B_PASTE, editable && AcceptsPaste(be_clipboard) },
		{ "Delete", BPrivate::kMsgClearSelection, editable && selection },
		{ NULL, 0, false },
		{ "Select All", B_SELECT_ALL, fData->selectable && TextLength() > 0 }
	};
	for (const auto& command : kCommands) {
		if (command.label == NULL) {
			menu->AddSeparatorItem();
			continue;
		}
		BMenuItem* item = new BMenuItem(command.label,
			new BMessage(command.what));
		item->SetEnabled(command.enabled);
		menu->AddItem(item);
	}
	menu->SetTargetForItems(this);
	menu->SetAsyncAutoDestruct(true);
	menu->Go(ConvertToScreen(where), true, false, true);
}
