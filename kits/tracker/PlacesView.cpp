/*
 * PlacesView: drawing the places and taking clicks on them.
 */
#include "PlacesView.h"

#include <InterfaceDefs.h>
#include <Message.h>
#include <Window.h>

#include <math.h>

namespace BPrivate {

namespace {

const float kTextLeft = 8;

}	// namespace


PlacesView::PlacesView(BRect frame, const char* name, uint32 resizingMode)
	:
	BView(frame, name, resizingMode,
		B_WILL_DRAW | B_NAVIGABLE | B_FULL_UPDATE_ON_RESIZE),
	fCurrent(-1),
	fKeyboard(-1),
	fRowHeight(16),
	fBaseline(12)
{
	font_height height;
	be_plain_font->GetHeight(&height);
	fRowHeight = ceilf(height.ascent + height.descent + height.leading) + 6;
	fBaseline = 3 + ceilf(height.ascent);
}


void
PlacesView::AttachedToWindow()
{
	SetViewColor(tint_color(ui_color(B_PANEL_BACKGROUND_COLOR),
		B_LIGHTEN_1_TINT));
	SetLowColor(ViewColor());
}


void
PlacesView::SetPlaces(const std::vector<panel_place>& places)
{
	fPlaces = places;
	_MarkCurrent();
	if (fKeyboard >= (int32)fPlaces.size())
		fKeyboard = (int32)fPlaces.size() - 1;
	Invalidate();
}


void
PlacesView::SetCurrentPath(const std::string& path)
{
	fCurrentPath = path;
	int32 before = fCurrent;
	_MarkCurrent();
	if (fCurrent != before)
		Invalidate();
}


void
PlacesView::_MarkCurrent()
{
	fCurrent = -1;
	for (size_t i = 0; i < fPlaces.size(); i++) {
		if (fPlaces[i].path == fCurrentPath) {
			fCurrent = (int32)i;
			break;
		}
	}
}


BRect
PlacesView::RowFrame(int32 index) const
{
	BRect bounds = Bounds();
	return BRect(bounds.left, index * fRowHeight, bounds.right,
		(index + 1) * fRowHeight - 1);
}


int32
PlacesView::IndexAt(BPoint where) const
{
	if (where.y < 0)
		return -1;
	int32 index = (int32)(where.y / fRowHeight);
	return index < (int32)fPlaces.size() ? index : -1;
}


void
PlacesView::Draw(BRect updateRect)
{
	rgb_color background = ViewColor();
	for (int32 i = 0; i < (int32)fPlaces.size(); i++) {
		BRect frame = RowFrame(i);
		if (!frame.Intersects(updateRect))
			continue;
		bool current = i == fCurrent;
		SetLowColor(current ? ui_color(B_LIST_SELECTED_BACKGROUND_COLOR)
			: background);
		FillRect(frame, B_SOLID_LOW);
		SetHighColor(ui_color(current ? B_LIST_SELECTED_ITEM_TEXT_COLOR
			: B_LIST_ITEM_TEXT_COLOR));
		// A long label ends at the column's edge, where the view clips.
		DrawString(fPlaces[i].label.c_str(),
			BPoint(kTextLeft, frame.top + fBaseline));
		if (i == fKeyboard && IsFocus() && Window()->IsActive()) {
			SetHighColor(ui_color(B_KEYBOARD_NAVIGATION_COLOR));
			StrokeRect(frame);
		}
	}
	SetLowColor(background);
}


void
PlacesView::MouseDown(BPoint where)
{
	_Choose(IndexAt(where));
}


void
PlacesView::MakeFocus(bool focus)
{
	if (focus == IsFocus())
		return;
	BView::MakeFocus(focus);
	if (focus)
		fKeyboard = fCurrent >= 0 ? fCurrent : (fPlaces.empty() ? -1 : 0);
	Invalidate();
}


void
PlacesView::WindowActivated(bool active)
{
	if (IsFocus())
		Invalidate();
	BView::WindowActivated(active);
}


void
PlacesView::KeyDown(const char* bytes, int32 numBytes)
{
	int32 last = (int32)fPlaces.size() - 1;
	if (numBytes != 1 || last < 0) {
		BView::KeyDown(bytes, numBytes);
		return;
	}
	switch (bytes[0]) {
		case B_UP_ARROW:
			_MoveKeyboardTo(fKeyboard < 0 ? last : fKeyboard - 1);
			break;
		case B_DOWN_ARROW:
			_MoveKeyboardTo(fKeyboard < 0 ? 0 : fKeyboard + 1);
			break;
		case B_HOME:
		case B_PAGE_UP:
			_MoveKeyboardTo(0);
			break;
		case B_END:
		case B_PAGE_DOWN:
			_MoveKeyboardTo(last);
			break;
		case B_ENTER:
		case B_SPACE:
			_Choose(fKeyboard);
			break;
		default:
			BView::KeyDown(bytes, numBytes);
			break;
	}
}


// The frame stops at the first and the last place rather than wrapping,
// as it does in the list of entries.
void
PlacesView::_MoveKeyboardTo(int32 index)
{
	int32 last = (int32)fPlaces.size() - 1;
	index = index < 0 ? 0 : (index > last ? last : index);
	if (index == fKeyboard)
		return;
	if (fKeyboard >= 0)
		Invalidate(RowFrame(fKeyboard));
	fKeyboard = index;
	Invalidate(RowFrame(fKeyboard));
}


void
PlacesView::_Choose(int32 index)
{
	if (index < 0 || index >= (int32)fPlaces.size() || Window() == NULL)
		return;
	BMessage message(kMsgPlaceChosen);
	message.AddString("path", fPlaces[index].path.c_str());
	Window()->PostMessage(&message);
}

std::string
PlacesView::AccessibleRowName(int32 index) const
{
	if (index < 0 || index >= (int32)fPlaces.size())
		return "";
	return fPlaces[index].label;
}


void
PlacesView::InvokeAccessibleRow(int32 index)
{
	_Choose(index);
}

}	// namespace BPrivate
