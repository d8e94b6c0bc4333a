/*
 * Private to the kits: which display a launch shows its windows on, so
 * that the single-launch channel hands files over only to an instance
 * on the same one, as a desktop session's bus is scoped.
 *
 * The display is found as the display server will find it: the
 * offscreen backend when KITS_DISPLAY says so, otherwise the screen that
 * SDL is given (sdl_video_driver() below). Its name is the same for
 * every way of writing the display:
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

#include <string>

namespace BPrivate {

// The variables that decide the display; NULL for one that is not set.
struct display_environment {
	const char*	kitsDisplay;		// KITS_DISPLAY
	const char*	videoDriver;		// SDL_VIDEODRIVER
	const char*	x11Display;			// DISPLAY
	const char*	waylandDisplay;		// WAYLAND_DISPLAY
	const char*	runtimeDirectory;	// XDG_RUNTIME_DIR
};

// What the process's environment holds now.
display_environment current_display_environment();

// The SDL video driver the display server opens its screen with, one
// rule for the server and the launch: SDL_VIDEODRIVER as it is written
// when set (SDL reads it itself, a list included); else "x11" when
// DISPLAY is set, so that X11 stays the default where a desktop offers
// both; else "wayland" when WAYLAND_DISPLAY is set, or when it is not
// set at all and libwayland's default socket exists in the runtime
// directory; else empty, for no screen to open. KITS_DISPLAY is not
// looked at.
std::string sdl_video_driver(const display_environment& environment);

// The socket a Wayland client connects to for WAYLAND_DISPLAY (NULL or
// empty for libwayland's default) in the runtime directory; the name
// itself when it is a path. Empty without a runtime directory for a
// relative name.
std::string wayland_socket_path(const char* name,
	const char* runtimeDirectory);

// The display's name as described above. Never empty.
std::string display_identity(const display_environment& environment);

// The same for the current environment.
std::string launch_display_identity();

}	// namespace BPrivate

#endif	// _KITS_LAUNCH_DISPLAY_H
