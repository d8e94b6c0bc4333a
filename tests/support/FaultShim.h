/*
 * A shim between the program and the C library that makes chosen system
 * calls fail, so tests can see what a save or a load does when the disk
 * fills up, a stat fails or the process dies half-way through a write.
 *
 * The shim is a shared library. A test program linked with it (or a
 * program started with it in LD_PRELOAD) gets its versions of the calls
 * below; each passes straight through to the C library until a rule is
 * set. Rules match a call by name and by a part of the path it acts on;
 * for calls on a descriptor, and for paths through /proc/self/fd, the
 * path the descriptor has open counts.
 *
 * Calls covered: open, openat, stat, lstat, fstat, fstatat, read, pread,
 * write, pwrite, fsync, fdatasync, ftruncate, rename, renameat, fchmod,
 * fchown, fsetxattr, setxattr, unlink, unlinkat (and their 64-bit names).
 *
 * Safe on any thread; a rule applies to every thread of the process.
 */
#ifndef FAULT_SHIM_H
#define FAULT_SHIM_H

#ifdef __cplusplus
extern "C" {
#endif

// What a matching call does.
enum fault_action {
	// Fails with the rule's errno and does nothing.
	FAULT_FAIL = 0,
	// For write and pwrite: writes half of the bytes, then the process
	// is killed with SIGKILL, as a crash or a power cut would stop it.
	FAULT_KILL_HALF_WAY = 1,
	// Kills the process with SIGKILL before the call does anything.
	FAULT_KILL = 2
};

// From now on, the call named `call` ("fstat", "pwrite", ...; the 64-bit
// names count as the same call) on a path containing `pathPart` (NULL or
// "" for any path) passes `skip` matching calls through, then acts on the
// next `count` ones (-1: all of them). Replaces any earlier rule.
void fault_shim_set(const char* call, const char* pathPart, int error,
	int skip, int count, enum fault_action action);

// Adds a rule beside those set before (up to eight); the first rule that
// matches a call decides.
void fault_shim_add(const char* call, const char* pathPart, int error,
	int skip, int count, enum fault_action action);

// Removes the rules: every call passes through again.
void fault_shim_clear(void);

// How many calls the rules have acted on so far.
int fault_shim_hits(void);

#ifdef __cplusplus
}
#endif

#ifdef __cplusplus
// Sets a rule for the lifetime of the object; the rule is cleared when it
// ends.
class ScopedFault {
public:
	ScopedFault(const char* call, const char* pathPart, int error,
		int skip = 0, int count = -1, fault_action action = FAULT_FAIL)
	{
		fault_shim_set(call, pathPart, error, skip, count, action);
	}
	~ScopedFault() { fault_shim_clear(); }

	int Hits() const { return fault_shim_hits(); }

	ScopedFault(const ScopedFault&) = delete;
	ScopedFault& operator=(const ScopedFault&) = delete;
};
#endif

#endif	// FAULT_SHIM_H
