/*
 * BTextControl: a label and a one-line text entry beside it. The entry
 * is a BTextView, with its editing, clipboard and undo. The label takes
 * the control's width up to the divider, the entry the rest; the control
 * keeps the height its font needs.
 *
 * Enter sends the invocation message (and, when the window has a
 * default button, presses that too); so does leaving the entry after
 * the user changed the text. Every change of the text, the user's or
 * SetText()'s, sends the modification message.
 *
 * Threads: the window's, as any view.
 *
 * Owns: the entry (a child), its label and both messages.
 */
#ifndef _TEXT_CONTROL_H
#define _TEXT_CONTROL_H

#include <Control.h>

class BTextView;

namespace BPrivate {
class TextControlEntry;
}

class BTextControl : public BControl {
public:
	// The frame's height is replaced by the preferred height. message
	// (which may be NULL) is the invocation message; both it and the
	// initial text may be NULL.
								BTextControl(BRect frame, const char* name,
									const char* label,
									const char* initialText,
									BMessage* message,
									uint32 resizingMode
										= B_FOLLOW_LEFT | B_FOLLOW_TOP,
									uint32 flags
										= B_WILL_DRAW | B_NAVIGABLE);
	virtual						~BTextControl();

	// The text
	// Replaces the text (NULL is taken as empty); sends the modification
	// message when the text changes.
	virtual	void				SetText(const char* text);
			const char*			Text() const;
			BTextView*			TextView() const;

	// Takes ownership; NULL sends nothing on changes.
	virtual	void				SetModificationMessage(BMessage* message);
			BMessage*			ModificationMessage() const;

	// Layout
	// The label's alignment left of the divider, and the text's in the
	// entry.
	virtual	void				SetAlignment(alignment label,
									alignment text);
			void				GetAlignment(alignment* _label,
									alignment* _text) const;
	// Where the entry starts, in the control's coordinates; kept within
	// the control's width.
	virtual	void				SetDivider(float position);
			float				Divider() const;

	// Hook functions
	virtual	void				Draw(BRect updateRect);
	virtual	void				AttachedToWindow();
	virtual	void				MakeFocus(bool focus = true);
	virtual	void				SetEnabled(bool enabled);
	virtual	void				SetLabel(const char* label);
	virtual	void				FrameResized(float width, float height);
	// The current width; the height of the font's line plus the entry's
	// frame.
	virtual	void				GetPreferredSize(float* _width,
									float* _height);
	virtual	void				ResizeToPreferred();

private:
	friend class BPrivate::TextControlEntry;

			void				_LayOutEntry();
			void				_TextChanged();
			void				_EntryFocusChanged(bool focus);

			BPrivate::TextControlEntry* fEntry;
			BMessage*			fModificationMessage;
			float				fDivider;
			alignment			fLabelAlign;
	// The user changed the text since it was last sent with the
	// invocation message.
			bool				fChangedSinceInvoke;
	// SetText() at work: it sends the modification message once itself.
			bool				fSettingText;
};

#endif	// _TEXT_CONTROL_H
