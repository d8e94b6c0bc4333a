/*
 * Single launch with real processes: the test starts SingleLaunchProbe,
 * a single-launch application, several times with a private
 * $XDG_RUNTIME_DIR and reads what each instance printed.
 *
 * Cases covered:
 * - kits_add_app_resources() puts the declared identity into the
 *   program: signature, flags, version, variety, infos (quotes escaped),
 *   types.
 * - a second launch from another directory exits 0 at once, and the
 *   first instance receives its relative path (to a file that does not
 *   exist yet) resolved against the second's cwd, and its absolute path
 *   as it was; a launch without arguments reaches the first as a silent
 *   relaunch; a "--quit" launch ends the first, which removes its socket.
 * - an instance killed with SIGKILL leaves its socket behind, and the
 *   next launch becomes the running instance all the same.
 * - several launches at the same moment: exactly one runs; the others
 *   hand over, exit 0, and every argument arrives.
 * - without a safe private directory the program runs on its own and
 *   says so in one line on stderr.
 *
 * Every child is killed at the end of its test, and every wait is
 * bounded.
 */
#include "LaunchDirectory.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;


namespace {

const char* const kProbe = SINGLE_LAUNCH_PROBE;
const char* const kSignature = "application/x-vnd.Orvane-SingleLaunchProbe";
// No wait in these tests lasts longer; a fault fails instead of hanging.
const bigtime_t kWaitLimit = 20000000;
const int kStillRunning = -1;


std::string
read_file(const std::string& path)
{
	std::ifstream file(path);
	std::stringstream contents;
	contents << file.rdbuf();
	return contents.str();
}


bool
exists(const std::string& path)
{
	struct stat info;
	return lstat(path.c_str(), &info) == 0;
}


class SingleLaunchTest : public testing::Test {
protected:
	void SetUp() override
	{
		char pattern[] = "/tmp/SingleLaunchTest-XXXXXX";
		ASSERT_NE(mkdtemp(pattern), nullptr);
		fTemp = pattern;
		fRuntime = fTemp + "/run";
		ASSERT_EQ(mkdir(fRuntime.c_str(), 0700), 0);
		for (const char* name : { "a", "b" })
			ASSERT_EQ(mkdir((fTemp + "/" + name).c_str(), 0755), 0);
	}

	void TearDown() override
	{
		for (pid_t child : fChildren) {
			kill(child, SIGKILL);
			waitpid(child, NULL, 0);
		}
		std::error_code ignored;
		std::filesystem::remove_all(fTemp, ignored);
	}

	// Starts the probe in fTemp/<directory> with the arguments, its
	// output going to fTemp/<name>.out and .err.
	pid_t Launch(const std::string& name, const std::string& directory,
		const std::vector<std::string>& arguments)
	{
		// Everything the child needs is prepared before fork().
		std::vector<std::string> environment;
		for (char** entry = environ; *entry != NULL; entry++) {
			if (strncmp(*entry, "XDG_RUNTIME_DIR=", 16) != 0)
				environment.push_back(*entry);
		}
		environment.push_back("XDG_RUNTIME_DIR=" + fRuntime);
		std::vector<char*> envp;
		for (std::string& entry : environment)
			envp.push_back(entry.data());
		envp.push_back(NULL);

		std::vector<std::string> strings = { kProbe };
		strings.insert(strings.end(), arguments.begin(), arguments.end());
		std::vector<char*> argv;
		for (std::string& string : strings)
			argv.push_back(string.data());
		argv.push_back(NULL);

		std::string cwd = fTemp + "/" + directory;
		std::string out = fTemp + "/" + name + ".out";
		std::string err = fTemp + "/" + name + ".err";

		pid_t child = fork();
		if (child == 0) {
			int outFD = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
			int errFD = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
			if (outFD < 0 || errFD < 0 || chdir(cwd.c_str()) != 0
				|| dup2(outFD, STDOUT_FILENO) < 0
				|| dup2(errFD, STDERR_FILENO) < 0)
				_exit(126);
			execve(kProbe, argv.data(), envp.data());
			_exit(127);
		}
		EXPECT_GT(child, 0);
		if (child > 0)
			fChildren.push_back(child);
		return child;
	}

	// The child's exit status if it has ended, kStillRunning otherwise; a
	// child that died from a signal gives 128 plus the signal. An ended
	// child is reaped and no longer killed at the end.
	int Poll(pid_t child)
	{
		int status;
		if (waitpid(child, &status, WNOHANG) != child)
			return kStillRunning;
		fChildren.erase(std::remove(fChildren.begin(), fChildren.end(),
			child), fChildren.end());
		return WIFEXITED(status) ? WEXITSTATUS(status)
			: 128 + WTERMSIG(status);
	}

	// The child's exit status, or kStillRunning when it did not end in
	// time.
	int WaitForExit(pid_t child)
	{
		bigtime_t deadline = system_time() + kWaitLimit;
		while (true) {
			int result = Poll(child);
			if (result != kStillRunning || system_time() > deadline)
				return result;
			snooze(10000);
		}
	}

	// Waits until the child's output contains the text.
	bool WaitForOutput(const std::string& name, const std::string& text)
	{
		bigtime_t deadline = system_time() + kWaitLimit;
		while (read_file(fTemp + "/" + name + ".out").find(text)
				== std::string::npos) {
			if (system_time() > deadline)
				return false;
			snooze(10000);
		}
		return true;
	}

	std::string Output(const std::string& name)
	{
		return read_file(fTemp + "/" + name + ".out");
	}

	std::string SocketPath()
	{
		const char* old = getenv("XDG_RUNTIME_DIR");
		std::string saved = old != NULL ? old : "";
		setenv("XDG_RUNTIME_DIR", fRuntime.c_str(), 1);
		std::string path;
		EXPECT_EQ(BPrivate::launch_socket_path(kSignature, &path),
			B_OK);
		if (old != NULL)
			setenv("XDG_RUNTIME_DIR", saved.c_str(), 1);
		else
			unsetenv("XDG_RUNTIME_DIR");
		return path;
	}

	std::string			fTemp;
	std::string			fRuntime;
	std::vector<pid_t>	fChildren;
};


TEST_F(SingleLaunchTest, ResourcesCarryTheDeclaredIdentity)
{
	pid_t probe = Launch("resources", "a", { "--print-resources" });
	ASSERT_EQ(WaitForExit(probe), 0);
	EXPECT_EQ(Output("resources"),
		"signature=application/x-vnd.Orvane-SingleLaunchProbe\n"
		"flags=0\n"
		"version=2.3.4 variety=2 internal=7\n"
		"short=Probe \"quoted\" \\ text\n"
		"long=Starts once; later launches hand over.\n"
		"type=text/plain\n"
		"type=text\n");
}


TEST_F(SingleLaunchTest, LaterLaunchesHandOverToTheFirst)
{
	pid_t first = Launch("first", "a", {});
	ASSERT_TRUE(WaitForOutput("first", "READY"));
	EXPECT_TRUE(exists(SocketPath()));

	pid_t second = Launch("second", "b", { "notes/new.txt",
		"/somewhere/absolute.txt" });
	EXPECT_EQ(WaitForExit(second), 0);
	EXPECT_EQ(Output("second"), "");

	std::string expected = "ARGC 3\nARGV[0]=" + std::string(kProbe)
		+ "\nARGV[1]=" + fTemp + "/b/notes/new.txt"
		+ "\nARGV[2]=/somewhere/absolute.txt\n";
	ASSERT_TRUE(WaitForOutput("first", expected)) << Output("first");

	pid_t silent = Launch("silent", "b", {});
	EXPECT_EQ(WaitForExit(silent), 0);
	EXPECT_TRUE(WaitForOutput("first", "SILENT\n")) << Output("first");

	pid_t quit = Launch("quit", "b", { "--quit" });
	EXPECT_EQ(WaitForExit(quit), 0);
	EXPECT_EQ(WaitForExit(first), 0);
	EXPECT_TRUE(WaitForOutput("first", "QUIT\n"));
	EXPECT_FALSE(exists(SocketPath()));
}


TEST_F(SingleLaunchTest, KilledInstanceDoesNotBlockTheNext)
{
	pid_t first = Launch("first", "a", {});
	ASSERT_TRUE(WaitForOutput("first", "READY"));
	kill(first, SIGKILL);
	EXPECT_EQ(WaitForExit(first), 128 + SIGKILL);
	EXPECT_TRUE(exists(SocketPath()));

	pid_t next = Launch("next", "a", { "/after/crash.txt" });
	ASSERT_TRUE(WaitForOutput("next", "READY")) << Output("next");
	EXPECT_NE(Output("next").find("ARGV[1]=/after/crash.txt\n"),
		std::string::npos);

	pid_t quit = Launch("quit", "b", { "--quit" });
	EXPECT_EQ(WaitForExit(quit), 0);
	EXPECT_EQ(WaitForExit(next), 0);
}


TEST_F(SingleLaunchTest, SimultaneousLaunchesShareOneInstance)
{
	const int kLaunches = 4;
	std::vector<pid_t> launches;
	for (int i = 0; i < kLaunches; i++) {
		launches.push_back(Launch("launch" + std::to_string(i), "b",
			{ "/together/" + std::to_string(i) }));
	}

	// All but one hand over and end; the one that stays runs.
	std::vector<int> results(kLaunches, kStillRunning);
	int ended = 0;
	bigtime_t deadline = system_time() + kWaitLimit;
	while (ended < kLaunches - 1 && system_time() < deadline) {
		for (int i = 0; i < kLaunches; i++) {
			if (results[i] == kStillRunning) {
				results[i] = Poll(launches[i]);
				ended += results[i] != kStillRunning;
			}
		}
		snooze(10000);
	}
	int running = -1;
	for (int i = 0; i < kLaunches; i++) {
		if (results[i] == kStillRunning) {
			EXPECT_EQ(running, -1) << "two instances run";
			running = i;
		} else
			EXPECT_EQ(results[i], 0) << i;
	}
	ASSERT_NE(running, -1);
	ASSERT_TRUE(WaitForOutput("launch" + std::to_string(running), "READY"));

	std::string name = "launch" + std::to_string(running);
	for (int i = 0; i < kLaunches; i++) {
		EXPECT_TRUE(WaitForOutput(name,
			"ARGV[1]=/together/" + std::to_string(i) + "\n")) << i;
	}

	pid_t quit = Launch("quit", "b", { "--quit" });
	EXPECT_EQ(WaitForExit(quit), 0);
	EXPECT_EQ(WaitForExit(launches[running]), 0);
}


TEST_F(SingleLaunchTest, RunsOnItsOwnWithoutASafeDirectory)
{
	// A symlink where the private directory belongs is refused.
	ASSERT_EQ(symlink(fTemp.c_str(), (fRuntime + "/orvane-kits").c_str()),
		0);

	pid_t lonely = Launch("lonely", "a", { "--quit" });
	EXPECT_EQ(WaitForExit(lonely), 0);
	EXPECT_NE(Output("lonely").find("ARGC 2\n"), std::string::npos);
	std::string errors = read_file(fTemp + "/lonely.err");
	EXPECT_NE(errors.find("single launch is unavailable"), std::string::npos)
		<< errors;
	EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
}

}	// namespace
