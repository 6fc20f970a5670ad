// Push buttons, drawn by us so that their colours and fonts apply.
#include "native.h"

#include <uxtheme.h>
#include <vsstyle.h>

#include "../events.h"
#include "../xbp/pushbutton.h"

namespace rt {

namespace {

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

bool XbpBasePushButton::setCaption(const std::string& newCaption) {
  caption = newCaption;
  return !handle_ || SetWindowTextW(Hwnd(handle_), NativeCaption(caption).c_str());
}

const EventRoutes& XbpBasePushButton::routes() const {
  // A drawn-by-us button reports the second click of a double click apart;
  // for the user it is a second press all the same.
  static const EventRoute rows[] = {
      {EventRoute::From::Command, BN_CLICKED, kEvActivate, CallbackOf(&XbpBasePushButton::activate)},
      {EventRoute::From::Command, BN_DOUBLECLICKED, kEvActivate, CallbackOf(&XbpBasePushButton::activate)},
  };
  static const EventRoutes table{&XbpWindow::routes(), rows};
  return table;
}

void XbpBasePushButton::onMnemonic() {
  // As in dialogs: the mnemonic presses the button.
  if (!handle_) return;
  SetFocus(Hwnd(handle_));
  SendMessageW(Hwnd(handle_), BM_CLICK, 0, 0);
}

bool XbpBasePushButton::onDrawItem(const DRAWITEMSTRUCT& item) {
  const DRAWITEMSTRUCT* di = &item;
  HDC dc = di->hDC;
  RECT r = di->rcItem;
  const bool pressed = di->itemState & ODS_SELECTED;
  const bool focused = di->itemState & ODS_FOCUS;
  const bool disabled = di->itemState & ODS_DISABLED;

  // The parent's colour shows around the rounded corners of themed buttons.
  FillRect(dc, &r, parent_ ? parent_->backgroundBrush() : backgroundBrush());
  const ThemeApi& themes = Themes();
  if (HTHEME theme = themes.buttonTheme(di->hwndItem)) {
    const int state = disabled ? PBS_DISABLED : pressed ? PBS_PRESSED : focused ? PBS_DEFAULTED : PBS_NORMAL;
    themes.drawBackground(theme, dc, BP_PUSHBUTTON, state, &r, nullptr);
    themes.close(theme);
  } else {
    FillRect(dc, &r, backgroundBrush());
    DrawEdge(dc, &r, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
  }
  if (pressed) OffsetRect(&r, 1, 1);

  std::wstring text = NativeCaption(caption);
  SelectInScope font(dc, resolvedFont());
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
  return true;
}

}  // namespace rt
