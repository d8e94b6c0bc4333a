/*
 * Alerts:
 * - the layout: buttons in a row at the bottom right, the first
 *   leftmost, the last the default button; B_WIDTH_FROM_WIDEST makes
 *   them equal; B_OFFSET_SPACING moves the first to the left;
 * - Go() from the application's thread returns the index of the button
 *   pressed; the driver reads the title, text and labels and presses by
 *   label; the alert is gone afterwards;
 * - Go() from a window's thread: that window keeps drawing while it
 *   waits, takes no clicks, and its keys go to the alert, where Escape
 *   presses the button given B_ESCAPE; Enter presses the last button;
 * - Go(invoker) returns at once and the invoker's message brings
 *   "which" later.
 */
#include "ControlsTestSupport.h"

#include <Alert.h>
#include <Button.h>

#include <atomic>

using namespace interface_test;

namespace {

const uint32 kAsk = 'ASKQ';
const uint32 kAnswer = 'ANSR';


class AskingApplication : public BApplication {
public:
	AskingApplication()
		: BApplication("application/x-vnd.Orvane-AlertTest") {}

	void MessageReceived(BMessage* message) override
	{
		if (message->what != kAsk) {
			BApplication::MessageReceived(message);
			return;
		}
		BAlert* alert = new BAlert("SaveAlert",
			"Save changes to the document \"Untitled - 2\"?", "Don't save",
			"Cancel", "Save", B_WIDTH_AS_USUAL, B_INFO_ALERT);
		alert->SetShortcut(1, B_ESCAPE);
		sAnswer.store(alert->Go());
	}

	static std::atomic<int32> sAnswer;
};

std::atomic<int32> AskingApplication::sAnswer{ -2 };


// A view whose colour the window changes right before it asks.
class ColourView : public BView {
public:
	ColourView(BRect frame)
		: BView(frame, "colour", B_FOLLOW_NONE, B_WILL_DRAW) {}

	void Draw(BRect) override
	{
		SetHighColor(fColour);
		FillRect(Bounds());
		fDraws++;
	}
	void MouseDown(BPoint) override { fClicks++; }

	rgb_color fColour = make_color(255, 255, 255);
	std::atomic<int32> fDraws{ 0 };
	std::atomic<int32> fClicks{ 0 };
};


class AskingWindow : public BWindow {
public:
	AskingWindow()
		: BWindow(BRect(100, 100, 399, 299), "Document", B_TITLED_WINDOW, 0)
	{
		fView = new ColourView(BRect(0, 0, 99, 99));
		AddChild(fView);
	}

	void MessageReceived(BMessage* message) override
	{
		if (message->what != kAsk) {
			BWindow::MessageReceived(message);
			return;
		}
		fView->fColour = make_color(0, 128, 0);
		fView->Invalidate();
		BAlert* alert = new BAlert("SaveError", "Unable to save file !",
			"OK", "Cancel", NULL, B_WIDTH_AS_USUAL, B_WARNING_ALERT);
		alert->SetShortcut(1, B_ESCAPE);
		fAnswer.store(alert->Go());
	}

	ColourView* fView;
	std::atomic<int32> fAnswer{ -2 };
};

}	// namespace


TEST(AlertTest, LaysOutButtonsRightToLeft)
{
	TestDriver driver;
	ASSERT_EQ(driver.Launch<TestApplication>(), B_OK);

	BAlert* alert = new BAlert("Layout", "A text long enough to be wrapped "
		"over more than one line of the alert, so that it grows.", "One",
		"Two", "A much longer third", B_WIDTH_AS_USUAL, B_STOP_ALERT);
	EXPECT_EQ(alert->CountButtons(), 3);
	EXPECT_EQ(alert->Type(), B_STOP_ALERT);
	EXPECT_EQ(alert->Feel(), B_MODAL_APP_WINDOW_FEEL);
	BRect bounds = alert->Bounds();
	BRect frames[3];
	for (int32 i = 0; i < 3; i++)
		frames[i] = alert->ButtonAt(i)->Frame();
	EXPECT_EQ(alert->ButtonAt(3), (BButton*)NULL);
	EXPECT_EQ(alert->DefaultButton(), alert->ButtonAt(2));
	EXPECT_EQ(frames[2].right, bounds.right - 10);
	EXPECT_LT(frames[1].right, frames[2].left);
	EXPECT_LT(frames[0].right, frames[1].left);
	EXPECT_EQ(frames[0].top, frames[2].top);
	EXPECT_EQ(frames[0].Width(), 74.0f);
	EXPECT_GT(frames[2].Width(), 74.0f);
	EXPECT_EQ(frames[2].bottom, bounds.bottom - 10);
	delete alert;

	alert = new BAlert("Widest", "Text", "OK", "A much longer label", NULL,
		B_WIDTH_FROM_WIDEST, B_OFFSET_SPACING, B_EMPTY_ALERT);
	EXPECT_EQ(alert->ButtonAt(0)->Frame().Width(),
		alert->ButtonAt(1)->Frame().Width());
	EXPECT_EQ(alert->ButtonAt(0)->Frame().left, 10.0f);
	EXPECT_EQ(alert->DefaultButton(), alert->ButtonAt(1));
	delete alert;

	alert = new BAlert("Label", "Text", "OK", NULL, NULL,
		B_WIDTH_FROM_LABEL, B_INFO_ALERT);
	EXPECT_LT(alert->ButtonAt(0)->Frame().Width(), 74.0f);
	EXPECT_EQ(alert->CountButtons(), 1);
	alert->SetShortcut(5, 'x');
	EXPECT_EQ(alert->Shortcut(5), 0);
	delete alert;
}


TEST(AlertTest, GoFromTheApplicationThread)
{
	TestDriver driver;
	ASSERT_EQ(driver.Launch<AskingApplication>(), B_OK);
	AskingApplication::sAnswer.store(-2);

	be_app_messenger.SendMessage(kAsk);
	BAlert* alert = driver.WaitForAlert();
	ASSERT_NE(alert, (BAlert*)NULL);
	ASSERT_EQ(driver.WaitForIdle(), B_OK);
	EXPECT_EQ(driver.AlertTitle(alert), "SaveAlert");
	EXPECT_EQ(driver.AlertText(alert),
		"Save changes to the document \"Untitled - 2\"?");
	EXPECT_EQ(driver.AlertButtonLabels(alert), (std::vector<std::string>{
		"Don't save", "Cancel", "Save" }));
	EXPECT_EQ(AskingApplication::sAnswer.load(), -2);

	ASSERT_EQ(driver.PressAlertButton(alert, "Save"), B_OK);
	EXPECT_EQ(AskingApplication::sAnswer.load(), 2);
	EXPECT_EQ(driver.FindAlert(), (BAlert*)NULL);

	// Escape through the shortcut.
	be_app_messenger.SendMessage(kAsk);
	alert = driver.WaitForAlert();
	ASSERT_NE(alert, (BAlert*)NULL);
	ASSERT_EQ(driver.PressKey(alert, B_ESCAPE), B_OK);
	EXPECT_EQ(AskingApplication::sAnswer.load(), 1);

	// Enter: the last button.
	be_app_messenger.SendMessage(kAsk);
	alert = driver.WaitForAlert();
	ASSERT_NE(alert, (BAlert*)NULL);
	ASSERT_EQ(driver.PressKey(alert, B_ENTER), B_OK);
	EXPECT_EQ(AskingApplication::sAnswer.load(), 2);
	EXPECT_EQ(driver.FindAlert(), (BAlert*)NULL);
}


TEST(AlertTest, GoFromAWindowThreadKeepsItDrawing)
{
	TestDriver driver;
	ASSERT_EQ(driver.Launch<TestApplication>(), B_OK);
	AskingWindow* window = new AskingWindow;
	window->Show();
	ASSERT_EQ(driver.WaitForIdle(), B_OK);

	window->PostMessage(kAsk);
	BAlert* alert = driver.WaitForAlert();
	ASSERT_NE(alert, (BAlert*)NULL);
	EXPECT_EQ(driver.AlertTitle(alert), "SaveError");
	EXPECT_EQ(driver.AlertText(alert), "Unable to save file !");

	// The window is waiting, and still draws what changed before.
	ASSERT_EQ(driver.WaitFor([&] {
		rgb_color pixel;
		return driver.GetPixel(window, BPoint(50, 50), &pixel) == B_OK
			&& pixel == make_color(0, 128, 0);
	}, "the waiting window to draw"), B_OK);
	EXPECT_EQ(window->fAnswer.load(), -2);

	// No clicks reach it; its keys go to the alert.
	int32 clicks = window->fView->fClicks.load();
	ASSERT_EQ(driver.Click(window, BPoint(50, 50)), B_OK);
	EXPECT_EQ(window->fView->fClicks.load(), clicks);
	EXPECT_EQ(driver.FindAlert(), alert);
	ASSERT_EQ(driver.PressKey(window, B_ESCAPE), B_OK);
	EXPECT_EQ(window->fAnswer.load(), 1);
	EXPECT_EQ(driver.FindAlert(), (BAlert*)NULL);

	// Free again.
	ASSERT_EQ(driver.Click(window, BPoint(50, 50)), B_OK);
	EXPECT_EQ(window->fView->fClicks.load(), clicks + 1);
}


TEST(AlertTest, GoWithAnInvokerReturnsAtOnce)
{
	MessageLog log;
	TestDriver driver;
	ASSERT_EQ(driver.Launch<TestApplication>(), B_OK);
	BWindow* window = new LoggingWindow(BRect(100, 100, 299, 199), "Owner",
		log);
	window->Show();
	ASSERT_EQ(driver.WaitForIdle(), B_OK);

	BAlert* alert = new BAlert("About", "Orvane", "Thanks", "More");
	ASSERT_EQ(alert->Go(new BInvoker(new BMessage(kAnswer), window)), B_OK);
	ASSERT_EQ(driver.WaitForAlert(), alert);
	EXPECT_EQ(log.Count(kAnswer), 0);
	ASSERT_EQ(driver.PressAlertButton(alert, 0), B_OK);
	std::vector<ReceivedMessage> received = log.Messages();
	ASSERT_EQ(received.size(), 1u);
	EXPECT_EQ(received[0].what, kAnswer);
	EXPECT_EQ(received[0].which, 0);
	EXPECT_EQ(driver.FindAlert(), (BAlert*)NULL);

	// Without an invoker: nothing is sent, the alert still goes.
	alert = new BAlert("About", "Orvane", "OK");
	ASSERT_EQ(alert->Go(NULL), B_OK);
	ASSERT_EQ(driver.WaitForAlert(), alert);
	ASSERT_EQ(driver.PressAlertButton(alert, "OK"), B_OK);
	EXPECT_EQ(driver.FindAlert(), (BAlert*)NULL);
	EXPECT_EQ(log.Messages().size(), 1u);
}
