/*
 * ProcessEnd. See ProcessEnd.h.
 */
#include "ProcessEnd.h"

#include <atomic>
#include <unistd.h>

namespace BPrivate {

namespace {

enum {
	kRunning,
	kApplicationLeaving,
	kDisplayLost
};

std::atomic<int> sEnd{ kRunning };

}	// namespace


bool
take_process_end_for_lost_display()
{
	int expected = kRunning;
	return sEnd.compare_exchange_strong(expected, kDisplayLost);
}


void
application_leaves_run()
{
	int expected = kRunning;
	if (sEnd.compare_exchange_strong(expected, kApplicationLeaving)
		|| expected == kApplicationLeaving) {
		return;
	}
	// The exit under way on the other thread ends this one with it.
	for (;;)
		pause();
}


void
application_begins()
{
	int expected = kApplicationLeaving;
	sEnd.compare_exchange_strong(expected, kRunning);
}

}	// namespace BPrivate
