/*
 * BWindow::Private: the back door's calls that need the display server.
 */
#include "WindowPrivate.h"

#include "DisplayServer.h"

using BPrivate::DisplayServer;
using BPrivate::ServerRequest;


void
BWindow::Private::SetServedWindow(const BWindow* served)
{
	ServerRequest request;
	request.code = BPrivate::kRequestSetServedWindow;
	request.window = ServerID();
	request.parent = served != NULL ? served->fData->serverID : 0;
	DisplayServer::Default().Post(std::move(request));
}


void
BWindow::Private::SetScreenTitle(const char* title)
{
	ServerRequest request;
	request.code = BPrivate::kRequestSetTitle;
	request.window = ServerID();
	request.title = title != NULL ? title : "";
	DisplayServer::Default().Post(std::move(request));
}
