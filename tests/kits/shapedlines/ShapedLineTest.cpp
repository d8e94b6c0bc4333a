/*
 * Shaping the text store's layout lines with the pinned DejaVu Sans, no
 * window involved:
 * - which lines need shaping at all: ASCII does not, nor does a line
 *   past the longest shaped whole, however little of it is not ASCII;
 * - the paragraph's direction of mixed texts: the first strong character
 *   of the hard line, looked for before the layout line (but never
 *   before a '\n' or farther back than the scan goes), then in it;
 * - for a table of mixed texts (Latin, Hebrew, Arabic, digits, marks,
 *   tabs, control characters, bytes that are not UTF-8), wrapped at
 *   several widths, every shaped line: its clusters cover its bytes
 *   exactly once; in display order its items lie side by side from 0 to
 *   its width, each glyph where its item is; Hebrew and Arabic letters
 *   are right to left and Latin letters are not; the stand-ins are
 *   exactly the characters set apart, drawn with no glyph;
 * - the display order of a few lines, read as the text they show;
 * - tabs reach their stops counted from the side the paragraph starts
 *   on, and without tab stops they are stand-ins like other controls.
 */
#include "BidiOrder.h"
#include "LineIndex.h"
#include "ShapedLine.h"
#include "TextBuffer.h"
#include "WrapLayout.h"

#include <Font.h>

#include <gtest/gtest.h>

#include <math.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

using namespace BPrivate;

namespace {

const float kSize = 16;
const float kTolerance = 0.01f;

// "shalom", "olam", "marhaban" (five Arabic letters that join).
const std::string kShalom = "\xd7\xa9\xd7\x9c\xd7\x95\xd7\x9d";
const std::string kOlam = "\xd7\xa2\xd7\x95\xd7\x9c\xd7\x9d";
const std::string kArabic = "\xd9\x85\xd8\xb1\xd8\xad\xd8\xa8\xd8\xa7";
// e and a combining acute accent.
const std::string kAccented = "e\xcc\x81";


// What the text view sets apart: control characters, DEL and bytes that
// are not UTF-8.
bool
stands_apart(const char* bytes, int32 length)
{
	uint8 byte = (uint8)bytes[0];
	return length == 1 && (byte < 0x20 || byte == 0x7F || byte >= 0x80);
}


bool
is_right_to_left_letter(const std::string& bytes)
{
	uint8 lead = (uint8)bytes[0];
	return bytes.size() >= 2 && (lead == 0xD7 || lead == 0xD8 || lead == 0xD9);
}


bool
is_latin_letter(char byte)
{
	return (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z');
}


// A text with its line index and its layout, measured with the font as
// the text view measures what it does not shape.
struct laid_out_text {
	laid_out_text(const std::string& bytes, float wrapWidth = 0,
			float tabWidth = 0, bool tabStops = true)
		:
		layout(text, lines, [this](const char* piece, int32 length) {
			return font.StringWidth(piece, length);
		}),
		font(be_plain_font),
		source{text, lines, layout, font, tabStops, stands_apart}
	{
		font.SetSize(kSize);
		text.SetTo(bytes.data(), (int32)bytes.size());
		lines.SetTo(bytes.data(), (int32)bytes.size());
		layout.SetWrapping(wrapWidth > 0);
		layout.SetWrapWidth(wrapWidth);
		layout.SetTabWidth(tabWidth);
	}

	std::string Bytes(int32 from, int32 to)
	{
		return text.GetText(from, to - from);
	}

	TextBuffer			text;
	LineIndex			lines;
	WrapLayout			layout;
	BFont				font;
	line_source			source;
};


// A layout line taken through the steps one by one, as ShapeLine()
// takes it, keeping what each step gives.
struct stepped_line {
	stepped_line(laid_out_text& laidOut, int32 line)
		:
		start(laidOut.layout.LayoutLineStart(line)),
		end(laidOut.layout.LayoutLineEnd(line)),
		bytes(laidOut.Bytes(start, end)),
		shaped(start, end)
	{
		direction = ParagraphDirection(laidOut.text, laidOut.lines, start,
			bytes);
		ItemizeLine(laidOut.source, start, bytes, items, shaped.glyphs);
		logical = items;
		OrderForDisplay(bytes, start, direction, items, rightToLeft);
		PlaceItems(laidOut.layout, direction == kRightToLeft, items,
			rightToLeft, shaped);
	}

	// The text the items show, left to right, a cluster once.
	std::string Shown() const
	{
		std::string shown;
		int32 last = -1;
		for (const line_item& item : items) {
			if (item.offset != last)
				shown += bytes.substr(item.offset - start, item.length);
			last = item.offset;
		}
		return shown;
	}

	int32				start;
	int32				end;
	std::string			bytes;
	int32				direction;
	std::vector<line_item> logical;
	std::vector<line_item> items;
	std::vector<bool>	rightToLeft;
	shaped_line			shaped;
};


void
expect_covers_once(const stepped_line& line)
{
	// The clusters by their first byte; the glyphs of one cluster agree
	// on where it ends.
	std::map<int32, int32> clusters;
	for (const line_item& item : line.logical) {
		auto found = clusters.emplace(item.offset, item.length);
		EXPECT_EQ(found.first->second, item.length)
			<< "cluster at " << item.offset;
	}
	int32 next = line.start;
	for (const auto& cluster : clusters) {
		EXPECT_EQ(cluster.first, next) << "a gap or an overlap";
		next = cluster.first + cluster.second;
	}
	EXPECT_EQ(next, line.end);

	// The visual line agrees: each byte lies in one cluster, the same
	// for all of that cluster's bytes.
	for (int32 offset = line.start; offset < line.end; offset++) {
		int32 start;
		int32 end;
		ASSERT_TRUE(line.shaped.visual.ClusterAround(offset, start, end))
			<< "offset " << offset;
		EXPECT_EQ(clusters[start], end - start) << "offset " << offset;
		EXPECT_LE(start, offset);
		EXPECT_GT(end, offset);
	}
}


void
expect_side_by_side(const stepped_line& line)
{
	const shaped_line& shaped = line.shaped;
	float x = 0;
	for (const line_item& item : line.items) {
		EXPECT_GE(item.width, 0) << "item at " << item.offset;
		auto placed = std::find_if(shaped.glyphs.begin(), shaped.glyphs.end(),
			[&](const GlyphPlacement& glyph) {
				return &glyph - shaped.glyphs.data() == item.glyph;
			});
		if (item.glyph >= 0) {
			ASSERT_NE(placed, shaped.glyphs.end());
			EXPECT_NEAR(placed->x, x, kTolerance)
				<< "glyph at " << item.offset;
		}
		x += item.width;
	}
	EXPECT_NEAR(shaped.width, x, kTolerance);
}


void
expect_directions(const stepped_line& line)
{
	ASSERT_EQ(line.rightToLeft.size(), line.items.size());
	for (size_t i = 0; i < line.items.size(); i++) {
		const line_item& item = line.items[i];
		std::string bytes = line.bytes.substr(item.offset - line.start,
			item.length);
		if (is_right_to_left_letter(bytes)) {
			EXPECT_TRUE(line.rightToLeft[i]) << "item at " << item.offset;
		} else if (is_latin_letter(bytes[0])) {
			EXPECT_FALSE(line.rightToLeft[i]) << "item at " << item.offset;
		}
	}
}


void
expect_stand_ins(const stepped_line& line)
{
	std::vector<int32> expected;
	for (const line_item& item : line.logical) {
		const char* bytes = line.bytes.data() + item.offset - line.start;
		bool apart = stands_apart(bytes, item.length) && !item.tab;
		EXPECT_EQ(item.glyph < 0, apart || item.tab)
			<< "item at " << item.offset;
		if (apart)
			expected.push_back(item.offset);
	}
	std::vector<int32> standIns;
	for (const VisualCluster& standIn : line.shaped.standIns)
		standIns.push_back(standIn.offset);
	std::sort(standIns.begin(), standIns.end());
	EXPECT_EQ(standIns, expected);
	for (const GlyphPlacement& glyph : line.shaped.glyphs) {
		EXPECT_FALSE(std::binary_search(expected.begin(), expected.end(),
			glyph.offset)) << "a glyph for the stand-in at " << glyph.offset;
	}
}

}	// namespace


TEST(ShapedLineTest, OnlyLinesWithMoreThanASCIINeedShaping)
{
	std::string longLine(kMaxShapedLineBytes - 2, 'a');
	struct {
		const char*	name;
		std::string	text;
		int32		start;
		int32		end;
		bool		needs;
	} cases[] = {
		{ "ASCII", "plain text\t\x01", 0, 12, false },
		{ "an empty line", "", 0, 0, false },
		{ "one accented letter", "caf\xc3\xa9", 0, 5, true },
		{ "a byte that is not UTF-8", "ab\xff", 0, 3, true },
		{ "Hebrew past the line's end", "ab" + kShalom, 0, 2, false },
		{ "Hebrew before the line's start", kShalom + "ab", 8, 10, false },
		{ "the longest line shaped whole", longLine + "\xc3\xa9", 0,
			kMaxShapedLineBytes, true },
		{ "a byte longer", longLine + "\xc3\xa9" + "a", 0,
			kMaxShapedLineBytes + 1, false },
	};
	for (const auto& line : cases) {
		SCOPED_TRACE(line.name);
		TextBuffer text;
		text.SetTo(line.text.data(), (int32)line.text.size());
		EXPECT_EQ(NeedsShaping(text, line.start, line.end), line.needs);
	}
}


TEST(ShapedLineTest, ParagraphDirectionOfMixedTexts)
{
	// The scan reaches the last letter of the first, not of the second.
	std::string near = kShalom + std::string(kDirectionScanBytes - 2, ' ');
	std::string farAway = kShalom + std::string(kDirectionScanBytes, ' ');
	struct {
		const char*	name;
		std::string	text;
		// Where the layout line starts; it runs to the end of its hard
		// line.
		int32		start;
		int32		direction;
	} cases[] = {
		{ "Latin", "abc " + kShalom, 0, kLeftToRight },
		{ "Hebrew", kShalom + " abc", 0, kRightToLeft },
		{ "Arabic after digits", "123 " + kArabic, 0, kRightToLeft },
		{ "nothing strong", "123 (4)", 0, kNoStrongDirection },
		{ "Latin wrapped after Hebrew", kShalom + " abc", 9, kRightToLeft },
		{ "Hebrew wrapped after Latin", "abc " + kShalom, 4, kLeftToRight },
		{ "after digits, its own", "12 abc", 3, kLeftToRight },
		{ "a new paragraph after Hebrew", kShalom + "\nabc", 9,
			kLeftToRight },
		{ "Hebrew beyond the scan", farAway + "abc",
			(int32)farAway.size(), kLeftToRight },
		{ "Hebrew just within it", near + "abc", (int32)near.size(),
			kRightToLeft },
	};
	for (const auto& paragraph : cases) {
		SCOPED_TRACE(paragraph.name);
		laid_out_text laidOut(paragraph.text);
		int32 end = laidOut.lines.LineEnd(laidOut.lines.LineAt(
			paragraph.start));
		EXPECT_EQ(ParagraphDirection(laidOut.text, laidOut.lines,
			paragraph.start, laidOut.Bytes(paragraph.start, end)),
			paragraph.direction);
	}
}


TEST(ShapedLineTest, ShapedLinesOfMixedTextsHoldTogether)
{
	std::vector<std::string> mixed = {
		"caf\xc3\xa9 au lait, " + kAccented + "t\xc3\xa9",
		kShalom + " " + kOlam,
		kArabic + " " + kArabic,
		"abc " + kShalom + " def " + kOlam + ".",
		kShalom + " abc 123 " + kOlam + " 4.5%",
		"123 " + kArabic + " (x)",
		"\t" + kShalom + "\x01" + "a\xff\x7f" + kArabic + "\t9",
		kOlam + "\t42\t" + kShalom + "\tabc",
		"a" + kAccented + kAccented + "\xcc\x81\xcc\x81 " + kShalom,
	};
	std::string paragraph;
	for (int i = 0; i < 8; i++)
		paragraph += kShalom + " abc " + kArabic + " 12 ";
	mixed.push_back(paragraph);
	mixed.push_back(paragraph + "\n" + "x " + paragraph);

	for (float wrapWidth : {0.0f, 300.0f, 90.0f, 1.0f}) {
		for (const std::string& text : mixed) {
			SCOPED_TRACE(testing::Message() << "\"" << text << "\" wrapped at "
				<< wrapWidth);
			laid_out_text laidOut(text, wrapWidth, 40);
			int32 count = laidOut.layout.CountLayoutLines();
			for (int32 line = 0; line < count; line++) {
				SCOPED_TRACE(testing::Message() << "layout line " << line);
				if (!NeedsShaping(laidOut.text,
						laidOut.layout.LayoutLineStart(line),
						laidOut.layout.LayoutLineEnd(line))) {
					continue;
				}
				stepped_line stepped(laidOut, line);
				expect_covers_once(stepped);
				expect_side_by_side(stepped);
				expect_directions(stepped);
				expect_stand_ins(stepped);

				// ShapeLine() takes the same steps.
				std::unique_ptr<shaped_line> shaped = ShapeLine(
					laidOut.source, stepped.start, stepped.end);
				EXPECT_EQ(shaped->end, stepped.end);
				EXPECT_EQ(shaped->width, stepped.shaped.width);
				EXPECT_EQ(shaped->glyphs.size(),
					stepped.shaped.glyphs.size());
			}
		}
	}
}


TEST(ShapedLineTest, DisplayOrderReadsAsTheLineShows)
{
	// Hebrew letters alef, bet, gimel, dalet, he.
	const std::string alef = "\xd7\x90";
	const std::string bet = "\xd7\x91";
	const std::string gimel = "\xd7\x92";
	const std::string dalet = "\xd7\x93";
	const std::string he = "\xd7\x94";
	struct {
		const char*	name;
		std::string	text;
		std::string	shown;
	} cases[] = {
		{ "Latin stays", "abc def", "abc def" },
		{ "Hebrew in Latin turns", "ab " + alef + bet + gimel + " c",
			"ab " + gimel + bet + alef + " c" },
		{ "Latin in Hebrew keeps its order",
			alef + bet + gimel + " abc", "abc " + gimel + bet + alef },
		{ "numbers in Hebrew keep theirs",
			alef + bet + gimel + " 123 " + dalet + he,
			he + dalet + " 123 " + gimel + bet + alef },
		{ "a combining mark stays with its letter",
			alef + " " + kAccented, kAccented + " " + alef },
	};
	for (const auto& line : cases) {
		SCOPED_TRACE(line.name);
		laid_out_text laidOut(line.text);
		stepped_line stepped(laidOut, 0);
		EXPECT_EQ(stepped.Shown(), line.shown);
	}
}


TEST(ShapedLineTest, TabsReachTheirStopsFromTheParagraphsStart)
{
	const float kTabWidth = 50;
	struct {
		const char*	name;
		std::string	text;
		bool		tabStops;
		bool		fromRight;
	} cases[] = {
		{ "left to right", "caf\xc3\xa9\tab\t" + kShalom + "\tc", true,
			false },
		{ "right to left", kShalom + "\t" + kOlam + "\tabc\t1", true, true },
		{ "right to left, a tab first", "\t" + kShalom + "\t\t" + kOlam,
			true, true },
		{ "without tab stops", "caf\xc3\xa9\tab\t" + kShalom, false, false },
	};
	for (const auto& line : cases) {
		SCOPED_TRACE(line.name);
		laid_out_text laidOut(line.text, 0, kTabWidth, line.tabStops);
		stepped_line stepped(laidOut, 0);
		int32 tabs = 0;
		float x = 0;
		for (const line_item& item : stepped.items) {
			bool isTab = stepped.bytes[item.offset - stepped.start] == '\t';
			if (isTab) {
				tabs++;
				EXPECT_EQ(item.tab, line.tabStops);
			}
			if (isTab && line.tabStops) {
				// Where the tab ends, counted from the side the paragraph
				// starts on, is a stop.
				float reached = line.fromRight
					? stepped.shaped.width - x : x + item.width;
				float stops = reached / kTabWidth;
				EXPECT_NEAR(stops, roundf(stops), kTolerance)
					<< "tab at " << item.offset << " reaches " << reached;
				EXPECT_GT(item.width, 0);
			}
			x += item.width;
		}
		EXPECT_EQ(tabs, (int32)std::count(line.text.begin(), line.text.end(),
			'\t'));
	}
}
