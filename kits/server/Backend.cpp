/*
 * Backend: the defaults of the optional calls, and the start of the
 * backend that KITS_DISPLAY chooses (see DisplayChoice.h).
 */
#include "Backend.h"

#include "DisplayChoice.h"
#include "OffscreenBackend.h"
#include "SdlBackend.h"

#include <new>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace BPrivate {


Backend::~Backend()
{
}


status_t
Backend::Open()
{
	return B_OK;
}


status_t
Backend::InjectEvent(const ServerEvent& event)
{
	B_UNUSED(event);
	return B_NOT_SUPPORTED;
}


status_t
Backend::SetPrimaryText(const std::string& text)
{
	fPrimaryText = text;
	return B_OK;
}


status_t
Backend::GetPrimaryText(std::string& _text)
{
	_text = fPrimaryText;
	return B_OK;
}


void
Backend::SetDialog(int32 window, int32 parent, bool modal)
{
	B_UNUSED(window);
	B_UNUSED(parent);
	B_UNUSED(modal);
}


void
Backend::SetTextInputRect(int32 window, BRect rect)
{
	B_UNUSED(window);
	B_UNUSED(rect);
}


void
Backend::StopComposition(int32 window)
{
	B_UNUSED(window);
}


BRect
Backend::ScreenFrame()
{
	return BRect(0, 0, 1279, 799);
}


DisplayScale
Backend::Scale()
{
	return DisplayScale();
}


status_t
Backend::WritePNG(int32 window, const char* path)
{
	B_UNUSED(window);
	B_UNUSED(path);
	return B_NOT_SUPPORTED;
}


status_t
Backend::ReadPixel(int32 window, BPoint where, uint32& _pixel)
{
	B_UNUSED(window);
	B_UNUSED(where);
	_pixel = 0;
	return B_NOT_SUPPORTED;
}


Backend*
Backend::Create()
{
	display_environment environment = current_display_environment();
	switch (chosen_display_backend(environment)) {
		case kOffscreenDisplayBackend:
			return new(std::nothrow) OffscreenBackend;
		case kSdlDisplayBackend:
			return new(std::nothrow) SdlBackend;
		case kUnknownDisplayBackend:
			break;
	}

	fprintf(stderr, "Unknown display backend \"%s\" in KITS_DISPLAY; "
		"use sdl for a screen or offscreen for none.\n",
		environment.kitsDisplay);
	return NULL;
}


}	// namespace BPrivate
