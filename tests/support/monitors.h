// Monitors the runtime sees in place of the system's, for as long as the
// object lives: Wine under Xvfb shows one screen at one dpi, Windows users
// have several side by side, at other dpis, some left of or above the
// primary. Windows lie on the monitor their frame overlaps most, else the
// nearest, as MonitorFromRect and MonitorFromWindow find it. The system can
// be a Windows before 10 1607 (no GetDpiForWindow: a window's dpi comes from
// its monitor alone) and run per-monitor v1 or v2. Header-only, like
// event_loop.h.
#pragma once

#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <ostream>
#include <utility>
#include <vector>

#include "win32/dyncalls.h"

// Frames compared and shown by their edges.
inline bool operator==(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline std::ostream& operator<<(std::ostream& out, const RECT& r) {
  return out << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}

namespace guitest {

struct FakeMonitor {
  RECT area;
  RECT work;
  unsigned dpi;
};

struct FakeSystem {
  bool dpiForWindow = true;  // Windows 10 1607 on
  // The thread's awareness; nullptr: the functions that tell it are missing.
  DPI_AWARENESS_CONTEXT awareness = DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2;
};

class FakeMonitors {
 public:
  // The first monitor is the primary.
  explicit FakeMonitors(std::vector<FakeMonitor> monitors, FakeSystem system = {})
      : monitors_(std::move(monitors)), system_(system) {
    current() = this;
    rt::dyn::DpiApi dpi = rt::dyn::Dpi();
    dpi.forWindow = system.dpiForWindow ? ForWindow : nullptr;
    // Frames as Wine draws them, alike at every dpi: a size asked for
    // around a client area is the size the frame gets.
    dpi.adjustForDpi = system.dpiForWindow ? AdjustForDpi : nullptr;
    if (!system.dpiForWindow) dpi.metricForDpi = nullptr;
    const bool tells = system.awareness != nullptr;
    dpi.threadAwareness = tells ? ThreadAwareness : nullptr;
    dpi.sameAwareness = tells ? SameAwareness : nullptr;
    dpi.enableNonClientScaling = tells ? EnableNonClientScaling : nullptr;
    savedDpi_ = rt::dyn::SetDpi(dpi);
    savedMonitors_ = rt::dyn::SetMonitors({FromRect, FromWindow, Info, DpiForMonitor});
  }
  ~FakeMonitors() {
    rt::dyn::SetDpi(savedDpi_);
    rt::dyn::SetMonitors(savedMonitors_);
    current() = nullptr;
  }
  FakeMonitors(const FakeMonitors&) = delete;

  const FakeMonitor& operator[](size_t i) const { return monitors_[i]; }
  // Calls of GetDpiForMonitor: shcore is only for a Windows without GetDpiForWindow.
  int monitorDpiCalls = 0;
  // Windows that asked for their title and menu bars to scale, with the
  // length of their title then: 0 while WM_NCCREATE is handled, before the
  // default handling sets it.
  std::vector<std::pair<HWND, int>> nonClientScaled;

 private:
  static FakeMonitors*& current() {
    static FakeMonitors* fake = nullptr;
    return fake;
  }
  static HMONITOR Handle(size_t i) { return reinterpret_cast<HMONITOR>(i + 1); }
  static const FakeMonitor* Of(HMONITOR m) {
    const auto i = reinterpret_cast<uintptr_t>(m);
    return current() && i >= 1 && i <= current()->monitors_.size() ? &current()->monitors_[i - 1] : nullptr;
  }

  // The monitor the frame overlaps most, else the nearest.
  static HMONITOR WINAPI FromRect(LPCRECT r, DWORD flags) {
    const auto& all = current()->monitors_;
    long best = 0, nearest = LONG_MAX;
    size_t found = 0, closest = 0;
    for (size_t i = 0; i < all.size(); ++i) {
      const RECT& a = all[i].area;
      const long w = std::min(r->right, a.right) - std::max(r->left, a.left);
      const long h = std::min(r->bottom, a.bottom) - std::max(r->top, a.top);
      if (w > 0 && h > 0 && w * h > best) best = w * h, found = i;
      const long gap = std::max({0L, -w}) + std::max({0L, -h});
      if (gap < nearest) nearest = gap, closest = i;
    }
    if (best > 0) return Handle(found);
    if (flags == MONITOR_DEFAULTTONEAREST) return Handle(closest);
    return flags == MONITOR_DEFAULTTOPRIMARY ? Handle(0) : nullptr;
  }
  static HMONITOR WINAPI FromWindow(HWND hwnd, DWORD flags) {
    RECT r{};
    GetWindowRect(GetAncestor(hwnd, GA_ROOT), &r);
    return FromRect(&r, flags);
  }
  static BOOL WINAPI Info(HMONITOR m, LPMONITORINFO info) {
    const FakeMonitor* monitor = Of(m);
    if (!monitor || info->cbSize < sizeof(MONITORINFO)) return FALSE;
    info->rcMonitor = monitor->area;
    info->rcWork = monitor->work;
    info->dwFlags = m == Handle(0) ? MONITORINFOF_PRIMARY : 0;
    return TRUE;
  }
  static HRESULT WINAPI DpiForMonitor(HMONITOR m, int, UINT* x, UINT* y) {
    ++current()->monitorDpiCalls;
    const FakeMonitor* monitor = Of(m);
    if (!monitor) return E_INVALIDARG;
    *x = *y = monitor->dpi;
    return S_OK;
  }
  static UINT WINAPI ForWindow(HWND hwnd) {
    const FakeMonitor* monitor = Of(FromWindow(hwnd, MONITOR_DEFAULTTONEAREST));
    return monitor ? monitor->dpi : 0;
  }
  static BOOL WINAPI AdjustForDpi(RECT* r, DWORD style, BOOL menu, DWORD exStyle, UINT) {
    return AdjustWindowRectEx(r, style, menu, exStyle);
  }
  static DPI_AWARENESS_CONTEXT WINAPI ThreadAwareness() { return current()->system_.awareness; }
  static BOOL WINAPI SameAwareness(DPI_AWARENESS_CONTEXT a, DPI_AWARENESS_CONTEXT b) { return a == b; }
  static BOOL WINAPI EnableNonClientScaling(HWND hwnd) {
    current()->nonClientScaled.emplace_back(hwnd, GetWindowTextLengthW(hwnd));
    return TRUE;
  }

  std::vector<FakeMonitor> monitors_;
  FakeSystem system_;
  rt::dyn::DpiApi savedDpi_;
  rt::dyn::MonitorApi savedMonitors_;
};

// The primary, the screen the tests run on, with a task bar at its bottom;
// a larger monitor right of it reaching above it, at `rightDpi`; one left of
// and above it, ending at its top-left corner.
inline std::vector<FakeMonitor> ThreeMonitors(unsigned rightDpi = 96) {
  const long w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  return {
      {{0, 0, w, h}, {0, 0, w, h - 40}, 96},
      {{w, -200, w + 1600, 1000}, {w, -200, w + 1600, 960}, rightDpi},
      {{-1280, -1024, 0, 0}, {-1280, -1024, 0, -40}, 96},
  };
}

}  // namespace guitest
