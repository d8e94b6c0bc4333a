/*
 * A single-launch application for SingleLaunchTest, built with resources
 * that declare B_SINGLE_LAUNCH. Each line it prints is flushed at once:
 *   "READY <pid>" from ReadyToRun(),
 *   "ARGC <n>" and then "ARGV[<i>]=<argument>" from ArgvReceived(),
 *   "SILENT" for a launch without arguments handed over,
 *   "QUIT" once Run() has returned.
 * An argument "--quit" makes it quit. Started with the single argument
 * "--print-resources" it prints its resource record instead and exits
 * without an application object, so it never touches the channel.
 */
#include <AppDefs.h>
#include <Application.h>
#include <Message.h>
#include <Roster.h>

#include "AppResources.h"

#include <stdio.h>
#include <string.h>
#include <unistd.h>


namespace {

const char* const kSignature = "application/x-vnd.Orvane-SingleLaunchProbe";


class ProbeApp : public BApplication {
public:
	ProbeApp() : BApplication(kSignature) {}

	void ReadyToRun() override
	{
		printf("READY %d\n", (int)getpid());
		fflush(stdout);
	}

	void ArgvReceived(int32 argc, char** argv) override
	{
		bool quit = false;
		printf("ARGC %d\n", (int)argc);
		for (int32 i = 0; i < argc; i++) {
			printf("ARGV[%d]=%s\n", (int)i, argv[i]);
			quit |= strcmp(argv[i], "--quit") == 0;
		}
		fflush(stdout);
		if (quit)
			PostMessage(B_QUIT_REQUESTED);
	}

	void MessageReceived(BMessage* message) override
	{
		if (message->what == B_SILENT_RELAUNCH) {
			printf("SILENT\n");
			fflush(stdout);
			return;
		}
		BApplication::MessageReceived(message);
	}
};


int
print_resources()
{
	const BPrivate::app_resources* resources
		= BPrivate::image_app_resources();
	if (resources == NULL) {
		printf("no resources\n");
		return 1;
	}
	const version_info& version = resources->version;
	printf("signature=%s\n", resources->signature);
	printf("flags=%u\n", (unsigned)resources->flags);
	printf("version=%u.%u.%u variety=%u internal=%u\n",
		(unsigned)version.major, (unsigned)version.middle,
		(unsigned)version.minor, (unsigned)version.variety,
		(unsigned)version.internal);
	printf("short=%s\n", version.short_info);
	printf("long=%s\n", version.long_info);
	for (int i = 0; resources->types[i] != NULL; i++)
		printf("type=%s\n", resources->types[i]);
	return 0;
}

}	// namespace


int
main(int argc, char** argv)
{
	if (argc == 2 && strcmp(argv[1], "--print-resources") == 0)
		return print_resources();

	ProbeApp* app = new ProbeApp;
	app->Run();
	delete app;
	printf("QUIT\n");
	return 0;
}
