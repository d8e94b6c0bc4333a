/*
 * Helpers shared by the handler, looper, messenger and application tests:
 * a counter that threads can wait on, and a handler that records what it
 * receives.
 *
 * Waits have a generous upper bound so that a broken looper fails a test
 * instead of hanging the run; no test depends on how fast anything is.
 */
#ifndef _LOOPER_TEST_SUPPORT_H
#define _LOOPER_TEST_SUPPORT_H

#include <Handler.h>
#include <Looper.h>
#include <Message.h>

#include "LooperPrivate.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <unistd.h>
#include <vector>


namespace looper_test {

// The longest any test waits for something that should happen at once.
static const std::chrono::seconds kPatience(30);


// Counts events; any thread may wait until a number of them happened.
class Counter {
public:
	void Increment()
	{
		std::lock_guard<std::mutex> guard(fLock);
		fCount++;
		fCondition.notify_all();
	}

	// True when the count reached the number within kPatience.
	bool WaitFor(int count)
	{
		std::unique_lock<std::mutex> lock(fLock);
		return fCondition.wait_for(lock, kPatience,
			[&] { return fCount >= count; });
	}

	int Count()
	{
		std::lock_guard<std::mutex> guard(fLock);
		return fCount;
	}

private:
	std::mutex fLock;
	std::condition_variable fCondition;
	int fCount = 0;
};


// Records the what of each message it receives and, if it has one, the
// "value" int32. Guarded by its own mutex, since the tests read it from
// their own thread.
class RecordingHandler : public BHandler {
public:
	RecordingHandler(const char* name = NULL)
		: BHandler(name) {}

	void MessageReceived(BMessage* message) override
	{
		{
			std::lock_guard<std::mutex> guard(fLock);
			fWhats.push_back(message->what);
			fValues.push_back(message->GetInt32("value", -1));
		}
		fReceived.Increment();
	}

	std::vector<uint32> Whats()
	{
		std::lock_guard<std::mutex> guard(fLock);
		return fWhats;
	}

	std::vector<int32> Values()
	{
		std::lock_guard<std::mutex> guard(fLock);
		return fValues;
	}

	bool WaitFor(int count) { return fReceived.WaitFor(count); }

private:
	std::mutex fLock;
	std::vector<uint32> fWhats;
	std::vector<int32> fValues;
	Counter fReceived;
};

// Waits until the looper's queue holds at least the number of messages:
// for tests that need messages to be queued behind a dispatch that
// blocks. The looper must stay alive meanwhile.
inline bool
wait_for_queue(BLooper* looper, int32 count)
{
	BPrivate::MessageQueue& queue = BLooper::Private(looper).Core()->queue;
	auto deadline = std::chrono::steady_clock::now() + kPatience;
	while (queue.CountMessages() < count) {
		if (std::chrono::steady_clock::now() > deadline)
			return false;
		usleep(1000);
	}
	return true;
}

// Waits for a looper's destructor to finish, which a subclass's own
// destructor cannot tell: it runs first.
class DeletionWatch {
public:
	DeletionWatch(BLooper* looper)
		: fCore(BLooper::Private(looper).Core())
	{
		fCore->AcquireReference();
	}

	~DeletionWatch()
	{
		fCore->ReleaseReference();
	}

	void Wait()
	{
		fCore->WaitForLooperDeleted();
	}

private:
	BPrivate::LooperCore* fCore;
};

}	// namespace looper_test

#endif	// _LOOPER_TEST_SUPPORT_H
