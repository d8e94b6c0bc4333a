/*
 * Private to the kits: a view's drawing state, the resizing rules, and
 * the kits' back door into a BView.
 */
#ifndef _KITS_VIEW_PRIVATE_H
#define _KITS_VIEW_PRIVATE_H

#include <Font.h>
#include <GraphicsDefs.h>
#include <Region.h>
#include <View.h>

#include <cairo.h>

namespace BPrivate {

struct GlyphPlacement;

// One level of a view's drawing state; PushState() adds a level.
struct view_state {
	rgb_color			highColor = { 0, 0, 0, 255 };
	rgb_color			lowColor = { 255, 255, 255, 255 };
	drawing_mode		drawingMode = B_OP_COPY;
	float				penSize = 1.0f;
	// In the coordinates of this state (its origin applied).
	BPoint				penLocation;
	BFont				font;
	// Relative to the origin of the states below this one.
	BPoint				origin;
	// The clipping of this state and those below it, in the view's own
	// coordinates without any origin; only when hasClipping is set.
	bool				hasClipping = false;
	BRegion				clipping;
};

// The frame a view gets when its parent grows by dh and dv, following
// its resizing mode; see View.h for the rules.
BRect resized_frame(BRect frame, uint32 resizingMode, float dh, float dv);

}	// namespace BPrivate


class BView::Private {
public:
								Private(const BView* view)
									: fView(view) {}

	// The sum of the origins of every state: where drawing puts the
	// coordinate 0, 0, in the view's own coordinates.
			BPoint				TotalOrigin() const;
	// The part of the window the view shows (window coordinates, whole
	// pixels): its frame within every ancestor's, less its visible
	// children unless it draws on them. Empty for a hidden view or one
	// that is in no window.
			void				GetVisibleRegion(BRegion& _region,
									bool excludeChildren = true) const;
	// Where the view's coordinate 0, 0 lies in the window, rounded to
	// whole pixels as drawing rounds it.
			BPoint				WindowOffset() const;
	// Draws the rect of the view (its own coordinates) with its Draw()
	// onto the page of the context, the rect's left top at where (in the
	// context's user space, one unit a point). The view must be in a
	// window that the caller has locked; B_BAD_VALUE when it is in none.
			status_t			DrawForPrint(cairo_t* context, BRect rect,
									BPoint where) const;

	// Draws glyphs laid out in the view's font, as DrawString() draws
	// what it lays out, x from where (the view's coordinates); the pen
	// does not move.
			void				DrawGlyphs(
									const BPrivate::GlyphPlacement* glyphs,
									int32 count, BPoint where) const;

private:
			const BView*		fView;
};

#endif	// _KITS_VIEW_PRIVATE_H
