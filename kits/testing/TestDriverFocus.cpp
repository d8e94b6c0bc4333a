/*
 * TestDriver: the keyboard focus. The focus is read under the window's
 * lock; Tab goes through the display server as every other key.
 */
#include <TestDriver.h>

#include <Control.h>
#include <MenuField.h>
#include <TextControl.h>
#include <TextView.h>

#include <algorithm>


BView*
TestDriver::FocusedView(BWindow* window)
{
	if (window == NULL || window->LockWithTimeout(1000000) != B_OK)
		return NULL;
	BView* focus = window->CurrentFocus();
	window->Unlock();
	return focus;
}


std::string
TestDriver::ViewLabel(BView* view)
{
	if (view == NULL)
		return "(none)";
	BWindow* window = view->Window();
	if (window == NULL || window->LockWithTimeout(1000000) != B_OK)
		return "(unlocked)";
	// A text control's entry stands for the control.
	BView* named = view;
	if (dynamic_cast<BTextView*>(view) != NULL
		&& dynamic_cast<BTextControl*>(view->Parent()) != NULL) {
		named = view->Parent();
	}
	std::string label = named->Name() != NULL ? named->Name() : "";
	if (BControl* control = dynamic_cast<BControl*>(named)) {
		if (control->Label() != NULL && control->Label()[0] != '\0')
			label = control->Label();
	} else if (BMenuField* field = dynamic_cast<BMenuField*>(named)) {
		if (field->Label() != NULL && field->Label()[0] != '\0')
			label = field->Label();
	}
	window->Unlock();
	return label;
}


std::vector<std::string>
TestDriver::TabCycle(BWindow* window, uint32 modifiers, int32 limit)
{
	std::vector<std::string> labels;
	std::vector<BView*> visited;
	for (int32 i = 0; i < limit; i++) {
		if (PressKey(window, B_TAB, modifiers) != B_OK)
			break;
		BView* focus = FocusedView(window);
		if (focus == NULL) {
			labels.push_back("(none)");
			break;
		}
		if (std::find(visited.begin(), visited.end(), focus)
				!= visited.end()) {
			break;
		}
		visited.push_back(focus);
		labels.push_back(ViewLabel(focus));
	}
	return labels;
}
