/*
 * The document text view: loading, the clean flag, the status line,
 * settings, drops and the search commands. The search itself is in
 * ZELTextViewSearch.cpp.
 */
#include "ZELTextView.h"

#include <Application.h>
#include <Entry.h>
#include <File.h>
#include <Font.h>
#include <Message.h>
#include <StringView.h>
#include <Window.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <string>

#include "DocumentReader.h"
#include "JournalRecovery.h"
#include "MessageCodes.h"
#include "PrintLine.h"
#include "Settings.h"
#include "ZELSearch.h"


namespace {

// The view as what a document is read into, or recovered into.
class ViewText : public DocumentReader::Sink, public RecoveryTarget {
public:
	ViewText(BTextView* view) : fView(view) {}

	void ReadFrom(BFile& file, int32 length) override
	{
		fView->SetText(&file, 0, length, NULL);
	}

	void Take(const char* bytes, int32 length) override
	{
		fView->SetText(bytes, length, NULL);
	}

	uint64 Length() const override
	{
		return (uint64)fView->TextLength();
	}

	status_t Insert(uint64 offset, const char* bytes, size_t length) override
	{
		int32 before = fView->TextLength();
		fView->Insert((int32)offset, bytes, (int32)length, NULL);
		return fView->TextLength() == before + (int32)length
			? B_OK : B_NO_MEMORY;
	}

	status_t Delete(uint64 from, uint64 to) override
	{
		int32 before = fView->TextLength();
		fView->Delete((int32)from, (int32)to);
		return fView->TextLength() == before - (int32)(to - from)
			? B_OK : B_ERROR;
	}

private:
	BTextView* fView;
};

}	// namespace


ZELTextView::ZELTextView(BRect frame, BMessage* settings,
	BStringView* status, entry_ref* ref)
	:
	BTextView(frame, "ZELView", BRect(0, 0, 1000, 10), B_FOLLOW_ALL_SIDES,
		B_WILL_DRAW),
	fLastSearch(NULL),
	fLastReplace(NULL),
	fStatusView(status),
	fPageSettings(NULL),
	fDocument(ref)
{
	SetDoesUndo(true);
	SetStylable(false);
	AdjustView(settings);
	LoadFile(ref);
	// Loading is not a change.
	fDocument.SetClean(true);
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

	ViewText text(this);
	DocumentReader::Result result = DocumentReader::Read(ref, text);
	switch (result.what) {
		case DocumentReader::kIsDirectory:
			PrintLine("Can't open directory as file: %s", ref->name);
			return;
		case DocumentReader::kCannotOpen:
			PrintLine("Can't open file: %s", ref->name);
			return;
		case DocumentReader::kTooLarge:
			PrintLine("File too large to open: %s", ref->name);
			return;
		case DocumentReader::kCannotRead:
			PrintLine("Can't read file: %s: %s", ref->name,
				status_text(result.status));
			return;
		case DocumentReader::kRead:
			break;
	}
	fDocument.Loaded(result, TextLength());
}


Document::recovery
ZELTextView::Recover(std::unique_ptr<RecoveredJournal> journal)
{
	bool undo = DoesUndo();
	SetDoesUndo(false);
	ViewText text(this);
	Document::recovery result = fDocument.Recover(std::move(journal), text);
	SetDoesUndo(undo);
	return result;
}


void
ZELTextView::InsertText(const char* text, int32 length, int32 offset,
	const text_run_array* runs)
{
	_NoteChange();
	// The journal takes its copy first: the bytes may lie in the view's
	// own buffer, which the insertion moves. An insertion that did not
	// happen is taken back from it.
	int32 before = TextLength();
	offset = std::clamp(offset, (int32)0, before);
	bool journaled = text != NULL && length > 0;
	if (journaled)
		fDocument.TextInserted(offset, text, length);
	BTextView::InsertText(text, length, offset, runs);
	if (journaled && TextLength() != before + length)
		fDocument.TextDeleted(offset, offset + length);
}


void
ZELTextView::DeleteText(int32 start, int32 finish)
{
	_NoteChange();
	int32 before = TextLength();
	start = std::clamp(start, (int32)0, before);
	finish = std::clamp(finish, (int32)0, before);
	BTextView::DeleteText(start, finish);
	if (finish > start && TextLength() == before - (finish - start))
		fDocument.TextDeleted(start, finish);
}


void
ZELTextView::_NoteChange()
{
	if (!fDocument.IsClean())
		return;
	fDocument.SetClean(false);
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
