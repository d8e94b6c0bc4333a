/*
 * Private to the kits: the process's own command line, as the program's
 * main() received it. The application object needs it before Run() to
 * hand a later launch's arguments to the running instance, and in Run()
 * to deliver them to ArgvReceived().
 */
#ifndef _KITS_PROCESS_ARGUMENTS_H
#define _KITS_PROCESS_ARGUMENTS_H

#include <SupportDefs.h>

namespace BPrivate {

// The arguments captured at start-up; argc is 0 and argv NULL where they
// could not be captured. The strings stay valid for the whole run.
void process_arguments(int32* _argc, const char* const** _argv);

// For tests that run an application in-process: the arguments the next
// application object treats as its command line. NULL restores the real
// ones.
void set_process_arguments(int32 argc, const char* const* argv);

}	// namespace BPrivate

#endif	// _KITS_PROCESS_ARGUMENTS_H
