/*
 * Private to the kits: what a later launch of a single-launch application
 * hands to the running instance, and the checks the running instance
 * applies before it posts such a message to itself.
 *
 * A hand-over is one of:
 *   B_ARGV_RECEIVED: "argc" (int32), "argv" (strings, at least one) and
 *     "cwd" (string), the directory the launch started in.
 *   B_REFS_RECEIVED: "refs" (entry_refs, at least one).
 *   B_SILENT_RELAUNCH: no fields; a launch without arguments.
 */
#ifndef _KITS_LAUNCH_HAND_OVER_H
#define _KITS_LAUNCH_HAND_OVER_H

#include <Message.h>
#include <SupportDefs.h>

namespace BPrivate {

// Builds the hand-over for a launch with these arguments, which started
// in cwd (NULL when unknown). One argument or none gives a silent
// relaunch. NULL entries of argv are sent as empty strings.
status_t make_launch_hand_over(int32 argc, const char* const* argv,
	const char* cwd, BMessage* _message);

// Rebuilds a received hand-over from its known fields only, into
// _handOver. For B_ARGV_RECEIVED: "cwd", when present, must be one
// absolute path; every argument after argv[0] that is a relative path is
// made absolute against it (joined, not normalised, so a path to a file
// that does not exist yet survives). Empty arguments, absolute paths and
// options (arguments that begin with "-") stay as they are. "argc" is set
// to the number of arguments. B_BAD_DATA for any other code, a missing or
// mistyped field, or a relative "cwd".
status_t validate_launch_hand_over(const BMessage& message,
	BMessage* _handOver);

}	// namespace BPrivate

#endif	// _KITS_LAUNCH_HAND_OVER_H
