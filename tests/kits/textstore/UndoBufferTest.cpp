/*
 * UndoBuffer: undo and redo with typing coalesced.
 *
 * Cases:
 * - typing that continues itself is one step; a caret move, an edit of
 *   another kind, typing elsewhere or over a selection starts a new one;
 * - backspaces that continue each other are one step, as are forward
 *   deletes at one place; the bytes come back exactly (NUL and invalid
 *   UTF-8 included) with the selection from before;
 * - undo all then redo all gives back the edited text; a new edit clears
 *   redo;
 * - the depth and byte caps drop the oldest steps but keep the newest,
 *   even when it is larger than the byte cap, and never break redo;
 * - bad arguments are refused.
 */
#include "UndoBuffer.h"

#include <gtest/gtest.h>

#include <string>

using namespace BPrivate;

namespace {

// A text and a caret that edits are applied to, recording them as a text
// view would.
struct Editor {
	std::string		text;
	int32			selStart = 0;
	int32			selEnd = 0;
	UndoBuffer		undo;

	void Type(const std::string& bytes)
	{
		std::string removed = text.substr(selStart, selEnd - selStart);
		ASSERT_EQ(B_OK, undo.RecordTyping(selStart, removed.data(),
			(int32)removed.size(), bytes.data(), (int32)bytes.size(),
			selStart, selEnd));
		text.replace(selStart, selEnd - selStart, bytes);
		selStart = selEnd = selStart + (int32)bytes.size();
	}

	void Backspace(int32 count = 1)
	{
		std::string removed = text.substr(selStart - count, count);
		ASSERT_EQ(B_OK, undo.RecordDeletion(UNDO_BACKSPACE,
			selStart - count, removed.data(), count, selStart));
		text.erase(selStart - count, count);
		selStart = selEnd = selStart - count;
	}

	void Delete()
	{
		std::string removed = text.substr(selStart, 1);
		ASSERT_EQ(B_OK, undo.RecordDeletion(UNDO_FORWARD_DELETE, selStart,
			removed.data(), 1, selStart));
		text.erase(selStart, 1);
	}

	void Paste(const std::string& bytes)
	{
		std::string removed = text.substr(selStart, selEnd - selStart);
		int32 end = selStart + (int32)bytes.size();
		ASSERT_EQ(B_OK, undo.RecordEdit(UNDO_OTHER, selStart,
			removed.data(), (int32)removed.size(), bytes.data(),
			(int32)bytes.size(), selStart, selEnd, end, end));
		text.replace(selStart, selEnd - selStart, bytes);
		selStart = selEnd = end;
	}

	void MoveCaret(int32 start, int32 end)
	{
		selStart = start;
		selEnd = end;
		undo.BreakCoalescing();
	}

	bool Undo()
	{
		const UndoStep* step = undo.Undo();
		if (step == NULL)
			return false;
		text.replace(step->Offset(), step->Inserted().size(),
			step->Removed());
		step->SelectionBefore(selStart, selEnd);
		return true;
	}

	bool Redo()
	{
		const UndoStep* step = undo.Redo();
		if (step == NULL)
			return false;
		text.replace(step->Offset(), step->Removed().size(),
			step->Inserted());
		step->SelectionAfter(selStart, selEnd);
		return true;
	}
};

}	// namespace


TEST(UndoBufferTest, TypingCoalesces)
{
	Editor editor;
	editor.Type("h");
	editor.Type("e");
	editor.Type("\xc3\xa9");
	editor.Type("y");
	EXPECT_EQ(1, editor.undo.CountSteps());

	// A caret move breaks the run, even back to the same place.
	editor.MoveCaret(5, 5);
	editor.Type("!");
	EXPECT_EQ(2, editor.undo.CountSteps());

	// Typing elsewhere, without a reported move, does not join either.
	editor.MoveCaret(0, 0);
	editor.undo.BreakCoalescing();
	editor.Type(">");
	editor.Type(">");
	EXPECT_EQ(3, editor.undo.CountSteps());
	EXPECT_EQ(">>he\xc3\xa9y!", editor.text);

	// Typing over a selection is a step of its own and keeps the bytes it
	// replaced.
	editor.MoveCaret(2, 4);
	editor.Type("H");
	editor.Type("E");
	EXPECT_EQ(4, editor.undo.CountSteps());
	EXPECT_EQ(">>HE\xc3\xa9y!", editor.text);

	ASSERT_TRUE(editor.Undo());
	EXPECT_EQ(">>he\xc3\xa9y!", editor.text);
	EXPECT_EQ(2, editor.selStart);
	EXPECT_EQ(4, editor.selEnd);
	ASSERT_TRUE(editor.Undo());
	EXPECT_EQ("he\xc3\xa9y!", editor.text);
	ASSERT_TRUE(editor.Undo());
	ASSERT_TRUE(editor.Undo());
	EXPECT_EQ("", editor.text);
	EXPECT_FALSE(editor.Undo());

	while (editor.Redo()) {
	}
	EXPECT_EQ(">>HE\xc3\xa9y!", editor.text);
	EXPECT_EQ(4, editor.selStart);
}


TEST(UndoBufferTest, DeletionsCoalesceAndKeepBytes)
{
	Editor editor;
	std::string bytes("a\0b\xff\r\n\xe2\x82\xac", 9);
	editor.Paste(bytes);
	editor.Backspace(3);
	editor.Backspace(1);
	editor.Backspace(1);
	EXPECT_EQ(2, editor.undo.CountSteps());
	EXPECT_EQ(std::string("a\0b\xff", 4), editor.text);

	editor.MoveCaret(0, 0);
	editor.Delete();
	editor.Delete();
	EXPECT_EQ(3, editor.undo.CountSteps());
	EXPECT_EQ(std::string("b\xff", 2), editor.text);

	// A backspace right after deletes is another kind: a new step.
	editor.MoveCaret(1, 1);
	editor.Backspace(1);
	EXPECT_EQ(4, editor.undo.CountSteps());

	ASSERT_TRUE(editor.Undo());
	ASSERT_TRUE(editor.Undo());
	EXPECT_EQ(std::string("a\0b\xff", 4), editor.text);
	EXPECT_EQ(0, editor.selStart);
	ASSERT_TRUE(editor.Undo());
	EXPECT_EQ(bytes, editor.text);
	EXPECT_EQ(9, editor.selStart);
	EXPECT_EQ(9, editor.selEnd);

	// A new edit clears what could be redone.
	EXPECT_TRUE(editor.undo.CanRedo());
	editor.MoveCaret(0, 0);
	editor.Type("z");
	EXPECT_FALSE(editor.undo.CanRedo());
	EXPECT_FALSE(editor.Redo());
	ASSERT_TRUE(editor.Undo());
	ASSERT_TRUE(editor.Undo());
	EXPECT_EQ("", editor.text);
}


TEST(UndoBufferTest, LimitsDropTheOldestSteps)
{
	Editor editor;
	editor.undo.SetLimits(3, 1000);
	for (int32 i = 0; i < 5; i++) {
		editor.MoveCaret((int32)editor.text.size(), (int32)editor.text.size());
		editor.Type(std::string(1, (char)('a' + i)));
	}
	EXPECT_EQ(3, editor.undo.CountSteps());
	while (editor.Undo()) {
	}
	EXPECT_EQ("ab", editor.text);

	// With only redo steps left, tightening the caps drops nothing that
	// redo needs.
	editor.undo.SetLimits(1, 1);
	while (editor.Redo()) {
	}
	EXPECT_EQ("abcde", editor.text);

	// The newest step stays, however large.
	editor.undo.SetLimits(10, 100);
	editor.Paste(std::string(500, 'x'));
	EXPECT_EQ(1, editor.undo.CountSteps());
	EXPECT_EQ(500, editor.undo.BytesHeld());
	ASSERT_TRUE(editor.Undo());
	EXPECT_EQ("abcde", editor.text);

	EXPECT_EQ(B_BAD_VALUE, editor.undo.RecordEdit(UNDO_OTHER, -1, "a", 1,
		NULL, 0, 0, 0, 0, 0));
	EXPECT_EQ(B_BAD_VALUE, editor.undo.RecordEdit(UNDO_OTHER, 0, NULL, 1,
		NULL, 0, 0, 0, 0, 0));
	EXPECT_EQ(B_BAD_VALUE, editor.undo.RecordDeletion(UNDO_TYPING, 0, "a",
		1, 0));
	EXPECT_EQ(B_OK, editor.undo.RecordEdit(UNDO_OTHER, 0, NULL, 0, NULL, 0,
		0, 0, 0, 0));
	EXPECT_EQ(1, editor.undo.CountSteps());
}
