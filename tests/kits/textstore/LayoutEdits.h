/*
 * The layout tests' edits: the text, its line index and its layout
 * changed together, in the order a text view changes them.
 */
#ifndef _LAYOUT_EDITS_H
#define _LAYOUT_EDITS_H

#include "LineIndex.h"
#include "TextBuffer.h"
#include "WrapLayout.h"

#include <algorithm>
#include <string>

inline void
insert_laid_out(BPrivate::TextBuffer& text, BPrivate::LineIndex& lines,
	BPrivate::WrapLayout& layout, int32 offset, const std::string& bytes)
{
	text.Insert(offset, bytes.data(), (int32)bytes.size());
	lines.Insert(offset, bytes.data(), (int32)bytes.size());
	layout.TextInserted(offset, (int32)bytes.size(),
		(int32)std::count(bytes.begin(), bytes.end(), '\n'));
}


inline void
remove_laid_out(BPrivate::TextBuffer& text, BPrivate::LineIndex& lines,
	BPrivate::WrapLayout& layout, int32 from, int32 to)
{
	std::string removed = text.GetText(from, to - from);
	text.Remove(from, to);
	lines.Remove(from, to);
	layout.TextRemoved(from, to - from,
		(int32)std::count(removed.begin(), removed.end(), '\n'));
}

#endif	// _LAYOUT_EDITS_H
