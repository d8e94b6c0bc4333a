/*
 * BTextView: shaped lines. A layout line that is not plain ASCII is laid
 * out once as a whole, as ShapedLine.h describes, and kept in the view's
 * cache of shaped lines. Drawing draws its glyphs, and the caret, clicks,
 * the selection and the line's width take their x from the same place,
 * so what is measured is what is drawn. Plain ASCII keeps its fast path:
 * its x is the sum of its characters' widths, which its glyphs have too.
 */
#include <TextView.h>

#include "ShapedLine.h"
#include "TextMotion.h"
#include "TextViewData.h"
#include "VisualLine.h"

using BPrivate::VisualLine;
using BPrivate::shaped_line;
namespace TextMotion = BPrivate::TextMotion;


const shaped_line*
BTextView::_ShapedLineOf(int32 line) const
{
	BPrivate::WrapLayout& layout = *fData->layout;
	int32 start = layout.LayoutLineStart(line);
	int32 end = layout.LayoutLineEnd(line);
	if (const shaped_line* kept = fData->shapedLines.Find(start, end))
		return kept;
	if (!BPrivate::NeedsShaping(fData->text, start, end))
		return NULL;

	bool controlPictures = fData->controlPictures;
	BPrivate::line_source source{fData->text, fData->lines, layout,
		fData->font, fData->tabWidth > 0,
		[controlPictures](const char* bytes, int32 length) {
			BPrivate::display_char shown = BPrivate::classify_char_bytes(
				bytes, length, controlPictures);
			return shown.placeholder != NULL || shown.markedByte >= 0;
		}};
	return fData->shapedLines.Store(BPrivate::ShapeLine(source, start, end));
}


const VisualLine*
BTextView::_VisualLineOf(int32 line) const
{
	const shaped_line* shaped = _ShapedLineOf(line);
	return shaped != NULL ? &shaped->visual : NULL;
}


int32
BTextView::_SnapToShaped(int32 offset, bool forward) const
{
	const VisualLine* visual = _VisualLineOf(
		fData->layout->LayoutLineAt(offset));
	int32 start;
	int32 end;
	if (visual == NULL || !visual->ClusterAround(offset, start, end)
		|| offset == start) {
		return offset;
	}
	return forward ? end : start;
}


void
BTextView::_TextShifted(int32 from, int32 oldTo, int32 newTo)
{
	if (fData->shapedLines.CountLines() == 0)
		return;
	// The lines after the edit in its own hard line may change direction
	// with it.
	fData->shapedLines.TextShifted(from, oldTo, newTo,
		TextMotion::LineEnd(fData->lines, newTo));
}
