/*
 * SdlX11. See SdlX11.h.
 */
#include "SdlX11.h"

#include "ProcessEnd.h"

#include <SupportDefs.h>

#include <SDL_syswm.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <atomic>
#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#endif

namespace BPrivate {

#if defined(SDL_VIDEO_DRIVER_X11)
namespace {

// The X11 display and window of an SDL window; false on other drivers.
bool
x11_window_of(SDL_Window* window, Display*& _display, ::Window& _window)
{
	SDL_SysWMinfo info;
	SDL_VERSION(&info.version);
	if (window == NULL || !SDL_GetWindowWMInfo(window, &info)
		|| info.subsystem != SDL_SYSWM_X11) {
		return false;
	}
	_display = info.info.x11.display;
	_window = info.info.x11.window;
	return true;
}


// Whether the window's atom list property holds the atom.
bool
has_atom(Display* display, ::Window window, Atom property, Atom atom)
{
	Atom type;
	int format;
	unsigned long count;
	unsigned long after;
	unsigned char* data = NULL;
	if (XGetWindowProperty(display, window, property, 0, 64, False, XA_ATOM,
			&type, &format, &count, &after, &data) != Success) {
		return false;
	}
	bool found = false;
	if (data != NULL && format == 32) {
		const Atom* atoms = (const Atom*)data;
		for (unsigned long i = 0; i < count && !found; i++)
			found = atoms[i] == atom;
	}
	if (data != NULL)
		XFree(data);
	return found;
}


// The Motif hints, which most window managers read for the buttons and
// functions a frame offers. Xlib hands 32-bit properties over as longs.
struct motif_hints {
	unsigned long	flags;
	unsigned long	functions;
	unsigned long	decorations;
	long			inputMode;
	unsigned long	status;
};

const unsigned long kMotifFunctions = 1 << 0;
const unsigned long kMotifDecorations = 1 << 1;
const unsigned long kMotifFunctionResize = 1 << 1;
const unsigned long kMotifFunctionMove = 1 << 2;
const unsigned long kMotifFunctionClose = 1 << 5;
const unsigned long kMotifDecorBorder = 1 << 1;
const unsigned long kMotifDecorResize = 1 << 2;
const unsigned long kMotifDecorTitle = 1 << 3;
const unsigned long kMotifDecorMenu = 1 << 4;

}	// namespace
#endif


bool
map_on_x11(SDL_Window* window, bool map)
{
#if defined(SDL_VIDEO_DRIVER_X11)
	Display* display;
	::Window xWindow;
	if (!x11_window_of(window, display, xWindow))
		return false;
	if (map)
		XMapRaised(display, xWindow);
	else
		XUnmapWindow(display, xWindow);
	XFlush(display);
	return true;
#else
	B_UNUSED(window);
	B_UNUSED(map);
	return false;
#endif
}


void
set_dialog_hints(SDL_Window* window, bool modal, bool closable)
{
#if defined(SDL_VIDEO_DRIVER_X11)
	Display* display;
	::Window xWindow;
	if (!x11_window_of(window, display, xWindow))
		return;
	Atom type = XInternAtom(display, "_NET_WM_WINDOW_TYPE", False);
	Atom dialog = XInternAtom(display, "_NET_WM_WINDOW_TYPE_DIALOG", False);
	XChangeProperty(display, xWindow, type, XA_ATOM, 32, PropModeReplace,
		(const unsigned char*)&dialog, 1);
	if (modal) {
		// Read by the window manager when the window is mapped.
		Atom state = XInternAtom(display, "_NET_WM_STATE", False);
		Atom modalState = XInternAtom(display, "_NET_WM_STATE_MODAL", False);
		if (!has_atom(display, xWindow, state, modalState)) {
			XChangeProperty(display, xWindow, state, XA_ATOM, 32,
				PropModeAppend, (const unsigned char*)&modalState, 1);
		}
	}

	// A dialog is moved and closed with its document, never minimised
	// or maximised on its own.
	uint32 flags = SDL_GetWindowFlags(window);
	bool resizable = (flags & SDL_WINDOW_RESIZABLE) != 0;
	motif_hints hints = {};
	hints.flags = kMotifFunctions | kMotifDecorations;
	hints.functions = kMotifFunctionMove
		| (closable ? kMotifFunctionClose : 0)
		| (resizable ? kMotifFunctionResize : 0);
	if ((flags & SDL_WINDOW_BORDERLESS) == 0) {
		hints.decorations = kMotifDecorBorder | kMotifDecorTitle
			| kMotifDecorMenu | (resizable ? kMotifDecorResize : 0);
	}
	Atom motif = XInternAtom(display, "_MOTIF_WM_HINTS", False);
	XChangeProperty(display, xWindow, motif, motif, 32, PropModeReplace,
		(const unsigned char*)&hints, 5);
	XFlush(display);
#else
	B_UNUSED(window);
	B_UNUSED(modal);
	B_UNUSED(closable);
#endif
}


void
ring_x11_bell(SDL_Window* window)
{
#if defined(SDL_VIDEO_DRIVER_X11)
	Display* display;
	::Window xWindow;
	if (!x11_window_of(window, display, xWindow))
		return;
	XBell(display, 0);
	XFlush(display);
#else
	B_UNUSED(window);
#endif
}


#if defined(SDL_VIDEO_DRIVER_X11)
namespace {

void
end_unless_leaving(Display*, void*)
{
	if (take_process_end_for_lost_display())
		exit(1);
}


// Says what Xlib's own handler says, which would exit() itself. Xlib
// calls the connection's exit handler next, and after a first error puts
// back its own, so it is set again each time.
int
say_connection_lost(Display* display)
{
	static std::atomic<bool> said{ false };
	if (!said.exchange(true)) {
		fprintf(stderr, "X connection to %s broken (explicit kill or "
			"server shutdown).\n", DisplayString(display));
	}
	XSetIOErrorExitHandler(display, &end_unless_leaving, NULL);
	return 0;
}

}	// namespace
#endif


void
give_way_on_lost_x11_display()
{
#if defined(SDL_VIDEO_DRIVER_X11)
	XSetIOErrorHandler(&say_connection_lost);
#endif
}



bool
read_x11_resources(SDL_Window* window, std::string& _resources)
{
#if defined(SDL_VIDEO_DRIVER_X11)
	Display* display = NULL;
	::Window xWindow;
	bool own = window == NULL;
	if (own) {
		const char* driver = SDL_GetCurrentVideoDriver();
		if (driver == NULL || strcmp(driver, "x11") != 0)
			return false;
		display = XOpenDisplay(NULL);
	} else if (!x11_window_of(window, display, xWindow))
		return false;
	if (display == NULL)
		return false;

	Atom type;
	int format;
	unsigned long count;
	unsigned long after;
	unsigned char* data = NULL;
	bool found = XGetWindowProperty(display, RootWindow(display, 0),
			XA_RESOURCE_MANAGER, 0, 1 << 20, False, XA_STRING, &type,
			&format, &count, &after, &data) == Success
		&& data != NULL && format == 8;
	if (found)
		_resources.assign((const char*)data, count);
	if (data != NULL)
		XFree(data);
	if (own)
		XCloseDisplay(display);
	return found;
#else
	B_UNUSED(window);
	B_UNUSED(_resources);
	return false;
#endif
}

}	// namespace BPrivate
