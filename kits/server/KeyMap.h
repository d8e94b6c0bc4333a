/*
 * Private to the kits: the keyboard's layout, as the platform numbers
 * its keys. A US layout: what the display server's backends and the test
 * driver use to give a character the key that types it.
 */
#ifndef _KITS_KEY_MAP_H
#define _KITS_KEY_MAP_H

#include <SupportDefs.h>

namespace BPrivate {

struct key_stroke {
	// The platform's key code ("key"); 0 for a character no key types.
	int32				key;
	// The character the key types without modifiers ("raw_char").
	int32				rawChar;
	// Whether Shift must be held for the character.
	bool				shift;
};

// The key for an ASCII character or one of the platform's key
// characters (B_TAB, B_LEFT_ARROW, ...). Other characters get key 0,
// their own value as raw character, and no Shift.
key_stroke key_for_char(uint32 character);

// The key code of a function key, 1 to 12; 0 for other numbers.
int32 key_for_function_key(int32 number);

}	// namespace BPrivate

#endif	// _KITS_KEY_MAP_H
