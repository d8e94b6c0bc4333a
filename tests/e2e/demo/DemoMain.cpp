/*
 * kits-demo: a small program of the kits for the end-to-end tests, run on
 * a real X server. Each window has an echo view that shows what was
 * typed into it and puts it in the window's title ("Demo N: text"), so a
 * test can read it from outside. What happens is printed on standard
 * output, one line each:
 *
 *   ready N            every window is shown
 *   typed N TEXT       the text of window N changed
 *   clicked N X Y C    a click (C clicks) at X, Y in window N
 *   wheel N DX DY      the wheel turned over window N
 *   dropped N PATH     a file was dropped on window N (one line a file)
 *   resized N W H      window N got a new size
 *   closing N          window N was asked to close and does
 *
 *   kits-demo [--windows COUNT]
 */
#include <Application.h>
#include <Entry.h>
#include <InterfaceDefs.h>
#include <Message.h>
#include <Path.h>
#include <View.h>
#include <Window.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

namespace {

class EchoView : public BView {
public:
	EchoView(BRect frame, int32 number)
		:
		BView(frame, "echo", B_FOLLOW_ALL_SIDES, B_WILL_DRAW),
		fNumber(number)
	{
		SetViewColor(255, 255, 255);
	}

	void AttachedToWindow() override
	{
		MakeFocus(true);
	}

	void Draw(BRect) override
	{
		SetHighColor(0, 0, 0);
		DrawString(fText.empty() ? "Type here" : fText.c_str(),
			BPoint(8, 20));
	}

	void KeyDown(const char* bytes, int32 numBytes) override
	{
		if (numBytes == 1 && bytes[0] == B_BACKSPACE) {
			// Back over one whole UTF-8 character.
			while (!fText.empty() && ((uint8)fText.back() & 0xc0) == 0x80)
				fText.pop_back();
			if (!fText.empty())
				fText.pop_back();
		} else if (numBytes == 1 && (uint8)bytes[0] < 0x20) {
			return;
		} else
			fText.append(bytes, numBytes);
		_Changed();
	}

	void MouseDown(BPoint where) override
	{
		int32 clicks = 1;
		if (Window()->CurrentMessage() != NULL)
			clicks = Window()->CurrentMessage()->GetInt32("clicks", 1);
		printf("clicked %d %.0f %.0f %d\n", (int)fNumber, where.x, where.y,
			(int)clicks);
		MakeFocus(true);
	}

	void MessageReceived(BMessage* message) override
	{
		if (message->what == B_MOUSE_WHEEL_CHANGED) {
			printf("wheel %d %g %g\n", (int)fNumber,
				message->GetFloat("be:wheel_delta_x", 0),
				message->GetFloat("be:wheel_delta_y", 0));
			return;
		}
		if (message->what == B_SIMPLE_DATA && message->WasDropped()) {
			entry_ref ref;
			for (int32 i = 0; message->FindRef("refs", i, &ref) == B_OK;
					i++) {
				BPath path(&ref);
				printf("dropped %d %s\n", (int)fNumber, path.Path());
			}
			return;
		}
		BView::MessageReceived(message);
	}

private:
	void _Changed()
	{
		std::string title = "Demo " + std::to_string(fNumber) + ": "
			+ fText;
		Window()->SetTitle(title.c_str());
		printf("typed %d %s\n", (int)fNumber, fText.c_str());
		Invalidate();
	}

	int32				fNumber;
	std::string			fText;
};


class DemoWindow : public BWindow {
public:
	DemoWindow(BRect frame, int32 number)
		:
		BWindow(frame, ("Demo " + std::to_string(number)).c_str(),
			B_TITLED_WINDOW, 0),
		fNumber(number)
	{
		AddChild(new EchoView(Bounds(), number));
	}

	void FrameResized(float width, float height) override
	{
		printf("resized %d %.0f %.0f\n", (int)fNumber, width, height);
	}

	bool QuitRequested() override
	{
		printf("closing %d\n", (int)fNumber);
		be_app_messenger.SendMessage('clsd');
		return true;
	}

private:
	int32				fNumber;
};


class DemoApp : public BApplication {
public:
	DemoApp(int32 windows)
		:
		BApplication("application/x-vnd.Orvane-KitsDemo"),
		fWindows(windows),
		fOpen(0)
	{
	}

	void ReadyToRun() override
	{
		for (int32 i = 1; i <= fWindows; i++) {
			BRect frame(40 + 30 * (i - 1), 40 + 30 * (i - 1), 0, 0);
			frame.right = frame.left + 319;
			frame.bottom = frame.top + 119;
			(new DemoWindow(frame, i))->Show();
			fOpen++;
		}
		printf("ready %d\n", (int)fWindows);
	}

	void MessageReceived(BMessage* message) override
	{
		if (message->what == 'clsd') {
			if (--fOpen <= 0)
				PostMessage(B_QUIT_REQUESTED);
			return;
		}
		BApplication::MessageReceived(message);
	}

private:
	int32				fWindows;
	int32				fOpen;
};

}	// namespace


int
main(int argc, char** argv)
{
	int32 windows = 1;
	for (int i = 1; i < argc; i++) {
		if (strcmp(argv[i], "--windows") == 0 && i + 1 < argc)
			windows = atoi(argv[++i]);
	}
	if (windows < 1 || windows > 100) {
		fprintf(stderr, "kits-demo: --windows takes 1 to 100\n");
		return 2;
	}
	DemoApp application(windows);
	application.Run();
	return 0;
}
