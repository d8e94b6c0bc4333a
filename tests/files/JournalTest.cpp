/*
 * The recovery journal without a window:
 * - the piece table follows a model text through random edits, and says
 *   it is the base only when it is;
 * - what a writer journals comes back whole from the file it leaves,
 *   for an untitled document and a file, through large insertions and
 *   compaction, with the folder 0700 and the file 0600, and a journal
 *   being written is never taken by a scan;
 * - a journal goes when the document is saved, discarded, or its edits
 *   come back to the base (also by putting deleted bytes back);
 * - a journal cut anywhere or with any byte damaged gives back exactly
 *   the edits before the damage, and one whose header is damaged is set
 *   aside;
 * - writes that fail (a full disk) are tried again until they reach it.
 */
#include <Directory.h>
#include <Entry.h>
#include <File.h>

#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>

#include <random>
#include <string>

#include "EditorTestSupport.h"
#include "FaultShim.h"
#include "JournalRecovery.h"
#include "JournalWriter.h"
#include "PieceTable.h"
#include "StorageTestSupport.h"

using journal::Base;
using journal::RecordWriter;


namespace {

// A sync waits this long at most: a slow machine, or a sanitizer, may
// take seconds to write and compact megabytes.
const bigtime_t kPatience = 60000000;

// A text to recover into.
class StringTarget : public RecoveryTarget {
public:
	explicit StringTarget(const std::string& text) : fText(text) {}

	uint64 Length() const override { return fText.size(); }
	status_t Insert(uint64 offset, const char* bytes, size_t length) override
	{
		fText.insert(offset, bytes, length);
		return B_OK;
	}
	status_t Delete(uint64 from, uint64 to) override
	{
		fText.erase(from, to - from);
		return B_OK;
	}

	std::string fText;
};


std::vector<std::string>
journal_files(const std::string& folder)
{
	std::vector<std::string> names;
	DIR* directory = opendir(folder.c_str());
	if (directory == NULL)
		return names;
	while (struct dirent* entry = readdir(directory)) {
		if (entry->d_name[0] != '.')
			names.push_back(entry->d_name);
	}
	closedir(directory);
	return names;
}


// What the journal file holds, on the base text; it is read whether or
// not a writer has it.
std::string
read_journal(const std::string& path, const std::string& baseText)
{
	RecoveredJournal journal;
	if (journal.file.SetTo(path.c_str(), B_READ_ONLY) != B_OK
		|| JournalRecovery::Read(journal) != B_OK)
		return "(unreadable)";
	StringTarget target(journal.pieces.UsesBase() ? baseText : "");
	EXPECT_EQ(B_OK, JournalRecovery::Apply(journal, target));
	return target.fText;
}


// What the folder's journals give back, each on the base text.
std::vector<std::string>
recover_all(const std::string& folder, const std::string& baseText,
	std::vector<Base>* _bases = NULL)
{
	JournalRecovery::journal_list found;
	JournalRecovery::Scan(folder.c_str(), found);
	std::vector<std::string> texts;
	for (auto& journal : found) {
		StringTarget target(journal->pieces.UsesBase() ? baseText : "");
		EXPECT_EQ(B_OK, JournalRecovery::Apply(*journal, target));
		texts.push_back(target.fText);
		if (_bases != NULL)
			_bases->push_back(journal->base);
	}
	return texts;
}


std::string
random_bytes(std::mt19937& random, size_t length)
{
	std::string bytes(length, '\0');
	for (char& byte : bytes)
		byte = (char)(random() % 256);
	return bytes;
}


// Random edits of the model, handed to the writer as a view would.
void
edit_randomly(std::mt19937& random, std::string& model, JournalWriter& writer,
	JournalWriter::journal_id id, int count)
{
	for (int i = 0; i < count; i++) {
		if (model.empty() || random() % 3 != 0) {
			size_t at = random() % (model.size() + 1);
			std::string bytes = random_bytes(random, 1 + random() % 8);
			model.insert(at, bytes);
			writer.Inserted(id, at, bytes.data(), bytes.size());
		} else {
			size_t from = random() % model.size();
			size_t to = std::min(model.size(), from + 1 + random() % 6);
			model.erase(from, to - from);
			writer.Deleted(id, from, to);
		}
	}
}


class JournalTest : public testing::Test {
protected:
	JournalTest()
		:
		fFolder(fDirectory.Child("state/recovery"))
	{
	}

	// A file to be the base, with its stamp.
	Base FileBase(const std::string& text)
	{
		std::string path = fDirectory.Child("document.txt");
		write_raw(path, text);
		Base base;
		base.path = path;
		entry_ref ref;
		EXPECT_EQ(B_OK, get_ref_for_path(path.c_str(), &ref));
		EXPECT_EQ(B_OK, base.stamp.SetTo(&ref));
		base.length = text.size();
		base.number = 1;
		return base;
	}

	TempDirectory		fDirectory;
	std::string			fFolder;
};

}	// namespace


TEST(PieceTableTest, FollowsAModelText)
{
	std::mt19937 random(7);
	for (int round = 0; round < 20; round++) {
		std::string base = random_bytes(random, random() % 40);
		std::string source;	// the journal's bytes
		std::string model = base;
		PieceTable pieces;
		pieces.Reset(base.size());
		for (int step = 0; step < 300; step++) {
			int choice = random() % 10;
			if (choice < 5) {
				size_t at = random() % (model.size() + 1);
				std::string bytes = random_bytes(random, random() % 5);
				ASSERT_EQ(B_OK, pieces.Insert(at, source.size(),
					bytes.size()));
				source += bytes;
				model.insert(at, bytes);
			} else if (choice < 9 && !model.empty()) {
				size_t from = random() % model.size();
				size_t to = from + random() % (model.size() - from + 1);
				ASSERT_EQ(B_OK, pieces.Delete(from, to));
				model.erase(from, to - from);
			} else if (choice == 9 && random() % 8 == 0) {
				std::string bytes = random_bytes(random, random() % 20);
				pieces.Replace(source.size(), bytes.size());
				source += bytes;
				model = bytes;
			}
			EXPECT_EQ(B_BAD_VALUE, pieces.Delete(0, model.size() + 1));
			EXPECT_EQ(B_BAD_VALUE, pieces.Insert(model.size() + 1, 0, 1));

			std::string text;
			for (const PieceTable::Piece& piece : pieces.Pieces())
				text += (piece.fromBase ? base : source).substr(piece.offset,
					piece.length);
			ASSERT_EQ(model, text) << "round " << round << ", step " << step;
			ASSERT_EQ(model.size(), pieces.Length());
			if (pieces.IsBase())
				ASSERT_EQ(base, model);
		}
	}

	// Typing taken back, or a deleted run put back from the base, is the
	// base again by its pieces.
	PieceTable pieces;
	pieces.Reset(10);
	ASSERT_EQ(B_OK, pieces.Insert(4, 0, 3));
	ASSERT_EQ(B_OK, pieces.Delete(4, 7));
	EXPECT_TRUE(pieces.IsBase());
	ASSERT_EQ(B_OK, pieces.Delete(2, 8));
	EXPECT_FALSE(pieces.IsBase());
	EXPECT_TRUE(pieces.UsesBase());
	ASSERT_EQ(B_OK, pieces.Delete(0, 4));
	EXPECT_FALSE(pieces.UsesBase());
}


TEST_F(JournalTest, WhatIsWrittenComesBackWhole)
{
	std::mt19937 random(11);
	std::string baseText = random_bytes(random, 5000);
	for (bool untitled : { true, false }) {
		SCOPED_TRACE(untitled ? "untitled" : "file");
		Base base = untitled ? Base() : FileBase(baseText);
		base.number = 7;
		std::string model = untitled ? "" : baseText;
		{
			JournalWriter writer(fFolder.c_str());
			ASSERT_EQ(B_OK, writer.InitCheck());
			JournalWriter::journal_id id = writer.Open(base, BMessenger());
			edit_randomly(random, model, writer, id, 300);
			// Large insertions go in several records.
			std::string large = random_bytes(random, 3 * 1024 * 1024 + 17);
			size_t middle = model.size() / 2;
			model.insert(middle, large);
			writer.Inserted(id, middle, large.data(), large.size());
			ASSERT_EQ(B_OK, writer.Sync(kPatience));

			// Edits that cannot be joined, one sync each, fill the journal
			// with records until it is compacted.
			for (int i = 0; i < 5000; i++) {
				size_t at = random() % (model.size() + 1);
				model.insert(at, 1, 'x');
				writer.Inserted(id, at, "x", 1);
				if (i % 1000 == 0)
					writer.Sync(kPatience);
			}
			ASSERT_EQ(B_OK, writer.Sync(kPatience));

			// A running writer's journal is never taken.
			EXPECT_TRUE(recover_all(fFolder, baseText).empty());
			std::string path = writer.PathOf(id);
			ASSERT_FALSE(path.empty());
			struct stat st;
			ASSERT_EQ(0, stat(path.c_str(), &st));
			EXPECT_EQ(0600u, st.st_mode & 0777);
			EXPECT_LT(st.st_size, (off_t)(model.size() - (untitled ? 0
				: baseText.size()) + 256 * 1024));
			ASSERT_EQ(0, stat(fFolder.c_str(), &st));
			EXPECT_EQ(0700u, st.st_mode & 0777);
		}
		std::vector<Base> bases;
		std::vector<std::string> texts = recover_all(fFolder, baseText,
			&bases);
		ASSERT_EQ(1u, texts.size());
		EXPECT_TRUE(texts[0] == model);
		EXPECT_EQ(base.path, bases[0].path);
		EXPECT_EQ(7, bases[0].number);
		EXPECT_TRUE(bases[0].stamp == base.stamp || untitled);
		for (const std::string& name : journal_files(fFolder))
			unlink((fFolder + "/" + name).c_str());
	}
}


TEST_F(JournalTest, GoesWhenNothingIsLeftUnsaved)
{
	std::string baseText = "The quick brown fox";
	Base base = FileBase(baseText);
	JournalWriter writer(fFolder.c_str());
	auto journaled = [&](JournalWriter::journal_id id) {
		writer.Sync(kPatience);
		return !writer.PathOf(id).empty();
	};

	// Saved, and changed again afterwards.
	JournalWriter::journal_id id = writer.Open(base, BMessenger());
	writer.Inserted(id, 0, "A ", 2);
	EXPECT_TRUE(journaled(id));
	Base saved = FileBase("A " + baseText);
	writer.Rebase(id, saved);
	EXPECT_FALSE(journaled(id));
	writer.Deleted(id, 0, 2);
	EXPECT_TRUE(journaled(id));

	// Discarded.
	writer.Discard(id);
	writer.Sync(kPatience);
	EXPECT_TRUE(journal_files(fFolder).empty());

	// Typing taken back, in a later write than the typing.
	base = FileBase(baseText);
	id = writer.Open(base, BMessenger());
	writer.Inserted(id, 4, "very ", 5);
	EXPECT_TRUE(journaled(id));
	writer.Deleted(id, 4, 9);
	EXPECT_FALSE(journaled(id));

	// A deletion undone: the same bytes come back as new ones.
	writer.Deleted(id, 4, 10);
	EXPECT_TRUE(journaled(id));
	writer.Inserted(id, 4, "quick ", 6);
	EXPECT_FALSE(journaled(id));
	writer.Deleted(id, 4, 10);
	writer.Inserted(id, 4, "slow, ", 6);
	EXPECT_TRUE(journaled(id));
	EXPECT_EQ(1u, journal_files(fFolder).size());

	// Closed without a word: kept.
	writer.Close(id);
	writer.Sync(kPatience);
	EXPECT_EQ(std::vector<std::string>{ "The slow, brown fox" },
		recover_all(fFolder, baseText));
}


TEST_F(JournalTest, DamageCostsOnlyWhatFollowsIt)
{
	std::mt19937 random(5);
	std::string baseText = "0123456789abcdefghij";
	Base base = FileBase(baseText);
	std::string journal;
	RecordWriter::Header(journal, base);
	// The text after each whole record, and where each record ends.
	std::vector<std::string> states{ baseText };
	std::vector<size_t> ends{ journal.size() };
	std::string model = baseText;
	for (int i = 0; i < 40; i++) {
		if (i % 3 == 2 && model.size() > 2) {
			size_t from = random() % (model.size() - 1);
			RecordWriter::Delete(journal, from, from + 2);
			model.erase(from, 2);
		} else if (i == 20) {
			model = "snapshot " + std::to_string(i);
			RecordWriter::Snapshot(journal, model.data(), model.size());
		} else {
			size_t at = random() % (model.size() + 1);
			std::string bytes = random_bytes(random, 1 + random() % 9);
			RecordWriter::Insert(journal, at, bytes.data(), bytes.size());
			model.insert(at, bytes);
		}
		states.push_back(model);
		ends.push_back(journal.size());
	}

	// What a journal of those bytes gives back: nothing, when it is set
	// aside, or one text.
	auto recovered = [&](const std::string& bytes, std::string* _text) {
		TempDirectory folder;
		write_raw(folder.Child("journal-1"), bytes);
		std::vector<std::string> texts = recover_all(folder.Path(), baseText);
		if (texts.size() == 1)
			*_text = texts[0];
		return texts.size();
	};
	// How many records end at or before the byte.
	auto wholeBefore = [&](size_t byte) {
		return (size_t)(std::upper_bound(ends.begin(), ends.end(), byte)
			- ends.begin());
	};

	for (size_t cut = 0; cut <= journal.size(); cut++) {
		std::string text;
		size_t whole = wholeBefore(cut);
		if (whole == 0) {
			EXPECT_EQ(0u, recovered(journal.substr(0, cut), &text));
			continue;
		}
		bool changed = states[whole - 1] != baseText;
		ASSERT_EQ(changed ? 1u : 0u, recovered(journal.substr(0, cut), &text))
			<< "cut at " << cut;
		if (changed)
			ASSERT_EQ(states[whole - 1], text) << "cut at " << cut;
	}
	for (int flip = 0; flip < 300; flip++) {
		size_t byte = random() % journal.size();
		std::string damaged = journal;
		damaged[byte] ^= (char)(1 + random() % 255);
		std::string text;
		size_t whole = wholeBefore(byte);
		size_t count = recovered(damaged, &text);
		if (whole == 0)
			EXPECT_EQ(0u, count) << "header damaged at " << byte;
		else if (count == 1)
			EXPECT_EQ(states[whole - 1], text) << "damaged at " << byte;
		else
			EXPECT_EQ(states[whole - 1], baseText) << "damaged at " << byte;
	}

	// A damaged header is kept aside, never read again.
	TempDirectory folder;
	std::string damaged = journal;
	damaged[2] = 'x';
	write_raw(folder.Child("journal-1"), damaged);
	EXPECT_TRUE(recover_all(folder.Path(), baseText).empty());
	EXPECT_EQ(std::vector<std::string>{ "journal-1.damaged" },
		journal_files(folder.Path()));
}


TEST_F(JournalTest, FailedWritesAreTriedAgain)
{
	// Each of the calls that put a journal on disk fails for a while in
	// turn: what was typed reaches the disk all the same, once it can.
	struct Case {
		const char*	call;
		int			error;
	} cases[] = {
		{ "open", ENOSPC }, { "pwrite", ENOSPC }, { "pwrite", EIO },
		{ "fsync", EIO }, { "fsync", ENOSPC }
	};
	for (const Case& failure : cases) {
		SCOPED_TRACE(std::string(failure.call) + " " + strerror(failure.error));
		TempDirectory state;
		std::string folder = state.Child("recovery");
		std::string model;
		{
			JournalWriter writer(folder.c_str());
			JournalWriter::journal_id id = writer.Open(Base(), BMessenger());
			{
				ScopedFault fault(failure.call, "journal-", failure.error, 0,
					2);
				writer.Inserted(id, 0, "first words", 11);
				model = "first words";
				writer.Sync(kPatience);
				EXPECT_GT(fault.Hits(), 0);
				writer.Inserted(id, 11, ", then more", 11);
				model += ", then more";
				writer.Sync(kPatience);
			}
			// The retry comes by itself, a second after the failure.
			for (int i = 0; i < 40 && read_journal(writer.PathOf(id), "")
					!= model; i++) {
				usleep(100000);
			}
			EXPECT_EQ(model, read_journal(writer.PathOf(id), ""));
		}
		EXPECT_EQ(std::vector<std::string>{ model }, recover_all(folder, ""));
	}
}
