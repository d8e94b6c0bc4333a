/*
 * What ATK leaves to each toolkit: the root object, and the listeners
 * through which the AT-SPI bridge hears of the objects' signals and of
 * the keys. Signals are ordinary GObject signals; a listener is an
 * emission hook on one of them, as the desktop's toolkits do it.
 */
#include "Bridge.h"

#include <map>
#include <string.h>

namespace BPrivate {

namespace {

// Listener ids to the signal and emission hook of each.
// Like every table of the bridge, never destroyed: the bridge's thread may
// still use it while the process runs its exit handlers.
std::map<guint, std::pair<guint, gulong> >& sHooks
	= *new std::map<guint, std::pair<guint, gulong> >;
guint sNextListener = 1;

struct key_listener {
	AtkKeySnoopFunc		function;
	gpointer			data;
};
std::map<guint, key_listener>& sKeyListeners
	= *new std::map<guint, key_listener>;


AtkObject*
kits_get_root()
{
	return application_accessible();
}


const gchar*
kits_get_toolkit_name()
{
	return "kits";
}


const gchar*
kits_get_toolkit_version()
{
	return "1.0";
}


guint
kits_add_global_event_listener(GSignalEmissionHook listener,
	const gchar* eventType)
{
	// "Toolkit:Type:signal"; the "window:" events come through AtkWindow's
	// own signals, which the bridge asks for as "Atk:AtkWindow:signal".
	gchar** parts = g_strsplit(eventType, ":", 3);
	guint id = 0;
	if (parts[0] != NULL && parts[1] != NULL && parts[2] != NULL) {
		GType type = g_type_from_name(parts[1]);
		if (type != 0) {
			// Interface types' signals are there once a class that has
			// the interface exists.
			application_accessible();
			guint signal = g_signal_lookup(parts[2], type);
			if (signal != 0) {
				gulong hook = g_signal_add_emission_hook(signal, 0, listener,
					g_strdup(eventType), (GDestroyNotify)g_free);
				id = sNextListener++;
				sHooks[id] = std::make_pair(signal, hook);
			}
		}
	}
	g_strfreev(parts);
	return id;
}


void
kits_remove_global_event_listener(guint id)
{
	auto found = sHooks.find(id);
	if (found == sHooks.end())
		return;
	g_signal_remove_emission_hook(found->second.first, found->second.second);
	sHooks.erase(found);
}


guint
kits_add_key_event_listener(AtkKeySnoopFunc function, gpointer data)
{
	guint id = sNextListener++;
	sKeyListeners[id] = { function, data };
	return id;
}


void
kits_remove_key_event_listener(guint id)
{
	sKeyListeners.erase(id);
}

}	// namespace


void
install_event_hooks()
{
	AtkUtilClass* util = ATK_UTIL_CLASS(g_type_class_ref(ATK_TYPE_UTIL));
	util->get_root = kits_get_root;
	util->get_toolkit_name = kits_get_toolkit_name;
	util->get_toolkit_version = kits_get_toolkit_version;
	util->add_global_event_listener = kits_add_global_event_listener;
	util->remove_global_event_listener = kits_remove_global_event_listener;
	util->add_key_event_listener = kits_add_key_event_listener;
	util->remove_key_event_listener = kits_remove_key_event_listener;
}


void
deliver_key_event(bool down, uint32 keysym, uint32 modifiers,
	const std::string& text)
{
	if (sKeyListeners.empty())
		return;
	AtkKeyEventStruct event = {};
	event.type = down ? ATK_KEY_EVENT_PRESS : ATK_KEY_EVENT_RELEASE;
	// The X modifier mask: Shift 1, Control 4, Mod1 (Alt) 8.
	guint state = 0;
	if ((modifiers & 0x00000001) != 0)
		state |= 1;
	if ((modifiers & (0x00000002 | 0x00000004)) != 0)
		state |= 4;
	if ((modifiers & 0x00000040) != 0)
		state |= 8;
	event.state = state;
	event.keyval = keysym;
	gchar* string = g_strdup(text.c_str());
	event.string = string;
	event.length = (gint)strlen(string);
	event.keycode = 0;
	event.timestamp = (guint32)(g_get_monotonic_time() / 1000);
	// A copy: a listener may remove itself.
	std::map<guint, key_listener> listeners = sKeyListeners;
	for (const auto& entry : listeners)
		entry.second.function(&event, entry.second.data);
	g_free(string);
}

}	// namespace BPrivate
