/*
 * OffscreenBackend. See OffscreenBackend.h.
 */
#include "OffscreenBackend.h"

#include "LooperPrivate.h"

#include <algorithm>
#include <math.h>
#include <stdlib.h>
#include <string.h>

namespace BPrivate {


OffscreenBackend::OffscreenBackend()
	:
	fScale(DisplayScale::ForDesktop(getenv("KITS_SCALE"), NULL, NULL, NULL)),
	fCursor(kCursorDefault),
	fBeeps(0),
	fWoken(false)
{
}


OffscreenBackend::~OffscreenBackend()
{
	for (auto& entry : fWindows)
		cairo_surface_destroy(entry.second.image);
}


status_t
OffscreenBackend::CreateWindow(int32 window, BRect frame, uint32 look,
	uint32 feel, uint32 flags, const char* title)
{
	if (fWindows.count(window) != 0)
		return B_BAD_VALUE;
	cairo_surface_t* image = _NewImage(frame, fScale, NULL);
	if (image == NULL)
		return B_NO_MEMORY;
	fWindows[window] = Window{ frame, title != NULL ? title : "", look, feel,
		flags, false, fScale, image };
	return B_OK;
}


void
OffscreenBackend::DestroyWindow(int32 window)
{
	auto found = fWindows.find(window);
	if (found == fWindows.end())
		return;
	cairo_surface_destroy(found->second.image);
	fWindows.erase(found);
}


void
OffscreenBackend::ShowWindow(int32 window)
{
	if (Window* record = _Find(window))
		record->visible = true;
}


void
OffscreenBackend::HideWindow(int32 window)
{
	if (Window* record = _Find(window))
		record->visible = false;
}


void
OffscreenBackend::MoveWindow(int32 window, BPoint leftTop)
{
	if (Window* record = _Find(window))
		record->frame.OffsetTo(leftTop);
}


void
OffscreenBackend::ResizeWindow(int32 window, float width, float height)
{
	Window* record = _Find(window);
	if (record == NULL)
		return;
	record->frame.right = record->frame.left + width;
	record->frame.bottom = record->frame.top + height;
	cairo_surface_t* image = _NewImage(record->frame, record->scale,
		record->image);
	if (image == NULL)
		return;
	cairo_surface_destroy(record->image);
	record->image = image;
}


void
OffscreenBackend::SetTitle(int32 window, const char* title)
{
	if (Window* record = _Find(window))
		record->title = title != NULL ? title : "";
}


void
OffscreenBackend::SetFlags(int32 window, uint32 look, uint32 feel,
	uint32 flags)
{
	if (Window* record = _Find(window)) {
		record->look = look;
		record->feel = feel;
		record->flags = flags;
	}
}


void
OffscreenBackend::ActivateWindow(int32 window)
{
	// Without a screen there is no window stacking to change.
	B_UNUSED(window);
}


void
OffscreenBackend::PutPixels(int32 window, const uint8* image,
	int32 bytesPerRow, int32 imageWidth, int32 imageHeight, BRect area)
{
	Window* record = _Find(window);
	if (record == NULL || image == NULL)
		return;

	cairo_surface_t* target = record->image;
	cairo_surface_flush(target);
	int32 targetWidth = cairo_image_surface_get_width(target);
	int32 targetHeight = cairo_image_surface_get_height(target);
	int32 targetStride = cairo_image_surface_get_stride(target);
	uint8* targetData = cairo_image_surface_get_data(target);

	int32 left = std::max<int32>(0, (int32)floorf(area.left));
	int32 top = std::max<int32>(0, (int32)floorf(area.top));
	int32 right = std::min<int32>({ (int32)ceilf(area.right),
		imageWidth - 1, targetWidth - 1 });
	int32 bottom = std::min<int32>({ (int32)ceilf(area.bottom),
		imageHeight - 1, targetHeight - 1 });
	if (left > right || top > bottom)
		return;

	size_t rowBytes = (size_t)(right - left + 1) * 4;
	for (int32 y = top; y <= bottom; y++) {
		memcpy(targetData + (size_t)y * targetStride + (size_t)left * 4,
			image + (size_t)y * bytesPerRow + (size_t)left * 4, rowBytes);
	}
	cairo_surface_mark_dirty(target);
}


bool
OffscreenBackend::WaitForEvent(bigtime_t timeout, ServerEvent& _event)
{
	std::unique_lock<std::mutex> lock(fLock);
	wait_with_timeout(fCondition, lock, timeout,
		[this] { return fWoken || !fEvents.empty(); });
	fWoken = false;
	if (fEvents.empty())
		return false;
	_event = std::move(fEvents.front());
	fEvents.pop_front();
	return true;
}


void
OffscreenBackend::Wake()
{
	std::lock_guard<std::mutex> guard(fLock);
	fWoken = true;
	fCondition.notify_all();
}


status_t
OffscreenBackend::InjectEvent(const ServerEvent& event)
{
	Window* record = _Find(event.window);
	if (record == NULL)
		return B_BAD_VALUE;

	// What a window manager does before it tells the program.
	if (const ResizedEvent* resized = event.As<ResizedEvent>()) {
		if (!(resized->width >= 0 && resized->height >= 0))
			return B_BAD_VALUE;
		ResizeWindow(event.window, resized->width, resized->height);
	} else if (const MovedEvent* moved = event.As<MovedEvent>())
		MoveWindow(event.window, moved->where);
	else if (const ScaleChangedEvent* scaled = event.As<ScaleChangedEvent>()) {
		DisplayScale scale(scaled->scale);
		if (scale == record->scale)
			return B_OK;
		cairo_surface_t* image = _NewImage(record->frame, scale, NULL);
		if (image == NULL)
			return B_NO_MEMORY;
		cairo_surface_destroy(record->image);
		record->image = image;
		record->scale = scale;
	}

	std::lock_guard<std::mutex> guard(fLock);
	fEvents.push_back(event);
	fCondition.notify_all();
	return B_OK;
}


status_t
OffscreenBackend::SetClipboardText(const std::string& text)
{
	fClipboard = text;
	return B_OK;
}


status_t
OffscreenBackend::GetClipboardText(std::string& _text)
{
	_text = fClipboard;
	return B_OK;
}


void
OffscreenBackend::SetCursor(cursor_kind cursor)
{
	fCursor = cursor;
}


void
OffscreenBackend::Beep()
{
	fBeeps++;
}


status_t
OffscreenBackend::WritePNG(int32 window, const char* path)
{
	Window* record = _Find(window);
	if (record == NULL || path == NULL)
		return B_BAD_VALUE;
	cairo_status_t status = cairo_surface_write_to_png(record->image, path);
	if (status == CAIRO_STATUS_NO_MEMORY)
		return B_NO_MEMORY;
	return status == CAIRO_STATUS_SUCCESS ? B_OK : B_IO_ERROR;
}


status_t
OffscreenBackend::ReadPixel(int32 window, BPoint where, uint32& _pixel)
{
	Window* record = _Find(window);
	if (record == NULL)
		return B_BAD_VALUE;
	cairo_surface_t* image = record->image;
	cairo_surface_flush(image);
	int32 x = (int32)floorf(where.x);
	int32 y = (int32)floorf(where.y);
	if (!(where.x >= 0 && where.y >= 0)
		|| x >= cairo_image_surface_get_width(image)
		|| y >= cairo_image_surface_get_height(image)) {
		return B_BAD_VALUE;
	}
	const uint8* row = cairo_image_surface_get_data(image)
		+ (size_t)y * cairo_image_surface_get_stride(image);
	memcpy(&_pixel, row + (size_t)x * 4, 4);
	return B_OK;
}


OffscreenBackend::Window*
OffscreenBackend::_Find(int32 window)
{
	auto found = fWindows.find(window);
	return found != fWindows.end() ? &found->second : NULL;
}


DisplayScale
OffscreenBackend::Scale()
{
	return fScale;
}


cairo_surface_t*
OffscreenBackend::_NewImage(BRect frame, DisplayScale scale,
	cairo_surface_t* old)
{
	cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_ARGB32,
		scale.Pixels(frame.Width() + 1), scale.Pixels(frame.Height() + 1));
	if (cairo_surface_status(image) != CAIRO_STATUS_SUCCESS) {
		cairo_surface_destroy(image);
		return NULL;
	}

	cairo_t* context = cairo_create(image);
	// The platform's panel grey, until the window draws.
	cairo_set_source_rgb(context, 216 / 255.0, 216 / 255.0, 216 / 255.0);
	cairo_paint(context);
	if (old != NULL) {
		cairo_set_source_surface(context, old, 0, 0);
		cairo_paint(context);
	}
	cairo_destroy(context);
	return image;
}


}	// namespace BPrivate
