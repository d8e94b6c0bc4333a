/*
 * BView: converting points and rectangles between the view, its parent,
 * the window and the screen. A view's own coordinates are offset from its
 * parent's by its frame's left top, less how far it has scrolled.
 */
#include <View.h>

#include <Window.h>


BPoint
BView::ConvertToParent(BPoint point) const
{
	return BPoint(point.x - fScroll.x + fFrame.left,
		point.y - fScroll.y + fFrame.top);
}


void
BView::ConvertToParent(BPoint* point) const
{
	if (point != NULL)
		*point = ConvertToParent(*point);
}


BPoint
BView::ConvertFromParent(BPoint point) const
{
	return BPoint(point.x + fScroll.x - fFrame.left,
		point.y + fScroll.y - fFrame.top);
}


void
BView::ConvertFromParent(BPoint* point) const
{
	if (point != NULL)
		*point = ConvertFromParent(*point);
}


BRect
BView::ConvertToParent(BRect rect) const
{
	return BRect(ConvertToParent(rect.LeftTop()),
		ConvertToParent(rect.RightBottom()));
}


void
BView::ConvertToParent(BRect* rect) const
{
	if (rect != NULL)
		*rect = ConvertToParent(*rect);
}


BRect
BView::ConvertFromParent(BRect rect) const
{
	return BRect(ConvertFromParent(rect.LeftTop()),
		ConvertFromParent(rect.RightBottom()));
}


void
BView::ConvertFromParent(BRect* rect) const
{
	if (rect != NULL)
		*rect = ConvertFromParent(*rect);
}


BPoint
BView::ConvertToWindow(BPoint point) const
{
	for (const BView* view = this; view != NULL && !view->fIsTopLevel;
			view = view->fParent) {
		point = view->ConvertToParent(point);
	}
	return point;
}


void
BView::ConvertToWindow(BPoint* point) const
{
	if (point != NULL)
		*point = ConvertToWindow(*point);
}


BPoint
BView::ConvertFromWindow(BPoint point) const
{
	// The offset is the same everywhere: convert the origin once.
	BPoint offset = ConvertToWindow(B_ORIGIN);
	return point - offset;
}


void
BView::ConvertFromWindow(BPoint* point) const
{
	if (point != NULL)
		*point = ConvertFromWindow(*point);
}


BRect
BView::ConvertToWindow(BRect rect) const
{
	BPoint offset = ConvertToWindow(B_ORIGIN);
	return rect.OffsetByCopy(offset.x, offset.y);
}


void
BView::ConvertToWindow(BRect* rect) const
{
	if (rect != NULL)
		*rect = ConvertToWindow(*rect);
}


BRect
BView::ConvertFromWindow(BRect rect) const
{
	BPoint offset = ConvertToWindow(B_ORIGIN);
	return rect.OffsetByCopy(-offset.x, -offset.y);
}


void
BView::ConvertFromWindow(BRect* rect) const
{
	if (rect != NULL)
		*rect = ConvertFromWindow(*rect);
}


BPoint
BView::ConvertToScreen(BPoint point) const
{
	point = ConvertToWindow(point);
	return fWindow != NULL ? fWindow->ConvertToScreen(point) : point;
}


void
BView::ConvertToScreen(BPoint* point) const
{
	if (point != NULL)
		*point = ConvertToScreen(*point);
}


BPoint
BView::ConvertFromScreen(BPoint point) const
{
	if (fWindow != NULL)
		point = fWindow->ConvertFromScreen(point);
	return ConvertFromWindow(point);
}


void
BView::ConvertFromScreen(BPoint* point) const
{
	if (point != NULL)
		*point = ConvertFromScreen(*point);
}


BRect
BView::ConvertToScreen(BRect rect) const
{
	BPoint offset = ConvertToScreen(B_ORIGIN);
	return rect.OffsetByCopy(offset.x, offset.y);
}


void
BView::ConvertToScreen(BRect* rect) const
{
	if (rect != NULL)
		*rect = ConvertToScreen(*rect);
}


BRect
BView::ConvertFromScreen(BRect rect) const
{
	BPoint offset = ConvertToScreen(B_ORIGIN);
	return rect.OffsetByCopy(-offset.x, -offset.y);
}


void
BView::ConvertFromScreen(BRect* rect) const
{
	if (rect != NULL)
		*rect = ConvertFromScreen(*rect);
}
