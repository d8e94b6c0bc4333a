/*
 * FontFamilyTable: the installed font families and their styles, under
 * the numeric IDs that BFont keeps (a family ID and a style ID within the
 * family).
 *
 * The table is plain data: the FontManager reads fontconfig, hands the
 * fonts over as FontEntry records and locks around every call. IDs are
 * stable for the life of the process: a font seen again after an update
 * keeps its IDs, a font that disappeared keeps its record (still usable by
 * the fonts that hold it) but is no longer listed.
 *
 * Threads: none of its own; the FontManager's lock guards it.
 * Owns: the family and style records.
 */
#ifndef _KITS_FONT_FAMILY_TABLE_H
#define _KITS_FONT_FAMILY_TABLE_H

#include <SupportDefs.h>

#include <string>
#include <vector>

namespace BPrivate {

class FontFace;

// One font as fontconfig describes it, before it enters the table. The
// weight, slant, width and spacing use fontconfig's scales
// (FC_WEIGHT_REGULAR is 80, FC_SLANT_ROMAN 0, FC_WIDTH_NORMAL 100,
// FC_MONO 100).
struct FontEntry {
	std::string			family;
	std::string			style;
	int					weight;
	int					slant;
	int					width;
	int					spacing;
	std::string			path;
	int32				index;
};

struct FontStyleRecord {
	std::string			name;
	// B_*_FACE flags derived from weight, slant and width.
	uint16				face;
	int					weight;
	int					slant;
	int					width;
	bool				fixed;
	std::string			path;
	int32				index;
	// Present in the latest update.
	bool				listed;
	// The opened face, set by the FontManager once it opened the file;
	// cleared when an update moves the style to another file.
	FontFace*			openedFace;
	// Set when the file could not be opened, so that it is not retried
	// on every measurement; cleared with openedFace.
	status_t			openStatus;
};

struct FontFamilyRecord {
	std::string			name;
	// Indexed by style ID.
	std::vector<FontStyleRecord> styles;
	// The listed styles' IDs in display order: by closeness to normal
	// width, then weight, slant and name.
	std::vector<uint16>	listing;
	bool				listed;
};

class FontFamilyTable {
public:
	// IDs from here on are never given to a family, so that BFont can use
	// them for its placeholders.
	static const uint16	kFirstReservedID = 0xFFF0;

								FontFamilyTable();

	// Makes the given fonts the listed ones; names longer than
	// B_FONT_FAMILY_LENGTH or B_FONT_STYLE_LENGTH are truncated first.
	// Entries with an empty family name are skipped; of two entries with
	// the same family and style the first wins. Returns true when the
	// listing (names, IDs or files) changed.
			bool				Update(const std::vector<FontEntry>& entries);

	// Families in listing order (sorted by name).
			int32				CountFamilies() const;
	// NULL for an index out of range.
			const FontFamilyRecord* FamilyAt(int32 index) const;
	// B_IS_FIXED when every listed style of the family is monospaced.
			uint32				FamilyFlags(const FontFamilyRecord& family)
									const;

	// NULL for an unknown ID.
			const FontFamilyRecord* Family(uint16 familyID) const;
			FontStyleRecord*	Style(uint16 familyID, uint16 styleID);

	// Finds a family by name: the exact name, else a name that differs
	// only in ASCII case. Names are compared after truncation, as listed.
			status_t			FindFamily(const char* name,
									uint16& _familyID) const;
	// Finds a listed style by name, exact first, then ignoring ASCII
	// case; a NULL name finds the regular style.
			status_t			FindStyle(uint16 familyID, const char* name,
									uint16& _styleID) const;
	// Finds the listed style whose face matches, ignoring the decoration
	// flags (underscore, negative, outlined, strikeout); B_REGULAR_FACE
	// or no flag at all finds the regular style.
			status_t			FindStyleByFace(uint16 familyID, uint16 face,
									uint16& _styleID) const;
	// Finds the listed style that uses a font file.
			status_t			FindFile(const char* path, int32 index,
									uint16& _familyID, uint16& _styleID) const;

	// Cuts a name to at most maxBytes without splitting a UTF-8 sequence.
	static	void				TruncateName(std::string& name,
									size_t maxBytes);
	// The face flags of a style with fontconfig's weight, slant and width.
	static	uint16				FaceFor(int weight, int slant, int width);

private:
			uint16				_AddFamily(const std::string& name);
			void				_SortListing();

	// Indexed by family ID.
			std::vector<FontFamilyRecord> fFamilies;
	// The listed families' IDs, sorted by name.
			std::vector<uint16>	fListing;
};

}	// namespace BPrivate

#endif	// _KITS_FONT_FAMILY_TABLE_H
