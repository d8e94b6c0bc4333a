/*
 * What the journal of unsaved changes costs a person typing, measured on
 * the editor's own document windows on the offscreen display:
 *
 * - a key typed in the middle of a small file and of 100 MB of 64-byte
 *   lines, from the key to the frame drawn and synced with the display
 *   server, with the journal on and, in the same run, off (no journal
 *   writer, as in a program without one): median and 99th percentile
 *   (of 100 values the worst but one). Each round opens two copies of
 *   the file, one window under each setting, and types in blocks of ten
 *   keys that take turns between them, so that both see the same
 *   machine and the journal's thread works during both; the figures are
 *   the min and median over the rounds of each round's ratio, and the
 *   times of all rounds;
 * - the journal bytes written per key in the 100 MB document, and the
 *   size its journal has after the keys;
 * - the time from a key to its journal written and synced on disk, the
 *   keys coming at random gaps of up to 300 ms as a person types.
 *
 * Keys come 20 ms apart, about as fast as a quick typist; the journal's
 * thread works in between on the other processor, as it would. The
 * files and journals go to a folder in /tmp, named after the process,
 * deleted afterwards; the diagnostic lines the editor prints go to
 * /dev/null, the figures to standard error.
 */
#include <Application.h>
#include <Entry.h>
#include <Message.h>
#include <Window.h>

#include <TestDriver.h>

#include "BenchSupport.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "JournalWriter.h"
#include "MessageCodes.h"
#include "ZELApp.h"
#include "ZELTextView.h"

namespace {

typedef BenchClock Clock;

const int kRounds = 4;
const int kKeys = 200;
// Keys typed in one window before the other takes its turn.
const int kBlock = 10;
const int kLatencyKeys = 60;


bool
write_file(const std::string& path, size_t size)
{
	std::string text;
	text.reserve(size + 64);
	char row[128];
	for (int line = 0; text.size() + 64 <= size; line++) {
		snprintf(row, sizeof(row), "%08d the quick brown fox jumps over "
			"the lazy dog 0123456789", line);
		std::string padded(row);
		padded.resize(63, '.');
		text += padded;
		text += '\n';
	}
	FILE* file = fopen(path.c_str(), "wb");
	return file != NULL
		&& fwrite(text.data(), 1, text.size(), file) == text.size()
		&& fclose(file) == 0;
}


// The bytes of the files in the folder.
off_t
folder_bytes(const std::string& folder)
{
	off_t total = 0;
	DIR* directory = opendir(folder.c_str());
	if (directory == NULL)
		return 0;
	while (struct dirent* entry = readdir(directory)) {
		struct stat st;
		if (entry->d_name[0] != '.'
			&& stat((folder + "/" + entry->d_name).c_str(), &st) == 0)
			total += st.st_size;
	}
	closedir(directory);
	return total;
}


struct Document {
	BWindow*		window = NULL;
	ZELTextView*	view = NULL;

	// The key, and the frame it makes, synced with the display server.
	void Type()
	{
		view->KeyDown("x", 1);
		window->UpdateIfNeeded();
		window->Sync();
	}
};


Document
open_document(TestDriver& driver, const std::string& path)
{
	Document document;
	entry_ref ref;
	if (get_ref_for_path(path.c_str(), &ref) != B_OK)
		return document;
	BMessage refs(B_REFS_RECEIVED);
	refs.AddRef("refs", &ref);
	be_app->PostMessage(&refs);
	document.window = driver.WaitForWindow(ref.name, 60000000);
	if (document.window == NULL)
		return document;
	document.view = driver.FindView<ZELTextView>(document.window);
	document.window->Lock();
	int32 middle = document.view->TextLength() / 2 / 64 * 64;
	document.view->Select(middle, middle);
	document.view->ScrollToSelection();
	document.window->UpdateIfNeeded();
	document.window->Sync();
	document.window->Unlock();
	return document;
}


// The program ends, for this window, without a word on its changes.
void
close_document(TestDriver& driver, Document& document)
{
	document.window->PostMessage(kMsgClose);
	driver.WaitForIdle();
}


struct Figures {
	std::vector<double>	all[2];			// off, on
	std::vector<double>	medianRatio;
	std::vector<double>	p99Ratio;
	double				bytesPerKey = 0;
	off_t				journalSize = 0;
};


// Two copies of the file, each in a window of its own, one typed into
// with the journal off and one with it on, in blocks of keys that take
// turns, so that both see the same machine. Each round opens both anew.
void
measure(TestDriver& driver, JournalWriter* writer, const std::string& path,
	const std::string& folder, Figures& figures)
{
	std::string copies[2] = { path + ".off", path + ".on" };
	for (const std::string& copy : copies) {
		std::string command = "cp '" + path + "' '" + copy + "'";
		if (system(command.c_str()) != 0)
			exit(1);
	}
	for (int round = 0; round < kRounds; round++) {
		Document documents[2];
		for (int on = 0; on < 2; on++) {
			JournalWriter::SetDefault(on ? writer : NULL);
			documents[on] = open_document(driver, copies[on]);
			if (documents[on].view == NULL) {
				fprintf(stderr, "journal_bench: %s did not open\n",
					copies[on].c_str());
				exit(1);
			}
		}
		writer->Sync();
		uint64 bytesBefore = writer->BytesWritten();
		off_t folderBefore = folder_bytes(folder);

		std::vector<double> times[2];
		for (int block = 0; block < 2 * kKeys / kBlock; block++) {
			int on = (block + round) % 2;
			JournalWriter::SetDefault(on ? writer : NULL);
			Document& document = documents[on];
			for (int key = 0; key < kBlock; key++) {
				pause_milliseconds(20);
				document.window->Lock();
				Clock::time_point start = Clock::now();
				document.Type();
				times[on].push_back(milliseconds_since(start));
				document.window->Unlock();
			}
		}
		JournalWriter::SetDefault(writer);
		writer->Sync();
		figures.bytesPerKey = double(writer->BytesWritten() - bytesBefore)
			/ kKeys;
		figures.journalSize = folder_bytes(folder) - folderBefore;

		for (int on = 0; on < 2; on++) {
			figures.all[on].insert(figures.all[on].end(), times[on].begin(),
				times[on].end());
			close_document(driver, documents[on]);
		}
		figures.medianRatio.push_back(percentile(times[1], 50)
			/ percentile(times[0], 50));
		figures.p99Ratio.push_back(percentile(times[1], 99)
			/ percentile(times[0], 99));
	}
	for (const std::string& copy : copies)
		unlink(copy.c_str());
}


// From a key to its journal on disk, with the keys at a person's gaps.
std::vector<double>
sync_latencies(TestDriver& driver, JournalWriter* writer,
	const std::string& path)
{
	std::mt19937 random(20261209);
	Document document = open_document(driver, path);
	std::vector<double> latencies;
	for (int key = 0; key < kLatencyKeys; key++) {
		pause_milliseconds(random() % 300);
		uint64 before = writer->BytesWritten();
		document.window->Lock();
		Clock::time_point start = Clock::now();
		document.Type();
		document.window->Unlock();
		while (writer->BytesWritten() == before)
			pause_milliseconds(1);
		latencies.push_back(milliseconds_since(start));
	}
	close_document(driver, document);
	return latencies;
}


void
report(const char* name, const Figures& figures)
{
	auto minimum = [](std::vector<double> values) {
		return *std::min_element(values.begin(), values.end());
	};
	fprintf(stderr, "%s, %d keys of each kind in each of %d rounds:\n", name, kKeys,
		kRounds);
	for (int on = 0; on < 2; on++) {
		fprintf(stderr, "  journal %-3s key to frame: median %.3f ms, "
			"p99 %.3f ms\n", on ? "on" : "off",
			percentile(figures.all[on], 50), percentile(figures.all[on], 99));
	}
	fprintf(stderr, "  on / off, per round: median %.3f x (min %.3f x), "
		"p99 %.3f x (min %.3f x)\n", percentile(figures.medianRatio, 50),
		minimum(figures.medianRatio), percentile(figures.p99Ratio, 50),
		minimum(figures.p99Ratio));
	fprintf(stderr, "  journal: %.1f bytes written per key, %lld bytes "
		"on disk after the keys\n", figures.bytesPerKey,
		(long long)figures.journalSize);
}

}	// namespace


int
main()
{
	setenv("KITS_DISPLAY", "offscreen", 1);
	std::string folder = "/tmp/orvane-journal-bench-"
		+ std::to_string(getpid());
	std::string state = folder + "/state";
	if (mkdir(folder.c_str(), 0700) != 0 || mkdir(state.c_str(), 0700) != 0)
		return 1;
	setenv("XDG_STATE_HOME", state.c_str(), 1);
	setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
	setenv("HOME", folder.c_str(), 1);
	std::string small = folder + "/small.txt";
	std::string large = folder + "/large.txt";
	if (!write_file(small, 4096) || !write_file(large, 100 * 1024 * 1024)) {
		fprintf(stderr, "journal_bench: cannot write the files\n");
		return 1;
	}

	fflush(stdout);
	int quiet = open("/dev/null", O_WRONLY);
	if (quiet < 0 || dup2(quiet, STDOUT_FILENO) < 0)
		return 1;

	TestDriver driver;
	if (driver.Launch<ZELApp>() != B_OK) {
		fprintf(stderr, "journal_bench: the editor did not start\n");
		return 1;
	}
	// The untitled window stays open, so that closing the others does
	// not end the program.
	JournalWriter* writer = JournalWriter::Default();
	if (writer == NULL) {
		fprintf(stderr, "journal_bench: the editor keeps no journals\n");
		return 1;
	}
	std::string journals = state + "/Orvane/recovery";

	double load[3] = { 0, 0, 0 };
	if (FILE* loadFile = fopen("/proc/loadavg", "r")) {
		if (fscanf(loadFile, "%lf %lf %lf", &load[0], &load[1], &load[2])
				!= 3)
			load[0] = -1;
		fclose(loadFile);
	}
	fprintf(stderr, "load average before: %.2f %.2f %.2f\n", load[0],
		load[1], load[2]);

	Figures smallFigures;
	measure(driver, writer, small, journals, smallFigures);
	report("4 KB file", smallFigures);
	Figures largeFigures;
	measure(driver, writer, large, journals, largeFigures);
	report("100 MB of 64-byte lines", largeFigures);

	for (const std::string& path : { small, large }) {
		std::vector<double> latencies = sync_latencies(driver, writer, path);
		fprintf(stderr, "%s: key to journal synced, %d keys: median %.0f ms, "
			"p99 %.0f ms, max %.0f ms\n", path == small ? "4 KB file"
				: "100 MB", kLatencyKeys, percentile(latencies, 50),
			percentile(latencies, 99),
			*std::max_element(latencies.begin(), latencies.end()));
	}

	driver.Quit();
	std::string remove = "rm -rf '" + folder + "'";
	if (system(remove.c_str()) != 0)
		return 1;
	return 0;
}
