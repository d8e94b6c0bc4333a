/*
 * FolderListing: reading a folder for a file panel.
 */
#include "FolderListing.h"

#include <Directory.h>
#include <Entry.h>
#include <FilePanel.h>
#include <Node.h>

#include <algorithm>
#include <string.h>
#include <stdio.h>
#include <sys/stat.h>
#include <time.h>

namespace BPrivate {

namespace {

const char* const kFolderType = "application/x-vnd.Be-directory";
const char* const kLinkType = "application/x-vnd.Be-symlink";
const char* const kGenericType = "application/octet-stream";


entry_kind
kind_of(const BEntry& entry, const struct stat& own)
{
	if (S_ISDIR(own.st_mode))
		return kFolderEntry;
	if (!S_ISLNK(own.st_mode))
		return kFileEntry;

	// What the link leads to decides whether it can be entered.
	entry_ref ref;
	if (entry.GetRef(&ref) != B_OK)
		return kBrokenLink;
	BEntry target(&ref, true);
	struct stat st;
	if (target.InitCheck() != B_OK || target.GetStat(&st) != B_OK)
		return kBrokenLink;
	return S_ISDIR(st.st_mode) ? kLinkToFolder : kLinkToFile;
}


const char*
type_of(entry_kind kind)
{
	switch (kind) {
		case kFolderEntry:
			return kFolderType;
		case kLinkToFile:
		case kLinkToFolder:
		case kBrokenLink:
			return kLinkType;
		default:
			return kGenericType;
	}
}


int
fold(unsigned char c)
{
	return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c;
}

}	// namespace


bool
folder_entry::IsFolder() const
{
	return kind == kFolderEntry || kind == kLinkToFolder;
}


bool
folder_entry::IsLink() const
{
	return kind == kLinkToFile || kind == kLinkToFolder || kind == kBrokenLink;
}


bool
folder_entry::IsChoosable(uint32 nodeFlavors) const
{
	if (nodeFlavors == 0)
		nodeFlavors = B_FILE_NODE;
	if (IsLink() && (nodeFlavors & B_SYMLINK_NODE) != 0)
		return true;
	switch (kind) {
		case kFileEntry:
		case kLinkToFile:
			return (nodeFlavors & B_FILE_NODE) != 0;
		case kFolderEntry:
		case kLinkToFolder:
			return (nodeFlavors & B_DIRECTORY_NODE) != 0;
		default:
			return false;
	}
}


FolderListing::FolderListing()
	:
	fStatus(B_NO_INIT)
{
}


status_t
FolderListing::Load(const entry_ref& folder, BRefFilter* filter)
{
	fEntries.clear();

	BDirectory directory(&folder);
	fStatus = directory.InitCheck();
	if (fStatus != B_OK)
		return fStatus;

	entry_ref ref;
	status_t status;
	while ((status = directory.GetNextRef(&ref)) == B_OK) {
		if (ref.name == NULL || ref.name[0] == '.')
			continue;

		folder_entry item;
		item.name = ref.name;
		item.ref = ref;
		// An entry that cannot be looked at (in a folder without search
		// permission) is still listed, as a file: its name is all the
		// user needs to see.
		BEntry entry(&ref, false);
		struct stat st;
		if (entry.InitCheck() != B_OK || entry.GetStat(&st) != B_OK) {
			memset(&st, 0, sizeof(st));
			st.st_mode = S_IFREG;
		}
		item.kind = kind_of(entry, st);
		if (S_ISREG(st.st_mode))
			item.size = st.st_size;
		item.modified = st.st_mtime;

		if (filter != NULL) {
			BNode node(&item.ref);
			if (!filter->Filter(&item.ref, &node, &st, type_of(item.kind)))
				continue;
		}
		fEntries.push_back(item);
	}
	if (status != B_ENTRY_NOT_FOUND) {
		// The folder went away or became unreadable half-way: a partial
		// listing would mislead.
		fEntries.clear();
		fStatus = status;
		return fStatus;
	}

	std::sort(fEntries.begin(), fEntries.end(), Precedes);
	return B_OK;
}


const folder_entry*
FolderListing::EntryAt(int32 index) const
{
	if (index < 0 || index >= CountEntries())
		return NULL;
	return &fEntries[index];
}


int32
FolderListing::IndexOf(const char* name) const
{
	if (name == NULL)
		return -1;
	for (int32 i = 0; i < CountEntries(); i++) {
		if (fEntries[i].name == name)
			return i;
	}
	return -1;
}


bool
FolderListing::Precedes(const folder_entry& a, const folder_entry& b)
{
	if (a.IsFolder() != b.IsFolder())
		return a.IsFolder();
	return CompareNames(a.name.c_str(), b.name.c_str()) < 0;
}


int
FolderListing::CompareNames(const char* a, const char* b)
{
	const unsigned char* x = (const unsigned char*)a;
	const unsigned char* y = (const unsigned char*)b;
	for (; *x != '\0' || *y != '\0'; x++, y++) {
		int difference = fold(*x) - fold(*y);
		if (difference != 0)
			return difference;
	}
	return strcmp(a, b);
}

std::string
entry_size_text(off_t size)
{
	if (size < 0)
		return "";
	if (size == 1)
		return "1 byte";
	if (size < 1000)
		return std::to_string((long long)size) + " bytes";
	static const char* const kUnits[] = { "kB", "MB", "GB", "TB", "PB" };
	double value = (double)size / 1000;
	int unit = 0;
	// 999.95 would print as "1000.0".
	while (value >= 999.95 && unit < 4) {
		value /= 1000;
		unit++;
	}
	char text[32];
	snprintf(text, sizeof(text), "%.1f %s", value, kUnits[unit]);
	return text;
}


std::string
entry_date_text(time_t modified)
{
	struct tm local;
	if (modified == 0 || localtime_r(&modified, &local) == NULL)
		return "";
	char text[32];
	strftime(text, sizeof(text), "%Y-%m-%d %H:%M", &local);
	return text;
}

status_t
create_new_folder(const entry_ref& parent, std::string& _name)
{
	BDirectory directory(&parent);
	status_t status = directory.InitCheck();
	for (int32 number = 1; status == B_OK && number < 1000; number++) {
		std::string name = "New Folder";
		if (number > 1)
			name += " " + std::to_string(number);
		status = directory.CreateDirectory(name.c_str(), NULL);
		if (status == B_OK) {
			_name = name;
			return B_OK;
		}
		if (status == B_FILE_EXISTS)
			status = B_OK;
	}
	return status != B_OK ? status : B_FILE_EXISTS;
}

}	// namespace BPrivate
