#include "EditorFixture.h"

#include <Button.h>
#include <MenuBar.h>
#include <MenuItem.h>
#include <StringView.h>

#include <stdio.h>

#include "MessageCodes.h"
#include "ZELApp.h"
#include "ZELTextView.h"
#include "ZELWindow.h"


EditorTest::EditorTest()
	:
	fConfigHome("XDG_CONFIG_HOME", fDirectory.Path().c_str()),
	fStateHome("XDG_STATE_HOME", fStateDirectory.Path().c_str()),
	fHome("HOME", fDirectory.Path().c_str()),
	fWorkingDirectory(fDirectory.Path())
{
}


EditorTest::~EditorTest()
{
	if (!fDriver.IsRunning())
		return;
	// Documents a test left changed would ask their question and keep
	// the application from quitting; they close without asking.
	// They are gathered first: a window that closes leaves the list at
	// once, and counting on while it shrinks would skip the next one.
	for (BWindow* window : Documents())
		window->PostMessage(kMsgClose);
	fDriver.WaitForIdle();
	fDriver.Quit();
}


std::vector<BWindow*>
EditorTest::Documents()
{
	std::vector<BWindow*> documents;
	if (App()->Lock()) {
		for (int32 i = 0; BWindow* window = App()->WindowAt(i); i++) {
			if (dynamic_cast<ZELWindow*>(window) != NULL)
				documents.push_back(window);
		}
		App()->Unlock();
	}
	return documents;
}


bool
EditorTest::Launch(const std::vector<std::string>& arguments)
{
	return fDriver.Launch<ZELApp>(arguments) == B_OK;
}


ZELApp*
EditorTest::App()
{
	return dynamic_cast<ZELApp*>(fDriver.Application());
}


void
EditorTest::WriteFile(const std::string& leaf, const std::string& bytes)
{
	write_raw(Path(leaf), bytes);
}


ZELWindow*
EditorTest::Document(const char* title)
{
	return dynamic_cast<ZELWindow*>(fDriver.WaitForWindow(title));
}


ZELTextView*
EditorTest::TextOf(BWindow* window)
{
	return fDriver.FindView<ZELTextView>(window);
}


BRect
EditorTest::FrameOf(BWindow* window)
{
	BRect frame;
	if (window->Lock()) {
		frame = window->Frame();
		window->Unlock();
	}
	return frame;
}


std::string
EditorTest::TextIn(BWindow* window)
{
	std::string text;
	ZELTextView* view = TextOf(window);
	if (view != NULL && window->Lock()) {
		text.assign(view->Text(), view->TextLength());
		window->Unlock();
	}
	return text;
}


bool
EditorTest::IsSaveEnabled(BWindow* window)
{
	bool enabled = false;
	BMenuBar* bar = fDriver.FindView<BMenuBar>(window);
	if (bar != NULL && window->Lock()) {
		BMenuItem* item = bar->FindItem(kMsgSave);
		enabled = item != NULL && item->IsEnabled();
		window->Unlock();
	}
	return enabled;
}


bool
EditorTest::IsClean(BWindow* window)
{
	bool clean = false;
	ZELTextView* view = TextOf(window);
	if (view != NULL && window->Lock()) {
		clean = view->IsClean();
		window->Unlock();
	}
	return clean;
}


std::string
EditorTest::StatusOf(BWindow* window)
{
	std::string status;
	BStringView* view = dynamic_cast<BStringView*>(
		fDriver.FindView(window, "wixStatus"));
	if (view != NULL && window->Lock()) {
		status = view->Text() != NULL ? view->Text() : "";
		window->Unlock();
	}
	return status;
}


std::string
EditorTest::TitleOf(BWindow* window)
{
	std::string title;
	if (window->Lock()) {
		title = window->Title();
		window->Unlock();
	}
	return title;
}


std::pair<int32, int32>
EditorTest::SelectionOf(BWindow* window)
{
	int32 start = -1;
	int32 end = -1;
	ZELTextView* view = TextOf(window);
	if (view != NULL && window->Lock()) {
		view->GetSelection(&start, &end);
		window->Unlock();
	}
	return { start, end };
}


void
EditorTest::Select(BWindow* window, int32 start, int32 end)
{
	ZELTextView* view = TextOf(window);
	if (view != NULL && window->Lock()) {
		view->Select(start, end);
		window->Unlock();
	}
}


void
EditorTest::Post(BWindow* window, BMessage* message)
{
	window->PostMessage(message);
	fDriver.WaitForIdle();
}


void
EditorTest::Post(BWindow* window, uint32 what)
{
	BMessage message(what);
	Post(window, &message);
}


void
EditorTest::PostToApp(BMessage* message)
{
	fDriver.Application()->PostMessage(message);
	fDriver.WaitForIdle();
}


ZELWindow*
EditorTest::OpenDocument(const std::string& leaf, const std::string& bytes)
{
	WriteFile(leaf, bytes);
	if (!Launch({ leaf }))
		return NULL;
	return Document(leaf.c_str());
}


BButton*
EditorTest::Button(BWindow* window, const char* label)
{
	return dynamic_cast<BButton*>(fDriver.FindControl(window, label));
}


void
EditorTest::Answer(BAlert* alert, int32 index)
{
	ASSERT_NE((BAlert*)NULL, alert);
	ASSERT_EQ(B_OK, fDriver.PressAlertButton(alert, index));
	fDriver.WaitForIdle();
}


void
EditorTest::SyncOutput()
{
	// The capture reads standard output on a thread of its own; once a
	// fresh marker has arrived, so has everything printed before it.
	static int32 sMarker = 0;
	fDriver.WaitForIdle();
	char marker[64];
	snprintf(marker, sizeof(marker), "-- output marker %d --",
		(int)++sMarker);
	printf("%s\n", marker);
	fflush(stdout);
	fDriver.WaitForOutput(marker);
}


int32
EditorTest::CountLines(const std::string& line)
{
	SyncOutput();
	int32 count = 0;
	for (const std::string& printed : fDriver.OutputLines()) {
		if (printed == line)
			count++;
	}
	return count;
}


bool
EditorTest::PrintedInOrder(const std::vector<std::string>& lines)
{
	SyncOutput();
	std::vector<std::string> output = fDriver.OutputLines();
	for (size_t start = 0; start + lines.size() <= output.size(); start++) {
		size_t matched = 0;
		while (matched < lines.size()
			&& output[start + matched] == lines[matched])
			matched++;
		if (matched == lines.size())
			return true;
	}
	return false;
}
