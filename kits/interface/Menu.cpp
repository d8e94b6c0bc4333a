/*
 * BMenu: the items, their layout in a column or a row, and drawing. How
 * an open menu follows the pointer and the keys is in MenuTracker.cpp.
 */
#include <Menu.h>

#include <MenuBar.h>
#include <MenuItem.h>
#include <Message.h>
#include <Screen.h>
#include <Window.h>

#include "FieldMenuBar.h"
#include "AccessibilityHooks.h"
#include "MenuMeasures.h"
#include "MenuTracker.h"
#include "MenuPrivate.h"
#include "MenuTriggers.h"
#include "MenuWindow.h"

#include <algorithm>
#include <map>
#include <ctype.h>
#include <math.h>
#include <mutex>
#include <string.h>

using namespace BPrivate;

namespace BPrivate {

namespace {

std::mutex sShownLock;
std::map<const BMenu*, BWindow*> sShownMenus;

}	// namespace


void
set_shown_menu_window(const BMenu* menu, BWindow* window)
{
	std::lock_guard<std::mutex> guard(sShownLock);
	if (window != NULL)
		sShownMenus[menu] = window;
	else
		sShownMenus.erase(menu);
}


BWindow*
shown_menu_window(const BMenu* menu)
{
	std::lock_guard<std::mutex> guard(sShownLock);
	auto found = sShownMenus.find(menu);
	return found != sShownMenus.end() ? found->second : NULL;
}


BRect
menu_screen_frame()
{
	return BScreen().Frame();
}


int32
menu_trigger_offset(const BMenuItem* item)
{
	const char* label = item != NULL ? item->Label() : NULL;
	if (label == NULL)
		return -1;
	for (const char* c = label; *c != '\0'; c++) {
		if (isascii((unsigned char)*c) && isalnum((unsigned char)*c))
			return (int32)(c - label);
	}
	return -1;
}


uint32
menu_trigger(const BMenuItem* item)
{
	int32 offset = menu_trigger_offset(item);
	return offset < 0 ? 0
		: (uint32)tolower((unsigned char)item->Label()[offset]);
}


MenuLocker::MenuLocker(const BMenu* menu)
	:
	fWindow(menu != NULL ? menu->Window() : NULL)
{
	if (fWindow != NULL && !fWindow->Lock())
		fWindow = NULL;
}


MenuLocker::~MenuLocker()
{
	if (fWindow != NULL)
		fWindow->Unlock();
}

}	// namespace BPrivate


BMenu::BMenu(const char* name, menu_layout layout)
	:
	BView(BRect(0, 0, 0, 0), name, B_FOLLOW_LEFT | B_FOLLOW_TOP,
		B_WILL_DRAW),
	fResizeToFit(true)
{
	_InitData(layout);
}


BMenu::BMenu(BRect frame, const char* name, uint32 resizingMode,
	uint32 flags, menu_layout layout, bool resizeToFit)
	:
	BView(frame, name, resizingMode, flags),
	fResizeToFit(resizeToFit)
{
	_InitData(layout);
}


BMenu::~BMenu()
{
	delete fTracker;
	fTracker = NULL;
	set_shown_menu_window(this, NULL);
	for (BMenuItem* item : fItems) {
		item->fSuper = NULL;
		delete item;
	}
	fItems.clear();
	if (fSuperitem != NULL && fSuperitem->fSubmenu == this)
		fSuperitem->fSubmenu = NULL;
}


void
BMenu::_InitData(menu_layout layout)
{
	fLayout = layout == B_ITEMS_IN_ROW ? B_ITEMS_IN_ROW : B_ITEMS_IN_COLUMN;
	fSuperitem = NULL;
	fSupermenu = NULL;
	fPreferredWidth = 0;
	fPreferredHeight = 0;
	fMaxContentWidth = 0;
	fSelected = -1;
	fLayoutValid = false;
	fEnabled = true;
	fRadioMode = false;
	fLabelFromMarked = false;
	fTriggersEnabled = true;
	fTriggersShown = false;
	fTracker = NULL;
	SetViewColor(B_TRANSPARENT_COLOR);
	SetLowColor(ui_color(B_MENU_BACKGROUND_COLOR));
}


// #pragma mark - Hooks


void
BMenu::AttachedToWindow()
{
	BView::AttachedToWindow();
}


void
BMenu::Draw(BRect updateRect)
{
	_ComputeLayout();
	SetLowColor(ui_color(B_MENU_BACKGROUND_COLOR));
	FillRect(Bounds() & updateRect, B_SOLID_LOW);
	for (BMenuItem* item : fItems) {
		if (item->fBounds.Intersects(updateRect))
			item->Draw();
	}
	if (fLayout != B_ITEMS_IN_ROW) {
		// A menu of its own window has a frame around it.
		SetHighColor(tint_color(ui_color(B_MENU_BACKGROUND_COLOR),
			B_DARKEN_3_TINT));
		StrokeRect(Bounds());
	}
}


void
BMenu::MessageReceived(BMessage* message)
{
	BView::MessageReceived(message);
}


void
BMenu::GetPreferredSize(float* _width, float* _height)
{
	_ComputeLayout();
	if (_width != NULL)
		*_width = fPreferredWidth;
	if (_height != NULL)
		*_height = fPreferredHeight;
}


void
BMenu::ResizeToPreferred()
{
	float width;
	float height;
	GetPreferredSize(&width, &height);
	ResizeTo(width, height);
}


// #pragma mark - Items


bool
BMenu::AddItem(BMenuItem* item)
{
	return _AddItem(item, CountItems());
}


bool
BMenu::AddItem(BMenuItem* item, int32 index)
{
	return _AddItem(item, index);
}


bool
BMenu::AddItem(BMenu* submenu)
{
	return AddItem(submenu, CountItems());
}


bool
BMenu::AddItem(BMenu* submenu, int32 index)
{
	if (submenu == NULL || submenu->fSuperitem != NULL
		|| index < 0 || index > CountItems()) {
		return false;
	}
	BMenuItem* item = new BMenuItem(submenu);
	if (!_AddItem(item, index)) {
		item->fSubmenu = NULL;
		submenu->fSuperitem = NULL;
		delete item;
		return false;
	}
	return true;
}


bool
BMenu::AddSeparatorItem()
{
	return AddItem(new BSeparatorItem);
}


bool
BMenu::_AddItem(BMenuItem* item, int32 index)
{
	if (item == NULL || item->fSuper != NULL || index < 0
		|| index > CountItems()) {
		return false;
	}
	MenuLocker locker(this);
	fItems.insert(fItems.begin() + index, item);
	item->_SetMenu(this);
	if (fSelected >= index)
		fSelected++;
	if (item->IsMarked())
		_ItemMarked(item);
	_Relayout();
	return true;
}


bool
BMenu::RemoveItem(BMenuItem* item)
{
	int32 index = IndexOf(item);
	return index >= 0 && RemoveItem(index) != NULL;
}


BMenuItem*
BMenu::RemoveItem(int32 index)
{
	if (index < 0 || index >= CountItems())
		return NULL;
	MenuLocker locker(this);
	BMenuItem* item = fItems[index];
	fItems.erase(fItems.begin() + index);
	item->fSelected = false;
	item->_SetMenu(NULL);
	if (fSelected == index)
		fSelected = -1;
	else if (fSelected > index)
		fSelected--;
	_Relayout();
	return item;
}


bool
BMenu::RemoveItems(int32 index, int32 count, bool deleteItems)
{
	if (index < 0 || count < 0 || index + count > CountItems())
		return false;
	for (int32 i = 0; i < count; i++) {
		BMenuItem* item = RemoveItem(index);
		if (deleteItems)
			delete item;
	}
	return true;
}


bool
BMenu::RemoveItem(BMenu* submenu)
{
	int32 index = IndexOf(submenu);
	if (index < 0)
		return false;
	BMenuItem* item = RemoveItem(index);
	// The submenu goes back to the caller; its item is ours to delete.
	item->fSubmenu = NULL;
	submenu->fSuperitem = NULL;
	submenu->fSupermenu = NULL;
	delete item;
	return true;
}


BMenuItem*
BMenu::ItemAt(int32 index) const
{
	if (index < 0 || index >= CountItems())
		return NULL;
	return fItems[index];
}


BMenu*
BMenu::SubmenuAt(int32 index) const
{
	BMenuItem* item = ItemAt(index);
	return item != NULL ? item->Submenu() : NULL;
}


int32
BMenu::CountItems() const
{
	return (int32)fItems.size();
}


int32
BMenu::IndexOf(BMenuItem* item) const
{
	auto found = std::find(fItems.begin(), fItems.end(), item);
	return found != fItems.end() ? (int32)(found - fItems.begin()) : -1;
}


int32
BMenu::IndexOf(BMenu* submenu) const
{
	for (int32 i = 0; i < CountItems(); i++) {
		if (submenu != NULL && fItems[i]->Submenu() == submenu)
			return i;
	}
	return -1;
}


BMenuItem*
BMenu::FindItem(uint32 command) const
{
	for (BMenuItem* item : fItems) {
		if (item->Submenu() != NULL) {
			if (BMenuItem* found = item->Submenu()->FindItem(command))
				return found;
		}
		if (item->Message() != NULL && item->Command() == command)
			return item;
	}
	return NULL;
}


BMenuItem*
BMenu::FindItem(const char* label) const
{
	if (label == NULL)
		return NULL;
	for (BMenuItem* item : fItems) {
		if (strcmp(item->Label(), label) == 0)
			return item;
		if (item->Submenu() != NULL) {
			if (BMenuItem* found = item->Submenu()->FindItem(label))
				return found;
		}
	}
	return NULL;
}


status_t
BMenu::SetTargetForItems(BHandler* target)
{
	for (BMenuItem* item : fItems) {
		status_t status = item->SetTarget(target);
		if (status != B_OK)
			return status;
	}
	return B_OK;
}


status_t
BMenu::SetTargetForItems(BMessenger messenger)
{
	for (BMenuItem* item : fItems) {
		status_t status = item->SetTarget(messenger);
		if (status != B_OK)
			return status;
	}
	return B_OK;
}


void
BMenu::SetEnabled(bool enabled)
{
	MenuLocker locker(this);
	if (fEnabled == enabled)
		return;
	fEnabled = enabled;
	if (fSuperitem != NULL && fSuperitem->fEnabled != enabled)
		fSuperitem->SetEnabled(enabled);
	if (Window() != NULL)
		Invalidate();
}


void
BMenu::SetRadioMode(bool on)
{
	fRadioMode = on;
	// Radio mode keeps one item marked at most.
	if (on) {
		if (BMenuItem* marked = FindMarked())
			_ItemMarked(marked);
	}
}


void
BMenu::SetTriggersEnabled(bool enabled)
{
	fTriggersEnabled = enabled;
}


void
BMenu::SetMaxContentWidth(float maxWidth)
{
	fMaxContentWidth = maxWidth > 0 ? maxWidth : 0;
	_Relayout();
}


void
BMenu::SetLabelFromMarked(bool on)
{
	fLabelFromMarked = on;
	if (on) {
		if (BMenuItem* marked = FindMarked())
			_ItemMarked(marked);
	}
}


bool
BMenu::IsLabelFromMarked()
{
	return fLabelFromMarked;
}


bool
BMenu::IsEnabled() const
{
	if (!fEnabled)
		return false;
	return fSupermenu == NULL || fSupermenu->IsEnabled();
}


bool
BMenu::IsRadioMode() const
{
	return fRadioMode;
}


bool
BMenu::AreTriggersEnabled() const
{
	return fTriggersEnabled;
}


float
BMenu::MaxContentWidth() const
{
	return fMaxContentWidth;
}


BMenuItem*
BMenu::FindMarked()
{
	int32 index = FindMarkedIndex();
	return index >= 0 ? fItems[index] : NULL;
}


int32
BMenu::FindMarkedIndex()
{
	for (int32 i = 0; i < CountItems(); i++) {
		if (fItems[i]->IsMarked())
			return i;
	}
	return -1;
}


BMenu*
BMenu::Supermenu() const
{
	return fSupermenu;
}


BMenuItem*
BMenu::Superitem() const
{
	return fSuperitem;
}


BPoint
BMenu::ScreenLocation()
{
	if (fSuperitem == NULL || fSupermenu == NULL)
		return BPoint(0, 0);
	BRect frame = fSupermenu->ConvertToScreen(fSuperitem->Frame());
	if (fSupermenu->fLayout == B_ITEMS_IN_ROW)
		return BPoint(frame.left, frame.bottom + 1);
	return BPoint(frame.right + 1, frame.top - kMenuBorder);
}


// #pragma mark - Private


void
BMenu::_ItemMarked(BMenuItem* item)
{
	if (fRadioMode) {
		for (BMenuItem* other : fItems) {
			if (other != item && other->fMarked) {
				other->fMarked = false;
				other->_Changed();
			}
		}
	}
	if (fLabelFromMarked && fSuperitem != NULL)
		fSuperitem->SetLabel(item->Label());
}


void
BMenu::_Relayout()
{
	fLayoutValid = false;
	if (fResizeToFit && fLayout == B_ITEMS_IN_ROW) {
		// A bar fits its height to its font at once, so that whoever
		// lays out a window below it sees its final frame.
		_ComputeLayout();
		if (Bounds().Height() != fPreferredHeight)
			ResizeTo(Bounds().Width(), fPreferredHeight);
	}
	if (Window() != NULL)
		Invalidate();
}


void
BMenu::_ComputeLayout()
{
	if (fLayoutValid)
		return;
	fLayoutValid = true;

	font_height fontHeight;
	GetFontHeight(&fontHeight);
	float lineHeight = ceilf(fontHeight.ascent + fontHeight.descent);
	float itemHeight = lineHeight + 2 * kMenuItemVPadding;

	if (fLayout == B_ITEMS_IN_ROW) {
		float x = kMenuBorder;
		for (BMenuItem* item : fItems) {
			float width;
			item->GetContentSize(&width, NULL);
			width += 2 * kBarItemHPadding;
			item->fBounds.Set(x, kMenuBorder, x + width - 1,
				kMenuBorder + itemHeight - 1);
			x += width;
		}
		// A menu field's one item is the whole field.
		if (fItems.size() == 1 && dynamic_cast<FieldMenuBar*>(this) != NULL) {
			fItems[0]->fBounds.right = std::max(fItems[0]->fBounds.right,
				Bounds().right - kMenuBorder);
		}
		fPreferredWidth = x;
		fPreferredHeight = itemHeight + 2 * kMenuBorder - 1;
		return;
	}

	float contentWidth = 0;
	float y = kMenuBorder;
	for (BMenuItem* item : fItems) {
		float width;
		float height;
		item->GetContentSize(&width, &height);
		if (fMaxContentWidth > 0)
			width = std::min(width, fMaxContentWidth);
		float shortcut = item->_ShortcutWidth();
		if (shortcut > 0)
			width += kShortcutGap + shortcut;
		if (item->Submenu() != NULL)
			width += kSubmenuArrowSpace;
		contentWidth = std::max(contentWidth, width);
		height += 2 * kMenuItemVPadding;
		item->fBounds.Set(kMenuBorder, y, 0, y + height - 1);
		y += height;
	}
	if (fItems.empty())
		y += itemHeight;
	float width = kColumnLeftSpace + contentWidth + kColumnRightPadding;
	for (BMenuItem* item : fItems)
		item->fBounds.right = kMenuBorder + width - 1;
	fPreferredWidth = width + 2 * kMenuBorder - 1;
	fPreferredHeight = y + kMenuBorder - 1;
}


int32
BMenu::_ItemIndexAt(BPoint point) const
{
	const_cast<BMenu*>(this)->_ComputeLayout();
	BPoint pixel(floorf(point.x), floorf(point.y));
	for (int32 i = 0; i < CountItems(); i++) {
		if (fItems[i]->fBounds.Contains(pixel))
			return i;
	}
	return -1;
}


void
BMenu::_SetSelected(int32 index)
{
	if (index == fSelected)
		return;
	if (BMenuItem* previous = ItemAt(fSelected))
		previous->Highlight(false);
	fSelected = index;
	if (BMenuItem* item = ItemAt(index))
		item->Highlight(true);
	BPrivate::accessible_menu_selected(this, index);
}


// #pragma mark - BMenu::Private


BWindow*
BMenu::Private::MenuWindow() const
{
	return shown_menu_window(fMenu);
}


BMenu*
BMenu::Private::Root() const
{
	BMenu* menu = fMenu;
	while (menu->fSupermenu != NULL)
		menu = menu->fSupermenu;
	return menu;
}


BWindow*
BMenu::Private::OwnerWindow() const
{
	BMenuBar* bar = dynamic_cast<BMenuBar*>(Root());
	return bar != NULL ? bar->Window() : NULL;
}
