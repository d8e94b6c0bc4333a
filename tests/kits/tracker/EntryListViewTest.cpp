/*
 * The panel's list on its own, in a window of a test application:
 * - a click selects one row, Shift+click a range from the last row
 *   clicked, Command+click adds and removes rows; a click below the
 *   last row selects nothing; without multiple selection every click
 *   selects one row;
 * - Down and Up move from row to row and stop at the ends, Home and End
 *   jump, Shift extends, Command+A selects all; the row the keyboard
 *   reaches is scrolled into view, and so is the end of a long list;
 * - typing the start of a name jumps to the first entry that starts
 *   with it, regardless of case;
 * - the wheel scrolls, no further than the last row;
 * - Enter, a double click and Backspace reach the window as messages.
 */
#include <Window.h>

#include <TestDriver.h>

#include "EntryListView.h"
#include "TrackerTestSupport.h"

#include <gtest/gtest.h>

#include <mutex>

using namespace BPrivate;
using namespace tracker_test;

namespace {

// A window around one list that records what the list tells it.
class ListWindow : public BWindow {
public:
	ListWindow()
		: BWindow(BRect(50, 50, 349, 249), "List", B_TITLED_WINDOW, 0)
	{
		fList = new EntryListView(Bounds(), "entries", B_FOLLOW_ALL);
		AddChild(fList);
	}

	void MessageReceived(BMessage* message) override
	{
		std::lock_guard<std::mutex> guard(fLock);
		fWhats.push_back(message->what);
		fIndices.push_back(message->GetInt32("index", -1));
	}

	std::vector<uint32> Whats(uint32 ignored = 0)
	{
		std::lock_guard<std::mutex> guard(fLock);
		std::vector<uint32> whats;
		for (uint32 what : fWhats) {
			if (what != ignored)
				whats.push_back(what);
		}
		return whats;
	}
	int32 LastIndex()
	{
		std::lock_guard<std::mutex> guard(fLock);
		return fIndices.empty() ? -2 : fIndices.back();
	}

	EntryListView* fList;

private:
	std::mutex fLock;
	std::vector<uint32> fWhats;
	std::vector<int32> fIndices;
};


std::vector<folder_entry>
entries_named(const std::vector<std::string>& names)
{
	std::vector<folder_entry> entries;
	for (const std::string& name : names) {
		folder_entry entry;
		entry.name = name;
		entry.kind = kFileEntry;
		entries.push_back(entry);
	}
	return entries;
}


class ListTest : public ::testing::Test {
protected:
	void SetUp() override
	{
		ASSERT_EQ(fDriver.Launch<RecordingApplication>(), B_OK);
		fWindow = new ListWindow;
		fList = fWindow->fList;
	}
	void TearDown() override
	{
		if (fWindow->Lock())
			fWindow->Quit();
	}

	void Show(const std::vector<std::string>& names, bool multiple = true)
	{
		fList->SetEntries(entries_named(names));
		fList->SetMultipleSelection(multiple);
		fWindow->Show();
		ASSERT_EQ(fDriver.WaitForIdle(), B_OK);
	}

	status_t ClickRow(int32 index, uint32 modifiers = 0, int32 clicks = 1)
	{
		BPoint where;
		if (!fWindow->Lock())
			return B_ERROR;
		fList->ScrollToRow(index);
		BRect row = fList->RowFrame(index);
		where = BPoint(40, (row.top + row.bottom) / 2);
		fWindow->Unlock();
		return fDriver.Click(fList, where, clicks, B_PRIMARY_MOUSE_BUTTON,
			modifiers);
	}

	std::vector<int32> Selection()
	{
		std::vector<int32> selection;
		if (fWindow->Lock()) {
			selection = fList->Selection();
			fWindow->Unlock();
		}
		return selection;
	}

	// Whether the whole row is inside the visible bounds.
	bool RowVisible(int32 index)
	{
		bool visible = false;
		if (fWindow->Lock()) {
			BRect bounds = fList->Bounds();
			BRect row = fList->RowFrame(index);
			visible = row.top >= bounds.top && row.bottom <= bounds.bottom;
			fWindow->Unlock();
		}
		return visible;
	}

	TestDriver fDriver;
	ListWindow* fWindow = NULL;
	EntryListView* fList = NULL;
};


std::vector<std::string>
many_names(int count)
{
	std::vector<std::string> names;
	for (int i = 0; i < count; i++) {
		char name[32];
		snprintf(name, sizeof(name), "file %03d", i);
		names.push_back(name);
	}
	return names;
}

}	// namespace


TEST_F(ListTest, MouseSelection)
{
	Show({"a", "b", "c", "d", "e"});
	ASSERT_EQ(ClickRow(1), B_OK);
	EXPECT_EQ(Selection(), std::vector<int32>{1});
	ASSERT_EQ(ClickRow(3, B_SHIFT_KEY), B_OK);
	EXPECT_EQ(Selection(), (std::vector<int32>{1, 2, 3}));
	// Shift again extends from the same anchor, shrinking the range.
	ASSERT_EQ(ClickRow(2, B_SHIFT_KEY), B_OK);
	EXPECT_EQ(Selection(), (std::vector<int32>{1, 2}));
	ASSERT_EQ(ClickRow(4, B_COMMAND_KEY), B_OK);
	EXPECT_EQ(Selection(), (std::vector<int32>{1, 2, 4}));
	ASSERT_EQ(ClickRow(1, B_COMMAND_KEY), B_OK);
	EXPECT_EQ(Selection(), (std::vector<int32>{2, 4}));

	// Below the last row nothing stays selected.
	ASSERT_EQ(fDriver.Click(fList, BPoint(40, 190)), B_OK);
	EXPECT_TRUE(Selection().empty());
	EXPECT_TRUE(fWindow->Whats().size() >= 6);
}


TEST_F(ListTest, SingleSelectionIgnoresModifiers)
{
	Show({"a", "b", "c"}, false);
	ASSERT_EQ(ClickRow(0), B_OK);
	ASSERT_EQ(ClickRow(2, B_SHIFT_KEY), B_OK);
	EXPECT_EQ(Selection(), std::vector<int32>{2});
	ASSERT_EQ(ClickRow(1, B_COMMAND_KEY), B_OK);
	EXPECT_EQ(Selection(), std::vector<int32>{1});
	ASSERT_EQ(fDriver.PressKey(fWindow, 'a', B_COMMAND_KEY), B_OK);
	EXPECT_EQ(Selection(), std::vector<int32>{1});
}


TEST_F(ListTest, KeyboardMovesSelectsAndScrolls)
{
	Show(many_names(60));
	ASSERT_EQ(ClickRow(0), B_OK);
	ASSERT_EQ(fDriver.PressKey(fWindow, B_UP_ARROW), B_OK);
	EXPECT_EQ(Selection(), std::vector<int32>{0});
	ASSERT_EQ(fDriver.PressKey(fWindow, B_DOWN_ARROW), B_OK);
	ASSERT_EQ(fDriver.PressKey(fWindow, B_DOWN_ARROW, B_SHIFT_KEY), B_OK);
	EXPECT_EQ(Selection(), (std::vector<int32>{1, 2}));

	ASSERT_EQ(fDriver.PressKey(fWindow, B_END), B_OK);
	EXPECT_EQ(Selection(), std::vector<int32>{59});
	EXPECT_TRUE(RowVisible(59));
	EXPECT_FALSE(RowVisible(0));
	ASSERT_EQ(fDriver.PressKey(fWindow, B_DOWN_ARROW), B_OK);
	EXPECT_EQ(Selection(), std::vector<int32>{59});

	ASSERT_EQ(fDriver.PressKey(fWindow, B_PAGE_UP), B_OK);
	std::vector<int32> selection = Selection();
	ASSERT_EQ(selection.size(), 1u);
	EXPECT_LT(selection[0], 59);
	EXPECT_GT(selection[0], 40);
	EXPECT_TRUE(RowVisible(selection[0]));

	ASSERT_EQ(fDriver.PressKey(fWindow, B_HOME, B_SHIFT_KEY), B_OK);
	EXPECT_EQ(Selection().size(), (size_t)selection[0] + 1);
	EXPECT_TRUE(RowVisible(0));

	ASSERT_EQ(fDriver.PressKey(fWindow, 'a', B_COMMAND_KEY), B_OK);
	EXPECT_EQ(Selection().size(), 60u);
}


TEST_F(ListTest, TypingJumpsToAName)
{
	Show({"Alpha", "beta", "Bravo", "charlie", "Chess"});
	ASSERT_EQ(ClickRow(0), B_OK);
	ASSERT_EQ(fDriver.TypeText(fWindow, "CH"), B_OK);
	EXPECT_EQ(Selection(), std::vector<int32>{3});
	ASSERT_EQ(fDriver.TypeText(fWindow, "e"), B_OK);
	EXPECT_EQ(Selection(), std::vector<int32>{4});
	// Nothing starts with it: the selection stays.
	ASSERT_EQ(fDriver.TypeText(fWindow, "z"), B_OK);
	EXPECT_EQ(Selection(), std::vector<int32>{4});
}


TEST_F(ListTest, WheelScrollsWithinTheRows)
{
	Show(many_names(60));
	ASSERT_EQ(fDriver.MoveMouse(fWindow, BPoint(40, 40)), B_OK);
	ASSERT_EQ(fDriver.ScrollWheel(fWindow, 0, 2), B_OK);
	EXPECT_FALSE(RowVisible(0));
	ASSERT_EQ(fDriver.ScrollWheel(fWindow, 0, 1000), B_OK);
	EXPECT_TRUE(RowVisible(59));
	ASSERT_TRUE(fWindow->Lock());
	float bottom = fList->Bounds().bottom;
	float content = fList->ContentHeight();
	fWindow->Unlock();
	EXPECT_LE(bottom, content);
	ASSERT_EQ(fDriver.ScrollWheel(fWindow, 0, -1000), B_OK);
	EXPECT_TRUE(RowVisible(0));
}


TEST_F(ListTest, EnterDoubleClickAndBackspaceReachTheWindow)
{
	Show({"a", "b", "c"});
	ASSERT_EQ(ClickRow(2), B_OK);
	ASSERT_EQ(ClickRow(2, 0, 2), B_OK);
	EXPECT_EQ(fWindow->Whats(EntryListView::kMsgSelectionChanged),
		std::vector<uint32>{EntryListView::kMsgInvoked});
	EXPECT_EQ(fWindow->LastIndex(), 2);

	ASSERT_EQ(fDriver.PressKey(fWindow, B_ENTER), B_OK);
	EXPECT_EQ(fWindow->LastIndex(), -1);
	ASSERT_EQ(fDriver.PressKey(fWindow, B_BACKSPACE), B_OK);
	EXPECT_EQ(fWindow->Whats(EntryListView::kMsgSelectionChanged),
		(std::vector<uint32>{EntryListView::kMsgInvoked,
			EntryListView::kMsgInvoked, EntryListView::kMsgGoUp}));
}
