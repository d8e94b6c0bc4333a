/*
 * What the SDL backend says to an X11 window manager that SDL itself has
 * no call for: the kind of window, the buttons of its frame, the bell.
 * Every function does nothing (or answers false) on other drivers, so
 * the backend calls them without asking which driver runs.
 *
 * Threads: the display server's, like every SDL call.
 */
#ifndef _KITS_SDL_X11_H
#define _KITS_SDL_X11_H

#include <SDL.h>

#include <string>

namespace BPrivate {

// Maps or unmaps the window directly, taking no keyboard focus; false
// where that is not X11.
bool map_on_x11(SDL_Window* window, bool map);

// Marks a window that is not mapped yet as a dialog
// (_NET_WM_WINDOW_TYPE_DIALOG, _NET_WM_STATE_MODAL when modal) and asks
// for a frame without minimise and maximise (Motif hints), with a close
// button only when closable. Called again after SDL rewrote the hints.
void set_dialog_hints(SDL_Window* window, bool modal, bool closable);

void ring_x11_bell(SDL_Window* window);

// When the X server goes, Xlib ends the program on the thread that found
// it gone (status 1, the exit handlers run), unless the application or
// another such thread is ending it already: then that connection is left
// defunct and the thread goes on. For every connection SDL has open.
void give_way_on_lost_x11_display();

// The X resources (the RESOURCE_MANAGER property of the first screen's
// root window, as xrdb set it), read afresh: through the window's
// connection, or with a NULL window through one of its own to the
// display SDL was told to use. False where that is not X11 or no
// resources are set.
bool read_x11_resources(SDL_Window* window, std::string& _resources);

}	// namespace BPrivate

#endif	// _KITS_SDL_X11_H
