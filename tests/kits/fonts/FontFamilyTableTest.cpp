/*
 * FontFamilyTable: families and styles under stable IDs, from made-up
 * fontconfig entries (no font files are opened).
 *
 * Cases:
 * - names past 63 bytes are cut on a UTF-8 character boundary, and
 *   families whose cut names agree become one;
 * - the listing is sorted, each family and style once (the first entry
 *   wins), entries without a family name skipped;
 * - the regular style is the upright, normal-width style nearest normal
 *   weight, whatever order the styles come in;
 * - face flags follow weight, slant and width, and styles are found by
 *   face;
 * - a family is fixed only when all its styles are monospaced;
 * - IDs survive updates; a font that went away is unlisted but its
 *   record stays; an update reports whether the listing changed.
 */
#include "FontFamilyTable.h"

#include <Font.h>

#include <gtest/gtest.h>

using BPrivate::FontEntry;
using BPrivate::FontFamilyRecord;
using BPrivate::FontFamilyTable;
using BPrivate::FontStyleRecord;

namespace {

FontEntry
entry(const std::string& family, const std::string& style, int weight = 80,
	int slant = 0, int width = 100, int spacing = 0,
	const std::string& path = "")
{
	FontEntry result;
	result.family = family;
	result.style = style;
	result.weight = weight;
	result.slant = slant;
	result.width = width;
	result.spacing = spacing;
	result.path = path.empty() ? "/fonts/" + family + "-" + style : path;
	result.index = 0;
	return result;
}


std::string
style_name(FontFamilyTable& table, uint16 familyID, uint16 styleID)
{
	FontStyleRecord* style = table.Style(familyID, styleID);
	return style != NULL ? style->name : "(none)";
}

}	// namespace


TEST(FontFamilyTableTest, LongNamesAreCutOnCharacterBoundaries)
{
	// 62 ASCII bytes and a two-byte character: the character would end at
	// byte 64, so it goes as a whole.
	std::string name = std::string(62, 'a') + "\xC3\xA9" + "tail";
	FontFamilyTable::TruncateName(name, 63);
	EXPECT_EQ(std::string(62, 'a'), name);

	name = std::string(61, 'a') + "\xC3\xA9" + "tail";
	FontFamilyTable::TruncateName(name, 63);
	EXPECT_EQ(std::string(61, 'a') + "\xC3\xA9", name);

	name = std::string(63, 'b');
	FontFamilyTable::TruncateName(name, 63);
	EXPECT_EQ(63u, name.size());

	// Two families that differ only past the cut are listed as one, with
	// the styles of both.
	FontFamilyTable table;
	std::string base(70, 'f');
	table.Update({entry(base + "1", "Regular"), entry(base + "2", "Bold",
		200)});
	ASSERT_EQ(1, table.CountFamilies());
	EXPECT_EQ(std::string(63, 'f'), table.FamilyAt(0)->name);
	EXPECT_EQ(2u, table.FamilyAt(0)->listing.size());

	uint16 familyID;
	EXPECT_EQ(B_OK, table.FindFamily((base + "9").c_str(), familyID));
}


TEST(FontFamilyTableTest, ListingIsSortedAndUnique)
{
	FontFamilyTable table;
	EXPECT_TRUE(table.Update({
		entry("Zeta", "Regular"),
		entry("alpha", "Regular"),
		entry("Beta", "Regular", 80, 0, 100, 0, "/first"),
		entry("Beta", "Regular", 80, 0, 100, 0, "/second"),
		entry("", "Regular"),
	}));

	ASSERT_EQ(3, table.CountFamilies());
	EXPECT_EQ("alpha", table.FamilyAt(0)->name);
	EXPECT_EQ("Beta", table.FamilyAt(1)->name);
	EXPECT_EQ("Zeta", table.FamilyAt(2)->name);
	EXPECT_EQ(NULL, table.FamilyAt(3));
	EXPECT_EQ(NULL, table.FamilyAt(-1));

	const FontFamilyRecord* beta = table.FamilyAt(1);
	ASSERT_EQ(1u, beta->listing.size());
	EXPECT_EQ("/first", beta->styles[beta->listing[0]].path);
}


TEST(FontFamilyTableTest, RegularStyleAndFaces)
{
	FontFamilyTable table;
	table.Update({
		entry("Sans", "Bold Oblique", 200, 110),
		entry("Sans", "ExtraLight", 40),
		entry("Sans", "Condensed", 80, 0, 87),
		entry("Sans", "Oblique", 80, 110),
		entry("Sans", "Book", 80),
		entry("Sans", "Bold", 200),
		entry("Sans", "Black", 210),
	});

	uint16 familyID;
	ASSERT_EQ(B_OK, table.FindFamily("Sans", familyID));
	uint16 styleID;
	ASSERT_EQ(B_OK, table.FindStyle(familyID, NULL, styleID));
	EXPECT_EQ("Book", style_name(table, familyID, styleID));

	EXPECT_EQ(B_OK, table.FindStyleByFace(familyID, B_BOLD_FACE, styleID));
	EXPECT_EQ("Bold", style_name(table, familyID, styleID));
	EXPECT_EQ(B_OK, table.FindStyleByFace(familyID,
		B_BOLD_FACE | B_ITALIC_FACE | B_UNDERSCORE_FACE, styleID));
	EXPECT_EQ("Bold Oblique", style_name(table, familyID, styleID));
	EXPECT_EQ(B_OK, table.FindStyleByFace(familyID, 0, styleID));
	EXPECT_EQ("Book", style_name(table, familyID, styleID));
	EXPECT_EQ(B_NAME_NOT_FOUND, table.FindStyleByFace(familyID,
		B_CONDENSED_FACE | B_BOLD_FACE, styleID));

	EXPECT_EQ((uint16)B_REGULAR_FACE, FontFamilyTable::FaceFor(80, 0, 100));
	EXPECT_EQ((uint16)B_LIGHT_FACE, FontFamilyTable::FaceFor(40, 0, 100));
	EXPECT_EQ((uint16)B_HEAVY_FACE, FontFamilyTable::FaceFor(210, 0, 100));
	EXPECT_EQ((uint16)(B_BOLD_FACE | B_ITALIC_FACE | B_CONDENSED_FACE),
		FontFamilyTable::FaceFor(200, 100, 75));

	// The listing puts normal width first, then by weight and slant.
	const FontFamilyRecord* family = table.Family(familyID);
	std::vector<std::string> order;
	for (uint16 id : family->listing)
		order.push_back(family->styles[id].name);
	EXPECT_EQ((std::vector<std::string>{"ExtraLight", "Book", "Oblique",
		"Bold", "Bold Oblique", "Black", "Condensed"}), order);
}


TEST(FontFamilyTableTest, FixedOnlyWhenEveryStyleIs)
{
	FontFamilyTable table;
	table.Update({
		entry("Mono", "Regular", 80, 0, 100, 100),
		entry("Mono", "Bold", 200, 0, 100, 100),
		entry("Mixed", "Regular", 80, 0, 100, 100),
		entry("Mixed", "Bold", 200, 0, 100, 0),
	});

	uint16 monoID;
	uint16 mixedID;
	ASSERT_EQ(B_OK, table.FindFamily("Mono", monoID));
	ASSERT_EQ(B_OK, table.FindFamily("Mixed", mixedID));
	EXPECT_EQ((uint32)B_IS_FIXED, table.FamilyFlags(*table.Family(monoID)));
	EXPECT_EQ(0u, table.FamilyFlags(*table.Family(mixedID)));
}


TEST(FontFamilyTableTest, IDsSurviveUpdates)
{
	FontFamilyTable table;
	table.Update({entry("Beta", "Regular"), entry("Beta", "Bold", 200)});
	uint16 betaID;
	uint16 boldID;
	ASSERT_EQ(B_OK, table.FindFamily("Beta", betaID));
	ASSERT_EQ(B_OK, table.FindStyle(betaID, "Bold", boldID));

	EXPECT_FALSE(table.Update({entry("Beta", "Bold", 200),
		entry("Beta", "Regular")}));

	// A new family sorts before Beta but does not take its ID; Beta's
	// Regular goes away.
	EXPECT_TRUE(table.Update({entry("Alpha", "Regular"),
		entry("Beta", "Bold", 200)}));
	uint16 id;
	ASSERT_EQ(B_OK, table.FindFamily("Beta", id));
	EXPECT_EQ(betaID, id);
	ASSERT_EQ(B_OK, table.FindStyle(betaID, "Bold", id));
	EXPECT_EQ(boldID, id);
	EXPECT_EQ("Alpha", table.FamilyAt(0)->name);

	EXPECT_EQ(B_NAME_NOT_FOUND, table.FindStyle(betaID, "Regular", id));
	EXPECT_EQ(1u, table.Family(betaID)->listing.size());
	// The record of the font that went away stays for fonts that hold it.
	FontStyleRecord* style = table.Style(betaID, boldID == 0 ? 1 : 0);
	ASSERT_NE(nullptr, style);
	EXPECT_EQ("Regular", style->name);
	EXPECT_FALSE(style->listed);

	// A style that moves to another file is a change.
	EXPECT_TRUE(table.Update({entry("Alpha", "Regular"),
		entry("Beta", "Bold", 200, 0, 100, 0, "/elsewhere")}));
	EXPECT_EQ(nullptr, table.Style(betaID, 99));
	EXPECT_EQ(nullptr, table.Family(999));
}
