/*
 * File panel messages and the reading of typed names.
 */
#include "PanelMessages.h"

#include <AppDefs.h>
#include <Directory.h>
#include <Errors.h>
#include <Path.h>

#include <string.h>

namespace BPrivate {

namespace {

// The folder the entry is, when it is one (following links).
bool
folder_ref(const char* path, entry_ref* _ref)
{
	BEntry entry(path, true);
	if (entry.InitCheck() != B_OK || !entry.IsDirectory())
		return false;
	return entry.GetRef(_ref) == B_OK;
}

}	// namespace


BMessage
panel_choice_message(file_panel_mode mode, const BMessage* panelMessage)
{
	if (panelMessage != NULL)
		return *panelMessage;
	return BMessage(mode == B_SAVE_PANEL
		? (uint32)B_SAVE_REQUESTED : (uint32)B_REFS_RECEIVED);
}


BMessage
open_panel_reply(const BMessage* panelMessage,
	const std::vector<entry_ref>& refs)
{
	BMessage reply = panel_choice_message(B_OPEN_PANEL, panelMessage);
	for (const entry_ref& ref : refs)
		reply.AddRef("refs", &ref);
	return reply;
}


BMessage
save_panel_reply(const BMessage* panelMessage, const entry_ref& directory,
	const char* name)
{
	BMessage reply = panel_choice_message(B_SAVE_PANEL, panelMessage);
	reply.AddRef("directory", &directory);
	reply.AddString("name", name);
	return reply;
}


BMessage
panel_cancel_notice(file_panel_mode mode, const BMessage* panelMessage,
	BFilePanel* source)
{
	BMessage notice = panel_choice_message(mode, panelMessage);
	notice.AddInt32("old_what", (int32)notice.what);
	notice.what = B_CANCEL;
	notice.AddPointer("source", source);
	return notice;
}


status_t
resolve_save_name(const entry_ref& folder, const char* typed,
	save_name_meaning* _meaning, entry_ref* _folder, std::string* _name)
{
	if (typed == NULL || typed[0] == '\0')
		return B_BAD_VALUE;

	BPath base(&folder);
	status_t status = base.InitCheck();
	if (status != B_OK)
		return status;

	// The whole name, as a path from the folder shown.
	std::string path = typed[0] == '/'
		? std::string(typed) : std::string(base.Path()) + "/" + typed;
	entry_ref ref;
	if (folder_ref(path.c_str(), &ref)) {
		*_meaning = kEnterFolder;
		*_folder = ref;
		_name->clear();
		return B_OK;
	}

	size_t slash = path.rfind('/');
	std::string leaf = path.substr(slash + 1);
	std::string parent = slash == 0 ? "/" : path.substr(0, slash);
	if (leaf.empty() || leaf == "." || leaf == "..")
		return B_BAD_VALUE;
	if (leaf.size() > B_FILE_NAME_LENGTH - 1)
		return B_NAME_TOO_LONG;

	BEntry parentEntry(parent.c_str(), true);
	status = parentEntry.InitCheck();
	if (status != B_OK)
		return status;
	if (!parentEntry.Exists())
		return B_ENTRY_NOT_FOUND;
	if (!parentEntry.IsDirectory())
		return B_NOT_A_DIRECTORY;
	status = parentEntry.GetRef(_folder);
	if (status != B_OK)
		return status;
	*_meaning = kSaveInFolder;
	*_name = leaf;
	return B_OK;
}


const char*
panel_error_text(status_t status)
{
	switch (status) {
		case B_OK:
			return "";
		case B_PERMISSION_DENIED:
			return "You are not allowed to read this folder.";
		case B_ENTRY_NOT_FOUND:
			return "This folder does not exist.";
		case B_NOT_A_DIRECTORY:
			return "This is not a folder.";
		case B_NAME_TOO_LONG:
			return "The name is too long.";
		case B_BAD_VALUE:
			return "Please type a name.";
		case B_LINK_LIMIT:
			return "Too many links lead to this folder.";
		default:
			return "This folder cannot be read.";
	}
}

}	// namespace BPrivate
