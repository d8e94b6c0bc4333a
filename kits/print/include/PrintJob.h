/*
 * BPrintJob: one print job, from the page setup and print dialogs to the
 * pages handed to the print system.
 *
 * ConfigPage() asks for the paper (size, orientation, margins) and
 * ConfigJob() for the destination (a printer of the print system, or a
 * PDF file chosen in a save panel), the pages and the copies; both show
 * a dialog modal to the application and return when it is closed: B_OK
 * when it was confirmed, B_CANCELED otherwise. The choices travel in the
 * settings message (Settings(), SetSettings()), which a caller keeps
 * between jobs without looking inside.
 *
 * Then BeginJob(), for each page DrawView() as often as needed and
 * SpoolPage(), and CommitJob() print. Page coordinates are points
 * (1/72 inch), with 0, 0 at the paper's left top. Views draw themselves
 * onto the page with their own Draw(), so text stays text in the PDF.
 *
 * A job that fails (the file cannot be written, the disk is full, the
 * printer refuses the job) stops: CanContinue() turns false, the rest of
 * the calls do nothing, and the person is told why in an alert. Nothing
 * already on disk is replaced by a half-written file.
 *
 * Threads: one at a time; a window's thread may configure and print,
 * and its window keeps redrawing while a dialog is shown.
 */
#ifndef _PRINT_JOB_H
#define _PRINT_JOB_H

#include <Point.h>
#include <Rect.h>
#include <SupportDefs.h>

#include <string>

class BMessage;
class BView;

namespace BPrivate {
class PdfSpool;
}


class BPrintJob {
public:
	enum {
		B_BW_PRINTER = 0,
		B_COLOR_PRINTER
	};

								BPrintJob(const char* jobName);
	// Cancels a job begun and not committed.
	virtual						~BPrintJob();

	// Settings
	// Shows the page setup dialog; B_OK when confirmed.
			status_t			ConfigPage();
	// Shows the print dialog; B_OK when confirmed (and, for a PDF file,
	// a name chosen).
			status_t			ConfigJob();
	// A new copy of the settings, which the caller owns.
			BMessage*			Settings();
	// Takes ownership of the message; NULL returns to the defaults.
			void				SetSettings(BMessage* settings);
			bool				IsSettingsMessageValid(
									BMessage* settings) const;

	// The page, in points: the whole paper, and the part inside the
	// margins, both with 0, 0 at the paper's left top.
			BRect				PaperRect();
			BRect				PrintableRect();
			void				GetResolution(int32* _xdpi, int32* _ydpi);
	// The pages chosen in the print dialog, counted from 1; LastPage()
	// is a very large number when all pages were chosen.
			int32				FirstPage();
			int32				LastPage();
			int32				PrinterType(void* type = NULL) const;

	// Printing
			void				BeginJob();
	// Draws the rect of the view (its own coordinates) with its Draw()
	// onto the current page, the rect's left top at where, which is
	// counted from the printable rect's left top.
	virtual	void				DrawView(BView* view, BRect rect,
									BPoint where);
			void				SpoolPage();
	// Hands the pages to the printer, or writes the PDF file.
			void				CommitJob();
			void				CancelJob();
	// False once the job was cancelled or failed.
			bool				CanContinue();

private:
								BPrintJob(const BPrintJob&) = delete;
			BPrintJob&			operator=(const BPrintJob&) = delete;

	// Stops the job and tells the person why.
			void				_Fail(const std::string& reason);
	// Why writing the pages failed, for _Fail().
			std::string			_WriteFailure();
			status_t			_StartPage();

			std::string			fName;
			BMessage*			fSettings;
			BPrivate::PdfSpool*	fSpool;
	// The PDF the spool writes: the chosen file's temporary twin, or a
	// file for the print system.
			std::string			fSpoolPath;
			bool				fPageOpen;
			int32				fSpooledPages;
			bool				fCanContinue;
			bool				fFailed;
};

#endif	// _PRINT_JOB_H
