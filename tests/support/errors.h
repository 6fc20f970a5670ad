// Shared by the error-system tests: a private working directory, the global
// state the error system touches put back afterwards, file blocking, and the
// errors that reach the handler.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "error.h"
#include "handler.h"
#include "runtime.h"
#include "settings.h"
#include "support/file_blocker.h"
#include "support/files.h"
#include "sysinfo.h"

namespace errtest {

// Errors that reach the handler while it lives, each answered with `answer`:
// false lets the raising code go on, as a user choosing to ignore would.
struct Raised {
  std::vector<rt::ErrorRef> errors;
  size_t handlerArgs = 0;  // how many arguments the handler was called with last
  rt::Value previous;

  explicit Raised(const rt::Value& answer = false)
      : previous(rt::ErrorBlock([this, answer](const rt::Args& a) -> rt::Value {
          errors.push_back(rt::Arg(a, 1).as<rt::Error>());
          handlerArgs = rt::PCount(a);
          return answer;
        })) {}
  ~Raised() { rt::ErrorBlock(previous); }
  Raised(const Raised&) = delete;
  Raised& operator=(const Raised&) = delete;
};

// Runs each test in a fresh temporary directory and puts back the handler,
// the boxes, the application type, the exit code and the output settings.
class ErrorSystemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    handler_ = rt::ErrorBlock();
    appType_ = rt::AppType();
    errorLevel_ = rt::ErrorLevel();
    for (int s : kSettings) settings_.push_back(rt::Set(s));
    wchar_t old[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, old);
    oldDir_ = old;
    // Elsewhere the log files would land beside the test program.
    ASSERT_TRUE(SetCurrentDirectoryW(folder_.path().c_str()));
  }
  void TearDown() override {
    rt::Set(rt::kSetAltFile, "");
    for (size_t i = 0; i < std::size(kSettings); ++i) {
      if (kSettings[i] != rt::kSetAltFile) rt::Set(kSettings[i], settings_[i]);
    }
    rt::ErrorBlock(handler_);
    rt::AppType(appType_);
    rt::ErrorLevel(errorLevel_);
    rt::DosError(0);
    valumat::SetUi(savedUi_);
    SetCurrentDirectoryW(oldDir_.c_str());
  }

  static constexpr int kSettings[] = {rt::kSetPrinter, rt::kSetConsole, rt::kSetAltFile, rt::kSetAlternate,
                                      rt::kSetExtra};
  support::TempFolder folder_;  // deleted after TearDown has left it
  std::wstring oldDir_;
  rt::Value handler_;
  int appType_ = 0;
  int errorLevel_ = 0;
  std::vector<rt::Value> settings_;
  valumat::ErrorSysUi savedUi_ = valumat::Ui();
};

}  // namespace errtest
