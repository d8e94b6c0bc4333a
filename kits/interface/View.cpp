/*
 * BView: construction, hooks, geometry, focus, the mouse and
 * invalidation. The view tree is in ViewTree.cpp, coordinate conversion
 * in ViewCoordinates.cpp, the drawing state in ViewState.cpp and the
 * drawing calls in ViewDrawing.cpp.
 */
#include <View.h>

#include <Message.h>
#include <ScrollBar.h>

#include <Region.h>
#include <Window.h>

#include "DisplayServer.h"
#include "LooperPrivate.h"
#include "ViewPrivate.h"
#include "WindowPrivate.h"

#include <math.h>
#include <string.h>


BView::BView(BRect frame, const char* name, uint32 resizingMode, uint32 flags)
	:
	BHandler(name),
	fWindow(NULL),
	fParent(NULL),
	fFrame(frame),
	fScroll(0, 0),
	fResizingMode(resizingMode & 0xffff),
	fFlags(flags & ~0xffffUL),
	fHideLevel(0),
	fViewColor(make_color(255, 255, 255)),
	fEventMask(0),
	fEventOptions(0),
	fIsTopLevel(false),
	fHorScroller(NULL),
	fVerScroller(NULL)
{
	// A frame given with fractions lands on whole pixels, as the
	// platform rounds it.
	fFrame.left = roundf(frame.left);
	fFrame.top = roundf(frame.top);
	fFrame.right = roundf(frame.right);
	fFrame.bottom = roundf(frame.bottom);
	fStates.push_back(new BPrivate::view_state);
}


BView::~BView()
{
	if (fHorScroller != NULL)
		fHorScroller->_TargetGone();
	if (fVerScroller != NULL)
		fVerScroller->_TargetGone();
	if (fParent != NULL)
		fParent->RemoveChild(this);

	while (!fChildren.empty()) {
		BView* child = fChildren.back();
		RemoveChild(child);
		delete child;
	}
	for (BPrivate::view_state* state : fStates)
		delete state;
}


// #pragma mark - Hooks


void
BView::AttachedToWindow()
{
}


void
BView::AllAttached()
{
}


void
BView::DetachedFromWindow()
{
}


void
BView::AllDetached()
{
}


void
BView::MessageReceived(BMessage* message)
{
	// The wheel over a scrolled view turns its bars.
	if (message->what == B_MOUSE_WHEEL_CHANGED
		&& (fHorScroller != NULL || fVerScroller != NULL)) {
		float dx = message->GetFloat("be:wheel_delta_x", 0);
		float dy = message->GetFloat("be:wheel_delta_y", 0);
		if (fVerScroller == NULL && dx == 0)
			dx = dy;
		if (dy != 0 && fVerScroller != NULL)
			fVerScroller->MessageReceived(message);
		else if (dx != 0 && fHorScroller != NULL) {
			BMessage horizontal(B_MOUSE_WHEEL_CHANGED);
			horizontal.AddFloat("be:wheel_delta_x", dx);
			fHorScroller->MessageReceived(&horizontal);
		}
		return;
	}
	BHandler::MessageReceived(message);
}


void
BView::Draw(BRect updateRect)
{
	B_UNUSED(updateRect);
}


void
BView::DrawAfterChildren(BRect updateRect)
{
	B_UNUSED(updateRect);
}


void
BView::KeyDown(const char* bytes, int32 numBytes)
{
	B_UNUSED(bytes);
	B_UNUSED(numBytes);
	if (fWindow != NULL)
		fWindow->_HandleNavigation(fWindow->CurrentMessage());
}


void
BView::KeyUp(const char* bytes, int32 numBytes)
{
	B_UNUSED(bytes);
	B_UNUSED(numBytes);
}


void
BView::MouseDown(BPoint where)
{
	B_UNUSED(where);
}


void
BView::MouseUp(BPoint where)
{
	B_UNUSED(where);
}


void
BView::MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage)
{
	B_UNUSED(where);
	B_UNUSED(transit);
	B_UNUSED(dragMessage);
}


void
BView::FrameMoved(BPoint newPosition)
{
	B_UNUSED(newPosition);
}


void
BView::FrameResized(float newWidth, float newHeight)
{
	B_UNUSED(newWidth);
	B_UNUSED(newHeight);
}


void
BView::Pulse()
{
}


void
BView::WindowActivated(bool active)
{
	B_UNUSED(active);
}


void
BView::MakeFocus(bool focus)
{
	if (fWindow == NULL)
		return;

	if (focus) {
		BView* previous = fWindow->CurrentFocus();
		if (previous == this)
			return;
		// The old focus hears about it through its own hook, so that a
		// subclass can take its caret away.
		if (previous != NULL)
			previous->MakeFocus(false);
		fWindow->_SetFocus(this);
	} else if (fWindow->CurrentFocus() == this)
		fWindow->_SetFocus(NULL);
}


// #pragma mark - Geometry


BRect
BView::Frame() const
{
	return fFrame;
}


BRect
BView::Bounds() const
{
	return BRect(fScroll.x, fScroll.y, fScroll.x + fFrame.Width(),
		fScroll.y + fFrame.Height());
}


void
BView::MoveBy(float dh, float dv)
{
	MoveTo(fFrame.left + dh, fFrame.top + dv);
}


void
BView::MoveTo(BPoint where)
{
	MoveTo(where.x, where.y);
}


void
BView::MoveTo(float x, float y)
{
	x = roundf(x);
	y = roundf(y);
	if (!(isfinite(x) && isfinite(y)) || (x == fFrame.left && y == fFrame.top))
		return;
	BPoint oldLeftTop = fFrame.LeftTop();
	fFrame.OffsetTo(x, y);
	_FrameChanged(oldLeftTop, fFrame.Width(), fFrame.Height());
}


void
BView::ResizeBy(float dh, float dv)
{
	ResizeTo(fFrame.Width() + dh, fFrame.Height() + dv);
}


void
BView::ResizeTo(float width, float height)
{
	width = roundf(width);
	height = roundf(height);
	if (!(width >= 0))
		width = 0;
	if (!(height >= 0))
		height = 0;
	if (!isfinite(width) || !isfinite(height))
		return;

	float oldWidth = fFrame.Width();
	float oldHeight = fFrame.Height();
	if (width == oldWidth && height == oldHeight)
		return;

	fFrame.right = fFrame.left + width;
	fFrame.bottom = fFrame.top + height;
	for (BView* child : fChildren)
		child->_ParentResized(width - oldWidth, height - oldHeight);
	_FrameChanged(fFrame.LeftTop(), oldWidth, oldHeight);
}


void
BView::ScrollTo(BPoint where)
{
	if (!(isfinite(where.x) && isfinite(where.y)))
		return;
	where.x = roundf(where.x);
	where.y = roundf(where.y);
	if (where == fScroll)
		return;
	fScroll = where;
	Invalidate();
	if (fHorScroller != NULL)
		fHorScroller->_TargetScrolled(where.x);
	if (fVerScroller != NULL)
		fVerScroller->_TargetScrolled(where.y);
}


BScrollBar*
BView::ScrollBar(orientation direction) const
{
	return direction == B_HORIZONTAL ? fHorScroller : fVerScroller;
}


void
BView::ScrollBy(float dh, float dv)
{
	ScrollTo(BPoint(fScroll.x + dh, fScroll.y + dv));
}


void
BView::Hide()
{
	fHideLevel++;
	if (fHideLevel != 1 || fWindow == NULL)
		return;
	// What the view covered shows its parent again.
	if (fParent != NULL)
		fParent->Invalidate(fFrame);
	if (fWindow->fData->mouseOverView == this)
		fWindow->fData->mouseOverView = NULL;
}


void
BView::Show()
{
	fHideLevel--;
	if (fHideLevel == 0 && fWindow != NULL)
		Invalidate();
}


bool
BView::IsHidden() const
{
	return IsHidden(NULL);
}


bool
BView::IsHidden(const BView* looking) const
{
	if (fHideLevel > 0)
		return true;
	if (looking == this)
		return false;
	if (fParent != NULL)
		return fParent->IsHidden(looking);
	// The top level stands for the window: from outside, a view in a
	// hidden window is hidden.
	if (fIsTopLevel && looking == NULL && fWindow != NULL)
		return fWindow->IsHidden();
	return false;
}


void
BView::GetPreferredSize(float* _width, float* _height)
{
	if (_width != NULL)
		*_width = fFrame.Width();
	if (_height != NULL)
		*_height = fFrame.Height();
}


void
BView::ResizeToPreferred()
{
	float width;
	float height;
	GetPreferredSize(&width, &height);
	ResizeTo(width, height);
}


uint32
BView::ResizingMode() const
{
	return fResizingMode;
}


void
BView::SetResizingMode(uint32 mode)
{
	fResizingMode = mode & 0xffff;
}


uint32
BView::Flags() const
{
	return fFlags;
}


void
BView::SetFlags(uint32 flags)
{
	flags &= ~0xffffUL;
	if (fWindow != NULL && (flags & B_PULSE_NEEDED) != (fFlags & B_PULSE_NEEDED))
		fWindow->fData->pulseViews += (flags & B_PULSE_NEEDED) != 0 ? 1 : -1;
	fFlags = flags;
}


// #pragma mark - Focus and the mouse


bool
BView::IsFocus() const
{
	return fWindow != NULL && fWindow->CurrentFocus() == this;
}


void
BView::GetMouse(BPoint* location, uint32* buttons, bool checkQueue)
{
	B_UNUSED(checkQueue);
	BPoint where;
	uint32 held = 0;
	BPrivate::DisplayServer::Default().GetPointer(where, held);
	if (location != NULL)
		*location = ConvertFromScreen(where);
	if (buttons != NULL)
		*buttons = held;
}


status_t
BView::SetMouseEventMask(uint32 mask, uint32 options)
{
	B_UNUSED(options);
	if (fWindow == NULL)
		return B_ERROR;
	BPrivate::window_data* data = fWindow->fData;
	if (data->buttons == 0)
		return B_ERROR;
	if ((mask & B_POINTER_EVENTS) != 0)
		data->eventMaskView = this;
	else if (data->eventMaskView == this)
		data->eventMaskView = NULL;
	return B_OK;
}


status_t
BView::SetEventMask(uint32 mask, uint32 options)
{
	fEventMask = mask;
	fEventOptions = options;
	return B_OK;
}


uint32
BView::EventMask()
{
	return fEventMask;
}


// #pragma mark - Invalidation


void
BView::Invalidate()
{
	Invalidate(Bounds());
}


void
BView::Invalidate(BRect rect)
{
	if (fWindow == NULL || !rect.IsValid())
		return;
	BRect visible = ConvertToWindow(Bounds() & rect);
	if (visible.IsValid())
		fWindow->_Invalidate(visible);
}


void
BView::Flush() const
{
	if (fWindow != NULL)
		fWindow->Flush();
}


void
BView::Sync() const
{
	if (fWindow != NULL)
		fWindow->Sync();
}
