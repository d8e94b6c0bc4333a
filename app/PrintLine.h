/*
 * PrintLine(): one diagnostic line on standard output. The line is put
 * together first and written in one call, so that lines printed by
 * different windows at the same time never run into each other.
 */
#ifndef PRINT_LINE_H
#define PRINT_LINE_H

#include <stdarg.h>
#include <stdio.h>

#include <string>


// Prints the formatted text and a newline.
inline void PrintLine(const char* format, ...)
	__attribute__((format(printf, 1, 2)));


inline void
PrintLine(const char* format, ...)
{
	va_list args;
	va_start(args, format);
	va_list again;
	va_copy(again, args);
	char start[256];
	int length = vsnprintf(start, sizeof(start), format, args);
	va_end(args);

	std::string line;
	if (length >= 0 && (size_t)length < sizeof(start))
		line.assign(start, length);
	else if (length >= 0) {
		line.resize(length);
		vsnprintf(&line[0], line.size() + 1, format, again);
	}
	va_end(again);

	line += '\n';
	fwrite(line.data(), 1, line.size(), stdout);
}

#endif	// PRINT_LINE_H
