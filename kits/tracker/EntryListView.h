/*
 * EntryListView: the list of a file panel: one row per entry of the
 * folder shown, a mark telling folders from files, then the name. The
 * user selects with the mouse (a click selects one row; with multiple
 * selection, Shift extends from the last row clicked and Command adds
 * or removes one) and the keyboard (Up, Down, Page Up, Page Down, Home,
 * End, Shift with them to extend, B_SELECT_ALL (Command+A), typing the start
 * of a name to jump to it). A double click or Enter invokes; Backspace
 * asks for the folder above. When the folder could not be read the list
 * shows why instead of rows. In a BScrollView its vertical bar follows
 * the rows.
 *
 * It tells its window by posting kMsgSelectionChanged, kMsgInvoked (with
 * "index" for a double click; without it Enter meant the selection) and
 * kMsgGoUp to the window itself.
 *
 * Threads: the window's. Owns: a copy of the entries it shows.
 */
#ifndef _KITS_ENTRY_LIST_VIEW_H
#define _KITS_ENTRY_LIST_VIEW_H

#include <View.h>

#include "AccessibleRows.h"
#include "FolderListing.h"

#include <string>
#include <vector>

namespace BPrivate {

class EntryListView : public BView, public AccessibleRows {
public:
	static const uint32			kMsgSelectionChanged = 'fpSC';
	static const uint32			kMsgInvoked = 'fpIV';
	static const uint32			kMsgGoUp = 'fpUP';

								EntryListView(BRect frame, const char* name,
									uint32 resizingMode);

	// Shows the entries, nothing selected and scrolled to the top; with
	// a message (a failed listing), shows the message instead.
			void				SetEntries(
									const std::vector<folder_entry>& entries,
									const char* message = NULL);
			void				SetMultipleSelection(bool multiple);
			bool				MultipleSelection() const
									{ return fMultiple; }

			int32				CountEntries() const
									{ return (int32)fEntries.size(); }
	// NULL outside the list.
			const folder_entry*	EntryAt(int32 index) const;
			int32				IndexOf(const char* name) const;
			const char*			Message() const { return fMessage.c_str(); }

	// Selection. Select() without extend selects that row alone; indices
	// outside the list deselect everything.
			void				Select(int32 index, bool extend = false);
			void				DeselectAll();
	// Only with multiple selection; B_SELECT_ALL (Command+A) calls it.
			void				SelectAll();
			bool				IsSelected(int32 index) const;
	// The selected rows, top to bottom.
			std::vector<int32>	Selection() const;
	// The row the keyboard is on, or -1.
			int32				CurrentIndex() const { return fCurrent; }

	// Geometry, in the view's coordinates.
			float				RowHeight() const { return fRowHeight; }
			BRect				RowFrame(int32 index) const;
	// The row at the point, or -1.
			int32				IndexAt(BPoint where) const;
	// Scrolls as little as needed to show the whole row.
			void				ScrollToRow(int32 index);
	// The height all rows together need.
			float				ContentHeight() const;

	virtual	void				AttachedToWindow();
	virtual	void				FrameResized(float width, float height);
	virtual	void				Draw(BRect updateRect);
	virtual	void				MouseDown(BPoint where);
	virtual	void				KeyDown(const char* bytes, int32 numBytes);
	virtual	void				MessageReceived(BMessage* message);
	virtual	void				MakeFocus(bool focus = true);
	// The focus mark shows only while the window is active.
	virtual	void				WindowActivated(bool active);

	// What a screen reader reads: a row is its name, "folder" for a
	// folder, then the size and date as the columns show them.
	virtual	std::string			AccessibleListName() const;
	virtual	int32				CountAccessibleRows() const
									{ return CountEntries(); }
	virtual	std::string			AccessibleRowName(int32 index) const;
	virtual	bool				IsAccessibleRowSelected(int32 index) const
									{ return IsSelected(index); }
	virtual	void				InvokeAccessibleRow(int32 index);

private:
			void				_Notify(uint32 what, int32 index = -1);
			void				_SelectRange(int32 from, int32 to);
			void				_MoveTo(int32 index, bool extend);
			void				_Click(int32 index, uint32 modifiers,
									int32 clicks);
			void				_TypeAhead(const char* bytes);
			void				_InvalidateRow(int32 index);
			void				_DrawDocument(BRect sheet);
			void				_DrawColumns(const folder_entry& entry,
									BRect frame);
			void				_DrawMark(const folder_entry& entry,
									BRect frame);
			int32				_RowsPerPage() const;
			void				_UpdateScrollBar();

			std::vector<folder_entry> fEntries;
	// Parallel to fEntries.
			std::vector<bool>	fSelected;
	// The row the keyboard is on, and where Shift extends from.
			int32				fCurrent;
			int32				fAnchor;
			bool				fMultiple;
	// Shown instead of the rows when not empty.
			std::string			fMessage;
			float				fRowHeight;
			float				fBaseline;
	// The widths of the date and the size columns.
			float				fDateWidth;
			float				fSizeWidth;
	// What was typed for type-ahead, and when the last key came.
			std::string			fTyped;
			bigtime_t			fLastTyped;
};

}	// namespace BPrivate

#endif	// _KITS_ENTRY_LIST_VIEW_H
