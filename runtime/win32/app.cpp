// Runtime start-up and tear-down.
#include "native.h"

#include <cstdio>
#include <exception>
#include <mutex>
#include <vector>

#include "../error.h"
#include "../output.h"
#include "../runtime.h"
#include "../sysinfo.h"

namespace rt {

namespace {
int g_errorLevel = 0;

std::mutex g_exitMutex;
std::vector<std::function<void()>> g_exitProcedures;
bool g_exitStarted = false;

void DescribeOnStdErr(const Value& broken) {
  std::string text;
  if (auto e = broken.as<Error>()) {
    text = "Programmabbruch: " + DisplayText(e->subSystem) + "/" + DisplayText(e->subCode) + " " +
           DisplayText(e->description);
    if (!Empty(e->operation)) text += " (" + DisplayText(e->operation) + ")";
    if (e->isMethod("getCallstack")) text += e->getCallstack("\r\n");
  } else {
    text = "Programmabbruch: " + Var2Char(broken);
  }
  OutErr(text + "\r\n");
}

BreakReporter& Reporter() {
  static BreakReporter reporter = DescribeOnStdErr;
  return reporter;
}

// The broken value reaches the reporter; a reporter that itself breaks or
// throws falls back to the plain description.
void ReportUncaughtBreak(const BreakSignal& broken) {
  ErrorLevel(1);
  if (auto e = broken.value().as<Error>(); e && !e->isMethod("getCallstack")) e->attachCallstack(broken.stack());
  try {
    if (Reporter()) Reporter()(broken.value());
  } catch (...) {
    DescribeOnStdErr(broken.value());
  }
}

void ReportException(const char* what) {
  ErrorLevel(1);
  OutErr(std::string("Programmabbruch: ") + what + "\r\n");
}

// Runs `body`; whatever escapes it is reported, never lost.
void Guarded(const std::function<void()>& body) {
  try {
    body();
  } catch (const BreakSignal& broken) {
    ReportUncaughtBreak(broken);
  } catch (const std::exception& e) {
    ReportException(e.what());
  } catch (...) {
    ReportException("unbekannte Ausnahme");
  }
}
}  // namespace

int ErrorLevel() { return g_errorLevel; }

int ErrorLevel(int code) {
  const int previous = g_errorLevel;
  g_errorLevel = code;
  return previous;
}

void AddExitProcedure(std::function<void()> procedure) {
  std::lock_guard lock(g_exitMutex);
  g_exitProcedures.push_back(std::move(procedure));
}

void RunExitProcedures() {
  std::vector<std::function<void()>> procedures;
  {
    std::lock_guard lock(g_exitMutex);
    if (g_exitStarted) return;
    g_exitStarted = true;
    procedures = g_exitProcedures;
  }
  for (const auto& procedure : procedures) {
    if (procedure) Guarded(procedure);
  }
}

void Quit() {
  RunExitProcedures();
  CloseOutput();
  std::fflush(nullptr);
  ExitProcess(static_cast<UINT>(ErrorLevel()));
}

BreakReporter SetBreakReporter(BreakReporter reporter) {
  BreakReporter previous = std::move(Reporter());
  Reporter() = std::move(reporter);
  return previous;
}

int Run(const std::function<void()>& program) {
  ThreadId();  // the program's thread is thread 1
  BindGuiThread();
  RegisterWindowClasses();
  Guarded(program);
  // Nothing thrown inside a window procedure goes unreported, even when the
  // program ended before its loop could rethrow it.
  Guarded(RethrowCarriedException);
  RunExitProcedures();
  CloseOutput();
  DestroyAllWindows();
  ReleaseFonts();
  return ErrorLevel();
}

}  // namespace rt
