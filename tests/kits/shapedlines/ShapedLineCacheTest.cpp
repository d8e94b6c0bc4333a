/*
 * ShapedLineCache against a model, a map of starts to ends that follows
 * the header's rules in the plainest way:
 * - random stores, look-ups, edits and clears at several capacities keep
 *   exactly the model's lines, each found only with its own end, never
 *   more than the capacity, the line just stored always among them, and
 *   every kept line's clusters moved with its start;
 * - scrolling down stores line after line and keeps the window of the
 *   last ones; scrolling back up keeps the first ones instead;
 * - a table of edits before, inside and after the kept lines, and at the
 *   end of a paragraph, shows which lines stay, go and move.
 */
#include "ShapedLineCache.h"

#include <gtest/gtest.h>

#include <iterator>
#include <map>
#include <memory>
#include <random>

using BPrivate::ShapedLineCache;
using BPrivate::VisualCluster;
using BPrivate::shaped_line;

namespace {

typedef std::map<int32, int32> Model;


// A line with one cluster over its first byte, so that a shift shows in
// its clusters as well as its ends.
std::unique_ptr<shaped_line>
make_line(int32 start, int32 end)
{
	std::unique_ptr<shaped_line> line(new shaped_line(start, end));
	line->visual.Add(VisualCluster{start, 1, 0, 10, false});
	return line;
}


// The line the model forgets past its capacity: of its first and last,
// the one farther from start; the last one when both are as far.
void
model_trim(Model& model, size_t capacity, int32 start)
{
	while (model.size() > capacity) {
		int32 first = model.begin()->first;
		int32 last = model.rbegin()->first;
		if (start - first > last - start)
			model.erase(first);
		else
			model.erase(last);
	}
}


void
model_shift(Model& model, int32 from, int32 oldTo, int32 newTo,
	int32 paragraphEnd)
{
	int32 delta = newTo - oldTo;
	Model shifted;
	for (const auto& line : model) {
		if (line.second < from)
			shifted[line.first] = line.second;
		else if (line.first > oldTo && line.first + delta > paragraphEnd)
			shifted[line.first + delta] = line.second + delta;
	}
	model.swap(shifted);
}


void
expect_matches(const ShapedLineCache& cache, const Model& model)
{
	ASSERT_EQ(cache.CountLines(), model.size());
	for (const auto& line : model) {
		const shaped_line* found = cache.Find(line.first, line.second);
		ASSERT_NE(found, nullptr) << "line at " << line.first;
		EXPECT_EQ(found->end, line.second);
		EXPECT_EQ(found->visual.Start(), line.first);
		int32 start;
		int32 end;
		ASSERT_TRUE(found->visual.ClusterAround(line.first, start, end));
		EXPECT_EQ(start, line.first);
		EXPECT_EQ(cache.Find(line.first, line.second + 1), nullptr);
	}
}

}	// namespace


TEST(ShapedLineCacheTest, FollowsTheModelThroughRandomOperations)
{
	for (size_t capacity : {1, 2, 5, 16}) {
		SCOPED_TRACE(capacity);
		std::mt19937 random(capacity);
		ShapedLineCache cache(capacity);
		Model model;
		int64 stored = 0;
		for (int step = 0; step < 3000; step++) {
			int choice = random() % 20;
			if (choice < 12) {
				int32 start = random() % 400;
				int32 end = start + 1 + random() % 30;
				const shaped_line* line = cache.Store(make_line(start, end));
				stored++;
				model[start] = end;
				model_trim(model, capacity, start);
				ASSERT_EQ(cache.Find(start, end), line);
			} else if (choice < 16) {
				int32 start = random() % 400;
				auto kept = model.find(start);
				const shaped_line* found = cache.Find(start,
					kept != model.end() ? kept->second : start + 1);
				EXPECT_EQ(found != nullptr, kept != model.end());
			} else if (choice < 19) {
				int32 from = random() % 400;
				int32 oldTo = from + random() % 20;
				int32 newTo = from + random() % 20;
				int32 paragraphEnd = newTo + random() % 40;
				cache.TextShifted(from, oldTo, newTo, paragraphEnd);
				model_shift(model, from, oldTo, newTo, paragraphEnd);
			} else {
				cache.Clear();
				model.clear();
			}
			ASSERT_LE(cache.CountLines(), capacity);
			ASSERT_NO_FATAL_FAILURE(expect_matches(cache, model))
				<< "after step " << step;
		}
		EXPECT_EQ(cache.LinesStored(), stored);
	}
}


TEST(ShapedLineCacheTest, KeepsTheLinesNearTheLastOneStored)
{
	const int32 kLines = 40;
	const size_t kCapacity = 8;
	struct {
		const char*	name;
		bool		down;
	} cases[] = {
		{ "scrolling down", true },
		{ "scrolling up", false },
	};
	for (const auto& scroll : cases) {
		SCOPED_TRACE(scroll.name);
		ShapedLineCache cache(kCapacity);
		for (int32 n = 0; n < kLines; n++) {
			int32 line = scroll.down ? n : kLines - 1 - n;
			cache.Store(make_line(line * 10, line * 10 + 10));
		}
		ASSERT_EQ(cache.CountLines(), kCapacity);
		for (int32 line = 0; line < kLines; line++) {
			bool near = scroll.down ? line >= kLines - (int32)kCapacity
				: line < (int32)kCapacity;
			EXPECT_EQ(cache.Find(line * 10, line * 10 + 10) != nullptr, near)
				<< "line " << line;
		}
	}
}


TEST(ShapedLineCacheTest, EditsForgetTheLinesTheyTouchAndMoveTheRest)
{
	// Lines of ten bytes at 0, 10, 20, 30 and 40; each case gives the
	// lines kept afterwards, where they are then.
	struct {
		const char*	name;
		int32		from;
		int32		oldTo;
		int32		newTo;
		int32		paragraphEnd;
		Model		kept;
	} cases[] = {
		{ "typing in the last line", 45, 45, 46, 51,
			{{0, 10}, {10, 20}, {20, 30}, {30, 40}} },
		{ "typing in the first line, a paragraph of its own", 5, 5, 7, 11,
			{{12, 22}, {22, 32}, {32, 42}, {42, 52}} },
		{ "a paragraph on to the fourth line forgets its lines", 5, 5, 6, 31,
			{{41, 51}} },
		{ "a deletion over two lines, in a paragraph to the fourth",
			12, 25, 12, 19, {{0, 10}, {27, 37}} },
		{ "an edit at a line's end touches it", 10, 10, 11, 15,
			{{21, 31}, {31, 41}, {41, 51}} },
		{ "an edit past every line", 60, 60, 70, 80,
			{{0, 10}, {10, 20}, {20, 30}, {30, 40}, {40, 50}} },
	};
	for (const auto& edit : cases) {
		SCOPED_TRACE(edit.name);
		ShapedLineCache cache;
		Model model;
		for (int32 start = 0; start < 50; start += 10) {
			cache.Store(make_line(start, start + 10));
			model[start] = start + 10;
		}
		cache.TextShifted(edit.from, edit.oldTo, edit.newTo,
			edit.paragraphEnd);
		model_shift(model, edit.from, edit.oldTo, edit.newTo,
			edit.paragraphEnd);
		EXPECT_EQ(model, edit.kept);
		expect_matches(cache, edit.kept);
	}
}
