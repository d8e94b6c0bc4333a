/*
 * Private to the kits: what the application object shares with the rest
 * of the kits.
 *
 * The window list. Every BWindow registers itself when it is constructed
 * and unregisters when it is deleted; the application asks the windows
 * in this list before it quits, and CountWindows()/WindowAt() read it.
 * A window is kept as an opaque BWindow* with the BLooper that it is, so
 * the application kit needs nothing from the interface kit.
 *
 * Threads: every function here may be called from any thread.
 */
#ifndef _KITS_APPLICATION_PRIVATE_H
#define _KITS_APPLICATION_PRIVATE_H

#include <Messenger.h>

#include <string>
#include <thread>
#include <vector>

class BLooper;
class BWindow;

namespace BPrivate {

// A copy of be_app_messenger that is safe to read from any thread; an
// empty messenger while no application object exists.
BMessenger application_messenger();

struct window_entry {
	BWindow*			window;
	BLooper*			looper;
};

// Adds the window at the end of the list; a window already listed is
// not added twice.
void add_window(BWindow* window, BLooper* looper);
// Does nothing for a window that is not listed.
void remove_window(BWindow* window);
// The windows in the order they were added.
std::vector<window_entry> window_list();
// The application's or a window's looper whose thread that is; NULL for
// any other thread (and for a negative id).
BLooper* looper_of_thread(thread_id thread);

// The application's name for a person: the AppName of a signature
// "application/x-vnd.Vendor-AppName", else the executable's file name,
// else the signature as it stands. application_name() asks be_app and
// the running program.
std::string application_name_for(const char* signature,
	const char* executable);
std::string application_name();


/*
 * SignalWatcher: turns SIGINT, SIGTERM and SIGHUP (a closed terminal,
 * the end of a session) into B_QUIT_REQUESTED posted to a target. The signal handler only writes a byte into a pipe, which
 * is all a handler may safely do; a thread of the watcher's own reads it
 * and posts the message. One watcher may be active per process. The
 * object owns the pipe and the thread; it is used by the thread that
 * created it.
 */
class SignalWatcher {
public:
								SignalWatcher();
	// Stops watching.
								~SignalWatcher();

	// Installs the handlers, keeping the old ones. B_BUSY when a watcher
	// is active already, or the status of the failing system call.
			status_t			Start(const BMessenger& target);
	// Puts the old handlers back and ends the thread. Safe to call more
	// than once.
			void				Stop();

private:
								SignalWatcher(const SignalWatcher&) = delete;
			SignalWatcher&		operator=(const SignalWatcher&) = delete;

			void				_Watch();

			int					fReadEnd;
			int					fWriteEnd;
			BMessenger			fTarget;
			bool				fActive;
			std::thread			fThread;
};

}	// namespace BPrivate

#endif	// _KITS_APPLICATION_PRIVATE_H
