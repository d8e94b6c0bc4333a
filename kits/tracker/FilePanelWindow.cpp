/*
 * FilePanelWindow: the panel's folder, its choices and its replies.
 */
#include "FilePanelWindow.h"

#include <Alert.h>
#include <AppDefs.h>
#include <Application.h>
#include <Button.h>
#include <ScrollView.h>
#include <StringView.h>
#include <TextControl.h>
#include <TextView.h>
#include <Directory.h>
#include <FindDirectory.h>
#include <InterfaceDefs.h>
#include <Invoker.h>
#include <Path.h>

#include "EntryListView.h"
#include "EscapeKeyPrivate.h"
#include "PanelMessages.h"
#include "PanelPlaces.h"
#include "PlacesView.h"
#include "WindowPrivate.h"

#include <string.h>

namespace BPrivate {

namespace {

const BRect kPanelFrame(100, 80, 739, 479);

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
	fPathField(NULL),
	fNameField(NULL),
	fStatusView(NULL),
	fPlacesView(NULL)
{
	if (target != NULL)
		fTarget = *target;
	SetSizeLimits(440, 32766, 240, 32766);
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
		// Read afresh, with nothing selected: a selection restored here
		// would propose its name over the one the caller just set.
		fListing.Load(fFolder, fFilter);
		// Folders and bookmarks may have come or gone since last time.
		fPlacesView->SetPlaces(user_panel_places());
		_ShowListing();
		_SetStatus(NULL);
		if (IsHidden()) {
			BWindow::Private(this).SetServedWindow(_ServedWindow());
			Show();
		}
	}
	Activate();
	if (fNameField != NULL) {
		fNameField->MakeFocus(true);
		fNameField->TextView()->SelectAll();
	} else
		fList->MakeFocus(true);
}


// The panel is a dialog of the window its answers go to, when the caller
// works in that window; otherwise of the window active when it shows.
BWindow*
FilePanelWindow::_ServedWindow() const
{
	BLooper* looper = NULL;
	if (!fHasTarget || fTarget.Target(&looper) == NULL || looper == NULL
		|| looper == this) {
		return NULL;
	}
	// Locked by this thread, it cannot go away meanwhile.
	return looper->IsLocked() ? dynamic_cast<BWindow*>(looper) : NULL;
}


void
FilePanelWindow::HidePanel()
{
	if (!fShowing)
		return;
	_HideWindow();
	_SendCancelNotice();
}


// The window goes and the hook runs, but nobody is told yet.
void
FilePanelWindow::_HideWindow()
{
	fShowing = false;
	if (!IsHidden())
		Hide();
	if (fPanel != NULL)
		fPanel->WasHidden();
}


void
FilePanelWindow::_SendCancelNotice()
{
	BMessage notice = panel_cancel_notice(fMode, fMessage, fPanel);
	_Send(&notice);
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
	BPath path(&fFolder);
	fPathField->SetText(path.InitCheck() == B_OK ? path.Path() : "");
	fPlacesView->SetCurrentPath(path.InitCheck() == B_OK ? path.Path() : "");
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
	if (fNameField != NULL && fSaveText != fNameField->Text()) {
		fNameField->SetText(fSaveText.c_str());
		// The proposal is selected, so that typing replaces it.
		fNameField->TextView()->SelectAll();
	}
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


// A new folder in the one shown, selected, so that a double click goes
// in to save there.
void
FilePanelWindow::_NewFolder()
{
	std::string name;
	status_t status = create_new_folder(fFolder, name);
	if (status != B_OK) {
		_SetStatus(status == B_PERMISSION_DENIED
			? "You are not allowed to make a folder here."
			: "The new folder could not be made.");
		return;
	}
	Refresh();
	fList->Select(fList->IndexOf(name.c_str()));
	fList->ScrollToRow(fList->IndexOf(name.c_str()));
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
	if (is_escape_key_down(message)) {
		HidePanel();
		return;
	}
	if (message->what == B_KEY_DOWN) {
		const char* bytes = message->GetString("bytes", "");
		// Enter in the path field goes to that folder; it must not also
		// press Open or Save.
		if (bytes[0] == B_ENTER && bytes[1] == '\0' && _PathFieldHasFocus()) {
			_GoToTypedPath();
			return;
		}
		// Enter in the places goes to the place the keyboard is on, as
		// Enter in the list opens its entry.
		if (bytes[0] == B_ENTER && bytes[1] == '\0'
			&& CurrentFocus() == fPlacesView) {
			fPlacesView->KeyDown(bytes, 1);
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
		case kMsgNewFolder:
			_NewFolder();
			break;
		case kMsgNameEdited:
			fSaveText = fNameField != NULL ? fNameField->Text() : "";
			_SetStatus(NULL);
			break;
		case kMsgReplaceAnswer:
			_ReplaceAnswered(message);
			break;
		case EntryListView::kMsgInvoked:
			_Invoked(message->GetInt32("index", -1));
			break;
		case EntryListView::kMsgGoUp:
			_GoUp();
			break;
		case PlacesView::kMsgPlaceChosen:
			_GoToPlace(message->GetString("path", ""));
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
		if (fNameField != NULL)
			fSaveText = fNameField->Text();
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


bool
FilePanelWindow::_PathFieldHasFocus() const
{
	for (BView* view = CurrentFocus(); view != NULL; view = view->Parent()) {
		if (view == fPathField)
			return true;
	}
	return false;
}


// A typed path is taken from the folder shown when it is relative. A
// path to a file goes to its folder and selects it.
void
FilePanelWindow::_GoToTypedPath()
{
	std::string typed = fPathField->Text();
	BPath base(&fFolder);
	if (!typed.empty() && typed[0] == '~' && (typed.size() == 1
			|| typed[1] == '/')) {
		entry_ref homeRef = _HomeFolder();
		BPath home(&homeRef);
		typed = std::string(home.Path()) + typed.substr(1);
	} else if (typed.empty() || typed[0] != '/') {
		// The folder shown may have gone meanwhile; then only an
		// absolute path leads anywhere.
		if (base.InitCheck() != B_OK) {
			_SetStatus(panel_error_text(B_ENTRY_NOT_FOUND));
			beep();
			return;
		}
		typed = std::string(base.Path()) + "/" + typed;
	}

	BEntry entry(typed.c_str(), true);
	status_t status = entry.InitCheck();
	if (status == B_OK && !entry.Exists())
		status = B_ENTRY_NOT_FOUND;
	entry_ref ref;
	if (status == B_OK)
		status = entry.GetRef(&ref);
	if (status != B_OK) {
		_SetStatus(panel_error_text(status));
		beep();
		return;
	}
	_SetStatus(NULL);
	if (entry.IsDirectory()) {
		SetFolder(&ref);
		fList->MakeFocus(true);
		return;
	}
	BEntry parent;
	entry_ref parentRef;
	if (entry.GetParent(&parent) != B_OK || parent.GetRef(&parentRef) != B_OK
		|| SetFolder(&parentRef) != B_OK)
		return;
	int32 index = fList->IndexOf(ref.name);
	if (index >= 0) {
		fList->Select(index);
		fList->ScrollToRow(index);
	}
	fList->MakeFocus(true);
}


void
FilePanelWindow::_GoToPlace(const char* path)
{
	status_t status = SetFolder(path);
	if (status != B_OK) {
		_SetStatus(panel_error_text(status));
		beep();
		return;
	}
	_SetStatus(NULL);
	fList->MakeFocus(true);
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
	_Done(&reply);
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


// Saving over an existing entry needs the user's word first. The
// question runs by itself, so the panel keeps drawing and the answer
// comes back as a message.
void
FilePanelWindow::_Save(const entry_ref& folder, const std::string& name)
{
	BPath path(&folder);
	BEntry existing;
	if (path.InitCheck() == B_OK && path.Append(name.c_str()) == B_OK
		&& existing.SetTo(path.Path()) == B_OK && existing.Exists()) {
		std::string question = "A file named \"" + name + "\" already "
			"exists in this folder. Do you want to replace it?";
		BAlert* alert = new BAlert("Replace", question.c_str(), "Cancel",
			"Replace", NULL, B_WIDTH_AS_USUAL, B_WARNING_ALERT);
		alert->SetShortcut(0, B_ESCAPE);
		BMessage* answer = new BMessage(kMsgReplaceAnswer);
		answer->AddRef("directory", &folder);
		answer->AddString("name", name.c_str());
		alert->Go(new BInvoker(answer, this));
		return;
	}
	_SendSave(folder, name);
}


void
FilePanelWindow::_ReplaceAnswered(BMessage* answer)
{
	entry_ref folder;
	const char* name = NULL;
	if (answer->GetInt32("which", 0) != 1
		|| answer->FindRef("directory", &folder) != B_OK
		|| answer->FindString("name", &name) != B_OK)
		return;
	_SendSave(folder, name);
}


void
FilePanelWindow::_SendSave(const entry_ref& folder, const std::string& name)
{
	BMessage reply = save_panel_reply(fMessage, folder, name.c_str());
	_Done(&reply);
}


// Sends the choice and, when the panel hides when done, the B_CANCEL of
// the hiding after it. The panel is hidden before anything is sent: a
// target may delete the BFilePanel as soon as it has the choice, and
// the hook must not run after that.
void
FilePanelWindow::_Done(BMessage* reply)
{
	bool hide = fHideWhenDone && fShowing;
	if (hide)
		_HideWindow();
	_Send(reply);
	if (hide)
		_SendCancelNotice();
}

}	// namespace BPrivate
