/*
 * BTextView in a window, operated through the display server as a person
 * would:
 * - typing inserts whole UTF-8 characters, each through InsertText once
 *   at the caret; typing over a selection deletes it first; Ctrl+Z undoes
 *   the run of typing as one step and Ctrl+Shift+Z redoes it;
 * - Backspace and Delete remove whole characters; arrows never stop
 *   inside a sequence; Shift extends, Ctrl moves by words, Home and End,
 *   Enter and Tab;
 * - arrows, Delete, clicks, double clicks and selections treat a letter
 *   with its marks, an emoji sequence and a flag as one; Backspace takes
 *   the marks off a letter one by one, and a byte that is not UTF-8 does
 *   not take a mark;
 * - a click places the caret, a double click selects a word, a triple
 *   click the line, Shift+click extends, a drag selects and scrolls the
 *   view when it goes past the bottom, and goes on scrolling while the
 *   pointer rests there until the button comes up;
 * - Ctrl+C and Ctrl+V carry NUL and invalid bytes exactly inside the
 *   application, while the screen's clipboard gets clean text; text that
 *   another program put on the screen's clipboard is what gets pasted;
 * - a read-only view ignores typing but copies;
 * - the caret blinks on Pulse; control bytes draw as visible marks;
 * - without wrapping, typing past the right edge scrolls sideways;
 *   autoindent; a disallowed character is not typed;
 * - the wheel scrolls, but not past the last line;
 * - what is selected, by the mouse or the keys, becomes the primary
 *   selection (the clipboard stays as it was); a middle click pastes it
 *   exactly where it clicks, and not into a read-only view;
 * - a right click opens Undo, Redo, Cut, Copy, Paste, Delete and Select
 *   All, each enabled only when it can act; chosen, they do what the
 *   keys do, and Cut then Paste gives back the exact bytes; Ctrl+Y
 *   redoes.
 */
#include "InterfaceTestSupport.h"

#include <Clipboard.h>
#include <TextView.h>

#include "ClipboardText.h"
#include "DisplayServer.h"

#include <math.h>
#include <unistd.h>

#include <string>
#include <vector>

using namespace interface_test;

namespace {

class TextViewInputTest : public RecordingTextViewTest {
protected:
	// The middle of the character cell before offset, in the view.
	BPoint PointBefore(int32 offset)
	{
		WindowLocker locker(fWindow);
		float height;
		BPoint point = fView->PointAt(offset, &height);
		return BPoint(point.x + 1, point.y + height / 2);
	}
};

typedef std::pair<int32, int32> Range;
typedef std::vector<std::string> Calls;

}	// namespace


TEST_F(TextViewInputTest, TypingUndoAndRedo)
{
	ASSERT_EQ(fDriver.TypeText(fWindow, "h\xC3\xA9!"), B_OK);
	EXPECT_EQ("h\xC3\xA9!", Text());
	EXPECT_EQ((Calls{ "I 0 h", "I 1 \xC3\xA9", "I 3 !" }), fView->Calls());
	EXPECT_EQ(Range(4, 4), Selection());

	// Over a selection: deleted first, then the character.
	Select(1, 3);
	fView->ClearCalls();
	ASSERT_EQ(fDriver.TypeText(fWindow, "e"), B_OK);
	EXPECT_EQ("he!", Text());
	EXPECT_EQ((Calls{ "D 1 3", "I 1 e" }), fView->Calls());

	// The typing after the click is one step; the one before, another.
	fView->ClearCalls();
	ASSERT_EQ(fDriver.PressKey(fWindow, 'z', B_COMMAND_KEY), B_OK);
	EXPECT_EQ("h\xC3\xA9!", Text());
	EXPECT_EQ((Calls{ "D 1 2", "I 1 \xC3\xA9" }), fView->Calls());
	EXPECT_EQ(Range(1, 3), Selection());
	ASSERT_EQ(fDriver.PressKey(fWindow, 'z', B_COMMAND_KEY), B_OK);
	EXPECT_EQ("", Text());
	ASSERT_EQ(fDriver.PressKey(fWindow, 'z', B_COMMAND_KEY | B_SHIFT_KEY),
		B_OK);
	EXPECT_EQ("h\xC3\xA9!", Text());
	ASSERT_EQ(fDriver.PressKey(fWindow, 'z', B_COMMAND_KEY | B_SHIFT_KEY),
		B_OK);
	EXPECT_EQ("he!", Text());
}


TEST_F(TextViewInputTest, EditingAndMotionKeys)
{
	SetText("ab\xC3\xA9 cd\nxyz");
	Select(4, 4);
	// Left steps over the two bytes of the accented e at once.
	ASSERT_EQ(fDriver.PressKey(fWindow, B_LEFT_ARROW), B_OK);
	EXPECT_EQ(Range(2, 2), Selection());
	ASSERT_EQ(fDriver.PressKey(fWindow, B_RIGHT_ARROW, B_SHIFT_KEY), B_OK);
	EXPECT_EQ(Range(2, 4), Selection());
	ASSERT_EQ(fDriver.PressKey(fWindow, B_RIGHT_ARROW, B_SHIFT_KEY), B_OK);
	EXPECT_EQ(Range(2, 5), Selection());
	// Shift+Left from there shrinks it again from the moving end.
	ASSERT_EQ(fDriver.PressKey(fWindow, B_LEFT_ARROW, B_SHIFT_KEY), B_OK);
	EXPECT_EQ(Range(2, 4), Selection());

	ASSERT_EQ(fDriver.PressKey(fWindow, B_END), B_OK);
	EXPECT_EQ(Range(7, 7), Selection());
	ASSERT_EQ(fDriver.PressKey(fWindow, B_LEFT_ARROW, B_COMMAND_KEY), B_OK);
	EXPECT_EQ(Range(5, 5), Selection());
	ASSERT_EQ(fDriver.PressKey(fWindow, B_HOME), B_OK);
	EXPECT_EQ(Range(0, 0), Selection());
	ASSERT_EQ(fDriver.PressKey(fWindow, B_RIGHT_ARROW, B_COMMAND_KEY), B_OK);
	EXPECT_EQ(Range(4, 4), Selection());
	ASSERT_EQ(fDriver.PressKey(fWindow, B_DOWN_ARROW), B_OK);
	EXPECT_EQ(Range(11, 11), Selection());
	ASSERT_EQ(fDriver.PressKey(fWindow, B_UP_ARROW), B_OK);
	EXPECT_EQ(Range(4, 4), Selection());

	// Backspace takes the whole character before the caret.
	fView->ClearCalls();
	ASSERT_EQ(fDriver.PressKey(fWindow, B_BACKSPACE), B_OK);
	EXPECT_EQ("ab cd\nxyz", Text());
	EXPECT_EQ((Calls{ "D 2 4" }), fView->Calls());
	ASSERT_EQ(fDriver.PressKey(fWindow, B_DELETE), B_OK);
	EXPECT_EQ("abcd\nxyz", Text());
	ASSERT_EQ(fDriver.PressKey(fWindow, B_ENTER), B_OK);
	ASSERT_EQ(fDriver.PressKey(fWindow, B_TAB), B_OK);
	EXPECT_EQ("ab\n\tcd\nxyz", Text());
	// Enter and Tab were typed as one run: one undo takes both back.
	ASSERT_EQ(fDriver.PressKey(fWindow, 'z', B_COMMAND_KEY), B_OK);
	EXPECT_EQ("abcd\nxyz", Text());
}


TEST_F(TextViewInputTest, ClustersMoveAsOne)
{
	// x, e + acute + dot below, space, a family of three, space, a flag,
	// an invalid byte with a mark of its own, y.
	const std::string marks = "e\xcc\x81\xcc\xa3";
	const std::string family = "\xf0\x9f\x91\xa8\xe2\x80\x8d"
		"\xf0\x9f\x91\xa9\xe2\x80\x8d\xf0\x9f\x91\xa7";
	const std::string flag = "\xf0\x9f\x87\xa9\xf0\x9f\x87\xaa";
	const std::string text = "x" + marks + " " + family + " " + flag
		+ "\xff\xcc\x81" "y";
	const std::vector<int32> stops = {0, 1, 6, 7, 25, 26, 34, 35, 37, 38};
	SetText(text);

	Select(0, 0);
	for (size_t i = 1; i < stops.size(); i++) {
		ASSERT_EQ(fDriver.PressKey(fWindow, B_RIGHT_ARROW), B_OK);
		ASSERT_EQ(Range(stops[i], stops[i]), Selection()) << i;
	}
	for (size_t i = stops.size() - 1; i > 0; i--) {
		ASSERT_EQ(fDriver.PressKey(fWindow, B_LEFT_ARROW), B_OK);
		ASSERT_EQ(Range(stops[i - 1], stops[i - 1]), Selection()) << i;
	}

	// The caret after the accented e stands where the shaped cluster
	// ends: as far from its start as the e alone is wide.
	{
		WindowLocker locker(fWindow);
		BFont font;
		fView->GetFont(&font);
		float width = font.StringWidth("e");
		EXPECT_NEAR(width, font.StringWidth(marks.c_str()), 0.01);
		EXPECT_NEAR(width, fView->PointAt(6).x - fView->PointAt(1).x, 0.01);
	}

	// A selection that starts or ends inside a cluster takes it whole;
	// a caret put inside one goes to its start.
	Select(3, 10);
	EXPECT_EQ(Range(1, 25), Selection());
	Select(12, 12);
	EXPECT_EQ(Range(7, 7), Selection());

	// A click never lands inside the family; a double click on the
	// accented word takes its marks along.
	ASSERT_EQ(fDriver.Click(fView, PointBefore(22)), B_OK);
	int32 clicked = Selection().first;
	EXPECT_TRUE(clicked == 7 || clicked == 25) << clicked;
	ASSERT_EQ(fDriver.Click(fView, PointBefore(1), 2), B_OK);
	EXPECT_EQ(Range(0, 6), Selection());

	// Delete takes the family and the flag whole.
	Select(7, 7);
	fView->ClearCalls();
	ASSERT_EQ(fDriver.PressKey(fWindow, B_DELETE), B_OK);
	EXPECT_EQ((Calls{ "D 7 25" }), fView->Calls());
	Select(8, 8);
	fView->ClearCalls();
	ASSERT_EQ(fDriver.PressKey(fWindow, B_BACKSPACE), B_OK);
	EXPECT_EQ((Calls{ "D 7 8" }), fView->Calls());
	ASSERT_EQ(fDriver.PressKey(fWindow, B_DELETE), B_OK);
	EXPECT_EQ("x" + marks + " " + std::string("\xff\xcc\x81" "y"),
		Text());

	// Backspace takes the marks off the e one at a time, then the e.
	Select(6, 6);
	fView->ClearCalls();
	for (int32 i = 0; i < 3; i++)
		ASSERT_EQ(fDriver.PressKey(fWindow, B_BACKSPACE), B_OK);
	EXPECT_EQ((Calls{ "D 4 6", "D 2 4", "D 1 2" }), fView->Calls());
	EXPECT_EQ("x \xff\xcc\x81y", Text());
	// The mark after the invalid byte is a cluster of its own, and the
	// byte stays exactly as it was.
	Select(5, 5);
	fView->ClearCalls();
	ASSERT_EQ(fDriver.PressKey(fWindow, B_BACKSPACE), B_OK);
	EXPECT_EQ((Calls{ "D 3 5" }), fView->Calls());
	EXPECT_EQ("x \xffy", Text());
}


TEST_F(TextViewInputTest, SelectingWithTheMouse)
{
	SetText("alpha beta\ngamma delta\n");
	ASSERT_EQ(fDriver.Click(fView, PointBefore(7)), B_OK);
	EXPECT_EQ(Range(7, 7), Selection());
	ASSERT_EQ(fDriver.Click(fView, PointBefore(2), 1,
		B_PRIMARY_MOUSE_BUTTON, B_SHIFT_KEY), B_OK);
	EXPECT_EQ(Range(2, 7), Selection());

	ASSERT_EQ(fDriver.Click(fView, PointBefore(13), 2), B_OK);
	EXPECT_EQ(Range(11, 16), Selection());
	ASSERT_EQ(fDriver.Click(fView, PointBefore(13), 3), B_OK);
	EXPECT_EQ(Range(11, 23), Selection());

	// A drag from the b of beta to the m of gamma.
	BPoint from;
	BPoint to;
	{
		WindowLocker locker(fWindow);
		from = fView->ConvertToWindow(PointBefore(6));
		to = fView->ConvertToWindow(PointBefore(14));
	}
	ASSERT_EQ(fDriver.MoveMouse(fWindow, from), B_OK);
	ASSERT_EQ(fDriver.MouseDown(fWindow, from), B_OK);
	ASSERT_EQ(fDriver.MoveMouse(fWindow, to, B_PRIMARY_MOUSE_BUTTON), B_OK);
	ASSERT_EQ(fDriver.MouseUp(fWindow, to), B_OK);
	EXPECT_EQ(Range(6, 14), Selection());
}


TEST_F(TextViewInputTest, DraggingPastTheBottomScrolls)
{
	std::string text;
	for (int line = 0; line < 100; line++)
		text += "line " + std::to_string(line) + "\n";
	SetText(text);
	BPoint from;
	{
		WindowLocker locker(fWindow);
		from = fView->ConvertToWindow(PointBefore(0));
	}
	ASSERT_EQ(fDriver.MouseDown(fWindow, from), B_OK);
	ASSERT_EQ(fDriver.MoveMouse(fWindow, BPoint(20, 250),
		B_PRIMARY_MOUSE_BUTTON), B_OK);
	auto top = [&]() {
		WindowLocker locker(fWindow);
		return fView->Bounds().top;
	};
	float moved = top();
	EXPECT_GT(moved, 0);
	// Resting there, the pointer keeps the view scrolling, until the
	// button comes up.
	ASSERT_EQ(fDriver.WaitFor([&] { return top() > moved; },
		"the view to scroll on"), B_OK);
	ASSERT_EQ(fDriver.MouseUp(fWindow, BPoint(20, 250)), B_OK);
	float released = top();
	usleep(200000);
	ASSERT_EQ(fDriver.WaitForIdle(), B_OK);
	EXPECT_EQ(top(), released);
	WindowLocker locker(fWindow);
	int32 start;
	int32 end;
	fView->GetSelection(&start, &end);
	EXPECT_EQ(0, start);
	// The selection reaches below the part of the text that was shown.
	EXPECT_GT(fView->LineAt(end), 200 / (int32)fView->LineHeight());
}


TEST_F(TextViewInputTest, ClipboardKeepsBytesExactInsideTheApplication)
{
	std::string odd("a\0b\xFF\xC3\xA9\r", 7);
	SetText(odd);
	Select(0, 7);
	ASSERT_EQ(fDriver.PressKey(fWindow, 'c', B_COMMAND_KEY), B_OK);

	// The screen got text it can carry.
	std::string text;
	ASSERT_EQ(B_OK, BPrivate::DisplayServer::Default().Call(
		BPrivate::GetClipboardRequest(false), text));
	EXPECT_EQ("ab\xEF\xBF\xBD\xC3\xA9\r", text);

	Select(7, 7);
	ASSERT_EQ(fDriver.PressKey(fWindow, 'v', B_COMMAND_KEY), B_OK);
	EXPECT_EQ(odd + odd, Text());

	// Another program takes the clipboard over.
	BPrivate::DisplayServer::Default().Post(
		BPrivate::SetClipboardRequest(false, "from elsewhere"));
	SetText("");
	ASSERT_EQ(fDriver.PressKey(fWindow, 'v', B_COMMAND_KEY), B_OK);
	EXPECT_EQ("from elsewhere", Text());

	// Cut through the message the Edit menu sends.
	Select(0, 5);
	fView->ClearCalls();
	fWindow->PostMessage(B_CUT, fView);
	ASSERT_EQ(fDriver.WaitForIdle(), B_OK);
	EXPECT_EQ("elsewhere", Text());
	EXPECT_EQ((Calls{ "D 0 5" }), fView->Calls());
	ASSERT_TRUE(be_clipboard->Lock());
	const void* data = NULL;
	ssize_t size = 0;
	ASSERT_EQ(B_OK, be_clipboard->Data()->FindData("text/plain",
		B_MIME_TYPE, &data, &size));
	EXPECT_EQ("from ", std::string((const char*)data, size));
	be_clipboard->Unlock();
}


TEST_F(TextViewInputTest, ReadOnlyViewsCopyButDoNotChange)
{
	SetText("fixed");
	{
		WindowLocker locker(fWindow);
		fView->MakeEditable(false);
	}
	ASSERT_EQ(fDriver.TypeText(fWindow, "xyz"), B_OK);
	ASSERT_EQ(fDriver.PressKey(fWindow, B_BACKSPACE), B_OK);
	fWindow->PostMessage(B_SELECT_ALL, fView);
	fWindow->PostMessage(B_CUT, fView);
	ASSERT_EQ(fDriver.WaitForIdle(), B_OK);
	EXPECT_EQ("fixed", Text());
	EXPECT_TRUE(fView->Calls().empty());
	ASSERT_TRUE(be_clipboard->Lock());
	const void* data = NULL;
	ssize_t size = 0;
	ASSERT_EQ(B_OK, be_clipboard->Data()->FindData("text/plain",
		B_MIME_TYPE, &data, &size));
	EXPECT_EQ("fixed", std::string((const char*)data, size));
	be_clipboard->Unlock();
}


TEST_F(TextViewInputTest, CaretBlinksAndControlBytesShow)
{
	SetText(std::string("a  \0", 4));
	Select(2, 2);
	ASSERT_EQ(fDriver.WaitForIdle(), B_OK);
	BPoint caret;
	BRect cell;
	{
		WindowLocker locker(fWindow);
		float height;
		caret = fView->ConvertToWindow(fView->PointAt(2, &height));
		caret.x = floorf(caret.x);
		caret.y += floorf(height / 2);
		BPoint start = fView->PointAt(3);
		BPoint end = fView->PointAt(4);
		cell = fView->ConvertToWindow(BRect(ceilf(start.x), start.y,
			floorf(end.x) - 1, start.y + height - 1));
	}
	rgb_color shown;
	ASSERT_EQ(B_OK, fDriver.GetPixel(fWindow, caret, &shown));
	EXPECT_LT(shown.red, 128) << "the caret is drawn";
	{
		WindowLocker locker(fWindow);
		fView->Pulse();
	}
	ASSERT_EQ(fDriver.WaitForIdle(), B_OK);
	ASSERT_EQ(B_OK, fDriver.GetPixel(fWindow, caret, &shown));
	EXPECT_GT(shown.red, 128) << "the caret blinked off";
	{
		WindowLocker locker(fWindow);
		fView->Pulse();
	}
	ASSERT_EQ(fDriver.WaitForIdle(), B_OK);
	ASSERT_EQ(B_OK, fDriver.GetPixel(fWindow, caret, &shown));
	EXPECT_LT(shown.red, 128) << "and on again";

	// The NUL takes room and is drawn as a mark of its own.
	ASSERT_TRUE(cell.Width() > 2);
	std::vector<rgb_color> pixels;
	ASSERT_EQ(B_OK, fDriver.GetPixels(fWindow, cell, &pixels));
	int marked = 0;
	for (const rgb_color& pixel : pixels)
		marked += pixel.red < 200 ? 1 : 0;
	EXPECT_GT(marked, 3);
}


TEST_F(TextViewInputTest, OneLineEntryScrollsSidewaysAndFilters)
{
	{
		WindowLocker locker(fWindow);
		fView->SetWordWrap(false);
		fView->SetAutoindent(true);
		fView->DisallowChar('#');
	}
	SetText("\t x");
	Select(3, 3);
	ASSERT_EQ(fDriver.PressKey(fWindow, B_ENTER), B_OK);
	EXPECT_EQ("\t x\n\t ", Text());
	ASSERT_EQ(fDriver.TypeText(fWindow, "a#b"), B_OK);
	EXPECT_EQ("\t x\n\t ab", Text());

	std::string longLine(200, 'w');
	ASSERT_EQ(fDriver.TypeText(fWindow, longLine.c_str()), B_OK);
	WindowLocker locker(fWindow);
	EXPECT_EQ(1, fView->LineAt(fView->TextLength()));
	EXPECT_EQ(2, fView->CountLines());
	BRect bounds = fView->Bounds();
	EXPECT_GT(bounds.left, 0);
	BPoint caret = fView->PointAt(fView->TextLength());
	EXPECT_GE(caret.x, bounds.left);
	EXPECT_LE(caret.x, bounds.right);
}


TEST_F(TextViewInputTest, TheWheelStopsAtTheLastLine)
{
	std::string text;
	for (int line = 0; line < 30; line++)
		text += "line\n";
	SetText(text);
	BPoint middle(200, 100);
	ASSERT_EQ(fDriver.MoveMouse(fWindow, middle), B_OK);
	ASSERT_EQ(fDriver.ScrollWheel(fWindow, 0, 2), B_OK);
	float lineHeight;
	{
		WindowLocker locker(fWindow);
		lineHeight = fView->LineHeight();
		EXPECT_FLOAT_EQ(lineHeight * 6, fView->Bounds().top);
	}
	ASSERT_EQ(fDriver.ScrollWheel(fWindow, 0, 100), B_OK);
	{
		WindowLocker locker(fWindow);
		// 31 lines, the last one empty after the final newline.
		EXPECT_FLOAT_EQ(4 + lineHeight * 30, fView->Bounds().top);
	}
	ASSERT_EQ(fDriver.ScrollWheel(fWindow, 0, -100), B_OK);
	WindowLocker locker(fWindow);
	EXPECT_FLOAT_EQ(0, fView->Bounds().top);
}


namespace {

typedef std::vector<std::pair<std::string, bool> > MenuItems;

}	// namespace


TEST_F(TextViewInputTest, SelectionIsThePrimarySelection)
{
	BClipboard primary("primary");
	put_clipboard_text(*be_clipboard, "copied");
	std::string odd("one tw\0o three", 15);
	SetText(odd);

	// A drag selects "tw\0o"; the clipboard keeps what was copied.
	ASSERT_EQ(fDriver.MouseDown(fWindow, PointBefore(4)), B_OK);
	ASSERT_EQ(fDriver.MoveMouse(fWindow, PointBefore(8),
		B_PRIMARY_MOUSE_BUTTON), B_OK);
	ASSERT_EQ(fDriver.MouseUp(fWindow, PointBefore(8)), B_OK);
	EXPECT_EQ(Range(4, 8), Selection());
	EXPECT_EQ(std::string("tw\0o", 4), clipboard_text(primary));
	EXPECT_EQ("copied", clipboard_text(*be_clipboard));

	// A middle click pastes it exactly where it clicks.
	fView->ClearCalls();
	ASSERT_EQ(fDriver.Click(fWindow, PointBefore(0), 1,
		B_TERTIARY_MOUSE_BUTTON), B_OK);
	EXPECT_EQ(std::string("tw\0oone tw\0o three", 19), Text());
	EXPECT_EQ((Calls{ "I 0 " + std::string("tw\0o", 4) }), fView->Calls());

	// The keys select too.
	Select(0, 0);
	ASSERT_EQ(fDriver.PressKey(fWindow, B_RIGHT_ARROW, B_SHIFT_KEY), B_OK);
	ASSERT_EQ(fDriver.PressKey(fWindow, B_RIGHT_ARROW, B_SHIFT_KEY), B_OK);
	EXPECT_EQ("tw", clipboard_text(primary));
	ASSERT_EQ(fDriver.PressKey(fWindow, 'a', B_COMMAND_KEY), B_OK);
	EXPECT_EQ(Text(), clipboard_text(primary));

	// Another program's selection is pasted as it comes; a read-only
	// view takes none.
	put_clipboard_text(primary, "theirs");
	{
		WindowLocker locker(fWindow);
		fView->MakeEditable(false);
	}
	std::string before = Text();
	ASSERT_EQ(fDriver.Click(fWindow, PointBefore(0), 1,
		B_TERTIARY_MOUSE_BUTTON), B_OK);
	EXPECT_EQ(before, Text());
}


TEST_F(TextViewInputTest, ContextMenuOffersWhatCanAct)
{
	put_clipboard_text(*be_clipboard, "");
	SetText("");
	MenuItems items = fDriver.OpenContextMenu(fView, PointBefore(0));
	EXPECT_EQ((MenuItems{ { "Undo", false }, { "Redo", false },
		{ "Cut", false }, { "Copy", false }, { "Paste", false },
		{ "Delete", false }, { "Select All", false } }), items);
	EXPECT_EQ(B_NOT_ALLOWED, fDriver.ChooseOpenMenuItem("Cut"));

	std::string odd("ab\0\xFF", 4);
	SetText(odd);
	Select(1, 3);
	items = fDriver.OpenContextMenu(fView, PointBefore(2));
	EXPECT_EQ((MenuItems{ { "Undo", false }, { "Redo", false },
		{ "Cut", true }, { "Copy", true }, { "Paste", false },
		{ "Delete", true }, { "Select All", true } }), items);
	// A right click keeps the selection it acts on.
	EXPECT_EQ(Range(1, 3), Selection());
	ASSERT_EQ(B_OK, fDriver.ChooseOpenMenuItem("Select All"));
	EXPECT_EQ(Range(0, 4), Selection());

	// Cut, then Paste: the exact bytes come back, through the same
	// hooks as the keys.
	fDriver.OpenContextMenu(fView, PointBefore(1));
	ASSERT_EQ(B_OK, fDriver.ChooseOpenMenuItem("Cut"));
	EXPECT_EQ("", Text());
	EXPECT_EQ(odd, clipboard_text(*be_clipboard));
	items = fDriver.OpenContextMenu(fView, PointBefore(0));
	EXPECT_EQ((std::pair<std::string, bool>("Undo", true)), items[0]);
	EXPECT_EQ((std::pair<std::string, bool>("Paste", true)), items[4]);
	fView->ClearCalls();
	ASSERT_EQ(B_OK, fDriver.ChooseOpenMenuItem("Paste"));
	EXPECT_EQ(odd, Text());
	EXPECT_EQ((Calls{ "I 0 " + odd }), fView->Calls());

	// Undo, then Redo from the menu and with Ctrl+Y.
	fDriver.OpenContextMenu(fView, PointBefore(0));
	ASSERT_EQ(B_OK, fDriver.ChooseOpenMenuItem("Undo"));
	EXPECT_EQ("", Text());
	items = fDriver.OpenContextMenu(fView, PointBefore(0));
	EXPECT_EQ((std::pair<std::string, bool>("Redo", true)), items[1]);
	ASSERT_EQ(B_OK, fDriver.ChooseOpenMenuItem("Redo"));
	EXPECT_EQ(odd, Text());
	ASSERT_EQ(fDriver.PressKey(fWindow, 'z', B_COMMAND_KEY), B_OK);
	EXPECT_EQ("", Text());
	ASSERT_EQ(fDriver.PressKey(fWindow, 'y', B_COMMAND_KEY), B_OK);
	EXPECT_EQ(odd, Text());

	// Delete removes the selection and leaves the clipboard alone.
	Select(0, 2);
	put_clipboard_text(*be_clipboard, "kept");
	fDriver.OpenContextMenu(fView, PointBefore(1));
	ASSERT_EQ(B_OK, fDriver.ChooseOpenMenuItem("Delete"));
	EXPECT_EQ(odd.substr(2), Text());
	EXPECT_EQ("kept", clipboard_text(*be_clipboard));
}
