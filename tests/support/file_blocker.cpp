#include "support/file_blocker.h"

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

}  // namespace support
