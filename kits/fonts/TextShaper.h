/*
 * TextShaper: turns a run of characters in one face into positioned glyphs
 * with HarfBuzz, so that letters join, marks sit on their base and
 * conjuncts form.
 *
 * HarfBuzz reads the font file itself (its own copy of the tables, not the
 * FreeType face), so shaping needs no face lock and runs on any thread at
 * once. Positions come out in ems, unhinted, in the same units as
 * FontFace::AdvanceInEms(), so a run of plain Latin shapes to exactly the
 * advances the per-character measurement gives.
 *
 * Kerning and the optional ligatures stay off: a text editor measures a
 * line character by character, and the width of a character must not
 * depend on its neighbours unless the script requires it. What the
 * scripts require (Arabic joining and its required ligatures, Indic
 * conjuncts, mark positioning) stays on.
 *
 * Threads: any. Owns one HarfBuzz font per face, kept for the life of the
 * process like the faces themselves.
 */
#ifndef _KITS_TEXT_SHAPER_H
#define _KITS_TEXT_SHAPER_H

#include <SupportDefs.h>

#include <map>
#include <mutex>
#include <vector>

struct hb_font_t;

namespace BPrivate {

class FontFace;

// One glyph of a shaped run, in visual order.
struct ShapedGlyph {
	uint32				glyph;
	// The pen advance, and where the glyph sits from the pen, in ems;
	// yOffset grows downwards, as view coordinates do.
	float				advance;
	float				xOffset;
	float				yOffset;
	// The first byte of the cluster the glyph belongs to, as an offset
	// into the whole text.
	int32				cluster;
};

class TextShaper {
public:
	static	TextShaper&			Default();

	// Shapes text[runStart .. runStart + runLength - 1] in face, with the
	// rest of the text as context for joining. Fails with B_BAD_DATA when
	// HarfBuzz cannot read the face's file; _glyphs is then empty.
			status_t			Shape(FontFace* face, const char* text,
									int32 length, int32 runStart,
									int32 runLength,
									std::vector<ShapedGlyph>& _glyphs);

private:
								TextShaper() = default;
	// Called with fLock held.
			hb_font_t*			_FontFor(FontFace* face, float& _unitsPerEm);

	struct Font {
		hb_font_t*		font;
		float			unitsPerEm;
	};

	// Held while a font is made and while it shapes. HarfBuzz fills its
	// caches (shape plans, tables, the default language) on first use
	// with atomics of its own that the thread checker cannot see; one
	// shaper at a time keeps every such step ordered for it, at no cost
	// to a single window, which shapes on one thread anyway.
			std::mutex			fLock;
			std::map<FontFace*, Font> fFonts;
};

}	// namespace BPrivate

#endif	// _KITS_TEXT_SHAPER_H
