// Win32-side plumbing for tests that run real processes: throw-away folders,
// child processes, and the boxes those processes show.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace harness {

using namespace std::chrono_literals;
using Millis = std::chrono::milliseconds;

// A path of the build host ("/work/...") as Wine sees it ("Z:\work\...").
std::wstring HostPath(const std::string& unixPath);
std::wstring Widen(const std::string& ascii);
std::string Narrow(const std::wstring& wide);

// The folder of this test program, with a trailing backslash.
std::wstring OwnFolder();

// A new empty folder under the temporary folder, deleted with its contents.
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

// Copies `files` (full paths) into `folder`; false when one fails.
bool CopyInto(const std::vector<std::wstring>& files, const std::wstring& folder);
// The whole text of a file, "" when it cannot be read.
std::string ReadFile(const std::wstring& path);
bool WriteFile(const std::wstring& path, const std::string& content);

// A child process. The destructor ends it if it still runs.
class Child {
 public:
  Child(const std::wstring& exe, const std::wstring& arguments, const std::wstring& workingFolder);
  ~Child();
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;
  bool started() const { return info_.hProcess != nullptr; }
  DWORD pid() const { return info_.dwProcessId; }
  bool running() const;
  // The exit code once the child ended within `timeout`; -1 if it did not.
  long waitExit(Millis timeout);

 private:
  PROCESS_INFORMATION info_{};
};

// Visible top-level windows of process `pid`.
std::vector<HWND> TopWindows(DWORD pid);
// All windows inside `parent`, at any depth.
std::vector<HWND> ChildWindows(HWND parent);
std::string TitleOf(HWND hwnd);
std::string ClassOf(HWND hwnd);
// Texts of the static controls inside a box, joined by "|" ("" for none).
std::string StaticTexts(HWND box);
// Clicks the button captioned `caption` inside `box`; false when it has none.
bool ClickButton(HWND box, const std::string& caption);

// Polls `pred` until it holds or `timeout` passes; its last answer.
bool WaitUntil(const std::function<bool()>& pred, Millis timeout = 20s);

// A box a child showed and the test answered.
struct Box {
  std::string title;
  std::string text;  // the box's static texts, lines joined by "\n"
};
// Answers, with its `button`, every box that the child shows with one of the
// `titles`, in the order they come, until a window titled `until` appears
// (`appeared` true) or the child ends or `timeout` passes (false). With an
// empty `until`, until the child ends.
std::vector<Box> AnswerBoxes(Child& child, const std::vector<std::string>& titles, const std::string& button,
                             const std::string& until, bool* appeared = nullptr, Millis timeout = 30s);

}  // namespace harness
