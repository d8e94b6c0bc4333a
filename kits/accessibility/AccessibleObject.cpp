/*
 * The ATK objects of the bridge: one GObject type per set of interfaces
 * (every object is a component; text views add Text and EditableText,
 * buttons and items Action, scroll bars Value, windows AtkWindow), all
 * answering from the same node.
 */
#include "Bridge.h"

#include <map>
#include <string.h>
#include <tuple>

namespace BPrivate {

namespace {

typedef std::tuple<int, const void*, const void*, int32> node_key;

node_key
key_of(const accessible_node& node)
{
	return node_key(node.kind, node.window, node.object, node.index);
}

// Never destroyed: the bridge's thread may still use it while the
// process runs its exit handlers.
std::map<node_key, KitsAccessible*>& sObjects
	= *new std::map<node_key, KitsAccessible*>;
KitsAccessible* sFocus = NULL;
AtkObject* sApplication = NULL;

GType sBaseType = 0;
GType sTextType = 0;
GType sActionType = 0;
GType sValueType = 0;
GType sWindowType = 0;
gpointer sParentClass = NULL;


KitsAccessible*
KITS(gpointer object)
{
	return (KitsAccessible*)object;
}


AtkRole
atk_role_for(accessible_role role)
{
	switch (role) {
		case ACCESSIBLE_ROLE_APPLICATION:		return ATK_ROLE_APPLICATION;
		case ACCESSIBLE_ROLE_FRAME:				return ATK_ROLE_FRAME;
		case ACCESSIBLE_ROLE_DIALOG:			return ATK_ROLE_DIALOG;
		case ACCESSIBLE_ROLE_ALERT:				return ATK_ROLE_ALERT;
		case ACCESSIBLE_ROLE_PANEL:				return ATK_ROLE_PANEL;
		case ACCESSIBLE_ROLE_MENU_BAR:			return ATK_ROLE_MENU_BAR;
		case ACCESSIBLE_ROLE_MENU:				return ATK_ROLE_MENU;
		case ACCESSIBLE_ROLE_MENU_ITEM:			return ATK_ROLE_MENU_ITEM;
		case ACCESSIBLE_ROLE_CHECK_MENU_ITEM:	return ATK_ROLE_CHECK_MENU_ITEM;
		case ACCESSIBLE_ROLE_SEPARATOR:			return ATK_ROLE_SEPARATOR;
		case ACCESSIBLE_ROLE_PUSH_BUTTON:		return ATK_ROLE_PUSH_BUTTON;
		case ACCESSIBLE_ROLE_CHECK_BOX:			return ATK_ROLE_CHECK_BOX;
		case ACCESSIBLE_ROLE_RADIO_BUTTON:		return ATK_ROLE_RADIO_BUTTON;
		case ACCESSIBLE_ROLE_COMBO_BOX:			return ATK_ROLE_COMBO_BOX;
		case ACCESSIBLE_ROLE_TEXT:				return ATK_ROLE_TEXT;
		case ACCESSIBLE_ROLE_ENTRY:				return ATK_ROLE_ENTRY;
		case ACCESSIBLE_ROLE_LABEL:				return ATK_ROLE_LABEL;
		case ACCESSIBLE_ROLE_STATUS_BAR:		return ATK_ROLE_STATUSBAR;
		case ACCESSIBLE_ROLE_SCROLL_BAR:		return ATK_ROLE_SCROLL_BAR;
		case ACCESSIBLE_ROLE_SCROLL_PANE:		return ATK_ROLE_SCROLL_PANE;
		case ACCESSIBLE_ROLE_LIST:				return ATK_ROLE_LIST;
		case ACCESSIBLE_ROLE_LIST_ITEM:			return ATK_ROLE_LIST_ITEM;
		case ACCESSIBLE_ROLE_NONE:				break;
	}
	return ATK_ROLE_UNKNOWN;
}


const struct {
	uint32			bit;
	AtkStateType	state;
} kStates[] = {
	{ ACCESSIBLE_ENABLED, ATK_STATE_ENABLED },
	{ ACCESSIBLE_ENABLED, ATK_STATE_SENSITIVE },
	{ ACCESSIBLE_FOCUSABLE, ATK_STATE_FOCUSABLE },
	{ ACCESSIBLE_CHECKABLE, ATK_STATE_CHECKABLE },
	{ ACCESSIBLE_CHECKED, ATK_STATE_CHECKED },
	{ ACCESSIBLE_EDITABLE, ATK_STATE_EDITABLE },
	{ ACCESSIBLE_MULTI_LINE, ATK_STATE_MULTI_LINE },
	{ ACCESSIBLE_SINGLE_LINE, ATK_STATE_SINGLE_LINE },
	{ ACCESSIBLE_SELECTABLE, ATK_STATE_SELECTABLE },
	{ ACCESSIBLE_SELECTED, ATK_STATE_SELECTED },
	{ ACCESSIBLE_ACTIVE, ATK_STATE_ACTIVE },
	{ ACCESSIBLE_SHOWING, ATK_STATE_SHOWING },
	{ ACCESSIBLE_SHOWING, ATK_STATE_VISIBLE },
	{ ACCESSIBLE_MODAL, ATK_STATE_MODAL },
	{ ACCESSIBLE_DEFAULT, ATK_STATE_DEFAULT },
	{ ACCESSIBLE_HORIZONTAL, ATK_STATE_HORIZONTAL },
	{ ACCESSIBLE_VERTICAL, ATK_STATE_VERTICAL },
	{ ACCESSIBLE_RESIZABLE, ATK_STATE_RESIZABLE },
	{ ACCESSIBLE_HAS_POPUP, ATK_STATE_HAS_POPUP },
	{ ACCESSIBLE_SELECTABLE_TEXT, ATK_STATE_SELECTABLE_TEXT },
	{ ACCESSIBLE_EXPANDED, ATK_STATE_EXPANDED },
};


// #pragma mark - AtkObject


void
kits_accessible_init(GTypeInstance* instance, gpointer)
{
	KitsAccessible* object = KITS(instance);
	object->node = new accessible_node;
	object->info = new accessible_info;
	object->children = new std::vector<accessible_node>;
	object->caret = -1;
	object->selectionStart = -1;
	object->selectionEnd = -1;
	object->defunct = false;
}


void
kits_accessible_finalize(GObject* gobject)
{
	KitsAccessible* object = KITS(gobject);
	delete object->node;
	delete object->info;
	delete object->children;
	G_OBJECT_CLASS(sParentClass)->finalize(gobject);
}


gint
kits_get_n_children(AtkObject* atkObject)
{
	KitsAccessible* object = KITS(atkObject);
	if (object->defunct)
		return 0;
	accessible_info info;
	std::vector<accessible_node> children;
	if (bridge_host().Describe(*object->node, info, &children)) {
		*object->children = children;
		update_accessible(object, info);
	}
	return (gint)object->children->size();
}


AtkObject*
kits_ref_child(AtkObject* atkObject, gint index)
{
	KitsAccessible* object = KITS(atkObject);
	if (object->defunct)
		return NULL;
	if (index < 0 || index >= (gint)object->children->size())
		kits_get_n_children(atkObject);
	if (index < 0 || index >= (gint)object->children->size())
		return NULL;
	KitsAccessible* child = accessible_for((*object->children)[index]);
	if (child == NULL)
		return NULL;
	if (ATK_OBJECT(child)->accessible_parent == NULL)
		atk_object_set_parent(ATK_OBJECT(child), atkObject);
	return ATK_OBJECT(g_object_ref(child));
}


AtkObject*
kits_get_parent(AtkObject* atkObject)
{
	if (atkObject->accessible_parent != NULL)
		return atkObject->accessible_parent;
	KitsAccessible* object = KITS(atkObject);
	if (object->node->kind == ACCESSIBLE_APPLICATION || object->defunct)
		return NULL;
	accessible_node parentNode;
	if (!bridge_host().GetParent(*object->node, parentNode))
		return NULL;
	AtkObject* parent = parentNode.kind == ACCESSIBLE_APPLICATION
		? application_accessible() : ATK_OBJECT(accessible_for(parentNode));
	if (parent != NULL)
		atk_object_set_parent(atkObject, parent);
	return parent;
}


gint
kits_get_index_in_parent(AtkObject* atkObject)
{
	KitsAccessible* object = KITS(atkObject);
	AtkObject* parent = atk_object_get_parent(atkObject);
	if (parent == NULL)
		return -1;
	KitsAccessible* kitsParent = KITS(parent);
	kits_get_n_children(parent);
	for (size_t i = 0; i < kitsParent->children->size(); i++) {
		if ((*kitsParent->children)[i] == *object->node)
			return (gint)i;
	}
	return -1;
}


AtkStateSet*
kits_ref_state_set(AtkObject* atkObject)
{
	KitsAccessible* object = KITS(atkObject);
	AtkStateSet* set = atk_state_set_new();
	if (object->defunct) {
		atk_state_set_add_state(set, ATK_STATE_DEFUNCT);
		return set;
	}
	refresh_accessible(object);
	uint32 states = object->info->states;
	for (const auto& entry : kStates) {
		if ((states & entry.bit) != 0)
			atk_state_set_add_state(set, entry.state);
	}
	if (object == sFocus)
		atk_state_set_add_state(set, ATK_STATE_FOCUSED);
	return set;
}


AtkAttributeSet*
kits_get_attributes(AtkObject* atkObject)
{
	(void)atkObject;
	AtkAttribute* toolkit = (AtkAttribute*)g_malloc(sizeof(AtkAttribute));
	toolkit->name = g_strdup("toolkit");
	toolkit->value = g_strdup("kits");
	return g_slist_append(NULL, toolkit);
}


void
kits_accessible_class_init(gpointer klass, gpointer)
{
	sParentClass = g_type_class_peek_parent(klass);
	G_OBJECT_CLASS(klass)->finalize = kits_accessible_finalize;
	AtkObjectClass* atkClass = ATK_OBJECT_CLASS(klass);
	atkClass->get_n_children = kits_get_n_children;
	atkClass->ref_child = kits_ref_child;
	atkClass->get_parent = kits_get_parent;
	atkClass->get_index_in_parent = kits_get_index_in_parent;
	atkClass->ref_state_set = kits_ref_state_set;
	atkClass->get_attributes = kits_get_attributes;
}


// #pragma mark - AtkComponent


void
kits_get_extents(AtkComponent* component, gint* x, gint* y, gint* width,
	gint* height, AtkCoordType coordType)
{
	(void)coordType;
	KitsAccessible* object = KITS(component);
	refresh_accessible(object);
	BRect frame = object->info->frame;
	if (frame.left > frame.right || frame.top > frame.bottom) {
		*x = *y = *width = *height = -1;
		return;
	}
	*x = (gint)frame.left;
	*y = (gint)frame.top;
	*width = (gint)(frame.right - frame.left) + 1;
	*height = (gint)(frame.bottom - frame.top) + 1;
}


gboolean
kits_grab_focus(AtkComponent* component)
{
	return bridge_host().GrabFocus(*KITS(component)->node);
}


void
init_component_interface(gpointer iface, gpointer)
{
	AtkComponentIface* component = (AtkComponentIface*)iface;
	component->get_extents = kits_get_extents;
	component->grab_focus = kits_grab_focus;
}


// #pragma mark - AtkAction


gint
kits_get_n_actions(AtkAction* action)
{
	return KITS(action)->info->hasAction ? 1 : 0;
}


gboolean
kits_do_action(AtkAction* action, gint index)
{
	if (index != 0)
		return FALSE;
	// The action may open a modal window that waits for an answer: it
	// runs after this call has returned to the screen reader.
	accessible_node node = *KITS(action)->node;
	post_to_bridge([node]() { bridge_host().DoAction(node); });
	return TRUE;
}


const gchar*
kits_action_name(AtkAction* action, gint index)
{
	if (index != 0)
		return NULL;
	switch (KITS(action)->info->role) {
		case ACCESSIBLE_ROLE_CHECK_BOX:
		case ACCESSIBLE_ROLE_CHECK_MENU_ITEM:
			return "toggle";
		case ACCESSIBLE_ROLE_MENU_ITEM:
		case ACCESSIBLE_ROLE_MENU:
		case ACCESSIBLE_ROLE_LIST_ITEM:
			return "activate";
		case ACCESSIBLE_ROLE_COMBO_BOX:
			return "press";
		default:
			return "click";
	}
}


const gchar*
kits_action_keybinding(AtkAction* action, gint index)
{
	if (index != 0)
		return NULL;
	KitsAccessible* object = KITS(action);
	// mnemonic;sequence;shortcut, as the desktop's toolkits give them.
	static std::string sBinding;
	sBinding = ";;" + object->info->shortcut;
	return object->info->shortcut.empty() ? "" : sBinding.c_str();
}


void
init_action_interface(gpointer iface, gpointer)
{
	AtkActionIface* action = (AtkActionIface*)iface;
	action->get_n_actions = kits_get_n_actions;
	action->do_action = kits_do_action;
	action->get_name = kits_action_name;
	action->get_keybinding = kits_action_keybinding;
}


// #pragma mark - AtkValue


void
kits_get_value_and_text(AtkValue* value, gdouble* current, gchar** text)
{
	KitsAccessible* object = KITS(value);
	refresh_accessible(object);
	*current = object->info->value;
	if (text != NULL)
		*text = NULL;
}


AtkRange*
kits_get_range(AtkValue* value)
{
	KitsAccessible* object = KITS(value);
	return atk_range_new(object->info->minimum, object->info->maximum, NULL);
}


gdouble
kits_get_increment(AtkValue* value)
{
	return KITS(value)->info->step;
}


void
init_value_interface(gpointer iface, gpointer)
{
	AtkValueIface* value = (AtkValueIface*)iface;
	value->get_value_and_text = kits_get_value_and_text;
	value->get_range = kits_get_range;
	value->get_increment = kits_get_increment;
}


void
init_text_iface(gpointer iface, gpointer)
{
	init_text_interface((AtkTextIface*)iface);
}


void
init_editable_iface(gpointer iface, gpointer)
{
	init_editable_text_interface((AtkEditableTextIface*)iface);
}


void
init_window_iface(gpointer, gpointer)
{
}


void
register_types()
{
	if (sBaseType != 0)
		return;
	GTypeInfo info = {};
	info.class_size = sizeof(KitsAccessibleClass);
	info.class_init = kits_accessible_class_init;
	info.instance_size = sizeof(KitsAccessible);
	info.instance_init = kits_accessible_init;
	sBaseType = g_type_register_static(ATK_TYPE_OBJECT, "KitsAccessible",
		&info, (GTypeFlags)0);
	GInterfaceInfo component = { init_component_interface, NULL, NULL };
	g_type_add_interface_static(sBaseType, ATK_TYPE_COMPONENT, &component);

	GTypeInfo subtype = {};
	subtype.class_size = sizeof(KitsAccessibleClass);
	subtype.instance_size = sizeof(KitsAccessible);
	sTextType = g_type_register_static(sBaseType, "KitsAccessibleText",
		&subtype, (GTypeFlags)0);
	GInterfaceInfo text = { init_text_iface, NULL, NULL };
	GInterfaceInfo editable = { init_editable_iface, NULL, NULL };
	g_type_add_interface_static(sTextType, ATK_TYPE_TEXT, &text);
	g_type_add_interface_static(sTextType, ATK_TYPE_EDITABLE_TEXT, &editable);

	GInterfaceInfo action = { init_action_interface, NULL, NULL };
	sActionType = g_type_register_static(sBaseType, "KitsAccessibleAction",
		&subtype, (GTypeFlags)0);
	g_type_add_interface_static(sActionType, ATK_TYPE_ACTION, &action);

	GInterfaceInfo value = { init_value_interface, NULL, NULL };
	sValueType = g_type_register_static(sBaseType, "KitsAccessibleValue",
		&subtype, (GTypeFlags)0);
	g_type_add_interface_static(sValueType, ATK_TYPE_VALUE, &value);

	GInterfaceInfo window = { init_window_iface, NULL, NULL };
	sWindowType = g_type_register_static(sBaseType, "KitsAccessibleWindow",
		&subtype, (GTypeFlags)0);
	g_type_add_interface_static(sWindowType, ATK_TYPE_WINDOW, &window);
}


GType
type_for(const accessible_node& node, const accessible_info& info)
{
	if (node.kind == ACCESSIBLE_WINDOW)
		return sWindowType;
	if (info.hasText)
		return sTextType;
	if (info.hasValue)
		return sValueType;
	if (info.hasAction)
		return sActionType;
	return sBaseType;
}


// The children-changed signal's detail and index for the application's
// windows.
void
announce_window(KitsAccessible* window, bool added)
{
	AtkObject* application = application_accessible();
	gint index = added ? atk_object_get_n_accessible_children(application)
		- 1 : 0;
	g_signal_emit_by_name(application, added ? "children-changed::add"
		: "children-changed::remove", index, window);
}

}	// namespace


AtkObject*
application_accessible()
{
	if (sApplication == NULL) {
		register_types();
		accessible_node node;
		KitsAccessible* application = KITS(g_object_new(sBaseType, NULL));
		*application->node = node;
		bridge_host().Describe(node, *application->info, NULL);
		sApplication = ATK_OBJECT(application);
		atk_object_set_role(sApplication, ATK_ROLE_APPLICATION);
		atk_object_set_name(sApplication, application->info->name.c_str());
	}
	return sApplication;
}


KitsAccessible*
find_accessible(const accessible_node& node)
{
	if (node.kind == ACCESSIBLE_APPLICATION)
		return KITS(application_accessible());
	auto found = sObjects.find(key_of(node));
	return found != sObjects.end() ? found->second : NULL;
}


KitsAccessible*
accessible_for(const accessible_node& node, const accessible_info* given)
{
	if (KitsAccessible* known = find_accessible(node)) {
		if (given != NULL)
			update_accessible(known, *given);
		return known;
	}
	register_types();
	accessible_info info;
	if (given != NULL)
		info = *given;
	else if (!bridge_host().Describe(node, info, NULL))
		return NULL;
	KitsAccessible* object = KITS(g_object_new(type_for(node, info), NULL));
	*object->node = node;
	*object->info = info;
	AtkObject* atkObject = ATK_OBJECT(object);
	atkObject->role = atk_role_for(info.role);
	atkObject->name = g_strdup(info.name.c_str());
	atkObject->description = g_strdup(info.description.c_str());
	if (node.kind == ACCESSIBLE_WINDOW)
		atk_object_set_parent(atkObject, application_accessible());
	sObjects[key_of(node)] = object;
	return object;
}


void
forget_window(BWindow* window)
{
	for (auto entry = sObjects.begin(); entry != sObjects.end();) {
		KitsAccessible* object = entry->second;
		if (object->node->window != window) {
			++entry;
			continue;
		}
		object->defunct = true;
		if (object == sFocus)
			sFocus = NULL;
		if (object->node->kind == ACCESSIBLE_WINDOW) {
			announce_window(object, false);
			g_signal_emit_by_name(object, "destroy");
		}
		atk_object_notify_state_change(ATK_OBJECT(object), ATK_STATE_DEFUNCT,
			TRUE);
		g_object_unref(object);
		entry = sObjects.erase(entry);
	}
}


void
update_accessible(KitsAccessible* object, const accessible_info& info)
{
	AtkObject* atkObject = ATK_OBJECT(object);
	accessible_info old = *object->info;
	*object->info = info;
	if (old.name != info.name)
		atk_object_set_name(atkObject, info.name.c_str());
	if (old.description != info.description)
		atk_object_set_description(atkObject, info.description.c_str());
	uint32 changed = old.states ^ info.states;
	for (const auto& entry : kStates) {
		if ((changed & entry.bit) != 0) {
			atk_object_notify_state_change(atkObject, entry.state,
				(info.states & entry.bit) != 0);
		}
	}
	if (old.hasValue && info.hasValue && old.value != info.value)
		g_object_notify(G_OBJECT(object), "accessible-value");
}


bool
refresh_accessible(KitsAccessible* object)
{
	if (object->defunct || object->node->kind == ACCESSIBLE_APPLICATION)
		return false;
	accessible_info info;
	if (!bridge_host().Describe(*object->node, info, NULL))
		return false;
	update_accessible(object, info);
	return true;
}


void
set_focus_object(KitsAccessible* object)
{
	if (object == sFocus)
		return;
	KitsAccessible* previous = sFocus;
	sFocus = object;
	if (previous != NULL) {
		atk_object_notify_state_change(ATK_OBJECT(previous),
			ATK_STATE_FOCUSED, FALSE);
	}
	if (object != NULL) {
		atk_object_notify_state_change(ATK_OBJECT(object), ATK_STATE_FOCUSED,
			TRUE);
		G_GNUC_BEGIN_IGNORE_DEPRECATIONS
		atk_focus_tracker_notify(ATK_OBJECT(object));
		G_GNUC_END_IGNORE_DEPRECATIONS
	}
}


KitsAccessible*
focus_object()
{
	return sFocus;
}


void
announce_new_window(KitsAccessible* window)
{
	announce_window(window, true);
	g_signal_emit_by_name(window, "create");
}

}	// namespace BPrivate
