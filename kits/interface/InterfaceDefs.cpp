/*
 * The system colours, tints, and the few global calls of the Interface
 * Kit that ask the display server.
 */
#include <InterfaceDefs.h>

#include "DisplayServer.h"

#include <math.h>


const rgb_color B_TRANSPARENT_COLOR = { 0x77, 0x74, 0x77, 0x00 };
const rgb_color B_TRANSPARENT_32_BIT = { 0x77, 0x74, 0x77, 0x00 };

const pattern B_SOLID_HIGH = { { 0xff, 0xff, 0xff, 0xff, 0xff, 0xff, 0xff,
	0xff } };
const pattern B_MIXED_COLORS = { { 0xaa, 0x55, 0xaa, 0x55, 0xaa, 0x55, 0xaa,
	0x55 } };
const pattern B_SOLID_LOW = { { 0, 0, 0, 0, 0, 0, 0, 0 } };


bool
pattern::operator==(const pattern& other) const
{
	for (int i = 0; i < 8; i++) {
		if (data[i] != other.data[i])
			return false;
	}
	return true;
}


bool
pattern::operator!=(const pattern& other) const
{
	return !(*this == other);
}


rgb_color
ui_color(color_which which)
{
	switch (which) {
		case B_PANEL_BACKGROUND_COLOR:
		case B_MENU_BACKGROUND_COLOR:
		case B_SCROLL_BAR_THUMB_COLOR:
			return make_color(216, 216, 216);
		case B_WINDOW_TAB_COLOR:
			return make_color(255, 203, 0);
		case B_WINDOW_INACTIVE_TAB_COLOR:
			return make_color(232, 232, 232);
		case B_KEYBOARD_NAVIGATION_COLOR:
			return make_color(0, 0, 229);
		case B_DESKTOP_COLOR:
			return make_color(51, 102, 152);
		case B_MENU_SELECTION_BACKGROUND_COLOR:
			// A dark accent under white text: a contrast of about 6:1,
			// readable as the desktop asks of a highlight (4.5:1).
			return make_color(48, 96, 160);
		case B_MENU_SELECTED_ITEM_TEXT_COLOR:
		case B_DOCUMENT_BACKGROUND_COLOR:
		case B_LIST_BACKGROUND_COLOR:
		case B_SHINE_COLOR:
			return make_color(255, 255, 255);
		case B_MENU_SELECTED_BORDER_COLOR:
			return make_color(96, 96, 96);
		case B_CONTROL_BACKGROUND_COLOR:
			return make_color(245, 245, 245);
		case B_CONTROL_HIGHLIGHT_COLOR:
		case B_CONTROL_MARK_COLOR:
			return make_color(102, 152, 203);
		case B_NAVIGATION_PULSE_COLOR:
			return make_color(0, 0, 0);
		case B_TOOLTIP_BACKGROUND_COLOR:
			return make_color(255, 255, 220);
		case B_WINDOW_BORDER_COLOR:
			return make_color(224, 224, 224);
		case B_WINDOW_INACTIVE_BORDER_COLOR:
			return make_color(232, 232, 232);
		case B_WINDOW_INACTIVE_TEXT_COLOR:
			return make_color(80, 80, 80);
		case B_LIST_SELECTED_BACKGROUND_COLOR:
			return make_color(190, 190, 190);
		case B_LINK_TEXT_COLOR:
		case B_LINK_ACTIVE_COLOR:
			return make_color(0, 0, 255);
		case B_LINK_HOVER_COLOR:
			return make_color(0, 0, 160);
		case B_LINK_VISITED_COLOR:
			return make_color(128, 0, 128);
		case B_STATUS_BAR_COLOR:
		case B_SUCCESS_COLOR:
			return make_color(46, 204, 64);
		case B_FAILURE_COLOR:
			return make_color(255, 65, 54);
		case B_MENU_ITEM_TEXT_COLOR:
		case B_PANEL_TEXT_COLOR:
		case B_DOCUMENT_TEXT_COLOR:
		case B_CONTROL_TEXT_COLOR:
		case B_CONTROL_BORDER_COLOR:
		case B_SHADOW_COLOR:
		case B_TOOLTIP_TEXT_COLOR:
		case B_WINDOW_TEXT_COLOR:
		case B_LIST_ITEM_TEXT_COLOR:
		case B_LIST_SELECTED_ITEM_TEXT_COLOR:
		case B_NO_COLOR:
			break;
	}
	return make_color(0, 0, 0);
}


rgb_color
tint_color(rgb_color color, float tint)
{
	if (!(tint >= 0))
		tint = 0;
	if (tint > 2)
		tint = 2;

	auto tinted = [tint](uint8 component) -> uint8 {
		float value;
		if (tint < 1.0f)
			value = component + (255 - component) * (1.0f - tint);
		else
			value = component * (2.0f - tint);
		return (uint8)lroundf(fminf(255.0f, fmaxf(0.0f, value)));
	};
	return make_color(tinted(color.red), tinted(color.green),
		tinted(color.blue), color.alpha);
}


uint32
modifiers()
{
	return BPrivate::DisplayServer::Default().Modifiers();
}


status_t
beep()
{
	BPrivate::DisplayServer::Default().Post(BPrivate::BeepRequest());
	return B_OK;
}
