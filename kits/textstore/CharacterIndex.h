/*
 * CharacterIndex: where the characters of a text view's bytes are, for
 * those who count in characters (assistive technologies) while the text
 * counts in bytes.
 *
 * A character is a UTF-8 sequence; every byte that starts none (a
 * continuation byte that no lead byte comes before, or one that trails
 * a complete sequence) belongs to the character before it, and a first
 * byte that is a continuation byte is a character of its own. So every
 * byte that is not a continuation byte starts a character, and counting
 * them needs no decoding.
 *
 * The index keeps the count of characters for blocks of about 64 KB, so
 * turning an offset of a 100 MB text one way or the other sums some
 * 1600 counts and scans one block; an edit adjusts the block it falls in.
 * It is built on the first question, not before.
 *
 * Threads: none of its own; it is used with the text it indexes.
 * Owns: the block counts only; the text is passed to each call.
 */
#ifndef _KITS_CHARACTER_INDEX_H
#define _KITS_CHARACTER_INDEX_H

#include <SupportDefs.h>

#include <string>
#include <vector>

namespace BPrivate {

class TextBuffer;

class CharacterIndex {
public:
								CharacterIndex();

	// The text was replaced as a whole: the index is built again when
	// next asked.
			void				Reset();
	// length bytes are now at offset (they are in text already).
			void				Inserted(const TextBuffer& text, int32 offset,
									int32 length);
	// from..to is about to go (it is still in text).
			void				WillRemove(const TextBuffer& text, int32 from,
									int32 to);

			int32				CountCharacters(const TextBuffer& text);
	// How many characters start before byteOffset (clipped to the text).
			int32				CharacterOffset(const TextBuffer& text,
									int32 byteOffset);
	// Where character number characterOffset starts; the text's length
	// for offsets at or past the last character, 0 below the first.
			int32				ByteOffset(const TextBuffer& text,
									int32 characterOffset);

	// Appends the bytes from..to (both character starts) as valid UTF-8:
	// each character that is not valid UTF-8, and NUL, as U+FFFD.
	static	void				AppendCharacters(const TextBuffer& text,
									int32 from, int32 to, std::string& _out);

	// The characters the index counted, as it stands (before a Reset()
	// that follows a replacement of the text, the old text's); -1 when
	// it was not built.
			int32				IndexedCharacters() const;

	// For the tests: how many blocks the index keeps (0 before it is
	// built).
			int32				CountBlocks() const
									{ return (int32)fBlocks.size(); }

private:
	struct Block {
		int32				bytes;
		// Bytes that are not continuation bytes.
		int32				leads;
	};

			void				_Build(const TextBuffer& text);
	// The first byte is a character even when it is a continuation byte.
	static	int32				_Correction(const TextBuffer& text);
	// The block that holds offset, and the offset where it starts; an
	// offset at a block's end belongs to that block.
			size_t				_BlockAt(int32 offset, int32& _blockStart)
									const;
			void				_Split(const TextBuffer& text, size_t block,
									int32 blockStart);
			void				_MergeAround(size_t block);

			std::vector<Block>	fBlocks;
			bool				fBuilt;
};

// Bytes that are not continuation bytes in length bytes from offset.
int32 count_lead_bytes(const TextBuffer& text, int32 offset, int32 length);

}	// namespace BPrivate

#endif	// _KITS_CHARACTER_INDEX_H
