/*
 * Drawing strings: the FontManager's layout handed to cairo glyph by
 * glyph, grouped in runs of one face.
 *
 * cairo gets each FreeType face once, through a font face made for it
 * with the load flags the measurements use, and draws with hinting and
 * hinted metrics off, so that what it draws sits where BFont measured it
 * (see FontFace.h). The faces live as long as the process, and so do
 * their cairo font faces.
 */
#include "TextDrawing.h"

#include "FontPrivate.h"

#include <cairo-ft.h>

#include <map>
#include <mutex>
#include <vector>

namespace BPrivate {

namespace {

std::mutex sCairoFacesLock;
std::map<FontFace*, cairo_font_face_t*> sCairoFaces;


// The cairo font face of a FreeType face; NULL when cairo cannot make
// one.
cairo_font_face_t*
cairo_face_for(FontFace* face)
{
	std::lock_guard<std::mutex> guard(sCairoFacesLock);
	auto found = sCairoFaces.find(face);
	if (found != sCairoFaces.end())
		return found->second;

	cairo_font_face_t* cairoFace;
	{
		FontFace::Locker locker(face);
		cairoFace = cairo_ft_font_face_create_for_ft_face(face->Face(),
			kFontLoadFlags);
	}
	if (cairo_font_face_status(cairoFace) != CAIRO_STATUS_SUCCESS) {
		cairo_font_face_destroy(cairoFace);
		cairoFace = NULL;
	}
	sCairoFaces[face] = cairoFace;
	return cairoFace;
}


void
draw_run(cairo_t* context, FontFace* face, float size, bool antialias,
	const std::vector<cairo_glyph_t>& glyphs)
{
	cairo_font_face_t* cairoFace = cairo_face_for(face);
	if (cairoFace == NULL || glyphs.empty())
		return;

	cairo_set_font_face(context, cairoFace);
	cairo_set_font_size(context, size);
	cairo_font_options_t* options = cairo_font_options_create();
	cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
	cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
	cairo_font_options_set_antialias(options,
		antialias ? CAIRO_ANTIALIAS_GRAY : CAIRO_ANTIALIAS_NONE);
	cairo_set_font_options(context, options);
	cairo_font_options_destroy(options);

	// cairo renders the glyphs from the FreeType face, which others
	// measure with at the same time.
	FontFace::Locker locker(face);
	cairo_show_glyphs(context, glyphs.data(), (int)glyphs.size());
}

}	// namespace


float
draw_string(cairo_t* context, const BFont& font, const char* string,
	int32 length, BPoint where)
{
	if (string == NULL || length <= 0)
		return 0;

	std::vector<GlyphPlacement> placements;
	BFont::Private(font).LayoutText(string, length, placements);
	if (placements.empty())
		return 0;
	draw_glyphs(context, font, placements.data(),
		(int32)placements.size(), where);
	const GlyphPlacement& last = placements.back();
	return last.x + last.width;
}


void
draw_glyphs(cairo_t* context, const BFont& font,
	const GlyphPlacement* placements, int32 count, BPoint where)
{
	bool antialias = (font.Flags() & B_DISABLE_ANTIALIASING) == 0;
	float size = font.Size();

	std::vector<cairo_glyph_t> run;
	FontFace* runFace = NULL;
	for (int32 i = 0; i < count; i++) {
		const GlyphPlacement& placement = placements[i];
		if (placement.face == NULL)
			continue;
		if (placement.face != runFace) {
			if (runFace != NULL)
				draw_run(context, runFace, size, antialias, run);
			run.clear();
			runFace = placement.face;
		}
		cairo_glyph_t glyph;
		glyph.index = placement.glyph;
		glyph.x = where.x + placement.x + placement.xOffset;
		glyph.y = where.y + placement.yOffset;
		run.push_back(glyph);
	}
	if (runFace != NULL)
		draw_run(context, runFace, size, antialias, run);
}

}	// namespace BPrivate
