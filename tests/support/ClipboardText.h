/*
 * The plain text on a clipboard, read and written as the tests need it.
 */
#ifndef CLIPBOARD_TEXT_H
#define CLIPBOARD_TEXT_H

#include <Clipboard.h>
#include <Message.h>

#include <gtest/gtest.h>

#include <string>


// The clipboard's "text/plain" bytes; empty when it holds none.
inline std::string
clipboard_text(BClipboard& clipboard)
{
	std::string text;
	if (!clipboard.Lock()) {
		ADD_FAILURE() << "the clipboard cannot be locked";
		return text;
	}
	const void* data = NULL;
	ssize_t size = 0;
	if (clipboard.Data()->FindData("text/plain", B_MIME_TYPE, &data, &size)
			== B_OK) {
		text.assign((const char*)data, size);
	}
	clipboard.Unlock();
	return text;
}


// Puts the bytes on the clipboard as its only "text/plain".
inline void
put_clipboard_text(BClipboard& clipboard, const std::string& text)
{
	ASSERT_TRUE(clipboard.Lock());
	ASSERT_EQ(B_OK, clipboard.Clear());
	clipboard.Data()->AddData("text/plain", B_MIME_TYPE, text.data(),
		(ssize_t)text.size());
	EXPECT_EQ(B_OK, clipboard.Commit());
	clipboard.Unlock();
}

#endif	// CLIPBOARD_TEXT_H
