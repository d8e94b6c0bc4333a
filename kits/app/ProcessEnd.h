/*
 * Private to the kits: who ends the process. Two threads may set out to
 * end it at the same moment, as a session's end brings both a quit
 * request and the loss of the display: the application's thread, leaving
 * Run() on its way out of main(), and the display server's, which ends
 * the program when its display is gone. exit() is not made to run on two
 * threads at once (each would tear down what the other still uses), so
 * the first of them to get here ends the process and the other gives way.
 */
#ifndef _KITS_PROCESS_END_H
#define _KITS_PROCESS_END_H

namespace BPrivate {

// A thread that found the display gone asks whether it is to end the
// process: true for the first to ask; false when the application is on
// its way out already, or another thread is ending it.
bool take_process_end_for_lost_display();

// The application's thread, leaving Run(): when a lost display is ending
// the process already, it waits here for that end and never returns.
void application_leaves_run();

// A new application: the last one's leaving is over.
void application_begins();

}	// namespace BPrivate

#endif	// _KITS_PROCESS_END_H
