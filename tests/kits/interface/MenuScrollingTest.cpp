/*
 * Menus taller than the screen, and menus that scroll to keep their
 * marked item over their field:
 * - placing: a menu that fits is moved onto the screen whole; one that
 *   must keep its place, or is taller than the screen, scrolls, its
 *   items on the rows they would have had, its window at least half a
 *   screen tall, its range what the arrows leave;
 * - a field of 300 choices opens on the screen with the marked item
 *   under the pointer and highlighted;
 * - the wheel scrolls it and stops at both ends; the pointer resting on
 *   an arrow scrolls to that end, and stops when it leaves;
 * - the keyboard: Down past the last row shown, End, Home, Page Down and
 *   Page Up keep the selection in sight; typed letters select the first
 *   item that begins with them, and Enter chooses it;
 * - an item far out of sight is chosen with the wheel and a click, and
 *   the click lands on that item.
 */
#include "MenuTestSupport.h"

#include "MenuMeasures.h"
#include "MenuPrivate.h"

#include <MenuField.h>
#include <PopUpMenu.h>

#include <math.h>
#include <stdio.h>

using namespace interface_test;
using namespace menu_test;
using BPrivate::MenuPlacement;
using BPrivate::kScrollArrowHeight;
using BPrivate::place_menu;

namespace {

const uint32 kMsgFamilyChosen = 'FMfc';
const int32 kFamilies = 300;
const int32 kMarked = 150;


class TallMenus : public FieldTest {
protected:
	void SetUp() override
	{
		Start(BRect(10, 120, 260, 10), "Font");
	}

	BPopUpMenu* MakeMenu() override
	{
		BPopUpMenu* menu = new BPopUpMenu("", true, true, B_ITEMS_IN_COLUMN);
		for (int32 i = 0; i < kFamilies; i++) {
			char label[32];
			if (i == 200)
				snprintf(label, sizeof(label), "Noto Sans");
			else if (i == 201)
				snprintf(label, sizeof(label), "Noto Serif");
			else
				snprintf(label, sizeof(label), "Family %03d", (int)i);
			menu->AddItem(new BMenuItem(label,
				new BMessage(kMsgFamilyChosen)));
		}
		menu->ItemAt(kMarked)->SetMarked(true);
		return menu;
	}

	// Opens the menu with a click on the field; its window.
	BWindow* Open()
	{
		fDriver.Click(fWindow->fField->MenuBar());
		return fDriver.MenuWindow(fWindow->fMenu);
	}

	float Scroll()
	{
		BWindow* window = fDriver.MenuWindow(fWindow->fMenu);
		if (window == NULL)
			return -1;
		WindowLocker locker(window);
		return fWindow->fMenu->Bounds().top;
	}

	int32 Selected()
	{
		WindowLocker locker(fWindow);
		return BMenu::Private(fWindow->fMenu).Selected();
	}

	// Whether the item lies whole in the part of the menu shown.
	bool InSight(int32 index)
	{
		BWindow* window = fDriver.MenuWindow(fWindow->fMenu);
		if (window == NULL)
			return false;
		WindowLocker locker(window);
		BRect shown = fWindow->fMenu->Bounds();
		BRect item = fWindow->fMenu->ItemAt(index)->Frame();
		return item.top >= shown.top && item.bottom <= shown.bottom;
	}

};

}	// namespace


TEST(MenuPlacing, FitsMovesOrScrolls)
{
	BRect screen(0, 0, 1279, 799);

	// Fits where it is: nothing changes.
	MenuPlacement placement = place_menu(BPoint(100, 100), 150, 300, true,
		screen);
	EXPECT_FALSE(placement.scrolls);
	EXPECT_EQ(placement.frame, BRect(100, 100, 250, 400));

	// Would cross the bottom: moved up whole, or, keeping its place,
	// scrolled with its items on the rows they would have had.
	placement = place_menu(BPoint(1200, 600), 150, 300, false, screen);
	EXPECT_FALSE(placement.scrolls);
	EXPECT_EQ(placement.frame, BRect(1129, 499, 1279, 799));
	placement = place_menu(BPoint(100, 600), 150, 300, true, screen);
	EXPECT_TRUE(placement.scrolls);
	EXPECT_EQ(placement.frame.top, 499);
	EXPECT_EQ(placement.frame.bottom, 799);
	EXPECT_EQ(placement.maxScroll, 300 - (300 - 2 * kScrollArrowHeight));
	EXPECT_EQ(placement.scroll, 0);

	// Above the screen's top, keeping its place: the item at row 0 of the
	// screen is the one that would have been there.
	placement = place_menu(BPoint(100, -2000), 150, 5000, true, screen);
	EXPECT_TRUE(placement.scrolls);
	EXPECT_EQ(placement.frame, BRect(100, 0, 250, 799));
	EXPECT_EQ(placement.scroll, 2000 + kScrollArrowHeight);
	EXPECT_EQ(placement.maxScroll, 5000 - (799 - 2 * kScrollArrowHeight));

	// Taller than the screen, from its top: the whole screen, from the
	// first item.
	placement = place_menu(BPoint(0, 0), 150, 5000, false, screen);
	EXPECT_TRUE(placement.scrolls);
	EXPECT_EQ(placement.frame, BRect(0, 0, 150, 799));
	EXPECT_EQ(placement.scroll, 0);

	// Near the bottom with its first item there: at least half a screen.
	placement = place_menu(BPoint(0, 780), 150, 5000, true, screen);
	EXPECT_TRUE(placement.scrolls);
	EXPECT_EQ(placement.frame.bottom, 799);
	EXPECT_GE(placement.frame.Height(), 399);
	EXPECT_EQ(placement.scroll, 0);

	// Never a negative range, whatever the sizes.
	placement = place_menu(BPoint(0, 790), 150, 20, true, screen);
	EXPECT_GE(placement.maxScroll, 0);
	EXPECT_TRUE(screen.Contains(placement.frame));
}


TEST_F(TallMenus, OpensOnTheScreenWithTheMarkedItemUnderThePointer)
{
	BPoint click;
	{
		WindowLocker locker(fWindow);
		BMenuBar* bar = fWindow->fField->MenuBar();
		BRect frame = bar->ConvertToScreen(bar->Bounds());
		click = BPoint(floorf((frame.left + frame.right) / 2),
			floorf((frame.top + frame.bottom) / 2));
	}
	BWindow* menuWindow = Open();
	ASSERT_NE(menuWindow, (BWindow*)NULL);
	EXPECT_EQ(Selected(), kMarked);
	EXPECT_TRUE(InSight(kMarked));
	WindowLocker locker(menuWindow);
	EXPECT_TRUE(BRect(0, 0, 1279, 799).Contains(menuWindow->Frame()));
	BRect marked = fWindow->fMenu->ConvertToScreen(
		fWindow->fMenu->ItemAt(kMarked)->Frame());
	EXPECT_TRUE(marked.Contains(click));
	// The menu's own height is far more than the window shows.
	float width;
	float height;
	fWindow->fMenu->GetPreferredSize(&width, &height);
	EXPECT_GT(height, menuWindow->Frame().Height() * 2);
}


TEST_F(TallMenus, WheelAndArrowsScroll)
{
	ASSERT_NE(Open(), (BWindow*)NULL);
	BWindow* menuWindow = fDriver.MenuWindow(fWindow->fMenu);
	float start = Scroll();
	float step;
	BRect frame;
	{
		WindowLocker locker(menuWindow);
		step = fWindow->fMenu->ItemAt(0)->Frame().Height() + 1;
		frame = menuWindow->Frame();
	}
	ASSERT_EQ(fDriver.ScrollWheel(menuWindow, 0, 2), B_OK);
	EXPECT_EQ(Scroll(), start + 2 * 3 * step);
	ASSERT_EQ(fDriver.ScrollWheel(menuWindow, 0, -1000), B_OK);
	EXPECT_EQ(Scroll(), 0);

	// Resting on the down arrow scrolls to the end, and no further.
	BPoint down(frame.Width() / 2, frame.Height() - kScrollArrowHeight / 2);
	ASSERT_EQ(fDriver.MoveMouse(menuWindow, down), B_OK);
	float end = kFamilies * step - 1;
	float shown;
	{
		WindowLocker locker(menuWindow);
		shown = fWindow->fMenu->Bounds().Height();
	}
	ASSERT_EQ(fDriver.WaitFor([&] { return Scroll() + shown >= end - 1; },
		"the menu to scroll to its end"), B_OK);
	EXPECT_TRUE(InSight(kFamilies - 1));

	// Off the arrow, it stays.
	ASSERT_EQ(fDriver.MoveMouse(menuWindow, BPoint(frame.Width() / 2,
		frame.Height() / 2)), B_OK);
	float rested = Scroll();
	ASSERT_EQ(fDriver.WaitForIdle(), B_OK);
	EXPECT_EQ(Scroll(), rested);

	ASSERT_EQ(fDriver.MoveMouse(menuWindow,
		BPoint(frame.Width() / 2, kScrollArrowHeight / 2)), B_OK);
	ASSERT_EQ(fDriver.WaitFor([&] { return Scroll() == 0; },
		"the menu to scroll to its start"), B_OK);
	EXPECT_TRUE(InSight(0));
	// Nothing was chosen on the way.
	EXPECT_TRUE(fJournal.Entries().empty());
}


TEST_F(TallMenus, KeyboardKeepsTheSelectionInSight)
{
	ASSERT_NE(Open(), (BWindow*)NULL);

	ASSERT_EQ(fDriver.PressKey(fWindow, B_END), B_OK);
	EXPECT_EQ(Selected(), kFamilies - 1);
	EXPECT_TRUE(InSight(kFamilies - 1));
	ASSERT_EQ(fDriver.PressKey(fWindow, B_HOME), B_OK);
	EXPECT_EQ(Selected(), 0);
	EXPECT_EQ(Scroll(), 0);

	ASSERT_EQ(fDriver.PressKey(fWindow, B_PAGE_DOWN), B_OK);
	int32 page = Selected();
	EXPECT_GT(page, 10);
	EXPECT_TRUE(InSight(page));
	ASSERT_EQ(fDriver.PressKey(fWindow, B_PAGE_DOWN), B_OK);
	EXPECT_EQ(Selected(), 2 * page);
	EXPECT_TRUE(InSight(2 * page));
	ASSERT_EQ(fDriver.PressKey(fWindow, B_PAGE_UP), B_OK);
	EXPECT_EQ(Selected(), page);

	// Down past the last row shown scrolls one item on.
	for (int32 i = 0; i < 3 * page; i++)
		ASSERT_EQ(fDriver.PressKey(fWindow, B_DOWN_ARROW), B_OK);
	EXPECT_EQ(Selected(), 4 * page);
	EXPECT_TRUE(InSight(4 * page));

	// Letters find the item that begins with them, however far.
	ASSERT_EQ(fDriver.TypeText(fWindow, "noto se"), B_OK);
	EXPECT_EQ(Selected(), 201);
	EXPECT_TRUE(InSight(201));
	// The same letter again and again steps through its items.
	ASSERT_EQ(fDriver.PressKey(fWindow, B_HOME), B_OK);
	ASSERT_EQ(fDriver.TypeText(fWindow, "n"), B_OK);
	EXPECT_EQ(Selected(), 200);
	ASSERT_EQ(fDriver.TypeText(fWindow, "n"), B_OK);
	EXPECT_EQ(Selected(), 201);
	// A letter that continues no label starts again from itself.
	ASSERT_EQ(fDriver.TypeText(fWindow, "f"), B_OK);
	EXPECT_EQ(Selected(), 202);
	// Nothing begins with this: the selection stays.
	ASSERT_EQ(fDriver.TypeText(fWindow, "q"), B_OK);
	EXPECT_EQ(Selected(), 202);
	ASSERT_EQ(fDriver.PressKey(fWindow, B_HOME), B_OK);
	ASSERT_EQ(fDriver.TypeText(fWindow, "Noto S"), B_OK);
	EXPECT_EQ(Selected(), 200);
	// Letters never choose in a menu that scrolls; Enter does.
	EXPECT_TRUE(fJournal.Entries().empty());
	ASSERT_EQ(fDriver.PressKey(fWindow, B_ENTER), B_OK);
	EXPECT_EQ(Shown(), "Noto Sans");
	EXPECT_EQ(fJournal.Entries(), (std::vector<std::string>{
		"window:FMfc" }));
}


TEST_F(TallMenus, FarItemIsChosenWithTheWheelAndAClick)
{
	ASSERT_EQ(fDriver.ChooseMenuFieldItem(fWindow->fField, "Family 297"),
		B_OK);
	EXPECT_EQ(Shown(), "Family 297");
	ASSERT_EQ(fDriver.ChooseMenuFieldItem(fWindow->fField, "Family 003"),
		B_OK);
	EXPECT_EQ(Shown(), "Family 003");
	EXPECT_EQ(fJournal.Entries(), (std::vector<std::string>{
		"window:FMfc", "window:FMfc" }));
	EXPECT_EQ(fDriver.MenuWindow(fWindow->fMenu), (BWindow*)NULL);
}
