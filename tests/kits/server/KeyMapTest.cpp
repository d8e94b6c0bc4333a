/*
 * The server's key map: the key codes and raw characters it gives the
 * characters that tests type.
 */

#include <InterfaceDefs.h>

#include "KeyMap.h"

#include <gtest/gtest.h>


TEST(KeyMapTest, CharactersGetTheirKeys)
{
	using BPrivate::key_for_char;
	BPrivate::key_stroke stroke = key_for_char('q');
	EXPECT_EQ(stroke.key, 0x27);
	EXPECT_EQ(stroke.rawChar, 'q');
	EXPECT_FALSE(stroke.shift);

	stroke = key_for_char('Q');
	EXPECT_EQ(stroke.key, 0x27);
	EXPECT_EQ(stroke.rawChar, 'q');
	EXPECT_TRUE(stroke.shift);

	stroke = key_for_char('!');
	EXPECT_EQ(stroke.key, key_for_char('1').key);
	EXPECT_EQ(stroke.rawChar, '1');
	EXPECT_TRUE(stroke.shift);

	EXPECT_EQ(key_for_char(B_TAB).key, 0x26);
	EXPECT_EQ(key_for_char(B_ENTER).key, 0x47);
	EXPECT_EQ(key_for_char(B_LEFT_ARROW).key, 0x61);
	EXPECT_EQ(key_for_char(B_SPACE).key, 0x5e);
	EXPECT_EQ(key_for_char(B_BACKSPACE).key, 0x1e);

	stroke = key_for_char(0x20ac);
	EXPECT_EQ(stroke.key, 0);
	EXPECT_EQ(stroke.rawChar, 0x20ac);
	EXPECT_EQ(key_for_char(0).key, 0);

	EXPECT_EQ(BPrivate::key_for_function_key(1), B_F1_KEY);
	EXPECT_EQ(BPrivate::key_for_function_key(12), B_F12_KEY);
	EXPECT_EQ(BPrivate::key_for_function_key(13), 0);
}
