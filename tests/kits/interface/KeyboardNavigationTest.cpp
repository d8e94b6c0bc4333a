/*
 * Keyboard reach of the controls, through the test driver.
 *
 * Cases:
 * - Tab visits every enabled, shown control of a window once per cycle
 *   in the order of the view tree, Shift+Tab the exact reverse; hidden
 *   ones, disabled buttons, disabled text controls and disabled menu
 *   fields are passed over, and come back when shown or enabled again;
 *   a field disabled while it has the focus gives it up;
 * - on each kind of control, Space and Enter do what a click does: a
 *   button sends its message (Enter on a focused button presses it, not
 *   the default), a menu field opens its menu on Space, Down, or Enter
 *   where no default button takes Enter; in the menu Down moves, Enter
 *   picks and Escape closes, and either way the focus stays on the
 *   field; Enter elsewhere presses the default button;
 * - a text control's entry takes the focus with its text selected and
 *   passes Tab on, where an editable text view of its own keeps Tab as a
 *   tab character; Command+Tab (and Shift with it) moves the focus out
 *   of that text view;
 * - the focus mark: pixels of the navigation colour appear only inside
 *   the focused control, follow the focus, leave with it, go when the
 *   window is not active, and never change a pixel of a label's ink;
 * - an alert: Tab and Shift+Tab go round its buttons, Space presses the
 *   focused one, Enter the focused one or else the default, Escape the
 *   button it is the shortcut of, wherever the focus is.
 */
#include <gtest/gtest.h>

#include <Alert.h>
#include <Button.h>
#include <Menu.h>
#include <MenuField.h>
#include <MenuItem.h>
#include <PopUpMenu.h>
#include <TextControl.h>
#include <TextView.h>

#include <TestDriver.h>

#include "ControlsTestSupport.h"

#include <functional>
#include <string>
#include <vector>

using namespace interface_test;

namespace {

const uint32 kSave = 'SAVE';
const uint32 kQuit = 'QUIT';
const uint32 kGoOn = 'GOON';
const uint32 kChosen = 'CHSN';

// A dialog of every kind of control: a text control, two menu fields,
// a plain text view that takes Tab, three buttons.
struct Dialog {
	Dialog(TestDriver& driver, MessageLog& log)
	{
		window = new LoggingWindow(BRect(100, 100, 379, 294), "Keys", log);
		BView* panel = new BView(window->Bounds(), "panel", B_FOLLOW_ALL,
			B_WILL_DRAW);
		panel->SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
		window->AddChild(panel);

		name = new BTextControl(BRect(10, 10, 250, 30), "name", "Name:",
			"typed", NULL);
		panel->AddChild(name);

		BPopUpMenu* menu = new BPopUpMenu("paper");
		const char* papers[] = { "A4", "Letter", "Legal" };
		for (const char* paper : papers)
			menu->AddItem(new BMenuItem(paper, new BMessage(kChosen)));
		menu->ItemAt(0)->SetMarked(true);
		paper = new BMenuField(BRect(10, 40, 250, 62), "paper", "Paper:",
			menu);
		paper->SetDivider(60);
		panel->AddChild(paper);

		BPopUpMenu* other = new BPopUpMenu("tray");
		other->AddItem(new BMenuItem("Upper", new BMessage(kChosen)));
		other->ItemAt(0)->SetMarked(true);
		tray = new BMenuField(BRect(10, 70, 250, 92), "tray", "Tray:",
			other);
		tray->SetDivider(60);
		panel->AddChild(tray);

		notes = new BTextView(BRect(10, 100, 250, 130), "notes",
			BRect(0, 0, 240, 30), B_FOLLOW_NONE, B_WILL_DRAW | B_NAVIGABLE);
		panel->AddChild(notes);

		quit = new BButton(BRect(10, 160, 90, 184), "quit", "Quit",
			new BMessage(kQuit));
		goOn = new BButton(BRect(100, 160, 180, 184), "go on", "Go on",
			new BMessage(kGoOn));
		save = new BButton(BRect(190, 160, 270, 184), "save", "Save copy",
			new BMessage(kSave));
		panel->AddChild(quit);
		panel->AddChild(goOn);
		panel->AddChild(save);
		save->MakeDefault(true);
		window->Show();
		driver.WaitForIdle();
	}

	LoggingWindow* window;
	BTextControl* name;
	BMenuField* paper;
	BMenuField* tray;
	BTextView* notes;
	BButton* quit;
	BButton* goOn;
	BButton* save;
};


std::vector<std::string>
reversed(std::vector<std::string> labels)
{
	return std::vector<std::string>(labels.rbegin(), labels.rend());
}


// The whole window's pixels, read once for each look at it.
struct Pixels {
	Pixels(TestDriver& driver, BWindow* window)
	{
		{
			WindowLocker locker(window);
			bounds = window->Bounds();
		}
		width = bounds.IntegerWidth() + 1;
		EXPECT_EQ(driver.GetPixels(window, bounds, &colors), B_OK);
	}

	rgb_color At(int32 x, int32 y) const
	{
		return colors[(size_t)(y * width + x)];
	}

	// The pixels of the navigation colour, as window points.
	std::vector<BPoint> Marks() const
	{
		std::vector<BPoint> marks;
		rgb_color mark = ui_color(B_KEYBOARD_NAVIGATION_COLOR);
		for (size_t i = 0; i < colors.size(); i++) {
			if (colors[i] == mark)
				marks.push_back(BPoint(i % width, i / width));
		}
		return marks;
	}

	BRect bounds;
	int32 width;
	std::vector<rgb_color> colors;
};


BRect
frame_in_window(BView* view)
{
	WindowLocker locker(view->Window());
	return view->ConvertToWindow(view->Bounds());
}

}	// namespace


TEST(KeyboardNavigationTest, TabVisitsEveryControlOnce)
{
	MessageLog log;
	TestDriver driver;
	ASSERT_EQ(driver.Launch<TestApplication>(), B_OK);
	Dialog dialog(driver, log);
	BWindow* window = dialog.window;

	// The plain text view keeps Tab: it is left out here and met below.
	{
		WindowLocker locker(window);
		dialog.notes->SetFlags(dialog.notes->Flags() & ~B_NAVIGABLE);
	}

	const std::vector<std::string> all = { "Name:", "Paper:", "Tray:",
		"Quit", "Go on", "Save copy" };
	struct Case {
		const char* what;
		std::function<void()> change;
		std::vector<std::string> cycle;
	};
	const Case cases[] = {
		{ "everything", [] {}, all },
		{ "a hidden button", [&] { dialog.goOn->Hide(); },
			{ "Name:", "Paper:", "Tray:", "Quit", "Save copy" } },
		{ "shown again", [&] { dialog.goOn->Show(); }, all },
		{ "a disabled button and field",
			[&] {
				dialog.quit->SetEnabled(false);
				dialog.tray->SetEnabled(false);
			},
			{ "Name:", "Paper:", "Go on", "Save copy" } },
		{ "a disabled text control",
			[&] { dialog.name->SetEnabled(false); },
			{ "Paper:", "Go on", "Save copy" } },
		{ "all enabled again",
			[&] {
				dialog.quit->SetEnabled(true);
				dialog.tray->SetEnabled(true);
				dialog.name->SetEnabled(true);
			}, all },
	};
	for (const Case& test : cases) {
		SCOPED_TRACE(test.what);
		{
			WindowLocker locker(window);
			test.change();
			if (window->CurrentFocus() != NULL)
				window->CurrentFocus()->MakeFocus(false);
		}
		std::vector<std::string> forward = driver.TabCycle(window);
		EXPECT_EQ(forward, test.cycle);
		// From the first again, Shift+Tab goes back through the same
		// views.
		std::vector<std::string> backward = driver.TabCycle(window,
			B_SHIFT_KEY);
		EXPECT_EQ(backward, reversed(test.cycle));
	}

	// A field that loses its enabled state with the focus lets it go.
	{
		WindowLocker locker(window);
		dialog.tray->MakeFocus(true);
		dialog.tray->SetEnabled(false);
		EXPECT_FALSE(dialog.tray->IsFocus());
		dialog.tray->SetEnabled(true);
		EXPECT_TRUE((dialog.tray->Flags() & B_NAVIGABLE) != 0);
	}
	EXPECT_TRUE(log.Messages().empty());
}


TEST(KeyboardNavigationTest, SpaceAndEnterActAsAClick)
{
	MessageLog log;
	TestDriver driver;
	ASSERT_EQ(driver.Launch<TestApplication>(), B_OK);
	Dialog dialog(driver, log);
	BWindow* window = dialog.window;

	// Buttons: Space presses the focused one; so does Enter, default or
	// not; with the focus elsewhere, Enter presses the default button.
	struct Press {
		BButton* focus;
		uint32 key;
		uint32 sent;
	};
	const Press presses[] = {
		{ dialog.quit, B_SPACE, kQuit },
		{ dialog.quit, B_ENTER, kQuit },
		{ dialog.goOn, B_SPACE, kGoOn },
		{ dialog.save, B_SPACE, kSave },
		{ dialog.save, B_ENTER, kSave },
		{ NULL, B_ENTER, kSave },
	};
	for (const Press& press : presses) {
		SCOPED_TRACE(press.focus != NULL ? press.focus->Label() : "none");
		{
			WindowLocker locker(window);
			if (press.focus != NULL)
				press.focus->MakeFocus(true);
			else
				dialog.name->MakeFocus(true);
		}
		log.Clear();
		ASSERT_EQ(driver.PressKey(window, press.key), B_OK);
		std::vector<ReceivedMessage> sent = log.Messages();
		ASSERT_EQ(sent.size(), 1u);
		EXPECT_EQ(sent[0].what, press.sent);
	}

	// A menu field: Space or Down opens it, Down moves, Enter picks, and
	// the focus stays on the field; Escape closes it, choosing nothing.
	BMenu* menu = dialog.paper->Menu();
	struct Open {
		uint32 opener;
		uint32 closer;
		const char* marked;
	};
	const Open opens[] = {
		{ B_SPACE, B_ENTER, "Letter" },
		{ B_DOWN_ARROW, B_ENTER, "Legal" },
		{ B_SPACE, B_ESCAPE, "Legal" },
		{ B_DOWN_ARROW, B_ESCAPE, "Legal" },
	};
	for (const Open& open : opens) {
		SCOPED_TRACE(open.opener == B_SPACE ? "Space" : "Down");
		{
			WindowLocker locker(window);
			dialog.paper->MakeFocus(true);
		}
		log.Clear();
		ASSERT_EQ(driver.PressKey(window, open.opener), B_OK);
		ASSERT_NE(driver.MenuWindow(menu), (BWindow*)NULL);
		ASSERT_EQ(driver.PressKey(window, B_DOWN_ARROW), B_OK);
		ASSERT_EQ(driver.PressKey(window, open.closer), B_OK);
		EXPECT_EQ(driver.MenuWindow(menu), (BWindow*)NULL);
		EXPECT_EQ(driver.FocusedView(window), (BView*)dialog.paper);
		{
			WindowLocker locker(window);
			ASSERT_NE(menu->FindMarked(), (BMenuItem*)NULL);
			EXPECT_STREQ(menu->FindMarked()->Label(), open.marked);
		}
		EXPECT_EQ(log.Count(kChosen), open.closer == B_ENTER ? 1 : 0);
		EXPECT_EQ(log.Count(kSave), 0);
	}

	// With the focus left on the field, Enter confirms with the default
	// button; without a default button it opens the field's menu.
	log.Clear();
	ASSERT_EQ(driver.PressKey(window, B_ENTER), B_OK);
	EXPECT_EQ(log.Count(kSave), 1);
	EXPECT_EQ(driver.MenuWindow(menu), (BWindow*)NULL);
	{
		WindowLocker locker(window);
		dialog.save->MakeDefault(false);
	}
	ASSERT_EQ(driver.PressKey(window, B_ENTER), B_OK);
	EXPECT_NE(driver.MenuWindow(menu), (BWindow*)NULL);
	ASSERT_EQ(driver.PressKey(window, B_ESCAPE), B_OK);
	EXPECT_EQ(driver.MenuWindow(menu), (BWindow*)NULL);
	EXPECT_EQ(driver.FocusedView(window), (BView*)dialog.paper);

	// A disabled field opens for nothing.
	{
		WindowLocker locker(window);
		dialog.paper->SetEnabled(false);
		dialog.paper->MakeFocus(true);
	}
	ASSERT_EQ(driver.PressKey(window, B_SPACE), B_OK);
	EXPECT_EQ(driver.MenuWindow(menu), (BWindow*)NULL);
}


TEST(KeyboardNavigationTest, TextEntriesPassTabOnTextViewsKeepIt)
{
	MessageLog log;
	TestDriver driver;
	ASSERT_EQ(driver.Launch<TestApplication>(), B_OK);
	Dialog dialog(driver, log);
	BWindow* window = dialog.window;

	// Tab into the entry selects its text; Tab passes it on.
	ASSERT_EQ(driver.PressKey(window, B_TAB), B_OK);
	{
		WindowLocker locker(window);
		EXPECT_TRUE(dialog.name->TextView()->IsFocus());
		int32 start;
		int32 end;
		dialog.name->TextView()->GetSelection(&start, &end);
		EXPECT_EQ(start, 0);
		EXPECT_EQ(end, 5);
	}
	ASSERT_EQ(driver.PressKey(window, B_TAB), B_OK);
	EXPECT_EQ(driver.FocusedView(window), (BView*)dialog.paper);
	EXPECT_EQ(driver.ViewLabel(dialog.name->TextView()), "Name:");

	// In the editable text view Tab is a character; Command+Tab leaves,
	// forwards to the first button, backwards to the tray field.
	{
		WindowLocker locker(window);
		dialog.notes->MakeFocus(true);
	}
	ASSERT_EQ(driver.PressKey(window, B_TAB), B_OK);
	ASSERT_EQ(driver.PressKey(window, B_TAB), B_OK);
	{
		WindowLocker locker(window);
		EXPECT_STREQ(dialog.notes->Text(), "\t\t");
		EXPECT_TRUE(dialog.notes->IsFocus());
	}
	ASSERT_EQ(driver.PressKey(window, B_TAB, B_COMMAND_KEY), B_OK);
	EXPECT_EQ(driver.FocusedView(window), (BView*)dialog.quit);
	ASSERT_EQ(driver.PressKey(window, B_TAB, B_SHIFT_KEY), B_OK);
	EXPECT_EQ(driver.FocusedView(window), (BView*)dialog.notes);
	ASSERT_EQ(driver.PressKey(window, B_TAB,
		B_COMMAND_KEY | B_SHIFT_KEY), B_OK);
	EXPECT_EQ(driver.FocusedView(window), (BView*)dialog.tray);
	{
		WindowLocker locker(window);
		EXPECT_STREQ(dialog.notes->Text(), "\t\t");
	}
	EXPECT_TRUE(log.Messages().empty());
}


TEST(KeyboardNavigationTest, TheFocusMarkIsOnTheFocusedControlOnly)
{
	MessageLog log;
	TestDriver driver;
	ASSERT_EQ(driver.Launch<TestApplication>(), B_OK);
	Dialog dialog(driver, log);
	BWindow* window = dialog.window;
	{
		WindowLocker locker(window);
		// Labels with descenders and an underscore, under which a button
		// draws its mark.
		dialog.quit->SetLabel("Query");
		dialog.goOn->SetLabel("gj_py");
	}
	ASSERT_EQ(driver.ActivateWindow(window), B_OK);

	// Nothing focused: no mark anywhere.
	Pixels unfocused(driver, window);
	EXPECT_TRUE(unfocused.Marks().empty());

	BView* controls[] = { dialog.name, dialog.paper, dialog.tray,
		dialog.quit, dialog.goOn, dialog.save };
	for (BView* control : controls) {
		SCOPED_TRACE(driver.ViewLabel(control));
		{
			WindowLocker locker(window);
			control->MakeFocus(true);
		}
		ASSERT_EQ(driver.WaitForIdle(), B_OK);
		BRect frame = frame_in_window(control);
		Pixels focused(driver, window);
		std::vector<BPoint> marks = focused.Marks();
		EXPECT_GT(marks.size(), 10u);
		for (BPoint point : marks) {
			ASSERT_TRUE(frame.Contains(point)) << "a mark at "
				<< point.x << ", " << point.y << " outside the control";
		}

		// The mark takes no pixel of a label's ink: a pixel that is not
		// the background where the label stands keeps its colour. The
		// labels stand left of the divider, or in the middle of a
		// button's face.
		BRect label;
		rgb_color background;
		{
			WindowLocker locker(window);
			if (BButton* button = dynamic_cast<BButton*>(control)) {
				label = frame.InsetByCopy(3, 3);
				background = tint_color(button->ViewColor(),
					B_LIGHTEN_1_TINT);
			} else {
				float divider = control == dialog.name ? dialog.name->Divider()
					: static_cast<BMenuField*>(control)->Divider();
				label = BRect(frame.left, frame.top, frame.left + divider - 1,
					frame.bottom);
				background = control->ViewColor();
			}
		}
		int32 ink = 0;
		for (int32 y = (int32)label.top; y <= (int32)label.bottom; y++) {
			for (int32 x = (int32)label.left; x <= (int32)label.right; x++) {
				if (unfocused.At(x, y) == background)
					continue;
				ink++;
				ASSERT_EQ(focused.At(x, y), unfocused.At(x, y))
					<< "the mark covers the label at " << x << ", " << y;
			}
		}
		EXPECT_GT(ink, 20);
	}

	// The mark leaves with the focus and with the window's activation.
	ASSERT_EQ(driver.ActivateWindow(window, false), B_OK);
	EXPECT_TRUE(Pixels(driver, window).Marks().empty());
	ASSERT_EQ(driver.ActivateWindow(window), B_OK);
	EXPECT_FALSE(Pixels(driver, window).Marks().empty());
	{
		WindowLocker locker(window);
		window->CurrentFocus()->MakeFocus(false);
	}
	ASSERT_EQ(driver.WaitForIdle(), B_OK);
	EXPECT_TRUE(Pixels(driver, window).Marks().empty());
}


TEST(KeyboardNavigationTest, AlertsAnswerFromTheKeyboard)
{
	const uint32 kAnswer = 'ANSW';
	MessageLog log;
	TestDriver driver;
	ASSERT_EQ(driver.Launch<TestApplication>(), B_OK);
	BWindow* window = new LoggingWindow(BRect(100, 100, 299, 199), "Owner",
		log);
	window->Show();
	ASSERT_EQ(driver.WaitForIdle(), B_OK);

	// Which button each way of answering presses: Tab presses to reach
	// it (0 for none), then the key.
	struct Answer {
		int32 tabs;
		uint32 key;
		int32 which;
	};
	const Answer answers[] = {
		{ 0, B_ENTER, 2 },
		{ 1, B_SPACE, 0 },
		{ 2, B_SPACE, 1 },
		{ 3, B_SPACE, 2 },
		{ 1, B_ENTER, 0 },
		{ 2, B_ENTER, 1 },
		{ 0, B_ESCAPE, 1 },
		{ 1, B_ESCAPE, 1 },
	};
	for (const Answer& answer : answers) {
		SCOPED_TRACE(std::to_string(answer.tabs) + " tabs, key "
			+ std::to_string(answer.key));
		BAlert* alert = new BAlert("Close", "Save changes?", "Don't save",
			"Cancel", "Save", B_WIDTH_AS_USUAL, B_WARNING_ALERT);
		alert->SetShortcut(1, B_ESCAPE);
		log.Clear();
		ASSERT_EQ(alert->Go(new BInvoker(new BMessage(kAnswer), window)),
			B_OK);
		ASSERT_EQ(driver.WaitForAlert(), alert);
		if (answer.tabs == 3) {
			// The buttons, once each, then round again.
			EXPECT_EQ(driver.TabCycle(alert), (std::vector<std::string>{
				"Don't save", "Cancel", "Save" }));
			EXPECT_EQ(driver.TabCycle(alert, B_SHIFT_KEY),
				(std::vector<std::string>{ "Save", "Cancel",
					"Don't save" }));
			EXPECT_EQ(driver.ViewLabel(driver.FocusedView(alert)), "Save");
		} else {
			for (int32 i = 0; i < answer.tabs; i++)
				ASSERT_EQ(driver.PressKey(alert, B_TAB), B_OK);
		}
		ASSERT_EQ(driver.PressKey(alert, answer.key), B_OK);
		ASSERT_EQ(driver.WaitFor([&] { return log.Count(kAnswer) == 1; },
			"the answer"), B_OK);
		EXPECT_EQ(log.Messages()[0].which, answer.which);
		EXPECT_EQ(driver.FindAlert(), (BAlert*)NULL);
	}
}
