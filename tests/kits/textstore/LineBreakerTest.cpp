/*
 * LineBreaker: the check of many short lines at once against the check of
 * one line at a time.
 *
 * Cases:
 * - many lines around the length that fits, plain, with tabs, UTF-8,
 *   control bytes, DEL and CR, empty and of one byte, and long ones among
 *   them, with the buffer's gap falling inside lines, between them and at
 *   the end: every answer of CannotWrapLines() is CannotWrap()'s for that
 *   line, for all lines, for every other one and for a few far apart;
 * - fonts and widths that move the bounds: tabs narrower and wider than
 *   the widest character, tabs measured as characters, a width of 0, a
 *   negative width, a width that every line fits, characters of no width
 *   (every line a candidate, whatever its length) and an infinite tab.
 */
#include "LineBreaker.h"
#include "TextBuffer.h"

#include <gtest/gtest.h>

#include <math.h>

#include <random>
#include <string>
#include <vector>

using namespace BPrivate;

namespace {

// Letters 6 to 10 pixels wide, anything else 7.
float
letter_width(const char* bytes, int32 length)
{
	if (length != 1)
		return 13;
	char byte = bytes[0];
	if ((byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z'))
		return 6 + byte % 5;
	return 7;
}


// A line of about length bytes: mostly plain, now and then holding
// something that is not.
std::string
random_line(std::mt19937& random, int32 length)
{
	static const char* const kOdd[] = { "\t", "\xC3\xA9", "\x01", "\x7F",
		"\r", "\xFF", "\t\t" };
	std::string line;
	uint32 odd = random() % 4 == 0 ? random() % 7 : 7;
	while ((int32)line.size() < length)
		line += (char)('a' + random() % 26);
	if (odd < 7 && length > 0)
		line.insert(random() % line.size(), kOdd[odd]);
	return line;
}


struct Lines {
	TextBuffer			text;
	std::vector<int32>	starts;
	std::vector<int32>	ends;
};


// 3000 lines, most of them near wrapWidth / 10 characters long, some
// empty or of one byte and a few long; the gap then moved inside a line.
void
make_lines(Lines& lines, std::mt19937& random, int32 around)
{
	std::string bytes;
	for (int i = 0; i < 3000; i++) {
		uint32 kind = random() % 20;
		int32 length;
		if (kind == 0)
			length = (int32)(random() % 2);
		else if (kind == 1)
			length = around * 4 + (int32)(random() % 2000);
		else
			length = std::max(around - 10 + (int32)(random() % 21), 0);
		lines.starts.push_back((int32)bytes.size());
		bytes += random_line(random, length);
		lines.ends.push_back((int32)bytes.size());
		bytes += '\n';
	}
	bytes.pop_back();
	lines.text.SetTo(bytes.data(), (int32)bytes.size());
	// An edit leaves the gap where it was made.
	int32 at = (int32)(random() % bytes.size());
	lines.text.Insert(at, "z", 1);
	lines.text.Remove(at, at + 1);
}


void
expect_batch_agrees(LineBreaker& breaker, const Lines& lines,
	const std::vector<int32>& chosen)
{
	std::vector<int32> starts;
	std::vector<int32> ends;
	for (int32 line : chosen) {
		starts.push_back(lines.starts[line]);
		ends.push_back(lines.ends[line]);
	}
	std::vector<uint8> cannot(chosen.size(), 2);
	breaker.CannotWrapLines(starts.data(), ends.data(), (int32)chosen.size(),
		cannot.data());
	int32 fitting = 0;
	for (size_t i = 0; i < chosen.size(); i++) {
		bool one = breaker.CannotWrap(starts[i], ends[i]);
		ASSERT_EQ(one ? 1 : 0, cannot[i]) << "line " << chosen[i]
			<< " of " << ends[i] - starts[i] << " bytes";
		fitting += one;
	}
	// The answers are not all alike, or the case tells nothing.
	if (chosen.size() > 100) {
		EXPECT_GT(fitting, 0);
	}
}


void
check_batch(MeasureFunction measure, float wrapWidth, float tabWidth,
	int32 around, uint32 seed)
{
	std::mt19937 random(seed);
	Lines lines;
	make_lines(lines, random, around);
	LineBreaker breaker(lines.text, measure);
	breaker.SetWrapWidth(wrapWidth);
	breaker.SetTabWidth(tabWidth);

	std::vector<int32> all;
	std::vector<int32> everyOther;
	std::vector<int32> farApart;
	for (int32 line = 0; line < (int32)lines.starts.size(); line++) {
		all.push_back(line);
		if (line % 2 == 1)
			everyOther.push_back(line);
		if (line % 97 == 5)
			farApart.push_back(line);
	}
	SCOPED_TRACE(testing::Message() << "width " << wrapWidth << ", tab "
		<< tabWidth << ", seed " << seed);
	expect_batch_agrees(breaker, lines, all);
	expect_batch_agrees(breaker, lines, everyOther);
	expect_batch_agrees(breaker, lines, farApart);
	expect_batch_agrees(breaker, lines, std::vector<int32>());
}

}	// namespace


TEST(LineBreakerTest, ManyLinesAtOnceAgreeWithOneAtATime)
{
	for (uint32 seed = 1; seed <= 3; seed++) {
		// The widest letter is 10 pixels: lines of about 40 fit or not.
		check_batch(letter_width, 400, 0, 40, seed);
		check_batch(letter_width, 400, 40, 40, seed);
		check_batch(letter_width, 400, 3, 40, seed);
		check_batch(letter_width, 400.5f, 80, 40, seed);
		check_batch(letter_width, 60, 0, 6, seed);
	}
}


TEST(LineBreakerTest, BoundsOfOddFontsAndWidths)
{
	auto none = [](const char*, int32) { return 0.0f; };
	auto infiniteTab = [](const char* bytes, int32 length) {
		return length == 1 && bytes[0] == '\t' ? INFINITY
			: letter_width(bytes, length);
	};
	// Nothing but empty and one-byte lines fits a width of 0 or less.
	check_batch(letter_width, 0, 0, 40, 7);
	check_batch(letter_width, -5, 40, 40, 8);
	check_batch(letter_width, 1e30f, 40, 40, 9);
	check_batch(none, 100, 0, 40, 10);
	check_batch(none, 100, 40, 40, 11);
	check_batch(infiniteTab, 400, 0, 40, 12);
}
