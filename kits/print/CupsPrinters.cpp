/*
 * The print system: CUPS through libcups.
 */
#include "CupsPrinters.h"

#include <cups/cups.h>

#include <ctype.h>
#include <errno.h>
#include <fcntl.h>
#include <string.h>
#include <unistd.h>

#include <algorithm>

namespace BPrivate {

namespace {

// libcups keeps the server and the connection it first used for each
// thread; every question starts afresh, so that a scheduler started,
// stopped or named anew since is the one asked.
void
use_current_server()
{
	cupsSetServer(NULL);
}


// The printers as libcups lists them; freed with the object.
class DestinationList {
public:
	DestinationList()
		:
		fDestinations(NULL)
	{
		use_current_server();
		fCount = cupsGetDests2(CUPS_HTTP_DEFAULT, &fDestinations);
	}

	~DestinationList()
	{
		cupsFreeDests(fCount, fDestinations);
	}

	int Count() const { return fCount; }
	cups_dest_t* At(int index) const { return &fDestinations[index]; }

	cups_dest_t* Find(const std::string& name) const
	{
		return cupsGetDest(name.c_str(), NULL, fCount, fDestinations);
	}

private:
	cups_dest_t*		fDestinations;
	int					fCount;
};


printer_info
info_of(cups_dest_t* destination)
{
	printer_info info;
	info.name = destination->name;
	const char* description = cupsGetOption("printer-info",
		destination->num_options, destination->options);
	info.label = description != NULL && description[0] != '\0'
		? description : destination->name;
	info.isDefault = destination->is_default != 0;
	return info;
}


// Sends the file's bytes as the job's document.
status_t
send_document(const char* printer, int job, const char* path,
	const char* title, std::string& _error)
{
	int fd = open(path, O_RDONLY | O_CLOEXEC);
	if (fd < 0) {
		_error = std::string("The print data could not be read: ")
			+ strerror(errno) + ".";
		return B_ERROR;
	}
	http_status_t started = cupsStartDocument(CUPS_HTTP_DEFAULT, printer,
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
			cupsFinishDocument(CUPS_HTTP_DEFAULT, printer);
			cupsCancelJob2(CUPS_HTTP_DEFAULT, printer, job, 0);
			return B_ERROR;
		}
		if (count == 0)
			break;
		sent = cupsWriteRequestData(CUPS_HTTP_DEFAULT, buffer, (size_t)count)
			== HTTP_STATUS_CONTINUE;
	}
	close(fd);
	ipp_status_t finished = cupsFinishDocument(CUPS_HTTP_DEFAULT, printer);
	if (!sent || finished > IPP_STATUS_OK_CONFLICTING) {
		_error = std::string("The printer \"") + printer
			+ "\" did not accept the job: " + cupsLastErrorString() + ".";
		cupsCancelJob2(CUPS_HTTP_DEFAULT, printer, job, 0);
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
	DestinationList list;
	std::vector<printer_info> printers;
	for (int i = 0; i < list.Count(); i++) {
		// Instances are the same queue with other options; the queue is
		// listed once.
		if (list.At(i)->instance != NULL)
			continue;
		printers.push_back(info_of(list.At(i)));
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
	if (printer.empty())
		return sizes;
	DestinationList list;
	cups_dest_t* destination = list.Find(printer);
	if (destination == NULL)
		return sizes;
	cups_dinfo_t* info = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, destination);
	if (info == NULL)
		return sizes;
	int count = cupsGetDestMediaCount(CUPS_HTTP_DEFAULT, destination, info,
		CUPS_MEDIA_FLAGS_DEFAULT);
	for (int i = 0; i < count; i++) {
		cups_size_t size;
		if (!cupsGetDestMediaByIndex(CUPS_HTTP_DEFAULT, destination, info, i,
				CUPS_MEDIA_FLAGS_DEFAULT, &size)
			|| size.width <= 0 || size.length <= 0) {
			continue;
		}
		const char* name = cupsLocalizeDestMedia(CUPS_HTTP_DEFAULT,
			destination, info, CUPS_MEDIA_FLAGS_DEFAULT, &size);
		// CUPS measures in hundredths of a millimetre.
		float width = size.width / 100.0f * kPointsPerMillimetre;
		float height = size.length / 100.0f * kPointsPerMillimetre;
		sizes.push_back({ name != NULL ? name : media_label(size.media),
			std::min(width, height), std::max(width, height) });
	}
	cupsFreeDestInfo(info);
	return sizes;
}


status_t
submit_pdf_job(const std::string& printer, const char* path,
	const char* title, int32 copies, std::string& _error)
{
	use_current_server();
	cups_option_t* options = NULL;
	int optionCount = 0;
	if (copies > 1) {
		optionCount = cupsAddOption("copies",
			std::to_string(copies).c_str(), optionCount, &options);
	}
	int job = cupsCreateJob(CUPS_HTTP_DEFAULT, printer.c_str(), title,
		optionCount, options);
	cupsFreeOptions(optionCount, options);
	if (job == 0) {
		_error = std::string("The printer \"") + printer
			+ "\" did not accept the job: " + cupsLastErrorString() + ".";
		return B_ERROR;
	}
	return send_document(printer.c_str(), job, path, title, _error);
}

}	// namespace BPrivate
