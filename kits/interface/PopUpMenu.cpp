/*
 * BPopUpMenu: a menu that Go() opens at a point of the screen. The menu
 * is tracked on a looper of its own, so that Go() works from any thread,
 * a window's included, and the synchronous form simply waits for it.
 */
#include <PopUpMenu.h>

#include <Looper.h>
#include <MenuItem.h>
#include <Message.h>

#include "MenuPrivate.h"
#include "MenuTracker.h"
#include "MenuWindow.h"

#include <condition_variable>
#include <memory>
#include <mutex>

using namespace BPrivate;

namespace {

const uint32 kMsgStartTracking = '_MGO';

// What a synchronous Go() waits for.
struct PopUpResult {
	std::mutex				lock;
	std::condition_variable	condition;
	bool					done = false;
	BMenuItem*				chosen = NULL;
};


// The looper a pop-up menu is tracked on; it quits once the menu closes.
class PopUpLooper : public BLooper {
public:
	PopUpLooper(BPopUpMenu* menu, BPoint where, bool deliversMessage,
		bool autoDestruct, std::shared_ptr<PopUpResult> result)
		:
		BLooper("pop-up menu"),
		fMenu(menu),
		fWhere(where),
		fDeliversMessage(deliversMessage),
		fAutoDestruct(autoDestruct),
		fResult(result)
	{
	}

	void MessageReceived(BMessage* message) override
	{
		MenuTracker* tracker = BMenu::Private(fMenu).Tracker();
		switch (message->what) {
			case kMsgStartTracking:
				tracker->OpenPopUp(fWhere);
				break;
			case kMsgMenuPointer:
			case kMsgMenuKey:
				if (!tracker->HandleMessage(message))
					_Finish(tracker);
				break;
			default:
				BLooper::MessageReceived(message);
				break;
		}
	}

private:
	void _Finish(MenuTracker* tracker);

	BPopUpMenu*		fMenu;
	BPoint			fWhere;
	bool			fDeliversMessage;
	bool			fAutoDestruct;
	std::shared_ptr<PopUpResult> fResult;
};

}	// namespace


void
PopUpLooper::_Finish(MenuTracker* tracker)
{
	BMenuItem* chosen = tracker->Chosen();
	delete tracker;
	BMenu::Private(fMenu).SetTracker(NULL);

	if (chosen != NULL) {
		if (chosen->Menu() != NULL && chosen->Menu()->IsRadioMode())
			chosen->SetMarked(true);
		if (fDeliversMessage)
			chosen->Invoke();
	}
	if (fAutoDestruct)
		delete fMenu;
	{
		std::lock_guard<std::mutex> guard(fResult->lock);
		fResult->chosen = fAutoDestruct ? NULL : chosen;
		fResult->done = true;
		fResult->condition.notify_all();
	}
	Quit();
}


BPopUpMenu::BPopUpMenu(const char* name, bool radioMode,
	bool labelFromMarked, menu_layout layout)
	:
	BMenu(name, layout),
	fAutoDestruct(false)
{
	SetRadioMode(radioMode);
	SetLabelFromMarked(labelFromMarked);
}


BPopUpMenu::~BPopUpMenu()
{
}


BMenuItem*
BPopUpMenu::Go(BPoint where, bool deliversMessage, bool openAnyway,
	bool async)
{
	return Go(where, deliversMessage, openAnyway, BRect(), async);
}


BMenuItem*
BPopUpMenu::Go(BPoint where, bool deliversMessage, bool openAnyway,
	BRect clickToOpen, bool async)
{
	B_UNUSED(openAnyway);
	B_UNUSED(clickToOpen);
	BMenu::Private menu(this);
	if (menu.Tracker() != NULL || Window() != NULL || Supermenu() != NULL)
		return NULL;

	std::shared_ptr<PopUpResult> result = std::make_shared<PopUpResult>();
	PopUpLooper* looper = new PopUpLooper(this, where, deliversMessage,
		async && fAutoDestruct, result);
	menu.SetTracker(new MenuTracker(this, BMessenger(looper)));
	looper->Run();
	looper->PostMessage(kMsgStartTracking);
	if (async)
		return NULL;

	std::unique_lock<std::mutex> lock(result->lock);
	result->condition.wait(lock, [&result] { return result->done; });
	return result->chosen;
}


void
BPopUpMenu::SetAsyncAutoDestruct(bool on)
{
	fAutoDestruct = on;
}


bool
BPopUpMenu::AsyncAutoDestruct() const
{
	return fAutoDestruct;
}


BPoint
BPopUpMenu::ScreenLocation()
{
	return BMenu::ScreenLocation();
}
