// Theme detection in a process of its own that has loaded nothing yet, as
// application code may ask first thing: the answer is the one the system
// gives a program with the same manifest, which has the version 6 common
// controls and the theme library from its start. (Wine's version 6 controls
// report version 5.81, so there the application's answer is no either way.)
#include <windows.h>

#include <gtest/gtest.h>

#include "nativecalls.h"

namespace {

// The system's own answer, asked directly of the libraries such a program has.
bool SystemAnswer(bool checkApp) {
  HMODULE comctl = LoadLibraryW(L"comctl32.dll");
  HMODULE uxtheme = LoadLibraryW(L"uxtheme.dll");
  if (!comctl || !uxtheme) return false;
  using Ask = BOOL(WINAPI*)();
  const auto active = reinterpret_cast<Ask>(reinterpret_cast<void*>(GetProcAddress(uxtheme, "IsThemeActive")));
  const auto themed = reinterpret_cast<Ask>(reinterpret_cast<void*>(GetProcAddress(uxtheme, "IsAppThemed")));
  if (!active || !active()) return false;
  if (!checkApp) return true;
  struct {
    DWORD size = 20, major = 0, minor = 0, build = 0, platform = 0;
  } version;
  using GetVersion = HRESULT(CALLBACK*)(void*);
  const auto get = reinterpret_cast<GetVersion>(reinterpret_cast<void*>(GetProcAddress(comctl, "DllGetVersion")));
  return themed && themed() && get && get(&version) == S_OK && version.major > 5;
}

TEST(Themes, AskedBeforeAnyControlExistsTheAnswerIsTheSystems) {
  ASSERT_EQ(GetModuleHandleW(L"uxtheme.dll"), nullptr) << "this test needs a process that has not loaded it";
  const bool ours = valumat::IsThemeActive(), oursWithoutApp = valumat::IsThemeActive(false);
  EXPECT_EQ(ours, SystemAnswer(true));
  EXPECT_EQ(oursWithoutApp, SystemAnswer(false));
  std::printf("themes active: %s (for the application: %s)\n", oursWithoutApp ? "yes" : "no", ours ? "yes" : "no");
}

}  // namespace
