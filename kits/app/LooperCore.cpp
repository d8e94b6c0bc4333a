/*
 * A looper's lock, queue and thread state. See LooperPrivate.h.
 */
#include "LooperPrivate.h"

#include <Message.h>

#include <stdio.h>
#include <stdlib.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>


namespace BPrivate {


thread_id
current_thread_id()
{
	static thread_local thread_id sThread = (thread_id)syscall(SYS_gettid);
	return sThread;
}


void
kits_debugger(const char* message)
{
	fprintf(stderr, "kits: %s (thread %d)\n", message,
		(int)current_thread_id());
	fflush(stderr);
	abort();
}


// #pragma mark - LooperLock


LooperLock::LooperLock()
	:
	fOwner(-1),
	fCount(0),
	fReservedFor(-1),
	fDead(false)
{
}


status_t
LooperLock::Acquire(bigtime_t timeout)
{
	thread_id caller = current_thread_id();

	std::unique_lock<std::mutex> lock(fMutex);
	if (_IsClosedTo(caller))
		return B_BAD_PORT_ID;
	if (fOwner == caller) {
		fCount++;
		return B_OK;
	}
	// A free lock has nobody left waiting for it who may take it: it is
	// handed on the moment it is freed.
	if (fOwner == -1) {
		fOwner = caller;
		fCount = 1;
		return B_OK;
	}

	fWaiters.push_back(caller);
	wait_with_timeout(fCondition, lock, timeout,
		[this, caller] { return _IsClosedTo(caller) || fOwner == caller; });
	if (fOwner == caller && !fDead)
		return B_OK;

	// Still queued, unless it was handed the lock and the looper died.
	auto queued = std::find(fWaiters.begin(), fWaiters.end(), caller);
	if (queued != fWaiters.end())
		fWaiters.erase(queued);
	if (_IsClosedTo(caller))
		return B_BAD_PORT_ID;
	return B_TIMED_OUT;
}


bool
LooperLock::Release()
{
	std::lock_guard<std::mutex> guard(fMutex);
	if (fOwner != current_thread_id() || fCount == 0)
		return false;

	if (--fCount == 0) {
		fOwner = -1;
		_HandOff();
	}
	return true;
}


int32
LooperLock::ReleaseAll()
{
	std::lock_guard<std::mutex> guard(fMutex);
	if (fOwner != current_thread_id())
		return 0;

	int32 count = fCount;
	fOwner = -1;
	fCount = 0;
	_HandOff();
	return count;
}


void
LooperLock::Reserve(thread_id thread)
{
	std::lock_guard<std::mutex> guard(fMutex);
	fReservedFor = thread;
	if (fOwner == -1)
		_HandOff();
	else
		fCondition.notify_all();
}


void
LooperLock::Kill()
{
	std::lock_guard<std::mutex> guard(fMutex);
	fDead = true;
	fOwner = -1;
	fCount = 0;
	fCondition.notify_all();
}


bool
LooperLock::IsOwnedByCaller()
{
	std::lock_guard<std::mutex> guard(fMutex);
	return fOwner == current_thread_id();
}


thread_id
LooperLock::Owner()
{
	std::lock_guard<std::mutex> guard(fMutex);
	return fOwner;
}


void
LooperLock::_HandOff()
{
	// Called with fMutex held and the lock free. Waiters it passes over
	// are closed out and leave the queue themselves as they wake.
	auto first = std::find_if(fWaiters.begin(), fWaiters.end(),
		[this](thread_id waiter) { return !_IsClosedTo(waiter); });
	if (first != fWaiters.end()) {
		fOwner = *first;
		fCount = 1;
		fWaiters.erase(first);
	}
	fCondition.notify_all();
}


int32
LooperLock::Count()
{
	std::lock_guard<std::mutex> guard(fMutex);
	return fCount;
}


int32
LooperLock::CountWaiters()
{
	std::lock_guard<std::mutex> guard(fMutex);
	return (int32)fWaiters.size();
}


// #pragma mark - MessageQueue


MessageQueue::MessageQueue()
	:
	fQuitRequested(false),
	fClosed(false)
{
}


MessageQueue::~MessageQueue()
{
	for (BMessage* message : fMessages)
		delete message;
}


status_t
MessageQueue::Push(BMessage* message)
{
	std::lock_guard<std::mutex> guard(fMutex);
	if (fClosed)
		return B_BAD_PORT_ID;
	fMessages.push_back(message);
	fCondition.notify_one();
	return B_OK;
}


status_t
MessageQueue::PushFront(BMessage* message)
{
	std::lock_guard<std::mutex> guard(fMutex);
	if (fClosed)
		return B_BAD_PORT_ID;
	fMessages.push_front(message);
	fCondition.notify_one();
	return B_OK;
}


BMessage*
MessageQueue::Pop()
{
	std::unique_lock<std::mutex> lock(fMutex);
	fCondition.wait(lock,
		[this] { return fQuitRequested || !fMessages.empty(); });
	if (fQuitRequested)
		return NULL;

	BMessage* message = fMessages.front();
	fMessages.pop_front();
	return message;
}


void
MessageQueue::RequestQuit()
{
	std::lock_guard<std::mutex> guard(fMutex);
	fQuitRequested = true;
	fCondition.notify_all();
}


bool
MessageQueue::IsQuitRequested()
{
	std::lock_guard<std::mutex> guard(fMutex);
	return fQuitRequested;
}


std::deque<BMessage*>
MessageQueue::Close()
{
	std::lock_guard<std::mutex> guard(fMutex);
	fClosed = true;
	std::deque<BMessage*> left;
	left.swap(fMessages);
	return left;
}


bool
MessageQueue::IsClosed()
{
	std::lock_guard<std::mutex> guard(fMutex);
	return fClosed;
}


int32
MessageQueue::CountMessages()
{
	std::lock_guard<std::mutex> guard(fMutex);
	return (int32)fMessages.size();
}


// #pragma mark - LooperCore


LooperCore::LooperCore()
	:
	thread(-1),
	fReferences(1),
	fRunning(false),
	fLooperDeleted(false)
{
}


LooperCore::~LooperCore()
{
}


void
LooperCore::AcquireReference()
{
	fReferences.fetch_add(1, std::memory_order_relaxed);
}


void
LooperCore::ReleaseReference()
{
	if (fReferences.fetch_sub(1, std::memory_order_acq_rel) == 1)
		delete this;
}


void
LooperCore::SetThread(thread_id id)
{
	std::lock_guard<std::mutex> guard(fStateLock);
	thread.store(id);
	fStateCondition.notify_all();
}


thread_id
LooperCore::WaitForThread()
{
	std::unique_lock<std::mutex> lock(fStateLock);
	fStateCondition.wait(lock, [this] { return thread.load() != -1; });
	return thread.load();
}


void
LooperCore::SetLooperDeleted()
{
	std::lock_guard<std::mutex> guard(fStateLock);
	fRunning = false;
	fLooperDeleted = true;
	fStateCondition.notify_all();
}


void
LooperCore::WaitForLooperDeleted()
{
	std::unique_lock<std::mutex> lock(fStateLock);
	fStateCondition.wait(lock, [this] { return fLooperDeleted; });
}


bool
LooperCore::IsRunning()
{
	std::lock_guard<std::mutex> guard(fStateLock);
	return fRunning;
}


void
LooperCore::SetRunning(bool running)
{
	std::lock_guard<std::mutex> guard(fStateLock);
	fRunning = running;
}


}	// namespace BPrivate
