/*
 * BMenuItem and BSeparatorItem: what an item holds, how it measures and
 * draws itself, and how it is invoked.
 */
#include <MenuItem.h>

#include <Application.h>
#include <Menu.h>
#include <Message.h>
#include <Window.h>

#include "MenuMeasures.h"
#include "MenuPrivate.h"
#include "MenuTriggers.h"
#include "MenuWindow.h"

#include <algorithm>
#include <ctype.h>
#include <math.h>
#include <stdlib.h>
#include <string.h>

#include <string>

using BPrivate::MenuLocker;

namespace {

const uint32 kShortcutModifiers = B_SHIFT_KEY | B_COMMAND_KEY | B_CONTROL_KEY
	| B_OPTION_KEY | B_MENU_KEY;


// The text shown for a shortcut, as the desktop writes it: the keys to
// hold, then the key. Command is this system's Ctrl key and Option its
// Alt key. The platform's Control key would sit where Super is, but the
// desktop keeps that key, so a shortcut asking for it cannot be typed.
std::string
shortcut_text(char shortcut, uint32 modifiers)
{
	std::string text;
	if ((modifiers & B_COMMAND_KEY) != 0)
		text += "Ctrl+";
	if ((modifiers & B_CONTROL_KEY) != 0)
		text += "Super+";
	if ((modifiers & B_OPTION_KEY) != 0)
		text += "Alt+";
	if ((modifiers & B_SHIFT_KEY) != 0)
		text += "Shift+";
	text += (char)toupper((unsigned char)shortcut);
	return text;
}


rgb_color
mixed(rgb_color a, rgb_color b, float amount)
{
	rgb_color color;
	color.red = (uint8)roundf(a.red + (b.red - a.red) * amount);
	color.green = (uint8)roundf(a.green + (b.green - a.green) * amount);
	color.blue = (uint8)roundf(a.blue + (b.blue - a.blue) * amount);
	color.alpha = 255;
	return color;
}

}	// namespace


BMenuItem::BMenuItem(const char* label, BMessage* message, char shortcut,
	uint32 modifiers)
	:
	BInvoker(message, NULL),
	fLabel(strdup(label != NULL ? label : "")),
	fSubmenu(NULL),
	fSuper(NULL),
	fModifiers(0),
	fShortcutChar(0),
	fTrigger(0),
	fEnabled(true),
	fMarked(false),
	fSelected(false)
{
	SetShortcut(shortcut, modifiers);
}


BMenuItem::BMenuItem(BMenu* menu, BMessage* message)
	:
	BInvoker(message, NULL),
	fLabel(strdup(menu != NULL && menu->Name() != NULL ? menu->Name() : "")),
	fSubmenu(menu),
	fSuper(NULL),
	fModifiers(0),
	fShortcutChar(0),
	fTrigger(0),
	fEnabled(true),
	fMarked(false),
	fSelected(false)
{
	if (menu == NULL)
		return;
	menu->fSuperitem = this;
	// A menu that shows its marked item's label (a menu field's pop-up)
	// shows it from the start, not only after the next choice.
	BMenuItem* marked = menu->IsLabelFromMarked() ? menu->FindMarked()
		: NULL;
	if (marked != NULL && marked->Label() != NULL) {
		free(fLabel);
		fLabel = strdup(marked->Label());
	}
}


BMenuItem::~BMenuItem()
{
	if (fSuper != NULL)
		fSuper->RemoveItem(this);
	delete fSubmenu;
	free(fLabel);
}


void
BMenuItem::SetLabel(const char* label)
{
	MenuLocker locker(fSuper);
	free(fLabel);
	fLabel = strdup(label != NULL ? label : "");
	if (fSuper != NULL)
		fSuper->_Relayout();
}


void
BMenuItem::SetEnabled(bool enabled)
{
	MenuLocker locker(fSuper);
	if (fEnabled == enabled)
		return;
	fEnabled = enabled;
	if (fSubmenu != NULL)
		fSubmenu->SetEnabled(enabled);
	_Changed();
}


void
BMenuItem::SetMarked(bool marked)
{
	MenuLocker locker(fSuper);
	if (marked && fSuper != NULL)
		fSuper->_ItemMarked(this);
	if (fMarked == marked)
		return;
	fMarked = marked;
	_Changed();
}


void
BMenuItem::SetTrigger(char trigger)
{
	fTrigger = trigger;
}


void
BMenuItem::SetShortcut(char shortcut, uint32 modifiers)
{
	MenuLocker locker(fSuper);
	fShortcutChar = shortcut;
	// Modifiers 0 mean the Command key alone, and Command is always part
	// of a shortcut.
	fModifiers = shortcut != 0
		? ((modifiers | B_COMMAND_KEY) & kShortcutModifiers) : 0;
	if (fSuper != NULL)
		fSuper->_Relayout();
}


const char*
BMenuItem::Label() const
{
	return fLabel;
}


bool
BMenuItem::IsEnabled() const
{
	if (!fEnabled)
		return false;
	if (fSubmenu != NULL && !fSubmenu->fEnabled)
		return false;
	return fSuper == NULL || fSuper->IsEnabled();
}


bool
BMenuItem::IsMarked() const
{
	return fMarked;
}


char
BMenuItem::Trigger() const
{
	return fTrigger;
}


char
BMenuItem::Shortcut(uint32* _modifiers) const
{
	if (_modifiers != NULL)
		*_modifiers = fModifiers;
	return fShortcutChar;
}


BMenu*
BMenuItem::Submenu() const
{
	return fSubmenu;
}


BMenu*
BMenuItem::Menu() const
{
	return fSuper;
}


BRect
BMenuItem::Frame() const
{
	if (fSuper != NULL)
		fSuper->_ComputeLayout();
	return fBounds;
}


status_t
BMenuItem::Invoke(BMessage* message)
{
	if (!IsEnabled())
		return B_NOT_ALLOWED;
	BMessage* source = message != NULL ? message : Message();
	if (source == NULL)
		return B_BAD_VALUE;

	BMessage copy(*source);
	copy.AddInt32("index", fSuper != NULL ? fSuper->IndexOf(this) : -1);
	if (Messenger().IsValid())
		return BInvoker::Invoke(&copy);

	// Without a target the message goes to the window that holds the
	// menu bar or field the item belongs to.
	BWindow* window = NULL;
	if (fSuper != NULL)
		window = BMenu::Private(fSuper).OwnerWindow();
	if (window == NULL)
		return B_BAD_PORT_ID;
	copy.AddInt64("when", system_time());
	copy.AddPointer("source", this);
	return BMessenger(window).SendMessage(&copy);
}


// #pragma mark - Drawing


void
BMenuItem::GetContentSize(float* _width, float* _height)
{
	float width = 0;
	float height = 0;
	if (fSuper != NULL) {
		width = ceilf(fSuper->StringWidth(fLabel));
		font_height fontHeight;
		fSuper->GetFontHeight(&fontHeight);
		height = ceilf(fontHeight.ascent + fontHeight.descent);
	}
	if (_width != NULL)
		*_width = width;
	if (_height != NULL)
		*_height = height;
}


float
BMenuItem::_ShortcutWidth() const
{
	if (fShortcutChar == 0 || fSuper == NULL)
		return 0;
	return ceilf(fSuper->StringWidth(
		shortcut_text(fShortcutChar, fModifiers).c_str()));
}


BPoint
BMenuItem::ContentLocation() const
{
	if (fSuper == NULL)
		return BPoint(0, 0);
	float left = fSuper->fLayout == B_ITEMS_IN_ROW
		? BPrivate::kBarItemHPadding : BPrivate::kColumnLeftSpace;
	return BPoint(fBounds.left + left,
		fBounds.top + BPrivate::kMenuItemVPadding);
}


void
BMenuItem::DrawContent()
{
	font_height fontHeight;
	fSuper->GetFontHeight(&fontHeight);
	BPoint where = ContentLocation();
	float baseline = where.y + ceilf(fontHeight.ascent);
	fSuper->DrawString(fLabel, BPoint(where.x, baseline));
	if (fSuper->fTriggersShown && fSuper->fTriggersEnabled)
		_DrawTriggerMark(where.x, baseline, fontHeight);
}


// A line under the letter that picks the item, in the text's colour.
void
BMenuItem::_DrawTriggerMark(float left, float baseline,
	const font_height& fontHeight)
{
	int32 offset = BPrivate::menu_trigger_offset(this);
	if (offset < 0)
		return;
	std::string before(fLabel, offset);
	char letter[2] = { fLabel[offset], '\0' };
	float start = left + fSuper->StringWidth(before.c_str());
	float width = fSuper->StringWidth(letter);
	float y = baseline + std::max(1.0f, floorf(fontHeight.descent / 2));
	fSuper->StrokeLine(BPoint(floorf(start), y),
		BPoint(ceilf(start + width) - 1, y));
}


void
BMenuItem::Draw()
{
	if (fSuper == NULL)
		return;
	bool selected = fSelected && IsEnabled();
	rgb_color background = ui_color(selected
		? B_MENU_SELECTION_BACKGROUND_COLOR : B_MENU_BACKGROUND_COLOR);
	rgb_color text = ui_color(selected
		? B_MENU_SELECTED_ITEM_TEXT_COLOR : B_MENU_ITEM_TEXT_COLOR);
	if (!IsEnabled())
		text = mixed(text, background, 0.55f);

	fSuper->SetLowColor(background);
	fSuper->FillRect(fBounds, B_SOLID_LOW);
	fSuper->SetHighColor(text);
	DrawContent();

	bool column = fSuper->fLayout != B_ITEMS_IN_ROW;
	float middle = floorf((fBounds.top + fBounds.bottom) / 2);
	if (fMarked && column) {
		// A check mark in the space left of the label.
		float left = fBounds.left + 6;
		fSuper->SetPenSize(2);
		fSuper->StrokeLine(BPoint(left, middle),
			BPoint(left + 3, middle + 3));
		fSuper->StrokeLine(BPoint(left + 3, middle + 3),
			BPoint(left + 9, middle - 4));
		fSuper->SetPenSize(1);
	}
	float right = fBounds.right - BPrivate::kColumnRightPadding;
	if (fSubmenu != NULL && column) {
		// A small triangle pointing to where the submenu opens.
		float x = fBounds.right - 10;
		for (int32 i = 0; i < 4; i++) {
			fSuper->StrokeLine(BPoint(x + i, middle - 3 + i),
				BPoint(x + i, middle + 3 - i));
		}
		right = x - 6;
	}
	if (fShortcutChar != 0 && column)
		_DrawShortcut(right);
}


void
BMenuItem::_DrawShortcut(float right)
{
	font_height fontHeight;
	fSuper->GetFontHeight(&fontHeight);
	std::string text = shortcut_text(fShortcutChar, fModifiers);
	float width = _ShortcutWidth();
	fSuper->DrawString(text.c_str(), BPoint(right - width,
		fBounds.top + BPrivate::kMenuItemVPadding + ceilf(fontHeight.ascent)));
}


void
BMenuItem::Highlight(bool highlight)
{
	fSelected = highlight;
	if (fSuper != NULL)
		fSuper->Invalidate(fBounds);
}


bool
BMenuItem::IsSelected() const
{
	return fSelected;
}


void
BMenuItem::_SetMenu(BMenu* menu)
{
	fSuper = menu;
	if (fSubmenu != NULL)
		fSubmenu->fSupermenu = menu;
}


void
BMenuItem::_Changed()
{
	if (fSuper != NULL && fSuper->Window() != NULL)
		fSuper->Invalidate(Frame());
}


// #pragma mark - BSeparatorItem


BSeparatorItem::BSeparatorItem()
	:
	BMenuItem("", NULL)
{
	BMenuItem::SetEnabled(false);
}


BSeparatorItem::~BSeparatorItem()
{
}


void
BSeparatorItem::SetEnabled(bool enabled)
{
	B_UNUSED(enabled);
}


void
BSeparatorItem::GetContentSize(float* _width, float* _height)
{
	if (_width != NULL)
		*_width = 0;
	if (_height != NULL)
		*_height = BPrivate::kSeparatorHeight
			- 2 * BPrivate::kMenuItemVPadding;
}


void
BSeparatorItem::Draw()
{
	BMenu* menu = Menu();
	if (menu == NULL)
		return;
	BRect frame = Frame();
	menu->SetLowColor(ui_color(B_MENU_BACKGROUND_COLOR));
	menu->FillRect(frame, B_SOLID_LOW);
	float y = floorf((frame.top + frame.bottom) / 2);
	menu->SetHighColor(mixed(ui_color(B_MENU_BACKGROUND_COLOR),
		make_color(0, 0, 0), 0.3f));
	menu->StrokeLine(BPoint(frame.left + 1, y), BPoint(frame.right - 1, y));
	menu->SetHighColor(mixed(ui_color(B_MENU_BACKGROUND_COLOR),
		make_color(255, 255, 255), 0.6f));
	menu->StrokeLine(BPoint(frame.left + 1, y + 1),
		BPoint(frame.right - 1, y + 1));
}
