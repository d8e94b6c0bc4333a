/*
 * How the editor's find and replace cope with large files, measured on
 * the document text view in a window on the offscreen display:
 *
 * - Find of a string that is not in 100 MB of 64-byte lines, against
 *   grep -F -c for the same string in the same file;
 * - Replace All of the 1.16 million occurrences of a 3-byte string in
 *   that file, the redraw included, against sed s/x/y/g on the file; its
 *   peak memory, and the undo that takes it back;
 * - the same Replace All on a 100 MB file whose first 10 MB are one line,
 *   against the first file.
 *
 * Each time is the best of three runs, the tools' and the view's alike,
 * so that a loaded machine distorts the ratios less. The diagnostic lines
 * the view prints go to /dev/null; the figures to standard error.
 * Peak memory is the rise of the resident set from just before the file
 * is opened to its highest point during the replacement and its undo.
 */
#include <Application.h>
#include <Entry.h>
#include <Font.h>
#include <Message.h>
#include <ScrollBar.h>
#include <ScrollView.h>
#include <StringView.h>
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
#include <functional>
#include <string>

#include "MessageCodes.h"
#include "Settings.h"
#include "ZELTextView.h"

namespace {

typedef BenchClock Clock;

const char* kPath = "/tmp/orvane-search-bench.txt";
const char* kAbsent = "no such text is in the file";
const size_t kTotal = 100 * 1024 * 1024;




double
best_of_three(const std::function<void()>& run)
{
	double best = 1e30;
	for (int i = 0; i < 3; i++) {
		Clock::time_point start = Clock::now();
		run();
		best = std::min(best, milliseconds_since(start));
	}
	return best;
}


double
tool_milliseconds(const std::string& command)
{
	return best_of_three([&] {
		if (system((command + " >/dev/null 2>&1").c_str()) == -1)
			fprintf(stderr, "search_bench: cannot run %s\n", command.c_str());
	});
}




// 64-byte lines; 71 of every 100 hold "fox", the others "cow", which
// gives 1163264 occurrences in 100 MB. With longLine, the first 10 MB
// are one line: their line ends are spaces.
void
write_file(bool longLine)
{
	std::string text;
	text.reserve(kTotal);
	char row[128];
	for (int line = 0; text.size() + 64 <= kTotal; line++) {
		snprintf(row, sizeof(row), "%08d the quick brown %s jumps over "
			"the lazy dog 0123456789", line, line % 100 < 71 ? "fox" : "cow");
		std::string padded(row);
		padded.resize(63, '.');
		text += padded;
		text += longLine && text.size() < 10 * 1024 * 1024 ? ' ' : '\n';
	}
	FILE* file = fopen(kPath, "wb");
	if (file == NULL || fwrite(text.data(), 1, text.size(), file)
			!= text.size() || fclose(file) != 0) {
		fprintf(stderr, "search_bench: cannot write %s\n", kPath);
		exit(1);
	}
}


class BenchApplication : public BApplication {
public:
	BenchApplication()
		: BApplication("application/x-vnd.Orvane-SearchBench") {}
};


// A document window's text view, wrapping at 80 characters of the 12
// point fixed font, with the file loaded and drawn.
ZELTextView*
open_view(TestDriver& driver, BWindow** _window)
{
	BWindow* window = new BWindow(BRect(50, 50, 849, 649), "Bench",
		B_TITLED_WINDOW, 0);
	BMessage settings(kMsgSettingsRecord);
	DefaultSettings(&settings);
	settings.ReplaceInt32(LineLength, 80);
	BRect frame = window->Bounds();
	frame.right -= B_V_SCROLL_BAR_WIDTH;
	frame.bottom -= B_H_SCROLL_BAR_HEIGHT;
	entry_ref ref;
	get_ref_for_path(kPath, &ref);
	BStringView* status = new BStringView(BRect(0, 0, 10, 10), "status", "");
	ZELTextView* view = new ZELTextView(frame, &settings, status, &ref);
	window->AddChild(new BScrollView("scroll", view, B_FOLLOW_ALL_SIDES, 0,
		true, true, B_NO_BORDER));
	window->AddChild(status);
	window->Show();
	driver.WaitForIdle();
	*_window = window;
	return view;
}


double
replace_all(TestDriver& driver, const char* name, bool longLine,
	double sedTime, double reference)
{
	write_file(longLine);
	fprintf(stderr, "%s\n", name);
	reset_peak();
	long before = status_kilobytes("VmRSS");
	BWindow* window;
	ZELTextView* view = open_view(driver, &window);
	window->Lock();
	int32 length = view->TextLength();

	double replaced = 1e30;
	double replacedCPU = 1e30;
	double undone = 1e30;
	for (int i = 0; i < 3; i++) {
		view->Select(0, 0);
		Clock::time_point start = Clock::now();
		double cpu = thread_milliseconds();
		view->ReplaceAll("fox", "dog");
		window->UpdateIfNeeded();
		replaced = std::min(replaced, milliseconds_since(start));
		replacedCPU = std::min(replacedCPU, thread_milliseconds() - cpu);
		start = Clock::now();
		view->Undo(NULL);
		window->UpdateIfNeeded();
		undone = std::min(undone, milliseconds_since(start));
	}
	bool intact = view->TextLength() == length
		&& memmem(view->Text(), length, "brown dog", 9) == NULL;
	long peak = status_kilobytes("VmHWM");
	window->Unlock();
	window->PostMessage(B_QUIT_REQUESTED);
	driver.WaitForIdle();

	fprintf(stderr, "  Replace All, redraw included: %.0f ms (%.0f ms "
		"processor; %.2f x sed %.0f ms)", replaced, replacedCPU,
		replaced / sedTime, sedTime);
	if (reference > 0)
		fprintf(stderr, ", %.2f x the first file", replaced / reference);
	fprintf(stderr, "\n  undo: %.0f ms%s\n", undone,
		intact ? "" : " (the text did not come back!)");
	fprintf(stderr, "  peak memory: %.1f MB more than before opening "
		"(%.2f x the file)\n", (peak - before) / 1024.0,
		(peak - before) * 1024.0 / length);
	return replaced;
}

}	// namespace


int
main()
{
	setenv("KITS_DISPLAY", "offscreen", 1);
	TestDriver driver;
	if (driver.Launch<BenchApplication>() != B_OK) {
		fprintf(stderr, "search_bench: the application did not start\n");
		return 1;
	}
	// A million replacements print two million diagnostic lines, which
	// the driver would keep: they go to /dev/null instead, as they would
	// to a terminal nobody reads.
	fflush(stdout);
	int quiet = open("/dev/null", O_WRONLY);
	if (quiet < 0 || dup2(quiet, STDOUT_FILENO) < 0)
		return 1;

	write_file(false);
	fprintf(stderr, "100 MB of 64-byte lines, 1163264 occurrences of fox\n");
	double grepTime = tool_milliseconds(std::string("grep -F -c '")
		+ kAbsent + "' " + kPath);
	BWindow* window;
	ZELTextView* view = open_view(driver, &window);
	window->Lock();
	double findTime = best_of_three([&] { view->Find(kAbsent); });
	window->Unlock();
	window->PostMessage(B_QUIT_REQUESTED);
	driver.WaitForIdle();
	fprintf(stderr, "  Find of an absent string: %.0f ms (%.2f x grep -F -c"
		" %.0f ms)\n", findTime, findTime / grepTime, grepTime);

	double sedTime = tool_milliseconds(std::string("sed s/fox/dog/g ")
		+ kPath);
	double first = replace_all(driver, "Replace All, 100 MB of lines",
		false, sedTime, 0);
	write_file(true);
	sedTime = tool_milliseconds(std::string("sed s/fox/dog/g ") + kPath);
	replace_all(driver, "Replace All, 100 MB whose first 10 MB are one line",
		true, sedTime, first);

	unlink(kPath);
	driver.Quit();
	return 0;
}
