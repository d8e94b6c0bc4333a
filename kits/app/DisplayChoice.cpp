/*
 * How the environment chooses the display. DisplayChoice.h states the
 * rule.
 */
#include "DisplayChoice.h"

#include <filesystem>

#include <stdlib.h>
#include <string.h>


namespace BPrivate {

const char* const kDefaultWaylandSocket = "wayland-0";


namespace {

bool
is_set(const char* value)
{
	return value != NULL && value[0] != '\0';
}

}	// namespace


display_environment
current_display_environment()
{
	display_environment environment;
	environment.kitsDisplay = getenv("KITS_DISPLAY");
	environment.videoDriver = getenv("SDL_VIDEODRIVER");
	environment.x11Display = getenv("DISPLAY");
	environment.waylandDisplay = getenv("WAYLAND_DISPLAY");
	environment.runtimeDirectory = getenv("XDG_RUNTIME_DIR");
	return environment;
}


display_backend
chosen_display_backend(const display_environment& environment)
{
	const char* name = environment.kitsDisplay;
	if (!is_set(name) || strcmp(name, "sdl") == 0)
		return kSdlDisplayBackend;
	if (strcmp(name, "offscreen") == 0)
		return kOffscreenDisplayBackend;
	return kUnknownDisplayBackend;
}


video_drivers
chosen_video_drivers(const display_environment& environment)
{
	video_drivers drivers;
	drivers.ownChoice = is_set(environment.videoDriver);
	if (drivers.ownChoice) {
		drivers.list = environment.videoDriver;
		return drivers;
	}
	if (is_set(environment.x11Display))
		drivers.list = "x11";
	else if (is_set(environment.waylandDisplay))
		drivers.list = "wayland";
	else if (environment.waylandDisplay == NULL) {
		// libwayland connects to its default socket when the variable
		// is missing, and so does SDL.
		std::string socket = wayland_socket_path(NULL,
			environment.runtimeDirectory);
		std::error_code error;
		if (!socket.empty() && std::filesystem::is_socket(socket, error))
			drivers.list = "wayland";
	}
	return drivers;
}


std::string
wayland_socket_path(const char* name, const char* runtimeDirectory)
{
	std::string socket = is_set(name) ? name : kDefaultWaylandSocket;
	if (socket[0] == '/')
		return socket;
	if (!is_set(runtimeDirectory))
		return "";
	return std::string(runtimeDirectory) + "/" + socket;
}

}	// namespace BPrivate
