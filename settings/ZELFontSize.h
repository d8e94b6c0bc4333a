/*
 * ZELFontSize: the settings window's pop-up field of whole font sizes,
 * one item for each size of a range, ascending. It shows the chosen size
 * as its label; choosing an item sends an empty 'FMsc' to the window
 * that holds the field.
 *
 * Threads: built on the thread that builds the window; used on the
 * window's thread.
 *
 * Owns: its pop-up menu, through BMenuField.
 */
#ifndef ZEL_FONT_SIZE_H
#define ZEL_FONT_SIZE_H

#include <MenuField.h>

class BPopUpMenu;


class ZELFontSize : public BMenuField {
public:
	// The sizes from smallest to largest; a swapped range lists the same.
								ZELFontSize(BRect frame, int16 smallest,
									int16 largest);
	virtual						~ZELFontSize();

	// The size the field shows; 0 (after printing why) when it shows no
	// number.
			void				GetFontSize(int32* size);
	// Marks the size's item; a size outside the range leaves no item
	// marked.
			void				SetFontSize(int32 size);

private:
			BPopUpMenu*			fMenu;
};

#endif	// ZEL_FONT_SIZE_H
