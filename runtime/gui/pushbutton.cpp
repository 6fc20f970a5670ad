// Push buttons, drawn by us so that their colours and fonts apply.
#include "native.h"
#include "../win32/dyncalls.h"

#include <vsstyle.h>
#include <vssym32.h>

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

NativeTheme XbpBasePushButton::theme() {
  if (!themeAsked_ && handle_) {
    themeAsked_ = true;
    theme_.reset(dyn::Themes().themeFor(Hwnd(handle_), L"BUTTON"));
  }
  return theme_.get();
}

void XbpBasePushButton::forgetTheme() {
  theme_.reset();
  themeAsked_ = false;
}

bool XbpBasePushButton::onMessage(unsigned msg, uintptr_t wparam, intptr_t lparam, intptr_t& result) {
  HWND hwnd = Hwnd(handle_);
  switch (msg) {
    case WM_THEMECHANGED:
      // Styles switched on or off, or another theme: asked again at the next paint.
      forgetTheme();
      InvalidateRect(hwnd, nullptr, FALSE);
      break;
    case WM_MOUSEMOVE:
      // Only the theme has a hot look; classic buttons repaint for nothing.
      if (!hot_ && theme()) {
        hot_ = true;
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd, 0};
        TrackMouseEvent(&track);
        InvalidateRect(hwnd, nullptr, FALSE);
      }
      break;
    case WM_MOUSELEAVE:
      if (hot_) {
        hot_ = false;
        InvalidateRect(hwnd, nullptr, FALSE);
      }
      break;
    default: break;
  }
  return XbpWindow::onMessage(msg, wparam, lparam, result);
}

void XbpBasePushButton::onNativeDestroyed() {
  XbpWindow::onNativeDestroyed();
  forgetTheme();
  hot_ = false;
}

bool XbpBasePushButton::onDrawItem(const DRAWITEMSTRUCT& item) {
  HDC dc = item.hDC;
  RECT r = item.rcItem;
  const bool pressed = item.itemState & ODS_SELECTED;
  const bool focused = item.itemState & ODS_FOCUS;
  const bool disabled = item.itemState & ODS_DISABLED;

  // The parent's colour shows around the rounded corners of themed buttons.
  FillRect(dc, &r, parent_ ? parent_->backgroundBrush() : backgroundBrush());
  COLORREF textColour = disabled ? GetSysColor(COLOR_GRAYTEXT) : resolvedForeground();
  if (HTHEME themed = static_cast<HTHEME>(theme())) {
    // The order of the system's buttons: a pressed button under the pointer
    // looks pressed, a focused one default unless the pointer is over it.
    const int state = disabled  ? PBS_DISABLED
                      : pressed ? PBS_PRESSED
                      : hot_    ? PBS_HOT
                      : focused ? PBS_DEFAULTED
                                : PBS_NORMAL;
    const dyn::ThemeApi themes = dyn::Themes();
    themes.drawBackground(themed, dc, BP_PUSHBUTTON, state, &r, nullptr);
    // The caption in the state's colour (light on a dark pressed face), unless
    // the program gave the button or its window a colour of its own.
    const bool ownColour = fg_.isNumber() || resolvedForeground() != GetSysColor(COLOR_WINDOWTEXT);
    COLORREF stateColour = 0;
    if ((disabled || !ownColour) && themes.color &&
        SUCCEEDED(themes.color(themed, BP_PUSHBUTTON, state, TMT_TEXTCOLOR, &stateColour))) {
      textColour = stateColour;
    }
  } else {
    // The frame as the system draws it, filled with the button's colour.
    DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
    RECT face = r;
    InflateRect(&face, -2, -2);
    FillRect(dc, &face, backgroundBrush());
    if (pressed) OffsetRect(&r, 1, 1);
  }

  std::wstring text = NativeCaption(caption);
  SelectInScope font(dc, resolvedFont());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, textColour);
  UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
  if (item.itemState & ODS_NOACCEL) format |= DT_HIDEPREFIX;
  DrawTextW(dc, text.data(), static_cast<int>(text.size()), &r, format);
  if (focused && !(item.itemState & ODS_NOFOCUSRECT)) {
    RECT focus = item.rcItem;
    const int inset = static_cast<int>(ToDevice(4, dpi()));
    InflateRect(&focus, -inset, -inset);
    DrawFocusRect(dc, &focus);
  }
  return true;
}

}  // namespace rt
