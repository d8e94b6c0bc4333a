/*
 * BView on paper: a view draws a part of itself onto a printed page with
 * its own Draw(), through the same drawing calls it uses on screen. The
 * window's context is swapped for the page's for the length of the call,
 * so every drawing call lands on the page without knowing it.
 */
#include <View.h>

#include <Window.h>

#include "ViewPrivate.h"
#include "WindowPrivate.h"


bool
BView::IsPrinting() const
{
	if (fWindow == NULL)
		return false;
	const BPrivate::print_target* target = fWindow->fData->printTarget;
	return target != NULL && target->view == this;
}


status_t
BView::Private::DrawForPrint(cairo_t* context, BRect rect, BPoint where) const
{
	BView* view = const_cast<BView*>(fView);
	if (view == NULL || context == NULL || !rect.IsValid())
		return B_BAD_VALUE;
	BWindow* window = view->Window();
	if (window == NULL)
		return B_BAD_VALUE;

	BPrivate::window_data* data = BWindow::Private(window).Data();
	BPrivate::print_target target;
	target.view = view;
	target.rect = rect;
	target.pageOffset = where;

	cairo_t* screenContext = data->context;
	BPrivate::print_target* outer = data->printTarget;
	data->context = context;
	data->printTarget = &target;
	// Drawing starts from a fresh state, as it does for every Draw() pass
	// on screen.
	view->PushState();
	view->Draw(rect);
	view->PopState();
	data->printTarget = outer;
	data->context = screenContext;
	return cairo_status(context) == CAIRO_STATUS_SUCCESS ? B_OK : B_ERROR;
}
