/*
 * The C library calls every function in .init_array with the same argc,
 * argv and envp that main() gets, before main() runs. That is how the
 * application object learns its command line without main() passing it.
 */
#include "ProcessArguments.h"

#include <mutex>
#include <string>
#include <vector>


namespace {

std::mutex sLock;
int32 sArgc = 0;
const char* const* sArgv = NULL;

int32 sOverrideArgc = 0;
std::vector<std::string> sOverrideStrings;
std::vector<const char*> sOverrideArgv;
bool sOverridden = false;


void
capture_arguments(int argc, char** argv, char**)
{
	sArgc = argc;
	sArgv = argv;
}

}	// namespace


__attribute__((section(".init_array"), used))
static void (*sCaptureArguments)(int, char**, char**) = capture_arguments;


namespace BPrivate {

void
process_arguments(int32* _argc, const char* const** _argv)
{
	std::lock_guard<std::mutex> guard(sLock);
	if (sOverridden) {
		*_argc = sOverrideArgc;
		*_argv = sOverrideArgv.data();
		return;
	}
	*_argc = sArgv != NULL ? sArgc : 0;
	*_argv = sArgv;
}


void
set_process_arguments(int32 argc, const char* const* argv)
{
	std::lock_guard<std::mutex> guard(sLock);
	sOverrideStrings.clear();
	sOverrideArgv.clear();
	sOverridden = argv != NULL;
	if (!sOverridden) {
		sOverrideArgc = 0;
		return;
	}
	for (int32 i = 0; i < argc; i++)
		sOverrideStrings.push_back(argv[i] != NULL ? argv[i] : "");
	for (const std::string& string : sOverrideStrings)
		sOverrideArgv.push_back(string.c_str());
	sOverrideArgv.push_back(NULL);
	sOverrideArgc = argc;
}

}	// namespace BPrivate
