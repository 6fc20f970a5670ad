#include "support/gui.h"

#include <algorithm>
#include <thread>

#include "support/files.h"

namespace support {

namespace {

struct Search {
  DWORD pid;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectTop(HWND hwnd, LPARAM param) {
  auto* s = reinterpret_cast<Search*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(hwnd, &owner);
  if (owner == s->pid && IsWindowVisible(hwnd)) s->found.push_back(hwnd);
  return TRUE;
}

BOOL CALLBACK CollectChild(HWND hwnd, LPARAM param) {
  reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
  return TRUE;
}

}  // namespace

std::vector<HWND> TopWindows(DWORD pid) {
  Search search{pid, {}};
  EnumWindows(CollectTop, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::vector<HWND> ChildWindows(HWND parent) {
  std::vector<HWND> children;
  EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&children));
  return children;
}

std::string TextOf(HWND hwnd) {
  // Asked with a time-out: a hung program must not hang the test. Unlike
  // GetWindowText, WM_GETTEXT also reads controls of another process.
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length)) return std::string();
  std::wstring text(length + 1, L'\0');
  DWORD_PTR got = 0;
  if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                           2000, &got)) {
    return std::string();
  }
  text.resize(std::min<size_t>(got, length));
  return Narrow(text);
}

HWND WithText(const std::vector<HWND>& windows, const std::string& text) {
  for (HWND hwnd : windows) {
    if (TextOf(hwnd) == text) return hwnd;
  }
  return nullptr;
}

bool HasClass(HWND hwnd, const std::string& name) {
  wchar_t cls[256];
  return GetClassNameW(hwnd, cls, 256) > 0 && _wcsicmp(cls, Widen(name).c_str()) == 0;
}

bool WaitUntil(const std::function<bool()>& pred, Millis timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (pred()) return true;
    if (std::chrono::steady_clock::now() >= end) return pred();
    std::this_thread::sleep_for(30ms);
  }
}

}  // namespace support
