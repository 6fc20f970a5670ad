#include "dyncalls.h"

#include <commctrl.h>

#include <atomic>
#include <mutex>
#include <string>
#include <utility>

#include "handle.h"

namespace rt::dyn {

namespace {

template <class F>
void Resolve(HMODULE module, const char* name, F& function) {
  function = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

struct CommonControls {
  std::mutex lock;
  OwnedModule module;  // kept for the process's life once loaded
  decltype(&InitCommonControlsEx) init = nullptr;
  DWORD registered = 0;
};

CommonControls& Comctl() {
  static CommonControls state;
  return state;
}

struct Ole {
  std::mutex lock;
  OwnedModule ole32;  // kept for the process's life once loaded
  decltype(&OleInitialize) initialize = nullptr;
  OleApi api;
  bool complete = false;
};

Ole& OleState() {
  static Ole state;
  return state;
}

}  // namespace

const OleApi* UseOle() {
  Ole& o = OleState();
  {
    std::lock_guard guard(o.lock);
    if (!o.ole32) {
      o.ole32.reset(LoadLibraryW(L"ole32.dll"));
      if (!o.ole32) return nullptr;
      Resolve(o.ole32.get(), "OleInitialize", o.initialize);
      Resolve(o.ole32.get(), "RegisterDragDrop", o.api.registerDragDrop);
      Resolve(o.ole32.get(), "RevokeDragDrop", o.api.revokeDragDrop);
      Resolve(o.ole32.get(), "ReleaseStgMedium", o.api.releaseStgMedium);
      Resolve(o.ole32.get(), "CoCreateInstance", o.api.coCreateInstance);
      Resolve(o.ole32.get(), "CoTaskMemFree", o.api.coTaskMemFree);
      const OleApi& a = o.api;
      o.complete = o.initialize && a.registerDragDrop && a.revokeDragDrop && a.releaseStgMedium &&
                   a.coCreateInstance && a.coTaskMemFree;
    }
    if (!o.complete) return nullptr;
  }
  // Once per thread, and never undone: windows of the thread stay drop
  // targets until they go. A thread already in the multi-threaded apartment
  // still has COM, though no drops.
  thread_local const bool started = [&o] {
    const HRESULT hr = o.initialize(nullptr);
    return SUCCEEDED(hr) || hr == RPC_E_CHANGED_MODE;
  }();
  return started ? &o.api : nullptr;
}

const AccessibilityApi* UseAccessibility() {
  // Marshalling the answer to another process needs OLE on this thread.
  if (!UseOle()) return nullptr;
  static std::mutex lock;
  static OwnedModule oleacc, oleaut32;  // kept for the process's life once loaded
  static AccessibilityApi api;
  static bool complete = false;
  std::lock_guard guard(lock);
  if (!oleacc) {
    oleacc.reset(LoadLibraryW(L"oleacc.dll"));
    oleaut32.reset(LoadLibraryW(L"oleaut32.dll"));
    if (!oleacc || !oleaut32) {
      oleacc.reset();
      oleaut32.reset();
      return nullptr;
    }
    Resolve(oleacc.get(), "CreateStdAccessibleObject", api.createStdAccessibleObject);
    Resolve(oleacc.get(), "LresultFromObject", api.lresultFromObject);
    Resolve(oleaut32.get(), "SysAllocStringLen", api.sysAllocStringLen);
    complete = api.createStdAccessibleObject && api.lresultFromObject && api.sysAllocStringLen;
  }
  return complete ? &api : nullptr;
}

bool OleLoaded() {
  Ole& o = OleState();
  std::lock_guard guard(o.lock);
  return static_cast<bool>(o.ole32);
}

bool UseCommonControls(DWORD classes) {
  CommonControls& c = Comctl();
  std::lock_guard guard(c.lock);
  if (!c.module) {
    c.module.reset(LoadLibraryW(L"comctl32.dll"));
    if (!c.module) return false;
    Resolve(c.module.get(), "InitCommonControlsEx", c.init);
  }
  if (!c.init) return false;
  if ((c.registered & classes) == classes) return true;
  INITCOMMONCONTROLSEX icc{sizeof icc, classes};
  if (!c.init(&icc)) return false;
  c.registered |= classes;
  return true;
}

// A system library by its full path, never one a program's folder holds.
static HMODULE LoadFromSystemFolder(const wchar_t* name) {
  wchar_t folder[MAX_PATH];
  const UINT n = GetSystemDirectoryW(folder, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return nullptr;
  return LoadLibraryW((std::wstring(folder, n) + L"\\" + name).c_str());
}

void UseThemedLibraries() {
  UseCommonControls(0);
  // The version 6 controls draw through it; kept for the process's life.
  static const HMODULE uxtheme = LoadFromSystemFolder(L"uxtheme.dll");
  (void)uxtheme;
}

bool CommonControlsLoaded() {
  CommonControls& c = Comctl();
  std::lock_guard guard(c.lock);
  return static_cast<bool>(c.module);
}

namespace {

DpiApi SystemDpiApi() {
  DpiApi a;
  if (HMODULE user = GetModuleHandleW(L"user32.dll")) {
    Resolve(user, "GetDpiForWindow", a.forWindow);
    Resolve(user, "GetDpiForSystem", a.forSystem);
    Resolve(user, "GetSystemMetricsForDpi", a.metricForDpi);
    Resolve(user, "AdjustWindowRectExForDpi", a.adjustForDpi);
    Resolve(user, "GetThreadDpiAwarenessContext", a.threadAwareness);
    Resolve(user, "AreDpiAwarenessContextsEqual", a.sameAwareness);
    Resolve(user, "EnableNonClientDpiScaling", a.enableNonClientScaling);
  }
  return a;
}

DpiApi& DpiInForce() {
  static DpiApi api = SystemDpiApi();
  return api;
}

std::atomic<bool> g_shcoreLoaded{false};

using DpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);

HRESULT WINAPI ShcoreDpiForMonitor(HMONITOR monitor, int type, UINT* x, UINT* y) {
  // Kept for the process's life once loaded.
  static const DpiForMonitorFunction function = [] {
    DpiForMonitorFunction f = nullptr;
    if (HMODULE shcore = LoadFromSystemFolder(L"shcore.dll")) {
      g_shcoreLoaded = true;
      Resolve(shcore, "GetDpiForMonitor", f);
    }
    return f;
  }();
  return function ? function(monitor, type, x, y) : E_NOTIMPL;
}

MonitorApi& MonitorsInForce() {
  static MonitorApi api{MonitorFromRect, MonitorFromWindow, GetMonitorInfoW, ShcoreDpiForMonitor};
  return api;
}

}  // namespace

const DpiApi& Dpi() { return DpiInForce(); }

DpiApi SetDpi(const DpiApi& api) { return std::exchange(DpiInForce(), api); }

const MonitorApi& Monitors() { return MonitorsInForce(); }

MonitorApi SetMonitors(const MonitorApi& api) { return std::exchange(MonitorsInForce(), api); }

bool MonitorDpiLoaded() { return g_shcoreLoaded; }

HTHEME ThemeApi::themeFor(HWND hwnd, const wchar_t* classList) const {
  if (!isAppThemed || !isThemeActive || !open || !drawBackground || !close) return nullptr;
  return isAppThemed() && isThemeActive() ? open(hwnd, classList) : nullptr;
}

ThemeApi Themes() {
  // Looked up until uxtheme is there; once it is, it stays (the common
  // controls that bring it in keep it).
  static ThemeApi api;
  if (api.isAppThemed) return api;
  if (HMODULE module = GetModuleHandleW(L"uxtheme.dll")) {
    Resolve(module, "IsAppThemed", api.isAppThemed);
    Resolve(module, "IsThemeActive", api.isThemeActive);
    Resolve(module, "OpenThemeData", api.open);
    Resolve(module, "DrawThemeBackground", api.drawBackground);
    Resolve(module, "CloseThemeData", api.close);
    Resolve(module, "GetThemeColor", api.color);
  }
  return api;
}

}  // namespace rt::dyn
