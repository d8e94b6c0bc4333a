/*
 * ZELWindow: the window of one document. It holds a menu bar, the
 * document's text view in a scroll view, and a status line in the lower
 * left corner; it saves the text (Save, Save As with the save panel),
 * keeps its title after the document's file, and asks before a changed
 * document is closed.
 *
 * Threads: built on the application's thread, then runs on its own
 * looper thread from Show() on.
 *
 * Owns: its view tree and its save panel with the messenger the panel
 * answers through. The document (its file reference, stamp, clean flag
 * and journal) is its text view's.
 */
#ifndef ZEL_WINDOW_H
#define ZEL_WINDOW_H

#include <Window.h>

#include <memory>
#include <string>

class BFilePanel;
class BMenuBar;
class BMessenger;
class Document;
class ZELTextView;
struct RecoveredJournal;
struct entry_ref;


class ZELWindow : public BWindow {
public:
	// The settings record is the application's; the window hands it to
	// its text view and does not keep it. ref may be NULL.
								ZELWindow(BRect frame, entry_ref* ref,
									int16 number, BMessage* settings);
	// A window for a document recovered from its journal: the file's text
	// as the journal left it, changed and not saved yet.
								ZELWindow(BRect frame, entry_ref* ref,
									int16 number, BMessage* settings,
									std::unique_ptr<RecoveredJournal>
										recovered);
	virtual						~ZELWindow();

	virtual	void				MessageReceived(BMessage* message);
	virtual	bool				QuitRequested();

	// Writes the whole text to the file; 0 on success, -1 after telling
	// the user why not (or after the user chose not to overwrite).
			int32				SaveText(entry_ref* ref);
			void				DeleteSavePanel();
			void				CreateSavePanel();
	// The file's name, or "Untitled - <number>".
			void				AdaptTitle();

	// What became of the recovered journal the window was made with, for
	// the notice the application gives: empty when there was none.
			const std::string&	RecoveryNote() const { return fRecoveryNote; }

private:
			void				_Build(entry_ref* ref, BMessage* settings);
			void				_Recover(std::unique_ptr<RecoveredJournal>
									recovered);
			void				_TellAboutLeftOverCopy();
			void				_BuildMenus();
			void				_Save();
			void				_SaveAs();
			void				_SaveRequested(BMessage* message);
			void				_ShowSavePanelForUntitled();
			void				_UpdateOpenFolder();
			void				_SetSaveEnabled(bool enabled);
	// Whether the document may be written over the file the reference
	// names: asks when the file holds what the document never saw.
	// _knewTheFile tells whether the file held what the window knew.
			bool				_MayOverwrite(const entry_ref* ref,
									bool* _knewTheFile);
	// Asks whether to write over the file where it is, at the risk of
	// damaging it, as the only way left to save it.
			bool				_MayOverwriteInPlace(const entry_ref* ref,
									status_t reason);
	// Tells the user, and standard output, that the file was written but
	// its folder could not be synced.
			void				_FolderNotSynced(const entry_ref* ref,
									status_t status);
	// Tells the user, and standard output, that saving failed and why.
			void				_SaveFailed(const entry_ref* ref,
									status_t status,
									const std::string& backupPath);

			ZELTextView*		fTextView;
			Document*			fDocument;
			BMenuBar*			fMenuBar;
			int16				fNumber;
			BFilePanel*			fSavePanel;
			BMessenger*			fSavePanelMessenger;
			std::string			fRecoveryNote;
};

#endif	// ZEL_WINDOW_H
