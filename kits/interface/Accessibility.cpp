/*
 * Loading the accessibility bridge, and the calls through which the views
 * and windows tell it what changes.
 *
 * The bridge is loaded only when a screen reader can be listening: the
 * accessibility bus is named in the environment (AT_SPI_BUS_ADDRESS) or
 * on the X display (the root window's AT_SPI_BUS), the desktop asks for
 * it the way it asks other toolkits (GTK_MODULES with gail or
 * atk-bridge), or KITS_ACCESSIBILITY=1 asks. NO_AT_BRIDGE=1 or
 * KITS_ACCESSIBILITY=0 keep it out. Without it nothing of GLib, ATK or
 * D-Bus is in the process.
 */
#include "AccessibilityHooks.h"

#include <InterfaceDefs.h>
#include <Menu.h>
#include <Message.h>
#include <MenuItem.h>
#include <TextView.h>
#include <Window.h>

#include "CharacterIndex.h"
#include "MenuPrivate.h"
#include "TextViewData.h"

#include <dlfcn.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <mutex>
#include <string>

namespace BPrivate {

std::atomic<AccessibilityListener*> gAccessibilityListener{ NULL };

}	// namespace BPrivate


namespace {

using namespace BPrivate;

bool
environment_is(const char* name, const char* value)
{
	const char* set = getenv(name);
	return set != NULL && strcmp(set, value) == 0;
}


// The bus that the desktop's accessibility launcher names on the root
// window of the X display. libX11 is in the process already where the
// screen is X11 (the SDL backend uses it); it is not loaded for this.
bool
x11_names_bus()
{
	const char* display = getenv("DISPLAY");
	if (display == NULL || display[0] == '\0'
		|| environment_is("KITS_DISPLAY", "offscreen"))
		return false;
	void* x11 = dlopen("libX11.so.6", RTLD_NOW | RTLD_NOLOAD);
	if (x11 == NULL)
		return false;
	typedef void* (*open_display)(const char*);
	typedef int (*close_display)(void*);
	typedef unsigned long (*intern_atom)(void*, const char*, int);
	typedef unsigned long (*default_root)(void*);
	typedef int (*get_property)(void*, unsigned long, unsigned long, long,
		long, int, unsigned long, unsigned long*, int*, unsigned long*,
		unsigned long*, unsigned char**);
	typedef int (*free_data)(void*);
	auto openDisplay = (open_display)dlsym(x11, "XOpenDisplay");
	auto closeDisplay = (close_display)dlsym(x11, "XCloseDisplay");
	auto internAtom = (intern_atom)dlsym(x11, "XInternAtom");
	auto defaultRoot = (default_root)dlsym(x11, "XDefaultRootWindow");
	auto getProperty = (get_property)dlsym(x11, "XGetWindowProperty");
	auto freeData = (free_data)dlsym(x11, "XFree");
	bool named = false;
	if (openDisplay != NULL && closeDisplay != NULL && internAtom != NULL
		&& defaultRoot != NULL && getProperty != NULL && freeData != NULL) {
		void* connection = openDisplay(display);
		if (connection != NULL) {
			unsigned long atom = internAtom(connection, "AT_SPI_BUS", 1);
			if (atom != 0) {
				unsigned long type, count, after;
				int format;
				unsigned char* data = NULL;
				// AnyPropertyType is 0.
				if (getProperty(connection, defaultRoot(connection), atom, 0,
						4096, 0, 0, &type, &format, &count, &after,
						&data) == 0 && data != NULL) {
					named = count > 0;
					freeData(data);
				}
			}
			closeDisplay(connection);
		}
	}
	dlclose(x11);
	return named;
}


bool
accessibility_wanted()
{
	if (environment_is("NO_AT_BRIDGE", "1")
		|| environment_is("KITS_ACCESSIBILITY", "0"))
		return false;
	if (environment_is("KITS_ACCESSIBILITY", "1"))
		return true;
	const char* bus = getenv("AT_SPI_BUS_ADDRESS");
	if (bus != NULL && bus[0] != '\0')
		return true;
	const char* modules = getenv("GTK_MODULES");
	if (modules != NULL && (strstr(modules, "gail") != NULL
			|| strstr(modules, "atk-bridge") != NULL))
		return true;
	return x11_names_bus();
}


// Where the bridge's library may be: named by KITS_ACCESSIBILITY_MODULE,
// beside the program, in the installed library folder, in the build tree.
std::vector<std::string>
module_candidates()
{
	std::vector<std::string> candidates;
	const char* named = getenv("KITS_ACCESSIBILITY_MODULE");
	if (named != NULL && named[0] != '\0')
		candidates.push_back(named);
	char executable[PATH_MAX];
	ssize_t length = readlink("/proc/self/exe", executable,
		sizeof(executable) - 1);
	if (length > 0) {
		executable[length] = '\0';
		std::string folder(executable);
		folder.erase(folder.rfind('/') + 1);
		candidates.push_back(folder + KITS_ACCESSIBILITY_MODULE_NAME);
		candidates.push_back(folder + "../lib/orvane/"
			KITS_ACCESSIBILITY_MODULE_NAME);
	}
	candidates.push_back(KITS_ACCESSIBILITY_INSTALL_DIR "/"
		KITS_ACCESSIBILITY_MODULE_NAME);
	candidates.push_back(KITS_ACCESSIBILITY_BUILD_DIR "/"
		KITS_ACCESSIBILITY_MODULE_NAME);
	return candidates;
}


void
load_bridge()
{
	if (!accessibility_wanted())
		return;
	for (const std::string& path : module_candidates()) {
		if (access(path.c_str(), R_OK) != 0)
			continue;
		void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
		if (module == NULL) {
			fprintf(stderr, "accessibility: %s\n", dlerror());
			return;
		}
		auto entry = (accessibility_entry)dlsym(module,
			KITS_ACCESSIBILITY_ENTRY);
		AccessibilityListener* listener = entry != NULL
			? entry(&accessible_host()) : NULL;
		// The library stays loaded for the rest of the process: its
		// thread and objects live that long.
		gAccessibilityListener.store(listener, std::memory_order_release);
		return;
	}
}


accessible_info
describe(const accessible_node& node)
{
	accessible_info info;
	accessible_describe_locked(node, info);
	return info;
}


// At most kMaxEventText bytes of from..to, ending on a character.
std::string
event_text(text_view_data& data, int32 from, int32 to)
{
	int32 end = std::min(to, from + kMaxEventText);
	while (end > from && end < data.text.Length()
		&& ((uint8)data.text.ByteAt(end) & 0xC0) == 0x80)
		end--;
	std::string text;
	CharacterIndex::AppendCharacters(data.text, from, end, text);
	return text;
}

}	// namespace


namespace BPrivate {

void
start_accessibility()
{
	static std::once_flag sStarted;
	std::call_once(sStarted, load_bridge);
}


void
accessible_window_shown(BWindow* window)
{
	if (AccessibilityListener* listener = accessibility_listener()) {
		accessible_node node = accessible_node_for(window);
		listener->WindowShown(node, describe(node));
	}
}


void
accessible_window_hidden(BWindow* window)
{
	if (AccessibilityListener* listener = accessibility_listener())
		listener->WindowHidden(accessible_node_for(window));
}


void
accessible_window_activated(BWindow* window, bool active)
{
	AccessibilityListener* listener = accessibility_listener();
	if (listener == NULL)
		return;
	listener->WindowActivated(accessible_node_for(window), active);
	if (active)
		accessible_focus_changed(window, window->CurrentFocus());
}


void
accessible_view_changed(BView* view)
{
	AccessibilityListener* listener = accessibility_listener();
	if (listener == NULL || view->Window() == NULL)
		return;
	accessible_node node = accessible_node_for(view);
	listener->NodeChanged(node, describe(node));
}


void
accessible_window_changed(BWindow* window)
{
	if (AccessibilityListener* listener = accessibility_listener()) {
		accessible_node node = accessible_node_for(window);
		listener->NodeChanged(node, describe(node));
	}
}


void
accessible_children_changed(BView* parent)
{
	AccessibilityListener* listener = accessibility_listener();
	if (listener == NULL || parent == NULL || parent->Window() == NULL)
		return;
	listener->ChildrenChanged(accessible_node_for(parent));
}


void
accessible_focus_changed(BWindow* window, BView* focus)
{
	AccessibilityListener* listener = accessibility_listener();
	if (listener == NULL)
		return;
	// A window that is not the active one keeps its focus view for when
	// it comes back; only the active window's focus is the keyboard's.
	if (!window->IsActive())
		return;
	accessible_node node = focus != NULL ? accessible_node_for(focus)
		: accessible_node_for(window);
	accessible_info info = describe(node);
	// A view that is not exposed itself (a text control) hands the focus
	// on to what shows it.
	if (focus != NULL && info.role == ACCESSIBLE_ROLE_NONE) {
		node = accessible_node_for(window);
		info = describe(node);
	}
	info.states |= ACCESSIBLE_FOCUSED;
	listener->FocusChanged(node, info);
}


void
accessible_menu_selected(BMenu* menu, int32 index)
{
	AccessibilityListener* listener = accessibility_listener();
	if (listener == NULL || index < 0)
		return;
	BMenuItem* item = menu->ItemAt(index);
	if (item == NULL)
		return;
	BMenu::Private menuPrivate(menu);
	BWindow* owner = menuPrivate.OwnerWindow();
	if (owner == NULL) {
		if (BView* root = menuPrivate.Root())
			owner = root->Window();
	}
	if (owner == NULL)
		owner = menuPrivate.MenuWindow();
	if (owner == NULL)
		return;
	accessible_node node;
	node.kind = ACCESSIBLE_MENU_ITEM;
	node.window = owner;
	node.object = item;
	accessible_info info;
	accessible_describe_locked(node, info);
	info.states |= ACCESSIBLE_FOCUSED | ACCESSIBLE_SELECTED;
	listener->FocusChanged(node, info);
}


void
accessible_row_focused(BView* view, int32 index)
{
	AccessibilityListener* listener = accessibility_listener();
	if (listener == NULL || index < 0 || view->Window() == NULL
		|| !view->IsFocus())
		return;
	accessible_node node = accessible_node_for(view);
	node.kind = ACCESSIBLE_ROW;
	node.index = index;
	accessible_info info = describe(node);
	info.states |= ACCESSIBLE_FOCUSED;
	listener->FocusChanged(node, info);
}


void
accessible_menus_ended(BMenu* root)
{
	AccessibilityListener* listener = accessibility_listener();
	if (listener == NULL || root == NULL)
		return;
	BWindow* owner = BMenu::Private(root).OwnerWindow();
	if (owner != NULL && owner->IsLocked())
		accessible_focus_changed(owner, owner->CurrentFocus());
}


void
accessible_text_inserted(BTextView* view, text_view_data& data, int32 offset,
	int32 length)
{
	AccessibilityListener* listener = accessibility_listener();
	if (data.characters == NULL) {
		if (listener == NULL)
			return;
		data.characters = std::make_unique<CharacterIndex>();
	}
	data.characters->Inserted(data.text, offset, length);
	if (listener == NULL || view->Window() == NULL)
		return;
	int32 start = data.characters->CharacterOffset(data.text, offset);
	int32 end = data.characters->CharacterOffset(data.text, offset + length);
	listener->TextInserted(accessible_node_for(view), start, end - start,
		event_text(data, offset, offset + length));
}


void
accessible_text_will_remove(BTextView* view, text_view_data& data,
	int32 from, int32 to)
{
	AccessibilityListener* listener = accessibility_listener();
	if (data.characters == NULL) {
		if (listener == NULL)
			return;
		data.characters = std::make_unique<CharacterIndex>();
	}
	int32 start = 0;
	int32 end = 0;
	if (listener != NULL && view->Window() != NULL) {
		start = data.characters->CharacterOffset(data.text, from);
		end = data.characters->CharacterOffset(data.text, to);
	}
	std::string text = listener != NULL && view->Window() != NULL
		? event_text(data, from, to) : std::string();
	data.characters->WillRemove(data.text, from, to);
	if (listener != NULL && view->Window() != NULL) {
		listener->TextRemoved(accessible_node_for(view), start, end - start,
			text);
	}
}


void
accessible_text_replaced(BTextView* view, text_view_data& data)
{
	AccessibilityListener* listener = accessibility_listener();
	if (data.characters == NULL) {
		if (listener == NULL)
			return;
		data.characters = std::make_unique<CharacterIndex>();
	}
	int32 before = data.characters->IndexedCharacters();
	data.characters->Reset();
	if (listener == NULL || view->Window() == NULL)
		return;
	accessible_node node = accessible_node_for(view);
	if (before > 0)
		listener->TextRemoved(node, 0, before, std::string());
	int32 count = data.characters->CountCharacters(data.text);
	if (count > 0) {
		listener->TextInserted(node, 0, count,
			event_text(data, 0, data.text.Length()));
	}
	listener->SelectionChanged(node);
}


void
accessible_selection_changed(BTextView* view)
{
	AccessibilityListener* listener = accessibility_listener();
	if (listener == NULL || view->Window() == NULL)
		return;
	listener->SelectionChanged(accessible_node_for(view));
}



// The X key symbol for a key as the kits deliver it.
static uint32
key_symbol(const char* bytes, int32 key)
{
	if (bytes == NULL || bytes[0] == '\0')
		return 0;
	switch ((uint8)bytes[0]) {
		case B_UP_ARROW:		return 0xff52;
		case B_DOWN_ARROW:		return 0xff54;
		case B_LEFT_ARROW:		return 0xff51;
		case B_RIGHT_ARROW:		return 0xff53;
		case B_HOME:			return 0xff50;
		case B_END:				return 0xff57;
		case B_PAGE_UP:			return 0xff55;
		case B_PAGE_DOWN:		return 0xff56;
		case B_ENTER:			return 0xff0d;
		case B_TAB:				return 0xff09;
		case B_ESCAPE:			return 0xff1b;
		case B_BACKSPACE:		return 0xff08;
		case B_DELETE:			return 0xffff;
		case B_INSERT:			return 0xff63;
		case B_FUNCTION_KEY:
			if (key >= B_F1_KEY && key <= B_F12_KEY)
				return 0xffbe + (key - B_F1_KEY);
			return 0;
	}
	// A printable character: Latin-1 keysyms are the code points, the
	// others are the code point with 0x01000000.
	uint32 code = 0;
	const uint8* utf8 = (const uint8*)bytes;
	if (utf8[0] < 0x80)
		code = utf8[0];
	else if ((utf8[0] & 0xE0) == 0xC0 && utf8[1] != 0)
		code = ((utf8[0] & 0x1F) << 6) | (utf8[1] & 0x3F);
	else if ((utf8[0] & 0xF0) == 0xE0 && utf8[1] != 0 && utf8[2] != 0)
		code = ((utf8[0] & 0x0F) << 12) | ((utf8[1] & 0x3F) << 6)
			| (utf8[2] & 0x3F);
	if (code < 0x20)
		return 0;
	return code < 0x100 ? code : 0x01000000 | code;
}


void
accessible_key(BMessage* message, bool down)
{
	AccessibilityListener* listener = accessibility_listener();
	if (listener == NULL)
		return;
	const char* bytes = NULL;
	message->FindString("bytes", &bytes);
	int32 key = message->GetInt32("key", 0);
	uint32 modifiers = (uint32)message->GetInt32("modifiers", 0);
	uint32 symbol = key_symbol(bytes, key);
	if (symbol == 0)
		return;
	std::string text;
	if (bytes != NULL && (uint8)bytes[0] >= 0x20 && bytes[0] != B_DELETE)
		text = bytes;
	listener->KeyEvent(down, symbol, modifiers, text);
}

}	// namespace BPrivate
