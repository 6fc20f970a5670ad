#include "dyncalls.h"

#include <commctrl.h>

#include <mutex>

#include "../xbp/handle.h"

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

}  // namespace

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

bool CommonControlsLoaded() {
  CommonControls& c = Comctl();
  std::lock_guard guard(c.lock);
  return static_cast<bool>(c.module);
}

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
  }
  return api;
}

}  // namespace rt::dyn
