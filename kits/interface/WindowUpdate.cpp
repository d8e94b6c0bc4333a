/*
 * BWindow: drawing the views and presenting the image.
 *
 * Invalidating collects a dirty area and posts one update message; its
 * dispatch draws every view that meets the area, parents before children,
 * each first erased with its view colour, and hands the area to the
 * display server. Drawing done outside a Draw() pass is presented after
 * the message in whose dispatch it happened.
 */
#include <Window.h>

#include "DisplayServer.h"
#include "ViewPrivate.h"
#include "WindowPrivate.h"

#include <math.h>
#include <string.h>

using BPrivate::DisplayServer;


void
BWindow::UpdateIfNeeded()
{
	BPrivate::window_data* data = fData;
	if (data->dirty.CountRects() == 0 || data->updatesDisabled > 0
		|| data->inUpdate) {
		return;
	}

	BRect area = data->dirty.Frame();
	data->dirty.MakeEmpty();
	data->inUpdate = true;
	data->updateRect = area;
	_DrawView(fTopView, area);
	data->inUpdate = false;
	_Present();
}


void
BWindow::Flush() const
{
	const_cast<BWindow*>(this)->_Present();
}


void
BWindow::Sync() const
{
	Flush();
	DisplayServer::Default().Call(BPrivate::SyncRequest());
}


bool
BWindow::NeedsUpdate() const
{
	return fData->dirty.CountRects() > 0;
}


void
BWindow::DisableUpdates()
{
	fData->updatesDisabled++;
}


void
BWindow::EnableUpdates()
{
	if (fData->updatesDisabled == 0)
		return;
	fData->updatesDisabled--;
	if (fData->updatesDisabled == 0 && fData->dirty.CountRects() > 0
		&& !fData->updatePosted) {
		fData->updatePosted = true;
		PostMessage(BPrivate::kMsgWindowUpdate);
	}
}


void
BWindow::_Invalidate(BRect windowRect)
{
	windowRect = windowRect & Bounds();
	if (!windowRect.IsValid())
		return;
	fData->dirty.Include(windowRect);
	if (!fData->updatePosted && fData->updatesDisabled == 0) {
		fData->updatePosted = true;
		PostMessage(BPrivate::kMsgWindowUpdate);
	}
}


void
BWindow::_DrawView(BView* view, BRect area)
{
	if (view->fHideLevel > 0)
		return;
	BRegion visible;
	BView::Private(view).GetVisibleRegion(visible, false);
	BRect viewArea = visible.Frame() & area;
	if (!viewArea.IsValid())
		return;

	view->_EraseBackground();
	BRect updateRect = view->ConvertFromWindow(viewArea);
	bool willDraw = (view->fFlags & B_WILL_DRAW) != 0;
	if (willDraw)
		view->Draw(updateRect);

	// A Draw() may change the tree; draw the children it left.
	std::vector<BView*> children = view->fChildren;
	for (BView* child : children) {
		if (child->fParent == view)
			_DrawView(child, area);
	}

	// Only a view that may draw on its children draws after them.
	if (willDraw && (view->fFlags & B_DRAW_ON_CHILDREN) != 0)
		view->DrawAfterChildren(updateRect);
}


void
BWindow::_NoteDrawn(BRect windowRect)
{
	if (!windowRect.IsValid())
		return;
	fData->drawnArea = fData->drawnArea.IsValid()
		? fData->drawnArea | windowRect : windowRect;
}


void
BWindow::_Present()
{
	BPrivate::window_data* data = fData;
	BRect area = data->drawnArea & Bounds();
	data->drawnArea = BRect();
	if (!area.IsValid())
		return;

	int32 left = (int32)area.left;
	int32 top = (int32)area.top;
	int32 width = area.IntegerWidth() + 1;
	int32 height = area.IntegerHeight() + 1;

	cairo_surface_flush(data->image);
	const uint8* pixels = cairo_image_surface_get_data(data->image);
	int32 stride = cairo_image_surface_get_stride(data->image);

	std::vector<uint32> copy((size_t)width * height);
	for (int32 y = 0; y < height; y++) {
		memcpy(&copy[(size_t)y * width],
			pixels + (size_t)(top + y) * stride + (size_t)left * 4,
			(size_t)width * 4);
	}
	DisplayServer::Default().Post(BPrivate::PresentRequest(data->serverID,
		BRect(left, top, left + width - 1, top + height - 1),
		std::move(copy)));
}
