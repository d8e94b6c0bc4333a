/*
 * The file panels from the keyboard alone, through the test driver.
 *
 * Cases:
 * - an open panel starts in its list; Tab visits the Up button, the path
 *   field, the buttons, the places and the list once per cycle (Open
 *   only once something is selected), Shift+Tab the exact reverse; the
 *   focus mark is on the focused one only (the list's in its frame),
 *   and only while the panel is the active window;
 * - in the list, Down selects, Enter on a folder goes into it and on a
 *   file chooses it;
 * - in the places, the arrows move the focus mark and Enter or Space
 *   goes to the place, leaving the focus in the list; Escape in the
 *   places or the list cancels the panel;
 * - a save panel starts in its name field; its cycle adds New Folder
 *   and the name field, Space on New Folder makes a folder as a click
 *   does, and Enter in the name field saves under the typed name.
 */
#include <gtest/gtest.h>

#include <Entry.h>
#include <FilePanel.h>
#include <Path.h>
#include <ScrollView.h>
#include <TestDriver.h>
#include <TextControl.h>

#include "FilePanelWindow.h"
#include "PlacesView.h"
#include "TrackerTestSupport.h"

#include <string>
#include <vector>

using namespace BPrivate;
using namespace tracker_test;

namespace {

typedef std::vector<std::string> names;


class FilePanelKeysTest : public ::testing::Test {
protected:
	void SetUp() override
	{
		fHome = fRoot.AddFolder("home");
		fRoot.AddFolder("home/Documents");
		fRoot.AddFile("home/Documents/letter.txt");
		fRoot.AddFile("home/notes.txt");
		fRoot.AddFolder("config");
		ASSERT_EQ(fDriver.Launch<RecordingApplication>(), B_OK);
		fApplication = dynamic_cast<RecordingApplication*>(
			fDriver.Application());
	}

	std::string Focus(BWindow* window)
	{
		return fDriver.ViewLabel(fDriver.FocusedView(window));
	}

	std::string Folder(const BFilePanel& panel)
	{
		entry_ref ref;
		panel.GetPanelDirectory(&ref);
		BPath path(&ref);
		return path.InitCheck() == B_OK ? path.Path() : "";
	}

	void TabTo(BWindow* window, const char* label)
	{
		for (int32 i = 0; i < 20 && Focus(window) != label; i++)
			fDriver.PressKey(window, B_TAB);
		ASSERT_EQ(Focus(window), label);
	}

	// The first message of that code the application got, once it came.
	BMessage Received(uint32 what)
	{
		BMessage found;
		fDriver.WaitFor([&] {
			for (const BMessage& message : fApplication->Messages()) {
				if (message.what == what) {
					found = message;
					return true;
				}
			}
			return false;
		}, "the panel's message");
		return found;
	}

	// Whether the window's pixels of the navigation colour are there and
	// all inside the view (for an entry inside its text control, for the
	// list inside its scroll view).
	bool MarkOnlyOn(BWindow* window, BView* view)
	{
		BRect bounds;
		BRect frame;
		if (!window->Lock())
			return false;
		bounds = window->Bounds();
		// A text control frames its entry, a scroll view its list.
		BView* marked = dynamic_cast<BScrollView*>(view->Parent()) != NULL
			|| dynamic_cast<BTextControl*>(view->Parent()) != NULL
			? view->Parent() : view;
		frame = marked->ConvertToWindow(marked->Bounds());
		window->Unlock();
		std::vector<rgb_color> pixels;
		if (fDriver.GetPixels(window, bounds, &pixels) != B_OK)
			return false;
		int32 width = bounds.IntegerWidth() + 1;
		int32 inside = 0;
		for (size_t i = 0; i < pixels.size(); i++) {
			if (pixels[i] != ui_color(B_KEYBOARD_NAVIGATION_COLOR))
				continue;
			if (!frame.Contains(BPoint(i % width, i / width))) {
				ADD_FAILURE() << "a mark at " << i % width << ", "
					<< i / width << " outside " << fDriver.ViewLabel(view);
				return false;
			}
			inside++;
		}
		return inside > 10;
	}

	static names Reversed(names labels)
	{
		return names(labels.rbegin(), labels.rend());
	}

	TempFolder fRoot;
	std::string fHome;
	TestDriver fDriver;
	RecordingApplication* fApplication = NULL;
	ScopedEnvironment fHomeVariable{"HOME", fRoot.Child("home").c_str()};
	ScopedEnvironment fConfigVariable{"XDG_CONFIG_HOME",
		fRoot.Child("config").c_str()};
};

}	// namespace


TEST_F(FilePanelKeysTest, OpenPanelListAndPlaces)
{
	BFilePanel panel;
	panel.Show();
	ASSERT_EQ(fDriver.WaitForIdle(), B_OK);
	BWindow* window = panel.Window();
	EXPECT_EQ(Focus(window), "entries");

	// Nothing chosen yet: Open is disabled and passed over.
	const names cycle = { "Up", "path field", "Cancel", "places",
		"entries" };
	EXPECT_EQ(fDriver.TabCycle(window), cycle);
	EXPECT_EQ(fDriver.TabCycle(window, B_SHIFT_KEY), Reversed(cycle));

	// The focus mark follows the focus, and is nowhere else. The panel
	// is made small first: each pixel is read on its own.
	ASSERT_EQ(fDriver.ResizeWindow(window, 420, 260), B_OK);
	for (size_t i = 0; i < cycle.size(); i++) {
		BView* focus = fDriver.FocusedView(window);
		ASSERT_TRUE(focus != NULL);
		EXPECT_TRUE(MarkOnlyOn(window, focus)) << fDriver.ViewLabel(focus);
		// While another window has the keyboard the panel shows none.
		if (fDriver.ViewLabel(focus) == "places"
			|| fDriver.ViewLabel(focus) == "entries") {
			ASSERT_EQ(fDriver.ActivateWindow(window, false), B_OK);
			EXPECT_FALSE(MarkOnlyOn(window, focus));
			ASSERT_EQ(fDriver.ActivateWindow(window), B_OK);
			EXPECT_TRUE(MarkOnlyOn(window, focus));
		}
		ASSERT_EQ(fDriver.PressKey(window, B_TAB), B_OK);
	}

	// Down selects the first entry, the folder, and Open comes in.
	ASSERT_EQ(fDriver.PressKey(window, B_DOWN_ARROW), B_OK);
	const names chosen = { "Up", "path field", "Open", "Cancel", "places",
		"entries" };
	EXPECT_EQ(fDriver.TabCycle(window), chosen);

	// Back in the list, Enter goes into the folder, and on its file
	// chooses it.
	TabTo(window, "entries");
	ASSERT_EQ(fDriver.PressKey(window, B_ENTER), B_OK);
	EXPECT_EQ(Folder(panel), fHome + "/Documents");
	EXPECT_EQ(Focus(window), "entries");
	ASSERT_EQ(fDriver.PressKey(window, B_DOWN_ARROW), B_OK);
	ASSERT_EQ(fDriver.PressKey(window, B_ENTER), B_OK);
	BMessage refs = Received(B_REFS_RECEIVED);
	EXPECT_EQ(ref_names(refs), names{"letter.txt"});

	// The places: the mark starts on the folder shown, Documents, the
	// arrows move it within the column, Enter and Space go.
	panel.Show();
	ASSERT_EQ(fDriver.WaitForIdle(), B_OK);
	window = panel.Window();
	TabTo(window, "places");
	FilePanelWindow* panelWindow = dynamic_cast<FilePanelWindow*>(window);
	ASSERT_TRUE(panelWindow != NULL);
	auto keyboardRow = [&] {
		int32 row = -2;
		if (window->Lock()) {
			row = panelWindow->Places()->KeyboardIndex();
			window->Unlock();
		}
		return row;
	};
	ASSERT_EQ(fDriver.PanelPlaces(window), (names{"Home", "Documents",
		"/"}));
	EXPECT_EQ(keyboardRow(), 1);
	struct Move {
		uint32 key;
		int32 row;
	};
	const Move moves[] = { { B_UP_ARROW, 0 }, { B_UP_ARROW, 0 },
		{ B_END, 2 }, { B_DOWN_ARROW, 2 }, { B_HOME, 0 },
		{ B_DOWN_ARROW, 1 } };
	for (const Move& move : moves) {
		ASSERT_EQ(fDriver.PressKey(window, move.key), B_OK);
		EXPECT_EQ(keyboardRow(), move.row) << "after key " << move.key;
	}
	ASSERT_EQ(fDriver.PressKey(window, B_UP_ARROW), B_OK);
	ASSERT_EQ(fDriver.PressKey(window, B_ENTER), B_OK);
	EXPECT_EQ(Folder(panel), fHome);
	EXPECT_EQ(Focus(window), "entries");
	TabTo(window, "places");
	ASSERT_EQ(fDriver.PressKey(window, B_END), B_OK);
	ASSERT_EQ(fDriver.PressKey(window, B_SPACE), B_OK);
	EXPECT_EQ(Folder(panel), "/");

	// Escape, in the places or in the list, cancels.
	for (const char* where : { "places", "entries" }) {
		SCOPED_TRACE(where);
		fApplication->Clear();
		panel.Show();
		ASSERT_EQ(fDriver.WaitForIdle(), B_OK);
		TabTo(panel.Window(), where);
		ASSERT_EQ(fDriver.PressKey(panel.Window(), B_ESCAPE), B_OK);
		EXPECT_EQ(Received(B_CANCEL).what, (uint32)B_CANCEL);
		EXPECT_FALSE(panel.IsShowing());
	}
}


TEST_F(FilePanelKeysTest, SavePanelFromTheKeyboard)
{
	BFilePanel panel(B_SAVE_PANEL);
	panel.SetSaveText("draft.txt");
	panel.Show();
	ASSERT_EQ(fDriver.WaitForIdle(), B_OK);
	BWindow* window = panel.Window();
	EXPECT_EQ(Focus(window), "Name:");

	const names cycle = { "places", "entries", "Up", "path field", "Save",
		"Cancel", "New Folder", "Name:" };
	EXPECT_EQ(fDriver.TabCycle(window), cycle);
	EXPECT_EQ(fDriver.TabCycle(window, B_SHIFT_KEY), Reversed(cycle));

	// Space on New Folder makes one, as a click would.
	TabTo(window, "New Folder");
	ASSERT_EQ(fDriver.PressKey(window, B_SPACE), B_OK);
	BEntry made((fHome + "/New Folder").c_str());
	EXPECT_TRUE(made.Exists());
	EXPECT_TRUE(made.IsDirectory());

	// Back in the name field, a name typed over the selection and Enter.
	TabTo(window, "Name:");
	ASSERT_EQ(fDriver.TypeText(window, "report.txt"), B_OK);
	ASSERT_EQ(fDriver.PressKey(window, B_ENTER), B_OK);
	BMessage saved = Received(B_SAVE_REQUESTED);
	EXPECT_STREQ(saved.GetString("name", ""), "report.txt");
	entry_ref folder;
	ASSERT_EQ(saved.FindRef("directory", &folder), B_OK);
	EXPECT_EQ(std::string(BPath(&folder).Path()), fHome);
}
