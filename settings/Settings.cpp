/*
 * The settings record's defaults and its file.
 */
#include "Settings.h"

#include <DataIO.h>
#include <Entry.h>
#include <File.h>
#include <FindDirectory.h>
#include <Font.h>
#include <Path.h>


#include "DocumentWriter.h"
#include "MessageCodes.h"
#include "PrintLine.h"


const char* LineLength = "LineLength";
const char* FontFamily = "FontFamily";
const char* FontSize = "FontSize";

const char* kSettingsFileName = "Orvane";

static const int32 kDefaultLineLength = 255;


// The settings file's path, or false after printing why there is none.
// For saving, a missing settings directory is made (private to the user,
// as the desktop's conventions ask) so that a fresh account keeps its
// settings.
static bool
SettingsFilePath(BPath* path, bool createDirectory)
{
	if (find_directory(B_USER_SETTINGS_DIRECTORY, path, createDirectory)
			!= B_OK) {
		PrintLine("find_directory not OK");
		return false;
	}
	if (path->Append(kSettingsFileName, false) != B_OK) {
		PrintLine("path.Append not OK");
		return false;
	}
	return true;
}


void
DefaultSettings(BMessage* record)
{
	record->what = kMsgSettingsRecord;
	record->AddInt32(LineLength, kDefaultLineLength);

	font_family family;
	be_fixed_font->GetFamilyAndStyle(&family, NULL);
	record->AddString(FontFamily, family);
	// Sizes are whole points: a size of 12.9 is 12.
	record->AddInt32(FontSize, (int32)be_fixed_font->Size());

	record->PrintToStream();
}


void
LoadSettings(BMessage* record)
{
	PrintLine("LoadSettings");
	DefaultSettings(record);

	BPath path;
	if (!SettingsFilePath(&path, false))
		return;

	BFile file(path.Path(), B_READ_ONLY);
	if (file.InitCheck() != B_OK) {
		PrintLine("file.InitCheck not OK");
		return;
	}

	// Read into a record of its own, so that a file that cannot be read
	// whole leaves the defaults in force instead of half a record.
	BMessage loaded;
	if (loaded.Unflatten(&file) != B_OK)
		PrintLine("Unflatten not OK");
	else
		*record = loaded;

	record->PrintToStream();
}


void
SaveSettings(BMessage* record)
{
	PrintLine("ZELApp SavePref");

	BPath path;
	if (!SettingsFilePath(&path, true))
		return;

	// The file must be one that can be written; it is made here when
	// missing, but not emptied.
	BFile file(path.Path(), B_WRITE_ONLY | B_CREATE_FILE);
	status_t status = file.InitCheck();
	file.Unset();
	entry_ref ref;
	if (status == B_OK)
		status = get_ref_for_path(path.Path(), &ref);
	if (status != B_OK) {
		PrintLine("file.InitCheck not OK");
		return;
	}

	// The new record replaces the old file whole or not at all: a full
	// disk must not leave the user with no settings at all next time.
	BMallocIO flat;
	status = record->Flatten(&flat);
	if (status == B_OK) {
		DocumentWriter writer;
		status = writer.Write(&ref, (const char*)flat.Buffer(),
			flat.BufferLength());
	}
	if (status != B_OK)
		PrintLine("Flatten not OK");

	record->PrintToStream();
}
