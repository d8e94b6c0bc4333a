/*
 * BFilePanel: the Open and Save panels, a window in which the user picks
 * files to open or a folder and a name to save under. The panel tells
 * its target by message:
 *
 *   an open panel sends B_REFS_RECEIVED with one "refs" entry_ref per
 *   chosen entry, in the order the panel lists them;
 *   a save panel sends B_SAVE_REQUESTED with "directory" (entry_ref, the
 *   folder) and "name" (string, the leaf name typed by the user);
 *   with a message of the caller's, a copy of that message is sent
 *   instead, with the same fields added;
 *   whenever the panel is hidden (Cancel, the close box, Escape, Hide(),
 *   or after a choice when it hides when done), it sends B_CANCEL with
 *   "old_what" (int32, the what it sends on a choice) and "source"
 *   (pointer, the BFilePanel). A choice therefore reaches the target
 *   before the B_CANCEL of the hiding that follows it.
 *
 * Without a target the messages go to be_app. nodeFlavors says what may
 * be chosen in an open panel (B_FILE_NODE, B_DIRECTORY_NODE,
 * B_SYMLINK_NODE; 0 is B_FILE_NODE); folders are always listed so the
 * user can move around. Hidden entries (names starting with ".") are not
 * listed. A save panel asks before it replaces an existing file.
 *
 * Threads: the panel's window runs its own looper thread from the first
 * Show(). The BFilePanel itself may be used from any one thread at a
 * time; each call locks the window. The window is constructed locked by
 * the thread that makes the panel, as any window, until the first
 * Show().
 *
 * Owns: its window (quit when the panel is deleted), a copy of the
 * message and of the target; not the filter, which must outlive it.
 */
#ifndef _FILE_PANEL_H
#define _FILE_PANEL_H

#include <Entry.h>
#include <Messenger.h>
#include <StorageDefs.h>
#include <SupportDefs.h>

#include <sys/stat.h>

class BDirectory;
class BMessage;
class BNode;
class BWindow;

namespace BPrivate {
class FilePanelWindow;
}

enum file_panel_mode {
	B_OPEN_PANEL,
	B_SAVE_PANEL
};

enum file_panel_button {
	B_CANCEL_BUTTON,
	B_DEFAULT_BUTTON
};


// Decides which entries a panel lists. Filter() runs on the panel's
// thread for every entry of a folder being listed; node is open on the
// entry (it may have failed to open: check InitCheck()), stat describes
// the entry itself (a symbolic link is not followed), and filetype is
// "application/x-vnd.Be-directory" for folders,
// "application/x-vnd.Be-symlink" for links and
// "application/octet-stream" for everything else.
class BRefFilter {
public:
	virtual						~BRefFilter() {}
	// True keeps the entry in the list.
	virtual	bool				Filter(const entry_ref* ref, BNode* node,
									struct stat* stat,
									const char* filetype) = 0;
};


class BFilePanel {
public:
								BFilePanel(
									file_panel_mode mode = B_OPEN_PANEL,
									BMessenger* target = NULL,
									const entry_ref* directory = NULL,
									uint32 nodeFlavors = 0,
									bool allowMultipleSelection = true,
									BMessage* message = NULL,
									BRefFilter* filter = NULL,
									bool modal = false,
									bool hideWhenDone = true);
	// Quits the window; no B_CANCEL is sent.
	virtual						~BFilePanel();

	// Showing. Show() lists the folder afresh and brings the panel to the
	// front; Hide() sends B_CANCEL when the panel was showing.
			void				Show();
			void				Hide();
			bool				IsShowing() const;

	// Hooks, called on the panel's thread.
	// After the panel was hidden.
	virtual	void				WasHidden();
	// After the selection in the list changed.
	virtual	void				SelectionChanged();

	// Where replies go and what they are. A messenger that targets
	// nothing (BMessenger()) means be_app. The panel keeps a copy of the
	// message; NULL returns to the default message.
			void				SetTarget(BMessenger target);
			void				SetMessage(BMessage* message);
			BMessenger			Messenger() const;

	// What is listed.
			void				SetRefFilter(BRefFilter* filter);
			BRefFilter*			RefFilter() const;
	// Lists the current folder again.
			void				Refresh();

	// The folder shown. NULL (for any of them) is the folder a new panel
	// shows: the user's home. A folder that cannot be read is still
	// entered; the panel says why it shows nothing.
			void				SetPanelDirectory(const BEntry* entry);
			void				SetPanelDirectory(const BDirectory* directory);
			void				SetPanelDirectory(const entry_ref* ref);
			void				SetPanelDirectory(const char* path);
			void				GetPanelDirectory(entry_ref* ref) const;

	// The name a save panel proposes; it shows selected, ready to be
	// typed over. Ignored by an open panel.
			void				SetSaveText(const char* text);
	// The labels of the Cancel and the Open or Save button.
			void				SetButtonLabel(file_panel_button button,
									const char* label);

	// The entries selected in the list now, in list order. Rewind()
	// starts again; GetNextSelectedRef() returns B_ENTRY_NOT_FOUND after
	// the last.
			void				Rewind();
			status_t			GetNextSelectedRef(entry_ref* ref);

	// Behaviour
			void				SetHideWhenDone(bool hideWhenDone);
			bool				HidesWhenDone() const;
			file_panel_mode		PanelMode() const;

	// The panel's window, for its title and the like. Lock it before
	// touching it.
			BWindow*			Window() const;

private:
								BFilePanel(const BFilePanel&) = delete;
			BFilePanel&			operator=(const BFilePanel&) = delete;

			BPrivate::FilePanelWindow* fWindow;
	// Reaches the window only while it exists: the application may close
	// it when it quits, before the panel is deleted.
			BMessenger			fWindowMessenger;
	// Where GetNextSelectedRef() is in the selection taken by Rewind().
			int32				fSelectionIndex;
};

#endif	// _FILE_PANEL_H
