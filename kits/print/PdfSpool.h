/*
 * Private to the print kit: the pages of a job written as a PDF file
 * through cairo. One unit is one point. The file is written through a
 * descriptor of our own so that a failing write (a full disk) is known
 * with its reason, not only as cairo's "write error".
 *
 * Threads: the job's.
 *
 * Owns: the cairo surface and context, and the open file until Finish().
 */
#ifndef _KITS_PDF_SPOOL_H
#define _KITS_PDF_SPOOL_H

#include <SupportDefs.h>

#include <cairo.h>

#include <string>

namespace BPrivate {

class PdfSpool {
public:
								PdfSpool();
	// Closes and removes a file not finished.
								~PdfSpool();

	// Creates the file at path, which must not exist, with pages of this
	// size (points). The job's name becomes the document's title.
			status_t			Begin(const char* path, const char* title,
									double width, double height);
	// The page being drawn.
			cairo_t*			Context() const { return fContext; }
	// Ends the page; the next drawing goes onto a new one.
			status_t			EndPage();
	// Writes the rest of the file and closes it, flushed to the disk.
			status_t			Finish();
	// Gives up: the file is closed and removed.
			void				Abandon();

	// Why the last call failed, in words for the person.
			const std::string&	Error() const { return fError; }

private:
	static	cairo_status_t		_Write(void* closure,
									const unsigned char* data,
									unsigned int length);
			status_t			_Check();
			void				_Close();

			cairo_surface_t*	fSurface;
			cairo_t*			fContext;
			int					fFile;
			std::string			fPath;
	// The error of the first write that failed, 0 when none did.
			int					fWriteError;
			std::string			fError;
};

}	// namespace BPrivate

#endif	// _KITS_PDF_SPOOL_H
