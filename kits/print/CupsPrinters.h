/*
 * Private to the print kit: the print system, CUPS, through libcups. The
 * printers and their default, the paper sizes a printer offers, and a
 * PDF file handed to a printer's queue. Which CUPS server is asked is
 * libcups' own choice (CUPS_SERVER, the client configuration, the local
 * scheduler); where none answers there are simply no printers. libcups
 * is loaded the first time it is needed; without it there are no
 * printers either, and a job says why it cannot be sent.
 *
 * Threads: any; each call makes its own connection.
 */
#ifndef _KITS_CUPS_PRINTERS_H
#define _KITS_CUPS_PRINTERS_H

#include <SupportDefs.h>

#include "PrintSettings.h"

#include <string>
#include <vector>

namespace BPrivate {

struct printer_info {
	std::string			name;
	// What the person sees: the printer's description, or its name.
	std::string			label;
	bool				isDefault = false;
};

// The printers the print system offers, the default first; empty when
// there is no print system to ask.
std::vector<printer_info> list_printers();
// The default printer's name; empty when there is none.
std::string default_printer_name();
// The paper sizes the printer offers, upright, named as the printer
// names them; empty when it tells none.
std::vector<paper_size> printer_paper_sizes(const std::string& printer);

// What a person calls a media size that CUPS names the PWG way:
// "iso_a4_210x297mm" is "A4", "na_letter_8.5x11in" "Letter". A name of
// another kind is returned as it is.
std::string media_label(const char* media);

// Hands the PDF file to the printer's queue as one job. On failure,
// _error says why in words for the person.
status_t submit_pdf_job(const std::string& printer, const char* path,
	const char* title, int32 copies, std::string& _error);

}	// namespace BPrivate

#endif	// _KITS_CUPS_PRINTERS_H
