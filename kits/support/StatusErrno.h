/*
 * Private to the kits: turning the C library's errno values into the
 * API's status codes.
 */
#ifndef _KITS_STATUS_ERRNO_H
#define _KITS_STATUS_ERRNO_H

#include <SupportDefs.h>

namespace BPrivate {

// The status code for an errno value; B_ERROR for one without a match.
status_t status_from_errno(int error);

}	// namespace BPrivate

#endif	// _KITS_STATUS_ERRNO_H
