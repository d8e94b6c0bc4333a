/*
 * Menus taller than the screen: where their window goes, the arrows
 * above and below their items, and how the wheel, a pointer resting on
 * an arrow and the keyboard scroll them. Part of MenuTracker, on its
 * thread; the menu windows are locked only while they change.
 */
#include "MenuTracker.h"

#include <Menu.h>
#include <MenuItem.h>
#include <Message.h>
#include <MessageRunner.h>

#include "MenuMeasures.h"
#include "MenuTriggers.h"
#include "MenuWindow.h"

#include <algorithm>
#include <math.h>
#include <string.h>
#include <strings.h>

namespace BPrivate {

namespace {

// How fast a pointer resting on an arrow scrolls: one item each step at
// first, twice as many after every kAutoScrollSpeedUp steps, up to
// kAutoScrollMaxItems, so that hundreds of items pass in a few seconds.
const bigtime_t kAutoScrollInterval = 40000;
const int32 kAutoScrollSpeedUp = 10;
const int32 kAutoScrollMaxItems = 16;
// How many items one notch of the wheel scrolls.
const float kWheelItems = 3;


// How far the menu scrolls for one item: an item's height and the pixel
// between items.
float
item_step(BMenu* menu)
{
	BMenuItem* first = menu->ItemAt(0);
	return first != NULL ? first->Frame().Height() + 1 : 1;
}

}	// namespace


MenuPlacement
place_menu(BPoint leftTop, float width, float height, bool keepPlace,
	BRect screen)
{
	MenuPlacement placement;
	placement.scrolls = false;
	placement.scroll = 0;
	placement.maxScroll = 0;

	float left = std::min(leftTop.x, screen.right - width);
	left = std::max(left, screen.left);
	bool fitsScreen = height <= screen.Height();
	bool fitsHere = leftTop.y >= screen.top
		&& leftTop.y + height <= screen.bottom;
	if (fitsScreen && (fitsHere || !keepPlace)) {
		float top = std::min(leftTop.y, screen.bottom - height);
		top = std::max(top, screen.top);
		placement.frame.Set(left, top, left + width, top + height);
		return placement;
	}

	// The part of the menu that lies on the screen, made at least half a
	// screen tall (or the whole menu, if less) towards the side with room.
	float top = std::max(screen.top, leftTop.y);
	float bottom = std::min(screen.bottom, leftTop.y + height);
	float least = std::min(height, floorf(screen.Height() / 2));
	least = std::max(least, 3 * kScrollArrowHeight);
	if (bottom - top < least) {
		if (leftTop.y + height > screen.bottom)
			top = std::max(screen.top, bottom - least);
		else
			bottom = std::min(screen.bottom, top + least);
	}
	placement.frame.Set(left, top, left + width, bottom);
	placement.scrolls = true;

	// A menu kept in place keeps its items on the rows they would have
	// had, as far as the arrows allow (the view starts below the up
	// arrow); any other starts from its first item.
	float visible = placement.frame.Height() - 2 * kScrollArrowHeight;
	placement.maxScroll = std::max(0.0f, height - visible);
	float scroll = keepPlace ? top + kScrollArrowHeight - leftTop.y : 0;
	placement.scroll = std::min(std::max(scroll, 0.0f), placement.maxScroll);
	return placement;
}


// #pragma mark - MenuScrollArrow


MenuScrollArrow::MenuScrollArrow(BRect frame, bool up)
	:
	BView(frame, up ? "scroll up" : "scroll down",
		B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW),
	fUp(up),
	fActive(true)
{
	SetViewColor(ui_color(B_MENU_BACKGROUND_COLOR));
}


void
MenuScrollArrow::Draw(BRect updateRect)
{
	B_UNUSED(updateRect);
	BRect bounds = Bounds();
	rgb_color background = ui_color(B_MENU_BACKGROUND_COLOR);
	SetHighColor(background);
	FillRect(bounds);
	// The menu's frame continues around the arrow.
	SetHighColor(tint_color(background, B_DARKEN_3_TINT));
	StrokeLine(bounds.LeftTop(), bounds.LeftBottom());
	StrokeLine(bounds.RightTop(), bounds.RightBottom());
	if (fUp)
		StrokeLine(bounds.LeftTop(), bounds.RightTop());
	else
		StrokeLine(bounds.LeftBottom(), bounds.RightBottom());

	SetHighColor(fActive ? ui_color(B_MENU_ITEM_TEXT_COLOR)
		: tint_color(background, B_DISABLED_LABEL_TINT));
	// A small triangle, row by row from its tip.
	float middle = floorf((bounds.left + bounds.right) / 2);
	float tip = floorf((bounds.top + bounds.bottom) / 2) + (fUp ? -2 : 2);
	for (float row = 0; row < 5; row++) {
		float y = fUp ? tip + row : tip - row;
		StrokeLine(BPoint(middle - row, y), BPoint(middle + row, y));
	}
}


void
MenuScrollArrow::SetActive(bool active)
{
	if (fActive == active)
		return;
	fActive = active;
	Invalidate();
}


// #pragma mark - MenuTracker: scrolling


bool
MenuTracker::_Scrolls(size_t level) const
{
	return level < fLevels.size() && fLevels[level].upArrow != NULL;
}


float
MenuTracker::_VisibleHeight(size_t level) const
{
	return fLevels[level].frame.Height() - 2 * kScrollArrowHeight;
}


int32
MenuTracker::_ArrowAt(BPoint screen, size_t& _level)
{
	BPoint pixel(floorf(screen.x), floorf(screen.y));
	for (size_t i = fLevels.size(); i-- > 0;) {
		const Level& level = fLevels[i];
		if (!level.frame.Contains(pixel))
			continue;
		if (!_Scrolls(i))
			return 0;
		_level = i;
		if (pixel.y < level.frame.top + kScrollArrowHeight)
			return -1;
		if (pixel.y > level.frame.bottom - kScrollArrowHeight)
			return 1;
		return 0;
	}
	return 0;
}


void
MenuTracker::_ScrollTo(size_t level, float top)
{
	if (!_Scrolls(level))
		return;
	Level& open = fLevels[level];
	top = roundf(std::min(std::max(top, 0.0f), open.maxScroll));
	// A submenu would no longer sit beside its item.
	_CloseFrom(level + 1);
	MenuLocker locker(open.menu);
	open.menu->ScrollTo(BPoint(0, top));
	open.upArrow->SetActive(top > 0);
	open.downArrow->SetActive(top < open.maxScroll);
}


void
MenuTracker::_ScrollBy(size_t level, float delta)
{
	if (!_Scrolls(level))
		return;
	float top;
	{
		MenuLocker locker(fLevels[level].menu);
		top = fLevels[level].menu->Bounds().top;
	}
	_ScrollTo(level, top + delta);
}


void
MenuTracker::_ShowSelected(size_t level)
{
	if (!_Scrolls(level))
		return;
	BMenu* menu = fLevels[level].menu;
	BRect item;
	float top;
	{
		MenuLocker locker(menu);
		BMenuItem* selected = menu->ItemAt(menu->fSelected);
		if (selected == NULL)
			return;
		item = selected->Frame();
		top = menu->Bounds().top;
	}
	// The first and the last item show with the menu's frame beside them.
	float visible = _VisibleHeight(level);
	if (item.top - kMenuBorder <= 0)
		item.top = 0;
	if (item.bottom + kMenuBorder >= fLevels[level].maxScroll + visible)
		item.bottom = fLevels[level].maxScroll + visible;
	if (item.top < top)
		_ScrollTo(level, item.top);
	else if (item.bottom > top + visible)
		_ScrollTo(level, item.bottom - visible);
}


void
MenuTracker::_Wheel(BPoint screen, float delta)
{
	BPoint pixel(floorf(screen.x), floorf(screen.y));
	for (size_t i = fLevels.size(); i-- > 0;) {
		if (!fLevels[i].frame.Contains(pixel))
			continue;
		_ScrollBy(i, delta * kWheelItems * item_step(fLevels[i].menu));
		return;
	}
}


void
MenuTracker::_AutoScroll(size_t level, int32 direction)
{
	if (fAutoScroller != NULL && fAutoScrollLevel == level
		&& fAutoScrollDirection == direction) {
		return;
	}
	_StopAutoScroll();
	fAutoScrollLevel = level;
	fAutoScrollDirection = direction;
	fAutoScrollSteps = 0;
	BMessage step(kMsgMenuPointer);
	step.AddInt32("event", kMenuAutoScrollEvent);
	fAutoScroller = new BMessageRunner(fEvents, &step, kAutoScrollInterval);
	// The first step at once, so that a touch of the arrow moves.
	_AutoScrollStep();
}


void
MenuTracker::_StopAutoScroll()
{
	delete fAutoScroller;
	fAutoScroller = NULL;
}


void
MenuTracker::_AutoScrollStep()
{
	if (fAutoScroller == NULL || !_Scrolls(fAutoScrollLevel))
		return;
	Level& level = fLevels[fAutoScrollLevel];
	float top;
	{
		MenuLocker locker(level.menu);
		top = level.menu->Bounds().top;
	}
	if ((fAutoScrollDirection < 0 && top <= 0)
		|| (fAutoScrollDirection > 0 && top >= level.maxScroll)) {
		_StopAutoScroll();
		return;
	}
	float step = item_step(level.menu);
	int32 items = 1 << std::min(fAutoScrollSteps++ / kAutoScrollSpeedUp, 30);
	step *= std::min(items, kAutoScrollMaxItems);
	_ScrollTo(fAutoScrollLevel, top + fAutoScrollDirection * step);
}


void
MenuTracker::_JumpSelection(size_t level, int32 pages, bool toEnd)
{
	BMenu* menu = fLevels[level].menu;
	int32 count = menu->CountItems();
	if (count == 0)
		return;
	int32 target;
	if (toEnd)
		target = pages < 0 ? 0 : count - 1;
	else {
		// A page is as many items as the menu shows at once.
		float itemHeight = item_step(menu);
		float visible = _Scrolls(level) ? _VisibleHeight(level)
			: fLevels[level].frame.Height();
		int32 perPage = std::max((int32)(visible / itemHeight) - 1, 1);
		int32 from = std::max(menu->fSelected, (int32)0);
		target = std::min(std::max(from + pages * perPage, (int32)0),
			count - 1);
	}
	// The nearest item that can be chosen, looking on in the same
	// direction first, then back.
	int32 direction = pages < 0 ? -1 : 1;
	if (toEnd)
		direction = -direction;
	for (int32 pass = 0; pass < 2; pass++, direction = -direction) {
		for (int32 i = target; i >= 0 && i < count; i += direction) {
			if (menu_item_choosable(menu->ItemAt(i))) {
				_Select(level, i, false);
				_ShowSelected(level);
				return;
			}
		}
	}
}


void
MenuTracker::_TypeAhead(const char* bytes)
{
	if (fLevels.empty() || bytes[0] == '\0')
		return;
	size_t level = fLevels.size() - 1;
	BMenu* menu = fLevels[level].menu;
	int32 count = menu->CountItems();

	// The typed text grows while it still begins some label; a letter
	// that fits none starts again from that letter, so that typing one
	// letter again and again steps through the items it begins.
	std::string typed = fTyped + bytes;
	for (int32 attempt = 0; attempt < 2; attempt++) {
		int32 start = std::max(menu->fSelected, (int32)0);
		if (attempt == 1 || typed.size() == strlen(bytes))
			start = menu->fSelected + 1;
		for (int32 step = 0; step < count; step++) {
			int32 index = (start + step + count) % count;
			BMenuItem* item = menu->ItemAt(index);
			if (!menu_item_choosable(item)
				|| strncasecmp(item->Label(), typed.c_str(),
					typed.size()) != 0) {
				continue;
			}
			fTyped = typed;
			_Select(level, index, false);
			_ShowSelected(level);
			return;
		}
		if (typed == bytes)
			break;
		typed = bytes;
	}
	fTyped.clear();
}

}	// namespace BPrivate
