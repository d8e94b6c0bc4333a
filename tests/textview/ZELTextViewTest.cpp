/*
 * The document text view.
 *
 * Cases:
 * - a new untitled document is empty and clean, Save is disabled, and
 *   the status line reads "Line 1" once the pulses come; it follows the
 *   caret to other lines;
 * - the first change posts exactly one 'FMsn'; further typing posts
 *   nothing until a save, after which the next change posts one again;
 * - undoing every change leaves the document changed;
 * - a view made for a directory stays empty and says so; a window for
 *   a directory is an untitled one and says nothing about it;
 * - a read-only file is loaded; an unreadable one is not, and its name
 *   is printed; an empty file leaves the view empty; a file of 2 GiB is
 *   refused with a line naming it;
 * - the bytes of a file are shown exactly, NUL and CR included;
 * - a read that fails part-way shows nothing and prints a line naming
 *   the file and the reason; files whose size reads 0 but hold bytes
 *   (/proc) are read to their end;
 * - a copy of old bytes that an unfinished save left beside the file is
 *   pointed out when the file is opened;
 * - settings: the line length sets the wrapping width in widths of "M",
 *   a record without "FontSize" falls back to the default font's size,
 *   and anything but a settings record changes nothing; a size of 0 or
 *   below keeps a legible size, and a line length of 0 or below wraps
 *   as narrowly as it can, live and in a window opened with it;
 * - a file dropped on the text opens in a window of its own and leaves
 *   the text as it was.
 */
#include <gtest/gtest.h>

#include <Alert.h>
#include <Entry.h>
#include <Font.h>
#include <Message.h>

#include "EditorFixture.h"
#include "FaultShim.h"
#include "MessageCodes.h"
#include "Settings.h"
#include "ZELTextView.h"
#include "ZELWindow.h"

namespace {

class ZELTextViewTest : public EditorTest {
protected:
	int32 ChangeNotices()
	{
		fDriver.WaitForIdle();
		return CountLines("BMessage('FMsn') {");
	}

	// The view's font and text rectangle, read under the window's lock.
	void ReadLayout(BWindow* window, BFont* font, BRect* textRect)
	{
		ZELTextView* view = TextOf(window);
		ASSERT_TRUE(view != NULL && window->Lock());
		view->GetFontAndColor(font, NULL);
		*textRect = view->TextRect();
		window->Unlock();
	}
};

}	// namespace


TEST_F(ZELTextViewTest, NewDocumentIsEmptyCleanAndOnLineOne)
{
	ASSERT_TRUE(Launch());
	ZELWindow* window = Document("Untitled - 1");
	ASSERT_NE((ZELWindow*)NULL, window);
	EXPECT_EQ("", TextIn(window));
	EXPECT_TRUE(IsClean(window));
	EXPECT_FALSE(IsSaveEnabled(window));
	EXPECT_EQ(0, ChangeNotices());

	EXPECT_EQ(B_OK, fDriver.WaitFor([&] { return StatusOf(window) == "Line 1"; },
		"the status line to read Line 1"));
	fDriver.TypeText(window, "one\ntwo\nthree");
	EXPECT_EQ(B_OK, fDriver.WaitFor([&] { return StatusOf(window) == "Line 3"; },
		"the status line to follow the caret"));
}


TEST_F(ZELTextViewTest, FirstChangeIsReportedOnce)
{
	WriteFile("notes.txt", "abc");
	ASSERT_TRUE(Launch({ "notes.txt" }));
	ZELWindow* window = Document("notes.txt");
	ASSERT_NE((ZELWindow*)NULL, window);
	EXPECT_TRUE(IsClean(window));

	fDriver.TypeText(window, "x");
	EXPECT_EQ(1, ChangeNotices());
	EXPECT_FALSE(IsClean(window));
	EXPECT_TRUE(IsSaveEnabled(window));
	fDriver.TypeText(window, "yz");
	fDriver.PressKey(window, B_BACKSPACE);
	EXPECT_EQ(1, ChangeNotices());

	Post(window, kMsgSave);
	EXPECT_TRUE(IsClean(window));
	EXPECT_FALSE(IsSaveEnabled(window));
	EXPECT_EQ("xyabc", ReadFile("notes.txt"));

	fDriver.TypeText(window, "!");
	EXPECT_EQ(2, ChangeNotices());
	EXPECT_TRUE(IsSaveEnabled(window));
}


TEST_F(ZELTextViewTest, UndoingEverythingStaysChanged)
{
	ASSERT_TRUE(Launch());
	ZELWindow* window = Document("Untitled - 1");
	fDriver.TypeText(window, "typed");
	ASSERT_EQ(B_OK, fDriver.ChooseMenuItem(window, "Edit/Undo"));
	EXPECT_EQ("", TextIn(window));
	EXPECT_FALSE(IsClean(window));
	EXPECT_TRUE(IsSaveEnabled(window));
}


TEST_F(ZELTextViewTest, DirectoriesAreNoDocuments)
{
	ASSERT_EQ(0, mkdir(Path("folder").c_str(), 0755));
	ASSERT_TRUE(Launch({ "folder" }));
	ZELWindow* window = Document("Untitled - 1");
	ASSERT_NE((ZELWindow*)NULL, window);
	EXPECT_EQ("", TextIn(window));
	EXPECT_EQ(0, CountLines("Can't open directory as file: folder"));

	// Made directly for the directory, the view reports it.
	entry_ref ref;
	ASSERT_EQ(B_OK, get_ref_for_path(Path("folder").c_str(), &ref));
	BMessage settings;
	DefaultSettings(&settings);
	ZELTextView* view = new ZELTextView(BRect(0, 0, 99, 99), &settings, NULL,
		&ref);
	EXPECT_EQ(0, view->TextLength());
	EXPECT_TRUE(view->IsClean());
	delete view;
	EXPECT_TRUE(fDriver.WaitForOutput("Can't open directory as file: folder"));
}


TEST_F(ZELTextViewTest, LoadsWhatCanBeRead)
{
	std::string bytes = all_byte_values() + "\r\n";
	WriteFile("exact.bin", bytes);
	WriteFile("read-only.txt", "look, do not touch");
	ASSERT_EQ(0, chmod(Path("read-only.txt").c_str(), 0444));
	WriteFile("secret.txt", "hidden");
	ASSERT_EQ(0, chmod(Path("secret.txt").c_str(), 0));
	WriteFile("empty.txt", "");
	ASSERT_EQ(0, chmod(fDirectory.Path().c_str(), 0755));

	// Two gigabytes without taking the room: a file with a hole.
	{
		int fd = open(Path("huge.txt").c_str(), O_WRONLY | O_CREAT, 0644);
		ASSERT_GE(fd, 0);
		ASSERT_EQ(0, ftruncate(fd, (off_t)2 << 30));
		close(fd);
	}

	{
		ScopedOrdinaryUser user;
		ASSERT_TRUE(Launch({ "exact.bin", "read-only.txt", "secret.txt",
			"empty.txt", "huge.txt" }));
		fDriver.WaitForIdle();
	}
	EXPECT_EQ(bytes, TextIn(Document("exact.bin")));
	EXPECT_EQ("look, do not touch", TextIn(Document("read-only.txt")));
	EXPECT_EQ(0, CountLines("Can't open file: read-only.txt"));
	EXPECT_EQ("", TextIn(Document("secret.txt")));
	EXPECT_EQ(1, CountLines("Can't open file: secret.txt"));
	EXPECT_EQ("", TextIn(Document("empty.txt")));
	EXPECT_EQ("", TextIn(Document("huge.txt")));
	EXPECT_EQ(1, CountLines("File too large to open: huge.txt"));
	for (const char* title : { "exact.bin", "secret.txt", "huge.txt" })
		EXPECT_TRUE(IsClean(Document(title))) << title;
}


// A read that failed part-way opened an empty document and printed
// nothing; /proc files, whose size is 0, opened empty.
TEST_F(ZELTextViewTest, ReadsToTheEndOrSaysWhyNot)
{
	// The whole file in one read fails, and so does every read after it.
	std::string bytes(200 * 1024, 'b');
	WriteFile("broken.txt", bytes);
	{
		ScopedFault fault("pread", "/broken.txt", EIO);
		ASSERT_TRUE(Launch({ "broken.txt", "/proc/self/status" }));
		fDriver.WaitForIdle();
		EXPECT_LT(0, fault.Hits());
	}
	EXPECT_EQ("", TextIn(Document("broken.txt")));
	EXPECT_EQ(1, CountLines("Can't read file: broken.txt: Input/output error"));

	std::string status = TextIn(Document("status"));
	EXPECT_EQ(0u, status.find("Name:")) << status;
	EXPECT_NE(std::string::npos, status.find("\nPid:"));
	EXPECT_EQ(0, CountLines("Can't read file: status"));
}


// The view reads a file of known size in one go; when that read fails
// once, the file is read again in pieces and shown whole.
TEST_F(ZELTextViewTest, OneFailedReadIsReadAgain)
{
	std::string bytes(200 * 1024, 'c');
	bytes[123456] = '\n';
	WriteFile("flaky.txt", bytes);
	{
		ScopedFault fault("pread", "/flaky.txt", EIO, 0, 1);
		ASSERT_TRUE(Launch({ "flaky.txt" }));
		fDriver.WaitForIdle();
		EXPECT_EQ(1, fault.Hits());
	}
	EXPECT_EQ(bytes, TextIn(Document("flaky.txt")));
	EXPECT_EQ(0, CountLines("Can't read file: flaky.txt"));
	EXPECT_TRUE(IsClean(Document("flaky.txt")));
}

TEST_F(ZELTextViewTest, LeftOverCopyIsPointedOut)
{
	WriteFile("doc.txt", "half new, half old");
	WriteFile(".doc.txt.orvane-backup-1a2b-0", "the whole old text");
	WriteFile("other.txt", "fine");
	ASSERT_TRUE(Launch({ "other.txt" }));
	EXPECT_EQ((BAlert*)NULL, fDriver.FindAlert());

	BMessage open(B_REFS_RECEIVED);
	entry_ref ref;
	ASSERT_EQ(B_OK, get_ref_for_path(Path("doc.txt").c_str(), &ref));
	open.AddRef("refs", &ref);
	PostToApp(&open);
	BAlert* alert = fDriver.WaitForAlert();
	ASSERT_NE((BAlert*)NULL, alert);
	std::string copy = Path(".doc.txt.orvane-backup-1a2b-0");
	std::string text = fDriver.AlertText(alert);
	EXPECT_NE(std::string::npos, text.find("\"doc.txt\"")) << text;
	EXPECT_NE(std::string::npos, text.find(copy)) << text;
	EXPECT_TRUE(fDriver.WaitForOutput(copy.c_str()));
	ASSERT_EQ(B_OK, fDriver.PressAlertButton(alert, 0));
	// The document opened all the same, and the copy stays.
	EXPECT_EQ("half new, half old", TextIn(Document("doc.txt")));
	EXPECT_EQ("the whole old text", read_raw(copy));
}


TEST_F(ZELTextViewTest, SettingsShapeTheText)
{
	ASSERT_TRUE(Launch());
	ZELWindow* window = Document("Untitled - 1");

	BMessage record(kMsgSettingsRecord);
	record.AddInt32(LineLength, 80);
	record.AddString(FontFamily, "DejaVu Sans Mono");
	record.AddInt32(FontSize, 30);
	Post(window, &record);
	BFont font;
	BRect textRect;
	ReadLayout(window, &font, &textRect);
	EXPECT_EQ(30, font.Size());
	EXPECT_FLOAT_EQ(font.StringWidth("M") * 80 + 1, textRect.right);

	// No size: the default font's size, not the 30 from before; no line
	// length: the width stays.
	BMessage partial(kMsgSettingsRecord);
	partial.AddString(FontFamily, "DejaVu Sans Mono");
	Post(window, &partial);
	BRect before = textRect;
	ReadLayout(window, &font, &textRect);
	EXPECT_EQ(BFont().Size(), font.Size());
	EXPECT_EQ(before.right, textRect.right);

	// Not a settings record: only printed.
	ZELTextView* view = TextOf(window);
	BMessage other('what');
	other.AddInt32(FontSize, 50);
	other.AddInt32(LineLength, 2);
	ASSERT_TRUE(window->Lock());
	view->AdjustView(&other);
	window->Unlock();
	BFont after;
	ReadLayout(window, &after, &textRect);
	EXPECT_EQ(font.Size(), after.Size());
	EXPECT_EQ(before.right, textRect.right);
}


// A size of 0 (what Apply sends when the size field shows nothing) once
// made the text invisible, and a line length of 0 or below was skipped
// when it arrived but applied at the next start.
TEST_F(ZELTextViewTest, SizeAndLengthBelowOneStayUsable)
{
	ASSERT_TRUE(Launch());
	ZELWindow* window = Document("Untitled - 1");
	fDriver.TypeText(window, "abc");

	for (int32 size : { 0, -4 }) {
		BMessage record(kMsgSettingsRecord);
		record.AddInt32(LineLength, 0);
		record.AddString(FontFamily, "DejaVu Sans Mono");
		record.AddInt32(FontSize, size);
		Post(window, &record);
		BFont font;
		BRect textRect;
		ReadLayout(window, &font, &textRect);
		EXPECT_EQ(BFont().Size(), font.Size()) << size;
		EXPECT_GT(font.Size(), 0) << size;
		EXPECT_FLOAT_EQ(1, textRect.right) << size;
	}

	// The same record, live and in a window opened with it.
	BMessage record(kMsgSettingsRecord);
	record.AddInt32(LineLength, -3);
	record.AddString(FontFamily, "DejaVu Sans Mono");
	record.AddInt32(FontSize, 14);
	PostToApp(&record);
	BMessage newWindow(kMsgNew);
	PostToApp(&newWindow);
	ZELWindow* second = Document("Untitled - 2");
	ASSERT_NE((ZELWindow*)NULL, second);
	BFont font;
	BRect live;
	BRect atStart;
	ReadLayout(window, &font, &live);
	ReadLayout(second, &font, &atStart);
	EXPECT_FLOAT_EQ(font.StringWidth("M") * -3 + 1, live.right);
	EXPECT_EQ(live.right, atStart.right);
	EXPECT_EQ("abc", TextIn(window));
}


TEST_F(ZELTextViewTest, DroppedFilesOpenInWindowsOfTheirOwn)
{
	WriteFile("dropped.txt", "from the file manager");
	ASSERT_TRUE(Launch());
	ZELWindow* window = Document("Untitled - 1");
	fDriver.TypeText(window, "mine");

	ASSERT_EQ(B_OK, fDriver.DropFiles(window, BPoint(200, 150),
		{ Path("dropped.txt") }));
	EXPECT_EQ("from the file manager", TextIn(Document("dropped.txt")));
	EXPECT_EQ("mine", TextIn(window));
	EXPECT_EQ(2, fDriver.CountWindows());
}
