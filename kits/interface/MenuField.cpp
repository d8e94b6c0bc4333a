/*
 * BMenuField: a label and a one-item menu bar drawn as a pop-up button.
 * The bar's item carries the menu; with the menu's label from marked, the
 * item's label (what the field shows) follows the marked item.
 */
#include <MenuField.h>

#include <MenuBar.h>
#include <MenuItem.h>
#include <Window.h>

#include "FieldMenuBar.h"
#include "MenuMeasures.h"
#include "MenuPrivate.h"

#include <math.h>
#include <stdlib.h>
#include <string.h>

using namespace BPrivate;

namespace {

// Space between the field's frame and its bar, on every side.
const float kFieldMargin = 1;
// Room for the pop-up marker at the bar's right.
const float kMarkerSpace = 18;

}	// namespace


namespace BPrivate {

FieldMenuBar::FieldMenuBar(BRect frame)
	:
	BMenuBar(frame, "_mc_mb_", B_FOLLOW_LEFT_RIGHT | B_FOLLOW_TOP,
		B_ITEMS_IN_ROW, true)
{
}


void
FieldMenuBar::AttachedToWindow()
{
	// A field's bar holds no shortcuts: the window's key menu bar stays
	// what it was.
	BMenuBar* keyBar = Window()->KeyMenuBar();
	BMenuBar::AttachedToWindow();
	Window()->SetKeyMenuBar(keyBar);
}


void
FieldMenuBar::Draw(BRect updateRect)
{
	B_UNUSED(updateRect);
	BRect bounds = Bounds();
	rgb_color background = ui_color(B_MENU_BACKGROUND_COLOR);
	BMenuItem* item = ItemAt(0);
	bool enabled = IsEnabled() && item != NULL && item->IsEnabled();
	bool open = BMenu::Private(this).Selected() >= 0;

	SetLowColor(open ? tint_color(background, B_DARKEN_1_TINT)
		: tint_color(background, B_LIGHTEN_1_TINT));
	FillRect(bounds, B_SOLID_LOW);
	SetHighColor(tint_color(background, B_DARKEN_3_TINT));
	StrokeRect(bounds);

	rgb_color text = ui_color(B_MENU_ITEM_TEXT_COLOR);
	if (!enabled)
		text = tint_color(background, B_DISABLED_LABEL_TINT);
	SetHighColor(text);
	if (item != NULL) {
		font_height fontHeight;
		GetFontHeight(&fontHeight);
		float baseline = bounds.top + kMenuBorder + kMenuItemVPadding
			+ ceilf(fontHeight.ascent);
		PushState();
		ClipToRect(BRect(bounds.left, bounds.top,
			bounds.right - kMarkerSpace, bounds.bottom));
		DrawString(item->Label(),
			BPoint(bounds.left + kBarItemHPadding - 2, baseline));
		PopState();
	}
	// The marker: a small triangle pointing down.
	float x = bounds.right - 12;
	float y = floorf((bounds.top + bounds.bottom) / 2) - 1;
	for (int32 i = 0; i < 4; i++)
		StrokeLine(BPoint(x + i, y + i), BPoint(x + 6 - i, y + i));
}


void
FieldMenuBar::GetPreferredSize(float* _width, float* _height)
{
	float width = 0;
	float height;
	BMenuBar::GetPreferredSize(NULL, &height);
	// As wide as the widest choice, so that none is cut.
	if (BMenuItem* item = ItemAt(0)) {
		width = StringWidth(item->Label());
		if (BMenu* menu = item->Submenu()) {
			for (int32 i = 0; i < menu->CountItems(); i++) {
				width = fmaxf(width,
					StringWidth(menu->ItemAt(i)->Label()));
			}
		}
	}
	if (_width != NULL)
		*_width = ceilf(width) + 2 * kBarItemHPadding + kMarkerSpace;
	if (_height != NULL)
		*_height = height;
}

}	// namespace BPrivate


BMenuField::BMenuField(BRect frame, const char* name, const char* label,
	BMenu* menu, uint32 resizingMode, uint32 flags)
	:
	BView(frame, name, resizingMode, flags)
{
	_InitData(label, menu, false);
}


BMenuField::BMenuField(BRect frame, const char* name, const char* label,
	BMenu* menu, bool fixedSize, uint32 resizingMode, uint32 flags)
	:
	BView(frame, name, resizingMode, flags)
{
	_InitData(label, menu, fixedSize);
}


BMenuField::~BMenuField()
{
	free(fLabel);
}


void
BMenuField::_InitData(const char* label, BMenu* menu, bool fixedSize)
{
	fLabel = label != NULL ? strdup(label) : NULL;
	fMenu = menu;
	fAlign = B_ALIGN_LEFT;
	fEnabled = true;
	fFixedSize = fixedSize;
	fNavigable = (Flags() & B_NAVIGABLE) != 0;
	fDivider = label != NULL ? floorf(Bounds().Width() / 2) : 0;
	SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
	SetLowColor(ViewColor());

	fMenuBar = new FieldMenuBar(BRect(0, 0, 10, 10));
	if (menu != NULL)
		fMenuBar->AddItem(menu);
	AddChild(fMenuBar);

	// The field fits its height to its font, whatever the frame said.
	float height;
	GetPreferredSize(NULL, &height);
	ResizeTo(Bounds().Width(), height);
	_LayoutBar();
}


void
BMenuField::_LayoutBar()
{
	BRect bounds = Bounds();
	float left = fLabel != NULL ? fDivider : 0;
	float height;
	fMenuBar->GetPreferredSize(NULL, &height);
	fMenuBar->MoveTo(left + kFieldMargin, kFieldMargin);
	fMenuBar->ResizeTo(fmaxf(bounds.right - kFieldMargin - left
		- kFieldMargin, 0), height);
}


// #pragma mark - Hooks


void
BMenuField::AttachedToWindow()
{
	BView::AttachedToWindow();
	if (Parent() != NULL) {
		SetViewColor(Parent()->ViewColor());
		SetLowColor(ViewColor());
	}
}


void
BMenuField::Draw(BRect updateRect)
{
	B_UNUSED(updateRect);
	// The keyboard focus: a frame round the field, in the margin the bar
	// leaves free, so that it covers neither the label nor the choice.
	if (IsFocus() && Window() != NULL && Window()->IsActive()) {
		BRect frame = fMenuBar->Frame().InsetByCopy(-kFieldMargin,
			-kFieldMargin);
		SetHighColor(ui_color(B_KEYBOARD_NAVIGATION_COLOR));
		StrokeRect(frame);
	}
	if (fLabel == NULL)
		return;
	font_height fontHeight;
	GetFontHeight(&fontHeight);
	BRect bar = fMenuBar->Frame();
	float baseline = bar.top + kMenuBorder + kMenuItemVPadding
		+ ceilf(fontHeight.ascent);
	float width = StringWidth(fLabel);
	float x = 0;
	if (fAlign == B_ALIGN_RIGHT)
		x = fDivider - width - 4;
	else if (fAlign == B_ALIGN_CENTER)
		x = floorf((fDivider - width) / 2);
	rgb_color text = ui_color(B_PANEL_TEXT_COLOR);
	if (!IsEnabled())
		text = tint_color(ViewColor(), B_DISABLED_LABEL_TINT);
	SetHighColor(text);
	DrawString(fLabel, BPoint(x, baseline));
}


void
BMenuField::MouseDown(BPoint where)
{
	// A click on the label opens the menu as a click on the field does.
	if (!IsEnabled() || where.x >= fMenuBar->Frame().left)
		return;
	BPoint inBar = fMenuBar->ConvertFromParent(
		BPoint(fMenuBar->Frame().left + 1, fMenuBar->Frame().top + 1));
	fMenuBar->MouseDown(inBar);
}


void
BMenuField::KeyDown(const char* bytes, int32 numBytes)
{
	// Space and Down open the menu from the keyboard, and so does Enter
	// where no default button of the window took it first.
	bool opens = numBytes == 1 && (bytes[0] == B_SPACE
		|| bytes[0] == B_DOWN_ARROW || bytes[0] == B_ENTER);
	if (opens && IsEnabled() && BMenu::Private(fMenuBar).Tracker() == NULL) {
		fMenuBar->MouseDown(BPoint(1, 1));
		fMenuBar->MouseUp(BPoint(1, 1));
		return;
	}
	BView::KeyDown(bytes, numBytes);
}


void
BMenuField::MakeFocus(bool focus)
{
	if (focus == IsFocus())
		return;
	BView::MakeFocus(focus);
	Invalidate();
}


void
BMenuField::WindowActivated(bool active)
{
	// The focus mark shows only in the active window.
	if (IsFocus())
		Invalidate();
	BView::WindowActivated(active);
}


void
BMenuField::FrameResized(float newWidth, float newHeight)
{
	BView::FrameResized(newWidth, newHeight);
	_LayoutBar();
}


void
BMenuField::GetPreferredSize(float* _width, float* _height)
{
	float barWidth;
	float barHeight;
	fMenuBar->GetPreferredSize(&barWidth, &barHeight);
	float left = fLabel != NULL ? fDivider : 0;
	if (_width != NULL)
		*_width = left + barWidth + 2 * kFieldMargin;
	if (_height != NULL)
		*_height = barHeight + 2 * kFieldMargin;
}


void
BMenuField::ResizeToPreferred()
{
	float width;
	float height;
	GetPreferredSize(&width, &height);
	ResizeTo(width, height);
	_LayoutBar();
}


// #pragma mark - Accessors


BMenu*
BMenuField::Menu() const
{
	return fMenu;
}


BMenuBar*
BMenuField::MenuBar() const
{
	return fMenuBar;
}


BMenuItem*
BMenuField::MenuItem() const
{
	return fMenuBar->ItemAt(0);
}


void
BMenuField::SetLabel(const char* label)
{
	free(fLabel);
	fLabel = label != NULL ? strdup(label) : NULL;
	_LayoutBar();
	if (Window() != NULL)
		Invalidate();
}


const char*
BMenuField::Label() const
{
	return fLabel;
}


void
BMenuField::SetEnabled(bool enabled)
{
	if (fEnabled == enabled)
		return;
	fEnabled = enabled;
	fMenuBar->SetEnabled(enabled);
	if (!enabled) {
		fNavigable = (Flags() & B_NAVIGABLE) != 0;
		SetFlags(Flags() & ~B_NAVIGABLE);
		if (IsFocus())
			MakeFocus(false);
	} else if (fNavigable)
		SetFlags(Flags() | B_NAVIGABLE);
	if (Window() != NULL) {
		Invalidate();
		fMenuBar->Invalidate();
	}
}


bool
BMenuField::IsEnabled() const
{
	return fEnabled;
}


void
BMenuField::SetAlignment(alignment label)
{
	fAlign = label;
	if (Window() != NULL)
		Invalidate();
}


alignment
BMenuField::Alignment() const
{
	return fAlign;
}


void
BMenuField::SetDivider(float dividingLine)
{
	fDivider = roundf(fmaxf(dividingLine, 0));
	_LayoutBar();
	if (Window() != NULL)
		Invalidate();
}


float
BMenuField::Divider() const
{
	return fDivider;
}
