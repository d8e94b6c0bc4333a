/*
 * libFuzzer target for BMessage::Unflatten(). Whatever the bytes, the
 * sized form must either fail with an empty message or give a message
 * that flattens back to exactly those bytes (the flat form has one way
 * to write each message), unflattens again to the same data, and whose
 * every field and value can be found and printed. The stream form and
 * the trusted form must agree with the sized form on the bytes that the
 * header claims.
 *
 * Built with -DKITS_FUZZ_REPLAY, the file serves the corpus replay test
 * and leaves standard output alone; the fuzzer itself sends what the
 * messages print to /dev/null.
 */
#include "MessageUnflattenFuzzer.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

#include <DataIO.h>
#include <Message.h>


#define CHECK(condition) \
	do { \
		if (!(condition)) \
			return "check failed: " #condition; \
	} while (false)


namespace {

bool
is_cleared(const BMessage& message)
{
	return message.what == 0 && message.IsEmpty() && !message.WasDropped();
}


const char*
check_values(const BMessage& message, const char* name, type_code type,
	int32 count)
{
	for (int32 index = 0; index < count; index++) {
		const void* data;
		ssize_t size;
		CHECK(message.FindData(name, type, index, &data, &size) == B_OK);
		if (type == B_STRING_TYPE) {
			const char* string;
			CHECK(message.FindString(name, index, &string) == B_OK);
			CHECK(strlen(string) + 1 == (size_t)size);
		} else if (type == B_MESSAGE_TYPE) {
			BMessage nested;
			CHECK(message.FindMessage(name, index, &nested) == B_OK);
			CHECK(nested.FlattenedSize() == size);
		}
	}
	CHECK(!message.HasData(name, type, count));
	return NULL;
}


const char*
check_message(const BMessage& message, const uint8_t* data, size_t size)
{
	CHECK(message.FlattenedSize() == (ssize_t)size);
	std::vector<char> flat(size);
	CHECK(message.Flatten(flat.data(), size) == B_OK);
	CHECK(memcmp(flat.data(), data, size) == 0);

	BMessage again;
	CHECK(again.Unflatten(flat.data(), size) == B_OK);
	CHECK(again.what == message.what);
	CHECK(again.HasSameData(message, false, true));
	CHECK(message.HasSameData(again, true, true));
	BMessage copy(message);
	CHECK(copy.HasSameData(message, false, false));

	int32 fieldCount = 0;
	char* name;
	type_code type;
	int32 count;
	while (message.GetInfo(B_ANY_TYPE, fieldCount, &name, &type, &count)
			== B_OK) {
		CHECK(count >= 1);
		type_code typeByName;
		int32 countByName;
		CHECK(message.GetInfo(name, &typeByName, &countByName) == B_OK);
		CHECK(typeByName == type && countByName == count);
		const char* failure = check_values(message, name, type, count);
		if (failure != NULL)
			return failure;
		fieldCount++;
	}
	CHECK(fieldCount == message.CountNames(B_ANY_TYPE));

	message.PrintToStream();
	return NULL;
}


uint32_t
claimed_size(const uint8_t* data, size_t size)
{
	if (size < 8 || memcmp(data, "OVM1", 4) != 0)
		return 0;
	return (uint32_t)data[4] | (uint32_t)data[5] << 8
		| (uint32_t)data[6] << 16 | (uint32_t)data[7] << 24;
}

}	// namespace


const char*
check_message_unflatten(const uint8_t* data, size_t size)
{
	static const uint8_t kNothing[1] = { 0 };
	if (data == NULL)
		data = kNothing;

	BMessage message('old ');
	message.AddInt32("old", 1);
	status_t status = message.Unflatten((const char*)data, size);
	if (status == B_OK) {
		const char* failure = check_message(message, data, size);
		if (failure != NULL)
			return failure;
	} else {
		CHECK(status == B_BAD_DATA || status == B_NO_MEMORY);
		CHECK(is_cleared(message));
	}

	BMemoryIO stream(data, size);
	BMessage streamed('old ');
	status_t streamStatus = streamed.Unflatten(&stream);
	uint32_t claimed = claimed_size(data, size);
	if (claimed >= 28 && claimed <= size) {
		BMessage prefix;
		status_t prefixStatus = prefix.Unflatten((const char*)data, claimed);
		CHECK(streamStatus == prefixStatus);
		BMessage trusted;
		CHECK(trusted.Unflatten((const char*)data) == prefixStatus);
		if (prefixStatus == B_OK) {
			CHECK(stream.Position() == (off_t)claimed);
			CHECK(streamed.what == prefix.what);
			CHECK(streamed.HasSameData(prefix, false, true));
			CHECK(trusted.HasSameData(prefix, false, true));
		}
	} else
		CHECK(streamStatus != B_OK);
	if (streamStatus != B_OK)
		CHECK(is_cleared(streamed));
	return NULL;
}


extern "C" int
LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
	const char* failure = check_message_unflatten(data, size);
	if (failure != NULL) {
		fprintf(stderr, "%s\n", failure);
		abort();
	}
	return 0;
}


#ifndef KITS_FUZZ_REPLAY
extern "C" int
LLVMFuzzerInitialize(int*, char***)
{
	// PrintToStream() runs on every valid input; its output is not
	// what the fuzzer looks at.
	if (freopen("/dev/null", "w", stdout) == NULL)
		return 1;
	return 0;
}
#endif
