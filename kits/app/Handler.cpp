/*
 * BHandler. See Handler.h.
 */
#include <Handler.h>

#include "LooperPrivate.h"
#include "TokenSpace.h"

#include <Looper.h>
#include <Message.h>

#include <stdlib.h>
#include <string.h>


using BPrivate::TokenSpace;
using BPrivate::kNullToken;


BHandler::BHandler(const char* name)
	:
	fToken(kNullToken),
	fName(NULL),
	fLooper(NULL),
	fNextHandler(NULL)
{
	fToken = TokenSpace::Default().AddHandler(this);
	SetName(name);
}


BHandler::~BHandler()
{
	_LeaveLooper();
	TokenSpace::Default().RemoveHandler(fToken);
	free(fName);
}


// #pragma mark - Message handling


void
BHandler::MessageReceived(BMessage* message)
{
	if (fNextHandler != NULL) {
		fNextHandler->MessageReceived(message);
		return;
	}

	if (message != NULL && message->IsSourceWaiting())
		message->SendReply(B_MESSAGE_NOT_UNDERSTOOD);
}


BLooper*
BHandler::Looper() const
{
	return fLooper;
}


void
BHandler::SetName(const char* name)
{
	char* copy = NULL;
	if (name != NULL) {
		copy = strdup(name);
		if (copy == NULL)
			return;
	}
	free(fName);
	fName = copy;
}


const char*
BHandler::Name() const
{
	return fName;
}


void
BHandler::SetNextHandler(BHandler* handler)
{
	if (handler == this)
		return;
	// The looper's thread dispatches along the chain, so a chain must not
	// reach into another looper's handlers.
	if (handler != NULL && fLooper != NULL && handler->fLooper != NULL
		&& handler->fLooper != fLooper) {
		return;
	}
	// A cycle would pass an unhandled message around for ever.
	for (BHandler* next = handler; next != NULL; next = next->fNextHandler) {
		if (next == this)
			return;
	}
	fNextHandler = handler;
}


BHandler*
BHandler::NextHandler() const
{
	return fNextHandler;
}


// #pragma mark - Locking


bool
BHandler::LockLooper()
{
	return LockLooperWithTimeout(B_INFINITE_TIMEOUT) == B_OK;
}


status_t
BHandler::LockLooperWithTimeout(bigtime_t timeout)
{
	TokenSpace& tokens = TokenSpace::Default();

	int32 looperToken;
	if (tokens.GetHandlerLooper(fToken, &looperToken) != B_OK
		|| looperToken == kNullToken) {
		return B_BAD_VALUE;
	}

	BPrivate::LooperCore* core = tokens.AcquireCore(looperToken);
	if (core == NULL)
		return B_BAD_PORT_ID;

	status_t status = core->lock.Acquire(timeout);
	if (status == B_OK) {
		int32 nowIn;
		if (tokens.GetHandlerLooper(fToken, &nowIn) != B_OK
			|| nowIn != looperToken) {
			core->lock.Release();
			status = B_MISMATCHED_VALUES;
		}
	}
	core->ReleaseReference();
	return status;
}


void
BHandler::UnlockLooper()
{
	if (fLooper != NULL)
		fLooper->Unlock();
}


// #pragma mark - private


void
BHandler::_LeaveLooper()
{
	// The registry, not fLooper, says where the handler is: a looper
	// deleted on another thread clears fLooper without our lock.
	TokenSpace& tokens = TokenSpace::Default();
	int32 looperToken;
	if (tokens.GetHandlerLooper(fToken, &looperToken) != B_OK
		|| looperToken == kNullToken || looperToken == fToken) {
		return;
	}
	BPrivate::LooperCore* core = tokens.AcquireCore(looperToken);
	if (core == NULL) {
		// The looper's destructor let go of us and left the registry
		// since we looked; it touches us no more.
		return;
	}

	bool callerHoldsLock = core->lock.IsOwnedByCaller();
	if (callerHoldsLock || core->lock.Acquire(B_INFINITE_TIMEOUT) == B_OK) {
		// With the lock held, fLooper is stable.
		if (fLooper != NULL)
			fLooper->RemoveHandler(this);
		if (!callerHoldsLock)
			core->lock.Release();
	} else {
		// The looper is quitting or being deleted; its destructor lets go
		// of this handler, and must be done with it before it is freed.
		core->WaitForLooperDeleted();
	}
	core->ReleaseReference();
}


void
BHandler::_SetLooper(BLooper* looper)
{
	fLooper = looper;
	TokenSpace::Default().SetHandlerLooper(fToken,
		looper != NULL ? looper->fToken : kNullToken);
}
