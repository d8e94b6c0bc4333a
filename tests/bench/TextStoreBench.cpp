/*
 * How fast the text view's storage is on a large document: 100 MB of
 * 64-byte lines loaded into a TextBuffer and LineIndex, a one-byte edit
 * at the end and in the middle, a line lookup at the end, and a search
 * for a string that is not there. Prints one figure per operation.
 */
#include "LineIndex.h"
#include "TextBuffer.h"

#include <stdio.h>

#include <chrono>
#include <string>

using BPrivate::LineIndex;
using BPrivate::TextBuffer;

namespace {

typedef std::chrono::steady_clock Clock;

double
milliseconds_since(Clock::time_point start)
{
	return std::chrono::duration<double, std::milli>(Clock::now() - start)
		.count();
}

}	// namespace


int
main()
{
	const int32 kLineLength = 64;
	const int32 kTotal = 100 * 1024 * 1024;

	std::string text;
	text.reserve(kTotal);
	for (int32 line = 0; (int32)text.size() + kLineLength <= kTotal;
			line++) {
		char row[128];
		snprintf(row, sizeof(row), "%08d the quick brown fox jumps over the "
			"lazy dog 0123456789", line);
		std::string padded(row);
		padded.resize(kLineLength - 1, '.');
		text += padded;
		text += '\n';
	}

	TextBuffer buffer;
	LineIndex lines;
	Clock::time_point start = Clock::now();
	if (buffer.SetTo(text.data(), (int32)text.size()) != B_OK
		|| lines.SetTo(text.data(), (int32)text.size()) != B_OK) {
		fprintf(stderr, "textstore_bench: out of memory\n");
		return 1;
	}
	printf("load %d MB, %d lines: %.1f ms\n", kTotal / (1024 * 1024),
		lines.CountLines(), milliseconds_since(start));

	int32 end = buffer.Length();
	start = Clock::now();
	buffer.Insert(end, "x", 1);
	lines.Insert(end, "x", 1);
	printf("insert one byte at the end: %.3f ms\n", milliseconds_since(start));

	// The first edit in the middle moves the gaps there; the second one,
	// next to it, is what each further keystroke costs.
	int32 middle = buffer.Length() / 2;
	start = Clock::now();
	buffer.Insert(middle, "\n", 1);
	lines.Insert(middle, "\n", 1);
	printf("insert a newline in the middle (gaps move): %.3f ms\n",
		milliseconds_since(start));
	start = Clock::now();
	buffer.Insert(middle + 1, "y", 1);
	lines.Insert(middle + 1, "y", 1);
	printf("insert the next byte in the middle: %.3f ms\n",
		milliseconds_since(start));

	start = Clock::now();
	int32 line = 0;
	for (int32 i = 0; i < 1000; i++)
		line += lines.LineAt(buffer.Length() - 1 - i);
	printf("LineAt at the end: %.3f us each (line %d)\n",
		milliseconds_since(start), line / 1000);

	const char kAbsent[] = "this string is not in the text";
	start = Clock::now();
	int32 found = buffer.Find(kAbsent, sizeof(kAbsent) - 1);
	printf("scan %d MB for an absent string: %.1f ms (found at %d)\n",
		buffer.Length() / (1024 * 1024), milliseconds_since(start), found);
	return 0;
}
