// The menu bar of a dialog window.
#include "dialog.h"
#include "menubar.h"
#include "native.h"

namespace rt {

size_t KeyMarkerOf(std::string_view title) {
  size_t marker = title.find('~');
  if (marker == std::string_view::npos) marker = title.find('&');
  return marker + 1 < title.size() ? marker : std::string_view::npos;
}

char KeyLetterOf(std::string_view title) {
  const size_t marker = KeyMarkerOf(title);
  // Upper-cased exactly as the controls' "~" letters are.
  return marker == std::string_view::npos ? 0 : MnemonicOf(std::string{'~', title[marker + 1]});
}

std::shared_ptr<XbpBaseDialog> XbpBaseMenubar::dialog() const {
  // Application code may name the drawing area as the bar's parent.
  if (auto dlg = std::dynamic_pointer_cast<XbpBaseDialog>(parent_)) return dlg;
  return parent_ ? std::dynamic_pointer_cast<XbpBaseDialog>(parent_->setParent()) : nullptr;
}

NativeMenu XbpBaseMenubar::newNativeMenu() {
  // A bar without a window to show it in would never be seen.
  return dialog() ? CreateMenu() : nullptr;
}

void XbpBaseMenubar::afterCreate() {
  const auto dlg = dialog();
  const auto self = std::static_pointer_cast<XbpBaseMenubar>(shared_from_this());
  // A window shows one bar: an earlier one keeps its menu, off the window.
  if (dlg->menuBar_ && dlg->menuBar_ != self) dlg->menuBar_->detach();
  dlg->menuBar_ = self;
  attach();
}

void XbpBaseMenubar::attach() {
  if (!menu_ || window_) return;
  const auto dlg = dialog();
  if (!dlg || !dlg->isCreated() || dlg->menuBar_.get() != this) return;
  HWND hwnd = Hwnd(dlg->nativeHandle());
  if (!SetMenu(hwnd, menu_)) return;
  owned_.release();  // the window destroys it with itself
  window_ = hwnd;
  DrawMenuBar(hwnd);
}

void XbpBaseMenubar::detach() {
  if (!window_) return;
  if (IsWindow(window_) && GetMenu(window_) == menu_) {
    SetMenu(window_, nullptr);
    DrawMenuBar(window_);
  }
  owned_.reset(menu_);
  window_ = nullptr;
}

void XbpBaseMenubar::destroy() {
  if (!menu_) return;
  const ObjectRef keep = shared_from_this();  // the dialog lets go of it below
  detach();
  if (const auto dlg = dialog(); dlg && dlg->menuBar_.get() == this) dlg->menuBar_.reset();
  XbpMenuItems::destroy();
}

void XbpBaseMenubar::onWindowDestroyed() {
  if (window_) {
    window_ = nullptr;
    dropNative();
  } else {
    XbpMenuItems::destroy();  // never shown: nobody else destroys it
  }
}

void XbpBaseMenubar::itemsChanged() {
  // An item may have taken a key letter over from another one.
  refreshTexts();
  if (window_) DrawMenuBar(window_);
}

// --- key letters ---------------------------------------------------------------

Value XbpBaseMenubar::OnMenuKey(Value&, const Value&) { return 0; }

std::wstring XbpBaseMenubar::nativeText(long pos, std::string_view title) {
  const size_t marker = KeyMarkerOf(title);
  const bool underlined = marker != std::string_view::npos && answeredItem(title[marker + 1]) == pos;
  // Other markers are not shown; a literal "&" is doubled.
  std::string text;
  for (size_t i = 0; i < title.size(); ++i) {
    if (underlined && i == marker) text += '&';
    else if (title[i] == '&') text += "&&";
    else if (title[i] != '~') text += title[i];
  }
  return Wide(text);
}

long XbpBaseMenubar::answeredItem(char letter) {
  Value key(static_cast<long>(static_cast<unsigned char>(letter)));
  const Value answer = OnMenuKey(key, Value());
  if (!answer.isNumber() || answer.integer() != 2 || !key.isNumber()) return 0;
  return has(key.integer()) ? key.integer() : 0;
}

std::shared_ptr<XbpBaseMenubar> XbpBaseMenubar::shownOn(NativeWindow window) {
  const auto* dlg = dynamic_cast<const XbpBaseDialog*>(WindowFromHandle(Hwnd(window)));
  if (!dlg || !dlg->menuBar_ || !window || dlg->menuBar_->window_ != window) return nullptr;
  return dlg->menuBar_;
}

bool XbpBaseMenubar::takeKeyLetter(char letter) {
  const long pos = answeredItem(letter);
  if (!pos || !window_) return false;
  const ObjectRef keep = shared_from_this();  // an item's block may destroy the bar
  MENUITEMINFOW item{};
  item.cbSize = sizeof item;
  item.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_SUBMENU | MIIM_ID;
  if (!GetMenuItemInfoW(menu_, static_cast<UINT>(pos - 1), TRUE, &item)) return false;
  if ((item.fState & MFS_DISABLED) || (item.fType & MFT_SEPARATOR)) {
    MessageBeep(0);  // answered, but there is nothing to open
  } else if (item.hSubMenu) {
    // The system's menu loop opens it. It is handed a character that no
    // item text holds (they come from code page 858), so that it asks the
    // window which item it means, and the window names this one; the
    // system's own matching could prefer another item with the letter.
    opening_ = pos;
    SendMessageW(window_, WM_SYSCOMMAND, SC_KEYMENU, 0xFFFF);
    opening_ = 0;
  } else {
    ChooseMenuItem(item.wID);
  }
  return true;
}

intptr_t XbpBaseMenubar::onMenuChar(char letter) {
  const long pos = opening_ ? opening_ : answeredItem(letter);
  opening_ = 0;  // later letters typed in the open menu are the user's own
  // No item: the system beeps, as for any letter nothing answers.
  return pos ? MAKELRESULT(pos - 1, MNC_EXECUTE) : MAKELRESULT(0, MNC_IGNORE);
}

}  // namespace rt
