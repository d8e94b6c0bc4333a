/*
 * Private to the kits: how the environment chooses the display, in one
 * place. The display server starts the backend chosen here and hands SDL
 * the video drivers listed here (Backend::Create(), SdlBackend::Open()),
 * and a launch names its display by the same choice (LaunchDisplay.h),
 * so the two cannot disagree.
 *
 *   KITS_DISPLAY       "offscreen": the offscreen backend; unset, empty
 *                      or "sdl": the SDL backend; anything else names no
 *                      backend.
 *   SDL_VIDEODRIVER    when set, the drivers the SDL backend asks for, as
 *                      written: the user's (or a test's) choice.
 *   DISPLAY,           otherwise the one driver to open: X11 where
 *   WAYLAND_DISPLAY    DISPLAY is set, so that X11 stays the default
 *                      where a desktop offers both; else Wayland where
 *                      WAYLAND_DISPLAY is set, or where it is missing and
 *                      libwayland's default socket exists in
 *                      XDG_RUNTIME_DIR; else no driver at all (SDL would
 *                      settle for its own offscreen driver, which shows
 *                      nothing to anybody). One driver, not a list: a
 *                      screen that cannot be reached is reported, never
 *                      swapped for another display than the launch named.
 * An empty value counts as unset.
 */
#ifndef _KITS_DISPLAY_CHOICE_H
#define _KITS_DISPLAY_CHOICE_H

#include <string>

namespace BPrivate {

// libwayland's socket when WAYLAND_DISPLAY is not set.
extern const char* const kDefaultWaylandSocket;

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

enum display_backend {
	kSdlDisplayBackend,
	kOffscreenDisplayBackend,
	// KITS_DISPLAY names a backend that does not exist.
	kUnknownDisplayBackend
};

display_backend chosen_display_backend(
	const display_environment& environment);

// The SDL video drivers to try, in order.
struct video_drivers {
	// As SDL_VIDEODRIVER lists them ("x11", "KMSDRM,x11"); empty for
	// none.
	std::string	list;
	// Whether the list is SDL_VIDEODRIVER's own.
	bool		ownChoice;
};

video_drivers chosen_video_drivers(const display_environment& environment);

// The socket a Wayland client connects to for WAYLAND_DISPLAY (NULL or
// empty for libwayland's default) in the runtime directory; the name
// itself when it is a path. Empty without a runtime directory for a
// relative name.
std::string wayland_socket_path(const char* name,
	const char* runtimeDirectory);

}	// namespace BPrivate

#endif	// _KITS_DISPLAY_CHOICE_H
