/*
 * BControl: a view the user operates to make something happen: it has a
 * label, a value and an enabled state, and it is an invoker, so that
 * operating it sends its message to its target. A control that has no
 * target when it is attached takes its window as the target.
 *
 * Threads: the window's, as any view.
 *
 * Owns: its label and, as an invoker, its message.
 */
#ifndef _CONTROL_H
#define _CONTROL_H

#include <Invoker.h>
#include <View.h>

enum {
	B_CONTROL_OFF	= 0,
	B_CONTROL_ON	= 1
};

class BControl : public BView, public BInvoker {
public:
	// Takes ownership of the message (which may be NULL).
								BControl(BRect frame, const char* name,
									const char* label, BMessage* message,
									uint32 resizingMode, uint32 flags);
	virtual						~BControl();

	// Hook functions
	// Takes its parent's view colour, and its window as the target when
	// it has none.
	virtual	void				AttachedToWindow();
	virtual	void				DetachedFromWindow();
	virtual	void				WindowActivated(bool active);
	virtual	void				MessageReceived(BMessage* message);
	virtual	void				MakeFocus(bool focus = true);
	// Space and Enter toggle the value and invoke (when enabled); other
	// keys go to BView::KeyDown (Tab navigation).
	virtual	void				KeyDown(const char* bytes, int32 numBytes);
	virtual	void				MouseDown(BPoint where);
	virtual	void				MouseUp(BPoint where);
	virtual	void				MouseMoved(BPoint where, uint32 transit,
									const BMessage* dragMessage);

	// Label, value and state
	// NULL is taken as no label; redraws.
	virtual	void				SetLabel(const char* label);
	// NULL when there is none.
			const char*			Label() const;
	// Redraws when the value changes.
	virtual	void				SetValue(int32 value);
			int32				Value() const;
	// A disabled control draws greyed out and sends nothing.
	virtual	void				SetEnabled(bool enabled);
			bool				IsEnabled() const;

	virtual	void				GetPreferredSize(float* _width,
									float* _height);
	virtual	void				ResizeToPreferred();

	// Sends as BInvoker does, to the window when no target was set; a
	// disabled control sends nothing (B_ERROR).
	virtual	status_t			Invoke(BMessage* message = NULL);

protected:
	// True while MakeFocus() is moving the focus to or from the control.
			bool				IsFocusChanging() const;
	// Whether the control follows a press of the mouse button.
			bool				IsTracking() const;
			void				SetTracking(bool tracking);
	// Changes the value without redrawing.
			void				SetValueNoUpdate(int32 value);

private:
			char*				fLabel;
			int32				fValue;
			bool				fEnabled;
			bool				fFocusChanging;
			bool				fTracking;
	// Whether the view was navigable before it was disabled.
			bool				fNavigable;
};

#endif	// _CONTROL_H
