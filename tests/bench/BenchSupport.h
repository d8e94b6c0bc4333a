/*
 * What the benchmarks share: clocks, pauses, percentiles and the
 * process's memory.
 */
#ifndef BENCH_SUPPORT_H
#define BENCH_SUPPORT_H

#include <chrono>
#include <vector>

typedef std::chrono::steady_clock BenchClock;

double milliseconds_since(BenchClock::time_point start);
void pause_milliseconds(long milliseconds);
// The value below which the percent of the values lie (nearest rank).
double percentile(std::vector<double> values, int percent);
// The processor time this thread has used, which a busy machine changes
// less than the time on the clock.
double thread_milliseconds();
// A field of /proc/self/status in kB (VmRSS now, VmHWM the peak since
// the last reset).
long status_kilobytes(const char* field);
// Starts the peak over from what the process holds now.
void reset_peak();

#endif	// BENCH_SUPPORT_H
