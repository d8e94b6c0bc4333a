/*
 * Private to the kits: what the drawing code needs from a BFont beyond the
 * API. A view draws a string by laying it out with LayoutText() and
 * handing each glyph's face, index and position to cairo (see FontFace.h
 * for how cairo must be set up), so that it draws exactly what
 * StringWidth() measured. cairo's font matrix is the font's Size() in
 * pixels, sheared by Shear() (90 degrees is upright) and rotated by
 * Rotation(), counter-clockwise.
 */
#ifndef _KITS_FONT_PRIVATE_H
#define _KITS_FONT_PRIVATE_H

#include <Font.h>

#include <vector>

#include "FontManager.h"

class BFont::Private {
public:
								Private(const BFont& font)
									: fFont(font) {}

	// The font as the FontManager measures it, with the system fonts'
	// placeholders resolved.
			BPrivate::FontSpec	Spec() const
								{
									BPrivate::FontSpec spec;
									spec.familyID = fFont.fFamilyID;
									spec.styleID = fFont.fStyleID;
									BPrivate::FontManager::Default()
										.ResolveIDs(spec.familyID,
											spec.styleID);
									spec.size = fFont.fSize;
									spec.spacing = fFont.fSpacing;
									return spec;
								}

	// The face of the font's own style; NULL when its file cannot be
	// used. Characters it lacks come from other faces: see LayoutText().
			BPrivate::FontFace*	Face() const
								{
									BPrivate::FontSpec spec = Spec();
									return BPrivate::FontManager::Default()
										.FaceFor(spec.familyID, spec.styleID);
								}

	// Where each character of a UTF-8 string goes, with which face and
	// glyph; length is in bytes.
			void				LayoutText(const char* text, int32 length,
									std::vector<BPrivate::GlyphPlacement>&
										_glyphs) const
								{
									BPrivate::FontManager::Default()
										.LayoutText(Spec(), text, length,
											_glyphs);
								}

	// The same in the order of the text, for a caller that orders a
	// whole line itself (see FontManager::LayoutLogical()).
			void				LayoutLogical(const char* text, int32 length,
									std::vector<BPrivate::GlyphPlacement>&
										_glyphs) const
								{
									BPrivate::FontManager::Default()
										.LayoutLogical(Spec(), text, length,
											_glyphs);
								}

	// The system fonts as constant expressions, for be_plain_font and its
	// siblings.
	static constexpr BFont		SystemFont(
									BPrivate::FontManager::SystemFontRole role,
									uint16 face)
								{
									return BFont(BPrivate::FontManager
										::kSystemFontFamilyID, role, face);
								}

private:
			const BFont&		fFont;
};

#endif	// _KITS_FONT_PRIVATE_H
