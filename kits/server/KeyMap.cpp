/*
 * The US keyboard layout in the platform's key codes: row by row, the
 * unshifted and the shifted character of each key.
 */
#include "KeyMap.h"

#include <InterfaceDefs.h>

#include <string.h>

namespace BPrivate {

namespace {

struct key_row {
	int32				firstKey;
	const char*			plain;
	const char*			shifted;
};

// The printing keys, left to right from the key code given.
const key_row kRows[] = {
	{ 0x11, "`1234567890-=", "~!@#$%^&*()_+" },
	{ 0x27, "qwertyuiop[]\\", "QWERTYUIOP{}|" },
	{ 0x3c, "asdfghjkl;'", "ASDFGHJKL:\"" },
	{ 0x4c, "zxcvbnm,./", "ZXCVBNM<>?" }
};

struct special_key {
	uint32				character;
	int32				key;
};

const special_key kSpecialKeys[] = {
	{ B_ESCAPE, 0x01 },
	{ B_BACKSPACE, 0x1e },
	{ B_INSERT, 0x1f },
	{ B_HOME, 0x20 },
	{ B_PAGE_UP, 0x21 },
	{ B_TAB, 0x26 },
	{ B_DELETE, 0x34 },
	{ B_END, 0x35 },
	{ B_PAGE_DOWN, 0x36 },
	{ B_ENTER, 0x47 },
	{ B_UP_ARROW, 0x57 },
	{ B_SPACE, 0x5e },
	{ B_LEFT_ARROW, 0x61 },
	{ B_DOWN_ARROW, 0x62 },
	{ B_RIGHT_ARROW, 0x63 }
};

}	// namespace


key_stroke
key_for_char(uint32 character)
{
	for (const special_key& special : kSpecialKeys) {
		if (special.character == character)
			return key_stroke{ special.key, (int32)character, false };
	}
	if (character > 0 && character < 0x80) {
		for (const key_row& row : kRows) {
			const char* found = strchr(row.plain, (int)character);
			if (found != NULL) {
				return key_stroke{ row.firstKey + (int32)(found - row.plain),
					(int32)character, false };
			}
			found = strchr(row.shifted, (int)character);
			if (found != NULL) {
				int32 index = (int32)(found - row.shifted);
				return key_stroke{ row.firstKey + index,
					(uint8)row.plain[index], true };
			}
		}
	}
	return key_stroke{ 0, (int32)character, false };
}


int32
key_for_function_key(int32 number)
{
	if (number < 1 || number > 12)
		return 0;
	return B_F1_KEY + number - 1;
}

}	// namespace BPrivate
