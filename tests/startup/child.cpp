// A program that starts through a start-up record like Valumat's, with the
// real ErrorSys, DbeSys and AppExit, and a main procedure chosen on the
// command line. It writes what it sees to journal.txt in its own folder; the
// tests run copies of it beside chosen engine DLLs.
#include <windows.h>

#include <cstdio>
#include <string>

#include "dbe/dbe.h"
#include "error.h"
#include "errorsys.h"
#include "settings.h"
#include "startrecord.h"
#include "startup.h"
#include "transform.h"
#include "dbe/workarea.h"

namespace {

std::string g_mode;

// Appended line by line, so that nothing is lost when the program quits.
void Note(const std::string& line) {
  wchar_t path[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring file(path, n);
  file = file.substr(0, file.find_last_of(L"\\/") + 1) + L"journal.txt";
  HANDLE h = CreateFileW(file.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return;
  const std::string text = line + "\n";
  DWORD written = 0;
  WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(h);
}

class NotingDriver : public rt::WorkAreaDriver {
 public:
  bool commit(rt::ErrorSpec&) override { return Noted("commit"); }
  bool rollback(rt::ErrorSpec&) override { return Noted("rollback"); }
  bool close(rt::ErrorSpec&) override { return Noted("close"); }

 private:
  static bool Noted(const char* what) {
    Note(std::string("area ") + what);
    return true;
  }
};

void Hook() {
  Note("hook");
  valumat::RegisterAppExit();
}

void ErrorSysStep() {
  Note("errorsys");
  valumat::ErrorSys();
}

void AppSysStep() {
  Note(std::string("appsys handler=") + (rt::ErrorBlock().isBlock() ? "yes" : "no"));
  if (g_mode == "error-century") rt::Set(rt::kSetCentury, true);
}

void DbeSysStep() {
  Note("dbesys");
  valumat::DbeSys();
}

void MainStep() {
  std::string engines;
  for (const rt::DbeInfo& engine : rt::DbeLoaded()) engines += (engines.empty() ? "" : ",") + engine.name;
  Note("main engines=" + engines);
  Note("main dateformat=" + rt::Set(rt::kSetDateFormat).text() +
       " optimize=" + std::to_string(rt::Set(rt::kSetOptimize).integer()));
  // Left open for the exit procedure: commit and close show that it ran.
  rt::DbOpenArea("TESTDBE", "LOG", std::make_unique<NotingDriver>());
  if (g_mode.rfind("error", 0) != 0) return;

  if (g_mode == "error-late-century") rt::Set(rt::kSetCentury, true);
  rt::ErrorSpec spec;
  spec.genCode = rt::kGenWrite;
  spec.subSystem = "TEST";
  spec.operation = "ChildWrite";
  spec.canDefault = false;
  spec.canRetry = false;
  rt::RaiseError(spec);
  Note("main after error");
}

}  // namespace

int main(int argc, char** argv) {
  g_mode = argc > 1 ? argv[1] : "";
  static const rt::StartupRecord record{Hook, ErrorSysStep, AppSysStep, valumat::AppExit, DbeSysStep, MainStep};
  return rt::Start(record);
}
