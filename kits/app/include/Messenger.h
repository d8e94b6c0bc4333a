/*
 * BMessenger: a way to reach a handler or a looper that survives the
 * target. It holds tokens, not pointers; sending looks the target up in
 * the kits' registry under its lock, so a message to a looper that has
 * quit fails with B_BAD_PORT_ID (B_BAD_HANDLER for a handler that has
 * gone) instead of touching freed memory.
 *
 * Messengers can be copied freely and used from any thread.
 */
#ifndef _MESSENGER_H
#define _MESSENGER_H

#include <SupportDefs.h>

class BHandler;
class BLooper;
class BMessage;

class BMessenger {
public:
								BMessenger();
	// Targets the handler in its looper; with a null handler, the looper's
	// preferred handler of the given looper. A handler that is not in a
	// looper gives B_MISMATCHED_VALUES.
								BMessenger(const BHandler* handler,
									const BLooper* looper = NULL,
									status_t* result = NULL);
								BMessenger(const BMessenger& other);
								~BMessenger();

	// Target
			bool				IsTargetLocal() const;
	// The target, if it is alive and in this process; NULL otherwise. The
	// looper comes back through the out-parameter.
			BHandler*			Target(BLooper** looper) const;
			bool				LockTarget() const;
			status_t			LockTargetWithTimeout(
									bigtime_t timeout) const;

	// Message sending. Each send queues a copy; the caller keeps the
	// message. B_BAD_PORT_ID when the target's looper has quit,
	// B_BAD_HANDLER when the target handler is gone or left that looper.
	// Without a reply handler, replies go to be_app.
			status_t			SendMessage(uint32 command,
									BHandler* replyTo = NULL) const;
			status_t			SendMessage(BMessage* message,
									BHandler* replyTo = NULL,
									bigtime_t timeout
										= B_INFINITE_TIMEOUT) const;
			status_t			SendMessage(BMessage* message,
									BMessenger replyTo,
									bigtime_t timeout
										= B_INFINITE_TIMEOUT) const;
	// Waits for the reply. A target that deletes the message unanswered
	// gives a reply whose what is B_NO_REPLY. B_TIMED_OUT when no reply
	// came in time (a later reply is refused); B_MESSAGE_TO_SELF when the
	// target's looper runs on the calling thread, which could never
	// answer while it waits. On failure the reply is left as it was.
	// Queues never fill up, so the delivery timeout has nothing to limit.
			status_t			SendMessage(uint32 command,
									BMessage* reply) const;
			status_t			SendMessage(BMessage* message,
									BMessage* reply,
									bigtime_t deliveryTimeout
										= B_INFINITE_TIMEOUT,
									bigtime_t replyTimeout
										= B_INFINITE_TIMEOUT) const;

	// Operators and misc
			status_t			SetTo(const BHandler* handler,
									const BLooper* looper = NULL);
			BMessenger&			operator=(const BMessenger& other);
			bool				operator==(const BMessenger& other) const;

	// True while the target exists.
			bool				IsValid() const;
			team_id				Team() const;

	class Private;

private:
	friend class Private;

			team_id				fTeam;
			int32				fLooperToken;
			int32				fHandlerToken;
	// Aim at whichever handler the looper prefers at delivery time.
			bool				fPreferredTarget;
};

bool operator<(const BMessenger& a, const BMessenger& b);
bool operator!=(const BMessenger& a, const BMessenger& b);

#endif	// _MESSENGER_H
