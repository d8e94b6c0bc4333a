/*
 * FilePanelWindow: its views, and keeping the buttons, the places column
 * and the status line in step with what the panel shows.
 */
#include "FilePanelWindow.h"

#include <Button.h>
#include <Entry.h>
#include <InterfaceDefs.h>
#include <ScrollView.h>
#include <StringView.h>
#include <TextControl.h>

#include "EntryListView.h"
#include "PlacesView.h"

namespace BPrivate {

namespace {

const float kMargin = 8;
const float kPlacesWidth = 132;

}	// namespace


void
FilePanelWindow::_BuildViews()
{
	BRect bounds = Bounds();
	BView* background = new BView(bounds, "background", B_FOLLOW_ALL,
		B_WILL_DRAW);
	background->SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
	AddChild(background);

	fUpButton = new BButton(BRect(kMargin, kMargin, kMargin + 59,
		kMargin + 23), "up button", "Up", new BMessage(
			EntryListView::kMsgGoUp));
	background->AddChild(fUpButton);

	// The folder's path, where another one can be typed.
	fPathField = new BTextControl(BRect(kMargin + 68, kMargin,
		bounds.right - kMargin, kMargin + 23), "path field", NULL, "",
		NULL, B_FOLLOW_LEFT_RIGHT | B_FOLLOW_TOP);
	fPathField->SetDivider(0);
	background->AddChild(fPathField);

	float buttonTop = bounds.bottom - kMargin - 23;
	BRect defaultFrame(bounds.right - kMargin - 79, buttonTop,
		bounds.right - kMargin, buttonTop + 23);
	fDefaultButton = new BButton(defaultFrame, "default button",
		fDefaultLabel.c_str(), new BMessage(kMsgDefaultButton),
		B_FOLLOW_RIGHT | B_FOLLOW_BOTTOM);
	background->AddChild(fDefaultButton);
	fDefaultButton->MakeDefault(true);

	BRect cancelFrame = defaultFrame.OffsetByCopy(-90, 0);
	fCancelButton = new BButton(cancelFrame, "cancel button",
		fCancelLabel.c_str(), new BMessage(kMsgCancelButton),
		B_FOLLOW_RIGHT | B_FOLLOW_BOTTOM);
	background->AddChild(fCancelButton);

	float statusLeft = kMargin;
	if (fMode == B_SAVE_PANEL) {
		BButton* newFolder = new BButton(BRect(kMargin, buttonTop,
			kMargin + 99, buttonTop + 23), "new folder button",
			"New Folder", new BMessage(kMsgNewFolder),
			B_FOLLOW_LEFT | B_FOLLOW_BOTTOM);
		background->AddChild(newFolder);
		statusLeft = newFolder->Frame().right + kMargin;
	}
	fStatusView = new BStringView(BRect(statusLeft, buttonTop + 2,
		cancelFrame.left - kMargin, buttonTop + 21), "status", "",
		B_FOLLOW_LEFT_RIGHT | B_FOLLOW_BOTTOM);
	fStatusView->SetHighColor(180, 0, 0);
	background->AddChild(fStatusView);

	// The scroll view is built around the list: its frame is the list's
	// plus the border and the bar.
	float listBottom = buttonTop - kMargin - 3;
	if (fMode == B_SAVE_PANEL) {
		fNameField = new BTextControl(BRect(kMargin, buttonTop - 34,
			bounds.right - kMargin, buttonTop - 11), "name field", "Name:",
			fSaveText.c_str(), NULL, B_FOLLOW_LEFT_RIGHT | B_FOLLOW_BOTTOM);
		fNameField->SetDivider(fNameField->StringWidth("Name:") + 8);
		fNameField->SetModificationMessage(new BMessage(kMsgNameEdited));
		background->AddChild(fNameField);
		listBottom = fNameField->Frame().top - kMargin - 2;
	}

	// The places stand left of the list, as tall as it.
	fPlacesView = new PlacesView(BRect(kMargin, kMargin + 32,
		kMargin + kPlacesWidth - 1, listBottom + 2), "places",
		B_FOLLOW_LEFT | B_FOLLOW_TOP_BOTTOM);
	background->AddChild(fPlacesView);

	BRect listFrame(kMargin + kPlacesWidth + kMargin + 2, kMargin + 34,
		bounds.right - kMargin - 2 - B_V_SCROLL_BAR_WIDTH, listBottom);
	fList = new EntryListView(listFrame, "entries", B_FOLLOW_ALL);
	fList->SetMultipleSelection(fMultiple);
	background->AddChild(new BScrollView("entries scroller", fList,
		B_FOLLOW_ALL, 0, false, true));
}


BButton*
FilePanelWindow::Button(file_panel_button which) const
{
	return which == B_CANCEL_BUTTON ? fCancelButton : fDefaultButton;
}


// Whether the default button would do something now.
bool
FilePanelWindow::_CanConfirm() const
{
	std::vector<int32> selection = fList->Selection();
	if (fMode == B_SAVE_PANEL) {
		return !fSaveText.empty() || (selection.size() == 1
			&& fList->EntryAt(selection[0])->IsFolder());
	}
	if (selection.size() == 1 && fList->EntryAt(selection[0])->IsFolder())
		return true;
	for (int32 index : selection) {
		if (fList->EntryAt(index)->IsChoosable(fFlavors))
			return true;
	}
	return false;
}


void
FilePanelWindow::_UpdateControls()
{
	if (fDefaultButton == NULL)
		return;
	fDefaultButton->SetLabel(fDefaultLabel.c_str());
	fCancelButton->SetLabel(fCancelLabel.c_str());
	fDefaultButton->SetEnabled(_CanConfirm());
	BEntry folder(&fFolder);
	BEntry parent;
	fUpButton->SetEnabled(folder.GetParent(&parent) == B_OK);
	fStatusView->SetText(fStatusText.c_str());
}

}	// namespace BPrivate
