/*
 * The in-memory streams.
 *
 * Cases: BMallocIO grows on writes past its end and fills gaps with
 * zeros; SetSize shrinks and grows; positions before the start and unknown
 * seek modes are refused; BMemoryIO never writes past its block and a
 * read-only one refuses every write; ReadExactly and WriteExactly report
 * a stream that ends early; GetSize leaves the position alone.
 */
#include <gtest/gtest.h>

#include <DataIO.h>

#include <string.h>
#include <unistd.h>

#include <string>


TEST(DataIOTest, MallocIOGrowsAndZeroFillsGaps)
{
	BMallocIO io;
	io.SetBlockSize(3);
	ASSERT_EQ(io.WriteAt(5, "ab", 2), 2);
	ASSERT_EQ(io.BufferLength(), 7u);
	const char* data = static_cast<const char*>(io.Buffer());
	EXPECT_EQ(std::string(data, 7), std::string("\0\0\0\0\0ab", 7));

	ASSERT_EQ(io.Seek(0, SEEK_END), 7);
	ASSERT_EQ(io.Write("cd", 2), 2);
	EXPECT_EQ(io.Position(), 9);

	ASSERT_EQ(io.SetSize(4), B_OK);
	char buffer[16];
	EXPECT_EQ(io.ReadAt(0, buffer, sizeof(buffer)), 4);
	EXPECT_EQ(io.ReadAt(4, buffer, sizeof(buffer)), 0);
	ASSERT_EQ(io.SetSize(0), B_OK);
	EXPECT_EQ(io.BufferLength(), 0u);
}


TEST(DataIOTest, SeeksBeforeTheStartAreRefused)
{
	BMallocIO io;
	io.Write("hello", 5);
	EXPECT_EQ(io.Seek(-6, SEEK_END), B_BAD_VALUE);
	EXPECT_EQ(io.Position(), 5);
	EXPECT_EQ(io.Seek(-5, SEEK_CUR), 0);
	EXPECT_EQ(io.Seek(1, 42), B_BAD_VALUE);

	off_t size = 0;
	io.Seek(2, SEEK_SET);
	ASSERT_EQ(io.GetSize(&size), B_OK);
	EXPECT_EQ(size, 5);
	EXPECT_EQ(io.Position(), 2);
}


TEST(DataIOTest, MemoryIOStaysInsideItsBlock)
{
	char block[4] = { 'w', 'x', 'y', 'z' };
	BMemoryIO io(block, sizeof(block));
	io.Seek(2, SEEK_SET);
	EXPECT_EQ(io.Write("1234", 4), 2);
	EXPECT_EQ(memcmp(block, "wx12", 4), 0);
	EXPECT_EQ(io.Write("5", 1), 0);
	EXPECT_EQ(io.SetSize(5), B_BAD_VALUE);

	const char constant[3] = { 'a', 'b', 'c' };
	BMemoryIO readOnly(constant, sizeof(constant));
	EXPECT_EQ(readOnly.WriteAt(0, "z", 1), B_NOT_ALLOWED);
	EXPECT_EQ(readOnly.SetSize(1), B_NOT_ALLOWED);
	char out[3];
	EXPECT_EQ(readOnly.Read(out, 3), 3);
	EXPECT_EQ(memcmp(out, "abc", 3), 0);
}


TEST(DataIOTest, ExactTransfersReportAnEarlyEnd)
{
	const char source[5] = { 1, 2, 3, 4, 5 };
	BMemoryIO input(source, sizeof(source));
	char buffer[8];
	size_t moved = 0;
	EXPECT_EQ(input.ReadExactly(buffer, 8, &moved), B_IO_ERROR);
	EXPECT_EQ(moved, 5u);

	char block[3];
	BMemoryIO output(block, sizeof(block));
	EXPECT_EQ(output.WriteExactly("abcd", 4, &moved), B_IO_ERROR);
	EXPECT_EQ(moved, 3u);

	BMallocIO growing;
	EXPECT_EQ(growing.WriteExactly("abcd", 4, &moved), B_OK);
	EXPECT_EQ(moved, 4u);
}
