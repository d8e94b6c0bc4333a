/*
 * The print dialog.
 */
#include "JobSetupWindow.h"

#include <Entry.h>
#include <FilePanel.h>
#include <MenuField.h>
#include <MenuItem.h>
#include <Message.h>
#include <Messenger.h>
#include <Path.h>
#include <PopUpMenu.h>
#include <TextControl.h>

#include "PageSetupWindow.h"

#include <stdio.h>

namespace BPrivate {

const char* const JobSetupWindow::kSaveAsPdfLabel = "Save as PDF";

namespace {

const float kWidth = 380.0f;
const float kNumberWidth = 110.0f;
const uint32 kMsgDestinationChanged = 'jsDC';
const uint32 kMsgPagesChanged = 'jsPC';
// The pages field's items.
const int32 kAllPagesItem = 0;
const int32 kRangeItem = 1;


BMenuItem*
add_item(BMenu* menu, const char* label, uint32 what)
{
	BMenuItem* item = new BMenuItem(label, new BMessage(what));
	menu->AddItem(item);
	return item;
}

}	// namespace


std::string
pdf_name_for_job(const char* jobName)
{
	std::string name = jobName != NULL ? jobName : "";
	for (char& c : name) {
		if (c == '/')
			c = '-';
	}
	size_t dot = name.rfind('.');
	if (dot != std::string::npos && dot > 0)
		name.erase(dot);
	if (name.empty())
		name = "Untitled";
	return name + ".pdf";
}


JobSetupWindow::JobSetupWindow(PrintSettings* settings, const char* jobName)
	:
	ConfigWindow("Print", kWidth, 3 * kRowHeight + 2 * kMargin, "Print"),
	fSettings(settings),
	fPending(*settings),
	fJobName(jobName != NULL ? jobName : ""),
	fPrinters(list_printers()),
	fDestinationField(NULL),
	fPagesField(NULL),
	fFromField(NULL),
	fToField(NULL),
	fCopiesField(NULL),
	fSavePanel(NULL)
{
	_AddDestinationField(kMargin);
	_AddPagesFields(kMargin + kRowHeight);

	char copies[16];
	snprintf(copies, sizeof(copies), "%ld", (long)settings->copies);
	float top = kMargin + 2 * kRowHeight;
	fCopiesField = new BTextControl(BRect(kMargin, top,
		kMargin + kLabelWidth + 60, top + 20), "copies", "Copies:", copies,
		NULL);
	fCopiesField->SetDivider(kLabelWidth);
	Panel()->AddChild(fCopiesField);
	_UpdateEnabled();
}


JobSetupWindow::~JobSetupWindow()
{
	delete fSavePanel;
}


void
JobSetupWindow::MessageReceived(BMessage* message)
{
	switch (message->what) {
		case kMsgDestinationChanged:
		case kMsgPagesChanged:
			_UpdateEnabled();
			break;
		case B_SAVE_REQUESTED:
			_FileChosen(message);
			break;
		case B_CANCEL:
			// The save panel was closed without a name: the dialog stays
			// for another choice.
			break;
		default:
			ConfigWindow::MessageReceived(message);
			break;
	}
}


bool
JobSetupWindow::Confirm()
{
	PrintSettings chosen = *fSettings;
	if (!_ReadChoices(chosen))
		return false;
	if (!_PdfChosen()) {
		*fSettings = chosen;
		return true;
	}
	fPending = chosen;
	_AskForFile();
	return false;
}


void
JobSetupWindow::_AddDestinationField(float top)
{
	BPopUpMenu* menu = new BPopUpMenu("destination");
	bool marked = false;
	for (const printer_info& printer : fPrinters) {
		BMenuItem* item = add_item(menu, printer.label.c_str(),
			kMsgDestinationChanged);
		if (printer.name == fSettings->printer) {
			item->SetMarked(true);
			marked = true;
		}
	}
	if (!fPrinters.empty())
		menu->AddSeparatorItem();
	BMenuItem* pdf = add_item(menu, kSaveAsPdfLabel, kMsgDestinationChanged);
	// A printer that has gone since gives way to the default one.
	if (!marked)
		(fSettings->printer.empty() || fPrinters.empty() ? pdf
			: menu->ItemAt(0))->SetMarked(true);
	fDestinationField = AddMenuField(top, "destination", "Destination:",
		menu);
}


void
JobSetupWindow::_AddPagesFields(float top)
{
	BPopUpMenu* menu = new BPopUpMenu("pages");
	BMenuItem* all = add_item(menu, "All", kMsgPagesChanged);
	BMenuItem* range = add_item(menu, "Range", kMsgPagesChanged);
	bool ranged = fSettings->firstPage > 1
		|| fSettings->lastPage != PrintSettings::kAllPages;
	(ranged ? range : all)->SetMarked(true);
	fPagesField = AddMenuField(top, "pages", "Pages:", menu,
		kLabelWidth + 70);

	char from[16];
	char to[16] = "";
	snprintf(from, sizeof(from), "%ld", (long)fSettings->firstPage);
	if (fSettings->lastPage != PrintSettings::kAllPages)
		snprintf(to, sizeof(to), "%ld", (long)fSettings->lastPage);
	float left = kMargin + kLabelWidth + 76;
	fFromField = new BTextControl(BRect(left, top, left + kNumberWidth - 30,
		top + 20), "from", "From:", from, NULL);
	fFromField->SetDivider(40);
	left += kNumberWidth - 24;
	fToField = new BTextControl(BRect(left, top, left + kNumberWidth - 40,
		top + 20), "to", "to:", to, NULL);
	fToField->SetDivider(24);
	Panel()->AddChild(fFromField);
	Panel()->AddChild(fToField);
}


bool
JobSetupWindow::_PdfChosen()
{
	BMenuItem* marked = fDestinationField->Menu()->FindMarked();
	return marked == NULL || fPrinters.empty()
		|| fDestinationField->Menu()->IndexOf(marked)
			>= (int32)fPrinters.size();
}


void
JobSetupWindow::_UpdateEnabled()
{
	bool ranged = fPagesField->Menu()->FindMarkedIndex() == kRangeItem;
	fFromField->SetEnabled(ranged);
	fToField->SetEnabled(ranged);
	// A file is written once; copies are the printer's business.
	fCopiesField->SetEnabled(!_PdfChosen());
}


bool
JobSetupWindow::_ReadChoices(PrintSettings& chosen)
{
	chosen.firstPage = 1;
	chosen.lastPage = PrintSettings::kAllPages;
	if (fPagesField->Menu()->FindMarkedIndex() == kRangeItem) {
		double from;
		double to = PrintSettings::kAllPages;
		bool toGiven = fToField->Text()[0] != '\0';
		if (!parse_number(fFromField->Text(), PrintSettings::kAllPages,
				&from) || from < 1 || from != (int32)from
			|| (toGiven && (!parse_number(fToField->Text(),
				PrintSettings::kAllPages, &to) || to != (int32)to
				|| to < from))) {
			ShowProblem("The pages are a range of page numbers from 1 on.");
			return false;
		}
		chosen.firstPage = (int32)from;
		chosen.lastPage = (int32)to;
	}

	if (_PdfChosen()) {
		chosen.printer.clear();
		return true;
	}
	double copies;
	if (!parse_number(fCopiesField->Text(), PrintSettings::kMaxCopies,
			&copies) || copies < 1 || copies != (int32)copies) {
		ShowProblem("Copies are a number from 1 to 999.");
		return false;
	}
	chosen.copies = (int32)copies;
	int32 index = fDestinationField->Menu()->FindMarkedIndex();
	chosen.printer = fPrinters[index].name;
	return true;
}


void
JobSetupWindow::_AskForFile()
{
	if (fSavePanel == NULL) {
		BMessenger target(this);
		fSavePanel = new BFilePanel(B_SAVE_PANEL, &target, NULL, 0, false,
			NULL, NULL, true);
		// Modal to the document as this dialog is, and this dialog waits
		// for it.
		BWindow* panel = fSavePanel->Window();
		if (Document() != NULL && panel->Lock()) {
			panel->SetFeel(B_MODAL_SUBSET_WINDOW_FEEL);
			panel->AddToSubset(Document());
			panel->Unlock();
		}
	}
	// The last file's folder and name, or the job's name in the home
	// folder.
	std::string name = pdf_name_for_job(fJobName.c_str());
	if (!fSettings->pdfPath.empty()) {
		BPath last(fSettings->pdfPath.c_str());
		BPath folder;
		if (last.InitCheck() == B_OK && last.GetParent(&folder) == B_OK) {
			fSavePanel->SetPanelDirectory(folder.Path());
			name = last.Leaf();
		}
	}
	fSavePanel->SetSaveText(name.c_str());
	fSavePanel->Show();
}


void
JobSetupWindow::_FileChosen(BMessage* message)
{
	entry_ref folder;
	const char* name;
	if (message->FindRef("directory", &folder) != B_OK
		|| message->FindString("name", &name) != B_OK) {
		return;
	}
	BPath path(&folder);
	if (path.InitCheck() != B_OK || path.Append(name) != B_OK) {
		ShowProblem("That folder cannot hold the PDF file.");
		return;
	}
	fPending.pdfPath = path.Path();
	*fSettings = fPending;
	Finish(kConfirmed);
}

}	// namespace BPrivate
