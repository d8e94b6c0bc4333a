/*
 * BBox: a plain, etched or absent border with a label in its top edge.
 */
#include <Box.h>

#include <math.h>
#include <stdlib.h>
#include <string.h>

namespace {

// Where the label starts, from the box's left edge.
const float kLabelIndent = 10.0f;
// Room between the label and the border line on either side of it.
const float kLabelGap = 3.0f;

}	// namespace


BBox::BBox(BRect frame, const char* name, uint32 resizingMode,
	uint32 flags, border_style border)
	:
	BView(frame, name, resizingMode, flags | B_FRAME_EVENTS),
	fLabel(NULL),
	fLabelView(NULL),
	fStyle(border)
{
	SetFont(be_bold_font);
}


BBox::~BBox()
{
	free(fLabel);
}


void
BBox::SetBorder(border_style border)
{
	if (border == fStyle)
		return;
	fStyle = border;
	Invalidate();
}


border_style
BBox::Border() const
{
	return fStyle;
}


void
BBox::SetLabel(const char* label)
{
	if (fLabelView != NULL) {
		RemoveChild(fLabelView);
		delete fLabelView;
		fLabelView = NULL;
	}
	free(fLabel);
	fLabel = label != NULL ? strdup(label) : NULL;
	Invalidate();
}


status_t
BBox::SetLabel(BView* viewLabel)
{
	SetLabel((const char*)NULL);
	if (viewLabel == NULL)
		return B_OK;
	fLabelView = viewLabel;
	fLabelView->MoveTo(kLabelIndent, 0);
	AddChild(fLabelView);
	return B_OK;
}


const char*
BBox::Label() const
{
	return fLabel;
}


BView*
BBox::LabelView() const
{
	return fLabelView;
}


void
BBox::AttachedToWindow()
{
	// A box is part of what it sits on.
	rgb_color color = Parent() != NULL ? Parent()->ViewColor()
		: ui_color(B_PANEL_BACKGROUND_COLOR);
	if (color == B_TRANSPARENT_COLOR)
		color = ui_color(B_PANEL_BACKGROUND_COLOR);
	SetViewColor(color);
	SetLowColor(color);
	BView::AttachedToWindow();
}


void
BBox::FrameResized(float width, float height)
{
	// The border sits on the edges, which have all moved.
	Invalidate();
	BView::FrameResized(width, height);
}


float
BBox::_TopBorder() const
{
	if (fLabelView != NULL)
		return floorf(fLabelView->Bounds().Height() / 2);
	if (fLabel == NULL)
		return 0;
	font_height height;
	GetFontHeight(&height);
	return floorf((height.ascent + height.descent) / 2);
}


void
BBox::Draw(BRect updateRect)
{
	B_UNUSED(updateRect);
	BRect frame = Bounds();
	frame.top += _TopBorder();
	_DrawFrame(frame);
	_DrawLabel();
}


void
BBox::_DrawFrame(BRect frame)
{
	if (fStyle == B_NO_BORDER || !frame.IsValid())
		return;

	rgb_color base = LowColor();
	rgb_color shadow = tint_color(base, B_DARKEN_3_TINT);
	rgb_color shine = tint_color(base, B_LIGHTEN_MAX_TINT);

	if (fStyle == B_PLAIN_BORDER) {
		SetHighColor(shadow);
		StrokeRect(frame);
		return;
	}

	// Etched: a shadow line with a light line beside it. A box with no
	// room inside is a separator: the same two lines, once.
	if (frame.Height() <= 1) {
		SetHighColor(shadow);
		StrokeLine(frame.LeftTop(), frame.RightTop());
		if (frame.Height() == 1) {
			SetHighColor(shine);
			StrokeLine(frame.LeftBottom(), frame.RightBottom());
		}
		return;
	}
	if (frame.Width() <= 1) {
		SetHighColor(shadow);
		StrokeLine(frame.LeftTop(), frame.LeftBottom());
		if (frame.Width() == 1) {
			SetHighColor(shine);
			StrokeLine(frame.RightTop(), frame.RightBottom());
		}
		return;
	}
	SetHighColor(shine);
	StrokeRect(BRect(frame.left + 1, frame.top + 1, frame.right,
		frame.bottom));
	SetHighColor(shadow);
	StrokeRect(BRect(frame.left, frame.top, frame.right - 1,
		frame.bottom - 1));
}


void
BBox::_DrawLabel()
{
	if (fLabel == NULL)
		return;
	font_height height;
	GetFontHeight(&height);
	float width = ceilf(StringWidth(fLabel));
	// The label interrupts the border.
	BRect behind(kLabelIndent - kLabelGap, 0,
		kLabelIndent + width + kLabelGap - 1,
		ceilf(height.ascent + height.descent));
	SetHighColor(LowColor());
	FillRect(behind);
	SetHighColor(ui_color(B_PANEL_TEXT_COLOR));
	DrawString(fLabel, BPoint(kLabelIndent, ceilf(height.ascent)));
}


void
BBox::GetPreferredSize(float* _width, float* _height)
{
	float width = 0;
	float height = 0;
	if (fLabelView != NULL) {
		fLabelView->GetPreferredSize(&width, &height);
		width += 2 * kLabelIndent;
	} else if (fLabel != NULL) {
		font_height fontHeight;
		GetFontHeight(&fontHeight);
		width = ceilf(StringWidth(fLabel)) + 2 * kLabelIndent;
		height = ceilf(fontHeight.ascent + fontHeight.descent);
	}
	// Two pixels of border on each side.
	if (_width != NULL)
		*_width = fmaxf(width, 3);
	if (_height != NULL)
		*_height = height + 3;
}
