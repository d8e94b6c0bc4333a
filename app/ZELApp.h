/*
 * ZELApp: Orvane's application object. It opens a document window for
 * every file it is given (command line, file references from the file
 * manager, a later launch, the Open panel, drops), cascades the windows,
 * counts them and quits after the last one has closed. It holds the
 * current settings record, which every new window shows and every
 * settings change replaces, and the built-in default record.
 *
 * Threads: every hook runs on the application's looper thread, so the
 * count, the cascade frame, the panel and both records need no lock.
 *
 * It also keeps the recovery journals of unsaved changes: at the start it
 * opens every document an earlier run left unsaved, in a window of its
 * own as it was, and tells the person once.
 *
 * Owns: both settings records, the Open panel and the journal writer.
 */
#ifndef ZEL_APP_H
#define ZEL_APP_H

#include <Application.h>
#include <Message.h>
#include <Rect.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

class BFilePanel;
class JournalWriter;
struct RecoveredJournal;
struct entry_ref;

// The application's signature.
extern const char* APP_SIG;
// The first document window's frame, and where the cascade starts again.
extern BRect DefaultRect;


class ZELApp : public BApplication {
public:
								ZELApp();
	virtual						~ZELApp();

	virtual	void				MessageReceived(BMessage* message);
	virtual	void				ReadyToRun();
	virtual	void				ArgvReceived(int32 argc, char** argv);
	virtual	void				RefsReceived(BMessage* message);
	virtual	void				AboutRequested();
	// Puts every journal on disk first, whatever the windows answer.
	virtual	bool				QuitRequested();

	// Opens a document window for the file, or an untitled one for NULL.
			void				NewWindow(entry_ref* ref);

	// For tests and the settings window: the records as they stand.
			const BMessage&		CurrentSettings() const
									{ return fCurrentSettings; }
			const BMessage&		DefaultSettingsRecord() const
									{ return fDefaultSettings; }
			int32				OpenWindowCount() const
									{ return fOpenWindowCount; }

private:
			void				_NewWindow(entry_ref* ref, int16 number,
									std::unique_ptr<RecoveredJournal>
										recovered);
	// The journals an earlier run left, read once, when first asked for.
			void				_FindRecovered();
	// The recovered journal of the file, taken off the list; NULL for
	// none.
			std::unique_ptr<RecoveredJournal> _TakeRecovered(
									const entry_ref* ref);
			void				_OpenRecovered();
			void				_ShowOpenPanel(BMessage* message);
			void				_WindowClosed();
			void				_ApplySettings(BMessage* message);

	// Raised for every document window made, lowered for every one that
	// closed; the value after raising is the new window's number.
			int32				fOpenWindowCount;
			BRect				fNextWindowFrame;
			BFilePanel*			fOpenPanel;
			BMessage			fCurrentSettings;
			BMessage			fDefaultSettings;
			std::unique_ptr<JournalWriter> fJournals;
			bool				fRecoveredFound;
			std::vector<std::unique_ptr<RecoveredJournal>> fRecovered;
	// What the windows made from journals said, for the one notice.
			std::vector<std::string> fRecoveryNotes;
	// The numbers of the untitled windows that came back.
			std::set<int16>		fRecoveredNumbers;
};

#endif	// ZEL_APP_H
