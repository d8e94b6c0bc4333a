/*
 * What a file panel says and understands, apart from its window: the
 * messages it sends its target, the way it reads a name typed into a
 * save panel, and the words it uses for what went wrong.
 *
 * Threads: plain functions, callable from any thread.
 */
#ifndef _KITS_PANEL_MESSAGES_H
#define _KITS_PANEL_MESSAGES_H

#include <Entry.h>
#include <FilePanel.h>
#include <Message.h>

#include <string>
#include <vector>

namespace BPrivate {

// The message a choice sends: a copy of the panel's own message when it
// has one, else B_REFS_RECEIVED (open) or B_SAVE_REQUESTED (save).
BMessage panel_choice_message(file_panel_mode mode,
	const BMessage* panelMessage);

// An open panel's choice: "refs", one per entry, in order.
BMessage open_panel_reply(const BMessage* panelMessage,
	const std::vector<entry_ref>& refs);
// A save panel's choice: "directory" and "name".
BMessage save_panel_reply(const BMessage* panelMessage,
	const entry_ref& directory, const char* name);
// What the panel sends when it is hidden: its choice message with the
// what changed to B_CANCEL, the old one in "old_what", and "source".
BMessage panel_cancel_notice(file_panel_mode mode,
	const BMessage* panelMessage, BFilePanel* source);

// What a name typed into a save panel means.
enum save_name_meaning {
	// Save as _name in _folder.
	kSaveInFolder,
	// The name leads to a folder: the panel goes there instead.
	kEnterFolder
};

// Reads a typed name, taken relative to the folder the panel shows. A
// name may be a path ("notes/a.txt", "/tmp/b", ".."): what it leads to
// must lie in a folder that exists. A name that is an existing folder
// means entering it. Fails with B_BAD_VALUE for an empty name (or one
// that ends in "/" without naming a folder), B_NAME_TOO_LONG for a leaf
// over B_FILE_NAME_LENGTH - 1 bytes, and what resolving the folder
// failed with (B_ENTRY_NOT_FOUND, B_NOT_A_DIRECTORY, ...).
status_t resolve_save_name(const entry_ref& folder, const char* typed,
	save_name_meaning* _meaning, entry_ref* _folder, std::string* _name);

// A short sentence for the user saying why a folder cannot be shown or a
// name cannot be used.
const char* panel_error_text(status_t status);

}	// namespace BPrivate

#endif	// _KITS_PANEL_MESSAGES_H
