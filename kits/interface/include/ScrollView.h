/*
 * BScrollView: a frame around a target view, with a vertical bar on the
 * right and a horizontal bar at the bottom as asked for. The frame is
 * built around the target: the scroll view is the target's frame plus
 * the border and the bars, and the target becomes its child. The bars
 * follow the scroll view's size and scroll the target.
 *
 * Threads: the window's, as any view.
 *
 * Owns: the target and the bars, as its children.
 */
#ifndef _SCROLL_VIEW_H
#define _SCROLL_VIEW_H

#include <ScrollBar.h>
#include <View.h>

class BScrollView : public BView {
public:
	// target must not be in a parent yet.
								BScrollView(const char* name, BView* target,
									uint32 resizingMode
										= B_FOLLOW_LEFT | B_FOLLOW_TOP,
									uint32 flags = 0,
									bool horizontal = false,
									bool vertical = false,
									border_style border = B_FANCY_BORDER);
	virtual						~BScrollView();

	// The bar in that direction; NULL when the scroll view has none. It
	// can be moved and resized like any view.
			BScrollBar*			ScrollBar(orientation direction) const;
			BView*				Target() const;

	// The border's thickness follows the style: two pixels etched, one
	// plain, none. The target and the bars keep their size; the scroll
	// view changes its own.
	virtual	void				SetBorder(border_style border);
			border_style		Border() const;
	// Draws the border in the keyboard navigation colour (a focused
	// target shows it this way). Only a fancy border can be highlighted:
	// B_ERROR otherwise.
	virtual	status_t			SetBorderHighlighted(bool highlighted);
			bool				IsBorderHighlighted() const;

	virtual	void				Draw(BRect updateRect);
	virtual	void				AttachedToWindow();
	virtual	void				MessageReceived(BMessage* message);
	virtual	void				FrameResized(float width, float height);
	virtual	void				WindowActivated(bool active);
	// The target's preferred size plus the border and the bars.
	virtual	void				GetPreferredSize(float* _width,
									float* _height);

private:
	static	float				_BorderSize(border_style border);

			BView*				fTarget;
			BScrollBar*			fHorizontalBar;
			BScrollBar*			fVerticalBar;
			border_style		fBorder;
			bool				fHighlighted;
};

#endif	// _SCROLL_VIEW_H
