/*
 * Orvane's entry point.
 */
#include "PrintLine.h"
#include "ZELApp.h"


int
main(int, char**, char**)
{
	PrintLine("Main");
	ZELApp app;
	app.Run();
	return 0;
}
