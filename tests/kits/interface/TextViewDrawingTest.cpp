/*
 * What a BTextView puts on screen, read back pixel by pixel:
 * - an underscore stays visible at every size from 9 to 24 of the fixed
 *   and the plain font: unselected, selected, on the line above the caret
 *   after typing there, and after the caret blinked; its ink lies inside
 *   its own line, so no neighbour's redraw can paint over it (the
 *   "size t" fault: a selected `size_t` showed without its underscore);
 * - every byte that does not draw as itself (the 32 control bytes, DEL,
 *   each byte that is not UTF-8) shows a mark that tells it apart from
 *   every other such byte, also where no font has a control picture.
 */
#include "InterfaceTestSupport.h"

#include <TextView.h>

#include <math.h>
#include <stdlib.h>

#include <map>
#include <set>
#include <string>
#include <vector>

using namespace interface_test;

namespace {

class TextViewDrawingTest : public ::testing::Test {
protected:
	void SetUp() override
	{
		ASSERT_EQ(fDriver.Launch<TestApplication>(), B_OK);
		fWindow = new BWindow(BRect(100, 100, 599, 299), "Text",
			B_TITLED_WINDOW, 0);
		fView = new BTextView(fWindow->Bounds(), "text",
			BRect(4, 4, 495, 10), B_FOLLOW_ALL_SIDES, B_WILL_DRAW);
		show_with_focus(fDriver, fWindow, fView);
	}

	void SetFont(const BFont* base, float size)
	{
		WindowLocker locker(fWindow);
		BFont font(base);
		font.SetSize(size);
		fView->SetFontAndColor(&font);
	}

	// The character cell from offset to offset + length, whole pixels,
	// in window coordinates, one line high.
	BRect Cell(int32 offset, int32 length = 1)
	{
		WindowLocker locker(fWindow);
		float height;
		BPoint start = fView->PointAt(offset, &height);
		BPoint end = fView->PointAt(offset + length);
		return fView->ConvertToWindow(BRect(floorf(start.x), start.y,
			ceilf(end.x) - 1, start.y + height - 1));
	}

	std::vector<rgb_color> Pixels(BRect area)
	{
		std::vector<rgb_color> pixels;
		EXPECT_EQ(B_OK, fDriver.GetPixels(fWindow, area, &pixels));
		return pixels;
	}

	// How much of the area is covered with ink, in pixels: each pixel
	// counts by how much darker than the background it is, relative to
	// the background, so that the same glyph on the selection's darker
	// background covers as much as on white. The background is the
	// area's lightest pixel.
	float InkIn(BRect area)
	{
		std::vector<rgb_color> pixels = Pixels(area);
		int lightest = 1;
		for (const rgb_color& pixel : pixels)
			lightest = std::max(lightest, (int)pixel.green);
		float ink = 0;
		for (const rgb_color& pixel : pixels)
			ink += (float)(lightest - pixel.green) / lightest;
		return ink;
	}

	TestDriver fDriver;
	BWindow* fWindow = NULL;
	BTextView* fView = NULL;
};

}	// namespace


TEST_F(TextViewDrawingTest, UnderscoreStaysVisibleAtEverySize)
{
	// Line 0 has the underscore at offset 5; line 1 is where the caret
	// types; the spaces under the underscore keep line 1's own ink away
	// from the column looked at.
	const std::string text = "size_t\n       \n";
	const int32 kUnderscore = 4;
	const int32 kLineOneEnd = 14;
	const BFont* fonts[] = { be_fixed_font, be_plain_font };
	for (const BFont* base : fonts) {
		for (float size = 9; size <= 24; size++) {
			SCOPED_TRACE((base == be_fixed_font ? "fixed " : "plain ")
				+ std::to_string((int)size));
			SetFont(base, size);
			{
				WindowLocker locker(fWindow);
				fView->SetText(text.c_str());
				fView->Select(0, 0);
			}
			ASSERT_EQ(fDriver.WaitForIdle(), B_OK);
			BRect cell = Cell(kUnderscore);
			BRect below = cell.OffsetByCopy(0, cell.Height() + 1);

			// Unselected: the ink is there, and none of it spills into
			// the next line, where that line's redraw would erase it.
			float ink = InkIn(cell);
			EXPECT_GT(ink, 1.0f) << "unselected";
			EXPECT_EQ(0, InkIn(below)) << "the ink stays on its line";
			std::vector<rgb_color> plain = Pixels(cell);

			// Selected over both lines: the highlight of the line below
			// is drawn after the underscore.
			{
				WindowLocker locker(fWindow);
				fView->Select(0, kLineOneEnd);
			}
			ASSERT_EQ(fDriver.WaitForIdle(), B_OK);
			EXPECT_NEAR(InkIn(cell), ink, ink / 5) << "selected";

			// The caret on the line below, after typing there and after
			// a blink: the line above looks as it did.
			{
				WindowLocker locker(fWindow);
				fView->Select(kLineOneEnd, kLineOneEnd);
			}
			ASSERT_EQ(fDriver.TypeText(fWindow, "x"), B_OK);
			EXPECT_TRUE(Pixels(cell) == plain) << "after typing below";
			{
				WindowLocker locker(fWindow);
				fView->Pulse();
			}
			ASSERT_EQ(fDriver.WaitForIdle(), B_OK);
			EXPECT_TRUE(Pixels(cell) == plain) << "after a blink";
			{
				WindowLocker locker(fWindow);
				fView->Pulse();
			}
			ASSERT_EQ(fDriver.WaitForIdle(), B_OK);
			EXPECT_TRUE(Pixels(cell) == plain) << "after the caret returned";
		}
	}
}


// NUL and CR used to show as the same empty box where no font has the
// control pictures (the pinned fonts have none of them), and every byte
// that is not UTF-8 as the same replacement character.
TEST_F(TextViewDrawingTest, BytesThatDoNotDrawAreToldApart)
{
	std::vector<uint8> bytes;
	for (int byte = 0; byte < 0x20; byte++) {
		// A line break and a tab show as what they do.
		if (byte != '\n' && byte != '\t')
			bytes.push_back((uint8)byte);
	}
	bytes.push_back(0x7F);
	for (int byte = 0x80; byte <= 0xFF; byte++)
		bytes.push_back((uint8)byte);

	SetFont(be_fixed_font, 12);
	// Each byte starts a line of its own, so that every mark is drawn at
	// the same whole-pixel position and equal marks give equal pixels.
	const size_t kPerScreen = 8;
	// The cells' pixels, as bytes, and the byte that drew them.
	std::map<std::string, int> seen;
	for (size_t first = 0; first < bytes.size(); first += kPerScreen) {
		std::string text;
		size_t count = std::min(kPerScreen, bytes.size() - first);
		for (size_t i = 0; i < count; i++)
			text += std::string(1, (char)bytes[first + i]) + "\n";
		{
			WindowLocker locker(fWindow);
			fView->SetText(text.data(), (int32)text.size());
			fView->Select(0, 0);
			fView->MakeFocus(false);
		}
		ASSERT_EQ(fDriver.WaitForIdle(), B_OK);
		for (size_t i = 0; i < count; i++) {
			int byte = bytes[first + i];
			SCOPED_TRACE(byte);
			BRect cell = Cell((int32)i * 2);
			ASSERT_GT(cell.Width(), 2);
			EXPECT_GT(InkIn(cell), 2.0f) << "the mark shows";
			std::string pixels;
			for (const rgb_color& pixel : Pixels(cell)) {
				pixels += std::string({ (char)pixel.red, (char)pixel.green,
					(char)pixel.blue });
			}
			auto found = seen.find(pixels);
			EXPECT_TRUE(found == seen.end())
				<< "looks like byte " << (found != seen.end()
					? found->second : -1);
			seen[pixels] = byte;
		}
	}
	EXPECT_EQ(bytes.size(), seen.size());
}
