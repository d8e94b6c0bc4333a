/*
 * BAlert: layout, icons, and the wait for an answer.
 */
#include <Alert.h>

#include <Application.h>
#include <Button.h>
#include <Invoker.h>
#include <Message.h>
#include <Screen.h>
#include <TextView.h>

#include "ApplicationPrivate.h"
#include "LooperPrivate.h"
#include "ModalWait.h"
#include "WindowPrivate.h"

#include <math.h>
#include <mutex>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <vector>

namespace {

// What a button sends to the alert: its index in "which".
const uint32 kMsgButton = '_ALB';

const float kDefaultWidth = 310.0f;
const float kMargin = 10.0f;
const float kButtonSpacing = 6.0f;
// The strip on the left that holds the icon.
const float kIconStripWidth = 50.0f;
const float kIconSize = 32.0f;
const float kIconLeft = 18.0f;
const float kIconTop = 6.0f;

}	// namespace


namespace BPrivate {

// The strip with the alert's icon, drawn with the view calls.
class AlertIconView : public BView {
public:
	AlertIconView(BRect frame, alert_type type)
		:
		BView(frame, "_icon_", B_FOLLOW_TOP_BOTTOM | B_FOLLOW_LEFT,
			B_WILL_DRAW),
		fType(type)
	{
		SetViewColor(tint_color(ui_color(B_PANEL_BACKGROUND_COLOR),
			B_DARKEN_1_TINT));
	}

	void Draw(BRect updateRect) override
	{
		B_UNUSED(updateRect);
		BRect icon(kIconLeft, kIconTop, kIconLeft + kIconSize - 1,
			kIconTop + kIconSize - 1);
		switch (fType) {
			case B_INFO_ALERT:
				_DrawInfo(icon);
				break;
			case B_IDEA_ALERT:
				_DrawIdea(icon);
				break;
			case B_WARNING_ALERT:
				_DrawWarning(icon);
				break;
			case B_STOP_ALERT:
				_DrawStop(icon);
				break;
			default:
				break;
		}
	}

private:
	// A blue disc with a white "i".
	void _DrawInfo(BRect icon)
	{
		SetHighColor(make_color(64, 96, 192));
		FillEllipse(icon);
		SetHighColor(make_color(255, 255, 255));
		float middle = floorf((icon.left + icon.right) / 2);
		FillEllipse(BRect(middle - 2, icon.top + 6, middle + 2,
			icon.top + 10));
		FillRect(BRect(middle - 2, icon.top + 13, middle + 2,
			icon.bottom - 6));
	}

	// A yellow bulb on a grey screw base.
	void _DrawIdea(BRect icon)
	{
		float middle = floorf((icon.left + icon.right) / 2);
		SetHighColor(make_color(255, 216, 0));
		FillEllipse(BRect(icon.left + 6, icon.top, icon.right - 6,
			icon.top + 21));
		SetHighColor(make_color(128, 96, 0));
		StrokeEllipse(BRect(icon.left + 6, icon.top, icon.right - 6,
			icon.top + 21));
		SetHighColor(make_color(144, 144, 144));
		FillRect(BRect(middle - 5, icon.top + 22, middle + 5,
			icon.bottom - 2));
		SetHighColor(make_color(96, 96, 96));
		for (float y = icon.top + 24; y < icon.bottom - 2; y += 3)
			StrokeLine(BPoint(middle - 5, y), BPoint(middle + 5, y));
	}

	// A yellow triangle with a black "!".
	void _DrawWarning(BRect icon)
	{
		float middle = floorf((icon.left + icon.right) / 2);
		float height = icon.Height();
		SetHighColor(make_color(255, 203, 0));
		for (float row = 0; row <= height; row++) {
			float reach = floorf(row / 2);
			StrokeLine(BPoint(middle - reach, icon.top + row),
				BPoint(middle + reach, icon.top + row));
		}
		SetHighColor(make_color(0, 0, 0));
		FillRect(BRect(middle - 1, icon.top + 10, middle + 1,
			icon.bottom - 9));
		FillRect(BRect(middle - 1, icon.bottom - 6, middle + 1,
			icon.bottom - 4));
	}

	// A red disc with a white bar across.
	void _DrawStop(BRect icon)
	{
		SetHighColor(make_color(204, 0, 0));
		FillRoundRect(icon, 9, 9);
		SetHighColor(make_color(255, 255, 255));
		float middle = floorf((icon.top + icon.bottom) / 2);
		FillRect(BRect(icon.left + 6, middle - 2, icon.right - 6,
			middle + 2));
	}

	alert_type fType;
};

}	// namespace BPrivate


using BPrivate::AlertIconView;


BAlert::BAlert(const char* title, const char* text, const char* button0,
	const char* button1, const char* button2, button_width width,
	alert_type type)
	:
	BWindow(BRect(0, 0, kDefaultWidth - 1, 99), title, B_MODAL_WINDOW_LOOK,
		B_MODAL_APP_WINDOW_FEEL, B_NOT_CLOSABLE | B_NOT_RESIZABLE
			| B_NOT_ZOOMABLE | B_NOT_MINIMIZABLE | B_ASYNCHRONOUS_CONTROLS)
{
	_Init(text, button0, button1, button2, width, B_EVEN_SPACING, type);
}


BAlert::BAlert(const char* title, const char* text, const char* button0,
	const char* button1, const char* button2, button_width width,
	button_spacing spacing, alert_type type)
	:
	BWindow(BRect(0, 0, kDefaultWidth - 1, 99), title, B_MODAL_WINDOW_LOOK,
		B_MODAL_APP_WINDOW_FEEL, B_NOT_CLOSABLE | B_NOT_RESIZABLE
			| B_NOT_ZOOMABLE | B_NOT_MINIMIZABLE | B_ASYNCHRONOUS_CONTROLS)
{
	_Init(text, button0, button1, button2, width, spacing, type);
}


BAlert::~BAlert()
{
	// Gone without an answer (the application was torn down): whoever
	// waits learns that no button was pressed.
	if (fWait != NULL && !fFinished)
		fWait->Answer(-1);
	delete fInvoker;
}


void
BAlert::_Init(const char* text, const char* button0, const char* button1,
	const char* button2, button_width width, button_spacing spacing,
	alert_type type)
{
	fTextView = NULL;
	fButtonCount = 0;
	fType = type;
	fInvoker = NULL;
	fFinished = false;
	for (int32 i = 0; i < 3; i++) {
		fButtons[i] = NULL;
		fKeys[i] = 0;
	}

	BView* background = new BView(Bounds(), "_bg_", B_FOLLOW_ALL_SIDES,
		B_WILL_DRAW);
	background->SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
	AddChild(background);
	if (type != B_EMPTY_ALERT) {
		background->AddChild(new AlertIconView(BRect(0, 0,
			kIconStripWidth - 1, Bounds().bottom), type));
	}

	const char* labels[3] = { button0, button1, button2 };
	for (int32 i = 0; i < 3 && labels[i] != NULL; i++) {
		BMessage* message = new BMessage(kMsgButton);
		message->AddInt32("which", i);
		fButtons[i] = new BButton(BRect(0, 0, 0, 0), labels[i], labels[i],
			message, B_FOLLOW_RIGHT | B_FOLLOW_BOTTOM);
		background->AddChild(fButtons[i]);
		fButtonCount++;
	}
	// An alert with no button could never be answered.
	if (fButtonCount == 0) {
		BMessage* message = new BMessage(kMsgButton);
		message->AddInt32("which", 0);
		fButtons[0] = new BButton(BRect(0, 0, 0, 0), "OK", "OK", message,
			B_FOLLOW_RIGHT | B_FOLLOW_BOTTOM);
		background->AddChild(fButtons[0]);
		fButtonCount = 1;
	}

	// The text can be selected and copied, not changed.
	float textLeft = type != B_EMPTY_ALERT ? kIconStripWidth + 5 : kMargin;
	BRect textFrame(textLeft, kIconTop, Bounds().right - kMargin,
		kIconTop + 10);
	fTextView = new BTextView(textFrame, "_tv_",
		BRect(0, 0, textFrame.Width(), textFrame.Height()),
		B_FOLLOW_ALL_SIDES, B_WILL_DRAW);
	fTextView->SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
	fTextView->SetLowColor(ui_color(B_PANEL_BACKGROUND_COLOR));
	fTextView->SetWordWrap(true);
	fTextView->SetText(text != NULL ? text : "");
	fTextView->MakeEditable(false);
	fTextView->MakeSelectable(true);
	background->AddChild(fTextView);

	_LayOut(width, spacing);
	fButtons[fButtonCount - 1]->MakeDefault(true);

	// The title stays the alert's name, which programs find it by; a
	// person sees whose question it is.
	BWindow::Private(this).SetScreenTitle(
		BPrivate::application_name().c_str());
}


void
BAlert::_LayOut(button_width width, button_spacing spacing)
{
	// Button sizes first: they may make the alert wider.
	float widths[3];
	float widest = 0;
	float buttonHeight = 0;
	for (int32 i = 0; i < fButtonCount; i++) {
		float height;
		fButtons[i]->GetPreferredSize(&widths[i], &height);
		if (width == B_WIDTH_FROM_LABEL) {
			widths[i] = ceilf(fButtons[i]->StringWidth(
				fButtons[i]->Label())) + 20;
		}
		widest = fmaxf(widest, widths[i]);
		buttonHeight = fmaxf(buttonHeight, height);
	}
	if (width == B_WIDTH_FROM_WIDEST) {
		for (int32 i = 0; i < fButtonCount; i++)
			widths[i] = widest;
	}
	float left = fTextView->Frame().left;
	float rowWidth = 0;
	for (int32 i = 0; i < fButtonCount; i++)
		rowWidth += widths[i] + (i > 0 ? kButtonSpacing : 0);
	if (spacing == B_OFFSET_SPACING && fButtonCount > 1)
		rowWidth += 2 * kButtonSpacing;
	float windowWidth = fmaxf(kDefaultWidth, left + rowWidth + kMargin);

	// The text's height at the final width.
	float textWidth = windowWidth - kMargin - left;
	fTextView->SetTextRect(BRect(0, 0, textWidth - 1, 0));
	float textHeight = fTextView->TextHeight(0,
		fTextView->CountLines() - 1);
	float textBottom = kIconTop + textHeight - 1;
	if (fType != B_EMPTY_ALERT)
		textBottom = fmaxf(textBottom, kIconTop + kIconSize - 1);

	float buttonTop = textBottom + 12;
	// In pixels: the buttons' bottom row is buttonTop + buttonHeight.
	float windowHeight = buttonTop + buttonHeight + 1 + kMargin;
	ResizeTo(windowWidth - 1, windowHeight - 1);
	fTextView->ResizeTo(textWidth - 1, textHeight - 1);
	fTextView->SetTextRect(BRect(0, 0, textWidth - 1, textHeight - 1));

	// Right to left: the last button at the right edge.
	float right = windowWidth - kMargin;
	for (int32 i = fButtonCount - 1; i >= 0; i--) {
		float x = right - widths[i];
		if (i == 0 && spacing == B_OFFSET_SPACING && fButtonCount > 1)
			x = left;
		fButtons[i]->MoveTo(x, buttonTop);
		fButtons[i]->ResizeTo(widths[i] - 1, buttonHeight);
		right = x - kButtonSpacing;
	}

	BPoint where = AlertPosition(windowWidth, windowHeight);
	MoveTo(where);
}


// #pragma mark - Shortcuts and buttons


void
BAlert::SetShortcut(int32 index, char key)
{
	if (index >= 0 && index < fButtonCount)
		fKeys[index] = key;
}


char
BAlert::Shortcut(int32 index) const
{
	return index >= 0 && index < fButtonCount ? fKeys[index] : 0;
}


BButton*
BAlert::ButtonAt(int32 index) const
{
	return index >= 0 && index < fButtonCount ? fButtons[index] : NULL;
}


int32
BAlert::CountButtons() const
{
	return fButtonCount;
}


const char*
BAlert::Text() const
{
	return fTextView->Text();
}


BTextView*
BAlert::TextView() const
{
	return fTextView;
}


alert_type
BAlert::Type() const
{
	return fType;
}


// #pragma mark - Waiting


namespace {

// The window a question asked on this thread is about: the caller's own
// window, or the one it holds locked (the application asking a window
// whether it may close); NULL for none.
BWindow*
window_of_question(BLooper* caller)
{
	if (BWindow* own = dynamic_cast<BWindow*>(caller))
		return own;
	for (const BPrivate::window_entry& entry : BPrivate::window_list()) {
		// Only a window locked by this thread is sure to stay alive.
		if (entry.looper->IsLocked()
			&& dynamic_cast<BAlert*>(entry.window) == NULL) {
			return entry.window;
		}
	}
	return NULL;
}

}	// namespace


int32
BAlert::Go()
{
	std::shared_ptr<BPrivate::modal_wait> wait
		= std::make_shared<BPrivate::modal_wait>();
	fWait = wait;

	// The person sees which window is meant before reading the question,
	// and the keyboard returns there afterwards.
	BWindow* about = window_of_question(
		BPrivate::looper_of_thread(BPrivate::current_thread_id()));
	if (about != NULL && !about->IsHidden()) {
		about->Activate(true);
		BWindow::Private(this).SetServedWindow(about);
	}
	return BPrivate::run_modal_wait(wait, [this] { Show(); });
}


status_t
BAlert::Go(BInvoker* invoker)
{
	fInvoker = invoker;
	Show();
	return B_OK;
}


void
BAlert::_Finish(int32 which)
{
	if (fFinished)
		return;
	fFinished = true;

	if (fInvoker != NULL) {
		BMessage message(fInvoker->Message() != NULL
			? *fInvoker->Message() : BMessage());
		message.RemoveName("which");
		message.AddInt32("which", which);
		fInvoker->Invoke(&message);
	}
	if (fWait != NULL)
		fWait->Answer(which);
	Quit();
}


// #pragma mark - Hooks


void
BAlert::MessageReceived(BMessage* message)
{
	if (message->what == kMsgButton) {
		int32 which = message->GetInt32("which", -1);
		if (which >= 0 && which < fButtonCount)
			_Finish(which);
		return;
	}
	BWindow::MessageReceived(message);
}


void
BAlert::DispatchMessage(BMessage* message, BHandler* handler)
{
	if (message != NULL && message->what == B_KEY_DOWN) {
		uint32 modifiers = (uint32)message->GetInt32("modifiers", 0);
		const char* bytes = message->GetString("bytes", "");
		if ((modifiers & (B_COMMAND_KEY | B_CONTROL_KEY)) == 0
			&& bytes[0] != '\0' && bytes[1] == '\0') {
			for (int32 i = 0; i < fButtonCount; i++) {
				if (fKeys[i] != 0 && fKeys[i] == bytes[0]) {
					fButtons[i]->Invoke();
					return;
				}
			}
		}
	}
	BWindow::DispatchMessage(message, handler);
}


bool
BAlert::QuitRequested()
{
	return false;
}


BPoint
BAlert::AlertPosition(float width, float height)
{
	BRect over = BScreen().Frame();
	for (const BPrivate::window_entry& entry : BPrivate::window_list()) {
		BWindow* window = entry.window;
		if (dynamic_cast<BAlert*>(window) != NULL)
			continue;
		// A window busy on another thread is passed over rather than
		// waited for; the caller's own window locks at once.
		if (window->LockWithTimeout(0) != B_OK)
			continue;
		bool front = window->IsActive() && !window->IsHidden();
		BRect frame = window->Frame();
		window->Unlock();
		if (front) {
			over = frame;
			break;
		}
	}
	return BPoint(floorf(over.left + (over.Width() - width) / 2),
		floorf(over.top + (over.Height() - height) / 2));
}
