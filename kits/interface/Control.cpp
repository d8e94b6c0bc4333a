/*
 * BControl: what every control shares: label, value, enabled state,
 * tracking of the mouse, and sending through BInvoker.
 */
#include <Control.h>

#include "AccessibilityHooks.h"

#include <Message.h>
#include <Window.h>

#include <stdlib.h>
#include <string.h>


BControl::BControl(BRect frame, const char* name, const char* label,
	BMessage* message, uint32 resizingMode, uint32 flags)
	:
	BView(frame, name, resizingMode, flags),
	BInvoker(message, NULL, NULL),
	fLabel(label != NULL ? strdup(label) : NULL),
	fValue(B_CONTROL_OFF),
	fEnabled(true),
	fFocusChanging(false),
	fTracking(false),
	fNavigable((flags & B_NAVIGABLE) != 0)
{
}


BControl::~BControl()
{
	free(fLabel);
}


// #pragma mark - Hooks


void
BControl::AttachedToWindow()
{
	// A control blends into what it sits on.
	rgb_color color = Parent() != NULL ? Parent()->ViewColor()
		: ui_color(B_PANEL_BACKGROUND_COLOR);
	if (color == B_TRANSPARENT_COLOR)
		color = ui_color(B_PANEL_BACKGROUND_COLOR);
	SetViewColor(color);
	SetLowColor(color);

	if (!Messenger().IsValid())
		SetTarget(Window());
	BView::AttachedToWindow();
}


void
BControl::DetachedFromWindow()
{
	fTracking = false;
	BView::DetachedFromWindow();
}


void
BControl::WindowActivated(bool active)
{
	// The focus mark shows only in the active window.
	if (IsFocus())
		Invalidate();
	BView::WindowActivated(active);
}


void
BControl::MessageReceived(BMessage* message)
{
	BView::MessageReceived(message);
}


void
BControl::MakeFocus(bool focus)
{
	if (focus == IsFocus())
		return;
	fFocusChanging = true;
	BView::MakeFocus(focus);
	Invalidate();
	fFocusChanging = false;
}


void
BControl::KeyDown(const char* bytes, int32 numBytes)
{
	if (numBytes == 1 && (bytes[0] == B_SPACE || bytes[0] == B_ENTER)) {
		if (IsEnabled()) {
			SetValue(Value() != B_CONTROL_OFF ? B_CONTROL_OFF : B_CONTROL_ON);
			Invoke();
		}
		return;
	}
	BView::KeyDown(bytes, numBytes);
}


void
BControl::MouseDown(BPoint where)
{
	BView::MouseDown(where);
}


void
BControl::MouseUp(BPoint where)
{
	BView::MouseUp(where);
}


void
BControl::MouseMoved(BPoint where, uint32 transit,
	const BMessage* dragMessage)
{
	BView::MouseMoved(where, transit, dragMessage);
}


// #pragma mark - Label, value and state


void
BControl::SetLabel(const char* label)
{
	if (label != NULL && fLabel != NULL && strcmp(label, fLabel) == 0)
		return;
	free(fLabel);
	fLabel = label != NULL ? strdup(label) : NULL;
	Invalidate();
	BPrivate::accessible_view_changed(this);
}


const char*
BControl::Label() const
{
	return fLabel;
}


void
BControl::SetValue(int32 value)
{
	if (value == fValue)
		return;
	fValue = value;
	Invalidate();
	BPrivate::accessible_view_changed(this);
}


int32
BControl::Value() const
{
	return fValue;
}


void
BControl::SetEnabled(bool enabled)
{
	if (enabled == fEnabled)
		return;
	fEnabled = enabled;
	BPrivate::accessible_view_changed(this);
	// A disabled control cannot be tabbed to; one made navigable gets
	// that back when it is enabled again.
	if (!fEnabled) {
		fNavigable = (Flags() & B_NAVIGABLE) != 0;
		SetFlags(Flags() & ~B_NAVIGABLE);
	} else if (fNavigable)
		SetFlags(Flags() | B_NAVIGABLE);
	if (!fEnabled && IsFocus())
		MakeFocus(false);
	Invalidate();
}


bool
BControl::IsEnabled() const
{
	return fEnabled;
}


void
BControl::GetPreferredSize(float* _width, float* _height)
{
	BView::GetPreferredSize(_width, _height);
}


void
BControl::ResizeToPreferred()
{
	BView::ResizeToPreferred();
}


status_t
BControl::Invoke(BMessage* message)
{
	if (!fEnabled)
		return B_ERROR;
	if (message == NULL)
		message = Message();
	if (message == NULL)
		return B_BAD_VALUE;

	BMessage copy(*message);
	copy.AddInt64("when", system_time());
	copy.AddPointer("source", this);
	if (!Messenger().IsValid() && Window() != NULL) {
		// Aimed nowhere: the window is the target of last resort.
		return BMessenger(Window()).SendMessage(&copy, HandlerForReply());
	}
	return BInvoker::Invoke(&copy);
}


// #pragma mark - Protected


bool
BControl::IsFocusChanging() const
{
	return fFocusChanging;
}


bool
BControl::IsTracking() const
{
	return fTracking;
}


void
BControl::SetTracking(bool tracking)
{
	fTracking = tracking;
}


void
BControl::SetValueNoUpdate(int32 value)
{
	fValue = value;
}

