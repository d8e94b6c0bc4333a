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
 * - the application's name from signatures and executables;
 * - a modal subset window holds back only the windows of its subset
 *   (keys for them go to it, a click on them brings it forward) and
 *   serves the first of them; the others keep taking keys; a later
 *   modal subset window over the same window holds the earlier one's
 *   input too; leaving the subset, or the feel changing while shown,
 *   takes effect at once; only a subset feel has a subset, and only a
 *   normal window joins one.
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


namespace {

// A window whose one view records the keys it gets.
BWindow*
show_recording(TestDriver& driver, const char* title, BRect frame,
	window_feel feel, Journal& journal)
{
	BWindow* window = new BWindow(frame, title,
		feel == B_NORMAL_WINDOW_FEEL ? B_TITLED_WINDOW_LOOK
			: B_MODAL_WINDOW_LOOK, feel, B_NOT_RESIZABLE);
	RecordingView* view = new RecordingView(window->Bounds(), title,
		B_FOLLOW_ALL_SIDES, 0, journal);
	show_with_focus(driver, window, view);
	return window;
}

}	// namespace


TEST(DialogTest, ModalSubsetWindowHoldsOnlyItsSubset)
{
	TestDriver driver;
	ASSERT_EQ(driver.Launch<TestApplication>(), B_OK);
	Journal journal;
	BWindow* first = show_recording(driver, "first",
		BRect(50, 100, 349, 299), B_NORMAL_WINDOW_FEEL, journal);
	BWindow* second = show_recording(driver, "second",
		BRect(400, 100, 699, 299), B_NORMAL_WINDOW_FEEL, journal);

	{
		SCOPED_TRACE("who may join a subset");
		BWindow* options = new BWindow(BRect(0, 0, 199, 99), "options",
			B_MODAL_WINDOW_LOOK, B_MODAL_SUBSET_WINDOW_FEEL, 0);
		BWindow* alertLike = new BWindow(BRect(0, 0, 99, 99), "alert",
			B_MODAL_WINDOW, 0);
		EXPECT_EQ(options->AddToSubset(NULL), B_BAD_VALUE);
		EXPECT_EQ(options->AddToSubset(options), B_BAD_VALUE);
		EXPECT_EQ(options->AddToSubset(alertLike), B_BAD_VALUE);
		EXPECT_EQ(first->AddToSubset(second), B_BAD_VALUE);
		EXPECT_EQ(alertLike->AddToSubset(first), B_BAD_VALUE);
		EXPECT_EQ(options->AddToSubset(first), B_OK);
		EXPECT_EQ(options->RemoveFromSubset(first), B_OK);
		delete options;
		delete alertLike;
	}

	// The dialog of the first window, shown while the second is active.
	BWindow* dialog = new BWindow(BRect(0, 0, 199, 99), "dialog",
		B_MODAL_WINDOW_LOOK, B_MODAL_SUBSET_WINDOW_FEEL, B_NOT_RESIZABLE);
	ASSERT_EQ(dialog->AddToSubset(first), B_OK);
	show_with_focus(driver, dialog, new RecordingView(dialog->Bounds(),
		"dialog", B_FOLLOW_ALL_SIDES, 0, journal));
	ASSERT_EQ(driver.ActivateWindow(second), B_OK);
	EXPECT_EQ(driver.ActiveWindow(), second);
	EXPECT_EQ(driver.ServedWindow(dialog), first);

	ASSERT_EQ(driver.TypeText(second, "b"), B_OK);
	ASSERT_EQ(driver.TypeText(first, "a"), B_OK);
	EXPECT_EQ(journal.Count("second:KeyDown b"), 1);
	EXPECT_EQ(journal.Count("dialog:KeyDown a"), 1);
	EXPECT_EQ(journal.Count("first:KeyDown a"), 0);
	ASSERT_EQ(driver.Click(first, BPoint(20, 20)), B_OK);
	EXPECT_EQ(driver.ActiveWindow(), dialog);
	EXPECT_EQ(journal.Count("first:MouseDown"), 0);
	ASSERT_EQ(driver.Click(second, BPoint(20, 20)), B_OK);
	EXPECT_EQ(driver.ActiveWindow(), second);
	EXPECT_EQ(journal.Count("second:MouseDown"), 1);

	{
		SCOPED_TRACE("a question about the first window from its dialog");
		BWindow* question = new BWindow(BRect(0, 0, 149, 79), "question",
			B_MODAL_WINDOW_LOOK, B_MODAL_SUBSET_WINDOW_FEEL,
			B_NOT_RESIZABLE);
		ASSERT_EQ(question->AddToSubset(first), B_OK);
		show_with_focus(driver, question, new RecordingView(
			question->Bounds(), "question", B_FOLLOW_ALL_SIDES, 0,
			journal));
		ASSERT_EQ(driver.TypeText(dialog, "c"), B_OK);
		ASSERT_EQ(driver.TypeText(second, "d"), B_OK);
		EXPECT_EQ(journal.Count("question:KeyDown c"), 1);
		EXPECT_EQ(journal.Count("dialog:KeyDown c"), 0);
		EXPECT_EQ(journal.Count("second:KeyDown d"), 1);

		// Out of the subset, it holds nothing back.
		{
			WindowLocker locker(question);
			EXPECT_EQ(question->RemoveFromSubset(first), B_OK);
		}
		ASSERT_EQ(driver.TypeText(dialog, "e"), B_OK);
		EXPECT_EQ(journal.Count("dialog:KeyDown e"), 1);
		quit_window(question);
		ASSERT_EQ(driver.WaitForIdle(), B_OK);
	}

	{
		SCOPED_TRACE("the feel changing while the dialog shows");
		{
			WindowLocker locker(dialog);
			dialog->SetFeel(B_MODAL_APP_WINDOW_FEEL);
		}
		ASSERT_EQ(driver.TypeText(second, "f"), B_OK);
		EXPECT_EQ(journal.Count("dialog:KeyDown f"), 1);
		EXPECT_EQ(journal.Count("second:KeyDown f"), 0);
		{
			WindowLocker locker(dialog);
			dialog->SetFeel(B_NORMAL_WINDOW_FEEL);
			EXPECT_EQ(dialog->Feel(), B_NORMAL_WINDOW_FEEL);
		}
		ASSERT_EQ(driver.TypeText(first, "g"), B_OK);
		EXPECT_EQ(journal.Count("first:KeyDown g"), 1);
	}
	quit_window(dialog);
	quit_window(second);
	quit_window(first);
}
