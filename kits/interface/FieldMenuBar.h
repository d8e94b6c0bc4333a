/*
 * Private to the interface kit: the one-item bar of a menu field. Its
 * menu pops up over the field, and it never becomes its window's key
 * menu bar. It runs on the field's window thread.
 */
#ifndef _KITS_FIELD_MENU_BAR_H
#define _KITS_FIELD_MENU_BAR_H

#include <MenuBar.h>

namespace BPrivate {

class FieldMenuBar : public BMenuBar {
public:
								FieldMenuBar(BRect frame);

	virtual	void				AttachedToWindow();
	virtual	void				Draw(BRect updateRect);
	virtual	void				GetPreferredSize(float* _width,
									float* _height);
};

}	// namespace BPrivate

#endif	// _KITS_FIELD_MENU_BAR_H
