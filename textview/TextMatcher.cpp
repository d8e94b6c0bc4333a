/*
 * TextMatcher: exact byte search with the wrap-around order of Find.
 */
#include "TextMatcher.h"

#include <string.h>

#include <algorithm>
#include <new>


TextMatcher::TextMatcher(const char* searchText)
	:
	fSearch(searchText != NULL ? searchText : "")
{
}


int32
TextMatcher::FindNext(const char* text, int32 length, int32 start) const
{
	int32 n = Length();
	if (n == 0 || text == NULL || length < n)
		return -1;
	start = std::clamp(start, (int32)0, length);
	int32 found = _FirstIn(text, length, start + 1, length);
	if (found < 0) {
		// Wrapping: starts from 0 up to s, so the end may reach s + n.
		found = _FirstIn(text, length, 0,
			(int32)std::min<int64>((int64)start + n, length));
	}
	return found;
}


status_t
TextMatcher::FindAll(const char* text, int32 length, int32 start,
	std::vector<int32>& _ascending, int32& _wrapped) const
{
	_ascending.clear();
	_wrapped = 0;
	int32 n = Length();
	if (n == 0 || text == NULL || length < n)
		return B_OK;
	start = std::clamp(start, (int32)0, length);

	try {
		std::vector<int32> ahead;
		for (int32 at = _FirstIn(text, length, start + 1, length); at >= 0;
				at = _FirstIn(text, length, at + n, length)) {
			ahead.push_back(at);
		}
		// The wrapped part stops where the first replacement ahead
		// begins: nothing is replaced twice or inside a replacement.
		int32 end = (int32)std::min<int64>((int64)start + n, length);
		if (!ahead.empty())
			end = std::min(end, ahead.front());
		for (int32 at = _FirstIn(text, length, 0, end); at >= 0;
				at = _FirstIn(text, length, at + n, end)) {
			_ascending.push_back(at);
		}
		_wrapped = (int32)_ascending.size();
		_ascending.insert(_ascending.end(), ahead.begin(), ahead.end());
	} catch (const std::bad_alloc&) {
		_ascending.clear();
		_wrapped = 0;
		return B_NO_MEMORY;
	}
	return B_OK;
}


bool
TextMatcher::IsCharBoundary(const char* text, int32 length, int32 offset)
{
	if (offset <= 0 || offset >= length)
		return true;
	const uint8* bytes = (const uint8*)text;
	if ((bytes[offset] & 0xC0) != 0x80)
		return true;

	// Find the lead byte this continuation byte may belong to.
	for (int32 back = 1; back <= 3 && offset - back >= 0; back++) {
		uint8 lead = bytes[offset - back];
		if ((lead & 0xC0) == 0x80)
			continue;
		int32 sequence = lead >= 0xF0 && lead <= 0xF4 ? 4
			: lead >= 0xE0 && lead <= 0xEF ? 3
			: lead >= 0xC2 && lead <= 0xDF ? 2 : 1;
		int32 first = offset - back;
		if (sequence <= back || first + sequence > length)
			return true;
		// The second byte's range rules out overlong forms, surrogates
		// and code points past U+10FFFF, as a UTF-8 decoder does.
		uint8 second = bytes[first + 1];
		uint8 low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
		uint8 high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
		if (second < low || second > high)
			return true;
		for (int32 i = 2; i < sequence; i++) {
			if ((bytes[first + i] & 0xC0) != 0x80)
				return true;
		}
		return false;
	}
	return true;
}


int32
TextMatcher::_FirstIn(const char* text, int32 length, int32 from,
	int32 end) const
{
	int32 n = Length();
	while (from >= 0 && end - from >= n) {
		const char* found = (const char*)memmem(text + from, end - from,
			fSearch.data(), n);
		if (found == NULL)
			return -1;
		int32 at = (int32)(found - text);
		if (IsCharBoundary(text, length, at)
			&& IsCharBoundary(text, length, at + n)) {
			return at;
		}
		from = at + 1;
	}
	return -1;
}
