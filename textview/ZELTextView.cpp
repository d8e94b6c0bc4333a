/*
 * The document text view: loading, the clean flag, the status line,
 * settings, drops and the search commands. The search itself is in
 * ZELTextViewSearch.cpp.
 */
#include "ZELTextView.h"

#include <Alert.h>
#include <Application.h>
#include <Directory.h>
#include <Entry.h>
#include <File.h>
#include <Font.h>
#include <Message.h>
#include <StringView.h>
#include <Window.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "MessageCodes.h"
#include "PrintLine.h"
#include "SaveBackup.h"
#include "Settings.h"
#include "ZELSearch.h"

// The text view counts in int32, so a file must be shorter than 2 GiB.
static const off_t kMaxFileSize = 0x7fffffff;

// How much of a file one read asks for.
static const size_t kReadChunkSize = 64 * 1024;


ZELTextView::ZELTextView(BRect frame, BMessage* settings,
	BStringView* status, entry_ref* ref)
	:
	BTextView(frame, "ZELView", BRect(0, 0, 1000, 10), B_FOLLOW_ALL_SIDES,
		B_WILL_DRAW),
	fLastSearch(NULL),
	fLastReplace(NULL),
	fCleanFlag(true),
	fStatusView(status),
	fPageSettings(NULL)
{
	SetDoesUndo(true);
	SetStylable(false);
	AdjustView(settings);
	LoadFile(ref);
	// Loading is not a change.
	fCleanFlag = true;
	fLastSearch = strdup("");
	fLastReplace = strdup("");
}


ZELTextView::~ZELTextView()
{
	free(fLastSearch);
	free(fLastReplace);
	delete fPageSettings;
}


void
ZELTextView::MessageReceived(BMessage* message)
{
	PrintLine("ZELTextView");
	message->PrintToStream();

	switch (message->what) {
		case B_SIMPLE_DATA:
		case B_REFS_RECEIVED:
			_HandleDrop(message);
			break;
		case kMsgSettingsRecord:
			AdjustView(message);
			break;
		case kMsgPrint:
			PrintLine("Print");
			Print(Window()->Title());
			break;
		case kMsgPageSetup:
			PrintLine("PageSetup");
			PageSetup(Window()->Title());
			break;
		case kMsgFindAgain:
			Find(fLastSearch);
			break;
		case kMsgFind:
			_OpenSearch(true);
			break;
		case kMsgReplace:
			_OpenSearch(false);
			break;
		case kMsgReplaceSame:
			Replace(fLastSearch, fLastReplace);
			break;
		case kMsgSearchFind:
		case kMsgSearchReplace:
		case kMsgSearchReplaceAll:
			_HandleSearchRequest(message);
			break;
		default:
			BTextView::MessageReceived(message);
			break;
	}
}


void
ZELTextView::Pulse()
{
	if (fStatusView != NULL) {
		char line[32];
		snprintf(line, sizeof(line), "Line %li", (long)CurrentLine() + 1);
		fStatusView->SetText(line);
	}
	BTextView::Pulse();
}


void
ZELTextView::AdjustView(BMessage* message)
{
	BFont font;
	PrintLine("ZELTextView AdjustView");
	message->PrintToStream();
	if (message->what != kMsgSettingsRecord)
		return;

	const char* family;
	if (message->FindString(FontFamily, &family) == B_OK) {
		// A family name longer than the platform's buffer cannot name an
		// installed family; copying it cut would name another one.
		if (strlen(family) <= B_FONT_FAMILY_LENGTH) {
			font_family name;
			strcpy(name, family);
			font.SetFamilyAndStyle(name, NULL);
		}
	}

	// A size of 0 or below would make the text invisible; the default
	// font's size stays instead.
	int32 size;
	if (message->FindInt32(FontSize, &size) == B_OK && size > 0)
		font.SetSize((float)size);

	// A length of 0 or below gives the narrowest wrapping, the same at
	// start-up as when it arrives later.
	int32 lineLength;
	if (message->FindInt32(LineLength, &lineLength) == B_OK) {
		float width = font.StringWidth("M");
		SetTextRect(BRect(0, 0, width * lineLength + 1, 1));
	}

	SetFontAndColor(&font, B_FONT_ALL, NULL);
}


void
ZELTextView::LoadFile(entry_ref* ref)
{
	if (ref == NULL)
		return;
	PrintLine("ZELTextView LoadFile");

	BDirectory directory;
	if (directory.SetTo(ref) == B_OK) {
		PrintLine("Can't open directory as file: %s", ref->name);
		return;
	}

	// Reading is all loading needs: a file that may not be written is
	// still shown, and only saving it fails.
	BFile file;
	if (file.SetTo(ref, B_READ_ONLY) != B_OK) {
		PrintLine("Can't open file: %s", ref->name);
		return;
	}

	off_t size;
	status_t status = file.GetSize(&size);
	if (status == B_OK && size > kMaxFileSize) {
		PrintLine("File too large to open: %s", ref->name);
		return;
	}
	// The text view reads a file of known size straight into its own
	// storage, so loading needs no second copy of a large file.
	if (status == B_OK && size > 0)
		SetText(&file, 0, (int32)size, NULL);

	// A read that fell short, or a size that tells nothing (as in /proc
	// and /sys, where files say 0 and hold bytes all the same), is read
	// again in pieces to its end, which also tells why it failed.
	if (status != B_OK || size == 0 || TextLength() != size) {
		std::vector<char> bytes;
		status = _ReadAll(file, bytes);
		if (status == B_FILE_TOO_LARGE) {
			PrintLine("File too large to open: %s", ref->name);
			return;
		}
		if (status != B_OK) {
			// What was read is not shown: saving a part over the whole
			// would lose the rest.
			SetText("", 0, NULL);
			PrintLine("Can't read file: %s: %s", ref->name,
				status_text(status));
			return;
		}
		SetText(bytes.data(), (int32)bytes.size(), NULL);
	}

	// What the view shows came from this very file, so the stamp is
	// taken from the open file rather than looked up again by name. A
	// file whose size does not match what was read (as in /proc) has no
	// stamp that could tell a later change.
	if (file.GetSize(&size) == B_OK && size == TextLength())
		fDiskStamp.SetTo(file);

	_TellAboutLeftOverCopy(ref);
}


// Reads to the end of the file, whatever its size says: files in /proc
// and /sys say 0 and hold bytes all the same.
status_t
ZELTextView::_ReadAll(BFile& file, std::vector<char>& bytes)
{
	char chunk[kReadChunkSize];
	while (true) {
		ssize_t read = file.ReadAt(bytes.size(), chunk, sizeof(chunk));
		if (read < 0)
			return (status_t)read;
		if (read == 0)
			return B_OK;
		if ((off_t)bytes.size() + read > kMaxFileSize)
			return B_FILE_TOO_LARGE;
		bytes.insert(bytes.end(), chunk, chunk + read);
	}
}


// A copy of the old bytes that a save in place keeps until it is done is
// still there: that save never finished, and the file may be damaged.
void
ZELTextView::_TellAboutLeftOverCopy(const entry_ref* ref)
{
	std::string copy;
	if (SaveBackup::FindLeftOver(ref, &copy) != B_OK)
		return;

	std::string text = "An earlier save of \"";
	text += ref->name;
	text += "\" did not finish, so the file may be damaged. A copy of "
		"what it held before that save is in:\n";
	text += copy;
	PrintLine("%s", text.c_str());
	BAlert* alert = new BAlert("LeftOverCopy", text.c_str(), "OK", NULL,
		NULL, B_WIDTH_AS_USUAL, B_WARNING_ALERT);
	alert->Go((BInvoker*)NULL);
}


void
ZELTextView::InsertText(const char* text, int32 length, int32 offset,
	const text_run_array* runs)
{
	_NoteChange();
	BTextView::InsertText(text, length, offset, runs);
}


void
ZELTextView::DeleteText(int32 start, int32 finish)
{
	_NoteChange();
	BTextView::DeleteText(start, finish);
}


void
ZELTextView::_NoteChange()
{
	if (!fCleanFlag)
		return;
	fCleanFlag = false;
	// While the view is being made there is no window yet, and loading
	// is no change anyway.
	if (Window() != NULL)
		Window()->PostMessage(kMsgTextChanged);
}


void
ZELTextView::_HandleDrop(BMessage* message)
{
	if (!message->WasDropped() || !message->HasRef("refs", 0))
		return;
	message->what = B_REFS_RECEIVED;
	be_app->PostMessage(message);
}


// Opens a find dialog for this view, with the selection as the text to
// find, or the last search text when nothing is selected.
void
ZELTextView::_OpenSearch(bool findOnly)
{
	// The title can be of any length; the heading grows with it.
	std::string heading = findOnly ? "Find in \"" : "Find & Replace in \"";
	if (Window() != NULL)
		heading += Window()->Title();
	heading += "\"";

	int32 start;
	int32 end;
	GetSelection(&start, &end);
	std::string initial;
	if (end > start) {
		initial.resize(end - start + 1);
		GetText(start, end - start, &initial[0]);
		initial.resize(end - start);
	} else
		initial = fLastSearch;

	// The dialog shows and deletes itself; the view keeps no pointer.
	new ZELSearch(ConvertToScreen(Bounds()), heading.c_str(),
		initial.c_str(), this, findOnly);
}


// Stores the texts a search request carries and acts on them. A request
// without its fields changes nothing.
void
ZELTextView::_HandleSearchRequest(BMessage* message)
{
	const char* text;
	if (message->FindString(FindText, &text) != B_OK)
		return;
	const char* replacement = NULL;
	if (message->what != kMsgSearchFind
		&& message->FindString(ReplaceText, &replacement) != B_OK) {
		return;
	}

	char* search = strdup(text);
	char* replace = replacement != NULL ? strdup(replacement) : NULL;
	if (search == NULL || (replacement != NULL && replace == NULL)) {
		free(search);
		free(replace);
		return;
	}
	free(fLastSearch);
	fLastSearch = search;
	if (replace != NULL) {
		free(fLastReplace);
		fLastReplace = replace;
	}

	switch (message->what) {
		case kMsgSearchFind:
			Find(fLastSearch);
			break;
		case kMsgSearchReplace:
			Replace(fLastSearch, fLastReplace);
			break;
		case kMsgSearchReplaceAll:
			ReplaceAll(fLastSearch, fLastReplace);
			break;
	}
}
