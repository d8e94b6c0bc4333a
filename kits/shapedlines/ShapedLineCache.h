/*
 * ShapedLineCache: the shaped layout lines of one text, by their first
 * byte, kept while they are near what is being looked at.
 *
 * Only lines found to need shaping are stored, so that a line kept is
 * answered without a look at its bytes. A line whose end no longer
 * matches its layout line is not found, and is shaped anew. An edit
 * forgets the lines it touches and those after it in its own hard line
 * (their paragraph's direction may change with it), and moves the later
 * ones along; a change of font or widths forgets them all. Past its
 * capacity the cache forgets the line farthest from the one just stored,
 * on whichever side lies farther.
 *
 * Threads: none of its own; the text view's window thread uses it.
 * Owns: the shaped lines. A pointer it gives stays valid until the next
 * Store(), TextShifted() or Clear().
 */
#ifndef _KITS_SHAPED_LINE_CACHE_H
#define _KITS_SHAPED_LINE_CACHE_H

#include "ShapedLine.h"

#include <map>
#include <memory>

namespace BPrivate {

class ShapedLineCache {
public:
	// More than any screen shows.
	static const size_t			kDefaultCapacity = 512;

	// A capacity below 1 counts as 1.
								ShapedLineCache(
									size_t capacity = kDefaultCapacity);

	// The line stored for the layout line from start to end; NULL when
	// there is none, or the one stored ends elsewhere.
			const shaped_line*	Find(int32 start, int32 end) const;
	// Stores line (not NULL) in place of any line of the same start, and
	// forgets what lies past the capacity. Returns the line.
			const shaped_line*	Store(std::unique_ptr<shaped_line> line);

	// The text from from to oldTo - 1 was replaced by the bytes up to
	// newTo; paragraphEnd is where that hard line ends now. The lines
	// that end before from stay; those that start at oldTo or before, or
	// at paragraphEnd or before once moved, go; the rest move along.
			void				TextShifted(int32 from, int32 oldTo,
									int32 newTo, int32 paragraphEnd);
			void				Clear();

			size_t				CountLines() const { return fLines.size(); }
	// How many lines were stored since the cache was made.
			int64				LinesStored() const { return fLinesStored; }

private:
			std::map<int32, std::unique_ptr<shaped_line> > fLines;
			size_t				fCapacity;
			int64				fLinesStored;
};

}	// namespace BPrivate

#endif	// _KITS_SHAPED_LINE_CACHE_H
