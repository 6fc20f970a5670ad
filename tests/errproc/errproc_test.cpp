// Runs errproc.exe as a real process, answers its real boxes the way a user
// would (find the window, press a button) and checks what the program did:
// its output, its exit code and the error log it left in its directory.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "support/file_blocker.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

std::string Slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

std::wstring ClassOf(HWND w) {
  wchar_t name[64] = {};
  GetClassNameW(w, name, 64);
  return name;
}

std::wstring TextOf(HWND w) {
  const int n = GetWindowTextLengthW(w);
  std::wstring text(static_cast<size_t>(n) + 1, L'\0');
  GetWindowTextW(w, text.data(), n + 1);
  text.resize(static_cast<size_t>(n));
  return text;
}

struct Search {
  DWORD pid;
  std::wstring title;
  HWND found;
};

BOOL CALLBACK FindBox(HWND w, LPARAM p) {
  auto* s = reinterpret_cast<Search*>(p);
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  if (pid == s->pid && IsWindowVisible(w) && ClassOf(w) == L"#32770" && TextOf(w) == s->title) {
    s->found = w;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK CollectStatics(HWND c, LPARAM p) {
  if (_wcsicmp(ClassOf(c).c_str(), L"Static") == 0) *reinterpret_cast<std::wstring*>(p) += TextOf(c);
  return TRUE;
}

struct FindButton {
  std::wstring caption;
  HWND found;
};

BOOL CALLBACK FindButtonByCaption(HWND c, LPARAM p) {
  auto* f = reinterpret_cast<FindButton*>(p);
  if (_wcsicmp(ClassOf(c).c_str(), L"Button") == 0 && TextOf(c) == f->caption) {
    f->found = c;
    return FALSE;
  }
  return TRUE;
}

struct Box {
  HWND hwnd = nullptr;
  std::wstring title;
  std::wstring text;  // the texts of its static controls, one after the other
};

// The program under test, started in its own fresh directory with its
// standard output and error channel going to files.
class Program {
 public:
  Program(const std::string& mode, const std::string& testName) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    dir_ = fs::path(temp) / ("valumat-errproc-" + std::to_string(GetCurrentProcessId()) + "-" + testName);
    CleanDir();
    fs::create_directories(dir_ / "work");
    mode_ = mode;
  }
  ~Program() {
    if (process_.hProcess) {
      if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process_.hProcess, 99);
      CloseHandle(process_.hProcess);
      CloseHandle(process_.hThread);
    }
    CleanDir();
  }

  fs::path work() const { return dir_ / "work"; }

  void start() {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const fs::path exe = fs::path(self).parent_path() / "errproc.exe";
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE out = CreateFileW((dir_ / "stdout.txt").wstring().c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    HANDLE err = CreateFileW((dir_ / "stderr.txt").wstring().c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    si.hStdOutput = out;
    si.hStdError = err;
    std::wstring cmd = L"\"" + exe.wstring() + L"\" " + std::wstring(mode_.begin(), mode_.end());
    const BOOL ok = CreateProcessW(exe.wstring().c_str(), cmd.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                                   nullptr, work().wstring().c_str(), &si, &process_);
    CloseHandle(out);
    CloseHandle(err);
    ASSERT_TRUE(ok) << "cannot start " << exe.string() << ": " << GetLastError();
  }

  // Waits for a visible dialog-class window of the process whose title is
  // `title`; fails (null) when the process ends first or time runs out.
  Box waitForBox(const std::wstring& title, std::chrono::seconds limit = 30s) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
      Search search{process_.dwProcessId, title, nullptr};
      EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
      if (search.found) {
        Box box{search.found, title, {}};
        EnumChildWindows(search.found, CollectStatics, reinterpret_cast<LPARAM>(&box.text));
        return box;
      }
      if (WaitForSingleObject(process_.hProcess, 50) == WAIT_OBJECT_0) break;
    }
    return Box{};
  }

  // Presses the button with control id `id` and waits until the box is gone.
  bool press(const Box& box, int id) {
    HWND button = GetDlgItem(box.hwnd, id);
    if (!button) return false;
    PostMessageW(button, BM_CLICK, 0, 0);
    for (int i = 0; i < 200 && IsWindow(box.hwnd); ++i) std::this_thread::sleep_for(25ms);
    if (IsWindow(box.hwnd)) {  // a click that did not reach the button: the command it would send
      PostMessageW(box.hwnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(button));
      for (int i = 0; i < 200 && IsWindow(box.hwnd); ++i) std::this_thread::sleep_for(25ms);
    }
    return !IsWindow(box.hwnd);
  }

  // Presses the button whose caption is `caption`.
  bool pressCaption(const Box& box, const std::wstring& caption) {
    FindButton find{caption, nullptr};
    EnumChildWindows(box.hwnd, FindButtonByCaption, reinterpret_cast<LPARAM>(&find));
    return find.found && press(box, GetDlgCtrlID(find.found));
  }

  // The exit code once the process has ended; -1 if it does not end in time.
  long exitCode(std::chrono::seconds limit = 30s) {
    if (WaitForSingleObject(process_.hProcess, static_cast<DWORD>(limit.count() * 1000)) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(process_.hProcess, &code);
    return static_cast<long>(code);
  }
  bool running() const { return WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT; }

  std::string out() const { return Slurp(dir_ / "stdout.txt"); }
  std::string err() const { return Slurp(dir_ / "stderr.txt"); }
  std::string file(const char* name) const { return Slurp(work() / name); }
  // The exit procedures ran once, whichever way the program ended.
  bool exitProceduresRanOnce() const { return file("EXITPROC.TXT") == "exit\n"; }

 private:
  void CleanDir() {
    std::error_code ignored;
    if (!fs::exists(dir_, ignored)) return;
    for (const auto& entry : fs::recursive_directory_iterator(dir_, ignored)) {
      SetFileAttributesW(entry.path().wstring().c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    fs::remove_all(dir_, ignored);
  }

  fs::path dir_;
  std::string mode_;
  PROCESS_INFORMATION process_{};
};

std::string TestName() { return ::testing::UnitTest::GetInstance()->current_test_info()->name(); }

const std::wstring kTitle = L"Fehlermeldung";
const std::wstring kWritten = L"Fehlerprotokoll wurde in die Datei APPERROR.LOG geschrieben";

}  // namespace

TEST(ErrorProcess, RetryRepeatsTheOperationAndIgnoreGoesOnWithTheDefault) {
  Program p("retry", TestName());
  p.start();
  Box box = p.waitForBox(kTitle);
  ASSERT_TRUE(box.hwnd) << p.err();
  EXPECT_NE(GetDlgItem(box.hwnd, IDABORT), nullptr);
  EXPECT_NE(GetDlgItem(box.hwnd, IDIGNORE), nullptr);
  EXPECT_NE(box.text.find(L"Beschreibung : Schreibfehler, bitte pr\u00fcfen"), std::wstring::npos);
  ASSERT_TRUE(p.press(box, IDRETRY));
  box = p.waitForBox(kTitle);
  ASSERT_TRUE(box.hwnd);
  ASSERT_TRUE(p.press(box, IDIGNORE));
  EXPECT_EQ(p.exitCode(), 0);
  EXPECT_TRUE(p.exitProceduresRanOnce());
  EXPECT_EQ(p.out(), "\r\nattempt 1\r\nattempt 2\r\nresult .F.\r\nend");
  EXPECT_FALSE(fs::exists(p.work() / "APPERROR.LOG"));
}

TEST(ErrorProcess, CancelThenNoBreaksOutToTheRecoveryBlock) {
  Program p("xbp", TestName());
  p.start();
  Box box = p.waitForBox(kTitle);
  ASSERT_TRUE(box.hwnd) << p.err();
  EXPECT_NE(GetDlgItem(box.hwnd, IDOK), nullptr);  // canDefault only: OK, Cancel
  EXPECT_EQ(GetDlgItem(box.hwnd, IDRETRY), nullptr);
  // Code page 858 texts arrive as Unicode in the box.
  EXPECT_NE(box.text.find(L"Beschreibung : Parametertyp ung\u00fcltig"), std::wstring::npos) ;
  EXPECT_NE(box.text.find(L"Operation : ReportsBadArgs"), std::wstring::npos);
  EXPECT_NE(box.text.find(L"Aufgerufen von ReportsBadArgs("), std::wstring::npos);
  ASSERT_TRUE(p.press(box, IDCANCEL));
  box = p.waitForBox(kTitle);
  ASSERT_TRUE(box.hwnd);
  EXPECT_EQ(box.text, L"Ende mit LOG-Datei");
  ASSERT_TRUE(p.press(box, IDNO));
  EXPECT_EQ(p.exitCode(), 0);
  EXPECT_TRUE(p.exitProceduresRanOnce());
  EXPECT_EQ(p.out(), "\r\nrecovered XBP/0\r\nend");
  EXPECT_FALSE(fs::exists(p.work() / "APPERROR.LOG"));
}

TEST(ErrorProcess, OkWritesTheLogTellsWhereAndEndsWithExitCode1) {
  Program p("xbp", TestName());
  p.start();
  Box box = p.waitForBox(kTitle);
  ASSERT_TRUE(box.hwnd) << p.err();
  ASSERT_TRUE(p.press(box, IDOK));
  Box told = p.waitForBox(L"errproc");
  ASSERT_TRUE(told.hwnd) << p.err();
  EXPECT_EQ(told.text, kWritten);
  ASSERT_TRUE(p.press(told, IDOK));
  EXPECT_EQ(p.exitCode(), 1);
  EXPECT_TRUE(p.exitProceduresRanOnce());
  EXPECT_EQ(p.out(), "");  // neither the result nor the end was reached
  const std::string log = p.file("APPERROR.LOG");
  EXPECT_EQ(log.rfind("\r\n" + std::string(78, '-') + "\r\nFEHLERPROTOKOLL von \"", 0), 0u) << log;
  EXPECT_NE(log.find("          -> VALTYPE: C VALUE: abc\r\n          -> VALTYPE: N VALUE: 42\r\n"), std::string::npos);
  EXPECT_NE(log.find("oError:description  : Parametertyp ung\x81ltig\r\n"), std::string::npos);
  EXPECT_NE(log.find("oError:subSystem    : XBP\r\n"), std::string::npos);
  // The listing starts at the raise method, below it the procedure that raised.
  const size_t stack = log.find("CALLSTACK:\r\n" + std::string(78, '-') + "\r\nAufgerufen von XbpException:raise(");
  ASSERT_NE(stack, std::string::npos) << log;
  const size_t raiser = log.find("Aufgerufen von ReportsBadArgs(", stack);
  const size_t main = log.find("Aufgerufen von Main(", stack);
  EXPECT_NE(raiser, std::string::npos);
  EXPECT_NE(main, std::string::npos);
  EXPECT_LT(raiser, main);
  EXPECT_EQ(log.substr(log.size() - 2), "\r\n");
}

TEST(ErrorProcess, CancelThenYesLogsAndEnds) {
  Program p("xbp", TestName());
  p.start();
  Box box = p.waitForBox(kTitle);
  ASSERT_TRUE(box.hwnd) << p.err();
  ASSERT_TRUE(p.press(box, IDCANCEL));
  box = p.waitForBox(kTitle);
  ASSERT_TRUE(box.hwnd);
  ASSERT_TRUE(p.press(box, IDYES));
  Box told = p.waitForBox(L"errproc");
  ASSERT_TRUE(told.hwnd);
  ASSERT_TRUE(p.press(told, IDOK));
  EXPECT_EQ(p.exitCode(), 1);
  EXPECT_TRUE(p.exitProceduresRanOnce());
  EXPECT_NE(p.file("APPERROR.LOG").find("CALLSTACK:"), std::string::npos);
}

TEST(ErrorProcess, WithTheLogFileBlockedTheReportGoesToTheNextName) {
  Program p("xbp", TestName());
  support::FileBlocker blocker;
  ASSERT_TRUE(blocker.block((p.work() / "APPERROR.LOG").wstring()));
  p.start();
  Box box = p.waitForBox(kTitle);
  ASSERT_TRUE(box.hwnd) << p.err();
  ASSERT_TRUE(p.press(box, IDOK));
  Box told = p.waitForBox(L"errproc");
  ASSERT_TRUE(told.hwnd) << p.err();
  EXPECT_EQ(told.text, L"Fehlerprotokoll wurde in die Datei APPERROR.001 geschrieben");
  ASSERT_TRUE(p.press(told, IDOK));
  EXPECT_EQ(p.exitCode(), 1);
  EXPECT_TRUE(p.exitProceduresRanOnce());
  EXPECT_NE(p.file("APPERROR.001").find("oError:subSystem    : XBP"), std::string::npos);
  EXPECT_EQ(p.file("APPERROR.LOG"), "");
}

TEST(ErrorProcess, WithEveryNameBlockedTheFailureIsShownAndTheExitCodeIs1) {
  Program p("xbp", TestName());
  support::FileBlocker blocker;
  ASSERT_TRUE(blocker.block((p.work() / "APPERROR.LOG").wstring()));
  for (int i = 1; i <= 999; ++i) {
    wchar_t name[16];
    swprintf(name, 16, L"APPERROR.%03d", i);
    ASSERT_TRUE(blocker.block((p.work() / name).wstring()));
  }
  p.start();
  Box box = p.waitForBox(kTitle);
  ASSERT_TRUE(box.hwnd) << p.err();
  ASSERT_TRUE(p.press(box, IDOK));
  Box told = p.waitForBox(L"errproc");
  ASSERT_TRUE(told.hwnd) << p.err();
  EXPECT_EQ(told.text, L"Datei f\u00fcr Fehlerprotokoll kann nicht ge\u00f6ffnet werden");
  ASSERT_TRUE(p.press(told, IDOK));
  EXPECT_EQ(p.exitCode(), 1);
  EXPECT_TRUE(p.exitProceduresRanOnce());
  EXPECT_EQ(p.file("APPERROR.999"), "");
}

TEST(ErrorProcess, ABreakNoRecoveryBlockCatchesEndsInTheLogWithExitCode1) {
  Program p("uncaught", TestName());
  p.start();
  Box box = p.waitForBox(kTitle);
  ASSERT_TRUE(box.hwnd) << p.err();
  ASSERT_TRUE(p.press(box, IDCANCEL));
  box = p.waitForBox(kTitle);
  ASSERT_TRUE(box.hwnd);
  ASSERT_TRUE(p.press(box, IDNO));  // break out: but nothing catches it
  Box told = p.waitForBox(L"errproc");
  ASSERT_TRUE(told.hwnd) << p.err();
  EXPECT_EQ(told.text, kWritten);
  ASSERT_TRUE(p.press(told, IDOK));
  EXPECT_EQ(p.exitCode(), 1);
  EXPECT_TRUE(p.exitProceduresRanOnce());
  EXPECT_EQ(p.out(), "");
  // The listing is the call stack at the break.
  const std::string log = p.file("APPERROR.LOG");
  EXPECT_NE(log.find("Aufgerufen von ReportsBadArgs("), std::string::npos) << log;
  EXPECT_NE(log.find("Aufgerufen von Main("), std::string::npos);
}

TEST(ErrorProcess, TextModeChoiceBoxCannotBeDismissedAndIgnoreContinues) {
  Program p("text", TestName());
  p.start();
  Box box = p.waitForBox(L"Hinweis");
  ASSERT_TRUE(box.hwnd) << p.err();
  EXPECT_NE(box.text.find(L"Fehler XBP/0\r\nBeschreibung : Parametertyp ung\u00fcltig\r\n"), std::wstring::npos);
  EXPECT_EQ(GetWindowLongW(box.hwnd, GWL_STYLE) & WS_SYSMENU, 0);  // no close button
  // Neither Escape (IDCANCEL) nor a close request ends it.
  PostMessageW(box.hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  PostMessageW(box.hwnd, WM_CLOSE, 0, 0);
  std::this_thread::sleep_for(500ms);
  ASSERT_TRUE(IsWindow(box.hwnd));
  EXPECT_TRUE(p.running());
  ASSERT_TRUE(p.pressCaption(box, L"Ignorieren"));
  EXPECT_EQ(p.exitCode(), 0);
  EXPECT_TRUE(p.exitProceduresRanOnce());
  EXPECT_EQ(p.out(), "\r\nresult .F.\r\nend");
}

TEST(ErrorProcess, TextModeLogAndEndTellsOnTheErrorChannel) {
  Program p("text", TestName());
  p.start();
  Box box = p.waitForBox(L"Hinweis");
  ASSERT_TRUE(box.hwnd) << p.err();
  ASSERT_TRUE(p.pressCaption(box, L"Ende mit LOG-Datei"));
  EXPECT_EQ(p.exitCode(), 1);
  EXPECT_TRUE(p.exitProceduresRanOnce());
  EXPECT_EQ(p.err(), "\n\rFehlerprotokoll wurde in die Datei APPERROR.LOG geschrieben");
  EXPECT_NE(p.file("APPERROR.LOG").find("oError:subSystem    : XBP"), std::string::npos);
}

TEST(ErrorProcess, WithNoHandlerInstalledAnErrorEndsTheProgramVisibly) {
  Program p("nohandler", TestName());
  p.start();
  EXPECT_EQ(p.exitCode(), 1);
  EXPECT_TRUE(p.exitProceduresRanOnce());
  EXPECT_EQ(p.out(), "");
  const std::string err = p.err();
  EXPECT_EQ(err.rfind("Programmabbruch: XBP/0 Parametertyp ung\x81ltig (ReportsBadArgs)\r\n", 0), 0u) << err;
  EXPECT_NE(err.find("Aufgerufen von ReportsBadArgs("), std::string::npos);
}
