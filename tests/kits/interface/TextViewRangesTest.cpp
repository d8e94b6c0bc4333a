/*
 * BTextView::ReplaceRanges, without a window:
 * - the ranges are replaced through the hooks in one deletion and one
 *   insertion for each megabyte or so, the last range's new bytes are
 *   selected, and one undo brings
 *   back the exact bytes and selection, one redo the result again, with
 *   longer, shorter and empty replacements and NUL bytes;
 * - ranges that overlap, leave the text, split a UTF-8 character or
 *   would pass MaxBytes() change nothing and leave the undo history as
 *   it was;
 * - when a hook refuses an insertion after its deletion went through,
 *   the old bytes are put back, the pieces done before are undone, and
 *   nothing is recorded;
 * - a million ranges in a 3 MB text replace and undo as one step each.
 */
#include <AppDefs.h>
#include <Message.h>
#include <TextView.h>

#include <gtest/gtest.h>

#include <stdlib.h>

#include <string>
#include <vector>

namespace {

// Refuses the insertions it is told to refuse; counts the hook calls.
class SplicedTextView : public BTextView {
public:
	SplicedTextView()
		: BTextView(BRect(0, 0, 199, 99), "text", BRect(0, 0, 999, 10),
			B_FOLLOW_ALL_SIDES, B_WILL_DRAW) {}

	int32 fInsertions = 0;
	int32 fDeletions = 0;
	// The insertion to refuse, counting from 1; 0 refuses none.
	int32 fRefuseInsertion = 0;

	std::string Bytes() const { return std::string(Text(), TextLength()); }
	std::pair<int32, int32> Selection() const
	{
		int32 start;
		int32 end;
		GetSelection(&start, &end);
		return { start, end };
	}

protected:
	void InsertText(const char* text, int32 length, int32 offset,
		const text_run_array* runs) override
	{
		if (++fInsertions == fRefuseInsertion)
			return;
		BTextView::InsertText(text, length, offset, runs);
	}
	void DeleteText(int32 from, int32 to) override
	{
		fDeletions++;
		BTextView::DeleteText(from, to);
	}
};


class TextViewRangesTest : public ::testing::Test {
protected:
	void SetUp() override { setenv("KITS_DISPLAY", "offscreen", 1); }
};

}	// namespace


TEST_F(TextViewRangesTest, OneChangeOneUndoStep)
{
	struct Case {
		std::string text;
		std::vector<int32> offsets;
		int32 rangeLength;
		std::string replacement;
		std::string result;
		std::pair<int32, int32> selected;
	};
	std::vector<Case> cases = {
		{ "a cat, a cat", { 2, 9 }, 3, "lion", "a lion, a lion", { 10, 14 } },
		{ "aaa", { 0, 1, 2 }, 1, "", "", { 0, 0 } },
		{ std::string("x\0y\0z", 5), { 1, 3 }, 1, std::string("\0\0", 2),
			std::string("x\0\0y\0\0z", 7), { 4, 6 } },
		{ "one", { 3 }, 0, "!", "one!", { 3, 4 } },
	};
	for (const Case& test : cases) {
		SCOPED_TRACE(test.result);
		SplicedTextView view;
		view.SetText(test.text.data(), (int32)test.text.size());
		view.Select(1, 1);
		ASSERT_EQ(B_OK, view.ReplaceRanges(test.offsets.data(),
			(int32)test.offsets.size(), test.rangeLength,
			test.replacement.data(), (int32)test.replacement.size()));
		EXPECT_EQ(test.result, view.Bytes());
		EXPECT_EQ(test.selected, view.Selection());
		EXPECT_LE(view.fDeletions, 1);
		EXPECT_LE(view.fInsertions, 1);

		view.Undo(NULL);
		EXPECT_EQ(test.text, view.Bytes());
		EXPECT_EQ(std::make_pair(1, 1), view.Selection());
		view.Undo(NULL);
		EXPECT_EQ(test.text, view.Bytes()) << "one step only";

		BMessage redo(B_REDO);
		view.MessageReceived(&redo);
		EXPECT_EQ(test.result, view.Bytes());
		EXPECT_EQ(test.selected, view.Selection());
	}
}


TEST_F(TextViewRangesTest, BadRangesChangeNothing)
{
	SplicedTextView view;
	const char* text = "caf\xc3\xa9 au lait";
	view.SetText(text);
	view.Insert(0, ">", 1);
	std::string before = view.Bytes();

	std::vector<std::vector<int32>> bad = {
		{}, { 1, 2 }, { 3, 1 }, { -1 }, { (int32)before.size() - 1 },
		{ 5 },	// splits the "é"
	};
	for (const std::vector<int32>& offsets : bad) {
		EXPECT_EQ(B_BAD_VALUE, view.ReplaceRanges(offsets.data(),
			(int32)offsets.size(), 2, "xy", 2));
	}
	EXPECT_EQ(B_BAD_VALUE, view.ReplaceRanges(NULL, 1, 1, "x", 1));
	view.SetMaxBytes((int32)before.size());
	int32 one = 1;
	EXPECT_EQ(B_BAD_VALUE, view.ReplaceRanges(&one, 1, 1, "xx", 2));
	EXPECT_EQ(before, view.Bytes());
	EXPECT_EQ(0, view.fDeletions);

	// The history still ends with the insertion made before.
	view.Undo(NULL);
	EXPECT_EQ(text, view.Bytes());
}


TEST_F(TextViewRangesTest, ARefusedInsertionPutsTheOldBytesBack)
{
	SplicedTextView view;
	view.SetText("red fox, red hen");
	int32 offsets[] = { 0, 9 };
	view.fRefuseInsertion = 1;
	EXPECT_EQ(B_ERROR, view.ReplaceRanges(offsets, 2, 3, "blue", 4));
	EXPECT_EQ("red fox, red hen", view.Bytes());
	EXPECT_EQ(2, view.fInsertions);

	// Nothing was recorded: undo has nothing to take back.
	view.Undo(NULL);
	EXPECT_EQ("red fox, red hen", view.Bytes());

	// Ranges megabytes apart go in pieces; a refusal in the second piece
	// undoes the first too.
	std::string big(3 * 1024 * 1024, '.');
	big.replace(10, 3, "red");
	big.replace(big.size() - 10, 3, "red");
	view.SetText(big.data(), (int32)big.size());
	int32 far[] = { 10, (int32)big.size() - 10 };
	view.fInsertions = 0;
	view.fRefuseInsertion = 2;
	EXPECT_EQ(B_ERROR, view.ReplaceRanges(far, 2, 3, "blue", 4));
	EXPECT_EQ(4, view.fInsertions);
	EXPECT_TRUE(view.Bytes() == big);
}


TEST_F(TextViewRangesTest, AMillionRangesAreOneStep)
{
	std::string text;
	std::vector<int32> offsets;
	for (int32 i = 0; i < 1000000; i++) {
		offsets.push_back((int32)text.size() + 1);
		text += "-ab";
	}
	SplicedTextView view;
	view.SetText(text.data(), (int32)text.size());
	ASSERT_EQ(B_OK, view.ReplaceRanges(offsets.data(),
		(int32)offsets.size(), 2, "xyz", 3));
	EXPECT_EQ(4000000, view.TextLength());
	EXPECT_EQ("-xyz-xyz", view.Bytes().substr(0, 8));
	// A hook call for each megabyte or so.
	EXPECT_GE(view.fInsertions, 2);
	EXPECT_LE(view.fInsertions, 8);

	view.Undo(NULL);
	EXPECT_TRUE(view.Bytes() == text);
	BMessage redo(B_REDO);
	view.MessageReceived(&redo);
	EXPECT_EQ(4000000, view.TextLength());
	EXPECT_EQ(std::make_pair(3999997, 4000000), view.Selection());
}
