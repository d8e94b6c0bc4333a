/*
 * BLooper: the message loop, locking and quitting.
 *
 * Cases covered:
 * - messages posted before Run() wait and are handled once it runs, in
 *   the order they were posted;
 * - many threads posting at once, through PostMessage() and messengers:
 *   nothing is lost and each sender's order is kept;
 * - the lock: recursive, owner and count reported, held by the
 *   constructing thread until Run(), LockWithTimeout() timing out while
 *   another thread holds it, threads locking and unlocking while the
 *   loop dispatches without ever overlapping, and waiters served in the
 *   order they came, so a loop that never runs dry keeps nobody out;
 * - quitting with messages queued: they are deleted, a synchronous sender
 *   gets B_NO_REPLY, messengers then fail with B_BAD_PORT_ID;
 * - Quit() from another thread returns once the looper is deleted;
 *   B_QUIT_REQUESTED quits from inside; QuitRequested() refusing keeps
 *   the looper and answers a waiting sender; Quit() on a looper that
 *   never ran deletes it; a thread waiting to lock a looper that quits
 *   comes back with a failure;
 * - CurrentMessage() and DetachCurrentMessage();
 * - the handler list, the preferred handler, and posting errors;
 * - misuse that stops the program: Quit() without the lock, deleting a
 *   running looper, Run() twice, Unlock() without the lock, AddHandler()
 *   without the lock.
 */
#include <Looper.h>
#include <Message.h>
#include <Messenger.h>

#include "LooperPrivate.h"
#include "LooperTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <thread>
#include <vector>
#include <unistd.h>


using looper_test::Counter;
using looper_test::RecordingHandler;


namespace {

enum {
	kTick = 'tick',
	kBlock = 'blok',
	kBarrier = 'barr',
	kAdd = 'add_',
	kCurrent = 'curr',
	kDetach = 'dtch'
};


// A looper that counts its own deletion and records what reaches its own
// MessageReceived().
class TestLooper : public BLooper {
public:
	TestLooper(Counter* deleted = NULL, const char* name = "test looper")
		: BLooper(name), fDeleted(deleted) {}

	~TestLooper() override
	{
		if (fDeleted != NULL)
			fDeleted->Increment();
	}

	void MessageReceived(BMessage* message) override
	{
		if (message->what == kTick) {
			fTicks.Increment();
			return;
		}
		BLooper::MessageReceived(message);
	}

	Counter fTicks;

private:
	Counter* fDeleted;
};


// Waits until everything posted to the looper before has been handled:
// the looper answers an unknown synchronous message with
// B_MESSAGE_NOT_UNDERSTOOD once it reaches it.
void
wait_until_idle(BLooper* looper)
{
	BMessage reply;
	ASSERT_EQ(B_OK, BMessenger(looper).SendMessage(kBarrier, &reply));
	ASSERT_EQ((uint32)B_MESSAGE_NOT_UNDERSTOOD, reply.what);
}


void
quit_looper(BLooper* looper)
{
	ASSERT_TRUE(looper->Lock());
	looper->Quit();
}


thread_id
own_thread()
{
	return BPrivate::current_thread_id();
}

}	// namespace


TEST(LooperTest, PostedBeforeRunIsHandledAfterRunInOrder)
{
	RecordingHandler handler;
	BLooper* looper = new BLooper("early posts");
	looper->AddHandler(&handler);

	for (int32 i = 0; i < 10; i++) {
		BMessage message(kTick);
		message.AddInt32("value", i);
		ASSERT_EQ(B_OK, looper->PostMessage(&message, &handler));
	}
	EXPECT_EQ(-1, looper->Thread());

	thread_id thread = looper->Run();
	EXPECT_GT(thread, 0);
	EXPECT_NE(own_thread(), thread);
	EXPECT_EQ(thread, looper->Thread());

	ASSERT_TRUE(handler.WaitFor(10));
	std::vector<int32> expected = { 0, 1, 2, 3, 4, 5, 6, 7, 8, 9 };
	EXPECT_EQ(expected, handler.Values());

	quit_looper(looper);
}


namespace {

// Records, per sender, the sequence numbers in the order they arrived.
class OrderHandler : public BHandler {
public:
	static const int32 kSenders = 8;

	void MessageReceived(BMessage* message) override
	{
		int32 sender = message->GetInt32("sender", -1);
		int32 sequence = message->GetInt32("value", -1);
		if (sender < 0 || sender >= kSenders) {
			BHandler::MessageReceived(message);
			return;
		}
		// Called with the looper locked, which guards the vectors.
		fReceived[sender].push_back(sequence);
	}

	std::vector<int32> fReceived[kSenders];
};

}	// namespace


TEST(LooperTest, ManyThreadsPostingKeepEachSendersOrder)
{
	const int32 kMessagesEach = 1000;

	OrderHandler handler;
	BLooper* looper = new BLooper("crowded");
	looper->AddHandler(&handler);
	looper->Run();

	std::vector<std::thread> senders;
	std::atomic<int32> failures(0);
	for (int32 sender = 0; sender < OrderHandler::kSenders; sender++) {
		senders.emplace_back([&, sender] {
			// Half the senders post, half go through a messenger.
			BMessenger messenger(&handler);
			for (int32 i = 0; i < kMessagesEach; i++) {
				BMessage message(kTick);
				message.AddInt32("sender", sender);
				message.AddInt32("value", i);
				status_t status = sender % 2 == 0
					? looper->PostMessage(&message, &handler)
					: messenger.SendMessage(&message);
				if (status != B_OK)
					failures++;
			}
		});
	}
	for (std::thread& thread : senders)
		thread.join();
	EXPECT_EQ(0, failures.load());

	wait_until_idle(looper);
	ASSERT_TRUE(looper->Lock());
	for (int32 sender = 0; sender < OrderHandler::kSenders; sender++) {
		const std::vector<int32>& received = handler.fReceived[sender];
		ASSERT_EQ((size_t)kMessagesEach, received.size())
			<< "sender " << sender;
		for (int32 i = 0; i < kMessagesEach; i++)
			ASSERT_EQ(i, received[i]) << "sender " << sender;
	}
	looper->Quit();
}


TEST(LooperTest, LockIsRecursiveAndHeldByTheConstructorUntilRun)
{
	BLooper* looper = new BLooper("locks");

	// The constructing thread holds the lock.
	EXPECT_TRUE(looper->IsLocked());
	EXPECT_EQ(1, looper->CountLocks());
	EXPECT_EQ(own_thread(), looper->LockingThread());

	ASSERT_TRUE(looper->Lock());
	EXPECT_EQ(2, looper->CountLocks());
	looper->Unlock();
	EXPECT_EQ(1, looper->CountLocks());

	std::thread other([&] {
		EXPECT_FALSE(looper->IsLocked());
		EXPECT_EQ(B_TIMED_OUT, looper->LockWithTimeout(0));
		EXPECT_EQ(B_TIMED_OUT, looper->LockWithTimeout(1000));
	});
	other.join();

	// Run() gives the constructor's hold up.
	looper->Run();
	EXPECT_FALSE(looper->IsLocked());
	wait_until_idle(looper);
	// The loop may still be finishing that dispatch, so this may wait.
	EXPECT_EQ(B_OK, looper->LockWithTimeout(B_INFINITE_TIMEOUT));
	EXPECT_EQ(1, looper->CountLocks());
	looper->Unlock();
	EXPECT_EQ(0, looper->CountLocks());
	EXPECT_EQ(-1, looper->LockingThread());

	quit_looper(looper);
}


TEST(LooperTest, LockWithTimeoutTimesOutWhileAnotherThreadHoldsIt)
{
	BLooper* looper = new BLooper("contended");
	looper->Run();

	Counter locked;
	Counter release;
	std::thread holder([&] {
		ASSERT_TRUE(looper->Lock());
		locked.Increment();
		release.WaitFor(1);
		looper->Unlock();
	});
	ASSERT_TRUE(locked.WaitFor(1));

	EXPECT_EQ(B_TIMED_OUT, looper->LockWithTimeout(20000));
	EXPECT_FALSE(looper->IsLocked());
	EXPECT_NE(own_thread(), looper->LockingThread());

	release.Increment();
	EXPECT_EQ(B_OK, looper->LockWithTimeout(B_INFINITE_TIMEOUT));
	holder.join();
	looper->Quit();
}


TEST(LooperTest, TheLockServesItsWaitersInTurn)
{
	// Three threads queue up for the lock, one after the other; the
	// holder lets it go and at once asks for it again. Each gets it in
	// the order it asked, the holder last: a thread that takes its lock
	// again for every message cannot keep the others out. Who wins a
	// race is chance, so the round is played many times.
	for (int32 round = 0; round < 20; round++) {
		BPrivate::LooperLock lock;
		ASSERT_EQ(B_OK, lock.Acquire(B_INFINITE_TIMEOUT));

		std::vector<int32> order;
		std::vector<std::thread> waiters;
		for (int32 i = 1; i <= 3; i++) {
			waiters.emplace_back([&lock, &order, i] {
				ASSERT_EQ(B_OK, lock.Acquire(B_INFINITE_TIMEOUT));
				order.push_back(i);
				lock.Release();
			});
			while (lock.CountWaiters() < i)
				usleep(100);
		}

		// One that gives up while waiting leaves the queue.
		EXPECT_EQ(B_TIMED_OUT, std::async(std::launch::async, [&lock] {
			return lock.Acquire(1000);
		}).get());
		EXPECT_EQ(3, lock.CountWaiters());

		ASSERT_TRUE(lock.Release());
		ASSERT_EQ(B_OK, lock.Acquire(B_INFINITE_TIMEOUT));
		order.push_back(0);
		ASSERT_TRUE(lock.Release());
		for (std::thread& thread : waiters)
			thread.join();
		ASSERT_EQ((std::vector<int32>{ 1, 2, 3, 0 }), order)
			<< "round " << round;
	}
}


namespace {

// Adds to a total that only the looper's lock guards.
class AddingHandler : public BHandler {
public:
	void MessageReceived(BMessage* message) override
	{
		if (message->what == kAdd) {
			fTotal++;
			return;
		}
		BHandler::MessageReceived(message);
	}

	int32 fTotal = 0;
};

}	// namespace


TEST(LooperTest, LockersAndTheLoopNeverOverlap)
{
	const int32 kLockers = 4;
	const int32 kRounds = 500;
	const int32 kPosts = 2000;

	AddingHandler handler;
	BLooper* looper = new BLooper("shared total");
	looper->AddHandler(&handler);
	looper->Run();

	std::atomic<int32> overlaps(0);
	std::vector<std::thread> lockers;
	for (int32 i = 0; i < kLockers; i++) {
		lockers.emplace_back([&] {
			for (int32 round = 0; round < kRounds; round++) {
				if (!looper->Lock()) {
					overlaps++;
					continue;
				}
				if (!looper->IsLocked() || looper->CountLocks() != 1
					|| looper->LockingThread() != own_thread()) {
					overlaps++;
				}
				handler.fTotal++;
				looper->Unlock();
			}
		});
	}
	for (int32 i = 0; i < kPosts; i++)
		ASSERT_EQ(B_OK, looper->PostMessage(kAdd, &handler));
	for (std::thread& thread : lockers)
		thread.join();

	wait_until_idle(looper);
	ASSERT_TRUE(looper->Lock());
	EXPECT_EQ(0, overlaps.load());
	EXPECT_EQ(kLockers * kRounds + kPosts, handler.fTotal);
	looper->Quit();
}


namespace {

// Blocks in its first message until released, then quits the looper from
// inside; counts whatever else reaches it.
class BlockingHandler : public BHandler {
public:
	void MessageReceived(BMessage* message) override
	{
		if (message->what == kBlock) {
			fStarted.Increment();
			fRelease.WaitFor(1);
			Looper()->Quit();
			return;
		}
		fOthers.Increment();
		BHandler::MessageReceived(message);
	}

	Counter fStarted;
	Counter fRelease;
	Counter fOthers;
};

}	// namespace


TEST(LooperTest, QuitDeletesQueuedMessagesAndAnswersWaitingSenders)
{
	const int32 kQueued = 50;

	Counter deleted;
	BlockingHandler handler;
	TestLooper* looper = new TestLooper(&deleted);
	looper->AddHandler(&handler);
	BMessenger messenger(&handler);
	looper_test::DeletionWatch watch(looper);
	looper->Run();

	ASSERT_EQ(B_OK, looper->PostMessage(kBlock, &handler));
	ASSERT_TRUE(handler.fStarted.WaitFor(1));

	for (int32 i = 0; i < kQueued; i++) {
		BMessage message(kTick);
		message.AddString("payload", "a string that has to be freed");
		ASSERT_EQ(B_OK, messenger.SendMessage(&message));
	}

	status_t syncStatus = B_ERROR;
	BMessage reply;
	std::thread waiter([&] {
		syncStatus = messenger.SendMessage(kTick, &reply);
	});
	ASSERT_TRUE(looper_test::wait_for_queue(looper, kQueued + 1));

	handler.fRelease.Increment();
	waiter.join();
	EXPECT_EQ(B_OK, syncStatus);
	EXPECT_EQ((uint32)B_NO_REPLY, reply.what);
	EXPECT_TRUE(reply.IsReply());

	watch.Wait();
	EXPECT_EQ(1, deleted.Count());
	EXPECT_EQ(0, handler.fOthers.Count());
	EXPECT_EQ(nullptr, handler.Looper());
	EXPECT_EQ(B_BAD_PORT_ID, messenger.SendMessage(kTick));
	EXPECT_FALSE(messenger.IsValid());
}


TEST(LooperTest, QuitFromAnotherThreadReturnsOnceTheLooperIsGone)
{
	Counter deleted;
	RecordingHandler handler;
	TestLooper* looper = new TestLooper(&deleted);
	looper->AddHandler(&handler);
	BMessenger toLooper(looper);
	BMessenger toHandler(&handler);
	looper->Run();
	for (int32 i = 0; i < 20; i++)
		ASSERT_EQ(B_OK, toHandler.SendMessage(kTick));

	ASSERT_TRUE(looper->Lock());
	looper->Quit();
	EXPECT_EQ(1, deleted.Count());

	BLooper* target;
	EXPECT_EQ(nullptr, toLooper.Target(&target));
	EXPECT_EQ(nullptr, target);
	EXPECT_FALSE(toLooper.IsValid());
	EXPECT_FALSE(toLooper.LockTarget());
	EXPECT_EQ(B_BAD_PORT_ID, toLooper.SendMessage(kTick));
	EXPECT_EQ(B_BAD_PORT_ID, toHandler.SendMessage(kTick));
	BMessage reply;
	EXPECT_EQ(B_BAD_PORT_ID, toLooper.SendMessage(kTick, &reply));
	EXPECT_EQ(nullptr, handler.Looper());
}


TEST(LooperTest, QuitRequestedMessageQuitsFromInside)
{
	Counter deleted;
	TestLooper* looper = new TestLooper(&deleted);
	BMessenger messenger(looper);

	// Queued behind the quit request, so never dispatched.
	ASSERT_EQ(B_OK, looper->PostMessage(B_QUIT_REQUESTED));
	ASSERT_EQ(B_OK, looper->PostMessage(kTick));
	looper->Run();

	ASSERT_TRUE(deleted.WaitFor(1));
	EXPECT_EQ(B_BAD_PORT_ID, messenger.SendMessage(kTick));
}


namespace {

class StubbornLooper : public TestLooper {
public:
	StubbornLooper(Counter* deleted) : TestLooper(deleted) {}

	bool QuitRequested() override
	{
		fAsked.Increment();
		return fAgree.load();
	}

	Counter fAsked;
	std::atomic<bool> fAgree{ false };
};

}	// namespace


TEST(LooperTest, RefusedQuitKeepsTheLooperAndAnswersTheSender)
{
	Counter deleted;
	StubbornLooper* looper = new StubbornLooper(&deleted);
	BMessenger messenger(looper);
	looper->Run();

	BMessage reply;
	ASSERT_EQ(B_OK, messenger.SendMessage(B_QUIT_REQUESTED, &reply));
	EXPECT_EQ((uint32)B_REPLY, reply.what);
	EXPECT_FALSE(reply.GetBool("result", true));
	EXPECT_EQ(1, looper->fAsked.Count());
	EXPECT_TRUE(messenger.IsValid());
	EXPECT_EQ(0, deleted.Count());

	looper->fAgree.store(true);
	ASSERT_EQ(B_OK, messenger.SendMessage(B_QUIT_REQUESTED, &reply));
	EXPECT_EQ((uint32)B_REPLY, reply.what);
	EXPECT_TRUE(reply.GetBool("result", false));
	ASSERT_TRUE(deleted.WaitFor(1));
}


TEST(LooperTest, QuitOnALooperThatNeverRanDeletesIt)
{
	Counter deleted;
	TestLooper* looper = new TestLooper(&deleted);
	BMessenger messenger(looper);
	ASSERT_EQ(B_OK, looper->PostMessage(kTick));

	// The constructor's lock is still ours.
	looper->Quit();
	EXPECT_EQ(1, deleted.Count());
	EXPECT_EQ(B_BAD_PORT_ID, messenger.SendMessage(kTick));
}


TEST(LooperTest, AThreadWaitingForTheLockOfAQuittingLooperFails)
{
	Counter deleted;
	TestLooper* looper = new TestLooper(&deleted);
	BMessenger messenger(looper);
	looper->Run();

	ASSERT_TRUE(looper->Lock());
	// Whether the waiter gets to wait before the looper goes or only
	// after, it must come back empty-handed.
	std::atomic<bool> locked(true);
	std::thread waiter([&] { locked.store(messenger.LockTarget()); });
	looper->Quit();
	waiter.join();
	EXPECT_FALSE(locked.load());
	EXPECT_EQ(1, deleted.Count());
}


namespace {

class CurrentMessageHandler : public BHandler {
public:
	void MessageReceived(BMessage* message) override
	{
		BLooper* looper = Looper();
		if (message->what == kCurrent) {
			fSawItself = looper->CurrentMessage() == message;
			return;
		}
		if (message->what == kDetach) {
			fDetached = looper->DetachCurrentMessage();
			fDetachedWasCurrent = fDetached == message;
			fCurrentAfterDetach = looper->CurrentMessage();
			return;
		}
		BHandler::MessageReceived(message);
	}

	// Guarded by the looper's lock.
	bool fSawItself = false;
	BMessage* fDetached = NULL;
	bool fDetachedWasCurrent = false;
	BMessage* fCurrentAfterDetach = NULL;
};

}	// namespace


TEST(LooperTest, CurrentMessageAndDetachCurrentMessage)
{
	CurrentMessageHandler handler;
	BLooper* looper = new BLooper("current");
	looper->AddHandler(&handler);
	EXPECT_EQ(nullptr, looper->CurrentMessage());
	looper->Run();

	ASSERT_EQ(B_OK, looper->PostMessage(kCurrent, &handler));
	BMessage detach(kDetach);
	detach.AddString("kept", "still here");
	ASSERT_EQ(B_OK, looper->PostMessage(&detach, &handler));
	wait_until_idle(looper);

	ASSERT_TRUE(looper->Lock());
	EXPECT_EQ(nullptr, looper->CurrentMessage());
	EXPECT_TRUE(handler.fSawItself);
	EXPECT_TRUE(handler.fDetachedWasCurrent);
	EXPECT_EQ(nullptr, handler.fCurrentAfterDetach);
	ASSERT_NE(nullptr, handler.fDetached);
	// The looper let go of it: it is ours, fields and all.
	EXPECT_EQ((uint32)kDetach, handler.fDetached->what);
	EXPECT_STREQ("still here", handler.fDetached->GetString("kept"));
	EXPECT_TRUE(handler.fDetached->WasDelivered());
	delete handler.fDetached;
	looper->Quit();
}


TEST(LooperTest, HandlerListManagement)
{
	RecordingHandler first;
	RecordingHandler second;
	RecordingHandler outsider;
	BLooper* looper = new BLooper("handlers");
	BLooper* other = new BLooper("other");

	EXPECT_EQ(1, looper->CountHandlers());
	EXPECT_EQ(looper, looper->HandlerAt(0));
	EXPECT_EQ(looper, looper->Looper());
	EXPECT_EQ(nullptr, looper->HandlerAt(1));
	EXPECT_EQ(nullptr, looper->HandlerAt(-1));

	looper->AddHandler(&first);
	looper->AddHandler(&second);
	looper->AddHandler(&first);
	looper->AddHandler(NULL);
	EXPECT_EQ(3, looper->CountHandlers());
	EXPECT_EQ(1, looper->IndexOf(&first));
	EXPECT_EQ(2, looper->IndexOf(&second));
	EXPECT_EQ(-1, looper->IndexOf(&outsider));
	EXPECT_EQ(looper, first.Looper());
	EXPECT_EQ(looper, first.NextHandler());

	// A handler belongs to one looper at a time.
	other->AddHandler(&first);
	EXPECT_EQ(looper, first.Looper());
	EXPECT_EQ(-1, other->IndexOf(&first));

	EXPECT_FALSE(looper->RemoveHandler(looper));
	EXPECT_FALSE(looper->RemoveHandler(&outsider));
	EXPECT_FALSE(looper->RemoveHandler(NULL));
	EXPECT_TRUE(looper->RemoveHandler(&first));
	EXPECT_FALSE(looper->RemoveHandler(&first));
	EXPECT_EQ(nullptr, first.Looper());
	EXPECT_EQ(nullptr, first.NextHandler());
	EXPECT_EQ(2, looper->CountHandlers());
	EXPECT_EQ(&second, looper->HandlerAt(1));

	// Now it is free to join the other looper.
	other->AddHandler(&first);
	EXPECT_EQ(other, first.Looper());

	// Deleting a looper leaves its handlers alive and free.
	looper->Quit();
	EXPECT_EQ(nullptr, second.Looper());
	other->Quit();
	EXPECT_EQ(nullptr, first.Looper());
}


namespace {

class RecordingLooper : public BLooper {
public:
	RecordingLooper() : BLooper("preferring") {}

	void MessageReceived(BMessage* message) override
	{
		if (message->what == kTick) {
			fTicks++;
			return;
		}
		BLooper::MessageReceived(message);
	}

	// Guarded by the lock.
	int32 fTicks = 0;
};

}	// namespace


TEST(LooperTest, PreferredHandlerIsChosenAtDeliveryTime)
{
	RecordingHandler first;
	RecordingHandler second;
	RecordingHandler outsider;
	RecordingLooper* looper = new RecordingLooper;
	looper->AddHandler(&first);
	looper->AddHandler(&second);
	EXPECT_EQ(nullptr, looper->PreferredHandler());
	looper->Run();

	BMessenger preferred(NULL, looper);
	// Without a preferred handler, the looper itself.
	ASSERT_EQ(B_OK, looper->PostMessage(kTick, NULL));
	wait_until_idle(looper);

	ASSERT_TRUE(looper->Lock());
	EXPECT_EQ(1, looper->fTicks);
	looper->SetPreferredHandler(&first);
	EXPECT_EQ(&first, looper->PreferredHandler());
	looper->Unlock();
	ASSERT_EQ(B_OK, looper->PostMessage(kTick, NULL));
	ASSERT_EQ(B_OK, preferred.SendMessage(kTick));
	ASSERT_TRUE(first.WaitFor(2));

	ASSERT_TRUE(looper->Lock());
	looper->SetPreferredHandler(&second);
	looper->Unlock();
	ASSERT_EQ(B_OK, preferred.SendMessage(kTick));
	ASSERT_TRUE(second.WaitFor(1));

	ASSERT_TRUE(looper->Lock());
	looper->SetPreferredHandler(&outsider);
	EXPECT_EQ(nullptr, looper->PreferredHandler());
	looper->SetPreferredHandler(&second);
	EXPECT_TRUE(looper->RemoveHandler(&second));
	EXPECT_EQ(nullptr, looper->PreferredHandler());
	looper->Unlock();

	wait_until_idle(looper);
	EXPECT_EQ(2u, first.Whats().size());
	EXPECT_EQ(1u, second.Whats().size());
	EXPECT_EQ(0u, outsider.Whats().size());
	quit_looper(looper);
}


TEST(LooperTest, PostMessageRefusesBadArguments)
{
	RecordingHandler mine;
	RecordingHandler theirs;
	RecordingHandler loose;
	BLooper* looper = new BLooper("posting");
	BLooper* other = new BLooper("other");
	looper->AddHandler(&mine);
	other->AddHandler(&theirs);

	EXPECT_EQ(B_BAD_VALUE, looper->PostMessage((BMessage*)NULL));
	EXPECT_EQ(B_BAD_VALUE, looper->PostMessage((BMessage*)NULL, &mine));
	EXPECT_EQ(B_MISMATCHED_VALUES, looper->PostMessage(kTick, &theirs));
	EXPECT_EQ(B_MISMATCHED_VALUES, looper->PostMessage(kTick, &loose));
	EXPECT_EQ(B_MISMATCHED_VALUES,
		looper->PostMessage(kTick, &mine, &loose));
	EXPECT_EQ(B_OK, looper->PostMessage(kTick, &mine, &theirs));

	looper->Quit();
	other->Quit();
}


// #pragma mark - misuse


class LooperDeathTest : public ::testing::Test {
protected:
	void SetUp() override
	{
		GTEST_FLAG_SET(death_test_style, "threadsafe");
	}
};


TEST_F(LooperDeathTest, QuitWithoutTheLockStops)
{
	EXPECT_DEATH({
		BLooper* looper = new BLooper("unlocked");
		looper->Run();
		looper->Quit();
	}, "Quit\\(\\): the looper must be locked");
}


TEST_F(LooperDeathTest, DeletingARunningLooperStops)
{
	EXPECT_DEATH({
		BLooper* looper = new BLooper("deleted");
		looper->Run();
		delete looper;
	}, "a running looper was deleted");
}


TEST_F(LooperDeathTest, RunningTwiceStops)
{
	EXPECT_DEATH({
		BLooper* looper = new BLooper("twice");
		looper->Run();
		looper->Run();
	}, "Run\\(\\): the looper runs already");
}


TEST_F(LooperDeathTest, UnlockingWithoutTheLockStops)
{
	EXPECT_DEATH({
		BLooper* looper = new BLooper("not ours");
		looper->Run();
		looper->Unlock();
	}, "Unlock\\(\\): the calling thread does not hold");
}


TEST_F(LooperDeathTest, AddingAHandlerWithoutTheLockStops)
{
	EXPECT_DEATH({
		BHandler handler;
		BLooper* looper = new BLooper("adding");
		looper->Run();
		looper->AddHandler(&handler);
	}, "AddHandler\\(\\): the looper must be locked");
}
