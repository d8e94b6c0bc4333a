/*
 * DisplayScale. See DisplayScale.h.
 */
#include "DisplayScale.h"

#include <algorithm>
#include <ctype.h>
#include <math.h>
#include <stdlib.h>
#include <string.h>

namespace BPrivate {

namespace {

// The dpi at which a desktop draws 1:1.
const float kBaseDpi = 96.0f;
// The largest image side cairo and the screens take.
const int32 kMaximumPixels = 32767;

}	// namespace


DisplayScale::DisplayScale(float factor)
	:
	fFactor(isfinite(factor)
		? std::min(std::max(factor, kMinimum), kMaximum) : 1.0f)
{
}


double
DisplayScale::Round(double device)
{
	return floor(device + 0.5);
}


int32
DisplayScale::Edge(float units) const
{
	return (int32)Round((double)units * fFactor);
}


int32
DisplayScale::Pixels(float units) const
{
	if (!(units >= 1))
		return 1;
	return (int32)std::min<double>(Round((double)units * fFactor),
		kMaximumPixels);
}


BRect
DisplayScale::DeviceArea(BRect units) const
{
	return BRect(floor((double)units.left * fFactor),
		floor((double)units.top * fFactor),
		ceil(((double)units.right + 1) * fFactor) - 1,
		ceil(((double)units.bottom + 1) * fFactor) - 1);
}


BPoint
DisplayScale::ToUnits(BPoint device) const
{
	return BPoint(device.x / fFactor, device.y / fFactor);
}


BRect
DisplayScale::UnitsWithin(BRect device) const
{
	return BRect(ceil(device.left / fFactor - 1e-4),
		ceil(device.top / fFactor - 1e-4),
		floor((device.right + 1) / fFactor + 1e-4) - 1,
		floor((device.bottom + 1) / fFactor + 1e-4) - 1);
}


float
DisplayScale::UnitsCovering(int32 pixels) const
{
	if (pixels <= 1)
		return 0;
	// The fewest units whose Pixels() are as many, so that a size the
	// window asked for comes back as itself; a hair below the quotient
	// against float rounding.
	return (float)ceil((pixels - 0.5) / fFactor - 1e-4) - 1;
}


// #pragma mark - The desktop's scale


bool
DisplayScale::ParseFactor(const char* text, float& _factor)
{
	if (text == NULL)
		return false;
	while (isspace((unsigned char)*text))
		text++;
	if (*text == '\0')
		return false;
	char* end;
	double value = strtod(text, &end);
	while (isspace((unsigned char)*end))
		end++;
	if (*end != '\0' || !isfinite(value) || value <= 0)
		return false;
	_factor = (float)value;
	return true;
}


bool
DisplayScale::XftDpi(const char* resources, float& _dpi)
{
	if (resources == NULL)
		return false;
	static const char kName[] = "Xft.dpi:";
	const size_t nameLength = strlen(kName);
	// One resource a line; the last entry wins, as in Xlib's database.
	bool found = false;
	for (const char* line = resources; *line != '\0';) {
		const char* lineEnd = strchr(line, '\n');
		size_t length = lineEnd != NULL ? lineEnd - line : strlen(line);
		if (length > nameLength && strncmp(line, kName, nameLength) == 0) {
			char value[64];
			size_t valueLength = std::min(length - nameLength,
				sizeof(value) - 1);
			memcpy(value, line + nameLength, valueLength);
			value[valueLength] = '\0';
			float dpi;
			if (ParseFactor(value, dpi)) {
				_dpi = dpi;
				found = true;
			}
		}
		line += length;
		if (*line == '\n')
			line++;
	}
	return found;
}


DisplayScale
DisplayScale::ForDpi(float dpi)
{
	return DisplayScale((float)(Round(dpi / kBaseDpi * 4) / 4));
}


DisplayScale
DisplayScale::ForDesktop(const char* kitsScale, const char* gdkScale,
	const char* qtScaleFactor, const char* xResources)
{
	float factor;
	if (ParseFactor(kitsScale, factor) || ParseFactor(gdkScale, factor)
		|| ParseFactor(qtScaleFactor, factor)) {
		return DisplayScale(factor);
	}
	float dpi;
	if (XftDpi(xResources, dpi))
		return ForDpi(dpi);
	return DisplayScale();
}


DisplayScale
DisplayScale::FromEnvironment(const char* xResources)
{
	return ForDesktop(getenv("KITS_SCALE"), getenv("GDK_SCALE"),
		getenv("QT_SCALE_FACTOR"), xResources);
}


}	// namespace BPrivate
