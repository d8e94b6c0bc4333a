/*
 * The character index of a text view's bytes:
 * - after random insertions and deletions of random bytes (ASCII, UTF-8
 *   of every length, bytes that are not UTF-8, NUL), in texts that grow
 *   past many blocks, every byte offset maps to the number of characters
 *   before it, and every character offset back to its first byte, as a
 *   slow count over the whole text says;
 * - the index built late (on the first question) and the index kept up
 *   with each edit agree;
 * - a text replaced as a whole is counted again;
 * - text handed out is valid UTF-8 with one code point per character,
 *   whatever the bytes: each character that is not UTF-8 (a stray
 *   continuation byte, a truncated, overlong or surrogate sequence, a
 *   byte that is never UTF-8) and NUL come out as U+FFFD.
 */
#include "CharacterIndex.h"
#include "TextBuffer.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using BPrivate::CharacterIndex;
using BPrivate::TextBuffer;

namespace {

bool
starts_character(const std::string& text, size_t offset)
{
	return offset == 0 || ((uint8)text[offset] & 0xC0) != 0x80;
}


// The obvious answers, counted over the whole text: the characters
// before each byte offset, and where each character starts.
struct SlowCount {
	explicit SlowCount(const std::string& text)
	{
		before.reserve(text.size() + 1);
		int32 count = 0;
		for (size_t i = 0; i < text.size(); i++) {
			before.push_back(count);
			if (starts_character(text, i)) {
				starts.push_back((int32)i);
				count++;
			}
		}
		before.push_back(count);
		length = (int32)text.size();
	}

	int32 CharacterOffset(int32 byte) const { return before[byte]; }
	int32 ByteOffset(int32 character) const
	{
		return character < (int32)starts.size() ? starts[character] : length;
	}

	std::vector<int32> before;
	std::vector<int32> starts;
	int32 length;
};


std::string
random_bytes(std::mt19937& random, int32 length)
{
	static const char* const kPieces[] = { "a", "Z", " ", "\n", "\xC3\xA9",
		"\xE2\x82\xAC", "\xF0\x9F\x98\x80", "\xFF", "\x80", "\xBF\xBF",
		// NUL, which a C string cannot hold.
		"", "\xE2\x82", "\xC0\xAF", "\xED\xA0\x80" };
	std::string bytes;
	while ((int32)bytes.size() < length) {
		size_t piece = random() % (sizeof(kPieces) / sizeof(kPieces[0]));
		if (piece == 10)
			bytes.push_back('\0');
		else
			bytes += kPieces[piece];
	}
	return bytes;
}


void
expect_agrees(CharacterIndex& index, TextBuffer& buffer,
	const std::string& text, std::mt19937& random)
{
	ASSERT_EQ(buffer.Length(), (int32)text.size());
	SlowCount slow(text);
	int32 total = slow.CharacterOffset((int32)text.size());
	ASSERT_EQ(index.CountCharacters(buffer), total);
	for (int probe = 0; probe < 40; probe++) {
		int32 byte = text.empty() ? 0 : (int32)(random() % (text.size() + 1));
		EXPECT_EQ(index.CharacterOffset(buffer, byte),
			slow.CharacterOffset(byte)) << "byte " << byte;
		int32 character = (int32)(random() % (total + 2));
		EXPECT_EQ(index.ByteOffset(buffer, character),
			slow.ByteOffset(character)) << "character " << character;
	}
	EXPECT_EQ(index.CharacterOffset(buffer, (int32)text.size()), total);
	EXPECT_EQ(index.ByteOffset(buffer, total), (int32)text.size());
}

}	// namespace


TEST(CharacterIndexTest, RandomEditsAgreeWithCounting)
{
	for (uint32 seed = 1; seed <= 4; seed++) {
		SCOPED_TRACE("seed " + std::to_string(seed));
		std::mt19937 random(seed);
		TextBuffer buffer;
		CharacterIndex kept;
		std::string text;
		// Built on the first question, then kept up with every edit.
		kept.CountCharacters(buffer);
		for (int step = 0; step < 120; step++) {
			bool insert = text.empty() || random() % 3 != 0;
			if (insert) {
				// Now and then a big piece, so blocks split.
				int32 length = random() % 10 == 0
					? 50000 + (int32)(random() % 150000)
					: 1 + (int32)(random() % 40);
				std::string bytes = random_bytes(random, length);
				int32 offset = (int32)(random() % (text.size() + 1));
				ASSERT_EQ(buffer.Insert(offset, bytes.data(),
					(int32)bytes.size()), B_OK);
				text.insert(offset, bytes);
				kept.Inserted(buffer, offset, (int32)bytes.size());
			} else {
				int32 from = (int32)(random() % text.size());
				int32 maximum = random() % 8 == 0 ? 300000 : 50;
				int32 to = std::min((int32)text.size(),
					from + 1 + (int32)(random() % maximum));
				kept.WillRemove(buffer, from, to);
				ASSERT_EQ(buffer.Remove(from, to), B_OK);
				text.erase(from, to - from);
			}
			if (step % 10 == 9) {
				expect_agrees(kept, buffer, text, random);
				CharacterIndex late;
				expect_agrees(late, buffer, text, random);
				if (HasFailure())
					return;
			}
		}
		// Many blocks, but not one per edit.
		EXPECT_LE(kept.CountBlocks(), (int32)(text.size() / 16384) + 2);
	}
}


TEST(CharacterIndexTest, ReplacedTextIsCountedAgain)
{
	std::mt19937 random(7);
	TextBuffer buffer;
	CharacterIndex index;
	std::string text = random_bytes(random, 5000);
	ASSERT_EQ(buffer.SetTo(text.data(), (int32)text.size()), B_OK);
	expect_agrees(index, buffer, text, random);
	EXPECT_EQ(index.IndexedCharacters(),
		SlowCount(text).CharacterOffset((int32)text.size()));

	text = "\x80\x80 starts with a stray byte";
	ASSERT_EQ(buffer.SetTo(text.data(), (int32)text.size()), B_OK);
	index.Reset();
	EXPECT_EQ(index.IndexedCharacters(), -1);
	expect_agrees(index, buffer, text, random);
	// The first byte is a character even so.
	EXPECT_EQ(index.ByteOffset(buffer, 1), 2);
}


TEST(CharacterIndexTest, TextComesOutAsValidUtf8)
{
	const struct {
		std::string bytes;
		std::string expected;
	} kCases[] = {
		{ "plain", "plain" },
		{ "\xC3\xA9t\xC3\xA9", "\xC3\xA9t\xC3\xA9" },
		{ "\xF0\x9F\x98\x80!", "\xF0\x9F\x98\x80!" },
		// A byte that is never UTF-8, and a stray continuation byte that
		// belongs to the character before it.
		{ "a\xFF" "b", "a\xEF\xBF\xBD" "b" },
		{ "a\x80" "b", "\xEF\xBF\xBD" "b" },
		// Truncated, overlong and surrogate sequences.
		{ "\xE2\x82" "x", "\xEF\xBF\xBD" "x" },
		{ "\xC0\xAF" "x", "\xEF\xBF\xBD" "x" },
		{ "\xED\xA0\x80" "x", "\xEF\xBF\xBD" "x" },
		{ std::string("a\0b", 3), "a\xEF\xBF\xBD" "b" },
		{ "\x80" "a", "\xEF\xBF\xBD" "a" },
	};
	for (const auto& test : kCases) {
		SCOPED_TRACE(test.bytes);
		TextBuffer buffer;
		ASSERT_EQ(buffer.SetTo(test.bytes.data(), (int32)test.bytes.size()),
			B_OK);
		std::string out;
		CharacterIndex::AppendCharacters(buffer, 0, buffer.Length(), out);
		EXPECT_EQ(out, test.expected);
		// One code point per character the index counts.
		CharacterIndex index;
		int32 codePoints = 0;
		for (unsigned char byte : out)
			codePoints += (byte & 0xC0) != 0x80 ? 1 : 0;
		EXPECT_EQ(codePoints, index.CountCharacters(buffer));
	}
}
