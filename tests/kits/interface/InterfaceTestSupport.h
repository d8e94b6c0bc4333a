/*
 * What the view and window tests share: a plain application for the
 * driver to launch, a scoped lock on a window, a view that records the
 * hooks it gets, and a window shown with a view holding the keyboard.
 */
#ifndef _INTERFACE_TEST_SUPPORT_H
#define _INTERFACE_TEST_SUPPORT_H

#include <Application.h>
#include <Message.h>
#include <TextView.h>
#include <View.h>
#include <Window.h>

#include <Font.h>
#include <TestDriver.h>

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <vector>

namespace interface_test {

class TestApplication : public BApplication {
public:
	TestApplication()
		: BApplication("application/x-vnd.Orvane-InterfaceTest") {}
};


// Holds a window's lock for a scope; fails the test when it cannot.
class WindowLocker {
public:
	WindowLocker(BWindow* window)
		: fWindow(window), fLocked(window != NULL && window->Lock())
	{
		EXPECT_TRUE(fLocked) << "the window could not be locked";
	}
	~WindowLocker()
	{
		if (fLocked)
			fWindow->Unlock();
	}
	bool IsLocked() const { return fLocked; }

private:
	BWindow* fWindow;
	bool fLocked;
};


// A journal that views on several threads write to and the test reads.
class Journal {
public:
	void Add(const std::string& entry)
	{
		std::lock_guard<std::mutex> guard(fLock);
		fEntries.push_back(entry);
	}
	std::vector<std::string> Entries()
	{
		std::lock_guard<std::mutex> guard(fLock);
		return fEntries;
	}
	int Count(const std::string& entry)
	{
		std::lock_guard<std::mutex> guard(fLock);
		int count = 0;
		for (const std::string& own : fEntries)
			count += own == entry ? 1 : 0;
		return count;
	}
	void Clear()
	{
		std::lock_guard<std::mutex> guard(fLock);
		fEntries.clear();
	}

private:
	std::mutex fLock;
	std::vector<std::string> fEntries;
};


// A view that writes "<name>:<hook>" to the journal for every hook.
class RecordingView : public BView {
public:
	RecordingView(BRect frame, const char* name, uint32 resizingMode,
		uint32 flags, Journal& journal)
		: BView(frame, name, resizingMode, flags), fJournal(journal) {}

	void AttachedToWindow() override { _Note("AttachedToWindow"); }
	void AllAttached() override { _Note("AllAttached"); }
	void DetachedFromWindow() override { _Note("DetachedFromWindow"); }
	void AllDetached() override { _Note("AllDetached"); }
	void FrameMoved(BPoint) override { _Note("FrameMoved"); }
	void FrameResized(float, float) override { _Note("FrameResized"); }
	void Pulse() override { _Note("Pulse"); }
	void WindowActivated(bool active) override
	{
		_Note(active ? "Activated" : "Deactivated");
	}
	void MakeFocus(bool focus = true) override
	{
		_Note(focus ? "Focus" : "Unfocus");
		BView::MakeFocus(focus);
	}
	void MouseDown(BPoint where) override
	{
		fLastWhere = where;
		_Note("MouseDown");
	}
	void MouseUp(BPoint where) override
	{
		fLastWhere = where;
		_Note("MouseUp");
	}
	void MouseMoved(BPoint where, uint32 transit, const BMessage*) override
	{
		fLastWhere = where;
		static const char* const kTransits[] = { "Entered", "Inside",
			"Exited", "Outside" };
		_Note(std::string("MouseMoved ") + kTransits[transit & 3]);
	}
	void KeyDown(const char* bytes, int32 numBytes) override
	{
		_Note(std::string("KeyDown ") + std::string(bytes, numBytes));
		BView::KeyDown(bytes, numBytes);
	}
	void MessageReceived(BMessage* message) override
	{
		_Note("Message");
		BView::MessageReceived(message);
	}

	BPoint fLastWhere;

private:
	void _Note(const std::string& hook)
	{
		fJournal.Add(std::string(Name()) + ":" + hook);
	}

	Journal& fJournal;
};


// Adds the view to the window and shows the window, without pulses, as
// the active window with the view holding the keyboard.
inline void
show_with_focus(TestDriver& driver, BWindow* window, BView* view)
{
	window->AddChild(view);
	window->SetPulseRate(0);
	window->Show();
	{
		WindowLocker locker(window);
		view->MakeFocus(true);
	}
	ASSERT_EQ(driver.ActivateWindow(window), B_OK);
}


// A text view that writes down each InsertText() ("I <offset> <text>")
// and DeleteText() ("D <from> <to>") it is called with.
class RecordingTextView : public BTextView {
public:
	RecordingTextView(BRect frame)
		: BTextView(frame, "text", BRect(4, 4, frame.Width() - 4, 10),
			B_FOLLOW_ALL_SIDES, B_WILL_DRAW) {}

	std::vector<std::string> Calls() { return fCalls.Entries(); }
	void ClearCalls() { fCalls.Clear(); }

protected:
	void InsertText(const char* text, int32 length, int32 offset,
		const text_run_array* runs) override
	{
		_Note("I " + std::to_string(offset) + " "
			+ std::string(text, length));
		BTextView::InsertText(text, length, offset, runs);
	}
	void DeleteText(int32 from, int32 to) override
	{
		_Note("D " + std::to_string(from) + " " + std::to_string(to));
		BTextView::DeleteText(from, to);
	}

private:
	void _Note(const std::string& call) { fCalls.Add(call); }

	Journal fCalls;
};


// A window with a RecordingTextView holding the keyboard, in the fixed
// font at 12 points.
class RecordingTextViewTest : public ::testing::Test {
protected:
	void SetUp() override
	{
		ASSERT_EQ(fDriver.Launch<TestApplication>(), B_OK);
		fWindow = new BWindow(BRect(100, 100, 499, 299), "Text",
			B_TITLED_WINDOW, 0);
		fView = new RecordingTextView(fWindow->Bounds());
		BFont font(be_fixed_font);
		font.SetSize(12);
		fView->SetFontAndColor(&font);
		show_with_focus(fDriver, fWindow, fView);
	}

	// The text, and no calls written down yet.
	void SetText(const std::string& text)
	{
		WindowLocker locker(fWindow);
		fView->SetText(text.data(), (int32)text.size());
		fView->ClearCalls();
	}
	std::string Text()
	{
		WindowLocker locker(fWindow);
		return std::string(fView->Text(), fView->TextLength());
	}
	std::pair<int32, int32> Selection()
	{
		WindowLocker locker(fWindow);
		int32 start;
		int32 end;
		fView->GetSelection(&start, &end);
		return { start, end };
	}
	void Select(int32 start, int32 end)
	{
		WindowLocker locker(fWindow);
		fView->Select(start, end);
	}

	TestDriver fDriver;
	BWindow* fWindow = NULL;
	RecordingTextView* fView = NULL;
};

}	// namespace interface_test

#endif	// _INTERFACE_TEST_SUPPORT_H
