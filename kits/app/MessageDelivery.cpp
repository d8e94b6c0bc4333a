/*
 * The delivery side of BMessage: what a received message knows about its
 * sender, and replying. See MessageDelivery.h for how replies travel.
 *
 * Every sender lives in this process, so IsSourceRemote() is always
 * false. Queues never fill up, so the send timeouts of SendReply() have
 * nothing to wait for; the reply timeouts are honoured.
 */
#include "MessageDelivery.h"

#include "ApplicationPrivate.h"
#include "LooperPrivate.h"
#include "MessagePrivate.h"
#include "MessengerPrivate.h"
#include "TokenSpace.h"

#include <Handler.h>

#include <new>
#include <unistd.h>


typedef BMessage::Private::DeliveryInfo DeliveryInfo;


namespace BPrivate {


// #pragma mark - ReplySlot


ReplySlot::ReplySlot()
	:
	fReply(NULL),
	fAnswered(false),
	fNoReply(false),
	fAbandoned(false)
{
}


ReplySlot::~ReplySlot()
{
	delete fReply;
}


status_t
ReplySlot::Deliver(BMessage* reply)
{
	status_t status;
	{
		std::lock_guard<std::mutex> guard(fLock);
		if (fAbandoned)
			status = B_BAD_PORT_ID;
		else if (fAnswered)
			status = B_DUPLICATE_REPLY;
		else {
			fReply = reply;
			fAnswered = true;
			fCondition.notify_all();
			return B_OK;
		}
	}
	// Deleted outside the lock: a reply that waits for an answer of its
	// own answers itself with B_NO_REPLY as it goes.
	delete reply;
	return status;
}


void
ReplySlot::DeliverNoReply()
{
	std::lock_guard<std::mutex> guard(fLock);
	if (fAnswered || fAbandoned)
		return;
	fAnswered = true;
	fNoReply = true;
	fCondition.notify_all();
}


status_t
ReplySlot::Wait(bigtime_t timeout, BMessage** _reply)
{
	std::unique_lock<std::mutex> lock(fLock);
	if (!wait_with_timeout(fCondition, lock, timeout,
			[this] { return fAnswered; })) {
		fAbandoned = true;
		return B_TIMED_OUT;
	}
	if (fNoReply) {
		// Made here rather than by the message that went unanswered, so
		// that a sender is told even when that message is destroyed while
		// memory is short.
		BMessage* noReply = new(std::nothrow) BMessage(B_NO_REPLY);
		DeliveryInfo* info = new(std::nothrow) DeliveryInfo;
		if (noReply == NULL || info == NULL) {
			delete noReply;
			delete info;
			return B_NO_MEMORY;
		}
		info->isReply = true;
		info->delivered = true;
		BMessage::Private(noReply).SetDelivery(info);
		*_reply = noReply;
		return B_OK;
	}
	*_reply = fReply;
	fReply = NULL;
	return B_OK;
}


bool
ReplySlot::IsAbandoned()
{
	std::lock_guard<std::mutex> guard(fLock);
	return fAbandoned;
}


// #pragma mark - sending


status_t
send_message(const BMessenger& target, const BMessage& message,
	const BMessenger& replyTo, const std::shared_ptr<ReplySlot>& waiter,
	const BMessage* answered)
{
	BMessenger::Private targetTokens(target);
	if (targetTokens.Team() != getpid())
		return B_BAD_PORT_ID;

	BMessage* copy = new(std::nothrow) BMessage(message);
	DeliveryInfo* info = new(std::nothrow) DeliveryInfo;
	BMessage* previous = answered != NULL
		? new(std::nothrow) BMessage(*answered) : NULL;
	if (copy == NULL || info == NULL
		|| (answered != NULL && previous == NULL)) {
		delete copy;
		delete info;
		delete previous;
		return B_NO_MEMORY;
	}

	info->handlerToken = targetTokens.HandlerToken();
	info->preferredTarget = targetTokens.IsPreferredTarget();
	info->waiter = waiter;
	if (waiter == NULL) {
		info->replyTo = BMessenger::Private(replyTo).LooperToken()
			!= kNullToken ? replyTo : application_messenger();
	}
	info->previous = previous;
	info->isReply = answered != NULL;
	BMessage::Private(copy).SetDelivery(info);

	status_t status = TokenSpace::Default().Enqueue(
		targetTokens.LooperToken(), targetTokens.HandlerToken(),
		targetTokens.IsPreferredTarget(), copy, waiter != NULL);
	if (status != B_OK) {
		// The sender learns of the failure from the status; the copy must
		// not also answer it with B_NO_REPLY on its way out.
		info->waiter.reset();
		delete copy;
	}
	return status;
}


status_t
wait_for_reply(ReplySlot& slot, bigtime_t timeout, BMessage* reply)
{
	BMessage* received;
	status_t status = slot.Wait(timeout, &received);
	if (status != B_OK)
		return status;

	*reply = *received;
	BMessage::Private(reply).SetDelivery(
		BMessage::Private(received).DetachDelivery());
	delete received;
	return B_OK;
}


status_t
send_and_wait(const BMessenger& target, const BMessage& message,
	BMessage* reply, bigtime_t replyTimeout, const BMessage* answered)
{
	if (reply == NULL)
		return B_BAD_VALUE;

	std::shared_ptr<ReplySlot> slot(new(std::nothrow) ReplySlot);
	if (slot == NULL)
		return B_NO_MEMORY;

	status_t status = send_message(target, message, BMessenger(), slot,
		answered);
	if (status != B_OK)
		return status;
	return wait_for_reply(*slot, replyTimeout, reply);
}


}	// namespace BPrivate


using BPrivate::ReplySlot;


namespace {

// Puts a copy of the reply into the waiting sender's slot. The copy
// answers replyWaiter, when there is one, or sends its own replies to
// replyTo (be_app when that is not set).
status_t
deliver_to_waiter(DeliveryInfo* info, const BMessage& answered,
	const BMessage& reply, const BMessenger& replyTo,
	const std::shared_ptr<ReplySlot>& replyWaiter)
{
	BMessage* copy = new(std::nothrow) BMessage(reply);
	DeliveryInfo* replyInfo = new(std::nothrow) DeliveryInfo;
	BMessage* previous = new(std::nothrow) BMessage(answered);
	if (copy == NULL || replyInfo == NULL || previous == NULL) {
		delete copy;
		delete replyInfo;
		delete previous;
		return B_NO_MEMORY;
	}

	replyInfo->isReply = true;
	replyInfo->delivered = true;
	replyInfo->previous = previous;
	replyInfo->waiter = replyWaiter;
	if (replyWaiter == NULL) {
		replyInfo->replyTo = BMessenger::Private(replyTo).LooperToken()
			!= BPrivate::kNullToken
				? replyTo : BPrivate::application_messenger();
	}
	BMessage::Private(copy).SetDelivery(replyInfo);

	return info->waiter->Deliver(copy);
}


bool
can_reply(const DeliveryInfo* info)
{
	return info != NULL && (info->waiter != NULL
		|| BMessenger::Private(info->replyTo).LooperToken()
			!= BPrivate::kNullToken);
}

}	// namespace


// #pragma mark - delivery_info


BMessage::delivery_info::delivery_info()
	:
	handlerToken(BPrivate::kNullToken),
	preferredTarget(false),
	previous(NULL),
	delivered(false),
	replied(false),
	isReply(false)
{
}


BMessage::delivery_info::~delivery_info()
{
	delete previous;
}


// #pragma mark - BMessage delivery members


bool
BMessage::IsReply() const
{
	return fDelivery != NULL && fDelivery->isReply;
}


bool
BMessage::WasDelivered() const
{
	return fDelivery != NULL && fDelivery->delivered;
}


bool
BMessage::IsSourceWaiting() const
{
	return fDelivery != NULL && fDelivery->waiter != NULL
		&& !fDelivery->replied && !fDelivery->waiter->IsAbandoned();
}


bool
BMessage::IsSourceRemote() const
{
	return false;
}


BMessenger
BMessage::ReturnAddress() const
{
	if (fDelivery == NULL)
		return BMessenger();
	return fDelivery->replyTo;
}


const BMessage*
BMessage::Previous() const
{
	return fDelivery != NULL ? fDelivery->previous : NULL;
}


status_t
BMessage::SendReply(uint32 command, BHandler* replyTo)
{
	BMessage reply(command);
	return SendReply(&reply, replyTo, B_INFINITE_TIMEOUT);
}


status_t
BMessage::SendReply(BMessage* reply, BHandler* replyTo, bigtime_t timeout)
{
	BMessenger messenger;
	if (replyTo != NULL) {
		status_t status;
		messenger = BMessenger(replyTo, NULL, &status);
		if (status != B_OK)
			return status;
	}
	return SendReply(reply, messenger, timeout);
}


status_t
BMessage::SendReply(BMessage* reply, BMessenger replyTo, bigtime_t timeout)
{
	B_UNUSED(timeout);

	if (reply == NULL)
		return B_BAD_VALUE;
	if (!can_reply(fDelivery))
		return B_BAD_REPLY;
	if (fDelivery->replied)
		return B_DUPLICATE_REPLY;

	status_t status;
	if (fDelivery->waiter != NULL)
		status = deliver_to_waiter(fDelivery, *this, *reply, replyTo, NULL);
	else {
		status = BPrivate::send_message(fDelivery->replyTo, *reply, replyTo,
			NULL, this);
	}
	if (status == B_OK)
		fDelivery->replied = true;
	return status;
}


status_t
BMessage::SendReply(uint32 command, BMessage* replyToReply)
{
	BMessage reply(command);
	return SendReply(&reply, replyToReply, B_INFINITE_TIMEOUT,
		B_INFINITE_TIMEOUT);
}


status_t
BMessage::SendReply(BMessage* reply, BMessage* replyToReply,
	bigtime_t sendTimeout, bigtime_t replyTimeout)
{
	B_UNUSED(sendTimeout);

	if (reply == NULL || replyToReply == NULL)
		return B_BAD_VALUE;
	if (!can_reply(fDelivery))
		return B_BAD_REPLY;
	if (fDelivery->replied)
		return B_DUPLICATE_REPLY;

	std::shared_ptr<ReplySlot> slot(new(std::nothrow) ReplySlot);
	if (slot == NULL)
		return B_NO_MEMORY;

	status_t status;
	if (fDelivery->waiter != NULL) {
		status = deliver_to_waiter(fDelivery, *this, *reply, BMessenger(),
			slot);
	} else {
		status = BPrivate::send_message(fDelivery->replyTo, *reply,
			BMessenger(), slot, this);
	}
	if (status != B_OK)
		return status;

	// Marked before waiting: replyToReply may be this very message, whose
	// delivery information the answer replaces.
	fDelivery->replied = true;
	return BPrivate::wait_for_reply(*slot, replyTimeout, replyToReply);
}


void
BMessage::_ReleaseDelivery()
{
	DeliveryInfo* info = fDelivery;
	if (info == NULL)
		return;
	fDelivery = NULL;

	// Nobody answered: the waiting sender gets B_NO_REPLY rather than
	// waiting for a message that no longer exists.
	if (info->waiter != NULL && !info->replied)
		info->waiter->DeliverNoReply();
	delete info;
}
