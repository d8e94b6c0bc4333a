/*
 * The search of find and replace, on bytes without a view.
 *
 * Cases:
 * - the order of Find: from the byte after the selection start to the
 *   end, then from 0 up to the start; an occurrence at the start is found
 *   on the wrap, overlapping occurrences are found, a partial match is
 *   shifted rather than abandoned, nothing matches across the end;
 * - exact bytes: case differs, bytes of 0x80 and above and NUL match
 *   themselves;
 * - occurrences that begin or end inside a UTF-8 character are skipped,
 *   while invalid bytes stand for themselves;
 * - Replace All's occurrences: each whole, none overlapping, in the
 *   order Find visits them, the wrapped part stopping where the first
 *   occurrence ahead begins.
 */
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TextMatcher.h"

namespace {

int32
find_next(const std::string& text, const char* search, int32 start)
{
	return TextMatcher(search).FindNext(text.data(), (int32)text.size(),
		start);
}


// The offsets a Replace All visits, in its order.
std::vector<int32>
visit_order(const std::string& text, const char* search, int32 start)
{
	std::vector<int32> ascending;
	int32 wrapped = -1;
	EXPECT_EQ(B_OK, TextMatcher(search).FindAll(text.data(),
		(int32)text.size(), start, ascending, wrapped));
	std::vector<int32> order(ascending.begin() + wrapped, ascending.end());
	order.insert(order.end(), ascending.begin(), ascending.begin() + wrapped);
	return order;
}

}	// namespace


TEST(TextMatcherTest, FindVisitsAfterTheStartThenWraps)
{
	// Each search starts at the previous match, as Find Again does.
	std::string text = "abcabc";
	EXPECT_EQ(3, find_next(text, "abc", 0));
	EXPECT_EQ(0, find_next(text, "abc", 3));
	EXPECT_EQ(3, find_next(text, "abc", 0));

	// An occurrence at the start is found when the search wraps.
	EXPECT_EQ(0, find_next("abc", "abc", 0));
	EXPECT_EQ(0, find_next("cat sat", "cat", 0));
	// Overlapping occurrences, and a partial match that is shifted.
	EXPECT_EQ(1, find_next("aaaa", "aa", 0));
	EXPECT_EQ(2, find_next("aaab", "ab", 0));
	EXPECT_EQ(4, find_next("Mississippi", "issip", 0));
	EXPECT_EQ(1, find_next("aaab", "aab", 4));
	EXPECT_EQ(1, find_next("aaab", "aab", 0));
	// Nothing runs from the end of the text on to its beginning.
	for (int32 start = 0; start <= 2; start++)
		EXPECT_EQ(-1, find_next("ba", "ab", start)) << start;
	// A start past the text is the end; an empty search finds nothing.
	EXPECT_EQ(0, find_next("abc", "ab", 99));
	EXPECT_EQ(-1, find_next("abc", "", 0));
	EXPECT_EQ(-1, find_next("ab", "abc", 0));
	EXPECT_EQ(-1, find_next("", "a", 0));
}


TEST(TextMatcherTest, BytesAreComparedExactly)
{
	EXPECT_EQ(-1, find_next("abc", "ABC", 0));
	EXPECT_EQ(5, find_next("x caf\xc3\xa9", "\xc3\xa9", 0));
	std::string withNul("a\0b\0c", 5);
	// A search text cannot hold NUL, but the text can: it is skipped
	// over like any other byte.
	EXPECT_EQ(4, find_next(withNul, "c", 0));
	EXPECT_EQ(2, find_next("\r\n\r\n", "\r\n", 0));
}


TEST(TextMatcherTest, MatchesInsideACharacterAreSkipped)
{
	// "é" is C3 A9; a search for the lone A9 byte lands inside it.
	std::string text = "\xc3\xa9 \xa9";
	EXPECT_EQ(3, find_next(text, "\xa9", 0));
	EXPECT_EQ(3, find_next(text, "\xa9", 3));
	// Only inside: a search that ends inside a character is skipped too.
	EXPECT_EQ(-1, find_next("\xe2\x82\xac", "\xe2\x82", 0));
	// A lead byte without its continuation bytes is no character, so
	// the bytes around it are boundaries.
	EXPECT_EQ(1, find_next("\xe2\xa9x\xa9", "\xa9", 0));
	EXPECT_TRUE(TextMatcher::IsCharBoundary("\xe2\xa9x", 3, 1));
	EXPECT_FALSE(TextMatcher::IsCharBoundary("\xe2\x82\xac", 3, 2));
	// Overlong forms and surrogates are not well-formed either.
	EXPECT_TRUE(TextMatcher::IsCharBoundary("\xc0\x80", 2, 1));
	EXPECT_TRUE(TextMatcher::IsCharBoundary("\xed\xa0\x80", 3, 1));
	EXPECT_FALSE(TextMatcher::IsCharBoundary("\xf0\x9f\x98\x80", 4, 3));
	EXPECT_TRUE(TextMatcher::IsCharBoundary("\xf4\x90\x80\x80", 4, 2));
}


TEST(TextMatcherTest, ReplaceAllVisitsEachOccurrenceOnce)
{
	EXPECT_EQ((std::vector<int32>{ 1, 2, 0 }), visit_order("aaa", "a", 0));
	EXPECT_EQ((std::vector<int32>{ 0, 1, 2 }), visit_order("aaa", "a", 3));
	// Not overlapping: aa in aaaa from 0 takes 1-3 and then nothing, as
	// 0-2 overlaps the replacement ahead.
	EXPECT_EQ((std::vector<int32>{ 1 }), visit_order("aaaa", "aa", 0));
	EXPECT_EQ((std::vector<int32>{ 0, 2 }), visit_order("aaaa", "aa", 4));
	EXPECT_EQ((std::vector<int32>{ 3, 0 }), visit_order("abcabc", "abc", 0));
	EXPECT_EQ((std::vector<int32>{ 6, 0, 3 }),
		visit_order("abcabcabc", "abc", 4));
	EXPECT_TRUE(visit_order("abc", "x", 1).empty());
	EXPECT_TRUE(visit_order("abc", "", 1).empty());

	// A million occurrences in one pass.
	std::string big(3000000, 'x');
	std::vector<int32> ascending;
	int32 wrapped;
	ASSERT_EQ(B_OK, TextMatcher("xxx").FindAll(big.data(),
		(int32)big.size(), 0, ascending, wrapped));
	ASSERT_EQ(999999u, ascending.size());
	EXPECT_EQ(0, wrapped);
	EXPECT_EQ(1, ascending.front());
	EXPECT_EQ(2999995, ascending.back());
}
