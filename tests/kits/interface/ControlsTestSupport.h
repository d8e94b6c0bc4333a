/*
 * What the control tests share: a window and a looper that keep every
 * message they get (its code, source and a few fields), so that a test
 * can ask what a control sent, from the test's thread.
 */
#ifndef _CONTROLS_TEST_SUPPORT_H
#define _CONTROLS_TEST_SUPPORT_H

#include "InterfaceTestSupport.h"

#include <Looper.h>

namespace interface_test {

struct ReceivedMessage {
	uint32 what;
	const void* source;
	bool hasWhen;
	int32 which;
};


class MessageLog {
public:
	void Add(BMessage* message)
	{
		ReceivedMessage entry;
		entry.what = message->what;
		entry.source = NULL;
		message->FindPointer("source", (void**)&entry.source);
		entry.hasWhen = message->HasInt64("when");
		entry.which = message->GetInt32("which", -1);
		std::lock_guard<std::mutex> guard(fLock);
		fMessages.push_back(entry);
	}
	std::vector<ReceivedMessage> Messages()
	{
		std::lock_guard<std::mutex> guard(fLock);
		return fMessages;
	}
	int Count(uint32 what)
	{
		std::lock_guard<std::mutex> guard(fLock);
		int count = 0;
		for (const ReceivedMessage& message : fMessages)
			count += message.what == what ? 1 : 0;
		return count;
	}
	void Clear()
	{
		std::lock_guard<std::mutex> guard(fLock);
		fMessages.clear();
	}

private:
	std::mutex fLock;
	std::vector<ReceivedMessage> fMessages;
};


// Keeps the messages that reach its MessageReceived() with a code of
// the test's (upper case letters), passing the others on.
class LoggingWindow : public BWindow {
public:
	LoggingWindow(BRect frame, const char* title, MessageLog& log,
		window_type type = B_TITLED_WINDOW)
		: BWindow(frame, title, type, 0), fLog(log) {}

	void MessageReceived(BMessage* message) override
	{
		if (IsTestCode(message->what))
			fLog.Add(message);
		else
			BWindow::MessageReceived(message);
	}

	static bool IsTestCode(uint32 what)
	{
		for (int shift = 0; shift < 32; shift += 8) {
			char c = (char)(what >> shift);
			if (c < 'A' || c > 'Z')
				return false;
		}
		return true;
	}

private:
	MessageLog& fLog;
};


class LoggingHandler : public BHandler {
public:
	LoggingHandler(MessageLog& log) : BHandler("logger"), fLog(log) {}
	void MessageReceived(BMessage* message) override { fLog.Add(message); }

private:
	MessageLog& fLog;
};

}	// namespace interface_test

#endif	// _CONTROLS_TEST_SUPPORT_H
