/*
 * Private to the kits: a window's state beyond the API's members, and
 * the kits' back door into a BWindow (the test driver and the later
 * kits that need the window's server id or its image).
 */
#ifndef _KITS_WINDOW_PRIVATE_H
#define _KITS_WINDOW_PRIVATE_H

#include <Messenger.h>
#include <Region.h>
#include <Window.h>

#include <cairo.h>

#include "DisplayScale.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace BPrivate {

// The message a window posts to itself to redraw what was invalidated.
const uint32 kMsgWindowUpdate = '_UPD';

struct window_shortcut {
	// Lower case.
	uint32				key;
	// The modifiers that must be held, B_COMMAND_KEY among them.
	uint32				modifiers;
	BMessage*			message;
	// Where the message goes; an empty messenger means the focus view
	// (the window's preferred handler) at the time.
	BMessenger			target;
};

// A view that draws onto a printed page instead of the window's image:
// while it is set, the window's context is the page's, and only that
// view draws, clipped to rect (its own coordinates), with rect's left top
// at pageOffset on the page.
struct print_target {
	const BView*		view = NULL;
	BRect				rect;
	BPoint				pageOffset;
};

struct window_data {
	int32				serverID = 0;

	// The window's image, the size of its bounds in device pixels at
	// the scale, and a context on it in units (scaled by the scale) that
	// the drawing calls save and restore around each use.
	DisplayScale		scale;
	cairo_surface_t*	image = NULL;
	cairo_t*			context = NULL;
	// Set while a view of the window is being printed.
	print_target*		printTarget = NULL;

	// What needs a Draw() pass (window coordinates), and whether the
	// message that runs it has been posted.
			BRegion		dirty;
	bool				updatePosted = false;
	// Set during a Draw() pass: drawing is limited to updateRect.
	bool				inUpdate = false;
	BRect				updateRect;
	int32				updatesDisabled = 0;
	// What was drawn since the last present (window coordinates);
	// invalid when nothing was.
	BRect				drawnArea;

	float				minWidth = 0;
	float				maxWidth = 32766;
	float				minHeight = 0;
	float				maxHeight = 32766;

	// The loop runs; set by the first Show().
	bool				running = false;

	// The pulse thread posts B_PULSE while some view wants it. The rate
	// counts from the end of the last pulse's dispatch, so a pulse the
	// window took late is never followed closely by the next.
	std::thread			pulseThread;
	std::mutex			pulseLock;
	std::condition_variable	pulseCondition;
	bigtime_t			pulseRate = 500000;
	bool				pulseStop = false;
	std::atomic<int32>	pulseViews{ 0 };
	// Guarded by pulseLock: a B_PULSE is queued, and when the last one
	// was dispatched.
	bool				pulsePending = false;
	bigtime_t			lastPulse = 0;

	std::vector<window_shortcut> shortcuts;
	// The button that Enter presses.
	BButton*			defaultButton = NULL;
	BMenuBar*			keyMenuBar = NULL;

	// The mouse: the view that asked for every pointer event until the
	// buttons are released, and the view the pointer was last over.
	BView*				eventMaskView = NULL;
	BView*				mouseOverView = NULL;
	uint32				buttons = 0;
};

// True for a focus view that takes Enter before the window's default
// button gets it (the entry of a text control).
bool enter_reaches_focus_first(BView* focus);

// Gives the window an image of width by height units (right minus left,
// bottom minus top) at its scale, with the old image's pixels where they
// fit when keepPixels is set and the old one was at the same scale.
void replace_window_image(window_data* data, float width, float height,
	bool keepPixels);

}	// namespace BPrivate


class BWindow::Private {
public:
								Private(const BWindow* window)
									: fWindow(window) {}

	// The window's id in the display server.
			int32				ServerID() const
									{ return fWindow->fData->serverID; }
			BPrivate::window_data* Data() const
									{ return fWindow->fData; }
			BView*				TopView() const
									{ return fWindow->fTopView; }

	// Dialogs. Makes the window a dialog of the served window on the
	// screen; NULL leaves the choice to the display server: the window
	// active when the dialog is shown. Modal windows are dialogs anyway.
			void				SetServedWindow(const BWindow* served);
	// What the screen shows as the title, the window's Title() unchanged.
			void				SetScreenTitle(const char* title);
	// The screen shows the window at another scale: its image is made
	// again at it and everything is drawn anew.
			void				SetScale(BPrivate::DisplayScale scale);

private:
			const BWindow*		fWindow;
};

#endif	// _KITS_WINDOW_PRIVATE_H
