/*
 * UndoBuffer: a capped history of replacements with typing coalesced.
 */
#include "UndoBuffer.h"

#include <algorithm>
#include <new>

namespace BPrivate {


UndoBuffer::UndoBuffer()
	:
	fUndoCount(0),
	fBytes(0),
	fMaxSteps(kDefaultMaxSteps),
	fMaxBytes(kDefaultMaxBytes),
	fCoalescing(false)
{
}


void
UndoBuffer::SetLimits(int32 maxSteps, int64 maxBytes)
{
	fMaxSteps = std::max(maxSteps, (int32)1);
	fMaxBytes = std::max(maxBytes, (int64)1);
	_Trim();
}


status_t
UndoBuffer::RecordEdit(undo_edit_kind kind, int32 offset,
	const char* removed, int32 removedLength, const char* inserted,
	int32 insertedLength, int32 selectionStart, int32 selectionEnd,
	int32 afterStart, int32 afterEnd)
{
	if (offset < 0 || removedLength < 0 || insertedLength < 0
		|| (removed == NULL && removedLength > 0)
		|| (inserted == NULL && insertedLength > 0)) {
		return B_BAD_VALUE;
	}
	if (removedLength == 0 && insertedLength == 0)
		return B_OK;

	try {
		_DropRedoSteps();

		if (fCoalescing && kind != UNDO_OTHER && _Coalesce(kind, offset,
				removed, removedLength, inserted, insertedLength)) {
			UndoStep& step = fSteps.back();
			step.fAfterStart = afterStart;
			step.fAfterEnd = afterEnd;
			_Trim();
			return B_OK;
		}

		UndoStep step;
		step.fKind = kind;
		step.fOffset = offset;
		step.fRemoved.assign(removed != NULL ? removed : "", removedLength);
		step.fInserted.assign(inserted != NULL ? inserted : "",
			insertedLength);
		step.fBeforeStart = selectionStart;
		step.fBeforeEnd = selectionEnd;
		step.fAfterStart = afterStart;
		step.fAfterEnd = afterEnd;
		fSteps.push_back(std::move(step));
	} catch (const std::bad_alloc&) {
		Clear();
		return B_NO_MEMORY;
	}

	fUndoCount = fSteps.size();
	fBytes += removedLength + insertedLength;
	fCoalescing = kind != UNDO_OTHER;
	_Trim();
	return B_OK;
}


status_t
UndoBuffer::RecordTyping(int32 offset, const char* removed,
	int32 removedLength, const char* inserted, int32 insertedLength,
	int32 selectionStart, int32 selectionEnd)
{
	int32 caret = offset + std::max(insertedLength, (int32)0);
	return RecordEdit(UNDO_TYPING, offset, removed, removedLength, inserted,
		insertedLength, selectionStart, selectionEnd, caret, caret);
}


status_t
UndoBuffer::RecordDeletion(undo_edit_kind kind, int32 offset,
	const char* removed, int32 removedLength, int32 caret)
{
	if (kind != UNDO_BACKSPACE && kind != UNDO_FORWARD_DELETE)
		return B_BAD_VALUE;
	return RecordEdit(kind, offset, removed, removedLength, NULL, 0, caret,
		caret, offset, offset);
}


status_t
UndoBuffer::RecordRanges(std::vector<int32>&& offsets, int32 rangeLength,
	std::string&& removed, std::string&& inserted, int32 selectionStart,
	int32 selectionEnd, int32 afterStart, int32 afterEnd)
{
	if (offsets.empty() || rangeLength < 0 || offsets.front() < 0
		|| removed.size() != offsets.size() * (size_t)rangeLength) {
		return B_BAD_VALUE;
	}
	try {
		_DropRedoSteps();
		UndoStep step;
		step.fKind = UNDO_OTHER;
		step.fOffset = offsets.front();
		step.fRemoved = std::move(removed);
		step.fInserted = std::move(inserted);
		step.fRanges = std::move(offsets);
		step.fRangeLength = rangeLength;
		step.fBeforeStart = selectionStart;
		step.fBeforeEnd = selectionEnd;
		step.fAfterStart = afterStart;
		step.fAfterEnd = afterEnd;
		fBytes += step._Bytes();
		fSteps.push_back(std::move(step));
	} catch (const std::bad_alloc&) {
		Clear();
		return B_NO_MEMORY;
	}
	fUndoCount = fSteps.size();
	fCoalescing = false;
	_Trim();
	return B_OK;
}


const UndoStep*
UndoBuffer::Undo()
{
	fCoalescing = false;
	if (fUndoCount == 0)
		return NULL;
	return &fSteps[--fUndoCount];
}


const UndoStep*
UndoBuffer::Redo()
{
	fCoalescing = false;
	if (fUndoCount >= fSteps.size())
		return NULL;
	return &fSteps[fUndoCount++];
}


void
UndoBuffer::Clear()
{
	fSteps.clear();
	fUndoCount = 0;
	fBytes = 0;
	fCoalescing = false;
}


// A new edit makes the redo side unreachable.
void
UndoBuffer::_DropRedoSteps()
{
	while (fSteps.size() > fUndoCount) {
		fBytes -= fSteps.back()._Bytes();
		fSteps.pop_back();
	}
}


// Joins an edit to the last step when it continues it. Called only with
// the redo side empty, so the last step is the one just undoable.
bool
UndoBuffer::_Coalesce(undo_edit_kind kind, int32 offset,
	const char* removed, int32 removedLength, const char* inserted,
	int32 insertedLength)
{
	if (fSteps.empty())
		return false;
	UndoStep& step = fSteps.back();
	if (step.fKind != kind)
		return false;

	switch (kind) {
		case UNDO_TYPING:
			// Plain typing only: a keystroke over a selection starts anew.
			if (removedLength != 0
				|| offset != step.fOffset + (int32)step.fInserted.size()) {
				return false;
			}
			step.fInserted.append(inserted, insertedLength);
			break;

		case UNDO_BACKSPACE:
			if (insertedLength != 0
				|| offset + removedLength != step.fOffset) {
				return false;
			}
			step.fRemoved.insert(0, removed, removedLength);
			step.fOffset = offset;
			break;

		case UNDO_FORWARD_DELETE:
			if (insertedLength != 0 || offset != step.fOffset)
				return false;
			step.fRemoved.append(removed, removedLength);
			break;

		default:
			return false;
	}
	fBytes += removedLength + insertedLength;
	return true;
}


void
UndoBuffer::_Trim()
{
	// Only undoable steps are dropped: forgetting the next redo step would
	// leave the later ones unreachable.
	while (fUndoCount > 0 && fSteps.size() > 1
		&& ((int64)fSteps.size() > fMaxSteps || fBytes > fMaxBytes)) {
		const UndoStep& oldest = fSteps.front();
		fBytes -= oldest._Bytes();
		fSteps.pop_front();
		fUndoCount--;
	}
}

int64
UndoStep::_Bytes() const
{
	return (int64)fRemoved.size() + fInserted.size()
		+ (int64)fRanges.size() * sizeof(int32);
}

}	// namespace BPrivate
