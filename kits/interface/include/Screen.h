/*
 * BScreen: what a program may know of the screen its windows are on.
 * This system has one screen, the main one; its frame is the whole
 * display, in screen coordinates, as the display server reports it.
 *
 * Threads: any. Each question goes to the display server.
 */
#ifndef _SCREEN_H
#define _SCREEN_H

#include <GraphicsDefs.h>
#include <Rect.h>

class BWindow;

struct screen_id {
	int32				id;
};

extern const struct screen_id B_MAIN_SCREEN_ID;


class BScreen {
public:
								BScreen(screen_id id = B_MAIN_SCREEN_ID);
	// The screen the window is on.
								BScreen(BWindow* window);
								~BScreen();

	// False for a screen that does not exist.
			bool				IsValid();
	// B_ERROR: there is no other screen.
			status_t			SetToNext();

			color_space			ColorSpace();
	// An invalid screen's frame is an invalid rectangle.
			BRect				Frame();
			screen_id			ID();

private:
			bool				fValid;
};

#endif	// _SCREEN_H
