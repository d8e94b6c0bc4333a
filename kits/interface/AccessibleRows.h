/*
 * Private to the kits: a view that shows a list of rows (a file panel's
 * entries, its places) tells the accessibility bridge about them through
 * this interface, which it inherits beside BView.
 *
 * Threads: the view's window, locked.
 */
#ifndef _KITS_ACCESSIBLE_ROWS_H
#define _KITS_ACCESSIBLE_ROWS_H

#include <SupportDefs.h>

#include <string>

namespace BPrivate {

class AccessibleRows {
public:
	virtual						~AccessibleRows() {}

	virtual	std::string			AccessibleListName() const = 0;
	virtual	int32				CountAccessibleRows() const = 0;
	// What a screen reader speaks for the row: its columns, in order.
	virtual	std::string			AccessibleRowName(int32 index) const = 0;
	virtual	bool				IsAccessibleRowSelected(int32 index) const = 0;
	// As a double click on the row does.
	virtual	void				InvokeAccessibleRow(int32 index) = 0;
};

}	// namespace BPrivate

#endif	// _KITS_ACCESSIBLE_ROWS_H
