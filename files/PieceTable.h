/*
 * PieceTable: a document's text as a recovery journal knows it, without
 * its bytes. The text is a row of pieces, each a run of the base text
 * (the file the document came from) or a run of bytes that lie in the
 * journal file, in the order they follow each other in the text.
 *
 * It tells what a compacted journal has to hold (only the journal's
 * pieces, and where the base's pieces stand), and whether the text is
 * the base again, piece for piece. Runs of the base keep their order:
 * no edit moves text, it only takes some away and puts new bytes in.
 *
 * Insert() and Delete() are B_BAD_VALUE for offsets outside the text,
 * which then stays as it was. Used by one thread at a time.
 */
#ifndef PIECE_TABLE_H
#define PIECE_TABLE_H

#include <SupportDefs.h>

#include <vector>


class PieceTable {
public:
	struct Piece {
			bool				fromBase;
		// In the base text, or in the journal file.
			uint64				offset;
			uint64				length;
	};

								PieceTable();

	// The base text whole, of that length.
			void				Reset(uint64 baseLength);
	// The text is bytes of the journal alone: the base is gone.
			void				Replace(uint64 sourceOffset, uint64 length);

			status_t			Insert(uint64 at, uint64 sourceOffset,
									uint64 length);
			status_t			Delete(uint64 from, uint64 to);

			uint64				Length() const { return fLength; }
			uint64				BaseLength() const { return fBaseLength; }
	// Whether the pieces are the base whole, and nothing else.
			bool				IsBase() const;
	// Whether any piece is of the base.
			bool				UsesBase() const;
	// How many bytes of the text are the journal's.
			uint64				JournalBytes() const;
			const std::vector<Piece>& Pieces() const { return fPieces; }

private:
	// The index of the piece holding the offset, split there so that a
	// piece begins at it; the count of pieces when it is the end.
			size_t				_SplitAt(uint64 at);
			void				_Merge();

			std::vector<Piece>	fPieces;
			uint64				fLength;
			uint64				fBaseLength;
};

#endif	// PIECE_TABLE_H
