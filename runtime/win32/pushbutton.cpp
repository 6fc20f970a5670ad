// Push buttons, drawn by us so that their colours and fonts apply.
#include "native.h"

#include <uxtheme.h>
#include <vsstyle.h>

#include <cctype>

#include "../events.h"

namespace rt {

namespace {

// "~" marks the mnemonic; Win32 marks it with "&", so literal ones are doubled.
std::wstring NativeCaption(const std::string& caption) {
  std::string out;
  for (char c : caption) {
    if (c == '&') out += "&&";
    else if (c == '~') out += '&';
    else out += c;
  }
  return Wide(out);
}

}  // namespace

XbpBasePushButton::XbpBasePushButton() { tabStop = true; }

XbpWindow::NativeSpec XbpBasePushButton::nativeSpec() const {
  NativeSpec spec;
  spec.windowClass = L"BUTTON";
  spec.style = BS_PUSHBUTTON | BS_OWNERDRAW;
  spec.text = NativeCaption(caption);
  spec.subclass = true;
  return spec;
}

char XbpBasePushButton::mnemonic() const {
  const size_t tilde = caption.find('~');
  if (tilde == std::string::npos || tilde + 1 >= caption.size()) return 0;
  return static_cast<char>(std::toupper(static_cast<unsigned char>(caption[tilde + 1])));
}

bool XbpBasePushButton::setCaption(const std::string& newCaption) {
  caption = newCaption;
  return !handle_ || SetWindowTextW(Hwnd(handle_), NativeCaption(caption).c_str());
}

Value XbpBasePushButton::handleEvent(long code, const Value& mp1, const Value& mp2) {
  if (code == kEvActivate && handle_) {
    callBlock(activate, mp1, mp2);
    return Value(shared_from_this());
  }
  return XbpWindow::handleEvent(code, mp1, mp2);
}

bool XbpBasePushButton::onMessage(unsigned msg, uintptr_t wparam, intptr_t lparam, intptr_t& result) {
  if ((msg == WM_CHAR || msg == WM_KEYDOWN) && PostKeyEvents(this, msg, wparam, lparam, true)) {
    result = 0;
    return true;
  }
  return XbpWindow::onMessage(msg, wparam, lparam, result);
}

bool XbpBasePushButton::onReflected(unsigned msg, uintptr_t wparam, intptr_t lparam, intptr_t& result) {
  if (msg == WM_COMMAND && HIWORD(wparam) == BN_CLICKED) {
    PostAppEvent(kEvActivate, Value(), Value(), shared_from_this());
    result = 0;
    return true;
  }
  if (msg == WM_DRAWITEM) {
    draw(reinterpret_cast<const DRAWITEMSTRUCT*>(lparam));
    result = TRUE;
    return true;
  }
  return XbpWindow::onReflected(msg, wparam, lparam, result);
}

void XbpBasePushButton::onNativeDestroyed() {
  XbpWindow::onNativeDestroyed();
  activate = Value();
}

void XbpBasePushButton::draw(const void* item) {
  const auto* di = static_cast<const DRAWITEMSTRUCT*>(item);
  HDC dc = di->hDC;
  RECT r = di->rcItem;
  const bool pressed = di->itemState & ODS_SELECTED;
  const bool focused = di->itemState & ODS_FOCUS;
  const bool disabled = di->itemState & ODS_DISABLED;

  // The parent's colour shows around the rounded corners of themed buttons.
  FillRect(dc, &r, static_cast<HBRUSH>(parent_ ? parent_->backgroundBrush() : backgroundBrush()));
  HTHEME theme = (IsAppThemed() && IsThemeActive()) ? OpenThemeData(di->hwndItem, L"BUTTON") : nullptr;
  if (theme) {
    const int state = disabled ? PBS_DISABLED : pressed ? PBS_PRESSED : focused ? PBS_DEFAULTED : PBS_NORMAL;
    DrawThemeBackground(theme, dc, BP_PUSHBUTTON, state, &r, nullptr);
    CloseThemeData(theme);
  } else {
    FillRect(dc, &r, static_cast<HBRUSH>(backgroundBrush()));
    DrawEdge(dc, &r, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
  }
  if (pressed) OffsetRect(&r, 1, 1);

  std::wstring text = NativeCaption(caption);
  SelectInScope font(dc, static_cast<HFONT>(resolvedFont()));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, disabled ? GetSysColor(COLOR_GRAYTEXT) : resolvedForeground());
  UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
  if (di->itemState & ODS_NOACCEL) format |= DT_HIDEPREFIX;
  DrawTextW(dc, text.data(), static_cast<int>(text.size()), &r, format);
  if (focused && !(di->itemState & ODS_NOFOCUSRECT)) {
    RECT focus = di->rcItem;
    InflateRect(&focus, -4, -4);
    DrawFocusRect(dc, &focus);
  }
}

}  // namespace rt
