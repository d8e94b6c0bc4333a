/*
 * Colours, patterns and drawing modes: the plain values that drawing
 * calls take.
 */
#ifndef _GRAPHICS_DEFS_H
#define _GRAPHICS_DEFS_H

#include <SupportDefs.h>

// A colour as 8-bit components. An alpha of 255 is opaque.
struct rgb_color {
	uint8				red;
	uint8				green;
	uint8				blue;
	uint8				alpha;

	// Sets every component; alpha is opaque unless given.
	rgb_color&			set_to(uint8 r, uint8 g, uint8 b, uint8 a = 255)
						{
							red = r;
							green = g;
							blue = b;
							alpha = a;
							return *this;
						}

	// Two colours are equal when all four components are.
	bool				operator==(const rgb_color& other) const
						{
							return red == other.red && green == other.green
								&& blue == other.blue && alpha == other.alpha;
						}
	bool				operator!=(const rgb_color& other) const
						{
							return !(*this == other);
						}
};

inline rgb_color
make_color(uint8 red, uint8 green, uint8 blue, uint8 alpha = 255)
{
	rgb_color color = { red, green, blue, alpha };
	return color;
}

// The colour that means "no colour": a view whose view colour it is does
// not have its background erased before it draws.
extern const rgb_color B_TRANSPARENT_COLOR;
extern const rgb_color B_TRANSPARENT_32_BIT;

// An 8 x 8 pattern, one bit a pixel: a set bit draws in the high colour,
// a clear bit in the low colour.
struct pattern {
	uint8				data[8];

	bool				operator==(const pattern& other) const;
	bool				operator!=(const pattern& other) const;
};

extern const pattern B_SOLID_HIGH;
extern const pattern B_MIXED_COLORS;
extern const pattern B_SOLID_LOW;

// How drawing combines with what is there. B_OP_COPY and B_OP_OVER draw
// the colour as it is (its alpha blends over the pixels below);
// B_OP_ALPHA does the same. The other modes are accepted and draw as
// B_OP_OVER.
enum drawing_mode {
	B_OP_COPY,
	B_OP_OVER,
	B_OP_ERASE,
	B_OP_INVERT,
	B_OP_ADD,
	B_OP_SUBTRACT,
	B_OP_BLEND,
	B_OP_MIN,
	B_OP_MAX,
	B_OP_SELECT,
	B_OP_ALPHA
};

// Pixel formats, for what reads pixels back. Windows draw in B_RGBA32:
// one 32-bit word a pixel, blue in the lowest byte.
enum color_space {
	B_NO_COLOR_SPACE	= 0x0000,
	B_RGB32				= 0x0008,
	B_RGBA32			= 0x2008,
	B_RGB24				= 0x0003,
	B_GRAY8				= 0x0002
};

#endif	// _GRAPHICS_DEFS_H
