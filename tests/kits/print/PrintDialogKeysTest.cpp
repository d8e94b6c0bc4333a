/*
 * The page setup and print dialogs from the keyboard alone.
 *
 * Cases:
 * - page setup: Tab from the first focus (the top margin) visits every
 *   pop-up field, margin and button once per cycle, Shift+Tab the exact
 *   reverse; the orientation is chosen with Space, Down and Enter, the
 *   focus stays on its field, and Space on OK confirms what was chosen;
 *   Space on Cancel cancels; Escape in an open menu closes only the
 *   menu, and a second Escape cancels the dialog;
 * - print: without printers the copies and the page range are disabled
 *   and passed over; choosing "Range" from the keyboard brings the range
 *   fields into the cycle; typed there, confirmed with Enter and a file
 *   named in the save panel, they are the job's.
 */
#include <gtest/gtest.h>

#include <Application.h>
#include <Menu.h>
#include <MenuField.h>
#include <MenuItem.h>
#include <PrintJob.h>
#include <TestDriver.h>
#include <TextControl.h>
#include <Window.h>

#include "StorageTestSupport.h"

#include <future>
#include <string>
#include <vector>

namespace {

class PrintDialogKeysTest : public testing::Test {
protected:
	PrintDialogKeysTest()
		:
		// No scheduler: the print dialog offers the PDF file alone.
		fServer("CUPS_SERVER", (fFolder.Path() + "/no-cups.sock").c_str()),
		fLocale("LC_ALL", "C"),
		// The save panel starts in the home folder.
		fHome("HOME", fFolder.Path().c_str())
	{
	}

	void SetUp() override
	{
		ASSERT_EQ(B_OK, fDriver.Launch([] {
			return new BApplication("application/x-vnd.Orvane-PrintKeys");
		}));
	}

	std::vector<std::string> Reversed(std::vector<std::string> labels)
	{
		return std::vector<std::string>(labels.rbegin(), labels.rend());
	}

	std::string Marked(BWindow* dialog, const char* field)
	{
		std::string label;
		BMenuField* menuField = dynamic_cast<BMenuField*>(
			fDriver.FindView(dialog, field));
		if (menuField != NULL && dialog->Lock()) {
			if (BMenuItem* item = menuField->Menu()->FindMarked())
				label = item->Label();
			dialog->Unlock();
		}
		return label;
	}

	TempDirectory		fFolder;
	ScopedEnvironment	fServer;
	ScopedEnvironment	fLocale;
	ScopedEnvironment	fHome;
	TestDriver			fDriver;
};

}	// namespace


TEST_F(PrintDialogKeysTest, PageSetupFromTheKeyboard)
{
	BPrintJob job("keys");
	std::future<status_t> answer = std::async(std::launch::async,
		[&] { return job.ConfigPage(); });
	BWindow* dialog = fDriver.WaitForWindow("Page Setup");
	ASSERT_TRUE(dialog != NULL);
	EXPECT_EQ("Top:", fDriver.ViewLabel(fDriver.FocusedView(dialog)));

	const std::vector<std::string> cycle = { "Bottom:", "Left:", "Right:",
		"Cancel", "OK", "Paper:", "Orientation:", "Top:" };
	EXPECT_EQ(cycle, fDriver.TabCycle(dialog));
	EXPECT_EQ(Reversed(cycle), fDriver.TabCycle(dialog, B_SHIFT_KEY));

	// To the orientation field: Space opens it, Down and Enter choose.
	while (fDriver.ViewLabel(fDriver.FocusedView(dialog)) != "Orientation:")
		ASSERT_EQ(B_OK, fDriver.PressKey(dialog, B_TAB));
	BMenu* menu = dynamic_cast<BMenuField*>(
		fDriver.FindView(dialog, "orientation"))->Menu();
	ASSERT_EQ(B_OK, fDriver.PressKey(dialog, B_SPACE));
	ASSERT_TRUE(fDriver.MenuWindow(menu) != NULL);
	ASSERT_EQ(B_OK, fDriver.PressKey(dialog, B_DOWN_ARROW));
	ASSERT_EQ(B_OK, fDriver.PressKey(dialog, B_ENTER));
	EXPECT_TRUE(fDriver.MenuWindow(menu) == NULL);
	EXPECT_EQ("Landscape", Marked(dialog, "orientation"));
	EXPECT_EQ("Orientation:", fDriver.ViewLabel(fDriver.FocusedView(dialog)));

	// Escape in the open menu closes the menu, not the dialog.
	ASSERT_EQ(B_OK, fDriver.PressKey(dialog, B_DOWN_ARROW));
	ASSERT_TRUE(fDriver.MenuWindow(menu) != NULL);
	ASSERT_EQ(B_OK, fDriver.PressKey(dialog, B_ESCAPE));
	EXPECT_TRUE(fDriver.MenuWindow(menu) == NULL);
	EXPECT_EQ(dialog, fDriver.FindWindow("Page Setup"));
	EXPECT_EQ("Landscape", Marked(dialog, "orientation"));

	// Back to OK with Shift+Tab, pressed with Space.
	while (fDriver.ViewLabel(fDriver.FocusedView(dialog)) != "OK")
		ASSERT_EQ(B_OK, fDriver.PressKey(dialog, B_TAB, B_SHIFT_KEY));
	ASSERT_EQ(B_OK, fDriver.PressKey(dialog, B_SPACE));
	EXPECT_EQ(B_OK, answer.get());
	BRect paper = job.PaperRect();
	EXPECT_GT(paper.Width(), paper.Height());

	// Space on Cancel cancels; so does Escape with nothing open.
	for (uint32 key : { (uint32)B_SPACE, (uint32)B_ESCAPE }) {
		answer = std::async(std::launch::async,
			[&] { return job.ConfigPage(); });
		dialog = fDriver.WaitForWindow("Page Setup");
		ASSERT_TRUE(dialog != NULL);
		if (key == B_SPACE) {
			while (fDriver.ViewLabel(fDriver.FocusedView(dialog))
					!= "Cancel") {
				ASSERT_EQ(B_OK, fDriver.PressKey(dialog, B_TAB));
			}
		}
		ASSERT_EQ(B_OK, fDriver.PressKey(dialog, key));
		EXPECT_EQ(B_CANCELED, answer.get());
	}
}


TEST_F(PrintDialogKeysTest, PrintDialogFromTheKeyboard)
{
	BPrintJob job("keys");
	std::future<status_t> answer = std::async(std::launch::async,
		[&] { return job.ConfigJob(); });
	BWindow* dialog = fDriver.WaitForWindow("Print");
	ASSERT_TRUE(dialog != NULL);

	// A file is written once (no copies), and all of it (no range).
	const std::vector<std::string> cycle = { "Cancel", "Print",
		"Destination:", "Pages:" };
	EXPECT_EQ(cycle, fDriver.TabCycle(dialog));
	EXPECT_EQ(Reversed(cycle), fDriver.TabCycle(dialog, B_SHIFT_KEY));

	// "Range", picked from the keyboard, brings in its two fields.
	while (fDriver.ViewLabel(fDriver.FocusedView(dialog)) != "Pages:")
		ASSERT_EQ(B_OK, fDriver.PressKey(dialog, B_TAB));
	ASSERT_EQ(B_OK, fDriver.PressKey(dialog, B_DOWN_ARROW));
	ASSERT_EQ(B_OK, fDriver.PressKey(dialog, B_DOWN_ARROW));
	ASSERT_EQ(B_OK, fDriver.PressKey(dialog, B_ENTER));
	EXPECT_EQ("Range", Marked(dialog, "pages"));
	const std::vector<std::string> ranged = { "From:", "to:", "Cancel",
		"Print", "Destination:", "Pages:" };
	EXPECT_EQ(ranged, fDriver.TabCycle(dialog));

	// Typed over the selected text of each field in turn, confirmed
	// with Enter, and the file named in the save panel from the keyboard
	// too: the range is the job's. The cycle left the focus in the first.
	ASSERT_EQ("From:", fDriver.ViewLabel(fDriver.FocusedView(dialog)));
	ASSERT_EQ(B_OK, fDriver.TypeText(dialog, "2"));
	ASSERT_EQ(B_OK, fDriver.PressKey(dialog, B_TAB));
	ASSERT_EQ(B_OK, fDriver.TypeText(dialog, "3"));
	ASSERT_EQ(B_OK, fDriver.PressKey(dialog, B_ENTER));
	BWindow* panel = fDriver.WaitForWindow("Save");
	ASSERT_TRUE(panel != NULL);
	ASSERT_EQ(B_OK, fDriver.TypeText(panel, "pages.pdf"));
	ASSERT_EQ(B_OK, fDriver.PressKey(panel, B_ENTER));
	EXPECT_EQ(B_OK, answer.get());
	EXPECT_EQ(2, job.FirstPage());
	EXPECT_EQ(3, job.LastPage());
}
