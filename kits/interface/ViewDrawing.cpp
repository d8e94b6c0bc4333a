/*
 * BView: the drawing calls. Each call draws into the window's image at
 * once, clipped to what the view shows of the window (less its children,
 * less what lies outside the area being updated during a Draw() pass,
 * less what the state's clipping excludes), and notes the area it
 * touched so that the window hands it to the display server.
 *
 * Coordinates name pixels (units, at the window's scale). cairo's
 * coordinates name pixel edges, so outlines are drawn through the
 * pixels' centres (half a pixel in) with square line ends, and fills
 * cover the far edge pixel too.
 *
 * At a scale that is not whole, a unit edge may fall inside a device
 * pixel. Rectangles (fills, clipping, outlines and straight lines, drawn
 * as the bands they cover) put every edge that lies on a whole unit of
 * the window on the device pixel edge DisplayScale picks for it, so that
 * a one-unit line covers whole device pixels, adjacent fills meet
 * without a seam, and nothing is smeared; edges between units, and
 * curves and slanted lines, are drawn where they fall, antialiased.
 * Printing draws in points, unsnapped.
 */
#include <View.h>

#include <Region.h>
#include <Window.h>

#include "TextDrawing.h"
#include "ViewPrivate.h"
#include "WindowPrivate.h"

#include <math.h>
#include <string.h>

using BPrivate::DisplayScale;
using BPrivate::view_state;

namespace {

enum shape_kind {
	kRectShape,
	kRoundRectShape,
	kEllipseShape
};


void
set_color(cairo_t* context, rgb_color color, bool useAlpha)
{
	cairo_set_source_rgba(context, color.red / 255.0, color.green / 255.0,
		color.blue / 255.0, useAlpha ? color.alpha / 255.0 : 1.0);
}


// An 8 x 8 repeating source of the pattern's two colours, aligned to the
// window's pixels.
void
set_pattern(cairo_t* context, const pattern& p, rgb_color high,
	rgb_color low, bool useAlpha)
{
	cairo_surface_t* tile = cairo_image_surface_create(CAIRO_FORMAT_ARGB32,
		8, 8);
	cairo_surface_flush(tile);
	uint8* data = cairo_image_surface_get_data(tile);
	int stride = cairo_image_surface_get_stride(tile);
	for (int y = 0; y < 8; y++) {
		uint32* row = (uint32*)(data + y * stride);
		for (int x = 0; x < 8; x++) {
			rgb_color color = (p.data[y] & (0x80 >> x)) != 0 ? high : low;
			uint32 alpha = useAlpha ? color.alpha : 255;
			row[x] = (alpha << 24) | ((color.red * alpha / 255) << 16)
				| ((color.green * alpha / 255) << 8)
				| (color.blue * alpha / 255);
		}
	}
	cairo_surface_mark_dirty(tile);

	cairo_pattern_t* source = cairo_pattern_create_for_surface(tile);
	cairo_pattern_set_extend(source, CAIRO_EXTEND_REPEAT);
	cairo_pattern_set_filter(source, CAIRO_FILTER_NEAREST);
	// The tile sits on the window's pixel grid, not the view's.
	cairo_matrix_t matrix;
	cairo_get_matrix(context, &matrix);
	cairo_pattern_set_matrix(source, &matrix);
	cairo_set_source(context, source);
	cairo_pattern_destroy(source);
	cairo_surface_destroy(tile);
}


// How near a whole unit of the window an edge must be to count as one.
const double kWholeUnit = 1.0 / 1024;


// Moves a point (user space) that lies on whole units of the window to
// the device pixel edges the scale puts them on; a NULL scale (printing)
// leaves it alone, and so does a coordinate between units.
void
snap_point(cairo_t* context, const DisplayScale* scale, double& x, double& y)
{
	if (scale == NULL)
		return;
	double factor = scale->Factor();
	cairo_user_to_device(context, &x, &y);
	double units[2] = { x / factor, y / factor };
	double* device[2] = { &x, &y };
	for (int i = 0; i < 2; i++) {
		double whole = floor(units[i] + 0.5);
		if (fabs(units[i] - whole) < kWholeUnit)
			*device[i] = DisplayScale::Round(whole * factor);
	}
	cairo_device_to_user(context, &x, &y);
}


// Adds the rectangle from left, top to right, bottom (pixel edges, not
// pixels) to the path, its corners snapped.
void
add_snapped_rect(cairo_t* context, const DisplayScale* scale, double left,
	double top, double right, double bottom)
{
	snap_point(context, scale, left, top);
	snap_point(context, scale, right, bottom);
	cairo_rectangle(context, left, top, right - left, bottom - top);
}


// Adds the region's rectangles, whole pixels each, to the path.
void
add_region_path(cairo_t* context, const DisplayScale* scale,
	const BRegion& region)
{
	for (int32 i = 0; i < region.CountRects(); i++) {
		BRect rect = region.RectAt(i);
		add_snapped_rect(context, scale, rect.left, rect.top,
			rect.right + 1.0, rect.bottom + 1.0);
	}
}


// The path of a shape through the rectangle's edges (inset = 0, for
// fills: far edges one pixel out) or its pixels' centres (for outlines).
void
add_shape_path(cairo_t* context, const DisplayScale* scale, int shape,
	BRect rect, float xRadius, float yRadius, bool outline, float penOffset)
{
	double left = rect.left + (outline ? penOffset : 0);
	double top = rect.top + (outline ? penOffset : 0);
	double width = rect.Width() + (outline ? 0 : 1);
	double height = rect.Height() + (outline ? 0 : 1);

	switch (shape) {
		case kRectShape:
			add_snapped_rect(context, scale, left, top, left + width,
				top + height);
			break;
		case kEllipseShape:
			if (width <= 0 || height <= 0)
				break;
			cairo_save(context);
			cairo_translate(context, left + width / 2, top + height / 2);
			cairo_scale(context, width / 2, height / 2);
			cairo_arc(context, 0, 0, 1, 0, 2 * M_PI);
			cairo_restore(context);
			break;
		case kRoundRectShape:
		{
			double rx = fmin(fmax(xRadius, 0), width / 2);
			double ry = fmin(fmax(yRadius, 0), height / 2);
			if (rx <= 0 || ry <= 0) {
				cairo_rectangle(context, left, top, width, height);
				break;
			}
			cairo_new_sub_path(context);
			double corners[4][3] = {
				{ left + width - rx, top + ry, -M_PI / 2 },
				{ left + width - rx, top + height - ry, 0 },
				{ left + rx, top + height - ry, M_PI / 2 },
				{ left + rx, top + ry, M_PI }
			};
			for (const auto& corner : corners) {
				cairo_save(context);
				cairo_translate(context, corner[0], corner[1]);
				cairo_scale(context, rx, ry);
				cairo_arc(context, 0, 0, 1, corner[2], corner[2] + M_PI / 2);
				cairo_restore(context);
			}
			cairo_close_path(context);
			break;
		}
	}
}


// Half a pixel for odd pen widths, so that the stroke covers whole
// pixels; nothing for even ones.
float
pen_offset(float penSize)
{
	long width = lroundf(fmaxf(penSize, 1.0f));
	return width % 2 == 1 ? 0.5f : 0.0f;
}

}	// namespace


bool
BView::_PrepareDrawing(const pattern& p)
{
	if (fWindow == NULL || fWindow->fData->context == NULL)
		return false;
	BPrivate::window_data* data = fWindow->fData;
	const view_state* state = fStates.back();
	if (data->printTarget != NULL)
		return _PreparePrinting(p);

	BRegion clipping;
	Private(this).GetVisibleRegion(clipping);
	if (data->inUpdate) {
		BRegion update(data->updateRect);
		clipping.IntersectWith(&update);
	}
	BPoint offset = Private(this).WindowOffset();
	if (state->hasClipping) {
		BRegion own(state->clipping);
		own.OffsetBy(offset);
		clipping.IntersectWith(&own);
	}
	if (clipping.CountRects() == 0)
		return false;

	cairo_t* context = data->context;
	cairo_save(context);
	cairo_new_path(context);
	add_region_path(context, &data->scale, clipping);
	cairo_clip(context);
	cairo_new_path(context);

	BPoint origin = Private(this).TotalOrigin();
	cairo_translate(context, offset.x + origin.x, offset.y + origin.y);
	_SetSource(p);
	fWindow->_NoteDrawn(clipping.Frame());
	return true;
}


bool
BView::_PreparePrinting(const pattern& p)
{
	BPrivate::window_data* data = fWindow->fData;
	const BPrivate::print_target* target = data->printTarget;
	// Only the view being printed reaches the page.
	if (target->view != this)
		return false;
	const view_state* state = fStates.back();

	// A page is cut exactly at the rect's edges: a printed band of lines
	// ends where the next one begins, with no extra row of pixels.
	BRect band = target->rect;
	cairo_t* context = data->context;
	cairo_save(context);
	cairo_new_path(context);
	cairo_translate(context, target->pageOffset.x - band.left,
		target->pageOffset.y - band.top);
	cairo_rectangle(context, band.left, band.top, band.Width(),
		band.Height());
	cairo_clip(context);
	if (state->hasClipping) {
		cairo_new_path(context);
		add_region_path(context, NULL, state->clipping);
		cairo_clip(context);
	}
	cairo_new_path(context);
	BPoint origin = Private(this).TotalOrigin();
	cairo_translate(context, origin.x, origin.y);
	_SetSource(p);
	return true;
}


void
BView::_SetSource(const pattern& p)
{
	const view_state* state = fStates.back();
	cairo_t* context = fWindow->fData->context;
	bool useAlpha = state->drawingMode == B_OP_ALPHA;
	cairo_set_operator(context, CAIRO_OPERATOR_OVER);
	if (state->drawingMode == B_OP_ERASE)
		set_color(context, state->lowColor, false);
	else if (state->drawingMode == B_OP_INVERT) {
		cairo_set_operator(context, CAIRO_OPERATOR_DIFFERENCE);
		cairo_set_source_rgb(context, 1, 1, 1);
	} else if (p == B_SOLID_HIGH)
		set_color(context, state->highColor, useAlpha);
	else if (p == B_SOLID_LOW)
		set_color(context, state->lowColor, useAlpha);
	else
		set_pattern(context, p, state->highColor, state->lowColor, useAlpha);
}


void
BView::_FinishDrawing()
{
	cairo_restore(fWindow->fData->context);
}


// The scale whole-unit edges snap to: the window's, or none while
// printing.
static const DisplayScale*
snapping_scale(const BPrivate::window_data* data)
{
	return data->printTarget == NULL ? &data->scale : NULL;
}


void
BView::_StrokeShape(int shape, BRect rect, float xRadius, float yRadius,
	const pattern& p)
{
	if (!rect.IsValid() || !_PrepareDrawing(p))
		return;
	cairo_t* context = fWindow->fData->context;
	const DisplayScale* scale = snapping_scale(fWindow->fData);
	float penSize = fmaxf(fStates.back()->penSize, 1.0f);
	float offset = pen_offset(penSize);
	if (shape == kRectShape) {
		// The band the pen covers: what lies between the outline's outer
		// and inner edges.
		double half = penSize / 2.0;
		add_snapped_rect(context, scale, rect.left + offset - half,
			rect.top + offset - half, rect.right + offset + half,
			rect.bottom + offset + half);
		if (rect.right - rect.left > penSize - 0.0001
			&& rect.bottom - rect.top > penSize - 0.0001) {
			add_snapped_rect(context, scale, rect.left + offset + half,
				rect.top + offset + half, rect.right + offset - half,
				rect.bottom + offset - half);
		}
		cairo_set_fill_rule(context, CAIRO_FILL_RULE_EVEN_ODD);
		cairo_fill(context);
		_FinishDrawing();
		return;
	}
	cairo_set_line_width(context, penSize);
	cairo_set_line_join(context, CAIRO_LINE_JOIN_MITER);
	add_shape_path(context, scale, shape, rect, xRadius, yRadius, true,
		offset);
	cairo_stroke(context);
	_FinishDrawing();
}


void
BView::_FillShape(int shape, BRect rect, float xRadius, float yRadius,
	const pattern& p)
{
	if (!rect.IsValid() || !_PrepareDrawing(p))
		return;
	cairo_t* context = fWindow->fData->context;
	add_shape_path(context, snapping_scale(fWindow->fData), shape, rect,
		xRadius, yRadius, false, 0);
	cairo_fill(context);
	_FinishDrawing();
}


void
BView::StrokeLine(BPoint toPoint, const pattern& p)
{
	StrokeLine(PenLocation(), toPoint, p);
}


void
BView::StrokeLine(BPoint start, BPoint end, const pattern& p)
{
	// The pen ends where the line does, whether anything shows or not.
	fStates.back()->penLocation = end;
	if (!_PrepareDrawing(p))
		return;
	cairo_t* context = fWindow->fData->context;
	float penSize = fmaxf(fStates.back()->penSize, 1.0f);
	float offset = pen_offset(penSize);
	if (start.x == end.x || start.y == end.y) {
		// A straight line is the band its square ends make of it.
		double half = penSize / 2.0;
		add_snapped_rect(context, snapping_scale(fWindow->fData),
			fminf(start.x, end.x) + offset - half,
			fminf(start.y, end.y) + offset - half,
			fmaxf(start.x, end.x) + offset + half,
			fmaxf(start.y, end.y) + offset + half);
		cairo_fill(context);
		_FinishDrawing();
		return;
	}
	cairo_set_line_width(context, penSize);
	cairo_set_line_cap(context, CAIRO_LINE_CAP_SQUARE);
	cairo_move_to(context, start.x + offset, start.y + offset);
	cairo_line_to(context, end.x + offset, end.y + offset);
	cairo_stroke(context);
	_FinishDrawing();
}


void
BView::StrokeRect(BRect rect, const pattern& p)
{
	_StrokeShape(kRectShape, rect, 0, 0, p);
}


void
BView::FillRect(BRect rect, const pattern& p)
{
	_FillShape(kRectShape, rect, 0, 0, p);
}


void
BView::FillRegion(BRegion* region, const pattern& p)
{
	if (region == NULL || region->CountRects() == 0 || !_PrepareDrawing(p))
		return;
	cairo_t* context = fWindow->fData->context;
	add_region_path(context, snapping_scale(fWindow->fData), *region);
	cairo_fill(context);
	_FinishDrawing();
}


void
BView::StrokeRoundRect(BRect rect, float xRadius, float yRadius,
	const pattern& p)
{
	_StrokeShape(kRoundRectShape, rect, xRadius, yRadius, p);
}


void
BView::FillRoundRect(BRect rect, float xRadius, float yRadius,
	const pattern& p)
{
	_FillShape(kRoundRectShape, rect, xRadius, yRadius, p);
}


void
BView::StrokeEllipse(BRect rect, const pattern& p)
{
	_StrokeShape(kEllipseShape, rect, 0, 0, p);
}


void
BView::StrokeEllipse(BPoint center, float xRadius, float yRadius,
	const pattern& p)
{
	StrokeEllipse(BRect(center.x - xRadius, center.y - yRadius,
		center.x + xRadius, center.y + yRadius), p);
}


void
BView::FillEllipse(BRect rect, const pattern& p)
{
	_FillShape(kEllipseShape, rect, 0, 0, p);
}


void
BView::FillEllipse(BPoint center, float xRadius, float yRadius,
	const pattern& p)
{
	FillEllipse(BRect(center.x - xRadius, center.y - yRadius,
		center.x + xRadius, center.y + yRadius), p);
}


void
BView::DrawString(const char* string)
{
	DrawString(string, string != NULL ? (int32)strlen(string) : 0,
		PenLocation());
}


void
BView::DrawString(const char* string, BPoint where)
{
	DrawString(string, string != NULL ? (int32)strlen(string) : 0, where);
}


void
BView::DrawString(const char* string, int32 length)
{
	DrawString(string, length, PenLocation());
}


void
BView::DrawString(const char* string, int32 length, BPoint where)
{
	if (string == NULL || length <= 0)
		return;
	view_state* state = fStates.back();
	// The pen moves on by the string's width, drawn or not.
	state->penLocation = BPoint(where.x + state->font.StringWidth(string,
		length), where.y);
	if (!_PrepareDrawing(B_SOLID_HIGH))
		return;
	BPrivate::draw_string(fWindow->fData->context, state->font, string,
		length, where);
	_FinishDrawing();
}


void
BView::Private::DrawGlyphs(const BPrivate::GlyphPlacement* glyphs,
	int32 count, BPoint where) const
{
	BView* view = const_cast<BView*>(fView);
	if (glyphs == NULL || count <= 0
		|| !view->_PrepareDrawing(B_SOLID_HIGH)) {
		return;
	}
	BPrivate::draw_glyphs(view->fWindow->fData->context,
		view->fStates.back()->font, glyphs, count, where);
	view->_FinishDrawing();
}


void
BView::_EraseBackground()
{
	if (fWindow == NULL || fViewColor == B_TRANSPARENT_COLOR)
		return;

	// The view colour fills what the view shows, whatever the drawing
	// state's origin and clipping.
	PushState();
	view_state* state = fStates.back();
	state->hasClipping = false;
	state->drawingMode = B_OP_COPY;
	state->highColor = fViewColor;
	BPoint origin = Private(this).TotalOrigin();
	state->origin = BPoint(-origin.x, -origin.y);
	FillRect(Bounds());
	PopState();
}
