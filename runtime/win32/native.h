// Private to the runtime: Win32 helpers shared by the window classes.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <string_view>

#include "../cp858.h"
#include "../xbp/dialog.h"
#include "../xbp/pushbutton.h"
#include "../xbp/sle.h"
#include "../xbp/static.h"
#include "../xbp/window.h"

namespace rt {

inline HWND Hwnd(void* handle) { return static_cast<HWND>(handle); }

// Texts cross the API boundary here and nowhere else.
inline std::wstring Wide(std::string_view cp858) { return Cp858ToWide(cp858); }
inline std::string Narrow(std::wstring_view wide) { return WideToCp858(wide); }
std::wstring WindowTextOf(HWND hwnd);

// Owning wrappers for GDI objects and device contexts.
struct GdiObjectDeleter {
  void operator()(void* object) const {
    if (object) DeleteObject(static_cast<HGDIOBJ>(object));
  }
};
using UniqueGdiObject = std::unique_ptr<void, GdiObjectDeleter>;

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
// Fonts by compound name ("9.Arial Fett"); owned by a process-wide cache.
HFONT FontOf(const std::string& compoundName);
HFONT DefaultFont();
void ReleaseFonts();

// Registry of live native windows and their objects.
void RegisterWindow(HWND hwnd, const WindowRef& window);
XbpWindow* WindowFromHandle(HWND hwnd);
WindowRef WindowRefFromHandle(HWND hwnd);
// The nearest registered object at or above hwnd.
WindowRef OwningWindow(HWND hwnd);
// Objects whose native window died are kept until no window procedure of
// theirs can be on the stack any more.
void ReapDestroyedWindows();
void DestroyAllWindows();

// Window classes of our own and the subclassing of standard controls.
void RegisterWindowClasses();
LRESULT CALLBACK OwnWindowProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);
bool SubclassControl(HWND hwnd);
// The control's own procedure, for messages ours passes on or runs first.
LRESULT CallControlProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);

// Mnemonic ("~" letter) handling for push buttons of the window under `msg`.
bool HandleMnemonic(const MSG& msg);
// Keyboard focus movement between tab stops of one top-level window.
void MoveToNextTabStop(HWND from, bool backwards);

// Key code for a WM_CHAR character, and for a WM_KEYDOWN key without one (0: none).
long KeyFromChar(wchar_t ch);
long KeyFromVirtualKey(WPARAM vk);

// Common handling of WM_CHAR/WM_KEYDOWN for controls: posts keyboard events.
// Returns true when the message must not reach the control's own procedure.
bool PostKeyEvents(XbpWindow* window, UINT msg, WPARAM wparam, LPARAM lparam, bool swallowControlKeys);

}  // namespace rt
