/*
 * Private to the kits: what a BLooper is made of beneath its API.
 *
 * A looper's lock, message queue and thread state live in a LooperCore,
 * apart from the BLooper object. The core is reference counted: the
 * looper, its thread, the token registry and anyone who is about to wait
 * for the lock each hold a reference. That is what lets a thread wait
 * for the lock of a looper that is being deleted and come back with a
 * clean failure, and wait for the looper's deletion to be complete.
 *
 * Thread ids are Linux thread ids (gettid()), so they match what tools
 * such as gdb and top show.
 */
#ifndef _KITS_LOOPER_PRIVATE_H
#define _KITS_LOOPER_PRIVATE_H

#include <Looper.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>


namespace BPrivate {

// The id of the calling thread.
thread_id current_thread_id();

// Stops the program with the message on stderr, as the platform's
// debugger() does for misuse of the API by a programmer.
[[noreturn]] void kits_debugger(const char* message);


// Timeouts this long are waited out like an infinite one; it also keeps
// the deadline arithmetic from overflowing.
static const bigtime_t kLongestTimedWait = 100LL * 365 * 24 * 3600 * 1000000;


// Waits on the condition until the predicate holds or the timeout passes;
// a timeout of 0 or less only checks. Returns the predicate's value.
template<typename Predicate>
bool
wait_with_timeout(std::condition_variable& condition,
	std::unique_lock<std::mutex>& lock, bigtime_t timeout,
	Predicate predicate)
{
	if (timeout >= kLongestTimedWait) {
		condition.wait(lock, predicate);
		return true;
	}
	if (timeout <= 0)
		return predicate();

	auto deadline = std::chrono::steady_clock::now()
		+ std::chrono::microseconds(timeout);
	return condition.wait_until(lock, deadline, predicate);
}


/*
 * LooperLock: the looper's recursive lock. Any thread may try to take
 * it; the owner may take it again and must release it as often. Once the
 * looper is deleted the lock is dead: waiters wake up and fail, and
 * every later attempt fails at once.
 *
 * Waiters are served in the order they came, as a semaphore serves
 * them: the lock is handed to the first one as it is released, so a busy
 * looper that takes its lock again for each message cannot keep another
 * thread out of it.
 */
class LooperLock {
public:
								LooperLock();

	// B_OK, B_TIMED_OUT when the timeout passed (a timeout of 0 only
	// tries), B_BAD_PORT_ID when the looper has been deleted or is
	// quitting and the lock is reserved for another thread.
			status_t			Acquire(bigtime_t timeout);
	// Gives up one level. False when the calling thread is not the owner.
			bool				Release();
	// Gives up every level the calling thread holds and returns how many
	// that were (0 when it holds none).
			int32				ReleaseAll();
	// From now on only that thread may take the lock: the looper is
	// quitting, and its own thread needs the lock to end. Other waiters
	// wake up and fail.
			void				Reserve(thread_id thread);
	// Marks the lock dead and wakes every waiter. The owner, if any,
	// keeps nothing: the lock is free and useless afterwards.
			void				Kill();

			bool				IsOwnedByCaller();
			thread_id			Owner();
			int32				Count();
	// How many threads are waiting for the lock now.
			int32				CountWaiters();

private:
			std::mutex			fMutex;
			std::condition_variable	fCondition;
			thread_id			fOwner;
			int32				fCount;
	// The only thread that may still take the lock; -1 for any.
			thread_id			fReservedFor;
			bool				fDead;
	// The threads waiting for the lock, first come first.
			std::deque<thread_id>	fWaiters;

	// Gives the free lock to the first waiter that may still have it.
			void				_HandOff();

			bool				_IsClosedTo(thread_id thread) const
								{
									return fDead || (fReservedFor != -1
										&& fReservedFor != thread);
								}
};


/*
 * MessageQueue: the looper's incoming messages, unbounded, first in first
 * out. Any thread pushes; the looper's thread pops and sleeps while the
 * queue is empty. Owns the messages it holds.
 */
class MessageQueue {
public:
								MessageQueue();
								~MessageQueue();

	// Takes ownership. B_BAD_PORT_ID once the queue is closed: the caller
	// keeps the message then.
			status_t			Push(BMessage* message);
	// Puts a message in front of everything queued; for the messages an
	// application receives before any other.
			status_t			PushFront(BMessage* message);
	// Waits for the next message and hands it over. NULL once a quit was
	// requested, even when messages are left.
			BMessage*			Pop();

			void				RequestQuit();
			bool				IsQuitRequested();

	// Refuses every later push and hands back what is queued, oldest
	// first, for the caller to delete outside of any lock.
			std::deque<BMessage*> Close();
			bool				IsClosed();

			int32				CountMessages();

private:
			std::mutex			fMutex;
			std::condition_variable	fCondition;
			std::deque<BMessage*> fMessages;
			bool				fQuitRequested;
			bool				fClosed;
};


/*
 * LooperCore: one looper's shared state. Created by the BLooper
 * constructor; lives until its last reference goes.
 */
class LooperCore {
public:
								LooperCore();

			void				AcquireReference();
			void				ReleaseReference();

			LooperLock			lock;
			MessageQueue		queue;
	// The thread that runs the loop; -1 before Run().
			std::atomic<thread_id> thread;
	// Sets the thread and wakes WaitForThread().
			void				SetThread(thread_id id);
	// Waits until a thread has been set and returns it.
			thread_id			WaitForThread();

	// The looper's destructor says it is done, after it let go of its
	// handlers; Quit() from another thread and a handler deleted while its
	// looper quits wait for that.
			void				SetLooperDeleted();
			void				WaitForLooperDeleted();
	// True from Run() until the loop has finished.
			bool				IsRunning();
			void				SetRunning(bool running);

	// Above 0 while the looper's thread waits for a synchronous alert:
	// it holds its lock but has nothing to do until the alert is done.
			std::atomic<int32>	modalWaits{ 0 };

private:
								~LooperCore();

			std::atomic<int32>	fReferences;
			std::mutex			fStateLock;
			std::condition_variable	fStateCondition;
			bool				fRunning;
			bool				fLooperDeleted;
};


}	// namespace BPrivate


/*
 * The kits' back door into a BHandler: its registry token.
 */
class BHandler::Private {
public:
								Private(const BHandler* handler)
									: fHandler(handler) {}

			int32				Token() const
									{ return fHandler->fToken; }

private:
			const BHandler*		fHandler;
};


/*
 * The kits' back door into a BLooper.
 */
class BLooper::Private {
public:
								Private(BLooper* looper)
									: fLooper(looper) {}

			BPrivate::LooperCore* Core() const
									{ return fLooper->fCore; }
	// Runs the message loop on the calling thread until the looper quits.
	// The application object runs its loop this way; it is not deleted
	// when its loop ends.
			void				RunLoop()
									{ fLooper->_Loop(); }
			void				SetDeleteOnQuit(bool deleteOnQuit)
									{ fLooper->fDeleteOnQuit = deleteOnQuit; }
	// Notes that Run() was called; true if it had been before.
			bool				MarkRunCalled()
								{
									bool before = fLooper->fRunCalled;
									fLooper->fRunCalled = true;
									return before;
								}

private:
			BLooper*			fLooper;
};


#endif	// _KITS_LOOPER_PRIVATE_H
