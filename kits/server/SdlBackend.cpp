/*
 * SdlBackend. See SdlBackend.h.
 */
#include "SdlBackend.h"

#include "ApplicationIcon.h"
#include "DisplayChoice.h"
#include "ProcessEnd.h"
#include "SdlWayland.h"
#include "SdlX11.h"

#include "UTF8Decoding.h"

#include <InterfaceDefs.h>
#include <Window.h>

#include <SDL_syswm.h>
#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/Xlib.h>
#include <X11/Xproto.h>
#endif

#include <ctype.h>
#include <errno.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <type_traits>
#include <limits.h>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

namespace BPrivate {

namespace {

bigtime_t
now()
{
	struct timespec time;
	clock_gettime(CLOCK_MONOTONIC, &time);
	return (bigtime_t)time.tv_sec * 1000000 + time.tv_nsec / 1000;
}


#if defined(SDL_VIDEO_DRIVER_X11)
XErrorHandler sPreviousErrorHandler = NULL;


// SDL wakes its waiting thread with an event sent to one of our windows,
// over a connection of its own. When that window is destroyed just before
// the event goes out, the X server refuses it; the wait has ended anyway
// and nothing is lost, so that refusal must not end the program as
// Xlib's own handler would. The refusal may be read as late as SDL_Quit(),
// which closes that connection after putting back the handler it found at
// SDL_Init(); so this handler is put in place before SDL_Init().
int
tolerate_late_wakeup(Display* display, XErrorEvent* error)
{
	if (error->error_code == BadWindow && error->request_code == X_SendEvent)
		return 0;
	return sPreviousErrorHandler != NULL
		? sPreviousErrorHandler(display, error) : 0;
}

#endif


// What connecting to a local X11 display's socket says, for a display
// name such as ":0" or ":199.0"; empty for a remote display or one that
// takes connections. SDL says only that X11 is not available, which does
// not tell a missing server from one that refuses.
std::string
x11_socket_reason(const char* display)
{
	if (display == NULL || display[0] != ':' || !isdigit(display[1]))
		return "";
	std::string path = "/tmp/.X11-unix/X"
		+ std::string(display + 1, strspn(display + 1, "0123456789"));
	int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
	if (fd < 0)
		return "";
	sockaddr_un address = {};
	address.sun_family = AF_UNIX;
	strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
	int result = connect(fd, (const sockaddr*)&address, sizeof(address));
	int error = errno;
	close(fd);
	return result == 0 ? "" : path + ": " + strerror(error);
}


// Takes over a text SDL allocated.
status_t
take_sdl_text(char* text, std::string& _text)
{
	if (text == NULL)
		return B_ERROR;
	_text = text;
	SDL_free(text);
	return B_OK;
}


// An ARGB pixel with its colour no longer multiplied by its alpha.
uint32
unpremultiplied(uint32 pixel)
{
	uint32 alpha = pixel >> 24;
	if (alpha == 0 || alpha == 255)
		return pixel;
	auto component = [alpha](uint32 value) {
		return std::min<uint32>(255, (value * 255 + alpha / 2) / alpha);
	};
	return (alpha << 24) | (component((pixel >> 16) & 0xff) << 16)
		| (component((pixel >> 8) & 0xff) << 8) | component(pixel & 0xff);
}


}	// namespace


SdlBackend::SdlBackend()
	:
	fInput(*this),
	fShownCount(0),
	fInitialized(false),
	fIcon(NULL),
	fOnWayland(false),
	fDisplayLost(false),
	fPrimaryOffered(kUnknown),
	fX11(false),
	fOpen(false),
	fWakeEvent((uint32)-1),
	fWakePending(false)
{
	for (SDL_Cursor*& cursor : fCursors)
		cursor = NULL;
}


SdlBackend::~SdlBackend()
{
	{
		std::lock_guard<std::mutex> guard(fWakeLock);
		fOpen = false;
	}
	for (auto& entry : fWindows)
		SDL_DestroyWindow(entry.second.window);
	fWindows.clear();
	fIDs.clear();
	for (SDL_Cursor*& cursor : fCursors) {
		if (cursor != NULL)
			SDL_FreeCursor(cursor);
		cursor = NULL;
	}
	if (fIcon != NULL)
		SDL_FreeSurface(fIcon);
	if (fInitialized)
		SDL_Quit();
}


status_t
SdlBackend::Open()
{
	// Ctrl+C and SIGTERM are the application's to turn into a quit.
	SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
	SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
	// A text editor has no business keeping the screen saver away or
	// turning a compositor off.
	SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
	SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
	SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
	// An input method's composition comes whole, however long, so that
	// the window can show it where the text goes.
	SDL_SetHint(SDL_HINT_IME_SUPPORT_EXTENDED_TEXT, "1");
	SDL_SetHint(SDL_HINT_IME_INTERNAL_EDITING, "0");

	// Only a real screen will do: SDL would otherwise settle for its own
	// offscreen driver, which shows nothing to anybody. A driver named in
	// SDL_VIDEODRIVER is the user's (or a test's) choice, which SDL reads
	// itself; otherwise the launch's rule names the one driver to open,
	// so that the display a launch hands its files to is the one shown.
	display_environment environment = current_display_environment();
	const char* x11 = environment.x11Display;
	video_drivers drivers = chosen_video_drivers(environment);
	const std::string& driver = drivers.list;
	bool ownChoice = drivers.ownChoice;
	std::string tried;
	if (ownChoice)
		tried = std::string("SDL video driver \"") + driver + "\"";
	else if (driver == "x11")
		tried = std::string("X11 display \"") + x11 + "\"";
	else if (driver == "wayland") {
		const char* wayland = environment.waylandDisplay;
		tried = std::string("Wayland display \"")
			+ (wayland != NULL && wayland[0] != '\0'
				? wayland : kDefaultWaylandSocket)
			+ "\"";
	} else
		tried = "neither DISPLAY nor WAYLAND_DISPLAY is set";
	if (!ownChoice && !driver.empty())
		SDL_SetHint(SDL_HINT_VIDEODRIVER, driver.c_str());

#if defined(SDL_VIDEO_DRIVER_X11)
	XErrorHandler previous = XSetErrorHandler(tolerate_late_wakeup);
	if (previous != tolerate_late_wakeup)
		sPreviousErrorHandler = previous;
#endif
	bool tries = !driver.empty();
	if (!tries || SDL_Init(SDL_INIT_VIDEO) != 0) {
		// SDL's own reason tells a missing server from a refused
		// connection.
		const char* reason = tries ? SDL_GetError() : NULL;
		if (reason != NULL && reason[0] != '\0')
			tried += std::string(": ") + reason;
		std::string socketReason = !ownChoice && driver == "x11"
			? x11_socket_reason(x11) : "";
		if (!socketReason.empty())
			tried += "; " + socketReason;
		fprintf(stderr, "Cannot reach a display (%s); set "
			"KITS_DISPLAY=offscreen to run without a screen.\n",
			tried.c_str());
		SDL_Quit();
		return B_ERROR;
	}
	fInitialized = true;
	const char* opened = SDL_GetCurrentVideoDriver();
	fOnWayland = opened != NULL && strcmp(opened, "wayland") == 0;
	// Frames go up through the window surface. On X11 that is shared
	// memory, and a GL or Vulkan renderer behind it would only add a
	// software stack on most machines. SDL's Wayland driver has no
	// surface of its own, only the one its renderer makes, so there the
	// renderer it picks does the work.
	SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, fOnWayland ? "1" : "0");
	fX11 = opened != NULL && strcmp(opened, "x11") == 0;
	if (fX11)
		give_way_on_lost_x11_display();
	std::string resources;
	bool haveResources = fX11 && read_x11_resources(NULL, resources);
	fScale = fX11 ? DisplayScale::FromEnvironment(
		haveResources ? resources.c_str() : NULL) : DisplayScale();
	fIcon = _LoadIcon(fScale);

	SDL_EventState(SDL_DROPBEGIN, SDL_ENABLE);
	SDL_EventState(SDL_DROPFILE, SDL_ENABLE);
	SDL_EventState(SDL_DROPCOMPLETE, SDL_ENABLE);
	SDL_EventState(SDL_DROPTEXT, SDL_DISABLE);

	std::lock_guard<std::mutex> guard(fWakeLock);
	fWakeEvent = SDL_RegisterEvents(1);
	fOpen = fWakeEvent != (uint32)-1;
	return B_OK;
}


// #pragma mark - Windows


status_t
SdlBackend::CreateWindow(int32 window, BRect frame, uint32 look,
	uint32 feel, uint32 flags, const char* title)
{
	if (!fInitialized || fWindows.count(window) != 0)
		return B_BAD_VALUE;

	uint32 sdlFlags = _SdlFlagsFor(look, feel, flags);
	// SDL 2.26 makes a pop-up menu an xdg_popup that the compositor
	// refuses (its positioner is incomplete, its parent wrong under
	// libdecor), which ends the connection. A menu is a borderless
	// toplevel there, the child of the window it opens from.
	if (fOnWayland)
		sdlFlags &= ~SDL_WINDOW_POPUP_MENU;
	DisplayScale coordinates = _CoordinateScale();
	int32 width = coordinates.Pixels(frame.Width() + 1);
	int32 height = coordinates.Pixels(frame.Height() + 1);
	SDL_Window* sdlWindow = SDL_CreateWindow(_ScreenTitle(title).c_str(),
		coordinates.Edge(frame.left), coordinates.Edge(frame.top), width,
		height, sdlFlags);
	if (sdlWindow == NULL)
		return B_NO_MEMORY;
	_ApplySizeLimits(sdlWindow, flags, width, height);
	if (fIcon != NULL && feel != kMenuWindowFeel)
		SDL_SetWindowIcon(sdlWindow, fIcon);

	Window& record = fWindows[window];
	record.flags = flags;
	record.window = sdlWindow;
	record.sdlID = SDL_GetWindowID(sdlWindow);
	record.menu = feel == kMenuWindowFeel;
	record.width = frame.Width();
	record.height = frame.Height();
	// The server starts every window at Scale(); one that opens on a
	// screen of another scale learns it at once.
	record.scale = fScale;
	DisplayScale scale = _ScaleOf(record);
	if (scale != record.scale)
		_SetScale(window, record, scale);
	fIDs[record.sdlID] = window;
	return B_OK;
}


void
SdlBackend::DestroyWindow(int32 window)
{
	auto found = fWindows.find(window);
	if (found == fWindows.end())
		return;
	fIDs.erase(found->second.sdlID);
	SDL_DestroyWindow(found->second.window);
	fWindows.erase(found);
	fInput.ForgetWindow(window);
}


void
SdlBackend::ShowWindow(int32 window)
{
	Window* record = _Find(window);
	if (record == NULL)
		return;
	record->visible = true;
	record->shownOrder = ++fShownCount;
	if (record->menu && fOnWayland)
		record->parent = _MenuOwner();
	if (!record->menu || !map_on_x11(record->window, true))
		SDL_ShowWindow(record->window);
	if (fOnWayland)
		_ApplyWaylandParents(window);
}


void
SdlBackend::HideWindow(int32 window)
{
	Window* record = _Find(window);
	if (record == NULL)
		return;
	record->visible = false;
	if (!record->menu || !map_on_x11(record->window, false))
		SDL_HideWindow(record->window);
}


void
SdlBackend::MoveWindow(int32 window, BPoint leftTop)
{
	Window* record = _Find(window);
	if (record == NULL)
		return;
	int x = _CoordinateScale().Edge(leftTop.x);
	int y = _CoordinateScale().Edge(leftTop.y);
	fInput.ExpectPosition(window, x, y);
	SDL_SetWindowPosition(record->window, x, y);
}


void
SdlBackend::ResizeWindow(int32 window, float width, float height)
{
	Window* record = _Find(window);
	if (record == NULL)
		return;
	record->width = width;
	record->height = height;
	int32 pixelWidth = _CoordinateScale().Pixels(width + 1);
	int32 pixelHeight = _CoordinateScale().Pixels(height + 1);
	fInput.ExpectSize(window, pixelWidth, pixelHeight);
	// SDL keeps a size inside the limits, so they move first.
	_ApplySizeLimits(record->window, record->flags, pixelWidth, pixelHeight);
	SDL_SetWindowSize(record->window, pixelWidth, pixelHeight);
}


void
SdlBackend::SetTitle(int32 window, const char* title)
{
	if (Window* record = _Find(window))
		SDL_SetWindowTitle(record->window, _ScreenTitle(title).c_str());
}


void
SdlBackend::SetFlags(int32 window, uint32 look, uint32 feel, uint32 flags)
{
	Window* record = _Find(window);
	if (record == NULL || record->menu)
		return;
	uint32 sdlFlags = _SdlFlagsFor(look, feel, flags);
	SDL_SetWindowBordered(record->window,
		(sdlFlags & SDL_WINDOW_BORDERLESS) != 0 ? SDL_FALSE : SDL_TRUE);
	SDL_SetWindowResizable(record->window,
		(sdlFlags & SDL_WINDOW_RESIZABLE) != 0 ? SDL_TRUE : SDL_FALSE);
	SDL_SetWindowAlwaysOnTop(record->window,
		(sdlFlags & SDL_WINDOW_ALWAYS_ON_TOP) != 0 ? SDL_TRUE : SDL_FALSE);
	record->flags = flags;
	int width;
	int height;
	SDL_GetWindowSize(record->window, &width, &height);
	_ApplySizeLimits(record->window, flags, width, height);
	_ApplyDialogHints(*record);
}


void
SdlBackend::ActivateWindow(int32 window)
{
	Window* record = _Find(window);
	// A menu never takes the keyboard from the window that opened it.
	if (record == NULL || record->menu || !record->visible)
		return;
	if (SDL_GetKeyboardFocus() == record->window)
		return;
	SDL_RaiseWindow(record->window);
	// Without a window manager nobody answers the request to raise;
	// the focus is then ours to set.
	SDL_SetWindowInputFocus(record->window);
}


void
SdlBackend::SetDialog(int32 window, int32 parent, bool modal)
{
	Window* record = _Find(window);
	Window* parentRecord = _Find(parent);
	if (record == NULL || parentRecord == NULL || record->menu)
		return;
	record->dialog = true;
	record->modal = modal;
	record->parent = parent;
	// SDL sets WM_TRANSIENT_FOR where the driver knows it; Wayland's
	// toplevels take their parent when both are shown.
	SDL_SetWindowModalFor(record->window, parentRecord->window);
	_ApplyDialogHints(*record);
	if (fOnWayland)
		_ApplyWaylandParents(window);
	if (!record->visible)
		_CentreOn(*record, *parentRecord);
}


void
SdlBackend::_ApplyDialogHints(const Window& record)
{
	if (record.dialog) {
		set_dialog_hints(record.window, record.modal,
			(record.flags & B_NOT_CLOSABLE) == 0);
	}
}


// SDL makes a window's toplevel anew at each show, and a toplevel that
// goes takes its children's link to it along: the links of the window
// just shown, as a dialog and as a parent, are made again.
void
SdlBackend::_ApplyWaylandParents(int32 window)
{
	for (auto& entry : fWindows) {
		Window& record = entry.second;
		if (!(record.dialog || record.menu) || !record.visible
			|| (entry.first != window && record.parent != window)) {
			continue;
		}
		Window* parent = _Find(record.parent);
		if (parent != NULL && parent->visible)
			set_wayland_parent(record.window, parent->window);
	}
}


// SDL goes on without a word when the compositor has gone or closed the
// connection, and every window with it. The program ends as Xlib ends it
// when its X server goes: one line and status 1, the handlers registered
// with atexit() (the journals' sync among them) run. An application on
// its way out already ends it itself; nothing comes from the display
// meanwhile. False once the connection is gone.
bool
SdlBackend::_CheckWaylandConnection()
{
	if (fDisplayLost)
		return false;
	if (fWindows.empty())
		return true;
	int error = wayland_connection_error(fWindows.begin()->second.window);
	if (error == 0)
		return true;
	fDisplayLost = true;
	fprintf(stderr, "Lost the connection to the Wayland display: %s.\n",
		strerror(error));
	if (take_process_end_for_lost_display())
		exit(1);
	return false;
}


// The window a menu opens from: the one with the keyboard, else the
// one shown last.
int32
SdlBackend::_MenuOwner()
{
	SDL_Window* focus = SDL_GetKeyboardFocus();
	int32 owner = 0;
	uint64 latest = 0;
	for (auto& entry : fWindows) {
		const Window& record = entry.second;
		if (record.menu || !record.visible)
			continue;
		if (record.window == focus)
			return entry.first;
		if (record.shownOrder > latest) {
			latest = record.shownOrder;
			owner = entry.first;
		}
	}
	return owner;
}


void
SdlBackend::_CentreOn(Window& dialog, const Window& parent)
{
	int parentX;
	int parentY;
	int parentWidth;
	int parentHeight;
	int width;
	int height;
	SDL_GetWindowPosition(parent.window, &parentX, &parentY);
	SDL_GetWindowSize(parent.window, &parentWidth, &parentHeight);
	SDL_GetWindowSize(dialog.window, &width, &height);
	int x = parentX + (parentWidth - width) / 2;
	int y = parentY + (parentHeight - height) / 2;

	// On the parent's screen, its top left corner in view.
	SDL_Rect bounds;
	int display = SDL_GetWindowDisplayIndex(parent.window);
	if (SDL_GetDisplayBounds(display >= 0 ? display : 0, &bounds) == 0) {
		x = std::max(bounds.x, std::min(x, bounds.x + bounds.w - width));
		y = std::max(bounds.y, std::min(y, bounds.y + bounds.h - height));
	}
	// Not expected: the window learns its new place from the screen.
	SDL_SetWindowPosition(dialog.window, x, y);
}


uint32
SdlBackend::_SdlFlagsFor(uint32 look, uint32 feel, uint32 flags)
{
	// Away from X11, SDL gives a window of as many pixels as its screen's
	// scale asks for only when the window says it draws them.
	uint32 sdlFlags = SDL_WINDOW_HIDDEN | SDL_WINDOW_ALLOW_HIGHDPI;
	if (feel == kMenuWindowFeel) {
		return sdlFlags | SDL_WINDOW_POPUP_MENU | SDL_WINDOW_BORDERLESS
			| SDL_WINDOW_SKIP_TASKBAR | SDL_WINDOW_ALWAYS_ON_TOP;
	}
	if (look == B_NO_BORDER_WINDOW_LOOK || look == B_BORDERED_WINDOW_LOOK)
		sdlFlags |= SDL_WINDOW_BORDERLESS;
	uint32 fixed = B_NOT_H_RESIZABLE | B_NOT_V_RESIZABLE;
	if ((flags & B_NOT_RESIZABLE) == 0 && (flags & fixed) != fixed)
		sdlFlags |= SDL_WINDOW_RESIZABLE;
	if (feel == B_FLOATING_ALL_WINDOW_FEEL || feel == B_MODAL_ALL_WINDOW_FEEL)
		sdlFlags |= SDL_WINDOW_ALWAYS_ON_TOP;
	if (feel == B_FLOATING_APP_WINDOW_FEEL
		|| feel == B_FLOATING_SUBSET_WINDOW_FEEL) {
		sdlFlags |= SDL_WINDOW_UTILITY;
	}
	return sdlFlags;
}


void
SdlBackend::_ApplySizeLimits(SDL_Window* window, uint32 flags, int32 width,
	int32 height)
{
	// A window resizable along one side only keeps the other at the size
	// the program gives it.
	bool fixedWidth = (flags & B_NOT_H_RESIZABLE) != 0;
	bool fixedHeight = (flags & B_NOT_V_RESIZABLE) != 0;
	SDL_SetWindowMinimumSize(window, fixedWidth ? width : 1,
		fixedHeight ? height : 1);
	SDL_SetWindowMaximumSize(window, fixedWidth ? width : 32767,
		fixedHeight ? height : 32767);
}


SdlBackend::Window*
SdlBackend::_Find(int32 window)
{
	auto found = fWindows.find(window);
	return found != fWindows.end() ? &found->second : NULL;
}


// #pragma mark - Pixels


void
SdlBackend::PutPixels(int32 window, const uint8* image, int32 bytesPerRow,
	int32 imageWidth, int32 imageHeight, BRect area)
{
	Window* record = _Find(window);
	if (record == NULL || image == NULL)
		return;
	SDL_Surface* surface = SDL_GetWindowSurface(record->window);
	if (surface == NULL)
		return;

	// The surface may still have the size before a resize SDL has not
	// reported yet; what falls outside comes with the exposure after it.
	int32 left = std::max<int32>(0, (int32)floorf(area.left));
	int32 top = std::max<int32>(0, (int32)floorf(area.top));
	int32 right = std::min<int32>({ (int32)ceilf(area.right),
		imageWidth - 1, surface->w - 1 });
	int32 bottom = std::min<int32>({ (int32)ceilf(area.bottom),
		imageHeight - 1, surface->h - 1 });
	if (left > right || top > bottom)
		return;

	if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0)
		return;
	int32 bytesPerPixel = surface->format->BytesPerPixel;
	// The window's pixels are opaque, so premultiplied or not is the
	// same; on X11 both formats are one word a pixel, blue lowest.
	SDL_ConvertPixels(right - left + 1, bottom - top + 1,
		SDL_PIXELFORMAT_ARGB8888,
		image + (size_t)top * bytesPerRow + (size_t)left * 4, bytesPerRow,
		surface->format->format,
		(uint8*)surface->pixels + (size_t)top * surface->pitch
			+ (size_t)left * bytesPerPixel,
		surface->pitch);
	if (SDL_MUSTLOCK(surface))
		SDL_UnlockSurface(surface);

	SDL_Rect rect = { left, top, right - left + 1, bottom - top + 1 };
	SDL_UpdateWindowSurfaceRects(record->window, &rect, 1);
}


// #pragma mark - Events


bool
SdlBackend::WaitForEvent(bigtime_t timeout, ServerEvent& _event)
{
	bigtime_t deadline = timeout > 0 ? now() + timeout : 0;
	bool pumped = false;
	while (fReady.empty()) {
		if (!fInitialized)
			return false;
		if (fOnWayland && !_CheckWaylandConnection()) {
			if (timeout > 0)
				SDL_Delay((uint32)std::min<bigtime_t>(timeout / 1000, 50));
			return false;
		}
		SDL_Event event;
		int got;
		bigtime_t left = deadline - now();
		if (timeout <= 0 || left <= 0) {
			// SDL_PollEvent() may end a poll at a marker of its own with
			// events still queued behind it; this takes them all.
			if (!pumped)
				SDL_PumpEvents();
			pumped = true;
			got = std::max(0, SDL_PeepEvents(&event, 1, SDL_GETEVENT,
				SDL_FIRSTEVENT, SDL_LASTEVENT));
		} else {
			bigtime_t milliseconds = std::min<bigtime_t>(
				(left + 999) / 1000, INT_MAX);
			got = SDL_WaitEventTimeout(&event, (int)milliseconds);
		}
		if (got == 0)
			return false;
		if (!_Translate(event))
			return false;
	}
	_event = std::move(fReady.front());
	fReady.pop_front();
	return true;
}


void
SdlBackend::SetTextInputRect(int32 window, BRect rect)
{
	// SDL keeps one place for the input method, in the coordinates of
	// the window that has the keyboard (device pixels on X11).
	Window* record = _Find(window);
	if (record == NULL || SDL_GetKeyboardFocus() != record->window)
		return;
	DisplayScale coordinates = _CoordinateScale();
	SDL_Rect place;
	place.x = coordinates.Edge(floorf(rect.left));
	place.y = coordinates.Edge(floorf(rect.top));
	place.w = std::max(1, coordinates.Edge(ceilf(rect.right) + 1) - place.x);
	place.h = std::max(1, coordinates.Edge(ceilf(rect.bottom) + 1) - place.y);
	SDL_SetTextInputRect(&place);
}


void
SdlBackend::StopComposition(int32 window)
{
	// Stopping text input drops the text events SDL holds, which were
	// typed before: they are taken first.
	SDL_PumpEvents();
	SDL_Event event;
	while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT,
			SDL_LASTEVENT) > 0) {
		_Translate(event);
	}
	fInput.CompositionStopped(window, SDL_GetTicks());
	// SDL_ClearComposition() does nothing on X11; stopping text input
	// resets the input method.
	SDL_StopTextInput();
	SDL_StartTextInput();
}


bool
SdlBackend::_Translate(SDL_Event& event)
{
	if (event.type == fWakeEvent) {
		fWakePending.store(false);
		return false;
	}
	// SDL's Wayland driver reports a toplevel at 0, 0 when it maps: the
	// compositor tells no position, so the window keeps its own.
	bool placeless = fOnWayland && event.type == SDL_WINDOWEVENT
		&& event.window.event == SDL_WINDOWEVENT_MOVED;
	if (!placeless) {
		size_t before = fReady.size();
		fInput.Translate(event, fReady);
		for (size_t i = before; i < fReady.size(); i++)
			_ToUnits(fReady[i]);
	}
	if (event.type == SDL_WINDOWEVENT)
		_CheckScale(event.window);
	if (event.type == SDL_DROPFILE || event.type == SDL_DROPTEXT)
		SDL_free(event.drop.file);
	if (event.type == SDL_TEXTEDITING_EXT)
		SDL_free(event.editExt.text);
	return true;
}


void
SdlBackend::Wake()
{
	if (fWakePending.exchange(true))
		return;
	std::lock_guard<std::mutex> guard(fWakeLock);
	if (!fOpen) {
		fWakePending.store(false);
		return;
	}
	SDL_Event event;
	SDL_zero(event);
	event.type = fWakeEvent;
	if (SDL_PushEvent(&event) != 1)
		fWakePending.store(false);
}


// #pragma mark - Clipboard, cursor, bell


status_t
SdlBackend::SetClipboardText(const std::string& text)
{
	if (!fInitialized)
		return B_NO_INIT;
	return SDL_SetClipboardText(text.c_str()) == 0 ? B_OK : B_ERROR;
}


status_t
SdlBackend::GetClipboardText(std::string& _text)
{
	_text.clear();
	if (!fInitialized)
		return B_NO_INIT;
	status_t status = take_sdl_text(SDL_GetClipboardText(), _text);
	// SDL's Wayland driver waits 14 ms for the program that holds the
	// selection to start writing it, and a busy one misses that: the
	// text is asked for again, for about a second at most.
	for (int32 tries = 0; fOnWayland && status == B_OK && _text.empty()
			&& SDL_HasClipboardText() && tries < 60; tries++) {
		status = take_sdl_text(SDL_GetClipboardText(), _text);
	}
	return status;
}


status_t
SdlBackend::SetPrimaryText(const std::string& text)
{
	if (!fInitialized)
		return B_NO_INIT;
	if (!_ScreenHasPrimary())
		return Backend::SetPrimaryText(text);
	return SDL_SetPrimarySelectionText(text.c_str()) == 0 ? B_OK : B_ERROR;
}


status_t
SdlBackend::GetPrimaryText(std::string& _text)
{
	_text.clear();
	if (!fInitialized)
		return B_NO_INIT;
	if (!_ScreenHasPrimary())
		return Backend::GetPrimaryText(_text);
	return take_sdl_text(SDL_GetPrimarySelectionText(), _text);
}


// X11 always has PRIMARY. SDL's Wayland driver keeps nothing where the
// compositor offers no primary selection, so the process keeps it then,
// as on a screen without one.
bool
SdlBackend::_ScreenHasPrimary()
{
	if (!fOnWayland)
		return true;
	if (fPrimaryOffered == kUnknown) {
		if (fWindows.empty())
			return false;
		fPrimaryOffered = wayland_offers(fWindows.begin()->second.window,
				"zwp_primary_selection_device_manager_v1")
			? kOffered : kNotOffered;
	}
	return fPrimaryOffered == kOffered;
}


void
SdlBackend::SetCursor(cursor_kind cursor)
{
	static const SDL_SystemCursor kShapes[] = {
		SDL_SYSTEM_CURSOR_ARROW,
		SDL_SYSTEM_CURSOR_IBEAM,
		SDL_SYSTEM_CURSOR_HAND,
		SDL_SYSTEM_CURSOR_SIZEWE,
		SDL_SYSTEM_CURSOR_SIZENS,
		SDL_SYSTEM_CURSOR_WAIT
	};
	if (!fInitialized || cursor < kCursorDefault || cursor > kCursorWait)
		return;
	if (fCursors[cursor] == NULL)
		fCursors[cursor] = SDL_CreateSystemCursor(kShapes[cursor]);
	if (fCursors[cursor] != NULL)
		SDL_SetCursor(fCursors[cursor]);
}


void
SdlBackend::Beep()
{
#if defined(SDL_VIDEO_DRIVER_X11)
	// SDL has no bell of its own; X has one on every display.
	if (fWindows.empty())
		return;
	ring_x11_bell(fWindows.begin()->second.window);
#endif
}


BRect
SdlBackend::ScreenFrame()
{
	// The first display is the main screen; the desktop's panels are
	// part of it, as they are of the platform's screen.
	SDL_Rect bounds;
	if (SDL_GetDisplayBounds(0, &bounds) != 0 || bounds.w <= 0
		|| bounds.h <= 0) {
		return Backend::ScreenFrame();
	}
	return _CoordinateScale().UnitsWithin(BRect(bounds.x, bounds.y,
		bounds.x + bounds.w - 1, bounds.y + bounds.h - 1));
}


DisplayScale
SdlBackend::Scale()
{
	return fScale;
}


// #pragma mark - Scale


DisplayScale
SdlBackend::_CoordinateScale() const
{
	return fX11 ? fScale : DisplayScale();
}


DisplayScale
SdlBackend::_ScaleOf(const Window& record)
{
	if (fX11)
		return fScale;
	int width;
	int height;
	int pixelWidth;
	int pixelHeight;
	SDL_GetWindowSize(record.window, &width, &height);
	SDL_GetWindowSizeInPixels(record.window, &pixelWidth, &pixelHeight);
	if (width <= 0 || pixelWidth <= 0)
		return record.scale;
	return DisplayScale((float)pixelWidth / width);
}


void
SdlBackend::_CheckScale(const SDL_WindowEvent& event)
{
	if (event.event != SDL_WINDOWEVENT_DISPLAY_CHANGED
		&& (fX11 || event.event != SDL_WINDOWEVENT_SIZE_CHANGED)) {
		return;
	}
	int32 window = WindowForSdlID(event.windowID);
	Window* record = _Find(window);
	if (record == NULL)
		return;
	if (!fX11) {
		DisplayScale scale = _ScaleOf(*record);
		if (scale != record->scale)
			_SetScale(window, *record, scale);
		return;
	}

	// X11 has one scale for all its screens; the desktop may have
	// changed it since.
	std::string resources;
	bool haveResources = read_x11_resources(record->window, resources);
	DisplayScale scale = DisplayScale::FromEnvironment(
		haveResources ? resources.c_str() : NULL);
	if (scale == fScale)
		return;
	fScale = scale;
	for (auto& entry : fWindows) {
		Window& other = entry.second;
		// The same size in units takes another number of pixels.
		int32 width = scale.Pixels(other.width + 1);
		int32 height = scale.Pixels(other.height + 1);
		fInput.ExpectSize(entry.first, width, height);
		_ApplySizeLimits(other.window, other.flags, width, height);
		SDL_SetWindowSize(other.window, width, height);
		_SetScale(entry.first, other, scale);
	}
}


void
SdlBackend::_SetScale(int32 window, Window& record, DisplayScale scale)
{
	record.scale = scale;
	fReady.emplace_back(window, ScaleChangedEvent(scale.Factor()));
}


void
SdlBackend::_ToUnits(ServerEvent& event)
{
	DisplayScale scale = _CoordinateScale();
	Window* record = _Find(event.window);
	std::visit([&scale, record](auto& what) {
			using Type = std::decay_t<decltype(what)>;
			if constexpr (std::is_base_of_v<PointerEvent, Type>
				|| std::is_same_v<Type, FilesDroppedEvent>) {
				what.where = scale.ToUnits(what.where);
			} else if constexpr (std::is_same_v<Type, MovedEvent>) {
				BPoint where = scale.ToUnits(what.where);
				what.where = BPoint(roundf(where.x), roundf(where.y));
			} else if constexpr (std::is_same_v<Type, ResizedEvent>) {
				what.width = scale.UnitsCovering(
					(int32)roundf(what.width) + 1);
				what.height = scale.UnitsCovering(
					(int32)roundf(what.height) + 1);
				if (record != NULL) {
					record->width = what.width;
					record->height = what.height;
				}
			}
		}, event.what);
}


// The icon installed under the program's name, with straight alpha as
// SDL takes it (cairo's images hold premultiplied pixels).
SDL_Surface*
SdlBackend::_LoadIcon(DisplayScale scale)
{
	char executable[PATH_MAX];
	ssize_t length = readlink("/proc/self/exe", executable,
		sizeof(executable) - 1);
	executable[length > 0 ? length : 0] = '\0';
	cairo_surface_t* image = load_application_icon(
		program_invocation_short_name, executable, scale.Pixels(48));
	if (image == NULL)
		return NULL;
	cairo_surface_flush(image);
	int width = cairo_image_surface_get_width(image);
	int height = cairo_image_surface_get_height(image);
	SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32,
		SDL_PIXELFORMAT_ARGB8888);
	if (icon != NULL) {
		const uint8* from = cairo_image_surface_get_data(image);
		int stride = cairo_image_surface_get_stride(image);
		for (int y = 0; y < height; y++) {
			const uint32* in = (const uint32*)(from + (size_t)y * stride);
			uint32* out = (uint32*)((uint8*)icon->pixels
				+ (size_t)y * icon->pitch);
			for (int x = 0; x < width; x++)
				out[x] = unpremultiplied(in[x]);
		}
	}
	cairo_surface_destroy(image);
	return icon;
}


// A file name in a title may hold any bytes; the screen takes UTF-8.
std::string
SdlBackend::_ScreenTitle(const char* title)
{
	return title != NULL ? TextForScreen(title, strlen(title)) : "";
}


// #pragma mark - What SdlInput asks


int32
SdlBackend::WindowForSdlID(uint32 sdlID)
{
	auto found = fIDs.find(sdlID);
	return found != fIDs.end() ? found->second : 0;
}


bool
SdlBackend::WindowLeftTop(int32 window, BPoint& _leftTop)
{
	Window* record = _Find(window);
	if (record == NULL)
		return false;
	int x;
	int y;
	SDL_GetWindowPosition(record->window, &x, &y);
	_leftTop = BPoint(x, y);
	return true;
}


int32
SdlBackend::WindowAt(BPoint screenPoint)
{
	// A Wayland compositor tells which of our surfaces the pointer is
	// over, never where a window is on the screen.
	if (fOnWayland) {
		int32 pointed = _WindowFor(SDL_GetMouseFocus());
		if (pointed != 0)
			return pointed;
	}
	SDL_Window* focus = SDL_GetKeyboardFocus();
	int32 best = 0;
	// Menus are in front of everything, the later shown in front; then
	// the window with the keyboard; then the later shown.
	uint64 bestRank = 0;
	for (auto& entry : fWindows) {
		Window& record = entry.second;
		if (!record.visible)
			continue;
		int x;
		int y;
		int width;
		int height;
		SDL_GetWindowPosition(record.window, &x, &y);
		SDL_GetWindowSize(record.window, &width, &height);
		if (screenPoint.x < x || screenPoint.y < y
			|| screenPoint.x >= x + width || screenPoint.y >= y + height) {
			continue;
		}
		uint64 rank = record.shownOrder;
		if (record.window == focus)
			rank += 1ULL << 40;
		if (record.menu)
			rank += 1ULL << 41;
		if (rank >= bestRank) {
			bestRank = rank;
			best = entry.first;
		}
	}
	return best;
}


bool
SdlBackend::IsMenuWindow(int32 window)
{
	Window* record = _Find(window);
	return record != NULL && record->menu;
}


bool
SdlBackend::IsMenuOpen()
{
	for (auto& entry : fWindows) {
		if (entry.second.menu && entry.second.visible)
			return true;
	}
	return false;
}


BPoint
SdlBackend::PointerOnScreen()
{
	int x = 0;
	int y = 0;
	BPoint leftTop;
	if (fOnWayland) {
		// No global position there: the one in the window the pointer
		// is over, on the screen as the windows believe they are.
		SDL_GetMouseState(&x, &y);
		WindowLeftTop(_WindowFor(SDL_GetMouseFocus()), leftTop);
		return BPoint(x, y) + leftTop;
	}
	SDL_GetGlobalMouseState(&x, &y);
	return BPoint(x, y);
}


// Our id of a shown SDL window; 0 for NULL or one not ours or hidden.
int32
SdlBackend::_WindowFor(SDL_Window* sdlWindow)
{
	if (sdlWindow == NULL)
		return 0;
	int32 window = WindowForSdlID(SDL_GetWindowID(sdlWindow));
	Window* record = _Find(window);
	return record != NULL && record->visible ? window : 0;
}


}	// namespace BPrivate
