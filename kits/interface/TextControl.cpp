/*
 * BTextControl: the label, the frame around the entry, and the entry, a
 * one-line text view that reports its changes to the control.
 */
#include <TextControl.h>

#include <Message.h>
#include <TextView.h>
#include <Window.h>

#include "WindowPrivate.h"

#include <math.h>
#include <string.h>
#include <string>

namespace {

// Between the label and the entry.
const float kLabelGap = 6.0f;
// Between the entry's frame and its text, left and right.
const float kTextInset = 2.0f;

}	// namespace


namespace BPrivate {

/*
 * The entry: a text view that keeps to one line, leaves Tab to keyboard
 * navigation, sends the control's message on Enter, and tells the
 * control of every change and of the focus coming and going.
 */
class TextControlEntry : public BTextView {
public:
	TextControlEntry(BRect frame, BTextControl* control, uint32 flags)
		:
		BTextView(frame, "_input_", BRect(0, 0, frame.Width(), 0),
			B_FOLLOW_LEFT_RIGHT | B_FOLLOW_TOP, flags | B_WILL_DRAW),
		fControl(control)
	{
		SetWordWrap(false);
		// A one-line entry has no use for a line end.
		DisallowChar(B_ENTER);
		DisallowChar('\r');
	}

	void KeyDown(const char* bytes, int32 numBytes) override
	{
		if (numBytes == 1 && bytes[0] == B_ENTER) {
			fControl->fChangedSinceInvoke = false;
			fControl->Invoke();
			// Entered text is chosen as a whole, ready to be replaced.
			SelectAll();
			return;
		}
		if (numBytes == 1 && bytes[0] == B_TAB) {
			BView::KeyDown(bytes, numBytes);
			return;
		}
		BTextView::KeyDown(bytes, numBytes);
	}

	void MakeFocus(bool focus) override
	{
		if (focus == IsFocus())
			return;
		BTextView::MakeFocus(focus);
		if (focus)
			SelectAll();
		fControl->_EntryFocusChanged(focus);
	}

protected:
	void InsertText(const char* text, int32 length, int32 offset,
		const text_run_array* runs) override
	{
		// Pasted lines run together on the one line.
		std::string line(text, length);
		for (char& byte : line) {
			if (byte == '\n' || byte == '\r')
				byte = ' ';
		}
		BTextView::InsertText(line.data(), length, offset, runs);
		fControl->_TextChanged();
	}

	void DeleteText(int32 fromOffset, int32 toOffset) override
	{
		BTextView::DeleteText(fromOffset, toOffset);
		fControl->_TextChanged();
	}

private:
	BTextControl* fControl;
};


bool
enter_reaches_focus_first(BView* focus)
{
	return dynamic_cast<TextControlEntry*>(focus) != NULL;
}

}	// namespace BPrivate


using BPrivate::TextControlEntry;


BTextControl::BTextControl(BRect frame, const char* name, const char* label,
	const char* initialText, BMessage* message, uint32 resizingMode,
	uint32 flags)
	:
	// The entry, not the control, is what keyboard navigation stops at.
	BControl(frame, name, label, message, resizingMode,
		flags & ~B_NAVIGABLE),
	fEntry(NULL),
	fModificationMessage(NULL),
	fDivider(0),
	fLabelAlign(B_ALIGN_LEFT),
	fChangedSinceInvoke(false),
	fSettingText(false)
{
	if (label != NULL && label[0] != '\0')
		fDivider = ceilf(StringWidth(label)) + kLabelGap;

	float height;
	GetPreferredSize(NULL, &height);
	ResizeTo(Bounds().Width(), height);

	fEntry = new TextControlEntry(BRect(0, 0, 10, 10), this,
		flags & B_NAVIGABLE);
	AddChild(fEntry);
	_LayOutEntry();
	fSettingText = true;
	fEntry->SetText(initialText != NULL ? initialText : "");
	fSettingText = false;
}


BTextControl::~BTextControl()
{
	delete fModificationMessage;
}


// #pragma mark - The text


void
BTextControl::SetText(const char* text)
{
	if (text == NULL)
		text = "";
	if (strcmp(text, fEntry->Text()) == 0)
		return;
	fSettingText = true;
	fEntry->SetText(text);
	fSettingText = false;
	if (fModificationMessage != NULL)
		InvokeNotify(fModificationMessage, B_CONTROL_MODIFIED);
}


const char*
BTextControl::Text() const
{
	return fEntry->Text();
}


BTextView*
BTextControl::TextView() const
{
	return fEntry;
}


void
BTextControl::SetModificationMessage(BMessage* message)
{
	if (message == fModificationMessage)
		return;
	delete fModificationMessage;
	fModificationMessage = message;
}


BMessage*
BTextControl::ModificationMessage() const
{
	return fModificationMessage;
}


void
BTextControl::_TextChanged()
{
	if (fSettingText)
		return;
	fChangedSinceInvoke = true;
	if (fModificationMessage != NULL)
		InvokeNotify(fModificationMessage, B_CONTROL_MODIFIED);
}


void
BTextControl::_EntryFocusChanged(bool focus)
{
	// The frame shows the focus.
	Invalidate();
	if (!focus && fChangedSinceInvoke) {
		fChangedSinceInvoke = false;
		Invoke();
	}
}


// #pragma mark - Layout


void
BTextControl::SetAlignment(alignment label, alignment text)
{
	fLabelAlign = label;
	fEntry->SetAlignment(text);
	Invalidate();
}


void
BTextControl::GetAlignment(alignment* _label, alignment* _text) const
{
	if (_label != NULL)
		*_label = fLabelAlign;
	if (_text != NULL)
		*_text = fEntry->Alignment();
}


void
BTextControl::SetDivider(float position)
{
	if (!isfinite(position))
		return;
	fDivider = fminf(fmaxf(roundf(position), 0), Bounds().Width());
	_LayOutEntry();
	Invalidate();
}


float
BTextControl::Divider() const
{
	return fDivider;
}


void
BTextControl::_LayOutEntry()
{
	// The entry fills the frame drawn right of the divider, one pixel in.
	BRect bounds = Bounds();
	BRect frame(fDivider + 1, 1, bounds.right - 1, bounds.bottom - 1);
	if (frame.right < frame.left)
		frame.right = frame.left;
	fEntry->MoveTo(frame.LeftTop());
	fEntry->ResizeTo(frame.Width(), frame.Height());
	fEntry->SetTextRect(BRect(kTextInset, 0,
		fmaxf(frame.Width() - kTextInset, kTextInset), frame.Height()));
}


void
BTextControl::FrameResized(float width, float height)
{
	Invalidate();
	BControl::FrameResized(width, height);
}


void
BTextControl::GetPreferredSize(float* _width, float* _height)
{
	font_height height;
	GetFontHeight(&height);
	if (_width != NULL)
		*_width = Bounds().Width();
	// The line, and a pixel of frame above and below it.
	if (_height != NULL)
		*_height = ceilf(height.ascent + height.descent + height.leading) + 1;
}


void
BTextControl::ResizeToPreferred()
{
	BControl::ResizeToPreferred();
	_LayOutEntry();
}


// #pragma mark - Hooks


void
BTextControl::AttachedToWindow()
{
	BControl::AttachedToWindow();
	rgb_color background = IsEnabled()
		? ui_color(B_DOCUMENT_BACKGROUND_COLOR)
		: tint_color(ViewColor(), B_LIGHTEN_1_TINT);
	fEntry->SetViewColor(background);
	fEntry->SetLowColor(background);
}


void
BTextControl::Draw(BRect updateRect)
{
	B_UNUSED(updateRect);
	BRect bounds = Bounds();
	rgb_color base = ViewColor();

	// The frame around the entry: sunk in, or the navigation colour
	// while the entry has the focus in the active window.
	BRect frame(fDivider, 0, bounds.right, bounds.bottom);
	if (frame.IsValid()) {
		bool focused = fEntry->IsFocus() && Window() != NULL
			&& Window()->IsActive();
		if (focused) {
			SetHighColor(ui_color(B_KEYBOARD_NAVIGATION_COLOR));
			StrokeRect(frame);
		} else {
			SetHighColor(tint_color(base, IsEnabled() ? B_DARKEN_3_TINT
				: B_DARKEN_1_TINT));
			StrokeLine(frame.LeftBottom(), frame.LeftTop());
			StrokeLine(frame.LeftTop(), frame.RightTop());
			SetHighColor(tint_color(base, B_LIGHTEN_MAX_TINT));
			StrokeLine(frame.RightTop() + BPoint(0, 1), frame.RightBottom());
			StrokeLine(frame.RightBottom(),
				frame.LeftBottom() + BPoint(1, 0));
		}
	}

	const char* label = Label();
	if (label == NULL || label[0] == '\0' || fDivider <= 0)
		return;
	font_height height;
	GetFontHeight(&height);
	float width = StringWidth(label);
	float room = fDivider - kLabelGap;
	float x = 0;
	if (fLabelAlign == B_ALIGN_RIGHT)
		x = room - width;
	else if (fLabelAlign == B_ALIGN_CENTER)
		x = floorf((room - width) / 2);
	// On the entry's baseline.
	float y = 1 + ceilf(height.ascent);
	SetLowColor(base);
	SetHighColor(IsEnabled() ? ui_color(B_CONTROL_TEXT_COLOR)
		: tint_color(base, B_DISABLED_LABEL_TINT));
	DrawString(label, BPoint(fmaxf(x, 0), y));
}


void
BTextControl::MakeFocus(bool focus)
{
	fEntry->MakeFocus(focus);
}


void
BTextControl::SetEnabled(bool enabled)
{
	if (enabled == IsEnabled())
		return;
	BControl::SetEnabled(enabled);
	fEntry->MakeEditable(enabled);
	fEntry->MakeSelectable(enabled);
	if (enabled)
		fEntry->SetFlags(fEntry->Flags() | B_NAVIGABLE);
	else {
		fEntry->SetFlags(fEntry->Flags() & ~B_NAVIGABLE);
		if (fEntry->IsFocus())
			fEntry->MakeFocus(false);
	}
	rgb_color background = enabled ? ui_color(B_DOCUMENT_BACKGROUND_COLOR)
		: tint_color(ViewColor(), B_LIGHTEN_1_TINT);
	fEntry->SetViewColor(background);
	fEntry->SetLowColor(background);
	fEntry->Invalidate();
	Invalidate();
}


void
BTextControl::SetLabel(const char* label)
{
	BControl::SetLabel(label);
}
