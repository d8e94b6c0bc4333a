/*
 * BRegion: an area of whole pixels made of rectangles, for clipping and
 * for what needs redrawing. Rectangles have the platform's inclusive
 * edges and are rounded outwards to whole pixels when they are added;
 * the rectangles a region holds never overlap.
 *
 * A region is a value, used by one thread at a time.
 */
#ifndef _REGION_H
#define _REGION_H

#include <Rect.h>

#include <vector>

class BRegion {
public:
								BRegion();
								BRegion(const BRegion& other);
	// A region of the one rectangle; empty for an invalid one.
								BRegion(BRect rect);
								~BRegion();

			BRegion&			operator=(const BRegion& other);
			bool				operator==(const BRegion& other) const;

	// Member access
	// The smallest rectangle holding the region; invalid when it is empty.
			BRect				Frame() const;
	// An invalid rectangle outside 0 .. CountRects() - 1.
			BRect				RectAt(int32 index) const;
			int32				CountRects() const;

	// Membership
			bool				Intersects(BRect rect) const;
			bool				Contains(BPoint point) const;

	// Modification
			void				Set(BRect rect);
			void				MakeEmpty();
	// Invalid rectangles change nothing.
			void				Include(BRect rect);
			void				Include(const BRegion* region);
			void				Exclude(BRect rect);
			void				Exclude(const BRegion* region);
			void				IntersectWith(const BRegion* region);
			void				OffsetBy(float dx, float dy);
			void				OffsetBy(BPoint delta);

private:
			std::vector<BRect>	fRects;
};

#endif	// _REGION_H
