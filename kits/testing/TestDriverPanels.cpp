/*
 * TestDriver: operating file panels. Rows are found by name in the
 * panel's list and clicked where they are on the screen, scrolled into
 * view first, so the panel gets the same clicks and keys a person's
 * would give it.
 */
#include <TestDriver.h>

#include <Button.h>
#include <TextControl.h>
#include <TextView.h>

#include "EntryListView.h"
#include "FilePanelWindow.h"
#include "PlacesView.h"

#include <gtest/gtest.h>

#include <math.h>

using BPrivate::EntryListView;
using BPrivate::FilePanelWindow;
using BPrivate::PlacesView;

namespace {

FilePanelWindow*
panel_window(BWindow* window, const char* caller)
{
	FilePanelWindow* panel = dynamic_cast<FilePanelWindow*>(window);
	if (panel == NULL)
		ADD_FAILURE() << "TestDriver::" << caller << "(): not a file panel";
	return panel;
}


// Where the row of the entry is in the window, scrolled into view; false
// when the panel lists no such entry.
bool
row_point(FilePanelWindow* panel, const char* name, EntryListView** _list,
	BPoint* _where)
{
	if (!panel->Lock())
		return false;
	EntryListView* list = panel->List();
	int32 index = list->IndexOf(name);
	if (index >= 0) {
		list->ScrollToRow(index);
		BRect row = list->RowFrame(index);
		*_where = BPoint(row.left + 30, floorf((row.top + row.bottom) / 2));
		*_list = list;
	}
	panel->Unlock();
	return index >= 0;
}

}	// namespace


status_t
TestDriver::ChoosePanelEntries(BWindow* window,
	const std::vector<std::string>& names)
{
	FilePanelWindow* panel = panel_window(window, "ChoosePanelEntries");
	if (panel == NULL)
		return B_BAD_VALUE;
	bool first = true;
	for (const std::string& name : names) {
		EntryListView* list = NULL;
		BPoint where;
		if (!row_point(panel, name.c_str(), &list, &where)) {
			ADD_FAILURE() << "TestDriver::ChoosePanelEntries(): the panel "
				"lists no \"" << name << "\"";
			return B_ENTRY_NOT_FOUND;
		}
		status_t status = Click(list, where, 1, B_PRIMARY_MOUSE_BUTTON,
			first ? 0 : B_COMMAND_KEY);
		if (status != B_OK)
			return status;
		first = false;
	}
	return B_OK;
}


status_t
TestDriver::OpenPanelEntry(BWindow* window, const char* name)
{
	FilePanelWindow* panel = panel_window(window, "OpenPanelEntry");
	if (panel == NULL)
		return B_BAD_VALUE;
	EntryListView* list = NULL;
	BPoint where;
	if (!row_point(panel, name, &list, &where)) {
		ADD_FAILURE() << "TestDriver::OpenPanelEntry(): the panel lists no "
			"\"" << name << "\"";
		return B_ENTRY_NOT_FOUND;
	}
	status_t status = Click(list, where, 1);
	if (status == B_OK)
		status = Click(list, where, 2);
	return status;
}


status_t
TestDriver::PressPanelButton(BWindow* window, file_panel_button button)
{
	FilePanelWindow* panel = panel_window(window, "PressPanelButton");
	if (panel == NULL)
		return B_BAD_VALUE;
	BView* view = NULL;
	if (panel->Lock()) {
		view = panel->Button(button);
		panel->Unlock();
	}
	return Click(view);
}


std::vector<std::string>
TestDriver::PanelEntries(BWindow* window)
{
	std::vector<std::string> names;
	FilePanelWindow* panel = panel_window(window, "PanelEntries");
	if (panel == NULL || WaitForIdle() != B_OK || !panel->Lock())
		return names;
	EntryListView* list = panel->List();
	for (int32 i = 0; i < list->CountEntries(); i++)
		names.push_back(list->EntryAt(i)->name);
	panel->Unlock();
	return names;
}


// Types into the panel's field over what is there.
static status_t
type_into(TestDriver& driver, BTextControl* field, const char* text)
{
	if (field == NULL) {
		ADD_FAILURE() << "TestDriver: the panel has no such field";
		return B_BAD_VALUE;
	}
	return driver.TypeInto(field, text);
}


status_t
TestDriver::TypePanelSaveName(BWindow* window, const char* name)
{
	FilePanelWindow* panel = panel_window(window, "TypePanelSaveName");
	if (panel == NULL)
		return B_BAD_VALUE;
	return type_into(*this, panel->NameField(), name);
}


status_t
TestDriver::GoToPanelFolder(BWindow* window, const char* path)
{
	FilePanelWindow* panel = panel_window(window, "GoToPanelFolder");
	if (panel == NULL)
		return B_BAD_VALUE;
	status_t status = type_into(*this, panel->PathField(), path);
	return status == B_OK ? PressKey(panel, B_ENTER) : status;
}


std::vector<std::string>
TestDriver::PanelPlaces(BWindow* window)
{
	std::vector<std::string> labels;
	FilePanelWindow* panel = panel_window(window, "PanelPlaces");
	if (panel == NULL || WaitForIdle() != B_OK || !panel->Lock())
		return labels;
	for (const BPrivate::panel_place& place : panel->Places()->Places())
		labels.push_back(place.label);
	panel->Unlock();
	return labels;
}


status_t
TestDriver::ClickPanelPlace(BWindow* window, const char* label)
{
	FilePanelWindow* panel = panel_window(window, "ClickPanelPlace");
	if (panel == NULL || WaitForIdle() != B_OK || !panel->Lock())
		return B_BAD_VALUE;
	PlacesView* places = panel->Places();
	BRect row;
	bool found = false;
	for (size_t i = 0; i < places->Places().size() && !found; i++) {
		if (places->Places()[i].label == label) {
			row = places->RowFrame((int32)i);
			found = true;
		}
	}
	panel->Unlock();
	if (!found) {
		ADD_FAILURE() << "TestDriver::ClickPanelPlace(): the panel has no "
			"place \"" << label << "\"";
		return B_ENTRY_NOT_FOUND;
	}
	return Click(places, BPoint(row.left + 20,
		floorf((row.top + row.bottom) / 2)));
}
