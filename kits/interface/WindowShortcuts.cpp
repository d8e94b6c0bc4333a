/*
 * BWindow: keyboard shortcuts. They are matched in WindowDispatch.cpp
 * when a key comes with Command held, before the focus view sees it.
 */
#include <Window.h>

#include <Application.h>
#include <MenuBar.h>
#include <MenuItem.h>
#include <Message.h>

#include "MenuTriggers.h"
#include "WindowPrivate.h"

#include <ctype.h>

using BPrivate::window_shortcut;

namespace {

// The modifiers that tell shortcuts apart.
const uint32 kShortcutModifiers = B_SHIFT_KEY | B_COMMAND_KEY | B_CONTROL_KEY
	| B_OPTION_KEY | B_MENU_KEY;

}	// namespace


void
BWindow::_AddDefaultShortcuts()
{
	AddShortcut('Q', B_COMMAND_KEY, new BMessage(B_QUIT_REQUESTED), be_app);
	if ((fFlags & B_NOT_CLOSABLE) == 0)
		AddShortcut('W', B_COMMAND_KEY, new BMessage(B_QUIT_REQUESTED), this);
	// Editing commands go to the focus view.
	AddShortcut('X', B_COMMAND_KEY, new BMessage(B_CUT), NULL);
	AddShortcut('C', B_COMMAND_KEY, new BMessage(B_COPY), NULL);
	AddShortcut('V', B_COMMAND_KEY, new BMessage(B_PASTE), NULL);
	AddShortcut('A', B_COMMAND_KEY, new BMessage(B_SELECT_ALL), NULL);
}


void
BWindow::AddShortcut(uint32 key, uint32 modifiers, BMessage* message)
{
	AddShortcut(key, modifiers, message, NULL);
}


void
BWindow::AddShortcut(uint32 key, uint32 modifiers, BMessage* message,
	BHandler* target)
{
	if (message == NULL)
		return;
	key = tolower((int)key);
	modifiers = (modifiers | B_COMMAND_KEY) & kShortcutModifiers;
	RemoveShortcut(key, modifiers);

	window_shortcut shortcut;
	shortcut.key = key;
	shortcut.modifiers = modifiers;
	shortcut.message = message;
	if (target != NULL)
		shortcut.target = BMessenger(target);
	fData->shortcuts.push_back(shortcut);
}


bool
BWindow::HasShortcut(uint32 key, uint32 modifiers)
{
	key = tolower((int)key);
	modifiers = (modifiers | B_COMMAND_KEY) & kShortcutModifiers;
	for (const window_shortcut& shortcut : fData->shortcuts) {
		if (shortcut.key == key && shortcut.modifiers == modifiers)
			return true;
	}
	return false;
}


void
BWindow::RemoveShortcut(uint32 key, uint32 modifiers)
{
	key = tolower((int)key);
	modifiers = (modifiers | B_COMMAND_KEY) & kShortcutModifiers;
	std::vector<window_shortcut>& shortcuts = fData->shortcuts;
	for (auto it = shortcuts.begin(); it != shortcuts.end(); it++) {
		if (it->key == key && it->modifiers == modifiers) {
			delete it->message;
			shortcuts.erase(it);
			return;
		}
	}
}




// #pragma mark - Menu shortcuts


namespace {

// The item of the menu or its submenus with the shortcut; NULL for none.
BMenuItem*
find_shortcut(BMenu* menu, uint32 key, uint32 modifiers)
{
	for (int32 i = 0; i < menu->CountItems(); i++) {
		BMenuItem* item = menu->ItemAt(i);
		if (BMenu* submenu = item->Submenu()) {
			if (BMenuItem* found = find_shortcut(submenu, key, modifiers))
				return found;
		}
		uint32 itemModifiers;
		char shortcut = item->Shortcut(&itemModifiers);
		if (shortcut != 0 && (uint32)tolower((unsigned char)shortcut) == key
			&& itemModifiers == modifiers) {
			return item;
		}
	}
	return NULL;
}

}	// namespace


BMenuBar*
BWindow::KeyMenuBar() const
{
	return fData->keyMenuBar;
}


void
BWindow::SetKeyMenuBar(BMenuBar* bar)
{
	fData->keyMenuBar = bar;
}


bool
BWindow::_HandleMenuKey(BMessage* message)
{
	BMenuBar* bar = fData->keyMenuBar;
	if (bar == NULL || bar->IsHidden() || !bar->IsEnabled())
		return false;
	uint32 modifiers = (uint32)message->GetInt32("modifiers", 0)
		& kShortcutModifiers;
	const char* bytes = message->GetString("bytes", "");
	if (bytes[0] == B_FUNCTION_KEY && modifiers == 0
		&& message->GetInt32("key", 0) == B_F10_KEY) {
		bar->StartMenuBar(0);
		return true;
	}
	if (modifiers != B_OPTION_KEY)
		return false;

	// What the key typed, not which key it was: AltGr may be taken for
	// Alt, and AltGr+E typing a euro sign must not open the Edit menu.
	int32 key = (uint8)bytes[0];
	if (key == 0 || key >= 0x80 || bytes[1] != '\0' || !isalnum(key))
		return false;
	key = tolower(key);
	for (int32 index = 0; BMenuItem* title = bar->ItemAt(index); index++) {
		if (title->IsEnabled() && BPrivate::menu_trigger(title)
				== (uint32)key) {
			bar->StartMenuBar(index);
			return true;
		}
	}
	// A key no title takes is the focus view's.
	return false;
}


bool
BWindow::_HandleMenuShortcut(BMessage* message)
{
	BMenuBar* bar = fData->keyMenuBar;
	if (bar == NULL)
		return false;
	uint32 modifiers = (uint32)message->GetInt32("modifiers", 0)
		& kShortcutModifiers;
	int32 key = message->GetInt32("raw_char", 0);
	if (key == 0)
		key = (uint8)message->GetString("bytes", "")[0];
	BMenuItem* item = find_shortcut(bar, tolower(key), modifiers);
	if (item == NULL)
		return false;

	// A disabled item's shortcut is taken all the same: it does nothing,
	// and the key is not typed into the focus view either.
	if (item->IsEnabled()) {
		if (item->Menu() != NULL && item->Menu()->IsRadioMode())
			item->SetMarked(true);
		item->Invoke();
	}
	return true;
}
