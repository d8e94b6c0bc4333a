/*
 * Private to the kits: how the kits' own dialogs (the Open and Save
 * panels, the page setup and print dialogs) recognise the Escape key
 * that cancels them, whichever view has the keyboard.
 */
#ifndef _KITS_ESCAPE_KEY_PRIVATE_H
#define _KITS_ESCAPE_KEY_PRIVATE_H

#include <InterfaceDefs.h>
#include <Message.h>

namespace BPrivate {

// True for a B_KEY_DOWN whose bytes are Escape alone; false for every
// other message, a key down with a modifier's extra bytes included.
inline bool
is_escape_key_down(const BMessage* message)
{
	if (message->what != B_KEY_DOWN)
		return false;
	const char* bytes = message->GetString("bytes", "");
	return bytes[0] == B_ESCAPE && bytes[1] == '\0';
}

}	// namespace BPrivate

#endif	// _KITS_ESCAPE_KEY_PRIVATE_H
