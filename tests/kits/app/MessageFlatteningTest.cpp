/*
 * The flat form of BMessage. Cases covered:
 * - the exact bytes of a small message, as Message.h lays them out;
 * - a round trip of every type: multi-valued fields, nested messages,
 *   refs to an existing and a not yet existing file, empty strings,
 *   strings with high bytes, raw values of no size, the drop state;
 *   flattening what was read gives the same bytes again;
 * - every truncation of a real message failing and leaving the message
 *   empty, and a byte too many failing the sized form;
 * - headers claiming huge sizes or counts failing without reading or
 *   allocating for them;
 * - one malformed field of each kind (names, counts, strings, bools,
 *   sizes, flags, refs, messengers, nesting);
 * - random bytes and every single bit flip of a real message: either an
 *   error and an empty message, or a valid message;
 * - streams: BMallocIO with two messages back to back, a stream too
 *   small to write to, a real file through BFile;
 * - bad arguments.
 */
#include <Message.h>

#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <DataIO.h>
#include <Entry.h>
#include <File.h>

#include "MessagePrivate.h"


namespace {

// Writes flat messages by hand, following the layout in Message.h, so
// that tests can make ones that BMessage would never write.
class FlatBuilder {
public:
	FlatBuilder& UInt32(uint32 value)
	{
		for (int shift = 0; shift < 32; shift += 8)
			fBytes.push_back((char)(value >> shift));
		return *this;
	}

	FlatBuilder& Bytes(const void* data, size_t size)
	{
		fBytes.append((const char*)data, size);
		return *this;
	}

	FlatBuilder& Header(uint32 what, uint32 fieldCount, uint32 flags = 0)
	{
		Bytes("OVM1", 4);
		UInt32(0);
		UInt32(what);
		UInt32(flags);
		UInt32(0);
		UInt32(0);
		return UInt32(fieldCount);
	}

	FlatBuilder& Field(type_code type, const std::string& name,
		uint32 count)
	{
		UInt32(type);
		UInt32(name.size());
		Bytes(name.data(), name.size());
		return UInt32(count);
	}

	FlatBuilder& Value(const void* data, size_t size)
	{
		UInt32(size);
		return Bytes(data, size);
	}

	// The message with its total size filled in.
	std::string Finish()
	{
		std::string result = fBytes;
		uint32 size = result.size();
		for (int i = 0; i < 4; i++)
			result[4 + i] = (char)(size >> (8 * i));
		return result;
	}

private:
	std::string fBytes;
};


std::string
flatten(const BMessage& message)
{
	std::string flat(message.FlattenedSize(), '\0');
	EXPECT_EQ(B_OK, message.Flatten(flat.data(), flat.size()));
	return flat;
}


bool
is_cleared(const BMessage& message)
{
	return message.what == 0 && message.IsEmpty() && !message.WasDropped();
}


// Unflattens into a message that had content, and checks the outcome
// is either an error with an empty message or a message that flattens
// back to the same bytes.
::testing::AssertionResult
unflattens_cleanly(const std::string& flat, status_t* _status = NULL)
{
	BMessage message('old ');
	message.AddString("old", "content");
	status_t status = message.Unflatten(flat.data(), flat.size());
	if (_status != NULL)
		*_status = status;
	if (status != B_OK) {
		if (!is_cleared(message))
			return ::testing::AssertionFailure() << "not emptied";
		return ::testing::AssertionSuccess();
	}
	if (flatten(message) != flat)
		return ::testing::AssertionFailure() << "flattens differently";
	return ::testing::AssertionSuccess();
}


// A message with one of everything.
BMessage
make_rich_message(const entry_ref& existing, const entry_ref& missing)
{
	BMessage inner('innr');
	inner.AddString("text", "inside");
	inner.AddRect("frame", BRect(0, 0, 10, 10));
	BMessage middle('midl');
	middle.AddMessage("inner", &inner);
	middle.AddInt32("n", 3);

	BMessage message('rich');
	message.AddInt8("i8", -8);
	message.AddUInt8("u8", 0xf8);
	message.AddInt16("i16", -1600);
	message.AddUInt16("u16", 0xf160);
	message.AddInt32("i32", -320000);
	message.AddInt32("i32", 320000);
	message.AddUInt32("u32", 0xf3200000);
	message.AddInt64("i64", -(int64)1 << 60);
	message.AddUInt64("u64", (uint64)1 << 63);
	message.AddBool("bool", true);
	message.AddBool("bool", false);
	message.AddFloat("float", -0.125f);
	message.AddDouble("double", 1e300);
	message.AddPoint("point", BPoint(-1.5, 2.5));
	message.AddRect("rect", BRect(1, 2, 30, 40));
	message.AddString("strings", "");
	message.AddString("strings", "caf\xc3\xa9 \xff\xfe\x80");
	message.AddString("strings", "plain");
	message.AddPointer("pointer", &message);
	message.AddRef("refs", &existing);
	message.AddRef("refs", &missing);
	message.AddMessage("middle", &middle);
	message.AddMessage("middle", &inner);
	message.AddData("raw", B_RAW_TYPE, "", 0, false);
	message.AddData("raw", B_RAW_TYPE, "\0\1\2", 3, false);
	BMessage::Private(message).SetDropped(BPoint(100, 200), BPoint(5, 6));
	return message;
}


// A stream that counts what was read from it.
class CountingStream : public BDataIO {
public:
	CountingStream(const std::string& data)
		: fData(data), fPosition(0), fBytesRead(0) {}

	ssize_t Read(void* buffer, size_t size) override
	{
		size_t left = fData.size() - fPosition;
		if (size > left)
			size = left;
		memcpy(buffer, fData.data() + fPosition, size);
		fPosition += size;
		fBytesRead += size;
		return size;
	}

	size_t BytesRead() const { return fBytesRead; }

private:
	std::string fData;
	size_t fPosition;
	size_t fBytesRead;
};

}	// namespace


TEST(MessageFlatteningTest, ExactLayout)
{
	BMessage message('lay1');
	message.AddInt32("ab", 0x01020304);
	message.AddString("s", "hi");
	message.AddString("s", "");
	BMessage::Private(message).SetDropped(BPoint(1.5, -2), BPoint(0, 0));

	float x = 1.5f;
	float y = -2.0f;
	uint32 xBits;
	uint32 yBits;
	memcpy(&xBits, &x, 4);
	memcpy(&yBits, &y, 4);
	uint32 value = 0x01020304;
	FlatBuilder expected;
	expected.Bytes("OVM1", 4).UInt32(0).UInt32('lay1').UInt32(1)
		.UInt32(xBits).UInt32(yBits).UInt32(2)
		.Field(B_INT32_TYPE, "ab", 1).Value(&value, 4)
		.Field(B_STRING_TYPE, "s", 2).Value("hi", 3).Value("", 1);
	std::string flat = flatten(message);
	EXPECT_EQ(expected.Finish(), flat);
	EXPECT_EQ((ssize_t)flat.size(), message.FlattenedSize());
	// Little-endian on the wire, whatever the host.
	EXPECT_EQ(std::string("\x31\x79\x61\x6c", 4), flat.substr(8, 4));

	EXPECT_EQ(28, BMessage().FlattenedSize());
}


TEST(MessageFlatteningTest, RoundTripOfEveryType)
{
	char directory[] = "/tmp/message-flat-XXXXXX";
	ASSERT_NE((char*)NULL, mkdtemp(directory));
	std::string existingPath = std::string(directory) + "/exists";
	std::string missingPath = std::string(directory) + "/to be made";
	BFile(existingPath.c_str(), B_READ_WRITE | B_CREATE_FILE);
	entry_ref existing;
	entry_ref missing;
	ASSERT_EQ(B_OK, get_ref_for_path(existingPath.c_str(), &existing));
	ASSERT_EQ(B_OK, get_ref_for_path(missingPath.c_str(), &missing));

	BMessage original = make_rich_message(existing, missing);
	std::string flat = flatten(original);

	BMessage copy;
	ASSERT_EQ(B_OK, copy.Unflatten(flat.data(), flat.size()));
	EXPECT_EQ((uint32)'rich', copy.what);
	EXPECT_TRUE(copy.HasSameData(original, false, true));
	EXPECT_TRUE(original.HasSameData(copy, true, true));
	EXPECT_TRUE(copy.WasDropped());
	EXPECT_EQ(BPoint(100, 200), copy.DropPoint());
	EXPECT_EQ(flat, flatten(copy));

	// The trusted form reads the size from the header.
	BMessage trusted;
	ASSERT_EQ(B_OK, trusted.Unflatten(flat.data()));
	EXPECT_TRUE(trusted.HasSameData(original, false, true));

	const char* string;
	ASSERT_EQ(B_OK, copy.FindString("strings", 1, &string));
	EXPECT_STREQ("caf\xc3\xa9 \xff\xfe\x80", string);
	ASSERT_EQ(B_OK, copy.FindString("strings", 0, &string));
	EXPECT_STREQ("", string);
	entry_ref ref;
	ASSERT_EQ(B_OK, copy.FindRef("refs", 0, &ref));
	EXPECT_EQ(existing, ref);
	ASSERT_EQ(B_OK, copy.FindRef("refs", 1, &ref));
	EXPECT_EQ(missing, ref);
	BMessage middle;
	BMessage inner;
	ASSERT_EQ(B_OK, copy.FindMessage("middle", &middle));
	ASSERT_EQ(B_OK, middle.FindMessage("inner", &inner));
	EXPECT_STREQ("inside", inner.GetString("text"));
	const void* data;
	ssize_t size;
	ASSERT_EQ(B_OK, copy.FindData("raw", B_RAW_TYPE, 0, &data, &size));
	EXPECT_EQ(0, size);
	// Known fixed-size types stay fixed-size; raw data does not.
	type_code type;
	bool fixedSize;
	ASSERT_EQ(B_OK, copy.GetInfo("i64", &type, &fixedSize));
	EXPECT_TRUE(fixedSize);
	ASSERT_EQ(B_OK, copy.GetInfo("raw", &type, &fixedSize));
	EXPECT_FALSE(fixedSize);

	unlink(existingPath.c_str());
	rmdir(directory);
}


TEST(MessageFlatteningTest, TruncatedAndOverlongInputFails)
{
	BMessage original('trnc');
	original.AddString("name", "value");
	original.AddInt32("numbers", 1);
	original.AddInt32("numbers", 2);
	BMessage nested('nest');
	nested.AddBool("flag", true);
	original.AddMessage("nested", &nested);
	std::string flat = flatten(original);

	for (size_t length = 0; length < flat.size(); length++) {
		status_t status;
		EXPECT_TRUE(unflattens_cleanly(flat.substr(0, length), &status));
		EXPECT_EQ(B_BAD_DATA, status) << length;

		BMemoryIO stream(flat.data(), length);
		BMessage fromStream('old ');
		EXPECT_EQ(B_BAD_DATA, fromStream.Unflatten(&stream)) << length;
		EXPECT_TRUE(is_cleared(fromStream));
	}

	// The sized form wants exactly one message; a stream reads one
	// message and leaves the rest.
	std::string longer = flat + "x";
	BMessage message;
	EXPECT_EQ(B_BAD_DATA, message.Unflatten(longer.data(), longer.size()));
	BMemoryIO stream(longer.data(), longer.size());
	ASSERT_EQ(B_OK, message.Unflatten(&stream));
	EXPECT_EQ((off_t)flat.size(), stream.Position());
}


TEST(MessageFlatteningTest, HugeClaimsFailWithoutAllocating)
{
	// A header claiming 4 GiB: refused after the 8 header bytes.
	std::string header = FlatBuilder().Header('huge', 0).Finish();
	header.replace(4, 4, "\xff\xff\xff\xff", 4);
	BMessage message;
	EXPECT_EQ(B_BAD_DATA, message.Unflatten(header.data(), header.size()));
	EXPECT_EQ(B_BAD_DATA, message.Unflatten(header.data()));
	CountingStream stream(header + std::string(100, '\0'));
	EXPECT_EQ(B_BAD_DATA, message.Unflatten(&stream));
	EXPECT_EQ(8u, stream.BytesRead());

	// Just past the limit, and a claim within it that the stream never
	// delivers.
	std::string overLimit = header;
	uint32 past = B_MAX_FLATTENED_MESSAGE_SIZE + 1;
	memcpy(&overLimit[4], &past, 4);
	CountingStream pastStream(overLimit);
	EXPECT_EQ(B_BAD_DATA, message.Unflatten(&pastStream));
	std::string bigClaim = header;
	uint32 big = B_MAX_FLATTENED_MESSAGE_SIZE;
	memcpy(&bigClaim[4], &big, 4);
	CountingStream shortStream(bigClaim + std::string(1000, '\0'));
	EXPECT_EQ(B_BAD_DATA, message.Unflatten(&shortStream));
	EXPECT_TRUE(is_cleared(message));

	// Counts that the bytes left cannot hold.
	std::string manyFields = FlatBuilder().Header('many', 0xffffffff)
		.Field(B_INT8_TYPE, "a", 1).Value("\1", 1).Finish();
	EXPECT_EQ(B_BAD_DATA,
		message.Unflatten(manyFields.data(), manyFields.size()));
	std::string manyValues = FlatBuilder().Header('many', 1)
		.Field(B_INT8_TYPE, "a", 0x7fffffff).Value("\1", 1).Finish();
	EXPECT_EQ(B_BAD_DATA,
		message.Unflatten(manyValues.data(), manyValues.size()));
	std::string bigValue = FlatBuilder().Header('many', 1)
		.Field(B_RAW_TYPE, "a", 1).UInt32(0xfffffff0).Finish();
	EXPECT_EQ(B_BAD_DATA,
		message.Unflatten(bigValue.data(), bigValue.size()));
}


TEST(MessageFlatteningTest, MalformedFieldsFail)
{
	int32 number = 5;
	uint8 two = 2;
	uint32 messenger[4] = { 1, 2, 3, 2 };
	BMessage garbageInner;
	std::string badMagic = flatten(garbageInner);
	badMagic[3] = '2';

	struct {
		const char* what;
		std::string flat;
	} cases[] = {
		{ "bad magic", badMagic },
		{ "unknown flag", FlatBuilder().Header('bad ', 0, 0x2).Finish() },
		{ "duplicate name", FlatBuilder().Header('bad ', 2)
			.Field(B_INT32_TYPE, "n", 1).Value(&number, 4)
			.Field(B_INT32_TYPE, "n", 1).Value(&number, 4).Finish() },
		{ "no values", FlatBuilder().Header('bad ', 1)
			.Field(B_INT32_TYPE, "n", 0).UInt32(0).Finish() },
		{ "empty name", FlatBuilder().Header('bad ', 1)
			.Field(B_INT32_TYPE, "", 1).Value(&number, 4).Finish() },
		{ "NUL in name", FlatBuilder().Header('bad ', 1)
			.Field(B_INT32_TYPE, std::string("a\0b", 3), 1)
			.Value(&number, 4).Finish() },
		{ "name too long", FlatBuilder().Header('bad ', 1)
			.Field(B_INT32_TYPE, std::string(256, 'n'), 1)
			.Value(&number, 4).Finish() },
		{ "any type", FlatBuilder().Header('bad ', 1)
			.Field(B_ANY_TYPE, "n", 1).Value(&number, 4).Finish() },
		{ "short int32", FlatBuilder().Header('bad ', 1)
			.Field(B_INT32_TYPE, "n", 1).Value(&number, 3).Finish() },
		{ "bool of 2", FlatBuilder().Header('bad ', 1)
			.Field(B_BOOL_TYPE, "b", 1).Value(&two, 1).Finish() },
		{ "string without NUL", FlatBuilder().Header('bad ', 1)
			.Field(B_STRING_TYPE, "s", 1).Value("ab", 2).Finish() },
		{ "string with two NULs", FlatBuilder().Header('bad ', 1)
			.Field(B_STRING_TYPE, "s", 1).Value("a\0b", 4).Finish() },
		{ "string of no bytes", FlatBuilder().Header('bad ', 1)
			.Field(B_STRING_TYPE, "s", 1).Value("", 0).Finish() },
		{ "relative ref", FlatBuilder().Header('bad ', 1)
			.Field(B_REF_TYPE, "r", 1).Value("tmp/x", 5).Finish() },
		{ "ref with NUL", FlatBuilder().Header('bad ', 1)
			.Field(B_REF_TYPE, "r", 1).Value("/tmp\0x", 6).Finish() },
		{ "messenger flag", FlatBuilder().Header('bad ', 1)
			.Field(B_MESSENGER_TYPE, "m", 1).Value(messenger, 16)
			.Finish() },
		{ "nested garbage", FlatBuilder().Header('bad ', 1)
			.Field(B_MESSAGE_TYPE, "m", 1).Value(badMagic.data(),
				badMagic.size()).Finish() },
		{ "value past the end", FlatBuilder().Header('bad ', 1)
			.Field(B_RAW_TYPE, "r", 1).UInt32(10).Bytes("abc", 3)
			.Finish() },
		{ "fewer fields than counted", FlatBuilder().Header('bad ', 2)
			.Field(B_INT32_TYPE, "n", 1).Value(&number, 4).Finish() },
	};
	for (const auto& test : cases) {
		status_t status;
		EXPECT_TRUE(unflattens_cleanly(test.flat, &status)) << test.what;
		EXPECT_EQ(B_BAD_DATA, status) << test.what;
	}

	// The same bytes, well formed, are accepted: the cases above fail
	// for the reason they name.
	std::string good = FlatBuilder().Header('good', 2)
		.Field(B_STRING_TYPE, "s", 1).Value("ab", 3)
		.Field(B_REF_TYPE, "r", 1).Value("/tmp/x", 6).Finish();
	status_t status;
	EXPECT_TRUE(unflattens_cleanly(good, &status));
	EXPECT_EQ(B_OK, status);
}


TEST(MessageFlatteningTest, NestingDepthIsLimited)
{
	// Written by hand, since BMessage refuses to build one too deep.
	std::string flat = FlatBuilder().Header('leaf', 0).Finish();
	for (int32 level = 1; level <= 65; level++) {
		flat = FlatBuilder().Header('deep', 1)
			.Field(B_MESSAGE_TYPE, "child", 1).Value(flat.data(), flat.size())
			.Finish();
		status_t status;
		EXPECT_TRUE(unflattens_cleanly(flat, &status));
		EXPECT_EQ(level <= 64 ? B_OK : B_BAD_DATA, status) << level;
	}
}


TEST(MessageFlatteningTest, GarbageAndBitFlips)
{
	std::mt19937 random(20240601);
	for (int round = 0; round < 2000; round++) {
		std::string garbage(random() % 200, '\0');
		for (char& byte : garbage)
			byte = (char)random();
		// Most rounds get a valid header, to reach the fields.
		if (round % 4 != 0 && garbage.size() >= 28) {
			std::string header = FlatBuilder().Header(random(),
				random() % 4).Finish();
			garbage.replace(0, 28, header);
			uint32 size = garbage.size();
			memcpy(&garbage[4], &size, 4);
		}
		EXPECT_TRUE(unflattens_cleanly(garbage)) << round;
	}

	BMessage inner('innr');
	inner.AddString("s", "nested");
	BMessage original('flip');
	original.AddString("name", "text");
	original.AddInt16("short", 7);
	original.AddBool("bool", true);
	original.AddMessage("inner", &inner);
	original.AddData("ref", B_REF_TYPE, "/a", 2);
	std::string flat = flatten(original);
	int accepted = 0;
	for (size_t bit = 0; bit < flat.size() * 8; bit++) {
		std::string flipped = flat;
		flipped[bit / 8] ^= (char)(1 << (bit % 8));
		status_t status;
		EXPECT_TRUE(unflattens_cleanly(flipped, &status)) << bit;
		if (status == B_OK)
			accepted++;
	}
	// Flips in what, the drop point and value bytes still make valid
	// messages; flips in sizes and counts do not.
	EXPECT_GT(accepted, 0);
	EXPECT_LT(accepted, (int)flat.size() * 8);
}


TEST(MessageFlatteningTest, Streams)
{
	BMessage first('frst');
	first.AddString("s", "one");
	BMessage second('scnd');
	second.AddInt64("n", 2);

	BMallocIO buffer;
	ssize_t firstSize = 0;
	ssize_t secondSize = 0;
	ASSERT_EQ(B_OK, first.Flatten(&buffer, &firstSize));
	ASSERT_EQ(B_OK, second.Flatten(&buffer, &secondSize));
	EXPECT_EQ(first.FlattenedSize(), firstSize);
	EXPECT_EQ((size_t)(firstSize + secondSize), buffer.BufferLength());

	buffer.Seek(0, SEEK_SET);
	BMessage read;
	ASSERT_EQ(B_OK, read.Unflatten(&buffer));
	EXPECT_EQ((uint32)'frst', read.what);
	EXPECT_STREQ("one", read.GetString("s"));
	ASSERT_EQ(B_OK, read.Unflatten(&buffer));
	EXPECT_EQ((uint32)'scnd', read.what);
	EXPECT_FALSE(read.HasString("s"));
	// The stream is at its end now.
	EXPECT_EQ(B_BAD_DATA, read.Unflatten(&buffer));
	EXPECT_TRUE(is_cleared(read));

	// A message larger than the blocks a stream is read in.
	std::string block(200 * 1024, 'b');
	BMessage large('larg');
	large.AddData("block", B_RAW_TYPE, block.data(), block.size());
	large.AddString("after", "end");
	BMallocIO largeBuffer;
	ASSERT_EQ(B_OK, large.Flatten(&largeBuffer));
	largeBuffer.Seek(0, SEEK_SET);
	ASSERT_EQ(B_OK, read.Unflatten(&largeBuffer));
	EXPECT_TRUE(read.HasSameData(large, false));

	char small[20];
	BMemoryIO tooSmall(small, sizeof(small));
	ssize_t size = -7;
	EXPECT_NE(B_OK, first.Flatten(&tooSmall, &size));
	EXPECT_EQ(-7, size);
}


TEST(MessageFlatteningTest, RealFile)
{
	char path[] = "/tmp/message-file-XXXXXX";
	int descriptor = mkstemp(path);
	ASSERT_GE(descriptor, 0);
	close(descriptor);

	BMessage settings('stng');
	settings.AddRect("frame", BRect(10, 20, 610, 420));
	settings.AddString("font", "Noto Sans Mono");
	settings.AddInt32("tab width", 4);
	{
		BFile file(path, B_WRITE_ONLY | B_ERASE_FILE);
		ASSERT_EQ(B_OK, file.InitCheck());
		ASSERT_EQ(B_OK, settings.Flatten(&file));
	}
	BMessage read;
	{
		BFile file(path, B_READ_ONLY);
		ASSERT_EQ(B_OK, file.InitCheck());
		ASSERT_EQ(B_OK, read.Unflatten(&file));
	}
	EXPECT_EQ((uint32)'stng', read.what);
	EXPECT_TRUE(read.HasSameData(settings, false));
	unlink(path);
}


TEST(MessageFlatteningTest, BadArguments)
{
	BMessage message('args');
	message.AddInt32("n", 1);
	char buffer[64];
	EXPECT_EQ(B_BAD_VALUE, message.Flatten(NULL, 64));
	EXPECT_EQ(B_BAD_VALUE, message.Flatten((BDataIO*)NULL));
	EXPECT_EQ(B_BUFFER_OVERFLOW,
		message.Flatten(buffer, message.FlattenedSize() - 1));

	EXPECT_EQ(B_BAD_VALUE, message.Unflatten((const char*)NULL, 10));
	EXPECT_TRUE(is_cleared(message));
	message.what = 'args';
	EXPECT_EQ(B_BAD_VALUE, message.Unflatten(buffer, -1));
	EXPECT_EQ(B_BAD_VALUE, message.Unflatten((const char*)NULL));
	EXPECT_EQ(B_BAD_VALUE, message.Unflatten((BDataIO*)NULL));
	EXPECT_TRUE(is_cleared(message));
}
