/*
 * Private to the print kit: what the page setup and print dialogs share.
 * A small modal window on a panel background with Cancel and a default
 * button at the bottom right and a line for what is wrong with a choice
 * above them. Enter presses the default button, Escape and the close box
 * cancel. Go() shows the dialog and waits for it on the calling thread,
 * whose window keeps redrawing meanwhile. Asked from a window, the dialog
 * is modal to that window only (a modal subset window): the application's
 * other windows keep working. Asked from elsewhere, it is modal to the
 * whole application.
 *
 * Threads: built on the caller's thread, then runs on its own; Go() on
 * the caller's. The dialog deletes itself when it closes.
 */
#ifndef _KITS_CONFIG_WINDOW_H
#define _KITS_CONFIG_WINDOW_H

#include <Window.h>

#include <memory>

class BButton;
class BMenu;
class BMenuField;
class BStringView;

namespace BPrivate {

struct modal_wait;

class ConfigWindow : public BWindow {
public:
	// The answers Go() gives.
	enum {
		kConfirmed = 1,
		kCancelled = 0
	};

	// The content's height excludes the button row, which is added
	// below it.
								ConfigWindow(const char* title, float width,
									float contentHeight,
									const char* confirmLabel);
	virtual						~ConfigWindow();

	// Shows the dialog, waits until it is closed, and returns B_OK when
	// it was confirmed, B_CANCELED otherwise.
			status_t			Go();

	virtual	void				MessageReceived(BMessage* message);
	virtual	void				DispatchMessage(BMessage* message,
									BHandler* handler);
	virtual	bool				QuitRequested();

	// Messages the controls send.
	static const uint32			kMsgConfirm = 'cwOK';
	static const uint32			kMsgCancel = 'cwCa';

protected:
	// The background that the subclass puts its controls on.
			BView*				Panel() const { return fPanel; }
	// Checks the choices and keeps them; false (with ShowProblem()
	// called) keeps the dialog open.
	virtual	bool				Confirm() = 0;
	// Says what is wrong with the choices; NULL clears the line.
			void				ShowProblem(const char* text);
	// Closes the dialog with the answer.
			void				Finish(int32 answer);
	// Adds a pop-up field to the panel at the left margin, its label in
	// the label column; a width of 0 reaches the right margin.
			BMenuField*			AddMenuField(float top, const char* name,
									const char* label, BMenu* menu,
									float width = 0);

	// The window the dialog was asked from and is modal to; NULL when
	// it is modal to the whole application. It waits for the dialog, so
	// it lasts as long as the dialog does.
			BWindow*			Document() const { return fDocument; }

	// Layout help for the subclasses.
	static const float			kMargin;
	static const float			kRowHeight;
	static const float			kLabelWidth;

private:
			BView*				fPanel;
			BStringView*		fProblem;
			BWindow*			fDocument;
			std::shared_ptr<modal_wait> fWait;
};

}	// namespace BPrivate

#endif	// _KITS_CONFIG_WINDOW_H
