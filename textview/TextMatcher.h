/*
 * TextMatcher: where a search text occurs in a document's bytes, the way
 * Find and Replace All visit the occurrences.
 *
 * Matching is exact over all 256 byte values, at every start offset, and
 * never runs past the end of the text. A search from the selection start
 * s visits the occurrences that start at s + 1 up to the last possible
 * start, then, wrapping, those that start at 0 up to s. An occurrence
 * that begins or ends inside a UTF-8 character is skipped: the view
 * could neither select it exactly nor replace it without splitting the
 * character.
 *
 * Threads: none; plain functions of the bytes given.
 * Owns: a copy of the search text.
 */
#ifndef TEXT_MATCHER_H
#define TEXT_MATCHER_H

#include <SupportDefs.h>

#include <string>
#include <vector>


class TextMatcher {
public:
								TextMatcher(const char* searchText);

			int32				Length() const
									{ return (int32)fSearch.size(); }

	// The first occurrence a search from start visits, or -1 when there
	// is none or the search text is empty.
			int32				FindNext(const char* text, int32 length,
									int32 start) const;

	// The occurrences that a Replace All from start replaces: those a
	// search visits, each taken whole and none overlapping an earlier
	// one, the search going on after each occurrence rather than inside
	// it. _ascending gets their offsets in ascending order;
	// _wrapped gets how many of them come from the wrapped part of the
	// search (offsets 0 to start), which are the first ones in
	// _ascending but the last ones visited.
			status_t			FindAll(const char* text, int32 length,
									int32 start,
									std::vector<int32>& _ascending,
									int32& _wrapped) const;

	// Whether offset lies between characters: not inside a well-formed
	// UTF-8 sequence. Offsets 0 and length always do.
	static	bool				IsCharBoundary(const char* text,
									int32 length, int32 offset);

private:
	// The first whole occurrence that starts at from or later and ends
	// at end or before; -1 when there is none.
			int32				_FirstIn(const char* text, int32 length,
									int32 from, int32 end) const;

			std::string			fSearch;
};

#endif	// TEXT_MATCHER_H
