/*
 * Private to the kits: how a message travels. Every message in a queue
 * carries a delivery_info that says which handler it is for, who waits
 * for its reply or where an asynchronous reply goes, and, for a reply,
 * the message it answers.
 *
 * A synchronous sender waits on a ReplySlot that it shares with the
 * message it sent. The reply is put straight into the slot by whichever
 * thread answers; no queue is involved. A message deleted unanswered
 * puts a B_NO_REPLY reply there instead, so a sender never waits for a
 * message that no longer exists.
 */
#ifndef _KITS_MESSAGE_DELIVERY_H
#define _KITS_MESSAGE_DELIVERY_H

#include <Message.h>
#include <Messenger.h>

#include <condition_variable>
#include <memory>
#include <mutex>


namespace BPrivate {

/*
 * ReplySlot: where one synchronous sender waits for its one reply. The
 * sender's thread waits; any thread delivers. Owns the reply until the
 * sender takes it.
 */
class ReplySlot {
public:
								ReplySlot();
								~ReplySlot();

	// Takes ownership of the reply in every case. B_DUPLICATE_REPLY when
	// the slot was answered before, B_BAD_PORT_ID when the sender gave up
	// waiting: the reply is deleted then.
			status_t			Deliver(BMessage* reply);
	// Answers with B_NO_REPLY, unless the slot was answered before.
			void				DeliverNoReply();
	// Waits for the reply and hands it over. B_TIMED_OUT when none came
	// in time; the slot then refuses whatever comes later.
			status_t			Wait(bigtime_t timeout, BMessage** _reply);
	// True once the sender has given up waiting.
			bool				IsAbandoned();

private:
			std::mutex			fLock;
			std::condition_variable	fCondition;
			BMessage*			fReply;
			bool				fAnswered;
	// Answered without a message: the sender gets a B_NO_REPLY reply.
			bool				fNoReply;
			bool				fAbandoned;
};

// Queues a copy of the message for the messenger's target. The copy
// carries where replies go: to the waiting sender's slot when there is
// one, else to replyTo, or to be_app when replyTo is not set. A reply
// also carries a copy of the message it answers. With refuseSelf, a
// target that runs on the calling thread gives B_MESSAGE_TO_SELF.
status_t send_message(const BMessenger& target, const BMessage& message,
	const BMessenger& replyTo, const std::shared_ptr<ReplySlot>& waiter,
	const BMessage* answered);

// Sends a copy and waits up to the timeout for the reply, which replaces
// the contents of *reply. A target that runs on the calling thread gives
// B_MESSAGE_TO_SELF, since it could never answer.
status_t send_and_wait(const BMessenger& target, const BMessage& message,
	BMessage* reply, bigtime_t replyTimeout, const BMessage* answered);

// Waits on the slot and moves what arrives into *reply, delivery
// information included.
status_t wait_for_reply(ReplySlot& slot, bigtime_t timeout,
	BMessage* reply);

}	// namespace BPrivate


struct BMessage::delivery_info {
								delivery_info();
								~delivery_info();

	// The handler the message is for, unless it is for the looper's
	// preferred handler.
			int32				handlerToken;
			bool				preferredTarget;
	// Where an asynchronous reply goes.
			BMessenger			replyTo;
	// The synchronous sender, when one waits.
			std::shared_ptr<BPrivate::ReplySlot> waiter;
	// For a reply: a copy of the message it answers. Owned.
			BMessage*			previous;
	// Set once a looper has taken the message from its queue, or a
	// waiting sender has received it.
			bool				delivered;
			bool				replied;
			bool				isReply;
};


#endif	// _KITS_MESSAGE_DELIVERY_H
