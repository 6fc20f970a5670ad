// What entry fields share of the standard edit control.
#include "../xbp/editfield.h"
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
  return XbpWindow::onMessage(msg, wparam, lparam, result);
}

}  // namespace rt
