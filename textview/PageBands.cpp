/*
 * Cutting a text view into pages.
 */
#include "PageBands.h"


int32
PageBands::LinesPerPage(float printableHeight, float lineHeight)
{
	if (!(lineHeight > 0) || !(printableHeight > 0))
		return 0;
	double lines = (double)printableHeight / (double)lineHeight;
	// A height the int32 cannot count is no page anyone prints on.
	if (lines >= 2147483647.0)
		return 0;
	return (int32)lines;
}


BRect
PageBands::WholeLines(BRect printable, int32 lines, float lineHeight)
{
	printable.bottom = (float)((double)printable.top
		+ (double)lines * (double)lineHeight);
	return printable;
}


int32
PageBands::PageCount(float textHeight, float pageHeight)
{
	if (!(pageHeight > 0) || !(textHeight > 0))
		return 0;
	double pages = ((double)textHeight + (double)pageHeight - 1)
		/ (double)pageHeight;
	if (pages >= 2147483647.0)
		return 0x7fffffff;
	return (int32)pages;
}


int32
PageBands::LastPage(int32 chosenLast, int32 pageCount)
{
	return chosenLast > pageCount ? pageCount : chosenLast;
}


BRect
PageBands::Band(BRect page, float pageHeight, int32 pageNumber)
{
	page.OffsetTo(0, (float)((double)pageHeight * (double)(pageNumber - 1)));
	return page;
}
