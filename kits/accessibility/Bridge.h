/*
 * The accessibility bridge's own declarations: the ATK objects that stand
 * for the kits' nodes, and the thread that owns them.
 *
 * Threads: everything here runs on the bridge's thread, which runs GLib's
 * default main context; ATK and its AT-SPI bridge are not thread-safe, so
 * nothing else touches them. The kits' threads reach it only through
 * post_to_bridge().
 *
 * Owns: one KitsAccessible per node that was asked for or heard of, in a
 * table by node, until its window goes.
 */
#ifndef _KITS_BRIDGE_H
#define _KITS_BRIDGE_H

#include "AccessibleHost.h"

#include <atk/atk.h>

#include <functional>

namespace BPrivate {

struct KitsAccessible {
	AtkObject			parent;
	accessible_node*	node;
	// What the node was when last asked or heard of; answers questions
	// while its window cannot be locked.
	accessible_info*	info;
	std::vector<accessible_node>* children;
	// Text views: where the caret and selection were last reported.
	int32				caret;
	int32				selectionStart;
	int32				selectionEnd;
	bool				defunct;
};

struct KitsAccessibleClass {
	AtkObjectClass		parent_class;
};

AccessibleHost& bridge_host();

// Runs work on the bridge's thread, in the order posted.
void post_to_bridge(std::function<void()> work);

// The object for the node, made when it is first asked for; info, when
// given, is what the node is now. Owned by the table: no reference is
// added.
KitsAccessible* accessible_for(const accessible_node& node,
	const accessible_info* info = NULL);
KitsAccessible* find_accessible(const accessible_node& node);
AtkObject* application_accessible();
// Forgets every object of the window; they answer nothing from now on.
void forget_window(BWindow* window);
// Takes in what the node is now, and tells listeners what changed.
void update_accessible(KitsAccessible* object, const accessible_info& info);
// Asks the host what the node is now.
bool refresh_accessible(KitsAccessible* object);
// Tells that a window came on the screen.
void announce_new_window(KitsAccessible* window);
// Moves the focus mark to object (NULL for none).
void set_focus_object(KitsAccessible* object);
KitsAccessible* focus_object();

// The interfaces of the text objects (AccessibleText.cpp).
void init_text_interface(AtkTextIface* iface);
void init_editable_text_interface(AtkEditableTextIface* iface);
// Reports where the caret and selection of a text object are now.
void report_selection(KitsAccessible* object);

// ATK's global event and key listeners (EventHooks.cpp).
void install_event_hooks();
void deliver_key_event(bool down, uint32 keysym, uint32 modifiers,
	const std::string& text);

}	// namespace BPrivate

#endif	// _KITS_BRIDGE_H
