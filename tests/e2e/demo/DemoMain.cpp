/*
 * kits-demo: a small program of the kits for the end-to-end tests, run on
 * a real X server. Each window holds a text view whose text is also the
 * window's title ("Demo N: text"), so a test can read it from outside. What happens is printed on standard
 * output, one line each:
 *
 *   ready N            every window is shown
 *   activated N        window N has the keyboard
 *   typed N TEXT       the text of window N changed
 *   clicked N X Y C    a click (C clicks) at X, Y in window N's
 *                      coordinates
 *   wheel N DX DY      the wheel turned over window N
 *   dropped N PATH     a file was dropped on window N (one line a file)
 *   resized N W H      window N got a new size
 *   cleared N          the Clear button of window N was pressed
 *   upper N, lower N   Edit > Upper case or Lower case acted on window N
 *   line N L           Lines > Line L was chosen in window N (a menu
 *                      taller than the screen)
 *   closing N          window N was asked to close and does
 *
 *   kits-demo [--windows COUNT]
 */
#include <Application.h>
#include <Button.h>
#include <Entry.h>
#include <InterfaceDefs.h>
#include <Menu.h>
#include <MenuBar.h>
#include <MenuItem.h>
#include <Message.h>
#include <Path.h>
#include <TextView.h>
#include <View.h>
#include <Window.h>

#include <ctype.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

namespace {

// The window's text: a text view that reports each change of its text
// in the window's title and on standard output.
class DemoTextView : public BTextView {
public:
	DemoTextView(BRect frame, int32 number)
		:
		BTextView(frame, "text", frame.OffsetToCopy(0, 0).InsetByCopy(4, 4),
			B_FOLLOW_ALL_SIDES, B_WILL_DRAW | B_NAVIGABLE),
		fNumber(number)
	{
	}

	void AttachedToWindow() override
	{
		BTextView::AttachedToWindow();
		MakeFocus(true);
	}

	void MouseDown(BPoint where) override
	{
		int32 clicks = 1;
		if (Window()->CurrentMessage() != NULL)
			clicks = Window()->CurrentMessage()->GetInt32("clicks", 1);
		BPoint inWindow = ConvertToWindow(where);
		printf("clicked %d %.0f %.0f %d\n", (int)fNumber, inWindow.x,
			inWindow.y, (int)clicks);
		BTextView::MouseDown(where);
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
		BTextView::MessageReceived(message);
	}

protected:
	void InsertText(const char* text, int32 length, int32 offset,
		const text_run_array* runs) override
	{
		BTextView::InsertText(text, length, offset, runs);
		_Changed();
	}

	void DeleteText(int32 fromOffset, int32 toOffset) override
	{
		BTextView::DeleteText(fromOffset, toOffset);
		_Changed();
	}

private:
	void _Changed()
	{
		std::string text(Text(), TextLength());
		std::string title = "Demo " + std::to_string(fNumber) + ": " + text;
		Window()->SetTitle(title.c_str());
		printf("typed %d %s\n", (int)fNumber, text.c_str());
	}

	int32				fNumber;
};


class DemoWindow : public BWindow {
public:
	DemoWindow(BRect frame, int32 number)
		:
		BWindow(frame, ("Demo " + std::to_string(number)).c_str(),
			B_TITLED_WINDOW, 0),
		fNumber(number)
	{
		// A menu bar, the text, a strip of the panel's grey with a button.
		BMenuBar* menuBar = new BMenuBar(Bounds(), "menu bar");
		BMenu* editMenu = new BMenu("Edit");
		editMenu->AddItem(new BMenuItem("Upper case",
			new BMessage(kMsgUpperCase), 'U'));
		editMenu->AddItem(new BMenuItem("Lower case",
			new BMessage(kMsgLowerCase), 'L'));
		menuBar->AddItem(editMenu);
		BMenu* linesMenu = new BMenu("Lines");
		for (int32 line = 1; line <= kLines; line++) {
			char label[16];
			snprintf(label, sizeof(label), "Line %03d", (int)line);
			BMessage* message = new BMessage(kMsgLine);
			message->AddInt32("line", line);
			linesMenu->AddItem(new BMenuItem(label, message));
		}
		menuBar->AddItem(linesMenu);
		AddChild(menuBar);

		BRect textFrame = Bounds();
		textFrame.top = menuBar->Frame().bottom + 1;
		textFrame.bottom -= kStripHeight;
		fTextView = new DemoTextView(textFrame, number);
		AddChild(fTextView);
		BRect buttonFrame(Bounds().right - 79, textFrame.bottom + 6,
			Bounds().right - 8, Bounds().bottom - 6);
		AddChild(new BButton(buttonFrame, "clear", "Clear",
			new BMessage(kMsgClear), B_FOLLOW_RIGHT | B_FOLLOW_BOTTOM));
	}

	void MessageReceived(BMessage* message) override
	{
		switch (message->what) {
			case kMsgClear:
				printf("cleared %d\n", (int)fNumber);
				fTextView->Delete(0, fTextView->TextLength());
				return;
			case kMsgUpperCase:
			case kMsgLowerCase:
				_ChangeCase(message->what == kMsgUpperCase);
				return;
			case kMsgLine:
				printf("line %d %d\n", (int)fNumber,
					(int)message->GetInt32("line", 0));
				return;
		}
		BWindow::MessageReceived(message);
	}

	void WindowActivated(bool active) override
	{
		if (active)
			printf("activated %d\n", (int)fNumber);
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
	void _ChangeCase(bool upper)
	{
		std::string text(fTextView->Text(), fTextView->TextLength());
		for (char& c : text)
			c = (char)(upper ? toupper((uint8)c) : tolower((uint8)c));
		printf("%s %d\n", upper ? "upper" : "lower", (int)fNumber);
		fTextView->SelectAll();
		fTextView->Delete();
		fTextView->Insert(text.c_str());
	}

	static const uint32	kMsgClear = 'clr ';
	static const uint32	kMsgUpperCase = 'uppr';
	static const uint32	kMsgLowerCase = 'lowr';
	static const uint32	kMsgLine = 'line';
	static const int32	kLines = 200;
	static const int32	kStripHeight = 36;

	int32				fNumber;
	DemoTextView*		fTextView;
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
			frame.bottom = frame.top + 159;
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
