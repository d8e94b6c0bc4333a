/*
 * The checks of the BMessage unflatten fuzzer, shared with the test that
 * replays its corpus.
 */
#ifndef _MESSAGE_UNFLATTEN_FUZZER_H
#define _MESSAGE_UNFLATTEN_FUZZER_H

#include <stddef.h>
#include <stdint.h>

// Unflattens the bytes in every way BMessage offers and checks what
// came out. Returns NULL when everything held, otherwise a description
// of the first check that failed. Prints the messages it reads to
// standard output.
const char* check_message_unflatten(const uint8_t* data, size_t size);

#endif	// _MESSAGE_UNFLATTEN_FUZZER_H
