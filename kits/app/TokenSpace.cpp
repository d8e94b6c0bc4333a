/*
 * The registry of handlers and loopers. See TokenSpace.h.
 */
#include "TokenSpace.h"

#include "LooperPrivate.h"

#include <limits>


namespace BPrivate {


TokenSpace&
TokenSpace::Default()
{
	// Never destroyed: looper threads may still be ending while the
	// process runs its static destructors.
	static TokenSpace* sDefault = new TokenSpace;
	return *sDefault;
}


TokenSpace::TokenSpace()
	:
	fNextToken(1)
{
}


int32
TokenSpace::AddHandler(BHandler* handler)
{
	std::lock_guard<std::mutex> guard(fLock);

	// Tokens count up and wrap around; a token still in use after a wrap
	// is skipped, so two live handlers never share one.
	int32 token;
	do {
		token = fNextToken;
		fNextToken = fNextToken == std::numeric_limits<int32>::max()
			? 1 : fNextToken + 1;
	} while (fEntries.find(token) != fEntries.end());

	fEntries[token] = Entry{ handler, kNullToken, NULL, NULL };
	return token;
}


void
TokenSpace::RemoveHandler(int32 token)
{
	LooperCore* core = NULL;
	{
		std::lock_guard<std::mutex> guard(fLock);
		auto found = fEntries.find(token);
		if (found == fEntries.end())
			return;
		if (found->second.looper != NULL)
			fLoopers.erase(found->second.looper);
		core = found->second.core;
		fEntries.erase(found);
	}
	if (core != NULL)
		core->ReleaseReference();
}


void
TokenSpace::SetHandlerLooper(int32 handlerToken, int32 looperToken)
{
	std::lock_guard<std::mutex> guard(fLock);
	auto found = fEntries.find(handlerToken);
	if (found != fEntries.end())
		found->second.looperToken = looperToken;
}


status_t
TokenSpace::GetHandlerLooper(int32 handlerToken, int32* _looperToken)
{
	std::lock_guard<std::mutex> guard(fLock);
	auto found = fEntries.find(handlerToken);
	if (found == fEntries.end())
		return B_BAD_HANDLER;
	*_looperToken = found->second.looperToken;
	return B_OK;
}


BHandler*
TokenSpace::HandlerIn(int32 handlerToken, int32 looperToken)
{
	std::lock_guard<std::mutex> guard(fLock);
	auto found = fEntries.find(handlerToken);
	if (found == fEntries.end() || found->second.looperToken != looperToken)
		return NULL;
	return found->second.handler;
}


void
TokenSpace::AddLooper(int32 token, BLooper* looper, LooperCore* core)
{
	core->AcquireReference();

	std::lock_guard<std::mutex> guard(fLock);
	Entry& entry = fEntries[token];
	entry.looper = looper;
	entry.core = core;
	fLoopers[looper] = token;
}


void
TokenSpace::RemoveLooper(int32 token)
{
	LooperCore* core = NULL;
	{
		std::lock_guard<std::mutex> guard(fLock);
		auto found = fEntries.find(token);
		if (found == fEntries.end() || found->second.looper == NULL)
			return;
		fLoopers.erase(found->second.looper);
		core = found->second.core;
		found->second.looper = NULL;
		found->second.core = NULL;
	}
	core->ReleaseReference();
}


LooperCore*
TokenSpace::AcquireCore(int32 looperToken)
{
	std::lock_guard<std::mutex> guard(fLock);
	auto found = fEntries.find(looperToken);
	if (found == fEntries.end() || found->second.core == NULL)
		return NULL;
	found->second.core->AcquireReference();
	return found->second.core;
}


LooperCore*
TokenSpace::AcquireCore(const BLooper* looper)
{
	std::lock_guard<std::mutex> guard(fLock);
	auto found = fLoopers.find(looper);
	if (found == fLoopers.end())
		return NULL;
	LooperCore* core = fEntries[found->second].core;
	core->AcquireReference();
	return core;
}


int32
TokenSpace::LooperToken(const BLooper* looper)
{
	std::lock_guard<std::mutex> guard(fLock);
	auto found = fLoopers.find(looper);
	return found != fLoopers.end() ? found->second : kNullToken;
}


status_t
TokenSpace::Enqueue(int32 looperToken, int32 handlerToken, bool preferred,
	BMessage* message, bool refuseCallerThread)
{
	std::lock_guard<std::mutex> guard(fLock);

	Entry* looperEntry;
	status_t status = _ResolveLocked(looperToken, handlerToken, preferred,
		&looperEntry);
	if (status != B_OK)
		return status;

	LooperCore* core = looperEntry->core;
	if (refuseCallerThread && core->thread.load() == current_thread_id())
		return B_MESSAGE_TO_SELF;

	return core->queue.Push(message);
}


status_t
TokenSpace::Resolve(int32 looperToken, int32 handlerToken, bool preferred,
	BLooper** _looper, BHandler** _handler)
{
	std::lock_guard<std::mutex> guard(fLock);

	Entry* looperEntry;
	status_t status = _ResolveLocked(looperToken, handlerToken, preferred,
		&looperEntry);
	if (status != B_OK)
		return status;

	*_looper = looperEntry->looper;
	*_handler = preferred ? NULL : fEntries[handlerToken].handler;
	return B_OK;
}


status_t
TokenSpace::_ResolveLocked(int32 looperToken, int32 handlerToken,
	bool preferred, Entry** _looperEntry)
{
	auto looperFound = fEntries.find(looperToken);
	if (looperFound == fEntries.end() || looperFound->second.core == NULL
		|| looperFound->second.core->queue.IsClosed()) {
		return B_BAD_PORT_ID;
	}

	if (!preferred) {
		auto handlerFound = fEntries.find(handlerToken);
		if (handlerFound == fEntries.end()
			|| handlerFound->second.looperToken != looperToken) {
			return B_BAD_HANDLER;
		}
	}

	*_looperEntry = &looperFound->second;
	return B_OK;
}


}	// namespace BPrivate
