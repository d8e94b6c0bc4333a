/*
 * Byte streams: BDataIO reads and writes in order, BPositionIO also at
 * any position. BMallocIO and BMemoryIO keep their bytes in memory; the
 * Storage Kit's BFile is a BPositionIO on a file.
 */
#ifndef _DATA_IO_H
#define _DATA_IO_H

#include <SupportDefs.h>

class BDataIO {
public:
								BDataIO();
	virtual						~BDataIO();

	// Return the number of bytes moved, or a negative status code.
	virtual	ssize_t				Read(void* buffer, size_t size);
	virtual	ssize_t				Write(const void* buffer, size_t size);

	virtual	status_t			Flush();

	// Loop until every byte has moved. A stream that ends first gives
	// B_IO_ERROR; the count moved so far goes to the out-parameter.
			status_t			ReadExactly(void* buffer, size_t size,
									size_t* _bytesRead = NULL);
			status_t			WriteExactly(const void* buffer, size_t size,
									size_t* _bytesWritten = NULL);

private:
								BDataIO(const BDataIO&) = delete;
			BDataIO&			operator=(const BDataIO&) = delete;
};


class BPositionIO : public BDataIO {
public:
								BPositionIO();
	virtual						~BPositionIO();

	// Read and Write go through ReadAt and WriteAt at the current position.
	virtual	ssize_t				Read(void* buffer, size_t size);
	virtual	ssize_t				Write(const void* buffer, size_t size);

	virtual	ssize_t				ReadAt(off_t position, void* buffer,
									size_t size) = 0;
	virtual	ssize_t				WriteAt(off_t position, const void* buffer,
									size_t size) = 0;

	// seekMode is SEEK_SET, SEEK_CUR or SEEK_END; returns the new position
	// or a negative status code.
	virtual	off_t				Seek(off_t position, uint32 seekMode) = 0;
	virtual	off_t				Position() const = 0;

	virtual	status_t			SetSize(off_t size);
	virtual	status_t			GetSize(off_t* size) const;
};


// A growing buffer on the heap.
class BMallocIO : public BPositionIO {
public:
								BMallocIO();
	virtual						~BMallocIO();

	virtual	ssize_t				ReadAt(off_t position, void* buffer,
									size_t size);
	virtual	ssize_t				WriteAt(off_t position, const void* buffer,
									size_t size);

	virtual	off_t				Seek(off_t position, uint32 seekMode);
	virtual	off_t				Position() const;

	virtual	status_t			SetSize(off_t size);

	// The block grows in multiples of this many bytes.
			void				SetBlockSize(size_t blockSize);

			const void*			Buffer() const;
			size_t				BufferLength() const;

private:
			size_t				fBlockSize;
			size_t				fMallocSize;
			size_t				fLength;
			char*				fData;
			off_t				fPosition;
};


// A fixed block of memory owned by the caller; reading past its end
// returns 0 bytes, writing past it fails. A read-only BMemoryIO refuses
// every write.
class BMemoryIO : public BPositionIO {
public:
								BMemoryIO(void* data, size_t length);
								BMemoryIO(const void* data, size_t length);
	virtual						~BMemoryIO();

	virtual	ssize_t				ReadAt(off_t position, void* buffer,
									size_t size);
	virtual	ssize_t				WriteAt(off_t position, const void* buffer,
									size_t size);

	virtual	off_t				Seek(off_t position, uint32 seekMode);
	virtual	off_t				Position() const;

	virtual	status_t			SetSize(off_t size);

private:
			bool				fReadOnly;
			char*				fBuffer;
			size_t				fLength;
			size_t				fBufferSize;
			off_t				fPosition;
};

#endif	// _DATA_IO_H
