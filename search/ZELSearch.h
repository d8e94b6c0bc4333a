/*
 * ZELSearch: the find and replace dialog. A document's text view opens
 * one for Edit > Find... (find mode: a find field, Search and Cancel) or
 * Edit > Replace... (replace mode: a find and a replace field, Replace,
 * Replace All and Cancel). An action button posts one search request to
 * the text view and closes the dialog; Cancel and Escape close it
 * without one. The dialog never touches the document itself.
 *
 * A search request is a BMessage 'FMse', 'FMre' or 'FMra' with the
 * string field FindText ("Find") and, in replace mode, ReplaceText
 * ("ReplaceWith").
 *
 * Threads: built on its creator's thread, which it leaves at Show();
 * from then on its own window thread.
 *
 * Owns: its views. Not the target, which must stay attached to its
 * looper while the dialog is open; the modal dialog keeps the user from
 * closing the document meanwhile. It deletes itself when it quits.
 */
#ifndef ZEL_SEARCH_H
#define ZEL_SEARCH_H

#include <Window.h>

class BButton;
class BHandler;
class BMessage;
class BTextControl;

// The field names of a search request.
extern const char* FindText;
extern const char* ReplaceText;


class ZELSearch : public BWindow {
public:
	// frame is the text view's frame on screen: the dialog's top-left
	// corner goes 16 units right of and below its top-left corner. The
	// heading and the initial text are copied. Shows itself.
								ZELSearch(BRect frame, const char* heading,
									const char* initialText,
									BHandler* target, bool findOnly);
	virtual						~ZELSearch();

	virtual	void				MessageReceived(BMessage* message);
	// Turns the Escape key into a cancellation, whichever view has the
	// focus.
	virtual	void				DispatchMessage(BMessage* message,
									BHandler* handler);

private:
			BTextControl*		_AddField(BView* parent, float top,
									const char* label, const char* text);
			BButton*			_AddButton(BView* parent, const char* label,
									uint32 what, float* _width,
									float* _height);
			void				_LayOut(BView* parent, bool haveText);
			void				_EnableActions();
	// Adds the fields, posts the request to the target and closes the
	// dialog; takes ownership of the request.
			void				ExtractToMsg(BMessage* request);

			BTextControl*		fFindField;
			BTextControl*		fReplaceField;
			BButton*			fSearchButton;
			BButton*			fReplaceButton;
			BButton*			fReplaceAllButton;
			BButton*			fCancelButton;
			BHandler*			fTarget;
			bool				fFindOnly;
};

#endif	// ZEL_SEARCH_H
