/*
 * TextShaper: HarfBuzz over the font manager's faces.
 */
#include "TextShaper.h"

#include "FontFace.h"

#include <hb.h>

namespace BPrivate {

namespace {

// Features that would make a character's width depend on its neighbours
// where no script needs it (see the header).
const hb_feature_t kFeatures[] = {
	{HB_TAG('k', 'e', 'r', 'n'), 0, 0, (unsigned int)-1},
	{HB_TAG('l', 'i', 'g', 'a'), 0, 0, (unsigned int)-1},
	{HB_TAG('c', 'l', 'i', 'g'), 0, 0, (unsigned int)-1},
	{HB_TAG('d', 'l', 'i', 'g'), 0, 0, (unsigned int)-1},
	{HB_TAG('c', 'a', 'l', 't'), 0, 0, (unsigned int)-1},
};

}	// namespace


TextShaper&
TextShaper::Default()
{
	// Never destroyed, like the faces it shapes with.
	static TextShaper* sShaper = new TextShaper;
	return *sShaper;
}


hb_font_t*
TextShaper::_FontFor(FontFace* face, float& _unitsPerEm)
{
	auto found = fFonts.find(face);
	if (found == fFonts.end()) {
		Font entry = {NULL, 0};
		hb_blob_t* blob = hb_blob_create_from_file_or_fail(
			face->Path().c_str());
		if (blob != NULL) {
			hb_face_t* hbFace = hb_face_create(blob, face->Index());
			hb_blob_destroy(blob);
			unsigned int upem = hb_face_get_upem(hbFace);
			if (hb_face_get_glyph_count(hbFace) > 0 && upem > 0) {
				entry.font = hb_font_create(hbFace);
				entry.unitsPerEm = upem;
				// Font units throughout; the caller scales to pixels.
				hb_font_set_scale(entry.font, upem, upem);
				hb_font_make_immutable(entry.font);
			}
			hb_face_destroy(hbFace);
		}
		found = fFonts.emplace(face, entry).first;
	}
	_unitsPerEm = found->second.unitsPerEm;
	return found->second.font;
}


status_t
TextShaper::Shape(FontFace* face, const char* text, int32 length,
	int32 runStart, int32 runLength, std::vector<ShapedGlyph>& _glyphs)
{
	_glyphs.clear();
	std::lock_guard<std::mutex> guard(fLock);
	float unitsPerEm;
	hb_font_t* font = face != NULL ? _FontFor(face, unitsPerEm) : NULL;
	if (font == NULL)
		return B_BAD_DATA;

	hb_buffer_t* buffer = hb_buffer_create();
	hb_buffer_add_utf8(buffer, text, length, runStart, runLength);
	hb_buffer_guess_segment_properties(buffer);
	hb_shape(font, buffer, kFeatures,
		sizeof(kFeatures) / sizeof(kFeatures[0]));

	unsigned int count;
	hb_glyph_info_t* infos = hb_buffer_get_glyph_infos(buffer, &count);
	hb_glyph_position_t* positions = hb_buffer_get_glyph_positions(buffer,
		&count);
	_glyphs.reserve(count);
	for (unsigned int i = 0; i < count; i++) {
		ShapedGlyph glyph;
		glyph.glyph = infos[i].codepoint;
		glyph.advance = positions[i].x_advance / unitsPerEm;
		glyph.xOffset = positions[i].x_offset / unitsPerEm;
		glyph.yOffset = -positions[i].y_offset / unitsPerEm;
		glyph.cluster = (int32)infos[i].cluster;
		_glyphs.push_back(glyph);
	}
	hb_buffer_destroy(buffer);
	return B_OK;
}

}	// namespace BPrivate
