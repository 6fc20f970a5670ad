// Files and folders for tests: throw-away folders, whole-file reads and
// writes, and the paths a test finds its programs by.
#pragma once

#include <filesystem>
#include <string>

namespace support {

// UTF-8 and UTF-16, as the Win32 calls want them.
std::wstring Widen(const std::string& utf8);
std::string Narrow(const std::wstring& wide);

// A path of the build host ("/work/...") as Wine sees it ("Z:\work\...").
std::wstring HostPath(const std::string& unixPath);

// The folder of this test program, with a trailing backslash.
std::wstring OwnFolder();

// A new empty folder under the temporary folder. The destructor deletes it
// with everything in it, read-only files and subfolders included; a file
// still held open elsewhere stays.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::wstring& path() const { return path_; }  // trailing backslash
  std::wstring file(const std::wstring& name) const { return path_ + name; }

 private:
  std::wstring path_;
};

// The whole content of a file, "" when it cannot be read.
std::string ReadWholeFile(const std::filesystem::path& path);
// Replaces the file with `content`; false when that fails.
bool WriteWholeFile(const std::filesystem::path& path, const std::string& content);

}  // namespace support
