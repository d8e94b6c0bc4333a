/*
 * SignalWatcher: SIGINT, SIGTERM and SIGHUP become quit requests. See
 * ApplicationPrivate.h.
 */
#include "ApplicationPrivate.h"

#include <AppDefs.h>

#include <atomic>
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>


namespace BPrivate {

namespace {

// What the handler writes, and what Stop() writes to end the thread.
const char kSignalByte = 'q';
const char kStopByte = 's';

// The pipe's write end while a watcher is active, -1 otherwise. A
// lock-free atomic is safe to read in a signal handler.
std::atomic<int> sSignalPipe(-1);
static_assert(std::atomic<int>::is_always_lock_free);

struct sigaction sOldInterrupt;
struct sigaction sOldTerminate;
struct sigaction sOldHangUp;


void
signal_received(int)
{
	int savedErrno = errno;
	int pipe = sSignalPipe.load();
	if (pipe >= 0) {
		// The write end does not block: when the pipe is full, requests
		// are waiting already and this one may be dropped.
		char byte = kSignalByte;
		ssize_t written = write(pipe, &byte, 1);
		(void)written;
	}
	errno = savedErrno;
}

}	// namespace


SignalWatcher::SignalWatcher()
	:
	fReadEnd(-1),
	fWriteEnd(-1),
	fActive(false)
{
}


SignalWatcher::~SignalWatcher()
{
	Stop();
}


status_t
SignalWatcher::Start(const BMessenger& target)
{
	if (fActive || sSignalPipe.load() >= 0)
		return B_BUSY;

	int ends[2];
	if (pipe2(ends, O_CLOEXEC) != 0)
		return errno == EMFILE || errno == ENFILE
			? (status_t)B_NO_MORE_FDS : (status_t)B_ERROR;
	fReadEnd = ends[0];
	fWriteEnd = ends[1];
	fcntl(fWriteEnd, F_SETFL, fcntl(fWriteEnd, F_GETFL) | O_NONBLOCK);
	fTarget = target;

	fThread = std::thread(&SignalWatcher::_Watch, this);
	sSignalPipe.store(fWriteEnd);

	struct sigaction action = {};
	action.sa_handler = signal_received;
	sigemptyset(&action.sa_mask);
	action.sa_flags = SA_RESTART;
	sigaction(SIGINT, &action, &sOldInterrupt);
	sigaction(SIGTERM, &action, &sOldTerminate);
	sigaction(SIGHUP, &action, &sOldHangUp);

	fActive = true;
	return B_OK;
}


void
SignalWatcher::Stop()
{
	if (!fActive)
		return;
	fActive = false;

	sigaction(SIGINT, &sOldInterrupt, NULL);
	sigaction(SIGTERM, &sOldTerminate, NULL);
	sigaction(SIGHUP, &sOldHangUp, NULL);
	sSignalPipe.store(-1);

	// The stop byte must get through even when signal bytes filled the
	// pipe, so the write end blocks again for it.
	fcntl(fWriteEnd, F_SETFL, fcntl(fWriteEnd, F_GETFL) & ~O_NONBLOCK);
	char byte = kStopByte;
	while (write(fWriteEnd, &byte, 1) < 0 && errno == EINTR)
		;
	fThread.join();

	close(fReadEnd);
	close(fWriteEnd);
	fReadEnd = -1;
	fWriteEnd = -1;
}


void
SignalWatcher::_Watch()
{
	for (;;) {
		char byte;
		ssize_t bytesRead = read(fReadEnd, &byte, 1);
		if (bytesRead < 0 && errno == EINTR)
			continue;
		if (bytesRead <= 0 || byte == kStopByte)
			return;

		// A looper that has quit already cannot take the request; that is
		// fine, it is quitting anyway.
		fTarget.SendMessage(B_QUIT_REQUESTED);
	}
}


}	// namespace BPrivate
