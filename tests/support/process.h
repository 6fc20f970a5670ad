// A program under test in a real process, and the boxes it shows: found by
// title, read, and answered with a button as a user would.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "support/gui.h"

namespace support {

// A box (dialog-class window) as it was when found.
struct Box {
  HWND hwnd = nullptr;  // no longer a window once the box is answered
  std::string title;
  std::string text;          // its static texts as shown, joined by "|"
  std::vector<int> buttons;  // control ids of its buttons

  explicit operator bool() const { return hwnd != nullptr; }
  bool hasButton(int id) const;
  // The text with its line breaks as "\n", whichever the box used.
  std::string lines() const;
};

// A child program. The destructor ends it if it still runs.
class Process {
 public:
  // Starts `exe` with `arguments` in `workingFolder` (empty: this one's).
  // With an `outputFolder`, its standard output and error channel go to
  // stdout.txt and stderr.txt there.
  Process(const std::wstring& exe, const std::wstring& arguments, const std::wstring& workingFolder,
          const std::wstring& outputFolder = std::wstring());
  ~Process();
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  bool started() const { return info_.hProcess != nullptr; }
  DWORD startError() const { return startError_; }  // why it did not start
  DWORD pid() const { return info_.dwProcessId; }
  bool running() const;
  // The exit code once the child ended within `timeout`; none if it did not.
  std::optional<long> waitExit(Millis timeout = 30s);
  // What it wrote to its standard output and error channel so far; "" when
  // they are not captured.
  std::string out() const;
  std::string err() const;

  // Its visible top-level window titled `title`; null when there is none.
  HWND window(const std::string& title) const;
  // Its box titled with one of `titles` that shows now; an empty Box if none.
  Box findBox(const std::vector<std::string>& titles) const;
  // Waits for its box titled `title`; an empty Box when the child ends or
  // `timeout` passes first.
  Box waitForBox(const std::string& title, Millis timeout = 30s) const;
  // Presses the box's button with control id `id`, or captioned `caption`
  // (mnemonic "&" left out), and waits until the box is gone; false when
  // there is no such button or the box stays.
  bool press(const Box& box, int id) const;
  bool press(const Box& box, const std::string& caption) const;
  // Answers, with its button captioned `caption`, every box with one of the
  // `titles` in the order they come, until a window titled `until` appears
  // (`appeared` true) or the child ends or `timeout` passes (false). With an
  // empty `until`, until the child ends. The boxes it answered.
  std::vector<Box> answerBoxes(const std::vector<std::string>& titles, const std::string& caption,
                               const std::string& until = std::string(), bool* appeared = nullptr,
                               Millis timeout = 30s) const;

 private:
  PROCESS_INFORMATION info_{};
  DWORD startError_ = 0;
  std::wstring outputFolder_;
};

}  // namespace support
