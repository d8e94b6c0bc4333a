/*
 * The API's basic types: fixed-size integers, status codes, time.
 */
#ifndef _SUPPORT_DEFS_H
#define _SUPPORT_DEFS_H

#include <stddef.h>
#include <stdint.h>
#include <sys/types.h>

#include <Errors.h>

// Fixed-size integers
typedef int8_t				int8;
typedef uint8_t				uint8;
typedef int16_t				int16;
typedef uint16_t			uint16;
typedef int32_t				int32;
typedef uint32_t			uint32;
typedef int64_t				int64;
typedef uint64_t			uint64;

typedef volatile int8		vint8;
typedef volatile uint8		vuint8;
typedef volatile int16		vint16;
typedef volatile uint16		vuint16;
typedef volatile int32		vint32;
typedef volatile uint32		vuint32;
typedef volatile int64		vint64;
typedef volatile uint64		vuint64;

typedef unsigned char		uchar;
typedef unsigned short		unichar;

// Descriptive types
typedef int32				status_t;
typedef int64				bigtime_t;	// microseconds
typedef int64				nanotime_t;
typedef uint32				type_code;
typedef uint32				perform_code;

typedef int32				thread_id;
typedef int32				team_id;
typedef int32				port_id;
typedef int32				sem_id;
typedef int32				area_id;
typedef int32				image_id;

// Limits
#define B_INFINITE_TIMEOUT	((bigtime_t)INT64_MAX)

#ifndef B_FILE_NAME_LENGTH
#	define B_FILE_NAME_LENGTH	256
#endif
#ifndef B_PATH_NAME_LENGTH
#	define B_PATH_NAME_LENGTH	4096
#endif

// Wall-clock and monotonic time
#ifdef __cplusplus
extern "C" {
#endif

// Microseconds since an arbitrary, fixed point; never goes backwards.
bigtime_t system_time(void);
// Sleeps the calling thread for at least the given time.
status_t snooze(bigtime_t amount);

// A short sentence for a status code, to show a person why something
// failed: "No space left on the device", "Permission denied". The C
// library's strerror() knows only errno values, and status codes are not
// those. Unknown codes give "General system error". Never NULL; the text
// is static and safe to use from any thread.
const char* status_text(status_t status);


#ifdef __cplusplus
}
#endif

#define B_UNUSED(x)		(void)(x)

#endif	// _SUPPORT_DEFS_H
