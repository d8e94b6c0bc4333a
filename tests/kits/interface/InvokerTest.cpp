/*
 * Invokers and what every control shares:
 * - an invoker without a message or without a target sends nothing and
 *   says why; one aimed at a handler outside any looper is refused;
 * - Invoke() sends a copy (the invoker keeps its message) with "when"
 *   and "source" added, to a handler in another looper or to a looper;
 *   an explicit message goes instead of the invoker's own;
 * - SetMessage() replaces the message and Command() follows it;
 * - a control without a target sends to its window once attached; a
 *   control aimed elsewhere keeps that target; a disabled control sends
 *   nothing; Space toggles the value and invokes; the label and value
 *   keep what they are given.
 */
#include "ControlsTestSupport.h"

#include <Control.h>
#include <Invoker.h>

using namespace interface_test;

namespace {

const uint32 kPing = 'PING';
const uint32 kPong = 'PONG';

}	// namespace


TEST(InvokerTest, RefusesWhatCannotBeSent)
{
	TestDriver driver;
	ASSERT_EQ(driver.Launch<TestApplication>(), B_OK);

	BInvoker invoker;
	EXPECT_EQ(invoker.Message(), (BMessage*)NULL);
	EXPECT_EQ(invoker.Command(), 0u);
	EXPECT_EQ(invoker.Invoke(), B_BAD_VALUE);

	invoker.SetMessage(new BMessage(kPing));
	EXPECT_EQ(invoker.Command(), kPing);
	EXPECT_EQ(invoker.Invoke(), B_BAD_PORT_ID);
	EXPECT_EQ(invoker.Target(), (BHandler*)NULL);

	// A handler that no looper holds cannot be reached.
	MessageLog log;
	LoggingHandler loose(log);
	EXPECT_NE(invoker.SetTarget(&loose), B_OK);
	EXPECT_FALSE(invoker.Messenger().IsValid());

	invoker.SetMessage(new BMessage(kPong));
	EXPECT_EQ(invoker.Command(), kPong);
	invoker.SetMessage(NULL);
	EXPECT_EQ(invoker.Command(), 0u);
}


TEST(InvokerTest, SendsAStampedCopyToItsTarget)
{
	TestDriver driver;
	ASSERT_EQ(driver.Launch<TestApplication>(), B_OK);

	MessageLog log;
	BLooper* looper = new BLooper("invoker target");
	LoggingHandler* handler = new LoggingHandler(log);
	looper->AddHandler(handler);
	looper->Run();

	BMessage* message = new BMessage(kPing);
	message->AddInt32("kept", 7);
	BInvoker invoker(message, handler);
	EXPECT_EQ(invoker.Target(), handler);
	EXPECT_TRUE(invoker.IsTargetLocal());

	ASSERT_EQ(invoker.Invoke(), B_OK);
	BMessage other(kPong);
	ASSERT_EQ(invoker.Invoke(&other), B_OK);
	ASSERT_EQ(driver.WaitForIdle(), B_OK);

	std::vector<ReceivedMessage> received = log.Messages();
	ASSERT_EQ(received.size(), 2u);
	EXPECT_EQ(received[0].what, kPing);
	EXPECT_TRUE(received[0].hasWhen);
	EXPECT_EQ(received[0].source, (const void*)&invoker);
	EXPECT_EQ(received[1].what, kPong);
	// The invoker's own message is left as it was.
	EXPECT_EQ(invoker.Message(), message);
	EXPECT_FALSE(message->HasInt64("when"));
	EXPECT_FALSE(message->HasPointer("source"));
	EXPECT_FALSE(other.HasInt64("when"));

	// Through a messenger, to the looper's preferred handler.
	log.Clear();
	looper->Lock();
	looper->SetPreferredHandler(handler);
	looper->Unlock();
	ASSERT_EQ(invoker.SetTarget(BMessenger(NULL, looper)), B_OK);
	ASSERT_EQ(invoker.InvokeNotify(NULL), B_OK);
	ASSERT_EQ(driver.WaitForIdle(), B_OK);
	EXPECT_EQ(log.Count(kPing), 1);

	looper->Lock();
	looper->Quit();
}


TEST(ControlTest, SendsToItsWindowUnlessAimedElsewhere)
{
	MessageLog log;
	TestDriver driver;
	ASSERT_EQ(driver.Launch<TestApplication>(), B_OK);

	BWindow* window = new LoggingWindow(BRect(100, 100, 299, 199),
		"Controls", log);
	BControl* control = new BControl(BRect(10, 10, 60, 30), "control",
		"Label", new BMessage(kPing), B_FOLLOW_NONE,
		B_WILL_DRAW | B_NAVIGABLE);
	BControl* aimed = new BControl(BRect(10, 40, 60, 60), "aimed", NULL,
		new BMessage(kPong), B_FOLLOW_NONE, B_WILL_DRAW | B_NAVIGABLE);
	MessageLog otherLog;
	LoggingHandler* other = new LoggingHandler(otherLog);
	window->AddHandler(other);
	aimed->SetTarget(other);
	window->AddChild(control);
	window->AddChild(aimed);
	window->Show();
	ASSERT_EQ(driver.WaitForIdle(), B_OK);

	{
		WindowLocker locker(window);
		EXPECT_EQ(control->Target(), window);
		EXPECT_EQ(aimed->Target(), other);
		EXPECT_STREQ(control->Label(), "Label");
		EXPECT_EQ(aimed->Label(), (const char*)NULL);
		EXPECT_EQ(control->Invoke(), B_OK);
		EXPECT_EQ(aimed->Invoke(), B_OK);
	}
	ASSERT_EQ(driver.WaitForIdle(), B_OK);
	std::vector<ReceivedMessage> received = log.Messages();
	ASSERT_EQ(received.size(), 1u);
	EXPECT_EQ(received[0].what, kPing);
	EXPECT_EQ(received[0].source, (const void*)control);
	EXPECT_TRUE(received[0].hasWhen);
	EXPECT_EQ(otherLog.Count(kPong), 1);

	// Disabled: nothing, whether invoked in code or by a key.
	log.Clear();
	{
		WindowLocker locker(window);
		control->MakeFocus();
		control->SetEnabled(false);
		EXPECT_FALSE(control->IsEnabled());
		EXPECT_EQ(control->Invoke(), B_ERROR);
		EXPECT_EQ(control->Flags() & B_NAVIGABLE, 0u);
		EXPECT_FALSE(control->IsFocus());
	}
	ASSERT_EQ(driver.PressKey(window, B_SPACE), B_OK);
	EXPECT_EQ(log.Count(kPing), 0);

	// Enabled again, Space toggles the value and sends.
	{
		WindowLocker locker(window);
		control->SetEnabled(true);
		EXPECT_NE(control->Flags() & B_NAVIGABLE, 0u);
		control->MakeFocus();
		EXPECT_EQ(control->Value(), B_CONTROL_OFF);
	}
	ASSERT_EQ(driver.PressKey(window, B_SPACE), B_OK);
	EXPECT_EQ(log.Count(kPing), 1);
	{
		WindowLocker locker(window);
		EXPECT_EQ(control->Value(), B_CONTROL_ON);
		control->SetLabel("Other");
		EXPECT_STREQ(control->Label(), "Other");
		control->SetLabel(NULL);
		EXPECT_EQ(control->Label(), (const char*)NULL);
	}
}
