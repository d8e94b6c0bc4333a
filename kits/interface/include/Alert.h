/*
 * BAlert: a small modal window that shows a message with an icon and up
 * to three buttons, and tells which button the user pressed. The buttons
 * stand in a row at the bottom right, the first leftmost; the last is
 * the default button (Enter). A key can be given to each button
 * (SetShortcut()), such as B_ESCAPE for the one that cancels.
 *
 * Go() shows the alert and waits for the answer; Go(invoker) shows it
 * and returns at once, and the invoker's message, with "which" added,
 * carries the answer later. Either way the alert deletes itself once a
 * button has been pressed. An alert cannot be closed otherwise.
 *
 * Threads: the alert runs on its own window thread. Go() may be called
 * from any thread, a window's included: that window keeps redrawing
 * while it waits, though it takes no input until the alert is gone.
 */
#ifndef _ALERT_H
#define _ALERT_H

#include <Window.h>

#include <memory>

class BButton;
class BInvoker;
class BTextView;

namespace BPrivate {
struct modal_wait;
}

enum alert_type {
	B_EMPTY_ALERT = 0,
	B_INFO_ALERT,
	B_IDEA_ALERT,
	B_WARNING_ALERT,
	B_STOP_ALERT
};

enum button_spacing {
	B_EVEN_SPACING = 0,
	B_OFFSET_SPACING
};

// How wide the buttons are: each from its label with the usual minimum,
// all as wide as the widest, or each just as wide as its label needs.
enum button_width {
	B_WIDTH_AS_USUAL,
	B_WIDTH_FROM_WIDEST,
	B_WIDTH_FROM_LABEL
};

class BAlert : public BWindow {
public:
	// button0 is required; a NULL button1 or button2 leaves it out (a
	// NULL button1 also leaves out button2). NULL title and text are
	// taken as empty.
								BAlert(const char* title, const char* text,
									const char* button0,
									const char* button1 = NULL,
									const char* button2 = NULL,
									button_width width = B_WIDTH_AS_USUAL,
									alert_type type = B_INFO_ALERT);
								BAlert(const char* title, const char* text,
									const char* button0,
									const char* button1,
									const char* button2,
									button_width width,
									button_spacing spacing,
									alert_type type = B_INFO_ALERT);
	virtual						~BAlert();

	// The key that presses the button (a character, or B_ESCAPE and the
	// other key characters); 0 for none. Ignored outside 0 .. the number
	// of buttons - 1.
			void				SetShortcut(int32 index, char key);
			char				Shortcut(int32 index) const;

	// Shows the alert, waits until a button is pressed and returns its
	// index; the alert is gone when it returns.
			int32				Go();
	// Shows the alert and returns B_OK at once. When a button is pressed,
	// the invoker (if any) sends its message with "which" (int32, the
	// index) added, and is deleted with the alert.
			status_t			Go(BInvoker* invoker);

	// NULL outside 0 .. the number of buttons - 1.
			BButton*			ButtonAt(int32 index) const;
			int32				CountButtons() const;
	// The alert's text, as shown.
			const char*			Text() const;
	// The view that shows the text: selectable, not editable.
			BTextView*			TextView() const;
			alert_type			Type() const;

	virtual	void				MessageReceived(BMessage* message);
	virtual	void				DispatchMessage(BMessage* message,
									BHandler* handler);
	// Always false: an alert ends by a button.
	virtual	bool				QuitRequested();

	// Where an alert of that size goes: centred over the frontmost
	// window, or on the screen when there is none.
	static	BPoint				AlertPosition(float width, float height);

private:
			void				_Init(const char* text, const char* button0,
									const char* button1, const char* button2,
									button_width width,
									button_spacing spacing, alert_type type);
			void				_LayOut(button_width width,
									button_spacing spacing);
			void				_Finish(int32 which);

			BTextView*			fTextView;
			BButton*			fButtons[3];
			char				fKeys[3];
			int32				fButtonCount;
			alert_type			fType;
	// The synchronous caller's wait, shared with Go(); NULL otherwise.
			std::shared_ptr<BPrivate::modal_wait> fWait;
			BInvoker*			fInvoker;
			bool				fFinished;
};

#endif	// _ALERT_H
