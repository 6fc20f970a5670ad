// Makes file names unusable for writing, for the error-log tests.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace errtest {

// Blocks a name: the file is made read-only, and where the read-only
// attribute does not stop a writer (an administrator under Wine writes
// through it) it is also held open without sharing while the blocker lives.
class FileBlocker {
 public:
  FileBlocker() = default;
  FileBlocker(const FileBlocker&) = delete;
  FileBlocker& operator=(const FileBlocker&) = delete;
  ~FileBlocker() {
    for (HANDLE h : handles_) CloseHandle(h);
    for (const auto& name : names_) SetFileAttributesW(name.c_str(), FILE_ATTRIBUTE_NORMAL);
  }
  bool block(const std::wstring& name) {
    HANDLE h = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    CloseHandle(h);
    SetFileAttributesW(name.c_str(), FILE_ATTRIBUTE_READONLY);
    names_.push_back(name);
    HANDLE probe = CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (probe == INVALID_HANDLE_VALUE) return true;  // the attribute is enough
    CloseHandle(probe);
    h = CreateFileW(name.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    handles_.push_back(h);
    return true;
  }
  // Whether the read-only attribute alone blocked the names.
  bool attributeSufficed() const { return handles_.empty(); }

 private:
  std::vector<HANDLE> handles_;
  std::vector<std::wstring> names_;
};

}  // namespace errtest
