// Window registry, window procedures and keyboard plumbing.
#include "native.h"


#include <algorithm>
#include <cctype>
#include <unordered_map>
#include <vector>

#include "../events.h"

namespace rt {

struct WindowAccess {
  static void forgetHandle(XbpWindow& w) { w.handle_ = nullptr; }
  static void adopt(XbpWindow& w, HWND hwnd) {
    w.handle_ = hwnd;
    RegisterWindow(hwnd, std::static_pointer_cast<XbpWindow>(w.shared_from_this()));
  }
};

namespace {

std::unordered_map<HWND, WindowRef>& Registry() {
  static std::unordered_map<HWND, WindowRef> registry;
  return registry;
}

std::vector<WindowRef>& Graveyard() {
  static std::vector<WindowRef> graveyard;
  return graveyard;
}

// The native window is gone: drop the runtime's reference and the callbacks,
// which may hold the window itself (closure cycles).
void Unregister(HWND hwnd) {
  auto& registry = Registry();
  auto it = registry.find(hwnd);
  if (it == registry.end()) return;
  WindowRef window = std::move(it->second);
  registry.erase(it);
  WindowAccess::forgetHandle(*window);
  window->onNativeDestroyed();
  Graveyard().push_back(std::move(window));
}

BOOL CALLBACK CollectTabStop(HWND hwnd, LPARAM param) {
  const LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
  if ((style & WS_TABSTOP) && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd))
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
  return TRUE;
}

struct MnemonicSearch {
  char wanted;
  HWND found;
};

BOOL CALLBACK FindMnemonic(HWND hwnd, LPARAM param) {
  auto* search = reinterpret_cast<MnemonicSearch*>(param);
  auto* button = dynamic_cast<XbpBasePushButton*>(WindowFromHandle(hwnd));
  if (button && button->mnemonic() == search->wanted && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

// Standard controls keep their own window procedure; ours runs first. Plain
// subclassing through GWLP_WNDPROC needs no common-controls library, whose
// loading would cost every start of the program.
std::unordered_map<HWND, WNDPROC>& BaseProcs() {
  static std::unordered_map<HWND, WNDPROC> procs;
  return procs;
}

LRESULT CALLBACK ControlProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  if (msg == WM_NCDESTROY) {
    auto it = BaseProcs().find(hwnd);
    const WNDPROC base = it == BaseProcs().end() ? DefWindowProcW : it->second;
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(base));
    const LRESULT r = CallWindowProcW(base, hwnd, msg, wparam, lparam);
    BaseProcs().erase(hwnd);
    Unregister(hwnd);
    return r;
  }
  if (XbpWindow* window = WindowFromHandle(hwnd)) {
    intptr_t result = 0;
    try {
      if (window->onMessage(msg, wparam, lparam, result)) return result;
    } catch (...) {
      // A window procedure must never let an exception cross into the system.
      return 0;
    }
  }
  return CallControlProc(hwnd, msg, wparam, lparam);
}

}  // namespace

std::wstring WindowTextOf(HWND hwnd) {
  const int length = GetWindowTextLengthW(hwnd);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(hwnd, text.data(), length + 1);
  text.resize(static_cast<size_t>(std::max(copied, 0)));
  return text;
}

void RegisterWindow(HWND hwnd, const WindowRef& window) { Registry()[hwnd] = window; }

XbpWindow* WindowFromHandle(HWND hwnd) {
  auto it = Registry().find(hwnd);
  return it == Registry().end() ? nullptr : it->second.get();
}

WindowRef WindowRefFromHandle(HWND hwnd) {
  auto it = Registry().find(hwnd);
  return it == Registry().end() ? nullptr : it->second;
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
}

void DestroyAllWindows() {
  // Top-level windows first; their children go with them.
  std::vector<HWND> topLevel;
  for (auto& [hwnd, window] : Registry()) {
    if (!(GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CHILD)) topLevel.push_back(hwnd);
  }
  for (HWND hwnd : topLevel) {
    if (IsWindow(hwnd)) DestroyWindow(hwnd);
  }
  ReapDestroyedWindows();
}

LRESULT CALLBACK OwnWindowProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  if (msg == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
    auto* creating = static_cast<XbpWindow*>(create->lpCreateParams);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creating));
    if (creating) WindowAccess::adopt(*creating, hwnd);
  }
  auto* window = reinterpret_cast<XbpWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (msg == WM_NCDESTROY) {
    LRESULT r = DefWindowProcW(hwnd, msg, wparam, lparam);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    Unregister(hwnd);
    return r;
  }
  if (window && window->nativeHandle() == hwnd) {
    intptr_t result = 0;
    try {
      if (window->onMessage(msg, wparam, lparam, result)) return result;
    } catch (...) {
      return 0;
    }
  }
  return DefWindowProcW(hwnd, msg, wparam, lparam);
}

bool SubclassControl(HWND hwnd) {
  const auto base = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC));
  if (!base) return false;
  BaseProcs()[hwnd] = base;
  SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ControlProc));
  return true;
}

LRESULT CallControlProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  auto it = BaseProcs().find(hwnd);
  return CallWindowProcW(it == BaseProcs().end() ? DefWindowProcW : it->second, hwnd, msg, wparam, lparam);
}

void RegisterWindowClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = OwnWindowProc;
  wc.hInstance = ModuleInstance();
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  for (const wchar_t* name : {L"XbpDialog", L"XbpDrawingArea", L"XbpStatic"}) {
    wc.lpszClassName = name;
    // Dialog frames paint nothing themselves: the drawing area covers them.
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    RegisterClassExW(&wc);
  }
}

long KeyFromChar(wchar_t ch) {
  if (ch == L'\t') return (GetKeyState(VK_SHIFT) & 0x8000) ? kKeyShiftTab : kKeyTab;
  if (ch < 0x80) return ch;
  const std::string narrow = WideToCp858(std::wstring_view(&ch, 1));
  return static_cast<unsigned char>(narrow[0]);
}

long KeyFromVirtualKey(WPARAM vk) {
  switch (vk) {
    case VK_DELETE: return kKeyDelete;
    case VK_LEFT: return kKeyLeft;
    case VK_RIGHT: return kKeyRight;
    case VK_UP: return kKeyUp;
    case VK_DOWN: return kKeyDown;
    case VK_HOME: return kKeyHome;
    case VK_END: return kKeyEnd;
    case VK_PRIOR: return kKeyPgUp;
    case VK_NEXT: return kKeyPgDn;
    case VK_INSERT: return kKeyInsert;
    case VK_F1: return kKeyF1;
    default:
      if (vk >= VK_F2 && vk <= VK_F10) return -static_cast<long>(vk - VK_F1);
      if (vk == VK_F11) return -40;
      if (vk == VK_F12) return -41;
      return 0;
  }
}

bool PostKeyEvents(XbpWindow* window, UINT msg, WPARAM wparam, LPARAM lparam, bool swallowControlKeys) {
  const ObjectRef self = window->shared_from_this();
  if (msg == WM_CHAR) {
    const long key = KeyFromChar(static_cast<wchar_t>(wparam));
    const bool control = key == kKeyTab || key == kKeyShiftTab || key == kKeyEnter || key == kKeyEsc;
    if (control && swallowControlKeys) {
      // A single-line field would only beep at these.
      PostAppEvent(kEvKeyboard, key, Value(), self);
      return true;
    }
    // Let the key change the control first: the callback sees the result.
    CallControlProc(Hwnd(window->nativeHandle()), msg, wparam, lparam);
    PostAppEvent(kEvKeyboard, key, Value(), self);
    return true;
  }
  if (msg == WM_KEYDOWN) {
    const long key = KeyFromVirtualKey(wparam);
    if (key == 0) return false;
    CallControlProc(Hwnd(window->nativeHandle()), msg, wparam, lparam);
    PostAppEvent(kEvKeyboard, key, Value(), self);
    return true;
  }
  return false;
}

void MoveToNextTabStop(HWND from, bool backwards) {
  HWND root = GetAncestor(from, GA_ROOT);
  if (!root) return;
  // Tab stops in creation order, depth first, as the user sees the form.
  std::vector<HWND> stops;
  EnumChildWindows(root, CollectTabStop, reinterpret_cast<LPARAM>(&stops));
  if (stops.empty()) return;
  auto it = std::find(stops.begin(), stops.end(), from);
  size_t index = it == stops.end() ? 0 : static_cast<size_t>(it - stops.begin());
  const size_t n = stops.size();
  const size_t next = it == stops.end() ? (backwards ? n - 1 : 0) : (backwards ? (index + n - 1) % n : (index + 1) % n);
  SetFocus(stops[next]);
}

bool HandleMnemonic(const MSG& msg) {
  if (msg.message != WM_SYSCHAR) return false;
  HWND root = GetAncestor(msg.hwnd, GA_ROOT);
  if (!root) return false;
  const std::string letter = WideToCp858(std::wstring(1, static_cast<wchar_t>(msg.wParam)));
  const char wanted = static_cast<char>(std::toupper(static_cast<unsigned char>(letter[0])));
  MnemonicSearch search{wanted, nullptr};
  EnumChildWindows(root, FindMnemonic, reinterpret_cast<LPARAM>(&search));
  if (!search.found) return false;
  // As in dialogs: the mnemonic presses the button.
  SetFocus(search.found);
  SendMessageW(search.found, BM_CLICK, 0, 0);
  return true;
}

}  // namespace rt
