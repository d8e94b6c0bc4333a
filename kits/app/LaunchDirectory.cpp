#include "LaunchDirectory.h"

#include <StorageDefs.h>

#include "LaunchDisplay.h"
#include "StatusErrno.h"

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>


namespace BPrivate {

namespace {

const char* const kRuntimeDirectoryName = "orvane-kits";
const char* const kSocketSuffix = ".sock";
// How much of the signature and of the display's name show in the
// socket's name; the rest is in its hash.
const size_t kReadableSignatureLength = 24;
const size_t kReadableDisplayLength = 12;


// The directory that $XDG_RUNTIME_DIR names, if it is one we may trust:
// absolute, a directory, ours, closed to everybody else. It may be a
// symlink, since the variable is ours and the place it leads is checked.
bool
is_trusted_runtime_directory(const char* path)
{
	if (path == NULL || path[0] != '/')
		return false;
	struct stat info;
	if (stat(path, &info) != 0)
		return false;
	return S_ISDIR(info.st_mode) && info.st_uid == geteuid()
		&& (info.st_mode & 077) == 0;
}


// FNV-1a; the private directory keeps out anyone who would look for
// collisions, so this only has to spread honest names.
uint64
name_hash(const std::string& name)
{
	uint64 hash = 14695981039346656037ULL;
	for (unsigned char c : name) {
		hash ^= c;
		hash *= 1099511628211ULL;
	}
	return hash;
}


std::string
lower_case(const char* text)
{
	std::string lower;
	for (const char* c = text; *c != '\0'; c++) {
		char ch = *c;
		if (ch >= 'A' && ch <= 'Z')
			ch = ch - 'A' + 'a';
		lower += ch;
	}
	return lower;
}


// The start of the text, with only characters no file name minds.
std::string
readable_part(const std::string& text, size_t length)
{
	std::string part;
	for (size_t i = 0; i < text.size() && i < length; i++) {
		char ch = text[i];
		bool keep = (ch >= 'a' && ch <= 'z') || (ch >= '0' && ch <= '9')
			|| ch == '-' || ch == '_';
		part += keep ? ch : '_';
	}
	return part;
}


std::string
socket_name(const char* signature, const std::string& display)
{
	std::string lower = lower_case(signature);
	std::string displayPart = lower_case(display.c_str());
	// The NUL keeps "a" + "bc" apart from "ab" + "c".
	std::string whole = lower + '\0' + display;

	char hash[24];
	snprintf(hash, sizeof(hash), "-%016llx",
		(unsigned long long)name_hash(whole));
	return readable_part(lower, kReadableSignatureLength) + "."
		+ readable_part(displayPart, kReadableDisplayLength) + hash
		+ kSocketSuffix;
}


std::string
join_path(const char* directory, const char* leaf)
{
	std::string path = directory;
	if (path.empty() || path.back() != '/')
		path += '/';
	path += leaf;
	return path;
}

}	// namespace


bool
is_valid_app_signature(const char* signature)
{
	if (signature == NULL)
		return false;
	size_t length = strlen(signature);
	if (length == 0 || length >= B_MIME_TYPE_LENGTH)
		return false;

	const char* slash = strchr(signature, '/');
	if (slash == NULL || slash == signature || slash[1] == '\0'
		|| strchr(slash + 1, '/') != NULL)
		return false;

	for (const char* c = signature; *c != '\0'; c++) {
		if (*c == '/')
			continue;
		if (*c <= ' ' || *c >= 0x7f || strchr("()<>@,;:\\\"[]?=", *c) != NULL)
			return false;
	}
	return true;
}


status_t
launch_directory(std::string* _path, const char* fallbackParent)
{
	if (_path == NULL || fallbackParent == NULL)
		return B_BAD_VALUE;

	const char* runtime = getenv("XDG_RUNTIME_DIR");
	if (is_trusted_runtime_directory(runtime))
		return make_private_directory(runtime, kRuntimeDirectoryName, _path);

	char name[32];
	snprintf(name, sizeof(name), "kits-%u", (unsigned)geteuid());
	return make_private_directory(fallbackParent, name, _path);
}


status_t
make_private_directory(const char* parent, const char* name,
	std::string* _path)
{
	if (parent == NULL || parent[0] != '/' || name == NULL
		|| name[0] == '\0' || strchr(name, '/') != NULL
		|| strcmp(name, ".") == 0 || strcmp(name, "..") == 0
		|| _path == NULL)
		return B_BAD_VALUE;

	std::string path = join_path(parent, name);
	bool created = mkdir(path.c_str(), 0700) == 0;
	if (!created && errno != EEXIST)
		return status_from_errno(errno);

	// Everything below goes through one descriptor that cannot have
	// followed a symlink, so nothing swapped in after the mkdir() can be
	// changed or accepted by mistake.
	int fd = open(path.c_str(),
		O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
	if (fd < 0) {
		return errno == ELOOP || errno == ENOTDIR
			? B_NOT_ALLOWED : status_from_errno(errno);
	}

	// The umask may have taken bits away from what we made.
	struct stat info;
	status_t status = B_OK;
	if ((created && fchmod(fd, 0700) != 0) || fstat(fd, &info) != 0)
		status = status_from_errno(errno);
	else if (!S_ISDIR(info.st_mode) || info.st_uid != geteuid()
		|| (info.st_mode & 07777) != 0700)
		status = B_NOT_ALLOWED;
	close(fd);

	if (status == B_OK)
		*_path = path;
	return status;
}


status_t
launch_socket_path(const char* signature, std::string* _path)
{
	if (!is_valid_app_signature(signature) || _path == NULL)
		return B_BAD_VALUE;

	std::string directory;
	status_t status = launch_directory(&directory);
	if (status != B_OK)
		return status;

	std::string path = join_path(directory.c_str(),
		socket_name(signature, launch_display_identity()).c_str());
	if (path.size() >= sizeof(sockaddr_un::sun_path))
		return B_NAME_TOO_LONG;

	*_path = path;
	return B_OK;
}

}	// namespace BPrivate
