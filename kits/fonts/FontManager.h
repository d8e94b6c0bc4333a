/*
 * FontManager: the process's fonts. It reads the installed families from
 * fontconfig, opens their files with FreeType on first use, finds fallback
 * fonts for characters a font lacks, and lays out and measures text. BFont
 * is a thin value over it; the drawing code uses LayoutText() to learn
 * which glyphs a string takes, from which faces and where, so that
 * what is drawn is exactly what was measured.
 *
 * Threads: any. One lock guards fontconfig, the FreeType library, the
 * family table and the caches; each FontFace has its own lock for its
 * FT_Face. The order is manager first, then a face: never call a
 * FontManager method while holding a face lock.
 *
 * Owns: the fontconfig configuration, the FreeType library, the family
 * table and every FontFace. Created on first use and never destroyed, so
 * that fonts keep working while static objects are being destroyed at
 * exit; faces are never closed, so a FontFace pointer stays valid.
 *
 * fontconfig's configuration is read on first use: FONTCONFIG_FILE must be
 * set before any font is used (tests pin their fonts that way).
 *
 * Sizes are in points, 1 point = 1 pixel. See FontFace.h for the load
 * flags and cairo options that drawing must use.
 */
#ifndef _KITS_FONT_MANAGER_H
#define _KITS_FONT_MANAGER_H

#include <Font.h>

#include <mutex>
#include <map>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

// fontconfig's types by name only, so that the kits that measure and
// draw text do not build against fontconfig.
typedef struct _FcConfig FcConfig;
typedef struct _FcFontSet FcFontSet;

#include "FontFace.h"
#include "FontFamilyTable.h"

namespace BPrivate {

// A font as the manager measures it: what BFont::Private::Spec() gives.
struct FontSpec {
	uint16				familyID;
	uint16				styleID;
	float				size;
	uint8				spacing;
};

// Where one glyph of a laid-out string goes.
struct GlyphPlacement {
	// The face to draw it with: the font's own, a fallback for a
	// character it lacks, or the plain font's when the font's file cannot
	// be used. NULL only when not even that one can be opened; then
	// nothing is drawn.
	FontFace*			face;
	// The glyph index in that face; 0 is the face's missing-glyph box.
	uint32				glyph;
	// The pen position on the baseline, in pixels from the start of the
	// string, and the advance the glyph takes.
	float				x;
	float				width;
	// Where the glyph is drawn from the pen, in pixels (y downwards): a
	// mark placed over its letter, for one.
	float				xOffset;
	float				yOffset;
	// The bytes of the string this glyph came from: a character, or the
	// whole cluster when several characters are shaped together.
	int32				offset;
	int32				length;
	// Whether the glyph belongs to a right-to-left run: its text starts
	// at its right edge.
	bool				rightToLeft;
};

class FontManager {
public:
	// The IDs of the system font roles, as BFont keeps them before they
	// are resolved: family kSystemFontFamilyID, style the role.
	static const uint16	kSystemFontFamilyID = 0xFFFF;
	enum SystemFontRole {
		kPlainFont = 0,
		kBoldFont = 1,
		kFixedFont = 2
	};
	// What a system font resolves to when no font is installed at all:
	// it measures zero and has empty names.
	static const uint16	kNoFontFamilyID = 0xFFFE;

	// The one manager of the process, created on first call.
	static	FontManager&		Default();

	// B_OK, or why fontconfig or FreeType could not start; the manager
	// then lists no font and measures everything as zero.
			status_t			InitCheck() const { return fStatus; }

	// Listing (the API's count_font_families() and friends)
			int32				CountFamilies();
			status_t			GetFamily(int32 index, font_family* _name,
									uint32* _flags);
			int32				CountStyles(const char* family);
			status_t			GetStyle(const char* family, int32 index,
									font_style* _name, uint16* _face,
									uint32* _flags);
	// Reads fontconfig's configuration and fonts again when they changed.
	// Returns true when there was a change (with checkOnly, without
	// reading anything).
			bool				Update(bool checkOnly);

	// Resolving
	// Finds a style by names (a NULL style finds the regular one) and
	// checks that its file can be used: B_NAME_NOT_FOUND, or the error of
	// opening the file.
			status_t			FindStyle(const char* family,
									const char* style, uint16& _familyID,
									uint16& _styleID, uint16& _face);
	// Finds the style of a family with a face, as
	// FontFamilyTable::FindStyleByFace(), and checks its file.
			status_t			FindStyleByFace(uint16 familyID, uint16 face,
									uint16& _styleID, uint16& _styleFace);
	// Replaces the system font placeholder IDs with the font they stand
	// for; other IDs are left alone.
			void				ResolveIDs(uint16& familyID,
									uint16& styleID);
	// The face flags of a style; B_NAME_NOT_FOUND for unknown IDs.
			status_t			GetFace(uint16 familyID, uint16 styleID,
									uint16& _face);
	// Empty names for unknown IDs. Either pointer may be NULL.
			void				GetNames(uint16 familyID, uint16 styleID,
									font_family* _family,
									font_style* _style);
			bool				IsFixed(uint16 familyID, uint16 styleID);

	// Faces
	// The face of a style; NULL when the IDs are unknown or its file
	// cannot be used.
			FontFace*			FaceFor(uint16 familyID, uint16 styleID);
	// The face that draws a code point for a font whose own face is
	// primary and lacks it: the first font in fontconfig's fallback order
	// for that font that has the character. NULL when none has it.
	// Cached per face and code point. With colour, only fonts that have
	// colour glyphs (emoji) are asked.
			FontFace*			FallbackFor(FontFace* primary,
									uint32 codePoint, bool colour = false);

	// Layout and measurement. Text is UTF-8 as UTF8Decoding.h reads it;
	// length is in bytes. A NULL text or a negative length is empty.
			void				LayoutText(const FontSpec& spec,
									const char* text, int32 length,
									std::vector<GlyphPlacement>& _glyphs);
	// As LayoutText(), but the glyphs stay in the order of the text (a
	// shaped right-to-left run reversed as the shaper gives it), x
	// growing from glyph to glyph, and rightToLeft false: for a caller
	// that orders a whole line itself.
			void				LayoutLogical(const FontSpec& spec,
									const char* text, int32 length,
									std::vector<GlyphPlacement>& _glyphs);
			float				StringWidth(const FontSpec& spec,
									const char* text, int32 length);
	// One escapement (width / size, or the width in ems when the size is
	// 0) per character for numChars characters.
			void				GetEscapements(const FontSpec& spec,
									const char* text, int32 numChars,
									float* _escapements);
			void				GetHeight(const FontSpec& spec,
									font_height& _height);

private:
	// What a face opened for a style needs for finding its fallbacks.
	struct FallbackInfo {
		// fontconfig's description of the face's font, for sorting the
		// fallback candidates.
		std::string			family;
		int					weight;
		int					slant;
		int					width;
		// The candidates in fontconfig's order, sorted on first need;
		// NULL until then.
		FcFontSet*			candidates;
		// Code point to the face that has it (NULL when none does); the
		// colour faces under the code point with kColourKey added.
		std::unordered_map<uint32, FontFace*> faces;
	};

								FontManager();
								~FontManager() = delete;

	// The methods from here to _ForgetFallbacks() run with fLock held.
	// Lists fontconfig's fonts into the table; true when that changed it.
			bool				_ReadFonts();
	// The face of a file, opened on first use; never NULL, but its
	// InitCheck() tells whether it can be used.
			FontFace*			_OpenFace(const char* path, int32 index);
	// The usable face of a style, or NULL.
			FontFace*			_FaceFor(uint16 familyID, uint16 styleID);
	// B_OK when the style's face can be used, else why not.
			status_t			_CheckStyle(uint16 familyID, uint16 styleID);
			void				_Resolve(uint16& familyID, uint16& styleID);
			void				_ResolveRole(SystemFontRole role);
			FcFontSet*			_SortCandidates(const FallbackInfo& info);
			void				_ForgetFallbacks();

	// The face that measures a font: its own, or the plain font's when
	// its file cannot be used. Takes the lock itself.
			FontFace*			_MeasuringFace(const FontSpec& spec);

	static	float				_ValidSize(float size);
	// A character's width in pixels under a spacing mode.
	static	float				_CharWidth(uint8 spacing, float size,
									float ems);

	// Calls visit(const LaidGlyph&) for each glyph of text, as
	// GlyphLayout lays it out. Takes the locks itself: call it without
	// any.
	template<typename Visitor>
			void				_Layout(const FontSpec& spec,
									const char* text, int32 length,
									Visitor visit);

			std::mutex			fLock;
			status_t			fStatus;
			FcConfig*			fConfig;
			FT_Library			fLibrary;
			FontFamilyTable		fTable;
	// Every face opened, by file and index, including those that failed
	// to open (so that they are not tried again).
			std::map<std::pair<std::string, int32>, FontFace*> fFaces;
			std::unordered_map<FontFace*, FallbackInfo> fFallbacks;
	// The system fonts' IDs, resolved on first use.
			bool				fRoleResolved[3];
			uint16				fRoleFamilyID[3];
			uint16				fRoleStyleID[3];
};

}	// namespace BPrivate

#endif	// _KITS_FONT_MANAGER_H
