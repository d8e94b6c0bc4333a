/*
 * The Text and EditableText interfaces of the bridge's text objects:
 * every question goes to the host, which reads the text view under its
 * window's lock, in characters. Nothing keeps a copy of the text, so a
 * 100 MB document costs what the answer is long.
 */
#include "Bridge.h"

#include <string.h>

namespace BPrivate {

namespace {

KitsAccessible*
KITS(gpointer object)
{
	return (KitsAccessible*)object;
}


const accessible_node&
node_of(AtkText* text)
{
	return *KITS(text)->node;
}


gchar*
text_between(AtkText* text, gint start, gint end)
{
	std::string result;
	if (!bridge_host().GetText(node_of(text), start, end, result))
		return g_strdup("");
	return g_strdup(result.c_str());
}


gchar*
kits_get_text(AtkText* text, gint start, gint end)
{
	return text_between(text, start, end);
}


gint
kits_get_character_count(AtkText* text)
{
	gint count = bridge_host().CharacterCount(node_of(text));
	return count < 0 ? 0 : count;
}


gunichar
kits_get_character_at_offset(AtkText* text, gint offset)
{
	std::string result;
	if (!bridge_host().GetText(node_of(text), offset, offset + 1, result)
		|| result.empty())
		return 0;
	return g_utf8_get_char(result.c_str());
}


gint
kits_get_caret_offset(AtkText* text)
{
	gint caret = bridge_host().CaretOffset(node_of(text));
	return caret < 0 ? KITS(text)->caret : caret;
}


gboolean
kits_set_caret_offset(AtkText* text, gint offset)
{
	return bridge_host().Select(node_of(text), offset, offset);
}


accessible_text_unit
unit_for(AtkTextGranularity granularity)
{
	switch (granularity) {
		case ATK_TEXT_GRANULARITY_CHAR:			return ACCESSIBLE_CHARACTER;
		case ATK_TEXT_GRANULARITY_WORD:			return ACCESSIBLE_WORD;
		case ATK_TEXT_GRANULARITY_SENTENCE:		return ACCESSIBLE_SENTENCE;
		case ATK_TEXT_GRANULARITY_LINE:			return ACCESSIBLE_LINE;
		case ATK_TEXT_GRANULARITY_PARAGRAPH:	return ACCESSIBLE_PARAGRAPH;
	}
	return ACCESSIBLE_CHARACTER;
}


gchar*
kits_get_string_at_offset(AtkText* text, gint offset,
	AtkTextGranularity granularity, gint* _start, gint* _end)
{
	int32 start, end;
	if (!bridge_host().GetUnit(node_of(text), offset, unit_for(granularity),
			start, end)) {
		*_start = *_end = offset;
		return g_strdup("");
	}
	*_start = start;
	*_end = end;
	return text_between(text, start, end);
}


AtkTextGranularity
granularity_for(AtkTextBoundary boundary)
{
	switch (boundary) {
		case ATK_TEXT_BOUNDARY_CHAR:
			return ATK_TEXT_GRANULARITY_CHAR;
		case ATK_TEXT_BOUNDARY_WORD_START:
		case ATK_TEXT_BOUNDARY_WORD_END:
			return ATK_TEXT_GRANULARITY_WORD;
		case ATK_TEXT_BOUNDARY_SENTENCE_START:
		case ATK_TEXT_BOUNDARY_SENTENCE_END:
			return ATK_TEXT_GRANULARITY_SENTENCE;
		case ATK_TEXT_BOUNDARY_LINE_START:
		case ATK_TEXT_BOUNDARY_LINE_END:
			return ATK_TEXT_GRANULARITY_LINE;
	}
	return ATK_TEXT_GRANULARITY_CHAR;
}


gchar*
kits_get_text_at_offset(AtkText* text, gint offset, AtkTextBoundary boundary,
	gint* _start, gint* _end)
{
	return kits_get_string_at_offset(text, offset, granularity_for(boundary),
		_start, _end);
}


gchar*
kits_get_text_before_offset(AtkText* text, gint offset,
	AtkTextBoundary boundary, gint* _start, gint* _end)
{
	int32 start, end;
	AtkTextGranularity granularity = granularity_for(boundary);
	if (!bridge_host().GetUnit(node_of(text), offset, unit_for(granularity),
			start, end) || start <= 0) {
		*_start = *_end = 0;
		return g_strdup("");
	}
	return kits_get_string_at_offset(text, start - 1, granularity, _start,
		_end);
}


gchar*
kits_get_text_after_offset(AtkText* text, gint offset,
	AtkTextBoundary boundary, gint* _start, gint* _end)
{
	int32 start, end;
	AtkTextGranularity granularity = granularity_for(boundary);
	gint count = kits_get_character_count(text);
	if (!bridge_host().GetUnit(node_of(text), offset, unit_for(granularity),
			start, end) || end >= count) {
		*_start = *_end = count;
		return g_strdup("");
	}
	return kits_get_string_at_offset(text, end, granularity, _start, _end);
}


AtkAttributeSet*
add_attribute(AtkAttributeSet* set, AtkTextAttribute attribute,
	const std::string& value)
{
	AtkAttribute* entry = (AtkAttribute*)g_malloc(sizeof(AtkAttribute));
	entry->name = g_strdup(atk_text_attribute_get_name(attribute));
	entry->value = g_strdup(value.c_str());
	return g_slist_prepend(set, entry);
}


AtkAttributeSet*
style_attributes(AtkText* text)
{
	accessible_text_style style;
	if (!bridge_host().GetStyle(node_of(text), style))
		return NULL;
	AtkAttributeSet* set = NULL;
	set = add_attribute(set, ATK_TEXT_ATTR_FAMILY_NAME, style.family);
	char number[64];
	snprintf(number, sizeof(number), "%g", style.size);
	set = add_attribute(set, ATK_TEXT_ATTR_SIZE, number);
	set = add_attribute(set, ATK_TEXT_ATTR_WEIGHT, style.bold ? "700" : "400");
	set = add_attribute(set, ATK_TEXT_ATTR_STYLE,
		style.italic ? "italic" : "normal");
	snprintf(number, sizeof(number), "%u,%u,%u", style.red * 257u,
		style.green * 257u, style.blue * 257u);
	set = add_attribute(set, ATK_TEXT_ATTR_FG_COLOR, number);
	return set;
}


AtkAttributeSet*
kits_get_run_attributes(AtkText* text, gint offset, gint* _start, gint* _end)
{
	// The text has one font and colour from end to end.
	(void)offset;
	*_start = 0;
	*_end = kits_get_character_count(text);
	return style_attributes(text);
}


AtkAttributeSet*
kits_get_default_attributes(AtkText* text)
{
	return style_attributes(text);
}


void
kits_get_character_extents(AtkText* text, gint offset, gint* x, gint* y,
	gint* width, gint* height, AtkCoordType coords)
{
	(void)coords;
	BRect frame;
	if (!bridge_host().CharacterFrame(node_of(text), offset, frame)) {
		*x = *y = *width = *height = -1;
		return;
	}
	*x = (gint)frame.left;
	*y = (gint)frame.top;
	*width = (gint)(frame.right - frame.left) + 1;
	*height = (gint)(frame.bottom - frame.top) + 1;
}


gint
kits_get_offset_at_point(AtkText* text, gint x, gint y, AtkCoordType coords)
{
	(void)coords;
	return bridge_host().OffsetAt(node_of(text), BPoint(x, y));
}


gint
kits_get_n_selections(AtkText* text)
{
	int32 start, end;
	if (!bridge_host().GetSelection(node_of(text), start, end))
		return 0;
	return end > start ? 1 : 0;
}


gchar*
kits_get_selection(AtkText* text, gint index, gint* _start, gint* _end)
{
	int32 start, end;
	if (index != 0 || !bridge_host().GetSelection(node_of(text), start, end)
		|| end <= start) {
		*_start = *_end = 0;
		return NULL;
	}
	*_start = start;
	*_end = end;
	return text_between(text, start, end);
}


gboolean
kits_set_selection(AtkText* text, gint index, gint start, gint end)
{
	if (index != 0)
		return FALSE;
	return bridge_host().Select(node_of(text), std::min(start, end),
		std::max(start, end));
}


gboolean
kits_add_selection(AtkText* text, gint start, gint end)
{
	// One selection at a time: a new one takes the old one's place.
	return kits_set_selection(text, 0, start, end);
}


gboolean
kits_remove_selection(AtkText* text, gint index)
{
	if (index != 0)
		return FALSE;
	gint caret = kits_get_caret_offset(text);
	return bridge_host().Select(node_of(text), caret, caret);
}


// #pragma mark - AtkEditableText


void
kits_insert_text(AtkEditableText* text, const gchar* string, gint length,
	gint* position)
{
	if (string == NULL || position == NULL)
		return;
	if (length < 0)
		length = (gint)strlen(string);
	std::string inserted(string, length);
	if (!g_utf8_validate(inserted.data(), inserted.size(), NULL))
		return;
	if (bridge_host().InsertText(*KITS(text)->node, *position, inserted))
		*position += (gint)g_utf8_strlen(inserted.data(), inserted.size());
}


void
kits_delete_text(AtkEditableText* text, gint start, gint end)
{
	bridge_host().DeleteText(*KITS(text)->node, start, end);
}


void
kits_set_text_contents(AtkEditableText* text, const gchar* string)
{
	if (string != NULL)
		bridge_host().SetText(*KITS(text)->node, string);
}


void
kits_copy_text(AtkEditableText* text, gint start, gint end)
{
	bridge_host().ClipboardAction(*KITS(text)->node, AccessibleHost::COPY,
		start, end);
}


void
kits_cut_text(AtkEditableText* text, gint start, gint end)
{
	bridge_host().ClipboardAction(*KITS(text)->node, AccessibleHost::CUT,
		start, end);
}


void
kits_paste_text(AtkEditableText* text, gint position)
{
	bridge_host().ClipboardAction(*KITS(text)->node, AccessibleHost::PASTE,
		position, position);
}

}	// namespace


void
init_text_interface(AtkTextIface* iface)
{
	iface->get_text = kits_get_text;
	iface->get_character_count = kits_get_character_count;
	iface->get_character_at_offset = kits_get_character_at_offset;
	iface->get_caret_offset = kits_get_caret_offset;
	iface->set_caret_offset = kits_set_caret_offset;
	iface->get_string_at_offset = kits_get_string_at_offset;
	iface->get_text_at_offset = kits_get_text_at_offset;
	iface->get_text_before_offset = kits_get_text_before_offset;
	iface->get_text_after_offset = kits_get_text_after_offset;
	iface->get_run_attributes = kits_get_run_attributes;
	iface->get_default_attributes = kits_get_default_attributes;
	iface->get_character_extents = kits_get_character_extents;
	iface->get_offset_at_point = kits_get_offset_at_point;
	iface->get_n_selections = kits_get_n_selections;
	iface->get_selection = kits_get_selection;
	iface->set_selection = kits_set_selection;
	iface->add_selection = kits_add_selection;
	iface->remove_selection = kits_remove_selection;
}


void
init_editable_text_interface(AtkEditableTextIface* iface)
{
	iface->insert_text = kits_insert_text;
	iface->delete_text = kits_delete_text;
	iface->set_text_contents = kits_set_text_contents;
	iface->copy_text = kits_copy_text;
	iface->cut_text = kits_cut_text;
	iface->paste_text = kits_paste_text;
}


void
report_selection(KitsAccessible* object)
{
	if (object->defunct)
		return;
	const accessible_node& node = *object->node;
	int32 caret = bridge_host().CaretOffset(node);
	int32 start, end;
	if (caret < 0 || !bridge_host().GetSelection(node, start, end))
		return;
	bool hadSelection = object->selectionEnd > object->selectionStart;
	bool selectionMoved = start != object->selectionStart
		|| end != object->selectionEnd;
	bool caretMoved = caret != object->caret;
	object->caret = caret;
	object->selectionStart = start;
	object->selectionEnd = end;
	if (caretMoved)
		g_signal_emit_by_name(object, "text-caret-moved", caret);
	if (selectionMoved && (hadSelection || end > start))
		g_signal_emit_by_name(object, "text-selection-changed");
}

}	// namespace BPrivate
