/*
 * BFont and the font listing functions: thin values and calls over the
 * FontManager, which owns every font resource.
 */
#include <Font.h>

#include <math.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <vector>

#include "FontPrivate.h"

using BPrivate::FontManager;


// Constant-initialised, so that they are usable from any static
// initialiser of any translation unit; what they stand for is resolved by
// the FontManager on first use.
static constinit BFont sPlainFont
	= BFont::Private::SystemFont(FontManager::kPlainFont, B_REGULAR_FACE);
static constinit BFont sBoldFont
	= BFont::Private::SystemFont(FontManager::kBoldFont, B_BOLD_FACE);
static constinit BFont sFixedFont
	= BFont::Private::SystemFont(FontManager::kFixedFont, B_REGULAR_FACE);

const BFont* be_plain_font = &sPlainFont;
const BFont* be_bold_font = &sBoldFont;
const BFont* be_fixed_font = &sFixedFont;

static const float kMaxSize = 10000.0f;
static const float kMinShear = 45.0f;
static const float kMaxShear = 135.0f;


BFont::BFont()
	:
	BFont(*be_plain_font)
{
}


BFont::BFont(const BFont& font)
	:
	fFamilyID(font.fFamilyID),
	fStyleID(font.fStyleID),
	fSize(font.fSize),
	fShear(font.fShear),
	fRotation(font.fRotation),
	fSpacing(font.fSpacing),
	fEncoding(font.fEncoding),
	fFace(font.fFace),
	fFlags(font.fFlags)
{
}


BFont::BFont(const BFont* font)
	:
	BFont(font != NULL ? *font : *be_plain_font)
{
}


BFont&
BFont::operator=(const BFont& font)
{
	fFamilyID = font.fFamilyID;
	fStyleID = font.fStyleID;
	fSize = font.fSize;
	fShear = font.fShear;
	fRotation = font.fRotation;
	fSpacing = font.fSpacing;
	fEncoding = font.fEncoding;
	fFace = font.fFace;
	fFlags = font.fFlags;
	return *this;
}


// #pragma mark - Family and style


status_t
BFont::SetFamilyAndStyle(const font_family family, const font_style style)
{
	// A NULL family keeps the current one and changes only the style.
	font_family current;
	if (family == NULL)
		GetFamilyAndStyle(&current, NULL);

	uint16 familyID;
	uint16 styleID;
	uint16 face;
	status_t status = FontManager::Default().FindStyle(
		family != NULL ? family : current, style, familyID, styleID, face);
	if (status != B_OK)
		return status;

	fFamilyID = familyID;
	fStyleID = styleID;
	fFace = face;
	return B_OK;
}


void
BFont::SetFamilyAndStyle(uint32 code)
{
	uint16 familyID = code >> 16;
	uint16 styleID = code & 0xFFFF;
	uint16 face;
	if (FontManager::Default().GetFace(familyID, styleID, face) != B_OK)
		return;

	fFamilyID = familyID;
	fStyleID = styleID;
	fFace = face;
}


status_t
BFont::SetFamilyAndFace(const font_family family, uint16 face)
{
	FontManager& manager = FontManager::Default();

	uint16 familyID;
	uint16 styleID;
	uint16 styleFace;
	if (family != NULL) {
		status_t status = manager.FindStyle(family, NULL, familyID, styleID,
			styleFace);
		if (status != B_OK)
			return status;
	} else
		_ResolvedIDs(familyID, styleID);

	// Without a style of that face the family's regular style stands in.
	if (manager.FindStyleByFace(familyID, face, styleID, styleFace) != B_OK
		&& manager.FindStyleByFace(familyID, B_REGULAR_FACE, styleID,
			styleFace) != B_OK) {
		return B_NAME_NOT_FOUND;
	}

	fFamilyID = familyID;
	fStyleID = styleID;
	fFace = face != 0 ? face : styleFace;
	return B_OK;
}


void
BFont::GetFamilyAndStyle(font_family* family, font_style* style) const
{
	FontManager::Default().GetNames(fFamilyID, fStyleID, family, style);
}


uint32
BFont::FamilyAndStyle() const
{
	uint16 familyID;
	uint16 styleID;
	_ResolvedIDs(familyID, styleID);
	return ((uint32)familyID << 16) | styleID;
}


// #pragma mark - Settings


void
BFont::SetSize(float size)
{
	if (isnan(size))
		return;
	fSize = fminf(fmaxf(size, 0.0f), kMaxSize);
}


void
BFont::SetShear(float shear)
{
	if (isnan(shear))
		return;
	fShear = fminf(fmaxf(shear, kMinShear), kMaxShear);
}


void
BFont::SetRotation(float rotation)
{
	if (!isfinite(rotation))
		return;
	rotation = fmodf(rotation, 360.0f);
	if (rotation < 0)
		rotation += 360.0f;
	fRotation = rotation;
}


void
BFont::SetSpacing(uint8 spacing)
{
	if (spacing <= B_FIXED_SPACING)
		fSpacing = spacing;
}


void
BFont::SetEncoding(uint8 encoding)
{
	if (encoding <= B_MACINTOSH_ROMAN)
		fEncoding = encoding;
}


void
BFont::SetFace(uint16 face)
{
	uint16 familyID;
	uint16 styleID;
	_ResolvedIDs(familyID, styleID);

	uint16 styleFace;
	if (FontManager::Default().FindStyleByFace(familyID, face, styleID,
			styleFace) == B_OK) {
		fFamilyID = familyID;
		fStyleID = styleID;
	}
	fFace = face;
}


void
BFont::SetFlags(uint32 flags)
{
	fFlags = flags;
}


float
BFont::Size() const
{
	return fSize;
}


float
BFont::Shear() const
{
	return fShear;
}


float
BFont::Rotation() const
{
	return fRotation;
}


uint8
BFont::Spacing() const
{
	return fSpacing;
}


uint8
BFont::Encoding() const
{
	return fEncoding;
}


uint16
BFont::Face() const
{
	return fFace;
}


uint32
BFont::Flags() const
{
	return fFlags;
}


font_direction
BFont::Direction() const
{
	return B_FONT_LEFT_TO_RIGHT;
}


bool
BFont::IsFixed() const
{
	return FontManager::Default().IsFixed(fFamilyID, fStyleID);
}


// #pragma mark - Measurement


float
BFont::StringWidth(const char* string) const
{
	if (string == NULL)
		return 0;
	return StringWidth(string, (int32)strnlen(string, INT32_MAX));
}


float
BFont::StringWidth(const char* string, int32 length) const
{
	return FontManager::Default().StringWidth(Private(*this).Spec(), string,
		length);
}


void
BFont::GetStringWidths(const char* stringArray[], const int32 lengthArray[],
	int32 numStrings, float widthArray[]) const
{
	if (stringArray == NULL || lengthArray == NULL || widthArray == NULL)
		return;

	BPrivate::FontSpec spec = Private(*this).Spec();
	for (int32 i = 0; i < numStrings; i++) {
		widthArray[i] = FontManager::Default().StringWidth(spec,
			stringArray[i], lengthArray[i]);
	}
}


void
BFont::GetEscapements(const char charArray[], int32 numChars,
	float escapementArray[]) const
{
	FontManager::Default().GetEscapements(Private(*this).Spec(), charArray,
		numChars, escapementArray);
}


void
BFont::GetHeight(font_height* height) const
{
	if (height == NULL)
		return;
	FontManager::Default().GetHeight(Private(*this).Spec(), *height);
}


void
BFont::GetHasGlyphs(const char charArray[], int32 numChars,
	bool hasArray[]) const
{
	if (charArray == NULL || hasArray == NULL || numChars <= 0)
		return;
	for (int32 i = 0; i < numChars; i++)
		hasArray[i] = false;

	std::vector<BPrivate::GlyphPlacement> placements;
	Private(*this).LayoutText(charArray,
		(int32)strnlen(charArray, INT32_MAX), placements);
	int32 count = std::min((int32)placements.size(), numChars);
	for (int32 i = 0; i < count; i++)
		hasArray[i] = placements[i].face != NULL && placements[i].glyph != 0;
}


bool
BFont::operator==(const BFont& other) const
{
	uint16 familyID;
	uint16 styleID;
	uint16 otherFamilyID;
	uint16 otherStyleID;
	_ResolvedIDs(familyID, styleID);
	other._ResolvedIDs(otherFamilyID, otherStyleID);

	return familyID == otherFamilyID && styleID == otherStyleID
		&& fSize == other.fSize && fShear == other.fShear
		&& fRotation == other.fRotation && fSpacing == other.fSpacing
		&& fEncoding == other.fEncoding && fFace == other.fFace
		&& fFlags == other.fFlags;
}


bool
BFont::operator!=(const BFont& other) const
{
	return !(*this == other);
}


void
BFont::PrintToStream() const
{
	font_family family;
	font_style style;
	GetFamilyAndStyle(&family, &style);
	printf("BFont(family: \"%s\", style: \"%s\", size: %.1f, shear: %.1f, "
		"rotation: %.1f, spacing: %u, encoding: %u, face: 0x%x, "
		"flags: 0x%x)\n", family, style, fSize, fShear, fRotation,
		(unsigned)fSpacing, (unsigned)fEncoding, (unsigned)fFace,
		(unsigned)fFlags);
}


void
BFont::_ResolvedIDs(uint16& _familyID, uint16& _styleID) const
{
	_familyID = fFamilyID;
	_styleID = fStyleID;
	FontManager::Default().ResolveIDs(_familyID, _styleID);
}


// #pragma mark - Listing


int32
count_font_families()
{
	return FontManager::Default().CountFamilies();
}


status_t
get_font_family(int32 index, font_family* name, uint32* flags)
{
	return FontManager::Default().GetFamily(index, name, flags);
}


int32
count_font_styles(const font_family family)
{
	return FontManager::Default().CountStyles(family);
}


status_t
get_font_style(const font_family family, int32 index, font_style* name,
	uint32* flags)
{
	return FontManager::Default().GetStyle(family, index, name, NULL,
		flags);
}


status_t
get_font_style(const font_family family, int32 index, font_style* name,
	uint16* face, uint32* flags)
{
	return FontManager::Default().GetStyle(family, index, name, face, flags);
}


bool
update_font_families(bool checkOnly)
{
	return FontManager::Default().Update(checkOnly);
}
