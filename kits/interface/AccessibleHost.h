/*
 * Private to the kits: what the accessibility bridge sees of the kits'
 * windows and views, and how the kits tell it what changes.
 *
 * The bridge is a library of its own (kits/accessibility), loaded only
 * when a screen reader can be there; it owns the accessibility objects
 * and runs them on a thread of its own. The kits and the bridge meet
 * through two abstract classes and nothing else, so the bridge needs no
 * symbol of the kits and the views never see the toolkit behind it:
 *
 * - AccessibleHost, implemented by the Interface Kit, answers the
 *   bridge's questions. Each call locks the node's window with a short
 *   timeout and checks that the node is still there, so a question about
 *   a view that went away, or about a window whose thread is busy or
 *   waiting on an alert, fails instead of touching freed memory or
 *   waiting for ever.
 * - AccessibilityListener, implemented by the bridge, hears of changes.
 *   The kits call it on the thread that made the change, with the
 *   window locked; it copies what it needs and returns at once.
 *
 * Offsets in text are characters (code points, with every byte that is
 * not UTF-8 counted as one), as assistive technologies count them, not
 * bytes.
 */
#ifndef _KITS_ACCESSIBLE_HOST_H
#define _KITS_ACCESSIBLE_HOST_H

#include <Rect.h>
#include <SupportDefs.h>

#include <atomic>
#include <string>
#include <vector>

class BWindow;

namespace BPrivate {

enum accessible_kind : uint8 {
	ACCESSIBLE_APPLICATION,
	ACCESSIBLE_WINDOW,
	ACCESSIBLE_VIEW,
	ACCESSIBLE_MENU_ITEM,
	// A row of a list view: object is the view, index the row.
	ACCESSIBLE_ROW
};

// Names one thing on the screen. Nodes are values: they stay valid to
// hold after the thing is gone, and the host refuses them from then on.
struct accessible_node {
	accessible_kind		kind = ACCESSIBLE_APPLICATION;
	// The window that owns the thing (the one whose lock guards it);
	// NULL for the application.
	BWindow*			window = NULL;
	// The window itself, the BView or the BMenuItem.
	const void*			object = NULL;
	int32				index = -1;

	bool operator==(const accessible_node& other) const
		{ return kind == other.kind && window == other.window
			&& object == other.object && index == other.index; }
};

enum accessible_role : uint8 {
	// Not exposed: its children take its place in its parent.
	ACCESSIBLE_ROLE_NONE,
	ACCESSIBLE_ROLE_APPLICATION,
	ACCESSIBLE_ROLE_FRAME,
	ACCESSIBLE_ROLE_DIALOG,
	ACCESSIBLE_ROLE_ALERT,
	ACCESSIBLE_ROLE_PANEL,
	ACCESSIBLE_ROLE_MENU_BAR,
	ACCESSIBLE_ROLE_MENU,
	ACCESSIBLE_ROLE_MENU_ITEM,
	ACCESSIBLE_ROLE_CHECK_MENU_ITEM,
	ACCESSIBLE_ROLE_SEPARATOR,
	ACCESSIBLE_ROLE_PUSH_BUTTON,
	ACCESSIBLE_ROLE_CHECK_BOX,
	ACCESSIBLE_ROLE_RADIO_BUTTON,
	ACCESSIBLE_ROLE_COMBO_BOX,
	ACCESSIBLE_ROLE_TEXT,
	ACCESSIBLE_ROLE_ENTRY,
	ACCESSIBLE_ROLE_LABEL,
	ACCESSIBLE_ROLE_STATUS_BAR,
	ACCESSIBLE_ROLE_SCROLL_BAR,
	ACCESSIBLE_ROLE_SCROLL_PANE,
	ACCESSIBLE_ROLE_LIST,
	ACCESSIBLE_ROLE_LIST_ITEM
};

// States, as bits.
enum {
	ACCESSIBLE_ENABLED		= 1 << 0,
	ACCESSIBLE_FOCUSABLE	= 1 << 1,
	ACCESSIBLE_FOCUSED		= 1 << 2,
	ACCESSIBLE_CHECKABLE	= 1 << 3,
	ACCESSIBLE_CHECKED		= 1 << 4,
	ACCESSIBLE_EDITABLE		= 1 << 5,
	ACCESSIBLE_MULTI_LINE	= 1 << 6,
	ACCESSIBLE_SINGLE_LINE	= 1 << 7,
	ACCESSIBLE_SELECTABLE	= 1 << 8,
	ACCESSIBLE_SELECTED		= 1 << 9,
	ACCESSIBLE_ACTIVE		= 1 << 10,
	ACCESSIBLE_SHOWING		= 1 << 11,
	ACCESSIBLE_MODAL		= 1 << 12,
	ACCESSIBLE_DEFAULT		= 1 << 13,
	ACCESSIBLE_HORIZONTAL	= 1 << 14,
	ACCESSIBLE_VERTICAL		= 1 << 15,
	ACCESSIBLE_RESIZABLE	= 1 << 16,
	ACCESSIBLE_HAS_POPUP	= 1 << 17,
	ACCESSIBLE_SELECTABLE_TEXT = 1 << 18,
	ACCESSIBLE_EXPANDED		= 1 << 19
};

// What the bridge needs to present one node.
struct accessible_info {
	accessible_role		role = ACCESSIBLE_ROLE_NONE;
	std::string			name;
	std::string			description;
	// The keyboard shortcut in the desktop's notation, "<Control>s".
	std::string			shortcut;
	uint32				states = 0;
	// On the screen; invalid when not known.
	BRect				frame;
	// Scroll bars: where the bar is within its range.
	bool				hasValue = false;
	double				value = 0;
	double				minimum = 0;
	double				maximum = 0;
	double				step = 0;
	// Text views and entries answer the text questions below.
	bool				hasText = false;
	// Buttons, check boxes, menu items: one action, pressing them.
	bool				hasAction = false;
};

enum accessible_text_unit {
	ACCESSIBLE_CHARACTER,
	ACCESSIBLE_WORD,
	ACCESSIBLE_SENTENCE,
	// A line as the view lays it out (a wrapped line counts on its own).
	ACCESSIBLE_LINE,
	// A line up to its newline.
	ACCESSIBLE_PARAGRAPH
};

// The font and colour of a text.
struct accessible_text_style {
	std::string			family;
	std::string			style;
	float				size = 0;
	bool				bold = false;
	bool				italic = false;
	uint8				red = 0;
	uint8				green = 0;
	uint8				blue = 0;
};


// Answers the bridge's questions; called on the bridge's thread. Every
// call returns false (or -1) when the node is gone or its window could
// not be locked in time, and leaves the out-parameters alone.
class AccessibleHost {
public:
	virtual						~AccessibleHost() {}

	virtual	std::string			ApplicationName() = 0;
	// The windows on the screen, front to back, menus' windows left out.
	virtual	void				GetWindows(std::vector<accessible_node>& _windows) = 0;
	// What the node is now, and its exposed children (nodes with the
	// role ACCESSIBLE_ROLE_NONE give their own children in their place).
	virtual	bool				Describe(const accessible_node& node,
									accessible_info& _info,
									std::vector<accessible_node>* _children) = 0;
	// The exposed node that holds this one; the application for a
	// window.
	virtual	bool				GetParent(const accessible_node& node,
									accessible_node& _parent) = 0;
	// The one action: presses the button, toggles the check box, chooses
	// the menu item.
	virtual	bool				DoAction(const accessible_node& node) = 0;
	// Makes the node the focus of its window.
	virtual	bool				GrabFocus(const accessible_node& node) = 0;

	// Text. end -1 means the end of the text.
	virtual	int32				CharacterCount(const accessible_node& node) = 0;
	// Text that is not UTF-8 comes out with U+FFFD for each character
	// that is not, so that offsets stay as they were counted.
	virtual	bool				GetText(const accessible_node& node,
									int32 start, int32 end,
									std::string& _text) = 0;
	// The unit around offset: [_start, _end). A line or paragraph ends
	// after its newline; a word or sentence takes the spaces after it.
	virtual	bool				GetUnit(const accessible_node& node,
									int32 offset, accessible_text_unit unit,
									int32& _start, int32& _end) = 0;
	virtual	int32				CaretOffset(const accessible_node& node) = 0;
	virtual	bool				GetSelection(const accessible_node& node,
									int32& _start, int32& _end) = 0;
	// Selects start..end; an empty range puts the caret there.
	virtual	bool				Select(const accessible_node& node,
									int32 start, int32 end) = 0;
	// Screen coordinates of the character at offset.
	virtual	bool				CharacterFrame(const accessible_node& node,
									int32 offset, BRect& _frame) = 0;
	// The character under a point of the screen; -1 when none.
	virtual	int32				OffsetAt(const accessible_node& node,
									BPoint screen) = 0;
	virtual	bool				GetStyle(const accessible_node& node,
									accessible_text_style& _style) = 0;

	// Editing, as typing would do it (undoable, with the view's limits).
	virtual	bool				InsertText(const accessible_node& node,
									int32 offset, const std::string& text) = 0;
	virtual	bool				DeleteText(const accessible_node& node,
									int32 start, int32 end) = 0;
	virtual	bool				SetText(const accessible_node& node,
									const std::string& text) = 0;
	enum clipboard_action { CUT, COPY, PASTE };
	virtual	bool				ClipboardAction(const accessible_node& node,
									clipboard_action action,
									int32 start, int32 end) = 0;
};


// Hears of changes; the kits call it on the thread that made the change,
// with the node's window locked. info is the node as it is now.
class AccessibilityListener {
public:
	virtual						~AccessibilityListener() {}

	virtual	void				WindowShown(const accessible_node& window,
									const accessible_info& info) = 0;
	// Also when the window quits.
	virtual	void				WindowHidden(const accessible_node& window) = 0;
	virtual	void				WindowActivated(const accessible_node& window,
									bool active) = 0;
	// The node's name, states or value may have changed.
	virtual	void				NodeChanged(const accessible_node& node,
									const accessible_info& info) = 0;
	// Views came or went below the node.
	virtual	void				ChildrenChanged(const accessible_node& node) = 0;
	// focus is the node that has the keyboard now; a node of the
	// application kind when none does.
	virtual	void				FocusChanged(const accessible_node& focus,
									const accessible_info& info) = 0;
	// text holds at most the first kMaxEventText bytes of what came or
	// went; offset and count are exact.
	virtual	void				TextInserted(const accessible_node& node,
									int32 offset, int32 count,
									const std::string& text) = 0;
	virtual	void				TextRemoved(const accessible_node& node,
									int32 offset, int32 count,
									const std::string& text) = 0;
	// The caret or selection may have moved; the bridge asks where.
	virtual	void				SelectionChanged(const accessible_node& node) = 0;
	// A key went down or up in the active window: keysym is the X key
	// symbol, text what it typed.
	virtual	void				KeyEvent(bool down, uint32 keysym,
									uint32 modifiers, const std::string& text) = 0;
};

// What a text change event carries at most; the rest is left out, as no
// one listens to a megabyte.
const int32 kMaxEventText = 4096;

// Set once the bridge runs; NULL until then, and for good when no
// screen reader can be there.
extern std::atomic<AccessibilityListener*> gAccessibilityListener;

inline AccessibilityListener*
accessibility_listener()
{
	return gAccessibilityListener.load(std::memory_order_acquire);
}

// Loads the bridge when the accessibility bus is there or asked for;
// called at the first Show() of a window. Later calls do nothing.
void start_accessibility();

// What the bridge's library exports: it takes the host and returns its
// listener at once, registering on the bus on its own thread (when the
// bus turns out to be unreachable, the listener drops what it hears).
typedef AccessibilityListener* (*accessibility_entry)(AccessibleHost* host);
#define KITS_ACCESSIBILITY_ENTRY "kits_accessibility_start"

}	// namespace BPrivate

#endif	// _KITS_ACCESSIBLE_HOST_H
