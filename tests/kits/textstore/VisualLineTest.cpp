/*
 * VisualLine: the caret, hit testing and selection of a line whose
 * clusters are displayed out of the order of the text. The line here is
 * "ab" left to right, then "CD" right to left (so D stands left of C),
 * then "e": offsets 0..4, each 10 pixels wide, and it ends at 5.
 */
#include "VisualLine.h"

#include <gtest/gtest.h>

using BPrivate::VisualCluster;
using BPrivate::VisualLine;

namespace {

VisualLine
mixed_line()
{
	VisualLine line(0, 5);
	// Added in display order, as a layout gives them.
	line.Add(VisualCluster{0, 1, 0, 10, false});
	line.Add(VisualCluster{1, 1, 10, 10, false});
	line.Add(VisualCluster{3, 1, 20, 10, true});
	line.Add(VisualCluster{2, 1, 30, 10, true});
	line.Add(VisualCluster{4, 1, 40, 10, false});
	return line;
}

}	// namespace


TEST(VisualLineTest, CaretStandsAtTheLeadingEdgeOfItsCluster)
{
	VisualLine line = mixed_line();
	EXPECT_EQ(0, line.CaretX(0));
	EXPECT_EQ(10, line.CaretX(1));
	// Right to left: a cluster starts at its right edge.
	EXPECT_EQ(40, line.CaretX(2));
	EXPECT_EQ(30, line.CaretX(3));
	EXPECT_EQ(40, line.CaretX(4));
	EXPECT_EQ(50, line.CaretX(5));

	// At the end, after a right-to-left cluster: its trailing (left) edge.
	VisualLine ending(0, 2);
	ending.Add(VisualCluster{1, 1, 0, 10, true});
	ending.Add(VisualCluster{0, 1, 10, 10, true});
	EXPECT_EQ(20, ending.CaretX(0));
	EXPECT_EQ(0, ending.CaretX(2));
}


TEST(VisualLineTest, HitTestingTakesTheNearerEdge)
{
	VisualLine line = mixed_line();
	EXPECT_EQ(0, line.OffsetAt(2));
	EXPECT_EQ(1, line.OffsetAt(8));
	// Over D (offset 3, at 20..30): its right half is its start.
	EXPECT_EQ(3, line.OffsetAt(27));
	EXPECT_EQ(4, line.OffsetAt(22));
	// Over C (offset 2, at 30..40).
	EXPECT_EQ(2, line.OffsetAt(38));
	EXPECT_EQ(3, line.OffsetAt(31));
	EXPECT_EQ(5, line.OffsetAt(48));
	// Beyond the ends.
	EXPECT_EQ(0, line.OffsetAt(-5));
	EXPECT_EQ(5, line.OffsetAt(90));

	// A right-to-left line: its left end is the end of its text.
	VisualLine rtl(0, 2);
	rtl.Add(VisualCluster{1, 1, 0, 10, true});
	rtl.Add(VisualCluster{0, 1, 10, 10, true});
	EXPECT_EQ(2, rtl.OffsetAt(-1));
	EXPECT_EQ(0, rtl.OffsetAt(25));
	EXPECT_EQ(7, VisualLine(7, 7).OffsetAt(3));
}


TEST(VisualLineTest, HitTestingWhereTheDirectionChangesAtATab)
{
	// A right-to-left paragraph "S", a tab, "abc": S at the right, the
	// tab (at the paragraph's level) left of it, "abc" at the left.
	VisualLine line(0, 5);
	line.Add(VisualCluster{0, 1, 60, 10, true});
	line.Add(VisualCluster{1, 1, 30, 30, true});
	line.Add(VisualCluster{2, 1, 0, 10, false});
	line.Add(VisualCluster{3, 1, 10, 10, false});
	line.Add(VisualCluster{4, 1, 20, 10, false});
	ASSERT_EQ(30, line.CaretX(5));
	ASSERT_EQ(0, line.CaretX(2));
	// The tab's right half is its start, at its right edge.
	EXPECT_EQ(1, line.OffsetAt(55));
	// Its left half touches "c": the end of the text stands there, not
	// the start of "abc" that follows the tab in the text.
	EXPECT_EQ(5, line.OffsetAt(35));
	EXPECT_EQ(5, line.OffsetAt(27));
	EXPECT_EQ(4, line.OffsetAt(22));
	EXPECT_EQ(2, line.OffsetAt(3));
	// S's left half: its trailing edge, where the tab starts.
	EXPECT_EQ(1, line.OffsetAt(62));
	EXPECT_EQ(0, line.OffsetAt(68));
}


TEST(VisualLineTest, SelectionAcrossADirectionChangeCoversItsClusters)
{
	VisualLine line = mixed_line();
	VisualLine::Spans spans;
	// "b" and "C": C stands right of D, so the two lie apart.
	line.SelectionSpans(1, 3, spans);
	ASSERT_EQ(2u, spans.size());
	EXPECT_EQ(10, spans[0].first);
	EXPECT_EQ(20, spans[0].second);
	EXPECT_EQ(30, spans[1].first);
	EXPECT_EQ(40, spans[1].second);

	// "CDe" together is one stretch.
	line.SelectionSpans(2, 5, spans);
	ASSERT_EQ(1u, spans.size());
	EXPECT_EQ(20, spans[0].first);
	EXPECT_EQ(50, spans[0].second);

	line.SelectionSpans(3, 3, spans);
	EXPECT_TRUE(spans.empty());

	// The glyphs of one cluster join into one.
	VisualLine pieces(0, 3);
	pieces.Add(VisualCluster{0, 3, 12, 3, true});
	pieces.Add(VisualCluster{0, 3, 5, 7, true});
	EXPECT_EQ(15, pieces.CaretX(0));
	EXPECT_EQ(5, pieces.CaretX(3));
	pieces.SelectionSpans(0, 3, spans);
	ASSERT_EQ(1u, spans.size());
	EXPECT_EQ(5, spans[0].first);
	EXPECT_EQ(15, spans[0].second);
}


// A cluster drawn as one glyph over several characters (a conjunct): the
// offsets inside it belong to it, and an edit before the line moves it.
TEST(VisualLineTest, ClustersOfSeveralCharactersAndShifting)
{
	VisualLine line(10, 19);
	line.Add(VisualCluster{10, 9, 0, 14, false});
	int32 start;
	int32 end;
	ASSERT_TRUE(line.ClusterAround(16, start, end));
	EXPECT_EQ(10, start);
	EXPECT_EQ(19, end);
	EXPECT_FALSE(line.ClusterAround(19, start, end));
	EXPECT_EQ(14, line.CaretX(19));

	line.Shift(-4);
	ASSERT_TRUE(line.ClusterAround(6, start, end));
	EXPECT_EQ(6, start);
	EXPECT_EQ(15, end);
	EXPECT_EQ(0, line.CaretX(6));
	EXPECT_EQ(14, line.CaretX(15));
	EXPECT_EQ(15, line.OffsetAt(100));
}
