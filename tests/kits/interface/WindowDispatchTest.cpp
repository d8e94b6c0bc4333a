/*
 * How a window hands out the display server's messages:
 * - a message a view does not handle goes to its parent, then to the
 *   window, in that order;
 * - keys go to the focus view, shortcuts first while Command is held,
 *   Command with a key that has no shortcut still reaches the focus view;
 *   a message posted to the window without a handler reaches the focus
 *   view;
 * - Tab and Shift+Tab move the focus among visible B_NAVIGABLE views in
 *   tree order and wrap around; Option+Tab among B_NAVIGABLE_JUMP views;
 *   a view that handles Tab itself keeps it;
 * - clicks go to the deepest view under the pointer, in its coordinates;
 *   moves tell views when the pointer enters, stays and leaves; a view
 *   with B_POINTER_EVENTS keeps the moves and the mouse up outside
 *   itself until the button is released;
 * - pulses reach only B_PULSE_NEEDED views, no faster than the rate,
 *   also after the window was too busy to take one in time;
 * - activation reaches the window and its views; dropped files reach the
 *   view under the drop point; the wheel reaches the view under the
 *   pointer.
 */
#include "InterfaceTestSupport.h"

#include <algorithm>
#include <stdlib.h>
#include <unistd.h>

using namespace interface_test;

namespace {

const uint32 kChainMessage = 'CHAN';
const uint32 kShortcutMessage = 'SHRT';


class RecordingWindow : public BWindow {
public:
	RecordingWindow(const char* title, Journal& journal)
		: BWindow(BRect(100, 100, 399, 299), title, B_TITLED_WINDOW, 0),
		  fJournal(journal) {}

	void MessageReceived(BMessage* message) override
	{
		fJournal.Add("window:Message");
		BWindow::MessageReceived(message);
	}
	void WindowActivated(bool active) override
	{
		fJournal.Add(active ? "window:Activated" : "window:Deactivated");
	}

private:
	Journal& fJournal;
};


// A view that takes Tab for itself, as a text view does.
class TabEatingView : public RecordingView {
public:
	using RecordingView::RecordingView;

	void KeyDown(const char* bytes, int32 numBytes) override
	{
		BView::KeyUp(bytes, numBytes);
	}
};


// A view that follows the pointer while its button is held.
class TrackingView : public RecordingView {
public:
	using RecordingView::RecordingView;

	void MouseDown(BPoint where) override
	{
		RecordingView::MouseDown(where);
		fMaskResult = SetMouseEventMask(B_POINTER_EVENTS);
	}

	status_t fMaskResult = B_ERROR;
};


class PulseView : public BView {
public:
	PulseView(const char* name, uint32 flags)
		: BView(BRect(0, 0, 9, 9), name, B_FOLLOW_NONE, flags) {}

	void Pulse() override
	{
		std::lock_guard<std::mutex> guard(fLock);
		fTimes.push_back(system_time());
	}

	std::vector<bigtime_t> Times()
	{
		std::lock_guard<std::mutex> guard(fLock);
		return fTimes;
	}

private:
	std::mutex fLock;
	std::vector<bigtime_t> fTimes;
};


bool
contains(const std::vector<std::string>& entries, const std::string& entry)
{
	return std::find(entries.begin(), entries.end(), entry) != entries.end();
}

}	// namespace


TEST(WindowDispatchTest, UnhandledMessagesClimbTheChain)
{
	Journal journal;
	TestDriver driver;
	ASSERT_EQ(driver.Launch<TestApplication>(), B_OK);
	BWindow* window = new RecordingWindow("Chain", journal);
	RecordingView* parent = new RecordingView(BRect(0, 0, 99, 99), "parent",
		B_FOLLOW_NONE, 0, journal);
	RecordingView* child = new RecordingView(BRect(0, 0, 9, 9), "child",
		B_FOLLOW_NONE, 0, journal);
	window->AddChild(parent);
	parent->AddChild(child);
	window->Show();
	ASSERT_EQ(driver.WaitForIdle(), B_OK);
	journal.Clear();

	BMessage message(kChainMessage);
	ASSERT_EQ(window->PostMessage(&message, child), B_OK);
	ASSERT_EQ(driver.WaitForIdle(), B_OK);
	EXPECT_EQ(journal.Entries(), (std::vector<std::string>{ "child:Message",
		"parent:Message", "window:Message" }));

	// Without a handler the message goes to the focus view.
	journal.Clear();
	{
		WindowLocker locker(window);
		child->MakeFocus();
	}
	ASSERT_EQ(window->PostMessage(&message, NULL), B_OK);
	ASSERT_EQ(driver.WaitForIdle(), B_OK);
	EXPECT_EQ(journal.Entries(), (std::vector<std::string>{ "child:Focus",
		"child:Message", "parent:Message", "window:Message" }));
}


TEST(WindowDispatchTest, KeysShortcutsAndFocus)
{
	Journal journal;
	TestDriver driver;
	ASSERT_EQ(driver.Launch<TestApplication>(), B_OK);
	BWindow* window = new RecordingWindow("Keys", journal);
	RecordingView* target = new RecordingView(BRect(0, 0, 99, 99), "target",
		B_FOLLOW_NONE, 0, journal);
	RecordingView* focus = new RecordingView(BRect(100, 0, 199, 99), "focus",
		B_FOLLOW_NONE, 0, journal);
	window->AddChild(target);
	window->AddChild(focus);
	window->AddShortcut('k', B_COMMAND_KEY, new BMessage(kShortcutMessage),
		target);
	window->Show();
	ASSERT_EQ(driver.WaitForIdle(), B_OK);

	// No focus yet: typing reaches nobody.
	journal.Clear();
	ASSERT_EQ(driver.TypeText(window, "x"), B_OK);
	EXPECT_TRUE(journal.Entries().empty());

	{
		WindowLocker locker(window);
		focus->MakeFocus();
		EXPECT_TRUE(focus->IsFocus());
		EXPECT_EQ(window->CurrentFocus(), focus);
		EXPECT_TRUE(window->HasShortcut('K', 0));
	}
	journal.Clear();
	ASSERT_EQ(driver.TypeText(window, "ab"), B_OK);
	ASSERT_EQ(driver.PressKey(window, 'k', B_COMMAND_KEY), B_OK);
	ASSERT_EQ(driver.PressKey(window, 'j', B_COMMAND_KEY), B_OK);
	EXPECT_EQ(journal.Entries(), (std::vector<std::string>{
		"focus:KeyDown a", "focus:KeyDown b", "target:Message",
		"window:Message", "focus:KeyDown j" }));

	// Shift is part of the shortcut.
	journal.Clear();
	ASSERT_EQ(driver.PressKey(window, 'k', B_COMMAND_KEY | B_SHIFT_KEY),
		B_OK);
	EXPECT_EQ(journal.Entries(), (std::vector<std::string>{
		"focus:KeyDown K" }));

	{
		WindowLocker locker(window);
		window->RemoveShortcut('K', B_COMMAND_KEY);
		EXPECT_FALSE(window->HasShortcut('k', B_COMMAND_KEY));
		focus->MakeFocus(false);
		EXPECT_EQ(window->CurrentFocus(), (BView*)NULL);
	}
	EXPECT_EQ(journal.Count("focus:Unfocus"), 1);
	journal.Clear();
	ASSERT_EQ(driver.PressKey(window, 'k', B_COMMAND_KEY), B_OK);
	EXPECT_TRUE(journal.Entries().empty());
}


TEST(WindowDispatchTest, TabMovesAmongNavigableViews)
{
	Journal journal;
	TestDriver driver;
	ASSERT_EQ(driver.Launch<TestApplication>(), B_OK);
	BWindow* window = new BWindow(BRect(100, 100, 399, 299), "Tabs",
		B_TITLED_WINDOW, 0);
	BView* a = new RecordingView(BRect(0, 0, 9, 9), "a", B_FOLLOW_NONE,
		B_NAVIGABLE, journal);
	BView* group = new RecordingView(BRect(20, 0, 59, 39), "group",
		B_FOLLOW_NONE, B_NAVIGABLE_JUMP, journal);
	BView* c = new RecordingView(BRect(0, 0, 9, 9), "c", B_FOLLOW_NONE,
		B_NAVIGABLE, journal);
	BView* hidden = new RecordingView(BRect(60, 0, 69, 9), "hidden",
		B_FOLLOW_NONE, B_NAVIGABLE, journal);
	BView* e = new TabEatingView(BRect(80, 0, 89, 9), "e", B_FOLLOW_NONE,
		B_NAVIGABLE, journal);
	window->AddChild(a);
	window->AddChild(group);
	group->AddChild(c);
	window->AddChild(hidden);
	window->AddChild(e);
	hidden->Hide();
	window->Show();
	ASSERT_EQ(driver.WaitForIdle(), B_OK);

	auto focus = [&]() {
		WindowLocker locker(window);
		BView* view = window->CurrentFocus();
		return std::string(view != NULL ? view->Name() : "none");
	};

	ASSERT_EQ(driver.PressKey(window, B_TAB), B_OK);
	EXPECT_EQ(focus(), "a");
	ASSERT_EQ(driver.PressKey(window, B_TAB), B_OK);
	EXPECT_EQ(focus(), "c");
	ASSERT_EQ(driver.PressKey(window, B_TAB, B_SHIFT_KEY), B_OK);
	EXPECT_EQ(focus(), "a");
	// Backwards from the first wraps to the last.
	ASSERT_EQ(driver.PressKey(window, B_TAB, B_SHIFT_KEY), B_OK);
	EXPECT_EQ(focus(), "e");
	// "e" keeps Tab for itself.
	ASSERT_EQ(driver.PressKey(window, B_TAB), B_OK);
	EXPECT_EQ(focus(), "e");

	{
		WindowLocker locker(window);
		c->MakeFocus();
	}
	journal.Clear();
	ASSERT_EQ(driver.PressKey(window, B_TAB), B_OK);
	EXPECT_EQ(focus(), "e");
	// The old focus heard that it lost the focus.
	EXPECT_EQ(journal.Count("c:Unfocus"), 1);
	EXPECT_EQ(journal.Count("e:Focus"), 1);

	// Option+Tab jumps to the next group instead.
	{
		WindowLocker locker(window);
		a->MakeFocus();
	}
	ASSERT_EQ(driver.PressKey(window, B_TAB, B_OPTION_KEY), B_OK);
	EXPECT_EQ(focus(), "group");
}


TEST(WindowDispatchTest, MouseGoesToTheViewUnderThePointer)
{
	Journal journal;
	TestDriver driver;
	ASSERT_EQ(driver.Launch<TestApplication>(), B_OK);
	BWindow* window = new BWindow(BRect(100, 100, 399, 299), "Mouse",
		B_TITLED_WINDOW, 0);
	RecordingView* left = new RecordingView(BRect(0, 0, 99, 99), "left",
		B_FOLLOW_NONE, 0, journal);
	RecordingView* inner = new RecordingView(BRect(10, 10, 19, 19), "inner",
		B_FOLLOW_NONE, 0, journal);
	TrackingView* right = new TrackingView(BRect(100, 0, 199, 99), "right",
		B_FOLLOW_NONE, 0, journal);
	window->AddChild(left);
	left->AddChild(inner);
	window->AddChild(right);
	window->Show();
	ASSERT_EQ(driver.WaitForIdle(), B_OK);
	journal.Clear();

	ASSERT_EQ(driver.Click(window, BPoint(15, 16)), B_OK);
	EXPECT_EQ(journal.Entries(), (std::vector<std::string>{
		"inner:MouseMoved Entered", "inner:MouseDown", "inner:MouseUp" }));
	EXPECT_EQ(inner->fLastWhere, BPoint(5, 6));

	journal.Clear();
	ASSERT_EQ(driver.MoveMouse(window, BPoint(16, 16)), B_OK);
	ASSERT_EQ(driver.MoveMouse(window, BPoint(50, 50)), B_OK);
	EXPECT_EQ(journal.Entries(), (std::vector<std::string>{
		"inner:MouseMoved Inside", "inner:MouseMoved Exited",
		"left:MouseMoved Entered" }));

	// The tracking view keeps the pointer until the button comes up.
	journal.Clear();
	ASSERT_EQ(driver.MoveMouse(window, BPoint(150, 50)), B_OK);
	ASSERT_EQ(driver.MouseDown(window, BPoint(150, 50)), B_OK);
	EXPECT_EQ(right->fMaskResult, B_OK);
	ASSERT_EQ(driver.MoveMouse(window, BPoint(50, 50),
		B_PRIMARY_MOUSE_BUTTON), B_OK);
	ASSERT_EQ(driver.MouseUp(window, BPoint(40, 50)), B_OK);
	EXPECT_EQ(journal.Entries(), (std::vector<std::string>{
		"left:MouseMoved Exited", "right:MouseMoved Entered",
		"right:MouseDown", "right:MouseMoved Exited",
		"left:MouseMoved Entered", "right:MouseUp" }));
	EXPECT_EQ(right->fLastWhere, BPoint(-60, 50));

	// Released: the next up goes to the view under the pointer again.
	journal.Clear();
	ASSERT_EQ(driver.MouseUp(window, BPoint(40, 50)), B_OK);
	EXPECT_EQ(journal.Entries(), (std::vector<std::string>{
		"left:MouseUp" }));

	// A mask asked for without a button held is refused.
	WindowLocker locker(window);
	EXPECT_EQ(right->SetMouseEventMask(B_POINTER_EVENTS), B_ERROR);
	BPoint where;
	uint32 buttons = 1;
	left->GetMouse(&where, &buttons);
	EXPECT_EQ(where, BPoint(40, 50));
	EXPECT_EQ(buttons, 0u);
}


TEST(WindowDispatchTest, PulsesReachOnlyViewsThatAsk)
{
	TestDriver driver;
	ASSERT_EQ(driver.Launch<TestApplication>(), B_OK);
	BWindow* window = new BWindow(BRect(100, 100, 399, 299), "Pulses",
		B_TITLED_WINDOW, 0);
	const bigtime_t kRate = 20000;
	window->SetPulseRate(kRate);
	EXPECT_EQ(window->PulseRate(), kRate);
	PulseView* wants = new PulseView("wants", B_PULSE_NEEDED);
	PulseView* nested = new PulseView("nested", B_PULSE_NEEDED);
	PulseView* plain = new PulseView("plain", 0);
	window->AddChild(wants);
	window->AddChild(plain);
	plain->AddChild(nested);
	window->Show();

	ASSERT_EQ(driver.WaitFor([&] { return wants->Times().size() >= 4
		&& nested->Times().size() >= 4; }, "four pulses"), B_OK);
	EXPECT_TRUE(plain->Times().empty());

	// Never faster than the rate.
	std::vector<bigtime_t> times = wants->Times();
	for (size_t i = 1; i < times.size(); i++)
		EXPECT_GE(times[i] - times[i - 1], kRate * 9 / 10);

	// A pulse posted by hand goes the same way.
	{
		WindowLocker locker(window);
		window->SetPulseRate(0);
		EXPECT_EQ(window->PulseRate(), 0);
		plain->SetFlags(plain->Flags() | B_PULSE_NEEDED);
	}
	ASSERT_EQ(driver.WaitForIdle(), B_OK);
	size_t before = plain->Times().size();
	window->PostMessage(B_PULSE);
	ASSERT_EQ(driver.WaitForIdle(), B_OK);
	EXPECT_EQ(plain->Times().size(), before + 1);
}


// A window kept busy past a pulse's time took that pulse late; the next
// one used to follow it closely, as the rate counted from the post.
TEST(WindowDispatchTest, PulsesKeepTheirRateAfterABusyWindow)
{
	TestDriver driver;
	ASSERT_EQ(driver.Launch<TestApplication>(), B_OK);
	BWindow* window = new BWindow(BRect(100, 100, 399, 299), "Busy pulses",
		B_TITLED_WINDOW, 0);
	const bigtime_t kRate = 20000;
	window->SetPulseRate(kRate);
	PulseView* wants = new PulseView("wants", B_PULSE_NEEDED);
	window->AddChild(wants);
	window->Show();
	ASSERT_EQ(driver.WaitFor([&] { return wants->Times().size() >= 1; },
		"a first pulse"), B_OK);

	// Each round keeps the window's thread busy for a rate and a half.
	for (int round = 0; round < 5; round++) {
		WindowLocker locker(window);
		bigtime_t until = system_time() + kRate * 3 / 2;
		while (system_time() < until)
			;
	}
	size_t first = wants->Times().size();
	ASSERT_EQ(driver.WaitFor([&] { return wants->Times().size() >= first + 4; },
		"four more pulses"), B_OK);

	std::vector<bigtime_t> times = wants->Times();
	for (size_t i = 1; i < times.size(); i++)
		EXPECT_GE(times[i] - times[i - 1], kRate) << "pulse " << i;
}


TEST(WindowDispatchTest, ActivationDropsAndTheWheel)
{
	Journal journal;
	TestDriver driver;
	ASSERT_EQ(driver.Launch<TestApplication>(), B_OK);
	BWindow* window = new RecordingWindow("Activation", journal);
	RecordingView* view = new RecordingView(BRect(50, 50, 99, 99), "view",
		B_FOLLOW_NONE, 0, journal);
	window->AddChild(view);
	window->Show();
	ASSERT_EQ(driver.WaitForIdle(), B_OK);

	{
		// Shown windows are activated.
		WindowLocker locker(window);
		EXPECT_TRUE(window->IsActive());
	}
	EXPECT_EQ(journal.Count("window:Activated"), 1);
	EXPECT_EQ(journal.Count("view:Activated"), 1);

	ASSERT_EQ(driver.ActivateWindow(window, false), B_OK);
	{
		WindowLocker locker(window);
		EXPECT_FALSE(window->IsActive());
	}
	EXPECT_EQ(journal.Count("view:Deactivated"), 1);

	char path[] = "/tmp/drop-XXXXXX";
	int fd = mkstemp(path);
	ASSERT_GE(fd, 0);
	close(fd);
	journal.Clear();
	ASSERT_EQ(driver.DropFiles(window, BPoint(60, 60), { path }), B_OK);
	unlink(path);
	EXPECT_EQ(journal.Entries(), (std::vector<std::string>{ "view:Message",
		"window:Message" }));

	journal.Clear();
	ASSERT_EQ(driver.MoveMouse(window, BPoint(70, 70)), B_OK);
	ASSERT_EQ(driver.ScrollWheel(window, 0, 2), B_OK);
	EXPECT_TRUE(contains(journal.Entries(), "view:Message"));
}
