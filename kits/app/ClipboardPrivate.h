/*
 * Private to the kits: how be_clipboard (and the "primary" clipboard)
 * reach the screen's clipboard (and its primary selection).
 * The application kit sits below the display server, so the server fills
 * in these two functions when it starts; until then (and in a program
 * without a display) the system clipboard lives in the process only.
 *
 * Threads: any. The functions given must be callable from any thread.
 */
#ifndef _KITS_CLIPBOARD_PRIVATE_H
#define _KITS_CLIPBOARD_PRIVATE_H

#include <SupportDefs.h>

#include <string>

namespace BPrivate {

// The screen's two selections: the clipboard ("system") and the text last
// selected, which a middle click pastes on X11 ("primary").
enum system_selection {
	kClipboardSelection = 0,
	kPrimarySelection
};

typedef status_t (*set_clipboard_text_function)(system_selection which,
	const std::string& text);
typedef status_t (*get_clipboard_text_function)(system_selection which,
	std::string& _text);

// Either may be NULL to disconnect.
void set_system_clipboard(system_selection which,
	set_clipboard_text_function set, get_clipboard_text_function get);

}	// namespace BPrivate

#endif	// _KITS_CLIPBOARD_PRIVATE_H
