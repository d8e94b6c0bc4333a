/*
 * Private to the kits: the application's identity as its image declares
 * it. On the original platform this sits in the executable's resources;
 * here the build generates one record per program with
 * kits_add_app_resources() (cmake/KitsResources.cmake) and links it into
 * the program. The program's own sources never see this header: only the
 * generated file does.
 *
 * The record is a weak symbol, so a program built without resources
 * links as well and is treated as B_MULTIPLE_LAUNCH; that is what tests
 * that construct applications in-process rely on.
 */
#ifndef _KITS_APP_RESOURCES_H
#define _KITS_APP_RESOURCES_H

#include <Roster.h>
#include <SupportDefs.h>

namespace BPrivate {

struct app_resources {
	// "BEOS:APP_SIG": a MIME type such as "application/x-vnd.ZEL-Orvane".
	const char*			signature;
	// "BEOS:APP_FLAGS": a launch mode (B_SINGLE_LAUNCH, ...) and flags.
	uint32				flags;
	// "BEOS:APP_VERSION"
	version_info		version;
	// "BEOS:FILE_TYPES": the types the application opens, ending in NULL.
	const char* const*	types;
};

// Defined only by the file kits_add_app_resources() generates.
extern const app_resources kAppResources __attribute__((weak));

// The running program's record, or NULL for a program without one.
const app_resources* image_app_resources();

// The launch flags the program declares: B_MULTIPLE_LAUNCH without a
// record.
uint32 image_launch_flags();

}	// namespace BPrivate

#endif	// _KITS_APP_RESOURCES_H
