// Makes file names unusable for writing, for the error-log tests.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace support {

// Blocks a name: the file is made read-only, and where the read-only
// attribute does not stop a writer (an administrator under Wine writes
// through it) it is also held open without sharing while the blocker lives.
class FileBlocker {
 public:
  FileBlocker() = default;
  FileBlocker(const FileBlocker&) = delete;
  FileBlocker& operator=(const FileBlocker&) = delete;
  ~FileBlocker();
  // Creates `name` empty and blocks it; false when that fails.
  bool block(const std::wstring& name);

 private:
  std::vector<HANDLE> handles_;
  std::vector<std::wstring> names_;
};

// Removes `folder` with everything in it through the host, past Wine, which
// refuses to remove a folder a program works in: that program then finds
// every file it creates there refused. False when the folder stays.
bool RemoveFolderOnHost(const std::wstring& folder);

}  // namespace support
