/*
 * The application's side of single launch. The constructor asks
 * _InitLaunch() whether this process is the instance that runs; a later
 * launch of a single-launch application hands its command line to the
 * running one and exits here. Run()'s end or the destructor gives the
 * channel up through _StopLaunch().
 *
 * Both run on the thread that constructs the application. Nothing here
 * may keep an application from running: when the channel cannot be set
 * up, the application runs on its own and says so in one line on stderr.
 */
#include <Application.h>

#include <AppDefs.h>
#include <Message.h>
#include <Roster.h>

#include "AppResources.h"
#include "LaunchChannel.h"
#include "LaunchDirectory.h"
#include "LaunchHandOver.h"
#include "ProcessArguments.h"

#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>
#include <unistd.h>


namespace {

// How often a launch tries to become or reach the running instance before
// it gives up and runs on its own. The second attempt covers an instance
// that quit between our Claim() and our hand-over.
const int32 kLaunchAttempts = 2;


const char*
program_name()
{
	int32 argc;
	const char* const* argv;
	BPrivate::process_arguments(&argc, &argv);
	if (argc < 1 || argv == NULL || argv[0] == NULL || argv[0][0] == '\0')
		return "application";
	const char* slash = strrchr(argv[0], '/');
	return slash != NULL && slash[1] != '\0' ? slash + 1 : argv[0];
}


// Why the channel failed, in words where the reason is a common one.
const char*
describe(status_t status, char* buffer, size_t size)
{
	switch (status) {
		case B_NOT_ALLOWED:
			return "the private directory is not safe to use";
		case B_NAME_TOO_LONG:
			return "the socket's path is too long";
		case B_TIMED_OUT:
			return "timed out";
		case B_PERMISSION_DENIED:
			return "permission denied";
		case B_ALREADY_RUNNING:
			return "another instance holds the channel but does not answer";
		case B_NO_MORE_FDS:
			return "out of file descriptors";
		case B_NO_MEMORY:
			return "out of memory";
		case B_BAD_VALUE:
			return "the launch's arguments cannot be handed over";
		default:
			snprintf(buffer, size, "error %#x", (unsigned)status);
			return buffer;
	}
}


// What this launch hands to the running instance. Without a working
// directory (it may have been removed) the running instance gets the
// relative paths as they are.
status_t
build_hand_over(BMessage* message)
{
	int32 argc;
	const char* const* argv;
	BPrivate::process_arguments(&argc, &argv);
	char cwd[PATH_MAX];
	return BPrivate::make_launch_hand_over(argc, argv,
		getcwd(cwd, sizeof(cwd)), message);
}

}	// namespace


status_t
BApplication::_InitLaunch(const char* signature)
{
	const BPrivate::app_resources* resources
		= BPrivate::image_app_resources();
	uint32 launchMode = BPrivate::image_launch_flags() & B_LAUNCH_MASK;
	if (launchMode != B_SINGLE_LAUNCH && launchMode != B_EXCLUSIVE_LAUNCH)
		return B_OK;

	if (!BPrivate::is_valid_app_signature(signature)) {
		fprintf(stderr, "%s: \"%s\" is not a valid application signature; "
			"running without single launch\n", program_name(),
			signature != NULL ? signature : "(null)");
		return B_OK;
	}
	if (resources != NULL && resources->signature != NULL
		&& strcasecmp(resources->signature, signature) != 0) {
		fprintf(stderr, "%s: the signature \"%s\" differs from the "
			"resources' \"%s\"; using \"%s\"\n", program_name(), signature,
			resources->signature, signature);
	}

	BPrivate::LaunchChannel* channel = new BPrivate::LaunchChannel;
	status_t status = B_ALREADY_RUNNING;
	for (int32 attempt = 0; attempt < kLaunchAttempts; attempt++) {
		status = channel->Claim(signature);
		if (status != B_ALREADY_RUNNING)
			break;

		BMessage handOver;
		status = build_hand_over(&handOver);
		if (status == B_OK) {
			status = BPrivate::LaunchChannel::HandOver(signature, handOver);
			if (status == B_OK) {
				delete channel;
				fflush(stdout);
				fflush(stderr);
				exit(0);
			}
		}
		if (status == B_BAD_VALUE)
			break;
		status = B_ALREADY_RUNNING;
	}

	if (status == B_OK)
		status = channel->StartListening(BMessenger(NULL, this));
	if (status != B_OK) {
		char buffer[32];
		fprintf(stderr, "%s: single launch is unavailable (%s); running "
			"on its own\n", program_name(),
			describe(status, buffer, sizeof(buffer)));
		delete channel;
		return B_OK;
	}

	fLaunchChannel = channel;
	return B_OK;
}


void
BApplication::_StopLaunch()
{
	if (fLaunchChannel == NULL)
		return;
	fLaunchChannel->Stop();
	delete fLaunchChannel;
	fLaunchChannel = NULL;
}
