/*
 * Replays the BMessage unflatten fuzzer's corpus with the fuzzer's own
 * checks, with any compiler and without libFuzzer. Cases covered:
 * - every file in fuzz/corpus passes the checks;
 * - the corpus holds valid messages as well as rejected input, so the
 *   checks on valid messages run too.
 */
#include <dirent.h>
#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "MessageUnflattenFuzzer.h"


namespace {

std::string
corpus_directory()
{
	const char* testData = getenv("ORVANE_TEST_DATA");
	if (testData != NULL)
		return std::string(testData) + "/fuzz/corpus";
	return MESSAGE_CORPUS_DIR;
}


bool
read_file(const std::string& path, std::vector<uint8_t>& _bytes)
{
	FILE* file = fopen(path.c_str(), "rb");
	if (file == NULL)
		return false;
	_bytes.clear();
	uint8_t buffer[4096];
	size_t got;
	while ((got = fread(buffer, 1, sizeof(buffer), file)) > 0)
		_bytes.insert(_bytes.end(), buffer, buffer + got);
	bool ok = ferror(file) == 0;
	fclose(file);
	return ok;
}

}	// namespace


TEST(MessageCorpusTest, EveryCorpusFilePassesTheFuzzerChecks)
{
	std::string directory = corpus_directory();
	DIR* listing = opendir(directory.c_str());
	ASSERT_NE((DIR*)NULL, listing) << directory;

	int files = 0;
	int accepted = 0;
	std::vector<uint8_t> bytes;
	while (struct dirent* entry = readdir(listing)) {
		if (entry->d_name[0] == '.')
			continue;
		std::string path = directory + "/" + entry->d_name;
		ASSERT_TRUE(read_file(path, bytes)) << path;
		files++;

		// What the valid messages print is not checked here.
		testing::internal::CaptureStdout();
		const char* failure = check_message_unflatten(bytes.data(),
			bytes.size());
		std::string printed = testing::internal::GetCapturedStdout();
		EXPECT_EQ(NULL, failure) << entry->d_name << ": "
			<< (failure != NULL ? failure : "");
		if (!printed.empty())
			accepted++;
	}
	closedir(listing);

	EXPECT_GE(files, 10);
	EXPECT_GT(accepted, 0);
	EXPECT_LT(accepted, files);
}
