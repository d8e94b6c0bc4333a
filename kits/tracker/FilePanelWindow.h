/*
 * FilePanelWindow: the window of a BFilePanel and everything the panel
 * does: it lists a folder, moves between folders, keeps the selection
 * and the proposed name, decides what a choice means and sends the
 * panel's messages to its target.
 *
 * Threads: its own looper thread. BFilePanel calls in with the window
 * locked. Owns: its views, the panel's message copy, its target; not the
 * filter and not the BFilePanel, which owns the window and detaches
 * itself before it quits it.
 */
#ifndef _KITS_FILE_PANEL_WINDOW_H
#define _KITS_FILE_PANEL_WINDOW_H

#include <FilePanel.h>
#include <Message.h>
#include <Messenger.h>
#include <Window.h>

class BButton;
class BStringView;
class BTextControl;

#include "FolderListing.h"

#include <string>
#include <vector>

namespace BPrivate {

class EntryListView;
class PlacesView;

class FilePanelWindow : public BWindow {
public:
	// Messages among the panel's views.
	static const uint32			kMsgDefaultButton = 'fpDB';
	static const uint32			kMsgCancelButton = 'fpCB';
	// The answer to whether an existing file may be replaced.
	static const uint32			kMsgReplaceAnswer = 'fpRA';
	static const uint32			kMsgNameEdited = 'fpNE';
	static const uint32			kMsgNewFolder = 'fpNF';

								FilePanelWindow(BFilePanel* panel,
									file_panel_mode mode,
									const BMessenger* target,
									const entry_ref* directory,
									uint32 nodeFlavors, bool multiple,
									const BMessage* message,
									BRefFilter* filter, bool modal,
									bool hideWhenDone);
	virtual						~FilePanelWindow();

	// The BFilePanel is going away: no hook or "source" refers to it
	// from now on.
			void				DetachPanel() { fPanel = NULL; }

	// Showing. ShowPanel() lists the folder again, nothing selected;
	// HidePanel() sends the B_CANCEL notice when the panel was showing.
			void				ShowPanel();
			void				HidePanel();
			bool				IsShowing() const;

	// Replies
			void				SetTarget(const BMessenger& target);
			BMessenger			Target() const;
			void				SetMessage(const BMessage* message);

	// The folder
			void				SetRefFilter(BRefFilter* filter);
			BRefFilter*			RefFilter() const { return fFilter; }
	// Enters the folder (following links); NULL is the user's home. An
	// entry that is not a folder is ignored, with B_NOT_A_DIRECTORY.
			status_t			SetFolder(const entry_ref* folder);
			status_t			SetFolder(const char* path);
			entry_ref			Folder() const { return fFolder; }
	// Reads the folder again, keeping what stays selected.
			void				Refresh();
			const FolderListing& Listing() const { return fListing; }

	// The name proposed in a save panel.
			void				SetSaveText(const char* text);
			const char*			SaveText() const;
			void				SetButtonLabel(file_panel_button button,
									const char* label);
	// The selected entries, in list order.
			std::vector<entry_ref> SelectedRefs() const;

			void				SetHideWhenDone(bool hide)
									{ fHideWhenDone = hide; }
			bool				HidesWhenDone() const
									{ return fHideWhenDone; }
			file_panel_mode		Mode() const { return fMode; }
			uint32				NodeFlavors() const { return fFlavors; }

	// What the panel says about the last thing that went wrong (a typed
	// name that cannot be used); empty when nothing did.
			const char*			StatusText() const
									{ return fStatusText.c_str(); }

			EntryListView*		List() const { return fList; }
			PlacesView*			Places() const { return fPlacesView; }
			BButton*			Button(file_panel_button which) const;
			BTextControl*		PathField() const { return fPathField; }
	// NULL in an open panel.
			BTextControl*		NameField() const { return fNameField; }

	virtual	void				DispatchMessage(BMessage* message,
									BHandler* handler);
	virtual	void				MessageReceived(BMessage* message);
	// The application quitting may close the panel; the close box only
	// hides it (see DispatchMessage()).
	virtual	bool				QuitRequested();

private:
			void				_BuildViews();
			BWindow*			_ServedWindow() const;
			void				_NewFolder();
			entry_ref			_HomeFolder() const;
			void				_ShowListing();
			void				_UpdateControls();
			bool				_CanConfirm() const;
			void				_SetStatus(const char* text);

	// What the user asks for
			void				_DefaultButton();
			void				_Invoked(int32 index);
			void				_GoUp();
			void				_GoToPlace(const char* path);
			bool				_PathFieldHasFocus() const;
			void				_GoToTypedPath();
			void				_SelectionChanged();

	// Choices
			void				_ChooseSelection();
			void				_ConfirmSave(const char* typed);
			void				_Save(const entry_ref& folder,
									const std::string& name);
			void				_ReplaceAnswered(BMessage* answer);
			void				_SendSave(const entry_ref& folder,
									const std::string& name);
			void				_Done(BMessage* reply);
			void				_HideWindow();
			void				_SendCancelNotice();
			status_t			_Send(BMessage* message);

			BFilePanel*			fPanel;
			file_panel_mode		fMode;
			BMessenger			fTarget;
	// Without a target of their own the messages go to be_app.
			bool				fHasTarget;
			BMessage*			fMessage;
			BRefFilter*			fFilter;
			uint32				fFlavors;
			bool				fMultiple;
			bool				fHideWhenDone;
	// Set between ShowPanel() and HidePanel().
			bool				fShowing;

			entry_ref			fFolder;
			FolderListing		fListing;
			std::string			fSaveText;
			std::string			fStatusText;
			std::string			fDefaultLabel;
			std::string			fCancelLabel;

			EntryListView*		fList;
			BButton*			fUpButton;
			BButton*			fDefaultButton;
			BButton*			fCancelButton;
	// The path of the folder shown, where another can be typed; the
	// name of a save panel (NULL in an open panel); what went wrong last.
			BTextControl*		fPathField;
			BTextControl*		fNameField;
			BStringView*		fStatusView;
			PlacesView*			fPlacesView;
};

}	// namespace BPrivate

#endif	// _KITS_FILE_PANEL_WINDOW_H
