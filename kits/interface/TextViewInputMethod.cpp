/*
 * BTextView: input methods. What an input method composes is shown at
 * the caret, underlined (each clause apart, the one being converted
 * thicker), with the text after the caret moved along; the text itself
 * stays as it is until the method confirms the composition, which is
 * then typed once, as one typing step. Cancelling leaves the text as it
 * was. When the caret leaves the composition (a click, a key the method
 * does not take, the focus going), the composition is typed as it
 * stands and the method is told to forget it, as the desktop's editors
 * do. The method's candidate window is kept beside the caret.
 */
#include <TextView.h>

#include <Input.h>
#include <Message.h>
#include <Window.h>

#include "DisplayServer.h"
#include "TextViewData.h"
#include "WindowPrivate.h"

#include <math.h>
#include <string.h>

#include <algorithm>

using BPrivate::inline_input;


void
BTextView::_HandleInputMethod(BMessage* message)
{
	inline_input& input = fData->inlineInput;
	switch (message->GetInt32("be:opcode", -1)) {
		case B_INPUT_METHOD_STARTED:
			if (!fData->editable)
				break;
			input = inline_input();
			input.active = true;
			break;
		case B_INPUT_METHOD_CHANGED:
			if (fData->editable)
				_InlineInputChanged(message);
			break;
		case B_INPUT_METHOD_STOPPED:
			if (input.active) {
				input = inline_input();
				_InvalidateRange(fData->selectionStart,
					fData->selectionStart);
			}
			break;
		case B_INPUT_METHOD_LOCATION_REQUEST:
			fData->reportedTextInput = BRect();
			_ReportTextInput();
			break;
	}
}


void
BTextView::_InlineInputChanged(BMessage* message)
{
	inline_input& input = fData->inlineInput;
	const char* text = message->GetString("be:string", "");
	int32 length = (int32)strlen(text);
	if (message->GetBool("be:confirmed", false)) {
		input = inline_input();
		_InvalidateRange(fData->selectionStart, fData->selectionStart);
		if (length > 0)
			_TypeCharacters(text, length);
		return;
	}

	input.active = true;
	input.text.assign(text, length);
	int32 start;
	if (message->FindInt32("be:selection", 0, &start) != B_OK)
		start = length;
	start = std::clamp(start, (int32)0, length);
	int32 end;
	if (message->FindInt32("be:selection", 1, &end) != B_OK)
		end = start;
	end = std::clamp(end, start, length);
	input.selectionStart = start;
	input.selectionEnd = end;
	input.clauses.clear();
	for (int32 index = 0;; index++) {
		int32 clauseStart;
		int32 clauseEnd;
		if (message->FindInt32("be:clause_start", index, &clauseStart)
				!= B_OK
			|| message->FindInt32("be:clause_end", index, &clauseEnd)
				!= B_OK) {
			break;
		}
		clauseStart = std::clamp(clauseStart, (int32)0, length);
		clauseEnd = std::clamp(clauseEnd, clauseStart, length);
		if (clauseEnd > clauseStart)
			input.clauses.emplace_back(clauseStart, clauseEnd);
	}
	if (input.clauses.empty() && length > 0)
		input.clauses.emplace_back(0, length);

	fData->caretVisible = true;
	_InvalidateRange(fData->selectionStart, fData->selectionStart);
	// A single line runs on to the right: the composition's cursor is
	// kept in view.
	if (!fData->wrap) {
		BRect cursor = _TextInputRect();
		_ScrollToPoint(cursor.LeftTop(), cursor.Height() + 1);
	}
}


void
BTextView::_EndInlineInput(int ending)
{
	inline_input& input = fData->inlineInput;
	if (!input.active)
		return;
	std::string text;
	text.swap(input.text);
	input = inline_input();
	_InvalidateRange(fData->selectionStart, fData->selectionStart);
	if (Window() != NULL) {
		BPrivate::DisplayServer::Default().Post(
			BPrivate::StopInputMethodRequest(
				BWindow::Private(Window()).ServerID()));
	}
	if (ending == BPrivate::INLINE_KEEP && !text.empty() && fData->editable)
		_TypeCharacters(text.data(), (int32)text.size());
}


// #pragma mark - Drawing


bool
BTextView::_DrawInlineLine(int32 line, float top, BRect bounds)
{
	const inline_input& input = fData->inlineInput;
	int32 caret = fData->selectionStart;
	if (!input.active || input.text.empty()
		|| fData->layout->LayoutLineAt(caret) != line) {
		return false;
	}

	const char* text = input.text.c_str();
	int32 length = (int32)input.text.size();
	float x = floorf(PointAt(caret).x);
	float width = ceilf(fData->font.StringWidth(text, length));
	float bottom = top + fData->lineHeight - 1;

	// The line as it is up to the caret, and after it moved along by the
	// composition's width.
	PushState();
	ClipToRect(BRect(bounds.left, top, x - 1, bottom));
	_DrawLineText(line, top, bounds);
	PopState();
	PushState();
	SetOrigin(width, 0);
	ClipToRect(BRect(x, top, bounds.right - width, bottom));
	_DrawLineText(line, top, bounds.OffsetByCopy(-width, 0));
	PopState();

	float baseline = top + ceilf(fData->fontHeight.ascent);
	SetLowColor(ViewColor());
	SetDrawingMode(B_OP_OVER);
	SetHighColor(fData->color);
	DrawString(text, length, BPoint(x, baseline));
	SetDrawingMode(B_OP_COPY);

	// Each clause underlined on its own, a pixel apart from the next; the
	// one holding the selection thicker.
	float underline = std::min(baseline + std::max(1.0f,
		floorf(fData->fontHeight.descent / 2)), bottom - 1);
	for (const std::pair<int32, int32>& clause : input.clauses) {
		float from = x + fData->font.StringWidth(text, clause.first);
		float to = x + fData->font.StringWidth(text, clause.second) - 1;
		if (clause.second < length)
			to -= 1;
		bool target = input.selectionEnd > input.selectionStart
			&& input.selectionStart < clause.second
			&& input.selectionEnd > clause.first;
		FillRect(BRect(floorf(from), underline, ceilf(to),
			underline + (target ? 1 : 0)));
	}

	// The composition's own cursor stands in for the caret.
	if (input.selectionStart == input.selectionEnd && IsFocus()
		&& fData->active) {
		float cursor = floorf(x + fData->font.StringWidth(text,
			input.selectionStart));
		StrokeLine(BPoint(cursor, top), BPoint(cursor, bottom));
	}
	return true;
}


// #pragma mark - Where the text goes


BRect
BTextView::_TextInputRect() const
{
	float height;
	BPoint caret = PointAt(fData->selectionStart, &height);
	BRect rect(floorf(caret.x), caret.y, floorf(caret.x), caret.y + height - 1);
	const inline_input& input = fData->inlineInput;
	if (input.active && !input.text.empty()) {
		const char* text = input.text.c_str();
		rect.left = floorf(caret.x + fData->font.StringWidth(text,
			input.selectionStart));
		rect.right = std::max(rect.left, ceilf(caret.x
			+ fData->font.StringWidth(text, input.selectionEnd)) - 1);
	}
	return rect;
}


void
BTextView::_ReportTextInput()
{
	if (Window() == NULL || !IsFocus() || !fData->active
		|| !fData->editable) {
		return;
	}
	BRect rect = ConvertToWindow(_TextInputRect());
	if (rect == fData->reportedTextInput)
		return;
	fData->reportedTextInput = rect;
	BPrivate::DisplayServer::Default().Post(BPrivate::SetTextInputRectRequest(
		BWindow::Private(Window()).ServerID(), rect));
}
