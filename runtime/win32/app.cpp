// Runtime start-up and tear-down.
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <mutex>
#include <vector>

#include "../boxes.h"
#include "../error.h"
#include "../output.h"
#include "../runtime.h"
#include "../sysinfo.h"
#include "../gui/layer.h"
#include "base.h"

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

// --- failures no handler can take ------------------------------------------

// The file name of the module that holds `address` into `name` ("" when none
// does); without allocating.
void ModuleNameAt(const void* address, wchar_t (&name)[MAX_PATH]) {
  name[0] = L'\0';
  HMODULE module = nullptr;
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          static_cast<LPCWSTR>(address), &module)) {
    return;
  }
  wchar_t path[MAX_PATH] = {};
  const DWORD n = GetModuleFileNameW(module, path, MAX_PATH);
  DWORD from = 0;
  for (DWORD i = 0; i < n && i < MAX_PATH; ++i)
    if (path[i] == L'\\' || path[i] == L'/') from = i + 1;
  DWORD at = 0;
  for (DWORD i = from; i < n && i < MAX_PATH && at + 1 < MAX_PATH; ++i) name[at++] = path[i];
  name[at] = L'\0';
}

// The same as a text.
std::string ModuleAt(const void* address) {
  wchar_t name[MAX_PATH];
  ModuleNameAt(address, name);
  return Narrow(name);
}

const char* ExceptionName(DWORD code) {
  switch (code) {
    case EXCEPTION_ACCESS_VIOLATION: return "Zugriffsverletzung";
    case EXCEPTION_STACK_OVERFLOW: return "Stapel\x81" "berlauf";
    case EXCEPTION_INT_DIVIDE_BY_ZERO: return "Division durch null";
    case EXCEPTION_ILLEGAL_INSTRUCTION: return "Ung\x81ltiger Befehl";
    case EXCEPTION_IN_PAGE_ERROR: return "Seitenfehler";
    case EXCEPTION_PRIV_INSTRUCTION: return "Privilegierter Befehl";
    case EXCEPTION_DATATYPE_MISALIGNMENT: return "Falsch ausgerichtete Daten";
    default: return "Ausnahme";
  }
}

// How far a crash report has come, for the thread that waits for it: each
// step counts, and the box counts as long as it waits for the user.
std::atomic<int> g_reportSteps{0};
std::atomic<bool> g_reportAsksUser{false};

// A failure that no error handler can take becomes an error object and goes
// the way of a break that nothing caught: the user is told in a box, the
// break reporter writes the error log, the exit code is 1.
void ReportFailure(const std::string& description, unsigned long osCode, const std::string& module,
                   std::vector<FrameInfo> stack) {
  ErrorLevel(1);
  ErrorSpec spec;
  spec.genCode = 0;
  spec.subSystem = "BASE";
  spec.operation = module;
  spec.description = description;
  spec.canDefault = false;
  spec.severity = 3;
  const ErrorRef e = MakeError(spec);
  e->osCode = Value(osCode);  // exception codes are above 2^31
  e->attachCallstack(std::move(stack));
  ++g_reportSteps;
  if (AppType() == kAppTypeGui) {
    g_reportAsksUser = true;
    MsgBox(description + "\r\n\r\nDas Programm wird beendet.", "Fehlermeldung");
    g_reportAsksUser = false;
    ++g_reportSteps;
  }
  try {
    if (Reporter()) Reporter()(Value(e));
  } catch (...) {
    DescribeOnStdErr(Value(e));
  }
  ++g_reportSteps;
}

void ReportException(const char* what) {
  ReportFailure(std::string("Unbehandelte Ausnahme: ") + what, 0, ModuleAt(reinterpret_cast<void*>(&ReportException)),
                CallStack());
}

// A hardware exception may come while a lock that allocation needs is held
// (the heap's), even by another thread: the filter allocates nothing before
// its bounded wait. What it needs is ready from the start: this record, and
// the reporter's thread, created suspended.
constexpr size_t kCrashFrames = 256;
struct CrashRecord {
  DWORD code = 0;
  wchar_t module[MAX_PATH] = {};  // "" when no module holds the address
  char description[MAX_PATH + 80] = {};  // module name with ASCII letters only
  FrameRef frames[kCrashFrames];
  size_t frameCount = 0;
};
CrashRecord g_crash;
HANDLE g_crashReporter = nullptr;

void Append(char* out, size_t size, size_t& at, const char* text) {
  while (*text && at + 1 < size) out[at++] = *text++;
  out[at] = '\0';
}

// "Schwerer Ausnahmefehler C0000005 (Zugriffsverletzung) in errproc.exe"
void Describe(char* out, size_t size, DWORD code, const char* module) {
  size_t at = 0;
  out[0] = '\0';
  Append(out, size, at, "Schwerer Ausnahmefehler ");
  char hex[9];
  for (int i = 0; i < 8; ++i) hex[i] = "0123456789ABCDEF"[(code >> (28 - 4 * i)) & 0xF];
  hex[8] = '\0';
  Append(out, size, at, hex);
  Append(out, size, at, " (");
  Append(out, size, at, ExceptionName(code));
  Append(out, size, at, ") in ");
  Append(out, size, at, *module ? module : "unbekanntem Code");
}

// The report itself, on the reporter's thread: allocating is allowed here,
// as the filter's wait is bounded.
DWORD WINAPI ReportCrash(void*) {
  const CrashRecord& c = g_crash;
  const std::string module = Narrow(c.module);
  std::string description(sizeof c.description + MAX_PATH * 2, '\0');
  Describe(description.data(), description.size(), c.code, module.c_str());
  description.resize(std::strlen(description.c_str()));
  std::vector<FrameInfo> stack;
  for (size_t i = 0; i < c.frameCount; ++i) stack.push_back({std::string(c.frames[i].name), c.frames[i].line});
  ReportFailure(description, c.code, module, std::move(stack));
  return 0;
}

void PrepareCrashReport() {
  if (!g_crashReporter) g_crashReporter = CreateThread(nullptr, 0, ReportCrash, nullptr, CREATE_SUSPENDED, nullptr);
  // A stuck report ends with TryCloseOutput: the output's lock is made on
  // first use, which allocates.
  AlternateFileError();
}

// A report that makes no step for this long is stuck: the failed thread may
// have held a lock it needs (the output's, the heap's) and never lets go.
constexpr DWORD kReportStall = 10000;

// Waits for the reporter while it makes progress or the user has its box;
// false when it got stuck.
bool ReportFinished(HANDLE reporter) {
  int seen = g_reportSteps.load();
  for (;;) {
    if (WaitForSingleObject(reporter, kReportStall) != WAIT_TIMEOUT) return true;
    const int now = g_reportSteps.load();
    if (now == seen && !g_reportAsksUser.load()) return false;
    seen = now;
  }
}

// What can be said without the locks a stuck report waits for: the
// description on the standard error channel, from the stack, unbuffered.
void DescribeWithoutLocks(const char* description) {
  HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
  if (!err || err == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(err, description, static_cast<DWORD>(std::strlen(description)), &written, nullptr);
  WriteFile(err, "\r\n", 2, &written, nullptr);
}

// A hardware exception nothing handled. The report runs on a thread of its
// own: the failed thread's stack may be used up. Only the first one is
// reported; the program ends with exit code 1, and does so also when the
// report gets stuck or no reporter could be prepared.
LONG WINAPI OnUnhandledException(EXCEPTION_POINTERS* info) {
  static std::atomic<bool> reporting{false};
  if (reporting.exchange(true)) ExitProcess(1);
  const EXCEPTION_RECORD& record = *info->ExceptionRecord;
  CrashRecord& c = g_crash;
  c.code = record.ExceptionCode;
  ModuleNameAt(record.ExceptionAddress, c.module);
  char module[MAX_PATH];
  size_t at = 0;
  for (; c.module[at] && at + 1 < MAX_PATH; ++at) module[at] = c.module[at] < 0x80 ? static_cast<char>(c.module[at]) : '?';
  module[at] = '\0';
  Describe(c.description, sizeof c.description, c.code, module);
  if (c.code != EXCEPTION_STACK_OVERFLOW) c.frameCount = CallStackInto(c.frames, kCrashFrames);
  const bool finished = g_crashReporter && ResumeThread(g_crashReporter) != static_cast<DWORD>(-1) &&
                        ReportFinished(g_crashReporter);
  if (!finished) {
    // Ending normally would wait for the same locks (exit procedures, the
    // library's own clean-up): the process ends here, as it stands.
    DescribeWithoutLocks(c.description);
    TryCloseOutput();
    TerminateProcess(GetCurrentProcess(), 1);
  }
  CloseOutput();
  ExitProcess(1);
}

[[noreturn]] void OnTerminate() {
  static std::atomic<bool> reporting{false};
  if (!reporting.exchange(true)) {
    const char* what = "unbekannte Ausnahme";
    std::string text;
    if (std::exception_ptr e = std::current_exception()) {
      try {
        std::rethrow_exception(e);
      } catch (const std::exception& x) {
        text = x.what();
        what = text.c_str();
      } catch (...) {
      }
    }
    ReportException(what);
    CloseOutput();
  }
  ExitProcess(1);
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
  PrepareCrashReport();
  SetUnhandledExceptionFilter(OnUnhandledException);
  std::set_terminate(OnTerminate);
  BindGuiThread();
  RegisterWindowClasses();
  Guarded(program);
  // Nothing thrown inside a window procedure goes unreported, even when the
  // program ended before its loop could rethrow it.
  while (HasCarriedException()) Guarded(RethrowCarriedException);
  RunExitProcedures();
  CloseOutput();
  DestroyAllWindows();
  ReleaseFonts();
  return ErrorLevel();
}

}  // namespace rt

// Run reports a terminate itself (OnTerminate). The library's own handler,
// in force only before Run, would bring its name demangler into every
// program; ending at once is all it needs to do.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
