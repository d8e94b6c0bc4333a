/*
 * Private to the print kit: what a job's settings message holds, read
 * into plain values and written back. The message is the job's settings
 * as the caller keeps them; fields that are missing or make no sense
 * (a negative margin, a paper of no size) are read as the defaults, so
 * a damaged message never reaches the dialogs or the page.
 *
 * Threads: any; a value type.
 */
#ifndef _KITS_PRINT_SETTINGS_H
#define _KITS_PRINT_SETTINGS_H

#include <Rect.h>
#include <SupportDefs.h>

#include <string>
#include <vector>

class BMessage;

namespace BPrivate {

// A paper size in points, always given upright (width <= height).
struct paper_size {
	std::string			name;
	float				width;
	float				height;
};

enum page_orientation {
	kPortrait = 0,
	kLandscape = 1
};

struct PrintSettings {
	// The what of a settings message.
	static constexpr uint32 kWhat = 'PrSt';
	// LastPage() when every page is to be printed.
	static constexpr int32 kAllPages = 0x7fffffff;
	static constexpr int32 kMaxCopies = 999;

	paper_size			paper;
	page_orientation	orientation = kPortrait;
	// In points, from the paper's edges as the page is turned.
	float				marginLeft;
	float				marginTop;
	float				marginRight;
	float				marginBottom;
	// A printer's name; empty for a PDF file.
	std::string			printer;
	// The PDF file's path, once one was chosen.
	std::string			pdfPath;
	int32				firstPage = 1;
	int32				lastPage = kAllPages;
	int32				copies = 1;

	// The defaults: the default paper, 20 mm margins, all pages, one
	// copy, the default printer or else a PDF file.
						PrintSettings();

	// The settings a job's message holds, the defaults for what it lacks
	// or when there is none. The print system is asked for its default
	// printer only when the message names no destination.
	static	PrintSettings		From(const BMessage* message);

	// Reads what the message has and is sound; the rest stays default.
	void				ReadFrom(const BMessage& message);
	void				WriteTo(BMessage& message) const;

	// The paper as it is turned, and the part inside the margins; 0, 0
	// is the paper's left top.
	BRect				PaperRect() const;
	BRect				PrintableRect() const;
	// Whether margins of these sizes leave something to print on this
	// paper.
	bool				MarginsFit(float left, float top, float right,
							float bottom) const;

private:
	struct NoPrinter {};
						PrintSettings(NoPrinter);
};

// The paper sizes every dialog offers: A4, Letter and the like.
const std::vector<paper_size>& standard_paper_sizes();
// The paper a new job starts with: Letter where the locale prints on it
// (US, Canada), A4 elsewhere.
paper_size default_paper_size();

const float kPointsPerMillimetre = 72.0f / 25.4f;

}	// namespace BPrivate

#endif	// _KITS_PRINT_SETTINGS_H
