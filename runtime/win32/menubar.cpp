// The menu bar of a dialog window.
#include "../xbp/dialog.h"
#include "../xbp/menubar.h"
#include "native.h"

namespace rt {

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
  if (window_) DrawMenuBar(window_);
}

}  // namespace rt
