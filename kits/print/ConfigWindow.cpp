/*
 * The dialogs' shared frame: buttons, keys, the wait for an answer.
 */
#include "ConfigWindow.h"

#include <Alert.h>
#include <Button.h>
#include <InterfaceDefs.h>
#include <MenuField.h>
#include <Message.h>
#include <StringView.h>

#include "ApplicationPrivate.h"
#include "EscapeKeyPrivate.h"
#include "LooperPrivate.h"
#include "ModalWait.h"

#include <math.h>

namespace BPrivate {

const float ConfigWindow::kMargin = 12.0f;
const float ConfigWindow::kRowHeight = 30.0f;
const float ConfigWindow::kLabelWidth = 90.0f;

namespace {

const float kButtonWidth = 80.0f;
const float kButtonHeight = 24.0f;
const float kButtonSpacing = 8.0f;
const float kProblemHeight = 18.0f;
// The problem line and the buttons under the content.
const float kFooterHeight = kProblemHeight + kButtonHeight + 14.0f;

}	// namespace


ConfigWindow::ConfigWindow(const char* title, float width,
	float contentHeight, const char* confirmLabel)
	:
	BWindow(BRect(0, 0, width - 1, contentHeight + kFooterHeight - 1),
		title, B_MODAL_WINDOW_LOOK, B_MODAL_SUBSET_WINDOW_FEEL,
		B_NOT_RESIZABLE | B_NOT_ZOOMABLE | B_NOT_MINIMIZABLE
			| B_ASYNCHRONOUS_CONTROLS),
	fPanel(NULL),
	fProblem(NULL),
	fDocument(NULL),
	fWait(std::make_shared<modal_wait>())
{
	fPanel = new BView(Bounds(), "panel", B_FOLLOW_ALL_SIDES, B_WILL_DRAW);
	fPanel->SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
	AddChild(fPanel);

	float buttonTop = Bounds().bottom - kMargin - kButtonHeight + 1;
	fProblem = new BStringView(BRect(kMargin, contentHeight,
		width - kMargin, contentHeight + kProblemHeight - 1), "problem", "");
	fProblem->SetHighColor(make_color(180, 0, 0));
	fPanel->AddChild(fProblem);

	float right = width - kMargin;
	BButton* confirm = new BButton(BRect(right - kButtonWidth + 1, buttonTop,
		right, buttonTop + kButtonHeight - 1), "confirm", confirmLabel,
		new BMessage(kMsgConfirm), B_FOLLOW_RIGHT | B_FOLLOW_BOTTOM);
	right -= kButtonWidth + kButtonSpacing;
	BButton* cancel = new BButton(BRect(right - kButtonWidth + 1, buttonTop,
		right, buttonTop + kButtonHeight - 1), "cancel", "Cancel",
		new BMessage(kMsgCancel), B_FOLLOW_RIGHT | B_FOLLOW_BOTTOM);
	fPanel->AddChild(cancel);
	fPanel->AddChild(confirm);
	confirm->MakeDefault(true);

	BPoint where = BAlert::AlertPosition(Bounds().Width() + 1,
		Bounds().Height() + 1);
	MoveTo(where);
}


ConfigWindow::~ConfigWindow()
{
	// Gone without an answer (the application was torn down): whoever
	// waits learns that nothing was confirmed.
	fWait->Answer(kCancelled);
}


status_t
ConfigWindow::Go()
{
	// Asked from a window, the dialog holds back that window only.
	BWindow* caller = dynamic_cast<BWindow*>(
		looper_of_thread(current_thread_id()));
	if (caller != NULL && AddToSubset(caller) == B_OK)
		fDocument = caller;
	else
		SetFeel(B_MODAL_APP_WINDOW_FEEL);

	std::shared_ptr<modal_wait> wait = fWait;
	int32 answer = run_modal_wait(wait, [this] { Show(); });
	return answer == kConfirmed ? B_OK : B_CANCELED;
}


void
ConfigWindow::MessageReceived(BMessage* message)
{
	switch (message->what) {
		case kMsgConfirm:
			if (Confirm())
				Finish(kConfirmed);
			break;
		case kMsgCancel:
			Finish(kCancelled);
			break;
		default:
			BWindow::MessageReceived(message);
			break;
	}
}


void
ConfigWindow::DispatchMessage(BMessage* message, BHandler* handler)
{
	if (is_escape_key_down(message)) {
		Finish(kCancelled);
		return;
	}
	BWindow::DispatchMessage(message, handler);
}


bool
ConfigWindow::QuitRequested()
{
	// The close box cancels.
	fWait->Answer(kCancelled);
	return true;
}


void
ConfigWindow::ShowProblem(const char* text)
{
	fProblem->SetText(text != NULL ? text : "");
}


void
ConfigWindow::Finish(int32 answer)
{
	fWait->Answer(answer);
	Quit();
}

BMenuField*
ConfigWindow::AddMenuField(float top, const char* name, const char* label,
	BMenu* menu, float width)
{
	float right = width > 0 ? kMargin + width
		: Bounds().Width() + 1 - kMargin;
	BMenuField* field = new BMenuField(BRect(kMargin, top, right, top + 22),
		name, label, menu);
	field->SetDivider(kLabelWidth);
	fPanel->AddChild(field);
	return field;
}

}	// namespace BPrivate
