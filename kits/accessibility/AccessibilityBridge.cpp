/*
 * The accessibility bridge's thread and its listener: the kits' changes
 * come in from their threads as work for the bridge's thread, which owns
 * every ATK object and runs the AT-SPI bridge on GLib's default main
 * context.
 */
#include "Bridge.h"

#include <atk-bridge.h>

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <deque>
#include <mutex>
#include <thread>

namespace BPrivate {

namespace {

AccessibleHost* sHost = NULL;

// How long changes gather before the bridge's thread takes them.
const guint kGatherMilliseconds = 10;

// Work for the bridge's thread, in the order it came. Never destroyed:
// the windows' threads and the bridge's may still use them while the
// process runs its exit handlers.
std::mutex& sQueueLock = *new std::mutex;
std::deque<std::function<void()> >& sQueue
	= *new std::deque<std::function<void()> >;
bool sDrainPosted = false;
GMainContext* sContext = NULL;


gboolean
drain_queue(gpointer)
{
	std::deque<std::function<void()> > work;
	{
		std::lock_guard<std::mutex> guard(sQueueLock);
		work.swap(sQueue);
		sDrainPosted = false;
	}
	for (std::function<void()>& item : work)
		item();
	return G_SOURCE_REMOVE;
}


class BridgeListener : public AccessibilityListener {
public:
	void WindowShown(const accessible_node& window,
		const accessible_info& info) override
	{
		if (info.role == ACCESSIBLE_ROLE_NONE)
			return;
		post_to_bridge([window, info]() {
			if (find_accessible(window) != NULL)
				return;
			KitsAccessible* object = accessible_for(window, &info);
			if (object != NULL)
				announce_new_window(object);
		});
	}

	void WindowHidden(const accessible_node& window) override
	{
		post_to_bridge([window]() { forget_window(window.window); });
	}

	void WindowActivated(const accessible_node& window, bool active) override
	{
		post_to_bridge([window, active]() {
			KitsAccessible* object = find_accessible(window);
			if (object == NULL && active)
				object = accessible_for(window);
			if (object == NULL)
				return;
			accessible_info info = *object->info;
			if (active)
				info.states |= ACCESSIBLE_ACTIVE;
			else
				info.states &= ~ACCESSIBLE_ACTIVE;
			update_accessible(object, info);
			g_signal_emit_by_name(object, active ? "activate" : "deactivate");
			if (!active && focus_object() != NULL
				&& focus_object()->node->window == window.window)
				set_focus_object(NULL);
		});
	}

	void NodeChanged(const accessible_node& node,
		const accessible_info& info) override
	{
		post_to_bridge([node, info]() {
			if (KitsAccessible* object = find_accessible(node))
				update_accessible(object, info);
		});
	}

	void ChildrenChanged(const accessible_node& node) override
	{
		post_to_bridge([node]() {
			if (KitsAccessible* object = find_accessible(node))
				object->children->clear();
		});
	}

	void FocusChanged(const accessible_node& focus,
		const accessible_info& info) override
	{
		post_to_bridge([focus, info]() {
			if (focus.kind == ACCESSIBLE_APPLICATION) {
				set_focus_object(NULL);
				return;
			}
			KitsAccessible* object = accessible_for(focus, &info);
			if (object == NULL)
				return;
			atk_object_get_parent(ATK_OBJECT(object));
			if (info.hasText) {
				// Where the caret is now is no news: only where it goes.
				object->caret = bridge_host().CaretOffset(focus);
				bridge_host().GetSelection(focus, object->selectionStart,
					object->selectionEnd);
			}
			set_focus_object(object);
		});
	}

	void TextInserted(const accessible_node& node, int32 offset, int32 count,
		const std::string& text) override
	{
		post_to_bridge([node, offset, count, text]() {
			if (KitsAccessible* object = find_accessible(node)) {
				g_signal_emit_by_name(object, "text-insert", offset, count,
					text.c_str());
			}
		});
	}

	void TextRemoved(const accessible_node& node, int32 offset, int32 count,
		const std::string& text) override
	{
		post_to_bridge([node, offset, count, text]() {
			if (KitsAccessible* object = find_accessible(node)) {
				g_signal_emit_by_name(object, "text-remove", offset, count,
					text.c_str());
			}
		});
	}

	void SelectionChanged(const accessible_node& node) override
	{
		post_to_bridge([node]() {
			KitsAccessible* object = find_accessible(node);
			if (object != NULL && object->info->hasText)
				report_selection(object);
		});
	}

	void KeyEvent(bool down, uint32 keysym, uint32 modifiers,
		const std::string& text) override
	{
		post_to_bridge([down, keysym, modifiers, text]() {
			deliver_key_event(down, keysym, modifiers, text);
		});
	}
};


// Set when the bus could not be reached: from then on changes are
// dropped, not kept for a thread that will never take them.
std::atomic<bool> sFailed{ false };


void
run_bridge()
{
	// The screen reader hears of a key a few milliseconds later than the
	// window draws it either way; the window's thread should not wait
	// for the processor while this one tells the bus.
	setpriority(PRIO_PROCESS, (id_t)syscall(SYS_gettid), 10);
	g_main_context_acquire(sContext);
	install_event_hooks();
	application_accessible();
	if (atk_bridge_adaptor_init(NULL, NULL) != 0) {
		sFailed.store(true);
		std::lock_guard<std::mutex> guard(sQueueLock);
		sQueue.clear();
		g_main_context_release(sContext);
		return;
	}
	// What came while the bridge registered on the bus.
	drain_queue(NULL);
	g_main_loop_run(g_main_loop_new(sContext, FALSE));
}

}	// namespace


AccessibleHost&
bridge_host()
{
	return *sHost;
}


void
post_to_bridge(std::function<void()> work)
{
	if (sFailed.load())
		return;
	std::lock_guard<std::mutex> guard(sQueueLock);
	sQueue.push_back(std::move(work));
	if (sDrainPosted || sContext == NULL)
		return;
	sDrainPosted = true;
	// The work waits a little, so that what one key changes (the text,
	// then the caret, then the selection) goes out together, after the
	// window has drawn the key rather than while it draws it. A screen
	// reader takes far longer than this to speak.
	GSource* source = g_timeout_source_new(kGatherMilliseconds);
	g_source_set_priority(source, G_PRIORITY_DEFAULT);
	g_source_set_callback(source, drain_queue, NULL, NULL);
	g_source_attach(source, sContext);
	g_source_unref(source);
}

}	// namespace BPrivate


extern "C" __attribute__((visibility("default")))
BPrivate::AccessibilityListener*
kits_accessibility_start(BPrivate::AccessibleHost* host)
{
	using namespace BPrivate;
	if (host == NULL || sHost != NULL)
		return NULL;
	sHost = host;
	// Each toolkit that loads the bridge passes on the name the desktop
	// shows.
	g_set_application_name(host->ApplicationName().c_str());

	// The bridge registers on the bus on its own thread: the windows
	// show meanwhile, and what they report waits for it.
	sContext = g_main_context_default();
	std::thread(run_bridge).detach();
	// Kept for good, as the tables are.
	return new BridgeListener;
}
