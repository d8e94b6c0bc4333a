/*
 * TextBuffer: the gap buffer that holds a text view's bytes.
 *
 * Cases:
 * - every byte value (NUL, CR, invalid UTF-8) survives thousands of random
 *   inserts and removes anywhere, checked against a std::string after each
 *   operation through ByteAt, GetText and Text;
 * - bad offsets and lengths are refused and leave the text unchanged;
 * - inserting bytes taken from the buffer itself;
 * - Find: matches before, across and after the gap, from an offset, and
 *   absent or empty needles;
 * - the pieces of memory a scan reads: with the gap anywhere they give
 *   back the text and stop at the gap and the end.
 */
#include "TextBuffer.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

using BPrivate::TextBuffer;

namespace {

std::string
random_bytes(std::mt19937& random, int32 length)
{
	std::string bytes(length, '\0');
	for (char& byte : bytes)
		byte = (char)(random() & 0xFF);
	return bytes;
}


void
expect_same(TextBuffer& buffer, const std::string& model)
{
	ASSERT_EQ((int32)model.size(), buffer.Length());
	ASSERT_EQ(model, buffer.GetText(0, buffer.Length()));
	ASSERT_EQ(0, memcmp(model.data(), buffer.Text(), model.size()));
	EXPECT_EQ('\0', buffer.Text()[model.size()]);
}

}	// namespace


TEST(TextBufferTest, RandomEditsKeepEveryByte)
{
	std::mt19937 random(1234);
	TextBuffer buffer;
	std::string model;

	for (int32 step = 0; step < 4000; step++) {
		int32 length = (int32)model.size();
		if (length == 0 || random() % 3 != 0) {
			int32 offset = random() % (length + 1);
			// Mostly short inserts, sometimes a large one that forces the
			// block to grow.
			int32 count = random() % 10 == 0 ? random() % 3000
				: random() % 8;
			std::string bytes = random_bytes(random, count);
			ASSERT_EQ(B_OK, buffer.Insert(offset, bytes.data(), count));
			model.insert(offset, bytes);
		} else {
			int32 from = random() % (length + 1);
			int32 to = from + random() % (length - from + 1);
			if (random() % 4 != 0)
				to = std::min(to, from + 5);
			ASSERT_EQ(B_OK, buffer.Remove(from, to));
			model.erase(from, to - from);
		}

		ASSERT_EQ((int32)model.size(), buffer.Length());
		// Spot-check ByteAt everywhere near the edit and at random.
		for (int32 i = 0; i < 8 && !model.empty(); i++) {
			int32 at = random() % model.size();
			ASSERT_EQ(model[at], buffer.ByteAt(at)) << "step " << step;
		}
		if (step % 100 == 0)
			expect_same(buffer, model);
	}
	expect_same(buffer, model);

	// All 256 byte values in order, in the middle of the text.
	std::string all;
	for (int32 value = 0; value < 256; value++)
		all += (char)value;
	int32 middle = (int32)model.size() / 2;
	ASSERT_EQ(B_OK, buffer.Insert(middle, all.data(), 256));
	model.insert(middle, all);
	EXPECT_EQ(all, buffer.GetText(middle, 256));
	expect_same(buffer, model);
}


TEST(TextBufferTest, BadArgumentsAreRefused)
{
	TextBuffer buffer;
	EXPECT_EQ(B_OK, buffer.Insert(0, "hello", 5));

	EXPECT_EQ(B_BAD_VALUE, buffer.Insert(-1, "x", 1));
	EXPECT_EQ(B_BAD_VALUE, buffer.Insert(6, "x", 1));
	EXPECT_EQ(B_BAD_VALUE, buffer.Insert(0, "x", -1));
	EXPECT_EQ(B_BAD_VALUE, buffer.Insert(0, NULL, 1));
	EXPECT_EQ(B_BAD_VALUE, buffer.Remove(3, 2));
	EXPECT_EQ(B_BAD_VALUE, buffer.Remove(-1, 2));
	EXPECT_EQ(B_BAD_VALUE, buffer.Remove(0, 6));
	EXPECT_EQ(B_BAD_VALUE, buffer.SetTo(NULL, 3));
	EXPECT_EQ(std::string("hello"), buffer.GetText(0, 100));

	EXPECT_EQ('\0', buffer.ByteAt(-1));
	EXPECT_EQ('\0', buffer.ByteAt(5));
	EXPECT_EQ("", buffer.GetText(5, 3));
	EXPECT_EQ("", buffer.GetText(-2, 3));
	EXPECT_EQ("lo", buffer.GetText(3, 100));

	TextBuffer empty;
	EXPECT_STREQ("", empty.Text());
	EXPECT_EQ(-1, empty.Find("a", 1));
}


TEST(TextBufferTest, InsertFromItself)
{
	TextBuffer buffer;
	ASSERT_EQ(B_OK, buffer.SetTo("abcdef", 6));
	// The gap moves before the bytes are copied, and a large copy grows
	// the block: both must copy what was there before.
	const char* text = buffer.Text();
	ASSERT_EQ(B_OK, buffer.Insert(1, text + 2, 3));
	EXPECT_EQ("acdebcdef", buffer.GetText(0, 100));

	std::string big(5000, 'x');
	ASSERT_EQ(B_OK, buffer.Insert(0, big.data(), 5000));
	text = buffer.Text();
	ASSERT_EQ(B_OK, buffer.Insert(0, text, buffer.Length()));
	EXPECT_EQ(big + "acdebcdef" + big + "acdebcdef",
		buffer.GetText(0, buffer.Length()));
}


TEST(TextBufferTest, FindAroundTheGap)
{
	TextBuffer buffer;
	std::string text = "one two three two one";
	ASSERT_EQ(B_OK, buffer.SetTo(text.data(), (int32)text.size()));

	// Put the gap at every place and search for every substring.
	for (int32 gap = 0; gap <= (int32)text.size(); gap++) {
		ASSERT_EQ(B_OK, buffer.Insert(gap, "", 0));
		ASSERT_EQ(B_OK, buffer.Insert(gap, "#", 1));
		ASSERT_EQ(B_OK, buffer.Remove(gap, gap + 1));
		for (size_t start = 0; start < text.size(); start++) {
			for (size_t length = 1; start + length <= text.size()
					&& length < 6; length++) {
				std::string needle = text.substr(start, length);
				for (int32 from : {0, 3, (int32)start}) {
					size_t expected = text.find(needle, from);
					int32 found = buffer.Find(needle.data(),
						(int32)needle.size(), from);
					ASSERT_EQ(expected == std::string::npos ? -1
						: (int32)expected, found)
						<< "gap " << gap << " needle '" << needle
						<< "' from " << from;
				}
			}
		}
	}

	EXPECT_EQ(-1, buffer.Find("four", 4));
	EXPECT_EQ(-1, buffer.Find("", 0));
	EXPECT_EQ(-1, buffer.Find(NULL, 3));
	EXPECT_EQ(-1, buffer.Find("one", 3, 1000));
	EXPECT_EQ(0, buffer.Find("one", 3, -5));

	// A NUL in the needle and the text.
	ASSERT_EQ(B_OK, buffer.Insert(4, "\0\r\xff", 3));
	EXPECT_EQ(4, buffer.Find("\0\r\xff", 3));
}


TEST(TextBufferTest, PiecesCoverTheTextAroundTheGap)
{
	TextBuffer buffer;
	std::string text = "abcdefghij";
	ASSERT_EQ(B_OK, buffer.SetTo(text.data(), (int32)text.size()));

	// With the gap at every place, pieces read one after another give back
	// the bytes asked for, and never run past the gap or the end.
	for (int32 gap = 0; gap <= (int32)text.size(); gap++) {
		ASSERT_EQ(B_OK, buffer.Insert(gap, "#", 1));
		ASSERT_EQ(B_OK, buffer.Remove(gap, gap + 1));
		for (int32 from = 0; from < (int32)text.size(); from++) {
			std::string read;
			int32 wanted = (int32)text.size() - from + 3;
			for (int32 at = from; at < (int32)text.size();) {
				const char* piece = NULL;
				int32 count = buffer.PieceAt(at, wanted - (at - from), piece);
				ASSERT_GT(count, 0) << "gap " << gap << " at " << at;
				ASSERT_LE(at < gap ? at + count : 0, gap);
				read.append(piece, count);
				at += count;
			}
			ASSERT_EQ(text.substr(from), read) << "gap " << gap;
		}
	}

	const char* piece = NULL;
	EXPECT_EQ(0, buffer.PieceAt(-1, 4, piece));
	EXPECT_EQ(0, buffer.PieceAt(10, 4, piece));
	EXPECT_EQ(0, buffer.PieceAt(2, 0, piece));
	EXPECT_EQ(2, buffer.PieceAt(8, 100, piece));
}
