/*
 * How a BTextView in a window on the offscreen display copes with large
 * files, timed as a person waits: from the input (a key, a jump with
 * Select() and ScrollToSelection()) to the frame drawn and synced with the
 * display server.
 *
 * Files: "lines" is 100 MB of 64-byte lines (A); "long" is 45 MB of such
 * lines, one line of 10 MB of words, and 45 MB of lines again (B);
 * "base64" is B with a 10 MB line without spaces. Each is opened and
 * drawn; then keys are typed at places that matter (for A after jumping
 * to its middle and to its end, for B at the start, middle and end of the
 * long line before and after it is laid out completely), and the view
 * goes to the end. Per place the jump with the first key is timed, then
 * 100 more keys (median and 99th percentile, that is the worst but one).
 * Beside them, in the same run, the baseline: reading the file into
 * memory and counting its lines. Peak memory is the process's highest
 * resident set (VmHWM) from just before the file is opened, whole and as
 * the rise over what it held before.
 *
 * The files are written to /tmp, named after the process, and deleted
 * afterwards. The view wraps at 80 characters of the 12 point fixed font
 * and keeps its scroll bars up to date, as a document window does. With
 * an argument only that file is measured, so that its peak memory is its
 * own.
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




// A clock and processor timer started at construction.
struct Stopwatch {
	Clock::time_point	start = Clock::now();
	double				cpu = thread_milliseconds();

	double Elapsed() const { return milliseconds_since(start); }
	double Processor() const { return thread_milliseconds() - cpu; }
};



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


// 64-byte lines, numbered, up to size bytes.
void
append_lines(std::string& text, size_t size, int& number)
{
	char row[128];
	while (text.size() + 64 <= size) {
		snprintf(row, sizeof(row), "%08d the quick brown fox jumps over "
			"the lazy dog 0123456789", number++);
		std::string padded(row);
		padded.resize(63, '.');
		text += padded;
		text += '\n';
	}
}


// 10 MB of words, or of base64 without a space.
void
append_long_line(std::string& text, bool spaces)
{
	const size_t kLength = 10 * 1024 * 1024;
	size_t end = text.size() + kLength;
	const char* words[] = { "lorem ", "ipsum ", "dolor ", "sit ", "amet, ",
		"consectetur ", "adipiscing ", "elit " };
	const char* base64
		= "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
	for (uint32 i = 0; text.size() < end; i++) {
		if (spaces)
			text += words[i % 8];
		else
			text += base64[(i * 2654435761u) >> 26];
	}
	text.resize(end);
	text += '\n';
}


// The file and, for B, where its long line starts.
std::string
make_file(const std::string& kind, int32& _longStart)
{
	const size_t kMB = 1024 * 1024;
	std::string text;
	text.reserve(101 * kMB);
	int number = 0;
	_longStart = -1;
	if (kind == "lines") {
		append_lines(text, 100 * kMB, number);
		return text;
	}
	append_lines(text, 45 * kMB, number);
	_longStart = (int32)text.size();
	append_long_line(text, kind == "long");
	append_lines(text, text.size() + 45 * kMB, number);
	return text;
}


// The baseline: reading the file into memory and counting its lines.
double
baseline(const char* path)
{
	Stopwatch watch;
	int descriptor = open(path, O_RDONLY);
	off_t size = lseek(descriptor, 0, SEEK_END);
	char* bytes = (char*)malloc(size);
	ssize_t got = pread(descriptor, bytes, size, 0);
	close(descriptor);
	long lines = 1;
	for (const char* at = bytes; at < bytes + got
			&& (at = (const char*)memchr(at, '\n', bytes + got - at))
				!= NULL; at++) {
		lines++;
	}
	double time = watch.Elapsed();
	printf("  baseline: read into memory and count %ld lines: %.1f ms "
		"(%.1f ms processor)\n", lines, time, watch.Processor());
	free(bytes);
	return time;
}


// The value that percent of the values do not exceed (of 100 values the
// 99th percentile is the worst but one).
double
percentile(std::vector<double> values, int percent)
{
	std::sort(values.begin(), values.end());
	size_t rank = (values.size() * percent + 99) / 100;
	return values[std::clamp(rank, (size_t)1, values.size()) - 1];
}


struct Bench {
	BWindow*			window;
	BTextView*			view;

	// From the input to the frame: the update drawn and the display
	// server caught up.
	void Frame()
	{
		window->UpdateIfNeeded();
		window->Sync();
	}

	// Jumps to offset as going to a line does, and types there: the
	// jump and first key together, then the other keys one by one.
	void TypeAt(const char* where, int32 offset, int keys = 100)
	{
		Stopwatch first;
		view->Select(offset, offset);
		view->ScrollToSelection();
		Frame();
		view->KeyDown("x", 1);
		Frame();
		double firstTime = first.Elapsed();
		double firstCPU = first.Processor();
		std::vector<double> times;
		std::vector<double> cpu;
		for (int i = 0; i < keys; i++) {
			Stopwatch key;
			view->KeyDown("x", 1);
			Frame();
			times.push_back(key.Elapsed());
			cpu.push_back(key.Processor());
		}
		printf("  %s: jump and first key %.1f ms (%.1f processor); "
			"then median %.3f ms, p99 %.2f ms (processor %.3f, %.2f)\n",
			where, firstTime, firstCPU, percentile(times, 50),
			percentile(times, 99), percentile(cpu, 50), percentile(cpu, 99));
	}

	void GoToEnd(double baseTime)
	{
		Stopwatch watch;
		view->Select(view->TextLength(), view->TextLength());
		view->ScrollToSelection();
		Frame();
		printf("  go to the end (everything laid out): %.1f ms "
			"(%.1f ms processor), %.2f x the baseline\n", watch.Elapsed(),
			watch.Processor(), watch.Elapsed() / baseTime);
	}

	// Back to the top, with the layout discarded as a new tab width
	// discards it.
	void Restart()
	{
		view->Select(0, 0);
		view->ScrollToSelection();
		view->SetTabWidth(view->TabWidth());
		Frame();
	}
};


void
measure(TestDriver& driver, const std::string& kind)
{
	// Of this process alone: other benches may run at the same time.
	char path[64];
	snprintf(path, sizeof(path), "/tmp/orvane-textview-bench-%d.txt",
		(int)getpid());
	int32 longStart;
	std::string bytes = make_file(kind, longStart);
	if (!write_file(path, bytes)) {
		fprintf(stderr, "textview_bench: cannot write %s\n", path);
		exit(1);
	}
	size_t fileSize = bytes.size();
	std::string().swap(bytes);
	printf("%s (%zu bytes)\n", kind.c_str(), fileSize);
	double baseTime = baseline(path);
	reset_peak();
	long before = status_kilobytes("VmRSS");

	Bench bench;
	bench.window = new BWindow(BRect(50, 50, 849, 649), "Bench",
		B_TITLED_WINDOW, 0);
	BFont font(be_fixed_font);
	font.SetSize(12);
	float width = font.StringWidth("M") * 80 + 1;
	BRect frame = bench.window->Bounds();
	frame.right -= B_V_SCROLL_BAR_WIDTH;
	frame.bottom -= B_H_SCROLL_BAR_HEIGHT;
	bench.view = new BTextView(frame, "text", BRect(0, 0, width, 1),
		B_FOLLOW_ALL_SIDES, B_WILL_DRAW);
	bench.view->SetFontAndColor(&font);
	bench.window->AddChild(new BScrollView("scroll", bench.view,
		B_FOLLOW_ALL_SIDES, 0, true, true, B_NO_BORDER));
	bench.window->Show();
	driver.WaitForIdle();

	bench.window->Lock();
	bench.view->MakeFocus(true);
	Stopwatch open;
	BFile file(path, B_READ_ONLY);
	off_t size = 0;
	file.GetSize(&size);
	bench.view->SetText(&file, 0, (int32)size);
	bench.Frame();
	double openTime = open.Elapsed();
	printf("  open and draw the first frame: %.1f ms (%.1f ms processor), "
		"%.2f x the baseline\n", openTime, open.Processor(),
		openTime / baseTime);

	if (longStart < 0) {
		bench.GoToEnd(baseTime);
		// Each jump starts at the top of a text not laid out, as after
		// opening it.
		bench.Restart();
		bench.TypeAt("type after jumping to the middle",
			bench.view->TextLength() / 2);
		bench.Restart();
		bench.TypeAt("type after jumping to the end",
			bench.view->TextLength());
	} else {
		int32 length = 10 * 1024 * 1024;
		const char* names[] = { "start", "middle", "end" };
		int32 offsets[] = { 0, length / 2, length };
		for (int pass = 0; pass < 2; pass++) {
			if (pass == 1)
				bench.GoToEnd(baseTime);
			for (int place = 0; place < 3; place++) {
				std::string where = std::string("type at the ")
					+ names[place] + " of the long line, "
					+ (pass == 0 ? "before" : "after") + " a full layout";
				// The earlier keys moved the later places along.
				int32 typed = pass * 303 + place * 101;
				bench.TypeAt(where.c_str(),
					longStart + offsets[place] + typed);
			}
		}
	}

	long peak = status_kilobytes("VmHWM");
	printf("  peak memory: %.1f MB in all (%.2f x the file), %.1f MB more "
		"than before opening (%.2f x)\n", peak / 1024.0,
		peak * 1024.0 / fileSize, (peak - before) / 1024.0,
		(peak - before) * 1024.0 / fileSize);
	bench.window->Quit();
	driver.WaitForIdle();
	unlink(path);
}

}	// namespace


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
	for (const char* kind : { "lines", "long", "base64" }) {
		if (only.empty() || only == kind)
			measure(driver, kind);
	}
	driver.Quit();
	return 0;
}
