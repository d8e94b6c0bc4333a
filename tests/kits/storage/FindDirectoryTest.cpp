/*
 * find_directory. Cases:
 * - the settings directory with XDG_CONFIG_HOME set, unset, empty and
 *   relative, and its platform value 3006;
 * - the home directory from $HOME, or the password database without it;
 * - the data, cache and temporary directories and their fallbacks;
 * - createIt making every missing level with mode 0700;
 * - the C form: a fitting buffer, a small one, bad arguments;
 * - an unknown directory.
 */
#include <FindDirectory.h>

#include <pwd.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include <Path.h>

#include "StorageTestSupport.h"


class FindDirectoryTest : public ::testing::Test {
protected:
	// The path find_directory gives, or the error as text.
	std::string Find(directory_which which, bool createIt = false)
	{
		BPath path;
		status_t status = find_directory(which, &path, createIt);
		if (status != B_OK)
			return "error " + std::to_string(status);
		return path.Path();
	}

	TempDirectory fTemp;
};


TEST_F(FindDirectoryTest, SettingsFollowXdgConfigHome)
{
	EXPECT_EQ(3006, B_USER_SETTINGS_DIRECTORY);
	ScopedEnvironment home("HOME", fTemp.Child("home").c_str());

	{
		ScopedEnvironment config("XDG_CONFIG_HOME",
			fTemp.Child("config").c_str());
		EXPECT_EQ(fTemp.Child("config"), Find(B_USER_SETTINGS_DIRECTORY));
	}
	{
		ScopedEnvironment config("XDG_CONFIG_HOME", NULL);
		EXPECT_EQ(fTemp.Child("home/.config"),
			Find(B_USER_SETTINGS_DIRECTORY));
	}
	{
		ScopedEnvironment config("XDG_CONFIG_HOME", "");
		EXPECT_EQ(fTemp.Child("home/.config"),
			Find(B_USER_SETTINGS_DIRECTORY));
	}
	{
		ScopedEnvironment config("XDG_CONFIG_HOME", "relative/config");
		EXPECT_EQ(fTemp.Child("home/.config"),
			Find(B_USER_SETTINGS_DIRECTORY));
	}
	// Nothing is created unless asked.
	EXPECT_FALSE(exists_raw(fTemp.Child("home")));
}


TEST_F(FindDirectoryTest, HomeComesFromTheEnvironmentOrPasswordDatabase)
{
	{
		ScopedEnvironment home("HOME", fTemp.Path().c_str());
		EXPECT_EQ(fTemp.Path(), Find(B_USER_DIRECTORY));
	}

	struct passwd* entry = getpwuid(getuid());
	if (entry == NULL || entry->pw_dir == NULL || entry->pw_dir[0] != '/')
		GTEST_SKIP() << "no usable password entry for this user";
	std::string passwdHome = BPath(entry->pw_dir).Path();

	ScopedEnvironment noHome("HOME", NULL);
	ScopedEnvironment noConfig("XDG_CONFIG_HOME", NULL);
	EXPECT_EQ(passwdHome, Find(B_USER_DIRECTORY));
	EXPECT_EQ(BPath(passwdHome.c_str(), ".config").Path(),
		Find(B_USER_SETTINGS_DIRECTORY));
	ScopedEnvironment emptyHome("HOME", "");
	EXPECT_EQ(passwdHome, Find(B_USER_DIRECTORY));
}


TEST_F(FindDirectoryTest, DataCacheAndTemporaryDirectories)
{
	ScopedEnvironment home("HOME", fTemp.Child("home").c_str());
	ScopedEnvironment data("XDG_DATA_HOME", NULL);
	ScopedEnvironment cache("XDG_CACHE_HOME", fTemp.Child("cache").c_str());
	EXPECT_EQ(fTemp.Child("home/.local/share"), Find(B_USER_DATA_DIRECTORY));
	EXPECT_EQ(fTemp.Child("cache"), Find(B_USER_CACHE_DIRECTORY));
	EXPECT_EQ(fTemp.Child("home/Desktop"), Find(B_DESKTOP_DIRECTORY));
	{
		ScopedEnvironment state("XDG_STATE_HOME", NULL);
		EXPECT_EQ(fTemp.Child("home/.local/state"),
			Find(B_USER_STATE_DIRECTORY));
	}

	{
		ScopedEnvironment tmp("TMPDIR", fTemp.Child("tmp").c_str());
		EXPECT_EQ(fTemp.Child("tmp"), Find(B_SYSTEM_TEMP_DIRECTORY));
	}
	{
		ScopedEnvironment tmp("TMPDIR", "");
		EXPECT_EQ("/tmp", Find(B_SYSTEM_TEMP_DIRECTORY));
	}
	EXPECT_EQ("error " + std::to_string(B_BAD_VALUE),
		Find((directory_which)12345));
}


TEST_F(FindDirectoryTest, CreateItMakesPrivateDirectories)
{
	ScopedEnvironment config("XDG_CONFIG_HOME",
		fTemp.Child("new/config").c_str());
	EXPECT_EQ(fTemp.Child("new/config"),
		Find(B_USER_SETTINGS_DIRECTORY, true));
	struct stat st;
	ASSERT_EQ(0, stat(fTemp.Child("new/config").c_str(), &st));
	EXPECT_TRUE(S_ISDIR(st.st_mode));
	EXPECT_EQ(0700u, st.st_mode & 0777);
	ASSERT_EQ(0, stat(fTemp.Child("new").c_str(), &st));
	EXPECT_EQ(0700u, st.st_mode & 0777);

	// Something in the way is an error, not a crash or a file.
	write_raw(fTemp.Child("blocked"), "x");
	ScopedEnvironment blocked("XDG_CONFIG_HOME",
		fTemp.Child("blocked").c_str());
	EXPECT_EQ("error " + std::to_string(B_NOT_A_DIRECTORY),
		Find(B_USER_SETTINGS_DIRECTORY, true));
}


TEST_F(FindDirectoryTest, CFormCopiesIntoTheBuffer)
{
	ScopedEnvironment config("XDG_CONFIG_HOME", "/settings/here");
	char buffer[B_PATH_NAME_LENGTH];
	ASSERT_EQ(B_OK, find_directory(B_USER_SETTINGS_DIRECTORY, -1, false,
		buffer, sizeof(buffer)));
	EXPECT_STREQ("/settings/here", buffer);

	// Exactly fits with its NUL; one byte less does not.
	EXPECT_EQ(B_OK, find_directory(B_USER_SETTINGS_DIRECTORY, -1, false,
		buffer, 15));
	EXPECT_EQ(B_BUFFER_OVERFLOW, find_directory(B_USER_SETTINGS_DIRECTORY,
		-1, false, buffer, 14));
	EXPECT_EQ(B_BAD_VALUE, find_directory(B_USER_SETTINGS_DIRECTORY, -1,
		false, NULL, 100));
	EXPECT_EQ(B_BAD_VALUE, find_directory(B_USER_SETTINGS_DIRECTORY, -1,
		false, buffer, 0));
	EXPECT_EQ(B_BAD_VALUE, find_directory(B_USER_SETTINGS_DIRECTORY,
		(BPath*)NULL));
}
