/*
 * The one rule by which the environment chooses the display:
 * - a table of environments, each with the backend and the SDL video
 *   drivers it gives: KITS_DISPLAY's names exactly as written (an empty
 *   one counts as unset, another case or a space names no backend);
 *   SDL_VIDEODRIVER taken as written before DISPLAY and WAYLAND_DISPLAY;
 *   X11 before Wayland, empty values as unset, no driver without either;
 * - for the same table, the name a launch gives its display follows the
 *   choice: "offscreen" for the offscreen backend, "none" without a
 *   driver, and otherwise the first driver's kind.
 */
#include "DisplayChoice.h"
#include "LaunchDisplay.h"

#include <gtest/gtest.h>

#include <string.h>

#include <string>

using namespace BPrivate;

namespace {

struct display_case {
	const char*		name;
	// KITS_DISPLAY, SDL_VIDEODRIVER, DISPLAY, WAYLAND_DISPLAY.
	const char*		values[4];
	display_backend	backend;
	const char*		drivers;
	bool			ownChoice;
	// How the launch's name for the display begins.
	const char*		identity;
};

const display_case kCases[] = {
	{ "nothing set", { NULL, NULL, NULL, NULL },
		kSdlDisplayBackend, "", false, "none" },
	{ "offscreen", { "offscreen", NULL, ":1", NULL },
		kOffscreenDisplayBackend, "x11", false, "offscreen" },
	{ "offscreen with a driver of one's own", { "offscreen", "wayland",
		NULL, NULL }, kOffscreenDisplayBackend, "wayland", true,
		"offscreen" },
	{ "sdl by name", { "sdl", NULL, ":1", NULL },
		kSdlDisplayBackend, "x11", false, "x11:" },
	{ "an empty KITS_DISPLAY", { "", NULL, ":1", NULL },
		kSdlDisplayBackend, "x11", false, "x11:" },
	{ "SDL in capitals", { "SDL", NULL, ":1", NULL },
		kUnknownDisplayBackend, "x11", false, "kits-" },
	{ "offscreen and a space", { "offscreen ", NULL, NULL, NULL },
		kUnknownDisplayBackend, "", false, "kits-" },
	{ "a backend that does not exist", { "vga", NULL, NULL, NULL },
		kUnknownDisplayBackend, "", false, "kits-" },
	{ "X11", { NULL, NULL, ":1", NULL },
		kSdlDisplayBackend, "x11", false, "x11:" },
	{ "Wayland", { NULL, NULL, NULL, "wayland-0" },
		kSdlDisplayBackend, "wayland", false, "wayland" },
	{ "X11 before Wayland", { NULL, NULL, ":1", "wayland-0" },
		kSdlDisplayBackend, "x11,wayland", false, "x11:" },
	{ "an empty DISPLAY", { NULL, NULL, "", "wayland-0" },
		kSdlDisplayBackend, "wayland", false, "wayland" },
	{ "empty both", { NULL, NULL, "", "" },
		kSdlDisplayBackend, "", false, "none" },
	{ "a driver of one's own", { NULL, "wayland", ":1", NULL },
		kSdlDisplayBackend, "wayland", true, "wayland" },
	{ "a list of one's own, as written", { NULL, "KMSDRM,x11", ":1",
		"wayland-0" }, kSdlDisplayBackend, "KMSDRM,x11", true, "sdl:kmsdrm" },
	{ "an empty SDL_VIDEODRIVER", { NULL, "", ":1", NULL },
		kSdlDisplayBackend, "x11", false, "x11:" },
};


display_environment
environment_of(const display_case& choice)
{
	return { choice.values[0], choice.values[1], choice.values[2],
		choice.values[3], "/run/user/1000" };
}

}	// namespace


TEST(DisplayChoiceTest, TheEnvironmentChoosesBackendAndDrivers)
{
	for (const display_case& choice : kCases) {
		SCOPED_TRACE(choice.name);
		display_environment environment = environment_of(choice);
		EXPECT_EQ(chosen_display_backend(environment), choice.backend);
		video_drivers drivers = chosen_video_drivers(environment);
		EXPECT_EQ(drivers.list, choice.drivers);
		EXPECT_EQ(drivers.ownChoice, choice.ownChoice);
	}
}


TEST(DisplayChoiceTest, TheLaunchNamesTheDisplayChosen)
{
	for (const display_case& choice : kCases) {
		SCOPED_TRACE(choice.name);
		std::string identity = display_identity(environment_of(choice));
		EXPECT_EQ(identity.compare(0, strlen(choice.identity),
			choice.identity), 0) << identity;
	}
}
