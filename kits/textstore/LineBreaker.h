/*
 * LineBreaker: where a layout line of soft-wrapped text ends, and how wide
 * its characters are.
 *
 * A line breaks after a run of spaces or tabs (they hang past the width at
 * the end of the line they follow) or after a hyphen-like character
 * ('-', U+2010 to U+2014). A word wider than the width breaks at a
 * character boundary, never inside a UTF-8 sequence, and every layout line
 * holds at least one character.
 *
 * Widths come from the measuring function, one character at a time, for
 * ASCII; a word with anything else in it (up to the next space, tab or
 * control character) is measured as a whole by the run measuring
 * function, as a font shapes and draws it, so that letters that join and
 * marks that sit on their letters take the width they are drawn with. The
 * widths of all ASCII characters are measured once, the first time any is
 * needed, and kept until Forget(); runs of ASCII are then scanned straight
 * from the buffer's memory with a table look-up per byte, which is most of
 * what a large file holds. Tabs advance to the next multiple of the tab
 * width when one is set. Negative or NaN widths count as 0.
 *
 * Threads: none of its own; the text view's window thread uses it.
 * Owns: the table of ASCII widths; it reads the text, which its owner
 * keeps.
 */
#ifndef _KITS_LINE_BREAKER_H
#define _KITS_LINE_BREAKER_H

#include <SupportDefs.h>

#include <functional>
#include <vector>

namespace BPrivate {

class TextBuffer;

// The width in pixels of length bytes of text (one character).
typedef std::function<float(const char* text, int32 length)> MeasureFunction;
// The advances of length bytes of text shaped as one: each cluster's
// whole advance at its first byte, 0 for the other bytes; _advances holds
// length zeros on entry.
typedef std::function<void(const char* text, int32 length,
	float* _advances)> RunMeasureFunction;

class LineBreaker {
public:
								LineBreaker(const TextBuffer& text,
									MeasureFunction measure,
									RunMeasureFunction measureRun
										= RunMeasureFunction());

	// NaN counts as 0.
			void				SetWrapWidth(float width);
			float				WrapWidth() const { return fWrapWidth; }
	// Negative or NaN: tabs are measured as characters.
			void				SetTabWidth(float width);
	// Forgets every measurement (the font changed).
			void				Forget();

	// The width of the character of length bytes at offset when it
	// starts at x (tabs reach to the next stop).
			float				CharWidth(int32 offset, int32 length,
									float x);
	// Where the layout line that starts at lineStart ends, and the next
	// one starts; hardEnd when the rest of the hard line fits.
			int32				NextBreak(int32 lineStart, int32 hardEnd);
	// True when the bytes from..to-1 are all printable ASCII or tabs and
	// too few to reach the wrap width even if each were the widest of
	// them (a tab a whole tab width): they are one layout line, and
	// nothing needs measuring to know it. False does not mean that they
	// wrap.
			bool				CannotWrap(int32 from, int32 to);
	// CannotWrap() for count hard lines at once: _cannot[i] is what
	// CannotWrap(starts[i], ends[i]) returns. The lines must lie in the
	// text in order without overlapping. Lines that lie close together
	// are checked in one pass over their bytes, which for many short
	// lines costs far less than a call per line.
			void				CannotWrapLines(const int32* starts,
									const int32* ends, int32 count,
									uint8* _cannot);

private:
			void				_MeasureASCII();
			float				_TabWidth(float x) const;
			float				_OtherWidth(int32 offset, int32 length);
	// Where the word that started at wordStart and holds the character
	// at offset ends: at the next space, tab or control character, or
	// hardEnd, and never much more than a few hundred bytes on.
			int32				_WordEnd(int32 wordStart, int32 offset,
									int32 hardEnd) const;
			int32				_CountTabsIfPlain(int32 from,
									int32 to) const;
	// The bounds on a line of count printable ASCII characters or tabs
	// that CannotWrap() applies: whether it may fit at all whatever it
	// holds, and whether it fits holding that many tabs.
			bool				_MayFit(int32 count) const;
			bool				_Fits(int32 count, int32 tabs) const;
			int32				_LongestFit(bool plain) const;
			void				_FindSpecial(int32 from, int32 to);

			const TextBuffer&	fText;
			MeasureFunction		fMeasure;
			RunMeasureFunction	fMeasureRun;
			std::vector<float>	fAdvances;
			float				fWrapWidth;
			float				fTabWidth;
			bool				fASCIIMeasured;
			// Widths of the ASCII characters, tabs as characters.
			float				fASCIIWidths[128];
			// The widest printable ASCII character (control characters
			// show wider pictures), and the most a tab can advance.
			float				fWidestPrintable;
			float				fWidestTab;
			// Where the bytes last scanned by _FindSpecial() hold tabs,
			// and anything else that is neither printable ASCII nor '\n'.
			std::vector<int32>	fTabs;
			std::vector<int32>	fOthers;
};

}	// namespace BPrivate

#endif	// _KITS_LINE_BREAKER_H
