/*
 * BInvoker: a message and a target to send it to. Controls and menu items
 * are invokers: when the user operates one, Invoke() sends a copy of its
 * message, stamped with the time and the object that sent it.
 *
 * Threads: an invoker is used by the thread of the window that holds it,
 * or by whichever single thread set it up.
 *
 * Owns: its message (SetMessage() takes ownership and deletes the one it
 * replaces).
 */
#ifndef _INVOKER_H
#define _INVOKER_H

#include <AppDefs.h>
#include <Messenger.h>
#include <SupportDefs.h>

class BHandler;
class BLooper;
class BMessage;

class BInvoker {
public:
								BInvoker();
	// Takes ownership of the message.
								BInvoker(BMessage* message,
									const BHandler* handler,
									const BLooper* looper = NULL);
								BInvoker(BMessage* message, BMessenger target);
	virtual						~BInvoker();

	// The message
	// Takes ownership; NULL leaves the invoker without a message.
	virtual	status_t			SetMessage(BMessage* message);
			BMessage*			Message() const;
	// The message's what, 0 without a message.
			uint32				Command() const;

	// The target
	// A handler is reached in its own looper (it must be in one:
	// B_BAD_HANDLER otherwise); a NULL handler with a looper targets that
	// looper's preferred handler; both NULL clear the target.
	virtual	status_t			SetTarget(const BHandler* handler,
									const BLooper* looper = NULL);
	virtual	status_t			SetTarget(BMessenger messenger);
			bool				IsTargetLocal() const;
	// NULL when there is no target or it is gone.
			BHandler*			Target(BLooper** _looper = NULL) const;
			BMessenger			Messenger() const;

	// Replies to what the invoker sends go to this handler (be_app when
	// NULL).
	virtual	status_t			SetHandlerForReply(BHandler* handler);
			BHandler*			HandlerForReply() const;

	// Sending
	// Sends a copy of message (of Message() when NULL) to the target,
	// with "when" (int64, system time) and "source" (pointer to the
	// invoking object) added. B_BAD_VALUE when there is no message to
	// send, B_BAD_PORT_ID when there is no target.
	virtual	status_t			Invoke(BMessage* message = NULL);
	// As Invoke(); the kind tells a watching target why it was sent.
			status_t			InvokeNotify(BMessage* message,
									uint32 kind = B_CONTROL_INVOKED);
			uint32				InvokeKind(bool* _notify = NULL);
			void				BeginInvokeNotify(
									uint32 kind = B_CONTROL_INVOKED);
			void				EndInvokeNotify();

	// How long a send may wait for delivery; queues never fill up here,
	// so it limits nothing but is kept as given.
			status_t			SetTimeout(bigtime_t timeout);
			bigtime_t			Timeout() const;

private:
								BInvoker(const BInvoker&) = delete;
			BInvoker&			operator=(const BInvoker&) = delete;

			BMessage*			fMessage;
			BMessenger			fMessenger;
			BHandler*			fReplyTo;
			bigtime_t			fTimeout;
	// The kind of the InvokeNotify() in progress; 0 outside one.
			uint32				fNotifyKind;
};

#endif	// _INVOKER_H
