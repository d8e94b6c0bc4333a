/*
 * Buttons:
 * - the preferred size comes from the label and the font: short labels
 *   share the minimum width, a long label widens the button, the height
 *   follows the font's size;
 * - MakeDefault() hands the role over: one default button per window,
 *   before and after the buttons are attached; removing the default
 *   button leaves the window without one;
 * - Enter presses the default button wherever the focus is, and the
 *   focus view does not see it; a disabled default button leaves Enter
 *   to the focus view; Space presses the focused button;
 * - a click sends; pressing inside and releasing outside does not, nor
 *   does a disabled button; coming back inside before the release does.
 */
#include "ControlsTestSupport.h"

#include <Button.h>

#include <math.h>

using namespace interface_test;

namespace {

const uint32 kFirst = 'FRST';
const uint32 kSecond = 'SCND';


struct ButtonWindow {
	ButtonWindow(TestDriver& driver, MessageLog& log)
	{
		window = new LoggingWindow(BRect(100, 100, 399, 199), "Buttons", log);
		first = new BButton(BRect(10, 10, 85, 34), "first", "First",
			new BMessage(kFirst));
		second = new BButton(BRect(100, 10, 175, 34), "second", "Second",
			new BMessage(kSecond));
		other = new RecordingView(BRect(10, 50, 100, 90), "other",
			B_FOLLOW_NONE, B_NAVIGABLE, journal);
		window->AddChild(first);
		window->AddChild(second);
		window->AddChild(other);
		window->Show();
		EXPECT_EQ(driver.WaitForIdle(), B_OK);
	}

	Journal journal;
	BWindow* window;
	BButton* first;
	BButton* second;
	RecordingView* other;
};

}	// namespace


TEST(ButtonTest, PreferredSizeFollowsLabelAndFont)
{
	TestDriver driver;
	ASSERT_EQ(driver.Launch<TestApplication>(), B_OK);

	BButton* shortLabel = new BButton(BRect(0, 0, 0, 0), NULL, "OK", NULL);
	BButton* cancel = new BButton(BRect(0, 0, 0, 0), NULL, "Cancel", NULL);
	BButton* longLabel = new BButton(BRect(0, 0, 0, 0), NULL,
		"A label far wider than the least width", NULL);
	BWindow* window = new BWindow(BRect(0, 0, 399, 99), "Sizes",
		B_TITLED_WINDOW, 0);
	window->AddChild(shortLabel);
	window->AddChild(cancel);
	window->AddChild(longLabel);

	float width;
	float height;
	shortLabel->GetPreferredSize(&width, &height);
	EXPECT_EQ(width, 75.0f);
	// DejaVu Sans at 12 points is 14 pixels high, 5 of margin each way.
	EXPECT_EQ(height, 24.0f);
	cancel->GetPreferredSize(&width, &height);
	EXPECT_EQ(width, 75.0f);
	EXPECT_EQ(height, 24.0f);

	longLabel->GetPreferredSize(&width, &height);
	EXPECT_EQ(width, ceilf(longLabel->StringWidth(longLabel->Label())) + 20);
	EXPECT_GT(width, 75.0f);
	longLabel->ResizeToPreferred();
	EXPECT_EQ(longLabel->Bounds().Width(), width);
	EXPECT_EQ(longLabel->Bounds().Height(), height);

	longLabel->SetFontSize(24);
	float bigWidth;
	float bigHeight;
	longLabel->GetPreferredSize(&bigWidth, &bigHeight);
	EXPECT_GT(bigWidth, width);
	EXPECT_GT(bigHeight, height);

	// The window never ran; deleting it is allowed.
	delete window;
}


TEST(ButtonTest, DefaultRoleIsHandedOver)
{
	MessageLog log;
	TestDriver driver;
	ASSERT_EQ(driver.Launch<TestApplication>(), B_OK);

	// Chosen before the buttons are in a window: the last one wins.
	BWindow* window = new LoggingWindow(BRect(0, 0, 299, 99), "Default", log);
	BButton* first = new BButton(BRect(10, 10, 85, 34), "first", "First",
		new BMessage(kFirst));
	BButton* second = new BButton(BRect(100, 10, 175, 34), "second",
		"Second", new BMessage(kSecond));
	first->MakeDefault(true);
	window->AddChild(first);
	EXPECT_EQ(window->DefaultButton(), first);
	second->MakeDefault(true);
	window->AddChild(second);
	EXPECT_EQ(window->DefaultButton(), second);
	EXPECT_FALSE(first->IsDefault());
	window->Show();
	ASSERT_EQ(driver.WaitForIdle(), B_OK);

	{
		WindowLocker locker(window);
		first->MakeDefault(true);
		EXPECT_TRUE(first->IsDefault());
		EXPECT_FALSE(second->IsDefault());
		EXPECT_EQ(window->DefaultButton(), first);

		window->SetDefaultButton(second);
		EXPECT_FALSE(first->IsDefault());
		EXPECT_TRUE(second->IsDefault());

		second->MakeDefault(false);
		EXPECT_EQ(window->DefaultButton(), (BButton*)NULL);
		EXPECT_FALSE(second->IsDefault());

		// A default button that leaves the window takes the role along.
		first->MakeDefault(true);
		window->RemoveChild(first);
		EXPECT_EQ(window->DefaultButton(), (BButton*)NULL);
		delete first;
	}
}


TEST(ButtonTest, EnterPressesTheDefaultButtonWhereverTheFocusIs)
{
	MessageLog log;
	TestDriver driver;
	ASSERT_EQ(driver.Launch<TestApplication>(), B_OK);
	ButtonWindow buttons(driver, log);
	BWindow* window = buttons.window;

	{
		WindowLocker locker(window);
		buttons.second->MakeDefault(true);
		buttons.other->MakeFocus();
	}
	buttons.journal.Clear();
	ASSERT_EQ(driver.PressKey(window, B_ENTER), B_OK);
	EXPECT_EQ(log.Count(kSecond), 1);
	EXPECT_EQ(log.Count(kFirst), 0);
	EXPECT_EQ(buttons.journal.Count("other:KeyDown \n"), 0);

	// Other keys still reach the focus view.
	ASSERT_EQ(driver.TypeText(window, "x"), B_OK);
	EXPECT_EQ(buttons.journal.Count("other:KeyDown x"), 1);

	// The role moves, and Enter follows it.
	log.Clear();
	{
		WindowLocker locker(window);
		buttons.first->MakeDefault(true);
	}
	ASSERT_EQ(driver.PressKey(window, B_ENTER), B_OK);
	EXPECT_EQ(log.Count(kFirst), 1);
	EXPECT_EQ(log.Count(kSecond), 0);

	// A disabled default button: Enter goes to the focus view instead.
	log.Clear();
	{
		WindowLocker locker(window);
		buttons.first->SetEnabled(false);
	}
	ASSERT_EQ(driver.PressKey(window, B_ENTER), B_OK);
	EXPECT_TRUE(log.Messages().empty());
	EXPECT_EQ(buttons.journal.Count("other:KeyDown \n"), 1);

	// Space presses the focused button, Enter too.
	log.Clear();
	{
		WindowLocker locker(window);
		buttons.first->SetEnabled(true);
		buttons.second->MakeFocus();
	}
	ASSERT_EQ(driver.PressKey(window, B_SPACE), B_OK);
	EXPECT_EQ(log.Count(kSecond), 1);
	EXPECT_EQ(log.Count(kFirst), 0);
	ASSERT_EQ(driver.PressKey(window, B_ENTER), B_OK);
	EXPECT_EQ(log.Count(kSecond), 2);
	EXPECT_EQ(log.Count(kFirst), 0);
	std::vector<ReceivedMessage> received = log.Messages();
	ASSERT_FALSE(received.empty());
	EXPECT_EQ(received[0].source, (const void*)buttons.second);
}


TEST(ButtonTest, ClickFollowsThePointer)
{
	MessageLog log;
	TestDriver driver;
	ASSERT_EQ(driver.Launch<TestApplication>(), B_OK);
	ButtonWindow buttons(driver, log);
	BWindow* window = buttons.window;
	BPoint inside(40, 20);
	BPoint outside(40, 70);

	ASSERT_EQ(driver.Click(window, inside), B_OK);
	EXPECT_EQ(log.Count(kFirst), 1);

	// Pressed inside, released outside: nothing.
	log.Clear();
	ASSERT_EQ(driver.MouseDown(window, inside), B_OK);
	{
		WindowLocker locker(window);
		EXPECT_EQ(buttons.first->Value(), B_CONTROL_ON);
	}
	ASSERT_EQ(driver.MoveMouse(window, outside, B_PRIMARY_MOUSE_BUTTON),
		B_OK);
	{
		WindowLocker locker(window);
		EXPECT_EQ(buttons.first->Value(), B_CONTROL_OFF);
	}
	ASSERT_EQ(driver.MouseUp(window, outside), B_OK);
	EXPECT_TRUE(log.Messages().empty());
	EXPECT_EQ(buttons.journal.Count("other:MouseUp"), 0);

	// Out and back in before the release: it counts.
	ASSERT_EQ(driver.MouseDown(window, inside), B_OK);
	ASSERT_EQ(driver.MoveMouse(window, outside, B_PRIMARY_MOUSE_BUTTON),
		B_OK);
	ASSERT_EQ(driver.MoveMouse(window, inside, B_PRIMARY_MOUSE_BUTTON),
		B_OK);
	ASSERT_EQ(driver.MouseUp(window, inside), B_OK);
	EXPECT_EQ(log.Count(kFirst), 1);

	// Pressed outside, released over the button: nothing either.
	log.Clear();
	ASSERT_EQ(driver.MouseDown(window, BPoint(5, 5)), B_OK);
	ASSERT_EQ(driver.MouseUp(window, inside), B_OK);
	EXPECT_TRUE(log.Messages().empty());

	// Disabled: a click does nothing and the button does not go down.
	{
		WindowLocker locker(window);
		buttons.first->SetEnabled(false);
	}
	ASSERT_EQ(driver.MouseDown(window, inside), B_OK);
	{
		WindowLocker locker(window);
		EXPECT_EQ(buttons.first->Value(), B_CONTROL_OFF);
	}
	ASSERT_EQ(driver.MouseUp(window, inside), B_OK);
	EXPECT_TRUE(log.Messages().empty());
}
