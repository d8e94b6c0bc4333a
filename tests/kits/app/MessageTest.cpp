/*
 * BMessage in memory. Cases covered:
 * - every typed Add/Find/Replace/Has, single and multi-valued, with the
 *   Get* defaults; what codes and IsSystem();
 * - fields keep insertion order; GetInfo() by index and by name,
 *   CountNames(), the fixed-size flag;
 * - errors: type mismatch, missing names, bad indices, NULL or too long
 *   names and NULL out-parameters, Replace never adding, Find leaving its
 *   out-parameter alone on failure;
 * - AddData() refusing values the flat form would refuse (strings with
 *   stray NULs, bools other than 0 and 1, wrong fixed sizes, B_ANY_TYPE);
 * - RemoveData, RemoveName, MakeEmpty, Rename;
 * - FindString pointing into the message, and values that point into the
 *   message being added or replaced;
 * - copies and assignment being independent, the drop state copied;
 * - refs to an existing file and to a file not yet made, messengers,
 *   pointers, nested messages and the nesting limit;
 * - HasSameData with and without field order, shallow and deep;
 * - the size limit of a message;
 * - PrintToStream's lines, escaping and nesting; dumps printed by several
 *   threads at once each reach standard output whole.
 */
#include <Message.h>

#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <atomic>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include <Entry.h>
#include <Messenger.h>

#include "MessagePrivate.h"
#include "MessengerPrivate.h"


namespace {

// A directory of its own for the tests that need files, removed after.
class TempDirectory {
public:
	TempDirectory()
	{
		const char* base = getenv("TMPDIR");
		fPath = std::string(base != NULL ? base : "/tmp")
			+ "/message-test-XXXXXX";
		if (mkdtemp(fPath.data()) == NULL)
			fPath.clear();
	}

	~TempDirectory()
	{
		if (fPath.empty())
			return;
		for (const std::string& file : fFiles)
			unlink(file.c_str());
		rmdir(fPath.c_str());
	}

	const std::string& Path() const { return fPath; }

	std::string CreateFile(const char* leaf)
	{
		std::string path = fPath + "/" + leaf;
		FILE* file = fopen(path.c_str(), "w");
		if (file != NULL)
			fclose(file);
		fFiles.push_back(path);
		return path;
	}

private:
	std::string fPath;
	std::vector<std::string> fFiles;
};


std::string
print_to_string(const BMessage& message)
{
	testing::internal::CaptureStdout();
	message.PrintToStream();
	fflush(stdout);
	return testing::internal::GetCapturedStdout();
}


BMessenger
make_messenger(team_id team, int32 looper, int32 handler, bool preferred)
{
	BMessenger messenger;
	BMessenger::Private(messenger).SetTo(team, looper, handler, preferred);
	return messenger;
}

// Adds two values of a type under a name of its own, then finds,
// replaces and checks them, so that every typed accessor is seen to use
// its type's code and to keep the values apart.
template<typename Type>
void
expect_typed_accessors(BMessage& message, type_code type,
	status_t (BMessage::*add)(const char*, Type),
	status_t (BMessage::*find)(const char*, int32, Type*) const,
	status_t (BMessage::*replace)(const char*, int32, Type),
	bool (BMessage::*has)(const char*, int32) const,
	Type first, Type second)
{
	std::string name = "field" + std::to_string(type);
	SCOPED_TRACE(name);
	ASSERT_EQ(B_OK, (message.*add)(name.c_str(), first));
	ASSERT_EQ(B_OK, (message.*add)(name.c_str(), second));

	type_code typeFound;
	int32 count;
	ASSERT_EQ(B_OK, message.GetInfo(name.c_str(), &typeFound, &count));
	EXPECT_EQ(type, typeFound);
	EXPECT_EQ(2, count);

	Type value;
	ASSERT_EQ(B_OK, (message.*find)(name.c_str(), 0, &value));
	EXPECT_EQ(first, value);
	ASSERT_EQ(B_OK, (message.*find)(name.c_str(), 1, &value));
	EXPECT_EQ(second, value);
	EXPECT_EQ(B_BAD_INDEX, (message.*find)(name.c_str(), 2, &value));

	ASSERT_EQ(B_OK, (message.*replace)(name.c_str(), 0, second));
	ASSERT_EQ(B_OK, (message.*find)(name.c_str(), 0, &value));
	EXPECT_EQ(second, value);
	EXPECT_TRUE((message.*has)(name.c_str(), 1));
	EXPECT_FALSE((message.*has)(name.c_str(), 2));
	EXPECT_FALSE((message.*has)("missing", 0));
}

}	// namespace


TEST(MessageTest, WhatCodes)
{
	BMessage empty;
	EXPECT_EQ(0u, empty.what);
	EXPECT_TRUE(empty.IsEmpty());
	EXPECT_FALSE(empty.WasDropped());
	EXPECT_EQ((uint32)'abcd', BMessage('abcd').what);
	EXPECT_FALSE(BMessage('abcd').IsSystem());
	EXPECT_TRUE(BMessage(B_QUIT_REQUESTED).IsSystem());
}


TEST(MessageTest, TypedAccessorsOfFixedSizeTypes)
{
	BMessage message;
	expect_typed_accessors(message, B_INT8_TYPE, &BMessage::AddInt8,
		&BMessage::FindInt8, &BMessage::ReplaceInt8, &BMessage::HasInt8,
		(int8)-5, (int8)127);
	expect_typed_accessors(message, B_UINT8_TYPE, &BMessage::AddUInt8,
		&BMessage::FindUInt8, &BMessage::ReplaceUInt8, &BMessage::HasUInt8,
		(uint8)250, (uint8)0);
	expect_typed_accessors(message, B_INT16_TYPE, &BMessage::AddInt16,
		&BMessage::FindInt16, &BMessage::ReplaceInt16, &BMessage::HasInt16,
		(int16)-30000, (int16)1);
	expect_typed_accessors(message, B_UINT16_TYPE, &BMessage::AddUInt16,
		&BMessage::FindUInt16, &BMessage::ReplaceUInt16,
		&BMessage::HasUInt16, (uint16)65000, (uint16)2);
	expect_typed_accessors(message, B_INT32_TYPE, &BMessage::AddInt32,
		&BMessage::FindInt32, &BMessage::ReplaceInt32, &BMessage::HasInt32,
		(int32)INT32_MIN, (int32)3);
	expect_typed_accessors(message, B_UINT32_TYPE, &BMessage::AddUInt32,
		&BMessage::FindUInt32, &BMessage::ReplaceUInt32,
		&BMessage::HasUInt32, (uint32)UINT32_MAX, (uint32)4);
	expect_typed_accessors(message, B_INT64_TYPE, &BMessage::AddInt64,
		&BMessage::FindInt64, &BMessage::ReplaceInt64, &BMessage::HasInt64,
		(int64)INT64_MIN, (int64)5);
	expect_typed_accessors(message, B_UINT64_TYPE, &BMessage::AddUInt64,
		&BMessage::FindUInt64, &BMessage::ReplaceUInt64,
		&BMessage::HasUInt64, (uint64)UINT64_MAX, (uint64)6);
	expect_typed_accessors(message, B_BOOL_TYPE, &BMessage::AddBool,
		&BMessage::FindBool, &BMessage::ReplaceBool, &BMessage::HasBool,
		true, false);
	expect_typed_accessors(message, B_FLOAT_TYPE, &BMessage::AddFloat,
		&BMessage::FindFloat, &BMessage::ReplaceFloat, &BMessage::HasFloat,
		1.5f, -0.0f);
	expect_typed_accessors(message, B_DOUBLE_TYPE, &BMessage::AddDouble,
		&BMessage::FindDouble, &BMessage::ReplaceDouble,
		&BMessage::HasDouble, -2.25, 1e300);
	expect_typed_accessors(message, B_POINT_TYPE, &BMessage::AddPoint,
		&BMessage::FindPoint, &BMessage::ReplacePoint, &BMessage::HasPoint,
		BPoint(3, -4), BPoint(0, 0));
	expect_typed_accessors(message, B_RECT_TYPE, &BMessage::AddRect,
		&BMessage::FindRect, &BMessage::ReplaceRect, &BMessage::HasRect,
		BRect(1, 2, 3, 4), BRect());
	EXPECT_EQ(13, message.CountNames(B_ANY_TYPE));
}


TEST(MessageTest, StringsKeepTheirOrder)
{
	BMessage message;
	ASSERT_EQ(B_OK, message.AddString("words", "one"));
	ASSERT_EQ(B_OK, message.AddString("words", ""));
	ASSERT_EQ(B_OK, message.AddString("words", "three"));
	const char* word;
	ASSERT_EQ(B_OK, message.FindString("words", 1, &word));
	EXPECT_STREQ("", word);
	ASSERT_EQ(B_OK, message.FindString("words", 2, &word));
	EXPECT_STREQ("three", word);
	EXPECT_EQ(B_BAD_INDEX, message.FindString("words", 3, &word));
	EXPECT_TRUE(message.HasString("words", 2));
}


TEST(MessageTest, GetInfoWalksFieldsInInsertionOrder)
{
	BMessage message;
	message.AddString("zeta", "z");
	message.AddInt32("alpha", 1);
	message.AddString("mid", "m");
	message.AddString("mid", "n");
	message.AddInt32("beta", 2);

	const char* expected[] = { "zeta", "alpha", "mid", "beta" };
	char* name;
	type_code type;
	int32 count;
	for (int32 i = 0; i < 4; i++) {
		ASSERT_EQ(B_OK, message.GetInfo(B_ANY_TYPE, i, &name, &type, &count));
		EXPECT_STREQ(expected[i], name);
	}
	EXPECT_EQ(B_BAD_INDEX, message.GetInfo(B_ANY_TYPE, 4, &name, &type));

	// Only the strings, in their order.
	ASSERT_EQ(B_OK, message.GetInfo(B_STRING_TYPE, 1, &name, &type, &count));
	EXPECT_STREQ("mid", name);
	EXPECT_EQ((type_code)B_STRING_TYPE, type);
	EXPECT_EQ(2, count);
	EXPECT_EQ(B_BAD_INDEX, message.GetInfo(B_STRING_TYPE, 2, &name, &type));
	EXPECT_EQ(B_BAD_INDEX, message.GetInfo(B_STRING_TYPE, -1, &name, &type));
	EXPECT_EQ(B_BAD_TYPE, message.GetInfo(B_RECT_TYPE, 0, &name, &type));
	EXPECT_EQ(B_BAD_TYPE,
		BMessage().GetInfo(B_ANY_TYPE, 0, &name, &type));

	EXPECT_EQ(2, message.CountNames(B_STRING_TYPE));
	EXPECT_EQ(2, message.CountNames(B_INT32_TYPE));
	EXPECT_EQ(0, message.CountNames(B_RECT_TYPE));
	EXPECT_EQ(4, message.CountNames(B_ANY_TYPE));

	EXPECT_EQ(B_NAME_NOT_FOUND, message.GetInfo("gamma", &type, &count));
	bool fixedSize;
	ASSERT_EQ(B_OK, message.GetInfo("alpha", &type, &fixedSize));
	EXPECT_TRUE(fixedSize);
	ASSERT_EQ(B_OK, message.GetInfo("mid", &type, &fixedSize));
	EXPECT_FALSE(fixedSize);
}


TEST(MessageTest, ErrorsForTypesNamesAndIndices)
{
	BMessage message;
	ASSERT_EQ(B_OK, message.AddInt32("value", 7));

	// A field keeps one type.
	EXPECT_EQ(B_BAD_TYPE, message.AddString("value", "seven"));
	EXPECT_EQ(B_BAD_TYPE, message.AddInt64("value", 7));
	const char* string = "untouched";
	EXPECT_EQ(B_BAD_TYPE, message.FindString("value", &string));
	EXPECT_STREQ("untouched", string);
	EXPECT_EQ(B_BAD_TYPE, message.ReplaceString("value", "x"));

	// Missing names and bad indices leave the out-parameter alone.
	int32 number = 42;
	EXPECT_EQ(B_NAME_NOT_FOUND, message.FindInt32("other", &number));
	EXPECT_EQ(B_BAD_INDEX, message.FindInt32("value", 1, &number));
	EXPECT_EQ(B_BAD_INDEX, message.FindInt32("value", -1, &number));
	EXPECT_EQ(42, number);
	BRect rect(9, 9, 9, 9);
	EXPECT_EQ(B_NAME_NOT_FOUND, message.FindRect("rect", &rect));
	EXPECT_EQ(BRect(9, 9, 9, 9), rect);

	// Replace never adds.
	EXPECT_EQ(B_NAME_NOT_FOUND, message.ReplaceInt32("other", 1));
	EXPECT_EQ(B_BAD_INDEX, message.ReplaceInt32("value", 1, 1));
	EXPECT_FALSE(message.HasInt32("other"));
	EXPECT_FALSE(message.HasInt32("value", 1));

	// NULL and bad names, NULL out-parameters.
	char longName[B_FIELD_NAME_LENGTH + 2];
	memset(longName, 'n', sizeof(longName) - 1);
	longName[sizeof(longName) - 1] = '\0';
	char longestName[B_FIELD_NAME_LENGTH + 1];
	memset(longestName, 'n', B_FIELD_NAME_LENGTH);
	longestName[B_FIELD_NAME_LENGTH] = '\0';
	EXPECT_EQ(B_BAD_VALUE, message.AddInt32(NULL, 1));
	EXPECT_EQ(B_BAD_VALUE, message.AddInt32("", 1));
	EXPECT_EQ(B_BAD_VALUE, message.AddInt32(longName, 1));
	EXPECT_EQ(B_OK, message.AddInt32(longestName, 1));
	EXPECT_EQ(B_BAD_VALUE, message.FindInt32(NULL, &number));
	EXPECT_EQ(B_BAD_VALUE, message.FindInt32(longName, &number));
	EXPECT_EQ(B_BAD_VALUE, message.FindInt32("value", (int32*)NULL));
	EXPECT_EQ(B_BAD_VALUE, message.FindString("value", (const char**)NULL));
	EXPECT_EQ(B_BAD_VALUE, message.AddString("string", NULL));
	EXPECT_EQ(B_BAD_VALUE, message.ReplaceInt32(NULL, 1));
	EXPECT_EQ(B_BAD_VALUE, message.RemoveName(NULL));
	EXPECT_EQ(B_BAD_VALUE, message.RemoveData(NULL));
	EXPECT_EQ(B_BAD_VALUE, message.Rename(NULL, "x"));
	EXPECT_EQ(B_BAD_VALUE, message.Rename("value", NULL));
	EXPECT_EQ(B_BAD_VALUE, message.AddRef("ref", NULL));
	EXPECT_EQ(B_BAD_VALUE, message.AddMessage("nested", NULL));
	EXPECT_EQ(B_BAD_VALUE, message.FindMessage("nested", (BMessage*)NULL));
	EXPECT_EQ(B_BAD_VALUE, message.GetInfo("value", NULL));
	type_code type;
	EXPECT_EQ(B_BAD_VALUE,
		message.GetInfo(B_ANY_TYPE, 0, (char**)NULL, &type));
	const void* data;
	EXPECT_EQ(B_BAD_VALUE,
		message.FindData("value", B_INT32_TYPE, &data, (ssize_t*)NULL));
	EXPECT_FALSE(message.HasInt32(NULL));
	EXPECT_EQ(B_BAD_VALUE, message.AddData("raw", B_RAW_TYPE, NULL, 4));
	EXPECT_EQ(B_BAD_VALUE, message.AddData("raw", B_RAW_TYPE, "abc", -1));

	// What failed added nothing.
	EXPECT_EQ(2, message.CountNames(B_ANY_TYPE));
}


TEST(MessageTest, AddDataChecksValuesByType)
{
	BMessage message;
	EXPECT_EQ(B_BAD_VALUE, message.AddData("s", B_STRING_TYPE, "ab", 2));
	EXPECT_EQ(B_BAD_VALUE, message.AddData("s", B_STRING_TYPE, "a\0b", 4));
	EXPECT_EQ(B_BAD_VALUE, message.AddData("s", B_STRING_TYPE, "", 0));
	EXPECT_EQ(B_OK, message.AddData("s", B_STRING_TYPE, "ab", 3));

	uint8 two = 2;
	EXPECT_EQ(B_BAD_VALUE, message.AddData("b", B_BOOL_TYPE, &two, 1));
	int64 wide = 1;
	EXPECT_EQ(B_BAD_VALUE, message.AddData("i", B_INT32_TYPE, &wide, 8));
	EXPECT_EQ(B_BAD_VALUE, message.AddData("r", B_REF_TYPE, "relative", 8));
	EXPECT_EQ(B_BAD_VALUE, message.AddData("m", B_MESSAGE_TYPE, "junk", 4));
	EXPECT_EQ(B_BAD_TYPE, message.AddData("a", B_ANY_TYPE, "x", 1));

	// Raw fields keep the fixed-size promise they were made with.
	ASSERT_EQ(B_OK, message.AddData("fixed", 'RAWF', "abcd", 4, true));
	EXPECT_EQ(B_BAD_VALUE, message.AddData("fixed", 'RAWF', "abc", 3));
	EXPECT_EQ(B_BAD_VALUE, message.ReplaceData("fixed", 'RAWF', "abc", 3));
	ASSERT_EQ(B_OK, message.AddData("loose", 'RAWL', "abcd", 4, false));
	EXPECT_EQ(B_OK, message.AddData("loose", 'RAWL', "", 0, false));
	EXPECT_EQ(B_OK, message.ReplaceData("loose", 'RAWL', 1, "xyz", 3));
	const void* data;
	ssize_t size;
	ASSERT_EQ(B_OK, message.FindData("loose", 'RAWL', 1, &data, &size));
	EXPECT_EQ(3, size);
	EXPECT_EQ(0, memcmp("xyz", data, 3));
	// B_ANY_TYPE finds a field of any type.
	EXPECT_EQ(B_OK, message.FindData("loose", B_ANY_TYPE, 0, &data, &size));
	EXPECT_EQ(4, size);

	// A field of empty values holds no bytes at all until one is given.
	ASSERT_EQ(B_OK, message.AddData("empty", 'EMPT', "", 0, false));
	ASSERT_EQ(B_OK, message.AddData("empty", 'EMPT', "", 0, false));
	ASSERT_EQ(B_OK, message.FindData("empty", 'EMPT', 1, &data, &size));
	EXPECT_NE((const void*)NULL, data);
	EXPECT_EQ(0, size);
	ASSERT_EQ(B_OK, message.ReplaceData("empty", 'EMPT', 1, "ab", 2));
	ASSERT_EQ(B_OK, message.FindData("empty", 'EMPT', 1, &data, &size));
	EXPECT_EQ(2, size);
	EXPECT_EQ(0, memcmp("ab", data, 2));

	EXPECT_EQ(4, message.CountNames(B_ANY_TYPE));
}


TEST(MessageTest, ReplaceKeepsOtherValues)
{
	BMessage message;
	message.AddString("s", "first");
	message.AddString("s", "second");
	message.AddString("s", "third");
	message.AddInt32("n", 1);

	ASSERT_EQ(B_OK, message.ReplaceString("s", 1, "a much longer second"));
	ASSERT_EQ(B_OK, message.ReplaceString("s", 0, ""));
	ASSERT_EQ(B_OK, message.ReplaceInt32("n", 5));
	const char* string;
	ASSERT_EQ(B_OK, message.FindString("s", 0, &string));
	EXPECT_STREQ("", string);
	ASSERT_EQ(B_OK, message.FindString("s", 1, &string));
	EXPECT_STREQ("a much longer second", string);
	ASSERT_EQ(B_OK, message.FindString("s", 2, &string));
	EXPECT_STREQ("third", string);
	EXPECT_EQ(5, message.GetInt32("n", 0));
	EXPECT_EQ(B_BAD_VALUE, message.ReplaceString("s", NULL));
}


TEST(MessageTest, RemoveRenameAndMakeEmpty)
{
	BMessage message('rmrn');
	message.AddInt32("n", 10);
	message.AddInt32("n", 20);
	message.AddInt32("n", 30);
	message.AddString("s", "text");
	message.AddBool("b", true);

	ASSERT_EQ(B_OK, message.RemoveData("n", 1));
	int32 value;
	ASSERT_EQ(B_OK, message.FindInt32("n", 1, &value));
	EXPECT_EQ(30, value);
	EXPECT_EQ(B_BAD_INDEX, message.RemoveData("n", 2));
	EXPECT_EQ(B_NAME_NOT_FOUND, message.RemoveData("missing"));
	ASSERT_EQ(B_OK, message.RemoveData("n", 0));
	ASSERT_EQ(B_OK, message.RemoveData("n", 0));
	// The last value took its field along.
	type_code type;
	EXPECT_EQ(B_NAME_NOT_FOUND, message.GetInfo("n", &type));
	EXPECT_EQ(2, message.CountNames(B_ANY_TYPE));

	EXPECT_EQ(B_NAME_NOT_FOUND, message.Rename("missing", "x"));
	EXPECT_EQ(B_NAME_IN_USE, message.Rename("s", "b"));
	EXPECT_EQ(B_OK, message.Rename("s", "s"));
	ASSERT_EQ(B_OK, message.Rename("s", "renamed"));
	EXPECT_FALSE(message.HasString("s"));
	EXPECT_STREQ("text", message.GetString("renamed"));
	// The renamed field keeps its place.
	char* name;
	ASSERT_EQ(B_OK, message.GetInfo(B_ANY_TYPE, 0, &name, &type));
	EXPECT_STREQ("renamed", name);
	// And a name given up can be used again.
	EXPECT_EQ(B_OK, message.AddInt32("s", 1));

	ASSERT_EQ(B_OK, message.RemoveName("b"));
	EXPECT_EQ(B_NAME_NOT_FOUND, message.RemoveName("b"));
	EXPECT_EQ(B_OK, message.MakeEmpty());
	EXPECT_TRUE(message.IsEmpty());
	EXPECT_EQ((uint32)'rmrn', message.what);
	EXPECT_EQ(B_OK, message.AddInt32("n", 1));
}


TEST(MessageTest, ManyFieldsStayFindable)
{
	// Enough fields to grow and rebuild the name index several times.
	BMessage message;
	char name[32];
	for (int32 i = 0; i < 2000; i++) {
		snprintf(name, sizeof(name), "field%d", (int)i);
		ASSERT_EQ(B_OK, message.AddInt32(name, i));
	}
	for (int32 i = 0; i < 2000; i += 2) {
		snprintf(name, sizeof(name), "field%d", (int)i);
		ASSERT_EQ(B_OK, message.RemoveName(name));
	}
	EXPECT_EQ(1000, message.CountNames(B_ANY_TYPE));
	for (int32 i = 0; i < 2000; i++) {
		snprintf(name, sizeof(name), "field%d", (int)i);
		int32 value = -1;
		if (i % 2 == 0)
			EXPECT_EQ(B_NAME_NOT_FOUND, message.FindInt32(name, &value));
		else {
			ASSERT_EQ(B_OK, message.FindInt32(name, &value));
			EXPECT_EQ(i, value);
		}
	}
}


TEST(MessageTest, ValuesFromInsideTheMessage)
{
	BMessage message;
	message.AddString("s", "a string long enough to need a bigger block");
	const char* inside;
	ASSERT_EQ(B_OK, message.FindString("s", &inside));
	// FindString points into the message.
	const void* data;
	ssize_t size;
	ASSERT_EQ(B_OK, message.FindData("s", B_STRING_TYPE, &data, &size));
	EXPECT_EQ(data, (const void*)inside);

	// Adding or replacing with a pointer into the same field must copy
	// the value before its old block goes.
	for (int i = 0; i < 8; i++) {
		ASSERT_EQ(B_OK, message.FindString("s", &inside));
		ASSERT_EQ(B_OK, message.AddString("s", inside));
	}
	ASSERT_EQ(B_OK, message.FindString("s", 8, &inside));
	EXPECT_STREQ("a string long enough to need a bigger block", inside);

	message.AddString("t", "short");
	ASSERT_EQ(B_OK, message.FindString("s", 3, &inside));
	ASSERT_EQ(B_OK, message.ReplaceString("t", inside));
	ASSERT_EQ(B_OK, message.FindString("s", 0, &inside));
	ASSERT_EQ(B_OK, message.ReplaceString("s", 1, inside + 2));
	EXPECT_STREQ("a string long enough to need a bigger block",
		message.GetString("t"));
	ASSERT_EQ(B_OK, message.FindString("s", 1, &inside));
	EXPECT_STREQ("string long enough to need a bigger block", inside);
}


TEST(MessageTest, CopiesAreIndependent)
{
	BMessage original('orig');
	original.AddString("s", "one");
	original.AddInt32("n", 1);
	BMessage::Private(original).SetDropped(BPoint(10, 20), BPoint(1, 2));

	BMessage copy(original);
	EXPECT_EQ((uint32)'orig', copy.what);
	EXPECT_TRUE(copy.HasSameData(original));
	EXPECT_TRUE(copy.WasDropped());
	BPoint offset;
	EXPECT_EQ(BPoint(10, 20), copy.DropPoint(&offset));
	EXPECT_EQ(BPoint(1, 2), offset);
	EXPECT_EQ(NULL, BMessage::Private(copy).Delivery());

	copy.ReplaceString("s", "two");
	copy.AddInt32("n", 2);
	EXPECT_STREQ("one", original.GetString("s"));
	type_code type;
	int32 count;
	original.GetInfo("n", &type, &count);
	EXPECT_EQ(1, count);

	BMessage assigned('asgn');
	assigned.AddBool("old", true);
	assigned = original;
	EXPECT_EQ((uint32)'orig', assigned.what);
	EXPECT_FALSE(assigned.HasBool("old"));
	EXPECT_TRUE(assigned.WasDropped());
	original.MakeEmpty();
	EXPECT_STREQ("one", assigned.GetString("s"));

	BMessage& self = assigned;
	assigned = self;
	EXPECT_STREQ("one", assigned.GetString("s"));

	BMessage empty;
	assigned = empty;
	EXPECT_TRUE(assigned.IsEmpty());
	EXPECT_FALSE(assigned.WasDropped());
}


TEST(MessageTest, GettersWithDefaults)
{
	BMessage message;
	message.AddString("s", "text");
	message.AddInt32("n", -3);
	message.AddBool("b", true);
	message.AddFloat("f", 0.5f);

	EXPECT_STREQ("text", message.GetString("s", "default"));
	EXPECT_STREQ("default", message.GetString("missing", "default"));
	EXPECT_EQ(NULL, message.GetString("n"));
	EXPECT_EQ(-3, message.GetInt32("n", 9));
	EXPECT_EQ(9, message.GetInt32("s", 9));
	EXPECT_TRUE(message.GetBool("b"));
	EXPECT_TRUE(message.GetBool("missing", true));
	EXPECT_EQ(0.5f, message.GetFloat("f", 2.0f));
	EXPECT_EQ(2.0f, message.GetFloat("missing", 2.0f));
}


TEST(MessageTest, RefsTravelAsPaths)
{
	TempDirectory directory;
	ASSERT_FALSE(directory.Path().empty());
	std::string existing = directory.CreateFile("present.txt");
	std::string missing = directory.Path() + "/not yet made.txt";

	entry_ref existingRef;
	entry_ref missingRef;
	ASSERT_EQ(B_OK, get_ref_for_path(existing.c_str(), &existingRef));
	ASSERT_EQ(B_OK, get_ref_for_path(missing.c_str(), &missingRef));

	BMessage message(B_REFS_RECEIVED);
	ASSERT_EQ(B_OK, message.AddRef("refs", &existingRef));
	ASSERT_EQ(B_OK, message.AddRef("refs", &missingRef));
	EXPECT_TRUE(message.HasRef("refs", 1));

	const void* data;
	ssize_t size;
	ASSERT_EQ(B_OK, message.FindData("refs", B_REF_TYPE, 1, &data, &size));
	EXPECT_EQ(missing, std::string((const char*)data, size));

	entry_ref found;
	ASSERT_EQ(B_OK, message.FindRef("refs", &found));
	EXPECT_EQ(existingRef, found);
	ASSERT_EQ(B_OK, message.FindRef("refs", 1, &found));
	EXPECT_EQ(missingRef, found);
	EXPECT_STREQ("not yet made.txt", found.name);

	ASSERT_EQ(B_OK, message.ReplaceRef("refs", 1, &existingRef));
	ASSERT_EQ(B_OK, message.FindRef("refs", 1, &found));
	EXPECT_EQ(existingRef, found);

	// A ref without a name cannot be added.
	entry_ref blank;
	EXPECT_NE(B_OK, message.AddRef("refs", &blank));

	// Once the directory has gone the ref cannot be made, and the
	// out-parameter keeps what it had.
	BMessage gone;
	ASSERT_EQ(B_OK, gone.AddData("ref", B_REF_TYPE,
		"/nonexistent-directory-of-message-test/file", 43));
	entry_ref untouched = existingRef;
	EXPECT_NE(B_OK, gone.FindRef("ref", &untouched));
	EXPECT_EQ(existingRef, untouched);
}


TEST(MessageTest, MessengersAndPointers)
{
	BMessage message;
	ASSERT_EQ(B_OK, message.AddMessenger("target",
		make_messenger(12, 34, 56, false)));
	ASSERT_EQ(B_OK, message.AddMessenger("target",
		make_messenger(-1, 7, -2, true)));

	BMessenger found;
	ASSERT_EQ(B_OK, message.FindMessenger("target", 1, &found));
	BMessenger::Private access(found);
	EXPECT_EQ(-1, access.Team());
	EXPECT_EQ(7, access.LooperToken());
	EXPECT_EQ(-2, access.HandlerToken());
	EXPECT_TRUE(access.IsPreferredTarget());
	ASSERT_EQ(B_OK, message.ReplaceMessenger("target",
		make_messenger(1, 2, 3, false)));
	ASSERT_EQ(B_OK, message.FindMessenger("target", &found));
	EXPECT_EQ(1, access.Team());
	EXPECT_EQ(3, access.HandlerToken());
	EXPECT_FALSE(access.IsPreferredTarget());
	EXPECT_TRUE(message.HasMessenger("target", 1));

	int local = 0;
	ASSERT_EQ(B_OK, message.AddPointer("pointer", &local));
	ASSERT_EQ(B_OK, message.AddPointer("pointer", NULL));
	void* pointer = NULL;
	ASSERT_EQ(B_OK, message.FindPointer("pointer", &pointer));
	EXPECT_EQ(&local, pointer);
	ASSERT_EQ(B_OK, message.FindPointer("pointer", 1, &pointer));
	EXPECT_EQ(NULL, pointer);
	ASSERT_EQ(B_OK, message.ReplacePointer("pointer", 1, &message));
	ASSERT_EQ(B_OK, message.FindPointer("pointer", 1, &pointer));
	EXPECT_EQ(&message, pointer);
	EXPECT_TRUE(message.HasPointer("pointer"));
}


TEST(MessageTest, NestedMessages)
{
	BMessage inner('innr');
	inner.AddString("name", "inner");
	inner.AddInt32("n", 5);
	BMessage::Private(inner).SetDropped(BPoint(1, 1), BPoint(0, 0));

	BMessage outer('outr');
	ASSERT_EQ(B_OK, outer.AddMessage("child", &inner));
	inner.AddString("name", "second");
	ASSERT_EQ(B_OK, outer.AddMessage("child", &inner));
	// A message can hold a copy of itself as it was.
	ASSERT_EQ(B_OK, outer.AddMessage("self", &outer));

	BMessage found('xxxx');
	found.AddBool("old", true);
	ASSERT_EQ(B_OK, outer.FindMessage("child", &found));
	EXPECT_EQ((uint32)'innr', found.what);
	EXPECT_FALSE(found.HasBool("old"));
	EXPECT_STREQ("inner", found.GetString("name"));
	EXPECT_FALSE(found.HasString("name", 1));
	EXPECT_TRUE(found.WasDropped());

	ASSERT_EQ(B_OK, outer.FindMessage("child", 1, &found));
	const char* name;
	ASSERT_EQ(B_OK, found.FindString("name", 1, &name));
	EXPECT_STREQ("second", name);

	BMessage self;
	ASSERT_EQ(B_OK, outer.FindMessage("self", &self));
	EXPECT_TRUE(self.HasMessage("child", 1));
	EXPECT_FALSE(self.HasMessage("self"));

	BMessage replacement('repl');
	ASSERT_EQ(B_OK, outer.ReplaceMessage("child", 0, &replacement));
	ASSERT_EQ(B_OK, outer.FindMessage("child", &found));
	EXPECT_EQ((uint32)'repl', found.what);
	EXPECT_TRUE(found.IsEmpty());

	// A failed find keeps the target as it was.
	BMessage target('tgt ');
	target.AddInt32("kept", 1);
	outer.AddInt32("number", 1);
	EXPECT_EQ(B_BAD_INDEX, outer.FindMessage("child", 2, &target));
	EXPECT_EQ(B_NAME_NOT_FOUND, outer.FindMessage("missing", &target));
	EXPECT_EQ(B_BAD_TYPE, outer.FindMessage("number", &target));
	EXPECT_EQ((uint32)'tgt ', target.what);
	EXPECT_EQ(1, target.GetInt32("kept", 0));
}


TEST(MessageTest, NestingIsLimited)
{
	// The innermost message sits 64 levels below the outermost one.
	BMessage chain('deep');
	for (int32 level = 0; level < 64; level++) {
		BMessage parent('deep');
		ASSERT_EQ(B_OK, parent.AddMessage("child", &chain)) << level;
		chain = parent;
	}
	BMessage tooDeep('deep');
	EXPECT_EQ(B_BAD_VALUE, tooDeep.AddMessage("child", &chain));
	EXPECT_TRUE(tooDeep.IsEmpty());

	// What was accepted can be found all the way down.
	BMessage walk = chain;
	int32 levels = 0;
	BMessage child;
	while (walk.FindMessage("child", &child) == B_OK) {
		walk = child;
		levels++;
	}
	EXPECT_EQ(64, levels);
}


TEST(MessageTest, HasSameData)
{
	BMessage a('aaaa');
	a.AddInt32("n", 1);
	a.AddString("s", "x");
	BMessage b('bbbb');
	b.AddString("s", "x");
	b.AddInt32("n", 1);

	// The what code is not data; the order of fields is, when asked.
	EXPECT_TRUE(a.HasSameData(b));
	EXPECT_FALSE(a.HasSameData(b, false));
	EXPECT_TRUE(a.HasSameData(a, false));

	b.AddInt32("n", 2);
	EXPECT_FALSE(a.HasSameData(b));
	b.RemoveData("n", 1);
	b.ReplaceString("s", "y");
	EXPECT_FALSE(a.HasSameData(b));
	b.ReplaceString("s", "x");
	b.AddBool("extra", false);
	EXPECT_FALSE(a.HasSameData(b));
	EXPECT_FALSE(b.HasSameData(a));

	// Nested messages with their fields in another order are the same
	// only to a deep comparison.
	BMessage outerA;
	BMessage outerB;
	outerA.AddMessage("child", &a);
	b.RemoveName("extra");
	b.what = 'aaaa';
	outerB.AddMessage("child", &b);
	EXPECT_FALSE(outerA.HasSameData(outerB, true, false));
	EXPECT_TRUE(outerA.HasSameData(outerB, true, true));
	EXPECT_FALSE(outerA.HasSameData(outerB, false, true));

	// A deep comparison still sees a different what in a nested message.
	b.what = 'bbbb';
	outerB.ReplaceMessage("child", &b);
	EXPECT_FALSE(outerA.HasSameData(outerB, true, true));
}


TEST(MessageTest, SizeIsLimited)
{
	BMessage message;
	const size_t kBig = 40 * 1024 * 1024;
	std::vector<char> block(kBig, 'x');
	ASSERT_EQ(B_OK, message.AddData("big", B_RAW_TYPE, block.data(), kBig,
		false));
	EXPECT_EQ(B_NO_MEMORY, message.AddData("big", B_RAW_TYPE, block.data(),
		kBig, false));
	EXPECT_EQ(B_NO_MEMORY, message.AddData("other", B_RAW_TYPE, block.data(),
		kBig, false));
	EXPECT_EQ(B_NO_MEMORY, message.AddData("huge", B_RAW_TYPE, block.data(),
		B_MAX_FLATTENED_MESSAGE_SIZE + 1, false));
	EXPECT_EQ(B_NO_MEMORY, message.ReplaceData("big", B_RAW_TYPE, 0,
		block.data(), B_MAX_FLATTENED_MESSAGE_SIZE - 16));

	EXPECT_EQ(1, message.CountNames(B_ANY_TYPE));
	EXPECT_LE(message.FlattenedSize(), B_MAX_FLATTENED_MESSAGE_SIZE);
	EXPECT_EQ((ssize_t)(28 + 12 + 3 + 4 + kBig), message.FlattenedSize());
}


TEST(MessageTest, PrintToStreamShowsEveryValue)
{
	BMessage message('FMpr');
	message.AddInt32("LineLength", 255);
	message.AddString("FontFamily", "Noto Sans Mono");
	message.AddInt8("negative", -1);
	message.AddBool("wrap", true);
	message.AddFloat("size", 12.5f);
	message.AddPoint("where", BPoint(3, 4));
	message.AddRect("frame", BRect(0, 0, 99, 49));
	message.AddString("list", "a");
	message.AddString("list", "b");
	const char* odd = "tab\there \"quoted\" \x01 caf\xc3\xa9 \xff";
	message.AddString("odd", odd);
	message.AddData("blob", B_RAW_TYPE, "12345678", 8);
	message.AddData("bytes", 0x01020304, "", 0);
	message.AddMessenger("target", make_messenger(1, 2, 3, true));
	BMessage inner(1234);
	inner.AddInt64("deep", 1);
	message.AddMessage("inner", &inner);

	std::string output = print_to_string(message);
	const char* expectedLines[] = {
		"BMessage('FMpr') {\n",
		"        LineLength = int32(255 or 0xff)\n",
		"        FontFamily = string(\"Noto Sans Mono\", 15 bytes)\n",
		"        negative = int8(-1 or 0xff)\n",
		"        wrap = bool(true)\n",
		"        size = float(12.5)\n",
		"        where = BPoint(x:3, y:4)\n",
		"        frame = BRect(l:0, t:0, r:99, b:49)\n",
		"        list[0] = string(\"a\", 2 bytes)\n",
		"        list[1] = string(\"b\", 2 bytes)\n",
		"        blob = raw('RAWT', 8 bytes)\n",
		"        bytes = raw(0x01020304, 0 bytes)\n",
		"        target = BMessenger(team:1, looper:2, handler:3, "
			"preferred)\n",
		"        inner = BMessage(1234) {\n"
		"                deep = int64(1 or 0x1)\n"
		"        }\n",
	};
	for (const char* line : expectedLines)
		EXPECT_NE(std::string::npos, output.find(line)) << line << output;
	// Control characters and bytes that are not UTF-8 come escaped, the
	// well-formed UTF-8 as it is.
	std::string oddLine = "        odd = string(\"tab\\there \\\"quoted\\\" "
		"\\x01 caf\xc3\xa9 \\xff\", " + std::to_string(strlen(odd) + 1)
		+ " bytes)\n";
	EXPECT_NE(std::string::npos, output.find(oddLine)) << oddLine << output;

	// The listing ends with the closing brace of the outer message.
	EXPECT_EQ("}\n", output.substr(output.size() - 2));

	EXPECT_EQ("BMessage(0) {\n}\n", print_to_string(BMessage()));
}


// Dumps from several threads at once once ran into each other line by
// line; each must reach standard output whole.
TEST(MessageTest, PrintToStreamFromThreadsStaysWhole)
{
	const int kThreads = 4;
	const int kRounds = 10;
	const int kFields = 6;
	// Long values take many calls to print, so that the threads' dumps
	// overlap in time.
	const std::string value(5000, 'v');
	testing::internal::CaptureStdout();
	// All threads start printing together.
	std::atomic<int> waiting(kThreads);
	std::vector<std::thread> threads;
	for (int t = 0; t < kThreads; t++) {
		threads.emplace_back([t, &waiting, &value]() {
			BMessage message('TH00' + t);
			for (int f = 0; f < kFields; f++) {
				message.AddString(("thread" + std::to_string(t)).c_str(),
					value.c_str());
			}
			waiting--;
			while (waiting > 0)
				std::this_thread::yield();
			for (int round = 0; round < kRounds; round++)
				message.PrintToStream();
		});
	}
	for (std::thread& thread : threads)
		thread.join();
	fflush(stdout);
	std::string output = testing::internal::GetCapturedStdout();

	// Every dump is its header, its own fields in order, and the brace.
	std::istringstream lines(output);
	std::string line;
	int dumps = 0;
	while (std::getline(lines, line)) {
		ASSERT_EQ(0u, line.find("BMessage('TH0")) << line.substr(0, 80);
		ASSERT_GE(line.size(), 14u);
		// The what code's last character is the thread's number.
		std::string name = std::string("thread") + line[13];
		for (int f = 0; f < kFields; f++) {
			ASSERT_TRUE((bool)std::getline(lines, line));
			std::string expected = "        " + name + "["
				+ std::to_string(f) + "] = string(\"" + value
				+ "\", 5001 bytes)";
			ASSERT_TRUE(line == expected) << line.substr(0, 80);
		}
		ASSERT_TRUE((bool)std::getline(lines, line));
		ASSERT_EQ("}", line);
		dumps++;
	}
	EXPECT_EQ(kThreads * kRounds, dumps);
}
