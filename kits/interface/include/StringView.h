/*
 * BStringView: one line of text that the user reads but cannot edit,
 * drawn in the view's font, aligned left, right or centred.
 *
 * Threads: the window's, as any view.
 *
 * Owns: a copy of its text.
 */
#ifndef _STRING_VIEW_H
#define _STRING_VIEW_H

#include <View.h>

class BStringView : public BView {
public:
	// The view colour starts as the panel background's.
								BStringView(BRect frame, const char* name,
									const char* text,
									uint32 resizingMode
										= B_FOLLOW_LEFT | B_FOLLOW_TOP,
									uint32 flags = B_WILL_DRAW);
	virtual						~BStringView();

	// NULL is taken as an empty text. Redraws.
			void				SetText(const char* text);
	// Never NULL.
			const char*			Text() const;
			void				SetAlignment(alignment flag);
			alignment			Alignment() const;

	// The text's line (its preferred height) is centred vertically in
	// the bounds, whether they are taller or shorter than it.
	virtual	void				Draw(BRect updateRect);
	virtual	void				AttachedToWindow();
	// The text's width and the font's height.
	virtual	void				GetPreferredSize(float* _width,
									float* _height);
	virtual	void				ResizeToPreferred();

private:
			char*				fText;
			alignment			fAlign;
};

#endif	// _STRING_VIEW_H
