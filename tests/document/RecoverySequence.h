/*
 * The characters the kill test types, the same in the test and in the
 * child it starts: character n of the sequence a seed names.
 */
#ifndef RECOVERY_SEQUENCE_H
#define RECOVERY_SEQUENCE_H

#include <stdint.h>

#include <string>


inline char
recovery_character(uint32_t seed, uint64_t n)
{
	static const char kAlphabet[] = "abcdefghijklmnopqrstuvwxyz ,.\n";
	uint64_t x = (n + 1) * 0x9e3779b97f4a7c15ull ^ seed;
	x ^= x >> 31;
	x *= 0xbf58476d1ce4e5b9ull;
	x ^= x >> 29;
	return kAlphabet[x % (sizeof(kAlphabet) - 1)];
}


// The first count characters of the sequence.
inline std::string
recovery_run(uint32_t seed, uint64_t count)
{
	std::string run;
	for (uint64_t n = 0; n < count; n++)
		run += recovery_character(seed, n);
	return run;
}

#endif	// RECOVERY_SEQUENCE_H
