// Looking at windows, of this process or of another, the way a user sees
// them: which are open, what they say, what kind of control they are,
// and waiting for what a user would wait for.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace support {

using namespace std::chrono_literals;
using Millis = std::chrono::milliseconds;

// Visible top-level windows of process `pid`.
std::vector<HWND> TopWindows(DWORD pid);
// All windows inside `parent`, at any depth.
std::vector<HWND> ChildWindows(HWND parent);
// A window's title or a control's text, UTF-8; "" when the window does not
// answer within 2 s.
std::string TextOf(HWND hwnd);
// The first of `windows` whose text is `text`, or nullptr.
HWND WithText(const std::vector<HWND>& windows, const std::string& text);
// Whether the window class is `name`, in any case ("Button", "BUTTON").
bool HasClass(HWND hwnd, const std::string& name);

// Polls `pred` until it holds or `timeout` passes; its last answer.
bool WaitUntil(const std::function<bool()>& pred, Millis timeout = 20s);

}  // namespace support
