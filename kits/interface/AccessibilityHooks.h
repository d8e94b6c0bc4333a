/*
 * Private to the kits: what the views and windows call when something a
 * screen reader follows changes. Each call does nothing, at the cost of
 * one load and a branch, while the accessibility bridge is not loaded.
 *
 * Threads: the caller's, which holds the window of what changed.
 */
#ifndef _KITS_ACCESSIBILITY_HOOKS_H
#define _KITS_ACCESSIBILITY_HOOKS_H

#include "AccessibleHost.h"

class BMenu;
class BMessage;
class BTextView;
class BView;
class BWindow;

namespace BPrivate {

struct text_view_data;

AccessibleHost& accessible_host();
accessible_node accessible_node_for(BView* view);
accessible_node accessible_node_for(BWindow* window);
// Describes a node whose window the caller holds.
bool accessible_describe_locked(const accessible_node& node,
	accessible_info& _info);
int32 accessible_character_offset(const BTextView* view, int32 byteOffset);

void accessible_window_shown(BWindow* window);
void accessible_window_hidden(BWindow* window);
void accessible_window_activated(BWindow* window, bool active);
// The view's label, value or state changed.
void accessible_view_changed(BView* view);
void accessible_window_changed(BWindow* window);
void accessible_children_changed(BView* parent);
// The window's focus view is now focus (NULL for none).
void accessible_focus_changed(BWindow* window, BView* focus);
// The keyboard or the pointer moved to the item at index of the open
// menu; -1 when no item is selected any more.
void accessible_menu_selected(BMenu* menu, int32 index);
// The keyboard is on the row of the view (an AccessibleRows); -1 for none.
void accessible_row_focused(BView* view, int32 index);
// The menus of root closed: the focus is back in the window.
void accessible_menus_ended(BMenu* root);

// The text view's edits: after length bytes came at offset, before
// from..to go, after the whole text was replaced.
void accessible_text_inserted(BTextView* view, text_view_data& data,
	int32 offset, int32 length);
void accessible_text_will_remove(BTextView* view, text_view_data& data,
	int32 from, int32 to);
void accessible_text_replaced(BTextView* view, text_view_data& data);
void accessible_selection_changed(BTextView* view);

// A B_KEY_DOWN or B_KEY_UP the window got.
void accessible_key(BMessage* message, bool down);

}	// namespace BPrivate

#endif	// _KITS_ACCESSIBILITY_HOOKS_H
