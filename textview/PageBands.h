/*
 * PageBands: how a text view is cut into printed pages. Each page shows a
 * horizontal band of the view as high as the whole lines that fit the
 * printable height, starting at the view's top; page p (from 1) shows the
 * band from (p - 1) times that height down to p times it.
 *
 * The arithmetic is done in double precision from the float rectangle
 * values, truncated toward zero where a count is wanted, and stored
 * back as floats where a coordinate is.
 *
 * Threads: any; plain functions of their arguments.
 */
#ifndef PAGE_BANDS_H
#define PAGE_BANDS_H

#include <Rect.h>
#include <SupportDefs.h>

class PageBands {
public:
	// The whole lines the printable height holds; 0 when not even one
	// does (or the line height is not positive).
	static	int32				LinesPerPage(float printableHeight,
									float lineHeight);
	// The printable rect cut to its whole lines: its bottom moved to its
	// top plus the lines' height.
	static	BRect				WholeLines(BRect printable, int32 lines,
									float lineHeight);
	// The pages a text of that height needs: a text that passes a whole
	// number of pages by 1 unit or more needs one more page, by less it
	// does not. 0 for a page height that is not positive.
	static	int32				PageCount(float textHeight, float pageHeight);
	// The last page to print: the one chosen, lowered to the count.
	static	int32				LastPage(int32 chosenLast, int32 pageCount);
	// The band of the view that page (from 1) shows: the page rect moved
	// to x 0 and the page's top.
	static	BRect				Band(BRect page, float pageHeight,
									int32 pageNumber);
};

#endif	// PAGE_BANDS_H
