// Single-line entry fields on the standard edit control.
#include <algorithm>

#include "../events.h"
#include "../transform.h"
#include "../xbp/sle.h"
#include "native.h"

namespace rt {

XbpBaseSLE::XbpBaseSLE() { tabStop = true; }

XbpWindow::NativeSpec XbpBaseSLE::nativeSpec() const {
  NativeSpec spec;
  spec.windowClass = L"EDIT";
  spec.style = ES_LEFT | ES_AUTOHSCROLL | (editable ? 0 : ES_READONLY);
  spec.exStyle = border ? WS_EX_CLIENTEDGE : 0;
  spec.text = Wide(buffer_);
  spec.subclass = true;
  return spec;
}

void XbpBaseSLE::afterCreate() {
  SendMessageW(Hwnd(handle_), EM_LIMITTEXT, static_cast<WPARAM>(std::max(bufferLength, 1L)), 0);
}

bool XbpBaseSLE::setData(const Args& args) {
  std::string text;
  if (args.empty()) {
    const Value linked = Value(dataLink).eval();
    text = linked.isText() ? linked.text() : Transform(linked, "@N");
  } else {
    text = Arg(args, 1).isText() ? Arg(args, 1).text() : Transform(Arg(args, 1), "@N");
  }
  // The field never holds more than its buffer takes, however the text came.
  if (bufferLength > 0 && text.size() > static_cast<size_t>(bufferLength)) text.resize(bufferLength);
  buffer_ = text;
  if (handle_) SetWindowTextW(Hwnd(handle_), Wide(text).c_str());
  return true;
}

std::string XbpBaseSLE::getData() {
  const std::string text = editBuffer();
  if (dataLink.isBlock()) {
    const Value link = dataLink;  // the link may outlive a destroy it causes
    link.eval({Value(text)});
  }
  return text;
}

bool XbpBaseSLE::clear() { return setData(std::string()); }

std::string XbpBaseSLE::editBuffer() const { return handle_ ? Narrow(WindowTextOf(Hwnd(handle_))) : buffer_; }

Value XbpBaseSLE::queryMarked() const {
  DWORD start = 0, end = 0;
  if (handle_) SendMessageW(Hwnd(handle_), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return Value{static_cast<long>(start), static_cast<long>(end) + 1};
}

bool XbpBaseSLE::setMarked(const Value& range) {
  if (!handle_) return false;
  SendMessageW(Hwnd(handle_), EM_SETSEL, range.at(1).integer(), range.at(2).integer() - 1);
  return true;
}

bool XbpBaseSLE::onMessage(unsigned msg, uintptr_t wparam, intptr_t lparam, intptr_t& result) {
  // Keep the last text readable after the field is gone: the control frees it
  // before the runtime learns that the window is gone.
  if (msg == WM_DESTROY) buffer_ = editBuffer();
  return XbpWindow::onMessage(msg, wparam, lparam, result);
}

void XbpBaseSLE::onNativeDestroyed() {
  XbpWindow::onNativeDestroyed();
  dataLink = Value();  // not an event's callback, but a closure all the same
}

}  // namespace rt
