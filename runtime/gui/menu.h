// Menus: the items both menu kinds hold, and the pop-up menu. A menu is no
// window of its own: it is a native menu handle that a window shows (the
// bar, see menubar.h) or that an item of another menu opens (a submenu).
//
// An item is described by an array {caption, block, style, attribute}:
// - caption: a text ("~" before the key letter) or a submenu, an XbpBaseMenu
//   whose `title` becomes the item's text;
// - block: called with (index, NIL, menu) when the user chooses the item, or
//   NIL;
// - style: kMenuSeparator for a separator line, or NIL;
// - attribute: kMenuChecked and kMenuDisabled bits, or NIL; on a menu bar
//   also kMenuKeyLetter (see menubar.h). Other bits are kept as given and
//   getItem answers them unchanged.
// Positions are 1-based.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "window.h"

namespace rt {

inline constexpr long kMenuSeparator = 0x0004;  // style
inline constexpr long kMenuChecked = 0x2000;    // attribute bits
inline constexpr long kMenuDisabled = 0x4000;
inline constexpr long kMenuKeyLetter = 0x20000;  // the bar's item answers its key letter

class XbpBaseMenu;

// What the menu bar and the pop-up menu share: the items and their native
// menu. Changes take effect on the native menu at once; before create() they
// are kept and the native menu is built from them.
class XbpMenuItems : public XbpWindow {
  RT_CLASS("XbpMenuItems", XbpMenuItems, XbpWindow)

 public:
  ~XbpMenuItems() override;

  void create(const Args& args = {}) override;
  // Destroys the native menu with its submenus' and forgets every item. A
  // submenu that is an item of another menu leaves that menu first.
  void destroy() override;
  // Hides XbpWindow::isCreated: a menu has no window handle.
  bool isCreated() const { return menu_ != nullptr; }

  // Each answers the new number of items, 0 when the item was refused (not an
  // item array; a submenu that is already an item elsewhere or would contain
  // itself; a position outside 1 .. numItems() + 1).
  long addItem(const Value& item);
  long insItem(long pos, const Value& item);
  bool delItem(long pos);
  bool setItem(long pos, const Value& item);
  // A new array {caption, block, style, attribute} as stored; NIL outside.
  Value getItem(long pos) const;
  long numItems() const { return static_cast<long>(items_.size()); }
  // Whether `pos` (1-based) names an item.
  bool has(long pos) const { return pos >= 1 && pos <= numItems(); }

  // The state bits of the item's attribute change with these.
  bool checkItem(long pos, bool check = true);
  bool isItemChecked(long pos) const;
  bool enableItem(long pos);
  bool disableItem(long pos);
  bool isItemEnabled(long pos) const;

  // Callback when the user chose an item (event kEvSelected; mp1 the item's
  // index). The item's own block runs first.
  Value itemSelected;

  Value handleEvent(long code, const Value& mp1, const Value& mp2) override;

  // --- the runtime's native side -------------------------------------------
  NativeMenu nativeMenu() const { return menu_; }
  // The native menu dies with what holds it (the window of a bar, the menu of
  // a submenu): forget it, its submenus and the items. Only a native menu
  // that nothing took over is destroyed here.
  void dropNative();

 protected:
  XbpMenuItems() = default;
  NativeSpec nativeSpec() const override { return {}; }
  const EventRoutes& routes() const override;
  // A new empty native menu of the kind; nullptr when it cannot exist now.
  virtual NativeMenu newNativeMenu() = 0;
  // The native menu's items changed (a bar redraws its window's menu line).
  virtual void itemsChanged() {}
  // The native text of the item at `pos` titled `title` ("~" before the key
  // letter).
  virtual std::wstring nativeText(long pos, std::string_view title);
  // The item's text, or its submenu's title; empty for separators.
  std::string itemTitle(long pos) const;
  // Puts every item's nativeText on the native menu again.
  void refreshTexts();
  void applyBackground();

  NativeMenu menu_ = nullptr;  // while created, whoever owns it
  OwnedMenu owned_;            // while no other menu or window owns it

 private:
  friend class XbpBaseMenu;
  friend bool ChooseMenuItem(unsigned id);
  struct Item {
    Value caption, block, style, attribute;
    std::shared_ptr<XbpBaseMenu> submenu;
    unsigned id = 0;  // command id; 0 for separators and submenus
  };
  bool readItem(const Value& array, Item& item, const XbpBaseMenu* replacing) const;
  void insertNative(size_t index);
  void removeNative(size_t index);
  void setState(size_t index, long bit, bool on);
  // Takes out the item that holds `submenu`.
  void releaseSubmenu(const XbpBaseMenu* submenu);
  void forgetItems();

  std::vector<Item> items_;
  OwnedBrush background_;
};

// A pop-up menu: a submenu of a bar or of another menu.
class XbpBaseMenu : public XbpMenuItems {
  RT_CLASS("XbpBaseMenu", XbpBaseMenu, XbpMenuItems)

 public:
  XbpBaseMenu() = default;
  std::string title;  // the text of the item that opens this menu; "~" allowed

  void destroy() override;

 protected:
  NativeMenu newNativeMenu() override;

 private:
  friend class XbpMenuItems;
  XbpMenuItems* holder_ = nullptr;  // the menu whose item this menu is
};

// The user chose the menu item with this command id: its menu gets the event.
// False when no menu item has the id.
bool ChooseMenuItem(unsigned id);

}  // namespace rt
