/*
 * The cache of shaped lines. ShapedLineCache.h describes what it keeps.
 */
#include "ShapedLineCache.h"

#include <iterator>


namespace BPrivate {

ShapedLineCache::ShapedLineCache(size_t capacity)
	:
	fCapacity(capacity > 0 ? capacity : 1),
	fLinesStored(0)
{
}


const shaped_line*
ShapedLineCache::Find(int32 start, int32 end) const
{
	auto found = fLines.find(start);
	if (found == fLines.end() || found->second->end != end)
		return NULL;
	return found->second.get();
}


const shaped_line*
ShapedLineCache::Store(std::unique_ptr<shaped_line> line)
{
	int32 start = line->visual.Start();
	shaped_line* result = line.get();
	fLines[start] = std::move(line);
	fLinesStored++;
	while (fLines.size() > fCapacity) {
		if (start - fLines.begin()->first > fLines.rbegin()->first - start)
			fLines.erase(fLines.begin());
		else
			fLines.erase(std::prev(fLines.end()));
	}
	return result;
}


void
ShapedLineCache::TextShifted(int32 from, int32 oldTo, int32 newTo,
	int32 paragraphEnd)
{
	if (fLines.empty())
		return;
	int32 delta = newTo - oldTo;
	std::map<int32, std::unique_ptr<shaped_line> > kept;
	for (auto& entry : fLines) {
		int32 start = entry.first;
		shaped_line& line = *entry.second;
		if (line.end < from) {
			kept.emplace(start, std::move(entry.second));
			continue;
		}
		if (start <= oldTo || start + delta <= paragraphEnd)
			continue;
		line.Shift(delta);
		kept.emplace(start + delta, std::move(entry.second));
	}
	fLines.swap(kept);
}


void
ShapedLineCache::Clear()
{
	fLines.clear();
}

}	// namespace BPrivate
