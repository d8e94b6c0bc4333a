/*
 * The field store of a BMessage: the fields in the order they were
 * added, each field's values back to back in one block, and a hash of
 * the names. Every change keeps the size of the message's flat form up
 * to date, so that a message never grows past what Unflatten() accepts.
 *
 * A value given to AddValue() or ReplaceValue() may point into the
 * message itself (a string found in it, say): blocks are grown by
 * copying into a new block before the old one is freed, never by
 * realloc(), so such a value stays readable until it has been copied.
 */
#include "MessageFields.h"

#include <new>
#include <stdlib.h>
#include <string.h>

using namespace BPrivate;


namespace {

uint32
hash_name(const char* name, size_t length)
{
	// FNV-1a: short, and good enough for names.
	uint32 hash = 2166136261u;
	for (size_t i = 0; i < length; i++) {
		hash ^= (uint8)name[i];
		hash *= 16777619u;
	}
	return hash;
}

}	// namespace


const char*
BMessage::field::ValueAt(int32 index, uint32* _size) const
{
	// A field of empty values may have no block; its values still get a
	// pointer that can be read for their zero bytes.
	static const char kNoData[1] = { '\0' };
	if (data == NULL) {
		*_size = 0;
		return kNoData;
	}
	if (fixedSize) {
		*_size = itemSize;
		return data + (size_t)index * itemSize;
	}
	uint32 start = index > 0 ? ends[index - 1] : 0;
	*_size = ends[index] - start;
	return data + start;
}


size_t
BMessage::field::OffsetOf(int32 index) const
{
	if (fixedSize)
		return (size_t)index * itemSize;
	return index > 0 ? ends[index - 1] : 0;
}


//	#pragma mark - field_list


BMessage::field_list::field_list()
	:
	fFields(NULL),
	fCount(0),
	fCapacity(0),
	fHash(NULL),
	fHashSize(0),
	fFlatSize(kFlatHeaderSize)
{
}


BMessage::field_list::~field_list()
{
	for (int32 i = 0; i < fCount; i++)
		_FreeField(fFields[i]);
	free(fFields);
	free(fHash);
}


BMessage::field_list*
BMessage::field_list::Clone(const field_list& other)
{
	field_list* copy = new(std::nothrow) field_list;
	if (copy == NULL)
		return NULL;
	if (other.fCount == 0)
		return copy;

	copy->fFields = (field*)malloc(sizeof(field) * other.fCount);
	copy->fHash = (int32*)malloc(sizeof(int32) * other.fHashSize);
	if (copy->fFields == NULL || copy->fHash == NULL) {
		delete copy;
		return NULL;
	}
	copy->fCapacity = other.fCount;
	copy->fHashSize = other.fHashSize;
	memcpy(copy->fHash, other.fHash, sizeof(int32) * other.fHashSize);

	for (int32 i = 0; i < other.fCount; i++) {
		const field& source = other.fFields[i];
		field& target = copy->fFields[i];
		target = source;
		target.name = (char*)malloc(source.nameLength + 1);
		target.data = source.dataSize > 0
			? (char*)malloc(source.dataSize) : NULL;
		target.ends = source.fixedSize
			? NULL : (uint32*)malloc(sizeof(uint32) * source.count);
		target.dataCapacity = source.dataSize;
		target.endsCapacity = source.fixedSize ? 0 : source.count;
		// Counted from here on, so that the destructor frees what was
		// allocated if the copy has to be abandoned.
		copy->fCount = i + 1;
		if (target.name == NULL || (source.dataSize > 0 && target.data == NULL)
			|| (!source.fixedSize && target.ends == NULL)) {
			delete copy;
			return NULL;
		}
		memcpy(target.name, source.name, source.nameLength + 1);
		if (source.dataSize > 0)
			memcpy(target.data, source.data, source.dataSize);
		if (!source.fixedSize)
			memcpy(target.ends, source.ends, sizeof(uint32) * source.count);
	}
	copy->fFlatSize = other.fFlatSize;
	return copy;
}


int32
BMessage::field_list::IndexOf(const char* name, size_t nameLength) const
{
	if (fHashSize == 0)
		return -1;
	uint32 mask = fHashSize - 1;
	for (uint32 slot = hash_name(name, nameLength) & mask; fHash[slot] != 0;
			slot = (slot + 1) & mask) {
		int32 index = fHash[slot] - 1;
		const field& candidate = fFields[index];
		if (candidate.nameLength == nameLength
			&& memcmp(candidate.name, name, nameLength) == 0)
			return index;
	}
	return -1;
}


status_t
BMessage::field_list::AddField(const char* name, size_t nameLength,
	type_code type, bool fixedSize, uint32 itemSize, int32* _index)
{
	if (!_FitsFlatSize(kFlatFieldOverhead + nameLength))
		return B_NO_MEMORY;

	if (fCount == fCapacity) {
		int32 capacity = fCapacity > 0 ? fCapacity * 2 : 4;
		field* fields = (field*)malloc(sizeof(field) * capacity);
		if (fields == NULL)
			return B_NO_MEMORY;
		if (fCount > 0)
			memcpy(fields, fFields, sizeof(field) * fCount);
		free(fFields);
		fFields = fields;
		fCapacity = capacity;
	}
	status_t status = _GrowHash(fCount + 1);
	if (status != B_OK)
		return status;

	char* nameCopy = (char*)malloc(nameLength + 1);
	if (nameCopy == NULL)
		return B_NO_MEMORY;
	memcpy(nameCopy, name, nameLength);
	nameCopy[nameLength] = '\0';

	field& added = fFields[fCount];
	memset(&added, 0, sizeof(field));
	added.type = type;
	added.fixedSize = fixedSize;
	added.nameLength = (uint8)nameLength;
	added.itemSize = fixedSize ? itemSize : 0;
	added.name = nameCopy;

	_InsertHash(fCount);
	*_index = fCount++;
	fFlatSize += kFlatFieldOverhead + nameLength;
	return B_OK;
}


status_t
BMessage::field_list::Reserve(int32 fieldIndex, int32 count, size_t dataSize)
{
	field& target = fFields[fieldIndex];
	if (dataSize > B_MAX_FLATTENED_MESSAGE_SIZE
		|| count > B_MAX_FLATTENED_MESSAGE_SIZE / (int32)kFlatValueOverhead)
		return B_NO_MEMORY;

	size_t neededData = target.dataSize + dataSize;
	if (neededData > target.dataCapacity) {
		char* data = (char*)malloc(neededData);
		if (data == NULL)
			return B_NO_MEMORY;
		if (target.dataSize > 0)
			memcpy(data, target.data, target.dataSize);
		free(target.data);
		target.data = data;
		target.dataCapacity = (uint32)neededData;
	}

	if (!target.fixedSize && target.count + count > target.endsCapacity) {
		int32 capacity = target.count + count;
		uint32* ends = (uint32*)malloc(sizeof(uint32) * capacity);
		if (ends == NULL)
			return B_NO_MEMORY;
		if (target.count > 0)
			memcpy(ends, target.ends, sizeof(uint32) * target.count);
		free(target.ends);
		target.ends = ends;
		target.endsCapacity = capacity;
	}
	return B_OK;
}


status_t
BMessage::field_list::AddValue(int32 fieldIndex, const void* value,
	uint32 size)
{
	field& target = fFields[fieldIndex];
	if (target.fixedSize && size != target.itemSize)
		return B_BAD_VALUE;
	if (!_FitsFlatSize(kFlatValueOverhead + size))
		return B_NO_MEMORY;

	if (!target.fixedSize && target.count == target.endsCapacity) {
		int32 capacity = target.endsCapacity > 0
			? target.endsCapacity * 2 : 4;
		uint32* ends = (uint32*)malloc(sizeof(uint32) * capacity);
		if (ends == NULL)
			return B_NO_MEMORY;
		if (target.count > 0)
			memcpy(ends, target.ends, sizeof(uint32) * target.count);
		free(target.ends);
		target.ends = ends;
		target.endsCapacity = capacity;
	}

	size_t neededData = (size_t)target.dataSize + size;
	if (neededData > target.dataCapacity) {
		size_t capacity = (size_t)target.dataCapacity * 2;
		if (capacity < neededData)
			capacity = neededData;
		if (capacity < 16)
			capacity = 16;
		char* data = (char*)malloc(capacity);
		if (data == NULL)
			return B_NO_MEMORY;
		if (target.dataSize > 0)
			memcpy(data, target.data, target.dataSize);
		if (size > 0)
			memcpy(data + target.dataSize, value, size);
		free(target.data);
		target.data = data;
		target.dataCapacity = (uint32)capacity;
	} else if (size > 0)
		memcpy(target.data + target.dataSize, value, size);

	target.dataSize += size;
	if (!target.fixedSize)
		target.ends[target.count] = target.dataSize;
	target.count++;
	fFlatSize += kFlatValueOverhead + size;
	return B_OK;
}


status_t
BMessage::field_list::ReplaceValue(int32 fieldIndex, int32 valueIndex,
	const void* value, uint32 size)
{
	field& target = fFields[fieldIndex];
	if (target.fixedSize && size != target.itemSize)
		return B_BAD_VALUE;

	uint32 oldSize;
	target.ValueAt(valueIndex, &oldSize);
	size_t offset = target.OffsetOf(valueIndex);
	if (size == oldSize) {
		if (size > 0)
			memmove(target.data + offset, value, size);
		return B_OK;
	}
	if (size > oldSize && !_FitsFlatSize(size - oldSize))
		return B_NO_MEMORY;

	// Only variable-size fields get here. The new block is built before
	// the old one goes, since the value may lie in it.
	size_t tail = target.dataSize - offset - oldSize;
	size_t newDataSize = target.dataSize - oldSize + size;
	char* data = newDataSize > 0 ? (char*)malloc(newDataSize) : NULL;
	if (newDataSize > 0 && data == NULL)
		return B_NO_MEMORY;
	if (offset > 0)
		memcpy(data, target.data, offset);
	if (size > 0)
		memcpy(data + offset, value, size);
	if (tail > 0)
		memcpy(data + offset + size, target.data + offset + oldSize, tail);
	free(target.data);
	target.data = data;
	target.dataSize = (uint32)newDataSize;
	target.dataCapacity = (uint32)newDataSize;

	for (int32 i = valueIndex; i < target.count; i++)
		target.ends[i] = target.ends[i] - oldSize + size;
	fFlatSize = fFlatSize - oldSize + size;
	return B_OK;
}


void
BMessage::field_list::RemoveValue(int32 fieldIndex, int32 valueIndex)
{
	field& target = fFields[fieldIndex];
	if (target.count == 1) {
		RemoveField(fieldIndex);
		return;
	}

	uint32 size;
	target.ValueAt(valueIndex, &size);
	size_t offset = target.OffsetOf(valueIndex);
	size_t tail = target.dataSize - offset - size;
	if (tail > 0)
		memmove(target.data + offset, target.data + offset + size, tail);
	if (!target.fixedSize) {
		for (int32 i = valueIndex; i < target.count - 1; i++)
			target.ends[i] = target.ends[i + 1] - size;
	}
	target.count--;
	target.dataSize -= size;
	fFlatSize -= kFlatValueOverhead + size;
}


void
BMessage::field_list::RemoveField(int32 fieldIndex)
{
	field& victim = fFields[fieldIndex];
	fFlatSize -= kFlatFieldOverhead + victim.nameLength
		+ kFlatValueOverhead * victim.count + victim.dataSize;
	_FreeField(victim);
	if (fieldIndex < fCount - 1) {
		memmove(&fFields[fieldIndex], &fFields[fieldIndex + 1],
			sizeof(field) * (fCount - fieldIndex - 1));
	}
	fCount--;
	_RebuildHash();
}


status_t
BMessage::field_list::Rename(int32 fieldIndex, const char* name,
	size_t nameLength)
{
	field& target = fFields[fieldIndex];
	if (nameLength > target.nameLength
		&& !_FitsFlatSize(nameLength - target.nameLength))
		return B_NO_MEMORY;

	char* nameCopy = (char*)malloc(nameLength + 1);
	if (nameCopy == NULL)
		return B_NO_MEMORY;
	memcpy(nameCopy, name, nameLength);
	nameCopy[nameLength] = '\0';

	fFlatSize = fFlatSize - target.nameLength + nameLength;
	free(target.name);
	target.name = nameCopy;
	target.nameLength = (uint8)nameLength;
	_RebuildHash();
	return B_OK;
}


BMessage::field_list*
BMessage::field_list::MakeFieldsOf(BMessage& message)
{
	if (message.fFields == NULL)
		message.fFields = new(std::nothrow) field_list;
	return message.fFields;
}


void
BMessage::field_list::SwapContents(BMessage& a, BMessage& b)
{
	uint32 what = a.what;
	a.what = b.what;
	b.what = what;

	field_list* fields = a.fFields;
	a.fFields = b.fFields;
	b.fFields = fields;

	bool wasDropped = a.fWasDropped;
	a.fWasDropped = b.fWasDropped;
	b.fWasDropped = wasDropped;

	BPoint point = a.fDropPoint;
	a.fDropPoint = b.fDropPoint;
	b.fDropPoint = point;

	point = a.fDropOffset;
	a.fDropOffset = b.fDropOffset;
	b.fDropOffset = point;
}


void
BMessage::field_list::Clear(BMessage& message)
{
	delete message.fFields;
	message.fFields = NULL;
	message.what = 0;
	message.fWasDropped = false;
	message.fDropPoint = B_ORIGIN;
	message.fDropOffset = B_ORIGIN;
}


status_t
BMessage::field_list::_GrowHash(int32 fieldCount)
{
	if ((size_t)fieldCount * 2 <= fHashSize)
		return B_OK;

	uint32 size = fHashSize > 0 ? fHashSize * 2 : 16;
	while ((size_t)fieldCount * 2 > size)
		size *= 2;
	int32* hash = (int32*)malloc(sizeof(int32) * size);
	if (hash == NULL)
		return B_NO_MEMORY;
	free(fHash);
	fHash = hash;
	fHashSize = size;
	_RebuildHash();
	return B_OK;
}


void
BMessage::field_list::_RebuildHash()
{
	if (fHashSize == 0)
		return;
	memset(fHash, 0, sizeof(int32) * fHashSize);
	for (int32 i = 0; i < fCount; i++)
		_InsertHash(i);
}


void
BMessage::field_list::_InsertHash(int32 fieldIndex)
{
	const field& target = fFields[fieldIndex];
	uint32 mask = fHashSize - 1;
	uint32 slot = hash_name(target.name, target.nameLength) & mask;
	while (fHash[slot] != 0)
		slot = (slot + 1) & mask;
	fHash[slot] = fieldIndex + 1;
}


void
BMessage::field_list::_FreeField(field& victim)
{
	free(victim.name);
	free(victim.data);
	free(victim.ends);
	victim.name = NULL;
	victim.data = NULL;
	victim.ends = NULL;
}


bool
BMessage::field_list::_FitsFlatSize(size_t delta) const
{
	return delta <= B_MAX_FLATTENED_MESSAGE_SIZE
		&& fFlatSize + delta <= B_MAX_FLATTENED_MESSAGE_SIZE;
}
