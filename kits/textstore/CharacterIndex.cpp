/*
 * The character index of a text view's bytes.
 */
#include "CharacterIndex.h"

#include "TextBuffer.h"

#include <algorithm>

namespace {

// Blocks are made this big, and split when they grow past twice that.
const int32 kBlockBytes = 64 * 1024;

inline bool
is_continuation(uint8 byte)
{
	return (byte & 0xC0) == 0x80;
}

// The length of the valid UTF-8 sequence at bytes[0], up to available
// bytes; 0 when it is not one.
int32
valid_sequence_length(const uint8* bytes, int32 available)
{
	uint8 lead = bytes[0];
	int32 length;
	uint32 minimum;
	uint32 value;
	if (lead < 0x80)
		return 1;
	if (lead >= 0xC2 && lead <= 0xDF) {
		length = 2;
		minimum = 0x80;
		value = lead & 0x1F;
	} else if (lead >= 0xE0 && lead <= 0xEF) {
		length = 3;
		minimum = 0x800;
		value = lead & 0x0F;
	} else if (lead >= 0xF0 && lead <= 0xF4) {
		length = 4;
		minimum = 0x10000;
		value = lead & 0x07;
	} else
		return 0;
	if (available < length)
		return 0;
	for (int32 i = 1; i < length; i++) {
		if (!is_continuation(bytes[i]))
			return 0;
		value = (value << 6) | (bytes[i] & 0x3F);
	}
	if (value < minimum || value > 0x10FFFF
		|| (value >= 0xD800 && value <= 0xDFFF))
		return 0;
	return length;
}

}	// namespace


namespace BPrivate {

int32
count_lead_bytes(const TextBuffer& text, int32 offset, int32 length)
{
	int32 leads = 0;
	while (length > 0) {
		const char* piece;
		int32 count = text.PieceAt(offset, length, piece);
		if (count <= 0)
			break;
		const uint8* bytes = (const uint8*)piece;
		int32 inPiece = 0;
		for (int32 i = 0; i < count; i++)
			inPiece += !is_continuation(bytes[i]);
		leads += inPiece;
		offset += count;
		length -= count;
	}
	return leads;
}


CharacterIndex::CharacterIndex()
	:
	fBuilt(false)
{
}


void
CharacterIndex::Reset()
{
	fBlocks.clear();
	fBuilt = false;
}


void
CharacterIndex::Inserted(const TextBuffer& text, int32 offset, int32 length)
{
	if (!fBuilt || length <= 0)
		return;
	int32 leads = count_lead_bytes(text, offset, length);
	if (fBlocks.empty()) {
		fBlocks.push_back({ length, leads });
		_Split(text, 0, 0);
		return;
	}
	int32 blockStart;
	size_t block = _BlockAt(offset, blockStart);
	fBlocks[block].bytes += length;
	fBlocks[block].leads += leads;
	if (fBlocks[block].bytes > 2 * kBlockBytes)
		_Split(text, block, blockStart);
}


void
CharacterIndex::WillRemove(const TextBuffer& text, int32 from, int32 to)
{
	if (!fBuilt || to <= from)
		return;
	// Offsets are the text's before the removal, as the counts read it.
	int32 blockStart = 0;
	size_t block = 0;
	while (block < fBlocks.size() && blockStart < to) {
		int32 blockEnd = blockStart + fBlocks[block].bytes;
		int32 start = std::max(from, blockStart);
		int32 end = std::min(to, blockEnd);
		if (end > start) {
			fBlocks[block].bytes -= end - start;
			fBlocks[block].leads -= count_lead_bytes(text, start, end - start);
		}
		blockStart = blockEnd;
		if (fBlocks[block].bytes == 0)
			fBlocks.erase(fBlocks.begin() + block);
		else
			block++;
	}
	for (size_t i = 0; i + 1 < fBlocks.size(); i++) {
		if (fBlocks[i].bytes < kBlockBytes / 4) {
			_MergeAround(i);
			break;
		}
	}
}


int32
CharacterIndex::CountCharacters(const TextBuffer& text)
{
	_Build(text);
	int32 leads = 0;
	for (const Block& block : fBlocks)
		leads += block.leads;
	return leads + _Correction(text);
}


int32
CharacterIndex::IndexedCharacters() const
{
	if (!fBuilt)
		return -1;
	int32 leads = 0;
	for (const Block& block : fBlocks)
		leads += block.leads;
	return leads;
}


int32
CharacterIndex::CharacterOffset(const TextBuffer& text, int32 byteOffset)
{
	_Build(text);
	byteOffset = std::clamp(byteOffset, (int32)0, text.Length());
	if (byteOffset == 0)
		return 0;
	int32 leads = 0;
	int32 blockStart = 0;
	for (const Block& block : fBlocks) {
		if (blockStart + block.bytes >= byteOffset) {
			leads += count_lead_bytes(text, blockStart,
				byteOffset - blockStart);
			break;
		}
		leads += block.leads;
		blockStart += block.bytes;
	}
	return leads + _Correction(text);
}


int32
CharacterIndex::ByteOffset(const TextBuffer& text, int32 characterOffset)
{
	_Build(text);
	if (characterOffset <= 0)
		return 0;
	int32 correction = _Correction(text);
	// The lead byte to find, counting from 0.
	int32 wanted = characterOffset - correction;
	int32 blockStart = 0;
	for (const Block& block : fBlocks) {
		if (wanted >= block.leads) {
			wanted -= block.leads;
			blockStart += block.bytes;
			continue;
		}
		int32 offset = blockStart;
		int32 end = blockStart + block.bytes;
		while (offset < end) {
			const char* piece;
			int32 count = text.PieceAt(offset, end - offset, piece);
			if (count <= 0)
				break;
			const uint8* bytes = (const uint8*)piece;
			for (int32 i = 0; i < count; i++) {
				if (is_continuation(bytes[i]))
					continue;
				if (wanted == 0)
					return offset + i;
				wanted--;
			}
			offset += count;
		}
		break;
	}
	return text.Length();
}


/*static*/ void
CharacterIndex::AppendCharacters(const TextBuffer& text, int32 from, int32 to,
	std::string& _out)
{
	from = std::clamp(from, (int32)0, text.Length());
	to = std::clamp(to, from, text.Length());
	std::string bytes = text.GetText(from, to - from);
	const uint8* data = (const uint8*)bytes.data();
	int32 length = (int32)bytes.size();
	_out.reserve(_out.size() + bytes.size());
	int32 i = 0;
	while (i < length) {
		// The character runs to the next byte that is not a continuation.
		int32 end = i + 1;
		while (end < length && is_continuation(data[end]))
			end++;
		int32 valid = valid_sequence_length(data + i, end - i);
		if (valid == end - i && data[i] != 0)
			_out.append((const char*)data + i, valid);
		else
			_out.append("\xEF\xBF\xBD");
		i = end;
	}
}


void
CharacterIndex::_Build(const TextBuffer& text)
{
	if (fBuilt)
		return;
	fBlocks.clear();
	int32 length = text.Length();
	for (int32 offset = 0; offset < length; offset += kBlockBytes) {
		int32 bytes = std::min(kBlockBytes, length - offset);
		fBlocks.push_back({ bytes, count_lead_bytes(text, offset, bytes) });
	}
	fBuilt = true;
}


/*static*/ int32
CharacterIndex::_Correction(const TextBuffer& text)
{
	return text.Length() > 0 && is_continuation((uint8)text.ByteAt(0))
		? 1 : 0;
}


size_t
CharacterIndex::_BlockAt(int32 offset, int32& _blockStart) const
{
	int32 blockStart = 0;
	for (size_t i = 0; i < fBlocks.size(); i++) {
		if (offset <= blockStart + fBlocks[i].bytes) {
			_blockStart = blockStart;
			return i;
		}
		blockStart += fBlocks[i].bytes;
	}
	_blockStart = blockStart - fBlocks.back().bytes;
	return fBlocks.size() - 1;
}


void
CharacterIndex::_Split(const TextBuffer& text, size_t block, int32 blockStart)
{
	int32 bytes = fBlocks[block].bytes;
	if (bytes <= 2 * kBlockBytes)
		return;
	std::vector<Block> pieces;
	for (int32 offset = 0; offset < bytes; offset += kBlockBytes) {
		int32 size = std::min(kBlockBytes, bytes - offset);
		pieces.push_back({ size,
			count_lead_bytes(text, blockStart + offset, size) });
	}
	fBlocks.erase(fBlocks.begin() + block);
	fBlocks.insert(fBlocks.begin() + block, pieces.begin(), pieces.end());
}


void
CharacterIndex::_MergeAround(size_t block)
{
	// Small blocks join their next neighbour while the two stay within
	// one block's size, so many deletions do not leave many tiny blocks.
	if (block + 1 >= fBlocks.size())
		return;
	if (fBlocks[block].bytes + fBlocks[block + 1].bytes > kBlockBytes)
		return;
	fBlocks[block].bytes += fBlocks[block + 1].bytes;
	fBlocks[block].leads += fBlocks[block + 1].leads;
	fBlocks.erase(fBlocks.begin() + block + 1);
}

}	// namespace BPrivate
