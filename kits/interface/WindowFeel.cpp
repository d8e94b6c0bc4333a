/*
 * BWindow: its feel and the subset that a subset feel applies to. The
 * display server keeps the subset and holds input back accordingly.
 */
#include <Window.h>

#include "DisplayServer.h"
#include "WindowPrivate.h"

using BPrivate::DisplayServer;

namespace {

bool
has_subset(window_feel feel)
{
	return feel == B_MODAL_SUBSET_WINDOW_FEEL
		|| feel == B_FLOATING_SUBSET_WINDOW_FEEL;
}


void
post_subset(int32 window, int32 member, bool join)
{
	DisplayServer::Default().Post(
		BPrivate::SetSubsetRequest(window, member, join));
}

}	// namespace


status_t
BWindow::SetFeel(window_feel feel)
{
	fFeel = feel;
	_PostStyle();
	return B_OK;
}


void
BWindow::_PostStyle()
{
	DisplayServer::Default().Post(BPrivate::SetFlagsRequest(fData->serverID,
		fLook, fFeel, fFlags));
}


status_t
BWindow::AddToSubset(BWindow* window)
{
	if (window == NULL || window == this || !has_subset(fFeel)
		|| window->Feel() != B_NORMAL_WINDOW_FEEL) {
		return B_BAD_VALUE;
	}
	post_subset(fData->serverID, window->fData->serverID, true);
	return B_OK;
}


status_t
BWindow::RemoveFromSubset(BWindow* window)
{
	if (window == NULL || window == this || !has_subset(fFeel))
		return B_BAD_VALUE;
	post_subset(fData->serverID, window->fData->serverID, false);
	return B_OK;
}
