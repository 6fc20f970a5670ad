#include "support/file_blocker.h"

#include "support/gui.h"

namespace support {

FileBlocker::~FileBlocker() {
  for (HANDLE h : handles_) CloseHandle(h);
  for (const auto& name : names_) SetFileAttributesW(name.c_str(), FILE_ATTRIBUTE_NORMAL);
}

bool FileBlocker::block(const std::wstring& name) {
  HANDLE h = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  CloseHandle(h);
  SetFileAttributesW(name.c_str(), FILE_ATTRIBUTE_READONLY);
  names_.push_back(name);
  HANDLE probe = CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
  if (probe == INVALID_HANDLE_VALUE) return true;  // the attribute is enough
  CloseHandle(probe);
  h = CreateFileW(name.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  handles_.push_back(h);
  return true;
}

bool RemoveFolderOnHost(const std::wstring& folder) {
  using UnixName = char*(CDECL*)(const wchar_t*);
  const auto unixName = reinterpret_cast<UnixName>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  if (!unixName) return false;  // not under Wine
  char* path = unixName(folder.c_str());
  if (!path) return false;
  std::wstring command = L"rm -rf \"";
  for (const char* c = path; *c; ++c) command += static_cast<wchar_t>(static_cast<unsigned char>(*c));
  command += L"\"";
  HeapFree(GetProcessHeap(), 0, path);
  // Wine starts a Unix program handed to CreateProcess; it does not learn
  // its exit code, so success is the folder gone.
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(L"Z:\\bin\\rm", command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return WaitUntil([&] { return GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES; }, 10s);
}

}  // namespace support
