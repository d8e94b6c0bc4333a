/*
 * Waiting for a modal window's answer.
 */
#include "ModalWait.h"

#include <Application.h>
#include <Window.h>

#include "ApplicationPrivate.h"
#include "LooperPrivate.h"
#include "TokenSpace.h"

#include <chrono>

namespace {

// How often a waiting window thread looks for drawing to do.
const std::chrono::milliseconds kUpdateInterval(20);

}	// namespace


namespace BPrivate {

void
modal_wait::Answer(int32 answer)
{
	std::lock_guard<std::mutex> guard(lock);
	if (done)
		return;
	which = answer;
	done = true;
	_EndModalWait();
	condition.notify_all();
}


void
modal_wait::_EndModalWait()
{
	if (waiter != NULL)
		waiter->modalWaits--;
	waiter = NULL;
}


int32
run_modal_wait(const std::shared_ptr<modal_wait>& wait,
	const std::function<void()>& show)
{
	BLooper* caller = BPrivate::looper_of_thread(
		BPrivate::current_thread_id());
	BWindow* callerWindow = dynamic_cast<BWindow*>(caller);
	LooperCore* core = caller != NULL
		? TokenSpace::Default().AcquireCore(caller) : NULL;
	if (core != NULL) {
		core->modalWaits++;
		std::lock_guard<std::mutex> guard(wait->lock);
		wait->waiter = core;
	}

	// From here on the modal window runs on its own thread and may be
	// gone at any moment: only the shared wait is touched.
	show();

	std::unique_lock<std::mutex> lock(wait->lock);
	while (!wait->done) {
		if (callerWindow == NULL) {
			wait->condition.wait(lock);
			continue;
		}
		// The waiting window still draws what changes in it.
		wait->condition.wait_for(lock, kUpdateInterval);
		if (wait->done)
			break;
		lock.unlock();
		callerWindow->UpdateIfNeeded();
		lock.lock();
	}
	int32 which = wait->which;
	wait->_EndModalWait();
	lock.unlock();

	if (core != NULL)
		core->ReleaseReference();
	return which;
}

}	// namespace BPrivate
