/*
 * The application object: windows, their count, the settings records.
 */
#include "ZELApp.h"

#include <Alert.h>
#include <AppDefs.h>
#include <Entry.h>
#include <FilePanel.h>
#include <FindDirectory.h>
#include <Path.h>
#include <Window.h>

#include <algorithm>

#include "JournalRecovery.h"
#include "JournalWriter.h"
#include "MessageCodes.h"
#include "PrintLine.h"
#include "Settings.h"
#include "ZELSetting.h"
#include "ZELWindow.h"


const char* APP_SIG = "application/x-vnd.ZEL-Orvane";
BRect DefaultRect(60, 60, 499, 399);

// How far each window is placed from the one before it, and after how
// many windows the cascade starts again at DefaultRect.
static const float kCascadeStep = 16;
static const int32 kCascadeMask = 0xF;

static const char* kAboutText =
	"\n"
	"Orvane\n"
	"\n"
	"A small plain-text editor.\n"
	"Written by the Orvane developers.\n"
	"Version 1.0.0";


// Where the journals of unsaved changes are kept; empty when there is no
// such place.
static std::string
recovery_folder()
{
	BPath path;
	if (find_directory(B_USER_STATE_DIRECTORY, &path) != B_OK
		|| path.Append("Orvane/recovery") != B_OK)
		return "";
	return path.Path();
}


ZELApp::ZELApp()
	:
	BApplication(APP_SIG),
	fOpenWindowCount(0),
	fNextWindowFrame(DefaultRect),
	fOpenPanel(NULL),
	fRecoveredFound(false)
{
	PrintLine("ZELApp constructor");
	DefaultSettings(&fDefaultSettings);
	LoadSettings(&fCurrentSettings);
}


ZELApp::~ZELApp()
{
	PrintLine("ZELApp destructor");
	SaveSettings(&fCurrentSettings);
	delete fOpenPanel;
	if (JournalWriter::Default() == fJournals.get())
		JournalWriter::SetDefault(NULL);
	fJournals.reset();
}


void
ZELApp::MessageReceived(BMessage* message)
{
	PrintLine("ZELApp MessageReceived");
	message->PrintToStream();

	switch (message->what) {
		case kMsgNew:
		case B_SILENT_RELAUNCH:
			// A launch without files while we run asks for a window, as
			// File > New does.
			NewWindow(NULL);
			break;
		case kMsgOpen:
			_ShowOpenPanel(message);
			break;
		case kMsgSettingsRecord:
			_ApplySettings(message);
			break;
		case kMsgWindowClosed:
			_WindowClosed();
			break;
		case kMsgSettings:
			// Each command opens another window; it lives on its own.
			new ZELSetting(DefaultRect, &fCurrentSettings, &fDefaultSettings);
			break;
		default:
			BApplication::MessageReceived(message);
			break;
	}
}


void
ZELApp::ReadyToRun()
{
	_OpenRecovered();
	if (CountWindows() == 0)
		NewWindow(NULL);
}


void
ZELApp::ArgvReceived(int32 argc, char** argv)
{
	// A file named here takes its journal, if it left one.
	_FindRecovered();
	for (int32 i = 1; i < argc; i++) {
		// The argument's line, then an empty one.
		PrintLine("ARGV[%2li]=%s\n", (long)i, argv[i]);
		entry_ref ref;
		if (get_ref_for_path(argv[i], &ref) == B_OK)
			NewWindow(&ref);
	}
}


void
ZELApp::RefsReceived(BMessage* message)
{
	PrintLine("ZELApp RefsReceived");
	message->PrintToStream();

	type_code type;
	int32 count;
	if (message->GetInfo("refs", &type, &count) != B_OK
		|| type != B_REF_TYPE)
		return;

	_FindRecovered();
	// The last reference opens first, so that the first one given ends
	// up in the frontmost window.
	for (int32 index = count - 1; index >= 0; index--) {
		entry_ref ref;
		if (message->FindRef("refs", index, &ref) == B_OK)
			NewWindow(&ref);
	}
}


void
ZELApp::AboutRequested()
{
	// Information, not a warning: nothing is wrong when a person asks
	// who made the program.
	BAlert* alert = new BAlert("About...", kAboutText, "OK", NULL, NULL,
		B_WIDTH_AS_USUAL, B_INFO_ALERT);
	alert->Go(NULL);
}


bool
ZELApp::QuitRequested()
{
	if (fJournals != NULL)
		fJournals->Sync();
	return BApplication::QuitRequested();
}


void
ZELApp::NewWindow(entry_ref* ref)
{
	_NewWindow(ref, 0, _TakeRecovered(ref));
}


// A window numbered as the next one, or, recovered, as it was.
void
ZELApp::_NewWindow(entry_ref* ref, int16 number,
	std::unique_ptr<RecoveredJournal> recovered)
{
	BRect frame = fNextWindowFrame;
	fOpenWindowCount++;
	bool recoveredWindow = recovered != NULL;
	if (number > 0 && recoveredWindow)
		fRecoveredNumbers.insert(number);
	// A new untitled window is not titled as one that came back is.
	if (number <= 0) {
		number = (int16)fOpenWindowCount;
		while (fRecoveredNumbers.count(number) != 0)
			number++;
	}
	ZELWindow* window = new ZELWindow(frame, ref, number, &fCurrentSettings,
		std::move(recovered));
	// The window runs already: what it says is read under its lock.
	if (recoveredWindow && window->Lock()) {
		fRecoveryNotes.push_back(window->RecoveryNote());
		window->Unlock();
	}

	if ((fOpenWindowCount & kCascadeMask) != 0)
		fNextWindowFrame.OffsetBy(kCascadeStep, kCascadeStep);
	else
		fNextWindowFrame = DefaultRect;
}


void
ZELApp::_FindRecovered()
{
	if (fRecoveredFound)
		return;
	fRecoveredFound = true;
	std::string folder = recovery_folder();
	if (folder.empty())
		return;
	JournalRecovery::Scan(folder.c_str(), fRecovered);
	fJournals.reset(new JournalWriter(folder.c_str()));
	if (fJournals->InitCheck() != B_OK) {
		PrintLine("Unsaved changes cannot be kept in %s: %s", folder.c_str(),
			status_text(fJournals->InitCheck()));
	}
	JournalWriter::SetDefault(fJournals.get());
}


std::unique_ptr<RecoveredJournal>
ZELApp::_TakeRecovered(const entry_ref* ref)
{
	BPath path;
	if (ref == NULL || path.SetTo(ref) != B_OK)
		return NULL;
	auto found = std::find_if(fRecovered.begin(), fRecovered.end(),
		[&](const std::unique_ptr<RecoveredJournal>& journal) {
			return journal->base.path == path.Path();
		});
	if (found == fRecovered.end())
		return NULL;
	std::unique_ptr<RecoveredJournal> journal = std::move(*found);
	fRecovered.erase(found);
	return journal;
}


// Opens a window for every journal not taken by a file named at the
// start, and tells the person once what came back.
void
ZELApp::_OpenRecovered()
{
	_FindRecovered();
	std::vector<std::unique_ptr<RecoveredJournal>> journals;
	journals.swap(fRecovered);
	for (std::unique_ptr<RecoveredJournal>& journal : journals) {
		entry_ref ref;
		bool untitled = journal->base.IsUntitled();
		if (!untitled
			&& get_ref_for_path(journal->base.path.c_str(), &ref) != B_OK) {
			PrintLine("Can't open file: %s", journal->base.path.c_str());
			continue;
		}
		int16 number = untitled ? (int16)journal->base.number : 0;
		_NewWindow(untitled ? NULL : &ref, number, std::move(journal));
	}

	if (fRecoveryNotes.empty())
		return;
	std::string text = "Orvane kept the unsaved changes of its last run "
		"and shows them again, not saved yet:\n";
	for (const std::string& note : fRecoveryNotes)
		text += "\n" + note;
	fRecoveryNotes.clear();
	BAlert* alert = new BAlert("RecoveryNotice", text.c_str(), "OK", NULL,
		NULL, B_WIDTH_AS_USUAL, B_INFO_ALERT);
	alert->Go(NULL);
}


void
ZELApp::_ShowOpenPanel(BMessage* message)
{
	if (fOpenPanel == NULL) {
		fOpenPanel = new BFilePanel(B_OPEN_PANEL, NULL, NULL, 0, true, NULL,
			NULL, false, true);
	}
	// Asked from a document, the panel starts in its folder; otherwise it
	// stays where it was last used.
	entry_ref folder;
	if (message->FindRef("directory", &folder) == B_OK)
		fOpenPanel->SetPanelDirectory(&folder);
	fOpenPanel->Show();
}


void
ZELApp::_WindowClosed()
{
	if (fOpenWindowCount == 0) {
		PostMessage(B_QUIT_REQUESTED);
		return;
	}
	fOpenWindowCount--;
	if (fOpenWindowCount == 0)
		PostMessage(B_QUIT_REQUESTED);
}


void
ZELApp::_ApplySettings(BMessage* message)
{
	fCurrentSettings = *message;

	for (int32 index = 0;; index++) {
		BWindow* window = WindowAt(index);
		if (window == NULL)
			break;
		if (!window->Lock())
			continue;
		window->PostMessage(message);
		window->Unlock();
	}
}
