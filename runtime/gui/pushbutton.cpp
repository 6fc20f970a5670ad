// Push buttons, drawn by us so that their colours and fonts apply.
#include "native.h"
#include "../win32/dyncalls.h"

#include <vsstyle.h>

#include "../events.h"
#include "pushbutton.h"

namespace rt {

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

void XbpBasePushButton::afterEvent(long event, const Value& mp1, const Value& mp2) {
  if (event == kEvKeyboard && mp1 == kKeyEnter) post(kEvActivate);
  XbpWindow::afterEvent(event, mp1, mp2);
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
  const dyn::ThemeApi themes = dyn::Themes();
  if (HTHEME theme = themes.themeFor(di->hwndItem, L"BUTTON")) {
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
    const int inset = static_cast<int>(ToDevice(4, dpi()));
    InflateRect(&focus, -inset, -inset);
    DrawFocusRect(dc, &focus);
  }
  return true;
}

}  // namespace rt
