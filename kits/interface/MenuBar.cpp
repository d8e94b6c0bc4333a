/*
 * BMenuBar: a row of titles drawn in the owning window. A click on a
 * title starts a tracking session, which the bar keeps until the menus
 * close; the menu windows send their events back to the bar, so the
 * session always runs on the owning window's thread.
 */
#include <MenuBar.h>
#include <MenuItem.h>

#include <Message.h>
#include <Window.h>

#include "MenuTracker.h"
#include "MenuWindow.h"

#include <math.h>

using namespace BPrivate;


BMenuBar::BMenuBar(BRect frame, const char* name, uint32 resizingMode,
	menu_layout layout, bool resizeToFit)
	:
	BMenu(frame, name, resizingMode,
		B_WILL_DRAW | B_FRAME_EVENTS | B_FULL_UPDATE_ON_RESIZE, layout,
		resizeToFit),
	fBorder(B_BORDER_FRAME)
{
	SetViewColor(B_TRANSPARENT_COLOR);
	// The bar's height is known from the start: a window lays itself out
	// under the bar before any item is added.
	_Relayout();
}


BMenuBar::~BMenuBar()
{
	delete fTracker;
	fTracker = NULL;
}


void
BMenuBar::SetBorder(menu_bar_border border)
{
	fBorder = border;
	if (Window() != NULL)
		Invalidate();
}


menu_bar_border
BMenuBar::Border() const
{
	return fBorder;
}


void
BMenuBar::AttachedToWindow()
{
	BMenu::AttachedToWindow();
	if (Window()->KeyMenuBar() == NULL)
		Window()->SetKeyMenuBar(this);
	_Relayout();
}


void
BMenuBar::DetachedFromWindow()
{
	if (fTracker != NULL) {
		fTracker->Cancel();
		delete fTracker;
		fTracker = NULL;
		fSelected = -1;
	}
	if (Window()->KeyMenuBar() == this)
		Window()->SetKeyMenuBar(NULL);
	BMenu::DetachedFromWindow();
}


void
BMenuBar::Draw(BRect updateRect)
{
	_ComputeLayout();
	BRect bounds = Bounds();
	rgb_color background = ui_color(B_MENU_BACKGROUND_COLOR);
	SetLowColor(background);
	FillRect(bounds & updateRect, B_SOLID_LOW);
	for (BMenuItem* item : fItems) {
		if (item->Frame().Intersects(updateRect))
			item->Draw();
	}
	// A light line above and a dark one below set the bar off.
	SetHighColor(tint_color(background, B_LIGHTEN_2_TINT));
	StrokeLine(bounds.LeftTop(), bounds.RightTop());
	SetHighColor(tint_color(background, B_DARKEN_2_TINT));
	StrokeLine(bounds.LeftBottom(), bounds.RightBottom());
}


void
BMenuBar::MessageReceived(BMessage* message)
{
	switch (message->what) {
		case kMsgMenuPointer:
		case kMsgMenuKey:
			if (fTracker != NULL) {
				fTracker->HandleMessage(message);
				_FinishTracking();
			}
			break;
		default:
			BMenu::MessageReceived(message);
			break;
	}
}


void
BMenuBar::WindowActivated(bool active)
{
	// Menus do not stay open over a window that lost the keyboard.
	if (!active && fTracker != NULL) {
		fTracker->Cancel();
		_FinishTracking();
	}
	BMenu::WindowActivated(active);
}


void
BMenuBar::MouseDown(BPoint where)
{
	if (Window() == NULL || !IsEnabled())
		return;
	if (fTracker != NULL) {
		fTracker->PointerDown(ConvertToScreen(where));
		_FinishTracking();
		return;
	}
	int32 index = _ItemIndexAt(where);
	if (index < 0)
		return;

	SetMouseEventMask(B_POINTER_EVENTS);
	Window()->MenusBeginning();
	fTracker = new MenuTracker(this, BMessenger(this));
	fTracker->OpenTitle(index, false);
	_FinishTracking();
}


void
BMenuBar::StartMenuBar(int32 menuIndex, bool sticky, bool showMenu,
	BRect* specialRect)
{
	(void)sticky;
	(void)showMenu;
	(void)specialRect;
	if (Window() == NULL || !IsEnabled() || fTracker != NULL
		|| menuIndex < 0 || menuIndex >= CountItems()) {
		return;
	}
	Window()->MenusBeginning();
	fTracker = new MenuTracker(this, BMessenger(this));
	fTracker->OpenTitle(menuIndex, true);
	_FinishTracking();
}


void
BMenuBar::MouseUp(BPoint where)
{
	if (fTracker == NULL)
		return;
	fTracker->PointerUp(ConvertToScreen(where));
	_FinishTracking();
}


void
BMenuBar::MouseMoved(BPoint where, uint32 transit,
	const BMessage* dragMessage)
{
	B_UNUSED(transit);
	B_UNUSED(dragMessage);
	if (fTracker == NULL)
		return;
	BPoint screen;
	uint32 buttons;
	GetMouse(&screen, &buttons, false);
	fTracker->PointerMoved(ConvertToScreen(where), buttons);
	_FinishTracking();
}


void
BMenuBar::FrameResized(float newWidth, float newHeight)
{
	BMenu::FrameResized(newWidth, newHeight);
	fLayoutValid = false;
	Invalidate();
}


void
BMenuBar::_FinishTracking()
{
	if (fTracker == NULL || !fTracker->IsDone())
		return;
	BMenuItem* chosen = fTracker->Chosen();
	delete fTracker;
	fTracker = NULL;
	_SetSelected(-1);

	// The window hears that the menus closed before the chosen item's
	// message arrives, as it would on the platform.
	if (BWindow* window = Window())
		window->MenusEnded();
	if (chosen != NULL) {
		if (chosen->Menu() != NULL && chosen->Menu()->IsRadioMode())
			chosen->SetMarked(true);
		chosen->Invoke();
	}
}
