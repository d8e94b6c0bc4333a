/*
 * The application's icon:
 * - looked for under the user's data folder, the executable's prefix and
 *   the system's data folders, in that order, the 48-pixel size first;
 *   a name with a slash is never looked for;
 * - the first PNG that loads is taken; a damaged one is passed over.
 */
#include "ApplicationIcon.h"

#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Sets an environment variable for a scope.
class ScopedEnvironment {
public:
	ScopedEnvironment(const char* name, const char* value)
		: fName(name)
	{
		const char* old = getenv(name);
		fHad = old != NULL;
		if (fHad)
			fOld = old;
		setenv(name, value, 1);
	}
	~ScopedEnvironment()
	{
		if (fHad)
			setenv(fName.c_str(), fOld.c_str(), 1);
		else
			unsetenv(fName.c_str());
	}

private:
	std::string fName;
	std::string fOld;
	bool fHad;
};


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
	unsetenv("XDG_DATA_HOME");
	unsetenv("XDG_DATA_DIRS");
	ScopedEnvironment home("HOME", "/home/v");
	paths = BPrivate::application_icon_paths("orvane", NULL);
	ASSERT_EQ(paths.size(), 3u * 7u);
	EXPECT_EQ(paths[0],
		"/home/v/.local/share/icons/hicolor/48x48/apps/orvane.png");
	EXPECT_EQ(paths[7], "/usr/local/share/icons/hicolor/48x48/apps/orvane.png");
}


TEST(ApplicationIconTest, TakesTheFirstIconThatLoads)
{
	char folder[] = "/tmp/icon-test-XXXXXX";
	ASSERT_NE(mkdtemp(folder), (char*)NULL);
	std::string base = std::string(folder) + "/icons/hicolor/";
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

	std::string command = std::string("rm -rf ") + folder;
	EXPECT_EQ(system(command.c_str()), 0);
}
