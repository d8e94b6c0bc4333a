/*
 * GlyphLayout: which face, glyph and position each piece of a UTF-8
 * string gets, for the FontManager's measuring and the drawing code.
 *
 * The text is cut into grapheme clusters. Plain ASCII takes a fast path,
 * glyph by glyph from the font's own face. Any other cluster goes to the
 * font's face when it has all of the cluster's characters, or else to the
 * fallback face that has its first one; a cluster that shows as emoji
 * goes to a colour face where there is one; runs of clusters in one face are
 * shaped together with TextShaper. Control characters and bytes that are
 * not UTF-8 are laid out on their own, from the font's own face (as the
 * missing glyph, or U+FFFD's glyph), so they never join a shaped run.
 *
 * Threads: any; one object lays out one string on the caller's thread.
 * Takes the face locks itself and never holds one while it asks for a
 * fallback (the FontManager's lock order).
 */
#ifndef _KITS_GLYPH_LAYOUT_H
#define _KITS_GLYPH_LAYOUT_H

#include <SupportDefs.h>

#include <functional>
#include <vector>

#include "TextShaper.h"

namespace BPrivate {

class FontFace;

// One glyph, in visual order within its run.
struct LaidGlyph {
	// NULL only when the font has no usable face at all.
	FontFace*			face;
	uint32				glyph;
	// In ems: the pen advance, and the glyph's offset from the pen
	// (y downwards).
	float				advance;
	float				xOffset;
	float				yOffset;
	// The bytes of the text the glyph stands for: a character, or a whole
	// cluster. A cluster drawn with several glyphs gives its advance to
	// the glyphs, and each glyph names the cluster.
	int32				offset;
	int32				length;
};

class GlyphLayout {
public:
	// The face for a code point the primary face lacks, or, with colour,
	// the colour face that draws it as emoji; NULL when there is none.
	typedef std::function<FontFace*(FontFace* primary, uint32 codePoint,
		bool colour)> FallbackFinder;
	typedef std::function<void(const LaidGlyph&)> Visitor;

								GlyphLayout(FontFace* primary,
									const FallbackFinder& fallback);

	// Calls visit for each glyph of text[0 .. length - 1], in order.
			void				Lay(const char* text, int32 length,
									const Visitor& visit);

private:
	// The end of the stretch of plain ASCII from offset that no mark or
	// joiner can follow into.
			int32				_PlainEnd(const char* text, int32 length,
									int32 offset);
	// Whether text[from .. to - 1], plain ASCII after a run to be shaped,
	// is only spaces and punctuation between that run and more text that
	// is not ASCII: it then joins the run, so that a phrase of another
	// script is shaped, and put in its order, as one.
			bool				_IsGap(const char* text, int32 length,
									int32 from, int32 to);
			void				_LayPlain(const char* text, int32 from,
									int32 to, const Visitor& visit);
	// Lays out the character at offset by itself; returns its length.
			int32				_LaySingle(const char* text, int32 length,
									int32 offset, const Visitor& visit);
	// The face for the cluster text[from .. to - 1]; runFace is that of
	// the run before it, if any.
			FontFace*			_FaceForCluster(const char* text,
									int32 from, int32 to,
									FontFace* runFace);
			void				_LayShaped(FontFace* face, const char* text,
									int32 length, int32 from, int32 to,
									const Visitor& visit);

			FontFace*			fPrimary;
			FallbackFinder		fFallback;
			std::vector<ShapedGlyph> fShaped;
};

}	// namespace BPrivate

#endif	// _KITS_GLYPH_LAYOUT_H
