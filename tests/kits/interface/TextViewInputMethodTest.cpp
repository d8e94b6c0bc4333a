/*
 * What an input method composes, in a BTextView and in a dialog's text
 * control, through the display server as the screen's input method
 * speaks to a window:
 * - while composing, the text and the undo history stay as they were
 *   and InsertText() is not called; the composition shows at the caret,
 *   underlined, with the rest of the line moved along, and the caret is
 *   not drawn where it was;
 * - a commit is typed once, as one InsertText() and one undo step, over
 *   the selection; a cancel leaves the text and the screen as they were;
 *   text committed without a composition is typed too;
 * - keys that reach the view during a composition are the input
 *   method's and change nothing;
 * - a click, a shortcut, the program moving
 *   the caret (its offsets keeping to their text), an editing command,
 *   the focus going or the window being deactivated type the
 *   composition where it is shown and tell the input method to forget
 *   it; new text or a view made read-only drop it;
 * - a composition that moves to another window ends in the first;
 * - the candidate window is told where the caret is, and during a
 *   composition where the part being converted is;
 * - any run of compositions, commits, cancels, keys and clicks leaves
 *   exactly the text a model of these rules gives;
 * - a text control in a dialog shows the composition and sends its
 *   modification message once, on the commit.
 */
#include "ControlsTestSupport.h"

#include <TextControl.h>
#include <TextView.h>

#include <math.h>
#include <stdlib.h>

#include <functional>
#include <string>
#include <vector>

using namespace interface_test;

namespace {

const uint32 kModified = 'MODF';


// How much of the pixels is ink: each counts by how much darker than
// white it is.
float
ink_of(const std::vector<rgb_color>& pixels)
{
	float ink = 0;
	for (const rgb_color& pixel : pixels)
		ink += (255.0f - pixel.green) / 255.0f;
	return ink;
}


class TextViewInputMethodTest : public RecordingTextViewTest {
protected:
	void SetText(const std::string& text, int32 caret)
	{
		RecordingTextViewTest::SetText(text);
		Select(caret, caret);
	}
	int32 Caret() { return Selection().first; }

	// The view's area from offset on, width pixels wide and one line
	// high, in window coordinates.
	BRect Area(int32 offset, float width)
	{
		WindowLocker locker(fWindow);
		float height;
		BPoint point = fView->PointAt(offset, &height);
		return fView->ConvertToWindow(BRect(floorf(point.x), point.y,
			floorf(point.x) + width - 1, point.y + height - 1));
	}
	float Width(const char* text)
	{
		WindowLocker locker(fWindow);
		BFont font;
		fView->GetFontAndColor(0, &font);
		return ceilf(font.StringWidth(text));
	}
	std::vector<rgb_color> Pixels(BRect area)
	{
		std::vector<rgb_color> pixels;
		EXPECT_EQ(B_OK, fDriver.GetPixels(fWindow, area, &pixels));
		return pixels;
	}
	float InkIn(BRect area) { return ink_of(Pixels(area)); }
	// The rows of the area whose every pixel is dark: an underline.
	int32 SolidRows(BRect area)
	{
		std::vector<rgb_color> pixels = Pixels(area);
		int32 width = (int32)area.Width() + 1;
		int32 rows = 0;
		for (size_t row = 0; row + width <= pixels.size(); row += width) {
			bool solid = true;
			for (int32 x = 0; x < width; x++)
				solid = solid && pixels[row + x].green < 128;
			rows += solid ? 1 : 0;
		}
		return rows;
	}
	undo_state Undo()
	{
		WindowLocker locker(fWindow);
		bool isRedo;
		return fView->UndoState(&isRedo);
	}
};

}	// namespace


TEST_F(TextViewInputMethodTest, CompositionShowsAtTheCaretAndTypesNothing)
{
	SetText("ab\ncd", 1);
	float charWidth = Width("b");
	// Where "b" and the empty space after the line are now.
	BRect after = Area(2, 3 * charWidth);
	BRect composed = Area(1, Width("xyz"));
	ASSERT_EQ(InkIn(after), 0);
	ASSERT_EQ(SolidRows(composed), 0);
	std::vector<rgb_color> lineTwo = Pixels(Area(3, 2 * charWidth));

	ASSERT_EQ(fDriver.ComposeText(fWindow, "x"), B_OK);
	ASSERT_EQ(fDriver.ComposeText(fWindow, "xy"), B_OK);
	ASSERT_EQ(fDriver.ComposeText(fWindow, "xyz"), B_OK);
	EXPECT_EQ(Text(), "ab\ncd");
	EXPECT_EQ(Caret(), 1);
	EXPECT_TRUE(fView->Calls().empty());
	EXPECT_EQ(Undo(), B_UNDO_UNAVAILABLE);

	// The composition is drawn, underlined, and "b" moved along past
	// it; the line below stays as it was.
	EXPECT_GT(InkIn(composed), 3.0f);
	EXPECT_GE(SolidRows(composed), 1);
	EXPECT_GT(InkIn(after), 1.0f);
	EXPECT_TRUE(Pixels(Area(3, 2 * charWidth)) == lineTwo);

	// A clause being converted is underlined more thickly than the rest.
	ASSERT_EQ(fDriver.ComposeText(fWindow, "xyz", 0, 1, { { 0, 1 },
		{ 1, 3 } }), B_OK);
	BRect converted = Area(1, Width("x") - 2);
	BRect rest = Area(1, Width("xyz") - 2);
	rest.left += Width("x") + 1;
	EXPECT_GT(SolidRows(converted), SolidRows(rest));
	EXPECT_GE(SolidRows(rest), 1);
	EXPECT_EQ(Text(), "ab\ncd");

	// Keys that reach the view as well are the input method's.
	ASSERT_EQ(fDriver.PressKey(fWindow, B_RIGHT_ARROW), B_OK);
	ASSERT_EQ(fDriver.TypeText(fWindow, "q"), B_OK);
	ASSERT_EQ(fDriver.PressKey(fWindow, B_BACKSPACE), B_OK);
	EXPECT_EQ(Text(), "ab\ncd");
	EXPECT_EQ(Caret(), 1);
	EXPECT_GE(SolidRows(composed), 1);

	// Cancelled, the line looks as it did and nothing was typed.
	ASSERT_EQ(fDriver.CancelComposition(fWindow), B_OK);
	EXPECT_EQ(InkIn(after), 0);
	EXPECT_EQ(SolidRows(composed), 0);
	EXPECT_EQ(Text(), "ab\ncd");
	EXPECT_TRUE(fView->Calls().empty());
	EXPECT_EQ(Undo(), B_UNDO_UNAVAILABLE);
}


TEST_F(TextViewInputMethodTest, CommitsAreTypedOnce)
{
	struct commit_case {
		const char*			name;
		int32				selectionStart;
		int32				selectionEnd;
		std::function<void(TestDriver&, BWindow*)> input;
		std::string			text;
		std::vector<std::string> calls;
		int32				caret;
	};
	const commit_case cases[] = {
		{ "composed, then committed", 1, 1,
			[](TestDriver& driver, BWindow* window) {
				driver.ComposeText(window, "n");
				driver.ComposeText(window, "ni");
				driver.ComposeText(window, "\xe4\xbd\xa0", 0, 3);
				driver.CommitText(window, "\xe4\xbd\xa0\xe5\xa5\xbd");
			},
			"a\xe4\xbd\xa0\xe5\xa5\xbd" "b", { "I 1 \xe4\xbd\xa0\xe5\xa5\xbd" },
			7 },
		{ "over the selection", 0, 2,
			[](TestDriver& driver, BWindow* window) {
				driver.ComposeText(window, "ka");
				driver.CommitText(window, "\xe3\x81\x8b");
			},
			"\xe3\x81\x8b", { "D 0 2", "I 0 \xe3\x81\x8b" }, 3 },
		{ "hidden first, then typed as keys", 2, 2,
			[](TestDriver& driver, BWindow* window) {
				driver.ComposeText(window, "a");
				driver.CancelComposition(window);
				driver.CommitText(window, "\xc3\xa1");
			},
			"ab\xc3\xa1", { "I 2 \xc3\xa1" }, 4 },
		{ "typed with nothing composed", 0, 0,
			[](TestDriver& driver, BWindow* window) {
				driver.CommitText(window, "\xed\x95\x9c");
			},
			"\xed\x95\x9c" "ab", { "I 0 \xed\x95\x9c" }, 3 },
		{ "cancelled", 1, 1,
			[](TestDriver& driver, BWindow* window) {
				driver.ComposeText(window, "abc");
				driver.CancelComposition(window);
			},
			"ab", {}, 1 },
	};
	for (const commit_case& test : cases) {
		SCOPED_TRACE(test.name);
		{
			WindowLocker locker(fWindow);
			fView->SetText("ab");
			fView->Select(test.selectionStart, test.selectionEnd);
			fView->ClearCalls();
		}
		test.input(fDriver, fWindow);
		ASSERT_EQ(fDriver.WaitForIdle(), B_OK);
		EXPECT_EQ(Text(), test.text);
		EXPECT_EQ(fView->Calls(), test.calls);
		EXPECT_EQ(Caret(), test.caret);
		if (test.calls.empty())
			continue;
		// One step undoes the commit.
		EXPECT_EQ(Undo(), B_UNDO_TYPING);
		ASSERT_EQ(fDriver.PressKey(fWindow, 'z', B_COMMAND_KEY), B_OK);
		EXPECT_EQ(Text(), "ab");
	}
}


TEST_F(TextViewInputMethodTest, LeavingTheCompositionKeepsOrDropsIt)
{
	struct leaving_case {
		const char*			name;
		std::function<void(TestDriver&, BWindow*, BTextView*)> leave;
		std::string			text;
		int32				caret;
	};
	const leaving_case cases[] = {
		{ "a click elsewhere",
			[](TestDriver& driver, BWindow*, BTextView* view) {
				BPoint end;
				{
					WindowLocker locker(view->Window());
					end = view->PointAt(view->TextLength());
				}
				driver.Click(view, end + BPoint(40, 2));
			},
			"axyb\ncd", 7 },
		{ "a shortcut: the composition typed, then undone",
			[](TestDriver& driver, BWindow* window, BTextView*) {
				driver.PressKey(window, 'z', B_COMMAND_KEY);
			},
			"ab\ncd", 1 },
		{ "the program moving the caret",
			[](TestDriver&, BWindow* window, BTextView* view) {
				WindowLocker locker(window);
				view->Select(0, 0);
			},
			"axyb\ncd", 0 },
		{ "the program selecting text after it",
			[](TestDriver&, BWindow* window, BTextView* view) {
				WindowLocker locker(window);
				view->Select(3, 5);
			},
			"axyb\ncd", 5 },
		{ "Undo from a menu: the composition typed, then undone",
			[](TestDriver&, BWindow* window, BTextView* view) {
				window->PostMessage(B_UNDO, view);
			},
			"ab\ncd", 1 },
		{ "the focus going",
			[](TestDriver&, BWindow* window, BTextView* view) {
				WindowLocker locker(window);
				view->MakeFocus(false);
			},
			"axyb\ncd", 3 },
		{ "the window deactivated",
			[](TestDriver& driver, BWindow* window, BTextView*) {
				driver.ActivateWindow(window, false);
			},
			"axyb\ncd", 3 },
		{ "new text",
			[](TestDriver&, BWindow* window, BTextView* view) {
				WindowLocker locker(window);
				view->SetText("new");
			},
			"new", 0 },
		{ "made read-only",
			[](TestDriver&, BWindow* window, BTextView* view) {
				WindowLocker locker(window);
				view->MakeEditable(false);
			},
			"ab\ncd", 1 },
	};
	int32 stopped = fDriver.CompositionsStopped(fWindow);
	for (const leaving_case& test : cases) {
		SCOPED_TRACE(test.name);
		{
			WindowLocker locker(fWindow);
			fView->MakeEditable(true);
			fView->MakeFocus(true);
		}
		ASSERT_EQ(fDriver.ActivateWindow(fWindow), B_OK);
		SetText("ab\ncd", 1);
		ASSERT_EQ(fDriver.ComposeText(fWindow, "xy"), B_OK);
		ASSERT_EQ(Text(), "ab\ncd");
		test.leave(fDriver, fWindow, fView);
		ASSERT_EQ(fDriver.WaitForIdle(), B_OK);
		EXPECT_EQ(Text(), test.text);
		EXPECT_EQ(Caret(), test.caret);
		// The input method was told, once, to forget the composition.
		EXPECT_EQ(fDriver.CompositionsStopped(fWindow), ++stopped);
		// Its end comes later, and changes nothing.
		ASSERT_EQ(fDriver.CancelComposition(fWindow), B_OK);
		EXPECT_EQ(Text(), test.text);
	}
}


TEST_F(TextViewInputMethodTest, CompositionMovingToAnotherWindowEndsHere)
{
	BWindow* other = new BWindow(BRect(100, 400, 499, 599), "Other",
		B_TITLED_WINDOW, 0);
	RecordingTextView* otherView = new RecordingTextView(other->Bounds());
	show_with_focus(fDriver, other, otherView);

	SetText("ab", 2);
	ASSERT_EQ(fDriver.ComposeText(fWindow, "xyz"), B_OK);
	BRect composed = Area(2, Width("xyz"));
	EXPECT_GE(SolidRows(composed), 1);
	ASSERT_EQ(fDriver.ComposeText(other, "uv"), B_OK);
	ASSERT_EQ(fDriver.CommitText(other, "uv"), B_OK);
	EXPECT_EQ(SolidRows(composed), 0);
	EXPECT_EQ(Text(), "ab");
	{
		WindowLocker locker(other);
		EXPECT_EQ(std::string(otherView->Text()), "uv");
	}
	// A late commit for the first window is typed there as keys.
	ASSERT_EQ(fDriver.CommitText(fWindow, "w"), B_OK);
	EXPECT_EQ(Text(), "abw");
}


TEST_F(TextViewInputMethodTest, CandidateWindowIsToldWhereTheCaretIs)
{
	SetText("abc\ndef", 0);
	ASSERT_EQ(fDriver.PressKey(fWindow, B_END), B_OK);
	BRect caret = Area(3, 1);
	BRect told = fDriver.TextInputRect(fWindow);
	EXPECT_EQ(told.LeftTop(), caret.LeftTop());
	EXPECT_EQ(told.bottom, caret.bottom);

	ASSERT_EQ(fDriver.PressKey(fWindow, B_DOWN_ARROW), B_OK);
	caret = Area(7, 1);
	told = fDriver.TextInputRect(fWindow);
	EXPECT_EQ(told.LeftTop(), caret.LeftTop());

	// During a composition: the part being converted.
	ASSERT_EQ(fDriver.ComposeText(fWindow, "xyz", 1, 3), B_OK);
	told = fDriver.TextInputRect(fWindow);
	EXPECT_NEAR(told.left, caret.left + Width("x"), 1);
	EXPECT_EQ(told.top, caret.top);
	EXPECT_NEAR(told.right, caret.left + Width("xyz") - 1, 1);
	ASSERT_EQ(fDriver.CommitText(fWindow, "xyz"), B_OK);
	told = fDriver.TextInputRect(fWindow);
	EXPECT_EQ(told.LeftTop(), Area(10, 1).LeftTop());
}


TEST_F(TextViewInputMethodTest, AnyRunLeavesTheModelsText)
{
	// The model: the text, the caret and what is being composed.
	for (unsigned seed = 1; seed <= 6; seed++) {
		SCOPED_TRACE("seed " + std::to_string(seed));
		srandom(seed);
		SetText("", 0);
		std::string text;
		size_t caret = 0;
		std::string composing;
		auto keep = [&]() {
			text.insert(caret, composing);
			caret += composing.size();
			composing.clear();
		};
		auto word = []() {
			static const char* kPieces[] = { "a", "ni", "\xc3\xa9",
				"\xe4\xbd\xa0", "\xe3\x81\xab\xe3\x81\xbb" };
			std::string made;
			for (long count = 1 + random() % 3; count > 0; count--)
				made += kPieces[random() % 5];
			return made;
		};
		for (int32 step = 0; step < 30; step++) {
			switch (random() % 6) {
				case 0:
				case 1:
					composing = word();
					ASSERT_EQ(fDriver.ComposeText(fWindow, composing.c_str()),
						B_OK);
					break;
				case 2:
				{
					std::string committed = word();
					composing = committed;
					keep();
					ASSERT_EQ(fDriver.CommitText(fWindow, committed.c_str()),
						B_OK);
					break;
				}
				case 3:
					composing.clear();
					ASSERT_EQ(fDriver.CancelComposition(fWindow), B_OK);
					break;
				case 4:
					// A key that reaches the view is typed only when no
					// composition is shown.
					if (composing.empty()) {
						text.insert(caret, "k");
						caret++;
					}
					ASSERT_EQ(fDriver.TypeText(fWindow, "k"), B_OK);
					break;
				case 5:
				{
					keep();
					caret = text.size();
					ASSERT_EQ(fDriver.Click(fWindow, BPoint(390, 190)), B_OK);
					break;
				}
			}
			ASSERT_EQ(Text(), text) << "step " << step;
			ASSERT_EQ(Caret(), (int32)caret) << "step " << step;
		}
	}
}


TEST(TextControlInputMethodTest, DialogFieldShowsTheComposition)
{
	TestDriver driver;
	ASSERT_EQ(driver.Launch<TestApplication>(), B_OK);
	MessageLog log;
	LoggingWindow* window = new LoggingWindow(BRect(100, 100, 399, 179),
		"Find", log, B_MODAL_WINDOW);
	BView* background = new BView(window->Bounds(), "", B_FOLLOW_ALL_SIDES,
		B_WILL_DRAW);
	window->AddChild(background);
	BTextControl* control = new BTextControl(BRect(10, 10, 280, 10), "",
		"Find:", "", NULL);
	control->SetModificationMessage(new BMessage(kModified));
	control->SetDivider(60);
	background->AddChild(control);
	control->MakeFocus(true);
	window->Show();
	ASSERT_EQ(driver.ActivateWindow(window), B_OK);

	BRect entry;
	{
		WindowLocker locker(window);
		BTextView* view = control->TextView();
		entry = view->ConvertToWindow(view->Bounds());
	}
	std::vector<rgb_color> pixels;
	ASSERT_EQ(driver.GetPixels(window, entry, &pixels), B_OK);
	float blank = ink_of(pixels);

	ASSERT_EQ(driver.ComposeText(window, "\xc3\xb1u"), B_OK);
	ASSERT_EQ(driver.GetPixels(window, entry, &pixels), B_OK);
	EXPECT_GT(ink_of(pixels), blank + 5);
	{
		WindowLocker locker(window);
		EXPECT_STREQ(control->Text(), "");
	}
	EXPECT_EQ(log.Count(kModified), 0);

	ASSERT_EQ(driver.CommitText(window, "\xc3\xb1u"), B_OK);
	{
		WindowLocker locker(window);
		EXPECT_STREQ(control->Text(), "\xc3\xb1u");
	}
	EXPECT_EQ(log.Count(kModified), 1);
	// The candidate window goes beside the entry's caret.
	BRect told = driver.TextInputRect(window);
	EXPECT_TRUE(told.IsValid() && entry.Intersects(told));
	EXPECT_GT(told.left, entry.left + 10) << "after the composition";
}
