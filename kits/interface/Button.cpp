/*
 * BButton: a grey, bevelled push button with a centred label.
 */
#include <Button.h>

#include <Window.h>

#include <math.h>
#include <string.h>

namespace {

// The narrowest a button wants to be, so that short labels ("OK") give
// buttons of one common size.
const float kMinimumWidth = 75.0f;
// Room on each side of the label.
const float kLabelMargin = 10.0f;
// Room above and below the label's line.
const float kVerticalMargin = 5.0f;

}	// namespace


BButton::BButton(BRect frame, const char* name, const char* label,
	BMessage* message, uint32 resizingMode, uint32 flags)
	:
	BControl(frame, name, label, message, resizingMode, flags),
	fDefault(false)
{
}


BButton::~BButton()
{
}


// #pragma mark - Drawing


void
BButton::Draw(BRect updateRect)
{
	B_UNUSED(updateRect);
	BRect rect = Bounds();
	_DrawFrame(rect);
	_DrawLabel(rect);
}


void
BButton::_DrawFrame(BRect& rect)
{
	rgb_color base = ViewColor();
	rgb_color dark = tint_color(base, B_DARKEN_4_TINT);
	if (!IsEnabled())
		dark = tint_color(base, B_DARKEN_2_TINT);

	if (fDefault) {
		// The default button stands out by a second, darker ring.
		SetHighColor(tint_color(base, B_DARKEN_MAX_TINT));
		if (!IsEnabled())
			SetHighColor(dark);
		StrokeRect(rect);
		rect.InsetBy(1, 1);
	}
	SetHighColor(dark);
	StrokeRect(rect);
	rect.InsetBy(1, 1);

	bool pressed = Value() != B_CONTROL_OFF;
	rgb_color face = pressed ? tint_color(base, B_DARKEN_2_TINT)
		: tint_color(base, IsEnabled() ? B_LIGHTEN_1_TINT : B_LIGHTEN_2_TINT);
	rgb_color shine = pressed ? tint_color(base, B_DARKEN_3_TINT)
		: tint_color(base, B_LIGHTEN_MAX_TINT);
	rgb_color shadow = pressed ? tint_color(base, B_DARKEN_1_TINT)
		: tint_color(base, B_DARKEN_2_TINT);

	if (rect.IsValid()) {
		SetHighColor(face);
		FillRect(rect);
		// Light falls from the top left: a bevel, turned round when the
		// button is held down.
		SetHighColor(shine);
		StrokeLine(rect.LeftBottom(), rect.LeftTop());
		StrokeLine(rect.LeftTop(), rect.RightTop());
		SetHighColor(shadow);
		StrokeLine(rect.RightTop() + BPoint(0, 1), rect.RightBottom());
		StrokeLine(rect.RightBottom(), rect.LeftBottom() + BPoint(1, 0));
	}
}


void
BButton::_DrawLabel(BRect rect)
{
	const char* label = Label();
	if (label == NULL || label[0] == '\0')
		return;

	font_height height;
	GetFontHeight(&height);
	float width = StringWidth(label);
	float x = floorf(rect.left + (rect.Width() + 1 - width) / 2);
	float y = floorf(rect.top + (rect.Height() + 1 - height.ascent
		- height.descent) / 2 + height.ascent);

	rgb_color base = ViewColor();
	SetLowColor(Value() != B_CONTROL_OFF ? tint_color(base, B_DARKEN_2_TINT)
		: tint_color(base, IsEnabled() ? B_LIGHTEN_1_TINT : B_LIGHTEN_2_TINT));
	SetHighColor(IsEnabled() ? ui_color(B_CONTROL_TEXT_COLOR)
		: tint_color(base, B_DISABLED_LABEL_TINT));
	DrawString(label, BPoint(x, y));

	// The keyboard focus: the label underlined in the navigation colour,
	// on a whole row of pixels below the lowest descender, so that the
	// line is solid and leaves the letters whole.
	if (IsFocus() && Window() != NULL && Window()->IsActive()) {
		SetHighColor(ui_color(B_KEYBOARD_NAVIGATION_COLOR));
		float underline = fminf(floorf(y + height.descent) + 1,
			rect.bottom - 1);
		StrokeLine(BPoint(x, underline), BPoint(x + width - 1, underline));
	}
}


// #pragma mark - Hooks


void
BButton::AttachedToWindow()
{
	BControl::AttachedToWindow();
	if (fDefault)
		Window()->SetDefaultButton(this);
}


void
BButton::DetachedFromWindow()
{
	// The window forgets its default button itself; the role stays with
	// the button for a later window.
	BControl::DetachedFromWindow();
}


void
BButton::KeyDown(const char* bytes, int32 numBytes)
{
	if (numBytes == 1 && (bytes[0] == B_SPACE || bytes[0] == B_ENTER)) {
		if (IsEnabled())
			Invoke();
		return;
	}
	BControl::KeyDown(bytes, numBytes);
}


void
BButton::MouseDown(BPoint where)
{
	if (!IsEnabled())
		return;
	SetValue(B_CONTROL_ON);
	SetTracking(true);
	SetMouseEventMask(B_POINTER_EVENTS);
	B_UNUSED(where);
}


void
BButton::MouseMoved(BPoint where, uint32 transit,
	const BMessage* dragMessage)
{
	if (!IsTracking()) {
		BControl::MouseMoved(where, transit, dragMessage);
		return;
	}
	// Held down only while the pointer is over the button.
	SetValue(Bounds().Contains(where) ? B_CONTROL_ON : B_CONTROL_OFF);
}


void
BButton::MouseUp(BPoint where)
{
	if (!IsTracking())
		return;
	if (Bounds().Contains(where) && IsEnabled())
		Invoke();
	SetTracking(false);
	SetValue(B_CONTROL_OFF);
}


void
BButton::MakeFocus(bool focus)
{
	BControl::MakeFocus(focus);
}


// #pragma mark - The default button


void
BButton::MakeDefault(bool isDefault)
{
	if (isDefault == fDefault)
		return;
	fDefault = isDefault;
	Invalidate();

	BWindow* window = Window();
	if (window == NULL)
		return;
	if (isDefault)
		window->SetDefaultButton(this);
	else if (window->DefaultButton() == this)
		window->SetDefaultButton(NULL);
}


bool
BButton::IsDefault() const
{
	return fDefault;
}


// #pragma mark - Label and size


void
BButton::SetLabel(const char* label)
{
	BControl::SetLabel(label);
}


void
BButton::GetPreferredSize(float* _width, float* _height)
{
	font_height height;
	GetFontHeight(&height);
	const char* label = Label();
	float labelWidth = label != NULL ? ceilf(StringWidth(label)) : 0;

	// Sizes in the platform's way: right minus left, one less than the
	// pixels covered.
	if (_width != NULL)
		*_width = fmaxf(kMinimumWidth, labelWidth + 2 * kLabelMargin);
	if (_height != NULL) {
		*_height = ceilf(height.ascent + height.descent + height.leading)
			+ 2 * kVerticalMargin;
	}
}


void
BButton::ResizeToPreferred()
{
	BControl::ResizeToPreferred();
}


status_t
BButton::Invoke(BMessage* message)
{
	if (!IsEnabled())
		return B_ERROR;
	// A key press is seen as a press of the button, drawn at once.
	if (Window() != NULL && !IsTracking()) {
		SetValue(B_CONTROL_ON);
		Window()->UpdateIfNeeded();
		SetValue(B_CONTROL_OFF);
	}
	return BControl::Invoke(message);
}
