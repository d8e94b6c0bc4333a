/*
 * ZELSearch: the find and replace dialog.
 */
#include "ZELSearch.h"

#include <Box.h>
#include <Button.h>
#include <Handler.h>
#include <Looper.h>
#include <Message.h>
#include <StringView.h>
#include <TextControl.h>
#include <View.h>

#include <stdio.h>

#include <algorithm>

#include "EscapeKey.h"
#include "MessageCodes.h"
#include "PrintLine.h"

const char* FindText = "Find";
const char* ReplaceText = "ReplaceWith";

// Where the fields' entries start, unless a label needs more room.
static const float kDivider = 70;
static const uint32 kControlFlags = B_WILL_DRAW | B_NAVIGABLE;


ZELSearch::ZELSearch(BRect frame, const char* heading,
	const char* initialText, BHandler* target, bool findOnly)
	:
	BWindow(BRect(frame.left + 16, frame.top + 16, frame.left + 16,
		frame.top + 16), "Search", B_MODAL_WINDOW, B_NOT_RESIZABLE,
		B_CURRENT_WORKSPACE),
	fFindField(NULL),
	fReplaceField(NULL),
	fSearchButton(NULL),
	fReplaceButton(NULL),
	fReplaceAllButton(NULL),
	fCancelButton(NULL),
	fTarget(NULL),
	fFindOnly(findOnly)
{
	PrintLine("ZELSearch constructor");

	BView* background = new BView(Bounds(), "", B_FOLLOW_ALL_SIDES,
		B_WILL_DRAW);
	background->SetViewColor(216, 216, 216, 255);
	AddChild(background);

	background->AddChild(new BStringView(BRect(10, 10, 260, 24), "",
		heading, B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW));
	background->AddChild(new BBox(BRect(10, 35, 260, 36), NULL,
		B_FOLLOW_LEFT | B_FOLLOW_TOP,
		B_WILL_DRAW | B_FRAME_EVENTS | B_NAVIGABLE_JUMP, B_FANCY_BORDER));

	fFindField = _AddField(background, 47, "Find:", initialText);
	fFindField->SetModificationMessage(new BMessage(kMsgFindTextEdited));
	fFindField->MakeFocus(true);
	if (!fFindOnly)
		fReplaceField = _AddField(background, 72, "Replace with:", "");

	// A control made with a label starts with a divider that shows the
	// whole label. The entries stay in line: both get the wider one.
	float divider = std::max(kDivider, fFindField->Divider());
	if (fReplaceField != NULL)
		divider = std::max(divider, fReplaceField->Divider());
	fFindField->SetDivider(divider);
	if (fReplaceField != NULL)
		fReplaceField->SetDivider(divider);

	_LayOut(background, initialText != NULL && initialText[0] != '\0');

	fTarget = target;
	Show();
}


ZELSearch::~ZELSearch()
{
}


void
ZELSearch::MessageReceived(BMessage* message)
{
	PrintLine("ZELSearch MessageReceived");
	message->PrintToStream();

	switch (message->what) {
		case kMsgSearchFind:
			PrintLine("Search");
			ExtractToMsg(new BMessage(kMsgSearchFind));
			break;
		case kMsgSearchReplace:
			PrintLine("Replace");
			ExtractToMsg(new BMessage(kMsgSearchReplace));
			break;
		case kMsgSearchReplaceAll:
			PrintLine("ReplaceAll");
			ExtractToMsg(new BMessage(kMsgSearchReplaceAll));
			break;
		case kMsgCancel:
			PrintLine("Cancel");
			Quit();
			break;
		case kMsgFindTextEdited:
			_EnableActions();
			break;
		default:
			BWindow::MessageReceived(message);
			break;
	}
}


void
ZELSearch::DispatchMessage(BMessage* message, BHandler* handler)
{
	TurnEscapeInto(message, kMsgCancel);
	BWindow::DispatchMessage(message, handler);
}


BTextControl*
ZELSearch::_AddField(BView* parent, float top, const char* label,
	const char* text)
{
	BTextControl* field = new BTextControl(BRect(10, top, 260, top + 14),
		"", label, text, NULL, B_FOLLOW_LEFT | B_FOLLOW_TOP, kControlFlags);
	parent->AddChild(field);
	return field;
}


BButton*
ZELSearch::_AddButton(BView* parent, const char* label, uint32 what,
	float* _width, float* _height)
{
	BButton* button = new BButton(BRect(0, 0, 0, 0), "", label,
		new BMessage(what), B_FOLLOW_LEFT | B_FOLLOW_TOP, kControlFlags);
	parent->AddChild(button);
	button->GetPreferredSize(_width, _height);
	return button;
}


// Makes the buttons, stacks them 5 units apart right of the fields, picks
// the default button and fits the window around the find field and the
// buttons with a margin of 10.
void
ZELSearch::_LayOut(BView* parent, bool haveText)
{
	BButton* buttons[3];
	int32 count = 0;
	float width = 0;
	float height = 0;
	if (fFindOnly) {
		fSearchButton = _AddButton(parent, "Search", kMsgSearchFind, &width,
			&height);
		buttons[count++] = fSearchButton;
	} else {
		fReplaceButton = _AddButton(parent, "Replace", kMsgSearchReplace,
			&width, &height);
		buttons[count++] = fReplaceButton;
		float replaceAllWidth;
		fReplaceAllButton = _AddButton(parent, "Replace All",
			kMsgSearchReplaceAll, &replaceAllWidth, &height);
		width = std::max(width, replaceAllWidth);
		buttons[count++] = fReplaceAllButton;
	}
	for (int32 i = 0; i < count && !haveText; i++)
		buttons[i]->SetEnabled(false);
	float cancelWidth;
	fCancelButton = _AddButton(parent, "Cancel", kMsgCancel, &cancelWidth,
		&height);
	width = std::max(width, cancelWidth);
	buttons[count++] = fCancelButton;

	float left = fFindField->Frame().right + 20;
	for (int32 i = 0; i < count; i++) {
		buttons[i]->MoveTo(left, 10 + i * (height + 5));
		buttons[i]->ResizeTo(width, height);
		if (i == 0 && haveText)
			buttons[i]->MakeDefault(true);
	}
	if (!haveText)
		fCancelButton->MakeDefault(true);

	BRect united = fCancelButton->Frame() | fFindField->Frame();
	united.PrintToStream();
	PrintLine("W=%.2f H=%.2f", united.Width(), united.Height());
	ResizeTo(united.right + 10, united.bottom + 10);
}


// The first change of the find field enables the action buttons for the
// rest of the dialog's life, even a change that leaves it empty.
void
ZELSearch::_EnableActions()
{
	BButton* first = fFindOnly ? fSearchButton : fReplaceButton;
	first->SetEnabled(true);
	if (fReplaceAllButton != NULL)
		fReplaceAllButton->SetEnabled(true);
	first->MakeDefault(true);
}


void
ZELSearch::ExtractToMsg(BMessage* request)
{
	request->AddString(FindText, fFindField->Text());
	if (!fFindOnly)
		request->AddString(ReplaceText, fReplaceField->Text());
	// The text view stays attached while its modal dialog is open; a
	// target that has left its looper gets nothing.
	BLooper* looper = fTarget != NULL ? fTarget->Looper() : NULL;
	if (looper != NULL)
		looper->PostMessage(request, fTarget, NULL);
	delete request;
	PostMessage(kMsgCancel);
}
