// For tests that run windows of the runtime in their own process: running
// the event queue, native handles, typing and clicking into controls, and
// what the screen shows of them. Header-only, as
// it needs the runtime, which the rest of the support library does not.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "events.h"
#include "gui/window.h"

namespace guitest {

struct Event {
  long code;
  rt::Value mp1;
  rt::Value mp2;
  rt::ObjectRef object;
};

// Runs the queue until it stays empty, handing each event to its object.
inline std::vector<Event> Drain() {
  std::vector<Event> seen;
  rt::Value mp1, mp2;
  rt::ObjectRef object;
  for (;;) {
    const long code = rt::AppEvent(mp1, mp2, object, 5);
    if (code == rt::kEvNone) break;
    seen.push_back({code, mp1, mp2, object});
    if (object) object->handleEvent(code, mp1, mp2);
  }
  return seen;
}

// The events of one code among those a drain handed out.
inline std::vector<Event> Only(const std::vector<Event>& events, long code) {
  std::vector<Event> found;
  for (const Event& e : events)
    if (e.code == code) found.push_back(e);
  return found;
}

inline HWND H(const rt::WindowRef& w) { return w->nativeHandle(); }

// Owned native handles that `round` leaves held when it runs a second time:
// the first fills what the process keeps for good (fonts, comctl32).
inline long HandlesLeftBy(const std::function<void()>& round) {
  round();
  const long before = rt::LiveHandles();
  round();
  return rt::LiveHandles() - before;
}

// Pairs of numbers, compared by content (arrays compare by identity).
using P = std::pair<long, long>;
inline P Pair(const rt::Value& v) { return {v.at(1).integer(), v.at(2).integer()}; }

// Keys arrive through the message queue, one at a time, as typed keys do.
inline void Type(const rt::WindowRef& control, const std::wstring& keys) {
  for (wchar_t c : keys) PostMessageW(H(control), WM_CHAR, c, 1);
}

// The client area of a window as the screen shows it, row by row from the
// top, painted afresh unless `repaint` is false.
inline std::vector<COLORREF> Pixels(HWND hwnd, bool repaint = true) {
  if (repaint) RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
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

// The pixel at (x, y) of a window's client area, painted first.
inline COLORREF PixelAt(HWND hwnd, int x, int y) {
  UpdateWindow(hwnd);
  HDC dc = GetDC(hwnd);
  const COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(hwnd, dc);
  return c;
}

inline LOGFONTW LogFontOf(HFONT font) {
  LOGFONTW lf{};
  GetObjectW(font, sizeof lf, &lf);
  return lf;
}
// The font a control shows its text in.
inline LOGFONTW FontOfControl(HWND hwnd) {
  return LogFontOf(reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)));
}

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
inline void AltLetter(HWND anywhere, wchar_t letter) { PostMessageW(anywhere, WM_SYSCHAR, letter, 0x20000001); }

}  // namespace guitest
