/*
 * BTextView: the clipboard, undo and redo, and the editing commands that
 * arrive as messages.
 */
#include <TextView.h>

#include <AppDefs.h>
#include <Clipboard.h>
#include <Message.h>
#include <TypeConstants.h>

#include "RangeSplice.h"
#include "TextMotion.h"
#include "TextViewData.h"

#include <math.h>

#include <algorithm>
#include <string>

namespace TextMotion = BPrivate::TextMotion;

namespace {

const char* const kTextMimeType = "text/plain";

}	// namespace


void
BTextView::MessageReceived(BMessage* message)
{
	switch (message->what) {
		case B_INPUT_METHOD_EVENT:
			_HandleInputMethod(message);
			break;
		case B_UNDO:
			Undo(be_clipboard);
			break;
		case B_REDO:
			_Redo();
			break;
		case B_CUT:
			Cut(be_clipboard);
			break;
		case B_COPY:
			Copy(be_clipboard);
			break;
		case B_PASTE:
			Paste(be_clipboard);
			break;
		case B_SELECT_ALL:
			SelectAll();
			break;
		case BPrivate::kMsgClearSelection:
			Clear();
			break;
		case B_MOUSE_WHEEL_CHANGED:
		{
			float dy = message->GetFloat("be:wheel_delta_y", 0);
			float dx = message->GetFloat("be:wheel_delta_x", 0);
			BRect bounds = Bounds();
			float step = fData->lineHeight * 3;
			float top = std::max(0.0f, bounds.top + dy * step);
			// No further than brings the last line to the top; only a
			// turn past the end counts the lines.
			BPrivate::WrapLayout& layout = *fData->layout;
			float textTop = fData->textRect.top;
			if (top > textTop && fData->lineHeight > 0) {
				int32 wanted = (int32)std::min(
					floorf((top - textTop) / fData->lineHeight),
					(float)INT32_MAX / 2);
				int32 line = layout.LineAtY(top - textTop);
				if (line < wanted)
					top = textTop + layout.LineTop(line);
			}
			ScrollTo(BPoint(std::max(0.0f, bounds.left + dx * step), top));
			break;
		}
		case BPrivate::kMsgAutoscroll:
			_TrackHeldMouse();
			break;
		default:
			BView::MessageReceived(message);
			break;
	}
}


// #pragma mark - The clipboard


void
BTextView::Cut(BClipboard* clipboard)
{
	// The editing commands act on the text with the composition typed.
	_EndInlineInput(BPrivate::INLINE_KEEP);
	if (!fData->editable) {
		Copy(clipboard);
		return;
	}
	int32 start = fData->selectionStart;
	int32 end = fData->selectionEnd;
	if (start == end)
		return;
	Copy(clipboard);
	_Replace(start, end, NULL, 0, BPrivate::UNDO_OTHER);
	Select(fData->selectionStart, fData->selectionStart);
	ScrollToSelection();
}


void
BTextView::Copy(BClipboard* clipboard)
{
	int32 start = fData->selectionStart;
	int32 end = fData->selectionEnd;
	if (clipboard == NULL || start == end || !fData->selectable)
		return;
	std::string bytes = fData->text.GetText(start, end - start);
	if (!clipboard->Lock())
		return;
	clipboard->Clear();
	BMessage* data = clipboard->Data();
	if (data != NULL) {
		data->AddData(kTextMimeType, B_MIME_TYPE, bytes.data(),
			(ssize_t)bytes.size());
		clipboard->Commit();
	}
	clipboard->Unlock();
}


void
BTextView::Paste(BClipboard* clipboard)
{
	_EndInlineInput(BPrivate::INLINE_KEEP);
	if (clipboard == NULL || !fData->editable || !clipboard->Lock())
		return;
	std::string bytes;
	BMessage* data = clipboard->Data();
	const void* found = NULL;
	ssize_t size = 0;
	if (data != NULL && data->FindData(kTextMimeType, B_MIME_TYPE, &found,
			&size) == B_OK && size > 0) {
		bytes.assign((const char*)found, size);
	}
	clipboard->Unlock();
	if (bytes.empty())
		return;

	int32 start = fData->selectionStart;
	int32 end = fData->selectionEnd;
	int32 length = _ClipToMaxBytes((int32)std::min<size_t>(bytes.size(),
		INT32_MAX), end - start);
	if (length < (int32)bytes.size()) {
		// Stop before a character that would be cut in two.
		BPrivate::TextBuffer pasted;
		if (pasted.SetTo(bytes.data(), (int32)bytes.size()) == B_OK)
			length = TextMotion::CharStart(pasted, length);
	}
	if (length <= 0 && start == end)
		return;
	_Replace(start, end, bytes.data(), length, BPrivate::UNDO_OTHER);
	int32 caret = fData->selectionEnd;
	Select(caret, caret);
	ScrollToSelection();
}


void
BTextView::Clear()
{
	_EndInlineInput(BPrivate::INLINE_KEEP);
	int32 start = fData->selectionStart;
	int32 end = fData->selectionEnd;
	if (!fData->editable || start == end)
		return;
	_Replace(start, end, NULL, 0, BPrivate::UNDO_OTHER);
	Select(fData->selectionStart, fData->selectionStart);
}


bool
BTextView::AcceptsPaste(BClipboard* clipboard)
{
	if (clipboard == NULL || !fData->editable || !clipboard->Lock())
		return false;
	// Empty text would paste nothing.
	BMessage* data = clipboard->Data();
	const void* found = NULL;
	ssize_t size = 0;
	bool accepts = data != NULL && data->FindData(kTextMimeType,
		B_MIME_TYPE, &found, &size) == B_OK && size > 0;
	clipboard->Unlock();
	return accepts;
}


// #pragma mark - Undo


void
BTextView::Undo(BClipboard* clipboard)
{
	(void)clipboard;
	if (!fData->editable || !fData->doesUndo)
		return;
	_EndInlineInput(BPrivate::INLINE_KEEP);
	_ApplyUndoStep(false);
}


void
BTextView::_Redo()
{
	if (!fData->editable || !fData->doesUndo)
		return;
	_EndInlineInput(BPrivate::INLINE_KEEP);
	_ApplyUndoStep(true);
}


void
BTextView::_ApplyUndoStep(bool redo)
{
	const BPrivate::UndoStep* step = redo ? fData->undo.Redo()
		: fData->undo.Undo();
	if (step == NULL)
		return;
	int32 start;
	int32 end;
	if (redo)
		step->SelectionAfter(start, end);
	else
		step->SelectionBefore(start, end);

	if (step->HasRanges()) {
		if (!_ApplyRangesStep(step, redo))
			return;
	} else {
		// The step stays valid until the next recording, which the hooks
		// never make; copies keep it safe from a subclass that edits
		// anyway.
		int32 offset = step->Offset();
		std::string goesAway = redo ? step->Removed() : step->Inserted();
		std::string comesBack = redo ? step->Inserted() : step->Removed();
		if (!goesAway.empty())
			DeleteText(offset, offset + (int32)goesAway.size());
		if (!comesBack.empty()) {
			InsertText(comesBack.data(), (int32)comesBack.size(), offset,
				NULL);
		}
	}
	Select(start, end);
	fData->undo.BreakCoalescing();
	ScrollToSelection();
}


// A step of many ranges is spliced back in one pass. Its bytes are used
// in place rather than copied: they can be as large as the text, and the
// hooks make no recording that would move them. False, with the step
// back where it was, when a hook refused the change.
bool
BTextView::_ApplyRangesStep(const BPrivate::UndoStep* step, bool redo)
{
	const std::vector<int32>& ranges = step->Ranges();
	int32 count = (int32)ranges.size();
	int32 oldLength = step->RangeLength();
	int32 newLength = (int32)step->Inserted().size();
	BPrivate::RangeSplice forward(ranges.data(), count, 0, oldLength,
		step->Inserted().data(), newLength);
	BPrivate::RangeSplice backward = BPrivate::RangeSplice::WithPieces(
		ranges.data(), count, newLength - oldLength, newLength,
		step->Removed().data(), oldLength);
	if ((redo ? _Splice(forward, backward) : _Splice(backward, forward))
			== B_OK) {
		return true;
	}
	if (redo)
		fData->undo.Undo();
	else
		fData->undo.Redo();
	return false;
}


undo_state
BTextView::UndoState(bool* _isRedo) const
{
	if (_isRedo != NULL)
		*_isRedo = false;
	const BPrivate::UndoStep* step = fData->undo.NextUndo();
	if (step == NULL || !fData->doesUndo)
		return B_UNDO_UNAVAILABLE;
	switch (step->Kind()) {
		case BPrivate::UNDO_TYPING:
		case BPrivate::UNDO_BACKSPACE:
		case BPrivate::UNDO_FORWARD_DELETE:
			return B_UNDO_TYPING;
		default:
			return step->Inserted().empty() ? B_UNDO_CLEAR : B_UNDO_PASTE;
	}
}
