// The operating-system calls of the portable parts, on Windows.
#include "../platform.h"

#include <windows.h>

#include <algorithm>

#include "../cp858.h"

namespace rt::platform {

namespace {
HANDLE H(FileHandle file) { return reinterpret_cast<HANDLE>(file); }
long LastOsError() { return static_cast<long>(GetLastError()); }
}  // namespace

FileHandle OpenForWriting(const std::string& name, bool additive, long& osCode) {
  const HANDLE h = CreateFileW(Cp858ToWide(name).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                               additive ? OPEN_ALWAYS : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    osCode = LastOsError();
    return kNoFile;
  }
  if (additive) SetFilePointer(h, 0, nullptr, FILE_END);
  return reinterpret_cast<FileHandle>(h);
}

long WriteAll(FileHandle file, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
    if (!WriteFile(H(file), bytes.data() + done, chunk, &written, nullptr)) return LastOsError();
    if (written == 0) return ERROR_WRITE_FAULT;
    done += written;
  }
  return 0;
}

long CloseFile(FileHandle file) { return CloseHandle(H(file)) ? 0 : LastOsError(); }

FileHandle OpenForReading(const std::string& name, long& osCode) {
  const HANDLE h = CreateFileW(Cp858ToWide(name).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    osCode = LastOsError();
    return kNoFile;
  }
  return reinterpret_cast<FileHandle>(h);
}

int64_t FileSize(FileHandle file) {
  LARGE_INTEGER size{};
  return GetFileSizeEx(H(file), &size) ? size.QuadPart : -1;
}

long ReadSome(FileHandle file, char* buffer, long count) {
  DWORD read = 0;
  if (count <= 0) return 0;
  return ReadFile(H(file), buffer, static_cast<DWORD>(count), &read, nullptr) ? static_cast<long>(read) : -1;
}

FileHandle StdChannel(bool error) {
  const HANDLE h = GetStdHandle(error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
  return h == nullptr || h == INVALID_HANDLE_VALUE ? kNoFile : reinterpret_cast<FileHandle>(h);
}

std::string ProgramPath() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return std::string();
    if (n < buffer.size()) {
      buffer.resize(n);
      return WideToCp858(buffer);
    }
    buffer.resize(buffer.size() * 2);  // truncated: try a bigger buffer
  }
}

std::string OsName() {
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
  std::string result = std::string(name) + " " + std::to_string(v.major) + "." + std::to_string(v.minor) + " Build " +
                       std::to_string(v.build);
  const std::string csd = WideToCp858(v.csd);
  if (!csd.empty()) result += " " + csd;
  return result;
}

std::string SystemErrorText(long code) {
  wchar_t* buffer = nullptr;
  const DWORD n = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
      static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::string text;
  if (n && buffer) text = WideToCp858(std::wstring_view(buffer, n));
  if (buffer) LocalFree(buffer);
  return text;
}

void Tone(double frequency, double milliseconds) {
  if (frequency >= 37 && frequency <= 32767 && milliseconds > 0) {
    Beep(static_cast<DWORD>(frequency), static_cast<DWORD>(milliseconds));
  }
}

}  // namespace rt::platform
