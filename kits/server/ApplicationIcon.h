/*
 * The application's icon for the desktop's window list and title bars:
 * the icon installed under the executable's name in the freedesktop.org
 * icon theme "hicolor", as a desktop entry's Icon= names it.
 *
 * Threads: any; the functions hold no state.
 */
#ifndef _KITS_APPLICATION_ICON_H
#define _KITS_APPLICATION_ICON_H

#include <SupportDefs.h>

#include <cairo.h>

#include <string>
#include <vector>

namespace BPrivate {

// Where an icon of that name may be, best first: the user's data folder
// ($XDG_DATA_HOME or ~/.local/share), the folder beside the executable's
// (its prefix's share/), then $XDG_DATA_DIRS (or /usr/local/share and
// /usr/share); in each, the PNG sizes nearest to pixelSize first (the
// smaller of two as near), 48 pixels at a scale of 1.
std::vector<std::string> application_icon_paths(const char* name,
	const char* executablePath, int32 pixelSize = 48);

// The first of those PNG files that loads; NULL when none does. The
// caller destroys the surface.
cairo_surface_t* load_application_icon(const char* name,
	const char* executablePath, int32 pixelSize = 48);

}	// namespace BPrivate

#endif	// _KITS_APPLICATION_ICON_H
