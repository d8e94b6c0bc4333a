/*
 * Orvane's entry point.
 */
#include <stdio.h>

#include "ZELApp.h"


int
main(int, char**, char**)
{
	printf("Main");
	printf("\n");
	ZELApp app;
	app.Run();
	return 0;
}
