/*
 * Menus and items without a window:
 * - FindItem by command code and by label, in submenus too, and what it
 *   finds when nothing matches;
 * - adding at an index, refusing bad indexes and items that belong to a
 *   menu already, removing, IndexOf, SubmenuAt, Superitem, Supermenu;
 * - radio mode keeps one item marked; label from marked makes the
 *   superitem's label follow SetMarked;
 * - a disabled menu disables its items and its superitem;
 * - shortcuts always carry Command;
 * - Invoke refuses a disabled item and one with nowhere to go.
 */
#include <Menu.h>
#include <MenuItem.h>
#include <Message.h>
#include <PopUpMenu.h>

#include <gtest/gtest.h>

namespace {

BMenu*
file_menu(BMenuItem** _saveAs, BMenuItem** _deep)
{
	BMenu* menu = new BMenu("File");
	menu->AddItem(new BMenuItem("Open", new BMessage('FFop'), 'O'));
	menu->AddSeparatorItem();
	menu->AddItem(*_saveAs = new BMenuItem("Save As...",
		new BMessage('FFsa')));
	BMenu* recent = new BMenu("Recent");
	recent->AddItem(new BMenuItem("a.txt", new BMessage('FRa_')));
	BMenu* older = new BMenu("Older");
	older->AddItem(*_deep = new BMenuItem("old.txt", new BMessage('FRo_')));
	recent->AddItem(older);
	menu->AddItem(recent);
	return menu;
}

}	// namespace


TEST(MenuItemsTest, FindItemByCodeAndByLabel)
{
	BMenuItem* saveAs;
	BMenuItem* deep;
	BMenu* menu = file_menu(&saveAs, &deep);

	EXPECT_EQ(menu->FindItem('FFsa'), saveAs);
	EXPECT_EQ(menu->FindItem("Save As..."), saveAs);
	// Two levels of submenus down.
	EXPECT_EQ(menu->FindItem('FRo_'), deep);
	EXPECT_EQ(menu->FindItem("old.txt"), deep);
	// A submenu's own item is found by its label.
	EXPECT_EQ(menu->FindItem("Older")->Submenu(), deep->Menu());

	EXPECT_EQ(menu->FindItem('none'), (BMenuItem*)NULL);
	EXPECT_EQ(menu->FindItem("Save As"), (BMenuItem*)NULL);
	EXPECT_EQ(menu->FindItem((const char*)NULL), (BMenuItem*)NULL);
	// A separator has no message: code 0 finds nothing.
	EXPECT_EQ(menu->FindItem((uint32)0), (BMenuItem*)NULL);
	delete menu;
}


TEST(MenuItemsTest, ItemsAndTheirPlaces)
{
	BMenu menu("Edit");
	BMenuItem* cut = new BMenuItem("Cut", new BMessage(B_CUT), 'X');
	BMenuItem* paste = new BMenuItem("Paste", new BMessage(B_PASTE), 'V');
	BMenuItem* copy = new BMenuItem("Copy", new BMessage(B_COPY), 'C');
	EXPECT_TRUE(menu.AddItem(cut));
	EXPECT_TRUE(menu.AddItem(paste));
	EXPECT_TRUE(menu.AddItem(copy, 1));
	EXPECT_EQ(menu.CountItems(), 3);
	EXPECT_EQ(menu.ItemAt(1), copy);
	EXPECT_EQ(menu.IndexOf(paste), 2);
	EXPECT_EQ(copy->Menu(), &menu);

	// Bad indexes and items that have a menu already are refused.
	BMenuItem* loose = new BMenuItem("Loose", NULL);
	EXPECT_FALSE(menu.AddItem(loose, 5));
	EXPECT_FALSE(menu.AddItem(loose, -1));
	EXPECT_FALSE(menu.AddItem(cut));
	EXPECT_FALSE(menu.AddItem((BMenuItem*)NULL));
	EXPECT_EQ(menu.ItemAt(3), (BMenuItem*)NULL);
	EXPECT_EQ(menu.ItemAt(-1), (BMenuItem*)NULL);

	BMenu* submenu = new BMenu("More");
	EXPECT_TRUE(menu.AddItem(submenu, 0));
	EXPECT_EQ(menu.SubmenuAt(0), submenu);
	EXPECT_EQ(menu.IndexOf(submenu), 0);
	EXPECT_EQ(submenu->Supermenu(), &menu);
	EXPECT_STREQ(submenu->Superitem()->Label(), "More");
	EXPECT_EQ(submenu->Superitem()->Submenu(), submenu);
	EXPECT_EQ(menu.Supermenu(), (BMenu*)NULL);
	EXPECT_EQ(menu.Superitem(), (BMenuItem*)NULL);

	// Removed items and submenus belong to the caller again.
	EXPECT_EQ(menu.RemoveItem(2), copy);
	EXPECT_EQ(copy->Menu(), (BMenu*)NULL);
	EXPECT_TRUE(menu.AddItem(loose));
	EXPECT_TRUE(menu.RemoveItem(submenu));
	EXPECT_EQ(submenu->Supermenu(), (BMenu*)NULL);
	EXPECT_EQ(submenu->Superitem(), (BMenuItem*)NULL);
	EXPECT_FALSE(menu.RemoveItem(submenu));
	EXPECT_EQ(menu.CountItems(), 3);
	EXPECT_EQ(menu.RemoveItem(7), (BMenuItem*)NULL);
	EXPECT_FALSE(menu.RemoveItems(1, 5));
	EXPECT_TRUE(menu.RemoveItems(1, 2, true));
	EXPECT_EQ(menu.CountItems(), 1);
	delete copy;
	delete submenu;

	// An item deleted while in a menu leaves it.
	delete cut;
	EXPECT_EQ(menu.CountItems(), 0);
}


TEST(MenuItemsTest, RadioModeAndLabelFromMarked)
{
	BMenu top("top");
	BPopUpMenu* sizes = new BPopUpMenu("");
	EXPECT_TRUE(sizes->IsRadioMode());
	EXPECT_TRUE(sizes->IsLabelFromMarked());
	BMenuItem* small = new BMenuItem("10", new BMessage('SZsm'));
	BMenuItem* large = new BMenuItem("12", new BMessage('SZlg'));
	sizes->AddItem(small);
	sizes->AddItem(large);
	top.AddItem(sizes);
	BMenuItem* superitem = sizes->Superitem();
	// The menu's empty name is the label until an item is marked.
	EXPECT_STREQ(superitem->Label(), "");
	EXPECT_EQ(sizes->FindMarked(), (BMenuItem*)NULL);
	EXPECT_EQ(sizes->FindMarkedIndex(), -1);

	small->SetMarked(true);
	EXPECT_STREQ(superitem->Label(), "10");
	large->SetMarked(true);
	EXPECT_FALSE(small->IsMarked());
	EXPECT_EQ(sizes->FindMarked(), large);
	EXPECT_EQ(sizes->FindMarkedIndex(), 1);
	EXPECT_STREQ(superitem->Label(), "12");

	// Unmarking leaves the label as it was.
	large->SetMarked(false);
	EXPECT_EQ(sizes->FindMarked(), (BMenuItem*)NULL);
	EXPECT_STREQ(superitem->Label(), "12");

	// Without radio mode several items may be marked.
	BMenu checks("checks");
	BMenuItem* a = new BMenuItem("a", NULL);
	BMenuItem* b = new BMenuItem("b", NULL);
	checks.AddItem(a);
	checks.AddItem(b);
	a->SetMarked(true);
	b->SetMarked(true);
	EXPECT_TRUE(a->IsMarked());
	EXPECT_TRUE(b->IsMarked());
	// Turning radio mode on keeps only the first.
	checks.SetRadioMode(true);
	EXPECT_TRUE(a->IsMarked());
	EXPECT_FALSE(b->IsMarked());
}


TEST(MenuItemsTest, EnabledFollowsTheMenus)
{
	BMenu top("top");
	BMenu* file = new BMenu("File");
	BMenuItem* save = new BMenuItem("Save", new BMessage('FFsv'), 'S');
	file->AddItem(save);
	top.AddItem(file);
	EXPECT_TRUE(save->IsEnabled());

	file->SetEnabled(false);
	EXPECT_FALSE(file->IsEnabled());
	EXPECT_FALSE(save->IsEnabled());
	EXPECT_FALSE(file->Superitem()->IsEnabled());
	file->SetEnabled(true);
	EXPECT_TRUE(save->IsEnabled());

	// Disabling the superitem disables its menu.
	file->Superitem()->SetEnabled(false);
	EXPECT_FALSE(file->IsEnabled());
	EXPECT_FALSE(save->IsEnabled());

	// A separator never becomes enabled.
	BSeparatorItem separator;
	separator.SetEnabled(true);
	EXPECT_FALSE(separator.IsEnabled());
}


TEST(MenuItemsTest, ShortcutsAlwaysCarryCommand)
{
	BMenuItem plain("Save", NULL, 'S');
	uint32 modifiers = 0;
	EXPECT_EQ(plain.Shortcut(&modifiers), 'S');
	EXPECT_EQ(modifiers, (uint32)B_COMMAND_KEY);

	BMenuItem shifted("Save As", NULL, 'S', B_SHIFT_KEY);
	EXPECT_EQ(shifted.Shortcut(&modifiers), 'S');
	EXPECT_EQ(modifiers, (uint32)(B_COMMAND_KEY | B_SHIFT_KEY));

	BMenuItem none("Page Setup", NULL);
	EXPECT_EQ(none.Shortcut(&modifiers), 0);
	EXPECT_EQ(modifiers, 0u);
	none.SetShortcut('U', B_OPTION_KEY);
	EXPECT_EQ(none.Shortcut(&modifiers), 'U');
	EXPECT_EQ(modifiers, (uint32)(B_COMMAND_KEY | B_OPTION_KEY));
}


TEST(MenuItemsTest, InvokeNeedsAnEnabledItemAndSomewhereToGo)
{
	BMenu menu("File");
	BMenuItem* save = new BMenuItem("Save", new BMessage('FFsv'));
	menu.AddItem(save);
	// In no window and without a target the message has nowhere to go.
	EXPECT_EQ(save->Invoke(), B_BAD_PORT_ID);
	save->SetEnabled(false);
	EXPECT_EQ(save->Invoke(), B_NOT_ALLOWED);

	BMenuItem bare("Bare", NULL);
	EXPECT_EQ(bare.Invoke(), B_BAD_VALUE);
	EXPECT_EQ(bare.Command(), 0u);
	EXPECT_STREQ(bare.Label(), "Bare");
	bare.SetLabel(NULL);
	EXPECT_STREQ(bare.Label(), "");
}
