/*
 * DisplayScale: how many device pixels a unit of the API's coordinates
 * takes on a screen, and the one set of rounding rules between the two.
 * Windows, frames, views and fonts are measured in units; the images
 * windows draw into, and what the screen shows of them, are in device
 * pixels. At a scale of 1 the two are the same.
 *
 * An edge on a whole unit falls on the device pixel edge nearest to it
 * (halves round up), so that a one-unit line is a whole number of device
 * pixels wide (1 or 2 of them at 1.5) and never smeared over a
 * half-covered pixel. A window of w units is Edge(w) pixels wide.
 *
 * The desktop's scale (ForDesktop()): KITS_SCALE when it is set and
 * valid, then GDK_SCALE, then QT_SCALE_FACTOR, then Xft.dpi from the X
 * resources (dpi / 96). A scale from Xft.dpi is rounded to a quarter, so
 * that the 100 dpi some desktops set for their fonts does not blur every
 * window by 4%; the others are taken as they are. Every scale is kept
 * between kMinimum and kMaximum.
 *
 * A plain value; any thread.
 */
#ifndef _KITS_DISPLAY_SCALE_H
#define _KITS_DISPLAY_SCALE_H

#include <Point.h>
#include <Rect.h>
#include <SupportDefs.h>

namespace BPrivate {

class DisplayScale {
public:
	static constexpr float		kMinimum = 1.0f;
	static constexpr float		kMaximum = 4.0f;

	// A factor outside the limits is brought inside them; one that is
	// not a number is 1.
	explicit					DisplayScale(float factor = 1.0f);

			float				Factor() const { return fFactor; }
			bool				IsOne() const { return fFactor == 1.0f; }

	// The rule every conversion below rounds by: the nearest whole
	// device pixel, halves up.
	static	double				Round(double device);

	// The device pixel edge of a unit coordinate.
			int32				Edge(float units) const;
	// Device pixels for an extent of whole units (a window's width plus
	// one): at least 1 and at most 32767, as images can be.
			int32				Pixels(float units) const;
	// The device pixels (inclusive edges) that drawing inside the unit
	// rect (inclusive edges) can touch: rounded outwards, so that it
	// holds every pixel the edge rule puts inside the rect.
			BRect				DeviceArea(BRect units) const;
	// A device position in units.
			BPoint				ToUnits(BPoint device) const;
	// The whole units inside a device frame (inclusive edges): a screen's
	// frame in units.
			BRect				UnitsWithin(BRect device) const;
	// The size in units (right minus left) of a window that fills a
	// screen window of that many device pixels: whole units, enough to
	// cover every pixel.
			float				UnitsCovering(int32 pixels) const;

			bool				operator==(const DisplayScale& other) const
									{ return fFactor == other.fFactor; }
			bool				operator!=(const DisplayScale& other) const
									{ return fFactor != other.fFactor; }

	// The desktop's scale
	// A factor as written in an environment variable ("2", "1.5");
	// false for an empty, malformed or non-positive one.
	static	bool				ParseFactor(const char* text,
									float& _factor);
	// The Xft.dpi entry of the X resources (RESOURCE_MANAGER's text);
	// false when there is none or it is no positive number.
	static	bool				XftDpi(const char* resources, float& _dpi);
	// The scale for a dpi: dpi / 96, to the nearest quarter.
	static	DisplayScale		ForDpi(float dpi);
	// The desktop's scale from the variables' texts (NULL for one that
	// is unset) and the X resources (NULL without X), in the order of
	// precedence above.
	static	DisplayScale		ForDesktop(const char* kitsScale,
									const char* gdkScale,
									const char* qtScaleFactor,
									const char* xResources);
	// The same from this process's environment.
	static	DisplayScale		FromEnvironment(const char* xResources);

private:
			float				fFactor;
};

}	// namespace BPrivate

#endif	// _KITS_DISPLAY_SCALE_H
