/*
 * BTextView: construction, the text and its changes, the selection and
 * the settings. Every change goes through the InsertText() and
 * DeleteText() hooks; the base hooks keep the buffer, the line index and
 * the layout in step and redraw what moved.
 */
#include <TextView.h>

#include <File.h>
#include <Window.h>

#include "AccessibilityHooks.h"
#include "FontPrivate.h"
#include "TextMotion.h"
#include "TextViewData.h"
#include "UTF8Decoding.h"

#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <new>
#include <string>

using BPrivate::text_view_data;
namespace TextMotion = BPrivate::TextMotion;

namespace {

// A change a program made, not the user: recorded as a step of its own.
const int kProgramChange = -1;

const float kDefaultTabWidth = 28.0f;


// Where to cut length bytes of text so that no character is cut in two:
// clipped, or the start of the character that runs across it.
int32
clip_to_character(const char* text, int32 length, int32 clipped)
{
	if (clipped >= length || clipped <= 0)
		return clipped;
	for (int32 back = 1; back <= 3 && clipped - back >= 0; back++) {
		uint32 codePoint;
		int32 start = clipped - back;
		if (BPrivate::DecodeUTF8(text + start, length - start, codePoint)
				> back) {
			return start;
		}
	}
	return clipped;
}


// The width of what stands in for a character that does not draw as
// itself (a control character, a byte that is not UTF-8); -1 for one that
// draws as itself.
float
stand_in_width(const text_view_data& data,
	const BPrivate::display_char& shown)
{
	if (shown.markedByte >= 0)
		return data.byteMark.Width();
	if (shown.placeholder != NULL) {
		return data.font.StringWidth(shown.placeholder,
			(int32)strlen(shown.placeholder));
	}
	return -1;
}

}	// namespace


BPrivate::text_view_data::text_view_data()
	:
	color(make_color(0, 0, 0)),
	lineHeight(0),
	controlPictures(false),
	tabWidth(kDefaultTabWidth),
	align(B_ALIGN_LEFT),
	selectionStart(0),
	selectionEnd(0),
	anchor(0),
	goalX(-1),
	widestLine(0),
	updatingBars(false),
	barLines(-1),
	replacing(false),
	editable(true),
	selectable(true),
	stylable(false),
	wrap(true),
	autoindent(false),
	doesUndo(true),
	maxBytes(INT32_MAX),
	active(false),
	caretVisible(false),
	tracking(false),
	clickKind(1),
	clickStart(0),
	clickEnd(0)
{
	fontHeight.ascent = fontHeight.descent = fontHeight.leading = 0;
}


BTextView::BTextView(BRect frame, const char* name, BRect textRect,
	uint32 resizingMode, uint32 flags)
	:
	BView(frame, name, resizingMode,
		flags | B_FRAME_EVENTS | B_PULSE_NEEDED | B_INPUT_METHOD_AWARE),
	fData(NULL)
{
	_Init(textRect, NULL, NULL);
}


BTextView::BTextView(BRect frame, const char* name, BRect textRect,
	const BFont* initialFont, const rgb_color* initialColor,
	uint32 resizingMode, uint32 flags)
	:
	BView(frame, name, resizingMode,
		flags | B_FRAME_EVENTS | B_PULSE_NEEDED | B_INPUT_METHOD_AWARE),
	fData(NULL)
{
	_Init(textRect, initialFont, initialColor);
}


// The advances of a word as it is drawn: shaped as a whole, each
// cluster's advance at its first byte; bytes that are not UTF-8 as their
// stand-ins.
void
BTextView::_MeasureRun(const char* bytes, int32 length, float* _advances)
	const
{
	std::vector<BPrivate::GlyphPlacement> glyphs;
	BFont::Private(fData->font).LayoutLogical(bytes, length, glyphs);
	for (const BPrivate::GlyphPlacement& glyph : glyphs) {
		if (glyph.offset >= 0 && glyph.offset < length)
			_advances[glyph.offset] += glyph.width;
	}
	// Control characters and bytes that are not UTF-8 are drawn as
	// their stand-ins, at the stand-ins' widths.
	for (int32 at = 0; at < length;) {
		uint32 codePoint;
		int32 size = BPrivate::DecodeUTF8(bytes + at,
			std::min((int32)4, length - at), codePoint);
		float width = stand_in_width(*fData,
			BPrivate::classify_char_bytes(bytes + at, size,
				fData->controlPictures));
		if (width >= 0)
			_advances[at] = width;
		at += size;
	}
}


BTextView::~BTextView()
{
	delete fData;
}


void
BTextView::_Init(BRect textRect, const BFont* font, const rgb_color* color)
{
	fData = new text_view_data;
	const BPrivate::TextBuffer& text = fData->text;
	fData->layout.reset(new BPrivate::WrapLayout(fData->text, fData->lines,
		[this, &text](const char* bytes, int32 length) {
			float width = stand_in_width(*fData,
				BPrivate::classify_char_bytes(bytes, length,
					fData->controlPictures));
			return width >= 0 ? width
				: fData->font.StringWidth(bytes, length);
		},
		[this](const char* bytes, int32 length, float* _advances) {
			_MeasureRun(bytes, length, _advances);
		}));
	if (font != NULL)
		fData->font = *font;
	if (color != NULL)
		fData->color = *color;
	else
		fData->color = ui_color(B_DOCUMENT_TEXT_COLOR);
	SetViewColor(ui_color(B_DOCUMENT_BACKGROUND_COLOR));
	fData->layout->SetWrapping(fData->wrap);
	fData->layout->SetTabWidth(fData->tabWidth);
	fData->textRect = textRect;
	_ApplyFont();
	_ApplyTextRect();
}


// #pragma mark - The text


void
BTextView::SetText(const char* text, const text_run_array* runs)
{
	SetText(text, text != NULL ? (int32)strlen(text) : 0, runs);
}


void
BTextView::SetText(const char* text, int32 length, const text_run_array* runs)
{
	(void)runs;
	if (text == NULL || length < 0)
		length = 0;
	// A composition over text that is going has nowhere to be typed.
	_EndInlineInput(BPrivate::INLINE_DROP);
	if (fData->text.SetTo(text, length) != B_OK)
		return;
	_ReplaceAll(false);
}


void
BTextView::SetText(BFile* file, int32 offset, int32 length,
	const text_run_array* runs)
{
	(void)runs;
	if (file == NULL || offset < 0 || length < 0)
		return;
	_EndInlineInput(BPrivate::INLINE_DROP);
	// The lines are indexed as the pieces come in.
	BPrivate::LineIndex lines;
	bool indexed = true;
	status_t status = fData->text.ReadFrom(file, offset, length,
		[&](const char* bytes, int32 count) {
			indexed = indexed && lines.Insert(lines.TextLength(), bytes,
				count) == B_OK;
		});
	if (status != B_OK)
		return;
	if (indexed)
		fData->lines.Swap(lines);
	_ReplaceAll(indexed);
}


// The buffer holds a new text: index it unless that is done, lay it out
// anew and start over.
void
BTextView::_ReplaceAll(bool indexed)
{
	if (!indexed && fData->lines.SetTo(fData->text.Text(),
			fData->text.Length()) != B_OK) {
		fData->text.SetTo(NULL, 0);
		fData->lines.SetTo(NULL, 0);
	}
	fData->layout->InvalidateAll();
	fData->undo.Clear();
	fData->selectionStart = fData->selectionEnd = fData->anchor = 0;
	fData->goalX = -1;
	BPrivate::accessible_text_replaced(this, *fData);
	_ForgetWidths();
	ScrollTo(BPoint(0, 0));
	Invalidate();
	_UpdateScrollBars();
}


void
BTextView::Insert(const char* text, const text_run_array* runs)
{
	Insert(text, text != NULL ? (int32)strlen(text) : 0, runs);
}


void
BTextView::Insert(const char* text, int32 length, const text_run_array* runs)
{
	Insert(fData->selectionStart, text, length, runs);
}


void
BTextView::Insert(int32 offset, const char* text, int32 length,
	const text_run_array* runs)
{
	(void)runs;
	if (text == NULL || length <= 0)
		return;
	offset = TextMotion::CharStart(fData->text, offset);
	length = clip_to_character(text, length, _ClipToMaxBytes(length, 0));
	_Replace(offset, offset, text, length, kProgramChange);
}


void
BTextView::Delete()
{
	Delete(fData->selectionStart, fData->selectionEnd);
}


void
BTextView::Delete(int32 startOffset, int32 endOffset)
{
	startOffset = std::clamp(startOffset, (int32)0, TextLength());
	endOffset = std::clamp(endOffset, (int32)0, TextLength());
	if (startOffset >= endOffset)
		return;
	_Replace(startOffset, endOffset, NULL, 0, kProgramChange);
}


const char*
BTextView::Text() const
{
	return fData->text.Text();
}


int32
BTextView::TextLength() const
{
	return fData->text.Length();
}


void
BTextView::GetText(int32 offset, int32 length, char* buffer) const
{
	if (buffer == NULL)
		return;
	int32 copied = fData->text.GetText(offset, length, buffer);
	buffer[copied] = '\0';
}


uchar
BTextView::ByteAt(int32 offset) const
{
	return (uchar)fData->text.ByteAt(offset);
}


// #pragma mark - The hooks


void
BTextView::InsertText(const char* text, int32 length, int32 offset,
	const text_run_array* runs)
{
	(void)runs;
	if (text == NULL || length <= 0)
		return;
	offset = std::clamp(offset, (int32)0, TextLength());

	// The index reads the bytes before the buffer takes them, since the
	// bytes may lie in the buffer itself and move when it grows.
	int32 linesBefore = fData->lines.CountLines();
	if (fData->lines.Insert(offset, text, length) != B_OK)
		return;
	if (fData->text.Insert(offset, text, length) != B_OK) {
		fData->lines.Remove(offset, offset + length);
		return;
	}
	fData->layout->TextInserted(offset, length,
		fData->lines.CountLines() - linesBefore);

	int32& start = fData->selectionStart;
	int32& end = fData->selectionEnd;
	if (start >= offset)
		start += length;
	if (end >= offset)
		end += length;
	if (fData->anchor >= offset)
		fData->anchor += length;
	_TextShifted(offset, offset, offset + length);
	_Changed(offset, offset + length);
	BPrivate::accessible_text_inserted(this, *fData, offset, length);
	BPrivate::accessible_selection_changed(this);
}


void
BTextView::DeleteText(int32 fromOffset, int32 toOffset)
{
	fromOffset = std::clamp(fromOffset, (int32)0, TextLength());
	toOffset = std::clamp(toOffset, (int32)0, TextLength());
	if (fromOffset >= toOffset)
		return;

	int32 linesBefore = fData->lines.CountLines();
	BPrivate::accessible_text_will_remove(this, *fData, fromOffset, toOffset);
	if (fData->text.Remove(fromOffset, toOffset) != B_OK) {
		if (fData->characters != NULL)
			fData->characters->Reset();
		return;
	}
	fData->lines.Remove(fromOffset, toOffset);
	fData->layout->TextRemoved(fromOffset, toOffset - fromOffset,
		linesBefore - fData->lines.CountLines());

	int32 length = toOffset - fromOffset;
	auto follow = [=](int32& position) {
		if (position >= toOffset)
			position -= length;
		else if (position > fromOffset)
			position = fromOffset;
	};
	follow(fData->selectionStart);
	follow(fData->selectionEnd);
	follow(fData->anchor);
	_TextShifted(fromOffset, toOffset, fromOffset);
	_Changed(fromOffset, fromOffset);
	BPrivate::accessible_selection_changed(this);
}


// Replaces from..to by the text through the hooks, and records the change
// for undo as the kind says. False when the hooks changed nothing.
bool
BTextView::_Replace(int32 from, int32 to, const char* text, int32 length,
	int kind)
{
	std::string removed;
	std::string inserted;
	try {
		removed = fData->text.GetText(from, to - from);
		// The bytes may lie in the buffer that the deletion moves.
		inserted.assign(text != NULL ? text : "", std::max(length, 0));
	} catch (const std::bad_alloc&) {
		return false;
	}
	int32 selectionStart = fData->selectionStart;
	int32 selectionEnd = fData->selectionEnd;

	int32 before = TextLength();
	fData->replacing = true;
	if (to > from)
		DeleteText(from, to);
	bool deleted = to > from && TextLength() == before - (to - from);
	int32 middle = TextLength();
	if (!inserted.empty())
		InsertText(inserted.data(), (int32)inserted.size(), from, NULL);
	fData->replacing = false;
	_UpdateScrollBars();
	bool added = !inserted.empty()
		&& TextLength() == middle + (int32)inserted.size();
	if (!deleted && !added) {
		fData->undo.BreakCoalescing();
		return false;
	}

	// A change a program makes with Insert() or Delete() is a step of
	// its own, so that the steps before it still undo at the right
	// offsets.
	if (kind == kProgramChange)
		kind = BPrivate::UNDO_OTHER;
	if (fData->doesUndo) {
		const char* removedBytes = deleted ? removed.data() : NULL;
		int32 removedLength = deleted ? (int32)removed.size() : 0;
		const char* insertedBytes = added ? inserted.data() : NULL;
		int32 insertedLength = added ? (int32)inserted.size() : 0;
		int32 caret = from + insertedLength;
		switch (kind) {
			case BPrivate::UNDO_TYPING:
				fData->undo.RecordTyping(from, removedBytes, removedLength,
					insertedBytes, insertedLength, selectionStart,
					selectionEnd);
				break;
			case BPrivate::UNDO_BACKSPACE:
			case BPrivate::UNDO_FORWARD_DELETE:
				if (insertedLength == 0) {
					fData->undo.RecordDeletion((BPrivate::undo_edit_kind)kind,
						from, removedBytes, removedLength, selectionStart);
					break;
				}
				// A hook added bytes: record the change as it is.
				[[fallthrough]];
			default:
				fData->undo.RecordEdit(BPrivate::UNDO_OTHER, from,
					removedBytes, removedLength, insertedBytes,
					insertedLength, selectionStart, selectionEnd, caret,
					caret);
				break;
		}
	}
	return true;
}


int32
BTextView::_ClipToMaxBytes(int32 length, int32 replaced) const
{
	int64 room = (int64)fData->maxBytes - (TextLength() - replaced);
	if (room <= 0)
		return 0;
	return (int32)std::min<int64>(length, room);
}


// #pragma mark - The selection


void
BTextView::Select(int32 startOffset, int32 endOffset)
{
	if (startOffset > endOffset)
		return;
	// The caret leaves the composition: it is typed where it stands, and
	// the offsets asked for keep to the text they were meant for.
	if (fData->inlineInput.active) {
		int32 composedStart = fData->selectionStart;
		int32 composedEnd = fData->selectionEnd;
		int32 lengthBefore = TextLength();
		_EndInlineInput(BPrivate::INLINE_KEEP);
		int32 added = TextLength() - lengthBefore;
		int32 typedEnd = fData->selectionStart;
		auto keep = [&](int32 offset) {
			if (offset >= composedEnd)
				return offset + added;
			return offset > composedStart ? typedEnd : offset;
		};
		startOffset = keep(startOffset);
		endOffset = keep(endOffset);
	}
	int32 length = TextLength();
	// A selection never ends inside a cluster: it grows to take in the
	// clusters it touches.
	bool empty = startOffset == endOffset;
	startOffset = TextMotion::ClusterStart(fData->text,
		std::clamp(startOffset, (int32)0, length));
	endOffset = empty ? startOffset : TextMotion::ClusterEnd(fData->text,
		std::clamp(endOffset, (int32)0, length));
	// Nor inside the cluster of a drawn glyph.
	startOffset = _SnapToShaped(startOffset, false);
	if (!empty)
		endOffset = _SnapToShaped(endOffset, true);
	if (endOffset < startOffset)
		endOffset = startOffset;

	int32 oldStart = fData->selectionStart;
	int32 oldEnd = fData->selectionEnd;
	fData->anchor = startOffset;
	fData->goalX = -1;
	if (oldStart == startOffset && oldEnd == endOffset)
		return;
	// The caret moved away from where typing goes on.
	fData->undo.BreakCoalescing();
	fData->selectionStart = startOffset;
	fData->selectionEnd = endOffset;

	// Only the lines whose highlight changed are drawn again.
	if (oldStart == oldEnd || startOffset == endOffset
		|| endOffset < oldStart || startOffset > oldEnd) {
		_InvalidateRange(oldStart, oldEnd);
		_InvalidateRange(startOffset, endOffset);
	} else {
		_InvalidateRange(std::min(oldStart, startOffset),
			std::max(oldStart, startOffset));
		_InvalidateRange(std::min(oldEnd, endOffset),
			std::max(oldEnd, endOffset));
	}
	fData->caretVisible = true;
	BPrivate::accessible_selection_changed(this);
}


void
BTextView::SelectAll()
{
	Select(0, TextLength());
	_OfferSelection();
}


void
BTextView::GetSelection(int32* _start, int32* _end) const
{
	if (_start != NULL)
		*_start = fData->selectionStart;
	if (_end != NULL)
		*_end = fData->selectionEnd;
}


void
BTextView::FindWord(int32 offset, int32* _fromOffset, int32* _toOffset)
{
	int32 from;
	int32 to;
	TextMotion::WordAt(fData->text, offset, from, to);
	if (_fromOffset != NULL)
		*_fromOffset = from;
	if (_toOffset != NULL)
		*_toOffset = to;
}


bool
BTextView::CanEndLine(int32 offset)
{
	char byte = fData->text.ByteAt(offset);
	return byte == ' ' || byte == '\t' || byte == '-' || byte == '\n';
}


// #pragma mark - Fonts and colours


void
BTextView::SetFontAndColor(const BFont* font, uint32 mode,
	const rgb_color* color)
{
	SetFontAndColor(0, TextLength(), font, mode, color);
}


void
BTextView::SetFontAndColor(int32 startOffset, int32 endOffset,
	const BFont* font, uint32 mode, const rgb_color* color)
{
	// One font and colour for all the text: the range does not matter
	// while the view is not stylable, and runs are not kept when it is.
	(void)startOffset;
	(void)endOffset;
	if (font != NULL) {
		BFont& own = fData->font;
		if ((mode & B_FONT_ALL) == B_FONT_ALL)
			own = *font;
		else {
			if ((mode & B_FONT_FAMILY_AND_STYLE) != 0)
				own.SetFamilyAndStyle(font->FamilyAndStyle());
			if ((mode & B_FONT_SIZE) != 0)
				own.SetSize(font->Size());
			if ((mode & B_FONT_SHEAR) != 0)
				own.SetShear(font->Shear());
			if ((mode & B_FONT_ROTATION) != 0)
				own.SetRotation(font->Rotation());
			if ((mode & B_FONT_SPACING) != 0)
				own.SetSpacing(font->Spacing());
			if ((mode & B_FONT_ENCODING) != 0)
				own.SetEncoding(font->Encoding());
			if ((mode & B_FONT_FACE) != 0)
				own.SetFace(font->Face());
			if ((mode & B_FONT_FLAGS) != 0)
				own.SetFlags(font->Flags());
		}
	}
	if (color != NULL)
		fData->color = *color;
	if (font != NULL && mode != 0)
		_ApplyFont();
	Invalidate();
}


void
BTextView::GetFontAndColor(int32 offset, BFont* _font,
	rgb_color* _color) const
{
	(void)offset;
	if (_font != NULL)
		*_font = fData->font;
	if (_color != NULL)
		*_color = fData->color;
}


void
BTextView::GetFontAndColor(BFont* _font, uint32* _mode, rgb_color* _color,
	bool* _sameColor) const
{
	if (_font != NULL)
		*_font = fData->font;
	if (_mode != NULL)
		*_mode = B_FONT_ALL;
	if (_color != NULL)
		*_color = fData->color;
	if (_sameColor != NULL)
		*_sameColor = true;
}


text_run_array*
BTextView::RunArray(int32 startOffset, int32 endOffset, int32* _size) const
{
	(void)endOffset;
	text_run_array* array = AllocRunArray(1, _size);
	if (array == NULL)
		return NULL;
	(void)startOffset;
	array->runs[0].offset = 0;
	array->runs[0].font = fData->font;
	array->runs[0].color = fData->color;
	return array;
}


text_run_array*
BTextView::AllocRunArray(int32 entryCount, int32* _size)
{
	if (entryCount <= 0)
		return NULL;
	size_t size = sizeof(text_run_array)
		+ (size_t)(entryCount - 1) * sizeof(text_run);
	void* block = malloc(size);
	if (block == NULL)
		return NULL;
	text_run_array* array = (text_run_array*)block;
	array->count = entryCount;
	for (int32 i = 0; i < entryCount; i++) {
		new (&array->runs[i]) text_run;
		array->runs[i].offset = 0;
		array->runs[i].color = make_color(0, 0, 0);
	}
	if (_size != NULL)
		*_size = (int32)size;
	return array;
}


void
BTextView::FreeRunArray(text_run_array* array)
{
	if (array == NULL)
		return;
	for (int32 i = 0; i < array->count; i++)
		array->runs[i].~text_run();
	free(array);
}


// #pragma mark - Settings


void
BTextView::SetStylable(bool stylable)
{
	fData->stylable = stylable;
}


bool
BTextView::IsStylable() const
{
	return fData->stylable;
}


void
BTextView::SetTabWidth(float width)
{
	if (!(width >= 0))
		width = 0;
	fData->tabWidth = width;
	fData->layout->SetTabWidth(width);
	_ForgetWidths();
	Invalidate();
	_UpdateScrollBars();
}


float
BTextView::TabWidth() const
{
	return fData->tabWidth;
}


void
BTextView::MakeSelectable(bool selectable)
{
	if (selectable == fData->selectable)
		return;
	fData->selectable = selectable;
	Invalidate();
}


bool
BTextView::IsSelectable() const
{
	return fData->selectable;
}


void
BTextView::MakeEditable(bool editable)
{
	if (editable == fData->editable)
		return;
	if (!editable)
		_EndInlineInput(BPrivate::INLINE_DROP);
	fData->editable = editable;
	Invalidate();
}


bool
BTextView::IsEditable() const
{
	return fData->editable;
}


void
BTextView::SetWordWrap(bool wrap)
{
	if (wrap == fData->wrap)
		return;
	fData->wrap = wrap;
	fData->layout->SetWrapping(wrap);
	_ForgetWidths();
	Invalidate();
	_UpdateScrollBars();
}


bool
BTextView::DoesWordWrap() const
{
	return fData->wrap;
}


void
BTextView::SetMaxBytes(int32 max)
{
	fData->maxBytes = max < 0 ? INT32_MAX : max;
	max = fData->maxBytes;
	// A limit below the text that is there cuts the text back to it.
	if (TextLength() > max)
		Delete(TextMotion::CharStart(fData->text, max), TextLength());
}


int32
BTextView::MaxBytes() const
{
	return fData->maxBytes;
}


void
BTextView::DisallowChar(uint32 character)
{
	fData->disallowed.insert(character);
}


void
BTextView::AllowChar(uint32 character)
{
	fData->disallowed.erase(character);
}


void
BTextView::SetAlignment(alignment flag)
{
	fData->align = flag;
	Invalidate();
}


alignment
BTextView::Alignment() const
{
	return fData->align;
}


void
BTextView::SetAutoindent(bool state)
{
	fData->autoindent = state;
}


bool
BTextView::DoesAutoindent() const
{
	return fData->autoindent;
}


void
BTextView::SetDoesUndo(bool undo)
{
	fData->doesUndo = undo;
	if (!undo)
		fData->undo.Clear();
}


bool
BTextView::DoesUndo() const
{
	return fData->doesUndo;
}
