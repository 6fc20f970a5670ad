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

// The theme functions, where themes are in use at all: the themed common
// controls bring uxtheme into the process, so a module that is not loaded
// means classic drawing, and the program does not pay for loading it.
struct ThemeApi {
  decltype(&IsAppThemed) isAppThemed = nullptr;
  decltype(&IsThemeActive) isThemeActive = nullptr;
  decltype(&OpenThemeData) open = nullptr;
  decltype(&DrawThemeBackground) drawBackground = nullptr;
  decltype(&CloseThemeData) close = nullptr;

  HTHEME buttonTheme(HWND hwnd) const {
    if (!isAppThemed || !isThemeActive || !open || !drawBackground || !close) return nullptr;
    return isAppThemed() && isThemeActive() ? open(hwnd, L"BUTTON") : nullptr;
  }
};

template <class F>
void Resolve(HMODULE module, const char* name, F& function) {
  function = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

const ThemeApi& Themes() {
  static const ThemeApi api = [] {
    ThemeApi a;
    if (HMODULE module = GetModuleHandleW(L"uxtheme.dll")) {
      Resolve(module, "IsAppThemed", a.isAppThemed);
      Resolve(module, "IsThemeActive", a.isThemeActive);
      Resolve(module, "OpenThemeData", a.open);
      Resolve(module, "DrawThemeBackground", a.drawBackground);
      Resolve(module, "CloseThemeData", a.close);
    }
    return a;
  }();
  return api;
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
  // A drawn-by-us button reports the second click of a double click apart;
  // for the user it is a second press all the same.
  if (msg == WM_COMMAND && (HIWORD(wparam) == BN_CLICKED || HIWORD(wparam) == BN_DOUBLECLICKED)) {
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
  const ThemeApi& themes = Themes();
  if (HTHEME theme = themes.buttonTheme(di->hwndItem)) {
    const int state = disabled ? PBS_DISABLED : pressed ? PBS_PRESSED : focused ? PBS_DEFAULTED : PBS_NORMAL;
    themes.drawBackground(theme, dc, BP_PUSHBUTTON, state, &r, nullptr);
    themes.close(theme);
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
