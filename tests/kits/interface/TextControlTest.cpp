/*
 * Text controls, and the dialog layouts built from real preferred sizes:
 * - the find dialog's layout: a find field at (10, 47, 260, 61) with 75
 *   x 24 buttons gives W=345.00 H=24.00 and a 365 x 73 window; the
 *   settings window's four buttons give a height of 4H + 35; a text
 *   control sizes its height to its font, whatever bottom it was given;
 * - the modification message comes on every edit: each typed character,
 *   Backspace, paste, cut, undo, and SetText() when the text changes
 *   (not when it stays the same);
 * - Enter sends the invocation message and presses the default button;
 *   leaving a changed entry sends the invocation message, leaving an
 *   unchanged one does not;
 * - MakeFocus() puts the focus in the entry, Tab moves on to the next
 *   control; the divider places the entry; a disabled control takes no
 *   typing.
 */
#include "ControlsTestSupport.h"

#include <Button.h>
#include <TextControl.h>
#include <TextView.h>

#include <stdio.h>

using namespace interface_test;

namespace {

const uint32 kModified = 'MODF';
const uint32 kInvoked = 'INVK';
const uint32 kSearch = 'SRCH';
const uint32 kCancel = 'CNCL';


std::string
diagnostic(BRect frame)
{
	char line[64];
	snprintf(line, sizeof(line), "W=%.2f H=%.2f", frame.right - frame.left,
		frame.bottom - frame.top);
	return line;
}


struct EntryWindow {
	EntryWindow(TestDriver& driver, MessageLog& log)
	{
		window = new LoggingWindow(BRect(100, 100, 399, 199), "Entries",
			log);
		background = new BView(window->Bounds(), "", B_FOLLOW_ALL_SIDES,
			B_WILL_DRAW);
		window->AddChild(background);
		control = new BTextControl(BRect(10, 10, 260, 10), "", "Find:",
			"start", new BMessage(kInvoked));
		control->SetModificationMessage(new BMessage(kModified));
		control->SetDivider(70);
		other = new BTextControl(BRect(10, 40, 260, 40), "", "Other:", "",
			NULL);
		button = new BButton(BRect(10, 70, 85, 94), "", "Search",
			new BMessage(kSearch));
		background->AddChild(control);
		background->AddChild(other);
		background->AddChild(button);
		control->MakeFocus(true);
		window->Show();
		EXPECT_EQ(driver.WaitForIdle(), B_OK);
	}

	BWindow* window;
	BView* background;
	BTextControl* control;
	BTextControl* other;
	BButton* button;
};

}	// namespace


TEST(TextControlTest, DialogLayoutsFromPreferredSizes)
{
	TestDriver driver;
	ASSERT_EQ(driver.Launch<TestApplication>(), B_OK);

	// The find dialog, in find mode.
	BWindow* dialog = new BWindow(BRect(16, 16, 16, 16), "Search",
		B_MODAL_WINDOW, B_NOT_RESIZABLE);
	BView* background = new BView(dialog->Bounds(), "", B_FOLLOW_ALL_SIDES,
		B_WILL_DRAW);
	dialog->AddChild(background);
	BTextControl* find = new BTextControl(BRect(10, 47, 260, 61), "",
		"Find:", "word", NULL);
	background->AddChild(find);
	find->SetDivider(70);
	BButton* search = new BButton(BRect(0, 0, 0, 0), "", "Search",
		new BMessage(kSearch));
	background->AddChild(search);
	float searchWidth;
	float searchHeight;
	search->GetPreferredSize(&searchWidth, &searchHeight);
	BButton* cancel = new BButton(BRect(0, 0, 0, 0), "", "Cancel",
		new BMessage(kCancel));
	background->AddChild(cancel);
	float cancelWidth;
	float cancelHeight;
	cancel->GetPreferredSize(&cancelWidth, &cancelHeight);
	float W = std::max(searchWidth, cancelWidth);
	float H = cancelHeight;
	EXPECT_EQ(W, 75.0f);
	EXPECT_EQ(H, 24.0f);

	// The field keeps its place and width; its height is its font's.
	EXPECT_EQ(find->Frame().left, 10.0f);
	EXPECT_EQ(find->Frame().top, 47.0f);
	EXPECT_EQ(find->Frame().right, 260.0f);
	EXPECT_LE(find->Frame().bottom, 63.0f);

	float x = find->Frame().right + 20;
	search->MoveTo(x, 10);
	search->ResizeTo(W, H);
	search->MakeDefault(true);
	cancel->MoveTo(x, H + 15);
	cancel->ResizeTo(W, H);
	EXPECT_EQ(search->Frame(), BRect(280, 10, 355, 34));
	EXPECT_EQ(cancel->Frame(), BRect(280, 39, 355, 63));
	BRect united = cancel->Frame() | find->Frame();
	EXPECT_EQ(united, BRect(10, 39, 355, 63));
	EXPECT_EQ(diagnostic(united), "W=345.00 H=24.00");
	dialog->ResizeTo(united.right + 10, united.bottom + 10);
	EXPECT_EQ(dialog->Bounds(), BRect(0, 0, 365, 73));
	delete dialog;

	// The settings window's column of buttons.
	BWindow* settings = new BWindow(BRect(76, 100, 425, 219),
		"Orvane Settings", B_TITLED_WINDOW,
		B_NOT_RESIZABLE | B_NOT_ZOOMABLE);
	BTextControl* length = new BTextControl(BRect(10, 35, 160, 10), "",
		"Line-Length:", "", NULL, B_FOLLOW_LEFT | B_FOLLOW_TOP,
		B_WILL_DRAW | B_NAVIGABLE);
	settings->AddChild(length);
	length->SetDivider(60);
	EXPECT_EQ(length->Frame().top, 35.0f);
	EXPECT_GT(length->Frame().bottom, 35.0f + 10);
	EXPECT_EQ(length->Divider(), 60.0f);

	const char* labels[] = { "Apply", "Revert", "Default", "Cancel" };
	BButton* buttons[4];
	W = 0;
	for (int32 i = 0; i < 4; i++) {
		buttons[i] = new BButton(BRect(0, 0, 0, 0), "", labels[i],
			new BMessage(kInvoked), B_FOLLOW_LEFT | B_FOLLOW_TOP,
			B_WILL_DRAW | B_NAVIGABLE);
		settings->AddChild(buttons[i]);
		float width;
		buttons[i]->GetPreferredSize(&width, &H);
		W = std::max(W, width);
	}
	float y = settings->Bounds().top + 10;
	x = settings->Bounds().right - W - 10;
	for (int32 i = 0; i < 4; i++) {
		buttons[i]->MoveTo(x, y);
		buttons[i]->ResizeTo(W, H);
		y += H + 5;
	}
	BRect last = buttons[3]->Frame();
	EXPECT_EQ(diagnostic(last), "W=75.00 H=24.00");
	settings->ResizeTo(last.right + 10, last.bottom + 10);
	EXPECT_EQ(settings->Bounds().right, 349.0f);
	EXPECT_EQ(settings->Bounds().bottom, 4 * H + 35);
	delete settings;
}


TEST(TextControlTest, EveryEditSendsTheModificationMessage)
{
	MessageLog log;
	TestDriver driver;
	ASSERT_EQ(driver.Launch<TestApplication>(), B_OK);
	EntryWindow entries(driver, log);
	BWindow* window = entries.window;
	BTextControl* control = entries.control;

	{
		WindowLocker locker(window);
		EXPECT_TRUE(control->TextView()->IsFocus());
		EXPECT_STREQ(control->Text(), "start");
	}
	EXPECT_EQ(log.Count(kModified), 0);

	// The focus selected the text: typing replaces it, one message per
	// change.
	ASSERT_EQ(driver.TypeText(window, "ab"), B_OK);
	{
		WindowLocker locker(window);
		EXPECT_STREQ(control->Text(), "ab");
	}
	int32 afterTyping = log.Count(kModified);
	// Replacing the selection is a deletion and an insertion.
	EXPECT_EQ(afterTyping, 3);

	ASSERT_EQ(driver.PressKey(window, B_BACKSPACE), B_OK);
	EXPECT_EQ(log.Count(kModified), afterTyping + 1);

	// Copy, then paste: one more change.
	ASSERT_EQ(driver.PressKey(window, 'a', B_COMMAND_KEY), B_OK);
	ASSERT_EQ(driver.PressKey(window, 'c', B_COMMAND_KEY), B_OK);
	EXPECT_EQ(log.Count(kModified), afterTyping + 1);
	ASSERT_EQ(driver.PressKey(window, B_END), B_OK);
	ASSERT_EQ(driver.PressKey(window, 'v', B_COMMAND_KEY), B_OK);
	EXPECT_EQ(log.Count(kModified), afterTyping + 2);
	{
		WindowLocker locker(window);
		EXPECT_STREQ(control->Text(), "aa");
	}

	// Undo takes the paste back, and says so.
	ASSERT_EQ(driver.PressKey(window, 'z', B_COMMAND_KEY), B_OK);
	EXPECT_GE(log.Count(kModified), afterTyping + 3);
	{
		WindowLocker locker(window);
		EXPECT_STREQ(control->Text(), "a");
	}

	// SetText: only a real change counts.
	log.Clear();
	{
		WindowLocker locker(window);
		control->SetText("80");
		control->SetText("80");
		EXPECT_STREQ(control->Text(), "80");
		control->SetText(NULL);
		EXPECT_STREQ(control->Text(), "");
	}
	ASSERT_EQ(driver.WaitForIdle(), B_OK);
	EXPECT_EQ(log.Count(kModified), 2);
	std::vector<ReceivedMessage> received = log.Messages();
	ASSERT_FALSE(received.empty());
	EXPECT_EQ(received[0].source, (const void*)control);
	EXPECT_TRUE(received[0].hasWhen);
	EXPECT_EQ(log.Count(kInvoked), 0);

	// Without a modification message nothing is sent.
	log.Clear();
	{
		WindowLocker locker(window);
		control->SetModificationMessage(NULL);
		EXPECT_EQ(control->ModificationMessage(), (BMessage*)NULL);
	}
	ASSERT_EQ(driver.TypeText(window, "x"), B_OK);
	EXPECT_TRUE(log.Messages().empty());
}


TEST(TextControlTest, EnterAndLeavingInvoke)
{
	MessageLog log;
	TestDriver driver;
	ASSERT_EQ(driver.Launch<TestApplication>(), B_OK);
	EntryWindow entries(driver, log);
	BWindow* window = entries.window;

	// Enter without a default button: the control's message only, and
	// no line end in the text.
	ASSERT_EQ(driver.TypeText(window, "word"), B_OK);
	log.Clear();
	ASSERT_EQ(driver.PressKey(window, B_ENTER), B_OK);
	EXPECT_EQ(log.Count(kInvoked), 1);
	EXPECT_EQ(log.Count(kModified), 0);
	{
		WindowLocker locker(window);
		EXPECT_STREQ(entries.control->Text(), "word");
		entries.button->MakeDefault(true);
	}

	// With a default button, Enter in the entry presses it as well.
	log.Clear();
	ASSERT_EQ(driver.PressKey(window, B_ENTER), B_OK);
	EXPECT_EQ(log.Count(kInvoked), 1);
	EXPECT_EQ(log.Count(kSearch), 1);

	// Tab leaves for the next control: unchanged, nothing is sent.
	log.Clear();
	ASSERT_EQ(driver.PressKey(window, B_TAB), B_OK);
	{
		WindowLocker locker(window);
		EXPECT_TRUE(entries.other->TextView()->IsFocus());
		entries.control->MakeFocus(true);
		EXPECT_TRUE(entries.control->TextView()->IsFocus());
	}
	EXPECT_EQ(log.Count(kInvoked), 0);

	// Changed and left: sent once.
	ASSERT_EQ(driver.TypeText(window, "new"), B_OK);
	log.Clear();
	ASSERT_EQ(driver.Click(window, BPoint(150, 47)), B_OK);
	{
		WindowLocker locker(window);
		EXPECT_TRUE(entries.other->TextView()->IsFocus());
	}
	EXPECT_EQ(log.Count(kInvoked), 1);
	std::vector<ReceivedMessage> received = log.Messages();
	ASSERT_EQ(received.size(), 1u);
	EXPECT_EQ(received[0].source, (const void*)entries.control);
}


TEST(TextControlTest, DividerAlignmentAndDisabling)
{
	MessageLog log;
	TestDriver driver;
	ASSERT_EQ(driver.Launch<TestApplication>(), B_OK);
	EntryWindow entries(driver, log);
	BWindow* window = entries.window;

	{
		WindowLocker locker(window);
		BTextControl* control = entries.control;
		EXPECT_EQ(control->TextView()->Frame().left, 71.0f);
		control->SetDivider(100);
		EXPECT_EQ(control->Divider(), 100.0f);
		EXPECT_EQ(control->TextView()->Frame().left, 101.0f);
		EXPECT_EQ(control->TextView()->Frame().right,
			control->Bounds().right - 1);
		control->SetDivider(1000);
		EXPECT_EQ(control->Divider(), control->Bounds().Width());
		control->SetDivider(70);

		control->SetAlignment(B_ALIGN_RIGHT, B_ALIGN_CENTER);
		alignment label;
		alignment text;
		control->GetAlignment(&label, &text);
		EXPECT_EQ(label, B_ALIGN_RIGHT);
		EXPECT_EQ(text, B_ALIGN_CENTER);

		// The default divider leaves room for the label.
		EXPECT_GT(entries.other->Divider(),
			entries.other->StringWidth("Other:"));

		control->SetEnabled(false);
		EXPECT_FALSE(control->TextView()->IsEditable());
		EXPECT_FALSE(control->TextView()->IsFocus());
	}
	log.Clear();
	ASSERT_EQ(driver.Click(window, BPoint(150, 15)), B_OK);
	ASSERT_EQ(driver.TypeText(window, "zz"), B_OK);
	{
		WindowLocker locker(window);
		EXPECT_STREQ(entries.control->Text(), "start");
	}
	EXPECT_EQ(log.Count(kModified), 0);
}
