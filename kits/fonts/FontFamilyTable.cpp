/*
 * FontFamilyTable: families and styles under stable IDs.
 */
#include "FontFamilyTable.h"

#include <Font.h>

#include <algorithm>
#include <stdlib.h>
#include <string.h>
#include <strings.h>

namespace BPrivate {


// fontconfig's scale, repeated here so that the table stays plain data.
static const int kWeightLight = 50;
static const int kWeightRegular = 80;
static const int kWeightDemiBold = 180;
static const int kWeightExtraBold = 205;
static const int kSlantRoman = 0;
static const int kWidthNormal = 100;
static const int kSpacingMono = 100;

static const uint16 kStyleFaceMask = B_ITALIC_FACE | B_BOLD_FACE
	| B_CONDENSED_FACE | B_LIGHT_FACE | B_HEAVY_FACE;


// How far a style is from the family's regular one: slant weighs most,
// then width, then weight.
static int
regular_distance(const FontStyleRecord& style)
{
	return (style.slant != kSlantRoman ? 1000000 : 0)
		+ abs(style.width - kWidthNormal) * 1000
		+ abs(style.weight - kWeightRegular);
}


// A description of what is listed, to tell whether an update changed it.
static std::string
listing_signature(const std::vector<FontFamilyRecord>& families,
	const std::vector<uint16>& listing)
{
	std::string signature;
	for (uint16 familyID : listing) {
		const FontFamilyRecord& family = families[familyID];
		signature += family.name;
		signature += '\n';
		for (uint16 styleID : family.listing) {
			const FontStyleRecord& style = family.styles[styleID];
			signature += '\t' + std::to_string(styleID) + ' ' + style.name
				+ ' ' + style.path + ' ' + std::to_string(style.index)
				+ '\n';
		}
	}
	return signature;
}


FontFamilyTable::FontFamilyTable()
{
}


bool
FontFamilyTable::Update(const std::vector<FontEntry>& entries)
{
	std::string before = listing_signature(fFamilies, fListing);

	for (FontFamilyRecord& family : fFamilies) {
		family.listed = false;
		for (FontStyleRecord& style : family.styles)
			style.listed = false;
	}

	for (const FontEntry& entry : entries) {
		std::string familyName = entry.family;
		std::string styleName = entry.style;
		TruncateName(familyName, B_FONT_FAMILY_LENGTH);
		TruncateName(styleName, B_FONT_STYLE_LENGTH);
		if (familyName.empty())
			continue;

		uint16 familyID;
		if (FindFamily(familyName.c_str(), familyID) != B_OK
			|| fFamilies[familyID].name != familyName) {
			familyID = _AddFamily(familyName);
			if (familyID >= kFirstReservedID)
				continue;
		}
		FontFamilyRecord& family = fFamilies[familyID];

		FontStyleRecord* style = NULL;
		for (FontStyleRecord& candidate : family.styles) {
			if (candidate.name == styleName) {
				style = &candidate;
				break;
			}
		}
		if (style != NULL && style->listed)
			continue;
		if (style == NULL) {
			if (family.styles.size() >= 0xFFFF)
				continue;
			family.styles.push_back(FontStyleRecord());
			style = &family.styles.back();
			style->name = styleName;
			style->openedFace = NULL;
			style->openStatus = B_OK;
		}

		if (style->path != entry.path || style->index != entry.index) {
			style->path = entry.path;
			style->index = entry.index;
			style->openedFace = NULL;
			style->openStatus = B_OK;
		}
		style->weight = entry.weight;
		style->slant = entry.slant;
		style->width = entry.width;
		style->fixed = entry.spacing >= kSpacingMono;
		style->face = FaceFor(entry.weight, entry.slant, entry.width);
		style->listed = true;
		family.listed = true;
	}

	_SortListing();
	return listing_signature(fFamilies, fListing) != before;
}


int32
FontFamilyTable::CountFamilies() const
{
	return (int32)fListing.size();
}


const FontFamilyRecord*
FontFamilyTable::FamilyAt(int32 index) const
{
	if (index < 0 || index >= (int32)fListing.size())
		return NULL;
	return &fFamilies[fListing[index]];
}


uint32
FontFamilyTable::FamilyFlags(const FontFamilyRecord& family) const
{
	if (family.listing.empty())
		return 0;
	for (uint16 styleID : family.listing) {
		if (!family.styles[styleID].fixed)
			return 0;
	}
	return B_IS_FIXED;
}


const FontFamilyRecord*
FontFamilyTable::Family(uint16 familyID) const
{
	if (familyID >= fFamilies.size())
		return NULL;
	return &fFamilies[familyID];
}


FontStyleRecord*
FontFamilyTable::Style(uint16 familyID, uint16 styleID)
{
	if (familyID >= fFamilies.size())
		return NULL;
	FontFamilyRecord& family = fFamilies[familyID];
	if (styleID >= family.styles.size())
		return NULL;
	return &family.styles[styleID];
}


status_t
FontFamilyTable::FindFamily(const char* name, uint16& _familyID) const
{
	if (name == NULL)
		return B_BAD_VALUE;

	// A name that was truncated when listed is found by its listed form.
	std::string wanted(name, strnlen(name, B_FONT_FAMILY_LENGTH + 1));
	TruncateName(wanted, B_FONT_FAMILY_LENGTH);

	for (size_t i = 0; i < fFamilies.size(); i++) {
		if (fFamilies[i].name == wanted) {
			_familyID = (uint16)i;
			return B_OK;
		}
	}
	for (size_t i = 0; i < fFamilies.size(); i++) {
		if (strcasecmp(fFamilies[i].name.c_str(), wanted.c_str()) == 0) {
			_familyID = (uint16)i;
			return B_OK;
		}
	}
	return B_NAME_NOT_FOUND;
}


status_t
FontFamilyTable::FindStyle(uint16 familyID, const char* name,
	uint16& _styleID) const
{
	const FontFamilyRecord* family = Family(familyID);
	if (family == NULL || family->listing.empty())
		return B_NAME_NOT_FOUND;

	if (name == NULL) {
		uint16 best = family->listing[0];
		for (uint16 styleID : family->listing) {
			if (regular_distance(family->styles[styleID])
					< regular_distance(family->styles[best])) {
				best = styleID;
			}
		}
		_styleID = best;
		return B_OK;
	}

	std::string wanted(name, strnlen(name, B_FONT_STYLE_LENGTH + 1));
	TruncateName(wanted, B_FONT_STYLE_LENGTH);

	for (uint16 styleID : family->listing) {
		if (family->styles[styleID].name == wanted) {
			_styleID = styleID;
			return B_OK;
		}
	}
	for (uint16 styleID : family->listing) {
		if (strcasecmp(family->styles[styleID].name.c_str(),
				wanted.c_str()) == 0) {
			_styleID = styleID;
			return B_OK;
		}
	}
	return B_NAME_NOT_FOUND;
}


status_t
FontFamilyTable::FindStyleByFace(uint16 familyID, uint16 face,
	uint16& _styleID) const
{
	uint16 wanted = face & kStyleFaceMask;
	if (wanted == 0)
		return FindStyle(familyID, NULL, _styleID);

	const FontFamilyRecord* family = Family(familyID);
	if (family == NULL)
		return B_NAME_NOT_FOUND;

	// The listing is in display order, so the first match is the most
	// ordinary style with that face.
	for (uint16 styleID : family->listing) {
		if ((family->styles[styleID].face & kStyleFaceMask) == wanted) {
			_styleID = styleID;
			return B_OK;
		}
	}
	return B_NAME_NOT_FOUND;
}


status_t
FontFamilyTable::FindFile(const char* path, int32 index, uint16& _familyID,
	uint16& _styleID) const
{
	if (path == NULL)
		return B_BAD_VALUE;

	for (uint16 familyID : fListing) {
		const FontFamilyRecord& family = fFamilies[familyID];
		for (uint16 styleID : family.listing) {
			const FontStyleRecord& style = family.styles[styleID];
			if (style.index == index && style.path == path) {
				_familyID = familyID;
				_styleID = styleID;
				return B_OK;
			}
		}
	}
	return B_NAME_NOT_FOUND;
}


void
FontFamilyTable::TruncateName(std::string& name, size_t maxBytes)
{
	if (name.size() <= maxBytes)
		return;

	// Back off over continuation bytes so that the cut falls before the
	// lead byte of the character that does not fit.
	size_t cut = maxBytes;
	while (cut > 0 && ((uint8)name[cut] & 0xC0) == 0x80)
		cut--;
	name.resize(cut);
}


uint16
FontFamilyTable::FaceFor(int weight, int slant, int width)
{
	uint16 face = 0;
	if (slant != kSlantRoman)
		face |= B_ITALIC_FACE;
	if (weight >= kWeightExtraBold)
		face |= B_HEAVY_FACE;
	else if (weight >= kWeightDemiBold)
		face |= B_BOLD_FACE;
	else if (weight <= kWeightLight)
		face |= B_LIGHT_FACE;
	if (width < kWidthNormal)
		face |= B_CONDENSED_FACE;
	return face != 0 ? face : (uint16)B_REGULAR_FACE;
}


uint16
FontFamilyTable::_AddFamily(const std::string& name)
{
	if (fFamilies.size() >= kFirstReservedID)
		return kFirstReservedID;

	fFamilies.push_back(FontFamilyRecord());
	fFamilies.back().name = name;
	fFamilies.back().listed = false;
	return (uint16)(fFamilies.size() - 1);
}


void
FontFamilyTable::_SortListing()
{
	fListing.clear();
	for (size_t i = 0; i < fFamilies.size(); i++) {
		FontFamilyRecord& family = fFamilies[i];
		family.listing.clear();
		for (size_t j = 0; j < family.styles.size(); j++) {
			if (family.styles[j].listed)
				family.listing.push_back((uint16)j);
		}
		std::sort(family.listing.begin(), family.listing.end(),
			[&family](uint16 a, uint16 b) {
				const FontStyleRecord& first = family.styles[a];
				const FontStyleRecord& second = family.styles[b];
				int firstWidth = abs(first.width - kWidthNormal);
				int secondWidth = abs(second.width - kWidthNormal);
				if (firstWidth != secondWidth)
					return firstWidth < secondWidth;
				if (first.weight != second.weight)
					return first.weight < second.weight;
				if (first.slant != second.slant)
					return first.slant < second.slant;
				return first.name < second.name;
			});
		if (family.listed)
			fListing.push_back((uint16)i);
	}

	std::sort(fListing.begin(), fListing.end(),
		[this](uint16 a, uint16 b) {
			const std::string& first = fFamilies[a].name;
			const std::string& second = fFamilies[b].name;
			int order = strcasecmp(first.c_str(), second.c_str());
			if (order != 0)
				return order < 0;
			return first < second;
		});
}


}	// namespace BPrivate
