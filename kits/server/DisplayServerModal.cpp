/*
 * DisplayServer: modal windows. All windows belong to the one application
 * of the process, so the application and all feels keep every other
 * window from input alike; a modal subset window keeps only the windows
 * of its subset. The windows behind keep drawing: only input is held
 * back.
 */
#include "DisplayServer.h"

#include "Backend.h"

#include <algorithm>

namespace BPrivate {

namespace {

// The feels' values are the BWindow's.
const uint32 kModalSubsetFeel = 2;


bool
is_modal_feel(uint32 feel)
{
	return feel == 1 || feel == kModalSubsetFeel || feel == 3;
}


bool
holds(const std::vector<int32>& ids, int32 id)
{
	return std::find(ids.begin(), ids.end(), id) != ids.end();
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
	auto found = fWindows.find(id);
	// Menus opened from the modal window work as usual.
	if (found != fWindows.end() && found->second.feel == kMenuWindowFeel)
		return 0;
	// The last modal window shown that applies to this one keeps it;
	// a modal window shown after all that apply is kept by none.
	for (auto modal = fModalWindows.rbegin(); modal != fModalWindows.rend();
			++modal) {
		if (*modal == id)
			return 0;
		auto window = fWindows.find(*modal);
		if (window == fWindows.end())
			continue;
		if (window->second.feel != kModalSubsetFeel
			|| holds(window->second.subset, id)) {
			return *modal;
		}
		// A modal dialog of a window of the subset waits as its window
		// does: a question asked from a document's dialog holds the
		// dialog too.
		if (found != fWindows.end() && is_modal_feel(found->second.feel)
			&& holds(window->second.subset, found->second.servedWindow)) {
			return *modal;
		}
	}
	return 0;
}


void
DisplayServer::_FeelChanged(int32 id, const Window& window)
{
	if (!window.visible)
		return;
	if (!is_modal_feel(window.feel))
		_ForgetModal(id);
	else if (!holds(fModalWindows, id))
		_NoteModal(id, window);
}


void
DisplayServer::_SetSubset(Window& window, int32 member, bool join)
{
	std::vector<int32>& subset = window.subset;
	subset.erase(std::remove(subset.begin(), subset.end(), member),
		subset.end());
	if (join)
		subset.push_back(member);
}


bool
DisplayServer::_IsDialog(const Window& window)
{
	return window.dialog || is_modal_feel(window.feel);
}


void
DisplayServer::_ServedWindowFor(int32 id, Window& window)
{
	if (!_IsDialog(window))
		return;

	// A window the kits named is kept while it lasts; otherwise the
	// dialog is about what the person was working in: the active window
	// (a dialog too, for a question about a panel), or the last window
	// that was active.
	// A modal subset window serves the first window of its subset still
	// shown.
	int32 parent = window.namedParent;
	auto usable = [this, id](int32 candidate) {
		auto found = fWindows.find(candidate);
		return candidate != id && found != fWindows.end()
			&& found->second.visible && found->second.feel != kMenuWindowFeel;
	};
	if (!usable(parent) && window.feel == kModalSubsetFeel) {
		for (int32 member : window.subset) {
			if (usable(member)) {
				parent = member;
				break;
			}
		}
	}
	if (!usable(parent))
		parent = usable(fActiveWindow) ? fActiveWindow : 0;
	if (parent == 0 && usable(fLastActiveWindow))
		parent = fLastActiveWindow;
	window.servedWindow = parent;
	if (parent != 0)
		fBackend->SetDialog(id, parent, is_modal_feel(window.feel));
}


void
DisplayServer::_ReturnFocus(const Window& window, bool wasActive)
{
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

	if (event.Is<KeyDownEvent>() || event.Is<KeyUpEvent>()) {
		// The keyboard belongs to the modal window.
		_HandleEvent(ServerEvent(modal, event.what));
		return false;
	}
	if (const ActivatedEvent* activated = event.As<ActivatedEvent>()) {
		if (!activated->active)
			return true;
		_SetActive(modal, true);
		return false;
	}
	if (event.Is<MouseDownEvent>()) {
		// A click on a window behind brings the modal one forward.
		_SetActive(modal, true);
		return false;
	}
	if (event.Is<MouseUpEvent>() || event.Is<MouseMovedEvent>()
		|| event.Is<MouseExitedEvent>() || event.Is<MouseWheelEvent>()
		|| event.Is<CloseRequestedEvent>() || event.Is<FilesDroppedEvent>()) {
		return false;
	}
	// Resizes, moves and exposure still reach the window, which keeps
	// drawing.
	return true;
}

}	// namespace BPrivate
