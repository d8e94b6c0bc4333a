/*
 * A menu bar in a window, operated through the test driver:
 * - the bar's height for the 12 point font, known as soon as the bar is
 *   made;
 * - Command+key invokes the enabled item with that shortcut while the
 *   focus is in another view, before the key reaches it, also over the
 *   window's own editing shortcuts; Shift tells shortcuts apart; a
 *   disabled item's shortcut does nothing and types nothing;
 * - choosing by clicks: an item without a target reaches the window with
 *   "when", "source" and "index"; submenus open beside their item; a
 *   disabled item cannot be chosen; a radio item chosen is marked;
 *   MenusBeginning() and MenusEnded() come around it;
 * - a menu opens in a borderless menu window below its title;
 * - press, drag and release chooses; moving across the titles switches
 *   menus;
 * - the keyboard: Up and Down skip separators and disabled items, Right
 *   and Left move between titles and into and out of submenus, Enter
 *   chooses, Escape closes, and keys go to the menu while it is open and
 *   back to the focus view afterwards; F10 and Alt with a title's first
 *   letter open a menu, and a letter picks the item it begins (walking
 *   among several, never a disabled one); Alt with a letter no title
 *   has reaches the focus view;
 * - a click outside the menus closes them without choosing, and does not
 *   reach the view under it;
 * - a window closed with its menus open takes them along;
 * - the highlighted item's text stands out from its background at a
 *   contrast of at least 4.5:1, as drawn;
 * - menus opened from the keyboard (F10, Alt+letter, and the submenus
 *   and titles reached from there) underline the letters that pick
 *   their items and the bar's titles, as drawn; opened with the mouse
 *   they do not, and the bar's underlines go when the menus close.
 */
#include "MenuTestSupport.h"

#include "MenuMeasures.h"
#include "MenuPrivate.h"
#include "ServerProtocol.h"

#include <Font.h>

#include <math.h>

using namespace interface_test;
using namespace menu_test;

namespace {

class MenuTracking : public ::testing::Test {
protected:
	void SetUp() override
	{
		ASSERT_EQ(fDriver.Launch<TestApplication>(), B_OK);
		fWindow = new MenuTestWindow(fJournal);
		fWindow->Show();
		ASSERT_EQ(fDriver.WaitForIdle(), B_OK);
		fJournal.Clear();
	}

	// The middle of a title of the bar, in window coordinates.
	BPoint TitlePoint(int32 index)
	{
		WindowLocker locker(fWindow);
		BRect frame = fWindow->fBar->ConvertToWindow(
			fWindow->fBar->ItemAt(index)->Frame());
		return BPoint(floorf((frame.left + frame.right) / 2),
			floorf((frame.top + frame.bottom) / 2));
	}

	// The middle of an item of an open menu, in its window's coordinates.
	BPoint ItemPoint(BMenu* menu, int32 index)
	{
		WindowLocker locker(fWindow);
		BRect frame = menu->ItemAt(index)->Frame();
		return BPoint(floorf((frame.left + frame.right) / 2),
			floorf((frame.top + frame.bottom) / 2));
	}

	int32 Selected(BMenu* menu)
	{
		WindowLocker locker(fWindow);
		return BMenu::Private(menu).Selected();
	}

	int Count(const std::string& entry) { return fJournal.Count(entry); }

	// Read under the lock of the window the menu draws in.
	bool TriggersShown(BMenu* menu)
	{
		BWindow* shown = fDriver.MenuWindow(menu);
		WindowLocker locker(shown != NULL ? shown : fWindow);
		return BMenu::Private(menu).TriggersShown();
	}

	// How many pixels below the baseline of the item's first letter
	// differ clearly from the item's background: the underline's.
	int32 InkUnderFirstLetter(BWindow* window, BMenu* menu, int32 index)
	{
		BRect strip;
		BPoint corner;
		{
			BWindow* shown = fDriver.MenuWindow(menu);
			WindowLocker locker(shown != NULL ? shown : fWindow);
			BMenuItem* item = menu->ItemAt(index);
			font_height height;
			menu->GetFontHeight(&height);
			bool bar = dynamic_cast<BMenuBar*>(menu) != NULL;
			BPoint where = item->Frame().LeftTop() + BPoint(bar
				? BPrivate::kBarItemHPadding : BPrivate::kColumnLeftSpace,
				BPrivate::kMenuItemVPadding);
			float baseline = where.y + ceilf(height.ascent);
			char letter[2] = { item->Label()[0], '\0' };
			strip = menu->ConvertToWindow(BRect(where.x, baseline + 1,
				where.x + menu->StringWidth(letter) - 1,
				item->Frame().bottom - 1));
			corner = menu->ConvertToWindow(item->Frame().LeftTop()
				+ BPoint(1, 1));
		}
		rgb_color background;
		std::vector<rgb_color> pixels;
		if (fDriver.GetPixel(window, corner, &background) != B_OK
			|| fDriver.GetPixels(window, strip, &pixels) != B_OK) {
			ADD_FAILURE() << "no pixels";
			return -1;
		}
		int32 ink = 0;
		for (const rgb_color& pixel : pixels) {
			int difference = abs(pixel.red - background.red)
				+ abs(pixel.green - background.green)
				+ abs(pixel.blue - background.blue);
			if (difference > 180)
				ink++;
		}
		return ink;
	}

	Journal fJournal;
	TestDriver fDriver;
	MenuTestWindow* fWindow = NULL;
};


bool
has(const std::vector<std::string>& entries, const std::string& entry)
{
	return std::find(entries.begin(), entries.end(), entry) != entries.end();
}

}	// namespace


TEST_F(MenuTracking, BarHeightFitsTheTwelvePointFont)
{
	WindowLocker locker(fWindow);
	BMenuBar* bar = fWindow->fBar;
	font_height height;
	bar->GetFontHeight(&height);
	EXPECT_EQ(bar->Frame().top, 0);
	// The font's line, two pixels of padding above and below, and the
	// bar's border lines: 20 pixels for the pinned 12 point font.
	EXPECT_EQ(bar->Bounds().Height(),
		ceilf(height.ascent + height.descent) + 5);
	EXPECT_EQ(bar->Bounds().Height(), 19);
	EXPECT_EQ(bar->Bounds().Width(), fWindow->Bounds().Width());
	EXPECT_EQ(fWindow->KeyMenuBar(), bar);

	// A bar knows its height before it is in a window or has items, as
	// the document window's layout needs.
	BMenuBar loose(BRect(0, 0, 300, 100), "loose");
	EXPECT_EQ(loose.Bounds().Height(), 19);
	EXPECT_EQ(loose.Bounds().Width(), 300);
}


TEST_F(MenuTracking, ShortcutsBeatTheFocusView)
{
	ASSERT_EQ(fDriver.PressKey(fWindow, 's', B_COMMAND_KEY), B_OK);
	EXPECT_EQ(fJournal.Entries(), (std::vector<std::string>{
		"window:FFsv" }));
	std::vector<BMessage> messages = fWindow->Messages();
	ASSERT_EQ(messages.size(), 1u);
	EXPECT_TRUE(messages[0].HasInt64("when"));
	EXPECT_EQ(messages[0].GetInt32("index", -1), 1);
	void* source = NULL;
	EXPECT_EQ(messages[0].FindPointer("source", &source), B_OK);
	EXPECT_EQ(source, fWindow->fSave);

	// Cut has the focus view as its target and is found before the
	// window's own Command+X.
	fJournal.Clear();
	ASSERT_EQ(fDriver.PressKey(fWindow, 'x', B_COMMAND_KEY), B_OK);
	EXPECT_EQ(fJournal.Entries(), (std::vector<std::string>{
		"content:CCUT" }));

	// A key without a shortcut still reaches the focus view.
	fJournal.Clear();
	ASSERT_EQ(fDriver.PressKey(fWindow, 'j', B_COMMAND_KEY), B_OK);
	EXPECT_EQ(fJournal.Entries(), (std::vector<std::string>{
		"content:KeyDown j" }));
}


TEST_F(MenuTracking, ShiftTellsShortcutsApart)
{
	ASSERT_EQ(fDriver.PressKey(fWindow, 's', B_COMMAND_KEY | B_SHIFT_KEY),
		B_OK);
	ASSERT_EQ(fDriver.PressKey(fWindow, 's', B_COMMAND_KEY), B_OK);
	EXPECT_EQ(fJournal.Entries(), (std::vector<std::string>{
		"window:FFsa", "window:FFsv" }));
}


TEST_F(MenuTracking, DisabledItemShortcutDoesNothing)
{
	ASSERT_EQ(fDriver.PressKey(fWindow, 'p', B_COMMAND_KEY), B_OK);
	EXPECT_TRUE(fJournal.Entries().empty());

	// Nor does the shortcut of an item in a disabled menu.
	{
		WindowLocker locker(fWindow);
		fWindow->fFile->SetEnabled(false);
	}
	ASSERT_EQ(fDriver.PressKey(fWindow, 's', B_COMMAND_KEY), B_OK);
	EXPECT_TRUE(fJournal.Entries().empty());

	{
		WindowLocker locker(fWindow);
		fWindow->fFile->SetEnabled(true);
		fWindow->fPrint->SetEnabled(true);
	}
	ASSERT_EQ(fDriver.PressKey(fWindow, 'p', B_COMMAND_KEY), B_OK);
	EXPECT_EQ(fJournal.Entries(), (std::vector<std::string>{
		"window:FFpr" }));
}


TEST_F(MenuTracking, ChoosingByClicks)
{
	EXPECT_TRUE(fDriver.IsMenuItemEnabled(fWindow, "File/Save As..."));
	EXPECT_FALSE(fDriver.IsMenuItemEnabled(fWindow, "File/Print..."));
	ASSERT_EQ(fDriver.ChooseMenuItem(fWindow, "File/Save As..."), B_OK);
	EXPECT_EQ(fJournal.Entries(), (std::vector<std::string>{
		"window:MenusBeginning", "window:MenusEnded", "window:FFsa" }));
	std::vector<BMessage> messages = fWindow->Messages();
	ASSERT_EQ(messages.size(), 1u);
	EXPECT_EQ(messages[0].GetInt32("index", -1), 2);
	EXPECT_TRUE(messages[0].HasInt64("when"));
	EXPECT_EQ(fDriver.MenuWindow(fWindow->fFile), (BWindow*)NULL);

	// Through a submenu, which opens when the pointer rests on its item.
	fJournal.Clear();
	ASSERT_EQ(fDriver.ChooseMenuItem(fWindow, "Edit/More/Deep"), B_OK);
	EXPECT_EQ(Count("window:EDdp"), 1);
	EXPECT_EQ(fDriver.MenuWindow(fWindow->fMore), (BWindow*)NULL);

	// A disabled item is not chosen, and the menus close again.
	fJournal.Clear();
	EXPECT_EQ(fDriver.ChooseMenuItem(fWindow, "File/Print..."),
		B_NOT_ALLOWED);
	EXPECT_EQ(Count("window:FFpr"), 0);
	EXPECT_EQ(fDriver.MenuWindow(fWindow->fFile), (BWindow*)NULL);

	// A radio item chosen becomes the marked one.
	ASSERT_EQ(fDriver.ChooseMenuItem(fWindow, "View/Large"), B_OK);
	EXPECT_TRUE(fDriver.IsMenuItemMarked(fWindow, "View/Large"));
	ASSERT_EQ(fDriver.ChooseMenuItem(fWindow, "View/Small"), B_OK);
	EXPECT_TRUE(fDriver.IsMenuItemMarked(fWindow, "View/Small"));
	EXPECT_FALSE(fDriver.IsMenuItemMarked(fWindow, "View/Large"));
}


TEST_F(MenuTracking, MenuOpensInItsOwnWindowBelowTheTitle)
{
	ASSERT_EQ(fDriver.Click(fWindow, TitlePoint(1)), B_OK);
	BWindow* menuWindow = fDriver.MenuWindow(fWindow->fEdit);
	ASSERT_NE(menuWindow, (BWindow*)NULL);
	EXPECT_TRUE(has(fJournal.Entries(), "window:MenusBeginning"));
	EXPECT_EQ(Selected(fWindow->fBar), 1);
	{
		WindowLocker locker(fWindow);
		BRect title = fWindow->fBar->ConvertToScreen(
			fWindow->fBar->ItemAt(1)->Frame());
		BRect bar = fWindow->fBar->ConvertToScreen(
			fWindow->fBar->Bounds());
		WindowLocker menuLocker(menuWindow);
		EXPECT_EQ(menuWindow->Frame().left, title.left);
		EXPECT_EQ(menuWindow->Frame().top, bar.bottom + 1);
		EXPECT_EQ(menuWindow->Look(), B_NO_BORDER_WINDOW_LOOK);
		EXPECT_EQ((uint32)menuWindow->Feel(), BPrivate::kMenuWindowFeel);
		// The owner keeps the keyboard.
		EXPECT_FALSE(menuWindow->IsActive());
	}
	EXPECT_TRUE(fWindow->IsActive());

	// The submenu opens beside its item.
	ASSERT_EQ(fDriver.MoveMouse(menuWindow, ItemPoint(fWindow->fEdit, 1)),
		B_OK);
	BWindow* subWindow = fDriver.MenuWindow(fWindow->fMore);
	ASSERT_NE(subWindow, (BWindow*)NULL);
	{
		WindowLocker locker(fWindow);
		BRect item = fWindow->fEdit->ConvertToScreen(
			fWindow->fEdit->ItemAt(1)->Frame());
		EXPECT_EQ(subWindow->Frame().left, menuWindow->Frame().right + 1);
		EXPECT_EQ(subWindow->Frame().top, item.top - 1);
	}
	// Escape closes the submenu, then the menu.
	ASSERT_EQ(fDriver.PressKey(fWindow, B_ESCAPE), B_OK);
	EXPECT_EQ(fDriver.MenuWindow(fWindow->fMore), (BWindow*)NULL);
	EXPECT_NE(fDriver.MenuWindow(fWindow->fEdit), (BWindow*)NULL);
	ASSERT_EQ(fDriver.PressKey(fWindow, B_ESCAPE), B_OK);
	EXPECT_EQ(fDriver.MenuWindow(fWindow->fEdit), (BWindow*)NULL);
	EXPECT_EQ(Selected(fWindow->fBar), -1);
	EXPECT_EQ(Count("window:MenusEnded"), 1);
}


TEST_F(MenuTracking, PressDragAndRelease)
{
	ASSERT_EQ(fDriver.MoveMouse(fWindow, TitlePoint(0)), B_OK);
	ASSERT_EQ(fDriver.MouseDown(fWindow, TitlePoint(0)), B_OK);
	BWindow* menuWindow = fDriver.MenuWindow(fWindow->fFile);
	ASSERT_NE(menuWindow, (BWindow*)NULL);
	ASSERT_EQ(fDriver.MoveMouse(menuWindow, ItemPoint(fWindow->fFile, 0),
		B_PRIMARY_MOUSE_BUTTON), B_OK);
	EXPECT_EQ(Selected(fWindow->fFile), 0);
	ASSERT_EQ(fDriver.MoveMouse(menuWindow, ItemPoint(fWindow->fFile, 1),
		B_PRIMARY_MOUSE_BUTTON), B_OK);
	EXPECT_EQ(Selected(fWindow->fFile), 1);
	ASSERT_EQ(fDriver.MouseUp(menuWindow, ItemPoint(fWindow->fFile, 1)),
		B_OK);
	EXPECT_EQ(Count("window:FFsv"), 1);
	EXPECT_EQ(fDriver.MenuWindow(fWindow->fFile), (BWindow*)NULL);
}


TEST_F(MenuTracking, MovingAcrossTitlesSwitchesMenus)
{
	ASSERT_EQ(fDriver.Click(fWindow, TitlePoint(0)), B_OK);
	EXPECT_NE(fDriver.MenuWindow(fWindow->fFile), (BWindow*)NULL);
	ASSERT_EQ(fDriver.MoveMouse(fWindow, TitlePoint(2)), B_OK);
	EXPECT_EQ(fDriver.MenuWindow(fWindow->fFile), (BWindow*)NULL);
	EXPECT_NE(fDriver.MenuWindow(fWindow->fView), (BWindow*)NULL);
	EXPECT_EQ(Selected(fWindow->fBar), 2);

	// A click on the open title closes it.
	ASSERT_EQ(fDriver.Click(fWindow, TitlePoint(2)), B_OK);
	EXPECT_EQ(fDriver.MenuWindow(fWindow->fView), (BWindow*)NULL);
	EXPECT_EQ(Count("window:MenusBeginning"), 1);
	EXPECT_EQ(Count("window:MenusEnded"), 1);
}


TEST_F(MenuTracking, KeyboardNavigation)
{
	ASSERT_EQ(fDriver.Click(fWindow, TitlePoint(0)), B_OK);
	ASSERT_NE(fDriver.MenuWindow(fWindow->fFile), (BWindow*)NULL);
	EXPECT_EQ(Selected(fWindow->fFile), -1);

	ASSERT_EQ(fDriver.PressKey(fWindow, B_DOWN_ARROW), B_OK);
	EXPECT_EQ(Selected(fWindow->fFile), 0);
	ASSERT_EQ(fDriver.PressKey(fWindow, B_DOWN_ARROW), B_OK);
	ASSERT_EQ(fDriver.PressKey(fWindow, B_DOWN_ARROW), B_OK);
	EXPECT_EQ(Selected(fWindow->fFile), 2);
	// The separator and the disabled Print... are skipped.
	ASSERT_EQ(fDriver.PressKey(fWindow, B_DOWN_ARROW), B_OK);
	EXPECT_EQ(Selected(fWindow->fFile), 5);
	// And the walk wraps around.
	ASSERT_EQ(fDriver.PressKey(fWindow, B_DOWN_ARROW), B_OK);
	EXPECT_EQ(Selected(fWindow->fFile), 0);
	ASSERT_EQ(fDriver.PressKey(fWindow, B_UP_ARROW), B_OK);
	EXPECT_EQ(Selected(fWindow->fFile), 5);

	// Typing while the menu is open does not reach the focus view.
	ASSERT_EQ(fDriver.TypeText(fWindow, "q"), B_OK);
	EXPECT_EQ(Count("content:KeyDown q"), 0);

	// Right moves to the next title, whose first item is selected.
	ASSERT_EQ(fDriver.PressKey(fWindow, B_RIGHT_ARROW), B_OK);
	EXPECT_EQ(fDriver.MenuWindow(fWindow->fFile), (BWindow*)NULL);
	ASSERT_NE(fDriver.MenuWindow(fWindow->fEdit), (BWindow*)NULL);
	EXPECT_EQ(Selected(fWindow->fBar), 1);
	EXPECT_EQ(Selected(fWindow->fEdit), 0);

	// Right on an item with a submenu enters it; Left leaves it.
	ASSERT_EQ(fDriver.PressKey(fWindow, B_DOWN_ARROW), B_OK);
	ASSERT_EQ(fDriver.PressKey(fWindow, B_RIGHT_ARROW), B_OK);
	ASSERT_NE(fDriver.MenuWindow(fWindow->fMore), (BWindow*)NULL);
	EXPECT_EQ(Selected(fWindow->fMore), 0);
	ASSERT_EQ(fDriver.PressKey(fWindow, B_LEFT_ARROW), B_OK);
	EXPECT_EQ(fDriver.MenuWindow(fWindow->fMore), (BWindow*)NULL);
	EXPECT_NE(fDriver.MenuWindow(fWindow->fEdit), (BWindow*)NULL);

	// Left at the top level moves to the previous title.
	ASSERT_EQ(fDriver.PressKey(fWindow, B_LEFT_ARROW), B_OK);
	ASSERT_NE(fDriver.MenuWindow(fWindow->fFile), (BWindow*)NULL);
	EXPECT_EQ(Selected(fWindow->fBar), 0);

	// Enter chooses.
	EXPECT_EQ(Selected(fWindow->fFile), 0);
	ASSERT_EQ(fDriver.PressKey(fWindow, B_DOWN_ARROW), B_OK);
	ASSERT_EQ(fDriver.PressKey(fWindow, B_ENTER), B_OK);
	EXPECT_EQ(Count("window:FFsv"), 1);
	EXPECT_EQ(fDriver.MenuWindow(fWindow->fFile), (BWindow*)NULL);

	// With the menus closed, keys reach the focus view again.
	ASSERT_EQ(fDriver.TypeText(fWindow, "z"), B_OK);
	EXPECT_EQ(Count("content:KeyDown z"), 1);
}


TEST_F(MenuTracking, ClickOutsideClosesWithoutChoosing)
{
	ASSERT_EQ(fDriver.Click(fWindow, TitlePoint(0)), B_OK);
	BWindow* menuWindow = fDriver.MenuWindow(fWindow->fFile);
	ASSERT_NE(menuWindow, (BWindow*)NULL);
	ASSERT_EQ(fDriver.MoveMouse(menuWindow, ItemPoint(fWindow->fFile, 1)),
		B_OK);
	EXPECT_EQ(Selected(fWindow->fFile), 1);
	fJournal.Clear();

	// A click in the content area, far from the menu.
	ASSERT_EQ(fDriver.Click(fWindow, BPoint(350, 250)), B_OK);
	EXPECT_EQ(fDriver.MenuWindow(fWindow->fFile), (BWindow*)NULL);
	std::vector<std::string> entries = fJournal.Entries();
	EXPECT_TRUE(has(entries, "window:MenusEnded"));
	EXPECT_FALSE(has(entries, "window:FFsv"));
	EXPECT_FALSE(has(entries, "content:MouseDown"));
	EXPECT_FALSE(has(entries, "content:MouseUp"));
	EXPECT_TRUE(fWindow->Messages().empty());

	// The next click reaches the view as usual.
	fJournal.Clear();
	ASSERT_EQ(fDriver.Click(fWindow, BPoint(350, 250)), B_OK);
	entries = fJournal.Entries();
	EXPECT_TRUE(has(entries, "content:MouseDown"));
	EXPECT_TRUE(has(entries, "content:MouseUp"));
}


TEST_F(MenuTracking, WindowClosingWithAMenuOpen)
{
	ASSERT_EQ(fDriver.Click(fWindow, TitlePoint(1)), B_OK);
	BWindow* menuWindow = fDriver.MenuWindow(fWindow->fEdit);
	ASSERT_NE(menuWindow, (BWindow*)NULL);
	ASSERT_EQ(fDriver.MoveMouse(menuWindow, ItemPoint(fWindow->fEdit, 1)),
		B_OK);
	ASSERT_NE(fDriver.MenuWindow(fWindow->fMore), (BWindow*)NULL);
	EXPECT_EQ(fDriver.CountWindows(), 3);

	// The owner goes, and its menus with it, without choosing anything.
	ASSERT_EQ(fDriver.CloseWindow(fWindow), B_OK);
	ASSERT_EQ(fDriver.WaitFor([&] { return fDriver.CountWindows() == 0; },
		"every window to close"), B_OK);
	EXPECT_EQ(Count("content:CCUT"), 0);
	EXPECT_EQ(Count("window:EDdp"), 0);
	fWindow = NULL;
}


TEST_F(MenuTracking, KeyboardOpensMenusAndLettersPickItems)
{
	// F10 opens the first menu with its first item selected.
	ASSERT_EQ(fDriver.PressFunctionKey(fWindow, 10), B_OK);
	ASSERT_NE(fDriver.MenuWindow(fWindow->fFile), (BWindow*)NULL);
	EXPECT_EQ(Selected(fWindow->fBar), 0);
	EXPECT_EQ(Selected(fWindow->fFile), 0);
	EXPECT_EQ(Count("window:MenusBeginning"), 1);

	// Two items begin with s: the letter walks between them.
	ASSERT_EQ(fDriver.PressKey(fWindow, 's'), B_OK);
	EXPECT_EQ(Selected(fWindow->fFile), 1);
	ASSERT_EQ(fDriver.PressKey(fWindow, 's'), B_OK);
	EXPECT_EQ(Selected(fWindow->fFile), 2);
	ASSERT_EQ(fDriver.PressKey(fWindow, 's'), B_OK);
	EXPECT_EQ(Selected(fWindow->fFile), 1);
	// Print... is disabled: its letter does nothing.
	ASSERT_EQ(fDriver.PressKey(fWindow, 'p'), B_OK);
	EXPECT_EQ(Selected(fWindow->fFile), 1);
	EXPECT_EQ(Count("window:FFpr"), 0);
	// One item begins with c: the letter chooses it.
	ASSERT_EQ(fDriver.PressKey(fWindow, 'c'), B_OK);
	EXPECT_EQ(Count("window:FFcl"), 1);
	EXPECT_EQ(fDriver.MenuWindow(fWindow->fFile), (BWindow*)NULL);
	EXPECT_EQ(Count("window:MenusEnded"), 1);

	// Alt+E opens Edit; m opens the submenu, d chooses in it.
	ASSERT_EQ(fDriver.PressKey(fWindow, 'e', B_OPTION_KEY), B_OK);
	ASSERT_NE(fDriver.MenuWindow(fWindow->fEdit), (BWindow*)NULL);
	EXPECT_EQ(Count("content:KeyDown e"), 0);
	ASSERT_EQ(fDriver.PressKey(fWindow, 'm'), B_OK);
	ASSERT_NE(fDriver.MenuWindow(fWindow->fMore), (BWindow*)NULL);
	EXPECT_EQ(Selected(fWindow->fMore), 0);
	ASSERT_EQ(fDriver.PressKey(fWindow, 'd'), B_OK);
	EXPECT_EQ(Count("window:EDdp"), 1);
	EXPECT_EQ(fDriver.MenuWindow(fWindow->fEdit), (BWindow*)NULL);

	// Alt with a letter no title begins with is the focus view's.
	ASSERT_EQ(fDriver.PressKey(fWindow, 'q', B_OPTION_KEY), B_OK);
	EXPECT_EQ(Count("content:KeyDown q"), 1);
	EXPECT_EQ(fDriver.MenuWindow(fWindow->fFile), (BWindow*)NULL);
}


namespace {

// The relative luminance of a colour on the screen (sRGB).
double
luminance(rgb_color color)
{
	auto linear = [](uint8 value) {
		double c = value / 255.0;
		return c <= 0.04045 ? c / 12.92 : pow((c + 0.055) / 1.055, 2.4);
	};
	return 0.2126 * linear(color.red) + 0.7152 * linear(color.green)
		+ 0.0722 * linear(color.blue);
}

}	// namespace


TEST_F(MenuTracking, HighlightedItemIsReadable)
{
	ASSERT_EQ(fDriver.Click(fWindow, TitlePoint(0)), B_OK);
	ASSERT_EQ(fDriver.PressKey(fWindow, B_DOWN_ARROW), B_OK);
	ASSERT_EQ(Selected(fWindow->fFile), 0);
	BWindow* menuWindow = fDriver.MenuWindow(fWindow->fFile);
	ASSERT_NE(menuWindow, (BWindow*)NULL);
	BRect item;
	{
		WindowLocker locker(fWindow);
		item = fWindow->fFile->ItemAt(0)->Frame();
	}
	std::vector<rgb_color> pixels;
	ASSERT_EQ(fDriver.GetPixels(menuWindow, item, &pixels), B_OK);
	ASSERT_FALSE(pixels.empty());

	// The background fills the item's corner; the text's core is the
	// pixel that differs most from it.
	double background = luminance(pixels[0]);
	double text = background;
	for (const rgb_color& pixel : pixels) {
		double own = luminance(pixel);
		if (fabs(own - background) > fabs(text - background))
			text = own;
	}
	double contrast = (std::max(text, background) + 0.05)
		/ (std::min(text, background) + 0.05);
	EXPECT_GE(contrast, 4.5);
}


TEST_F(MenuTracking, KeyboardOpenedMenusUnderlineTheirTriggers)
{
	// With the mouse: nothing underlined.
	ASSERT_EQ(fDriver.Click(fWindow, TitlePoint(0)), B_OK);
	BWindow* menuWindow = fDriver.MenuWindow(fWindow->fFile);
	ASSERT_NE(menuWindow, (BWindow*)NULL);
	EXPECT_FALSE(TriggersShown(fWindow->fBar));
	EXPECT_FALSE(TriggersShown(fWindow->fFile));
	EXPECT_EQ(InkUnderFirstLetter(fWindow, fWindow->fBar, 0), 0);
	EXPECT_EQ(InkUnderFirstLetter(menuWindow, fWindow->fFile, 1), 0);
	ASSERT_EQ(fDriver.PressKey(fWindow, B_ESCAPE), B_OK);
	ASSERT_EQ(fDriver.MenuWindow(fWindow->fFile), (BWindow*)NULL);

	// F10: the bar's titles and the menu's items are underlined.
	ASSERT_EQ(fDriver.PressFunctionKey(fWindow, 10), B_OK);
	menuWindow = fDriver.MenuWindow(fWindow->fFile);
	ASSERT_NE(menuWindow, (BWindow*)NULL);
	EXPECT_TRUE(TriggersShown(fWindow->fBar));
	EXPECT_TRUE(TriggersShown(fWindow->fFile));
	EXPECT_GT(InkUnderFirstLetter(fWindow, fWindow->fBar, 0), 2);
	EXPECT_GT(InkUnderFirstLetter(fWindow, fWindow->fBar, 1), 2);
	EXPECT_GT(InkUnderFirstLetter(menuWindow, fWindow->fFile, 1), 2);
	// Moving to the next title keeps them.
	ASSERT_EQ(fDriver.PressKey(fWindow, B_RIGHT_ARROW), B_OK);
	EXPECT_TRUE(TriggersShown(fWindow->fEdit));
	ASSERT_EQ(fDriver.PressKey(fWindow, B_ESCAPE), B_OK);
	EXPECT_FALSE(TriggersShown(fWindow->fBar));
	EXPECT_EQ(InkUnderFirstLetter(fWindow, fWindow->fBar, 0), 0);

	// Alt+E, then the submenu by its letter: underlined too.
	ASSERT_EQ(fDriver.PressKey(fWindow, 'e', B_OPTION_KEY), B_OK);
	ASSERT_EQ(fDriver.PressKey(fWindow, 'm'), B_OK);
	BWindow* moreWindow = fDriver.MenuWindow(fWindow->fMore);
	ASSERT_NE(moreWindow, (BWindow*)NULL);
	EXPECT_TRUE(TriggersShown(fWindow->fMore));
	EXPECT_GT(InkUnderFirstLetter(moreWindow, fWindow->fMore, 0), 2);
	ASSERT_EQ(fDriver.PressKey(fWindow, 'd'), B_OK);
	EXPECT_EQ(Count("window:EDdp"), 1);
	EXPECT_FALSE(TriggersShown(fWindow->fBar));

	// The same menus opened with the mouse afterwards are plain again.
	ASSERT_EQ(fDriver.Click(fWindow, TitlePoint(1)), B_OK);
	ASSERT_NE(fDriver.MenuWindow(fWindow->fEdit), (BWindow*)NULL);
	EXPECT_FALSE(TriggersShown(fWindow->fEdit));
	EXPECT_FALSE(TriggersShown(fWindow->fBar));
	ASSERT_EQ(fDriver.PressKey(fWindow, B_ESCAPE), B_OK);
}
