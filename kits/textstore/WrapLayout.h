/*
 * WrapLayout: how a text view's hard lines fall into layout lines when the
 * text is soft-wrapped to a width, and where each layout line sits.
 *
 * A line breaks after a run of spaces or tabs (they hang past the width at
 * the end of the line they follow) or after a hyphen-like character
 * ('-', U+2010 to U+2014). A word wider than the width breaks at a
 * character boundary, never inside a UTF-8 sequence. Every layout line
 * holds at least one character, so a width narrower than a character, zero
 * or negative puts each character on a line of its own (with any spaces
 * that follow it).
 *
 * Hard lines are laid out lazily, one layout line at a time from the start
 * of the hard line and only as far as a question needs: showing the start
 * of a 10 MB line measures only its first layout lines. A hard line of
 * ASCII too short to reach the width whatever its characters is known to
 * be one layout line without measuring it; laying out a whole block
 * checks all its lines so in one pass over their bytes. The results are
 * kept per hard line, in blocks of hard lines, so that an edit costs what
 * it changes; only hard lines that wrap (or are being laid out) keep a
 * list of starts, the others a bit. Questions about a block laid out
 * completely are answered from its lines that wrap alone.
 *
 * An edit inside a hard line keeps its layout up to two layout lines
 * before the edit. The starts after it are kept aside as they were,
 * shifted by the edit: laying out on from the edit, a break that falls on
 * one of them joins the old layout again, at once and without measuring.
 * Only what a question needs is laid out again, so typing in a 10 MB line
 * without spaces, where no break ever falls on an old one, costs a few
 * lines, not the rest of the line. Counts are exact: CountLayoutLines()
 * and questions about far layout lines lay out every hard line before
 * them completely (with wrapping off, every hard line is one layout line
 * and nothing is laid out at all).
 *
 * Layout line N lies between y = N * lineHeight and (N + 1) * lineHeight.
 *
 * Threads: none of its own; the text view's window thread uses it.
 * Owns: the per-line layout cache; it reads the text and the line index,
 * which the view owns and must report edits of through TextInserted() and
 * TextRemoved() after updating them.
 */
#ifndef _KITS_WRAP_LAYOUT_H
#define _KITS_WRAP_LAYOUT_H

#include <SupportDefs.h>

#include "LineBreaker.h"

#include <memory>
#include <vector>

namespace BPrivate {

class LineIndex;
class TextBuffer;

class WrapLayout {
public:
								WrapLayout(const TextBuffer& text,
									const LineIndex& lines,
									MeasureFunction measure,
									RunMeasureFunction measureRun
										= RunMeasureFunction());

	// Changing any of these discards the whole layout.
			void				SetWrapping(bool wrap);
			bool				Wrapping() const { return fWrap; }
	// NaN counts as 0.
			void				SetWrapWidth(float width);
			void				SetTabWidth(float width);
	// Negative or NaN heights count as 0.
			void				SetLineHeight(float height);
			float				LineHeight() const { return fLineHeight; }
	// Forgets every measurement too (the font changed).
			void				InvalidateAll();

	// The text and line index changed: length bytes holding addedLines
	// '\n' were inserted at offset, or length bytes from from on holding
	// removedLines '\n' were removed. Only the layout of the hard line at
	// offset (or from) is discarded; the later lines' layouts move along.
			void				TextInserted(int32 offset, int32 length,
									int32 addedLines);
			void				TextRemoved(int32 from, int32 length,
									int32 removedLines);

	// At least 1.
			int32				CountLayoutLines();
	// What is known of the count without laying anything out: hard lines
	// laid out completely count exactly, those laid out in part their
	// known layout lines and the ones kept from before an edit, and the
	// others one layout line each. Until an edit inside a long line it
	// never exceeds CountLayoutLines(); it grows toward it as questions
	// lay out more, and once everything is laid out it is exact.
			int32				EstimatedLayoutLines() const;
	// The layout line that holds offset; an offset where a soft break
	// falls belongs to the line it starts. Clamped to the text.
			int32				LayoutLineAt(int32 offset);
	// Where layout line N starts: 0 for negative N, the text length for N
	// past the last line.
			int32				LayoutLineStart(int32 line);
	// Where it ends: the start of the next layout line after a soft break,
	// the '\n' or the end of the text after a hard one.
			int32				LayoutLineEnd(int32 line);

	// The layout line at height y, clamped to the existing lines.
			int32				LineAtY(float y);
			float				LineTop(int32 line) const
									{ return line * fLineHeight; }
	// The top left of the caret before offset.
			void				PointAt(int32 offset, float& _x, float& _y);
	// The character boundary nearest to x on the layout line at y.
			int32				OffsetAt(float x, float y);
	// The width of the character of length bytes at offset when it
	// starts at x (tabs reach to the next stop).
			float				CharWidth(int32 offset, int32 length,
									float x)
									{ return fBreaker.CharWidth(offset,
										length, x); }

private:
			// A start kept from before an edit. It follows the one after
			// it in the list as it did before, unless runStarts (an edit
			// cut the run there).
			struct Kept {
				int32			at;
				bool			runStarts;
			};

			// The layout of a hard line that wraps, or of one being laid
			// out, relative to the hard line.
			struct Wrapped {
				// The starts known to hold; the first is 0.
				std::vector<int32> starts;
				// Starts of the layout before an edit that lie past the
				// known ones, nearest last; each lies at at + keptShift.
				std::vector<Kept> kept;
				int32			keptShift = 0;
			};

			struct Entry {
				int32			index;
				std::unique_ptr<Wrapped> wrapped;
			};

			// A run of consecutive hard lines. Edits that add or remove
			// hard lines touch only their block, and the count of layout
			// lines before a block is a sum over blocks, not lines.
			struct Block {
				int32			size = 0;
				// Laid out completely, per hard line.
				std::vector<bool> done;
				// The hard lines that wrap or are laid out in part, by
				// index; a line done without an entry is one layout line.
				std::vector<Entry> entries;
				// The layout lines of the done lines, how many are not
				// done, and what those laid out in part add to the
				// estimate beyond one line each.
				int32			total = 0;
				int32			unknown = 0;
				int32			guessed = 0;
			};

			void				_Discard();
			void				_EnsureBlocks();

			void				_Locate(int32 hardLine, int32& _block,
									int32& _index);
	// The entry of the line at index, or where one would go.
			static std::vector<Entry>::iterator _EntryAt(Block& block,
									int32 index);
			static Wrapped*		_Find(Block& block, int32 index);
			static Wrapped&		_Make(Block& block, int32 index);
			static void			_Drop(Block& block, int32 index);
			static int32		_Count(Block& block, int32 index);
			static int32		_Guess(Block& block, int32 index);
			static void			_SetDone(Block& block, int32 index,
									bool done);
			static void			_Recount(Block& block);

			bool				_ExtendOnce(Block& block, int32 index,
									int32 hardLine);
			static void			_Rejoin(Wrapped& wrapped);
			int32				_Complete(Block& block, int32 index,
									int32 hardLine);
			void				_CompleteBlock(int32 block);
			void				_SettleShortLines(Block& block,
									int32 first);
			static void			_FindInBlock(const Block& block,
									int32 wanted, int32& _index,
									int32& _start);
			int32				_BlockPrefix(int32 block);
			int32				_PrefixBefore(int32 hardLine);
			const std::vector<int32>& _Starts(Block& block, int32 index,
									int32 hardLine, int32 wanted);
			void				_Truncate(Block& block, int32 index,
									int32 offsetInLine);
			void				_Edited(Block& block, int32 index,
									int32 hardLine, int32 editStart,
									int32 oldEditEnd, int32 newEditEnd);
			void				_InsertLines(int32 block, int32 index,
									int32 count);
			void				_RemoveLines(int32 block, int32 index,
									int32 count);
			void				_BlocksChanged(int32 block);

			const TextBuffer&	fText;
			const LineIndex&	fLines;
			LineBreaker			fBreaker;
			bool				fWrap;
			float				fLineHeight;
			// Every hard line in order while wrapping; empty otherwise,
			// and after a discard until the next question.
			std::vector<Block>	fBlocks;
			// fPrefix[b]: layout lines before block b, valid for
			// b < fPrefixKnown (the blocks before it are complete).
			std::vector<int32>	fPrefix;
			int32				fPrefixKnown;
			// The block last located and its first hard line, where the
			// next search starts.
			int32				fCursorBlock;
			int32				fCursorLine;
			std::vector<int32>	fSingleStart;
			// _SettleShortLines()'s scratch: the block's line starts, and
			// the lines it checks with their bounds and answers.
			std::vector<int32>	fBlockStarts;
			std::vector<int32>	fOpenIndex;
			std::vector<int32>	fOpenStarts;
			std::vector<int32>	fOpenEnds;
			std::vector<uint8>	fOpenShort;
};

}	// namespace BPrivate

#endif	// _KITS_WRAP_LAYOUT_H
