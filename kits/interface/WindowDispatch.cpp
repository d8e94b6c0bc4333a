/*
 * BWindow: message dispatch. The display server's messages come to the
 * window itself and are handed on the platform's way: keys to the focus
 * view (shortcuts first while Command is held), mouse buttons to the
 * view under the pointer (or to the view that asked for every pointer
 * event), B_PULSE to every view that wants pulses, and everything else
 * to the target handler's MessageReceived(), which passes what it does
 * not handle up the handler chain: view, parent, ..., window.
 */
#include <Window.h>

#include <Application.h>
#include <Button.h>
#include <Input.h>
#include <Message.h>

#include "DisplayServer.h"
#include "AccessibilityHooks.h"
#include "UTF8Decoding.h"
#include "ViewPrivate.h"
#include "WindowPrivate.h"

#include <algorithm>
#include <ctype.h>
#include <math.h>
#include <string.h>

#include <string>

namespace {

const uint32 kShortcutModifiers = B_SHIFT_KEY | B_COMMAND_KEY | B_CONTROL_KEY
	| B_OPTION_KEY | B_MENU_KEY;


// The views of a tree in drawing order (parents before children), with
// the flag, that are not hidden.
void
collect_views(BView* view, uint32 flag, std::vector<BView*>& _views)
{
	for (int32 i = 0; i < view->CountChildren(); i++) {
		BView* child = view->ChildAt(i);
		if (child->IsHidden(child))
			continue;
		if ((child->Flags() & flag) != 0)
			_views.push_back(child);
		collect_views(child, flag, _views);
	}
}


// Every view of a tree, hidden or not, parents first.
void
collect_all_views(BView* view, std::vector<BView*>& _views)
{
	for (int32 i = 0; i < view->CountChildren(); i++) {
		BView* child = view->ChildAt(i);
		_views.push_back(child);
		collect_all_views(child, _views);
	}
}

// What the input method composes goes to the focus view when it is
// aware of input methods; to any other the confirmed text comes as keys,
// one character each.
void
dispatch_input_method(BView* focus, BMessage* message)
{
	if (focus == NULL)
		return;
	if ((focus->Flags() & B_INPUT_METHOD_AWARE) != 0) {
		focus->MessageReceived(message);
		return;
	}
	if (message->GetInt32("be:opcode", -1) != B_INPUT_METHOD_CHANGED
		|| !message->GetBool("be:confirmed", false)) {
		return;
	}
	const char* text = message->GetString("be:string", "");
	int32 length = (int32)strlen(text);
	for (int32 at = 0; at < length;) {
		uint32 codePoint;
		int32 size = BPrivate::DecodeUTF8(text + at, length - at, codePoint);
		std::string bytes(text + at, size);
		focus->KeyDown(bytes.c_str(), size);
		at += size;
	}
}

}	// namespace


void
BWindow::DispatchMessage(BMessage* message, BHandler* handler)
{
	if (message == NULL || handler == NULL)
		return;

	bool toWindow = handler == this;
	switch (message->what) {
		case B_KEY_DOWN:
			BPrivate::accessible_key(message, true);
			if (toWindow)
				_HandleKeyDown(message);
			else if (BView* view = dynamic_cast<BView*>(handler)) {
				const char* bytes = message->GetString("bytes", "");
				view->KeyDown(bytes, (int32)strlen(bytes));
			} else
				handler->MessageReceived(message);
			break;
		case B_KEY_UP:
			BPrivate::accessible_key(message, false);
			if (toWindow)
				_HandleKeyUp(message);
			else
				handler->MessageReceived(message);
			break;
		case B_MOUSE_DOWN:
			_HandleMouseDown(message);
			break;
		case B_MOUSE_UP:
			_HandleMouseUp(message);
			break;
		case B_MOUSE_MOVED:
			_HandleMouseMoved(message);
			break;
		case B_MOUSE_WHEEL_CHANGED:
			_HandleWheel(message, handler);
			break;
		case B_WINDOW_RESIZED:
			_HandleResized(message);
			break;
		case B_WINDOW_MOVED:
			_HandleMoved(message);
			break;
		case B_WINDOW_ACTIVATED:
			_HandleActivated(message);
			break;
		case B_PULSE:
			_HandlePulse();
			break;
		case B_ZOOM:
			Zoom();
			break;
		case B_MINIMIZE:
			Minimize(message->GetBool("minimize", true));
			break;
		case BPrivate::kMsgWindowUpdate:
			fData->updatePosted = false;
			UpdateIfNeeded();
			break;
		case BPrivate::kMsgScaleChanged:
			Private(this).SetScale(BPrivate::DisplayScale(
				message->GetFloat("scale", 1)));
			break;
		case B_QUIT_REQUESTED:
			if (toWindow)
				_HandleQuitRequested(message);
			else
				BLooper::DispatchMessage(message, handler);
			break;
		case B_SIMPLE_DATA:
			_HandleDrop(message, handler);
			break;
		case B_INPUT_METHOD_EVENT:
			if (toWindow)
				dispatch_input_method(CurrentFocus(), message);
			else
				handler->MessageReceived(message);
			break;
		default:
			BLooper::DispatchMessage(message, handler);
			break;
	}

	// What was drawn outside a Draw() pass goes to the screen now.
	if (fData->drawnArea.IsValid())
		_Present();
}


// #pragma mark - Keys


void
BWindow::_HandleKeyDown(BMessage* message)
{
	uint32 modifiers = (uint32)message->GetInt32("modifiers", 0);
	if ((modifiers & B_COMMAND_KEY) != 0
		&& (_HandleMenuShortcut(message) || _HandleShortcut(message))) {
		return;
	}
	if (_HandleMenuKey(message))
		return;
	if (_HandleDefaultButton(message))
		return;
	// Tab with Command or Option held moves the focus on even from a view
	// that takes Tab itself, such as an editable text view: the way out
	// of it from the keyboard.
	if ((modifiers & (B_COMMAND_KEY | B_OPTION_KEY)) != 0
		&& _HandleNavigation(message)) {
		return;
	}

	if (fFocus != NULL) {
		const char* bytes = message->GetString("bytes", "");
		fFocus->KeyDown(bytes, (int32)strlen(bytes));
	} else
		_HandleNavigation(message);
}


void
BWindow::_HandleKeyUp(BMessage* message)
{
	if (fFocus == NULL)
		return;
	const char* bytes = message->GetString("bytes", "");
	fFocus->KeyUp(bytes, (int32)strlen(bytes));
}


bool
BWindow::_HandleShortcut(BMessage* message)
{
	uint32 modifiers = (uint32)message->GetInt32("modifiers", 0)
		& kShortcutModifiers;
	int32 key = message->GetInt32("raw_char", 0);
	if (key == 0) {
		const char* bytes = message->GetString("bytes", "");
		key = (uint8)bytes[0];
	}
	key = tolower(key);

	for (const BPrivate::window_shortcut& shortcut : fData->shortcuts) {
		if (shortcut.key != (uint32)key || shortcut.modifiers != modifiers)
			continue;
		BMessage copy(*shortcut.message);
		copy.AddInt64("when", system_time());
		if (shortcut.target.IsValid())
			shortcut.target.SendMessage(&copy);
		else
			PostMessage(&copy, NULL);
		return true;
	}
	return false;
}


bool
BWindow::_HandleDefaultButton(BMessage* message)
{
	// Enter presses the default button wherever the focus is; a focused
	// button takes Enter for itself.
	BButton* button = fData->defaultButton;
	const char* bytes = message->GetString("bytes", "");
	if (button == NULL || bytes[0] != B_ENTER || bytes[1] != '\0')
		return false;
	uint32 modifiers = (uint32)message->GetInt32("modifiers", 0);
	if ((modifiers & (B_COMMAND_KEY | B_CONTROL_KEY | B_OPTION_KEY)) != 0
		|| button->IsHidden() || !button->IsEnabled()
		|| dynamic_cast<BButton*>(fFocus) != NULL) {
		return false;
	}
	// A one-line entry sends its own message on Enter as well.
	if (fFocus != NULL && BPrivate::enter_reaches_focus_first(fFocus))
		fFocus->KeyDown(bytes, 1);
	if (fData->defaultButton == button && button->IsEnabled())
		button->KeyDown(bytes, 1);
	return true;
}


bool
BWindow::_HandleNavigation(BMessage* message)
{
	if (message == NULL || message->what != B_KEY_DOWN)
		return false;
	const char* bytes = message->GetString("bytes", "");
	if (bytes[0] != B_TAB || bytes[1] != '\0')
		return false;
	uint32 modifiers = (uint32)message->GetInt32("modifiers", 0);
	if ((modifiers & B_CONTROL_KEY) != 0)
		return false;

	// Option+Tab jumps between groups; Tab, and Command+Tab, move between
	// the views.
	uint32 flag = (modifiers & B_OPTION_KEY) != 0
		? B_NAVIGABLE_JUMP : B_NAVIGABLE;
	std::vector<BView*> views;
	collect_views(fTopView, flag, views);
	if (views.empty())
		return false;

	bool backwards = (modifiers & B_SHIFT_KEY) != 0;
	int32 count = (int32)views.size();
	int32 current = -1;
	for (int32 i = 0; i < count; i++) {
		if (views[i] == fFocus)
			current = i;
	}
	int32 next;
	if (current < 0)
		next = backwards ? count - 1 : 0;
	else
		next = (current + (backwards ? count - 1 : 1)) % count;
	views[next]->MakeFocus(true);
	return true;
}


// #pragma mark - The mouse


void
BWindow::_HandleMouseDown(BMessage* message)
{
	BPoint where;
	message->FindPoint("where", &where);
	fData->buttons = (uint32)message->GetInt32("buttons",
		B_PRIMARY_MOUSE_BUTTON);
	fData->eventMaskView = NULL;

	BView* view = FindView(where);
	if (view != NULL)
		view->MouseDown(view->ConvertFromWindow(where));
}


void
BWindow::_HandleMouseUp(BMessage* message)
{
	BPoint where;
	message->FindPoint("where", &where);
	fData->buttons = (uint32)message->GetInt32("buttons", 0);

	BView* view = fData->eventMaskView != NULL
		? fData->eventMaskView : FindView(where);
	if (fData->buttons == 0)
		fData->eventMaskView = NULL;
	if (view != NULL)
		view->MouseUp(view->ConvertFromWindow(where));
}


void
BWindow::_HandleMouseMoved(BMessage* message)
{
	BPoint where;
	message->FindPoint("where", &where);
	fData->buttons = (uint32)message->GetInt32("buttons", 0);
	int32 windowTransit = message->GetInt32("be:transit", B_INSIDE_VIEW);

	BView* over = windowTransit == B_EXITED_VIEW ? NULL : FindView(where);
	BView* previous = fData->mouseOverView;
	fData->mouseOverView = over;

	// The views called so far, so that none hears of one move twice.
	std::vector<BView*> told;
	if (previous != over && previous != NULL) {
		previous->MouseMoved(previous->ConvertFromWindow(where),
			B_EXITED_VIEW, NULL);
		told.push_back(previous);
	}
	if (over != NULL && fData->mouseOverView == over) {
		over->MouseMoved(over->ConvertFromWindow(where),
			previous != over ? B_ENTERED_VIEW : B_INSIDE_VIEW, NULL);
		told.push_back(over);
	}

	// Views that follow the pointer everywhere hear of it outside too.
	std::vector<BView*> followers;
	if (fData->eventMaskView != NULL)
		followers.push_back(fData->eventMaskView);
	std::vector<BView*> views;
	collect_all_views(fTopView, views);
	for (BView* view : views) {
		if ((view->EventMask() & B_POINTER_EVENTS) != 0)
			followers.push_back(view);
	}
	for (BView* view : followers) {
		if (std::find(told.begin(), told.end(), view) != told.end()
			|| view->Window() != this) {
			continue;
		}
		view->MouseMoved(view->ConvertFromWindow(where), B_OUTSIDE_VIEW,
			NULL);
		told.push_back(view);
	}
}


void
BWindow::_HandleWheel(BMessage* message, BHandler* handler)
{
	// The wheel turns what is under the pointer.
	BPoint where;
	uint32 buttons;
	fTopView->GetMouse(&where, &buttons, false);
	BView* view = handler == this ? FindView(where) : NULL;
	if (view != NULL)
		view->MessageReceived(message);
	else
		handler->MessageReceived(message);
}


void
BWindow::_HandleDrop(BMessage* message, BHandler* handler)
{
	BView* view = NULL;
	if (message->WasDropped() && handler == this)
		view = FindView(ConvertFromScreen(message->DropPoint()));
	if (view != NULL)
		view->MessageReceived(message);
	else
		handler->MessageReceived(message);
}


// #pragma mark - The window


void
BWindow::_HandleResized(BMessage* message)
{
	float width = message->GetFloat("width", fFrame.Width());
	float height = message->GetFloat("height", fFrame.Height());
	float allowedWidth = roundf(fminf(fmaxf(width, fData->minWidth),
		fData->maxWidth));
	float allowedHeight = roundf(fminf(fmaxf(height, fData->minHeight),
		fData->maxHeight));

	if (allowedWidth != fFrame.Width() || allowedHeight != fFrame.Height()) {
		_ApplyResize(allowedWidth, allowedHeight);
		if (allowedWidth != width || allowedHeight != height) {
			// The screen gave a size outside the limits: take it back.
			BPrivate::DisplayServer::Default().Post(
				BPrivate::ResizeWindowRequest(fData->serverID, fFrame.Width(),
					fFrame.Height()));
		}
	}
	FrameResized(fFrame.Width(), fFrame.Height());
}


void
BWindow::_HandleMoved(BMessage* message)
{
	BPoint where;
	if (message->FindPoint("where", &where) == B_OK)
		fFrame.OffsetTo(where);
	FrameMoved(fFrame.LeftTop());
}


void
BWindow::_HandleActivated(BMessage* message)
{
	bool active = message->GetBool("active", false);
	if (active == fActive)
		return;
	fActive = active;
	WindowActivated(active);
	BPrivate::accessible_window_activated(this, active);

	std::vector<BView*> views;
	collect_all_views(fTopView, views);
	for (BView* view : views) {
		if (view->Window() == this)
			view->WindowActivated(active);
	}
}


void
BWindow::_HandlePulse()
{
	std::vector<BView*> views;
	collect_all_views(fTopView, views);
	for (BView* view : views) {
		if ((view->Flags() & B_PULSE_NEEDED) != 0 && view->Window() == this)
			view->Pulse();
	}

	std::lock_guard<std::mutex> guard(fData->pulseLock);
	fData->pulsePending = false;
	fData->lastPulse = system_time();
	fData->pulseCondition.notify_all();
}


void
BWindow::_HandleQuitRequested(BMessage* message)
{
	bool quit = QuitRequested();
	if (message->IsSourceWaiting()) {
		BMessage reply(B_REPLY);
		reply.AddBool("result", quit);
		message->SendReply(&reply);
	}
	if (!quit)
		return;
	if ((fFlags & B_QUIT_ON_WINDOW_CLOSE) != 0)
		be_app_messenger.SendMessage(B_QUIT_REQUESTED);
	Quit();
}
