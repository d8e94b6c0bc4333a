/*
 * The application's icon. See ApplicationIcon.h.
 */
#include "ApplicationIcon.h"

#include <algorithm>
#include <stdlib.h>
#include <string.h>

namespace BPrivate {

namespace {

// The sizes looked for. Window lists show icons of about 48 pixels at a
// scale of 1; a nearer size scales better than a far one.
const int32 kSizes[] = { 16, 24, 32, 48, 64, 128, 256 };


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
application_icon_paths(const char* name, const char* executablePath,
	int32 pixelSize)
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

	std::vector<int32> sizes(std::begin(kSizes), std::end(kSizes));
	std::stable_sort(sizes.begin(), sizes.end(),
		[pixelSize](int32 a, int32 b) {
			return abs(a - pixelSize) < abs(b - pixelSize);
		});
	for (const std::string& folder : folders) {
		for (int32 size : sizes) {
			paths.push_back(folder + "/icons/hicolor/" + std::to_string(size)
				+ "x" + std::to_string(size) + "/apps/" + name + ".png");
		}
	}
	return paths;
}


cairo_surface_t*
load_application_icon(const char* name, const char* executablePath,
	int32 pixelSize)
{
	for (const std::string& path
			: application_icon_paths(name, executablePath, pixelSize)) {
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
