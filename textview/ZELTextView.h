/*
 * ZELTextView: the editing surface of one document window. It loads the
 * document's file when it is made, shows the text in one font with the
 * line width the settings ask for, keeps the clean flag (true while the
 * text is what was last loaded or saved) and tells its window about the
 * first change, shows the current line in the window's status line,
 * hands files dropped on it to the application, and finds and replaces
 * text for the Edit menu and the find dialog. Typing, selection,
 * scrolling, the clipboard and undo are the platform text view's.
 *
 * Threads: its window's looper thread.
 *
 * Owns: its last search and replace texts, its page settings and its
 * document (the file, its stamp, the clean flag and the journal of
 * unsaved changes); the status view belongs to the window.
 */
#ifndef ZEL_TEXT_VIEW_H
#define ZEL_TEXT_VIEW_H

#include <TextView.h>

#include <vector>

#include "Document.h"

class BMessage;
class BStringView;
struct entry_ref;


class ZELTextView : public BTextView {
public:
	// The settings record is read during the call only; ref may be NULL
	// for an untitled document.
								ZELTextView(BRect frame, BMessage* settings,
									BStringView* status, entry_ref* ref);
	virtual						~ZELTextView();

	virtual	void				MessageReceived(BMessage* message);
	virtual	void				Pulse();

	// Applies a settings record: font family, size and line length.
	// Anything but a settings record changes nothing.
			void				AdjustView(BMessage* message);
	// Fills the still empty view with the file's bytes, unchanged.
			void				LoadFile(entry_ref* ref);

	// Printing (ZELTextViewPrinting.cpp). PageSetup() runs the page setup
	// dialog and keeps its choices: B_OK when it was confirmed, anything
	// else when cancelled, the kept choices then unchanged. Print() runs
	// the page setup first if there never was one, then the print
	// dialog, and prints the chosen pages of whole lines.
			status_t			PageSetup(const char* jobName);
			void				Print(const char* jobName);
	// Find and replace. Find selects the next occurrence of the text
	// after the selection start, wrapping to the beginning, and scrolls
	// it into view; false, with the selection unchanged, when there is
	// none or the text is empty. Replace replaces that occurrence and
	// selects the replacement. ReplaceAll replaces every occurrence the
	// text had when it began, in the order Find visits them, as one
	// change that one undo takes back, and selects the last replacement
	// without scrolling.
			bool				Find(const char* text);
			void				Replace(const char* text,
									const char* replacement);
			void				ReplaceAll(const char* text,
									const char* replacement);

	// The clean flag, which the window reads before closing and sets
	// after every successful save; the document keeps it.
			bool				IsClean() const
									{ return fDocument.IsClean(); }
			void				SetClean(bool clean)
									{ fDocument.SetClean(clean); }

	// The file on disk as the text last matched it: stamped when the file
	// was loaded, and after every save. Unknown when the file's content
	// never reached the view.
			const FileStamp&	DiskStamp() const
									{ return fDocument.DiskStamp(); }
			void				SetDiskStamp(const FileStamp& stamp)
									{ fDocument.SetDiskStamp(stamp); }

	// The document the view shows: its file, stamp, clean flag and
	// journal.
			Document&			GetDocument() { return fDocument; }
	// Puts a recovered journal's text in place of the loaded file's, as
	// no change of its own and no step to undo.
			Document::recovery	Recover(std::unique_ptr<RecoveredJournal>
									journal);

protected:
	virtual	void				InsertText(const char* text, int32 length,
									int32 offset,
									const text_run_array* runs);
	virtual	void				DeleteText(int32 start, int32 finish);

private:
			void				_NoteChange();
			void				_HandleDrop(BMessage* message);
			void				_TellPageTooSmall();
			void				_OpenSearch(bool findOnly);
			void				_HandleSearchRequest(BMessage* message);
			int32				_FindAndSelect(const char* text);
			void				_PrintReplaceAllLines(int32 start,
									int32 end, int32 length,
									const std::vector<int32>& ascending,
									int32 wrapped, int32 searchLength,
									int32 replacementLength);

			char*				fLastSearch;
			char*				fLastReplace;
			BStringView*		fStatusView;
			BMessage*			fPageSettings;
			Document			fDocument;
};

#endif	// ZEL_TEXT_VIEW_H
