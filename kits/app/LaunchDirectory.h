/*
 * Private to the kits: where the single-launch channel keeps its sockets,
 * and what a signature must look like to get one.
 *
 * The sockets sit in a private directory: "orvane-kits" inside
 * $XDG_RUNTIME_DIR when that variable names an absolute directory owned
 * by us that nobody else may enter, and otherwise "kits-<uid>" in /tmp.
 * Either is created with mode 0700 and then checked: it must be a real
 * directory (not a symlink), owned by our uid, with mode exactly 0700.
 * Anything else is refused, since another user could then read what is
 * handed over or pose as the running instance.
 *
 * One socket exists per signature and display (LaunchDisplay.h names
 * the displays), so that a launch reaches only an instance whose windows
 * it would see. It is named "<signature>.<display>-<hash>.sock": the
 * start of the lower-cased signature and of the display's name, with
 * every character outside [a-z0-9_-] replaced by "_", and a hash of both
 * whole. So neither can put "/" or ".." into a path, and signatures that
 * differ only in case, as MIME types may, share one socket.
 */
#ifndef _KITS_LAUNCH_DIRECTORY_H
#define _KITS_LAUNCH_DIRECTORY_H

#include <SupportDefs.h>

#include <string>

namespace BPrivate {

// A MIME type "supertype/subtype": one slash, both parts non-empty,
// printable ASCII without spaces or the MIME special characters
// ()<>@,;:\"[]?=, shorter than B_MIME_TYPE_LENGTH.
bool is_valid_app_signature(const char* signature);

// Finds, creates if needed and checks the private directory. The
// fallback goes into fallbackParent ("/tmp" normally; tests pass their
// own). B_NOT_ALLOWED when the directory fails the check; a trusted
// $XDG_RUNTIME_DIR whose "orvane-kits" fails it is refused as well, not
// swapped for the fallback.
status_t launch_directory(std::string* _path,
	const char* fallbackParent = "/tmp");

// Creates parent/name with mode 0700 if it does not exist, then checks it
// as above. B_BAD_VALUE for a relative parent or a name that is empty,
// ".", ".." or contains "/"; B_NOT_ALLOWED when the check fails.
status_t make_private_directory(const char* parent, const char* name,
	std::string* _path);

// The socket's path for a signature on the display this process shows
// its windows on, in launch_directory(), which it creates if needed.
// B_BAD_VALUE for an invalid signature, B_NAME_TOO_LONG when the path
// does not fit a socket address.
status_t launch_socket_path(const char* signature, std::string* _path);

}	// namespace BPrivate

#endif	// _KITS_LAUNCH_DIRECTORY_H
