/*
 * Private to the print kit: the print dialog. Where the pages go (a
 * printer of the print system, or "Save as PDF", always offered), which
 * pages (all, or a range) and how many copies. Confirming with "Save as
 * PDF" asks for the file in a save panel first; cancelling that panel
 * returns to the dialog. Confirming writes the choices into the settings
 * the job handed in; cancelling leaves those untouched.
 *
 * Threads: see ConfigWindow.
 *
 * Owns: the save panel.
 */
#ifndef _KITS_JOB_SETUP_WINDOW_H
#define _KITS_JOB_SETUP_WINDOW_H

#include "ConfigWindow.h"
#include "CupsPrinters.h"
#include "PrintSettings.h"

#include <string>
#include <vector>

class BFilePanel;
class BMenuField;
class BTextControl;

namespace BPrivate {

class JobSetupWindow : public ConfigWindow {
public:
	// settings must stay valid until Go() returns.
								JobSetupWindow(PrintSettings* settings,
									const char* jobName);
	virtual						~JobSetupWindow();

	virtual	void				MessageReceived(BMessage* message);

	// The label of the destination that writes a PDF file.
	static const char* const	kSaveAsPdfLabel;

protected:
	virtual	bool				Confirm();

private:
			void				_AddDestinationField(float top);
			void				_AddPagesFields(float top);
			bool				_PdfChosen();
			void				_UpdateEnabled();
	// Reads the page range and the copies into the settings; false (the
	// problem shown) when they make no sense.
			bool				_ReadChoices(PrintSettings& _chosen);
			void				_AskForFile();
			void				_FileChosen(BMessage* message);

			PrintSettings*		fSettings;
	// The choices waiting for the file's name.
			PrintSettings		fPending;
			std::string			fJobName;
			std::vector<printer_info> fPrinters;
			BMenuField*			fDestinationField;
			BMenuField*			fPagesField;
			BTextControl*		fFromField;
			BTextControl*		fToField;
			BTextControl*		fCopiesField;
			BFilePanel*			fSavePanel;
};

// The name proposed for the PDF of a job: its name with ".pdf" in place
// of the last extension, and no slashes.
std::string pdf_name_for_job(const char* jobName);

}	// namespace BPrivate

#endif	// _KITS_JOB_SETUP_WINDOW_H
