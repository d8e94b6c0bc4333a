/*
 * The display server and its offscreen backend, below the windows:
 * - the backend keeps a window's pixels, keeps them across a resize where
 *   they fit, reads them back and writes a PNG; unknown windows and
 *   pixels outside are refused;
 * - injected events come back out of the backend in order, and a resize
 *   or move injected changes the backend's window first;
 * - Wake() ends a wait early; the clipboard holds text;
 * - the server turns injected events into the platform's messages for
 *   the window's messenger (keys with every field, mouse transit, the
 *   close box, drops with refs and WasDropped());
 * - every request answers: those naming a window the server does not
 *   know fail with B_BAD_VALUE and change nothing, the others succeed;
 *   a window's title and activation come back in its info;
 * - a request or an event cannot be built without every field it needs;
 * - behind a modal window, each kind of event goes where it should;
 * - a program that cannot reach a display, or names an unknown backend,
 *   says so in one line and exits non-zero; a window without an
 *   application stops with a message.
 */
#include <Application.h>
#include <InterfaceDefs.h>
#include <Looper.h>
#include <Message.h>
#include <Window.h>

#include "DisplayServer.h"
#include "OffscreenBackend.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <type_traits>
#include <variant>
#include <deque>
#include <fstream>
#include <mutex>
#include <stdlib.h>
#include <unistd.h>

using namespace BPrivate;

namespace {

const bigtime_t kPatience = 10000000;


// A looper that keeps what it receives for the test to wait on.
class InboxLooper : public BLooper {
public:
	InboxLooper() : BLooper("inbox") {}

	// Everything is kept, B_QUIT_REQUESTED too.
	virtual void DispatchMessage(BMessage* message, BHandler* handler)
	{
		B_UNUSED(handler);
		std::lock_guard<std::mutex> guard(fLock);
		fMessages.push_back(*message);
		fCondition.notify_all();
	}

	// The next message, or one with what 0 when none came in time.
	BMessage Next()
	{
		std::unique_lock<std::mutex> lock(fLock);
		fCondition.wait_for(lock, std::chrono::microseconds(kPatience),
			[this] { return !fMessages.empty(); });
		if (fMessages.empty())
			return BMessage((uint32)0);
		BMessage message = fMessages.front();
		fMessages.pop_front();
		return message;
	}

private:
	std::mutex fLock;
	std::condition_variable fCondition;
	std::deque<BMessage> fMessages;
};


uint32
read_pixel(OffscreenBackend& backend, int32 window, float x, float y)
{
	uint32 pixel = 0;
	EXPECT_EQ(backend.ReadPixel(window, BPoint(x, y), pixel), B_OK);
	return pixel;
}

}	// namespace


TEST(OffscreenBackendTest, KeepsPixelsAcrossResizes)
{
	OffscreenBackend backend;
	ASSERT_EQ(backend.CreateWindow(1, BRect(100, 100, 109, 104), 0, 0, 0,
		"pixels"), B_OK);
	EXPECT_EQ(backend.CreateWindow(1, BRect(0, 0, 1, 1), 0, 0, 0, "again"),
		B_BAD_VALUE);

	// A 10 x 5 image with one red pixel at (3, 2) and green elsewhere.
	std::vector<uint32> image(10 * 5, 0xff00ff00);
	image[2 * 10 + 3] = 0xffff0000;
	backend.PutPixels(1, (const uint8*)image.data(), 10 * 4, 10, 5,
		BRect(0, 0, 9, 4));
	EXPECT_EQ(read_pixel(backend, 1, 3, 2), 0xffff0000u);
	EXPECT_EQ(read_pixel(backend, 1, 9, 4), 0xff00ff00u);

	uint32 pixel;
	EXPECT_EQ(backend.ReadPixel(1, BPoint(10, 0), pixel), B_BAD_VALUE);
	EXPECT_EQ(backend.ReadPixel(1, BPoint(-1, 0), pixel), B_BAD_VALUE);
	EXPECT_EQ(backend.ReadPixel(2, BPoint(0, 0), pixel), B_BAD_VALUE);

	// Only the named area is put on the screen.
	std::vector<uint32> blue(10 * 5, 0xff0000ff);
	backend.PutPixels(1, (const uint8*)blue.data(), 10 * 4, 10, 5,
		BRect(0, 0, 0, 0));
	EXPECT_EQ(read_pixel(backend, 1, 0, 0), 0xff0000ffu);
	EXPECT_EQ(read_pixel(backend, 1, 1, 0), 0xff00ff00u);

	backend.ResizeWindow(1, 19, 2);
	EXPECT_EQ(read_pixel(backend, 1, 3, 2), 0xffff0000u);
	EXPECT_EQ(read_pixel(backend, 1, 19, 2), 0xffd8d8d8u);
	EXPECT_EQ(backend.ReadPixel(1, BPoint(3, 3), pixel), B_BAD_VALUE);

	char path[] = "/tmp/offscreen-XXXXXX.png";
	int fd = mkstemps(path, 4);
	ASSERT_GE(fd, 0);
	close(fd);
	ASSERT_EQ(backend.WritePNG(1, path), B_OK);
	std::ifstream file(path, std::ios::binary);
	char signature[8] = {};
	file.read(signature, 8);
	EXPECT_EQ(std::string(signature + 1, 3), "PNG");
	unlink(path);
	EXPECT_EQ(backend.WritePNG(7, path), B_BAD_VALUE);

	backend.DestroyWindow(1);
	EXPECT_EQ(backend.ReadPixel(1, BPoint(0, 0), pixel), B_BAD_VALUE);
}


TEST(OffscreenBackendTest, InjectedEventsComeOutInOrder)
{
	OffscreenBackend backend;
	ASSERT_EQ(backend.CreateWindow(4, BRect(0, 0, 49, 49), 0, 0, 0, "w"),
		B_OK);

	ServerEvent out;
	EXPECT_FALSE(backend.WaitForEvent(0, out));

	EXPECT_EQ(backend.InjectEvent(ServerEvent(5,
		KeyDownEvent("", 0, 0, 0, 0))), B_BAD_VALUE);

	ASSERT_EQ(backend.InjectEvent(ServerEvent(4,
		KeyDownEvent("a", 0, 0, 0, 0))), B_OK);
	ASSERT_EQ(backend.InjectEvent(ServerEvent(4, ResizedEvent(99, 9))),
		B_OK);
	// The window manager resized the image before the program hears.
	uint32 pixel;
	EXPECT_EQ(backend.ReadPixel(4, BPoint(99, 9), pixel), B_OK);

	EXPECT_EQ(backend.InjectEvent(ServerEvent(4, ResizedEvent(-1, 9))),
		B_BAD_VALUE);

	ASSERT_TRUE(backend.WaitForEvent(0, out));
	const KeyDownEvent* key = out.As<KeyDownEvent>();
	ASSERT_NE(key, nullptr);
	EXPECT_EQ(key->bytes, "a");
	ASSERT_TRUE(backend.WaitForEvent(0, out));
	EXPECT_TRUE(out.Is<ResizedEvent>());
	EXPECT_FALSE(backend.WaitForEvent(0, out));

	// A wake ends the wait without an event.
	std::thread waker([&backend] { backend.Wake(); });
	EXPECT_FALSE(backend.WaitForEvent(kPatience, out));
	waker.join();

	std::string text;
	EXPECT_EQ(backend.GetClipboardText(text), B_OK);
	EXPECT_EQ(text, "");
	backend.SetClipboardText("copied \xc3\xa9");
	backend.GetClipboardText(text);
	EXPECT_EQ(text, "copied \xc3\xa9");
}


class DisplayServerTest : public ::testing::Test {
protected:
	void SetUp() override
	{
		setenv("KITS_DISPLAY", "offscreen", 1);
		fInbox = new InboxLooper;
		fInbox->Run();
		DisplayServer& server = DisplayServer::Default();
		fWindow = server.NewWindowID();
		server.Post(CreateWindowRequest(fWindow, BRect(200, 100, 299, 149),
			0, 0, 0, "server test", BMessenger(fInbox)));
	}

	void TearDown() override
	{
		DisplayServer::Default().Post(DestroyWindowRequest(fWindow));
		fInbox->Lock();
		fInbox->Quit();
	}

	status_t Inject(ServerEvent::What what)
	{
		return DisplayServer::Default().Call(
			InjectEventRequest(ServerEvent(fWindow, std::move(what))));
	}

	InboxLooper* fInbox;
	int32 fWindow;
};


TEST_F(DisplayServerTest, KeysBecomeKeyMessages)
{
	ASSERT_EQ(Inject(KeyDownEvent("\xc3\xa9", 0x29, B_OPTION_KEY, 'e', 0)),
		B_OK);

	BMessage message = fInbox->Next();
	EXPECT_EQ(message.what, (uint32)B_KEY_DOWN);
	EXPECT_STREQ(message.GetString("bytes"), "\xc3\xa9");
	EXPECT_EQ(message.GetInt32("key", 0), 0x29);
	EXPECT_EQ(message.GetInt32("raw_char", 0), 'e');
	EXPECT_EQ(message.GetInt32("modifiers", 0), B_OPTION_KEY);
	int8 byte;
	EXPECT_EQ(message.FindInt8("byte", 1, &byte), B_OK);
	EXPECT_EQ((uint8)byte, 0xa9);
	EXPECT_TRUE(message.HasInt64("when"));
	EXPECT_EQ(modifiers(), (uint32)B_OPTION_KEY);

	ASSERT_EQ(Inject(KeyUpEvent("\xc3\xa9", 0x29, B_OPTION_KEY, 'e', 0)),
		B_OK);
	EXPECT_EQ(fInbox->Next().what, (uint32)B_KEY_UP);
}


TEST_F(DisplayServerTest, MouseMessagesCarryTransitAndPosition)
{
	MouseMovedEvent moved(BPoint(10, 20), 0, 0);
	ASSERT_EQ(Inject(moved), B_OK);
	BMessage message = fInbox->Next();
	EXPECT_EQ(message.what, (uint32)B_MOUSE_MOVED);
	EXPECT_EQ(message.GetInt32("be:transit", -1), B_ENTERED_VIEW);

	ASSERT_EQ(Inject(moved), B_OK);
	EXPECT_EQ(fInbox->Next().GetInt32("be:transit", -1), B_INSIDE_VIEW);

	ASSERT_EQ(Inject(MouseDownEvent(BPoint(10, 20), B_SECONDARY_MOUSE_BUTTON,
		0, 2)), B_OK);
	// A click activates the window first.
	message = fInbox->Next();
	EXPECT_EQ(message.what, (uint32)B_WINDOW_ACTIVATED);
	EXPECT_TRUE(message.GetBool("active"));
	message = fInbox->Next();
	EXPECT_EQ(message.what, (uint32)B_MOUSE_DOWN);
	BPoint where;
	EXPECT_EQ(message.FindPoint("where", &where), B_OK);
	EXPECT_EQ(where, BPoint(10, 20));
	EXPECT_EQ(message.GetInt32("buttons", 0), B_SECONDARY_MOUSE_BUTTON);
	EXPECT_EQ(message.GetInt32("clicks", 0), 2);

	BPoint screen;
	uint32 buttons;
	DisplayServer::Default().GetPointer(screen, buttons);
	EXPECT_EQ(screen, BPoint(210, 120));
	EXPECT_EQ(buttons, (uint32)B_SECONDARY_MOUSE_BUTTON);

	ASSERT_EQ(Inject(MouseExitedEvent(BPoint(10, 20),
		B_SECONDARY_MOUSE_BUTTON, 0)), B_OK);
	EXPECT_EQ(fInbox->Next().GetInt32("be:transit", -1), B_EXITED_VIEW);

	ASSERT_EQ(Inject(MouseWheelEvent(0, 3, 0)), B_OK);
	message = fInbox->Next();
	EXPECT_EQ(message.what, (uint32)B_MOUSE_WHEEL_CHANGED);
	EXPECT_FLOAT_EQ(message.GetFloat("be:wheel_delta_y", 0), 3);
}


TEST_F(DisplayServerTest, WindowManagerEvents)
{
	ASSERT_EQ(Inject(CloseRequestedEvent()), B_OK);
	EXPECT_EQ(fInbox->Next().what, (uint32)B_QUIT_REQUESTED);

	ASSERT_EQ(Inject(ResizedEvent(300, 200)), B_OK);
	BMessage message = fInbox->Next();
	EXPECT_EQ(message.what, (uint32)B_WINDOW_RESIZED);
	EXPECT_FLOAT_EQ(message.GetFloat("width", 0), 300);
	EXPECT_FLOAT_EQ(message.GetFloat("height", 0), 200);

	ASSERT_EQ(Inject(MovedEvent(BPoint(7, 8))), B_OK);
	message = fInbox->Next();
	EXPECT_EQ(message.what, (uint32)B_WINDOW_MOVED);
	BPoint where;
	message.FindPoint("where", &where);
	EXPECT_EQ(where, BPoint(7, 8));

	// Only files that exist make it into a drop.
	char path[] = "/tmp/dropped-XXXXXX";
	int fd = mkstemp(path);
	ASSERT_GE(fd, 0);
	close(fd);
	ASSERT_EQ(Inject(FilesDroppedEvent(BPoint(5, 6),
		{ "/nonexistent/orvane/file", path })), B_OK);
	message = fInbox->Next();
	unlink(path);
	EXPECT_EQ(message.what, (uint32)B_SIMPLE_DATA);
	EXPECT_TRUE(message.WasDropped());
	EXPECT_EQ(message.DropPoint(), BPoint(12, 14));
	type_code type;
	int32 count = 0;
	EXPECT_EQ(message.GetInfo("refs", &type, &count), B_OK);
	EXPECT_EQ(count, 1);
}


// A menu window never takes the keyboard: neither a click in it nor a
// request to activate it makes the window that opened it inactive.
TEST_F(DisplayServerTest, MenuWindowsNeverBecomeActive)
{
	DisplayServer& server = DisplayServer::Default();
	InboxLooper* menuInbox = new InboxLooper;
	menuInbox->Run();
	int32 menu = server.NewWindowID();
	server.Post(CreateWindowRequest(menu, BRect(210, 120, 279, 189), 0,
		kMenuWindowFeel, 0, "menu", BMessenger(menuInbox)));

	for (int32 window : { fWindow, menu })
		server.Post(ShowWindowRequest(window));
	server.Post(ActivateWindowRequest(fWindow, true));
	BMessage message = fInbox->Next();
	EXPECT_EQ(message.what, (uint32)B_WINDOW_ACTIVATED);
	EXPECT_TRUE(message.GetBool("active", false));

	server.Post(ActivateWindowRequest(menu, true));
	ServerEvent click(menu, MouseDownEvent(BPoint(5, 5),
		B_PRIMARY_MOUSE_BUTTON, 0, 0));
	ASSERT_EQ(server.Call(InjectEventRequest(click)), B_OK);

	// Messages to a looper keep their order: had the window been made
	// inactive, that would come before this move.
	ASSERT_EQ(Inject(MovedEvent(BPoint(20, 30))), B_OK);
	EXPECT_EQ(fInbox->Next().what, (uint32)B_WINDOW_MOVED);
	EXPECT_EQ(menuInbox->Next().what, (uint32)B_MOUSE_DOWN);

	server.Post(DestroyWindowRequest(menu));
	menuInbox->Lock();
	menuInbox->Quit();
}


TEST_F(DisplayServerTest, PresentedPixelsReachTheScreen)
{
	DisplayServer::Default().Post(PresentRequest(fWindow, BRect(2, 3, 3, 3), 1,
		{ 0xff112233, 0xff445566 }));

	uint32 pixel = 0;
	ASSERT_EQ(DisplayServer::Default().Call(
		ReadPixelRequest(fWindow, BPoint(3, 3)), pixel), B_OK);
	EXPECT_EQ(pixel, 0xff445566u);

	// A present whose pixels do not match its area is ignored.
	DisplayServer::Default().Post(PresentRequest(fWindow, BRect(0, 0, 9, 9), 1,
		{ 0xffffffff }));
	ASSERT_EQ(DisplayServer::Default().Call(
		ReadPixelRequest(fWindow, BPoint(0, 0)), pixel), B_OK);
	EXPECT_NE(pixel, 0xffffffffu);

	DisplayServer::Default().Post(SetClipboardRequest(false, "clip"));
	std::string text;
	ASSERT_EQ(DisplayServer::Default().Call(GetClipboardRequest(false),
		text), B_OK);
	EXPECT_EQ(text, "clip");
}


// A request or an event built without one of its fields does not
// compile: only the types that carry nothing can be made empty.
template<typename... Types>
constexpr bool
only_empty_types_default(std::variant<Types...>*)
{
	return ((std::is_default_constructible_v<Types>
		== std::is_empty_v<Types>) && ...);
}

static_assert(only_empty_types_default((ServerRequest*)nullptr),
	"a request with fields must be given all of them");
static_assert(only_empty_types_default((ServerEvent::What*)nullptr),
	"an event with fields must be given all of them");


TEST_F(DisplayServerTest, EveryRequestAnswers)
{
	DisplayServer& server = DisplayServer::Default();
	const int32 kUnknown = server.NewWindowID();
	struct Case {
		const char*		name;
		ServerRequest	request;
		status_t		status;
	};
	Case cases[] = {
		// A window the server never heard of.
		{ "destroy unknown", DestroyWindowRequest(kUnknown), B_BAD_VALUE },
		{ "show unknown", ShowWindowRequest(kUnknown), B_BAD_VALUE },
		{ "hide unknown", HideWindowRequest(kUnknown), B_BAD_VALUE },
		{ "move unknown", MoveWindowRequest(kUnknown, BPoint(1, 2)),
			B_BAD_VALUE },
		{ "resize unknown", ResizeWindowRequest(kUnknown, 10, 10),
			B_BAD_VALUE },
		{ "title unknown", SetTitleRequest(kUnknown, "x"), B_BAD_VALUE },
		{ "flags unknown", SetFlagsRequest(kUnknown, 0, 0, 0), B_BAD_VALUE },
		{ "present unknown", PresentRequest(kUnknown, BRect(0, 0, 0, 0), 1,
			{ 0xff000000 }), B_BAD_VALUE },
		{ "activate unknown", ActivateWindowRequest(kUnknown, true),
			B_BAD_VALUE },
		{ "serve unknown", SetServedWindowRequest(kUnknown, fWindow),
			B_BAD_VALUE },
		{ "subset unknown", SetSubsetRequest(kUnknown, fWindow, true),
			B_BAD_VALUE },
		{ "info unknown", GetWindowInfoRequest(kUnknown), B_BAD_VALUE },
		{ "pixel unknown", ReadPixelRequest(kUnknown, BPoint(0, 0)),
			B_BAD_VALUE },
		// The test's own window, and the requests that name none.
		{ "show", ShowWindowRequest(fWindow), B_OK },
		{ "show again", ShowWindowRequest(fWindow), B_OK },
		{ "move", MoveWindowRequest(fWindow, BPoint(220, 110)), B_OK },
		{ "resize", ResizeWindowRequest(fWindow, 119, 59), B_OK },
		{ "title", SetTitleRequest(fWindow, "renamed"), B_OK },
		{ "flags", SetFlagsRequest(fWindow, 0, 0, 0), B_OK },
		{ "present outside", PresentRequest(fWindow, BRect(-1, 0, 0, 0), 1,
			{ 0xff000000, 0xff000000 }), B_OK },
		{ "activate", ActivateWindowRequest(fWindow, true), B_OK },
		{ "pixel", ReadPixelRequest(fWindow, BPoint(0, 0)), B_OK },
		{ "cursor", SetCursorRequest(kCursorIBeam), B_OK },
		{ "beep", BeepRequest(), B_OK },
		{ "sync", SyncRequest(), B_OK },
		{ "screen", GetScreenFrameRequest(), B_OK },
		{ "create twice", CreateWindowRequest(fWindow, BRect(0, 0, 9, 9), 0,
			0, 0, "twice", BMessenger(fInbox)), B_OK },
	};
	for (Case& test : cases) {
		SCOPED_TRACE(test.name);
		EXPECT_EQ(server.Call(std::move(test.request)), test.status);
	}

	// What stuck: the last title, not the second create's, and the
	// keyboard.
	ScreenWindowInfo info;
	ASSERT_EQ(server.Call(GetWindowInfoRequest(fWindow), info), B_OK);
	EXPECT_EQ(info.title, "renamed");
	EXPECT_TRUE(info.active);
	EXPECT_EQ(info.servedWindow, 0);
	BRect screen;
	ASSERT_EQ(server.Call(GetScreenFrameRequest(), screen), B_OK);
	EXPECT_TRUE(screen.IsValid());
	EXPECT_EQ(fInbox->Next().what, (uint32)B_WINDOW_ACTIVATED);
}


// While a modal window is shown, what a window behind it gets of each
// event: keys go to the modal window, a click or an activation brings it
// forward instead, the pointer and the close box reach nobody, and
// resizes, moves and exposures still reach the window.
TEST_F(DisplayServerTest, ModalWindowTakesTheInput)
{
	DisplayServer& server = DisplayServer::Default();
	InboxLooper* modalInbox = new InboxLooper;
	modalInbox->Run();
	int32 modal = server.NewWindowID();
	const uint32 kModalAppFeel = 1;
	server.Post(CreateWindowRequest(modal, BRect(220, 110, 269, 139), 0,
		kModalAppFeel, 0, "modal", BMessenger(modalInbox)));
	server.Post(ShowWindowRequest(fWindow));
	server.Post(ShowWindowRequest(modal));

	// What a looper got before the fence the test posts to it once the
	// server has handled the event (a request after the injection is
	// handled after the event).
	const uint32 kFence = 'fnce';
	auto received = [kFence](InboxLooper* inbox) {
		std::vector<uint32> whats;
		inbox->PostMessage(kFence);
		for (BMessage message = inbox->Next(); message.what != kFence;
				message = inbox->Next()) {
			if (message.what == 0) {
				ADD_FAILURE() << "the fence never came";
				break;
			}
			whats.push_back(message.what);
		}
		return whats;
	};

	struct Case {
		const char*				name;
		ServerEvent::What		event;
		std::vector<uint32>		window;
		std::vector<uint32>		modal;
	};
	const std::vector<uint32> kNothing;
	Case cases[] = {
		{ "key down", KeyDownEvent("a", 0x3c, 0, 'a', 0), kNothing,
			{ B_KEY_DOWN } },
		{ "key up", KeyUpEvent("a", 0x3c, 0, 'a', 0), kNothing,
			{ B_KEY_UP } },
		{ "click", MouseDownEvent(BPoint(1, 1), B_PRIMARY_MOUSE_BUTTON, 0,
			1), kNothing, { B_WINDOW_ACTIVATED } },
		{ "release", MouseUpEvent(BPoint(1, 1), 0, 0), kNothing, kNothing },
		{ "move", MouseMovedEvent(BPoint(2, 2), 0, 0), kNothing, kNothing },
		{ "exit", MouseExitedEvent(BPoint(2, 2), 0, 0), kNothing, kNothing },
		{ "wheel", MouseWheelEvent(0, 1, 0), kNothing, kNothing },
		{ "close box", CloseRequestedEvent(), kNothing, kNothing },
		{ "drop", FilesDroppedEvent(BPoint(1, 1), { "/" }), kNothing,
			kNothing },
		{ "activated", ActivatedEvent(true), kNothing, kNothing },
		{ "deactivated", ActivatedEvent(false), kNothing, kNothing },
		{ "resized", ResizedEvent(120, 60), { B_WINDOW_RESIZED }, kNothing },
		{ "moved", MovedEvent(BPoint(3, 4)), { B_WINDOW_MOVED }, kNothing },
		{ "exposed", ExposedEvent(), kNothing, kNothing },
	};
	for (Case& test : cases) {
		SCOPED_TRACE(test.name);
		ASSERT_EQ(Inject(std::move(test.event)), B_OK);
		ASSERT_EQ(server.Call(SyncRequest()), B_OK);
		EXPECT_EQ(received(fInbox), test.window);
		EXPECT_EQ(received(modalInbox), test.modal);
	}

	server.Post(DestroyWindowRequest(modal));
	modalInbox->Lock();
	modalInbox->Quit();
}


TEST(DisplayServerDeathTest, NoBackendIsOneLineAndAnExit)
{
	GTEST_FLAG_SET(death_test_style, "threadsafe");
	// The screen is the default; without one to reach the program says
	// so.
	EXPECT_EXIT({
		unsetenv("KITS_DISPLAY");
		unsetenv("DISPLAY");
		unsetenv("WAYLAND_DISPLAY");
		unsetenv("SDL_VIDEODRIVER");
		BApplication application("application/x-vnd.Orvane-NoDisplay");
		new BWindow(BRect(0, 0, 99, 99), "no display", B_TITLED_WINDOW, 0);
	}, ::testing::ExitedWithCode(1),
		"^Cannot reach a display \\([^\n]+\\); set KITS_DISPLAY=offscreen "
		"to run without a screen.\n$");
	EXPECT_EXIT({
		setenv("KITS_DISPLAY", "sdl", 1);
		setenv("DISPLAY", ":9999", 1);
		unsetenv("WAYLAND_DISPLAY");
		unsetenv("SDL_VIDEODRIVER");
		BApplication application("application/x-vnd.Orvane-NoDisplay");
		new BWindow(BRect(0, 0, 99, 99), "no display", B_TITLED_WINDOW, 0);
	}, ::testing::ExitedWithCode(1),
		// SDL's reason follows the display's name.
		"^Cannot reach a display \\(X11 display \":9999\": [^\n]+\\); set "
		"KITS_DISPLAY=offscreen to run without a screen.\n$");
	EXPECT_EXIT({
		setenv("KITS_DISPLAY", "vga", 1);
		BApplication application("application/x-vnd.Orvane-NoDisplay");
		new BWindow(BRect(0, 0, 99, 99), "no display", B_TITLED_WINDOW, 0);
	}, ::testing::ExitedWithCode(1), "Unknown display backend \"vga\"");
}


TEST(DisplayServerDeathTest, WindowWithoutApplicationStops)
{
	GTEST_FLAG_SET(death_test_style, "threadsafe");
	EXPECT_DEATH({
		setenv("KITS_DISPLAY", "offscreen", 1);
		new BWindow(BRect(0, 0, 99, 99), "orphan", B_TITLED_WINDOW, 0);
	}, "no BApplication exists");
}
