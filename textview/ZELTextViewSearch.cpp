/*
 * The document text view: finding and replacing text.
 *
 * Every search reports where it starts on standard output, the selection
 * and the text length, as two lines. Replace All reports the same pair
 * for each search its replacements stand for, written a block at a time
 * so that a million replacements do not cost two million writes.
 */
#include "ZELTextView.h"

#include <stdio.h>
#include <string.h>

#include <charconv>
#include <string>

#include "TextMatcher.h"


namespace {

// Replace All's report is flushed in blocks of about this size.
const size_t kReportBlock = 64 * 1024;


void
append_number(std::string& line, int64 value)
{
	char digits[24];
	auto result = std::to_chars(digits, digits + sizeof(digits), value);
	line.append(digits, result.ptr - digits);
}


void
append_search_lines(std::string& report, int64 start, int64 end,
	int64 length)
{
	report += "Start=";
	append_number(report, start);
	report += " Finish=";
	append_number(report, end);
	report += "\nTextLen=";
	append_number(report, length);
	report += "\n";
}


void
write_report(std::string& report)
{
	fwrite(report.data(), 1, report.size(), stdout);
	report.clear();
}

}	// namespace


bool
ZELTextView::Find(const char* text)
{
	int32 found = _FindAndSelect(text);
	if (found < 0)
		return false;
	ScrollToSelection();
	return true;
}


void
ZELTextView::Replace(const char* text, const char* replacement)
{
	if (!Find(text))
		return;
	int32 start;
	int32 end;
	GetSelection(&start, &end);
	int32 length = (int32)strlen(replacement);
	if (ReplaceRanges(&start, 1, end - start, replacement, length) != B_OK)
		return;
	Select(start, start + length);
	ScrollToSelection();
}


void
ZELTextView::ReplaceAll(const char* text, const char* replacement)
{
	TextMatcher matcher(text);
	if (matcher.Length() == 0)
		return;

	int32 start;
	int32 end;
	GetSelection(&start, &end);
	int32 length = TextLength();
	std::vector<int32> ascending;
	int32 wrapped;
	if (matcher.FindAll(Text(), length, start, ascending, wrapped) != B_OK)
		return;

	int32 searchLength = matcher.Length();
	int32 replacementLength = (int32)strlen(replacement);
	// A text that cannot take the replacements (too long, or no memory
	// left) stays as it was, and the report says only that one search
	// was made.
	if (!ascending.empty() && ReplaceRanges(ascending.data(),
			(int32)ascending.size(), searchLength, replacement,
			replacementLength) != B_OK) {
		ascending.clear();
	}
	_PrintReplaceAllLines(start, end, length, ascending, wrapped,
		searchLength, replacementLength);
	if (ascending.empty())
		return;

	// The last replacement visited is the last one of the wrapped part,
	// or the last of all when the search did not wrap.
	int32 last = wrapped > 0 ? wrapped - 1 : (int32)ascending.size() - 1;
	int32 lastStart = ascending[last]
		+ last * (replacementLength - searchLength);
	// The view stays where it is: the replacements in it show, and
	// scrolling to the last one would lay out all the text before it,
	// seconds for a file of a hundred megabytes.
	Select(lastStart, lastStart + replacementLength);
}


// Selects the next occurrence and returns its offset, or -1.
int32
ZELTextView::_FindAndSelect(const char* text)
{
	TextMatcher matcher(text);
	if (matcher.Length() == 0)
		return -1;

	int32 start;
	int32 end;
	GetSelection(&start, &end);
	int32 length = TextLength();
	std::string report;
	append_search_lines(report, start, end, length);
	write_report(report);

	int32 found = matcher.FindNext(Text(), length, start);
	if (found >= 0)
		Select(found, found + matcher.Length());
	return found;
}


// The two lines of every search a Replace All stands for: before each
// replacement and for the last search that finds nothing more, with the
// selection and the text length of that moment.
void
ZELTextView::_PrintReplaceAllLines(int32 start, int32 end, int32 length,
	const std::vector<int32>& ascending, int32 wrapped, int32 searchLength,
	int32 replacementLength)
{
	int64 delta = (int64)replacementLength - searchLength;
	int32 count = (int32)ascending.size();
	std::string report;
	append_search_lines(report, start, end, length);
	for (int32 visit = 0; visit < count; visit++) {
		// The occurrences ahead of the start are visited first, then the
		// wrapped ones. Only the replacements made before an occurrence
		// and in front of it have moved it.
		bool ahead = visit < count - wrapped;
		int32 index = ahead ? wrapped + visit : visit - (count - wrapped);
		int32 before = ahead ? visit : visit - (count - wrapped);
		int64 selected = ascending[index] + before * delta;
		append_search_lines(report, selected, selected + replacementLength,
			length + (visit + 1) * delta);
		if (report.size() >= kReportBlock)
			write_report(report);
	}
	write_report(report);
	fflush(stdout);
}
