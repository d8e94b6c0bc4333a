/*
 * TextMotion: where the caret goes when it moves by a character, a word or
 * to the start or end of a line, and what a double click selects.
 *
 * Characters are those of UTF8Decoding.h: a well-formed UTF-8 sequence, or
 * any other byte on its own. No function ever returns an offset inside a
 * well-formed sequence.
 *
 * Clusters are the user-perceived characters of GraphemeBreak.h: a letter
 * with its marks, an emoji sequence, a flag. The caret moves, and
 * selections end, only at cluster boundaries; the character functions
 * remain for code that must not split a UTF-8 sequence but may stop
 * between a letter and its mark (inserting, clipping to a byte limit).
 *
 * Word characters are ASCII letters and digits, the underscore, and every
 * well-formed non-ASCII character (so accented letters, CJK text and also
 * non-ASCII punctuation count as word characters). A byte that is not
 * valid UTF-8 is not a word character.
 *
 * Every offset is clamped to 0..Length() first.
 *
 * Threads: none; plain functions over a TextBuffer.
 */
#ifndef _KITS_TEXT_MOTION_H
#define _KITS_TEXT_MOTION_H

#include <SupportDefs.h>

namespace BPrivate {

class LineIndex;
class TextBuffer;

namespace TextMotion {

// The start of the character that holds the byte at offset; offset itself
// when it already is a character boundary (and for Length()).
int32	CharStart(const TextBuffer& text, int32 offset);
// The boundary after the character that holds offset; Length() at the end.
int32	NextChar(const TextBuffer& text, int32 offset);
// The start of the character before offset; 0 at the start.
int32	PreviousChar(const TextBuffer& text, int32 offset);
// The byte length of the character that starts at a boundary offset; 0 at
// the end of the text.
int32	CharLength(const TextBuffer& text, int32 offset);

// The cluster boundary at or before offset.
int32	ClusterStart(const TextBuffer& text, int32 offset);
// The cluster boundary at or after offset.
int32	ClusterEnd(const TextBuffer& text, int32 offset);
// Right arrow and Delete: the first cluster boundary after offset;
// Length() at the end.
int32	NextCluster(const TextBuffer& text, int32 offset);
// Left arrow: the last cluster boundary before offset; 0 at the start.
int32	PreviousCluster(const TextBuffer& text, int32 offset);
// Backspace: where the removal before offset starts. It takes only the
// last mark off a letter with marks, and any other cluster whole.
int32	BackspaceStart(const TextBuffer& text, int32 offset);

bool	IsWordCharacter(const TextBuffer& text, int32 offset);

// Ctrl+Right: past any non-word characters, then to the end of the word
// that follows. Length() when no word follows.
int32	NextWord(const TextBuffer& text, int32 offset);
// Ctrl+Left: back over any non-word characters, then to the start of the
// word before them. 0 when no word precedes.
int32	PreviousWord(const TextBuffer& text, int32 offset);
// What a double click at offset selects: the word that holds the
// character at offset; a run of spaces and tabs; or else that one
// cluster. Both ends are cluster boundaries. At the end of the text, the word that ends there, if any
// (an empty range at Length() otherwise).
void	WordAt(const TextBuffer& text, int32 offset, int32& _start,
			int32& _end);

// The start of the hard line that holds offset, and its end (the offset of
// its '\n', or Length() on the last line).
int32	LineStart(const LineIndex& lines, int32 offset);
int32	LineEnd(const LineIndex& lines, int32 offset);

}	// namespace TextMotion

}	// namespace BPrivate

#endif	// _KITS_TEXT_MOTION_H
