// Menu items on native menus, and the pop-up menu.
#include <unordered_map>

#include "../events.h"
#include "menu.h"
#include "native.h"

namespace rt {

namespace {

// Command ids of menu items, unique in the process so that a WM_COMMAND
// without a control handle names exactly one item. They stay below the
// system commands (0xF000) and above the dialog-manager ids; freed ids come
// back only after the others, so a late command cannot reach a new item.
constexpr unsigned kFirstCommand = 0x0100;
constexpr unsigned kLastCommand = 0xEFFF;

std::unordered_map<unsigned, XbpMenuItems*>& Commands() {
  static std::unordered_map<unsigned, XbpMenuItems*> commands;
  return commands;
}

unsigned NewCommandId(XbpMenuItems* menu) {
  static unsigned next = kFirstCommand;
  auto& commands = Commands();
  if (commands.size() > kLastCommand - kFirstCommand) return 0;
  while (commands.count(next)) next = next == kLastCommand ? kFirstCommand : next + 1;
  const unsigned id = next;
  next = next == kLastCommand ? kFirstCommand : next + 1;
  commands[id] = menu;
  return id;
}

void FreeCommandId(unsigned& id) {
  if (id) Commands().erase(id);
  id = 0;
}

long Bits(const Value& attribute) { return attribute.isNumber() ? attribute.integer() : 0; }

bool IsSeparator(const Value& style) { return Bits(style) & kMenuSeparator; }

UINT NativeState(const Value& attribute) {
  const long bits = Bits(attribute);
  return ((bits & kMenuChecked) ? MFS_CHECKED : 0u) | ((bits & kMenuDisabled) ? MFS_DISABLED : 0u);
}

}  // namespace

// --- items -------------------------------------------------------------------

// The owned native menu, destroyed after this, takes the submenus' along.
XbpMenuItems::~XbpMenuItems() { forgetItems(); }

const EventRoutes& XbpMenuItems::routes() const {
  static const EventRoute rows[] = {
      {EventRoute::From::Posted, 0, kEvSelected, CallbackOf(&XbpMenuItems::itemSelected)},
  };
  static const EventRoutes table{&XbpWindow::routes(), rows};
  return table;
}

void XbpMenuItems::create(const Args& args) {
  if (!args.empty()) init(args);
  if (menu_) return;
  NativeMenu menu = newNativeMenu();
  if (!menu) return;
  menu_ = menu;
  owned_.reset(menu);
  applyBackground();
  for (size_t i = 0; i < items_.size(); ++i) insertNative(i);
  afterCreate();
}

void XbpMenuItems::destroy() {
  if (!menu_) return;
  const ObjectRef keep = shared_from_this();  // the items' closures may hold the last reference
  dropNative();
}

void XbpMenuItems::dropNative() {
  if (!menu_) return;
  forgetItems();
  owned_.reset();  // nobody took it over: still ours to destroy
  menu_ = nullptr;
  background_.reset();
  onNativeDestroyed();
}

void XbpMenuItems::forgetItems() {
  std::vector<Item> items = std::move(items_);
  items_.clear();
  for (Item& item : items) {
    FreeCommandId(item.id);
    if (!item.submenu) continue;
    item.submenu->holder_ = nullptr;
    // Attached: its native menu goes with this one.
    if (menu_ && !item.submenu->owned_) item.submenu->dropNative();
  }
}

void XbpMenuItems::applyBackground() {
  // The nearest background among this menu and the menus it belongs to; the
  // system's menu colour when none has one.
  Value color;
  for (const XbpWindow* w = this; w && color.isNil();) {
    const auto* menu = dynamic_cast<const XbpMenuItems*>(w);
    if (!menu) break;
    if (menu->bg_.isNumber()) color = menu->bg_;
    w = menu->parent_.get();
  }
  if (!color.isNumber() || !menu_) return;
  background_.reset(CreateSolidBrush(ColorOf(color.integer())));
  MENUINFO info{};
  info.cbSize = sizeof info;
  info.fMask = MIM_BACKGROUND;
  info.hbrBack = background_.get();
  SetMenuInfo(menu_, &info);
}

bool XbpMenuItems::readItem(const Value& array, Item& item, const XbpBaseMenu* replacing) const {
  if (!array.isArray()) return false;
  item = Item{array.at(1), array.at(2), array.at(3), array.at(4), nullptr, 0};
  if (IsSeparator(item.style)) return true;
  if (item.caption.isText()) return true;
  auto submenu = item.caption.as<XbpBaseMenu>();
  if (!submenu) return false;
  // A native menu opens from one item only, and never from inside itself.
  if (submenu->holder_ && submenu.get() != replacing) return false;
  for (const XbpMenuItems* m = this; m;) {
    if (m == submenu.get()) return false;
    const auto* menu = dynamic_cast<const XbpBaseMenu*>(m);
    m = menu ? menu->holder_ : nullptr;
  }
  item.submenu = std::move(submenu);
  return true;
}

void XbpMenuItems::insertNative(size_t index) {
  Item& item = items_[index];
  MENUITEMINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_FTYPE | MIIM_STATE;
  info.fState = NativeState(item.attribute);
  std::wstring text;
  if (IsSeparator(item.style)) {
    info.fType = MFT_SEPARATOR;
  } else {
    info.fType = MFT_STRING;
    info.fMask |= MIIM_STRING;
    if (item.submenu) {
      item.submenu->create();
      if (!item.submenu->menu_) return;
      info.fMask |= MIIM_SUBMENU;
      info.hSubMenu = item.submenu->menu_;
    } else {
      item.id = NewCommandId(this);
      info.fMask |= MIIM_ID;
      info.wID = item.id;
    }
    const long pos = static_cast<long>(index) + 1;
    text = nativeText(pos, itemTitle(pos));
    info.dwTypeData = text.data();
  }
  if (!InsertMenuItemW(menu_, static_cast<UINT>(index), TRUE, &info)) {
    FreeCommandId(item.id);
    return;
  }
  // From now on this menu destroys the submenu's native menu with its own.
  if (item.submenu) item.submenu->owned_.release();
}

std::wstring XbpMenuItems::nativeText(long, std::string_view title) { return NativeCaption(title); }

std::string XbpMenuItems::itemTitle(long pos) const {
  if (!has(pos)) return {};
  const Item& item = items_[static_cast<size_t>(pos - 1)];
  if (item.submenu) return item.submenu->title;
  return item.caption.isText() ? item.caption.text() : std::string();
}

void XbpMenuItems::refreshTexts() {
  if (!menu_) return;
  for (size_t i = 0; i < items_.size(); ++i) {
    if (IsSeparator(items_[i].style)) continue;
    const long pos = static_cast<long>(i) + 1;
    std::wstring text = nativeText(pos, itemTitle(pos));
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING;
    info.dwTypeData = text.data();
    SetMenuItemInfoW(menu_, static_cast<UINT>(i), TRUE, &info);
  }
}

void XbpMenuItems::removeNative(size_t index) {
  Item& item = items_[index];
  // RemoveMenu, unlike DeleteMenu, leaves a submenu's native menu alive: it
  // goes back to its object.
  RemoveMenu(menu_, static_cast<UINT>(index), MF_BYPOSITION);
  FreeCommandId(item.id);
  if (item.submenu && item.submenu->menu_ && !item.submenu->owned_) item.submenu->owned_.reset(item.submenu->menu_);
}

long XbpMenuItems::addItem(const Value& item) { return insItem(numItems() + 1, item); }

long XbpMenuItems::insItem(long pos, const Value& array) {
  if (pos < 1 || pos > numItems() + 1) return 0;
  Item item;
  if (!readItem(array, item, nullptr)) return 0;
  const size_t index = static_cast<size_t>(pos - 1);
  if (item.submenu) item.submenu->holder_ = this;
  items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(index), std::move(item));
  if (menu_) {
    insertNative(index);
    itemsChanged();
  }
  return numItems();
}

bool XbpMenuItems::delItem(long pos) {
  if (!has(pos)) return false;
  const size_t index = static_cast<size_t>(pos - 1);
  if (menu_) removeNative(index);
  Item removed = std::move(items_[index]);
  items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(index));
  if (removed.submenu) removed.submenu->holder_ = nullptr;
  if (menu_) itemsChanged();
  return true;
}

bool XbpMenuItems::setItem(long pos, const Value& array) {
  if (!has(pos)) return false;
  const size_t index = static_cast<size_t>(pos - 1);
  Item item;
  if (!readItem(array, item, items_[index].submenu.get())) return false;
  if (menu_) removeNative(index);
  Item replaced = std::exchange(items_[index], std::move(item));
  if (replaced.submenu) replaced.submenu->holder_ = nullptr;
  if (items_[index].submenu) items_[index].submenu->holder_ = this;
  if (menu_) {
    insertNative(index);
    itemsChanged();
  }
  return true;
}

Value XbpMenuItems::getItem(long pos) const {
  if (!has(pos)) return Value();
  const Item& item = items_[static_cast<size_t>(pos - 1)];
  return Value{item.caption, item.block, item.style, item.attribute};
}

void XbpMenuItems::setState(size_t index, long bit, bool on) {
  Value& attribute = items_[index].attribute;
  const long bits = Bits(attribute);
  // A NIL attribute stays NIL as long as no state bit is set in it.
  if (attribute.isNumber() || on) {
    const Value updated(on ? (bits | bit) : (bits & ~bit));
    attribute = updated;
  }
  if (!menu_) return;
  const UINT position = static_cast<UINT>(index);
  if (bit == kMenuChecked) {
    CheckMenuItem(menu_, position, MF_BYPOSITION | (on ? MF_CHECKED : MF_UNCHECKED));
  } else {
    EnableMenuItem(menu_, position, MF_BYPOSITION | (on ? MF_GRAYED : MF_ENABLED));
  }
  itemsChanged();
}

bool XbpMenuItems::checkItem(long pos, bool check) {
  if (!has(pos)) return false;
  setState(static_cast<size_t>(pos - 1), kMenuChecked, check);
  return true;
}

bool XbpMenuItems::enableItem(long pos) {
  if (!has(pos)) return false;
  setState(static_cast<size_t>(pos - 1), kMenuDisabled, false);
  return true;
}

bool XbpMenuItems::disableItem(long pos) {
  if (!has(pos)) return false;
  setState(static_cast<size_t>(pos - 1), kMenuDisabled, true);
  return true;
}

bool XbpMenuItems::isItemChecked(long pos) const {
  return has(pos) && (Bits(items_[static_cast<size_t>(pos - 1)].attribute) & kMenuChecked);
}

bool XbpMenuItems::isItemEnabled(long pos) const {
  return has(pos) && !(Bits(items_[static_cast<size_t>(pos - 1)].attribute) & kMenuDisabled);
}

void XbpMenuItems::releaseSubmenu(const XbpBaseMenu* submenu) {
  for (size_t i = 0; i < items_.size(); ++i) {
    if (items_[i].submenu.get() == submenu) {
      delItem(static_cast<long>(i) + 1);
      return;
    }
  }
}

Value XbpMenuItems::handleEvent(long code, const Value& mp1, const Value& mp2) {
  if (!menu_) return Value();
  const ObjectRef self = shared_from_this();
  if (code == kEvSelected) {
    const long pos = mp1.integer();
    if (has(pos)) callBlock(items_[static_cast<size_t>(pos - 1)].block, mp1, mp2);
    // The item's block may have destroyed the menu, and the callback with it.
    if (menu_) callBlock(itemSelected, mp1, mp2);
  }
  return Value(self);
}

bool ChooseMenuItem(unsigned id) {
  auto it = Commands().find(id);
  if (it == Commands().end()) return false;
  XbpMenuItems* menu = it->second;
  for (size_t i = 0; i < menu->items_.size(); ++i) {
    if (menu->items_[i].id != id) continue;
    // A disabled item cannot be chosen, even by a command that was on its way.
    if (menu->isItemEnabled(static_cast<long>(i) + 1)) menu->post(kEvSelected, static_cast<long>(i) + 1);
    break;
  }
  return true;
}

// --- pop-up menu -------------------------------------------------------------

NativeMenu XbpBaseMenu::newNativeMenu() { return CreatePopupMenu(); }

void XbpBaseMenu::destroy() {
  if (!menu_) return;
  const ObjectRef keep = shared_from_this();  // leaving the holder drops its reference
  if (XbpMenuItems* holder = holder_) holder->releaseSubmenu(this);
  XbpMenuItems::destroy();
}

}  // namespace rt
