/*
 * The find and replace dialog, through the test driver.
 *
 * Cases:
 * - find mode with a selection: title "Search", the heading names the
 *   document, the find field holds the selection and has the focus,
 *   Search and Cancel only, Search enabled and default; Enter posts one
 *   find request and the dialog closes; it stands 16 units right of and
 *   below the text view's top-left corner on the screen; without a
 *   selection the last search text comes back, and a long window title
 *   shows whole in the heading;
 * - the layout: the buttons one width, 5 units apart right of the find
 *   field, the window 10 units beyond them, its size printed; every
 *   label fits beside its field;
 * - replace mode: the replace field starts empty although a replacement
 *   was stored; Replace All replaces, and Cancel leaves the text alone;
 * - an empty initial text: the actions are disabled and Cancel is the
 *   default, so Enter closes without a request; typing enables them for
 *   good, even when the field is emptied again;
 * - Escape closes the dialog from either field without a request, and a
 *   message the dialog does not know changes nothing;
 * - from the keyboard alone: Tab visits each enabled control once per
 *   cycle in either mode, Shift+Tab the other way, disabled actions are
 *   passed over, and Space on Replace All or Cancel does what a click
 *   does.
 */
#include <gtest/gtest.h>

#include <Button.h>
#include <Message.h>
#include <StringView.h>
#include <TextControl.h>

#include <stdio.h>

#include "EditorFixture.h"
#include "MessageCodes.h"
#include "ZELSearch.h"
#include "ZELTextView.h"
#include "ZELWindow.h"

namespace {

class ZELSearchTest : public EditorTest {
protected:
	ZELWindow* Open(const std::string& bytes)
	{
		return OpenDocument("notes.txt", bytes);
	}

	BWindow* OpenDialog(BWindow* document, char key)
	{
		fDriver.PressKey(document, key, B_COMMAND_KEY);
		return fDriver.WaitForWindow("Search");
	}

	BTextControl* Field(BWindow* dialog, const char* label)
	{
		return dynamic_cast<BTextControl*>(fDriver.FindControl(dialog,
			label));
	}
	bool Gone(const char* title = "Search")
	{
		return fDriver.WaitFor([&] {
			return fDriver.FindWindow(title) == NULL;
		}, "the dialog to close") == B_OK;
	}
};

}	// namespace


TEST_F(ZELSearchTest, FindModeWithASelection)
{
	ZELWindow* window = Open("one cat, two cats");
	ASSERT_NE((ZELWindow*)NULL, window);
	Select(window, 4, 7);
	BWindow* dialog = OpenDialog(window, 'f');
	ASSERT_NE((BWindow*)NULL, dialog);
	EXPECT_TRUE(PrintedInOrder({ "ZELSearch constructor" }));

	ASSERT_TRUE(dialog->Lock());
	BStringView* heading = fDriver.FindView<BStringView>(dialog);
	ASSERT_NE((BStringView*)NULL, heading);
	EXPECT_STREQ("Find in \"notes.txt\"", heading->Text());
	BTextControl* find = Field(dialog, "Find:");
	ASSERT_NE((BTextControl*)NULL, find);
	EXPECT_STREQ("cat", find->Text());
	EXPECT_TRUE(find->TextView()->IsFocus());
	EXPECT_EQ((BControl*)NULL, fDriver.FindControl(dialog, "Replace"));
	BButton* search = Button(dialog, "Search");
	ASSERT_NE((BButton*)NULL, search);
	EXPECT_TRUE(search->IsEnabled());
	EXPECT_EQ(search, dialog->DefaultButton());
	EXPECT_EQ(B_MODAL_WINDOW, dialog->Type());
	EXPECT_STREQ("Search", dialog->Title());
	BPoint corner = dialog->Frame().LeftTop();
	dialog->Unlock();

	ASSERT_TRUE(window->Lock());
	BPoint view = TextOf(window)->ConvertToScreen(
		TextOf(window)->Bounds().LeftTop());
	window->Unlock();
	EXPECT_EQ(view + BPoint(16, 16), corner);

	fDriver.PressKey(dialog, B_ENTER);
	EXPECT_TRUE(Gone());
	EXPECT_EQ(std::make_pair(13, 16), SelectionOf(window));
	EXPECT_TRUE(PrintedInOrder({ "Search" }));
	EXPECT_EQ(1, CountLines("Cancel"));
	EXPECT_EQ(1, CountLines("        Find = string(\"cat\", 4 bytes)"));

	// Without a selection the last search text comes back; a long title
	// is never cut from the heading.
	std::string title(300, 't');
	ASSERT_TRUE(window->Lock());
	window->SetTitle(title.c_str());
	window->Unlock();
	Select(window, 2, 2);
	dialog = OpenDialog(window, 'f');
	ASSERT_NE((BWindow*)NULL, dialog);
	ASSERT_TRUE(dialog->Lock());
	EXPECT_STREQ("cat", Field(dialog, "Find:")->Text());
	EXPECT_EQ("Find in \"" + title + "\"",
		fDriver.FindView<BStringView>(dialog)->Text());
	dialog->Unlock();
	fDriver.PressKey(dialog, B_ESCAPE);
	EXPECT_TRUE(Gone());
}


TEST_F(ZELSearchTest, LayoutAndLabels)
{
	ZELWindow* window = Open("x");
	ASSERT_NE((ZELWindow*)NULL, window);
	for (char key : { 'f', 'r' }) {
		SCOPED_TRACE(key);
		Select(window, 0, 1);
		BWindow* dialog = OpenDialog(window, key);
		ASSERT_NE((BWindow*)NULL, dialog);
		ASSERT_TRUE(dialog->Lock());
		BTextControl* find = Field(dialog, "Find:");
		BButton* first = Button(dialog, key == 'f' ? "Search" : "Replace");
		BButton* cancel = Button(dialog, "Cancel");
		ASSERT_TRUE(find != NULL && first != NULL && cancel != NULL);
		BRect field = find->Frame();
		EXPECT_EQ(BRect(10, 47, 260, field.bottom), field);
		EXPECT_EQ(field.right + 20, first->Frame().left);
		EXPECT_EQ(10, first->Frame().top);
		EXPECT_EQ(first->Frame().Width(), cancel->Frame().Width());
		float width;
		float height;
		cancel->GetPreferredSize(&width, &height);
		EXPECT_EQ(height, cancel->Frame().Height());
		int32 buttons = key == 'f' ? 2 : 3;
		EXPECT_EQ(10 + (buttons - 1) * (height + 5), cancel->Frame().top);
		BRect united = cancel->Frame() | field;
		EXPECT_EQ(united.right + 10, dialog->Bounds().Width());
		EXPECT_EQ(united.bottom + 10, dialog->Bounds().Height());
		char line[64];
		snprintf(line, sizeof(line), "W=%.2f H=%.2f", united.Width(),
			united.Height());

		// Every label shows whole before its entry, and the entries of
		// both fields start at one place.
		std::vector<BTextControl*> fields = { find };
		if (key == 'r')
			fields.push_back(Field(dialog, "Replace with:"));
		for (BTextControl* control : fields) {
			ASSERT_NE((BTextControl*)NULL, control);
			EXPECT_GE(control->Divider(), 70);
			EXPECT_LE(control->StringWidth(control->Label()),
				control->Divider() - 6) << control->Label();
			EXPECT_EQ(find->Divider(), control->Divider());
		}
		dialog->Unlock();
		EXPECT_EQ(1, CountLines(line)) << line;

		fDriver.PressKey(dialog, B_ESCAPE);
		ASSERT_TRUE(Gone());
	}
}


TEST_F(ZELSearchTest, ReplaceMode)
{
	ZELWindow* window = Open("red hen, red fox");
	ASSERT_NE((ZELWindow*)NULL, window);
	// A stored replacement does not reach the new dialog.
	BMessage earlier(kMsgSearchReplace);
	earlier.AddString(FindText, "fox");
	earlier.AddString(ReplaceText, "cat");
	window->PostMessage(&earlier, TextOf(window));
	fDriver.WaitForIdle();
	ASSERT_EQ("red hen, red cat", TextIn(window));

	Select(window, 0, 3);
	BWindow* dialog = OpenDialog(window, 'r');
	ASSERT_NE((BWindow*)NULL, dialog);
	ASSERT_TRUE(dialog->Lock());
	BStringView* heading = fDriver.FindView<BStringView>(dialog);
	EXPECT_STREQ("Find & Replace in \"notes.txt\"", heading->Text());
	BTextControl* replace = Field(dialog, "Replace with:");
	ASSERT_NE((BTextControl*)NULL, replace);
	EXPECT_STREQ("", replace->Text());
	EXPECT_EQ(Button(dialog, "Replace"), dialog->DefaultButton());
	EXPECT_EQ((BControl*)NULL, fDriver.FindControl(dialog, "Search"));
	dialog->Unlock();

	fDriver.Click(replace->TextView());
	fDriver.TypeText(dialog, "blue");
	fDriver.Click(Button(dialog, "Replace All"));
	ASSERT_TRUE(Gone());
	EXPECT_EQ("blue hen, blue cat", TextIn(window));
	EXPECT_EQ(1, CountLines("ReplaceAll"));

	// Cancel sends nothing.
	dialog = OpenDialog(window, 'r');
	ASSERT_NE((BWindow*)NULL, dialog);
	fDriver.Click(Button(dialog, "Cancel"));
	ASSERT_TRUE(Gone());
	EXPECT_EQ("blue hen, blue cat", TextIn(window));
	EXPECT_EQ(1, CountLines("ReplaceAll"));
}


TEST_F(ZELSearchTest, EmptyInitialTextDisablesTheActions)
{
	ZELWindow* window = Open("abc abc");
	ASSERT_NE((ZELWindow*)NULL, window);
	BWindow* dialog = OpenDialog(window, 'f');
	ASSERT_NE((BWindow*)NULL, dialog);
	ASSERT_TRUE(dialog->Lock());
	BButton* search = Button(dialog, "Search");
	BButton* cancel = Button(dialog, "Cancel");
	EXPECT_FALSE(search->IsEnabled());
	EXPECT_TRUE(cancel->IsEnabled());
	EXPECT_EQ(cancel, dialog->DefaultButton());
	dialog->Unlock();
	// Enter presses Cancel.
	fDriver.PressKey(dialog, B_ENTER);
	ASSERT_TRUE(Gone());
	EXPECT_EQ(0, CountLines("Search"));

	dialog = OpenDialog(window, 'f');
	ASSERT_NE((BWindow*)NULL, dialog);
	fDriver.TypeText(dialog, "c");
	ASSERT_TRUE(dialog->Lock());
	search = Button(dialog, "Search");
	EXPECT_TRUE(search->IsEnabled());
	EXPECT_EQ(search, dialog->DefaultButton());
	dialog->Unlock();
	fDriver.PressKey(dialog, B_BACKSPACE);
	ASSERT_TRUE(dialog->Lock());
	EXPECT_TRUE(search->IsEnabled());
	dialog->Unlock();
	// An empty request is sent, and finds nothing.
	fDriver.PressKey(dialog, B_ENTER);
	ASSERT_TRUE(Gone());
	EXPECT_EQ(1, CountLines("        Find = string(\"\", 1 bytes)"));
	EXPECT_EQ(std::make_pair(0, 0), SelectionOf(window));
}


TEST_F(ZELSearchTest, EscapeAndStrangeMessages)
{
	ZELWindow* window = Open("abc");
	ASSERT_NE((ZELWindow*)NULL, window);
	Select(window, 0, 1);
	BWindow* dialog = OpenDialog(window, 'r');
	ASSERT_NE((BWindow*)NULL, dialog);

	// A settings record goes to the window's own handling.
	BMessage record(kMsgSettingsRecord);
	dialog->PostMessage(&record);
	fDriver.WaitForIdle();
	EXPECT_NE((BWindow*)NULL, fDriver.FindWindow("Search"));

	// Other keys reach the fields; Escape from the replace field closes.
	fDriver.Click(Field(dialog, "Replace with:")->TextView());
	fDriver.TypeText(dialog, "z");
	fDriver.PressKey(dialog, B_ESCAPE);
	ASSERT_TRUE(Gone());
	EXPECT_EQ("abc", TextIn(window));
	EXPECT_EQ(1, CountLines("Cancel"));
	EXPECT_EQ(0, CountLines("Replace"));
}


// The dialog from the keyboard alone: Tab goes round every enabled
// control once, Shift+Tab the other way, and Space on a button does what
// its click does.
TEST_F(ZELSearchTest, EveryControlFromTheKeyboard)
{
	ZELWindow* window = Open("red hen, red fox");
	ASSERT_NE((ZELWindow*)NULL, window);

	struct Case {
		const char* what;
		char key;
		int32 selectionEnd;
		std::vector<std::string> cycle;
	};
	// First, before any text was searched for: without a text the
	// actions are disabled and passed over.
	const Case cases[] = {
		{ "replace, nothing to find", 'r', 0, { "Replace with:", "Cancel",
			"Find:" } },
		{ "find", 'f', 3, { "Search", "Cancel", "Find:" } },
		{ "replace", 'r', 3, { "Replace with:", "Replace", "Replace All",
			"Cancel", "Find:" } },
	};
	for (const Case& test : cases) {
		SCOPED_TRACE(test.what);
		Select(window, 0, test.selectionEnd);
		BWindow* dialog = OpenDialog(window, test.key);
		ASSERT_NE((BWindow*)NULL, dialog);
		EXPECT_EQ("Find:", fDriver.ViewLabel(fDriver.FocusedView(dialog)));
		std::vector<std::string> forward = fDriver.TabCycle(dialog);
		EXPECT_EQ(test.cycle, forward);
		EXPECT_EQ(std::vector<std::string>(test.cycle.rbegin(),
			test.cycle.rend()), fDriver.TabCycle(dialog, B_SHIFT_KEY));
		fDriver.PressKey(dialog, B_ESCAPE);
		ASSERT_TRUE(Gone());
	}

	// Replace from the keyboard: the replacement typed after Tab, Tab on
	// to Replace All, pressed with Space.
	Select(window, 0, 3);
	BWindow* dialog = OpenDialog(window, 'r');
	ASSERT_NE((BWindow*)NULL, dialog);
	fDriver.PressKey(dialog, B_TAB);
	fDriver.TypeText(dialog, "blue");
	fDriver.PressKey(dialog, B_TAB);
	fDriver.PressKey(dialog, B_TAB);
	EXPECT_EQ("Replace All", fDriver.ViewLabel(fDriver.FocusedView(dialog)));
	fDriver.PressKey(dialog, B_SPACE);
	ASSERT_TRUE(Gone());
	EXPECT_EQ("blue hen, blue fox", TextIn(window));

	// Space on Cancel closes and changes nothing.
	dialog = OpenDialog(window, 'f');
	ASSERT_NE((BWindow*)NULL, dialog);
	fDriver.PressKey(dialog, B_TAB, B_SHIFT_KEY);
	EXPECT_EQ("Cancel", fDriver.ViewLabel(fDriver.FocusedView(dialog)));
	fDriver.PressKey(dialog, B_SPACE);
	ASSERT_TRUE(Gone());
	EXPECT_EQ("blue hen, blue fox", TextIn(window));
}
