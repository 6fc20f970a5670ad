#include "support/process.h"

#include <algorithm>
#include <thread>

#include "support/files.h"

namespace support {

bool Box::hasButton(int id) const { return std::find(buttons.begin(), buttons.end(), id) != buttons.end(); }

std::string Box::lines() const {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      out += '\n';
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

namespace {

HANDLE OutputFile(const std::wstring& path) {
  // Inherited by the child; readable by the test while the child writes.
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  return CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                     nullptr);
}

}  // namespace

Process::Process(const std::wstring& exe, const std::wstring& arguments, const std::wstring& workingFolder,
                 const std::wstring& outputFolder)
    : outputFolder_(outputFolder) {
  std::wstring commandLine = L"\"" + exe + L"\" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  HANDLE out = INVALID_HANDLE_VALUE, err = INVALID_HANDLE_VALUE;
  DWORD flags = 0;
  if (!outputFolder_.empty()) {
    out = OutputFile(outputFolder_ + L"stdout.txt");
    err = OutputFile(outputFolder_ + L"stderr.txt");
    if (out == INVALID_HANDLE_VALUE || err == INVALID_HANDLE_VALUE) {
      startError_ = GetLastError();
      if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
      if (err != INVALID_HANDLE_VALUE) CloseHandle(err);
      return;
    }
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = out;
    startup.hStdError = err;
    flags = CREATE_NO_WINDOW;  // its console output goes to the files
  }
  if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, !outputFolder_.empty(), flags, nullptr,
                      workingFolder.empty() ? nullptr : workingFolder.c_str(), &startup, &info_)) {
    startError_ = GetLastError();
    info_ = {};
  }
  if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
  if (err != INVALID_HANDLE_VALUE) CloseHandle(err);
}

Process::~Process() {
  if (!info_.hProcess) return;
  if (running()) {
    TerminateProcess(info_.hProcess, 99);
    // Gone before the caller deletes the folder it worked in.
    WaitForSingleObject(info_.hProcess, 5000);
  }
  CloseHandle(info_.hThread);
  CloseHandle(info_.hProcess);
}

bool Process::running() const { return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }

std::optional<long> Process::waitExit(Millis timeout) {
  if (!info_.hProcess || WaitForSingleObject(info_.hProcess, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) {
    return std::nullopt;
  }
  DWORD code = 0;
  if (!GetExitCodeProcess(info_.hProcess, &code)) return std::nullopt;
  return static_cast<long>(code);
}

std::string Process::out() const { return outputFolder_.empty() ? "" : ReadWholeFile(outputFolder_ + L"stdout.txt"); }
std::string Process::err() const { return outputFolder_.empty() ? "" : ReadWholeFile(outputFolder_ + L"stderr.txt"); }

HWND Process::window(const std::string& title) const { return WithText(TopWindows(pid()), title); }

Box Process::findBox(const std::vector<std::string>& titles) const {
  for (HWND hwnd : TopWindows(pid())) {
    if (!HasClass(hwnd, "#32770")) continue;
    Box box{hwnd, TextOf(hwnd), {}, {}};
    if (std::find(titles.begin(), titles.end(), box.title) == titles.end()) continue;
    // A box is shown only once its controls are there.
    for (HWND child : ChildWindows(hwnd)) {
      if (HasClass(child, "Button")) {
        box.buttons.push_back(GetDlgCtrlID(child));
      } else if (HasClass(child, "Static")) {
        const std::string text = TextOf(child);
        if (text.empty()) continue;  // the icon
        if (!box.text.empty()) box.text += "|";
        box.text += text;
      }
    }
    return box;
  }
  return Box{};
}

Box Process::waitForBox(const std::string& title, Millis timeout) const {
  Box box;
  WaitUntil([&] { return (box = findBox({title})) || !running(); }, timeout);
  return box;
}

bool Process::press(const Box& box, int id) const {
  HWND button = GetDlgItem(box.hwnd, id);
  if (!button) return false;
  const auto gone = [&] { return !IsWindow(box.hwnd); };
  // Posted: the box ends its modal loop on its own thread.
  PostMessageW(button, BM_CLICK, 0, 0);
  if (WaitUntil(gone, 5s)) return true;
  // A click that did not reach the button: the command it would have sent.
  PostMessageW(box.hwnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
  return WaitUntil(gone, 5s);
}

bool Process::press(const Box& box, const std::string& caption) const {
  for (HWND child : ChildWindows(box.hwnd)) {
    if (!HasClass(child, "Button")) continue;
    std::string text = TextOf(child);
    text.erase(std::remove(text.begin(), text.end(), '&'), text.end());
    if (text == caption) return press(box, GetDlgCtrlID(child));
  }
  return false;
}

std::vector<Box> Process::answerBoxes(const std::vector<std::string>& titles, const std::string& caption,
                                      const std::string& until, bool* appeared, Millis timeout) const {
  std::vector<Box> answered;
  if (appeared) *appeared = false;
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < end) {
    const bool alive = running();
    if (!until.empty() && window(until)) {
      if (appeared) *appeared = true;
      return answered;
    }
    if (Box box = findBox(titles)) {
      // The next box may only come once this one is gone.
      if (!press(box, caption)) return answered;
      answered.push_back(box);
      continue;
    }
    if (!alive) break;
    std::this_thread::sleep_for(30ms);
  }
  return answered;
}

}  // namespace support
