/*
 * BMenu: a list of menu items, laid out in a column (a menu that pops
 * up) or in a row (a menu bar). An item may lead to a submenu. A menu
 * opens in a borderless window of its own, placed by whoever opens it,
 * and is tracked by the window that owns the bar or field it belongs to.
 *
 * Threads: a menu is used on the thread of the window that owns its bar
 * or field. While it is open, its own window's thread draws it.
 *
 * Owns: its items (deleting a menu deletes them and their submenus).
 */
#ifndef _MENU_H
#define _MENU_H

#include <InterfaceDefs.h>
#include <Messenger.h>
#include <View.h>

#include <vector>

class BMenuItem;
class BWindow;

namespace BPrivate {
class MenuTracker;
class MenuWindow;
}

enum menu_layout {
	B_ITEMS_IN_ROW = 0,
	B_ITEMS_IN_COLUMN,
	B_ITEMS_IN_MATRIX
};


class BMenu : public BView {
public:
								BMenu(const char* name,
									menu_layout layout = B_ITEMS_IN_COLUMN);
	virtual						~BMenu();

	// Hooks
	virtual	void				AttachedToWindow();
	virtual	void				Draw(BRect updateRect);
	virtual	void				MessageReceived(BMessage* message);
	virtual	void				GetPreferredSize(float* _width,
									float* _height);
	virtual	void				ResizeToPreferred();

	// Items. An item belongs to one menu at a time: adding an item that is
	// in a menu already fails. An index outside 0 .. CountItems() fails.
			bool				AddItem(BMenuItem* item);
			bool				AddItem(BMenuItem* item, int32 index);
	// Adds an item that opens the submenu.
			bool				AddItem(BMenu* submenu);
			bool				AddItem(BMenu* submenu, int32 index);
			bool				AddSeparatorItem();
	// The removed item belongs to the caller.
			bool				RemoveItem(BMenuItem* item);
			BMenuItem*			RemoveItem(int32 index);
			bool				RemoveItems(int32 index, int32 count,
									bool deleteItems = false);
			bool				RemoveItem(BMenu* submenu);

			BMenuItem*			ItemAt(int32 index) const;
			BMenu*				SubmenuAt(int32 index) const;
			int32				CountItems() const;
			int32				IndexOf(BMenuItem* item) const;
			int32				IndexOf(BMenu* submenu) const;
	// Search this menu and its submenus, depth first; NULL when no item
	// matches.
			BMenuItem*			FindItem(uint32 command) const;
			BMenuItem*			FindItem(const char* label) const;

	// Targets every item (not those of submenus).
	virtual	status_t			SetTargetForItems(BHandler* target);
	virtual	status_t			SetTargetForItems(BMessenger messenger);
	virtual	void				SetEnabled(bool enabled);
	// In radio mode marking an item unmarks the others, and choosing an
	// item marks it.
	virtual	void				SetRadioMode(bool on);
	virtual	void				SetTriggersEnabled(bool enabled);
	virtual	void				SetMaxContentWidth(float maxWidth);
	// The superitem's label (a menu field's label) follows the marked
	// item.
			void				SetLabelFromMarked(bool on);
			bool				IsLabelFromMarked();
			bool				IsEnabled() const;
			bool				IsRadioMode() const;
			bool				AreTriggersEnabled() const;
			float				MaxContentWidth() const;

	// The first marked item; NULL when none is.
			BMenuItem*			FindMarked();
			int32				FindMarkedIndex();

			BMenu*				Supermenu() const;
			BMenuItem*			Superitem() const;

	class Private;

protected:
	// A menu with a frame of its own: a menu bar.
								BMenu(BRect frame, const char* name,
									uint32 resizingMode, uint32 flags,
									menu_layout layout, bool resizeToFit);

	// Where the menu's window goes (screen coordinates, its left top)
	// when it opens as a submenu of its superitem.
	virtual	BPoint				ScreenLocation();

private:
	friend class BMenuBar;
	friend class BMenuItem;
	friend class Private;
	friend class BPrivate::MenuTracker;

			void				_InitData(menu_layout layout);
			bool				_AddItem(BMenuItem* item, int32 index);
			void				_ItemMarked(BMenuItem* item);
			void				_Relayout();
			void				_ComputeLayout();
	// The item under the point (menu coordinates); -1 for none.
			int32				_ItemIndexAt(BPoint point) const;
			void				_SetSelected(int32 index);

			std::vector<BMenuItem*> fItems;
			menu_layout			fLayout;
	// The item that opens this menu, and the menu that holds it.
			BMenuItem*			fSuperitem;
			BMenu*				fSupermenu;
	// The preferred size from the items, once laid out.
			float				fPreferredWidth;
			float				fPreferredHeight;
			float				fMaxContentWidth;
	// The highlighted item; -1 for none.
			int32				fSelected;
			bool				fLayoutValid;
			bool				fResizeToFit;
			bool				fEnabled;
			bool				fRadioMode;
			bool				fLabelFromMarked;
			bool				fTriggersEnabled;
	// Set while the menus were opened from the keyboard: the letters that
	// pick the items are underlined then.
			bool				fTriggersShown;
	// Set on the menu that a tracking session started from (a bar or a
	// pop-up) while its menus are open.
			BPrivate::MenuTracker* fTracker;
};

#endif	// _MENU_H
