/*
 * What the benchmarks share.
 */
#include "BenchSupport.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

#include <algorithm>


double
milliseconds_since(BenchClock::time_point start)
{
	return std::chrono::duration<double, std::milli>(BenchClock::now()
		- start).count();
}


double
thread_milliseconds()
{
	struct timespec now;
	clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
	return now.tv_sec * 1000.0 + now.tv_nsec / 1000000.0;
}


long
status_kilobytes(const char* field)
{
	FILE* status = fopen("/proc/self/status", "r");
	if (status == NULL)
		return 0;
	char line[256];
	long value = 0;
	size_t length = strlen(field);
	while (fgets(line, sizeof(line), status) != NULL) {
		if (strncmp(line, field, length) == 0 && line[length] == ':')
			value = atol(line + length + 1);
	}
	fclose(status);
	return value;
}


void
reset_peak()
{
	FILE* clear = fopen("/proc/self/clear_refs", "w");
	if (clear != NULL) {
		fputs("5", clear);
		fclose(clear);
	}
}


void
pause_milliseconds(long milliseconds)
{
	struct timespec wait = { milliseconds / 1000,
		(milliseconds % 1000) * 1000000 };
	nanosleep(&wait, NULL);
}


double
percentile(std::vector<double> values, int percent)
{
	std::sort(values.begin(), values.end());
	size_t rank = (values.size() * percent + 99) / 100;
	return values[std::clamp(rank, (size_t)1, values.size()) - 1];
}
