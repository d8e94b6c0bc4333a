/*
 * What the file panel tests share: a fresh folder per test with files
 * made in it, removed with everything in it afterwards, and an
 * application that records every message it gets, for the panels to
 * reply to.
 */
#ifndef _TRACKER_TEST_SUPPORT_H
#define _TRACKER_TEST_SUPPORT_H

#include <AppDefs.h>
#include <Application.h>
#include <Message.h>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <ftw.h>
#include <mutex>
#include <stdio.h>
#include <stdlib.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tracker_test {

inline int
remove_entry(const char* path, const struct stat*, int, struct FTW*)
{
	chmod(path, 0700);
	remove(path);
	return 0;
}


class TempFolder {
public:
	TempFolder()
	{
		const char* base = getenv("TMPDIR");
		std::string pattern = std::string(base != NULL && base[0] == '/'
			? base : "/tmp") + "/panel-test-XXXXXX";
		if (mkdtemp(pattern.data()) == NULL) {
			ADD_FAILURE() << "mkdtemp failed";
			return;
		}
		char* real = realpath(pattern.c_str(), NULL);
		fPath = real != NULL ? real : pattern;
		free(real);
	}
	~TempFolder()
	{
		if (!fPath.empty())
			nftw(fPath.c_str(), remove_entry, 16, FTW_DEPTH | FTW_PHYS);
	}

	const std::string& Path() const { return fPath; }
	std::string Child(const std::string& leaf) const
		{ return fPath + "/" + leaf; }

	std::string AddFile(const std::string& leaf,
		const std::string& content = "text\n") const
	{
		std::string path = Child(leaf);
		FILE* file = fopen(path.c_str(), "w");
		EXPECT_NE(file, nullptr) << path;
		if (file != NULL) {
			fwrite(content.data(), 1, content.size(), file);
			fclose(file);
		}
		return path;
	}
	std::string AddFolder(const std::string& leaf) const
	{
		std::string path = Child(leaf);
		EXPECT_EQ(mkdir(path.c_str(), 0755), 0) << path;
		return path;
	}
	std::string AddLink(const std::string& leaf,
		const std::string& target) const
	{
		std::string path = Child(leaf);
		EXPECT_EQ(symlink(target.c_str(), path.c_str()), 0) << path;
		return path;
	}

private:
	std::string fPath;
};


// Permissions do not stop root, so tests of unreadable folders need an
// ordinary user.
inline bool
permissions_apply()
{
	return geteuid() != 0;
}


// Records copies of the messages that reach the application: the
// panels' replies go there when they have no target of their own.
class RecordingApplication : public BApplication {
public:
	RecordingApplication()
		: BApplication("application/x-vnd.Orvane-PanelTest") {}

	void MessageReceived(BMessage* message) override
	{
		_Record(message);
		BApplication::MessageReceived(message);
	}
	void RefsReceived(BMessage* message) override
	{
		_Record(message);
	}

	std::vector<BMessage> Messages()
	{
		std::lock_guard<std::mutex> guard(fLock);
		return fMessages;
	}
	std::vector<uint32> Whats()
	{
		std::lock_guard<std::mutex> guard(fLock);
		std::vector<uint32> whats;
		for (const BMessage& message : fMessages)
			whats.push_back(message.what);
		return whats;
	}
	void Clear()
	{
		std::lock_guard<std::mutex> guard(fLock);
		fMessages.clear();
	}

private:
	void _Record(BMessage* message)
	{
		std::lock_guard<std::mutex> guard(fLock);
		fMessages.push_back(*message);
	}

	std::mutex fLock;
	std::vector<BMessage> fMessages;
};


// The names of the "refs" of a message, in order.
inline std::vector<std::string>
ref_names(const BMessage& message, const char* field = "refs")
{
	std::vector<std::string> names;
	entry_ref ref;
	for (int32 i = 0; message.FindRef(field, i, &ref) == B_OK; i++)
		names.push_back(ref.name != NULL ? ref.name : "");
	return names;
}

}	// namespace tracker_test

#endif	// _TRACKER_TEST_SUPPORT_H
