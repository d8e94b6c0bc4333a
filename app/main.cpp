/*
 * Orvane's entry point. The document windows do not exist yet, so the
 * application object reports what it was given to open and quits once it
 * has started; a later launch hands its files to a running instance.
 */
#include <Application.h>
#include <Entry.h>
#include <Message.h>

#include <stdio.h>

const char* APP_SIG = "application/x-vnd.ZEL-Orvane";


class ZELApp : public BApplication {
public:
								ZELApp();

	virtual	void				ArgvReceived(int32 argc, char** argv);
	virtual	void				RefsReceived(BMessage* message);
	virtual	void				ReadyToRun();
};


ZELApp::ZELApp()
	:
	BApplication(APP_SIG)
{
	printf("ZELApp constructor");
	printf("\n");
}


void
ZELApp::ArgvReceived(int32 argc, char** argv)
{
	for (int32 i = 1; i < argc; i++) {
		printf("ARGV[%2li]=%s\n", (long)i, argv[i]);
		printf("\n");
		entry_ref ref;
		if (get_ref_for_path(argv[i], &ref) != B_OK)
			printf("Can't open file: %s\n", argv[i]);
	}
}


void
ZELApp::RefsReceived(BMessage* message)
{
	printf("ZELApp RefsReceived");
	printf("\n");
	message->PrintToStream();
}


void
ZELApp::ReadyToRun()
{
	PostMessage(B_QUIT_REQUESTED);
}


int
main(int, char**, char**)
{
	printf("Main");
	printf("\n");
	ZELApp app;
	app.Run();
	return 0;
}
