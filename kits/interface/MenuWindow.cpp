/*
 * MenuWindow: the borderless window an open menu is shown in. It draws
 * the menu on its own thread and sends what the pointer and the keys do
 * to the tracking session, in screen coordinates, never handling them
 * itself: the session sees every open menu at once.
 */
#include "MenuWindow.h"
#include "AccessibilityHooks.h"

#include <Message.h>

#include "ServerProtocol.h"

namespace BPrivate {

MenuWindow::MenuWindow(BRect frame, BMessenger tracker)
	:
	BWindow(frame, "menu", B_NO_BORDER_WINDOW_LOOK,
		(window_feel)kMenuWindowFeel, B_AVOID_FOCUS | B_NOT_MOVABLE
			| B_NOT_CLOSABLE | B_NOT_ZOOMABLE | B_NOT_MINIMIZABLE
			| B_NOT_RESIZABLE | B_WILL_ACCEPT_FIRST_CLICK),
	fTracker(tracker)
{
}


void
MenuWindow::DispatchMessage(BMessage* message, BHandler* handler)
{
	switch (message->what) {
		case B_MOUSE_DOWN:
		case B_MOUSE_UP:
		case B_MOUSE_MOVED:
		case kMsgMenuClickOutside:
		{
			BPoint screen;
			if (message->FindPoint("screen_where", &screen) != B_OK) {
				BPoint where;
				message->FindPoint("where", &where);
				screen = ConvertToScreen(where);
			}
			BMessage forward(kMsgMenuPointer);
			forward.AddInt32("event", message->what == kMsgMenuClickOutside
				? (int32)B_MOUSE_DOWN : (int32)message->what);
			forward.AddPoint("screen_where", screen);
			forward.AddInt32("buttons", message->GetInt32("buttons",
				message->what == B_MOUSE_UP ? 0 : B_PRIMARY_MOUSE_BUTTON));
			fTracker.SendMessage(&forward);
			break;
		}
		case B_MOUSE_WHEEL_CHANGED:
		{
			// The wheel scrolls the menu it turns over.
			BMessage forward(kMsgMenuPointer);
			forward.AddInt32("event", kMenuWheelEvent);
			forward.AddPoint("screen_where", ConvertToScreen(
				BPoint(Bounds().Width() / 2, Bounds().Height() / 2)));
			forward.AddFloat("delta",
				message->GetFloat("be:wheel_delta_y", 0));
			fTracker.SendMessage(&forward);
			break;
		}
		case B_KEY_DOWN:
		{
			accessible_key(message, true);
			BMessage forward(*message);
			forward.what = kMsgMenuKey;
			fTracker.SendMessage(&forward);
			break;
		}
		case B_KEY_UP:
			accessible_key(message, false);
			break;
		default:
			BWindow::DispatchMessage(message, handler);
			break;
	}
}

}	// namespace BPrivate
