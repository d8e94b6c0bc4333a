/*
 * BMessageRunner.
 *
 * Cases covered:
 * - a counted runner sends exactly its count, each a whole copy of the
 *   message, and then reports a count of 0; SetCount() starts it again;
 * - an endless runner sends until it is deleted and nothing after its
 *   destructor has returned, even while it is sending at that moment;
 * - no message or an interval of 0 or less is refused;
 * - a runner whose target quits stops on its own;
 * - replies to a runner's messages go where the runner says.
 */
#include <Looper.h>
#include <Message.h>
#include <MessageRunner.h>
#include <Messenger.h>

#include "LooperTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <unistd.h>

using looper_test::RecordingHandler;

namespace {

enum {
	kTick = 'tick',
	kAnswer = 'answ'
};

const bigtime_t kInterval = 2000;


// A looper with a recording handler, running for the whole test.
class Target {
public:
	Target()
		:
		fLooper(new BLooper("runner target"))
	{
		fLooper->AddHandler(&fHandler);
		fLooper->Run();
	}

	~Target()
	{
		if (fLooper->Lock())
			fLooper->Quit();
	}

	BMessenger Messenger() { return BMessenger(&fHandler, fLooper); }

	RecordingHandler fHandler;
	BLooper* fLooper;
};


// Answers each tick.
class AnsweringHandler : public BHandler {
public:
	void MessageReceived(BMessage* message) override
	{
		if (message->what != kTick) {
			BHandler::MessageReceived(message);
			return;
		}
		BMessage answer(kAnswer);
		message->SendReply(&answer);
	}
};


// Polls the runner until its count is the value, within the tests'
// patience.
bool
wait_for_count(BMessageRunner& runner, int32 expected)
{
	auto deadline = std::chrono::steady_clock::now()
		+ looper_test::kPatience;
	while (std::chrono::steady_clock::now() < deadline) {
		int32 count = -2;
		runner.GetInfo(NULL, &count);
		if (count == expected)
			return true;
		usleep(1000);
	}
	return false;
}

}	// namespace


TEST(MessageRunnerTest, CountedRunnerSendsItsCountThenStops)
{
	Target target;
	BMessage tick(kTick);
	tick.AddInt32("value", 7);
	BMessageRunner runner(target.Messenger(), &tick, kInterval, 3);
	ASSERT_EQ(runner.InitCheck(), B_OK);
	// The runner keeps its own copy.
	tick.ReplaceInt32("value", 8);

	ASSERT_TRUE(wait_for_count(runner, 0));
	ASSERT_TRUE(target.fHandler.WaitFor(3));
	EXPECT_EQ(target.fHandler.Values(), (std::vector<int32>{ 7, 7, 7 }));
	bigtime_t interval = 0;
	EXPECT_EQ(runner.GetInfo(&interval, NULL), B_OK);
	EXPECT_EQ(interval, kInterval);

	// Started again, it sends the new count.
	ASSERT_EQ(runner.SetCount(2), B_OK);
	ASSERT_TRUE(wait_for_count(runner, 0));
	ASSERT_TRUE(target.fHandler.WaitFor(5));
	EXPECT_EQ(target.fHandler.Whats().size(), 5u);
}


TEST(MessageRunnerTest, NothingAfterTheDestructor)
{
	Target target;
	BMessage tick(kTick);
	// A very short interval, so that deleting often meets a send.
	for (int round = 0; round < 20; round++) {
		BMessageRunner* runner = new BMessageRunner(target.Messenger(),
			&tick, 1);
		int32 count = 0;
		EXPECT_EQ(runner->GetInfo(NULL, &count), B_OK);
		EXPECT_EQ(count, -1);
		usleep(500);
		delete runner;
	}
	// Whatever was sent is in the queue by now; a sync message behind it
	// proves every earlier one was handled.
	BMessage reply;
	ASSERT_EQ(BMessenger(target.fLooper).SendMessage(B_NO_REPLY, &reply),
		B_OK);
	size_t received = target.fHandler.Whats().size();
	usleep(20 * 1000);
	ASSERT_EQ(BMessenger(target.fLooper).SendMessage(B_NO_REPLY, &reply),
		B_OK);
	EXPECT_EQ(target.fHandler.Whats().size(), received);
}


TEST(MessageRunnerTest, BadArgumentsAreRefused)
{
	Target target;
	BMessage tick(kTick);
	BMessageRunner noMessage(target.Messenger(), NULL, kInterval);
	EXPECT_EQ(noMessage.InitCheck(), B_BAD_VALUE);
	EXPECT_EQ(noMessage.SetCount(3), B_NO_INIT);
	BMessageRunner noInterval(target.Messenger(), &tick, 0);
	EXPECT_EQ(noInterval.InitCheck(), B_BAD_VALUE);

	BMessageRunner runner(target.Messenger(), &tick, 1000000, 1);
	ASSERT_EQ(runner.InitCheck(), B_OK);
	EXPECT_EQ(runner.SetInterval(0), B_BAD_VALUE);
	EXPECT_EQ(runner.SetInterval(-5), B_BAD_VALUE);
	ASSERT_EQ(runner.SetInterval(kInterval), B_OK);
	ASSERT_TRUE(wait_for_count(runner, 0));
	EXPECT_TRUE(target.fHandler.WaitFor(1));
}


TEST(MessageRunnerTest, StopsWhenTheTargetQuits)
{
	BLooper* looper = new BLooper("quitting target");
	looper->Run();
	BMessage tick(kTick);
	BMessageRunner runner(BMessenger(looper), &tick, kInterval);
	ASSERT_TRUE(looper->Lock());
	looper->Quit();
	EXPECT_TRUE(wait_for_count(runner, 0));
}


TEST(MessageRunnerTest, RepliesGoWhereTheRunnerSays)
{
	AnsweringHandler answering;
	BLooper* answerer = new BLooper("answerer");
	answerer->AddHandler(&answering);
	answerer->Run();
	Target replies;

	BMessage tick(kTick);
	{
		BMessageRunner runner(BMessenger(&answering, answerer), &tick,
			kInterval, 2, replies.Messenger());
		ASSERT_TRUE(replies.fHandler.WaitFor(2));
	}
	EXPECT_EQ(replies.fHandler.Whats(),
		(std::vector<uint32>{ kAnswer, kAnswer }));
	ASSERT_TRUE(answerer->Lock());
	answerer->RemoveHandler(&answering);
	answerer->Quit();
}
