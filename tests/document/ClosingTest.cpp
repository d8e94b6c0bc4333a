/*
 * Closing a document window, and saving when something goes wrong.
 *
 * Cases:
 * - a window whose text never changed closes at once, without a
 *   question, and the application quits after it;
 * - a changed "Untitled - 2": the question names it between double
 *   quotes and offers "Don't save", "Cancel" and "Save"; Escape and
 *   Cancel keep the window; "Don't save" closes it without writing;
 *   "Save" opens the save panel proposing "Untitled - 2" and keeps the
 *   window, which after saving carries the new name and closes without
 *   asking;
 * - "Save" for a document with a file writes it and closes; when that
 *   save fails the window stays open;
 * - a title of 255 bytes appears whole in the question;
 * - save errors: a file that may not be written and a full disk show
 *   "Unable to save file !" with the reason under it (and print both
 *   with the file's name), leave the old file, Save enabled and the
 *   title as they were;
 * - a file changed on disk since it was loaded, or never loaded, is not
 *   overwritten without asking; "Don't save" is the safe answer;
 * - Save As on a document with a file opens the panel in its folder
 *   with its name proposed; a cancelled panel is made afresh next time;
 * - the question from the keyboard: Tab reaches each answer, Space
 *   gives the focused one, Enter the focused one or else "Save", and
 *   Escape "Cancel".
 */
#include <gtest/gtest.h>

#include <Alert.h>
#include <FilePanel.h>
#include <Message.h>

#include "EditorFixture.h"
#include "MessageCodes.h"
#include "ZELApp.h"
#include "ZELWindow.h"

namespace {

class ClosingTest : public EditorTest {
protected:
	// Asks the window to close as its close box does; the question, if
	// any, is then up.
	void RequestClose(BWindow* window)
	{
		window->PostMessage(B_QUIT_REQUESTED);
		fDriver.WaitForIdle();
	}

	bool IsOpen(const char* title)
	{
		fDriver.WaitForIdle();
		return fDriver.FindWindow(title) != NULL;
	}

	ZELWindow* ChangedUntitledTwo()
	{
		BMessage newWindow(kMsgNew);
		PostToApp(&newWindow);
		ZELWindow* window = Document("Untitled - 2");
		if (window != NULL)
			fDriver.TypeText(window, "unsaved words");
		return window;
	}
};

}	// namespace


TEST_F(ClosingTest, UnchangedWindowClosesWithoutAsking)
{
	ASSERT_TRUE(Launch());
	RequestClose(Document("Untitled - 1"));
	EXPECT_EQ((BAlert*)NULL, fDriver.FindAlert());
	EXPECT_EQ(B_OK, fDriver.WaitFor([this] { return !fDriver.IsRunning(); },
		"the application to quit after its last window"));
}


TEST_F(ClosingTest, QuestionAndItsAnswers)
{
	ASSERT_TRUE(Launch());
	ZELWindow* window = ChangedUntitledTwo();
	ASSERT_NE((ZELWindow*)NULL, window);

	RequestClose(window);
	BAlert* alert = fDriver.WaitForAlert();
	ASSERT_NE((BAlert*)NULL, alert);
	EXPECT_EQ("Save changes to the document \"Untitled - 2\"?",
		fDriver.AlertText(alert));
	EXPECT_EQ((std::vector<std::string>{ "Don't save", "Cancel", "Save" }),
		fDriver.AlertButtonLabels(alert));

	// Escape is Cancel.
	fDriver.PressKey(alert, B_ESCAPE);
	EXPECT_TRUE(IsOpen("Untitled - 2"));
	EXPECT_EQ((BAlert*)NULL, fDriver.FindAlert());

	RequestClose(window);
	Answer(fDriver.WaitForAlert(), 1);
	EXPECT_TRUE(IsOpen("Untitled - 2"));

	// Save: the panel proposes the title, the window stays.
	RequestClose(window);
	Answer(fDriver.WaitForAlert(), 2);
	EXPECT_TRUE(IsOpen("Untitled - 2"));
	BWindow* panel = fDriver.WaitForWindow("Save");
	if (panel == NULL)
		return;
	ASSERT_EQ(B_OK, fDriver.PressPanelButton(panel, B_DEFAULT_BUTTON));
	EXPECT_EQ("unsaved words", ReadFile("Untitled - 2"));
	EXPECT_EQ("Untitled - 2", TitleOf(window));
	EXPECT_TRUE(IsClean(window));

	// Saved, it closes without a question.
	RequestClose(window);
	EXPECT_EQ((BAlert*)NULL, fDriver.FindAlert());
	EXPECT_FALSE(IsOpen("Untitled - 2"));
	EXPECT_EQ(1, App()->OpenWindowCount());
}


TEST_F(ClosingTest, DontSaveClosesWithoutWriting)
{
	WriteFile("kept.txt", "as it was");
	ASSERT_TRUE(Launch({ "kept.txt" }));
	ZELWindow* window = Document("kept.txt");
	fDriver.TypeText(window, "changed ");
	RequestClose(window);
	Answer(fDriver.WaitForAlert(), 0);
	EXPECT_EQ(B_OK, fDriver.WaitFor([this] { return !fDriver.IsRunning(); },
		"the application to quit"));
	EXPECT_EQ("as it was", ReadFile("kept.txt"));
}


TEST_F(ClosingTest, SaveAnswerWritesAndCloses)
{
	WriteFile("doc.txt", "text");
	WriteFile("other.txt", "");
	ASSERT_TRUE(Launch({ "doc.txt", "other.txt" }));
	ZELWindow* window = Document("doc.txt");
	fDriver.TypeText(window, "more ");
	RequestClose(window);
	Answer(fDriver.WaitForAlert(), 2);
	EXPECT_EQ("more text", ReadFile("doc.txt"));
	EXPECT_FALSE(IsOpen("doc.txt"));
	EXPECT_TRUE(IsOpen("other.txt"));
}


TEST_F(ClosingTest, FailedSaveKeepsTheWindow)
{
	WriteFile("locked.txt", "locked");
	ASSERT_EQ(0, chmod(Path("locked.txt").c_str(), 0444));
	ASSERT_EQ(0, chmod(fDirectory.Path().c_str(), 0777));
	ASSERT_TRUE(Launch({ "locked.txt" }));
	ZELWindow* window = Document("locked.txt");
	fDriver.TypeText(window, "x");

	ScopedOrdinaryUser user;
	RequestClose(window);
	Answer(fDriver.WaitForAlert(), 2);
	BAlert* error = fDriver.WaitForAlert();
	ASSERT_NE((BAlert*)NULL, error);
	EXPECT_EQ("Unable to save file !\nPermission denied",
		fDriver.AlertText(error));
	Answer(error, 0);
	EXPECT_TRUE(IsOpen("locked.txt"));
	EXPECT_EQ("locked", ReadFile("locked.txt"));
}


TEST_F(ClosingTest, LongTitleAppearsWhole)
{
	std::string name(250, 'n');
	name += ".text";
	ASSERT_EQ(255u, name.size());
	WriteFile(name, "");
	ASSERT_TRUE(Launch({ name }));
	ZELWindow* window = Document(name.c_str());
	ASSERT_NE((ZELWindow*)NULL, window);
	fDriver.TypeText(window, "x");
	RequestClose(window);
	BAlert* alert = fDriver.WaitForAlert();
	EXPECT_EQ("Save changes to the document \"" + name + "\"?",
		fDriver.AlertText(alert));
	Answer(alert, 1);
}


TEST_F(ClosingTest, SaveErrorsLeaveEverythingAsItWas)
{
	WriteFile("read-only.txt", "old");
	ASSERT_EQ(0, chmod(Path("read-only.txt").c_str(), 0444));
	ASSERT_EQ(0, chmod(fDirectory.Path().c_str(), 0777));
	// The disk fills up part-way through the new bytes. The limit stays
	// far above what anything else of the process writes meanwhile (the
	// font cache, for the alert's text).
	std::string old(256 << 10, 'o');
	WriteFile("full.txt", old);
	ASSERT_TRUE(Launch({ "read-only.txt", "full.txt" }));

	ZELWindow* readOnly = Document("read-only.txt");
	fDriver.TypeText(readOnly, "new ");
	{
		ScopedOrdinaryUser user;
		readOnly->PostMessage(kMsgSave);
		BAlert* alert = fDriver.WaitForAlert();
		ASSERT_NE((BAlert*)NULL, alert);
		EXPECT_EQ("Unable to save file !\nPermission denied",
			fDriver.AlertText(alert));
		EXPECT_EQ(std::vector<std::string>{ "OK" },
			fDriver.AlertButtonLabels(alert));
		Answer(alert, 0);
	}
	// The same, with the file's name, on standard output.
	EXPECT_TRUE(fDriver.WaitForOutput(
		"Unable to save file ! \"read-only.txt\": Permission denied"));
	EXPECT_EQ("old", ReadFile("read-only.txt"));
	EXPECT_TRUE(IsSaveEnabled(readOnly));
	EXPECT_FALSE(IsClean(readOnly));
	EXPECT_EQ("read-only.txt", TitleOf(readOnly));

	ZELWindow* full = Document("full.txt");
	fDriver.TypeText(full, "w");
	{
		ScopedFileSizeLimit limit(128 << 10);
		full->PostMessage(kMsgSave);
		BAlert* alert = fDriver.WaitForAlert();
		ASSERT_NE((BAlert*)NULL, alert);
		EXPECT_EQ("Unable to save file !\nFile too large",
			fDriver.AlertText(alert));
		Answer(alert, 0);
	}
	EXPECT_TRUE(old == ReadFile("full.txt"));
	EXPECT_TRUE(IsSaveEnabled(full));
	EXPECT_EQ("full.txt", list_directory(fDirectory.Path()).substr(0, 8));
}


TEST_F(ClosingTest, ChangedOnDiskIsNotOverwrittenUnasked)
{
	WriteFile("shared.txt", "loaded");
	ASSERT_TRUE(Launch({ "shared.txt" }));
	ZELWindow* window = Document("shared.txt");
	fDriver.TypeText(window, "mine ");

	// Someone else writes the file meanwhile.
	WriteFile("shared.txt", "theirs, newer and longer");
	window->PostMessage(kMsgSave);
	BAlert* alert = fDriver.WaitForAlert();
	ASSERT_NE((BAlert*)NULL, alert);
	EXPECT_NE(std::string::npos,
		fDriver.AlertText(alert).find("\"shared.txt\""));
	// Enter and Escape both mean the safe answer.
	fDriver.PressKey(alert, B_ESCAPE);
	fDriver.WaitForIdle();
	EXPECT_EQ("theirs, newer and longer", ReadFile("shared.txt"));
	EXPECT_TRUE(IsSaveEnabled(window));
	EXPECT_EQ((BAlert*)NULL, fDriver.FindAlert());

	window->PostMessage(kMsgSave);
	Answer(fDriver.WaitForAlert(), 0);
	EXPECT_EQ("mine loaded", ReadFile("shared.txt"));
	EXPECT_FALSE(IsSaveEnabled(window));

	// Saved once, the next save asks nothing.
	fDriver.TypeText(window, "again ");
	Post(window, kMsgSave);
	EXPECT_EQ((BAlert*)NULL, fDriver.FindAlert());
	EXPECT_EQ("mine again loaded", ReadFile("shared.txt"));
}


TEST_F(ClosingTest, SaveAsOpensThePanelAtTheFile)
{
	ASSERT_EQ(0, mkdir(Path("folder").c_str(), 0755));
	write_raw(Path("folder/inside.txt"), "inside");
	ASSERT_TRUE(Launch({ "folder/inside.txt" }));
	ZELWindow* window = Document("inside.txt");

	Post(window, kMsgSaveAs);
	BWindow* panel = fDriver.WaitForWindow("Save");
	ASSERT_NE((BWindow*)NULL, panel);
	std::vector<std::string> entries = fDriver.PanelEntries(panel);
	EXPECT_NE(entries.end(),
		std::find(entries.begin(), entries.end(), "inside.txt"));

	ASSERT_EQ(B_OK, fDriver.CancelPanel(panel));
	EXPECT_TRUE(fDriver.WaitForOutput("BMessage('_CNC')"));
	Post(window, kMsgSaveAs);
	panel = fDriver.WaitForWindow("Save");
	ASSERT_NE((BWindow*)NULL, panel);
	fDriver.TypeText(window, "edited ");
	ASSERT_EQ(B_OK, fDriver.PressPanelButton(panel, B_DEFAULT_BUTTON));
	// The same name in the same folder: the panel may ask before
	// replacing; the window itself does not, the file being its own.
	fDriver.WaitForIdle();
	BAlert* replace = fDriver.FindAlert();
	if (replace != NULL)
		Answer(replace, (int32)fDriver.AlertButtonLabels(replace).size() - 1);
	EXPECT_EQ("edited inside", read_raw(Path("folder/inside.txt")));
}


// The question from the keyboard alone: Tab reaches each answer, Space
// gives the focused one, Enter the default "Save", Escape "Cancel".
TEST_F(ClosingTest, QuestionAnsweredFromTheKeyboard)
{
	WriteFile("doc.txt", "text");
	WriteFile("other.txt", "");
	ASSERT_TRUE(Launch({ "doc.txt", "other.txt" }));
	ZELWindow* window = Document("doc.txt");
	ASSERT_NE((ZELWindow*)NULL, window);
	fDriver.TypeText(window, "more ");

	struct Answer {
		int32 tabs;
		uint32 key;
		bool closes;
		const char* onDisk;
	};
	// The last two answers end the window: "Don't save" would leave the
	// file as it was, so Save is asked for last.
	const Answer answers[] = {
		{ 2, B_SPACE, false, "text" },
		{ 0, B_ESCAPE, false, "text" },
		{ 2, B_ENTER, false, "text" },
		{ 0, B_ENTER, true, "more text" },
	};
	for (const Answer& answer : answers) {
		SCOPED_TRACE(std::to_string(answer.tabs) + " tabs, key "
			+ std::to_string(answer.key));
		RequestClose(window);
		BAlert* alert = fDriver.WaitForAlert();
		ASSERT_NE((BAlert*)NULL, alert);
		for (int32 i = 0; i < answer.tabs; i++)
			fDriver.PressKey(alert, B_TAB);
		if (answer.tabs > 0) {
			EXPECT_EQ("Cancel",
				fDriver.ViewLabel(fDriver.FocusedView(alert)));
		}
		fDriver.PressKey(alert, answer.key);
		EXPECT_EQ(B_OK, fDriver.WaitFor([&] {
			return fDriver.FindAlert() == NULL;
		}, "the question to go"));
		EXPECT_EQ(!answer.closes, IsOpen("doc.txt"));
		EXPECT_EQ(answer.onDisk, ReadFile("doc.txt"));
	}

	// "Don't save" with Tab and Space closes the other one unwritten.
	ZELWindow* other = Document("other.txt");
	ASSERT_NE((ZELWindow*)NULL, other);
	fDriver.TypeText(other, "typed");
	RequestClose(other);
	BAlert* alert = fDriver.WaitForAlert();
	ASSERT_NE((BAlert*)NULL, alert);
	fDriver.PressKey(alert, B_TAB);
	EXPECT_EQ("Don't save", fDriver.ViewLabel(fDriver.FocusedView(alert)));
	fDriver.PressKey(alert, B_SPACE);
	EXPECT_EQ(B_OK, fDriver.WaitFor([this] { return !fDriver.IsRunning(); },
		"the application to quit"));
	EXPECT_EQ("", ReadFile("other.txt"));
}
