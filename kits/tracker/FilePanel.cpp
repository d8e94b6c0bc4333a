/*
 * BFilePanel: the caller's side of the panel. Every call locks the
 * panel's window through a messenger, so a window that the application
 * closed while quitting is never touched again.
 */
#include <FilePanel.h>

#include <Directory.h>
#include <Path.h>

#include "FilePanelWindow.h"

using BPrivate::FilePanelWindow;

namespace {

// Holds the panel window's lock for a scope; IsLocked() is false when
// the window has gone.
class PanelLock {
public:
	PanelLock(const BMessenger& window)
		: fWindow(window), fLocked(window.LockTarget()) {}
	~PanelLock()
	{
		BLooper* looper = NULL;
		if (fLocked && fWindow.Target(&looper) != NULL)
			looper->Unlock();
	}
	bool IsLocked() const { return fLocked; }

private:
	const BMessenger& fWindow;
	bool fLocked;
};

}	// namespace


BFilePanel::BFilePanel(file_panel_mode mode, BMessenger* target,
	const entry_ref* directory, uint32 nodeFlavors,
	bool allowMultipleSelection, BMessage* message, BRefFilter* filter,
	bool modal, bool hideWhenDone)
	:
	fWindow(new FilePanelWindow(this, mode, target, directory, nodeFlavors,
		allowMultipleSelection, message, filter, modal, hideWhenDone)),
	fWindowMessenger(fWindow),
	fSelectionIndex(0)
{
}


BFilePanel::~BFilePanel()
{
	if (!fWindowMessenger.LockTarget())
		return;
	fWindow->DetachPanel();
	fWindow->Quit();
}


void
BFilePanel::Show()
{
	PanelLock lock(fWindowMessenger);
	if (lock.IsLocked())
		fWindow->ShowPanel();
}


void
BFilePanel::Hide()
{
	PanelLock lock(fWindowMessenger);
	if (lock.IsLocked())
		fWindow->HidePanel();
}


bool
BFilePanel::IsShowing() const
{
	PanelLock lock(fWindowMessenger);
	return lock.IsLocked() && fWindow->IsShowing();
}


void
BFilePanel::WasHidden()
{
}


void
BFilePanel::SelectionChanged()
{
}


void
BFilePanel::SetTarget(BMessenger target)
{
	PanelLock lock(fWindowMessenger);
	if (lock.IsLocked())
		fWindow->SetTarget(target);
}


void
BFilePanel::SetMessage(BMessage* message)
{
	PanelLock lock(fWindowMessenger);
	if (lock.IsLocked())
		fWindow->SetMessage(message);
}


BMessenger
BFilePanel::Messenger() const
{
	PanelLock lock(fWindowMessenger);
	return lock.IsLocked() ? fWindow->Target() : BMessenger();
}


void
BFilePanel::SetRefFilter(BRefFilter* filter)
{
	PanelLock lock(fWindowMessenger);
	if (lock.IsLocked())
		fWindow->SetRefFilter(filter);
}


BRefFilter*
BFilePanel::RefFilter() const
{
	PanelLock lock(fWindowMessenger);
	return lock.IsLocked() ? fWindow->RefFilter() : NULL;
}


void
BFilePanel::Refresh()
{
	PanelLock lock(fWindowMessenger);
	if (lock.IsLocked())
		fWindow->Refresh();
}


void
BFilePanel::SetPanelDirectory(const BEntry* entry)
{
	entry_ref ref;
	if (entry != NULL && entry->GetRef(&ref) == B_OK)
		SetPanelDirectory(&ref);
	else
		SetPanelDirectory((const entry_ref*)NULL);
}


void
BFilePanel::SetPanelDirectory(const BDirectory* directory)
{
	BEntry entry;
	if (directory != NULL && directory->GetEntry(&entry) == B_OK)
		SetPanelDirectory(&entry);
	else
		SetPanelDirectory((const entry_ref*)NULL);
}


void
BFilePanel::SetPanelDirectory(const entry_ref* ref)
{
	PanelLock lock(fWindowMessenger);
	if (lock.IsLocked())
		fWindow->SetFolder(ref);
}


void
BFilePanel::SetPanelDirectory(const char* path)
{
	PanelLock lock(fWindowMessenger);
	if (lock.IsLocked())
		fWindow->SetFolder(path);
}


void
BFilePanel::GetPanelDirectory(entry_ref* ref) const
{
	if (ref == NULL)
		return;
	PanelLock lock(fWindowMessenger);
	if (lock.IsLocked())
		*ref = fWindow->Folder();
}


void
BFilePanel::SetSaveText(const char* text)
{
	PanelLock lock(fWindowMessenger);
	if (lock.IsLocked() && fWindow->Mode() == B_SAVE_PANEL)
		fWindow->SetSaveText(text);
}


void
BFilePanel::SetButtonLabel(file_panel_button button, const char* label)
{
	PanelLock lock(fWindowMessenger);
	if (lock.IsLocked())
		fWindow->SetButtonLabel(button, label);
}


void
BFilePanel::Rewind()
{
	fSelectionIndex = 0;
}


status_t
BFilePanel::GetNextSelectedRef(entry_ref* ref)
{
	if (ref == NULL)
		return B_BAD_VALUE;
	PanelLock lock(fWindowMessenger);
	if (!lock.IsLocked())
		return B_ENTRY_NOT_FOUND;
	std::vector<entry_ref> refs = fWindow->SelectedRefs();
	if (fSelectionIndex < 0 || fSelectionIndex >= (int32)refs.size())
		return B_ENTRY_NOT_FOUND;
	*ref = refs[fSelectionIndex++];
	return B_OK;
}


void
BFilePanel::SetHideWhenDone(bool hideWhenDone)
{
	PanelLock lock(fWindowMessenger);
	if (lock.IsLocked())
		fWindow->SetHideWhenDone(hideWhenDone);
}


bool
BFilePanel::HidesWhenDone() const
{
	PanelLock lock(fWindowMessenger);
	return lock.IsLocked() && fWindow->HidesWhenDone();
}


file_panel_mode
BFilePanel::PanelMode() const
{
	PanelLock lock(fWindowMessenger);
	return lock.IsLocked() ? fWindow->Mode() : B_OPEN_PANEL;
}


BWindow*
BFilePanel::Window() const
{
	return fWindow;
}
