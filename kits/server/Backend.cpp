/*
 * Backend: the defaults of the optional calls, and the choice of the
 * backend by KITS_DISPLAY.
 */
#include "Backend.h"

#include "OffscreenBackend.h"

#include <new>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace BPrivate {


Backend::~Backend()
{
}


status_t
Backend::InjectEvent(const ServerEvent& event)
{
	B_UNUSED(event);
	return B_NOT_SUPPORTED;
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
	const char* name = getenv("KITS_DISPLAY");
	if (name != NULL && strcmp(name, "offscreen") == 0)
		return new(std::nothrow) OffscreenBackend;

	// The screen backend comes with a later version of the kits; until
	// then a program that asks for it (or for nothing) must be told how
	// to run at all.
	if (name == NULL || name[0] == '\0' || strcmp(name, "sdl") == 0) {
		fprintf(stderr, "No display backend is available; set "
			"KITS_DISPLAY=offscreen to run without a screen.\n");
	} else {
		fprintf(stderr, "Unknown display backend \"%s\" in KITS_DISPLAY; "
			"set KITS_DISPLAY=offscreen to run without a screen.\n", name);
	}
	return NULL;
}


}	// namespace BPrivate
