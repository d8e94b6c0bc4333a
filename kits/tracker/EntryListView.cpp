/*
 * EntryListView: drawing, the mouse and the keyboard.
 */
#include "EntryListView.h"

#include "AccessibilityHooks.h"

#include <InterfaceDefs.h>
#include <Message.h>
#include <ScrollBar.h>
#include <ScrollView.h>
#include <Window.h>

#include <algorithm>
#include <math.h>
#include <string.h>

namespace BPrivate {

namespace {

// Room left of the mark, for the mark, and between it and the name.
const float kMarkLeft = 4;
const float kMarkWidth = 12;
const float kNameLeft = kMarkLeft + kMarkWidth + 6;
const float kColumnGap = 12;
// Keys typed further apart than this start a new type-ahead.
const bigtime_t kTypeAheadPause = 1000000;


bool
starts_with_folded(const std::string& name, const std::string& prefix)
{
	if (prefix.size() > name.size())
		return false;
	for (size_t i = 0; i < prefix.size(); i++) {
		if (tolower((unsigned char)name[i])
				!= tolower((unsigned char)prefix[i]))
			return false;
	}
	return true;
}

}	// namespace


EntryListView::EntryListView(BRect frame, const char* name,
	uint32 resizingMode)
	:
	BView(frame, name, resizingMode,
		B_WILL_DRAW | B_NAVIGABLE | B_FULL_UPDATE_ON_RESIZE
			| B_FRAME_EVENTS),
	fCurrent(-1),
	fAnchor(-1),
	fMultiple(false),
	fRowHeight(16),
	fBaseline(12),
	fLastTyped(0)
{
	font_height height;
	be_plain_font->GetHeight(&height);
	fRowHeight = ceilf(height.ascent + height.descent + height.leading) + 4;
	fBaseline = 2 + ceilf(height.ascent);
	fDateWidth = ceilf(be_plain_font->StringWidth("0000-00-00 00:00"));
	fSizeWidth = ceilf(be_plain_font->StringWidth("000.0 MB"));
}


void
EntryListView::AttachedToWindow()
{
	SetViewColor(ui_color(B_LIST_BACKGROUND_COLOR));
	SetLowColor(ViewColor());
	_UpdateScrollBar();
}


void
EntryListView::FrameResized(float width, float height)
{
	BView::FrameResized(width, height);
	_UpdateScrollBar();
	// A taller view may show rows below the last: no scrolling past it.
	float maxTop = std::max(0.0f, ContentHeight() - Bounds().Height() - 1);
	if (Bounds().top > maxTop)
		ScrollTo(BPoint(Bounds().left, maxTop));
}


// The bar's range is how far the rows reach below the view; it moves
// by a row, or by a page less one row.
void
EntryListView::_UpdateScrollBar()
{
	BScrollBar* bar = ScrollBar(B_VERTICAL);
	if (bar == NULL)
		return;
	float visible = Bounds().Height() + 1;
	float content = ContentHeight();
	bar->SetRange(0, std::max(0.0f, content - visible));
	bar->SetProportion(content > 0 ? std::min(1.0f, visible / content) : 1);
	bar->SetSteps(fRowHeight, std::max(fRowHeight, visible - fRowHeight));
}


void
EntryListView::SetEntries(const std::vector<folder_entry>& entries,
	const char* message)
{
	fEntries = entries;
	fSelected.assign(fEntries.size(), false);
	fCurrent = -1;
	fAnchor = -1;
	fMessage = message != NULL ? message : "";
	fTyped.clear();
	ScrollTo(BPoint(0, 0));
	_UpdateScrollBar();
	Invalidate();
}


void
EntryListView::SetMultipleSelection(bool multiple)
{
	fMultiple = multiple;
	if (!multiple && Selection().size() > 1)
		Select(fCurrent);
}


const folder_entry*
EntryListView::EntryAt(int32 index) const
{
	if (index < 0 || index >= CountEntries())
		return NULL;
	return &fEntries[index];
}


int32
EntryListView::IndexOf(const char* name) const
{
	for (int32 i = 0; name != NULL && i < CountEntries(); i++) {
		if (fEntries[i].name == name)
			return i;
	}
	return -1;
}


// #pragma mark - Selection


void
EntryListView::Select(int32 index, bool extend)
{
	bool valid = index >= 0 && index < CountEntries();
	if (!extend || !fMultiple) {
		for (size_t i = 0; i < fSelected.size(); i++) {
			if (fSelected[i] && (int32)i != index) {
				fSelected[i] = false;
				_InvalidateRow(i);
			}
		}
	}
	if (valid && !fSelected[index]) {
		fSelected[index] = true;
		_InvalidateRow(index);
	}
	fCurrent = valid ? index : -1;
	fAnchor = fCurrent;
	_Notify(kMsgSelectionChanged);
	accessible_row_focused(this, fCurrent);
}


void
EntryListView::DeselectAll()
{
	Select(-1);
}


bool
EntryListView::IsSelected(int32 index) const
{
	return index >= 0 && index < CountEntries() && fSelected[index];
}


std::vector<int32>
EntryListView::Selection() const
{
	std::vector<int32> selection;
	for (size_t i = 0; i < fSelected.size(); i++) {
		if (fSelected[i])
			selection.push_back((int32)i);
	}
	return selection;
}


void
EntryListView::_SelectRange(int32 from, int32 to)
{
	if (from > to)
		std::swap(from, to);
	for (int32 i = 0; i < CountEntries(); i++) {
		bool selected = i >= from && i <= to;
		if (fSelected[i] != selected) {
			fSelected[i] = selected;
			_InvalidateRow(i);
		}
	}
}


// Moves the keyboard to the row; with extend (and multiple selection)
// the selection runs from the anchor to it.
void
EntryListView::_MoveTo(int32 index, bool extend)
{
	if (CountEntries() == 0)
		return;
	index = std::max<int32>(0, std::min(index, CountEntries() - 1));
	if (extend && fMultiple && fAnchor >= 0) {
		_SelectRange(fAnchor, index);
		fCurrent = index;
		_Notify(kMsgSelectionChanged);
		accessible_row_focused(this, fCurrent);
	} else
		Select(index);
	ScrollToRow(index);
}


void
EntryListView::_Notify(uint32 what, int32 index)
{
	if (Window() == NULL)
		return;
	BMessage message(what);
	if (index >= 0)
		message.AddInt32("index", index);
	Window()->PostMessage(&message, Window());
}


// #pragma mark - Geometry


BRect
EntryListView::RowFrame(int32 index) const
{
	float top = index * fRowHeight;
	return BRect(0, top, std::max(Bounds().Width(), 1.0f),
		top + fRowHeight - 1);
}


int32
EntryListView::IndexAt(BPoint where) const
{
	if (where.y < 0)
		return -1;
	int32 index = (int32)floorf(where.y / fRowHeight);
	return index < CountEntries() ? index : -1;
}


void
EntryListView::ScrollToRow(int32 index)
{
	if (index < 0 || index >= CountEntries())
		return;
	BRect row = RowFrame(index);
	BRect bounds = Bounds();
	if (row.top < bounds.top)
		ScrollTo(BPoint(bounds.left, row.top));
	else if (row.bottom > bounds.bottom)
		ScrollTo(BPoint(bounds.left, row.bottom - bounds.Height()));
}


float
EntryListView::ContentHeight() const
{
	return CountEntries() * fRowHeight;
}


int32
EntryListView::_RowsPerPage() const
{
	return std::max<int32>(1, (int32)(Bounds().Height() / fRowHeight));
}


void
EntryListView::_InvalidateRow(int32 index)
{
	if (Window() != NULL)
		Invalidate(RowFrame(index));
}


// #pragma mark - Drawing


void
EntryListView::Draw(BRect updateRect)
{
	if (!fMessage.empty()) {
		SetHighColor(tint_color(ui_color(B_LIST_ITEM_TEXT_COLOR),
			B_LIGHTEN_1_TINT));
		DrawString(fMessage.c_str(), BPoint(kMarkLeft, fBaseline + 4));
		return;
	}

	int32 first = std::max<int32>(0, (int32)(updateRect.top / fRowHeight));
	int32 last = std::min<int32>(CountEntries() - 1,
		(int32)(updateRect.bottom / fRowHeight));
	rgb_color background = ui_color(B_LIST_BACKGROUND_COLOR);
	rgb_color selected = ui_color(B_LIST_SELECTED_BACKGROUND_COLOR);
	if (!IsFocus())
		selected = tint_color(selected, B_LIGHTEN_1_TINT);

	for (int32 i = first; i <= last; i++) {
		BRect frame = RowFrame(i);
		SetLowColor(fSelected[i] ? selected : background);
		FillRect(frame, B_SOLID_LOW);
		_DrawMark(fEntries[i], frame);
		SetHighColor(ui_color(fSelected[i] ? B_LIST_SELECTED_ITEM_TEXT_COLOR
			: B_LIST_ITEM_TEXT_COLOR));
		DrawString(fEntries[i].name.c_str(),
			BPoint(kNameLeft, frame.top + fBaseline));
		_DrawColumns(fEntries[i], frame);
		if (i == fCurrent && IsFocus() && Window()->IsActive()) {
			SetHighColor(ui_color(B_KEYBOARD_NAVIGATION_COLOR));
			StrokeRect(frame);
		}
	}
	SetLowColor(background);
}


// Folders get a filled tab shape, files an outlined sheet, links a
// small arrow under their mark.
void
EntryListView::_DrawMark(const folder_entry& entry, BRect frame)
{
	float top = frame.top + floorf((frame.Height() - 10) / 2);
	BRect mark(kMarkLeft, top + 1, kMarkLeft + kMarkWidth - 1, top + 10);
	if (entry.IsFolder()) {
		SetHighColor(216, 168, 64);
		FillRect(BRect(mark.left, mark.top - 1, mark.left + 4,
			mark.top));
		FillRect(mark);
		SetHighColor(150, 110, 30);
		StrokeRect(mark);
	} else
		_DrawDocument(BRect(mark.left + 1, mark.top - 1, mark.right - 1,
			mark.bottom + 1));
	if (entry.IsLink()) {
		SetHighColor(entry.kind == kBrokenLink
			? rgb_color{200, 0, 0, 255} : rgb_color{0, 0, 0, 255});
		StrokeLine(BPoint(mark.left, mark.bottom),
			BPoint(mark.left + 4, mark.bottom));
		StrokeLine(BPoint(mark.left + 4, mark.bottom),
			BPoint(mark.left + 4, mark.bottom - 3));
	}
}


// A sheet of paper with its top right corner folded over and lines of
// text on it, as file managers draw a document.
void
EntryListView::_DrawDocument(BRect sheet)
{
	const float fold = 3;
	BPoint corner(sheet.right - fold, sheet.top);
	SetHighColor(255, 255, 255);
	FillRect(BRect(sheet.left, sheet.top, sheet.right - fold, sheet.bottom));
	FillRect(BRect(sheet.right - fold, sheet.top + fold, sheet.right,
		sheet.bottom));
	SetHighColor(96, 96, 96);
	StrokeLine(BPoint(sheet.left, sheet.top), corner);
	StrokeLine(corner, BPoint(sheet.right, sheet.top + fold));
	StrokeLine(BPoint(sheet.right, sheet.top + fold),
		BPoint(sheet.right, sheet.bottom));
	StrokeLine(BPoint(sheet.right, sheet.bottom),
		BPoint(sheet.left, sheet.bottom));
	StrokeLine(BPoint(sheet.left, sheet.bottom),
		BPoint(sheet.left, sheet.top));
	StrokeLine(corner, BPoint(corner.x, sheet.top + fold));
	StrokeLine(BPoint(corner.x, sheet.top + fold),
		BPoint(sheet.right, sheet.top + fold));
	SetHighColor(150, 150, 150);
	for (float y = sheet.top + fold + 2; y < sheet.bottom - 1; y += 2)
		StrokeLine(BPoint(sheet.left + 2, y), BPoint(sheet.right - 2, y));
}


// The size and date columns at the right end of a row, over whatever of
// a long name reached them.
void
EntryListView::_DrawColumns(const folder_entry& entry, BRect frame)
{
	float dateLeft = frame.right - kColumnGap - fDateWidth;
	float sizeLeft = dateLeft - kColumnGap - fSizeWidth;
	if (sizeLeft < kNameLeft + kColumnGap)
		return;
	FillRect(BRect(sizeLeft - kColumnGap, frame.top, frame.right,
		frame.bottom), B_SOLID_LOW);
	float baseline = frame.top + fBaseline;
	std::string size = entry_size_text(entry.size);
	DrawString(size.c_str(), BPoint(sizeLeft + fSizeWidth
		- StringWidth(size.c_str()), baseline));
	DrawString(entry_date_text(entry.modified).c_str(),
		BPoint(dateLeft, baseline));
}


// #pragma mark - Input


void
EntryListView::MakeFocus(bool focus)
{
	BView::MakeFocus(focus);
	// The scroll view's frame shows the focus even while no row is the
	// keyboard's, as a list view's does.
	if (BScrollView* scroller = dynamic_cast<BScrollView*>(Parent()))
		scroller->SetBorderHighlighted(focus);
	Invalidate();
}


void
EntryListView::WindowActivated(bool active)
{
	if (IsFocus())
		Invalidate();
	BView::WindowActivated(active);
}


void
EntryListView::MouseDown(BPoint where)
{
	if (!IsFocus())
		MakeFocus(true);

	int32 clicks = 1;
	uint32 modifiers = 0;
	if (BMessage* message = Window()->CurrentMessage()) {
		clicks = message->GetInt32("clicks", 1);
		modifiers = (uint32)message->GetInt32("modifiers", 0);
	}
	_Click(IndexAt(where), modifiers, clicks);
}


void
EntryListView::_Click(int32 index, uint32 modifiers, int32 clicks)
{
	if (index < 0) {
		DeselectAll();
		return;
	}

	if (clicks >= 2) {
		// The first click of the pair has selected the row already.
		if (!fSelected[index])
			Select(index);
		_Notify(kMsgInvoked, index);
		return;
	}

	if (fMultiple && (modifiers & B_SHIFT_KEY) != 0 && fAnchor >= 0) {
		_SelectRange(fAnchor, index);
		fCurrent = index;
		_Notify(kMsgSelectionChanged);
	} else if (fMultiple && (modifiers & B_COMMAND_KEY) != 0) {
		fSelected[index] = !fSelected[index];
		_InvalidateRow(index);
		_InvalidateRow(fCurrent);
		fCurrent = index;
		fAnchor = index;
		_Notify(kMsgSelectionChanged);
	} else
		Select(index);
}


void
EntryListView::KeyDown(const char* bytes, int32 numBytes)
{
	uint32 held = 0;
	if (BMessage* message = Window()->CurrentMessage())
		held = (uint32)message->GetInt32("modifiers", 0);
	bool shift = (held & B_SHIFT_KEY) != 0;
	int32 previous = fCurrent;

	switch (bytes[0]) {
		case B_UP_ARROW:
			_MoveTo(previous < 0 ? CountEntries() - 1 : previous - 1, shift);
			break;
		case B_DOWN_ARROW:
			_MoveTo(previous < 0 ? 0 : previous + 1, shift);
			break;
		case B_PAGE_UP:
			_MoveTo(previous - _RowsPerPage(), shift);
			break;
		case B_PAGE_DOWN:
			_MoveTo(previous + _RowsPerPage(), shift);
			break;
		case B_HOME:
			_MoveTo(0, shift);
			break;
		case B_END:
			_MoveTo(CountEntries() - 1, shift);
			break;
		case B_ENTER:
			_Notify(kMsgInvoked);
			break;
		case B_BACKSPACE:
			_Notify(kMsgGoUp);
			break;
		default:
			if ((uint8)bytes[0] >= B_SPACE && bytes[0] != B_DELETE
				&& (held & (B_COMMAND_KEY | B_CONTROL_KEY)) == 0)
				_TypeAhead(bytes);
			else
				BView::KeyDown(bytes, numBytes);
			break;
	}
	if (fCurrent != previous) {
		_InvalidateRow(previous);
		_InvalidateRow(fCurrent);
	}
}


// Jumps to the first entry whose name starts with what was typed since
// the last pause.
void
EntryListView::_TypeAhead(const char* bytes)
{
	bigtime_t now = system_time();
	if (now - fLastTyped > kTypeAheadPause)
		fTyped.clear();
	fLastTyped = now;
	fTyped += bytes;

	for (int32 i = 0; i < CountEntries(); i++) {
		if (starts_with_folded(fEntries[i].name, fTyped)) {
			Select(i);
			ScrollToRow(i);
			return;
		}
	}
}


void
EntryListView::SelectAll()
{
	if (!fMultiple || CountEntries() == 0)
		return;
	_SelectRange(0, CountEntries() - 1);
	if (fCurrent < 0)
		fCurrent = fAnchor = 0;
	_Notify(kMsgSelectionChanged);
}


void
EntryListView::MessageReceived(BMessage* message)
{
	if (message->what == B_SELECT_ALL) {
		SelectAll();
		return;
	}
	if (message->what == B_MOUSE_WHEEL_CHANGED) {
		float delta = message->GetFloat("be:wheel_delta_y", 0);
		float maxTop = std::max(0.0f,
			ContentHeight() - Bounds().Height() - 1);
		float top = Bounds().top + delta * fRowHeight * 3;
		ScrollTo(BPoint(Bounds().left,
			std::max(0.0f, std::min(top, maxTop))));
		return;
	}
	BView::MessageReceived(message);
}

// #pragma mark - What a screen reader reads


std::string
EntryListView::AccessibleListName() const
{
	// A folder that could not be read says why instead.
	return fMessage.empty() ? "Files" : fMessage;
}


std::string
EntryListView::AccessibleRowName(int32 index) const
{
	const folder_entry* entry = EntryAt(index);
	if (entry == NULL)
		return "";
	std::string name = entry->name;
	if (entry->IsFolder())
		name += ", folder";
	std::string size = entry_size_text(entry->size);
	if (!size.empty())
		name += ", " + size;
	std::string date = entry_date_text(entry->modified);
	if (!date.empty())
		name += ", " + date;
	return name;
}


void
EntryListView::InvokeAccessibleRow(int32 index)
{
	if (EntryAt(index) == NULL)
		return;
	Select(index);
	_Notify(kMsgInvoked, index);
}

}	// namespace BPrivate
