/*
 * TextMotion: caret motion by characters, words and lines.
 *
 * Cases:
 * - stepping forward and back through random bytes (valid sequences of one
 *   to four bytes mixed with invalid bytes) visits exactly the boundaries
 *   of a forward decode, never one inside a well-formed sequence, and
 *   CharStart snaps any offset inside a sequence to its start;
 * - stray continuation bytes and truncated sequences are characters of
 *   one byte;
 * - Ctrl+arrow word motion over ASCII, underscores, non-ASCII letters and
 *   punctuation; double-click selection of words, blank runs and single
 *   characters, and at the end of the text;
 * - line start and end with the line index.
 */
#include "LineIndex.h"
#include "TextBuffer.h"
#include "TextMotion.h"
#include "UTF8Decoding.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>

using BPrivate::LineIndex;
using BPrivate::TextBuffer;
namespace TextMotion = BPrivate::TextMotion;

namespace {

void
set_text(TextBuffer& buffer, const std::string& text)
{
	ASSERT_EQ(B_OK, buffer.SetTo(text.data(), (int32)text.size()));
	// Put the gap in the middle so that sequences may straddle it.
	int32 middle = (int32)text.size() / 2;
	ASSERT_EQ(B_OK, buffer.Insert(middle, "#", 1));
	ASSERT_EQ(B_OK, buffer.Remove(middle, middle + 1));
}

}	// namespace


TEST(TextMotionTest, CharactersNeverSplitASequence)
{
	static const char* kPieces[] = {"a", "\xc3\xa9", "\xe2\x82\xac",
		"\xf0\x9f\x98\x80", "\x80", "\xbf", "\xc3", "\xe2\x82", "\xf0\x9f",
		"\xff", "\xc0\xaf", "\xed\xa0\x80", "\0", "\n"};
	std::mt19937 random(7);
	for (int32 round = 0; round < 50; round++) {
		std::string text;
		for (int32 i = 0; i < 40; i++) {
			const char* piece = kPieces[random() % 14];
			text += piece[0] == '\0' ? std::string(1, '\0')
				: std::string(piece);
		}
		TextBuffer buffer;
		set_text(buffer, text);

		std::set<int32> boundaries;
		int32 length = (int32)text.size();
		for (int32 at = 0; at < length;) {
			boundaries.insert(at);
			uint32 codePoint;
			at += BPrivate::DecodeUTF8(text.data() + at, length - at,
				codePoint);
		}
		boundaries.insert(length);

		std::vector<int32> forward(1, 0);
		while (forward.back() < length)
			forward.push_back(TextMotion::NextChar(buffer, forward.back()));
		EXPECT_EQ(std::vector<int32>(boundaries.begin(), boundaries.end()),
			forward) << "round " << round;

		std::vector<int32> backward(1, length);
		while (backward.back() > 0)
			backward.push_back(TextMotion::PreviousChar(buffer,
				backward.back()));
		std::reverse(backward.begin(), backward.end());
		EXPECT_EQ(forward, backward) << "round " << round;

		for (int32 at = 0; at <= length; at++) {
			int32 start = TextMotion::CharStart(buffer, at);
			ASSERT_TRUE(boundaries.count(start));
			ASSERT_LE(start, at);
			ASSERT_GT(TextMotion::NextChar(buffer, at), at == length
				? at - 1 : at);
		}
	}
}


TEST(TextMotionTest, InvalidBytesAreSingleCharacters)
{
	TextBuffer buffer;
	// A stray continuation byte, a cut-short sequence before ASCII, and a
	// four-byte sequence.
	set_text(buffer, std::string("\x80" "\xe2\x82" "x" "\xf0\x9f\x98\x80"));
	EXPECT_EQ(1, TextMotion::NextChar(buffer, 0));
	EXPECT_EQ(2, TextMotion::NextChar(buffer, 1));
	EXPECT_EQ(3, TextMotion::NextChar(buffer, 2));
	EXPECT_EQ(8, TextMotion::NextChar(buffer, 4));
	EXPECT_EQ(8, TextMotion::NextChar(buffer, 6));
	EXPECT_EQ(4, TextMotion::PreviousChar(buffer, 8));
	EXPECT_EQ(4, TextMotion::PreviousChar(buffer, 7));
	EXPECT_EQ(4, TextMotion::CharStart(buffer, 7));
	EXPECT_EQ(2, TextMotion::CharStart(buffer, 2));
	EXPECT_EQ(0, TextMotion::PreviousChar(buffer, 0));
	EXPECT_EQ(8, TextMotion::NextChar(buffer, 8));
	EXPECT_EQ(8, TextMotion::NextChar(buffer, 100));
	EXPECT_EQ(0, TextMotion::PreviousChar(buffer, -3));
}


TEST(TextMotionTest, Words)
{
	TextBuffer buffer;
	// "foo_bar, caf\u00e9 \u00bb x  y"
	std::string text = "foo_bar, caf\xc3\xa9 \xe2\x80\x94 x  y";
	set_text(buffer, text);
	int32 length = (int32)text.size();

	EXPECT_EQ(7, TextMotion::NextWord(buffer, 0));
	EXPECT_EQ(14, TextMotion::NextWord(buffer, 7));
	// An em dash is non-ASCII, so it counts as a word of its own.
	EXPECT_EQ(18, TextMotion::NextWord(buffer, 14));
	EXPECT_EQ(20, TextMotion::NextWord(buffer, 18));
	EXPECT_EQ(length, TextMotion::NextWord(buffer, 20));
	EXPECT_EQ(length, TextMotion::NextWord(buffer, length));

	EXPECT_EQ(9, TextMotion::PreviousWord(buffer, 15));
	EXPECT_EQ(9, TextMotion::PreviousWord(buffer, 14));
	EXPECT_EQ(0, TextMotion::PreviousWord(buffer, 9));
	EXPECT_EQ(0, TextMotion::PreviousWord(buffer, 3));
	EXPECT_EQ(0, TextMotion::PreviousWord(buffer, 0));

	int32 start, end;
	TextMotion::WordAt(buffer, 4, start, end);
	EXPECT_EQ(0, start);
	EXPECT_EQ(7, end);
	// Inside the two bytes of the e-acute.
	TextMotion::WordAt(buffer, 13, start, end);
	EXPECT_EQ(9, start);
	EXPECT_EQ(14, end);
	TextMotion::WordAt(buffer, 7, start, end);
	EXPECT_EQ(7, start);
	EXPECT_EQ(8, end);
	TextMotion::WordAt(buffer, 21, start, end);
	EXPECT_EQ(20, start);
	EXPECT_EQ(22, end);
	TextMotion::WordAt(buffer, length, start, end);
	EXPECT_EQ(length - 1, start);
	EXPECT_EQ(length, end);

	TextBuffer empty;
	TextMotion::WordAt(empty, 0, start, end);
	EXPECT_EQ(0, start);
	EXPECT_EQ(0, end);
	EXPECT_FALSE(TextMotion::IsWordCharacter(empty, 0));

	// An invalid byte is not a word character.
	set_text(buffer, std::string("ab\xff" "cd"));
	EXPECT_EQ(2, TextMotion::NextWord(buffer, 0));
	EXPECT_EQ(3, TextMotion::PreviousWord(buffer, 5));
}


TEST(TextMotionTest, LineStartAndEnd)
{
	std::string text = "one\r\ntwo\n\nlast";
	LineIndex lines;
	ASSERT_EQ(B_OK, lines.SetTo(text.data(), (int32)text.size()));
	EXPECT_EQ(0, TextMotion::LineStart(lines, 2));
	EXPECT_EQ(4, TextMotion::LineEnd(lines, 2));
	EXPECT_EQ(5, TextMotion::LineStart(lines, 8));
	EXPECT_EQ(8, TextMotion::LineEnd(lines, 5));
	EXPECT_EQ(9, TextMotion::LineStart(lines, 9));
	EXPECT_EQ(9, TextMotion::LineEnd(lines, 9));
	EXPECT_EQ(10, TextMotion::LineStart(lines, 100));
	EXPECT_EQ(14, TextMotion::LineEnd(lines, 100));
}


// Clusters in the gap buffer, far from the start so that the bytes the
// rules read come from the middle of the text, and with the gap inside
// the cluster.
TEST(TextMotionTest, ClustersFarIntoTheText)
{
	const std::string cluster = "e\xcc\x81\xcc\xa3";
	std::string text = std::string(10000, 'a') + cluster + "\r\n"
		+ "\xf0\x9f\x87\xa9\xf0\x9f\x87\xaa" + std::string(10000, 'b');
	TextBuffer buffer;
	ASSERT_EQ(B_OK, buffer.SetTo(text.data(), (int32)text.size()));
	// The gap between the e and its first mark.
	ASSERT_EQ(B_OK, buffer.Insert(10001, "#", 1));
	ASSERT_EQ(B_OK, buffer.Remove(10001, 10002));

	EXPECT_EQ(10000, TextMotion::NextCluster(buffer, 9999));
	EXPECT_EQ(10005, TextMotion::NextCluster(buffer, 10000));
	EXPECT_EQ(10005, TextMotion::NextCluster(buffer, 10002));
	EXPECT_EQ(10007, TextMotion::NextCluster(buffer, 10005));
	EXPECT_EQ(10015, TextMotion::NextCluster(buffer, 10007));
	EXPECT_EQ(10016, TextMotion::NextCluster(buffer, 10015));

	EXPECT_EQ(10007, TextMotion::PreviousCluster(buffer, 10015));
	EXPECT_EQ(10005, TextMotion::PreviousCluster(buffer, 10007));
	EXPECT_EQ(10000, TextMotion::PreviousCluster(buffer, 10005));
	EXPECT_EQ(9999, TextMotion::PreviousCluster(buffer, 10000));

	EXPECT_EQ(10000, TextMotion::ClusterStart(buffer, 10003));
	EXPECT_EQ(10005, TextMotion::ClusterEnd(buffer, 10003));
	EXPECT_EQ(10005, TextMotion::ClusterStart(buffer, 10006));
	EXPECT_EQ(10015, TextMotion::ClusterEnd(buffer, 10011));
	EXPECT_EQ(10007, TextMotion::ClusterStart(buffer, 10011));
	EXPECT_EQ(10007, TextMotion::ClusterEnd(buffer, 10007));

	EXPECT_EQ(10003, TextMotion::BackspaceStart(buffer, 10005));
	EXPECT_EQ(10005, TextMotion::BackspaceStart(buffer, 10007));
	EXPECT_EQ(10007, TextMotion::BackspaceStart(buffer, 10015));
	EXPECT_EQ(10015, TextMotion::BackspaceStart(buffer, 10016));

	// The double click on the accented letter takes all of its marks.
	int32 start;
	int32 end;
	TextMotion::WordAt(buffer, 10004, start, end);
	EXPECT_EQ(0, start);
	EXPECT_EQ(10005, end);
}
