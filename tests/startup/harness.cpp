#include "harness.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <thread>

namespace harness {

std::wstring Widen(const std::string& ascii) {
  const int n = MultiByteToWideChar(CP_UTF8, 0, ascii.data(), static_cast<int>(ascii.size()), nullptr, 0);
  std::wstring wide(n, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, ascii.data(), static_cast<int>(ascii.size()), wide.data(), n);
  return wide;
}

std::string Narrow(const std::wstring& wide) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                    nullptr);
  std::string text(n, '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(), n, nullptr, nullptr);
  return text;
}

std::wstring HostPath(const std::string& unixPath) {
  std::wstring path = L"Z:" + Widen(unixPath);
  std::replace(path.begin(), path.end(), L'/', L'\\');
  return path;
}

std::wstring OwnFolder() {
  wchar_t buffer[MAX_PATH * 4];
  const DWORD n = GetModuleFileNameW(nullptr, buffer, static_cast<DWORD>(std::size(buffer)));
  std::wstring path(buffer, n);
  return path.substr(0, path.find_last_of(L"\\/") + 1);
}

TempFolder::TempFolder() {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  static unsigned counter = 0;
  for (;;) {
    path_ = std::wstring(temp) + L"vstart-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(++counter) + L"\\";
    if (CreateDirectoryW(path_.c_str(), nullptr)) break;
    if (GetLastError() != ERROR_ALREADY_EXISTS) {
      path_.clear();
      break;
    }
  }
}

TempFolder::~TempFolder() {
  if (path_.empty()) return;
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW((path_ + L"*").c_str(), &found);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name != L"." && name != L"..") DeleteFileW((path_ + name).c_str());
    } while (FindNextFileW(find, &found));
    FindClose(find);
  }
  RemoveDirectoryW(path_.c_str());
}

bool CopyInto(const std::vector<std::wstring>& files, const std::wstring& folder) {
  for (const std::wstring& file : files) {
    const std::wstring name = file.substr(file.find_last_of(L"\\/") + 1);
    if (!CopyFileW(file.c_str(), (folder + name).c_str(), FALSE)) return false;
  }
  return true;
}

std::string ReadFile(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::string();
  std::string content;
  char buffer[4096];
  DWORD got = 0;
  while (::ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) content.append(buffer, got);
  CloseHandle(file);
  return content;
}

bool WriteFile(const std::wstring& path, const std::string& content) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = ::WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr) &&
                  written == content.size();
  CloseHandle(file);
  return ok;
}

Child::Child(const std::wstring& exe, const std::wstring& arguments, const std::wstring& workingFolder) {
  std::wstring commandLine = L"\"" + exe + L"\" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      workingFolder.empty() ? nullptr : workingFolder.c_str(), &startup, &info_)) {
    info_ = {};
  }
}

Child::~Child() {
  if (!info_.hProcess) return;
  if (running()) {
    TerminateProcess(info_.hProcess, 99);
    WaitForSingleObject(info_.hProcess, 5000);
  }
  CloseHandle(info_.hThread);
  CloseHandle(info_.hProcess);
}

bool Child::running() const { return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }

long Child::waitExit(Millis timeout) {
  if (!info_.hProcess || WaitForSingleObject(info_.hProcess, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) {
    return -1;
  }
  DWORD code = 0;
  GetExitCodeProcess(info_.hProcess, &code);
  return static_cast<long>(code);
}

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

namespace {
std::wstring TextOf(HWND hwnd) {
  wchar_t buffer[2048];
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, std::size(buffer), reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG,
                           2000, &length)) {
    return std::wstring();
  }
  return std::wstring(buffer, std::min<size_t>(length, std::size(buffer) - 1));
}

// Line breaks as "\n", whatever the box used.
std::string Lines(std::string text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      out += '\n';
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}
}  // namespace

std::string TitleOf(HWND hwnd) { return Narrow(TextOf(hwnd)); }

std::string ClassOf(HWND hwnd) {
  wchar_t name[256];
  const int n = GetClassNameW(hwnd, name, 256);
  return Narrow(std::wstring(name, n > 0 ? n : 0));
}

std::string StaticTexts(HWND box) {
  std::string joined;
  for (HWND child : ChildWindows(box)) {
    std::string cls = ClassOf(child);
    std::transform(cls.begin(), cls.end(), cls.begin(), [](char c) { return static_cast<char>(toupper(c)); });
    if (cls != "STATIC") continue;
    const std::string text = Lines(Narrow(TextOf(child)));
    if (text.empty()) continue;
    if (!joined.empty()) joined += "|";
    joined += text;
  }
  return joined;
}

bool ClickButton(HWND box, const std::string& caption) {
  for (HWND child : ChildWindows(box)) {
    std::string cls = ClassOf(child);
    std::transform(cls.begin(), cls.end(), cls.begin(), [](char c) { return static_cast<char>(toupper(c)); });
    std::string text = Narrow(TextOf(child));
    text.erase(std::remove(text.begin(), text.end(), '&'), text.end());
    if (cls == "BUTTON" && text == caption) {
      // Posted: the box ends its modal loop on its own thread.
      return PostMessageW(child, BM_CLICK, 0, 0) != 0;
    }
  }
  return false;
}

bool WaitUntil(const std::function<bool()>& pred, Millis timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (pred()) return true;
    if (std::chrono::steady_clock::now() >= end) return pred();
    std::this_thread::sleep_for(30ms);
  }
}

std::vector<Box> AnswerBoxes(Child& child, const std::vector<std::string>& titles, const std::string& button,
                             const std::string& until, bool* appeared, Millis timeout) {
  std::vector<Box> answered;
  if (appeared) *appeared = false;
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < end) {
    const bool alive = child.running();
    for (HWND hwnd : TopWindows(child.pid())) {
      const std::string title = TitleOf(hwnd);
      if (!until.empty() && title == until) {
        if (appeared) *appeared = true;
        return answered;
      }
      if (std::find(titles.begin(), titles.end(), title) == titles.end()) continue;
      // A box is answered once its text and button are there.
      const std::string text = StaticTexts(hwnd);
      if (text.empty()) continue;
      if (!ClickButton(hwnd, button)) continue;
      answered.push_back({title, text});
      // The next box may only come once this one is gone.
      if (!WaitUntil([hwnd] { return !IsWindow(hwnd); }, 10s)) return answered;
    }
    if (!alive) break;
    std::this_thread::sleep_for(30ms);
  }
  return answered;
}

}  // namespace harness
