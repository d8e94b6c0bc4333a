/*
 * The Interface Kit's answers to the accessibility bridge: what each kind
 * of view is, read under its window's lock.
 */
#include "AccessibilityHooks.h"

#include <Alert.h>
#include <Application.h>
#include <Box.h>
#include <Clipboard.h>
#include <Button.h>
#include <Menu.h>
#include <MenuBar.h>
#include <MenuField.h>
#include <MenuItem.h>
#include <PopUpMenu.h>
#include <ScrollBar.h>
#include <ScrollView.h>
#include <StringView.h>
#include <TextControl.h>
#include <TextView.h>
#include <Window.h>

#include "AccessibleRows.h"
#include "ApplicationPrivate.h"
#include "CharacterIndex.h"
#include "LooperPrivate.h"
#include "MenuPrivate.h"
#include "MenuWindow.h"
#include "TextMotion.h"
#include "TextViewData.h"
#include "TokenSpace.h"

#include <unicode/brkiter.h>
#include <unicode/utext.h>

#include <algorithm>
#include <memory>

using namespace BPrivate;

namespace {

// How long a question waits for a busy window before it gives up.
const bigtime_t kLockTimeout = 150000;


// Holds a node's window locked for the length of a question, once the
// node is known to be still there.
class NodeLock {
public:
	explicit NodeLock(BWindow* window)
		:
		fWindow(NULL)
	{
		if (window == NULL)
			return;
		// A window whose thread waits on an alert holds its lock until
		// the alert is answered: refuse at once rather than time out on
		// each of the many questions a screen reader asks.
		LooperCore* core = TokenSpace::Default().AcquireCore(window);
		if (core == NULL)
			return;
		bool waiting = core->modalWaits.load() > 0;
		core->ReleaseReference();
		if (waiting && !window->IsLocked())
			return;
		if (window->LockWithTimeout(kLockTimeout) == B_OK)
			fWindow = window;
	}

	~NodeLock()
	{
		if (fWindow != NULL)
			fWindow->Unlock();
	}

	bool IsLocked() const { return fWindow != NULL; }

private:
	BWindow*			fWindow;
};


bool
view_in_tree(const BView* root, const void* wanted)
{
	if (root == wanted)
		return true;
	for (int32 i = 0; i < root->CountChildren(); i++) {
		if (view_in_tree(root->ChildAt(i), wanted))
			return true;
	}
	return false;
}


bool
view_in_window(BWindow* window, const void* wanted)
{
	for (int32 i = 0; i < window->CountChildren(); i++) {
		if (view_in_tree(window->ChildAt(i), wanted))
			return true;
	}
	return false;
}


bool
item_in_menu(const BMenu* menu, const void* wanted, int32 depth = 0)
{
	if (menu == NULL || depth > 16)
		return false;
	for (int32 i = 0; i < menu->CountItems(); i++) {
		BMenuItem* item = menu->ItemAt(i);
		if (item == wanted)
			return true;
		if (item_in_menu(item->Submenu(), wanted, depth + 1))
			return true;
	}
	return false;
}


bool
item_in_views(const BView* root, const void* wanted)
{
	if (const BMenu* menu = dynamic_cast<const BMenu*>(root)) {
		if (item_in_menu(menu, wanted))
			return true;
	}
	if (const BMenuField* field = dynamic_cast<const BMenuField*>(root)) {
		if (item_in_menu(field->Menu(), wanted))
			return true;
	}
	for (int32 i = 0; i < root->CountChildren(); i++) {
		if (item_in_views(root->ChildAt(i), wanted))
			return true;
	}
	return false;
}


bool
node_is_there(const accessible_node& node)
{
	switch (node.kind) {
		case ACCESSIBLE_APPLICATION:
		case ACCESSIBLE_WINDOW:
			return true;
		case ACCESSIBLE_VIEW:
		case ACCESSIBLE_ROW:
			return view_in_window(node.window, node.object);
		case ACCESSIBLE_MENU_ITEM:
			for (int32 i = 0; i < node.window->CountChildren(); i++) {
				if (item_in_views(node.window->ChildAt(i), node.object))
					return true;
			}
			return false;
	}
	return false;
}


std::string
key_binding(const BMenuItem* item)
{
	uint32 modifiers = 0;
	char key = item->Shortcut(&modifiers);
	if (key == 0)
		return "";
	std::string binding;
	if ((modifiers & B_SHIFT_KEY) != 0)
		binding += "<Shift>";
	if ((modifiers & B_OPTION_KEY) != 0)
		binding += "<Alt>";
	// The shortcut key is Ctrl here.
	binding += "<Control>";
	binding += (char)tolower((unsigned char)key);
	return binding;
}


BRect
screen_frame(const BView* view)
{
	if (view->Window() == NULL)
		return BRect();
	return view->ConvertToScreen(view->Bounds());
}


// The text view's characters, made when first asked.
CharacterIndex&
characters_of(const BTextView* view)
{
	text_view_data& data = *BTextView::Private(view).Data();
	if (data.characters == NULL)
		data.characters = std::make_unique<CharacterIndex>();
	return *data.characters;
}


void describe_view(BView* view, accessible_info& info,
	std::vector<accessible_node>* children);


void
add_view_children(BView* view, std::vector<accessible_node>& children)
{
	for (int32 i = 0; i < view->CountChildren(); i++) {
		BView* child = view->ChildAt(i);
		if (child->IsHidden())
			continue;
		accessible_info info;
		describe_view(child, info, NULL);
		if (info.role == ACCESSIBLE_ROLE_NONE) {
			add_view_children(child, children);
			continue;
		}
		accessible_node node;
		node.kind = ACCESSIBLE_VIEW;
		node.window = view->Window();
		node.object = child;
		children.push_back(node);
	}
}


void
add_menu_items(BWindow* window, const BMenu* menu,
	std::vector<accessible_node>& children)
{
	if (menu == NULL)
		return;
	for (int32 i = 0; i < menu->CountItems(); i++) {
		accessible_node node;
		node.kind = ACCESSIBLE_MENU_ITEM;
		node.window = window;
		node.object = menu->ItemAt(i);
		children.push_back(node);
	}
}


void
describe_item(BWindow* window, BMenuItem* item, accessible_info& info,
	std::vector<accessible_node>* children)
{
	BMenu* menu = item->Menu();
	bool inBar = dynamic_cast<BMenuBar*>(menu) != NULL;
	if (dynamic_cast<BSeparatorItem*>(item) != NULL)
		info.role = ACCESSIBLE_ROLE_SEPARATOR;
	else if (item->Submenu() != NULL)
		info.role = ACCESSIBLE_ROLE_MENU;
	else if (item->IsMarked() || (menu != NULL && menu->IsRadioMode()))
		info.role = ACCESSIBLE_ROLE_CHECK_MENU_ITEM;
	else
		info.role = ACCESSIBLE_ROLE_MENU_ITEM;
	if (info.role != ACCESSIBLE_ROLE_SEPARATOR)
		info.name = item->Label() != NULL ? item->Label() : "";
	info.shortcut = key_binding(item);
	info.states = ACCESSIBLE_SELECTABLE | ACCESSIBLE_FOCUSABLE;
	if (item->IsEnabled() && (menu == NULL || menu->IsEnabled()))
		info.states |= ACCESSIBLE_ENABLED;
	if (info.role == ACCESSIBLE_ROLE_CHECK_MENU_ITEM)
		info.states |= ACCESSIBLE_CHECKABLE;
	if (item->IsMarked())
		info.states |= ACCESSIBLE_CHECKED;
	if (menu != NULL && BMenu::Private(menu).Selected() >= 0
		&& menu->ItemAt(BMenu::Private(menu).Selected()) == item) {
		info.states |= ACCESSIBLE_SELECTED;
	}
	if (item->Submenu() != NULL) {
		info.states |= ACCESSIBLE_HAS_POPUP;
		if (BMenu::Private(item->Submenu()).IsOpen())
			info.states |= ACCESSIBLE_EXPANDED;
	}
	// Items of a closed menu are not on the screen, but a screen reader
	// walks them all the same, as it does a toolkit's.
	if (inBar || (menu != NULL && BMenu::Private(menu).IsOpen()))
		info.states |= ACCESSIBLE_SHOWING;
	info.hasAction = info.role != ACCESSIBLE_ROLE_SEPARATOR;
	if (menu != NULL && menu->Window() != NULL) {
		BRect frame = item->Frame();
		info.frame = menu->ConvertToScreen(frame);
	}
	if (children != NULL && item->Submenu() != NULL)
		add_menu_items(window, item->Submenu(), *children);
}


void
describe_text(BTextView* view, accessible_info& info)
{
	info.hasText = true;
	info.role = ACCESSIBLE_ROLE_TEXT;
	info.states |= ACCESSIBLE_FOCUSABLE | ACCESSIBLE_MULTI_LINE;
	if (view->IsSelectable())
		info.states |= ACCESSIBLE_SELECTABLE_TEXT;
	if (view->IsEditable())
		info.states |= ACCESSIBLE_EDITABLE;
	if (BTextControl* control = dynamic_cast<BTextControl*>(view->Parent())) {
		info.role = ACCESSIBLE_ROLE_ENTRY;
		info.states &= ~ACCESSIBLE_MULTI_LINE;
		info.states |= ACCESSIBLE_SINGLE_LINE;
		info.name = control->Label() != NULL ? control->Label() : "";
		if (control->IsEnabled())
			info.states |= ACCESSIBLE_ENABLED;
		return;
	}
	info.states |= ACCESSIBLE_ENABLED;
	// An alert's message reads as a label, which screen readers speak
	// with the alert.
	if (BAlert* alert = dynamic_cast<BAlert*>(view->Window())) {
		if (alert->TextView() == view) {
			info.role = ACCESSIBLE_ROLE_LABEL;
			info.name = alert->Text() != NULL ? alert->Text() : "";
			info.states &= ~(ACCESSIBLE_FOCUSABLE | ACCESSIBLE_EDITABLE);
		}
	}
}


void
describe_view(BView* view, accessible_info& info,
	std::vector<accessible_node>* children)
{
	info.states = ACCESSIBLE_SHOWING;
	info.frame = screen_frame(view);
	if (view->IsFocus())
		info.states |= ACCESSIBLE_FOCUSED;
	bool viewChildren = true;

	if (dynamic_cast<BPrivate::MenuWindow*>(view->Window()) != NULL) {
		// A menu's own window: the menu is there through its owner.
		info.role = ACCESSIBLE_ROLE_NONE;
		viewChildren = false;
	} else if (dynamic_cast<BMenuBar*>(view) != NULL
		&& dynamic_cast<BMenuField*>(view->Parent()) != NULL) {
		// A menu field's bar: the field stands for it.
		info.role = ACCESSIBLE_ROLE_NONE;
		viewChildren = false;
	} else if (BMenuBar* bar = dynamic_cast<BMenuBar*>(view)) {
		info.role = ACCESSIBLE_ROLE_MENU_BAR;
		info.states |= ACCESSIBLE_ENABLED;
		if (children != NULL)
			add_menu_items(view->Window(), bar, *children);
		viewChildren = false;
	} else if (BMenuField* field = dynamic_cast<BMenuField*>(view)) {
		info.role = ACCESSIBLE_ROLE_COMBO_BOX;
		info.name = field->Label() != NULL ? field->Label() : "";
		if (BMenuItem* marked = field->Menu() != NULL
				? field->Menu()->FindMarked() : NULL) {
			info.description = marked->Label();
		} else if (field->MenuItem() != NULL)
			info.description = field->MenuItem()->Label();
		info.states |= ACCESSIBLE_FOCUSABLE | ACCESSIBLE_HAS_POPUP;
		if (field->IsEnabled())
			info.states |= ACCESSIBLE_ENABLED;
		info.hasAction = true;
		if (children != NULL && field->Menu() != NULL) {
			accessible_node node;
			node.kind = ACCESSIBLE_MENU_ITEM;
			node.window = view->Window();
			node.object = field->MenuItem();
			if (field->MenuItem() != NULL)
				children->push_back(node);
		}
		viewChildren = false;
	} else if (dynamic_cast<BMenu*>(view) != NULL) {
		info.role = ACCESSIBLE_ROLE_NONE;
		viewChildren = false;
	} else if (BTextView* text = dynamic_cast<BTextView*>(view)) {
		describe_text(text, info);
		viewChildren = false;
	} else if (BTextControl* control = dynamic_cast<BTextControl*>(view)) {
		// Its entry carries the label.
		(void)control;
		info.role = ACCESSIBLE_ROLE_NONE;
	} else if (BButton* button = dynamic_cast<BButton*>(view)) {
		info.role = ACCESSIBLE_ROLE_PUSH_BUTTON;
		info.name = button->Label() != NULL ? button->Label() : "";
		info.states |= ACCESSIBLE_FOCUSABLE;
		if (button->IsEnabled())
			info.states |= ACCESSIBLE_ENABLED;
		if (button->IsDefault())
			info.states |= ACCESSIBLE_DEFAULT;
		info.hasAction = true;
		viewChildren = false;
	} else if (BControl* control = dynamic_cast<BControl*>(view)) {
		// The other controls are two-state: check boxes.
		info.role = ACCESSIBLE_ROLE_CHECK_BOX;
		info.name = control->Label() != NULL ? control->Label() : "";
		info.states |= ACCESSIBLE_FOCUSABLE | ACCESSIBLE_CHECKABLE;
		if (control->IsEnabled())
			info.states |= ACCESSIBLE_ENABLED;
		if (control->Value() != B_CONTROL_OFF)
			info.states |= ACCESSIBLE_CHECKED;
		info.hasAction = true;
		viewChildren = false;
	} else if (BStringView* string = dynamic_cast<BStringView*>(view)) {
		// A string view at the window's bottom edge, beside a scroll bar,
		// is a status area; elsewhere it labels something.
		info.role = ACCESSIBLE_ROLE_LABEL;
		uint32 mode = view->ResizingMode();
		if ((mode & 0xF0) == (_VIEW_BOTTOM_ << 4)
			&& ((mode >> 12) & 0xF) == _VIEW_BOTTOM_) {
			info.role = ACCESSIBLE_ROLE_STATUS_BAR;
		}
		info.name = string->Text() != NULL ? string->Text() : "";
		info.states |= ACCESSIBLE_ENABLED;
		viewChildren = false;
	} else if (BBox* box = dynamic_cast<BBox*>(view)) {
		info.role = ACCESSIBLE_ROLE_PANEL;
		info.name = box->Label() != NULL ? box->Label() : "";
		info.states |= ACCESSIBLE_ENABLED;
	} else if (BScrollBar* bar = dynamic_cast<BScrollBar*>(view)) {
		info.role = ACCESSIBLE_ROLE_SCROLL_BAR;
		float minimum, maximum, small, big;
		bar->GetRange(&minimum, &maximum);
		bar->GetSteps(&small, &big);
		info.hasValue = true;
		info.value = bar->Value();
		info.minimum = minimum;
		info.maximum = maximum;
		info.step = small;
		info.states |= ACCESSIBLE_ENABLED
			| (bar->Orientation() == B_HORIZONTAL
				? ACCESSIBLE_HORIZONTAL : ACCESSIBLE_VERTICAL);
		viewChildren = false;
	} else if (dynamic_cast<BScrollView*>(view) != NULL) {
		info.role = ACCESSIBLE_ROLE_SCROLL_PANE;
		info.states |= ACCESSIBLE_ENABLED;
	} else if (AccessibleRows* rows = dynamic_cast<AccessibleRows*>(view)) {
		info.role = ACCESSIBLE_ROLE_LIST;
		info.name = rows->AccessibleListName();
		info.states |= ACCESSIBLE_ENABLED | ACCESSIBLE_FOCUSABLE;
		if (children != NULL) {
			for (int32 i = 0; i < rows->CountAccessibleRows(); i++) {
				accessible_node node;
				node.kind = ACCESSIBLE_ROW;
				node.window = view->Window();
				node.object = view;
				node.index = i;
				children->push_back(node);
			}
		}
		viewChildren = false;
	} else {
		// Plain views only group others.
		info.role = ACCESSIBLE_ROLE_NONE;
	}
	if (children != NULL && viewChildren)
		add_view_children(view, *children);
}


void
describe_window(BWindow* window, accessible_info& info,
	std::vector<accessible_node>* children)
{
	if (dynamic_cast<BPrivate::MenuWindow*>(window) != NULL) {
		info.role = ACCESSIBLE_ROLE_NONE;
		return;
	}
	if (dynamic_cast<BAlert*>(window) != NULL) {
		info.role = ACCESSIBLE_ROLE_ALERT;
		// The screen shows the application's name as its title.
		// The question itself is its label's, which screen readers speak
		// with the alert; as the description too it would be said twice.
		info.name = application_name();
	} else {
		bool dialog = window->Look() == B_MODAL_WINDOW_LOOK
			|| window->Look() == B_TITLED_WINDOW_LOOK
			|| window->Look() == B_FLOATING_WINDOW_LOOK
			|| (window->Feel() != B_NORMAL_WINDOW_FEEL);
		info.role = dialog ? ACCESSIBLE_ROLE_DIALOG : ACCESSIBLE_ROLE_FRAME;
		info.name = window->Title() != NULL ? window->Title() : "";
	}
	info.states = ACCESSIBLE_ENABLED | ACCESSIBLE_SHOWING;
	if (window->IsActive())
		info.states |= ACCESSIBLE_ACTIVE;
	if (window->Feel() == B_MODAL_APP_WINDOW_FEEL
		|| window->Feel() == B_MODAL_SUBSET_WINDOW_FEEL
		|| window->Feel() == B_MODAL_ALL_WINDOW_FEEL
		|| info.role == ACCESSIBLE_ROLE_ALERT)
		info.states |= ACCESSIBLE_MODAL;
	if ((window->Flags() & B_NOT_RESIZABLE) == 0)
		info.states |= ACCESSIBLE_RESIZABLE;
	info.frame = window->Frame();
	if (children != NULL) {
		for (int32 i = 0; i < window->CountChildren(); i++) {
			BView* child = window->ChildAt(i);
			if (child->IsHidden())
				continue;
			accessible_info childInfo;
			describe_view(child, childInfo, NULL);
			if (childInfo.role == ACCESSIBLE_ROLE_NONE) {
				add_view_children(child, *children);
				continue;
			}
			accessible_node node;
			node.kind = ACCESSIBLE_VIEW;
			node.window = window;
			node.object = child;
			children->push_back(node);
		}
	}
}


void
describe_row(BView* view, int32 index, accessible_info& info)
{
	AccessibleRows* rows = dynamic_cast<AccessibleRows*>(view);
	if (rows == NULL)
		return;
	info.role = ACCESSIBLE_ROLE_LIST_ITEM;
	info.name = rows->AccessibleRowName(index);
	info.states = ACCESSIBLE_ENABLED | ACCESSIBLE_SELECTABLE
		| ACCESSIBLE_SHOWING | ACCESSIBLE_FOCUSABLE;
	if (rows->IsAccessibleRowSelected(index)) {
		info.states |= ACCESSIBLE_SELECTED;
		if (view->IsFocus())
			info.states |= ACCESSIBLE_FOCUSED;
	}
	info.hasAction = true;
}


// The text view of a node that shows text; NULL for any other.
BTextView*
text_view_of(const accessible_node& node)
{
	if (node.kind != ACCESSIBLE_VIEW)
		return NULL;
	return dynamic_cast<BTextView*>((BView*)node.object);
}


// ICU's break iterators over a window of the text around a byte offset;
// a word or sentence never needs more than that much of a 100 MB text.
const int32 kBreakWindow = 4096;

bool
break_around(const BTextView* view, int32 offset, bool sentence,
	int32& _start, int32& _end)
{
	const TextBuffer& text = BTextView::Private(view).Data()->text;
	int32 from = TextMotion::CharStart(text, std::max(0, offset - kBreakWindow));
	int32 to = TextMotion::CharStart(text,
		std::min(text.Length(), offset + kBreakWindow));
	std::string bytes = text.GetText(from, to - from);
	UErrorCode status = U_ZERO_ERROR;
	UText* utext = utext_openUTF8(NULL, bytes.data(), (int64_t)bytes.size(),
		&status);
	std::unique_ptr<icu::BreakIterator> iterator(sentence
		? icu::BreakIterator::createSentenceInstance(icu::Locale::getDefault(),
			status)
		: icu::BreakIterator::createWordInstance(icu::Locale::getDefault(),
			status));
	if (U_FAILURE(status) || iterator == NULL) {
		utext_close(utext);
		return false;
	}
	iterator->setText(utext, status);
	int32 local = offset - from;
	if (sentence) {
		// A sentence runs from its start to the next one's.
		int32 start = iterator->isBoundary(local) ? local
			: iterator->preceding(local);
		int32 end = iterator->following(local);
		_start = from + std::max(start, 0);
		_end = from + (end == icu::BreakIterator::DONE ? (int32)bytes.size()
			: end);
	} else {
		// A word runs from its start to the next word's, taking in the
		// spaces and punctuation after it, as toolkits count words.
		int32 size = (int32)bytes.size();
		auto wordAt = [&](int32 boundary) {
			int32 next = iterator->following(boundary);
			return next != icu::BreakIterator::DONE
				&& iterator->getRuleStatus() != UBRK_WORD_NONE;
		};
		int32 start = local >= size ? size : iterator->preceding(local + 1);
		while (start > 0 && start != icu::BreakIterator::DONE
			&& !wordAt(start))
			start = iterator->preceding(start);
		if (start == icu::BreakIterator::DONE)
			start = 0;
		int32 end = local >= size ? size : iterator->following(local);
		while (end != icu::BreakIterator::DONE && end < size && !wordAt(end))
			end = iterator->following(end);
		if (end == icu::BreakIterator::DONE || end > size)
			end = size;
		_start = from + start;
		_end = from + end;
	}
	utext_close(utext);
	return true;
}


class KitsHost : public AccessibleHost {
public:
	std::string ApplicationName() override
	{
		return application_name();
	}

	void GetWindows(std::vector<accessible_node>& _windows) override
	{
		for (const window_entry& entry : window_list()) {
			BWindow* window = entry.window;
			if (window == NULL
				|| dynamic_cast<BPrivate::MenuWindow*>(window) != NULL)
				continue;
			NodeLock lock(window);
			if (lock.IsLocked() && window->IsHidden())
				continue;
			accessible_node node;
			node.kind = ACCESSIBLE_WINDOW;
			node.window = window;
			node.object = window;
			_windows.push_back(node);
		}
	}

	bool Describe(const accessible_node& node, accessible_info& _info,
		std::vector<accessible_node>* _children) override
	{
		if (node.kind == ACCESSIBLE_APPLICATION) {
			_info.role = ACCESSIBLE_ROLE_APPLICATION;
			_info.name = application_name();
			if (_children != NULL)
				GetWindows(*_children);
			return true;
		}
		NodeLock lock(node.window);
		if (!lock.IsLocked() || !node_is_there(node))
			return false;
		accessible_info info;
		switch (node.kind) {
			case ACCESSIBLE_WINDOW:
				describe_window(node.window, info, _children);
				break;
			case ACCESSIBLE_VIEW:
				describe_view((BView*)node.object, info, _children);
				break;
			case ACCESSIBLE_MENU_ITEM:
				describe_item(node.window, (BMenuItem*)node.object, info,
					_children);
				break;
			case ACCESSIBLE_ROW:
				describe_row((BView*)node.object, node.index, info);
				break;
			default:
				return false;
		}
		_info = info;
		return true;
	}

	bool GetParent(const accessible_node& node,
		accessible_node& _parent) override
	{
		if (node.kind == ACCESSIBLE_APPLICATION)
			return false;
		if (node.kind == ACCESSIBLE_WINDOW) {
			_parent = accessible_node();
			return true;
		}
		NodeLock lock(node.window);
		if (!lock.IsLocked() || !node_is_there(node))
			return false;
		if (node.kind == ACCESSIBLE_ROW) {
			_parent = accessible_node_for((BView*)node.object);
			return true;
		}
		BView* view = NULL;
		if (node.kind == ACCESSIBLE_MENU_ITEM) {
			BMenu* menu = ((BMenuItem*)node.object)->Menu();
			if (menu == NULL)
				return false;
			if (BMenuItem* super = menu->Superitem()) {
				_parent.kind = ACCESSIBLE_MENU_ITEM;
				_parent.window = node.window;
				_parent.object = super;
				_parent.index = -1;
				return true;
			}
			if (dynamic_cast<BMenuBar*>(menu) != NULL
				&& menu->Window() == node.window) {
				_parent = accessible_node_for(menu);
				// A menu field's bar is not exposed: the field is.
				accessible_info info;
				describe_view(menu, info, NULL);
				if (info.role != ACCESSIBLE_ROLE_NONE)
					return true;
				view = menu->Parent();
			} else
				return false;
		} else
			view = ((BView*)node.object)->Parent();
		for (; view != NULL; view = view->Parent()) {
			accessible_info info;
			describe_view(view, info, NULL);
			if (info.role != ACCESSIBLE_ROLE_NONE) {
				_parent = accessible_node_for(view);
				return true;
			}
		}
		_parent = accessible_node_for(node.window);
		return true;
	}

	bool DoAction(const accessible_node& node) override
	{
		NodeLock lock(node.window);
		if (!lock.IsLocked() || !node_is_there(node))
			return false;
		if (node.kind == ACCESSIBLE_MENU_ITEM) {
			BMenuItem* item = (BMenuItem*)node.object;
			if (!item->IsEnabled() || item->Submenu() != NULL)
				return false;
			return item->Invoke() == B_OK;
		}
		if (node.kind == ACCESSIBLE_ROW) {
			if (AccessibleRows* rows
					= dynamic_cast<AccessibleRows*>((BView*)node.object)) {
				rows->InvokeAccessibleRow(node.index);
				return true;
			}
			return false;
		}
		BView* view = (BView*)node.object;
		if (BButton* button = dynamic_cast<BButton*>(view)) {
			if (!button->IsEnabled())
				return false;
			return button->Invoke() == B_OK;
		}
		if (BControl* control = dynamic_cast<BControl*>(view)) {
			if (!control->IsEnabled())
				return false;
			control->SetValue(control->Value() == B_CONTROL_OFF
				? B_CONTROL_ON : B_CONTROL_OFF);
			return control->Invoke() == B_OK;
		}
		if (BMenuField* field = dynamic_cast<BMenuField*>(view)) {
			field->MakeFocus(true);
			return true;
		}
		return false;
	}

	bool GrabFocus(const accessible_node& node) override
	{
		NodeLock lock(node.window);
		if (!lock.IsLocked() || !node_is_there(node))
			return false;
		if (node.kind == ACCESSIBLE_WINDOW) {
			node.window->Activate(true);
			return true;
		}
		if (node.kind != ACCESSIBLE_VIEW)
			return false;
		BView* view = (BView*)node.object;
		view->MakeFocus(true);
		node.window->Activate(true);
		return true;
	}

	int32 CharacterCount(const accessible_node& node) override
	{
		NodeLock lock(node.window);
		BTextView* view = _TextView(node, lock);
		if (view == NULL)
			return -1;
		return characters_of(view).CountCharacters(_Text(view));
	}

	bool GetText(const accessible_node& node, int32 start, int32 end,
		std::string& _text) override
	{
		NodeLock lock(node.window);
		BTextView* view = _TextView(node, lock);
		if (view == NULL)
			return false;
		CharacterIndex& index = characters_of(view);
		const TextBuffer& text = _Text(view);
		int32 from = index.ByteOffset(text, std::max(start, (int32)0));
		int32 to = end < 0 ? text.Length() : index.ByteOffset(text, end);
		_text.clear();
		if (to > from)
			CharacterIndex::AppendCharacters(text, from, to, _text);
		return true;
	}

	bool GetUnit(const accessible_node& node, int32 offset,
		accessible_text_unit unit, int32& _start, int32& _end) override
	{
		NodeLock lock(node.window);
		BTextView* view = _TextView(node, lock);
		if (view == NULL)
			return false;
		CharacterIndex& index = characters_of(view);
		const TextBuffer& text = _Text(view);
		int32 byte = index.ByteOffset(text, offset);
		int32 start = byte;
		int32 end = byte;
		switch (unit) {
			case ACCESSIBLE_CHARACTER:
				end = TextMotion::NextChar(text, byte);
				break;
			case ACCESSIBLE_WORD:
			case ACCESSIBLE_SENTENCE:
				if (!break_around(view, byte, unit == ACCESSIBLE_SENTENCE,
						start, end))
					return false;
				break;
			case ACCESSIBLE_LINE:
			{
				int32 line = view->LineAt(byte);
				start = view->OffsetAt(line);
				end = line + 1 < view->CountLines()
					? view->OffsetAt(line + 1) : text.Length();
				break;
			}
			case ACCESSIBLE_PARAGRAPH:
			{
				const LineIndex& lines = BTextView::Private(view).Data()->lines;
				start = TextMotion::LineStart(lines, byte);
				end = TextMotion::LineEnd(lines, byte);
				if (end < text.Length())
					end++;
				break;
			}
		}
		_start = index.CharacterOffset(text, start);
		_end = index.CharacterOffset(text, end);
		return true;
	}

	int32 CaretOffset(const accessible_node& node) override
	{
		NodeLock lock(node.window);
		BTextView* view = _TextView(node, lock);
		if (view == NULL)
			return -1;
		text_view_data& data = *BTextView::Private(view).Data();
		int32 caret = data.anchor == data.selectionStart
			? data.selectionEnd : data.selectionStart;
		return characters_of(view).CharacterOffset(data.text, caret);
	}

	bool GetSelection(const accessible_node& node, int32& _start,
		int32& _end) override
	{
		NodeLock lock(node.window);
		BTextView* view = _TextView(node, lock);
		if (view == NULL)
			return false;
		int32 start, end;
		view->GetSelection(&start, &end);
		CharacterIndex& index = characters_of(view);
		_start = index.CharacterOffset(_Text(view), start);
		_end = index.CharacterOffset(_Text(view), end);
		return true;
	}

	bool Select(const accessible_node& node, int32 start, int32 end) override
	{
		NodeLock lock(node.window);
		BTextView* view = _TextView(node, lock);
		if (view == NULL)
			return false;
		CharacterIndex& index = characters_of(view);
		int32 from = index.ByteOffset(_Text(view), start);
		int32 to = index.ByteOffset(_Text(view), std::max(start, end));
		view->Select(from, to);
		view->ScrollToSelection();
		return true;
	}

	bool CharacterFrame(const accessible_node& node, int32 offset,
		BRect& _frame) override
	{
		NodeLock lock(node.window);
		BTextView* view = _TextView(node, lock);
		if (view == NULL)
			return false;
		const TextBuffer& text = _Text(view);
		int32 byte = characters_of(view).ByteOffset(text, offset);
		float height;
		BPoint left = view->PointAt(byte, &height);
		BPoint right = byte < text.Length()
			? view->PointAt(TextMotion::NextChar(text, byte)) : left;
		if (right.y != left.y || right.x < left.x)
			right.x = left.x + 1;
		_frame = view->ConvertToScreen(BRect(left.x, left.y, right.x - 1,
			left.y + height - 1));
		return true;
	}

	int32 OffsetAt(const accessible_node& node, BPoint screen) override
	{
		NodeLock lock(node.window);
		BTextView* view = _TextView(node, lock);
		if (view == NULL)
			return -1;
		BPoint point = view->ConvertFromScreen(screen);
		if (!view->Bounds().Contains(point))
			return -1;
		return characters_of(view).CharacterOffset(_Text(view),
			view->OffsetAt(point));
	}

	bool GetStyle(const accessible_node& node,
		accessible_text_style& _style) override
	{
		NodeLock lock(node.window);
		BTextView* view = _TextView(node, lock);
		if (view == NULL)
			return false;
		BFont font;
		rgb_color color;
		view->GetFontAndColor(0, &font, &color);
		font_family family;
		font_style style;
		font.GetFamilyAndStyle(&family, &style);
		_style.family = family;
		_style.style = style;
		_style.size = font.Size();
		_style.bold = (font.Face() & B_BOLD_FACE) != 0;
		_style.italic = (font.Face() & B_ITALIC_FACE) != 0;
		_style.red = color.red;
		_style.green = color.green;
		_style.blue = color.blue;
		return true;
	}

	bool InsertText(const accessible_node& node, int32 offset,
		const std::string& text) override
	{
		NodeLock lock(node.window);
		BTextView* view = _TextView(node, lock);
		if (view == NULL || !view->IsEditable())
			return false;
		int32 byte = characters_of(view).ByteOffset(_Text(view), offset);
		view->Insert(byte, text.data(), (int32)text.size());
		return true;
	}

	bool DeleteText(const accessible_node& node, int32 start,
		int32 end) override
	{
		NodeLock lock(node.window);
		BTextView* view = _TextView(node, lock);
		if (view == NULL || !view->IsEditable())
			return false;
		CharacterIndex& index = characters_of(view);
		int32 from = index.ByteOffset(_Text(view), start);
		int32 to = end < 0 ? _Text(view).Length()
			: index.ByteOffset(_Text(view), end);
		view->Delete(from, to);
		return true;
	}

	bool SetText(const accessible_node& node, const std::string& text) override
	{
		NodeLock lock(node.window);
		BTextView* view = _TextView(node, lock);
		if (view == NULL || !view->IsEditable())
			return false;
		view->Delete(0, view->TextLength());
		view->Insert(0, text.data(), (int32)text.size());
		return true;
	}

	bool ClipboardAction(const accessible_node& node, clipboard_action action,
		int32 start, int32 end) override
	{
		NodeLock lock(node.window);
		BTextView* view = _TextView(node, lock);
		if (view == NULL)
			return false;
		CharacterIndex& index = characters_of(view);
		int32 from = index.ByteOffset(_Text(view), start);
		int32 to = index.ByteOffset(_Text(view), std::max(start, end));
		view->Select(from, to);
		switch (action) {
			case CUT:
				if (!view->IsEditable())
					return false;
				view->Cut(be_clipboard);
				break;
			case COPY:
				view->Copy(be_clipboard);
				break;
			case PASTE:
				if (!view->IsEditable())
					return false;
				view->Paste(be_clipboard);
				break;
		}
		return true;
	}

private:
	static BTextView* _TextView(const accessible_node& node,
		const NodeLock& lock)
	{
		if (!lock.IsLocked() || node.kind != ACCESSIBLE_VIEW
			|| !node_is_there(node))
			return NULL;
		return text_view_of(node);
	}

	static const TextBuffer& _Text(const BTextView* view)
	{
		return BTextView::Private(view).Data()->text;
	}
};

}	// namespace


namespace BPrivate {

AccessibleHost&
accessible_host()
{
	static KitsHost sHost;
	return sHost;
}


accessible_node
accessible_node_for(BView* view)
{
	accessible_node node;
	if (view == NULL || view->Window() == NULL)
		return node;
	node.kind = ACCESSIBLE_VIEW;
	node.window = view->Window();
	node.object = view;
	return node;
}


accessible_node
accessible_node_for(BWindow* window)
{
	accessible_node node;
	node.kind = ACCESSIBLE_WINDOW;
	node.window = window;
	node.object = window;
	return node;
}


bool
accessible_describe_locked(const accessible_node& node, accessible_info& _info)
{
	switch (node.kind) {
		case ACCESSIBLE_WINDOW:
			describe_window(node.window, _info, NULL);
			return true;
		case ACCESSIBLE_VIEW:
			describe_view((BView*)node.object, _info, NULL);
			return true;
		case ACCESSIBLE_MENU_ITEM:
			describe_item(node.window, (BMenuItem*)node.object, _info, NULL);
			return true;
		case ACCESSIBLE_ROW:
			describe_row((BView*)node.object, node.index, _info);
			return true;
		default:
			_info.role = ACCESSIBLE_ROLE_APPLICATION;
			_info.name = application_name();
			return true;
	}
}


int32
accessible_character_offset(const BTextView* view, int32 byteOffset)
{
	return characters_of(view).CharacterOffset(
		BTextView::Private(view).Data()->text, byteOffset);
}

}	// namespace BPrivate
