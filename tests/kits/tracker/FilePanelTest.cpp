/*
 * The Open and Save panels, operated through the test driver as a
 * person would:
 * - an open panel lists the folder given (folders first), chooses one
 *   file, or several with multiple selection (in list order), only one
 *   without it; the reply goes to be_app without a target, and the
 *   hiding that follows sends B_CANCEL after it;
 * - double-clicking a folder enters it, Backspace goes back up with the
 *   folder left selected, Enter on a folder that may not be chosen
 *   enters it; with B_DIRECTORY_NODE a folder is chosen instead;
 * - Cancel (Escape) and the close box send only B_CANCEL and hide the
 *   panel, which stays usable; Hide() of a hidden panel sends nothing;
 * - a panel can be shown again after it was hidden and chooses again;
 * - a folder that cannot be read (removed; without permission for an
 *   ordinary user) shows why, chooses nothing, and Backspace leaves it;
 * - names with spaces and non-ASCII bytes reach the target intact;
 * - a save panel sends "directory" and "name" to its target, in the
 *   caller's own message when there is one; a new panel shows the
 *   user's home;
 * - saving over an existing file asks first: declined, nothing is sent
 *   and the panel stays; confirmed, the reply goes out; a file clicked
 *   in a save panel proposes its name; a name that cannot be used is
 *   refused with the reason in the panel;
 * - a save panel proposes its name selected, so typing replaces it; a
 *   name typed with spaces and non-ASCII bytes is sent as typed;
 * - a path typed into the path field goes to that folder (relative to
 *   the one shown, or to a file's folder with the file selected), and
 *   Enter there presses nothing; a path to nowhere is refused;
 * - the hooks run on selection changes and hiding; button labels,
 *   target, message and filter can change after construction; a modal
 *   panel is modal to the application; deleting a showing panel closes
 *   its window without a B_CANCEL;
 * - a target may delete the panel as soon as the choice arrives, as a
 *   document window does with its save panel; showing a save panel
 *   again proposes the name just set, not the file clicked last time;
 * - a long folder scrolls with its bar as the keyboard moves through it;
 * - a panel whose window the application closed while quitting can
 *   still be deleted, and a panel never stops the application quitting;
 * - a panel shown from the window its answers go to is a dialog of that
 *   window, one shown for the application a dialog of the active
 *   window, and the keyboard goes back there when it is cancelled;
 * - a save panel's New Folder makes "New Folder", then "New Folder 2",
 *   selected in the list; where it cannot, the panel says why.
 */
#include <Alert.h>
#include <Button.h>
#include <Looper.h>
#include <Directory.h>
#include <Entry.h>
#include <FilePanel.h>
#include <Path.h>
#include <ScrollBar.h>
#include <TextControl.h>
#include <TextView.h>
#include <Window.h>

#include <TestDriver.h>

#include "EntryListView.h"
#include "FilePanelWindow.h"
#include "TrackerTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>

using namespace tracker_test;
using BPrivate::FilePanelWindow;

namespace {

typedef std::vector<std::string> names;

std::string
path_of(const entry_ref& ref)
{
	BPath path(&ref);
	return path.InitCheck() == B_OK ? path.Path() : "";
}


// An application launched by the driver, with the folder's files.
class PanelTest : public ::testing::Test {
protected:
	void SetUp() override
	{
		fFolder.AddFile("b.txt");
		fFolder.AddFile("a.txt");
		fFolder.AddFile("c.txt");
		fFolder.AddFolder("sub");
		fFolder.AddFile("sub/inner.txt");
		ASSERT_EQ(fDriver.Launch<RecordingApplication>(), B_OK);
		fApplication = dynamic_cast<RecordingApplication*>(
			fDriver.Application());
	}

	// Waits until the application has got that many messages.
	std::vector<BMessage> WaitForMessages(size_t count)
	{
		fDriver.WaitFor([&] {
			return fApplication->Messages().size() >= count;
		}, "the panel's messages");
		EXPECT_EQ(fDriver.WaitForIdle(), B_OK);
		return fApplication->Messages();
	}

	std::string ListMessage(BFilePanel& panel)
	{
		FilePanelWindow* window = dynamic_cast<FilePanelWindow*>(
			panel.Window());
		if (window == NULL || !window->Lock())
			return "";
		std::string message = window->List()->Message();
		window->Unlock();
		return message;
	}

	TempFolder fFolder;
	TestDriver fDriver;
	RecordingApplication* fApplication = NULL;
};

}	// namespace


TEST_F(PanelTest, OpensOneFile)
{
	BFilePanel panel;
	EXPECT_EQ(panel.PanelMode(), B_OPEN_PANEL);
	panel.SetPanelDirectory(fFolder.Path().c_str());
	panel.Show();
	ASSERT_EQ(fDriver.WaitForIdle(), B_OK);
	EXPECT_TRUE(panel.IsShowing());
	EXPECT_EQ(fDriver.PanelEntries(panel.Window()),
		(names{"sub", "a.txt", "b.txt", "c.txt"}));

	ASSERT_EQ(fDriver.ChoosePanelEntries(panel.Window(), {"b.txt"}), B_OK);
	entry_ref selected;
	panel.Rewind();
	ASSERT_EQ(panel.GetNextSelectedRef(&selected), B_OK);
	EXPECT_STREQ(selected.name, "b.txt");
	EXPECT_EQ(panel.GetNextSelectedRef(&selected), B_ENTRY_NOT_FOUND);

	ASSERT_EQ(fDriver.PressPanelButton(panel.Window(), B_DEFAULT_BUTTON),
		B_OK);
	std::vector<BMessage> messages = WaitForMessages(2);
	ASSERT_EQ(messages.size(), 2u);
	EXPECT_EQ(messages[0].what, (uint32)B_REFS_RECEIVED);
	EXPECT_EQ(ref_names(messages[0]), names{"b.txt"});
	entry_ref ref;
	ASSERT_EQ(messages[0].FindRef("refs", &ref), B_OK);
	EXPECT_EQ(path_of(ref), fFolder.Child("b.txt"));
	EXPECT_EQ(messages[1].what, (uint32)B_CANCEL);
	EXPECT_EQ((uint32)messages[1].GetInt32("old_what", 0),
		(uint32)B_REFS_RECEIVED);
	EXPECT_FALSE(panel.IsShowing());
}


TEST_F(PanelTest, OpensSeveralFilesInListOrder)
{
	BFilePanel panel;
	panel.SetPanelDirectory(fFolder.Path().c_str());
	panel.Show();
	ASSERT_EQ(fDriver.ChoosePanelEntries(panel.Window(),
		{"c.txt", "a.txt", "sub"}), B_OK);
	// A folder among the files is not what an open panel for files
	// chooses.
	ASSERT_EQ(fDriver.PressPanelButton(panel.Window(), B_DEFAULT_BUTTON),
		B_OK);
	std::vector<BMessage> messages = WaitForMessages(1);
	ASSERT_FALSE(messages.empty());
	EXPECT_EQ(ref_names(messages[0]), (names{"a.txt", "c.txt"}));

	// The keyboard: Shift with the arrows extends from where it started.
	fApplication->Clear();
	panel.Show();
	ASSERT_EQ(fDriver.ChoosePanelEntries(panel.Window(), {"a.txt"}), B_OK);
	ASSERT_EQ(fDriver.PressKey(panel.Window(), B_DOWN_ARROW, B_SHIFT_KEY),
		B_OK);
	ASSERT_EQ(fDriver.PressKey(panel.Window(), B_DOWN_ARROW, B_SHIFT_KEY),
		B_OK);
	ASSERT_EQ(fDriver.PressKey(panel.Window(), B_ENTER), B_OK);
	messages = WaitForMessages(1);
	ASSERT_FALSE(messages.empty());
	EXPECT_EQ(ref_names(messages[0]), (names{"a.txt", "b.txt", "c.txt"}));
}


TEST_F(PanelTest, WithoutMultipleSelectionChoosesOne)
{
	BFilePanel panel(B_OPEN_PANEL, NULL, NULL, 0, false);
	panel.SetPanelDirectory(fFolder.Path().c_str());
	panel.Show();
	ASSERT_EQ(fDriver.ChoosePanelEntries(panel.Window(),
		{"a.txt", "c.txt"}), B_OK);
	ASSERT_EQ(fDriver.PressKey(panel.Window(), B_END, B_SHIFT_KEY), B_OK);
	ASSERT_EQ(fDriver.PressPanelButton(panel.Window(), B_DEFAULT_BUTTON),
		B_OK);
	std::vector<BMessage> messages = WaitForMessages(1);
	ASSERT_FALSE(messages.empty());
	EXPECT_EQ(ref_names(messages[0]), names{"c.txt"});
}


TEST_F(PanelTest, MovesBetweenFolders)
{
	BFilePanel panel;
	panel.SetPanelDirectory(fFolder.Path().c_str());
	panel.Show();

	ASSERT_EQ(fDriver.OpenPanelEntry(panel.Window(), "sub"), B_OK);
	EXPECT_EQ(fDriver.PanelEntries(panel.Window()), names{"inner.txt"});
	entry_ref folder;
	panel.GetPanelDirectory(&folder);
	EXPECT_EQ(path_of(folder), fFolder.Child("sub"));

	// Up again, with the folder we came from selected: Enter goes back
	// in, since a folder is not what this panel chooses.
	ASSERT_EQ(fDriver.PressKey(panel.Window(), B_BACKSPACE), B_OK);
	panel.GetPanelDirectory(&folder);
	EXPECT_EQ(path_of(folder), fFolder.Path());
	panel.Rewind();
	ASSERT_EQ(panel.GetNextSelectedRef(&folder), B_OK);
	EXPECT_STREQ(folder.name, "sub");
	ASSERT_EQ(fDriver.PressKey(panel.Window(), B_ENTER), B_OK);
	EXPECT_EQ(fDriver.PanelEntries(panel.Window()), names{"inner.txt"});
	EXPECT_TRUE(fApplication->Messages().empty());

	// A double click on a file chooses it.
	ASSERT_EQ(fDriver.OpenPanelEntry(panel.Window(), "inner.txt"), B_OK);
	std::vector<BMessage> messages = WaitForMessages(1);
	ASSERT_FALSE(messages.empty());
	entry_ref ref;
	ASSERT_EQ(messages[0].FindRef("refs", &ref), B_OK);
	EXPECT_EQ(path_of(ref), fFolder.Child("sub/inner.txt"));
}


TEST_F(PanelTest, ChoosesFoldersWhenAskedTo)
{
	BFilePanel panel(B_OPEN_PANEL, NULL, NULL, B_DIRECTORY_NODE);
	panel.SetPanelDirectory(fFolder.Path().c_str());
	panel.Show();
	ASSERT_EQ(fDriver.ChoosePanelEntries(panel.Window(), {"sub", "a.txt"}),
		B_OK);
	ASSERT_EQ(fDriver.PressPanelButton(panel.Window(), B_DEFAULT_BUTTON),
		B_OK);
	std::vector<BMessage> messages = WaitForMessages(1);
	ASSERT_FALSE(messages.empty());
	EXPECT_EQ(ref_names(messages[0]), names{"sub"});
}


TEST_F(PanelTest, CancelAndCloseBoxSendOnlyCancel)
{
	BFilePanel panel;
	panel.SetPanelDirectory(fFolder.Path().c_str());
	panel.Show();
	ASSERT_EQ(fDriver.ChoosePanelEntries(panel.Window(), {"a.txt"}), B_OK);
	ASSERT_EQ(fDriver.CancelPanel(panel.Window()), B_OK);
	std::vector<BMessage> messages = WaitForMessages(1);
	ASSERT_EQ(fApplication->Whats(), std::vector<uint32>{B_CANCEL});
	void* source = NULL;
	EXPECT_EQ(messages[0].FindPointer("source", &source), B_OK);
	EXPECT_EQ(source, (void*)&panel);
	EXPECT_FALSE(panel.IsShowing());

	// Hiding a hidden panel says nothing more.
	panel.Hide();
	ASSERT_EQ(fDriver.WaitForIdle(), B_OK);
	EXPECT_EQ(fApplication->Messages().size(), 1u);

	fApplication->Clear();
	panel.Show();
	ASSERT_EQ(fDriver.WaitForIdle(), B_OK);
	ASSERT_TRUE(panel.IsShowing());
	ASSERT_EQ(fDriver.CloseWindow(panel.Window()), B_OK);
	WaitForMessages(1);
	EXPECT_EQ(fApplication->Whats(), std::vector<uint32>{B_CANCEL});
	EXPECT_FALSE(panel.IsShowing());
	// The window stays for the next Show().
	ASSERT_TRUE(panel.Window()->Lock());
	EXPECT_TRUE(panel.Window()->IsHidden());
	panel.Window()->Unlock();
}


TEST_F(PanelTest, ShowsAgainAfterHide)
{
	BFilePanel panel;
	panel.SetPanelDirectory(fFolder.Path().c_str());
	panel.Show();
	ASSERT_EQ(fDriver.ChoosePanelEntries(panel.Window(), {"a.txt"}), B_OK);
	ASSERT_EQ(fDriver.PressPanelButton(panel.Window(), B_DEFAULT_BUTTON),
		B_OK);
	WaitForMessages(2);

	// A file added meanwhile shows up: Show() reads the folder again.
	fFolder.AddFile("d.txt");
	panel.Show();
	ASSERT_EQ(fDriver.WaitForIdle(), B_OK);
	EXPECT_TRUE(panel.IsShowing());
	EXPECT_EQ(fDriver.PanelEntries(panel.Window()),
		(names{"sub", "a.txt", "b.txt", "c.txt", "d.txt"}));
	ASSERT_EQ(fDriver.ChoosePanelEntries(panel.Window(), {"d.txt"}), B_OK);
	ASSERT_EQ(fDriver.PressPanelButton(panel.Window(), B_DEFAULT_BUTTON),
		B_OK);
	std::vector<BMessage> messages = WaitForMessages(4);
	ASSERT_EQ(messages.size(), 4u);
	EXPECT_EQ(ref_names(messages[2]), names{"d.txt"});
	EXPECT_EQ(messages[3].what, (uint32)B_CANCEL);

	// Without hiding when done the panel stays up for more.
	panel.SetHideWhenDone(false);
	panel.Show();
	ASSERT_EQ(fDriver.ChoosePanelEntries(panel.Window(), {"b.txt"}), B_OK);
	ASSERT_EQ(fDriver.PressPanelButton(panel.Window(), B_DEFAULT_BUTTON),
		B_OK);
	messages = WaitForMessages(5);
	ASSERT_EQ(messages.size(), 5u);
	EXPECT_EQ(ref_names(messages[4]), names{"b.txt"});
	EXPECT_TRUE(panel.IsShowing());
}


TEST_F(PanelTest, FolderThatCannotBeReadSaysWhy)
{
	std::string gone = fFolder.AddFolder("gone");
	BFilePanel panel;
	panel.SetPanelDirectory(gone.c_str());
	ASSERT_EQ(rmdir(gone.c_str()), 0);
	panel.Show();
	ASSERT_EQ(fDriver.WaitForIdle(), B_OK);
	EXPECT_TRUE(fDriver.PanelEntries(panel.Window()).empty());
	EXPECT_EQ(ListMessage(panel), "This folder does not exist.");

	ASSERT_EQ(fDriver.PressPanelButton(panel.Window(), B_DEFAULT_BUTTON),
		B_OK);
	EXPECT_TRUE(panel.IsShowing());
	EXPECT_TRUE(fApplication->Messages().empty());

	// Going up leads out of it.
	ASSERT_EQ(fDriver.PressKey(panel.Window(), B_BACKSPACE), B_OK);
	EXPECT_EQ(fDriver.PanelEntries(panel.Window()),
		(names{"sub", "a.txt", "b.txt", "c.txt"}));
	EXPECT_EQ(ListMessage(panel), "");

	if (permissions_apply()) {
		ASSERT_EQ(chmod(fFolder.Child("sub").c_str(), 0), 0);
		ASSERT_EQ(fDriver.OpenPanelEntry(panel.Window(), "sub"), B_OK);
		EXPECT_TRUE(fDriver.PanelEntries(panel.Window()).empty());
		EXPECT_EQ(ListMessage(panel),
			"You are not allowed to read this folder.");
	}
}


TEST_F(PanelTest, NamesWithSpacesAndNonASCIIBytes)
{
	const std::string name = "my notes \xc3\xa4\xe2\x82\xac.txt";
	fFolder.AddFolder("\xc3\xa9t\xc3\xa9 2026");
	fFolder.AddFile("\xc3\xa9t\xc3\xa9 2026/" + name);

	BFilePanel panel;
	panel.SetPanelDirectory(fFolder.Path().c_str());
	panel.Show();
	ASSERT_EQ(fDriver.OpenPanelEntry(panel.Window(),
		"\xc3\xa9t\xc3\xa9 2026"), B_OK);
	ASSERT_EQ(fDriver.ChoosePanelEntries(panel.Window(), {name}), B_OK);
	ASSERT_EQ(fDriver.PressPanelButton(panel.Window(), B_DEFAULT_BUTTON),
		B_OK);
	std::vector<BMessage> messages = WaitForMessages(1);
	ASSERT_FALSE(messages.empty());
	entry_ref ref;
	ASSERT_EQ(messages[0].FindRef("refs", &ref), B_OK);
	EXPECT_EQ(path_of(ref), fFolder.Child("\xc3\xa9t\xc3\xa9 2026/" + name));
}


TEST_F(PanelTest, SavePanelSendsFolderAndName)
{
	BMessenger target(fApplication);
	BMessage own('SAVx');
	own.AddInt32("document", 3);
	BFilePanel panel(B_SAVE_PANEL, &target, NULL, B_FILE_NODE, false, &own);
	EXPECT_EQ(panel.PanelMode(), B_SAVE_PANEL);
	panel.SetPanelDirectory(fFolder.Path().c_str());
	panel.SetSaveText("new \xc3\xa4 file.txt");
	panel.Show();
	ASSERT_EQ(fDriver.PressPanelButton(panel.Window(), B_DEFAULT_BUTTON),
		B_OK);

	std::vector<BMessage> messages = WaitForMessages(2);
	ASSERT_EQ(messages.size(), 2u);
	EXPECT_EQ(messages[0].what, (uint32)'SAVx');
	EXPECT_EQ(messages[0].GetInt32("document", 0), 3);
	entry_ref directory;
	ASSERT_EQ(messages[0].FindRef("directory", &directory), B_OK);
	EXPECT_EQ(path_of(directory), fFolder.Path());
	EXPECT_STREQ(messages[0].GetString("name", ""), "new \xc3\xa4 file.txt");
	EXPECT_EQ(messages[1].what, (uint32)B_CANCEL);
	EXPECT_EQ((uint32)messages[1].GetInt32("old_what", 0), (uint32)'SAVx');
	// Nothing is written by the panel itself.
	EXPECT_FALSE(BEntry(fFolder.Child("new \xc3\xa4 file.txt").c_str())
		.Exists());
}


TEST_F(PanelTest, NewPanelShowsTheHomeFolder)
{
	const char* oldHome = getenv("HOME");
	std::string savedHome = oldHome != NULL ? oldHome : "";
	setenv("HOME", fFolder.Child("sub").c_str(), 1);

	BFilePanel panel(B_SAVE_PANEL);
	entry_ref folder;
	panel.GetPanelDirectory(&folder);
	EXPECT_EQ(path_of(folder), fFolder.Child("sub"));

	panel.SetPanelDirectory(fFolder.Path().c_str());
	panel.GetPanelDirectory(&folder);
	EXPECT_EQ(path_of(folder), fFolder.Path());
	panel.SetPanelDirectory((BDirectory*)NULL);
	panel.GetPanelDirectory(&folder);
	EXPECT_EQ(path_of(folder), fFolder.Child("sub"));

	// Something that is not a folder leaves the panel where it is.
	panel.SetPanelDirectory(fFolder.Child("a.txt").c_str());
	panel.GetPanelDirectory(&folder);
	EXPECT_EQ(path_of(folder), fFolder.Child("sub"));

	if (oldHome != NULL)
		setenv("HOME", savedHome.c_str(), 1);
	else
		unsetenv("HOME");
}


TEST_F(PanelTest, ApplicationQuitsPastAPanel)
{
	BFilePanel* panel = new BFilePanel;
	panel->SetPanelDirectory(fFolder.Path().c_str());
	panel->Show();
	ASSERT_EQ(fDriver.WaitForIdle(), B_OK);
	ASSERT_EQ(fDriver.Quit(), B_OK);
	// The application closed the panel's window while quitting.
	EXPECT_FALSE(panel->IsShowing());
	delete panel;
}


TEST_F(PanelTest, LongFolderScrollsWithItsBar)
{
	for (int i = 0; i < 80; i++)
		fFolder.AddFile("many " + std::to_string(100 + i));
	BFilePanel panel;
	panel.SetPanelDirectory(fFolder.Path().c_str());
	panel.Show();
	ASSERT_EQ(fDriver.ChoosePanelEntries(panel.Window(), {"a.txt"}), B_OK);
	ASSERT_EQ(fDriver.PressKey(panel.Window(), B_END), B_OK);

	FilePanelWindow* window = dynamic_cast<FilePanelWindow*>(panel.Window());
	ASSERT_TRUE(window != NULL && window->Lock());
	BPrivate::EntryListView* list = window->List();
	BScrollBar* bar = list->ScrollBar(B_VERTICAL);
	ASSERT_NE(bar, nullptr);
	float min, max;
	bar->GetRange(&min, &max);
	BRect bounds = list->Bounds();
	BRect last = list->RowFrame(list->CountEntries() - 1);
	EXPECT_GT(bounds.top, 0);
	EXPECT_EQ(bar->Value(), bounds.top);
	EXPECT_EQ(max, list->ContentHeight() - bounds.Height() - 1);
	EXPECT_LE(last.bottom, bounds.bottom);
	EXPECT_GT(bar->Proportion(), 0);
	EXPECT_LT(bar->Proportion(), 1);
	window->Unlock();

	// The bar scrolls the list back.
	ASSERT_TRUE(window->Lock());
	bar->SetValue(0);
	EXPECT_EQ(list->Bounds().top, 0);
	window->Unlock();
}


TEST_F(PanelTest, SavingOverAFileAsksFirst)
{
	BFilePanel panel(B_SAVE_PANEL);
	panel.SetPanelDirectory(fFolder.Path().c_str());
	panel.SetSaveText("Untitled - 2");
	panel.Show();
	// Clicking a file proposes its name.
	ASSERT_EQ(fDriver.ChoosePanelEntries(panel.Window(), {"b.txt"}), B_OK);
	FilePanelWindow* window = dynamic_cast<FilePanelWindow*>(panel.Window());
	ASSERT_TRUE(window != NULL && window->Lock());
	EXPECT_STREQ(window->SaveText(), "b.txt");
	window->Unlock();

	ASSERT_EQ(fDriver.PressPanelButton(panel.Window(), B_DEFAULT_BUTTON),
		B_OK);
	BAlert* alert = fDriver.WaitForAlert();
	ASSERT_NE(alert, nullptr);
	EXPECT_NE(fDriver.AlertText(alert).find("\"b.txt\""), std::string::npos);
	EXPECT_EQ(fDriver.AlertButtonLabels(alert),
		(names{"Cancel", "Replace"}));
	ASSERT_EQ(fDriver.PressAlertButton(alert, "Cancel"), B_OK);
	EXPECT_TRUE(fApplication->Messages().empty());
	EXPECT_TRUE(panel.IsShowing());

	ASSERT_EQ(fDriver.PressPanelButton(panel.Window(), B_DEFAULT_BUTTON),
		B_OK);
	alert = fDriver.WaitForAlert();
	ASSERT_NE(alert, nullptr);
	ASSERT_EQ(fDriver.PressAlertButton(alert, "Replace"), B_OK);
	std::vector<BMessage> messages = WaitForMessages(2);
	ASSERT_EQ(messages.size(), 2u);
	EXPECT_EQ(messages[0].what, (uint32)B_SAVE_REQUESTED);
	EXPECT_STREQ(messages[0].GetString("name", ""), "b.txt");
	EXPECT_EQ(messages[1].what, (uint32)B_CANCEL);
	EXPECT_FALSE(panel.IsShowing());
	// The panel only asks: the file is as it was.
	off_t size = -1;
	BEntry(fFolder.Child("b.txt").c_str()).GetSize(&size);
	EXPECT_EQ(size, 5);
}


TEST_F(PanelTest, SavePanelRefusesNamesItCannotUse)
{
	BFilePanel panel(B_SAVE_PANEL);
	panel.SetPanelDirectory(fFolder.Path().c_str());
	panel.SetSaveText("missing/new.txt");
	panel.Show();
	ASSERT_EQ(fDriver.PressPanelButton(panel.Window(), B_DEFAULT_BUTTON),
		B_OK);
	FilePanelWindow* window = dynamic_cast<FilePanelWindow*>(panel.Window());
	ASSERT_TRUE(window != NULL && window->Lock());
	EXPECT_STREQ(window->StatusText(), "This folder does not exist.");
	window->Unlock();
	EXPECT_TRUE(panel.IsShowing());
	EXPECT_TRUE(fApplication->Messages().empty());

	// A name that is a folder enters it.
	panel.SetSaveText("sub");
	ASSERT_EQ(fDriver.PressPanelButton(panel.Window(), B_DEFAULT_BUTTON),
		B_OK);
	EXPECT_EQ(fDriver.PanelEntries(panel.Window()), names{"inner.txt"});
	ASSERT_TRUE(window->Lock());
	EXPECT_STREQ(window->StatusText(), "");
	window->Unlock();

	// A path into another folder saves there.
	panel.SetSaveText("../sub/other.txt");
	ASSERT_EQ(fDriver.PressPanelButton(panel.Window(), B_DEFAULT_BUTTON),
		B_OK);
	std::vector<BMessage> messages = WaitForMessages(1);
	ASSERT_FALSE(messages.empty());
	entry_ref directory;
	ASSERT_EQ(messages[0].FindRef("directory", &directory), B_OK);
	EXPECT_EQ(path_of(directory), fFolder.Child("sub"));
	EXPECT_STREQ(messages[0].GetString("name", ""), "other.txt");
}


TEST_F(PanelTest, TypedSaveNameReplacesTheProposal)
{
	BFilePanel panel(B_SAVE_PANEL);
	panel.SetPanelDirectory(fFolder.Path().c_str());
	panel.SetSaveText("Untitled - 2");
	panel.Show();
	ASSERT_EQ(fDriver.WaitForIdle(), B_OK);

	// The proposal is selected: typing replaces it.
	FilePanelWindow* window = dynamic_cast<FilePanelWindow*>(panel.Window());
	ASSERT_TRUE(window != NULL && window->Lock());
	int32 start = -1, end = -1;
	window->NameField()->TextView()->GetSelection(&start, &end);
	EXPECT_EQ(start, 0);
	EXPECT_EQ(end, 12);
	window->Unlock();
	ASSERT_EQ(fDriver.TypeText(panel.Window(), "x"), B_OK);
	ASSERT_TRUE(window->Lock());
	EXPECT_STREQ(window->NameField()->Text(), "x");
	window->Unlock();

	const char* name = "r\xc3\xa9sum\xc3\xa9 final.txt";
	ASSERT_EQ(fDriver.TypePanelSaveName(panel.Window(), name), B_OK);
	ASSERT_EQ(fDriver.PressKey(panel.Window(), B_ENTER), B_OK);
	std::vector<BMessage> messages = WaitForMessages(2);
	ASSERT_FALSE(messages.empty());
	EXPECT_EQ(messages[0].what, (uint32)B_SAVE_REQUESTED);
	EXPECT_STREQ(messages[0].GetString("name", ""), name);
}


TEST_F(PanelTest, TypedPathGoesToAFolder)
{
	fFolder.AddFolder("sub/deeper");
	BFilePanel panel;
	panel.SetPanelDirectory(fFolder.Path().c_str());
	panel.Show();

	ASSERT_EQ(fDriver.GoToPanelFolder(panel.Window(), "sub/deeper"), B_OK);
	entry_ref folder;
	panel.GetPanelDirectory(&folder);
	EXPECT_EQ(path_of(folder), fFolder.Child("sub/deeper"));
	EXPECT_TRUE(panel.IsShowing());
	EXPECT_TRUE(fApplication->Messages().empty());

	// A file's path selects it in its folder; Enter then opens it.
	ASSERT_EQ(fDriver.GoToPanelFolder(panel.Window(),
		fFolder.Child("sub/inner.txt").c_str()), B_OK);
	panel.GetPanelDirectory(&folder);
	EXPECT_EQ(path_of(folder), fFolder.Child("sub"));
	panel.Rewind();
	ASSERT_EQ(panel.GetNextSelectedRef(&folder), B_OK);
	EXPECT_STREQ(folder.name, "inner.txt");

	ASSERT_EQ(fDriver.GoToPanelFolder(panel.Window(), "nowhere/at all"),
		B_OK);
	FilePanelWindow* window = dynamic_cast<FilePanelWindow*>(panel.Window());
	ASSERT_TRUE(window != NULL && window->Lock());
	EXPECT_STREQ(window->StatusText(), "This folder does not exist.");
	window->Unlock();
	panel.GetPanelDirectory(&folder);
	EXPECT_EQ(path_of(folder), fFolder.Child("sub"));

	ASSERT_EQ(fDriver.PressPanelButton(panel.Window(), B_DEFAULT_BUTTON),
		B_OK);
	std::vector<BMessage> messages = WaitForMessages(1);
	ASSERT_FALSE(messages.empty());
	EXPECT_EQ(ref_names(messages[0]), names{"inner.txt"});
}


namespace {

class HookedPanel : public BFilePanel {
public:
	HookedPanel() : BFilePanel(B_OPEN_PANEL) {}

	void SelectionChanged() override { selectionChanges++; }
	void WasHidden() override { hidings++; }

	std::atomic<int> selectionChanges{0};
	std::atomic<int> hidings{0};
};


class OnlyText : public BRefFilter {
public:
	bool Filter(const entry_ref* ref, BNode*, struct stat* st,
		const char*) override
	{
		std::string name = ref->name;
		return S_ISDIR(st->st_mode) || (name.size() > 4
			&& name.compare(name.size() - 4, 4, ".txt") == 0);
	}
};

}	// namespace


TEST_F(PanelTest, HooksLabelsTargetMessageAndFilter)
{
	fFolder.AddFile("image.png");
	HookedPanel panel;
	panel.SetPanelDirectory(fFolder.Path().c_str());
	panel.SetButtonLabel(B_DEFAULT_BUTTON, "Insert");
	panel.SetButtonLabel(B_CANCEL_BUTTON, "Never mind");
	BMessage own('INSx');
	panel.SetMessage(&own);
	OnlyText filter;
	panel.SetRefFilter(&filter);
	EXPECT_EQ(panel.RefFilter(), &filter);
	panel.Show();

	EXPECT_EQ(fDriver.PanelEntries(panel.Window()),
		(names{"sub", "a.txt", "b.txt", "c.txt"}));
	ASSERT_NE(fDriver.FindControl(panel.Window(), "Insert"), nullptr);
	ASSERT_NE(fDriver.FindControl(panel.Window(), "Never mind"), nullptr);

	ASSERT_EQ(fDriver.ChoosePanelEntries(panel.Window(), {"a.txt", "c.txt"}),
		B_OK);
	EXPECT_EQ(panel.selectionChanges, 2);
	ASSERT_EQ(fDriver.PressPanelButton(panel.Window(), B_DEFAULT_BUTTON),
		B_OK);
	std::vector<BMessage> messages = WaitForMessages(2);
	ASSERT_EQ(messages.size(), 2u);
	EXPECT_EQ(messages[0].what, (uint32)'INSx');
	EXPECT_EQ(ref_names(messages[0]), (names{"a.txt", "c.txt"}));
	EXPECT_EQ(panel.hidings, 1);

	// Another target: a looper of the test's own.
	BLooper* looper = new BLooper("panel target");
	looper->Run();
	panel.SetTarget(BMessenger(looper));
	EXPECT_EQ(panel.Messenger(), BMessenger(looper));
	panel.SetTarget(BMessenger());
	EXPECT_EQ(panel.Messenger(), be_app_messenger);
	looper->Lock();
	looper->Quit();

	// Without the filter everything shows again.
	panel.SetRefFilter(NULL);
	EXPECT_EQ(fDriver.PanelEntries(panel.Window()).size(), 5u);
}


TEST_F(PanelTest, ModalPanelAndDeletingAShowingPanel)
{
	BFilePanel* panel = new BFilePanel(B_OPEN_PANEL, NULL, NULL, 0, true,
		NULL, NULL, true);
	panel->SetPanelDirectory(fFolder.Path().c_str());
	panel->Show();
	ASSERT_EQ(fDriver.WaitForIdle(), B_OK);
	BWindow* window = panel->Window();
	ASSERT_TRUE(window->Lock());
	EXPECT_EQ(window->Feel(), B_MODAL_APP_WINDOW_FEEL);
	window->Unlock();
	int32 windows = fDriver.CountWindows();

	delete panel;
	ASSERT_EQ(fDriver.WaitForIdle(), B_OK);
	EXPECT_EQ(fDriver.CountWindows(), windows - 1);
	EXPECT_TRUE(fApplication->Messages().empty());
}


namespace {

// Deletes the panel when its choice arrives, as a document window does.
class DeletingTarget : public BLooper {
public:
	DeletingTarget() : BLooper("deleting target") {}

	void MessageReceived(BMessage* message) override
	{
		if (message->what == B_REFS_RECEIVED) {
			delete panel;
			panel = NULL;
			chosen = true;
		} else if (message->what == B_CANCEL)
			cancelled = true;
	}

	HookedPanel* panel = NULL;
	std::atomic<bool> chosen{false};
	std::atomic<bool> cancelled{false};
};

}	// namespace


TEST_F(PanelTest, TargetMayDeleteThePanelOnItsChoice)
{
	DeletingTarget* target = new DeletingTarget;
	target->Run();
	BMessenger messenger(target);
	HookedPanel* panel = new HookedPanel;
	panel->SetTarget(messenger);
	ASSERT_TRUE(target->Lock());
	target->panel = panel;
	target->Unlock();

	panel->SetPanelDirectory(fFolder.Path().c_str());
	panel->Show();
	ASSERT_EQ(fDriver.OpenPanelEntry(panel->Window(), "a.txt"), B_OK);
	ASSERT_EQ(fDriver.WaitFor([&] { return target->cancelled.load(); },
		"the B_CANCEL after the choice"), B_OK);
	EXPECT_TRUE(target->chosen);
	// The panel's window went with it.
	EXPECT_EQ(fDriver.FindWindow("Open"), nullptr);
	ASSERT_TRUE(target->Lock());
	target->Quit();
}


TEST_F(PanelTest, ShowingAgainProposesTheNewName)
{
	BFilePanel panel(B_SAVE_PANEL);
	panel.SetPanelDirectory(fFolder.Path().c_str());
	panel.SetSaveText("first");
	panel.Show();
	ASSERT_EQ(fDriver.ChoosePanelEntries(panel.Window(), {"b.txt"}), B_OK);
	ASSERT_EQ(fDriver.CancelPanel(panel.Window()), B_OK);

	panel.SetSaveText("Untitled - 3");
	panel.Show();
	ASSERT_EQ(fDriver.WaitForIdle(), B_OK);
	FilePanelWindow* window = dynamic_cast<FilePanelWindow*>(panel.Window());
	ASSERT_TRUE(window != NULL && window->Lock());
	EXPECT_STREQ(window->NameField()->Text(), "Untitled - 3");
	EXPECT_TRUE(window->List()->Selection().empty());
	window->Unlock();
}


TEST_F(PanelTest, IsADialogOfTheWindowItServes)
{
	BWindow* document = new BWindow(BRect(50, 50, 349, 249), "Document",
		B_TITLED_WINDOW, 0);
	BWindow* other = new BWindow(BRect(400, 50, 699, 249), "Other",
		B_TITLED_WINDOW, 0);
	document->Show();
	other->Show();
	ASSERT_EQ(fDriver.ActivateWindow(other), B_OK);

	// Shown from the document's thread, as a document shows its save
	// panel, while another window is in front.
	BMessenger target(document);
	BFilePanel save(B_SAVE_PANEL, &target);
	ASSERT_TRUE(document->Lock());
	save.Show();
	document->Unlock();
	ASSERT_EQ(fDriver.WaitForIdle(), B_OK);
	EXPECT_EQ(fDriver.ServedWindow(save.Window()), document);
	ASSERT_EQ(fDriver.CancelPanel(save.Window()), B_OK);
	EXPECT_EQ(fDriver.ActiveWindow(), document);

	// The application's own panel serves the window in front.
	BFilePanel open;
	ASSERT_EQ(fDriver.ActivateWindow(other), B_OK);
	open.Show();
	ASSERT_EQ(fDriver.WaitForIdle(), B_OK);
	EXPECT_EQ(fDriver.ServedWindow(open.Window()), other);
	ASSERT_EQ(fDriver.CancelPanel(open.Window()), B_OK);
	EXPECT_EQ(fDriver.ActiveWindow(), other);

	for (BWindow* window : { document, other }) {
		if (window->Lock())
			window->Quit();
	}
}


TEST_F(PanelTest, SavePanelMakesNewFolders)
{
	BFilePanel panel(B_SAVE_PANEL);
	panel.SetPanelDirectory(fFolder.Path().c_str());
	panel.Show();
	ASSERT_EQ(fDriver.WaitForIdle(), B_OK);
	BControl* button = fDriver.FindControl(panel.Window(), "New Folder");
	ASSERT_NE(button, (BControl*)NULL);

	ASSERT_EQ(fDriver.Click(button), B_OK);
	ASSERT_EQ(fDriver.Click(button), B_OK);
	EXPECT_EQ(fDriver.PanelEntries(panel.Window()),
		(names{"New Folder", "New Folder 2", "sub", "a.txt", "b.txt",
			"c.txt"}));
	struct stat st;
	ASSERT_EQ(stat(fFolder.Child("New Folder 2").c_str(), &st), 0);
	EXPECT_TRUE(S_ISDIR(st.st_mode));
	FilePanelWindow* window = dynamic_cast<FilePanelWindow*>(panel.Window());
	ASSERT_NE(window, (FilePanelWindow*)NULL);
	{
		ASSERT_TRUE(window->Lock());
		std::vector<int32> selection = window->List()->Selection();
		EXPECT_EQ(selection, std::vector<int32>{ 1 });
		window->Unlock();
	}

	// An open panel has no such button.
	BFilePanel open;
	open.Show();
	ASSERT_EQ(fDriver.WaitForIdle(), B_OK);
	EXPECT_EQ(fDriver.FindControl(open.Window(), "New Folder"),
		(BControl*)NULL);

	if (permissions_apply()) {
		ASSERT_EQ(chmod(fFolder.Path().c_str(), 0555), 0);
		ASSERT_EQ(fDriver.Click(button), B_OK);
		ASSERT_TRUE(window->Lock());
		EXPECT_STREQ(window->StatusText(),
			"You are not allowed to make a folder here.");
		window->Unlock();
		chmod(fFolder.Path().c_str(), 0755);
	}
}
