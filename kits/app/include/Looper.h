/*
 * BLooper: a thread with a message queue. Run() starts the thread, which
 * takes the messages one by one, in the order they arrived, and hands
 * each to its target handler with the looper locked.
 *
 * Threads: posting, locking and quitting work from any thread; handlers
 * are added, removed and dispatched to under the lock. A looper is
 * created locked by the constructing thread, and Run() gives that lock
 * up, so a new looper can be set up before its thread starts. It owns
 * its queue and the messages in it, not its handlers: deleting a looper
 * takes its handlers out of it and leaves them alive.
 *
 * Misuse stops the program with a message, as on the platform: running a
 * looper twice, deleting one that runs, Quit() from another thread
 * without the lock, unlocking a lock the caller does not hold.
 */
#ifndef _LOOPER_H
#define _LOOPER_H

#include <Handler.h>
#include <SupportDefs.h>

#include <vector>

class BMessage;

namespace BPrivate {
class LooperCore;
}

// Thread priorities. A looper accepts one for source compatibility; every
// looper thread runs at the system's normal priority.
enum {
	B_LOW_PRIORITY					= 5,
	B_NORMAL_PRIORITY				= 10,
	B_DISPLAY_PRIORITY				= 15,
	B_URGENT_DISPLAY_PRIORITY		= 20,
	B_REAL_TIME_DISPLAY_PRIORITY	= 100,
	B_URGENT_PRIORITY				= 110,
	B_REAL_TIME_PRIORITY			= 120
};

// The queue grows as needed; the capacity is accepted and ignored.
#define B_LOOPER_PORT_DEFAULT_CAPACITY	200

class BLooper : public BHandler {
public:
								BLooper(const char* name = NULL,
									int32 priority = B_NORMAL_PRIORITY,
									int32 portCapacity
										= B_LOOPER_PORT_DEFAULT_CAPACITY);
	// Deleting a running looper is a programmer error: use Quit().
	virtual						~BLooper();

	// Message transmission
	// Every post queues a copy; the caller keeps the message. A looper
	// that is not running yet keeps what is posted until it runs.
	// B_BAD_VALUE for a NULL message, B_BAD_PORT_ID after the looper quit.
	// These two target the looper itself.
			status_t			PostMessage(uint32 command);
			status_t			PostMessage(BMessage* message);
	// A NULL handler means the preferred handler at delivery time; a
	// handler that is not in this looper gives B_MISMATCHED_VALUES.
	// Replies go to replyTo, or to be_app without one.
			status_t			PostMessage(uint32 command,
									BHandler* handler,
									BHandler* replyTo = NULL);
			status_t			PostMessage(BMessage* message,
									BHandler* handler,
									BHandler* replyTo = NULL);

	// Sends B_QUIT_REQUESTED for the looper itself to QuitRequested() and
	// Quit() (answering a waiting sender with B_REPLY and a "result"
	// bool), everything else to the handler's MessageReceived().
	virtual	void				DispatchMessage(BMessage* message,
									BHandler* handler);
	virtual	void				MessageReceived(BMessage* message);

	// The message being dispatched; NULL outside a dispatch. The looper
	// deletes it when the dispatch returns, unless it was detached, in
	// which case the caller owns it.
			BMessage*			CurrentMessage() const;
			BMessage*			DetachCurrentMessage();

	// Message loop control
	// Starts the looper's thread and returns its id. The caller's hold on
	// the lock (the one the constructor took) is given up.
	virtual	thread_id			Run();
	// From the looper's own thread: the current dispatch finishes, then
	// the looper deletes itself and its thread ends; Quit() returns, and
	// the caller must not touch the looper once its dispatch is over.
	// From another thread, which must hold the lock: stops the loop, waits
	// for the thread to end and returns once the looper is deleted; the
	// caller's locks go with it. A looper that never ran is deleted at
	// once. Messages still queued are deleted; their waiting senders get
	// a B_NO_REPLY reply.
	virtual	void				Quit();
	// Returns true.
	virtual	bool				QuitRequested();

	// Recursive: the owner may lock again and unlocks as often. False
	// when the looper has been deleted or is quitting, also when that
	// happened while the caller waited.
			bool				Lock();
			void				Unlock();
	// B_OK, B_TIMED_OUT, or B_BAD_VALUE for a looper that has been
	// deleted or is quitting.
			status_t			LockWithTimeout(bigtime_t timeout);

	// The looper's thread, as a Linux thread id; -1 before Run().
			thread_id			Thread() const;
			team_id				Team() const;

	// Loop debugging
	// The thread that holds the lock; -1 when it is free.
			thread_id			LockingThread() const;
	// True when the calling thread holds the lock.
			bool				IsLocked() const;
	// How often the owner has locked; 0 when the lock is free.
			int32				CountLocks() const;

	// Handlers
	// The looper is its own first handler. A handler joins one looper at a
	// time (adding one that is in a looper does nothing) and gets the
	// looper as its next handler. The caller must hold the lock.
			void				AddHandler(BHandler* handler);
	// False for a handler that is not in this looper and for the looper
	// itself. The caller must hold the lock.
			bool				RemoveHandler(BHandler* handler);
			int32				CountHandlers() const;
	// NULL outside 0 .. CountHandlers() - 1.
			BHandler*			HandlerAt(int32 index) const;
	// -1 for a handler that is not in this looper.
			int32				IndexOf(BHandler* handler) const;

	// Where messages without a target handler go; NULL means the looper
	// itself. A handler that is not in this looper clears it.
			BHandler*			PreferredHandler() const;
			void				SetPreferredHandler(BHandler* handler);

	class Private;

private:
	friend class Private;

								BLooper(const BLooper&) = delete;
			BLooper&			operator=(const BLooper&) = delete;

	static	void*				_ThreadEntry(void* data);
			void				_Loop();
			void				_DispatchNext(BMessage* message);
			BHandler*			_TargetOf(BMessage* message);
			void				_EndLoop();
			void				_ShutDown();
			int32				_HandlerLooperToken(BHandler* handler) const;
			void				_AssertLocked(const char* function) const;

	// Shared with the registry and the thread; see LooperPrivate.h.
			BPrivate::LooperCore* fCore;
	// Index 0 is the looper itself.
			std::vector<BHandler*> fHandlers;
			BHandler*			fPreferred;
			BMessage*			fCurrentMessage;
			bool				fRunCalled;
	// Set by BApplication, whose loop runs on the calling thread and
	// whose object outlives its loop.
			bool				fDeleteOnQuit;
};

#endif	// _LOOPER_H
