/*
 * PieceTable: a text as runs of its base and of a journal.
 */
#include "PieceTable.h"


PieceTable::PieceTable()
	:
	fLength(0),
	fBaseLength(0)
{
}


void
PieceTable::Reset(uint64 baseLength)
{
	fPieces.clear();
	if (baseLength > 0)
		fPieces.push_back(Piece{ true, 0, baseLength });
	fLength = baseLength;
	fBaseLength = baseLength;
}


void
PieceTable::Replace(uint64 sourceOffset, uint64 length)
{
	fPieces.clear();
	if (length > 0)
		fPieces.push_back(Piece{ false, sourceOffset, length });
	fLength = length;
}


status_t
PieceTable::Insert(uint64 at, uint64 sourceOffset, uint64 length)
{
	if (at > fLength)
		return B_BAD_VALUE;
	if (length == 0)
		return B_OK;
	size_t index = _SplitAt(at);
	fPieces.insert(fPieces.begin() + index, Piece{ false, sourceOffset,
		length });
	fLength += length;
	_Merge();
	return B_OK;
}


status_t
PieceTable::Delete(uint64 from, uint64 to)
{
	if (from > to || to > fLength)
		return B_BAD_VALUE;
	if (from == to)
		return B_OK;
	size_t first = _SplitAt(from);
	size_t last = _SplitAt(to);
	fPieces.erase(fPieces.begin() + first, fPieces.begin() + last);
	fLength -= to - from;
	_Merge();
	return B_OK;
}


bool
PieceTable::IsBase() const
{
	if (fLength != fBaseLength)
		return false;
	if (fPieces.empty())
		return true;
	return fPieces.size() == 1 && fPieces[0].fromBase
		&& fPieces[0].offset == 0;
}


bool
PieceTable::UsesBase() const
{
	for (const Piece& piece : fPieces) {
		if (piece.fromBase)
			return true;
	}
	return false;
}


uint64
PieceTable::JournalBytes() const
{
	uint64 bytes = 0;
	for (const Piece& piece : fPieces) {
		if (!piece.fromBase)
			bytes += piece.length;
	}
	return bytes;
}


size_t
PieceTable::_SplitAt(uint64 at)
{
	uint64 position = 0;
	for (size_t index = 0; index < fPieces.size(); index++) {
		Piece& piece = fPieces[index];
		if (position == at)
			return index;
		if (at < position + piece.length) {
			uint64 head = at - position;
			Piece tail{ piece.fromBase, piece.offset + head,
				piece.length - head };
			piece.length = head;
			fPieces.insert(fPieces.begin() + index + 1, tail);
			return index + 1;
		}
		position += piece.length;
	}
	return fPieces.size();
}


// Joins neighbours that continue each other in their source, so that a
// deletion undone by putting the same base run back, or typing that goes
// on where it stopped, leaves one piece.
void
PieceTable::_Merge()
{
	size_t kept = 0;
	for (size_t index = 0; index < fPieces.size(); index++) {
		const Piece& piece = fPieces[index];
		if (piece.length == 0)
			continue;
		if (kept > 0) {
			Piece& last = fPieces[kept - 1];
			if (last.fromBase == piece.fromBase
				&& last.offset + last.length == piece.offset) {
				last.length += piece.length;
				continue;
			}
		}
		fPieces[kept++] = piece;
	}
	fPieces.resize(kept);
}
