/*
 * The application's icon:
 * - looked for under the user's data folder, the executable's prefix and
 *   the system's data folders, in that order, the 48-pixel size first;
 *   a name with a slash is never looked for; at another scale, the size
 *   nearest to 48 pixels times the scale first;
 * - the first PNG that loads is taken; a damaged one is passed over.
 */
#include "ApplicationIcon.h"

#include "../storage/StorageTestSupport.h"

#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void
make_folders(const std::string& path)
{
	for (size_t slash = path.find('/', 1); slash != std::string::npos;
			slash = path.find('/', slash + 1)) {
		mkdir(path.substr(0, slash).c_str(), 0700);
	}
	mkdir(path.c_str(), 0700);
}

}	// namespace


TEST(ApplicationIconTest, LooksWhereInstallationsPutIt)
{
	ScopedEnvironment dataHome("XDG_DATA_HOME", "/home/u/data");
	ScopedEnvironment dataDirs("XDG_DATA_DIRS", "/a::/b");
	std::vector<std::string> paths = BPrivate::application_icon_paths(
		"orvane", "/opt/orvane/bin/orvane");
	ASSERT_EQ(paths.size(), 4u * 7u);
	EXPECT_EQ(paths[0], "/home/u/data/icons/hicolor/48x48/apps/orvane.png");
	EXPECT_EQ(paths[1], "/home/u/data/icons/hicolor/32x32/apps/orvane.png");
	EXPECT_EQ(paths[7],
		"/opt/orvane/share/icons/hicolor/48x48/apps/orvane.png");
	EXPECT_EQ(paths[14], "/a/icons/hicolor/48x48/apps/orvane.png");
	EXPECT_EQ(paths[21], "/b/icons/hicolor/48x48/apps/orvane.png");

	EXPECT_TRUE(BPrivate::application_icon_paths("../x", NULL).empty());
	EXPECT_TRUE(BPrivate::application_icon_paths("", NULL).empty());

	// Without the variables: ~/.local/share, then the usual system ones.
	ScopedEnvironment noDataHome("XDG_DATA_HOME", NULL);
	ScopedEnvironment noDataDirs("XDG_DATA_DIRS", NULL);
	ScopedEnvironment home("HOME", "/home/v");
	paths = BPrivate::application_icon_paths("orvane", NULL);
	ASSERT_EQ(paths.size(), 3u * 7u);
	EXPECT_EQ(paths[0],
		"/home/v/.local/share/icons/hicolor/48x48/apps/orvane.png");
	EXPECT_EQ(paths[7], "/usr/local/share/icons/hicolor/48x48/apps/orvane.png");
}


TEST(ApplicationIconTest, NearestSizeComesFirst)
{
	ScopedEnvironment dataHome("XDG_DATA_HOME", "/d");
	ScopedEnvironment dataDirs("XDG_DATA_DIRS", "/e");
	struct {
		int32 pixels;
		const char* first;
		const char* second;
	} cases[] = {
		{ 48, "48x48", "32x32" },
		{ 72, "64x64", "48x48" },
		{ 96, "64x64", "128x128" },
		{ 120, "128x128", "64x64" },
		{ 192, "128x128", "256x256" },
		{ 16, "16x16", "24x24" },
		{ 1, "16x16", "24x24" },
		{ 5000, "256x256", "128x128" }
	};
	for (const auto& entry : cases) {
		SCOPED_TRACE(entry.pixels);
		std::vector<std::string> paths = BPrivate::application_icon_paths(
			"app", NULL, entry.pixels);
		ASSERT_EQ(paths.size(), 2u * 7u);
		EXPECT_EQ(paths[0], std::string("/d/icons/hicolor/") + entry.first
			+ "/apps/app.png");
		EXPECT_EQ(paths[1], std::string("/d/icons/hicolor/") + entry.second
			+ "/apps/app.png");
		// Every size once in each folder, the same order in both.
		for (size_t i = 0; i < 7; i++) {
			EXPECT_EQ(paths[i].substr(2), paths[i + 7].substr(2));
			for (size_t j = i + 1; j < 7; j++)
				EXPECT_NE(paths[i], paths[j]);
		}
	}
}


TEST(ApplicationIconTest, TakesTheFirstIconThatLoads)
{
	TempDirectory temp;
	const char* folder = temp.Path().c_str();
	std::string base = temp.Child("icons/hicolor/");
	make_folders(base + "48x48/apps");
	make_folders(base + "32x32/apps");
	// A damaged 48-pixel icon, a good 32-pixel one.
	FILE* damaged = fopen((base + "48x48/apps/app.png").c_str(), "w");
	ASSERT_NE(damaged, (FILE*)NULL);
	fputs("not a picture", damaged);
	fclose(damaged);
	cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_ARGB32,
		32, 32);
	ASSERT_EQ(cairo_surface_write_to_png(image,
		(base + "32x32/apps/app.png").c_str()), CAIRO_STATUS_SUCCESS);
	cairo_surface_destroy(image);

	ScopedEnvironment dataHome("XDG_DATA_HOME", folder);
	ScopedEnvironment dataDirs("XDG_DATA_DIRS", "/nonexistent");
	cairo_surface_t* icon = BPrivate::load_application_icon("app", NULL);
	ASSERT_NE(icon, (cairo_surface_t*)NULL);
	EXPECT_EQ(cairo_image_surface_get_width(icon), 32);
	cairo_surface_destroy(icon);
	EXPECT_EQ(BPrivate::load_application_icon("other", NULL),
		(cairo_surface_t*)NULL);
}
