/*
 * GapMoves: the gap array moves that TextBuffer and LineIndex share.
 *
 * Cases, for bytes and for line starts alike:
 * - moving the gap anywhere (left, right, to the same place, to either
 *   end) keeps the elements and their order, and leaves the gap at the
 *   new place;
 * - widening the gap of a grown block keeps the elements and their
 *   order, with the gap as long as asked.
 */
#include "GapMoves.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

using BPrivate::move_gap;
using BPrivate::widen_gap;

namespace {

// The elements of a block without its gap, in order.
template<typename T>
std::vector<T>
without_gap(const std::vector<T>& block, int32 gapStart, int32 gapLength)
{
	std::vector<T> elements(block.begin(), block.begin() + gapStart);
	elements.insert(elements.end(), block.begin() + gapStart + gapLength,
		block.end());
	return elements;
}


template<typename T>
class GapMovesTest : public testing::Test {
};

typedef testing::Types<char, int32> ElementTypes;
TYPED_TEST_SUITE(GapMovesTest, ElementTypes);

}	// namespace


TYPED_TEST(GapMovesTest, MovesKeepTheElementsInOrder)
{
	std::mt19937 random(23);
	for (int round = 0; round < 500; round++) {
		int32 count = (int32)(random() % 40);
		int32 gapLength = (int32)(random() % 8);
		int32 gapStart = count == 0 ? 0 : (int32)(random() % (count + 1));
		std::vector<TypeParam> block(count + gapLength);
		for (size_t i = 0; i < block.size(); i++)
			block[i] = (TypeParam)(random() % 100 + 1);
		std::vector<TypeParam> elements = without_gap(block, gapStart,
			gapLength);

		SCOPED_TRACE(testing::Message() << "round " << round);
		int32 to = (int32)(random() % (count + 1));
		move_gap(block.data(), gapStart, gapLength, to);
		EXPECT_EQ(elements, without_gap(block, to, gapLength));

		int32 newGapLength = gapLength + (int32)(random() % 8);
		block.resize(count + newGapLength);
		widen_gap(block.data(), to, gapLength, newGapLength, count - to);
		EXPECT_EQ(elements, without_gap(block, to, newGapLength));
	}
}
