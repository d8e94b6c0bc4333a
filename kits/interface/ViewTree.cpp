/*
 * BView: the view tree. Adding a view to a view that is in a window
 * attaches the whole subtree: every view becomes a handler of the
 * window's looper, gets AttachedToWindow() (parents before children) and
 * then AllAttached() (children before parents). Removing detaches it the
 * same way with DetachedFromWindow() and AllDetached().
 */
#include <View.h>

#include <Window.h>

#include "LooperPrivate.h"
#include "ViewPrivate.h"
#include "WindowPrivate.h"

#include <algorithm>
#include <string.h>


void
BView::AddChild(BView* child, BView* before)
{
	if (child == NULL)
		return;
	if (child->fParent != NULL || child->fIsTopLevel || child->fWindow != NULL) {
		BPrivate::kits_debugger("BView::AddChild(): the view has a parent "
			"already; remove it from there first");
	}
	for (BView* ancestor = this; ancestor != NULL;
			ancestor = ancestor->fParent) {
		if (ancestor == child) {
			BPrivate::kits_debugger("BView::AddChild(): a view cannot be "
				"added to itself or to one of its own children");
		}
	}

	auto position = std::find(fChildren.begin(), fChildren.end(), before);
	if (before == NULL)
		position = fChildren.end();
	fChildren.insert(position, child);
	child->fParent = this;

	if (fWindow != NULL) {
		child->_Attach(fWindow);
		child->_CallAllAttached();
		child->Invalidate();
	}
}


bool
BView::RemoveChild(BView* child)
{
	if (child == NULL || child->fParent != this)
		return false;

	if (fWindow != NULL) {
		// What it covered shows this view again.
		Invalidate(child->fFrame);
		child->_Detach();
		child->_CallAllDetached();
	}
	fChildren.erase(std::find(fChildren.begin(), fChildren.end(), child));
	child->fParent = NULL;
	return true;
}


bool
BView::RemoveSelf()
{
	return fParent != NULL && fParent->RemoveChild(this);
}


int32
BView::CountChildren() const
{
	return (int32)fChildren.size();
}


BView*
BView::ChildAt(int32 index) const
{
	if (index < 0 || index >= (int32)fChildren.size())
		return NULL;
	return fChildren[index];
}


BView*
BView::NextSibling() const
{
	if (fParent == NULL)
		return NULL;
	const std::vector<BView*>& siblings = fParent->fChildren;
	auto self = std::find(siblings.begin(), siblings.end(), this);
	if (self == siblings.end() || self + 1 == siblings.end())
		return NULL;
	return *(self + 1);
}


BView*
BView::PreviousSibling() const
{
	if (fParent == NULL)
		return NULL;
	const std::vector<BView*>& siblings = fParent->fChildren;
	auto self = std::find(siblings.begin(), siblings.end(), this);
	if (self == siblings.end() || self == siblings.begin())
		return NULL;
	return *(self - 1);
}


BView*
BView::Parent() const
{
	if (fParent != NULL && fParent->fIsTopLevel)
		return NULL;
	return fParent;
}


BWindow*
BView::Window() const
{
	return fWindow;
}


BView*
BView::FindView(const char* name) const
{
	if (name == NULL)
		return NULL;
	for (BView* child : fChildren) {
		if (child->Name() != NULL && strcmp(child->Name(), name) == 0)
			return child;
		if (BView* found = child->FindView(name))
			return found;
	}
	return NULL;
}


// #pragma mark - private


void
BView::_Attach(BWindow* window)
{
	fWindow = window;
	window->AddHandler(this);
	// Messages a view does not handle go to its parent, and from the top
	// level straight to the window.
	if (fParent != NULL && !fParent->fIsTopLevel)
		SetNextHandler(fParent);
	else
		SetNextHandler(window);
	if ((fFlags & B_PULSE_NEEDED) != 0)
		window->fData->pulseViews++;

	AttachedToWindow();
	for (BView* child : fChildren)
		child->_Attach(window);
}


void
BView::_CallAllAttached()
{
	for (BView* child : fChildren)
		child->_CallAllAttached();
	AllAttached();
}


void
BView::_Detach()
{
	DetachedFromWindow();
	for (BView* child : fChildren)
		child->_Detach();

	BWindow* window = fWindow;
	window->_ViewDetached(this);
	if ((fFlags & B_PULSE_NEEDED) != 0)
		window->fData->pulseViews--;
	window->RemoveHandler(this);
}


void
BView::_CallAllDetached()
{
	for (BView* child : fChildren)
		child->_CallAllDetached();
	AllDetached();
	// Only now: AllDetached() may still ask for the window.
	fWindow = NULL;
}


void
BView::_ParentResized(float dh, float dv)
{
	BRect frame = BPrivate::resized_frame(fFrame, fResizingMode, dh, dv);
	if (frame == fFrame)
		return;

	BPoint oldLeftTop = fFrame.LeftTop();
	float oldWidth = fFrame.Width();
	float oldHeight = fFrame.Height();
	fFrame = frame;
	float width = fFrame.Width();
	float height = fFrame.Height();
	if (width != oldWidth || height != oldHeight) {
		for (BView* child : fChildren)
			child->_ParentResized(width - oldWidth, height - oldHeight);
	}
	_FrameChanged(oldLeftTop, oldWidth, oldHeight);
}


void
BView::_FrameChanged(BPoint oldLeftTop, float oldWidth, float oldHeight)
{
	if (fWindow == NULL)
		return;

	if (fParent != NULL) {
		// Both where the view was and where it is now need drawing.
		fParent->Invalidate(BRect(oldLeftTop.x, oldLeftTop.y,
			oldLeftTop.x + oldWidth, oldLeftTop.y + oldHeight));
		fParent->Invalidate(fFrame);
	}

	if ((fFlags & B_FRAME_EVENTS) == 0)
		return;
	if (fFrame.LeftTop() != oldLeftTop)
		FrameMoved(fFrame.LeftTop());
	if (fFrame.Width() != oldWidth || fFrame.Height() != oldHeight)
		FrameResized(fFrame.Width(), fFrame.Height());
}
