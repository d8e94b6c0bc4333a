/*
 * The application object, operated through the test driver.
 *
 * Cases:
 * - a launch without files opens exactly one window, "Untitled - 1", at
 *   DefaultRect;
 * - New cascades by 16 pixels and numbers the windows after the count,
 *   so a number comes back after a window closed; a later launch without
 *   files opens a new untitled window the same way;
 * - the window that brings the count to 16 is cascaded, the next one
 *   starts at DefaultRect again;
 * - a refs message with A, B, C opens C, then B, then A; one that is not
 *   refs opens nothing;
 * - the command line prints "ARGV[ 1]=x" and an empty line per argument;
 *   paths that cannot be resolved still end with one untitled window;
 * - closing the last document window quits even with another window
 *   open, and the settings file is written at exit;
 * - a settings record sent to the application replaces the current one
 *   and reaches every window;
 * - the Open panel starts in the folder of the document it was asked
 *   from (menu or shortcut, also after Save As moved it), and from an
 *   untitled window stays in the folder it was last used in;
 * - with many windows printing at once, every diagnostic line and every
 *   message dump reaches standard output unbroken.
 */
#include <gtest/gtest.h>

#include <Alert.h>
#include <AppDefs.h>
#include <Entry.h>
#include <FilePanel.h>
#include <Message.h>
#include <Window.h>

#include <set>

#include <sys/stat.h>

#include "EditorFixture.h"
#include "MessageCodes.h"
#include "Settings.h"
#include "ZELApp.h"
#include "ZELTextView.h"
#include "ZELWindow.h"

namespace {

class ZELAppTest : public EditorTest {
};


BMessage
refs_message(const std::vector<std::string>& paths)
{
	BMessage message(B_REFS_RECEIVED);
	for (const std::string& path : paths) {
		entry_ref ref;
		EXPECT_EQ(B_OK, get_ref_for_path(path.c_str(), &ref));
		message.AddRef("refs", &ref);
	}
	return message;
}

}	// namespace


TEST_F(ZELAppTest, LaunchWithoutFilesOpensOneUntitledWindow)
{
	ASSERT_TRUE(Launch());
	ZELWindow* window = Document("Untitled - 1");
	ASSERT_NE((ZELWindow*)NULL, window);
	EXPECT_EQ(1, fDriver.CountWindows());
	EXPECT_EQ(BRect(60, 60, 499, 399), FrameOf(window));
	EXPECT_EQ(1, CountLines("ZELApp constructor"));
	EXPECT_EQ("", TextIn(window));
}


TEST_F(ZELAppTest, NewWindowsCascadeAndNumbersFollowTheCount)
{
	ASSERT_TRUE(Launch());
	BMessage newWindow(kMsgNew);
	PostToApp(&newWindow);
	PostToApp(&newWindow);
	ZELWindow* second = Document("Untitled - 2");
	ZELWindow* third = Document("Untitled - 3");
	ASSERT_TRUE(second != NULL && third != NULL);
	EXPECT_EQ(BRect(76, 76, 515, 415), FrameOf(second));
	EXPECT_EQ(BRect(92, 92, 531, 431), FrameOf(third));

	// Closing the first of three and asking for a new one gives a second
	// "Untitled - 3": the count, not the history, decides.
	ASSERT_EQ(B_OK, fDriver.CloseWindow(Document("Untitled - 1")));
	EXPECT_EQ(2, fDriver.CountWindows());
	PostToApp(&newWindow);
	int32 thirds = 0;
	for (int32 i = 0; BWindow* window = App()->WindowAt(i); i++) {
		if (window->Lock()) {
			thirds += strcmp(window->Title(), "Untitled - 3") == 0;
			window->Unlock();
		}
	}
	EXPECT_EQ(2, thirds);
}


TEST_F(ZELAppTest, CascadeStartsAgainAfterSixteen)
{
	ASSERT_TRUE(Launch());
	BMessage newWindow(kMsgNew);
	for (int32 i = 2; i <= 17; i++)
		PostToApp(&newWindow);

	EXPECT_EQ(BRect(300, 300, 739, 639), FrameOf(Document("Untitled - 16")));
	EXPECT_EQ(BRect(60, 60, 499, 399), FrameOf(Document("Untitled - 17")));
	EXPECT_EQ(17, App()->OpenWindowCount());
}


TEST_F(ZELAppTest, RefsOpenInReverseOrder)
{
	WriteFile("A", "a");
	WriteFile("B", "b");
	WriteFile("C", "c");
	ASSERT_TRUE(Launch());

	BMessage refs = refs_message({ Path("A"), Path("B"), Path("C") });
	PostToApp(&refs);
	// C came first, so it took the first cascade step after window 1.
	EXPECT_EQ(BRect(76, 76, 515, 415), FrameOf(Document("C")));
	EXPECT_EQ(BRect(92, 92, 531, 431), FrameOf(Document("B")));
	EXPECT_EQ(BRect(108, 108, 547, 447), FrameOf(Document("A")));
	EXPECT_EQ("a", TextIn(Document("A")));

	// A refs message whose "refs" are no references opens nothing.
	BMessage wrong(B_REFS_RECEIVED);
	wrong.AddString("refs", Path("A").c_str());
	PostToApp(&wrong);
	EXPECT_EQ(4, fDriver.CountWindows());
}


TEST_F(ZELAppTest, CommandLineIsPrintedAndOpened)
{
	WriteFile("x", "the x file");
	ASSERT_TRUE(Launch({ "x", "y" }));
	EXPECT_TRUE(PrintedInOrder({ "ARGV[ 1]=x", "" }));
	EXPECT_TRUE(PrintedInOrder({ "ARGV[ 2]=y", "" }));
	EXPECT_EQ("the x file", TextIn(Document("x")));
	// y does not exist yet; its window is named after it all the same.
	EXPECT_EQ("", TextIn(Document("y")));
	EXPECT_EQ(2, fDriver.CountWindows());
}


TEST_F(ZELAppTest, UnresolvablePathsLeaveOneUntitledWindow)
{
	ASSERT_TRUE(Launch({ "no/such/folder/file", "/no/where/either" }));
	EXPECT_NE((ZELWindow*)NULL, Document("Untitled - 1"));
	EXPECT_EQ(1, fDriver.CountWindows());
}


TEST_F(ZELAppTest, LastDocumentClosedQuitsAndWritesSettings)
{
	ASSERT_TRUE(Launch());
	// Another window, such as a settings window, does not keep the
	// application alive.
	BWindow* other = new BWindow(BRect(10, 10, 109, 109), "Other",
		B_TITLED_WINDOW, 0);
	other->Show();
	ASSERT_NE((BWindow*)NULL, fDriver.WaitForWindow("Other"));
	EXPECT_EQ("<missing>", ReadFile("Orvane"));

	ASSERT_EQ(B_OK, fDriver.CloseWindow(Document("Untitled - 1")));
	EXPECT_EQ(B_OK, fDriver.WaitFor([this] { return !fDriver.IsRunning(); },
		"the application to quit"));
	// The driver deletes the application object, as main() would.
	fDriver.Quit();
	EXPECT_TRUE(fDriver.WaitForOutput("ZELApp destructor"));
	EXPECT_NE("<missing>", ReadFile("Orvane"));

	BMessage saved;
	LoadSettings(&saved);
	EXPECT_EQ(255, saved.GetInt32(LineLength, -1));
}


TEST_F(ZELAppTest, SettingsReachEveryWindow)
{
	ASSERT_TRUE(Launch());
	BMessage newWindow(kMsgNew);
	PostToApp(&newWindow);

	BMessage record(kMsgSettingsRecord);
	record.AddInt32(LineLength, 10);
	record.AddString(FontFamily, "DejaVu Sans Mono");
	record.AddInt32(FontSize, 20);
	PostToApp(&record);

	EXPECT_EQ(10, App()->CurrentSettings().GetInt32(LineLength, -1));
	for (const char* title : { "Untitled - 1", "Untitled - 2" }) {
		ZELWindow* window = Document(title);
		ZELTextView* view = TextOf(window);
		ASSERT_TRUE(view != NULL && window->Lock());
		BFont font;
		view->GetFontAndColor(&font, NULL);
		EXPECT_EQ(20, font.Size()) << title;
		EXPECT_FLOAT_EQ(font.StringWidth("M") * 10 + 1,
			view->TextRect().right) << title;
		window->Unlock();
	}
}


TEST_F(ZELAppTest, OpenPanelOpensTheChosenFiles)
{
	WriteFile("first.txt", "1");
	WriteFile("second.txt", "2");
	ASSERT_TRUE(Launch());
	ZELWindow* window = Document("Untitled - 1");
	ASSERT_EQ(B_OK, fDriver.ChooseMenuItem(window, "File/Open"));
	BWindow* panel = fDriver.WaitForWindow("Open");
	ASSERT_NE((BWindow*)NULL, panel);
	ASSERT_EQ(B_OK, fDriver.ChoosePanelEntries(panel,
		{ "first.txt", "second.txt" }));
	ASSERT_EQ(B_OK, fDriver.PressPanelButton(panel, B_DEFAULT_BUTTON));
	EXPECT_EQ("1", TextIn(Document("first.txt")));
	EXPECT_EQ("2", TextIn(Document("second.txt")));
	EXPECT_EQ(3, App()->OpenWindowCount());

	// The panel is kept and shown again.
	ASSERT_EQ(B_OK, fDriver.ChooseMenuItem(window, "File/Open"));
	EXPECT_NE((BWindow*)NULL, fDriver.WaitForWindow("Open"));
}


TEST_F(ZELAppTest, OpenPanelStartsInTheDocumentsFolder)
{
	ASSERT_EQ(0, mkdir(Path("notes").c_str(), 0755));
	ASSERT_EQ(0, mkdir(Path("other").c_str(), 0755));
	WriteFile("notes/a.txt", "a");
	WriteFile("other/b.txt", "b");
	ASSERT_TRUE(Launch({ Path("notes/a.txt") }));
	ZELWindow* document = Document("a.txt");
	ASSERT_EQ(B_OK, fDriver.ChooseMenuItem(document, "File/Open"));
	BWindow* panel = fDriver.WaitForWindow("Open");
	ASSERT_NE((BWindow*)NULL, panel);
	EXPECT_EQ(std::vector<std::string>{ "a.txt" },
		fDriver.PanelEntries(panel));
	ASSERT_EQ(B_OK, fDriver.CancelPanel(panel));

	// An untitled window has no folder: the panel opens where it was.
	ASSERT_EQ(B_OK, fDriver.ChooseMenuItem(document, "File/New"));
	ZELWindow* untitled = Document("Untitled - 2");
	ASSERT_EQ(B_OK, fDriver.ChooseMenuItem(untitled, "File/Open"));
	EXPECT_EQ(std::vector<std::string>{ "a.txt" },
		fDriver.PanelEntries(panel));
	ASSERT_EQ(B_OK, fDriver.GoToPanelFolder(panel, "../other"));
	ASSERT_EQ(B_OK, fDriver.OpenPanelEntry(panel, "b.txt"));
	EXPECT_EQ("b", TextIn(Document("b.txt")));

	ASSERT_EQ(B_OK, fDriver.ChooseMenuItem(untitled, "File/Open"));
	EXPECT_EQ(std::vector<std::string>{ "b.txt" },
		fDriver.PanelEntries(panel));
	ASSERT_EQ(B_OK, fDriver.CancelPanel(panel));
	// From the keyboard too, the document's own folder wins.
	ASSERT_EQ(B_OK, fDriver.PressKey(document, 'o', B_COMMAND_KEY));
	EXPECT_EQ(std::vector<std::string>{ "a.txt" },
		fDriver.PanelEntries(panel));

	// A document saved under a new name elsewhere opens from there.
	ASSERT_EQ(B_OK, fDriver.CancelPanel(panel));
	BMessage save(B_SAVE_REQUESTED);
	entry_ref folder;
	ASSERT_EQ(B_OK, get_ref_for_path(Path("other").c_str(), &folder));
	save.AddRef("directory", &folder);
	save.AddString("name", "c.txt");
	Post(untitled, &save);
	ASSERT_EQ(B_OK, fDriver.ChooseMenuItem(Document("a.txt"), "File/Open"));
	ASSERT_EQ(B_OK, fDriver.ChooseMenuItem(Document("c.txt"), "File/Open"));
	EXPECT_EQ((std::vector<std::string>{ "b.txt", "c.txt" }),
		fDriver.PanelEntries(panel));
}


TEST_F(ZELAppTest, AboutBoxAndEditMenu)
{
	ASSERT_TRUE(Launch());
	ZELWindow* window = Document("Untitled - 1");
	ASSERT_EQ(B_OK, fDriver.ChooseMenuItem(window, "File/About Orvane..."));
	BAlert* about = fDriver.WaitForAlert();
	ASSERT_NE((BAlert*)NULL, about);
	EXPECT_EQ("About...", fDriver.AlertTitle(about));
	// Its icon says information, not a warning; the frame shows whose
	// box it is.
	EXPECT_EQ(B_INFO_ALERT, about->Type());
	EXPECT_EQ("Orvane", fDriver.ScreenTitle(about));
	EXPECT_EQ(0u, fDriver.AlertText(about).find("\nOrvane\n\n"));
	EXPECT_EQ(std::vector<std::string>{ "OK" },
		fDriver.AlertButtonLabels(about));
	ASSERT_EQ(B_OK, fDriver.PressAlertButton(about, 0));

	// The Edit menu reaches the text view.
	fDriver.TypeText(window, "clip me");
	ASSERT_EQ(B_OK, fDriver.ChooseMenuItem(window, "Edit/Select All"));
	ASSERT_EQ(B_OK, fDriver.ChooseMenuItem(window, "Edit/Cut"));
	EXPECT_EQ("", TextIn(window));
	ASSERT_EQ(B_OK, fDriver.ChooseMenuItem(window, "Edit/Paste"));
	ASSERT_EQ(B_OK, fDriver.ChooseMenuItem(window, "Edit/Paste"));
	EXPECT_EQ("clip meclip me", TextIn(window));
	ASSERT_EQ(B_OK, fDriver.ChooseMenuItem(window, "Edit/Undo"));
	EXPECT_EQ("clip me", TextIn(window));

	// Items of later work are there and enabled.
	EXPECT_TRUE(fDriver.IsMenuItemEnabled(window, "Edit/Find..."));
	EXPECT_TRUE(fDriver.IsMenuItemEnabled(window, "Extras/Settings"));
	EXPECT_TRUE(fDriver.IsMenuItemEnabled(window, "File/Save"));
}


// Two windows once printed "ZELTextViewZELTextView AdjustView", and
// message dumps ran into each other line by line.
TEST_F(ZELAppTest, LinesFromManyWindowsStayWhole)
{
	ASSERT_TRUE(Launch());
	const int kWindows = 8;
	for (int i = 1; i < kWindows; i++) {
		BMessage newWindow(kMsgNew);
		PostToApp(&newWindow);
	}
	ASSERT_EQ(kWindows, fDriver.CountWindows());
	// Every window prints its lines and dumps on its own thread.
	for (int round = 0; round < 10; round++) {
		BMessage record(kMsgSettingsRecord);
		record.AddInt32(LineLength, 40 + round);
		record.AddString(FontFamily, "DejaVu Sans Mono");
		record.AddInt32(FontSize, 12);
		PostToApp(&record);
	}
	SyncOutput();

	const std::set<std::string> known = { "Main", "ZELApp constructor",
		"ZELApp MessageReceived", "ZELWindow constructor",
		"ZELWindow MessageReceived", "ZELTextView", "ZELTextView AdjustView",
		"LoadSettings", "file.InitCheck not OK" };
	bool inDump = false;
	int dumps = 0;
	int adjusted = 0;
	for (const std::string& line : fDriver.OutputLines()) {
		if (inDump) {
			// A dump goes on with indented lines to its closing brace.
			inDump = line != "}";
			EXPECT_TRUE(line == "}" || line.compare(0, 8, "        ") == 0)
				<< "inside a dump: " << line;
			continue;
		}
		if (line.compare(0, 9, "BMessage(") == 0) {
			inDump = true;
			dumps++;
			continue;
		}
		if (line.compare(0, 17, "-- output marker ") == 0)
			continue;
		EXPECT_EQ(1u, known.count(line)) << line;
		adjusted += line == "ZELTextView AdjustView" ? 1 : 0;
	}
	EXPECT_FALSE(inDump);
	// Each view adjusts once when it is made, then once per record.
	EXPECT_EQ(11 * kWindows, adjusted);
	EXPECT_GE(dumps, 10 * kWindows * 2);
}


// A launch without files while Orvane ran showed nothing at all.
TEST_F(ZELAppTest, LaunchWithoutFilesWhileRunningOpensAWindow)
{
	ASSERT_TRUE(Launch());
	BMessage relaunch(B_SILENT_RELAUNCH);
	PostToApp(&relaunch);
	EXPECT_EQ(2, fDriver.CountWindows());
	ZELWindow* window = Document("Untitled - 2");
	ASSERT_NE((ZELWindow*)NULL, window);
	EXPECT_EQ(BRect(76, 76, 515, 415), FrameOf(window));
	EXPECT_EQ("", TextIn(window));
}
