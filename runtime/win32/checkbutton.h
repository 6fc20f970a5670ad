// Private to check boxes, 3-state boxes and radio buttons: what they share of
// the standard BUTTON control beneath them.
#pragma once

#include <string>

#include "native.h"

namespace rt::checkbutton {

// The native window to create: a BUTTON of `style` under the runtime's
// procedure. `Spec` is the window base's creation record.
template <class Spec>
Spec SpecOf(unsigned long style, const std::string& caption) {
  Spec spec;
  spec.windowClass = L"BUTTON";
  spec.style = style;
  spec.text = NativeCaption(caption);
  spec.subclass = true;
  return spec;
}

// The box as the control shows it: BST_UNCHECKED, BST_CHECKED or BST_INDETERMINATE.
inline long StateOf(NativeWindow hwnd) { return static_cast<long>(SendMessageW(Hwnd(hwnd), BM_GETCHECK, 0, 0)); }
// Sets the box; the control notifies nobody, so no callback follows.
inline void SetState(NativeWindow hwnd, long state) {
  SendMessageW(Hwnd(hwnd), BM_SETCHECK, static_cast<WPARAM>(state), 0);
}

inline bool SetCaption(NativeWindow hwnd, std::string& caption, const std::string& newCaption) {
  caption = newCaption;
  return !hwnd || SetWindowTextW(Hwnd(hwnd), NativeCaption(caption).c_str());
}

// The mnemonic acts as the user's click: the focus, then the press, which the
// control reports like a click of the mouse.
inline void Press(NativeWindow hwnd) {
  if (!hwnd) return;
  SetFocus(Hwnd(hwnd));
  SendMessageW(Hwnd(hwnd), BM_CLICK, 0, 0);
}

// The caption's colours: those in force; grey text while the box is disabled,
// whatever foreground the box has.
inline NativeBrush CaptionColors(XbpWindow& box, NativeDC dc) {
  NativeBrush brush = box.XbpWindow::onColor(dc);
  if (!box.isEnabled()) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  return brush;
}

// The value setData takes: the one given, or the data link's without one.
inline Value DataGiven(const Args& args, const Value& dataLink) { return args.empty() ? dataLink.eval() : Arg(args, 1); }

// getData hands the value it read to the data link.
inline void HandToLink(const Value& dataLink, const Value& value) {
  const Value link = dataLink;  // the link may outlive a destroy it causes
  if (link.isBlock()) link.eval({value});
}

}  // namespace rt::checkbutton
