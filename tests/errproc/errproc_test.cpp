// Runs errproc.exe as a real process, answers its real boxes the way a user
// would (find the box, press a button) and checks what the program did:
// its output, its exit code and the error log it left in its folder.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <source_location>
#include <string>
#include <thread>

#include "support/file_blocker.h"
#include "support/files.h"
#include "support/process.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using support::Box;

namespace {

using Where = std::source_location;

// Ends the test, reporting at the test's line `where`: each step needs the
// one before, so going on would only wait in vain. Google Test takes this
// exception for a failure that has been reported.
[[noreturn]] void Stop(const Where& where, const std::string& message) {
  ADD_FAILURE_AT(where.file_name(), where.line()) << message;
  throw ::testing::AssertionException(::testing::TestPartResult(
      ::testing::TestPartResult::kFatalFailure, where.file_name(), static_cast<int>(where.line()), message.c_str()));
}

// errproc.exe run as a user runs it, in a working folder of its own, with
// its standard output and error channel going to files beside that folder.
class ErrorProcess : public ::testing::Test {
 protected:
  ErrorProcess() { CreateDirectoryW(work().c_str(), nullptr); }

  // The program's working folder, or the file `name` in it.
  std::wstring work(const std::wstring& name = std::wstring()) const { return folder_.file(L"work\\" + name); }

  void run(const std::string& mode, Where where = Where::current()) {
    program_ = std::make_unique<support::Process>(support::OwnFolder() + L"errproc.exe", support::Widen(mode), work(),
                                                  folder_.path());
    if (!program_->started()) Stop(where, "errproc.exe did not start: error " + std::to_string(program_->startError()));
  }

  // Waits for the box titled `title`; the test ends when it does not come.
  Box waitForBox(const std::string& title, Where where = Where::current()) {
    const Box box = program_->waitForBox(title);
    if (!box) Stop(where, "no box \"" + title + "\" came; " + state());
    return box;
  }

  // Waits for the box titled `title` and presses its button captioned
  // `caption`, or with the control id `id`; the box as it was.
  Box answer(const std::string& title, const std::string& caption, Where where = Where::current()) {
    return answerWith(title, caption, "\"" + caption + "\"", where);
  }
  Box answer(const std::string& title, int id, Where where = Where::current()) {
    return answerWith(title, id, "with id " + std::to_string(id), where);
  }

  void expectEnded(long code, Where where = Where::current()) {
    const std::optional<long> ended = program_->waitExit(30s);
    if (ended == code) return;
    ADD_FAILURE_AT(where.file_name(), where.line())
        << "errproc should have ended with exit code " << code << "; "
        << (ended ? "it ended with " + std::to_string(*ended) : "it still runs after 30 s")
        << "; its error output: \"" << program_->err() << "\"";
  }

  // Waits for the program's text window; the test ends when it does not come.
  HWND waitForTextWindow(Where where = Where::current()) {
    HWND crt = nullptr;
    if (!support::WaitUntil([&] { return (crt = program_->window("Textfenster")) != nullptr; })) {
      Stop(where, "the text window did not show; " + state());
    }
    return crt;
  }

  // Presses `key` in the text window `crt` until a box titled `title` shows:
  // a key that comes before the window's choice box asks goes to the
  // program, which ignores it.
  void pressUntilBox(HWND crt, wchar_t key, const std::string& title, Where where = Where::current()) {
    Box box;
    support::WaitUntil([&] {
      if ((box = program_->findBox({title})) || !program_->running()) return true;
      PostMessageW(crt, WM_CHAR, key, 1);
      return false;
    });
    if (!box) Stop(where, "no box \"" + title + "\" came after the key; " + state());
  }

  bool running() const { return program_->running(); }
  std::string out() const { return program_->out(); }
  std::string err() const { return program_->err(); }
  std::string file(const std::wstring& name) const { return support::ReadWholeFile(work(name)); }
  // The exit procedures ran once, whichever way the program ended.
  bool exitProceduresRanOnce() const { return file(L"EXITPROC.TXT") == "exit\n"; }

 private:
  template <typename Button>
  Box answerWith(const std::string& title, const Button& button, const std::string& named, Where where) {
    const Box box = waitForBox(title, where);
    if (!program_->press(box, button)) {
      Stop(where, "box \"" + title + "\" has no button " + named + " or stayed when it was pressed; " + state());
    }
    return box;
  }

  // Where the program is, for a step that failed.
  std::string state() const {
    std::string state;
    if (program_->running()) {
      state = "errproc still runs, with the windows";
      for (HWND hwnd : support::TopWindows(program_->pid())) state += " \"" + support::TextOf(hwnd) + "\"";
    } else {
      state = "errproc ended with exit code " + std::to_string(program_->waitExit(0ms).value_or(-1));
    }
    return state + "; its error output: \"" + program_->err() + "\"";
  }

  support::TempFolder folder_;  // outlives the program, which works in it
  std::unique_ptr<support::Process> program_;
};

const std::string kTitle = "Fehlermeldung";
const std::string kWritten = "Fehlerprotokoll wurde in die Datei APPERROR.LOG geschrieben";

// The standard boxes' captions but "OK" are in Wine's language: those
// buttons are pressed by their ids.

TEST_F(ErrorProcess, RetryRepeatsTheOperationAndIgnoreGoesOnWithTheDefault) {
  run("retry");
  const Box box = answer(kTitle, IDRETRY);
  EXPECT_TRUE(box.hasButton(IDABORT));
  EXPECT_TRUE(box.hasButton(IDIGNORE));
  EXPECT_NE(box.text.find("Beschreibung : Schreibfehler, bitte pr\u00fcfen"), std::string::npos);
  answer(kTitle, IDIGNORE);
  expectEnded(0);
  EXPECT_TRUE(exitProceduresRanOnce());
  EXPECT_EQ(out(), "\r\nattempt 1\r\nattempt 2\r\nresult .F.\r\nend");
  EXPECT_FALSE(fs::exists(work(L"APPERROR.LOG")));
}

TEST_F(ErrorProcess, CancelThenNoBreaksOutToTheRecoveryBlock) {
  run("xbp");
  const Box box = answer(kTitle, IDCANCEL);
  EXPECT_TRUE(box.hasButton(IDOK));  // canDefault only: OK, Cancel
  EXPECT_FALSE(box.hasButton(IDRETRY));
  // Code page 858 texts arrive as Unicode in the box.
  EXPECT_NE(box.text.find("Beschreibung : Parametertyp ung\u00fcltig"), std::string::npos);
  EXPECT_NE(box.text.find("Operation : ReportsBadArgs"), std::string::npos);
  EXPECT_NE(box.text.find("Aufgerufen von ReportsBadArgs("), std::string::npos);
  EXPECT_EQ(answer(kTitle, IDNO).text, "Ende mit LOG-Datei");
  expectEnded(0);
  EXPECT_TRUE(exitProceduresRanOnce());
  EXPECT_EQ(out(), "\r\nrecovered XBP/0\r\nend");
  EXPECT_FALSE(fs::exists(work(L"APPERROR.LOG")));
}

TEST_F(ErrorProcess, OkWritesTheLogTellsWhereAndEndsWithExitCode1) {
  run("xbp");
  answer(kTitle, "OK");
  EXPECT_EQ(answer("errproc", "OK").text, kWritten);
  expectEnded(1);
  EXPECT_TRUE(exitProceduresRanOnce());
  EXPECT_EQ(out(), "");  // neither the result nor the end was reached
  const std::string log = file(L"APPERROR.LOG");
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

// Failures no handler can take still reach the user and the log.
TEST_F(ErrorProcess, AHardwareExceptionIsShownLoggedAndEndsWithExitCode1) {
  run("crash");
  const Box box = answer(kTitle, "OK");
  EXPECT_EQ(box.text, "Schwerer Ausnahmefehler C0000005 (Zugriffsverletzung) in errproc.exe\r\n\r\nDas Programm wird beendet.");
  EXPECT_EQ(answer("errproc", "OK").text, kWritten);
  expectEnded(1);
  const std::string log = file(L"APPERROR.LOG");
  EXPECT_NE(log.find("oError:osCode       : 3221225477\r\n"), std::string::npos) << log;
  EXPECT_NE(log.find("oError:operation    : errproc.exe\r\n"), std::string::npos) << log;
  // The stack of the failed thread, not the reporter's.
  EXPECT_NE(log.find("Aufgerufen von Main("), std::string::npos) << log;
}

// A crash while the failed thread held a lock that the report needs: what
// can be said is said on the error channel, and the program ends all the same.
const std::string kSaidWithoutLocks = "Schwerer Ausnahmefehler C0000005 (Zugriffsverletzung) in errproc.exe\r\n";

TEST_F(ErrorProcess, ACrashHoldingTheOutputLockStillEndsWithExitCode1) {
  run("crash-output");  // the box still comes; the log needs the output's lock
  EXPECT_EQ(answer(kTitle, "OK").text.rfind("Schwerer Ausnahmefehler C0000005", 0), 0u);
  expectEnded(1);
  EXPECT_EQ(err(), kSaidWithoutLocks);
}

TEST_F(ErrorProcess, ACrashHoldingTheHeapLocksStillEndsWithExitCode1) {
  run("crash-heap");  // not even the box can be made
  expectEnded(1);
  EXPECT_EQ(err(), kSaidWithoutLocks);
}

TEST_F(ErrorProcess, ACrashWhileAnotherThreadHoldsTheHeapLocksStillEndsWithExitCode1) {
  run("crash-heap-held");
  expectEnded(1);
  EXPECT_EQ(err(), kSaidWithoutLocks);
}

TEST_F(ErrorProcess, AnEscapedExceptionIsShownLoggedAndEndsWithExitCode1) {
  run("throw");
  EXPECT_EQ(answer(kTitle, "OK").text.rfind("Unbehandelte Ausnahme: Speicher reicht nicht", 0), 0u);
  EXPECT_EQ(answer("errproc", "OK").text, kWritten);
  expectEnded(1);
  EXPECT_TRUE(exitProceduresRanOnce());
  EXPECT_NE(file(L"APPERROR.LOG").find("oError:description  : Unbehandelte Ausnahme: Speicher reicht nicht\r\n"),
            std::string::npos);
}

TEST_F(ErrorProcess, CancelThenYesLogsAndEnds) {
  run("xbp");
  answer(kTitle, IDCANCEL);
  answer(kTitle, IDYES);
  answer("errproc", "OK");
  expectEnded(1);
  EXPECT_TRUE(exitProceduresRanOnce());
  EXPECT_NE(file(L"APPERROR.LOG").find("CALLSTACK:"), std::string::npos);
}

TEST_F(ErrorProcess, WithTheLogFileBlockedTheReportGoesToTheNextName) {
  support::FileBlocker blocker;
  ASSERT_TRUE(blocker.block(work(L"APPERROR.LOG")));
  run("xbp");
  answer(kTitle, "OK");
  EXPECT_EQ(answer("errproc", "OK").text, "Fehlerprotokoll wurde in die Datei APPERROR.001 geschrieben");
  expectEnded(1);
  EXPECT_TRUE(exitProceduresRanOnce());
  EXPECT_NE(file(L"APPERROR.001").find("oError:subSystem    : XBP"), std::string::npos);
  EXPECT_EQ(file(L"APPERROR.LOG"), "");
}

TEST_F(ErrorProcess, WithEveryNameBlockedTheFailureIsShownAndTheExitCodeIs1) {
  support::FileBlocker blocker;
  ASSERT_TRUE(blocker.block(work(L"APPERROR.LOG")));
  for (int i = 1; i <= 999; ++i) {
    wchar_t name[16];
    swprintf(name, 16, L"APPERROR.%03d", i);
    ASSERT_TRUE(blocker.block(work(name)));
  }
  run("xbp");
  answer(kTitle, "OK");
  EXPECT_EQ(answer("errproc", "OK").text, "Datei f\u00fcr Fehlerprotokoll kann nicht ge\u00f6ffnet werden");
  expectEnded(1);
  EXPECT_TRUE(exitProceduresRanOnce());
  EXPECT_EQ(file(L"APPERROR.999"), "");
}

// A folder that refuses every file, not just the log's names: the working
// folder is gone once the program runs. The failure reaches the user in
// both ways of asking, also when the console is a text window of the
// program's own, which the program's end closes at once.
const std::string kCannotOpen = "Datei f\u00fcr Fehlerprotokoll kann nicht ge\u00f6ffnet werden";

TEST_F(ErrorProcess, InAFolderThatRefusesEveryFileTheFailureIsShownAndTheExitCodeIs1) {
  run("xbp");
  waitForBox(kTitle);
  ASSERT_TRUE(support::RemoveFolderOnHost(work()));
  answer(kTitle, "OK");
  EXPECT_EQ(answer("errproc", "OK").text, kCannotOpen);
  expectEnded(1);
}

TEST_F(ErrorProcess, InAFolderThatRefusesEveryFileATextWindowProgramShowsTheFailureBeforeItEnds) {
  run("textwindow");
  const HWND crt = waitForTextWindow();
  ASSERT_TRUE(support::RemoveFolderOnHost(work()));
  pressUntilBox(crt, L'e', "errproc");  // "Ende mit LOG-Datei"
  EXPECT_EQ(answer("errproc", "OK").text, kCannotOpen);
  expectEnded(1);
}

TEST_F(ErrorProcess, ATextWindowProgramShowsWhereTheLogWentBeforeItEnds) {
  run("textwindow");
  pressUntilBox(waitForTextWindow(), L'e', "errproc");
  EXPECT_EQ(answer("errproc", "OK").text, kWritten);
  expectEnded(1);
  EXPECT_TRUE(exitProceduresRanOnce());
  EXPECT_NE(file(L"APPERROR.LOG").find("oError:subSystem    : XBP"), std::string::npos);
}

TEST_F(ErrorProcess, ABreakNoRecoveryBlockCatchesEndsInTheLogWithExitCode1) {
  run("uncaught");
  answer(kTitle, IDCANCEL);
  answer(kTitle, IDNO);  // break out: but nothing catches it
  EXPECT_EQ(answer("errproc", "OK").text, kWritten);
  expectEnded(1);
  EXPECT_TRUE(exitProceduresRanOnce());
  EXPECT_EQ(out(), "");
  // The listing is the call stack at the break, from the raise on, as the
  // handler's own log has it: none of the error system's frames above it.
  const std::string log = file(L"APPERROR.LOG");
  EXPECT_EQ(log.rfind("\r\n" + std::string(78, '-') + "\r\nFEHLERPROTOKOLL von \"", 0), 0u) << log;
  const size_t stack = log.find("CALLSTACK:\r\n" + std::string(78, '-') + "\r\nAufgerufen von XbpException:raise(");
  EXPECT_NE(stack, std::string::npos) << log;
  EXPECT_EQ(log.find("StandardEH"), std::string::npos) << log;
  EXPECT_EQ(log.find("\r\n\r\n", stack), std::string::npos) << log;
  EXPECT_NE(log.find("Aufgerufen von ReportsBadArgs(", stack), std::string::npos) << log;
  EXPECT_NE(log.find("Aufgerufen von Main(", stack), std::string::npos);
}

TEST_F(ErrorProcess, TextModeChoiceBoxCannotBeDismissedAndIgnoreContinues) {
  run("text");
  const Box box = waitForBox("Hinweis");
  EXPECT_NE(box.text.find("Fehler XBP/0\r\nBeschreibung : Parametertyp ung\u00fcltig\r\n"), std::string::npos);
  EXPECT_EQ(GetWindowLongW(box.hwnd, GWL_STYLE) & WS_SYSMENU, 0);  // no close button
  // Neither Escape (IDCANCEL) nor a close request ends it. Both are queued
  // before the click on "Ignorieren": had either ended the box, the click
  // would have gone with it, and the box shown again would wait unanswered.
  HWND ignore = nullptr;
  for (HWND child : support::ChildWindows(box.hwnd))
    if (support::TextOf(child) == "Ignorieren") ignore = child;
  ASSERT_NE(ignore, nullptr) << box.text;
  PostMessageW(box.hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  PostMessageW(box.hwnd, WM_CLOSE, 0, 0);
  PostMessageW(ignore, BM_CLICK, 0, 0);
  expectEnded(0);
  EXPECT_TRUE(exitProceduresRanOnce());
  EXPECT_EQ(out(), "\r\nresult .F.\r\nend");
}

TEST_F(ErrorProcess, TextModeLogAndEndTellsOnTheErrorChannel) {
  run("text");
  answer("Hinweis", "Ende mit LOG-Datei");
  expectEnded(1);
  EXPECT_TRUE(exitProceduresRanOnce());
  EXPECT_EQ(err(), "\n\rFehlerprotokoll wurde in die Datei APPERROR.LOG geschrieben");
  EXPECT_NE(file(L"APPERROR.LOG").find("oError:subSystem    : XBP"), std::string::npos);
}

TEST_F(ErrorProcess, WithNoHandlerInstalledAnErrorEndsTheProgramVisibly) {
  run("nohandler");
  expectEnded(1);
  EXPECT_TRUE(exitProceduresRanOnce());
  EXPECT_EQ(out(), "");
  const std::string err = this->err();
  EXPECT_EQ(err.rfind("Programmabbruch: XBP/0 Parametertyp ung\x81ltig (ReportsBadArgs)\r\n", 0), 0u) << err;
  EXPECT_NE(err.find("Aufgerufen von ReportsBadArgs("), std::string::npos);
}

}  // namespace
