/*
 * A job's pages as a PDF file.
 */
#include "PdfSpool.h"

#include <cairo-pdf.h>

#include <errno.h>
#include <fcntl.h>
#include <string.h>
#include <unistd.h>

namespace BPrivate {

PdfSpool::PdfSpool()
	:
	fSurface(NULL),
	fContext(NULL),
	fFile(-1),
	fWriteError(0)
{
}


PdfSpool::~PdfSpool()
{
	Abandon();
}


status_t
PdfSpool::Begin(const char* path, const char* title, double width,
	double height)
{
	fPath = path;
	fFile = open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
	if (fFile < 0) {
		fError = strerror(errno);
		fPath.clear();
		return B_ERROR;
	}
	fSurface = cairo_pdf_surface_create_for_stream(&PdfSpool::_Write, this,
		width, height);
	if (title != NULL) {
		cairo_pdf_surface_set_metadata(fSurface, CAIRO_PDF_METADATA_TITLE,
			title);
	}
	cairo_pdf_surface_set_metadata(fSurface, CAIRO_PDF_METADATA_CREATOR,
		"Orvane");
	fContext = cairo_create(fSurface);
	return _Check();
}


status_t
PdfSpool::EndPage()
{
	if (fContext == NULL)
		return B_NO_INIT;
	cairo_show_page(fContext);
	return _Check();
}


status_t
PdfSpool::Finish()
{
	if (fContext == NULL)
		return B_NO_INIT;
	cairo_destroy(fContext);
	fContext = NULL;
	cairo_surface_finish(fSurface);
	status_t status = _Check();
	cairo_surface_destroy(fSurface);
	fSurface = NULL;
	if (status != B_OK)
		return status;
	// A file that only the cache holds is not written yet: a full disk
	// may still refuse it.
	if (fsync(fFile) != 0 && errno != EINVAL) {
		fError = strerror(errno);
		return B_ERROR;
	}
	int file = fFile;
	fFile = -1;
	if (close(file) != 0) {
		fError = strerror(errno);
		unlink(fPath.c_str());
		return B_ERROR;
	}
	fPath.clear();
	return B_OK;
}


void
PdfSpool::Abandon()
{
	_Close();
	if (fFile >= 0) {
		close(fFile);
		fFile = -1;
	}
	if (!fPath.empty())
		unlink(fPath.c_str());
	fPath.clear();
}


cairo_status_t
PdfSpool::_Write(void* closure, const unsigned char* data,
	unsigned int length)
{
	PdfSpool* spool = (PdfSpool*)closure;
	// After a failure, or once the file is given up, nothing more of it
	// is written.
	if (spool->fWriteError != 0)
		return CAIRO_STATUS_WRITE_ERROR;
	while (length > 0) {
		ssize_t written = write(spool->fFile, data, length);
		if (written < 0 && errno == EINTR)
			continue;
		if (written <= 0) {
			if (spool->fWriteError == 0)
				spool->fWriteError = written < 0 ? errno : ENOSPC;
			return CAIRO_STATUS_WRITE_ERROR;
		}
		data += written;
		length -= (unsigned int)written;
	}
	return CAIRO_STATUS_SUCCESS;
}


status_t
PdfSpool::_Check()
{
	cairo_status_t status = fContext != NULL ? cairo_status(fContext)
		: CAIRO_STATUS_SUCCESS;
	if (status == CAIRO_STATUS_SUCCESS && fSurface != NULL)
		status = cairo_surface_status(fSurface);
	if (status == CAIRO_STATUS_SUCCESS)
		return B_OK;
	if (fWriteError != 0)
		fError = strerror(fWriteError);
	else
		fError = cairo_status_to_string(status);
	return B_ERROR;
}


void
PdfSpool::_Close()
{
	if (fContext != NULL)
		cairo_destroy(fContext);
	fContext = NULL;
	if (fSurface != NULL) {
		// A surface given up is not written out any further.
		fWriteError = fWriteError != 0 ? fWriteError : ECANCELED;
		cairo_surface_destroy(fSurface);
	}
	fSurface = NULL;
}

}	// namespace BPrivate
