/*
 * The single-launch channel. LaunchChannel.h describes the protocol,
 * LaunchDirectory.h where the sockets live.
 */
#include "LaunchChannel.h"

#include <AppDefs.h>
#include <Message.h>

#include "LaunchDirectory.h"
#include "LaunchHandOver.h"
#include "StatusErrno.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <string.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <system_error>
#include <vector>


namespace BPrivate {

namespace {

const char* const kLockSuffix = ".lock";
// How long a launch waits for a racing launch to finish claiming, and how
// long Stop() waits for it before removing the socket anyway.
const bigtime_t kClaimLockTimeout = 5000000;
const bigtime_t kStopLockTimeout = 1000000;
// How long Claim() and IsRunning() wait for a connection to a socket whose
// owner may be busy.
const bigtime_t kProbeTimeout = 1000000;


// Closes its descriptor when it goes out of scope.
class FileDescriptor {
public:
	explicit					FileDescriptor(int fd = -1) : fFD(fd) {}
								~FileDescriptor() { Close(); }

			int					Get() const { return fFD; }
			int					Detach()
								{
									int fd = fFD;
									fFD = -1;
									return fd;
								}
			void				Close()
								{
									if (fFD >= 0)
										close(fFD);
									fFD = -1;
								}

private:
								FileDescriptor(const FileDescriptor&) = delete;
			FileDescriptor&		operator=(const FileDescriptor&) = delete;

			int					fFD;
};


status_t
errno_status()
{
	return status_from_errno(errno);
}


// Milliseconds for poll() until the deadline, rounded up so that a wait
// never ends just before it.
int
poll_timeout(bigtime_t deadline)
{
	bigtime_t remaining = deadline - system_time();
	if (remaining <= 0)
		return 0;
	bigtime_t milliseconds = (remaining + 999) / 1000;
	return milliseconds > INT_MAX ? INT_MAX : (int)milliseconds;
}


status_t
make_address(const std::string& path, sockaddr_un* address)
{
	memset(address, 0, sizeof(*address));
	address->sun_family = AF_UNIX;
	if (path.size() >= sizeof(address->sun_path))
		return B_NAME_TOO_LONG;
	memcpy(address->sun_path, path.c_str(), path.size() + 1);
	return B_OK;
}


// Connects to the socket at path, waiting at most until the deadline when
// the listener's backlog is full. On failure errno tells why.
status_t
connect_to(const std::string& path, bigtime_t deadline, int* _socket)
{
	sockaddr_un address;
	status_t status = make_address(path, &address);
	if (status != B_OK) {
		errno = ENAMETOOLONG;
		return status;
	}

	FileDescriptor fd(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
	if (fd.Get() < 0)
		return errno_status();

	// A Unix socket's connect() waits for room in the backlog for as long
	// as the send timeout allows.
	bigtime_t remaining = std::max<bigtime_t>(deadline - system_time(), 1000);
	timeval timeout;
	timeout.tv_sec = remaining / 1000000;
	timeout.tv_usec = remaining % 1000000;
	setsockopt(fd.Get(), SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof(timeout));

	while (connect(fd.Get(), (const sockaddr*)&address, sizeof(address))
			!= 0) {
		if (errno == EINTR && system_time() < deadline)
			continue;
		int error = errno;
		status = error == EAGAIN || error == EINPROGRESS
			? B_TIMED_OUT : status_from_errno(error);
		errno = error;
		return status;
	}

	*_socket = fd.Detach();
	return B_OK;
}


// Takes the exclusive lock on the lock file, polling until the deadline so
// that a launch stuck while holding it cannot hang ours.
status_t
lock_file(const std::string& path, bigtime_t deadline, int* _fd)
{
	FileDescriptor fd(open(path.c_str(),
		O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
	if (fd.Get() < 0)
		return errno_status();

	while (flock(fd.Get(), LOCK_EX | LOCK_NB) != 0) {
		if (errno != EWOULDBLOCK && errno != EINTR)
			return errno_status();
		if (system_time() >= deadline)
			return B_TIMED_OUT;
		snooze(5000);
	}

	*_fd = fd.Detach();
	return B_OK;
}


// Removes whatever blocks the socket's path after a refused connection: a
// socket file whose instance died, or anything else that landed there.
status_t
remove_stale_entry(const std::string& path)
{
	struct stat info;
	if (lstat(path.c_str(), &info) != 0)
		return errno == ENOENT ? B_OK : errno_status();
	int result = S_ISDIR(info.st_mode)
		? rmdir(path.c_str()) : unlink(path.c_str());
	if (result != 0 && errno != ENOENT)
		return errno_status();
	return B_OK;
}


// Sends all bytes before the deadline, on a non-blocking socket.
status_t
send_all(int fd, const char* data, size_t size, bigtime_t deadline)
{
	while (size > 0) {
		ssize_t written = send(fd, data, size, MSG_NOSIGNAL);
		if (written > 0) {
			data += written;
			size -= written;
			continue;
		}
		if (written < 0 && errno == EINTR)
			continue;
		if (written < 0 && errno != EAGAIN)
			return errno == EPIPE || errno == ECONNRESET
				? B_IO_ERROR : errno_status();

		pollfd waiting = { fd, POLLOUT, 0 };
		int ready = poll(&waiting, 1, poll_timeout(deadline));
		if (ready == 0)
			return B_TIMED_OUT;
		if (ready < 0 && errno != EINTR)
			return errno_status();
	}
	return B_OK;
}


// One connection of the listener, from accept() until it is confirmed or
// dropped.
struct Client {
	int					fd;
	bigtime_t			deadline;
	uint8				header[4];
	size_t				headerRead;
	// Resized to the announced size once the header is complete.
	std::vector<char>	body;
	size_t				bodyRead;
	// Acknowledged and waiting for the client's confirmation before it is
	// posted.
	bool				acknowledged;
	BMessage			handOver;
};

enum read_state {
	kReadMore,
	kReadComplete,
	kReadClosed,	// the peer went away or failed: drop it silently
	kReadRefused	// it announced something we will not take
};


read_state
read_from_client(Client& client)
{
	while (true) {
		char* target;
		size_t wanted;
		if (client.headerRead < sizeof(client.header)) {
			target = (char*)client.header + client.headerRead;
			wanted = sizeof(client.header) - client.headerRead;
		} else {
			target = client.body.data() + client.bodyRead;
			wanted = client.body.size() - client.bodyRead;
		}

		ssize_t bytesRead = recv(client.fd, target, wanted, 0);
		if (bytesRead == 0)
			return kReadClosed;
		if (bytesRead < 0) {
			if (errno == EINTR)
				continue;
			return errno == EAGAIN ? kReadMore : kReadClosed;
		}

		if (client.headerRead < sizeof(client.header)) {
			client.headerRead += bytesRead;
			if (client.headerRead < sizeof(client.header))
				continue;
			uint32 size = (uint32)client.header[0]
				| (uint32)client.header[1] << 8
				| (uint32)client.header[2] << 16
				| (uint32)client.header[3] << 24;
			if (size == 0 || size > LaunchChannel::kMaxHandOverSize)
				return kReadRefused;
			client.body.resize(size);
			client.bodyRead = 0;
		} else {
			client.bodyRead += bytesRead;
			if (client.bodyRead == client.body.size())
				return kReadComplete;
		}
	}
}


void
answer_and_close(Client& client, uint8 answer)
{
	send(client.fd, &answer, 1, MSG_NOSIGNAL | MSG_DONTWAIT);
	close(client.fd);
	client.fd = -1;
}


bool
is_same_user(int fd)
{
	ucred credentials;
	socklen_t length = sizeof(credentials);
	if (getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &length) != 0
		|| length != sizeof(credentials))
		return false;
	return credentials.uid == geteuid();
}


// The client's answer to the acknowledgement: once it confirms, the
// hand-over is posted; anything else, or the connection closing, drops it.
void
serve_confirmation(Client& client, const BMessenger& target)
{
	uint8 answer;
	ssize_t bytesRead;
	do
		bytesRead = recv(client.fd, &answer, 1, 0);
	while (bytesRead < 0 && errno == EINTR);
	if (bytesRead < 0 && errno == EAGAIN)
		return;
	if (bytesRead == 1 && answer == LaunchChannel::kConfirmed)
		target.SendMessage(&client.handOver);
	close(client.fd);
	client.fd = -1;
}


// Reads what the client has sent so far; once its hand-over is complete,
// checks it and answers, and waits for the confirmation from there.
void
serve_client(Client& client, const BMessenger& target,
	bigtime_t confirmationTimeout)
{
	if (client.acknowledged) {
		serve_confirmation(client, target);
		return;
	}
	switch (read_from_client(client)) {
		case kReadMore:
			break;
		case kReadClosed:
			close(client.fd);
			client.fd = -1;
			break;
		case kReadRefused:
			answer_and_close(client, LaunchChannel::kRefused);
			break;
		case kReadComplete:
		{
			BMessage message;
			bool accepted = message.Unflatten(client.body.data(),
					client.body.size()) == B_OK
				&& validate_launch_hand_over(message, &client.handOver)
					== B_OK
				&& target.IsValid();
			if (!accepted) {
				answer_and_close(client, LaunchChannel::kRefused);
				break;
			}
			uint8 answer = LaunchChannel::kAcknowledged;
			if (send(client.fd, &answer, 1, MSG_NOSIGNAL | MSG_DONTWAIT)
					!= 1) {
				close(client.fd);
				client.fd = -1;
				break;
			}
			client.acknowledged = true;
			client.body.clear();
			client.deadline = system_time() + confirmationTimeout;
			break;
		}
	}
}


// Takes every pending connection. Peers of another user, and connections
// beyond the last free slot, are closed unanswered.
void
accept_clients(int listenSocket, std::vector<Client>& clients,
	bigtime_t deadline)
{
	while (true) {
		int fd = accept4(listenSocket, NULL, NULL,
			SOCK_CLOEXEC | SOCK_NONBLOCK);
		if (fd < 0) {
			if (errno == EINTR || errno == ECONNABORTED)
				continue;
			// Out of descriptors or memory: the pending connection keeps
			// the socket readable, so pause instead of spinning.
			if (errno != EAGAIN)
				snooze(10000);
			return;
		}
		if (!is_same_user(fd)
			|| (int32)clients.size() >= LaunchChannel::kMaxClients) {
			close(fd);
			continue;
		}
		clients.push_back({ fd, deadline, {}, 0, {}, 0, false, BMessage() });
	}
}

}	// namespace


LaunchChannel::LaunchChannel()
	:
	fListenSocket(-1),
	fSocketDevice(0),
	fSocketNode(0),
	fWakeRead(-1),
	fWakeWrite(-1),
	fClientTimeout(kDefaultClientTimeout)
{
}


LaunchChannel::~LaunchChannel()
{
	Stop();
}


status_t
LaunchChannel::Claim(const char* signature)
{
	if (fListenSocket >= 0)
		return B_BUSY;
	if (!is_valid_app_signature(signature))
		return B_BAD_VALUE;

	std::string path;
	status_t status = launch_socket_path(signature, &path);
	if (status != B_OK)
		return status;

	int lockFD;
	status = lock_file(path + kLockSuffix, system_time() + kClaimLockTimeout,
		&lockFD);
	if (status != B_OK)
		return status;
	FileDescriptor lock(lockFD);

	int probe;
	status = connect_to(path, system_time() + kProbeTimeout, &probe);
	if (status == B_OK) {
		close(probe);
		return B_ALREADY_RUNNING;
	}
	// A listener whose backlog stays full is alive, only busy.
	if (status == B_TIMED_OUT)
		return B_ALREADY_RUNNING;
	if (errno == ECONNREFUSED || errno == ENOTSOCK) {
		status = remove_stale_entry(path);
		if (status != B_OK)
			return status;
	} else if (errno != ENOENT)
		return status;

	// The lock is held until listen() has run, so a launch that comes
	// next finds a socket that answers.
	return _Bind(path);
}


status_t
LaunchChannel::StartListening(const BMessenger& target)
{
	if (fListenSocket < 0)
		return B_NO_INIT;
	if (fListener.joinable())
		return B_BUSY;

	int pipeEnds[2];
	if (pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0)
		return errno_status();
	fWakeRead = pipeEnds[0];
	fWakeWrite = pipeEnds[1];
	fTarget = target;

	// std::thread reports a failure to start only by throwing.
	try {
		fListener = std::thread(&LaunchChannel::_Listen, this);
	} catch (const std::system_error&) {
		return B_NO_MORE_THREADS;
	}
	return B_OK;
}


void
LaunchChannel::Stop()
{
	if (fListener.joinable()) {
		char wake = 1;
		while (write(fWakeWrite, &wake, 1) < 0 && errno == EINTR)
			;
		fListener.join();
	}
	if (fWakeRead >= 0) {
		close(fWakeRead);
		close(fWakeWrite);
		fWakeRead = fWakeWrite = -1;
	}
	if (fListenSocket >= 0) {
		_RemoveSocketFile();
		close(fListenSocket);
		fListenSocket = -1;
	}
	fSocketPath.clear();
}


void
LaunchChannel::SetClientTimeout(bigtime_t timeout)
{
	fClientTimeout = timeout > 0 ? timeout : kDefaultClientTimeout;
}


status_t
LaunchChannel::HandOver(const char* signature, const BMessage& message,
	bigtime_t timeout)
{
	if (!is_valid_app_signature(signature))
		return B_BAD_VALUE;

	ssize_t size = message.FlattenedSize();
	if (size <= 0 || (size_t)size > kMaxHandOverSize)
		return B_BAD_VALUE;
	std::vector<char> packet(4 + size);
	for (int i = 0; i < 4; i++)
		packet[i] = (char)(((uint32)size >> (8 * i)) & 0xff);
	status_t status = message.Flatten(packet.data() + 4, size);
	if (status != B_OK)
		return status;

	std::string path;
	status = launch_socket_path(signature, &path);
	if (status != B_OK)
		return status;

	bigtime_t deadline = system_time() + timeout;
	int socketFD;
	status = connect_to(path, deadline, &socketFD);
	if (status != B_OK)
		return errno == ECONNREFUSED ? B_LAUNCH_FAILED : status;
	FileDescriptor fd(socketFD);
	fcntl(fd.Get(), F_SETFL, fcntl(fd.Get(), F_GETFL) | O_NONBLOCK);

	status = send_all(fd.Get(), packet.data(), packet.size(), deadline);
	if (status != B_OK)
		return status;

	while (true) {
		pollfd waiting = { fd.Get(), POLLIN, 0 };
		int ready = poll(&waiting, 1, poll_timeout(deadline));
		if (ready == 0)
			return B_TIMED_OUT;
		if (ready < 0) {
			if (errno == EINTR)
				continue;
			return errno_status();
		}

		uint8 answer;
		ssize_t bytesRead = recv(fd.Get(), &answer, 1, 0);
		if (bytesRead < 0 && (errno == EINTR || errno == EAGAIN))
			continue;
		if (bytesRead <= 0)
			return B_IO_ERROR;
		if (answer != kAcknowledged)
			return B_NOT_ALLOWED;
		// From here on the hand-over is the running instance's.
		uint8 confirmation = kConfirmed;
		return send_all(fd.Get(), (const char*)&confirmation, 1, deadline);
	}
}


bool
LaunchChannel::IsRunning(const char* signature)
{
	if (!is_valid_app_signature(signature))
		return false;
	std::string path;
	if (launch_socket_path(signature, &path) != B_OK)
		return false;
	int fd;
	if (connect_to(path, system_time() + kProbeTimeout, &fd) != B_OK)
		return false;
	close(fd);
	return true;
}


status_t
LaunchChannel::_Bind(const std::string& path)
{
	sockaddr_un address;
	status_t status = make_address(path, &address);
	if (status != B_OK)
		return status;

	FileDescriptor fd(socket(AF_UNIX,
		SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
	if (fd.Get() < 0)
		return errno_status();
	if (bind(fd.Get(), (const sockaddr*)&address, sizeof(address)) != 0)
		return errno == EADDRINUSE ? B_BUSY : errno_status();

	struct stat info;
	if (lstat(path.c_str(), &info) != 0 || listen(fd.Get(), kMaxClients)
			!= 0) {
		status = errno_status();
		unlink(path.c_str());
		return status;
	}

	fSocketPath = path;
	fSocketDevice = info.st_dev;
	fSocketNode = info.st_ino;
	fListenSocket = fd.Detach();
	return B_OK;
}


void
LaunchChannel::_RemoveSocketFile()
{
	// Under the lock, so that a launch claiming right now sees either our
	// socket or none, never one that vanishes under it.
	int lockFD = -1;
	lock_file(fSocketPath + kLockSuffix, system_time() + kStopLockTimeout,
		&lockFD);
	FileDescriptor lock(lockFD);

	struct stat info;
	if (lstat(fSocketPath.c_str(), &info) == 0
		&& info.st_dev == fSocketDevice && info.st_ino == fSocketNode)
		unlink(fSocketPath.c_str());
}


void
LaunchChannel::_Listen()
{
	std::vector<Client> clients;
	std::vector<pollfd> polled;

	while (true) {
		bigtime_t nextDeadline = B_INFINITE_TIMEOUT;
		polled.clear();
		polled.push_back({ fWakeRead, POLLIN, 0 });
		polled.push_back({ fListenSocket, POLLIN, 0 });
		for (const Client& client : clients) {
			polled.push_back({ client.fd, POLLIN, 0 });
			nextDeadline = std::min(nextDeadline, client.deadline);
		}

		int timeout = nextDeadline == B_INFINITE_TIMEOUT
			? -1 : poll_timeout(nextDeadline);
		if (poll(polled.data(), polled.size(), timeout) < 0
			&& errno != EINTR)
			break;
		if (polled[0].revents != 0)
			break;

		for (size_t i = 0; i < clients.size(); i++) {
			if (polled[i + 2].revents != 0)
				serve_client(clients[i], fTarget, fClientTimeout);
		}

		// Connections that took too long go; their slots serve others.
		bigtime_t now = system_time();
		for (Client& client : clients) {
			if (client.fd >= 0 && client.deadline <= now)
				answer_and_close(client, kRefused);
		}
		clients.erase(std::remove_if(clients.begin(), clients.end(),
			[](const Client& client) { return client.fd < 0; }),
			clients.end());

		if (polled[1].revents != 0)
			accept_clients(fListenSocket, clients, now + fClientTimeout);
	}

	// A confirmation that came in just before the end still counts: its
	// launch has gone and relies on this instance.
	for (Client& client : clients) {
		if (client.fd >= 0 && client.acknowledged)
			serve_confirmation(client, fTarget);
		if (client.fd >= 0)
			close(client.fd);
	}
}

}	// namespace BPrivate
