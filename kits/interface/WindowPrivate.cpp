/*
 * BWindow::Private: the back door's calls that need the display server.
 */
#include "WindowPrivate.h"

#include "DisplayServer.h"

using BPrivate::DisplayServer;


void
BWindow::Private::SetServedWindow(const BWindow* served)
{
	DisplayServer::Default().Post(BPrivate::SetServedWindowRequest(ServerID(),
		served != NULL ? served->fData->serverID : 0));
}


void
BWindow::Private::SetScreenTitle(const char* title)
{
	DisplayServer::Default().Post(BPrivate::SetTitleRequest(ServerID(),
		title != NULL ? title : ""));
}
