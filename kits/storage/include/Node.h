/*
 * BNode is an open file system node: a file, a directory or anything
 * else a path can name, held by a file descriptor that the BNode owns and
 * closes. A plain BNode opens the node only to look at it (O_PATH), so it
 * works on files it may not read and on FIFOs and devices without side
 * effects; BFile and BDirectory open theirs for reading or writing.
 * Symbolic links are followed. A BNode is used by one thread at a time.
 *
 * Attributes are the node's extended attributes, named as the file
 * system names them ("user.author", "system.posix_acl_access",
 * "security.selinux"). The file system keeps no type with a value, so
 * every attribute reads as B_RAW_TYPE and the type given when writing is
 * not kept; a value is read and written whole, from offset 0.
 *
 * node_ref names a node by device and inode, whatever its path.
 */
#ifndef _NODE_H
#define _NODE_H

#include <Statable.h>
#include <StorageDefs.h>
#include <SupportDefs.h>

struct attr_info;
class BDirectory;
class BEntry;
class BFile;
struct entry_ref;

struct node_ref {
								node_ref();
								node_ref(dev_t device, ino_t node);

			bool				operator==(const node_ref& other) const;
			bool				operator!=(const node_ref& other) const;
			bool				operator<(const node_ref& other) const;

			dev_t				device;
			ino_t				node;
};


class BNode : public BStatable {
public:
								BNode();
								BNode(const entry_ref* ref);
								BNode(const BEntry* entry);
								BNode(const char* path);
								BNode(const BDirectory* directory,
									const char* path);
								BNode(const BNode& other);
	virtual						~BNode();

	// B_OK, or why the last SetTo() failed (B_NO_INIT before any).
			status_t			InitCheck() const;

	virtual	status_t			GetStat(struct stat* st) const;

	// Setting. A relative path is taken from the directory or, without
	// one, from the current working directory; an absolute path ignores
	// the directory. B_BAD_VALUE for NULL or empty input,
	// B_ENTRY_NOT_FOUND for a missing node. On failure the node is unset
	// and InitCheck() returns the error.
			status_t			SetTo(const entry_ref* ref);
			status_t			SetTo(const BEntry* entry);
			status_t			SetTo(const char* path);
			status_t			SetTo(const BDirectory* directory,
									const char* path);
	// Closes the descriptor; the node is uninitialised afterwards.
	virtual	void				Unset();

	// Writes the node's data and metadata to the disk (fsync).
			status_t			Sync();
	// Takes the node for this object alone: another BNode, in this process
	// or another, that asks for the lock gets B_BUSY until Unlock() or
	// Unset(). The lock is advisory (flock): it keeps out those who ask.
	// B_NOT_ALLOWED for a node opened only to be looked at.
			status_t			Lock();
			status_t			Unlock();

	// Attributes. ReadAttr() returns the bytes read (at most length; a
	// longer value is B_BUFFER_OVERFLOW), WriteAttr() the bytes written;
	// both refuse an offset other than 0 with B_BAD_VALUE. A missing
	// attribute is B_ENTRY_NOT_FOUND, a file system without attributes
	// B_UNSUPPORTED. GetNextAttrName() fills a buffer of
	// B_ATTR_NAME_LENGTH bytes and returns B_ENTRY_NOT_FOUND after the
	// last name; the names are those the node had at the first call after
	// RewindAttrs() (or SetTo()).
			ssize_t				ReadAttr(const char* name, type_code type,
									off_t offset, void* buffer,
									size_t length) const;
			ssize_t				WriteAttr(const char* name, type_code type,
									off_t offset, const void* buffer,
									size_t length);
			status_t			RemoveAttr(const char* name);
			status_t			GetAttrInfo(const char* name,
									attr_info* info) const;
			status_t			GetNextAttrName(char* buffer);
			status_t			RewindAttrs();

	// Nodes are equal when they are the same device and inode; two
	// uninitialised nodes are equal.
			bool				operator==(const BNode& other) const;
			bool				operator!=(const BNode& other) const;
			BNode&				operator=(const BNode& other);

private:
	friend class BDirectory;
	friend class BFile;

	virtual	status_t			_SetStat(const struct stat& st, uint32 which);

	// Opens the path with the given open(2) flags (O_CLOEXEC is added)
	// and keeps the descriptor; the status becomes InitCheck().
			status_t			_Open(const char* path, int flags,
									mode_t mode = 0);
	// Adopts an open descriptor, or records why there is none.
			status_t			_SetDescriptor(int fd, status_t status);
			int					_Descriptor() const;
	// Whether the descriptor was opened with O_PATH, which lets the node
	// be looked at but not read, written or synced.
			bool				_IsPathOnly() const;
	// Checks a call on one attribute (values are whole: offset 0 only)
	// and gives the path that reaches the node.
			status_t			_AttrPath(const char* name, char* path,
									off_t offset = 0,
									bool hasBuffer = true) const;
			status_t			_ListAttrs();

			int					fFD;
			status_t			fCStatus;
			char*				fAttrNames;		// NUL-separated, malloc'ed
			size_t				fAttrNamesLength;
			size_t				fAttrNamesOffset;	// the next name's
};

#endif	// _NODE_H
