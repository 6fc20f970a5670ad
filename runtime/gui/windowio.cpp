// What reaches a window from the user and the system: routed events and their
// callbacks, keys, mnemonics and focus movement.
#include <algorithm>
#include <cctype>
#include <vector>

#include "../events.h"
#include "menubar.h"
#include "native.h"

namespace rt {

namespace {

const EventRoute* FindRoute(const EventRoutes* table, EventRoute::From from, unsigned notification) {
  for (; table; table = table->base) {
    for (const EventRoute& row : table->rows) {
      if (row.from == from && row.notification == notification) return &row;
    }
  }
  return nullptr;
}

const EventRoute* FindEvent(const EventRoutes* table, long event) {
  for (; table; table = table->base) {
    for (const EventRoute& row : table->rows) {
      if (row.event == event) return &row;
    }
  }
  return nullptr;
}

bool IsControlKey(long key) {
  return key == kKeyTab || key == kKeyShiftTab || key == kKeyEnter || key == kKeyEsc;
}

BOOL CALLBACK CollectTabStop(HWND hwnd, LPARAM param) {
  const LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_STYLE);
  if ((style & WS_TABSTOP) && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd))
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
  return TRUE;
}

// The upper case of a code page 858 letter, umlauts too: "~\x81" (ü) answers
// Alt+Ü as "~\x9a" (Ü) answers Alt+ü. A letter whose upper case the code page
// lacks stays as it is.
char UpperLetter(char c) {
  const auto byte = static_cast<unsigned char>(c);
  if (byte < 0x80) return static_cast<char>(std::toupper(byte));
  std::wstring wide = Wide(std::string_view(&c, 1));
  CharUpperBuffW(wide.data(), static_cast<DWORD>(wide.size()));
  const std::string upper = WideToCp858(wide, '\0');
  return upper.size() == 1 && upper[0] ? upper[0] : c;
}

struct MnemonicSearch {
  char wanted;
  XbpWindow* found;
};

BOOL CALLBACK FindMnemonic(HWND hwnd, LPARAM param) {
  auto* search = reinterpret_cast<MnemonicSearch*>(param);
  XbpWindow* window = WindowFromHandle(hwnd);
  if (!window || !IsWindowVisible(hwnd) || !IsWindowEnabled(hwnd)) return TRUE;
  search->found = window->mnemonicTarget(search->wanted);
  return search->found ? FALSE : TRUE;
}

}  // namespace

// --- events and their routes -------------------------------------------------

const EventRoutes& XbpWindow::routes() const {
  static const EventRoute rows[] = {
      {EventRoute::From::Posted, 0, kEvKeyboard, &XbpWindow::keyboard},
      {EventRoute::From::Posted, 0, kEvSetInputFocus, &XbpWindow::setInputFocus},
      {EventRoute::From::Posted, 0, kEvKillInputFocus, &XbpWindow::killInputFocus},
  };
  static const EventRoutes table{nullptr, rows};
  return table;
}

void XbpWindow::eventParams(long, Value&, Value&) {}

void XbpWindow::post(long event, const Value& mp1, const Value& mp2) {
  PostAppEvent(event, mp1, mp2, shared_from_this());
}

bool XbpWindow::postRouted(EventRoute::From from, unsigned notification) {
  const EventRoute* row = FindRoute(&routes(), from, notification);
  if (!row) return false;
  Value mp1, mp2;
  eventParams(row->event, mp1, mp2);
  post(row->event, mp1, mp2);
  return true;
}

Value XbpWindow::callBlock(const Value& block, const Value& mp1, const Value& mp2) {
  // A copy keeps the closure alive even when it destroys this window, which
  // drops the window's own reference to it.
  const Value keep = block;
  return keep.eval({mp1, mp2, Value(shared_from_this())});
}

Value XbpWindow::handleEvent(long code, const Value& mp1, const Value& mp2) {
  if (!handle_) return Value();
  const ObjectRef self = shared_from_this();
  if (const EventRoute* row = FindEvent(&routes(), code)) callBlock(this->*(row->callback), mp1, mp2);
  if (handle_) afterEvent(code, mp1, mp2);
  return Value(self);
}

void XbpWindow::afterEvent(long event, const Value& mp1, const Value&) {
  if (event != kEvKeyboard) return;
  const long key = mp1.integer();
  if (key == kKeyTab || key == kKeyShiftTab) MoveToNextTabStop(Hwnd(handle_), key == kKeyShiftTab);
}

// The link runs as a copy: it may destroy the window, which drops the member.
Value XbpWindow::dataGiven(const Args& args) const { return args.empty() ? Value(dataLink).eval() : Arg(args, 1); }

void XbpWindow::handToLink(const Value& value) const { Value(dataLink).eval({value}); }

Value XbpWindow::DragEnter(const Value&, const Value&) { return 0; }
Value XbpWindow::DragDrop(const Value&, const Value&) { return 0; }

void XbpWindow::onNativeDestroyed() {
  for (const EventRoutes* table = &routes(); table; table = table->base) {
    for (const EventRoute& row : table->rows) this->*(row.callback) = Value();
  }
  dataLink = Value();  // not an event's callback, but a closure all the same
  brush_.reset();
  if (locks_ > 0) {
    // A lock still held when the window goes: its device context goes back
    // while the window's handle is still good (its last message is running).
    releaseLockedDC();
    locks_ = 0;
  }
}

// --- notifications -----------------------------------------------------------

bool XbpWindow::onCommand(unsigned code) { return postRouted(EventRoute::From::Command, code); }

bool XbpWindow::onNotify(const NMHDR& header, intptr_t& result) {
  result = 0;
  return postRouted(EventRoute::From::Notify, header.code);
}

NativeBrush XbpWindow::onColor(NativeDC dc) {
  SetTextColor(dc, resolvedForeground());
  SetBkColor(dc, resolvedBackground());
  return backgroundBrush();
}

bool XbpWindow::onDrawItem(const DRAWITEMSTRUCT&) { return false; }
bool XbpWindow::onMeasureItem(MEASUREITEMSTRUCT&) { return false; }
bool XbpWindow::onDeleteItem(const DELETEITEMSTRUCT&) { return false; }
int XbpWindow::onCompareItem(const COMPAREITEMSTRUCT&) { return 0; }
bool XbpWindow::onScroll(int, long) { return false; }
int XbpWindow::onKeyToItem(unsigned, int, bool) { return -1; }

// --- messages ----------------------------------------------------------------

intptr_t XbpWindow::callNative(unsigned msg, uintptr_t wparam, intptr_t lparam) {
  return CallNative(Hwnd(handle_), msg, wparam, lparam);
}

bool XbpWindow::onMessage(unsigned msg, uintptr_t wparam, intptr_t lparam, intptr_t& result) {
  switch (msg) {
    case WM_SETFOCUS: post(kEvSetInputFocus); return false;
    case WM_KILLFOCUS:
      post(kEvKillInputFocus, FocusStaysInProgram(Hwnd(handle_), reinterpret_cast<HWND>(wparam)));
      return false;
    case WM_CHAR:
    case WM_KEYDOWN: return handleKey(msg, wparam, lparam, result);
    case WM_DPICHANGED: {
      // Only top-level windows hear of it; they lay out their windows anew.
      const RECT& frame = *reinterpret_cast<const RECT*>(lparam);
      changeDpi(LOWORD(wparam), frame.left, frame.top, frame.right, frame.bottom);
      result = 0;
      return true;
    }
    case WM_GETFONT:
      // Windows of our own classes draw with the font in force; standard
      // controls keep the one they were given.
      if (subclassed_) return false;
      result = reinterpret_cast<intptr_t>(resolvedFont());
      return true;
    case WM_PAINT:
      // Standard controls paint themselves first; then what was drawn on them.
      if (subclassed_ && presSpace_ && presSpace_->hasRecording()) {
        result = callNative(msg, wparam, lparam);
        WindowDC dc(Hwnd(handle_));
        replayDrawing(dc.get());
        return true;
      }
      return false;
    default: return false;
  }
}

// --- keys --------------------------------------------------------------------

bool XbpWindow::keepsKey(long key) const {
  // A standard control would only beep at these, or take them from the
  // program's own handling.
  return !IsControlKey(key);
}

bool XbpWindow::handleKey(unsigned msg, uintptr_t wparam, intptr_t lparam, intptr_t& result) {
  const long key = KeyOfMessage(msg, wparam);
  if (key == 0) return false;  // a key down that a character will follow
  // The control changes first, so that the callback sees the result.
  if (keepsKey(key)) callNative(msg, wparam, lparam);
  post(kEvKeyboard, key);
  result = 0;
  return true;
}

char MnemonicOf(std::string_view caption) {
  for (size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] == '~') return UpperLetter(caption[i + 1]);
  }
  return 0;
}

std::wstring NativeCaption(std::string_view caption) {
  std::string out;
  for (char c : caption) {
    if (c == '&') out += "&&";
    else if (c == '~') out += '&';
    else out += c;
  }
  return Wide(out);
}

void XbpWindow::onMnemonic() {
  if (handle_) SetFocus(Hwnd(handle_));
}

long KeyFromChar(wchar_t ch) {
  if (ch == L'\t') return (GetKeyState(VK_SHIFT) & 0x8000) ? kKeyShiftTab : kKeyTab;
  if (ch < 0x80) return ch;
  const std::string narrow = WideToCp858(std::wstring_view(&ch, 1));
  return static_cast<unsigned char>(narrow[0]);
}

long KeyOfMessage(UINT msg, WPARAM wparam) {
  return msg == WM_CHAR ? KeyFromChar(static_cast<wchar_t>(wparam)) : KeyFromVirtualKey(wparam);
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

void MoveToNextTabStop(HWND from, bool backwards) {
  HWND root = GetAncestor(from, GA_ROOT);
  if (!root) return;
  // Tab stops in creation order, depth first, as the user sees the form.
  std::vector<HWND> stops;
  EnumChildWindows(root, CollectTabStop, reinterpret_cast<LPARAM>(&stops));
  if (stops.empty()) return;
  auto it = std::find(stops.begin(), stops.end(), from);
  const size_t n = stops.size();
  const size_t index = static_cast<size_t>(it - stops.begin());
  const size_t next = it == stops.end() ? (backwards ? n - 1 : 0) : (backwards ? (index + n - 1) % n : (index + 1) % n);
  SetFocus(stops[next]);
}

namespace {
int g_minimising = 0;  // depth of minimising windows of the GUI thread
}  // namespace

Minimising::Minimising() { ++g_minimising; }
Minimising::~Minimising() { --g_minimising; }

bool FocusStaysInProgram(HWND losing, HWND gaining) {
  // Minimising, the focus may pass to another of the program's windows on
  // the way; the user turned away all the same.
  if (!gaining || g_minimising) return false;
  // Restored or activated, the system gives the frame the focus, which the
  // frame hands on to its control: no move of the user's.
  HWND root = GetAncestor(losing, GA_ROOT);
  if (gaining == root) return false;
  DWORD process = 0;
  GetWindowThreadProcessId(gaining, &process);
  return process == GetCurrentProcessId() && !IsIconic(root);
}

bool HandleMenuKeys(const MSG& msg) {
  // The key that went down last with nothing else since: Alt or F10.
  static WPARAM alone = 0;
  const auto down = [](int vk) { return (GetKeyState(vk) & 0x8000) != 0; };
  switch (msg.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      const bool repeat = msg.lParam & (1L << 30);
      if (repeat && msg.wParam == alone) return false;
      const bool plainF10 = msg.wParam == VK_F10 && !down(VK_MENU) && !down(VK_SHIFT) && !down(VK_CONTROL);
      alone = msg.wParam == VK_MENU || plainF10 ? msg.wParam : 0;
      return false;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
      alone = 0;
      return false;
    case WM_KEYUP:
    case WM_SYSKEYUP: {
      if (msg.wParam != VK_MENU && msg.wParam != VK_F10) return false;
      const bool activate = msg.wParam == alone;
      alone = 0;
      // The default processing decides on its own, from the keys it saw:
      // a control that takes Alt+Down for itself leaves it believing Alt
      // came alone.
      if (HWND root = activate ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr) {
        SendMessageW(root, WM_SYSCOMMAND, SC_KEYMENU, 0);
      }
      return true;
    }
    default: return false;
  }
}

bool HandleMnemonic(const MSG& msg) {
  if (msg.message != WM_SYSCHAR) return false;
  HWND root = GetAncestor(msg.hwnd, GA_ROOT);
  if (!root) return false;
  const std::string letter = WideToCp858(std::wstring(1, static_cast<wchar_t>(msg.wParam)));
  // The window's menu bar answers its key letters before the controls do.
  if (const auto bar = XbpBaseMenubar::shownOn(root); bar && bar->takeKeyLetter(letter[0])) return true;
  const char wanted = UpperLetter(letter[0]);
  MnemonicSearch search{wanted, nullptr};
  EnumChildWindows(root, FindMnemonic, reinterpret_cast<LPARAM>(&search));
  if (!search.found) return false;
  const WindowRef keep = std::static_pointer_cast<XbpWindow>(search.found->shared_from_this());
  keep->onMnemonic();
  return true;
}

}  // namespace rt
