// Native library calls: the forwarders and theme detection against a
// journaling library-call facility, then the real facility under Wine: real
// entry points, writable arguments, refused calls, and where libraries are
// loaded from.
#include <windows.h>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "dll.h"
#include "error.h"
#include "nativecalls.h"
#include "support/errors.h"
#include "support/journal.h"
#include "support/files.h"

using namespace rt;
using dlltest::Journal;
using dlltest::Log;
using errtest::Raised;

TEST(NativeCalls, EachForwarderLoadsCallsAndReleasesItsLibrary) {
  Journal j;
  j.handles = {{"GDI32.DLL", 11}, {"USER32.DLL", 12}, {"KERNEL32.DLL", 13}};
  j.answers = {{"SetTextAlign", 24}, {"DrawTextA", 16}, {"GetModuleHandleA", 4096}};
  EXPECT_EQ(valumat::SetTextAlign(500, 0), Value(24));
  Value rect = std::string(16, '\0');
  EXPECT_EQ(valumat::DrawTextA(500, "Hallo", 5, rect, 100), Value(16));
  EXPECT_EQ(valumat::GetModuleHandleA("uxtheme.dll"), Value(4096));
  EXPECT_EQ(j.log, (Log{"load GDI32.DLL", "call 11 32 SetTextAlign 500 0", "unload 11",  //
                        "load USER32.DLL", std::string("call 12 32 DrawTextA 500 Hallo 5 ") + std::string(16, '\0') + " 100",
                        "unload 12",  //
                        "load KERNEL32.DLL", "call 13 32 GetModuleHandleA uxtheme.dll", "unload 13"}));
  EXPECT_EQ(j.open, 0);

  // A library that cannot be loaded is not tested for: the call reports it.
  j.log.clear();
  j.handles.clear();
  j.answers.clear();
  EXPECT_EQ(valumat::SetTextAlign(500, 0), Value(0));
  EXPECT_EQ(j.log, (Log{"load GDI32.DLL", "call 0 32 SetTextAlign 500 0", "unload 0"}));
}

TEST(NativeCalls, ThemesCountOnlyWithLoadedModulesAndCommonControlsSix) {
  Journal j;
  j.handles = {{"KERNEL32.DLL", 13}};
  long uxtheme = 0, comctl = 0, major = 6, versionAnswer = 0;
  j.onCall = [&](const std::string& entry, std::span<DllArg> args) {
    if (entry == "GetModuleHandleA") j.answers[entry] = args[0].value() == Value("uxtheme.dll") ? uxtheme : comctl;
    if (entry == "DllGetVersion") {
      std::string record = args[0].variable()->text();
      EXPECT_EQ(record.size(), 20u);
      EXPECT_EQ(record.substr(0, 4), std::string("\x14\0\0\0", 4));
      const std::string word{static_cast<char>(major), static_cast<char>(major >> 8), static_cast<char>(major >> 16),
                             static_cast<char>(major >> 24)};
      record.replace(4, 4, word);
      *args[0].variable() = record;
      j.answers["DllGetVersion"] = versionAnswer;
    }
  };
  j.answers = {{"IsThemeActive", 1}, {"IsAppThemed", 1}};

  // No uxtheme in the process: false, nothing called in it.
  EXPECT_FALSE(valumat::IsThemeActive());
  EXPECT_EQ(j.log, (Log{"load KERNEL32.DLL", "call 13 32 GetModuleHandleA uxtheme.dll", "unload 13"}));

  uxtheme = 70;
  comctl = 80;
  EXPECT_TRUE(valumat::IsThemeActive());
  EXPECT_TRUE(valumat::IsThemeActive(true));
  // The major version is all four bytes of its field.
  for (const auto& [version, themed] : {std::pair{5L, false}, {256L, true}, {-1L, false}, {0x106L, true}}) {
    major = version;
    EXPECT_EQ(valumat::IsThemeActive(), themed) << version;
  }
  major = 5;
  // Without the application's check: the system's answer alone.
  j.log.clear();
  EXPECT_TRUE(valumat::IsThemeActive(false));
  EXPECT_EQ(j.log, (Log{"load KERNEL32.DLL", "call 13 32 GetModuleHandleA uxtheme.dll", "unload 13",
                        "call 70 32 IsThemeActive"}));
  major = 6;
  versionAnswer = 1;  // the version query failed
  EXPECT_FALSE(valumat::IsThemeActive());
  versionAnswer = 0;
  comctl = 0;
  EXPECT_FALSE(valumat::IsThemeActive());
  comctl = 80;
  j.answers["IsAppThemed"] = 0;
  EXPECT_FALSE(valumat::IsThemeActive());
  j.answers["IsThemeActive"] = 0;
  EXPECT_FALSE(valumat::IsThemeActive(false));
  EXPECT_EQ(j.open, 0);
}

TEST(NativeCalls, RealEntryPointsAnswerUnderTheSystem) {
  // Modules loaded and absent.
  const Value kernel = valumat::GetModuleHandleA("KERNEL32.DLL");
  EXPECT_EQ(kernel, Value(static_cast<double>(reinterpret_cast<uintptr_t>(GetModuleHandleW(L"kernel32.dll")))));
  EXPECT_EQ(valumat::GetModuleHandleA("gibtsnicht.dll"), Value(0));

  // Drawing into a memory device context: the height drawn, and the
  // rectangle written back when it is only measured.
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(GetDC(nullptr), 200, 50);
  HGDIOBJ old = SelectObject(dc, bitmap);
  const Value hdc = static_cast<double>(reinterpret_cast<uintptr_t>(dc));
  Value rect = std::string("\x0a\0\0\0\x05\0\0\0\xc8\0\0\0\x32\0\0\0", 16);  // 10, 5, 200, 50
  const Value height = valumat::DrawTextA(hdc, "Hallo", 5, rect, 0x400 /* DT_CALCRECT */);
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  EXPECT_EQ(height, Value(tm.tmHeight));
  RECT measured{};
  std::memcpy(&measured, rect.text().data(), sizeof measured);
  EXPECT_EQ(measured.left, 10);
  EXPECT_EQ(measured.bottom, 5 + tm.tmHeight);
  SIZE size{};
  GetTextExtentPoint32W(dc, L"Hallo", 5, &size);
  EXPECT_EQ(measured.right - measured.left, size.cx);
  EXPECT_EQ(valumat::DrawTextA(0, "Hallo", 5, rect, 0), Value(0));  // no device context

  SetTextAlign(dc, TA_BOTTOM);
  EXPECT_EQ(valumat::SetTextAlign(hdc, 0), Value(TA_BOTTOM));
  EXPECT_EQ(GetTextAlign(dc), 0u);
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
}

TEST(NativeCalls, VariablesPassedByReferenceGetWhatTheEntryPointWrote) {
  const Value kernel = DllLoad("KERNEL32.DLL");
  ASSERT_NE(kernel, Value(0));
  // A text: the bytes come back at the variable's length.
  Value buffer = "xxxxxxxx";
  DllCall(kernel, kDllStdcall, "lstrcpyA", {DllRef(buffer), "Euro \xd5"});
  EXPECT_EQ(buffer, Value(std::string("Euro \xd5\0x", 8)));
  // Passed by value, the caller's text stays as it is.
  Value kept = "xxxxxxxx";
  DllCall(kernel, kDllStdcall, "lstrcpyA", {kept, "neu"});
  EXPECT_EQ(kept, Value("xxxxxxxx"));
  // A number: the 32-bit integer the entry point stored.
  Value code = 0;
  const Value ok = DllCall(kernel, kDllStdcall, "GetExitCodeProcess", {4294967295.0 /* this process */, DllRef(code)});
  EXPECT_NE(ok, Value(0));
  EXPECT_EQ(code, Value(259));  // still running
  // Results are signed 32-bit numbers; passed back in, they are the same bits.
  const Value self = DllCall(kernel, kDllStdcall, "GetCurrentProcess");
  EXPECT_EQ(self, Value(-1));
  code = 0;
  EXPECT_NE(DllCall(kernel, kDllStdcall, "GetExitCodeProcess", {self, DllRef(code)}), Value(0));
  EXPECT_EQ(code, Value(259));
  EXPECT_EQ(valumat::SetTextAlign(0, 0), Value(-1));  // GDI_ERROR
  EXPECT_TRUE(DllUnload(kernel));
  EXPECT_FALSE(DllUnload(0));
}

TEST(NativeCalls, AnEntryPointGivenTheWrongNumberOfArgumentsLeavesTheStackWhole) {
  const Value kernel = DllLoad("KERNEL32.DLL");
  const Value gdi = DllLoad("GDI32.DLL");
  volatile int guard = 4711;
  for (int i = 0; i < 100; ++i) {
    // GetTickCount removes nothing, SetTextAlign two arguments: neither what it was given.
    DllCall(kernel, kDllStdcall, "GetTickCount", {1, 2, 3});
    DllCall(gdi, kDllStdcall, "SetTextAlign", {0});
  }
  EXPECT_EQ(guard, 4711);
  EXPECT_NE(DllCall(kernel, kDllStdcall, "GetCurrentProcessId"), Value(0));
  DllUnload(gdi);
  DllUnload(kernel);
}

TEST(NativeCalls, CallsThatCannotBeMadeAreRaisedAndNothingIsCalled) {
  Raised raised;
  const Value kernel = DllLoad("KERNEL32.DLL");
  Value buffer = "unber\x81hrt";
  EXPECT_EQ(DllCall(kernel, 8, "lstrcpyA", {DllRef(buffer), "x"}), Value(0));
  EXPECT_EQ(DllCall(kernel, kDllStdcall, "GibtEsNicht", {1}), Value(0));
  std::vector<DllArg> many(kDllMaxArgs + 1, DllArg(0));
  EXPECT_EQ(DllCall(kernel, kDllStdcall, "lstrcpyA", many), Value(0));
  EXPECT_EQ(DllCall(kernel, kDllStdcall, "lstrcpyA", {DllRef(buffer), Value{1, 2}}), Value(0));
  EXPECT_EQ(DllCall(0, kDllStdcall, "GetTickCount"), Value(0));
  EXPECT_EQ(buffer, Value("unber\x81hrt"));
  ASSERT_EQ(raised.errors.size(), 5u);
  const struct {
    long genCode;
    long osCode;
    const char* start;
  } expected[] = {{1, 0, "Aufrufkonvention wird nicht unterst\x81tzt: 8"},
                  {12, ERROR_PROC_NOT_FOUND, "Einsprungpunkt nicht gefunden: GibtEsNicht"},
                  {3, 0, "Zu viele Parameter f\x81r lstrcpyA"},
                  {2, 0, "Parameter 2 kann nicht an lstrcpyA"},
                  {12, ERROR_INVALID_HANDLE, "Einsprungpunkt nicht gefunden: GetTickCount"}};
  for (size_t i = 0; i < std::size(expected); ++i) {
    const ErrorRef& e = raised.errors[i];
    EXPECT_EQ(e->genCode, Value(expected[i].genCode)) << i;
    EXPECT_EQ(e->osCode, Value(expected[i].osCode)) << i;
    EXPECT_EQ(e->operation, Value("DllCall")) << i;
    EXPECT_EQ(e->description.text().rfind(expected[i].start, 0), 0u) << e->description.text();
  }
  DllUnload(kernel);
}

// A library planted under a system library's name, in the current folder or
// beside the program, is never run; other names come from the program's
// folder only.
TEST(NativeCalls, SystemLibrariesComeFromTheSystemFolderOnly) {
  namespace fs = std::filesystem;
  const fs::path own = support::OwnFolder();
  const fs::path engine = own / ".." / "startup" / "DBFDBE.DLL";  // any library of ours
  ASSERT_TRUE(fs::exists(engine)) << engine;
  support::TempFolder current;
  wchar_t oldDir[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, oldDir);
  ASSERT_TRUE(SetCurrentDirectoryW(current.path().c_str()));
  // GDI32.DLL only in the current folder: beside the test program it could
  // be taken for the process's own GDI32 on its next start, should the test
  // end before it removes it. msimg32.dll, not loaded before, stands for it.
  const std::vector<fs::path> planted{current.file(L"GDI32.DLL"), current.file(L"msimg32.dll"), own / "msimg32.dll",
                                      current.file(L"PLANTED.DLL")};
  for (const auto& p : planted) fs::copy_file(engine, p, fs::copy_options::overwrite_existing);

  auto fileOf = [](const Value& handle) {
    wchar_t name[MAX_PATH] = {};
    GetModuleFileNameW(reinterpret_cast<HMODULE>(static_cast<uintptr_t>(handle.number())), name, MAX_PATH);
    return fs::path(name);
  };
  wchar_t system[MAX_PATH];
  GetSystemDirectoryW(system, MAX_PATH);

  const Value gdi = DllLoad("GDI32.DLL");
  ASSERT_NE(gdi, Value(0));
  EXPECT_TRUE(fs::equivalent(fileOf(gdi).parent_path(), fs::path(system))) << fileOf(gdi);
  EXPECT_NE(GetProcAddress(reinterpret_cast<HMODULE>(static_cast<uintptr_t>(gdi.number())), "SetTextAlign"), nullptr);
  DllUnload(gdi);
  const Value msimg = DllLoad("msimg32.dll");
  ASSERT_NE(msimg, Value(0));
  EXPECT_TRUE(fs::equivalent(fileOf(msimg).parent_path(), fs::path(system))) << fileOf(msimg);
  EXPECT_NE(GetProcAddress(reinterpret_cast<HMODULE>(static_cast<uintptr_t>(msimg.number())), "GradientFill"), nullptr);
  DllUnload(msimg);
  // Only in the current folder: not found, as the current folder is never searched.
  EXPECT_EQ(DllLoad("PLANTED.DLL"), Value(0));
  // Beside the program, by full path.
  fs::copy_file(engine, own / "PLANTED.DLL", fs::copy_options::overwrite_existing);
  const Value ours = DllLoad("PLANTED.DLL");
  EXPECT_NE(ours, Value(0));
  EXPECT_TRUE(fs::equivalent(fileOf(ours), own / "PLANTED.DLL"));
  DllUnload(ours);

  SetCurrentDirectoryW(oldDir);
  std::error_code ignored;
  fs::remove(own / "msimg32.dll", ignored);
  fs::remove(own / "PLANTED.DLL", ignored);
}
