/*
 * TestDriver: menus. Every menu is opened and every item chosen by
 * clicks on the screen, through the same display server events a
 * person's mouse gives, so a test goes through the menus' own tracking.
 */
#include <TestDriver.h>

#include <Menu.h>
#include <MenuBar.h>
#include <MenuField.h>
#include <MenuItem.h>

#include "ApplicationPrivate.h"
#include "MenuPrivate.h"
#include "MenuWindow.h"

#include <gtest/gtest.h>

#include <math.h>
#include <string.h>

namespace {

std::vector<std::string>
split_path(const char* path)
{
	std::vector<std::string> parts;
	std::string part;
	for (const char* next = path; *next != '\0'; next++) {
		if (*next == '/') {
			parts.push_back(part);
			part.clear();
		} else
			part += *next;
	}
	parts.push_back(part);
	return parts;
}


BMenuItem*
item_labelled(BMenu* menu, const std::string& label)
{
	for (int32 i = 0; menu != NULL && i < menu->CountItems(); i++) {
		if (label == menu->ItemAt(i)->Label())
			return menu->ItemAt(i);
	}
	return NULL;
}


BPoint
middle_of(BRect frame)
{
	return BPoint(floorf((frame.left + frame.right) / 2),
		floorf((frame.top + frame.bottom) / 2));
}

}	// namespace


BMenuItem*
TestDriver::_FindMenuItem(BWindow* window, const char* path,
	std::vector<BMenuItem*>* _chain)
{
	if (window == NULL || path == NULL)
		return NULL;
	BMenu* menu = window->KeyMenuBar();
	BMenuItem* item = NULL;
	for (const std::string& label : split_path(path)) {
		item = item_labelled(menu, label);
		if (item == NULL)
			return NULL;
		if (_chain != NULL)
			_chain->push_back(item);
		menu = item->Submenu();
	}
	return item;
}


BWindow*
TestDriver::MenuWindow(BMenu* menu)
{
	if (menu == NULL)
		return NULL;
	// The session that opens and closes menus runs on the owning
	// window's thread; holding that window keeps it still.
	BWindow* owner = BMenu::Private(menu).OwnerWindow();
	if (owner != NULL && !owner->Lock())
		return NULL;
	BWindow* window = BMenu::Private(menu).MenuWindow();
	if (owner != NULL)
		owner->Unlock();
	return window;
}


status_t
TestDriver::_ClickMenuItem(BWindow* owner, BMenuItem* item, bool click)
{
	if (!owner->Lock())
		return B_BAD_VALUE;
	BMenu* menu = item->Menu();
	BWindow* window = BMenu::Private(menu).MenuWindow();
	owner->Unlock();
	if (window == NULL) {
		ADD_FAILURE() << "TestDriver: the menu holding \"" << item->Label()
			<< "\" did not open";
		return B_ERROR;
	}

	// In a menu taller than the screen the item may lie out of sight: the
	// wheel brings it in, as a person would turn it.
	BPoint where;
	for (int32 turns = 0;; turns++) {
		if (!window->Lock())
			return B_ERROR;
		BRect shown = menu->ConvertToWindow(menu->Bounds());
		where = middle_of(menu->ConvertToWindow(item->Frame()));
		window->Unlock();
		if (where.y >= shown.top && where.y <= shown.bottom)
			break;
		if (turns > 1000) {
			ADD_FAILURE() << "TestDriver: the wheel did not bring \""
				<< item->Label() << "\" into sight";
			return B_ERROR;
		}
		status_t status = ScrollWheel(window, 0,
			where.y < shown.top ? -1 : 1);
		if (status != B_OK)
			return status;
	}
	return click ? Click(window, where) : MoveMouse(window, where);
}


status_t
TestDriver::ChooseMenuItem(BWindow* window, const char* path)
{
	std::vector<BMenuItem*> chain;
	BPoint titleWhere;
	bool enabled = false;
	{
		if (window == NULL || !window->Lock()) {
			ADD_FAILURE() << "TestDriver::ChooseMenuItem(): no window";
			return B_BAD_VALUE;
		}
		BMenuItem* item = _FindMenuItem(window, path, &chain);
		if (item != NULL) {
			enabled = item->IsEnabled();
			BMenuBar* bar = window->KeyMenuBar();
			titleWhere = middle_of(bar->ConvertToWindow(chain[0]->Frame()));
		}
		window->Unlock();
		if (item == NULL) {
			ADD_FAILURE() << "TestDriver::ChooseMenuItem(): no item \""
				<< path << "\"";
			return B_NAME_NOT_FOUND;
		}
	}

	status_t status = Click(window, titleWhere);
	for (size_t i = 1; i < chain.size() && status == B_OK; i++)
		status = _ClickMenuItem(window, chain[i], i + 1 == chain.size());
	if (status != B_OK)
		return status;

	// A disabled item leaves the menus open; close them as a person
	// would, by pressing Escape until they are gone.
	// An enabled item closed them; its window may be busy with what the
	// item started (a dialog it waits for) and is not asked.
	if (enabled)
		return B_OK;
	BMenu* top = chain[0]->Submenu();
	for (int32 i = 0; i < 8 && top != NULL && MenuWindow(top) != NULL; i++)
		PressKey(window, B_ESCAPE);
	return B_NOT_ALLOWED;
}


bool
TestDriver::IsMenuItemEnabled(BWindow* window, const char* path)
{
	if (window == NULL || !window->Lock())
		return false;
	BMenuItem* item = _FindMenuItem(window, path);
	bool enabled = item != NULL && item->IsEnabled();
	window->Unlock();
	if (item == NULL)
		ADD_FAILURE() << "TestDriver: no menu item \"" << path << "\"";
	return enabled;
}


bool
TestDriver::IsMenuItemMarked(BWindow* window, const char* path)
{
	if (window == NULL || !window->Lock())
		return false;
	BMenuItem* item = _FindMenuItem(window, path);
	bool marked = item != NULL && item->IsMarked();
	window->Unlock();
	if (item == NULL)
		ADD_FAILURE() << "TestDriver: no menu item \"" << path << "\"";
	return marked;
}


status_t
TestDriver::ChooseMenuFieldItem(BMenuField* field, const char* label)
{
	if (field == NULL || !field->LockLooper()) {
		ADD_FAILURE() << "TestDriver::ChooseMenuFieldItem(): the field is "
			"in no window";
		return B_BAD_VALUE;
	}
	BWindow* window = field->Window();
	BMenuBar* bar = field->MenuBar();
	BPoint where = middle_of(bar->ConvertToWindow(bar->Bounds()));
	BMenuItem* item = item_labelled(field->Menu(),
		label != NULL ? label : "");
	field->UnlockLooper();
	if (item == NULL) {
		ADD_FAILURE() << "TestDriver::ChooseMenuFieldItem(): no item \""
			<< (label != NULL ? label : "") << "\"";
		return B_NAME_NOT_FOUND;
	}

	status_t status = Click(window, where);
	if (status == B_OK)
		status = _ClickMenuItem(window, item, true);
	return status;
}


// #pragma mark - Pop-up menus


BMenu*
TestDriver::_OpenPopUpMenu(BWindow** _window)
{
	BMenu* menu = NULL;
	for (const BPrivate::window_entry& entry : BPrivate::window_list()) {
		if (menu != NULL)
			break;
		_WithLock(entry.looper, [&] {
			if (dynamic_cast<BPrivate::MenuWindow*>(entry.window) == NULL
				|| entry.window->IsHidden()) {
				return;
			}
			menu = dynamic_cast<BMenu*>(entry.window->ChildAt(0));
			*_window = entry.window;
		});
	}
	return menu;
}


std::vector<std::pair<std::string, bool> >
TestDriver::OpenContextMenu(BView* view, BPoint where)
{
	std::vector<std::pair<std::string, bool> > items;
	if (Click(view, where, 1, B_SECONDARY_MOUSE_BUTTON) != B_OK)
		return items;
	BWindow* window = NULL;
	BMenu* menu = NULL;
	WaitFor([&] {
		menu = _OpenPopUpMenu(&window);
		return menu != NULL;
	}, "a context menu");
	if (menu == NULL || !window->Lock())
		return items;
	for (int32 i = 0; i < menu->CountItems(); i++) {
		BMenuItem* item = menu->ItemAt(i);
		if (dynamic_cast<BSeparatorItem*>(item) == NULL)
			items.push_back(std::make_pair(item->Label(), item->IsEnabled()));
	}
	window->Unlock();
	return items;
}


status_t
TestDriver::ChooseOpenMenuItem(const char* label)
{
	BWindow* window = NULL;
	BMenu* menu = _OpenPopUpMenu(&window);
	if (menu == NULL || !window->Lock())
		return B_NAME_NOT_FOUND;
	BMenuItem* item = item_labelled(menu, label != NULL ? label : "");
	bool enabled = item != NULL && item->IsEnabled();
	BPoint where = item != NULL ? middle_of(item->Frame()) : BPoint();
	window->Unlock();
	if (item == NULL)
		return B_NAME_NOT_FOUND;
	status_t status = Click(window, where);
	if (status == B_OK && !enabled) {
		for (int32 i = 0; i < 4 && _OpenPopUpMenu(&window) != NULL; i++)
			PressKey(window, B_ESCAPE);
		return B_NOT_ALLOWED;
	}
	return status;
}
