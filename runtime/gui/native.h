// Private to the window layer (runtime/gui/): Win32 helpers its files share.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "../win32/base.h"
#include "layer.h"
#include "window.h"

namespace rt {

inline HWND Hwnd(NativeWindow handle) { return handle; }

std::wstring WindowTextOf(HWND hwnd);
// A caption with "~" before its mnemonic letter as Win32 writes it: "&"
// before the letter, literal "&" doubled.
std::wstring NativeCaption(std::string_view caption);

// A change the program (or the runtime) makes to a control, for one scope:
// what the control notifies meanwhile is not the user's doing. Counted, as
// such changes nest; undone however the scope is left.
class OwnChange {
 public:
  explicit OwnChange(int& depth) : depth_(depth) { ++depth_; }
  ~OwnChange() { --depth_; }
  OwnChange(const OwnChange&) = delete;
  OwnChange& operator=(const OwnChange&) = delete;

 private:
  int& depth_;
};

class WindowDC {
 public:
  explicit WindowDC(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
  ~WindowDC() {
    if (dc_) ReleaseDC(hwnd_, dc_);
  }
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  HDC get() const { return dc_; }

 private:
  HWND hwnd_;
  HDC dc_;
};

// Selects an object into a DC for one scope and puts the previous one back.
class SelectInScope {
 public:
  SelectInScope(HDC dc, HGDIOBJ object) : dc_(dc), previous_(object ? SelectObject(dc, object) : nullptr) {}
  ~SelectInScope() {
    if (previous_) SelectObject(dc_, previous_);
  }
  SelectInScope(const SelectInScope&) = delete;
  SelectInScope& operator=(const SelectInScope&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

HINSTANCE ModuleInstance();

// Colour numbers of the runtime as COLORREF: palette 0..15, negative system
// colours, RGB values with bit 24 set. Unknown numbers give black.
COLORREF ColorOf(long color);
// Fonts by compound name ("9.Arial Fett") for a dpi (0: the system's); owned
// by a process-wide cache.
HFONT FontOf(const std::string& compoundName, unsigned dpi = 0);
HFONT DefaultFont(unsigned dpi = 0);

// --- display scaling (scaling.cpp) ----------------------------------------

// Application code places, sizes and draws in pixels at 96 dpi; a window
// shows at the dpi of its monitor (Windows asks a per-monitor aware program
// to draw itself there). Device pixels are those of the screen.
inline constexpr unsigned kBaseDpi = 96;
// The dpi of the desktop's coordinates (the primary monitor's).
unsigned SystemDpi();
// The dpi `hwnd` shows at: its monitor's, or the system's where Windows does
// not tell windows apart.
unsigned DpiOfWindow(HWND hwnd);
// Work areas: of the monitor `r` lies on most (else the nearest), and of
// the monitor `hwnd` is on (the primary's without a window).
RECT WorkAreaAround(const RECT& r);
RECT WorkAreaOf(HWND hwnd);
// For a top-level window at its WM_NCCREATE: under per-monitor v1 its title
// and menu bars scale only when asked to (v2 scales them anyway).
void ScaleNonClientArea(HWND hwnd);
// Application pixels to device pixels: scaled, then rounded by the runtime's
// one rule (Pixels). 1:1 at 96 dpi.
long ToDevice(double value, unsigned dpi);
// Device pixels to application pixels, with fractions: what was placed in
// application pixels reads back as placed.
double ToApp(double device, unsigned dpi);
// A system metric (SM_*) for a window at `dpi`.
int MetricForDpi(int index, unsigned dpi);
// A bitmap resource as a window at `dpi` shows it: the resource itself at 96
// dpi, else the picture at the scaled size, from the program's scaled
// variants of it where it carries them (runtime/pictures.h), else averaged
// from the resource. nullptr when there is no such bitmap.
HBITMAP LoadBitmapForDpi(int id, unsigned dpi);
// An icon resource at `size` pixels square for a window at `dpi`: the
// program's variant of that size where it carries one (not at 96 dpi, whose
// sizes the resource has), else the icon resource as the system scales it.
HICON LoadIconForDpi(int id, int size, unsigned dpi);

// --- windows and their procedure (windowproc.cpp) -------------------------

// Registry of live native windows and their objects.
XbpWindow* WindowFromHandle(HWND hwnd);
WindowRef WindowRefFromHandle(HWND hwnd);
// The nearest registered object at or above hwnd.
WindowRef OwningWindow(HWND hwnd);
// Objects whose native window died are kept until no window procedure of
// theirs can be on the stack any more; window objects other threads handed
// back go here too.
void ReapDestroyedWindows();
// The thread that takes events and runs the windows (events.cpp); 0 before
// one does.
DWORD GuiThread();
// For a thread other than the GUI thread that got hold of a window object:
// its reference is dropped on the GUI thread, so that the object, its
// callbacks and what they hold never end on another thread.
void ReleaseOnGuiThread(WindowRef window);

// The one window procedure of the runtime: the class procedure of our own
// window classes, and the subclass procedure of standard controls.
LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) noexcept;
// The resource number of the program's icon, which frames of the runtime's
// classes show unless given another; 0 for none.
long ProgramIcon();
// Registers a window object created as a standard control and puts it under
// the runtime's window procedure.
void AdoptControl(HWND hwnd, const WindowRef& window);
// The runtime's one way to subclass: puts `proc` in front of the window's
// procedure and answers the one it replaced, to which `proc` passes on what
// it does not take. Unsubclass puts `next` back only while `proc` is still
// in front: a procedure that someone put in front of ours since stays, and
// ours, still called by it, keeps passing on to `next`.
WNDPROC Subclass(HWND hwnd, WNDPROC proc);
void Unsubclass(HWND hwnd, WNDPROC proc, WNDPROC next);
// The window procedure behind the runtime's for `hwnd`.
LRESULT CallNative(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);

// The counter child ids are drawn from (window.cpp): a child gets 1000 plus
// its value, below 60000; tests set it to make the ids go round.
unsigned& ChildIdCounter();

// An object whose native window is being created now: notifications that
// arrive before CreateWindowEx returns (WM_MEASUREITEM) find it by its id.
class CreatingScope {
 public:
  CreatingScope(XbpWindow* window, UINT_PTR id);
  ~CreatingScope();
  CreatingScope(const CreatingScope&) = delete;
  CreatingScope& operator=(const CreatingScope&) = delete;
};

// --- keys and focus (windowio.cpp) ----------------------------------------

// Mnemonic ("~" letter) handling for controls of the window under `msg`.
bool HandleMnemonic(const MSG& msg);
// Ctrl+Tab, Ctrl+Shift+Tab, Ctrl+PgDn and Ctrl+PgUp on a control of a tab
// page change the page; true when `msg` was taken. Set by the first page
// created, so that programs without pages do without the tab pages' code.
extern bool (*HandlePageKeys)(const MSG& msg);
// Menu activation from the keyboard: Alt pressed and released with no other
// key in between, or F10 alone, activates the window's menu; with any other
// key it never does. True when `msg` was taken.
bool HandleMenuKeys(const MSG& msg);
// Whether the focus that `losing` gives up goes to another window of the
// program: false when another program takes it, when no window does, while
// the window is minimised, or when its own frame takes it to hand it on
// (restored); the kill-focus event then carries false.
bool FocusStaysInProgram(HWND losing, HWND gaining);
// For its scope, a window of the program is being minimised.
class Minimising {
 public:
  Minimising();
  ~Minimising();
  Minimising(const Minimising&) = delete;
  Minimising& operator=(const Minimising&) = delete;
};
// Keyboard focus movement between tab stops of one top-level window.
void MoveToNextTabStop(HWND from, bool backwards);

// Key code for a WM_CHAR character, and for a WM_KEYDOWN key without one (0: none).
long KeyFromChar(wchar_t ch);
long KeyFromVirtualKey(WPARAM vk);
// Either, for a WM_CHAR or WM_KEYDOWN message.
long KeyOfMessage(UINT msg, WPARAM wparam);

}  // namespace rt
