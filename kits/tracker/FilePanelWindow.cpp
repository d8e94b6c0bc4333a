/*
 * FilePanelWindow: the panel's folder, its choices and its replies.
 */
#include "FilePanelWindow.h"

#include <AppDefs.h>
#include <Application.h>
#include <Button.h>
#include <ScrollView.h>
#include <StringView.h>
#include <Directory.h>
#include <FindDirectory.h>
#include <InterfaceDefs.h>
#include <Path.h>

#include "EntryListView.h"
#include "PanelMessages.h"

#include <string.h>

namespace BPrivate {

namespace {

const BRect kPanelFrame(100, 80, 599, 419);
const float kMargin = 8;

window_look
look_for(bool modal)
{
	return modal ? B_MODAL_WINDOW_LOOK : B_TITLED_WINDOW_LOOK;
}


window_feel
feel_for(bool modal)
{
	return modal ? B_MODAL_APP_WINDOW_FEEL : B_NORMAL_WINDOW_FEEL;
}

}	// namespace


FilePanelWindow::FilePanelWindow(BFilePanel* panel, file_panel_mode mode,
	const BMessenger* target, const entry_ref* directory, uint32 nodeFlavors,
	bool multiple, const BMessage* message, BRefFilter* filter, bool modal,
	bool hideWhenDone)
	:
	BWindow(kPanelFrame, mode == B_SAVE_PANEL ? "Save" : "Open",
		look_for(modal), feel_for(modal), B_NOT_ZOOMABLE),
	fPanel(panel),
	fMode(mode),
	fHasTarget(target != NULL),
	fMessage(message != NULL ? new BMessage(*message) : NULL),
	fFilter(filter),
	fFlavors(nodeFlavors != 0 ? nodeFlavors : (uint32)B_FILE_NODE),
	// Only an open panel ever chooses more than one entry.
	fMultiple(multiple && mode == B_OPEN_PANEL),
	fHideWhenDone(hideWhenDone),
	fShowing(false),
	fDefaultLabel(mode == B_SAVE_PANEL ? "Save" : "Open"),
	fCancelLabel("Cancel"),
	fList(NULL),
	fUpButton(NULL),
	fDefaultButton(NULL),
	fCancelButton(NULL),
	fFolderView(NULL),
	fStatusView(NULL)
{
	if (target != NULL)
		fTarget = *target;
	SetSizeLimits(300, 32766, 200, 32766);
	_BuildViews();
	if (SetFolder(directory) != B_OK)
		SetFolder((const entry_ref*)NULL);
}


FilePanelWindow::~FilePanelWindow()
{
	delete fMessage;
}


entry_ref
FilePanelWindow::_HomeFolder() const
{
	entry_ref ref;
	BPath home;
	if (find_directory(B_USER_DIRECTORY, &home) != B_OK
		|| get_ref_for_path(home.Path(), &ref) != B_OK)
		get_ref_for_path("/", &ref);
	return ref;
}


// #pragma mark - Showing


void
FilePanelWindow::ShowPanel()
{
	if (!fShowing) {
		fShowing = true;
		Refresh();
		_SetStatus(NULL);
		if (IsHidden())
			Show();
	}
	Activate();
	fList->MakeFocus(true);
}


void
FilePanelWindow::HidePanel()
{
	if (!fShowing)
		return;
	fShowing = false;
	if (!IsHidden())
		Hide();

	BMessage notice = panel_cancel_notice(fMode, fMessage, fPanel);
	_Send(&notice);
	if (fPanel != NULL)
		fPanel->WasHidden();
}


bool
FilePanelWindow::IsShowing() const
{
	return fShowing;
}


// #pragma mark - Replies


void
FilePanelWindow::SetTarget(const BMessenger& target)
{
	fTarget = target;
	fHasTarget = target.IsValid();
}


BMessenger
FilePanelWindow::Target() const
{
	return fHasTarget ? fTarget : be_app_messenger;
}


void
FilePanelWindow::SetMessage(const BMessage* message)
{
	delete fMessage;
	fMessage = message != NULL ? new BMessage(*message) : NULL;
}


status_t
FilePanelWindow::_Send(BMessage* message)
{
	return Target().SendMessage(message);
}


// #pragma mark - The folder


void
FilePanelWindow::SetRefFilter(BRefFilter* filter)
{
	fFilter = filter;
	Refresh();
}


status_t
FilePanelWindow::SetFolder(const entry_ref* folder)
{
	entry_ref target = folder != NULL ? *folder : _HomeFolder();
	// A link to a folder is entered as the folder itself, so that going
	// up leads to where the folder really is.
	BEntry entry(&target, true);
	status_t status = entry.InitCheck();
	if (status != B_OK)
		return status;
	if (!entry.IsDirectory())
		return B_NOT_A_DIRECTORY;
	status = entry.GetRef(&target);
	if (status != B_OK)
		return status;

	fFolder = target;
	fListing.Load(fFolder, fFilter);
	_ShowListing();
	return B_OK;
}


status_t
FilePanelWindow::SetFolder(const char* path)
{
	if (path == NULL)
		return SetFolder((const entry_ref*)NULL);
	entry_ref ref;
	status_t status = get_ref_for_path(path, &ref);
	if (status != B_OK)
		return status;
	return SetFolder(&ref);
}


void
FilePanelWindow::Refresh()
{
	std::vector<std::string> selected;
	for (int32 index : fList->Selection())
		selected.push_back(fList->EntryAt(index)->name);

	fListing.Load(fFolder, fFilter);
	_ShowListing();
	for (const std::string& name : selected) {
		int32 index = fList->IndexOf(name.c_str());
		if (index >= 0)
			fList->Select(index, true);
	}
}


void
FilePanelWindow::_ShowListing()
{
	const char* message = NULL;
	if (fListing.Status() != B_OK)
		message = panel_error_text(fListing.Status());
	else if (fListing.CountEntries() == 0)
		message = "This folder is empty.";
	fList->SetEntries(fListing.Entries(), message);
	_UpdateControls();
}


void
FilePanelWindow::SetSaveText(const char* text)
{
	fSaveText = text != NULL ? text : "";
	_UpdateControls();
}


const char*
FilePanelWindow::SaveText() const
{
	return fSaveText.c_str();
}


void
FilePanelWindow::SetButtonLabel(file_panel_button button, const char* label)
{
	if (label == NULL)
		return;
	if (button == B_CANCEL_BUTTON)
		fCancelLabel = label;
	else
		fDefaultLabel = label;
	_UpdateControls();
}


std::vector<entry_ref>
FilePanelWindow::SelectedRefs() const
{
	std::vector<entry_ref> refs;
	for (int32 index : fList->Selection())
		refs.push_back(fList->EntryAt(index)->ref);
	return refs;
}


void
FilePanelWindow::_SetStatus(const char* text)
{
	fStatusText = text != NULL ? text : "";
	_UpdateControls();
}


// #pragma mark - Views


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

	fFolderView = new BStringView(BRect(kMargin + 68, kMargin + 2,
		bounds.right - kMargin, kMargin + 21), "folder", "",
		B_FOLLOW_LEFT_RIGHT | B_FOLLOW_TOP);
	background->AddChild(fFolderView);

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

	fStatusView = new BStringView(BRect(kMargin, buttonTop + 2,
		cancelFrame.left - kMargin, buttonTop + 21), "status", "",
		B_FOLLOW_LEFT_RIGHT | B_FOLLOW_BOTTOM);
	fStatusView->SetHighColor(180, 0, 0);
	background->AddChild(fStatusView);

	// The scroll view is built around the list: its frame is the list's
	// plus the border and the bar.
	BRect listFrame(kMargin + 2, kMargin + 34,
		bounds.right - kMargin - 2 - B_V_SCROLL_BAR_WIDTH,
		buttonTop - kMargin - 3);
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
	BPath path(&fFolder);
	fFolderView->SetText(path.InitCheck() == B_OK ? path.Path() : "");
	fStatusView->SetText(fStatusText.c_str());
}


// #pragma mark - Messages


void
FilePanelWindow::DispatchMessage(BMessage* message, BHandler* handler)
{
	// The close box and Escape cancel, wherever the focus is; the panel
	// stays for the next Show().
	if (message->what == B_QUIT_REQUESTED && handler == this) {
		HidePanel();
		return;
	}
	if (message->what == B_KEY_DOWN) {
		const char* bytes = message->GetString("bytes", "");
		if (bytes[0] == B_ESCAPE && bytes[1] == '\0') {
			HidePanel();
			return;
		}
	}
	BWindow::DispatchMessage(message, handler);
}


void
FilePanelWindow::MessageReceived(BMessage* message)
{
	switch (message->what) {
		case kMsgDefaultButton:
			_DefaultButton();
			break;
		case kMsgCancelButton:
			HidePanel();
			break;
		case EntryListView::kMsgInvoked:
			_Invoked(message->GetInt32("index", -1));
			break;
		case EntryListView::kMsgGoUp:
			_GoUp();
			break;
		case EntryListView::kMsgSelectionChanged:
			_SelectionChanged();
			break;
		default:
			BWindow::MessageReceived(message);
			break;
	}
}


bool
FilePanelWindow::QuitRequested()
{
	return true;
}


// #pragma mark - What the user asks for


void
FilePanelWindow::_SelectionChanged()
{
	// In a save panel a file clicked in the list proposes its name.
	std::vector<int32> selection = fList->Selection();
	if (fMode == B_SAVE_PANEL && selection.size() == 1) {
		const folder_entry* entry = fList->EntryAt(selection[0]);
		if (!entry->IsFolder())
			SetSaveText(entry->name.c_str());
	}
	_UpdateControls();
	if (fPanel != NULL)
		fPanel->SelectionChanged();
}


void
FilePanelWindow::_Invoked(int32 index)
{
	const folder_entry* entry = fList->EntryAt(index);
	if (entry == NULL) {
		_DefaultButton();
		return;
	}
	if (entry->IsFolder()) {
		SetFolder(&entry->ref);
		return;
	}
	if (fMode == B_SAVE_PANEL)
		_ConfirmSave(entry->name.c_str());
	else
		_ChooseSelection();
}


void
FilePanelWindow::_DefaultButton()
{
	std::vector<int32> selection = fList->Selection();
	if (fMode == B_SAVE_PANEL) {
		// A folder picked in the list is entered rather than saved into
		// under the proposed name, which the user may not have noticed.
		if (selection.size() == 1 && fList->IsFocus()
			&& fList->EntryAt(selection[0])->IsFolder()) {
			SetFolder(&fList->EntryAt(selection[0])->ref);
			return;
		}
		_ConfirmSave(fSaveText.c_str());
		return;
	}

	if (selection.size() == 1) {
		const folder_entry* entry = fList->EntryAt(selection[0]);
		if (entry->IsFolder() && !entry->IsChoosable(fFlavors)) {
			SetFolder(&entry->ref);
			return;
		}
	}
	_ChooseSelection();
}


void
FilePanelWindow::_GoUp()
{
	BEntry folder(&fFolder);
	BEntry parent;
	if (folder.GetParent(&parent) != B_OK)
		return;
	entry_ref parentRef;
	if (parent.GetRef(&parentRef) != B_OK)
		return;
	std::string cameFrom = fFolder.name != NULL ? fFolder.name : "";
	if (SetFolder(&parentRef) != B_OK)
		return;
	int32 index = fList->IndexOf(cameFrom.c_str());
	if (index >= 0) {
		fList->Select(index);
		fList->ScrollToRow(index);
	}
}


// #pragma mark - Choices


void
FilePanelWindow::_ChooseSelection()
{
	std::vector<entry_ref> refs;
	for (int32 index : fList->Selection()) {
		const folder_entry* entry = fList->EntryAt(index);
		if (entry->IsChoosable(fFlavors))
			refs.push_back(entry->ref);
	}
	if (refs.empty()) {
		beep();
		return;
	}
	BMessage reply = open_panel_reply(fMessage, refs);
	_Send(&reply);
	_Done();
}


void
FilePanelWindow::_ConfirmSave(const char* typed)
{
	save_name_meaning meaning;
	entry_ref folder;
	std::string name;
	status_t status = resolve_save_name(fFolder, typed, &meaning, &folder,
		&name);
	if (status != B_OK) {
		_SetStatus(panel_error_text(status));
		beep();
		return;
	}
	_SetStatus(NULL);
	if (meaning == kEnterFolder) {
		SetFolder(&folder);
		SetSaveText("");
		return;
	}
	_Save(folder, name);
}


void
FilePanelWindow::_Save(const entry_ref& folder, const std::string& name)
{
	BMessage reply = save_panel_reply(fMessage, folder, name.c_str());
	_Send(&reply);
	_Done();
}


void
FilePanelWindow::_Done()
{
	if (fHideWhenDone)
		HidePanel();
}

}	// namespace BPrivate
