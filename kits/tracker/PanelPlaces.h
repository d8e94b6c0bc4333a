/*
 * The places a file panel offers a click away, in the order a Linux
 * desktop shows them: the home folder, the user's standard folders
 * (Desktop, Documents, Downloads, Music, Pictures, Videos) that exist,
 * the root of the file system, then the user's bookmarked folders.
 *
 * The standard folders come from $XDG_CONFIG_HOME/user-dirs.dirs, as the
 * desktop names them (in the user's language too); without that file
 * they are the usual English names under home. Bookmarks come from
 * $XDG_CONFIG_HOME/gtk-3.0/bookmarks, one "file://" URI a line with an
 * optional label after a space; other schemes, and folders that are not
 * there, are left out. A folder appears once, where it first comes.
 *
 * Threads: plain functions, callable from any thread.
 */
#ifndef _KITS_PANEL_PLACES_H
#define _KITS_PANEL_PLACES_H

#include <string>
#include <vector>

namespace BPrivate {

struct panel_place {
	std::string			label;
	std::string			path;
};

// The places for that home and configuration folder.
std::vector<panel_place> find_panel_places(const std::string& home,
	const std::string& configHome);

// The places of the user running the program, from HOME and
// XDG_CONFIG_HOME.
std::vector<panel_place> user_panel_places();

// "file:///a%20b" is "/a b"; false for other schemes, for a remote host
// and for a broken escape.
bool file_uri_path(const std::string& uri, std::string* _path);

}	// namespace BPrivate

#endif	// _KITS_PANEL_PLACES_H
