/*
 * BMessage: a command code (`what`) and any number of named, typed,
 * multi-valued fields. Messages are what loopers post to each other, what
 * menu items and controls send, and, flattened, what the settings file
 * and the single-launch hand-over carry.
 *
 * A message is not thread-safe: one thread uses it at a time. Posting a
 * message queues a copy.
 *
 * The flat form (Flatten/Unflatten), version 1. Every integer is
 * little-endian; every count and size is checked against what is left of
 * the input before anything is allocated, so a corrupt or hostile flat
 * message fails with an error and never yields a half-valid message.
 *
 *   offset size  content
 *   0      4     magic "OVM1" (the version is its last byte)
 *   4      4     total size of the flat message in bytes, header included
 *   8      4     what
 *   12     4     flags: bit 0 set when the message was dropped, the
 *                others zero
 *   16     8     drop point: two 32-bit floats (x, y)
 *   24     4     number of fields
 *   28     ...   the fields, one after another:
 *                  4   type code (never B_ANY_TYPE)
 *                  4   name length N (1 to 255), without a terminator
 *                  N   name bytes (no NUL among them)
 *                  4   number of values C (at least 1)
 *                  then C values, each:
 *                    4   value size S
 *                    S   value bytes
 *
 * Values are stored as their types define: integers, bools (one byte, 0
 * or 1), floats and doubles in little-endian IEEE form; strings with
 * their terminating NUL (a string value must end in exactly one NUL, its
 * only NUL); BPoint as two floats, BRect as four; a nested message as its
 * own flat form; an entry_ref as the absolute path of the entry (starting
 * with '/', shorter than B_PATH_NAME_LENGTH), without a NUL; a pointer as
 * 8 bytes, meaningful only inside the process that added it; a
 * BMessenger as four 32-bit words: team, looper token, handler token and
 * flags (bit 0 set when it aims at the looper's preferred handler, the
 * others zero). Fixed-size types must have exactly their size: 1 byte for
 * int8, uint8 and bool; 2 for int16 and uint16; 4 for int32, uint32 and
 * float; 8 for int64, uint64, double, BPoint and pointers; 16 for BRect
 * and BMessenger. Values of any other type are raw bytes of any size,
 * and the fixed-size flag of AddData() is not kept for them. A field name
 * appears once. The total size must equal the bytes consumed (the sized
 * Unflatten() wants exactly one message, no more bytes). A message holds
 * messages nested at most 64 levels below it, and a flat message is at
 * most 64 MiB: adding what would pass that fails with B_NO_MEMORY.
 */
#ifndef _MESSAGE_H
#define _MESSAGE_H

#include <DataIO.h>
#include <Entry.h>
#include <Point.h>
#include <Rect.h>
#include <SupportDefs.h>
#include <TypeConstants.h>
#include <AppDefs.h>

class BHandler;
class BMessenger;

// Name lengths and limits of the flat form.
#define B_FIELD_NAME_LENGTH			255
#define B_MAX_FLATTENED_MESSAGE_SIZE	(64 * 1024 * 1024)

class BMessage {
public:
			uint32				what;

								BMessage();
								BMessage(uint32 what);
								BMessage(const BMessage& other);
	virtual						~BMessage();

	// Replaces what, the fields and the drop state; delivery information
	// (who waits for a reply) stays with each message.
			BMessage&			operator=(const BMessage& other);

	// Statistics and miscellaneous info
			status_t			GetInfo(type_code typeRequested, int32 index,
									char** nameFound, type_code* typeFound,
									int32* countFound = NULL) const;
			status_t			GetInfo(const char* name, type_code* typeFound,
									int32* countFound = NULL) const;
			status_t			GetInfo(const char* name, type_code* typeFound,
									bool* fixedSize) const;

	// Counts the fields of a type; B_ANY_TYPE counts all of them.
			int32				CountNames(type_code type) const;
			bool				IsEmpty() const;
			bool				IsSystem() const;
			bool				IsReply() const;
	// One line for the code, then one line for each value of each field.
			void				PrintToStream() const;

			status_t			Rename(const char* oldEntry,
									const char* newEntry);

	// Delivery info
			bool				WasDelivered() const;
			bool				IsSourceWaiting() const;
			bool				IsSourceRemote() const;
			BMessenger			ReturnAddress() const;
			const BMessage*		Previous() const;
			bool				WasDropped() const;
			BPoint				DropPoint(BPoint* offset = NULL) const;

	// Replying
			status_t			SendReply(uint32 command,
									BHandler* replyTo = NULL);
			status_t			SendReply(BMessage* reply,
									BHandler* replyTo = NULL,
									bigtime_t timeout = B_INFINITE_TIMEOUT);
			status_t			SendReply(BMessage* reply,
									BMessenger replyTo,
									bigtime_t timeout = B_INFINITE_TIMEOUT);
			status_t			SendReply(uint32 command,
									BMessage* replyToReply);
			status_t			SendReply(BMessage* reply,
									BMessage* replyToReply,
									bigtime_t sendTimeout = B_INFINITE_TIMEOUT,
									bigtime_t replyTimeout
										= B_INFINITE_TIMEOUT);

	// Flattening
			ssize_t				FlattenedSize() const;
			status_t			Flatten(char* buffer, ssize_t size) const;
			status_t			Flatten(BDataIO* stream,
									ssize_t* size = NULL) const;
	// Trusts the size stored in the buffer's header: use it only on a
	// buffer that Flatten() wrote. Untrusted bytes go through the sized
	// form or a stream.
			status_t			Unflatten(const char* flatBuffer);
			status_t			Unflatten(const char* flatBuffer,
									ssize_t size);
	// Reads exactly one flat message from the stream. On failure the
	// message is left empty.
			status_t			Unflatten(BDataIO* stream);

	// Adding data
			status_t			AddRect(const char* name, BRect rect);
			status_t			AddPoint(const char* name, BPoint point);
			status_t			AddString(const char* name,
									const char* string);
			status_t			AddInt8(const char* name, int8 value);
			status_t			AddUInt8(const char* name, uint8 value);
			status_t			AddInt16(const char* name, int16 value);
			status_t			AddUInt16(const char* name, uint16 value);
			status_t			AddInt32(const char* name, int32 value);
			status_t			AddUInt32(const char* name, uint32 value);
			status_t			AddInt64(const char* name, int64 value);
			status_t			AddUInt64(const char* name, uint64 value);
			status_t			AddBool(const char* name, bool value);
			status_t			AddFloat(const char* name, float value);
			status_t			AddDouble(const char* name, double value);
			status_t			AddPointer(const char* name,
									const void* pointer);
			status_t			AddMessenger(const char* name,
									BMessenger messenger);
			status_t			AddRef(const char* name,
									const entry_ref* ref);
			status_t			AddMessage(const char* name,
									const BMessage* message);
	// All values of one field share a type; mixing fails with B_BAD_TYPE.
			status_t			AddData(const char* name, type_code type,
									const void* data, ssize_t numBytes,
									bool isFixedSize = true,
									int32 count = 1);

	// Removing data
			status_t			RemoveData(const char* name,
									int32 index = 0);
			status_t			RemoveName(const char* name);
			status_t			MakeEmpty();

	// Finding data: B_NAME_NOT_FOUND for a missing field, B_BAD_TYPE for
	// one of another type, B_BAD_INDEX past its last value.
			status_t			FindRect(const char* name, BRect* rect) const;
			status_t			FindRect(const char* name, int32 index,
									BRect* rect) const;
			status_t			FindPoint(const char* name,
									BPoint* point) const;
			status_t			FindPoint(const char* name, int32 index,
									BPoint* point) const;
			status_t			FindString(const char* name,
									const char** string) const;
			status_t			FindString(const char* name, int32 index,
									const char** string) const;
			status_t			FindInt8(const char* name, int8* value) const;
			status_t			FindInt8(const char* name, int32 index,
									int8* value) const;
			status_t			FindUInt8(const char* name,
									uint8* value) const;
			status_t			FindUInt8(const char* name, int32 index,
									uint8* value) const;
			status_t			FindInt16(const char* name,
									int16* value) const;
			status_t			FindInt16(const char* name, int32 index,
									int16* value) const;
			status_t			FindUInt16(const char* name,
									uint16* value) const;
			status_t			FindUInt16(const char* name, int32 index,
									uint16* value) const;
			status_t			FindInt32(const char* name,
									int32* value) const;
			status_t			FindInt32(const char* name, int32 index,
									int32* value) const;
			status_t			FindUInt32(const char* name,
									uint32* value) const;
			status_t			FindUInt32(const char* name, int32 index,
									uint32* value) const;
			status_t			FindInt64(const char* name,
									int64* value) const;
			status_t			FindInt64(const char* name, int32 index,
									int64* value) const;
			status_t			FindUInt64(const char* name,
									uint64* value) const;
			status_t			FindUInt64(const char* name, int32 index,
									uint64* value) const;
			status_t			FindBool(const char* name, bool* value) const;
			status_t			FindBool(const char* name, int32 index,
									bool* value) const;
			status_t			FindFloat(const char* name,
									float* value) const;
			status_t			FindFloat(const char* name, int32 index,
									float* value) const;
			status_t			FindDouble(const char* name,
									double* value) const;
			status_t			FindDouble(const char* name, int32 index,
									double* value) const;
			status_t			FindPointer(const char* name,
									void** pointer) const;
			status_t			FindPointer(const char* name, int32 index,
									void** pointer) const;
			status_t			FindMessenger(const char* name,
									BMessenger* messenger) const;
			status_t			FindMessenger(const char* name, int32 index,
									BMessenger* messenger) const;
			status_t			FindRef(const char* name,
									entry_ref* ref) const;
			status_t			FindRef(const char* name, int32 index,
									entry_ref* ref) const;
			status_t			FindMessage(const char* name,
									BMessage* message) const;
			status_t			FindMessage(const char* name, int32 index,
									BMessage* message) const;
			status_t			FindData(const char* name, type_code type,
									const void** data,
									ssize_t* numBytes) const;
			status_t			FindData(const char* name, type_code type,
									int32 index, const void** data,
									ssize_t* numBytes) const;

	// Replacing data
			status_t			ReplaceRect(const char* name, BRect rect);
			status_t			ReplaceRect(const char* name, int32 index,
									BRect rect);
			status_t			ReplacePoint(const char* name, BPoint point);
			status_t			ReplacePoint(const char* name, int32 index,
									BPoint point);
			status_t			ReplaceString(const char* name,
									const char* string);
			status_t			ReplaceString(const char* name, int32 index,
									const char* string);
			status_t			ReplaceInt8(const char* name, int8 value);
			status_t			ReplaceInt8(const char* name, int32 index,
									int8 value);
			status_t			ReplaceUInt8(const char* name, uint8 value);
			status_t			ReplaceUInt8(const char* name, int32 index,
									uint8 value);
			status_t			ReplaceInt16(const char* name, int16 value);
			status_t			ReplaceInt16(const char* name, int32 index,
									int16 value);
			status_t			ReplaceUInt16(const char* name,
									uint16 value);
			status_t			ReplaceUInt16(const char* name, int32 index,
									uint16 value);
			status_t			ReplaceInt32(const char* name, int32 value);
			status_t			ReplaceInt32(const char* name, int32 index,
									int32 value);
			status_t			ReplaceUInt32(const char* name,
									uint32 value);
			status_t			ReplaceUInt32(const char* name, int32 index,
									uint32 value);
			status_t			ReplaceInt64(const char* name, int64 value);
			status_t			ReplaceInt64(const char* name, int32 index,
									int64 value);
			status_t			ReplaceUInt64(const char* name,
									uint64 value);
			status_t			ReplaceUInt64(const char* name, int32 index,
									uint64 value);
			status_t			ReplaceBool(const char* name, bool value);
			status_t			ReplaceBool(const char* name, int32 index,
									bool value);
			status_t			ReplaceFloat(const char* name, float value);
			status_t			ReplaceFloat(const char* name, int32 index,
									float value);
			status_t			ReplaceDouble(const char* name,
									double value);
			status_t			ReplaceDouble(const char* name, int32 index,
									double value);
			status_t			ReplacePointer(const char* name,
									const void* pointer);
			status_t			ReplacePointer(const char* name, int32 index,
									const void* pointer);
			status_t			ReplaceMessenger(const char* name,
									BMessenger messenger);
			status_t			ReplaceMessenger(const char* name,
									int32 index, BMessenger messenger);
			status_t			ReplaceRef(const char* name,
									const entry_ref* ref);
			status_t			ReplaceRef(const char* name, int32 index,
									const entry_ref* ref);
			status_t			ReplaceMessage(const char* name,
									const BMessage* message);
			status_t			ReplaceMessage(const char* name, int32 index,
									const BMessage* message);
			status_t			ReplaceData(const char* name, type_code type,
									const void* data, ssize_t numBytes);
			status_t			ReplaceData(const char* name, type_code type,
									int32 index, const void* data,
									ssize_t numBytes);

	// Comparing data
			bool				HasSameData(const BMessage& other,
									bool ignoreFieldOrder = true,
									bool deep = false) const;

	// Convenience
			bool				HasRect(const char* name,
									int32 index = 0) const;
			bool				HasPoint(const char* name,
									int32 index = 0) const;
			bool				HasString(const char* name,
									int32 index = 0) const;
			bool				HasInt8(const char* name,
									int32 index = 0) const;
			bool				HasUInt8(const char* name,
									int32 index = 0) const;
			bool				HasInt16(const char* name,
									int32 index = 0) const;
			bool				HasUInt16(const char* name,
									int32 index = 0) const;
			bool				HasInt32(const char* name,
									int32 index = 0) const;
			bool				HasUInt32(const char* name,
									int32 index = 0) const;
			bool				HasInt64(const char* name,
									int32 index = 0) const;
			bool				HasUInt64(const char* name,
									int32 index = 0) const;
			bool				HasBool(const char* name,
									int32 index = 0) const;
			bool				HasFloat(const char* name,
									int32 index = 0) const;
			bool				HasDouble(const char* name,
									int32 index = 0) const;
			bool				HasPointer(const char* name,
									int32 index = 0) const;
			bool				HasMessenger(const char* name,
									int32 index = 0) const;
			bool				HasRef(const char* name,
									int32 index = 0) const;
			bool				HasMessage(const char* name,
									int32 index = 0) const;
			bool				HasData(const char* name, type_code type,
									int32 index = 0) const;

	// Finding with a default value
			const char*			GetString(const char* name,
									const char* defaultValue = NULL) const;
			int32				GetInt32(const char* name,
									int32 defaultValue) const;
			bool				GetBool(const char* name,
									bool defaultValue = false) const;
			float				GetFloat(const char* name,
									float defaultValue) const;

	class Private;

private:
	friend class Private;

	struct field;
	struct field_list;
	struct delivery_info;

			field_list*			fFields;
	// Set while the message is being delivered or waits for a reply;
	// never copied, since only one message can answer a waiting sender.
			delivery_info*		fDelivery;
			bool				fWasDropped;
			BPoint				fDropPoint;
			BPoint				fDropOffset;

			void				_ReleaseDelivery();
};

#endif	// _MESSAGE_H
