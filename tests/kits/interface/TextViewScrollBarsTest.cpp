/*
 * A text view in a scroll view keeps its bars up to date:
 * - after SetText of many lines the vertical range is the text's height
 *   less the view's, the proportion what shows of it, the steps a line
 *   and a page; short text has an empty range;
 * - typing lines grows the range and the caret kept in view moves the
 *   bar; deleting them shrinks it and pulls the view back into it;
 * - resizing the window changes range and proportion;
 * - without wrapping a long line gives the horizontal bar a range, with
 *   wrapping it has none and the lines it wraps into count vertically;
 *   a narrower text rectangle wraps into more of them;
 * - moving a bar scrolls the view; GoToLine and ScrollToSelection move
 *   the bar;
 * - a long wrapped text is not laid out whole for its bars: the range
 *   starts from what is laid out, grows as the view goes down, never
 *   falls behind where the view is, and agrees with TextRect() once all
 *   of it is laid out.
 */
#include "InterfaceTestSupport.h"

#include <ScrollBar.h>
#include <ScrollView.h>
#include <TextView.h>

#include <math.h>

#include <algorithm>
#include <string>

using namespace interface_test;

namespace {

struct bar_state {
	float min;
	float max;
	float proportion;
	float smallStep;
	float largeStep;
	float value;
};


bar_state
state_of(BScrollBar* bar)
{
	bar_state state;
	bar->GetRange(&state.min, &state.max);
	bar->GetSteps(&state.smallStep, &state.largeStep);
	state.proportion = bar->Proportion();
	state.value = bar->Value();
	return state;
}


std::string
numbered_lines(int count, const std::string& body = "line")
{
	std::string text;
	for (int i = 0; i < count; i++) {
		if (i > 0)
			text += "\n";
		text += body + " " + std::to_string(i);
	}
	return text;
}


class TextViewScrollBarsTest : public ::testing::Test {
protected:
	void SetUp() override
	{
		ASSERT_EQ(fDriver.Launch<TestApplication>(), B_OK);
		fWindow = new BWindow(BRect(100, 100, 539, 439), "Scrolled text",
			B_DOCUMENT_WINDOW, 0);
		// The text rectangle at the view's origin, so that the text's
		// height is all there is to scroll.
		fView = new BTextView(BRect(0, 0, 425, 325), "text",
			BRect(0, 0, 425, 325), B_FOLLOW_ALL_SIDES, B_WILL_DRAW);
		BFont font(be_fixed_font);
		font.SetSize(12);
		fView->SetFontAndColor(&font);
		fScrollView = new BScrollView("scroll", fView, B_FOLLOW_ALL_SIDES,
			0, true, true, B_NO_BORDER);
		fWindow->AddChild(fScrollView);
		fWindow->SetPulseRate(0);
		fWindow->Show();
		{
			WindowLocker locker(fWindow);
			fView->MakeFocus(true);
			fVertical = fScrollView->ScrollBar(B_VERTICAL);
			fHorizontal = fScrollView->ScrollBar(B_HORIZONTAL);
			fLineHeight = fView->LineHeight(0);
		}
		ASSERT_EQ(fDriver.ActivateWindow(fWindow), B_OK);
		ASSERT_NE(fVertical, (BScrollBar*)NULL);
		ASSERT_GT(fLineHeight, 0);
	}

	// The height the whole text takes, as the view reports it.
	float TextHeight()
	{
		return fView->TextRect().Height();
	}
	float VisibleHeight()
	{
		return fView->Bounds().Height() + 1;
	}

	TestDriver fDriver;
	BWindow* fWindow = NULL;
	BTextView* fView = NULL;
	BScrollView* fScrollView = NULL;
	BScrollBar* fVertical = NULL;
	BScrollBar* fHorizontal = NULL;
	float fLineHeight = 0;
	float fWideTotal = 0;
	float fNarrowTotal = 0;
};

}	// namespace


TEST_F(TextViewScrollBarsTest, SetTextSetsRangeProportionAndSteps)
{
	WindowLocker locker(fWindow);
	// Nothing to scroll yet.
	bar_state empty = state_of(fVertical);
	EXPECT_EQ(0.0f, empty.max);
	EXPECT_EQ(1.0f, empty.proportion);

	std::string text = numbered_lines(100);
	fView->SetText(text.c_str());
	float total = 100 * fLineHeight;
	float visible = VisibleHeight();
	EXPECT_EQ(total, TextHeight());
	bar_state vertical = state_of(fVertical);
	EXPECT_EQ(0.0f, vertical.min);
	EXPECT_EQ(roundf(total - visible), vertical.max);
	EXPECT_FLOAT_EQ(visible / total, vertical.proportion);
	EXPECT_EQ(roundf(fLineHeight), vertical.smallStep);
	EXPECT_EQ(roundf(visible - fLineHeight), vertical.largeStep);
	EXPECT_EQ(0.0f, vertical.value);

	// The short lines wrap nowhere: nothing to scroll sideways.
	bar_state horizontal = state_of(fHorizontal);
	EXPECT_EQ(0.0f, horizontal.max);
	EXPECT_EQ(1.0f, horizontal.proportion);

	// A new text starts at the top, with its own range.
	fVertical->SetValue(200);
	fView->SetText("three\nshort\nlines");
	EXPECT_EQ(0.0f, state_of(fVertical).max);
	EXPECT_EQ(0.0f, fVertical->Value());
	EXPECT_EQ(0.0f, fView->Bounds().top);
}


TEST_F(TextViewScrollBarsTest, TypingAndDeletingLinesFollow)
{
	int32 lines = (int32)(VisibleHeight() / fLineHeight) + 5;
	for (int32 i = 0; i < lines; i++)
		ASSERT_EQ(fDriver.TypeText(fWindow, "x\n"), B_OK);
	{
		WindowLocker locker(fWindow);
		// The caret sits on an empty last line after the last newline.
		float total = (lines + 1) * fLineHeight;
		EXPECT_EQ(total, TextHeight());
		bar_state vertical = state_of(fVertical);
		EXPECT_EQ(roundf(total - VisibleHeight()), vertical.max);
		EXPECT_FLOAT_EQ(VisibleHeight() / total, vertical.proportion);
		// The caret was kept in view, and the bar went along.
		EXPECT_GT(fView->Bounds().top, 0.0f);
		EXPECT_EQ(fView->Bounds().top, vertical.value);
		EXPECT_EQ(vertical.max, vertical.value);
	}

	// Deleting the lines shrinks the range, and the view comes back to
	// where there is text.
	{
		WindowLocker locker(fWindow);
		fView->Select(2, fView->TextLength());
	}
	ASSERT_EQ(fDriver.PressKey(fWindow, B_BACKSPACE), B_OK);
	WindowLocker locker(fWindow);
	EXPECT_EQ(std::string("x\n"), std::string(fView->Text()));
	EXPECT_EQ(0.0f, state_of(fVertical).max);
	EXPECT_EQ(0.0f, fView->Bounds().top);
	EXPECT_EQ(0.0f, fVertical->Value());
}


TEST_F(TextViewScrollBarsTest, ResizingChangesRangeAndProportion)
{
	{
		WindowLocker locker(fWindow);
		std::string text = numbered_lines(60);
		fView->SetText(text.c_str());
	}
	ASSERT_EQ(fDriver.ResizeWindow(fWindow, 439, 239), B_OK);
	WindowLocker locker(fWindow);
	float visible = VisibleHeight();
	ASSERT_EQ(226.0f, visible);
	float total = 60 * fLineHeight;
	bar_state vertical = state_of(fVertical);
	EXPECT_EQ(roundf(total - visible), vertical.max);
	EXPECT_FLOAT_EQ(visible / total, vertical.proportion);
	EXPECT_EQ(roundf(visible - fLineHeight), vertical.largeStep);
}


TEST_F(TextViewScrollBarsTest, WrappingAndTextRectWidth)
{
	{
		WindowLocker locker(fWindow);
		// Ten short lines and one of 400 characters.
		std::string text = numbered_lines(10) + "\n"
			+ std::string(400, 'w');
		fView->SetWordWrap(false);
		fView->SetText(text.c_str());
		float visibleWidth = fView->Bounds().Width() + 1;
		float longWidth = fView->LineWidth(10);
		ASSERT_GT(longWidth, visibleWidth);
		bar_state horizontal = state_of(fHorizontal);
		// The widest line, and a pixel for the caret after it.
		EXPECT_EQ(roundf(longWidth + 1 + 1 - visibleWidth), horizontal.max);
		EXPECT_FLOAT_EQ(visibleWidth / (longWidth + 2),
			horizontal.proportion);
		EXPECT_EQ(0.0f, state_of(fVertical).max);

		// The bar scrolls the view sideways.
		fHorizontal->SetValue(100);
		EXPECT_EQ(100.0f, fView->Bounds().left);
		fHorizontal->SetValue(0);

		// Wrapped, nothing is wider than the view.
		fView->SetWordWrap(true);
		EXPECT_EQ(0.0f, state_of(fHorizontal).max);
		EXPECT_EQ(1.0f, state_of(fHorizontal).proportion);
		fView->SetText((numbered_lines(20) + "\n"
			+ std::string(2000, 'w')).c_str());
		// Asking for the whole height lays all of it out.
		fWideTotal = TextHeight();
	}
	// The next drawing tells the bars what the layout learned.
	ASSERT_EQ(fDriver.WaitForIdle(), B_OK);
	{
		WindowLocker locker(fWindow);
		EXPECT_EQ(roundf(fWideTotal - VisibleHeight()),
			state_of(fVertical).max);

		// A text rectangle half as wide wraps into more lines.
		fView->SetTextRect(BRect(0, 0, 212, 325));
		fNarrowTotal = TextHeight();
		EXPECT_GT(fNarrowTotal, fWideTotal);
	}
	ASSERT_EQ(fDriver.WaitForIdle(), B_OK);
	WindowLocker locker(fWindow);
	EXPECT_EQ(roundf(fNarrowTotal - VisibleHeight()),
		state_of(fVertical).max);
	EXPECT_FLOAT_EQ(VisibleHeight() / fNarrowTotal,
		state_of(fVertical).proportion);
}


TEST_F(TextViewScrollBarsTest, BarsAndViewMoveTogether)
{
	WindowLocker locker(fWindow);
	std::string text = numbered_lines(200);
	fView->SetText(text.c_str());

	// The bar moves the view.
	fVertical->SetValue(3 * fLineHeight);
	EXPECT_EQ(roundf(3 * fLineHeight), fView->Bounds().top);
	EXPECT_EQ(3, fView->LineAt(fView->Bounds().LeftTop()));

	// Going to a line moves the bar, and so does showing the selection.
	fView->GoToLine(150);
	float top = fView->Bounds().top;
	EXPECT_GT(top, 100 * fLineHeight);
	EXPECT_EQ(top, fVertical->Value());
	EXPECT_LE(fView->PointAt(fView->OffsetAt(150)).y, fView->Bounds().bottom);

	fView->Select(0, 0);
	fView->ScrollToSelection();
	EXPECT_EQ(0.0f, fView->Bounds().top);
	EXPECT_EQ(0.0f, fVertical->Value());
}


TEST_F(TextViewScrollBarsTest, LongWrappedTextIsNotLaidOutForItsBars)
{
	WindowLocker locker(fWindow);
	// 20000 hard lines of 100 characters, each wrapping into two.
	std::string body(100, 'a');
	for (size_t i = 5; i < body.size(); i += 6)
		body[i] = ' ';
	std::string text = numbered_lines(20000, body);
	fView->SetText(text.c_str());

	// Only what shows is laid out; the rest counts one line per hard
	// line.
	bar_state first = state_of(fVertical);
	EXPECT_GE(first.max, roundf(20000 * fLineHeight - VisibleHeight()));

	// Going down lays out more, and the range grows with it; the view is
	// always inside it.
	fView->GoToLine(10000);
	bar_state further = state_of(fVertical);
	EXPECT_GT(further.max, first.max);
	EXPECT_GT(fView->Bounds().top, 0.0f);
	EXPECT_LE(fView->Bounds().top, further.max);
	EXPECT_EQ(fView->Bounds().top, further.value);

	// The whole text is taller than the bars were told so far.
	float total = TextHeight();
	EXPECT_EQ(2 * 20000 * fLineHeight, total);
	EXPECT_GT(roundf(total - VisibleHeight()), further.max);

	// Once all of it is laid out the bar agrees with TextRect().
	fView->ScrollTo(BPoint(0, 0));
	EXPECT_EQ(roundf(total - VisibleHeight()), state_of(fVertical).max);
	EXPECT_FLOAT_EQ(VisibleHeight() / total, state_of(fVertical).proportion);
	EXPECT_EQ(0.0f, fVertical->Value());
}
