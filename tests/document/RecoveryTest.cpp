/*
 * Unsaved changes kept across an end that nobody asked for, through the
 * whole editor. A "crash" here closes the windows without a word about
 * their changes and ends the application, which is what a kill leaves
 * of the journals once their edits are on disk (the kill test in
 * RecoveryKillTest.cpp does it for real).
 *
 * Cases:
 * - a changed file and a changed untitled window come back after the
 *   crash, each in its own window titled as it was, holding exactly
 *   their text, changed (Save enabled, the close question asked), with
 *   one notice; the file on disk is as it was;
 * - saving, or "Don't save", leaves nothing to recover; so does a clean
 *   quit, and a file named at the start that has a journal opens once;
 * - a small file changed on disk before the next start: the text comes
 *   back from the journal's copy, the person is told, and saving asks
 *   before it writes over the file;
 * - a large file changed on disk while the window is open: the journal
 *   takes the whole text, and it comes back.
 */
#include <gtest/gtest.h>

#include <Alert.h>
#include <Message.h>

#include <dirent.h>

#include "EditorFixture.h"
#include "MessageCodes.h"
#include "ZELApp.h"
#include "ZELTextView.h"
#include "ZELWindow.h"

namespace {

class RecoveryTest : public EditorTest {
protected:
	std::string Folder() const
		{ return fStateDirectory.Child("Orvane/recovery"); }

	// The journals in the folder (those set aside included).
	std::vector<std::string> Journals() const
	{
		std::vector<std::string> names;
		if (DIR* directory = opendir(Folder().c_str())) {
			while (struct dirent* entry = readdir(directory)) {
				if (entry->d_name[0] != '.')
					names.push_back(entry->d_name);
			}
			closedir(directory);
		}
		return names;
	}


	// Every document goes without a word on its changes, and so does
	// the application.
	void Crash()
	{
		for (BWindow* window : Documents())
			window->PostMessage(kMsgClose);
		fDriver.WaitForIdle();
		ASSERT_EQ(B_OK, fDriver.Quit());
	}

	// The notice of what came back: its text, once answered; empty when
	// none is shown.
	std::string AnswerNotice()
	{
		BAlert* alert = fDriver.FindAlert();
		if (alert == NULL)
			return "";
		std::string text;
		if (alert->Lock()) {
			text = alert->TextView()->Text();
			alert->Unlock();
		}
		fDriver.PressAlertButton(alert, 0);
		return text;
	}

	void Type(BWindow* window, const char* text)
	{
		fDriver.TypeText(window, text);
		// Typing is on disk a moment later, by a thread of its own.
		if (JournalWriter::Default() != NULL)
			JournalWriter::Default()->Sync();
	}
};

}	// namespace


TEST_F(RecoveryTest, UnsavedWorkComesBackAsItWas)
{
	WriteFile("notes.txt", "kept line\n");
	ASSERT_TRUE(Launch({ "notes.txt" }));
	ZELWindow* notes = Document("notes.txt");
	ASSERT_NE((ZELWindow*)NULL, notes);
	Type(notes, "new ");
	PostToApp(new BMessage(kMsgNew));
	ZELWindow* untitled = Document("Untitled - 2");
	ASSERT_NE((ZELWindow*)NULL, untitled);
	Type(untitled, "draft of a letter");
	ASSERT_EQ(2u, Journals().size());
	Crash();

	ASSERT_TRUE(Launch());
	std::string notice = AnswerNotice();
	EXPECT_NE(std::string::npos, notice.find("notes.txt"));
	EXPECT_NE(std::string::npos, notice.find("Untitled - 2"));
	ASSERT_EQ(2u, Documents().size());
	notes = Document("notes.txt");
	untitled = Document("Untitled - 2");
	ASSERT_NE((ZELWindow*)NULL, notes);
	ASSERT_NE((ZELWindow*)NULL, untitled);
	EXPECT_EQ("new kept line\n", TextIn(notes));
	EXPECT_EQ("draft of a letter", TextIn(untitled));
	for (BWindow* window : { (BWindow*)notes, (BWindow*)untitled }) {
		EXPECT_FALSE(IsClean(window));
		EXPECT_TRUE(IsSaveEnabled(window));
	}
	EXPECT_EQ("kept line\n", ReadFile("notes.txt"));

	// Typing goes on where it was, into the same journal.
	Type(untitled, " and more");
	Crash();
	ASSERT_TRUE(Launch());
	AnswerNotice();
	EXPECT_EQ("draft of a letter and more", TextIn(Document("Untitled - 2")));

	// Saved, and thrown away: nothing is left to come back.
	Post(Document("notes.txt"), kMsgSave);
	EXPECT_EQ("new kept line\n", ReadFile("notes.txt"));
	untitled = Document("Untitled - 2");
	untitled->PostMessage(B_QUIT_REQUESTED);
	fDriver.WaitForIdle();
	BAlert* question = fDriver.FindAlert();
	ASSERT_NE((BAlert*)NULL, question);
	Answer(question, 0);
	fDriver.WaitForIdle();
	JournalWriter::Default()->Sync();
	EXPECT_TRUE(Journals().empty());
	Crash();

	// A start with nothing to bring back opens the one empty window.
	ASSERT_TRUE(Launch());
	EXPECT_EQ("", AnswerNotice());
	ASSERT_EQ(1u, Documents().size());
	ZELWindow* fresh = Document("Untitled - 1");
	ASSERT_NE((ZELWindow*)NULL, fresh);
	EXPECT_EQ("", TextIn(fresh));
	EXPECT_TRUE(IsClean(fresh));
}


TEST_F(RecoveryTest, FileNamedAtTheStartOpensOnce)
{
	WriteFile("notes.txt", "kept line\n");
	ASSERT_TRUE(Launch({ "notes.txt" }));
	Type(Document("notes.txt"), "x");
	Crash();

	ASSERT_TRUE(Launch({ "notes.txt" }));
	AnswerNotice();
	ASSERT_EQ(1u, Documents().size());
	EXPECT_EQ("xkept line\n", TextIn(Document("notes.txt")));

	// A clean quit: changes saved, nothing left behind.
	Post(Document("notes.txt"), kMsgSave);
	ASSERT_EQ(B_OK, fDriver.Quit());
	EXPECT_TRUE(Journals().empty());
}


TEST_F(RecoveryTest, FileChangedOnDiskBeforeTheNextStart)
{
	WriteFile("notes.txt", "kept line\n");
	ASSERT_TRUE(Launch({ "notes.txt" }));
	Type(Document("notes.txt"), "mine: ");
	Crash();
	WriteFile("notes.txt", "someone else's text\n");

	ASSERT_TRUE(Launch());
	std::string notice = AnswerNotice();
	EXPECT_NE(std::string::npos, notice.find("changed on disk"));
	ZELWindow* notes = Document("notes.txt");
	EXPECT_EQ("mine: kept line\n", TextIn(notes));

	// The file is not written over without the question, whose safe
	// answer keeps it.
	notes->PostMessage(kMsgSave);
	fDriver.WaitForIdle();
	BAlert* question = fDriver.FindAlert();
	ASSERT_NE((BAlert*)NULL, question);
	Answer(question, 1);
	EXPECT_EQ("someone else's text\n", ReadFile("notes.txt"));
	EXPECT_FALSE(IsClean(notes));
}


TEST_F(RecoveryTest, LargeFileChangedOnDiskMeanwhile)
{
	// Too large for its journal to keep a copy: the journal asks the
	// window for the whole text once the file is no longer its base.
	std::string large(3 * 1024 * 1024, 'a');
	for (size_t i = 80; i < large.size(); i += 81)
		large[i] = '\n';
	WriteFile("large.txt", large);
	ASSERT_TRUE(Launch({ "large.txt" }));
	ZELWindow* window = Document("large.txt");
	Type(window, "top ");
	WriteFile("large.txt", "replaced by another program\n");
	// The writer sees the change and asks, the window answers with its
	// text, and the writer writes it.
	JournalWriter::Default()->Sync();
	fDriver.WaitForIdle();
	JournalWriter::Default()->Sync();
	Crash();

	ASSERT_TRUE(Launch());
	std::string notice = AnswerNotice();
	EXPECT_NE(std::string::npos, notice.find("changed on disk"));
	EXPECT_TRUE(TextIn(Document("large.txt")) == "top " + large);
}
