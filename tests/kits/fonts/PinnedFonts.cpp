/*
 * The pinned font configuration for direct runs of the test program (ctest
 * sets FONTCONFIG_FILE itself), and FreeTypeFont.
 */
#include "PinnedFonts.h"

#include <gtest/gtest.h>

#include <hb.h>

#include <stdlib.h>

namespace {

class PinnedFontsEnvironment : public testing::Environment {
public:
	// Runs before any test, so before anything reads fontconfig's
	// configuration; a configuration given from outside is kept.
	void SetUp() override
	{
		setenv("FONTCONFIG_FILE", ORVANE_FONTS_DIR "fonts.conf", 0);
	}
};

testing::Environment* const sPinnedFonts
	= testing::AddGlobalTestEnvironment(new PinnedFontsEnvironment);

}	// namespace


std::string
utf8_of(uint32 codePoint)
{
	std::string text;
	if (codePoint < 0x80)
		return std::string(1, (char)codePoint);
	if (codePoint < 0x800) {
		text += (char)(0xC0 | (codePoint >> 6));
	} else if (codePoint < 0x10000) {
		text += (char)(0xE0 | (codePoint >> 12));
		text += (char)(0x80 | ((codePoint >> 6) & 0x3F));
	} else {
		text += (char)(0xF0 | (codePoint >> 18));
		text += (char)(0x80 | ((codePoint >> 12) & 0x3F));
		text += (char)(0x80 | ((codePoint >> 6) & 0x3F));
	}
	text += (char)(0x80 | (codePoint & 0x3F));
	return text;
}


std::vector<std::pair<int32, float> >
harfbuzz_glyphs(const char* path, const std::string& text, float size)
{
	hb_blob_t* blob = hb_blob_create_from_file(path);
	hb_face_t* face = hb_face_create(blob, 0);
	hb_font_t* font = hb_font_create(face);
	unsigned int upem = hb_face_get_upem(face);
	hb_buffer_t* buffer = hb_buffer_create();
	hb_buffer_add_utf8(buffer, text.data(), (int)text.size(), 0, -1);
	hb_buffer_guess_segment_properties(buffer);
	hb_feature_t features[2];
	hb_feature_from_string("-kern", -1, &features[0]);
	hb_feature_from_string("-liga", -1, &features[1]);
	hb_shape(font, buffer, features, 2);
	unsigned int count;
	hb_glyph_info_t* infos = hb_buffer_get_glyph_infos(buffer, &count);
	hb_glyph_position_t* positions = hb_buffer_get_glyph_positions(buffer,
		&count);
	std::vector<std::pair<int32, float> > glyphs;
	for (unsigned int i = 0; i < count; i++) {
		glyphs.emplace_back((int32)infos[i].cluster,
			positions[i].x_advance * size / upem);
	}
	hb_buffer_destroy(buffer);
	hb_font_destroy(font);
	hb_face_destroy(face);
	hb_blob_destroy(blob);
	return glyphs;
}


std::vector<float>
harfbuzz_advances(const char* path, const std::string& text, float size)
{
	std::vector<float> advances;
	for (const auto& glyph : harfbuzz_glyphs(path, text, size))
		advances.push_back(glyph.second);
	return advances;
}


FreeTypeFont::FreeTypeFont(const char* path)
	:
	fLibrary(NULL),
	fFace(NULL)
{
	if (FT_Init_FreeType(&fLibrary) != 0) {
		ADD_FAILURE() << "FreeType did not start";
		fLibrary = NULL;
		return;
	}
	if (FT_New_Face(fLibrary, path, 0, &fFace) != 0) {
		ADD_FAILURE() << "cannot open " << path;
		fFace = NULL;
	}
}


FreeTypeFont::~FreeTypeFont()
{
	if (fFace != NULL)
		FT_Done_Face(fFace);
	if (fLibrary != NULL)
		FT_Done_FreeType(fLibrary);
}


bool
FreeTypeFont::HasChar(uint32 codePoint) const
{
	return fFace != NULL && FT_Get_Char_Index(fFace, codePoint) != 0;
}


uint32
FreeTypeFont::NextChar(uint32 codePoint) const
{
	if (fFace == NULL)
		return 0;
	FT_UInt glyph;
	return FT_Get_Next_Char(fFace, codePoint, &glyph);
}


float
FreeTypeFont::Advance(uint32 codePoint, float size) const
{
	if (fFace == NULL)
		return -1;
	return _GlyphAdvance(FT_Get_Char_Index(fFace, codePoint), size);
}


float
FreeTypeFont::MissingAdvance(float size) const
{
	return _GlyphAdvance(0, size);
}


float
FreeTypeFont::Ascent(float size) const
{
	return fFace->ascender * size / fFace->units_per_EM;
}


float
FreeTypeFont::Descent(float size) const
{
	return -fFace->descender * size / fFace->units_per_EM;
}


float
FreeTypeFont::LineHeight(float size) const
{
	return fFace->height * size / fFace->units_per_EM;
}


float
FreeTypeFont::_GlyphAdvance(uint32 glyph, float size) const
{
	// One point is one pixel: 72 dpi.
	if (fFace == NULL
		|| FT_Set_Char_Size(fFace, 0, (FT_F26Dot6)(size * 64), 72, 72) != 0
		|| FT_Load_Glyph(fFace, glyph, FT_LOAD_NO_HINTING) != 0) {
		return -1;
	}
	return fFace->glyph->linearHoriAdvance / 65536.0f;
}
