/*
 * The flat form of a BMessage, as Message.h describes it: writing it,
 * and reading it back from bytes that may be truncated, corrupt or
 * hostile.
 *
 * Reading never trusts a count or a size before checking it against the
 * bytes that are left, so nothing is allocated for data that is not
 * there; it builds into a message of its own and swaps it in only when
 * the whole input was valid.
 */
#include <Message.h>

#include <stdlib.h>
#include <string.h>

#include "MessageFields.h"

using namespace BPrivate;


namespace BPrivate {

// Reads forward through a block of bytes, never past its end.
class FlatReader {
public:
								FlatReader(const uint8* data, size_t size)
									:
									fData(data),
									fSize(size),
									fPosition(0)
								{
								}

			size_t				Remaining() const
									{ return fSize - fPosition; }

			bool				ReadUInt32(uint32* _value)
								{
									const uint8* bytes = Read(4);
									if (bytes == NULL)
										return false;
									*_value = (uint32)bytes[0]
										| (uint32)bytes[1] << 8
										| (uint32)bytes[2] << 16
										| (uint32)bytes[3] << 24;
									return true;
								}

	// The next size bytes, or NULL when fewer are left.
			const uint8*		Read(size_t size)
								{
									if (size > Remaining())
										return NULL;
									const uint8* bytes = fData + fPosition;
									fPosition += size;
									return bytes;
								}

private:
			const uint8*		fData;
			size_t				fSize;
			size_t				fPosition;
};

}	// namespace BPrivate


namespace {

// Streams are read in growing blocks, so that a header that claims a big
// message costs memory only as its bytes actually arrive.
const size_t kStreamBlockSize = 64 * 1024;


uint32
read_uint32(const uint8* bytes)
{
	return (uint32)bytes[0] | (uint32)bytes[1] << 8 | (uint32)bytes[2] << 16
		| (uint32)bytes[3] << 24;
}


uint8*
write_uint32(uint8* out, uint32 value)
{
	out[0] = (uint8)value;
	out[1] = (uint8)(value >> 8);
	out[2] = (uint8)(value >> 16);
	out[3] = (uint8)(value >> 24);
	return out + 4;
}


uint8*
write_bytes(uint8* out, const void* data, size_t size)
{
	if (size > 0)
		memcpy(out, data, size);
	return out + size;
}


uint8*
write_float(uint8* out, float value)
{
	uint32 bits;
	memcpy(&bits, &value, sizeof(bits));
	return write_uint32(out, bits);
}


// B_BAD_DATA when the stream ends before size bytes came; the stream's
// own error when it fails.
status_t
read_fully(BDataIO* stream, uint8* buffer, size_t size)
{
	size_t done = 0;
	while (done < size) {
		ssize_t result = stream->Read(buffer + done, size - done);
		if (result < 0)
			return (status_t)result;
		if (result == 0)
			return B_BAD_DATA;
		done += result;
	}
	return B_OK;
}


// Reads the rest of a flat message whose header (kHeaderPeek bytes) is
// already in header, into a block the caller frees.
const size_t kHeaderPeek = 8;

status_t
read_flat_message(BDataIO* stream, const uint8* header, size_t totalSize,
	uint8** _block)
{
	size_t capacity = totalSize < kStreamBlockSize
		? totalSize : kStreamBlockSize;
	uint8* block = (uint8*)malloc(capacity);
	if (block == NULL)
		return B_NO_MEMORY;
	memcpy(block, header, kHeaderPeek);

	size_t done = kHeaderPeek;
	while (done < totalSize) {
		if (done == capacity) {
			size_t grown = capacity * 2 < totalSize ? capacity * 2 : totalSize;
			uint8* larger = (uint8*)malloc(grown);
			if (larger == NULL) {
				free(block);
				return B_NO_MEMORY;
			}
			memcpy(larger, block, done);
			free(block);
			block = larger;
			capacity = grown;
		}
		status_t status = read_fully(stream, block + done, capacity - done);
		if (status != B_OK) {
			free(block);
			return status;
		}
		done = capacity;
	}
	*_block = block;
	return B_OK;
}

}	// namespace


//	#pragma mark - writing


ssize_t
BMessage::FlattenedSize() const
{
	return fFields != NULL ? fFields->FlatSize() : kFlatHeaderSize;
}


status_t
BMessage::Flatten(char* buffer, ssize_t size) const
{
	if (buffer == NULL || size < 0)
		return B_BAD_VALUE;
	ssize_t flatSize = FlattenedSize();
	if (size < flatSize)
		return B_BUFFER_OVERFLOW;

	int32 fieldCount = fFields != NULL ? fFields->CountFields() : 0;
	uint8* out = (uint8*)buffer;
	out = write_bytes(out, kFlatMagic, sizeof(kFlatMagic));
	out = write_uint32(out, (uint32)flatSize);
	out = write_uint32(out, what);
	out = write_uint32(out, fWasDropped ? kFlatFlagDropped : 0);
	out = write_float(out, fDropPoint.x);
	out = write_float(out, fDropPoint.y);
	out = write_uint32(out, fieldCount);

	for (int32 i = 0; i < fieldCount; i++) {
		const field* source = fFields->FieldAt(i);
		out = write_uint32(out, source->type);
		out = write_uint32(out, source->nameLength);
		out = write_bytes(out, source->name, source->nameLength);
		out = write_uint32(out, source->count);
		for (int32 v = 0; v < source->count; v++) {
			uint32 valueSize;
			const char* value = source->ValueAt(v, &valueSize);
			out = write_uint32(out, valueSize);
			out = write_bytes(out, value, valueSize);
		}
	}
	return B_OK;
}


status_t
BMessage::Flatten(BDataIO* stream, ssize_t* size) const
{
	if (stream == NULL)
		return B_BAD_VALUE;
	ssize_t flatSize = FlattenedSize();
	char* block = (char*)malloc(flatSize);
	if (block == NULL)
		return B_NO_MEMORY;
	status_t status = Flatten(block, flatSize);
	if (status == B_OK)
		status = stream->WriteExactly(block, flatSize);
	free(block);
	if (status == B_OK && size != NULL)
		*size = flatSize;
	return status;
}


//	#pragma mark - reading


status_t
BMessage::Unflatten(const char* flatBuffer)
{
	if (flatBuffer == NULL) {
		field_list::Clear(*this);
		return B_BAD_VALUE;
	}
	const uint8* header = (const uint8*)flatBuffer;
	if (memcmp(header, kFlatMagic, sizeof(kFlatMagic)) != 0) {
		field_list::Clear(*this);
		return B_BAD_DATA;
	}
	// Parse() refuses a size past the limit before it reads a byte more.
	return Unflatten(flatBuffer, (ssize_t)read_uint32(header + 4));
}


status_t
BMessage::Unflatten(const char* flatBuffer, ssize_t size)
{
	if (flatBuffer == NULL || size < 0) {
		field_list::Clear(*this);
		return B_BAD_VALUE;
	}
	BMessage read;
	status_t status = field_list::Parse(read, (const uint8*)flatBuffer, size,
		0);
	if (status != B_OK) {
		field_list::Clear(*this);
		return status;
	}
	field_list::SwapContents(*this, read);
	return B_OK;
}


status_t
BMessage::Unflatten(BDataIO* stream)
{
	if (stream == NULL) {
		field_list::Clear(*this);
		return B_BAD_VALUE;
	}

	// The size is checked before anything is allocated for the rest.
	uint8 header[kHeaderPeek];
	size_t totalSize = 0;
	status_t status = read_fully(stream, header, sizeof(header));
	if (status == B_OK) {
		totalSize = read_uint32(header + 4);
		if (memcmp(header, kFlatMagic, sizeof(kFlatMagic)) != 0
			|| totalSize < kFlatHeaderSize
			|| totalSize > B_MAX_FLATTENED_MESSAGE_SIZE)
			status = B_BAD_DATA;
	}

	uint8* block = NULL;
	if (status == B_OK)
		status = read_flat_message(stream, header, totalSize, &block);
	if (status != B_OK) {
		field_list::Clear(*this);
		return status;
	}
	status = Unflatten((const char*)block, (ssize_t)totalSize);
	free(block);
	return status;
}


status_t
BMessage::field_list::Parse(BMessage& target, const uint8* data, size_t size,
	int32 depth)
{
	if (depth > kMaxNestingDepth || size < kFlatHeaderSize
		|| size > B_MAX_FLATTENED_MESSAGE_SIZE
		|| memcmp(data, kFlatMagic, sizeof(kFlatMagic)) != 0
		|| read_uint32(data + 4) != size)
		return B_BAD_DATA;

	uint32 flags = read_uint32(data + 12);
	uint32 fieldCount = read_uint32(data + 24);
	if ((flags & ~kFlatFlagDropped) != 0
		|| fieldCount > (size - kFlatHeaderSize) / kMinFlatFieldSize)
		return B_BAD_DATA;

	target.what = read_uint32(data + 8);
	target.fWasDropped = (flags & kFlatFlagDropped) != 0;
	memcpy(&target.fDropPoint.x, data + 16, sizeof(float));
	memcpy(&target.fDropPoint.y, data + 20, sizeof(float));

	FlatReader reader(data + kFlatHeaderSize, size - kFlatHeaderSize);
	if (fieldCount > 0) {
		field_list* fields = MakeFieldsOf(target);
		if (fields == NULL)
			return B_NO_MEMORY;
		for (uint32 i = 0; i < fieldCount; i++) {
			status_t status = _ParseField(*fields, reader, depth);
			if (status != B_OK)
				return status;
		}
	}
	return reader.Remaining() == 0 ? B_OK : B_BAD_DATA;
}


status_t
BMessage::field_list::_ParseField(field_list& fields, FlatReader& reader,
	int32 depth)
{
	uint32 type;
	uint32 nameLength;
	if (!reader.ReadUInt32(&type) || !reader.ReadUInt32(&nameLength)
		|| type == B_ANY_TYPE || nameLength == 0
		|| nameLength > B_FIELD_NAME_LENGTH)
		return B_BAD_DATA;
	const char* name = (const char*)reader.Read(nameLength);
	if (name == NULL || memchr(name, '\0', nameLength) != NULL
		|| fields.IndexOf(name, nameLength) >= 0)
		return B_BAD_DATA;

	uint32 count;
	if (!reader.ReadUInt32(&count) || count == 0
		|| count > reader.Remaining() / kFlatValueOverhead)
		return B_BAD_DATA;

	// A first pass checks every value and sums their sizes, so that the
	// field is allocated once and at its size.
	FlatReader values = reader;
	size_t dataSize = 0;
	for (uint32 i = 0; i < count; i++) {
		uint32 valueSize;
		const uint8* value;
		if (!reader.ReadUInt32(&valueSize)
			|| (value = reader.Read(valueSize)) == NULL)
			return B_BAD_DATA;
		status_t status = ValidateValue(type, value, valueSize, depth);
		if (status != B_OK)
			return status;
		dataSize += valueSize;
	}

	uint32 fixedSize = message_fixed_size(type);
	int32 index;
	status_t status = fields.AddField(name, nameLength, type, fixedSize != 0,
		fixedSize, &index);
	if (status == B_OK)
		status = fields.Reserve(index, count, dataSize);
	for (uint32 i = 0; status == B_OK && i < count; i++) {
		uint32 valueSize = 0;
		values.ReadUInt32(&valueSize);
		status = fields.AddValue(index, values.Read(valueSize), valueSize);
	}
	return status;
}


status_t
BMessage::field_list::ValidateValue(type_code type, const void* data,
	size_t size, int32 depth)
{
	const uint8* bytes = (const uint8*)data;
	uint32 fixedSize = message_fixed_size(type);
	if (fixedSize != 0 && size != fixedSize)
		return B_BAD_DATA;

	switch (type) {
		case B_ANY_TYPE:
			return B_BAD_DATA;
		case B_BOOL_TYPE:
			return bytes[0] <= 1 ? B_OK : B_BAD_DATA;
		case B_MESSENGER_TYPE:
		{
			uint32 flags = read_uint32(bytes + offsetof(flat_messenger, flags));
			return (flags & ~kMessengerPreferred) == 0 ? B_OK : B_BAD_DATA;
		}
		case B_STRING_TYPE:
			// Exactly one NUL, at the end.
			if (size == 0 || bytes[size - 1] != '\0'
				|| memchr(bytes, '\0', size - 1) != NULL)
				return B_BAD_DATA;
			return B_OK;
		case B_REF_TYPE:
			if (size == 0 || size >= B_PATH_NAME_LENGTH || bytes[0] != '/'
				|| memchr(bytes, '\0', size) != NULL)
				return B_BAD_DATA;
			return B_OK;
		case B_MESSAGE_TYPE:
		{
			BMessage nested;
			return Parse(nested, bytes, size, depth + 1);
		}
		default:
			return B_OK;
	}
}
