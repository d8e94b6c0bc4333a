/*
 * The fixture of the editor's application tests: Orvane launched through
 * the test driver, with its settings directory and its working directory
 * in a fresh temporary directory, and helpers that read a document
 * window's state under its lock.
 */
#ifndef EDITOR_FIXTURE_H
#define EDITOR_FIXTURE_H

#include <Window.h>

class BAlert;
class BButton;

#include <TestDriver.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "EditorTestSupport.h"

class ZELApp;
class ZELTextView;
class ZELWindow;


class EditorTest : public testing::Test {
protected:
								EditorTest();
								~EditorTest();

	// Launches Orvane with the arguments; true when it is running.
			bool				Launch(const std::vector<std::string>&
									arguments = {});
			ZELApp*				App();

	// Files in the temporary directory.
			std::string			Path(const std::string& leaf) const
									{ return fDirectory.Child(leaf); }
			void				WriteFile(const std::string& leaf,
									const std::string& bytes);
			std::string			ReadFile(const std::string& leaf) const
									{ return read_raw(Path(leaf)); }

	// A document window's state; each takes the window's lock.
			ZELWindow*			Document(const char* title);
	// Writes the file, launches with it and gives its window; NULL when
	// the launch failed.
			ZELWindow*			OpenDocument(const std::string& leaf,
									const std::string& bytes);
			ZELTextView*		TextOf(BWindow* window);
	// The document windows open now.
			std::vector<BWindow*> Documents();
			BRect				FrameOf(BWindow* window);
			std::string			TextIn(BWindow* window);
			bool				IsSaveEnabled(BWindow* window);
			bool				IsClean(BWindow* window);
			std::string			StatusOf(BWindow* window);
			std::string			TitleOf(BWindow* window);
	// The text view's selection as (start, end); selecting in it.
			std::pair<int32, int32> SelectionOf(BWindow* window);
			void				Select(BWindow* window, int32 start,
									int32 end);
	// Posts a message to the window and waits until everything is idle.
			void				Post(BWindow* window, BMessage* message);
			void				Post(BWindow* window, uint32 what);
			void				PostToApp(BMessage* message);
	// The button of the window with the label; NULL for none.
			BButton*			Button(BWindow* window, const char* label);
	// Presses the alert's button and waits until what the answer started
	// has run; an address is no way to tell alerts apart, as the next
	// may reuse it.
			void				Answer(BAlert* alert, int32 index);

	// Waits until everything printed so far can be read.
			void				SyncOutput();
	// How many lines that are exactly the text were printed.
			int32				CountLines(const std::string& line);
	// Whether the lines follow each other somewhere in the output.
			bool				PrintedInOrder(
									const std::vector<std::string>& lines);

			TempDirectory		fDirectory;
			ScopedEnvironment	fConfigHome;
	// The journals of unsaved changes, apart from the documents.
			TempDirectory		fStateDirectory;
			ScopedEnvironment	fStateHome;
	// A new save panel shows the home folder: the temporary directory.
			ScopedEnvironment	fHome;
			ScopedWorkingDirectory fWorkingDirectory;
			TestDriver			fDriver;
};

#endif	// EDITOR_FIXTURE_H
