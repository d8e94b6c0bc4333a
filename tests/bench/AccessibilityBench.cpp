/*
 * What the accessibility bridge costs the editor, loaded and not:
 *
 * - start-up: from launching the editor on a 4 KB file to its document
 *   window shown and every looper idle;
 * - a key typed in the middle of the file, from the key to the frame
 *   synced with the display server: median and 99th percentile of 200
 *   keys, 20 ms apart.
 *
 * Each measurement runs in a process of its own (the bridge is loaded
 * once per process, for good), alternately with the bridge off
 * (KITS_ACCESSIBILITY=0) and on (KITS_ACCESSIBILITY=1), 6 rounds of
 * each. With it on, the bench has started a private session bus, the
 * accessibility bus with its registry, and a client on that bus that
 * listens to the events a screen reader listens to (focus, caret, text
 * and name changes), so that every key's events really go out on the
 * bus (with --no-listener, the bridge is loaded with no one listening).
 * The figures are the min and median over the rounds of the
 * on / off ratio of each pair, and the off and on times themselves; the
 * diagnostic lines the editor prints go to /dev/null, the figures to
 * standard error.
 */
#include <Entry.h>
#include <Message.h>
#include <Window.h>

#include <TestDriver.h>

#include "BenchSupport.h"

#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ZELApp.h"
#include "ZELTextView.h"

namespace {

const int kRounds = 6;
const int kKeys = 200;

const char* kListener =
	"import pyatspi\n"
	"def heard(event):\n"
	"    event.source.name\n"
	"for kind in ('focus:', 'object:state-changed:focused',\n"
	"             'object:text-caret-moved', 'object:text-changed',\n"
	"             'object:property-change:accessible-name',\n"
	"             'window:activate'):\n"
	"    pyatspi.Registry.registerEventListener(heard, kind)\n"
	"open(__import__('sys').argv[1], 'w').close()\n"
	"pyatspi.Registry.start()\n";


// One process's measurement: start-up, then the keys.
int
measure(const char* path)
{
	fflush(stdout);
	int quiet = open("/dev/null", O_WRONLY);
	if (quiet < 0 || dup2(quiet, STDOUT_FILENO) < 0)
		return 1;

	BenchClock::time_point start = BenchClock::now();
	TestDriver driver;
	if (driver.Launch<ZELApp>({ path }) != B_OK)
		return 1;
	const char* name = strrchr(path, '/') + 1;
	BWindow* window = driver.WaitForWindow(name, 60000000);
	if (window == NULL || driver.WaitForIdle() != B_OK)
		return 1;
	double startup = milliseconds_since(start);

	ZELTextView* view = driver.FindView<ZELTextView>(window);
	window->Lock();
	int32 middle = view->TextLength() / 2;
	view->Select(middle, middle);
	window->UpdateIfNeeded();
	window->Sync();
	window->Unlock();
	std::vector<double> keys;
	for (int key = 0; key < kKeys; key++) {
		pause_milliseconds(20);
		window->Lock();
		BenchClock::time_point typed = BenchClock::now();
		view->KeyDown("x", 1);
		window->UpdateIfNeeded();
		window->Sync();
		keys.push_back(milliseconds_since(typed));
		window->Unlock();
	}
	fprintf(stderr, "%.3f %.4f %.4f\n", startup, percentile(keys, 50),
		percentile(keys, 99));
	// The journal and settings of this run go with the folder; the
	// process ends without asking about the changes.
	_exit(0);
}


struct Run {
	double startup;
	double median;
	double p99;
};


bool
run_child(const char* self, const char* path, bool on, Run& _run)
{
	int pipes[2];
	if (pipe(pipes) != 0)
		return false;
	pid_t child = fork();
	if (child == 0) {
		dup2(pipes[1], STDERR_FILENO);
		close(pipes[0]);
		setenv("KITS_ACCESSIBILITY", on ? "1" : "0", 1);
		execl(self, self, "measure", path, (char*)NULL);
		_exit(127);
	}
	close(pipes[1]);
	char line[256] = {};
	ssize_t length = read(pipes[0], line, sizeof(line) - 1);
	close(pipes[0]);
	int status;
	waitpid(child, &status, 0);
	return length > 0 && sscanf(line, "%lf %lf %lf", &_run.startup,
		&_run.median, &_run.p99) == 3;
}


// A private session bus, the accessibility bus and registry on it, and a
// listening client; false when one of them does not come up.
bool
start_bus(const std::string& folder, bool listen, std::vector<pid_t>& _pids)
{
	std::string command = "dbus-daemon --session --fork --print-address=1 "
		"--print-pid=1";
	FILE* daemon = popen(command.c_str(), "r");
	if (daemon == NULL)
		return false;
	char address[512] = {};
	long pid = 0;
	if (fgets(address, sizeof(address), daemon) == NULL
		|| fscanf(daemon, "%ld", &pid) != 1) {
		pclose(daemon);
		return false;
	}
	pclose(daemon);
	_pids.push_back((pid_t)pid);
	address[strcspn(address, "\n")] = '\0';
	setenv("DBUS_SESSION_BUS_ADDRESS", address, 1);
	unsetenv("AT_SPI_BUS_ADDRESS");

	pid_t launcher = fork();
	if (launcher == 0) {
		execl("/usr/libexec/at-spi-bus-launcher", "at-spi-bus-launcher",
			"--launch-immediately", (char*)NULL);
		_exit(127);
	}
	_pids.push_back(launcher);
	if (!listen) {
		// The registry is up once the launcher has named the bus.
		pause_milliseconds(1000);
		return true;
	}
	std::string ready = folder + "/listening";
	pid_t listener = fork();
	if (listener == 0) {
		execl("/usr/bin/python3", "python3", "-c", kListener, ready.c_str(),
			(char*)NULL);
		_exit(127);
	}
	_pids.push_back(listener);
	for (int wait = 0; wait < 200; wait++) {
		if (access(ready.c_str(), F_OK) == 0)
			return true;
		pause_milliseconds(50);
	}
	return false;
}


void
print_row(const char* what, const std::vector<double>& off,
	const std::vector<double>& on)
{
	std::vector<double> ratios;
	for (size_t i = 0; i < off.size(); i++)
		ratios.push_back(on[i] / off[i]);
	fprintf(stderr, "%-28s off min %.3f median %.3f | on min %.3f "
		"median %.3f | on/off min %.3f median %.3f\n", what,
		*std::min_element(off.begin(), off.end()), percentile(off, 50),
		*std::min_element(on.begin(), on.end()), percentile(on, 50),
		*std::min_element(ratios.begin(), ratios.end()),
		percentile(ratios, 50));
}

}	// namespace


int
main(int argc, char** argv)
{
	if (argc == 3 && strcmp(argv[1], "measure") == 0)
		return measure(argv[2]);

	char pattern[] = "/tmp/accessibility_bench.XXXXXX";
	if (mkdtemp(pattern) == NULL)
		return 1;
	std::string folder = pattern;
	setenv("XDG_STATE_HOME", folder.c_str(), 1);
	setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
	setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
	setenv("HOME", folder.c_str(), 1);
	setenv("KITS_DISPLAY", "offscreen", 1);
	std::string path = folder + "/notes.txt";
	{
		std::string text;
		while (text.size() < 4096)
			text += "the quick brown fox jumps over the lazy dog 0123456789\n";
		FILE* file = fopen(path.c_str(), "wb");
		if (file == NULL || fwrite(text.data(), 1, text.size(), file)
				!= text.size() || fclose(file) != 0)
			return 1;
	}
	std::vector<pid_t> pids;
	bool listen = !(argc == 2 && strcmp(argv[1], "--no-listener") == 0);
	if (!start_bus(folder, listen, pids)) {
		fprintf(stderr, "accessibility_bench: the accessibility bus did "
			"not start\n");
		return 1;
	}

	std::vector<double> startup[2], median[2], p99[2];
	for (int round = 0; round < kRounds; round++) {
		for (int turn = 0; turn < 2; turn++) {
			// Which goes first alternates, so neither always runs on a
			// warmer machine.
			int on = (turn + round) % 2;
			Run run;
			if (!run_child(argv[0], path.c_str(), on != 0, run)) {
				fprintf(stderr, "accessibility_bench: a run failed\n");
				return 1;
			}
			startup[on].push_back(run.startup);
			median[on].push_back(run.median);
			p99[on].push_back(run.p99);
		}
	}
	double load[3] = {};
	getloadavg(load, 3);
	fprintf(stderr, "accessibility_bench: %d rounds, %s, times in ms, load "
		"average %.2f %.2f %.2f\n", kRounds,
		listen ? "a client listening" : "no one listening", load[0], load[1],
		load[2]);
	print_row("start-up to idle", startup[0], startup[1]);
	print_row("key to frame, median", median[0], median[1]);
	print_row("key to frame, p99", p99[0], p99[1]);

	for (pid_t pid : pids)
		kill(pid, SIGTERM);
	std::string command = "rm -rf '" + folder + "'";
	return system(command.c_str()) == 0 ? 0 : 1;
}
