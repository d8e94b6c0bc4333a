/*
 * Dialogs and the windows they serve, as the desktop is told:
 * - a modal window serves the window that was active when it showed;
 *   a click on another window leaves the keyboard with the dialog; when
 *   the dialog goes, the keyboard returns to the served window, also
 *   when a third window was shown in between; an ordinary window serves
 *   none;
 * - a question asked with Go() on a window's thread is about that
 *   window: the window comes to the front first, the alert serves it,
 *   and it has the keyboard again after the answer;
 * - the application asking a window that is not in front whether it may
 *   close (holding its lock) brings that window forward the same way;
 * - an alert's frame shows the application's name while Title() keeps
 *   the alert's own name;
 * - the application's name from signatures and executables.
 */
#include "InterfaceTestSupport.h"

#include "ApplicationPrivate.h"

#include <Alert.h>

#include <atomic>

using namespace interface_test;

namespace {

const uint32 kAsk = 'ASKQ';
const uint32 kAskWindow = 'ASKW';


// Asks whether it may close, as a document with changes does.
class QuestionWindow : public BWindow {
public:
	QuestionWindow(const char* title, BRect frame)
		: BWindow(frame, title, B_TITLED_WINDOW, 0) {}

	// What QuitRequested() of a changed document does.
	bool Ask()
	{
		BAlert* alert = new BAlert("SaveAlert", "Save changes?",
			"Don't save", "Cancel");
		fAnswer.store(alert->Go());
		return fAnswer.load() == 0;
	}

	void MessageReceived(BMessage* message) override
	{
		if (message->what == kAsk) {
			Ask();
			return;
		}
		BWindow::MessageReceived(message);
	}

	std::atomic<int32> fAnswer{ -2 };
};


// Asks a window from the application's thread, as BApplication::QuitRequested()
// does for each window before quitting.
class QuestionApplication : public BApplication {
public:
	QuestionApplication()
		: BApplication("application/x-vnd.Orvane-DialogTest") {}

	void MessageReceived(BMessage* message) override
	{
		if (message->what != kAskWindow) {
			BApplication::MessageReceived(message);
			return;
		}
		QuestionWindow* window = NULL;
		if (message->FindPointer("window", (void**)&window) == B_OK
			&& window->Lock()) {
			window->Ask();
			window->Unlock();
		}
	}
};


BWindow*
show_document(const char* title, float left)
{
	BWindow* window = new QuestionWindow(title,
		BRect(left, 100, left + 299, 299));
	window->Show();
	return window;
}


void
quit_window(BWindow* window)
{
	if (window->Lock())
		window->Quit();
}

}	// namespace


TEST(DialogTest, ModalWindowServesTheActiveWindowAndGivesTheKeyboardBack)
{
	TestDriver driver;
	ASSERT_EQ(driver.Launch<QuestionApplication>(), B_OK);
	BWindow* first = show_document("First", 50);
	BWindow* second = show_document("Second", 400);
	ASSERT_EQ(driver.ActivateWindow(first), B_OK);
	EXPECT_EQ(driver.ServedWindow(first), (BWindow*)NULL);

	BWindow* dialog = new BWindow(BRect(0, 0, 199, 99), "Search",
		B_MODAL_WINDOW, B_NOT_RESIZABLE);
	dialog->Show();
	ASSERT_EQ(driver.WaitForIdle(), B_OK);
	EXPECT_EQ(driver.ServedWindow(dialog), first);
	EXPECT_EQ(driver.ActiveWindow(), dialog);

	// A click on the other document leaves the dialog in front.
	ASSERT_EQ(driver.Click(second, BPoint(20, 20)), B_OK);
	EXPECT_EQ(driver.ActiveWindow(), dialog);

	// A window shown meanwhile takes the keyboard; the dialog going then
	// leaves it there.
	SCOPED_TRACE("a dialog closed while it has the keyboard");
	quit_window(dialog);
	ASSERT_EQ(driver.WaitForIdle(), B_OK);
	EXPECT_EQ(driver.ActiveWindow(), first);

	BWindow* again = new BWindow(BRect(0, 0, 199, 99), "Search",
		B_MODAL_WINDOW, B_NOT_RESIZABLE);
	ASSERT_EQ(driver.ActivateWindow(second), B_OK);
	again->Show();
	ASSERT_EQ(driver.WaitForIdle(), B_OK);
	EXPECT_EQ(driver.ServedWindow(again), second);
	again->Lock();
	again->Hide();
	again->Unlock();
	ASSERT_EQ(driver.WaitForIdle(), B_OK);
	EXPECT_EQ(driver.ActiveWindow(), second);
	quit_window(again);
}


TEST(DialogTest, QuestionFromAWindowBringsItForward)
{
	TestDriver driver;
	ASSERT_EQ(driver.Launch<QuestionApplication>(), B_OK);
	QuestionWindow* asking = (QuestionWindow*)show_document("Asking", 50);
	BWindow* other = show_document("Other", 400);
	ASSERT_EQ(driver.ActivateWindow(other), B_OK);

	asking->PostMessage(kAsk);
	BAlert* alert = driver.WaitForAlert();
	ASSERT_NE(alert, (BAlert*)NULL);
	EXPECT_EQ(driver.ServedWindow(alert), (BWindow*)asking);
	EXPECT_EQ(driver.ActiveWindow(), (BWindow*)alert);
	EXPECT_EQ(driver.AlertTitle(alert), "SaveAlert");
	EXPECT_EQ(driver.ScreenTitle(alert), "DialogTest");
	EXPECT_EQ(driver.ScreenTitle(asking), "Asking");

	ASSERT_EQ(driver.PressAlertButton(alert, "Cancel"), B_OK);
	EXPECT_EQ(asking->fAnswer.load(), 1);
	EXPECT_EQ(driver.ActiveWindow(), (BWindow*)asking);
}


TEST(DialogTest, ApplicationAskingAWindowBringsItForward)
{
	TestDriver driver;
	ASSERT_EQ(driver.Launch<QuestionApplication>(), B_OK);
	QuestionWindow* asked = (QuestionWindow*)show_document("Asked", 50);
	BWindow* other = show_document("Other", 400);
	ASSERT_EQ(driver.ActivateWindow(other), B_OK);

	BMessage ask(kAskWindow);
	ask.AddPointer("window", asked);
	be_app->PostMessage(&ask);
	BAlert* alert = driver.WaitForAlert();
	ASSERT_NE(alert, (BAlert*)NULL);
	EXPECT_EQ(driver.ServedWindow(alert), (BWindow*)asked);
	ASSERT_EQ(driver.PressAlertButton(alert, "Cancel"), B_OK);
	EXPECT_EQ(driver.ActiveWindow(), (BWindow*)asked);
}


TEST(DialogTest, ApplicationNameForPeople)
{
	using BPrivate::application_name_for;
	EXPECT_EQ(application_name_for("application/x-vnd.ZEL-Orvane",
		"/usr/bin/orvane"), "Orvane");
	EXPECT_EQ(application_name_for("application/x-vnd.Be-Multi-Word",
		"x"), "Multi-Word");
	// Without the vendor's dash, or with nothing after it, the file's
	// name is the better guess.
	EXPECT_EQ(application_name_for("application/x-vnd.Orvane",
		"/opt/bin/orvane"), "orvane");
	EXPECT_EQ(application_name_for("application/x-vnd.ZEL-",
		"orvane"), "orvane");
	EXPECT_EQ(application_name_for(NULL, "/bin/"), "/bin/");
	EXPECT_EQ(application_name_for("application/x-vnd.Plain", NULL),
		"application/x-vnd.Plain");
}
