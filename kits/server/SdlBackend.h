/*
 * SdlBackend: a real screen through SDL2, on X11 or Wayland. Each server
 * window is an SDL window; frames go up through the window's surface
 * (framebuffer acceleration off, no renderer), which on X11 is shared
 * memory put straight on the screen. What SDL reports is turned into the
 * server's events by SdlInput.
 *
 * Windows are ours by our ids: SDL's window ids are only looked up in a
 * map, never assumed to follow the order of creation. Menu windows
 * (kMenuWindowFeel) are borderless pop-ups that never take the keyboard;
 * on Wayland they are borderless toplevels, children of the window they
 * open from, whose keyboard does not deactivate that window. Wayland
 * tells no positions: a window keeps the one the program gave it.
 *
 * Windows draw at the desktop's scale. On X11 that is DisplayScale's
 * choice from the environment and the Xft.dpi of the X resources, read
 * at Open() and again when a window changes screens, and X11's
 * coordinates are device pixels: every position and size is converted
 * between units and pixels here, so that the server sees units only.
 * Elsewhere (Wayland) SDL's coordinates are already units and a
 * window's scale is the ratio of its pixels to them, which the
 * compositor sets per screen.
 *
 * Threads: every call on the display server's thread, Open() included,
 * except Wake(), which any thread may call at any time, even before
 * Open() or after the backend has closed. Owns SDL from Open() until it
 * is deleted.
 */
#ifndef _KITS_SDL_BACKEND_H
#define _KITS_SDL_BACKEND_H

#include "Backend.h"
#include "SdlInput.h"

#include <atomic>
#include <deque>
#include <map>
#include <mutex>

namespace BPrivate {

class SdlBackend : public Backend, private SdlInput::Screen {
public:
								SdlBackend();
	// Closes every window and SDL.
	virtual						~SdlBackend();

	// Connects to the display. When none can be reached, prints one line
	// saying why on stderr and returns B_ERROR.
	virtual	status_t			Open();

	virtual	status_t			CreateWindow(int32 window, BRect frame,
									uint32 look, uint32 feel, uint32 flags,
									const char* title);
	virtual	void				DestroyWindow(int32 window);
	virtual	void				ShowWindow(int32 window);
	virtual	void				HideWindow(int32 window);
	virtual	void				MoveWindow(int32 window, BPoint leftTop);
	virtual	void				ResizeWindow(int32 window, float width,
									float height);
	virtual	void				SetTitle(int32 window, const char* title);
	virtual	void				SetFlags(int32 window, uint32 look,
									uint32 feel, uint32 flags);
	virtual	void				ActivateWindow(int32 window);
	// WM_TRANSIENT_FOR, the dialog window type and Motif hints without
	// minimise and maximise on X11; the dialog is centred on its parent
	// before it is shown, which a window manager may refine. On Wayland
	// the dialog's toplevel is the child of its parent's, and the
	// compositor places it.
	virtual	void				SetDialog(int32 window, int32 parent,
									bool modal);

	virtual	void				PutPixels(int32 window, const uint8* image,
									int32 bytesPerRow, int32 imageWidth,
									int32 imageHeight, BRect area);

	virtual	bool				WaitForEvent(bigtime_t timeout,
									ServerEvent& _event);
	virtual	void				Wake();

	// SDL's clipboard is the system's: text without NUL bytes. Text is
	// cut at its first NUL.
	virtual	status_t			SetClipboardText(const std::string& text);
	virtual	status_t			GetClipboardText(std::string& _text);
	// X11's PRIMARY, or Wayland's primary selection where the compositor
	// offers one; kept in the process where it does not.
	virtual	status_t			SetPrimaryText(const std::string& text);
	virtual	status_t			GetPrimaryText(std::string& _text);
	// SDL_SetTextInputRect() while the window has the keyboard; SDL
	// tells the input method (IBus or Fcitx, over D-Bus) where that is
	// on the screen.
	virtual	void				SetTextInputRect(int32 window, BRect rect);
	virtual	void				StopComposition(int32 window);
	virtual	void				SetCursor(cursor_kind cursor);
	// The X server's bell; nothing on displays that have none SDL can
	// reach (Wayland).
	virtual	void				Beep();
	virtual	BRect				ScreenFrame();
	virtual	DisplayScale		Scale();

private:
	struct Window {
		SDL_Window*			window = NULL;
		uint32				sdlID = 0;
		uint32				flags = 0;
		bool				menu = false;
		bool				visible = false;
		bool				dialog = false;
		bool				modal = false;
	// The window a dialog serves, or (on Wayland) a menu opened from.
		int32				parent = 0;
	// When the window was last shown, to tell which of two overlapping
	// windows is in front.
		uint64				shownOrder = 0;
	// The scale it draws at, and its size in units (right minus left,
	// bottom minus top).
		DisplayScale		scale;
		float				width = 0;
		float				height = 0;
	};

			Window*				_Find(int32 window);
	static	uint32				_SdlFlagsFor(uint32 look, uint32 feel,
									uint32 flags);
	static	void				_ApplySizeLimits(SDL_Window* window,
									uint32 flags, int32 width,
									int32 height);
	static	std::string			_ScreenTitle(const char* title);
	static	SDL_Surface*		_LoadIcon(DisplayScale scale);
	// Tells X11 what kind of dialog the window is; again after SDL
	// rewrote the hints.
	static	void				_ApplyDialogHints(const Window& record);
			void				_CentreOn(Window& dialog,
									const Window& parent);
			void				_ApplyWaylandParents(int32 window);
			int32				_MenuOwner();
			int32				_WindowFor(SDL_Window* sdlWindow);
			bool				_CheckWaylandConnection();
			bool				_ScreenHasPrimary();
	// Hands the event to SdlInput and frees what SDL allocated for it;
	// false for the wake event, which is no event of the screen's.
			bool				_Translate(SDL_Event& event);

	// The scale between units and SDL's coordinates: the desktop's on
	// X11, where they are device pixels, else 1.
			DisplayScale		_CoordinateScale() const;
	// The scale the window's pixels have on its screen now.
			DisplayScale		_ScaleOf(const Window& record);
	// An SDL window event: a window that changed screens (or, away from
	// X11, its pixel size) may draw at another scale now.
			void				_CheckScale(const SDL_WindowEvent& event);
			void				_SetScale(int32 window, Window& record,
									DisplayScale scale);
	// An event from SdlInput, in SDL's coordinates, in units.
			void				_ToUnits(ServerEvent& event);

	// SdlInput::Screen
	virtual	int32				WindowForSdlID(uint32 sdlID);
	virtual	bool				WindowLeftTop(int32 window,
									BPoint& _leftTop);
	virtual	int32				WindowAt(BPoint screenPoint);
	virtual	bool				IsMenuWindow(int32 window);
	virtual	bool				IsMenuOpen();
	virtual	BPoint				PointerOnScreen();

			std::map<int32, Window>	fWindows;
			std::map<uint32, int32>	fIDs;
			SdlInput			fInput;
	// Events SdlInput made that WaitForEvent() has not handed out yet.
			std::deque<ServerEvent>	fReady;
			uint64				fShownCount;
			bool				fInitialized;
			SDL_Cursor*			fCursors[kCursorWait + 1];
	// The application's installed icon, given to every window that is
	// not a menu; NULL when none is installed.
			SDL_Surface*		fIcon;
	// SDL's Wayland driver runs: positions are the compositor's, and
	// dialogs are linked to their parents' toplevels.
			bool				fOnWayland;
	// The compositor has gone, and that was said.
			bool				fDisplayLost;
	// Whether the compositor offers a primary selection; asked once.
			enum { kUnknown, kOffered, kNotOffered } fPrimaryOffered;
	// The desktop's scale, and whether SDL's coordinates are X11's.
			DisplayScale		fScale;
			bool				fX11;

	// Guards fOpen and the SDL event Wake() pushes.
			std::mutex			fWakeLock;
			bool				fOpen;
			uint32				fWakeEvent;
	// Set while a wake event waits in SDL's queue, so that a burst of
	// requests leaves only one there.
			std::atomic<bool>	fWakePending;
};

}	// namespace BPrivate

#endif	// _KITS_SDL_BACKEND_H
