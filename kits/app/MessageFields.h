/*
 * Private to the BMessage sources: how a message keeps its fields, the
 * table of value types the message knows, and the constants of the flat
 * form that Message.h describes.
 *
 * A message's fields live in one field_list, owned by the message and
 * created with its first field. Each field owns its name and its values,
 * which are kept back to back in one block, in the byte order of the flat
 * form, so that flattening copies them and FindData() can hand out a
 * pointer into the message. A field_list is used by one thread at a time,
 * like the message that owns it.
 */
#ifndef _KITS_MESSAGE_FIELDS_H
#define _KITS_MESSAGE_FIELDS_H

#include <Message.h>

#include <bit>


// Values are stored as the flat form has them, little-endian; on such a
// host the typed accessors can copy them straight in and out.
static_assert(std::endian::native == std::endian::little,
	"BMessage keeps its values in little-endian order");


namespace BPrivate {

class FlatReader;

// The flat form.
static const char kFlatMagic[4] = { 'O', 'V', 'M', '1' };
static const size_t kFlatHeaderSize = 28;
// Type code, name length and value count.
static const size_t kFlatFieldOverhead = 12;
// The size word in front of each value.
static const size_t kFlatValueOverhead = 4;
// A field with a one-byte name and one empty value.
static const size_t kMinFlatFieldSize
	= kFlatFieldOverhead + 1 + kFlatValueOverhead;
static const uint32 kFlatFlagDropped = 0x1;
// A message may hold messages nested at most this many levels below it.
static const int32 kMaxNestingDepth = 64;


// A type the message knows: the size every value of it has (0 when its
// values vary in size) and the name PrintToStream() shows.
struct message_type_info {
	type_code			type;
	uint32				fixedSize;
	const char*			printName;
};

inline constexpr message_type_info kMessageTypes[] = {
	{ B_INT8_TYPE,		1,	"int8" },
	{ B_UINT8_TYPE,		1,	"uint8" },
	{ B_INT16_TYPE,		2,	"int16" },
	{ B_UINT16_TYPE,	2,	"uint16" },
	{ B_INT32_TYPE,		4,	"int32" },
	{ B_UINT32_TYPE,	4,	"uint32" },
	{ B_INT64_TYPE,		8,	"int64" },
	{ B_UINT64_TYPE,	8,	"uint64" },
	{ B_BOOL_TYPE,		1,	"bool" },
	{ B_FLOAT_TYPE,		4,	"float" },
	{ B_DOUBLE_TYPE,	8,	"double" },
	{ B_POINT_TYPE,		8,	"BPoint" },
	{ B_RECT_TYPE,		16,	"BRect" },
	{ B_POINTER_TYPE,	8,	"pointer" },
	{ B_MESSENGER_TYPE,	16,	"BMessenger" },
	{ B_STRING_TYPE,	0,	"string" },
	{ B_REF_TYPE,		0,	"entry_ref" },
	{ B_MESSAGE_TYPE,	0,	"BMessage" },
};

// The entry for a type, or NULL for a type the message treats as raw
// bytes of any size.
constexpr const message_type_info*
message_type_info_for(type_code type)
{
	for (const message_type_info& info : kMessageTypes) {
		if (info.type == type)
			return &info;
	}
	return nullptr;
}

// The size of every value of a type, 0 when its values vary in size.
constexpr uint32
message_fixed_size(type_code type)
{
	for (const message_type_info& info : kMessageTypes) {
		if (info.type == type)
			return info.fixedSize;
	}
	return 0;
}


// A messenger value: four little-endian 32-bit words.
struct flat_messenger {
	int32				team;
	int32				looperToken;
	int32				handlerToken;
	uint32				flags;
};
static_assert(sizeof(flat_messenger) == 16);
static const uint32 kMessengerPreferred = 0x1;


// Checks a field name: B_BAD_VALUE for NULL, empty, or longer than
// B_FIELD_NAME_LENGTH. Gives its length.
status_t check_field_name(const char* name, size_t* _length);

}	// namespace BPrivate


struct BMessage::field {
			type_code			type;
	// Every value of a fixed-size field has itemSize bytes; the values of
	// other fields end where ends[] says.
			bool				fixedSize;
			uint8				nameLength;
			int32				count;
			uint32				itemSize;
	// End offset in data of each value; NULL for fixed-size fields.
			uint32*				ends;
			int32				endsCapacity;
	// NUL-terminated, nameLength bytes before the NUL.
			char*				name;
			char*				data;
			uint32				dataSize;
			uint32				dataCapacity;

	// index must be valid.
			const char*			ValueAt(int32 index, uint32* _size) const;
	// Where the value starts in data.
			size_t				OffsetOf(int32 index) const;
};


struct BMessage::field_list {
public:
								field_list();
								~field_list();

	// A deep copy; NULL when memory runs out.
	static	field_list*			Clone(const field_list& other);

			int32				CountFields() const
									{ return fCount; }
			field*				FieldAt(int32 index)
									{ return &fFields[index]; }
			const field*		FieldAt(int32 index) const
									{ return &fFields[index]; }
	// The index of the field with this name, -1 when there is none.
			int32				IndexOf(const char* name,
									size_t nameLength) const;

	// The size of the flat form of a message holding these fields.
			size_t				FlatSize() const
									{ return fFlatSize; }

	// Adds an empty field; the caller adds its first value at once.
	// B_NO_MEMORY when memory runs out or the message would pass the flat
	// size limit. The name must be valid and not in use.
			status_t			AddField(const char* name, size_t nameLength,
									type_code type, bool fixedSize,
									uint32 itemSize, int32* _index);
	// Makes room for count more values holding dataSize more bytes, so
	// that adding them allocates nothing.
			status_t			Reserve(int32 fieldIndex, int32 count,
									size_t dataSize);
	// The value's size must suit the field (fixed-size fields).
			status_t			AddValue(int32 fieldIndex, const void* data,
									uint32 size);
			status_t			ReplaceValue(int32 fieldIndex,
									int32 valueIndex, const void* data,
									uint32 size);
	// Removes the field with its last value.
			void				RemoveValue(int32 fieldIndex,
									int32 valueIndex);
			void				RemoveField(int32 fieldIndex);
	// The new name must be valid and not in use.
			status_t			Rename(int32 fieldIndex, const char* name,
									size_t nameLength);

	// Finds a message's field by name and type; B_ANY_TYPE matches every
	// type. B_BAD_VALUE for a bad name, B_NAME_NOT_FOUND, B_BAD_TYPE.
	static	status_t			FindField(const BMessage& message,
									const char* name, type_code type,
									int32* _index);

	// What the other BMessage sources need from a message's private
	// parts; field_list, being part of BMessage, may reach them.
	static	field_list*			FieldsOf(const BMessage& message)
									{ return message.fFields; }
	// The fields of a message, created if it has none yet; NULL when
	// memory runs out.
	static	field_list*			MakeFieldsOf(BMessage& message);
	// Exchanges what, the fields and the drop state; the delivery
	// information stays with each message.
	static	void				SwapContents(BMessage& a, BMessage& b);
	// Drops every field, the what code and the drop state.
	static	void				Clear(BMessage& message);

	// Checks one value against the rules of its type (sizes, string
	// NULs, bools, messenger flags, ref paths, nested messages). depth is
	// the nesting level of the message that holds the value. Returns
	// B_BAD_DATA for a value that breaks them. Defined in
	// MessageFlattening.cpp.
	static	status_t			ValidateValue(type_code type,
									const void* data, size_t size,
									int32 depth);
	// Unflattens one flat message that fills exactly size bytes into an
	// empty target. depth is the nesting level of the message in the
	// outermost one being read. Defined in MessageFlattening.cpp.
	static	status_t			Parse(BMessage& target, const uint8* data,
									size_t size, int32 depth);
	// Defined in MessagePrinting.cpp.
	static	void				Print(const BMessage& message, int32 depth);
	// Compares nested messages value by value; defined in Message.cpp.
	static	bool				SameData(const BMessage& a,
									const BMessage& b, bool ignoreFieldOrder,
									bool deep);

private:
	// Reads one field of a flat message into fields; defined in
	// MessageFlattening.cpp.
	static	status_t			_ParseField(field_list& fields,
									BPrivate::FlatReader& reader,
									int32 depth);

			status_t			_GrowHash(int32 fieldCount);
			void				_RebuildHash();
			void				_InsertHash(int32 fieldIndex);
	static	void				_FreeField(field& victim);
	// Checks that the flat form can grow by delta bytes.
			bool				_FitsFlatSize(size_t delta) const;

			field*				fFields;
			int32				fCount;
			int32				fCapacity;
	// Open addressing by name: each slot holds a field index plus one, or
	// 0 when it is free. Its size is a power of two, at least twice the
	// number of fields, so that a message with very many fields (a
	// hostile flat message can hold millions) is still read in linear
	// time.
			int32*				fHash;
			uint32				fHashSize;
			size_t				fFlatSize;
};


#endif	// _KITS_MESSAGE_FIELDS_H
