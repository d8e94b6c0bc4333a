/*
 * The document window: layout, menus, saving, closing and the title.
 */
#include "ZELWindow.h"

#include <Alert.h>
#include <Application.h>
#include <Directory.h>
#include <Entry.h>
#include <FilePanel.h>
#include <Menu.h>
#include <MenuBar.h>
#include <MenuItem.h>
#include <Message.h>
#include <Messenger.h>
#include <Path.h>
#include <ScrollBar.h>
#include <ScrollView.h>
#include <StringView.h>

#include <stdio.h>

#include <string>

#include "DocumentWriter.h"
#include "JournalRecovery.h"
#include "MessageCodes.h"
#include "PrintLine.h"
#include "ZELTextView.h"

// The width of the status area in the lower left corner, and of the
// scroll bars it sits beside.
static const float kStatusWidth = 100;
static const float kScrollBarWidth = 14;


ZELWindow::ZELWindow(BRect frame, entry_ref* ref, int16 number,
	BMessage* settings)
	:
	ZELWindow(frame, ref, number, settings, NULL)
{
}


ZELWindow::ZELWindow(BRect frame, entry_ref* ref, int16 number,
	BMessage* settings, std::unique_ptr<RecoveredJournal> recovered)
	:
	BWindow(frame, "", B_DOCUMENT_WINDOW, 0, B_CURRENT_WORKSPACE),
	fTextView(NULL),
	fDocument(NULL),
	fMenuBar(NULL),
	fNumber(number),
	fSavePanel(NULL),
	fSavePanelMessenger(NULL)
{
	PrintLine("ZELWindow constructor");
	_Build(ref, settings);
	if (recovered != NULL)
		_Recover(std::move(recovered));
	_BuildMenus();
	if (!fDocument->IsClean())
		_SetSaveEnabled(true);
	AdaptTitle();
	fTextView->MakeFocus(true);
	Show();
	_TellAboutLeftOverCopy();
}


ZELWindow::~ZELWindow()
{
	DeleteSavePanel();
}


void
ZELWindow::_Build(entry_ref* ref, BMessage* settings)
{
	BRect bounds = Bounds();
	fMenuBar = new BMenuBar(bounds, "main menu",
		B_FOLLOW_LEFT_RIGHT | B_FOLLOW_TOP, B_ITEMS_IN_ROW, true);
	AddChild(fMenuBar);
	BRect menuBounds = fMenuBar->Bounds();

	BRect textRect(bounds.left, menuBounds.bottom + 1,
		bounds.right - kScrollBarWidth, bounds.bottom - kScrollBarWidth);
	BRect statusRect(bounds.left, bounds.bottom - 12,
		bounds.left + kStatusWidth - 1, bounds.bottom);
	BRect lineRect(bounds.left, bounds.bottom - 13,
		bounds.left + kStatusWidth - 1, bounds.bottom - 13);

	BStringView* status = new BStringView(statusRect, "wixStatus", "",
		B_FOLLOW_LEFT | B_FOLLOW_BOTTOM, B_WILL_DRAW);
	status->SetViewColor(216, 216, 216, 255);

	BView* line = new BView(lineRect, "zelLine",
		B_FOLLOW_LEFT | B_FOLLOW_BOTTOM, B_WILL_DRAW);
	line->SetViewColor(164, 164, 164, 0);

	// A directory is no document: its window is an untitled one.
	entry_ref* fileRef = NULL;
	BDirectory directory;
	if (ref != NULL && directory.SetTo(ref) != B_OK)
		fileRef = ref;

	fTextView = new ZELTextView(textRect, settings, status, fileRef);
	fDocument = &fTextView->GetDocument();
	fDocument->SetNumber(fNumber);
	fDocument->SetOwner(BMessenger(this));
	BScrollView* scrollView = new BScrollView("ScrollView", fTextView,
		B_FOLLOW_ALL_SIDES, 0, true, true, B_FANCY_BORDER);

	// The status area takes the first 100 pixels of the horizontal bar's
	// place.
	BScrollBar* horizontal = scrollView->ScrollBar(B_HORIZONTAL);
	horizontal->ResizeBy(-kStatusWidth, 0);
	horizontal->MoveBy(kStatusWidth, 0);

	AddChild(scrollView);
	AddChild(status);
	AddChild(line);
}


// Puts back the text a journal kept and says what became of it.
void
ZELWindow::_Recover(std::unique_ptr<RecoveredJournal> recovered)
{
	std::string title = fDocument->Ref() != NULL ? fDocument->Ref()->name
		: "Untitled - " + std::to_string(fNumber);
	switch (fTextView->Recover(std::move(recovered))) {
		case Document::kRecovered:
			fRecoveryNote = title;
			break;
		case Document::kRecoveredFileChanged:
			fRecoveryNote = title + " (the file was changed on disk since; "
				"saving asks before it writes over it)";
			break;
		case Document::kNotRecovered:
			fRecoveryNote = title + ": the unsaved changes could not be put "
				"back, since the file was changed on disk; they are kept in "
				+ fDocument->RecoveryPath();
			break;
	}
	PrintLine("Recovered: %s", fRecoveryNote.c_str());
}


// A copy of the old bytes that a save in place keeps until it is done is
// still there: that save never finished, and the file may be damaged.
void
ZELWindow::_TellAboutLeftOverCopy()
{
	const std::string& copy = fDocument->LeftOverCopy();
	if (copy.empty() || fDocument->Ref() == NULL)
		return;

	std::string text = "An earlier save of \"";
	text += fDocument->Ref()->name;
	text += "\" did not finish, so the file may be damaged. A copy of "
		"what it held before that save is in:\n";
	text += copy;
	PrintLine("%s", text.c_str());
	BAlert* alert = new BAlert("LeftOverCopy", text.c_str(), "OK", NULL,
		NULL, B_WIDTH_AS_USUAL, B_WARNING_ALERT);
	alert->Go((BInvoker*)NULL);
}


void
ZELWindow::_BuildMenus()
{
	BMenu* menu = new BMenu("File", B_ITEMS_IN_COLUMN);
	BMenuItem* item;

	menu->AddItem(item = new BMenuItem("New", new BMessage(kMsgNew), 'N'));
	item->SetTarget(be_app);
	menu->AddItem(item = new BMenuItem("Open", new BMessage(kMsgOpen), 'O'));
	item->SetTarget(be_app);
	menu->AddItem(new BMenuItem("Close", new BMessage(B_QUIT_REQUESTED),
		'W'));
	menu->AddSeparatorItem();
	menu->AddItem(item = new BMenuItem("Save", new BMessage(kMsgSave), 'S'));
	item->SetEnabled(false);
	menu->AddItem(new BMenuItem("Save As...", new BMessage(kMsgSaveAs)));
	menu->AddSeparatorItem();
	menu->AddItem(item = new BMenuItem("Page Setup...",
		new BMessage(kMsgPageSetup)));
	item->SetTarget(fTextView);
	menu->AddItem(item = new BMenuItem("Print...", new BMessage(kMsgPrint),
		'P'));
	item->SetTarget(fTextView);
	menu->AddSeparatorItem();
	menu->AddItem(item = new BMenuItem("About Orvane...",
		new BMessage(B_ABOUT_REQUESTED)));
	item->SetTarget(be_app);
	menu->AddSeparatorItem();
	menu->AddItem(item = new BMenuItem("Quit", new BMessage(B_QUIT_REQUESTED),
		'Q'));
	item->SetTarget(be_app);
	fMenuBar->AddItem(menu);

	menu = new BMenu("Edit", B_ITEMS_IN_COLUMN);
	struct { const char* label; uint32 code; char shortcut; } edit[] = {
		{ "Undo", B_UNDO, 'Z' },
		{ NULL, 0, 0 },
		{ "Cut", B_CUT, 'X' },
		{ "Copy", B_COPY, 'C' },
		{ "Paste", B_PASTE, 'V' },
		{ "Select All", B_SELECT_ALL, 'A' },
		{ NULL, 0, 0 },
		{ "Find...", kMsgFind, 'F' },
		{ "Find Again", kMsgFindAgain, 'G' },
		{ "Replace...", kMsgReplace, 'R' },
		{ "Replace Same", kMsgReplaceSame, 'T' }
	};
	for (const auto& entry : edit) {
		if (entry.label == NULL) {
			menu->AddSeparatorItem();
			continue;
		}
		menu->AddItem(item = new BMenuItem(entry.label,
			new BMessage(entry.code), entry.shortcut));
		item->SetTarget(fTextView);
	}
	fMenuBar->AddItem(menu);

	menu = new BMenu("Extras", B_ITEMS_IN_COLUMN);
	fMenuBar->AddItem(menu);
	menu->AddItem(item = new BMenuItem("Settings", new BMessage(kMsgSettings),
		'E'));
	item->SetTarget(be_app);
}


void
ZELWindow::MessageReceived(BMessage* message)
{
	PrintLine("ZELWindow MessageReceived");
	message->PrintToStream();

	switch (message->what) {
		case kMsgClose:
			Quit();
			break;
		case kMsgSaveAs:
			_SaveAs();
			break;
		case kMsgSave:
			_Save();
			break;
		case kMsgSettingsRecord:
			PostMessage(message, fTextView, NULL);
			break;
		case kMsgTextChanged:
			_SetSaveEnabled(true);
			break;
		case kMsgJournalSnapshot:
			fDocument->SnapshotRequested(message, fTextView->Text(),
				fTextView->TextLength());
			break;
		case B_SAVE_REQUESTED:
			_SaveRequested(message);
			break;
		case B_CANCEL:
			DeleteSavePanel();
			break;
		default:
			BWindow::MessageReceived(message);
			break;
	}
}


bool
ZELWindow::QuitRequested()
{
	if (!fTextView->IsClean()) {
		// Whatever becomes of the question, the text typed so far is on
		// disk before it is asked.
		fDocument->SyncJournal();
		// A growing string: a file name may be longer than any fixed
		// buffer made for the question.
		std::string question = "Save changes to the document \"";
		question += Title();
		question += "\"?";

		BAlert* alert = new BAlert("SaveAlert", question.c_str(),
			"Don't save", "Cancel", "Save", B_WIDTH_AS_USUAL,
			B_INFO_ALERT);
		alert->SetShortcut(1, B_ESCAPE);
		int32 choice = alert->Go();

		if (choice == 1)
			return false;
		if (choice == 2) {
			if (fDocument->Ref() == NULL) {
				_ShowSavePanelForUntitled();
				return false;
			}
			entry_ref ref = *fDocument->Ref();
			if (SaveText(&ref) != 0)
				return false;
		} else
			fDocument->Discarded();
	}

	DeleteSavePanel();
	be_app->PostMessage(kMsgWindowClosed);
	return true;
}


int32
ZELWindow::SaveText(entry_ref* ref)
{
	if (ref == NULL) {
		_SaveFailed(NULL, B_BAD_VALUE, "");
		return -1;
	}
	bool knewTheFile;
	if (!_MayOverwrite(ref, &knewTheFile))
		return -1;

	DocumentWriter writer;
	status_t status = writer.Write(ref, fTextView->Text(),
		fTextView->TextLength());
	if (status != B_OK && writer.CanOverwriteInPlace()) {
		if (!_MayOverwriteInPlace(ref, status))
			return -1;
		status = writer.Write(ref, fTextView->Text(),
			fTextView->TextLength(), DocumentWriter::kOverwriteInPlace);
	}

	if (status != B_OK && writer.FolderNotSynced()) {
		// The file holds the text, but may lose it in a crash: the
		// document is that file's now and stays unsaved, so that the
		// next save tries again without asking about a changed file.
		fDocument->WrittenNotSafe(*ref, writer.Stamp());
		_SetSaveEnabled(true);
		AdaptTitle();
		_FolderNotSynced(ref, status);
		return -1;
	}
	if (status != B_OK) {
		// A failed save leaves the old bytes on disk, though perhaps
		// written back with new times: when the window knew them before,
		// it still does.
		if (knewTheFile && writer.Stamp().IsKnown())
			fTextView->SetDiskStamp(writer.Stamp());
		_SaveFailed(ref, status, writer.BackupPath());
		return -1;
	}

	FileStamp stamp = writer.Stamp();
	if (!stamp.IsKnown())
		stamp.SetTo(ref);
	fDocument->Saved(*ref, stamp, fTextView->TextLength());
	return 0;
}


void
ZELWindow::DeleteSavePanel()
{
	if (fSavePanel == NULL)
		return;
	delete fSavePanel;
	fSavePanel = NULL;
	delete fSavePanelMessenger;
	fSavePanelMessenger = NULL;
}


void
ZELWindow::CreateSavePanel()
{
	if (fSavePanel != NULL)
		return;
	fSavePanelMessenger = new BMessenger(this, NULL);
	fSavePanel = new BFilePanel(B_SAVE_PANEL, fSavePanelMessenger, NULL,
		B_FILE_NODE, false, NULL, NULL, false, true);
}


void
ZELWindow::AdaptTitle()
{
	_UpdateOpenFolder();
	if (fDocument->Ref() != NULL) {
		SetTitle(fDocument->Ref()->name);
		return;
	}
	char title[64];
	snprintf(title, sizeof(title), "%s - %i", "Untitled", (int)fNumber);
	SetTitle(title);
}


void
ZELWindow::_Save()
{
	if (fDocument->Ref() == NULL) {
		_ShowSavePanelForUntitled();
		return;
	}
	entry_ref ref = *fDocument->Ref();
	if (SaveText(&ref) != 0)
		return;
	_SetSaveEnabled(false);
	fTextView->SetClean(true);
}


void
ZELWindow::_SaveAs()
{
	CreateSavePanel();
	if (fDocument->Ref() != NULL) {
		fSavePanel->SetSaveText(fDocument->Ref()->name);
		BEntry entry(fDocument->Ref());
		BDirectory folder;
		if (entry.GetParent(&folder) == B_OK)
			fSavePanel->SetPanelDirectory(&folder);
	} else {
		fSavePanel->SetSaveText(Title());
		fSavePanel->SetPanelDirectory((BDirectory*)NULL);
	}
	fSavePanel->Show();
}


void
ZELWindow::_SaveRequested(BMessage* message)
{
	PrintLine("SAVE_REQUESTED");
	DeleteSavePanel();

	entry_ref directory;
	const char* name;
	if (message->FindRef("directory", &directory) != B_OK
		|| message->FindString("name", &name) != B_OK)
		return;

	BEntry entry;
	if (entry.SetTo(&directory, true) != B_OK)
		return;
	BPath path;
	if (entry.GetPath(&path) != B_OK || path.Append(name, false) != B_OK)
		return;
	PrintLine("%s", path.Path());

	entry_ref ref;
	if (entry.SetTo(path.Path(), false) != B_OK || entry.GetRef(&ref) != B_OK)
		return;
	// A successful save makes the new file the document's.
	if (SaveText(&ref) != 0)
		return;

	fTextView->SetClean(true);
	_SetSaveEnabled(false);
	AdaptTitle();
}


void
ZELWindow::_ShowSavePanelForUntitled()
{
	CreateSavePanel();
	fSavePanel->SetSaveText(Title());
	fSavePanel->SetPanelDirectory((BDirectory*)NULL);
	fSavePanel->Show();
}


// File > Open asks the application for its panel; the message carries
// this document's folder so the panel starts there. An untitled window
// sends none, and the panel stays in the folder it was last used in.
void
ZELWindow::_UpdateOpenFolder()
{
	BMenuItem* item = fMenuBar != NULL ? fMenuBar->FindItem(kMsgOpen) : NULL;
	if (item == NULL || item->Message() == NULL)
		return;
	BMessage* message = item->Message();
	message->RemoveName("directory");
	BEntry entry;
	BEntry parent;
	entry_ref folder;
	if (fDocument->Ref() != NULL && entry.SetTo(fDocument->Ref()) == B_OK
		&& entry.GetParent(&parent) == B_OK && parent.GetRef(&folder) == B_OK)
		message->AddRef("directory", &folder);
}


void
ZELWindow::_SetSaveEnabled(bool enabled)
{
	BMenuItem* item = fMenuBar->FindItem(kMsgSave);
	if (item != NULL)
		item->SetEnabled(enabled);
}


bool
ZELWindow::_MayOverwrite(const entry_ref* ref, bool* _knewTheFile)
{
	*_knewTheFile = false;
	// Only the document's own file is checked: the save panel asks for
	// itself before another existing file is replaced.
	if (fDocument->Ref() == NULL || *ref != *fDocument->Ref())
		return true;

	FileStamp current;
	if (current.SetTo(ref) != B_OK)
		return true;	// nothing there to lose
	if (current == fTextView->DiskStamp()) {
		*_knewTheFile = true;
		return true;
	}

	std::string question = "The file \"";
	question += ref->name;
	question += "\" holds what this window never showed: it was changed "
		"on disk, or could not be read. Save over it?";
	BAlert* alert = new BAlert("OverwriteAlert", question.c_str(),
		"Save over it", "Don't save", NULL, B_WIDTH_AS_USUAL,
		B_WARNING_ALERT);
	alert->SetShortcut(1, B_ESCAPE);
	return alert->Go() == 0;
}


bool
ZELWindow::_MayOverwriteInPlace(const entry_ref* ref, status_t reason)
{
	std::string question;
	if (reason == B_DEVICE_FULL) {
		question = "The disk is full: there is no room to save \"";
		question += ref->name;
		question += "\" safely, beside its old version.";
	} else {
		question = "No safe copy of \"";
		question += ref->name;
		question += "\" can be made while it is saved (";
		question += status_text(reason);
		question += ").";
	}
	question += "\n\nOrvane can write over the file where it is instead. "
		"If the computer stops or Orvane is ended while it does, the file "
		"may be left damaged, partly new and partly old.";

	// The safe answer is the default one, for Enter as for Escape.
	BAlert* alert = new BAlert("OverwriteInPlaceAlert", question.c_str(),
		"Overwrite", "Cancel", NULL, B_WIDTH_AS_USUAL, B_STOP_ALERT);
	alert->SetShortcut(1, B_ESCAPE);
	return alert->Go() == 0;
}


void
ZELWindow::_FolderNotSynced(const entry_ref* ref, status_t status)
{
	PrintLine("File written, but its folder could not be synced: \"%s\": %s",
		ref->name, status_text(status));

	std::string text = "\"";
	text += ref->name;
	text += "\" was written, but its folder could not be synced to the "
		"disk (";
	text += status_text(status);
	text += "), so after a crash the file may hold its old text again.\n"
		"The document stays unsaved: save again to try once more.";
	BAlert* alert = new BAlert("SaveNotSynced", text.c_str(), "OK",
		NULL, NULL, B_WIDTH_AS_USUAL, B_WARNING_ALERT);
	alert->Go();
}


void
ZELWindow::_SaveFailed(const entry_ref* ref, status_t status,
	const std::string& backupPath)
{
	std::string reason = status_text(status);
	if (!backupPath.empty()) {
		reason += "\nA copy of the file's old text is in ";
		reason += backupPath;
	}

	PrintLine("Unable to save file ! \"%s\": %s",
		ref != NULL ? ref->name : "", reason.c_str());

	std::string text = "Unable to save file !\n";
	text += reason;
	BAlert* alert = new BAlert("SaveError", text.c_str(), "OK",
		NULL, NULL, B_WIDTH_AS_USUAL, B_WARNING_ALERT);
	alert->Go();
}
