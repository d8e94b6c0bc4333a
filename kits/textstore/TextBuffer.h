/*
 * TextBuffer: the bytes of a text view's document, in a gap buffer.
 *
 * The text is raw bytes: NUL, CR and invalid UTF-8 are stored and returned
 * exactly as given. The free space (the gap) sits where the last edit
 * happened, so an edit near the caret moves only the bytes between the
 * previous edit and this one, and ByteAt() is constant time wherever the
 * gap is. Text() closes the text up into one contiguous block by moving
 * the gap to the end.
 *
 * Offsets are in bytes, from 0 to Length().
 *
 * Threads: none of its own; the text view's window thread uses it.
 * Owns: the byte block.
 */
#ifndef _KITS_TEXT_BUFFER_H
#define _KITS_TEXT_BUFFER_H

#include <SupportDefs.h>

class BPositionIO;

#include <functional>
#include <string>

namespace BPrivate {

class TextBuffer {
public:
								TextBuffer();
								~TextBuffer();

								TextBuffer(const TextBuffer&) = delete;
			TextBuffer&			operator=(const TextBuffer&) = delete;

	// Replaces the whole text. B_BAD_VALUE for a NULL text with a
	// non-zero length or a negative length, B_NO_MEMORY when the block
	// cannot be allocated; the text is unchanged on error.
			status_t			SetTo(const char* text, int32 length);
	// Replaces the whole text by up to length bytes that source holds
	// from position on, read straight into the new block. Each piece that
	// a read returns is handed to chunkRead, so that a caller can index
	// the text as it comes. The status of a failed read; the text is
	// unchanged on error.
			status_t			ReadFrom(BPositionIO* source, off_t position,
									int32 length,
									const std::function<void(const char*,
										int32)>& chunkRead = nullptr);

	// Inserts length bytes at offset. B_BAD_VALUE for an offset outside
	// 0..Length(), a negative length, a NULL bytes with a non-zero length
	// or a result longer than INT32_MAX - 1 bytes; B_NO_MEMORY when the
	// block cannot grow. The text is unchanged on error.
			status_t			Insert(int32 offset, const char* bytes,
									int32 length);
	// Removes the bytes from..to-1. B_BAD_VALUE unless
	// 0 <= from <= to <= Length(); the text is unchanged on error.
			status_t			Remove(int32 from, int32 to);

			int32				Length() const
									{ return fLength; }
	// The byte at offset; 0 for offsets outside the text.
			char				ByteAt(int32 offset) const
									{
										if (offset < 0 || offset >= fLength)
											return '\0';
										return offset < fGapStart
											? fBuffer[offset]
											: fBuffer[offset + fGapLength];
									}

	// The whole text as one block, followed by a NUL that is not part of
	// it (so a text without NUL bytes is also a C string). Moves the gap
	// to the end. Valid until the next edit.
			const char*			Text();
	// Copies the bytes offset..offset+length-1, clipped to the text, to
	// buffer, which must hold length bytes; returns how many it copied.
	// Copies nothing for a negative offset or length.
			int32				GetText(int32 offset, int32 length,
									char* buffer) const;
	// The same as a string.
			std::string			GetText(int32 offset, int32 length) const;
	// Points _piece at the byte at offset and returns how many of the
	// length bytes from there lie together in memory (up to the gap, or
	// to the end of the text), so that a caller can scan them without a
	// call per byte. Returns 0 for offsets outside the text or a length
	// that is not positive. Valid until the next edit.
			int32				PieceAt(int32 offset, int32 length,
									const char*& _piece) const;

	// The offset of the first occurrence of the length bytes of needle
	// that starts at or after from (from is clipped to 0); -1 when there
	// is none, or for an empty or NULL needle.
			int32				Find(const char* needle, int32 length,
									int32 from = 0) const;

private:
			status_t			_MakeRoom(int32 length);
			void				_MoveGapTo(int32 offset);

			char*				fBuffer;
			// Bytes allocated: fLength + fGapLength.
			int32				fCapacity;
			int32				fLength;
			// The gap is fBuffer[fGapStart .. fGapStart + fGapLength - 1].
			int32				fGapStart;
			int32				fGapLength;
};

}	// namespace BPrivate

#endif	// _KITS_TEXT_BUFFER_H
