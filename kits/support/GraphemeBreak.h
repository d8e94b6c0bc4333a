/*
 * GraphemeBreak: where user-perceived characters begin and end in UTF-8.
 *
 * A user-perceived character is an extended grapheme cluster as Unicode
 * defines it: a letter with the marks that follow it, a CR LF pair, a
 * Hangul syllable written as jamo, an emoji with its modifiers and the
 * emoji joined to it by ZERO WIDTH JOINER, or a pair of regional
 * indicators (a flag). The caret never stops inside one.
 *
 * The characters are those of UTF8Decoding.h. A byte that is not part of
 * a well-formed sequence is a cluster of its own, like a control
 * character: no mark attaches to it, nor to a control character.
 *
 * Every function reads only text[0..length-1], clamps offset to
 * 0..length first, and returns a cluster boundary. Deciding a boundary
 * may need the text before it (the parity of a run of regional
 * indicators, the emoji before a joiner); the functions look back at most
 * kGraphemeLookBehind bytes and take a boundary there beyond that, so a
 * cluster longer than that is cut into pieces rather than scanned
 * without end.
 *
 * Threads: none; plain functions over a block of bytes.
 */
#ifndef _KITS_GRAPHEME_BREAK_H
#define _KITS_GRAPHEME_BREAK_H

#include <SupportDefs.h>

namespace BPrivate {

static const int32 kGraphemeLookBehind = 1024;

// Whether a cluster boundary lies at offset; 0 and length always are.
bool	IsGraphemeBoundary(const char* text, int32 length, int32 offset);
// The boundary at or before offset: offset itself when it is one.
int32	GraphemeStart(const char* text, int32 length, int32 offset);
// The first boundary after offset; length at the end.
int32	NextGraphemeBoundary(const char* text, int32 length, int32 offset);
// The last boundary before offset; 0 at the start.
int32	PreviousGraphemeBoundary(const char* text, int32 length,
			int32 offset);
// Where Backspace at offset starts to remove. Within a cluster that is a
// letter followed by marks it removes only the last mark, the way one
// types them; any other cluster (an emoji sequence, a flag, CR LF, a
// Hangul syllable, a lone character) goes as a whole. offset is first
// taken back to a boundary; 0 at the start.
int32	GraphemeBackspaceStart(const char* text, int32 length, int32 offset);
// Whether the cluster text[from .. to - 1] shows as a colour emoji by
// default: a character drawn as emoji unless asked otherwise, a flag, or
// any character asked for as emoji (U+FE0F) or given a skin tone. U+FE0E
// asks for text instead.
bool	IsEmojiCluster(const char* text, int32 from, int32 to);

}	// namespace BPrivate

#endif	// _KITS_GRAPHEME_BREAK_H
