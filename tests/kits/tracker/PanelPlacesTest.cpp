/*
 * The places column's list, read from a home and configuration folder
 * made for each test:
 * - without configuration files: Home, the usual folders that exist (in
 *   their order, missing ones left out), then "/";
 * - user-dirs.dirs renames folders ($HOME/ and absolute paths, quoted
 *   and escaped), and a folder set to home itself is left out; keys the
 *   file does not name keep their usual folder;
 * - bookmarks: file URIs with percent escapes and optional labels, in
 *   their order; other schemes, remote hosts, broken escapes, missing
 *   folders, files and repeats of an earlier place are left out;
 * - file URIs decode exactly, and a NUL escape is refused.
 */
#include "PanelPlaces.h"
#include "TrackerTestSupport.h"

#include <gtest/gtest.h>

using namespace BPrivate;
using namespace tracker_test;

namespace {

typedef std::vector<std::pair<std::string, std::string>> place_list;

place_list
places_of(const std::vector<panel_place>& places)
{
	place_list list;
	for (const panel_place& place : places)
		list.emplace_back(place.label, place.path);
	return list;
}


class PanelPlacesTest : public ::testing::Test {
protected:
	void SetUp() override
	{
		fHome = fRoot.AddFolder("home");
		fConfig = fRoot.AddFolder("config");
	}

	place_list Places() const
	{
		return places_of(find_panel_places(fHome, fConfig));
	}

	TempFolder fRoot;
	std::string fHome;
	std::string fConfig;
};

}	// namespace


TEST_F(PanelPlacesTest, UsualFoldersWithoutConfiguration)
{
	fRoot.AddFolder("home/Music");
	fRoot.AddFolder("home/Desktop");
	// A file by a folder's name is no folder.
	fRoot.AddFile("home/Videos");
	EXPECT_EQ(Places(), (place_list{ { "Home", fHome },
		{ "Desktop", fHome + "/Desktop" }, { "Music", fHome + "/Music" },
		{ "/", "/" } }));

	// No configuration folder at all reads no files.
	EXPECT_EQ(places_of(find_panel_places(fHome, "")), (place_list{
		{ "Home", fHome }, { "Desktop", fHome + "/Desktop" },
		{ "Music", fHome + "/Music" }, { "/", "/" } }));
}


TEST_F(PanelPlacesTest, UserDirsRenameAndSwitchOffFolders)
{
	fRoot.AddFolder("home/Schreibtisch");
	fRoot.AddFolder("home/My \"Docs\"");
	fRoot.AddFolder("home/Desktop");
	fRoot.AddFolder("home/Pictures");
	std::string elsewhere = fRoot.AddFolder("music elsewhere");
	fRoot.AddFile("config/user-dirs.dirs",
		"# written by xdg-user-dirs-update\n"
		"XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n"
		"XDG_DOCUMENTS_DIR=\"$HOME/My \\\"Docs\\\"\"\n"
		"XDG_MUSIC_DIR=\"" + elsewhere + "\"\n"
		"XDG_DOWNLOAD_DIR=\"$HOME/\"\n"
		"XDG_VIDEOS_DIR=\"relative/not/allowed\"\n"
		"garbage line\n");
	// Desktop is renamed, so the folder named Desktop is no place;
	// Pictures is not in the file and keeps its usual folder.
	EXPECT_EQ(Places(), (place_list{ { "Home", fHome },
		{ "Schreibtisch", fHome + "/Schreibtisch" },
		{ "My \"Docs\"", fHome + "/My \"Docs\"" },
		{ "music elsewhere", elsewhere },
		{ "Pictures", fHome + "/Pictures" }, { "/", "/" } }));
}


TEST_F(PanelPlacesTest, Bookmarks)
{
	std::string projects = fRoot.AddFolder("pro jects \xc3\xa4");
	std::string work = fRoot.AddFolder("work");
	std::string file = fRoot.AddFile("a file");
	fRoot.AddFolder("config/gtk-3.0");
	fRoot.AddFile("config/gtk-3.0/bookmarks",
		"file://" + fRoot.Path() + "/pro%20jects%20%C3%A4\n"
		"file://localhost" + work + " My work\r\n"
		"sftp://host/srv Server\n"
		"file://otherhost/etc Remote\n"
		"file://" + fRoot.Path() + "/broken%2 Broken\n"
		"file://" + fRoot.Path() + "/gone Gone\n"
		"file://" + file + " A file\n"
		"file://" + work + " Twice\n"
		"file:/// Root again\n"
		"\n");
	EXPECT_EQ(Places(), (place_list{ { "Home", fHome }, { "/", "/" },
		{ "pro jects \xc3\xa4", projects }, { "My work", work } }));
}


TEST_F(PanelPlacesTest, FileUris)
{
	std::string path;
	EXPECT_TRUE(file_uri_path("file:///a%20b/%c3%a4", &path));
	EXPECT_EQ(path, "/a b/\xc3\xa4");
	EXPECT_TRUE(file_uri_path("file://localhost/x", &path));
	EXPECT_EQ(path, "/x");
	EXPECT_TRUE(file_uri_path("file:///100%25", &path));
	EXPECT_EQ(path, "/100%");

	path = "untouched";
	EXPECT_FALSE(file_uri_path("file:///a%00b", &path));
	EXPECT_FALSE(file_uri_path("file:///a%zz", &path));
	EXPECT_FALSE(file_uri_path("file:///a%2", &path));
	EXPECT_FALSE(file_uri_path("http://example.org/", &path));
	EXPECT_FALSE(file_uri_path("file:relative", &path));
	EXPECT_EQ(path, "untouched");
}
