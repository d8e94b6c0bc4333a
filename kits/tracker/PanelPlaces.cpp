/*
 * The places of a file panel: reading the desktop's own lists of them.
 */
#include "PanelPlaces.h"

#include <FindDirectory.h>
#include <Path.h>

#include <fstream>
#include <map>
#include <sys/stat.h>

namespace BPrivate {

namespace {

// The standard folders a panel offers, by their user-dirs.dirs key, with
// the name each has where that file does not say.
struct standard_folder {
	const char*	key;
	const char*	fallback;
};

const standard_folder kStandardFolders[] = {
	{ "XDG_DESKTOP_DIR", "Desktop" },
	{ "XDG_DOCUMENTS_DIR", "Documents" },
	{ "XDG_DOWNLOAD_DIR", "Downloads" },
	{ "XDG_MUSIC_DIR", "Music" },
	{ "XDG_PICTURES_DIR", "Pictures" },
	{ "XDG_VIDEOS_DIR", "Videos" },
};


bool
is_folder(const std::string& path)
{
	struct stat info;
	return !path.empty() && stat(path.c_str(), &info) == 0
		&& S_ISDIR(info.st_mode);
}


std::string
leaf_of(const std::string& path)
{
	std::string trimmed = path;
	while (trimmed.size() > 1 && trimmed.back() == '/')
		trimmed.pop_back();
	size_t slash = trimmed.rfind('/');
	return slash == std::string::npos || trimmed.size() == 1
		? trimmed : trimmed.substr(slash + 1);
}


// The lines of user-dirs.dirs: KEY="$HOME/Name" or KEY="/absolute",
// shell-quoted. A folder set to home itself means the desktop has none.
std::map<std::string, std::string>
read_user_dirs(const std::string& file, const std::string& home)
{
	std::map<std::string, std::string> folders;
	std::ifstream input(file);
	std::string line;
	while (std::getline(input, line)) {
		size_t equals = line.find('=');
		if (line.empty() || line[0] == '#' || equals == std::string::npos)
			continue;
		std::string key = line.substr(0, equals);
		std::string value = line.substr(equals + 1);
		if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
			value = value.substr(1, value.size() - 2);
		std::string unescaped;
		for (size_t i = 0; i < value.size(); i++) {
			if (value[i] == '\\' && i + 1 < value.size())
				i++;
			unescaped += value[i];
		}
		if (unescaped.compare(0, 5, "$HOME") == 0)
			unescaped = home + unescaped.substr(5);
		if (unescaped.empty() || unescaped[0] != '/')
			continue;
		folders[key] = unescaped;
	}
	return folders;
}


int
hex_value(char c)
{
	if (c >= '0' && c <= '9')
		return c - '0';
	if (c >= 'a' && c <= 'f')
		return c - 'a' + 10;
	if (c >= 'A' && c <= 'F')
		return c - 'A' + 10;
	return -1;
}


class PlaceList {
public:
	void Add(const std::string& label, const std::string& path)
	{
		if (!is_folder(path))
			return;
		for (const panel_place& place : fPlaces) {
			if (place.path == path)
				return;
		}
		fPlaces.push_back(panel_place{ label, path });
	}
	const std::vector<panel_place>& Places() const { return fPlaces; }

private:
	std::vector<panel_place> fPlaces;
};

}	// namespace


bool
file_uri_path(const std::string& uri, std::string* _path)
{
	// Only local files: "file:///path" or "file://localhost/path".
	std::string rest;
	if (uri.compare(0, 8, "file:///") == 0)
		rest = uri.substr(7);
	else if (uri.compare(0, 17, "file://localhost/") == 0)
		rest = uri.substr(16);
	else
		return false;

	std::string path;
	for (size_t i = 0; i < rest.size(); i++) {
		if (rest[i] != '%') {
			path += rest[i];
			continue;
		}
		int high = i + 2 < rest.size() ? hex_value(rest[i + 1]) : -1;
		int low = i + 2 < rest.size() ? hex_value(rest[i + 2]) : -1;
		// A NUL byte cannot be part of a path.
		if (high < 0 || low < 0 || (high == 0 && low == 0))
			return false;
		path += (char)(high * 16 + low);
		i += 2;
	}
	*_path = path;
	return true;
}


std::vector<panel_place>
find_panel_places(const std::string& home, const std::string& configHome)
{
	PlaceList places;
	places.Add("Home", home);

	// Without a configuration folder there are only the usual names.
	std::map<std::string, std::string> userDirs;
	if (!configHome.empty())
		userDirs = read_user_dirs(configHome + "/user-dirs.dirs", home);
	for (const standard_folder& folder : kStandardFolders) {
		auto found = userDirs.find(folder.key);
		std::string path = found != userDirs.end() ? found->second
			: home + "/" + folder.fallback;
		// Set to home, the folder is switched off: home is listed already.
		if (path != home && path != home + "/")
			places.Add(leaf_of(path), path);
	}
	places.Add("/", "/");

	if (configHome.empty())
		return places.Places();
	std::ifstream bookmarks(configHome + "/gtk-3.0/bookmarks");
	std::string line;
	while (std::getline(bookmarks, line)) {
		if (!line.empty() && line.back() == '\r')
			line.pop_back();
		size_t space = line.find(' ');
		std::string path;
		if (!file_uri_path(line.substr(0, space), &path))
			continue;
		std::string label = space != std::string::npos
			? line.substr(space + 1) : "";
		places.Add(label.empty() ? leaf_of(path) : label, path);
	}
	return places.Places();
}


std::vector<panel_place>
user_panel_places()
{
	BPath home;
	BPath config;
	if (find_directory(B_USER_DIRECTORY, &home) != B_OK)
		return find_panel_places("/", "");
	if (find_directory(B_USER_SETTINGS_DIRECTORY, &config) != B_OK)
		return find_panel_places(home.Path(), "");
	return find_panel_places(home.Path(), config.Path());
}

}	// namespace BPrivate
