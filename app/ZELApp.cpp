/*
 * The application object: windows, their count, the settings records.
 */
#include "ZELApp.h"

#include <Alert.h>
#include <AppDefs.h>
#include <Entry.h>
#include <FilePanel.h>
#include <Window.h>

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


ZELApp::ZELApp()
	:
	BApplication(APP_SIG),
	fOpenWindowCount(0),
	fNextWindowFrame(DefaultRect),
	fOpenPanel(NULL)
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
	if (CountWindows() == 0)
		NewWindow(NULL);
}


void
ZELApp::ArgvReceived(int32 argc, char** argv)
{
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


void
ZELApp::NewWindow(entry_ref* ref)
{
	BRect frame = fNextWindowFrame;
	fOpenWindowCount++;
	new ZELWindow(frame, ref, (int16)fOpenWindowCount, &fCurrentSettings);

	if ((fOpenWindowCount & kCascadeMask) != 0)
		fNextWindowFrame.OffsetBy(kCascadeStep, kCascadeStep);
	else
		fNextWindowFrame = DefaultRect;
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
