/*
 * BApplication: running on the calling thread, the start-up messages,
 * pulses, quitting, signals, windows, and one application after another.
 *
 * Cases covered:
 * - Run() loops on the calling thread and returns its id; the command
 *   line comes first (with "cwd"), then ReadyToRun(), then what was posted
 *   before Run(); IsLaunching() until ReadyToRun() returned;
 * - no B_ARGV_RECEIVED without arguments; malformed B_ARGV_RECEIVED
 *   messages from elsewhere reach ArgvReceived() with what is usable;
 * - B_REFS_RECEIVED, B_ABOUT_REQUESTED and a repeated B_READY_TO_RUN;
 * - Pulse() at the pulse rate;
 * - Quit() from another thread makes Run() return;
 * - SIGTERM, SIGINT and SIGHUP post B_QUIT_REQUESTED, and the old handlers come
 *   back when the application is deleted;
 * - QuitRequested() asks the windows in turn, quits those that agree and
 *   stops at the first refusal; the window list;
 * - replies without a reply handler go to be_app;
 * - before Run() the application's thread is the constructing one, and a
 *   synchronous send from it is refused rather than deadlocking;
 * - two applications one after another; be_app and be_app_messenger;
 *   standard output is line-buffered;
 * - a bad signature: B_BAD_VALUE through the error (and from Run()), a
 *   stop without it;
 *   a second application while one exists stops;
 * - the application leaving Run() and threads that find the display
 *   lost end the process once: the later give way to the earliest.
 */
#include <Application.h>
#include <Looper.h>
#include <Message.h>
#include <Messenger.h>

#include "ApplicationPrivate.h"
#include "LooperPrivate.h"
#include "LooperTestSupport.h"
#include "ProcessArguments.h"
#include "ProcessEnd.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <stdio_ext.h>
#include <string>
#include <thread>
#include <vector>


using looper_test::Counter;


namespace {

const char* kSignature = "application/x-vnd.Orvane-ApplicationTest";

enum {
	kTick = 'tick',
	kAsk = 'ask_',
	kAnswer = 'answ'
};


class ApplicationTest : public ::testing::Test {
protected:
	void SetUp() override
	{
		// The test program's own arguments (ctest passes a filter) would
		// otherwise reach ArgvReceived().
		static const char* const kArguments[] = { "ApplicationTest", NULL };
		BPrivate::set_process_arguments(1, kArguments);
	}

	void TearDown() override
	{
		BPrivate::set_process_arguments(0, NULL);
	}
};


// Records the hooks it sees, in order, as text. Used on the application's
// thread only, and read after Run() returned.
class RecordingApp : public BApplication {
public:
	RecordingApp() : BApplication(kSignature) {}

	void ArgvReceived(int32 argc, char** argv) override
	{
		std::string entry = "argv " + std::to_string(argc);
		for (int32 i = 0; i < argc; i++)
			entry += std::string(" [") + argv[i] + "]";
		if (argv[argc] != NULL)
			entry += " unterminated";
		if (IsLaunching())
			entry += " launching";
		if (CurrentMessage() != NULL && CurrentMessage()->HasString("cwd"))
			entry += " cwd";
		fEvents.push_back(entry);
	}

	void ReadyToRun() override
	{
		fEvents.push_back(IsLaunching() ? "ready launching" : "ready");
	}

	void RefsReceived(BMessage*) override
	{
		fEvents.push_back("refs");
	}

	void AboutRequested() override
	{
		fEvents.push_back("about");
	}

	void MessageReceived(BMessage* message) override
	{
		if (message->what == kTick) {
			fEvents.push_back(IsLaunching() ? "tick launching" : "tick");
			if (message->GetBool("quit"))
				Quit();
			return;
		}
		BApplication::MessageReceived(message);
	}

	std::vector<std::string> fEvents;
};


void
post_quitting_tick(BLooper* looper)
{
	BMessage tick(kTick);
	tick.AddBool("quit", true);
	ASSERT_EQ(B_OK, looper->PostMessage(&tick));
}

}	// namespace


TEST_F(ApplicationTest, RunDeliversTheCommandLineThenReadyToRunThenPosts)
{
	static const char* const kArguments[]
		= { "orvane", "notes.txt", "two words", NULL };
	BPrivate::set_process_arguments(3, kArguments);

	RecordingApp app;
	ASSERT_EQ(B_OK, app.InitCheck());
	EXPECT_TRUE(app.IsLaunching());
	post_quitting_tick(&app);

	thread_id thread = app.Run();
	EXPECT_EQ(BPrivate::current_thread_id(), thread);
	EXPECT_EQ(thread, app.Thread());
	EXPECT_FALSE(app.IsLaunching());

	std::vector<std::string> expected = {
		"argv 3 [orvane] [notes.txt] [two words] launching cwd",
		"ready launching",
		"tick"
	};
	EXPECT_EQ(expected, app.fEvents);
}


TEST_F(ApplicationTest, NoCommandLineMessageWithoutArguments)
{
	RecordingApp app;
	post_quitting_tick(&app);
	app.Run();

	std::vector<std::string> expected = { "ready launching", "tick" };
	EXPECT_EQ(expected, app.fEvents);
}


TEST_F(ApplicationTest, SystemMessagesFromElsewhereReachTheirHooks)
{
	RecordingApp app;

	// More "argc" than strings: only the strings count.
	BMessage tooMany(B_ARGV_RECEIVED);
	tooMany.AddInt32("argc", 5);
	tooMany.AddString("argv", "orvane");
	tooMany.AddString("argv", "/tmp/a");
	ASSERT_EQ(B_OK, app.PostMessage(&tooMany));
	// Fewer: the rest is ignored.
	BMessage fewer(B_ARGV_RECEIVED);
	fewer.AddInt32("argc", 1);
	fewer.AddString("argv", "orvane");
	fewer.AddString("argv", "ignored");
	ASSERT_EQ(B_OK, app.PostMessage(&fewer));
	// No strings at all, or of the wrong type.
	ASSERT_EQ(B_OK, app.PostMessage(B_ARGV_RECEIVED));
	BMessage wrongType(B_ARGV_RECEIVED);
	wrongType.AddInt32("argv", 7);
	ASSERT_EQ(B_OK, app.PostMessage(&wrongType));

	ASSERT_EQ(B_OK, app.PostMessage(B_REFS_RECEIVED));
	ASSERT_EQ(B_OK, app.PostMessage(B_ABOUT_REQUESTED));
	// ReadyToRun() is called once only.
	ASSERT_EQ(B_OK, app.PostMessage(B_READY_TO_RUN));
	post_quitting_tick(&app);
	app.Run();

	std::vector<std::string> expected = {
		"ready launching",
		"argv 2 [orvane] [/tmp/a]",
		"argv 1 [orvane]",
		"argv 0",
		"argv 0",
		"refs",
		"about",
		"tick"
	};
	EXPECT_EQ(expected, app.fEvents);
}


namespace {

class PulsingApp : public BApplication {
public:
	PulsingApp() : BApplication(kSignature) {}

	void Pulse() override
	{
		if (++fPulses == 3)
			Quit();
	}

	int32 fPulses = 0;
};

}	// namespace


TEST_F(ApplicationTest, PulseComesAtThePulseRate)
{
	PulsingApp app;
	app.SetPulseRate(1000);
	app.Run();
	EXPECT_EQ(3, app.fPulses);
}


namespace {

class ReadyApp : public BApplication {
public:
	ReadyApp() : BApplication(kSignature) {}

	void ReadyToRun() override
	{
		fReady.Increment();
	}

	Counter fReady;
};

}	// namespace


TEST_F(ApplicationTest, QuitFromAnotherThreadEndsRun)
{
	ReadyApp app;
	std::thread quitter([&app] {
		ASSERT_TRUE(app.fReady.WaitFor(1));
		ASSERT_TRUE(be_app->Lock());
		be_app->Quit();
		be_app->Unlock();
	});
	thread_id thread = app.Run();
	quitter.join();
	EXPECT_EQ(BPrivate::current_thread_id(), thread);
	EXPECT_FALSE(be_app_messenger.IsValid());
}


namespace {

// Raises a signal once it is ready; counts the quit requests it gets.
class SignalledApp : public BApplication {
public:
	SignalledApp(int signal) : BApplication(kSignature), fSignal(signal) {}

	void ReadyToRun() override
	{
		raise(fSignal);
	}

	bool QuitRequested() override
	{
		fQuitRequests++;
		return BApplication::QuitRequested();
	}

	int fSignal;
	int32 fQuitRequests = 0;
};


void*
signal_handler_of(int signal)
{
	struct sigaction action;
	sigaction(signal, NULL, &action);
	return (void*)action.sa_handler;
}

}	// namespace


TEST_F(ApplicationTest, SignalsPostAQuitRequestAndTheOldHandlersReturn)
{
	const int kSignals[] = { SIGTERM, SIGINT, SIGHUP };
	void* old[3];
	for (int i = 0; i < 3; i++)
		old[i] = signal_handler_of(kSignals[i]);

	for (int signal : kSignals) {
		SignalledApp app(signal);
		EXPECT_NE(old[0], signal_handler_of(SIGTERM));
		app.Run();
		EXPECT_EQ(1, app.fQuitRequests) << "signal " << signal;
	}

	for (int i = 0; i < 3; i++)
		EXPECT_EQ(old[i], signal_handler_of(kSignals[i])) << kSignals[i];
}


namespace {

// A looper standing in for a window; it lists and unlists itself as the
// interface kit's windows do.
class FakeWindow : public BLooper {
public:
	FakeWindow(bool agrees, Counter* deleted)
		:
		BLooper("fake window"),
		fAgrees(agrees),
		fDeleted(deleted)
	{
		BPrivate::add_window(AsWindow(), this);
	}

	~FakeWindow() override
	{
		BPrivate::remove_window(AsWindow());
		fDeleted->Increment();
	}

	bool QuitRequested() override
	{
		fAsked++;
		return fAgrees;
	}

	BWindow* AsWindow() { return reinterpret_cast<BWindow*>(this); }

	// Guarded by the window's lock.
	bool fAgrees;
	int32 fAsked = 0;

private:
	Counter* fDeleted;
};

}	// namespace


TEST_F(ApplicationTest, QuitRequestedAsksEveryWindowUntilOneRefuses)
{
	BApplication app(kSignature);
	EXPECT_EQ(0, app.CountWindows());

	Counter deleted;
	FakeWindow* agreeing = new FakeWindow(true, &deleted);
	FakeWindow* refusing = new FakeWindow(false, &deleted);
	FakeWindow* notAsked = new FakeWindow(true, &deleted);
	agreeing->Run();
	refusing->Run();
	// The third never runs: quitting deletes it all the same.
	notAsked->Unlock();

	EXPECT_EQ(3, app.CountWindows());
	EXPECT_EQ(refusing->AsWindow(), app.WindowAt(1));
	EXPECT_EQ(nullptr, app.WindowAt(3));
	EXPECT_EQ(nullptr, app.WindowAt(-1));

	EXPECT_FALSE(app.QuitRequested());
	EXPECT_EQ(1, deleted.Count());
	EXPECT_EQ(2, app.CountWindows());
	EXPECT_EQ(refusing->AsWindow(), app.WindowAt(0));
	ASSERT_TRUE(refusing->Lock());
	EXPECT_EQ(1, refusing->fAsked);
	refusing->fAgrees = true;
	refusing->Unlock();
	ASSERT_TRUE(notAsked->Lock());
	EXPECT_EQ(0, notAsked->fAsked);
	notAsked->Unlock();

	EXPECT_TRUE(app.QuitRequested());
	EXPECT_EQ(3, deleted.Count());
	EXPECT_EQ(0, app.CountWindows());
}


namespace {

class AnsweringHandler : public BHandler {
public:
	void MessageReceived(BMessage* message) override
	{
		if (message->what == kAsk) {
			fReplyStatus = message->SendReply(kAnswer);
			return;
		}
		BHandler::MessageReceived(message);
	}

	status_t fReplyStatus = B_ERROR;
};


// Asks a handler in another looper without naming a reply handler; the
// answer has to come back to the application.
class AskingApp : public BApplication {
public:
	AskingApp(BHandler* asked) : BApplication(kSignature), fAsked(asked) {}

	void ReadyToRun() override
	{
		fSendStatus = BMessenger(fAsked).SendMessage(kAsk);
	}

	void MessageReceived(BMessage* message) override
	{
		if (message->what == kAnswer) {
			fAnswerWasReply = message->IsReply();
			Quit();
			return;
		}
		BApplication::MessageReceived(message);
	}

	BHandler* fAsked;
	status_t fSendStatus = B_ERROR;
	bool fAnswerWasReply = false;
};

}	// namespace


TEST_F(ApplicationTest, RepliesWithoutAReplyHandlerGoToTheApplication)
{
	AnsweringHandler handler;
	BLooper* looper = new BLooper("asked");
	looper->AddHandler(&handler);
	looper->Run();

	{
		AskingApp app(&handler);
		app.Run();
		EXPECT_EQ(B_OK, app.fSendStatus);
		EXPECT_TRUE(app.fAnswerWasReply);
	}

	ASSERT_TRUE(looper->Lock());
	EXPECT_EQ(B_OK, handler.fReplyStatus);
	looper->Quit();
}


TEST_F(ApplicationTest, BeforeRunTheConstructingThreadIsTheApplications)
{
	BApplication app(kSignature);
	EXPECT_EQ(BPrivate::current_thread_id(), app.Thread());
	EXPECT_FALSE(app.IsLocked());

	BMessage reply;
	EXPECT_EQ(B_MESSAGE_TO_SELF,
		be_app_messenger.SendMessage(kTick, &reply));
}


TEST_F(ApplicationTest, ApplicationsOneAfterAnother)
{
	BMessenger first;
	for (int32 round = 0; round < 2; round++) {
		BApplication app(kSignature);
		EXPECT_EQ(&app, be_app);
		EXPECT_TRUE(be_app_messenger.IsValid());
		EXPECT_STREQ(kSignature, app.Signature());
		EXPECT_NE(0, __flbf(stdout));
		if (round == 0)
			first = be_app_messenger;
		else
			EXPECT_TRUE(first != be_app_messenger);

		ASSERT_EQ(B_OK, app.PostMessage(B_QUIT_REQUESTED));
		app.Run();
	}
	EXPECT_EQ(nullptr, be_app);
	EXPECT_FALSE(be_app_messenger.IsValid());
	EXPECT_EQ(B_BAD_PORT_ID, first.SendMessage(kTick));
}


TEST_F(ApplicationTest, ABadSignatureIsReportedThroughTheError)
{
	const char* bad[] = { NULL, "", "application/", "text/plain",
		"application/has space", "application/a/b", "application" };
	for (const char* signature : bad) {
		status_t error = B_OK;
		BApplication app(signature, &error);
		EXPECT_EQ(B_BAD_VALUE, error)
			<< (signature != NULL ? signature : "(null)");
		EXPECT_EQ(B_BAD_VALUE, app.InitCheck());
		EXPECT_EQ(&app, be_app);
		EXPECT_EQ(B_BAD_VALUE, app.Run());
	}

	status_t error = B_ERROR;
	BApplication app("Application/x-vnd.Mixed-Case_1.0+beta", &error);
	EXPECT_EQ(B_OK, error);
	EXPECT_EQ(B_OK, app.InitCheck());
}


class ApplicationDeathTest : public ApplicationTest {
protected:
	void SetUp() override
	{
		ApplicationTest::SetUp();
		GTEST_FLAG_SET(death_test_style, "threadsafe");
	}
};


TEST_F(ApplicationDeathTest, ABadSignatureWithoutAnErrorStops)
{
	EXPECT_DEATH({ BApplication app("text/plain"); },
		"\"text/plain\" is not an application signature");
}


TEST_F(ApplicationDeathTest, ASecondApplicationStops)
{
	EXPECT_DEATH({
		BApplication first(kSignature);
		BApplication second(kSignature);
	}, "an application object exists already");
}


namespace {

class QuittingApp : public BApplication {
public:
	QuittingApp() : BApplication(kSignature) {}
	void ReadyToRun() override { Quit(); }
};

}	// namespace


TEST_F(ApplicationDeathTest, ALostDisplayAndTheApplicationEndTheProcessOnce)
{
	// Leaving first: the display lost afterwards is the application's to
	// end; a new application takes that back.
	EXPECT_EXIT({
		{
			QuittingApp app;
			app.Run();
			if (BPrivate::take_process_end_for_lost_display())
				_exit(3);
		}
		QuittingApp next;
		_exit(BPrivate::take_process_end_for_lost_display() ? 0 : 4);
	}, ::testing::ExitedWithCode(0), "");

	// The display lost first: a second thread to find it gone gives way,
	// the application never comes out of Run(), and the process ends by
	// the first thread's exit.
	EXPECT_EXIT({
		QuittingApp app;
		if (!BPrivate::take_process_end_for_lost_display()
			|| BPrivate::take_process_end_for_lost_display()) {
			_exit(3);
		}
		std::thread ending([] {
			snooze(100000);
			_exit(0);
		});
		app.Run();
		_exit(4);
	}, ::testing::ExitedWithCode(0), "");
}
