/*
 * ByteMark: a byte's hex code in a small box, sized from the text's own
 * font so that it sits inside the line and reads at every size.
 */
#include "ByteMark.h"

#include <View.h>

#include <math.h>
#include <stdio.h>

#include <algorithm>

namespace BPrivate {

namespace {

// The digits are this much of the text's size, and never smaller than
// the smallest size that still shows which digit is which.
const float kDigitsScale = 0.6f;
const float kMinDigitsSize = 6;

// Between the box and the characters beside it, and between the box's
// edge and the digits.
const float kOuterGap = 1;
const float kInnerGap = 1;

}	// namespace


ByteMark::ByteMark()
	:
	fDigitWidth(0),
	fWidth(0),
	fBoxTop(0),
	fBoxBottom(0),
	fDigitsBaseline(0)
{
}


void
ByteMark::SetFont(const BFont& font, float lineHeight)
{
	fTextFont = font;
	fDigitsFont = font;
	fDigitsFont.SetSize(std::max(roundf(font.Size() * kDigitsScale),
		kMinDigitsSize));

	// Every hex digit is as wide as the widest, so that "1" and "B" boxes
	// line up alike.
	fDigitWidth = 0;
	for (const char* digit = "0123456789ABCDEF"; *digit != '\0'; digit++)
		fDigitWidth = std::max(fDigitWidth, fDigitsFont.StringWidth(digit, 1));
	float box = ceilf(2 * fDigitWidth) + 2 * (kInnerGap + 1);
	fWidth = box + 2 * kOuterGap;

	font_height textHeight;
	font.GetHeight(&textHeight);
	font_height digitsHeight;
	fDigitsFont.GetHeight(&digitsHeight);
	float ascent = ceilf(textHeight.ascent);
	// One pixel of the line stays free above and below the box.
	fBoxTop = -ascent + 1;
	fBoxBottom = std::max(lineHeight - ascent - 2, fBoxTop + 2);
	// The digits' capitals centred in the box: they reach about three
	// quarters of the ascent above their baseline.
	float capitals = digitsHeight.ascent * 0.75f;
	fDigitsBaseline = roundf((fBoxTop + fBoxBottom + capitals) / 2);
}


void
ByteMark::Draw(BView* view, uint8 byte, BPoint leftBaseline) const
{
	float left = floorf(leftBaseline.x) + kOuterGap;
	float baseline = floorf(leftBaseline.y);
	float right = left + fWidth - 2 * kOuterGap - 1;
	// On whole pixels, so that the box's lines stay sharp.
	view->StrokeRect(BRect(left, baseline + fBoxTop, right,
		baseline + fBoxBottom));

	char digits[3];
	snprintf(digits, sizeof(digits), "%02X", byte);
	view->BView::SetFont(&fDigitsFont);
	float x = left + 1 + kInnerGap;
	for (int i = 0; i < 2; i++) {
		float width = fDigitsFont.StringWidth(digits + i, 1);
		view->DrawString(digits + i, 1, BPoint(x + (fDigitWidth - width) / 2,
			baseline + fDigitsBaseline));
		x += fDigitWidth;
	}
	view->BView::SetFont(&fTextFont);
}

}	// namespace BPrivate
