/*
 * WrapLayout against the obvious layout: every hard line wrapped from its
 * start, one character at a time, each time the question is asked. The
 * fake font gives characters different widths (narrow and wide letters,
 * wider non-ASCII), so that breaks fall unevenly.
 *
 * Cases:
 * - long lines with spaces, without any (base64-like) and mixed with
 *   hyphens, tabs and UTF-8, edited where a caret moves about (typing,
 *   deleting, new lines, far jumps), with the questions a view asks in
 *   between; every layout line start and the caret's place agree with the
 *   obvious layout, and the count is exact once asked for;
 * - typing in a laid-out long line without spaces, where no new break
 *   ever falls on an old one, measures a few lines per key, not the rest
 *   of the line, and the estimated count stays near the exact one;
 * - short ASCII lines are known to fit without measuring them, while a
 *   line that reaches the width to the pixel is still laid out exactly;
 * - thousands of short lines checked a block at a time, holding tabs,
 *   UTF-8, control bytes and DEL, some exactly as wide as the width and
 *   some just shorter or longer, with the buffer's gap inside a line:
 *   laid out from nothing, after a question laid out part of a block, and
 *   after edits of a complete layout (typing, new lines, lines joined and
 *   removed), the layout is the obvious one.
 */
#include "LayoutEdits.h"
#include "LineIndex.h"
#include "TextBuffer.h"
#include "TextMotion.h"
#include "WrapLayout.h"

#include <gtest/gtest.h>

#include <math.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

using namespace BPrivate;

namespace {

// Letters 6 to 10 pixels wide, spaces 4, other ASCII 7, anything else
// (a character of several bytes or a byte that is not UTF-8) 13.
float
fake_width(const char* bytes, int32 length)
{
	if (length != 1 || (uint8)bytes[0] >= 0x80)
		return 13;
	char byte = bytes[0];
	if (byte == ' ')
		return 4;
	if ((byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z'))
		return 6 + byte % 5;
	return 7;
}


struct Subject {
	TextBuffer		text;
	LineIndex		lines;
	int64			measured = 0;
	WrapLayout		layout;
	float			width;
	float			tabWidth;

	Subject(const std::string& bytes, float wrapWidth, float tabs)
		:
		layout(text, lines, [this](const char* bytes, int32 length) {
			measured++;
			return fake_width(bytes, length);
		}),
		width(wrapWidth),
		tabWidth(tabs)
	{
		text.SetTo(bytes.data(), (int32)bytes.size());
		lines.SetTo(bytes.data(), (int32)bytes.size());
		layout.SetLineHeight(10);
		layout.SetWrapWidth(wrapWidth);
		layout.SetTabWidth(tabs);
		layout.SetWrapping(true);
	}

	void Insert(int32 offset, const std::string& bytes)
	{
		insert_laid_out(text, lines, layout, offset, bytes);
	}

	void Remove(int32 from, int32 to)
	{
		remove_laid_out(text, lines, layout, from, to);
	}

	// The width of a character as the obvious layout sees it.
	float CharWidth(int32 at, int32 length, float x) const
	{
		if (text.ByteAt(at) == '\t' && tabWidth > 0)
			return (floorf(x / tabWidth) + 1) * tabWidth - x;
		std::string bytes = text.GetText(at, length);
		return fake_width(bytes.data(), length);
	}

	// Every layout line start, wrapping each hard line from its start.
	std::vector<int32> ObviousStarts() const
	{
		std::vector<int32> starts;
		int32 length = text.Length();
		int32 lineStart = 0;
		while (true) {
			int32 hardEnd = lineStart;
			while (hardEnd < length && text.ByteAt(hardEnd) != '\n')
				hardEnd++;
			int32 start = lineStart;
			starts.push_back(start);
			while ((start = _Break(start, hardEnd)) < hardEnd)
				starts.push_back(start);
			if (hardEnd >= length)
				return starts;
			lineStart = hardEnd + 1;
		}
	}

	// Where the layout line from start ends.
	int32 _Break(int32 start, int32 hardEnd) const
	{
		float x = 0;
		int32 lastBreak = -1;
		for (int32 at = start; at < hardEnd;) {
			int32 length = std::min(TextMotion::CharLength(text, at),
				hardEnd - at);
			std::string bytes = text.GetText(at, length);
			float advance = CharWidth(at, length, x);
			if (bytes == " " || bytes == "\t") {
				x += advance;
				at += length;
				lastBreak = at;
				continue;
			}
			if (x + advance > width && at > start)
				return lastBreak > start ? lastBreak : at;
			x += advance;
			at += length;
			if (bytes == "-" || bytes == "\xE2\x80\x90"
				|| bytes == "\xE2\x80\x91" || bytes == "\xE2\x80\x92"
				|| bytes == "\xE2\x80\x93" || bytes == "\xE2\x80\x94") {
				lastBreak = at;
			}
		}
		return hardEnd;
	}

	std::vector<int32> Starts()
	{
		std::vector<int32> starts;
		int32 count = layout.CountLayoutLines();
		for (int32 line = 0; line < count; line++)
			starts.push_back(layout.LayoutLineStart(line));
		return starts;
	}
};


// A piece of text of the given kind.
std::string
random_piece(std::mt19937& random, int kind, int32 length)
{
	static const char kBase64[]
		= "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
	static const char* const kMixed[] = { "word ", "a", "-", "\t", "  ",
		"\xC3\xA9", "\xE2\x80\x94", "long-ish ", "iiii", "WWW", "\xFF" };
	std::string piece;
	while ((int32)piece.size() < length) {
		if (kind == 0)
			piece += random() % 6 == 0 ? ' ' : (char)('a' + random() % 26);
		else if (kind == 1)
			piece += kBase64[random() % 64];
		else
			piece += kMixed[random() % 11];
	}
	return piece;
}


void
check_edits(int kind, float width, float tabs, uint32 seed)
{
	std::mt19937 random(seed);
	std::string bytes = random_piece(random, kind, 20000) + "\nshort\n"
		+ random_piece(random, kind, 3000) + "\n"
		+ random_piece(random, kind, 30000);
	Subject subject(bytes, width, tabs);
	int32 caret = 10000;
	if (seed % 2 == 0) {
		// Laid out completely first, as after going to the end.
		subject.layout.CountLayoutLines();
	}
	for (int round = 0; round < 300; round++) {
		int32 length = subject.text.Length();
		caret = std::clamp(caret, (int32)0, length);
		uint32 action = random() % 20;
		if (action < 10) {
			std::string typed = random_piece(random, kind, 1);
			subject.Insert(caret, typed);
			caret += (int32)typed.size();
		} else if (action < 14 && caret > 0) {
			int32 from = TextMotion::PreviousChar(subject.text, caret);
			subject.Remove(from, caret);
			caret = from;
		} else if (action < 15) {
			subject.Insert(caret, "\n");
			caret++;
		} else if (action < 17) {
			int32 to = std::min(length, caret + (int32)(random() % 300));
			subject.Remove(caret, to);
		} else if (action < 19) {
			caret = (int32)(random() % (length + 1));
			subject.Insert(caret, random_piece(random, kind,
				1 + random() % 200));
		} else
			caret = (int32)(random() % (length + 1));

		// What a view asks after a key: the caret's line and point, and
		// the lines around it.
		caret = TextMotion::CharStart(subject.text,
			std::clamp(caret, (int32)0, subject.text.Length()));
		int32 line = subject.layout.LayoutLineAt(caret);
		float x, y;
		subject.layout.PointAt(caret, x, y);
		ASSERT_EQ(line * 10.0f, y) << "round " << round;
		for (int32 near = std::max(line - 3, (int32)0); near < line + 30;
				near++) {
			subject.layout.LayoutLineStart(near);
		}
		if (round % 50 == 49) {
			std::vector<int32> obvious = subject.ObviousStarts();
			ASSERT_EQ(obvious, subject.Starts()) << "round " << round;
			// The caret's line, now that everything is laid out.
			int32 holding = (int32)(std::upper_bound(obvious.begin(),
				obvious.end(), caret) - obvious.begin()) - 1;
			ASSERT_EQ(holding, subject.layout.LayoutLineAt(caret));
			ASSERT_EQ((int32)obvious.size(),
				subject.layout.EstimatedLayoutLines());
		}
	}
	EXPECT_EQ(subject.ObviousStarts(), subject.Starts());
}

}	// namespace


TEST(WrapLayoutPropertyTest, EditsMatchTheObviousLayout)
{
	for (uint32 seed = 1; seed <= 4; seed++) {
		SCOPED_TRACE(seed);
		check_edits(0, 400, 0, seed);
		check_edits(1, 400, 0, seed + 10);
		check_edits(2, 300, 40, seed + 20);
		check_edits(2, 7, 0, seed + 30);
	}
}


TEST(WrapLayoutPropertyTest, TypingInALongLineWithoutSpacesStaysLocal)
{
	// 1 MB of two-byte characters, measured every time, with no place to
	// break but between characters: every break after an edit moves.
	std::string line;
	while (line.size() < 1024 * 1024)
		line += "\xC3\xA9";
	Subject subject(line, 400, 0);
	int32 exact = subject.layout.CountLayoutLines();
	int32 middle = (int32)line.size() / 2;

	subject.measured = 0;
	for (int key = 0; key < 20; key++) {
		subject.Insert(middle + 2 * key, "\xC3\xA9");
		subject.layout.LayoutLineAt(middle + 2 * key + 2);
		for (int32 near = 0; near < 40; near++) {
			subject.layout.LayoutLineStart(
				subject.layout.LayoutLineAt(middle) + near);
		}
	}
	// About 60 lines of 31 characters a key; the rest of the line would
	// be 16000 lines.
	EXPECT_LT(subject.measured, 20 * 120 * 31);
	int32 estimate = subject.layout.EstimatedLayoutLines();
	EXPECT_LE(std::abs(estimate - exact), 2);

	// Asked for the count, it lays out the rest and is exact again.
	std::vector<int32> obvious = subject.ObviousStarts();
	EXPECT_EQ((int32)obvious.size(), subject.layout.CountLayoutLines());
	EXPECT_EQ((int32)obvious.size(), subject.layout.EstimatedLayoutLines());
	EXPECT_EQ(obvious, subject.Starts());
}


TEST(WrapLayoutPropertyTest, ShortLinesFitWithoutMeasuring)
{
	// 10000 short lines of mixed ASCII, and one of 40 characters as wide
	// as the widest ASCII character ('c', 10 pixels), which fills the
	// width of 400 pixels exactly.
	std::string text;
	for (int i = 0; i < 10000; i++)
		text += "WWWWWWWWWW iiiiiiiii- llllllll\tzzzzzzzz\n";
	text += std::string(40, 'c') + "\n";
	Subject subject(text, 400, 0);
	EXPECT_EQ(10002, subject.layout.CountLayoutLines());
	// The widths of the ASCII characters, once, and nothing per line.
	EXPECT_EQ(128, subject.measured);

	// One more character reaches past the width: that line wraps where
	// the obvious layout wraps it.
	subject.Insert((int32)text.size() - 1, "c");
	std::vector<int32> obvious = subject.ObviousStarts();
	EXPECT_EQ(10003u, obvious.size());
	EXPECT_EQ(obvious, subject.Starts());

	// With UTF-8 in a line its characters are measured, not guessed.
	Subject utf8("\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\n", 30, 0);
	EXPECT_EQ(3, utf8.layout.CountLayoutLines());
}


namespace {

// A short line: letters and spaces, now and then a tab, UTF-8, a control
// byte or DEL, or exactly 40 'c' (the widest letter fills the width of
// 400 to the pixel) give or take one.
std::string
random_short_line(std::mt19937& random)
{
	static const char* const kOdd[] = { "\t", "\xC3\xA9", "\x01", "\x7F",
		"\r", "-", " " };
	uint32 kind = random() % 10;
	if (kind == 0)
		return std::string(39 + random() % 3, 'c');
	if (kind == 1)
		return std::string(random() % 2, 'a');
	std::string line = random_piece(random, 0, (int32)(random() % 60));
	if (kind < 5 && !line.empty())
		line.insert(random() % line.size(), kOdd[random() % 7]);
	return line;
}


std::string
random_short_lines(std::mt19937& random, int count)
{
	std::string text;
	for (int i = 0; i < count; i++) {
		if (i > 0)
			text += '\n';
		text += random_short_line(random);
	}
	return text;
}


void
check_short_lines(float tabs, uint32 seed)
{
	std::mt19937 random(seed);
	// Two blocks and a part of lines; the last, without a '\n' after
	// it, wraps by its last byte alone.
	Subject subject(random_short_lines(random, 2600) + "\n"
		+ std::string(39, 'c') + "\xFF", 400, tabs);
	// An edit inside a line before any layout leaves the buffer's gap
	// there.
	int32 at = (int32)(random() % subject.text.Length());
	subject.Insert(at, "q");
	if (seed % 2 == 0) {
		// Part of a block laid out first: its lines up to a place in the
		// middle, and a few lines laid out in part.
		subject.layout.LayoutLineAt(subject.text.Length() / 2);
		for (int32 near = 0; near < 5; near++) {
			subject.layout.LayoutLineStart(
				subject.layout.LayoutLineAt(at) + near);
		}
	}
	std::vector<int32> obvious = subject.ObviousStarts();
	ASSERT_EQ(obvious, subject.Starts());
	ASSERT_EQ((int32)obvious.size(), subject.layout.EstimatedLayoutLines());

	// Edits of the complete layout, each followed by a complete layout
	// again as going to the end asks for it.
	for (int round = 0; round < 12; round++) {
		int32 length = subject.text.Length();
		int32 caret = (int32)(random() % (length + 1));
		uint32 action = random() % 5;
		if (action == 0)
			subject.Insert(caret, random_short_line(random));
		else if (action == 1)
			subject.Insert(caret, "\n" + random_short_lines(random, 3));
		else if (action == 2) {
			subject.Insert(caret, std::string(1 + random() % 3,
				"c\t\xC3\xA9"[random() % 3]));
		} else {
			int32 to = std::min(length, caret + (int32)(random() % 200));
			subject.Remove(caret, to);
		}
		obvious = subject.ObviousStarts();
		ASSERT_EQ(obvious, subject.Starts()) << "round " << round;
		ASSERT_EQ((int32)obvious.size(),
			subject.layout.EstimatedLayoutLines());
	}
}

}	// namespace


TEST(WrapLayoutPropertyTest, ManyShortLinesMatchTheObviousLayout)
{
	for (uint32 seed = 1; seed <= 4; seed++) {
		SCOPED_TRACE(seed);
		check_short_lines(0, seed);
		check_short_lines(40, seed + 10);
	}
}
