/*
 * Which display a launch belongs to. LaunchDisplay.h lists the names.
 */
#include "LaunchDisplay.h"

#include <stdlib.h>
#include <string.h>

#include <filesystem>
#include <system_error>


namespace BPrivate {

namespace {

// Where an X server on this machine listens for display n: this prefix
// and n. libxcb takes the path itself for DISPLAY as well.
const char* const kX11SocketPrefix = "/tmp/.X11-unix/X";
// What a display that cannot be read is named by; no name of a display
// that can be read starts so.
const char* const kAsWritten = "as-written:";


bool
is_set(const char* value)
{
	return value != NULL && value[0] != '\0';
}


std::string
lower_case(std::string text)
{
	for (char& c : text) {
		if (c >= 'A' && c <= 'Z')
			c = c - 'A' + 'a';
	}
	return text;
}


// Decimal digits only, short enough to be a display or a screen.
bool
parse_number(const std::string& text, unsigned long* _number)
{
	if (text.empty() || text.size() > 9)
		return false;
	for (char c : text) {
		if (c < '0' || c > '9')
			return false;
	}
	*_number = strtoul(text.c_str(), NULL, 10);
	return true;
}


// "number[.screen]", giving the number.
bool
parse_display_number(const std::string& text, unsigned long* _number)
{
	size_t dot = text.find('.');
	unsigned long screen;
	return parse_number(text.substr(0, dot), _number)
		&& (dot == std::string::npos
			|| parse_number(text.substr(dot + 1), &screen));
}


// DISPLAY: "[protocol/][host]:number[.screen]", or the path of a local
// server's socket.
std::string
x11_identity(const char* display)
{
	std::string written = display != NULL ? display : "";
	std::string asWritten = std::string("x11-") + kAsWritten + written;
	unsigned long number;

	size_t prefixLength = strlen(kX11SocketPrefix);
	if (written.compare(0, prefixLength, kX11SocketPrefix) == 0) {
		if (!parse_display_number(written.substr(prefixLength), &number))
			return asWritten;
		return "x11:" + std::to_string(number);
	}

	size_t colon = written.rfind(':');
	if (colon == std::string::npos
		|| !parse_display_number(written.substr(colon + 1), &number))
		return asWritten;
	std::string host = written.substr(0, colon);
	// DECnet's "host::n", and socket paths other than the usual ones,
	// are rare enough to be taken as they are written.
	if (!host.empty() && (host.back() == ':' || host[0] == '/'))
		return asWritten;

	std::string protocol;
	size_t slash = host.find('/');
	if (slash != std::string::npos) {
		protocol = lower_case(host.substr(0, slash));
		host = host.substr(slash + 1);
	}
	host = lower_case(host);
	bool local = protocol == "unix"
		|| (protocol.empty() && (host.empty() || host == "unix"));
	if (local)
		return "x11:" + std::to_string(number);
	// "tcp/:n" is display n of this machine, reached over TCP.
	if (host.empty())
		host = "localhost";
	return "x11:" + host + ":" + std::to_string(number);
}


// WAYLAND_DISPLAY: a socket's name in $XDG_RUNTIME_DIR, or its path.
std::string
wayland_identity(const char* name, const char* runtimeDirectory)
{
	std::string socket = wayland_socket_path(name, runtimeDirectory);
	if (socket.empty()) {
		return std::string("wayland-") + kAsWritten
			+ (is_set(name) ? name : kDefaultWaylandSocket);
	}

	// Symlinks along the way are resolved where they exist, so that a
	// runtime directory reached by two paths is one display.
	std::error_code error;
	std::filesystem::path resolved
		= std::filesystem::weakly_canonical(socket, error);
	if (error)
		resolved = std::filesystem::path(socket).lexically_normal();
	return "wayland:" + resolved.string();
}

}	// namespace


std::string
display_identity(const display_environment& environment)
{
	switch (chosen_display_backend(environment)) {
		case kOffscreenDisplayBackend:
			return "offscreen";
		case kUnknownDisplayBackend:
			// A backend the server does not know, and will not start.
			return std::string("kits-") + kAsWritten
				+ environment.kitsDisplay;
		case kSdlDisplayBackend:
			break;
	}

	// The first driver SDL is given.
	std::string driver = lower_case(chosen_video_drivers(environment).list);
	if (driver.empty())
		return "none";
	driver = driver.substr(0, driver.find(','));

	if (driver == "x11")
		return x11_identity(environment.x11Display);
	if (driver == "wayland") {
		return wayland_identity(environment.waylandDisplay,
			environment.runtimeDirectory);
	}
	return "sdl:" + driver;
}


std::string
launch_display_identity()
{
	return display_identity(current_display_environment());
}

}	// namespace BPrivate
