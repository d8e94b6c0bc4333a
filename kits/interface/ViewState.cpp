/*
 * BView: the view colour and the drawing state (colours, pen, font,
 * origin, clipping), kept as a stack of states so that PushState() and
 * PopState() can save and restore it.
 */
#include <View.h>

#include <Region.h>
#include <Window.h>

#include "ViewPrivate.h"
#include "WindowPrivate.h"

#include <math.h>

using BPrivate::view_state;


void
BView::SetViewColor(rgb_color color)
{
	if (fViewColor == color)
		return;
	fViewColor = color;
	Invalidate();
}


void
BView::SetViewColor(uchar r, uchar g, uchar b, uchar a)
{
	SetViewColor(make_color(r, g, b, a));
}


rgb_color
BView::ViewColor() const
{
	return fViewColor;
}


void
BView::SetHighColor(rgb_color color)
{
	fStates.back()->highColor = color;
}


void
BView::SetHighColor(uchar r, uchar g, uchar b, uchar a)
{
	SetHighColor(make_color(r, g, b, a));
}


rgb_color
BView::HighColor() const
{
	return fStates.back()->highColor;
}


void
BView::SetLowColor(rgb_color color)
{
	fStates.back()->lowColor = color;
}


void
BView::SetLowColor(uchar r, uchar g, uchar b, uchar a)
{
	SetLowColor(make_color(r, g, b, a));
}


rgb_color
BView::LowColor() const
{
	return fStates.back()->lowColor;
}


void
BView::SetDrawingMode(drawing_mode mode)
{
	fStates.back()->drawingMode = mode;
}


drawing_mode
BView::DrawingMode() const
{
	return fStates.back()->drawingMode;
}


void
BView::SetPenSize(float size)
{
	fStates.back()->penSize = size >= 0 ? size : 0;
}


float
BView::PenSize() const
{
	return fStates.back()->penSize;
}


void
BView::SetFont(const BFont* font, uint32 mask)
{
	if (font == NULL)
		return;
	BFont& own = fStates.back()->font;
	if ((mask & B_FONT_ALL) == B_FONT_ALL) {
		own = *font;
		return;
	}
	if ((mask & B_FONT_FAMILY_AND_STYLE) != 0)
		own.SetFamilyAndStyle(font->FamilyAndStyle());
	if ((mask & B_FONT_SIZE) != 0)
		own.SetSize(font->Size());
	if ((mask & B_FONT_SHEAR) != 0)
		own.SetShear(font->Shear());
	if ((mask & B_FONT_ROTATION) != 0)
		own.SetRotation(font->Rotation());
	if ((mask & B_FONT_SPACING) != 0)
		own.SetSpacing(font->Spacing());
	if ((mask & B_FONT_ENCODING) != 0)
		own.SetEncoding(font->Encoding());
	if ((mask & B_FONT_FACE) != 0)
		own.SetFace(font->Face());
	if ((mask & B_FONT_FLAGS) != 0)
		own.SetFlags(font->Flags());
}


void
BView::GetFont(BFont* font) const
{
	if (font != NULL)
		*font = fStates.back()->font;
}


void
BView::SetFontSize(float size)
{
	fStates.back()->font.SetSize(size);
}


void
BView::GetFontHeight(font_height* height) const
{
	if (height != NULL)
		fStates.back()->font.GetHeight(height);
}


float
BView::StringWidth(const char* string) const
{
	return fStates.back()->font.StringWidth(string);
}


float
BView::StringWidth(const char* string, int32 length) const
{
	return fStates.back()->font.StringWidth(string, length);
}


void
BView::SetOrigin(BPoint origin)
{
	if (isfinite(origin.x) && isfinite(origin.y))
		fStates.back()->origin = origin;
}


void
BView::SetOrigin(float x, float y)
{
	SetOrigin(BPoint(x, y));
}


BPoint
BView::Origin() const
{
	return fStates.back()->origin;
}


void
BView::ConstrainClippingRegion(BRegion* region)
{
	view_state* state = fStates.back();
	// The states below limit this one as well.
	const view_state* below = fStates.size() > 1
		? fStates[fStates.size() - 2] : NULL;
	bool belowClips = below != NULL && below->hasClipping;

	if (region == NULL) {
		state->hasClipping = belowClips;
		state->clipping = belowClips ? below->clipping : BRegion();
		return;
	}

	BRegion clipping(*region);
	BPoint origin = Private(this).TotalOrigin();
	clipping.OffsetBy(origin);
	if (belowClips)
		clipping.IntersectWith(&below->clipping);
	state->hasClipping = true;
	state->clipping = clipping;
}


void
BView::ClipToRect(BRect rect)
{
	view_state* state = fStates.back();
	BPoint origin = Private(this).TotalOrigin();
	BRegion clipping(rect.OffsetByCopy(origin.x, origin.y));
	if (state->hasClipping)
		clipping.IntersectWith(&state->clipping);
	state->hasClipping = true;
	state->clipping = clipping;
}


void
BView::GetClippingRegion(BRegion* region) const
{
	if (region == NULL)
		return;
	Private(this).GetVisibleRegion(*region);
	BPoint offset = ConvertToWindow(B_ORIGIN);
	region->OffsetBy(-offset.x, -offset.y);
	const view_state* state = fStates.back();
	if (state->hasClipping)
		region->IntersectWith(&state->clipping);
	BPoint origin = Private(this).TotalOrigin();
	region->OffsetBy(-origin.x, -origin.y);
}


void
BView::PushState()
{
	view_state* state = new view_state(*fStates.back());
	// The origin of a new state is relative to the ones below it.
	state->origin = B_ORIGIN;
	fStates.push_back(state);
}


void
BView::PopState()
{
	if (fStates.size() <= 1)
		return;
	delete fStates.back();
	fStates.pop_back();
}


void
BView::MovePenTo(BPoint point)
{
	fStates.back()->penLocation = point;
}


void
BView::MovePenTo(float x, float y)
{
	MovePenTo(BPoint(x, y));
}


void
BView::MovePenBy(float x, float y)
{
	BPoint& pen = fStates.back()->penLocation;
	pen.x += x;
	pen.y += y;
}


BPoint
BView::PenLocation() const
{
	return fStates.back()->penLocation;
}


// #pragma mark - BView::Private


BPoint
BView::Private::TotalOrigin() const
{
	BPoint origin;
	for (const view_state* state : fView->fStates)
		origin += state->origin;
	return origin;
}


BPoint
BView::Private::WindowOffset() const
{
	BPoint offset = fView->ConvertToWindow(B_ORIGIN);
	return BPoint(roundf(offset.x), roundf(offset.y));
}


void
BView::Private::GetVisibleRegion(BRegion& _region, bool excludeChildren) const
{
	_region.MakeEmpty();
	if (fView->fWindow == NULL || fView->IsHidden(fView->fWindow->fTopView))
		return;

	BRect visible = fView->ConvertToWindow(fView->Bounds());
	for (const BView* ancestor = fView->fParent; ancestor != NULL;
			ancestor = ancestor->fParent) {
		visible = visible & ancestor->ConvertToWindow(ancestor->Bounds());
	}
	if (!visible.IsValid())
		return;
	_region.Set(BRect(roundf(visible.left), roundf(visible.top),
		roundf(visible.right), roundf(visible.bottom)));

	if (!excludeChildren || (fView->fFlags & B_DRAW_ON_CHILDREN) != 0)
		return;
	for (const BView* child : fView->fChildren) {
		if (child->fHideLevel > 0)
			continue;
		BRect frame = fView->ConvertToWindow(child->fFrame);
		_region.Exclude(BRect(roundf(frame.left), roundf(frame.top),
			roundf(frame.right), roundf(frame.bottom)));
	}
}
