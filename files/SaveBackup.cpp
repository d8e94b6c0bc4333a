/*
 * Copies of old bytes that make writing a file in place crash-safe.
 */
#include "SaveBackup.h"

#include <Directory.h>
#include <File.h>
#include <FindDirectory.h>
#include <Path.h>

#include <stdio.h>
#include <string.h>
#include <sys/stat.h>

#include <atomic>

#include "WriteAll.h"

// How many fresh names are tried before giving up on a new file.
static const int32 kCreateAttempts = 64;

static const char* kBesideMark = ".orvane-backup-";
static const char* const kCacheSubfolders[] = { "Orvane", "backups" };

static std::atomic<uint32> sUniqueCounter(0);


SaveBackup::SaveBackup()
	:
	fCreated(false)
{
}


status_t
SaveBackup::Create(const BEntry& target, const char* bytes, size_t length)
{
	if (fCreated)
		return B_NOT_ALLOWED;

	BDirectory directory;
	status_t status = target.GetParent(&directory);
	if (status == B_OK) {
		char leaf[B_FILE_NAME_LENGTH];
		status = target.GetName(leaf);
		if (status == B_OK) {
			status = _CreateIn(directory, _BesidePrefix(leaf), bytes,
				length);
		}
	}
	if (status == B_OK)
		return B_OK;

	// The directory may not be written, or holds no room: the cache
	// folder may.
	BDirectory cache;
	if (_CacheFolder(&cache, true) != B_OK)
		return status;
	return _CreateIn(cache, _CachePrefix(target), bytes, length);
}


status_t
SaveBackup::Remove()
{
	if (!fCreated)
		return B_OK;
	status_t status = fEntry.Remove();
	if (status != B_OK)
		return status;
	fCreated = false;
	fPath.clear();
	return B_OK;
}


status_t
SaveBackup::FindLeftOver(const entry_ref* ref, std::string* _path)
{
	BEntry target(ref, true);
	status_t status = target.InitCheck();
	if (status != B_OK)
		return status;

	BDirectory directory;
	char leaf[B_FILE_NAME_LENGTH];
	if (target.GetParent(&directory) == B_OK && target.GetName(leaf) == B_OK
		&& _FindIn(directory, _BesidePrefix(leaf), _path) == B_OK)
		return B_OK;

	BDirectory cache;
	if (_CacheFolder(&cache, false) == B_OK
		&& _FindIn(cache, _CachePrefix(target), _path) == B_OK)
		return B_OK;
	return B_ENTRY_NOT_FOUND;
}


status_t
SaveBackup::CreateUnique(BDirectory& directory, const std::string& prefix,
	mode_t permissions, BFile* file, BEntry* entry)
{
	status_t status = B_FILE_EXISTS;
	for (int32 attempt = 0; attempt < kCreateAttempts
			&& status == B_FILE_EXISTS; attempt++) {
		char unique[64];
		snprintf(unique, sizeof(unique), "%llx-%x",
			(unsigned long long)system_time(),
			(unsigned)sUniqueCounter.fetch_add(1));
		std::string name = prefix + unique;
		if (name.size() >= B_FILE_NAME_LENGTH)
			return B_NAME_TOO_LONG;
		status = entry->SetTo(&directory, name.c_str());
		if (status == B_OK) {
			status = directory.CreateFile(name.c_str(), file, true,
				permissions);
		}
	}
	return status;
}


status_t
SaveBackup::_CreateIn(BDirectory& directory, const std::string& prefix,
	const char* bytes, size_t length)
{
	BFile file;
	BEntry entry;
	status_t status = CreateUnique(directory, prefix, 0600, &file, &entry);
	if (status != B_OK)
		return status;

	status = write_all(file, 0, bytes, length);
	if (status == B_OK)
		status = file.Sync();
	// The copy counts only once its name has reached the disk too.
	if (status == B_OK)
		status = directory.Sync();
	file.Unset();

	if (status != B_OK) {
		entry.Remove();
		return status;
	}

	BPath path;
	if (entry.GetPath(&path) == B_OK)
		fPath = path.Path();
	fEntry = entry;
	fCreated = true;
	return B_OK;
}


std::string
SaveBackup::_BesidePrefix(const char* leaf)
{
	return std::string(".") + leaf + kBesideMark;
}


// Files from all over the disk meet in the cache folder, so a copy there
// is named after the whole path of its file, hashed to fit a name.
std::string
SaveBackup::_CachePrefix(const BEntry& target)
{
	BPath path;
	const char* text = target.GetPath(&path) == B_OK ? path.Path() : "";
	uint64 hash = 14695981039346656037ULL;
	for (const char* c = text; *c != '\0'; c++) {
		hash ^= (uint8)*c;
		hash *= 1099511628211ULL;
	}
	char prefix[32];
	snprintf(prefix, sizeof(prefix), "%016llx-", (unsigned long long)hash);
	return prefix;
}


status_t
SaveBackup::_CacheFolder(BDirectory* folder, bool create)
{
	BPath path;
	status_t status = find_directory(B_USER_CACHE_DIRECTORY, &path, create);
	if (status != B_OK)
		return status;
	status = folder->SetTo(path.Path());
	for (const char* level : kCacheSubfolders) {
		if (status != B_OK)
			break;
		BDirectory parent(*folder);
		status = folder->SetTo(&parent, level);
		if (status == B_ENTRY_NOT_FOUND && create) {
			status = parent.CreateDirectory(level, folder);
			// The copies are of the person's documents: only they may
			// list them, as with the settings folder.
			if (status == B_OK)
				status = folder->SetPermissions(S_IRWXU);
			// Another window may have made it meanwhile.
			if (status == B_FILE_EXISTS)
				status = folder->SetTo(&parent, level);
		}
	}
	return status;
}


status_t
SaveBackup::_FindIn(BDirectory& directory, const std::string& prefix,
	std::string* _path)
{
	directory.Rewind();
	BEntry entry;
	while (directory.GetNextEntry(&entry) == B_OK) {
		char name[B_FILE_NAME_LENGTH];
		if (entry.GetName(name) != B_OK
			|| strncmp(name, prefix.c_str(), prefix.size()) != 0)
			continue;
		BPath path;
		if (entry.GetPath(&path) != B_OK)
			continue;
		*_path = path.Path();
		return B_OK;
	}
	return B_ENTRY_NOT_FOUND;
}
