/*
 * BWindow: drawing the views and presenting the image.
 *
 * Invalidating collects a dirty area and posts one update message; its
 * dispatch draws every view that meets the area, parents before children,
 * each first erased with its view colour, and hands the area to the
 * display server. Drawing done outside a Draw() pass is presented after
 * the message in whose dispatch it happened.
 *
 * The image is in device pixels, the window's size in units times its
 * scale; its context is scaled, so that the views draw in units and
 * cairo renders lines, shapes and glyphs at the device's resolution.
 * What is presented is the drawn area in device pixels, rounded
 * outwards.
 */
#include <Window.h>

#include "DisplayServer.h"
#include "ViewPrivate.h"
#include "WindowPrivate.h"

#include <math.h>
#include <string.h>

using BPrivate::DisplayScale;
using BPrivate::DisplayServer;


void
BPrivate::replace_window_image(window_data* data, float width, float height,
	bool keepPixels)
{
	const DisplayScale& scale = data->scale;
	cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_ARGB32,
		scale.Pixels(width + 1), scale.Pixels(height + 1));
	cairo_t* context = cairo_create(image);
	if (keepPixels && data->image != NULL) {
		cairo_set_source_surface(context, data->image, 0, 0);
		cairo_paint(context);
	}
	cairo_scale(context, scale.Factor(), scale.Factor());
	if (data->context != NULL)
		cairo_destroy(data->context);
	if (data->image != NULL)
		cairo_surface_destroy(data->image);
	data->image = image;
	data->context = context;
	// What was drawn before refers to the old image.
	data->drawnArea = BRect();
}


void
BWindow::Private::SetScale(DisplayScale scale)
{
	BWindow* window = const_cast<BWindow*>(fWindow);
	BPrivate::window_data* data = window->fData;
	if (scale == data->scale)
		return;
	data->scale = scale;
	BPrivate::replace_window_image(data, window->fFrame.Width(),
		window->fFrame.Height(), false);
	window->_Invalidate(window->Bounds());
}


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

	cairo_surface_flush(data->image);
	BRect device = data->scale.DeviceArea(area)
		& BRect(0, 0, cairo_image_surface_get_width(data->image) - 1,
			cairo_image_surface_get_height(data->image) - 1);
	if (!device.IsValid())
		return;
	int32 left = (int32)device.left;
	int32 top = (int32)device.top;
	int32 width = device.IntegerWidth() + 1;
	int32 height = device.IntegerHeight() + 1;

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
		data->scale.Factor(), std::move(copy)));
}
