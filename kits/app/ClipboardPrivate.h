/*
 * Private to the kits: how be_clipboard reaches the screen's clipboard.
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

typedef status_t (*set_clipboard_text_function)(const std::string& text);
typedef status_t (*get_clipboard_text_function)(std::string& _text);

// Either may be NULL to disconnect.
void set_system_clipboard(set_clipboard_text_function set,
	get_clipboard_text_function get);

}	// namespace BPrivate

#endif	// _KITS_CLIPBOARD_PRIVATE_H
