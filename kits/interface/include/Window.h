/*
 * BWindow: a window on the screen and the looper that runs it. Its
 * content area holds a tree of views; the window turns the display
 * server's messages into calls of its views' hooks (keys to the focus
 * view, clicks to the view under the pointer, pulses to the views that
 * want them) and draws the views into its own image, which it hands to
 * the server.
 *
 * Threads: the window's own looper thread, started by the first Show().
 * Other threads lock the window before they touch it or its views. A
 * window is constructed hidden and locked by the constructing thread, as
 * any looper; the first Show() runs it and gives that lock up.
 *
 * Owns: its views (deleted with the window), its image and its
 * shortcuts. It is deleted by Quit(), never by the caller.
 *
 * A BApplication must exist before any window is constructed.
 */
#ifndef _WINDOW_H
#define _WINDOW_H

#include <InterfaceDefs.h>
#include <Looper.h>
#include <Rect.h>
#include <View.h>

class BButton;
class BMenuBar;
class BMessage;

namespace BPrivate {
struct window_data;
}

enum window_type {
	B_UNTYPED_WINDOW	= 0,
	B_TITLED_WINDOW		= 1,
	B_MODAL_WINDOW		= 3,
	B_DOCUMENT_WINDOW	= 11,
	B_BORDERED_WINDOW	= 20,
	B_FLOATING_WINDOW	= 21
};

enum window_look {
	B_BORDERED_WINDOW_LOOK	= 20,
	B_NO_BORDER_WINDOW_LOOK	= 19,
	B_TITLED_WINDOW_LOOK	= 1,
	B_DOCUMENT_WINDOW_LOOK	= 11,
	B_MODAL_WINDOW_LOOK		= 3,
	B_FLOATING_WINDOW_LOOK	= 7
};

// Any 32-bit value is a feel: the system keeps feels of its own (the menu
// windows') beside these.
enum window_feel : uint32 {
	B_NORMAL_WINDOW_FEEL			= 0,
	B_MODAL_SUBSET_WINDOW_FEEL		= 2,
	B_MODAL_APP_WINDOW_FEEL			= 1,
	B_MODAL_ALL_WINDOW_FEEL			= 3,
	B_FLOATING_SUBSET_WINDOW_FEEL	= 5,
	B_FLOATING_APP_WINDOW_FEEL		= 4,
	B_FLOATING_ALL_WINDOW_FEEL		= 6
};

// Window flags
enum {
	B_NOT_MOVABLE					= 0x00000001,
	B_NOT_CLOSABLE					= 0x00000020,
	B_NOT_ZOOMABLE					= 0x00000040,
	B_NOT_MINIMIZABLE				= 0x00004000,
	B_NOT_RESIZABLE					= 0x00000002,
	B_NOT_H_RESIZABLE				= 0x00000004,
	B_NOT_V_RESIZABLE				= 0x00000008,
	B_AVOID_FRONT					= 0x00000080,
	B_AVOID_FOCUS					= 0x00002000,
	B_WILL_ACCEPT_FIRST_CLICK		= 0x00000010,
	B_OUTLINE_RESIZE				= 0x00001000,
	B_NO_WORKSPACE_ACTIVATION		= 0x00000100,
	B_NOT_ANCHORED_ON_ACTIVATE		= 0x00020000,
	B_ASYNCHRONOUS_CONTROLS			= 0x00080000,
	B_QUIT_ON_WINDOW_CLOSE			= 0x00100000,
	B_SAME_POSITION_IN_ALL_WORKSPACES = 0x00200000,
	B_AUTO_UPDATE_SIZE_LIMITS		= 0x00400000,
	B_CLOSE_ON_ESCAPE				= 0x00800000,
	B_NO_SERVER_SIDE_WINDOW_MODIFIERS = 0x00000200
};

#define B_CURRENT_WORKSPACE		0
#define B_ALL_WORKSPACES		0xffffffff

class BWindow : public BLooper {
public:
	// frame is the content area in screen coordinates. A window created
	// while no BApplication exists stops the program with a message.
								BWindow(BRect frame, const char* title,
									window_type type, uint32 flags,
									uint32 workspace = B_CURRENT_WORKSPACE);
								BWindow(BRect frame, const char* title,
									window_look look, window_feel feel,
									uint32 flags,
									uint32 workspace = B_CURRENT_WORKSPACE);
	// Deleting a window directly is allowed only before it runs; use
	// Quit() afterwards.
	virtual						~BWindow();

	// Removes the window from the screen, deletes it with its views and
	// ends its thread; see BLooper::Quit() for which thread may call it.
	virtual	void				Quit();
	virtual	bool				QuitRequested();

	// Views
	// The window's top level: views added here have no Parent().
			void				AddChild(BView* child, BView* before = NULL);
			bool				RemoveChild(BView* child);
			int32				CountChildren() const;
			BView*				ChildAt(int32 index) const;
	// Searches every view of the window in tree order.
			BView*				FindView(const char* name) const;
	// The view under a point (window coordinates): the deepest visible
	// one; NULL when the point is outside the window.
			BView*				FindView(BPoint point) const;
			BView*				CurrentFocus() const;
	// The button that Enter presses wherever the focus is; setting one
	// takes the role from the last. NULL for none.
			void				SetDefaultButton(BButton* button);
			BButton*			DefaultButton() const;

	// Hooks
	virtual	void				DispatchMessage(BMessage* message,
									BHandler* handler);
	virtual	void				MessageReceived(BMessage* message);
	virtual	void				FrameMoved(BPoint newPosition);
	virtual	void				FrameResized(float newWidth, float newHeight);
	virtual	void				WindowActivated(bool active);
	virtual	void				Zoom(BPoint origin, float width,
									float height);
			void				Zoom();
	virtual	void				Minimize(bool minimize);
	virtual	void				ScreenChanged(BRect screenSize,
									color_space depth);
	virtual	void				MenusBeginning();
	virtual	void				MenusEnded();

	// Frame and appearance
	// The content area in screen coordinates.
			BRect				Frame() const;
	// The content area in window coordinates: left top at 0, 0.
			BRect				Bounds() const;
			void				MoveBy(float dx, float dy);
			void				MoveTo(BPoint point);
			void				MoveTo(float x, float y);
	// Sizes are kept within the size limits.
			void				ResizeBy(float dx, float dy);
			void				ResizeTo(float width, float height);
			void				SetSizeLimits(float minWidth, float maxWidth,
									float minHeight, float maxHeight);
			void				GetSizeLimits(float* minWidth,
									float* maxWidth, float* minHeight,
									float* maxHeight);
	// NULL is taken as an empty title.
			void				SetTitle(const char* title);
			const char*			Title() const;
			window_type			Type() const;
			window_look			Look() const;
			window_feel			Feel() const;
	// A window shown keeps its place; the new feel holds from now on.
			status_t			SetFeel(window_feel feel);
			uint32				Flags() const;
			status_t			SetFlags(uint32 flags);
			uint32				Workspaces() const;
			void				SetWorkspaces(uint32 workspaces);

	// The subset of a window with a subset feel: a modal subset window
	// keeps from input only the windows of its subset (and serves the
	// first of them on the screen); the others work while it shows. Only
	// a normal window joins a subset; B_BAD_VALUE for any other, NULL, or
	// a window whose feel has no subset.
			status_t			AddToSubset(BWindow* window);
			status_t			RemoveFromSubset(BWindow* window);

	// Show() and Hide() nest: a window hidden twice needs two Show()s. The
	// first Show() starts the window's thread.
	virtual	void				Show();
	virtual	void				Hide();
			bool				IsHidden() const;
			bool				IsMinimized() const;

	// Asks the server to make the window the one that gets the keyboard
	// (or to stop being it); IsActive() changes once the server answers.
			void				Activate(bool active = true);
			bool				IsActive() const;

	// Drawing
	// Draws what has been invalidated now instead of on the next pass of
	// the loop. Needs the lock.
			void				UpdateIfNeeded();
			void				Flush() const;
			void				Sync() const;
			bool				NeedsUpdate() const;
			void				DisableUpdates();
			void				EnableUpdates();

	// Pulses: sent to every view with B_PULSE_NEEDED at this interval
	// while the window runs; 0 stops them. Half a second by default.
			void				SetPulseRate(bigtime_t rate);
			bigtime_t			PulseRate() const;

	// Shortcuts: Command plus the key (and the modifiers given) posts the
	// message to the target, or to the focus view (the window without
	// one) when the target is NULL. The window owns the message. Keys
	// are matched case-insensitively. A shortcut for a key and modifiers
	// that have one already replaces it. Command+Q (to the application)
	// and, unless B_NOT_CLOSABLE, Command+W (to the window) are there
	// from the start, as B_QUIT_REQUESTED.
			void				AddShortcut(uint32 key, uint32 modifiers,
									BMessage* message);
			void				AddShortcut(uint32 key, uint32 modifiers,
									BMessage* message, BHandler* target);
			bool				HasShortcut(uint32 key, uint32 modifiers);
			void				RemoveShortcut(uint32 key, uint32 modifiers);

	// The menu bar whose items' shortcuts the window tries before its own
	// and before the focus view sees the key: the first bar added to the
	// window unless set otherwise. NULL for none.
			BMenuBar*			KeyMenuBar() const;
			void				SetKeyMenuBar(BMenuBar* bar);

	// Coordinate conversion between the window and the screen.
			BPoint				ConvertToScreen(BPoint point) const;
			void				ConvertToScreen(BPoint* point) const;
			BPoint				ConvertFromScreen(BPoint point) const;
			void				ConvertFromScreen(BPoint* point) const;
			BRect				ConvertToScreen(BRect rect) const;
			void				ConvertToScreen(BRect* rect) const;
			BRect				ConvertFromScreen(BRect rect) const;
			void				ConvertFromScreen(BRect* rect) const;

	class Private;

private:
	friend class BView;
	friend class Private;

								BWindow(const BWindow&) = delete;
			BWindow&			operator=(const BWindow&) = delete;

			void				_InitData(BRect frame, const char* title,
									window_look look, window_feel feel,
									uint32 flags, uint32 workspace);
			void				_AddDefaultShortcuts();
	// Tells the display server the look, feel and flags (WindowFeel.cpp).
			void				_PostStyle();
			void				_PulseLoop();

	// Views and focus (Window.cpp)
			void				_SetFocus(BView* view);
			void				_ViewDetached(BView* view);
			void				_ApplyResize(float width, float height);

	// Dispatch (WindowDispatch.cpp)
			void				_HandleKeyDown(BMessage* message);
			void				_HandleKeyUp(BMessage* message);
			bool				_HandleShortcut(BMessage* message);
			bool				_HandleMenuShortcut(BMessage* message);
	// F10, or Alt with the letter of a title, opens the key menu bar.
			bool				_HandleMenuKey(BMessage* message);
			bool				_HandleNavigation(BMessage* message);
			bool				_HandleDefaultButton(BMessage* message);
			void				_HandleMouseDown(BMessage* message);
			void				_HandleMouseUp(BMessage* message);
			void				_HandleMouseMoved(BMessage* message);
			void				_HandleWheel(BMessage* message,
									BHandler* handler);
			void				_HandleDrop(BMessage* message,
									BHandler* handler);
			void				_HandleResized(BMessage* message);
			void				_HandleMoved(BMessage* message);
			void				_HandleActivated(BMessage* message);
			void				_HandlePulse();
			void				_HandleQuitRequested(BMessage* message);

	// Updates (WindowUpdate.cpp)
			void				_Invalidate(BRect windowRect);
			void				_DrawView(BView* view, BRect dirty);
			void				_NoteDrawn(BRect windowRect);
			void				_Present();

			BPrivate::window_data* fData;
			BView*				fTopView;
			BView*				fFocus;
			BRect				fFrame;
			char*				fTitle;
			window_type			fType;
			window_look			fLook;
			window_feel			fFeel;
			uint32				fFlags;
			uint32				fWorkspaces;
	// Show() minus Hide() calls; visible while above 0.
			int32				fShowLevel;
			bool				fActive;
			bool				fMinimized;
};

#endif	// _WINDOW_H
