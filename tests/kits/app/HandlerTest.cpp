/*
 * BHandler: names, the chain of next handlers, locking the looper, and
 * deletion.
 *
 * Cases covered:
 * - a name is copied, may be NULL and may be replaced;
 * - an unhandled message travels along the chain of next handlers to the
 *   looper; at the end a waiting sender gets B_MESSAGE_NOT_UNDERSTOOD;
 * - SetNextHandler() refuses the handler itself, a cycle and a handler of
 *   another looper, and accepts NULL;
 * - LockLooper(): fails for a handler in no looper, locks the looper of
 *   one that is in one, times out while another thread holds the lock,
 *   and fails when the handler leaves its looper while the caller waits;
 * - deleting a handler while its looper runs takes it out of the looper,
 *   whether the deleting thread holds the lock or not;
 * - deleting a handler on one thread while another quits its looper:
 *   neither touches freed memory nor waits for ever.
 */
#include <Handler.h>
#include <Looper.h>
#include <Message.h>
#include <Messenger.h>

#include "LooperTestSupport.h"

#include <gtest/gtest.h>

#include <thread>


using looper_test::Counter;
using looper_test::RecordingHandler;


namespace {

enum {
	kFirst = 'frst',
	kSecond = 'scnd',
	kNobody = 'nbdy'
};


// Handles one command and passes everything else on.
class ChainHandler : public BHandler {
public:
	ChainHandler(const char* name, uint32 handles)
		: BHandler(name), fHandles(handles) {}

	void MessageReceived(BMessage* message) override
	{
		if (message->what == fHandles) {
			fHandled.Increment();
			if (message->IsSourceWaiting())
				message->SendReply(B_REPLY);
			return;
		}
		BHandler::MessageReceived(message);
	}

	Counter fHandled;

private:
	uint32 fHandles;
};

}	// namespace


TEST(HandlerTest, NameIsCopiedAndMayBeNull)
{
	BHandler unnamed;
	EXPECT_EQ(nullptr, unnamed.Name());

	char buffer[] = "editor";
	BHandler named(buffer);
	buffer[0] = 'E';
	EXPECT_STREQ("editor", named.Name());

	named.SetName("renamed");
	EXPECT_STREQ("renamed", named.Name());
	named.SetName(NULL);
	EXPECT_EQ(nullptr, named.Name());

	EXPECT_EQ(nullptr, unnamed.Looper());
	EXPECT_EQ(nullptr, unnamed.NextHandler());
}


TEST(HandlerTest, UnhandledMessagesTravelTheChain)
{
	ChainHandler first("first", kFirst);
	ChainHandler second("second", kSecond);
	BLooper* looper = new BLooper("chain");
	looper->AddHandler(&first);
	looper->AddHandler(&second);
	EXPECT_EQ(looper, first.NextHandler());
	first.SetNextHandler(&second);
	EXPECT_EQ(&second, first.NextHandler());
	EXPECT_EQ(looper, second.NextHandler());
	looper->Run();

	BMessenger messenger(&first);
	BMessage reply;
	ASSERT_EQ(B_OK, messenger.SendMessage(kSecond, &reply));
	EXPECT_EQ((uint32)B_REPLY, reply.what);
	ASSERT_EQ(B_OK, messenger.SendMessage(kFirst, &reply));
	EXPECT_EQ((uint32)B_REPLY, reply.what);
	EXPECT_EQ(1, first.fHandled.Count());
	EXPECT_EQ(1, second.fHandled.Count());

	// Past the looper, the end of the chain.
	ASSERT_EQ(B_OK, messenger.SendMessage(kNobody, &reply));
	EXPECT_EQ((uint32)B_MESSAGE_NOT_UNDERSTOOD, reply.what);

	// An asynchronous message nobody understands is simply dropped.
	ASSERT_EQ(B_OK, messenger.SendMessage(kNobody));
	ASSERT_EQ(B_OK, messenger.SendMessage(kFirst, &reply));
	EXPECT_EQ(2, first.fHandled.Count());

	ASSERT_TRUE(looper->Lock());
	looper->Quit();
}


TEST(HandlerTest, SetNextHandlerRefusesLoopsAndOtherLoopers)
{
	BHandler first;
	BHandler second;
	BHandler third;
	BHandler elsewhere;
	BLooper* looper = new BLooper("mine");
	BLooper* other = new BLooper("theirs");
	looper->AddHandler(&first);
	looper->AddHandler(&second);
	looper->AddHandler(&third);
	other->AddHandler(&elsewhere);

	first.SetNextHandler(&first);
	EXPECT_EQ(looper, first.NextHandler());

	first.SetNextHandler(&second);
	second.SetNextHandler(&third);
	third.SetNextHandler(&first);
	EXPECT_EQ(looper, third.NextHandler());

	first.SetNextHandler(&elsewhere);
	EXPECT_EQ(&second, first.NextHandler());

	first.SetNextHandler(NULL);
	EXPECT_EQ(nullptr, first.NextHandler());

	// Handlers outside any looper may be chained, as views are before
	// they are attached to a window.
	BHandler child;
	BHandler parent;
	child.SetNextHandler(&parent);
	EXPECT_EQ(&parent, child.NextHandler());

	looper->Quit();
	other->Quit();
}


TEST(HandlerTest, LockLooperLocksTheHandlersLooper)
{
	BHandler loose;
	EXPECT_FALSE(loose.LockLooper());
	EXPECT_EQ(B_BAD_VALUE, loose.LockLooperWithTimeout(0));

	BHandler handler;
	BLooper* looper = new BLooper("locking");
	looper->AddHandler(&handler);
	looper->Run();

	ASSERT_TRUE(handler.LockLooper());
	EXPECT_TRUE(looper->IsLocked());
	Counter timedOut;
	std::thread other([&] {
		EXPECT_EQ(B_TIMED_OUT, handler.LockLooperWithTimeout(10000));
		timedOut.Increment();
	});
	ASSERT_TRUE(timedOut.WaitFor(1));
	other.join();
	handler.UnlockLooper();
	EXPECT_FALSE(looper->IsLocked());

	// The handler leaves while another thread waits to lock through it.
	ASSERT_TRUE(looper->Lock());
	status_t status = B_OK;
	std::thread waiter([&] {
		status = handler.LockLooperWithTimeout(B_INFINITE_TIMEOUT);
		if (status == B_OK)
			handler.UnlockLooper();
	});
	looper->RemoveHandler(&handler);
	looper->Unlock();
	waiter.join();
	// Depending on whether the waiter looked before or after the handler
	// left, it was told the handler moved or is in no looper.
	EXPECT_TRUE(status == B_MISMATCHED_VALUES || status == B_BAD_VALUE)
		<< status;

	ASSERT_TRUE(looper->Lock());
	looper->Quit();
}


TEST(HandlerTest, DeletingAHandlerTakesItOutOfItsRunningLooper)
{
	RecordingHandler* busy = new RecordingHandler;
	RecordingHandler* idle = new RecordingHandler;
	BLooper* looper = new BLooper("deleting");
	looper->AddHandler(busy);
	looper->AddHandler(idle);
	looper->Run();
	BMessenger toBusy(busy);
	BMessenger toIdle(idle);

	// While messages for it may be dispatched, the deleting thread holds
	// the lock, as the platform asks.
	for (int32 i = 0; i < 100; i++)
		ASSERT_EQ(B_OK, toBusy.SendMessage(kFirst));
	std::thread deleter([looper, busy] {
		ASSERT_TRUE(looper->Lock());
		delete busy;
		looper->Unlock();
	});
	deleter.join();
	EXPECT_EQ(B_BAD_HANDLER, toBusy.SendMessage(kFirst));

	// Without the lock, the destructor takes it.
	BMessage reply;
	ASSERT_EQ(B_OK, BMessenger(looper).SendMessage(kNobody, &reply));
	delete idle;
	EXPECT_EQ(B_BAD_HANDLER, toIdle.SendMessage(kFirst));
	EXPECT_FALSE(looper->IsLocked());

	ASSERT_TRUE(looper->Lock());
	EXPECT_EQ(1, looper->CountHandlers());
	looper->Quit();
}


TEST(HandlerTest, DeletingAHandlerWhileItsLooperQuitsIsSafe)
{
	// The two orders race on purpose; under the sanitizers any use of
	// freed memory shows up, whichever wins.
	for (int32 round = 0; round < 50; round++) {
		BHandler* handler = new BHandler;
		BLooper* looper = new BLooper("racing");
		looper->AddHandler(handler);
		looper->Run();
		ASSERT_EQ(B_OK, BMessenger(handler).SendMessage(kFirst));

		std::thread quitter([looper] {
			if (looper->Lock())
				looper->Quit();
		});
		std::thread deleter([handler] { delete handler; });
		quitter.join();
		deleter.join();
	}
}
