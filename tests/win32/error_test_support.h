// Shared by the error-system tests: a private working directory, the global
// state the error system touches put back afterwards, and file blocking.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "../errproc/file_blocker.h"
#include "error.h"
#include "handler.h"
#include "runtime.h"
#include "settings.h"
#include "sysinfo.h"

namespace errtest {

inline std::string Slurp(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Runs each test in a fresh temporary directory and puts back the handler,
// the boxes, the application type, the exit code and the output settings.
class ErrorSystemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    wchar_t old[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, old);
    oldDir_ = old;
    dir_ = std::filesystem::path(temp) /
           ("valumat-err-" + std::to_string(GetCurrentProcessId()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    SetCurrentDirectoryW(dir_.wstring().c_str());
    handler_ = rt::ErrorBlock();
    appType_ = rt::AppType();
    errorLevel_ = rt::ErrorLevel();
    for (int s : kSettings) settings_.push_back(rt::Set(s));
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
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(dir_, ignored)) {
      SetFileAttributesW(entry.path().wstring().c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    std::filesystem::remove_all(dir_, ignored);
  }

  static constexpr int kSettings[] = {rt::kSetPrinter, rt::kSetConsole, rt::kSetAltFile, rt::kSetAlternate,
                                      rt::kSetExtra};
  std::filesystem::path dir_;
  std::wstring oldDir_;
  rt::Value handler_;
  int appType_ = 0;
  int errorLevel_ = 0;
  std::vector<rt::Value> settings_;
  valumat::ErrorSysUi savedUi_ = valumat::Ui();
};

}  // namespace errtest
