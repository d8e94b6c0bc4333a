/*
 * The capture of standard output on its own:
 * - complete lines are there as soon as they are read, in order, without
 *   their newlines, empty lines included;
 * - a last line without a newline comes when the capture stops;
 * - after the capture, standard output is the original again and
 *   nothing more is captured; starting twice is refused.
 */
#include "OutputCapture.h"

#include <gtest/gtest.h>

#include <stdio.h>

using BPrivate::OutputCapture;


TEST(OutputCaptureTest, LinesInOrderAndTheLastOnStop)
{
	OutputCapture capture;
	ASSERT_EQ(capture.Start(), B_OK);
	EXPECT_EQ(capture.Start(), B_BUSY);

	printf("first\n\nthird");
	fflush(stdout);
	EXPECT_TRUE(capture.WaitForLine("first", 10000000));
	EXPECT_FALSE(capture.WaitForLine("third", 100000));
	std::vector<std::string> lines = capture.Lines();
	ASSERT_EQ(lines.size(), 2u);
	EXPECT_EQ(lines[0], "first");
	EXPECT_EQ(lines[1], "");

	capture.Stop();
	lines = capture.Lines();
	ASSERT_EQ(lines.size(), 3u);
	EXPECT_EQ(lines[2], "third");

	// Not captured any more.
	printf("after the capture\n");
	fflush(stdout);
	EXPECT_EQ(capture.Lines().size(), 3u);
	capture.Stop();
}
