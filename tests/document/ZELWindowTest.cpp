/*
 * The document window: layout, menus, saving and the title.
 *
 * Cases:
 * - a 440 x 340 window: status view at (0, 327, 99, 339), the line above
 *   it at row 326, the text from under the menu bar to row 325 and
 *   column 425, the horizontal scroll bar beside the status area;
 * - resizing keeps the status area in the lower left corner and
 *   stretches the menu bar and the scroll view;
 * - the menus hold their items with their codes, shortcuts and targets;
 * - in a fresh window Save is disabled and Command+S does nothing; the
 *   first change enables it, and an 'FMsn' while enabled keeps it so;
 * - Save writes exactly the text: a shorter text leaves a file of its
 *   length, an empty text an empty file; Save disables itself again;
 * - a save request from the panel moves the file and the title to the
 *   new file and leaves the old file as it was; one without a name is
 *   dropped;
 * - a file that does not exist yet keeps its name as the title and is
 *   created by the first save;
 * - 'FFcl' closes a changed window at once, without a question.
 */
#include <gtest/gtest.h>

#include <Entry.h>
#include <Menu.h>
#include <Message.h>
#include <MenuBar.h>
#include <MenuItem.h>
#include <ScrollBar.h>
#include <ScrollView.h>

#include "EditorFixture.h"
#include "MessageCodes.h"
#include "ZELApp.h"
#include "ZELTextView.h"
#include "ZELWindow.h"

namespace {

class ZELWindowTest : public EditorTest {
protected:
	BRect FrameOfView(BWindow* window, const char* name)
	{
		BRect frame;
		BView* view = fDriver.FindView(window, name);
		if (view != NULL && window->Lock()) {
			frame = view->Frame();
			if (view->Parent() != NULL) {
				frame = window->ConvertFromScreen(
					view->Parent()->ConvertToScreen(frame));
			}
			window->Unlock();
		}
		return frame;
	}

	void SaveRequest(BWindow* window, const std::string& directory,
		const char* name)
	{
		BMessage request(B_SAVE_REQUESTED);
		entry_ref ref;
		ASSERT_EQ(B_OK, get_ref_for_path(directory.c_str(), &ref));
		request.AddRef("directory", &ref);
		if (name != NULL)
			request.AddString("name", name);
		Post(window, &request);
	}
};

}	// namespace


TEST_F(ZELWindowTest, LayoutOfA440By340Window)
{
	ASSERT_TRUE(Launch());
	ZELWindow* window = Document("Untitled - 1");
	ASSERT_NE((ZELWindow*)NULL, window);
	ASSERT_EQ(BRect(0, 0, 439, 339), window->Bounds());

	EXPECT_EQ(BRect(0, 327, 99, 339), FrameOfView(window, "wixStatus"));
	EXPECT_EQ(BRect(0, 326, 99, 326), FrameOfView(window, "zelLine"));
	BRect menu = FrameOfView(window, "main menu");
	EXPECT_EQ(0, menu.top);
	EXPECT_EQ(439, menu.right);
	EXPECT_EQ(BRect(0, menu.bottom + 1, 425, 325),
		FrameOfView(window, "ZELView"));

	BScrollView* scrollView = dynamic_cast<BScrollView*>(
		fDriver.FindView(window, "ScrollView"));
	ASSERT_NE((BScrollView*)NULL, scrollView);
	ASSERT_TRUE(window->Lock());
	BScrollBar* horizontal = scrollView->ScrollBar(B_HORIZONTAL);
	BRect bar = window->ConvertFromScreen(
		scrollView->ConvertToScreen(horizontal->Frame()));
	window->Unlock();
	EXPECT_LE(100, bar.left);
	EXPECT_EQ(325 + 1, bar.top);

	// Resized, the status area stays in the corner.
	ASSERT_EQ(B_OK, fDriver.ResizeWindow(window, 600, 500));
	ASSERT_TRUE(window->Lock());
	BRect bounds = window->Bounds();
	window->Unlock();
	ASSERT_NE(BRect(0, 0, 439, 339), bounds);
	EXPECT_EQ(BRect(0, bounds.bottom - 12, 99, bounds.bottom),
		FrameOfView(window, "wixStatus"));
	EXPECT_EQ(BRect(0, bounds.bottom - 13, 99, bounds.bottom - 13),
		FrameOfView(window, "zelLine"));
	EXPECT_EQ(bounds.right, FrameOfView(window, "main menu").right);
	EXPECT_EQ(BRect(0, menu.bottom + 1, bounds.right - 14, bounds.bottom - 14),
		FrameOfView(window, "ZELView"));
}


TEST_F(ZELWindowTest, MenusAreAimed)
{
	ASSERT_TRUE(Launch());
	ZELWindow* window = Document("Untitled - 1");
	BMenuBar* bar = fDriver.FindView<BMenuBar>(window);
	ZELTextView* text = TextOf(window);
	ASSERT_TRUE(bar != NULL && text != NULL);

	struct {
		uint32 code;
		const char* label;
		char shortcut;
		BHandler* target;
	} items[] = {
		{ kMsgNew, "New", 'N', be_app },
		{ kMsgOpen, "Open", 'O', be_app },
		{ kMsgSave, "Save", 'S', window },
		{ kMsgSaveAs, "Save As...", 0, window },
		{ kMsgPageSetup, "Page Setup...", 0, text },
		{ kMsgPrint, "Print...", 'P', text },
		{ B_ABOUT_REQUESTED, "About Orvane...", 0, be_app },
		{ B_UNDO, "Undo", 'Z', text },
		{ B_CUT, "Cut", 'X', text },
		{ B_COPY, "Copy", 'C', text },
		{ B_PASTE, "Paste", 'V', text },
		{ B_SELECT_ALL, "Select All", 'A', text },
		{ kMsgFind, "Find...", 'F', text },
		{ kMsgFindAgain, "Find Again", 'G', text },
		{ kMsgReplace, "Replace...", 'R', text },
		{ kMsgReplaceSame, "Replace Same", 'T', text },
		{ kMsgSettings, "Settings", 'E', be_app }
	};
	ASSERT_TRUE(window->Lock());
	EXPECT_EQ(3, bar->CountItems());
	EXPECT_STREQ("File", bar->ItemAt(0)->Label());
	EXPECT_STREQ("Edit", bar->ItemAt(1)->Label());
	EXPECT_STREQ("Extras", bar->ItemAt(2)->Label());
	EXPECT_EQ(13, bar->SubmenuAt(0)->CountItems());
	for (const auto& expected : items) {
		BMenuItem* item = bar->FindItem(expected.code);
		ASSERT_NE((BMenuItem*)NULL, item) << expected.label;
		EXPECT_STREQ(expected.label, item->Label());
		uint32 modifiers;
		EXPECT_EQ(expected.shortcut, item->Shortcut(&modifiers))
			<< expected.label;
		BLooper* looper;
		BHandler* target = item->Target(&looper);
		if (expected.target == window)
			EXPECT_TRUE(target == NULL || target == window) << expected.label;
		else
			EXPECT_EQ(expected.target, target) << expected.label;
	}
	// Close and Quit share their code; both are there, Close first.
	BMenu* file = bar->SubmenuAt(0);
	EXPECT_STREQ("Close", file->ItemAt(2)->Label());
	EXPECT_EQ(B_QUIT_REQUESTED, file->ItemAt(2)->Command());
	ASSERT_NE((BMenuItem*)NULL, file->ItemAt(12));
	EXPECT_STREQ("Quit", file->ItemAt(12)->Label());
	EXPECT_EQ(be_app, file->ItemAt(12)->Target(NULL));
	window->Unlock();
}


TEST_F(ZELWindowTest, SaveFollowsTheFirstChange)
{
	WriteFile("text.txt", "a longer text than what follows");
	ASSERT_TRUE(Launch({ "text.txt" }));
	ZELWindow* window = Document("text.txt");
	ASSERT_NE((ZELWindow*)NULL, window);
	EXPECT_FALSE(IsSaveEnabled(window));

	// Command+S does nothing while Save is disabled.
	fDriver.PressKey(window, 's', B_COMMAND_KEY);
	EXPECT_EQ(0, CountLines("BMessage('FFsv') {"));

	ASSERT_EQ(B_OK, fDriver.ChooseMenuItem(window, "Edit/Select All"));
	fDriver.TypeText(window, "short");
	EXPECT_TRUE(IsSaveEnabled(window));
	Post(window, kMsgTextChanged);
	EXPECT_TRUE(IsSaveEnabled(window));

	fDriver.PressKey(window, 's', B_COMMAND_KEY);
	EXPECT_EQ("short", ReadFile("text.txt"));
	EXPECT_FALSE(IsSaveEnabled(window));
	EXPECT_TRUE(IsClean(window));
	EXPECT_EQ("text.txt", TitleOf(window));

	// Everything deleted: an empty file, and that is a success.
	ASSERT_EQ(B_OK, fDriver.ChooseMenuItem(window, "Edit/Select All"));
	fDriver.PressKey(window, B_BACKSPACE);
	Post(window, kMsgSave);
	EXPECT_EQ("", ReadFile("text.txt"));
	EXPECT_TRUE(IsClean(window));
}


TEST_F(ZELWindowTest, SaveRequestMovesTheTitle)
{
	WriteFile("old.txt", "old");
	ASSERT_EQ(0, mkdir(Path("elsewhere").c_str(), 0755));
	ASSERT_TRUE(Launch({ "old.txt" }));
	ZELWindow* window = Document("old.txt");
	fDriver.TypeText(window, "new ");

	SaveRequest(window, Path("elsewhere"), "new.txt");
	EXPECT_TRUE(fDriver.WaitForOutput("SAVE_REQUESTED"));
	EXPECT_EQ(1, CountLines(Path("elsewhere/new.txt")));
	EXPECT_EQ("new old", read_raw(Path("elsewhere/new.txt")));
	EXPECT_EQ("old", ReadFile("old.txt"));
	EXPECT_EQ("new.txt", TitleOf(window));
	EXPECT_TRUE(IsClean(window));
	EXPECT_FALSE(IsSaveEnabled(window));

	// Later saves go to the new file.
	fDriver.TypeText(window, "again ");
	Post(window, kMsgSave);
	EXPECT_EQ("new again old", read_raw(Path("elsewhere/new.txt")));
	EXPECT_EQ("old", ReadFile("old.txt"));

	// A reply without a name changes nothing.
	fDriver.TypeText(window, "x");
	SaveRequest(window, Path(""), NULL);
	EXPECT_EQ("new.txt", TitleOf(window));
	EXPECT_FALSE(IsClean(window));
}


TEST_F(ZELWindowTest, FileThatDoesNotExistYet)
{
	ASSERT_TRUE(Launch({ "later.txt" }));
	ZELWindow* window = Document("later.txt");
	ASSERT_NE((ZELWindow*)NULL, window);
	EXPECT_EQ("<missing>", ReadFile("later.txt"));
	fDriver.TypeText(window, "now");
	Post(window, kMsgSave);
	EXPECT_EQ("now", ReadFile("later.txt"));
}


TEST_F(ZELWindowTest, CloseCodeClosesWithoutAsking)
{
	ASSERT_TRUE(Launch());
	BMessage newWindow(kMsgNew);
	PostToApp(&newWindow);
	ZELWindow* window = Document("Untitled - 2");
	fDriver.TypeText(window, "unsaved");
	Post(window, kMsgClose);
	EXPECT_EQ(B_OK, fDriver.WaitFor([this] {
		return fDriver.FindWindow("Untitled - 2") == NULL; },
		"the window to close"));
	// No 'FMuw': the application still counts two windows.
	EXPECT_EQ(2, App()->OpenWindowCount());
	EXPECT_EQ(1, fDriver.CountWindows());
}
