/*
 * TestDriver: runs an application inside the test's process on the
 * offscreen display and operates it as a person would, for GoogleTest
 * tests. The driver launches the application with arguments, waits until
 * every looper and the display server are idle, finds windows and views,
 * clicks and types through the display server (so the application gets
 * the same messages a screen would send), reads what the application
 * printed, reads pixels and saves screenshots, and quits the application.
 *
 * Threads: a driver is used by the test's thread. The application's
 * loop runs on a thread of the driver; its windows on their own.
 * Anything that touches a window or a view from the test must lock it
 * (the Find and input calls here do that themselves), and nothing may
 * stay locked by the test while the driver waits for idle.
 *
 * Owns: the application object (deleted once it has quit), its thread
 * and the capture of standard output (from construction to deletion).
 *
 * Failures that stop a test from going on (the application never gets
 * idle, a window is not found) are reported through GoogleTest with a
 * message saying what was waited for, and the call returns an error.
 * One driver at a time per process.
 */
#ifndef _KITS_TEST_DRIVER_H
#define _KITS_TEST_DRIVER_H

#include <Application.h>
#include <FilePanel.h>
#include <GraphicsDefs.h>
#include <Point.h>
#include <View.h>
#include <Window.h>

class BMenu;
class BMenuField;
class BMenuItem;

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <typeinfo>
#include <utility>
#include <vector>

class BAlert;
class BControl;
class BTextControl;

namespace BPrivate {
class OutputCapture;
struct ScreenWindowInfo;
struct ServerEvent;
}

class TestDriver {
public:
	// How long the driver waits for anything unless told otherwise.
	static const bigtime_t		kDefaultTimeout = 10000000;

	// Selects the offscreen display and starts capturing standard output.
								TestDriver();
	// Quits the application if it still runs.
								~TestDriver();

	// Launching
	// Makes the application with the factory on the calling thread, as
	// main() would, with these arguments after the program's name as its
	// command line; runs it on the driver's thread and waits until it has
	// finished ReadyToRun() and is idle.
			status_t			Launch(
									std::function<BApplication*()> factory,
									const std::vector<std::string>&
										arguments = {});
	template<typename Application>
			status_t			Launch(const std::vector<std::string>&
										arguments = {})
								{
									return Launch([] {
										return (BApplication*)
											new Application;
									}, arguments);
								}
	// NULL before Launch() and after the application quit.
			BApplication*		Application() const { return fApplication; }

	// Posts B_QUIT_REQUESTED to the application and waits for its loop to
	// end; then quits what windows are left and deletes the application.
	// B_TIMED_OUT when it did not end in time: it is then made to quit.
			status_t			Quit(bigtime_t timeout = kDefaultTimeout);
	// True from Launch() until the application's loop has ended.
			bool				IsRunning();

	// Waiting
	// Waits until the display server and every running looper have
	// nothing queued and nothing in progress, twice in a row.
			status_t			WaitForIdle(
									bigtime_t timeout = kDefaultTimeout);
	// Waits (idle between checks) until the condition holds.
			status_t			WaitFor(std::function<bool()> condition,
									const char* what,
									bigtime_t timeout = kDefaultTimeout);

	// Finding. Windows are looked up by title; NULL when none has it
	// (Find...) or none came in time (WaitForWindow, which fails the test).
			BWindow*			FindWindow(const char* title);
			BWindow*			WaitForWindow(const char* title,
									bigtime_t timeout = kDefaultTimeout);
			int32				CountWindows();
	// The window's view of that name, searched in tree order.
			BView*				FindView(BWindow* window, const char* name);
	// The first view of the window (tree order) of the class or a
	// subclass of it.
	template<typename ViewClass>
			ViewClass*			FindView(BWindow* window)
								{
									return dynamic_cast<ViewClass*>(
										_FindView(window, [](BView* view) {
											return dynamic_cast<ViewClass*>(
												view) != NULL;
										}));
								}

	// Input, through the display server; each call waits for idle after.
	// Points are in window coordinates, or in the view's own.
			status_t			Click(BWindow* window, BPoint where,
									int32 clicks = 1,
									uint32 buttons = B_PRIMARY_MOUSE_BUTTON,
									uint32 modifiers = 0);
			status_t			Click(BView* view, BPoint where,
									int32 clicks = 1,
									uint32 buttons = B_PRIMARY_MOUSE_BUTTON,
									uint32 modifiers = 0);
	// At the middle of the view's visible bounds.
			status_t			Click(BView* view, int32 clicks = 1);
			status_t			MouseDown(BWindow* window, BPoint where,
									uint32 buttons = B_PRIMARY_MOUSE_BUTTON,
									int32 clicks = 1, uint32 modifiers = 0);
			status_t			MouseUp(BWindow* window, BPoint where,
									uint32 modifiers = 0);
			status_t			MoveMouse(BWindow* window, BPoint where,
									uint32 buttons = 0,
									uint32 modifiers = 0);
			status_t			ScrollWheel(BWindow* window, float dx,
									float dy);
	// Types each character of the UTF-8 text as a key down and up, with
	// Shift where the character needs it.
			status_t			TypeText(BWindow* window, const char* text);
	// One key: a character ('q', 'A') or one of the key characters
	// (B_TAB, B_LEFT_ARROW, B_ENTER, ...), with the modifiers held.
	// Command+key types the key's own character, as on the platform.
			status_t			PressKey(BWindow* window, uint32 character,
									uint32 modifiers = 0);
	// A function key, 1 to 12.
			status_t			PressFunctionKey(BWindow* window,
									int32 number, uint32 modifiers = 0);

	// Input methods, as the screen's input method speaks to the window:
	// the text it composes for the focus view, with the part it works on
	// from selectionStart to selectionEnd (byte offsets into text; -1 for
	// its end) and its clauses (pairs of byte offsets; none for one
	// clause); the text it types, ending the composition; and the end of
	// a composition with nothing typed.
			status_t			ComposeText(BWindow* window, const char* text,
									int32 selectionStart = -1,
									int32 selectionEnd = -1,
									const std::vector<std::pair<int32,
										int32> >& clauses = {});
			status_t			CommitText(BWindow* window, const char* text);
			status_t			CancelComposition(BWindow* window);
	// Where the window last told the input method its text goes (window
	// coordinates; invalid when it never did), and how many compositions
	// it ended itself, after waiting for idle.
			BRect				TextInputRect(BWindow* window);
			int32				CompositionsStopped(BWindow* window);

	// Alerts and controls (TestDriverControls.cpp).
	// The alert shown last; NULL when none is shown (FindAlert) or none
	// came in time (WaitForAlert, which fails the test).
			BAlert*				FindAlert();
			BAlert*				WaitForAlert(
									bigtime_t timeout = kDefaultTimeout);
			std::string			AlertTitle(BAlert* alert);
			std::string			AlertText(BAlert* alert);
			std::vector<std::string> AlertButtonLabels(BAlert* alert);
	// Clicks the button through the display server and waits until the
	// alert has gone and everything is idle.
			status_t			PressAlertButton(BAlert* alert, int32 index);
			status_t			PressAlertButton(BAlert* alert,
									const char* label);
	// The window's first control (tree order) with that label.
			BControl*			FindControl(BWindow* window,
									const char* label);
	// Clicks into the control's entry, selects all of it and types the
	// text over it.
			status_t			TypeInto(BTextControl* control,
									const char* text);

	// The keyboard focus (TestDriverFocus.cpp).
	// The window's focus view; NULL when it has none.
			BView*				FocusedView(BWindow* window);
	// What a person reading the window calls the view: a control's or a
	// menu field's label (a text control's for its entry), otherwise the
	// view's name.
			std::string			ViewLabel(BView* view);
	// Presses Tab with the modifiers (Shift goes backwards) until the
	// focus comes back to a view it has been on, at most limit times:
	// the labels of the views the focus went to, in order, each once.
	// The focus is left on the first of them, so that a cycle the other
	// way from there is this one reversed. Ends with "(none)" when a
	// press left the window without a focus.
			std::vector<std::string> TabCycle(BWindow* window,
									uint32 modifiers = 0, int32 limit = 40);

	// Menus, operated with clicks as a person would. A path names a title
	// of the window's key menu bar and the items below it by their
	// labels, separated by "/": "File/Save As...". Choosing opens each
	// menu on the way and clicks the last item; B_NOT_ALLOWED when it is
	// disabled (the click does nothing and the menus are closed again),
	// B_NAME_NOT_FOUND (failing the test) when the path names no item.
			status_t			ChooseMenuItem(BWindow* window,
									const char* path);
	// False, failing the test, when the path names no item.
			bool				IsMenuItemEnabled(BWindow* window,
									const char* path);
			bool				IsMenuItemMarked(BWindow* window,
									const char* path);
	// Clicks the field, then the item of its menu with the label.
			status_t			ChooseMenuFieldItem(BMenuField* field,
									const char* label);
	// The window an open menu is shown in; NULL while it is closed.
			BWindow*			MenuWindow(BMenu* menu);
	// Context menus. Right-clicks the view at where (its coordinates)
	// and waits for the menu that opens: its items' labels, each with
	// whether it is enabled, separators left out; empty when none
	// opened. The menu stays open.
			std::vector<std::pair<std::string, bool> > OpenContextMenu(
									BView* view, BPoint where);
	// Clicks the item of the pop-up menu open now; B_NOT_ALLOWED for a
	// disabled item (the menu is then closed with Escape),
	// B_NAME_NOT_FOUND when no menu is open or it has no such item.
			status_t			ChooseOpenMenuItem(const char* label);

	// The window manager's part.
			status_t			CloseWindow(BWindow* window);
			status_t			ResizeWindow(BWindow* window, float width,
									float height);
			status_t			MoveWindow(BWindow* window, BPoint leftTop);
			status_t			ActivateWindow(BWindow* window,
									bool active = true);
			status_t			DropFiles(BWindow* window, BPoint where,
									const std::vector<std::string>& paths);

	// File panels (BFilePanel), operated through their window: the
	// panel's Window(), or the one WaitForWindow() finds by its title.
	// Selects the entries of the folder shown by name, as a person does:
	// a click on the first, Command+click on each further one.
			status_t			ChoosePanelEntries(BWindow* panel,
									const std::vector<std::string>& names);
	// Double-clicks the entry: a folder is entered, a file chosen.
			status_t			OpenPanelEntry(BWindow* panel,
									const char* name);
	// Types the name into a save panel's name field over what is there.
			status_t			TypePanelSaveName(BWindow* panel,
									const char* name);
	// Types the path into the panel's path field and presses Enter: a
	// folder is entered, a file's folder entered and the file selected.
	// Relative paths start from the folder shown.
			status_t			GoToPanelFolder(BWindow* panel,
									const char* path);
	// Presses Open (or Save) or Cancel.
			status_t			PressPanelButton(BWindow* panel,
									file_panel_button button);
			status_t			CancelPanel(BWindow* panel)
								{
									return PressPanelButton(panel,
										B_CANCEL_BUTTON);
								}
	// The names the panel lists now, top to bottom.
			std::vector<std::string> PanelEntries(BWindow* panel);
	// The labels of the panel's places column, top to bottom, and a
	// click on the place with that label.
			std::vector<std::string> PanelPlaces(BWindow* panel);
			status_t			ClickPanelPlace(BWindow* panel,
									const char* label);

	// Output. The lines the process printed to standard output since the
	// driver was made, without their newlines; a last line without one
	// counts once it is followed by one or the capture ends.
			std::vector<std::string> OutputLines();
	// True when a line containing the text was printed (waiting up to the
	// timeout for it).
			bool				WaitForOutput(const char* text,
									bigtime_t timeout = kDefaultTimeout);

	// The screen. What the display shows of the window, after waiting for
	// idle, in the display's device pixels: the window's coordinates at
	// a scale of 1, the scale (KITS_SCALE) times them otherwise.
			status_t			SaveScreenshot(BWindow* window,
									const char* path);
			status_t			GetPixel(BWindow* window, BPoint where,
									rgb_color* _color);
	// What the desktop is told of a window, after waiting for idle: the
	// window a dialog serves (NULL for none or while it is not shown),
	// and the title its frame shows.
			BWindow*			ServedWindow(BWindow* dialog);
			std::string			ScreenTitle(BWindow* window);
	// The window that has the keyboard; NULL for none.
			BWindow*			ActiveWindow();
	// Every pixel of the area (device pixels, as GetPixel()), row after
	// row.
			status_t			GetPixels(BWindow* window, BRect area,
									std::vector<rgb_color>* _pixels);

private:
								TestDriver(const TestDriver&) = delete;
			TestDriver&			operator=(const TestDriver&) = delete;

			bool				_IsIdleOnce(std::string& _busy);
			BView*				_FindView(BWindow* window,
									std::function<bool(BView*)> matches);
	// The window's server id, with the window locked; 0 when it is gone.
			int32				_ServerID(BWindow* window);
	// Waits until everything is idle, then gives the window's server id;
	// B_BAD_VALUE when the window is gone.
			status_t			_IdleServerID(BWindow* window, int32& _id);
	// Runs the function with the looper locked; false when it could not
	// be locked (deleted, or held elsewhere for too long).
	static	bool				_WithLock(BLooper* looper,
									const std::function<void()>& function);
	// The pop-up menu open now and its window; NULL for none.
			BMenu*				_OpenPopUpMenu(BWindow** _window);
			status_t			_WindowInfo(BWindow* window,
									BPrivate::ScreenWindowInfo& _info);
			status_t			_ReadPixel(int32 serverID, BPoint where,
									rgb_color& _color);
			status_t			_Inject(BPrivate::ServerEvent& event,
									BWindow* window);
	// Injects a whole event and waits until everything has handled it.
			status_t			_InjectAndWait(BPrivate::ServerEvent& event,
									BWindow* window);
	// With mayBeGone, a window that has gone meanwhile is no failure.
			status_t			_InjectTo(int32 serverID,
									BPrivate::ServerEvent& event,
									bool mayBeGone);
			status_t			_Key(BWindow* window, const std::string& bytes,
									int32 key, int32 rawChar,
									uint32 modifiers);
			void				_EndApplication();
	// The item the path names, with the window locked; NULL when none.
			BMenuItem*			_FindMenuItem(BWindow* window,
									const char* path,
									std::vector<BMenuItem*>* _chain = NULL);
	// Clicks the item, which must be shown in an open menu.
			status_t			_ClickMenuItem(BWindow* owner, BMenuItem* item,
									bool click);

			BPrivate::OutputCapture* fOutput;
			BApplication*		fApplication;
			std::thread			fThread;
	// Guards fRunning, which the application's thread clears.
			std::mutex			fLock;
			std::condition_variable	fCondition;
			bool				fRunning;
	// The command line handed to the application; kept while it runs.
			std::vector<std::string> fArguments;
			std::vector<const char*> fArgv;
	// The window the last mouse down went to, for the up that follows.
			int32				fLastServerID;
};

#endif	// _KITS_TEST_DRIVER_H
