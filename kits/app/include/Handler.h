/*
 * BHandler: an object that receives messages. A handler belongs to at
 * most one looper, whose thread calls its MessageReceived(); what a
 * handler does not understand it passes along its chain of next
 * handlers.
 *
 * Threads: a handler is used on its looper's thread, or by a thread that
 * holds the looper's lock. Every handler gets a token in the kits'
 * registry when it is constructed and gives it back when it is deleted,
 * so a messenger can find it, or find that it is gone, safely.
 */
#ifndef _HANDLER_H
#define _HANDLER_H

#include <SupportDefs.h>

class BLooper;
class BMessage;

class BHandler {
public:
								BHandler(const char* name = NULL);
	// Takes the handler out of its looper, if it is still in one, locking
	// the looper when the caller does not hold it. A subclass's own part
	// is gone by then, so while the looper may still dispatch to the
	// handler the caller must hold the lock, as for RemoveHandler().
	virtual						~BHandler();

	// Message handling
	// Passes the message to the next handler. At the end of the chain a
	// sender that waits for a reply gets B_MESSAGE_NOT_UNDERSTOOD; other
	// messages are dropped.
	virtual	void				MessageReceived(BMessage* message);

	// The looper the handler belongs to; NULL when it is in none.
			BLooper*			Looper() const;

	// Copies the name; NULL clears it.
			void				SetName(const char* name);
	// NULL for a handler without a name.
			const char*			Name() const;

	// The next handler must be in the same looper as this one, or NULL.
	// A handler from another looper, or one whose chain leads back to
	// this handler, leaves the chain unchanged.
	virtual	void				SetNextHandler(BHandler* handler);
			BHandler*			NextHandler() const;

	// Locking
	// Locks the handler's looper, then checks that the handler is still
	// in it. False when the handler is in no looper, the looper was
	// deleted, or the handler moved while the caller waited.
			bool				LockLooper();
	// The same with a limit: B_OK, B_TIMED_OUT, B_BAD_VALUE when the
	// handler is in no looper, B_MISMATCHED_VALUES when it moved,
	// B_BAD_PORT_ID when the looper was deleted.
			status_t			LockLooperWithTimeout(bigtime_t timeout);
			void				UnlockLooper();

	class Private;

private:
	friend class BLooper;
	friend class Private;

								BHandler(const BHandler&) = delete;
			BHandler&			operator=(const BHandler&) = delete;

			void				_LeaveLooper();
			void				_SetLooper(BLooper* looper);

	// This handler's key in the registry; never changes.
			int32				fToken;
			char*				fName;
	// Written only under the looper's lock.
			BLooper*			fLooper;
			BHandler*			fNextHandler;
};

#endif	// _HANDLER_H
