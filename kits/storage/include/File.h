/*
 * BFile reads and writes the bytes of a regular file, exactly as they are.
 * It owns the file descriptor (through BNode) and is used by one thread at
 * a time. Offsets are 64-bit, so files past 2 GiB work.
 *
 * Only regular files are opened. A directory fails with B_IS_A_DIRECTORY;
 * a FIFO, socket or device fails with B_UNSUPPORTED, because the editor
 * loads whole files by path and a FIFO would block it and /dev/zero would
 * never end. The open itself never blocks: it happens with O_NONBLOCK,
 * and the kind of node is checked on the open descriptor.
 *
 * Open modes (StorageDefs.h): one of B_READ_ONLY, B_WRITE_ONLY or
 * B_READ_WRITE, or'ed with B_CREATE_FILE, B_FAIL_IF_EXISTS (which creates
 * too, and fails with B_FILE_EXISTS when something is there), B_ERASE_FILE
 * (not allowed with B_READ_ONLY) and B_OPEN_AT_END. Any other bit is
 * B_BAD_VALUE. New files get mode 0666 less the umask
 * (BDirectory::CreateFile() can ask for less).
 *
 * In B_OPEN_AT_END mode every write goes to the end of the file, WriteAt()
 * included: Linux ignores the position of a positioned write to a file
 * opened for appending.
 */
#ifndef _FILE_H
#define _FILE_H

#include <DataIO.h>
#include <Node.h>
#include <StorageDefs.h>

class BDirectory;
class BEntry;
struct entry_ref;

class BFile : public BNode, public BPositionIO {
public:
								BFile();
								BFile(const entry_ref* ref, uint32 openMode);
								BFile(const BEntry* entry, uint32 openMode);
								BFile(const char* path, uint32 openMode);
								BFile(const BDirectory* directory,
									const char* path, uint32 openMode);
	// Shares the descriptor's position with the original (dup).
								BFile(const BFile& other);
	virtual						~BFile();

	// Setting: see the open modes above. B_ENTRY_NOT_FOUND for a missing
	// file without B_CREATE_FILE, B_PERMISSION_DENIED, B_NAME_TOO_LONG,
	// B_IS_A_DIRECTORY, B_UNSUPPORTED for special files.
			status_t			SetTo(const entry_ref* ref, uint32 openMode);
			status_t			SetTo(const BEntry* entry, uint32 openMode);
			status_t			SetTo(const char* path, uint32 openMode);
			status_t			SetTo(const BDirectory* directory,
									const char* path, uint32 openMode);
	virtual	void				Unset();

			bool				IsReadable() const;
			bool				IsWritable() const;

	// Reading and writing. They loop over short transfers and
	// interruptions, so fewer bytes than asked means the end of the file
	// (reading) or an error after some bytes were written. Reading a
	// write-only file or writing a read-only one is B_NOT_ALLOWED; a
	// negative position is B_BAD_VALUE.
	virtual	ssize_t				Read(void* buffer, size_t size);
	virtual	ssize_t				ReadAt(off_t position, void* buffer,
									size_t size);
	virtual	ssize_t				Write(const void* buffer, size_t size);
	virtual	ssize_t				WriteAt(off_t position, const void* buffer,
									size_t size);

	// seekMode is SEEK_SET, SEEK_CUR or SEEK_END. Seeking past the end is
	// allowed; a write there leaves a hole of zero bytes.
	virtual	off_t				Seek(off_t position, uint32 seekMode);
	virtual	off_t				Position() const;

	// SetSize() truncates or extends with zero bytes; it needs a writable
	// file.
	virtual	status_t			SetSize(off_t size);
	virtual	status_t			GetSize(off_t* size) const;

			BFile&				operator=(const BFile& other);

private:
	friend class BDirectory;

	// Opens or creates the file; a new file gets the permissions (less
	// the umask). A file this call made is removed again when it cannot
	// be kept open, so a failure leaves nothing behind.
			status_t			_OpenFile(const char* path, uint32 openMode,
									mode_t permissions = 0666);
			status_t			_OpenOrCreate(const char* path, int flags,
									mode_t permissions, bool* _created);
			status_t			_CheckOpened();

			uint32				fMode;		// the open mode, valid when set
};

#endif	// _FILE_H
