/*
 * BLooper: the message loop, its lock and its handlers. See Looper.h,
 * and LooperPrivate.h for the state a looper shares with its thread and
 * the registry.
 *
 * How a looper ends. The loop stops when its queue is asked to quit:
 * by Quit() on the looper's own thread after the current dispatch, or
 * at once when another thread calls Quit(). The loop's thread then takes
 * the lock, closes the queue (deleting what is left in it, so waiting
 * senders get B_NO_REPLY) and deletes the looper. Once Quit() was
 * called, only the loop's thread can take the lock. The destructor lets
 * go of the handlers, leaves the registry, marks the lock dead and only
 * then tells a waiting Quit() that the looper is gone, so nobody can
 * reach it afterwards.
 */
#include <Looper.h>

#include "LooperPrivate.h"
#include "MessageDelivery.h"
#include "MessagePrivate.h"
#include "MessengerPrivate.h"
#include "TokenSpace.h"

#include <Message.h>
#include <Messenger.h>

#include <new>
#include <pthread.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>


using BPrivate::LooperCore;
using BPrivate::TokenSpace;
using BPrivate::kNullToken;


namespace {

// What a new looper thread needs to start.
struct thread_start {
	BLooper*			looper;
	LooperCore*			core;
	// Linux keeps 15 characters of a thread's name.
	char				name[16];
};

}	// namespace


BLooper::BLooper(const char* name, int32 priority, int32 portCapacity)
	:
	BHandler(name),
	fCore(new LooperCore),
	fPreferred(NULL),
	fCurrentMessage(NULL),
	fRunCalled(false),
	fDeleteOnQuit(true)
{
	B_UNUSED(priority);
	B_UNUSED(portCapacity);

	// The constructing thread holds the lock until Run(), so it can add
	// handlers and set the looper up before the loop starts.
	fCore->lock.Acquire(B_INFINITE_TIMEOUT);

	fHandlers.push_back(this);
	_SetLooper(this);
	TokenSpace::Default().AddLooper(fToken, this, fCore);
}


BLooper::~BLooper()
{
	if (fCore->IsRunning()) {
		BPrivate::kits_debugger("BLooper: a running looper was deleted; "
			"call Quit() to end it instead");
	}

	// Each handler is let go of before the registry says so: a handler
	// that is being deleted on another thread waits for that, and must
	// not be touched afterwards.
	for (BHandler* handler : fHandlers) {
		if (handler == this)
			continue;
		handler->fNextHandler = NULL;
		handler->_SetLooper(NULL);
	}
	fHandlers.clear();
	fPreferred = NULL;

	TokenSpace::Default().RemoveLooper(fToken);
	_ShutDown();

	delete fCurrentMessage;
	fCurrentMessage = NULL;

	LooperCore* core = fCore;
	fCore = NULL;
	core->lock.Kill();
	core->SetLooperDeleted();
	core->ReleaseReference();
}


// #pragma mark - Message transmission


status_t
BLooper::PostMessage(uint32 command)
{
	BMessage message(command);
	return PostMessage(&message, this, NULL);
}


status_t
BLooper::PostMessage(BMessage* message)
{
	return PostMessage(message, this, NULL);
}


status_t
BLooper::PostMessage(uint32 command, BHandler* handler, BHandler* replyTo)
{
	BMessage message(command);
	return PostMessage(&message, handler, replyTo);
}


status_t
BLooper::PostMessage(BMessage* message, BHandler* handler,
	BHandler* replyTo)
{
	if (message == NULL)
		return B_BAD_VALUE;

	BMessenger target;
	if (handler == NULL) {
		BMessenger::Private(target).SetTo(getpid(), fToken, kNullToken,
			true);
	} else {
		if (_HandlerLooperToken(handler) != fToken)
			return B_MISMATCHED_VALUES;
		BMessenger::Private(target).SetTo(getpid(), fToken,
			BHandler::Private(handler).Token(), false);
	}

	BMessenger replyMessenger;
	if (replyTo != NULL) {
		status_t status;
		replyMessenger = BMessenger(replyTo, NULL, &status);
		if (status != B_OK)
			return status;
	}

	return BPrivate::send_message(target, *message, replyMessenger, NULL,
		NULL);
}


void
BLooper::DispatchMessage(BMessage* message, BHandler* handler)
{
	if (message == NULL || handler == NULL)
		return;

	if (message->what == B_QUIT_REQUESTED && handler == this) {
		bool quit = QuitRequested();
		if (message->IsSourceWaiting()) {
			BMessage reply(B_REPLY);
			reply.AddBool("result", quit);
			message->SendReply(&reply);
		}
		if (quit)
			Quit();
		return;
	}

	handler->MessageReceived(message);
}


void
BLooper::MessageReceived(BMessage* message)
{
	BHandler::MessageReceived(message);
}


BMessage*
BLooper::CurrentMessage() const
{
	return fCurrentMessage;
}


BMessage*
BLooper::DetachCurrentMessage()
{
	BMessage* message = fCurrentMessage;
	fCurrentMessage = NULL;
	return message;
}


// #pragma mark - Message loop control


thread_id
BLooper::Run()
{
	if (BLooper::Private(this).MarkRunCalled()) {
		BPrivate::kits_debugger("BLooper::Run(): the looper runs already; "
			"Run() may be called only once");
	}

	thread_start* start = new(std::nothrow) thread_start;
	if (start == NULL)
		return B_NO_MEMORY;
	// Once the thread runs, the looper may quit and be deleted before Run()
	// returns, unless the caller holds the lock; the core stays ours.
	LooperCore* core = fCore;
	start->looper = this;
	start->core = core;
	strncpy(start->name, Name() != NULL ? Name() : "looper",
		sizeof(start->name) - 1);
	start->name[sizeof(start->name) - 1] = '\0';

	core->SetRunning(true);
	// One reference for the thread, one for the rest of Run().
	core->AcquireReference();
	core->AcquireReference();

	pthread_attr_t attributes;
	pthread_attr_init(&attributes);
	pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
	pthread_t thread;
	int error = pthread_create(&thread, &attributes, &BLooper::_ThreadEntry,
		start);
	pthread_attr_destroy(&attributes);
	if (error != 0) {
		core->SetRunning(false);
		core->ReleaseReference();
		core->ReleaseReference();
		delete start;
		return B_NO_MORE_THREADS;
	}

	thread_id id = core->WaitForThread();
	// Give up the hold that the constructor took for the set-up.
	core->lock.Release();
	core->ReleaseReference();
	return id;
}


void
BLooper::Quit()
{
	LooperCore* core = fCore;
	if (!core->lock.IsOwnedByCaller()) {
		BPrivate::kits_debugger("BLooper::Quit(): the looper must be "
			"locked by the calling thread");
	}

	if (!core->IsRunning()) {
		delete this;
		return;
	}

	// From here on nobody but the loop's thread can lock the looper: it
	// needs the lock to finish, and then deletes the looper.
	thread_id loopThread = core->thread.load();
	core->lock.Reserve(loopThread);

	if (loopThread == BPrivate::current_thread_id()) {
		// The loop ends once the current dispatch returns.
		core->queue.RequestQuit();
		return;
	}

	// The caller's locks go with the looper.
	core->AcquireReference();
	core->queue.RequestQuit();
	core->lock.ReleaseAll();
	core->WaitForLooperDeleted();
	core->ReleaseReference();
}


bool
BLooper::QuitRequested()
{
	return true;
}


bool
BLooper::Lock()
{
	return LockWithTimeout(B_INFINITE_TIMEOUT) == B_OK;
}


void
BLooper::Unlock()
{
	if (!fCore->lock.Release()) {
		BPrivate::kits_debugger("BLooper::Unlock(): the calling thread "
			"does not hold the looper's lock");
	}
}


status_t
BLooper::LockWithTimeout(bigtime_t timeout)
{
	// Looked up by address, so a looper that has been deleted is refused
	// without being touched.
	LooperCore* core = TokenSpace::Default().AcquireCore(this);
	if (core == NULL)
		return B_BAD_VALUE;

	status_t status = core->lock.Acquire(timeout);
	core->ReleaseReference();
	return status == B_BAD_PORT_ID ? B_BAD_VALUE : status;
}


thread_id
BLooper::Thread() const
{
	return fCore->thread.load();
}


team_id
BLooper::Team() const
{
	return getpid();
}


// #pragma mark - Loop debugging


thread_id
BLooper::LockingThread() const
{
	return fCore->lock.Owner();
}


bool
BLooper::IsLocked() const
{
	LooperCore* core = TokenSpace::Default().AcquireCore(this);
	if (core == NULL)
		return false;
	bool locked = core->lock.IsOwnedByCaller();
	core->ReleaseReference();
	return locked;
}


int32
BLooper::CountLocks() const
{
	return fCore->lock.Count();
}


// #pragma mark - Handlers


void
BLooper::AddHandler(BHandler* handler)
{
	_AssertLocked("AddHandler");
	// The registry, not the handler's fLooper, says whether it is in a
	// looper: another looper's thread may be changing that field.
	if (handler == NULL || _HandlerLooperToken(handler) != kNullToken)
		return;

	fHandlers.push_back(handler);
	handler->_SetLooper(this);
	handler->SetNextHandler(this);
}


bool
BLooper::RemoveHandler(BHandler* handler)
{
	_AssertLocked("RemoveHandler");
	if (handler == NULL || handler == this
		|| _HandlerLooperToken(handler) != fToken) {
		return false;
	}

	for (auto it = fHandlers.begin(); it != fHandlers.end(); it++) {
		if (*it == handler) {
			fHandlers.erase(it);
			break;
		}
	}
	if (fPreferred == handler)
		fPreferred = NULL;
	handler->fNextHandler = NULL;
	handler->_SetLooper(NULL);
	return true;
}


int32
BLooper::CountHandlers() const
{
	return (int32)fHandlers.size();
}


BHandler*
BLooper::HandlerAt(int32 index) const
{
	if (index < 0 || index >= (int32)fHandlers.size())
		return NULL;
	return fHandlers[index];
}


int32
BLooper::IndexOf(BHandler* handler) const
{
	for (size_t i = 0; i < fHandlers.size(); i++) {
		if (fHandlers[i] == handler)
			return (int32)i;
	}
	return -1;
}


BHandler*
BLooper::PreferredHandler() const
{
	return fPreferred;
}


void
BLooper::SetPreferredHandler(BHandler* handler)
{
	fPreferred = handler != NULL && IndexOf(handler) >= 0 ? handler : NULL;
}


// #pragma mark - private


void*
BLooper::_ThreadEntry(void* data)
{
	thread_start* start = (thread_start*)data;
	BLooper* looper = start->looper;
	LooperCore* core = start->core;
	pthread_setname_np(pthread_self(), start->name);
	delete start;

	core->SetThread(BPrivate::current_thread_id());
	looper->_Loop();

	// The looper is gone by now; the core lived on through our reference.
	core->ReleaseReference();
	return NULL;
}


void
BLooper::_Loop()
{
	LooperCore* core = fCore;
	for (;;) {
		BMessage* message = core->queue.Pop();
		if (message == NULL)
			break;

		if (core->lock.Acquire(B_INFINITE_TIMEOUT) != B_OK) {
			delete message;
			break;
		}
		// Quit() from another thread may have come while we waited for
		// the lock: then the message is not dispatched.
		if (core->queue.IsQuitRequested()) {
			delete message;
			core->lock.Release();
			break;
		}

		_DispatchNext(message);

		bool quit = core->queue.IsQuitRequested();
		core->lock.Release();
		if (quit)
			break;
	}
	_EndLoop();
}


void
BLooper::_DispatchNext(BMessage* message)
{
	BMessage::Private::DeliveryInfo* info
		= BMessage::Private(message).Delivery();
	if (info != NULL)
		info->delivered = true;

	// A handler that left the looper since the message was sent does not
	// get it; a waiting sender gets B_NO_REPLY as the message is deleted.
	BHandler* handler = _TargetOf(message);
	fCurrentMessage = message;
	if (handler != NULL)
		DispatchMessage(message, handler);

	delete fCurrentMessage;
	fCurrentMessage = NULL;
}


BHandler*
BLooper::_TargetOf(BMessage* message)
{
	BMessage::Private::DeliveryInfo* info
		= BMessage::Private(message).Delivery();
	if (info == NULL)
		return this;
	if (info->preferredTarget)
		return fPreferred != NULL ? fPreferred : this;
	return TokenSpace::Default().HandlerIn(info->handlerToken, fToken);
}


void
BLooper::_EndLoop()
{
	LooperCore* core = fCore;
	core->lock.Acquire(B_INFINITE_TIMEOUT);
	_ShutDown();
	core->SetRunning(false);

	if (fDeleteOnQuit)
		delete this;
	else
		core->lock.Release();
}


void
BLooper::_ShutDown()
{
	std::deque<BMessage*> left = fCore->queue.Close();
	for (BMessage* message : left)
		delete message;
}


int32
BLooper::_HandlerLooperToken(BHandler* handler) const
{
	int32 looperToken;
	if (TokenSpace::Default().GetHandlerLooper(
			BHandler::Private(handler).Token(), &looperToken) != B_OK) {
		return kNullToken;
	}
	return looperToken;
}


void
BLooper::_AssertLocked(const char* function) const
{
	if (fCore->lock.IsOwnedByCaller())
		return;

	char message[160];
	snprintf(message, sizeof(message), "BLooper::%s(): the looper must be "
		"locked by the calling thread", function);
	BPrivate::kits_debugger(message);
}
