/*
 * BTextView: a view that shows and edits text. The text is kept as raw
 * bytes: what SetText() receives is what Text() returns, NUL bytes,
 * invalid UTF-8 and CR included. Bytes that do not draw (NUL, control
 * characters, bytes that are not UTF-8) are shown as visible placeholders
 * and never changed. Offsets are byte offsets; the caret never stops
 * inside a well-formed UTF-8 sequence.
 *
 * The text is laid out inside the text rectangle (view coordinates): its
 * right edge is the wrapping width, and its bottom follows the laid-out
 * text. Layout is lazy, so showing the start of a long text lays out only
 * that start, and an edit lays out only what it changes.
 *
 * Every change that typing, Insert(), Delete(), Cut(), Paste() and undo
 * or redo make passes through the protected hooks InsertText() and
 * DeleteText(), once for each change; a subclass that overrides them and
 * calls the base class sees the change applied when that call returns.
 * SetText() replaces the whole text without them and clears the undo
 * history.
 *
 * Threads: the window's thread, or a thread that holds the window's lock.
 * Owns: its text, layout, undo history and run array copies.
 */
#ifndef _TEXTVIEW_H
#define _TEXTVIEW_H

#include <Font.h>
#include <InterfaceDefs.h>
#include <View.h>

#include <functional>

class BClipboard;
class BFile;
class BMessage;
class BRegion;

namespace BPrivate {
class RangeSplice;
class UndoStep;
class VisualLine;
struct shaped_line;
struct text_view_data;
}

struct text_run {
	// Where the run starts.
	int32				offset;
	BFont				font;
	rgb_color			color;
};

struct text_run_array {
	int32				count;
	text_run			runs[1];
};

enum undo_state {
	B_UNDO_UNAVAILABLE,
	B_UNDO_TYPING,
	B_UNDO_CUT,
	B_UNDO_PASTE,
	B_UNDO_CLEAR,
	B_UNDO_DROP
};

class BTextView : public BView {
public:
								BTextView(BRect frame, const char* name,
									BRect textRect, uint32 resizingMode,
									uint32 flags);
	// A NULL font or colour takes the view's default (be_plain_font,
	// black).
								BTextView(BRect frame, const char* name,
									BRect textRect, const BFont* initialFont,
									const rgb_color* initialColor,
									uint32 resizingMode, uint32 flags);
	virtual						~BTextView();

	// Hook functions
	virtual	void				AttachedToWindow();
	virtual	void				DetachedFromWindow();
	virtual	void				Draw(BRect updateRect);
	virtual	void				MouseDown(BPoint where);
	virtual	void				MouseUp(BPoint where);
	virtual	void				MouseMoved(BPoint where, uint32 transit,
									const BMessage* dragMessage);
	virtual	void				WindowActivated(bool active);
	virtual	void				KeyDown(const char* bytes, int32 numBytes);
	// Blinks the caret.
	virtual	void				Pulse();
	virtual	void				FrameResized(float newWidth, float newHeight);
	virtual	void				MakeFocus(bool focus = true);
	// B_UNDO, B_REDO, B_CUT, B_COPY, B_PASTE and B_SELECT_ALL; the
	// mouse wheel scrolls. Anything else goes to BView.
	virtual	void				MessageReceived(BMessage* message);

	// The text
	// Replaces the text by the bytes up to the first NUL, or by exactly
	// length bytes (NUL bytes included). A NULL text empties the view.
	// The selection becomes a caret at the start and the view scrolls
	// to the top.
			void				SetText(const char* text,
									const text_run_array* runs = NULL);
			void				SetText(const char* text, int32 length,
									const text_run_array* runs = NULL);
	// The bytes of the file from offset on, length of them (fewer when
	// the file ends first). A file that cannot be read leaves the text
	// as it was.
			void				SetText(BFile* file, int32 offset,
									int32 length,
									const text_run_array* runs = NULL);

	// At the start of the selection (replacing nothing); at offset.
			void				Insert(const char* text,
									const text_run_array* runs = NULL);
			void				Insert(const char* text, int32 length,
									const text_run_array* runs = NULL);
			void				Insert(int32 offset, const char* text,
									int32 length,
									const text_run_array* runs = NULL);
	// The selection; the bytes from startOffset to endOffset (clipped
	// to the text).
			void				Delete();
			void				Delete(int32 startOffset, int32 endOffset);

	// Extension of this implementation, not part of the original API:
	// replaces count ranges of rangeLength bytes, starting at the given
	// ascending offsets, each by the same length bytes of text, as one
	// change and one undo step. The hooks see the change as one deletion
	// and one insertion for each piece of about a megabyte that holds
	// ranges, so that a million replacements cost one pass over the text
	// and a hundred hook calls.
	// Afterwards the new bytes of the last range are selected.
	// B_BAD_VALUE, changing nothing, when there are no ranges, when they
	// overlap, leave the text or begin or end inside a UTF-8 character,
	// or when the result would pass MaxBytes(); B_NO_MEMORY, changing
	// nothing, when the new text cannot be held; B_ERROR when a hook
	// refused the change.
			status_t			ReplaceRanges(const int32* offsets,
									int32 count, int32 rangeLength,
									const char* text, int32 length);

	// The whole text, followed by a NUL that is not part of it; valid
	// until the next change.
			const char*			Text() const;
			int32				TextLength() const;
	// Copies up to length bytes from offset into buffer and adds a NUL
	// after them: buffer must hold length + 1 bytes.
			void				GetText(int32 offset, int32 length,
									char* buffer) const;
	// Constant time. 0 for offsets outside the text.
			uchar				ByteAt(int32 offset) const;

	// Lines. These count the lines of the layout: a text line that
	// wraps counts as several.
			int32				CountLines() const;
	// The line that holds the start of the selection.
			int32				CurrentLine() const;
	// Puts the caret at the start of the line (clamped to the lines
	// there are) and scrolls it into view.
			void				GoToLine(int32 lineNumber);

	// The clipboard
	virtual	void				Cut(BClipboard* clipboard);
	virtual	void				Copy(BClipboard* clipboard);
	virtual	void				Paste(BClipboard* clipboard);
	// Deletes the selection as an undoable step of its own.
			void				Clear();
	virtual	bool				AcceptsPaste(BClipboard* clipboard);

	// The selection. Offsets are clamped to the text and moved off the
	// inside of UTF-8 sequences; start after end selects nothing.
	virtual	void				Select(int32 startOffset, int32 endOffset);
			void				SelectAll();
			void				GetSelection(int32* _start,
									int32* _end) const;

	// Fonts and colours. The view is unstylable by default: one font and
	// one colour for the whole text, whatever the offsets say.
			void				SetFontAndColor(const BFont* font,
									uint32 mode = B_FONT_ALL,
									const rgb_color* color = NULL);
			void				SetFontAndColor(int32 startOffset,
									int32 endOffset, const BFont* font,
									uint32 mode = B_FONT_ALL,
									const rgb_color* color = NULL);
			void				GetFontAndColor(int32 offset, BFont* _font,
									rgb_color* _color = NULL) const;
			void				GetFontAndColor(BFont* _font, uint32* _mode,
									rgb_color* _color = NULL,
									bool* _sameColor = NULL) const;
	// A run array of the one font and colour, for the range; the caller
	// frees it with FreeRunArray().
			text_run_array*		RunArray(int32 startOffset, int32 endOffset,
									int32* _size = NULL) const;
	static	text_run_array*		AllocRunArray(int32 entryCount,
									int32* _size = NULL);
	static	void				FreeRunArray(text_run_array* array);

	// Geometry, in view coordinates.
	// The line holding the offset; the line at the point's height.
			int32				LineAt(int32 offset) const;
			int32				LineAt(BPoint point) const;
	// The top left of the caret before the offset; _height gets the
	// line's height.
			BPoint				PointAt(int32 offset,
									float* _height = NULL) const;
	// The character boundary nearest to the point.
			int32				OffsetAt(BPoint point) const;
	// Where the line starts: 0 for negative lines, TextLength() past
	// the last.
			int32				OffsetAt(int32 line) const;
	// The word around the offset, as a double click selects it.
	virtual	void				FindWord(int32 offset, int32* _fromOffset,
									int32* _toOffset);
	// Whether a line may break after the offset.
	virtual	bool				CanEndLine(int32 offset);
			float				LineWidth(int32 lineNumber = 0) const;
			float				LineHeight(int32 lineNumber = 0) const;
	// The height of the lines startLine to endLine, both included.
			float				TextHeight(int32 startLine,
									int32 endLine) const;
			void				GetTextRegion(int32 startOffset,
									int32 endOffset,
									BRegion* outRegion) const;

	// Scrolling
	virtual	void				ScrollToOffset(int32 offset);
	// Keeps the scroll bars where the view went.
	virtual	void				ScrollTo(BPoint where);
			void				ScrollToSelection();

	// The text rectangle: the right edge is the wrapping width; the
	// bottom returned is that of the laid-out text.
			void				SetTextRect(BRect rect);
			BRect				TextRect() const;

	// Settings
			void				SetStylable(bool stylable);
			bool				IsStylable() const;
			void				SetTabWidth(float width);
			float				TabWidth() const;
			void				MakeSelectable(bool selectable = true);
			bool				IsSelectable() const;
			void				MakeEditable(bool editable = true);
			bool				IsEditable() const;
			void				SetWordWrap(bool wrap);
			bool				DoesWordWrap() const;
	// Typing, pasting and inserting stop at this many bytes; negative
	// means no limit.
			void				SetMaxBytes(int32 max);
			int32				MaxBytes() const;
	// Typing a disallowed character beeps and inserts nothing.
			void				DisallowChar(uint32 character);
			void				AllowChar(uint32 character);
			void				SetAlignment(alignment flag);
			alignment			Alignment() const;
	// Enter starts the new line with the spaces and tabs of the old.
			void				SetAutoindent(bool state);
			bool				DoesAutoindent() const;

	// Undo. Undo() undoes the last step; B_REDO redoes it.
			void				SetDoesUndo(bool undo);
			bool				DoesUndo() const;
			void				Undo(BClipboard* clipboard);
	// What the next Undo() undoes; _isRedo is false.
			undo_state			UndoState(bool* _isRedo) const;

protected:
	// Every insertion passes through here: length bytes of text at
	// offset. The base class inserts them and moves the selection that
	// lies at or after offset along.
	virtual	void				InsertText(const char* text, int32 length,
									int32 offset,
									const text_run_array* runs);
	// Every deletion: the bytes from fromOffset to toOffset.
	virtual	void				DeleteText(int32 fromOffset, int32 toOffset);

public:
	class Private;

private:
	friend class Private;

								BTextView(const BTextView&) = delete;
			BTextView&			operator=(const BTextView&) = delete;

			void				_Init(BRect textRect, const BFont* font,
									const rgb_color* color);

	// Editing (TextView.cpp)
			bool				_Replace(int32 from, int32 to,
									const char* text, int32 length,
									int kind);
			void				_ReplaceAll(bool indexed);
			int32				_ClipToMaxBytes(int32 length,
									int32 replaced) const;
			void				_Changed(int32 from, int32 to);
			void				_MeasureRun(const char* bytes, int32 length,
									float* _advances) const;

	// Layout and drawing (TextViewLayout.cpp)
			void				_ApplyFont();
			void				_ApplyTextRect();
			float				_LineLeft(int32 line) const;
			void				_InvalidateFrom(int32 offset);
			void				_InvalidateRange(int32 from, int32 to);
			void				_DrawLineHighlight(int32 line, float top);
			void				_DrawLineText(int32 line, float top,
									BRect bounds);
			void				_DrawStandIn(int32 offset, int32 length,
									BPoint where);
			void				_DrawCaret(bool on);
			void				_ScrollToPoint(BPoint point, float height);
			void				_UpdateScrollBars();
			float				_MeasureLineWidth(int32 line) const;
			void				_ForgetWidths();

	// Shaped lines (TextViewBidi.cpp)
	// A layout line with text that is not plain ASCII as shaped and
	// ordered for display, from the cache or shaped now; NULL for plain
	// ASCII, whose x is the sum of its characters' widths, and for lines
	// too long to shape whole.
			const BPrivate::shaped_line* _ShapedLineOf(int32 line) const;
	// Where the shaped line's clusters are displayed, or NULL.
			const BPrivate::VisualLine* _VisualLineOf(int32 line) const;
	// offset, or where the caret goes instead when it lies inside a
	// cluster of the drawn glyphs (a conjunct, a ligature that a script
	// requires): that cluster's end going forward, else its start.
			int32				_SnapToShaped(int32 offset,
									bool forward) const;
	// The text from..oldTo was replaced by from..newTo: the shaped lines
	// it touched go, the later ones move along.
			void				_TextShifted(int32 from, int32 oldTo,
									int32 newTo);
	// Calls run(from, to, x) for each stretch of ordinary characters of
	// a layout line that is drawn in one piece, and standIn(offset,
	// length, x, width) for each tab and control character between them;
	// x from the line's left edge. Only what lies between fromX and toX.
			void				_ForEachPiece(int32 line, float fromX,
									float toX,
									const std::function<void(int32, int32,
										float)>& run,
									const std::function<void(int32, int32,
										float, float)>& standIn) const;

	// Input (TextViewInput.cpp)
			void				_HandleArrow(uint32 key, uint32 modifiers);
			void				_HandleVertical(int32 lines,
									uint32 modifiers);
			void				_MoveCaretTo(int32 offset, bool extend);
			void				_Backspace(uint32 modifiers);
			void				_ForwardDelete(uint32 modifiers);
			void				_TypeCharacters(const char* bytes,
									int32 numBytes);
			bool				_HandleCommandKey(const char* bytes,
									uint32 modifiers);
			void				_TrackMouse(BPoint where);
	// Starts or ends tracking the held mouse button, with the repeats
	// that scroll on while the pointer rests outside the view.
			void				_SetTracking(bool tracking);
			void				_TrackHeldMouse();
			void				_Autoscroll(BPoint where);

	// Many ranges replaced at once (TextViewSplice.cpp)
			status_t			_Splice(const BPrivate::RangeSplice& splice,
									const BPrivate::RangeSplice& inverse);
			int32				_SplicePieces(
									const BPrivate::RangeSplice& splice);
			bool				_SpliceRangesValid(const int32* offsets,
									int32 count, int32 rangeLength) const;

	// Clipboard and undo (TextViewEditing.cpp)
			void				_Redo();
			void				_ApplyUndoStep(bool redo);
			bool				_ApplyRangesStep(
									const BPrivate::UndoStep* step,
									bool redo);

	// Input methods (TextViewInputMethod.cpp)
			void				_HandleInputMethod(BMessage* message);
			void				_InlineInputChanged(BMessage* message);
	// Ends the composition shown, if any: its text is typed
	// (BPrivate::INLINE_KEEP) or dropped (INLINE_DROP), and the input
	// method is told to forget it.
			void				_EndInlineInput(int ending);
	// Draws the layout line with the composition at the caret, the text
	// after it moved along; false for a line that does not hold it.
			bool				_DrawInlineLine(int32 line, float top,
									BRect bounds);
	// Where the text being typed goes: the composition's cursor or
	// selection, else the caret (view coordinates).
			BRect				_TextInputRect() const;
	// Tells the input method where that is, when it moved.
			void				_ReportTextInput();

	// The desktop's selection and context menu (TextViewDesktop.cpp)
			void				_OfferSelection();
			void				_PastePrimary(BPoint where);
			void				_ShowContextMenu(BPoint where);

			BPrivate::text_view_data* fData;
};

#endif	// _TEXTVIEW_H
