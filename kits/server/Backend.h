/*
 * Backend: what the display server needs from a screen. One backend
 * exists per process, made by the server and called only on the
 * server's thread, except Wake(), which any thread may call.
 *
 * Windows are known by the server's ids. Pixels are B_RGBA32 (one 32-bit
 * word a pixel, premultiplied alpha, blue in the lowest byte), as cairo's
 * ARGB32 images hold them.
 *
 * Frames, sizes, positions and the events' coordinates are in the API's
 * units; images and the areas put on screen are in device pixels, a
 * window's at its scale (DisplayScale). A window starts at Scale(); when
 * the backend moves it to another scale, it reports a ScaleChangedEvent
 * and from then on expects images at the new one.
 */
#ifndef _KITS_BACKEND_H
#define _KITS_BACKEND_H

#include "DisplayScale.h"
#include "ServerProtocol.h"

#include <string>

namespace BPrivate {

class Backend {
public:
	virtual						~Backend();

	// Connects to the screen, on the server's thread, before any other
	// call. On failure the backend has printed one line on stderr saying
	// why, and only its deletion follows.
	virtual	status_t			Open();

	// Windows. A frame is the content area in screen coordinates, with the
	// platform's inclusive edges; look, feel and flags are the BWindow's.
	virtual	status_t			CreateWindow(int32 window, BRect frame,
									uint32 look, uint32 feel, uint32 flags,
									const char* title) = 0;
	// Unknown windows are ignored by every call below.
	virtual	void				DestroyWindow(int32 window) = 0;
	virtual	void				ShowWindow(int32 window) = 0;
	virtual	void				HideWindow(int32 window) = 0;
	virtual	void				MoveWindow(int32 window, BPoint leftTop) = 0;
	// The new content size, right minus left and bottom minus top. The
	// window's pixels are undefined until the next PutPixels().
	virtual	void				ResizeWindow(int32 window, float width,
									float height) = 0;
	virtual	void				SetTitle(int32 window, const char* title) = 0;
	virtual	void				SetFlags(int32 window, uint32 look,
									uint32 feel, uint32 flags) = 0;
	virtual	void				ActivateWindow(int32 window) = 0;
	// Before it is shown, the window becomes a dialog of parent: kept in
	// front of it and placed over it by the screen, without the buttons
	// that minimise and maximise; a modal one also keeps the person from
	// the parent. A backend without a window manager of its own does
	// nothing.
	virtual	void				SetDialog(int32 window, int32 parent,
									bool modal);

	// Puts the area (device pixels, clipped to the window) of an image of
	// the whole window, at its scale, on the screen.
	virtual	void				PutPixels(int32 window, const uint8* image,
									int32 bytesPerRow, int32 imageWidth,
									int32 imageHeight, BRect area) = 0;

	// Events. Waits up to timeout microseconds (0 only checks) for one;
	// true with the event filled in, false when none came or Wake() was
	// called.
	virtual	bool				WaitForEvent(bigtime_t timeout,
									ServerEvent& _event) = 0;
	// Makes a waiting WaitForEvent() return. Any thread.
	virtual	void				Wake() = 0;

	// Takes an event as if a person had caused it. B_NOT_SUPPORTED on a
	// backend with a real screen.
	virtual	status_t			InjectEvent(const ServerEvent& event);

	// The clipboard's text (UTF-8); an empty string when it holds none.
	virtual	status_t			SetClipboardText(const std::string& text) = 0;
	virtual	status_t			GetClipboardText(std::string& _text) = 0;
	// The primary selection: the text selected last, which a middle
	// click pastes. A screen without one keeps it in the process.
	virtual	status_t			SetPrimaryText(const std::string& text);
	virtual	status_t			GetPrimaryText(std::string& _text);

	// The frame of the main screen, in screen coordinates with inclusive
	// edges. A backend without a screen of its own has one of 1280 x 800.
	virtual	BRect				ScreenFrame();
	// The scale of the main screen, which new windows start at; after
	// Open(). 1 unless the backend says otherwise.
	virtual	DisplayScale		Scale();

	// The screen's input method: where the text being typed goes in the
	// window (window coordinates), for its candidate window; and the end
	// of what it composes, which the window has kept or dropped itself,
	// so that none of it is typed later. Nothing on a screen without one.
	virtual	void				SetTextInputRect(int32 window, BRect rect);
	virtual	void				StopComposition(int32 window);

	virtual	void				SetCursor(cursor_kind cursor) = 0;
	virtual	void				Beep() = 0;

	// What the screen shows of a window, in device pixels.
	// B_NOT_SUPPORTED where the backend cannot read its screen back;
	// B_BAD_VALUE for an unknown window or a pixel outside it.
	virtual	status_t			WritePNG(int32 window, const char* path);
	virtual	status_t			ReadPixel(int32 window, BPoint where,
									uint32& _pixel);

	// The backend that KITS_DISPLAY names. NULL with one line on stderr
	// saying why when there is none; the caller ends the program.
	static	Backend*			Create();

private:
			std::string			fPrimaryText;
};

}	// namespace BPrivate

#endif	// _KITS_BACKEND_H
