/*
 * BStatable: the stat() questions every file system object answers.
 */
#include <Statable.h>

#include <Node.h>


// The permission bits: set-user-id, set-group-id, sticky and rwx.
static const mode_t kPermissionMask = 07777;


BStatable::BStatable()
{
}


BStatable::~BStatable()
{
}


bool
BStatable::IsFile() const
{
	struct stat st;
	return GetStat(&st) == B_OK && S_ISREG(st.st_mode);
}


bool
BStatable::IsDirectory() const
{
	struct stat st;
	return GetStat(&st) == B_OK && S_ISDIR(st.st_mode);
}


bool
BStatable::IsSymLink() const
{
	struct stat st;
	return GetStat(&st) == B_OK && S_ISLNK(st.st_mode);
}


status_t
BStatable::GetNodeRef(node_ref* ref) const
{
	if (ref == NULL)
		return B_BAD_VALUE;
	struct stat st;
	status_t status = GetStat(&st);
	if (status != B_OK)
		return status;
	ref->device = st.st_dev;
	ref->node = st.st_ino;
	return B_OK;
}


status_t
BStatable::GetOwner(uid_t* owner) const
{
	if (owner == NULL)
		return B_BAD_VALUE;
	struct stat st;
	status_t status = GetStat(&st);
	if (status == B_OK)
		*owner = st.st_uid;
	return status;
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
	if (group == NULL)
		return B_BAD_VALUE;
	struct stat st;
	status_t status = GetStat(&st);
	if (status == B_OK)
		*group = st.st_gid;
	return status;
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
	if (permissions == NULL)
		return B_BAD_VALUE;
	struct stat st;
	status_t status = GetStat(&st);
	if (status == B_OK)
		*permissions = st.st_mode & kPermissionMask;
	return status;
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
	if (size == NULL)
		return B_BAD_VALUE;
	struct stat st;
	status_t status = GetStat(&st);
	if (status == B_OK)
		*size = st.st_size;
	return status;
}


status_t
BStatable::GetModificationTime(time_t* mtime) const
{
	if (mtime == NULL)
		return B_BAD_VALUE;
	struct stat st;
	status_t status = GetStat(&st);
	if (status == B_OK)
		*mtime = st.st_mtime;
	return status;
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
	if (atime == NULL)
		return B_BAD_VALUE;
	struct stat st;
	status_t status = GetStat(&st);
	if (status == B_OK)
		*atime = st.st_atime;
	return status;
}


status_t
BStatable::SetAccessTime(time_t atime)
{
	struct stat st = {};
	st.st_atim.tv_sec = atime;
	return _SetStat(st, kStatAccessTime);
}
