// The window registry, the runtime's one window procedure, the reflection of
// notifications to the controls they concern, and the graveyard that frees a
// window object only when no window procedure can still run for it.
#include <deque>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "menu.h"
#include "accessible.h"
#include "dragdrop.h"
#include "native.h"

namespace rt {

struct WindowAccess {
  static void forgetHandle(XbpWindow& w) { w.handle_ = nullptr; }
  static void setHandle(XbpWindow& w, HWND hwnd) { w.handle_ = hwnd; }
};

namespace {

struct Entry {
  WindowRef window;
  WNDPROC next = DefWindowProcW;  // the control's own procedure, or the default
};

std::unordered_map<HWND, Entry>& Registry() {
  static std::unordered_map<HWND, Entry> registry;
  return registry;
}

std::vector<WindowRef>& Graveyard() {
  static std::vector<WindowRef> graveyard;
  return graveyard;
}

// References other threads handed back, at most one per object: a thread
// whose object is already here drops its own, which is then never the last.
struct HandedBack {
  std::mutex lock;
  std::vector<WindowRef> windows;
};
HandedBack& HandedBackWindows() {
  static HandedBack handed;
  return handed;
}

struct Creating {
  XbpWindow* window = nullptr;
  UINT_PTR id = 0;
};
Creating g_creating;

// What window procedures of this thread could not throw, oldest first.
thread_local std::deque<std::exception_ptr> g_carried;

// The native window is gone: drop the runtime's reference and the callbacks,
// which may hold the window itself (closure cycles).
void Unregister(HWND hwnd) {
  auto& registry = Registry();
  auto it = registry.find(hwnd);
  if (it == registry.end()) return;
  WindowRef window = std::move(it->second.window);
  registry.erase(it);
  WindowAccess::forgetHandle(*window);
  window->onNativeDestroyed();
  Graveyard().push_back(std::move(window));
}

XbpWindow* ChildById(HWND parent, UINT id) {
  if (HWND child = GetDlgItem(parent, static_cast<int>(id))) {
    if (XbpWindow* window = WindowFromHandle(child)) return window;
  }
  return g_creating.window && g_creating.id == id ? g_creating.window : nullptr;
}

// A control that reports to `self`: registered itself, or a native part of
// `self` (the edit field inside a combination box asks its box for colours).
XbpWindow* ReportingControl(XbpWindow* self, HWND hwnd, HWND from) {
  if (XbpWindow* child = WindowFromHandle(from)) return child;
  return from && GetParent(from) == hwnd ? self : nullptr;
}

// Notifications about a child control go to that control, unpacked.
bool Reflect(XbpWindow* self, HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam, LRESULT& result) {
  switch (msg) {
    case WM_COMMAND: {
      // Menus and accelerators send no control handle; a menu's command goes
      // to the menu that holds the item.
      if (!lparam && HIWORD(wparam) == 0 && ChooseMenuItem(LOWORD(wparam))) {
        result = 0;
        return true;
      }
      XbpWindow* child = lparam ? WindowFromHandle(reinterpret_cast<HWND>(lparam)) : nullptr;
      if (!child || !child->onCommand(HIWORD(wparam))) return false;
      result = 0;
      return true;
    }
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lparam);
      XbpWindow* child = header ? WindowFromHandle(header->hwndFrom) : nullptr;
      intptr_t answer = 0;
      if (!child || !child->onNotify(*header, answer)) return false;
      result = answer;
      return true;
    }
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: {
      XbpWindow* child = ReportingControl(self, hwnd, reinterpret_cast<HWND>(lparam));
      HBRUSH brush = child ? child->onColor(reinterpret_cast<HDC>(wparam)) : nullptr;
      if (!brush) return false;
      result = reinterpret_cast<LRESULT>(brush);
      return true;
    }
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
      if (item->CtlType == ODT_MENU) return false;
      XbpWindow* child = WindowFromHandle(item->hwndItem);
      if (!child || !child->onDrawItem(*item)) return false;
      result = TRUE;
      return true;
    }
    case WM_MEASUREITEM: {
      auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lparam);
      if (item->CtlType == ODT_MENU) return false;
      XbpWindow* child = ChildById(hwnd, item->CtlID);
      if (!child || !child->onMeasureItem(*item)) return false;
      result = TRUE;
      return true;
    }
    case WM_DELETEITEM: {
      const auto* item = reinterpret_cast<const DELETEITEMSTRUCT*>(lparam);
      XbpWindow* child = WindowFromHandle(item->hwndItem);
      if (!child || !child->onDeleteItem(*item)) return false;
      result = TRUE;
      return true;
    }
    case WM_COMPAREITEM: {
      const auto* item = reinterpret_cast<const COMPAREITEMSTRUCT*>(lparam);
      XbpWindow* child = WindowFromHandle(item->hwndItem);
      if (!child) return false;
      result = child->onCompareItem(*item);
      return true;
    }
    case WM_HSCROLL:
    case WM_VSCROLL: {
      // A window's own scroll bars send no control handle.
      XbpWindow* child = lparam ? WindowFromHandle(reinterpret_cast<HWND>(lparam)) : nullptr;
      if (!child || !child->onScroll(LOWORD(wparam), static_cast<short>(HIWORD(wparam)))) return false;
      result = 0;
      return true;
    }
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM: {
      XbpWindow* child = WindowFromHandle(reinterpret_cast<HWND>(lparam));
      if (!child) return false;
      result = child->onKeyToItem(LOWORD(wparam), HIWORD(wparam), msg == WM_CHARTOITEM);
      return true;
    }
    default: return false;
  }
}

}  // namespace

std::wstring WindowTextOf(HWND hwnd) {
  const int length = GetWindowTextLengthW(hwnd);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(hwnd, text.data(), length + 1);
  text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
  return text;
}

XbpWindow* WindowFromHandle(HWND hwnd) {
  auto it = Registry().find(hwnd);
  return it == Registry().end() ? nullptr : it->second.window.get();
}

WindowRef WindowRefFromHandle(HWND hwnd) {
  auto it = Registry().find(hwnd);
  return it == Registry().end() ? nullptr : it->second.window;
}

WindowRef OwningWindow(HWND hwnd) {
  for (; hwnd; hwnd = GetParent(hwnd)) {
    if (WindowRef w = WindowRefFromHandle(hwnd)) return w;
  }
  return nullptr;
}

void ReapDestroyedWindows() {
  // Destructors may release further objects; swap first so that re-entry is safe.
  std::vector<WindowRef> dead;
  dead.swap(Graveyard());
  const DWORD gui = GuiThread();
  if (gui && gui != GetCurrentThreadId()) return;
  HandedBack& handed = HandedBackWindows();
  std::vector<WindowRef> released;
  {
    std::lock_guard lock(handed.lock);
    released.swap(handed.windows);
  }
}

void ReleaseOnGuiThread(WindowRef window) {
  if (!window) return;
  const DWORD gui = GuiThread();
  if (gui && gui == GetCurrentThreadId()) return;
  HandedBack& handed = HandedBackWindows();
  std::lock_guard lock(handed.lock);
  for (const WindowRef& held : handed.windows) {
    if (held == window) {
      window.reset();  // `held` keeps it
      return;
    }
  }
  handed.windows.push_back(std::move(window));
  // Nobody else holds it any more, and the GUI thread may be idle: wake it
  // to let go. Otherwise it passes a reap before its loop waits again.
  if (gui && handed.windows.back().use_count() == 1) PostThreadMessageW(gui, WM_NULL, 0, 0);
}

void DestroyAllWindows() {
  // Top-level windows first; their children go with them.
  std::vector<HWND> topLevel;
  for (auto& [hwnd, entry] : Registry()) {
    if (!(GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CHILD)) topLevel.push_back(hwnd);
  }
  for (HWND hwnd : topLevel) {
    if (IsWindow(hwnd)) DestroyWindow(hwnd);
  }
  ReapDestroyedWindows();
}

WNDPROC Subclass(HWND hwnd, WNDPROC proc) {
  return reinterpret_cast<WNDPROC>(SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc)));
}

void Unsubclass(HWND hwnd, WNDPROC proc, WNDPROC next) {
  if (reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC)) == proc)
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(next));
}

void AdoptControl(HWND hwnd, const WindowRef& window) {
  Entry entry;
  entry.window = window;
  WindowAccess::setHandle(*window, hwnd);
  auto& slot = Registry()[hwnd];
  slot = std::move(entry);
  slot.next = Subclass(hwnd, WindowProc);
}

LRESULT CallNative(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  auto it = Registry().find(hwnd);
  const WNDPROC next = it == Registry().end() ? DefWindowProcW : it->second.next;
  return CallWindowProcW(next, hwnd, msg, wparam, lparam);
}

CreatingScope::CreatingScope(XbpWindow* window, UINT_PTR id) { g_creating = {window, id}; }
CreatingScope::~CreatingScope() { g_creating = {}; }

void CarryException(std::exception_ptr e) {
  if (e) g_carried.push_back(std::move(e));
}

bool HasCarriedException() { return !g_carried.empty(); }

void RethrowCarriedException() {
  if (g_carried.empty()) return;
  std::exception_ptr e = std::move(g_carried.front());
  g_carried.pop_front();
  std::rethrow_exception(e);
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) noexcept {
  try {
    if (msg == WM_NCCREATE) {
      // Our own classes: the object arrives with the creation parameters.
      const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
      if (auto* creating = static_cast<XbpWindow*>(create->lpCreateParams)) {
        WindowAccess::setHandle(*creating, hwnd);
        Registry()[hwnd] = Entry{std::static_pointer_cast<XbpWindow>(creating->shared_from_this()), DefWindowProcW};
      }
      if (!(create->style & WS_CHILD)) ScaleNonClientArea(hwnd);
    }
    auto it = Registry().find(hwnd);
    if (it == Registry().end()) return DefWindowProcW(hwnd, msg, wparam, lparam);
    const WNDPROC next = it->second.next;
    if (msg == WM_GETOBJECT) {
      if (LRESULT answer = 0; AnswerGetObject(hwnd, wparam, lparam, answer)) return answer;
    }
    // OLE lets go of a drop target only while its window still exists.
    if (msg == WM_DESTROY) RevokeDropTarget(hwnd);
    if (msg == WM_ACTIVATEAPP) OnActivateApp(wparam != 0);
    if (msg == WM_NCDESTROY) {
      // The control's own procedure must see the end of its window too.
      if (next != DefWindowProcW) Unsubclass(hwnd, WindowProc, next);
      const LRESULT r = CallWindowProcW(next, hwnd, msg, wparam, lparam);
      Unregister(hwnd);
      return r;
    }
    // The entry may go while a handler runs (a callback destroys the window):
    // keep the object alive until the procedure returns.
    const WindowRef window = it->second.window;
    LRESULT result = 0;
    if (Reflect(window.get(), hwnd, msg, wparam, lparam, result)) return result;
    intptr_t answer = 0;
    if (window->onMessage(msg, wparam, lparam, answer)) return answer;
    return CallWindowProcW(next, hwnd, msg, wparam, lparam);
  } catch (...) {
    CarryException(std::current_exception());
    return 0;
  }
}

namespace {

BOOL CALLBACK TakeFirst(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR found) {
  if (IS_INTRESOURCE(name)) *reinterpret_cast<long*>(found) = static_cast<long>(reinterpret_cast<ULONG_PTR>(name));
  return FALSE;
}

// The program's icon is its first icon group, the one the shell shows for
// the file; 0 when it has none or only named ones.
long FindProgramIcon() {
  long id = 0;
  EnumResourceNamesW(ModuleInstance(), RT_GROUP_ICON, TakeFirst, reinterpret_cast<LONG_PTR>(&id));
  return id;
}

}  // namespace

long ProgramIcon() {
  static const long id = FindProgramIcon();
  return id;
}

void RegisterWindowClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = ModuleInstance();
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  // Tab pages paint their whole background themselves.
  wc.lpszClassName = L"XbpTabPage";
  RegisterClassExW(&wc);
  // Frames paint nothing themselves: the drawing area covers them.
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  for (const wchar_t* name : {L"XbpDrawingArea", L"XbpStatic"}) {
    wc.lpszClassName = name;
    RegisterClassExW(&wc);
  }
  // Frames show the program's icon unless they are given another: with the
  // class, as Windows expects it, not sent after the frame is made; in the
  // sizes of the system's dpi, and kept for the process's life.
  if (const long icon = ProgramIcon()) {
    const unsigned dpi = SystemDpi();
    wc.hIcon = LoadIconForDpi(static_cast<int>(icon), MetricForDpi(SM_CXICON, dpi), dpi);
    wc.hIconSm = LoadIconForDpi(static_cast<int>(icon), MetricForDpi(SM_CXSMICON, dpi), dpi);
  }
  for (const wchar_t* name : {L"XbpDialog", L"XbpCrt"}) {
    wc.lpszClassName = name;
    RegisterClassExW(&wc);
  }
}

}  // namespace rt
