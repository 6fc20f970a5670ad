#include "sysinfo.h"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "value.h"

#ifdef _WIN32
#include <windows.h>

#include "cp858.h"
#else
#include <sys/utsname.h>
#include <unistd.h>
#endif

namespace rt {

namespace {
std::atomic<int> g_appType{kAppTypeGui};
std::atomic<long> g_nextThreadId{1};
thread_local long t_threadId = 0;
thread_local long t_dosError = 0;

constexpr const char* kVersionMajor = "2";
constexpr const char* kVersionMinor = "01";
constexpr const char* kVersionBuild = "1";

std::string TrimRight(std::string s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\r' || s.back() == '\n' || s.back() == '\t')) s.pop_back();
  return s;
}

std::string BaseName(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}
}  // namespace

int AppType() { return g_appType.load(); }
int AppType(int type) { return g_appType.exchange(type); }

std::string AppName(bool fullPath) {
  std::string path;
#ifdef _WIN32
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return std::string();
    if (n < buffer.size()) {
      buffer.resize(n);
      break;
    }
    buffer.resize(buffer.size() * 2);  // truncated: try a bigger buffer
  }
  path = WideToCp858(buffer);
#else
  char buffer[4096];
  const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n > 0) path.assign(buffer, static_cast<size_t>(n));
#endif
  return fullPath ? path : BaseName(path);
}

std::string Version(int part) {
  switch (part) {
    case 1: return kVersionMajor;
    case 2: return kVersionMinor;
    case 3: return kVersionBuild;
    default: return std::string(kVersionMajor) + "." + kVersionMinor;
  }
}

std::string OS() {
#ifdef _WIN32
  // GetVersionEx reports what the manifest declares, not the system; the
  // kernel's own call tells the truth.
  struct OsVersion {
    ULONG size, major, minor, build, platform;
    WCHAR csd[128];
  } v{};
  v.size = sizeof v;
  using RtlGetVersionFn = LONG(WINAPI*)(OsVersion*);
  auto rtlGetVersion = reinterpret_cast<RtlGetVersionFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
  if (!rtlGetVersion || rtlGetVersion(&v) != 0) return "Windows";
  const char* name = "Windows";
  if (v.major == 10 && v.build >= 22000) name = "Windows 11";
  else if (v.major == 10) name = "Windows 10";
  else if (v.major == 6 && v.minor == 3) name = "Windows 8.1";
  else if (v.major == 6 && v.minor == 2) name = "Windows 8";
  else if (v.major == 6 && v.minor == 1) name = "Windows 7";
  else if (v.major == 6 && v.minor == 0) name = "Windows Vista";
  else if (v.major == 5) name = "Windows XP";
  char text[96];
  std::snprintf(text, sizeof text, "%s %lu.%lu Build %lu", name, v.major, v.minor, v.build);
  std::string result = text;
  const std::string csd = WideToCp858(v.csd);
  if (!csd.empty()) result += " " + csd;
  return result;
#else
  utsname u{};
  if (uname(&u) != 0) return "unknown";
  return std::string(u.sysname) + " " + u.release;
#endif
}

std::string Time() {
  const std::tm local = LocalNow();
  char text[16];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", local.tm_hour, local.tm_min, local.tm_sec);
  return text;
}

long ThreadId() {
  if (t_threadId == 0) t_threadId = g_nextThreadId.fetch_add(1);
  return t_threadId;
}

long DosError() { return t_dosError; }

long DosError(long code) {
  const long previous = t_dosError;
  t_dosError = code;
  return previous;
}

std::string DosErrorMessage(long code) {
#ifdef _WIN32
  wchar_t* buffer = nullptr;
  const DWORD n = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
      static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::string text;
  if (n && buffer) text = WideToCp858(std::wstring_view(buffer, n));
  if (buffer) LocalFree(buffer);
  text = TrimRight(text);
  if (text.empty()) text = "Fehler " + std::to_string(code);
  return text;
#else
  return TrimRight(std::strerror(static_cast<int>(code)));
#endif
}

}  // namespace rt
