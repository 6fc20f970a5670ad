// Shared by the tests of check boxes, 3-state boxes and radio buttons: a form
// to put them on, a recorder for their callbacks, and what the screen shows
// of a control.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "controls.h"
#include "events.h"
#include "support/event_loop.h"
#include "gui/native.h"

namespace buttontest {

// A shown dialog; its drawing area is the parent of the controls.
struct Form {
  std::shared_ptr<valumat::XbpDialog> dlg =
      rt::New<valumat::XbpDialog>({rt::AppDesktop(), rt::NIL, rt::Value{60, 60}, rt::Value{420, 300}, rt::NIL, false});
  rt::WindowRef area;

  Form() {
    dlg->title = "Auswahl";
    dlg->create();
    area = dlg->drawingArea();
    dlg->show();
    rt::SetAppFocus(dlg);
    guitest::Drain();
  }
  ~Form() {
    dlg->destroy();
    guitest::Drain();
  }
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  // A control of kind T at (x, y), 140 x 22, not yet created.
  template <class T>
  std::shared_ptr<T> make(long x, long y, const std::string& caption, const rt::Value& presentation = rt::NIL) {
    auto control = rt::New<T>({area, rt::NIL, rt::Value{x, y}, rt::Value{140, 22}, presentation});
    if constexpr (requires { control->caption; }) control->caption = caption;
    return control;
  }
  template <class T>
  std::shared_ptr<T> add(long x, long y, const std::string& caption, const rt::Value& presentation = rt::NIL) {
    auto control = make<T>(x, y, caption, presentation);
    control->create();
    return control;
  }
};

// Calls of one callback, with their arguments.
struct Recorder {
  struct Call {
    rt::Value mp1, mp2;
    rt::ObjectRef self;
  };
  std::shared_ptr<std::vector<Call>> calls = std::make_shared<std::vector<Call>>();

  rt::Value block() const {
    auto into = calls;
    return [into](const rt::Args& a) -> rt::Value {
      into->push_back({rt::Arg(a, 1), rt::Arg(a, 2), rt::Arg(a, 3).object()});
      return rt::NIL;
    };
  }
  size_t count() const { return calls->size(); }
  std::vector<rt::Value> firsts() const {
    std::vector<rt::Value> out;
    for (const Call& c : *calls) out.push_back(c.mp1);
    return out;
  }
};

// The client area of a window as the screen shows it, painted afresh.
inline std::vector<COLORREF> Pixels(HWND hwnd) {
  RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  RECT r{};
  GetClientRect(hwnd, &r);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), r.right, -r.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HDC screen = GetDC(hwnd);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, r.right, r.bottom, screen, 0, 0, SRCCOPY);
  GdiFlush();
  std::vector<COLORREF> out;
  const auto* px = static_cast<const uint32_t*>(bits);
  for (long i = 0; i < r.right * r.bottom; ++i) {
    const uint32_t v = px[i];  // 0x00RRGGBB
    out.push_back(RGB((v >> 16) & 0xff, (v >> 8) & 0xff, v & 0xff));
  }
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(hwnd, screen);
  return out;
}

inline long CountOf(const std::vector<COLORREF>& pixels, COLORREF colour) {
  long n = 0;
  for (COLORREF c : pixels) n += c == colour;
  return n;
}

inline LOGFONTW FontOfControl(HWND hwnd) {
  LOGFONTW lf{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)), sizeof lf, &lf);
  return lf;
}

// Red captions on cyan in bold Arial.
inline rt::Value RedOnCyanBold() {
  return rt::Value{rt::Value{rt::kPPForeground, 2}, rt::Value{rt::kPPBackground, 5},
                   rt::Value{rt::kPPCompoundName, "10.Arial Fett"}};
}

// A control made with RedOnCyanBold shows its caption so, and without the red
// once disabled (the control greys it as usual). Leaves it disabled.
inline void ExpectRedOnCyanBoldUntilDisabled(rt::XbpWindow& control) {
  const HWND hwnd = control.nativeHandle();
  EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)), rt::FontOf("10.Arial Fett"));
  EXPECT_EQ(FontOfControl(hwnd).lfWeight, FW_BOLD);
  std::vector<COLORREF> shown = Pixels(hwnd);
  EXPECT_GT(CountOf(shown, RGB(255, 0, 0)), 20);
  EXPECT_GT(CountOf(shown, RGB(0, 255, 255)), static_cast<long>(shown.size()) / 2);
  control.disable();
  shown = Pixels(hwnd);
  EXPECT_EQ(CountOf(shown, RGB(255, 0, 0)), 0);
  EXPECT_GT(CountOf(shown, RGB(0, 255, 255)), static_cast<long>(shown.size()) / 2);
}

inline long NativeState(HWND hwnd) { return static_cast<long>(SendMessageW(hwnd, BM_GETCHECK, 0, 0)); }

// A click of the mouse inside the control, as the user makes it.
inline void ClickAt(HWND hwnd, int x = 6, int y = 10) {
  PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  PostMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

// The space bar pressed and released on the control with the focus.
inline void PressSpace(HWND hwnd) {
  PostMessageW(hwnd, WM_KEYDOWN, VK_SPACE, 0x00390001);
  PostMessageW(hwnd, WM_CHAR, L' ', 0x00390001);
  PostMessageW(hwnd, WM_KEYUP, VK_SPACE, 0xC0390001);
}

// Alt with a letter, typed anywhere in the form.
inline void AltLetter(HWND anywhere, wchar_t letter) { PostMessageW(anywhere, WM_SYSCHAR, letter, 1 << 29); }

}  // namespace buttontest
