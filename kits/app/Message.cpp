/*
 * BMessage: construction, the fields and their typed accessors, and
 * comparison. The flat form is in MessageFlattening.cpp, PrintToStream()
 * in MessagePrinting.cpp, delivery and replies in MessageDelivery.cpp.
 *
 * Every typed accessor is a thin wrapper around AddData(), FindData(),
 * ReplaceData() or HasData(), which check each value against the type
 * table in MessageFields.h; so no accessor can put a value into a message
 * that its flat form would refuse.
 */
#include <Message.h>

#include <stdlib.h>
#include <string.h>

#include <Messenger.h>

#include "EntryRefPrivate.h"
#include "MessageFields.h"
#include "MessengerPrivate.h"

using namespace BPrivate;


namespace {

// Copies out a value of a fixed-size type; the out-parameter is left
// alone on failure.
template<typename Type>
status_t
find_fixed(const BMessage* message, const char* name, type_code type,
	int32 index, Type* _value)
{
	if (_value == NULL)
		return B_BAD_VALUE;
	const void* data;
	ssize_t size;
	status_t status = message->FindData(name, type, index, &data, &size);
	if (status != B_OK)
		return status;
	// The type table guarantees the size of every value of the type.
	memcpy(_value, data, sizeof(Type));
	return B_OK;
}


// A message in its flat form, in a block the caller frees.
status_t
flatten_to_block(const BMessage* message, char** _block, ssize_t* _size)
{
	if (message == NULL)
		return B_BAD_VALUE;
	ssize_t size = message->FlattenedSize();
	char* block = (char*)malloc(size);
	if (block == NULL)
		return B_NO_MEMORY;
	status_t status = message->Flatten(block, size);
	if (status != B_OK) {
		free(block);
		return status;
	}
	*_block = block;
	*_size = size;
	return B_OK;
}


void
encode_messenger(const BMessenger& messenger, flat_messenger* _flat)
{
	BMessenger::Private access(messenger);
	_flat->team = access.Team();
	_flat->looperToken = access.LooperToken();
	_flat->handlerToken = access.HandlerToken();
	_flat->flags = access.IsPreferredTarget() ? kMessengerPreferred : 0;
}


// Makes a ref from a ref value: a path without its NUL, which the type
// table keeps shorter than B_PATH_NAME_LENGTH.
status_t
ref_from_value(const void* data, ssize_t size, entry_ref* _ref)
{
	char path[B_PATH_NAME_LENGTH];
	if (size <= 0 || size >= B_PATH_NAME_LENGTH)
		return B_BAD_DATA;
	memcpy(path, data, size);
	path[size] = '\0';
	entry_ref ref;
	status_t status = entry_ref_from_path(path, &ref);
	if (status != B_OK)
		return status;
	*_ref = ref;
	return B_OK;
}

}	// namespace


status_t
BPrivate::check_field_name(const char* name, size_t* _length)
{
	if (name == NULL)
		return B_BAD_VALUE;
	size_t length = strnlen(name, B_FIELD_NAME_LENGTH + 1);
	if (length == 0 || length > B_FIELD_NAME_LENGTH)
		return B_BAD_VALUE;
	*_length = length;
	return B_OK;
}


status_t
BMessage::field_list::FindField(const BMessage& message, const char* name,
	type_code type, int32* _index)
{
	size_t nameLength;
	status_t status = check_field_name(name, &nameLength);
	if (status != B_OK)
		return status;
	const field_list* fields = message.fFields;
	int32 index = fields != NULL ? fields->IndexOf(name, nameLength) : -1;
	if (index < 0)
		return B_NAME_NOT_FOUND;
	if (type != B_ANY_TYPE && fields->FieldAt(index)->type != type)
		return B_BAD_TYPE;
	*_index = index;
	return B_OK;
}


//	#pragma mark - construction


BMessage::BMessage()
	:
	what(0),
	fFields(NULL),
	fDelivery(NULL),
	fWasDropped(false)
{
}


BMessage::BMessage(uint32 command)
	:
	what(command),
	fFields(NULL),
	fDelivery(NULL),
	fWasDropped(false)
{
}


BMessage::BMessage(const BMessage& other)
	:
	what(other.what),
	fFields(NULL),
	fDelivery(NULL),
	fWasDropped(other.fWasDropped),
	fDropPoint(other.fDropPoint),
	fDropOffset(other.fDropOffset)
{
	// A constructor cannot report failure: without memory for the fields
	// the copy starts empty.
	if (other.fFields != NULL)
		fFields = field_list::Clone(*other.fFields);
}


BMessage::~BMessage()
{
	_ReleaseDelivery();
	delete fFields;
}


BMessage&
BMessage::operator=(const BMessage& other)
{
	if (this == &other)
		return *this;

	field_list* fields = other.fFields != NULL
		? field_list::Clone(*other.fFields) : NULL;
	delete fFields;
	fFields = fields;
	what = other.what;
	fWasDropped = other.fWasDropped;
	fDropPoint = other.fDropPoint;
	fDropOffset = other.fDropOffset;
	return *this;
}


//	#pragma mark - statistics


status_t
BMessage::GetInfo(type_code typeRequested, int32 index, char** nameFound,
	type_code* typeFound, int32* countFound) const
{
	if (nameFound == NULL || typeFound == NULL)
		return B_BAD_VALUE;

	int32 matching = 0;
	int32 fieldCount = fFields != NULL ? fFields->CountFields() : 0;
	for (int32 i = 0; i < fieldCount; i++) {
		const field* candidate = fFields->FieldAt(i);
		if (typeRequested != B_ANY_TYPE && candidate->type != typeRequested)
			continue;
		if (matching++ == index) {
			*nameFound = candidate->name;
			*typeFound = candidate->type;
			if (countFound != NULL)
				*countFound = candidate->count;
			return B_OK;
		}
	}
	return matching == 0 ? B_BAD_TYPE : B_BAD_INDEX;
}


status_t
BMessage::GetInfo(const char* name, type_code* typeFound,
	int32* countFound) const
{
	if (typeFound == NULL)
		return B_BAD_VALUE;
	int32 index;
	status_t status = field_list::FindField(*this, name, B_ANY_TYPE, &index);
	if (status != B_OK)
		return status;
	const field* found = fFields->FieldAt(index);
	*typeFound = found->type;
	if (countFound != NULL)
		*countFound = found->count;
	return B_OK;
}


status_t
BMessage::GetInfo(const char* name, type_code* typeFound,
	bool* fixedSize) const
{
	if (typeFound == NULL || fixedSize == NULL)
		return B_BAD_VALUE;
	int32 index;
	status_t status = field_list::FindField(*this, name, B_ANY_TYPE, &index);
	if (status != B_OK)
		return status;
	const field* found = fFields->FieldAt(index);
	*typeFound = found->type;
	*fixedSize = found->fixedSize;
	return B_OK;
}


int32
BMessage::CountNames(type_code type) const
{
	int32 fieldCount = fFields != NULL ? fFields->CountFields() : 0;
	if (type == B_ANY_TYPE)
		return fieldCount;
	int32 count = 0;
	for (int32 i = 0; i < fieldCount; i++) {
		if (fFields->FieldAt(i)->type == type)
			count++;
	}
	return count;
}


bool
BMessage::IsEmpty() const
{
	return fFields == NULL || fFields->CountFields() == 0;
}


bool
BMessage::IsSystem() const
{
	return (what >> 24) == '_';
}


status_t
BMessage::Rename(const char* oldEntry, const char* newEntry)
{
	size_t newLength;
	status_t status = check_field_name(newEntry, &newLength);
	if (status != B_OK)
		return status;
	int32 index;
	status = field_list::FindField(*this, oldEntry, B_ANY_TYPE, &index);
	if (status != B_OK)
		return status;

	int32 existing = fFields->IndexOf(newEntry, newLength);
	if (existing == index)
		return B_OK;
	if (existing >= 0)
		return B_NAME_IN_USE;
	return fFields->Rename(index, newEntry, newLength);
}


bool
BMessage::WasDropped() const
{
	return fWasDropped;
}


BPoint
BMessage::DropPoint(BPoint* offset) const
{
	if (offset != NULL)
		*offset = fDropOffset;
	return fDropPoint;
}


//	#pragma mark - the generic accessors


status_t
BMessage::AddData(const char* name, type_code type, const void* data,
	ssize_t numBytes, bool isFixedSize, int32 count)
{
	size_t nameLength;
	status_t status = check_field_name(name, &nameLength);
	if (status != B_OK)
		return status;
	if (data == NULL || numBytes < 0)
		return B_BAD_VALUE;
	if (type == B_ANY_TYPE)
		return B_BAD_TYPE;
	if (numBytes > B_MAX_FLATTENED_MESSAGE_SIZE)
		return B_NO_MEMORY;

	int32 index = fFields != NULL ? fFields->IndexOf(name, nameLength) : -1;
	if (index >= 0 && fFields->FieldAt(index)->type != type)
		return B_BAD_TYPE;

	status = field_list::ValidateValue(type, data, numBytes, 0);
	if (status != B_OK)
		return status == B_BAD_DATA ? B_BAD_VALUE : status;

	if (index >= 0)
		return fFields->AddValue(index, data, numBytes);

	field_list* fields = field_list::MakeFieldsOf(*this);
	if (fields == NULL)
		return B_NO_MEMORY;
	// The table decides for the types it knows; isFixedSize only for
	// the others.
	const message_type_info* info = message_type_info_for(type);
	bool fixedSize = info != NULL ? info->fixedSize != 0 : isFixedSize;
	status = fields->AddField(name, nameLength, type, fixedSize, numBytes,
		&index);
	if (status != B_OK)
		return status;

	// The count is a hint of how many values will follow; a hint that
	// cannot be met is no error.
	const int32 kMaxReservedValues = 1024;
	if (count > 1) {
		int32 reserved = count < kMaxReservedValues ? count
			: kMaxReservedValues;
		if ((size_t)reserved * numBytes <= B_MAX_FLATTENED_MESSAGE_SIZE)
			fields->Reserve(index, reserved, (size_t)reserved * numBytes);
	}

	status = fields->AddValue(index, data, numBytes);
	if (status != B_OK)
		fields->RemoveField(index);
	return status;
}


status_t
BMessage::FindData(const char* name, type_code type, const void** data,
	ssize_t* numBytes) const
{
	return FindData(name, type, 0, data, numBytes);
}


status_t
BMessage::FindData(const char* name, type_code type, int32 index,
	const void** data, ssize_t* numBytes) const
{
	if (data == NULL || numBytes == NULL)
		return B_BAD_VALUE;
	int32 fieldIndex;
	status_t status = field_list::FindField(*this, name, type, &fieldIndex);
	if (status != B_OK)
		return status;
	const field* found = fFields->FieldAt(fieldIndex);
	if (index < 0 || index >= found->count)
		return B_BAD_INDEX;

	uint32 size;
	*data = found->ValueAt(index, &size);
	*numBytes = size;
	return B_OK;
}


status_t
BMessage::ReplaceData(const char* name, type_code type, const void* data,
	ssize_t numBytes)
{
	return ReplaceData(name, type, 0, data, numBytes);
}


status_t
BMessage::ReplaceData(const char* name, type_code type, int32 index,
	const void* data, ssize_t numBytes)
{
	if (data == NULL || numBytes < 0)
		return B_BAD_VALUE;
	if (type == B_ANY_TYPE)
		return B_BAD_TYPE;
	int32 fieldIndex;
	status_t status = field_list::FindField(*this, name, type, &fieldIndex);
	if (status != B_OK)
		return status;
	if (index < 0 || index >= fFields->FieldAt(fieldIndex)->count)
		return B_BAD_INDEX;
	if (numBytes > B_MAX_FLATTENED_MESSAGE_SIZE)
		return B_NO_MEMORY;

	status = field_list::ValidateValue(type, data, numBytes, 0);
	if (status != B_OK)
		return status == B_BAD_DATA ? B_BAD_VALUE : status;
	return fFields->ReplaceValue(fieldIndex, index, data, numBytes);
}


bool
BMessage::HasData(const char* name, type_code type, int32 index) const
{
	int32 fieldIndex;
	if (field_list::FindField(*this, name, type, &fieldIndex) != B_OK)
		return false;
	return index >= 0 && index < fFields->FieldAt(fieldIndex)->count;
}


status_t
BMessage::RemoveData(const char* name, int32 index)
{
	int32 fieldIndex;
	status_t status = field_list::FindField(*this, name, B_ANY_TYPE,
		&fieldIndex);
	if (status != B_OK)
		return status;
	if (index < 0 || index >= fFields->FieldAt(fieldIndex)->count)
		return B_BAD_INDEX;
	fFields->RemoveValue(fieldIndex, index);
	return B_OK;
}


status_t
BMessage::RemoveName(const char* name)
{
	int32 fieldIndex;
	status_t status = field_list::FindField(*this, name, B_ANY_TYPE,
		&fieldIndex);
	if (status != B_OK)
		return status;
	fFields->RemoveField(fieldIndex);
	return B_OK;
}


status_t
BMessage::MakeEmpty()
{
	delete fFields;
	fFields = NULL;
	return B_OK;
}


//	#pragma mark - the typed accessors


// The types whose values are copied in and out as they are. The sizes of
// the C++ types must be those of the type table, which the flat form
// relies on.
#define DEFINE_FIXED_ACCESSORS(NAME, TYPE, CODE)							\
	static_assert(sizeof(TYPE) == message_fixed_size(CODE));			\
																		\
	status_t															\
	BMessage::Add##NAME(const char* name, TYPE value)					\
	{																	\
		return AddData(name, CODE, &value, sizeof(TYPE), true);			\
	}																	\
																		\
	status_t															\
	BMessage::Find##NAME(const char* name, int32 index,					\
		TYPE* _value) const												\
	{																	\
		return find_fixed(this, name, CODE, index, _value);				\
	}																	\
																		\
	status_t															\
	BMessage::Replace##NAME(const char* name, int32 index, TYPE value)	\
	{																	\
		return ReplaceData(name, CODE, index, &value, sizeof(TYPE));		\
	}

DEFINE_FIXED_ACCESSORS(Int8, int8, B_INT8_TYPE)
DEFINE_FIXED_ACCESSORS(UInt8, uint8, B_UINT8_TYPE)
DEFINE_FIXED_ACCESSORS(Int16, int16, B_INT16_TYPE)
DEFINE_FIXED_ACCESSORS(UInt16, uint16, B_UINT16_TYPE)
DEFINE_FIXED_ACCESSORS(Int32, int32, B_INT32_TYPE)
DEFINE_FIXED_ACCESSORS(UInt32, uint32, B_UINT32_TYPE)
DEFINE_FIXED_ACCESSORS(Int64, int64, B_INT64_TYPE)
DEFINE_FIXED_ACCESSORS(UInt64, uint64, B_UINT64_TYPE)
DEFINE_FIXED_ACCESSORS(Bool, bool, B_BOOL_TYPE)
DEFINE_FIXED_ACCESSORS(Float, float, B_FLOAT_TYPE)
DEFINE_FIXED_ACCESSORS(Double, double, B_DOUBLE_TYPE)
DEFINE_FIXED_ACCESSORS(Point, BPoint, B_POINT_TYPE)
DEFINE_FIXED_ACCESSORS(Rect, BRect, B_RECT_TYPE)

#undef DEFINE_FIXED_ACCESSORS


// For every type: the forms without an index work on the first value,
// and Has*() asks HasData() with the type's code.
#define DEFINE_FIRST_VALUE_FORMS(NAME, OUT_TYPE, IN_TYPE, CODE)			\
	status_t															\
	BMessage::Find##NAME(const char* name, OUT_TYPE* _value) const		\
	{																	\
		return Find##NAME(name, 0, _value);								\
	}																	\
																		\
	status_t															\
	BMessage::Replace##NAME(const char* name, IN_TYPE value)				\
	{																	\
		return Replace##NAME(name, 0, value);							\
	}																	\
																		\
	bool																\
	BMessage::Has##NAME(const char* name, int32 index) const			\
	{																	\
		return HasData(name, CODE, index);								\
	}

DEFINE_FIRST_VALUE_FORMS(Int8, int8, int8, B_INT8_TYPE)
DEFINE_FIRST_VALUE_FORMS(UInt8, uint8, uint8, B_UINT8_TYPE)
DEFINE_FIRST_VALUE_FORMS(Int16, int16, int16, B_INT16_TYPE)
DEFINE_FIRST_VALUE_FORMS(UInt16, uint16, uint16, B_UINT16_TYPE)
DEFINE_FIRST_VALUE_FORMS(Int32, int32, int32, B_INT32_TYPE)
DEFINE_FIRST_VALUE_FORMS(UInt32, uint32, uint32, B_UINT32_TYPE)
DEFINE_FIRST_VALUE_FORMS(Int64, int64, int64, B_INT64_TYPE)
DEFINE_FIRST_VALUE_FORMS(UInt64, uint64, uint64, B_UINT64_TYPE)
DEFINE_FIRST_VALUE_FORMS(Bool, bool, bool, B_BOOL_TYPE)
DEFINE_FIRST_VALUE_FORMS(Float, float, float, B_FLOAT_TYPE)
DEFINE_FIRST_VALUE_FORMS(Double, double, double, B_DOUBLE_TYPE)
DEFINE_FIRST_VALUE_FORMS(Point, BPoint, BPoint, B_POINT_TYPE)
DEFINE_FIRST_VALUE_FORMS(Rect, BRect, BRect, B_RECT_TYPE)
DEFINE_FIRST_VALUE_FORMS(String, const char*, const char*, B_STRING_TYPE)
DEFINE_FIRST_VALUE_FORMS(Pointer, void*, const void*, B_POINTER_TYPE)
DEFINE_FIRST_VALUE_FORMS(Messenger, BMessenger, BMessenger, B_MESSENGER_TYPE)
DEFINE_FIRST_VALUE_FORMS(Ref, entry_ref, const entry_ref*, B_REF_TYPE)
DEFINE_FIRST_VALUE_FORMS(Message, BMessage, const BMessage*, B_MESSAGE_TYPE)

#undef DEFINE_FIRST_VALUE_FORMS


// Strings are kept with their NUL, which FindString() hands out in place.

status_t
BMessage::AddString(const char* name, const char* string)
{
	if (string == NULL)
		return B_BAD_VALUE;
	return AddData(name, B_STRING_TYPE, string, strlen(string) + 1, false);
}


status_t
BMessage::FindString(const char* name, int32 index,
	const char** string) const
{
	if (string == NULL)
		return B_BAD_VALUE;
	const void* data;
	ssize_t size;
	status_t status = FindData(name, B_STRING_TYPE, index, &data, &size);
	if (status == B_OK)
		*string = (const char*)data;
	return status;
}


status_t
BMessage::ReplaceString(const char* name, int32 index, const char* string)
{
	if (string == NULL)
		return B_BAD_VALUE;
	return ReplaceData(name, B_STRING_TYPE, index, string,
		strlen(string) + 1);
}


// Pointers travel as 64-bit numbers.

status_t
BMessage::AddPointer(const char* name, const void* pointer)
{
	uint64 value = (uintptr_t)pointer;
	return AddData(name, B_POINTER_TYPE, &value, sizeof(value), true);
}


status_t
BMessage::FindPointer(const char* name, int32 index, void** pointer) const
{
	if (pointer == NULL)
		return B_BAD_VALUE;
	uint64 value;
	status_t status = find_fixed(this, name, B_POINTER_TYPE, index, &value);
	if (status == B_OK)
		*pointer = (void*)(uintptr_t)value;
	return status;
}


status_t
BMessage::ReplacePointer(const char* name, int32 index, const void* pointer)
{
	uint64 value = (uintptr_t)pointer;
	return ReplaceData(name, B_POINTER_TYPE, index, &value, sizeof(value));
}


// Messengers travel as their tokens (flat_messenger).

status_t
BMessage::AddMessenger(const char* name, BMessenger messenger)
{
	flat_messenger flat;
	encode_messenger(messenger, &flat);
	return AddData(name, B_MESSENGER_TYPE, &flat, sizeof(flat), true);
}


status_t
BMessage::FindMessenger(const char* name, int32 index,
	BMessenger* messenger) const
{
	if (messenger == NULL)
		return B_BAD_VALUE;
	flat_messenger flat;
	status_t status = find_fixed(this, name, B_MESSENGER_TYPE, index, &flat);
	if (status != B_OK)
		return status;
	BMessenger::Private(*messenger).SetTo(flat.team, flat.looperToken,
		flat.handlerToken, (flat.flags & kMessengerPreferred) != 0);
	return B_OK;
}


status_t
BMessage::ReplaceMessenger(const char* name, int32 index,
	BMessenger messenger)
{
	flat_messenger flat;
	encode_messenger(messenger, &flat);
	return ReplaceData(name, B_MESSENGER_TYPE, index, &flat, sizeof(flat));
}


// Refs travel as absolute paths, so that they survive a trip to another
// process; finding one makes the ref anew, which fails once its
// directory has gone.

status_t
BMessage::AddRef(const char* name, const entry_ref* ref)
{
	if (ref == NULL)
		return B_BAD_VALUE;
	char path[B_PATH_NAME_LENGTH];
	status_t status = entry_ref_to_path(*ref, path, sizeof(path));
	if (status != B_OK)
		return status;
	return AddData(name, B_REF_TYPE, path, strlen(path), false);
}


status_t
BMessage::FindRef(const char* name, int32 index, entry_ref* ref) const
{
	if (ref == NULL)
		return B_BAD_VALUE;
	const void* data;
	ssize_t size;
	status_t status = FindData(name, B_REF_TYPE, index, &data, &size);
	if (status != B_OK)
		return status;
	return ref_from_value(data, size, ref);
}


status_t
BMessage::ReplaceRef(const char* name, int32 index, const entry_ref* ref)
{
	if (ref == NULL)
		return B_BAD_VALUE;
	char path[B_PATH_NAME_LENGTH];
	status_t status = entry_ref_to_path(*ref, path, sizeof(path));
	if (status != B_OK)
		return status;
	return ReplaceData(name, B_REF_TYPE, index, path, strlen(path));
}


// Nested messages are kept flat and unflattened when they are found.

status_t
BMessage::AddMessage(const char* name, const BMessage* message)
{
	char* block;
	ssize_t size;
	status_t status = flatten_to_block(message, &block, &size);
	if (status != B_OK)
		return status;
	status = AddData(name, B_MESSAGE_TYPE, block, size, false);
	free(block);
	return status;
}


status_t
BMessage::FindMessage(const char* name, int32 index,
	BMessage* message) const
{
	if (message == NULL)
		return B_BAD_VALUE;
	const void* data;
	ssize_t size;
	status_t status = FindData(name, B_MESSAGE_TYPE, index, &data, &size);
	if (status != B_OK)
		return status;

	BMessage found;
	status = field_list::Parse(found, (const uint8*)data, size, 0);
	if (status != B_OK)
		return status;
	field_list::SwapContents(*message, found);
	return B_OK;
}


status_t
BMessage::ReplaceMessage(const char* name, int32 index,
	const BMessage* message)
{
	char* block;
	ssize_t size;
	status_t status = flatten_to_block(message, &block, &size);
	if (status != B_OK)
		return status;
	status = ReplaceData(name, B_MESSAGE_TYPE, index, block, size);
	free(block);
	return status;
}


//	#pragma mark - finding with a default


const char*
BMessage::GetString(const char* name, const char* defaultValue) const
{
	const char* value;
	return FindString(name, &value) == B_OK ? value : defaultValue;
}


int32
BMessage::GetInt32(const char* name, int32 defaultValue) const
{
	int32 value;
	return FindInt32(name, &value) == B_OK ? value : defaultValue;
}


bool
BMessage::GetBool(const char* name, bool defaultValue) const
{
	bool value;
	return FindBool(name, &value) == B_OK ? value : defaultValue;
}


float
BMessage::GetFloat(const char* name, float defaultValue) const
{
	float value;
	return FindFloat(name, &value) == B_OK ? value : defaultValue;
}


//	#pragma mark - comparison


bool
BMessage::HasSameData(const BMessage& other, bool ignoreFieldOrder,
	bool deep) const
{
	return field_list::SameData(*this, other, ignoreFieldOrder, deep);
}


// Compares the fields of two messages. A nested message found in both
// is, when deep, compared by its what, its drop state and its own fields
// under the same rules; otherwise by its flat bytes.
bool
BMessage::field_list::SameData(const BMessage& a, const BMessage& b,
	bool ignoreFieldOrder, bool deep)
{
	if (&a == &b)
		return true;
	int32 count = a.fFields != NULL ? a.fFields->CountFields() : 0;
	int32 otherCount = b.fFields != NULL ? b.fFields->CountFields() : 0;
	if (count != otherCount)
		return false;

	for (int32 i = 0; i < count; i++) {
		const field* mine = a.fFields->FieldAt(i);
		int32 j = ignoreFieldOrder
			? b.fFields->IndexOf(mine->name, mine->nameLength) : i;
		if (j < 0)
			return false;
		const field* theirs = b.fFields->FieldAt(j);
		if (theirs->nameLength != mine->nameLength
			|| memcmp(theirs->name, mine->name, mine->nameLength) != 0
			|| theirs->type != mine->type || theirs->count != mine->count)
			return false;

		for (int32 v = 0; v < mine->count; v++) {
			uint32 size;
			uint32 otherSize;
			const char* value = mine->ValueAt(v, &size);
			const char* otherValue = theirs->ValueAt(v, &otherSize);
			if (size == otherSize && memcmp(value, otherValue, size) == 0)
				continue;
			if (!deep || mine->type != B_MESSAGE_TYPE)
				return false;

			BMessage nested;
			BMessage otherNested;
			if (Parse(nested, (const uint8*)value, size, 0) != B_OK
				|| Parse(otherNested, (const uint8*)otherValue, otherSize, 0)
					!= B_OK)
				return false;
			// Points compare by their bits, so that a NaN equals itself.
			if (nested.what != otherNested.what
				|| nested.fWasDropped != otherNested.fWasDropped
				|| memcmp(&nested.fDropPoint, &otherNested.fDropPoint,
					sizeof(BPoint)) != 0
				|| !SameData(nested, otherNested, ignoreFieldOrder, true))
				return false;
		}
	}
	return true;
}
