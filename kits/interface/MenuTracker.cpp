/*
 * MenuTracker: one session of open menus. The pointer highlights the item
 * under it and opens submenus; releasing the button on an item chooses
 * it, and a click that opened the menus leaves them open for a second
 * click. Up and Down walk a menu, Right and Left enter and leave
 * submenus and move between a bar's titles, Enter chooses and Escape
 * closes.
 *
 * Runs on one thread (see MenuTracker.h); the menu windows are locked
 * only while the session changes what they show.
 */
#include "MenuTracker.h"
#include "AccessibilityHooks.h"

#include <MenuItem.h>
#include <Message.h>
#include <PopUpMenu.h>

#include "FieldMenuBar.h"
#include "MenuMeasures.h"
#include "MenuTriggers.h"
#include "MenuWindow.h"

#include <algorithm>
#include <ctype.h>
#include <math.h>

namespace BPrivate {

bool
menu_item_choosable(const BMenuItem* item)
{
	return item != NULL && item->IsEnabled()
		&& dynamic_cast<const BSeparatorItem*>(item) == NULL;
}


MenuTracker::MenuTracker(BMenu* root, BMessenger events)
	:
	fRoot(root),
	fEvents(events),
	fOpeningPress(false),
	fButtonDown(false),
	fDragged(false),
	fByKeyboard(false),
	fDone(false),
	fChosen(NULL),
	fAutoScroller(NULL),
	fAutoScrollLevel(0),
	fAutoScrollDirection(0),
	fAutoScrollSteps(0)
{
}


MenuTracker::~MenuTracker()
{
	_StopAutoScroll();
	_CloseFrom(0);
	if (_IsBar())
		_ShowTriggers(fRoot, false);
	accessible_menus_ended(fRoot);
}


bool
MenuTracker::_IsBar() const
{
	return dynamic_cast<BMenuBar*>(fRoot) != NULL;
}


void
MenuTracker::OpenTitle(int32 index, bool byKeyboard)
{
	fByKeyboard = byKeyboard;
	_ShowTriggers(fRoot, byKeyboard);
	_SelectTitle(index, byKeyboard);
}


// The flag is read when the menu draws, on its window's thread: it
// changes under that window's lock, or before the window exists.
void
MenuTracker::_ShowTriggers(BMenu* menu, bool show)
{
	MenuLocker locker(menu);
	if (menu->fTriggersShown == show)
		return;
	menu->fTriggersShown = show;
	if (menu->Window() != NULL)
		menu->Invalidate();
}


void
MenuTracker::OpenPopUp(BPoint screenLeftTop)
{
	_Open(fRoot, screenLeftTop);
}


// #pragma mark - Events


bool
MenuTracker::HandleMessage(BMessage* message)
{
	if (fDone)
		return false;
	if (message->what == kMsgMenuKey) {
		KeyDown(message->GetString("bytes", ""));
		return !fDone;
	}
	BPoint screen;
	message->FindPoint("screen_where", &screen);
	switch (message->GetInt32("event", 0)) {
		case kMenuWheelEvent:
			_Wheel(screen, message->GetFloat("delta", 0));
			break;
		case kMenuAutoScrollEvent:
			_AutoScrollStep();
			break;
		case B_MOUSE_DOWN:
			PointerDown(screen);
			break;
		case B_MOUSE_UP:
			PointerUp(screen);
			break;
		default:
			PointerMoved(screen, (uint32)message->GetInt32("buttons", 0));
			break;
	}
	return !fDone;
}


void
MenuTracker::PointerMoved(BPoint screen, uint32 buttons)
{
	B_UNUSED(buttons);
	if (fDone)
		return;
	size_t level;
	int32 index;
	int32 arrow = _ArrowAt(screen, level);
	if (arrow != 0) {
		_AutoScroll(level, arrow);
		return;
	}
	_StopAutoScroll();
	if (_HitMenu(screen, level, index)) {
		if (index >= 0 && dynamic_cast<BSeparatorItem*>(
				fLevels[level].menu->ItemAt(index)) == NULL) {
			if (fButtonDown && index != fLevels[level].menu->fSelected)
				fDragged = true;
			_Select(level, index, true);
		}
		return;
	}
	int32 title = _HitTitle(screen);
	if (title >= 0) {
		if (title != fRoot->fSelected)
			_SelectTitle(title, false);
		return;
	}
	// Off every menu: the deepest one forgets its highlight, unless the
	// highlighted item holds a submenu open.
	if (!fLevels.empty()) {
		Level& deepest = fLevels.back();
		BMenuItem* item = deepest.menu->ItemAt(deepest.menu->fSelected);
		if (item != NULL && item->Submenu() == NULL)
			_Select(fLevels.size() - 1, -1, false);
	}
}


void
MenuTracker::PointerDown(BPoint screen)
{
	if (fDone)
		return;
	fButtonDown = true;
	fOpeningPress = false;
	size_t level;
	int32 index;
	if (_HitMenu(screen, level, index)) {
		if (index >= 0)
			_Select(level, index, true);
		return;
	}
	int32 title = _HitTitle(screen);
	if (title >= 0) {
		// A click on the open title closes the menus; on another, that
		// title's menu opens in their place.
		if (title == fRoot->fSelected)
			Cancel();
		else {
			_SelectTitle(title, false);
			fOpeningPress = true;
		}
		return;
	}
	// A click anywhere else closes the menus, choosing nothing.
	Cancel();
}


void
MenuTracker::PointerUp(BPoint screen)
{
	if (fDone)
		return;
	// The button that opened the menus coming up where it went down
	// leaves them open for a second click, even over a pop-up menu that
	// opened under the pointer.
	bool stays = fOpeningPress && !fDragged;
	fButtonDown = false;
	fOpeningPress = false;
	size_t level;
	int32 index;
	if (_HitMenu(screen, level, index)) {
		if (stays)
			return;
		BMenuItem* item = fLevels[level].menu->ItemAt(index);
		if (item != NULL && item->Submenu() == NULL && menu_item_choosable(item))
			_Choose(item);
		return;
	}
	int32 title = _HitTitle(screen);
	if (title >= 0) {
		// Released on a title: the menu stays open for a second click,
		// unless the title is an item of its own.
		BMenuItem* item = fRoot->ItemAt(title);
		if (item->Submenu() == NULL && menu_item_choosable(item))
			_Choose(item);
		return;
	}
	// Dragged off everything and let go.
	if (!stays)
		Cancel();
}


void
MenuTracker::KeyDown(const char* bytes)
{
	if (fDone || bytes == NULL)
		return;
	// Only used while a menu is open.
	size_t deepest = fLevels.empty() ? 0 : fLevels.size() - 1;
	BMenuItem* selected = fLevels.empty() ? NULL
		: fLevels.back().menu->ItemAt(fLevels.back().menu->fSelected);
	bool rowBar = _IsBar() && fRoot->fLayout == B_ITEMS_IN_ROW;
	// In a menu that scrolls, a space after letters is typed too.
	bool typing = ((uint8)bytes[0] > B_SPACE && bytes[0] != B_DELETE)
		|| (bytes[0] == B_SPACE && !fTyped.empty());
	if (!typing)
		fTyped.clear();

	switch (bytes[0]) {
		case B_ESCAPE:
			if (fLevels.size() > 1)
				_CloseFrom(deepest);
			else
				Cancel();
			break;
		case B_UP_ARROW:
			_MoveSelection(-1);
			break;
		case B_DOWN_ARROW:
			_MoveSelection(1);
			break;
		case B_PAGE_UP:
		case B_PAGE_DOWN:
		case B_HOME:
		case B_END:
			if (!fLevels.empty()) {
				bool back = bytes[0] == B_PAGE_UP || bytes[0] == B_HOME;
				_JumpSelection(deepest, back ? -1 : 1,
					bytes[0] == B_HOME || bytes[0] == B_END);
			}
			break;
		case B_RIGHT_ARROW:
			if (selected != NULL && selected->Submenu() != NULL
				&& selected->IsEnabled()) {
				_OpenSubmenu(deepest);
				_SelectFirst(fLevels.size() - 1);
			} else if (rowBar)
				_SwitchTitle(1);
			break;
		case B_LEFT_ARROW:
			if (fLevels.size() > 1)
				_CloseFrom(deepest);
			else if (rowBar)
				_SwitchTitle(-1);
			break;
		case B_SPACE:
			if (typing) {
				_TypeAhead(bytes);
				break;
			}
			// Otherwise a space chooses, as Enter does.
			[[fallthrough]];
		case B_ENTER:
		case '\r':
		{
			if (fLevels.empty()) {
				BMenuItem* title = fRoot->ItemAt(fRoot->fSelected);
				if (menu_item_choosable(title))
					_Choose(title);
				break;
			}
			if (selected == NULL)
				break;
			if (selected->Submenu() != NULL) {
				if (selected->IsEnabled()) {
					_OpenSubmenu(deepest);
					_SelectFirst(fLevels.size() - 1);
				}
			} else if (menu_item_choosable(selected))
				_Choose(selected);
			break;
		}
		default:
			if (typing && !fLevels.empty() && _Scrolls(deepest))
				_TypeAhead(bytes);
			else
				_PickByTrigger((uint8)bytes[0]);
			break;
	}
}


void
MenuTracker::_PickByTrigger(uint32 key)
{
	if (fLevels.empty() || key >= 0x80 || !isalnum((int)key))
		return;
	key = tolower((int)key);
	size_t level = fLevels.size() - 1;
	BMenu* menu = fLevels[level].menu;
	int32 count = menu->CountItems();
	int32 first = -1;
	int32 matches = 0;
	int32 next = -1;
	for (int32 index = 0; index < count; index++) {
		BMenuItem* item = menu->ItemAt(index);
		if (!menu_item_choosable(item) || menu_trigger(item) != key)
			continue;
		matches++;
		if (first < 0)
			first = index;
		if (next < 0 && index > menu->fSelected)
			next = index;
	}
	if (matches == 0)
		return;
	// One item with the letter is picked at once; with several, the
	// letter walks from one to the next.
	if (matches > 1) {
		_Select(level, next >= 0 ? next : first, false);
		return;
	}
	BMenuItem* item = menu->ItemAt(first);
	_Select(level, first, false);
	if (item->Submenu() != NULL) {
		_OpenSubmenu(level);
		_SelectFirst(fLevels.size() - 1);
	} else
		_Choose(item);
}


void
MenuTracker::Cancel()
{
	fChosen = NULL;
	_Finish();
}


// #pragma mark - Opening and closing


void
MenuTracker::_Open(BMenu* menu, BPoint leftTop, float minWidth,
	bool keepPlace)
{
	float width;
	float height;
	{
		MenuLocker locker(menu);
		menu->_ComputeLayout();
		if (menu->fPreferredWidth < minWidth
			&& menu->fLayout != B_ITEMS_IN_ROW) {
			// As wide as the field it pops up from.
			menu->fPreferredWidth = minWidth;
			for (BMenuItem* item : menu->fItems)
				item->fBounds.right = minWidth - kMenuBorder;
		}
		menu->GetPreferredSize(&width, &height);
	}
	MenuPlacement placement = place_menu(leftTop, width, height, keepPlace,
		menu_screen_frame());
	BRect frame = placement.frame;

	_ShowTriggers(menu, fByKeyboard);
	MenuWindow* window = new MenuWindow(frame, fEvents);
	Level level = { menu, window, frame, NULL, NULL, 0 };
	menu->_SetSelected(-1);
	if (placement.scrolls) {
		// The items between an arrow above and one below.
		float bottom = frame.Height();
		level.upArrow = new MenuScrollArrow(
			BRect(0, 0, width, kScrollArrowHeight - 1), true);
		level.downArrow = new MenuScrollArrow(
			BRect(0, bottom - kScrollArrowHeight + 1, width, bottom), false);
		level.maxScroll = placement.maxScroll;
		menu->MoveTo(0, kScrollArrowHeight);
		menu->ResizeTo(width, bottom - 2 * kScrollArrowHeight);
		window->AddChild(level.upArrow);
		window->AddChild(level.downArrow);
	} else {
		menu->MoveTo(0, 0);
		menu->ResizeTo(width, height);
	}
	menu->ScrollTo(BPoint(0, placement.scroll));
	window->AddChild(menu);
	if (placement.scrolls) {
		level.upArrow->SetActive(placement.scroll > 0);
		level.downArrow->SetActive(placement.scroll < placement.maxScroll);
	}
	set_shown_menu_window(menu, window);
	window->Show();
	fLevels.push_back(level);
}


void
MenuTracker::_CloseFrom(size_t level)
{
	if (fAutoScrollLevel >= level)
		_StopAutoScroll();
	while (fLevels.size() > level) {
		Level closing = fLevels.back();
		fLevels.pop_back();
		set_shown_menu_window(closing.menu, NULL);
		if (!closing.window->Lock())
			continue;
		closing.menu->_SetSelected(-1);
		closing.window->RemoveChild(closing.menu);
		closing.menu->ScrollTo(BPoint(0, 0));
		closing.window->Quit();
	}
}


void
MenuTracker::_Select(size_t level, int32 index, bool openSubmenu)
{
	BMenu* menu = fLevels[level].menu;
	bool sameWithSubmenu = menu->fSelected == index
		&& fLevels.size() > level + 1;
	if (!sameWithSubmenu) {
		_CloseFrom(level + 1);
		MenuLocker locker(menu);
		menu->_SetSelected(index);
	}
	BMenuItem* item = menu->ItemAt(index);
	if (openSubmenu && fLevels.size() == level + 1 && item != NULL
		&& item->Submenu() != NULL && item->IsEnabled()) {
		_OpenSubmenu(level);
	}
}


void
MenuTracker::_SelectTitle(int32 index, bool byKeyboard)
{
	_CloseFrom(0);
	fRoot->_SetSelected(index);
	fOpeningPress = !byKeyboard;
	fButtonDown = !byKeyboard;
	fDragged = false;
	BMenuItem* title = fRoot->ItemAt(index);
	if (title == NULL || title->Submenu() == NULL || !title->IsEnabled())
		return;
	BMenu* menu = title->Submenu();
	float minWidth = 0;
	if (dynamic_cast<FieldMenuBar*>(fRoot) != NULL)
		minWidth = fRoot->Bounds().Width();
	// A field's menu keeps its marked item over the field, scrolling
	// rather than moving where the screen ends.
	bool field = dynamic_cast<FieldMenuBar*>(fRoot) != NULL;
	int32 marked = menu->FindMarkedIndex();
	_Open(menu, _TitleMenuLocation(menu, index), minWidth,
		field && marked >= 0);
	// It opens with the shown choice highlighted, so that the arrow keys
	// start from it.
	if (field && marked >= 0) {
		_Select(0, marked, false);
		_ShowSelected(0);
	}
	else if (byKeyboard)
		_SelectFirst(0);
}


void
MenuTracker::_OpenSubmenu(size_t level)
{
	if (fLevels.size() > level + 1)
		return;
	BMenu* menu = fLevels[level].menu;
	BMenuItem* item = menu->ItemAt(menu->fSelected);
	if (item == NULL || item->Submenu() == NULL)
		return;
	_Open(item->Submenu(), _SubmenuLocation(level, item->Submenu()));
}


void
MenuTracker::_SelectFirst(size_t level)
{
	if (level >= fLevels.size())
		return;
	BMenu* menu = fLevels[level].menu;
	for (int32 i = 0; i < menu->CountItems(); i++) {
		if (menu_item_choosable(menu->ItemAt(i))) {
			_Select(level, i, false);
			return;
		}
	}
}


void
MenuTracker::_MoveSelection(int32 direction)
{
	if (fLevels.empty())
		return;
	size_t level = fLevels.size() - 1;
	BMenu* menu = fLevels[level].menu;
	int32 count = menu->CountItems();
	if (count == 0)
		return;
	int32 index = menu->fSelected;
	if (index < 0)
		index = direction > 0 ? -1 : count;
	for (int32 step = 0; step < count; step++) {
		index = (index + direction + count) % count;
		if (menu_item_choosable(menu->ItemAt(index))) {
			_Select(level, index, false);
			_ShowSelected(level);
			return;
		}
	}
}


void
MenuTracker::_SwitchTitle(int32 direction)
{
	int32 count = fRoot->CountItems();
	if (count == 0)
		return;
	int32 index = fRoot->fSelected;
	for (int32 step = 0; step < count; step++) {
		index = (index + direction + count) % count;
		if (fRoot->ItemAt(index)->IsEnabled()) {
			_SelectTitle(index, true);
			return;
		}
	}
}


void
MenuTracker::_Choose(BMenuItem* item)
{
	fChosen = item;
	_Finish();
}


void
MenuTracker::_Finish()
{
	_CloseFrom(0);
	if (_IsBar())
		_ShowTriggers(fRoot, false);
	fDone = true;
}


// #pragma mark - Geometry


bool
MenuTracker::_HitMenu(BPoint screen, size_t& _level, int32& _index)
{
	BPoint pixel(floorf(screen.x), floorf(screen.y));
	for (size_t i = fLevels.size(); i-- > 0;) {
		const Level& level = fLevels[i];
		if (!level.frame.Contains(pixel))
			continue;
		_level = i;
		MenuLocker locker(level.menu);
		// The menu view may sit below a scroll arrow and be scrolled.
		BPoint inMenu = level.menu->ConvertFromWindow(
			pixel - level.frame.LeftTop());
		BRect shown = level.menu->Bounds();
		_index = shown.Contains(inMenu)
			? level.menu->_ItemIndexAt(inMenu) : -1;
		return true;
	}
	return false;
}


int32
MenuTracker::_HitTitle(BPoint screen)
{
	if (!_IsBar() || fRoot->Window() == NULL)
		return -1;
	BPoint point = fRoot->ConvertFromScreen(screen);
	if (!fRoot->Bounds().Contains(BPoint(floorf(point.x), floorf(point.y))))
		return -1;
	return fRoot->_ItemIndexAt(point);
}


BPoint
MenuTracker::_SubmenuLocation(size_t level, BMenu* submenu)
{
	const Level& parent = fLevels[level];
	BRect item;
	{
		MenuLocker locker(parent.menu);
		item = parent.menu->ConvertToWindow(
			parent.menu->ItemAt(parent.menu->fSelected)->Frame());
	}
	float width;
	float height;
	{
		MenuLocker locker(submenu);
		submenu->GetPreferredSize(&width, &height);
	}
	BPoint leftTop(parent.frame.right + 1,
		parent.frame.top + item.top - kMenuBorder);
	// Where the screen ends on the right, the submenu opens on the left.
	if (leftTop.x + width > menu_screen_frame().right)
		leftTop.x = parent.frame.left - width - 1;
	return leftTop;
}


BPoint
MenuTracker::_TitleMenuLocation(BMenu* menu, int32 title)
{
	BRect frame = fRoot->ConvertToScreen(fRoot->ItemAt(title)->Frame());
	if (dynamic_cast<FieldMenuBar*>(fRoot) != NULL) {
		// Over the field, with the marked item where the field shows it.
		float offset = kMenuBorder;
		if (BMenuItem* marked = menu->FindMarked())
			offset = marked->Frame().top;
		return BPoint(frame.left - kMenuBorder, frame.top - offset);
	}
	if (fRoot->fLayout == B_ITEMS_IN_ROW)
		return BPoint(frame.left, frame.bottom + 2);
	return BPoint(frame.right + 1, frame.top);
}

}	// namespace BPrivate
