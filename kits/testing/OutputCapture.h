/*
 * OutputCapture: standard output read through a pipe, line by line. The
 * process's file descriptor 1 points into the pipe while the capture
 * runs; a thread of the capture reads it, keeps the lines and copies
 * every byte to the original standard output, so that what the program
 * prints still shows in the test's log.
 *
 * Threads: Start() and Stop() on one thread; the lines may be read from
 * any. Owns the pipe, the saved descriptor and the reading thread.
 */
#ifndef _KITS_OUTPUT_CAPTURE_H
#define _KITS_OUTPUT_CAPTURE_H

#include <SupportDefs.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace BPrivate {

class OutputCapture {
public:
								OutputCapture();
	// Stops the capture.
								~OutputCapture();

	// B_BUSY when it runs already, or the error of a failing system call.
			status_t			Start();
	// Puts standard output back and reads what is left in the pipe.
			void				Stop();

			std::vector<std::string> Lines();
	// Waits until a line containing the text has been read; false when
	// none came before the timeout.
			bool				WaitForLine(const char* text,
									bigtime_t timeout);

private:
			void				_Read();
			void				_AddBytes(const char* bytes, ssize_t length);

			int					fSavedOutput;
			int					fReadEnd;
			std::thread			fThread;

			std::mutex			fLock;
			std::condition_variable	fCondition;
			std::vector<std::string> fLines;
			std::string			fPartial;
};

}	// namespace BPrivate

#endif	// _KITS_OUTPUT_CAPTURE_H
