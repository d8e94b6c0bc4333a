/*
 * Saving a document when the disk or the system calls let it down.
 *
 * Cases:
 * - a save in place that fails and puts the old bytes back leaves the
 *   window knowing the file: the next save asks nothing;
 * - the error alert keeps "Unable to save file !" and says why under
 *   it; the same line with the file's name is printed;
 * - a disk with no room for a new copy: the window says the disk is
 *   full and offers to overwrite in place, with the risk stated; Enter
 *   and Escape cancel, leaving the file, and "Overwrite" saves it;
 * - a folder that cannot be synced after the rename: the person is told,
 *   the document stays unsaved, and the next save is done.
 */
#include <gtest/gtest.h>

#include <errno.h>

#include <Alert.h>

#include "EditorFixture.h"
#include "FaultShim.h"
#include "MessageCodes.h"
#include "ZELWindow.h"

namespace {

class SavingTest : public EditorTest {
};

}	// namespace


// After a failed save written in place, the next save warned that the
// file held what the window never showed.
TEST_F(SavingTest, FailedSaveInPlaceKeepsKnowingTheFile)
{
	WriteFile("doc.txt", "old text");
	ASSERT_EQ(0, link(Path("doc.txt").c_str(), Path("twin.txt").c_str()));
	ASSERT_TRUE(Launch({ "doc.txt" }));
	ZELWindow* window = Document("doc.txt");
	fDriver.TypeText(window, "longer ");

	{
		// The new bytes past the old end find no room; the old ones go
		// back.
		ScopedFault fault("pwrite", "/doc.txt", ENOSPC, 0, 1);
		window->PostMessage(kMsgSave);
		BAlert* alert = fDriver.WaitForAlert();
		ASSERT_NE((BAlert*)NULL, alert);
		EXPECT_EQ("Unable to save file !\nNo space left on the device",
			fDriver.AlertText(alert));
		Answer(alert, 0);
		EXPECT_EQ(1, fault.Hits());
	}
	EXPECT_TRUE(fDriver.WaitForOutput(
		"Unable to save file ! \"doc.txt\": No space left on the device"));
	EXPECT_EQ("old text", ReadFile("twin.txt"));
	EXPECT_TRUE(IsSaveEnabled(window));

	Post(window, kMsgSave);
	EXPECT_EQ((BAlert*)NULL, fDriver.FindAlert());
	EXPECT_EQ("longer old text", ReadFile("twin.txt"));
	EXPECT_FALSE(IsSaveEnabled(window));
	EXPECT_EQ("doc.txt twin.txt", list_directory(fDirectory.Path()));
}


// The folder's sync after the rename failed, and the save said it was
// done: the new name could still be lost in a crash.
TEST_F(SavingTest, FolderNotSyncedLeavesTheDocumentUnsaved)
{
	struct { int error; const char* reason; } faults[] = {
		{ ENOSPC, "No space left on the device" },
		{ EDQUOT, "No space left on the device" },
		{ EFBIG, "File too large" },
		{ EIO, "Input/output error" }
	};
	WriteFile("doc.txt", "old text");
	ASSERT_TRUE(Launch({ "doc.txt" }));
	ZELWindow* window = Document("doc.txt");
	for (const auto& fault : faults) {
		SCOPED_TRACE(fault.reason);
		fDriver.TypeText(window, "x");
		{
			// The new file's own sync passes; the folder's, after the
			// rename, fails.
			ScopedFault scoped("fsync", fDirectory.Path().c_str(),
				fault.error, 1, 1);
			window->PostMessage(kMsgSave);
			BAlert* alert = fDriver.WaitForAlert();
			ASSERT_NE((BAlert*)NULL, alert);
			EXPECT_NE(std::string::npos, fDriver.AlertText(alert).find(
				std::string("could not be synced to the disk (")
					+ fault.reason + ")")) << fDriver.AlertText(alert);
			Answer(alert, 0);
			EXPECT_EQ(1, scoped.Hits());
		}
		EXPECT_TRUE(fDriver.WaitForOutput((std::string("File written, but "
			"its folder could not be synced: \"doc.txt\": ")
				+ fault.reason).c_str()));
		EXPECT_EQ(TextIn(window), ReadFile("doc.txt"));
		EXPECT_FALSE(IsClean(window));
		EXPECT_TRUE(IsSaveEnabled(window));
	}

	// The next save asks nothing about a changed file, and is done.
	Post(window, kMsgSave);
	EXPECT_EQ((BAlert*)NULL, fDriver.FindAlert());
	EXPECT_EQ("xxxxold text", ReadFile("doc.txt"));
	EXPECT_TRUE(IsClean(window));
	EXPECT_FALSE(IsSaveEnabled(window));
}


// A file larger than the free space could never be saved.
TEST_F(SavingTest, FullDiskOffersToOverwriteInPlace)
{
	WriteFile("big.txt", "old text");
	ASSERT_TRUE(Launch({ "big.txt" }));
	ZELWindow* window = Document("big.txt");
	fDriver.TypeText(window, "new ");

	ScopedFault fault("pwrite", ".orvane-save-", ENOSPC);
	for (uint32 key : { (uint32)B_ENTER, (uint32)B_ESCAPE }) {
		window->PostMessage(kMsgSave);
		BAlert* alert = fDriver.WaitForAlert();
		ASSERT_NE((BAlert*)NULL, alert);
		std::string text = fDriver.AlertText(alert);
		EXPECT_EQ(0u, text.find("The disk is full")) << text;
		EXPECT_NE(std::string::npos, text.find("\"big.txt\"")) << text;
		EXPECT_NE(std::string::npos, text.find("damaged")) << text;
		EXPECT_EQ((std::vector<std::string>{ "Overwrite", "Cancel" }),
			fDriver.AlertButtonLabels(alert));
		// The safe answer is what a stray key chooses.
		fDriver.PressKey(alert, key);
		fDriver.WaitForIdle();
		EXPECT_EQ((BAlert*)NULL, fDriver.FindAlert());
		EXPECT_EQ("old text", ReadFile("big.txt"));
		EXPECT_TRUE(IsSaveEnabled(window));
	}

	window->PostMessage(kMsgSave);
	Answer(fDriver.WaitForAlert(), 0);
	EXPECT_EQ((BAlert*)NULL, fDriver.FindAlert());
	EXPECT_EQ("new old text", ReadFile("big.txt"));
	EXPECT_FALSE(IsSaveEnabled(window));
	EXPECT_TRUE(IsClean(window));
	EXPECT_EQ("big.txt", list_directory(fDirectory.Path()));
}
