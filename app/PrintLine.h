/*
 * The program's diagnostic lines: each text goes to standard output on
 * its own, followed by a separate newline.
 */
#ifndef PRINT_LINE_H
#define PRINT_LINE_H

#include <stdio.h>

static inline void
PrintLine(const char* text)
{
	printf("%s", text);
	printf("\n");
}

#endif	// PRINT_LINE_H
