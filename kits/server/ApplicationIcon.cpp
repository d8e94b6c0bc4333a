/*
 * The application's icon. See ApplicationIcon.h.
 */
#include "ApplicationIcon.h"

#include <stdlib.h>
#include <string.h>

namespace BPrivate {

namespace {

// Window lists show icons of about 48 pixels; a nearer size scales
// better than a far one.
const char* const kSizes[] = { "48x48", "32x32", "64x64", "128x128",
	"256x256", "24x24", "16x16" };


// The folders of a list separated by colons, empty ones left out.
void
add_folders(std::vector<std::string>& folders, const char* list)
{
	std::string folder;
	for (const char* next = list; ; next++) {
		if (*next == ':' || *next == '\0') {
			if (!folder.empty())
				folders.push_back(folder);
			folder.clear();
			if (*next == '\0')
				break;
		} else
			folder += *next;
	}
}

}	// namespace


std::vector<std::string>
application_icon_paths(const char* name, const char* executablePath)
{
	std::vector<std::string> paths;
	if (name == NULL || name[0] == '\0' || strchr(name, '/') != NULL)
		return paths;

	std::vector<std::string> folders;
	const char* dataHome = getenv("XDG_DATA_HOME");
	const char* home = getenv("HOME");
	if (dataHome != NULL && dataHome[0] == '/')
		folders.push_back(dataHome);
	else if (home != NULL && home[0] == '/')
		folders.push_back(std::string(home) + "/.local/share");
	// An installation under a prefix of its own: PREFIX/bin/name.
	if (executablePath != NULL && executablePath[0] == '/') {
		std::string prefix(executablePath);
		prefix.erase(prefix.find_last_of('/'));
		size_t slash = prefix.find_last_of('/');
		if (slash != std::string::npos) {
			prefix.erase(slash);
			folders.push_back(prefix + "/share");
		}
	}
	const char* dataDirs = getenv("XDG_DATA_DIRS");
	add_folders(folders, dataDirs != NULL && dataDirs[0] != '\0'
		? dataDirs : "/usr/local/share:/usr/share");

	for (const std::string& folder : folders) {
		for (const char* size : kSizes) {
			paths.push_back(folder + "/icons/hicolor/" + size + "/apps/"
				+ name + ".png");
		}
	}
	return paths;
}


cairo_surface_t*
load_application_icon(const char* name, const char* executablePath)
{
	for (const std::string& path
			: application_icon_paths(name, executablePath)) {
		cairo_surface_t* icon = cairo_image_surface_create_from_png(
			path.c_str());
		if (cairo_surface_status(icon) == CAIRO_STATUS_SUCCESS
			&& cairo_image_surface_get_width(icon) > 0) {
			return icon;
		}
		cairo_surface_destroy(icon);
	}
	return NULL;
}

}	// namespace BPrivate
