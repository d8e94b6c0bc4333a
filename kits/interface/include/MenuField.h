/*
 * BMenuField: a label and, beside it, a button-like field that shows the
 * marked item of a pop-up menu (or the menu's name when none is marked)
 * and opens the menu when clicked. The field is a one-item menu bar,
 * MenuBar(), whose item leads to Menu().
 *
 * Threads: the window's thread, as any view.
 *
 * Owns: its menu bar, and so the menu.
 */
#ifndef _MENU_FIELD_H
#define _MENU_FIELD_H

#include <Menu.h>

class BMenuBar;
class BMenuItem;

class BMenuField : public BView {
public:
	// The menu becomes the field's; a NULL label shows none.
								BMenuField(BRect frame, const char* name,
									const char* label, BMenu* menu,
									uint32 resizingMode = B_FOLLOW_LEFT
										| B_FOLLOW_TOP,
									uint32 flags = B_WILL_DRAW
										| B_NAVIGABLE);
								BMenuField(BRect frame, const char* name,
									const char* label, BMenu* menu,
									bool fixedSize, uint32 resizingMode
										= B_FOLLOW_LEFT | B_FOLLOW_TOP,
									uint32 flags = B_WILL_DRAW
										| B_NAVIGABLE);
	virtual						~BMenuField();

	// Hooks
	virtual	void				AttachedToWindow();
	virtual	void				Draw(BRect updateRect);
	virtual	void				MouseDown(BPoint where);
	virtual	void				KeyDown(const char* bytes, int32 numBytes);
	// The focused field is framed in the keyboard navigation colour
	// while its window is active.
	virtual	void				MakeFocus(bool focus = true);
	virtual	void				WindowActivated(bool active);
	virtual	void				FrameResized(float newWidth,
									float newHeight);
	virtual	void				GetPreferredSize(float* _width,
									float* _height);
	virtual	void				ResizeToPreferred();

			BMenu*				Menu() const;
			BMenuBar*			MenuBar() const;
	// The item of the field's bar: its label is what the field shows.
			BMenuItem*			MenuItem() const;

	virtual	void				SetLabel(const char* label);
			const char*			Label() const;
	// A disabled field is passed over by keyboard navigation and gives
	// up the focus; enabled again, it is navigable as it was made.
	virtual	void				SetEnabled(bool enabled);
			bool				IsEnabled() const;
	virtual	void				SetAlignment(alignment label);
			alignment			Alignment() const;
	// The x coordinate (view coordinates) where the field starts.
	virtual	void				SetDivider(float dividingLine);
			float				Divider() const;

private:
			void				_InitData(const char* label, BMenu* menu,
									bool fixedSize);
			void				_LayoutBar();

			char*				fLabel;
			BMenu*				fMenu;
			BMenuBar*			fMenuBar;
			alignment			fAlign;
			float				fDivider;
			bool				fEnabled;
			bool				fFixedSize;
	// Whether the field was made B_NAVIGABLE, kept while it is disabled.
			bool				fNavigable;
};

#endif	// _MENU_FIELD_H
