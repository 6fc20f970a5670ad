#include "sysinfo.h"

#include <atomic>
#include <ctime>

#include "value.h"

#include "platform.h"

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
  const std::string path = platform::ProgramPath();
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

std::string OS() { return platform::OsName(); }

std::string Time() {
  const std::tm local = LocalNow();
  const auto two = [](int n) { return std::string{static_cast<char>('0' + n / 10 % 10), static_cast<char>('0' + n % 10)}; };
  return two(local.tm_hour) + ":" + two(local.tm_min) + ":" + two(local.tm_sec);
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
  std::string text = TrimRight(platform::SystemErrorText(code));
  if (text.empty()) text = "Fehler " + std::to_string(code);
  return text;
}

}  // namespace rt
