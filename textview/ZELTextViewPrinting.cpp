/*
 * The document text view on paper: page setup and printing. The view
 * prints itself, band by band of whole lines, with its own drawing, so
 * the pages show the text in the view's font and line width.
 */
#include "ZELTextView.h"

#include <Alert.h>
#include <Message.h>
#include <PrintJob.h>

#include <stdio.h>

#include "PageBands.h"
#include "PrintLine.h"


status_t
ZELTextView::PageSetup(const char* jobName)
{
	BPrintJob job(jobName);
	if (fPageSettings != NULL)
		job.SetSettings(new BMessage(*fPageSettings));
	status_t status = job.ConfigPage();
	if (status == B_OK) {
		delete fPageSettings;
		fPageSettings = job.Settings();
	}
	return status;
}


void
ZELTextView::Print(const char* jobName)
{
	PrintLine("ZELTextView Print");
	BPrintJob job(jobName);
	if (fPageSettings == NULL && PageSetup(jobName) != B_OK)
		return;
	job.SetSettings(new BMessage(*fPageSettings));
	if (job.ConfigJob() != B_OK)
		return;
	delete fPageSettings;
	fPageSettings = job.Settings();

	BRect page = job.PrintableRect();
	BRect text = TextRect();
	page.PrintToStream();
	int32 linesPerPage = PageBands::LinesPerPage(page.bottom - page.top,
		LineHeight(0));
	PrintLine("Lines=%li\n", (long)linesPerPage);
	page = PageBands::WholeLines(page, linesPerPage, LineHeight(0));
	float pageHeight = page.bottom - page.top;
	page.PrintToStream();
	text.PrintToStream();

	if (linesPerPage == 0) {
		_TellPageTooSmall();
		return;
	}
	int32 pageCount = PageBands::PageCount(text.bottom - text.top,
		pageHeight);
	int32 firstPage = job.FirstPage();
	int32 lastPage = PageBands::LastPage(job.LastPage(), pageCount);
	PrintLine("Pages=%li\n", (long)pageCount);

	job.BeginJob();
	for (int32 number = firstPage; number <= lastPage; number++) {
		if (!job.CanContinue())
			break;
		BRect band = PageBands::Band(page, pageHeight, number);
		job.DrawView(this, band, BPoint(0, 0));
		job.SpoolPage();
	}
	job.CommitJob();
}


void
ZELTextView::_TellPageTooSmall()
{
	BAlert* alert = new BAlert("Nothing printed",
		"Nothing was printed: the page is too small for one line of text. "
		"Choose a larger paper or smaller margins in Page Setup.", "OK",
		NULL, NULL, B_WIDTH_AS_USUAL, B_WARNING_ALERT);
	alert->Go(NULL);
}
