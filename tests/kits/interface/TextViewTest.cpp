/*
 * BTextView through its programming interface, without a window:
 * - every byte value 0..255 goes in and comes out exactly (SetText,
 *   Insert, GetText with its NUL, ByteAt, a file read at an offset);
 * - InsertText and DeleteText are called once per change with the right
 *   offsets for Insert, Delete, Cut, Paste over a selection, Clear, undo
 *   and redo; SetText passes through neither; a subclass that calls the
 *   base class sees the change applied; one that refuses it leaves the
 *   text alone;
 * - undo and redo over several steps, and a program's Insert() ending
 *   the history;
 * - wrapping at very narrow, zero, negative and very wide text
 *   rectangles; CurrentLine and GoToLine count layout lines; TextRect's
 *   bottom follows the text;
 * - SetMaxBytes stops insertion and pasting, never inside a character;
 * - a 10 MB line: set, measured for its first line only, edited at its
 *   end.
 */
#include <Application.h>
#include <Clipboard.h>
#include <File.h>
#include <Font.h>
#include <Message.h>
#include <TextView.h>
#include <TypeConstants.h>

#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace {

// Records each hook call as "I offset length bytes" or "D from to".
class HookedTextView : public BTextView {
public:
	HookedTextView(BRect textRect = BRect(0, 0, 999, 10))
		: BTextView(BRect(0, 0, 199, 99), "text", textRect,
			B_FOLLOW_ALL_SIDES, B_WILL_DRAW) {}

	std::vector<std::string> fCalls;
	// What Text() was right after the base class returned.
	std::vector<std::string> fSeen;
	bool fRefuse = false;

protected:
	void InsertText(const char* text, int32 length, int32 offset,
		const text_run_array* runs) override
	{
		fCalls.push_back("I " + std::to_string(offset) + " "
			+ std::to_string(length) + " " + std::string(text, length));
		if (fRefuse)
			return;
		BTextView::InsertText(text, length, offset, runs);
		fSeen.push_back(std::string(Text(), TextLength()));
	}
	void DeleteText(int32 from, int32 to) override
	{
		fCalls.push_back("D " + std::to_string(from) + " "
			+ std::to_string(to));
		if (fRefuse)
			return;
		BTextView::DeleteText(from, to);
		fSeen.push_back(std::string(Text(), TextLength()));
	}
};


std::string
all_bytes()
{
	std::string bytes;
	for (int value = 0; value < 256; value++)
		bytes += (char)value;
	return bytes;
}


std::string
text_of(const BTextView& view)
{
	return std::string(view.Text(), view.TextLength());
}


class TextViewTest : public ::testing::Test {
protected:
	void SetUp() override
	{
		// Nothing here opens a window; the setting keeps anything that
		// asks for the display off the screen.
		setenv("KITS_DISPLAY", "offscreen", 1);
	}
};

typedef std::vector<std::string> Calls;

}	// namespace


TEST_F(TextViewTest, EveryByteValueRoundTrips)
{
	HookedTextView view;
	std::string bytes = all_bytes();
	view.SetText(bytes.data(), (int32)bytes.size());
	ASSERT_EQ(256, view.TextLength());
	EXPECT_EQ(0, memcmp(view.Text(), bytes.data(), 256));
	for (int32 i = 0; i < 256; i++)
		ASSERT_EQ((uchar)i, view.ByteAt(i)) << i;
	EXPECT_EQ(0, view.ByteAt(-1));
	EXPECT_EQ(0, view.ByteAt(256));

	// GetText adds a NUL after what it copied, also when clipped.
	char buffer[12];
	memset(buffer, 'x', sizeof(buffer));
	view.GetText(250, 10, buffer);
	EXPECT_EQ(0, memcmp(buffer, bytes.data() + 250, 6));
	EXPECT_EQ('\0', buffer[6]);

	// Inserted in the middle of themselves and deleted again.
	view.Insert(128, bytes.data(), 256);
	std::string expected = bytes.substr(0, 128) + bytes + bytes.substr(128);
	EXPECT_EQ(expected, text_of(view));
	view.Delete(128, 384);
	EXPECT_EQ(bytes, text_of(view));

	// SetText without a length stops at the first NUL.
	view.SetText("ab\0cd");
	EXPECT_EQ("ab", text_of(view));
}


TEST_F(TextViewTest, SetTextFromAFileAtAnOffset)
{
	char path[] = "/tmp/textview-file-XXXXXX";
	int descriptor = mkstemp(path);
	ASSERT_GE(descriptor, 0);
	std::string bytes = "\r\n" + all_bytes() + "tail";
	ASSERT_EQ((ssize_t)bytes.size(), write(descriptor, bytes.data(),
		bytes.size()));
	close(descriptor);

	HookedTextView view;
	BFile file(path, B_READ_ONLY);
	ASSERT_EQ(B_OK, file.InitCheck());
	view.SetText(&file, 2, 256);
	EXPECT_EQ(all_bytes(), text_of(view));
	// Asking for more than there is takes what there is.
	view.SetText(&file, 258, 1000);
	EXPECT_EQ("tail", text_of(view));
	EXPECT_TRUE(view.fCalls.empty());
	unlink(path);
}


TEST_F(TextViewTest, HooksSeeEachChangeOnce)
{
	HookedTextView view;
	view.SetText("hello world");
	EXPECT_TRUE(view.fCalls.empty()) << "SetText is not a change";

	view.Insert(5, ",", 1);
	view.Delete(0, 1);
	EXPECT_EQ((Calls{ "I 5 1 ,", "D 0 1" }), view.fCalls);
	EXPECT_EQ((Calls{ "hello, world", "ello, world" }), view.fSeen);

	// Insert() without an offset goes to the selection's start and
	// replaces nothing.
	view.fCalls.clear();
	view.Select(4, 5);
	view.Insert("!");
	EXPECT_EQ((Calls{ "I 4 1 !" }), view.fCalls);
	EXPECT_EQ("ello!, world", text_of(view));

	// Delete() takes the selection, which moved along with the insert.
	view.fCalls.clear();
	int32 start;
	int32 end;
	view.GetSelection(&start, &end);
	EXPECT_EQ(5, start);
	EXPECT_EQ(6, end);
	view.Delete();
	EXPECT_EQ((Calls{ "D 5 6" }), view.fCalls);
	EXPECT_EQ("ello! world", text_of(view));
}


TEST_F(TextViewTest, CutPasteClearUndoAndRedoPassThroughTheHooks)
{
	BClipboard clipboard("hooks");
	HookedTextView view;
	view.SetText("one two three");

	view.Select(4, 8);
	view.Cut(&clipboard);
	EXPECT_EQ("one three", text_of(view));
	view.Select(0, 3);
	view.Paste(&clipboard);
	EXPECT_EQ("two  three", text_of(view));
	view.Select(0, 1);
	view.Clear();
	EXPECT_EQ((Calls{ "D 4 8", "D 0 3", "I 0 4 two ", "D 0 1" }),
		view.fCalls);

	view.fCalls.clear();
	view.Undo(NULL);
	view.Undo(NULL);
	EXPECT_EQ("one three", text_of(view));
	EXPECT_EQ((Calls{ "I 0 1 t", "D 0 4", "I 0 3 one" }), view.fCalls);
	int32 start;
	int32 end;
	view.GetSelection(&start, &end);
	EXPECT_EQ(0, start);
	EXPECT_EQ(3, end);

	// Redo goes forward again, through the hooks as well.
	view.fCalls.clear();
	BMessage redo(B_REDO);
	view.MessageReceived(&redo);
	EXPECT_EQ((Calls{ "D 0 3", "I 0 4 two " }), view.fCalls);
	EXPECT_EQ("two  three", text_of(view));

	view.Undo(NULL);
	view.Undo(NULL);
	EXPECT_EQ("one two three", text_of(view));
	// Nothing left: the history ends here.
	view.fCalls.clear();
	view.Undo(NULL);
	EXPECT_TRUE(view.fCalls.empty());
	EXPECT_EQ(B_UNDO_UNAVAILABLE, view.UndoState(NULL));
}


TEST_F(TextViewTest, ARefusingHookChangesNothing)
{
	BClipboard clipboard("refuse");
	HookedTextView view;
	view.SetText("keep");
	view.fRefuse = true;
	view.Insert(0, "x", 1);
	view.Delete(0, 2);
	view.SelectAll();
	view.Cut(&clipboard);
	EXPECT_EQ("keep", text_of(view));
	EXPECT_EQ(3u, view.fCalls.size());
	// Nothing was recorded, so undo has nothing to do.
	view.fRefuse = false;
	view.fCalls.clear();
	view.Undo(NULL);
	EXPECT_TRUE(view.fCalls.empty());
	EXPECT_EQ("keep", text_of(view));
}


TEST_F(TextViewTest, UndoCanBeSwitchedOff)
{
	BClipboard clipboard("off");
	HookedTextView view;
	view.SetText("abc");
	view.SetDoesUndo(false);
	view.SelectAll();
	view.Cut(&clipboard);
	view.Undo(NULL);
	EXPECT_EQ("", text_of(view));
	view.SetDoesUndo(true);
	view.Paste(&clipboard);
	view.Undo(NULL);
	EXPECT_EQ("", text_of(view));
	EXPECT_EQ(B_UNDO_UNAVAILABLE, view.UndoState(NULL));
}


TEST_F(TextViewTest, WrappingAtNarrowZeroNegativeAndWideRectangles)
{
	const char* text = "ab cd\xC3\xA9";
	for (float right : { 1.0f, 0.0f, -50.0f }) {
		HookedTextView view(BRect(0, 0, right, 10));
		view.SetText(text);
		// Each character on a line of its own, the space hanging after
		// the b; the two bytes of the e with an accent stay together.
		EXPECT_EQ(5, view.CountLines()) << right;
		EXPECT_EQ(3, view.OffsetAt(2)) << right;
		EXPECT_EQ(5, view.OffsetAt(4)) << right;
		EXPECT_EQ(4, view.LineAt(7)) << right;
	}

	HookedTextView wide(BRect(0, 0, 100000, 10));
	wide.SetText("one two three\nfour");
	EXPECT_EQ(2, wide.CountLines());
	wide.SetWordWrap(false);
	wide.SetTextRect(BRect(0, 0, 1, 10));
	EXPECT_EQ(2, wide.CountLines());
}


TEST_F(TextViewTest, CurrentLineCountsLayoutLines)
{
	BFont font(be_fixed_font);
	font.SetSize(10);
	float width = font.StringWidth("M");
	// Room for ten characters a line.
	HookedTextView view(BRect(0, 0, width * 10 + 1, 10));
	view.SetFontAndColor(&font);
	view.SetText("aaaa bbbb cccc dddd\nshort\n");
	EXPECT_EQ(4, view.CountLines());
	view.Select(12, 12);
	EXPECT_EQ(1, view.CurrentLine());
	view.Select(20, 20);
	EXPECT_EQ(2, view.CurrentLine());
	view.GoToLine(1);
	int32 start;
	view.GetSelection(&start, NULL);
	EXPECT_EQ(10, start);
	// Past the last line: the end of the text.
	view.GoToLine(40);
	view.GetSelection(&start, NULL);
	EXPECT_EQ(view.TextLength(), start);
	EXPECT_EQ(3, view.CurrentLine());

	// The rectangle's bottom follows the laid-out lines.
	BRect rect = view.TextRect();
	EXPECT_FLOAT_EQ(view.LineHeight() * 4, rect.Height());
	EXPECT_FLOAT_EQ(width * 10 + 1, rect.right);
	EXPECT_FLOAT_EQ(view.LineHeight() * 4, view.TextHeight(0, 3));

	// Narrower: more lines, the same text.
	view.SetTextRect(BRect(0, 0, width * 5 + 1, 1));
	EXPECT_EQ(6, view.CountLines());
	EXPECT_EQ("aaaa bbbb cccc dddd\nshort\n", text_of(view));
}


TEST_F(TextViewTest, MaxBytesLimitsInsertionAndPaste)
{
	BClipboard clipboard("max");
	HookedTextView view;
	view.SetMaxBytes(5);
	view.SetText("abc");
	// The program's Insert is cut to what fits, never inside a character.
	view.Insert(3, "\xC3\xA9\xC3\xA9", 4);
	EXPECT_EQ("abc\xC3\xA9", text_of(view));

	ASSERT_TRUE(clipboard.Lock());
	clipboard.Clear();
	clipboard.Data()->AddData("text/plain", B_MIME_TYPE, "xyz", 3);
	clipboard.Commit();
	clipboard.Unlock();
	// Over a selection of two bytes, two of the three fit.
	view.Select(0, 2);
	view.Paste(&clipboard);
	EXPECT_EQ("xyc\xC3\xA9", text_of(view));

	// Lowering the limit cuts the text back.
	view.SetMaxBytes(4);
	EXPECT_EQ("xyc", text_of(view));
}


TEST_F(TextViewTest, ATenMegabyteLine)
{
	const int32 kLength = 10 * 1024 * 1024;
	std::string line(kLength, 'w');
	for (int32 i = 7; i < kLength; i += 8)
		line[i] = ' ';
	BFont font(be_fixed_font);
	font.SetSize(10);
	HookedTextView view(BRect(0, 0, font.StringWidth("M") * 80 + 1, 10));
	view.SetFontAndColor(&font);
	view.SetText(line.data(), kLength);
	ASSERT_EQ(kLength, view.TextLength());
	EXPECT_EQ(0, view.LineAt(79));
	EXPECT_EQ(1, view.LineAt(80));
	EXPECT_EQ(80, view.OffsetAt(1));

	view.Insert(kLength, "!", 1);
	EXPECT_EQ('!', view.ByteAt(kLength));
	// 80 characters a line: the count is exact.
	EXPECT_EQ((kLength + 1 + 79) / 80, view.CountLines());
	view.Select(kLength + 1, kLength + 1);
	EXPECT_EQ(view.CountLines() - 1, view.CurrentLine());
	view.Delete(0, 8);
	EXPECT_EQ(kLength - 7, view.TextLength());
	EXPECT_EQ((kLength - 7 + 79) / 80, view.CountLines());
}
