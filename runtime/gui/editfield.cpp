// What entry fields share of the standard edit control.
#include "editfield.h"
#include "native.h"

namespace rt {

std::string EditField::getData() {
  const std::string text = editBuffer();
  handToLink(text);
  return text;
}

std::string EditField::editBuffer() const { return handle_ ? Narrow(WindowTextOf(Hwnd(handle_))) : buffer_; }

Value EditField::queryMarked() const {
  DWORD start = 0, end = 0;
  if (handle_) SendMessageW(Hwnd(handle_), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return Value{static_cast<long>(start), static_cast<long>(end) + 1};
}

bool EditField::setMarked(const Value& range) {
  if (!handle_) return false;
  SendMessageW(Hwnd(handle_), EM_SETSEL, range.at(1).integer(), range.at(2).integer() - 1);
  SendMessageW(Hwnd(handle_), EM_SCROLLCARET, 0, 0);
  return true;
}

bool EditField::onMessage(unsigned msg, uintptr_t wparam, intptr_t lparam, intptr_t& result) {
  // Keep the last text readable after the field is gone: the control frees it
  // before the runtime learns that the window is gone.
  if (msg == WM_DESTROY) buffer_ = editBuffer();
  if (msg == WM_CONTEXTMENU && handle_ && GetFocus() != Hwnd(handle_)) {
    // The control would take the focus and run its menu at once, so that an
    // edit made there reached the program before the focus change: the
    // program's kill-focus callback would then undo the user's paste. The
    // focus moves now, and the menu opens once the program had its events.
    SetFocus(Hwnd(handle_));
    PostMessageW(Hwnd(handle_), WM_CONTEXTMENU, wparam, lparam);
    result = 0;
    return true;
  }
  return XbpWindow::onMessage(msg, wparam, lparam, result);
}

bool EditField::onCommand(unsigned code) {
  // The control reports the program's changes as it reports the user's.
  if (code == EN_CHANGE && ownChange_) return true;
  return XbpWindow::onCommand(code);
}

void EditField::userChanged() { onCommand(EN_CHANGE); }

}  // namespace rt
