/*
 * PlacesView: the places column of a file panel, one row per place, the
 * folder shown marked. A click on a row posts kMsgPlaceChosen with the
 * place's "path" to the window, which goes there.
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

			BRect				RowFrame(int32 index) const;
	// The row at the point, or -1.
			int32				IndexAt(BPoint where) const;

	virtual	void				AttachedToWindow();
	virtual	void				Draw(BRect updateRect);
	virtual	void				MouseDown(BPoint where);

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

			std::vector<panel_place> fPlaces;
			std::string			fCurrentPath;
			int32				fCurrent;
			float				fRowHeight;
			float				fBaseline;
};

}	// namespace BPrivate

#endif	// _KITS_PLACES_VIEW_H
