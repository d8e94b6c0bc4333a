/*
 * GraphemeBreak: cluster boundaries in UTF-8.
 *
 * Cases:
 * - the clusters users meet: a letter with combining marks, CR LF, Hangul
 *   jamo, emoji with skin tones, ZWJ families, flags in a row (pairs, not
 *   a flag that straddles two), Devanagari with spacing marks and virama,
 *   a prepended mark;
 * - random mixes of these pieces agree with ICU's character break
 *   iterator at every offset, through all four functions;
 * - bytes that are not UTF-8 and control characters are clusters of
 *   their own, and a mark after them stands alone;
 * - Backspace takes the last mark off a letter and whole emoji, flags
 *   and CR LF;
 * - a run of marks longer than the look-behind still moves forward.
 */
#include "GraphemeBreak.h"

#include <gtest/gtest.h>

#include <unicode/brkiter.h>
#include <unicode/unistr.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

using namespace BPrivate;

namespace {

// Every boundary that walking forward with NextGraphemeBoundary visits.
std::vector<int32>
forward_stops(const std::string& text)
{
	std::vector<int32> stops = {0};
	int32 length = (int32)text.size();
	for (int32 at = 0; at < length;) {
		int32 next = NextGraphemeBoundary(text.data(), length, at);
		if (next <= at)
			break;
		stops.push_back(at = next);
	}
	return stops;
}


// The boundaries ICU's own iterator finds, as UTF-8 offsets.
std::vector<int32>
icu_stops(const std::string& text)
{
	UErrorCode status = U_ZERO_ERROR;
	std::unique_ptr<icu::BreakIterator> iterator(
		icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(),
			status));
	EXPECT_TRUE(U_SUCCESS(status));
	icu::UnicodeString unicode = icu::UnicodeString::fromUTF8(text);
	iterator->setText(unicode);
	// Map UTF-16 indices back to byte offsets.
	std::vector<int32> byteAt(unicode.length() + 1, 0);
	int32 bytes = 0;
	for (int32 i = 0; i < unicode.length();) {
		UChar32 c = unicode.char32At(i);
		byteAt[i] = bytes;
		bytes += c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
		i += U16_LENGTH(c);
	}
	byteAt[unicode.length()] = bytes;
	std::vector<int32> stops;
	for (int32 at = iterator->first(); at != icu::BreakIterator::DONE;
			at = iterator->next())
		stops.push_back(byteAt[at]);
	return stops;
}


std::vector<int32>
stops_of(std::initializer_list<int32> list)
{
	return std::vector<int32>(list);
}

}	// namespace


TEST(GraphemeBreakTest, ClustersUsersMeet)
{
	// e + COMBINING ACUTE + COMBINING DOT BELOW, then x.
	EXPECT_EQ(stops_of({0, 5, 6}), forward_stops("e\xcc\x81\xcc\xa3x"));
	EXPECT_EQ(stops_of({0, 1, 3, 4}), forward_stops("a\r\nb"));
	// Hangul jamo L V T form one syllable; a precomposed LV takes a T.
	EXPECT_EQ(stops_of({0, 9, 15}), forward_stops(
		"\xe1\x84\x80\xe1\x85\xa1\xe1\x86\xa8\xea\xb0\x80\xe1\x86\xa8"));
	// Thumbs up with a skin tone, then a family of three joined by ZWJ.
	std::string family = "\xf0\x9f\x91\xa8\xe2\x80\x8d\xf0\x9f\x91\xa9"
		"\xe2\x80\x8d\xf0\x9f\x91\xa7";
	EXPECT_EQ(stops_of({0, 8, 26}),
		forward_stops("\xf0\x9f\x91\x8d\xf0\x9f\x8f\xbd" + family));
	// A ZWJ after a letter joins nothing that follows.
	EXPECT_EQ(stops_of({0, 4, 8}),
		forward_stops("a\xe2\x80\x8d\xf0\x9f\x91\xa9"));
	// Three regional indicators: one flag and a lone indicator; the
	// boundary between the second and third is there from any side.
	std::string flags = "\xf0\x9f\x87\xa9\xf0\x9f\x87\xaa\xf0\x9f\x87\xab";
	EXPECT_EQ(stops_of({0, 8, 12}), forward_stops(flags));
	EXPECT_EQ(8, PreviousGraphemeBoundary(flags.data(), 12, 12));
	EXPECT_EQ(0, PreviousGraphemeBoundary(flags.data(), 12, 8));
	EXPECT_FALSE(IsGraphemeBoundary(flags.data(), 12, 4));
	EXPECT_EQ(0, GraphemeStart(flags.data(), 12, 6));
	// Devanagari KA + VIRAMA + SSA + VOWEL SIGN I (a spacing mark).
	EXPECT_EQ(stops_of({0, 6, 12}), forward_stops(
		"\xe0\xa4\x95\xe0\xa5\x8d\xe0\xa4\xb7\xe0\xa4\xbf"));
	// ARABIC NUMBER SIGN is prepended to what follows.
	EXPECT_EQ(stops_of({0, 3, 4}), forward_stops("\xd8\x80" "1" "2"));
}


TEST(GraphemeBreakTest, AgreesWithICUOnRandomText)
{
	static const char* kPieces[] = {"a", "Z", " ", "\r", "\n", "\t",
		"\xcc\x81", "\xcc\xa3", "\xc3\xa9", "\xe2\x80\x8d", "\xef\xb8\x8f",
		"\xf0\x9f\x91\xa9", "\xf0\x9f\x8f\xbd", "\xe2\x9d\xa4",
		"\xf0\x9f\x87\xa9", "\xf0\x9f\x87\xaa", "\xe1\x84\x80",
		"\xe1\x85\xa1", "\xe1\x86\xa8", "\xea\xb0\x80", "\xea\xb0\x81",
		"\xe0\xa4\x95", "\xe0\xa5\x8d", "\xe0\xa4\xbf", "\xd8\x80",
		"\xd7\xa9", "\xd8\xb3", "\xe4\xb8\xad"};
	const int32 kCount = sizeof(kPieces) / sizeof(kPieces[0]);
	std::mt19937 random(19);
	for (int32 round = 0; round < 300; round++) {
		std::string text;
		for (int32 i = 0; i < 24; i++)
			text += kPieces[random() % kCount];
		SCOPED_TRACE(round);
		std::vector<int32> expected = icu_stops(text);
		ASSERT_EQ(expected, forward_stops(text));

		int32 length = (int32)text.size();
		std::vector<bool> isStop(length + 1, false);
		for (int32 stop : expected)
			isStop[stop] = true;
		// The last stop at or before each offset, and the last one
		// strictly before it.
		int32 atOrBefore = 0;
		int32 strictlyBefore = 0;
		for (int32 at = 0; at <= length; at++) {
			if (isStop[at])
				atOrBefore = at;
			ASSERT_EQ((bool)isStop[at],
				IsGraphemeBoundary(text.data(), length, at)) << at;
			ASSERT_EQ(atOrBefore, GraphemeStart(text.data(), length, at));
			ASSERT_EQ(strictlyBefore,
				PreviousGraphemeBoundary(text.data(), length, at)) << at;
			if (at < length) {
				int32 next = at + 1;
				while (!isStop[next])
					next++;
				ASSERT_EQ(next, NextGraphemeBoundary(text.data(), length, at));
			}
			if (isStop[at])
				strictlyBefore = at;
		}
		// Walking back visits the same stops.
		std::vector<int32> backward = {length};
		for (int32 at = length; at > 0;) {
			at = PreviousGraphemeBoundary(text.data(), length, at);
			backward.insert(backward.begin(), at);
		}
		ASSERT_EQ(expected, backward);
	}
}


TEST(GraphemeBreakTest, InvalidBytesAndControlsStandAlone)
{
	// A stray continuation byte, a truncated sequence and a NUL, each
	// followed by a combining mark that then stands on its own.
	std::string text = std::string("\x80\xcc\x81" "\xe2\x82\xcc\x81", 7)
		+ std::string("\0\xcc\x81", 3);
	EXPECT_EQ(stops_of({0, 1, 3, 4, 5, 7, 8, 10}), forward_stops(text));
	// The invalid byte still breaks from the letter before it.
	EXPECT_EQ(stops_of({0, 1, 2}), forward_stops("e\xff"));
	// Offsets outside the text are clamped, and an empty text has one
	// boundary.
	EXPECT_EQ(3, GraphemeStart("e\xcc\x81", 3, 99));
	EXPECT_EQ(0, PreviousGraphemeBoundary("e\xcc\x81", 3, -5));
	EXPECT_EQ(0, NextGraphemeBoundary("", 0, 0));
	EXPECT_TRUE(IsGraphemeBoundary("", 0, 0));
}


TEST(GraphemeBreakTest, BackspaceTakesTheLastMarkOrTheWholeCluster)
{
	// e + acute + dot below: the dot goes, then the acute, then the e.
	const char* marks = "xe\xcc\x81\xcc\xa3";
	EXPECT_EQ(4, GraphemeBackspaceStart(marks, 6, 6));
	EXPECT_EQ(2, GraphemeBackspaceStart(marks, 4, 4));
	EXPECT_EQ(1, GraphemeBackspaceStart(marks, 2, 2));
	// From inside the cluster, Backspace works on the cluster before it.
	EXPECT_EQ(0, GraphemeBackspaceStart(marks, 6, 3));
	// Devanagari: the vowel sign goes alone.
	EXPECT_EQ(3, GraphemeBackspaceStart(
		"\xe0\xa4\x95\xe0\xa4\xbf", 6, 6));
	// Emoji with a skin tone, a family, a flag, a keycap and CR LF go
	// whole.
	EXPECT_EQ(1, GraphemeBackspaceStart("a\xf0\x9f\x91\x8d\xf0\x9f\x8f\xbd",
		9, 9));
	EXPECT_EQ(0, GraphemeBackspaceStart("\xf0\x9f\x91\xa8\xe2\x80\x8d"
		"\xf0\x9f\x91\xa9", 11, 11));
	EXPECT_EQ(0, GraphemeBackspaceStart("\xf0\x9f\x87\xa9\xf0\x9f\x87\xaa",
		8, 8));
	EXPECT_EQ(0, GraphemeBackspaceStart("1\xef\xb8\x8f\xe2\x83\xa3", 7, 7));
	EXPECT_EQ(1, GraphemeBackspaceStart("a\r\n", 3, 3));
	EXPECT_EQ(0, GraphemeBackspaceStart("abc", 3, 0));
}


TEST(GraphemeBreakTest, LongRunsOfMarksStillMove)
{
	std::string text = "a";
	for (int32 i = 0; i < 3 * kGraphemeLookBehind; i++)
		text += "\xcc\x81";
	text += "b";
	int32 length = (int32)text.size();
	std::vector<int32> stops = forward_stops(text);
	// The walk ends at the end, each step moves forward and none lands
	// inside a mark.
	ASSERT_EQ(length, stops.back());
	for (size_t i = 1; i < stops.size(); i++) {
		EXPECT_GT(stops[i], stops[i - 1]);
		EXPECT_TRUE(stops[i] == length || stops[i] % 2 == 1) << stops[i];
	}
	EXPECT_EQ(length - 1, PreviousGraphemeBoundary(text.data(), length,
		length));
}
