/*
 * Recovery journal records: writing them, reading and checking them.
 */
#include "JournalRecords.h"

#include <File.h>

#include <string.h>

#include <algorithm>
#include <vector>


namespace journal {

namespace {

const char kMagic[4] = { 'O', 'v', 'J', 'r' };
const uint32 kVersion = 1;
// How much of a large payload is read at a time while it is checked.
const size_t kReadChunk = 1024 * 1024;
// The header's fixed part: version, number, length, then the stamp; the
// path takes the rest.
const size_t kHeaderFixed = 4 + 4 + 8 + FileStamp::kFlattenedSize;


void
put32(std::string& out, uint32 value)
{
	char bytes[4] = { (char)value, (char)(value >> 8), (char)(value >> 16),
		(char)(value >> 24) };
	out.append(bytes, 4);
}


void
put64(std::string& out, uint64 value)
{
	put32(out, (uint32)value);
	put32(out, (uint32)(value >> 32));
}


uint32
get32(const char* bytes)
{
	const uint8* b = (const uint8*)bytes;
	return (uint32)b[0] | (uint32)b[1] << 8 | (uint32)b[2] << 16
		| (uint32)b[3] << 24;
}


uint64
get64(const char* bytes)
{
	return (uint64)get32(bytes) | (uint64)get32(bytes + 4) << 32;
}


// Starts a record: its head, with the length of the payload to come.
size_t
begin_record(std::string& out, record_type type, size_t payloadLength)
{
	size_t start = out.size();
	out.append(kMagic, 4);
	out += (char)type;
	out.append(3, '\0');
	put32(out, (uint32)payloadLength);
	return start;
}


void
end_record(std::string& out, size_t start)
{
	put32(out, crc32(0, out.data() + start, out.size() - start));
}


struct CrcTable {
	uint32 entries[256];

	CrcTable()
	{
		for (uint32 i = 0; i < 256; i++) {
			uint32 value = i;
			for (int bit = 0; bit < 8; bit++)
				value = (value & 1) != 0 ? 0xedb88320 ^ (value >> 1)
					: value >> 1;
			entries[i] = value;
		}
	}
};

}	// namespace


uint32
crc32(uint32 crc, const void* bytes, size_t length)
{
	static const CrcTable sTable;
	const uint8* byte = (const uint8*)bytes;
	crc = ~crc;
	while (length-- > 0)
		crc = sTable.entries[(crc ^ *byte++) & 0xff] ^ (crc >> 8);
	return ~crc;
}


Base::Base()
	:
	length(0),
	number(0)
{
}


// #pragma mark - RecordWriter


void
RecordWriter::Header(std::string& out, const Base& base)
{
	std::string stamp;
	base.stamp.Flatten(stamp);
	size_t start = begin_record(out, kHeaderRecord,
		kHeaderFixed + base.path.size());
	put32(out, kVersion);
	put32(out, (uint32)base.number);
	put64(out, base.length);
	out += stamp;
	out += base.path;
	end_record(out, start);
}


void
RecordWriter::Insert(std::string& out, uint64 offset, const char* bytes,
	size_t length)
{
	size_t start = begin_record(out, kInsertRecord, 8 + length);
	put64(out, offset);
	out.append(bytes, length);
	end_record(out, start);
}


void
RecordWriter::Delete(std::string& out, uint64 from, uint64 to)
{
	size_t start = begin_record(out, kDeleteRecord, 16);
	put64(out, from);
	put64(out, to);
	end_record(out, start);
}


void
RecordWriter::Snapshot(std::string& out, const char* bytes, size_t length)
{
	size_t start = begin_record(out, kSnapshotRecord, length);
	out.append(bytes, length);
	end_record(out, start);
}


void
RecordWriter::BaseCopy(std::string& out, const char* bytes, size_t length)
{
	size_t start = begin_record(out, kBaseCopyRecord, length);
	out.append(bytes, length);
	end_record(out, start);
}


size_t
RecordWriter::BytesOffset(record_type type)
{
	return kRecordHead + (type == kInsertRecord ? 8 : 0);
}


// #pragma mark - RecordReader


RecordReader::RecordReader(BFile& file)
	:
	fFile(file),
	fSize(0),
	fEnd(0)
{
	if (fFile.GetSize(&fSize) != B_OK)
		fSize = 0;
}


status_t
RecordReader::ReadHeader(Base& _base)
{
	fEnd = 0;
	Record record;
	std::string payload;
	status_t status = _Read(record, &payload);
	if (status != B_OK || record.type != kHeaderRecord
		|| payload.size() < kHeaderFixed || get32(payload.data()) != kVersion)
		return B_BAD_DATA;

	_base.number = (int32)get32(payload.data() + 4);
	_base.length = get64(payload.data() + 8);
	if (_base.stamp.Unflatten(payload.data() + 16, FileStamp::kFlattenedSize)
			!= B_OK)
		return B_BAD_DATA;
	_base.path.assign(payload, kHeaderFixed, std::string::npos);
	if (_base.path.find('\0') != std::string::npos
		|| (_base.path.empty() && _base.length != 0))
		return B_BAD_DATA;
	fEnd = record.end;
	return B_OK;
}


status_t
RecordReader::Next(Record& _record)
{
	if (fEnd >= fSize)
		return B_ENTRY_NOT_FOUND;
	std::string payload;
	status_t status = _Read(_record, &payload);
	if (status != B_OK)
		return status;

	switch (_record.type) {
		case kInsertRecord:
			if (_record.length < 8)
				return B_BAD_DATA;
			_record.offset = get64(payload.data());
			_record.bytesAt += 8;
			_record.length -= 8;
			break;
		case kDeleteRecord:
			if (_record.length != 16)
				return B_BAD_DATA;
			_record.offset = get64(payload.data());
			_record.to = get64(payload.data() + 8);
			if (_record.to < _record.offset)
				return B_BAD_DATA;
			break;
		case kSnapshotRecord:
		case kBaseCopyRecord:
			break;
		default:
			return B_BAD_DATA;
	}
	fEnd = _record.end;
	return B_OK;
}


// Reads and checks the record at the end of what was read so far. Of its
// payload it keeps what the header or an edit's offsets need: the whole
// of a header, the first sixteen bytes of anything else.
status_t
RecordReader::_Read(Record& _record, std::string* _payload)
{
	char head[kRecordHead];
	if (fSize - fEnd < (off_t)(kRecordHead + kRecordTail)
		|| fFile.ReadAt(fEnd, head, sizeof(head)) != (ssize_t)sizeof(head))
		return B_BAD_DATA;
	uint32 length = get32(head + 8);
	uint8 type = (uint8)head[4];
	if (memcmp(head, kMagic, 4) != 0 || head[5] != 0 || head[6] != 0
		|| head[7] != 0 || type < kHeaderRecord || type > kBaseCopyRecord
		|| length > kMaxPayload
		|| fSize - fEnd < (off_t)(kRecordHead + length + kRecordTail))
		return B_BAD_DATA;

	uint32 crc = crc32(0, head, sizeof(head));
	size_t keep = type == kHeaderRecord ? length : std::min<size_t>(length, 16);
	_payload->clear();
	std::vector<char> chunk(std::min<size_t>(std::max<size_t>(length, 1),
		kReadChunk));
	off_t at = fEnd + kRecordHead;
	for (size_t done = 0; done < length;) {
		size_t want = std::min(chunk.size(), (size_t)length - done);
		if (fFile.ReadAt(at + done, chunk.data(), want) != (ssize_t)want)
			return B_BAD_DATA;
		crc = crc32(crc, chunk.data(), want);
		if (_payload->size() < keep)
			_payload->append(chunk.data(),
				std::min(want, keep - _payload->size()));
		done += want;
	}
	char tail[kRecordTail];
	if (fFile.ReadAt(at + length, tail, sizeof(tail)) != (ssize_t)sizeof(tail)
		|| get32(tail) != crc)
		return B_BAD_DATA;

	_record.type = (record_type)type;
	_record.start = fEnd;
	_record.end = at + length + kRecordTail;
	_record.offset = 0;
	_record.to = 0;
	_record.bytesAt = at;
	_record.length = length;
	return B_OK;
}

}	// namespace journal
