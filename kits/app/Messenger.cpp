/*
 * BMessenger: tokens that name a handler in a looper. Every use looks
 * the tokens up in the registry (TokenSpace.h), so a messenger outlives
 * its target safely.
 *
 * A synchronous send to a looper whose thread is the caller's own could
 * never be answered, since the looper cannot dispatch while its thread
 * waits: it fails at once with B_MESSAGE_TO_SELF instead of hanging.
 */
#include <Messenger.h>

#include "LooperPrivate.h"
#include "MessageDelivery.h"
#include "MessengerPrivate.h"
#include "TokenSpace.h"

#include <Handler.h>
#include <Looper.h>
#include <Message.h>

#include <tuple>
#include <unistd.h>


using BPrivate::TokenSpace;
using BPrivate::kNullToken;


BMessenger::BMessenger()
	:
	fTeam(-1),
	fLooperToken(kNullToken),
	fHandlerToken(kNullToken),
	fPreferredTarget(false)
{
}


BMessenger::BMessenger(const BHandler* handler, const BLooper* looper,
	status_t* _result)
	:
	BMessenger()
{
	status_t result = SetTo(handler, looper);
	if (_result != NULL)
		*_result = result;
}


BMessenger::BMessenger(const BMessenger& other)
	:
	fTeam(other.fTeam),
	fLooperToken(other.fLooperToken),
	fHandlerToken(other.fHandlerToken),
	fPreferredTarget(other.fPreferredTarget)
{
}


BMessenger::~BMessenger()
{
}


// #pragma mark - Target


bool
BMessenger::IsTargetLocal() const
{
	return fTeam == getpid();
}


BHandler*
BMessenger::Target(BLooper** _looper) const
{
	BLooper* looper = NULL;
	BHandler* handler = NULL;
	if (IsTargetLocal()) {
		if (TokenSpace::Default().Resolve(fLooperToken, fHandlerToken,
				fPreferredTarget, &looper, &handler) != B_OK) {
			looper = NULL;
			handler = NULL;
		}
	}
	if (_looper != NULL)
		*_looper = looper;
	return handler;
}


bool
BMessenger::LockTarget() const
{
	return LockTargetWithTimeout(B_INFINITE_TIMEOUT) == B_OK;
}


status_t
BMessenger::LockTargetWithTimeout(bigtime_t timeout) const
{
	if (!IsTargetLocal())
		return B_BAD_PORT_ID;

	BPrivate::LooperCore* core
		= TokenSpace::Default().AcquireCore(fLooperToken);
	if (core == NULL)
		return B_BAD_PORT_ID;

	status_t status = core->lock.Acquire(timeout);
	if (status == B_OK && !fPreferredTarget
		&& TokenSpace::Default().HandlerIn(fHandlerToken, fLooperToken)
			== NULL) {
		// The handler left its looper while we waited for the lock.
		core->lock.Release();
		status = B_BAD_HANDLER;
	}
	core->ReleaseReference();
	return status;
}


// #pragma mark - Message sending


status_t
BMessenger::SendMessage(uint32 command, BHandler* replyTo) const
{
	BMessage message(command);
	return SendMessage(&message, replyTo, B_INFINITE_TIMEOUT);
}


status_t
BMessenger::SendMessage(BMessage* message, BHandler* replyTo,
	bigtime_t timeout) const
{
	BMessenger replyMessenger;
	if (replyTo != NULL) {
		status_t status;
		replyMessenger = BMessenger(replyTo, NULL, &status);
		if (status != B_OK)
			return status;
	}
	return SendMessage(message, replyMessenger, timeout);
}


status_t
BMessenger::SendMessage(BMessage* message, BMessenger replyTo,
	bigtime_t timeout) const
{
	// Queues never fill up, so there is nothing for the timeout to limit.
	B_UNUSED(timeout);

	if (message == NULL)
		return B_BAD_VALUE;
	return BPrivate::send_message(*this, *message, replyTo, NULL, NULL);
}


status_t
BMessenger::SendMessage(uint32 command, BMessage* reply) const
{
	BMessage message(command);
	return SendMessage(&message, reply, B_INFINITE_TIMEOUT,
		B_INFINITE_TIMEOUT);
}


status_t
BMessenger::SendMessage(BMessage* message, BMessage* reply,
	bigtime_t deliveryTimeout, bigtime_t replyTimeout) const
{
	B_UNUSED(deliveryTimeout);

	if (message == NULL || reply == NULL)
		return B_BAD_VALUE;
	return BPrivate::send_and_wait(*this, *message, reply, replyTimeout,
		NULL);
}


// #pragma mark - Operators and misc


status_t
BMessenger::SetTo(const BHandler* handler, const BLooper* looper)
{
	*this = BMessenger();

	TokenSpace& tokens = TokenSpace::Default();
	int32 looperToken = kNullToken;
	if (handler != NULL) {
		int32 handlerToken = BHandler::Private(handler).Token();
		if (tokens.GetHandlerLooper(handlerToken, &looperToken) != B_OK
			|| looperToken == kNullToken) {
			return B_MISMATCHED_VALUES;
		}
		if (looper != NULL
			&& BHandler::Private(looper).Token() != looperToken) {
			return B_MISMATCHED_VALUES;
		}
		BMessenger::Private(*this).SetTo(getpid(), looperToken, handlerToken,
			false);
		return B_OK;
	}

	if (looper == NULL)
		return B_BAD_VALUE;
	looperToken = tokens.LooperToken(looper);
	if (looperToken == kNullToken)
		return B_BAD_PORT_ID;
	BMessenger::Private(*this).SetTo(getpid(), looperToken, kNullToken, true);
	return B_OK;
}


BMessenger&
BMessenger::operator=(const BMessenger& other)
{
	fTeam = other.fTeam;
	fLooperToken = other.fLooperToken;
	fHandlerToken = other.fHandlerToken;
	fPreferredTarget = other.fPreferredTarget;
	return *this;
}


bool
BMessenger::operator==(const BMessenger& other) const
{
	return fTeam == other.fTeam && fLooperToken == other.fLooperToken
		&& fHandlerToken == other.fHandlerToken
		&& fPreferredTarget == other.fPreferredTarget;
}


bool
BMessenger::IsValid() const
{
	BLooper* looper;
	BHandler* handler;
	return IsTargetLocal()
		&& TokenSpace::Default().Resolve(fLooperToken, fHandlerToken,
			fPreferredTarget, &looper, &handler) == B_OK;
}


team_id
BMessenger::Team() const
{
	return fTeam;
}


bool
operator<(const BMessenger& a, const BMessenger& b)
{
	BMessenger::Private first(a);
	BMessenger::Private second(b);
	return std::make_tuple(first.Team(), first.LooperToken(),
			first.HandlerToken(), first.IsPreferredTarget())
		< std::make_tuple(second.Team(), second.LooperToken(),
			second.HandlerToken(), second.IsPreferredTarget());
}


bool
operator!=(const BMessenger& a, const BMessenger& b)
{
	return !(a == b);
}
