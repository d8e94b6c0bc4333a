/*
 * Many ranges replaced at once, without a view:
 * - a splice builds the span between its first and last range with the
 *   new bytes in place, for one shared replacement or a piece per range,
 *   and a splice and its inverse give back the exact bytes; a part of a
 *   splice finds its ranges in the text that the parts before it left;
 * - Check() refuses no ranges, negative lengths, descending or
 *   overlapping ranges, ranges past the text and two empty ranges at one
 *   offset;
 * - the undo history keeps a step of many ranges as one step, counts its
 *   bytes and offsets against its cap and drops the redo side for it.
 */
#include "RangeSplice.h"
#include "UndoBuffer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using BPrivate::RangeSplice;
using BPrivate::UndoBuffer;
using BPrivate::UndoStep;


TEST(RangeSpliceTest, BuildsTheSpanAndItsInverse)
{
	std::string text = "<a cat and a cat sat>";
	std::vector<int32> offsets = { 3, 13 };
	RangeSplice forward(offsets.data(), 2, 0, 3, "tiger", 5);
	ASSERT_EQ(B_OK, forward.Check((int32)text.size()));
	EXPECT_EQ(3, forward.SpanStart());
	EXPECT_EQ(16, forward.SpanEnd());
	EXPECT_EQ(17, forward.NewSpanLength());

	std::string span;
	ASSERT_EQ(B_OK, forward.Build(text.data(), 0, span));
	EXPECT_EQ("tiger and a tiger", span);
	std::string old;
	ASSERT_EQ(B_OK, forward.CopyOldBytes(text.data(), old));
	EXPECT_EQ("catcat", old);

	// The inverse reads the ranges where the splice put them, here from
	// a block that holds only the span.
	RangeSplice backward = RangeSplice::WithPieces(offsets.data(), 2, 2, 5,
		old.data(), 3);
	ASSERT_EQ(B_OK, backward.Check(3 + (int32)span.size()));
	EXPECT_EQ(13 + 2, backward.Start(1));
	std::string back;
	ASSERT_EQ(B_OK, backward.Build(span.data(), 3, back));
	EXPECT_EQ(text.substr(3, 13), back);

	// Parts: the second range once the first has grown by two bytes.
	RangeSplice second = forward.Part(1, 1);
	EXPECT_EQ(15, second.SpanStart());
	std::string grown = "<a tiger and a cat sat>";
	ASSERT_EQ(B_OK, second.Build(grown.data(), 0, span));
	EXPECT_EQ("tiger", span);
	// Undoing the first range shrank the text by two before the second.
	RangeSplice backSecond = backward.Part(1, 1);
	EXPECT_EQ(13, backSecond.SpanStart());
	EXPECT_EQ("cat", std::string(backSecond.NewBytes(0), 3));

	// Empty replacements and empty ranges.
	RangeSplice remove(offsets.data(), 2, 0, 3, NULL, 0);
	ASSERT_EQ(B_OK, remove.Build(text.data(), 0, span));
	EXPECT_EQ(" and a ", span);
	std::vector<int32> points = { 0, 21 };
	RangeSplice insert(points.data(), 2, 0, 0, "|", 1);
	ASSERT_EQ(B_OK, insert.Check((int32)text.size()));
	ASSERT_EQ(B_OK, insert.Build(text.data(), 0, span));
	EXPECT_EQ("|" + text + "|", span);
}


TEST(RangeSpliceTest, CheckRefusesBadRanges)
{
	struct Case {
		std::vector<int32> offsets;
		int32 oldLength;
	};
	std::vector<Case> bad = {
		{ {}, 1 },			// no range
		{ { 0 }, -1 },		// negative length
		{ { 4, 2 }, 1 },	// descending
		{ { 0, 1 }, 2 },	// overlapping
		{ { -1 }, 1 },		// before the text
		{ { 9 }, 2 },		// past its end
		{ { 3, 3 }, 0 },	// two insertions at one offset
	};
	for (const Case& test : bad) {
		RangeSplice splice(test.offsets.data(), (int32)test.offsets.size(),
			0, test.oldLength, "x", 1);
		EXPECT_EQ(B_BAD_VALUE, splice.Check(10)) << test.offsets.size();
	}
	std::vector<int32> touching = { 0, 2, 8 };
	EXPECT_EQ(B_OK, RangeSplice(touching.data(), 3, 0, 2, "x", 1).Check(10));
	EXPECT_EQ(B_BAD_VALUE,
		RangeSplice(touching.data(), 3, 0, 2, NULL, 1).Check(10));
}


TEST(RangeSpliceTest, TheHistoryKeepsRangesAsOneStep)
{
	UndoBuffer undo;
	ASSERT_EQ(B_OK, undo.RecordEdit(BPrivate::UNDO_OTHER, 0, NULL, 0, "abc",
		3, 0, 0, 3, 3));
	// Undone, so that recording drops it from the redo side.
	ASSERT_NE((const UndoStep*)NULL, undo.Undo());

	EXPECT_EQ(B_BAD_VALUE, undo.RecordRanges({}, 1, "", "x", 0, 0, 0, 0));
	EXPECT_EQ(B_BAD_VALUE, undo.RecordRanges({ 1, 5 }, 2, "abc", "x", 0, 0,
		0, 0));
	ASSERT_EQ(B_OK, undo.RecordRanges({ 1, 5 }, 2, "abcd", "xyz", 7, 8, 6,
		9));
	EXPECT_EQ(1, undo.CountSteps());
	EXPECT_FALSE(undo.CanRedo());
	EXPECT_EQ(4 + 3 + 2 * (int64)sizeof(int32), undo.BytesHeld());

	const UndoStep* step = undo.Undo();
	ASSERT_NE((const UndoStep*)NULL, step);
	EXPECT_TRUE(step->HasRanges());
	EXPECT_EQ((std::vector<int32>{ 1, 5 }), step->Ranges());
	EXPECT_EQ(2, step->RangeLength());
	EXPECT_EQ("abcd", step->Removed());
	EXPECT_EQ("xyz", step->Inserted());
	int32 start;
	int32 end;
	step->SelectionBefore(start, end);
	EXPECT_EQ(7, start);
	EXPECT_EQ(8, end);
	step->SelectionAfter(start, end);
	EXPECT_EQ(6, start);
	EXPECT_EQ(9, end);

	// Typing after it starts a step of its own rather than joining it.
	undo.Redo();
	ASSERT_EQ(B_OK, undo.RecordTyping(9, NULL, 0, "q", 1, 9, 9));
	EXPECT_EQ(2, undo.CountSteps());

	// Over the cap, the ranges step goes like any other, but the newest
	// is kept however large.
	undo.SetLimits(10, 1);
	EXPECT_EQ(1, undo.CountSteps());
	EXPECT_FALSE(undo.NextUndo()->HasRanges());
}
