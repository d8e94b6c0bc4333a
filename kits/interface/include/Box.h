/*
 * BBox: a frame that groups other views, with an optional label set into
 * its top edge. A box one pixel high (or wide) draws as a separating
 * line.
 *
 * Threads: the window's, as any view.
 *
 * Owns: a copy of its label text, or its label view (a child).
 */
#ifndef _BOX_H
#define _BOX_H

#include <View.h>

class BBox : public BView {
public:
								BBox(BRect frame, const char* name = NULL,
									uint32 resizingMode
										= B_FOLLOW_LEFT | B_FOLLOW_TOP,
									uint32 flags = B_WILL_DRAW
										| B_FRAME_EVENTS | B_NAVIGABLE_JUMP,
									border_style border = B_FANCY_BORDER);
	virtual						~BBox();

	// Redraws.
	virtual	void				SetBorder(border_style border);
			border_style		Border() const;

	// A text label (NULL for none) drawn in the bold font, or a view
	// that takes the label's place (it becomes a child of the box); one
	// replaces the other.
			void				SetLabel(const char* label);
			status_t			SetLabel(BView* viewLabel);
	// NULL without a text label.
			const char*			Label() const;
			BView*				LabelView() const;

	virtual	void				Draw(BRect updateRect);
	virtual	void				AttachedToWindow();
	virtual	void				FrameResized(float width, float height);
	// Room for the label and the border around nothing.
	virtual	void				GetPreferredSize(float* _width,
									float* _height);

private:
	// The border's top edge, which runs through the label's middle.
			float				_TopBorder() const;
			void				_DrawFrame(BRect frame);
			void				_DrawLabel();

			char*				fLabel;
			BView*				fLabelView;
			border_style		fStyle;
};

#endif	// _BOX_H
