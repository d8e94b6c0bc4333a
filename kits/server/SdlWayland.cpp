/*
 * SdlWayland. See SdlWayland.h.
 */
#include "SdlWayland.h"

#include <SupportDefs.h>

#include <SDL_syswm.h>
#if defined(SDL_VIDEO_DRIVER_WAYLAND)
#include <wayland-client.h>
#include "xdg-shell-client-protocol.h"
#endif

#include <string.h>

namespace BPrivate {

#if defined(SDL_VIDEO_DRIVER_WAYLAND)
namespace {

// What SDL tells of a window on Wayland; false on other drivers. The
// toplevel is NULL while the window is hidden.
bool
wayland_info_of(SDL_Window* window, SDL_SysWMinfo& _info)
{
	SDL_VERSION(&_info.version);
	if (window == NULL || !SDL_GetWindowWMInfo(window, &_info)
		|| _info.subsystem != SDL_SYSWM_WAYLAND) {
		return false;
	}
	// The toplevel came with SDL 2.0.17's version of the structure.
	return SDL_VERSIONNUM(_info.version.major, _info.version.minor,
		_info.version.patch) >= SDL_VERSIONNUM(2, 0, 17);
}


struct global_search {
	const char*	interface;
	bool		found;
};


void
registry_global(void* data, wl_registry* registry, uint32_t name,
	const char* interface, uint32_t version)
{
	B_UNUSED(registry);
	B_UNUSED(name);
	B_UNUSED(version);
	global_search* search = (global_search*)data;
	if (strcmp(interface, search->interface) == 0)
		search->found = true;
}


void
registry_global_remove(void* data, wl_registry* registry, uint32_t name)
{
	B_UNUSED(data);
	B_UNUSED(registry);
	B_UNUSED(name);
}


const wl_registry_listener kRegistryListener = {
	registry_global,
	registry_global_remove
};

}	// namespace
#endif


bool
is_on_wayland(SDL_Window* window)
{
#if defined(SDL_VIDEO_DRIVER_WAYLAND)
	SDL_SysWMinfo info;
	return wayland_info_of(window, info);
#else
	B_UNUSED(window);
	return false;
#endif
}


bool
set_wayland_parent(SDL_Window* window, SDL_Window* parent)
{
#if defined(SDL_VIDEO_DRIVER_WAYLAND)
	SDL_SysWMinfo info;
	if (!wayland_info_of(window, info) || info.info.wl.xdg_toplevel == NULL)
		return false;
	xdg_toplevel* parentToplevel = NULL;
	if (parent != NULL) {
		SDL_SysWMinfo parentInfo;
		if (!wayland_info_of(parent, parentInfo)
			|| parentInfo.info.wl.xdg_toplevel == NULL) {
			return false;
		}
		parentToplevel = parentInfo.info.wl.xdg_toplevel;
	}
	xdg_toplevel_set_parent(info.info.wl.xdg_toplevel, parentToplevel);
	wl_display_flush(info.info.wl.display);
	return true;
#else
	B_UNUSED(window);
	B_UNUSED(parent);
	return false;
#endif
}


bool
wayland_offers(SDL_Window* window, const char* interface)
{
#if defined(SDL_VIDEO_DRIVER_WAYLAND)
	SDL_SysWMinfo info;
	if (!wayland_info_of(window, info))
		return false;
	// A registry of its own, on a queue of its own, so that SDL's
	// listeners see none of its events.
	wl_display* display = info.info.wl.display;
	wl_event_queue* queue = wl_display_create_queue(display);
	if (queue == NULL)
		return false;
	global_search search = { interface, false };
	wl_display* wrapper = (wl_display*)wl_proxy_create_wrapper(display);
	wl_registry* registry = NULL;
	if (wrapper != NULL) {
		wl_proxy_set_queue((wl_proxy*)wrapper, queue);
		registry = wl_display_get_registry(wrapper);
		wl_proxy_wrapper_destroy(wrapper);
	}
	if (registry != NULL) {
		wl_registry_add_listener(registry, &kRegistryListener, &search);
		wl_display_roundtrip_queue(display, queue);
		wl_registry_destroy(registry);
	}
	wl_event_queue_destroy(queue);
	return search.found;
#else
	B_UNUSED(window);
	B_UNUSED(interface);
	return false;
#endif
}

int
wayland_connection_error(SDL_Window* window)
{
#if defined(SDL_VIDEO_DRIVER_WAYLAND)
	SDL_SysWMinfo info;
	if (!wayland_info_of(window, info))
		return 0;
	return wl_display_get_error(info.info.wl.display);
#else
	B_UNUSED(window);
	return 0;
#endif
}

}	// namespace BPrivate
