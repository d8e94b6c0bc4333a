/*
 * A point in a view's or the screen's coordinate system.
 */
#ifndef _POINT_H
#define _POINT_H

#include <SupportDefs.h>

class BRect;

class BPoint {
public:
			float				x;
			float				y;

	constexpr					BPoint() : x(0.0f), y(0.0f) {}
	constexpr					BPoint(float x, float y) : x(x), y(y) {}

			void				Set(float x, float y);

	// Moves the point to the nearest place inside the rectangle.
			void				ConstrainTo(BRect rect);

			void				PrintToStream() const;

			BPoint				operator-() const;
			BPoint				operator+(const BPoint& other) const;
			BPoint				operator-(const BPoint& other) const;
			BPoint&				operator+=(const BPoint& other);
			BPoint&				operator-=(const BPoint& other);

			bool				operator!=(const BPoint& other) const;
			bool				operator==(const BPoint& other) const;
};

extern const BPoint B_ORIGIN;

#endif	// _POINT_H
