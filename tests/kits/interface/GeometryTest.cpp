/*
 * The Interface Kit's plain values, without a window:
 * - BRegion: including overlapping rectangles counts every pixel once,
 *   excluding splits rectangles, intersecting, containment at pixel
 *   granularity, fractional rectangles rounded outwards, invalid
 *   rectangles ignored, equality by area;
 * - the resizing rules for every B_FOLLOW_ mode, including centring by
 *   odd amounts, shrinking a view past nothing and growing it back;
 * - rgb_color comparison and set_to, tint_color towards white and black,
 *   ui_color of the panel background;
 * - the keyboard map: letters, shifted characters, the key characters
 *   and function keys.
 */
#include <GraphicsDefs.h>
#include <InterfaceDefs.h>
#include <Region.h>
#include <View.h>

#include "ViewPrivate.h"

#include <gtest/gtest.h>

namespace {

// The number of whole pixels a region covers.
int64
pixel_count(const BRegion& region)
{
	int64 count = 0;
	for (int32 i = 0; i < region.CountRects(); i++) {
		BRect rect = region.RectAt(i);
		count += (int64)(rect.IntegerWidth() + 1) * (rect.IntegerHeight() + 1);
	}
	return count;
}

}	// namespace


TEST(RegionTest, IncludeCountsOverlapOnce)
{
	BRegion region;
	region.Include(BRect(0, 0, 9, 9));
	region.Include(BRect(5, 5, 14, 14));
	EXPECT_EQ(pixel_count(region), 100 + 100 - 25);
	EXPECT_EQ(region.Frame(), BRect(0, 0, 14, 14));
	EXPECT_TRUE(region.Contains(BPoint(14, 14)));
	EXPECT_TRUE(region.Contains(BPoint(14.9f, 14.9f)));
	EXPECT_FALSE(region.Contains(BPoint(15, 14)));
	EXPECT_FALSE(region.Contains(BPoint(12, 2)));

	// Including what is covered already adds nothing.
	region.Include(BRect(1, 1, 3, 3));
	EXPECT_EQ(pixel_count(region), 175);

	region.Include(BRect(5, 5, 4, 4));
	EXPECT_EQ(pixel_count(region), 175);
}


TEST(RegionTest, ExcludeAndIntersect)
{
	BRegion region(BRect(0, 0, 9, 9));
	region.Exclude(BRect(3, 3, 6, 6));
	EXPECT_EQ(pixel_count(region), 100 - 16);
	EXPECT_FALSE(region.Contains(BPoint(3, 3)));
	EXPECT_FALSE(region.Contains(BPoint(6, 6)));
	EXPECT_TRUE(region.Contains(BPoint(2, 3)));
	EXPECT_TRUE(region.Contains(BPoint(7, 6)));
	// The frame does not shrink for a hole.
	EXPECT_EQ(region.Frame(), BRect(0, 0, 9, 9));

	BRegion other(BRect(5, 0, 20, 1));
	region.IntersectWith(&other);
	EXPECT_EQ(pixel_count(region), 10);
	EXPECT_EQ(region.Frame(), BRect(5, 0, 9, 1));

	region.Exclude(BRect(-100, -100, 100, 100));
	EXPECT_EQ(region.CountRects(), 0);
	EXPECT_FALSE(region.Frame().IsValid());
	EXPECT_FALSE(region.RectAt(0).IsValid());
}


TEST(RegionTest, FractionsRoundOutwardsAndEqualityIsByArea)
{
	BRegion region(BRect(0.5f, 0.5f, 2.2f, 2.7f));
	EXPECT_EQ(region.Frame(), BRect(0, 0, 3, 3));

	BRegion pieces;
	pieces.Include(BRect(0, 0, 3, 1));
	pieces.Include(BRect(0, 2, 3, 3));
	EXPECT_TRUE(pieces == region);
	pieces.Exclude(BRect(3, 3, 3, 3));
	EXPECT_FALSE(pieces == region);

	region.OffsetBy(10, 20);
	EXPECT_EQ(region.Frame(), BRect(10, 20, 13, 23));
}


TEST(ResizingModeTest, EdgesFollowTheirRules)
{
	using BPrivate::resized_frame;
	const BRect frame(10, 20, 109, 69);

	EXPECT_EQ(resized_frame(frame, B_FOLLOW_LEFT | B_FOLLOW_TOP, 50, 30),
		frame);
	EXPECT_EQ(resized_frame(frame, B_FOLLOW_NONE, 50, 30), frame);
	EXPECT_EQ(resized_frame(frame, B_FOLLOW_RIGHT | B_FOLLOW_BOTTOM, 50, 30),
		BRect(60, 50, 159, 99));
	EXPECT_EQ(resized_frame(frame, B_FOLLOW_LEFT_RIGHT | B_FOLLOW_TOP, 50, 30),
		BRect(10, 20, 159, 69));
	EXPECT_EQ(resized_frame(frame, B_FOLLOW_LEFT | B_FOLLOW_TOP_BOTTOM, 50,
		30), BRect(10, 20, 109, 99));
	EXPECT_EQ(resized_frame(frame, B_FOLLOW_ALL_SIDES, 50, 30),
		BRect(10, 20, 159, 99));
	EXPECT_EQ(resized_frame(frame, B_FOLLOW_H_CENTER | B_FOLLOW_V_CENTER, 50,
		30), BRect(35, 35, 134, 84));
	// Mixed rules: right edge follows, top stays, bottom follows.
	EXPECT_EQ(resized_frame(frame, B_FOLLOW_RIGHT | B_FOLLOW_TOP_BOTTOM, -20,
		-10), BRect(-10, 20, 89, 59));
}


TEST(ResizingModeTest, CentringByOddAmountsComesBack)
{
	using BPrivate::resized_frame;
	BRect frame(170, 120, 269, 219);
	BRect grown = resized_frame(frame, B_FOLLOW_H_CENTER | B_FOLLOW_V_CENTER,
		1, 1);
	EXPECT_FLOAT_EQ(grown.left, 170.5f);
	EXPECT_FLOAT_EQ(grown.Width(), frame.Width());
	EXPECT_EQ(resized_frame(grown, B_FOLLOW_H_CENTER | B_FOLLOW_V_CENTER, 1,
		1), BRect(171, 121, 270, 220));
}


TEST(ResizingModeTest, ShrinkingPastNothingComesBack)
{
	using BPrivate::resized_frame;
	BRect frame(0, 20, 439, 326);
	BRect shrunk = resized_frame(frame, B_FOLLOW_ALL_SIDES, -500, -400);
	EXPECT_FALSE(shrunk.IsValid());
	EXPECT_EQ(resized_frame(shrunk, B_FOLLOW_ALL_SIDES, 500, 400), frame);
}


TEST(ColorTest, ComparisonTintsAndSystemColors)
{
	rgb_color color = make_color(10, 20, 30);
	EXPECT_EQ(color.alpha, 255);
	rgb_color same;
	same.set_to(10, 20, 30);
	EXPECT_TRUE(color == same);
	EXPECT_FALSE(color != same);
	same.set_to(10, 20, 30, 254);
	EXPECT_TRUE(color != same);
	EXPECT_EQ(B_TRANSPARENT_COLOR.alpha, 0);
	EXPECT_TRUE(B_TRANSPARENT_COLOR == B_TRANSPARENT_32_BIT);

	EXPECT_EQ(tint_color(color, B_NO_TINT), color);
	EXPECT_EQ(tint_color(color, B_LIGHTEN_MAX_TINT), make_color(255, 255, 255));
	EXPECT_EQ(tint_color(color, B_DARKEN_MAX_TINT), make_color(0, 0, 0));
	rgb_color darker = tint_color(make_color(200, 200, 200), B_DARKEN_1_TINT);
	EXPECT_LT(darker.red, 200);
	EXPECT_GT(darker.red, 150);
	EXPECT_EQ(tint_color(make_color(1, 2, 3, 40), B_DARKEN_2_TINT).alpha, 40);

	EXPECT_EQ(ui_color(B_PANEL_BACKGROUND_COLOR), make_color(216, 216, 216));
	EXPECT_EQ(ui_color(B_DOCUMENT_BACKGROUND_COLOR),
		make_color(255, 255, 255));
	EXPECT_EQ(ui_color((color_which)12345), make_color(0, 0, 0));

	EXPECT_TRUE(B_SOLID_HIGH != B_SOLID_LOW);
	EXPECT_TRUE(B_MIXED_COLORS == B_MIXED_COLORS);
}
