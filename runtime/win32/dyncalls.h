// Functions resolved at run time, in one place. Their libraries cost start-up
// time (under Wine above all), so they are loaded when first needed, never at
// start, and functions that a system may lack are looked up, not linked.
#pragma once

#include <windows.h>

#include <ole2.h>
#include <oleacc.h>
#include <uxtheme.h>

namespace rt::dyn {

// Loads the common-controls library (the version the program's manifest asks
// for) and registers the control classes of `classes` (ICC_* flags). Classes
// registered once stay registered; false when the library or its
// initialisation is missing.
bool UseCommonControls(DWORD classes);
// Whether the common-controls library has been loaded by UseCommonControls.
bool CommonControlsLoaded();
// The common controls and the theme library, both kept once loaded: what a
// program with the manifest has from its start.
void UseThemedLibraries();

// The theme functions, where themes are in use at all: the themed common
// controls bring uxtheme into the process, so a module that is not loaded
// means classic drawing, and the program does not pay for loading it.
struct ThemeApi {
  decltype(&IsAppThemed) isAppThemed = nullptr;
  decltype(&IsThemeActive) isThemeActive = nullptr;
  decltype(&OpenThemeData) open = nullptr;
  decltype(&DrawThemeBackground) drawBackground = nullptr;
  decltype(&CloseThemeData) close = nullptr;
  decltype(&GetThemeColor) color = nullptr;  // may be missing: callers fall back

  // An open theme for `classList` on `hwnd` when themes are in effect, else
  // nullptr; close it with `close`.
  HTHEME themeFor(HWND hwnd, const wchar_t* classList) const;
};
// Looked up again while uxtheme is not loaded: a common control created
// since the last call may have brought it in.
ThemeApi Themes();

// Display scaling of Windows 10 (1607 and later), looked up in user32, which
// every GUI program has loaded anyway; nullptr on older systems.
struct DpiApi {
  UINT(WINAPI* forWindow)(HWND) = nullptr;
  UINT(WINAPI* forSystem)() = nullptr;
  int(WINAPI* metricForDpi)(int, UINT) = nullptr;
  BOOL(WINAPI* adjustForDpi)(RECT*, DWORD, BOOL, DWORD, UINT) = nullptr;
  // The thread's awareness, to tell per-monitor v1 from v2: a v1 window
  // scales its title and menu bars only when it asks for it while it is
  // made (WM_NCCREATE); v2 windows always do.
  DPI_AWARENESS_CONTEXT(WINAPI* threadAwareness)() = nullptr;
  BOOL(WINAPI* sameAwareness)(DPI_AWARENESS_CONTEXT, DPI_AWARENESS_CONTEXT) = nullptr;
  BOOL(WINAPI* enableNonClientScaling)(HWND) = nullptr;
};
const DpiApi& Dpi();

// The monitors, from user32 (on every Windows we run on), and a monitor's
// dpi, from shcore (Windows 8.1 and later): shcore is loaded on the first
// call of dpiForMonitor, never before, and only the runtime's fallback for
// a Windows without GetDpiForWindow calls it. dpiForMonitor answers E_NOTIMPL
// where shcore or the function is missing.
struct MonitorApi {
  HMONITOR(WINAPI* fromRect)(LPCRECT, DWORD) = nullptr;
  HMONITOR(WINAPI* fromWindow)(HWND, DWORD) = nullptr;
  BOOL(WINAPI* info)(HMONITOR, LPMONITORINFO) = nullptr;
  HRESULT(WINAPI* dpiForMonitor)(HMONITOR, int, UINT*, UINT*) = nullptr;
};
const MonitorApi& Monitors();
// Whether dpiForMonitor has loaded shcore.
bool MonitorDpiLoaded();

// Tests stand in for the system's monitors and dpi functions (Wine under
// Xvfb has one monitor at one dpi): the tables take effect at once, on the
// GUI thread, and each call returns the table it replaces.
DpiApi SetDpi(const DpiApi& api);
MonitorApi SetMonitors(const MonitorApi& api);

// OLE for drag and drop and shell links: ole32, loaded on first need and
// kept (the shell's link object brings its own library when one is made).
// UseOle also starts OLE on the calling thread (once per
// thread); nullptr when a library or function is missing or OLE cannot be
// started there.
struct OleApi {
  decltype(&RegisterDragDrop) registerDragDrop = nullptr;
  decltype(&RevokeDragDrop) revokeDragDrop = nullptr;
  decltype(&ReleaseStgMedium) releaseStgMedium = nullptr;
  decltype(&CoCreateInstance) coCreateInstance = nullptr;
  decltype(&CoTaskMemFree) coTaskMemFree = nullptr;
};
const OleApi* UseOle();

// The accessibility library for screen readers: oleacc (and the automation
// library it brings), loaded when a client first asks a window for its
// accessible object, never at start. Starts OLE on the calling thread as
// UseOle does; nullptr when something is missing.
struct AccessibilityApi {
  decltype(&CreateStdAccessibleObject) createStdAccessibleObject = nullptr;
  decltype(&LresultFromObject) lresultFromObject = nullptr;
  decltype(&SysAllocStringLen) sysAllocStringLen = nullptr;
};
const AccessibilityApi* UseAccessibility();

// The interface and class identifiers the runtime uses, its own: the
// system's uuid library brings hundreds of them with any one.
inline constexpr GUID kIidUnknown{0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr GUID kIidPersistFile{0x0000010B, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr GUID kIidDropTarget{0x00000122, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr GUID kClsidShellLink{0x00021401, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr GUID kIidShellLinkW{0x000214F9, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr GUID kIidDispatch{0x00020400, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr GUID kIidAccessible{0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
// Whether ole32 has been loaded by UseOle.
bool OleLoaded();

}  // namespace rt::dyn
