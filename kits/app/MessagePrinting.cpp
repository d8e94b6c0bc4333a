/*
 * BMessage::PrintToStream(): a listing of a message for people, one line
 * for each value, nested messages indented below their field. Names and
 * strings may hold any bytes; whatever is not printable text (control
 * characters, bytes that are not well-formed UTF-8) is shown escaped, so
 * the listing never writes raw binary to the terminal. The listing
 * reaches standard output whole, whatever other threads print meanwhile.
 */
#include <Message.h>

#include <inttypes.h>
#include <stdio.h>
#include <string.h>

#include <type_traits>

#include "MessageFields.h"

using namespace BPrivate;


namespace {

const int kIndentWidth = 8;


void
print_indent(int32 depth)
{
	printf("%*s", (int)(depth * kIndentWidth), "");
}


bool
is_printable_code(uint32 code)
{
	for (int shift = 0; shift < 32; shift += 8) {
		uint8 byte = (uint8)(code >> shift);
		if (byte < 0x20 || byte >= 0x7f)
			return false;
	}
	return true;
}


void
print_code_characters(uint32 code)
{
	printf("'%c%c%c%c'", (char)(code >> 24), (char)(code >> 16),
		(char)(code >> 8), (char)code);
}


// The length of the well-formed UTF-8 sequence of two or more bytes that
// starts the text, or 0. Overlong forms, surrogates and the C1 control
// characters do not count.
size_t
utf8_sequence_length(const uint8* text, size_t length)
{
	uint8 lead = text[0];
	size_t size;
	if (lead >= 0xc2 && lead <= 0xdf)
		size = 2;
	else if (lead >= 0xe0 && lead <= 0xef)
		size = 3;
	else if (lead >= 0xf0 && lead <= 0xf4)
		size = 4;
	else
		return 0;
	if (size > length)
		return 0;

	uint32 codePoint = lead & (0x7f >> size);
	for (size_t i = 1; i < size; i++) {
		if ((text[i] & 0xc0) != 0x80)
			return 0;
		codePoint = codePoint << 6 | (text[i] & 0x3f);
	}
	if (codePoint < 0xa0 || (size == 3 && codePoint < 0x800)
		|| (size == 4 && (codePoint < 0x10000 || codePoint > 0x10ffff))
		|| (codePoint >= 0xd800 && codePoint <= 0xdfff))
		return 0;
	return size;
}


void
print_escaped(const char* text, size_t length)
{
	const uint8* bytes = (const uint8*)text;
	for (size_t i = 0; i < length; i++) {
		uint8 byte = bytes[i];
		switch (byte) {
			case '"':
			case '\\':
				printf("\\%c", byte);
				continue;
			case '\n':
				printf("\\n");
				continue;
			case '\r':
				printf("\\r");
				continue;
			case '\t':
				printf("\\t");
				continue;
		}
		if (byte >= 0x20 && byte < 0x7f) {
			putchar(byte);
			continue;
		}
		size_t sequence = byte >= 0x80
			? utf8_sequence_length(bytes + i, length - i) : 0;
		if (sequence > 0) {
			fwrite(bytes + i, 1, sequence, stdout);
			i += sequence - 1;
		} else
			printf("\\x%02x", byte);
	}
}


template<typename Type>
void
print_integer(const char* typeName, const void* data)
{
	Type value;
	memcpy(&value, data, sizeof(value));
	typedef std::make_unsigned_t<Type> Unsigned;
	if (std::is_signed_v<Type>) {
		printf("%s(%lld or 0x%llx)", typeName, (long long)value,
			(unsigned long long)(Unsigned)value);
	} else {
		printf("%s(%llu or 0x%llx)", typeName, (unsigned long long)value,
			(unsigned long long)value);
	}
}


template<typename Type>
Type
value_of(const void* data)
{
	Type value;
	memcpy(&value, data, sizeof(value));
	return value;
}


// One value without its line end. Values of the known types have been
// checked against the type table, so their sizes are right.
void
print_value(type_code type, const char* data, uint32 size)
{
	const message_type_info* info = message_type_info_for(type);
	const char* typeName = info != NULL ? info->printName : NULL;

	switch (type) {
		case B_INT8_TYPE:
			return print_integer<int8>(typeName, data);
		case B_UINT8_TYPE:
			return print_integer<uint8>(typeName, data);
		case B_INT16_TYPE:
			return print_integer<int16>(typeName, data);
		case B_UINT16_TYPE:
			return print_integer<uint16>(typeName, data);
		case B_INT32_TYPE:
			return print_integer<int32>(typeName, data);
		case B_UINT32_TYPE:
			return print_integer<uint32>(typeName, data);
		case B_INT64_TYPE:
			return print_integer<int64>(typeName, data);
		case B_UINT64_TYPE:
			return print_integer<uint64>(typeName, data);
		case B_BOOL_TYPE:
			printf("%s(%s)", typeName, data[0] != 0 ? "true" : "false");
			return;
		case B_FLOAT_TYPE:
			printf("%s(%g)", typeName, value_of<float>(data));
			return;
		case B_DOUBLE_TYPE:
			printf("%s(%g)", typeName, value_of<double>(data));
			return;
		case B_POINT_TYPE:
		{
			BPoint point = value_of<BPoint>(data);
			printf("%s(x:%g, y:%g)", typeName, point.x, point.y);
			return;
		}
		case B_RECT_TYPE:
		{
			BRect rect = value_of<BRect>(data);
			printf("%s(l:%g, t:%g, r:%g, b:%g)", typeName, rect.left,
				rect.top, rect.right, rect.bottom);
			return;
		}
		case B_POINTER_TYPE:
			printf("%s(0x%" PRIx64 ")", typeName, value_of<uint64>(data));
			return;
		case B_MESSENGER_TYPE:
		{
			flat_messenger messenger = value_of<flat_messenger>(data);
			printf("%s(team:%" PRId32 ", looper:%" PRId32 ", handler:%"
				PRId32 "%s)", typeName, messenger.team,
				messenger.looperToken, messenger.handlerToken,
				(messenger.flags & kMessengerPreferred) != 0
					? ", preferred" : "");
			return;
		}
		case B_STRING_TYPE:
			printf("%s(\"", typeName);
			print_escaped(data, size - 1);
			printf("\", %" PRIu32 " bytes)", size);
			return;
		case B_REF_TYPE:
			printf("%s(\"", typeName);
			print_escaped(data, size);
			printf("\")");
			return;
		default:
			printf("raw(");
			if (is_printable_code(type))
				print_code_characters(type);
			else
				printf("0x%08" PRIx32, type);
			printf(", %" PRIu32 " bytes)", size);
			return;
	}
}

}	// namespace


void
BMessage::PrintToStream() const
{
	// The listing is many calls; holding the stream across them keeps
	// other threads' output from landing in the middle of it.
	flockfile(stdout);
	field_list::Print(*this, 0);
	funlockfile(stdout);
}


// Prints from the what code to the closing brace; the caller has put the
// first line's indentation and field name in front.
void
BMessage::field_list::Print(const BMessage& message, int32 depth)
{
	printf("BMessage(");
	if (is_printable_code(message.what))
		print_code_characters(message.what);
	else
		printf("%" PRIu32, message.what);
	printf(") {\n");

	int32 fieldCount = message.fFields != NULL
		? message.fFields->CountFields() : 0;
	for (int32 i = 0; i < fieldCount; i++) {
		const field* shown = message.fFields->FieldAt(i);
		for (int32 v = 0; v < shown->count; v++) {
			print_indent(depth + 1);
			print_escaped(shown->name, shown->nameLength);
			if (shown->count > 1)
				printf("[%" PRId32 "]", v);
			printf(" = ");

			uint32 size;
			const char* value = shown->ValueAt(v, &size);
			if (shown->type == B_MESSAGE_TYPE) {
				BMessage nested;
				if (Parse(nested, (const uint8*)value, size, 0) == B_OK) {
					Print(nested, depth + 1);
					continue;
				}
			}
			print_value(shown->type, value, size);
			putchar('\n');
		}
	}

	print_indent(depth);
	printf("}\n");
}
