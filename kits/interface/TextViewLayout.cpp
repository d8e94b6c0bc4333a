/*
 * BTextView: layout, geometry, scrolling and drawing. The layout helper
 * answers in text coordinates (0, 0 at the text rectangle's left top);
 * these functions add the text rectangle and the alignment.
 */
#include <TextView.h>

#include <Region.h>
#include <ScrollBar.h>
#include <Window.h>

#include "TextMotion.h"
#include "TextViewData.h"
#include "ViewPrivate.h"

#include <math.h>
#include <string.h>

#include <algorithm>
#include <string>

namespace TextMotion = BPrivate::TextMotion;

// The most bytes drawn in one call.
static const int32 kPieceBytes = 512;

// How far a printed line may stick out of the band asked for and still
// count as inside it: far less than any line, more than float rounding.
static const float kPrintTolerance = 0.01f;

namespace BPrivate {

namespace {

// The Unicode control pictures U+2400 to U+241F for the bytes 0 to 31,
// and U+2421 for DEL.
struct control_pictures {
	char				pictures[33][4];

	control_pictures()
	{
		for (int i = 0; i < 32; i++) {
			pictures[i][0] = (char)0xE2;
			pictures[i][1] = (char)0x90;
			pictures[i][2] = (char)(0x80 + i);
			pictures[i][3] = '\0';
		}
		memcpy(pictures[32], "\xE2\x90\xA1", 4);
	}
};

const control_pictures sControlPictures;


// Whether the font, with its fallbacks, draws every control picture.
bool
has_control_pictures(const BFont& font)
{
	std::string pictures;
	for (int i = 0; i <= 32; i++)
		pictures += sControlPictures.pictures[i];
	bool has[33];
	font.GetHasGlyphs(pictures.c_str(), 33, has);
	return std::all_of(has, has + 33, [](bool one) { return one; });
}

}	// namespace


display_char
classify_char_bytes(const char* bytes, int32 length, bool controlPictures)
{
	display_char shown = { length, NULL, -1 };
	if (length != 1)
		return shown;
	uint8 byte = (uint8)bytes[0];
	bool control = byte < 0x20 || byte == 0x7F;
	if (control && controlPictures)
		shown.placeholder = sControlPictures.pictures[byte == 0x7F ? 32 : byte];
	else if (control || byte >= 0x80)
		shown.markedByte = byte;
	return shown;
}

}	// namespace BPrivate


// #pragma mark - Font and text rectangle


void
BTextView::_ApplyFont()
{
	SetFont(&fData->font);
	fData->font.GetHeight(&fData->fontHeight);
	const font_height& height = fData->fontHeight;
	// The baseline sits on a whole pixel below the ascent, so the line
	// holds the ascent and the descent each rounded up: a glyph that
	// reaches the font's descent (an underscore) stays inside its own
	// line, where the next line's background cannot paint over it.
	fData->lineHeight = ceilf(height.ascent)
		+ ceilf(height.descent + height.leading);
	if (fData->lineHeight < 1)
		fData->lineHeight = 1;
	fData->layout->SetLineHeight(fData->lineHeight);
	fData->controlPictures = BPrivate::has_control_pictures(fData->font);
	fData->byteMark.SetFont(fData->font, fData->lineHeight);
	fData->layout->InvalidateAll();
	_ForgetWidths();
	_UpdateScrollBars();
}


void
BTextView::_ApplyTextRect()
{
	fData->layout->SetWrapWidth(fData->textRect.Width());
}


void
BTextView::SetTextRect(BRect rect)
{
	if (!(isfinite(rect.left) && isfinite(rect.top) && isfinite(rect.right)
			&& isfinite(rect.bottom))) {
		return;
	}
	bool sameWidth = rect.Width() == fData->textRect.Width();
	fData->textRect = rect;
	if (!sameWidth)
		_ApplyTextRect();
	Invalidate();
	_UpdateScrollBars();
}


BRect
BTextView::TextRect() const
{
	BRect rect = fData->textRect;
	rect.bottom = rect.top + TextHeight(0, CountLines() - 1);
	return rect;
}


// #pragma mark - Geometry


int32
BTextView::CountLines() const
{
	return fData->layout->CountLayoutLines();
}


int32
BTextView::CurrentLine() const
{
	return fData->layout->LayoutLineAt(fData->selectionStart);
}


void
BTextView::GoToLine(int32 lineNumber)
{
	int32 offset = fData->layout->LayoutLineStart(std::max(lineNumber,
		(int32)0));
	Select(offset, offset);
	ScrollToSelection();
}


int32
BTextView::LineAt(int32 offset) const
{
	return fData->layout->LayoutLineAt(offset);
}


int32
BTextView::LineAt(BPoint point) const
{
	return fData->layout->LineAtY(point.y - fData->textRect.top);
}


// Where the layout line starts horizontally, in view coordinates.
float
BTextView::_LineLeft(int32 line) const
{
	float left = fData->textRect.left;
	if (fData->align == B_ALIGN_LEFT)
		return left;
	float width = LineWidth(line);
	float room = fData->textRect.Width() - width;
	if (room <= 0)
		return left;
	return left + (fData->align == B_ALIGN_CENTER ? floorf(room / 2) : room);
}


BPoint
BTextView::PointAt(int32 offset, float* _height) const
{
	float x;
	float y;
	offset = std::clamp(offset, (int32)0, TextLength());
	int32 line = fData->layout->LayoutLineAt(offset);
	// A shaped line knows its carets; only other lines are measured.
	if (const BPrivate::VisualLine* visual = _VisualLineOf(line)) {
		x = visual->CaretX(offset);
		y = fData->layout->LineTop(line);
	} else
		fData->layout->PointAt(offset, x, y);
	if (_height != NULL)
		*_height = fData->lineHeight;
	return BPoint(_LineLeft(line) + x, fData->textRect.top + y);
}


int32
BTextView::OffsetAt(BPoint point) const
{
	float y = point.y - fData->textRect.top;
	int32 line = fData->layout->LineAtY(y);
	float x = point.x - _LineLeft(line);
	if (const BPrivate::VisualLine* visual = _VisualLineOf(line))
		return visual->OffsetAt(x);
	int32 offset = fData->layout->OffsetAt(x, y);

	// A point over a cluster of several characters goes to whichever of
	// its ends is nearer.
	int32 start = TextMotion::ClusterStart(fData->text, offset);
	if (start == offset)
		return offset;
	int32 end = TextMotion::NextCluster(fData->text, start);
	float startX;
	float endX;
	float startY;
	float endY;
	fData->layout->PointAt(start, startX, startY);
	fData->layout->PointAt(end, endX, endY);
	if (endY != startY || x - startX <= endX - x)
		return start;
	return end;
}


int32
BTextView::OffsetAt(int32 line) const
{
	return fData->layout->LayoutLineStart(line);
}


float
BTextView::LineWidth(int32 lineNumber) const
{
	if (const BPrivate::shaped_line* shaped = _ShapedLineOf(lineNumber))
		return shaped->width;
	BPrivate::WrapLayout& layout = *fData->layout;
	int32 start = layout.LayoutLineStart(lineNumber);
	int32 end = layout.LayoutLineEnd(lineNumber);
	float x = 0;
	for (int32 at = start; at < end;) {
		int32 length = TextMotion::CharLength(fData->text, at);
		if (length <= 0)
			break;
		x += layout.CharWidth(at, length, x);
		at += length;
	}
	return x;
}


float
BTextView::LineHeight(int32 lineNumber) const
{
	(void)lineNumber;
	return fData->lineHeight;
}


float
BTextView::TextHeight(int32 startLine, int32 endLine) const
{
	startLine = std::max(startLine, (int32)0);
	if (endLine < startLine)
		return 0;
	return (float)((double)(endLine - startLine + 1) * fData->lineHeight);
}


void
BTextView::GetTextRegion(int32 startOffset, int32 endOffset,
	BRegion* outRegion) const
{
	if (outRegion == NULL)
		return;
	outRegion->MakeEmpty();
	startOffset = std::clamp(startOffset, (int32)0, TextLength());
	endOffset = std::clamp(endOffset, (int32)0, TextLength());
	if (startOffset >= endOffset)
		return;

	float height = fData->lineHeight;
	BPoint start = PointAt(startOffset);
	BPoint end = PointAt(endOffset);
	float right = std::max(fData->textRect.right, Bounds().right);
	if (start.y == end.y) {
		outRegion->Include(BRect(start.x, start.y, end.x - 1,
			start.y + height - 1));
		return;
	}
	outRegion->Include(BRect(start.x, start.y, right, start.y + height - 1));
	if (end.y > start.y + height) {
		outRegion->Include(BRect(fData->textRect.left, start.y + height,
			right, end.y - 1));
	}
	if (end.x > fData->textRect.left) {
		outRegion->Include(BRect(fData->textRect.left, end.y, end.x - 1,
			end.y + height - 1));
	}
}


// #pragma mark - Scrolling


void
BTextView::ScrollToOffset(int32 offset)
{
	float height;
	BPoint point = PointAt(offset, &height);
	_ScrollToPoint(point, height);
}


void
BTextView::ScrollToSelection()
{
	ScrollToOffset(fData->selectionEnd);
	ScrollToOffset(fData->selectionStart);
}


// Scrolls as little as brings the caret at point (height high) into
// view.
void
BTextView::_ScrollToPoint(BPoint point, float height)
{
	BRect bounds = Bounds();
	BPoint scroll = bounds.LeftTop();
	if (point.y < bounds.top)
		scroll.y = point.y;
	else if (point.y + height - 1 > bounds.bottom)
		scroll.y = point.y + height - 1 - bounds.Height();
	if (scroll.y < 0)
		scroll.y = 0;

	// Without wrapping the text runs past the right edge; keep a margin
	// so that the caret does not sit on the very edge.
	float margin = std::min(bounds.Width() / 4, 32.0f);
	if (point.x < bounds.left)
		scroll.x = std::max(point.x - margin, 0.0f);
	else if (point.x + 1 > bounds.right)
		scroll.x = point.x + 1 + margin - bounds.Width();
	if (scroll != bounds.LeftTop())
		ScrollTo(scroll);
}


void
BTextView::ScrollTo(BPoint where)
{
	BPoint before = Bounds().LeftTop();
	BView::ScrollTo(where);
	// Lines that come into view get laid out, and with wrapping that can
	// tell the bars more about the text's height.
	if (Bounds().LeftTop() != before)
		_UpdateScrollBars();
}


// Wider lines are measured up to this many bytes and the rest estimated
// from them, so that a line of megabytes costs no more than a short one.
static const int32 kMeasuredLineBytes = 4096;


float
BTextView::_MeasureLineWidth(int32 line) const
{
	if (const BPrivate::shaped_line* shaped = _ShapedLineOf(line))
		return shaped->width;
	BPrivate::WrapLayout& layout = *fData->layout;
	int32 start = layout.LayoutLineStart(line);
	int32 end = layout.LayoutLineEnd(line);
	int32 stop = std::min(end, start + kMeasuredLineBytes);
	float x = 0;
	int32 at = start;
	while (at < stop) {
		int32 length = TextMotion::CharLength(fData->text, at);
		if (length <= 0)
			break;
		x += layout.CharWidth(at, length, x);
		at += length;
	}
	if (at < end && at > start)
		x = (float)((double)x * (end - start) / (at - start));
	return x;
}


void
BTextView::_ForgetWidths()
{
	fData->widestLine = 0;
	fData->shapedLines.Clear();
}


// Tells the scroll bars how much text there is and how much of it shows.
// Without wrapping the height is exact and costs nothing; with wrapping
// it is what the layout knows so far (hard lines not laid out yet count
// as one line each), so the range grows as more of the text is laid out.
// Once the layout is complete the bars agree with TextRect().
void
BTextView::_UpdateScrollBars()
{
	BScrollBar* vertical = ScrollBar(B_VERTICAL);
	BScrollBar* horizontal = ScrollBar(B_HORIZONTAL);
	if ((vertical == NULL && horizontal == NULL) || fData->updatingBars)
		return;
	fData->updatingBars = true;

	BPrivate::WrapLayout& layout = *fData->layout;
	const BRect& textRect = fData->textRect;
	float lineHeight = fData->lineHeight;
	BRect bounds = Bounds();
	// The view's own lines are laid out first, so that they count.
	int32 firstVisible = layout.LineAtY(bounds.top - textRect.top);
	int32 lastVisible = layout.LineAtY(bounds.bottom - textRect.top);

	if (vertical != NULL) {
		fData->barLines = layout.EstimatedLayoutLines();
		int32 lines = std::max(fData->barLines, lastVisible + 1);
		// The same margin below the last line as above the first.
		float margin = std::max(textRect.top, 0.0f);
		float total = textRect.top + (float)((double)lines * lineHeight)
			+ margin;
		float visible = bounds.Height() + 1;
		vertical->SetRange(0, std::max(total - visible, 0.0f));
		vertical->SetProportion(total > 0 ? visible / total : 1);
		vertical->SetSteps(lineHeight, std::max(visible - lineHeight,
			lineHeight));
		// The bar may have moved the view into its new range, and a
		// view that went past the old range shows where it is now.
		float top = Bounds().top;
		float max;
		vertical->GetRange(NULL, &max);
		if (top >= 0 && top <= max && vertical->Value() != top)
			vertical->SetValue(top);
	}

	if (horizontal != NULL) {
		float right = textRect.right;
		if (!fData->wrap) {
			for (int32 line = firstVisible; line <= lastVisible; line++) {
				fData->widestLine = std::max(fData->widestLine,
					_MeasureLineWidth(line));
			}
			// One more pixel for the caret after the last character.
			right = std::max(right, textRect.left + fData->widestLine + 1);
		}
		float margin = std::max(textRect.left, 0.0f);
		float total = right + 1 + margin;
		bounds = Bounds();
		float visible = bounds.Width() + 1;
		horizontal->SetRange(0, std::max(total - visible, 0.0f));
		horizontal->SetProportion(total > 0 ? visible / total : 1);
		horizontal->SetSteps(lineHeight, std::max(visible - lineHeight,
			lineHeight));
		float left = Bounds().left;
		float max;
		horizontal->GetRange(NULL, &max);
		if (left >= 0 && left <= max && horizontal->Value() != left)
			horizontal->SetValue(left);
	}

	fData->updatingBars = false;
}


// #pragma mark - Invalidation


// The text changed from offset on: the lines from there to the bottom of
// the view move, the ones above stay.
void
BTextView::_InvalidateFrom(int32 offset)
{
	if (Window() == NULL)
		return;
	BRect bounds = Bounds();
	BPrivate::WrapLayout& layout = *fData->layout;
	float top = fData->textRect.top;
	int32 firstLine = layout.LineAtY(bounds.top - top);
	int32 visibleStart = layout.LayoutLineStart(firstLine);
	if (offset < visibleStart) {
		Invalidate();
		return;
	}
	int32 lastLine = layout.LineAtY(bounds.bottom - top);
	if (offset > layout.LayoutLineEnd(lastLine) + 1)
		return;
	// A change can move a break on the line before it.
	int32 line = std::max(layout.LayoutLineAt(offset) - 1, (int32)0);
	BRect dirty = bounds;
	dirty.top = std::max(bounds.top, top + layout.LineTop(line));
	Invalidate(dirty);
}


void
BTextView::_InvalidateRange(int32 from, int32 to)
{
	if (Window() == NULL)
		return;
	BRect bounds = Bounds();
	BPrivate::WrapLayout& layout = *fData->layout;
	float top = fData->textRect.top;
	int32 firstVisible = layout.LineAtY(bounds.top - top);
	int32 lastVisible = layout.LineAtY(bounds.bottom - top);
	if (to < layout.LayoutLineStart(firstVisible)
		|| from > layout.LayoutLineEnd(lastVisible) + 1) {
		return;
	}
	int32 first = layout.LayoutLineAt(from);
	int32 last = layout.LayoutLineAt(to);
	BRect dirty = bounds;
	dirty.top = std::max(bounds.top, top + layout.LineTop(first));
	dirty.bottom = std::min(bounds.bottom,
		top + layout.LineTop(last + 1) - 1);
	if (dirty.IsValid())
		Invalidate(dirty);
}


void
BTextView::_Changed(int32 from, int32 to)
{
	(void)to;
	fData->goalX = -1;
	fData->caretVisible = true;
	_InvalidateFrom(from);
	if (!fData->replacing)
		_UpdateScrollBars();
}


// #pragma mark - Drawing


void
BTextView::Draw(BRect updateRect)
{
	BPrivate::WrapLayout& layout = *fData->layout;
	float top = fData->textRect.top;
	// A glyph may ink past its own line (accents over capitals, a font
	// whose glyphs overshoot its metrics), so the lines next to the
	// update area are drawn too, clipped to it. All backgrounds go first:
	// the highlight of one line must not cover what the line above inks.
	int32 first = std::max(layout.LineAtY(updateRect.top - top) - 1,
		(int32)0);
	int32 last = layout.LineAtY(updateRect.bottom - top) + 1;
	int32 length = TextLength();
	bool printing = IsPrinting();
	BRect visible = printing ? updateRect : Bounds();
	int32 shown = first;
	for (; shown <= last; shown++) {
		if (shown > 0 && layout.LayoutLineStart(shown) >= length
			&& (length == 0 || fData->text.ByteAt(length - 1) != '\n'
				|| layout.LayoutLineStart(shown - 1) >= length)) {
			break;
		}
		if (!printing)
			_DrawLineHighlight(shown, top + layout.LineTop(shown));
	}
	// On paper the part asked for is what shows, and a line reaches the
	// page only when it lies wholly inside it: a page holds whole lines,
	// and the line cut at its foot is the next page's first.
	for (int32 line = first; line < shown; line++) {
		float lineTop = top + layout.LineTop(line);
		if (printing && (lineTop < updateRect.top - kPrintTolerance
				|| lineTop + fData->lineHeight
					> updateRect.bottom + kPrintTolerance)) {
			continue;
		}
		_DrawLineText(line, lineTop, visible);
	}
	if (printing)
		return;
	if (fData->caretVisible)
		_DrawCaret(true);
	// Wrapping lays the text out as it is shown or asked about; the bars
	// hear of what that taught about its height.
	if (fData->wrap && layout.EstimatedLayoutLines() != fData->barLines)
		_UpdateScrollBars();
}


void
BTextView::_DrawLineHighlight(int32 line, float top)
{
	BPrivate::WrapLayout& layout = *fData->layout;
	int32 start = layout.LayoutLineStart(line);
	int32 end = layout.LayoutLineEnd(line);
	int32 selectionStart = fData->selectionStart;
	int32 selectionEnd = fData->selectionEnd;
	if (!fData->selectable || selectionStart >= selectionEnd
		|| selectionStart > end || selectionEnd <= start) {
		return;
	}

	// Dimmer while the view does not have the keyboard.
	rgb_color marked = tint_color(ui_color(B_DOCUMENT_BACKGROUND_COLOR),
		IsFocus() && fData->active ? B_DARKEN_2_TINT : B_DARKEN_1_TINT);
	SetHighColor(marked);
	float left = _LineLeft(line);
	float bottom = top + fData->lineHeight - 1;
	// A selection that runs on past the line covers its whole width,
	// the line end included.
	float lineEnd = std::max(Bounds().right, fData->textRect.right);

	if (const BPrivate::VisualLine* visual = _VisualLineOf(line)) {
		// Right-to-left text: the selected clusters may lie apart.
		BPrivate::VisualLine::Spans spans;
		visual->SelectionSpans(selectionStart, selectionEnd, spans);
		for (const auto& span : spans) {
			FillRect(BRect(left + span.first, top, left + span.second - 1,
				bottom));
		}
		if (selectionEnd > end)
			FillRect(BRect(left + LineWidth(line), top, lineEnd, bottom));
		return;
	}

	float x1 = selectionStart <= start ? left : PointAt(selectionStart).x;
	float x2 = selectionEnd > end ? lineEnd : PointAt(selectionEnd).x - 1;
	FillRect(BRect(x1, top, x2, bottom));
}


void
BTextView::_DrawLineText(int32 line, float top, BRect bounds)
{
	BPrivate::TextBuffer& text = fData->text;
	float left = _LineLeft(line);
	float baseline = top + ceilf(fData->fontHeight.ascent);

	SetLowColor(ViewColor());
	SetDrawingMode(B_OP_OVER);

	if (const BPrivate::shaped_line* shaped = _ShapedLineOf(line)) {
		SetHighColor(fData->color);
		BView::Private(this).DrawGlyphs(shaped->glyphs.data(),
			(int32)shaped->glyphs.size(), BPoint(left, baseline));
		for (const BPrivate::VisualCluster& standIn : shaped->standIns)
			_DrawStandIn(standIn.offset, standIn.length,
				BPoint(left + standIn.x, baseline));
		SetDrawingMode(B_OP_COPY);
		return;
	}

	// The x each piece gets is the layout's, so drawing and hit testing
	// agree.
	char buffer[kPieceBytes];
	_ForEachPiece(line, bounds.left - left, bounds.right - left,
		[&](int32 from, int32 to, float x) {
			SetHighColor(fData->color);
			text.GetText(from, to - from, buffer);
			DrawString(buffer, to - from, BPoint(left + x, baseline));
		},
		[&](int32 offset, int32 length, float x, float) {
			_DrawStandIn(offset, length, BPoint(left + x, baseline));
		});
	SetDrawingMode(B_OP_COPY);
}


// Draws what stands for a control character or a byte that is not
// UTF-8; a tab draws nothing.
void
BTextView::_DrawStandIn(int32 offset, int32 length, BPoint where)
{
	char bytes[4];
	fData->text.GetText(offset, length, bytes);
	if (bytes[0] == '\t' && fData->tabWidth > 0)
		return;
	BPrivate::display_char shown = BPrivate::classify_char_bytes(bytes,
		length, fData->controlPictures);
	SetHighColor(tint_color(fData->color, B_LIGHTEN_1_TINT));
	if (shown.placeholder != NULL)
		DrawString(shown.placeholder, where);
	else if (shown.markedByte >= 0)
		fData->byteMark.Draw(this, (uint8)shown.markedByte, where);
}


void
BTextView::_ForEachPiece(int32 line, float fromX, float toX,
	const std::function<void(int32, int32, float)>& run,
	const std::function<void(int32, int32, float, float)>& standIn) const
{
	BPrivate::WrapLayout& layout = *fData->layout;
	BPrivate::TextBuffer& text = fData->text;
	int32 start = layout.LayoutLineStart(line);
	int32 end = layout.LayoutLineEnd(line);

	float x = 0;
	int32 runStart = start;
	float runX = 0;
	auto flush = [&](int32 runEnd) {
		for (int32 at = runStart; at < runEnd;) {
			int32 count = std::min(runEnd - at, kPieceBytes);
			// Never split a cluster between two pieces: a mark drawn
			// apart from its letter would not sit on it.
			if (at + count < runEnd)
				count = TextMotion::ClusterStart(text, at + count) - at;
			if (count <= 0)
				count = std::min(runEnd - at, kPieceBytes);
			run(at, at + count, runX);
			if (at + count < runEnd) {
				char buffer[kPieceBytes];
				text.GetText(at, count, buffer);
				runX += fData->font.StringWidth(buffer, count);
			}
			at += count;
		}
	};

	int32 at = start;
	while (at < end && x <= toX) {
		int32 length = TextMotion::CharLength(text, at);
		if (length <= 0)
			break;
		char bytes[4];
		text.GetText(at, length, bytes);
		int32 next = at + length;
		float nextX = x + layout.CharWidth(at, length, x);

		BPrivate::display_char shown = BPrivate::classify_char_bytes(bytes,
			length, fData->controlPictures);
		bool tab = bytes[0] == '\t' && fData->tabWidth > 0;
		bool separate = tab || shown.placeholder != NULL
			|| shown.markedByte >= 0;
		if (separate || nextX < fromX) {
			flush(at);
			if (separate && nextX >= fromX)
				standIn(at, length, x, nextX - x);
			runStart = next;
			runX = nextX;
		}
		x = nextX;
		at = next;
	}
	flush(at);
}


void
BTextView::_DrawCaret(bool on)
{
	(void)on;
	if (!fData->editable || !IsFocus() || !fData->active
		|| fData->selectionStart != fData->selectionEnd) {
		return;
	}
	float height;
	BPoint point = PointAt(fData->selectionStart, &height);
	point.x = floorf(point.x);
	SetHighColor(fData->color);
	StrokeLine(point, BPoint(point.x, point.y + height - 1));
}
