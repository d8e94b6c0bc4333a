/*
 * BWindow: its feel and the subset that a subset feel applies to. The
 * display server keeps the subset and holds input back accordingly.
 */
#include <Window.h>

#include "DisplayServer.h"
#include "WindowPrivate.h"

using BPrivate::DisplayServer;
using BPrivate::ServerRequest;

namespace {

bool
has_subset(window_feel feel)
{
	return feel == B_MODAL_SUBSET_WINDOW_FEEL
		|| feel == B_FLOATING_SUBSET_WINDOW_FEEL;
}

}	// namespace


status_t
BWindow::SetFeel(window_feel feel)
{
	fFeel = feel;
	ServerRequest request;
	request.code = BPrivate::kRequestSetFlags;
	request.window = fData->serverID;
	request.look = fLook;
	request.feel = fFeel;
	request.flags = fFlags;
	DisplayServer::Default().Post(std::move(request));
	return B_OK;
}


status_t
BWindow::AddToSubset(BWindow* window)
{
	if (window == NULL || window == this || !has_subset(fFeel)
		|| window->Feel() != B_NORMAL_WINDOW_FEEL) {
		return B_BAD_VALUE;
	}
	ServerRequest request;
	request.code = BPrivate::kRequestSetSubset;
	request.window = fData->serverID;
	request.parent = window->fData->serverID;
	request.active = true;
	DisplayServer::Default().Post(std::move(request));
	return B_OK;
}


status_t
BWindow::RemoveFromSubset(BWindow* window)
{
	if (window == NULL || window == this || !has_subset(fFeel))
		return B_BAD_VALUE;
	ServerRequest request;
	request.code = BPrivate::kRequestSetSubset;
	request.window = fData->serverID;
	request.parent = window->fData->serverID;
	request.active = false;
	DisplayServer::Default().Post(std::move(request));
	return B_OK;
}
