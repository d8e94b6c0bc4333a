/*
 * Cutting a text view into pages of whole lines.
 *
 * Cases:
 * - a printable height of 720 with lines of 14.5 holds 49 lines and a
 *   page of 710.5, and a text of 1500 needs 3 pages;
 * - a text of exactly two page heights needs 2 pages, and so does one
 *   0.5 higher; 1 higher needs 3;
 * - a page range of 2 to 10 of three pages ends at 3, one from 5 prints
 *   nothing;
 * - a printable height below one line, or no line height at all, holds
 *   no line and gives no pages instead of dividing by zero;
 * - the band of page p starts at x 0 and (p - 1) page heights down.
 */
#include <gtest/gtest.h>

#include "PageBands.h"


TEST(PageBandsTest, LinesPagesAndTheWholeLineHeight)
{
	EXPECT_EQ(49, PageBands::LinesPerPage(720, 14.5f));
	BRect page = PageBands::WholeLines(BRect(36, 36, 576, 756), 49, 14.5f);
	EXPECT_FLOAT_EQ(36, page.top);
	EXPECT_FLOAT_EQ(746.5f, page.bottom);
	EXPECT_FLOAT_EQ(710.5f, page.bottom - page.top);
	EXPECT_EQ(3, PageBands::PageCount(1500, 710.5f));

	// Exactly a number of pages, and a little more.
	EXPECT_EQ(2, PageBands::PageCount(1421, 710.5f));
	EXPECT_EQ(2, PageBands::PageCount(1421.5f, 710.5f));
	EXPECT_EQ(3, PageBands::PageCount(1422, 710.5f));
	EXPECT_EQ(1, PageBands::PageCount(14.5f, 710.5f));
}


TEST(PageBandsTest, RangesAreCutToTheDocument)
{
	int32 pages = PageBands::PageCount(1500, 710.5f);
	EXPECT_EQ(3, PageBands::LastPage(10, pages));
	EXPECT_EQ(2, PageBands::LastPage(2, pages));
	// All pages are a very large last page.
	EXPECT_EQ(3, PageBands::LastPage(0x7fffffff, pages));
	// From 5: the loop from 5 to 3 prints nothing.
	EXPECT_LT(PageBands::LastPage(0x7fffffff, pages), 5);
}


TEST(PageBandsTest, PagesTooSmallForALineDivideByNothing)
{
	EXPECT_EQ(0, PageBands::LinesPerPage(14, 14.5f));
	EXPECT_EQ(0, PageBands::LinesPerPage(0, 14.5f));
	EXPECT_EQ(0, PageBands::LinesPerPage(-3, 14.5f));
	EXPECT_EQ(0, PageBands::LinesPerPage(720, 0));
	BRect page = PageBands::WholeLines(BRect(36, 36, 576, 50), 0, 14.5f);
	EXPECT_FLOAT_EQ(0, page.bottom - page.top);
	EXPECT_EQ(0, PageBands::PageCount(1500, 0));
	EXPECT_EQ(0, PageBands::PageCount(1500, -1));
	// An empty text needs no page.
	EXPECT_EQ(0, PageBands::PageCount(0, 710.5f));
}


TEST(PageBandsTest, BandsFollowEachOther)
{
	BRect page(36, 36, 576, 746.5f);
	BRect first = PageBands::Band(page, 710.5f, 1);
	BRect third = PageBands::Band(page, 710.5f, 3);
	EXPECT_FLOAT_EQ(0, first.left);
	EXPECT_FLOAT_EQ(0, first.top);
	EXPECT_FLOAT_EQ(540, first.right);
	EXPECT_FLOAT_EQ(710.5f, first.bottom);
	EXPECT_FLOAT_EQ(1421, third.top);
	EXPECT_FLOAT_EQ(2131.5f, third.bottom);
	EXPECT_FLOAT_EQ(540, third.Width());
}
