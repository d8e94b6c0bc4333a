/*
 * BStringView: a line of text, drawn on the view's own colour.
 */
#include <StringView.h>

#include "AccessibilityHooks.h"

#include <math.h>
#include <stdlib.h>
#include <string.h>


BStringView::BStringView(BRect frame, const char* name, const char* text,
	uint32 resizingMode, uint32 flags)
	:
	BView(frame, name, resizingMode, flags),
	fText(strdup(text != NULL ? text : "")),
	fAlign(B_ALIGN_LEFT)
{
	SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
}


BStringView::~BStringView()
{
	free(fText);
}


void
BStringView::SetText(const char* text)
{
	if (text == NULL)
		text = "";
	if (strcmp(text, fText) == 0)
		return;
	free(fText);
	fText = strdup(text);
	Invalidate();
	BPrivate::accessible_view_changed(this);
}


const char*
BStringView::Text() const
{
	return fText;
}


void
BStringView::SetAlignment(alignment flag)
{
	if (flag == fAlign)
		return;
	fAlign = flag;
	Invalidate();
}


alignment
BStringView::Alignment() const
{
	return fAlign;
}


void
BStringView::AttachedToWindow()
{
	SetLowColor(ViewColor());
	BView::AttachedToWindow();
}


void
BStringView::Draw(BRect updateRect)
{
	B_UNUSED(updateRect);
	if (fText[0] == '\0')
		return;

	BRect bounds = Bounds();
	font_height height;
	GetFontHeight(&height);
	float width = StringWidth(fText);
	float x = bounds.left;
	if (fAlign == B_ALIGN_RIGHT)
		x = bounds.right + 1 - width;
	else if (fAlign == B_ALIGN_CENTER)
		x = bounds.left + floorf((bounds.Width() + 1 - width) / 2);
	// The line, as tall as the view prefers, is centred in the view,
	// half a row higher when the difference is odd. A view shorter than
	// the line loses as much of it at the top as at the bottom, so a
	// status area that is too low for its font keeps its text in the
	// middle instead of on its lower edge.
	float lineHeight = ceilf(height.ascent + height.descent);
	float y = bounds.top + ceilf(height.ascent)
		+ floorf((bounds.Height() + 1 - lineHeight) / 2);

	rgb_color background = ViewColor();
	if (background == B_TRANSPARENT_COLOR)
		background = ui_color(B_PANEL_BACKGROUND_COLOR);
	SetLowColor(background);
	SetHighColor(ui_color(B_PANEL_TEXT_COLOR));
	DrawString(fText, BPoint(x, y));
}


void
BStringView::GetPreferredSize(float* _width, float* _height)
{
	font_height height;
	GetFontHeight(&height);
	if (_width != NULL)
		*_width = ceilf(StringWidth(fText));
	if (_height != NULL)
		*_height = ceilf(height.ascent + height.descent + height.leading);
}


void
BStringView::ResizeToPreferred()
{
	BView::ResizeToPreferred();
}
