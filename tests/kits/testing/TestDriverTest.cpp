/*
 * The test driver, operating a small notes application as a person
 * would:
 * - launching with arguments reaches ArgvReceived(), and what the
 *   application prints is read back line by line;
 * - windows are found by title and views by name and by class; a title
 *   that never comes fails the test with a clear message;
 * - a click reaches the view under it (once, twice for a double click)
 *   and typing reaches the focus view with the platform's key fields;
 *   special keys and function keys have their characters and codes;
 * - pixels and screenshots show what the view drew;
 * - waiting for idle while the test holds a window's lock fails clearly
 *   instead of hanging;
 * - quitting ends the application, its windows and its thread.
 */
#include <Application.h>
#include <Message.h>
#include <View.h>
#include <Window.h>

#include <TestDriver.h>

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <mutex>
#include <stdio.h>
#include <string>

namespace {

// The last key message the typing view got, for the test to read.
struct key_record {
	std::string			bytes;
	int32				key = 0;
	int32				rawChar = 0;
	int32				modifiers = 0;
};


class TypingView : public BView {
public:
	TypingView(BRect frame)
		: BView(frame, "typing", B_FOLLOW_ALL_SIDES,
			B_WILL_DRAW | B_NAVIGABLE) {}

	void MouseDown(BPoint where) override
	{
		MakeFocus();
		fLastClick = where;
		fClicks = Window()->CurrentMessage()->GetInt32("clicks", 0);
	}

	void KeyDown(const char* bytes, int32 numBytes) override
	{
		BMessage* message = Window()->CurrentMessage();
		fLastKey.bytes = std::string(bytes, numBytes);
		fLastKey.key = message->GetInt32("key", 0);
		fLastKey.rawChar = message->GetInt32("raw_char", 0);
		fLastKey.modifiers = message->GetInt32("modifiers", 0);
		if (numBytes == 1 && bytes[0] == B_BACKSPACE) {
			if (!fText.empty())
				fText.pop_back();
		} else if ((uint8)bytes[0] >= B_SPACE)
			fText.append(bytes, numBytes);
		printf("typed: %s\n", fText.c_str());
		Invalidate();
	}

	void Draw(BRect) override
	{
		SetHighColor(0, 0, 0);
		DrawString(fText.c_str(), BPoint(5, 20));
	}

	std::string fText;
	key_record fLastKey;
	BPoint fLastClick;
	int32 fClicks = 0;
};


// A class of view that the notes window does not have.
class AbsentView : public BView {
public:
	AbsentView() : BView(BRect(), "absent", B_FOLLOW_NONE, 0) {}
};


class NotesApplication : public BApplication {
public:
	NotesApplication()
		: BApplication("application/x-vnd.Orvane-DriverTest") {}

	void ArgvReceived(int32 argc, char** argv) override
	{
		std::string line = "argv:";
		for (int32 i = 0; i < argc; i++)
			line += std::string(" [") + argv[i] + "]";
		printf("%s\n", line.c_str());
	}

	void ReadyToRun() override
	{
		BWindow* window = new BWindow(BRect(50, 50, 349, 249), "Notes",
			B_DOCUMENT_WINDOW, B_QUIT_ON_WINDOW_CLOSE);
		window->AddChild(new TypingView(window->Bounds()));
		window->Show();
	}

	bool QuitRequested() override
	{
		printf("quitting\n");
		return BApplication::QuitRequested();
	}
};


class TestDriverTest : public ::testing::Test {
protected:
	void SetUp() override
	{
		ASSERT_EQ(fDriver.Launch<NotesApplication>({ "one", "two words" }),
			B_OK);
		fWindow = fDriver.WaitForWindow("Notes");
		ASSERT_NE(fWindow, (BWindow*)NULL);
		fView = fDriver.FindView<TypingView>(fWindow);
		ASSERT_NE(fView, (TypingView*)NULL);
	}

	key_record LastKey()
	{
		key_record record;
		if (fWindow->Lock()) {
			record = fView->fLastKey;
			fWindow->Unlock();
		}
		return record;
	}

	std::string Text()
	{
		std::string text;
		if (fWindow->Lock()) {
			text = fView->fText;
			fWindow->Unlock();
		}
		return text;
	}

	TestDriver fDriver;
	BWindow* fWindow = NULL;
	TypingView* fView = NULL;
};

}	// namespace


TEST_F(TestDriverTest, LaunchFindAndOutput)
{
	EXPECT_TRUE(fDriver.WaitForOutput("argv:"));
	bool found = false;
	for (const std::string& line : fDriver.OutputLines()) {
		if (line == "argv: [test-application] [one] [two words]")
			found = true;
	}
	EXPECT_TRUE(found);

	EXPECT_EQ(fDriver.FindView(fWindow, "typing"), fView);
	EXPECT_EQ(fDriver.FindView(fWindow, "nothing"), (BView*)NULL);
	EXPECT_EQ(fDriver.FindView<BView>(fWindow), (BView*)fView);
	EXPECT_EQ(fDriver.FindView<AbsentView>(fWindow), (AbsentView*)NULL);
	EXPECT_EQ(fDriver.CountWindows(), 1);

	BWindow* missing = NULL;
	EXPECT_NONFATAL_FAILURE(missing = fDriver.WaitForWindow("Missing",
		100000), "a window titled \"Missing\"");
	EXPECT_EQ(missing, (BWindow*)NULL);
}


TEST_F(TestDriverTest, ClicksAndTyping)
{
	ASSERT_EQ(fDriver.Click(fView, BPoint(30, 40)), B_OK);
	{
		ASSERT_TRUE(fWindow->Lock());
		EXPECT_TRUE(fView->IsFocus());
		EXPECT_EQ(fView->fLastClick, BPoint(30, 40));
		EXPECT_EQ(fView->fClicks, 1);
		fWindow->Unlock();
	}
	ASSERT_EQ(fDriver.Click(fView, 2), B_OK);
	{
		ASSERT_TRUE(fWindow->Lock());
		EXPECT_EQ(fView->fClicks, 2);
		EXPECT_EQ(fView->fLastClick, BPoint(149, 99));
		fWindow->Unlock();
	}

	ASSERT_EQ(fDriver.TypeText(fWindow, "Hi!"), B_OK);
	EXPECT_EQ(Text(), "Hi!");
	key_record key = LastKey();
	EXPECT_EQ(key.bytes, "!");
	EXPECT_EQ(key.rawChar, '1');
	EXPECT_EQ(key.modifiers, B_SHIFT_KEY);
	EXPECT_EQ(key.key, 0x12);
	EXPECT_TRUE(fDriver.WaitForOutput("typed: Hi!"));

	ASSERT_EQ(fDriver.TypeText(fWindow, " \xc3\xa9t\xc3\xa9"), B_OK);
	EXPECT_EQ(Text(), "Hi! \xc3\xa9t\xc3\xa9");
	EXPECT_EQ(LastKey().bytes, "\xc3\xa9");

	ASSERT_EQ(fDriver.PressKey(fWindow, B_BACKSPACE), B_OK);
	ASSERT_EQ(fDriver.PressKey(fWindow, B_BACKSPACE), B_OK);
	EXPECT_EQ(Text(), "Hi! \xc3\xa9t");

	ASSERT_EQ(fDriver.PressKey(fWindow, B_LEFT_ARROW, B_SHIFT_KEY), B_OK);
	key = LastKey();
	EXPECT_EQ(key.bytes, std::string(1, B_LEFT_ARROW));
	EXPECT_EQ(key.key, 0x61);
	EXPECT_EQ(key.modifiers, B_SHIFT_KEY);

	ASSERT_EQ(fDriver.PressFunctionKey(fWindow, 5), B_OK);
	key = LastKey();
	EXPECT_EQ(key.bytes, std::string(1, B_FUNCTION_KEY));
	EXPECT_EQ(key.key, B_F5_KEY);
	EXPECT_EQ(fDriver.PressFunctionKey(fWindow, 13), B_BAD_VALUE);

	ASSERT_EQ(fDriver.PressKey(fWindow, 'a', B_SHIFT_KEY), B_OK);
	key = LastKey();
	EXPECT_EQ(key.bytes, "A");
	EXPECT_EQ(key.rawChar, 'a');
}


TEST_F(TestDriverTest, PixelsShowWhatWasDrawn)
{
	ASSERT_EQ(fDriver.Click(fView), B_OK);
	std::vector<rgb_color> before;
	ASSERT_EQ(fDriver.GetPixels(fWindow, BRect(0, 0, 99, 29), &before),
		B_OK);
	for (const rgb_color& color : before)
		ASSERT_EQ(color, make_color(255, 255, 255));

	ASSERT_EQ(fDriver.TypeText(fWindow, "WWW"), B_OK);
	std::vector<rgb_color> after;
	ASSERT_EQ(fDriver.GetPixels(fWindow, BRect(0, 0, 99, 29), &after), B_OK);
	int dark = 0;
	for (const rgb_color& color : after)
		dark += color.red < 100 ? 1 : 0;
	EXPECT_GT(dark, 30);

	rgb_color color;
	EXPECT_EQ(fDriver.GetPixel(fWindow, BPoint(300, 0), &color), B_BAD_VALUE);
}


TEST_F(TestDriverTest, IdleWaitFailsWhileTheTestHoldsALock)
{
	ASSERT_TRUE(fWindow->Lock());
	fWindow->PostMessage('noop');
	status_t status = B_OK;
	EXPECT_NONFATAL_FAILURE(status = fDriver.WaitForIdle(100000),
		"did not become idle");
	EXPECT_EQ(status, B_TIMED_OUT);
	fWindow->Unlock();
	EXPECT_EQ(fDriver.WaitForIdle(), B_OK);
}


TEST_F(TestDriverTest, QuitEndsEverything)
{
	EXPECT_TRUE(fDriver.IsRunning());
	EXPECT_EQ(fDriver.Quit(), B_OK);
	EXPECT_FALSE(fDriver.IsRunning());
	EXPECT_EQ(fDriver.Application(), (BApplication*)NULL);
	EXPECT_EQ(fDriver.CountWindows(), 0);
	EXPECT_TRUE(fDriver.WaitForOutput("quitting"));
	// Quitting again does nothing.
	EXPECT_EQ(fDriver.Quit(), B_OK);
}


TEST_F(TestDriverTest, TheCloseBoxOfTheLastWindowQuits)
{
	ASSERT_EQ(fDriver.CloseWindow(fWindow), B_OK);
	EXPECT_EQ(fDriver.WaitFor([this] { return !fDriver.IsRunning(); },
		"the application to quit"), B_OK);
	EXPECT_EQ(fDriver.CountWindows(), 0);
}
