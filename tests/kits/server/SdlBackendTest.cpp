/*
 * The SDL backend on SDL's dummy video driver, which has windows and
 * window surfaces but no screen:
 * - windows are found by our ids whatever order SDL made them in, and
 *   SDL's events for them come out under our ids;
 * - the flags follow look, feel and flags: borderless looks, fixed
 *   sizes and sides, menu windows as pop-ups at their place;
 * - PutPixels puts the area, clipped to the window, on its surface;
 * - Wake() ends a long wait at once from another thread, and a burst of
 *   wakes leaves no flood behind; a drop's file names are freed;
 * - the clipboard keeps text, cut at a NUL;
 * - the screen's frame is the first display's bounds;
 * - a title of any bytes reaches SDL as UTF-8, invalid bytes as U+FFFD;
 * - unknown windows are ignored.
 */
#include "SdlBackend.h"

#include <InterfaceDefs.h>
#include <Window.h>

#include <gtest/gtest.h>

#include <chrono>
#include <stdlib.h>
#include <thread>

using namespace BPrivate;

namespace {

const bigtime_t kPatience = 10000000;


SDL_Window*
sdl_window_named(const char* title)
{
	for (uint32 id = 1; id < 256; id++) {
		SDL_Window* window = SDL_GetWindowFromID(id);
		if (window != NULL && strcmp(SDL_GetWindowTitle(window), title) == 0)
			return window;
	}
	return NULL;
}


class SdlBackendTest : public ::testing::Test {
protected:
	void SetUp() override
	{
		setenv("SDL_VIDEODRIVER", "dummy", 1);
		fBackend = new SdlBackend;
		ASSERT_EQ(fBackend->Open(), B_OK);
	}

	void TearDown() override
	{
		delete fBackend;
		unsetenv("SDL_VIDEODRIVER");
	}

	// The next event, skipping exposures.
	bool NextEvent(ServerEvent& _event, bigtime_t timeout = kPatience)
	{
		while (fBackend->WaitForEvent(timeout, _event)) {
			if (!_event.Is<ExposedEvent>())
				return true;
		}
		return false;
	}

	SdlBackend*	fBackend = NULL;
};

}	// namespace


TEST_F(SdlBackendTest, WindowsAreOursWhateverTheOrder)
{
	ASSERT_EQ(fBackend->CreateWindow(9, BRect(10, 10, 109, 59),
		B_TITLED_WINDOW_LOOK, B_NORMAL_WINDOW_FEEL, 0, "nine"), B_OK);
	ASSERT_EQ(fBackend->CreateWindow(3, BRect(10, 10, 109, 59),
		B_TITLED_WINDOW_LOOK, B_NORMAL_WINDOW_FEEL, 0, "three"), B_OK);
	EXPECT_EQ(fBackend->CreateWindow(3, BRect(0, 0, 9, 9),
		B_TITLED_WINDOW_LOOK, B_NORMAL_WINDOW_FEEL, 0, "again"), B_BAD_VALUE);

	SDL_Window* nine = sdl_window_named("nine");
	SDL_Window* three = sdl_window_named("three");
	ASSERT_NE(nine, nullptr);
	ASSERT_NE(three, nullptr);
	int width;
	int height;
	SDL_GetWindowSize(nine, &width, &height);
	EXPECT_EQ(width, 100);
	EXPECT_EQ(height, 50);

	// Drain what SDL said about making them.
	ServerEvent event;
	while (fBackend->WaitForEvent(0, event)) {
	}

	SDL_Event close;
	SDL_zero(close);
	close.type = SDL_WINDOWEVENT;
	close.window.event = SDL_WINDOWEVENT_CLOSE;
	close.window.windowID = SDL_GetWindowID(three);
	SDL_PushEvent(&close);
	close.window.windowID = SDL_GetWindowID(nine);
	SDL_PushEvent(&close);
	ASSERT_TRUE(NextEvent(event));
	EXPECT_TRUE(event.Is<CloseRequestedEvent>());
	EXPECT_EQ(event.window, 3);
	ASSERT_TRUE(NextEvent(event));
	EXPECT_EQ(event.window, 9);

	fBackend->SetTitle(3, "renamed");
	EXPECT_EQ(sdl_window_named("renamed"), three);

	// Once destroyed, its events go nowhere and calls on it do nothing.
	uint32 gone = SDL_GetWindowID(three);
	fBackend->DestroyWindow(3);
	fBackend->DestroyWindow(3);
	fBackend->ShowWindow(3);
	fBackend->ResizeWindow(3, 10, 10);
	uint32 pixel = 0;
	fBackend->PutPixels(3, (const uint8*)&pixel, 4, 1, 1, BRect(0, 0, 0, 0));
	close.window.windowID = gone;
	SDL_PushEvent(&close);
	EXPECT_FALSE(NextEvent(event, 0));
}


TEST_F(SdlBackendTest, FlagsFollowTheWindow)
{
	fBackend->CreateWindow(1, BRect(0, 0, 99, 99), B_TITLED_WINDOW_LOOK,
		B_NORMAL_WINDOW_FEEL, 0, "plain");
	fBackend->CreateWindow(2, BRect(0, 0, 99, 99), B_NO_BORDER_WINDOW_LOOK,
		B_NORMAL_WINDOW_FEEL, B_NOT_RESIZABLE, "bare");
	fBackend->CreateWindow(3, BRect(40, 50, 139, 199), B_NO_BORDER_WINDOW_LOOK,
		kMenuWindowFeel, 0, "menu");

	uint32 plain = SDL_GetWindowFlags(sdl_window_named("plain"));
	EXPECT_NE(plain & SDL_WINDOW_RESIZABLE, 0u);
	EXPECT_EQ(plain & SDL_WINDOW_BORDERLESS, 0u);
	EXPECT_NE(plain & SDL_WINDOW_HIDDEN, 0u);

	uint32 bare = SDL_GetWindowFlags(sdl_window_named("bare"));
	EXPECT_EQ(bare & SDL_WINDOW_RESIZABLE, 0u);
	EXPECT_NE(bare & SDL_WINDOW_BORDERLESS, 0u);

	SDL_Window* menuWindow = sdl_window_named("menu");
	uint32 menu = SDL_GetWindowFlags(menuWindow);
	uint32 popup = SDL_WINDOW_POPUP_MENU | SDL_WINDOW_BORDERLESS
		| SDL_WINDOW_SKIP_TASKBAR | SDL_WINDOW_ALWAYS_ON_TOP;
	EXPECT_EQ(menu & popup, popup);
	int x;
	int y;
	SDL_GetWindowPosition(menuWindow, &x, &y);
	EXPECT_EQ(x, 40);
	EXPECT_EQ(y, 50);

	// Resizable across only: the height stays what the program gives,
	// and the program still sets it.
	fBackend->SetFlags(1, B_TITLED_WINDOW_LOOK, B_NORMAL_WINDOW_FEEL,
		B_NOT_V_RESIZABLE);
	fBackend->ResizeWindow(1, 199, 49);
	int minWidth;
	int minHeight;
	int maxWidth;
	int maxHeight;
	SDL_Window* window = sdl_window_named("plain");
	SDL_GetWindowMinimumSize(window, &minWidth, &minHeight);
	SDL_GetWindowMaximumSize(window, &maxWidth, &maxHeight);
	EXPECT_EQ(minHeight, 50);
	EXPECT_EQ(maxHeight, 50);
	EXPECT_LT(minWidth, 200);
	EXPECT_GT(maxWidth, 200);
	int width;
	int height;
	SDL_GetWindowSize(window, &width, &height);
	EXPECT_EQ(width, 200);
	EXPECT_EQ(height, 50);

	// The program's own resize is not reported back as a person's.
	ServerEvent event;
	while (fBackend->WaitForEvent(0, event))
		EXPECT_FALSE(event.Is<ResizedEvent>());
}


TEST_F(SdlBackendTest, PixelsGoOnTheSurface)
{
	fBackend->CreateWindow(5, BRect(0, 0, 7, 3), B_TITLED_WINDOW_LOOK,
		B_NORMAL_WINDOW_FEEL, 0, "pixels");
	SDL_Window* window = sdl_window_named("pixels");
	SDL_Surface* surface = SDL_GetWindowSurface(window);
	ASSERT_NE(surface, nullptr);
	SDL_FillRect(surface, NULL, SDL_MapRGB(surface->format, 0, 0, 0));

	// A 10 by 6 image, larger than the 8 by 4 window: a resize the
	// screen has not caught up with.
	std::vector<uint32> image(10 * 6);
	for (int32 y = 0; y < 6; y++) {
		for (int32 x = 0; x < 10; x++)
			image[y * 10 + x] = 0xff000000 | (x * 20) << 16 | (y * 40) << 8;
	}
	fBackend->PutPixels(5, (const uint8*)image.data(), 40, 10, 6,
		BRect(2, 1, 12, 9));

	auto pixel_at = [surface](int x, int y) {
		uint8 red;
		uint8 green;
		uint8 blue;
		uint32 value;
		memcpy(&value, (uint8*)surface->pixels + y * surface->pitch
			+ x * surface->format->BytesPerPixel, 4);
		SDL_GetRGB(value, surface->format, &red, &green, &blue);
		return (uint32)red << 16 | (uint32)green << 8 | blue;
	};
	EXPECT_EQ(pixel_at(2, 1), (uint32)(40 << 16 | 40 << 8));
	EXPECT_EQ(pixel_at(7, 3), (uint32)(140 << 16 | 120 << 8));
	// Outside the area, nothing changed.
	EXPECT_EQ(pixel_at(1, 1), 0u);
	EXPECT_EQ(pixel_at(2, 0), 0u);

	// An area wholly outside, or no image, is harmless.
	fBackend->PutPixels(5, (const uint8*)image.data(), 40, 10, 6,
		BRect(20, 20, 30, 30));
	fBackend->PutPixels(5, NULL, 40, 10, 6, BRect(0, 0, 3, 3));
	EXPECT_EQ(pixel_at(1, 1), 0u);
}


TEST_F(SdlBackendTest, WakeEndsAWait)
{
	ServerEvent event;
	while (fBackend->WaitForEvent(0, event)) {
	}

	auto start = std::chrono::steady_clock::now();
	std::thread waker([this] {
		std::this_thread::sleep_for(std::chrono::milliseconds(50));
		fBackend->Wake();
	});
	EXPECT_FALSE(fBackend->WaitForEvent(kPatience, event));
	waker.join();
	EXPECT_LT(std::chrono::steady_clock::now() - start,
		std::chrono::seconds(5));

	// Many wakes while none is taken leave one behind, not many.
	for (int32 i = 0; i < 1000; i++)
		fBackend->Wake();
	SDL_PumpEvents();
	EXPECT_EQ(SDL_PeepEvents(NULL, 0, SDL_PEEKEVENT, SDL_USEREVENT,
		SDL_LASTEVENT), 1);
	EXPECT_FALSE(fBackend->WaitForEvent(0, event));
	EXPECT_EQ(SDL_PeepEvents(NULL, 0, SDL_PEEKEVENT, SDL_USEREVENT,
		SDL_LASTEVENT), 0);
	// And the next wake is not lost.
	fBackend->Wake();
	EXPECT_EQ(SDL_PeepEvents(NULL, 0, SDL_PEEKEVENT, SDL_USEREVENT,
		SDL_LASTEVENT), 1);
}


TEST_F(SdlBackendTest, KeysAndDropsComeThrough)
{
	fBackend->CreateWindow(4, BRect(0, 0, 99, 99), B_TITLED_WINDOW_LOOK,
		B_NORMAL_WINDOW_FEEL, 0, "keys");
	fBackend->ShowWindow(4);
	uint32 sdlID = SDL_GetWindowID(sdl_window_named("keys"));
	ServerEvent event;
	while (fBackend->WaitForEvent(0, event)) {
	}

	SDL_Event key;
	SDL_zero(key);
	key.type = SDL_KEYDOWN;
	key.key.windowID = sdlID;
	key.key.keysym.sym = SDLK_q;
	key.key.keysym.scancode = SDL_SCANCODE_Q;
	SDL_PushEvent(&key);
	SDL_Event text;
	SDL_zero(text);
	text.type = SDL_TEXTINPUT;
	text.text.windowID = sdlID;
	strcpy(text.text.text, "q");
	SDL_PushEvent(&text);
	ASSERT_TRUE(NextEvent(event));
	const KeyDownEvent* pressed = event.As<KeyDownEvent>();
	ASSERT_NE(pressed, nullptr);
	EXPECT_EQ(event.window, 4);
	EXPECT_EQ(pressed->bytes, "q");
	EXPECT_EQ(pressed->key, 0x27);

	// The backend frees the names SDL gave it (AddressSanitizer would
	// tell); the drop lands in the window SDL named, the pointer being
	// over none of ours.
	SDL_Event drop;
	SDL_zero(drop);
	drop.type = SDL_DROPBEGIN;
	drop.drop.windowID = sdlID;
	SDL_PushEvent(&drop);
	drop.type = SDL_DROPFILE;
	drop.drop.file = SDL_strdup("/tmp/dropped file.txt");
	SDL_PushEvent(&drop);
	drop.type = SDL_DROPCOMPLETE;
	drop.drop.file = NULL;
	SDL_PushEvent(&drop);
	ASSERT_TRUE(NextEvent(event));
	const FilesDroppedEvent* dropped = event.As<FilesDroppedEvent>();
	ASSERT_NE(dropped, nullptr);
	EXPECT_EQ(event.window, 4);
	ASSERT_EQ(dropped->paths.size(), 1u);
	EXPECT_EQ(dropped->paths[0], "/tmp/dropped file.txt");
}


TEST_F(SdlBackendTest, ClipboardText)
{
	std::string text;
	ASSERT_EQ(fBackend->SetClipboardText("copied \xc3\xa9"), B_OK);
	ASSERT_EQ(fBackend->GetClipboardText(text), B_OK);
	EXPECT_EQ(text, "copied \xc3\xa9");

	// The system's clipboard carries no NUL: the text ends there.
	fBackend->SetClipboardText(std::string("before\0after", 12));
	fBackend->GetClipboardText(text);
	EXPECT_EQ(text, "before");
}


TEST_F(SdlBackendTest, ScreenFrameIsTheFirstDisplay)
{
	SDL_Rect bounds;
	ASSERT_EQ(SDL_GetDisplayBounds(0, &bounds), 0);
	BRect frame = fBackend->ScreenFrame();
	EXPECT_EQ(frame.LeftTop(), BPoint(bounds.x, bounds.y));
	// Inclusive edges: a display w pixels wide is w - 1 wide as a BRect.
	EXPECT_FLOAT_EQ(frame.Width(), bounds.w - 1);
	EXPECT_FLOAT_EQ(frame.Height(), bounds.h - 1);
}


TEST_F(SdlBackendTest, TitlesReachTheScreenAsUtf8)
{
	// A file name of Latin-1 bytes, as old files have.
	ASSERT_EQ(fBackend->CreateWindow(4, BRect(0, 0, 49, 49),
		B_TITLED_WINDOW_LOOK, B_NORMAL_WINDOW_FEEL, 0, "caf\xE9.txt"), B_OK);
	SDL_Window* window = sdl_window_named("caf\xEF\xBF\xBD.txt");
	ASSERT_NE(window, nullptr);
	fBackend->SetTitle(4, "\xC3\xA9t\xC3\xA9 \xFF");
	EXPECT_STREQ(SDL_GetWindowTitle(window), "\xC3\xA9t\xC3\xA9 \xEF\xBF\xBD");
	fBackend->SetTitle(4, NULL);
	EXPECT_STREQ(SDL_GetWindowTitle(window), "");
}


TEST(SdlBackendClosed, WakeBeforeOpenAndCallsWithoutSdl)
{
	// Nothing opened: a wake and every call are harmless.
	SdlBackend backend;
	backend.Wake();
	ServerEvent event;
	EXPECT_FALSE(backend.WaitForEvent(1000, event));
	EXPECT_EQ(backend.CreateWindow(1, BRect(0, 0, 9, 9),
		B_TITLED_WINDOW_LOOK, B_NORMAL_WINDOW_FEEL, 0, "none"), B_BAD_VALUE);
	std::string text;
	EXPECT_EQ(backend.GetClipboardText(text), B_NO_INIT);
	backend.SetCursor(kCursorIBeam);
	backend.Beep();
}
