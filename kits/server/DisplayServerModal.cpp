/*
 * DisplayServer: modal windows. All windows belong to the one application
 * of the process, so every modal feel (subset, application, all) keeps
 * the other windows from input alike. The windows behind keep drawing:
 * only input is held back.
 */
#include "DisplayServer.h"

#include "Backend.h"

#include <algorithm>

namespace BPrivate {

namespace {

// The modal feels; the values are the BWindow's.
bool
is_modal_feel(uint32 feel)
{
	return feel == 1 || feel == 2 || feel == 3;
}

}	// namespace


void
DisplayServer::_NoteModal(int32 id, const Window& window)
{
	if (!is_modal_feel(window.feel))
		return;
	_ForgetModal(id);
	fModalWindows.push_back(id);
}


void
DisplayServer::_ForgetModal(int32 id)
{
	fModalWindows.erase(std::remove(fModalWindows.begin(),
		fModalWindows.end(), id), fModalWindows.end());
}


int32
DisplayServer::_BlockingModal(int32 id) const
{
	if (fModalWindows.empty() || fModalWindows.back() == id)
		return 0;
	auto found = fWindows.find(id);
	// Menus opened from the modal window work as usual.
	if (found != fWindows.end() && found->second.feel == kMenuWindowFeel)
		return 0;
	return fModalWindows.back();
}


bool
DisplayServer::_IsDialog(const Window& window)
{
	return window.dialog || is_modal_feel(window.feel);
}


int32
DisplayServer::_ServedWindowFor(int32 id, Window& window)
{
	if (!_IsDialog(window))
		return 0;

	// A window the kits named is kept while it lasts; otherwise the
	// dialog is about what the person was working in: the active window
	// (a dialog too, for a question about a panel), or the last window
	// that was active.
	int32 parent = window.namedParent;
	auto usable = [this, id](int32 candidate) {
		auto found = fWindows.find(candidate);
		return candidate != id && found != fWindows.end()
			&& found->second.visible && found->second.feel != kMenuWindowFeel;
	};
	if (!usable(parent))
		parent = usable(fActiveWindow) ? fActiveWindow : 0;
	if (parent == 0 && usable(fLastActiveWindow))
		parent = fLastActiveWindow;
	window.servedWindow = parent;
	if (parent != 0)
		fBackend->SetDialog(id, parent, is_modal_feel(window.feel));
	return parent;
}


void
DisplayServer::_ReturnFocus(int32 id, const Window& window, bool wasActive)
{
	B_UNUSED(id);
	if (!wasActive && fActiveWindow != 0)
		return;
	auto served = fWindows.find(window.servedWindow);
	if (served == fWindows.end() || !served->second.visible)
		return;
	// Another modal window still open keeps the keyboard for itself.
	int32 modal = _BlockingModal(window.servedWindow);
	_SetActive(modal != 0 ? modal : window.servedWindow, true);
}


bool
DisplayServer::_AdmitEvent(const ServerEvent& event)
{
	int32 modal = _BlockingModal(event.window);
	if (modal == 0)
		return true;

	switch (event.code) {
		case kEventKeyDown:
		case kEventKeyUp:
		{
			// The keyboard belongs to the modal window.
			ServerEvent redirected = event;
			redirected.window = modal;
			_HandleEvent(redirected);
			return false;
		}
		case kEventActivated:
			if (!event.active)
				return true;
			_SetActive(modal, true);
			return false;
		case kEventMouseDown:
			// A click on a window behind brings the modal one forward.
			_SetActive(modal, true);
			return false;
		case kEventMouseUp:
		case kEventMouseMoved:
		case kEventMouseExited:
		case kEventMouseWheel:
		case kEventCloseRequested:
		case kEventFilesDropped:
			return false;
		default:
			// Resizes, moves and exposure still reach the window, which
			// keeps drawing.
			return true;
	}
}

}	// namespace BPrivate
