/*
 * WrapLayout: soft wrapping of hard lines into layout lines, measured by
 * a fake fixed-width font (10 pixels per character, whatever its bytes).
 *
 * Cases:
 * - wrapping off: one layout line per hard line, nothing measured;
 * - breaks after spaces (which hang) and hyphens; a word wider than the
 *   width breaks at a character boundary, never inside a UTF-8 sequence;
 * - widths of 1 pixel, 0 and negative put each character on its own line,
 *   and a very wide width keeps each hard line whole;
 * - a 10 MB single line asked for its first screen measures only that
 *   screen (counted measure calls);
 * - an edit discards the layout of its own hard line only, and the layout
 *   afterwards equals one built from scratch;
 * - points and offsets: PointAt and OffsetAt agree, clicks past the end of
 *   a line and below the text;
 * - random edits (inside lines, adding and removing hard lines, across
 *   the blocks the layout keeps its lines in) leave a layout equal to one
 *   built from scratch, whether the layout was complete, partial or not
 *   made yet;
 * - typing inside a wrapped 1 MB line, and adding a line among 100000,
 *   measure a few lines' worth of characters, not the text;
 * - the estimated count measures nothing, counts unlaid hard lines as one
 *   each, never exceeds the exact count, grows as more is laid out and
 *   follows edits, and is exact once the layout is complete.
 * The layout against an obvious one written apart from it is in
 * WrapLayoutPropertyTest.cpp.
 */
#include "LayoutEdits.h"
#include "LineIndex.h"
#include "TextBuffer.h"
#include "WrapLayout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

using namespace BPrivate;

namespace {

struct Document {
	TextBuffer		text;
	LineIndex		lines;
	int64			measureCalls = 0;
	WrapLayout		layout;

	Document(const std::string& bytes, float width)
		:
		layout(text, lines, [this](const char*, int32) {
			measureCalls++;
			return 10.0f;
		})
	{
		text.SetTo(bytes.data(), (int32)bytes.size());
		lines.SetTo(bytes.data(), (int32)bytes.size());
		layout.SetLineHeight(12);
		layout.SetWrapWidth(width);
		layout.SetWrapping(true);
	}

	// The text of every layout line.
	std::vector<std::string> Lines()
	{
		std::vector<std::string> result;
		int32 count = layout.CountLayoutLines();
		for (int32 line = 0; line < count; line++) {
			int32 start = layout.LayoutLineStart(line);
			result.push_back(text.GetText(start,
				layout.LayoutLineEnd(line) - start));
		}
		return result;
	}

	void Insert(int32 offset, const std::string& bytes)
	{
		insert_laid_out(text, lines, layout, offset, bytes);
	}

	void Remove(int32 from, int32 to)
	{
		remove_laid_out(text, lines, layout, from, to);
	}
};

typedef std::vector<std::string> Lines;

}	// namespace


TEST(WrapLayoutTest, WrappingOffIsOneLinePerHardLine)
{
	Document document("a long first line\nsecond\n", 30);
	document.layout.SetWrapping(false);
	EXPECT_EQ(3, document.layout.CountLayoutLines());
	EXPECT_EQ(1, document.layout.LayoutLineAt(18));
	EXPECT_EQ(18, document.layout.LayoutLineStart(1));
	EXPECT_EQ(17, document.layout.LayoutLineEnd(0));
	EXPECT_EQ(25, document.layout.LayoutLineStart(7));
	EXPECT_EQ(0, document.measureCalls);
}


TEST(WrapLayoutTest, BreaksAtSpacesHyphensAndCharacters)
{
	// 10 characters fit in 100 pixels.
	Document document("the quick brown fox\na well-known  x\n"
		"abcdefghijklmno", 100);
	EXPECT_EQ((Lines{"the quick ", "brown fox", "a well-", "known  x",
		"abcdefghij", "klmno"}), document.Lines());
	EXPECT_EQ(0, document.layout.LayoutLineAt(9));
	// A soft break's offset belongs to the line it starts.
	EXPECT_EQ(1, document.layout.LayoutLineAt(10));
	EXPECT_EQ(1, document.layout.LayoutLineAt(19));
	EXPECT_EQ(2, document.layout.LayoutLineAt(20));

	// Multi-byte characters count as one each and stay whole.
	std::string euro = "\xe2\x82\xac";
	std::string text;
	for (int32 i = 0; i < 5; i++)
		text += euro;
	Document wide(text, 20);
	EXPECT_EQ((Lines{euro + euro, euro + euro, euro}), wide.Lines());
	EXPECT_EQ(2, wide.layout.LayoutLineAt(13));
	EXPECT_EQ(1, wide.layout.LayoutLineAt(7));
}


TEST(WrapLayoutTest, NarrowAndWideWidths)
{
	std::string text = "ab \xc3\xa9-\xff\ncd";
	for (float width : {1.0f, 0.0f, -50.0f, 9.99f}) {
		Document document(text, width);
		EXPECT_EQ((Lines{"a", "b ", "\xc3\xa9", "-", "\xff", "c", "d"}),
			document.Lines()) << "width " << width;
	}

	Document wide(text, 1e9f);
	EXPECT_EQ((Lines{"ab \xc3\xa9-\xff", "cd"}), wide.Lines());

	Document empty("", 0);
	EXPECT_EQ(1, empty.layout.CountLayoutLines());
	EXPECT_EQ(0, empty.layout.LayoutLineStart(0));
	EXPECT_EQ(0, empty.layout.LayoutLineAt(0));
}


TEST(WrapLayoutTest, HugeLineIsLaidOutOnlyAsFarAsAsked)
{
	// 10 MB of two-byte characters and spaces, so that every character is
	// measured (only ASCII widths are cached).
	std::string unit = "\xc3\xa9\xc3\xa9\xc3\xa9 ";
	std::string text;
	text.reserve(10 * 1024 * 1024);
	while (text.size() < 10 * 1024 * 1024)
		text += unit;
	Document document(text, 400);

	// The first screen: 60 layout lines of at most 40 characters.
	for (int32 line = 0; line < 60; line++) {
		int32 start = document.layout.LayoutLineStart(line);
		ASSERT_EQ(line * 40 * 7 / 4 / 7 * 7, start) << "line " << line;
	}
	EXPECT_LT(document.measureCalls, 61 * 41);
	float x, y;
	document.layout.PointAt(3 * 70 + 2, x, y);
	EXPECT_EQ(10.0f, x);
	EXPECT_EQ(36.0f, y);
	EXPECT_LT(document.measureCalls, 62 * 41);
}


TEST(WrapLayoutTest, EditsRelayoutTheirLineOnly)
{
	std::string text = "aaaa bbbb cccc\ndddd eeee\nffff gggg hhhh\n";
	Document document(text, 50);
	EXPECT_EQ((Lines{"aaaa ", "bbbb ", "cccc", "dddd ", "eeee", "ffff ",
		"gggg ", "hhhh", ""}), document.Lines());

	// Measuring is cached per ASCII character, so count layout work by
	// what changes instead: insert a newline and words in the middle.
	document.Insert(17, "X\nYY ZZZZZZ");
	document.Remove(0, 5);
	document.Insert(document.text.Length(), "tail words");

	std::string now = document.text.GetText(0, document.text.Length());
	Document fresh(now, 50);
	EXPECT_EQ(fresh.Lines(), document.Lines());
	EXPECT_EQ((Lines{"bbbb ", "cccc", "ddX", "YY ", "ZZZZZ", "Zdd ",
		"eeee", "ffff ", "gggg ", "hhhh", "tail ", "words"}),
		document.Lines());

	// Removing across lines.
	document.Remove(3, 30);
	now = document.text.GetText(0, document.text.Length());
	Document again(now, 50);
	EXPECT_EQ(again.Lines(), document.Lines());
}


TEST(WrapLayoutTest, PointsAndOffsets)
{
	Document document("hello world\nx", 60);
	// "hello " / "world" / "x"
	float x, y;
	document.layout.PointAt(8, x, y);
	EXPECT_EQ(20.0f, x);
	EXPECT_EQ(12.0f, y);
	EXPECT_EQ(8, document.layout.OffsetAt(24, 13));
	EXPECT_EQ(9, document.layout.OffsetAt(26, 13));
	// Past the end of a hard line: its end; of a soft line: before its
	// hanging space.
	EXPECT_EQ(11, document.layout.OffsetAt(500, 20));
	EXPECT_EQ(5, document.layout.OffsetAt(500, 0));
	// Above and below the text.
	EXPECT_EQ(0, document.layout.OffsetAt(-10, -10));
	EXPECT_EQ(13, document.layout.OffsetAt(500, 10000));
	EXPECT_EQ(2, document.layout.LineAtY(1e30f));
}


namespace {

// The layout lines of the document's text laid out from scratch.
Lines
fresh_lines(const std::string& bytes, float width)
{
	Document fresh(bytes, width);
	return fresh.Lines();
}

}	// namespace


TEST(WrapLayoutTest, RandomEditsMatchAFreshLayout)
{
	std::mt19937 random(4);
	const char* const pieces[] = { "a", "bb ", "-", " ", "\n", "ccccccc",
		"\xC3\xA9", "x\ny", "\n\n", "dd dd dd " };
	std::string bytes;
	for (int i = 0; i < 3000; i++)
		bytes += pieces[random() % 10];
	const float width = 45;
	Document document(bytes, width);

	for (int round = 0; round < 240; round++) {
		int32 length = document.text.Length();
		int32 from = (int32)(random() % (length + 1));
		if (random() % 2 == 0 || length == 0) {
			std::string piece = pieces[random() % 10];
			if (random() % 20 == 0) {
				// Many lines at once, to split a block.
				piece.clear();
				for (int i = 0; i < 1500; i++)
					piece += "e\n";
			}
			document.Insert(from, piece);
		} else {
			int32 to = std::min(length, from + (int32)(random() % 40));
			if (random() % 30 == 0)
				to = std::min(length, from + 4000);
			document.Remove(from, to);
		}
		// Sometimes ask a question that lays out only a part first.
		if (round % 3 == 0) {
			document.layout.LayoutLineAt((int32)(random()
				% (document.text.Length() + 1)));
		}
		if (round % 40 == 0) {
			std::string now = document.text.GetText(0,
				document.text.Length());
			ASSERT_EQ(fresh_lines(now, width), document.Lines())
				<< "after round " << round;
		}
	}
	std::string now = document.text.GetText(0, document.text.Length());
	EXPECT_EQ(fresh_lines(now, width), document.Lines());
}


TEST(WrapLayoutTest, EditsCostWhatTheyChange)
{
	// A 1 MB line of two-byte characters (which are measured every time)
	// in words of four.
	std::string word = "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9 ";
	std::string line;
	while (line.size() < 1024 * 1024)
		line += word;
	Document document(line, 200);
	int32 count = document.layout.CountLayoutLines();
	int32 middle = (int32)line.size() / 2 / 9 * 9;

	document.measureCalls = 0;
	document.Insert(middle, "\xC3\xA9");
	EXPECT_EQ(count, document.layout.CountLayoutLines());
	EXPECT_LT(document.measureCalls, 400);
	document.Remove(middle, middle + 2);
	EXPECT_LT(document.measureCalls, 800);
	EXPECT_EQ(fresh_lines(line, 200), document.Lines());

	// A new hard line among 100000 lays out only what is asked for.
	std::string many;
	for (int i = 0; i < 100000; i++)
		many += "\xC3\xA9\xC3\xA9\n";
	Document lines(many, 200);
	EXPECT_EQ(100001, lines.layout.CountLayoutLines());
	lines.measureCalls = 0;
	lines.Insert(50000 * 5 + 2, "\n");
	EXPECT_EQ(100002, lines.layout.CountLayoutLines());
	EXPECT_EQ(50001, lines.layout.LayoutLineAt(50000 * 5 + 3));
	EXPECT_LT(lines.measureCalls, 10);
}


TEST(WrapLayoutTest, EstimateGrowsTowardTheExactCount)
{
	// 3000 hard lines of 95 characters: three layout lines each at a
	// width of 40 characters, across several blocks.
	std::string line(95, 'x');
	for (int32 i = 10; i < 95; i += 10)
		line[i] = ' ';
	std::string text;
	for (int32 i = 0; i < 3000; i++)
		text += line + "\n";
	Document document(text, 400);

	// Nothing laid out: one layout line per hard line, nothing measured.
	EXPECT_EQ(3001, document.layout.EstimatedLayoutLines());
	EXPECT_EQ(0, document.measureCalls);

	// The first screen laid out: its 20 hard lines count exactly, and
	// the 21st, whose first layout line was asked for, its two known
	// lines.
	document.layout.LayoutLineStart(60);
	int32 afterScreen = document.layout.EstimatedLayoutLines();
	EXPECT_EQ(3001 + 2 * 20 + 1, afterScreen);
	EXPECT_GT(document.measureCalls, 0);

	// A far question lays out every hard line before it.
	document.layout.LayoutLineStart(6000);
	int32 afterFar = document.layout.EstimatedLayoutLines();
	EXPECT_GT(afterFar, afterScreen);
	EXPECT_EQ(3001 + 2 * 2000 + 1, afterFar);

	int32 exact = document.layout.CountLayoutLines();
	EXPECT_EQ(3 * 3000 + 1, exact);
	EXPECT_EQ(exact, document.layout.EstimatedLayoutLines());

	// An edit discards the layout of its hard line only: that line and
	// the new one count as one each until they are laid out again.
	document.Insert(0, line + "\n");
	EXPECT_EQ(exact - 3 + 2, document.layout.EstimatedLayoutLines());
	EXPECT_EQ(exact + 3, document.layout.CountLayoutLines());
	EXPECT_EQ(exact + 3, document.layout.EstimatedLayoutLines());
	document.Remove(0, (int32)line.size() + 1);
	EXPECT_EQ(exact, document.layout.CountLayoutLines());
	EXPECT_EQ(exact, document.layout.EstimatedLayoutLines());

	// Wrapping off: the hard lines, exact.
	document.layout.SetWrapping(false);
	EXPECT_EQ(3001, document.layout.EstimatedLayoutLines());
}


// A word with characters that are not ASCII is measured as a whole, from
// the letter after the line's last break, as a shaper joins it: here each
// two-byte character takes 4 pixels inside a word and 10 alone, so the
// joined word fits where its letters measured one by one would not.
TEST(WrapLayoutTest, WordsThatAreNotPlainASCIIAreMeasuredWhole)
{
	const std::string meem = "\xd9\x85";
	std::string word = "x" + meem + meem + meem + meem;
	std::string bytes = "ab " + word + " cd";
	TextBuffer text;
	LineIndex lines;
	text.SetTo(bytes.data(), (int32)bytes.size());
	lines.SetTo(bytes.data(), (int32)bytes.size());
	std::vector<std::string> measured;
	WrapLayout layout(text, lines,
		[](const char*, int32) { return 10.0f; },
		[&](const char* run, int32 length, float* _advances) {
			measured.push_back(std::string(run, length));
			for (int32 at = 0; at < length;) {
				bool ascii = (uint8)run[at] < 0x80;
				_advances[at] = ascii ? 10 : 4;
				at += ascii ? 1 : 2;
			}
		});
	layout.SetLineHeight(12);
	layout.SetWrapWidth(40);
	layout.SetWrapping(true);

	ASSERT_EQ(3, layout.CountLayoutLines());
	EXPECT_EQ(3, layout.LayoutLineStart(1));
	EXPECT_EQ(3 + (int32)word.size() + 1, layout.LayoutLineStart(2));
	// Only the word was handed over, with its ASCII letter.
	ASSERT_FALSE(measured.empty());
	for (const std::string& run : measured)
		EXPECT_EQ(word, run);

	// Wider than the line, the word still breaks between characters.
	layout.SetWrapWidth(20);
	EXPECT_EQ(3, layout.LayoutLineStart(1));
	EXPECT_EQ(3 + 1 + 2 * 2, layout.LayoutLineStart(2));
}
