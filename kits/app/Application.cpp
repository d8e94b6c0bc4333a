/*
 * BApplication. See Application.h; the single-launch channel is in
 * ApplicationLaunch.cpp and the signal watcher in ApplicationSignals.cpp.
 *
 * Unlike other loopers, the application object is not locked once it is
 * constructed: its loop may run on another thread than the one that made
 * it (tests do that), and that thread could never take over a lock held
 * by the constructing thread.
 */
#include <Application.h>

#include "ApplicationPrivate.h"
#include "LooperPrivate.h"
#include "MessageDelivery.h"
#include "MessagePrivate.h"
#include "ProcessArguments.h"
#include "ProcessEnd.h"
#include "TokenSpace.h"

#include <Message.h>

#include <atomic>
#include <condition_variable>
#include <limits.h>
#include <mutex>
#include <new>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>
#include <thread>
#include <unistd.h>


BApplication* be_app = NULL;
BMessenger be_app_messenger;


using BPrivate::LooperCore;


namespace BPrivate {

namespace {

// Guards the four below.
std::mutex sApplicationLock;
BMessenger sApplicationMessenger;
std::vector<window_entry> sWindows;
// Counts the removals from sWindows and wakes those waiting for one.
uint64 sWindowsRemoved = 0;
std::condition_variable sWindowRemoved;

const bigtime_t kDefaultPulseRate = 500000;
// The longest MIME type the platform accepts, terminator included.
const size_t kMaxSignatureLength = 255;


void
set_application_messenger(const BMessenger& messenger)
{
	std::lock_guard<std::mutex> guard(sApplicationLock);
	sApplicationMessenger = messenger;
}


// "application/" and a subtype of printable ASCII without spaces or the
// characters MIME reserves.
bool
is_application_signature(const char* signature)
{
	static const char kPrefix[] = "application/";
	if (signature == NULL
		|| strncasecmp(signature, kPrefix, sizeof(kPrefix) - 1) != 0
		|| strlen(signature) >= kMaxSignatureLength) {
		return false;
	}

	const char* subtype = signature + sizeof(kPrefix) - 1;
	if (subtype[0] == '\0')
		return false;
	for (const char* c = subtype; *c != '\0'; c++) {
		if (*c <= ' ' || *c >= 127 || strchr("/<>@,;:\"()[]?=\\", *c))
			return false;
	}
	return true;
}

}	// namespace


BMessenger
application_messenger()
{
	std::lock_guard<std::mutex> guard(sApplicationLock);
	return sApplicationMessenger;
}


void
add_window(BWindow* window, BLooper* looper)
{
	std::lock_guard<std::mutex> guard(sApplicationLock);
	for (const window_entry& entry : sWindows) {
		if (entry.window == window)
			return;
	}
	sWindows.push_back(window_entry{ window, looper });
}


void
remove_window(BWindow* window)
{
	std::lock_guard<std::mutex> guard(sApplicationLock);
	for (auto it = sWindows.begin(); it != sWindows.end(); it++) {
		if (it->window == window) {
			sWindows.erase(it);
			sWindowsRemoved++;
			sWindowRemoved.notify_all();
			return;
		}
	}
}


std::vector<window_entry>
window_list()
{
	std::lock_guard<std::mutex> guard(sApplicationLock);
	return sWindows;
}


BLooper*
looper_of_thread(thread_id thread)
{
	std::vector<BLooper*> loopers;
	if (be_app != NULL)
		loopers.push_back(be_app);
	for (const window_entry& entry : window_list())
		loopers.push_back(entry.looper);
	for (BLooper* looper : loopers) {
		LooperCore* core = TokenSpace::Default().AcquireCore(looper);
		if (core == NULL)
			continue;
		bool match = core->thread.load() == thread;
		core->ReleaseReference();
		if (match)
			return looper;
	}
	return NULL;
}


// Waits until no listed window is quitting. A window told to quit tears
// itself down on its own thread after its loop has stopped; the
// application must not be gone before it is.
static void
wait_for_quitting_windows()
{
	for (;;) {
		std::vector<window_entry> windows;
		uint64 removed;
		{
			std::lock_guard<std::mutex> guard(sApplicationLock);
			windows = sWindows;
			removed = sWindowsRemoved;
		}

		bool quitting = false;
		for (const window_entry& entry : windows) {
			LooperCore* core = TokenSpace::Default().AcquireCore(entry.looper);
			if (core == NULL)
				continue;
			quitting = quitting || core->queue.IsQuitRequested();
			core->ReleaseReference();
		}
		if (!quitting)
			return;

		std::unique_lock<std::mutex> lock(sApplicationLock);
		sWindowRemoved.wait(lock, [removed] {
			return sWindowsRemoved != removed;
		});
	}
}


// The application's own state beyond the API's members.
struct application_data {
	// Guards the pulse settings below; pulseCondition wakes the pulse
	// thread when they change.
	std::mutex					pulseLock;
	std::condition_variable		pulseCondition;
	bigtime_t					pulseRate = kDefaultPulseRate;
	bool						pulseRateChanged = false;
	bool						pulseStop = false;
	std::thread					pulseThread;
	// Set while a B_PULSE waits in the queue, so pulses never pile up.
	std::atomic<bool>			pulsePending{ false };
	// True until ReadyToRun() has returned.
	std::atomic<bool>			launching{ true };
	SignalWatcher				signals;
};

}	// namespace BPrivate


namespace {

// Room for a misuse message with a signature in it.
const size_t kMaxMessageLength = 320;


// A message from the application to itself that a sender would have
// aimed at the application object.
BMessage*
new_message_to(BHandler* target, uint32 what)
{
	BMessage* message = new(std::nothrow) BMessage(what);
	BMessage::Private::DeliveryInfo* info
		= new(std::nothrow) BMessage::Private::DeliveryInfo;
	if (message == NULL || info == NULL) {
		delete message;
		delete info;
		return NULL;
	}
	info->handlerToken = BHandler::Private(target).Token();
	BMessage::Private(message).SetDelivery(info);
	return message;
}

}	// namespace


BApplication::BApplication(const char* signature)
	:
	BLooper("application"),
	fLaunchChannel(NULL),
	fData(new BPrivate::application_data),
	fSignature(NULL),
	fInitError(B_OK)
{
	_InitData(signature, NULL);
}


BApplication::BApplication(const char* signature, status_t* _error)
	:
	BLooper("application"),
	fLaunchChannel(NULL),
	fData(new BPrivate::application_data),
	fSignature(NULL),
	fInitError(B_OK)
{
	_InitData(signature, _error);
}


BApplication::~BApplication()
{
	// The windows go with the application, so that none is still drawing
	// while the process ends.
	for (const BPrivate::window_entry& entry : BPrivate::window_list()) {
		if (entry.looper->Lock())
			entry.looper->Quit();
	}

	_StopPulse();
	_StopLaunch();
	fData->signals.Stop();

	BPrivate::set_application_messenger(BMessenger());
	be_app_messenger = BMessenger();
	if (be_app == this)
		be_app = NULL;

	free(fSignature);
	delete fData;
}


status_t
BApplication::InitCheck() const
{
	return fInitError;
}


// #pragma mark - App control and system message handling


thread_id
BApplication::Run()
{
	BLooper::Private looper(this);
	if (looper.MarkRunCalled()) {
		BPrivate::kits_debugger("BApplication::Run(): the application runs "
			"already; Run() may be called only once");
	}

	if (fInitError != B_OK)
		return fInitError;

	LooperCore* core = looper.Core();
	core->SetThread(BPrivate::current_thread_id());
	core->SetRunning(true);

	_PostCommandLine();
	_StartPulse();
	looper.RunLoop();
	BPrivate::application_leaves_run();
	_StopPulse();
	_StopLaunch();
	BPrivate::wait_for_quitting_windows();

	return core->thread.load();
}


void
BApplication::Quit()
{
	LooperCore* core = BLooper::Private(this).Core();
	if (!core->lock.IsOwnedByCaller()) {
		BPrivate::kits_debugger("BApplication::Quit(): the application must "
			"be locked by the calling thread");
	}
	core->queue.RequestQuit();
}


bool
BApplication::QuitRequested()
{
	std::vector<BPrivate::window_entry> windows = BPrivate::window_list();
	for (const BPrivate::window_entry& entry : windows) {
		// Lock() refuses a window that was deleted since the list was
		// read, so only live windows are asked.
		BLooper* window = entry.looper;
		if (!window->Lock())
			continue;
		if (!window->QuitRequested()) {
			window->Unlock();
			return false;
		}
		window->Quit();
	}
	return true;
}


void
BApplication::Pulse()
{
}


void
BApplication::ReadyToRun()
{
}


void
BApplication::MessageReceived(BMessage* message)
{
	BLooper::MessageReceived(message);
}


void
BApplication::ArgvReceived(int32 argc, char** argv)
{
	B_UNUSED(argc);
	B_UNUSED(argv);
}


void
BApplication::RefsReceived(BMessage* message)
{
	B_UNUSED(message);
}


void
BApplication::AboutRequested()
{
}


void
BApplication::DispatchMessage(BMessage* message, BHandler* handler)
{
	if (message == NULL || handler != this) {
		BLooper::DispatchMessage(message, handler);
		return;
	}

	switch (message->what) {
		case B_ARGV_RECEIVED:
			_ArgvReceived(message);
			break;
		case B_REFS_RECEIVED:
			RefsReceived(message);
			break;
		case B_READY_TO_RUN:
			if (fData->launching.load()) {
				ReadyToRun();
				fData->launching.store(false);
			}
			break;
		case B_ABOUT_REQUESTED:
			AboutRequested();
			break;
		case B_PULSE:
			fData->pulsePending.store(false);
			Pulse();
			break;
		default:
			BLooper::DispatchMessage(message, handler);
			break;
	}
}


void
BApplication::SetPulseRate(bigtime_t rate)
{
	std::lock_guard<std::mutex> guard(fData->pulseLock);
	fData->pulseRate = rate > 0 ? rate : 0;
	fData->pulseRateChanged = true;
	fData->pulseCondition.notify_all();
}


// #pragma mark - Window list


int32
BApplication::CountWindows() const
{
	return (int32)BPrivate::window_list().size();
}


BWindow*
BApplication::WindowAt(int32 index) const
{
	std::vector<BPrivate::window_entry> windows = BPrivate::window_list();
	if (index < 0 || index >= (int32)windows.size())
		return NULL;
	return windows[index].window;
}


bool
BApplication::IsLaunching() const
{
	return fData->launching.load();
}


const char*
BApplication::Signature() const
{
	return fSignature;
}


// #pragma mark - private


void
BApplication::_InitData(const char* signature, status_t* _error)
{
	if (be_app != NULL) {
		BPrivate::kits_debugger("BApplication: an application object "
			"exists already; only one may exist at a time");
	}

	BPrivate::application_begins();
	BLooper::Private looper(this);
	looper.SetDeleteOnQuit(false);
	// Until Run(), the application's thread is the one that made it,
	// normally the main thread, which is the one that will run it.
	looper.Core()->SetThread(BPrivate::current_thread_id());

	if (signature != NULL)
		fSignature = strdup(signature);
	if (!BPrivate::is_application_signature(signature)) {
		fInitError = B_BAD_VALUE;
		if (_error == NULL) {
			char message[kMaxMessageLength];
			snprintf(message, sizeof(message), "BApplication: \"%s\" is not "
				"an application signature (\"application/...\")",
				signature != NULL ? signature : "(null)");
			BPrivate::kits_debugger(message);
		}
	}

	be_app = this;
	be_app_messenger = BMessenger(this);
	BPrivate::set_application_messenger(be_app_messenger);

	// Whoever reads our output through a pipe or a file sees each line as
	// it is printed.
	fflush(stdout);
	setvbuf(stdout, NULL, _IOLBF, BUFSIZ);

	// Without the watcher the application still works; only Ctrl+C and
	// SIGTERM end it the abrupt way.
	fData->signals.Start(be_app_messenger);

	if (fInitError == B_OK)
		fInitError = _InitLaunch(signature);
	if (_error != NULL)
		*_error = fInitError;

	// The lock the looper constructor took is given up; see above.
	looper.Core()->lock.Release();
}


void
BApplication::_ArgvReceived(BMessage* message)
{
	type_code type;
	int32 count = 0;
	if (message->GetInfo("argv", &type, &count) != B_OK
		|| type != B_STRING_TYPE) {
		count = 0;
	}
	// "argc" may claim fewer arguments than there are strings, never more.
	int32 argc;
	if (message->FindInt32("argc", &argc) == B_OK && argc >= 0
		&& argc < count) {
		count = argc;
	}

	std::vector<char*> argv;
	for (int32 i = 0; i < count; i++) {
		const char* argument;
		if (message->FindString("argv", i, &argument) != B_OK)
			break;
		char* copy = strdup(argument);
		if (copy == NULL)
			break;
		argv.push_back(copy);
	}
	int32 received = (int32)argv.size();
	argv.push_back(NULL);

	ArgvReceived(received, argv.data());

	for (char* argument : argv)
		free(argument);
}


void
BApplication::_PostCommandLine()
{
	BPrivate::MessageQueue& queue = BLooper::Private(this).Core()->queue;

	// Both go in front of whatever was posted before Run(), the command
	// line first.
	BMessage* ready = new_message_to(this, B_READY_TO_RUN);
	if (ready != NULL && queue.PushFront(ready) != B_OK)
		delete ready;

	int32 argc;
	const char* const* argv;
	BPrivate::process_arguments(&argc, &argv);
	if (argc <= 1 || argv == NULL)
		return;

	BMessage* arguments = new_message_to(this, B_ARGV_RECEIVED);
	if (arguments == NULL)
		return;
	arguments->AddInt32("argc", argc);
	for (int32 i = 0; i < argc; i++)
		arguments->AddString("argv", argv[i] != NULL ? argv[i] : "");
	char cwd[PATH_MAX];
	if (getcwd(cwd, sizeof(cwd)) != NULL)
		arguments->AddString("cwd", cwd);
	if (queue.PushFront(arguments) != B_OK)
		delete arguments;
}


void
BApplication::_StartPulse()
{
	{
		std::lock_guard<std::mutex> guard(fData->pulseLock);
		fData->pulseStop = false;
	}
	fData->pulseThread = std::thread(&BApplication::_PulseLoop, this);
}


void
BApplication::_StopPulse()
{
	if (!fData->pulseThread.joinable())
		return;
	{
		std::lock_guard<std::mutex> guard(fData->pulseLock);
		fData->pulseStop = true;
		fData->pulseCondition.notify_all();
	}
	fData->pulseThread.join();
}


void
BApplication::_PulseLoop()
{
	BPrivate::application_data& data = *fData;
	BMessenger target(this);

	std::unique_lock<std::mutex> lock(data.pulseLock);
	auto woken = [&data] { return data.pulseStop || data.pulseRateChanged; };
	while (!data.pulseStop) {
		data.pulseRateChanged = false;
		bigtime_t rate = data.pulseRate;
		if (rate <= 0) {
			data.pulseCondition.wait(lock, woken);
			continue;
		}
		if (BPrivate::wait_with_timeout(data.pulseCondition, lock, rate,
				woken)) {
			continue;
		}
		if (data.pulsePending.exchange(true))
			continue;

		lock.unlock();
		if (target.SendMessage(B_PULSE) != B_OK)
			data.pulsePending.store(false);
		lock.lock();
	}
}
