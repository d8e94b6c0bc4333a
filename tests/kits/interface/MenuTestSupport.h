/*
 * What the menu tests share: a document-like window with a menu bar of
 * three menus and a content view that has the focus, recording what its
 * window and views receive.
 */
#ifndef _MENU_TEST_SUPPORT_H
#define _MENU_TEST_SUPPORT_H

#include "InterfaceTestSupport.h"

#include <Menu.h>
#include <MenuBar.h>
#include <MenuField.h>
#include <MenuItem.h>
#include <PopUpMenu.h>

#include <string>
#include <vector>

namespace menu_test {

using interface_test::Journal;
using interface_test::RecordingView;

const uint32 kMsgNew = 'FFne';
const uint32 kMsgSave = 'FFsv';
const uint32 kMsgSaveAs = 'FFsa';
const uint32 kMsgPrint = 'FFpr';
const uint32 kMsgClose = 'FFcl';
const uint32 kMsgDeep = 'EDdp';
const uint32 kMsgSmall = 'VWsm';
const uint32 kMsgLarge = 'VWlg';


inline std::string
code_text(uint32 code)
{
	std::string text;
	for (int shift = 24; shift >= 0; shift -= 8)
		text += (char)((code >> shift) & 0xff);
	return text;
}


// Writes "<name>:<code>" for every message it gets.
class MessageView : public RecordingView {
public:
	MessageView(BRect frame, const char* name, uint32 resizingMode,
		uint32 flags, Journal& journal)
		: RecordingView(frame, name, resizingMode, flags, journal),
		  fMessageJournal(journal) {}

	void MessageReceived(BMessage* message) override
	{
		if (message->what == B_CUT || message->what == kMsgDeep) {
			fMessageJournal.Add(std::string(Name()) + ":"
				+ code_text(message->what));
			return;
		}
		RecordingView::MessageReceived(message);
	}

private:
	Journal& fMessageJournal;
};


// File: New (N), Save (S), Save As... (Shift+S), separator, Print...
// (P, disabled), Close; Edit: Cut (X, to the content view), More >
// Deep; View: Small, Large (radio). The content view below the bar has
// the focus.
class MenuTestWindow : public BWindow {
public:
	MenuTestWindow(Journal& journal)
		:
		BWindow(BRect(100, 100, 499, 399), "Menus", B_DOCUMENT_WINDOW, 0),
		fJournal(journal)
	{
		fBar = new BMenuBar(Bounds(), "main menu");
		AddChild(fBar);
		BRect content = Bounds();
		content.top = fBar->Frame().bottom + 1;
		fContent = new MessageView(content, "content", B_FOLLOW_ALL_SIDES,
			0, journal);
		AddChild(fContent);

		fFile = new BMenu("File");
		fFile->AddItem(new BMenuItem("New", new BMessage(kMsgNew), 'N'));
		fFile->AddItem(fSave = new BMenuItem("Save", new BMessage(kMsgSave),
			'S'));
		fFile->AddItem(new BMenuItem("Save As...", new BMessage(kMsgSaveAs),
			'S', B_SHIFT_KEY));
		fFile->AddSeparatorItem();
		fFile->AddItem(fPrint = new BMenuItem("Print...",
			new BMessage(kMsgPrint), 'P'));
		fPrint->SetEnabled(false);
		fFile->AddItem(new BMenuItem("Close", new BMessage(kMsgClose)));
		fBar->AddItem(fFile);

		fEdit = new BMenu("Edit");
		fEdit->AddItem(fCut = new BMenuItem("Cut", new BMessage(B_CUT),
			'X'));
		fCut->SetTarget(fContent);
		fMore = new BMenu("More");
		fMore->AddItem(new BMenuItem("Deep", new BMessage(kMsgDeep)));
		fEdit->AddItem(fMore);
		fBar->AddItem(fEdit);

		fView = new BMenu("View");
		fView->SetRadioMode(true);
		fView->AddItem(new BMenuItem("Small", new BMessage(kMsgSmall)));
		fView->AddItem(new BMenuItem("Large", new BMessage(kMsgLarge)));
		fBar->AddItem(fView);

		fContent->MakeFocus();
	}

	void MessageReceived(BMessage* message) override
	{
		{
			std::lock_guard<std::mutex> guard(fLock);
			fMessages.push_back(*message);
		}
		fJournal.Add("window:" + code_text(message->what));
	}
	void MenusBeginning() override { fJournal.Add("window:MenusBeginning"); }
	void MenusEnded() override { fJournal.Add("window:MenusEnded"); }

	std::vector<BMessage> Messages()
	{
		std::lock_guard<std::mutex> guard(fLock);
		return fMessages;
	}

	BMenuBar* fBar;
	MessageView* fContent;
	BMenu* fFile;
	BMenu* fEdit;
	BMenu* fMore;
	BMenu* fView;
	BMenuItem* fSave;
	BMenuItem* fPrint;
	BMenuItem* fCut;

private:
	Journal& fJournal;
	std::mutex fLock;
	std::vector<BMessage> fMessages;
};

// A window with one menu field, labelled, over the menu; it writes
// "window:<code>" for every message it gets.
class FieldWindow : public BWindow {
public:
	FieldWindow(Journal& journal, BPopUpMenu* menu, BRect fieldFrame,
		const char* label)
		:
		BWindow(BRect(200, 200, 599, 399), "Fields", B_TITLED_WINDOW, 0),
		fMenu(menu),
		fJournal(journal)
	{
		// A bottom above the top: the field makes its own height.
		fField = new BMenuField(fieldFrame, "field", label, fMenu);
		fField->SetDivider(60);
		AddChild(fField);
	}

	void MessageReceived(BMessage* message) override
	{
		fJournal.Add("window:" + code_text(message->what));
	}

	BPopUpMenu* fMenu;
	BMenuField* fField;

private:
	Journal& fJournal;
};


// Tests of a field window through the test driver: the window is shown
// with the menu that MakeMenu() gives, and the journal starts empty.
class FieldTest : public ::testing::Test {
protected:
	virtual BPopUpMenu* MakeMenu() = 0;

	void Start(BRect fieldFrame, const char* label)
	{
		ASSERT_EQ(fDriver.Launch<interface_test::TestApplication>(), B_OK);
		fWindow = new FieldWindow(fJournal, MakeMenu(), fieldFrame, label);
		fWindow->Show();
		ASSERT_EQ(fDriver.WaitForIdle(), B_OK);
		fJournal.Clear();
	}

	// What the field shows.
	std::string Shown()
	{
		interface_test::WindowLocker locker(fWindow);
		return fWindow->fField->MenuItem()->Label();
	}

	Journal fJournal;
	TestDriver fDriver;
	FieldWindow* fWindow = NULL;
};

}	// namespace menu_test

#endif	// _MENU_TEST_SUPPORT_H
