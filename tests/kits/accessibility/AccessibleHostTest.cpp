/*
 * What the accessibility bridge finds in the kits' windows, asked as the
 * bridge asks (through the host, from a thread that is not the window's),
 * and what the views tell it:
 * - a document window is a frame named by its title, holding its menu
 *   bar, text view, button and status area; a plain view between them is
 *   not exposed, its children take its place;
 * - the menu bar's titles are menus holding their items with labels,
 *   shortcuts in the desktop's notation, enabled states and separators;
 * - the text view's text, counted in characters (é one, a byte that is
 *   not UTF-8 one, handed out as U+FFFD), its words, lines and
 *   paragraphs, the caret as the arrows move it, selections set through
 *   the host, insertion and deletion through the host;
 * - a view that left its window, and a window that another thread keeps
 *   locked, are refused, and the refusal does not wait for ever;
 * - a listener hears every focus change, text inserted and removed at
 *   character offsets with the text, and a status area's new text.
 */
#include "AccessibilityHooks.h"

#include <Button.h>
#include <Menu.h>
#include <MenuBar.h>
#include <MenuItem.h>
#include <StringView.h>
#include <TextView.h>

#include "InterfaceTestSupport.h"

#include <condition_variable>
#include <mutex>
#include <thread>

using namespace BPrivate;
using namespace interface_test;

namespace {

// Records what the kits report, from whichever thread reports it.
class RecordingListener : public AccessibilityListener {
public:
	void WindowShown(const accessible_node&, const accessible_info& info)
		override { _Add("shown " + info.name); }
	void WindowHidden(const accessible_node&) override { _Add("hidden"); }
	void WindowActivated(const accessible_node&, bool active) override
		{ _Add(active ? "activated" : "deactivated"); }
	void NodeChanged(const accessible_node&, const accessible_info& info)
		override { _Add("changed " + info.name); }
	void ChildrenChanged(const accessible_node&) override {}
	void FocusChanged(const accessible_node& node,
		const accessible_info& info) override
	{
		_Add("focus " + std::to_string(info.role) + " " + info.name
			+ (node.kind == ACCESSIBLE_VIEW ? " view" : ""));
	}
	void TextInserted(const accessible_node&, int32 offset, int32 count,
		const std::string& text) override
	{
		_Add("insert " + std::to_string(offset) + " "
			+ std::to_string(count) + " " + text);
	}
	void TextRemoved(const accessible_node&, int32 offset, int32 count,
		const std::string& text) override
	{
		_Add("remove " + std::to_string(offset) + " "
			+ std::to_string(count) + " " + text);
	}
	void SelectionChanged(const accessible_node&) override {}
	void KeyEvent(bool, uint32, uint32, const std::string&) override {}

	std::vector<std::string> Entries() { return fJournal.Entries(); }
	bool Heard(const std::string& entry) { return fJournal.Count(entry) > 0; }
	void Clear() { fJournal.Clear(); }

private:
	void _Add(const std::string& entry) { fJournal.Add(entry); }

	Journal fJournal;
};


// Puts the listener in for a test, and takes it out again.
class ListenerScope {
public:
	ListenerScope(AccessibilityListener* listener)
	{
		gAccessibilityListener.store(listener);
	}
	~ListenerScope() { gAccessibilityListener.store(NULL); }
};


struct DocumentWindow {
	BWindow* window;
	BMenuBar* bar;
	BView* group;
	BTextView* text;
	BButton* button;
	BStringView* status;
};


DocumentWindow
make_document(TestDriver& driver, const std::string& text)
{
	DocumentWindow document;
	document.window = new BWindow(BRect(50, 50, 450, 350), "notes.txt",
		B_DOCUMENT_WINDOW, 0);
	document.bar = new BMenuBar(BRect(0, 0, 400, 20), "bar");
	BMenu* file = new BMenu("File");
	file->AddItem(new BMenuItem("New", new BMessage('NEW_'), 'N'));
	BMenuItem* save = new BMenuItem("Save", new BMessage('SAVE'), 'S',
		B_SHIFT_KEY);
	save->SetEnabled(false);
	file->AddItem(save);
	file->AddItem(new BSeparatorItem());
	file->AddItem(new BMenuItem("Quit", new BMessage('QUIT'), 'Q'));
	document.bar->AddItem(file);
	document.bar->AddItem(new BMenu("Edit"));
	document.window->AddChild(document.bar);
	document.group = new BView(BRect(0, 30, 400, 300), "group", B_FOLLOW_ALL,
		0);
	document.text = new BTextView(BRect(0, 0, 300, 200), "text",
		BRect(0, 0, 300, 200), B_FOLLOW_ALL, B_WILL_DRAW | B_NAVIGABLE);
	document.group->AddChild(document.text);
	document.button = new BButton(BRect(310, 0, 390, 25), "button", "Apply",
		new BMessage('APLY'));
	document.group->AddChild(document.button);
	document.status = new BStringView(BRect(0, 250, 100, 265), "status",
		"Line 1", B_FOLLOW_LEFT | B_FOLLOW_BOTTOM);
	document.group->AddChild(document.status);
	document.window->AddChild(document.group);
	document.text->SetText(text.data(), (int32)text.size());
	document.text->MakeFocus(true);
	document.window->Show();
	EXPECT_EQ(driver.WaitForIdle(), B_OK);
	return document;
}


accessible_node
view_node(BWindow* window, BView* view)
{
	accessible_node node;
	node.kind = ACCESSIBLE_VIEW;
	node.window = window;
	node.object = view;
	return node;
}


std::vector<accessible_info>
describe_all(const std::vector<accessible_node>& nodes)
{
	std::vector<accessible_info> infos;
	for (const accessible_node& node : nodes) {
		accessible_info info;
		EXPECT_TRUE(accessible_host().Describe(node, info, NULL));
		infos.push_back(info);
	}
	return infos;
}

}	// namespace


TEST(AccessibleHostTest, WindowsMenusAndControls)
{
	TestDriver driver;
	ASSERT_EQ(driver.Launch<TestApplication>(), B_OK);
	DocumentWindow document = make_document(driver, "one");
	AccessibleHost& host = accessible_host();

	accessible_info application;
	std::vector<accessible_node> windows;
	ASSERT_TRUE(host.Describe(accessible_node(), application, &windows));
	EXPECT_EQ(application.role, ACCESSIBLE_ROLE_APPLICATION);
	ASSERT_EQ(windows.size(), 1u);

	accessible_info frame;
	std::vector<accessible_node> children;
	ASSERT_TRUE(host.Describe(windows[0], frame, &children));
	EXPECT_EQ(frame.role, ACCESSIBLE_ROLE_FRAME);
	EXPECT_EQ(frame.name, "notes.txt");
	// The group view is not there; its children are, in order.
	std::vector<accessible_info> infos = describe_all(children);
	ASSERT_EQ(infos.size(), 4u);
	EXPECT_EQ(infos[0].role, ACCESSIBLE_ROLE_MENU_BAR);
	EXPECT_EQ(infos[1].role, ACCESSIBLE_ROLE_TEXT);
	EXPECT_TRUE(infos[1].hasText);
	EXPECT_NE(infos[1].states & ACCESSIBLE_EDITABLE, 0u);
	EXPECT_NE(infos[1].states & ACCESSIBLE_MULTI_LINE, 0u);
	EXPECT_NE(infos[1].states & ACCESSIBLE_FOCUSED, 0u);
	EXPECT_EQ(infos[2].role, ACCESSIBLE_ROLE_PUSH_BUTTON);
	EXPECT_EQ(infos[2].name, "Apply");
	EXPECT_TRUE(infos[2].hasAction);
	EXPECT_EQ(infos[3].role, ACCESSIBLE_ROLE_STATUS_BAR);
	EXPECT_EQ(infos[3].name, "Line 1");

	accessible_node parent;
	ASSERT_TRUE(host.GetParent(children[1], parent));
	EXPECT_TRUE(parent == windows[0]);

	std::vector<accessible_node> titles;
	accessible_info bar;
	ASSERT_TRUE(host.Describe(children[0], bar, &titles));
	infos = describe_all(titles);
	ASSERT_EQ(infos.size(), 2u);
	EXPECT_EQ(infos[0].role, ACCESSIBLE_ROLE_MENU);
	EXPECT_EQ(infos[0].name, "File");
	EXPECT_EQ(infos[1].name, "Edit");

	std::vector<accessible_node> items;
	accessible_info fileMenu;
	ASSERT_TRUE(host.Describe(titles[0], fileMenu, &items));
	infos = describe_all(items);
	ASSERT_EQ(infos.size(), 4u);
	const struct {
		accessible_role role;
		const char* name;
		const char* shortcut;
		bool enabled;
	} kItems[] = {
		{ ACCESSIBLE_ROLE_MENU_ITEM, "New", "<Control>n", true },
		{ ACCESSIBLE_ROLE_MENU_ITEM, "Save", "<Shift><Control>s", false },
		{ ACCESSIBLE_ROLE_SEPARATOR, "", "", false },
		{ ACCESSIBLE_ROLE_MENU_ITEM, "Quit", "<Control>q", true },
	};
	for (size_t i = 0; i < infos.size(); i++) {
		SCOPED_TRACE(kItems[i].name);
		EXPECT_EQ(infos[i].role, kItems[i].role);
		EXPECT_EQ(infos[i].name, kItems[i].name);
		EXPECT_EQ(infos[i].shortcut, kItems[i].shortcut);
		if (kItems[i].role != ACCESSIBLE_ROLE_SEPARATOR) {
			EXPECT_EQ((infos[i].states & ACCESSIBLE_ENABLED) != 0,
				kItems[i].enabled);
		}
		accessible_node itemParent;
		ASSERT_TRUE(host.GetParent(items[i], itemParent));
		EXPECT_TRUE(itemParent == titles[0]);
	}

	// A view that left the window is refused from then on.
	{
		WindowLocker locker(document.window);
		document.group->RemoveChild(document.button);
	}
	accessible_info gone;
	EXPECT_FALSE(host.Describe(view_node(document.window, document.button),
		gone, NULL));
	delete document.button;

	// A window another thread keeps locked is refused, after a short
	// wait only.
	std::mutex lock;
	std::condition_variable condition;
	bool locked = false;
	bool release = false;
	std::thread holder([&]() {
		document.window->Lock();
		{
			std::unique_lock<std::mutex> guard(lock);
			locked = true;
			condition.notify_all();
			condition.wait(guard, [&] { return release; });
		}
		document.window->Unlock();
	});
	{
		std::unique_lock<std::mutex> guard(lock);
		condition.wait(guard, [&] { return locked; });
	}
	bigtime_t start = system_time();
	EXPECT_FALSE(host.Describe(windows[0], gone, NULL));
	EXPECT_LT(system_time() - start, 2000000);
	{
		std::lock_guard<std::mutex> guard(lock);
		release = true;
		condition.notify_all();
	}
	holder.join();
	EXPECT_TRUE(host.Describe(windows[0], gone, NULL));
	EXPECT_EQ(driver.Quit(), B_OK);
}


TEST(AccessibleHostTest, TextInCharacters)
{
	TestDriver driver;
	ASSERT_EQ(driver.Launch<TestApplication>(), B_OK);
	// "été" is 3 characters in 5 bytes; \xFF is one character that is
	// not UTF-8.
	std::string text = "\xC3\xA9t\xC3\xA9 is warm.\nNext \xFF line. Two.\n";
	DocumentWindow document = make_document(driver, text);
	AccessibleHost& host = accessible_host();
	accessible_node node = view_node(document.window, document.text);

	EXPECT_EQ(host.CharacterCount(node), 31);
	std::string part;
	ASSERT_TRUE(host.GetText(node, 0, 3, part));
	EXPECT_EQ(part, "\xC3\xA9t\xC3\xA9");
	ASSERT_TRUE(host.GetText(node, 13, 19, part));
	EXPECT_EQ(part, "Next \xEF\xBF\xBD");

	const struct {
		int32 offset;
		accessible_text_unit unit;
		int32 start;
		int32 end;
	} kUnits[] = {
		{ 1, ACCESSIBLE_CHARACTER, 1, 2 },
		{ 1, ACCESSIBLE_WORD, 0, 4 },
		{ 5, ACCESSIBLE_WORD, 4, 7 },
		// A word takes the punctuation and space after it.
		{ 20, ACCESSIBLE_WORD, 20, 26 },
		{ 2, ACCESSIBLE_LINE, 0, 13 },
		{ 20, ACCESSIBLE_LINE, 13, 31 },
		{ 20, ACCESSIBLE_PARAGRAPH, 13, 31 },
		{ 2, ACCESSIBLE_SENTENCE, 0, 13 },
		{ 30, ACCESSIBLE_SENTENCE, 26, 31 },
	};
	for (const auto& unit : kUnits) {
		SCOPED_TRACE("offset " + std::to_string(unit.offset) + " unit "
			+ std::to_string(unit.unit));
		int32 start = -1, end = -1;
		ASSERT_TRUE(host.GetUnit(node, unit.offset, unit.unit, start, end));
		EXPECT_EQ(start, unit.start);
		EXPECT_EQ(end, unit.end);
	}

	// The caret steps over é as one character.
	EXPECT_EQ(host.CaretOffset(node), 0);
	ASSERT_EQ(driver.PressKey(document.window, B_RIGHT_ARROW), B_OK);
	EXPECT_EQ(host.CaretOffset(node), 1);
	ASSERT_TRUE(host.Select(node, 4, 6));
	int32 start, end;
	ASSERT_TRUE(host.GetSelection(node, start, end));
	EXPECT_EQ(start, 4);
	EXPECT_EQ(end, 6);
	{
		WindowLocker locker(document.window);
		int32 byteStart, byteEnd;
		document.text->GetSelection(&byteStart, &byteEnd);
		EXPECT_EQ(byteStart, 6);
		EXPECT_EQ(byteEnd, 8);
	}

	ASSERT_TRUE(host.InsertText(node, 3, " \xE2\x82\xAC"));
	ASSERT_TRUE(host.GetText(node, 0, 6, part));
	EXPECT_EQ(part, "\xC3\xA9t\xC3\xA9 \xE2\x82\xAC ");
	ASSERT_TRUE(host.DeleteText(node, 0, 5));
	ASSERT_TRUE(host.GetText(node, 0, 3, part));
	EXPECT_EQ(part, " is");
	EXPECT_EQ(host.CharacterCount(node), 28);

	accessible_text_style style;
	ASSERT_TRUE(host.GetStyle(node, style));
	EXPECT_FALSE(style.family.empty());
	EXPECT_GT(style.size, 0);
	EXPECT_EQ(driver.Quit(), B_OK);
}


TEST(AccessibleHostTest, ListenerHearsFocusTextAndStatus)
{
	RecordingListener listener;
	ListenerScope scope(&listener);
	TestDriver driver;
	ASSERT_EQ(driver.Launch<TestApplication>(), B_OK);
	DocumentWindow document = make_document(driver, "ab");
	ASSERT_EQ(driver.WaitFor([&] { return listener.Heard("activated"); },
		"the window to be activated"),
		B_OK);
	EXPECT_TRUE(listener.Heard("shown notes.txt"));
	EXPECT_TRUE(listener.Heard("focus "
		+ std::to_string(ACCESSIBLE_ROLE_TEXT) + "  view"));

	listener.Clear();
	ASSERT_EQ(driver.PressKey(document.window, B_END), B_OK);
	ASSERT_EQ(driver.TypeText(document.window, "\xC3\xA9!"), B_OK);
	EXPECT_TRUE(listener.Heard("insert 2 1 \xC3\xA9"));
	EXPECT_TRUE(listener.Heard("insert 3 1 !"));
	ASSERT_EQ(driver.PressKey(document.window, B_BACKSPACE), B_OK);
	ASSERT_EQ(driver.PressKey(document.window, B_BACKSPACE), B_OK);
	EXPECT_TRUE(listener.Heard("remove 3 1 !"));
	EXPECT_TRUE(listener.Heard("remove 2 1 \xC3\xA9"));

	// Every focus change is heard, whoever makes it.
	listener.Clear();
	{
		WindowLocker locker(document.window);
		document.button->MakeFocus(true);
		document.status->SetText("Line 2");
	}
	EXPECT_TRUE(listener.Heard("focus "
		+ std::to_string(ACCESSIBLE_ROLE_PUSH_BUTTON) + " Apply view"));
	EXPECT_TRUE(listener.Heard("changed Line 2"));
	EXPECT_EQ(driver.Quit(), B_OK);
}
