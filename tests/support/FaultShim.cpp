/*
 * The fault shim: system calls that fail when a test asks them to.
 */
#include "FaultShim.h"

#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <stdarg.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/xattr.h>
#include <unistd.h>


namespace {

struct Rule {
	bool			active;
	char			call[32];
	char			pathPart[256];
	int				error;
	int				skip;
	int				count;
	fault_action	action;
};

const int kMaxRules = 8;
Rule sRules[kMaxRules];
int sHits;
pthread_mutex_t sLock = PTHREAD_MUTEX_INITIALIZER;


// The C library's own version of a call.
template<typename Function>
Function
next_call(const char* name)
{
	return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}


bool
path_matches(const Rule& rule, const char* path)
{
	if (rule.pathPart[0] == '\0')
		return true;
	return path != NULL && strstr(path, rule.pathPart) != NULL;
}


// The path a call acts on: a descriptor's, or the one behind a
// /proc/self/fd link, is looked up.
const char*
resolve_path(const char* path, int fd, char* buffer, size_t size)
{
	char link[64];
	const char* linkPath = NULL;
	if (path == NULL && fd >= 0) {
		snprintf(link, sizeof(link), "/proc/self/fd/%d", fd);
		linkPath = link;
	} else if (path != NULL && strncmp(path, "/proc/self/fd/", 14) == 0)
		linkPath = path;
	if (linkPath == NULL)
		return path;
	ssize_t length = readlink(linkPath, buffer, size - 1);
	buffer[length > 0 ? length : 0] = '\0';
	return buffer;
}


// Whether this call on this path must misbehave, and how; counts the
// call against the rule. `path` may be NULL when the call names a
// descriptor, which is then looked up.
bool
should_fault(const char* call, const char* path, int fd,
	fault_action* _action, int* _error)
{
	pthread_mutex_lock(&sLock);
	bool fault = false;
	char resolved[4096];
	bool isResolved = false;
	for (Rule& rule : sRules) {
		if (!rule.active || strcmp(rule.call, call) != 0)
			continue;
		if (!isResolved) {
			path = resolve_path(path, fd, resolved, sizeof(resolved));
			isResolved = true;
		}
		if (!path_matches(rule, path))
			continue;
		if (rule.skip > 0)
			rule.skip--;
		else if (rule.count != 0) {
			if (rule.count > 0)
				rule.count--;
			sHits++;
			fault = true;
			*_action = rule.action;
			*_error = rule.error;
		}
		break;
	}
	pthread_mutex_unlock(&sLock);
	return fault;
}


// Writes half of the bytes for real, then dies as a crash would.
template<typename Write>
void
write_half_and_die(Write write)
{
	write();
	kill(getpid(), SIGKILL);
	pause();
}

}	// namespace


extern "C" {

void
fault_shim_add(const char* call, const char* pathPart, int error, int skip,
	int count, enum fault_action action)
{
	pthread_mutex_lock(&sLock);
	for (Rule& rule : sRules) {
		if (rule.active)
			continue;
		memset(&rule, 0, sizeof(rule));
		snprintf(rule.call, sizeof(rule.call), "%s", call);
		snprintf(rule.pathPart, sizeof(rule.pathPart), "%s",
			pathPart != NULL ? pathPart : "");
		rule.error = error;
		rule.skip = skip;
		rule.count = count;
		rule.action = action;
		rule.active = true;
		break;
	}
	pthread_mutex_unlock(&sLock);
}


void
fault_shim_set(const char* call, const char* pathPart, int error, int skip,
	int count, enum fault_action action)
{
	fault_shim_clear();
	pthread_mutex_lock(&sLock);
	sHits = 0;
	pthread_mutex_unlock(&sLock);
	fault_shim_add(call, pathPart, error, skip, count, action);
}


void
fault_shim_clear(void)
{
	pthread_mutex_lock(&sLock);
	for (Rule& rule : sRules)
		rule.active = false;
	pthread_mutex_unlock(&sLock);
}


int
fault_shim_hits(void)
{
	pthread_mutex_lock(&sLock);
	int hits = sHits;
	pthread_mutex_unlock(&sLock);
	return hits;
}


// Each call: ask the rule, fail or pass on. The macros keep the many
// names (and their 64-bit twins) to one line each.
#define FAULT_CHECK(call, path, fd)										\
	fault_action action;												\
	int error;															\
	if (should_fault(call, path, fd, &action, &error)) {				\
		if (action == FAULT_KILL)										\
			kill(getpid(), SIGKILL);									\
		errno = error;													\
		return -1;														\
	}

#define PATH_CALL(name, call, type)								\
	int name(const char* path, type argument)							\
	{																	\
		FAULT_CHECK(call, path, -1)										\
		return next_call<int (*)(const char*, type)>(#name)(path,		\
			argument);													\
	}

#define FD_CALL(name, call, type)										\
	int name(int fd, type argument)										\
	{																	\
		FAULT_CHECK(call, NULL, fd)										\
		return next_call<int (*)(int, type)>(#name)(fd, argument);		\
	}

PATH_CALL(stat, "stat", struct stat*)
PATH_CALL(stat64, "stat", struct stat64*)
PATH_CALL(lstat, "lstat", struct stat*)
PATH_CALL(lstat64, "lstat", struct stat64*)
FD_CALL(fstat, "fstat", struct stat*)
FD_CALL(fstat64, "fstat", struct stat64*)
FD_CALL(ftruncate, "ftruncate", off_t)
FD_CALL(ftruncate64, "ftruncate", off64_t)
FD_CALL(fchmod, "fchmod", mode_t)


int
fstatat(int fd, const char* path, struct stat* st, int flags)
{
	FAULT_CHECK("fstatat", path[0] != '\0' ? path : NULL, fd)
	return next_call<int (*)(int, const char*, struct stat*, int)>(
		"fstatat")(fd, path, st, flags);
}


int
fstatat64(int fd, const char* path, struct stat64* st, int flags)
{
	FAULT_CHECK("fstatat", path[0] != '\0' ? path : NULL, fd)
	return next_call<int (*)(int, const char*, struct stat64*, int)>(
		"fstatat64")(fd, path, st, flags);
}


static int
open_with(const char* name, int directory, const char* path, int flags,
	mode_t mode)
{
	FAULT_CHECK("open", path, -1)
	if (directory == AT_FDCWD && strcmp(name, "open") == 0)
		return next_call<int (*)(const char*, int, ...)>(name)(path, flags,
			mode);
	if (directory == AT_FDCWD && strcmp(name, "open64") == 0)
		return next_call<int (*)(const char*, int, ...)>(name)(path, flags,
			mode);
	return next_call<int (*)(int, const char*, int, ...)>(name)(directory,
		path, flags, mode);
}


#define OPEN_MODE(flags)												\
	mode_t mode = 0;													\
	if ((flags & (O_CREAT | O_TMPFILE)) != 0) {							\
		va_list arguments;												\
		va_start(arguments, flags);										\
		mode = va_arg(arguments, mode_t);								\
		va_end(arguments);												\
	}

int open(const char* path, int flags, ...)
	{ OPEN_MODE(flags) return open_with("open", AT_FDCWD, path, flags, mode); }
int open64(const char* path, int flags, ...)
	{ OPEN_MODE(flags) return open_with("open64", AT_FDCWD, path, flags, mode); }
int openat(int directory, const char* path, int flags, ...)
	{ OPEN_MODE(flags) return open_with("openat", directory, path, flags, mode); }
int openat64(int directory, const char* path, int flags, ...)
	{ OPEN_MODE(flags) return open_with("openat64", directory, path, flags, mode); }


ssize_t
read(int fd, void* buffer, size_t size)
{
	FAULT_CHECK("read", NULL, fd)
	return next_call<ssize_t (*)(int, void*, size_t)>("read")(fd, buffer,
		size);
}


ssize_t
pread(int fd, void* buffer, size_t size, off_t position)
{
	FAULT_CHECK("pread", NULL, fd)
	return next_call<ssize_t (*)(int, void*, size_t, off_t)>("pread")(fd,
		buffer, size, position);
}


ssize_t
pread64(int fd, void* buffer, size_t size, off64_t position)
{
	FAULT_CHECK("pread", NULL, fd)
	return next_call<ssize_t (*)(int, void*, size_t, off64_t)>("pread64")(
		fd, buffer, size, position);
}


static ssize_t
positioned_write(const char* name, int fd, const void* buffer, size_t size,
	off64_t position)
{
	auto next = next_call<ssize_t (*)(int, const void*, size_t, off64_t)>(
		name);
	fault_action action;
	int error;
	if (should_fault("pwrite", NULL, fd, &action, &error)) {
		if (action == FAULT_KILL)
			kill(getpid(), SIGKILL);
		if (action == FAULT_KILL_HALF_WAY) {
			write_half_and_die([&]() {
				next(fd, buffer, size / 2, position);
			});
		}
		errno = error;
		return -1;
	}
	return next(fd, buffer, size, position);
}


ssize_t
pwrite(int fd, const void* buffer, size_t size, off_t position)
{
	return positioned_write("pwrite", fd, buffer, size, position);
}


ssize_t
pwrite64(int fd, const void* buffer, size_t size, off64_t position)
{
	return positioned_write("pwrite64", fd, buffer, size, position);
}


ssize_t
write(int fd, const void* buffer, size_t size)
{
	auto next = next_call<ssize_t (*)(int, const void*, size_t)>("write");
	// Standard output and error are never the file a test is about, and
	// the test's own report must get through.
	fault_action action;
	int error;
	if (fd > 2 && should_fault("write", NULL, fd, &action, &error)) {
		if (action == FAULT_KILL)
			kill(getpid(), SIGKILL);
		if (action == FAULT_KILL_HALF_WAY)
			write_half_and_die([&]() { next(fd, buffer, size / 2); });
		errno = error;
		return -1;
	}
	return next(fd, buffer, size);
}


int
fsync(int fd)
{
	FAULT_CHECK("fsync", NULL, fd)
	return next_call<int (*)(int)>("fsync")(fd);
}


int
fdatasync(int fd)
{
	FAULT_CHECK("fdatasync", NULL, fd)
	return next_call<int (*)(int)>("fdatasync")(fd);
}


int
rename(const char* from, const char* to)
{
	FAULT_CHECK("rename", from, -1)
	return next_call<int (*)(const char*, const char*)>("rename")(from, to);
}


int
renameat(int fromDirectory, const char* from, int toDirectory,
	const char* to)
{
	FAULT_CHECK("rename", from, -1)
	return next_call<int (*)(int, const char*, int, const char*)>(
		"renameat")(fromDirectory, from, toDirectory, to);
}


int
fchown(int fd, uid_t owner, gid_t group)
{
	FAULT_CHECK("fchown", NULL, fd)
	return next_call<int (*)(int, uid_t, gid_t)>("fchown")(fd, owner, group);
}


int
fchownat(int fd, const char* path, uid_t owner, gid_t group, int flags)
{
	FAULT_CHECK("fchown", path[0] != '\0' ? path : NULL, fd)
	return next_call<int (*)(int, const char*, uid_t, gid_t, int)>(
		"fchownat")(fd, path, owner, group, flags);
}


int
fsetxattr(int fd, const char* name, const void* value, size_t size,
	int flags)
{
	FAULT_CHECK("fsetxattr", NULL, fd)
	return next_call<int (*)(int, const char*, const void*, size_t, int)>(
		"fsetxattr")(fd, name, value, size, flags);
}


int
setxattr(const char* path, const char* name, const void* value, size_t size,
	int flags)
{
	FAULT_CHECK("setxattr", path, -1)
	return next_call<int (*)(const char*, const char*, const void*, size_t,
		int)>("setxattr")(path, name, value, size, flags);
}


int
unlink(const char* path)
{
	FAULT_CHECK("unlink", path, -1)
	return next_call<int (*)(const char*)>("unlink")(path);
}


int
unlinkat(int fd, const char* path, int flags)
{
	FAULT_CHECK("unlink", path, -1)
	return next_call<int (*)(int, const char*, int)>("unlinkat")(fd, path,
		flags);
}

}	// extern "C"
