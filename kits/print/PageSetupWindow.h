/*
 * Private to the print kit: the page setup dialog. The paper (the sizes
 * the chosen printer offers and the usual ones), its orientation and the
 * four margins in millimetres. Confirming writes them into the settings
 * the job handed in; cancelling leaves those untouched.
 *
 * Threads: see ConfigWindow.
 */
#ifndef _KITS_PAGE_SETUP_WINDOW_H
#define _KITS_PAGE_SETUP_WINDOW_H

#include "ConfigWindow.h"
#include "PrintSettings.h"

#include <vector>

class BMenuField;
class BTextControl;

namespace BPrivate {

class PageSetupWindow : public ConfigWindow {
public:
	// settings must stay valid until Go() returns.
								PageSetupWindow(PrintSettings* settings);

protected:
	virtual	bool				Confirm();

private:
			void				_AddPaperField(float top);
			void				_AddOrientationField(float top);
			BTextControl*		_AddMarginField(BRect frame, const char* name,
									const char* label, float points);

			PrintSettings*		fSettings;
			std::vector<paper_size>	fPapers;
			BMenuField*			fPaperField;
			BMenuField*			fOrientationField;
	// Left, top, right, bottom.
			BTextControl*		fMargins[4];
};

// The text as a number of at most limit, 0 or more and nothing else;
// false for anything else (empty, words, a trailing unit).
bool parse_number(const char* text, double limit, double* _value);

}	// namespace BPrivate

#endif	// _KITS_PAGE_SETUP_WINDOW_H
