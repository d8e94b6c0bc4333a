/*
 * Private to the kits: which display a launch shows its windows on, so
 * that the single-launch channel hands files over only to an instance
 * on the same one, as a desktop session's bus is scoped.
 *
 * The display is found as the display server will find it (see
 * DisplayChoice.h): the offscreen backend when KITS_DISPLAY says so,
 * otherwise the screen of the first video driver that SDL is given. Its
 * name is the same for every way of writing the display:
 *   "offscreen"                  the offscreen backend, one for all;
 *   "x11:<n>"                    X11 display n on this machine, for
 *                                ":n", ":n.0", "unix:n", "unix/:n" and
 *                                "/tmp/.X11-unix/Xn";
 *   "x11:<host>:<n>"             display n of another host (lower case;
 *                                "localhost" counts as another host,
 *                                since ssh forwards X11 there);
 *   "wayland:<path>"             the compositor's socket, WAYLAND_DISPLAY
 *                                resolved against $XDG_RUNTIME_DIR;
 *   "sdl:<driver>"               any other SDL video driver;
 *   "none"                       no display at all.
 * The screen of an X11 display does not count: one session spans all
 * its screens. A value that cannot be read is kept as it is written, so
 * that launches with the same value still meet.
 */
#ifndef _KITS_LAUNCH_DISPLAY_H
#define _KITS_LAUNCH_DISPLAY_H

#include "DisplayChoice.h"

#include <string>

namespace BPrivate {

// The display's name as described above. Never empty.
std::string display_identity(const display_environment& environment);

// The same for the current environment.
std::string launch_display_identity();

}	// namespace BPrivate

#endif	// _KITS_LAUNCH_DISPLAY_H
