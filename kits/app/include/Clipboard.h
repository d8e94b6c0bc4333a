/*
 * BClipboard: the clipboard of the system, or a clipboard of the
 * application's own. Its data is a BMessage; text goes in the field
 * "text/plain" as B_MIME_TYPE data.
 *
 * be_clipboard exchanges text with the clipboard of the screen, which
 * carries only text: NUL bytes are left out there and bytes that are not
 * UTF-8 become U+FFFD. The clipboard keeps its own exact copy of what
 * this application committed, so while the screen still holds the text
 * it was given, Data() yields the committed bytes exactly; once another
 * program put something there, Data() yields that.
 *
 * Threads: any; Lock() serialises them. Data() may be used only while
 * the clipboard is locked.
 * Owns: its data message.
 */
#ifndef _CLIPBOARD_H
#define _CLIPBOARD_H

#include <SupportDefs.h>

class BMessage;

namespace BPrivate {
struct clipboard_data;
}

class BClipboard {
public:
	// A NULL name or "system" is the system clipboard; any other name a
	// clipboard that lives in this application only.
								BClipboard(const char* name,
									bool transient = false);
	virtual						~BClipboard();

			const char*			Name() const;

	// How many times the data was committed, here and for the system.
			uint32				LocalCount() const;
			uint32				SystemCount() const;

	// Lock() takes in what the clipboard holds now. Locks nest on one
	// thread.
			bool				Lock();
			void				Unlock();
			bool				IsLocked() const;

	// Empties the data; Commit() publishes it. B_NOT_ALLOWED unless
	// locked.
			status_t			Clear();
			status_t			Commit();
			status_t			Commit(bool failIfChanged);
	// Takes the data back to what was last committed or taken in.
			status_t			Revert();

	// NULL unless locked.
			BMessage*			Data() const;

private:
								BClipboard(const BClipboard&) = delete;
			BClipboard&			operator=(const BClipboard&) = delete;

			void				_TakeIn();

			BPrivate::clipboard_data* fData;
};

extern BClipboard* be_clipboard;

#endif	// _CLIPBOARD_H
