/*
 * BScrollView: lays a target and its bars out inside a border.
 */
#include <ScrollView.h>

#include <Message.h>
#include <Window.h>

#include "LooperPrivate.h"


BScrollView::BScrollView(const char* name, BView* target,
	uint32 resizingMode, uint32 flags, bool horizontal, bool vertical,
	border_style border)
	:
	BView(BRect(0, 0, 0, 0), name, resizingMode,
		flags | B_WILL_DRAW | B_FRAME_EVENTS),
	fTarget(target),
	fHorizontalBar(NULL),
	fVerticalBar(NULL),
	fBorder(border),
	fHighlighted(false)
{
	if (target == NULL)
		BPrivate::kits_debugger("BScrollView: the target must not be NULL");
	if (target->Parent() != NULL || target->Window() != NULL) {
		BPrivate::kits_debugger("BScrollView: the target is in a view "
			"tree already");
	}

	// The scroll view takes the target's place; the target moves inside
	// the border, the bars go beside and below it.
	float inset = _BorderSize(border);
	BRect frame = target->Frame();
	BRect outer = frame;
	outer.InsetBy(-inset, -inset);
	if (vertical)
		outer.right += B_V_SCROLL_BAR_WIDTH;
	if (horizontal)
		outer.bottom += B_H_SCROLL_BAR_HEIGHT;
	MoveTo(outer.LeftTop());
	ResizeTo(outer.Width(), outer.Height());

	target->MoveTo(inset, inset);
	BRect inner = target->Frame();
	AddChild(target);

	if (vertical) {
		fVerticalBar = new BScrollBar(BRect(inner.right + 1, inner.top,
			inner.right + B_V_SCROLL_BAR_WIDTH, inner.bottom),
			"_VSB_", target, 0, 0, B_VERTICAL);
		fVerticalBar->SetResizingMode(B_FOLLOW_RIGHT | B_FOLLOW_TOP_BOTTOM);
		AddChild(fVerticalBar);
	}
	if (horizontal) {
		fHorizontalBar = new BScrollBar(BRect(inner.left, inner.bottom + 1,
			inner.right, inner.bottom + B_H_SCROLL_BAR_HEIGHT),
			"_HSB_", target, 0, 0, B_HORIZONTAL);
		fHorizontalBar->SetResizingMode(B_FOLLOW_LEFT_RIGHT
			| B_FOLLOW_BOTTOM);
		AddChild(fHorizontalBar);
	}
	SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
}


BScrollView::~BScrollView()
{
}


float
BScrollView::_BorderSize(border_style border)
{
	switch (border) {
		case B_FANCY_BORDER:
			return 2;
		case B_PLAIN_BORDER:
			return 1;
		default:
			return 0;
	}
}


BScrollBar*
BScrollView::ScrollBar(orientation direction) const
{
	return direction == B_HORIZONTAL ? fHorizontalBar : fVerticalBar;
}


BView*
BScrollView::Target() const
{
	return fTarget;
}


void
BScrollView::SetBorder(border_style border)
{
	if (border == fBorder)
		return;
	float change = _BorderSize(border) - _BorderSize(fBorder);
	fBorder = border;
	if (border != B_FANCY_BORDER)
		fHighlighted = false;

	// The children keep their size: the scroll view grows or shrinks
	// around them, without letting them follow.
	for (int32 i = 0; i < CountChildren(); i++)
		ChildAt(i)->MoveBy(change, change);
	std::vector<uint32> modes;
	for (int32 i = 0; i < CountChildren(); i++) {
		modes.push_back(ChildAt(i)->ResizingMode());
		ChildAt(i)->SetResizingMode(B_FOLLOW_NONE);
	}
	MoveBy(-change, -change);
	ResizeBy(2 * change, 2 * change);
	for (int32 i = 0; i < CountChildren(); i++)
		ChildAt(i)->SetResizingMode(modes[i]);
	Invalidate();
}


border_style
BScrollView::Border() const
{
	return fBorder;
}


status_t
BScrollView::SetBorderHighlighted(bool highlighted)
{
	if (fBorder != B_FANCY_BORDER)
		return B_ERROR;
	if (highlighted != fHighlighted) {
		fHighlighted = highlighted;
		Invalidate();
	}
	return B_OK;
}


bool
BScrollView::IsBorderHighlighted() const
{
	return fHighlighted;
}


void
BScrollView::Draw(BRect updateRect)
{
	B_UNUSED(updateRect);
	BRect bounds = Bounds();
	rgb_color base = ui_color(B_PANEL_BACKGROUND_COLOR);

	// The square between the two bars.
	if (fHorizontalBar != NULL && fVerticalBar != NULL) {
		BRect corner(fVerticalBar->Frame().left,
			fHorizontalBar->Frame().top, fVerticalBar->Frame().right,
			fHorizontalBar->Frame().bottom);
		SetHighColor(base);
		FillRect(corner);
	}

	if (fBorder == B_PLAIN_BORDER) {
		SetHighColor(tint_color(base, B_DARKEN_2_TINT));
		StrokeRect(bounds);
	} else if (fBorder == B_FANCY_BORDER) {
		bool active = fHighlighted && Window() != NULL
			&& Window()->IsActive();
		// Sunk into the panel: shadow above and left, light below and
		// right; the inner ring dark, or the focus colour.
		SetHighColor(tint_color(base, B_DARKEN_1_TINT));
		StrokeLine(bounds.LeftBottom(), bounds.LeftTop());
		StrokeLine(bounds.LeftTop(), bounds.RightTop());
		SetHighColor(tint_color(base, B_LIGHTEN_MAX_TINT));
		StrokeLine(bounds.RightTop() + BPoint(0, 1), bounds.RightBottom());
		StrokeLine(bounds.RightBottom(), bounds.LeftBottom() + BPoint(1, 0));
		bounds.InsetBy(1, 1);
		SetHighColor(active ? ui_color(B_KEYBOARD_NAVIGATION_COLOR)
			: tint_color(base, B_DARKEN_3_TINT));
		StrokeRect(bounds);
	}
}


void
BScrollView::AttachedToWindow()
{
	BView::AttachedToWindow();
}


void
BScrollView::MessageReceived(BMessage* message)
{
	// The wheel over the border turns the target's bars.
	if (message->what == B_MOUSE_WHEEL_CHANGED && fTarget != NULL) {
		fTarget->MessageReceived(message);
		return;
	}
	BView::MessageReceived(message);
}


void
BScrollView::FrameResized(float width, float height)
{
	// The border runs along the edges, which have moved.
	Invalidate();
	BView::FrameResized(width, height);
}


void
BScrollView::WindowActivated(bool active)
{
	if (fHighlighted)
		Invalidate();
	BView::WindowActivated(active);
}


void
BScrollView::GetPreferredSize(float* _width, float* _height)
{
	float width = 0;
	float height = 0;
	if (fTarget != NULL)
		fTarget->GetPreferredSize(&width, &height);
	float border = 2 * _BorderSize(fBorder);
	if (_width != NULL) {
		*_width = width + border
			+ (fVerticalBar != NULL ? B_V_SCROLL_BAR_WIDTH : 0);
	}
	if (_height != NULL) {
		*_height = height + border
			+ (fHorizontalBar != NULL ? B_H_SCROLL_BAR_HEIGHT : 0);
	}
}
