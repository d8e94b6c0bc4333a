/*
 * Helpers for the editor's tests: acting as an ordinary user while the
 * tests run as root (root may write anything, so read-only files and
 * directories mean nothing to it), and a file size limit that makes
 * writes fail as on a full disk.
 */
#ifndef EDITOR_TEST_SUPPORT_H
#define EDITOR_TEST_SUPPORT_H

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include <gtest/gtest.h>

#include "StorageTestSupport.h"


// The user and group the tests act as when they need permissions to
// count.
static const uid_t kOrdinaryUser = 65534;
static const gid_t kOrdinaryGroup = 65534;


// The whole process, every thread of it, acts as kOrdinaryUser until the
// object is destroyed. Outside root the process is an ordinary user
// already, and nothing changes.
class ScopedOrdinaryUser {
public:
	ScopedOrdinaryUser()
		:
		fSwitched(false)
	{
		if (geteuid() != 0)
			return;
		if (setegid(kOrdinaryGroup) != 0 || seteuid(kOrdinaryUser) != 0) {
			ADD_FAILURE() << "cannot act as an ordinary user";
			return;
		}
		fSwitched = true;
	}

	~ScopedOrdinaryUser()
	{
		if (fSwitched && (seteuid(0) != 0 || setegid(0) != 0))
			ADD_FAILURE() << "cannot become root again";
	}

private:
	bool fSwitched;
};


// Files the ordinary user must own: only root can give them away, and
// outside root they are the user's already.
static inline void
give_to_ordinary_user(const std::string& path)
{
	if (geteuid() == 0) {
		ASSERT_EQ(0, lchown(path.c_str(), kOrdinaryUser, kOrdinaryGroup))
			<< path;
	}
}


// Writes past the limit fail with EFBIG instead of raising SIGXFSZ, as
// writes to a full disk fail; until the object is destroyed.
class ScopedFileSizeLimit {
public:
	explicit ScopedFileSizeLimit(rlim_t bytes)
	{
		fOldHandler = signal(SIGXFSZ, SIG_IGN);
		getrlimit(RLIMIT_FSIZE, &fOld);
		struct rlimit limit = fOld;
		limit.rlim_cur = bytes;
		if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
			ADD_FAILURE() << "cannot limit the file size";
	}

	~ScopedFileSizeLimit()
	{
		setrlimit(RLIMIT_FSIZE, &fOld);
		signal(SIGXFSZ, fOldHandler);
	}

private:
	struct rlimit fOld;
	sighandler_t fOldHandler;
};


static inline ino_t
inode_of(const std::string& path)
{
	struct stat st;
	return lstat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}


static inline mode_t
mode_of(const std::string& path)
{
	struct stat st;
	return lstat(path.c_str(), &st) == 0 ? st.st_mode : 0;
}


// The names in the directory, "." and ".." left out, sorted.
std::string list_directory(const std::string& path);

#endif	// EDITOR_TEST_SUPPORT_H
