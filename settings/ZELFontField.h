/*
 * ZELFontField: the settings window's pop-up field of font families. It
 * lists every installed family in the order the system gives them and
 * shows the chosen one as its label. Choosing an item sends an empty
 * 'FMfc' to the window that holds the field; the receiver asks the field
 * for the family.
 *
 * Threads: built on the thread that builds the window; used on the
 * window's thread.
 *
 * Owns: its pop-up menu, through BMenuField.
 */
#ifndef ZEL_FONT_FIELD_H
#define ZEL_FONT_FIELD_H

#include <Font.h>
#include <MenuField.h>

class BPopUpMenu;


class ZELFontField : public BMenuField {
public:
								ZELFontField(BRect frame);
	virtual						~ZELFontField();

	// The family the field shows; an empty string when it shows none.
			void				GetFontFamily(
									char (*family)[B_FONT_FAMILY_LENGTH + 1]);
	// Marks the family's item. A name that no item carries (one longer
	// than a family name can be included) leaves no item marked.
			void				SetFontFamily(const char* family);

private:
			BPopUpMenu*			fMenu;
};

#endif	// ZEL_FONT_FIELD_H
