/*
 * Private to the kits: the single-launch channel, a Unix socket per user
 * and display through which a later launch of an application hands its
 * command line (or its file references) to the instance that is already
 * running on the same display.
 *
 * Each signature has its own socket on each display, in the private
 * directory that LaunchDirectory.h describes; a lock file beside it
 * ("<socket>.lock") serialises launches that race each other.
 *
 * The protocol. A client connects, writes a 32-bit little-endian length
 * and then that many bytes of a flat BMessage, and waits for one byte:
 * kAcknowledged when the message was accepted, kRefused otherwise. On
 * kAcknowledged the client writes kConfirmed, and only then does the
 * listener post the message: from that byte on the hand-over is the
 * running instance's, and the client never falls back to opening the
 * files itself. A client that gave up waiting (its instance was stopped,
 * say) closes the connection unconfirmed, and the listener, finding no
 * confirmation when it gets round to it, drops the hand-over; so a launch
 * is acted on once, never by both. The listener only talks to peers of
 * its own uid
 * (SO_PEERCRED), reads at most kMaxHandOverSize bytes per connection and
 * gives each connection kDefaultClientTimeout to deliver; a silent client
 * never holds up the next one, since every connection is served from one
 * poll() loop.
 *
 * The listener accepts only the hand-overs that LaunchHandOver.h
 * describes, rebuilt from their known fields, with relative paths made
 * absolute against the launch's working directory.
 *
 * Threads: Claim(), StartListening() and Stop() belong to the thread that
 * owns the object; the listener runs on a thread of its own, started by
 * StartListening() and ended by Stop() or the destructor. The object
 * owns the listening socket, that thread, and the socket file while it
 * is bound.
 */
#ifndef _KITS_LAUNCH_CHANNEL_H
#define _KITS_LAUNCH_CHANNEL_H

#include <Messenger.h>
#include <SupportDefs.h>

#include <string>
#include <thread>

class BMessage;

namespace BPrivate {

class LaunchChannel {
public:
	// The byte a listener answers once a hand-over has been posted, and
	// the one it answers when it refuses one.
	static	constexpr uint8		kAcknowledged = 0x06;
	static	constexpr uint8		kRefused = 0x15;
	// The byte a client answers an acknowledgement with.
	static	constexpr uint8		kConfirmed = 0x04;

	// Larger hand-overs are refused before a byte of them is stored.
	static	constexpr uint32		kMaxHandOverSize = 1024 * 1024;
	// How long a connection may take to deliver its hand-over.
	static	constexpr bigtime_t	kDefaultClientTimeout = 2000000;
	// How long HandOver() waits in all for the answer.
	static	constexpr bigtime_t	kDefaultHandOverTimeout = 5000000;
	// Connections served at once; later ones are closed unanswered
	// until a slot frees up.
	static	constexpr int32		kMaxClients = 16;

								LaunchChannel();
	// Stops listening and gives up the socket.
								~LaunchChannel();

	// Server side
	// Makes this object the running instance for the signature: binds the
	// signature's socket, removing a stale one left by an instance that
	// died. B_ALREADY_RUNNING when a live instance answers on it;
	// B_BAD_VALUE for an invalid signature; B_NOT_ALLOWED when no safe
	// private directory exists; B_TIMED_OUT when a racing launch holds
	// the lock for too long; B_BUSY when this object already holds a
	// socket.
			status_t			Claim(const char* signature);
	// Starts the listener thread, which posts every accepted hand-over
	// to the target. B_NO_INIT before a successful Claim(), B_BUSY when
	// already listening.
			status_t			StartListening(const BMessenger& target);
	// Ends the listener, closes every connection and removes the socket
	// file if it is still the one this object bound. Safe to call more
	// than once, and without a Claim().
			void				Stop();

	// How long each connection may take to deliver; for tests that check
	// a silent client is dropped. Call before StartListening().
			void				SetClientTimeout(bigtime_t timeout);

	// Client side
	// Sends the message to the running instance and waits, up to the
	// timeout, for its acknowledgement, which it confirms. B_OK only when
	// acknowledged and confirmed;
	// B_ENTRY_NOT_FOUND or B_LAUNCH_FAILED when nobody listens,
	// B_NOT_ALLOWED when the instance refused the message,
	// B_TIMED_OUT, B_IO_ERROR when it went away, B_BAD_VALUE for an
	// invalid signature or a message larger than kMaxHandOverSize.
	static	status_t			HandOver(const char* signature,
									const BMessage& message,
									bigtime_t timeout
										= kDefaultHandOverTimeout);
	// True when something accepts connections on the signature's socket.
	static	bool				IsRunning(const char* signature);

private:
								LaunchChannel(const LaunchChannel&) = delete;
			LaunchChannel&		operator=(const LaunchChannel&) = delete;

			status_t			_Bind(const std::string& path);
			void				_Listen();
			void				_RemoveSocketFile();

			std::string			fSocketPath;
			int					fListenSocket;
	// The socket file's identity when we bound it, so Stop() never
	// removes a socket that another instance bound in its place.
			dev_t				fSocketDevice;
			ino_t				fSocketNode;
	// Written by Stop() to wake the listener out of poll().
			int					fWakeRead;
			int					fWakeWrite;
			std::thread			fListener;
			BMessenger			fTarget;
			bigtime_t			fClientTimeout;
};

}	// namespace BPrivate

#endif	// _KITS_LAUNCH_CHANNEL_H
