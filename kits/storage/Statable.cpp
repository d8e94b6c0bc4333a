/*
 * BStatable: the stat() questions every file system object answers.
 */
#include <Statable.h>

#include <Node.h>


namespace {

// The permission bits: set-user-id, set-group-id, sticky and rwx.
const mode_t kPermissionMask = 07777;


// Every getter asks the same way: a NULL out-parameter is refused, a
// failed stat() gives its status and leaves the value as it was, and
// otherwise `pick` chooses what the stat answers.
template<typename Value, typename Pick>
status_t
get_stat_field(const BStatable& statable, Value* _value, Pick pick)
{
	if (_value == NULL)
		return B_BAD_VALUE;
	struct stat st;
	status_t status = statable.GetStat(&st);
	if (status == B_OK)
		*_value = pick(st);
	return status;
}


// False as well when the object cannot be stat()ed.
bool
is_of_kind(const BStatable& statable, mode_t kind)
{
	struct stat st;
	return statable.GetStat(&st) == B_OK && (st.st_mode & S_IFMT) == kind;
}

}	// namespace


BStatable::BStatable()
{
}


BStatable::~BStatable()
{
}


bool
BStatable::IsFile() const
{
	return is_of_kind(*this, S_IFREG);
}


bool
BStatable::IsDirectory() const
{
	return is_of_kind(*this, S_IFDIR);
}


bool
BStatable::IsSymLink() const
{
	return is_of_kind(*this, S_IFLNK);
}


status_t
BStatable::GetNodeRef(node_ref* ref) const
{
	return get_stat_field(*this, ref, [](const struct stat& st) {
		return node_ref(st.st_dev, st.st_ino);
	});
}


status_t
BStatable::GetOwner(uid_t* owner) const
{
	return get_stat_field(*this, owner,
		[](const struct stat& st) { return st.st_uid; });
}


status_t
BStatable::SetOwner(uid_t owner)
{
	struct stat st = {};
	st.st_uid = owner;
	return _SetStat(st, kStatOwner);
}


status_t
BStatable::GetGroup(gid_t* group) const
{
	return get_stat_field(*this, group,
		[](const struct stat& st) { return st.st_gid; });
}


status_t
BStatable::SetGroup(gid_t group)
{
	struct stat st = {};
	st.st_gid = group;
	return _SetStat(st, kStatGroup);
}


status_t
BStatable::GetPermissions(mode_t* permissions) const
{
	return get_stat_field(*this, permissions,
		[](const struct stat& st) { return st.st_mode & kPermissionMask; });
}


status_t
BStatable::SetPermissions(mode_t permissions)
{
	struct stat st = {};
	st.st_mode = permissions & kPermissionMask;
	return _SetStat(st, kStatPermissions);
}


status_t
BStatable::GetSize(off_t* size) const
{
	return get_stat_field(*this, size,
		[](const struct stat& st) { return st.st_size; });
}


status_t
BStatable::GetModificationTime(time_t* mtime) const
{
	return get_stat_field(*this, mtime,
		[](const struct stat& st) { return st.st_mtime; });
}


status_t
BStatable::SetModificationTime(time_t mtime)
{
	struct stat st = {};
	st.st_mtim.tv_sec = mtime;
	return _SetStat(st, kStatModificationTime);
}


status_t
BStatable::GetAccessTime(time_t* atime) const
{
	return get_stat_field(*this, atime,
		[](const struct stat& st) { return st.st_atime; });
}


status_t
BStatable::SetAccessTime(time_t atime)
{
	struct stat st = {};
	st.st_atim.tv_sec = atime;
	return _SetStat(st, kStatAccessTime);
}
