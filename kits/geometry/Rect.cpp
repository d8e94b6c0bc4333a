/*
 * BPoint and BRect: plain geometry, no drawing.
 */
#include <Rect.h>

#include <math.h>
#include <stdio.h>


const BPoint B_ORIGIN(0, 0);


void
BPoint::Set(float newX, float newY)
{
	x = newX;
	y = newY;
}


void
BPoint::ConstrainTo(BRect rect)
{
	x = fmaxf(fminf(x, rect.right), rect.left);
	y = fmaxf(fminf(y, rect.bottom), rect.top);
}


void
BPoint::PrintToStream() const
{
	printf("BPoint(x:%.0f, y:%.0f)\n", x, y);
}


BPoint
BPoint::operator-() const
{
	return BPoint(-x, -y);
}


BPoint
BPoint::operator+(const BPoint& other) const
{
	return BPoint(x + other.x, y + other.y);
}


BPoint
BPoint::operator-(const BPoint& other) const
{
	return BPoint(x - other.x, y - other.y);
}


BPoint&
BPoint::operator+=(const BPoint& other)
{
	x += other.x;
	y += other.y;
	return *this;
}


BPoint&
BPoint::operator-=(const BPoint& other)
{
	x -= other.x;
	y -= other.y;
	return *this;
}


bool
BPoint::operator!=(const BPoint& other) const
{
	return x != other.x || y != other.y;
}


bool
BPoint::operator==(const BPoint& other) const
{
	return x == other.x && y == other.y;
}


//	#pragma mark - BRect


void
BRect::Set(float newLeft, float newTop, float newRight, float newBottom)
{
	left = newLeft;
	top = newTop;
	right = newRight;
	bottom = newBottom;
}


BPoint BRect::LeftTop() const { return BPoint(left, top); }
BPoint BRect::RightBottom() const { return BPoint(right, bottom); }
BPoint BRect::LeftBottom() const { return BPoint(left, bottom); }
BPoint BRect::RightTop() const { return BPoint(right, top); }


void
BRect::SetLeftTop(BPoint point)
{
	left = point.x;
	top = point.y;
}


void
BRect::SetRightBottom(BPoint point)
{
	right = point.x;
	bottom = point.y;
}


void
BRect::SetLeftBottom(BPoint point)
{
	left = point.x;
	bottom = point.y;
}


void
BRect::SetRightTop(BPoint point)
{
	right = point.x;
	top = point.y;
}


void
BRect::InsetBy(float dx, float dy)
{
	left += dx;
	right -= dx;
	top += dy;
	bottom -= dy;
}


void
BRect::InsetBy(BPoint delta)
{
	InsetBy(delta.x, delta.y);
}


void
BRect::OffsetBy(float dx, float dy)
{
	left += dx;
	right += dx;
	top += dy;
	bottom += dy;
}


void
BRect::OffsetBy(BPoint delta)
{
	OffsetBy(delta.x, delta.y);
}


void
BRect::OffsetTo(float x, float y)
{
	right = x + right - left;
	bottom = y + bottom - top;
	left = x;
	top = y;
}


void
BRect::OffsetTo(BPoint point)
{
	OffsetTo(point.x, point.y);
}


void
BRect::ResizeBy(float dx, float dy)
{
	right += dx;
	bottom += dy;
}


void
BRect::ResizeTo(float width, float height)
{
	right = left + width;
	bottom = top + height;
}


BRect
BRect::InsetByCopy(float dx, float dy) const
{
	BRect copy(*this);
	copy.InsetBy(dx, dy);
	return copy;
}


BRect
BRect::OffsetByCopy(float dx, float dy) const
{
	BRect copy(*this);
	copy.OffsetBy(dx, dy);
	return copy;
}


BRect
BRect::OffsetToCopy(float x, float y) const
{
	BRect copy(*this);
	copy.OffsetTo(x, y);
	return copy;
}


bool
BRect::operator==(BRect other) const
{
	return left == other.left && top == other.top && right == other.right
		&& bottom == other.bottom;
}


bool
BRect::operator!=(BRect other) const
{
	return !(*this == other);
}


BRect
BRect::operator&(BRect other) const
{
	return BRect(fmaxf(left, other.left), fmaxf(top, other.top),
		fminf(right, other.right), fminf(bottom, other.bottom));
}


BRect
BRect::operator|(BRect other) const
{
	return BRect(fminf(left, other.left), fminf(top, other.top),
		fmaxf(right, other.right), fmaxf(bottom, other.bottom));
}


bool
BRect::IsValid() const
{
	return left <= right && top <= bottom;
}


float BRect::Width() const { return right - left; }
float BRect::Height() const { return bottom - top; }
int32 BRect::IntegerWidth() const { return (int32)ceilf(right - left); }
int32 BRect::IntegerHeight() const { return (int32)ceilf(bottom - top); }


bool
BRect::Intersects(BRect rect) const
{
	if (!IsValid() || !rect.IsValid())
		return false;
	return !(rect.left > right || rect.right < left || rect.top > bottom
		|| rect.bottom < top);
}


bool
BRect::Contains(BPoint point) const
{
	return point.x >= left && point.x <= right && point.y >= top
		&& point.y <= bottom;
}


bool
BRect::Contains(BRect rect) const
{
	return rect.left >= left && rect.right <= right && rect.top >= top
		&& rect.bottom <= bottom;
}


void
BRect::PrintToStream() const
{
	printf("BRect(l:%.1f, t:%.1f, r:%.1f, b:%.1f)\n", left, top, right,
		bottom);
}
