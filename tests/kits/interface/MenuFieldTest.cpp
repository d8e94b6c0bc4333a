/*
 * Menu fields and pop-up menus:
 * - a field fits its height to its font, keeps its divider, reports a
 *   preferred size that fits its widest choice, and its bar never becomes
 *   the window's key menu bar;
 * - the field shows the menu's name (empty) until an item is marked, then
 *   the marked item's label, after SetMarked and after a user's choice;
 *   a field made with an item already marked shows it from the start;
 *   a choice sends exactly one message, to the window holding the field;
 * - the pop-up menu opens over the field, the marked item where the field
 *   shows it; a first click leaves it open for a second;
 * - a disabled field does not open;
 * - Go(), synchronous, returns the item chosen or NULL, and delivers its
 *   message only when asked; asynchronous, it returns at once and the
 *   choice is delivered later.
 */
#include "MenuTestSupport.h"

#include "MenuPrivate.h"

#include <MenuField.h>
#include <PopUpMenu.h>

#include <math.h>
#include <stdio.h>
#include <thread>

using namespace interface_test;
using namespace menu_test;

namespace {

const uint32 kMsgSizeChosen = 'FMsc';


class MenuFields : public FieldTest {
protected:
	void SetUp() override
	{
		Start(BRect(10, 60, 160, 10), "Size");
	}

	BPopUpMenu* MakeMenu() override
	{
		BPopUpMenu* menu = new BPopUpMenu("", true, true, B_ITEMS_IN_COLUMN);
		for (int32 size = 6; size <= 24; size++) {
			char label[8];
			snprintf(label, sizeof(label), "%d", (int)size);
			menu->AddItem(new BMenuItem(label,
				new BMessage(kMsgSizeChosen)));
		}
		return menu;
	}
};

}	// namespace


TEST_F(MenuFields, SizeDividerAndKeyMenuBar)
{
	WindowLocker locker(fWindow);
	BMenuField* field = fWindow->fField;
	EXPECT_EQ(field->Frame().LeftTop(), BPoint(10, 60));
	EXPECT_EQ(field->Frame().Width(), 150);
	// The bar's 19 and a pixel around it.
	EXPECT_EQ(field->Frame().Height(), 21);
	EXPECT_EQ(field->Divider(), 60);
	EXPECT_STREQ(field->Label(), "Size");
	EXPECT_EQ(field->Menu(), fWindow->fMenu);
	EXPECT_EQ(field->MenuItem()->Submenu(), fWindow->fMenu);
	EXPECT_EQ(field->MenuBar()->Frame().left, 61);
	EXPECT_EQ(fWindow->KeyMenuBar(), (BMenuBar*)NULL);

	float width;
	float height;
	field->GetPreferredSize(&width, &height);
	EXPECT_EQ(height, 21);
	EXPECT_GE(width, 60 + field->StringWidth("24"));
	EXPECT_LT(width, 150);
}


TEST_F(MenuFields, LabelFollowsTheMarkedItem)
{
	// The menu's name is empty: so is the field until an item is marked.
	EXPECT_EQ(Shown(), "");
	{
		WindowLocker locker(fWindow);
		fWindow->fMenu->FindItem("12")->SetMarked(true);
	}
	EXPECT_EQ(Shown(), "12");
	// Marking from the program sends nothing.
	ASSERT_EQ(fDriver.WaitForIdle(), B_OK);
	EXPECT_TRUE(fJournal.Entries().empty());

	// The user's choice marks the item, changes the label and sends one
	// message to the window.
	ASSERT_EQ(fDriver.ChooseMenuFieldItem(fWindow->fField, "8"), B_OK);
	EXPECT_EQ(Shown(), "8");
	EXPECT_EQ(fJournal.Entries(), (std::vector<std::string>{
		"window:FMsc" }));
	{
		WindowLocker locker(fWindow);
		EXPECT_EQ(fWindow->fMenu->FindMarked(),
			fWindow->fMenu->FindItem("8"));
		EXPECT_FALSE(fWindow->fMenu->FindItem("12")->IsMarked());
	}
	EXPECT_EQ(fDriver.MenuWindow(fWindow->fMenu), (BWindow*)NULL);

	// Marked before the field was made.
	WindowLocker locker(fWindow);
	BPopUpMenu* menu = new BPopUpMenu("sides");
	menu->AddItem(new BMenuItem("Front", NULL));
	menu->AddItem(new BMenuItem("Back", NULL));
	menu->ItemAt(1)->SetMarked(true);
	BMenuField* field = new BMenuField(BRect(10, 100, 160, 10), "sides",
		"Side", menu);
	fWindow->AddChild(field);
	EXPECT_STREQ(field->MenuItem()->Label(), "Back");
}


TEST_F(MenuFields, PopUpOpensOverTheField)
{
	{
		WindowLocker locker(fWindow);
		fWindow->fMenu->FindItem("10")->SetMarked(true);
	}
	ASSERT_EQ(fDriver.Click(fWindow->fField->MenuBar()), B_OK);
	BWindow* menuWindow = fDriver.MenuWindow(fWindow->fMenu);
	ASSERT_NE(menuWindow, (BWindow*)NULL);
	{
		WindowLocker locker(fWindow);
		BRect bar = fWindow->fField->MenuBar()->ConvertToScreen(
			fWindow->fField->MenuBar()->Bounds());
		BRect marked = fWindow->fMenu->FindItem("10")->Frame();
		// The marked item's text lies where the field shows it.
		EXPECT_EQ(menuWindow->Frame().left, bar.left);
		EXPECT_EQ(menuWindow->Frame().top + marked.top, bar.top + 1);
		// No narrower than the field.
		EXPECT_EQ(menuWindow->Frame().Width(), bar.Width());
		EXPECT_EQ(marked.right, bar.Width() - 1);
	}
	// The click that opened it, released over the marked item, chose
	// nothing: the menu waits for a second click.
	EXPECT_TRUE(fJournal.Entries().empty());
	{
		WindowLocker locker(fWindow);
		EXPECT_EQ(BMenu::Private(fWindow->fMenu).Selected(), 4);
	}

	ASSERT_EQ(fDriver.PressKey(fWindow, B_DOWN_ARROW), B_OK);
	ASSERT_EQ(fDriver.PressKey(fWindow, B_ENTER), B_OK);
	EXPECT_EQ(Shown(), "11");
	EXPECT_EQ(fJournal.Entries(), (std::vector<std::string>{
		"window:FMsc" }));
}


TEST_F(MenuFields, DisabledFieldDoesNotOpen)
{
	{
		WindowLocker locker(fWindow);
		fWindow->fField->SetEnabled(false);
		EXPECT_FALSE(fWindow->fField->IsEnabled());
	}
	ASSERT_EQ(fDriver.Click(fWindow->fField->MenuBar()), B_OK);
	EXPECT_EQ(fDriver.MenuWindow(fWindow->fMenu), (BWindow*)NULL);
	EXPECT_TRUE(fJournal.Entries().empty());
}


TEST_F(MenuFields, GoReturnsTheChoice)
{
	BPopUpMenu* menu = new BPopUpMenu("choices", false, false);
	menu->AddItem(new BMenuItem("One", new BMessage('one_')));
	menu->AddItem(new BMenuItem("Two", new BMessage('two_')));
	menu->SetTargetForItems(fWindow);

	BMenuItem* chosen = NULL;
	std::thread caller([&] { chosen = menu->Go(BPoint(50, 50)); });
	ASSERT_EQ(fDriver.WaitFor([&] {
		return fDriver.MenuWindow(menu) != NULL; }, "the pop-up menu"),
		B_OK);
	BWindow* menuWindow = fDriver.MenuWindow(menu);
	BRect frame;
	{
		// An open pop-up menu belongs to its window's thread.
		WindowLocker locker(menuWindow);
		EXPECT_EQ(menuWindow->Frame().LeftTop(), BPoint(50, 50));
		frame = menu->ItemAt(1)->Frame();
	}
	ASSERT_EQ(fDriver.Click(menuWindow, BPoint(floorf(frame.left + 10),
		floorf((frame.top + frame.bottom) / 2))), B_OK);
	caller.join();
	EXPECT_EQ(chosen, menu->ItemAt(1));
	// Without deliversMessage the item is only returned.
	ASSERT_EQ(fDriver.WaitForIdle(), B_OK);
	EXPECT_TRUE(fJournal.Entries().empty());

	// Escape closes it with no choice.
	std::thread escaped([&] { chosen = menu->Go(BPoint(50, 50), true); });
	ASSERT_EQ(fDriver.WaitFor([&] {
		return fDriver.MenuWindow(menu) != NULL; }, "the pop-up menu"),
		B_OK);
	ASSERT_EQ(fDriver.PressKey(fWindow, B_ESCAPE), B_OK);
	escaped.join();
	EXPECT_EQ(chosen, (BMenuItem*)NULL);

	// Asynchronous, delivering the message, and deleting itself after.
	menu->SetAsyncAutoDestruct(true);
	EXPECT_EQ(menu->Go(BPoint(50, 50), true, false, true), (BMenuItem*)NULL);
	ASSERT_EQ(fDriver.WaitFor([&] {
		return fDriver.MenuWindow(menu) != NULL; }, "the pop-up menu"),
		B_OK);
	menuWindow = fDriver.MenuWindow(menu);
	ASSERT_EQ(fDriver.Click(menuWindow, BPoint(frame.left + 10,
		frame.top - frame.Height())), B_OK);
	// The pop-up menu's own looper delivers the choice; the driver's idle
	// wait does not watch it, so wait for what it sends.
	ASSERT_EQ(fDriver.WaitFor([&] {
		return fJournal.Count("window:one_") > 0; }, "the choice"), B_OK);
	EXPECT_EQ(fJournal.Entries(), (std::vector<std::string>{
		"window:one_" }));
}
