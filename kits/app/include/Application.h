/*
 * BApplication: the program's own looper, run by the process's main
 * thread. It receives the command line, the files to open and the quit
 * requests, and asks every window before the program quits.
 *
 * One application object exists at a time; be_app points at it and
 * be_app_messenger reaches it, until it is deleted. Constructing it makes
 * standard output line-buffered, lets SIGINT, SIGTERM and SIGHUP post
 * B_QUIT_REQUESTED to it (the old handlers come back when it is
 * deleted), and, for a single-launch program that already runs, hands
 * the command line to the running instance and exits.
 *
 * Threads: Run() loops on the calling thread; the rest works from any
 * thread that holds the lock, as for any looper. A pulse thread and a
 * signal watcher thread post to it while it exists.
 */
#ifndef _APPLICATION_H
#define _APPLICATION_H

#include <Looper.h>
#include <Messenger.h>
#include <SupportDefs.h>

class BWindow;

namespace BPrivate {
class LaunchChannel;
struct application_data;
}

class BApplication : public BLooper {
public:
	// A signature that is not an "application/..." MIME type is a
	// programmer error and stops the program.
								BApplication(const char* signature);
	// The same, reporting problems through the error instead: B_BAD_VALUE
	// for a bad signature, or why the single-launch channel failed.
								BApplication(const char* signature,
									status_t* error);
	virtual						~BApplication();

			status_t			InitCheck() const;

	// App control and system message handling
	// Runs the loop on the calling thread and returns that thread's id
	// once the application quits. The command line comes first, as
	// B_ARGV_RECEIVED ("argc", "argv", "cwd") when there are arguments,
	// then B_READY_TO_RUN, then whatever was posted before Run(). Returns
	// the InitCheck() error at once for an application that failed to
	// initialise. Before Run(), Thread() is the constructing thread, so a
	// synchronous send from it gives B_MESSAGE_TO_SELF instead of
	// waiting for ever.
	virtual	thread_id			Run();
	// Makes Run() return after the current dispatch. From another thread
	// the caller must hold the lock, and keeps it: Run() returns once it
	// is released. The application object is not deleted.
	virtual	void				Quit();
	// Asks every window in turn: each is locked and asked, and quit when
	// it agrees. False at the first window that refuses; true when all
	// agreed (or there are none).
	virtual	bool				QuitRequested();
	virtual	void				Pulse();
	virtual	void				ReadyToRun();
	virtual	void				MessageReceived(BMessage* message);
	virtual	void				ArgvReceived(int32 argc, char** argv);
	virtual	void				RefsReceived(BMessage* message);
	virtual	void				AboutRequested();

	// B_ARGV_RECEIVED, B_REFS_RECEIVED, B_READY_TO_RUN,
	// B_ABOUT_REQUESTED and B_PULSE for the application itself go to
	// their hooks; everything else as for any looper.
	virtual	void				DispatchMessage(BMessage* message,
									BHandler* handler);

	// How often Pulse() is called while the application runs; 0 (or less)
	// stops it. Half a second unless set. A pulse is not posted while the
	// previous one waits in the queue.
			void				SetPulseRate(bigtime_t rate);

	// Window list
			int32				CountWindows() const;
	// NULL past the end.
			BWindow*			WindowAt(int32 index) const;

	// True until ReadyToRun() has returned.
			bool				IsLaunching() const;
			const char*			Signature() const;

private:
								BApplication(const BApplication&) = delete;
			BApplication&		operator=(const BApplication&) = delete;

			void				_InitData(const char* signature,
									status_t* _error);
			void				_ArgvReceived(BMessage* message);
			void				_PostCommandLine();
			void				_StartPulse();
			void				_StopPulse();
			void				_PulseLoop();

	// The single-launch channel; defined with the roster.
			status_t			_InitLaunch(const char* signature);
			void				_StopLaunch();

			BPrivate::LaunchChannel* fLaunchChannel;
			BPrivate::application_data* fData;
			char*				fSignature;
			status_t			fInitError;
};

extern BApplication* be_app;
extern BMessenger be_app_messenger;

#endif	// _APPLICATION_H
