/*
 * BMessenger and the delivery side of BMessage: sending, replying, and
 * targets that go away.
 *
 * Cases covered:
 * - an empty messenger fails cleanly everywhere; NULL arguments;
 * - construction checks the target (handler in no looper, handler and
 *   looper that do not match, nothing at all) and Target() reports it;
 * - comparison, copying and ordering;
 * - a synchronous reply carries the answer, IsReply(), WasDelivered()
 *   and Previous(); a second reply gives B_DUPLICATE_REPLY;
 * - an asynchronous reply goes to the reply handler, which is the
 *   message's ReturnAddress();
 * - replying where nobody can be replied to gives B_BAD_REPLY;
 * - a message deleted unanswered gives B_NO_REPLY, one nobody
 *   understands B_MESSAGE_NOT_UNDERSTOOD;
 * - a reply timeout gives B_TIMED_OUT, and the late reply is refused;
 * - a synchronous send to the looper of the calling thread gives
 *   B_MESSAGE_TO_SELF, to another looper it works;
 * - a handler that was deleted or moved gives B_BAD_HANDLER; one removed
 *   while a message for it waits in the queue never gets it, and its
 *   synchronous sender gets B_NO_REPLY;
 * - a reply that waits for a reply of its own, answered or dropped;
 * - LockTarget() and LockTargetWithTimeout().
 */
#include <Looper.h>
#include <Message.h>
#include <Messenger.h>

#include "LooperPrivate.h"
#include "LooperTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <unistd.h>


using looper_test::Counter;
using looper_test::RecordingHandler;


namespace {

enum {
	kAsk = 'ask_',
	kAnswer = 'answ',
	kThanks = 'thx_',
	kKeep = 'keep',
	kLate = 'late',
	kSelf = 'self',
	kOther = 'othr',
	kBlock = 'blok',
	kTick = 'tick',
	kConverse = 'conv'
};


// A looper that runs from construction to the end of a test.
class RunningLooper {
public:
	RunningLooper(const char* name = "messenger test")
		: fLooper(new BLooper(name)) {}

	~RunningLooper()
	{
		if (fLooper->Lock())
			fLooper->Quit();
	}

	// Adds the handler and starts the looper.
	BLooper* Start(BHandler* handler = NULL, BHandler* second = NULL)
	{
		if (handler != NULL)
			fLooper->AddHandler(handler);
		if (second != NULL)
			fLooper->AddHandler(second);
		fLooper->Run();
		return fLooper;
	}

	BLooper* operator->() { return fLooper; }
	BLooper* Get() { return fLooper; }

private:
	BLooper* fLooper;
};


// Answers kAsk with kAnswer carrying twice the "value", and records what
// the message said about its delivery. Everything it records is guarded
// by the looper's lock, or read after a synchronous round trip.
class ReplyingHandler : public BHandler {
public:
	void MessageReceived(BMessage* message) override
	{
		if (message->what != kAsk) {
			BHandler::MessageReceived(message);
			return;
		}
		fWaitingBefore = message->IsSourceWaiting();
		fWasDelivered = message->WasDelivered();
		fRemote = message->IsSourceRemote();
		fReturnAddress = message->ReturnAddress();

		BMessage reply(kAnswer);
		reply.AddInt32("value", message->GetInt32("value", 0) * 2);
		fFirstReply = message->SendReply(&reply);
		fWaitingAfter = message->IsSourceWaiting();
		fSecondReply = message->SendReply(kAnswer);
		fDone.Increment();
	}

	bool fWaitingBefore = false;
	bool fWasDelivered = false;
	bool fRemote = true;
	BMessenger fReturnAddress;
	status_t fFirstReply = B_ERROR;
	bool fWaitingAfter = true;
	status_t fSecondReply = B_ERROR;
	Counter fDone;
};


// Takes messages and answers none of them.
class SilentHandler : public BHandler {
public:
	void MessageReceived(BMessage*) override
	{
	}
};

}	// namespace


TEST(MessengerTest, AnEmptyMessengerFailsCleanly)
{
	BMessenger messenger;
	EXPECT_FALSE(messenger.IsValid());
	EXPECT_FALSE(messenger.IsTargetLocal());
	EXPECT_EQ(-1, messenger.Team());

	BLooper* looper = (BLooper*)0x1;
	EXPECT_EQ(nullptr, messenger.Target(&looper));
	EXPECT_EQ(nullptr, looper);
	EXPECT_EQ(nullptr, messenger.Target(NULL));
	EXPECT_FALSE(messenger.LockTarget());
	EXPECT_EQ(B_BAD_PORT_ID, messenger.LockTargetWithTimeout(0));

	BMessage message(kTick);
	BMessage reply;
	EXPECT_EQ(B_BAD_PORT_ID, messenger.SendMessage(kTick));
	EXPECT_EQ(B_BAD_PORT_ID, messenger.SendMessage(&message));
	EXPECT_EQ(B_BAD_PORT_ID, messenger.SendMessage(&message, &reply));
	EXPECT_EQ(B_BAD_VALUE, messenger.SendMessage((BMessage*)NULL));
	EXPECT_EQ(B_BAD_VALUE,
		messenger.SendMessage(&message, (BMessage*)NULL));
	EXPECT_EQ(B_BAD_VALUE,
		messenger.SendMessage((BMessage*)NULL, &reply));
}


TEST(MessengerTest, ConstructionChecksTheTarget)
{
	RecordingHandler loose;
	RecordingHandler inFirst;
	RunningLooper first("first");
	RunningLooper second("second");
	first.Start(&inFirst);
	second.Start();

	status_t result = B_OK;
	BMessenger toLoose(&loose, NULL, &result);
	EXPECT_EQ(B_MISMATCHED_VALUES, result);
	EXPECT_FALSE(toLoose.IsValid());

	BMessenger mismatched(&inFirst, second.Get(), &result);
	EXPECT_EQ(B_MISMATCHED_VALUES, result);
	EXPECT_FALSE(mismatched.IsValid());

	BMessenger nothing(NULL, NULL, &result);
	EXPECT_EQ(B_BAD_VALUE, result);

	BMessenger toHandler(&inFirst, first.Get(), &result);
	EXPECT_EQ(B_OK, result);
	EXPECT_TRUE(toHandler.IsValid());
	EXPECT_TRUE(toHandler.IsTargetLocal());
	EXPECT_EQ(getpid(), toHandler.Team());
	BLooper* looper = NULL;
	EXPECT_EQ(&inFirst, toHandler.Target(&looper));
	EXPECT_EQ(first.Get(), looper);

	BMessenger preferred(NULL, first.Get(), &result);
	EXPECT_EQ(B_OK, result);
	EXPECT_EQ(nullptr, preferred.Target(&looper));
	EXPECT_EQ(first.Get(), looper);

	BMessenger toLooper(first.Get(), NULL, &result);
	EXPECT_EQ(B_OK, result);
	EXPECT_EQ(first.Get(), toLooper.Target(&looper));
	EXPECT_EQ(first.Get(), looper);

	BMessenger reused;
	EXPECT_EQ(B_OK, reused.SetTo(&inFirst));
	EXPECT_EQ(B_MISMATCHED_VALUES, reused.SetTo(&loose));
	EXPECT_FALSE(reused.IsValid());
}


TEST(MessengerTest, ComparisonCopyAndOrder)
{
	RecordingHandler one;
	RecordingHandler two;
	RunningLooper looper;
	looper.Start(&one, &two);

	BMessenger a(&one);
	BMessenger sameAsA(&one);
	BMessenger b(&two);
	BMessenger toLooper(looper.Get());
	BMessenger preferred(NULL, looper.Get());

	EXPECT_TRUE(a == sameAsA);
	EXPECT_FALSE(a != sameAsA);
	EXPECT_TRUE(a != b);
	// The looper as a handler and the looper's preferred handler are two
	// targets, even while the looper prefers itself.
	EXPECT_TRUE(toLooper != preferred);

	EXPECT_FALSE(a < sameAsA);
	EXPECT_NE(a < b, b < a);
	EXPECT_NE(toLooper < preferred, preferred < toLooper);

	BMessenger copy(a);
	EXPECT_TRUE(copy == a);
	BMessenger assigned;
	assigned = b;
	EXPECT_TRUE(assigned == b);
	EXPECT_TRUE(BMessenger() == BMessenger());
}


TEST(MessengerTest, SynchronousReplyCarriesTheAnswer)
{
	ReplyingHandler handler;
	RunningLooper looper;
	looper.Start(&handler);

	BMessage question(kAsk);
	question.AddInt32("value", 21);
	BMessage reply;
	ASSERT_EQ(B_OK, BMessenger(&handler).SendMessage(&question, &reply));

	EXPECT_EQ((uint32)kAnswer, reply.what);
	EXPECT_EQ(42, reply.GetInt32("value", 0));
	EXPECT_TRUE(reply.IsReply());
	EXPECT_TRUE(reply.WasDelivered());
	EXPECT_FALSE(reply.IsSourceWaiting());
	ASSERT_NE(nullptr, reply.Previous());
	EXPECT_EQ((uint32)kAsk, reply.Previous()->what);
	EXPECT_EQ(21, reply.Previous()->GetInt32("value", 0));
	// The question itself is still the sender's own, undelivered.
	EXPECT_FALSE(question.WasDelivered());
	EXPECT_FALSE(question.IsReply());

	ASSERT_TRUE(handler.fDone.WaitFor(1));
	ASSERT_TRUE(looper->Lock());
	EXPECT_TRUE(handler.fWaitingBefore);
	EXPECT_TRUE(handler.fWasDelivered);
	EXPECT_FALSE(handler.fRemote);
	EXPECT_EQ(B_OK, handler.fFirstReply);
	EXPECT_FALSE(handler.fWaitingAfter);
	EXPECT_EQ(B_DUPLICATE_REPLY, handler.fSecondReply);
	looper->Unlock();
}


TEST(MessengerTest, AsynchronousReplyGoesToTheReplyHandler)
{
	ReplyingHandler replier;
	RecordingHandler replyHandler;
	RunningLooper asked("asked");
	RunningLooper asking("asking");
	asked.Start(&replier);
	asking.Start(&replyHandler);

	BMessage question(kAsk);
	question.AddInt32("value", 5);
	ASSERT_EQ(B_OK, BMessenger(&replier).SendMessage(&question,
		&replyHandler));
	ASSERT_TRUE(replyHandler.WaitFor(1));

	EXPECT_EQ(std::vector<uint32>{ kAnswer }, replyHandler.Whats());
	EXPECT_EQ(std::vector<int32>{ 10 }, replyHandler.Values());

	ASSERT_TRUE(asked->Lock());
	EXPECT_FALSE(replier.fWaitingBefore);
	EXPECT_EQ(B_OK, replier.fFirstReply);
	EXPECT_EQ(B_DUPLICATE_REPLY, replier.fSecondReply);
	EXPECT_TRUE(replier.fReturnAddress == BMessenger(&replyHandler));
	asked->Unlock();
}


namespace {

// Records, for its first message, what a reply to it did.
class ReplyCheckingHandler : public BHandler {
public:
	void MessageReceived(BMessage* message) override
	{
		fReturnAddressValid = message->ReturnAddress().IsValid();
		fReplyStatus = message->SendReply(kAnswer);
		fDone.Increment();
	}

	bool fReturnAddressValid = true;
	status_t fReplyStatus = B_OK;
	Counter fDone;
};

}	// namespace


TEST(MessengerTest, ReplyingWhereNobodyListensGivesBadReply)
{
	// A message that was never sent has nobody to reply to.
	BMessage unsent(kAsk);
	EXPECT_EQ(B_BAD_REPLY, unsent.SendReply(kAnswer));
	BMessage answer(kAnswer);
	EXPECT_EQ(B_BAD_REPLY, unsent.SendReply(&answer, BMessenger()));
	EXPECT_EQ(B_BAD_VALUE, unsent.SendReply((BMessage*)NULL));
	EXPECT_FALSE(unsent.IsSourceWaiting());
	EXPECT_FALSE(unsent.WasDelivered());
	EXPECT_FALSE(unsent.ReturnAddress().IsValid());
	EXPECT_EQ(nullptr, unsent.Previous());

	// Sent without a reply handler while no application exists.
	ReplyCheckingHandler handler;
	RunningLooper looper;
	looper.Start(&handler);
	ASSERT_EQ(B_OK, BMessenger(&handler).SendMessage(kAsk));
	ASSERT_TRUE(handler.fDone.WaitFor(1));
	ASSERT_TRUE(looper->Lock());
	EXPECT_FALSE(handler.fReturnAddressValid);
	EXPECT_EQ(B_BAD_REPLY, handler.fReplyStatus);
	looper->Unlock();
}


TEST(MessengerTest, UnansweredMessagesGiveNoReplyOrNotUnderstood)
{
	SilentHandler silent;
	BHandler plain;
	RunningLooper looper;
	looper.Start(&silent, &plain);

	BMessage reply;
	ASSERT_EQ(B_OK, BMessenger(&silent).SendMessage(kAsk, &reply));
	EXPECT_EQ((uint32)B_NO_REPLY, reply.what);
	EXPECT_TRUE(reply.IsReply());

	// A plain handler passes it on to the looper, which understands
	// nothing either.
	ASSERT_EQ(B_OK, BMessenger(&plain).SendMessage(kAsk, &reply));
	EXPECT_EQ((uint32)B_MESSAGE_NOT_UNDERSTOOD, reply.what);
	EXPECT_TRUE(reply.IsReply());
}


namespace {

// Keeps kKeep unanswered; answers it late when kLate comes.
class LateHandler : public BHandler {
public:
	void MessageReceived(BMessage* message) override
	{
		if (message->what == kKeep) {
			fKept = Looper()->DetachCurrentMessage();
			fKeptArrived.Increment();
			return;
		}
		if (message->what == kLate && fKept != NULL) {
			fStillWaiting = fKept->IsSourceWaiting();
			fLateStatus = fKept->SendReply(kAnswer);
			delete fKept;
			fKept = NULL;
			return;
		}
		BHandler::MessageReceived(message);
	}

	BMessage* fKept = NULL;
	Counter fKeptArrived;
	bool fStillWaiting = true;
	status_t fLateStatus = B_OK;
};

}	// namespace


TEST(MessengerTest, ReplyTimeoutAndTheLateReply)
{
	LateHandler handler;
	RunningLooper looper;
	looper.Start(&handler);
	BMessenger messenger(&handler);

	BMessage question(kKeep);
	BMessage reply(kTick);
	EXPECT_EQ(B_TIMED_OUT, messenger.SendMessage(&question, &reply,
		B_INFINITE_TIMEOUT, 20000));
	EXPECT_EQ((uint32)kTick, reply.what);
	ASSERT_TRUE(handler.fKeptArrived.WaitFor(1));

	// The barrier waits for the late reply to be attempted.
	ASSERT_EQ(B_OK, messenger.SendMessage(kLate));
	BMessage barrier;
	ASSERT_EQ(B_OK, BMessenger(looper.Get()).SendMessage(kTick, &barrier));

	ASSERT_TRUE(looper->Lock());
	EXPECT_FALSE(handler.fStillWaiting);
	EXPECT_EQ(B_BAD_PORT_ID, handler.fLateStatus);
	looper->Unlock();
}


namespace {

// Sends synchronously to its own looper, and to another one.
class SelfSendingHandler : public BHandler {
public:
	void MessageReceived(BMessage* message) override
	{
		if (message->what == kSelf) {
			BMessage reply;
			fToSelf = BMessenger(this).SendMessage(kTick, &reply);
			fToOther = fOther.SendMessage(kTick, &reply);
			fOtherReply = reply.what;
			return;
		}
		BHandler::MessageReceived(message);
	}

	BMessenger fOther;
	status_t fToSelf = B_OK;
	status_t fToOther = B_ERROR;
	uint32 fOtherReply = 0;
};

}	// namespace


TEST(MessengerTest, SynchronousSendToTheCallersOwnLooperIsRefused)
{
	SelfSendingHandler handler;
	RunningLooper looper("self");
	RunningLooper other("other");
	other.Start();
	handler.fOther = BMessenger(other.Get());
	looper.Start(&handler);

	BMessage reply;
	ASSERT_EQ(B_OK, BMessenger(&handler).SendMessage(kSelf, &reply));
	ASSERT_TRUE(looper->Lock());
	EXPECT_EQ(B_MESSAGE_TO_SELF, handler.fToSelf);
	EXPECT_EQ(B_OK, handler.fToOther);
	EXPECT_EQ((uint32)B_MESSAGE_NOT_UNDERSTOOD, handler.fOtherReply);
	looper->Unlock();
}


TEST(MessengerTest, AHandlerThatWentAwayGivesBadHandler)
{
	RunningLooper looper("first");
	RunningLooper other("second");
	looper.Start();
	other.Start();

	RecordingHandler* deleted = new RecordingHandler;
	RecordingHandler moved;
	ASSERT_TRUE(looper->Lock());
	looper->AddHandler(deleted);
	looper->AddHandler(&moved);
	looper->Unlock();
	BMessenger toDeleted(deleted);
	BMessenger toMoved(&moved);
	ASSERT_TRUE(toDeleted.IsValid());

	// Deleting a handler takes it out of its looper, locking it as needed.
	delete deleted;
	ASSERT_TRUE(looper->Lock());
	EXPECT_EQ(2, looper->CountHandlers());
	EXPECT_EQ(1, looper->IndexOf(&moved));
	looper->Unlock();
	EXPECT_EQ(B_BAD_HANDLER, toDeleted.SendMessage(kTick));
	EXPECT_FALSE(toDeleted.IsValid());
	BLooper* target = NULL;
	EXPECT_EQ(nullptr, toDeleted.Target(&target));

	ASSERT_TRUE(looper->Lock());
	looper->RemoveHandler(&moved);
	looper->Unlock();
	ASSERT_TRUE(other->Lock());
	other->AddHandler(&moved);
	other->Unlock();
	EXPECT_EQ(B_BAD_HANDLER, toMoved.SendMessage(kTick));
	BMessage reply;
	EXPECT_EQ(B_BAD_HANDLER, toMoved.SendMessage(kTick, &reply));
	EXPECT_EQ(B_BAD_HANDLER, toMoved.LockTargetWithTimeout(B_INFINITE_TIMEOUT));
	EXPECT_TRUE(BMessenger(&moved).IsValid());

	ASSERT_TRUE(other->Lock());
	other->RemoveHandler(&moved);
	other->Unlock();
}


namespace {

// Blocks in kBlock until released, then removes fVictim from the looper.
class RemovingHandler : public BHandler {
public:
	void MessageReceived(BMessage* message) override
	{
		if (message->what == kBlock) {
			fStarted.Increment();
			fRelease.WaitFor(1);
			Looper()->RemoveHandler(fVictim);
			return;
		}
		BHandler::MessageReceived(message);
	}

	BHandler* fVictim = NULL;
	Counter fStarted;
	Counter fRelease;
};

}	// namespace


TEST(MessengerTest, AMessageForAHandlerRemovedMeanwhileIsDropped)
{
	RecordingHandler victim;
	RemovingHandler remover;
	remover.fVictim = &victim;
	RunningLooper looper;
	looper.Start(&remover, &victim);

	ASSERT_EQ(B_OK, BMessenger(&remover).SendMessage(kBlock));
	ASSERT_TRUE(remover.fStarted.WaitFor(1));

	status_t status = B_ERROR;
	BMessage reply;
	std::thread sender([&] {
		status = BMessenger(&victim).SendMessage(kTick, &reply);
	});
	ASSERT_TRUE(looper_test::wait_for_queue(looper.Get(), 1));

	remover.fRelease.Increment();
	sender.join();
	EXPECT_EQ(B_OK, status);
	EXPECT_EQ((uint32)B_NO_REPLY, reply.what);
	EXPECT_TRUE(victim.Whats().empty());
}


namespace {

// Answers kConverse with a reply that waits for an answer of its own.
class ConversingHandler : public BHandler {
public:
	void MessageReceived(BMessage* message) override
	{
		if (message->what == kConverse) {
			BMessage answer(kAnswer);
			BMessage answerToAnswer;
			fStatus = message->SendReply(&answer, &answerToAnswer);
			fAnswerToAnswer = answerToAnswer.what;
			fAnswerWasReply = answerToAnswer.IsReply();
			return;
		}
		BHandler::MessageReceived(message);
	}

	status_t fStatus = B_ERROR;
	uint32 fAnswerToAnswer = 0;
	bool fAnswerWasReply = false;
};

}	// namespace


TEST(MessengerTest, AReplyCanWaitForAReplyOfItsOwn)
{
	ConversingHandler handler;
	RunningLooper looper;
	looper.Start(&handler);
	BMessenger messenger(&handler);

	// Answered.
	{
		BMessage reply;
		ASSERT_EQ(B_OK, messenger.SendMessage(kConverse, &reply));
		EXPECT_EQ((uint32)kAnswer, reply.what);
		EXPECT_TRUE(reply.IsSourceWaiting());
		EXPECT_EQ(B_OK, reply.SendReply(kThanks));
		EXPECT_EQ(B_DUPLICATE_REPLY, reply.SendReply(kThanks));
	}
	BMessage barrier;
	ASSERT_EQ(B_OK, BMessenger(looper.Get()).SendMessage(kTick, &barrier));
	ASSERT_TRUE(looper->Lock());
	EXPECT_EQ(B_OK, handler.fStatus);
	EXPECT_EQ((uint32)kThanks, handler.fAnswerToAnswer);
	EXPECT_TRUE(handler.fAnswerWasReply);
	looper->Unlock();

	// Dropped: the reply goes out of scope unanswered.
	{
		BMessage reply;
		ASSERT_EQ(B_OK, messenger.SendMessage(kConverse, &reply));
		EXPECT_TRUE(reply.IsSourceWaiting());
	}
	ASSERT_EQ(B_OK, BMessenger(looper.Get()).SendMessage(kTick, &barrier));
	ASSERT_TRUE(looper->Lock());
	EXPECT_EQ((uint32)B_NO_REPLY, handler.fAnswerToAnswer);
	looper->Unlock();
}


TEST(MessengerTest, LockTargetLocksTheTargetsLooper)
{
	RecordingHandler handler;
	RunningLooper looper;
	looper.Start(&handler);
	BMessenger messenger(&handler);

	ASSERT_TRUE(messenger.LockTarget());
	EXPECT_TRUE(looper->IsLocked());
	EXPECT_EQ(B_OK, messenger.LockTargetWithTimeout(0));
	EXPECT_EQ(2, looper->CountLocks());
	looper->Unlock();

	Counter timedOut;
	std::atomic<bool> lockedLater(false);
	std::thread other([&] {
		EXPECT_EQ(B_TIMED_OUT, messenger.LockTargetWithTimeout(10000));
		timedOut.Increment();
		// Waits for the Unlock() below.
		lockedLater.store(messenger.LockTarget());
		if (lockedLater.load())
			looper->Unlock();
	});
	ASSERT_TRUE(timedOut.WaitFor(1));
	looper->Unlock();
	other.join();
	EXPECT_TRUE(lockedLater.load());
}
