/*
 * A rectangle with the platform's inclusive edges: a rectangle from 0 to
 * 99 covers 100 pixels, and Width() is right minus left (99). A rectangle
 * whose right is less than its left, or bottom less than top, is invalid.
 */
#ifndef _RECT_H
#define _RECT_H

#include <Point.h>

class BRect {
public:
			float				left;
			float				top;
			float				right;
			float				bottom;

	// The default rectangle is invalid: (0, 0, -1, -1).
	constexpr					BRect()
									: left(0), top(0), right(-1), bottom(-1) {}
	constexpr					BRect(float left, float top, float right,
									float bottom)
									: left(left), top(top), right(right),
									  bottom(bottom) {}
	constexpr					BRect(BPoint leftTop, BPoint rightBottom)
									: left(leftTop.x), top(leftTop.y),
									  right(rightBottom.x),
									  bottom(rightBottom.y) {}

			void				Set(float left, float top, float right,
									float bottom);

			BPoint				LeftTop() const;
			BPoint				RightBottom() const;
			BPoint				LeftBottom() const;
			BPoint				RightTop() const;

			void				SetLeftTop(BPoint point);
			void				SetRightBottom(BPoint point);
			void				SetLeftBottom(BPoint point);
			void				SetRightTop(BPoint point);

	// Transformations
			void				InsetBy(float dx, float dy);
			void				InsetBy(BPoint delta);
			void				OffsetBy(float dx, float dy);
			void				OffsetBy(BPoint delta);
			void				OffsetTo(float x, float y);
			void				OffsetTo(BPoint point);
			void				ResizeBy(float dx, float dy);
			void				ResizeTo(float width, float height);

			BRect				InsetByCopy(float dx, float dy) const;
			BRect				OffsetByCopy(float dx, float dy) const;
			BRect				OffsetToCopy(float x, float y) const;

	// Comparison and combination
			bool				operator==(BRect other) const;
			bool				operator!=(BRect other) const;
	// The intersection; invalid when the two do not meet.
			BRect				operator&(BRect other) const;
	// The smallest rectangle holding both.
			BRect				operator|(BRect other) const;

			bool				IsValid() const;
			float				Width() const;
			int32				IntegerWidth() const;
			float				Height() const;
			int32				IntegerHeight() const;

			bool				Intersects(BRect rect) const;
			bool				Contains(BPoint point) const;
			bool				Contains(BRect rect) const;

			void				PrintToStream() const;
};

#endif	// _RECT_H
