/*
 * What the printing tests share: reading a PDF back with poppler's
 * tools (its text page by page, its fonts), and a private CUPS scheduler
 * started from the system's own cupsd with a configuration, a socket and
 * a spool of its own, whose one queue copies every job's file into a
 * folder of the test.
 */
#ifndef PRINT_TEST_SUPPORT_H
#define PRINT_TEST_SUPPORT_H

#include <sys/types.h>

#include <string>
#include <vector>

#include "StorageTestSupport.h"

// Runs the shell command; its standard output, or "" with _status set
// to the exit status when it failed.
std::string run_command(const std::string& command, int* _status = NULL);

// The text of each page of the PDF, as pdftotext gives it, split into
// lines without the empty ones.
std::vector<std::vector<std::string>> pdf_page_lines(const std::string& path);
// The page size of the PDF's first page, in points, as pdfinfo reads it.
bool pdf_page_size(const std::string& path, double* _width,
	double* _height);
// pdffonts' table: one line per font, with its name, type and whether
// it is embedded.
std::vector<std::string> pdf_fonts(const std::string& path);


class PrivateCups {
public:
	// The queue every test prints to, the default one, and a second
	// queue that refuses every job.
	static const char* const	kQueue;
	static const char* const	kRefusingQueue;

	// Starts the scheduler and points CUPS_SERVER at it; Started()
	// says whether it answers.
								PrivateCups();
	// Stops the scheduler (the one this object started, by its id).
								~PrivateCups();

			bool				Started() const { return fStarted; }
	// Where the queue puts the jobs' files: "job-<id>.pdf".
			std::string			OutputFolder() const;
	// Waits until the folder holds count job files; their paths, oldest
	// first.
			std::vector<std::string> WaitForJobs(size_t count);
	// The scheduler's log, for failure messages.
			std::string			Log() const;

private:
			void				_WriteConfiguration();
			bool				_WaitUntilAnswering();

			TempDirectory		fRoot;
			ScopedEnvironment	fServer;
			pid_t				fPid;
			bool				fStarted;
};

#endif	// PRINT_TEST_SUPPORT_H
