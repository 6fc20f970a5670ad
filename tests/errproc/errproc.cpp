// A small program of ours that raises errors through the installed standard
// handler, for the tests that answer its real boxes. The first argument picks
// what it does; what happens is written to standard output.
#include <windows.h>

#include <atomic>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>

#include "error.h"
#include "errorsys.h"
#include "exception.h"
#include "output.h"
#include "procstack.h"
#include "runtime.h"
#include "settings.h"
#include "sysinfo.h"
#include "gui/crt.h"
#include "gui/window.h"

using namespace rt;
using namespace valumat;

namespace {

// A library procedure that reports bad arguments the way the system's own do.
Value ReportsBadArgs(const Value& a, const Value& b) {
  RT_PROC("ReportsBadArgs");
  RT_LINE;
  return XbpException()->raiseParameterType({Value{a, b}});
}

// An operation that may be repeated: counts its attempts.
void RepeatableOperation() {
  RT_PROC("RepeatableOperation");
  const ErrorRef e = NewError();
  e->subSystem = "TEST";
  e->subCode = 1;
  e->genCode = 24;
  e->description = "Schreibfehler, bitte pr\x81" "fen";
  e->canRetry = true;
  e->canDefault = true;
  e->severity = 2;
  e->thread = ThreadId();
  Value result;
  long attempts = 0;
  do {
    ++attempts;
    e->tries = attempts;
    QOut("attempt", attempts);
    RT_LINE;
    result = RaiseError(e);
  } while (result == Value(true));
  QOut("result", result);
}

void Protected(const std::function<void()>& body) {
  Sequence(
      [&] {
        body();
        return Value();
      },
      [](const Value& broken) {
        if (auto e = broken.as<Error>()) QOut("recovered", DisplayText(e->subSystem) + "/" + DisplayText(e->subCode));
        return Value();
      });
}

// A console whose first write fails hard, while line output holds its lock.
class FailingConsole : public ConsoleWindow {
 public:
  void write(std::string_view) override { *static_cast<volatile int*>(nullptr) = 1; }
  long row() const override { return 0; }
  long col() const override { return 0; }
  void setPos(long, long) override {}
};

std::shared_ptr<ConsoleWindow> FailingConsoleOnce() {
  static std::atomic<bool> given{false};
  return given.exchange(true) ? nullptr : std::make_shared<FailingConsole>();
}

DWORD WINAPI HoldHeaps(void* locked) {
  HANDLE heaps[64];
  const DWORD n = GetProcessHeaps(64, heaps);
  for (DWORD i = 0; i < n && i < 64; ++i) HeapLock(heaps[i]);
  SetEvent(locked);
  Sleep(INFINITE);
  return 0;
}

void Main(const std::string& mode) {
  RT_PROC("Main");
  if (mode == "retry") {
    RT_LINE;
    RepeatableOperation();
  } else if (mode == "xbp") {
    RT_LINE;
    Protected([] { QOut("result", ReportsBadArgs("abc", 42)); });
  } else if (mode == "text") {
    AppType(1);
    RT_LINE;
    Protected([] { QOut("result", ReportsBadArgs("abc", 42)); });
  } else if (mode == "textwindow") {
    // A text-mode program whose console is a text window of its own: the
    // handler asks in its cells, and the window closes with the program.
    auto crt = New<XbpBaseCrt>({AppDesktop(), Value(), Value{60, 60}, 12, 60, "Textfenster", true});
    crt->create();
    SetAppWindow(crt);
    AppType(1);
    RT_LINE;
    Protected([] { QOut("result", ReportsBadArgs("abc", 42)); });
  } else if (mode == "crash") {
    RT_LINE;
    Protected([] { *static_cast<volatile int*>(nullptr) = 1; });  // no recovery block takes this
  } else if (mode == "crash-output") {
    SetConsoleWindowFinder(FailingConsoleOnce);
    Set(kSetConsole, "ON");
    RT_LINE;
    QOut("x");
  } else if (mode == "crash-heap") {
    HANDLE heaps[64];
    const DWORD n = GetProcessHeaps(64, heaps);
    for (DWORD i = 0; i < n && i < 64; ++i) HeapLock(heaps[i]);
    RT_LINE;
    *static_cast<volatile int*>(nullptr) = 1;
  } else if (mode == "crash-heap-held") {
    // Another thread holds the heaps and never lets go: the crash report
    // cannot allocate, not even before it begins.
    HANDLE locked = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    CreateThread(nullptr, 0, HoldHeaps, locked, 0, nullptr);
    WaitForSingleObject(locked, INFINITE);
    RT_LINE;
    *static_cast<volatile int*>(nullptr) = 1;
  } else if (mode == "throw") {
    RT_LINE;
    throw std::runtime_error("Speicher reicht nicht");
  } else if (mode == "uncaught" || mode == "nohandler") {
    RT_LINE;
    QOut("result", ReportsBadArgs("abc", 42));
  } else {
    OutErr("unknown mode\r\n");
    ErrorLevel(2);
    return;
  }
  QOut("end");
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  // Leaves a trace of every run of the exit procedures.
  AddExitProcedure([] { std::ofstream("EXITPROC.TXT", std::ios::app | std::ios::binary) << "exit\n"; });
  return Run([&] {
    if (mode != "nohandler") ErrorSys();
    Main(mode);
  });
}
