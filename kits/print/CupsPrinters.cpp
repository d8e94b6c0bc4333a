/*
 * The print system: CUPS through libcups.
 */
#include "CupsPrinters.h"

#include <cups/cups.h>

#include <ctype.h>
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <string.h>
#include <unistd.h>

#include <algorithm>
#include <mutex>

namespace BPrivate {

namespace {

// libcups, with the security and network libraries it brings along, is
// loaded the first time the print system is asked, not with every
// program that links the print kit: most runs never print, and they
// start faster and smaller without it. A machine without libcups still
// prints to PDF files; it has no printers.
#define CUPS_CALLS(CALL) \
	CALL(cupsAddOption) \
	CALL(cupsCancelJob2) \
	CALL(cupsCopyDestInfo) \
	CALL(cupsCreateJob) \
	CALL(cupsFinishDocument) \
	CALL(cupsFreeDestInfo) \
	CALL(cupsFreeDests) \
	CALL(cupsFreeOptions) \
	CALL(cupsGetDest) \
	CALL(cupsGetDestMediaByIndex) \
	CALL(cupsGetDestMediaCount) \
	CALL(cupsGetDests2) \
	CALL(cupsGetOption) \
	CALL(cupsLastErrorString) \
	CALL(cupsLocalizeDestMedia) \
	CALL(cupsSetServer) \
	CALL(cupsStartDocument) \
	CALL(cupsWriteRequestData)

struct CupsLibrary {
#define DECLARE_CALL(name) decltype(&::name) name = NULL;
	CUPS_CALLS(DECLARE_CALL)
#undef DECLARE_CALL
};

const char* const kCupsLibrary = "libcups.so.2";


// The library's calls; NULL when it cannot be loaded or lacks one.
const CupsLibrary*
cups_library()
{
	static std::once_flag sOnce;
	static CupsLibrary* sLibrary = NULL;
	std::call_once(sOnce, [] {
		// Kept for the life of the process, like a linked library.
		void* handle = dlopen(kCupsLibrary, RTLD_NOW | RTLD_LOCAL);
		if (handle == NULL)
			return;
		CupsLibrary* library = new CupsLibrary;
		bool complete = true;
#define LOAD_CALL(name) \
		library->name = (decltype(&::name))dlsym(handle, #name); \
		complete = complete && library->name != NULL;
		CUPS_CALLS(LOAD_CALL)
#undef LOAD_CALL
		if (complete)
			sLibrary = library;
		else
			delete library;
	});
	return sLibrary;
}


// libcups keeps the server and the connection it first used for each
// thread; every question starts afresh, so that a scheduler started,
// stopped or named anew since is the one asked.
void
use_current_server(const CupsLibrary& cups)
{
	cups.cupsSetServer(NULL);
}


// The printers as libcups lists them; freed with the object.
class DestinationList {
public:
	DestinationList(const CupsLibrary& cups)
		:
		fCups(cups),
		fDestinations(NULL)
	{
		use_current_server(cups);
		fCount = cups.cupsGetDests2(CUPS_HTTP_DEFAULT, &fDestinations);
	}

	~DestinationList()
	{
		fCups.cupsFreeDests(fCount, fDestinations);
	}

	int Count() const { return fCount; }
	cups_dest_t* At(int index) const { return &fDestinations[index]; }

	cups_dest_t* Find(const std::string& name) const
	{
		return fCups.cupsGetDest(name.c_str(), NULL, fCount, fDestinations);
	}

private:
	const CupsLibrary&	fCups;
	cups_dest_t*		fDestinations;
	int					fCount;
};


printer_info
info_of(const CupsLibrary& cups, cups_dest_t* destination)
{
	printer_info info;
	info.name = destination->name;
	const char* description = cups.cupsGetOption("printer-info",
		destination->num_options, destination->options);
	info.label = description != NULL && description[0] != '\0'
		? description : destination->name;
	info.isDefault = destination->is_default != 0;
	return info;
}


// Sends the file's bytes as the job's document.
status_t
send_document(const CupsLibrary& cups, const char* printer, int job, const char* path,
	const char* title, std::string& _error)
{
	int fd = open(path, O_RDONLY | O_CLOEXEC);
	if (fd < 0) {
		_error = std::string("The print data could not be read: ")
			+ strerror(errno) + ".";
		return B_ERROR;
	}
	http_status_t started = cups.cupsStartDocument(CUPS_HTTP_DEFAULT, printer,
		job, title, CUPS_FORMAT_PDF, 1);
	bool sent = started == HTTP_STATUS_CONTINUE;
	char buffer[65536];
	while (sent) {
		ssize_t count = read(fd, buffer, sizeof(buffer));
		if (count < 0 && errno == EINTR)
			continue;
		if (count < 0) {
			_error = std::string("The print data could not be read: ")
				+ strerror(errno) + ".";
			close(fd);
			cups.cupsFinishDocument(CUPS_HTTP_DEFAULT, printer);
			cups.cupsCancelJob2(CUPS_HTTP_DEFAULT, printer, job, 0);
			return B_ERROR;
		}
		if (count == 0)
			break;
		sent = cups.cupsWriteRequestData(CUPS_HTTP_DEFAULT, buffer, (size_t)count)
			== HTTP_STATUS_CONTINUE;
	}
	close(fd);
	ipp_status_t finished = cups.cupsFinishDocument(CUPS_HTTP_DEFAULT, printer);
	if (!sent || finished > IPP_STATUS_OK_CONFLICTING) {
		_error = std::string("The printer \"") + printer
			+ "\" did not accept the job: " + cups.cupsLastErrorString() + ".";
		cups.cupsCancelJob2(CUPS_HTTP_DEFAULT, printer, job, 0);
		return B_ERROR;
	}
	return B_OK;
}

}	// namespace


std::string
media_label(const char* media)
{
	// A self-describing media name is class_name_dimensions and perhaps
	// more: "iso_a4_210x297mm", "na_letter_8.5x11in_borderless".
	std::string name = media != NULL ? media : "";
	size_t first = name.find('_');
	size_t second = first != std::string::npos ? name.find('_', first + 1)
		: std::string::npos;
	if (second == std::string::npos || second == first + 1)
		return name;
	std::string family = name.substr(0, first);
	std::string label = name.substr(first + 1, second - first - 1);
	bool upper = family == "iso" || family == "jis" || family == "jpn";
	for (size_t i = 0; i < label.size(); i++) {
		if (upper || i == 0)
			label[i] = (char)toupper((unsigned char)label[i]);
	}
	return label;
}


std::vector<printer_info>
list_printers()
{
	std::vector<printer_info> printers;
	const CupsLibrary* cups = cups_library();
	if (cups == NULL)
		return printers;
	DestinationList list(*cups);
	for (int i = 0; i < list.Count(); i++) {
		// Instances are the same queue with other options; the queue is
		// listed once.
		if (list.At(i)->instance != NULL)
			continue;
		printers.push_back(info_of(*cups, list.At(i)));
	}
	std::stable_sort(printers.begin(), printers.end(),
		[](const printer_info& a, const printer_info& b) {
			return a.isDefault && !b.isDefault;
		});
	return printers;
}


std::string
default_printer_name()
{
	for (const printer_info& printer : list_printers()) {
		if (printer.isDefault)
			return printer.name;
	}
	return std::string();
}


std::vector<paper_size>
printer_paper_sizes(const std::string& printer)
{
	std::vector<paper_size> sizes;
	const CupsLibrary* library = cups_library();
	if (printer.empty() || library == NULL)
		return sizes;
	const CupsLibrary& cups = *library;
	DestinationList list(cups);
	cups_dest_t* destination = list.Find(printer);
	if (destination == NULL)
		return sizes;
	cups_dinfo_t* info = cups.cupsCopyDestInfo(CUPS_HTTP_DEFAULT, destination);
	if (info == NULL)
		return sizes;
	int count = cups.cupsGetDestMediaCount(CUPS_HTTP_DEFAULT, destination, info,
		CUPS_MEDIA_FLAGS_DEFAULT);
	for (int i = 0; i < count; i++) {
		cups_size_t size;
		if (!cups.cupsGetDestMediaByIndex(CUPS_HTTP_DEFAULT, destination, info, i,
				CUPS_MEDIA_FLAGS_DEFAULT, &size)
			|| size.width <= 0 || size.length <= 0) {
			continue;
		}
		const char* name = cups.cupsLocalizeDestMedia(CUPS_HTTP_DEFAULT,
			destination, info, CUPS_MEDIA_FLAGS_DEFAULT, &size);
		// CUPS measures in hundredths of a millimetre.
		float width = size.width / 100.0f * kPointsPerMillimetre;
		float height = size.length / 100.0f * kPointsPerMillimetre;
		sizes.push_back({ name != NULL ? name : media_label(size.media),
			std::min(width, height), std::max(width, height) });
	}
	cups.cupsFreeDestInfo(info);
	return sizes;
}


status_t
submit_pdf_job(const std::string& printer, const char* path,
	const char* title, int32 copies, std::string& _error)
{
	const CupsLibrary* library = cups_library();
	if (library == NULL) {
		_error = std::string("The print system cannot be used: ")
			+ kCupsLibrary + " could not be loaded.";
		return B_ERROR;
	}
	const CupsLibrary& cups = *library;
	use_current_server(cups);
	cups_option_t* options = NULL;
	int optionCount = 0;
	if (copies > 1) {
		optionCount = cups.cupsAddOption("copies",
			std::to_string(copies).c_str(), optionCount, &options);
	}
	int job = cups.cupsCreateJob(CUPS_HTTP_DEFAULT, printer.c_str(), title,
		optionCount, options);
	cups.cupsFreeOptions(optionCount, options);
	if (job == 0) {
		_error = std::string("The printer \"") + printer
			+ "\" did not accept the job: " + cups.cupsLastErrorString() + ".";
		return B_ERROR;
	}
	return send_document(cups, printer.c_str(), job, path, title, _error);
}

}	// namespace BPrivate
