/*
 * DecodeUTF8: how the font code splits bytes into characters.
 *
 * Cases:
 * - well-formed sequences of one to four bytes decode to their code point;
 * - ill-formed input is one U+FFFD per byte: a stray continuation byte,
 *   bytes that never start a sequence, overlong forms, encoded
 *   surrogates, values past U+10FFFF, a sequence cut short by the next
 *   character or by the length;
 * - NUL is a character;
 * - what a screen is given (titles, the clipboard): NUL left out, every
 *   ill-formed byte as U+FFFD, well-formed text as it is.
 */
#include "UTF8Decoding.h"

#include <gtest/gtest.h>

#include <string.h>

#include <vector>

using BPrivate::DecodeUTF8;
using BPrivate::kReplacementCharacter;

namespace {

// The code points of a byte string, and each one's length in bytes.
void
decode_all(const char* text, int32 length, std::vector<uint32>& _codePoints,
	std::vector<int32>& _lengths)
{
	_codePoints.clear();
	_lengths.clear();
	int32 offset = 0;
	while (offset < length) {
		uint32 codePoint;
		int32 bytes = DecodeUTF8(text + offset, length - offset, codePoint);
		ASSERT_GE(bytes, 1);
		ASSERT_LE(offset + bytes, length);
		_codePoints.push_back(codePoint);
		_lengths.push_back(bytes);
		offset += bytes;
	}
}

const uint32 R = kReplacementCharacter;

}	// namespace


TEST(UTF8DecodingTest, WellFormedSequences)
{
	std::vector<uint32> codePoints;
	std::vector<int32> lengths;
	const char* text = "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"
		"\xF4\x8F\xBF\xBF\xEE\x80\x80";
	decode_all(text, strlen(text), codePoints, lengths);
	EXPECT_EQ((std::vector<uint32>{'A', 0xE9, 0x20AC, 0x1F600, 0x10FFFF,
		0xE000}), codePoints);
	EXPECT_EQ((std::vector<int32>{1, 2, 3, 4, 4, 3}), lengths);

	// The smallest values of each length are not overlong.
	decode_all("\xC2\x80\xE0\xA0\x80\xF0\x90\x80\x80", 9, codePoints,
		lengths);
	EXPECT_EQ((std::vector<uint32>{0x80, 0x800, 0x10000}), codePoints);
}


TEST(UTF8DecodingTest, IllFormedBytesAreOneReplacementEach)
{
	std::vector<uint32> codePoints;
	std::vector<int32> lengths;

	// A stray continuation byte, and bytes that never start a sequence.
	decode_all("\x80\xBF\xC0\xC1\xF5\xFF", 6, codePoints, lengths);
	EXPECT_EQ((std::vector<uint32>(6, R)), codePoints);

	// Overlong forms of '/', and of U+07FF and U+FFFF.
	decode_all("\xC0\xAF", 2, codePoints, lengths);
	EXPECT_EQ((std::vector<uint32>{R, R}), codePoints);
	decode_all("\xE0\x9F\xBF", 3, codePoints, lengths);
	EXPECT_EQ((std::vector<uint32>{R, R, R}), codePoints);
	decode_all("\xF0\x8F\xBF\xBF", 4, codePoints, lengths);
	EXPECT_EQ((std::vector<uint32>{R, R, R, R}), codePoints);

	// A surrogate, and U+110000.
	decode_all("\xED\xA0\x80", 3, codePoints, lengths);
	EXPECT_EQ((std::vector<uint32>{R, R, R}), codePoints);
	decode_all("\xF4\x90\x80\x80", 4, codePoints, lengths);
	EXPECT_EQ((std::vector<uint32>{R, R, R, R}), codePoints);

	// Cut short by another character: the lead byte alone is replaced,
	// and the character after it is kept.
	decode_all("\xE2\x82" "A", 3, codePoints, lengths);
	EXPECT_EQ((std::vector<uint32>{R, R, 'A'}), codePoints);
	decode_all("\xF0\x9F\x98" "\xC3\xA9", 5, codePoints, lengths);
	EXPECT_EQ((std::vector<uint32>{R, R, R, 0xE9}), codePoints);
}


TEST(UTF8DecodingTest, LengthEndsASequence)
{
	// A well-formed sequence with its last byte outside the length is
	// cut short: the decoder must not read that byte.
	std::vector<uint32> codePoints;
	std::vector<int32> lengths;
	decode_all("\xE2\x82\xAC", 2, codePoints, lengths);
	EXPECT_EQ((std::vector<uint32>{R, R}), codePoints);
	EXPECT_EQ((std::vector<int32>{1, 1}), lengths);
}


TEST(UTF8DecodingTest, NulIsACharacter)
{
	std::vector<uint32> codePoints;
	std::vector<int32> lengths;
	decode_all("a\0b", 3, codePoints, lengths);
	EXPECT_EQ((std::vector<uint32>{'a', 0, 'b'}), codePoints);
}


TEST(UTF8DecodingTest, TextForTheScreen)
{
	using BPrivate::TextForScreen;
	EXPECT_EQ("ab", TextForScreen("a\0b", 3));
	EXPECT_EQ("\xEF\xBF\xBD" "x", TextForScreen("\xC3x", 2));
	// An overlong form and a surrogate are not UTF-8.
	EXPECT_EQ("\xEF\xBF\xBD\xEF\xBF\xBD",
		TextForScreen("\xC0\xAF", 2));
	EXPECT_EQ("\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD",
		TextForScreen("\xED\xA0\x80", 3));
	std::string good = "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\r\n";
	EXPECT_EQ(good, TextForScreen(good.data(), good.size()));
	// A sequence cut short at the end.
	EXPECT_EQ("a\xEF\xBF\xBD\xEF\xBF\xBD",
		TextForScreen("a\xE2\x82", 3));
}
