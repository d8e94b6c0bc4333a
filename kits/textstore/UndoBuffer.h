/*
 * UndoBuffer: the text view's undo and redo history.
 *
 * Each step is one replacement: at Offset(), the bytes Removed() were
 * replaced by the bytes Inserted() (either may be empty), with the
 * selection before and after. Undoing a step means removing Inserted()
 * at Offset(), inserting Removed() there and selecting SelectionBefore();
 * redoing means the reverse and selecting SelectionAfter(). The bytes are
 * kept exactly.
 *
 * Typing coalesces: an insertion by typing that continues the previous
 * typing step (it starts where that step's insertion ends) joins it, as
 * does a backspace that removes the character right before the previous
 * backspace step, or a forward delete at the same offset as the previous
 * one. Anything else (another kind of edit, a cut, paste or deletion of a
 * selection, an undo or redo, or a caret move reported by
 * BreakCoalescing()) starts a step of its own. A new step clears the
 * redo history.
 *
 * The history is capped by depth and by the bytes its steps hold (see
 * SetLimits()); when a new step goes over either cap the oldest steps are
 * forgotten. The newest step is always kept, however large, so that the
 * last edit can always be undone.
 *
 * Threads: none of its own; the text view's window thread uses it.
 * Owns: the steps and their bytes.
 */
#ifndef _KITS_UNDO_BUFFER_H
#define _KITS_UNDO_BUFFER_H

#include <SupportDefs.h>

#include <deque>
#include <string>
#include <vector>

namespace BPrivate {

enum undo_edit_kind {
	// Typing a character (possibly over a selection).
	UNDO_TYPING,
	// Backspace removing the character before the caret.
	UNDO_BACKSPACE,
	// Delete removing the character after the caret.
	UNDO_FORWARD_DELETE,
	// Anything else: cut, paste, drop, deleting a selection, replace.
	UNDO_OTHER
};

class UndoStep {
public:
			int32				Offset() const { return fOffset; }
			const std::string&	Removed() const { return fRemoved; }
			const std::string&	Inserted() const { return fInserted; }
			void				SelectionBefore(int32& _start,
									int32& _end) const
									{
										_start = fBeforeStart;
										_end = fBeforeEnd;
									}
			void				SelectionAfter(int32& _start,
									int32& _end) const
									{
										_start = fAfterStart;
										_end = fAfterEnd;
									}
			undo_edit_kind		Kind() const { return fKind; }

	// A step of many ranges (see UndoBuffer::RecordRanges()) has their
	// offsets in the text before it, ascending; Removed() then holds the
	// old bytes of every range one after the other, RangeLength() each,
	// and Inserted() the bytes that each range got. Empty for a step of
	// one replacement.
			const std::vector<int32>& Ranges() const { return fRanges; }
			int32				RangeLength() const { return fRangeLength; }
			bool				HasRanges() const { return !fRanges.empty(); }

private:
	friend class UndoBuffer;

			int64				_Bytes() const;

			undo_edit_kind		fKind;
			int32				fOffset;
			std::string			fRemoved;
			std::string			fInserted;
			std::vector<int32>	fRanges;
			int32				fRangeLength = 0;
			int32				fBeforeStart;
			int32				fBeforeEnd;
			int32				fAfterStart;
			int32				fAfterEnd;
};

class UndoBuffer {
public:
	// The defaults: 10000 steps, 64 MB of bytes.
	static const int32			kDefaultMaxSteps = 10000;
	static const int64			kDefaultMaxBytes = 64LL * 1024 * 1024;

								UndoBuffer();

	// Both at least 1; smaller values are raised to 1. Applies at once.
			void				SetLimits(int32 maxSteps, int64 maxBytes);

	// Records that the bytes removed at offset were replaced by inserted,
	// while the selection went from selectionStart..selectionEnd to a caret
	// after the insertion (UNDO_TYPING and the deletions) or to the given
	// after range. Returns B_BAD_VALUE for a negative offset or a NULL
	// pointer with a non-zero length, B_NO_MEMORY when the bytes cannot
	// be kept (the history is then cleared, so that it never holds a step
	// whose bytes are wrong). An edit that removes and inserts nothing is
	// ignored.
			status_t			RecordEdit(undo_edit_kind kind, int32 offset,
									const char* removed, int32 removedLength,
									const char* inserted,
									int32 insertedLength,
									int32 selectionStart, int32 selectionEnd,
									int32 afterStart, int32 afterEnd);
	// Typing shorthand: the caret ends after the insertion.
			status_t			RecordTyping(int32 offset,
									const char* removed, int32 removedLength,
									const char* inserted,
									int32 insertedLength,
									int32 selectionStart, int32 selectionEnd);
	// Backspace or delete of the bytes at offset with no selection; the
	// caret ends at offset.
			status_t			RecordDeletion(undo_edit_kind kind,
									int32 offset, const char* removed,
									int32 removedLength, int32 caret);

	// Records that every range of rangeLength bytes at the ascending
	// offsets (in the text before the change) was replaced by the same
	// inserted bytes, as one step. removed holds the old bytes of the
	// ranges one after the other. The vectors and strings are taken
	// over, so that a change of a million ranges is not copied again.
	// B_BAD_VALUE when there is no range or removed does not hold
	// rangeLength bytes for each; B_NO_MEMORY as for RecordEdit().
			status_t			RecordRanges(std::vector<int32>&& offsets,
									int32 rangeLength,
									std::string&& removed,
									std::string&& inserted,
									int32 selectionStart, int32 selectionEnd,
									int32 afterStart, int32 afterEnd);

	// The next edit starts a new step (the caret moved, the view lost the
	// focus, the document was saved...).
			void				BreakCoalescing() { fCoalescing = false; }

			bool				CanUndo() const { return fUndoCount > 0; }
			bool				CanRedo() const
									{ return fUndoCount < fSteps.size(); }
	// The step to undo and moves it over to the redo side; NULL when there
	// is none. The pointer stays valid until the next Record*() call.
			const UndoStep*		Undo();
	// The step to redo, moved back to the undo side; NULL when there is
	// none.
			const UndoStep*		Redo();

	// The step Undo() would return, without moving it; NULL when none.
			const UndoStep*		NextUndo() const
									{
										return fUndoCount > 0
											? &fSteps[fUndoCount - 1] : NULL;
									}

			void				Clear();
			int32				CountSteps() const
									{ return (int32)fSteps.size(); }
			int64				BytesHeld() const { return fBytes; }

private:
			void				_DropRedoSteps();
			bool				_Coalesce(undo_edit_kind kind, int32 offset,
									const char* removed, int32 removedLength,
									const char* inserted,
									int32 insertedLength);
			void				_Trim();

			// Oldest first; fSteps[0 .. fUndoCount-1] can be undone, the
			// rest redone.
			std::deque<UndoStep> fSteps;
			size_t				fUndoCount;
			int64				fBytes;
			int32				fMaxSteps;
			int64				fMaxBytes;
			// Whether the next typing or deletion may join the last step.
			bool				fCoalescing;
};

}	// namespace BPrivate

#endif	// _KITS_UNDO_BUFFER_H
