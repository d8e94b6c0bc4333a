/*
 * The settings window.
 */
#include "ZELSetting.h"

#include <Application.h>
#include <Button.h>
#include <Font.h>
#include <TextControl.h>
#include <View.h>

#include <ctype.h>
#include <math.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "EscapeKey.h"
#include "MessageCodes.h"
#include "PrintLine.h"
#include "Settings.h"
#include "ZELFontField.h"
#include "ZELFontSize.h"

// Where the window goes relative to the frame it is given, and the size
// of its content before the height is fitted to the buttons.
static const float kOffsetLeft = 16;
static const float kOffsetTop = 40;
static const float kWidth = 350;
static const float kHeight = 120;
// The left column: three rows of controls.
static const float kColumnLeft = 10;
static const float kColumnRight = 160;
static const float kFirstRowTop = 10;
static const float kRowStep = 25;
static const float kDivider = 60;
// Room between a label and the control it names.
static const float kLabelGap = 6;
// Around and between the buttons of the right column.
static const float kMargin = 10;
static const float kButtonGap = 5;
static const int16 kSmallestSize = 6;
static const int16 kLargestSize = 24;


// Reads a number from the start of the text as the C library's "%li"
// conversion does (blanks skipped, a sign, 0x for hexadecimal, a leading
// 0 for octal, anything after the number ignored), however long the
// text is. Numbers beyond the 32-bit range are held at its ends.
static bool
ParseLineLength(const char* text, int32* _value)
{
	const char* start = text;
	while (isspace((unsigned char)*start))
		start++;
	char* end;
	long long value = strtoll(start, &end, 0);
	if (end == start)
		return false;
	if (value > INT32_MAX)
		value = INT32_MAX;
	else if (value < INT32_MIN)
		value = INT32_MIN;
	*_value = (int32)value;
	return true;
}


ZELSetting::ZELSetting(BRect frame, BMessage* current, BMessage* defaults)
	:
	BWindow(BRect(frame.left + kOffsetLeft, frame.top + kOffsetTop,
			frame.left + kOffsetLeft + kWidth - 1,
			frame.top + kOffsetTop + kHeight - 1),
		"Orvane Settings", B_TITLED_WINDOW,
		B_NOT_RESIZABLE | B_NOT_ZOOMABLE, B_CURRENT_WORKSPACE),
	fAppliedRecord(*current),
	fDefaultRecord(*defaults)
{
	PrintLine("ZELSetting constructor");
	fAppliedRecord.PrintToStream();
	fDefaultRecord.PrintToStream();

	_BuildControls();
	_PlaceButtons();

	InitByMsg(&fAppliedRecord);
	// Queued behind whatever loading the controls queued, so that the
	// window starts in step with the record it shows.
	PostMessage(kMsgSettingsMatch);
	Show();
}


ZELSetting::~ZELSetting()
{
}


void
ZELSetting::_BuildControls()
{
	BView* background = new BView(Bounds(), "", B_FOLLOW_ALL_SIDES,
		B_WILL_DRAW);
	background->SetViewColor(216, 216, 216, 255);
	AddChild(background);

	// The bottom edges are the controls' own: each fits its font.
	float top = kFirstRowTop;
	fLineLength = new BTextControl(BRect(kColumnLeft, top, kColumnRight, 10),
		"", "Line-Length:", "", NULL, B_FOLLOW_LEFT | B_FOLLOW_TOP,
		B_WILL_DRAW | B_NAVIGABLE);
	background->AddChild(fLineLength);
	fLineLength->SetModificationMessage(new BMessage(kMsgLineLengthEdited));
	fLineLength->MakeFocus(true);

	top += kRowStep;
	fFontField = new ZELFontField(BRect(kColumnLeft, top, kColumnRight, 10));
	background->AddChild(fFontField);

	top += kRowStep;
	fSizeField = new ZELFontSize(BRect(kColumnLeft, top, kColumnRight, 10),
		kSmallestSize, kLargestSize);
	background->AddChild(fSizeField);

	float divider = _Divider();
	fLineLength->SetDivider(divider);
	fFontField->SetDivider(divider);
	fSizeField->SetDivider(divider);

	fApplyButton = _AddButton("Apply", kMsgApply);
	fApplyButton->ResizeToPreferred();
	fRevertButton = _AddButton("Revert", kMsgRevert);
	fDefaultButton = _AddButton("Default", kMsgDefaults);
	fCancelButton = _AddButton("Cancel", kMsgCancel);
}


// The three controls share one divider: 60, or wider where the screen's
// font would otherwise cut a label short.
float
ZELSetting::_Divider()
{
	float divider = kDivider;
	BView* controls[] = { fLineLength, fFontField, fSizeField };
	const char* labels[] = { fLineLength->Label(), fFontField->Label(),
		fSizeField->Label() };
	for (int32 i = 0; i < 3; i++) {
		float needed = ceilf(controls[i]->StringWidth(labels[i])) + kLabelGap;
		if (needed > divider)
			divider = needed;
	}
	return divider;
}


BButton*
ZELSetting::_AddButton(const char* label, uint32 what)
{
	BButton* button = new BButton(BRect(0, 0, 0, 0), "", label,
		new BMessage(what), B_FOLLOW_LEFT | B_FOLLOW_TOP,
		B_WILL_DRAW | B_NAVIGABLE);
	ChildAt(0)->AddChild(button);
	return button;
}


// All four buttons take the widest one's width, in a column at the
// window's right edge; the window's height then fits the column.
void
ZELSetting::_PlaceButtons()
{
	BButton* buttons[] = { fApplyButton, fRevertButton, fDefaultButton,
		fCancelButton };
	float width = 0;
	float height = 0;
	for (BButton* button : buttons) {
		float preferredWidth;
		float preferredHeight;
		button->GetPreferredSize(&preferredWidth, &preferredHeight);
		if (preferredWidth > width)
			width = preferredWidth;
		height = preferredHeight;
	}

	BRect bounds = Bounds();
	float x = bounds.right - width - kMargin;
	float y = bounds.top + kMargin;
	for (BButton* button : buttons) {
		button->MoveTo(x, y);
		button->ResizeTo(width, height);
		y += height + kButtonGap;
	}
	fApplyButton->MakeDefault(true);

	// The left column reaches to the buttons, so that the field shows a
	// family's whole name and "DejaVu Sans" is not "DejaVu Serif" cut
	// short.
	float columnWidth = x - kMargin - kColumnLeft;
	BView* controls[] = { fLineLength, fFontField, fSizeField };
	for (BView* control : controls) {
		if (columnWidth > control->Bounds().Width())
			control->ResizeTo(columnWidth, control->Bounds().Height());
	}

	BRect cancel = fCancelButton->Frame();
	cancel.PrintToStream();
	PrintLine("W=%.2f H=%.2f", cancel.Width(), cancel.Height());
	ResizeTo(cancel.right + kMargin, cancel.bottom + kMargin);
}


bool
ZELSetting::InitByMsg(BMessage* record)
{
	PrintLine("ZELSetting InitByMsg");

	int32 lineLength;
	if (record->FindInt32(LineLength, &lineLength) == B_OK) {
		char text[16];
		snprintf(text, sizeof(text), "%li", (long)lineLength);
		fLineLength->SetText(text);
	} else
		PrintLine("no LineLength");

	// A name too long to be a family's marks nothing: the field compares
	// it whole and never copies it.
	const char* family;
	if (record->FindString(FontFamily, &family) == B_OK)
		fFontField->SetFontFamily(family);
	else
		PrintLine("no FontFamily");

	// The whole value: cut to 16 bits, 65548 would show as 12.
	int32 size;
	if (record->FindInt32(FontSize, &size) == B_OK)
		fSizeField->SetFontSize(size);
	else
		PrintLine("no FontSize");

	return true;
}


bool
ZELSetting::ExtractToMsg(BMessage* record)
{
	PrintLine("ZELSetting ExtractToMsg");

	const char* text = fLineLength->Text();
	int32 lineLength;
	if (!ParseLineLength(text, &lineLength)) {
		PrintLine("unable to convert linelength-str=%s", text);
		fLineLength->MakeFocus(true);
		return false;
	}
	record->AddInt32(LineLength, lineLength);

	char family[B_FONT_FAMILY_LENGTH + 1];
	fFontField->GetFontFamily(&family);
	record->AddString(FontFamily, family);

	int32 size;
	fSizeField->GetFontSize(&size);
	PrintLine("FontSize=%li", (long)size);
	record->AddInt32(FontSize, size);
	return true;
}


void
ZELSetting::MessageReceived(BMessage* message)
{
	PrintLine("ZELSetting MessageReceived");
	message->PrintToStream();

	switch (message->what) {
		case kMsgApply:
			PrintLine("Apply");
			_Apply();
			break;
		case kMsgRevert:
			PrintLine("Revert");
			InitByMsg(&fAppliedRecord);
			PostMessage(kMsgSettingsMatch);
			break;
		case kMsgDefaults:
			PrintLine("Default");
			InitByMsg(&fDefaultRecord);
			be_app->PostMessage(&fDefaultRecord);
			PostMessage(kMsgSettingsMatch);
			break;
		case kMsgCancel:
			PrintLine("Cancel");
			Quit();
			break;
		case kMsgSettingsMatch:
			_ShowInStep();
			break;
		case kMsgFontFamilyChosen:
		case kMsgLineLengthEdited:
		case kMsgFontSizeChosen:
			_ShowEdited();
			break;
		default:
			BWindow::MessageReceived(message);
			break;
	}
}


void
ZELSetting::DispatchMessage(BMessage* message, BHandler* handler)
{
	TurnEscapeInto(message, kMsgCancel);
	BWindow::DispatchMessage(message, handler);
}


void
ZELSetting::_Apply()
{
	BMessage* record = new BMessage(fDefaultRecord.what);
	if (ExtractToMsg(record)) {
		fAppliedRecord = *record;
		be_app->PostMessage(record);
		PostMessage(kMsgSettingsMatch);
	}
	delete record;
}


// Apply and Revert have nothing to do while the controls show a record.
void
ZELSetting::_ShowInStep()
{
	fCancelButton->MakeDefault(true);
	fApplyButton->SetEnabled(false);
	fRevertButton->SetEnabled(false);
}


void
ZELSetting::_ShowEdited()
{
	fApplyButton->SetEnabled(true);
	fRevertButton->SetEnabled(true);
	fApplyButton->MakeDefault(true);
}
