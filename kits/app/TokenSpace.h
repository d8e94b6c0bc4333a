/*
 * Private to the kits: the registry that turns the tokens inside a
 * BMessenger into handlers and loopers.
 *
 * Every handler (a looper is one too) takes a token when it is
 * constructed and gives it back when it is deleted. A looper is also
 * registered with its core (LooperPrivate.h) until it is deleted; it
 * receives messages until its queue is closed, when its loop ends. One mutex
 * guards everything here, and messages are queued while it is held: once
 * a looper has left the registry no message can reach its queue, so
 * nothing is ever queued into freed memory.
 *
 * Threads: any. Lock order: the registry's mutex comes before a queue's
 * and a reply's mutexes, never the other way round; a looper's lock is
 * never taken while the registry's mutex is held.
 */
#ifndef _KITS_TOKEN_SPACE_H
#define _KITS_TOKEN_SPACE_H

#include <SupportDefs.h>

#include <mutex>
#include <unordered_map>

class BHandler;
class BLooper;
class BMessage;

namespace BPrivate {

class LooperCore;

// The token of no handler.
static const int32 kNullToken = -1;

class TokenSpace {
public:
	static	TokenSpace&			Default();

	// Handlers
	// A fresh token, never one in use; tokens are positive.
			int32				AddHandler(BHandler* handler);
			void				RemoveHandler(int32 token);
	// Records the looper the handler is in; kNullToken for none.
			void				SetHandlerLooper(int32 handlerToken,
									int32 looperToken);
	// The looper token of the looper the handler is in (kNullToken for
	// none); B_BAD_HANDLER for a token that is not in use.
			status_t			GetHandlerLooper(int32 handlerToken,
									int32* _looperToken);
	// The handler, when it is still in that looper; NULL otherwise.
			BHandler*			HandlerIn(int32 handlerToken,
									int32 looperToken);

	// Loopers
	// Takes a reference to the core, which RemoveLooper() gives back.
			void				AddLooper(int32 token, BLooper* looper,
									LooperCore* core);
	// Nothing can be sent to the looper, nor its lock taken, afterwards;
	// does nothing for a looper that is not registered.
			void				RemoveLooper(int32 token);
	// A new reference to the core of a registered looper; NULL when there
	// is none.
			LooperCore*			AcquireCore(int32 looperToken);
			LooperCore*			AcquireCore(const BLooper* looper);
	// The looper's token when it is registered; kNullToken otherwise.
			int32				LooperToken(const BLooper* looper);

	// Delivery
	// Queues the message (taking ownership on success) for the looper,
	// aimed at the handler or, when preferred is set, at whichever handler
	// the looper prefers at delivery time. B_BAD_PORT_ID when the looper
	// is not registered or its queue is closed, B_BAD_HANDLER when the
	// handler is gone or not in that looper, B_MESSAGE_TO_SELF when
	// refuseCallerThread is set and the looper runs on the calling thread.
			status_t			Enqueue(int32 looperToken,
									int32 handlerToken, bool preferred,
									BMessage* message,
									bool refuseCallerThread);
	// Looks the target up without sending: B_OK with the looper and the
	// handler (NULL for a preferred target), or the errors of Enqueue().
			status_t			Resolve(int32 looperToken,
									int32 handlerToken, bool preferred,
									BLooper** _looper, BHandler** _handler);

private:
								TokenSpace();

			struct Entry {
				BHandler*		handler;
	// The looper the handler is in.
				int32			looperToken;
	// Set while the handler is a looper that accepts messages.
				BLooper*		looper;
				LooperCore*		core;
			};

			status_t			_ResolveLocked(int32 looperToken,
									int32 handlerToken, bool preferred,
									Entry** _looperEntry);

			std::mutex			fLock;
			std::unordered_map<int32, Entry> fEntries;
			std::unordered_map<const BLooper*, int32> fLoopers;
			int32				fNextToken;
};

}	// namespace BPrivate

#endif	// _KITS_TOKEN_SPACE_H
