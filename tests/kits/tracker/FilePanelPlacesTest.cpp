/*
 * The places column of a shown panel, operated through the test driver:
 * - it lists the user's places (read when the panel shows, so a
 *   bookmark added meanwhile appears on the next Show()), and the folder
 *   shown is marked;
 * - a click on a place shows that folder, in open and save panels alike,
 *   and a choice made there comes from that folder;
 * - a place that went away after the panel showed is refused with the
 *   reason, and the panel stays where it was.
 */
#include <AppDefs.h>
#include <Entry.h>
#include <FilePanel.h>
#include <Path.h>

#include <TestDriver.h>

#include "FilePanelWindow.h"
#include "PlacesView.h"
#include "TrackerTestSupport.h"

#include <gtest/gtest.h>

using namespace tracker_test;
using BPrivate::FilePanelWindow;

namespace {

typedef std::vector<std::string> names;

std::string
panel_folder(const BFilePanel& panel)
{
	entry_ref ref;
	panel.GetPanelDirectory(&ref);
	BPath path(&ref);
	return path.InitCheck() == B_OK ? path.Path() : "";
}


class PlacesTest : public ::testing::Test {
protected:
	void SetUp() override
	{
		fHome = fRoot.AddFolder("home");
		fRoot.AddFolder("home/Documents");
		fRoot.AddFile("home/Documents/letter.txt");
		fRoot.AddFolder("config");
		fRoot.AddFolder("config/gtk-3.0");
		fProjects = fRoot.AddFolder("projects");
		fRoot.AddFile("projects/plan.txt");
		Bookmark("Projects");
		ASSERT_EQ(fDriver.Launch<RecordingApplication>(), B_OK);
		fApplication = dynamic_cast<RecordingApplication*>(
			fDriver.Application());
	}

	void Bookmark(const std::string& label, const std::string& more = "")
	{
		fRoot.AddFile("config/gtk-3.0/bookmarks",
			"file://" + fProjects + " " + label + "\n" + more);
	}

	int32 MarkedPlace(const BFilePanel& panel)
	{
		FilePanelWindow* window = dynamic_cast<FilePanelWindow*>(
			panel.Window());
		if (window == NULL || fDriver.WaitForIdle() != B_OK
			|| !window->Lock())
			return -2;
		int32 index = window->Places()->CurrentIndex();
		window->Unlock();
		return index;
	}

	TempFolder fRoot;
	std::string fHome;
	std::string fProjects;
	TestDriver fDriver;
	RecordingApplication* fApplication = NULL;
	ScopedEnvironment fHomeVariable{"HOME", fRoot.Child("home").c_str()};
	ScopedEnvironment fConfigVariable{"XDG_CONFIG_HOME",
		fRoot.Child("config").c_str()};
};

}	// namespace


TEST_F(PlacesTest, ClickingAPlaceShowsItsFolder)
{
	BFilePanel panel;
	panel.Show();
	ASSERT_EQ(fDriver.WaitForIdle(), B_OK);
	EXPECT_EQ(fDriver.PanelPlaces(panel.Window()),
		(names{"Home", "Documents", "/", "Projects"}));
	EXPECT_EQ(MarkedPlace(panel), 0);

	ASSERT_EQ(fDriver.ClickPanelPlace(panel.Window(), "Documents"), B_OK);
	EXPECT_EQ(panel_folder(panel), fHome + "/Documents");
	EXPECT_EQ(fDriver.PanelEntries(panel.Window()), names{"letter.txt"});
	EXPECT_EQ(MarkedPlace(panel), 1);

	ASSERT_EQ(fDriver.ClickPanelPlace(panel.Window(), "/"), B_OK);
	EXPECT_EQ(panel_folder(panel), "/");
	ASSERT_EQ(fDriver.ClickPanelPlace(panel.Window(), "Projects"), B_OK);
	EXPECT_EQ(panel_folder(panel), fProjects);
	EXPECT_EQ(MarkedPlace(panel), 3);

	// A folder that is no place marks none; the choice comes from the
	// folder the place led to.
	ASSERT_EQ(fDriver.OpenPanelEntry(panel.Window(), "plan.txt"), B_OK);
	fDriver.WaitFor([&] { return fApplication->Messages().size() >= 1; },
		"the panel's choice");
	std::vector<BMessage> messages = fApplication->Messages();
	ASSERT_GE(messages.size(), 1u);
	entry_ref ref;
	ASSERT_EQ(messages[0].FindRef("refs", &ref), B_OK);
	EXPECT_EQ(BPath(&ref).Path(), fProjects + "/plan.txt");
}


TEST_F(PlacesTest, SavePanelPlacesAndChangesBetweenShows)
{
	BFilePanel panel(B_SAVE_PANEL);
	panel.SetPanelDirectory(fProjects.c_str());
	panel.Show();
	ASSERT_EQ(fDriver.WaitForIdle(), B_OK);
	EXPECT_EQ(MarkedPlace(panel), 3);
	ASSERT_EQ(fDriver.ClickPanelPlace(panel.Window(), "Home"), B_OK);
	EXPECT_EQ(panel_folder(panel), fHome);
	EXPECT_EQ(MarkedPlace(panel), 0);

	// Renamed meanwhile, the bookmark shows by its new label next time.
	panel.Hide();
	Bookmark("Work", "file://" + fHome + "/Documents Letters\n");
	panel.Show();
	EXPECT_EQ(fDriver.PanelPlaces(panel.Window()),
		(names{"Home", "Documents", "/", "Work"}));
}


TEST_F(PlacesTest, PlaceThatWentAwayIsRefused)
{
	BFilePanel panel;
	panel.Show();
	ASSERT_EQ(fDriver.WaitForIdle(), B_OK);
	ASSERT_EQ(rename(fProjects.c_str(), (fProjects + ".old").c_str()), 0);

	ASSERT_EQ(fDriver.ClickPanelPlace(panel.Window(), "Projects"), B_OK);
	EXPECT_EQ(panel_folder(panel), fHome);
	FilePanelWindow* window = dynamic_cast<FilePanelWindow*>(panel.Window());
	ASSERT_NE(window, (FilePanelWindow*)NULL);
	ASSERT_TRUE(window->Lock());
	EXPECT_STRNE(window->StatusText(), "");
	window->Unlock();
	EXPECT_EQ(MarkedPlace(panel), 0);
	rename((fProjects + ".old").c_str(), fProjects.c_str());
}
