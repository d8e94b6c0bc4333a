/*
 * BStatable: the stat() questions every file system object answers.
 */
#include <Statable.h>

#include <Node.h>


namespace {

// The permission bits: set-user-id, set-group-id, sticky and rwx.
const mode_t kPermissionMask = 07777;

// The structure, where the name alone would be the function.
typedef struct stat stat_data;


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


// Every setter asks the same way: _SetStat() is given a stat that holds
// the new value in the field the setter names (the rest stays zero, and
// _SetStat() reads no other), and its status is the setter's.
template<typename Field>
stat_data
stat_holding(Field stat_data::*field, Field value)
{
	stat_data st = {};
	st.*field = value;
	return st;
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
	return _SetStat(stat_holding(&stat_data::st_uid, owner), kStatOwner);
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
	return _SetStat(stat_holding(&stat_data::st_gid, group), kStatGroup);
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
	return _SetStat(stat_holding(&stat_data::st_mode,
		permissions & kPermissionMask), kStatPermissions);
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
	return _SetStat(stat_holding(&stat_data::st_mtim, timespec{mtime, 0}),
		kStatModificationTime);
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
	return _SetStat(stat_holding(&stat_data::st_atim, timespec{atime, 0}),
		kStatAccessTime);
}
