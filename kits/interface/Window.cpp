/*
 * BWindow: construction and deletion, the views, the frame, showing and
 * hiding, pulses and shortcuts. Message dispatch is in WindowDispatch.cpp,
 * drawing and presenting in WindowUpdate.cpp.
 *
 * The window exists in the display server from its construction on, so
 * that a program without a display learns it at once; it appears on the
 * screen with the first Show().
 */
#include <Window.h>

#include <Button.h>

#include <Application.h>
#include <Message.h>
#include <Screen.h>

#include "ApplicationPrivate.h"
#include "AccessibilityHooks.h"
#include "DisplayServer.h"
#include "LooperPrivate.h"
#include "ViewPrivate.h"
#include "WindowPrivate.h"

#include <algorithm>
#include <math.h>
#include <stdlib.h>
#include <string.h>

using BPrivate::DisplayServer;
using BPrivate::window_shortcut;

namespace {


void
look_and_feel_of(window_type type, window_look& _look, window_feel& _feel)
{
	_feel = B_NORMAL_WINDOW_FEEL;
	switch (type) {
		case B_DOCUMENT_WINDOW:
			_look = B_DOCUMENT_WINDOW_LOOK;
			break;
		case B_MODAL_WINDOW:
			_look = B_MODAL_WINDOW_LOOK;
			_feel = B_MODAL_APP_WINDOW_FEEL;
			break;
		case B_BORDERED_WINDOW:
			_look = B_BORDERED_WINDOW_LOOK;
			break;
		case B_FLOATING_WINDOW:
			_look = B_FLOATING_WINDOW_LOOK;
			_feel = B_FLOATING_APP_WINDOW_FEEL;
			break;
		case B_TITLED_WINDOW:
		case B_UNTYPED_WINDOW:
		default:
			_look = B_TITLED_WINDOW_LOOK;
			break;
	}
}


float
clamped(float value, float minimum, float maximum)
{
	if (!(value >= minimum))
		return minimum;
	return value > maximum ? maximum : value;
}

}	// namespace


BWindow::BWindow(BRect frame, const char* title, window_type type,
	uint32 flags, uint32 workspace)
	:
	BLooper(title)
{
	window_look look;
	window_feel feel;
	look_and_feel_of(type, look, feel);
	_InitData(frame, title, look, feel, flags, workspace);
	fType = type;
}


BWindow::BWindow(BRect frame, const char* title, window_look look,
	window_feel feel, uint32 flags, uint32 workspace)
	:
	BLooper(title)
{
	_InitData(frame, title, look, feel, flags, workspace);
}


BWindow::~BWindow()
{
	BPrivate::accessible_window_hidden(this);
	{
		std::lock_guard<std::mutex> guard(fData->pulseLock);
		fData->pulseStop = true;
		fData->pulseCondition.notify_all();
	}
	if (fData->pulseThread.joinable())
		fData->pulseThread.join();

	// The views go first, while the window can still be asked for.
	while (fTopView->CountChildren() > 0) {
		BView* child = fTopView->ChildAt(fTopView->CountChildren() - 1);
		fTopView->RemoveChild(child);
		delete child;
	}
	RemoveHandler(fTopView);
	fTopView->fIsTopLevel = false;
	fTopView->fWindow = NULL;
	delete fTopView;
	fTopView = NULL;

	DisplayServer::Default().Post(
		BPrivate::DestroyWindowRequest(fData->serverID));
	BPrivate::remove_window(this);

	for (window_shortcut& shortcut : fData->shortcuts)
		delete shortcut.message;
	cairo_destroy(fData->context);
	cairo_surface_destroy(fData->image);
	delete fData;
	free(fTitle);
}


void
BWindow::_InitData(BRect frame, const char* title, window_look look,
	window_feel feel, uint32 flags, uint32 workspace)
{
	if (be_app == NULL) {
		BPrivate::kits_debugger("BWindow: no BApplication exists; construct "
			"the application object before any window");
	}

	fData = new BPrivate::window_data;
	fFocus = NULL;
	fTitle = strdup(title != NULL ? title : "");
	fLook = look;
	fFeel = feel;
	fType = B_UNTYPED_WINDOW;
	fFlags = flags;
	fWorkspaces = workspace;
	fShowLevel = 0;
	fActive = false;
	fMinimized = false;

	// Whole pixels, and a size the limits allow.
	fFrame.left = roundf(isfinite(frame.left) ? frame.left : 0);
	fFrame.top = roundf(isfinite(frame.top) ? frame.top : 0);
	fFrame.right = fFrame.left + roundf(clamped(frame.Width(),
		fData->minWidth, fData->maxWidth));
	fFrame.bottom = fFrame.top + roundf(clamped(frame.Height(),
		fData->minHeight, fData->maxHeight));

	DisplayServer& server = DisplayServer::Default();
	fData->scale = server.Scale();
	BPrivate::replace_window_image(fData, fFrame.Width(), fFrame.Height(),
		false);

	fTopView = new BView(Bounds(), "top view", B_FOLLOW_ALL_SIDES, 0);
	fTopView->fIsTopLevel = true;
	fTopView->fWindow = this;
	fTopView->SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
	AddHandler(fTopView);

	fData->serverID = server.NewWindowID();
	server.Post(BPrivate::CreateWindowRequest(fData->serverID, fFrame, look,
		feel, flags, fTitle, BMessenger(this)));

	BPrivate::add_window(this, this);
	_AddDefaultShortcuts();
	_Invalidate(Bounds());
}


void
BWindow::Quit()
{
	if (!IsLocked()) {
		BPrivate::kits_debugger("BWindow::Quit(): the window must be locked "
			"by the calling thread");
	}
	// Off the screen at once; the rest goes when the looper ends.
	if (fShowLevel > 0) {
		DisplayServer::Default().Post(
			BPrivate::HideWindowRequest(fData->serverID));
	}
	BLooper::Quit();
}


bool
BWindow::QuitRequested()
{
	return BLooper::QuitRequested();
}


// #pragma mark - Views


void
BWindow::AddChild(BView* child, BView* before)
{
	fTopView->AddChild(child, before);
}


bool
BWindow::RemoveChild(BView* child)
{
	return fTopView->RemoveChild(child);
}


int32
BWindow::CountChildren() const
{
	return fTopView->CountChildren();
}


BView*
BWindow::ChildAt(int32 index) const
{
	return fTopView->ChildAt(index);
}


BView*
BWindow::FindView(const char* name) const
{
	return fTopView->FindView(name);
}


BView*
BWindow::FindView(BPoint point) const
{
	// A pixel covers its coordinates up to the next whole one.
	BPoint pixel(floorf(point.x), floorf(point.y));
	if (!Bounds().Contains(pixel))
		return NULL;

	BView* found = NULL;
	const BView* parent = fTopView;
	for (;;) {
		BView* next = NULL;
		// The last child is drawn last, so it is the one on top.
		for (int32 i = parent->CountChildren() - 1; i >= 0; i--) {
			BView* child = parent->ChildAt(i);
			if (child->fHideLevel > 0)
				continue;
			if (parent->ConvertToWindow(child->Frame()).Contains(pixel)) {
				next = child;
				break;
			}
		}
		if (next == NULL)
			return found;
		found = next;
		parent = next;
	}
}


BView*
BWindow::CurrentFocus() const
{
	return fFocus;
}


void
BWindow::_SetFocus(BView* view)
{
	fFocus = view;
	BPrivate::accessible_focus_changed(this, view);
	// Messages posted to the window without a handler go to the focus
	// view, as shortcuts without a target do.
	SetPreferredHandler(view);
}


void
BWindow::SetDefaultButton(BButton* button)
{
	BButton* previous = fData->defaultButton;
	if (button == previous)
		return;
	fData->defaultButton = button;
	// Each button draws its own state; telling both keeps them in step
	// whichever side the change started from.
	if (previous != NULL)
		previous->MakeDefault(false);
	if (button != NULL)
		button->MakeDefault(true);
}


BButton*
BWindow::DefaultButton() const
{
	return fData->defaultButton;
}


void
BWindow::_ViewDetached(BView* view)
{
	if ((BView*)fData->defaultButton == view)
		fData->defaultButton = NULL;
	if (fFocus == view)
		_SetFocus(NULL);
	if (fData->mouseOverView == view)
		fData->mouseOverView = NULL;
	if (fData->eventMaskView == view)
		fData->eventMaskView = NULL;
}


// #pragma mark - Hooks


void
BWindow::MessageReceived(BMessage* message)
{
	BLooper::MessageReceived(message);
}


void
BWindow::FrameMoved(BPoint newPosition)
{
	B_UNUSED(newPosition);
}


void
BWindow::FrameResized(float newWidth, float newHeight)
{
	B_UNUSED(newWidth);
	B_UNUSED(newHeight);
}


void
BWindow::WindowActivated(bool active)
{
	B_UNUSED(active);
}


void
BWindow::Zoom(BPoint origin, float width, float height)
{
	MoveTo(origin);
	ResizeTo(width, height);
}


void
BWindow::Zoom()
{
	if ((fFlags & B_NOT_ZOOMABLE) != 0)
		return;
	// Zooming fills the screen, within the window's size limits.
	BRect screen = BScreen(this).Frame();
	float width = clamped(screen.Width(), fData->minWidth, fData->maxWidth);
	float height = clamped(screen.Height(), fData->minHeight,
		fData->maxHeight);
	Zoom(screen.LeftTop(), width, height);
}


void
BWindow::Minimize(bool minimize)
{
	if (minimize == fMinimized || (minimize
			&& (fFlags & B_NOT_MINIMIZABLE) != 0)) {
		return;
	}
	fMinimized = minimize;
	if (fShowLevel <= 0)
		return;
	if (minimize) {
		DisplayServer::Default().Post(
			BPrivate::HideWindowRequest(fData->serverID));
	} else {
		DisplayServer::Default().Post(
			BPrivate::ShowWindowRequest(fData->serverID));
	}
}


void
BWindow::ScreenChanged(BRect screenSize, color_space depth)
{
	B_UNUSED(screenSize);
	B_UNUSED(depth);
}


void
BWindow::MenusBeginning()
{
}


void
BWindow::MenusEnded()
{
}


// #pragma mark - Frame and appearance


BRect
BWindow::Frame() const
{
	return fFrame;
}


BRect
BWindow::Bounds() const
{
	return BRect(0, 0, fFrame.Width(), fFrame.Height());
}


void
BWindow::MoveBy(float dx, float dy)
{
	MoveTo(fFrame.left + dx, fFrame.top + dy);
}


void
BWindow::MoveTo(BPoint point)
{
	MoveTo(point.x, point.y);
}


void
BWindow::MoveTo(float x, float y)
{
	x = roundf(x);
	y = roundf(y);
	if (!isfinite(x) || !isfinite(y) || (x == fFrame.left && y == fFrame.top))
		return;
	fFrame.OffsetTo(x, y);

	DisplayServer::Default().Post(
		BPrivate::MoveWindowRequest(fData->serverID, fFrame.LeftTop()));

	// FrameMoved() runs on the window's thread, as for a move on screen.
	BMessage moved(B_WINDOW_MOVED);
	moved.AddInt64("when", system_time());
	moved.AddPoint("where", fFrame.LeftTop());
	PostMessage(&moved);
}


void
BWindow::ResizeBy(float dx, float dy)
{
	ResizeTo(fFrame.Width() + dx, fFrame.Height() + dy);
}


void
BWindow::ResizeTo(float width, float height)
{
	width = roundf(clamped(width, fData->minWidth, fData->maxWidth));
	height = roundf(clamped(height, fData->minHeight, fData->maxHeight));
	if (width == fFrame.Width() && height == fFrame.Height())
		return;
	_ApplyResize(width, height);

	DisplayServer::Default().Post(BPrivate::ResizeWindowRequest(
		fData->serverID, fFrame.Width(), fFrame.Height()));

	BMessage resized(B_WINDOW_RESIZED);
	resized.AddInt64("when", system_time());
	resized.AddFloat("width", width);
	resized.AddFloat("height", height);
	PostMessage(&resized);
}


void
BWindow::_ApplyResize(float width, float height)
{
	fFrame.right = fFrame.left + width;
	fFrame.bottom = fFrame.top + height;

	BPrivate::replace_window_image(fData, width, height, true);

	fTopView->ResizeTo(width, height);
	_Invalidate(Bounds());
}


void
BWindow::SetSizeLimits(float minWidth, float maxWidth, float minHeight,
	float maxHeight)
{
	if (!(minWidth >= 0))
		minWidth = 0;
	if (!(minHeight >= 0))
		minHeight = 0;
	fData->minWidth = minWidth;
	fData->maxWidth = std::max(minWidth, fminf(maxWidth, 32766));
	fData->minHeight = minHeight;
	fData->maxHeight = std::max(minHeight, fminf(maxHeight, 32766));
	// The current size moves into the new limits.
	ResizeTo(fFrame.Width(), fFrame.Height());
}


void
BWindow::GetSizeLimits(float* minWidth, float* maxWidth, float* minHeight,
	float* maxHeight)
{
	if (minWidth != NULL)
		*minWidth = fData->minWidth;
	if (maxWidth != NULL)
		*maxWidth = fData->maxWidth;
	if (minHeight != NULL)
		*minHeight = fData->minHeight;
	if (maxHeight != NULL)
		*maxHeight = fData->maxHeight;
}


void
BWindow::SetTitle(const char* title)
{
	free(fTitle);
	fTitle = strdup(title != NULL ? title : "");
	Private(this).SetScreenTitle(fTitle);
	BPrivate::accessible_window_changed(this);
}


const char*
BWindow::Title() const
{
	return fTitle;
}


window_type
BWindow::Type() const
{
	return fType;
}


window_look
BWindow::Look() const
{
	return fLook;
}


window_feel
BWindow::Feel() const
{
	return fFeel;
}


uint32
BWindow::Flags() const
{
	return fFlags;
}


status_t
BWindow::SetFlags(uint32 flags)
{
	bool wasClosable = (fFlags & B_NOT_CLOSABLE) == 0;
	bool closable = (flags & B_NOT_CLOSABLE) == 0;
	fFlags = flags;
	if (wasClosable && !closable)
		RemoveShortcut('W', B_COMMAND_KEY);
	else if (!wasClosable && closable)
		AddShortcut('W', B_COMMAND_KEY, new BMessage(B_QUIT_REQUESTED), this);

	_PostStyle();
	return B_OK;
}


uint32
BWindow::Workspaces() const
{
	return fWorkspaces;
}


void
BWindow::SetWorkspaces(uint32 workspaces)
{
	fWorkspaces = workspaces;
}


void
BWindow::Show()
{
	fShowLevel++;
	if (fShowLevel == 1) {
		BPrivate::start_accessibility();
		BPrivate::accessible_window_shown(this);
		DisplayServer& server = DisplayServer::Default();
		if (!fMinimized) {
			server.Post(BPrivate::ShowWindowRequest(fData->serverID));
		}
		if ((fFlags & B_AVOID_FOCUS) == 0)
			Activate(true);
	}

	if (!fData->running) {
		fData->running = true;
		fData->pulseThread = std::thread(&BWindow::_PulseLoop, this);
		Run();
	}
}


void
BWindow::Hide()
{
	fShowLevel--;
	if (fShowLevel != 0)
		return;
	BPrivate::accessible_window_hidden(this);
	DisplayServer::Default().Post(
		BPrivate::HideWindowRequest(fData->serverID));
}


bool
BWindow::IsHidden() const
{
	return fShowLevel <= 0;
}


bool
BWindow::IsMinimized() const
{
	return fMinimized;
}


void
BWindow::Activate(bool active)
{
	DisplayServer::Default().Post(
		BPrivate::ActivateWindowRequest(fData->serverID, active));
}


bool
BWindow::IsActive() const
{
	return fActive;
}


// #pragma mark - Pulses


void
BWindow::SetPulseRate(bigtime_t rate)
{
	std::lock_guard<std::mutex> guard(fData->pulseLock);
	fData->pulseRate = rate > 0 ? rate : 0;
	fData->pulseCondition.notify_all();
}


bigtime_t
BWindow::PulseRate() const
{
	std::lock_guard<std::mutex> guard(fData->pulseLock);
	return fData->pulseRate;
}


void
BWindow::_PulseLoop()
{
	BPrivate::window_data& data = *fData;
	BMessenger target(this);
	std::unique_lock<std::mutex> lock(data.pulseLock);
	data.lastPulse = system_time();
	while (!data.pulseStop) {
		bigtime_t rate = data.pulseRate;
		if (rate <= 0 || data.pulsePending) {
			data.pulseCondition.wait(lock);
			continue;
		}
		bigtime_t last = data.lastPulse;
		bigtime_t wait = last + rate - system_time();
		if (wait > 0) {
			BPrivate::wait_with_timeout(data.pulseCondition, lock, wait,
				[&data, rate, last] {
					return data.pulseStop || data.pulseRate != rate
						|| data.lastPulse != last;
				});
			continue;
		}
		if (data.pulseViews.load() <= 0) {
			// Nobody wants pulses now: look again a period later.
			data.lastPulse = system_time();
			continue;
		}
		// Posted under the lock, so that once SetPulseRate() returns no
		// pulse of the old rate can still be on its way. The queue is
		// unbounded, so the post never waits for the window.
		if (target.SendMessage(B_PULSE) == B_OK)
			data.pulsePending = true;
		else
			data.lastPulse = system_time();
	}
}


// #pragma mark - Coordinate conversion


BPoint
BWindow::ConvertToScreen(BPoint point) const
{
	return point + fFrame.LeftTop();
}


void
BWindow::ConvertToScreen(BPoint* point) const
{
	if (point != NULL)
		*point = ConvertToScreen(*point);
}


BPoint
BWindow::ConvertFromScreen(BPoint point) const
{
	return point - fFrame.LeftTop();
}


void
BWindow::ConvertFromScreen(BPoint* point) const
{
	if (point != NULL)
		*point = ConvertFromScreen(*point);
}


BRect
BWindow::ConvertToScreen(BRect rect) const
{
	return rect.OffsetByCopy(fFrame.left, fFrame.top);
}


void
BWindow::ConvertToScreen(BRect* rect) const
{
	if (rect != NULL)
		*rect = ConvertToScreen(*rect);
}


BRect
BWindow::ConvertFromScreen(BRect rect) const
{
	return rect.OffsetByCopy(-fFrame.left, -fFrame.top);
}


void
BWindow::ConvertFromScreen(BRect* rect) const
{
	if (rect != NULL)
		*rect = ConvertFromScreen(*rect);
}
