/*
 * Private to the kits: a thread waiting for the answer of a modal window
 * (an alert's Go(), the print kit's dialogs). The answer is shared by the
 * window and the waiting thread, so that it outlives the window. While a
 * window's own thread waits, that window still draws what changes in it,
 * and the looper counts as being in a modal wait, which the test driver
 * takes for idle.
 *
 * Threads: Answer() from the modal window's thread, the wait on the
 * caller's.
 */
#ifndef _KITS_MODAL_WAIT_H
#define _KITS_MODAL_WAIT_H

#include <SupportDefs.h>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

namespace BPrivate {

class LooperCore;

struct modal_wait {
	std::mutex			lock;
	std::condition_variable	condition;
	bool				done = false;
	int32				which = -1;
	// The looper whose thread waits, counted as in a modal wait until the
	// answer is set. From then on it has work again (taking the answer),
	// even before its thread wakes up, so the count drops with the
	// answer, not when the thread gets round to it.
	LooperCore*			waiter = NULL;

	// Sets the answer and wakes the waiting thread; only the first
	// answer counts.
	void Answer(int32 answer);

private:
	// With the lock held.
	void _EndModalWait();

	friend int32 run_modal_wait(const std::shared_ptr<modal_wait>& wait,
		const std::function<void()>& show);
};

// Calls show(), which makes the modal window visible, then blocks the
// calling thread until wait is answered, and returns the answer.
int32 run_modal_wait(const std::shared_ptr<modal_wait>& wait,
	const std::function<void()>& show);

}	// namespace BPrivate

#endif	// _KITS_MODAL_WAIT_H
