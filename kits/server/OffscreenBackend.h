/*
 * OffscreenBackend: a screen that is not there. Every window is a cairo
 * image in memory; events come only from InjectEvent(); the clipboard is
 * a string. Tests, CI and benchmarks run on it, drawing with the same
 * cairo and FreeType code as a real screen.
 *
 * Its scale is KITS_SCALE's (1 when unset): no desktop setting reaches a
 * screen that is not there, so tests see the scale they ask for. An
 * injected ScaleChangedEvent puts a window on a screen of that scale, as
 * a move to another screen would.
 *
 * Threads: the display server's thread, except Wake(). Owns the images.
 */
#ifndef _KITS_OFFSCREEN_BACKEND_H
#define _KITS_OFFSCREEN_BACKEND_H

#include "Backend.h"

#include <cairo.h>

#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>

namespace BPrivate {

class OffscreenBackend : public Backend {
public:
								OffscreenBackend();
	virtual						~OffscreenBackend();

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

	virtual	void				PutPixels(int32 window, const uint8* image,
									int32 bytesPerRow, int32 imageWidth,
									int32 imageHeight, BRect area);

	virtual	bool				WaitForEvent(bigtime_t timeout,
									ServerEvent& _event);
	virtual	void				Wake();
	// An event for an unknown window is dropped with B_BAD_VALUE. A resize
	// or move changes the image's window as a window manager would, and a
	// change of scale makes its image again at the new one.
	virtual	status_t			InjectEvent(const ServerEvent& event);

	virtual	DisplayScale		Scale();

	virtual	status_t			SetClipboardText(const std::string& text);
	virtual	status_t			GetClipboardText(std::string& _text);
	virtual	void				SetCursor(cursor_kind cursor);
	virtual	void				Beep();

	virtual	status_t			WritePNG(int32 window, const char* path);
	virtual	status_t			ReadPixel(int32 window, BPoint where,
									uint32& _pixel);

private:
	struct Window {
		BRect				frame;
		std::string			title;
		uint32				look;
		uint32				feel;
		uint32				flags;
		bool				visible;
		DisplayScale		scale;
	// What the "screen" shows of the window, in device pixels; never
	// NULL.
		cairo_surface_t*	image;
	};

			Window*				_Find(int32 window);
	// A new image of the frame's size at the scale, cleared to the
	// platform's panel grey; the old one's pixels are copied where they
	// fit.
	static	cairo_surface_t*	_NewImage(BRect frame, DisplayScale scale,
									cairo_surface_t* old);

			DisplayScale		fScale;

			std::map<int32, Window> fWindows;
			std::string			fClipboard;
			cursor_kind			fCursor;
			int32				fBeeps;

	// Guards the queue and the wake flag, which other threads touch.
			std::mutex			fLock;
			std::condition_variable	fCondition;
			std::deque<ServerEvent>	fEvents;
			bool				fWoken;
};

}	// namespace BPrivate

#endif	// _KITS_OFFSCREEN_BACKEND_H
