/*
 * Private to the kits: what a BTextView holds beyond its public members.
 * The storage helpers do the work; the view ties them to drawing and
 * input.
 */
#ifndef _KITS_TEXT_VIEW_DATA_H
#define _KITS_TEXT_VIEW_DATA_H

#include <Font.h>
#include <TextView.h>
#include <GraphicsDefs.h>
#include <InterfaceDefs.h>
#include <Rect.h>

#include "ByteMark.h"
#include "LineIndex.h"
#include "ShapedLineCache.h"
#include "TextBuffer.h"
#include "UndoBuffer.h"
#include "VisualLine.h"
#include "WrapLayout.h"

#include <MessageRunner.h>

#include <map>
#include <memory>
#include <set>
#include <vector>

#include "FontManager.h"

namespace BPrivate {

// Bytes that do not draw as themselves get a visible stand-in that tells
// them apart: NUL, the control characters and DEL their Unicode control
// pictures where the fonts have those, otherwise (and for every byte that
// is not UTF-8) the byte's mark (see ByteMark.h). placeholder is NULL and
// markedByte negative for characters that draw as they are.
struct display_char {
	int32				length;
	const char*			placeholder;
	int32				markedByte;
};
// For the character of length bytes (as TextMotion splits the text);
// controlPictures tells whether the fonts have the control pictures.
display_char classify_char_bytes(const char* bytes, int32 length,
	bool controlPictures);

struct text_view_data {
								text_view_data();

	// Mutable because the layout is lazy: const queries lay out what
	// they need.
	mutable TextBuffer	text;
	mutable LineIndex	lines;
	mutable std::unique_ptr<WrapLayout> layout;
	UndoBuffer			undo;

	BFont				font;
	rgb_color			color;
	font_height			fontHeight;
	float				lineHeight;
	// Whether the font or its fallbacks draw every control picture; the
	// bytes' marks stand in for them all where one is missing.
	bool				controlPictures;
	ByteMark			byteMark;

	// As given; TextRect() reports the bottom of the laid-out text.
	BRect				textRect;
	float				tabWidth;
	alignment			align;

	int32				selectionStart;
	int32				selectionEnd;
	// The end that moves when the selection is extended with Shift; the
	// other end stays.
	int32				anchor;
	// The x that up and down arrows keep to, or negative when the next
	// vertical move takes it from the caret.
	float				goalX;
	// The widest line measured for the horizontal scroll bar since the
	// text, font or wrapping last changed; the bar keeps the range it
	// gave even after the line has scrolled out of view.
	float				widestLine;
	// Set while the scroll bars are being set, so that a bar that moves
	// the view meanwhile does not start another round.
	bool				updatingBars;
	// The layout lines the bars were last set for; drawing lays out more
	// and, when that changed the count, sets them again.
	int32				barLines;
	// Set while a replacement runs its deletion and insertion, so that
	// the bars see only the result: a range that shrank in between would
	// pull the view up.
	bool				replacing;

	bool				editable;
	bool				selectable;
	bool				stylable;
	bool				wrap;
	bool				autoindent;
	bool				doesUndo;
	int32				maxBytes;
	std::set<uint32>	disallowed;

	bool				active;
	bool				caretVisible;

	// Mouse tracking: the button is down, and what the click selects by
	// (1 characters, 2 words, 3 lines) around which range.
	bool				tracking;
	int32				clickKind;
	int32				clickStart;
	int32				clickEnd;
	// While tracking, sends kMsgAutoscroll to the view.
	std::unique_ptr<BMessageRunner> autoscroller;

	// The layout lines that are not plain ASCII, shaped (see
	// _ShapedLineOf()).
	ShapedLineCache		shapedLines;
};

// A selection being dragged past the view's edge goes on at this pace
// while the pointer rests there.
const uint32 kMsgAutoscroll = '_TVa';
const bigtime_t kAutoscrollInterval = 50000;

// The context menu's Delete: the selection goes, as with the Delete key.
const uint32 kMsgClearSelection = '_TVc';

}	// namespace BPrivate


// What the kits' tests may ask a text view beyond the API.
class BTextView::Private {
public:
								Private(const BTextView* view)
									: fView(view) {}

	// How many layout lines the view has shaped so far: a line is shaped
	// once and kept until an edit or a change of font touches it.
			int64				LinesShaped() const
									{ return fView->fData->shapedLines
										.LinesStored(); }

private:
			const BTextView*	fView;
};

#endif	// _KITS_TEXT_VIEW_DATA_H
