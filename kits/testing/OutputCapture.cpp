/*
 * OutputCapture. See OutputCapture.h.
 */
#include "OutputCapture.h"

#include "LooperPrivate.h"

#include <errno.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

namespace BPrivate {


OutputCapture::OutputCapture()
	:
	fSavedOutput(-1),
	fReadEnd(-1)
{
}


OutputCapture::~OutputCapture()
{
	Stop();
}


status_t
OutputCapture::Start()
{
	if (fSavedOutput >= 0)
		return B_BUSY;

	int ends[2];
	if (pipe(ends) != 0)
		return B_ERROR;
	fflush(stdout);
	fSavedOutput = dup(STDOUT_FILENO);
	if (fSavedOutput < 0 || dup2(ends[1], STDOUT_FILENO) < 0) {
		if (fSavedOutput >= 0)
			close(fSavedOutput);
		fSavedOutput = -1;
		close(ends[0]);
		close(ends[1]);
		return B_ERROR;
	}
	close(ends[1]);
	fReadEnd = ends[0];
	fThread = std::thread(&OutputCapture::_Read, this);
	return B_OK;
}


void
OutputCapture::Stop()
{
	if (fSavedOutput < 0)
		return;
	fflush(stdout);
	// Pointing descriptor 1 back closes the pipe's last write end, so
	// the reader sees its end once the rest is read.
	dup2(fSavedOutput, STDOUT_FILENO);
	fThread.join();
	close(fReadEnd);
	close(fSavedOutput);
	fReadEnd = -1;
	fSavedOutput = -1;

	std::lock_guard<std::mutex> guard(fLock);
	if (!fPartial.empty()) {
		fLines.push_back(fPartial);
		fPartial.clear();
	}
	fCondition.notify_all();
}


std::vector<std::string>
OutputCapture::Lines()
{
	std::lock_guard<std::mutex> guard(fLock);
	return fLines;
}


bool
OutputCapture::WaitForLine(const char* text, bigtime_t timeout)
{
	if (text == NULL)
		return false;
	// stdout is line-buffered while an application exists, but not
	// always otherwise.
	fflush(stdout);
	std::unique_lock<std::mutex> lock(fLock);
	return wait_with_timeout(fCondition, lock, timeout, [this, text] {
		for (const std::string& line : fLines) {
			if (line.find(text) != std::string::npos)
				return true;
		}
		return false;
	});
}


void
OutputCapture::_Read()
{
	char buffer[4096];
	for (;;) {
		ssize_t length = read(fReadEnd, buffer, sizeof(buffer));
		if (length < 0 && errno == EINTR)
			continue;
		if (length <= 0)
			break;
		// The test's log shows the output as it would without a capture.
		ssize_t written = 0;
		while (written < length) {
			ssize_t result = write(fSavedOutput, buffer + written,
				length - written);
			if (result < 0 && errno == EINTR)
				continue;
			if (result <= 0)
				break;
			written += result;
		}
		_AddBytes(buffer, length);
	}
}


void
OutputCapture::_AddBytes(const char* bytes, ssize_t length)
{
	std::lock_guard<std::mutex> guard(fLock);
	for (ssize_t i = 0; i < length; i++) {
		if (bytes[i] == '\n') {
			fLines.push_back(fPartial);
			fPartial.clear();
		} else
			fPartial += bytes[i];
	}
	fCondition.notify_all();
}


}	// namespace BPrivate
