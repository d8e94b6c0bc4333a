/*
 * BButton: a push button. Clicking it (pressing and releasing the mouse
 * button inside it), Space while it has the focus, or Enter while it is
 * its window's default button sends its message. The default button is
 * drawn with a heavier frame; a window has at most one.
 *
 * Threads: the window's, as any view.
 */
#ifndef _BUTTON_H
#define _BUTTON_H

#include <Control.h>

class BButton : public BControl {
public:
								BButton(BRect frame, const char* name,
									const char* label, BMessage* message,
									uint32 resizingMode
										= B_FOLLOW_LEFT | B_FOLLOW_TOP,
									uint32 flags
										= B_WILL_DRAW | B_NAVIGABLE);
	virtual						~BButton();

	// Hook functions
	virtual	void				Draw(BRect updateRect);
	virtual	void				AttachedToWindow();
	virtual	void				DetachedFromWindow();
	// Space (and Enter) press a focused button.
	virtual	void				KeyDown(const char* bytes, int32 numBytes);
	// The button sends only when the mouse button is released over it.
	virtual	void				MouseDown(BPoint where);
	virtual	void				MouseUp(BPoint where);
	virtual	void				MouseMoved(BPoint where, uint32 transit,
									const BMessage* dragMessage);
	virtual	void				MakeFocus(bool focus = true);

	// The default button
	// True makes this the window's default button and takes that role
	// from any other; false gives it up. The frame stays as it is. A
	// button that is not in a window yet takes the role when it is
	// attached.
	virtual	void				MakeDefault(bool isDefault);
			bool				IsDefault() const;

	virtual	void				SetLabel(const char* label);
	// The label's width plus margins (at least 75), and the font's
	// height plus margins.
	virtual	void				GetPreferredSize(float* _width,
									float* _height);
	virtual	void				ResizeToPreferred();
	// Shows the button pressed for a moment, then sends its message.
	virtual	status_t			Invoke(BMessage* message = NULL);

private:
			void				_DrawFrame(BRect& rect);
			void				_DrawLabel(BRect rect);

			bool				fDefault;
};

#endif	// _BUTTON_H
