// The converter's Main in this process, driven the way a user ends it: every
// way out runs inside a callback of Main, which shows in the call stack of
// anything that happens on the way (an error's listing names it).
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "procstack.h"
#include "support/event_loop.h"
#include "support/gui.h"
#include "valumat.h"

namespace {

// What a user does once the converter window is up.
enum class Quit { CloseButton, BeendenClicked, EscapeOnBeenden };

struct MainRun {
  Quit how;
  HWND window = nullptr;
  std::vector<std::string> stackAtDestroy;  // innermost first
  bool gaveUp = false;
};
MainRun* g_run = nullptr;

// The call stack at the moment the converter window is destroyed.
LRESULT CALLBACK WatchDestroy(int code, WPARAM wparam, LPARAM lparam) {
  const auto* message = reinterpret_cast<const CWPSTRUCT*>(lparam);
  if (code == HC_ACTION && g_run && message->message == WM_DESTROY && message->hwnd == g_run->window) {
    for (int level = 0; !rt::ProcName(level).empty(); ++level) {
      std::string name = rt::ProcName(level);
      while (!name.empty() && name.back() == ' ') name.pop_back();
      g_run->stackAtDestroy.push_back(name);
    }
  }
  return CallNextHookEx(nullptr, code, wparam, lparam);
}

// Acts once the window and its Beenden button are there; closes the window
// after a few seconds if nothing else ended Main.
void CALLBACK Act(HWND, UINT, UINT_PTR timer, DWORD) {
  static int ticks = 0;
  HWND window = support::WithText(support::TopWindows(GetCurrentProcessId()), " Valumat");
  HWND beenden = window ? support::WithText(support::ChildWindows(window), " &Beenden") : nullptr;
  if (!beenden) {
    if (++ticks > 100 && window) {
      g_run->gaveUp = true;
      PostMessageW(window, WM_CLOSE, 0, 0);
    }
    return;
  }
  KillTimer(nullptr, timer);
  ticks = 0;
  g_run->window = window;
  switch (g_run->how) {
    case Quit::CloseButton: PostMessageW(window, WM_CLOSE, 0, 0); break;
    case Quit::BeendenClicked: PostMessageW(beenden, BM_CLICK, 0, 0); break;
    case Quit::EscapeOnBeenden:
      SetFocus(beenden);
      PostMessageW(beenden, WM_KEYDOWN, VK_ESCAPE, 1);
      PostMessageW(beenden, WM_KEYUP, VK_ESCAPE, 0xC0000001);
      break;
  }
}

MainRun RunMain(Quit how) {
  MainRun run;
  run.how = how;
  g_run = &run;
  HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, WatchDestroy, nullptr, GetCurrentThreadId());
  const UINT_PTR timer = SetTimer(nullptr, 0, 30, Act);
  valumat::Main();
  KillTimer(nullptr, timer);
  UnhookWindowsHookEx(hook);
  guitest::Drain();
  g_run = nullptr;
  return run;
}

std::string Listing(const std::vector<std::string>& stack) {
  std::string text;
  for (const auto& name : stack) text += name + " ";
  return text;
}

}  // namespace

// The close button, the Beenden button and Escape on it all end Main from a
// callback of Main's: its frame is there, above Main's own.
TEST(Converter, EveryWayOutRunsInACallbackFrameOfMain) {
  for (Quit how : {Quit::CloseButton, Quit::BeendenClicked, Quit::EscapeOnBeenden}) {
    const MainRun run = RunMain(how);
    SCOPED_TRACE(how == Quit::CloseButton      ? "close button"
                 : how == Quit::BeendenClicked ? "Beenden"
                                               : "Escape on Beenden");
    ASSERT_FALSE(run.gaveUp) << "the converter window never showed its Beenden button";
    EXPECT_FALSE(IsWindow(run.window));
    const auto& stack = run.stackAtDestroy;
    const auto at = [&stack](const char* name) { return std::find(stack.begin(), stack.end(), name) - stack.begin(); };
    const long callback = at("(b)Main"), main = at("Main"), none = static_cast<long>(stack.size());
    EXPECT_LT(callback, none) << "no callback frame of Main: " << Listing(stack);
    EXPECT_LT(main, none) << Listing(stack);
    EXPECT_LT(callback, main) << Listing(stack);
  }
}
