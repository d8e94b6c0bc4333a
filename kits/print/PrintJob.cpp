/*
 * BPrintJob: settings, the dialogs, and the pages from BeginJob() to
 * CommitJob().
 */
#include <PrintJob.h>

#include <Alert.h>
#include <Message.h>
#include <View.h>

#include "CupsPrinters.h"
#include "JobSetupWindow.h"
#include "PageSetupWindow.h"
#include "PdfSpool.h"
#include "PrintSettings.h"
#include "ViewPrivate.h"

#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

using BPrivate::PrintSettings;

namespace {

BMessage*
message_of(const PrintSettings& settings)
{
	BMessage* message = new BMessage(PrintSettings::kWhat);
	settings.WriteTo(*message);
	return message;
}


// A name for a file beside path that no other file has yet: the PDF is
// written there and takes path's place only once it is whole.
std::string
temporary_twin(const std::string& path)
{
	size_t slash = path.rfind('/');
	std::string folder = slash == std::string::npos ? "."
		: path.substr(0, slash + 1);
	std::string leaf = slash == std::string::npos ? path
		: path.substr(slash + 1);
	char suffix[32];
	snprintf(suffix, sizeof(suffix), ".%ld-%d.part", (long)getpid(),
		rand() % 100000);
	return folder + "." + leaf + suffix;
}


std::string
spool_file_for_printer()
{
	const char* folder = getenv("TMPDIR");
	if (folder == NULL || folder[0] == '\0')
		folder = "/tmp";
	char suffix[48];
	snprintf(suffix, sizeof(suffix), "/print-%ld-%d.pdf", (long)getpid(),
		rand() % 1000000);
	return std::string(folder) + suffix;
}

}	// namespace


BPrintJob::BPrintJob(const char* jobName)
	:
	fName(jobName != NULL ? jobName : ""),
	fSettings(NULL),
	fSpool(NULL),
	fPageOpen(false),
	fSpooledPages(0),
	fCanContinue(true),
	fFailed(false)
{
}


BPrintJob::~BPrintJob()
{
	CancelJob();
	delete fSettings;
}


// #pragma mark - Settings


status_t
BPrintJob::ConfigPage()
{
	PrintSettings settings = PrintSettings::From(fSettings);
	BPrivate::PageSetupWindow* window
		= new BPrivate::PageSetupWindow(&settings);
	status_t status = window->Go();
	if (status == B_OK)
		SetSettings(message_of(settings));
	return status;
}


status_t
BPrintJob::ConfigJob()
{
	PrintSettings settings = PrintSettings::From(fSettings);
	BPrivate::JobSetupWindow* window
		= new BPrivate::JobSetupWindow(&settings, fName.c_str());
	status_t status = window->Go();
	if (status == B_OK)
		SetSettings(message_of(settings));
	return status;
}


BMessage*
BPrintJob::Settings()
{
	return message_of(PrintSettings::From(fSettings));
}


void
BPrintJob::SetSettings(BMessage* settings)
{
	if (settings == fSettings)
		return;
	delete fSettings;
	fSettings = settings;
}


bool
BPrintJob::IsSettingsMessageValid(BMessage* settings) const
{
	return settings != NULL && settings->what == PrintSettings::kWhat;
}


BRect
BPrintJob::PaperRect()
{
	return PrintSettings::From(fSettings).PaperRect();
}


BRect
BPrintJob::PrintableRect()
{
	return PrintSettings::From(fSettings).PrintableRect();
}


void
BPrintJob::GetResolution(int32* _xdpi, int32* _ydpi)
{
	// A PDF has no pixels; its unit is the point.
	if (_xdpi != NULL)
		*_xdpi = 72;
	if (_ydpi != NULL)
		*_ydpi = 72;
}


int32
BPrintJob::FirstPage()
{
	return PrintSettings::From(fSettings).firstPage;
}


int32
BPrintJob::LastPage()
{
	return PrintSettings::From(fSettings).lastPage;
}


int32
BPrintJob::PrinterType(void* type) const
{
	(void)type;
	return B_COLOR_PRINTER;
}


// #pragma mark - Printing


void
BPrintJob::BeginJob()
{
	if (fSpool != NULL || !fCanContinue)
		return;
	PrintSettings settings = PrintSettings::From(fSettings);
	if (settings.printer.empty() && settings.pdfPath.empty()) {
		_Fail("No printer and no PDF file was chosen.");
		return;
	}
	fSpoolPath = settings.printer.empty()
		? temporary_twin(settings.pdfPath) : spool_file_for_printer();
	fSpool = new BPrivate::PdfSpool;
	fSpooledPages = 0;
	if (_StartPage() != B_OK)
		return;
}


status_t
BPrintJob::_StartPage()
{
	if (fPageOpen)
		return B_OK;
	if (fSpooledPages == 0) {
		BRect paper = PaperRect();
		if (fSpool->Begin(fSpoolPath.c_str(), fName.c_str(), paper.Width(),
				paper.Height()) != B_OK) {
			_Fail(_WriteFailure());
			return B_ERROR;
		}
	}
	fPageOpen = true;
	return B_OK;
}


void
BPrintJob::DrawView(BView* view, BRect rect, BPoint where)
{
	if (view == NULL || fSpool == NULL || !fCanContinue
		|| _StartPage() != B_OK) {
		return;
	}
	cairo_t* context = fSpool->Context();
	BRect printable = PrintableRect();
	cairo_save(context);
	cairo_translate(context, printable.left, printable.top);
	bool locked = view->LockLooper();
	BView::Private(view).DrawForPrint(context, rect, where);
	if (locked)
		view->UnlockLooper();
	cairo_restore(context);
}


void
BPrintJob::SpoolPage()
{
	if (fSpool == NULL || !fCanContinue || _StartPage() != B_OK)
		return;
	if (fSpool->EndPage() != B_OK) {
		_Fail(_WriteFailure());
		return;
	}
	fPageOpen = false;
	fSpooledPages++;
}


void
BPrintJob::CommitJob()
{
	if (fSpool == NULL || !fCanContinue) {
		CancelJob();
		return;
	}
	PrintSettings settings = PrintSettings::From(fSettings);
	bool toFile = settings.printer.empty();
	// A job without pages gives neither an empty file nor an empty
	// sheet of paper.
	if (fSpooledPages == 0) {
		CancelJob();
		return;
	}
	if (fSpool->Finish() != B_OK) {
		_Fail(_WriteFailure());
		return;
	}
	delete fSpool;
	fSpool = NULL;

	if (toFile) {
		if (rename(fSpoolPath.c_str(), settings.pdfPath.c_str()) != 0) {
			std::string reason = strerror(errno);
			unlink(fSpoolPath.c_str());
			_Fail("The PDF file could not be written: " + reason + ".");
		}
		return;
	}
	std::string error;
	status_t status = BPrivate::submit_pdf_job(settings.printer,
		fSpoolPath.c_str(), fName.c_str(), settings.copies, error);
	unlink(fSpoolPath.c_str());
	if (status != B_OK)
		_Fail(error);
}


void
BPrintJob::CancelJob()
{
	if (fSpool != NULL) {
		fSpool->Abandon();
		delete fSpool;
		fSpool = NULL;
	}
	fPageOpen = false;
	fCanContinue = false;
}


bool
BPrintJob::CanContinue()
{
	return fCanContinue;
}


std::string
BPrintJob::_WriteFailure()
{
	std::string reason = fSpool != NULL ? fSpool->Error() : "";
	return (PrintSettings::From(fSettings).printer.empty()
		? "The PDF file could not be written: "
		: "The print data could not be written: ") + reason + ".";
}


void
BPrintJob::_Fail(const std::string& reason)
{
	bool first = !fFailed;
	fFailed = true;
	CancelJob();
	if (!first)
		return;
	std::string text = "\"" + fName + "\" was not printed.\n\n" + reason;
	BAlert* alert = new BAlert("Printing failed", text.c_str(), "OK", NULL,
		NULL, B_WIDTH_AS_USUAL, B_STOP_ALERT);
	alert->Go(NULL);
}
