/*
 * FontManager: fontconfig's families, FreeType's faces, fallback and
 * layout.
 */
#include "FontManager.h"

#include <fontconfig/fontconfig.h>

#include <math.h>
#include <stdio.h>
#include <string.h>

#include "BidiOrder.h"
#include "GlyphLayout.h"
#include "UTF8Decoding.h"

namespace BPrivate {


// What the system fonts are matched from.
static const char* const kRolePatterns[] = {
	"sans-serif",
	"sans-serif:bold",
	"monospace"
};


// Copies a name into a font_family or font_style buffer.
static void
copy_name(char* target, const std::string& name, size_t maxBytes)
{
	size_t length = name.size() < maxBytes ? name.size() : maxBytes;
	memcpy(target, name.data(), length);
	target[length] = '\0';
}


// fontconfig lists a font's names in every language the font has; the
// English one, when there is one, is what the API's users expect.
static std::string
english_string(FcPattern* font, const char* object, const char* langObject)
{
	int index = 0;
	FcChar8* lang;
	for (int i = 0; FcPatternGetString(font, langObject, i, &lang)
			== FcResultMatch; i++) {
		if (strcmp((const char*)lang, "en") == 0) {
			index = i;
			break;
		}
	}

	FcChar8* value;
	if (FcPatternGetString(font, object, index, &value) != FcResultMatch
		&& FcPatternGetString(font, object, 0, &value) != FcResultMatch) {
		return std::string();
	}
	return std::string((const char*)value);
}


static int
integer_or(FcPattern* font, const char* object, int defaultValue)
{
	int value;
	if (FcPatternGetInteger(font, object, 0, &value) != FcResultMatch)
		return defaultValue;
	return value;
}


// A style name for a font that has none, from what it looks like.
static std::string
style_name_for(int weight, int slant)
{
	bool bold = weight >= FC_WEIGHT_DEMIBOLD;
	bool italic = slant != FC_SLANT_ROMAN;
	if (bold && italic)
		return "Bold Italic";
	if (bold)
		return "Bold";
	if (italic)
		return "Italic";
	return "Regular";
}


FontManager&
FontManager::Default()
{
	// Never destroyed: see the class comment.
	static FontManager* sManager = new FontManager();
	return *sManager;
}


FontManager::FontManager()
	:
	fStatus(B_NO_INIT),
	fConfig(NULL),
	fLibrary(NULL)
{
	for (int32 i = 0; i < 3; i++) {
		fRoleResolved[i] = false;
		fRoleFamilyID[i] = kNoFontFamilyID;
		fRoleStyleID[i] = 0;
	}

	if (FT_Init_FreeType(&fLibrary) != 0) {
		fLibrary = NULL;
		fStatus = B_NO_MEMORY;
		fprintf(stderr, "kits: FreeType could not start; no fonts\n");
		return;
	}

	fConfig = FcInitLoadConfigAndFonts();
	if (fConfig == NULL) {
		fStatus = B_ERROR;
		fprintf(stderr, "kits: fontconfig could not load its "
			"configuration; no fonts\n");
		return;
	}

	fStatus = B_OK;
	_ReadFonts();
	if (fTable.CountFamilies() == 0) {
		fprintf(stderr, "kits: fontconfig lists no scalable font; text "
			"measures as empty\n");
	}
}


int32
FontManager::CountFamilies()
{
	std::lock_guard<std::mutex> locker(fLock);
	return fTable.CountFamilies();
}


status_t
FontManager::GetFamily(int32 index, font_family* _name, uint32* _flags)
{
	if (_name == NULL)
		return B_BAD_VALUE;

	std::lock_guard<std::mutex> locker(fLock);
	const FontFamilyRecord* family = fTable.FamilyAt(index);
	if (family == NULL)
		return B_BAD_VALUE;

	copy_name(*_name, family->name, B_FONT_FAMILY_LENGTH);
	if (_flags != NULL)
		*_flags = fTable.FamilyFlags(*family);
	return B_OK;
}


int32
FontManager::CountStyles(const char* familyName)
{
	std::lock_guard<std::mutex> locker(fLock);
	uint16 familyID;
	if (fTable.FindFamily(familyName, familyID) != B_OK)
		return 0;
	return (int32)fTable.Family(familyID)->listing.size();
}


status_t
FontManager::GetStyle(const char* familyName, int32 index, font_style* _name,
	uint16* _face, uint32* _flags)
{
	if (_name == NULL)
		return B_BAD_VALUE;

	std::lock_guard<std::mutex> locker(fLock);
	uint16 familyID;
	if (fTable.FindFamily(familyName, familyID) != B_OK)
		return B_NAME_NOT_FOUND;

	const FontFamilyRecord* family = fTable.Family(familyID);
	if (index < 0 || index >= (int32)family->listing.size())
		return B_BAD_VALUE;

	const FontStyleRecord& style = family->styles[family->listing[index]];
	copy_name(*_name, style.name, B_FONT_STYLE_LENGTH);
	if (_face != NULL)
		*_face = style.face;
	if (_flags != NULL)
		*_flags = style.fixed ? B_IS_FIXED : 0;
	return B_OK;
}


bool
FontManager::Update(bool checkOnly)
{
	std::lock_guard<std::mutex> locker(fLock);
	if (fStatus != B_OK)
		return false;

	if (FcConfigUptoDate(fConfig))
		return false;
	if (checkOnly)
		return true;

	FcConfig* config = FcInitLoadConfigAndFonts();
	if (config == NULL)
		return false;

	// The sorted fallback lists hold patterns of the old configuration.
	_ForgetFallbacks();
	FcConfigDestroy(fConfig);
	fConfig = config;

	return _ReadFonts();
}


status_t
FontManager::FindStyle(const char* familyName, const char* styleName,
	uint16& _familyID, uint16& _styleID, uint16& _face)
{
	std::lock_guard<std::mutex> locker(fLock);
	uint16 familyID;
	uint16 styleID;
	if (fTable.FindFamily(familyName, familyID) != B_OK
		|| fTable.FindStyle(familyID, styleName, styleID) != B_OK) {
		return B_NAME_NOT_FOUND;
	}

	status_t status = _CheckStyle(familyID, styleID);
	if (status != B_OK)
		return status;

	_familyID = familyID;
	_styleID = styleID;
	_face = fTable.Style(familyID, styleID)->face;
	return B_OK;
}


status_t
FontManager::FindStyleByFace(uint16 familyID, uint16 face, uint16& _styleID,
	uint16& _styleFace)
{
	std::lock_guard<std::mutex> locker(fLock);
	uint16 styleID;
	if (fTable.FindStyleByFace(familyID, face, styleID) != B_OK)
		return B_NAME_NOT_FOUND;

	status_t status = _CheckStyle(familyID, styleID);
	if (status != B_OK)
		return status;

	_styleID = styleID;
	_styleFace = fTable.Style(familyID, styleID)->face;
	return B_OK;
}


void
FontManager::ResolveIDs(uint16& familyID, uint16& styleID)
{
	if (familyID != kSystemFontFamilyID)
		return;

	std::lock_guard<std::mutex> locker(fLock);
	_Resolve(familyID, styleID);
}


status_t
FontManager::GetFace(uint16 familyID, uint16 styleID, uint16& _face)
{
	std::lock_guard<std::mutex> locker(fLock);
	_Resolve(familyID, styleID);
	const FontStyleRecord* style = fTable.Style(familyID, styleID);
	if (style == NULL)
		return B_NAME_NOT_FOUND;
	_face = style->face;
	return B_OK;
}


void
FontManager::GetNames(uint16 familyID, uint16 styleID, font_family* _family,
	font_style* _style)
{
	std::lock_guard<std::mutex> locker(fLock);
	_Resolve(familyID, styleID);
	const FontFamilyRecord* family = fTable.Family(familyID);
	const FontStyleRecord* style = fTable.Style(familyID, styleID);

	if (_family != NULL) {
		copy_name(*_family, family != NULL ? family->name : std::string(),
			B_FONT_FAMILY_LENGTH);
	}
	if (_style != NULL) {
		copy_name(*_style, style != NULL ? style->name : std::string(),
			B_FONT_STYLE_LENGTH);
	}
}


bool
FontManager::IsFixed(uint16 familyID, uint16 styleID)
{
	std::lock_guard<std::mutex> locker(fLock);
	_Resolve(familyID, styleID);
	const FontStyleRecord* style = fTable.Style(familyID, styleID);
	return style != NULL && style->fixed;
}


FontFace*
FontManager::FaceFor(uint16 familyID, uint16 styleID)
{
	std::lock_guard<std::mutex> locker(fLock);
	return _FaceFor(familyID, styleID);
}


FontFace*
FontManager::FallbackFor(FontFace* primary, uint32 codePoint, bool colour)
{
	// Above every code point, so the two kinds of answer share one cache.
	const uint32 kColourKey = 0x80000000;
	std::lock_guard<std::mutex> locker(fLock);
	auto found = fFallbacks.find(primary);
	if (found == fFallbacks.end())
		return NULL;

	FallbackInfo& info = found->second;
	uint32 key = colour ? codePoint | kColourKey : codePoint;
	auto cached = info.faces.find(key);
	if (cached != info.faces.end())
		return cached->second;

	if (info.candidates == NULL)
		info.candidates = _SortCandidates(info);

	FontFace* fallback = NULL;
	for (int i = 0; i < info.candidates->nfont; i++) {
		FcPattern* font = info.candidates->fonts[i];
		FcCharSet* charset;
		if (FcPatternGetCharSet(font, FC_CHARSET, 0, &charset)
				!= FcResultMatch
			|| !FcCharSetHasChar(charset, codePoint)) {
			continue;
		}
		FcBool hasColour;
		if (colour && (FcPatternGetBool(font, FC_COLOR, 0, &hasColour)
				!= FcResultMatch || !hasColour)) {
			continue;
		}

		FcChar8* path;
		if (FcPatternGetString(font, FC_FILE, 0, &path) != FcResultMatch)
			continue;
		FontFace* face = _OpenFace((const char*)path,
			integer_or(font, FC_INDEX, 0));
		if (face->InitCheck() != B_OK || face == primary)
			continue;

		// fontconfig's character sets leave out what a font maps to an
		// empty glyph, but trust the face's own map over them.
		FontFace::Locker faceLocker(face);
		if (face->GlyphFor(codePoint) != 0) {
			fallback = face;
			break;
		}
	}

	info.faces[key] = fallback;
	return fallback;
}


template<typename Visitor>
void
FontManager::_Layout(const FontSpec& spec, const char* text, int32 length,
	Visitor visit)
{
	if (text == NULL || length <= 0)
		return;

	GlyphLayout layout(_MeasuringFace(spec),
		[this](FontFace* primary, uint32 codePoint, bool colour) {
			return FallbackFor(primary, codePoint, colour);
		});
	layout.Lay(text, length, visit);
}


namespace {

// Adds the glyph at x, in pixels of the given size, and moves x past it.
void
place_glyph(const LaidGlyph& laid, float size, float width, bool rightToLeft,
	float& x, std::vector<GlyphPlacement>& _glyphs)
{
	_glyphs.push_back(GlyphPlacement{laid.face, laid.glyph, x, width,
		laid.xOffset * size, laid.yOffset * size, laid.offset, laid.length,
		rightToLeft});
	x += width;
}

}	// namespace


void
FontManager::LayoutText(const FontSpec& spec, const char* text, int32 length,
	std::vector<GlyphPlacement>& _glyphs)
{
	// Lines without right-to-left text are already in display order.
	if (!NeedsBidiOrder(text, length)) {
		LayoutLogical(spec, text, length, _glyphs);
		return;
	}

	_glyphs.clear();
	std::vector<LaidGlyph> laid;
	_Layout(spec, text, length,
		[&](const LaidGlyph& glyph) { laid.push_back(glyph); });
	std::vector<bool> rightToLeft;
	ReorderForDisplay(text, length, laid, rightToLeft);
	float size = _ValidSize(spec.size);
	float x = 0;
	for (size_t i = 0; i < laid.size(); i++) {
		place_glyph(laid[i], size,
			_CharWidth(spec.spacing, size, laid[i].advance), rightToLeft[i],
			x, _glyphs);
	}
}


void
FontManager::LayoutLogical(const FontSpec& spec, const char* text,
	int32 length, std::vector<GlyphPlacement>& _glyphs)
{
	_glyphs.clear();
	float size = _ValidSize(spec.size);
	float x = 0;
	_Layout(spec, text, length, [&](const LaidGlyph& laid) {
		place_glyph(laid, size, _CharWidth(spec.spacing, size, laid.advance),
			false, x, _glyphs);
	});
}


float
FontManager::StringWidth(const FontSpec& spec, const char* text,
	int32 length)
{
	float size = _ValidSize(spec.size);
	float width = 0;
	_Layout(spec, text, length, [&](const LaidGlyph& laid) {
		width += _CharWidth(spec.spacing, size, laid.advance);
	});
	return width;
}


void
FontManager::GetEscapements(const FontSpec& spec, const char* text,
	int32 numChars, float* _escapements)
{
	if (_escapements == NULL || numChars <= 0)
		return;

	for (int32 i = 0; i < numChars; i++)
		_escapements[i] = 0;
	if (text == NULL)
		return;

	// The byte length is not known: find where the characters asked for
	// end without reading past them, and which character each byte
	// starts.
	std::vector<int32> charAt;
	int32 length = 0;
	for (int32 i = 0; i < numChars; i++) {
		uint32 codePoint;
		int32 bytes = DecodeUTF8(text + length, 4, codePoint);
		charAt.insert(charAt.end(), bytes, i);
		length += bytes;
	}

	// A cluster's width goes to its first character; the characters
	// drawn as part of it take none.
	float size = _ValidSize(spec.size);
	_Layout(spec, text, length, [&](const LaidGlyph& laid) {
		float width = _CharWidth(spec.spacing, size, laid.advance);
		_escapements[charAt[laid.offset]] += size > 0 ? width / size
			: laid.advance;
	});
}


void
FontManager::GetHeight(const FontSpec& spec, font_height& _height)
{
	float size = _ValidSize(spec.size);
	FontFace* face = _MeasuringFace(spec);
	if (face == NULL) {
		_height.ascent = 0;
		_height.descent = 0;
		_height.leading = 0;
		return;
	}

	_height.ascent = face->AscentInEms() * size;
	_height.descent = face->DescentInEms() * size;
	_height.leading = face->LeadingInEms() * size;
}


bool
FontManager::_ReadFonts()
{
	FcPattern* pattern = FcPatternCreate();
	FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, FC_FAMILYLANG,
		FC_STYLE, FC_STYLELANG, FC_WEIGHT, FC_SLANT, FC_WIDTH, FC_SPACING,
		FC_FILE, FC_INDEX, FC_SCALABLE, FC_VARIABLE, (char*)NULL);
	FcFontSet* set = NULL;
	if (pattern != NULL && objects != NULL)
		set = FcFontList(fConfig, pattern, objects);

	std::vector<FontEntry> entries;
	for (int i = 0; set != NULL && i < set->nfont; i++) {
		FcPattern* font = set->fonts[i];

		// Bitmap fonts have no outlines to measure; a variable font is
		// listed once as a whole and once per named instance, and only
		// the instances are styles.
		FcBool flag;
		if (FcPatternGetBool(font, FC_SCALABLE, 0, &flag) != FcResultMatch
			|| !flag) {
			continue;
		}
		if (FcPatternGetBool(font, FC_VARIABLE, 0, &flag) == FcResultMatch
			&& flag) {
			continue;
		}

		FcChar8* path;
		if (FcPatternGetString(font, FC_FILE, 0, &path) != FcResultMatch)
			continue;

		FontEntry entry;
		entry.family = english_string(font, FC_FAMILY, FC_FAMILYLANG);
		entry.weight = integer_or(font, FC_WEIGHT, FC_WEIGHT_REGULAR);
		entry.slant = integer_or(font, FC_SLANT, FC_SLANT_ROMAN);
		entry.width = integer_or(font, FC_WIDTH, FC_WIDTH_NORMAL);
		entry.spacing = integer_or(font, FC_SPACING, FC_PROPORTIONAL);
		entry.style = english_string(font, FC_STYLE, FC_STYLELANG);
		if (entry.style.empty())
			entry.style = style_name_for(entry.weight, entry.slant);
		entry.path = (const char*)path;
		entry.index = integer_or(font, FC_INDEX, 0);
		entries.push_back(entry);
	}

	if (set != NULL)
		FcFontSetDestroy(set);
	if (objects != NULL)
		FcObjectSetDestroy(objects);
	if (pattern != NULL)
		FcPatternDestroy(pattern);

	return fTable.Update(entries);
}


FontFace*
FontManager::_OpenFace(const char* path, int32 index)
{
	std::pair<std::string, int32> key(path, index);
	auto found = fFaces.find(key);
	if (found != fFaces.end())
		return found->second;

	FontFace* face = new FontFace(fLibrary, path, index);
	fFaces[key] = face;
	return face;
}


FontFace*
FontManager::_FaceFor(uint16 familyID, uint16 styleID)
{
	_Resolve(familyID, styleID);
	FontStyleRecord* style = fTable.Style(familyID, styleID);
	if (style == NULL)
		return NULL;
	if (style->openedFace != NULL)
		return style->openedFace;
	if (style->openStatus != B_OK)
		return NULL;

	FontFace* face = _OpenFace(style->path.c_str(), style->index);
	if (face->InitCheck() != B_OK) {
		style->openStatus = face->InitCheck();
		return NULL;
	}

	style->openedFace = face;
	if (fFallbacks.find(face) == fFallbacks.end()) {
		FallbackInfo& info = fFallbacks[face];
		info.family = fTable.Family(familyID)->name;
		info.weight = style->weight;
		info.slant = style->slant;
		info.width = style->width;
		info.candidates = NULL;
	}
	return face;
}


status_t
FontManager::_CheckStyle(uint16 familyID, uint16 styleID)
{
	if (_FaceFor(familyID, styleID) != NULL)
		return B_OK;

	const FontStyleRecord* style = fTable.Style(familyID, styleID);
	if (style == NULL)
		return B_NAME_NOT_FOUND;
	return style->openStatus != B_OK ? style->openStatus : B_ERROR;
}


void
FontManager::_Resolve(uint16& familyID, uint16& styleID)
{
	if (familyID != kSystemFontFamilyID || styleID > kFixedFont)
		return;

	SystemFontRole role = (SystemFontRole)styleID;
	if (!fRoleResolved[role])
		_ResolveRole(role);
	familyID = fRoleFamilyID[role];
	styleID = fRoleStyleID[role];
}


void
FontManager::_ResolveRole(SystemFontRole role)
{
	fRoleResolved[role] = true;
	if (fStatus != B_OK)
		return;

	uint16 familyID;
	uint16 styleID;
	bool found = false;

	FcPattern* pattern = FcNameParse((const FcChar8*)kRolePatterns[role]);
	if (pattern != NULL) {
		FcConfigSubstitute(fConfig, pattern, FcMatchPattern);
		FcDefaultSubstitute(pattern);
		FcResult result;
		FcPattern* match = FcFontMatch(fConfig, pattern, &result);
		FcChar8* path;
		if (match != NULL
			&& FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch
			&& fTable.FindFile((const char*)path,
				integer_or(match, FC_INDEX, 0), familyID, styleID) == B_OK) {
			found = true;
		}
		if (match != NULL)
			FcPatternDestroy(match);
		FcPatternDestroy(pattern);
	}

	// fontconfig matched a font that is not listed (a bitmap font, say):
	// any listed family is better than no text at all.
	if (!found && fTable.CountFamilies() > 0) {
		const FontFamilyRecord* family = fTable.FamilyAt(0);
		if (fTable.FindFamily(family->name.c_str(), familyID) == B_OK) {
			uint16 face = role == kBoldFont ? B_BOLD_FACE : B_REGULAR_FACE;
			found = fTable.FindStyleByFace(familyID, face, styleID) == B_OK
				|| fTable.FindStyle(familyID, NULL, styleID) == B_OK;
		}
	}

	if (found) {
		fRoleFamilyID[role] = familyID;
		fRoleStyleID[role] = styleID;
	}
}


FcFontSet*
FontManager::_SortCandidates(const FallbackInfo& info)
{
	FcFontSet* candidates = NULL;
	FcPattern* pattern = FcPatternCreate();
	if (pattern != NULL) {
		FcPatternAddString(pattern, FC_FAMILY,
			(const FcChar8*)info.family.c_str());
		FcPatternAddInteger(pattern, FC_WEIGHT, info.weight);
		FcPatternAddInteger(pattern, FC_SLANT, info.slant);
		FcPatternAddInteger(pattern, FC_WIDTH, info.width);
		FcConfigSubstitute(fConfig, pattern, FcMatchPattern);
		FcDefaultSubstitute(pattern);

		// Untrimmed: a font that adds nothing to the ones before it may
		// still be needed when one of those cannot be opened.
		FcResult result;
		candidates = FcFontSort(fConfig, pattern, FcFalse, NULL, &result);
		FcPatternDestroy(pattern);
	}

	if (candidates == NULL)
		candidates = FcFontSetCreate();
	return candidates;
}


void
FontManager::_ForgetFallbacks()
{
	for (auto& entry : fFallbacks) {
		FallbackInfo& info = entry.second;
		if (info.candidates != NULL)
			FcFontSetDestroy(info.candidates);
		info.candidates = NULL;
		info.faces.clear();
	}
}


FontFace*
FontManager::_MeasuringFace(const FontSpec& spec)
{
	std::lock_guard<std::mutex> locker(fLock);
	FontFace* face = _FaceFor(spec.familyID, spec.styleID);
	if (face == NULL)
		face = _FaceFor(kSystemFontFamilyID, kPlainFont);
	return face;
}


float
FontManager::_ValidSize(float size)
{
	return size > 0 && isfinite(size) ? size : 0;
}


float
FontManager::_CharWidth(uint8 spacing, float size, float ems)
{
	float width = ems * size;
	if (spacing == B_BITMAP_SPACING || spacing == B_FIXED_SPACING)
		width = roundf(width);
	return width;
}




}	// namespace BPrivate
