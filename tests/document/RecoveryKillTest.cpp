/*
 * Real kills: a child process runs Orvane and types, and is killed at a
 * random moment; the next child, started on the same folders, must hold
 * every character typed at least a second before the kill, never one
 * that was not typed, and go on typing where it was. Over the cases more
 * than two hundred kills:
 * - an untitled document, and a small file typed into in its middle,
 *   saved now and then (the file on disk then holds exactly what was
 *   saved, and nothing typed after it comes back twice);
 * - a 100 MB file typed into in its middle;
 * - SIGTERM right after a keystroke, then SIGKILL: nothing is lost at all.
 */
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <string_view>

#include "EditorTestSupport.h"
#include "RecoverySequence.h"

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;


namespace {

// How long after a keystroke it must be on disk.
const auto kSyncLimit = milliseconds(1000);


class RecoveryKillTest : public testing::Test {
protected:
	enum ending { kKill, kTerminate };

	struct Scenario {
		std::string		file;		// "untitled" or a path
		std::string		base;
		size_t			at;
		int				kills;
		ending			how;
		bool			saves;
	};

	// What one child said, and when.
	struct Life {
		bool			reported = false;
		uint64_t		recovered = 0;
		uint64_t		announced = 0;
		std::vector<std::pair<uint64_t, Clock::time_point>> done;
		uint64_t		saved = 0;
		std::string		pending;	// a line not read whole yet
	};

	void Run(const Scenario& scenario);

private:
	pid_t _Start(const Scenario& scenario, long saveAt, int* _pipe);
	bool _Read(int pipe, Life& life, const Clock::time_point& until,
		const std::function<bool()>& stop);
	void _CheckReport(const Scenario& scenario, uint64_t lower,
		uint64_t upper, Life& life);
	void _CheckFile(const Scenario& scenario, const Life& life);

protected:
	TempDirectory	fDirectory;
	uint32_t		fSeed = 1;
	std::mt19937	fRandom{ 20261208 };
};


pid_t
RecoveryKillTest::_Start(const Scenario& scenario, long saveAt, int* _pipe)
{
	int ends[2];
	if (pipe(ends) != 0)
		return -1;
	std::vector<std::string> arguments = { RECOVERY_CHILD, scenario.file,
		std::to_string(scenario.at), std::to_string(scenario.base.size()),
		fDirectory.Child("report"), std::to_string(fSeed),
		std::to_string(saveAt) };
	pid_t child = fork();
	if (child == 0) {
		dup2(ends[1], 3);
		if (ends[0] != 3)
			close(ends[0]);
		if (ends[1] != 3)
			close(ends[1]);
		int null = open("/dev/null", O_WRONLY);
		dup2(null, 1);
		setenv("HOME", fDirectory.Path().c_str(), 1);
		setenv("XDG_CONFIG_HOME", fDirectory.Child("config").c_str(), 1);
		setenv("XDG_STATE_HOME", fDirectory.Child("state").c_str(), 1);
		if (chdir(fDirectory.Path().c_str()) != 0)
			_exit(126);
		std::vector<char*> argv;
		for (std::string& argument : arguments)
			argv.push_back(argument.data());
		argv.push_back(NULL);
		execv(argv[0], argv.data());
		_exit(127);
	}
	close(ends[1]);
	*_pipe = ends[0];
	return child;
}


// Reads the child's lines until the time, the end of its output, or the
// condition, which is asked after each line. False at the end of output.
bool
RecoveryKillTest::_Read(int pipe, Life& life, const Clock::time_point& until,
	const std::function<bool()>& stop)
{
	std::string& pending = life.pending;
	for (;;) {
		size_t newline;
		while ((newline = pending.find('\n')) != std::string::npos) {
			std::string line = pending.substr(0, newline);
			pending.erase(0, newline + 1);
			uint64_t n = line.size() > 2 ? strtoull(line.c_str() + 2, NULL,
				10) : 0;
			if (line == "R")
				life.reported = true;
			else if (line[0] == 'A')
				life.announced = std::max(life.announced, n + 1);
			else if (line[0] == 'D')
				life.done.emplace_back(n, Clock::now());
			else if (line[0] == 'S')
				life.saved = n;
			if (stop && stop())
				return true;
		}
		auto left = std::chrono::duration_cast<milliseconds>(until
			- Clock::now()).count();
		if (left <= 0)
			return true;
		struct pollfd wait = { pipe, POLLIN, 0 };
		if (poll(&wait, 1, (int)left) <= 0)
			continue;
		char buffer[4096];
		ssize_t bytes = read(pipe, buffer, sizeof(buffer));
		if (bytes <= 0) {
			pending.clear();
			return false;
		}
		pending.append(buffer, bytes);
	}
}


void
RecoveryKillTest::_CheckReport(const Scenario& scenario, uint64_t lower,
	uint64_t upper, Life& life)
{
	std::ifstream in(fDirectory.Child("report"), std::ios::binary);
	std::string header;
	std::getline(in, header);
	std::istringstream fields(header);
	uint64_t length;
	size_t before;
	size_t after;
	ASSERT_TRUE(bool(fields >> length >> before >> after)) << header;
	std::string run((std::istreambuf_iterator<char>(in)),
		std::istreambuf_iterator<char>());

	ASSERT_GE(length, scenario.base.size());
	uint64_t typed = length - scenario.base.size();
	EXPECT_GE(typed, lower) << "characters typed over a second before the "
		"kill are missing";
	EXPECT_LE(typed, upper) << "characters come back that were never typed";
	ASSERT_EQ(recovery_run(fSeed, typed), run);
	std::hash<std::string_view> hash;
	std::string_view base(scenario.base);
	EXPECT_EQ(hash(base.substr(0, scenario.at)), before);
	EXPECT_EQ(hash(base.substr(scenario.at)), after);
	life.recovered = typed;
}


// The file holds the base with what some save wrote, and no later save
// than the last one done is half there.
void
RecoveryKillTest::_CheckFile(const Scenario& scenario, const Life& life)
{
	if (scenario.file == "untitled")
		return;
	std::string text = read_raw(scenario.file);
	ASSERT_GE(text.size(), scenario.base.size());
	uint64_t saved = text.size() - scenario.base.size();
	EXPECT_GE(saved, life.saved);
	std::string expected = scenario.base;
	expected.insert(scenario.at, recovery_run(fSeed, saved));
	EXPECT_TRUE(text == expected) << "the file is no save's";
}


void
RecoveryKillTest::Run(const Scenario& scenario)
{
	if (scenario.file != "untitled")
		write_raw(scenario.file, scenario.base);
	uint64_t lower = 0;
	uint64_t upper = 0;
	for (int kill = 0; kill <= scenario.kills; kill++) {
		SCOPED_TRACE("child " + std::to_string(kill));
		Life life;
		long saveAt = scenario.saves && fRandom() % 3 == 0
			? (long)(lower + 1 + fRandom() % 20) : -1;
		int pipe;
		pid_t child = _Start(scenario, saveAt, &pipe);
		ASSERT_GT(child, 0);

		bool alive = _Read(pipe, life, Clock::now() + std::chrono::seconds(60),
			[&] { return life.reported; });
		if (!life.reported) {
			::kill(child, SIGKILL);
			int status = 0;
			waitpid(child, &status, 0);
			close(pipe);
			FAIL() << "the child never reported (alive: " << alive
				<< ", exit status " << (WIFEXITED(status)
					? WEXITSTATUS(status) : -WTERMSIG(status)) << ")";
		}
		_CheckReport(scenario, lower, upper, life);
		if (::testing::Test::HasFatalFailure() || kill == scenario.kills) {
			::kill(child, SIGKILL);
			waitpid(child, NULL, 0);
			close(pipe);
			return;
		}

		// Every keystroke done by then must come back.
		Clock::time_point deadline;
		if (scenario.how == kKill) {
			auto delay = milliseconds(50 + fRandom() % 2400);
			_Read(pipe, life, Clock::now() + delay, NULL);
			deadline = Clock::now() - kSyncLimit;
			::kill(child, SIGKILL);
		} else {
			// A few keystrokes, then the end of a session: SIGTERM right
			// after one, and SIGKILL soon after.
			size_t keys = 1 + fRandom() % 30;
			_Read(pipe, life, Clock::now() + std::chrono::seconds(30),
				[&] { return life.done.size() >= keys; });
			deadline = Clock::now();
			::kill(child, SIGTERM);
			_Read(pipe, life, Clock::now() + milliseconds(300), NULL);
			::kill(child, SIGKILL);
		}
		_Read(pipe, life, Clock::now() + std::chrono::seconds(5), NULL);
		waitpid(child, NULL, 0);
		close(pipe);

		lower = life.recovered;
		for (const auto& [n, when] : life.done) {
			if (when <= deadline)
				lower = std::max(lower, n + 1);
		}
		upper = std::max(life.recovered, life.announced);
		_CheckFile(scenario, life);
	}
}

}	// namespace


TEST_F(RecoveryKillTest, UntitledDocument)
{
	Run({ "untitled", "", 0, 80, kKill, false });
}


TEST_F(RecoveryKillTest, SmallFileSavedNowAndThen)
{
	fSeed = 2;
	Run({ fDirectory.Child("notes.txt"), "first line\nsecond line\n", 11, 80,
		kKill, true });
}


TEST_F(RecoveryKillTest, TerminatedRightAfterAKeystroke)
{
	fSeed = 3;
	Run({ fDirectory.Child("letter.txt"), "Dear reader,\n\n", 14, 25,
		kTerminate, false });
}


TEST_F(RecoveryKillTest, HundredMegabyteFile)
{
	fSeed = 4;
	std::string base;
	base.reserve(100 * 1024 * 1024);
	std::string line(63, 'x');
	line += '\n';
	while (base.size() < 100 * 1024 * 1024)
		base += line;
	size_t at = base.size() / 2 / 64 * 64;
	Run({ fDirectory.Child("large.txt"), base, at, 40, kKill, false });
}
