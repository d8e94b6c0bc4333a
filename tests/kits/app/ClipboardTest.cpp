/*
 * BClipboard without a display server:
 * - committed data comes back on the next Lock(), in every clipboard of
 *   the same name; named clipboards are separate from the system one;
 * - Data() and the changes need the lock; Clear and Revert;
 * - with a screen behind the system clipboard: the exact bytes come back
 *   while the screen holds the text it was given; the screen's text once
 *   another program changed it; a failing screen gives an empty
 *   clipboard, not stale data;
 * - "primary" is the screen's primary selection, kept apart from the
 *   clipboard, exact in the process like it.
 */
#include <Clipboard.h>
#include <Message.h>
#include <TypeConstants.h>

#include "ClipboardPrivate.h"
#include "ClipboardText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A screen's clipboard and primary selection for the tests.
std::string sScreen;
std::string sScreenPrimary;
bool sScreenFails = false;

status_t
set_screen(BPrivate::system_selection which, const std::string& text)
{
	(which == BPrivate::kPrimarySelection ? sScreenPrimary : sScreen) = text;
	return B_OK;
}


status_t
get_screen(BPrivate::system_selection which, std::string& _text)
{
	if (sScreenFails)
		return B_ERROR;
	_text = which == BPrivate::kPrimarySelection ? sScreenPrimary : sScreen;
	return B_OK;
}


void
connect_screen(bool connect)
{
	for (BPrivate::system_selection which : { BPrivate::kClipboardSelection,
			BPrivate::kPrimarySelection }) {
		BPrivate::set_system_clipboard(which, connect ? &set_screen : NULL,
			connect ? &get_screen : NULL);
	}
}

}	// namespace


TEST(ClipboardTest, CommittedDataComesBackOnTheNextLock)
{
	BClipboard system("system");
	BClipboard other(NULL);
	BClipboard named("mine");
	std::string odd("a\0b\xFF", 4);
	put_clipboard_text(system, odd);
	EXPECT_EQ(odd, clipboard_text(system));
	EXPECT_EQ(odd, clipboard_text(other));
	EXPECT_EQ(odd, clipboard_text(*be_clipboard));
	EXPECT_EQ("", clipboard_text(named));
	EXPECT_STREQ("mine", named.Name());
	EXPECT_STREQ("system", other.Name());

	put_clipboard_text(named, "own");
	EXPECT_EQ("own", clipboard_text(named));
	EXPECT_EQ(odd, clipboard_text(system));
	EXPECT_EQ(1u, named.LocalCount());
}


TEST(ClipboardTest, ChangesNeedTheLock)
{
	BClipboard clipboard("locks");
	EXPECT_EQ(NULL, clipboard.Data());
	EXPECT_EQ(B_NOT_ALLOWED, clipboard.Clear());
	EXPECT_EQ(B_NOT_ALLOWED, clipboard.Commit());
	EXPECT_FALSE(clipboard.IsLocked());

	put_clipboard_text(clipboard, "kept");
	ASSERT_TRUE(clipboard.Lock());
	ASSERT_TRUE(clipboard.Lock());
	EXPECT_TRUE(clipboard.IsLocked());
	clipboard.Clear();
	EXPECT_TRUE(clipboard.Data()->IsEmpty());
	// Revert brings back what was committed.
	EXPECT_EQ(B_OK, clipboard.Revert());
	EXPECT_TRUE(clipboard.Data()->HasData("text/plain", B_MIME_TYPE));
	clipboard.Unlock();
	EXPECT_TRUE(clipboard.IsLocked());
	clipboard.Unlock();
	EXPECT_FALSE(clipboard.IsLocked());
}


TEST(ClipboardTest, TheScreenDecidesWhoseTextItIs)
{
	connect_screen(true);
	BClipboard clipboard("system");
	std::string odd("x\0\xFE", 3);
	put_clipboard_text(clipboard, odd);
	EXPECT_EQ("x\xEF\xBF\xBD", sScreen);
	EXPECT_EQ(odd, clipboard_text(clipboard));

	// Another program copied something.
	sScreen = "theirs";
	EXPECT_EQ("theirs", clipboard_text(clipboard));
	// Even when it happens to be our old text again, it is theirs now.
	sScreen = "x\xEF\xBF\xBD";
	EXPECT_EQ("x\xEF\xBF\xBD", clipboard_text(clipboard));

	put_clipboard_text(clipboard, odd);
	sScreenFails = true;
	EXPECT_EQ("", clipboard_text(clipboard));
	sScreenFails = false;
	connect_screen(false);
}


TEST(ClipboardTest, PrimaryIsTheScreensOtherSelection)
{
	connect_screen(true);
	BClipboard clipboard("system");
	BClipboard primary("primary");
	BClipboard samePrimary("primary");
	put_clipboard_text(clipboard, "copied");
	std::string odd("sel\0ected", 9);
	put_clipboard_text(primary, odd);
	EXPECT_EQ("copied", sScreen);
	EXPECT_EQ(std::string("sel"), sScreenPrimary.substr(0, 3));
	// Exact in the process, shared by every "primary" clipboard, apart
	// from the clipboard.
	EXPECT_EQ(odd, clipboard_text(samePrimary));
	EXPECT_EQ("copied", clipboard_text(clipboard));

	sScreenPrimary = "selected elsewhere";
	EXPECT_EQ("selected elsewhere", clipboard_text(primary));
	EXPECT_EQ("copied", clipboard_text(clipboard));
	connect_screen(false);
}
