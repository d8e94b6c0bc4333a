/*
 * Helpers for the Storage Kit tests: a fresh temporary directory per test
 * (removed with everything in it afterwards), scoped changes of the
 * environment and of the working directory, and raw POSIX file access to
 * check what the kit wrote without trusting the kit.
 */
#ifndef STORAGE_TEST_SUPPORT_H
#define STORAGE_TEST_SUPPORT_H

#include <fcntl.h>
#include <ftw.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include <gtest/gtest.h>


static int
remove_tree_entry(const char* path, const struct stat*, int, struct FTW*)
{
	// Make read-only directories writable again so their entries go.
	chmod(path, 0700);
	remove(path);
	return 0;
}


class TempDirectory {
public:
	TempDirectory()
	{
		const char* base = getenv("TMPDIR");
		std::string pattern = std::string(base != NULL && base[0] == '/'
			? base : "/tmp") + "/storage-test-XXXXXX";
		if (mkdtemp(pattern.data()) == NULL) {
			ADD_FAILURE() << "mkdtemp failed";
			return;
		}
		// Compare against the real path: the kit resolves links in /tmp.
		char* real = realpath(pattern.c_str(), NULL);
		fPath = real != NULL ? real : pattern;
		free(real);
	}

	~TempDirectory()
	{
		if (!fPath.empty())
			nftw(fPath.c_str(), remove_tree_entry, 16, FTW_DEPTH | FTW_PHYS);
	}

	const std::string& Path() const { return fPath; }
	std::string Child(const std::string& leaf) const
		{ return fPath + "/" + leaf; }

private:
	std::string fPath;
};


class ScopedEnvironment {
public:
	// Sets the variable, or removes it for a NULL value, until destroyed.
	ScopedEnvironment(const char* name, const char* value)
		:
		fName(name)
	{
		const char* old = getenv(name);
		fHadValue = old != NULL;
		if (fHadValue)
			fOldValue = old;
		if (value != NULL)
			setenv(name, value, 1);
		else
			unsetenv(name);
	}

	~ScopedEnvironment()
	{
		if (fHadValue)
			setenv(fName.c_str(), fOldValue.c_str(), 1);
		else
			unsetenv(fName.c_str());
	}

private:
	std::string fName;
	std::string fOldValue;
	bool fHadValue;
};


class ScopedWorkingDirectory {
public:
	explicit ScopedWorkingDirectory(const std::string& path)
	{
		char* old = getcwd(NULL, 0);
		fOld = old != NULL ? old : "/";
		free(old);
		if (chdir(path.c_str()) != 0)
			ADD_FAILURE() << "chdir " << path;
	}

	~ScopedWorkingDirectory()
	{
		if (chdir(fOld.c_str()) != 0)
			ADD_FAILURE() << "chdir back to " << fOld;
	}

private:
	std::string fOld;
};


static inline void
write_raw(const std::string& path, const std::string& bytes)
{
	int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
	ASSERT_GE(fd, 0) << path;
	ASSERT_EQ((ssize_t)bytes.size(), write(fd, bytes.data(), bytes.size()));
	close(fd);
}


static inline std::string
read_raw(const std::string& path)
{
	std::string bytes;
	int fd = open(path.c_str(), O_RDONLY);
	if (fd < 0)
		return "<missing>";
	char buffer[4096];
	ssize_t count;
	while ((count = read(fd, buffer, sizeof(buffer))) > 0)
		bytes.append(buffer, count);
	close(fd);
	return bytes;
}


static inline bool
exists_raw(const std::string& path)
{
	struct stat st;
	return lstat(path.c_str(), &st) == 0;
}


// Every byte value once, NUL and CR included.
static inline std::string
all_byte_values()
{
	std::string bytes;
	for (int value = 0; value < 256; value++)
		bytes += (char)value;
	return bytes;
}

#endif	// STORAGE_TEST_SUPPORT_H
