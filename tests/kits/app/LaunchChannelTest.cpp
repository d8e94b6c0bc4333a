/*
 * The single-launch channel inside one process: one channel object plays
 * the running instance, the test plays later launches (through
 * HandOver() or raw sockets), and a looper run by the test is the
 * instance's target.
 *
 * Cases covered:
 * - a program built without resources launches multiply.
 * - which signatures are valid; no signature leads a socket's path out
 *   of the private directory; the case of a signature does not matter.
 * - the private directory: made 0700 even under a strict umask; refused
 *   when its mode is wrong, when a symlink or a plain file stands in its
 *   place, or when another user owns it; $XDG_RUNTIME_DIR is used only
 *   when it is absolute and private, otherwise the fallback parent; a bad
 *   directory inside a good $XDG_RUNTIME_DIR makes Claim() fail cleanly.
 * - the hand-over messages: a launch without arguments is a silent
 *   relaunch; relative arguments become absolute against the sender's
 *   cwd (argument 0, absolute ones and options untouched, a root cwd
 *   gives no double slash); unknown fields are dropped; wrong types, a
 *   relative cwd and unknown codes are refused.
 * - claim and hand over: the second claim gets B_ALREADY_RUNNING; the
 *   target receives argv with paths resolved against the sender's cwd,
 *   a path to a file that does not exist yet included; refs and a silent
 *   relaunch arrive; the roster sees the instance, whatever the case of
 *   the signature; Stop() removes the socket and the next claim wins;
 *   Stop() leaves alone a socket that another instance bound in its
 *   place.
 * - racing claims from several threads: exactly one wins.
 * - left-overs at the socket's path (a bound and abandoned socket, a
 *   plain file, an empty directory) never block a claim.
 * - hostile or broken clients: an oversized or zero length, garbage, a
 *   truncated message, a message cut short by a closed connection, a
 *   wrong what, argv of the wrong type, a relative cwd; a client that
 *   sends nothing does not hold up the next one and is dropped after its
 *   timeout; the channel serves a good hand-over afterwards and only
 *   that one reaches the target.
 * - a client of another user is refused (needs root to act as one).
 * - HandOver() without a listener, to a stale socket, with an oversized
 *   message or a bad signature, and to an instance whose target is gone.
 * - a hand-over its client abandoned (it timed out waiting for a stopped
 *   instance, or closed before the acknowledgement) is never acted on,
 *   and neither is one acknowledged but not confirmed.
 */
#include <AppDefs.h>
#include <Entry.h>
#include <Looper.h>
#include <Message.h>
#include <Messenger.h>
#include <Roster.h>
#include <StorageDefs.h>

#include "AppResources.h"
#include "LaunchChannel.h"
#include "LaunchDirectory.h"
#include "LaunchHandOver.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

using BPrivate::LaunchChannel;


namespace {

const char* const kSignature = "application/x-vnd.Orvane-LaunchTest";
// Every wait in these tests ends by this, so a fault fails instead of
// hanging.
const bigtime_t kWaitLimit = 10000000;
const int kNoAnswer = -1;
const int kTimedOut = -2;


// Collects what reaches the running instance.
class RecordingLooper : public BLooper {
public:
	RecordingLooper() : BLooper("launch target") {}

	void MessageReceived(BMessage* message) override
	{
		std::lock_guard<std::mutex> guard(fLock);
		fMessages.push_back(*message);
		fChanged.notify_all();
	}

	// The messages received so far, once there are at least count of
	// them, or whatever arrived before the limit.
	std::vector<BMessage> WaitForMessages(size_t count)
	{
		std::unique_lock<std::mutex> guard(fLock);
		fChanged.wait_for(guard, std::chrono::microseconds(kWaitLimit),
			[&] { return fMessages.size() >= count; });
		return fMessages;
	}

private:
	std::mutex fLock;
	std::condition_variable fChanged;
	std::vector<BMessage> fMessages;
};


std::string
make_temp_directory()
{
	const char* base = getenv("TMPDIR");
	std::string pattern = std::string(base != NULL && base[0] == '/'
		? base : "/tmp") + "/LaunchChannelTest-XXXXXX";
	std::vector<char> buffer(pattern.begin(), pattern.end());
	buffer.push_back('\0');
	if (mkdtemp(buffer.data()) == NULL)
		return std::string();
	return buffer.data();
}


mode_t
mode_of(const std::string& path)
{
	struct stat info;
	if (lstat(path.c_str(), &info) != 0)
		return 0;
	return info.st_mode & 07777;
}


bool
exists(const std::string& path)
{
	struct stat info;
	return lstat(path.c_str(), &info) == 0;
}


std::string
packet_for(const std::string& body)
{
	std::string packet;
	uint32 size = body.size();
	for (int i = 0; i < 4; i++)
		packet += (char)((size >> (8 * i)) & 0xff);
	return packet + body;
}


std::string
flat(const BMessage& message)
{
	ssize_t size = message.FlattenedSize();
	std::string bytes(size > 0 ? size : 0, '\0');
	if (size <= 0 || message.Flatten(bytes.data(), size) != B_OK)
		ADD_FAILURE() << "cannot flatten the test message";
	return bytes;
}


int
connect_raw(const std::string& path)
{
	int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
	sockaddr_un address = {};
	address.sun_family = AF_UNIX;
	strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
	if (fd < 0
		|| connect(fd, (const sockaddr*)&address, sizeof(address)) != 0) {
		if (fd >= 0)
			close(fd);
		return -1;
	}
	return fd;
}


// The byte the listener answered on fd, kNoAnswer when it closed the
// connection without one, kTimedOut when nothing came.
int
read_answer(int fd)
{
	pollfd waiting = { fd, POLLIN, 0 };
	if (poll(&waiting, 1, kWaitLimit / 1000) <= 0)
		return kTimedOut;
	uint8 answer;
	ssize_t bytesRead = recv(fd, &answer, 1, 0);
	return bytesRead == 1 ? answer : kNoAnswer;
}


enum confirmation {
	kConfirm,
	kDoNotConfirm
};


// Sends raw bytes as a client would, and confirms an acknowledgement when
// asked to; closing the write side tells the listener nothing more is
// coming.
int
send_raw(const std::string& path, const std::string& bytes,
	bool closeWrite = true, confirmation confirm = kDoNotConfirm)
{
	int fd = connect_raw(path);
	if (fd < 0) {
		ADD_FAILURE() << "cannot connect to " << path;
		return kTimedOut;
	}
	send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
	if (closeWrite && confirm == kDoNotConfirm)
		shutdown(fd, SHUT_WR);
	int answer = read_answer(fd);
	if (answer == LaunchChannel::kAcknowledged && confirm == kConfirm) {
		uint8 confirmed = LaunchChannel::kConfirmed;
		send(fd, &confirmed, 1, MSG_NOSIGNAL);
	}
	close(fd);
	return answer;
}


BMessage
argv_message(const std::vector<const char*>& arguments, const char* cwd)
{
	BMessage message;
	EXPECT_EQ(BPrivate::make_launch_hand_over(arguments.size(),
		arguments.data(), cwd, &message), B_OK);
	return message;
}


std::vector<std::string>
strings_of(const BMessage& message, const char* name)
{
	std::vector<std::string> strings;
	const char* string;
	for (int32 i = 0; message.FindString(name, i, &string) == B_OK; i++)
		strings.push_back(string);
	return strings;
}


class LaunchChannelTest : public testing::Test {
protected:
	void SetUp() override
	{
		const char* runtime = getenv("XDG_RUNTIME_DIR");
		fHadRuntime = runtime != NULL;
		if (fHadRuntime)
			fOldRuntime = runtime;

		fTemp = make_temp_directory();
		ASSERT_FALSE(fTemp.empty());
		fRuntime = fTemp + "/run";
		ASSERT_EQ(mkdir(fRuntime.c_str(), 0700), 0);
		setenv("XDG_RUNTIME_DIR", fRuntime.c_str(), 1);

		fTarget = new RecordingLooper;
		fTarget->Run();
	}

	void TearDown() override
	{
		if (fTarget != NULL && fTarget->Lock())
			fTarget->Quit();
		if (fHadRuntime)
			setenv("XDG_RUNTIME_DIR", fOldRuntime.c_str(), 1);
		else
			unsetenv("XDG_RUNTIME_DIR");
		std::error_code ignored;
		std::filesystem::remove_all(fTemp, ignored);
	}

	void StartServer(LaunchChannel& channel,
		bigtime_t clientTimeout = LaunchChannel::kDefaultClientTimeout)
	{
		ASSERT_EQ(channel.Claim(kSignature), B_OK);
		channel.SetClientTimeout(clientTimeout);
		ASSERT_EQ(channel.StartListening(BMessenger(fTarget)), B_OK);
	}

	std::string SocketPath()
	{
		std::string path;
		EXPECT_EQ(BPrivate::launch_socket_path(kSignature, &path), B_OK);
		return path;
	}

	std::string			fTemp;
	std::string			fRuntime;
	RecordingLooper*	fTarget = NULL;
	bool				fHadRuntime = false;
	std::string			fOldRuntime;
};


TEST_F(LaunchChannelTest, SignaturesAndSocketNames)
{
	EXPECT_TRUE(BPrivate::is_valid_app_signature(
		"application/x-vnd.ZEL-Orvane"));
	EXPECT_TRUE(BPrivate::is_valid_app_signature("text/plain"));
	EXPECT_TRUE(BPrivate::is_valid_app_signature("application/.."));

	const char* invalid[] = { NULL, "", "application", "/x-vnd.a",
		"application/", "a/b/c", "../../etc/passwd", "app lication/x",
		"application/x?y", "application/x\ny", "application/x\x80y",
		"application/x;y", "application/x\\y" };
	for (const char* signature : invalid) {
		EXPECT_FALSE(BPrivate::is_valid_app_signature(signature))
			<< (signature != NULL ? signature : "(null)");
	}
	std::string longest = "application/"
		+ std::string(B_MIME_TYPE_LENGTH - 13, 'x');
	EXPECT_TRUE(BPrivate::is_valid_app_signature(longest.c_str()));
	EXPECT_FALSE(BPrivate::is_valid_app_signature((longest + "x").c_str()));

	std::string directory;
	ASSERT_EQ(BPrivate::launch_directory(&directory), B_OK);
	for (const char* signature : { "application/..", "application/.",
			longest.c_str(), "text/plain" }) {
		std::string path;
		ASSERT_EQ(BPrivate::launch_socket_path(signature, &path), B_OK);
		std::filesystem::path socketPath(path);
		EXPECT_EQ(socketPath.parent_path().string(), directory);
		std::string leaf = socketPath.filename().string();
		EXPECT_EQ(leaf.find('/'), std::string::npos);
		EXPECT_NE(leaf, "..");
		EXPECT_NE(leaf.rfind("..", 0), 0u) << leaf;
	}

	std::string lower, upper, other;
	BPrivate::launch_socket_path("application/x-vnd.test", &lower);
	BPrivate::launch_socket_path("Application/X-Vnd.Test", &upper);
	BPrivate::launch_socket_path("application/x-vnd.test2", &other);
	EXPECT_EQ(lower, upper);
	EXPECT_NE(lower, other);
	EXPECT_EQ(BPrivate::launch_socket_path("bad", &other), B_BAD_VALUE);
}


TEST_F(LaunchChannelTest, PrivateDirectoryIsCheckedBeforeUse)
{
	std::string path;
	mode_t oldMask = umask(0777);
	EXPECT_EQ(BPrivate::make_private_directory(fTemp.c_str(), "made",
		&path), B_OK);
	umask(oldMask);
	EXPECT_EQ(path, fTemp + "/made");
	EXPECT_EQ(mode_of(path), 0700u);
	// Existing and right: accepted again.
	EXPECT_EQ(BPrivate::make_private_directory(fTemp.c_str(), "made",
		&path), B_OK);

	std::string loose = fTemp + "/loose";
	ASSERT_EQ(mkdir(loose.c_str(), 0700), 0);
	ASSERT_EQ(chmod(loose.c_str(), 0755), 0);
	EXPECT_EQ(BPrivate::make_private_directory(fTemp.c_str(), "loose",
		&path), B_NOT_ALLOWED);

	ASSERT_EQ(symlink((fTemp + "/made").c_str(),
		(fTemp + "/link").c_str()), 0);
	EXPECT_EQ(BPrivate::make_private_directory(fTemp.c_str(), "link",
		&path), B_NOT_ALLOWED);

	int file = open((fTemp + "/file").c_str(), O_CREAT | O_WRONLY, 0700);
	ASSERT_GE(file, 0);
	close(file);
	EXPECT_EQ(BPrivate::make_private_directory(fTemp.c_str(), "file",
		&path), B_NOT_ALLOWED);

	if (geteuid() == 0) {
		std::string theirs = fTemp + "/theirs";
		ASSERT_EQ(mkdir(theirs.c_str(), 0700), 0);
		ASSERT_EQ(chown(theirs.c_str(), 65534, 65534), 0);
		EXPECT_EQ(BPrivate::make_private_directory(fTemp.c_str(),
			"theirs", &path), B_NOT_ALLOWED);
	}

	EXPECT_EQ(BPrivate::make_private_directory(fTemp.c_str(), "..",
		&path), B_BAD_VALUE);
	EXPECT_EQ(BPrivate::make_private_directory(fTemp.c_str(), "a/b",
		&path), B_BAD_VALUE);
	EXPECT_EQ(BPrivate::make_private_directory("relative", "a", &path),
		B_BAD_VALUE);
	EXPECT_EQ(path, fTemp + "/made");
}


TEST_F(LaunchChannelTest, RuntimeDirectoryOrFallback)
{
	std::string fallbackParent = fTemp + "/fallback";
	ASSERT_EQ(mkdir(fallbackParent.c_str(), 0755), 0);
	std::string fallback = fallbackParent + "/kits-"
		+ std::to_string(geteuid());
	std::string path;

	ASSERT_EQ(BPrivate::launch_directory(&path,
		fallbackParent.c_str()), B_OK);
	EXPECT_EQ(path, fRuntime + "/orvane-kits");

	unsetenv("XDG_RUNTIME_DIR");
	ASSERT_EQ(BPrivate::launch_directory(&path,
		fallbackParent.c_str()), B_OK);
	EXPECT_EQ(path, fallback);
	EXPECT_EQ(mode_of(fallback), 0700u);

	// The fallback itself, loosened or replaced by a symlink, is refused.
	ASSERT_EQ(chmod(fallback.c_str(), 0755), 0);
	EXPECT_EQ(BPrivate::launch_directory(&path, fallbackParent.c_str()),
		B_NOT_ALLOWED);
	ASSERT_EQ(rmdir(fallback.c_str()), 0);
	ASSERT_EQ(symlink(fRuntime.c_str(), fallback.c_str()), 0);
	EXPECT_EQ(BPrivate::launch_directory(&path, fallbackParent.c_str()),
		B_NOT_ALLOWED);
	ASSERT_EQ(unlink(fallback.c_str()), 0);

	setenv("XDG_RUNTIME_DIR", "run", 1);
	ASSERT_EQ(BPrivate::launch_directory(&path,
		fallbackParent.c_str()), B_OK);
	EXPECT_EQ(path, fallback);

	std::string openRuntime = fTemp + "/open-runtime";
	ASSERT_EQ(mkdir(openRuntime.c_str(), 0700), 0);
	ASSERT_EQ(chmod(openRuntime.c_str(), 0755), 0);
	setenv("XDG_RUNTIME_DIR", openRuntime.c_str(), 1);
	ASSERT_EQ(BPrivate::launch_directory(&path,
		fallbackParent.c_str()), B_OK);
	EXPECT_EQ(path, fallback);
	EXPECT_FALSE(exists(openRuntime + "/orvane-kits"));

	// A trusted runtime directory whose own subdirectory is wrong is
	// refused, not silently swapped for another place.
	setenv("XDG_RUNTIME_DIR", fRuntime.c_str(), 1);
	ASSERT_EQ(rmdir((fRuntime + "/orvane-kits").c_str()), 0);
	ASSERT_EQ(symlink(fallback.c_str(), (fRuntime + "/orvane-kits").c_str()),
		0);
	EXPECT_EQ(BPrivate::launch_directory(&path,
		fallbackParent.c_str()), B_NOT_ALLOWED);
	LaunchChannel channel;
	EXPECT_EQ(channel.Claim(kSignature), B_NOT_ALLOWED);
	EXPECT_EQ(LaunchChannel::HandOver(kSignature,
		BMessage(B_SILENT_RELAUNCH)), B_NOT_ALLOWED);
}


TEST(AppResourcesTest, ProgramWithoutResourcesLaunchesMultiply)
{
	EXPECT_EQ(BPrivate::image_app_resources(), nullptr);
	EXPECT_EQ(BPrivate::image_launch_flags(), (uint32)B_MULTIPLE_LAUNCH);
}


TEST(LaunchHandOverTest, BuildsAndValidatesHandOvers)
{
	BMessage message;
	const char* justProgram[] = { "prog" };
	ASSERT_EQ(BPrivate::make_launch_hand_over(1, justProgram, "/work",
		&message), B_OK);
	EXPECT_EQ(message.what, (uint32)B_SILENT_RELAUNCH);
	EXPECT_TRUE(message.IsEmpty());

	const char* arguments[] = { "bin/prog", "a.txt", NULL, "/abs", "",
		"--option", "./-file" };
	ASSERT_EQ(BPrivate::make_launch_hand_over(7, arguments, "/", &message),
		B_OK);
	message.AddString("extra", "dropped");
	message.ReplaceInt32("argc", 99);

	BMessage handOver;
	ASSERT_EQ(BPrivate::validate_launch_hand_over(message, &handOver), B_OK);
	EXPECT_EQ(handOver.what, (uint32)B_ARGV_RECEIVED);
	EXPECT_EQ(handOver.GetInt32("argc", 0), 7);
	EXPECT_EQ(strings_of(handOver, "argv"), (std::vector<std::string>{
		"bin/prog", "/a.txt", "", "/abs", "", "--option", "/./-file" }));
	EXPECT_STREQ(handOver.GetString("cwd"), "/");
	EXPECT_FALSE(handOver.HasString("extra"));

	// Without a cwd the arguments stay as they are.
	message.RemoveName("cwd");
	ASSERT_EQ(BPrivate::validate_launch_hand_over(message, &handOver), B_OK);
	EXPECT_EQ(strings_of(handOver, "argv")[1], "a.txt");

	BMessage relativeCwd(message);
	relativeCwd.AddString("cwd", "home/user");
	EXPECT_EQ(BPrivate::validate_launch_hand_over(relativeCwd, &handOver),
		B_BAD_DATA);

	BMessage twoCwds(message);
	twoCwds.AddString("cwd", "/a");
	twoCwds.AddString("cwd", "/b");
	EXPECT_EQ(BPrivate::validate_launch_hand_over(twoCwds, &handOver),
		B_BAD_DATA);

	BMessage wrongType(B_ARGV_RECEIVED);
	wrongType.AddInt32("argv", 3);
	EXPECT_EQ(BPrivate::validate_launch_hand_over(wrongType, &handOver),
		B_BAD_DATA);
	EXPECT_EQ(BPrivate::validate_launch_hand_over(BMessage(B_ARGV_RECEIVED),
		&handOver), B_BAD_DATA);
	EXPECT_EQ(BPrivate::validate_launch_hand_over(BMessage(B_REFS_RECEIVED),
		&handOver), B_BAD_DATA);
	EXPECT_EQ(BPrivate::validate_launch_hand_over(BMessage('ABCD'),
		&handOver), B_BAD_DATA);
	EXPECT_EQ(BPrivate::validate_launch_hand_over(BMessage(B_QUIT_REQUESTED),
		&handOver), B_BAD_DATA);
}


TEST_F(LaunchChannelTest, SecondLaunchHandsOverToFirst)
{
	EXPECT_FALSE(be_roster->IsRunning(kSignature));
	LaunchChannel first;
	StartServer(first);
	EXPECT_TRUE(be_roster->IsRunning(kSignature));
	EXPECT_TRUE(be_roster->IsRunning("Application/X-Vnd.Orvane-LaunchTest"));
	EXPECT_EQ(mode_of(fRuntime + "/orvane-kits"), 0700u);

	LaunchChannel second;
	EXPECT_EQ(second.Claim(kSignature), B_ALREADY_RUNNING);
	EXPECT_EQ(first.Claim(kSignature), B_BUSY);

	std::string cwd = fTemp + "/work";
	ASSERT_EQ(mkdir(cwd.c_str(), 0755), 0);
	BMessage argv = argv_message({ "orvane", "notes/not-yet.txt", "./a b.txt",
		"/etc/hostname", "" }, cwd.c_str());
	ASSERT_EQ(LaunchChannel::HandOver(kSignature, argv), B_OK);

	std::string existing = cwd + "/existing.txt";
	close(open(existing.c_str(), O_CREAT | O_WRONLY, 0644));
	entry_ref ref;
	ASSERT_EQ(get_ref_for_path(existing.c_str(), &ref), B_OK);
	BMessage refs(B_REFS_RECEIVED);
	refs.AddRef("refs", &ref);
	ASSERT_EQ(LaunchChannel::HandOver(kSignature, refs), B_OK);

	ASSERT_EQ(LaunchChannel::HandOver(kSignature,
		BMessage(B_SILENT_RELAUNCH)), B_OK);

	std::vector<BMessage> received = fTarget->WaitForMessages(3);
	ASSERT_EQ(received.size(), 3u);
	EXPECT_EQ(received[0].what, (uint32)B_ARGV_RECEIVED);
	EXPECT_EQ(received[0].GetInt32("argc", 0), 5);
	EXPECT_EQ(strings_of(received[0], "argv"), (std::vector<std::string>{
		"orvane", cwd + "/notes/not-yet.txt", cwd + "/./a b.txt",
		"/etc/hostname", "" }));
	EXPECT_EQ(strings_of(received[0], "cwd"),
		(std::vector<std::string>{ cwd }));

	EXPECT_EQ(received[1].what, (uint32)B_REFS_RECEIVED);
	entry_ref receivedRef;
	ASSERT_EQ(received[1].FindRef("refs", &receivedRef), B_OK);
	EXPECT_EQ(receivedRef, ref);
	EXPECT_EQ(received[2].what, (uint32)B_SILENT_RELAUNCH);

	std::string socketPath = SocketPath();
	EXPECT_TRUE(exists(socketPath));
	first.Stop();
	EXPECT_FALSE(exists(socketPath));
	EXPECT_FALSE(be_roster->IsRunning(kSignature));
	first.Stop();

	EXPECT_EQ(second.Claim(kSignature), B_OK);
}


TEST_F(LaunchChannelTest, StopLeavesAnotherInstancesSocket)
{
	LaunchChannel channel;
	StartServer(channel);
	std::string path = SocketPath();

	// Someone removed our socket and another instance bound its own.
	ASSERT_EQ(unlink(path.c_str()), 0);
	int other = socket(AF_UNIX, SOCK_STREAM, 0);
	sockaddr_un address = {};
	address.sun_family = AF_UNIX;
	strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
	ASSERT_EQ(bind(other, (const sockaddr*)&address, sizeof(address)), 0);
	ASSERT_EQ(listen(other, 4), 0);

	channel.Stop();
	EXPECT_TRUE(exists(path));
	EXPECT_TRUE(LaunchChannel::IsRunning(kSignature));
	close(other);
}


TEST_F(LaunchChannelTest, RacingClaimsHaveOneWinner)
{
	const int kLaunches = 6;
	std::vector<LaunchChannel> channels(kLaunches);
	std::vector<status_t> results(kLaunches, B_ERROR);
	std::atomic<int> ready(0);
	std::vector<std::thread> threads;
	for (int i = 0; i < kLaunches; i++) {
		threads.emplace_back([&, i] {
			ready++;
			while (ready.load() < kLaunches)
				std::this_thread::yield();
			results[i] = channels[i].Claim(kSignature);
		});
	}
	for (std::thread& thread : threads)
		thread.join();

	int winners = 0;
	for (status_t result : results) {
		if (result == B_OK)
			winners++;
		else
			EXPECT_EQ(result, B_ALREADY_RUNNING);
	}
	EXPECT_EQ(winners, 1);
}


TEST_F(LaunchChannelTest, LeftOversNeverBlockAClaim)
{
	std::string path = SocketPath();

	// A socket that was bound and then abandoned, as after a crash.
	int abandoned = socket(AF_UNIX, SOCK_STREAM, 0);
	sockaddr_un address = {};
	address.sun_family = AF_UNIX;
	strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
	ASSERT_EQ(bind(abandoned, (const sockaddr*)&address, sizeof(address)),
		0);
	ASSERT_EQ(listen(abandoned, 4), 0);
	close(abandoned);
	ASSERT_TRUE(exists(path));
	EXPECT_FALSE(LaunchChannel::IsRunning(kSignature));
	EXPECT_EQ(LaunchChannel::HandOver(kSignature,
		BMessage(B_SILENT_RELAUNCH)), B_LAUNCH_FAILED);
	{
		LaunchChannel channel;
		StartServer(channel);
		EXPECT_EQ(LaunchChannel::HandOver(kSignature,
			BMessage(B_SILENT_RELAUNCH)), B_OK);
	}
	EXPECT_EQ(fTarget->WaitForMessages(1).size(), 1u);

	// A plain file, and an empty directory, where the socket belongs.
	int file = open(path.c_str(), O_CREAT | O_WRONLY, 0600);
	ASSERT_GE(file, 0);
	ASSERT_EQ(write(file, "junk", 4), 4);
	close(file);
	{
		LaunchChannel channel;
		EXPECT_EQ(channel.Claim(kSignature), B_OK);
	}
	ASSERT_EQ(mkdir(path.c_str(), 0700), 0);
	{
		LaunchChannel channel;
		EXPECT_EQ(channel.Claim(kSignature), B_OK);
		EXPECT_TRUE(LaunchChannel::IsRunning(kSignature));
	}
	EXPECT_FALSE(exists(path));
}


TEST_F(LaunchChannelTest, BadClientsAreRefusedAndServiceGoesOn)
{
	LaunchChannel channel;
	StartServer(channel, 200000);
	std::string path = SocketPath();

	// A client that connects and says nothing holds a slot, not the
	// listener: the others are served while it waits.
	int silent = connect_raw(path);
	ASSERT_GE(silent, 0);

	BMessage good = argv_message({ "prog", "file.txt" }, "/home");
	std::string goodBytes = flat(good);

	std::string oversized;
	for (uint32 size : { LaunchChannel::kMaxHandOverSize + 1,
			(uint32)0xffffffff }) {
		oversized.clear();
		for (int i = 0; i < 4; i++)
			oversized += (char)((size >> (8 * i)) & 0xff);
		EXPECT_EQ(send_raw(path, oversized + "OVM1", false),
			LaunchChannel::kRefused) << size;
	}
	EXPECT_EQ(send_raw(path, packet_for("")), LaunchChannel::kRefused);
	EXPECT_EQ(send_raw(path, packet_for(std::string(300, '\xa5'))),
		LaunchChannel::kRefused);
	EXPECT_EQ(send_raw(path,
		packet_for(goodBytes.substr(0, goodBytes.size() - 3))),
		LaunchChannel::kRefused);
	// The length promises more than arrives before the connection ends.
	EXPECT_EQ(send_raw(path,
		packet_for(goodBytes).substr(0, goodBytes.size() - 3)), kNoAnswer);
	EXPECT_EQ(send_raw(path, "\x10\x00"), kNoAnswer);

	BMessage wrongWhat(good);
	wrongWhat.what = 'ABCD';
	EXPECT_EQ(send_raw(path, packet_for(flat(wrongWhat))),
		LaunchChannel::kRefused);
	BMessage wrongType(B_ARGV_RECEIVED);
	wrongType.AddInt32("argv", 1);
	EXPECT_EQ(send_raw(path, packet_for(flat(wrongType))),
		LaunchChannel::kRefused);
	BMessage relativeCwd = argv_message({ "prog", "file.txt" }, "home");
	EXPECT_EQ(send_raw(path, packet_for(flat(relativeCwd))),
		LaunchChannel::kRefused);
	EXPECT_EQ(LaunchChannel::HandOver(kSignature, wrongWhat),
		B_NOT_ALLOWED);

	EXPECT_EQ(send_raw(path, packet_for(goodBytes), true, kConfirm),
		LaunchChannel::kAcknowledged);
	// Bytes after the announced message are no confirmation: the
	// hand-over is acknowledged, then dropped.
	EXPECT_EQ(send_raw(path, packet_for(goodBytes) + "trailing", true,
		kConfirm), LaunchChannel::kAcknowledged);
	// Acknowledged but never confirmed: dropped.
	EXPECT_EQ(send_raw(path, packet_for(goodBytes)),
		LaunchChannel::kAcknowledged);
	EXPECT_EQ(send_raw(path, packet_for(goodBytes), true, kConfirm),
		LaunchChannel::kAcknowledged);

	// The silent client is dropped once its time is up.
	int answer = read_answer(silent);
	EXPECT_TRUE(answer == LaunchChannel::kRefused || answer == kNoAnswer)
		<< answer;
	close(silent);

	std::vector<BMessage> received = fTarget->WaitForMessages(2);
	// Give a wrongly posted unconfirmed hand-over the time to show up.
	snooze(200000);
	received = fTarget->WaitForMessages(2);
	ASSERT_EQ(received.size(), 2u);
	for (const BMessage& message : received) {
		EXPECT_EQ(strings_of(message, "argv"), (std::vector<std::string>{
			"prog", "/home/file.txt" }));
	}
}


TEST_F(LaunchChannelTest, ClientOfAnotherUserIsRefused)
{
	if (geteuid() != 0)
		GTEST_SKIP() << "acting as another user needs root";

	LaunchChannel channel;
	StartServer(channel);
	std::string path = SocketPath();
	// Let the other user reach the socket at all; the peer check is what
	// must stop it.
	for (const std::string& directory : { fTemp, fRuntime,
			fRuntime + "/orvane-kits" })
		ASSERT_EQ(chmod(directory.c_str(), 0711), 0);
	ASSERT_EQ(chmod(path.c_str(), 0777), 0);

	std::string packet = packet_for(flat(argv_message({ "prog", "x" },
		"/")));
	pid_t child = fork();
	ASSERT_GE(child, 0);
	if (child == 0) {
		if (setgid(65534) != 0 || setuid(65534) != 0)
			_exit(3);
		int fd = connect_raw(path);
		if (fd < 0)
			_exit(4);
		send(fd, packet.data(), packet.size(), MSG_NOSIGNAL);
		int answer = read_answer(fd);
		_exit(answer == kNoAnswer ? 0 : answer == kTimedOut ? 5 : 1);
	}

	int status = 0;
	bigtime_t deadline = system_time() + kWaitLimit;
	while (waitpid(child, &status, WNOHANG) == 0) {
		if (system_time() > deadline) {
			kill(child, SIGKILL);
			waitpid(child, &status, 0);
			break;
		}
		snooze(10000);
	}
	ASSERT_TRUE(WIFEXITED(status));
	EXPECT_EQ(WEXITSTATUS(status), 0);
	for (const std::string& directory : { fTemp, fRuntime,
			fRuntime + "/orvane-kits" })
		ASSERT_EQ(chmod(directory.c_str(), 0700), 0);

	// Our own hand-over still goes through, and is the only message.
	ASSERT_EQ(LaunchChannel::HandOver(kSignature,
		BMessage(B_SILENT_RELAUNCH)), B_OK);
	std::vector<BMessage> received = fTarget->WaitForMessages(1);
	ASSERT_EQ(received.size(), 1u);
	EXPECT_EQ(received[0].what, (uint32)B_SILENT_RELAUNCH);
}


TEST_F(LaunchChannelTest, HandOverFailures)
{
	BMessage relaunch(B_SILENT_RELAUNCH);
	EXPECT_EQ(LaunchChannel::HandOver(kSignature, relaunch),
		B_ENTRY_NOT_FOUND);
	EXPECT_EQ(LaunchChannel::HandOver("no signature", relaunch),
		B_BAD_VALUE);

	LaunchChannel channel;
	StartServer(channel);
	BMessage huge(B_ARGV_RECEIVED);
	std::string big(LaunchChannel::kMaxHandOverSize, 'x');
	huge.AddString("argv", big.c_str());
	EXPECT_EQ(LaunchChannel::HandOver(kSignature, huge), B_BAD_VALUE);
	EXPECT_EQ(channel.StartListening(BMessenger(fTarget)), B_BUSY);

	// The instance's target is gone: the hand-over is refused, so the
	// launch can try to take over instead.
	ASSERT_TRUE(fTarget->Lock());
	fTarget->Quit();
	fTarget = NULL;
	EXPECT_EQ(LaunchChannel::HandOver(kSignature, relaunch), B_NOT_ALLOWED);

	LaunchChannel unclaimed;
	EXPECT_EQ(unclaimed.StartListening(BMessenger()), B_NO_INIT);
}

}	// namespace


// A launch that gave up waiting for a stopped instance opened its file
// itself, and the instance, once continued, opened it again.
TEST_F(LaunchChannelTest, AbandonedHandOverIsNeverActedOn)
{
	// Claimed but not yet listening: connections wait in the backlog as
	// they do for a stopped instance.
	LaunchChannel channel;
	ASSERT_EQ(channel.Claim(kSignature), B_OK);
	BMessage abandoned = argv_message({ "prog", "abandoned.txt" }, "/home");
	EXPECT_EQ(LaunchChannel::HandOver(kSignature, abandoned, 200000),
		B_TIMED_OUT);
	// One that went away before any answer could come.
	int gone = connect_raw(SocketPath());
	ASSERT_GE(gone, 0);
	std::string bytes = packet_for(flat(abandoned));
	ASSERT_EQ(send(gone, bytes.data(), bytes.size(), MSG_NOSIGNAL),
		(ssize_t)bytes.size());
	close(gone);

	// The instance goes on; only the launch that waited is acted on.
	ASSERT_EQ(channel.StartListening(BMessenger(fTarget)), B_OK);
	BMessage kept = argv_message({ "prog", "kept.txt" }, "/home");
	EXPECT_EQ(LaunchChannel::HandOver(kSignature, kept), B_OK);
	std::vector<BMessage> received = fTarget->WaitForMessages(1);
	// Give a wrongly posted abandoned hand-over the time to show up.
	snooze(200000);
	received = fTarget->WaitForMessages(1);
	ASSERT_EQ(received.size(), 1u);
	EXPECT_EQ(strings_of(received[0], "argv"), (std::vector<std::string>{
		"prog", "/home/kept.txt" }));
}
