/*
 * BScrollBar: value, range and proportion, drawn as two arrows and a
 * thumb in a track, and operated with the mouse.
 */
#include <ScrollBar.h>

#include <Message.h>
#include <MessageRunner.h>
#include <Messenger.h>
#include <Window.h>

#include <math.h>

namespace {

// The arrows are squares as long as the bar is thick.
const float kArrowLength = 14.0f;
// A thumb never gets shorter than this, however small its share.
const float kMinThumbLength = 14.0f;
// How many small steps one notch of the wheel scrolls.
const float kWheelSteps = 3.0f;
// A held arrow or track waits this long before it repeats, then repeats
// at the shorter interval, as keys do.
const bigtime_t kRepeatDelay = 300000;
const bigtime_t kRepeatInterval = 50000;
const uint32 kMsgRepeat = '_SBr';

}	// namespace


BScrollBar::BScrollBar(BRect frame, const char* name, BView* target,
	float min, float max, orientation direction)
	:
	BView(frame, name, B_FOLLOW_NONE,
		B_WILL_DRAW | B_FULL_UPDATE_ON_RESIZE | B_FRAME_EVENTS),
	fTarget(NULL),
	fValue(0),
	fMin(0),
	fMax(0),
	fProportion(0),
	fSmallStep(1),
	fLargeStep(10),
	fOrientation(direction),
	fPressed(kNoPart),
	fGrabOffset(0),
	fRepeater(NULL)
{
	SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
	SetRange(min, max);
	SetTarget(target);
}


BScrollBar::~BScrollBar()
{
	_StopRepeating();
	SetTarget((BView*)NULL);
}


// #pragma mark - Value, range and steps


void
BScrollBar::SetValue(float value)
{
	if (!isfinite(value))
		return;
	value = roundf(fminf(fmaxf(value, fMin), fMax));
	if (value == fValue)
		return;
	fValue = value;
	Invalidate();
	ValueChanged(value);
}


float
BScrollBar::Value() const
{
	return fValue;
}


void
BScrollBar::ValueChanged(float newValue)
{
	if (fTarget == NULL)
		return;
	BPoint where = fTarget->Bounds().LeftTop();
	if (fOrientation == B_HORIZONTAL)
		where.x = newValue;
	else
		where.y = newValue;
	fTarget->ScrollTo(where);
}


void
BScrollBar::SetProportion(float proportion)
{
	if (!(proportion >= 0))
		proportion = 0;
	proportion = fminf(proportion, 1);
	if (proportion == fProportion)
		return;
	fProportion = proportion;
	Invalidate();
}


float
BScrollBar::Proportion() const
{
	return fProportion;
}


void
BScrollBar::SetRange(float min, float max)
{
	if (!isfinite(min))
		min = 0;
	if (!(max >= min))
		max = min;
	min = roundf(min);
	max = roundf(max);
	if (min == fMin && max == fMax)
		return;
	fMin = min;
	fMax = max;
	Invalidate();
	// The value follows into the new range, and the target with it.
	float value = fminf(fmaxf(fValue, fMin), fMax);
	if (value != fValue)
		SetValue(value);
}


void
BScrollBar::GetRange(float* _min, float* _max) const
{
	if (_min != NULL)
		*_min = fMin;
	if (_max != NULL)
		*_max = fMax;
}


void
BScrollBar::SetSteps(float smallStep, float largeStep)
{
	fSmallStep = isfinite(smallStep) ? fmaxf(roundf(smallStep), 1) : 1;
	fLargeStep = isfinite(largeStep) ? fmaxf(roundf(largeStep), 1) : 1;
}


void
BScrollBar::GetSteps(float* _smallStep, float* _largeStep) const
{
	if (_smallStep != NULL)
		*_smallStep = fSmallStep;
	if (_largeStep != NULL)
		*_largeStep = fLargeStep;
}


// #pragma mark - The target


void
BScrollBar::SetTarget(BView* target)
{
	if (target == fTarget)
		return;
	if (fTarget != NULL) {
		BScrollBar*& slot = fOrientation == B_HORIZONTAL
			? fTarget->fHorScroller : fTarget->fVerScroller;
		if (slot == this)
			slot = NULL;
	}
	fTarget = target;
	if (fTarget == NULL)
		return;
	BScrollBar*& slot = fOrientation == B_HORIZONTAL
		? fTarget->fHorScroller : fTarget->fVerScroller;
	if (slot != NULL && slot != this)
		slot->fTarget = NULL;
	slot = this;
}


void
BScrollBar::SetTarget(const char* targetName)
{
	if (targetName == NULL || Window() == NULL)
		return;
	SetTarget(Window()->FindView(targetName));
}


BView*
BScrollBar::Target() const
{
	return fTarget;
}


orientation
BScrollBar::Orientation() const
{
	return fOrientation;
}


void
BScrollBar::_TargetGone()
{
	fTarget = NULL;
}


void
BScrollBar::_TargetScrolled(float value)
{
	// The target may scroll beyond the range; the bar shows as much of
	// that as it can and leaves the target where it went.
	value = roundf(fminf(fmaxf(value, fMin), fMax));
	if (value == fValue)
		return;
	fValue = value;
	Invalidate();
}


void
BScrollBar::GetPreferredSize(float* _width, float* _height)
{
	if (fOrientation == B_VERTICAL) {
		if (_width != NULL)
			*_width = B_V_SCROLL_BAR_WIDTH;
		if (_height != NULL)
			*_height = Bounds().Height();
	} else {
		if (_width != NULL)
			*_width = Bounds().Width();
		if (_height != NULL)
			*_height = B_H_SCROLL_BAR_HEIGHT;
	}
}


// #pragma mark - Geometry


float
BScrollBar::_Along(BPoint point) const
{
	return fOrientation == B_HORIZONTAL ? point.x : point.y;
}


float
BScrollBar::_Length() const
{
	BRect bounds = Bounds();
	return (fOrientation == B_HORIZONTAL ? bounds.Width() : bounds.Height())
		+ 1;
}


bool
BScrollBar::_IsUsable() const
{
	return fMax > fMin && _Length() > 2 * kArrowLength;
}


void
BScrollBar::_ThumbSpan(float& _start, float& _end) const
{
	float track = _Length() - 2 * kArrowLength;
	float thumb = fProportion > 0 ? roundf(track * fProportion) : track / 4;
	thumb = fminf(fmaxf(thumb, kMinThumbLength), track);
	float room = track - thumb;
	float offset = fMax > fMin ? roundf(room * (fValue - fMin)
		/ (fMax - fMin)) : 0;
	_start = kArrowLength + offset;
	_end = _start + thumb - 1;
}


BScrollBar::part
BScrollBar::_PartAt(BPoint where) const
{
	if (!Bounds().Contains(where))
		return kNoPart;
	float along = _Along(where) - _Along(Bounds().LeftTop());
	if (along < kArrowLength)
		return kDecrementArrow;
	if (along >= _Length() - kArrowLength)
		return kIncrementArrow;
	if (!_IsUsable())
		return kNoPart;
	float start;
	float end;
	_ThumbSpan(start, end);
	if (along < start)
		return kTrackBefore;
	if (along > end)
		return kTrackAfter;
	return kThumb;
}


// #pragma mark - Drawing


void
BScrollBar::Draw(BRect updateRect)
{
	B_UNUSED(updateRect);
	BRect bounds = Bounds();
	rgb_color base = ui_color(B_PANEL_BACKGROUND_COLOR);
	bool horizontal = fOrientation == B_HORIZONTAL;

	SetHighColor(tint_color(base, B_DARKEN_1_TINT));
	FillRect(bounds);
	SetHighColor(tint_color(base, B_DARKEN_2_TINT));
	StrokeRect(bounds);

	BRect decrement = bounds;
	BRect increment = bounds;
	if (horizontal) {
		decrement.right = decrement.left + kArrowLength - 1;
		increment.left = increment.right - kArrowLength + 1;
	} else {
		decrement.bottom = decrement.top + kArrowLength - 1;
		increment.top = increment.bottom - kArrowLength + 1;
	}
	_DrawArrow(decrement, true, fPressed == kDecrementArrow);
	_DrawArrow(increment, false, fPressed == kIncrementArrow);

	if (!_IsUsable())
		return;
	float start;
	float end;
	_ThumbSpan(start, end);
	BRect thumb = bounds;
	if (horizontal) {
		thumb.left = bounds.left + start;
		thumb.right = bounds.left + end;
	} else {
		thumb.top = bounds.top + start;
		thumb.bottom = bounds.top + end;
	}
	_DrawThumb(thumb);
}


void
BScrollBar::_DrawArrow(BRect rect, bool decrement, bool pressed)
{
	rgb_color base = ui_color(B_PANEL_BACKGROUND_COLOR);
	SetHighColor(tint_color(base, B_DARKEN_2_TINT));
	StrokeRect(rect);
	rect.InsetBy(1, 1);
	SetHighColor(pressed ? tint_color(base, B_DARKEN_2_TINT)
		: tint_color(base, B_LIGHTEN_1_TINT));
	FillRect(rect);

	// A small filled triangle pointing the way the arrow scrolls.
	SetHighColor(_IsUsable() ? tint_color(base, B_DARKEN_MAX_TINT)
		: tint_color(base, B_DARKEN_2_TINT));
	float centerX = floorf((rect.left + rect.right) / 2);
	float centerY = floorf((rect.top + rect.bottom) / 2);
	for (int32 row = 0; row < 4; row++) {
		float reach = (float)row;
		float offset = (decrement ? row - 2 : 1 - row);
		if (fOrientation == B_HORIZONTAL) {
			StrokeLine(BPoint(centerX + offset, centerY - reach),
				BPoint(centerX + offset, centerY + reach));
		} else {
			StrokeLine(BPoint(centerX - reach, centerY + offset),
				BPoint(centerX + reach, centerY + offset));
		}
	}
}


void
BScrollBar::_DrawThumb(BRect rect)
{
	rgb_color base = ui_color(B_PANEL_BACKGROUND_COLOR);
	SetHighColor(tint_color(base, B_DARKEN_3_TINT));
	StrokeRect(rect);
	rect.InsetBy(1, 1);
	if (!rect.IsValid())
		return;
	SetHighColor(fPressed == kThumb ? tint_color(base, B_DARKEN_1_TINT)
		: base);
	FillRect(rect);
	SetHighColor(tint_color(base, B_LIGHTEN_MAX_TINT));
	StrokeLine(rect.LeftBottom(), rect.LeftTop());
	StrokeLine(rect.LeftTop(), rect.RightTop());
}


// #pragma mark - Input


void
BScrollBar::AttachedToWindow()
{
	BView::AttachedToWindow();
}


void
BScrollBar::MessageReceived(BMessage* message)
{
	if (message->what == kMsgRepeat) {
		_Repeat();
		return;
	}
	if (message->what != B_MOUSE_WHEEL_CHANGED) {
		BView::MessageReceived(message);
		return;
	}
	float delta = message->GetFloat(fOrientation == B_HORIZONTAL
		? "be:wheel_delta_x" : "be:wheel_delta_y", 0);
	// A vertical wheel turns a lone horizontal bar too.
	if (delta == 0 && fOrientation == B_HORIZONTAL)
		delta = message->GetFloat("be:wheel_delta_y", 0);
	if (delta != 0)
		SetValue(fValue + delta * kWheelSteps * fSmallStep);
}


void
BScrollBar::MouseDown(BPoint where)
{
	part pressed = _PartAt(where);
	if (pressed == kNoPart || !_IsUsable())
		return;
	fPressed = pressed;
	fPointer = where;
	SetMouseEventMask(B_POINTER_EVENTS);

	if (pressed == kThumb) {
		float start;
		float end;
		_ThumbSpan(start, end);
		fGrabOffset = _Along(where) - _Along(Bounds().LeftTop()) - start;
	} else {
		_Step(pressed);
		_StopRepeating();
		BMessage repeat(kMsgRepeat);
		fRepeater = new BMessageRunner(BMessenger(this), &repeat,
			kRepeatDelay);
	}
	Invalidate();
}


void
BScrollBar::MouseMoved(BPoint where, uint32 transit,
	const BMessage* dragMessage)
{
	if (fPressed != kNoPart)
		fPointer = where;
	if (fPressed != kThumb) {
		BView::MouseMoved(where, transit, dragMessage);
		return;
	}
	float start;
	float end;
	_ThumbSpan(start, end);
	float room = _Length() - 2 * kArrowLength - (end - start + 1);
	if (room <= 0)
		return;
	float position = _Along(where) - _Along(Bounds().LeftTop())
		- fGrabOffset - kArrowLength;
	SetValue(fMin + position / room * (fMax - fMin));
}


void
BScrollBar::MouseUp(BPoint where)
{
	B_UNUSED(where);
	_StopRepeating();
	if (fPressed == kNoPart)
		return;
	fPressed = kNoPart;
	Invalidate();
}


void
BScrollBar::_Step(part pressed)
{
	// The track pages towards the pointer only until the thumb is under
	// it; an arrow steps only while the pointer is on it.
	if (_PartAt(fPointer) != pressed)
		return;
	switch (pressed) {
		case kDecrementArrow:
			SetValue(fValue - fSmallStep);
			break;
		case kIncrementArrow:
			SetValue(fValue + fSmallStep);
			break;
		case kTrackBefore:
			SetValue(fValue - fLargeStep);
			break;
		case kTrackAfter:
			SetValue(fValue + fLargeStep);
			break;
		case kThumb:
		case kNoPart:
			break;
	}
}


void
BScrollBar::_Repeat()
{
	// A repeat queued before the button came up finds nothing pressed.
	if (fRepeater == NULL || fPressed == kNoPart || fPressed == kThumb)
		return;
	bigtime_t interval;
	if (fRepeater->GetInfo(&interval, NULL) == B_OK
		&& interval != kRepeatInterval) {
		fRepeater->SetInterval(kRepeatInterval);
	}
	_Step(fPressed);
}


void
BScrollBar::_StopRepeating()
{
	delete fRepeater;
	fRepeater = NULL;
}


void
BScrollBar::FrameResized(float width, float height)
{
	Invalidate();
	BView::FrameResized(width, height);
}
