/*
 * TestDriver: alerts and controls. An alert is found among the windows,
 * read under its lock, and answered by clicking its button through the
 * display server, as a person would.
 */
#include <TestDriver.h>

#include <Alert.h>
#include <Button.h>
#include <Control.h>
#include <TextControl.h>
#include <TextView.h>

#include "ApplicationPrivate.h"

#include <gtest/gtest.h>

#include <string.h>

namespace {

// Runs the function with the window locked; false when it could not be
// locked in time.
bool
with_window(BWindow* window, const std::function<void()>& function)
{
	if (window == NULL || window->LockWithTimeout(1000000) != B_OK)
		return false;
	function();
	window->Unlock();
	return true;
}


BControl*
find_control(BView* parent, const char* label)
{
	for (int32 i = 0; i < parent->CountChildren(); i++) {
		BView* child = parent->ChildAt(i);
		BControl* control = dynamic_cast<BControl*>(child);
		if (control != NULL && control->Label() != NULL
			&& strcmp(control->Label(), label) == 0) {
			return control;
		}
		if (BControl* found = find_control(child, label))
			return found;
	}
	return NULL;
}

}	// namespace


BAlert*
TestDriver::FindAlert()
{
	BAlert* found = NULL;
	for (const BPrivate::window_entry& entry : BPrivate::window_list()) {
		BAlert* alert = dynamic_cast<BAlert*>(entry.window);
		if (alert == NULL)
			continue;
		bool shown = false;
		with_window(alert, [&] { shown = !alert->IsHidden(); });
		if (shown)
			found = alert;
	}
	return found;
}


BAlert*
TestDriver::WaitForAlert(bigtime_t timeout)
{
	BAlert* alert = NULL;
	WaitFor([&] { return (alert = FindAlert()) != NULL; }, "an alert",
		timeout);
	return alert;
}


std::string
TestDriver::AlertTitle(BAlert* alert)
{
	std::string title;
	if (!with_window(alert, [&] { title = alert->Title(); }))
		ADD_FAILURE() << "TestDriver::AlertTitle(): the alert is gone";
	return title;
}


std::string
TestDriver::AlertText(BAlert* alert)
{
	std::string text;
	if (!with_window(alert, [&] { text = alert->Text(); }))
		ADD_FAILURE() << "TestDriver::AlertText(): the alert is gone";
	return text;
}


std::vector<std::string>
TestDriver::AlertButtonLabels(BAlert* alert)
{
	std::vector<std::string> labels;
	with_window(alert, [&] {
		for (int32 i = 0; i < alert->CountButtons(); i++)
			labels.push_back(alert->ButtonAt(i)->Label());
	});
	return labels;
}


status_t
TestDriver::PressAlertButton(BAlert* alert, int32 index)
{
	BButton* button = NULL;
	with_window(alert, [&] { button = alert->ButtonAt(index); });
	if (button == NULL) {
		ADD_FAILURE() << "TestDriver::PressAlertButton(): the alert has no "
			"button " << index;
		return B_BAD_INDEX;
	}
	return Click(button);
}


status_t
TestDriver::PressAlertButton(BAlert* alert, const char* label)
{
	std::vector<std::string> labels = AlertButtonLabels(alert);
	for (size_t i = 0; i < labels.size(); i++) {
		if (label != NULL && labels[i] == label)
			return PressAlertButton(alert, (int32)i);
	}
	ADD_FAILURE() << "TestDriver::PressAlertButton(): the alert has no "
		"button \"" << (label != NULL ? label : "(null)") << "\"";
	return B_NAME_NOT_FOUND;
}


BControl*
TestDriver::FindControl(BWindow* window, const char* label)
{
	BControl* control = NULL;
	if (label == NULL)
		return NULL;
	with_window(window, [&] {
		for (int32 i = 0; i < window->CountChildren() && control == NULL;
				i++) {
			BView* child = window->ChildAt(i);
			BControl* own = dynamic_cast<BControl*>(child);
			if (own != NULL && own->Label() != NULL
				&& strcmp(own->Label(), label) == 0) {
				control = own;
			} else
				control = find_control(child, label);
		}
	});
	return control;
}


status_t
TestDriver::TypeInto(BTextControl* control, const char* text)
{
	BView* entry = NULL;
	BWindow* window = NULL;
	if (control != NULL && control->LockLooper()) {
		entry = control->TextView();
		window = control->Window();
		control->UnlockLooper();
	}
	if (entry == NULL) {
		ADD_FAILURE() << "TestDriver: no text control to type into";
		return B_BAD_VALUE;
	}
	status_t status = Click(entry);
	if (status == B_OK)
		status = PressKey(window, 'a', B_COMMAND_KEY);
	if (status == B_OK)
		status = TypeText(window, text);
	return status;
}
