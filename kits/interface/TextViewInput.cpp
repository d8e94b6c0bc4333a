/*
 * BTextView: the keyboard, the mouse, the caret and focus. The shortcut
 * modifier (B_COMMAND_KEY) moves by words with the arrows and reaches
 * the ends of the text with Home and End; Shift extends the selection
 * from its anchor.
 */
#include <TextView.h>

#include <Clipboard.h>
#include <Message.h>
#include <Window.h>

#include "DisplayServer.h"
#include "TextMotion.h"
#include "TextViewData.h"

#include <math.h>

#include <algorithm>
#include <string>

namespace TextMotion = BPrivate::TextMotion;

namespace {

// The modifiers of the message being handled: the key or click that
// called the hook, or what the server saw last.
uint32
current_modifiers(BWindow* window)
{
	BMessage* message = window != NULL ? window->CurrentMessage() : NULL;
	int32 modifiersHeld;
	if (message != NULL && message->FindInt32("modifiers", &modifiersHeld)
			== B_OK) {
		return (uint32)modifiersHeld;
	}
	return modifiers();
}

}	// namespace


void
BTextView::AttachedToWindow()
{
	BView::AttachedToWindow();
	fData->active = Window()->IsActive();
	SetFont(&fData->font);
	_UpdateScrollBars();
}


void
BTextView::DetachedFromWindow()
{
	_EndInlineInput(BPrivate::INLINE_DROP);
	_SetTracking(false);
	BView::DetachedFromWindow();
}


void
BTextView::WindowActivated(bool active)
{
	if (!active && IsFocus())
		_EndInlineInput(BPrivate::INLINE_KEEP);
	fData->reportedTextInput = BRect();
	fData->active = active;
	fData->caretVisible = active;
	Invalidate();
}


void
BTextView::MakeFocus(bool focus)
{
	if (!focus)
		_EndInlineInput(BPrivate::INLINE_KEEP);
	fData->reportedTextInput = BRect();
	BView::MakeFocus(focus);
	fData->caretVisible = focus;
	fData->undo.BreakCoalescing();
	if (Window() != NULL) {
		fData->active = Window()->IsActive();
		_InvalidateRange(fData->selectionStart, fData->selectionEnd);
	}
}


void
BTextView::FrameResized(float newWidth, float newHeight)
{
	BView::FrameResized(newWidth, newHeight);
	Invalidate();
	_UpdateScrollBars();
}


void
BTextView::Pulse()
{
	// A composition's cursor does not blink.
	if (!fData->editable || !IsFocus()
		|| fData->selectionStart != fData->selectionEnd
		|| fData->inlineInput.active) {
		return;
	}
	fData->caretVisible = !fData->caretVisible;
	float height;
	BPoint point = PointAt(fData->selectionStart, &height);
	Invalidate(BRect(point.x - 1, point.y, point.x + 1,
		point.y + height - 1));
}


// #pragma mark - Keys


void
BTextView::KeyDown(const char* bytes, int32 numBytes)
{
	if (bytes == NULL || numBytes <= 0)
		return;
	uint32 modifiersHeld = current_modifiers(Window());
	bool command = (modifiersHeld & B_COMMAND_KEY) != 0;
	// While a composition is shown its keys are the input method's: one
	// that reaches the view too is one the method also took (SDL hands a
	// key on when the method is slow to answer), and acting on it as
	// well would type twice. The shortcuts act on the text with the
	// composition typed.
	if (fData->inlineInput.active) {
		if (!command)
			return;
		_EndInlineInput(BPrivate::INLINE_KEEP);
	}
	uint8 key = (uint8)bytes[0];

	if (command && numBytes == 1 && _HandleCommandKey(bytes, modifiersHeld))
		return;

	switch (key) {
		case B_LEFT_ARROW:
		case B_RIGHT_ARROW:
		case B_HOME:
		case B_END:
			_HandleArrow(key, modifiersHeld);
			return;
		case B_UP_ARROW:
			_HandleVertical(-1, modifiersHeld);
			return;
		case B_DOWN_ARROW:
			_HandleVertical(1, modifiersHeld);
			return;
		case B_PAGE_UP:
		case B_PAGE_DOWN:
		{
			int32 page = std::max((int32)(Bounds().Height()
				/ fData->lineHeight) - 1, (int32)1);
			_HandleVertical(key == B_PAGE_UP ? -page : page, modifiersHeld);
			return;
		}
		case B_BACKSPACE:
			if (fData->editable)
				_Backspace(modifiersHeld);
			return;
		case B_DELETE:
			if (fData->editable)
				_ForwardDelete(modifiersHeld);
			return;
		default:
			break;
	}

	if (!fData->editable) {
		BView::KeyDown(bytes, numBytes);
		return;
	}
	if (key == B_ENTER || key == B_TAB || key >= 0x20) {
		if (command)
			return;
		_TypeCharacters(bytes, numBytes);
		return;
	}
	// Escape, Insert and the function keys type nothing.
	BView::KeyDown(bytes, numBytes);
}


// Command plus a letter: the editing commands, for views whose window
// has no menu item that took the key first.
bool
BTextView::_HandleCommandKey(const char* bytes, uint32 modifiers)
{
	switch (bytes[0]) {
		case 'z':
		case 'Z':
			if ((modifiers & B_SHIFT_KEY) != 0)
				_Redo();
			else
				Undo(be_clipboard);
			return true;
		case 'y':
		case 'Y':
			_Redo();
			return true;
		case 'x':
		case 'X':
			Cut(be_clipboard);
			return true;
		case 'c':
		case 'C':
			Copy(be_clipboard);
			return true;
		case 'v':
		case 'V':
			Paste(be_clipboard);
			return true;
		case 'a':
		case 'A':
			SelectAll();
			return true;
		default:
			return false;
	}
}


// The caret (or the moving end of the selection) goes to offset; with
// extend the anchor stays.
void
BTextView::_MoveCaretTo(int32 offset, bool extend)
{
	offset = std::clamp(offset, (int32)0, TextLength());
	float goalX = fData->goalX;
	if (extend && fData->selectable) {
		int32 anchor = fData->anchor;
		Select(std::min(anchor, offset), std::max(anchor, offset));
		fData->anchor = anchor;
		_OfferSelection();
	} else
		Select(offset, offset);
	fData->goalX = goalX;
	ScrollToOffset(offset);
}


void
BTextView::_HandleArrow(uint32 key, uint32 modifiers)
{
	bool extend = (modifiers & B_SHIFT_KEY) != 0;
	bool byWord = (modifiers & B_COMMAND_KEY) != 0;
	int32 start = fData->selectionStart;
	int32 end = fData->selectionEnd;
	// The end that moves: the one away from the anchor.
	int32 caret = fData->anchor == start ? end : start;
	BPrivate::WrapLayout& layout = *fData->layout;

	int32 target = caret;
	switch (key) {
		case B_LEFT_ARROW:
			if (!extend && start != end)
				target = start;
			else if (byWord)
				target = TextMotion::PreviousWord(fData->text, caret);
			else
				target = _SnapToShaped(TextMotion::PreviousCluster(
					fData->text, caret), false);
			break;
		case B_RIGHT_ARROW:
			if (!extend && start != end)
				target = end;
			else if (byWord)
				target = TextMotion::NextWord(fData->text, caret);
			else
				target = _SnapToShaped(TextMotion::NextCluster(fData->text,
					caret), true);
			break;
		case B_HOME:
			target = byWord ? 0
				: layout.LayoutLineStart(layout.LayoutLineAt(caret));
			break;
		case B_END:
		{
			if (byWord) {
				target = TextLength();
				break;
			}
			int32 line = layout.LayoutLineAt(caret);
			target = layout.LayoutLineEnd(line);
			// After a soft break the line's end is where the next line
			// starts; the caret stays before the last character there.
			if (target < TextLength() && fData->text.ByteAt(target) != '\n'
				&& layout.LayoutLineAt(target) != line) {
				target = TextMotion::PreviousCluster(fData->text, target);
				if (fData->text.ByteAt(target) == ' ')
					target = layout.LayoutLineEnd(line);
			}
			break;
		}
	}
	fData->goalX = -1;
	_MoveCaretTo(target, extend);
}


void
BTextView::_HandleVertical(int32 lines, uint32 modifiers)
{
	bool extend = (modifiers & B_SHIFT_KEY) != 0;
	int32 start = fData->selectionStart;
	int32 end = fData->selectionEnd;
	int32 caret = fData->anchor == start ? end : start;
	if (!extend && start != end)
		caret = lines < 0 ? start : end;
	BPrivate::WrapLayout& layout = *fData->layout;

	float x;
	float y;
	layout.PointAt(caret, x, y);
	if (fData->goalX < 0)
		fData->goalX = x;
	int32 line = layout.LayoutLineAt(caret);
	int64 targetLine = (int64)line + lines;
	int32 target;
	if (targetLine < 0)
		target = 0;
	else {
		target = layout.LayoutLineStart((int32)std::min<int64>(targetLine,
			INT32_MAX));
		if (target < TextLength() || (int32)targetLine
				<= layout.LayoutLineAt(TextLength())) {
			target = TextMotion::ClusterStart(fData->text,
				layout.OffsetAt(fData->goalX,
					layout.LineTop((int32)targetLine)));
		} else
			target = TextLength();
	}

	// Page keys move the view by as much as the caret.
	if (lines < -1 || lines > 1) {
		float shift = (float)((targetLine - line) * fData->lineHeight);
		BRect bounds = Bounds();
		float top = std::max(0.0f, bounds.top + shift);
		ScrollTo(BPoint(bounds.left, top));
	}
	_MoveCaretTo(target, extend);
}


void
BTextView::_Backspace(uint32 modifiers)
{
	int32 start = fData->selectionStart;
	int32 end = fData->selectionEnd;
	if (start != end) {
		_Replace(start, end, NULL, 0, BPrivate::UNDO_OTHER);
	} else {
		if (start == 0)
			return;
		int32 from = (modifiers & B_COMMAND_KEY) != 0
			? TextMotion::PreviousWord(fData->text, start)
			: TextMotion::BackspaceStart(fData->text, start);
		_Replace(from, start, NULL, 0, BPrivate::UNDO_BACKSPACE);
	}
	Select(fData->selectionStart, fData->selectionStart);
	ScrollToSelection();
}


void
BTextView::_ForwardDelete(uint32 modifiers)
{
	int32 start = fData->selectionStart;
	int32 end = fData->selectionEnd;
	if (start != end) {
		_Replace(start, end, NULL, 0, BPrivate::UNDO_OTHER);
	} else {
		if (start >= TextLength())
			return;
		int32 to = (modifiers & B_COMMAND_KEY) != 0
			? TextMotion::NextWord(fData->text, start)
			: _SnapToShaped(TextMotion::NextCluster(fData->text, start),
				true);
		_Replace(start, to, NULL, 0, BPrivate::UNDO_FORWARD_DELETE);
	}
	Select(fData->selectionStart, fData->selectionStart);
	ScrollToSelection();
}


void
BTextView::_TypeCharacters(const char* bytes, int32 numBytes)
{
	if (numBytes == 1 && fData->disallowed.count((uint8)bytes[0]) != 0) {
		beep();
		return;
	}
	std::string typed(bytes, numBytes);
	int32 start = fData->selectionStart;
	int32 end = fData->selectionEnd;

	// A new line starts with the spaces and tabs the current one does.
	if (fData->autoindent && typed == "\n") {
		int32 lineStart = TextMotion::LineStart(fData->lines, start);
		for (int32 at = lineStart; at < start; at++) {
			char byte = fData->text.ByteAt(at);
			if (byte != ' ' && byte != '\t')
				break;
			typed += byte;
		}
	}

	int32 length = _ClipToMaxBytes((int32)typed.size(), end - start);
	// Never half a character.
	if (length < (int32)typed.size()) {
		beep();
		if (length < numBytes)
			return;
	}
	_Replace(start, end, typed.data(), length, BPrivate::UNDO_TYPING);
	int32 caret = std::min(start + length, TextLength());
	Select(caret, caret);
	// Typing coalesces across the caret the insert put there.
	ScrollToSelection();
}


// #pragma mark - The mouse


void
BTextView::MouseDown(BPoint where)
{
	if (!fData->selectable && !fData->editable)
		return;
	// The composition is typed where it is shown before the click
	// places the caret.
	_EndInlineInput(BPrivate::INLINE_KEEP);
	if (!IsFocus())
		MakeFocus(true);

	BMessage* message = Window()->CurrentMessage();
	int32 clicks = 1;
	uint32 modifiersHeld = current_modifiers(Window());
	int32 buttons = B_PRIMARY_MOUSE_BUTTON;
	if (message != NULL) {
		clicks = message->GetInt32("clicks", 1);
		buttons = message->GetInt32("buttons", B_PRIMARY_MOUSE_BUTTON);
	}
	if (buttons == B_TERTIARY_MOUSE_BUTTON) {
		_PastePrimary(where);
		return;
	}
	if (buttons == B_SECONDARY_MOUSE_BUTTON) {
		_ShowContextMenu(where);
		return;
	}
	if (!fData->selectable)
		return;

	int32 offset = OffsetAt(where);
	fData->clickKind = clicks >= 3 ? 3 : clicks == 2 ? 2 : 1;
	switch (fData->clickKind) {
		case 1:
			fData->clickStart = fData->clickEnd = offset;
			if ((modifiersHeld & B_SHIFT_KEY) != 0) {
				int32 anchor = fData->anchor;
				Select(std::min(anchor, offset), std::max(anchor, offset));
				fData->anchor = anchor;
				fData->clickStart = fData->clickEnd = anchor;
			} else
				Select(offset, offset);
			break;
		case 2:
			FindWord(offset, &fData->clickStart, &fData->clickEnd);
			Select(fData->clickStart, fData->clickEnd);
			break;
		case 3:
		{
			// The whole text line, its line break included.
			fData->clickStart = TextMotion::LineStart(fData->lines, offset);
			int32 lineEnd = TextMotion::LineEnd(fData->lines, offset);
			fData->clickEnd = std::min(lineEnd + 1, TextLength());
			Select(fData->clickStart, fData->clickEnd);
			break;
		}
	}
	_SetTracking(true);
	SetMouseEventMask(B_POINTER_EVENTS);
}


void
BTextView::MouseMoved(BPoint where, uint32 transit,
	const BMessage* dragMessage)
{
	(void)dragMessage;
	// Over text the pointer is the I-beam that says where a click puts
	// the caret.
	if (transit == B_ENTERED_VIEW || transit == B_EXITED_VIEW) {
		BPrivate::DisplayServer::Default().Post(BPrivate::SetCursorRequest(
			transit == B_ENTERED_VIEW
				? BPrivate::kCursorIBeam : BPrivate::kCursorDefault));
	}
	if (!fData->tracking)
		return;
	BMessage* message = Window()->CurrentMessage();
	if (message != NULL && message->GetInt32("buttons", 0) == 0) {
		_SetTracking(false);
		return;
	}
	_TrackMouse(where);
}


void
BTextView::MouseUp(BPoint where)
{
	(void)where;
	_SetTracking(false);
}


// While the button is held, the selection follows the pointer and the
// view scrolls on while the pointer rests outside it. A button that came
// up without a MouseUp() here ends the tracking; a repeat queued before
// the button came up finds none.
void
BTextView::_TrackHeldMouse()
{
	if (!fData->tracking)
		return;
	BPoint where;
	uint32 buttons;
	GetMouse(&where, &buttons, false);
	if (buttons == 0)
		_SetTracking(false);
	else
		_TrackMouse(where);
}


void
BTextView::_SetTracking(bool tracking)
{
	// A selection made with the mouse is offered once it is complete.
	if (fData->tracking && !tracking)
		_OfferSelection();
	fData->tracking = tracking;
	fData->autoscroller.reset();
	if (tracking && Window() != NULL) {
		BMessage autoscroll(BPrivate::kMsgAutoscroll);
		fData->autoscroller.reset(new BMessageRunner(BMessenger(this),
			&autoscroll, BPrivate::kAutoscrollInterval));
	}
}


// The pointer is at where with the button held: the selection reaches
// to it, by the unit the click chose, and the view scrolls towards a
// pointer outside it.
void
BTextView::_TrackMouse(BPoint where)
{
	// The pointer stays where it is on the screen while the view
	// scrolls under it.
	BPoint scrolledFrom = Bounds().LeftTop();
	_Autoscroll(where);
	where += Bounds().LeftTop() - scrolledFrom;
	int32 offset = OffsetAt(where);
	int32 from = offset;
	int32 to = offset;
	if (fData->clickKind == 2)
		FindWord(offset, &from, &to);
	else if (fData->clickKind == 3) {
		from = TextMotion::LineStart(fData->lines, offset);
		to = std::min(TextMotion::LineEnd(fData->lines, offset) + 1,
			TextLength());
	}
	int32 start = std::min(from, fData->clickStart);
	int32 end = std::max(to, fData->clickEnd);
	// The anchor is the end of the click's own range away from the
	// pointer.
	int32 anchor = offset < fData->clickStart ? fData->clickEnd
		: fData->clickStart;
	Select(start, end);
	fData->anchor = anchor;
}


void
BTextView::_Autoscroll(BPoint where)
{
	BRect bounds = Bounds();
	float dy = 0;
	float dx = 0;
	if (where.y < bounds.top)
		dy = where.y - bounds.top;
	else if (where.y > bounds.bottom)
		dy = where.y - bounds.bottom;
	if (!fData->wrap) {
		if (where.x < bounds.left)
			dx = where.x - bounds.left;
		else if (where.x > bounds.right)
			dx = where.x - bounds.right;
	}
	if (dx == 0 && dy == 0)
		return;
	BPoint scroll(std::max(0.0f, bounds.left + dx),
		std::max(0.0f, bounds.top + dy));
	float bottom = TextRect().bottom;
	if (dy > 0)
		scroll.y = std::min(scroll.y,
			std::max(bottom - bounds.Height(), bounds.top));
	ScrollTo(scroll);
}
