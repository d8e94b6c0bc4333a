/*
 * LineIndex: the start offsets of hard lines.
 *
 * Cases:
 * - an empty text has one line; a text ending in '\n' has an empty last
 *   line; CR is an ordinary byte;
 * - random inserts and removes (with and without newlines, far apart and
 *   close together) keep LineAt, OffsetAt and LineEnd equal to those
 *   computed from scratch;
 * - clamping of negative and past-the-end offsets and lines, and refusal
 *   of bad edits;
 * - a text appended piece by piece indexes as the whole text does.
 */
#include "LineIndex.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using BPrivate::LineIndex;

namespace {

std::vector<int32>
naive_starts(const std::string& text)
{
	std::vector<int32> starts(1, 0);
	for (size_t i = 0; i < text.size(); i++) {
		if (text[i] == '\n')
			starts.push_back((int32)i + 1);
	}
	return starts;
}


void
expect_matches(const LineIndex& index, const std::string& text)
{
	std::vector<int32> starts = naive_starts(text);
	ASSERT_EQ((int32)starts.size(), index.CountLines());
	ASSERT_EQ((int32)text.size(), index.TextLength());
	for (size_t line = 0; line < starts.size(); line++) {
		ASSERT_EQ(starts[line], index.OffsetAt((int32)line));
		int32 end = line + 1 < starts.size() ? starts[line + 1] - 1
			: (int32)text.size();
		ASSERT_EQ(end, index.LineEnd((int32)line));
	}
	for (int32 offset = 0; offset <= (int32)text.size(); offset++) {
		int32 line = (int32)(std::upper_bound(starts.begin(), starts.end(),
			offset) - starts.begin()) - 1;
		ASSERT_EQ(line, index.LineAt(offset)) << "offset " << offset;
	}
}

}	// namespace


TEST(LineIndexTest, LineCounting)
{
	LineIndex index;
	EXPECT_EQ(1, index.CountLines());
	EXPECT_EQ(0, index.LineAt(0));

	ASSERT_EQ(B_OK, index.SetTo("a\r\nb\rc\n", 7));
	EXPECT_EQ(3, index.CountLines());
	EXPECT_EQ(3, index.OffsetAt(1));
	EXPECT_EQ(7, index.OffsetAt(2));
	EXPECT_EQ(7, index.LineEnd(2));
	expect_matches(index, std::string("a\r\nb\rc\n"));

	EXPECT_EQ(0, index.LineAt(-4));
	EXPECT_EQ(2, index.LineAt(100));
	EXPECT_EQ(0, index.OffsetAt(-1));
	EXPECT_EQ(7, index.OffsetAt(3));
	EXPECT_EQ(7, index.OffsetAt(1000));

	EXPECT_EQ(B_BAD_VALUE, index.Insert(8, "x", 1));
	EXPECT_EQ(B_BAD_VALUE, index.Insert(-1, "x", 1));
	EXPECT_EQ(B_BAD_VALUE, index.Insert(0, NULL, 1));
	EXPECT_EQ(B_BAD_VALUE, index.Remove(2, 1));
	EXPECT_EQ(B_BAD_VALUE, index.Remove(0, 8));
	EXPECT_EQ(B_BAD_VALUE, index.SetTo(NULL, 2));
	expect_matches(index, std::string("a\r\nb\rc\n"));
}


TEST(LineIndexTest, RandomEditsMatchTheNaiveModel)
{
	std::mt19937 random(42);
	std::string text = "first\nsecond\n\nfourth";
	LineIndex index;
	ASSERT_EQ(B_OK, index.SetTo(text.data(), (int32)text.size()));

	int32 caret = 0;
	for (int32 step = 0; step < 3000; step++) {
		int32 length = (int32)text.size();
		// Half the edits happen near the last one, as typing does; the
		// rest jump anywhere, which moves the gap far.
		if (random() % 2 == 0)
			caret = random() % (length + 1);
		else
			caret = std::clamp(caret + (int32)(random() % 7) - 3, (int32)0,
				length);

		if (length == 0 || random() % 5 < 3) {
			static const char kAlphabet[] = "ab\n\r\0\n";
			std::string bytes;
			for (int32 count = random() % 6; count > 0; count--)
				bytes += kAlphabet[random() % 6];
			ASSERT_EQ(B_OK, index.Insert(caret, bytes.data(),
				(int32)bytes.size()));
			text.insert(caret, bytes);
		} else {
			int32 to = std::min(length, caret + (int32)(random() % 8));
			ASSERT_EQ(B_OK, index.Remove(caret, to));
			text.erase(caret, to - caret);
		}
		if (step % 10 == 0 || text.size() < 50)
			expect_matches(index, text);
	}
	expect_matches(index, text);

	// Removing everything leaves one empty line.
	ASSERT_EQ(B_OK, index.Remove(0, (int32)text.size()));
	expect_matches(index, std::string());
}
