/*
 * BMenuBar: the row of menu titles at the top of a window. Clicking a
 * title opens its menu; while one is open, moving across the titles
 * switches menus and the arrow keys walk through them. The first bar
 * added to a window becomes its key menu bar, whose items' shortcuts
 * the window looks at before the focus view sees a key.
 *
 * Threads: the window's thread, as any view.
 */
#ifndef _MENU_BAR_H
#define _MENU_BAR_H

#include <Menu.h>

enum menu_bar_border {
	B_BORDER_FRAME,
	B_BORDER_CONTENTS,
	B_BORDER_EACH_ITEM
};

class BMenuBar : public BMenu {
public:
	// With resizeToFit, the bar fits its height to its font and, in a
	// column, its width to its items; a row keeps the frame's width.
								BMenuBar(BRect frame, const char* name,
									uint32 resizingMode = B_FOLLOW_LEFT_RIGHT
										| B_FOLLOW_TOP,
									menu_layout layout = B_ITEMS_IN_ROW,
									bool resizeToFit = true);
	virtual						~BMenuBar();

	virtual	void				SetBorder(menu_bar_border border);
			menu_bar_border		Border() const;

	// Hooks
	virtual	void				AttachedToWindow();
	virtual	void				DetachedFromWindow();
	virtual	void				Draw(BRect updateRect);
	virtual	void				MessageReceived(BMessage* message);
	virtual	void				WindowActivated(bool active);
	virtual	void				MouseDown(BPoint where);
	virtual	void				MouseUp(BPoint where);
	virtual	void				MouseMoved(BPoint where, uint32 transit,
									const BMessage* dragMessage);
	virtual	void				FrameResized(float newWidth,
									float newHeight);

	// Opens the menu of the title at the index as the keyboard does (F10,
	// Alt with a title's letter), with its first item selected; the keys
	// then walk the menus. Does nothing while the bar is tracking, is
	// disabled or is in no window. sticky, showMenu and specialRect are
	// taken for the platform's signature; menus opened this way always
	// show and stay open until a choice or Escape.
			void				StartMenuBar(int32 menuIndex,
									bool sticky = true,
									bool showMenu = false,
									BRect* specialRect = NULL);

private:
	friend class BPrivate::MenuTracker;

	// Ends the session once it is over: the menus are closed, the chosen
	// item is invoked and the window hears MenusEnded().
			void				_FinishTracking();

			menu_bar_border		fBorder;
};

#endif	// _MENU_BAR_H
