/*
 * BMenuItem: one entry of a menu. An item has a label, a message that it
 * sends when the user chooses it, an optional keyboard shortcut, and may
 * lead to a submenu instead. BSeparatorItem is the line between groups
 * of items.
 *
 * Threads: an item is used on the thread of the window that holds its
 * menu (the owning window for a menu bar or field). While its menu is
 * open, the menu's own window draws it; the setters lock that window.
 *
 * Owns: its label, its message (as an invoker) and its submenu.
 */
#ifndef _MENU_ITEM_H
#define _MENU_ITEM_H

#include <Invoker.h>
#include <Point.h>
#include <Rect.h>

class BMenu;
class BMessage;

namespace BPrivate {
class MenuTracker;
}

class BMenuItem : public BInvoker {
public:
	// shortcut is a character typed with Command; modifiers adds the
	// others (B_SHIFT_KEY, B_OPTION_KEY, ...); Command is always implied.
								BMenuItem(const char* label,
									BMessage* message, char shortcut = 0,
									uint32 modifiers = 0);
	// An item that opens the submenu; its label is the submenu's name.
								BMenuItem(BMenu* menu,
									BMessage* message = NULL);
	virtual						~BMenuItem();

	// NULL is taken as an empty label.
	virtual	void				SetLabel(const char* label);
	virtual	void				SetEnabled(bool enabled);
	virtual	void				SetMarked(bool marked);
	virtual	void				SetTrigger(char trigger);
	virtual	void				SetShortcut(char shortcut, uint32 modifiers);

			const char*			Label() const;
	// False also while the menu that holds the item is disabled.
			bool				IsEnabled() const;
			bool				IsMarked() const;
			char				Trigger() const;
	// The modifiers always include B_COMMAND_KEY when there is a
	// shortcut.
			char				Shortcut(uint32* _modifiers = NULL) const;

			BMenu*				Submenu() const;
	// The menu that holds the item; NULL before it is added to one.
			BMenu*				Menu() const;
	// In the coordinates of the menu that holds it.
			BRect				Frame() const;

	// Sends a copy of the message (Message() when NULL) with "when",
	// "source" (this item) and "index" (its place in its menu) to the
	// target, or, without one, to the window that holds the menu bar or
	// field the item belongs to. B_NOT_ALLOWED for a disabled item.
	virtual	status_t			Invoke(BMessage* message = NULL);

protected:
	virtual	void				GetContentSize(float* _width,
									float* _height);
	virtual	void				DrawContent();
	virtual	void				Draw();
	virtual	void				Highlight(bool highlight);
			bool				IsSelected() const;
	// Where DrawContent() starts drawing (menu coordinates).
			BPoint				ContentLocation() const;

private:
	friend class BMenu;
	friend class BMenuBar;
	friend class BPrivate::MenuTracker;

								BMenuItem(const BMenuItem&) = delete;
			BMenuItem&			operator=(const BMenuItem&) = delete;

			void				_SetMenu(BMenu* menu);
			void				_Changed();
			void				_DrawShortcut(float right);
			void				_DrawTriggerMark(float left, float baseline,
									const struct font_height& fontHeight);
			float				_ShortcutWidth() const;

			char*				fLabel;
			BMenu*				fSubmenu;
	// The menu that holds the item.
			BMenu*				fSuper;
			BRect				fBounds;
			uint32				fModifiers;
			char				fShortcutChar;
			char				fTrigger;
			bool				fEnabled;
			bool				fMarked;
			bool				fSelected;
};


class BSeparatorItem : public BMenuItem {
public:
								BSeparatorItem();
	virtual						~BSeparatorItem();

	// A separator never becomes enabled.
	virtual	void				SetEnabled(bool enabled);

protected:
	virtual	void				GetContentSize(float* _width,
									float* _height);
	virtual	void				Draw();
};

#endif	// _MENU_ITEM_H
