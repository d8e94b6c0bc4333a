/*
 * How a BTextView in a window on the offscreen display copes with large
 * files: a generated file of 100 MB of 64-byte lines and one with a
 * single 10 MB line, each opened and drawn, typed into at the end (and,
 * for the lines, in the middle), gone to the end, asked for CurrentLine
 * at the end and scanned with ByteAt for a string that is not there. For
 * comparison, the same machine's time to read the file into memory and to
 * memmem it. Peak memory is the rise of the process's resident set from
 * just before the file is opened to its highest point.
 *
 * The files are written to /tmp and deleted afterwards. The view wraps
 * at 80 characters of the 12 point fixed font and keeps its scroll bars
 * up to date, as a document window does.
 */
#include <Application.h>
#include <File.h>
#include <ScrollBar.h>
#include <ScrollView.h>
#include <TextView.h>
#include <Window.h>

#include <TestDriver.h>

#include "BenchSupport.h"

#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

namespace {

typedef BenchClock Clock;





class BenchApplication : public BApplication {
public:
	BenchApplication() : BApplication("application/x-vnd.Orvane-TextBench") {}
};


bool
write_file(const char* path, const std::string& bytes)
{
	FILE* file = fopen(path, "wb");
	if (file == NULL)
		return false;
	bool written = fwrite(bytes.data(), 1, bytes.size(), file)
		== bytes.size();
	return fclose(file) == 0 && written;
}


std::string
lines_file()
{
	const size_t kTotal = 100 * 1024 * 1024;
	std::string text;
	text.reserve(kTotal);
	char row[128];
	for (int line = 0; text.size() + 64 <= kTotal; line++) {
		snprintf(row, sizeof(row), "%08d the quick brown fox jumps over "
			"the lazy dog 0123456789", line);
		std::string padded(row);
		padded.resize(63, '.');
		text += padded;
		text += '\n';
	}
	return text;
}


std::string
long_line_file()
{
	const size_t kTotal = 10 * 1024 * 1024;
	std::string text;
	text.reserve(kTotal);
	const char* words[] = { "lorem ", "ipsum ", "dolor ", "sit ", "amet, ",
		"consectetur ", "adipiscing ", "elit " };
	for (int i = 0; text.size() < kTotal; i++)
		text += words[i % 8];
	text.resize(kTotal);
	return text;
}


// The baseline: reading the file into memory, and memmem over it.
void
baseline(const char* path, const char* absent)
{
	Clock::time_point start = Clock::now();
	double cpu = thread_milliseconds();
	int descriptor = open(path, O_RDONLY);
	off_t size = lseek(descriptor, 0, SEEK_END);
	char* bytes = (char*)malloc(size);
	ssize_t got = pread(descriptor, bytes, size, 0);
	close(descriptor);
	double readTime = milliseconds_since(start);
	double readCPU = thread_milliseconds() - cpu;
	start = Clock::now();
	cpu = thread_milliseconds();
	const void* found = memmem(bytes, got, absent, strlen(absent));
	double searchTime = milliseconds_since(start);
	double searchCPU = thread_milliseconds() - cpu;
	printf("  baseline: read into memory %.1f ms (%.1f ms processor), "
		"memmem %.1f ms (%.1f ms processor)%s\n", readTime, readCPU,
		searchTime, searchCPU, found != NULL ? " (found!)" : "");
	free(bytes);
}


// The same scan as a search through ByteAt, as the editor's Find does.
int32
scan(BTextView* view, const char* absent)
{
	int32 length = view->TextLength();
	int32 needle = (int32)strlen(absent);
	int32 matched = 0;
	for (int32 at = 0; at < length; at++) {
		if (view->ByteAt(at) == (uchar)absent[matched]) {
			if (++matched == needle)
				return at - needle + 1;
		} else
			matched = view->ByteAt(at) == (uchar)absent[0] ? 1 : 0;
	}
	return -1;
}


// Types 21 characters at offset, redrawing after each; the first (which
// may move the buffer's gap there and lay out what lies before it) is
// reported apart from the mean and worst of the other 20.
void
type_at(const char* where, BWindow* window, BTextView* view, int32 offset)
{
	view->Select(offset, offset);
	window->UpdateIfNeeded();
	double first = 0;
	double worst = 0;
	double total = 0;
	for (int i = 0; i <= 20; i++) {
		Clock::time_point start = Clock::now();
		view->KeyDown("x", 1);
		window->UpdateIfNeeded();
		double time = milliseconds_since(start);
		if (i == 0) {
			first = time;
			continue;
		}
		worst = std::max(worst, time);
		total += time;
	}
	printf("  type %s and redraw: first %.2f ms, then mean %.3f ms, "
		"worst %.2f ms\n", where, first, total / 20, worst);
}


void
measure(TestDriver& driver, const char* name, std::string bytes,
	bool middleToo)
{
	const char* path = "/tmp/orvane-textview-bench.txt";
	const char* absent = "no such text is in the file";
	if (!write_file(path, bytes)) {
		fprintf(stderr, "textview_bench: cannot write %s\n", path);
		exit(1);
	}
	size_t fileSize = bytes.size();
	printf("%s (%zu bytes)\n", name, fileSize);
	std::string().swap(bytes);
	reset_peak();
	long before = status_kilobytes("VmRSS");

	BWindow* window = new BWindow(BRect(50, 50, 849, 649), "Bench",
		B_TITLED_WINDOW, 0);
	BFont font(be_fixed_font);
	font.SetSize(12);
	float width = font.StringWidth("M") * 80 + 1;
	BRect frame = window->Bounds();
	frame.right -= B_V_SCROLL_BAR_WIDTH;
	frame.bottom -= B_H_SCROLL_BAR_HEIGHT;
	BTextView* view = new BTextView(frame, "text",
		BRect(0, 0, width, 1), B_FOLLOW_ALL_SIDES, B_WILL_DRAW);
	view->SetFontAndColor(&font);
	window->AddChild(new BScrollView("scroll", view, B_FOLLOW_ALL_SIDES, 0,
		true, true, B_NO_BORDER));
	window->Show();
	driver.WaitForIdle();

	window->Lock();
	view->MakeFocus(true);
	Clock::time_point start = Clock::now();
	double cpu = thread_milliseconds();
	BFile file(path, B_READ_ONLY);
	off_t size = 0;
	file.GetSize(&size);
	view->SetText(&file, 0, (int32)size);
	window->UpdateIfNeeded();
	window->Sync();
	printf("  open and draw the first frame: %.1f ms (%.1f ms processor)\n",
		milliseconds_since(start), thread_milliseconds() - cpu);

	if (middleToo)
		type_at("in the middle", window, view, view->TextLength() / 2);

	start = Clock::now();
	cpu = thread_milliseconds();
	view->Select(view->TextLength(), view->TextLength());
	view->ScrollToSelection();
	window->UpdateIfNeeded();
	printf("  go to the end: %.1f ms (%.1f ms processor)\n",
		milliseconds_since(start), thread_milliseconds() - cpu);

	start = Clock::now();
	int32 line = view->CurrentLine();
	printf("  CurrentLine at the end (line %d): %.3f ms\n", (int)line,
		milliseconds_since(start));

	type_at("at the end", window, view, view->TextLength());
	start = Clock::now();
	line = view->CurrentLine();
	printf("  CurrentLine after typing: %.3f ms\n",
		milliseconds_since(start));

	start = Clock::now();
	cpu = thread_milliseconds();
	int32 found = scan(view, absent);
	printf("  ByteAt scan of the whole text: %.1f ms (%.1f ms processor)%s\n",
		milliseconds_since(start), thread_milliseconds() - cpu,
		found >= 0 ? " (found!)" : "");

	long peak = status_kilobytes("VmHWM");
	printf("  peak memory: %.1f MB more than before (%.2f x the file)\n",
		(peak - before) / 1024.0, (peak - before) * 1024.0 / fileSize);
	window->Quit();
	driver.WaitForIdle();

	baseline(path, absent);
	unlink(path);
}

}	// namespace


// With "lines" or "line" as the argument, only that file is measured, so
// that its peak memory is not lowered by memory the other one left.
int
main(int argc, char** argv)
{
	std::string only = argc > 1 ? argv[1] : "";
	setenv("KITS_DISPLAY", "offscreen", 1);
	TestDriver driver;
	if (driver.Launch<BenchApplication>() != B_OK) {
		fprintf(stderr, "textview_bench: the application did not start\n");
		return 1;
	}
	if (only.empty() || only == "lines")
		measure(driver, "100 MB of 64-byte lines", lines_file(), true);
	if (only.empty() || only == "line")
		measure(driver, "one 10 MB line", long_line_file(), false);
	driver.Quit();
	return 0;
}
