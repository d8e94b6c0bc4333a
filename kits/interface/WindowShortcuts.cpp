/*
 * BWindow: keyboard shortcuts. They are matched in WindowDispatch.cpp
 * when a key comes with Command held, before the focus view sees it.
 */
#include <Window.h>

#include <Application.h>
#include <Message.h>

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


