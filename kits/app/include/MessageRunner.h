/*
 * BMessageRunner: sends a message to a target again and again, a fixed
 * interval apart, a given number of times or until it is deleted.
 *
 * Threads: any. The messages are sent from one thread that all runners
 * of the process share; a runner may be changed or deleted from any
 * thread, and once its destructor has returned nothing more is sent.
 *
 * Owns: a copy of the message.
 */
#ifndef _MESSAGE_RUNNER_H
#define _MESSAGE_RUNNER_H

#include <Messenger.h>

class BMessage;


class BMessageRunner {
public:
	// The first message goes out one interval after construction. A
	// count of -1 (or any count below 1) sends until the runner is
	// deleted. Replies go to replyTo, or to be_app without one.
								BMessageRunner(BMessenger target,
									const BMessage* message,
									bigtime_t interval, int32 count = -1);
								BMessageRunner(BMessenger target,
									const BMessage* message,
									bigtime_t interval, int32 count,
									BMessenger replyTo);
	virtual						~BMessageRunner();

	// B_BAD_VALUE without a message or with an interval of 0 or less.
	// A runner that has sent all its messages stays valid: SetCount()
	// starts it again.
			status_t			InitCheck() const;

	// The next message goes out one interval from now. A runner stops on
	// its own when its target is gone.
			status_t			SetInterval(bigtime_t interval);
			status_t			SetCount(int32 count);
			status_t			GetInfo(bigtime_t* interval,
									int32* count) const;

private:
								BMessageRunner(const BMessageRunner&);
			BMessageRunner&		operator=(const BMessageRunner&);

			void				_Start(BMessenger target,
									const BMessage* message,
									bigtime_t interval, int32 count,
									BMessenger replyTo);

			int32				fToken;
};

#endif	// _MESSAGE_RUNNER_H
