/*
 * The print kit's settings: defaults, reading and writing the message.
 */
#include "PrintSettings.h"

#include <Message.h>

#include "CupsPrinters.h"

#include <math.h>
#include <stdlib.h>
#include <string.h>

namespace BPrivate {

namespace {

const float kDefaultMargin = 20.0f * kPointsPerMillimetre;
// Anything larger is no paper but a typing error.
const float kMaxPaperSide = 14400.0f;

const char* const kPaperField = "paper";
const char* const kPaperWidthField = "paper_width";
const char* const kPaperHeightField = "paper_height";
const char* const kOrientationField = "orientation";
const char* const kMarginFields[4] = { "margin_left", "margin_top",
	"margin_right", "margin_bottom" };
const char* const kPrinterField = "printer";
const char* const kPdfPathField = "pdf_path";
const char* const kFirstPageField = "first_page";
const char* const kLastPageField = "last_page";
const char* const kCopiesField = "copies";


bool
sound_length(float value, float limit)
{
	return isfinite(value) && value >= 0 && value <= limit;
}


// True where the locale's paper is Letter.
bool
locale_uses_letter()
{
	const char* names[] = { "LC_ALL", "LC_PAPER", "LANG" };
	for (const char* name : names) {
		const char* value = getenv(name);
		if (value == NULL || value[0] == '\0')
			continue;
		return strncmp(value, "en_US", 5) == 0
			|| strncmp(value, "en_CA", 5) == 0
			|| strncmp(value, "fr_CA", 5) == 0;
	}
	return false;
}

}	// namespace


const std::vector<paper_size>&
standard_paper_sizes()
{
	static const std::vector<paper_size> sSizes = {
		{ "A3", 841.89f, 1190.55f },
		{ "A4", 595.28f, 841.89f },
		{ "A5", 419.53f, 595.28f },
		{ "B5", 498.90f, 708.66f },
		{ "Letter", 612.0f, 792.0f },
		{ "Legal", 612.0f, 1008.0f },
		{ "Executive", 522.0f, 756.0f },
	};
	return sSizes;
}


paper_size
default_paper_size()
{
	const char* wanted = locale_uses_letter() ? "Letter" : "A4";
	for (const paper_size& size : standard_paper_sizes()) {
		if (size.name == wanted)
			return size;
	}
	return standard_paper_sizes()[1];
}


PrintSettings::PrintSettings()
	:
	PrintSettings(NoPrinter())
{
	printer = default_printer_name();
}


PrintSettings::PrintSettings(NoPrinter)
	:
	paper(default_paper_size()),
	marginLeft(kDefaultMargin),
	marginTop(kDefaultMargin),
	marginRight(kDefaultMargin),
	marginBottom(kDefaultMargin)
{
}


PrintSettings
PrintSettings::From(const BMessage* message)
{
	if (message == NULL)
		return PrintSettings();
	// A message that names its printer needs no question to the print
	// system; each page of a job reads its settings again.
	PrintSettings settings = message->HasString(kPrinterField)
		? PrintSettings(NoPrinter()) : PrintSettings();
	settings.ReadFrom(*message);
	return settings;
}


void
PrintSettings::ReadFrom(const BMessage& message)
{
	const char* name;
	float width;
	float height;
	if (message.FindString(kPaperField, &name) == B_OK
		&& message.FindFloat(kPaperWidthField, &width) == B_OK
		&& message.FindFloat(kPaperHeightField, &height) == B_OK
		&& sound_length(width, kMaxPaperSide) && width > 0
		&& sound_length(height, kMaxPaperSide) && height > 0) {
		paper = { name, std::min(width, height), std::max(width, height) };
	}

	int32 turned;
	if (message.FindInt32(kOrientationField, &turned) == B_OK
		&& (turned == kPortrait || turned == kLandscape)) {
		orientation = (page_orientation)turned;
	}

	float margins[4];
	bool found = true;
	for (int32 i = 0; i < 4; i++) {
		found = found && message.FindFloat(kMarginFields[i], &margins[i])
			== B_OK && sound_length(margins[i], kMaxPaperSide);
	}
	if (found && MarginsFit(margins[0], margins[1], margins[2], margins[3])) {
		marginLeft = margins[0];
		marginTop = margins[1];
		marginRight = margins[2];
		marginBottom = margins[3];
	}

	if (message.FindString(kPrinterField, &name) == B_OK)
		printer = name;
	if (message.FindString(kPdfPathField, &name) == B_OK)
		pdfPath = name;

	int32 first;
	int32 last;
	if (message.FindInt32(kFirstPageField, &first) == B_OK
		&& message.FindInt32(kLastPageField, &last) == B_OK
		&& first >= 1 && last >= first) {
		firstPage = first;
		lastPage = last;
	}
	int32 count;
	if (message.FindInt32(kCopiesField, &count) == B_OK && count >= 1
		&& count <= kMaxCopies) {
		copies = count;
	}
}


void
PrintSettings::WriteTo(BMessage& message) const
{
	message.MakeEmpty();
	message.what = kWhat;
	message.AddString(kPaperField, paper.name.c_str());
	message.AddFloat(kPaperWidthField, paper.width);
	message.AddFloat(kPaperHeightField, paper.height);
	message.AddInt32(kOrientationField, orientation);
	const float margins[4] = { marginLeft, marginTop, marginRight,
		marginBottom };
	for (int32 i = 0; i < 4; i++)
		message.AddFloat(kMarginFields[i], margins[i]);
	message.AddString(kPrinterField, printer.c_str());
	message.AddString(kPdfPathField, pdfPath.c_str());
	message.AddInt32(kFirstPageField, firstPage);
	message.AddInt32(kLastPageField, lastPage);
	message.AddInt32(kCopiesField, copies);
}


BRect
PrintSettings::PaperRect() const
{
	if (orientation == kLandscape)
		return BRect(0, 0, paper.height, paper.width);
	return BRect(0, 0, paper.width, paper.height);
}


BRect
PrintSettings::PrintableRect() const
{
	BRect rect = PaperRect();
	return BRect(rect.left + marginLeft, rect.top + marginTop,
		rect.right - marginRight, rect.bottom - marginBottom);
}


bool
PrintSettings::MarginsFit(float left, float top, float right,
	float bottom) const
{
	BRect rect = PaperRect();
	// Margins that meet leave no page; a point is the least that prints.
	return left >= 0 && top >= 0 && right >= 0 && bottom >= 0
		&& left + right + 1 <= rect.Width()
		&& top + bottom + 1 <= rect.Height();
}

}	// namespace BPrivate
