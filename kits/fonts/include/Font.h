/*
 * BFont: a font as the Interface Kit names it (a family and style, a size
 * in points and a few rendering settings) and the measurements views need
 * to lay text out: string widths, per-character escapements and the
 * vertical metrics of a line.
 *
 * A BFont is a small value: copying it is cheap and it holds no FreeType
 * or fontconfig object. One BFont is used by one thread at a time; any
 * number of fonts may measure on any number of threads at once.
 *
 * Sizes are in points, and one point is one pixel (72 dpi), as the
 * platform draws. Every width is the sum of unhinted advances taken from
 * the font's outlines, so widths scale exactly with the size; the drawing
 * code renders the same unhinted glyphs at the same positions.
 *
 * Strings are UTF-8. A byte that does not begin a well-formed UTF-8
 * sequence (a stray continuation byte, a truncated or overlong sequence,
 * an encoded surrogate, a value past U+10FFFF) counts as one character and
 * is measured as U+FFFD REPLACEMENT CHARACTER; a NUL inside a string whose
 * length is given is a character like any other. A character the font
 * lacks is measured from a fallback font that has it; when no installed
 * font has it, from the font's own missing-glyph box, which is also what
 * gets drawn.
 */
#ifndef _FONT_H
#define _FONT_H

#include <SupportDefs.h>

#define B_FONT_FAMILY_LENGTH	63
#define B_FONT_STYLE_LENGTH		63

typedef char font_family[B_FONT_FAMILY_LENGTH + 1];
typedef char font_style[B_FONT_STYLE_LENGTH + 1];

// Spacing modes
enum {
	// Each character advances by its own fractional width (the default).
	B_CHAR_SPACING		= 0,
	// Laid out as a whole string; here the same as B_CHAR_SPACING.
	B_STRING_SPACING	= 1,
	// Each character's width is rounded to whole pixels at the font's size.
	B_BITMAP_SPACING	= 2,
	// As B_BITMAP_SPACING; meant for monospaced fonts.
	B_FIXED_SPACING		= 3
};

// Character encodings. Strings are always read as UTF-8; the encoding is
// kept for callers that ask for it.
enum {
	B_UNICODE_UTF8		= 0,
	B_ISO_8859_1		= 1,
	B_ISO_8859_2		= 2,
	B_ISO_8859_3		= 3,
	B_ISO_8859_4		= 4,
	B_ISO_8859_5		= 5,
	B_ISO_8859_6		= 6,
	B_ISO_8859_7		= 7,
	B_ISO_8859_8		= 8,
	B_ISO_8859_9		= 9,
	B_ISO_8859_10		= 10,
	B_MACINTOSH_ROMAN	= 11
};

// Font flags (SetFlags)
enum {
	B_DISABLE_ANTIALIASING	= 0x00000001,
	B_FORCE_ANTIALIASING	= 0x00000002
};

// Family and style flags (get_font_family, get_font_style)
enum {
	B_HAS_TUNED_FONT	= 0x0001,
	// Every character of the family (or style) has the same width.
	B_IS_FIXED			= 0x0002
};

// Face flags: what a style looks like. B_REGULAR_FACE is set alone, for a
// style that is none of bold, italic, condensed, light or heavy.
enum {
	B_ITALIC_FACE		= 0x0001,
	B_UNDERSCORE_FACE	= 0x0002,
	B_NEGATIVE_FACE		= 0x0004,
	B_OUTLINED_FACE		= 0x0008,
	B_STRIKEOUT_FACE	= 0x0010,
	B_BOLD_FACE			= 0x0020,
	B_REGULAR_FACE		= 0x0040,
	B_CONDENSED_FACE	= 0x0080,
	B_LIGHT_FACE		= 0x0100,
	B_HEAVY_FACE		= 0x0200
};

// Which settings of a font a caller means (for example when a view takes
// only some of a font's settings).
enum {
	B_FONT_FAMILY_AND_STYLE	= 0x00000001,
	B_FONT_SIZE				= 0x00000002,
	B_FONT_SHEAR			= 0x00000004,
	B_FONT_ROTATION			= 0x00000008,
	B_FONT_SPACING			= 0x00000010,
	B_FONT_ENCODING			= 0x00000020,
	B_FONT_FACE				= 0x00000040,
	B_FONT_FLAGS			= 0x00000080,
	B_FONT_ALL				= 0x000000FF
};

enum font_direction {
	B_FONT_LEFT_TO_RIGHT = 0,
	B_FONT_RIGHT_TO_LEFT = 1
};

// The vertical metrics of a line, in pixels: the ascent above the
// baseline, the descent below it and the leading added between lines.
// None is negative, so a line is at least ascent plus descent high.
struct font_height {
	float	ascent;
	float	descent;
	float	leading;
};

class BFont {
public:
	// A copy of be_plain_font.
								BFont();
								BFont(const BFont& font);
	// A copy of *font; of be_plain_font when font is NULL.
								BFont(const BFont* font);

			BFont&				operator=(const BFont& font);

	// Family and style
	// A NULL style picks the family's regular style (the one closest to
	// normal weight, upright and normal width). An unknown family or style
	// returns B_NAME_NOT_FOUND, a font file that cannot be read B_BAD_DATA;
	// the font is unchanged either way. Sets the face to the style's face.
			status_t			SetFamilyAndStyle(const font_family family,
									const font_style style);
	// The code is one FamilyAndStyle() returned; an unknown code leaves the
	// font unchanged.
			void				SetFamilyAndStyle(uint32 code);
	// Picks the style of the family (the current one when family is NULL)
	// that has the given face, or the regular style when none has it.
			status_t			SetFamilyAndFace(const font_family family,
									uint16 face);
	// Either pointer may be NULL. Names are empty when no font is
	// installed at all.
			void				GetFamilyAndStyle(font_family* family,
									font_style* style) const;
	// The family in the high 16 bits, the style in the low 16 bits; stable
	// for the life of the process.
			uint32				FamilyAndStyle() const;

	// Settings
	// Clamped to 0..10000 points; NaN is ignored.
			void				SetSize(float size);
	// Degrees from the baseline, clamped to 45..135 (90 is upright).
			void				SetShear(float shear);
	// Degrees counter-clockwise, 0..360.
			void				SetRotation(float rotation);
			void				SetSpacing(uint8 spacing);
			void				SetEncoding(uint8 encoding);
	// Switches to the family's style with that face when there is one
	// (bold, italic, ...); the face is kept either way, so that drawing
	// can add what no style provides (underscore, strikeout, ...).
			void				SetFace(uint16 face);
			void				SetFlags(uint32 flags);

			float				Size() const;
			float				Shear() const;
			float				Rotation() const;
			uint8				Spacing() const;
			uint8				Encoding() const;
			uint16				Face() const;
			uint32				Flags() const;

			font_direction		Direction() const;
	// True when every character of the style has the same width.
			bool				IsFixed() const;

	// Measurement
	// Width in pixels along the baseline. A NULL string, or a negative
	// length, measures 0.
			float				StringWidth(const char* string) const;
			float				StringWidth(const char* string,
									int32 length) const;
			void				GetStringWidths(const char* stringArray[],
									const int32 lengthArray[],
									int32 numStrings,
									float widthArray[]) const;
	// One escapement per character, in ems (the character's width divided
	// by the size), so that escapement times size is the width. charArray
	// must hold numChars characters; a string whose last character is a
	// truncated multibyte sequence must be followed by a NUL, as any C
	// string is.
			void				GetEscapements(const char charArray[],
									int32 numChars,
									float escapementArray[]) const;
			void				GetHeight(font_height* height) const;
	// For each of the first numChars characters of the UTF-8 string
	// charArray (followed by a NUL), whether the font or one of the
	// fallback fonts that stand in for it has a glyph for it.
			void				GetHasGlyphs(const char charArray[],
									int32 numChars, bool hasArray[]) const;

			bool				operator==(const BFont& other) const;
			bool				operator!=(const BFont& other) const;

	// Prints the family, style and settings to standard output.
			void				PrintToStream() const;

	class Private;

private:
	friend class Private;

	constexpr					BFont(uint16 familyID, uint16 styleID,
									uint16 face)
									: fFamilyID(familyID),
									  fStyleID(styleID),
									  fSize(12.0f),
									  fShear(90.0f),
									  fRotation(0.0f),
									  fSpacing(B_CHAR_SPACING),
									  fEncoding(B_UNICODE_UTF8),
									  fFace(face),
									  fFlags(0) {}

	// The family and style, with the system fonts' placeholders replaced
	// by what they stand for.
			void				_ResolvedIDs(uint16& _familyID,
									uint16& _styleID) const;

	// The system fonts (be_plain_font, ...) are constant-initialised, so
	// that they can be used from any static initialiser: their IDs name
	// the role ("plain", "bold", "fixed"), resolved on first use.
			uint16				fFamilyID;
			uint16				fStyleID;
			float				fSize;
			float				fShear;
			float				fRotation;
			uint8				fSpacing;
			uint8				fEncoding;
			uint16				fFace;
			uint32				fFlags;
};


// Installed fonts, as fontconfig lists them: scalable fonts only, families
// sorted by name and each listed once. A name longer than 63 bytes is
// truncated on a UTF-8 character boundary (two families whose truncated
// names agree are listed as one).

int32 count_font_families();
// B_BAD_VALUE for an index out of range or a NULL name.
status_t get_font_family(int32 index, font_family* name,
	uint32* flags = NULL);

// 0 for an unknown family.
int32 count_font_styles(const font_family family);
// B_NAME_NOT_FOUND for an unknown family, B_BAD_VALUE for an index out of
// range or a NULL name.
status_t get_font_style(const font_family family, int32 index,
	font_style* name, uint32* flags = NULL);
status_t get_font_style(const font_family family, int32 index,
	font_style* name, uint16* face, uint32* flags = NULL);

// Reads the installed fonts again when fontconfig sees a change. With
// checkOnly, only reports whether there is one. True when the fonts
// changed. IDs of fonts already seen stay valid.
bool update_font_families(bool checkOnly);


// 12 points, from fontconfig's "sans-serif", "sans-serif:bold" and
// "monospace" matches. Usable from any thread, at any time.
extern const BFont* be_plain_font;
extern const BFont* be_bold_font;
extern const BFont* be_fixed_font;

#endif	// _FONT_H
