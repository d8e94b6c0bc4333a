/*
 * Which display a launch belongs to, and the launch channel scoped by it
 * (a launch on one X display once handed its files to the instance on
 * another, which showed them there).
 *
 * Cases covered:
 * - every spelling of one display gives one name, and different displays
 *   give different names: offscreen whatever else is set; X11 with and
 *   without a screen, "unix", a protocol, the socket's path, leading
 *   zeros, the host's case; X11 chosen before Wayland unless
 *   SDL_VIDEODRIVER says otherwise; "localhost" apart from this
 *   machine's own socket; Wayland by name or path, through a symlinked
 *   runtime directory, libwayland's default name; other SDL drivers; no
 *   display; values that cannot be read.
 * - the socket's name stays one plain file name in the private
 *   directory, short enough for a socket address, for hostile DISPLAY
 *   and WAYLAND_DISPLAY values.
 * - an instance claimed on one display is running for a launch on that
 *   display spelt another way, and not for a launch on another display
 *   or offscreen.
 * - the video driver the server opens: SDL_VIDEODRIVER as written, X11
 *   where both X11 and Wayland are set, Wayland where only it is set or
 *   where libwayland's default socket is there (a socket, not a plain
 *   file, and not when WAYLAND_DISPLAY is set but empty), none
 *   otherwise; the launch's display follows the same choice.
 * - the Wayland socket's path for names, paths and missing runtime
 *   directories.
 */
#include "LaunchChannel.h"
#include "LaunchDirectory.h"
#include "LaunchDisplay.h"

#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

using BPrivate::display_environment;
using BPrivate::display_identity;


namespace {

const char* const kSignature = "application/x-vnd.Orvane-LaunchDisplayTest";
const char* const kVariables[] = { "KITS_DISPLAY", "SDL_VIDEODRIVER",
	"DISPLAY", "WAYLAND_DISPLAY", "XDG_RUNTIME_DIR" };


// The variables of a display_environment, in kVariables' order; NULL for
// one that is not set.
struct Setting {
	const char* values[5];

	display_environment Environment() const
	{
		return { values[0], values[1], values[2], values[3], values[4] };
	}

	void Apply() const
	{
		for (int i = 0; i < 5; i++) {
			if (values[i] != NULL)
				setenv(kVariables[i], values[i], 1);
			else
				unsetenv(kVariables[i]);
		}
	}
};


class LaunchDisplayTest : public testing::Test {
protected:
	void SetUp() override
	{
		for (const char* name : kVariables) {
			const char* value = getenv(name);
			fSaved.push_back(value != NULL ? value : "");
			fWasSet.push_back(value != NULL);
		}
		char pattern[] = "/tmp/LaunchDisplayTest-XXXXXX";
		ASSERT_NE(mkdtemp(pattern), nullptr);
		fTemp = pattern;
		fRuntime = fTemp + "/run";
		fRuntimeLink = fTemp + "/link";
		ASSERT_EQ(mkdir(fRuntime.c_str(), 0700), 0);
		ASSERT_EQ(symlink(fRuntime.c_str(), fRuntimeLink.c_str()), 0);
		fWayland0 = fRuntime + "/wayland-0";
		fRuntimeDotted = fRuntime + "/./";
	}

	void TearDown() override
	{
		for (size_t i = 0; i < fSaved.size(); i++) {
			if (fWasSet[i])
				setenv(kVariables[i], fSaved[i].c_str(), 1);
			else
				unsetenv(kVariables[i]);
		}
		std::error_code ignored;
		std::filesystem::remove_all(fTemp, ignored);
	}

	std::string SocketPath(const Setting& setting)
	{
		setting.Apply();
		// The launch directory itself stays in this test's own.
		setenv("XDG_RUNTIME_DIR", fRuntime.c_str(), 1);
		std::string path;
		EXPECT_EQ(BPrivate::launch_socket_path(kSignature, &path), B_OK);
		return path;
	}

	std::vector<std::string>	fSaved;
	std::vector<bool>			fWasSet;
	std::string					fTemp;
	std::string					fRuntime;
	std::string					fRuntimeLink;
	std::string					fRuntimeDotted;
	std::string					fWayland0;
};


TEST_F(LaunchDisplayTest, SpellingsOfOneDisplayMeet)
{
	const char* run = fRuntime.c_str();
	// KITS_DISPLAY, SDL_VIDEODRIVER, DISPLAY, WAYLAND_DISPLAY,
	// XDG_RUNTIME_DIR; each group is one display.
	const std::vector<std::vector<Setting>> groups = {
		{ { "offscreen", NULL, NULL, NULL, NULL },
			{ "offscreen", "x11", ":95", "wayland-0", run } },
		{ { NULL, NULL, ":95", NULL, NULL },
			{ NULL, NULL, ":95.0", NULL, NULL },
			{ NULL, NULL, ":095.1", NULL, NULL },
			{ NULL, NULL, "unix:95", NULL, NULL },
			{ NULL, NULL, "UNIX:95.0", NULL, NULL },
			{ NULL, NULL, "unix/:95", NULL, NULL },
			{ NULL, NULL, "/tmp/.X11-unix/X95", NULL, NULL },
			{ "sdl", NULL, ":95", NULL, NULL },
			{ "", "", ":95", NULL, NULL },
			{ NULL, NULL, ":95", "wayland-0", run },
			{ NULL, "X11,wayland", ":95", "wayland-0", run } },
		{ { NULL, NULL, ":96", NULL, NULL },
			{ NULL, NULL, "unix:96.0", NULL, NULL } },
		{ { NULL, NULL, "Build.Example:95", NULL, NULL },
			{ NULL, NULL, "build.example:95.0", NULL, NULL },
			{ NULL, NULL, "tcp/build.example:95", NULL, NULL } },
		{ { NULL, NULL, "localhost:95", NULL, NULL },
			{ NULL, NULL, "tcp/:95", NULL, NULL } },
		{ { NULL, NULL, NULL, "wayland-0", run },
			{ NULL, NULL, NULL, fWayland0.c_str(), NULL },
			{ NULL, NULL, NULL, "wayland-0", fRuntimeDotted.c_str() },
			{ NULL, NULL, NULL, "wayland-0", fRuntimeLink.c_str() },
			{ NULL, "wayland", NULL, NULL, run },
			{ NULL, "wayland", ":95", "wayland-0", run } },
		{ { NULL, NULL, NULL, "wayland-1", run } },
		{ { NULL, "kmsdrm", ":95", NULL, NULL } },
		{ { NULL, NULL, NULL, NULL, NULL },
			{ NULL, NULL, "", "", run } },
		{ { NULL, NULL, "95", NULL, NULL } },
		{ { NULL, NULL, ":95.x", NULL, NULL } },
		{ { "nowhere", NULL, ":95", NULL, NULL } },
	};

	std::set<std::string> names;
	for (size_t group = 0; group < groups.size(); group++) {
		std::string name = display_identity(groups[group][0].Environment());
		EXPECT_FALSE(name.empty());
		EXPECT_TRUE(names.insert(name).second)
			<< "group " << group << " shares \"" << name << "\"";
		for (size_t i = 1; i < groups[group].size(); i++) {
			EXPECT_EQ(display_identity(groups[group][i].Environment()), name)
				<< "group " << group << ", spelling " << i;
		}
	}
}


TEST_F(LaunchDisplayTest, SocketNamesStayPlain)
{
	std::string longDisplay = std::string(300, 'x') + ":1";
	std::string longWayland(300, '/');
	const std::vector<Setting> settings = {
		{ "offscreen", NULL, NULL, NULL, NULL },
		{ NULL, NULL, ":95", NULL, NULL },
		{ NULL, NULL, ":96", NULL, NULL },
		{ NULL, NULL, "../../etc/passwd:1", NULL, NULL },
		{ NULL, NULL, "a b\n/..:1.0", NULL, NULL },
		{ NULL, NULL, "h\xc3\xb6st:1", NULL, NULL },
		{ NULL, NULL, longDisplay.c_str(), NULL, NULL },
		{ NULL, NULL, NULL, "../../../tmp/x", fRuntime.c_str() },
		{ NULL, NULL, NULL, longWayland.c_str(), fRuntime.c_str() },
		{ NULL, "../x", NULL, NULL, NULL },
	};

	std::string directory;
	setenv("XDG_RUNTIME_DIR", fRuntime.c_str(), 1);
	ASSERT_EQ(BPrivate::launch_directory(&directory), B_OK);
	std::set<std::string> paths;
	for (const Setting& setting : settings) {
		std::string path = SocketPath(setting);
		std::filesystem::path socket(path);
		EXPECT_EQ(socket.parent_path().string(), directory);
		std::string leaf = socket.filename().string();
		EXPECT_EQ(leaf.find_first_not_of(
			"abcdefghijklmnopqrstuvwxyz0123456789._-"), std::string::npos)
			<< leaf;
		EXPECT_NE(leaf[0], '.') << leaf;
		EXPECT_LT(path.size(), sizeof(sockaddr_un::sun_path));
		EXPECT_TRUE(paths.insert(path).second) << leaf;
	}
}


TEST_F(LaunchDisplayTest, InstancesAreFoundOnTheirOwnDisplayOnly)
{
	const Setting kFirst = { NULL, NULL, ":95", NULL, NULL };
	const Setting kFirstAgain = { NULL, NULL, "unix:95.0", NULL, NULL };
	const Setting kSecond = { NULL, NULL, ":96", NULL, NULL };
	const Setting kOffscreen = { "offscreen", NULL, ":95", NULL, NULL };

	setenv("XDG_RUNTIME_DIR", fRuntime.c_str(), 1);
	kFirst.Apply();
	setenv("XDG_RUNTIME_DIR", fRuntime.c_str(), 1);
	BPrivate::LaunchChannel first;
	ASSERT_EQ(first.Claim(kSignature), B_OK);

	struct {
		const Setting& setting;
		bool running;
	} launches[] = {
		{ kFirstAgain, true },
		{ kSecond, false },
		{ kOffscreen, false },
		{ kFirst, true },
	};
	for (const auto& launch : launches) {
		launch.setting.Apply();
		setenv("XDG_RUNTIME_DIR", fRuntime.c_str(), 1);
		EXPECT_EQ(BPrivate::LaunchChannel::IsRunning(kSignature),
			launch.running) << (launch.setting.values[0] != NULL
				? launch.setting.values[0] : launch.setting.values[2]);
	}

	// The second display gets an instance of its own.
	kSecond.Apply();
	setenv("XDG_RUNTIME_DIR", fRuntime.c_str(), 1);
	BPrivate::LaunchChannel second;
	EXPECT_EQ(second.Claim(kSignature), B_OK);
}



// Makes a listening Unix socket at the path, as a compositor does.
void
make_socket(const std::string& path)
{
	int fd = socket(AF_UNIX, SOCK_STREAM, 0);
	ASSERT_GE(fd, 0);
	sockaddr_un address = {};
	address.sun_family = AF_UNIX;
	ASSERT_LT(path.size(), sizeof(address.sun_path));
	strcpy(address.sun_path, path.c_str());
	ASSERT_EQ(bind(fd, (const sockaddr*)&address, sizeof(address)), 0);
	close(fd);
}


TEST_F(LaunchDisplayTest, VideoDriverFollowsTheDesktop)
{
	const char* run = fRuntime.c_str();
	std::string plainRuntime = fTemp + "/plain";
	ASSERT_EQ(mkdir(plainRuntime.c_str(), 0700), 0);
	// A file that is not a socket is no compositor.
	FILE* file = fopen((plainRuntime + "/wayland-0").c_str(), "w");
	ASSERT_NE(file, nullptr);
	fclose(file);
	const char* plain = plainRuntime.c_str();
	const char* missing = "/nonexistent/run";

	struct Case {
		Setting		setting;
		const char*	driver;
		bool		withSocket;
	};
	// KITS_DISPLAY, SDL_VIDEODRIVER, DISPLAY, WAYLAND_DISPLAY,
	// XDG_RUNTIME_DIR; the driver; whether wayland-0 is a socket in the
	// runtime directory.
	const std::vector<Case> cases = {
		{ { NULL, "kmsdrm", ":95", "wayland-1", run }, "kmsdrm", false },
		{ { NULL, "X11,wayland", NULL, NULL, NULL }, "X11,wayland", false },
		{ { NULL, NULL, ":95", "wayland-1", run }, "x11", true },
		{ { NULL, NULL, ":95", NULL, run }, "x11", true },
		{ { NULL, NULL, NULL, "wayland-1", run }, "wayland", false },
		{ { NULL, NULL, NULL, "wayland-1", NULL }, "wayland", false },
		{ { NULL, NULL, "", "wayland-1", run }, "wayland", false },
		{ { NULL, "", NULL, "wayland-1", run }, "wayland", false },
		{ { NULL, NULL, NULL, NULL, run }, "wayland", true },
		{ { NULL, NULL, NULL, NULL, run }, "", false },
		{ { NULL, NULL, NULL, "", run }, "", true },
		{ { NULL, NULL, NULL, NULL, plain }, "", false },
		{ { NULL, NULL, NULL, NULL, missing }, "", false },
		{ { NULL, NULL, NULL, NULL, NULL }, "", false },
		// The server's driver is asked only when KITS_DISPLAY leaves
		// the choice to the screen.
		{ { "offscreen", NULL, ":95", NULL, NULL }, "x11", false },
	};
	for (size_t i = 0; i < cases.size(); i++) {
		const Case& test = cases[i];
		std::filesystem::remove(fWayland0);
		if (test.withSocket)
			make_socket(fWayland0);
		display_environment environment = test.setting.Environment();
		std::string driver = BPrivate::chosen_video_drivers(environment).list;
		EXPECT_EQ(driver, test.driver) << "case " << i;

		// The launch names the display the server will open.
		std::string name = display_identity(environment);
		if (environment.kitsDisplay != NULL)
			EXPECT_EQ(name, "offscreen") << "case " << i;
		else if (driver.empty())
			EXPECT_EQ(name, "none") << "case " << i;
		else if (driver == "wayland" && environment.runtimeDirectory != NULL) {
			std::string socket = environment.waylandDisplay != NULL
				? environment.waylandDisplay : "wayland-0";
			std::error_code error;
			EXPECT_EQ(name, "wayland:" + std::filesystem::weakly_canonical(
				std::string(environment.runtimeDirectory) + "/" + socket,
				error).string()) << "case " << i;
		} else if (driver == "x11")
			EXPECT_EQ(name, "x11:95") << "case " << i;
	}
}


TEST_F(LaunchDisplayTest, WaylandSocketPaths)
{
	struct Case {
		const char*	name;
		const char*	runtime;
		const char*	path;
	};
	const std::vector<Case> cases = {
		{ NULL, "/run/user/7", "/run/user/7/wayland-0" },
		{ "", "/run/user/7", "/run/user/7/wayland-0" },
		{ "wayland-1", "/run/user/7", "/run/user/7/wayland-1" },
		{ "/tmp/compositor", NULL, "/tmp/compositor" },
		{ "/tmp/compositor", "/run/user/7", "/tmp/compositor" },
		{ "wayland-1", NULL, "" },
		{ "wayland-1", "", "" },
		{ NULL, NULL, "" },
	};
	for (const Case& test : cases) {
		EXPECT_EQ(BPrivate::wayland_socket_path(test.name, test.runtime),
			test.path) << (test.name != NULL ? test.name : "(unset)") << " in "
			<< (test.runtime != NULL ? test.runtime : "(unset)");
	}
}

}	// namespace
