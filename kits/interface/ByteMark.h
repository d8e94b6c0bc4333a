/*
 * Private to the kits: the mark a text view shows for a byte that has no
 * picture in any installed font, or that is not part of any character (a
 * byte that is not UTF-8). It is the byte's two hex digits, small, in a
 * box, so that every one of the 256 byte values looks different.
 *
 * Threads: the owning view's. Owns a copy of the font it was made for.
 */
#ifndef _KITS_BYTE_MARK_H
#define _KITS_BYTE_MARK_H

#include <Font.h>
#include <Point.h>

class BView;

namespace BPrivate {

class ByteMark {
public:
								ByteMark();

	// Sizes the mark for text in this font, whose lines are lineHeight
	// high with the baseline ceil(ascent) below their top.
			void				SetFont(const BFont& font, float lineHeight);

	// The room the mark takes in a line, in whole pixels.
			float				Width() const { return fWidth; }

	// Draws the mark of the byte at left on the baseline, in the view's
	// high colour. The view's font is the text's font again afterwards.
			void				Draw(BView* view, uint8 byte,
									BPoint leftBaseline) const;

private:
			BFont				fTextFont;
			BFont				fDigitsFont;
			float				fDigitWidth;
			float				fWidth;
	// The box's top and bottom, in pixels from the baseline (top is
	// negative), and the digits' baseline likewise.
			float				fBoxTop;
			float				fBoxBottom;
			float				fDigitsBaseline;
};

}	// namespace BPrivate

#endif	// _KITS_BYTE_MARK_H
