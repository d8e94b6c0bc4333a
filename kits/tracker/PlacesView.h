/*
 * PlacesView: the places column of a file panel, one row per place, the
 * folder shown marked. A click on a row posts kMsgPlaceChosen with the
 * place's "path" to the window, which goes there. From the keyboard the
 * column is a list of its own: focused, it frames one row in the
 * navigation colour, the arrows, Home and End move that frame, and Enter
 * or Space chooses its place as a click would.
 *
 * Threads: the window's. Owns: a copy of the places.
 */
#ifndef _KITS_PLACES_VIEW_H
#define _KITS_PLACES_VIEW_H

#include <View.h>

#include "AccessibleRows.h"
#include "PanelPlaces.h"

#include <string>
#include <vector>

namespace BPrivate {

class PlacesView : public BView, public AccessibleRows {
public:
	static const uint32			kMsgPlaceChosen = 'fpPL';

								PlacesView(BRect frame, const char* name,
									uint32 resizingMode);

			void				SetPlaces(
									const std::vector<panel_place>& places);
			const std::vector<panel_place>& Places() const
									{ return fPlaces; }
	// Marks the place that is this folder, if any, now and whenever the
	// places change.
			void				SetCurrentPath(const std::string& path);
	// The marked row, or -1.
			int32				CurrentIndex() const { return fCurrent; }
	// The row the keyboard is on, or -1 while the column has no places.
			int32				KeyboardIndex() const { return fKeyboard; }

			BRect				RowFrame(int32 index) const;
	// The row at the point, or -1.
			int32				IndexAt(BPoint where) const;

	virtual	void				AttachedToWindow();
	virtual	void				Draw(BRect updateRect);
	virtual	void				MouseDown(BPoint where);
	virtual	void				MakeFocus(bool focus = true);
	// The focus mark shows only while the window is active.
	virtual	void				WindowActivated(bool active);
	virtual	void				KeyDown(const char* bytes, int32 numBytes);

	virtual	std::string			AccessibleListName() const
									{ return "Places"; }
	virtual	int32				CountAccessibleRows() const
									{ return (int32)fPlaces.size(); }
	virtual	std::string			AccessibleRowName(int32 index) const;
	virtual	bool				IsAccessibleRowSelected(int32 index) const
									{ return index == fCurrent; }
	virtual	void				InvokeAccessibleRow(int32 index);

private:
			void				_MarkCurrent();
			void				_MoveKeyboardTo(int32 index);
			void				_Choose(int32 index);

			std::vector<panel_place> fPlaces;
			std::string			fCurrentPath;
			int32				fCurrent;
	// Where the keyboard is; starts on the folder shown (or the first
	// place) each time the column takes the focus.
			int32				fKeyboard;
			float				fRowHeight;
			float				fBaseline;
};

}	// namespace BPrivate

#endif	// _KITS_PLACES_VIEW_H
