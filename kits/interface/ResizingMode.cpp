/*
 * The resizing rules: how a view's frame follows its parent's size.
 */
#include "ViewPrivate.h"

namespace BPrivate {

namespace {

// The new position of an edge under its rule: an edge that follows the
// far side of the parent (right or bottom) moves with it, a centred one
// half as far, and the others (following the near side, or no rule)
// stay.
float
moved_edge(float edge, uint32 rule, uint32 farRule, float delta)
{
	if (rule == farRule)
		return edge + delta;
	if (rule == _VIEW_CENTER_)
		return edge + delta / 2;
	return edge;
}

}	// namespace


BRect
resized_frame(BRect frame, uint32 resizingMode, float dh, float dv)
{
	uint32 top = (resizingMode >> 12) & 0xf;
	uint32 left = (resizingMode >> 8) & 0xf;
	uint32 bottom = (resizingMode >> 4) & 0xf;
	uint32 right = resizingMode & 0xf;

	// A frame that becomes invalid when the parent shrinks far is kept as
	// it is, so that it comes back when the parent grows again.
	return BRect(moved_edge(frame.left, left, _VIEW_RIGHT_, dh),
		moved_edge(frame.top, top, _VIEW_BOTTOM_, dv),
		moved_edge(frame.right, right, _VIEW_RIGHT_, dh),
		moved_edge(frame.bottom, bottom, _VIEW_BOTTOM_, dv));
}

}	// namespace BPrivate
