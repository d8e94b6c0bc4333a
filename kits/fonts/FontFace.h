/*
 * FontFace: one font file (a path and a face index inside it) opened with
 * FreeType, shared by every BFont that uses it and by the drawing code.
 *
 * Threads: any. A FreeType face is not thread-safe, so every use of
 * Face() happens while the face is locked, with a FontFace::Locker: the
 * measuring here, and in the drawing code every cairo call that may load
 * glyphs from it (creating a scaled font, glyph extents, showing glyphs).
 * The metrics read when the face was opened are constant and need no
 * lock.
 *
 * Owns: its FT_Face. Faces are created by the FontManager, which keeps
 * them for the life of the process, so a FontFace pointer never dangles.
 *
 * How glyphs are measured and drawn, the same everywhere: unhinted, at
 * 1 point = 1 pixel. Advances are the outline advances in font units
 * scaled by size / units-per-em, without rounding (B_BITMAP_SPACING rounds
 * per character, see FontManager). The drawing code hands cairo the same
 * FT_Face with kFontLoadFlags and font options of CAIRO_HINT_STYLE_NONE and
 * CAIRO_HINT_METRICS_OFF (antialiasing gray unless the font asks
 * otherwise), and places each glyph where FontManager::LayoutText says.
 */
#ifndef _KITS_FONT_FACE_H
#define _KITS_FONT_FACE_H

#include <SupportDefs.h>

#include <mutex>
#include <string>

#include <ft2build.h>
#include FT_FREETYPE_H

namespace BPrivate {

// The FreeType load flags for every glyph that is measured or drawn.
static const FT_Int32 kFontLoadFlags = FT_LOAD_NO_HINTING;

class FontFace {
public:
	// Opens the face. The caller holds the lock that serialises
	// FT_New_Face and FT_Done_Face on the library (the FontManager's), for
	// the constructor and the destructor alike.
	// Scalable faces are accepted, and faces of colour bitmaps (emoji,
	// which cairo scales to any size): InitCheck() is B_BAD_DATA for a
	// file FreeType cannot read, B_NOT_SUPPORTED for any other
	// bitmap-only face.
								FontFace(FT_Library library, const char* path,
									int32 index);
								~FontFace();

								FontFace(const FontFace&) = delete;
			FontFace&			operator=(const FontFace&) = delete;

			status_t			InitCheck() const { return fStatus; }

			const std::string&	Path() const { return fPath; }
			int32				Index() const { return fIndex; }

	// Vertical metrics in ems (multiply by the size for pixels), from the
	// face's ascender, descender and line height; never negative.
			float				AscentInEms() const { return fAscent; }
			float				DescentInEms() const { return fDescent; }
			float				LeadingInEms() const { return fLeading; }

	// Whether the face has colour glyphs (emoji); cairo draws those in
	// their own colours.
			bool				HasColour() const { return fColour; }

	// Locking: every call below needs the lock.
			void				Lock() { fLock.lock(); }
			void				Unlock() { fLock.unlock(); }

	// The FreeType face, for the drawing code (with the lock held). Its
	// character size and transform may be changed by whoever holds the
	// lock; nothing here depends on them.
			FT_Face				Face() const { return fFace; }

	// The glyph index of a Unicode code point; 0 when the face lacks it.
			uint32				GlyphFor(uint32 codePoint) const;
	// The glyph's unhinted advance in ems; 0 when it cannot be read.
			float				AdvanceInEms(uint32 glyph) const;

	class Locker {
	public:
								Locker(FontFace* face) : fFace(face)
									{ fFace->Lock(); }
								~Locker() { fFace->Unlock(); }

								Locker(const Locker&) = delete;
			Locker&				operator=(const Locker&) = delete;

	private:
			FontFace*			fFace;
	};

private:
	// From the font's ascender, descender and line height in font units.
			void				_SetVerticalMetrics(float ascender,
									float descender, float height);

			std::mutex			fLock;
			FT_Library			fLibrary;
			FT_Face				fFace;
			status_t			fStatus;
			std::string			fPath;
			int32				fIndex;
	// Font units per em, as a float to scale advances.
			float				fUnitsPerEm;
			float				fAscent;
			float				fDescent;
			float				fLeading;
			bool				fColour;
};

}	// namespace BPrivate

#endif	// _KITS_FONT_FACE_H
