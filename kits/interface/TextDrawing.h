/*
 * Private to the kits: drawing a string with cairo exactly as BFont
 * measures it. The FontManager lays the string out; each glyph is drawn
 * from its own face (the font's, or a fallback's) at the position the
 * layout gave it.
 *
 * Threads: any; the faces are locked while cairo renders from them.
 */
#ifndef _KITS_TEXT_DRAWING_H
#define _KITS_TEXT_DRAWING_H

#include <Font.h>
#include <Point.h>

#include <cairo.h>

namespace BPrivate {

// Draws length bytes of the UTF-8 string with its baseline starting at
// where (in the context's user space), in the context's current source.
// Returns the width drawn, which is the string's width in the font.
float draw_string(cairo_t* context, const BFont& font, const char* string,
	int32 length, BPoint where);

struct GlyphPlacement;

// Draws glyphs laid out already (by BFont::Private's LayoutText() or
// LayoutLogical() in the same font), their x from where.
void draw_glyphs(cairo_t* context, const BFont& font,
	const GlyphPlacement* glyphs, int32 count, BPoint where);

}	// namespace BPrivate

#endif	// _KITS_TEXT_DRAWING_H
