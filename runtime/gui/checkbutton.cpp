// What check boxes, 3-state boxes and radio buttons share of the standard
// BUTTON control beneath them.
#include "../events.h"
#include "checkbutton.h"
#include "native.h"

namespace rt {

XbpWindow::NativeSpec CheckButton::nativeSpec() const {
  NativeSpec spec;
  spec.windowClass = L"BUTTON";
  spec.style = buttonStyle();
  spec.text = NativeCaption(caption);
  spec.subclass = true;
  return spec;
}

bool CheckButton::setCaption(const std::string& newCaption) {
  caption = newCaption;
  return !handle_ || SetWindowTextW(Hwnd(handle_), NativeCaption(caption).c_str());
}

const EventRoutes& CheckButton::routes() const {
  static const EventRoute rows[] = {
      {EventRoute::From::Command, BN_CLICKED, kEvSelected, CallbackOf(&CheckButton::selected)},
  };
  static const EventRoutes table{&XbpWindow::routes(), rows};
  return table;
}

long CheckButton::shownState() const {
  return handle_ ? static_cast<long>(SendMessageW(Hwnd(handle_), BM_GETCHECK, 0, 0)) : BST_UNCHECKED;
}

void CheckButton::showState(long state) {
  if (handle_) SendMessageW(Hwnd(handle_), BM_SETCHECK, static_cast<WPARAM>(state), 0);
}

void CheckButton::onMnemonic() {
  // The control reports the press like a click of the mouse.
  if (!handle_) return;
  SetFocus(Hwnd(handle_));
  SendMessageW(Hwnd(handle_), BM_CLICK, 0, 0);
}

}  // namespace rt
