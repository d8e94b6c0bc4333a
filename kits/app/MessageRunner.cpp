/*
 * BMessageRunner: every runner of the process is an entry in one
 * schedule, kept by one thread that sleeps until the next entry is due,
 * sends its message and sets it up for the next time.
 *
 * A runner's destructor takes its entry out of the schedule. When the
 * thread is sending that very entry's message at that moment, the
 * destructor then waits for the send to finish, which never takes long,
 * since sending only queues a copy.
 */
#include <MessageRunner.h>

#include <Message.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>

namespace {

struct runner_entry {
	BMessenger			target;
	BMessenger			replyTo;
	bool				hasReplyTo = false;
	BMessage			message;
	bigtime_t			interval = 0;
	// Messages still to send; -1 for no end.
	int32				count = -1;
	// When the next message is due, in system_time().
	bigtime_t			next = 0;
};


class RunnerSchedule {
public:
	static	RunnerSchedule&		Default();

			int32				Add(const runner_entry& entry);
			void				Remove(int32 token);
			status_t			SetInterval(int32 token, bigtime_t interval);
			status_t			SetCount(int32 token, int32 count);
			status_t			GetInfo(int32 token, bigtime_t* interval,
									int32* count);

private:
								RunnerSchedule();

			void				_Loop();
	// The token of the entry due first, or -1 when none waits.
			int32				_NextDue() const;

			std::mutex			fLock;
			std::condition_variable fChanged;
	// Signalled whenever a send ends.
			std::condition_variable fSent;
			std::map<int32, runner_entry> fEntries;
			int32				fNextToken;
	// The entry whose message is being sent outside the lock, or -1.
			int32				fSending;
};


int32
normalized_count(int32 count)
{
	return count < 1 ? -1 : count;
}


RunnerSchedule&
RunnerSchedule::Default()
{
	// Never destroyed: its thread runs until the process ends.
	static RunnerSchedule* schedule = new RunnerSchedule;
	return *schedule;
}


RunnerSchedule::RunnerSchedule()
	:
	fNextToken(1),
	fSending(-1)
{
	std::thread(&RunnerSchedule::_Loop, this).detach();
}


int32
RunnerSchedule::Add(const runner_entry& entry)
{
	std::lock_guard<std::mutex> guard(fLock);
	int32 token = fNextToken++;
	fEntries[token] = entry;
	fChanged.notify_all();
	return token;
}


void
RunnerSchedule::Remove(int32 token)
{
	// Out of the schedule first, so that the thread cannot take it up
	// again while this waits for the send under way.
	std::unique_lock<std::mutex> lock(fLock);
	fEntries.erase(token);
	fSent.wait(lock, [&] { return fSending != token; });
}


status_t
RunnerSchedule::SetInterval(int32 token, bigtime_t interval)
{
	if (interval <= 0)
		return B_BAD_VALUE;
	std::lock_guard<std::mutex> guard(fLock);
	auto found = fEntries.find(token);
	if (found == fEntries.end())
		return B_BAD_VALUE;
	found->second.interval = interval;
	found->second.next = system_time() + interval;
	fChanged.notify_all();
	return B_OK;
}


status_t
RunnerSchedule::SetCount(int32 token, int32 count)
{
	std::lock_guard<std::mutex> guard(fLock);
	auto found = fEntries.find(token);
	if (found == fEntries.end())
		return B_BAD_VALUE;
	found->second.count = normalized_count(count);
	found->second.next = system_time() + found->second.interval;
	fChanged.notify_all();
	return B_OK;
}


status_t
RunnerSchedule::GetInfo(int32 token, bigtime_t* interval, int32* count)
{
	std::lock_guard<std::mutex> guard(fLock);
	auto found = fEntries.find(token);
	if (found == fEntries.end())
		return B_BAD_VALUE;
	if (interval != NULL)
		*interval = found->second.interval;
	if (count != NULL)
		*count = found->second.count;
	return B_OK;
}


int32
RunnerSchedule::_NextDue() const
{
	int32 due = -1;
	bigtime_t when = 0;
	for (const auto& [token, entry] : fEntries) {
		if (entry.count == 0)
			continue;
		if (due < 0 || entry.next < when) {
			due = token;
			when = entry.next;
		}
	}
	return due;
}


void
RunnerSchedule::_Loop()
{
	std::unique_lock<std::mutex> lock(fLock);
	while (true) {
		int32 token = _NextDue();
		if (token < 0) {
			fChanged.wait(lock);
			continue;
		}
		runner_entry& entry = fEntries[token];
		bigtime_t now = system_time();
		if (entry.next > now) {
			fChanged.wait_for(lock, std::chrono::microseconds(entry.next
				- now));
			continue;
		}

		BMessage message(entry.message);
		BMessenger target = entry.target;
		BMessenger replyTo = entry.replyTo;
		bool hasReplyTo = entry.hasReplyTo;
		if (entry.count > 0)
			entry.count--;
		// A schedule that fell behind (a busy machine, a stopped
		// process) goes on from now rather than sending what it missed
		// in a burst.
		entry.next = std::max(entry.next + entry.interval,
			now + entry.interval / 2);
		fSending = token;
		lock.unlock();

		status_t status = hasReplyTo
			? target.SendMessage(&message, replyTo, 0)
			: target.SendMessage(&message, (BHandler*)NULL, 0);

		lock.lock();
		fSending = -1;
		fSent.notify_all();
		// A target that is gone will never take another message.
		if (status == B_BAD_PORT_ID || status == B_BAD_HANDLER) {
			auto found = fEntries.find(token);
			if (found != fEntries.end())
				found->second.count = 0;
		}
	}
}

}	// namespace


BMessageRunner::BMessageRunner(BMessenger target, const BMessage* message,
	bigtime_t interval, int32 count)
	:
	fToken(-1)
{
	_Start(target, message, interval, count, BMessenger());
}


BMessageRunner::BMessageRunner(BMessenger target, const BMessage* message,
	bigtime_t interval, int32 count, BMessenger replyTo)
	:
	fToken(-1)
{
	_Start(target, message, interval, count, replyTo);
}


BMessageRunner::~BMessageRunner()
{
	if (fToken >= 0)
		RunnerSchedule::Default().Remove(fToken);
}


status_t
BMessageRunner::InitCheck() const
{
	return fToken >= 0 ? B_OK : B_BAD_VALUE;
}


status_t
BMessageRunner::SetInterval(bigtime_t interval)
{
	if (fToken < 0)
		return B_NO_INIT;
	return RunnerSchedule::Default().SetInterval(fToken, interval);
}


status_t
BMessageRunner::SetCount(int32 count)
{
	if (fToken < 0)
		return B_NO_INIT;
	return RunnerSchedule::Default().SetCount(fToken, count);
}


status_t
BMessageRunner::GetInfo(bigtime_t* interval, int32* count) const
{
	if (fToken < 0)
		return B_NO_INIT;
	return RunnerSchedule::Default().GetInfo(fToken, interval, count);
}


void
BMessageRunner::_Start(BMessenger target, const BMessage* message,
	bigtime_t interval, int32 count, BMessenger replyTo)
{
	if (message == NULL || interval <= 0)
		return;
	runner_entry entry;
	entry.target = target;
	entry.replyTo = replyTo;
	entry.hasReplyTo = replyTo.IsValid();
	entry.message = *message;
	entry.interval = interval;
	entry.count = normalized_count(count);
	entry.next = system_time() + interval;
	fToken = RunnerSchedule::Default().Add(entry);
}
