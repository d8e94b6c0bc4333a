/*
 * BRegion: a list of non-overlapping whole-pixel rectangles. Including a
 * rectangle adds only the parts not covered yet; excluding one splits
 * every rectangle it cuts into at most four. Regions here are small (a
 * view's visible area less its children, a few damaged rectangles), so
 * the lists stay short and no merging is done.
 */
#include <Region.h>

#include <math.h>

namespace {

// The rectangle rounded outwards to whole pixels.
BRect
pixel_aligned(BRect rect)
{
	return BRect(floorf(rect.left), floorf(rect.top), ceilf(rect.right),
		ceilf(rect.bottom));
}


// Adds the parts of rect outside cut to the list.
void
subtract(BRect rect, BRect cut, std::vector<BRect>& _pieces)
{
	if (!rect.Intersects(cut)) {
		_pieces.push_back(rect);
		return;
	}
	if (cut.top > rect.top)
		_pieces.push_back(BRect(rect.left, rect.top, rect.right, cut.top - 1));
	if (cut.bottom < rect.bottom) {
		_pieces.push_back(BRect(rect.left, cut.bottom + 1, rect.right,
			rect.bottom));
	}
	float top = fmaxf(rect.top, cut.top);
	float bottom = fminf(rect.bottom, cut.bottom);
	if (cut.left > rect.left)
		_pieces.push_back(BRect(rect.left, top, cut.left - 1, bottom));
	if (cut.right < rect.right)
		_pieces.push_back(BRect(cut.right + 1, top, rect.right, bottom));
}

}	// namespace


BRegion::BRegion()
{
}


BRegion::BRegion(const BRegion& other)
	:
	fRects(other.fRects)
{
}


BRegion::BRegion(BRect rect)
{
	Set(rect);
}


BRegion::~BRegion()
{
}


BRegion&
BRegion::operator=(const BRegion& other)
{
	fRects = other.fRects;
	return *this;
}


bool
BRegion::operator==(const BRegion& other) const
{
	// Equal areas: neither has a pixel the other lacks.
	BRegion difference(*this);
	difference.Exclude(&other);
	BRegion reverse(other);
	reverse.Exclude(this);
	return difference.CountRects() == 0 && reverse.CountRects() == 0;
}


BRect
BRegion::Frame() const
{
	if (fRects.empty())
		return BRect();
	BRect frame = fRects[0];
	for (const BRect& rect : fRects)
		frame = frame | rect;
	return frame;
}


BRect
BRegion::RectAt(int32 index) const
{
	if (index < 0 || index >= (int32)fRects.size())
		return BRect();
	return fRects[index];
}


int32
BRegion::CountRects() const
{
	return (int32)fRects.size();
}


bool
BRegion::Intersects(BRect rect) const
{
	if (!rect.IsValid())
		return false;
	for (const BRect& own : fRects) {
		if (own.Intersects(rect))
			return true;
	}
	return false;
}


bool
BRegion::Contains(BPoint point) const
{
	// A pixel covers its coordinates up to the next whole one.
	BPoint pixel(floorf(point.x), floorf(point.y));
	for (const BRect& rect : fRects) {
		if (rect.Contains(pixel))
			return true;
	}
	return false;
}


void
BRegion::Set(BRect rect)
{
	fRects.clear();
	Include(rect);
}


void
BRegion::MakeEmpty()
{
	fRects.clear();
}


void
BRegion::Include(BRect rect)
{
	if (!rect.IsValid())
		return;
	std::vector<BRect> pieces{ pixel_aligned(rect) };
	for (const BRect& own : fRects) {
		std::vector<BRect> left;
		for (const BRect& piece : pieces)
			subtract(piece, own, left);
		pieces.swap(left);
		if (pieces.empty())
			return;
	}
	fRects.insert(fRects.end(), pieces.begin(), pieces.end());
}


void
BRegion::Include(const BRegion* region)
{
	if (region == NULL || region == this)
		return;
	for (const BRect& rect : region->fRects)
		Include(rect);
}


void
BRegion::Exclude(BRect rect)
{
	if (!rect.IsValid())
		return;
	BRect cut = pixel_aligned(rect);
	std::vector<BRect> left;
	for (const BRect& own : fRects)
		subtract(own, cut, left);
	fRects.swap(left);
}


void
BRegion::Exclude(const BRegion* region)
{
	if (region == NULL)
		return;
	if (region == this) {
		MakeEmpty();
		return;
	}
	for (const BRect& rect : region->fRects)
		Exclude(rect);
}


void
BRegion::IntersectWith(const BRegion* region)
{
	if (region == NULL || region == this)
		return;
	std::vector<BRect> result;
	for (const BRect& own : fRects) {
		for (const BRect& other : region->fRects) {
			BRect both = own & other;
			if (both.IsValid())
				result.push_back(both);
		}
	}
	fRects.swap(result);
}


void
BRegion::OffsetBy(float dx, float dy)
{
	for (BRect& rect : fRects)
		rect.OffsetBy(dx, dy);
}


void
BRegion::OffsetBy(BPoint delta)
{
	OffsetBy(delta.x, delta.y);
}
