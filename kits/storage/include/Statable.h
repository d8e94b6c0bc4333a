/*
 * BStatable: what every file system object can tell about itself through
 * stat(): its kind, size, owner, permissions and times. BEntry answers
 * for the entry itself (a symbolic link is not followed), BNode for the
 * node it has open. An abstract base that owns nothing; it is used by one
 * thread at a time, like the object it belongs to.
 *
 * Every getter fails with B_BAD_VALUE for a NULL out-parameter and with
 * the object's InitCheck() status when it is not initialised; the Is*()
 * tests answer false then.
 */
#ifndef _STATABLE_H
#define _STATABLE_H

#include <sys/stat.h>
#include <time.h>

#include <SupportDefs.h>

struct node_ref;

class BStatable {
public:
								BStatable();
	virtual						~BStatable();

	virtual	status_t			GetStat(struct stat* st) const = 0;

	// Node kind
			bool				IsFile() const;
			bool				IsDirectory() const;
			bool				IsSymLink() const;

			status_t			GetNodeRef(node_ref* ref) const;

	// Ownership and permissions. The permissions are the mode's low twelve
	// bits (set-id, sticky and rwx bits); SetPermissions() ignores the rest.
			status_t			GetOwner(uid_t* owner) const;
			status_t			SetOwner(uid_t owner);
			status_t			GetGroup(gid_t* group) const;
			status_t			SetGroup(gid_t group);
			status_t			GetPermissions(mode_t* permissions) const;
			status_t			SetPermissions(mode_t permissions);

	// Size and times. Times are whole seconds since the epoch.
			status_t			GetSize(off_t* size) const;
			status_t			GetModificationTime(time_t* mtime) const;
			status_t			SetModificationTime(time_t mtime);
			status_t			GetAccessTime(time_t* atime) const;
			status_t			SetAccessTime(time_t atime);

protected:
	// Which parts of a stat _SetStat() changes.
	enum {
		kStatOwner				= 0x01,
		kStatGroup				= 0x02,
		kStatPermissions		= 0x04,
		kStatModificationTime	= 0x08,
		kStatAccessTime			= 0x10
	};

private:
	// Applies the fields named by `which` from `st` to the object.
	virtual	status_t			_SetStat(const struct stat& st,
									uint32 which) = 0;
};

#endif	// _STATABLE_H
