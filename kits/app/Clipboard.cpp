/*
 * BClipboard: named clipboards of the process, and the system clipboard
 * that the display server connects to the screen's.
 */
#include <Clipboard.h>

#include <Message.h>
#include <TypeConstants.h>

#include "ClipboardPrivate.h"
#include "UTF8Decoding.h"

#include <string.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

namespace {

const char* const kSystemName = "system";
const char* const kPrimaryName = "primary";
const char* const kTextField = "text/plain";

// What the process knows of the system clipboard, shared by every
// BClipboard of that name.
struct system_state {
	std::mutex			lock;
	BPrivate::set_clipboard_text_function set = NULL;
	BPrivate::get_clipboard_text_function get = NULL;
	// The screen's text while no display server is connected.
	std::string			localText;
	// What this process last committed, exactly, and the text the
	// screen was given for it.
	BMessage			committed;
	std::string			sent;
	bool				hasCommitted = false;
	uint32				count = 0;
};

system_state&
system_clipboard(BPrivate::system_selection which)
{
	static system_state* states = new system_state[2];
	return states[which == BPrivate::kPrimarySelection ? 1 : 0];
}

}	// namespace


namespace BPrivate {

struct clipboard_data {
	std::string			name;
	bool				isSystem;
	// Which of the screen's selections a system clipboard is.
	system_selection	selection = kClipboardSelection;
	std::recursive_mutex lock;
	std::atomic<std::thread::id> owner;
	std::atomic<int32>	depth{ 0 };
	BMessage			data;
	// What Revert() goes back to.
	BMessage			taken;
	uint32				localCount = 0;
};


void
set_system_clipboard(system_selection which, set_clipboard_text_function set,
	get_clipboard_text_function get)
{
	system_state& state = system_clipboard(which);
	std::lock_guard<std::mutex> guard(state.lock);
	state.set = set;
	state.get = get;
}

}	// namespace BPrivate


static BClipboard sSystemClipboard(kSystemName);
BClipboard* be_clipboard = &sSystemClipboard;


BClipboard::BClipboard(const char* name, bool transient)
	:
	fData(new BPrivate::clipboard_data)
{
	(void)transient;
	fData->name = name != NULL ? name : kSystemName;
	fData->isSystem = fData->name == kSystemName
		|| fData->name == kPrimaryName;
	if (fData->name == kPrimaryName)
		fData->selection = BPrivate::kPrimarySelection;
}


BClipboard::~BClipboard()
{
	delete fData;
}


const char*
BClipboard::Name() const
{
	return fData->name.c_str();
}


uint32
BClipboard::LocalCount() const
{
	return fData->localCount;
}


uint32
BClipboard::SystemCount() const
{
	if (!fData->isSystem)
		return fData->localCount;
	system_state& state = system_clipboard(fData->selection);
	std::lock_guard<std::mutex> guard(state.lock);
	return state.count;
}


bool
BClipboard::Lock()
{
	fData->lock.lock();
	fData->owner = std::this_thread::get_id();
	if (fData->depth++ == 0)
		_TakeIn();
	return true;
}


void
BClipboard::Unlock()
{
	if (!IsLocked())
		return;
	if (--fData->depth == 0)
		fData->owner = std::thread::id();
	fData->lock.unlock();
}


bool
BClipboard::IsLocked() const
{
	return fData->depth > 0 && fData->owner == std::this_thread::get_id();
}


status_t
BClipboard::Clear()
{
	if (!IsLocked())
		return B_NOT_ALLOWED;
	fData->data.MakeEmpty();
	return B_OK;
}


status_t
BClipboard::Commit()
{
	return Commit(false);
}


status_t
BClipboard::Commit(bool failIfChanged)
{
	(void)failIfChanged;
	if (!IsLocked())
		return B_NOT_ALLOWED;
	fData->localCount++;
	fData->taken = fData->data;
	if (!fData->isSystem)
		return B_OK;

	const void* bytes = NULL;
	ssize_t size = 0;
	std::string text;
	if (fData->data.FindData(kTextField, B_MIME_TYPE, &bytes, &size) == B_OK)
		text = BPrivate::TextForScreen((const char*)bytes, size);

	system_state& state = system_clipboard(fData->selection);
	BPrivate::set_clipboard_text_function set;
	{
		std::lock_guard<std::mutex> guard(state.lock);
		state.committed = fData->data;
		state.sent = text;
		state.hasCommitted = true;
		state.count++;
		set = state.set;
		if (set == NULL)
			state.localText = text;
	}
	return set != NULL ? set(fData->selection, text) : B_OK;
}


status_t
BClipboard::Revert()
{
	if (!IsLocked())
		return B_NOT_ALLOWED;
	fData->data = fData->taken;
	return B_OK;
}


BMessage*
BClipboard::Data() const
{
	return IsLocked() ? &fData->data : NULL;
}


// Fills the data with what the clipboard holds now.
void
BClipboard::_TakeIn()
{
	if (!fData->isSystem) {
		fData->taken = fData->data;
		return;
	}

	system_state& state = system_clipboard(fData->selection);
	BPrivate::get_clipboard_text_function get;
	{
		std::lock_guard<std::mutex> guard(state.lock);
		get = state.get;
	}
	std::string text;
	if (get == NULL || get(fData->selection, text) != B_OK) {
		std::lock_guard<std::mutex> guard(state.lock);
		text = get == NULL ? state.localText : std::string();
	}

	std::lock_guard<std::mutex> guard(state.lock);
	if (state.hasCommitted && text == state.sent)
		fData->data = state.committed;
	else {
		fData->data.MakeEmpty();
		if (!text.empty()) {
			fData->data.AddData(kTextField, B_MIME_TYPE, text.data(),
				(ssize_t)text.size());
		}
		// Someone else owns the clipboard now.
		state.hasCommitted = false;
	}
	fData->taken = fData->data;
}
