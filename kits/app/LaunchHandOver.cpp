#include "LaunchHandOver.h"

#include <AppDefs.h>
#include <Entry.h>

#include <string>


namespace BPrivate {

namespace {

// Options ("-n", "--help") are not paths; "./-n" names a file of that name.
bool
is_relative_path(const char* argument)
{
	return argument[0] != '\0' && argument[0] != '/' && argument[0] != '-';
}


std::string
absolute_argument(const char* cwd, const char* argument)
{
	std::string path = cwd;
	if (path.back() != '/')
		path += '/';
	path += argument;
	return path;
}


status_t
validate_argv(const BMessage& message, BMessage* handOver)
{
	type_code type;
	int32 count;
	if (message.GetInfo("argv", &type, &count) != B_OK
		|| type != B_STRING_TYPE || count < 1)
		return B_BAD_DATA;

	const char* cwd = NULL;
	int32 cwdCount;
	if (message.GetInfo("cwd", &type, &cwdCount) == B_OK) {
		if (type != B_STRING_TYPE || cwdCount != 1
			|| message.FindString("cwd", &cwd) != B_OK || cwd[0] != '/')
			return B_BAD_DATA;
	}

	handOver->what = B_ARGV_RECEIVED;
	status_t status = handOver->AddInt32("argc", count);
	for (int32 i = 0; i < count && status == B_OK; i++) {
		const char* argument;
		status = message.FindString("argv", i, &argument);
		if (status != B_OK)
			return B_BAD_DATA;
		if (i > 0 && cwd != NULL && is_relative_path(argument)) {
			status = handOver->AddString("argv",
				absolute_argument(cwd, argument).c_str());
		} else
			status = handOver->AddString("argv", argument);
	}
	if (status == B_OK && cwd != NULL)
		status = handOver->AddString("cwd", cwd);
	return status;
}


status_t
validate_refs(const BMessage& message, BMessage* handOver)
{
	type_code type;
	int32 count;
	if (message.GetInfo("refs", &type, &count) != B_OK
		|| type != B_REF_TYPE || count < 1)
		return B_BAD_DATA;

	handOver->what = B_REFS_RECEIVED;
	for (int32 i = 0; i < count; i++) {
		entry_ref ref;
		if (message.FindRef("refs", i, &ref) != B_OK)
			return B_BAD_DATA;
		status_t status = handOver->AddRef("refs", &ref);
		if (status != B_OK)
			return status;
	}
	return B_OK;
}

}	// namespace


status_t
make_launch_hand_over(int32 argc, const char* const* argv, const char* cwd,
	BMessage* _message)
{
	if (_message == NULL || (argc > 0 && argv == NULL))
		return B_BAD_VALUE;

	_message->MakeEmpty();
	if (argc <= 1) {
		_message->what = B_SILENT_RELAUNCH;
		return B_OK;
	}

	_message->what = B_ARGV_RECEIVED;
	status_t status = _message->AddInt32("argc", argc);
	for (int32 i = 0; i < argc && status == B_OK; i++)
		status = _message->AddString("argv", argv[i] != NULL ? argv[i] : "");
	if (status == B_OK && cwd != NULL)
		status = _message->AddString("cwd", cwd);
	return status;
}


status_t
validate_launch_hand_over(const BMessage& message, BMessage* _handOver)
{
	if (_handOver == NULL)
		return B_BAD_VALUE;

	_handOver->MakeEmpty();
	switch (message.what) {
		case B_ARGV_RECEIVED:
			return validate_argv(message, _handOver);
		case B_REFS_RECEIVED:
			return validate_refs(message, _handOver);
		case B_SILENT_RELAUNCH:
			_handOver->what = B_SILENT_RELAUNCH;
			return B_OK;
		default:
			return B_BAD_DATA;
	}
}

}	// namespace BPrivate
