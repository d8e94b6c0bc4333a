/*
 * BScreen: the main screen, as the display server sees it.
 */
#include <Screen.h>

#include <Window.h>

#include "DisplayServer.h"

using BPrivate::DisplayServer;


const struct screen_id B_MAIN_SCREEN_ID = { 0 };


BScreen::BScreen(screen_id id)
	:
	fValid(id.id == B_MAIN_SCREEN_ID.id)
{
}


BScreen::BScreen(BWindow* window)
	:
	fValid(true)
{
	// Every window is on the one screen there is.
	(void)window;
}


BScreen::~BScreen()
{
}


bool
BScreen::IsValid()
{
	return fValid;
}


status_t
BScreen::SetToNext()
{
	return B_ERROR;
}


color_space
BScreen::ColorSpace()
{
	return fValid ? B_RGB32 : B_NO_COLOR_SPACE;
}


BRect
BScreen::Frame()
{
	if (!fValid)
		return BRect();
	BRect frame;
	if (DisplayServer::Default().Call(BPrivate::GetScreenFrameRequest(),
			frame) != B_OK)
		return BRect();
	return frame;
}


screen_id
BScreen::ID()
{
	return B_MAIN_SCREEN_ID;
}
