/*
 * What the SDL backend says to a Wayland compositor that SDL itself has
 * no call for: whose dialog a toplevel is, and which of the optional
 * protocols the compositor offers. Every function does nothing (or
 * answers false) on other drivers, so the backend calls them without
 * asking which driver runs.
 *
 * Threads: the display server's, like every SDL call.
 */
#ifndef _KITS_SDL_WAYLAND_H
#define _KITS_SDL_WAYLAND_H

#include <SDL.h>

namespace BPrivate {

// Whether the window is shown through SDL's Wayland driver.
bool is_on_wayland(SDL_Window* window);

// Makes the shown window's toplevel a child of the shown parent's
// (xdg_toplevel.set_parent), or of no toplevel for a NULL parent: the
// compositor keeps it in front of the parent and may place it over it.
// SDL makes a window's toplevel anew each time it is shown, so this
// follows every show of either. False where either has no toplevel.
bool set_wayland_parent(SDL_Window* window, SDL_Window* parent);

// Whether the compositor of the window's display offers the global
// interface, such as "zwp_primary_selection_device_manager_v1".
bool wayland_offers(SDL_Window* window, const char* interface);

// The error that ended the connection of the window's display (an errno
// value, EPROTO for a protocol error); 0 while it stands, and on other
// drivers.
int wayland_connection_error(SDL_Window* window);

}	// namespace BPrivate

#endif	// _KITS_SDL_WAYLAND_H
