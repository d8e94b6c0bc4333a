/*
 * The scale between units and device pixels, without a window:
 * - edges round to the nearest device pixel, so that one-unit bands at
 *   1.5 are 2 and 1 pixels wide in turn and adjacent bands meet; window
 *   sizes; device areas that hold every pixel the edge rule gives;
 *   units that cover a screen window's pixels and units within a
 *   screen's; factors out of range and not numbers;
 * - the desktop's scale: KITS_SCALE before GDK_SCALE before
 *   QT_SCALE_FACTOR before Xft.dpi, malformed values passed over,
 *   Xft.dpi read from the X resources' text and rounded to a quarter.
 */
#include "DisplayScale.h"

#include <gtest/gtest.h>

#include <math.h>

using BPrivate::DisplayScale;


TEST(DisplayScaleTest, EdgesAndAreasFollowOneRule)
{
	struct {
		float factor;
		float expected;
	} factors[] = {
		{ 1, 1 }, { 1.5f, 1.5f }, { 2, 2 }, { 1.25f, 1.25f }, { 0.5f, 1 },
		{ 9, 4 }, { NAN, 1 }, { INFINITY, 1 }, { -2, 1 }
	};
	for (const auto& entry : factors) {
		SCOPED_TRACE(entry.factor);
		DisplayScale scale(entry.factor);
		EXPECT_EQ(scale.Factor(), entry.expected);

		for (int32 unit = -20; unit < 40; unit++) {
			// Each unit band is at least one pixel, at most one more
			// than the factor, and the next band starts where it ends.
			int32 width = scale.Edge(unit + 1) - scale.Edge(unit);
			EXPECT_GE(width, (int32)floorf(scale.Factor()));
			EXPECT_LE(width, (int32)ceilf(scale.Factor()));

			// The device area holds every pixel the edges put inside.
			BRect area = scale.DeviceArea(BRect(unit, unit, unit + 3,
				unit + 1));
			EXPECT_LE(area.left, scale.Edge(unit));
			EXPECT_GE(area.right, scale.Edge(unit + 4) - 1);
			EXPECT_GE(area.bottom, scale.Edge(unit + 2) - 1);
			EXPECT_LE(area.right - area.left + 1,
				ceilf(4 * scale.Factor()) + 1);
		}

		for (int32 pixels = 1; pixels < 300; pixels += 7) {
			// A screen window's pixels are covered, by less than a unit
			// more.
			float units = scale.UnitsCovering(pixels);
			EXPECT_EQ(units, floorf(units));
			EXPECT_GE(scale.Pixels(units + 1), pixels);
			EXPECT_LT((units + 1) * scale.Factor(),
				pixels + scale.Factor() + 0.01f);
			// A window that asked for a size gets it back.
			EXPECT_EQ(scale.UnitsCovering(scale.Pixels(pixels)),
				pixels - 1);
		}
	}

	DisplayScale oneAndHalf(1.5f);
	const int32 edges[] = { 0, 2, 3, 5, 6, 8, 9 };
	for (int32 unit = 0; unit < 7; unit++)
		EXPECT_EQ(oneAndHalf.Edge(unit), edges[unit]) << unit;
	EXPECT_EQ(oneAndHalf.Pixels(441), 662);
	EXPECT_EQ(DisplayScale(2).Pixels(0), 1);
	EXPECT_EQ(DisplayScale(2).Pixels(40000), 32767);
	EXPECT_EQ(oneAndHalf.ToUnits(BPoint(15, 3)), BPoint(10, 2));
	EXPECT_EQ(DisplayScale(2).UnitsWithin(BRect(0, 0, 3839, 2159)),
		BRect(0, 0, 1919, 1079));
	EXPECT_EQ(oneAndHalf.UnitsWithin(BRect(0, 0, 2559, 1439)),
		BRect(0, 0, 1705, 959));
	EXPECT_EQ(oneAndHalf.UnitsWithin(BRect(2560, 0, 4479, 1079)),
		BRect(1707, 0, 2985, 719));
}


TEST(DisplayScaleTest, DesktopScaleHasAnOrderOfPrecedence)
{
	struct {
		const char* name;
		const char* kits;
		const char* gdk;
		const char* qt;
		const char* resources;
		float expected;
	} cases[] = {
		{ "nothing set", NULL, NULL, NULL, NULL, 1 },
		{ "Xft.dpi alone", NULL, NULL, NULL, "Xft.dpi:\t192\n", 2 },
		{ "Xft.dpi 144", NULL, NULL, NULL, "Xft.dpi: 144", 1.5f },
		{ "Xft.dpi 100 is 1", NULL, NULL, NULL, "Xft.dpi: 100\n", 1 },
		{ "Xft.dpi 120", NULL, NULL, NULL, "Xft.dpi:120\n", 1.25f },
		{ "Xft.dpi 200", NULL, NULL, NULL, "Xft.dpi: 200\n", 2 },
		{ "among others", NULL, NULL, NULL,
			"Xcursor.size:\t48\nXft.antialias:\t1\nXft.dpi:\t192\n"
			"Xft.hinting:\t1\n", 2 },
		{ "the last entry", NULL, NULL, NULL,
			"Xft.dpi: 96\nXft.dpi: 192\n", 2 },
		{ "no Xft.dpi", NULL, NULL, NULL, "Xft.hinting: 1\n*dpi: 192\n", 1 },
		{ "malformed Xft.dpi", NULL, NULL, NULL, "Xft.dpi: lots\n", 1 },
		{ "GDK_SCALE over Xft.dpi", NULL, "2", NULL, "Xft.dpi: 144\n", 2 },
		{ "QT_SCALE_FACTOR over Xft.dpi", NULL, NULL, "1.5",
			"Xft.dpi: 192\n", 1.5f },
		{ "GDK_SCALE over QT_SCALE_FACTOR", NULL, "3", "1.5", NULL, 3 },
		{ "KITS_SCALE over all", "1.75", "2", "3", "Xft.dpi: 192\n",
			1.75f },
		{ "KITS_SCALE 1 forces 1", "1", "2", NULL, "Xft.dpi: 192\n", 1 },
		{ "empty KITS_SCALE passed over", "", "2", NULL, NULL, 2 },
		{ "malformed KITS_SCALE", "2x", NULL, NULL, "Xft.dpi: 192\n", 2 },
		{ "zero GDK_SCALE", NULL, "0", NULL, "Xft.dpi: 144\n", 1.5f },
		{ "negative QT_SCALE_FACTOR", NULL, NULL, "-1", NULL, 1 },
		{ "too large", "12", NULL, NULL, NULL, 4 },
		{ "below one", NULL, NULL, "0.5", NULL, 1 },
		{ "spaces", " 2 ", NULL, NULL, NULL, 2 }
	};
	for (const auto& entry : cases) {
		SCOPED_TRACE(entry.name);
		EXPECT_EQ(DisplayScale::ForDesktop(entry.kits, entry.gdk, entry.qt,
			entry.resources).Factor(), entry.expected);
	}

	float dpi = 0;
	EXPECT_FALSE(DisplayScale::XftDpi(NULL, dpi));
	EXPECT_FALSE(DisplayScale::XftDpi("", dpi));
	EXPECT_FALSE(DisplayScale::XftDpi("Xft.dpi:", dpi));
	EXPECT_TRUE(DisplayScale::XftDpi("Xft.dpi:\t110.5", dpi));
	EXPECT_EQ(dpi, 110.5f);
}
