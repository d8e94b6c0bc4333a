/*
 * The settings window and its two font fields, through the test driver.
 *
 * Cases:
 * - the size field lists 6 to 24 (19 items, ascending) whichever way the
 *   range is given, and one item for a range of one; its setter marks
 *   the size's item or, for a size it does not list, none; its getter
 *   gives 0 and says so when the field shows no number;
 * - the family field lists every installed family; its setter marks an
 *   installed family and nothing for an unknown or an over-long name;
 * - Ctrl+E opens a window laid out at 76, 100 with the buttons in a
 *   column, the "W=%.2f H=%.2f" line, the current record shown and the
 *   buttons in step; every label fits before the divider;
 * - typing enables Apply and Revert and makes Apply the default button;
 * - Apply parses the line length as "%li" does, whole however long:
 *   80, 0x50, 010, 12abc, -3, 0, and numbers beyond 32 bits held at the
 *   range's end; abc, an empty text and blanks send nothing, say so and
 *   put the focus in the text;
 * - an Apply changes every open document at once and is in the settings
 *   file after the next exit;
 * - Default sends the defaults and shows them; Revert then shows what
 *   this window applied before;
 * - two windows keep applied records of their own;
 * - a record without a size or a family: said so, and Apply sends 0 and
 *   an empty family;
 * - choosing a family or a size sends one empty message and enables
 *   Apply;
 * - Escape from the text, either field or a button, Cancel and the close
 *   box close the window and send nothing;
 * - from the keyboard alone: Tab visits every enabled control once in
 *   the order they were added, Shift+Tab the other way; a size chosen
 *   with Space, Down and Enter keeps the focus on its field and brings
 *   Apply and Revert in, and Space on Revert goes back.
 */
#include <gtest/gtest.h>

#include <Button.h>
#include <Font.h>
#include <MenuItem.h>
#include <PopUpMenu.h>
#include <TextControl.h>
#include <TextView.h>

#include <algorithm>
#include <string>

#include <math.h>
#include <stdint.h>

#include "EditorFixture.h"
#include "MessageCodes.h"
#include "Settings.h"
#include "ZELApp.h"
#include "ZELFontField.h"
#include "ZELFontSize.h"
#include "ZELSetting.h"
#include "ZELTextView.h"
#include "ZELWindow.h"

namespace {

// What a settings window shows, read under its lock.
struct Shown {
	std::string	lineLength;
	std::string	family;
	std::string	size;
	bool		applyEnabled;
	bool		revertEnabled;
	std::string	defaultButton;
	bool		focusInText;
};


class ZELSettingTest : public EditorTest {
protected:
	ZELSetting* OpenSettings()
	{
		int32 before = SettingsWindows().size();
		ZELWindow* document = Document("Untitled - 1");
		if (document == NULL)
			return NULL;
		fDriver.PressKey(document, 'e', B_COMMAND_KEY);
		fDriver.WaitFor([&] {
			return (int32)SettingsWindows().size() > before;
		}, "a settings window");
		std::vector<ZELSetting*> windows = SettingsWindows();
		return (int32)windows.size() > before ? windows.back() : NULL;
	}

	std::vector<ZELSetting*> SettingsWindows()
	{
		std::vector<ZELSetting*> windows;
		if (App()->Lock()) {
			for (int32 i = 0; BWindow* window = App()->WindowAt(i); i++) {
				if (ZELSetting* settings = dynamic_cast<ZELSetting*>(window))
					windows.push_back(settings);
			}
			App()->Unlock();
		}
		return windows;
	}

	BTextControl* LineLengthOf(BWindow* window)
	{
		return dynamic_cast<BTextControl*>(
			fDriver.FindControl(window, "Line-Length:"));
	}

	Shown ShownIn(BWindow* window)
	{
		Shown shown = {};
		BTextControl* text = LineLengthOf(window);
		ZELFontField* family = fDriver.FindView<ZELFontField>(window);
		ZELFontSize* size = fDriver.FindView<ZELFontSize>(window);
		BButton* apply = Button(window, "Apply");
		BButton* revert = Button(window, "Revert");
		if (text == NULL || family == NULL || size == NULL || apply == NULL
			|| revert == NULL || !window->Lock()) {
			ADD_FAILURE() << "the settings window's controls";
			return shown;
		}
		shown.lineLength = text->Text();
		shown.family = family->MenuItem()->Label();
		shown.size = size->MenuItem()->Label();
		shown.applyEnabled = apply->IsEnabled();
		shown.revertEnabled = revert->IsEnabled();
		if (window->DefaultButton() != NULL)
			shown.defaultButton = window->DefaultButton()->Label();
		shown.focusInText = window->CurrentFocus() == text->TextView();
		window->Unlock();
		return shown;
	}

	void Press(BWindow* window, const char* label)
	{
		BButton* button = Button(window, label);
		ASSERT_NE((BButton*)NULL, button) << label;
		ASSERT_EQ(B_OK, fDriver.Click(button));
	}

	void SetLineLength(BWindow* window, const char* text)
	{
		BTextControl* control = LineLengthOf(window);
		ASSERT_TRUE(control != NULL && window->Lock());
		control->SetText(text);
		window->Unlock();
		fDriver.WaitForIdle();
	}

	BMessage Current()
	{
		BMessage current;
		if (App()->Lock()) {
			current = App()->CurrentSettings();
			App()->Unlock();
		}
		return current;
	}

	void ExpectInStep(BWindow* window)
	{
		Shown shown = ShownIn(window);
		EXPECT_FALSE(shown.applyEnabled);
		EXPECT_FALSE(shown.revertEnabled);
		EXPECT_EQ("Cancel", shown.defaultButton);
	}

	void ExpectEdited(BWindow* window)
	{
		Shown shown = ShownIn(window);
		EXPECT_TRUE(shown.applyEnabled);
		EXPECT_TRUE(shown.revertEnabled);
		EXPECT_EQ("Apply", shown.defaultButton);
	}

	std::string FixedFamily()
	{
		font_family family;
		be_fixed_font->GetFamilyAndStyle(&family, NULL);
		return family;
	}

	std::string FixedSize()
	{
		return std::to_string((int)be_fixed_font->Size());
	}
};

}	// namespace


TEST_F(ZELSettingTest, SizeFieldListsItsRangeAndMarksOnlyWhatItLists)
{
	ASSERT_TRUE(Launch());
	ASSERT_TRUE(App()->Lock());
	ZELFontSize up(BRect(0, 0, 150, 10), 6, 24);
	ZELFontSize down(BRect(0, 0, 150, 10), 24, 6);
	ZELFontSize one(BRect(0, 0, 150, 10), 6, 6);
	// Up to the largest 16-bit size: a 16-bit counter would never end.
	ZELFontSize top(BRect(0, 0, 150, 10), INT16_MAX - 2, INT16_MAX);
	App()->Unlock();
	ASSERT_EQ(3, top.Menu()->CountItems());
	EXPECT_EQ(std::string("32767"), top.Menu()->ItemAt(2)->Label());

	ASSERT_EQ(19, up.Menu()->CountItems());
	ASSERT_EQ(19, down.Menu()->CountItems());
	for (int32 i = 0; i < 19; i++) {
		EXPECT_EQ(std::to_string(6 + i), up.Menu()->ItemAt(i)->Label());
		EXPECT_EQ(std::to_string(6 + i), down.Menu()->ItemAt(i)->Label());
	}
	ASSERT_EQ(1, one.Menu()->CountItems());
	EXPECT_EQ(std::string("6"), one.Menu()->ItemAt(0)->Label());
	EXPECT_EQ(std::string("Size"), std::string(up.Label()));
	EXPECT_EQ(std::string("ZELFontSize"), std::string(up.Name()));

	int32 size = -1;
	up.GetFontSize(&size);
	EXPECT_EQ(0, size);
	EXPECT_TRUE(fDriver.WaitForOutput("ZELFontSIze GetFontSize not OK"));

	up.SetFontSize(12);
	up.GetFontSize(&size);
	EXPECT_EQ(12, size);
	EXPECT_EQ(std::string("12"), up.MenuItem()->Label());
	EXPECT_EQ(std::string("12"), up.Menu()->FindMarked()->Label());

	up.SetFontSize(30);
	EXPECT_EQ((BMenuItem*)NULL, up.Menu()->FindMarked());
	up.SetFontSize(-12);
	EXPECT_EQ((BMenuItem*)NULL, up.Menu()->FindMarked());
	up.SetFontSize(24);
	EXPECT_EQ(18, up.Menu()->FindMarkedIndex());
}


TEST_F(ZELSettingTest, FamilyFieldListsEveryFamily)
{
	ASSERT_TRUE(Launch());
	ASSERT_TRUE(App()->Lock());
	ZELFontField field(BRect(0, 0, 150, 10));
	App()->Unlock();

	int32 count = count_font_families();
	ASSERT_GT(count, 0);
	ASSERT_EQ(count, field.Menu()->CountItems());
	for (int32 i = 0; i < count; i++) {
		font_family family;
		ASSERT_EQ(B_OK, get_font_family(i, &family, NULL));
		EXPECT_EQ(std::string(family), field.Menu()->ItemAt(i)->Label());
	}

	char family[B_FONT_FAMILY_LENGTH + 1] = "junk";
	field.GetFontFamily(&family);
	EXPECT_STREQ("", family);

	field.SetFontFamily(FixedFamily().c_str());
	field.GetFontFamily(&family);
	EXPECT_EQ(FixedFamily(), family);
	ASSERT_NE((BMenuItem*)NULL, field.Menu()->FindMarked());
	EXPECT_EQ(FixedFamily(), field.Menu()->FindMarked()->Label());

	field.SetFontFamily("No Such Family");
	EXPECT_EQ((BMenuItem*)NULL, field.Menu()->FindMarked());
	// A name longer than any family's, which begins with an installed
	// one: compared whole, never cut to a buffer.
	std::string longName = FixedFamily() + std::string(100, 'x');
	field.SetFontFamily(FixedFamily().c_str());
	field.SetFontFamily(longName.c_str());
	EXPECT_EQ((BMenuItem*)NULL, field.Menu()->FindMarked());
}


TEST_F(ZELSettingTest, OpensWithTheCurrentRecordInStep)
{
	ASSERT_TRUE(Launch());
	ZELSetting* window = OpenSettings();
	ASSERT_NE((ZELSetting*)NULL, window);
	fDriver.WaitForIdle();

	Shown shown = ShownIn(window);
	EXPECT_EQ("255", shown.lineLength);
	EXPECT_EQ(FixedFamily(), shown.family);
	EXPECT_EQ(FixedSize(), shown.size);
	EXPECT_TRUE(shown.focusInText);
	ExpectInStep(window);

	// The layout: a 350 wide window at 76, 100, the buttons one width
	// and height in a column at the right, the window as tall as that.
	ASSERT_TRUE(window->Lock());
	BRect frame = window->Frame();
	BRect cancel = Button(window, "Cancel")->Frame();
	BRect apply = Button(window, "Apply")->Frame();
	BRect revert = Button(window, "Revert")->Frame();
	BRect field = fDriver.FindView<ZELFontSize>(window)->Frame();
	float divider = fDriver.FindView<ZELFontSize>(window)->Divider();
	window->Unlock();
	EXPECT_EQ(BPoint(76, 100), frame.LeftTop());
	EXPECT_EQ(349, frame.Width());
	float width = cancel.Width();
	float height = cancel.Height();
	EXPECT_EQ(349 - 10, cancel.right);
	EXPECT_EQ(width, apply.Width());
	EXPECT_EQ(10, apply.top);
	EXPECT_EQ(apply.bottom + 5, revert.top);
	EXPECT_EQ(cancel.bottom + 10, frame.Height());
	EXPECT_EQ(4 * height + 35, frame.Height());
	EXPECT_EQ(BPoint(10, 60), field.LeftTop());
	EXPECT_GE(divider, 60);
	char line[64];
	snprintf(line, sizeof(line), "W=%.2f H=%.2f", width, height);
	EXPECT_TRUE(fDriver.WaitForOutput(line)) << line;
	EXPECT_TRUE(fDriver.WaitForOutput("ZELSetting constructor"));
}


TEST_F(ZELSettingTest, EveryLabelFitsBeforeTheDivider)
{
	ASSERT_TRUE(Launch());
	ZELSetting* window = OpenSettings();
	ASSERT_NE((ZELSetting*)NULL, window);
	BTextControl* text = LineLengthOf(window);
	ZELFontField* family = fDriver.FindView<ZELFontField>(window);
	ZELFontSize* size = fDriver.FindView<ZELFontSize>(window);
	ASSERT_TRUE(text != NULL && family != NULL && size != NULL);
	ASSERT_TRUE(window->Lock());
	// The entry and the fields start at the divider; a label must end
	// before them, or they draw over its end. The divider is 60 unless a
	// label needs more, and the same for all three.
	float divider = text->Divider();
	EXPECT_EQ(divider, family->Divider());
	EXPECT_EQ(divider, size->Divider());
	float widest = 0;
	for (const char* label : { "Line-Length:", "Font", "Size" }) {
		float width = text->StringWidth(label);
		EXPECT_LE(width + 4, divider) << label;
		widest = std::max(widest, width);
	}
	EXPECT_EQ(std::max(60.0f, ceilf(widest) + 6), divider);
	window->Unlock();
	fDriver.SaveScreenshot(window, Path("settings.png").c_str());
}


TEST_F(ZELSettingTest, TypingMakesTheWindowEdited)
{
	ASSERT_TRUE(Launch());
	ZELSetting* window = OpenSettings();
	ASSERT_NE((ZELSetting*)NULL, window);
	fDriver.WaitForIdle();
	fDriver.TypeText(window, "0");
	EXPECT_NE("255", ShownIn(window).lineLength);
	ExpectEdited(window);
}


TEST_F(ZELSettingTest, ApplyParsesTheLineLengthAsScanfDoes)
{
	ASSERT_TRUE(Launch());
	ZELSetting* window = OpenSettings();
	ASSERT_NE((ZELSetting*)NULL, window);

	struct Case { std::string text; int32 sent; };
	const std::string longNumber(300, '7');
	const Case cases[] = {
		{ "80", 80 }, { "0x50", 80 }, { "010", 8 }, { "12abc", 12 },
		{ "-3", -3 }, { "0", 0 }, { "  \t42", 42 }, { "+9", 9 },
		// Far beyond the old 32-byte buffer and beyond 32 bits.
		{ longNumber, INT32_MAX },
		{ "-" + longNumber, INT32_MIN },
		{ "5" + std::string(200, ' ') + "x", 5 },
	};
	for (const Case& test : cases) {
		SetLineLength(window, test.text.c_str());
		ExpectEdited(window);
		Press(window, "Apply");
		BMessage current = Current();
		EXPECT_EQ(kMsgSettingsRecord, current.what);
		EXPECT_EQ(test.sent, current.GetInt32(LineLength, 12345))
			<< test.text;
		EXPECT_EQ(FixedFamily(), current.GetString(FontFamily, "?"));
		EXPECT_EQ(FixedSize(), std::to_string(current.GetInt32(FontSize, -1)));
		ExpectInStep(window);
	}
	EXPECT_NE((BWindow*)NULL, fDriver.FindWindow("Orvane Settings"));

	// Revert shows the last applied record.
	SetLineLength(window, "99");
	Press(window, "Revert");
	EXPECT_EQ("5", ShownIn(window).lineLength);
	ExpectInStep(window);
}


TEST_F(ZELSettingTest, ApplyWithoutANumberSendsNothing)
{
	ASSERT_TRUE(Launch());
	ZELSetting* window = OpenSettings();
	ASSERT_NE((ZELSetting*)NULL, window);

	const std::string longWord(500, 'z');
	for (const char* text : { "abc", "", "   ", "- 3", longWord.c_str() }) {
		SetLineLength(window, text);
		// The focus elsewhere, so that the failed Apply must bring it back.
		ASSERT_TRUE(window->Lock());
		Button(window, "Default")->MakeFocus(true);
		window->Unlock();
		Press(window, "Apply");
		std::string line = std::string("unable to convert linelength-str=")
			+ text;
		EXPECT_TRUE(fDriver.WaitForOutput(line.c_str())) << text;
		EXPECT_EQ(255, Current().GetInt32(LineLength, -1)) << text;
		Shown shown = ShownIn(window);
		EXPECT_TRUE(shown.focusInText) << text;
		EXPECT_EQ(text, shown.lineLength);
		ExpectEdited(window);
	}
}


TEST_F(ZELSettingTest, ApplyChangesEveryDocumentAndIsSavedAtExit)
{
	ASSERT_TRUE(Launch());
	BMessage newWindow(kMsgNew);
	PostToApp(&newWindow);
	ZELWindow* first = Document("Untitled - 1");
	ZELWindow* second = Document("Untitled - 2");
	ZELSetting* window = OpenSettings();
	ASSERT_TRUE(first != NULL && second != NULL && window != NULL);

	SetLineLength(window, "40");
	ASSERT_EQ(B_OK, fDriver.ChooseMenuFieldItem(
		fDriver.FindView<ZELFontSize>(window), "20"));
	Press(window, "Apply");
	for (ZELWindow* document : { first, second }) {
		ZELTextView* view = TextOf(document);
		ASSERT_TRUE(document->Lock());
		BFont font;
		view->GetFontAndColor(&font, NULL);
		EXPECT_EQ(20, font.Size());
		EXPECT_FLOAT_EQ(font.StringWidth("M") * 40 + 1,
			view->TextRect().right);
		document->Unlock();
	}

	EXPECT_EQ(B_OK, fDriver.Quit());
	BMessage saved;
	LoadSettings(&saved);
	EXPECT_EQ(40, saved.GetInt32(LineLength, -1));
	EXPECT_EQ(20, saved.GetInt32(FontSize, -1));
	EXPECT_EQ(FixedFamily(), saved.GetString(FontFamily, "?"));
}


TEST_F(ZELSettingTest, DefaultSendsTheDefaultsAndRevertGoesBack)
{
	ASSERT_TRUE(Launch());
	ZELSetting* window = OpenSettings();
	ASSERT_NE((ZELSetting*)NULL, window);
	SetLineLength(window, "80");
	ASSERT_EQ(B_OK, fDriver.ChooseMenuFieldItem(
		fDriver.FindView<ZELFontSize>(window), "9"));
	Press(window, "Apply");
	EXPECT_EQ(80, Current().GetInt32(LineLength, -1));

	Press(window, "Default");
	EXPECT_EQ(255, Current().GetInt32(LineLength, -1));
	EXPECT_EQ(FixedSize(), std::to_string(Current().GetInt32(FontSize, -1)));
	Shown shown = ShownIn(window);
	EXPECT_EQ("255", shown.lineLength);
	EXPECT_EQ(FixedSize(), shown.size);
	ExpectInStep(window);

	fDriver.TypeText(window, "1");
	ExpectEdited(window);
	Press(window, "Revert");
	shown = ShownIn(window);
	EXPECT_EQ("80", shown.lineLength);
	EXPECT_EQ("9", shown.size);
	ExpectInStep(window);
	// Revert sends nothing: the application keeps the defaults.
	EXPECT_EQ(255, Current().GetInt32(LineLength, -1));
}


TEST_F(ZELSettingTest, TwoWindowsKeepTheirOwnAppliedRecords)
{
	ASSERT_TRUE(Launch());
	ZELSetting* first = OpenSettings();
	ZELSetting* second = OpenSettings();
	ASSERT_TRUE(first != NULL && second != NULL && first != second);

	SetLineLength(first, "80");
	Press(first, "Apply");
	EXPECT_EQ("255", ShownIn(second).lineLength);
	ExpectInStep(second);

	SetLineLength(second, "1");
	Press(second, "Revert");
	EXPECT_EQ("255", ShownIn(second).lineLength);
	SetLineLength(first, "2");
	Press(first, "Revert");
	EXPECT_EQ("80", ShownIn(first).lineLength);
}


TEST_F(ZELSettingTest, RecordWithoutSizeOrFamily)
{
	ASSERT_TRUE(Launch());
	BMessage noSize(kMsgSettingsRecord);
	noSize.AddInt32(LineLength, 70);
	noSize.AddString(FontFamily, FixedFamily().c_str());
	PostToApp(&noSize);
	ZELSetting* window = OpenSettings();
	ASSERT_NE((ZELSetting*)NULL, window);
	EXPECT_TRUE(fDriver.WaitForOutput("no FontSize"));
	EXPECT_EQ("", ShownIn(window).size);
	SetLineLength(window, "71");
	Press(window, "Apply");
	EXPECT_TRUE(fDriver.WaitForOutput("ZELFontSIze GetFontSize not OK"));
	EXPECT_EQ(0, Current().GetInt32(FontSize, -1));
	EXPECT_EQ(71, Current().GetInt32(LineLength, -1));
	// The documents keep a size that can be read.
	ZELWindow* document = Document("Untitled - 1");
	ASSERT_TRUE(document->Lock());
	BFont font;
	TextOf(document)->GetFontAndColor(&font, NULL);
	document->Unlock();
	EXPECT_GT(font.Size(), 0);

	BMessage noFamily(kMsgSettingsRecord);
	noFamily.AddInt32(LineLength, 60);
	noFamily.AddInt32(FontSize, 10);
	PostToApp(&noFamily);
	ZELSetting* other = OpenSettings();
	ASSERT_NE((ZELSetting*)NULL, other);
	EXPECT_TRUE(fDriver.WaitForOutput("no FontFamily"));
	EXPECT_EQ("", ShownIn(other).family);
	SetLineLength(other, "61");
	Press(other, "Apply");
	EXPECT_EQ("", std::string(Current().GetString(FontFamily, "?")));
	EXPECT_EQ(10, Current().GetInt32(FontSize, -1));

	// A family name too long for any family marks nothing; nor does a
	// size whose low 16 bits would be one the field lists (65536 + 12).
	BMessage outOfRange(kMsgSettingsRecord);
	outOfRange.AddInt32(LineLength, 60);
	outOfRange.AddString(FontFamily,
		(FixedFamily() + std::string(200, 'q')).c_str());
	outOfRange.AddInt32(FontSize, 65548);
	PostToApp(&outOfRange);
	ZELSetting* third = OpenSettings();
	ASSERT_NE((ZELSetting*)NULL, third);
	ASSERT_TRUE(third->Lock());
	EXPECT_EQ((BMenuItem*)NULL,
		fDriver.FindView<ZELFontField>(third)->Menu()->FindMarked());
	EXPECT_EQ((BMenuItem*)NULL,
		fDriver.FindView<ZELFontSize>(third)->Menu()->FindMarked());
	third->Unlock();
}


TEST_F(ZELSettingTest, ChoosingAnItemSendsOneEmptyMessage)
{
	ASSERT_TRUE(Launch());
	ZELSetting* window = OpenSettings();
	ASSERT_NE((ZELSetting*)NULL, window);
	fDriver.WaitForIdle();

	struct Case { BMenuField* field; const char* item; const char* line; };
	const Case cases[] = {
		{ fDriver.FindView<ZELFontSize>(window), "7", "BMessage('FMsc') {" },
		{ fDriver.FindView<ZELFontField>(window), "DejaVu Serif",
			"BMessage('FMfc') {" },
	};
	for (const Case& test : cases) {
		Press(window, "Revert");
		SyncOutput();
		int32 before = CountLines(test.line);
		ASSERT_EQ(B_OK, fDriver.ChooseMenuFieldItem(test.field, test.item));
		SyncOutput();
		EXPECT_EQ(before + 1, CountLines(test.line)) << test.item;
		ExpectEdited(window);
		ASSERT_TRUE(window->Lock());
		EXPECT_EQ(std::string(test.item), test.field->MenuItem()->Label());
		// The program puts nothing into the items' messages; the
		// receiver asks the field.
		for (int32 i = 0; i < test.field->Menu()->CountItems(); i++) {
			BMessage* message = test.field->Menu()->ItemAt(i)->Message();
			ASSERT_NE((BMessage*)NULL, message);
			EXPECT_EQ(0, message->CountNames(B_ANY_TYPE));
		}
		window->Unlock();
	}
}


TEST_F(ZELSettingTest, EscapeCancelAndTheCloseBoxSendNothing)
{
	ASSERT_TRUE(Launch());
	// Escape with the focus in each control in turn, then Cancel, then
	// the close box.
	for (int32 round = 0; round < 9; round++) {
		ZELSetting* window = OpenSettings();
		ASSERT_NE((ZELSetting*)NULL, window);
		SetLineLength(window, "33");
		ASSERT_TRUE(window->Lock());
		BView* focus = NULL;
		switch (round) {
			case 0: focus = LineLengthOf(window); break;
			case 1: focus = fDriver.FindView<ZELFontField>(window); break;
			case 2: focus = fDriver.FindView<ZELFontSize>(window); break;
			case 3: focus = Button(window, "Apply"); break;
			case 4: focus = Button(window, "Revert"); break;
			case 5: focus = Button(window, "Default"); break;
			case 6: focus = Button(window, "Cancel"); break;
		}
		if (focus != NULL)
			focus->MakeFocus(true);
		window->Unlock();

		if (round < 7)
			fDriver.PressKey(window, B_ESCAPE);
		else if (round == 7)
			Press(window, "Cancel");
		else
			fDriver.CloseWindow(window);
		fDriver.WaitFor([&] { return SettingsWindows().empty(); },
			"the settings window to close");
		EXPECT_TRUE(SettingsWindows().empty()) << round;
		EXPECT_EQ(255, Current().GetInt32(LineLength, -1)) << round;
		EXPECT_EQ(1, App()->OpenWindowCount()) << round;
	}
	EXPECT_NE((BWindow*)NULL, fDriver.FindWindow("Untitled - 1"));
}


// The window from the keyboard alone: Tab visits every enabled control
// once in the order they were added, Shift+Tab the other way; a size
// chosen with Space, Down and Enter brings Apply and Revert in, and Space
// on Revert goes back.
TEST_F(ZELSettingTest, EveryControlFromTheKeyboard)
{
	ASSERT_TRUE(Launch());
	ZELSetting* window = OpenSettings();
	ASSERT_NE((ZELSetting*)NULL, window);
	fDriver.WaitForIdle();
	ExpectInStep(window);

	const std::vector<std::string> inStep = { "Font", "Size", "Default",
		"Cancel", "Line-Length:" };
	EXPECT_EQ(inStep, fDriver.TabCycle(window));
	EXPECT_EQ(std::vector<std::string>(inStep.rbegin(), inStep.rend()),
		fDriver.TabCycle(window, B_SHIFT_KEY));

	ZELFontSize* size = fDriver.FindView<ZELFontSize>(window);
	ASSERT_NE((ZELFontSize*)NULL, size);
	while (fDriver.FocusedView(window) != size)
		fDriver.PressKey(window, B_TAB);
	std::string before = ShownIn(window).size;
	fDriver.PressKey(window, B_SPACE);
	EXPECT_NE((BWindow*)NULL, fDriver.MenuWindow(size->Menu()));
	fDriver.PressKey(window, B_DOWN_ARROW);
	fDriver.PressKey(window, B_ENTER);
	EXPECT_EQ((BWindow*)NULL, fDriver.MenuWindow(size->Menu()));
	EXPECT_NE(before, ShownIn(window).size);
	EXPECT_EQ(size, fDriver.FocusedView(window));
	ExpectEdited(window);

	const std::vector<std::string> edited = { "Apply", "Revert", "Default",
		"Cancel", "Line-Length:", "Font", "Size" };
	EXPECT_EQ(edited, fDriver.TabCycle(window));
	while (fDriver.ViewLabel(fDriver.FocusedView(window)) != "Revert")
		fDriver.PressKey(window, B_TAB);
	fDriver.PressKey(window, B_SPACE);
	EXPECT_EQ(before, ShownIn(window).size);
	ExpectInStep(window);
}
